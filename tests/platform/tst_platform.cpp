#include "platform/DrawingSurface.h"
#include "platform/DropDownComboBox.h"
#include "platform/FichierEcriture.h"
#include "platform/FichierLecture.h"
#include "platform/ListeDossier.h"
#include "platform/NomFichier.h"
#include "platform/Priorite.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

using namespace kavel;
using namespace kavel::platform;

namespace {
constexpr QRgb kRed = 0xFFFF0000, kWhite = 0xFFFFFFFF, kOrange = 0xFFF05A3C, kMask = 0xFF300FFF;

// An 8 x 5 surface's rows (background, red, white, orange, orange & ~kMask), pen.
using Vu = QPair<QString, QPointF>;
Vu scene(const std::function<void(DrawingSurface &)> &draw) {
    const QHash<QRgb, QChar> names{{DrawingSurface::kBackground, '.'}, {kRed, 'r'},
                                   {kWhite, 'w'}, {kOrange, 'o'}, {0xFFC05000, 'm'}};
    DrawingSurface s(QSize(8, 5));
    draw(s);
    QStringList rows(s.height());
    for (int i = 0; i < s.width() * s.height(); ++i)
        rows[i / s.width()] += names.value(*s.pixel(i % s.width(), i / s.width()), '?');
    return {rows.join('|'), s.currentPosition()};
}
bool ecris(const QString &path, const QByteArray &content, bool valide = true) {
    FichierEcriture w(path);
    return w.ouvre() && w.ecrit(content) && (!valide || w.valide());
}
} // namespace

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void surface(); void names(); void reading(); void writing(); void dropDown(); void priority();
};

