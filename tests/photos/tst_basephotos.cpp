// The photo base file, and the preview read from a photo's EXIF block.
#include "ExifBuilder.h"
#include "exposure/NumberText.h"
#include "photos/BasePhotos.h"
#include "photos/vignettes/Miniatures.h"

#include <QImage>
#include <QRandomGenerator>
#include <QtTest>
#include <bit>

using namespace kavel;

namespace {
const QByteArray kRec = "/p/a.jpg\r\n\"12\"\"0,004\"\"8\"\"100\"\r\n"; // EV 12, 1/250, F/8, ISO 100
QString ecris(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}
QByteArray jpeg(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly), image.save(&buffer, "JPG");
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
    void written_data(); void written(); void readOnly(); void read_data(); void read();
    void folder(); void numbers(); void preview_data(); void preview(); void thumbnail();
};

void TestBasePhotos::written_data() {
    QTest::addColumn<QLocale>("locale"), QTest::addColumn<QByteArray>("bytes");
    const auto octets = [&](const char *signe) {
        return "2\r\n/p/Vacances, \xC3\xA9t\xC3\xA9/IMG 0001.JPG\r\n"
               + QByteArray("\"10,9366379390026\"\"0,004\"\"5,6\"\"400\"\r\n/p/\xE9.jpg\r\n"
                            "\"-1,5\"\"6,25E-05\"\"2,8\"\"12800\"\r\n").replace(',', signe);
    };
    QTest::newRow("French") << QLocale(QLocale::French) << octets(",");
    QTest::newRow("English") << QLocale(QLocale::English) << octets(".");
    const char *const arabe = "\xD9\xAB"; // U+066B, the Arabic decimal separator
    QTest::newRow("Arabic, Egypt") << QLocale("ar_EG") << octets(arabe);
    QTest::newRow("Persian, Iran") << QLocale("fa_IR") << octets(arabe);
}
// Count, then per photo its path's own bytes and its four numbers (15 digits, the locale's
// decimal sign, no grouping), in CR LF lines; read back as written under another locale.
void TestBasePhotos::written() {
    QFETCH(QLocale, locale);
    const std::vector<TypePhoto> photos{
        {QStringLiteral("/p/Vacances, été/IMG 0001.JPG"), 10.936637939002571, 0.004, 5.6, 400},
        {"/p/" + QString(QChar(0xDCE9)) + ".jpg", -1.5, 6.25e-5, 2.8, 12800}};
    const QString base = chemin("BasePhotos.txt");
    QString erreur = "inchangée";
    QVERIFY(EcritBasePhotos(base, photos, &erreur, locale));
    QCOMPARE(erreur, "inchangée");
    QFile f(base);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QTEST(f.readAll(), "bytes");
    const QLocale avant;
    QLocale::setDefault(QLocale(QLocale::French));
    const LectureBase lue = LireBasePhotos(base);
    QLocale::setDefault(avant);
    QCOMPARE(lue.compte, 2LL);
    QCOMPARE(lue.erreur, QString());
    QCOMPARE(lue.photos.size(), 2u);
    QCOMPARE(champs(lue.photos[0]) + champs(lue.photos[1]),
             champs(photos[0]) + champs(photos[1]));
    // Where it cannot be written, the reason in French.
    const QString absent = chemin("absent/BasePhotos.txt");
    QVERIFY(!EcritBasePhotos(absent, {}, nullptr));
    QVERIFY(!EcritBasePhotos(absent, {}, &erreur));
    QCOMPARE(erreur, "Le dossier n'existe pas.");
    QVERIFY(!LireBasePhotos(absent).existe);
    QVERIFY(cheminEnregistrable("/p/Vacances, été.jpg"));
    QVERIFY(!cheminEnregistrable({}));
    QVERIFY(!cheminEnregistrable("/p/deux\nlignes.jpg"));
    QVERIFY(!cheminEnregistrable("/p/deux\rlignes.jpg"));
}
// What its owner made read-only is left alone, whoever runs the program, root included: a base
// file is not replaced, a program folder does not take the base.
void TestBasePhotos::readOnly() {
    const QString base = ecris(chemin("protegee.txt"), "1\r\n" + kRec);
    const QString dossier = chemin("programme");
    const auto lecture = QFileDevice::ReadOwner | QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(base, lecture));
    QString erreur;
    QCOMPARE(EcritBasePhotos(base, {}, &erreur), false);
    QCOMPARE(erreur, "Accès refusé : vous n'avez pas le droit d'écrire à cet endroit.");
    QCOMPARE(LireBasePhotos(base).photos.size(), 1u);
    qputenv("XDG_DATA_HOME", chemin("donnees").toUtf8());
    QVERIFY(QDir().mkpath(dossier));
    QVERIFY(QFile::setPermissions(dossier, lecture | QFileDevice::ExeOwner));
    QVERIFY(cheminBaseEcrite(dossier).startsWith(chemin("donnees/")));
}
void TestBasePhotos::read_data() {
    QTest::addColumn<QByteArray>("bytes"), QTest::addColumn<int>("count");
    QTest::addColumn<int>("kept"), QTest::addColumn<bool>("lisible");
    const QByteArray a = "/p/a.jpg", n = "\"12\"\"0,004\"\"8\"\"100\"";
    const auto row = [](const char *nom, const QByteArray &b, int count, int kept,
                        bool lisible = true) {
        QTest::newRow(nom) << b << count << kept << lisible;
    };
    row("whole", "1\r\n" + kRec, 1, 1);
    row("count 0", "0\r\n" + kRec, 0, 0);
    row("no photo", "0\r\n", 0, 0);
    row("count 5, three records", "5\r\n" + kRec.repeated(3), 5, 3);
    row("count 2, three records", "2\r\n" + kRec.repeated(3), 2, 2);
    row("count not a number", "beaucoup\r\n" + kRec, 0, 0, false);
    row("empty file", {}, 0, 0, false);
    row("LF only", "1\n" + a + "\n" + n + "\n", 1, 1);
    row("CR CR LF", "1\r\r\n" + a + "\r\r\n" + n + "\r\r\n", 1, 1);
    row("no line end at the end", "2\r\n" + kRec + a + "\r\n" + n, 2, 2);
    row("record cut short", "3\r\n" + kRec + a + "\r\n\"12\"\"0,0", 3, 1);
    row("field not a number", "3\r\n" + kRec + a + "\r\n\"12\"\"vite\"\"8\"\"100\"\r\n" + kRec,
        3, 1);
    row("empty field", "3\r\n" + kRec + a + "\r\n\"12\"\"\"\"8\"\"100\"\r\n" + kRec, 3, 1);
    row("three fields", "3\r\n" + kRec + a + "\r\n\"12\"\"0,004\"\"8\"\r\n", 3, 1);
    // The Arabic comma (U+060C) is no decimal sign.
    row("Arabic comma", "2\r\n" + a + "\r\n\"12\"\"0\xD8\x8C" "004\"\"8\"\"100\"\r\n", 2, 0);
    // A line of 65 535 bytes with its line end is read; one byte more is no base. The same
    // across the first MB, which the file is read by.
    const QByteArray longue = QByteArray(65533, '/') + "\r\n" + n;
    row("longest line", "2\r\n" + longue + "\r\n" + kRec, 2, 2);
    row("line too long", "2\r\n/" + longue + "\r\n" + kRec, 2, 0);
    row("longest line, further", "40000\r\n" + kRec.repeated(34000) + longue, 40000, 34001);
    row("line too long, further", "40000\r\n" + kRec.repeated(34000) + '/' + longue, 40000,
        34000);
}
// A base file that cannot be read whole says so in French: it never passes for an empty base.
void TestBasePhotos::read() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, count);
    QFETCH(int, kept);
    QFETCH(bool, lisible);
    const QString path = ecris(chemin("lue.txt"), bytes);
    const LectureBase lue = LireBasePhotos(path);
    QVERIFY(lue.existe);
    QCOMPARE(lue.compte, qint64(count));
    QCOMPARE(int(lue.photos.size()), kept);
    for (const TypePhoto &p : lue.photos) {
        const QString nom = p.Fichier.size() > 8 ? QString(65533, '/') : "/p/a.jpg";
        QCOMPARE(champs(p), (QStringList{nom, "12", "0,004", "8", "100"}));
    }
    const QString abimee = QString("est endommagée : %1 de ses %2 photos ont pu être lues.")
                               .arg(kept).arg(count);
    const QString dit = !lisible ? "ne peut pas être lue." : kept < count ? abimee : "";
    QCOMPARE(lue.erreur, dit.isEmpty() ? dit : "La base de photos " + path + ' ' + dit
                                               + "\nRefaites-la avec « Création base photos ».");
}
void TestBasePhotos::folder() { // a folder is there, with no photo in it
    QVERIFY(LireBasePhotos(m_dir.path()).existe);
    QVERIFY(LireBasePhotos(m_dir.path()).photos.empty());
}
// Each number as readNumber reads it once its points are commas, to the bit: odd texts, random
// ones of a number's characters, and random doubles written with either separator.
void TestBasePhotos::numbers() {
    QStringList texts{"", " ", "-", ",", ".", "5,", ",5", "+.5", " -1,5\t", "1,2,3", "1.2,3",
                      "1E", "1E+", "2e+3 ", "-0", "-0,0E5", "9007199254740992",
                      "9007199254740993", "900719925474099,35", "1E22", "1E23", "1E-22",
                      "0,0000000000000000000001", "1234567890123456789",
                      "12345678901234567890", "4,9E-324", "2E-324", "1E-400", "-1E400",
                      "1E999999999999", "0E99999", "0E-99999", "12a", "1 2", "+-1", "0x10",
                      "inf", "NaN", "1e1e1", "5\xB2", "\xA0\x35"};
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
    for (int i = 0; i < 20000; ++i) {
        const double v = i % 2 ? std::bit_cast<double>(r.generate64())
                               : r.generateDouble() * std::pow(10, r.bounded(-9, 9));
        texts << texteNombre(v, QLocale::c()) << texteNombre(v, QLocale(QLocale::French));
    }
    QStringList mal; // the texts read otherwise
    for (const QString &t : texts) {
        const std::optional<double> a = lireNombre(t);
        const std::optional<double> b = readNumber(QString(t).replace('.', ','));
        if (a.has_value() != b.has_value()
            || std::bit_cast<quint64>(a.value_or(0)) != std::bit_cast<quint64>(b.value_or(0)))
            mal << t;
    }
    QCOMPARE(mal.join(" | "), "");
}
void TestBasePhotos::preview_data() {
    QTest::addColumn<QByteArray>("bytes"), QTest::addColumn<QByteArray>("expected");
    const QByteArray petit = jpeg(QSize(40, 30), Qt::red), soi("\xFF\xD8");
    for (bool mm : {false, true}) {
        ExifBuilder b(mm);
        b.exif = {b.shortInline(0x8827, 400)};
        b.preview = petit; // the only value outside the directories: it ends the segment
        const QByteArray app1 = b.app1(), j = soi + app1 + "\xFF\xD9";
        const auto change = [&b](QByteArray c, quint16 tag, qint64 value) { // in IFD1
            return c.replace(c.indexOf(b.u16(tag) + b.u16(4) + b.u32(1)) + 8, 4,
                             b.u32(quint32(value)));
        };
        const qint64 debut = j.indexOf(petit) - j.indexOf(QByteArray("Exif\0\0", 6)) - 6;
        QByteArray long1 = soi + app1;
        qToBigEndian(quint16(qFromBigEndian<quint16>(app1.constData() + 2) + 1),
                     long1.data() + 4);
        const auto devant = [&](int fin) { // segments before APP1 such that it ends at fin
            const int n = fin - 2 - 4 - 4 - int(app1.size()) - 65000;
            return soi + ExifBuilder::segment(0xE0, 65000) + ExifBuilder::segment(0xE2, n)
                   + app1 + "\xFF\xD9" + QByteArray(5000, '\0');
        };
        const auto row = [mm](const char *name) -> QTestData & {
            return QTest::addRow("%s, %s", name, mm ? "MM" : "II");
        };
        const QByteArray none;
        row("in the segment's last bytes") << j << petit;
        row("after an empty segment") << soi + ExifBuilder::segment(0xE0, 0) + app1 << petit;
        row("after the image data") << soi + ExifBuilder::segment(0xDA, 4) + app1 << none;
        row("segment up to the file's end") << soi + app1 << petit;
        row("segment one byte past it") << long1 << none;
        row("length one byte short") << change(j, 0x0202, petit.size() - 1) << petit.chopped(1);
        row("length one byte past the segment") << change(j, 0x0202, petit.size() + 1) << none;
        row("offset one byte on")
            << change(change(j, 0x0202, petit.size() - 1), 0x0201, debut + 1) << none; // no JPEG
        row("ending past 128 KB") << devant(128 * 1024 + 1) << petit;
    }
}
void TestBasePhotos::preview() {
    QFETCH(QByteArray, bytes);
    QTEST(apercuExif(ecris(chemin("apercu.jpg"), bytes)), "expected");
}
// A blue 80 x 60 photo with a red preview, which serves only when it shows the same picture at
// least as large.
void TestBasePhotos::thumbnail() {
    const QString path = chemin("vignette.jpg");
    for (const auto &[preview, wanted, fromPreview] :
         {std::tuple{QSize(40, 30), QSize(40, 30), true}, {QSize(40, 30), QSize(20, 15), true},
          {QSize(40, 30), QSize(40, 31), false}, {QSize(40, 30), QSize(41, 30), false},
          {QSize(40, 20), QSize(20, 10), false}}) {
        ExifBuilder b(true);
        b.preview = jpeg(preview, Qt::red);
        ecris(path, b.withImage(jpeg(QSize(80, 60), Qt::blue)));
        QCOMPARE(tailleNaturelle(path), QSize(80, 60));
        const QImage image = chargeVignette(path, wanted);
        QCOMPARE(image.size(), wanted);
        const QColor c = image.pixelColor(wanted.width() / 2, wanted.height() / 2);
        QCOMPARE(c.red() > 128, fromPreview); // red preview, blue photo
        QCOMPARE(c.blue() > 128, !fromPreview);
    }
    QVERIFY(chargeVignette(path, QSize(0, 15)).isNull());
    QVERIFY(chargeVignette(m_dir.path(), QSize(20, 15)).isNull());
}

QTEST_GUILESS_MAIN(TestBasePhotos)
#include "tst_basephotos.moc"
