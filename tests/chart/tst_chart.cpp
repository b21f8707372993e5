// The exposure chart's layers drawn on a real surface, checked by reading
// pixels at places computed from the surface's own size.
#include "chart/AxesGrid.h"
#include "chart/ChartInputs.h"
#include "support/ChartFixtures.h"
#include "chart/IsoLines.h"
#include "chart/Recalcul.h"
#include "exposure/Scales.h"

#include <QTest>
#include <cmath>

using namespace kavel;

namespace {

struct Chart {
    explicit Chart(ChartInputs inputs, QSize size = QSize(753, 552))
        : surface(size)
        , in(std::move(inputs))
    {
        surface.setTextColour(0xFFFFFFFF);
        range = InitRange(in.vitesseMaxBoitier);
        range.LogVitesseMin = in.vitesseLente ? std::log(1.0 / 40) : std::log(1 / 1.4);
    }
    ChartView view() { return ChartView{surface, range}; }
    void draw() { TraceGraphique(view(), in, scales, couples); }
    float cx(double v) { return view().cx(v); }
    float cy(double n) { return view().cy(n); }
    QRgb at(double x, double y) { return surface.pixel(x, y).value_or(0); }
    // Whether the colour lies within one pixel of a point.
    bool near(double x, double y, QRgb colour)
    {
        for (int dx = -1; dx <= 1; ++dx)
            for (int dy = -1; dy <= 1; ++dy)
                if (at(x + dx, y + dy) == colour)
                    return true;
        return false;
    }
    int count(QRgb colour)
    {
        int n = 0;
        for (int y = 0; y < surface.height(); ++y)
            for (int x = 0; x < surface.width(); ++x)
                n += at(x, y) == colour;
        return n;
    }

    DrawingSurface surface;
    ChartInputs in;
    AxisRange range;
    ExposureScales scales = ExposureScales::standard();
    std::vector<TypeCouple> couples;
};

constexpr QRgb kIso100 = 0xFF00FF00;
constexpr QRgb kIso400 = 0xFF40C040;
constexpr QRgb kJaune = 0xFFFFFF00;

} // namespace

class TestChart : public QObject {
    Q_OBJECT
private slots:
    void startUpCouples();
    void singleCouple();
    void unreachableSpeedsAreNotMarked();
    void couplesAreNeverLost();
    void isoLineAndLabel();
    void isoLineClampedToFastestSpeed();
    void darkSceneDrawsNoLine_data();
    void darkSceneDrawsNoLine();
    void notPositiveLimitsDrawNothing_data();
    void notPositiveLimitsDrawNothing();
    void redAxes();
    void speedGridLines_data();
    void speedGridLines();
    void apertureGridLines();
    void apertureTitleMovesWithSlowSpeeds();
    void layersLeaveTextStyleAlone();
    void calculatorRing();
    void noRingWithoutChoice_data();
    void noRingWithoutChoice();
};

void TestChart::startUpCouples()
{
    Chart c(startUpInputs());
    c.draw();
    QCOMPARE(c.couples.size(), size_t(85)); // 5 sensitivities x 17 f-numbers
    const auto find = [&](int iso, int diaf) {
        for (const TypeCouple &t : c.couples)
            if (t.IndIso == iso && t.IndDiaf == diaf)
                return t;
        return TypeCouple{-1, -1, -1, 0, 0};
    };
    QCOMPARE(find(1, 11).IndVitesse, 37); // ISO 100, F/3,5: 1/160 s
    QCOMPARE(find(1, 24).IndVitesse, 24); // ISO 100, F/16: 1/8 s, exactly EV 11
    const TypeCouple f16 = find(1, 24);
    QCOMPARE(f16.X, c.cx(8));
    QCOMPARE(f16.Y, c.cy(16));
    // The 3 x 3 marker in the ISO colour.
    QCOMPARE(c.at(f16.X - 1, f16.Y - 1), kIso100);
    QCOMPARE(c.at(f16.X + 1, f16.Y + 1), kIso100);
}

