#include "chart/ChartCoords.h"

#include "platform/DrawingSurface.h"

#include <cmath>
#include <limits>

namespace kavel {

float cx(const AxisRange &range, int width, float speedValue)
{
    if (!(speedValue > 0))
        return std::numeric_limits<float>::quiet_NaN();
    const float w1 = static_cast<float>(width - 1);
    const double k = w1 / (range.LogVitesseMax - range.LogVitesseMin);
    return static_cast<float>(k * std::log(static_cast<double>(speedValue)) - k * range.LogVitesseMin);
}

float cy(const AxisRange &range, int height, float fNumber)
{
    if (!(fNumber > 0))
        return std::numeric_limits<float>::quiet_NaN();
    const float h1 = static_cast<float>(height - 1);
    const double k = h1 / (range.LogDiafMin - range.LogDiafMax); // negative: y grows downwards
    return static_cast<float>(k * std::log(static_cast<double>(fNumber)) - k * range.LogDiafMax);
}

void GraphLocate(DrawingSurface &surface, float zzx, float zzy)
{
    surface.setCurrentPosition(QPointF(zzx, zzy));
}

} // namespace kavel
