#include "exposure/Scales.h"

#include "exposure/NumberText.h"

#include <charconv>
#include <cmath>

namespace kavel {

ExposureScales ExposureScales::standard()
{
    ExposureScales s;
    for (int i = 0; i < kNbVitesses; ++i) {
        s.TabVitesseNum[i] = 1;
        s.TabVitesseDen[i] = 1;
    }
    // Slow speeds are whole or decimal seconds, fast ones fractions 1/den.
    static constexpr double slow[] = {30, 25, 20, 15, 13, 10, 8, 6, 5, 4, 3.2,
                                      2.5, 2, 1.6, 1.3, 1, 0.8, 0.6, 0.5, 0.4, 0.3};
    static constexpr double fast[] = {4, 5, 6, 8, 10, 13, 15, 20, 25, 30, 40, 50,
                                      60, 80, 100, 125, 160, 200, 250, 320, 400, 500,
                                      640, 800, 1000, 1250, 1600, 2000, 2500, 3200,
                                      4000, 5000, 6400, 8000};
    static_assert(std::size(slow) + std::size(fast) == kNbVitesses);
    int i = 0;
    for (double num : slow)
        s.TabVitesseNum[i++] = num;
    for (double den : fast)
        s.TabVitesseDen[i++] = den;

    // Thirds of a stop, stored as engraved on lenses rather than computed.
    static constexpr double diafs[] = {1, 1.1, 1.2, 1.4, 1.6, 1.8, 2, 2.2, 2.5, 2.8,
                                       3.2, 3.5, 4, 4.5, 5, 5.6, 6.3, 7.1, 8, 9,
                                       10, 11, 13, 14, 16, 18, 20, 22, 25, 29,
                                       32, 36, 40, 45, 51, 57, 64, 72, 81, 91};
    static_assert(std::size(diafs) == kNbDiafs);
    for (int d = 0; d < kNbDiafs; ++d)
        s.TabDiaf[d] = diafs[d];

    double iso = 50;
    for (int k = 0; k < kNbIsos; ++k, iso *= 2)
        s.TabIso[k] = iso;
    return s;
}

ExposureScales ExposureScales::pourBoitier(double vitesseMax, double isoMaxi)
{
    ExposureScales s = standard();
    // A thousandth of the value spares the noise of a decimal speed.
    static constexpr double rapides[] = {10000, 12500, 16000, 20000, 25000, 32000, 40000, 50000,
                                         64000, 80000, 100000, 125000, 160000, 200000, 250000, 320000};
    static_assert(std::size(rapides) == kNbVitessesMax - kNbVitesses);
    for (double den : rapides) {
        if (den > vitesseMax * 1.001)
            break;
        s.TabVitesseNum[s.nbVitesses] = 1;
        s.TabVitesseDen[s.nbVitesses] = den;
        ++s.nbVitesses;
    }
    for (double iso = s.TabIso[kNbIsos - 1] * 2; s.nbIsos < kNbIsosMax && iso <= isoMaxi * 1.001; iso *= 2)
        s.TabIso[s.nbIsos++] = iso;
    return s;
}

QStringList ExposureScales::speedItems() const
{
    QStringList items;
    items.reserve(kNbVitesses);
    for (int i = 0; i < kNbVitesses; ++i) {
        if (TabVitesseDen[i] == 1)
            items << numText(TabVitesseNum[i]) + QLatin1Char('s');
        else
            items << numText(TabVitesseNum[i]) + QLatin1Char('/') + numText(TabVitesseDen[i]);
    }
    return items;
}

QStringList ExposureScales::diafItems() const
{
    QStringList items;
    items.reserve(kNbDiafs);
    for (int i = 0; i < kNbDiafs; ++i)
        items << numText(TabDiaf[i]);
    return items;
}

QStringList ExposureScales::isoItems() const
{
    QStringList items;
    items.reserve(kNbIsos);
    for (int i = 0; i < kNbIsos; ++i)
        items << numText(TabIso[i]);
    return items;
}

double tripletEV(double v, double n, double s)
{
    const double x = ((v * (n * n)) / s) * 100;
    return std::log(x) / std::log(2.0);
}

namespace {

// Rounds away the noise of a floating-point computation (9 significant
// digits), so that 9999.999999998 is taken as the 10000 it stands for.
double cleanNoise(double x)
{
    char buffer[40];
    const std::to_chars_result r = std::to_chars(buffer, buffer + sizeof buffer, x, std::chars_format::general, 9);
    double nette = x;
    std::from_chars(buffer, r.ptr, nette);
    return nette;
}

} // namespace

float EV2LUX(double ev)
{
    const double lux = cleanNoise(2.5 * std::exp2(ev));
    if (!(lux > 0) || std::isinf(lux))
        return static_cast<float>(lux);
    // Keep two significant digits: p is the unit of the second one.
    const double k = std::floor(std::log10(lux)) - 1;
    const double p = std::pow(10.0, k);
    if (!(p > 0))
        return static_cast<float>(lux); // far below anything a single holds
    return static_cast<float>(std::floor(cleanNoise(lux / p)) * p);
}

QString Speed2Txt(double theSpeed)
{
    if (theSpeed >= 0.31)
        return numText(theSpeed) + QLatin1Char('s');
    if (theSpeed > 0)
        return QStringLiteral("1/") + numText(1 / theSpeed) + QLatin1Char('s');
    return QStringLiteral("???");
}

AxisRange InitRange(double vitesseMaxBoitier)
{
    AxisRange r;
    r.LogVitesseMin = std::log(1 / 1.4); // half a stop slower than 1 s
    r.LogVitesseMax = std::log(5000.0);
    if (vitesseMaxBoitier > 4000)
        r.LogVitesseMax = std::log(10000.0);
    // An electronic shutter beyond 1/8000 s: the axis goes as far beyond it.
    if (vitesseMaxBoitier > 8000)
        r.LogVitesseMax = std::log(vitesseMaxBoitier * 1.25);
    r.LogDiafMin = std::log(0.83);
    r.LogDiafMax = static_cast<float>(std::log(50.0));
    return r;
}

} // namespace kavel
