#include "photos/Miniatures.h"

#include "platform/FichierLecture.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>
#include <cmath>
#include <cstring>

namespace kavel {

namespace {

// Photos up to this size decode (libjpeg scales down while decoding, so the
// memory actually used is small).
constexpr int kAllocationMaxMo = 512;

// The EXIF block sits in the first 64 KB; its preview within it.
constexpr qint64 kTeteFichier = 128 * 1024;

quint32 lit32(const uchar *p, bool mm)
{
    return mm ? qFromBigEndian<quint32>(p) : qFromLittleEndian<quint32>(p);
}

quint16 lit16(const uchar *p, bool mm)
{
    return mm ? qFromBigEndian<quint16>(p) : qFromLittleEndian<quint16>(p);
}

// Photos are opened as regular files only, never waiting on a named pipe
// or a device that a base might name.
QSize taille(QFile &file)
{
    if (!file.seek(0))
        return {};
    QImageReader reader(&file);
    return reader.size();
}

// Segments up to APP1 "Exif", then the TIFF block: its first directory's
// link to the second, whose JPEGInterchangeFormat (0201) and length (0202)
// give the preview inside the block.
QByteArray apercu(QFile &file)
{
    if (!file.seek(0))
        return {};
    const QByteArray tete = file.read(std::min(file.size(), kTeteFichier));
    const auto *b = reinterpret_cast<const uchar *>(tete.constData());
    const qint64 n = tete.size();
    if (n < 4 || b[0] != 0xFF || b[1] != 0xD8)
        return {};
    qint64 pos = 2;
    for (int segments = 0; segments < 50 && 4 <= n - pos; ++segments) {
        if (b[pos] != 0xFF)
            return {};
        const quint8 marqueur = b[pos + 1];
        const qint64 longueur = qFromBigEndian<quint16>(b + pos + 2);
        if (longueur < 2 || longueur > n - pos - 2)
            return {};
        if (marqueur == 0xE1 && longueur >= 16 && std::memcmp(b + pos + 4, "Exif\0\0", 6) == 0) {
            const qint64 tiff = pos + 10;
            const qint64 fin = pos + 2 + longueur;
            const bool mm = b[tiff] == 'M';
            const auto dans = [&](qint64 debut, qint64 taille) { return debut >= tiff && taille >= 0 && taille <= fin - debut; };
            const qint64 ifd0 = tiff + lit32(b + tiff + 4, mm);
            if (!dans(ifd0, 2))
                return {};
            const qint64 entrees0 = lit16(b + ifd0, mm);
            const qint64 lien = ifd0 + 2 + 12 * entrees0;
            if (!dans(lien, 4))
                return {};
            const qint64 ifd1 = tiff + lit32(b + lien, mm);
            if (lit32(b + lien, mm) == 0 || !dans(ifd1, 2))
                return {};
            const qint64 entrees1 = lit16(b + ifd1, mm);
            if (!dans(ifd1 + 2, 12 * entrees1))
                return {};
            qint64 debut = -1, taille = -1;
            for (qint64 e = 0; e < entrees1; ++e) {
                const uchar *entree = b + ifd1 + 2 + 12 * e;
                const quint16 tag = lit16(entree, mm);
                const quint16 type = lit16(entree + 2, mm);
                const quint32 valeur = type == 3 ? lit16(entree + 8, mm) : lit32(entree + 8, mm);
                if (tag == 0x0201)
                    debut = tiff + valeur;
                else if (tag == 0x0202)
                    taille = valeur;
            }
            if (debut < 0 || taille <= 0 || !dans(debut, taille))
                return {};
            return tete.mid(debut, taille);
        }
        if (marqueur == 0xDA)
            return {}; // the image data: no EXIF block before it
        pos += 2 + longueur;
    }
    return {};
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

QSize tailleNaturelle(const QString &path)
{
    QFile file;
    return ouvreFichierOrdinaire(path, file) ? taille(file) : QSize();
}

QByteArray apercuExif(const QString &path)
{
    QFile file;
    return ouvreFichierOrdinaire(path, file) ? apercu(file) : QByteArray();
}

QImage chargeVignette(const QString &path, QSize voulue)
{
    QFile file;
    if (voulue.isEmpty() || !ouvreFichierOrdinaire(path, file))
        return {};
    const QSize naturelle = taille(file);
    if (!naturelle.isValid())
        return {};
    // The embedded preview, when it shows the same picture large enough.
    const QByteArray jpeg = apercu(file);
    if (!jpeg.isEmpty()) {
        QBuffer buffer;
        buffer.setData(jpeg);
        QImageReader petit(&buffer, "jpeg");
        const QSize t = petit.size();
        const double ratio = double(naturelle.width()) / naturelle.height();
        if (t.isValid() && t.height() >= voulue.height() && t.width() >= voulue.width()
            && std::abs(double(t.width()) / t.height() - ratio) < ratio * 0.02) {
            petit.setScaledSize(voulue);
            const QImage image = petit.read();
            if (!image.isNull())
                return image;
        }
    }
    if (!file.seek(0))
        return {};
    QImageReader reader(&file);
    reader.setAllocationLimit(kAllocationMaxMo);
    reader.setScaledSize(voulue);
    return reader.read();
}

} // namespace kavel
