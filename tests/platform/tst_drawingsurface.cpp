#include "platform/DrawingSurface.h"
#include "platform/SurfaceWidget.h"

#include <QTest>

using namespace kavel;

namespace {

constexpr QRgb kBg = DrawingSurface::kBackground;
constexpr QRgb kRed = 0xFFFF0000;
constexpr QRgb kWhite = 0xFFFFFFFF;

QRgb at(const DrawingSurface &s, int x, int y)
{
    const std::optional<QRgb> c = s.pixel(x, y);
    return c ? *c : 0;
}

int countColour(const DrawingSurface &s, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            n += at(s, x, y) == colour;
    return n;
}

} // namespace

class TestDrawingSurface : public QObject {
    Q_OBJECT
private slots:
    void clearFillsAndResetsPosition();
    void lineIncludesEndsAndMovesPosition();
    void fractionalCoordinatesRound_data();
    void fractionalCoordinatesRound();
    void boxOutlinesExactCorners();
    void filledBoxIncludesBorder();
    void farCoordinatesAreClipped();
    void pixelReadAndWrite();
    void maskNot_data();
    void maskNot();
    void textAdvancesToNextLine();
    void boldAndTextColour();
    void drawingSurvivesResize();
    void widgetShowsTheImage();
};

void TestDrawingSurface::clearFillsAndResetsPosition()
{
    DrawingSurface s(QSize(30, 20));
    s.filledBox(0, 0, 29, 19, kRed);
    s.line(1, 1, 10, 12, kWhite);
    s.clear();
    QCOMPARE(countColour(s, kBg), 600);
    QCOMPARE(s.currentPosition(), QPointF(0, 0));
}

void TestDrawingSurface::lineIncludesEndsAndMovesPosition()
{
    DrawingSurface s(QSize(30, 20));
    s.line(2, 5, 12, 5, kRed);
    QCOMPARE(countColour(s, kRed), 11); // 2..12 inclusive, one pixel wide
    QCOMPARE(at(s, 2, 5), kRed);
    QCOMPARE(at(s, 12, 5), kRed);
    QCOMPARE(at(s, 13, 5), kBg);
    QCOMPARE(at(s, 7, 4), kBg);
    QCOMPARE(at(s, 7, 6), kBg);
    QCOMPARE(s.currentPosition(), QPointF(12, 5));

    s.line(20, 2, 20, 17, kWhite); // vertical
    QCOMPARE(countColour(s, kWhite), 16);
    s.line(0, 0, 9, 9, kWhite); // diagonal, aliased: exactly the diagonal pixels
    for (int i = 0; i < 10; ++i)
        QCOMPARE(at(s, i, i), kWhite);
    QCOMPARE(at(s, 1, 0), kBg);
}

void TestDrawingSurface::fractionalCoordinatesRound_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<int>("pixel");
    QTest::newRow("below half") << 5.49 << 5;
    QTest::newRow("half") << 5.5 << 6;
    QTest::newRow("almost six") << 5.99 << 6;
    QTest::newRow("negative small") << -0.4 << 0;
}

// Every operation turns a fractional coordinate into the same pixel.
void TestDrawingSurface::fractionalCoordinatesRound()
{
    QFETCH(double, x);
    QFETCH(int, pixel);
    DrawingSurface s(QSize(12, 12));
    s.line(x, 1, x, 1.2, kRed);
    s.setPixel(x, 3, kRed);
    s.filledBox(x, 5, x, 5, kRed);
    s.box(x, 7, x, 7, kRed);
    for (int y : {1, 3, 5, 7}) {
        QCOMPARE(at(s, pixel, y), kRed);
        QCOMPARE(countColour(s, kRed), 4);
    }
}

void TestDrawingSurface::boxOutlinesExactCorners()
{
    DrawingSurface s(QSize(30, 30));
    s.box(12, 15, 3, 4, kRed); // corners in any order
    QCOMPARE(at(s, 3, 4), kRed);
    QCOMPARE(at(s, 12, 4), kRed);
    QCOMPARE(at(s, 3, 15), kRed);
    QCOMPARE(at(s, 12, 15), kRed);
    QCOMPARE(at(s, 13, 15), kBg);
    QCOMPARE(at(s, 12, 16), kBg);
    QCOMPARE(at(s, 7, 9), kBg); // hollow
    QCOMPARE(countColour(s, kRed), 2 * 10 + 2 * 10);
}

void TestDrawingSurface::filledBoxIncludesBorder()
{
    DrawingSurface s(QSize(30, 30));
    s.filledBox(3.4, 4, 12, 15.6, kRed);
    QCOMPARE(countColour(s, kRed), 10 * 13); // x 3..12, y 4..16
    QCOMPARE(at(s, 3, 16), kRed);
    QCOMPARE(at(s, 2, 10), kBg);
}

