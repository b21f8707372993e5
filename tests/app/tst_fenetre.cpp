// The main window in a real window manager on a large virtual screen:
// maximised, then restored, it comes back at the size it had.
#include "app/Form1.h"
#include "platform/SurfaceWidget.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace kavel;

namespace {

// A double click on the window's title bar: the window manager maximises or restores it.
void doubleClicTitre(const QWidget &w)
{
    const QPoint titre(w.frameGeometry().center().x(),
                       (w.frameGeometry().top() + w.geometry().top()) / 2);
    QProcess::execute(QStringLiteral("xdotool"),
                      {"mousemove", QString::number(titre.x()), QString::number(titre.y())});
    QProcess::execute(QStringLiteral("xdotool"), {"click", "--repeat", "2", "--delay", "80", "1"});
}

} // namespace

class TestFenetre : public QObject {
    Q_OBJECT
private slots:
    void restoreAfterMaximise_data()
    {
        QTest::addColumn<bool>("parLeTitre");
        QTest::newRow("title bar double click") << true;
        QTest::newRow("by the program") << false;
    }
    void restoreAfterMaximise() {
        QFETCH(bool, parLeTitre);
        const DialogRecorder dialogs;
        const QTemporaryDir dossier;
        Form1 f(dossier.path());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.resize(1200, 900);
        QTRY_COMPARE(f.size(), QSize(1200, 900));
        QTRY_VERIFY(f.frameGeometry().top() < f.geometry().top()); // framed by the window manager
        parLeTitre ? doubleClicTitre(f) : f.showMaximized();
        QTRY_VERIFY(f.isMaximized());
        QTRY_VERIFY(f.width() > 2500); // larger than any size the user can drag to
        parLeTitre ? doubleClicTitre(f) : f.showNormal();
        QTRY_VERIFY(!f.isMaximized());
        QTest::qWait(300); // any late configure from the window manager
        QTRY_COMPARE(f.size(), QSize(1200, 900));
        QCOMPARE(f.Graphic->width(), 1200 - 216 - 8); // laid out for that size
    }
};

QTEST_MAIN(TestFenetre)
#include "tst_fenetre.moc"
