// The reader on bytes built here: segments, byte orders, values, containers, reads at the end.
#include "ExifBuilder.h"
#include "photos/exif/ExifReader.h"

#include <QtTest>
#include <optional>

using namespace kavel;
namespace {
const QByteArray kCanon("Canon\0", 6);
const ExifBuilder be(true);

// 1/250 s, F/5,6, ISO 400, made by Canon: EV 10,94, 4 900 lux.
ExifBuilder typique(bool mm) {
    ExifBuilder b(mm);
    b.ifd0 = {b.ascii(0x010F, kCanon)};
    b.exif = {b.rational(0x829A, 10, 2500), b.rational(0x829D, 56, 10),
              b.shortInline(0x8827, 400)};
    return b;
}
// An ISO box; `forme` '0' writes a size of 0 (to the end), '1' a 64-bit size.
QByteArray box(const char *type, const QByteArray &in, char forme = ' ') {
    return forme == '1' ? be.u32(1) + type + be.u32(0) + be.u32(quint32(16 + in.size())) + in
                        : be.u32(forme == '0' ? 0 : quint32(8 + in.size())) + type + in;
}
// CR3: Canon's uuid box in moov holds CMT1 (the make) and CMT2 (the Exif directory).
QByteArray cr3(bool mm, const QByteArray &cmt2 = {}) {
    ExifBuilder ifd0 = typique(mm), exif(mm);
    exif.ifd0 = ifd0.exif;
    ifd0.pointerToExif = exif.pointerToExif = false;
    const QByteArray cmt = box("CMT1", ifd0.tiff())
                           + box("CMT2", cmt2.isNull() ? exif.tiff() : cmt2);
    const QByteArray canon = QByteArray::fromHex("85C0B687820F11E08111F4CE462B6A48");
    return box("ftyp", QByteArray("crx \0\0\0\0", 8)) + box("moov", box("uuid", canon + cmt));
}
// HEIF: meta (its size written as `forme`) lists a picture and an item of `type` (iinf) and places
// them (iloc of `version`, numbers of `taille` bytes, the item's place as a base offset when
// `base`, its construction `methode`).
struct Heic {
    int version = 0, taille = 4;
    bool base = false;
    char forme = ' ';
    QByteArray type = "Exif", saut = QByteArray("\0\0\0\6Exif\0\0", 10);
    quint16 methode = 0;
};
QByteArray heic(bool mm, const Heic &h = {}) {
    const auto n = [&](quint64 v) {
        return (h.taille == 8 ? be.u32(quint32(v >> 32)) : QByteArray()) + be.u32(quint32(v));
    };
    const auto id = [&](quint16 v) { return h.version == 2 ? be.u32(v) : be.u16(v); };
    const auto entree = [&](quint16 i, quint16 methode, quint64 place, quint64 longueur) {
        return id(i) + (h.version ? be.u16(methode) : QByteArray()) + be.u16(0)
               + (h.base ? n(place) + be.u16(1) + n(0) : be.u16(1) + n(place)) + n(longueur);
    };
    const auto infe = [](quint16 i, const QByteArray &type) {
        return box("infe", be.u32(0x02000000) + be.u16(i) + be.u16(0) + type);
    };
    const QByteArray item = h.saut + typique(mm).tiff();
    const QByteArray iinf = be.u32(0) + be.u16(2) + infe(1, "hvc1") + infe(2, h.type);
    QByteArray f;
    for (qsizetype place = -1; place != f.size() - item.size();) { // until the item stays put
        place = f.size() - item.size();
        const QByteArray iloc = be.u32(quint32(h.version) << 24)
                                + be.u16(quint16(h.taille * 0x1100 | (h.base ? h.taille : 0) << 4))
                                + id(2) + entree(1, 0, 0, 9)
                                + entree(2, h.methode, quint64(place), quint64(item.size()));
        f = box("ftyp", QByteArray("heic\0\0\0\0", 8))
            + box("meta", be.u32(0) + box("hdlr", QByteArray(24, 'h')) + box("iinf", iinf)
                              + box("iloc", iloc), h.forme)
            + box("mdat", item);
    }
    return f;
}
// RAF: a header giving the place and length of the JPEG that holds the EXIF block.
QByteArray raf(bool mm, qint64 place = 0x64) {
    const QByteArray jpeg = typique(mm).jpeg();
    return QByteArray("FUJIFILMCCD-RAW ").leftJustified(0x54, '0') + be.u32(quint32(place))
           + be.u32(quint32(jpeg.size())) + QByteArray(8, 0) + jpeg;
}
QByteArray tailleBoite(QByteArray f, const char *type, quint32 v) {
    return f.replace(f.indexOf(type) - 4, 4, be.u32(v));
}
QByteArray issue(const ExifReader &r) {
    return r.Statut.toUtf8() + ' ' + QByteArray::number(r.ValLux) + ' '
           + QByteArray::number(r.ValEV) + ' ' + r.ExifMarque;
}
} // namespace

