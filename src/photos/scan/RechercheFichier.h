#pragma once

// The folder search of a scan: the files under a folder whose names match
// the photo patterns, each folder listed once and remembered.

#include "platform/ListeDossier.h"
#include "platform/NomFichier.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <atomic>

namespace kavel {

// One folder as a search listed it: the names of its files that the
// patterns took and of its sub-folders, in search order, and the folder's
// time of last change then (ns since 1970). A folder whose time is still
// that one holds the same names: adding, removing or renaming a name
// changes it.
struct ListeDossier {
    qint64 modification = -1;
    QStringList fichiers;
    QStringList sousDossiers;
};
// By folder path, ending with "/".
using ListesDossiers = QHash<QString, ListeDossier>;

// Files found by a search: folder i (ending with "/") and name i, as
// platform::texteDeNom gives them, so that every file found can be opened.
struct ResultatRecherche {
    QStringList dossiers;
    QStringList noms;
    // When asked for: each file's state as the search saw it (size -1 when
    // it is not a regular file).
    QList<platform::EtatFichier> etats;
    int count() const { return static_cast<int>(noms.size()); }
};

// Adds to resultat the files of dossier (ending with "/") whose names match
// motif (letter case ignored), then searches its sub-folders, depth first:
// a folder's own files come before those of its sub-folders. Links to
// folders are not followed, so a link loop cannot trap the search. Returns
// the count of files found so far.
int RechercheRecursive(const QString &dossier, const QString &motif, ResultatRecherche &resultat);
// The same with several patterns (a name matching any of them is found),
// with each file's state when etats is set, listing the folders on
// fils threads at once (the order of the result stays the same). Once arret
// is set the search ends early and adds nothing. With avant, the listings
// of an earlier search with the same patterns, a folder unchanged since is
// not read again; apres then receives this search's listings.
int RechercheRecursive(const QString &dossier, const QStringList &motifs, ResultatRecherche &resultat,
                       bool etats = false, const std::atomic<bool> *arret = nullptr, int fils = 1,
                       const ListesDossiers *avant = nullptr, ListesDossiers *apres = nullptr);

} // namespace kavel
