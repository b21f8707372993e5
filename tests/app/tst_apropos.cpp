// The window's layout, the About panel and its links, and the older chart.
#include "app/Disposition.h"
#include "app/Form1.h"
#include "chart/Legacy.h"
#include "platform/PictureBox.h"
#include "platform/SurfaceWidget.h"
#include "support/TestSupport.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace kavel;

namespace {

void moveOver(QWidget *w, QPointF at = QPointF(3, 3))
{
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

bool bold(const QLabel *l)
{
    return l->font().bold();
}

} // namespace

class TestAPropos : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void designLayout();
    void layoutFollowsTheWindow();
    void minimisedDoesNothing();
    void aboutToggle();
    void boldRules();
    void mailtoTexts();
    void linksOpen();
    void legacyChart();

private:
    std::unique_ptr<DialogRecorder> m_dialogs;
    QTemporaryDir m_dir;
    std::unique_ptr<Form1> m_form;
    QList<QUrl> m_opened;
    platform::OpenUrlHandler m_previous;
};

void TestAPropos::init()
{
    m_dialogs = std::make_unique<DialogRecorder>();
    m_opened.clear();
    m_previous = platform::setOpenUrlHandler([this](const QUrl &url) {
        m_opened << url;
        return true;
    });
    m_form = std::make_unique<Form1>(m_dir.path());
}

void TestAPropos::cleanup()
{
    m_form.reset();
    platform::setOpenUrlHandler(std::move(m_previous));
    m_dialogs.reset();
}

void TestAPropos::designLayout()
{
    const std::optional<Disposition> d = Dispose(QSize(975, 703));
    QVERIFY(d);
    QCOMPARE(d->Graphic, QRect(216, 24, 751, 558));
    QCOMPARE(d->CadrePhoto, QRect(232, 590, 719, 89));
    QCOMPARE(d->BtnPhotoAvant.topLeft(), QPoint(216, 590));
    QCOMPARE(d->BtnPhotoApres.topLeft(), QPoint(951, 590));
    QCOMPARE(d->BtnBasePhoto.topLeft(), QPoint(854, 680));
    QCOMPARE(d->LblNbBasePhoto.topLeft(), QPoint(637, 681));
    QCOMPARE(d->LblNbPhotoOK.topLeft(), QPoint(216, 681));
    QCOMPARE(d->hautMiniatures, 598);
    QVERIFY(!Dispose(QSize(226, 703)));
    QVERIFY(Dispose(QSize(227, 703)));
}

void TestAPropos::layoutFollowsTheWindow()
{
    Form1 &f = *m_form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.resize(1400, 1000);
    QCOMPARE(f.Graphic->geometry(), QRect(216, 24, 1400 - 224, 1000 - 89 - 24 - 32));
    QCOMPARE(f.Graphic->surface().width(), 1176);
    QCOMPARE(f.CadrePhoto->y(), 1000 - 113);
    QCOMPARE(f.PictMiniture[3]->y(), 1000 - 113 + 8);
    QCOMPARE(f.BtnBasePhoto->geometry().topLeft(), QPoint(1400 - 121, 1000 - 23));
    // The chart was redrawn for the new size: its right edge at 1/5000 s.
    const ChartView chart = f.chart();
    QCOMPARE(chart.cx(5000), float(1175));
    QCOMPARE(f.NbCouple, 85);
    QVERIFY(f.TimerMiniature->isActive());
}

void TestAPropos::minimisedDoesNothing()
{
    Form1 &f = *m_form;
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    const QRect before = f.Graphic->geometry();
    f.NbCouple = -1;
    f.showMinimized();
    QTRY_VERIFY(f.isMinimized());
    f.Form_Resize();
    QCOMPARE(f.Graphic->geometry(), before);
    QCOMPARE(f.NbCouple, -1); // no recalculation
    f.showNormal();
    QTRY_COMPARE(f.NbCouple, 85);
}

void TestAPropos::aboutToggle()
{
    Form1 &f = *m_form;
    QCOMPARE(f.BtnAPropos->text(), "A propos");
    QCOMPARE(f.Label14->text(), "Kavel");
    QVERIFY(f.Label14->font().bold());
    QCOMPARE(f.Label14->font().pointSize(), 36);
    QCOMPARE(f.Label14->palette().color(QPalette::WindowText), QColor(192, 192, 255));
    QCOMPARE(f.LblVersion->text(), "Version 1.5.1");
    QVERIFY(f.APropos->isHidden());
    QTest::mouseClick(f.BtnAPropos, Qt::LeftButton);
    QVERIFY(!f.APropos->isHidden());
    QTest::mouseClick(f.BtnAPropos, Qt::LeftButton);
    QVERIFY(f.APropos->isHidden());
    // A click on the panel, its title, its version or its picture closes it.
    for (QWidget *w : {static_cast<QWidget *>(f.APropos), static_cast<QWidget *>(f.Label14),
                       static_cast<QWidget *>(f.LblVersion), static_cast<QWidget *>(f.Picture1)}) {
        f.APropos->show();
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
        QVERIFY2(f.APropos->isHidden(), qPrintable(w->objectName()));
    }
    // Its links open and leave it open, whichever button clicks them.
    f.APropos->show();
    for (QLabel *l : {f.Label18, f.Label19})
        for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton})
            QTest::mouseClick(l, b, Qt::NoModifier, QPoint(2, 2));
    QVERIFY(!f.APropos->isHidden());
    QCOMPARE(m_opened.size(), 4);
    // A right click on the panel is no click.
    QTest::mouseClick(f.APropos, Qt::RightButton, Qt::NoModifier, QPoint(2, 2));
    QVERIFY(!f.APropos->isHidden());
}

