#pragma once

// The previews that camera raw and HEIF files carry: where they lie, and
// their pictures.

#include <QImage>
#include <QSize>
#include <QString>
#include <optional>

namespace kavel {

// Where the largest JPEG preview embedded in a raw camera file lies (TIFF
// based raws and DNG, RAF, CR3, RW2, ORF ...): its first byte and length in
// the file. Nothing for a file that has none or is not a raw file.
struct PlageApercu {
    qint64 debut = 0;
    qint64 longueur = 0;
    // How the photo is turned to be seen upright: the EXIF Orientation (1 to
    // 8) of the raw's first directory (a CR3's CMT1), which the preview,
    // stored as the sensor saw it, does not carry; 0 when the raw gives none.
    int orientation = 0;
};
std::optional<PlageApercu> apercuRaw(const QString &path);

// HEIF, HEIC and AVIF photos, through the system's HEIF library when the
// program was built with it (heifDisponible()).
bool heifDisponible();
// The size of the primary picture, from the file's boxes only; invalid
// when unknown.
QSize tailleHeif(const QString &path);
// The picture at the wanted size, from the file's own thumbnail when it is
// large enough; null when the file cannot be decoded, or decoding it would
// hold more memory than a thumbnail may.
QImage decodeHeif(const QString &path, QSize voulue);

} // namespace kavel