void TestChart::singleCouple()
{
    ChartInputs in = startUpInputs();
    in.valeur = 15;
    in.isoMini = in.isoMaxi = 100;
    in.diafMini = in.diafMaxi = 8;
    Chart c(in);
    c.draw();
    QCOMPARE(c.couples.size(), size_t(1));
    QCOMPARE(c.couples[0].IndIso, 1);
    QCOMPARE(c.couples[0].IndDiaf, 18);
    QCOMPARE(c.couples[0].IndVitesse, 42); // 1/500 s
}

// EV 20 at F/1 needs 1/100000 s: the fastest allowed speed is too far.
void TestChart::unreachableSpeedsAreNotMarked()
{
    ChartInputs in = startUpInputs();
    in.valeur = 20;
    in.isoMini = in.isoMaxi = 100;
    in.diafMini = 1;
    in.diafMaxi = 1;
    Chart c(in);
    c.draw();
    QVERIFY(c.couples.empty());
}

void TestChart::couplesAreNeverLost()
{
    ChartInputs in = startUpInputs();
    in.valeur = 8;
    in.isoMini = 50;
    in.isoMaxi = 25600;
    in.diafMini = 1;
    in.diafMaxi = 91;
    in.vitesseMini = 1.0 / 30;
    in.vitesseMaxi = 8000;
    Chart c(in);
    c.draw();
    QVERIFY(c.couples.size() > 201);
    for (const TypeCouple &t : c.couples)
        QVERIFY(t.IndVitesse >= 0 && t.IndVitesse < kNbVitesses);
}

void TestChart::isoLineAndLabel()
{
    ChartInputs in = startUpInputs();
    in.isoMini = in.isoMaxi = 100;
    Chart c(in);
    TraceIso(c.view(), c.in, 100, kIso100);
    // At EV 11, ISO 100 exposes F/22 at 2048/484 and F/3,5 at 2048/12,25 (1/s);
    // the line is straight on the log axes.
    const double vA = 2048.0 / 484, vB = 2048.0 / 12.25;
    QVERIFY(c.near(c.cx(vA), c.cy(22), kIso100));
    QVERIFY(c.near(c.cx(vB), c.cy(3.5), kIso100));
    QVERIFY(c.near(c.cx(std::sqrt(vA * vB)), c.cy(std::sqrt(22 * 3.5)), kIso100));
    QVERIFY(!c.near(c.cx(vB) + 4, c.cy(3.5), kIso100));
    // The label "100" lies above and left of the slow end, in the line's colour.
    int label = 0;
    for (int y = c.cy(22) - 15; y < c.cy(22) - 15 + c.surface.textHeight(); ++y)
        for (int x = c.cx(vA) - 15; x < c.cx(vA) - 15 + c.surface.textWidth("100"); ++x)
            label += qGreen(c.at(x, y)) > 100 && qRed(c.at(x, y)) < 60;
    QVERIFY(label > 5);
}

// ISO 400 at EV 15 would need 1/10700 s at F/3,5: the line stops at 1/4000 s.
void TestChart::isoLineClampedToFastestSpeed()
{
    ChartInputs in = startUpInputs();
    in.valeur = 15;
    Chart c(in);
    TraceIso(c.view(), c.in, 400, kIso400);
    const double nEnd = std::sqrt(std::exp2(15.0) * 400 / (100 * 4000.0));
    QVERIFY(std::abs(nEnd - 5.72) < 0.01);
    QVERIFY(c.near(c.cx(4000), c.cy(nEnd), kIso400));
    QVERIFY(!c.near(c.cx(4000) + 4, c.cy(nEnd), kIso400));
    QVERIFY(!c.near(c.cx(5000), c.cy(3.5), kIso400));
}

void TestChart::darkSceneDrawsNoLine_data()
{
    QTest::addColumn<bool>("slow");
    QTest::addColumn<bool>("drawn");
    QTest::newRow("speeds from 1 s") << false << false;
    QTest::newRow("slow speeds shown") << true << true;
}

