#include "chart/ChartCoords.h"
#include "platform/DrawingSurface.h"

#include <QTest>
#include <cmath>

using namespace kavel;

class TestChartCoords : public QObject {
    Q_OBJECT
private slots:
    void cxAtDesignWidth_data();
    void cxAtDesignWidth();
    void cyAtDesignHeight_data();
    void cyAtDesignHeight();
    void edgesFollowTheSize();
    void notPositiveHasNoPlace();
    void graphLocateMovesOnly();
};

void TestChartCoords::cxAtDesignWidth_data()
{
    QTest::addColumn<double>("fastest");
    QTest::addColumn<float>("speed");
    QTest::addColumn<float>("x");
    QTest::newRow("left edge") << 4000.0 << float(1 / 1.4) << 0.0f;
    QTest::newRow("right edge") << 4000.0 << 5000.f << 752.f;
    QTest::newRow("one second") << 4000.0 << 1.f << 28.5788f;
    QTest::newRow("beyond the right edge") << 4000.0 << 8000.f << 791.92f;
    QTest::newRow("8000 body, right edge") << 8000.0 << 10000.f << 752.f;
}

void TestChartCoords::cxAtDesignWidth()
{
    QFETCH(double, fastest);
    QFETCH(float, speed);
    QFETCH(float, x);
    const float got = cx(InitRange(fastest), 753, speed);
    QVERIFY2(std::abs(got - x) < 0.005f, qPrintable(QString::number(got, 'g', 9)));
}

void TestChartCoords::cyAtDesignHeight_data()
{
    QTest::addColumn<float>("aperture");
    QTest::addColumn<float>("y");
    QTest::newRow("top edge") << 50.f << 0.0f;
    QTest::newRow("bottom edge") << 0.83f << 551.f;
    QTest::newRow("F/1") << 1.f << 525.949f;
    QTest::newRow("F/8") << 8.f << 246.380f;
    QTest::newRow("above the top") << 91.f << -80.51f;
}

void TestChartCoords::cyAtDesignHeight()
{
    QFETCH(float, aperture);
    QFETCH(float, y);
    const float got = cy(InitRange(4000), 552, aperture);
    QVERIFY2(std::abs(got - y) < 0.05f, qPrintable(QString::number(got, 'g', 9)));
}

// The coordinates read the size at each call: the same values fill a larger
// surface edge to edge.
void TestChartCoords::edgesFollowTheSize()
{
    const AxisRange r = InitRange(4000);
    QVERIFY(std::abs(cx(r, 2276, 5000.f) - 2275.f) < 0.01f);
    QVERIFY(std::abs(cy(r, 2355, 0.83f) - 2354.f) < 0.01f);
    // equal ratios, equal distances
    const float d1 = cx(r, 753, 250.f) - cx(r, 753, 125.f);
    const float d2 = cx(r, 753, 2000.f) - cx(r, 753, 1000.f);
    QVERIFY(std::abs(d1 - d2) < 0.001f);
}

void TestChartCoords::notPositiveHasNoPlace()
{
    const AxisRange r = InitRange(4000);
    QVERIFY(std::isnan(cx(r, 753, 0.f)));
    QVERIFY(std::isnan(cx(r, 753, -5.f)));
    QVERIFY(std::isnan(cy(r, 552, 0.f)));
    QVERIFY(std::isnan(cy(r, 552, -1.f)));

    // Drawing at such a place changes nothing.
    DrawingSurface s(QSize(50, 50));
    s.line(cx(r, 50, 0.f), 10, 40, 10, 0xFFFFFFFF);
    s.filledBox(0, 0, cx(r, 50, 0.f), 49, 0xFFFFFFFF);
    for (int x = 0; x < 50; ++x)
        QCOMPARE(*s.pixel(x, 10), DrawingSurface::kBackground);
}

void TestChartCoords::graphLocateMovesOnly()
{
    DrawingSurface s(QSize(40, 30));
    s.filledBox(0, 0, 39, 29, 0xFF102030);
    const QImage before = s.image();
    GraphLocate(s, 12.5f, 7.f);
    QCOMPARE(s.currentPosition(), QPointF(12.5, 7));
    GraphLocate(s, -100.f, 5000.f); // outside: moves, nothing visible changes
    QCOMPARE(s.currentPosition(), QPointF(-100, 5000));
    QCOMPARE(s.image(), before);
}

QTEST_MAIN(TestChartCoords)
#include "tst_chartcoords.moc"
