// The main window under a window manager: maximised, then restored, at its size again.
#include "platform/SurfaceWidget.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QTemporaryDir>

using namespace kavel;

namespace {
void doubleClickTitle(const QWidget &w) { // the manager maximises or restores
    const QString x = QString::number(w.frameGeometry().center().x());
    const QString y = QString::number((w.frameGeometry().top() + w.geometry().top()) / 2);
    QProcess::execute("xdotool", {"mousemove", x, y, "click", "--repeat", "2", "1"});
}
} // namespace

class TestFenetre : public QObject {
    Q_OBJECT
private slots:
    void restoreAfterMaximise_data() {
        QTest::addColumn<bool>("byTitle");
        QTest::newRow("title bar") << true;
        QTest::newRow("program") << false;
    }
    void restoreAfterMaximise() {
        QFETCH(bool, byTitle);
        const DialogRecorder dialogs;
        const QTemporaryDir dir;
        Form1 f(dir.path());
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        f.resize(1200, 900);
        QTRY_COMPARE(f.size(), QSize(1200, 900));
        QTRY_VERIFY(f.frameGeometry().top() < f.geometry().top()); // framed
        byTitle ? doubleClickTitle(f) : f.showMaximized();
        QTRY_VERIFY(f.width() > 2500); // beyond the size limit
        byTitle ? doubleClickTitle(f) : f.showNormal();
        QTRY_VERIFY(!f.isMaximized());
        const QPoint to = f.pos() + QPoint(8, 8); // once the manager is done
        f.move(to);
        QTRY_COMPARE(f.pos(), to);
        QCOMPARE(f.size(), QSize(1200, 900));
        QCOMPARE(f.Graphic->width(), 1200 - 216 - 8); // laid out for that size
    }
};

QTEST_MAIN(TestFenetre)
#include "tst_fenetre.moc"
