// Starts the real program on the virtual X server this test runs in, from a
// program folder holding the sample photos and their base; finds its
// window, checks what it shows, and gives it the focus to get the welcome
// box.
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QDir>
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString xdotool(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), arguments);
    p.waitForFinished(10000);
    return QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
}

QString waitForWindow(const QString &name)
{
    QString found;
    for (int i = 0; i < 100 && found.isEmpty(); ++i) {
        found = xdotool({"search", "--onlyvisible", "--name", name})
                    .section(QLatin1Char('\n'), 0, 0);
        if (found.isEmpty())
            QTest::qWait(100);
    }
    return found;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        // The program's folder: the program, its catalogues, the samples and
        // their base.
        const QString programme = m_dossier.filePath(QStringLiteral("kavel"));
        QVERIFY(QFile::copy(QStringLiteral(KAVEL_EXECUTABLE), programme));
        QFile::setPermissions(programme, QFile::permissions(QStringLiteral(KAVEL_EXECUTABLE)));
        const QStringList catalogues{QStringLiteral("*.txt"), QStringLiteral("*.csv")};
        for (const QString &catalogue : QDir(QStringLiteral(KAVEL_DATA_DIR)).entryList(catalogues))
            QVERIFY(QFile::copy(QStringLiteral(KAVEL_DATA_DIR "/") + catalogue,
                                m_dossier.filePath(catalogue)));
        QCOMPARE(QProcess::execute(QStringLiteral(KAVEL_MAKESAMPLES),
                                   {m_dossier.filePath(QStringLiteral("samples")),
                                    m_dossier.filePath(QStringLiteral("BasePhotos.txt"))}),
                 0);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KAVEL_TRACE_DIALOGS"), QStringLiteral("1"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        // A first start: nothing remembered, no equipment of the user's own.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dossier.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dossier.filePath(QStringLiteral("donnees")));
        m_kavel.setProcessEnvironment(env);
        m_kavel.start(programme, {});
        QVERIFY2(m_kavel.waitForStarted(10000), qPrintable(m_kavel.errorString()));
        m_window = waitForWindow(QStringLiteral("^Kavel - Logiciel didactique$"));
        QVERIFY2(!m_window.isEmpty(), "the main window did not appear");
    }
    void cleanupTestCase() {
        m_kavel.terminate();
        if (m_kavel.state() != QProcess::NotRunning && !m_kavel.waitForFinished(5000)) {
            m_kavel.kill();
            m_kavel.waitForFinished(5000);
        }
    }
    void windowShowsTheChartSurface() {
        // Without a window manager the window has no frame: its client area is
        // the window itself.
        const QString geometry = xdotool({"getwindowgeometry", "--shell", m_window});
        QVERIFY2(geometry.contains(QLatin1String("WIDTH=975")), qPrintable(geometry));
        QVERIFY2(geometry.contains(QLatin1String("HEIGHT=703")), qPrintable(geometry));
        m_left = geometry.section(QLatin1String("X="), 1).section(QLatin1Char('\n'), 0, 0).toInt();
        m_top = geometry.section(QLatin1String("Y="), 1).section(QLatin1Char('\n'), 0, 0).toInt();
        // The chart surface starts at (216, 24) and, once the window has laid
        // itself out, spans 751 x 558; its bottom-left and top-right corners are
        // plain background, the window around them is not.
        QImage shot;
        const QRgb chart = qRgb(24, 24, 24);
        const QPoint basGauche(216, 24 + 558 - 1);
        const QPoint hautDroit(216 + 751 - 1, 24);
        for (int attempt = 0; attempt < 50; ++attempt) {
            shot = QGuiApplication::primaryScreen()
                       ->grabWindow(0, m_left, m_top, 975, 703)
                       .toImage();
            if (shot.pixel(basGauche) == chart && shot.pixel(hautDroit) == chart)
                break;
            QTest::qWait(100);
        }
        QCOMPARE(shot.pixel(basGauche), chart);
        QCOMPARE(shot.pixel(hautDroit), chart);
        for (QPoint dehors : {basGauche + QPoint(-1, 0), basGauche + QPoint(0, 1),
                              hautDroit + QPoint(1, 0), hautDroit + QPoint(0, -1)})
            QVERIFY(shot.pixel(dehors) != chart);
    }
    // The program starts at EV 11; four samples were taken at that level. Their
    // thumbnails stand in the strip under the chart (frame top 590, pictures
    // from x = 240, 73 pixels high), lighter than the frame's grey.
    void stripShowsTheSamples() {
        const auto miniatures = [this] {
            const QImage shot = QGuiApplication::primaryScreen()
                                    ->grabWindow(0, m_left, m_top, 975, 703)
                                    .toImage();
            int clairs = 0;
            for (int x = 240; x < 700; x += 4)
                clairs += qGray(shot.pixel(x, 598 + 36)) > 110;
            return clairs;
        };
        QTRY_VERIFY_WITH_TIMEOUT(miniatures() > 40, 10000);
    }
    void activationShowsTheWelcome() {
        xdotool({"windowfocus", "--sync", m_window});
        const QString box = waitForWindow(QStringLiteral("^Kavel$"));
        QVERIFY2(!box.isEmpty(), "no box titled Kavel appeared");
        QString errors;
        QTRY_VERIFY_WITH_TIMEOUT(
            (errors += QString::fromUtf8(m_kavel.readAllStandardError()))
                .contains(QStringLiteral(
                    "kavel-dialog: Kavel | Kavel est encore en cours d'affinage. N'hésitez pas "
                    "à m'envoyer vos idées d'amélioration et les éventuels bugs. Merci :-)")),
            10000);
    }

private:
    QTemporaryDir m_dossier;
    QProcess m_kavel;
    QString m_window;
    int m_left = 0;
    int m_top = 0;
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
