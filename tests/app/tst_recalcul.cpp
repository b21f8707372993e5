// The chart recalculation as the main window runs it: reading the controls,
// refusing bad input, the Enter key and the timing button.
#include "app/Form1.h"
#include "chart/AxesGrid.h"
#include "exposure/NumberText.h"
#include "platform/SurfaceWidget.h"
#include "support/TestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

using namespace kavel;

class TestRecalcul : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startUpChart();
    void levelNotANumberKeepsTheChart();
    void badInputShowsTheErrorBox_data();
    void badInputShowsTheErrorBox();
    void fixedFocalCopiesApertures();
    void enterExchangesFocals();
    void enterWithEmptyLongestFocal();
    void enterRunsOncePerKey();
    void ticksRecalculate();
    void testPerformance();

private:
    bool blank() const;

    std::unique_ptr<DialogRecorder> m_dialogs;
    QTemporaryDir m_folder;
    std::unique_ptr<Form1> m_form;
};

void TestRecalcul::init()
{
    m_dialogs = std::make_unique<DialogRecorder>();
    m_form = std::make_unique<Form1>(m_folder.path());
}

void TestRecalcul::cleanup()
{
    m_form.reset();
    m_dialogs.reset();
}

bool TestRecalcul::blank() const
{
    const QImage &img = m_form->Graphic->surface().image();
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) != DrawingSurface::kBackground)
                return false;
    return true;
}

void TestRecalcul::startUpChart()
{
    Form1 &f = *m_form;
    QCOMPARE(f.NbCouple, 85);
    QCOMPARE(f.TabCouple.size(), size_t(85));
    QVERIFY(m_dialogs->boxes.isEmpty());
    const ChartView chart = f.chart();
    QCOMPARE(*chart.surface.pixel(chart.cx(30), chart.cy(1)), colours::kAxe);
}

void TestRecalcul::levelNotANumberKeepsTheChart()
{
    Form1 &f = *m_form;
    f.LstCouple->addItem(QStringLiteral("reste"));
    const QImage before = f.Graphic->surface().image();
    f.TxtValeur->setText(QStringLiteral("abc"));
    QTest::mouseClick(f.BtnGO, Qt::LeftButton);
    QCOMPARE(f.Graphic->surface().image(), before);
    QCOMPARE(f.NbCouple, 85);
    QCOMPARE(f.LstCouple->count(), 1);
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestRecalcul::badInputShowsTheErrorBox_data()
{
    QTest::addColumn<QString>("box");
    for (const char *name : {"TxtVitesseMini", "TxtVitesseMaxi", "TxtDiafMaxi", "TxtDiafMini", "TxtDiafMaxiZoom",
                             "TxtDiafMiniZoom", "TxtFocalMini", "TxtFocalMaxi", "TxtIsoMini", "TxtIsoMaxi"})
        QTest::newRow(name) << name;
}

void TestRecalcul::badInputShowsTheErrorBox()
{
    QFETCH(QString, box);
    Form1 &f = *m_form;
    f.LstCouple->addItem(QStringLiteral("ancien"));
    f.findChild<QLineEdit *>(box)->setText(QStringLiteral("x"));
    QTest::mouseClick(f.BtnGO, Qt::LeftButton);
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes[0].title, "Erreur");
    QCOMPARE(m_dialogs->boxes[0].text, "Erreur de saisie");
    QCOMPARE(m_dialogs->boxes[0].icon, platform::BoxIcon::Critical);
    QVERIFY(blank());
    QCOMPARE(f.LstCouple->count(), 0);
    QCOMPARE(f.NbCouple, 0);
    QVERIFY(f.TabCouple.empty());
}

void TestRecalcul::fixedFocalCopiesApertures()
{
    Form1 &f = *m_form;
    f.TxtFocalMini->setText(QStringLiteral("50"));
    f.TxtFocalMaxi->setText(QStringLiteral("50"));
    f.TxtDiafMini->setText(QStringLiteral("1,8"));
    f.TxtDiafMaxi->setText(QStringLiteral("x")); // copied even though the chart then refuses it
    QTest::mouseClick(f.BtnGO, Qt::LeftButton);
    QCOMPARE(f.TxtDiafMiniZoom->text(), "1,8");
    QCOMPARE(f.TxtDiafMaxiZoom->text(), "x");
    QCOMPARE(m_dialogs->boxes.size(), 1);
}