void TestAPropos::boldRules()
{
    Form1 &f = *m_form;
    moveOver(f.Label20);
    QVERIFY(bold(f.Label20));
    moveOver(f.Label21); // straight from one to the other
    QVERIFY(bold(f.Label21));
    QVERIFY(!bold(f.Label20));
    moveOver(f.Picture3);
    QVERIFY(bold(f.Label20));
    QVERIFY(!bold(f.Label21));
    moveOver(&f, QPointF(600, 650)); // the window's background
    QVERIFY(!bold(f.Label20));
    moveOver(f.Picture4);
    QVERIFY(bold(f.Label21));

    f.APropos->show();
    moveOver(f.Label18);
    moveOver(f.Label19);
    QVERIFY(bold(f.Label18) && bold(f.Label19));
    moveOver(f.APropos, QPointF(5, 200));
    QVERIFY(!bold(f.Label18) && !bold(f.Label19) && !bold(f.Label20) && !bold(f.Label21));
    for (QLabel *l : {f.Label18, f.Label19, f.Label20, f.Label21})
        QCOMPARE(l->cursor().shape(), Qt::PointingHandCursor);
    QCOMPARE(f.Label20->toolTip(), QString::fromUtf8("Merci ! (Essayez d'être précis dans la description du problème)"));
    QCOMPARE(f.Label21->toolTip(), "Les plus petites idées sont souvent les meilleures");
}

void TestAPropos::mailtoTexts()
{
    QCOMPARE(lienMail(), "mailto:auteur@kavel.example");
    QCOMPARE(lienMail(QStringLiteral("Bug dans Kavel")), "mailto:auteur@kavel.example?subject=Bug%20dans%20Kavel");
    QCOMPARE(lienMail(QString::fromUtf8("J'ai une idée pour Kavel :-)")),
             "mailto:auteur@kavel.example?subject=J%27ai%20une%20id%C3%A9e%20pour%20Kavel%20%3A-%29");
}

void TestAPropos::linksOpen()
{
    Form1 &f = *m_form;
    f.APropos->show();
    QTest::mouseClick(f.Label20, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QTest::mouseClick(f.Picture3, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QTest::mouseClick(f.Label21, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QTest::mousePress(f.Label19, Qt::MiddleButton, Qt::NoModifier, QPoint(2, 2));
    QTest::mousePress(f.Label18, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    // The report and idea links answer the left button only.
    for (QWidget *w : {static_cast<QWidget *>(f.Label20), static_cast<QWidget *>(f.Picture4)})
        QTest::mouseClick(w, Qt::RightButton, Qt::NoModifier, QPoint(2, 2));
    QCOMPARE(m_opened.size(), 5);
    QCOMPARE(m_opened[0].toEncoded(), "mailto:auteur@kavel.example?subject=Bug%20dans%20Kavel");
    QCOMPARE(m_opened[1], m_opened[0]);
    QCOMPARE(m_opened[2].scheme(), "mailto");
    QCOMPARE(QUrl::fromPercentEncoding(m_opened[2].query(QUrl::FullyEncoded).toLatin1()),
             QString::fromUtf8("subject=J'ai une idée pour Kavel :-)"));
    QCOMPARE(m_opened[3].toEncoded(), "mailto:auteur@kavel.example");
    QCOMPARE(m_opened[4].toEncoded(), "https://kavel.example");
}

// At EV 14, 1/250 s at F/8 and ISO 100 is listed and marked in blue.
void TestAPropos::legacyChart()
{
    Form1 &f = *m_form;
    f.TxtValeur->setText(QStringLiteral("14"));
    const int couples = f.NbCouple;
    QTest::mouseClick(f.BtnGO2, Qt::LeftButton);
    QStringList items;
    for (int i = 0; i < f.LstCouple->count(); ++i)
        items << f.LstCouple->item(i)->text();
    QVERIFY(items.contains("1/250 - F/8 - Iso100 ... 16000"));
    for (const QString &item : items) {
        QVERIFY2(!item.contains(QLatin1String("Iso1600")), qPrintable(item)); // ISO 50 to 800 only
        QVERIFY2(!item.startsWith(QLatin1String("1/6400")), qPrintable(item)); // speeds up to 1/5000
    }
    QCOMPARE(f.range.LogDiafMin, std::log(0.9));
    const ChartView chart = f.chart();
    QCOMPARE(*chart.surface.pixel(chart.cx(250) + 1, chart.cy(8) + 1), QRgb(0xFF0000FF));
    QCOMPARE(*chart.surface.pixel(chart.cx(500) + 1, chart.cy(8) - 1), QRgb(0xFF000000)); // ISO 200
    QCOMPARE(f.NbCouple, couples); // the explanations keep the last chart's markers

    f.TxtValeur->setText(QStringLiteral("abc"));
    const QImage before = chart.surface.image();
    QTest::mouseClick(f.BtnGO2, Qt::LeftButton);
    QCOMPARE(chart.surface.image(), before);
}

QTEST_MAIN(TestAPropos)
#include "tst_apropos.moc"
