// The previews of RAW files (real files, byte-built TIFFs and every prefix of them) and HEIF
// photos made here.
#include "ExifBuilder.h"
#include "photos/vignettes/ApercuRaw.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#ifdef KAVEL_HEIF
#include <libheif/heif.h>
// The system's x265 (3.5) loses one parameter block per encoder it opens; only this test encodes.
extern "C" const char *__lsan_default_suppressions() { return "leak:libx265\n"; }
#endif

using namespace kavel;
namespace {
QByteArray jpeg(int cote) {
    QImage image(cote, cote, QImage::Format_RGB32);
    QBuffer buffer;
    image.fill(Qt::darkCyan), buffer.open(QIODevice::WriteOnly), image.save(&buffer, "JPEG");
    return buffer.data();
}
// A TIFF: IFD0 (a SubIFD holding `grand` as a single strip of compression 7), then IFD1 (`petit`
// as a JPEGInterchangeFormat).
QByteArray tiff(bool mm, const QByteArray &petit, const QByteArray &grand) {
    const ExifBuilder b(mm);
    const auto entree = [&](quint16 tag, quint16 type, quint32 v) {
        return b.u16(tag) + b.u16(type) + b.u32(1)
               + (type == 3 ? b.u16(quint16(v)) + b.u16(0) : b.u32(v));
    };
    const quint32 petitIci = 110, grandIci = petitIci + quint32(petit.size());
    return (mm ? "MM" : "II") + b.u16(42) + b.u32(8)
           + b.u16(2) + entree(0x0103, 3, 1) + entree(0x014A, 4, 38) + b.u32(80)
           + b.u16(3) + entree(0x0103, 3, 7) + entree(0x0111, 4, grandIci)
           + entree(0x0117, 4, quint32(grand.size())) + b.u32(0)
           + b.u16(2) + entree(0x0201, 4, petitIci) + entree(0x0202, 4, quint32(petit.size()))
           + b.u32(0) + petit + grand;
}
// A CR3: Canon's uuid box in moov holding a THMB with `petit`, then a top-level uuid box holding
// a PRVW with `grand`.
QByteArray cr3(const QByteArray &petit, const QByteArray &grand, const QByteArray &cmt1 = {}) {
    const ExifBuilder be(true);
    const auto box = [&](const char *type, const QByteArray &contenu) {
        return be.u32(quint32(8 + contenu.size())) + type + contenu;
    };
    const QByteArray canon("\x85\xC0\xB6\x87\x82\x0F\x11\xE0\x81\x11\xF4\xCE\x46\x2B\x6A\x48", 16);
    const QByteArray autre(16, 'Z');
    const QByteArray thmb = be.u32(0) + be.u16(160) + be.u16(120) + be.u32(quint32(petit.size()))
                            + be.u32(0) + petit;
    const QByteArray prvw = be.u32(0) + be.u16(1) + be.u16(1620) + be.u16(1080) + be.u16(1)
                            + be.u32(quint32(grand.size())) + grand;
    const QByteArray premier = cmt1.isEmpty() ? cmt1 : box("CMT1", cmt1);
    const QByteArray moov = box("uuid", canon + premier + box("THMB", thmb));
    return box("ftyp", QByteArray("crx ").leftJustified(8, 0)) + box("moov", moov)
           + box("uuid", autre + QByteArray(8, 0) + box("PRVW", prvw));
}
QString ecrit(const QTemporaryDir &dir, const QByteArray &octets,
              const QString &nom = QStringLiteral("photo")) {
    QFile f(dir.filePath(nom));
    return f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size() ? f.fileName()
                                                                           : QString();
}
// Little-endian TIFF directories at 8, 64, 128 ... (four entries at most), then
// `donnees` at 512; a directory's entries are (tag, type, count, value), its last number its link.
QByteArray repertoires(const char *tete, const QList<QList<QList<quint32>>> &reps,
                       const QByteArray &donnees) {
    const ExifBuilder b(false);
    QByteArray t = QByteArray(tete, 4) + b.u32(8);
    for (const QList<QList<quint32>> &r : reps) {
        t = t.leftJustified(t.size() > 8 ? 64 * (t.size() / 64 + 1) : 8, '\0')
            + b.u16(quint16(r.size() - 1));
        for (const QList<quint32> &e : r.first(r.size() - 1))
            t += b.u16(quint16(e[0])) + b.u16(quint16(e[1])) + b.u32(e[2]) + b.u32(e[3]);
        t += b.u32(r.last().first());
    }
    return t.leftJustified(512, '\0') + donnees;
}
using Plage = QPair<qint64, qint64>; // (0, 0): no preview
Plage plage(const QString &path) {
    const auto p = apercuRaw(path);
    return p ? Plage(p->debut, p->longueur) : Plage(0, 0);
}
} // namespace

