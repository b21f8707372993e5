// The exposure chart drawn on a real surface, read back at pixels placed by the surface's own
// scale or against the picture drawn with its own primitives; explanations; the histogram.
#include "chart/AxesGrid.h"
#include "chart/ChartInputs.h"
#include "chart/Explications.h"
#include "chart/IsoLines.h"
#include "chart/Legacy.h"
#include "chart/LimitZones.h"
#include "chart/Repartition.h"
#include "platform/SurfaceWidget.h"
#include <QTest>
#include <numeric>

using namespace kavel;
using namespace kavel::colours;

namespace {
constexpr QRgb kFond = DrawingSurface::kBackground, kJaune = 0xFFFFFF00, kVert = 0xFF00FF00;
constexpr QRgb kEncre = 0xFF123456; // a text colour nothing else on the chart uses
qreal gRatio = 1; // the device pixel ratio of the charts drawn

// The window's start-up values (EV 11, an 18-55 mm F/3,5-5,6 zoom closing to F/22, 1 to 1/4000 s,
// ISO 100 to 1600, a 1/4000 s body with flash at 1/200 s), then changes: "field=value" ("-" not
// a number, "1/30" a fraction), stab, flash, slow, prime (50 mm), constant (F/3,5 at both ends).
ChartInputs inputs(const QString &changes) {
    ChartInputs in;
    in.focalMiniText = "18", in.focalMaxiText = "55", in.diafMiniText = "3,5";
    in.diafMiniZoomText = "5,6", in.diafMaxiText = "22";
#define F(x) {#x, &in.x}
    const QHash<QString, std::optional<double> *> fields{F(valeur), F(focalMini), F(focalMaxi),
        F(diafMini), F(diafMaxi), F(diafMiniZoom), F(diafMaxiZoom), F(vitesseMini), F(vitesseMaxi),
        F(isoMini), F(isoMaxi), F(diafChoice)};
#undef F
    const QString start = "valeur=11 focalMini=18 focalMaxi=55 diafMini=3.5 diafMaxi=22 "
                          "diafMiniZoom=5.6 diafMaxiZoom=38 vitesseMini=1 vitesseMaxi=4000 "
                          "isoMini=100 isoMaxi=1600 ";
    for (const QString &change : (start + changes).split(' ', Qt::SkipEmptyParts)) {
        const QString key = change.section('=', 0, 0), text = change.section('=', 1);
        const double v = text.section('/', 0, 0).toDouble()
                         / (text.contains('/') ? text.section('/', 1).toDouble() : 1);
        if (key == "stab" || key == "flash" || key == "slow")
            (key == "stab" ? in.stabilisateur : key == "flash" ? in.flash : in.vitesseLente) = true;
        else if (key == "prime")
            in.focalMiniText = in.focalMaxiText = "50", in.focalMini = in.focalMaxi = 50;
        else if (key == "constant") in.diafMiniZoomText = "3,5", in.diafMiniZoom = 3.5;
        else if (key == "body") in.vitesseMaxBoitier = v;
        else if (key == "choice") in.speedChoice = int(v);
        else *fields[key] = text == "-" ? std::nullopt : std::optional<double>(v);
    }
    return in;
}

struct Chart {
    explicit Chart(const QString &changes = {}, AxisRange (*ranges)(double) = InitRange)
        : surface(QSize(753, 552), gRatio), in(inputs(changes)),
          range(ranges(in.vitesseMaxBoitier)) {
        if (in.vitesseLente) range.LogVitesseMin = std::log(1.0 / 40);
        QFont f = surface.font(); // text pixels in their exact colour
        f.setStyleStrategy(QFont::NoAntialias), surface.setFont(f), surface.setTextColour(kBlanc);
    }
    ChartView view() { return {surface, range}; }
    void draw() { TraceGraphique(view(), in, scales, couples); }
    float cx(double v) { return view().cx(v); }
    float cy(double n) { return view().cy(n); }
    QRgb at(double x, double y) { return surface.pixel(x, y).value_or(0); }
    void text(double x, double y, const QString &t, QRgb c) {
        view().locate(x, y), surface.setTextColour(c), surface.drawText(t);
    }
    // pixels of the colour in the square of radius r around (x, y)
    int around(double x, double y, QRgb colour, int r = 1) {
        int n = 0;
        for (int d = 0; d < (2 * r + 1) * (2 * r + 1); ++d)
            n += at(x + d % (2 * r + 1) - r, y + d / (2 * r + 1) - r) == colour;
        return n;
    }
    DrawingSurface surface;
    ChartInputs in;
    AxisRange range;
    ExposureScales scales = ExposureScales::standard();
    std::vector<TypeCouple> couples;
};
} // namespace

