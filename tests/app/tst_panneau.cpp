// The light panel, the calculator, the key filters and the explanation box,
// driven through the real controls of the main window.
#include "app/Form1.h"
#include "chart/Explications.h"
#include "platform/DropDownComboBox.h"
#include "platform/SurfaceWidget.h"
#include "support/TestSupport.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace kavel;

namespace {

void type(QWidget *box, const QString &keys)
{
    box->setFocus();
    if (auto *edit = qobject_cast<QLineEdit *>(box))
        edit->selectAll();
    QTest::keyClicks(box, keys);
}

void moveOver(QWidget *w, QPointF at)
{
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

QColor background(const QWidget *w, QPalette::ColorRole role = QPalette::Window)
{
    return w->palette().color(role);
}

} // namespace

class TestPanneau : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startUpPanel();
    void calculator_data();
    void calculator();
    void calculatorNeedsAFreshChoice();
    void typedLevels_data();
    void typedLevels();
    void captionsAndGrey_data();
    void captionsAndGrey();
    void dragThenRelease();
    void releaseWhereTheDragStarted();
    void arrowClickRestartsTheTimer();
    void timerRefreshesOnce();
    void keyFilters_data();
    void keyFilters();
    void apertureKeysClearTheLensName();
    void calculatorKeys();
    void keyboardChoiceInAnOpenList();
    void listBackground();
    void hoverMarkerAndZones();
    void hoverVisibility();
    void hoverFlipsNearTheRightEdge();

private:
    std::unique_ptr<DialogRecorder> m_dialogs;
    QTemporaryDir m_folder;
    std::unique_ptr<Form1> m_form;
};

void TestPanneau::init()
{
    m_dialogs = std::make_unique<DialogRecorder>();
    m_form = std::make_unique<Form1>(QStringLiteral(KAVEL_DATA_DIR));
    m_form->show();
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
}

void TestPanneau::cleanup()
{
    m_form.reset();
    m_dialogs.reset();
}

void TestPanneau::startUpPanel()
{
    Form1 &f = *m_form;
    QCOMPARE(f.HScroll4->minimum(), -60);
    QCOMPARE(f.HScroll4->maximum(), 180);
    QCOMPARE(f.HScroll4->singleStep(), 1);
    QCOMPARE(f.HScroll4->pageStep(), 10);
    QCOMPARE(f.HScroll4->value(), 110);
    QCOMPARE(f.TxtValeur->text(), "11");
    QCOMPARE(f.LblLUX->text(), "5 100 lux");
    QCOMPARE(f.LblLUX->toolTip(), "Valeur exacte : 5120 lux");
    QCOMPARE(f.LblLUXTxt->toolTip(), QString::fromUtf8("Exemple de situations (selon wikipedia) où l'on trouve 5 100 lux"));
    QVERIFY(f.LblLUXTxt->toPlainText().startsWith(QLatin1String("EXTERIEUR EN LUMIERE NATURELLE")));
    QVERIFY(f.ChkBxToolTip->isChecked());
    QCOMPARE(f.ChkBxToolTip->text(), "Bulles d'aide");
    QCOMPARE(f.BtnCalculLumiere->text(), "OK");
    QCOMPARE(f.NbCouple, 85);
    QVERIFY(f.TimerMiniature->isSingleShot());
    QCOMPARE(f.TimerMiniature->interval(), 400);
}

void TestPanneau::calculator_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("diaf");
    QTest::addColumn<QString>("iso");
    QTest::addColumn<int>("slider");
    QTest::addColumn<QString>("level");
    QTest::addColumn<QString>("lux");
    QTest::newRow("1/125 F/8 ISO 100") << "1/125" << "8" << "100" << 130 << "13" << "20 000 lux";
    QTest::newRow("ISO 25600") << "1/125" << "8" << "25600" << 50 << "5" << "80 lux";
    QTest::newRow("above 18") << "1/8000" << "22" << "50" << 180 << "18" << "650 000 lux";
    QTest::newRow("where the slider stands") << "1/8" << "16" << "100" << 110 << "11" << "5 100 lux";
}

