#include "exposure/Lumiere.h"
#include "exposure/NumberText.h"
#include "exposure/Scales.h"
#include "exposure/Situations.h"

#include <QTest>
#include <clocale>
#include <cmath>

using namespace kavel;
static const double kNan = std::nan(""), kInf = HUGE_VAL, kNo = kInf; // kNo: no number read

class TestExposure : public QObject {
    Q_OBJECT
private slots:
    void numbers(); void scales(); void light();
};

// Numbers written and read alike whatever the C locale.
void TestExposure::numbers() {
    const std::pair<double, const char *> texts[] = {{-0.0, "0"}, {-0.5, "-0,5"}, {1e15, "1E+15"},
        {123456789012345, "123456789012345"}, {0.0001, "0,0001"}, {6.25e-5, "6,25E-05"},
        {kNan, "NaN"}, {kInf, "Inf"}, {-kInf, "-Inf"}};
    const std::pair<float, const char *> singles[] = {
        {3.14159265f, "3,141593"}, {12345678, "1,234568E+07"}};
    // Typed (a comma), or the number a text starts with (a point).
    const std::tuple<const char16_t *, double, double> typed[] = {{u"18,5", 18.5, 18},
        {u",5", 0.5, 0}, {u"+3", 3, 3}, {u" \t22 \t", 22, 22}, {u"2e-1", 0.2, 0.2},
        {u"-", kNo, 0}, {u"1,2,3", kNo, 1}, {u"5.6", kNo, 5.6}, {u"3e+x", kNo, 3},
        {u"E5", kNo, 0}, {u"1.5E2 lux", kNo, 150}};
    const QByteArray zeros(500, '0'); // underflow: zero; overflow: no number
    const std::pair<QByteArray, double> decimals[] = {{"-3.5", -3.5}, {"+9", 9}, {".5", 0.5},
        {"1e-99999999999", 0}, {"0." + zeros + "1e100", 0}, {zeros + "1e-350", 0},
        {"1" + zeros + "e-100", kNo}, {"-", kNo}, {"inf", kNo}, {" 1", kNo}, {"1 ", kNo},
        {"1e+400", kNo}, {"0.001e400", kNo}};
    for (const char *locale : {"C", "fr_FR.UTF-8"}) {
        std::setlocale(LC_NUMERIC, locale);
        for (auto [v, text] : texts) // what is written reads back
            QCOMPARE(QStringList({numText(v), numText(readNumber(numText(v)).value_or(v))}),
                     QStringList(2, text));
        for (auto [v, text] : singles) QCOMPARE(numTextSingle(v), text);
        for (auto [t, v, lead] : typed)
            QCOMPARE(QPair(readNumber(t).value_or(kNo), leadingNumber(t)), QPair(v, lead));
        for (const auto &[text, v] : decimals)
            QCOMPARE(readDecimal(text.toStdString()).value_or(kNo), v);
    }
    // to the view's end only
    QCOMPARE(readNumber(QStringView(u"12,55E5").first(4)).value_or(kNo), 12.5);
}
void TestExposure::scales() {
    const ExposureScales s = ExposureScales::standard();
    QCOMPARE(s.speedItems().join(' '),
             "30s 25s 20s 15s 13s 10s 8s 6s 5s 4s 3,2s 2,5s 2s 1,6s 1,3s 1s 0,8s 0,6s 0,5s "
             "0,4s 0,3s 1/4 1/5 1/6 1/8 1/10 1/13 1/15 1/20 1/25 1/30 1/40 1/50 1/60 1/80 "
             "1/100 1/125 1/160 1/200 1/250 1/320 1/400 1/500 1/640 1/800 1/1000 1/1250 "
             "1/1600 1/2000 1/2500 1/3200 1/4000 1/5000 1/6400 1/8000");
    QCOMPARE(s.diafItems().join(' '),
             "1 1,1 1,2 1,4 1,6 1,8 2 2,2 2,5 2,8 3,2 3,5 4 4,5 5 5,6 6,3 7,1 8 9 10 11 "
             "13 14 16 18 20 22 25 29 32 36 40 45 51 57 64 72 81 91");
    QCOMPARE(s.isoItems().join(' '), "50 100 200 400 800 1600 3200 6400 12800 25600");
    QCOMPARE(tripletEV(1.0 / 30, 1, 100), -std::log2(30.0));
    // Only a body faster than 1/4000 s widens the chart to 1/10000 s.
    QCOMPARE(QPair(InitRange(4000).LogVitesseMax, InitRange(4000.5).LogVitesseMax),
             QPair(std::log(5e3), std::log(1e4)));
    const std::pair<double, const char *> speeds[] = {{0.31, "0,31s"},
        {0.3, "1/3,33333333333333s"}, {0, "???"}};
    for (auto [seconds, text] : speeds) QCOMPARE(Speed2Txt(seconds), text);
}
void TestExposure::light() {
    // Round figures survive 2^EV's noise; NaN: lux given.
    const std::tuple<double, float, const char *> levels[] = {{11, 5100, "5 100 lux"},
        {-6, 0.039f, "0,039 lux"}, {tripletEV(125, 8, 200), 10000, "10 000 lux"},
        {kNan, 999, "999 lux"}, {kNan, -1234567, "-1 234 567 lux"}, {kNan, -4e-4f, "0 lux"}};
    for (auto [ev, lux, text] : levels)
        QCOMPARE(QPair(std::isnan(ev) ? lux : EV2LUX(ev), texteLux(lux)),
                 QPair(lux, QString(text)));
    const std::tuple<int, const char *, const char *, int> triplets[] = { // -999: none
        {36, "8", "100", 130}, {36, "5,6", "100", 119}, {54, "22", "50", 180},
        {0, "1", "25600", -60}, {-1, "8", "100", -999}, {55, "8", "100", -999},
        {36, "Diaf", "100", -999}, {36, "8", "Iso", -999}, {36, "8", "0", -999},
        {36, "8", "-100", -999}};
    for (auto [speed, diaf, iso, slider] : triplets)
        QCOMPARE(calculLumiere(ExposureScales::standard(), speed, diaf, iso).value_or(-999),
                 slider);
    // -6 black, 18 white; captions black once the exact grey passes 160.
    const std::tuple<double, int, bool> greys[] = {{-7, 0, false}, {-2, 42, false},
        {9, 159, false}, {9.1, 160, true}, {19, 255, true}};
    for (auto [ev, grey, black] : greys)
        QCOMPARE(QPair(niveauGris(ev), gris(ev) > 160), QPair(grey, black));
    QCOMPARE(EV2TXTFrench(11),
             "EXTERIEUR EN LUMIERE NATURELLE\r\n    -Couchers du soleil (Juste après)\r\n\r\n"
             "INTERIEUR SOUS LUMIERE ARTIFICIELLE\r\n    -Galeries");
    QCOMPARE(EV2TXTFrench(-6.5f) + EV2TXTFrench(-0.01f) + EV2TXTFrench(17.5f)
                 + EV2TXTFrench(18.99f) + EV2TXTFrench(19), ":-þ:-)8-)");
}

QTEST_GUILESS_MAIN(TestExposure)
#include "tst_exposure.moc"
