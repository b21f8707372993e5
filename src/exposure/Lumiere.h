#pragma once

#include "exposure/Scales.h"

#include <QString>
#include <optional>

// The light level as the light panel shows it, and the calculator that
// derives it from a (speed, aperture, ISO) triplet. Levels are in tenths of
// EV on the slider, from kNiveauMin to kNiveauMax.
namespace kavel {

inline constexpr int kNiveauMin = -60; // EV -6
inline constexpr int kNiveauMax = 180; // EV 18

// The slider position for a triplet: speed i of the scale, f-number and ISO
// read from their texts. Nothing when no speed is chosen, a text is not a
// number, or the triplet gives no positive exposure.
std::optional<int> calculLumiere(const ExposureScales &scales, int speedIndex, const QString &diafText,
                                 const QString &isoText);

// The grey (0 .. 255) that shows level ev, -6 black to 18 white.
int niveauGris(double ev);
// The exact grey before rounding; captions on the panel turn black above 160.
double gris(double ev);

// A lux value as the panel writes it: at most three decimals, a comma, a
// space before the last three digits of the whole part, then " lux"
// (EV 11 reads "5 100 lux", EV -6 "0,039 lux").
QString texteLux(float lux);

} // namespace kavel
