#include "exposure/NumberText.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace kavel {

namespace {

// printf's %G already gives the wanted shape: shortest form, no trailing
// zeros, an exponent below 1E-04 or from 10^digits on. Only the separator
// and the spelling of non-finite values need adjusting.
QString formatG(double value, int digits)
{
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Inf") : QStringLiteral("-Inf");
    if (value == 0.0)
        value = 0.0; // no "-0"
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.*G", digits, value);
    QString text = QString::fromLatin1(buffer);
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    return text;
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

// Converts [begin, end) of text, known to hold a sign and a scanned number,
// with strtod in the C locale.
std::optional<double> convert(QStringView text, QChar separator)
{
    std::string ascii;
    ascii.reserve(static_cast<std::size_t>(text.size()));
    for (QChar c : text)
        ascii.push_back(c == separator ? '.' : static_cast<char>(c.unicode()));
    errno = 0;
    char *end = nullptr;
    const double value = std::strtod(ascii.c_str(), &end);
    if (end != ascii.c_str() + ascii.size())
        return std::nullopt;
    if (errno == ERANGE && std::isinf(value))
        return std::nullopt; // overflow: not a usable number
    return value;
}

bool isBlank(QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); }

} // namespace

QString numText(double value)
{
    return formatG(value, 15);
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
