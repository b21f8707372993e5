// The reader over real camera files, against ../shared/exif/expected.tsv, exif-raw's README
// and prises.tsv (exiftool's reading of them).
#include "photos/exif/ExifReader.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace kavel;

class TestExifReel : public QObject {
    Q_OBJECT
    const QDir m_exif{QString(KAVEL_SHARED_DIR "/exif")};
private slots:
    void initTestCase() {
        if (!m_exif.exists("expected.tsv"))
            QSKIP("../shared/exif is not here: no real camera files to read");
    }
    // Every file of the folders is in the table.
    void cameraFiles_data() {
        QTest::addColumn<QString>("path"), QTest::addColumn<QByteArrayList>("expected");
        QFile table(m_exif.filePath("expected.tsv"));
        QVERIFY(table.open(QIODevice::ReadOnly));
        // First directory not right after the TIFF header: read where the header puts it.
        static const QHash<QByteArray, QByteArray> ailleurs{
            {"mei/Canon EOS-1DS (after Noise Ninja).jpg",
             "16000\t12.643856189774723\t0.008\t8\t125\tCanon\\x00"},
            {"mei/Pentax ist D.jpg",
             "640\t8.0179219079972626\t0.011111111111111112\t2.4\t200\tPENTAX Corporation \\x00"},
            {"mei/FujiFilm SP-2500.jpg", "0\t-100\t-1\t-1\t-1\tFUJI PHOTO FILM CO., LTD.\\x00"},
            // The one HEIF of the set is read as such: its EXIF block holds no exposure.
            {"exs/samplefilehub.heif", "0\t-100\t-1\t-1\t-1\t"}};
        QStringList lus, fichiers;
        for (const QByteArray &line : table.readAll().trimmed().split('\n').mid(1)) {
            QByteArrayList fields = line.split('\t');
            if (ailleurs.contains(fields[0]))
                fields = QByteArrayList{fields[0]} + ailleurs.value(fields[0]).split('\t');
            lus << QString::fromUtf8(fields[0]);
            QTest::newRow(fields[0].constData()) << lus.last() << fields;
        }
        for (const QString &sub : m_exif.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
            for (const QString &name : QDir(m_exif.filePath(sub)).entryList(QDir::Files))
                fichiers << sub + '/' + name;
        lus.sort(), fichiers.sort();
        QCOMPARE(lus, fichiers);
    }
    // Only what the walk needs is read, never the whole photo.
    void cameraFiles() {
        QFETCH(QString, path);
        QFETCH(QByteArrayList, expected);
        QVERIFY(expected.size() >= 7);
        ExifReader r;
        r.AnalysePhoto(m_exif.filePath(path));
        QCOMPARE(QByteArray::number(float(r.ValLux)), expected[1]);
        QCOMPARE(r.ValEV, expected[2].toDouble());
        QCOMPARE(r.ValSpeed, expected[3].toDouble());
        QCOMPARE(r.ValDiaf, expected[4].toDouble());
        QCOMPARE(r.ValIso, expected[5].toDouble());
        QCOMPARE(r.ExifMarque, QByteArray::fromPercentEncoding(
                                   expected[6].replace("%", "%25").replace("\\x", "%")));
        QVERIFY2(r.octetsLus() <= 32 * 1024, qPrintable(QString::number(r.octetsLus())));
    }
    // The RAW, CR3 and HEIC files beside them: exposure, f-number, ISO.
    void otherFiles_data() {
        QTest::addColumn<QString>("path"), QTest::addColumn<QByteArrayList>("expected");
        const QDir dossier(QString(KAVEL_SHARED_DIR "/exif-raw"));
        QFile readme(dossier.filePath("README.md"));
        QVERIFY(readme.open(QIODevice::ReadOnly));
        QStringList fichiers{"README.md"};
        for (const QByteArray &line : readme.readAll().split('\n')) {
            QByteArrayList cells = line.split('|');
            for (QByteArray &c : cells)
                c = c.trimmed();
            if (cells.size() == 7 && dossier.exists(QString::fromUtf8(cells[1])))
                QTest::newRow(cells[1].constData())
                    << dossier.filePath(fichiers.emplace_back(QString::fromUtf8(cells[1])))
                    << cells.mid(2, 4);
        }
        fichiers.sort(Qt::CaseInsensitive);
        QCOMPARE(fichiers, dossier.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase));
    }
    void otherFiles() {
        QFETCH(QString, path);
        QFETCH(QByteArrayList, expected);
        ExifReader r;
        r.AnalysePhoto(path);
        const bool none = expected[0] == "(none)"; // no EXIF data at all
        QCOMPARE(r.ValLux > 0 ? 1 : r.ValLux, none ? ExifReader::kPasDeApp1 : 1);
        const QList<double> values{r.ValSpeed, r.ValDiaf, r.ValIso};
        for (int i = 0; i < 3; ++i)
            QVERIFY2(none ? values[i] == -1
                          : std::abs(values[i] / expected[i].toDouble() - 1) < 1e-9,
                     expected[i]);
        QVERIFY2(r.octetsLus() <= 16 * 1024, qPrintable(QString::number(r.octetsLus())));
    }
    // What took each photo, and when (prises.tsv).
    void takenWith_data() {
        QTest::addColumn<QString>("path"), QTest::addColumn<QStringList>("expected");
        QFile table(QFINDTESTDATA("prises.tsv"));
        QVERIFY(table.open(QIODevice::ReadOnly));
        for (const QString &line : QString(table.readAll()).split('\n', Qt::SkipEmptyParts))
            if (const QStringList f = line.split('\t'); !line.startsWith('#'))
                QTest::newRow(qPrintable(f[0])) << f[0] << f.mid(1);
    }
    void takenWith() {
        QFETCH(QString, path);
        QFETCH(QStringList, expected);
        ExifReader r;
        r.AnalysePhoto(m_exif.filePath("../" + path));
        const auto &p = r.Prise;
        QStringList lu{p.marque, p.modele, p.marqueObjectif, p.objectif, p.date};
        for (double v : {p.focale, p.focale35, double(p.orientation)})
            lu << (v > 0 ? QString::number(v, 'g', 15) : QString());
        QCOMPARE(lu, expected);
    }
};

QTEST_GUILESS_MAIN(TestExifReel)
#include "tst_exifreel.moc"
