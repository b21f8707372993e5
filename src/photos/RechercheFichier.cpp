#include "photos/RechercheFichier.h"

#include <QDir>
#include <QFileInfo>

namespace kavel {

int RechercheRecursive(const QString &dossier, const QString &motif, ResultatRecherche &resultat)
{
    const QDir dir(dossier);
    // Hidden files and folders are searched like any other; "." and ".." never.
    const QDir::SortFlags ordre = QDir::Name | QDir::IgnoreCase;
    const QStringList fichiers
        = dir.entryList({motif}, QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, ordre);
    for (const QString &nom : fichiers) { // QDir::Files: a link to a folder is no file
        resultat.dossiers.append(dossier);
        resultat.noms.append(nom);
    }
    const QStringList sousDossiers = dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks, ordre);
    for (const QString &nom : sousDossiers)
        RechercheRecursive(dossier + nom + QLatin1Char('/'), motif, resultat);
    return resultat.count();
}

} // namespace kavel