void TestPanneau::calculator()
{
    QFETCH(QString, speed);
    QFETCH(QString, diaf);
    QFETCH(QString, iso);
    QFETCH(int, slider);
    QFETCH(QString, level);
    QFETCH(QString, lux);
    Form1 &f = *m_form;
    type(f.TxtValeur, "1,5"); // a typed level leaves the slider where it stands
    f.CmbBxSpeed->setCurrentIndex(f.CmbBxSpeed->findText(speed));
    f.CmbBxDiaf->setCurrentIndex(f.CmbBxDiaf->findText(diaf));
    f.CmbBxIso->setCurrentIndex(f.CmbBxIso->findText(iso));
    QTest::mouseClick(f.BtnCalculLumiere, Qt::LeftButton);
    QCOMPARE(f.HScroll4->value(), slider);
    QCOMPARE(f.TxtValeur->text(), level);
    QCOMPARE(f.LblLUX->text(), lux);
    // The triplet stays on show.
    QCOMPARE(f.CmbBxSpeed->currentText(), speed);
    QCOMPARE(f.CmbBxDiaf->currentText(), diaf);
    QCOMPARE(f.CmbBxIso->currentText(), iso);
    QVERIFY(!f.bCalculLumiere);
    // The ring of the chosen couple is on the chart (1/8000 s lies beyond it).
    const ChartView chart = f.chart();
    const double vitesse = f.scales.speedValue(f.CmbBxSpeed->currentIndex());
    if (slider < 180)
        QCOMPARE(*chart.surface.pixel(chart.cx(vitesse) + 5, chart.cy(diaf.toDouble())), QRgb(0xFFFFFF00));
    if (level == "13")
        QCOMPARE(f.LblLUX->toolTip(), "Valeur exacte : 20480 lux");
}

void TestPanneau::calculatorNeedsAFreshChoice()
{
    Form1 &f = *m_form;
    f.CmbBxSpeed->setCurrentIndex(36);
    f.CmbBxDiaf->setCurrentIndex(18);
    f.CmbBxIso->setCurrentIndex(1);
    f.TxtValeur->setText(QStringLiteral("7")); // the level no longer comes from the triplet
    QCOMPARE(f.CmbBxSpeed->currentText(), "Speed");
    QCOMPARE(f.CmbBxSpeed->currentIndex(), -1);
    QCOMPARE(f.CmbBxDiaf->currentText(), "Diaf");
    QCOMPARE(f.CmbBxIso->currentText(), "Iso");
    QTest::mouseClick(f.BtnCalculLumiere, Qt::LeftButton);
    QCOMPARE(f.TxtValeur->text(), "7");
    QCOMPARE(f.HScroll4->value(), 110);

    // A typed speed is no choice of the list.
    f.CmbBxSpeed->setCurrentIndex(36);
    f.CmbBxDiaf->setCurrentIndex(18);
    f.CmbBxIso->setCurrentIndex(1);
    f.CmbBxSpeed->setFocus();
    f.CmbBxSpeed->lineEdit()->selectAll();
    QTest::keyClicks(f.CmbBxSpeed->lineEdit(), "1/60");
    QCOMPARE(f.CmbBxSpeed->currentIndex(), -1);
    QCOMPARE(f.CmbBxSpeed->currentText(), "1/60");
}

void TestPanneau::typedLevels_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("lux");
    QTest::newRow("25 clamps to 18") << "25" << "18" << "650 000 lux";
    QTest::newRow("-7 clamps to -6") << "-7" << "-6" << "0,039 lux";
    QTest::newRow("1.5 types 1,5") << "1.5" << "1,5" << "7 lux";
    QTest::newRow("1,5 keeps its comma") << "1,5" << "1,5" << "7 lux";
}

