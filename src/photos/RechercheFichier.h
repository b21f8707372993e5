#pragma once

#include <QString>
#include <QStringList>
#include <atomic>

namespace kavel {

// Files found by a search: folder i (ending with "/") and name i, as
// platform::texteDeNom gives them, so that every file found can be opened.
struct ResultatRecherche {
    QStringList dossiers;
    QStringList noms;
    // When asked for: each file's size (-1 when it is not a regular file)
    // and time of last change (ns since 1970), as the search saw them.
    QList<qint64> tailles;
    QList<qint64> modifications;
    int count() const { return static_cast<int>(noms.size()); }
};

// Adds to resultat the files of dossier (ending with "/") whose names match
// motif (letter case ignored), then searches its sub-folders, depth first:
// a folder's own files come before those of its sub-folders. Links to
// folders are not followed, so a link loop cannot trap the search. Returns
// the count of files found so far.
int RechercheRecursive(const QString &dossier, const QString &motif, ResultatRecherche &resultat);
// The same with several patterns (a name matching any of them is found),
// with each file's size and time when etats is set, listing the folders on
// fils threads at once (the order of the result stays the same). Once arret
// is set the search ends early and adds nothing.
int RechercheRecursive(const QString &dossier, const QStringList &motifs, ResultatRecherche &resultat,
                       bool etats = false, const std::atomic<bool> *arret = nullptr, int fils = 1);

} // namespace kavel
