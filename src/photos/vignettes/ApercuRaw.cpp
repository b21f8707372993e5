// The JPEG previews camera raw files carry, from the file's map; and
// HEIF/HEIC/AVIF photos through the system's HEIF library.
#include "photos/vignettes/ApercuRaw.h"

#include "photos/vignettes/MemoireVignette.h"
#include "platform/FichierLecture.h"

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

std::optional<PlageApercu> apercuRaw(const QString &path)
{
    FichierLecture fichier;
    if (!fichier.ouvre(path))
        return std::nullopt;
    SourceFichier source(fichier);
    return apercuRaw(source);
}

std::optional<PlageApercu> apercuRaw(Source &source)
{
    const CarteFichier carte = carteFichier(source, Recherche::ExifEtApercus);
    if (carte.genre == CarteFichier::Genre::Jpeg)
        return std::nullopt; // a JPEG's preview is its EXIF thumbnail, not a raw's
    return carte.plusGrandApercu();
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

// libheif reads the file through the device it was opened on (a QFile
// opened as a regular file only).
struct LectureHeif {
    QIODevice *fichier = nullptr;
    qint64 taille = 0;
};

int64_t positionHeif(void *u)
{
    return static_cast<LectureHeif *>(u)->fichier->pos();
}

int litHeif(void *data, size_t n, void *u)
{
    auto *l = static_cast<LectureHeif *>(u);
    const qint64 reste = l->taille - l->fichier->pos();
    if (n > static_cast<quint64>(std::max<qint64>(reste, 0)))
        return 1;
    return l->fichier->read(static_cast<char *>(data), qint64(n)) == qint64(n) ? 0 : 1;
}

int chercheHeif(int64_t pos, void *u)
{
    auto *l = static_cast<LectureHeif *>(u);
    return pos >= 0 && pos <= l->taille && l->fichier->seek(pos) ? 0 : 1;
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

} // namespace

// The reading outlives the context that reads through it: members go in
// reverse order.
struct PhotoHeif::Contexte {
    LectureHeif lecture;
    std::unique_ptr<heif_context, LibereContexte> contexte;
    Poignee principale;

    bool ouvre(QIODevice &fichier)
    {
        if (!initHeif() || !fichier.seek(0))
            return false;
        lecture.fichier = &fichier;
        lecture.taille = fichier.size();
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

namespace {

qint64 octetsDecodes(heif_image_handle *h)
{
    return 4 * qint64(std::max(heif_image_handle_get_width(h), 0)) * qint64(std::max(heif_image_handle_get_height(h), 0));
}

QImage decodeImage(heif_image_handle *h)
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

PhotoHeif::PhotoHeif() = default;
PhotoHeif::~PhotoHeif() = default;

bool PhotoHeif::ouvre(QIODevice &fichier)
{
    m_contexte = std::make_unique<Contexte>();
    if (!m_contexte->ouvre(fichier))
        m_contexte.reset();
    return m_contexte != nullptr;
}

QSize PhotoHeif::taille() const
{
    if (!m_contexte)
        return {};
    const QSize taille(heif_image_handle_get_width(m_contexte->principale.get()),
                       heif_image_handle_get_height(m_contexte->principale.get()));
    return taille.isEmpty() ? QSize() : taille;
}

QImage PhotoHeif::decode(QSize voulue)
{
    if (voulue.isEmpty() || !m_contexte)
        return {};
    heif_image_handle *principale = m_contexte->principale.get();
    // The smallest of the file's thumbnails that covers the wanted size.
    std::array<heif_item_id, kMaxVignettes> ids{};
    const int n = std::clamp(heif_image_handle_get_number_of_thumbnails(principale), 0, kMaxVignettes);
    const int lus = n > 0 ? heif_image_handle_get_list_of_thumbnail_IDs(principale, ids.data(), n) : 0;
    Poignee choisie;
    for (int i = 0; i < std::clamp(lus, 0, n); ++i) {
        heif_image_handle *v = nullptr;
        if (heif_image_handle_get_thumbnail(principale, ids[size_t(i)], &v).code != heif_error_Ok || !v)
            continue;
        Poignee vignette(v);
        const qint64 octets = octetsDecodes(v);
        if (heif_image_handle_get_width(v) >= voulue.width() &&
            heif_image_handle_get_height(v) >= voulue.height() && octets <= kMaxDecodage &&
            (!choisie || octets < octetsDecodes(choisie.get())))
            choisie = std::move(vignette);
    }
    heif_image_handle *source = choisie ? choisie.get() : principale;
    if (octetsDecodes(source) <= 0 || octetsDecodes(source) > kMaxDecodage)
        return {};
    const QImage image = decodeImage(source);
    if (image.isNull())
        return {};
    return image.size() == voulue ? image
                                  : image.scaled(voulue, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

#else

bool heifDisponible()
{
    return false;
}

struct PhotoHeif::Contexte {};
PhotoHeif::PhotoHeif() = default;
PhotoHeif::~PhotoHeif() = default;

bool PhotoHeif::ouvre(QIODevice &)
{
    return false;
}

QSize PhotoHeif::taille() const
{
    return {};
}

QImage PhotoHeif::decode(QSize)
{
    return {};
}

#endif

QSize tailleHeif(const QString &path)
{
    QFile fichier;
    PhotoHeif photo;
    return ouvreFichierOrdinaire(path, fichier) && photo.ouvre(fichier) ? photo.taille() : QSize();
}

QImage decodeHeif(const QString &path, QSize voulue)
{
    QFile fichier;
    PhotoHeif photo;
    return ouvreFichierOrdinaire(path, fichier) && photo.ouvre(fichier) ? photo.decode(voulue) : QImage();
}

} // namespace kavel
