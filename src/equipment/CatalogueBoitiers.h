#pragma once

#include "equipment/Objectifs.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// The body catalogue: the program's Boitiers.csv and the student's own
// MesBoitiers.csv, one format.
//
// UTF-8, comma-separated, point decimals, one header line naming the
// columns, then one body a line. Columns are found by their header name, in
// any order; unknown columns are kept out of the way. A field may be quoted
// ("..."; a quote inside is doubled). The columns:
//   Marque, Modele      the maker and the model; the list shows "Marque Modele"
//   Annee               year announced (empty: unknown)
//   Monture             lens mount, as the lens database names it; empty for a
//                       built-in lens or an unknown mount
//   Recadrage           crop factor (1 for 24x36; empty: unknown)
//   VitesseMax          fastest speed value, 8000 for 1/8000 s
//   VitesseFlash        built-in flash synchronisation speed value; 0 without
//                       built-in flash; empty when unknown
//   IsoMini, IsoMaxi    native sensitivity range
//   FocaleMini, FocaleMaxi, DiafMini, DiafMiniZoom
//                       the built-in lens (real focal lengths, mm, and widest
//                       f-numbers at each end); empty for interchangeable lenses
//   Source              where the flash value comes from
namespace kavel {

struct TypeBoitier {
    QString Marque;
    QString Modele;
    int Annee = 0;           // 0: unknown
    QString Monture;         // empty: built-in lens or unknown mount
    double Recadrage = 0;    // 0: unknown
    double VitesseMax = 0;   // speed value
    std::optional<double> VitesseFlash; // empty: unknown; 0: no built-in flash
    double IsoMini = 0;
    double IsoMaxi = 0;
    double FocaleMini = 0;   // built-in lens, mm; 0 for interchangeable lenses
    double FocaleMaxi = 0;
    double DiafMini = 0;
    double DiafMiniZoom = 0;
    QString Source;

    // The item text of the body list.
    QString nom() const { return Marque + QLatin1Char(' ') + Modele; }
    bool objectifIntegre() const { return FocaleMini > 0 && FocaleMaxi > 0 && DiafMini > 0; }
    // The built-in lens as a lens record, named after the body. Its narrowest
    // apertures are estimated: small sensors close less (f/8 from a crop
    // factor of 4, f/11 from 2.5), larger ones as fermetureEstimee says.
    TypeObjectif objectif() const;
};

// A line of a file that could not be read: its number (1 for the header)
// and its bytes, kept so that writing the file back loses nothing.
struct LigneRejetee {
    int numero = 0;
    QByteArray octets;
};

struct LectureBoitiers {
    bool existe = false;                 // the file was there and could be read
    std::vector<TypeBoitier> boitiers;   // good lines, in file order
    std::vector<LigneRejetee> rejetees;  // damaged lines, in file order
};

// Reads a body catalogue. A line without a maker, a model or a positive
// fastest speed and ISO range, or with a value that is not a number where a
// number is due, is rejected and the rest is read.
LectureBoitiers LireBoitiers(const QString &chemin);

// The text of a body catalogue with the standard header, then the bodies,
// then the rejected lines as they were.
QByteArray texteBoitiers(const std::vector<TypeBoitier> &boitiers,
                         const std::vector<LigneRejetee> &rejetees = {});

// The student's own lenses, kept in the lens catalogue format one record a
// line: good records, and the lines that are not one.
struct LectureObjectifs {
    bool existe = false;
    std::vector<TypeObjectif> objectifs;
    std::vector<LigneRejetee> rejetees;
};
LectureObjectifs LireMesObjectifs(const QString &chemin);
// The lens catalogue text (header, one record a line, CR LF, UTF-8 names),
// then the rejected lines as they were.
QByteArray texteObjectifs(const std::vector<TypeObjectif> &objectifs,
                          const std::vector<LigneRejetee> &rejetees = {});

// The French message naming the damaged lines of a file, empty when none:
// "MesBoitiers.csv, ligne 4 : ligne illisible, ignorée." and so on.
QString messageLignesRejetees(const QString &fichier, const std::vector<LigneRejetee> &rejetees);

// The narrowest aperture a lens is given when no source says it: f/16 for
// a lens opening to f/2 or wider, f/22 up to f/5.6 excluded, f/32 beyond.
// The long end of a zoom closes as much further as it opens less.
float fermetureEstimee(float diafMini);
float fermetureEstimeeZoom(float diafMini, float diafMiniZoom);

} // namespace kavel
