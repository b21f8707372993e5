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
void ecris(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}
QByteArray contenu(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
QByteArray jpeg(QSize size, QColor colour) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QBuffer buffer;
    return buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "JPG") ? buffer.data()
                                                                           : QByteArray();
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

private slots:
    void written_data() {
        QTest::addColumn<QLocale>("locale"), QTest::addColumn<QByteArray>("bytes");
        const QByteArray a = "2\r\n/p/Vacances, \xC3\xA9t\xC3\xA9/IMG 0001.JPG\r\n";
        const QByteArray b = "\r\n/p/\xE9.jpg\r\n";
        const auto octets = [&](const char *signe) {
            const QByteArray n1 = "\"10,9366379390026\"\"0,004\"\"5,6\"\"400\"";
            const QByteArray n2 = "\"-1,5\"\"6,25E-05\"\"2,8\"\"12800\"\r\n";
            return a + QByteArray(n1).replace(',', signe) + b + QByteArray(n2).replace(',', signe);
        };
        QTest::newRow("French") << QLocale(QLocale::French) << octets(",");
        QTest::newRow("English") << QLocale(QLocale::English) << octets(".");
        const char *const arabe = "\xD9\xAB"; // U+066B, the Arabic decimal separator
        QTest::newRow("Arabic, Egypt") << QLocale(QStringLiteral("ar_EG")) << octets(arabe);
        QTest::newRow("Persian, Iran") << QLocale(QStringLiteral("fa_IR")) << octets(arabe);
    }
    // Count, then per photo its path's own bytes and its four numbers (15 digits, the locale's
    // decimal sign, no grouping), in CR LF lines; read back as written under another locale.
    void written() {
        QFETCH(QLocale, locale); QFETCH(QByteArray, bytes);
        const std::vector<TypePhoto> photos{
            {QStringLiteral("/p/Vacances, été/IMG 0001.JPG"), 10.936637939002571, 0.004, 5.6, 400},
            {QStringLiteral("/p/") + QChar(0xDCE9) + QStringLiteral(".jpg"), -1.5, 6.25e-5, 2.8,
             12800}};
        const QString base = m_dir.filePath(QStringLiteral("BasePhotos.txt"));
        QString erreur = QStringLiteral("inchangée");
        QVERIFY(EcritBasePhotos(base, photos, &erreur, locale));
        QCOMPARE(erreur, "inchangée");
        QCOMPARE(contenu(base), bytes);
        const QLocale avant;
        QLocale::setDefault(QLocale(QLocale::French));
        const LectureBase lue = LireBasePhotos(base);
        QLocale::setDefault(avant);
        QVERIFY(lue.existe);
        QCOMPARE(lue.compte, 2LL);
        QCOMPARE(lue.photos.size(), 2u);
        QCOMPARE(lue.erreur, QString());
        QCOMPARE(champs(lue.photos[0]) + champs(lue.photos[1]),
                 champs(photos[0]) + champs(photos[1]));
        // Where it cannot be written, the reason in French.
        const QString absent = m_dir.filePath(QStringLiteral("absent/BasePhotos.txt"));
        QVERIFY(!EcritBasePhotos(absent, {}, nullptr));
        QVERIFY(!EcritBasePhotos(absent, {}, &erreur));
        QCOMPARE(erreur, "Le dossier n'existe pas.");
        QVERIFY(cheminEnregistrable(QStringLiteral("/p/Vacances, été.jpg")));
        QVERIFY(!cheminEnregistrable({}));
        QVERIFY(!cheminEnregistrable(QStringLiteral("/p/deux\nlignes.jpg")));
        QVERIFY(!cheminEnregistrable(QStringLiteral("/p/deux\rlignes.jpg")));
    }
    // What its owner made read-only is left alone, whoever runs the program, root included: a base
    // file is not replaced, a program folder does not take the base.
    void readOnly() {
        const QString base = m_dir.filePath(QStringLiteral("protegee.txt"));
        const QString dossier = m_dir.filePath(QStringLiteral("programme"));
        ecris(base, "1\r\n/p/a.jpg\r\n\"12\"\"0,004\"\"8\"\"100\"\r\n");
        const auto lecture = QFileDevice::ReadOwner | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(base, lecture));
        QString erreur;
        QCOMPARE(EcritBasePhotos(base, {}, &erreur), false);
        QCOMPARE(erreur, "Accès refusé : vous n'avez pas le droit d'écrire à cet endroit.");
        QCOMPARE(LireBasePhotos(base).photos.size(), 1u);
        qputenv("XDG_DATA_HOME", m_dir.filePath(QStringLiteral("donnees")).toUtf8());
        QVERIFY(QDir().mkpath(dossier));
        QVERIFY(QFile::setPermissions(dossier, lecture | QFileDevice::ExeOwner));
        QVERIFY(cheminBaseEcrite(dossier).startsWith(m_dir.filePath(QStringLiteral("donnees/"))));
    }
    void damaged_data() {
        QTest::addColumn<QByteArray>("bytes"), QTest::addColumn<QString>("message");
        const QByteArray rec = "/p/a.jpg\r\n\"12\"\"0,004\"\"8\"\"100\"\r\n";
        const QString illisible = "ne peut pas être lue.";
        const QString endommagee = "est endommagée : %1 de ses %2 photos ont pu être lues.";
        QTest::newRow("whole") << "1\r\n" + rec << QString();
        QTest::newRow("no photo") << QByteArray("0\r\n") << QString();
        QTest::newRow("empty file") << QByteArray() << illisible;
        QTest::newRow("no count") << "beaucoup\r\n" + rec << illisible;
        // The Arabic comma (U+060C) is no decimal sign.
        const QByteArray virgule = "2\r\n/p/a.jpg\r\n\"12\"\"0\xD8\x8C" "004\"\"8\"\"100\"\r\n";
        QTest::newRow("no record read") << virgule << endommagee.arg(0).arg(2);
        QTest::newRow("cut short") << "5\r\n" + rec.repeated(3) << endommagee.arg(3).arg(5);
    }
    // A base file that cannot be read whole says so in French: it never passes for an empty base.
    void damaged() {
        QFETCH(QByteArray, bytes); QFETCH(QString, message);
        const QString path = m_dir.filePath(QStringLiteral("abimee.txt"));
        ecris(path, bytes);
        const QString dite = "La base de photos " + path + ' ' + message
                             + "\nRefaites-la avec « Création base photos ».";
        QCOMPARE(LireBasePhotos(path).erreur, message.isEmpty() ? message : dite);
    }
    void read_data() {
        // each EV 12, 1/250 s, F/8, ISO 100
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("kept");
        const QByteArray rec = "/p/a.jpg\r\n\"12\"\"0,004\"\"8\"\"100\"\r\n", a = "/p/a.jpg";
        const QByteArray n = "\"12\"\"0,004\"\"8\"\"100\"";
        QTest::newRow("count 5, three records") << "5\r\n" + rec + rec + rec << 5 << 3;
        QTest::newRow("count 2, three records") << "2\r\n" + rec + rec + rec << 2 << 2;
        QTest::newRow("count 0") << "0\r\n" + rec << 0 << 0;
        QTest::newRow("count not a number") << "beaucoup\r\n" + rec << 0 << 0;
        QTest::newRow("LF only") << "1\n" + a + "\n" + n + "\n" << 1 << 1;
        QTest::newRow("CR CR LF") << "1\r\r\n" + a + "\r\r\n" + n + "\r\r\n" << 1 << 1;
        QTest::newRow("no line end at the end") << "2\r\n" + rec + a + "\r\n" + n << 2 << 2;
        QTest::newRow("record cut short") << "3\r\n" + rec + a + "\r\n\"12\"\"0,0" << 3 << 1;
        QTest::newRow("field not a number")
            << "3\r\n" + rec + a + "\r\n\"12\"\"vite\"\"8\"\"100\"\r\n" + rec << 3 << 1;
        QTest::newRow("empty field")
            << "3\r\n" + rec + a + "\r\n\"12\"\"\"\"8\"\"100\"\r\n" + rec << 3 << 1;
        QTest::newRow("three fields")
            << "3\r\n" + rec + a + "\r\n\"12\"\"0,004\"\"8\"\r\n" << 3 << 1;
        QTest::newRow("empty file") << QByteArray() << 0 << 0;
        // A line of 65 535 bytes with its line end is read; one byte more is no base.
        QTest::newRow("longest line")
            << "2\r\n" + QByteArray(65533, '/') + "\r\n" + n + "\r\n" + rec << 2 << 2;
        QTest::newRow("line too long")
            << "2\r\n" + QByteArray(65534, '/') + "\r\n" + n + "\r\n" + rec << 2 << 0;
        // The same across the first MB, which the file is read by.
        QTest::newRow("longest line, further")
            << "40000\r\n" + rec.repeated(34000) + QByteArray(65533, '/') + "\r\n" + n << 40000
            << 34001;
        QTest::newRow("line too long, further")
            << "40000\r\n" + rec.repeated(34000) + QByteArray(65534, '/') + "\r\n" + n << 40000
            << 34000;
    }
    void read() {
        QFETCH(QByteArray, bytes); QFETCH(int, count); QFETCH(int, kept);
        ecris(m_dir.filePath(QStringLiteral("lue.txt")), bytes);
        const LectureBase lue = LireBasePhotos(m_dir.filePath(QStringLiteral("lue.txt")));
        QCOMPARE(QStringLiteral("%1 %2 %3").arg(lue.existe).arg(lue.compte).arg(lue.photos.size()),
                 QStringLiteral("1 %1 %2").arg(count).arg(kept));
        for (const TypePhoto &p : lue.photos)
            QCOMPARE(champs(p),
                     (QStringList{p.Fichier.size() > 8 ? QString(65533, '/') : "/p/a.jpg", "12",
                                  "0,004", "8", "100"}));
        QVERIFY(!LireBasePhotos(m_dir.filePath(QStringLiteral("absente.txt"))).existe);
        // a folder
        QVERIFY(LireBasePhotos(m_dir.path()).existe);
        QVERIFY(LireBasePhotos(m_dir.path()).photos.empty());
    }
    // Each number as readNumber reads it once its points are commas, to the bit: odd texts, then
    // random ones of the characters a number is made of, and the texts of random doubles under both
    // separators.
    void numbers() {
        QStringList texts{"", " ", "-", ",", ".", "5,", ",5", "+.5", " -1,5\t", "1,2,3", "1.2,3",
                          "1E", "1E+", "2e+3 ", "-0", "-0,0E5", "9007199254740992",
                          "9007199254740993",
                          "900719925474099,35", "1E22", "1E23", "1E-22", "0,0000000000000000000001",
                          "1234567890123456789", "12345678901234567890", "4,9E-324", "2E-324",
                          "1E-400", "-1E400", "1E999999999999", "0E99999", "0E-99999", "12a", "1 2",
                          "+-1", "0x10", "inf", "NaN", "1e1e1", "5\xB2", "\xA0\x35"};
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
        for (const QString &t : texts) {
            const std::optional<double> a = lireNombre(t);
            const std::optional<double> b = readNumber(QString(t).replace('.', ','));
            QVERIFY2(a.has_value() == b.has_value(), qPrintable(t));
            QVERIFY2(std::bit_cast<quint64>(a.value_or(0)) == std::bit_cast<quint64>(b.value_or(0)),
                     qPrintable(t));
        }
    }
    void preview_data() {
        QTest::addColumn<QByteArray>("bytes"), QTest::addColumn<QByteArray>("expected");
        const QByteArray petit = jpeg(QSize(40, 30), Qt::red), soi("\xFF\xD8");
        for (bool mm : {false, true}) {
            ExifBuilder b(mm);
            b.exif = {b.shortInline(0x8827, 400)};
            b.preview = petit; // the only value outside the directories: it ends the segment
            const QByteArray app1 = b.app1(), j = soi + app1 + "\xFF\xD9";
            // in the second directory
            const auto change = [&b](QByteArray c, quint16 tag, qint64 value) {
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
            row("in the segment's last bytes") << j << petit;
            row("after an empty segment") << soi + ExifBuilder::segment(0xE0, 0) + app1 << petit;
            row("after the image data") << soi + ExifBuilder::segment(0xDA, 4) + app1
                                        << QByteArray();
            row("segment up to the file's end") << soi + app1 << petit;
            row("segment one byte past it") << long1 << QByteArray();
            row("length one byte short") << change(j, 0x0202, petit.size() - 1) << petit.chopped(1);
            row("length one byte past the segment") << change(j, 0x0202, petit.size() + 1)
                                                    << QByteArray();
            row("offset one byte on")
                << change(change(j, 0x0202, petit.size() - 1), 0x0201, debut + 1) << petit.mid(1);
            row("ending at 128 KB, as far as is read") << devant(128 * 1024) << petit;
            row("ending one byte further") << devant(128 * 1024 + 1) << QByteArray();
        }
    }
    void preview() {
        QFETCH(QByteArray, bytes); QFETCH(QByteArray, expected);
        ecris(m_dir.filePath(QStringLiteral("apercu.jpg")), bytes);
        QCOMPARE(apercuExif(m_dir.filePath(QStringLiteral("apercu.jpg"))), expected);
    }
    // A blue 80 x 60 photo with a red preview, which serves only when it shows the same picture at
    // least as large.
    void thumbnail() {
        const QString path = m_dir.filePath(QStringLiteral("vignette.jpg"));
        for (const auto &[preview, wanted, fromPreview] :
             {std::tuple{QSize(40, 30), QSize(40, 30), true},
              {QSize(40, 30), QSize(20, 15), true},
              {QSize(40, 30), QSize(40, 31), false},
              {QSize(40, 30), QSize(41, 30), false},
              {QSize(40, 20), QSize(20, 10), false}}) {
            ExifBuilder b(true);
            b.preview = jpeg(preview, Qt::red);
            ecris(path, b.withImage(jpeg(QSize(80, 60), Qt::blue)));
            QCOMPARE(tailleNaturelle(path), QSize(80, 60));
            const QImage image = chargeVignette(path, wanted);
            const QColor c = image.size() == wanted
                                 ? image.pixelColor(wanted.width() / 2, wanted.height() / 2)
                                 : QColor();
            QCOMPARE(c.red() > 128 && c.blue() < 128   ? "preview"
                     : c.blue() > 128 && c.red() < 128 ? "photo"
                                                       : "?",
                     fromPreview ? "preview" : "photo");
        }
        QVERIFY(chargeVignette(path, QSize(0, 15)).isNull());
        QVERIFY(chargeVignette(m_dir.path(), QSize(20, 15)).isNull());
    }
};

QTEST_GUILESS_MAIN(TestBasePhotos)
#include "tst_basephotos.moc"
