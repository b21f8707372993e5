#pragma once

#include "chart/ChartView.h"

namespace kavel {

struct ChartInputs;

// The chart's background: where the body and lens can be used and why not
// elsewhere. In order, each covering the ones before: hand-held zone, zoom
// blur band, shake zone, flash zone, too-wide apertures, the apertures a
// zoom loses at its long end (darkened in mask-not mode), too-narrow
// apertures. A zone whose limits include a value that is not positive is
// not painted. The draw mode is copy afterwards.
void TraceLimite(const ChartView &chart, const ChartInputs &in);

namespace colours {
inline constexpr QRgb kZoneMain = 0xFF183018;      // hand-held
inline constexpr QRgb kZoneFlouZoom = 0xFF401818;  // blur at the long end only
inline constexpr QRgb kZoneBouge = 0xFF502020;     // shake, and flash
inline constexpr QRgb kZoneDiaf = 0xFF202050;      // apertures out of the lens's range
inline constexpr QRgb kMasqueDiafZoom = 0xFF1E1E40; // mask-not colour of the zoom aperture band
} // namespace colours

} // namespace kavel
