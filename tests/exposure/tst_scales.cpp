#include "exposure/Scales.h"

#include <QTest>
#include <cmath>

using namespace kavel;

class TestScales : public QObject {
    Q_OBJECT
private slots:
    void tables();
    void itemTexts();
    void tripletEV_data();
    void tripletEV();
    void ev2lux_data();
    void ev2lux();
    void ev2luxKeepsTwoDigits();
    void speed2txt_data();
    void speed2txt();
    void initRange_data();
    void initRange();
};

void TestScales::tables()
{
    const ExposureScales s = ExposureScales::standard();
    // The slot after the last used entry stays 0 and is never a value.
    QCOMPARE(s.TabVitesseNum[55], 0.0);
    QCOMPARE(s.TabVitesseDen[55], 0.0);
    QCOMPARE(s.TabDiaf[40], 0.0);
    QCOMPARE(s.TabIso[10], 0.0);

    QCOMPARE(s.speedValue(0), 1.0 / 30);
    QCOMPARE(s.speedValue(15), 1.0);
    QCOMPARE(s.speedValue(54), 8000.0);
    for (int i = 0; i <= 20; ++i)
        QCOMPARE(s.TabVitesseDen[i], 1.0);
    for (int i = 21; i < kNbVitesses; ++i)
        QCOMPARE(s.TabVitesseNum[i], 1.0);
    for (int i = 1; i < kNbVitesses; ++i)
        QVERIFY2(s.speedValue(i) > s.speedValue(i - 1), qPrintable(QString::number(i)));

    QCOMPARE(s.TabDiaf[0], 1.0);
    QCOMPARE(s.TabDiaf[3], 1.4);
    QCOMPARE(s.TabDiaf[39], 91.0);
    for (int i = 1; i < kNbDiafs; ++i) {
        // thirds of a stop: each step is about 2^(1/6) in f-number, as engraved
        const double ratio = s.TabDiaf[i] / s.TabDiaf[i - 1];
        QVERIFY2(ratio > 1.05 && ratio < 1.2, qPrintable(QString::number(i)));
    }
    QCOMPARE(s.TabIso[0], 50.0);
    QCOMPARE(s.TabIso[9], 25600.0);
}

void TestScales::itemTexts()
{
    const ExposureScales s = ExposureScales::standard();
    const QStringList speeds = s.speedItems();
    QCOMPARE(speeds.size(), 55);
    QCOMPARE(speeds.first(), "30s");
    QCOMPARE(speeds[10], "3,2s");
    QCOMPARE(speeds[15], "1s");
    QCOMPARE(speeds[20], "0,3s");
    QCOMPARE(speeds[21], "1/4");
    QCOMPARE(speeds.last(), "1/8000");

    const QStringList diafs = s.diafItems();
    QCOMPARE(diafs.size(), 40);
    QCOMPARE(diafs[0], "1");
    QCOMPARE(diafs[1], "1,1");
    QCOMPARE(diafs[15], "5,6");
    QCOMPARE(diafs.last(), "91");

    const QStringList isos = s.isoItems();
    QCOMPARE(isos.size(), 10);
    QCOMPARE(isos.first(), "50");
    QCOMPARE(isos.last(), "25600");
}

void TestScales::tripletEV_data()
{
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("aperture");
    QTest::addColumn<double>("iso");
    QTest::addColumn<double>("ev");
    QTest::newRow("1/125 F/16 ISO 100") << 125.0 << 16.0 << 100.0 << std::log2(32000.0);
    QTest::newRow("1/250 F/8 ISO 100") << 250.0 << 8.0 << 100.0 << 13.965784284662087;
    QTest::newRow("1/250 F/8 ISO 200") << 250.0 << 8.0 << 200.0 << 12.965784284662087;
    QTest::newRow("1 s F/1 ISO 100") << 1.0 << 1.0 << 100.0 << 0.0;
    QTest::newRow("30 s F/1 ISO 100") << 1 / 30.0 << 1.0 << 100.0 << -std::log2(30.0);
}

void TestScales::tripletEV()
{
    QFETCH(double, speed);
    QFETCH(double, aperture);
    QFETCH(double, iso);
    QFETCH(double, ev);
    QVERIFY(std::abs(kavel::tripletEV(speed, aperture, iso) - ev) < 1e-12);
}

