#pragma once

#include "chart/ChartCoords.h"
#include "platform/DrawingSurface.h"

namespace kavel {

// A surface with the chart's ranges: where each chart layer draws. Values
// are taken in single precision, as the coordinate functions want them.
struct ChartView {
    DrawingSurface &surface;
    AxisRange range;

    float cx(double speedValue) const { return kavel::cx(range, surface.width(), static_cast<float>(speedValue)); }
    float cy(double fNumber) const { return kavel::cy(range, surface.height(), static_cast<float>(fNumber)); }
    void locate(double x, double y) const
    {
        GraphLocate(surface, static_cast<float>(x), static_cast<float>(y));
    }
};

} // namespace kavel