// Typing a level updates the panel and the chart, never the slider.
void TestPanneau::typedLevels()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(QString, lux);
    Form1 &f = *m_form;
    type(f.TxtValeur, typed);
    QCOMPARE(f.TxtValeur->text(), text);
    QCOMPARE(f.LblLUX->text(), lux);
    QCOMPARE(f.HScroll4->value(), 110);
    QCOMPARE(f.CmbBxSpeed->currentText(), "Speed");
}

void TestPanneau::captionsAndGrey_data()
{
    QTest::addColumn<QString>("level");
    QTest::addColumn<int>("grey");
    QTest::addColumn<QColor>("captions");
    QTest::newRow("9") << "9" << 159 << QColor(Qt::white);
    QTest::newRow("9,1") << "9,1" << 160 << QColor(Qt::black);
    QTest::newRow("-2") << "-2" << 42 << QColor(Qt::white);
}

void TestPanneau::captionsAndGrey()
{
    QFETCH(QString, level);
    QFETCH(int, grey);
    QFETCH(QColor, captions);
    Form1 &f = *m_form;
    f.TxtValeur->setText(level);
    QCOMPARE(background(f.Label11), QColor(grey, grey, grey));
    for (QLabel *label : {f.Label11, f.Label6, f.Label9, f.Label17})
        QCOMPARE(label->palette().color(QPalette::WindowText), captions);
}

void TestPanneau::dragThenRelease()
{
    Form1 &f = *m_form;
    QSignalSpy refreshed(&f, &Form1::miniaturesRafraichies);
    f.TimerMiniature->stop();
    f.HScroll4->setSliderDown(true);
    f.HScroll4->setSliderPosition(120);
    QCOMPARE(f.TxtValeur->text(), "12");
    QCOMPARE(f.LblLUX->text(), "10 000 lux");
    f.HScroll4->setSliderPosition(125);
    QCOMPARE(f.TxtValeur->text(), "12,5");
    QCOMPARE(f.HScroll4->value(), 110); // the value changes on release only
    QVERIFY(!f.TimerMiniature->isActive());
    QVERIFY(!f.bInhibeMiniature);
    QCOMPARE(refreshed.count(), 0);

    f.HScroll4->setSliderDown(false);
    QCOMPARE(f.HScroll4->value(), 125);
    QCOMPARE(refreshed.count(), 1); // shown at once at the end of the drag
    QVERIFY(f.bInhibeMiniature);
    QCOMPARE(f.TxtValeur->text(), "12,5");
}

void TestPanneau::releaseWhereTheDragStarted()
{
    Form1 &f = *m_form;
    QSignalSpy refreshed(&f, &Form1::miniaturesRafraichies);
    f.HScroll4->setSliderDown(true);
    f.HScroll4->setSliderPosition(130);
    f.HScroll4->setSliderPosition(110);
    f.HScroll4->setSliderDown(false);
    QCOMPARE(f.HScroll4->value(), 110);
    QCOMPARE(refreshed.count(), 1);
    QVERIFY(f.bInhibeMiniature);
    QCOMPARE(f.TxtValeur->text(), "11");
}

void TestPanneau::arrowClickRestartsTheTimer()
{
    Form1 &f = *m_form;
    f.TimerMiniature->stop();
    f.IndexMiniature = 3;
    f.HScroll4->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(f.HScroll4->value(), 111);
    QCOMPARE(f.TxtValeur->text(), "11,1");
    QVERIFY(f.TimerMiniature->isActive());
    QCOMPARE(f.IndexMiniature, 0);
    f.HScroll4->triggerAction(QAbstractSlider::SliderPageStepSub);
    QCOMPARE(f.TxtValeur->text(), "10,1");
}

void TestPanneau::timerRefreshesOnce()
{
    Form1 &f = *m_form;
    QSignalSpy refreshed(&f, &Form1::miniaturesRafraichies);
    f.TxtValeur->setText(QStringLiteral("8"));
    f.TxtValeur->setText(QStringLiteral("9"));
    QVERIFY(refreshed.wait(2000));
    QTest::qWait(500);
    QCOMPARE(refreshed.count(), 1); // one refresh after the last restart
    QVERIFY(!f.TimerMiniature->isActive());
}

