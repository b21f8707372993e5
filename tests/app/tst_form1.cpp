#include "app/Form1.h"
#include "platform/DropDownComboBox.h"
#include "platform/SurfaceWidget.h"
#include "support/TestSupport.h"

#include <QAbstractItemView>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

using namespace kavel;

class TestForm1 : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void designWindow();
    void startUpState();
    void calculatorLists_data();
    void calculatorLists();
    void typedTextIsNeverAnItem();
    void dropDownHeights_data();
    void dropDownHeights();
    void sizeLimits();
    void maximisingIsNotCapped();
    void closingRemovesTheLimit();
    void welcomeOnceOnly();

private:
    std::unique_ptr<DialogRecorder> m_dialogs;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<Form1> m_form;
};

void TestForm1::init()
{
    m_dialogs = std::make_unique<DialogRecorder>();
    m_folder = std::make_unique<QTemporaryDir>();
    m_form = std::make_unique<Form1>(m_folder->path());
}

void TestForm1::cleanup()
{
    m_form.reset();
    m_folder.reset();
    m_dialogs.reset();
}

void TestForm1::designWindow()
{
    Form1 &f = *m_form;
    QCOMPARE(f.windowTitle(), "Kavel - Logiciel didactique");
    QCOMPARE(f.size(), QSize(975, 703));
    QCOMPARE(f.programFolder(), m_folder->path());
    QCOMPARE(f.findChild<SurfaceWidget *>("Graphic"), f.Graphic);
    QCOMPARE(f.Graphic->geometry(), QRect(216, 24, 753, 552));
    QCOMPARE(f.Graphic->surface().width(), 753);
    QCOMPARE(f.Graphic->surface().height(), 552);
    QCOMPARE(*f.Graphic->surface().pixel(1, f.Graphic->height() - 2), DrawingSurface::kBackground);
    QCOMPARE(f.Graphic->surface().textColour(), QRgb(0xFFFFFFFF));
    // The About panel lies hidden on the chart.
    QCOMPARE(f.findChild<QFrame *>("APropos"), f.APropos);
    QCOMPARE(f.APropos->parentWidget(), f.Graphic);
    QCOMPARE(f.APropos->geometry(), QRect(176, 152, 401, 305));
    QVERIFY(f.APropos->isHidden());
}

void TestForm1::startUpState()
{
    Form1 &f = *m_form;
    QCOMPARE(f.VitesseMaxBoitier, 4000.0);
    QCOMPARE(f.VitesseFlash, 200.0);
    QVERIFY(f.bInhibeMiniature);
    QVERIFY(!f.bDejaActive);
    QCOMPARE(f.range.LogVitesseMax, std::log(5000.0));
    QCOMPARE(f.scales.TabDiaf[39], 91.0);
    QCOMPARE(f.findChild<QLabel *>("LblVersion")->text(), "Version 1.5.1");
}

void TestForm1::calculatorLists_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("placeholder");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("last");
    QTest::newRow("ISO") << "CmbBxIso" << 10 << "Iso" << "50" << "25600";
    QTest::newRow("apertures") << "CmbBxDiaf" << 40 << "Diaf" << "1" << "91";
    QTest::newRow("speeds") << "CmbBxSpeed" << 55 << "Speed" << "30s" << "1/8000";
}

void TestForm1::calculatorLists()
{
    QFETCH(QString, name);
    QFETCH(int, count);
    QFETCH(QString, placeholder);
    QFETCH(QString, first);
    QFETCH(QString, last);
    auto *list = m_form->findChild<DropDownComboBox *>(name);
    QVERIFY(list);
    QCOMPARE(list->count(), count);
    QCOMPARE(list->currentIndex(), -1);
    QCOMPARE(list->currentText(), placeholder);
    QCOMPARE(list->itemText(0), first);
    QCOMPARE(list->itemText(count - 1), last);
}

void TestForm1::typedTextIsNeverAnItem()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    DropDownComboBox *list = m_form->CmbBxIso;
    list->lineEdit()->selectAll();
    QTest::keyClicks(list->lineEdit(), "333");
    QTest::keyClick(list->lineEdit(), Qt::Key_Return);
    QCOMPARE(list->count(), 10);
    QCOMPARE(list->itemText(3), "400");
}

