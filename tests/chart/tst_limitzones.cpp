// The limit zones behind the chart, read back pixel by pixel for the kit
// zoom (18-55 mm, F/3,5-5,6, closing to F/22) on a 1/4000 s body with its
// flash at 1/200 s.
#include "chart/ChartInputs.h"
#include "support/ChartFixtures.h"
#include "chart/LimitZones.h"

#include <QTest>
#include <cmath>

using namespace kavel;
using namespace kavel::colours;

namespace {

// What the zoom aperture band makes of a colour under it: old AND NOT (30, 30, 64).
QRgb darkened(QRgb c)
{
    return (c & ~kMasqueDiafZoom) | 0xFF000000;
}

struct Zones {
    explicit Zones(const ChartInputs &inputs)
        : surface(QSize(753, 552))
        , in(inputs)
    {
        range = InitRange(in.vitesseMaxBoitier);
        range.LogVitesseMin = in.vitesseLente ? std::log(1.0 / 40) : std::log(1 / 1.4);
        TraceLimite(ChartView{surface, range}, in);
    }
    QRgb at(double speed, double diaf)
    {
        const ChartView v{surface, range};
        return surface.pixel(v.cx(speed), v.cy(diaf)).value_or(0);
    }
    DrawingSurface surface;
    ChartInputs in;
    AxisRange range;
};

constexpr QRgb kFond = DrawingSurface::kBackground;

} // namespace

class TestLimitZones : public QObject {
    Q_OBJECT
private slots:
    void kitZoom_data();
    void kitZoom();
    void drawModeIsCopyAfterwards();
    void primeHasNoZoomBands();
    void slowSpeedsWidenTheZones();
    void narrowLensGetsNoTooNarrowZone();
    void zeroValuesSkipTheirZones();
};

void TestLimitZones::kitZoom_data()
{
    QTest::addColumn<bool>("stab");
    QTest::addColumn<bool>("flash");
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("diaf");
    QTest::addColumn<QRgb>("colour");

    struct Row {
        const char *name;
        double speed, diaf;
        QRgb plain, stabilised, flash;
    };
    const Row rows[] = {
        {"hand-held", 100, 11, kZoneMain, kZoneMain, kZoneMain},
        {"hand-held, fast", 1000, 11, kZoneMain, kZoneMain, kZoneBouge},
        {"hand-held, wide open at the short end", 1000, 4.5, darkened(kZoneMain), darkened(kZoneMain),
         darkened(kZoneBouge)},
        {"between 1/18 and 1/55", 30, 11, kZoneFlouZoom, kZoneMain, kZoneFlouZoom},
        {"between 1/4,5 and 1/13,75", 8, 11, kZoneBouge, kZoneFlouZoom, kZoneBouge},
        {"slower than 1/4,5", 2, 11, kZoneBouge, kZoneBouge, kZoneBouge},
        {"too wide", 100, 2, kZoneDiaf, kZoneDiaf, kZoneDiaf},
        {"too narrow", 100, 32, kZoneDiaf, kZoneDiaf, kZoneDiaf},
        {"band over the shake zone", 1.5, 4.5, darkened(kZoneBouge), darkened(kZoneBouge), darkened(kZoneBouge)},
        {"beyond the fastest speed", 4600, 11, kFond, kFond, kFond},
        {"slower than 1 s", 0.8, 11, kFond, kFond, kFond},
        {"above F/45", 100, 48, kFond, kFond, kFond},
    };
    for (const Row &r : rows) {
        QTest::addRow("%s", r.name) << false << false << r.speed << r.diaf << r.plain;
        QTest::addRow("%s, stabiliser", r.name) << true << false << r.speed << r.diaf << r.stabilised;
        QTest::addRow("%s, flash", r.name) << false << true << r.speed << r.diaf << r.flash;
    }
}

void TestLimitZones::kitZoom()
{
    QFETCH(bool, stab);
    QFETCH(bool, flash);
    QFETCH(double, speed);
    QFETCH(double, diaf);
    QFETCH(QRgb, colour);
    ChartInputs in = startUpInputs();
    in.stabilisateur = stab;
    in.flash = flash;
    Zones z(in);
    QCOMPARE(z.at(speed, diaf), colour);
}

void TestLimitZones::drawModeIsCopyAfterwards()
{
    Zones z(startUpInputs());
    QCOMPARE(z.surface.drawMode(), DrawingSurface::DrawMode::Copy);
}

void TestLimitZones::primeHasNoZoomBands()
{
    ChartInputs in = startUpInputs();
    in.focalMiniText = in.focalMaxiText = QStringLiteral("50");
    in.focalMini = in.focalMaxi = 50;
    in.diafMiniZoomText = in.diafMiniText;
    in.diafMiniZoom = in.diafMini;
    Zones z(in);
    QCOMPARE(z.at(40, 11), kZoneBouge); // shake and hand-held meet at 1/50
    QCOMPARE(z.at(60, 11), kZoneMain);
    QCOMPARE(z.at(1000, 4.5), kZoneMain); // no darkened band
}

void TestLimitZones::slowSpeedsWidenTheZones()
{
    ChartInputs in = startUpInputs();
    in.vitesseLente = true;
    Zones z(in);
    QCOMPARE(z.at(1.0 / 20, 11), kZoneBouge);
    QCOMPARE(z.at(1.0 / 20, 2), kZoneDiaf);
    QCOMPARE(z.at(1.0 / 35, 11), kFond);
}

void TestLimitZones::narrowLensGetsNoTooNarrowZone()
{
    ChartInputs in = startUpInputs();
    in.diafMaxi = 45;
    Zones z(in);
    QCOMPARE(z.at(100, 48), kFond);
    QCOMPARE(z.at(100, 40), kZoneMain);
}

void TestLimitZones::zeroValuesSkipTheirZones()
{
    ChartInputs in = startUpInputs();
    in.focalMaxi = 0;
    Zones z(in);
    QCOMPARE(z.at(1000, 11), kFond); // hand-held zone needs the longest focal length
    QCOMPARE(z.at(2, 11), kZoneBouge);
    QCOMPARE(z.at(100, 2), kZoneDiaf);

    in = startUpInputs();
    in.diafMini = 0;
    Zones z2(in);
    QCOMPARE(z2.at(1000, 11), kFond);
    QCOMPARE(z2.at(100, 32), kZoneDiaf); // the too-narrow zone does not need it
}

QTEST_MAIN(TestLimitZones)
#include "tst_limitzones.moc"
