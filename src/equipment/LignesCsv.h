// The comma-separated text of the equipment catalogues, as it is read:
// lines taken from the file by blocks within fixed limits, records whose
// quoted fields run over line ends, and a record split into its fields.
// The catalogues' columns and values are CatalogueBoitiers' business.
#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

class QFile;

namespace kavel::csv {

// A line longer than this is rejected and only its first bytes are kept: no
// body or lens needs more, and a file that is not a catalogue must not fill
// the memory. A record spread over lines by a quoted line break is held to
// the same length.
inline constexpr qsizetype kLongueurLigneMax = 64 * 1024;
// Reading stops after this many lines, or this many bytes, whichever comes
// first; a line cut by the byte limit is not read at all.
inline constexpr int kLignesMax = 100'000;
inline constexpr qint64 kOctetsMax = 64 * 1024 * 1024;

// A blank inside a line: a space or a tab.
bool blanc(char c);
std::string_view sansBlancs(std::string_view s);
std::string_view vue(const QByteArray &octets);

// One line of a file: its bytes without the line end (LF, or CR LF).
struct Ligne {
    int numero = 0;          // 1 for the first line
    QByteArray octets;       // at most kLongueurLigneMax of them
    bool tropLongue = false; // only the start of a longer line is kept
    bool crlf = false;       // ended by CR LF (else by LF or by the end of the file)
};

// The lines of a file, read by blocks; a byte order mark at its start is
// not part of the first line.
class LecteurLignes {
public:
    explicit LecteurLignes(QFile &file)
        : m_file(file)
    {
    }

    // The next line; false past the last one, or past the limits.
    bool suivante(Ligne &ligne);

private:
    bool remplis();

    QFile &m_file;
    QByteArray m_bloc;
    qsizetype m_pos = 0;
    qint64 m_lus = 0;
    int m_numero = 0;
    bool m_coupe = false;
};

// A carriage return alone ends no line here, yet written back before a line
// end it would: a line of blanks and carriage returns is blank either way.
bool ligneBlanche(const QByteArray &octets);

// The records of a comma-separated file: one a line, except that a line
// break inside a quoted field continues the record on the next line. A
// record thus ends at the first line end after an even number of quotes.
// When the quotes of a line do not close before the end of the file or
// within kLongueurLigneMax bytes, that line alone is rejected and the lines
// after it are read again as records of their own (each of them holds an
// even number of quotes, else the record would have closed there), so a
// stray quote costs one line and the reading stays linear.
class LecteurEnregistrements {
public:
    explicit LecteurEnregistrements(QFile &file)
        : m_lignes(file)
    {
    }

    // The next record that is not blank, numbered after its first line;
    // lisible is false for a line too long or whose quotes do not close.
    bool suivant(Ligne &enregistrement, bool &lisible);

private:
    bool ligneSuivante(Ligne &ligne);
    // Appends to a record the lines that close its quotes; false, leaving
    // the record as its first line and the lines taken to be read again,
    // when they do not close.
    bool rassemble(Ligne &enregistrement);

    LecteurLignes m_lignes;
    std::deque<Ligne> m_relues; // lines taken ahead, to be read again
};

// Splits a record into its fields, reusing the strings of champs; nb is
// their count. A field is plain (no quote, blanks around it dropped) or
// quoted ("...", blanks allowed around the quotes; with doublement, ""
// inside stands for one quote). False for anything else: a quote inside a
// plain field, text after a closing quote, a quote never closed.
bool decoupe(
    std::string_view ligne, std::vector<std::string> &champs, std::size_t &nb, bool doublement);

// A UTF-8 text; false for bytes that are not UTF-8, so that the line is
// rejected and its bytes kept rather than changed.
bool texte(std::string_view champ, QString &valeur);

} // namespace kavel::csv
