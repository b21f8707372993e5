#pragma once

#include "chart/ChartView.h"
#include "chart/Recalcul.h"

#include <QPoint>
#include <QSize>
#include <QString>
#include <vector>

namespace kavel {

struct ChartInputs;
struct ExposureScales;

// What the explanation box says about a point of the chart: the couple
// marker under it, or else the limit zone it lies in.
struct Explication {
    QString texte;
    QRgb couleur = 0;
    QSize taille;
    Qt::Alignment alignement;
};

namespace colours {
inline constexpr QRgb kBulleCouple = 0xFFFFFFC0; // a couple marker
inline constexpr QRgb kBulleVert = 0xFFC0FFC0;   // normal use
inline constexpr QRgb kBulleOrange = 0xFFFFE196; // depends on the focal length
inline constexpr QRgb kBulleRouge = 0xFFFFC0C0;  // outside a limit
} // namespace colours

inline constexpr QSize kTailleBulleCouple(145, 16);
inline constexpr QSize kTailleBulleZone(153, 113);

// The explanation at chart pixel (x, y) of a chart drawn from these inputs,
// whose markers are couples. A marker within about 5.5 pixels wins (the one
// recorded last); otherwise the zone tests run in order and the last that
// holds gives the text. A test whose values are not numbers does not hold.
Explication Explique(const ChartView &chart, const ChartInputs &in, const ExposureScales &scales,
                     const std::vector<TypeCouple> &couples, double x, double y);

// Where the box of the given size goes: 16 pixels below and right of the
// pointer, on the other side near the right and bottom edges of the chart.
QPoint PlaceBulle(double x, double y, QSize box, QSize chart);

} // namespace kavel
