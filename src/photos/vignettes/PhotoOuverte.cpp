// One photo's size and picture for the strip, from one opening of its file.
#include "photos/vignettes/PhotoOuverte.h"

#include "photos/vignettes/ApercuRaw.h"
#include "photos/vignettes/DecodageDC.h"
#include "photos/vignettes/MemoireVignette.h"
#include "platform/FichierLecture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTransform>
#include <cmath>
#include <cstring>

namespace kavel {

namespace {

constexpr int kMemoireMo = static_cast<int>(kMemoireVignette / (1024 * 1024));
// A JPEG the DC reading cannot take (CMYK, arithmetic coding ...) goes to
// the full decoder, which may hold all of a progressive file's
// coefficients: only up to this many pixels.
constexpr qint64 kPixelsDecodeurComplet = 8'000'000;
// The largest preview of a raw file read into memory.
constexpr qint64 kApercuRawMax = 16 * 1024 * 1024;

// A preview's header lies within its first bytes.
constexpr qint64 kTeteFichier = 128 * 1024;

using Entete = PhotoOuverte::Entete;

Entete entete(QIODevice &source, const char *format = nullptr)
{
    const qint64 debut = source.pos();
    QImageReader reader(&source, format);
    reader.setAutoTransform(false);
    Entete e{reader.size(), format ? reader.transformation() : QImageIOHandler::TransformationNone};
    return source.seek(debut) ? e : Entete();
}

bool debout(QImageIOHandler::Transformations t)
{
    return t & QImageIOHandler::TransformationRotate90;
}

// How a raw file is turned to be seen upright: as its first directory says,
// else as its preview says of itself (a RAF's preview holds its EXIF).
QImageIOHandler::Transformations sensRaw(const PlageApercu &plage,
                                         QImageIOHandler::Transformations apercu)
{
    using T = QImageIOHandler;
    switch (plage.orientation) {
    case 1: return T::TransformationNone;
    case 2: return T::TransformationMirror;
    case 3: return T::TransformationRotate180;
    case 4: return T::TransformationFlip;
    case 5: return T::TransformationFlipAndRotate90;
    case 6: return T::TransformationRotate90;
    case 7: return T::TransformationMirrorAndRotate90;
    case 8: return T::TransformationRotate270;
    default: return apercu;
    }
}

// Turns a picture as its photo's orientation says (mirrored first, then a
// quarter turn clockwise, as the orientations are defined).
QImage oriente(QImage image, QImageIOHandler::Transformations t)
{
    if (t == QImageIOHandler::TransformationNone || image.isNull())
        return image;
    image = image.mirrored(t & QImageIOHandler::TransformationMirror, t & QImageIOHandler::TransformationFlip);
    return debout(t) ? image.transformed(QTransform().rotate(90)) : image;
}

} // namespace

std::vector<int> photosAuNiveau(const std::vector<TypePhoto> &photos, double niveau)
{
    std::vector<int> indices;
    for (int i = 0; i < static_cast<int>(photos.size()); ++i)
        if (correspond(photos[static_cast<std::size_t>(i)], niveau))
            indices.push_back(i);
    return indices;
}

namespace {

// A preview read into memory; empty when it cannot be read whole.
QByteArray octets(QFile &file, const PlageApercu &plage, qint64 maximum)
{
    if (plage.longueur > maximum || !file.seek(plage.debut))
        return {};
    QByteArray octets = file.read(plage.longueur);
    return octets.size() == plage.longueur ? octets : QByteArray();
}

// A JPEG of that stored size at the wanted size: from its blocks' means
// when one eighth of it is large enough, else decoded whole at a reduced
// scale.
QImage depuisJpeg(QIODevice &source, QSize naturelle, QSize voulue)
{
    const qint64 debut = source.pos();
    if (!naturelle.isValid())
        return {};
    if ((naturelle.width() + 7) / 8 >= voulue.width() && (naturelle.height() + 7) / 8 >= voulue.height()) {
        const QImage huitieme = jpegHuitieme(source, kMemoireVignette);
        if (!huitieme.isNull())
            return huitieme.scaled(voulue, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (qint64(naturelle.width()) * naturelle.height() > kPixelsDecodeurComplet || !source.seek(debut))
        return {};
    QImageReader reader(&source, "jpeg");
    reader.setAutoTransform(false);
    reader.setAllocationLimit(kMemoireMo);
    reader.setScaledSize(voulue);
    return reader.read();
}

} // namespace

PhotoOuverte::PhotoOuverte(const QString &path)
{
    if (!ouvreFichierOrdinaire(path, m_file))
        return;
    // A JPEG's size is in its header; its preview is looked for only when
    // the picture is made.
    if (m_file.peek(2) == QByteArrayView("\xFF\xD8")) {
        m_genre = Genre::Jpeg;
        return;
    }
    SourceFlux source(m_file);
    const CarteFichier carte = carteFichier(source, Recherche::ExifEtApercus);
    m_apercu = carte.plusGrandApercu();
    if (m_apercu) {
        m_genre = Genre::Raw;
    } else if (carte.genre == CarteFichier::Genre::Iso && heifDisponible() && m_heif.ouvre(m_file)) {
        m_genre = Genre::Heif; // an ISO base media file that is no raw: HEIF, HEIC or AVIF
    } else {
        m_genre = Genre::Autre;
    }
    if (!m_file.seek(0))
        m_genre = Genre::Illisible;
}

PhotoOuverte::~PhotoOuverte() = default;

QSize PhotoOuverte::naturelle()
{
    switch (m_genre) {
    case Genre::Jpeg: {
        // As the photo is seen: on its side when the camera was.
        const Entete &e = enteteJpeg();
        return debout(e.sens) ? e.taille.transposed() : e.taille;
    }
    case Genre::Raw: {
        // The preview's frame gives its size; its own EXIF, when the raw's
        // first directory says nothing, how it is turned.
        QImageIOHandler::Transformations sens = sensRaw(*m_apercu, {});
        if (m_apercu->orientation == 0) {
            QBuffer debut;
            PlageApercu tete = *m_apercu;
            tete.longueur = std::min(tete.longueur, kTeteFichier);
            debut.setData(octets(m_file, tete, kTeteFichier));
            if (!debut.open(QIODevice::ReadOnly))
                return {};
            sens = entete(debut, "jpeg").sens;
        }
        return debout(sens) ? m_apercu->pixels.transposed() : m_apercu->pixels;
    }
    case Genre::Heif:
        return m_heif.taille();
    case Genre::Autre:
        return entete(m_file).taille;
    case Genre::Illisible:
        break;
    }
    return {};
}

QImage PhotoOuverte::vignette(QSize voulue)
{
    if (voulue.isEmpty() || !m_file.seek(0))
        return {};
    switch (m_genre) {
    case Genre::Jpeg: {
        // Decoded as stored, then turned upright.
        const auto [naturelle, sens] = enteteJpeg();
        if (debout(sens))
            voulue.transpose();
        // The embedded preview, when it shows the same picture large enough.
        const QByteArray jpeg = apercuExif();
        if (naturelle.isValid() && !jpeg.isEmpty()) {
            QBuffer buffer;
            buffer.setData(jpeg);
            QImageReader petit(&buffer, "jpeg");
            petit.setAutoTransform(false);
            const QSize t = petit.size();
            const double ratio = double(naturelle.width()) / naturelle.height();
            if (t.isValid() && t.height() >= voulue.height() && t.width() >= voulue.width()
                && std::abs(double(t.width()) / t.height() - ratio) < ratio * 0.02) {
                petit.setScaledSize(voulue);
                const QImage image = petit.read();
                if (!image.isNull())
                    return oriente(image, sens);
            }
        }
        return m_file.seek(0) ? oriente(depuisJpeg(m_file, naturelle, voulue), sens) : QImage();
    }
    case Genre::Raw: {
        // The preview is stored as the sensor saw it: decoded so, then turned upright.
        QBuffer buffer;
        buffer.setData(octets(m_file, *m_apercu, kApercuRawMax));
        if (!buffer.open(QIODevice::ReadOnly))
            return {};
        const Entete e = entete(buffer, "jpeg");
        const QImageIOHandler::Transformations sens = sensRaw(*m_apercu, e.sens);
        if (debout(sens))
            voulue.transpose();
        return oriente(depuisJpeg(buffer, e.taille, voulue), sens);
    }
    case Genre::Heif:
        return m_heif.decode(voulue);
    case Genre::Autre: {
        QImageReader reader(&m_file);
        reader.setAllocationLimit(kMemoireMo);
        reader.setScaledSize(voulue);
        return reader.read();
    }
    case Genre::Illisible:
        break;
    }
    return {};
}

const PhotoOuverte::Entete &PhotoOuverte::enteteJpeg()
{
    if (!m_enteteJpeg)
        m_enteteJpeg = m_file.seek(0) ? entete(m_file, "jpeg") : Entete();
    return *m_enteteJpeg;
}

QByteArray PhotoOuverte::apercuExif()
{
    if (m_genre != Genre::Jpeg)
        return {};
    SourceFlux source(m_file);
    const std::optional<PlageApercu> apercu =
        carteFichier(source, Recherche::ExifEtApercus).plusGrandApercu();
    return apercu ? octets(m_file, *apercu, kTeteFichier) : QByteArray();
}

QSize tailleNaturelle(const QString &path)
{
    return PhotoOuverte(path).naturelle();
}

QByteArray apercuExif(const QString &path)
{
    return PhotoOuverte(path).apercuExif();
}

QImage chargeVignette(const QString &path, QSize voulue)
{
    return PhotoOuverte(path).vignette(voulue);
}

} // namespace kavel
