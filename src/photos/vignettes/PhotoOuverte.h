#pragma once

// One photo in the strip: which photos belong to a light level, the size of
// a photo's slot, and its picture made from the file.

#include "photos/BasePhotos.h"
#include "photos/vignettes/ApercuRaw.h"

#include <QFile>
#include <QImage>
#include <QImageIOHandler>
#include <QSize>
#include <QString>
#include <cmath>
#include <optional>
#include <vector>

namespace kavel {

// A photo belongs to a level when their EVs differ by strictly less than this.
inline constexpr double kEcartNiveau = 0.05;

inline bool correspond(const TypePhoto &photo, double niveau)
{
    return std::abs(photo.ValEV - niveau) < kEcartNiveau;
}

// The indices of the photos taken at a level, in base order.
std::vector<int> photosAuNiveau(const std::vector<TypePhoto> &photos, double niveau);

// A photo file opened once, for its size and its picture: the map of the
// file, then its header, then its picture are all read through that one
// opening. Opens regular files only, never waiting on a named pipe or a
// device that a base might name: anything else reads as a photo that
// cannot be read.
class PhotoOuverte {
public:
    explicit PhotoOuverte(const QString &path);
    ~PhotoOuverte();
    PhotoOuverte(const PhotoOuverte &) = delete;
    PhotoOuverte &operator=(const PhotoOuverte &) = delete;

    // The size of the photo as it is seen (a JPEG or raw file taken on its
    // side upright), from its header only (for a raw file, its preview's,
    // turned as the raw's first directory says); invalid when unknown.
    QSize naturelle();
    // The photo made small, at the given size (as seen), within the
    // thumbnail's memory (MemoireVignette.h) whatever the photo's size. A
    // JPEG comes from the preview most cameras embed in the EXIF block when
    // it has the photo's proportions and is large enough, else from its
    // blocks' means (see DecodageDC.h), else from a reduced decoding; a raw
    // file from its embedded JPEG preview, turned upright as the raw's
    // first directory says; a HEIF/HEIC file through the system's HEIF
    // library. Null when the photo cannot be read.
    QImage vignette(QSize taille);
    // The JPEG preview held in a JPEG photo's EXIF block, if any.
    QByteArray apercuExif();

    // What a picture's header says: its size as stored and, for a JPEG, how
    // its EXIF block says it is to be turned to be seen upright.
    struct Entete {
        QSize taille;
        QImageIOHandler::Transformations sens = QImageIOHandler::TransformationNone;
    };

private:
    enum class Genre { Illisible, Jpeg, Raw, Heif, Autre };
    const Entete &enteteJpeg();

    QFile m_file;
    std::optional<Entete> m_enteteJpeg; // read once, for the size and the picture
    Genre m_genre = Genre::Illisible;
    std::optional<PlageApercu> m_apercu; // a raw file's preview
    PhotoHeif m_heif;
};

// The same, each opening the file for itself.
QSize tailleNaturelle(const QString &path);
QImage chargeVignette(const QString &path, QSize taille);
QByteArray apercuExif(const QString &path);

} // namespace kavel
