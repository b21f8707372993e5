#pragma once

#include <QString>
#include <QStringView>
#include <optional>
#include <string_view>

// Numbers as the program writes and reads them: a comma as decimal separator,
// no digit grouping, no trailing zeros, and an exponent only where the plain
// form would be unreadable (6,25E-05, 1E+15).
namespace kavel {

// Shortest text of a double with at most 15 significant digits.
QString numText(double value);
// The same text, in Latin-1 bytes written to out, which has room for
// kLongueurNombreMax of them; returns their count.
inline constexpr int kLongueurNombreMax = 40;
int numTextOctets(double value, char *out);

// Text of a single-precision value with at most 7 significant digits, so
// that a stored 1.4f reads "1,4" and not "1,39999997615814".
QString numTextSingle(float value);

// Reads a number written with a comma: surrounding blanks and a leading sign
// are allowed, "5," and ",5" are numbers, an exponent (E-05) is accepted.
// Anything else ("", "-", ",", "1,2,3", "5.6", "12a") is not a number.
std::optional<double> readNumber(QStringView text);

// The value of the number that a text starts with, with a point as decimal
// separator: reading stops at the first character that cannot continue the
// number ("18,5" -> 18, "17.5x" -> 17.5); no leading number gives 0.
double leadingNumber(QStringView text);

// A whole text that is a decimal number with a point ("-3.5", "1e-05"), read
// the same whatever the C library's locale; nullopt for anything else.
std::optional<double> readDecimal(std::string_view text);

} // namespace kavel
