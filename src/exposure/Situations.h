#pragma once

#include <QString>

namespace kavel {

// Typical scenes of a light level, in French, grouped under headings: one
// line each, joined by CR LF, an empty line between groups. Levels outside
// -6 .. 18 have no text.
QString EV2TXTFrench(float ev);

} // namespace kavel
