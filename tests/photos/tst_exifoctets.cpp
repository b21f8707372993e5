// The reader on bytes written by the test: both byte orders, every status,
// the Asahi maker-note rule, the offset stop and damaged directories.
#include "ExifBuilder.h"
#include "photos/ExifReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>

using namespace kavel;

namespace {

constexpr quint16 kExposure = 0x829A, kFNumber = 0x829D, kIso = 0x8827, kMake = 0x010F, kMakerNote = 0x927C;

// 1/250 s, F/5,6, ISO 400, made by Canon.
ExifBuilder typique(bool mm)
{
    ExifBuilder b(mm);
    b.ifd0 = {b.ascii(kMake, QByteArray("Canon\0", 6))};
    b.exif = {b.rational(kExposure, 10, 2500), b.rational(kFNumber, 56, 10), b.shortInline(kIso, 400)};
    return b;
}

ExifReader lit(const QByteArray &bytes)
{
    ExifReader r;
    r.AnalyseOctets(bytes);
    return r;
}

} // namespace

class TestExifOctets : public QObject {
    Q_OBJECT
private slots:
    void helpers();
    void byteOrders_data();
    void byteOrders();
    void fromAFile();
    void statuses_data();
    void statuses();
    void fiftySegments_data();
    void fiftySegments();
    void asahiMakerNote_data();
    void asahiMakerNote();
    void inlineShortBigEndian();
    void offsetStopHidesLaterIso();
    void truncatedDirectory();
    void noExifPointerReadsNoSecondDirectory();
    void farOffsets();
    void rationals_data();
    void rationals();
    void longMakeIsCut();
};

void TestExifOctets::helpers()
{
    QCOMPARE(ExifReader::Nb(QByteArray("\xFF\xE1")), quint64(0xFFE1));
    QCOMPARE(ExifReader::Nb(QByteArray()), quint64(0));
    QCOMPARE(ExifReader::Nb(QByteArray("\xFF\xFF\xFF\xFF")), quint64(0xFFFFFFFF));
    QCOMPARE(ExifReader::sHex(QByteArray("\xFF\xE1")), "FF E1");
    QCOMPARE(ExifReader::sHex(QByteArray("\x08", 1)), "08");
    QCOMPARE(ExifReader::sHex(QByteArray()), "");
}

void TestExifOctets::byteOrders_data()
{
    QTest::addColumn<bool>("motorola");
    QTest::newRow("II, little-endian") << false;
    QTest::newRow("MM, big-endian") << true;
}

void TestExifOctets::byteOrders()
{
    QFETCH(bool, motorola);
    const ExifReader r = lit(typique(motorola).jpeg(ExifBuilder::segment(0xE0, 14)));
    QCOMPARE(r.ValSpeed, 0.004);
    QCOMPARE(r.ValDiaf, 5.6);
    QCOMPARE(r.ValIso, 400.0);
    QCOMPARE(r.ValEV, std::log(5.6 * 5.6 / 0.004 / 400 * 100) / std::log(2.0));
    QVERIFY(std::abs(r.ValEV - 10.94) < 0.005);
    QCOMPARE(r.ValLux, 4900.0);
    QCOMPARE(r.ExifMarque, QByteArray("Canon\0", 6));
    QCOMPARE(r.Statut, QString());
}

void TestExifOctets::fromAFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Vacances, été.JPG"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(typique(true).jpeg());
    f.close();
    ExifReader r;
    r.AnalysePhoto(path);
    QCOMPARE(r.ValLux, 4900.0);
    QVERIFY(r.octetsLus() > 0 && r.octetsLus() <= 4096);

    // A file that cannot be read is not analysed, whatever came before.
    r.AnalysePhoto(dir.filePath(QStringLiteral("absente.jpg")));
    QCOMPARE(r.ValLux, ExifReader::kNonAnalyse);
    QCOMPARE(r.ValEV, -100.0);
    QCOMPARE(r.ValSpeed, -1.0);
    QVERIFY(r.ExifMarque.isEmpty());
    r.AnalysePhoto(dir.path()); // a folder
    QCOMPARE(r.ValLux, ExifReader::kNonAnalyse);
}