// At EV 0 every point of ISO 100's line is slower than 1 s.
void TestChart::darkSceneDrawsNoLine()
{
    QFETCH(bool, slow);
    QFETCH(bool, drawn);
    ChartInputs in = startUpInputs();
    in.valeur = 0;
    in.diafMini = 1.4;
    in.vitesseLente = slow;
    in.vitesseMini = slow ? 0.0333 : 1;
    Chart c(in);
    TraceIso(c.view(), c.in, 100, kIso100);
    QCOMPARE(c.count(kIso100) > 0, drawn);
    if (drawn) { // from (30 s, about F/5,5) to (about 2 s, F/1,4)
        QVERIFY(c.near(c.cx(0.0333), c.cy(std::sqrt(1 / 0.0333)), kIso100));
        QVERIFY(c.near(c.cx(1 / 1.96), c.cy(1.4), kIso100));
    }
}

void TestChart::notPositiveLimitsDrawNothing_data()
{
    QTest::addColumn<QString>("field");
    QTest::newRow("widest f-number 0") << "diafMini";
    QTest::newRow("narrowest f-number negative") << "diafMaxi";
    QTest::newRow("slowest speed 0") << "vitesseMini";
    QTest::newRow("fastest speed 0") << "vitesseMaxi";
}

void TestChart::notPositiveLimitsDrawNothing()
{
    QFETCH(QString, field);
    ChartInputs in = startUpInputs();
    in.isoMini = in.isoMaxi = 100;
    if (field == "diafMini")
        in.diafMini = 0;
    else if (field == "diafMaxi")
        in.diafMaxi = -22;
    else if (field == "vitesseMini")
        in.vitesseMini = 0;
    else
        in.vitesseMaxi = 0;
    Chart c(in);
    TraceIso(c.view(), c.in, 100, kIso100);
    QCOMPARE(c.count(kIso100), 0);
    c.draw(); // and the whole chart neither crashes nor marks a couple in garbage places
    for (const TypeCouple &t : c.couples) {
        QVERIFY(std::isfinite(t.X) && std::isfinite(t.Y));
    }
}

void TestChart::redAxes()
{
    Chart c(startUpInputs());
    c.draw();
    const QRgb red = colours::kAxe;
    // Speed axis at F/1 from 1 s to the body's fastest speed.
    for (double v : {1.5, 3.0, 7.0, 30.0, 300.0, 3000.0})
        QCOMPARE(c.at(c.cx(v), c.cy(1)), red);
    QVERIFY(c.at(c.cx(4000) + 3, c.cy(1)) != red);
    QVERIFY(c.at(c.cx(1) - 3, c.cy(1)) != red);
    // Aperture axis at 1 s from F/1 to F/45.
    for (double n : {1.2, 1.7, 3.0, 6.0, 30.0, 44.0})
        QCOMPARE(c.at(c.cx(1), c.cy(n)), red);
    QVERIFY(c.at(c.cx(1), c.cy(45) - 3) != red);
}

void TestChart::speedGridLines_data()
{
    QTest::addColumn<double>("fastest");
    QTest::addColumn<bool>("slow");
    QTest::addColumn<int>("lines");
    QTest::newRow("1/4000 body") << 4000.0 << false << 12;
    QTest::newRow("1/8000 body") << 8000.0 << false << 13;
    QTest::newRow("faster body, no line beyond 8000") << 16000.0 << false << 13;
    QTest::newRow("slow speeds shown") << 4000.0 << true << 17;
}

// Counted along the row of F/1,2, which no horizontal line crosses: each
// vertical grid line is one grey pixel there, the 1 s line is under the red axis.
void TestChart::speedGridLines()
{
    QFETCH(double, fastest);
    QFETCH(bool, slow);
    QFETCH(int, lines);
    ChartInputs in = startUpInputs();
    in.vitesseMaxBoitier = fastest;
    in.vitesseLente = slow;
    Chart c(in);
    TraceGrille(c.view(), c.in);
    TraceAxe(c.view(), c.in);
    const int y = qRound(c.cy(1.2));
    int grey = 0;
    for (int x = 0; x < c.surface.width(); ++x) {
        const QRgb p = c.at(x, y);
        grey += p == colours::kGrilleSombre || p == colours::kGrilleClaire;
    }
    QCOMPARE(grey + 1, lines);
    QCOMPARE(c.at(c.cx(1), y), colours::kAxe);
    QCOMPARE(c.at(c.cx(10), y), colours::kGrilleClaire);
    QCOMPARE(c.at(c.cx(20), y), colours::kGrilleSombre);
    if (fastest >= 8000)
        QCOMPARE(c.at(c.cx(8000), y), colours::kGrilleSombre);
    if (slow) {
        QCOMPARE(c.at(c.cx(1.0 / 10), y), colours::kGrilleClaire);
        QCOMPARE(c.at(c.cx(1.0 / 30), y), colours::kGrilleSombre);
    }
}

