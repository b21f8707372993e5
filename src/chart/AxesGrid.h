#pragma once

#include "chart/ChartView.h"

namespace kavel {

struct ChartInputs;

// The chart's framework: red axes with bold titles, the aperture and speed
// grid lines with their labels. Text colour and bold are left as found.
void TraceAxe(const ChartView &chart, const ChartInputs &in);
void TraceGrille(const ChartView &chart, const ChartInputs &in);
// One horizontal grid line at an f-number, labelled left of the 1 s axis.
void TraceGrilleX(const ChartView &chart, const ChartInputs &in, float diaf, QRgb couleur);
// One vertical grid line at a speed value, labelled under the speed axis.
void TraceGrilleY(const ChartView &chart, float vitesse, QRgb couleur);

namespace colours {
inline constexpr QRgb kAxe = 0xFFFF0000;
inline constexpr QRgb kLabelVitesse = 0xFFFF9F9F;
inline constexpr QRgb kLabelDiaf = 0xFF9F9FFF;
inline constexpr QRgb kBlanc = 0xFFFFFFFF;
inline constexpr QRgb kGrilleSombre = 0xFF404040;
inline constexpr QRgb kGrilleClaire = 0xFF808080;
} // namespace colours

} // namespace kavel
