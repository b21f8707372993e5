// The real program on a virtual X server, its folder holding the catalogues and the samples.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString xdotool(const QStringList &arguments) {
    QProcess p;
    p.start("xdotool", arguments);
    p.waitForFinished(-1);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}
QString window(const QString &title) { // the first visible one so named
    return xdotool({"search", "--onlyvisible", "--name", title}).section('\n', 0, 0);
}
} // namespace

class TestStartup : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QProcess m_kavel;
    QString m_window;
    QPoint m_origin;
    QImage shot() const {
        QScreen *s = QGuiApplication::primaryScreen();
        return s->grabWindow(0, m_origin.x(), m_origin.y(), 975, 703).toImage();
    }
private slots:
    void initTestCase() {
        const QString kavel = m_dir.filePath("kavel");
        QVERIFY(QFile::copy(KAVEL_EXECUTABLE, kavel));
        QFile::setPermissions(kavel, QFile::permissions(KAVEL_EXECUTABLE));
        for (const QString &c : QDir(KAVEL_DATA_DIR).entryList({"*.txt", "*.csv"}))
            QVERIFY(QFile::copy(KAVEL_DATA_DIR "/" + c, m_dir.filePath(c)));
        const QStringList samples{m_dir.filePath("samples"), m_dir.filePath("BasePhotos.txt")};
        QCOMPARE(QProcess::execute(KAVEL_MAKESAMPLES, samples), 0);
        QVERIFY(QDir().mkpath(m_dir.filePath("data"))); // the user's data: none yet
        qputenv("XDG_DATA_HOME", m_dir.filePath("data").toUtf8());
        qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toUtf8()); // nothing remembered
        qputenv("KAVEL_TRACE_DIALOGS", "1");
        m_kavel.start(kavel, {});
        QVERIFY2(m_kavel.waitForStarted(-1), qPrintable(m_kavel.errorString()));
        QTRY_VERIFY(!(m_window = window("^Kavel - Logiciel didactique$")).isEmpty());
    }
    void cleanupTestCase() { m_kavel.kill(), m_kavel.waitForFinished(-1); }
    // No window manager: no frame. The chart spans 751 x 558 from (216, 24), to its corners.
    void windowShowsTheChartSurface() {
        QMap<QString, int> g;
        for (const QString &line : xdotool({"getwindowgeometry", "--shell", m_window}).split('\n'))
            g[line.section('=', 0, 0)] = line.section('=', 1).toInt();
        QCOMPARE(QSize(g["WIDTH"], g["HEIGHT"]), QSize(975, 703));
        m_origin = QPoint(g["X"], g["Y"]);
        const QRgb chart = qRgb(24, 24, 24);
        const QPoint bottomLeft(216, 24 + 558 - 1), topRight(216 + 751 - 1, 24);
        QTRY_COMPARE(shot().pixel(bottomLeft), chart);
        QTRY_COMPARE(shot().pixel(topRight), chart);
        const QImage s = shot();
        for (QPoint outside : {bottomLeft + QPoint(-1, 0), bottomLeft + QPoint(0, 1),
                               topRight + QPoint(1, 0), topRight + QPoint(0, -1)})
            QVERIFY(s.pixel(outside) != chart);
    }
    // At EV 11 four samples show in the strip (from x = 240, 73 pixels high from y = 598).
    void stripShowsTheSamples() {
        const auto light = [this] {
            const QImage s = shot();
            int n = 0;
            for (int x = 240; x < 700; x += 4) n += qGray(s.pixel(x, 598 + 36)) > 110;
            return n;
        };
        QTRY_VERIFY_WITH_TIMEOUT(light() > 40, 20000); // workers give way on a busy machine
    }
    void activationShowsTheWelcome() {
        xdotool({"windowfocus", "--sync", m_window});
        QTRY_VERIFY(!window("^Kavel$").isEmpty());
        QString said;
        QTRY_VERIFY((said += m_kavel.readAllStandardError())
                        .contains("kavel-dialog: Kavel | Kavel est encore en cours d'affinage. "
                                  "N'hésitez pas à m'envoyer vos idées"));
    }
    void writesNoUserData() { QVERIFY(!QFileInfo::exists(m_dir.filePath("data/Kavel"))); }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
