// Previews of RAW files (real, byte-built, every prefix of them) and of HEIF photos made here.
#include "ExifBuilder.h"
#include "photos/vignettes/ApercuRaw.h"

#include <QtTest>
#ifdef KAVEL_HEIF
#include <libheif/heif.h>
// The system's x265 (3.5) loses one parameter block per encoder it opens; only this test encodes.
extern "C" const char *__lsan_default_suppressions() { return "leak:libx265\n"; }
#endif

using namespace kavel;
namespace {
const ExifBuilder be(true);
QByteArray jpeg(int cote) {
    QImage image(cote, cote, QImage::Format_RGB32);
    QBuffer buffer;
    image.fill(Qt::darkCyan), buffer.open(QIODevice::WriteOnly), image.save(&buffer, "JPEG");
    return buffer.data();
}
// TIFF directories at 8, 64, 128 ...
QByteArray repertoires(const char *tete, const QList<QList<QList<quint32>>> &reps,
                       const QByteArray &donnees) {
    const ExifBuilder b(tete[0] == 'M');
    QByteArray t = QByteArray(tete, 4) + b.u32(8);
    for (const QList<QList<quint32>> &r : reps) {
        t = t.leftJustified(t.size() > 8 ? 64 * (t.size() / 64 + 1) : 8, '\0')
            + b.u16(quint16(r.size() - 1));
        for (const QList<quint32> &e : r.first(r.size() - 1))
            t += b.u16(quint16(e[0])) + b.u16(quint16(e[1])) + b.u32(e[2])
                 + (e[1] == 3 ? b.u16(quint16(e[3])) + b.u16(0) : b.u32(e[3]));
        t += b.u32(r.last().first());
    }
    return t.leftJustified(512, '\0') + donnees;
}
// IFD0 has a SubIFD holding `grand` as a single strip of compression 7, and links to IFD1 holding
// `petit` as a JPEGInterchangeFormat.
QByteArray tiff(const char *tete, const QByteArray &petit, const QByteArray &grand) {
    const auto p = quint32(petit.size()), g = quint32(grand.size());
    return repertoires(tete, {{{0x103, 3, 1, 1}, {0x14A, 4, 1, 64}, {128}},
                              {{0x103, 3, 1, 7}, {0x111, 4, 1, 512 + p}, {0x117, 4, 1, g}, {0}},
                              {{0x201, 4, 1, 512}, {0x202, 4, 1, p}, {0}}}, petit + grand);
}
// A CR3: Canon's uuid box in moov holding a CMT1 and a THMB with `petit`, then a top-level uuid box
// holding a PRVW with `grand`.
QByteArray cr3(const QByteArray &petit, const QByteArray &grand, const QByteArray &cmt1 = {}) {
    const auto box = [](const char *type, const QByteArray &contenu) {
        return be.u32(quint32(8 + contenu.size())) + type + contenu;
    };
    const auto apercu = [&](const char *type, int ici, const QByteArray &j) {
        return box(type,
                   QByteArray(ici, 0) + be.u32(quint32(j.size())).leftJustified(16 - ici, 0) + j);
    };
    const QByteArray canon = QByteArray::fromHex("85C0B687820F11E08111F4CE462B6A48");
    const QByteArray premier = cmt1.isEmpty() ? cmt1 : box("CMT1", cmt1); // none: no EXIF data
    const QByteArray moov = box("uuid", canon + premier + apercu("THMB", 8, petit));
    return box("ftyp", QByteArray("crx \0\0\0\0", 8)) + box("moov", moov)
           + box("uuid", QByteArray(24, 'Z') + apercu("PRVW", 12, grand));
}
std::optional<PlageApercu> apercu(const QByteArray &fichier) {
    SourceMemoire source(fichier);
    return apercuRaw(source);
}
using Plage = QPair<qint64, qint64>; // (0, 0): no preview
Plage plage(const std::optional<PlageApercu> &p) {
    return p ? Plage(p->debut, p->longueur) : Plage(0, 0);
}
} // namespace

