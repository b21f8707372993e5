// The JPEG previews camera RAW files carry, found by walking their TIFF
// directories or ISO boxes the way ExifConteneurs.cpp walks them for the
// EXIF block; and HEIF/HEIC/AVIF photos through the system's HEIF library.
#include "photos/vignettes/ApercuRaw.h"

#include "photos/FormatsPhoto.h"
#include "photos/vignettes/MemoireVignette.h"
#include "platform/FichierLecture.h"

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

#ifdef KAVEL_HEIF
#include <libheif/heif.h>
#endif

namespace kavel {

using namespace formats;

namespace {

// No preview is longer than this: anything longer is not one.
constexpr qint64 kMaxApercu = 64LL * 1024 * 1024;

// Bounds of the directory walk: directories read in all, entries read in
// one directory, sub-directories taken from one SubIFDs entry.
constexpr int kMaxRepertoires = 16;
constexpr quint32 kMaxEntrees = 1000;
constexpr quint32 kMaxSousRepertoires = 8;
constexpr size_t kMaxAttente = 64; // directories waiting to be read

// The tags that place a preview.
constexpr quint16 kTagRw2JpgFromRaw = 0x002E;
constexpr quint16 kTagCompression = 0x0103;
constexpr quint16 kTagStripOffsets = 0x0111;
constexpr quint16 kTagStripByteCounts = 0x0117;
constexpr quint16 kTagSubIfds = 0x014A;
constexpr quint16 kTagJpegDebut = 0x0201;
constexpr quint16 kTagJpegLongueur = 0x0202;
// How the photo is turned to be seen upright, in the first directory.
constexpr quint16 kTagOrientation = 0x0112;

// Bounds of the box walk: boxes read in one container.
constexpr int kMaxBoites = 64;

// A CR3's previews: "THMB" (160x120) in Canon's "uuid" box of "moov", after
// version and flags (4 bytes), width (2), height (2), JPEG length (4) and 4
// more bytes; "PRVW" (about 1620 pixels wide) in a top-level "uuid" box,
// after 8 bytes of that box, whose JPEG follows 4 bytes, 2, width (2),
// height (2), 2 and the JPEG length (4).
constexpr qint64 kEnteteVignetteCr3 = 16;
constexpr qint64 kPlaceLongueurCr3 = 8;
constexpr qint64 kPlaceLongueurPrvw = 12;
constexpr qint64 kAvantPrvw = 8;

// A JPEG's segments looked at for its frame header before giving up.
constexpr int kMaxSegments = 64;

// Numbers read from a file in one byte order; a read past the end gives
// nothing.
class Octets {
public:
    Octets(FichierLecture &fichier, bool motorola)
        : m_fichier(fichier)
        , m_mm(motorola)
    {
    }
    qint64 taille() const { return m_fichier.taille(); }
    bool lit(qint64 pos, qint64 n, QByteArray &out) { return m_fichier.lit(pos, n, out); }
    std::optional<quint64> nombre(qint64 pos, int n)
    {
        QByteArray b;
        if (!m_fichier.lit(pos, n, b))
            return std::nullopt;
        return nombre(b, 0, n);
    }
    quint64 nombre(const QByteArray &b, qsizetype pos, int n) const
    {
        quint64 v = 0;
        for (int i = 0; i < n; ++i) {
            const auto octet = quint8(b[pos + (m_mm ? i : n - 1 - i)]);
            v = v << 8 | octet;
        }
        return v;
    }

private:
    FichierLecture &m_fichier;
    bool m_mm;
};

// Whether the bytes from debut for longueur make a JPEG Qt can show: a
// start of image, then, before any scan, a Huffman or arithmetic frame
// that is not lossless (the lossless JPEG of a RAW's sensor data also
// starts with FF D8).
bool jpegAffichable(FichierLecture &fichier, qint64 debut, qint64 longueur)
{
    if (debut < 0 || longueur < 4 || longueur > kMaxApercu || longueur > fichier.taille() - debut)
        return false;
    const qint64 fin = debut + longueur;
    QByteArray b;
    if (!fichier.lit(debut, 2, b) || b != QByteArrayView("\xFF\xD8", 2))
        return false;
    qint64 pos = debut + 2;
    for (int n = 0; n < kMaxSegments && pos <= fin - 4; ++n) {
        b.clear();
        if (!fichier.lit(pos, 4, b) || quint8(b[0]) != 0xFF)
            return false;
        const auto marqueur = quint8(b[1]);
        if (marqueur == 0xFF) { // fill byte
            ++pos;
            continue;
        }
        switch (marqueur) {
        case 0xC0: case 0xC1: case 0xC2: case 0xC9: case 0xCA:
            return true;
        case 0xC3: case 0xC5: case 0xC6: case 0xC7: case 0xCB: case 0xCD: case 0xCE: case 0xCF:
        case 0xDA: case 0xD9:
            return false; // lossless or hierarchical frame, or no frame at all
        default:
            break;
        }
        pos += 2 + (quint16(quint8(b[2])) << 8 | quint8(b[3]));
    }
    return false;
}

// The largest showable JPEG among those offered.
struct Meilleur {
    FichierLecture &fichier;
    std::optional<PlageApercu> plage;
    void propose(qint64 debut, qint64 longueur)
    {
        if (plage && longueur <= plage->longueur)
            return;
        if (jpegAffichable(fichier, debut, longueur))
            plage = PlageApercu{debut, longueur};
    }
};

// One directory entry: tag, type, count and the 4-byte value field.
struct Entree {
    quint16 tag;
    quint16 type;
    quint32 nombre;
    quint64 valeur; // the field read as a number of the entry's type
    quint64 champ;  // the field read as a 4-byte offset
};

// The single number of a SHORT, LONG or IFD entry holding one value.
std::optional<quint64> valeurSimple(const Entree &e)
{
    if (e.nombre != 1 || (e.type != 3 && e.type != 4 && e.type != 13))
        return std::nullopt;
    return e.valeur;
}

// The Orientation in the first directory of the TIFF block that starts at
// debut (offsets counted from there): 1 to 8, 0 when it gives none. The
// directory's tags come in ascending order.
int orientationTiff(FichierLecture &fichier, qint64 debut)
{
    QByteArray tete;
    if (!fichier.lit(debut, 8, tete) || marqueTiff(tete) == 0)
        return 0;
    Octets o(fichier, tete[0] == 'M');
    const qint64 place = debut + qint64(o.nombre(tete, 4, 4));
    const quint64 n = std::min<quint64>(o.nombre(place, 2).value_or(0), kMaxEntrees);
    for (quint64 i = 0; i < n; ++i) {
        QByteArray e;
        if (!o.lit(place + 2 + 12 * qint64(i), 12, e) || o.nombre(e, 0, 2) > kTagOrientation)
            return 0;
        if (o.nombre(e, 0, 2) == kTagOrientation) {
            const bool court = o.nombre(e, 2, 2) == 3 && o.nombre(e, 4, 4) == 1; // one SHORT
            const quint64 v = court ? o.nombre(e, 8, 2) : 0;
            return v >= 1 && v <= 8 ? int(v) : 0;
        }
    }
    return 0;
}

// The TIFF based RAWs: IFD0, the chain of directories after it and the
// SubIFDs of each, every directory read once.
void chercheTiff(FichierLecture &fichier, bool motorola, quint16 marque, Meilleur &meilleur)
{
    Octets o(fichier, motorola);
    std::vector<quint64> aLire, lus;
    if (const auto premier = o.nombre(4, 4))
        aLire.push_back(*premier);
    while (!aLire.empty() && int(lus.size()) < kMaxRepertoires) {
        const quint64 place = aLire.front();
        aLire.erase(aLire.begin());
        if (std::find(lus.begin(), lus.end(), place) != lus.end())
            continue;
        lus.push_back(place);
        const auto taille = static_cast<quint64>(o.taille());
        if (place < 8 || place >= taille)
            continue;
        const auto nEntrees = o.nombre(qint64(place), 2);
        if (!nEntrees)
            continue;
        // A directory cut short by the end of the file keeps its whole
        // entries.
        const quint64 tienent = (taille - place - 2) / 12;
        const auto n = static_cast<qint64>(std::min<quint64>({*nEntrees, kMaxEntrees, tienent}));
        QByteArray r;
        if (!o.lit(qint64(place) + 2, 12 * n, r))
            continue;
        if (n == qint64(*nEntrees)) {
            if (const auto suivant = o.nombre(qint64(place) + 2 + 12 * n, 4); suivant && *suivant != 0)
                aLire.push_back(*suivant);
        }
        std::optional<quint64> compression, debutBande, longueurBande, debutJpeg, longueurJpeg;
        for (qint64 i = 0; i < n; ++i) {
            const qsizetype p = 12 * i;
            Entree e{quint16(o.nombre(r, p, 2)), quint16(o.nombre(r, p + 2, 2)), quint32(o.nombre(r, p + 4, 4)), 0,
                     o.nombre(r, p + 8, 4)};
            e.valeur = e.type == 3 ? o.nombre(r, p + 8, 2) : e.champ;
            switch (e.tag) {
            case kTagCompression: compression = valeurSimple(e); break;
            case kTagStripOffsets: debutBande = valeurSimple(e); break;
            case kTagStripByteCounts: longueurBande = valeurSimple(e); break;
            case kTagJpegDebut: debutJpeg = valeurSimple(e); break;
            case kTagJpegLongueur: longueurJpeg = valeurSimple(e); break;
            case kTagRw2JpgFromRaw:
                if (marque == kMarqueRw2 && e.type == 7 && e.nombre > 4)
                    meilleur.propose(qint64(e.champ), qint64(e.nombre));
                break;
            case kTagSubIfds:
                if (aLire.size() >= kMaxAttente) {
                    break;
                } else if ((e.type == 4 || e.type == 13) && e.nombre == 1) {
                    aLire.push_back(e.champ);
                } else if ((e.type == 4 || e.type == 13) && e.nombre > 1) {
                    const quint32 k = std::min(e.nombre, kMaxSousRepertoires);
                    QByteArray places;
                    if (e.champ < taille && o.lit(qint64(e.champ), 4 * qint64(k), places)) {
                        for (quint32 j = 0; j < k; ++j)
                            aLire.push_back(o.nombre(places, 4 * j, 4));
                    }
                }
                break;
            default:
                break;
            }
        }
        if (debutJpeg && longueurJpeg && *debutJpeg < taille && *longueurJpeg < taille)
            meilleur.propose(qint64(*debutJpeg), qint64(*longueurJpeg));
        if ((compression == 6u || compression == 7u) && debutBande && longueurBande && *debutBande < taille &&
            *longueurBande < taille)
            meilleur.propose(qint64(*debutBande), qint64(*longueurBande));
    }
}

// An ISO box: its contents from debut to fin; a box longer than its
// container is cut to it. A size of 1 means a 64-bit size after the type,
// 0 a box running to the end of its container.
struct Boite {
    quint32 type = 0;
    QByteArray uuid;
    qint64 debut = 0;
    qint64 fin = 0;
};

bool boiteSuivante(Octets &o, qint64 &pos, qint64 fin, Boite &boite)
{
    if (pos < 0 || fin - pos < 8)
        return false;
    quint64 taille = o.nombre(pos, 4).value_or(0);
    boite.type = quint32(o.nombre(pos + 4, 4).value_or(0));
    qint64 contenu = pos + 8;
    if (taille == 1) {
        if (fin - pos < 16)
            return false;
        taille = o.nombre(pos + 8, 8).value_or(0);
        contenu += 8;
    } else if (taille == 0) {
        taille = quint64(fin - pos);
    }
    boite.uuid.clear();
    if (boite.type == fourcc("uuid")) {
        if (fin - contenu < 16 || !o.lit(contenu, 16, boite.uuid))
            return false;
        contenu += 16;
    }
    if (taille < quint64(contenu - pos))
        return false;
    boite.debut = contenu;
    boite.fin = taille > quint64(fin - pos) ? fin : pos + qint64(taille);
    pos = boite.fin;
    return true;
}

// The JPEG after the 16 header bytes of a CR3 preview box, its length at
// placeLongueur in that header.
void proposeDansBoite(Octets &o, const Boite &b, qint64 placeLongueur, Meilleur &meilleur)
{
    if (b.fin - b.debut < kEnteteVignetteCr3)
        return;
    if (const auto longueur = o.nombre(b.debut + placeLongueur, 4))
        meilleur.propose(b.debut + kEnteteVignetteCr3, qint64(*longueur));
}

// Also gives the orientation of the first directory, CMT1.
void chercheCr3(FichierLecture &fichier, Meilleur &meilleur, int &orientation)
{
    Octets o(fichier, true);
    qint64 pos = 0;
    Boite haut, boite;
    for (int n = 0; n < kMaxBoites && boiteSuivante(o, pos, o.taille(), haut); ++n) {
        if (haut.type == fourcc("moov")) {
            qint64 p = haut.debut;
            for (int m = 0; m < kMaxBoites && boiteSuivante(o, p, haut.fin, boite); ++m) {
                if (boite.type != fourcc("uuid") || boite.uuid != QByteArrayView(kUuidCanon, 16))
                    continue;
                qint64 q = boite.debut;
                Boite vignette;
                for (int k = 0; k < kMaxBoites && boiteSuivante(o, q, boite.fin, vignette); ++k) {
                    if (vignette.type == fourcc("THMB"))
                        proposeDansBoite(o, vignette, kPlaceLongueurCr3, meilleur);
                    else if (vignette.type == fourcc("CMT1"))
                        orientation = orientationTiff(fichier, vignette.debut);
                }
                break;
            }
        } else if (haut.type == fourcc("uuid")) {
            // The preview's own box, whichever uuid it has.
            qint64 p = haut.debut + kAvantPrvw;
            if (boiteSuivante(o, p, haut.fin, boite) && boite.type == fourcc("PRVW"))
                proposeDansBoite(o, boite, kPlaceLongueurPrvw, meilleur);
        }
    }
}

} // namespace

std::optional<PlageApercu> apercuRaw(const QString &path)
{
    FichierLecture fichier;
    if (!fichier.ouvre(path))
        return std::nullopt;
    QByteArray tete;
    if (!fichier.lit(0, std::min<qint64>(16, fichier.taille()), tete) || tete.size() < 8)
        return std::nullopt;
    Meilleur meilleur{fichier, std::nullopt};
    int orientation = 0;
    if (const quint16 marque = marqueTiff(tete); marqueRaw(marque)) {
        chercheTiff(fichier, tete[0] == 'M', marque, meilleur);
        orientation = orientationTiff(fichier, 0);
    } else if (tete.startsWith(kMagicRaf)) {
        Octets o(fichier, true);
        const auto debut = o.nombre(kRafPlaceJpeg, 4), longueur = o.nombre(kRafPlaceJpeg + 4, 4);
        if (debut && longueur)
            meilleur.propose(qint64(*debut), qint64(*longueur));
    } else if (tete.sliced(4, 4) == "ftyp" && tete.size() >= 12 && tete.sliced(8, 4) == "crx ") {
        chercheCr3(fichier, meilleur, orientation);
    }
    if (meilleur.plage)
        meilleur.plage->orientation = orientation;
    return meilleur.plage;
}

#ifdef KAVEL_HEIF

namespace {

// A picture decoded for a thumbnail holds at most the thumbnail's memory.
constexpr qint64 kMaxDecodage = kMemoireVignette;
// Neither side of a HEIF picture may pass this.
constexpr int kMaxCoteHeif = 32768;
// Thumbnails of one picture looked at.
constexpr int kMaxVignettes = 16;

bool initHeif()
{
    static const bool ok = heif_init(nullptr).code == heif_error_Ok;
    return ok;
}

// libheif reads the file through a QFile opened as a regular file only.
struct LectureHeif {
    QFile fichier;
    qint64 taille = 0;
};

int64_t positionHeif(void *u)
{
    return static_cast<LectureHeif *>(u)->fichier.pos();
}

int litHeif(void *data, size_t n, void *u)
{
    auto *l = static_cast<LectureHeif *>(u);
    const qint64 reste = l->taille - l->fichier.pos();
    if (n > static_cast<quint64>(std::max<qint64>(reste, 0)))
        return 1;
    return l->fichier.read(static_cast<char *>(data), qint64(n)) == qint64(n) ? 0 : 1;
}

int chercheHeif(int64_t pos, void *u)
{
    auto *l = static_cast<LectureHeif *>(u);
    return pos >= 0 && pos <= l->taille && l->fichier.seek(pos) ? 0 : 1;
}

heif_reader_grow_status attendHeif(int64_t taille, void *u)
{
    return taille <= static_cast<LectureHeif *>(u)->taille ? heif_reader_grow_status_size_reached
                                                           : heif_reader_grow_status_size_beyond_eof;
}

const heif_reader kLecteurHeif = {1, positionHeif, litHeif, chercheHeif, attendHeif};

struct LibereContexte {
    void operator()(heif_context *c) const { heif_context_free(c); }
};
struct LiberePoignee {
    void operator()(heif_image_handle *h) const { heif_image_handle_release(h); }
};
struct LibereImage {
    void operator()(heif_image *i) const { heif_image_release(i); }
};
struct LibereOptions {
    void operator()(heif_decoding_options *o) const { heif_decoding_options_free(o); }
};
using Poignee = std::unique_ptr<heif_image_handle, LiberePoignee>;

// A HEIF file read up to its primary picture. The file outlives the
// context that reads it: members go in reverse order.
struct FichierHeif {
    LectureHeif lecture;
    std::unique_ptr<heif_context, LibereContexte> contexte;
    Poignee principale;