class TestApercus : public QObject {
    Q_OBJECT
private slots:
    // Files with their image data stripped: only the JPEGs left whole are found, the RAF's and the
    // RW2's JpgFromRaw (0x2E).
    void fichiersReels_data() {
        QTest::addColumn<QString>("nom"), QTest::addColumn<Plage>("attendue");
        for (const char *nom : {"CanonRaw.cr2", "CanonRaw.cr3", "DNG.dng", "Nikon.nef",
                                "PhaseOne.iiq", "QuickTime.heic"})
            QTest::newRow(nom) << nom << Plage(0, 0);
        QTest::newRow("FujiFilm.raf") << "FujiFilm.raf" << Plage(148, 12167);
        QTest::newRow("Panasonic.rw2") << "Panasonic.rw2" << Plage(1536, 10785);
    }
    void fichiersReels() {
        QFETCH(QString, nom);
        QFETCH(Plage, attendue);
        const QString path = QStringLiteral(KAVEL_SHARED_DIR "/exif-raw/") + nom;
        if (!QFile::exists(path))
            QSKIP("../shared/exif-raw is absent");
        QCOMPARE(plage(path), attendue);
    }
    // The larger JPEG wins; a lossless JPEG (a RAW's sensor data) is no preview; a file cut
    // anywhere gives what lies whole.
    void construits_data() {
        QTest::addColumn<QByteArray>("fichier");
        QTest::addColumn<Plage>("petite");
        QTest::addColumn<Plage>("grande");
        const QByteArray petit = jpeg(16), grand = jpeg(64);
        const QByteArray sansPerte = QByteArray(grand).replace("\xFF\xC0", "\xFF\xC3");
        const auto rangee = [&](const char *nom, const QByteArray &f, qint64 ici, bool grandeVue) {
            const Plage p(ici, petit.size());
            QTest::newRow(nom) << f << p
                               << (grandeVue ? Plage(f.size() - grand.size(), grand.size()) : p);
        };
        rangee("II", tiff(false, petit, grand), 110, true);
        rangee("MM", tiff(true, petit, grand), 110, true);
        rangee("II lossless", tiff(false, petit, sansPerte), 110, false);
        rangee("CR3", cr3(petit, grand), 72, true);
    }
    void construits() {
        QFETCH(QByteArray, fichier);
        QFETCH(Plage, petite);
        QFETCH(Plage, grande);
        QTemporaryDir dir;
        const QString path = ecrit(dir, fichier);
        QCOMPARE(plage(path), grande);
        const int cote = grande.second == petite.second ? 16 : 64;
        QCOMPARE(apercuRaw(path)->pixels, QSize(cote, cote));
        for (qsizetype n = fichier.size() - 1; n >= 0; --n) {
            QVERIFY(QFile::resize(path, n));
            const Plage trouvee = plage(path);
            QVERIFY2(trouvee == (n >= petite.first + petite.second ? petite : Plage(0, 0)),
                     qPrintable(QStringLiteral("cut at %1: %2 + %3")
                                    .arg(n)
                                    .arg(trouvee.first)
                                    .arg(trouvee.second)));
        }
    }
    // Where the walk goes: SubIFD lists, a chain that loops, an RW2's JpgFromRaw, a RAF's header.
    void chemins_data() {
        QTest::addColumn<QByteArray>("fichier"), QTest::addColumn<Plage>("attendue");
        const QByteArray j = jpeg(24);
        const quint32 n = quint32(j.size());
        const QList<quint32> fin{0}, jpg{0x201, 4, 1, 512}, lg{0x202, 4, 1, n};
        const QByteArray liste = repertoires("II*\0", {{{0x14A, 4, 3, 200}, fin}, {fin},
            {jpg, lg, fin}, {fin}}, j);
        QTest::newRow("SubIFDs") << QByteArray(liste).replace(200, 12,
            QByteArray::fromHex("4000000080000000c0000000")) << Plage(512, n);
        QTest::newRow("looping chain") << repertoires("II*\0", {{{8}}}, j) << Plage(0, 0);
        QTest::newRow("chain") << repertoires("II*\0", {{{64}}, {jpg, lg, {8}}}, j)
                               << Plage(512, n);
        QTest::newRow("RW2") << repertoires("IIU\0", {{{0x2E, 7, n, 512}, fin}}, j)
                             << Plage(512, n);
        QTest::newRow("not RW2") << repertoires("II*\0", {{{0x2E, 7, n, 512}, fin}}, j)
                                 << Plage(0, 0);
        const ExifBuilder mm(true);
        const QByteArray raf = QByteArray("FUJIFILMCCD-RAW ").leftJustified(0x54, '0');
        QTest::newRow("RAF") << raf + mm.u32(100) + mm.u32(n) + QByteArray(8, 0) + j
                             << Plage(100, n);
        QTest::newRow("RAF cut") << raf + mm.u32(100) + mm.u32(n + 1) + QByteArray(8, 0) + j
                                 << Plage(0, 0);
    }
    void chemins() {
        QFETCH(QByteArray, fichier);
        QTemporaryDir dir;
        QTEST(plage(ecrit(dir, fichier)), "attendue");
    }
    // How the photo is turned upright, from the raw's first directory (a CR3's CMT1): 1 to 8,
    // else 0.
    void orientation_data() {
        QTest::addColumn<QByteArray>("fichier"), QTest::addColumn<int>("orientation");
        for (const auto &[valeur, attendue] : {std::pair(6, 6), {8, 8}, {9, 0}, {0, 0}}) {
            ExifBuilder b(valeur == 8);
            if (valeur)
                b.ifd0 = {b.shortInline(0x0112, quint16(valeur))};
            b.pointerToExif = false;
            const QByteArray cmt1 = b.tiff();
            b.preview = jpeg(16);
            QTest::addRow("TIFF, %d", valeur) << b.tiff() << attendue;
            QTest::addRow("CR3, %d", valeur) << cr3(jpeg(16), jpeg(32), cmt1) << attendue;
        }
    }
    void orientation() {
        QFETCH(QByteArray, fichier); QFETCH(int, orientation);
        QTemporaryDir dir;
        const std::optional<PlageApercu> p = apercuRaw(ecrit(dir, fichier));
        QCOMPARE(p ? p->orientation : -1, orientation);
    }
#ifdef KAVEL_HEIF
    // A HEIC made here: red, 64 x 48, with a blue 32 x 24 thumbnail used for small pictures only.
    void heic() {
        if (!heifDisponible() || !heif_have_encoder_for_format(heif_compression_HEVC))
            QSKIP("no HEVC codec");
        const auto image = [](QRgb c) {
            heif_image *i = nullptr;
            int pas = 0;
            heif_image_create(64, 48, heif_colorspace_RGB, heif_chroma_interleaved_RGB, &i);
            heif_image_add_plane(i, heif_channel_interleaved, 64, 48, 8);
            for (uint8_t *p = heif_image_get_plane(i, heif_channel_interleaved, &pas),
                         *fin = p + 48 * pas;
                 p < fin; p += 3)
                p[0] = uint8_t(qRed(c)), p[1] = uint8_t(qGreen(c)), p[2] = uint8_t(qBlue(c));
            return i;
        };
        heif_image *rouge = image(qRgb(220, 40, 30)), *bleu = image(qRgb(30, 40, 220));
        heif_context *ctx = heif_context_alloc();
        heif_encoder *encodeur = nullptr;
        heif_image_handle *principale = nullptr, *vignette = nullptr;
        QTemporaryDir dir;
        const QString path = dir.filePath("photo.heic");
        const bool ecrite =
            heif_context_get_encoder_for_format(ctx, heif_compression_HEVC, &encodeur).code
                == heif_error_Ok
            && heif_encoder_set_lossy_quality(encodeur, 90).code == heif_error_Ok
            && heif_context_encode_image(ctx, rouge, encodeur, nullptr, &principale).code
                   == heif_error_Ok
            && heif_context_encode_thumbnail(ctx, bleu, principale, encodeur, nullptr, 32,
                                             &vignette).code
                   == heif_error_Ok
            && heif_context_write_to_file(ctx, QFile::encodeName(path).constData()).code
                   == heif_error_Ok;
        heif_image_handle_release(vignette);
        heif_image_handle_release(principale);
        heif_image_release(bleu);
        heif_image_release(rouge);
        heif_encoder_release(encodeur);
        heif_context_free(ctx);
        QVERIFY(ecrite);
        QCOMPARE(tailleHeif(path), QSize(64, 48));
        for (const auto &[voulue, couleur] : {std::pair(QSize(20, 15), qRgb(30, 40, 220)),
                                              std::pair(QSize(48, 36), qRgb(220, 40, 30))}) {
            const QImage decodee = decodeHeif(path, voulue);
            QCOMPARE(decodee.size(), voulue);
            const QRgb c = decodee.pixel(voulue.width() / 2, voulue.height() / 2);
            QVERIFY2(qAbs(qRed(c) - qRed(couleur)) + qAbs(qGreen(c) - qGreen(couleur))
                             + qAbs(qBlue(c) - qBlue(couleur))
                         < 40,
                     qPrintable(QString::number(c, 16)));
        }
        QVERIFY(decodeHeif(ecrit(dir, "not a HEIF file", "faux.heic"), {8, 8}).isNull());
        const QString sansImage = QStringLiteral(KAVEL_SHARED_DIR "/exif-raw/QuickTime.heic");
        QVERIFY(decodeHeif(sansImage, {8, 8}).isNull());
        // its boxes are whole, its coded data is not
        QCOMPARE(tailleHeif(sansImage), QSize(1596, 1064));
    }
#endif
};

QTEST_GUILESS_MAIN(TestApercus)
#include "tst_apercus.moc"
