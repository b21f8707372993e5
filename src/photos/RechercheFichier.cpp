#include "photos/RechercheFichier.h"

#include "platform/NomFichier.h"

#include <QRegularExpression>
#include <algorithm>

namespace kavel {

namespace {

// A name as a pattern sees it: each byte that is not UTF-8 counts as one
// unknown character (a pattern cannot match those bytes anyway).
QString pourMotif(const QString &nom)
{
    QString texte = nom;
    for (qsizetype i = 0; i < texte.size(); ++i) {
        if (texte[i].isHighSurrogate() && i + 1 < texte.size() && texte[i + 1].isLowSurrogate())
            ++i;
        else if (texte[i].isSurrogate())
            texte[i] = QChar::ReplacementCharacter;
    }
    return texte;
}

void recherche(const QString &dossier, const QRegularExpression &motif, ResultatRecherche &resultat)
{
    struct Entree {
        QString cle;
        platform::EntreeDossier entree;
    };
    std::vector<Entree> entrees;
    for (platform::EntreeDossier &e : platform::entreesDossier(dossier))
        entrees.push_back({e.nom.toLower(), std::move(e)});
    // By name, letter case ignored; names that differ only in case keep the
    // system's order.
    std::stable_sort(entrees.begin(), entrees.end(), [](const Entree &a, const Entree &b) { return a.cle < b.cle; });

    // Hidden files and folders are searched like any other; "." and ".."
    // never. A link to a folder is no file, and is not entered.
    for (const Entree &e : entrees) {
        if (e.entree.sorte == platform::SorteEntree::Fichier && motif.match(pourMotif(e.entree.nom)).hasMatch()) {
            resultat.dossiers.append(dossier);
            resultat.noms.append(e.entree.nom);
        }
    }
    for (const Entree &e : entrees)
        if (e.entree.sorte == platform::SorteEntree::Dossier)
            recherche(dossier + e.entree.nom + QLatin1Char('/'), motif, resultat);
}

} // namespace

int RechercheRecursive(const QString &dossier, const QString &motif, ResultatRecherche &resultat)
{
    recherche(dossier, QRegularExpression::fromWildcard(motif, Qt::CaseInsensitive), resultat);
    return resultat.count();
}

} // namespace kavel
