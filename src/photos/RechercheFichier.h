#pragma once

#include <QString>
#include <QStringList>

namespace kavel {

// Files found by a search: folder i (ending with "/") and name i, as
// platform::texteDeNom gives them, so that every file found can be opened.
struct ResultatRecherche {
    QStringList dossiers;
    QStringList noms;
    int count() const { return static_cast<int>(noms.size()); }
};

// Adds to resultat the files of dossier (ending with "/") whose names match
// motif (letter case ignored), then searches its sub-folders, depth first:
// a folder's own files come before those of its sub-folders. Links to
// folders are not followed, so a link loop cannot trap the search. Returns
// the count of files found so far.
int RechercheRecursive(const QString &dossier, const QString &motif, ResultatRecherche &resultat);

} // namespace kavel