void TestForm1::dropDownHeights_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("listIsLonger");
    QTest::newRow("ISO, short list") << "CmbBxIso" << false;
    QTest::newRow("apertures") << "CmbBxDiaf" << true;
    QTest::newRow("speeds") << "CmbBxSpeed" << true;
}

// The whole control with its list open is 320 pixels high at most, exactly
// that when the list has more items than fit.
void TestForm1::dropDownHeights()
{
    QFETCH(QString, name);
    QFETCH(bool, listIsLonger);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    auto *list = m_form->findChild<DropDownComboBox *>(name);
    QCOMPARE(list->dropDownHeight(), 320);
    const int width = list->width();
    list->showPopup();
    QWidget *popup = list->view()->window();
    QVERIFY(popup != m_form.get());
    QTRY_VERIFY(popup->isVisible());
    if (listIsLonger)
        QCOMPARE(popup->height() + list->height(), 320);
    else
        QVERIFY(popup->height() + list->height() <= 320);
    QVERIFY(popup->width() >= width);
    QCOMPARE(list->width(), width);
    list->hidePopup();
}

QSize frameOf(const QWidget &w)
{
    return LimitationTaille::frameOrDefault(w.frameGeometry().size() - w.geometry().size());
}

void TestForm1::sizeLimits()
{
    // Where no frame is known, the design frame (5 x 34) turns the window
    // limits 980 x 737 .. 2500 x 2500 into inner limits.
    const QSize unknown = LimitationTaille::frameOrDefault(QSize(0, 0));
    QCOMPARE(LimitationTaille::innerMinimum(unknown), QSize(975, 703));
    QCOMPARE(LimitationTaille::innerMaximum(unknown), QSize(2495, 2466));
    QCOMPARE(m_form->minimumSize(), QSize(975, 703)); // before the window shows

    // Once shown, the measured frame counts: the whole window stays within the limits.
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    const QSize frame = frameOf(*m_form);
    QCOMPARE(m_form->minimumSize(), QSize(980, 737) - frame);
    QCOMPARE(m_form->maximumSize(), QSize(2500, 2500) - frame);
    m_form->resize(500, 400);
    QCOMPARE(m_form->frameGeometry().size(), QSize(980, 737));
    m_form->resize(4000, 4000);
    QCOMPARE(m_form->frameGeometry().size(), QSize(2500, 2500));
}

void TestForm1::maximisingIsNotCapped()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_form->showMaximized();
    QTRY_VERIFY(m_form->isMaximized());
    QCOMPARE(m_form->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    m_form->showNormal();
    QTRY_COMPARE(m_form->maximumSize(), QSize(2500, 2500) - frameOf(*m_form));
}

void TestForm1::closingRemovesTheLimit()
{
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_form->close();
    QCOMPARE(m_form->minimumSize(), QSize(0, 0));
    QCOMPARE(m_form->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

void TestForm1::welcomeOnceOnly()
{
    QVERIFY(m_dialogs->boxes.isEmpty()); // not before the window is active
    m_form->show();
    m_form->activateWindow();
    QTRY_COMPARE(m_dialogs->boxes.size(), 1);
    const platform::MessageBox box = m_dialogs->boxes.first();
    QCOMPARE(box.title, "Kavel");
    QCOMPARE(box.text, "Kavel est encore en cours d'affinage. N'hésitez pas à m'envoyer vos idées "
                       "d'amélioration et les éventuels bugs. Merci :-)");
    QCOMPARE(box.icon, platform::BoxIcon::None);
    QVERIFY(m_form->bDejaActive);

    // Another window takes the focus, then the main window gets it back.
    QWidget other;
    other.show();
    other.activateWindow();
    QTRY_VERIFY(other.isActiveWindow());
    m_form->activateWindow();
    QTRY_VERIFY(m_form->isActiveWindow());
    QCOMPARE(m_dialogs->boxes.size(), 1);
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
