// The chart on a real surface, read back at pixels or against the picture drawn by hand.
#include "chart/AxesGrid.h"
#include "chart/ChartInputs.h"
#include "chart/Explications.h"
#include "chart/IsoLines.h"
#include "chart/Legacy.h"
#include "chart/LimitZones.h"
#include "chart/Repartition.h"
#include "platform/SurfaceWidget.h"
#include <QTest>

using namespace kavel;
using namespace kavel::colours;

namespace {
constexpr QRgb kFond = DrawingSurface::kBackground, kJaune = 0xFFFFFF00, kVert = 0xFF00FF00;
constexpr QRgb kEncre = 0xFF123456; // a text colour the chart does not use
qreal gRatio = 1; // device pixel ratio of the charts drawn

// The window's start-up values, then changes: "field=value" ("-" not a number), stab, flash, slow,
// prime (50 mm), constant (F/3,5 at both ends).
ChartInputs inputs(const QString &changes) {
    ChartInputs in;
    in.focalMiniText = "18", in.focalMaxiText = "55", in.diafMiniText = "3,5";
    in.diafMiniZoomText = "5,6", in.diafMaxiText = "22";
#define F(x) {#x, &in.x}
    const QHash<QString, std::optional<double> *> fields{F(valeur), F(focalMini), F(focalMaxi),
        F(diafMini), F(diafMaxi), F(diafMiniZoom), F(vitesseMini), F(vitesseMaxi), F(isoMini),
        F(isoMaxi), F(diafChoice)};
#undef F
    for (const QString &change : ("valeur=11 focalMini=18 focalMaxi=55 diafMini=3.5 diafMaxi=22 "
                                  "diafMiniZoom=5.6 vitesseMini=1 vitesseMaxi=4000 isoMini=100 "
                                  "isoMaxi=1600 " + changes).split(' ', Qt::SkipEmptyParts)) {
        const QString key = change.section('=', 0, 0), text = change.section('=', 1);
        const double v = text.toDouble();
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
        QFont f = surface.font(); // texts in their exact colour
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
    int around(double x, double y, QRgb colour, int r = 1) { // pixels within r
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

void TestChart::coordinates() { // 753 x 552 pixels: edges, 1 s, F/8; 0 has no place
    const float nan = std::nanf("");
    const struct { bool speed; float value, want; } rows[] = {{true, float(1 / 1.4), 0},
        {true, 5000, 752}, {true, 1, 28.5788f}, {true, 0, nan}, {false, 0.83f, 551},
        {false, 8, 246.380f}, {false, 0, nan}};
    for (const auto &r : rows) {
        const float got = (r.speed ? cx : cy)(InitRange(4000), r.speed ? 753 : 552, r.value);
        QVERIFY2(std::isnan(r.want) ? std::isnan(got) : std::abs(got - r.want) < 0.002f,
                 qPrintable(QString::number(got)));
    }
}
// Grid then axes: whole stops and decades light; labels; red axes; bold titles.
void TestChart::framework() {
    const auto shade = [](double v, double base) { // light at whole powers of the base
        const bool whole = std::abs(std::remainder(std::log(v) / std::log(base), 1)) < 1e-6;
        return whole ? kGrilleClaire : kGrilleSombre;
    };
    for (const char *changes : {"", "body=7999", "body=8000", "body=64000", "slow"}) {
        Chart c(changes), r(changes);
        c.surface.setTextColour(kEncre);
        TraceGrille(c.view(), c.in);
        TraceAxe(c.view(), c.in);
        QCOMPARE(c.surface.textColour(), kEncre); // left as found
        QVERIFY(!c.surface.bold());
        const bool slow = r.in.vitesseLente;
        const double x0 = r.cx(slow ? 1.0 / 30 : 1), fastest = r.in.vitesseMaxBoitier;
        for (float n : {1.4f, 2.f, 2.8f, 4.f, 5.6f, 8.f, 11.f, 16.f, 22.f, 32.f}) {
            r.surface.line(x0, r.cy(n), r.cx(fastest), r.cy(n), shade(n, 2));
            r.text(r.cx(1) - 18, r.cy(n) + (slow ? -12 : -8), QString::number(n).replace('.', ','),
                   kLabelDiaf);
        }
        QList<float> speeds{1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 4000, 8000,
                            16000, 32000, 64000, 1 / 30.f, 1 / 20.f, 0.1f, 0.2f, 0.5f};
        speeds.removeIf([&](float v) { return v > std::max(fastest, 4000.) || (v < 1 && !slow); });
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
// Colours at (speed, f-number) and at (dx, dy) pixels beside it: each limit's two sides.
void TestChart::zones() {
    const QRgb M = kZoneMain, Z = kZoneFlouZoom, B = kZoneBouge, D = kZoneDiaf, F = kFond;
    const QRgb dM = (M & ~kMasqueDiafZoom) | 0xFF000000; // in the zoom band
    const struct { const char *changes; double speed, diaf; QRgb in, out; int dx, dy; } rows[] = {
        {"", 18, 11, B, Z, 1, 0}, {"", 55, 11, Z, M, 1, 0}, {"", 4000, 11, M, F, 1, 0},
        {"", 1, 11, B, F, -1, 0}, {"", 100, 1, D, F, 0, 1}, {"", 100, 3.5, dM, D, 0, 1},
        {"", 100, 5.6, dM, M, 0, -1}, {"", 100, 22, D, M, 0, 1}, {"", 100, 45, D, F, 0, -1},
        {"stab", 4.5, 11, B, Z, 1, 0}, {"flash", 200, 11, B, M, -1, 0},
        {"slow", 1 / 30., 11, B, F, -1, 0}, {"prime", 50, 11, B, M, 1, 0},
        {"prime", 1000, 4.5, M, M, 0, 0}, {"diafMaxi=45", 100, 45, M, F, 0, -1},
        {"focalMaxi=-", 1000, 11, F, F, 0, 0}, {"focalMini=-", 2, 11, F, F, 0, 0},
        {"diafMini=-", 1000, 11, F, F, 0, 0}, {"diafMiniZoom=-", 100, 2, D, D, 0, 0},
        {"diafMaxi=-", 100, 11, F, F, 0, 0}};
    QStringList mal;
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
// ISO S at level EV exposes F/N at 2^EV S / (100 N²): from the labelled slow end to the fast one.
void TestChart::isoLine() {
    const struct { const char *changes; double iso; QList<double> ends; } rows[] = {
        {"", 100, {2048 / 484., 22, 2048 / 12.25, 3.5}},
        {"", 1, {1, std::sqrt(20.48), 2048 / 1225., 3.5}},
        {"valeur=15", 400, {32768 * 4 / 484., 22, 4000, std::sqrt(32.768)}}, // cut at 1/4000 s
        {"diafMini=1 diafMaxi=1", 100, {2048, 1, 2048, 1}}, {"valeur=0 diafMini=1.4", 100, {}},
        {"diafMini=0", 100, {}}, {"diafMaxi=-22", 100, {}}, {"vitesseMini=0", 100, {}},
        {"valeur=-", 100, {}}};
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
// Couple markers, focal-length labels (the only text in the surface's colour), the ring.
void TestChart::chart() {
    const QString f8 = "isoMini=100 isoMaxi=100 diafMini=8 diafMaxi=8 vitesseMini=500 ";
    // level: the one speeds follow in thirds (-1: none)
    const struct { QString changes; int count, level; bool ring; } rows[] = {{"", 85, 11, false},
        {f8 + "vitesseMaxi=500 valeur=15.1847", 1, 15, false}, // 0,219 EV off 1/500 s
        {f8 + "vitesseMaxi=500 valeur=15.1869", 0, 0, false}, // 0,221 EV off
        {f8 + "valeur=20 diafMini=1", 0, 0, false}, // faster than 1/4000 s
        {"valeur=8 isoMini=50 isoMaxi=25600 diafMini=1 diafMaxi=91 vitesseMini=0.033 "
         "vitesseMaxi=8000", 379, -1, false},
        {"stab slow choice=0 diafChoice=8", 85, 11, true},
        {"prime body=8000 choice=54 diafChoice=8", 85, 11, true},
        {"constant diafChoice=8", 85, 11, false}, {"choice=36", 85, 11, false}};
    for (const auto &row : rows) {
        Chart c(row.changes), r(row.changes);
        c.surface.setTextColour(kEncre);
        c.draw();
        QVERIFY2(int(c.couples.size()) == row.count, qPrintable(row.changes));
        for (const TypeCouple &t : c.couples) {
            QCOMPARE(QPointF(t.X, t.Y), QPointF(c.cx(c.scales.speedValue(t.IndVitesse)),
                                                c.cy(c.scales.TabDiaf[t.IndDiaf])));
            // a third of a stop closed, a third slower; an ISO step, a stop faster
            if (row.level >= 0)
                QCOMPARE(t.IndVitesse, 12 + 3 * row.level + 3 * t.IndIso - t.IndDiaf);
            if (row.count == 1) // the marker alone within 2 pixels
                QCOMPARE(c.around(t.X, t.Y, couleurIso(c.scales.TabIso[t.IndIso]), 2), 9);
        }
        // beside both blur limits; naming both full-aperture lines near the fastest speed
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
        QCOMPARE(c.around(x, c.cy(8), kJaune, 9), row.ring ? 15 * 15 - 7 * 7 : 0); // 4 to 7 px off
        QCOMPARE(c.around(x, c.cy(8), kJaune, 3), 0);
    }
    // half-way between 1/250 and 1/320 s, the slower
    Chart c(f8 + "vitesseMini=250 vitesseMaxi=320");
    const double a = tripletEV(250, 8, 100), b = tripletEV(320, 8, 100);
    c.in.valeur = (a + b) / 2;
    c.draw();
    QCOMPARE(c.couples.at(0).IndVitesse, 39);
}
void TestChart::explanation() { // exactly on a limit is on neither side
    const QString vert = "Zone d'utilisation courante de cet objectif (sans pied)\r\n\r\nSi";
    const QString bouge = "LIMITE DE FLOU DE BOUGE DE L'APPAREIL\r\n", pied = bouge + "A cette";
    const QString focale = bouge + "Suivant";
    const QString objectif = "LIMITE DE L'OBJECTIF\r\nCette objectif ne peut pas ";
    const QString flash = "LIMITE DE FLASH INTERNE\r\nIl ne peut pas être utilisé pour des "
                          "vitesses sup. à 1/200s. A";
    const QString fermer = objectif + "fermer à plus de F/22\r\n";
    const QString ouvrir = objectif + "ouvrir à plus de F/3,5\r\n";
    const QString zoom = objectif + "ouvrir autant à toutes les focales";
    const QRgb v = kBulleVert, o = kBulleOrange, r = kBulleRouge;
    const struct { const char *changes; double speed, diaf; const QString &text; QRgb colour; }
        rows[] = {{"", 17.99, 11, pied, r}, {"", 18, 11, vert, v}, {"", 55, 11, vert, v},
            {"", 500, 22, vert, v}, {"", 500, 22.01, fermer, r}, {"", 500, 3.5, vert, v},
            {"", 500, 3.49, ouvrir, r}, {"", 500, 5.6, vert, v}, {"", 500, 5.59, zoom, o},
            {"", 55, 4.5, vert, v}, {"", 55.01, 4.5, zoom, o}, {"stab", 4.51, 11, focale, o},
            {"flash", 200, 11, vert, v}, {"flash", 200.1, 11, flash, r},
            {"flash", 4000, 11, vert, v}, {"flash", 1000, 32, fermer, r},
            {"focalMini=- diafMaxi=-", 5, 11, vert, v},
            {"focalMini=- diafMaxi=-", 500, 2, ouvrir, r}};
    QStringList mal;
    for (const auto &[changes, speed, diaf, text, colour] : rows) {
        Chart c(changes);
        const Explication x =
            Explique(c.view(), c.in, c.scales, c.couples, c.cx(speed), c.cy(diaf));
        if (!x.texte.startsWith(text) || x.couleur != colour)
            mal << QString("%1 %2 F/%3: %4").arg(changes).arg(speed).arg(diaf).arg(x.texte);
    }
    QCOMPARE(mal.join(" | "), "");
    // A marker within reach (under 30 px²) wins, the last recorded among several.
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
    // The box 16 pixels below and right of the pointer, on the other side at an edge.
    QCOMPARE(PlaceBulle(584, 423, {153, 113}, {753, 552}), QPoint(600, 439));
    QCOMPARE(PlaceBulle(585, 424, {153, 113}, {753, 552}), QPoint(416, 295));
}
// The older chart: combinations within 0,16 EV, ISO 50 to 800.
void TestChart::legacy() {
    const struct { const char *changes; QStringList list; } rows[] = {
        {"isoMini=400 diafMini=8 diafMaxi=8 vitesseMaxi=250",
         {"1/125 - F/8 - Iso400 ... 2000", "1/250 - F/8 - Iso800 ... 2000"}},
        {"slow valeur=0 isoMaxi=100 diafMini=5.6 diafMaxi=5.6 vitesseMini=0.033",
         {"30s - F/5,6 - Iso100 ... 1,04533333333333"}},
        {"valeur=15 isoMaxi=100 diafMini=2.8 diafMaxi=2.8", {"1/4000 - F/2,8 - Iso100 ... 31360"}},
        {"isoMaxi=100 diafMini=5.6 diafMaxi=6.3",
         {"1/60 - F/5,6 - Iso100 ... 1881,6", "1/50 - F/6,3 - Iso100 ... 1984,5"}},
        {"valeur=-", {}}};
    for (const auto &r : rows) {
        Chart c(r.changes, RangeAncien);
        QCOMPARE(TraceAncien(c.view(), c.in, c.scales), r.list);
    }
}
// Levels within -6,05 to 18,05 in the nearest bin.
void TestChart::distribution() {
    const std::vector<double> rows[] = {{-6.06, -6.05, -6, -5.95, 18, 18.05, 18.06, NAN},
                                        {0, 0, 0.03, 11, 10.96, 11.04}, {}};
    const QMap<int, int> bins[] = {{{0, 3}, {240, 2}}, {{60, 3}, {170, 3}}, {}};
    for (int i = 0; i < 3; ++i) {
        const std::vector<int> classes = ClassesRepartition(rows[i]);
        QCOMPARE(int(classes.size()), kNbClasses);
        for (int k = 0; k < kNbClasses; ++k) QCOMPARE(classes[k], bins[i].value(k));
        DrawingSurface s(QSize(3 * kNbClasses + 5, 100)); // then nothing
        TraceRepartition(s, rows[i]);
        QImage want = s.image();
        want.fill(kFond);
        const int max = *std::max_element(classes.begin(), classes.end());
        for (int x = 0; x < 3 * kNbClasses; ++x) {
            const int n = classes[x / 3];
            for (int y = n ? qFloor(99 - 100.0 * n / max / 2 + 0.5) : 99; y <= (n ? 98 : 99); ++y)
                want.setPixel(x, y, n ? 0xFFFFFFFF : 0xFFFF0000);
        }
        QCOMPARE(s.image() == want, i < 2);
    }
}
// At device pixel ratio 2 (also run under QT_SCALE_FACTOR=2): twice the pixels each way.
void TestChart::hiDpi() {
    SurfaceWidget w;
    w.resize(753, 552);
    QCOMPARE(w.devicePixelRatioF(), qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? 2.0 : 1.0);
    QCOMPARE(QPair(w.surface().image().size(), w.surface().width()),
             QPair(QSize(753, 552) * w.devicePixelRatioF(), 753));
    gRatio = 2, framework(), zones(), isoLine(), gRatio = 1;
    // Axis-parallel lines, boxes, pixels, the histogram: the picture at ratio 1 blown up.
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
    int fine = 0; // but a text finer
    for (int i = 0; i < 80 * 40; ++i)
        fine += t.image().pixel(i % 80 * 2, i / 80) != t.image().pixel(i % 80 * 2 + 1, i / 80);
    QVERIFY(fine > 10);
}

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
