#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <vector>

// File names as the system keeps them: bytes, nearly always UTF-8, but a
// name copied from an older disk or camera card may hold bytes of another
// code page ("IMG_\xE9t\xE9.jpg" in Latin-1). Reading such a name as UTF-8
// would turn those bytes into U+FFFD, and the file could not be opened
// again. The program keeps every path as text made by texteDeNom and gives
// the system back octetsDeNom of it.
namespace kavel::platform {

// Valid UTF-8 reads as UTF-8; each byte of an invalid sequence becomes the
// lone surrogate U+DC00 + byte (U+DC80 ... U+DCFF), which no valid name
// decodes to. octetsDeNom(texteDeNom(b)) == b for any bytes b.
QString texteDeNom(QByteArrayView octets);
// The bytes of a name made by texteDeNom; any other text as UTF-8.
QByteArray octetsDeNom(QStringView texte);

// A path as the system calls take it: a folder's descriptor and a name
// relative to it. A path the system takes whole (shorter than PATH_MAX) is
// given as it is, relative to the current folder; a longer one is walked
// from folder to folder, each opened relative to the one before, so that no
// call needs the whole path.
class CheminSysteme {
public:
    explicit CheminSysteme(QStringView chemin);
    ~CheminSysteme();
    CheminSysteme(const CheminSysteme &) = delete;
    CheminSysteme &operator=(const CheminSysteme &) = delete;

    // AT_FDCWD, a folder's descriptor, or -1 when a folder on the way could
    // not be opened (every call with it then fails).
    int dossier() const { return m_dossier; }
    const char *nom() const { return m_octets.constData() + m_debutNom; }

private:
    QByteArray m_octets;
    int m_dossier;
    qsizetype m_debutNom = 0;
};

enum class SorteEntree {
    Fichier,     // anything that is not a folder: files, pipes, devices, links to those or to nothing
    Dossier,     // a folder itself
    LienDossier, // a link to a folder
};

// What the system says of a file, enough to tell that it changed since: a
// tool may put back a file's size and time of last change, but not the
// number of its inode nor the time the inode last changed (its ctime).
struct EtatFichier {
    qint64 taille = -1;      // -1: not a regular file
    qint64 modification = 0; // ns since 1970
    quint64 inode = 0;
    qint64 changement = 0;   // ns since 1970
    bool operator==(const EtatFichier &) const = default;
};

struct EntreeDossier {
    QString nom; // as texteDeNom gives it
    SorteEntree sorte;
    // When asked for, and for a regular file only.
    EtatFichier etat;
};

// The entries of a folder in the system's order, without "." and "..";
// none when the folder cannot be read. With etatVoulu, the state of each
// regular file (or link to one) whose name it accepts too. With lu, whether
// the folder could be read to its end: an empty list may be an empty folder
// or one that refused to be listed.
std::vector<EntreeDossier>
entreesDossier(QStringView dossier, const std::function<bool(const QString &nom)> &etatVoulu = {},
               bool *lu = nullptr);

// The size and time of last change (ns since 1970) of a regular file, or of
// the one a link leads to, without opening it; false for anything else.
bool etatFichier(QStringView path, qint64 &taille, qint64 &modification);
// A folder's time of last change, ns since 1970; -1 when it cannot be seen.
qint64 modificationDossier(QStringView dossier);
// The state of the named files of a folder, as entreesDossier gives it
// (size -1 for one that is not, or no longer, a regular file or a link to
// one).
void etatsFichiers(QStringView dossier, const QStringList &noms, QList<EtatFichier> &etats);

} // namespace kavel::platform
