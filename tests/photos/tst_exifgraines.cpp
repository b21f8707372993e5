// Replays the fuzzer's seed corpus (fuzz/corpus/exif) through the reader of
// the normal build: every input ends with one of the known outcomes.
#include "photos/ExifReader.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace kavel;

class TestExifGraines : public QObject {
    Q_OBJECT
private slots:
    void seeds_data();
    void seeds();
};

void TestExifGraines::seeds_data()
{
    QTest::addColumn<QString>("path");
    const QDir corpus(QStringLiteral(KAVEL_SOURCE_DIR "/fuzz/corpus/exif"));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    QVERIFY(names.size() >= 10);
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << corpus.filePath(name);
}

void TestExifGraines::seeds()
{
    QFETCH(QString, path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();

    ExifReader memory;
    memory.AnalyseOctets(bytes);
    QVERIFY(memory.ValLux >= -5);
    QVERIFY(memory.ValLux <= 0 || memory.ValEV > -100);

    // The file gives what its bytes give.
    ExifReader file;
    file.AnalysePhoto(path);
    QCOMPARE(file.ValLux, memory.ValLux);
    QCOMPARE(file.ValEV, memory.ValEV);
    QCOMPARE(file.ExifMarque, memory.ExifMarque);
    QCOMPARE(file.Statut, memory.Statut);
}

QTEST_GUILESS_MAIN(TestExifGraines)
#include "tst_exifgraines.moc"
