#pragma once

#include <QString>
#include <QStringList>
#include <array>

// The standard exposure scales and the arithmetic that links a
// (speed, aperture, sensitivity) triplet, a light level and a lux value.
namespace kavel {

// Number of used entries of each scale; each table has one more slot, which
// stays 0 and is never reached by a loop over the scale.
inline constexpr int kNbVitesses = 55; // 30 s .. 1/8000 s
inline constexpr int kNbDiafs = 40;    // F/1 .. F/91
inline constexpr int kNbIsos = 10;     // 50 .. 25600
// Room for the speeds of electronic shutters (up to 1/320000 s) and the
// sensitivities of today's bodies (up to ISO 6553600), which continue the
// standard scales for a chart of such a body.
inline constexpr int kNbVitessesMax = kNbVitesses + 16;
inline constexpr int kNbIsosMax = kNbIsos + 8;

struct ExposureScales {
    // Exposure time of speed i = TabVitesseNum[i] / TabVitesseDen[i] seconds.
    std::array<double, kNbVitessesMax + 1> TabVitesseNum{};
    std::array<double, kNbVitessesMax + 1> TabVitesseDen{};
    std::array<double, kNbDiafs + 1> TabDiaf{};
    std::array<double, kNbIsosMax + 1> TabIso{};
    // Used entries: the standard counts, more for a body beyond them.
    int nbVitesses = kNbVitesses;
    int nbIsos = kNbIsos;

    // The filled standard scales.
    static ExposureScales standard();
    // The standard scales continued, for a body faster than 1/8000 s or
    // more sensitive than ISO 25600, up to its fastest speed value and its
    // highest sensitivity: speeds by thirds of a stop (10000, 12500, 16000,
    // ...), sensitivities by doubling (51200, 102400, ...).
    static ExposureScales pourBoitier(double vitesseMax, double isoMaxi);

    // Speed value (1/s) of speed i.
    double speedValue(int i) const { return TabVitesseDen[i] / TabVitesseNum[i]; }

    // Item texts of the calculator's lists; item i is entry i of its table.
    QStringList speedItems() const;
    QStringList diafItems() const;
    QStringList isoItems() const;
};

// Light level (EV at ISO 100) of speed value v (1/s), f-number n, ISO s.
double tripletEV(double v, double n, double s);

// Illuminance of a light level: the first two significant digits of
// 2.5 x 2^ev, truncated (EV 11 -> 5100 lux, EV 12 -> 10000 lux).
float EV2LUX(double ev);

// Text of an exposure time in seconds: "0,5s", "1/250s", "???" if not positive.
QString Speed2Txt(double theSpeed);

// Natural logarithms of the values at the edges of the chart.
struct AxisRange {
    double LogVitesseMin = 0; // left edge, speed value
    double LogVitesseMax = 0; // right edge, speed value
    double LogDiafMin = 0;    // bottom edge, f-number
    float LogDiafMax = 0;     // top edge, f-number
};

// The chart's ranges for a body whose fastest speed value is vitesseMaxBoitier.
AxisRange InitRange(double vitesseMaxBoitier);

} // namespace kavel