void TestDrawingSurface::farCoordinatesAreClipped()
{
    DrawingSurface s(QSize(40, 40));
    s.line(-1e9, 20, 1e9, 20, kRed); // horizontal across the whole width
    QCOMPARE(countColour(s, kRed), 40);
    s.line(20, -1e12, 20, 1e12, kWhite);
    QCOMPARE(countColour(s, kWhite), 40);
    s.clear();
    // A steep line from far away keeps its slope: it crosses (10, 10).
    s.line(10 - 1e8, 10 - 1e8, 10 + 1e8, 10 + 1e8, kRed);
    QCOMPARE(at(s, 10, 10), kRed);
    QCOMPARE(at(s, 39, 39), kRed);
    s.clear();
    s.filledBox(-1e9, 5, 1e9, 6, kRed);
    QCOMPARE(countColour(s, kRed), 80);
    s.clear();
    s.box(-1e9, -1e9, 1e9, 1e9, kRed); // the outline lies outside
    QCOMPARE(countColour(s, kRed), 0);
    s.line(1e9, 1e9, 2e9, 2e9, kRed); // wholly outside
    QCOMPARE(countColour(s, kRed), 0);
}

void TestDrawingSurface::pixelReadAndWrite()
{
    DrawingSurface s(QSize(10, 10));
    s.setPixel(4, 6, 0xFF123456);
    QCOMPARE(at(s, 4, 6), QRgb(0xFF123456));
    QCOMPARE(s.currentPosition(), QPointF(4, 6));
    QVERIFY(!s.pixel(10, 0).has_value());
    QVERIFY(!s.pixel(-1, 3).has_value());
    s.setPixel(-3, 50, kRed); // outside: nothing drawn, position moves
    QCOMPARE(s.currentPosition(), QPointF(-3, 50));
    QCOMPARE(countColour(s, kRed), 0);
}

void TestDrawingSurface::maskNot_data()
{
    QTest::addColumn<int>("operation");
    QTest::newRow("line") << 0;
    QTest::newRow("box") << 1;
    QTest::newRow("filled box") << 2;
    QTest::newRow("pixel") << 3;
}

// mask not: old AND NOT colour per channel; copy mode comes back after.
void TestDrawingSurface::maskNot()
{
    QFETCH(int, operation);
    DrawingSurface s(QSize(10, 10));
    s.filledBox(0, 0, 9, 9, 0xFFF05A3C);
    s.setDrawMode(DrawingSurface::DrawMode::MaskNot);
    const QRgb colour = 0xFF300FFF;
    switch (operation) {
    case 0: s.line(5, 5, 5, 5, colour); break;
    case 1: s.box(5, 5, 5, 5, colour); break;
    case 2: s.filledBox(5, 5, 5, 5, colour); break;
    case 3: s.setPixel(5, 5, colour); break;
    }
    QCOMPARE(at(s, 5, 5), QRgb(0xFFC05000));
    QCOMPARE(at(s, 4, 5), QRgb(0xFFF05A3C));
    s.setDrawMode(DrawingSurface::DrawMode::Copy);
    s.setPixel(5, 5, colour);
    QCOMPARE(at(s, 5, 5), colour);
}

void TestDrawingSurface::textAdvancesToNextLine()
{
    DrawingSurface s(QSize(200, 100));
    s.setTextColour(kWhite);
    s.setCurrentPosition(QPointF(50, 10));
    s.drawText(QStringLiteral("1/250"));
    QCOMPARE(s.currentPosition(), QPointF(0, 10 + s.textHeight()));
    // The glyphs lie right of and below the starting point, within the line.
    int lit = 0;
    for (int y = 0; y < s.height(); ++y) {
        for (int x = 0; x < s.width(); ++x) {
            if (at(s, x, y) == kBg)
                continue;
            ++lit;
            QVERIFY(x >= 50 && x < 50 + s.textWidth(QStringLiteral("1/250")) + 1);
            QVERIFY(y >= 10 && y < 10 + s.textHeight());
        }
    }
    QVERIFY(lit > 10);
}

void TestDrawingSurface::boldAndTextColour()
{
    DrawingSurface s(QSize(200, 40));
    s.setTextColour(0xFF00FF00);
    QCOMPARE(s.textColour(), QRgb(0xFF00FF00));
    QVERIFY(!s.bold());
    s.drawText(QStringLiteral("Vitesse"));
    const int normal = countColour(s, 0xFF00FF00);
    s.clear();
    s.setBold(true);
    QVERIFY(s.bold());
    s.drawText(QStringLiteral("Vitesse"));
    QVERIFY(countColour(s, 0xFF00FF00) > normal); // thicker strokes
}

void TestDrawingSurface::drawingSurvivesResize()
{
    DrawingSurface s(QSize(20, 20));
    s.setPixel(3, 3, kRed);
    s.resize(QSize(40, 30));
    QCOMPARE(s.width(), 40);
    QCOMPARE(s.height(), 30);
    QCOMPARE(at(s, 3, 3), kRed);
    QCOMPARE(at(s, 35, 25), kBg);
    s.resize(QSize(10, 10));
    QCOMPARE(at(s, 3, 3), kRed);
}

void TestDrawingSurface::widgetShowsTheImage()
{
    SurfaceWidget w;
    w.resize(60, 40);
    QCOMPARE(w.surface().width(), 60);
    w.surface().filledBox(10, 10, 19, 19, kRed);
    w.surface().refresh();
    const QImage shown = w.grab().toImage();
    QCOMPARE(shown.pixel(15, 15), kRed);
    QCOMPARE(shown.pixel(30, 30), kBg);
}

QTEST_MAIN(TestDrawingSurface)
#include "tst_drawingsurface.moc"
