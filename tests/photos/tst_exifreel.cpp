// The reader over real camera files, against the expected results table
// kept beside them (../shared/exif/expected.tsv).
#include "exposure/NumberText.h"
#include "photos/ExifReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <charconv>
#include <cstdio>

using namespace kavel;

namespace {

QString dossierExif()
{
    return QStringLiteral(KAVEL_SHARED_DIR "/exif");
}

// "Apple\x00" -> the bytes it stands for.
QByteArray sansEchappement(QByteArray text)
{
    return QByteArray::fromPercentEncoding(text.replace("%", "%25").replace("\\x", "%"));
}

QByteArray g17(double v)
{
    char buffer[40];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::general, 17);
    return QByteArray(buffer, r.ptr - buffer); // a point whatever the locale
}

} // namespace

class TestExifReel : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        if (!QFile::exists(dossierExif() + QStringLiteral("/expected.tsv")))
            QSKIP("../shared/exif is not here: no real camera files to read");
    }
    void cameraFiles_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArrayList>("expected");
        QFile table(dossierExif() + QStringLiteral("/expected.tsv"));
        if (!table.open(QIODevice::ReadOnly))
            return;
        table.readLine(); // header
        while (!table.atEnd()) {
            QByteArray line = table.readLine();
            if (line.endsWith('\n'))
                line.chop(1);
            if (line.isEmpty())
                continue;
            const QByteArrayList fields = line.split('\t');
            QTest::newRow(fields[0].constData()) << QString::fromUtf8(fields[0]) << fields;
        }
    }
    void cameraFiles() {
        QFETCH(QString, path);
        QFETCH(QByteArrayList, expected);
        QCOMPARE(expected.size(), 11);
        ExifReader r;
        r.AnalysePhoto(dossierExif() + QLatin1Char('/') + path);
        QCOMPARE(QByteArray::number(float(r.ValLux)), expected[1]);
        QCOMPARE(g17(r.ValEV), expected[2]);
        QCOMPARE(r.ValSpeed, expected[3].toDouble());
        QCOMPARE(r.ValDiaf, expected[4].toDouble());
        QCOMPARE(r.ValIso, expected[5].toDouble());
        QCOMPARE(r.ExifMarque, sansEchappement(expected[6]));
        QCOMPARE(numText(r.ValEV), QString::fromUtf8(expected[7]));
        QCOMPARE(numText(r.ValSpeed), QString::fromUtf8(expected[8]));
        QCOMPARE(numText(r.ValDiaf), QString::fromUtf8(expected[9]));
        QCOMPARE(numText(r.ValIso), QString::fromUtf8(expected[10]));
        // Only what the walk needs is read, never the whole photo.
        const qint64 size = QFileInfo(dossierExif() + QLatin1Char('/') + path).size();
        QVERIFY2(r.octetsLus() <= 32 * 1024 && (size < 64 * 1024 || r.octetsLus() < size / 2),
                 qPrintable(QString::number(r.octetsLus())));
    }
    void everyFileIsListed() {
        QFile table(dossierExif() + QStringLiteral("/expected.tsv"));
        QVERIFY(table.open(QIODevice::ReadOnly));
        const QByteArray all = table.readAll();
        int files = 0;
        for (const QString &sub : QDir(dossierExif()).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            for (const QString &name : QDir(dossierExif() + QLatin1Char('/') + sub).entryList(QDir::Files)) {
                ++files;
                QVERIFY2(all.contains((sub + QLatin1Char('/') + name + QLatin1Char('\t')).toUtf8()), qPrintable(name));
            }
        }
        QVERIFY(files >= 70);
    }
};

QTEST_GUILESS_MAIN(TestExifReel)
#include "tst_exifreel.moc"
