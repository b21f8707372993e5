#include "platform/DrawingSurface.h"
#include "platform/DropDownComboBox.h"
#include "platform/FichierEcriture.h"
#include "platform/FichierLecture.h"
#include "platform/ListeDossier.h"
#include "platform/NomFichier.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using namespace kavel;
using namespace kavel::platform;

namespace {
constexpr QRgb kRed = 0xFFFF0000, kWhite = 0xFFFFFFFF, kOrange = 0xFFF05A3C, kMask = 0xFF300FFF;
constexpr double kFar = 1e9;

// An 8 x 5 surface drawn on, row by row: . background, r red, w white, o orange, m orange masked
// (AND NOT kMask); and where the next text goes.
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
// Whether every step worked.
bool ecris(const QString &path, const QByteArray &content, bool valide = true) {
    FichierEcriture w(path);
    return w.ouvre() && w.ecrit(content) && w.ecrit({}) && (!valide || w.valide())
           && w.erreur() == 0;
}
QByteArray contenu(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : "(absent)";
}
QString liste(const QString &path) { // name, then 0 file, 1 folder, 2 link to a folder
    QStringList seen;
    for (const EntreeDossier &e : entreesDossier(path))
        seen << e.nom + QString::number(int(e.sorte));
    return seen.sort(), seen.join(' ');
}
} // namespace

class TestPlatform : public QObject {
    Q_OBJECT
private slots:
    void surface(); void names(); void reading(); void writing(); void dropDown();
};

