#pragma once

#include "chart/ChartView.h"

#include <vector>

namespace kavel {

struct ChartInputs;
struct ExposureScales;

// A speed-aperture couple marked on the chart: indices in the scales and the
// marker's centre in chart pixels.
struct TypeCouple {
    int IndIso = 0;
    int IndDiaf = 0;
    int IndVitesse = 0;
    float X = 0;
    float Y = 0;
};

// Colour of a sensitivity's line and markers: greens up to ISO 800, greys above.
QRgb couleurIso(double iso);

// Couples farther than this from the level (EV) are not marked.
inline constexpr double kEcartCoupleMax = 0.22;

// Draws the chart's layers on a cleared surface whose ranges are set, in
// order: limit zones, grid, axes, then for each sensitivity in range its line and its
// couple markers (recorded in couples), the focal-length labels and the
// ring around the calculator's chosen couple. The inputs must all be numbers.
void TraceGraphique(const ChartView &chart, const ChartInputs &in, const ExposureScales &scales,
                    std::vector<TypeCouple> &couples);

} // namespace kavel
