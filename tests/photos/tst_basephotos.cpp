// The photo base file, and the preview read from a photo's EXIF block.
#include "ExifBuilder.h"
#include "exposure/NumberText.h"
#include "photos/BasePhotos.h"
#include "photos/vignettes/PhotoOuverte.h"

#include <QImage>
#include <QRandomGenerator>
#include <QtTest>
#include <bit>

using namespace kavel;

namespace {
const QByteArray kRec = "/p/a.jpg\r\n\"12\"\"0,004\"\"8\"\"100\"\r\n"; // EV 12, 1/250, F/8, ISO 100
QString ecris(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? path : "";
}
QByteArray jpeg(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    QBuffer buffer;
    image.fill(colour), buffer.open(QIODevice::WriteOnly), image.save(&buffer, "JPG");
    return buffer.data();
}
QStringList champs(const TypePhoto &p) {
    const QLocale fr(QLocale::French);
    return {p.Fichier, texteNombre(p.ValEV, fr), texteNombre(p.ValSpeed, fr),
            texteNombre(p.ValDiaf, fr), texteNombre(p.ValIso, fr)};
}
} // namespace

class TestBasePhotos : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString chemin(const char *nom) { return m_dir.filePath(QString::fromUtf8(nom)); }

private slots:
    void written(); void readOnly(); void read_data(); void read();
    void numbers(); void preview_data(); void preview(); void thumbnail();
};

