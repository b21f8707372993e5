// The reader on bytes built here: the segment walk, both byte orders, each kind of value, reads at
// the very end.
#include "ExifBuilder.h"
#include "photos/exif/ExifReader.h"

#include <QtTest>
#include <cmath>
#include <optional>

using namespace kavel;
namespace {
constexpr quint16 kExposure = 0x829A, kFNumber = 0x829D, kIso = 0x8827, kMake = 0x010F;
const QByteArray kCanon("Canon\0", 6);

// 1/250 s, F/5,6, ISO 400, made by Canon: EV 10,94, 4 900 lux.
ExifBuilder typique(bool mm) {
    ExifBuilder b(mm);
    b.ifd0 = {b.ascii(kMake, kCanon)};
    b.exif = {b.rational(kExposure, 10, 2500), b.rational(kFNumber, 56, 10),
              b.shortInline(kIso, 400)};
    return b;
}
// Other containers of the same block. Boxes: size (4 bytes, big-endian), type, contents; `forme`
// '0' writes a size of 0 (to the end), '1' a 64-bit size after the type.
QByteArray box(const char *type, const QByteArray &contents, char forme = ' ') {
    const ExifBuilder be(true);
    return forme == '1'
               ? be.u32(1) + type + be.u32(0) + be.u32(quint32(16 + contents.size())) + contents
               : be.u32(forme == '0' ? 0 : quint32(8 + contents.size())) + type + contents;
}
// CR3: Canon's uuid box in moov holds CMT1 (a TIFF whose first directory has the make) and CMT2
// (the Exif directory).
QByteArray cr3(bool mm, const QByteArray &cmt2 = {}) {
    ExifBuilder ifd0(mm), exif(mm);
    ifd0.ifd0 = {ifd0.ascii(kMake, kCanon)};
    exif.ifd0 = typique(mm).exif;
    ifd0.pointerToExif = exif.pointerToExif = false;
    const QByteArray canon("\x85\xC0\xB6\x87\x82\x0F\x11\xE0\x81\x11\xF4\xCE\x46\x2B\x6A\x48", 16);
    const QByteArray cmt =
        box("CMT1", ifd0.tiff()) + box("CMT2", cmt2.isNull() ? exif.tiff() : cmt2);
    return box("ftyp", QByteArray("crx ").leftJustified(8, 0))
           + box("moov", box("uuid", canon + cmt));
}
// HEIF: meta (its size in `forme`) lists a picture and an "Exif" item (iinf) and places them
// (iloc of the given version, offsets, lengths and base offset of `taille` bytes, the base offset
// giving the Exif's place when `base`, the Exif's construction method); the item, in mdat, is the
// offset of its TIFF header (past `saut` bytes) and the TIFF.
QByteArray heic(bool mm, int version = 0, int taille = 4, bool base = false, char forme = ' ',
                const char *type = "Exif",
                const QByteArray &saut = QByteArray("\0\0\0\6Exif\0\0", 10), quint16 methode = 0) {
    const ExifBuilder be(true);
    const auto n = [&](quint64 v, int octets) {
        return octets == 8 ? be.u32(v >> 32) + be.u32(quint32(v))
               : octets    ? be.u32(quint32(v))
                           : QByteArray();
    };
    const auto id = [&](quint16 v) { return version == 2 ? be.u32(v) : be.u16(v); };
    const QByteArray item = saut + typique(mm).tiff();
    const QByteArray infe = be.u32(0x02000000) + be.u16(2) + be.u16(0) + type;
    // method, data reference
    const QByteArray avant = (version ? be.u16(0) : QByteArray()) + be.u16(0);
    const QByteArray rien = n(0, taille);
    const QByteArray avantExif = (version ? be.u16(methode) : QByteArray()) + be.u16(0);
    QByteArray f;
    // built again once the item's place is known
    for (qsizetype place = -1; place != f.size() - item.size();) {
        place = f.size() - item.size();
        const QByteArray p = n(quint64(place), taille), l = n(quint64(item.size()), taille);
        const QByteArray iloc =
            be.u32(quint32(version) << 24)
            + be.u16(quint16(taille << 12 | taille << 8 | (base ? taille : 0) << 4)) + id(2)
            + id(1) + avant + (base ? rien : QByteArray()) + be.u16(1) + rien + n(9, taille)
            + id(2) + avantExif + (base ? p + be.u16(1) + rien : be.u16(1) + p) + l;
        f = box("ftyp", QByteArray("heic").leftJustified(8, 0))
            + box("meta",
                  be.u32(0) + box("hdlr", QByteArray(24, 'h'))
                      + box("iinf", be.u32(0) + be.u16(2)
                                        + box("infe", infe.left(4) + be.u16(1) + be.u16(0) + "hvc1")
                                        + box("infe", infe))
                      + box("iloc", iloc),
                  forme)
            + box("mdat", item);
    }
    return f;
}
// RAF: a header giving the place (4 bytes, big-endian) and length of the JPEG that holds the EXIF
// block.
QByteArray raf(bool mm, qint64 place = 0x64) {
    const ExifBuilder be(true);
    const QByteArray jpeg = typique(mm).jpeg();
    return QByteArray("FUJIFILMCCD-RAW ").leftJustified(0x54, '0') + be.u32(quint32(place))
           + be.u32(quint32(jpeg.size())) + QByteArray(8, 0) + jpeg;
}
// A box's size field changed.
QByteArray tailleBoite(QByteArray f, const char *type, quint32 v) {
    return f.replace(f.indexOf(type) - 4, 4, ExifBuilder(true).u32(v));
}
} // namespace