void TestRecalcul::enterExchangesFocals()
{
    Form1 &f = *m_form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    m_dialogs->boxes.clear(); // the welcome
    f.TxtFocalMini->setText(QStringLiteral("55"));
    f.TxtFocalMaxi->setText(QStringLiteral("18"));
    // The apertures the user typed survive the exchange.
    const QStringList ouvertures{"2,8", "4", "16", "32"};
    QLineEdit *const boites[] = {f.TxtDiafMini, f.TxtDiafMiniZoom, f.TxtDiafMaxi, f.TxtDiafMaxiZoom};
    for (int i = 0; i < 4; ++i)
        boites[i]->setText(ouvertures[i]);
    f.Graphic->surface().clear();
    f.TxtValeur->setFocus();
    QTest::keyClick(f.TxtValeur, Qt::Key_Return);
    QCOMPARE(f.TxtFocalMini->text(), "18");
    QCOMPARE(f.TxtFocalMaxi->text(), "55");
    for (int i = 0; i < 4; ++i)
        QCOMPARE(boites[i]->text(), ouvertures[i]);
    QVERIFY(f.TxtDiafMiniZoom->isVisible());
    QVERIFY(!blank()); // redrawn
    QCOMPARE(f.NbCouple, 5 * 16);
    QVERIFY(m_dialogs->boxes.isEmpty());

    // Equal focal lengths: the zoom apertures follow the short end's.
    f.TxtFocalMaxi->setText(QStringLiteral("18"));
    QTest::keyClick(f.TxtValeur, Qt::Key_Enter);
    QCOMPARE(f.TxtDiafMiniZoom->text(), f.TxtDiafMini->text());
    QCOMPARE(f.TxtDiafMaxiZoom->text(), f.TxtDiafMaxi->text());
}

void TestRecalcul::enterWithEmptyLongestFocal()
{
    Form1 &f = *m_form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    m_dialogs->boxes.clear();
    f.TxtFocalMini->setText(QStringLiteral("18"));
    f.TxtFocalMaxi->setText(QString());
    f.TxtFocalMaxi->setFocus();
    QTest::keyClick(f.TxtFocalMaxi, Qt::Key_Return);
    QCOMPARE(f.TxtFocalMini->text(), QString());
    QCOMPARE(f.TxtFocalMaxi->text(), "18");
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes[0].text, "Erreur de saisie");
}

// Enter on a control that ignores it (a check box) reaches the window once.
void TestRecalcul::enterRunsOncePerKey()
{
    Form1 &f = *m_form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    m_dialogs->boxes.clear();
    f.TxtIsoMaxi->setText(QStringLiteral("x")); // each recalculation shows one box
    for (QWidget *w : {static_cast<QWidget *>(f.ChkBxFlash), static_cast<QWidget *>(f.TxtValeur),
                       static_cast<QWidget *>(f.BtnGO)}) {
        m_dialogs->boxes.clear();
        w->setFocus();
        QTest::keyClick(w, Qt::Key_Return);
        QCOMPARE(m_dialogs->boxes.size(), 1);
    }
}

void TestRecalcul::ticksRecalculate()
{
    Form1 &f = *m_form;
    f.ChkBxVitesseLente->setChecked(true);
    const ChartView chart = f.chart();
    QCOMPARE(chart.range.LogVitesseMin, std::log(1.0 / 40));
    const int y = qRound(chart.cy(1.2));
    QCOMPARE(*chart.surface.pixel(chart.cx(1.0 / 10), y), colours::kGrilleClaire);
    f.ChkBxVitesseLente->setChecked(false);
    QCOMPARE(f.chart().range.LogVitesseMin, std::log(1 / 1.4));
}

void TestRecalcul::testPerformance()
{
    Form1 &f = *m_form;
    f.BtnGO_Click();
    const QImage once = f.Graphic->surface().image();
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    QCOMPARE(f.Graphic->surface().image(), once);
    QCOMPARE(f.NbCouple, 85);
    const std::optional<double> seconds = readNumber(f.windowTitle());
    QVERIFY2(seconds && *seconds >= 0 && *seconds < 60, qPrintable(f.windowTitle()));
}

QTEST_MAIN(TestRecalcul)
#include "tst_recalcul.moc"
