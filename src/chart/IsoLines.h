#pragma once

#include "chart/ChartView.h"

namespace kavel {

struct ChartInputs;

// The line of correct exposure for one sensitivity at the current level,
// between the lens's widest and narrowest apertures and cut to the allowed
// speeds, labelled with the ISO number at its slow end. Nothing is drawn
// when the line lies wholly outside the allowed speeds, or when a limit it
// needs (an f-number, a speed) is not positive.
void TraceIso(const ChartView &chart, const ChartInputs &in, double iso, QRgb couleur);

} // namespace kavel