    bool ouvre(const QString &path)
    {
        if (!initHeif() || !ouvreFichierOrdinaire(path, lecture.fichier))
            return false;
        lecture.taille = lecture.fichier.size();
        contexte.reset(heif_context_alloc());
        if (!contexte)
            return false;
        heif_context_set_maximum_image_size_limit(contexte.get(), kMaxCoteHeif);
        if (heif_context_read_from_reader(contexte.get(), &kLecteurHeif, &lecture, nullptr).code != heif_error_Ok)
            return false;
        heif_image_handle *h = nullptr;
        if (heif_context_get_primary_image_handle(contexte.get(), &h).code != heif_error_Ok || !h)
            return false;
        principale.reset(h);
        return true;
    }
};

qint64 octetsDecodes(heif_image_handle *h)
{
    return 4 * qint64(std::max(heif_image_handle_get_width(h), 0)) * qint64(std::max(heif_image_handle_get_height(h), 0));
}

QImage decode(heif_image_handle *h)
{
    std::unique_ptr<heif_decoding_options, LibereOptions> options(heif_decoding_options_alloc());
    if (!options)
        return {};
    options->convert_hdr_to_8bit = 1;
    heif_image *brute = nullptr;
    const heif_error err =
        heif_decode_image(h, &brute, heif_colorspace_RGB, heif_chroma_interleaved_RGBA, options.get());
    const std::unique_ptr<heif_image, LibereImage> image(brute);
    if (err.code != heif_error_Ok || !image)
        return {};
    const int l = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int h2 = heif_image_get_height(image.get(), heif_channel_interleaved);
    int pas = 0;
    const uint8_t *pixels = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &pas);
    if (!pixels || l <= 0 || h2 <= 0 || 4 * qint64(l) * h2 > kMaxDecodage || pas < 4 * l ||
        heif_image_get_bits_per_pixel_range(image.get(), heif_channel_interleaved) != 8)
        return {};
    QImage sortie(l, h2, QImage::Format_RGBA8888);
    if (sortie.isNull())
        return {};
    for (int y = 0; y < h2; ++y)
        std::memcpy(sortie.scanLine(y), pixels + qint64(y) * pas, size_t(4) * size_t(l));
    return sortie;
}

} // namespace