class TestExifOctets : public QObject {
    Q_OBJECT
private slots:
    void reads_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<double>("lux"); // 1: some light level
        QTest::addColumn<double>("speed");
        QTest::addColumn<double>("iso");
        QTest::addColumn<QByteArray>("make");
        const char *o = ""; // the byte order, in the rows' names
        // Speed and ISO count when there is light; the make is Canon's unless a status says none.
        const auto row = [&o](const char *name, const QByteArray &bytes, double lux,
                              double speed = 0.004, double iso = 400,
                              std::optional<QByteArray> make = {}) {
            QTest::addRow("%s%s", name, o) << bytes << lux << (lux > 0 ? speed : -1)
                                           << (lux > 0 ? iso : -1)
                                           << make.value_or(lux >= 0 ? kCanon : QByteArray());
        };
        const QByteArray soi("\xFF\xD8"), app0 = soi + QByteArray("\xFF\xE0\0\4" "ab", 6);
        const QByteArray e2 = ExifBuilder::segment(0xE2, 3);
        row("FF alone", "\xFF", -2);
        row("APP1 that is XMP", soi + ExifBuilder::segment(0xE1, 30, 'x'), -5);
        // A segment is stepped over when a marker follows it; else read on as if APP1 followed.
        row("segment, then a marker", app0 + "\xFF\xD9", -4);
        row("segment, then one byte", app0 + "\xFF", -5);
        row("segment past the end, then Exif",
            soi + "\xFF\xE0\x7F\xFF" + QByteArray("Exif\0\0", 6) + typique(false).tiff(), 4900);
        row("APP1 as the 50th marker", typique(false).jpeg(e2.repeated(49)), 4900);
        row("APP1 as the 51st marker", typique(false).jpeg(e2.repeated(50)), -4);
        for (bool mm : {false, true}) {
            o = mm ? ", MM" : ", II";
            const auto avec = [mm](auto change) {
                ExifBuilder b = typique(mm);
                change(b);
                return b.jpeg();
            };
            row("typical", typique(mm).jpeg(), 4900);
            row("no exposure time", avec([](auto &b) { b.exif.removeAt(0); }), 0);
            row("no f-number", avec([](auto &b) { b.exif.removeAt(1); }), 0);
            row("no ISO", avec([](auto &b) { b.exif.removeAt(2); }), 0);
            row("no Exif pointer", avec([](auto &b) { b.pointerToExif = false; }), 0);
            // A value offset beyond 2 000 000 000 ends the directory there.
            for (quint32 v : {2'000'000'000u, 2'000'000'001u})
                row(v & 1 ? "offset past the limit" : "offset at the limit", avec([v](auto &b) {
                        b.exif.insert(2, b.rawOffset(0x9286, 2, 20, v));
                    }), v & 1 ? 0 : 1);
            using V = std::tuple<const char *, quint32, quint32, quint16, double>;
            for (const auto &[name, num, den, type, speed] :
                 {V{"1/0", 1, 0, 5, -1}, V{"unsigned 2^31/1", 0x80000000u, 1, 5, 2147483648.0},
                  V{"signed -1/-125", 0xFFFFFFFFu, 0xFFFFFF83u, 10, 0.008},
                  V{"signed -2^31/1", 0x80000000u, 1, 10, -1},
                  V{"signed (2^31-1)/(2^31-1)", 0x7FFFFFFFu, 0x7FFFFFFFu, 10, 1},
                  V{"signed 1/0", 1, 0, 10, -1}})
                row(name, avec([&](auto &b) { b.exif[0] = b.rational(0x829A, num, den, type); }),
                    speed > 0, speed);
            // Pentax (Asahi) keeps the ISO big-endian at bytes 238-239 of its maker note.
            using N = std::tuple<const char *, QByteArray, int, double>;
            for (const auto &[name, make, taille, iso] :
                 {N{"Asahi, ISO in the note", QByteArray("Asahi Optical Co.,Ltd\0", 22), 240, 300},
                  N{"Asahi, note of 239 bytes", "Asahi", 239, 1},
                  N{"Pentax", "PENTAX", 240, 400}}) {
                const QByteArray note = QByteArray(238, '\x11') + QByteArray("\x01\x2C", 2);
                row(name, avec([&](auto &b) {
                        b.ifd0 = {b.ascii(0x010F, make)};
                        b.exif.append({0x927C, 7, quint32(taille), note.left(taille)});
                    }), iso > 0, 0.004, iso, make);
            }
            const QByteArray m(200000, 'M'), j = typique(mm).jpeg();
            row("make cut at 64 KB", avec([&](auto &b) { b.ifd0 = {b.ascii(0x010F, m)}; }), 1,
                0.004, 400, m.left(65536));
            const auto reste = quint32(j.size() - j.indexOf(kCanon));
            for (quint32 n : {reste, reste + 1})
                row(n == reste ? "make to the last byte" : "make one byte past",
                    avec([n](auto &b) { b.ifd0 = {{0x010F, 2, n, kCanon}}; }), 1, 0.004, 400,
                    n == reste ? j.right(reste) : QByteArray());
            // Other files holding the same block, told by their first bytes.
            const auto marque = [mm](QByteArray tiff, const char *ii, const char *m) {
                return tiff.replace(0, 4, QByteArray(mm ? m : ii, 4));
            };
            ExifBuilder rw2 = typique(mm);
            rw2.ifd0.append(rw2.shortInline(0x0017, 80)), rw2.exif.removeAt(2);
            // A JPEG's first directory where its TIFF header puts it: last, zeros in its place.
            QByteArray t = typique(mm).tiff(), premier = t.mid(8, 30); // make, Exif pointer
            t = t.replace(8, 30, QByteArray(30, '\0')) + premier;
            t.replace(4, 4, ExifBuilder(mm).u32(quint32(t.size() - 30)));
            t.prepend(QByteArray("Exif\0\0", 6));
            t.prepend("\xFF\xD8\xFF\xE1" + be.u16(quint16(t.size() + 2)));
            row("JPEG, first directory last", t, 4900);
            row("TIFF", typique(mm).tiff(), 4900);
            row("ORF", marque(typique(mm).tiff(), "IIRO", "MMOR"), 4900);
            row("ORF, other mark", marque(typique(mm).tiff(), "IIRS", "MMSR"), 4900);
            row("RW2, ISO in IFD0", marque(rw2.tiff(), "IIU\0", "MM\0U"), 1, 0.004, 80);
            row("TIFF, tag 0017 is no ISO", rw2.tiff(), 0);
            row("BigTIFF", marque(typique(mm).tiff(), "II+\0", "MM\0+"), -2);
            row("RAF", raf(mm), 4900);
            row("RAF, preview past the end", raf(mm, 100000), -3);
            row("RAF, preview not a JPEG", raf(mm, 0x50), -4);
            row("CR3", cr3(mm), 4900);
            row("CR3, CMT2 not a TIFF", cr3(mm, QByteArray(8, 'I')), -5, 0, 0, kCanon);
            row("CR3, no CMT box", cr3(mm).replace("CMT", "CMX"), -4);
            row("HEIC", heic(mm), 4900);
            row("HEIC, iloc 1, 8-byte base", heic(mm, {.version = 1, .taille = 8, .base = true}),
                4900);
            row("HEIC, iloc 2, base, meta to the end",
                heic(mm, {.version = 2, .base = true, .forme = '0'}), 4900);
            row("HEIC, 64-bit meta size", heic(mm, {.forme = '1'}), 4900);
            row("HEIC, item in idat", heic(mm, {.version = 1, .methode = 1}), -4);
            row("HEIC, no offset", heic(mm, {.saut = QByteArray("Exif\0\0", 6)}), 4900);
            row("HEIC, offset 0", heic(mm, {.saut = QByteArray("\0\0\0\0Exif\0\0", 10)}), 4900);
            row("HEIC, TIFF offset past the item", heic(mm, {.saut = be.u32(4000)}), -5);
            row("HEIC, no Exif item", heic(mm, {.type = "mime"}), -4);
            row("HEIC, meta past the end", tailleBoite(heic(mm), "meta", 1u << 30), 4900);
            row("HEIC, meta shorter than its header", tailleBoite(heic(mm), "meta", 7), -4);
            row("HEIC, iloc cut", tailleBoite(heic(mm), "iloc", 30), -4);
            row("HEIC, cut at its item", heic(mm).chopped(typique(mm).tiff().size() + 10), -3);
        }
    }
    // Read by a reader that has just read another photo: nothing of it stays.
    void reads() {
        QFETCH(QByteArray, bytes); QFETCH(double, lux); QFETCH(double, speed); QFETCH(double, iso);
        ExifReader r;
        r.AnalyseOctets(typique(true).jpeg()), r.AnalyseOctets(bytes);
        QCOMPARE(lux == 1 ? double(r.ValLux > 0) : r.ValLux, lux);
        QCOMPARE((QList<double>{r.ValSpeed, r.ValDiaf, r.ValIso}),
                 (QList<double>{speed, speed > 0 ? 5.6 : -1, iso}));
        QCOMPARE(r.ValEV, speed > 0 ? std::log2(5.6 * 5.6 / speed / iso * 100) : -100.0);
        QTEST(r.ExifMarque, "make");
        QVERIFY(r.Statut.isEmpty());
        QCOMPARE(r.octetsLus(), qint64(0));
    }
    // The f-number's denominator is the last four bytes, from memory and from a file.
    void lastByteOfTheFile() {
        QCOMPARE(ExifReader::Nb(QByteArray("\xFF\x02\xE1")) + ExifReader::Nb({}), 0xFF02E1ull);
        QCOMPARE(ExifReader::sHex(QByteArray("\xFF\xE1\x08", 3)) + ExifReader::sHex({}),
                 "FF E1 08");
        QTemporaryDir dir;
        QFile f(dir.filePath("Vacances, été.JPG"));
        for (int manque : {0, 1}) {
            const QByteArray bytes = ("\xFF\xD8" + typique(manque).app1()).chopped(manque);
            QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            QCOMPARE(f.write(bytes), bytes.size());
            f.close();
            ExifReader m, d;
            m.AnalyseOctets(bytes), d.AnalysePhoto(f.fileName());
            QCOMPARE(issue(d), issue(m));
            QCOMPARE(issue(m), (manque ? ExifReader::kDepassement.toUtf8() + " 0 -100 Canon"
                                       : QByteArray(" 4900 10.9366 Canon")) + '\0');
            QVERIFY(d.octetsLus() > 0);
            QVERIFY(d.octetsLus() <= 4096);
        }
    }
    // Cut anywhere or with a lying box size: a status, or the light of the whole file.
    void damaged() {
        const auto lux = [](const QByteArray &v) {
            ExifReader r;
            r.AnalyseOctets(v);
            return r.ValLux;
        };
        for (bool mm : {false, true}) {
            for (const QByteArray &f : {typique(mm).tiff(), raf(mm), cr3(mm),
                                        heic(mm, {.version = 2, .taille = 8, .base = true})}) {
                QList<QByteArray> variantes;
                for (qsizetype n = 0; n < f.size(); ++n)
                    variantes.append(f.first(n));
                for (const char *type : {"moov", "uuid", "CMT1", "CMT2", "meta", "hdlr", "iinf",
                                         "infe", "iloc", "mdat"})
                    for (quint32 v : {1u, 8u, 9u, 23u, 0x7FFFFFFFu, 0xFFFFFFFFu})
                        variantes.append(f.contains(type) ? tailleBoite(f, type, v) : f);
                for (const QByteArray &v : variantes)
                    QVERIFY2(QList<double>({-5, -4, -3, -2, 0, 4900}).contains(lux(v)),
                             v.toHex().constData());
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestExifOctets)
#include "tst_exifoctets.moc"
