#pragma once

#include "exposure/Scales.h"

namespace kavel {

class DrawingSurface;

// Logarithmic chart coordinates on a surface of the given size. The left and
// right edges show the speed values of the range, the bottom and top edges
// its f-numbers (larger f-numbers higher). A value that is not positive has
// no place on the chart: the result is NaN, which the surface never draws.
float cx(const AxisRange &range, int width, float speedValue);
float cy(const AxisRange &range, int height, float fNumber);

// Moves the surface's current position (where the next text starts).
void GraphLocate(DrawingSurface &surface, float zzx, float zzy);

} // namespace kavel