class TestApercus : public QObject {
    Q_OBJECT
private slots:
    // Image data stripped: only the RAF's preview and the RW2's JpgFromRaw (0x2E) are whole.
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
        const QString path = QString(KAVEL_SHARED_DIR "/exif-raw/") + nom;
        if (!QFile::exists(path))
            QSKIP("../shared/exif-raw is absent");
        QTEST(plage(apercuRaw(path)), "attendue");
    }
    // The larger JPEG wins.
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
        rangee("II", tiff("II*\0", petit, grand), 512, true);
        rangee("MM", tiff("MM\0*", petit, grand), 512, true);
        rangee("II lossless", tiff("II*\0", petit, sansPerte), 512, false);
        rangee("CR3", cr3(petit, grand), 72, true);
    }
    void construits() {
        QFETCH(QByteArray, fichier);
        QFETCH(Plage, petite);
        QFETCH(Plage, grande);
        QCOMPARE(plage(apercu(fichier)), grande);
        const int cote = grande.second == petite.second ? 16 : 64;
        QCOMPARE(apercu(fichier)->pixels, QSize(cote, cote));
        for (qsizetype n = 0; n < fichier.size(); ++n)
            QVERIFY2(plage(apercu(fichier.first(n)))
                         == (n >= petite.first + petite.second ? petite : Plage(0, 0)),
                     qPrintable(QString::number(n)));
    }
    // Where the walk goes: SubIFD lists, a chain that loops, an RW2's JpgFromRaw, a RAF's header.
    void chemins_data() {
        QTest::addColumn<QByteArray>("fichier"), QTest::addColumn<Plage>("attendue");
        const QByteArray j = jpeg(24);
        const quint32 n = quint32(j.size());
        const QList<quint32> fin{0}, jpg{0x201, 4, 1, 512}, lg{0x202, 4, 1, n};
        const QList<quint32> raw{0x2E, 7, n, 512};
        const QByteArray liste = repertoires("II*\0", {{{0x14A, 4, 3, 200}, fin}, {fin},
            {jpg, lg, fin}, {fin}}, j);
        QTest::newRow("SubIFDs") << QByteArray(liste).replace(200, 12,
            QByteArray::fromHex("4000000080000000c0000000")) << Plage(512, n);
        QTest::newRow("looping chain") << repertoires("II*\0", {{{8}}}, j) << Plage(0, 0);
        QTest::newRow("chain") << repertoires("II*\0", {{{64}}, {jpg, lg, {8}}}, j)
                               << Plage(512, n);
        QTest::newRow("RW2") << repertoires("IIU\0", {{raw, fin}}, j) << Plage(512, n);
        QTest::newRow("not RW2") << repertoires("II*\0", {{raw, fin}}, j) << Plage(0, 0);
        const QByteArray raf = QByteArray("FUJIFILMCCD-RAW ").leftJustified(0x54) + be.u32(100);
        QTest::newRow("RAF") << raf + be.u32(n) + QByteArray(8, 0) + j << Plage(100, n);
        QTest::newRow("RAF cut") << raf + be.u32(n + 1) + QByteArray(8, 0) + j << Plage(0, 0);
    }
    void chemins() {
        QFETCH(QByteArray, fichier);
        QTEST(plage(apercu(fichier)), "attendue");
    }
    // Orientation from the raw's first directory (a CR3's CMT1): 1 to 8, else 0.
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
        QFETCH(QByteArray, fichier);
        const std::optional<PlageApercu> p = apercu(fichier);
        QTEST(p ? p->orientation : -1, "orientation");
    }
#ifdef KAVEL_HEIF
    // A HEIC made here: light, 64 x 48, with a dark 32 x 24 thumbnail used for small pictures only.
    void heic() {
        if (!heifDisponible() || !heif_have_encoder_for_format(heif_compression_HEVC))
            QSKIP("no HEVC codec");
        heif_image *im[2] = {};
        for (int i : {0, 1}) {
            heif_image_create(64, 48, heif_colorspace_monochrome, heif_chroma_monochrome, &im[i]);
            heif_image_add_plane(im[i], heif_channel_Y, 64, 48, 8);
            int pas = 0;
            uint8_t *y = heif_image_get_plane(im[i], heif_channel_Y, &pas);
            std::fill_n(y, 48 * pas, i ? 40 : 220);
        }
        heif_context *ctx = heif_context_alloc();
        heif_encoder *encodeur = nullptr;
        heif_image_handle *principale = nullptr, *vignette = nullptr;
        heif_context_get_encoder_for_format(ctx, heif_compression_HEVC, &encodeur);
        heif_context_encode_image(ctx, im[0], encodeur, nullptr, &principale);
        heif_context_encode_thumbnail(ctx, im[1], principale, encodeur, nullptr, 32, &vignette);
        QTemporaryDir dir;
        const QByteArray path = QFile::encodeName(dir.filePath("photo.heic"));
        const heif_error ecrite = heif_context_write_to_file(ctx, path.constData());
        heif_image_handle_release(vignette), heif_image_handle_release(principale);
        heif_image_release(im[0]), heif_image_release(im[1]);
        heif_encoder_release(encodeur), heif_context_free(ctx);
        QCOMPARE(ecrite.code, heif_error_Ok);
        QCOMPARE(tailleHeif(path), QSize(64, 48));
        for (const QSize voulue : {QSize(20, 15), QSize(48, 36)}) {
            const QImage decodee = decodeHeif(path, voulue);
            QCOMPARE(decodee.size(), voulue);
            QCOMPARE(qGray(decodee.pixel(10, 7)) < 128, voulue.width() <= 32);
        }
        const QString raw = QString(KAVEL_SHARED_DIR "/exif-raw/");
        QVERIFY(decodeHeif(raw + "README.md", {8, 8}).isNull());
        QVERIFY(decodeHeif(raw + "QuickTime.heic", {8, 8}).isNull());
        QCOMPARE(tailleHeif(raw + "QuickTime.heic"), QSize(1596, 1064)); // boxes whole, data not
    }
#endif
};

QTEST_GUILESS_MAIN(TestApercus)
#include "tst_apercus.moc"
