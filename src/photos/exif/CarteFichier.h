#pragma once

// The map of a photo file: where its EXIF data lies and where its JPEG
// previews lie. One walker per container kind draws it (JPEG segments, TIFF
// directories with their chains and SubIFDs, Fujifilm's RAF header, ISO
// boxes); the EXIF reader and the thumbnails both read the map, and neither
// walks a container itself.

#include <QByteArray>
#include <QByteArrayView>
#include <QSize>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class QIODevice;

namespace kavel {

class FichierLecture;

// Where the bytes come from: a file, memory, or a part of either.
class Source {
public:
    virtual ~Source() = default;
    virtual qint64 taille() const = 0;
    // Appends the n bytes at pos to out; false, appending nothing, when
    // they are not all in the source.
    virtual bool lit(qint64 pos, qint64 n, QByteArray &out) = 0;
    // The n bytes (at most 8) at pos as an unsigned number in the given
    // byte order; nothing when they are not all in the source.
    std::optional<quint64> nombre(qint64 pos, int n, bool motorola = true);
};

class SourceFichier : public Source {
public:
    explicit SourceFichier(FichierLecture &f) : m_f(f) {}
    qint64 taille() const override;
    bool lit(qint64 pos, qint64 n, QByteArray &out) override;

private:
    FichierLecture &m_f;
};

class SourceMemoire : public Source {
public:
    explicit SourceMemoire(QByteArrayView octets) : m_octets(octets) {}
    qint64 taille() const override { return m_octets.size(); }
    bool lit(qint64 pos, qint64 n, QByteArray &out) override;

private:
    QByteArrayView m_octets;
};

// A device open for reading (a QFile ...), from its start, at the size it
// has when this is made (asking a file's size asks the system each time).
// The device's position is left anywhere.
class SourceFlux : public Source {
public:
    explicit SourceFlux(QIODevice &flux);
    qint64 taille() const override { return m_taille; }
    bool lit(qint64 pos, qint64 n, QByteArray &out) override;

private:
    QIODevice &m_flux;
    qint64 m_taille;
    QByteArray m_bloc;
    qint64 m_debutBloc = 0;
};

// A part of another source, from debut for taille bytes, cut to what the
// other source holds; its positions count from debut.
class SourceFenetre : public Source {
public:
    SourceFenetre(Source &source, qint64 debut, qint64 taille);
    qint64 taille() const override { return m_taille; }
    bool lit(qint64 pos, qint64 n, QByteArray &out) override;

private:
    Source &m_source;
    qint64 m_debut;
    qint64 m_taille;
};

// The value of bytes read as an unsigned big-endian number.
quint64 nombreMotorola(QByteArrayView octets);

// A JPEG segment's header at pos: its marker (2 bytes, FF then the kind)
// and its length (2, big-endian, counting itself). What the source does not
// hold reads as empty, and the length then as 0; lus counts the bytes read.
struct EnteteSegment {
    QByteArray marqueur;
    qint64 longueur = 0;
    qint64 lus = 0;
};
EnteteSegment enteteSegment(Source &source, qint64 pos);

// One TIFF directory entry: tag, type, count, the value of a single SHORT
// or LONG (a SHORT's from the field's first two bytes) and the 4-byte field
// read as an offset.
struct EntreeTiff {
    quint16 tag = 0;
    quint16 type = 0;
    quint32 nombre = 0;
    quint64 valeur = 0;
    quint64 champ = 0;
};
// A directory met by the walk: its place from the TIFF header, and its rank
// in the first directory's chain (0 for the first, 1 for the one it links
// to ...), -1 for a SubIFD or a directory of a SubIFD's chain.
struct RepertoireTiff {
    qint64 place = 0;
    int rang = 0;
};
// Walks the TIFF block whose header starts the source: its first
// directory, the chain of directories after it and the SubIFDs of each,
// every directory once, within bounds. Hands each directory's entries to
// visite, which returns false to end the walk. A directory cut short by
// the end of the source keeps its whole entries.
void parcoursTiff(Source &tiff,
                  const std::function<bool(const RepertoireTiff &, std::span<const EntreeTiff>)> &visite);

// Where EXIF data lies: a TIFF block read within a window of the file.
struct BlocExif {
    qint64 debut = 0;  // the window, in the file
    qint64 taille = 0;
    qint64 tiff = 0;   // the TIFF header, from the window's start
    // The end of the APP1 segment that holds the block, from the window's
    // start (a JPEG's block); the window's size otherwise.
    qint64 fin = 0;
    // What the header must be: a JPEG's APP1 block is read whatever its
    // mark; a block in a container must be TIFF (42); a raw file's may also
    // carry a raw mark (ORF, RW2).
    enum class Entete { Libre, Tiff, Raw };
    Entete entete = Entete::Libre;
    // Whether the Exif sub-directory the first directory points to is read
    // too (a CR3 keeps it in a block of its own).
    bool suivreExif = true;
};

// A JPEG preview in the file: its bytes, its size in pixels as its frame
// header gives it, and how the photo is turned to be seen upright: the
// EXIF Orientation (1 to 8) of the file's first directory (a CR3's CMT1),
// which a raw's preview, stored as the sensor saw it, does not carry; 0
// when the file gives none.
struct PlageApercu {
    qint64 debut = 0;
    qint64 longueur = 0;
    QSize pixels;
    int orientation = 0;
};

struct CarteFichier {
    enum class Genre { Autre, Jpeg, Tiff, Raf, Iso };
    Genre genre = Genre::Autre;
    // An ISO base media file's brand ("crx " for a CR3, "heic" ...).
    QByteArray marque;

    // Why no EXIF block was found, when none was.
    enum class Defaut {
        Aucun,
        PasJpeg,         // no kind of file known here
        SegmentTropLong, // the place a RAF or HEIF header gives lies past the end
        PasDeApp1,       // no EXIF data where the kind of file keeps it
        App1PasExif,     // the place holds something else
    };
    Defaut defaut = Defaut::Aucun;
    // The TIFF blocks of the EXIF data, in reading order: the first
    // directory's block first (a CR3 has two).
    std::vector<BlocExif> exif;

    // The showable JPEG previews (Qt can decode them: not lossless), when
    // asked for: a raw file's, or the one a JPEG's EXIF block holds.
    std::vector<PlageApercu> apercus;
    // The largest of them.
    std::optional<PlageApercu> plusGrandApercu() const;
};

enum class Recherche { Exif, ExifEtApercus };

// The map of the file the source holds, told by its first bytes.
CarteFichier carteFichier(Source &source, Recherche recherche = Recherche::Exif);

} // namespace kavel