void TestPanneau::keyFilters_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("text");
    QTest::newRow("point becomes comma") << "TxtDiafMini" << "5.6" << "5,6";
    QTest::newRow("comma kept") << "TxtDiafMini" << "5,6" << "5,6";
    QTest::newRow("comma in a focal box") << "TxtFocalMaxi" << "10,5" << "10,5";
    QTest::newRow("minus in the level") << "TxtValeur" << "-2" << "-2";
    QTest::newRow("minus in an ISO box") << "TxtIsoMini" << "-2" << "2";
    QTest::newRow("letters in a speed box") << "TxtVitesseMaxi" << "1/2000" << "12000";
    QTest::newRow("letter in a focal box") << "TxtFocalMaxi" << "x" << "55";
}

void TestPanneau::keyFilters()
{
    QFETCH(QString, box);
    QFETCH(QString, typed);
    QFETCH(QString, text);
    auto *edit = m_form->findChild<QLineEdit *>(box);
    edit->setFocus();
    edit->end(false);
    if (typed != "x")
        edit->clear();
    QTest::keyClicks(edit, typed);
    QCOMPARE(edit->text(), text);
    // Backspace and the arrows still edit.
    QTest::keyClick(edit, Qt::Key_Backspace);
    QCOMPARE(edit->text(), text.chopped(1));
}

void TestPanneau::apertureKeysClearTheLensName()
{
    Form1 &f = *m_form;
    QCOMPARE(f.CmbBxObjectif->currentText(), "EF-S 18-55mm F3.5-5.6");
    f.TxtDiafMaxi->setFocus();
    QTest::keyClick(f.TxtDiafMaxi, Qt::Key_A);
    QCOMPARE(f.TxtDiafMaxi->text(), "22");
    QCOMPARE(f.CmbBxObjectif->currentText(), QString());

    // In the focal boxes a dropped key keeps the name; a digit clears it.
    f.CmbBxObjectif->setEditText(QStringLiteral("EF 50mm"));
    f.TxtFocalMaxi->setFocus();
    QTest::keyClick(f.TxtFocalMaxi, Qt::Key_A);
    QCOMPARE(f.CmbBxObjectif->currentText(), "EF 50mm");
    QTest::keyClick(f.TxtFocalMaxi, Qt::Key_5);
    QCOMPARE(f.CmbBxObjectif->currentText(), QString());
}

// A key in the calculator's lists computes from the triplet as it stands.
void TestPanneau::calculatorKeys()
{
    Form1 &f = *m_form;
    f.CmbBxSpeed->setCurrentIndex(36);
    f.CmbBxDiaf->setCurrentIndex(18);
    f.CmbBxIso->setCurrentIndex(1);
    f.CmbBxSpeed->setFocus();
    QTest::keyClick(f.CmbBxSpeed, Qt::Key_Return);
    QCOMPARE(f.TxtValeur->text(), "13");

    f.CmbBxIso->setCurrentIndex(2); // ISO 200: one EV less
    f.CmbBxIso->setFocus();
    QTest::keyClick(f.CmbBxIso, Qt::Key_Shift); // key down sees keys that type nothing
    QCOMPARE(f.TxtValeur->text(), "12");
}

// Enter in an open list chooses the item and computes with it; a choice
// made with the mouse waits for OK.
void TestPanneau::keyboardChoiceInAnOpenList()
{
    Form1 &f = *m_form;
    f.CmbBxSpeed->setCurrentIndex(36);
    f.CmbBxDiaf->setCurrentIndex(18);
    f.CmbBxIso->showPopup();
    QAbstractItemView *liste = f.CmbBxIso->view();
    liste->setCurrentIndex(liste->model()->index(1, 0));
    QTest::keyClick(liste, Qt::Key_Down); // ISO 200
    QTest::keyClick(liste, Qt::Key_Return);
    QCOMPARE(f.CmbBxIso->currentText(), "200");
    QCOMPARE(f.TxtValeur->text(), "12");

    f.CmbBxIso->showPopup();
    const QModelIndex iso100 = liste->model()->index(1, 0);
    QTest::mouseClick(liste->viewport(), Qt::LeftButton, Qt::NoModifier, liste->visualRect(iso100).center());
    QCOMPARE(f.CmbBxIso->currentText(), "100");
    QCOMPARE(f.TxtValeur->text(), "12");
}