// Count, per photo its path's own bytes and four numbers in the locale's sign, CR LF; read back.
void TestBasePhotos::written() {
    const std::vector<TypePhoto> photos{
        {QString("/p/a é/IMG 1.JPG"), 10.936637939002571, 0.004, 5.6, 400},
        {"/p/" + QString(QChar(0xDCE9)) + ".jpg", -1.5, 6.25e-5, 2.8, 12800}};
    const QByteArray fr = "2\r\n/p/a \xC3\xA9/IMG 1.JPG\r\n\"10,9366379390026\"\"0,004\"\"5,6\""
                          "\"400\"\r\n/p/\xE9.jpg\r\n\"-1,5\"\"6,25E-05\"\"2,8\"\"12800\"\r\n";
    QCOMPARE(texteBasePhotos(photos, QLocale(QLocale::French)), fr);
    const QString base = chemin("b.txt");
    QString erreur = "x";
    QVERIFY(EcritBasePhotos(base, photos, &erreur, QLocale("ar_EG")));
    QCOMPARE(erreur, "x"); // untouched
    QFile f(base);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray(fr).replace(',', "\xD9\xAB")); // U+066B
    const LectureBase lue = LireBasePhotos(base);
    QCOMPARE(champs(lue.photos.at(0)) + champs(lue.photos.at(1)),
             champs(photos[0]) + champs(photos[1]));
    // where it cannot be written, the reason in French
    const QString absent = chemin("absent/b.txt");
    QVERIFY(!EcritBasePhotos(absent, {}, nullptr));
    QVERIFY(!EcritBasePhotos(absent, {}, &erreur));
    QCOMPARE(erreur, "Le dossier n'existe pas.");
    QVERIFY(!LireBasePhotos(absent).existe);
    QVERIFY(cheminEnregistrable("/p/a b, é.jpg"));
    QVERIFY(!cheminEnregistrable({}));
    QVERIFY(!cheminEnregistrable("/p/a\nb.jpg"));
    QVERIFY(!cheminEnregistrable("/p/a\rb.jpg"));
}
// What its owner made read-only is left alone, even by root: a base file, a program folder.
void TestBasePhotos::readOnly() {
    const QString base = ecris(chemin("p.txt"), "1\r\n" + kRec), dossier = chemin("prog");
    const auto lecture = QFileDevice::ReadOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(base, lecture));
    QString erreur;
    QVERIFY(!EcritBasePhotos(base, {}, &erreur));
    QCOMPARE(erreur, "Accès refusé : vous n'avez pas le droit d'écrire à cet endroit.");
    QCOMPARE(LireBasePhotos(base).photos.size(), 1u);
    qputenv("XDG_DATA_HOME", chemin("d").toUtf8());
    QVERIFY(QDir().mkpath(dossier));
    QVERIFY(QFile::setPermissions(dossier, lecture | QFileDevice::ExeOwner));
    QVERIFY(cheminBaseEcrite(dossier).startsWith(chemin("d/")));
}
void TestBasePhotos::read_data() {
    QTest::addColumn<QByteArray>("bytes"), QTest::addColumn<int>("count"); // -1: unreadable
    QTest::addColumn<int>("kept");
    const QByteArray a = "/p/a.jpg\r\n", n = "\"12\"\"0,004\"\"8\"\"100\"";
    const auto row = [](const char *nom, const QByteArray &b, int count, int kept = 0) {
        QTest::newRow(nom) << b << count << kept;
    };
    row("count 5, three records", "5\r\n" + kRec.repeated(3), 5, 3);
    row("count 2, three records", "2\r\n" + kRec.repeated(3), 2, 2);
    row("count not a number", "beaucoup\r\n" + kRec, -1);
    row("empty file", "", -1);
    row("CR CR LF", "1\r\r\n/p/a.jpg\r\r\n" + n + "\r\r\n", 1, 1);
    row("no line end at the end", "2\r\n" + kRec + a + n, 2, 2);
    row("record cut short", "3\r\n" + kRec + a + "\"12\"\"0,0", 3, 1);
    row("field not a number", "3\r\n" + kRec + a + "\"12\"\"vite\"\"8\"\"100\"\r\n" + kRec, 3, 1);
    row("three fields", "3\r\n" + kRec + a + "\"12\"\"0,004\"\"8\"\r\n", 3, 1);
    row("Arabic comma (U+060C)", "2\r\n" + a + "\"12\"\"0\xD8\x8C" "004\"\"8\"\"100\"", 2);
    // a line of 65 535 bytes with its line end is read, one more is no base
    const QByteArray longue = QByteArray(65533, '/') + "\r\n" + n;
    row("longest line", "2\r\n" + longue + "\r\n" + kRec, 2, 2);
    row("line too long", "2\r\n/" + longue + "\r\n" + kRec, 2, 0);
    row("longest line, after 1 MB", "40000\r\n" + kRec.repeated(34000) + longue, 40000, 34001);
    row("a folder", {}, -1); // null bytes: the test's folder
}
// A base file that cannot be read whole says so in French: it never passes for an empty base.
void TestBasePhotos::read() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QFETCH(int, kept);
    const QString path = bytes.isNull() ? m_dir.path() : ecris(chemin("l.txt"), bytes);
    const LectureBase lue = LireBasePhotos(path);
    QVERIFY(lue.existe);
    QCOMPARE(lue.compte, qint64(std::max(count, 0)));
    QCOMPARE(int(lue.photos.size()), kept);
    for (const TypePhoto &p : lue.photos) {
        const QString nom = p.Fichier.size() > 8 ? QString(65533, '/') : "/p/a.jpg";
        QCOMPARE(champs(p), (QStringList{nom, "12", "0,004", "8", "100"}));
    }
    const QString abimee = QString("est endommagée : %1 de ses %2 photos ont pu être lues.")
                               .arg(kept).arg(count);
    const QString dit = count < 0 ? "ne peut pas être lue." : kept < count ? abimee : "";
    QCOMPARE(lue.erreur, dit.isEmpty() ? dit : "La base de photos " + path + ' ' + dit
                                               + "\nRefaites-la avec « Création base photos ».");
}
// Read as readNumber reads it with commas, to the bit: odd texts, fast path bounds, random ones.
void TestBasePhotos::numbers() {
    QStringList texts{"1 2", "0x10", "5\xB2", "\xA0\x35", "9007199254740992", "9007199254740993",
                      "1E22", "1E23", "1E-22", "1E-23"};
    QRandomGenerator r(7);
    const auto piece = [&r](const char *from, int most) {
        QString s;
        for (int n = r.bounded(most + 1); n > 0; --n)
            s += QLatin1Char(from[r.bounded(int(qstrlen(from)))]);
        return s;
    };
    for (int i = 0; i < 100000; ++i)
        texts << piece(" \t+-", 2) + piece("0123456789", 20) + piece(".,", 2)
                     + piece("0123456789", 20) + piece("Ee", 1) + piece("+-", 1)
                     + piece("0123456789", 3) + piece(" \t", 1);
    QStringList mal; // the texts read otherwise
    const auto bits = [](auto v) { return v ? std::bit_cast<quint64>(*v) : ~0ull; };
    for (const QString &t : texts)
        if (bits(lireNombre(t)) != bits(readNumber(QString(t).replace('.', ',')))) mal << t;
    QCOMPARE(mal.join(" | "), "");
}
void TestBasePhotos::preview_data() { // in IFD1
    QTest::addColumn<QByteArray>("bytes"), QTest::addColumn<QByteArray>("expected");
    const QByteArray petit = jpeg(QSize(40, 30), Qt::red), none;
    ExifBuilder b(false);
    b.exif = {b.shortInline(0x8827, 400)};
    b.preview = petit; // the only value outside the directories: it ends the segment
    const QByteArray j = b.jpeg();
    const auto change = [&b](QByteArray c, quint16 tag, qint64 value) {
        return c.replace(c.indexOf(b.u16(tag) + b.u16(4) + b.u32(1)) + 8, 4, b.u32(quint32(value)));
    };
    QByteArray long1 = j.chopped(2); // its APP1 one byte longer than the file
    qToBigEndian(quint16(b.app1().size() - 1), long1.data() + 4);
    const int avant = 128 * 1024 + 1 - 10 - int(b.app1().size()) - 65000; // APP1 ends past
    QTest::newRow("in the segment's last bytes") << j << petit;
    QTest::newRow("after the image data") << b.jpeg(ExifBuilder::segment(0xDA, 4)) << none;
    QTest::newRow("segment up to the file's end") << j.chopped(2) << petit;
    QTest::newRow("segment one byte past it") << long1 << none;
    QTest::newRow("length one byte short")
        << change(j, 0x0202, petit.size() - 1) << petit.chopped(1);
    QTest::newRow("length one byte past the segment") << change(j, 0x0202, petit.size() + 1)
                                                      << none;
    QTest::newRow("offset one byte on, no JPEG there")
        << change(change(j, 0x0202, petit.size() - 1), 0x0201, j.indexOf(petit) - 11) << none;
    QTest::newRow("ending past 128 KB")
        << b.jpeg(ExifBuilder::segment(0xE0, 65000) + ExifBuilder::segment(0xE2, avant))
               + QByteArray(5000, '\0') << petit;
}
void TestBasePhotos::preview() {
    QFETCH(QByteArray, bytes);
    QTEST(apercuExif(ecris(chemin("a.jpg"), bytes)), "expected");
}
// A blue photo's red preview serves when it shows the same picture at least as large.
void TestBasePhotos::thumbnail() {
    const QString path = chemin("v.jpg");
    for (auto [h, wanted, fromPreview] : {std::tuple{30, QSize(40, 30), true},
                                          {30, QSize(40, 31), false}, {30, QSize(41, 30), false},
                                          {20, QSize(20, 10), false}}) { // the preview 40 x h
        ExifBuilder b(true);
        b.preview = jpeg(QSize(40, h), Qt::red);
        ecris(path, b.withImage(jpeg(QSize(80, 60), Qt::blue)));
        const QImage image = chargeVignette(path, wanted);
        QCOMPARE(image.size(), wanted);
        const QColor c = image.pixelColor(wanted.width() / 2, wanted.height() / 2);
        QCOMPARE(c.red() > 128, fromPreview);
        QCOMPARE(c.blue() > 128, !fromPreview);
    }
    QCOMPARE(tailleNaturelle(path), QSize(80, 60));
    QVERIFY(chargeVignette(path, QSize(0, 15)).isNull());
    QVERIFY(chargeVignette(m_dir.path(), QSize(20, 15)).isNull());
}

QTEST_GUILESS_MAIN(TestBasePhotos)
#include "tst_basephotos.moc"
