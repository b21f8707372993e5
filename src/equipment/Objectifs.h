#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

// Lens catalogues: one text file per maker in the program's folder, named
// "Objectifs" + maker word + ".txt".
//
// Layout: a header line (ignored), then records of eight values separated by
// commas or line ends, however a record is spread over lines:
//   "EF-S 18-55mm F3.5-5.6",18,55,3.5,5.6,22,38,0
//   name, focal min, focal max, full aperture at min, at max,
//   narrowest aperture at min, at max, stabiliser (0 or 1)
// Single-byte (Latin-1) text, point decimals; a value may be quoted.
namespace kavel {

struct TypeObjectif {
    QString Nom;
    float FocalMini = 0;    // mm
    float FocalMaxi = 0;    // mm, equal to FocalMini for a prime
    float DiafMini = 0;     // full aperture at the shortest focal length
    float DiafMiniZoom = 0; // full aperture at the longest focal length
    float DiafMaxi = 0;     // narrowest aperture at the shortest focal length
    float DiafMaxiZoom = 0; // narrowest aperture at the longest focal length
    qint16 Stabilisateur = 0;
    // The narrowest apertures are an estimate (the lens database has none).
    bool FermetureEstimee = false;
};

// The lens table holds this many records; a longer catalogue is cut.
inline constexpr int kMaxObjectifs = 201;

// The maker word of a body's name: its text up to the first space.
QString motMarque(const QString &nomBoitier);

// The catalogue path for a body, or an empty text when the maker word could
// name a file outside the folder.
QString cheminCatalogue(const QString &dossier, const QString &nomBoitier);

// The complete records of a catalogue, in file order. Reading stops at the
// first record that is cut short or holds a value it cannot take, keeping
// the records before it; a missing file gives no record.
std::vector<TypeObjectif> LireCatalogue(const QString &chemin);

} // namespace kavel