void TestPanneau::listBackground()
{
    Form1 &f = *m_form;
    DropDownComboBox *iso = f.CmbBxIso;
    iso->setFocus();
    QTRY_VERIFY(iso->hasFocus());
    iso->showPopup();
    QCOMPARE(background(iso, QPalette::Base), QColor(40, 40, 40));
    iso->hidePopup();
    QCOMPARE(background(iso, QPalette::Base), QColor(40, 40, 40));
    f.TxtValeur->setFocus();
    QTRY_VERIFY(f.TxtValeur->hasFocus());
    QCOMPARE(background(iso, QPalette::Base), QColor(Qt::black));
}

void TestPanneau::hoverMarkerAndZones()
{
    Form1 &f = *m_form;
    const TypeCouple &c = f.TabCouple.back();
    moveOver(f.Graphic, QPointF(c.X + 2, c.Y + 1));
    QVERIFY(f.TxtInfoBulle->isVisible());
    QCOMPARE(f.TxtInfoBulle->size(), QSize(145, 16));
    QVERIFY(f.TxtInfoBulle->text().contains(QLatin1String("  -  F/")));
    QCOMPARE(background(f.TxtInfoBulle), QColor::fromRgb(colours::kBulleCouple));
    QCOMPARE(f.TxtInfoBulle->pos(), QPoint(qRound(c.X + 2 + 16), qRound(c.Y + 1 + 16)));

    const ChartView chart = f.chart();
    moveOver(f.Graphic, QPointF(chart.cx(5), chart.cy(11)));
    QCOMPARE(f.TxtInfoBulle->size(), QSize(153, 113));
    QVERIFY(f.TxtInfoBulle->text().startsWith(QLatin1String("LIMITE DE FLOU DE BOUGE")));
    QCOMPARE(background(f.TxtInfoBulle), QColor::fromRgb(colours::kBulleRouge));
}

void TestPanneau::hoverVisibility()
{
    Form1 &f = *m_form;
    const QPointF inside(300, 200);
    moveOver(f.Graphic, inside);
    QVERIFY(f.TxtInfoBulle->isVisible());
    moveOver(&f, QPointF(600, 650)); // the window's own background
    QVERIFY(!f.TxtInfoBulle->isVisible());
    moveOver(f.Graphic, inside);
    QVERIFY(f.TxtInfoBulle->isVisible());
    moveOver(f.TxtInfoBulle, QPointF(5, 5)); // onto the box itself
    QVERIFY(!f.TxtInfoBulle->isVisible());

    f.ChkBxToolTip->setChecked(false);
    moveOver(f.Graphic, inside);
    QVERIFY(!f.TxtInfoBulle->isVisible());
    QVERIFY(!f.TxtInfoBulle->text().isEmpty()); // kept up to date while hidden
    f.ChkBxToolTip->setChecked(true);
    f.APropos->show();
    moveOver(f.Graphic, inside);
    QVERIFY(!f.TxtInfoBulle->isVisible());
}

void TestPanneau::hoverFlipsNearTheRightEdge()
{
    Form1 &f = *m_form;
    const QPointF nearRight(f.Graphic->width() - 20, 100);
    moveOver(f.Graphic, nearRight);
    QVERIFY(f.TxtInfoBulle->isVisible());
    QCOMPARE(f.TxtInfoBulle->x(), qRound(nearRight.x() - 153 - 16));
    QCOMPARE(f.TxtInfoBulle->y(), 116);
}

QTEST_MAIN(TestPanneau)
#include "tst_panneau.moc"