void TestPlatform::surface() {
    QCOMPARE(scene([](DrawingSurface &s) { // cleared, to the nearest pixel, grown
        s.filledBox(0, 0, 7, 4, kWhite), s.clear(), s.box(7.4, 4.4, 6.5, 3.5, kRed);
        s.filledBox(4.49, 2.4, 2.5, 1.6, kWhite), s.line(0.4, 4.49, 6.49, 4, kWhite);
        s.line(-0.5, 0, 2.49, 2.49, kRed), s.setPixel(-0.51, 2, kRed), s.setPixel(8, 0, kRed);
        s.resize(QSize(9, 6));
    }), Vu("r........|.r.......|..rww....|.........|wwwwwwwr.|.........", {8, 0}));
    QCOMPARE(scene([](DrawingSurface &s) { // far away, the slopes kept
        s.line(-1e12, 1, 1e12, 1, kRed), s.line(1e9, 3, 4, 3, kRed), s.line(2e9, 2e9, 1e9, 1e9, 0);
        s.filledBox(-1e9, 4, 1e9, 1e9, kWhite), s.box(-1e9, -1e9, 1e9, 1e9, kRed);
        s.line(std::nan(""), 0, 5, 0, kRed), s.line(4 + 1e8, -1e8, 4 - 1e8, 1e8, kWhite);
        s.setPixel(1e9, 0, kRed);
    }), Vu("....w...|rrrwrrrr|..w.....|.w..rrrr|wwwwwwww", {1e9, 0}));
    QCOMPARE(scene([](DrawingSurface &s) {
        s.filledBox(0, 0, 7, 4, kOrange), s.setDrawMode(DrawingSurface::DrawMode::MaskNot);
        s.box(2, 2, 4, 4, kMask), s.setPixel(7, 4, kMask), s.line(0, 0, 1, 0, kMask);
        s.setDrawMode(DrawingSurface::DrawMode::Copy), s.setPixel(0, 4, kRed);
    }), Vu("mmoooooo|oooooooo|oommmooo|oomomooo|rommmoom", {0, 4}));
    DrawingSurface s(QSize(0, -3)), t(QSize(3, 3)); // never less than a pixel
    t.resize(QSize(-1, 0));
    QCOMPARE(s.image().size(), QSize(1, 1));
    QCOMPARE(t.image().size(), QSize(1, 1));
}
// UTF-8 at each length's edges; bytes just past them kept as escapes.
void TestPlatform::names() {
    const QByteArray utf8 = "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEF\xBF\xBF"
                            "\xF0\x90\x80\x80\xF4\x8F\xBF\xBF";
    const QByteArray bad = "\x80\xC1\xBF\xE0\x9F\xBF\xED\xA0\x80\xF0\x8F\xBF\xBF\xF4\x90\x80\x80"
                           "\xF5\x80\x80\x80\xC2\xC0\xE2\x82";
    QString t = QString::fromUtf8(utf8);
    for (char c : bad) t += QChar(0xDC00 + uchar(c));
    QCOMPARE(texteDeNom(utf8 + bad + "t\xC3\xA9"), t + "té");
    QCOMPARE(octetsDeNom(t + "té"), utf8 + bad + "t\xC3\xA9");
    QCOMPARE(texteDeNom("\xFFt"), QChar(0xDCFF) + QString("t")); // one bad byte, first
    // a lone surrogate, which no name decodes to, as U+FFFD
    QCOMPARE(octetsDeNom(u"\xD800" "a" u"\xDC7F\xDD00\xDCFF\xD83D"),
             "\xEF\xBF\xBD" "a" "\xEF\xBF\xBD\xEF\xBF\xBD\xFF\xEF\xBF\xBD");
}
// Entries whatever their names; only regular files open; 4 KiB blocks.
void TestPlatform::reading() {
    QTemporaryDir dir;
    const QByteArray d = QFile::encodeName(dir.path()), raw = d + "/\xE9t\xE9";
    QByteArray data, out, all;
    for (int i = 0; i < 10000; ++i) data += char(i * 7 % 251);
    QCOMPARE(::mkdir(d + "/d", 0755) + ::mkfifo(d + "/p", 0600), 0);
    QCOMPARE(::symlink("d", d + "/ld") + ::symlink("f", d + "/lf"), 0);
    QVERIFY(ecris(dir.filePath("f"), ""));
    QVERIFY(ecris(texteDeNom(raw), data));
    const auto remove = qScopeGuard([&] { ::unlink(raw); }); // Qt cannot
    QStringList seen; // name, then 0 file, 1 folder, 2 link to a folder
    for (const EntreeDossier &e : entreesDossier(dir.path()))
        seen << e.nom + QString::number(int(e.sorte));
    seen.sort();
    QCOMPARE(seen.join(' '), "d1 f0 ld2 lf0 p0 " + texteDeNom("\xE9t\xE9") + '0');
    QCOMPARE(entreesDossier(dir.filePath("0")).size(), 0u);
    FichierLecture f;
    QVERIFY(!f.ouvre(dir.path() + "/p"));
    { // not what a listing saw, once a link
        const FichierVu listage(dir.filePath("lf"), 7);
        QVERIFY(f.ouvre(dir.filePath("lf")));
        QCOMPARE(f.taille(), 0);
    }
    QVERIFY(f.ouvre(texteDeNom(raw)));
    // pos, n, bytes asked of the system since opening (-1: not in the file)
    const std::tuple<qint64, qint64, qint64> reads[] = {{0, 4, 4096}, {4000, 96, 4096},
        {4000, 97, 8192}, {3999, 1, 12288}, {9000, 1000, 13288}, {0, 5000, 18288},
        {9500, 10, 18288}, {0, 4096, 22384}, {10000, 0, 22384}, {10000, 1, -1}, {10001, 0, -1},
        {0, -1, -1}};
    QList<qint64> asked, want;
    for (auto [pos, n, a] : reads) {
        asked << (f.lit(pos, n, out) ? f.octetsLus() : -1), want << a;
        all += a < 0 ? QByteArray() : data.mid(pos, n);
    }
    QCOMPARE(asked, want);
    QCOMPARE(out, all);
    QCOMPARE(::truncate(raw, 100), 0); // the file shrinks under the reader
    QVERIFY(!f.lit(5000, 4, out));
    QVERIFY(!f.lit(0, 5000, out));
    QCOMPARE(out.size(), all.size());
    f.ferme();
    QVERIFY(!f.lit(0, 0, out));
}
// The new file replaces the old one when complete, through a link, with its permissions.
void TestPlatform::writing() {
    QTemporaryDir dir;
    const QString path = dir.filePath("base.txt"), lien = dir.filePath("lien");
    QVERIFY(ecris(path, "abc"));
    QCOMPARE(::chmod(QFile::encodeName(path), 0640), 0);
    QVERIFY(QFile::link(path, lien));
    QVERIFY(ecris(lien, "nouveau"));
    const uint ouverts = QDir("/proc/self/fd").count();
    QVERIFY(ecris(path, "perdu", false)); // never put in place, left closed
    QCOMPARE(QDir("/proc/self/fd").count(), ouverts);
    QCOMPARE(int(QFile::permissions(path)), 0x6640); // 0640
    QCOMPARE(QFileInfo(path).size(), 7); // "nouveau"
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList({"base.txt", "lien"}));
    QVERIFY(ecris(path, ""));
    QCOMPARE(QFileInfo(path).size(), 0);
    FichierEcriture absent(dir.filePath("0/x"));
    QVERIFY(!absent.ouvre());
    QCOMPARE(raisonEchecEcriture(absent.erreur()), "Le dossier n'existe pas.");
    QCOMPARE(raisonEchecEcriture(EBUSY), "Erreur inattendue du système (code 16).");
}
void TestPlatform::dropDown() {
    DropDownComboBox c;
    for (int i = 0; i < 30; ++i) c.addItem(QString::number(i * 10));
    c.show();
    QVERIFY(QTest::qWaitForWindowExposed(&c));
    QSignalSpy opened(&c, &DropDownComboBox::listeOuverte);
    QSignalSpy chosen(&c, &DropDownComboBox::choixAuClavier);
    c.showPopup();
    QCOMPARE(c.maxVisibleItems(), 10);
    c.hidePopup(), c.setDropDownHeight(150), c.showPopup();
    QCOMPARE(c.maxVisibleItems(), 30); // the height set is the only limit
    QWidget *list = c.view()->window(); // against the field, 150 pixels in all
    QCOMPARE(list->geometry(), QRect(c.mapToGlobal(QPoint(0, c.height() - 1)),
                                     QSize(list->width(), 150 - c.height())));
    QTest::keyClick(c.view(), Qt::Key_Down);
    QTest::keyClick(c.view(), Qt::Key_Return);
    c.showPopup();
    QTest::mouseClick(c.view()->viewport(), Qt::LeftButton, {},
                      c.view()->visualRect(c.model()->index(5, 0)).center());
    QCOMPARE(opened.count(), 3);
    QCOMPARE(c.currentIndex(), 5);
    QCOMPARE(chosen, QList<QVariantList>({{1}})); // the mouse choice is no keyboard choice
    c.lineEdit()->setCursorPosition(1), QTest::keyClick(c.lineEdit(), '1');
    QCOMPARE(c.currentText(), "510");
    QCOMPARE(c.currentIndex(), -1);
    QCOMPARE(c.lineEdit()->cursorPosition(), 2);
}

void TestPlatform::priority() { // a worker steps back, not the window's thread
    const int avant = ::getpriority(PRIO_PROCESS, 0);
    int apres = 0;
    std::thread([&] { cedeLaPlace(), apres = ::getpriority(PRIO_PROCESS, 0); }).join();
    QCOMPARE(apres, 5);
    QCOMPARE(::getpriority(PRIO_PROCESS, 0), avant);
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
