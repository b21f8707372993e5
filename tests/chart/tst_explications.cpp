// The explanation box's text for points of a drawn chart: markers first,
// then the zone tests in order.
#include "chart/ChartInputs.h"
#include "support/ChartFixtures.h"
#include "chart/Explications.h"
#include "exposure/Scales.h"

#include <QTest>
#include <cmath>

using namespace kavel;
using namespace kavel::colours;

namespace {

struct Fixture {
    explicit Fixture(ChartInputs inputs)
        : surface(QSize(753, 552))
        , in(std::move(inputs))
        , range(InitRange(in.vitesseMaxBoitier))
    {
    }
    Explication at(double speed, double diaf)
    {
        const ChartView v{surface, range};
        return Explique(v, in, scales, couples, v.cx(speed), v.cy(diaf));
    }
    DrawingSurface surface;
    ChartInputs in;
    AxisRange range;
    ExposureScales scales = ExposureScales::standard();
    std::vector<TypeCouple> couples;
};

const QString kDefaut = QString::fromUtf8("Zone d'utilisation courante de cet objectif (sans pied)\r\n\r\nSi le sujet "
                                          "bouge vite dans le viseur (Sport) attention au flou de bougé du sujet");

} // namespace

class TestExplications : public QObject {
    Q_OBJECT
private slots:
    void zones_data();
    void zones();
    void coupleMarker();
    void laterMarkerWins();
    void flashText();
    void apertureWinsOverFlash();
    void exactlyOnTheBlurLine();
    void longFocalIsTestOne();
    void textsThatAreNotNumbers();
    void placement_data();
    void placement();
};

void TestExplications::zones_data()
{
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("diaf");
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QRgb>("colour");
    QTest::newRow("hand-held") << 500.0 << 11.0 << "Zone d'utilisation" << kBulleVert;
    QTest::newRow("shake") << 5.0 << 11.0 << "LIMITE DE FLOU DE BOUGE" << kBulleRouge;
    QTest::newRow("zoom blur") << 30.0 << 11.0 << "LIMITE DE FLOU DE BOUGE" << kBulleOrange;
    QTest::newRow("too narrow") << 500.0 << 32.0 << "LIMITE DE L'OBJECTIF" << kBulleRouge;
    QTest::newRow("too wide") << 500.0 << 2.0 << "LIMITE DE L'OBJECTIF" << kBulleRouge;
    QTest::newRow("zoom aperture band") << 500.0 << 4.5 << "LIMITE DE L'OBJECTIF" << kBulleOrange;
    QTest::newRow("band left of the long end's limit") << 30.0 << 4.5 << "LIMITE DE FLOU" << kBulleOrange;
}

void TestExplications::zones()
{
    QFETCH(double, speed);
    QFETCH(double, diaf);
    QFETCH(QString, heading);
    QFETCH(QRgb, colour);
    Fixture f(startUpInputs());
    const Explication e = f.at(speed, diaf);
    QVERIFY2(e.texte.startsWith(heading), qPrintable(e.texte));
    QCOMPARE(e.couleur, colour);
    QCOMPARE(e.taille, QSize(153, 113));
    QCOMPARE(e.alignement, Qt::AlignLeft | Qt::AlignTop);
}

void TestExplications::coupleMarker()
{
    Fixture f(startUpInputs());
    const ChartView v{f.surface, f.range};
    f.couples.push_back({1, 18, 39, v.cx(250), v.cy(8)}); // 1/250 s, F/8, ISO 100
    const Explication e = Explique(v, f.in, f.scales, f.couples, v.cx(250) + 3, v.cy(8) - 4); // 25 < 30
    QCOMPARE(e.texte, "1/250s  -  F/8  -  Iso100");
    QCOMPARE(e.couleur, kBulleCouple);
    QCOMPARE(e.taille, QSize(145, 16));
    QCOMPARE(e.alignement, Qt::AlignHCenter | Qt::AlignVCenter);
    // Just out of reach: the zone again.
    QCOMPARE(Explique(v, f.in, f.scales, f.couples, v.cx(250) + 3, v.cy(8) - 5).couleur, kBulleVert);
    // A slow speed is written in seconds.
    f.couples = {{1, 18, 18, v.cx(2), v.cy(8)}};
    QCOMPARE(Explique(v, f.in, f.scales, f.couples, v.cx(2), v.cy(8)).texte, "0,5s  -  F/8  -  Iso100");
}