bool heifDisponible()
{
    return initHeif() && (heif_have_decoder_for_format(heif_compression_HEVC) ||
                          heif_have_decoder_for_format(heif_compression_AV1));
}

QSize tailleHeif(const QString &path)
{
    FichierHeif f;
    if (!f.ouvre(path))
        return {};
    const QSize taille(heif_image_handle_get_width(f.principale.get()), heif_image_handle_get_height(f.principale.get()));
    return taille.isEmpty() ? QSize() : taille;
}

QImage decodeHeif(const QString &path, QSize voulue)
{
    if (voulue.isEmpty())
        return {};
    FichierHeif f;
    if (!f.ouvre(path))
        return {};
    // The smallest of the file's thumbnails that covers the wanted size.
    std::array<heif_item_id, kMaxVignettes> ids{};
    const int n = std::clamp(heif_image_handle_get_number_of_thumbnails(f.principale.get()), 0, kMaxVignettes);
    const int lus = n > 0 ? heif_image_handle_get_list_of_thumbnail_IDs(f.principale.get(), ids.data(), n) : 0;
    Poignee choisie;
    for (int i = 0; i < std::clamp(lus, 0, n); ++i) {
        heif_image_handle *v = nullptr;
        if (heif_image_handle_get_thumbnail(f.principale.get(), ids[size_t(i)], &v).code != heif_error_Ok || !v)
            continue;
        Poignee vignette(v);
        const qint64 octets = octetsDecodes(v);
        if (heif_image_handle_get_width(v) >= voulue.width() && heif_image_handle_get_height(v) >= voulue.height() &&
            octets <= kMaxDecodage && (!choisie || octets < octetsDecodes(choisie.get())))
            choisie = std::move(vignette);
    }
    heif_image_handle *source = choisie ? choisie.get() : f.principale.get();
    if (octetsDecodes(source) <= 0 || octetsDecodes(source) > kMaxDecodage)
        return {};
    const QImage image = decode(source);
    if (image.isNull())
        return {};
    return image.size() == voulue ? image : image.scaled(voulue, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

#else

bool heifDisponible()
{
    return false;
}

QSize tailleHeif(const QString &)
{
    return {};
}

QImage decodeHeif(const QString &, QSize)
{
    return {};
}

#endif

} // namespace kavel
