#include "equipment/Saisie.h"
#include "exposure/Lumiere.h"
#include "exposure/Situations.h"

#include <QTest>

using namespace kavel;

class TestLumiere : public QObject {
    Q_OBJECT
private slots:
    void situationRows_data();
    void situationRows();
    void situationLevels_data();
    void situationLevels();
    void calculator_data();
    void calculator();
    void grey_data();
    void grey();
    void luxText_data();
    void luxText();
    void keyFilter_data();
    void keyFilter();
};

void TestLumiere::situationRows_data()
{
    QTest::addColumn<float>("ev");
    QTest::addColumn<QString>("text");
    QTest::newRow("5: trailing space, two groups")
        << 5.f
        << QString::fromUtf8("EXTERIEUR SOUS LUMIERE ARTIFICIELLE\r\n    -Trafic de véhicule de nuit \r\n"
                             "    -Lumières de sapin de Noël\r\n    -Monuments, et fontaines\r\n\r\n"
                             "INTERIEUR SOUS LUMIERE ARTIFICIELLE\r\n    -Intérieurs de maison");
    QTest::newRow("9: three groups")
        << 9.5f
        << QString::fromUtf8("EXTERIEUR EN LUMIERE NATURELLE\r\n    -Couchers du soleil (Juste après)\r\n\r\n"
                             "EXTERIEUR SOUS LUMIERE ARTIFICIELLE\r\n    -Néon et enseignes lumineuses\r\n"
                             "    -Sports de nuit\r\n    -Feux et bâtiments en feux\r\n\r\n"
                             "INTERIEUR SOUS LUMIERE ARTIFICIELLE\r\n    -Galeries\r\n    -Evénements sportifs\r\n"
                             "    -Show sur glace");
    QTest::newRow("11") << 11.f
                        << QString::fromUtf8("EXTERIEUR EN LUMIERE NATURELLE\r\n    -Couchers du soleil (Juste après)"
                                             "\r\n\r\nINTERIEUR SOUS LUMIERE ARTIFICIELLE\r\n    -Galeries");
    QTest::newRow("-1") << -1.f << QString::fromUtf8(":-þ");
    QTest::newRow("-6") << -6.f
                        << QString::fromUtf8("EXTERIEUR EN LUMIERE NATURELLE\r\n    -Scène sous Quart de lune (altitude > "
                                             "40°)\r\n    -Aurores Boréales (Moyennes)");
}

void TestLumiere::situationRows()
{
    QFETCH(float, ev);
    QFETCH(QString, text);
    QCOMPARE(EV2TXTFrench(ev), text);
}

void TestLumiere::situationLevels_data()
{
    QTest::addColumn<float>("ev");
    QTest::addColumn<QString>("text");
    QTest::newRow("9,95 is row 9") << 9.95f << EV2TXTFrench(9);
    QTest::newRow("-0,01 is row -1") << -0.01f << QString::fromUtf8(":-þ");
    QTest::newRow("0") << 0.f << ":-/";
    QTest::newRow("1") << 1.f << ":->";
    QTest::newRow("17") << 17.f << ":-)";
    QTest::newRow("18") << 18.f << "8-)";
    QTest::newRow("-7") << -7.f << "";
    QTest::newRow("-6,5") << -6.5f << "";
    QTest::newRow("19") << 19.f << "";
}

void TestLumiere::situationLevels()
{
    QFETCH(float, ev);
    QFETCH(QString, text);
    QCOMPARE(EV2TXTFrench(ev), text);
    if (!text.isEmpty()) {
        QVERIFY(!text.endsWith(QLatin1String("\r\n")));
        QVERIFY(!text.contains(QLatin1String("\r\n\r\n\r\n")));
    }
}