void TestChart::apertureGridLines()
{
    for (bool slow : {false, true}) {
        ChartInputs in = startUpInputs();
        in.vitesseLente = slow;
        Chart c(in);
        TraceGrille(c.view(), c.in);
        // Whole stops light, the others dark; from the left edge of the axis
        // (1 s, or 30 s with slow speeds) to the body's fastest speed.
        const double start = slow ? 1.0 / 30 : 1.0;
        QCOMPARE(c.at(c.cx(start) + 1, c.cy(8)), colours::kGrilleClaire);
        QCOMPARE(c.at(c.cx(3000), c.cy(5.6f)), colours::kGrilleSombre);
        QCOMPARE(c.at(c.cx(3000), c.cy(32)), colours::kGrilleClaire);
        QVERIFY(c.at(c.cx(start) - 2, c.cy(8)) != colours::kGrilleClaire);
        QVERIFY(c.at(c.cx(4000) + 2, c.cy(8)) != colours::kGrilleClaire);
    }
}

void TestChart::apertureTitleMovesWithSlowSpeeds()
{
    const auto bluish = [](Chart &c, int x0, int x1) {
        int n = 0;
        for (int y = 0; y < c.surface.textHeight(); ++y)
            for (int x = x0; x < x1; ++x) {
                const QRgb p = c.at(x, y);
                n += qBlue(p) > 120 && qBlue(p) > qRed(p) + 40;
            }
        return n;
    };
    ChartInputs in = startUpInputs();
    Chart fast(in);
    TraceAxe(fast.view(), fast.in);
    QVERIFY(bluish(fast, 0, 20) > 0);

    in.vitesseLente = true;
    Chart slow(in);
    TraceAxe(slow.view(), slow.in);
    QCOMPARE(bluish(slow, 0, int(slow.cx(0.6)) - 1), 0);
    QVERIFY(bluish(slow, slow.cx(0.6), slow.cx(0.6) + 20) > 0);
}

void TestChart::layersLeaveTextStyleAlone()
{
    Chart c(startUpInputs());
    c.surface.setTextColour(0xFF123456);
    c.surface.setBold(false);
    c.draw();
    QCOMPARE(c.surface.textColour(), QRgb(0xFF123456));
    QVERIFY(!c.surface.bold());
    c.surface.setBold(true);
    TraceAxe(c.view(), c.in);
    QVERIFY(c.surface.bold());
}

void TestChart::calculatorRing()
{
    ChartInputs in = startUpInputs();
    in.speedChoice = 36; // 1/125 s
    in.diafChoice = 8;
    Chart c(in);
    c.draw();
    const double x = c.cx(125), y = c.cy(8);
    for (int h = 4; h <= 7; ++h) {
        QCOMPARE(c.at(x - h, y), kJaune);
        QCOMPARE(c.at(x + h, y + h), kJaune);
        QCOMPARE(c.at(x, y - h), kJaune);
    }
    QVERIFY(c.at(x + 3, y) != kJaune);
    QVERIFY(c.at(x + 8, y) != kJaune);
}

void TestChart::noRingWithoutChoice_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("hasDiaf");
    QTest::newRow("no speed chosen") << -1 << true;
    QTest::newRow("aperture text not a number") << 36 << false;
}

void TestChart::noRingWithoutChoice()
{
    QFETCH(int, speed);
    QFETCH(bool, hasDiaf);
    ChartInputs in = startUpInputs();
    in.speedChoice = speed;
    if (hasDiaf)
        in.diafChoice = 8;
    Chart c(in);
    c.draw();
    QCOMPARE(c.count(kJaune), 0);
}

QTEST_MAIN(TestChart)
#include "tst_chart.moc"
