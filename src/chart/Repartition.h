#pragma once

#include <vector>

namespace kavel {

class DrawingSurface;

// Number of 0,1 EV bins from EV -6 to EV 18.
inline constexpr int kNbClasses = 241;

// How many photos fall into each bin: a photo counts in the bin nearest to
// its level, once, when it lies within 0,05 EV of a bin's level.
std::vector<int> ClassesRepartition(const std::vector<double> &niveaux);

// The histogram of the photos' light levels: a white bar three pixels wide
// per bin, the fullest reaching half the height, a red mark on the bottom
// row for an empty bin; with no photo at all, a line saying how to make the
// base. Nothing else is drawn (the surface is not cleared).
void TraceRepartition(DrawingSurface &surface, const std::vector<double> &niveaux);

} // namespace kavel