class TestChart : public QObject {
    Q_OBJECT
private slots:
    void coordinates(); void framework(); void zones(); void isoLine(); void chart();
    void explanation(); void legacy(); void distribution(); void hiDpi();
};

void TestChart::coordinates() { // on 753 x 552 pixels: edges, 1 s, F/8; 0 has no place
    const float nan = std::nanf("");
    const struct { bool speed; double fastest; float value, want; } rows[] = {
        {true, 4000, float(1 / 1.4), 0}, {true, 4000, 5000, 752}, {true, 4000, 1, 28.5788f},
        {true, 8000, 10000, 752}, {true, 4000, 0, nan}, {false, 4000, 50, 0},
        {false, 4000, 0.83f, 551}, {false, 4000, 8, 246.380f}, {false, 4000, 0, nan}};
    for (const auto &r : rows) {
        const float got = (r.speed ? cx : cy)(InitRange(r.fastest), r.speed ? 753 : 552, r.value);
        QVERIFY2(std::isnan(r.want) ? std::isnan(got) : std::abs(got - r.want) < 0.002f,
                 qPrintable(QString::number(got)));
    }
}
// Grid then axes: whole stops and decades light, the rest dark; f-numbers labelled left of the
// 1 s axis, speeds under the speed axis, slow ones by their time; red axes; bold titles.
void TestChart::framework() {
    const auto shade = [](double v, double base) { // light at whole powers of the base
        const bool whole = std::abs(std::remainder(std::log(v) / std::log(base), 1)) < 1e-6;
        return whole ? kGrilleClaire : kGrilleSombre;
    };
    for (const char *changes : {"", "body=7999", "body=8000", "slow"}) {
        Chart c(changes), r(changes);
        c.surface.setTextColour(kEncre);
        TraceGrille(c.view(), c.in);
        TraceAxe(c.view(), c.in);
        QCOMPARE(c.surface.textColour(), kEncre); // as they were
        QVERIFY(!c.surface.bold());
        const bool slow = r.in.vitesseLente;
        const double x0 = r.cx(slow ? 1.0 / 30 : 1), fastest = r.in.vitesseMaxBoitier;
        for (float n : {1.4f, 2.f, 2.8f, 4.f, 5.6f, 8.f, 11.f, 16.f, 22.f, 32.f}) {
            r.surface.line(x0, r.cy(n), r.cx(fastest), r.cy(n), shade(n, 2));
            r.text(r.cx(1) - 18, r.cy(n) + (slow ? -12 : -8), QString::number(n).replace('.', ','),
                   kLabelDiaf);
        }
        QList<float> speeds{1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 4000, 8000,
                            1 / 30.f, 1 / 20.f, 0.1f, 0.2f, 0.5f};
        speeds.removeIf([&](float v) { return (v == 8000 && fastest < 8000) || (v < 1 && !slow); });
        for (float v : speeds) {
            r.surface.line(r.cx(v), r.cy(1), r.cx(v), r.cy(45), shade(v, 10));
            r.text(r.cx(v) - 10, r.cy(1) + 1,
                   v < 1 ? QString::number(qRound(1 / v)) + 's' : QString::number(v),
                   v == 1 ? kBlanc : kLabelVitesse);
        }
        r.surface.line(x0, r.cy(1), r.cx(fastest), r.cy(1), kAxe);
        r.surface.line(r.cx(1), r.cy(1), r.cx(1), r.cy(45), kAxe);
        r.surface.setBold(true);
        r.text(753 - 75, 552 - 13, "Vitesse (1/s)", kLabelVitesse);
        r.text(slow ? r.cx(0.6) : 0, 0, "Diaphragme (F/)", kLabelDiaf);
        QVERIFY2(c.surface.image() == r.surface.image(), changes);
    }
}
// The colour at (speed, f-number), and beside it at (dx, dy) pixels: each limit's two sides.
void TestChart::zones() {
    const auto dark = [](QRgb c) { return (c & ~kMasqueDiafZoom) | 0xFF000000; }; // zoom band
    const QRgb M = kZoneMain, Z = kZoneFlouZoom, B = kZoneBouge, D = kZoneDiaf, F = kFond;
    const QRgb dM = dark(M), dB = dark(B);
    const struct { const char *changes; double speed, diaf; QRgb in, out; int dx, dy; } rows[] = {
        {"", 18, 11, B, Z, 1, 0}, {"", 55, 11, Z, M, 1, 0}, {"", 4000, 11, M, F, 1, 0},
        {"", 1, 11, B, F, -1, 0}, {"", 100, 1, D, F, 0, 1}, {"", 100, 3.5, dM, D, 0, 1},
        {"", 100, 5.6, dM, M, 0, -1}, {"", 2, 4.5, dB, dB, 0, 0}, {"", 100, 22, D, M, 0, 1},
        {"", 100, 45, D, F, 0, -1}, {"stab", 4.5, 11, B, Z, 1, 0}, {"stab", 13.75, 11, Z, M, 1, 0},
        {"flash", 200, 11, B, M, -1, 0}, {"flash", 4000, 11, B, F, 1, 0},
        {"flash", 1000, 4.5, dB, dB, 0, 0}, {"slow", 1 / 30., 11, B, F, -1, 0},
        {"prime", 50, 11, B, M, 1, 0}, {"prime", 1000, 4.5, M, M, 0, 0},
        {"diafMaxi=45", 100, 45, M, F, 0, -1}, {"focalMaxi=-", 1000, 11, F, F, 0, 0},
        {"focalMaxi=-", 2, 11, B, B, 0, 0}, {"focalMini=-", 2, 11, F, F, 0, 0},
        {"diafMini=-", 1000, 11, F, F, 0, 0}, {"diafMini=-", 100, 32, D, D, 0, 0},
        {"diafMiniZoom=-", 100, 2, D, D, 0, 0}, {"diafMaxi=-", 100, 11, F, F, 0, 0}};
    QStringList mal; // the rows whose colours differ
    for (const auto &[changes, speed, diaf, in, out, dx, dy] : rows) {
        Chart c(changes);
        TraceLimite(c.view(), c.in);
        QCOMPARE(c.surface.drawMode(), DrawingSurface::DrawMode::Copy);
        const double x = c.cx(speed), y = c.cy(diaf);
        if (c.at(x, y) != in || c.at(x + dx, y + dy) != out)
            mal << QString("%1 %2 F/%3").arg(changes).arg(speed).arg(diaf);
    }
    QCOMPARE(mal.join(" | "), "");
}
// At level EV, ISO S exposes F/N at the speed value 2^EV S / (100 N²); the line runs from
// (speed, f-number) at its slow end, where it is labelled, to the fast end; no ends, no line.
void TestChart::isoLine() {
    const struct { const char *changes; double iso; QList<double> ends; } rows[] = {
        {"", 100, {2048 / 484., 22, 2048 / 12.25, 3.5}},
        {"", 1, {1, std::sqrt(20.48), 2048 / 1225., 3.5}},
        {"valeur=15", 400, {32768 * 4 / 484., 22, 4000, std::sqrt(32.768)}}, // cut at 1/4000 s
        {"valeur=0 diafMini=1.4 slow vitesseMini=1/30 vitesseMaxi=0.5", 100,
         {1 / 30., std::sqrt(30.), 0.5, std::sqrt(2.)}},
        {"diafMini=1 diafMaxi=1", 100, {2048, 1, 2048, 1}}, {"valeur=0 diafMini=1.4", 100, {}},
        {"diafMini=0", 100, {}}, {"diafMaxi=-22", 100, {}}, {"vitesseMini=0", 100, {}},
        {"vitesseMaxi=0", 100, {}}, {"valeur=-", 100, {}}, {"diafMini=-", 100, {}},
        {"diafMaxi=-", 100, {}}, {"vitesseMini=-", 100, {}}};
    for (const auto &[changes, iso, e] : rows) {
        Chart c(changes), r(changes);
        TraceIso(c.view(), c.in, iso, kVert);
        QCOMPARE(c.surface.textColour(), kBlanc);
        if (!e.isEmpty()) {
            r.surface.line(r.cx(e[0]), r.cy(e[1]), r.cx(e[2]), r.cy(e[3]), kVert);
            r.text(r.cx(e[0]) - 15, r.cy(e[1]) - 15, QString::number(iso), kVert);
        }
        QVERIFY2(c.surface.image() == r.surface.image(), changes);
    }
}
// The whole chart: couple markers, focal-length labels (the only text in the surface's own
// colour) and the calculator's ring.
void TestChart::chart() {
    const QString f8 = "isoMini=100 isoMaxi=100 diafMini=8 diafMaxi=8 ";
    const QString only500 = " vitesseMini=500 vitesseMaxi=500";
    // level: the one speeds follow in thirds; clear: the marker's colour alone within 1 or 2 px
    const struct { QString changes; int count, level, clear; bool ring; } rows[] = {
        {"", 85, 11, 0, false}, {"isoMaxi=100", 17, 11, 1, false},
        {f8 + "valeur=15", 1, 15, 1, false}, {f8 + "valeur=15.1847" + only500, 1, 15, 2, false},
        {f8 + "valeur=15.1869" + only500, 0, 0, 0, false}, // 0,219 and 0,221 EV off 1/500 s
        {f8 + "valeur=20 diafMini=1", 0, 0, 0, false}, // faster than 1/4000 s
        {"valeur=8 isoMini=50 isoMaxi=25600 diafMini=1 diafMaxi=91 vitesseMini=1/30 "
         "vitesseMaxi=8000", 379, -1, 0, false},
        {"stab", 85, 11, 0, false}, {"prime", 85, 11, 0, false}, {"constant", 85, 11, 0, false},
        {"choice=36 diafChoice=8", 85, 11, 0, true},
        {"slow choice=0 diafChoice=8", 85, 11, 0, true},
        {"body=8000 choice=54 diafChoice=8", 85, 11, 0, true}, {"diafChoice=8", 85, 11, 0, false},
        {"choice=36", 85, 11, 0, false}};
    for (const auto &row : rows) {
        Chart c(row.changes), r(row.changes);
        c.surface.setTextColour(kEncre);
        c.draw();
        QVERIFY2(int(c.couples.size()) == row.count, qPrintable(row.changes));
        for (const TypeCouple &t : c.couples) {
            QCOMPARE(QPointF(t.X, t.Y), QPointF(c.cx(c.scales.speedValue(t.IndVitesse)),
                                                c.cy(c.scales.TabDiaf[t.IndDiaf])));
            // a third of a stop closed, a third slower; an ISO step, three thirds faster
            if (row.level >= 0)
                QCOMPARE(t.IndVitesse, 12 + 3 * row.level + 3 * t.IndIso - t.IndDiaf);
            const QRgb colour = couleurIso(c.scales.TabIso[t.IndIso]);
            if (row.clear) QCOMPARE(c.around(t.X, t.Y, colour, row.clear), 9);
        }
        // beside both blur limits under the full-aperture line; naming both full-aperture lines
        // near the fastest speed
        const double k = r.in.stabilisateur ? 4 : 1, full = r.cy(*r.in.diafMini);
        const double fast = r.cx(r.in.vitesseMaxBoitier) - 20;
        if (r.in.focalMiniText != r.in.focalMaxiText) {
            r.text(r.cx(18 / k) - 10, full + 4, "à 18mm", kEncre);
            r.text(r.cx(55 / k) - 10, full + 4, "à 55mm", kEncre);
            if (r.in.diafMiniZoomText != r.in.diafMiniText) {
                r.text(fast, full - 6, "à 18mm", kEncre);
                r.text(fast, r.cy(*r.in.diafMiniZoom) - 6, "à 55mm", kEncre);
            }
        }
        QVERIFY2(c.surface.image().createMaskFromColor(kEncre)
                     == r.surface.image().createMaskFromColor(kEncre), qPrintable(row.changes));
        const double x = c.cx(c.in.speedChoice < 0 ? 125 : c.scales.speedValue(c.in.speedChoice));
        for (int d = 0; d < 19 * 19; ++d) { // a square ring 4 to 7 pixels around the couple
            const int dx = d % 19 - 9, dy = d / 19 - 9, far = std::max(std::abs(dx), std::abs(dy));
            QCOMPARE(c.at(x + dx, c.cy(8) + dy) == kJaune, row.ring && far >= 4 && far <= 7);
        }
    }
    for (int i = 0; i < kNbIsos; ++i) { // greens up to ISO 800, greys above
        const QRgb col = couleurIso(ExposureScales::standard().TabIso[i]);
        QVERIFY(col != kBlanc);
        QCOMPARE(qGreen(col) > qRed(col), i <= 4);
    }
    // half-way between 1/250 and 1/320 s the slower one wins
    Chart c(f8 + "vitesseMini=250 vitesseMaxi=320");
    const double a = tripletEV(250, 8, 100), b = tripletEV(320, 8, 100);
    c.in.valeur = (a + b) / 2;
    QCOMPARE(std::abs(a - *c.in.valeur), std::abs(b - *c.in.valeur));
    c.draw();
    QCOMPARE(c.couples.at(0).IndVitesse, 39);
}
void TestChart::explanation() { // exactly on a limit a point is on neither side of it
    const QString vert =
        "Zone d'utilisation courante de cet objectif (sans pied)\r\n\r\nSi le sujet bouge vite";
    const QString bouge = "LIMITE DE FLOU DE BOUGE DE L'APPAREIL\r\n";
    const QString pied = bouge + "A cette vitesse d'obturation";
    const QString focale = bouge + "Suivant la focale";
    const QString objectif = "LIMITE DE L'OBJECTIF\r\nCette objectif ne peut pas ";
    const QString flash = "LIMITE DE FLASH INTERNE\r\n"
                          "Il ne peut pas être utilisé pour des vitesses sup. à 1/200s. A";
    const QString fermer = objectif + "fermer à plus de F/22\r\nPlus";
    const QString ouvrir = objectif + "ouvrir à plus de F/3,5\r\nPlus";
    const QString zoom = objectif + "ouvrir autant à toutes les focales";
    const QRgb v = kBulleVert, o = kBulleOrange, r = kBulleRouge;
    const struct { const char *changes; double speed, diaf; const QString &text; QRgb colour; }
        rows[] = {{"", 500, 11, vert, v}, {"", 17.99, 11, pied, r}, {"", 18, 11, vert, v},
            {"", 18.01, 11, focale, o}, {"", 54.99, 11, focale, o}, {"", 55, 11, vert, v},
            {"", 500, 22, vert, v}, {"", 500, 22.01, fermer, r}, {"", 500, 3.5, vert, v},
            {"", 500, 3.49, ouvrir, r}, {"", 500, 5.6, vert, v}, {"", 500, 5.59, zoom, o},
            {"", 55, 4.5, vert, v}, {"", 55.01, 4.5, zoom, o}, {"", 30, 4.5, focale, o},
            {"stab", 4.49, 11, pied, r}, {"stab", 4.51, 11, focale, o},
            {"stab", 13.76, 11, vert, v}, {"flash", 200, 11, vert, v},
            {"flash", 200.1, 11, flash, r}, {"flash", 3999, 11, flash, r},
            {"flash", 4000, 11, vert, v}, {"flash", 1000, 32, fermer, r},
            {"focalMini=1000 focalMaxi=1000", 500, 11, pied, r},
            {"focalMini=- diafMaxi=-", 5, 11, vert, v},
            {"focalMini=- diafMaxi=-", 500, 2, ouvrir, r}};
    QStringList mal; // the points explained otherwise
    for (const auto &[changes, speed, diaf, text, colour] : rows) {
        Chart c(changes);
        const Explication x =
            Explique(c.view(), c.in, c.scales, c.couples, c.cx(speed), c.cy(diaf));
        if (!x.texte.startsWith(text) || x.couleur != colour)
            mal << QString("%1 %2 F/%3: %4").arg(changes).arg(speed).arg(diaf).arg(x.texte);
    }
    QCOMPARE(mal.join(" | "), "");
    // A marker within reach (under 30 px²) wins, the one recorded last among several.
    Chart c;
    const float x = c.cx(250), y = c.cy(8);
    c.couples = {{1, 18, 39, x, y}, {2, 18, 42, x + 4, y}, {1, 18, 18, c.cx(2), y}};
    const auto at = [&](double px, double py) {
        return Explique(c.view(), c.in, c.scales, c.couples, px, py);
    };
    QCOMPARE(at(x - 5, y - 2).texte, "1/250s  -  F/8  -  Iso100");
    QCOMPARE(at(x - 5, y - 2).couleur, kBulleCouple);
    QVERIFY(at(x - 4, y - 4).texte.startsWith(vert));
    QCOMPARE(at(x + 1, y).texte, "1/500s  -  F/8  -  Iso200");
    QCOMPARE(at(c.cx(2), y).texte, "0,5s  -  F/8  -  Iso100");
    // The 153 x 113 box 16 pixels below and right of the pointer, on the other side at an edge.
    const auto place = [](int px, int py) {
        return PlaceBulle(px, py, QSize(153, 113), QSize(753, 552));
    };
    QCOMPARE(place(584, 423), QPoint(600, 439));
    QCOMPARE(place(585, 424), QPoint(416, 295));
    QCOMPARE(place(700, 100), QPoint(531, 116));
    QCOMPARE(place(100, 500), QPoint(116, 371));
}
// The older chart: every standard combination within 0,16 EV, ISO 50 to 800; 3 x 3 markers
// (alone within 2 pixels unless joined), blue at ISO 100, black otherwise, each joined to the
// one before at its ISO.
void TestChart::legacy() {
    const struct { const char *changes; QStringList list; } rows[] = {
        {"isoMini=50 diafMini=8 diafMaxi=8 vitesseMaxi=250",
         {"1/15 - F/8 - Iso50 ... 1920", "1/30 - F/8 - Iso100 ... 1920",
          "1/60 - F/8 - Iso200 ... 1920", "1/125 - F/8 - Iso400 ... 2000",
          "1/250 - F/8 - Iso800 ... 2000"}},
        {"valeur=6 isoMaxi=100 diafMini=8 diafMaxi=8", {"1s - F/8 - Iso100 ... 64"}},
        {"slow valeur=0 isoMaxi=100 diafMini=5.6 diafMaxi=5.6 vitesseMini=1/30",
         {"30s - F/5,6 - Iso100 ... 1,04533333333333"}},
        {"valeur=15 isoMaxi=100 diafMini=2.8 diafMaxi=2.8", {"1/4000 - F/2,8 - Iso100 ... 31360"}},
        {"isoMaxi=100 diafMini=5.6 diafMaxi=8",
         {"1/60 - F/5,6 - Iso100 ... 1881,6", "1/50 - F/6,3 - Iso100 ... 1984,5",
          "1/40 - F/7,1 - Iso100 ... 2016,4", "1/30 - F/8 - Iso100 ... 1920"}},
        {"valeur=-", {}}};
    for (const auto &r : rows) {
        Chart c(r.changes, RangeAncien);
        QCOMPARE(TraceAncien(c.view(), c.in, c.scales), r.list);
        QPointF before;
        QString iso;
        for (const QString &couple : r.list) {
            const QStringList p = couple.split(' ');
            const QPointF at(c.cx(p[0].endsWith('s') ? 1 / p[0].chopped(1).toDouble()
                                                     : p[0].mid(2).toDouble()),
                             c.cy(p[2].mid(2).replace(',', '.').toDouble()));
            const QRgb colour = p[4] == "Iso100" ? 0xFF0000FF : 0xFF000000;
            QCOMPARE(c.around(at.x(), at.y(), colour, r.list.size() == 4 ? 1 : 2), 9);
            if (p[4] == iso)
                QVERIFY(c.around((at.x() + before.x()) / 2, (at.y() + before.y()) / 2, colour) > 0);
            before = at, iso = p[4];
        }
    }
}
void TestChart::distribution() {
    const struct { QList<double> levels; QMap<int, int> bins; } rows[] = { // bins not empty
        {{12.37}, {{184, 1}}},
        {{-6.06, -6.05, -6, -5.95, 18, 18.05, 18.06}, {{0, 3}, {240, 2}}},
        {{0, 0, 0.03, 11, 10.96, 11.04}, {{60, 3}, {170, 3}}}};
    for (const auto &r : rows) {
        const std::vector<double> levels(r.levels.begin(), r.levels.end());
        const std::vector<int> classes = ClassesRepartition(levels);
        QCOMPARE(int(classes.size()), kNbClasses);
        for (int k = 0; k < kNbClasses; ++k) QCOMPARE(classes[k], r.bins.value(k));
        DrawingSurface s(QSize(3 * kNbClasses + 5, 100)); // three columns a bin, then nothing
        TraceRepartition(s, levels);
        // white from above the bottom row up to half the height for the fullest; red if empty
        QImage want = s.image();
        want.fill(kFond);
        const int max = std::max(1, *std::max_element(classes.begin(), classes.end()));
        for (int x = 0; x < 3 * kNbClasses; ++x) {
            const int n = classes[x / 3];
            for (int y = n ? qFloor(99 - 100.0 * n / max / 2 + 0.5) : 99; y <= (n ? 98 : 99); ++y)
                want.setPixel(x, y, n ? 0xFFFFFFFF : 0xFFFF0000);
        }
        QCOMPARE(s.image(), want);
    }
    for (bool empty : {true, false}) { // no photo at all: the chart says so over the red marks
        DrawingSurface s(QSize(3 * kNbClasses, 100));
        TraceRepartition(s, empty ? std::vector<double>{} : std::vector<double>{-5.0});
        int written = 0;
        for (int i = 0; i < 600 * 60; ++i)
            written += *s.pixel(100 + i % 600, 20 + i / 600) != kFond;
        QCOMPARE(written > 0, empty);
    }
    // Levels on each bin's edges and a hair either side: each within the range counts once.
    std::vector<double> edges{NAN, INFINITY, -INFINITY, -7, 20};
    for (int k = 0; k <= kNbClasses; ++k)
        for (double m : {(k - 60) / 10.0 - 0.05, -6 + k * 0.1 - 0.05})
            edges.insert(edges.end(), {m, std::nextafter(m, -100), std::nextafter(m, 100)});
    const std::vector<int> counts = ClassesRepartition(edges);
    const auto inRange = [](double v) { return v >= -6.05 && v <= 18.05; };
    QCOMPARE(std::accumulate(counts.begin(), counts.end(), 0),
             int(std::count_if(edges.begin(), edges.end(), inRange)));
}
// At device pixel ratio 2 (run under QT_SCALE_FACTOR=2) the surface holds twice the pixels each
// way; each logical pixel reads as at ratio 1, but lines and texts are drawn finer.
void TestChart::hiDpi() {
    SurfaceWidget w;
    w.resize(753, 552);
    QCOMPARE(w.devicePixelRatioF(), qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? 2.0 : 1.0);
    QCOMPARE(QPair(w.surface().image().size(), w.surface().width()),
             QPair(QSize(753, 552) * w.devicePixelRatioF(), 753));
    gRatio = 2, framework(), zones(), isoLine(), gRatio = 1;
    Chart un, deux;
    DrawingSurface &s = w.devicePixelRatioF() == 2
                            ? w.surface() : (deux.surface.setDevicePixelRatio(2), deux.surface);
    s.setFont(un.surface.font()), s.setTextColour(kBlanc), un.draw();
    TraceGraphique({s, un.range}, un.in, un.scales, deux.couples);
    const auto blocs = [](const DrawingSurface &s) { // logical pixels of unlike device pixels
        int n = 0;
        for (int i = 0; i < s.width() * s.height(); ++i) {
            const QImage &d = s.image();
            const int x = 2 * (i % s.width()), y = 2 * (i / s.width());
            n += d.pixel(x + 1, y) != d.pixel(x, y) || d.pixel(x, y + 1) != d.pixel(x, y)
                 || d.pixel(x + 1, y + 1) != d.pixel(x, y);
        }
        return n;
    };
    int same = 0;
    for (int i = 0; i < 753 * 552; ++i)
        same += s.pixel(i % 753, i / 753) == un.surface.pixel(i % 753, i / 753);
    QCOMPARE(s.image().size(), QSize(1506, 1104));
    QVERIFY2(same > 753 * 552 * 99 / 100, qPrintable(QString::number(same)));
    QVERIFY2(blocs(s) > 1000, qPrintable(QString::number(blocs(s))));
    // Axis-parallel lines, boxes, pixels, the histogram: the picture at ratio 1 blown up; a text
    // is finer.
    DrawingSurface a(QSize(3 * kNbClasses, 60)), b(QSize(3 * kNbClasses, 60), 2);
    for (DrawingSurface *d : {&a, &b}) {
        TraceRepartition(*d, {1, 2, 2, 3.5});
        d->line(3, 4, 600, 4, kJaune), d->line(7, 2, 7, 40, kVert), d->box(10, 10, 20, 30, kVert);
        d->setPixel(30, 3, kJaune), d->setDrawMode(DrawingSurface::DrawMode::MaskNot);
        d->filledBox(0, 0, 700, 6, kVert), d->setPixel(5, 20, kJaune), d->line(1, 1, 1, 1, kJaune);
    }
    QImage grand = a.image().scaled(a.image().size() * 2);
    grand.setDevicePixelRatio(2);
    QCOMPARE(b.image(), grand);
    DrawingSurface t(QSize(80, 20), 2);
    t.drawText("Vitesse (1/s)");
    QVERIFY(blocs(t) > 10);
}

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
