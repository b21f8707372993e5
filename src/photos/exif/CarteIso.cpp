// The ISO base media files: Canon's CR3 (its EXIF blocks and previews)
// and HEIF/HEIC/AVIF (the item "Exif"), walked box by box within bounds.
#include "photos/exif/Cartographe.h"

#include "photos/FormatsPhoto.h"

#include <algorithm>

namespace kavel::carte {

using namespace formats;

namespace {

// ISO boxes: boxes read in one container, item entries read in "iinf" or
// "iloc". The walk only goes down known paths, never deeper than three.
constexpr int kMaxBoites = 64;
constexpr quint64 kMaxItems = 4096;

// A CR3's previews: "THMB" (160x120) in Canon's box of "moov", after
// version and flags (4 bytes), width (2), height (2), JPEG length (4) and 4
// more bytes; "PRVW" (about 1620 pixels wide) in a top-level "uuid" box,
// after 8 bytes of that box, whose JPEG follows 4 bytes, 2, width (2),
// height (2), 2 and the JPEG length (4).
constexpr qint64 kEnteteApercuCr3 = 16;
constexpr qint64 kPlaceLongueurThmb = 8;
constexpr qint64 kPlaceLongueurPrvw = 12;
constexpr qint64 kAvantPrvw = 8;

using Defaut = CarteFichier::Defaut;

} // namespace

bool boiteSuivante(Source &source, qint64 &pos, qint64 fin, Boite &boite)
{
    Curseur c{source, pos, fin};
    quint64 taille = c.lit(4);
    boite.type = static_cast<quint32>(c.lit(4));
    if (taille == 1)
        taille = c.lit(8);
    else if (taille == 0)
        taille = static_cast<quint64>(fin - pos);
    boite.uuid.clear();
    if (c.ok && boite.type == fourcc("uuid")) {
        if (16 <= c.fin - c.pos && source.lit(c.pos, 16, boite.uuid))
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
// which a CR3's "moov" or a HEIF's "meta" holds the EXIF data; a CR3's
// larger preview has a top-level "uuid" box of its own.
void Cartographe::iso()
{
    const bool previsCr3 = m_apercus && m_carte.marque == "crx ";
    bool exif = false;
    qint64 pos = 0;
    Boite boite;
    for (int n = 0; n < kMaxBoites && boiteSuivante(m_source, pos, m_source.taille(), boite); ++n) {
        if (boite.type == fourcc("moov") && (!exif || previsCr3)) {
            const bool lu = cr3(boite);
            exif = exif || lu;
        } else if (boite.type == fourcc("meta") && !exif) {
            exif = heif(boite);
        } else if (boite.type == fourcc("uuid") && previsCr3) {
            // The preview's own box, whichever uuid it has.
            qint64 p = boite.debut + kAvantPrvw;
            Boite prvw;
            if (boiteSuivante(m_source, p, boite.fin, prvw) && prvw.type == fourcc("PRVW"))
                apercuBoite(prvw, kPlaceLongueurPrvw);
        }
        if (exif && !previsCr3)
            return;
    }
    if (!exif)
        m_carte.defaut = Defaut::PasDeApp1;
}

// Canon's box in "moov": the TIFF blocks CMT1 (first directory) and CMT2
// (Exif directory), and the small preview THMB. True when it gave the EXIF
// data's place (or the map's failure), false when it holds none.
bool Cartographe::cr3(const Boite &moov)
{
    const bool dejaLu = !m_carte.exif.empty() || m_carte.defaut != Defaut::Aucun;
    Boite canon, boite, cmt[2];
    bool trouve[2] = {false, false};
    qint64 pos = moov.debut;
    for (int n = 0; n < kMaxBoites && boiteSuivante(m_source, pos, moov.fin, canon); ++n) {
        if (canon.type != fourcc("uuid") || canon.uuid != QByteArrayView(kUuidCanon, 16))
            continue;
        qint64 p = canon.debut;
        for (int m = 0; m < kMaxBoites && (m_apercus || !(trouve[0] && trouve[1])) &&
                        boiteSuivante(m_source, p, canon.fin, boite);
             ++m) {
            const int i = boite.type == fourcc("CMT1") ? 0 : boite.type == fourcc("CMT2") ? 1 : -1;
            if (i >= 0 && !trouve[i]) {
                cmt[i] = boite;
                trouve[i] = true;
            }
            if (m_apercus && boite.type == fourcc("THMB"))
                apercuBoite(boite, kPlaceLongueurThmb);
            if (m_apercus && boite.type == fourcc("CMT1")) {
                SourceFenetre premier(m_source, boite.debut, boite.fin - boite.debut);
                m_orientation = orientation(premier);
            }
        }
        break;
    }
    if (dejaLu || (!trouve[0] && !trouve[1]))
        return false;
    // The make first, then the exposure, as in a TIFF's two directories.
    for (int i : {0, 1}) {
        if (!trouve[i])
            continue;
        BlocExif bloc;
        bloc.debut = cmt[i].debut;
        bloc.taille = bloc.fin = cmt[i].fin - cmt[i].debut;
        bloc.entete = BlocExif::Entete::Tiff;
        bloc.suivreExif = false;
        m_carte.exif.push_back(bloc);
    }
    return true;
}

// The JPEG after the 16 header bytes of a CR3 preview box, its length at
// placeLongueur in that header.
void Cartographe::apercuBoite(const Boite &b, qint64 placeLongueur)
{
    if (b.fin - b.debut < kEnteteApercuCr3)
        return;
    if (const auto longueur = m_source.nombre(b.debut + placeLongueur, 4))
        propose(m_source, 0, b.debut + kEnteteApercuCr3, qint64(*longueur));
}

// A HEIF's "meta" (a full box: version and flags, 4 bytes, before its
// boxes). "iinf" lists the items, "iloc" says where each one's bytes lie.
// True when it gave the EXIF data's place (or the map's failure).
bool Cartographe::heif(const Boite &meta)
{
    Boite boite, iinf, iloc;
    bool avecIinf = false, avecIloc = false;
    qint64 pos = meta.debut + 4;
    for (int n = 0; n < kMaxBoites && boiteSuivante(m_source, pos, meta.fin, boite); ++n) {
        if (boite.type == fourcc("iinf") && !avecIinf)
            iinf = boite, avecIinf = true;
        else if (boite.type == fourcc("iloc") && !avecIloc)
            iloc = boite, avecIloc = true;
    }
    if (!avecIinf || !avecIloc)
        return false;

    // iinf: version (1 byte), flags (3), entry count (2 bytes in version 0,
    // else 4), then one "infe" box per item. An "infe" of version 2 or 3:
    // version (1), flags (3), item number (2 bytes, 4 in version 3),
    // protection index (2), item type (4).
    Curseur c{m_source, iinf.debut, iinf.fin};
    const quint64 versionIinf = c.lit(1);
    c.lit(3);
    const quint64 entrees = std::min(c.lit(versionIinf == 0 ? 2 : 4), kMaxItems);
    quint64 item = 0;
    bool exif = false;
    pos = c.pos;
    for (quint64 e = 0; c.ok && !exif && e < entrees && boiteSuivante(m_source, pos, iinf.fin, boite);
         ++e) {
        if (boite.type != fourcc("infe"))
            continue;
        Curseur i{m_source, boite.debut, boite.fin};
        const quint64 version = i.lit(1);
        i.lit(3);
        if (version < 2)
            continue; // no item type
        item = i.lit(version == 2 ? 2 : 4);
        i.lit(2);
        exif = i.lit(4) == fourcc("Exif") && i.ok;
    }
    if (!exif)
        return false;

    // iloc: version (1 byte, 0 to 2), flags (3), the sizes of offsets,
    // lengths, base offsets and indexes (4 bits each; 0, 4 or 8 bytes; no
    // index before version 1), item count (2 bytes, 4 in version 2), then per
    // item: number (2 bytes, 4 in version 2), construction method (2 bytes,
    // its low 4 bits; versions 1 and 2), data reference (2), base offset,
    // extent count (2) and the extents: index, offset, length.
    Curseur l{m_source, iloc.debut, iloc.fin};
    const quint64 version = l.lit(1);
    l.lit(3);
    const quint64 tailles = l.lit(2);
    const qint64 tailleOffset = (tailles >> 12) & 15, tailleLongueur = (tailles >> 8) & 15;
    const qint64 tailleBase = (tailles >> 4) & 15, tailleIndex = version == 0 ? 0 : tailles & 15;
    for (qint64 t : {tailleOffset, tailleLongueur, tailleBase, tailleIndex}) {
        if (t != 0 && t != 4 && t != 8)
            return false;
    }
    if (version > 2)
        return false;
    const quint64 items = std::min(l.lit(version < 2 ? 2 : 4), kMaxItems);
    for (quint64 e = 0; l.ok && e < items; ++e) {
        const quint64 numero = l.lit(version < 2 ? 2 : 4);
        const quint64 methode = version == 0 ? 0 : l.lit(2) & 15;
        const quint64 reference = l.lit(2);
        const quint64 base = l.lit(tailleBase);
        const auto extents = static_cast<qint64>(l.lit(2));
        if (numero != item) {
            l.pos += std::min(extents * (tailleIndex + tailleOffset + tailleLongueur), l.fin - l.pos);
            continue;
        }
        // Only an item stored in this file's own bytes can be read; an item
        // in several extents is read from its first one.
        l.lit(tailleIndex);
        const quint64 offset = l.lit(tailleOffset);
        const quint64 longueur = l.lit(tailleLongueur);
        if (!l.ok || methode != 0 || reference != 0 || extents == 0)
            return false;
        const auto taille = static_cast<quint64>(m_source.taille());
        if (base >= taille || offset >= taille - base) {
            m_carte.defaut = Defaut::SegmentTropLong;
            return true;
        }
        const auto debut = static_cast<qint64>(base + offset);
        const qint64 fin = longueur == 0 || longueur > taille - base - offset
                               ? m_source.taille()
                               : debut + static_cast<qint64>(longueur);
        return itemExif(debut, fin);
    }
    return false;
}

// A HEIF's Exif item: the offset (4 bytes, big-endian) from the item's fifth
// byte to the TIFF header, which an "Exif\0\0" usually precedes; some
// writers leave the offset out and begin with "Exif\0\0".
bool Cartographe::itemExif(qint64 debut, qint64 fin)
{
    const QByteArrayView prefixe("Exif\0\0", 6);
    QByteArray octets;
    m_source.lit(debut, std::min<qint64>(6, fin - debut), octets);
    qint64 tiff = debut + 6;
    if (octets != prefixe) {
        if (octets.size() < 4 || nombreMotorola(octets.first(4)) > quint64(fin - debut - 4)) {
            m_carte.defaut = Defaut::App1PasExif;
            return true;
        }
        tiff = debut + 4 + static_cast<qint64>(nombreMotorola(octets.first(4)));
        octets.clear();
        m_source.lit(tiff, std::min<qint64>(6, fin - tiff), octets);
        if (octets == prefixe)
            tiff += 6;
    }
    BlocExif bloc;
    bloc.debut = tiff;
    bloc.taille = bloc.fin = fin - tiff;
    bloc.entete = BlocExif::Entete::Tiff;
    m_carte.exif.push_back(bloc);
    return true;
}

} // namespace kavel::carte
