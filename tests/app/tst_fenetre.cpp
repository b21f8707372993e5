// The main window under a real window manager on a large virtual screen: maximised,
// then restored, it comes back at the size it had.
#include "app/Form1.h"
#include "platform/SurfaceWidget.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace kavel;

namespace {
void doubleClickTitle(const QWidget &w) // the window manager maximises or restores it
{
    const QString x = QString::number(w.frameGeometry().center().x());
    const QString y = QString::number((w.frameGeometry().top() + w.geometry().top()) / 2);
    QProcess::execute("xdotool", {"mousemove", x, y});
    QProcess::execute("xdotool", {"click", "--repeat", "2", "1"});
}
} // namespace

class TestFenetre : public QObject {
    Q_OBJECT
private slots:
    void restoreAfterMaximise_data()
    {
        QTest::addColumn<bool>("byTitle");
        QTest::newRow("title bar double click") << true;
        QTest::newRow("by the program") << false;
    }
    void restoreAfterMaximise()
    {
        QFETCH(bool, byTitle);
        const DialogRecorder dialogs;
        const QTemporaryDir dir;
        Form1 f(dir.path());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.resize(1200, 900);
        QTRY_COMPARE(f.size(), QSize(1200, 900));
        QTRY_VERIFY(f.frameGeometry().top() < f.geometry().top()); // framed by the manager
        byTitle ? doubleClickTitle(f) : f.showMaximized();
        QTRY_VERIFY(f.isMaximized());
        QTRY_VERIFY(f.width() > 2500); // larger than any size the user can drag to
        byTitle ? doubleClickTitle(f) : f.showNormal();
        QTRY_VERIFY(!f.isMaximized());
        // A move after the restore comes back once the manager has sent all it had to send.
        const QPoint to = f.pos() + QPoint(8, 8);
        f.move(to);
        QTRY_COMPARE(f.pos(), to);
        QCOMPARE(f.size(), QSize(1200, 900));
        QCOMPARE(f.Graphic->width(), 1200 - 216 - 8); // laid out for that size
    }
};

QTEST_MAIN(TestFenetre)
#include "tst_fenetre.moc"
