#pragma once

#include <QStringList>
#include <optional>

// The camera bodies the program knows, with the limits each one puts on the chart.
namespace kavel {

struct LimitesBoitier {
    double VFlash;  // flash synchronisation speed value (1/s), 0 without built-in flash
    double VMax;    // fastest speed value
    double IsoMini;
    double IsoMax;
};

// The items of the body list, in order; the last one announces more bodies.
QStringList nomsBoitiers();

// The limits of body item i, or nothing for an item that is not a body.
std::optional<LimitesBoitier> limitesBoitier(int index);

// The lens mount of body item i, as the lens database names it (empty for
// an item that is not a body).
QString montureBoitier(int index);

} // namespace kavel
