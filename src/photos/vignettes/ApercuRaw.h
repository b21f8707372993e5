#pragma once

// The previews that camera raw and HEIF files carry: where they lie, and
// their pictures.

#include "photos/exif/CarteFichier.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>

class QIODevice;

namespace kavel {

// The largest JPEG preview embedded in a raw camera file (TIFF based raws
// and DNG, RAF, CR3, RW2, ORF ...), as the file's map gives it. Nothing for
// a file that has none or is not a raw file.
std::optional<PlageApercu> apercuRaw(const QString &path);
std::optional<PlageApercu> apercuRaw(Source &source);

// HEIF, HEIC and AVIF photos, through the system's HEIF library when the
// program was built with it (heifDisponible()).
bool heifDisponible();
// A HEIF file open for reading, read through the library up to its
// primary picture.
class PhotoHeif {
public:
    // Reads from the device's start; false when it is no HEIF picture the
    // library can read. The device outlives this object.
    bool ouvre(QIODevice &fichier);
    // The size of the primary picture, from the file's boxes only; invalid
    // when unknown.
    QSize taille() const;
    // The picture at the wanted size, from the file's own thumbnail when it
    // is large enough; null when the file cannot be decoded, or decoding it
    // would hold more memory than a thumbnail may.
    QImage decode(QSize voulue);

    PhotoHeif();
    ~PhotoHeif();
    PhotoHeif(const PhotoHeif &) = delete;
    PhotoHeif &operator=(const PhotoHeif &) = delete;

private:
    struct Contexte;
    std::unique_ptr<Contexte> m_contexte;
};

QSize tailleHeif(const QString &path);
QImage decodeHeif(const QString &path, QSize voulue);

} // namespace kavel
