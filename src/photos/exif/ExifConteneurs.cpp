// The files that hold their EXIF data other than in a JPEG's APP1: TIFF and
// the camera RAWs built on it, Fujifilm's RAF, and the ISO base media files
// (Canon's CR3, HEIF/HEIC/AVIF). Each is taken down to a TIFF block or a
// JPEG, read by the same directory walk as a JPEG's EXIF block.
#include "photos/exif/ExifReader.h"
#include "photos/FormatsPhoto.h"

#include <algorithm>

namespace kavel {

using namespace formats;

namespace {

// Bounds of the box walk. The walk only goes down known paths (moov, Canon's
// uuid, CMT1/CMT2; meta, iinf, infe; meta, iloc), never deeper than three
// boxes; it reads no more than this many boxes in one container, nor more
// than this many item entries.
constexpr int kMaxBoites = 64;
constexpr quint64 kMaxEntrees = 4096;

} // namespace

// A part of another source, from debut for taille bytes, cut to what the
// other source holds.
class ExifReader::SourceFenetre : public ExifReader::Source {
public:
    SourceFenetre(Source &source, qint64 debut, qint64 taille)
        : m_source(source)
        , m_debut(std::clamp<qint64>(debut, 0, source.taille()))
        , m_taille(std::clamp<qint64>(taille, 0, source.taille() - m_debut))
    {
    }
    qint64 taille() const override { return m_taille; }
    bool lit(qint64 pos, qint64 n, QByteArray &out) override
    {
        if (pos < 0 || n < 0 || n > m_taille - pos)
            return false;
        return m_source.lit(m_debut + pos, n, out);
    }

private:
    Source &m_source;
    qint64 m_debut;
    qint64 m_taille;
};

struct ExifReader::Boite {
    quint32 type = 0;
    QByteArray uuid;  // a "uuid" box's own 16-byte type
    qint64 debut = 0; // first byte of the contents
    qint64 fin = 0;   // one past the last byte
};

// Big-endian numbers read from pos up to fin; once a read would pass fin,
// every read gives 0 and ok stays false.
struct ExifReader::Curseur {
    qint64 pos;
    qint64 fin;
    bool ok = true;
};

quint64 ExifReader::lisNombre(Curseur &c, qint64 longueur)
{
    QByteArray octets;
    if (!c.ok || longueur > c.fin - c.pos || !m_source->lit(c.pos, longueur, octets)) {
        c.ok = false;
        return 0;
    }
    c.pos += longueur;
    return Nb(octets);
}

bool ExifReader::analyseConteneur(QByteArrayView tete)
{
    if (marqueRaw(marqueTiff(tete)))
        return lisBlocTiff(0, m_source->taille(), true, true);
    if (tete.startsWith(kMagicRaf))
        return analyseRaf();
    if (tete.size() >= 8 && tete.sliced(4, 4) == "ftyp")
        return analyseBoites();
    ValLux = kPasJpeg;
    return false;
}

// A TIFF block from debut to fin of m_source: byte order "II" or "MM" (2
// bytes), mark (2: 42, or a RAW's own when marquesRaw), offset of the first
// directory (4), counted like every offset of the block from its first
// byte. Reads the first directory, then, when suivreExif, the Exif
// sub-directory it points to. False with kApp1PasExif, reading nothing, for
// a block that is not TIFF.
bool ExifReader::lisBlocTiff(qint64 debut, qint64 fin, bool suivreExif, bool marquesRaw)
{
    Source *const parent = m_source;
    SourceFenetre bloc(*parent, debut, fin - debut);
    m_source = &bloc;
    QByteArray entete;
    bloc.lit(0, std::min<qint64>(8, bloc.taille()), entete);
    const quint16 marque = marqueTiff(entete);
    const bool tiff = marque == kMarqueTiff || (marquesRaw && marqueRaw(marque));
    if (tiff) {
        DebutTiff = 0;
        bMotorola = entete.startsWith("MM");
        m_pos = 4;
        m_pos = static_cast<qint64>(Nb(LireIM(4, bMotorola)));
        bExifTrouve = false;
        bIsoRw2 = marque == kMarqueRw2; // an RW2 keeps the ISO in its first directory
        LectureData();
        bIsoRw2 = false;
        if (suivreExif && bExifTrouve) {
            m_pos = DebutTiff + OffsetExif;
            LectureData();
        }
    } else {
        ValLux = kApp1PasExif;
    }
    m_source = parent;
    return tiff;
}

bool ExifReader::analyseRaf()
{
    Curseur c{kRafPlaceJpeg, m_source->taille()};
    const auto debut = static_cast<qint64>(lisNombre(c, 4));
    const auto longueur = static_cast<qint64>(lisNombre(c, 4));
    if (!c.ok) {
        ValLux = kPasDeApp1; // a header cut short: no preview
        return false;
    }
    if (longueur > 0 && debut >= m_source->taille()) {
        ValLux = kSegmentTropLong;
        return false;
    }
    Source *const parent = m_source;
    SourceFenetre jpeg(*parent, debut, longueur);
    m_source = &jpeg;
    const bool lu = analyseJpeg();
    m_source = parent;
    if (ValLux == kPasJpeg)
        ValLux = kPasDeApp1; // the preview is not a JPEG
    return lu;
}

// A box: size (4 bytes, big-endian, the whole box), type (4); a size of 1
// means a 64-bit size follows the type, 0 a box that runs to the end of its
// container. A "uuid" box then has a 16-byte type of its own. A box longer
// than its container (a file cut short) is cut to it; false when no whole
// box header lies between pos and fin, or its size is less than its header.
bool ExifReader::boiteSuivante(qint64 &pos, qint64 fin, Boite &boite)
{
    Curseur c{pos, fin};
    quint64 taille = lisNombre(c, 4);
    boite.type = static_cast<quint32>(lisNombre(c, 4));
    if (taille == 1)
        taille = lisNombre(c, 8);
    else if (taille == 0)
        taille = static_cast<quint64>(fin - pos);
    boite.uuid.clear();
    if (c.ok && boite.type == fourcc("uuid")) {
        if (16 <= c.fin - c.pos && m_source->lit(c.pos, 16, boite.uuid))
            c.pos += 16;
        else
            c.ok = false;
    }
    if (!c.ok || taille < static_cast<quint64>(c.pos - pos))
        return false;
    boite.debut = c.pos;
    boite.fin = taille > static_cast<quint64>(fin - pos) ? fin : pos + static_cast<qint64>(taille);
    pos = boite.fin;
    return true;
}

// An ISO base media file: a first box "ftyp", then top-level boxes among
// which a CR3's "moov" or a HEIF's "meta" holds the EXIF data.
bool ExifReader::analyseBoites()
{
    qint64 pos = 0;
    Boite boite;
    for (int n = 0; n < kMaxBoites && boiteSuivante(pos, m_source->taille(), boite); ++n) {
        Issue issue = Issue::Absente;
        if (boite.type == fourcc("moov"))
            issue = analyseCr3(boite);
        else if (boite.type == fourcc("meta"))
            issue = analyseHeif(boite);
        if (issue != Issue::Absente)
            return issue == Issue::Lue;
    }
    ValLux = kPasDeApp1;
    return false;
}

ExifReader::Issue ExifReader::analyseCr3(const Boite &moov)
{
    Boite canon, boite, cmt[2];
    bool trouve[2] = {false, false};
    qint64 pos = moov.debut;
    for (int n = 0; n < kMaxBoites && boiteSuivante(pos, moov.fin, canon); ++n) {
        if (canon.type != fourcc("uuid") || canon.uuid != QByteArrayView(kUuidCanon, 16))
            continue;
        qint64 p = canon.debut;
        for (int m = 0; m < kMaxBoites && !(trouve[0] && trouve[1]) && boiteSuivante(p, canon.fin, boite); ++m) {
            const int i = boite.type == fourcc("CMT1") ? 0 : boite.type == fourcc("CMT2") ? 1 : -1;
            if (i >= 0 && !trouve[i]) {
                cmt[i] = boite;
                trouve[i] = true;
            }
        }
        break;
    }
    if (!trouve[0] && !trouve[1])
        return Issue::Absente;
    // The make first, then the exposure, as in a TIFF's two directories.
    for (int i : {0, 1}) {
        if (trouve[i] && !lisBlocTiff(cmt[i].debut, cmt[i].fin, false, false))
            return Issue::Echec;
    }
    return Issue::Lue;
}

// A HEIF's "meta" (a full box: version and flags, 4 bytes, before its
// boxes). "iinf" lists the items, "iloc" says where each one's bytes lie.
ExifReader::Issue ExifReader::analyseHeif(const Boite &meta)
{
    Boite boite, iinf, iloc;
    bool avecIinf = false, avecIloc = false;
    qint64 pos = meta.debut + 4;
    for (int n = 0; n < kMaxBoites && boiteSuivante(pos, meta.fin, boite); ++n) {
        if (boite.type == fourcc("iinf") && !avecIinf)
            iinf = boite, avecIinf = true;
        else if (boite.type == fourcc("iloc") && !avecIloc)
            iloc = boite, avecIloc = true;
    }
    if (!avecIinf || !avecIloc)
        return Issue::Absente;

    // iinf: version (1 byte), flags (3), entry count (2 bytes in version 0,
    // else 4), then one "infe" box per item. An "infe" of version 2 or 3:
    // version (1), flags (3), item number (2 bytes, 4 in version 3),
    // protection index (2), item type (4).
    Curseur c{iinf.debut, iinf.fin};
    const quint64 versionIinf = lisNombre(c, 1);
    lisNombre(c, 3);
    const quint64 entrees = std::min(lisNombre(c, versionIinf == 0 ? 2 : 4), kMaxEntrees);
    quint64 item = 0;
    bool exif = false;
    pos = c.pos;
    for (quint64 e = 0; c.ok && !exif && e < entrees && boiteSuivante(pos, iinf.fin, boite); ++e) {
        if (boite.type != fourcc("infe"))
            continue;
        Curseur i{boite.debut, boite.fin};
        const quint64 version = lisNombre(i, 1);
        lisNombre(i, 3);
        if (version < 2)
            continue; // no item type
        item = lisNombre(i, version == 2 ? 2 : 4);
        lisNombre(i, 2);
        exif = lisNombre(i, 4) == fourcc("Exif") && i.ok;
    }
    if (!exif)
        return Issue::Absente;

    // iloc: version (1 byte, 0 to 2), flags (3), the sizes of offsets,
    // lengths, base offsets and indexes (4 bits each; 0, 4 or 8 bytes; no
    // index before version 1), item count (2 bytes, 4 in version 2), then per
    // item: number (2 bytes, 4 in version 2), construction method (2 bytes,
    // its low 4 bits; versions 1 and 2), data reference (2), base offset,
    // extent count (2) and the extents: index, offset, length.
    c = Curseur{iloc.debut, iloc.fin};
    const quint64 version = lisNombre(c, 1);
    lisNombre(c, 3);
    const quint64 tailles = lisNombre(c, 2);
    const qint64 tailleOffset = (tailles >> 12) & 15, tailleLongueur = (tailles >> 8) & 15;
    const qint64 tailleBase = (tailles >> 4) & 15, tailleIndex = version == 0 ? 0 : tailles & 15;
    for (qint64 t : {tailleOffset, tailleLongueur, tailleBase, tailleIndex}) {
        if (t != 0 && t != 4 && t != 8)
            return Issue::Absente;
    }
    if (version > 2)
        return Issue::Absente;
    const quint64 items = std::min(lisNombre(c, version < 2 ? 2 : 4), kMaxEntrees);
    for (quint64 e = 0; c.ok && e < items; ++e) {
        const quint64 numero = lisNombre(c, version < 2 ? 2 : 4);
        const quint64 methode = version == 0 ? 0 : lisNombre(c, 2) & 15;
        const quint64 reference = lisNombre(c, 2);
        const quint64 base = lisNombre(c, tailleBase);
        const auto extents = static_cast<qint64>(lisNombre(c, 2));
        if (numero != item) {
            c.pos += std::min(extents * (tailleIndex + tailleOffset + tailleLongueur), c.fin - c.pos);
            continue;
        }
        // Only an item stored in this file's own bytes can be read; an item
        // in several extents is read from its first one.
        lisNombre(c, tailleIndex);
        const quint64 offset = lisNombre(c, tailleOffset);
        const quint64 longueur = lisNombre(c, tailleLongueur);
        if (!c.ok || methode != 0 || reference != 0 || extents == 0)
            return Issue::Absente;
        const auto taille = static_cast<quint64>(m_source->taille());
        if (base >= taille || offset >= taille - base) {
            ValLux = kSegmentTropLong;
            return Issue::Echec;
        }
        const auto debut = static_cast<qint64>(base + offset);
        const qint64 fin = longueur == 0 || longueur > taille - base - offset ? m_source->taille()
                                                                              : debut + static_cast<qint64>(longueur);
        return lisItemExif(debut, fin) ? Issue::Lue : Issue::Echec;
    }
    return Issue::Absente;
}

// A HEIF's Exif item: the offset (4 bytes, big-endian) from the item's fifth
// byte to the TIFF header, which an "Exif\0\0" usually precedes; some
// writers leave the offset out and begin with "Exif\0\0".
bool ExifReader::lisItemExif(qint64 debut, qint64 fin)
{
    const QByteArrayView prefixe("Exif\0\0", 6);
    QByteArray octets;
    m_source->lit(debut, std::min<qint64>(6, fin - debut), octets);
    qint64 tiff = debut + 6;
    if (octets != prefixe) {
        if (octets.size() < 4 || Nb(octets.first(4)) > static_cast<quint64>(fin - debut - 4)) {
            ValLux = kApp1PasExif;
            return false;
        }
        const auto saut = static_cast<qint64>(Nb(octets.first(4)));
        tiff = debut + 4 + saut;
        octets.clear();
        m_source->lit(tiff, std::min<qint64>(6, fin - tiff), octets);
        if (octets == prefixe)
            tiff += 6;
    }
    return lisBlocTiff(tiff, fin, true, false);
}

} // namespace kavel