void TestExifOctets::statuses_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<double>("lux");
    const ExifBuilder b = typique(false);
    QByteArray sansIso = b.jpeg();
    {
        ExifBuilder c = typique(false);
        c.exif.removeLast();
        sansIso = c.jpeg();
    }
    QTest::newRow("empty file") << QByteArray() << -2.0;
    QTest::newRow("not a JPEG") << QByteArray("GIF89a") << -2.0;
    QTest::newRow("PNG") << QByteArray("\x89PNG\r\n\x1a\n") << -2.0;
    QTest::newRow("APP1 that is XMP") << QByteArray("\xFF\xD8") + ExifBuilder::segment(0xE1, 30, 'x') << -5.0;
    QTest::newRow("only SOI") << QByteArray("\xFF\xD8") << -4.0;
    QTest::newRow("exposure incomplete") << sansIso << 0.0;
    // A segment that runs past the end: the walk stops there and reads on as
    // if APP1 followed; the exposure found later replaces the status.
    QTest::newRow("segment past the end, no Exif") << QByteArray("\xFF\xD8\xFF\xE0\xFF\xFF") + "JFIF" << -5.0;
    QTest::newRow("segment past the end, then Exif")
        << QByteArray("\xFF\xD8\xFF\xE0\x7F\xFF") + QByteArray("Exif\0\0", 6) + b.tiff() << 4900.0;
}

void TestExifOctets::statuses()
{
    QFETCH(QByteArray, bytes);
    QFETCH(double, lux);
    const ExifReader r = lit(bytes);
    QCOMPARE(r.ValLux, lux);
    if (lux <= 0) {
        QCOMPARE(r.ValEV, -100.0);
        QCOMPARE(r.ValSpeed, -1.0);
        QCOMPARE(r.ValDiaf, -1.0);
        QCOMPARE(r.ValIso, -1.0);
    }
}

void TestExifOctets::fiftySegments_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<double>("lux");
    QTest::newRow("APP1 as the 50th marker") << 49 << 4900.0;
    QTest::newRow("APP1 as the 51st marker") << 50 << -4.0;
    QTest::newRow("no APP1 at all") << 200 << -4.0;
}

void TestExifOctets::fiftySegments()
{
    QFETCH(int, before);
    QFETCH(double, lux);
    QByteArray segments;
    for (int i = 0; i < before; ++i)
        segments += ExifBuilder::segment(0xE2, 3);
    QCOMPARE(lit(typique(false).jpeg(segments)).ValLux, lux);
}

void TestExifOctets::asahiMakerNote_data()
{
    QTest::addColumn<QByteArray>("make");
    QTest::addColumn<int>("noteSize");
    QTest::addColumn<double>("iso");
    QTest::newRow("Asahi") << QByteArray("Asahi Optical Co.,Ltd\0", 22) << 300 << 200.0;
    QTest::newRow("ASAHI in capitals") << QByteArray("ASAHI OPTICAL\0", 14) << 300 << 400.0;
    QTest::newRow("Pentax") << QByteArray("PENTAX Corporation\0", 19) << 300 << 400.0;
    QTest::newRow("Asahi, note of 239 bytes") << QByteArray("Asahi\0", 6) << 239 << 0.0; // byte 238 alone: 0
    QTest::newRow("Asahi, short note") << QByteArray("Asahi\0", 6) << 100 << 0.0;
}

void TestExifOctets::asahiMakerNote()
{
    QFETCH(QByteArray, make);
    QFETCH(int, noteSize);
    QFETCH(double, iso);
    for (bool mm : {false, true}) {
        ExifBuilder b = typique(mm);
        b.ifd0 = {b.ascii(kMake, make)};
        QByteArray note(noteSize, '\x11');
        if (noteSize > 239) {
            note[238] = '\x00';
            note[239] = '\xC8'; // 200, big-endian whatever the TIFF order
        } else if (noteSize == 239) {
            note[238] = '\x00';
        }
        b.exif.append(b.undefined(kMakerNote, note)); // after the ISO tag
        const ExifReader r = lit(b.jpeg());
        QCOMPARE(r.ExifMarque, make);
        if (iso > 0) {
            QCOMPARE(r.ValIso, iso);
        } else {
            QCOMPARE(r.ValLux, 0.0); // the maker note's ISO replaced the tag's with 0
            QCOMPARE(r.ValIso, -1.0);
        }
    }
}

// 00 64 00 00 in a big-endian file: the SHORT is the first two bytes.
void TestExifOctets::inlineShortBigEndian()
{
    ExifBuilder b = typique(true);
    b.exif[2] = {kIso, 3, 1, QByteArray("\x00\x64\x00\x00", 4)};
    QCOMPARE(lit(b.jpeg()).ValIso, 100.0);
    ExifBuilder l = typique(false);
    l.exif[2] = {kIso, 3, 1, QByteArray("\x64\x00\x00\x00", 4)};
    QCOMPARE(lit(l.jpeg()).ValIso, 100.0);
}