void TestExplications::laterMarkerWins()
{
    Fixture f(startUpInputs());
    const ChartView v{f.surface, f.range};
    const float x = v.cx(250), y = v.cy(8);
    f.couples.push_back({1, 18, 39, x, y});
    f.couples.push_back({2, 18, 42, x + 4, y}); // ISO 200, 1/500 s, recorded later
    QCOMPARE(Explique(v, f.in, f.scales, f.couples, x + 1, y).texte, "1/500s  -  F/8  -  Iso200");
}

void TestExplications::flashText()
{
    ChartInputs in = startUpInputs();
    in.flash = true;
    Fixture f(in);
    const Explication e = f.at(1000, 11);
    QCOMPARE(e.texte, QString::fromUtf8("LIMITE DE FLASH INTERNE\r\nIl ne peut pas être utilisé pour des vitesses "
                                        "sup. à 1/200s. A haute vitesse, l'obturateur commence à se fermer avant "
                                        "d'être completement ouvert; seule une partie de la photo serait éclairée par "
                                        "le flash."));
    QCOMPARE(e.couleur, kBulleRouge);
}

void TestExplications::apertureWinsOverFlash()
{
    ChartInputs in = startUpInputs();
    in.flash = true;
    Fixture f(in);
    const Explication e = f.at(1000, 32);
    QCOMPARE(e.texte, QString::fromUtf8("LIMITE DE L'OBJECTIF\r\nCette objectif ne peut pas fermer à plus de F/22\r\n"
                                        "Plus le diaphragme est fermé plus la profondeur de champs est importante et "
                                        "plus les poussières sur le capteur sont visibles"));
}

// Exactly on the blur limit neither speed test holds.
void TestExplications::exactlyOnTheBlurLine()
{
    Fixture f(startUpInputs());
    const ChartView v{f.surface, f.range};
    const Explication e = Explique(v, f.in, f.scales, f.couples, v.cx(18), v.cy(11));
    QCOMPARE(e.texte, kDefaut);
    QCOMPARE(e.couleur, kBulleVert);
}

void TestExplications::longFocalIsTestOne()
{
    ChartInputs in = startUpInputs();
    in.focalMiniText = in.focalMaxiText = QStringLiteral("1000");
    in.focalMini = in.focalMaxi = 1000;
    Fixture f(in);
    const Explication e = f.at(500, 11);
    QVERIFY(e.texte.startsWith(QString::fromUtf8("LIMITE DE FLOU DE BOUGE DE L'APPAREIL\r\nA cette vitesse")));
    QCOMPARE(e.couleur, kBulleRouge);
}

void TestExplications::textsThatAreNotNumbers()
{
    ChartInputs in = startUpInputs();
    in.focalMini.reset();
    in.diafMaxi.reset();
    Fixture f(in);
    QCOMPARE(f.at(5, 11).texte, kDefaut); // no blur limit to compare with
    QVERIFY(f.at(500, 2).texte.startsWith(QLatin1String("LIMITE DE L'OBJECTIF"))); // the others still hold
}

void TestExplications::placement_data()
{
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<QPoint>("topLeft");
    QTest::newRow("below right") << QPointF(100, 100) << QPoint(116, 116);
    QTest::newRow("near the right edge") << QPointF(700, 100) << QPoint(700 - 153 - 16, 116);
    QTest::newRow("near the bottom") << QPointF(100, 500) << QPoint(116, 500 - 113 - 16);
    QTest::newRow("bottom right corner") << QPointF(740, 540) << QPoint(740 - 169, 540 - 129);
    QTest::newRow("just fits") << QPointF(584, 423) << QPoint(600, 439);
}

void TestExplications::placement()
{
    QFETCH(QPointF, pointer);
    QFETCH(QPoint, topLeft);
    QCOMPARE(PlaceBulle(pointer.x(), pointer.y(), QSize(153, 113), QSize(753, 552)), topLeft);
}

QTEST_GUILESS_MAIN(TestExplications)
#include "tst_explications.moc"
