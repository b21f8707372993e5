#include "exposure/NumberText.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace kavel;

class TestNumberText : public QObject {
    Q_OBJECT
private slots:
    void doubleText_data();
    void doubleText();
    void singleText_data();
    void singleText();
    void textsReadBack();
    void readNumber_data();
    void readNumber();
    void leadingNumber_data();
    void leadingNumber();
};

void TestNumberText::doubleText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 1.0 << "1";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("tenths") << 0.3 << "0,3";
    QTest::newRow("aperture") << 3.2 << "3,2";
    QTest::newRow("negative level") << -0.5 << "-0,5";
    QTest::newRow("15 digits") << 1 / 0.3 << "3,33333333333333";
    QTest::newRow("a third of a second") << 1.0 / 3 << "0,333333333333333";
    QTest::newRow("no grouping") << 81920.0 << "81920";
    QTest::newRow("large whole") << 123456789012345.0 << "123456789012345";
    QTest::newRow("exponent when large") << 1e15 << "1E+15";
    QTest::newRow("smallest plain") << 0.0001 << "0,0001";
    QTest::newRow("exponent when small") << 6.25e-5 << "6,25E-05";
    QTest::newRow("single noise kept") << double(1.4f) << "1,39999997615814";
}

void TestNumberText::doubleText()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(numText(value), text);
}

void TestNumberText::singleText_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("1.4") << 1.4f << "1,4";
    QTest::newRow("5.6") << 5.6f << "5,6";
    QTest::newRow("seven digits") << 1234567.f << "1234567";
    QTest::newRow("rounded to seven") << 3.14159265f << "3,141593";
    QTest::newRow("lux") << 0.039f << "0,039";
    QTest::newRow("small") << 6.25e-5f << "6,25E-05";
}

void TestNumberText::singleText()
{
    QFETCH(float, value);
    QFETCH(QString, text);
    QCOMPARE(numTextSingle(value), text);
}

// Every text the program writes must read back as the same number.
void TestNumberText::textsReadBack()
{
    for (double v : {0.0, 1.0, -0.5, 3.2, 1 / 0.3, 6.25e-5, 1e15, 1e-300, 8000.0, 0.0390625}) {
        const std::optional<double> back = kavel::readNumber(numText(v));
        QVERIFY2(back.has_value(), qPrintable(numText(v)));
        QVERIFY2(std::abs(*back - v) <= std::abs(v) * 1e-14, qPrintable(numText(v)));
    }
}

void TestNumberText::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isNumber");
    QTest::addColumn<double>("value");
    QTest::newRow("whole") << "11" << true << 11.0;
    QTest::newRow("comma") << "1,5" << true << 1.5;
    QTest::newRow("trailing comma") << "5," << true << 5.0;
    QTest::newRow("leading comma") << ",5" << true << 0.5;
    QTest::newRow("minus") << "-7" << true << -7.0;
    QTest::newRow("plus") << "+3" << true << 3.0;
    QTest::newRow("blanks around") << "  22 " << true << 22.0;
    QTest::newRow("exponent") << "6,25E-05" << true << 6.25e-5;
    QTest::newRow("small e") << "1e3" << true << 1000.0;
    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blanks only") << "   " << false << 0.0;
    QTest::newRow("lone minus") << "-" << false << 0.0;
    QTest::newRow("lone comma") << "," << false << 0.0;
    QTest::newRow("two commas") << "1,2,3" << false << 0.0;
    QTest::newRow("point") << "5.6" << false << 0.0;
    QTest::newRow("letters after") << "12a" << false << 0.0;
    QTest::newRow("word") << "abc" << false << 0.0;
    QTest::newRow("two signs") << "--1" << false << 0.0;
    QTest::newRow("inner blank") << "1 000" << false << 0.0;
    QTest::newRow("bare exponent") << "1E" << false << 0.0;
    QTest::newRow("overflow") << "1E999" << false << 0.0;
    QTest::newRow("infinity") << "inf" << false << 0.0;
    QTest::newRow("nan") << "nan" << false << 0.0;
    QTest::newRow("hex") << "0x10" << false << 0.0;
}

void TestNumberText::readNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, isNumber);
    QFETCH(double, value);
    const std::optional<double> read = kavel::readNumber(text);
    QCOMPARE(read.has_value(), isNumber);
    if (isNumber)
        QCOMPARE(*read, value);
}

void TestNumberText::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("whole") << "18" << 18.0;
    QTest::newRow("stops at comma") << "18,5" << 18.0;
    QTest::newRow("point decimal") << "17.5x" << 17.5;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("word") << "mm" << 0.0;
    QTest::newRow("lone point") << "." << 0.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("sign") << "-2.5" << -2.5;
    QTest::newRow("leading blanks") << "  55" << 55.0;
    QTest::newRow("unit after") << "55mm" << 55.0;
    QTest::newRow("exponent") << "1.5E2 lux" << 150.0;
    QTest::newRow("letter e alone") << "3e" << 3.0;
    QTest::newRow("overflow") << "1E999" << 0.0;
}

void TestNumberText::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(kavel::leadingNumber(text), value);
}

QTEST_GUILESS_MAIN(TestNumberText)
#include "tst_numbertext.moc"
