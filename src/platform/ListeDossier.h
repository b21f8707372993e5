#pragma once

// What a folder holds and what the system says of its files, looked at
// without opening them: the listing a scan walks and the states a rescan
// compares.
#include "platform/NomFichier.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <vector>

namespace kavel::platform {

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