void TestLumiere::calculator_data()
{
    QTest::addColumn<int>("speed");
    QTest::addColumn<QString>("diaf");
    QTest::addColumn<QString>("iso");
    QTest::addColumn<int>("slider"); // -999: no level
    QTest::newRow("1/125 F/8 ISO 100") << 36 << "8" << "100" << 130;
    QTest::newRow("ISO 25600") << 36 << "8" << "25600" << 50;
    QTest::newRow("above 18 clamps") << 54 << "22" << "50" << 180;
    QTest::newRow("below -6 clamps") << 0 << "1" << "25600" << -60;
    QTest::newRow("typed aperture") << 36 << "5,6" << "100" << 119; // 10 log2(3920) = 119.37
    QTest::newRow("no speed chosen") << -1 << "8" << "100" << -999;
    QTest::newRow("aperture placeholder") << 36 << "Diaf" << "100" << -999;
    QTest::newRow("ISO placeholder") << 36 << "8" << "Iso" << -999;
    QTest::newRow("aperture 0") << 36 << "0" << "100" << -999;
    QTest::newRow("ISO 0") << 36 << "8" << "0" << -999;
    QTest::newRow("ISO negative") << 36 << "8" << "-100" << -999;
}

void TestLumiere::calculator()
{
    QFETCH(int, speed);
    QFETCH(QString, diaf);
    QFETCH(QString, iso);
    QFETCH(int, slider);
    const std::optional<int> e = calculLumiere(ExposureScales::standard(), speed, diaf, iso);
    QCOMPARE(e.value_or(-999), slider);
}

void TestLumiere::grey_data()
{
    QTest::addColumn<double>("ev");
    QTest::addColumn<int>("grey");
    QTest::addColumn<bool>("blackCaptions");
    QTest::newRow("-6") << -6.0 << 0 << false;
    QTest::newRow("-2: 42,5 to even") << -2.0 << 42 << false;
    QTest::newRow("9") << 9.0 << 159 << false;
    QTest::newRow("9,1") << 9.1 << 160 << true;
    QTest::newRow("18") << 18.0 << 255 << true;
}

void TestLumiere::grey()
{
    QFETCH(double, ev);
    QFETCH(int, grey);
    QFETCH(bool, blackCaptions);
    QCOMPARE(niveauGris(ev), grey);
    QCOMPARE(gris(ev) > 160, blackCaptions);
}

void TestLumiere::luxText_data()
{
    QTest::addColumn<float>("lux");
    QTest::addColumn<QString>("text");
    QTest::newRow("EV 11") << 5100.f << "5 100 lux";
    QTest::newRow("EV 13") << 20000.f << "20 000 lux";
    QTest::newRow("EV 18") << 650000.f << "650 000 lux";
    QTest::newRow("below 1000") << 640.f << "640 lux";
    QTest::newRow("EV 0") << 2.5f << "2,5 lux";
    QTest::newRow("EV -2") << 0.62f << "0,62 lux";
    QTest::newRow("EV -6") << 0.039f << "0,039 lux";
}

void TestLumiere::luxText()
{
    QFETCH(float, lux);
    QFETCH(QString, text);
    QCOMPARE(texteLux(lux), text);
}

void TestLumiere::keyFilter_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("digit 0") << int('0') << int('0');
    QTest::newRow("digit 9") << int('9') << int('9');
    QTest::newRow("backspace") << 8 << 8;
    QTest::newRow("point becomes comma") << int('.') << int(',');
    QTest::newRow("comma kept") << int(',') << int(',');
    QTest::newRow("minus dropped") << int('-') << 0;
    QTest::newRow("letter") << int('a') << 0;
    QTest::newRow("space") << int(' ') << 0;
    QTest::newRow("Enter") << 13 << 0;
    QTest::newRow("control character") << 22 << 0;
}

void TestLumiere::keyFilter()
{
    QFETCH(int, key);
    QFETCH(int, result);
    QCOMPARE(int(LimitationSaisie(char16_t(key))), result);
}

QTEST_GUILESS_MAIN(TestLumiere)
#include "tst_lumiere.moc"
