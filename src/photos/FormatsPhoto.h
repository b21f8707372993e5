#pragma once

// What tells the kinds of camera files apart, and where they keep things:
// shared by the scan, the EXIF reader, the preview finder and the
// thumbnail cache.
#include <QByteArrayView>
#include <QtGlobal>
#include <array>

namespace kavel::formats {

// The photo files a scan looks for, by extension (letter case ignored), in
// the order of the scan's patterns; their MIME types as the desktop's
// thumbnail cache records them (none is registered for IIQ: the key is then
// left out); and whether they are camera raw files, one of which beside a
// JPEG of the same name is the same photo.
struct TypePhoto {
    const char *extension;
    const char *mime;
    bool brut;
};
inline constexpr std::array<TypePhoto, 20> kTypesPhoto{{
    {"jpg", "image/jpeg", false},
    {"jpeg", "image/jpeg", false},
    {"tif", "image/tiff", false},
    {"tiff", "image/tiff", false},
    {"heic", "image/heif", false},
    {"heif", "image/heif", false},
    {"avif", "image/avif", false},
    {"dng", "image/x-adobe-dng", true},
    {"cr2", "image/x-canon-cr2", true},
    {"cr3", "image/x-canon-cr3", true},
    {"nef", "image/x-nikon-nef", true},
    {"nrw", "image/x-nikon-nrw", true},
    {"arw", "image/x-sony-arw", true},
    {"sr2", "image/x-sony-sr2", true},
    {"srf", "image/x-sony-srf", true},
    {"pef", "image/x-pentax-pef", true},
    {"orf", "image/x-olympus-orf", true},
    {"rw2", "image/x-panasonic-rw2", true},
    {"iiq", "", true},
    {"raf", "image/x-fuji-raf", true},
}};

// TIFF marks: 42 for TIFF and most RAWs, then Olympus ORF ("IIRO", "MMOR",
// "IIRS") and Panasonic RW2 ("IIU\0"), whose layout is TIFF's all the same.
inline constexpr quint16 kMarqueTiff = 42;
inline constexpr quint16 kMarqueOrf = 0x4F52;
inline constexpr quint16 kMarqueOrfS = 0x5352;
inline constexpr quint16 kMarqueRw2 = 0x55;

// RAF header, big-endian: "FUJIFILMCCD-RAW " (16 bytes), format version (4),
// camera number (8), camera name (32), directory version (4), 20 bytes, then
// the offset (4) and length (4) of the JPEG preview, which holds the EXIF.
inline constexpr char kMagicRaf[] = "FUJIFILMCCD-RAW ";
inline constexpr qint64 kRafPlaceJpeg = 0x54;

// Canon's box in a CR3's "moov": a "uuid" box of this type holding, among
// others, the TIFF blocks "CMT1" (first image directory: the make) and
// "CMT2" (Exif directory: the exposure), and the small preview "THMB".
inline constexpr char kUuidCanon[] = "\x85\xC0\xB6\x87\x82\x0F\x11\xE0\x81\x11\xF4\xCE\x46\x2B\x6A\x48";

constexpr quint32 fourcc(const char (&t)[5])
{
    return quint32(quint8(t[0])) << 24 | quint32(quint8(t[1])) << 16 | quint32(quint8(t[2])) << 8 | quint8(t[3]);
}

// The mark of a TIFF header (byte order "II" or "MM", 2 bytes; mark, 2
// bytes, in that order); 0 for any other byte order.
inline quint16 marqueTiff(QByteArrayView entete)
{
    if (entete.size() < 4 || (!entete.startsWith("II") && !entete.startsWith("MM")))
        return 0;
    const auto a = quint8(entete[2]), b = quint8(entete[3]);
    return entete[0] == 'M' ? quint16(a << 8 | b) : quint16(b << 8 | a);
}

inline bool marqueRaw(quint16 marque)
{
    return marque == kMarqueTiff || marque == kMarqueOrf || marque == kMarqueOrfS || marque == kMarqueRw2;
}

} // namespace kavel::formats
