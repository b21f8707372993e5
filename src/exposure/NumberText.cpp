#include "exposure/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace kavel {

namespace {

// The general format (printf's %G) already gives the wanted shape: shortest
// form, no trailing zeros, an exponent below 1E-04 or from 10^digits on.
// std::to_chars writes it whatever the C library's locale says; only the
// separator, the exponent's letter and the non-finite values need adjusting.
// Writes the text to out (room for kLongueurNombreMax bytes); returns its length.
int formatGOctets(double value, int digits, char *out)
{
    const auto copie = [out](std::string_view texte) {
        std::copy(texte.begin(), texte.end(), out);
        return static_cast<int>(texte.size());
    };
    if (std::isnan(value))
        return copie("NaN");
    if (std::isinf(value))
        return copie(value > 0 ? "Inf" : "-Inf");
    if (value == 0.0)
        value = 0.0; // no "-0"
    const std::to_chars_result r = std::to_chars(out, out + kLongueurNombreMax, value, std::chars_format::general, digits);
    for (char *c = out; c != r.ptr; ++c) {
        if (*c == '.')
            *c = ',';
        else if (*c == 'e')
            *c = 'E';
    }
    return static_cast<int>(r.ptr - out);
}

QString formatG(double value, int digits)
{
    char buffer[kLongueurNombreMax];
    return QString::fromLatin1(buffer, formatGOctets(value, digits, buffer));
}

bool isDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

// Digits [sep digits] [E [sign] digits], starting at pos. Returns the end of
// the longest such number, or pos when there is no digit in the mantissa.
qsizetype scanNumber(QStringView text, qsizetype pos, QChar separator)
{
    qsizetype i = pos;
    qsizetype digits = 0;
    while (i < text.size() && isDigit(text[i])) {
        ++i;
        ++digits;
    }
    if (i < text.size() && text[i] == separator) {
        ++i;
        while (i < text.size() && isDigit(text[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return pos;
    if (i < text.size() && (text[i] == QLatin1Char('E') || text[i] == QLatin1Char('e'))) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == QLatin1Char('+') || text[j] == QLatin1Char('-')))
            ++j;
        if (j < text.size() && isDigit(text[j])) {
            while (j < text.size() && isDigit(text[j]))
                ++j;
            i = j;
        }
    }
    return i;
}

// Converts a text known to hold a sign and a scanned number.
std::optional<double> convert(QStringView text, QChar separator)
{
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text)
        ascii.push_back(c == separator ? '.' : static_cast<char>(c.unicode()));
    return readDecimal(ascii);
}

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

// Whether a decimal number too far from 1 for a double lies towards zero
// (its first significant digit after the point) rather than towards infinity.
bool versZero(std::string_view text)
{
    const std::size_t e = text.find_first_of("eE");
    long long exposant = 0;
    if (e != std::string_view::npos) {
        std::string_view x = text.substr(e + 1);
        const bool moins = !x.empty() && x.front() == '-';
        if (!x.empty() && (x.front() == '-' || x.front() == '+'))
            x.remove_prefix(1);
        for (char c : x)
            exposant = std::min(exposant * 10 + (c - '0'), 1'000'000'000LL);
        if (moins)
            exposant = -exposant;
        text = text.substr(0, e);
    }
    // Position of the first significant digit relative to the point.
    long long chiffresEntiers = 0;
    bool significatif = false;
    long long zerosApresPoint = 0;
    bool apresPoint = false;
    for (char c : text) {
        if (c == '.') {
            apresPoint = true;
        } else if (c != '0' || significatif) {
            if (!apresPoint)
                ++chiffresEntiers;
            significatif = true;
            if (apresPoint)
                break;
        } else if (apresPoint) {
            ++zerosApresPoint;
        }
    }
    const long long ordre = chiffresEntiers > 0 ? chiffresEntiers - 1 : -(zerosApresPoint + 1);
    return ordre + exposant < 0;
}

} // namespace

std::optional<double> readDecimal(std::string_view text)
{
    // from_chars takes no '+' and always a point, whatever the locale.
    bool negatif = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negatif = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || !((text.front() >= '0' && text.front() <= '9') || text.front() == '.'))
        return std::nullopt; // no sign twice, no "inf", "nan" or hexadecimal
    double value = 0;
    const std::from_chars_result r
        = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (r.ptr != text.data() + text.size())
        return std::nullopt;
    if (r.ec == std::errc::result_out_of_range) {
        if (!versZero(text))
            return std::nullopt; // overflow: not a usable number
        value = 0; // underflow: as near zero as a double goes
    } else if (r.ec != std::errc()) {
        return std::nullopt;
    }
    return negatif ? -value : value;
}

QString numText(double value)
{
    return formatG(value, 15);
}

int numTextOctets(double value, char *out)
{
    return formatGOctets(value, 15, out);
}

QString numTextSingle(float value)
{
    return formatG(static_cast<double>(value), 7);
}

std::optional<double> readNumber(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    qsizetype pos = begin;
    if (pos < end && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-')))
        ++pos;
    const QStringView body = text.sliced(0, end);
    const qsizetype numberEnd = scanNumber(body, pos, QLatin1Char(','));
    if (numberEnd == pos || numberEnd != end)
        return std::nullopt;
    return convert(text.sliced(begin, end - begin), QLatin1Char(','));
}

double leadingNumber(QStringView text)
{
    qsizetype begin = 0;
    while (begin < text.size() && isBlank(text[begin]))
        ++begin;
    qsizetype pos = begin;
    if (pos < text.size() && (text[pos] == QLatin1Char('+') || text[pos] == QLatin1Char('-')))
        ++pos;
    const qsizetype numberEnd = scanNumber(text, pos, QLatin1Char('.'));
    if (numberEnd == pos)
        return 0.0;
    const std::optional<double> value = convert(text.sliced(begin, numberEnd - begin), QLatin1Char('.'));
    return value.value_or(0.0);
}

} // namespace kavel