class TestExifOctets : public QObject {
    Q_OBJECT
private slots:
    void reads_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<double>("lux"); // lux 1: some light level
        QTest::addColumn<double>("speed");
        QTest::addColumn<double>("iso");
        QTest::addColumn<QByteArray>("make");
        const QByteArray soi("\xFF\xD8");
        const QByteArray app0 = soi + QByteArray("\xFF\xE0\x00\x04" "ab", 6);
        const auto statut = [](const char *name, const QByteArray &bytes, double lux) {
            QTest::newRow(name) << bytes << lux << (lux > 0 ? 0.004 : -1) << (lux > 0 ? 400. : -1)
                                << (lux > 0 ? kCanon : QByteArray());
        };
        statut("FF alone", "\xFF", -2);
        statut("only SOI", soi, -4);
        statut("APP1 that is XMP", soi + ExifBuilder::segment(0xE1, 30, 'x'), -5);
        // A segment is stepped over when a marker's two bytes follow it; else the walk reads on as
        // if APP1 followed.
        statut("segment, then a marker", app0 + "\xFF\xD9", -4);
        statut("segment, then one byte", app0 + "\xFF", -5);
        statut("segment past the end, then Exif",
               soi + "\xFF\xE0\x7F\xFF" + QByteArray("Exif\0\0", 6) + typique(false).tiff(), 4900);
        statut("MM after APP0", typique(true).jpeg(ExifBuilder::segment(0xE0, 14)), 4900);
        statut("APP1 as the 50th marker",
               typique(false).jpeg(ExifBuilder::segment(0xE2, 3).repeated(49)), 4900);
        statut("APP1 as the 51st marker",
               typique(false).jpeg(ExifBuilder::segment(0xE2, 3).repeated(50)), -4);
        for (bool mm : {false, true}) {
            const auto row = [mm](const char *name, const ExifBuilder &b, double speed,
                                  double iso = 400, const QByteArray &make = kCanon) {
                QTest::addRow("%s, %s", name, mm ? "MM" : "II")
                    << b.jpeg() << (speed > 0 ? 1. : 0.) << speed << (speed > 0 ? iso : -1) << make;
            };
            const auto avec = [mm](auto change) {
                ExifBuilder b = typique(mm);
                change(b);
                return b;
            };
            QTest::addRow("typical, %s", mm ? "MM" : "II")
                << typique(mm).jpeg() << 4900. << 0.004 << 400. << kCanon;
            row("no exposure time", avec([](ExifBuilder &b) { b.exif.removeAt(0); }), -1);
            row("no f-number", avec([](ExifBuilder &b) { b.exif.removeAt(1); }), -1);
            row("no ISO", avec([](ExifBuilder &b) { b.exif.removeAt(2); }), -1);
            row("no Exif pointer", avec([](ExifBuilder &b) { b.pointerToExif = false; }), -1);
            // A value offset beyond 2 000 000 000 ends the directory there.
            row("offset at the limit", avec([](ExifBuilder &b) {
                    b.exif.insert(2, b.rawOffset(0x9286, 2, 20, 2'000'000'000u));
                }),
                0.004);
            row("offset past the limit", avec([](ExifBuilder &b) {
                    b.exif.insert(2, b.rawOffset(0x9286, 2, 20, 2'000'000'001u));
                }),
                -1);
            using V = std::tuple<const char *, quint32, quint32, quint16, double>;
            for (const auto &[name, num, den, type, speed] :
                 {V{"1/0", 1, 0, 5, -1},
                  V{"0/125", 0, 125, 5, -1},
                  V{"unsigned 2^31/1", 0x80000000u, 1, 5, 2147483648.0},
                  V{"signed -1/-125", 0xFFFFFFFFu, 0xFFFFFF83u, 10, 0.008},
                  V{"signed -1/125", 0xFFFFFFFFu, 125, 10, -1},
                  V{"signed -2^31/1", 0x80000000u, 1, 10, -1},
                  V{"signed (2^31-1)/(2^31-1)", 0x7FFFFFFFu, 0x7FFFFFFFu, 10, 1},
                  V{"signed 1/0", 1, 0, 10, -1}}) {
                ExifBuilder b = typique(mm);
                b.exif[0] = b.rational(kExposure, num, den, type);
                row(name, b, speed);
            }
            // Pentax (Asahi) keeps the ISO big-endian at bytes 238-239 of its maker note, read
            // after the ISO tag.
            using N = std::tuple<const char *, QByteArray, int, double>;
            for (const auto &[name, make, taille, iso] :
                 {N{"Asahi, ISO in the note", QByteArray("Asahi Optical Co.,Ltd\0", 22), 240, 300},
                  N{"Asahi, note of 239 bytes", "Asahi", 239, 1},
                  N{"Asahi, short note", "Asahi", 100, -1},
                  N{"Pentax", "PENTAX", 240, 400}}) {
                ExifBuilder b = typique(mm);
                QByteArray note(taille, '\x11');
                // 300, or byte 238 alone
                note.replace(238, 2,
                             taille > 239 ? QByteArray("\x01\x2C", 2) : QByteArray("\x01", 1));
                b.ifd0 = {b.ascii(kMake, make)};
                b.exif.append({0x927C, 7, quint32(taille), note.left(taille)});
                row(name, b, iso > 0 ? 0.004 : -1, iso, make);
            }
            row("make cut at 64 KB",
                avec([](ExifBuilder &b) { b.ifd0 = {b.ascii(kMake, QByteArray(200000, 'M'))}; }),
                0.004, 400, QByteArray(65536, 'M'));
            const QByteArray j = typique(mm).jpeg();
            const auto reste = quint32(j.size() - j.indexOf(kCanon));
            row("make up to the last byte",
                avec([&](ExifBuilder &b) { b.ifd0 = {{kMake, 2, reste, kCanon}}; }), 0.004, 400,
                j.right(reste));
            row("make one byte past",
                avec([&](ExifBuilder &b) { b.ifd0 = {{kMake, 2, reste + 1, kCanon}}; }), 0.004, 400,
                {});
            // Other files holding the same block, told by their first bytes.
            const auto f = [mm](const char *name, const QByteArray &bytes, double lux,
                                double iso = 400, std::optional<QByteArray> make = {}) {
                QTest::addRow("%s, %s", name, mm ? "MM" : "II")
                    << bytes << lux << (lux > 0 ? 0.004 : -1) << (lux > 0 ? iso : -1)
                    << make.value_or(lux >= 0 ? kCanon : QByteArray());
            };
            const auto marque = [mm](QByteArray tiff, const char *ii, const char *m) {
                return tiff.replace(0, 4, QByteArray(mm ? m : ii, 4));
            };
            ExifBuilder rw2 = typique(mm);
            rw2.ifd0.append(rw2.shortInline(0x0017, 80)), rw2.exif.removeAt(2);
            // A JPEG's first directory where its TIFF header puts it: here after the others,
            // zeros in its usual place.
            QByteArray t = typique(mm).tiff();
            const QByteArray premier = t.mid(8, 30); // the make and the Exif pointer
            t = t.replace(8, 30, QByteArray(30, '\0')) + premier;
            t.replace(4, 4, ExifBuilder(mm).u32(quint32(t.size() - 30)));
            const QByteArray exif = QByteArray("Exif\0\0", 6) + t;
            const QByteArray longueur = ExifBuilder(true).u16(quint16(exif.size() + 2));
            f("JPEG, first directory last", "\xFF\xD8\xFF\xE1" + longueur + exif, 4900);
            f("TIFF", typique(mm).tiff(), 4900);
            f("ORF", marque(typique(mm).tiff(), "IIRO", "MMOR"), 4900);
            f("ORF, other mark", marque(typique(mm).tiff(), "IIRS", "MMSR"), 4900);
            f("RW2, ISO in its first directory", marque(rw2.tiff(), "IIU\0", "MM\0U"), 1, 80);
            f("TIFF, tag 0017 is no ISO", rw2.tiff(), 0);
            f("BigTIFF", marque(typique(mm).tiff(), "II+\0", "MM\0+"), -2);
            f("RAF", raf(mm), 4900);
            f("RAF, preview past the end", raf(mm, 100000), -3);
            f("RAF, preview not a JPEG", raf(mm, 0x50), -4);
            f("CR3", cr3(mm), 4900);
            f("CR3, CMT2 not a TIFF", cr3(mm, QByteArray(8, 'I')), -5, 0, kCanon);
            f("CR3, no CMT box", cr3(mm).replace("CMT", "CMX"), -4);
            f("HEIC", heic(mm), 4900);
            f("HEIC, iloc 1, 8-byte base offset", heic(mm, 1, 8, true), 4900);
            f("HEIC, iloc 2, base offset, meta to the end", heic(mm, 2, 4, true, '0'), 4900);
            f("HEIC, 64-bit meta size", heic(mm, 0, 4, false, '1'), 4900);
            f("HEIC, item in idat",
              heic(mm, 1, 4, false, ' ', "Exif", QByteArray("\0\0\0\6Exif\0\0", 10), 1), -4);
            f("HEIC, no offset, Exif prefix",
              heic(mm, 0, 4, false, ' ', "Exif", QByteArray("Exif\0\0", 6)), 4900);
            f("HEIC, offset 0, Exif prefix",
              heic(mm, 0, 4, false, ' ', "Exif", QByteArray("\0\0\0\0Exif\0\0", 10)), 4900);
            f("HEIC, TIFF offset past the item",
              heic(mm, 0, 4, false, ' ', "Exif", ExifBuilder(true).u32(4000)), -5);
            f("HEIC, no Exif item", heic(mm, 0, 4, false, ' ', "mime"), -4);
            f("HEIC, meta past the end", tailleBoite(heic(mm), "meta", 1u << 30), 4900);
            f("HEIC, meta shorter than its header", tailleBoite(heic(mm), "meta", 7), -4);
            f("HEIC, iloc cut", tailleBoite(heic(mm), "iloc", 30), -4);
            f("HEIC, cut where its item begins", heic(mm).chopped(typique(mm).tiff().size() + 10),
              -3);
        }
    }
    // Read by a reader that has just read another photo: nothing of it stays.
    void reads() {
        QFETCH(QByteArray, bytes);
        QFETCH(double, lux);
        QFETCH(double, speed);
        QFETCH(double, iso);
        QFETCH(QByteArray, make);
        ExifReader r;
        r.AnalyseOctets(typique(true).jpeg()), r.AnalyseOctets(bytes);
        QCOMPARE(lux == 1 ? double(r.ValLux > 0) : r.ValLux, lux);
        QCOMPARE((QList<double>{r.ValSpeed, r.ValDiaf, r.ValIso}),
                 (QList<double>{speed, speed > 0 ? 5.6 : -1, iso}));
        QCOMPARE(r.ValEV, speed > 0 ? std::log(5.6 * 5.6 / speed / iso * 100) / std::log(2.0)
                                    : -100.0);
        QCOMPARE(r.ExifMarque, make);
        QVERIFY(r.Statut.isEmpty());
        QCOMPARE(r.octetsLus(), qint64(0));
    }
    // The f-number's denominator is the last four bytes, from memory and from a file; one byte
    // fewer is too few.
    void lastByteOfTheFile() {
        QCOMPARE(ExifReader::Nb(QByteArray("\xFF\x02\xE1")) + ExifReader::Nb(QByteArray()),
                 quint64(0xFF02E1));
        QCOMPARE(ExifReader::sHex(QByteArray("\xFF\xE1\x08", 3)) + ExifReader::sHex(QByteArray()),
                 "FF E1 08");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Vacances, été.JPG"));
        for (int i = 0; i < 4; ++i) {
            const bool manque = i & 1;
            const QByteArray bytes =
                (QByteArray("\xFF\xD8") + typique(i & 2).app1()).chopped(manque);
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QCOMPARE(f.write(bytes), bytes.size());
            QVERIFY(f.flush());
            ExifReader m, d;
            m.AnalyseOctets(bytes), d.AnalysePhoto(path);
            for (const ExifReader *r : {&m, &d})
                QCOMPARE(r->Statut + QString::number(r->ValLux) + r->ExifMarque,
                         (manque ? ExifReader::kDepassement + "0" : "4900") + kCanon);
            QVERIFY(d.octetsLus() > 0);
            QVERIFY(d.octetsLus() <= 4096);
        }
    }
    // Cut anywhere, or with any box's size lying, a file of each kind ends with a status or the
    // light level of the whole.
    void damaged() {
        for (bool mm : {false, true}) {
            for (const QByteArray &f :
                 {typique(mm).tiff(), raf(mm), cr3(mm), heic(mm, 2, 8, true)}) {
                QList<QByteArray> variantes;
                for (qsizetype n = 0; n < f.size(); ++n)
                    variantes.append(f.first(n));
                for (const char *type : {"moov", "uuid", "CMT1", "CMT2", "meta", "hdlr", "iinf",
                                         "infe", "iloc", "mdat"})
                    for (quint32 v : {1u, 8u, 9u, 23u, 0x7FFFFFFFu, 0xFFFFFFFFu})
                        variantes.append(f.contains(type) ? tailleBoite(f, type, v) : f);
                for (const QByteArray &v : variantes) {
                    ExifReader r;
                    r.AnalyseOctets(v);
                    QVERIFY2(r.ValLux >= -5, qPrintable(QString::number(r.ValLux)));
                    QVERIFY2(r.ValLux <= 0 || r.ValLux == 4900,
                             qPrintable(QString::number(r.ValLux)));
                }
            }
        }
    }
    // The fuzzer's seed corpus (fuzz/corpus/exif): every input ends with one of the known outcomes,
    // and the file gives what its bytes give.
    void seeds_data() {
        QTest::addColumn<QString>("path");
        const QDir corpus(QStringLiteral(KAVEL_SOURCE_DIR "/fuzz/corpus/exif"));
        QVERIFY(corpus.entryList(QDir::Files).size() >= 10);
        for (const QString &name : corpus.entryList(QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(name)) << corpus.filePath(name);
    }
    void seeds() {
        QFETCH(QString, path);
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        ExifReader memory, file;
        memory.AnalyseOctets(f.readAll());
        QVERIFY(memory.ValLux >= -5);
        QVERIFY(memory.ValLux <= 0 || memory.ValEV > -100);
        file.AnalysePhoto(path);
        QCOMPARE(file.ValLux, memory.ValLux);
        QCOMPARE(file.ValEV, memory.ValEV);
        QCOMPARE(file.ExifMarque, memory.ExifMarque);
        QCOMPARE(file.Statut, memory.Statut);
    }
};

QTEST_GUILESS_MAIN(TestExifOctets)
#include "tst_exifoctets.moc"
