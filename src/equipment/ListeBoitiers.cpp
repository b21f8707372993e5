#include "equipment/ListeBoitiers.h"

#include <QHash>
#include <algorithm>
#include <map>

namespace kavel {

namespace {

// The makers students hold most, first in the list; each group gathers
// the makers that now sell under one name.
struct Groupe {
    const char *titre;
    std::initializer_list<const char *> marques;
};
const Groupe kGroupes[] = {
    {"Canon", {"Canon"}},
    {"Fujifilm", {"Fujifilm"}},
    {"Leica", {"Leica"}},
    {"Nikon", {"Nikon"}},
    {"Olympus/OM System", {"Olympus", "OM System", "OM Digital Solutions"}},
    {"Panasonic", {"Panasonic"}},
    {"Pentax/Ricoh", {"Pentax", "Ricoh"}},
    {"Sigma", {"Sigma"}},
    {"Sony", {"Sony"}},
};

// The rank of a maker's group: the first groups by their order, the
// others after them.
int rangGroupe(const QString &marque)
{
    int rang = 0;
    for (const Groupe &g : kGroupes) {
        for (const char *m : g.marques) {
            if (marque.compare(QLatin1String(m), Qt::CaseInsensitive) == 0)
                return rang;
        }
        ++rang;
    }
    return rang;
}

} // namespace

QString groupeMarque(const QString &marque)
{
    const int rang = rangGroupe(marque);
    return rang < static_cast<int>(std::size(kGroupes)) ? QString::fromUtf8(kGroupes[rang].titre) : marque;
}

std::vector<EntreeBoitier> composeListe(const QStringList &integres, const std::vector<TypeBoitier> &personnels,
                                        const std::vector<TypeBoitier> &catalogue)
{
    std::vector<EntreeBoitier> liste;
    liste.reserve(integres.size() + personnels.size() + catalogue.size() + 40);
    for (const QString &t : integres)
        liste.push_back({EntreeBoitier::Genre::Integre, t, {}});
    for (const TypeBoitier &b : personnels)
        liste.push_back({EntreeBoitier::Genre::Personnel, b.nom(), b});

    // Groups in order: the first makers by rank, the others by name.
    struct Cle {
        int rang;
        QString groupe;
        bool operator<(const Cle &o) const
        {
            if (rang != o.rang)
                return rang < o.rang;
            return groupe.compare(o.groupe, Qt::CaseInsensitive) < 0;
        }
    };
    std::map<Cle, std::vector<const TypeBoitier *>> groupes;
    for (const TypeBoitier &b : catalogue)
        groupes[{rangGroupe(b.Marque), groupeMarque(b.Marque)}].push_back(&b);
    for (auto &[cle, boitiers] : groupes) {
        // Newest first; a year's bodies by name.
        std::stable_sort(boitiers.begin(), boitiers.end(), [](const TypeBoitier *a, const TypeBoitier *b) {
            if (a->Annee != b->Annee)
                return a->Annee > b->Annee;
            return a->nom().compare(b->nom(), Qt::CaseInsensitive) < 0;
        });
        liste.push_back({EntreeBoitier::Genre::Titre, QStringLiteral("— ") + cle.groupe + QStringLiteral(" —"), {}});
        for (const TypeBoitier *b : boitiers)
            liste.push_back({EntreeBoitier::Genre::Catalogue, b->nom(), *b});
    }
    return liste;
}

QString cleRecherche(const QString &texte)
{
    QString cle;
    cle.reserve(texte.size());
    for (const QChar c : texte) {
        if (c.isSpace() || c == QLatin1Char('-') || c == QLatin1Char('.') || c == QChar(0x2010)
            || c == QChar(0x2013))
            continue;
        cle.append(c.toCaseFolded());
    }
    return cle;
}

bool catalogueConvient(const QString &marque, const QString &monture)
{
    if (monture.isEmpty())
        return true;
    // The shipped catalogues: Canon's EF and EF-S lenses, Nikon's F lenses.
    // Mirrorless bodies of the same maker take them through the maker's adapter.
    static const QHash<QString, QStringList> montures{
        {QStringLiteral("Canon"),
         {QStringLiteral("Canon EF"), QStringLiteral("Canon EF-S"), QStringLiteral("Canon RF"),
          QStringLiteral("Canon EF-M")}},
        {QStringLiteral("Nikon"), {QStringLiteral("Nikon F AF"), QStringLiteral("Nikon Z")}},
    };
    // Another maker's file (one a teacher dropped there) is taken as it is.
    const auto it = montures.constFind(marque);
    return it == montures.constEnd() || it->contains(monture);
}

} // namespace kavel