void TestExifOctets::offsetStopHidesLaterIso()
{
    for (bool mm : {false, true}) {
        ExifBuilder b = typique(mm);
        b.exif.insert(2, b.rawOffset(0x9286, 2, 20, 2'000'000'001u)); // a comment "far away"
        const ExifReader r = lit(b.jpeg());
        QCOMPARE(r.ValLux, 0.0); // the ISO after it was never read
        QCOMPARE(r.ValIso, -1.0);

        ExifBuilder c = typique(mm);
        c.exif.insert(2, c.rawOffset(0x9286, 2, 20, 2'000'000'000u)); // at the limit: read on
        QCOMPARE(lit(c.jpeg()).ValIso, 400.0);
    }
}

// Cut inside the Exif sub-directory: what is missing reads as zeros.
void TestExifOctets::truncatedDirectory()
{
    const QByteArray whole = typique(false).jpeg();
    for (qsizetype cut = 2; cut < whole.size(); cut += 3) {
        const ExifReader r = lit(whole.left(cut));
        QVERIFY(r.ValLux <= 0 || r.ValLux == 4900.0);
    }
    // Cut right after the exposure time's entry: no f-number, no ISO.
    ExifBuilder b = typique(false);
    const QByteArray bytes = b.jpeg();
    const qsizetype exifDir = bytes.indexOf(QByteArray("\x9A\x82", 2));
    const ExifReader r = lit(bytes.left(exifDir + 12));
    QCOMPARE(r.ValLux, 0.0);
    QCOMPARE(r.Statut, ExifReader::kDepassement);
    QVERIFY(r.ExifMarque.isEmpty()); // its text lay after the directories, cut off too
}

// Without an Exif pointer there is no sub-directory, even where an earlier
// photo had one.
void TestExifOctets::noExifPointerReadsNoSecondDirectory()
{
    ExifReader r;
    r.AnalyseOctets(typique(false).jpeg());
    QCOMPARE(r.ValLux, 4900.0);
    ExifBuilder b = typique(false);
    b.pointerToExif = false; // the sub-directory still lies where the last one did
    r.AnalyseOctets(b.jpeg());
    QCOMPARE(r.ValLux, 0.0);
    QCOMPARE(r.ExifMarque, QByteArray("Canon\0", 6));
}

// A photo whose TIFF header lies beyond 32 767 bytes reads like any other.
void TestExifOctets::farOffsets()
{
    for (bool mm : {false, true}) {
        const QByteArray before = ExifBuilder::segment(0xE0, 40000) + ExifBuilder::segment(0xED, 30000);
        const ExifReader r = lit(typique(mm).jpeg(before));
        QCOMPARE(r.ValLux, 4900.0);
    }
}

void TestExifOctets::rationals_data()
{
    QTest::addColumn<quint16>("type");
    QTest::addColumn<quint32>("num");
    QTest::addColumn<quint32>("den");
    QTest::addColumn<double>("speed"); // -1: no light level
    QTest::newRow("1/0") << quint16(5) << 1u << 0u << -1.0;
    QTest::newRow("0/125") << quint16(5) << 0u << 125u << -1.0;
    QTest::newRow("signed -1/-125") << quint16(10) << 0xFFFFFFFFu << 0xFFFFFF83u << 0.008;
    QTest::newRow("signed -1/125") << quint16(10) << 0xFFFFFFFFu << 125u << -1.0;
    QTest::newRow("unsigned, large") << quint16(5) << 0xFFFFFFFFu << 0xFFFFFFFFu << 1.0;
}

void TestExifOctets::rationals()
{
    QFETCH(quint16, type);
    QFETCH(quint32, num);
    QFETCH(quint32, den);
    QFETCH(double, speed);
    for (bool mm : {false, true}) {
        ExifBuilder b = typique(mm);
        b.exif[0] = b.rational(kExposure, num, den, type);
        const ExifReader r = lit(b.jpeg());
        QCOMPARE(r.ValSpeed, speed);
        QCOMPARE(r.ValLux > 0, speed > 0);
    }
}

void TestExifOctets::longMakeIsCut()
{
    ExifBuilder b = typique(false);
    b.ifd0 = {b.ascii(kMake, QByteArray(200000, 'M'))};
    const ExifReader r = lit(b.jpeg());
    QCOMPARE(r.ExifMarque.size(), 64 * 1024);
    QCOMPARE(r.ValLux, 4900.0);
    // A count that claims more than the file holds gives no make.
    b.ifd0 = {{kMake, 2, 0x7FFFFFFF, QByteArray(8, 'M')}};
    QVERIFY(lit(b.jpeg()).ExifMarque.isEmpty());
}

QTEST_GUILESS_MAIN(TestExifOctets)
#include "tst_exifoctets.moc"