void TestPlatform::surface() {
    // to the nearest pixel
    QCOMPARE(scene([](DrawingSurface &s) {
        s.box(7.4, 4.4, 6.5, 3.5, kRed), s.box(6, 3, 1.4, 0.6, kRed);
        s.filledBox(4.49, 2.4, 2.5, 1.6, kWhite);
        s.line(0.4, 4.49, 6.49, 4, kWhite), s.line(7.49, 3.4, 6.5, -0.5, kWhite);
        s.line(-0.5, 0, 2.49, 2.49, kRed);
        s.setPixel(-0.51, 2, kRed), s.setPixel(8, 0, kRed);
    }), Vu("r......w|.rrrrrrw|.rrww.rw|.rrrrrrw|wwwwwwwr", {8, 0}));
    // far away; the outline of a box larger than the surface lies outside
    QCOMPARE(scene([](DrawingSurface &s) {
        s.line(3, 1e12, 3.4, -1e12, kWhite), s.line(-1e12, 1, 1e12, 1, kRed);
        s.line(kFar, 3, 4, 3, kRed), s.filledBox(-kFar, 4, kFar, kFar, kWhite);
        s.box(-kFar, -kFar, kFar, kFar, kRed), s.line(kFar, kFar, 2 * kFar, 2 * kFar, kRed);
        s.line(std::nan(""), 0, 5, 0, kRed), s.setPixel(kFar, 0, kRed);
    }), Vu("...w....|rrrrrrrr|...w....|...wrrrr|wwwwwwww", {kFar, 0}));
    QCOMPARE(scene([](DrawingSurface &s) { // slopes kept
        s.line(2 - 1e8, 1 - 1e8, 2 + 1e8, 1 + 1e8, kRed);
        s.line(4 + 1e8, -1e8, 4 - 1e8, 1e8, kWhite);
    }), Vu(".r..w...|..rw....|..wr....|.w..r...|w....r..", {4 - 1e8, 1e8}));
    QCOMPARE(scene([](DrawingSurface &s) {
        s.filledBox(0, 0, 7, 4, kOrange), s.setDrawMode(DrawingSurface::DrawMode::MaskNot);
        s.line(0, 0, 1, 0, kMask), s.box(3, 0, 3, 0, kMask), s.filledBox(5, 0, 6, 1, kMask);
        s.box(2, 2, 4, 4, kMask), s.setPixel(7, 4, kMask);
        s.setDrawMode(DrawingSurface::DrawMode::Copy), s.setPixel(0, 4, kRed);
    }), Vu("mmomommo|ooooommo|oommmooo|oomomooo|rommmoom", {0, 4}));
    QCOMPARE(scene([](DrawingSurface &s) { // cleared, grown
        s.filledBox(0, 0, 7, 4, kWhite), s.setPixel(5, 3, kRed), s.clear();
        s.box(1, 1, 1, 1, kRed), s.filledBox(7, 4, 7, 4, kWhite), s.resize(QSize(9, 6));
    }), Vu(".........|.r.......|.........|.........|.......w.|.........", {}));
    DrawingSurface s(QSize(0, -3)), shrunk(QSize(3, 3)); // never less than a pixel
    shrunk.resize(QSize(-1, 0));
    QCOMPARE(s.image().size(), QSize(1, 1));
    QCOMPARE(shrunk.image().size(), QSize(1, 1));
}
// Names: each length of UTF-8 at its edges; overlong forms, surrogates, beyond U+10FFFF, bad
// continuations, each byte kept as an escape.
void TestPlatform::names() {
    auto escaped = [](const QByteArray &b) {
        QString t;
        for (char c : b) t += QChar(0xDC00 + uchar(c));
        return t;
    };
    const QByteArray utf8 = "A\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEE\x80\x80"
                            "\xEF\xBF\xBF\xF0\x90\x80\x80\xF4\x8F\xBF\xBF";
    const QByteArray bad = "\x80\xBF\xC0\xAF\xC1\xBF\xE0\x9F\xBF\xED\xA0\x80\xF0\x8F\xBF"
                           "\xBF\xF4\x90\x80\x80\xF5\x80\x80\x80\xFF\xC2\xC0\xE2\x82";
    const std::pair<QByteArray, QString> names[] = {{utf8, QString::fromUtf8(utf8)},
        {bad, escaped(bad)},
        {"IMG_\xE9t\xC3\xA9\xC2\x7F.jpg",
         "IMG_" + escaped("\xE9") + "té" + escaped("\xC2") + "\x7F.jpg"}};
    for (const auto &[b, t] : names) {
        QCOMPARE(texteDeNom(b), t);
        QCOMPARE(octetsDeNom(t), b);
    }
    // A lone surrogate that no name decodes to is written as U+FFFD.
    QCOMPARE(octetsDeNom(u"\xD800" "a" u"\xDC7F\xDD00\xD83D\xDE00\xDCFF\xD83D"),
             "\xEF\xBF\xBD" "a" "\xEF\xBF\xBD\xEF\xBF\xBD\xF0\x9F\x98\x80\xFF\xEF\xBF\xBD");
}
// A folder's entries, whatever their names; only regular files open, without waiting on a pipe;
// reads by blocks of 4096 bytes.
void TestPlatform::reading() {
    QTemporaryDir dir;
    const QByteArray d = QFile::encodeName(dir.path()), raw = d + "/\xE9/\xE9t\xE9";
    QByteArray data, out = "xy";
    for (int i = 0; i < 10000; ++i) data += char(i * 7 % 251);
    QCOMPARE(::mkdir(d + "/d", 0755), 0);
    QCOMPARE(::mkdir(d + "/\xE9", 0755), 0);
    QCOMPARE(::mkfifo(d + "/p", 0600), 0);
    QCOMPARE(::symlink("d", d + "/ld"), 0);
    QCOMPARE(::symlink("f", d + "/lf"), 0);
    QCOMPARE(::symlink("0", d + "/ln"), 0);
    QVERIFY(ecris(dir.filePath("f"), ""));
    QVERIFY(ecris(texteDeNom(raw), data));
    const auto remove = qScopeGuard([&] { ::unlink(raw), ::rmdir(d + "/\xE9"); }); // Qt cannot
    QCOMPARE(liste(dir.path()), "d1 f0 ld2 lf0 ln0 p0 " + texteDeNom("\xE9") + '1');
    QCOMPARE(liste(texteDeNom(d + "/\xE9")), texteDeNom("\xE9t\xE9") + '0');
    QCOMPARE(liste(dir.filePath("0")), "");
    FichierLecture f;
    QFile q;
    for (const char *name : {"/p", "/d", "/ln", "/0"}) {
        QVERIFY(!f.ouvre(dir.path() + name));
        QVERIFY(!ouvreFichierOrdinaire(dir.path() + name, q));
    }
    // A file a listing has just looked at opens without another look, unless it is now a link.
    for (const QString &vu : {texteDeNom(raw), dir.filePath("lf")}) {
        const FichierVu listage(vu, 7);
        const quint64 regards = FichierLecture::regards();
        QVERIFY(f.ouvre(vu));
        const auto attendu = vu.endsWith("lf") ? QPair(0LL, 2ULL) : QPair(7LL, 0ULL);
        QCOMPARE(QPair(f.taille(), FichierLecture::regards() - regards), attendu);
    }
    QVERIFY(f.ouvre(texteDeNom(raw)));
    QCOMPARE(f.taille(), qint64(10000));
    // pos, n, whether they lie in the file, bytes asked of the system since the opening
    const std::tuple<qint64, qint64, bool, qint64> reads[] = {{0, 4, true, 4096},
        {4000, 96, true, 4096}, {4000, 97, true, 8192}, {3999, 1, true, 12288},
        {9000, 1000, true, 13288}, {0, 5000, true, 18288}, {9500, 10, true, 18288},
        {0, 4096, true, 22384}, {9999, 1, true, 22385}, {10000, 0, true, 22385},
        {10000, 1, false, 22385}, {10001, 0, false, 22385}, {-1, 1, false, 22385},
        {0, -1, false, 22385}, {1, 10000, false, 22385}};
    QStringList mal; // the reads that went otherwise
    for (auto [pos, n, ok, asked] : reads) {
        const QByteArray before = out;
        const bool lu = f.lit(pos, n, out);
        if (lu != ok || out != (ok ? before + data.mid(pos, n) : before) || f.octetsLus() != asked)
            mal << QString("%1 at %2: %3, %4").arg(n).arg(pos).arg(lu).arg(f.octetsLus());
    }
    QCOMPARE(mal.join(" | "), "");
    const qsizetype kept = out.size(); // then the file shrinks under the reader
    QCOMPARE(::truncate(raw, 100), 0);
    QVERIFY(!f.lit(5000, 4, out));
    QVERIFY(!f.lit(0, 5000, out));
    QCOMPARE(out.size(), kept);
    f.ferme();
    QCOMPARE(f.taille(), qint64(0));
    QCOMPARE(f.octetsLus(), qint64(0));
    QVERIFY(!f.lit(0, 0, out));
    QVERIFY(ouvreFichierOrdinaire(texteDeNom(raw), q));
    QCOMPARE(q.readAll(), data.left(100));
}
// The new file takes the old one's place once complete, through a link, with its permissions.
void TestPlatform::writing() {
    QTemporaryDir dir;
    const QString path = dir.filePath("base.txt"), lien = dir.filePath("lien");
    QVERIFY(ecris(path, "abc"));
    QCOMPARE(contenu(path), "abc");
    QCOMPARE(::chmod(QFile::encodeName(path), 0640), 0);
    QVERIFY(QFile::link(path, lien));
    QVERIFY(ecris(lien, "nouveau"));
    QVERIFY(ecris(path, "perdu", false)); // never put in place
    struct stat st {};
    QCOMPARE(::lstat(QFile::encodeName(lien), &st), 0);
    QVERIFY(S_ISLNK(st.st_mode));
    QCOMPARE(::stat(QFile::encodeName(path), &st), 0);
    QCOMPARE(st.st_mode & 07777, 0640u);
    QCOMPARE(contenu(path), "nouveau");
    const auto tout = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    QCOMPARE(QDir(dir.path()).entryList(tout), QStringList({"base.txt", "lien"}));
    FichierEcriture w(path), absent(dir.filePath("0/x"));
    QVERIFY(!w.ecrit("x"));
    QVERIFY(!w.valide());
    QVERIFY(w.ouvre());
    QVERIFY(w.valide());
    QVERIFY(!w.valide());
    QVERIFY(!w.ecrit("x"));
    QCOMPARE(contenu(path), "");
    QVERIFY(!absent.ouvre());
    QVERIFY(!absent.ecrit("x"));
    QCOMPARE(raisonEchecEcriture(absent.erreur()), "Le dossier n'existe pas.");
    QCOMPARE(raisonEchecEcriture(ENOSPC), "Le disque est plein.");
    QCOMPARE(raisonEchecEcriture(EBUSY), "Erreur inattendue du système (code 16).");
}
void TestPlatform::dropDown() {
    QWidget w;
    auto *c = new DropDownComboBox(&w);
    for (int i = 0; i < 30; ++i) c->addItem(QString::number(i * 10));
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QSignalSpy opened(c, &DropDownComboBox::listeOuverte);
    QSignalSpy chosen(c, &DropDownComboBox::choixAuClavier);
    QWidget *popup = c->view()->window();
    for (int height : {0, 1, 150}) { // with a height set, it is the only limit
        c->hidePopup(), c->setDropDownHeight(height), c->showPopup();
        QCOMPARE(c->maxVisibleItems(), height ? 30 : 10);
        QVERIFY(height || popup->height() > 100);
    }
    // The whole control with its list open, the list against the field.
    QCOMPARE(popup->geometry(), QRect(c->mapToGlobal(QPoint(0, c->height() - 1)),
                                      QSize(popup->width(), 150 - c->height())));
    QTest::keyClick(c->view(), Qt::Key_Down);
    QTest::keyClick(c->view(), Qt::Key_Return);
    c->showPopup();
    QTest::mouseClick(c->view()->viewport(), Qt::LeftButton, {},
                      c->view()->visualRect(c->model()->index(5, 0)).center());
    QCOMPARE(opened.count(), 4);
    QCOMPARE(c->currentIndex(), 5);
    QCOMPARE(chosen, QList<QVariantList>({{1}})); // the mouse choice is no keyboard choice
    c->lineEdit()->setCursorPosition(1), QTest::keyClick(c->lineEdit(), '1'); // typed, no item
    QCOMPARE(c->currentText(), "510");
    QCOMPARE(c->currentIndex(), -1);
    QCOMPARE(c->lineEdit()->cursorPosition(), 2);
    QCOMPARE(c->count(), 30);
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
