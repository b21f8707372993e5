#pragma once

#include "chart/ChartView.h"

#include <QStringList>

namespace kavel {

struct ChartInputs;
struct ExposureScales;

// The chart's ranges for the older drawing: the bottom edge at F/0,9.
AxisRange RangeAncien(double vitesseMaxBoitier);

// The older chart: every standard (ISO 50 to 800, f-number, speed up to
// 1/5000 s) combination within 0,16 EV of the level, marked and joined per
// ISO, over the zones, grid and axes. Returns the list of the combinations
// as "1/250 - F/8 - Iso100 ... 16000". Draws nothing more once a limit text
// is not a number.
QStringList TraceAncien(const ChartView &chart, const ChartInputs &in, const ExposureScales &scales);

} // namespace kavel
