#pragma once

#include "equipment/Boitiers.h"
#include "equipment/CatalogueBoitiers.h"

#include <QString>
#include <QStringList>
#include <vector>

// The body list as the student sees it: the program's own bodies first,
// then the student's bodies, then the catalogue grouped by maker under
// headings that cannot be chosen, newest first within a maker.
namespace kavel {

struct EntreeBoitier {
    enum class Genre {
        Integre,   // one of the program's own items; its index is its row
        Personnel, // the student's own body
        Titre,     // a maker's heading
        Catalogue, // a body of the shipped catalogue
    };
    Genre genre = Genre::Integre;
    QString texte;
    TypeBoitier boitier; // for Personnel and Catalogue
};

// The maker groups that come first, in this order; every other maker
// follows in alphabetical order.
QString groupeMarque(const QString &marque);

// The whole list: integres (the program's own item texts), then the
// student's bodies, then the catalogue under its headings.
std::vector<EntreeBoitier> composeListe(const QStringList &integres, const std::vector<TypeBoitier> &personnels,
                                        const std::vector<TypeBoitier> &catalogue);

// The text a body is found by: lower case, without spaces, hyphens or
// dots, so that "a7iv", "xt5" and "z 6" find "Sony A7 IV", "Fujifilm X-T5"
// and "Nikon Z6".
QString cleRecherche(const QString &texte);

// The lens catalogue file of the maker word fits this mount (the catalogue
// files hold lenses of one mount family; a body of unknown mount takes the
// maker's file).
bool catalogueConvient(const QString &marque, const QString &monture);

} // namespace kavel
