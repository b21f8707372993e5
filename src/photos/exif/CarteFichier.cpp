// The walkers of the photo containers and the map they draw. Every read is
// checked against the end of the source; a damaged file gives a shorter map,
// never a read out of bounds, and every loop is bounded.
#include "photos/exif/CarteFichier.h"

#include "photos/FormatsPhoto.h"
#include "photos/exif/Cartographe.h"
#include "platform/FichierLecture.h"

#include <QIODevice>
#include <algorithm>

namespace kavel {

using namespace formats;

namespace {

// JPEG: markers read before giving up on the first APP1; segments looked
// at for a preview's frame header.
constexpr int kMaxSegmentsApp1 = 50;
constexpr int kMaxSegmentsImage = 64;
// No preview is longer than this: anything longer is not one.
constexpr qint64 kMaxApercu = 64LL * 1024 * 1024;

// TIFF: directories read in all, entries read in one directory,
// sub-directories taken from one SubIFDs entry, directories waiting.
constexpr int kMaxRepertoires = 16;
constexpr quint64 kMaxEntrees = 1000;
constexpr quint32 kMaxSousRepertoires = 8;
constexpr size_t kMaxAttente = 64;

// Tags that place a preview or turn the photo.
constexpr quint16 kTagRw2JpgFromRaw = 0x002E;
constexpr quint16 kTagCompression = 0x0103;
constexpr quint16 kTagStripOffsets = 0x0111;
constexpr quint16 kTagOrientation = 0x0112;
constexpr quint16 kTagStripByteCounts = 0x0117;
constexpr quint16 kTagSubIfds = 0x014A;
constexpr quint16 kTagJpegDebut = 0x0201;
constexpr quint16 kTagJpegLongueur = 0x0202;

using Defaut = CarteFichier::Defaut;

// Whether the bytes from debut for longueur make a JPEG Qt can show: a
// start of image, then, before any scan, a Huffman or arithmetic frame
// that is not lossless (the lossless JPEG of a raw's sensor data also
// starts with FF D8). Gives its size in pixels from that frame's header.
std::optional<QSize> jpegAffichable(Source &source, qint64 debut, qint64 longueur)
{
    if (debut < 0 || longueur < 4 || longueur > kMaxApercu || longueur > source.taille() - debut)
        return std::nullopt;
    const qint64 fin = debut + longueur;
    if (source.nombre(debut, 2) != 0xFFD8u)
        return std::nullopt;
    qint64 pos = debut + 2;
    for (int n = 0; n < kMaxSegmentsImage && pos <= fin - 4; ++n) {
        const EnteteSegment s = enteteSegment(source, pos);
        if (s.marqueur.size() != 2 || quint8(s.marqueur[0]) != 0xFF)
            return std::nullopt;
        switch (quint8(s.marqueur[1])) {
        case 0xFF: // fill byte
            ++pos;
            continue;
        case 0xC0: case 0xC1: case 0xC2: case 0xC9: case 0xCA: {
            // Precision (1 byte), height (2), width (2).
            const auto hauteur = source.nombre(pos + 5, 2), largeur = source.nombre(pos + 7, 2);
            return hauteur && largeur ? QSize(int(*largeur), int(*hauteur)) : QSize();
        }
        case 0xC3: case 0xC5: case 0xC6: case 0xC7: case 0xCB: case 0xCD: case 0xCE: case 0xCF:
        case 0xDA: case 0xD9:
            return std::nullopt; // lossless or hierarchical frame, or no frame at all
        default:
            break;
        }
        pos += 2 + s.longueur;
    }
    return std::nullopt;
}

} // namespace

namespace carte {

CarteFichier Cartographe::dessine()
{
    QByteArray tete;
    m_source.lit(0, std::min<qint64>(16, m_source.taille()), tete);
    if (tete.startsWith("\xFF\xD8")) {
        m_carte.genre = CarteFichier::Genre::Jpeg;
        jpeg(m_source, 0);
    } else if (marqueRaw(marqueTiff(tete))) {
        m_carte.genre = CarteFichier::Genre::Tiff;
        tiff();
    } else if (tete.startsWith(kMagicRaf)) {
        m_carte.genre = CarteFichier::Genre::Raf;
        raf();
    } else if (tete.size() >= 8 && tete.sliced(4, 4) == "ftyp") {
        m_carte.genre = CarteFichier::Genre::Iso;
        m_carte.marque = tete.mid(8, 4);
        iso();
    } else {
        m_carte.defaut = Defaut::PasJpeg;
    }
    for (PlageApercu &a : m_carte.apercus)
        a.orientation = m_orientation;
    return std::move(m_carte);
}

// A JPEG from the start of the source: SOI (FF D8), then segments (marker,
// 2 bytes; length, 2 bytes counting itself; payload) up to the first APP1,
// whose "Exif" 00 00 precedes the TIFF block. A segment that runs past the
// end ends the walk there, its bytes taken as the APP1's.
void Cartographe::jpeg(Source &dans, qint64 debutFenetre)
{
    // Each read moves on only when the source holds its bytes.
    qint64 pos = 0;
    const auto lit = [&](qint64 n) {
        QByteArray octets;
        if (dans.lit(pos, n, octets))
            pos += n;
        return octets;
    };
    if (lit(2) != QByteArrayView("\xFF\xD8")) {
        m_carte.defaut = Defaut::PasJpeg;
        return;
    }
    // Where the APP1 segment ends, when it is whole and comes before the
    // image data: only then may a preview lie in it.
    qint64 finApp1 = -1;
    bool image = false;
    for (int segments = 1;; ++segments) {
        const EnteteSegment s = enteteSegment(dans, pos);
        pos += s.lus;
        bool app1 = s.marqueur == QByteArrayView("\xFF\xE1");
        image = image || s.marqueur == QByteArrayView("\xFF\xDA");
        if (app1) {
            if (!image && s.lus == 4 && pos - 2 + s.longueur <= dans.taille())
                finApp1 = pos - 2 + s.longueur;
        } else if (pos + s.longueur <= dans.taille()) {
            pos = pos + s.longueur - 2;
        } else {
            app1 = true; // carry on from here as if it were APP1
        }
        if (segments > kMaxSegmentsApp1) {
            m_carte.defaut = Defaut::PasDeApp1;
            return;
        }
        if (app1)
            break;
    }
    if (lit(4) != QByteArrayView("Exif")) {
        m_carte.defaut = Defaut::App1PasExif;
        return;
    }
    lit(2);
    BlocExif bloc;
    bloc.debut = debutFenetre;
    bloc.taille = dans.taille();
    bloc.tiff = pos;
    bloc.fin = std::clamp<qint64>(finApp1, pos, dans.taille());
    m_carte.exif.push_back(bloc);
    if (m_apercus && m_carte.genre == CarteFichier::Genre::Jpeg)
        apercuJpeg(dans, debutFenetre, bloc);
}

// The preview a JPEG's EXIF block holds: JPEGInterchangeFormat (0201) and
// its length (0202) in the second directory, inside the APP1 segment.
void Cartographe::apercuJpeg(Source &dans, qint64 debutFenetre, const BlocExif &bloc)
{
    SourceFenetre tiff(dans, bloc.tiff, bloc.fin - bloc.tiff);
    parcoursTiff(tiff, [&](const RepertoireTiff &r, std::span<const EntreeTiff> entrees) {
        if (r.rang != 1)
            return r.rang == 0;
        std::optional<quint64> debut, longueur;
        for (const EntreeTiff &e : entrees) {
            if (e.tag == kTagJpegDebut)
                debut = e.valeur;
            else if (e.tag == kTagJpegLongueur)
                longueur = e.valeur;
        }
        if (debut && longueur && *longueur > 0 && *longueur <= quint64(tiff.taille()) &&
            *debut <= quint64(tiff.taille()) - *longueur)
            propose(dans, debutFenetre, bloc.tiff + qint64(*debut), qint64(*longueur));
        return false;
    });
}

// A TIFF file or a camera raw built on TIFF: its EXIF block is the file;
// its previews lie in any of its directories.
void Cartographe::tiff()
{
    BlocExif bloc;
    bloc.taille = bloc.fin = m_source.taille();
    bloc.entete = BlocExif::Entete::Raw;
    m_carte.exif.push_back(bloc);
    if (!m_apercus)
        return;
    QByteArray tete;
    m_source.lit(0, 4, tete);
    const bool rw2 = marqueTiff(tete) == kMarqueRw2;
    m_orientation = orientation(m_source);
    const auto taille = quint64(m_source.taille());
    // The single number of a SHORT, LONG or IFD entry holding one value.
    const auto simple = [](const EntreeTiff &e) -> std::optional<quint64> {
        if (e.nombre != 1 || (e.type != 3 && e.type != 4 && e.type != 13))
            return std::nullopt;
        return e.valeur;
    };
    parcoursTiff(m_source, [&](const RepertoireTiff &, std::span<const EntreeTiff> entrees) {
        std::optional<quint64> compression, debutBande, longueurBande, debutJpeg, longueurJpeg;
        for (const EntreeTiff &e : entrees) {
            switch (e.tag) {
            case kTagCompression: compression = simple(e); break;
            case kTagStripOffsets: debutBande = simple(e); break;
            case kTagStripByteCounts: longueurBande = simple(e); break;
            case kTagJpegDebut: debutJpeg = simple(e); break;
            case kTagJpegLongueur: longueurJpeg = simple(e); break;
            case kTagRw2JpgFromRaw:
                if (rw2 && e.type == 7 && e.nombre > 4)
                    propose(m_source, 0, qint64(e.champ), qint64(e.nombre));
                break;
            default: break;
            }
        }
        if (debutJpeg && longueurJpeg && *debutJpeg < taille && *longueurJpeg < taille)
            propose(m_source, 0, qint64(*debutJpeg), qint64(*longueurJpeg));
        if ((compression == 6u || compression == 7u) && debutBande && longueurBande &&
            *debutBande < taille && *longueurBande < taille)
            propose(m_source, 0, qint64(*debutBande), qint64(*longueurBande));
        return true;
    });
}

// The Orientation of the first directory, whose tags come in ascending
// order: 1 to 8, 0 when it gives none.
int Cartographe::orientation(Source &tiff)
{
    int sens = 0;
    parcoursTiff(tiff, [&](const RepertoireTiff &, std::span<const EntreeTiff> entrees) {
        for (const EntreeTiff &e : entrees) {
            if (e.tag > kTagOrientation)
                break;
            if (e.tag == kTagOrientation && e.type == 3 && e.nombre == 1 && e.valeur >= 1 &&
                e.valeur <= 8)
                sens = int(e.valeur);
        }
        return false;
    });
    return sens;
}

// A RAF: the JPEG preview whose place its header gives holds the EXIF data.
void Cartographe::raf()
{
    Curseur c{m_source, kRafPlaceJpeg, m_source.taille()};
    const auto debut = static_cast<qint64>(c.lit(4));
    const auto longueur = static_cast<qint64>(c.lit(4));
    if (!c.ok) {
        m_carte.defaut = Defaut::PasDeApp1; // a header cut short: no preview
        return;
    }
    if (m_apercus)
        propose(m_source, 0, debut, longueur);
    if (longueur > 0 && debut >= m_source.taille()) {
        m_carte.defaut = Defaut::SegmentTropLong;
        return;
    }
    SourceFenetre apercu(m_source, debut, longueur);
    const qint64 debutFenetre = std::clamp<qint64>(debut, 0, m_source.taille());
    jpeg(apercu, debutFenetre);
    if (m_carte.defaut == Defaut::PasJpeg)
        m_carte.defaut = Defaut::PasDeApp1; // the preview is not a JPEG
}

void Cartographe::propose(Source &dans, qint64 debutFenetre, qint64 debut, qint64 longueur)
{
    if (const std::optional<QSize> pixels = jpegAffichable(dans, debut, longueur))
        m_carte.apercus.push_back(PlageApercu{debutFenetre + debut, longueur, *pixels, 0});
}

} // namespace carte

std::optional<quint64> Source::nombre(qint64 pos, int n, bool motorola)
{
    QByteArray octets;
    if (!lit(pos, n, octets))
        return std::nullopt;
    if (!motorola)
        std::reverse(octets.begin(), octets.end());
    return nombreMotorola(octets);
}

qint64 SourceFichier::taille() const
{
    return m_f.taille();
}

bool SourceFichier::lit(qint64 pos, qint64 n, QByteArray &out)
{
    return m_f.lit(pos, n, out);
}

bool SourceMemoire::lit(qint64 pos, qint64 n, QByteArray &out)
{
    if (pos < 0 || n < 0 || n > m_octets.size() - pos)
        return false;
    out.append(m_octets.sliced(pos, n));
    return true;
}

SourceFlux::SourceFlux(QIODevice &flux)
    : m_flux(flux), m_taille(flux.size())
{
}

// Small reads are served from one block read ahead: a walk asks for a few
// bytes at a time, near each other.
bool SourceFlux::lit(qint64 pos, qint64 n, QByteArray &out)
{
    constexpr qint64 kBloc = 64 * 1024;
    if (pos < 0 || n < 0 || n > taille() - pos)
        return false;
    if (pos < m_debutBloc || n > m_debutBloc + m_bloc.size() - pos) {
        if (!m_flux.seek(pos))
            return false;
        m_bloc = m_flux.read(std::max(n, std::min(kBloc, taille() - pos)));
        m_debutBloc = pos;
        if (m_bloc.size() < n) {
            m_bloc.clear();
            return false;
        }
    }
    out.append(QByteArrayView(m_bloc).sliced(pos - m_debutBloc, n));
    return true;
}

SourceFenetre::SourceFenetre(Source &source, qint64 debut, qint64 taille)
    : m_source(source)
    , m_debut(std::clamp<qint64>(debut, 0, source.taille()))
    , m_taille(std::clamp<qint64>(taille, 0, source.taille() - m_debut))
{
}

bool SourceFenetre::lit(qint64 pos, qint64 n, QByteArray &out)
{
    if (pos < 0 || n < 0 || n > m_taille - pos)
        return false;
    return m_source.lit(m_debut + pos, n, out);
}

quint64 nombreMotorola(QByteArrayView octets)
{
    quint64 v = 0;
    for (char c : octets)
        v = v * 256 + static_cast<unsigned char>(c);
    return v;
}

EnteteSegment enteteSegment(Source &source, qint64 pos)
{
    EnteteSegment s;
    if (source.lit(pos, 2, s.marqueur)) {
        s.lus = 2;
        QByteArray longueur;
        if (source.lit(pos + 2, 2, longueur)) {
            s.longueur = static_cast<qint64>(nombreMotorola(longueur));
            s.lus = 4;
        }
    }
    return s;
}

void parcoursTiff(Source &tiff,
                  const std::function<bool(const RepertoireTiff &, std::span<const EntreeTiff>)> &visite)
{
    QByteArray tete;
    if (!tiff.lit(0, 8, tete))
        return;
    const bool mm = tete[0] == 'M';
    const auto taille = static_cast<quint64>(tiff.taille());
    // A field's bytes as a number of n bytes in the block's byte order.
    const auto nombre = [mm](const QByteArray &b, qsizetype pos, int n) {
        quint64 v = 0;
        for (int i = 0; i < n; ++i)
            v = v << 8 | quint8(b[pos + (mm ? i : n - 1 - i)]);
        return v;
    };
    std::vector<RepertoireTiff> aLire{{qint64(nombre(tete, 4, 4)), 0}};
    std::vector<qint64> lus;
    std::vector<EntreeTiff> entrees;
    while (!aLire.empty() && int(lus.size()) < kMaxRepertoires) {
        const RepertoireTiff r = aLire.front();
        aLire.erase(aLire.begin());
        if (std::find(lus.begin(), lus.end(), r.place) != lus.end())
            continue;
        lus.push_back(r.place);
        if (r.place < 8 || quint64(r.place) >= taille)
            continue;
        const auto nEntrees = tiff.nombre(r.place, 2, mm);
        if (!nEntrees)
            continue;
        const quint64 tiennent = (taille - quint64(r.place) - 2) / 12;
        const auto n = static_cast<qint64>(std::min<quint64>({*nEntrees, kMaxEntrees, tiennent}));
        QByteArray octets;
        if (!tiff.lit(r.place + 2, 12 * n, octets))
            continue;
        if (n == qint64(*nEntrees)) {
            const auto suivant = tiff.nombre(r.place + 2 + 12 * n, 4, mm);
            if (suivant && *suivant != 0)
                aLire.push_back({qint64(*suivant), r.rang < 0 ? -1 : r.rang + 1});
        }
        entrees.clear();
        for (qint64 i = 0; i < n; ++i) {
            const qsizetype p = 12 * i;
            EntreeTiff e{quint16(nombre(octets, p, 2)), quint16(nombre(octets, p + 2, 2)),
                         quint32(nombre(octets, p + 4, 4)), 0, nombre(octets, p + 8, 4)};
            e.valeur = e.type == 3 ? nombre(octets, p + 8, 2) : e.champ;
            entrees.push_back(e);
            const bool ifd = e.type == 4 || e.type == 13;
            if (e.tag != kTagSubIfds || !ifd || aLire.size() >= kMaxAttente)
                continue;
            if (e.nombre == 1) {
                aLire.push_back({qint64(e.champ), -1});
            } else if (e.nombre > 1 && e.champ < taille) {
                const quint32 k = std::min(e.nombre, kMaxSousRepertoires);
                QByteArray places;
                if (tiff.lit(qint64(e.champ), 4 * qint64(k), places)) {
                    for (quint32 j = 0; j < k; ++j)
                        aLire.push_back({qint64(nombre(places, 4 * j, 4)), -1});
                }
            }
        }
        if (!visite(r, entrees))
            return;
    }
}

std::optional<PlageApercu> CarteFichier::plusGrandApercu() const
{
    std::optional<PlageApercu> plus;
    for (const PlageApercu &a : apercus) {
        if (!plus || a.longueur > plus->longueur)
            plus = a;
    }
    return plus;
}

CarteFichier carteFichier(Source &source, Recherche recherche)
{
    return carte::Cartographe(source, recherche).dessine();
}

} // namespace kavel