void TestScales::ev2lux_data()
{
    QTest::addColumn<double>("ev");
    QTest::addColumn<float>("lux");
    QTest::newRow("EV 0") << 0.0 << 2.5f;
    QTest::newRow("EV 10") << 10.0 << 2500.f;
    QTest::newRow("EV 11") << 11.0 << 5100.f;
    QTest::newRow("EV 12") << 12.0 << 10000.f;
    QTest::newRow("EV 13") << 13.0 << 20000.f;
    QTest::newRow("EV 15") << 15.0 << 81000.f;
    QTest::newRow("EV 18") << 18.0 << 650000.f;
    QTest::newRow("EV -2") << -2.0 << 0.62f;
    QTest::newRow("EV -6") << -6.0 << 0.039f;
    QTest::newRow("EV 1,5") << 1.5 << 7.0f;
    // Levels that stand for an exact round number keep it: the noise of
    // 2^EV must not cost the second digit.
    QTest::newRow("1/125 F/8 ISO 200") << kavel::tripletEV(125, 8, 200) << 10000.f;
    QTest::newRow("1/125 F/3,2 ISO 100") << kavel::tripletEV(125, 3.2, 100) << 3200.f;
    QTest::newRow("1/100 F/2 ISO 100 (1000 lux)") << kavel::tripletEV(100, 2, 100) << 1000.f;
    QTest::newRow("1,2 lux") << std::log2(1.2 / 2.5) << 1.2f;
    QTest::newRow("0,12 lux") << std::log2(0.12 / 2.5) << 0.12f;
}

void TestScales::ev2lux()
{
    QFETCH(double, ev);
    QFETCH(float, lux);
    QCOMPARE(EV2LUX(ev), lux);
}

// Over the whole slider range: two significant digits, truncated, never
// above the exact value by more than noise.
void TestScales::ev2luxKeepsTwoDigits()
{
    for (int tenth = -60; tenth <= 180; ++tenth) {
        const double ev = tenth / 10.0;
        const double exact = 2.5 * std::exp2(ev);
        const double lux = EV2LUX(ev);
        const double unit = std::pow(10.0, std::floor(std::log10(exact)) - 1);
        const QString where = QString::number(ev);
        QVERIFY2(lux <= exact * (1 + 1e-7), qPrintable(where));
        QVERIFY2(exact - lux < unit * (1 + 1e-7), qPrintable(where));
        const double digits = lux / unit;
        QVERIFY2(std::abs(digits - std::round(digits)) < 1e-4, qPrintable(where));
    }
}

void TestScales::speed2txt_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("30 s") << 30.0 << "30s";
    QTest::newRow("1 s") << 1.0 << "1s";
    QTest::newRow("half") << 0.5 << "0,5s";
    QTest::newRow("threshold") << 0.31 << "0,31s";
    QTest::newRow("a third") << 1.0 / 3 << "0,333333333333333s";
    QTest::newRow("0,3 is a fraction") << 0.3 << "1/3,33333333333333s";
    QTest::newRow("1/250") << 0.004 << "1/250s";
    QTest::newRow("1/8000") << 1.0 / 8000 << "1/8000s";
    QTest::newRow("zero") << 0.0 << "???";
    QTest::newRow("negative") << -1.0 << "???";
    QTest::newRow("nan") << std::nan("") << "???";
}

void TestScales::speed2txt()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(Speed2Txt(seconds), text);
}

void TestScales::initRange_data()
{
    QTest::addColumn<double>("fastest");
    QTest::addColumn<double>("logMax");
    QTest::newRow("1/4000 body") << 4000.0 << std::log(5000.0);
    QTest::newRow("1/8000 body") << 8000.0 << std::log(10000.0);
    QTest::newRow("just above 4000") << 4000.5 << std::log(10000.0);
    QTest::newRow("1/2000 body") << 2000.0 << std::log(5000.0);
}

void TestScales::initRange()
{
    QFETCH(double, fastest);
    QFETCH(double, logMax);
    const AxisRange r = InitRange(fastest);
    QCOMPARE(r.LogVitesseMax, logMax);
    QCOMPARE(r.LogVitesseMin, std::log(1 / 1.4));
    QCOMPARE(r.LogDiafMin, std::log(0.83));
    QCOMPARE(r.LogDiafMax, float(std::log(50.0)));
}

QTEST_GUILESS_MAIN(TestScales)
#include "tst_scales.moc"
