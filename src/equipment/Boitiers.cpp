#include "equipment/Boitiers.h"

#include <array>

namespace kavel {

namespace {

struct Boitier {
    const char *nom;
    LimitesBoitier limites;
    const char *monture;
};

// clang-format off
constexpr std::array<Boitier, 11> kBoitiers{{
    {"Canon 300D, 350D, 400D", {200, 4000, 100, 1600},  "Canon EF-S"},
    {"Canon 20D, 30D, 40D",    {250, 8000, 100, 3200},  "Canon EF-S"},
    {"Canon 1Ds Mark III",     {0,   8000, 50,  6400},  "Canon EF"},
    {"Nikon D40",              {500, 4000, 200, 3200},  "Nikon F AF"},
    {"Nikon D40x",             {500, 4000, 100, 3200},  "Nikon F AF"},
    {"Nikon D50",              {500, 4000, 200, 1600},  "Nikon F AF"},
    {"Nikon D70s",             {500, 8000, 200, 1600},  "Nikon F AF"},
    {"Nikon D80",              {200, 4000, 100, 3200},  "Nikon F AF"},
    {"Nikon D200",             {250, 8000, 100, 3200},  "Nikon F AF"},
    {"Nikon D3",               {0,   8000, 100, 25600}, "Nikon F AF"},
    {"Nikon D300",             {250, 8000, 100, 6400},  "Nikon F AF"},
}};
// clang-format on

} // namespace

QStringList nomsBoitiers()
{
    QStringList noms;
    for (const Boitier &b : kBoitiers)
        noms << QString::fromUtf8(b.nom);
    noms << QStringLiteral("...D'autres boitiers bientôt. :-)");
    return noms;
}

std::optional<LimitesBoitier> limitesBoitier(int index)
{
    if (index < 0 || index >= static_cast<int>(kBoitiers.size()))
        return std::nullopt;
    return kBoitiers[static_cast<std::size_t>(index)].limites;
}

QString montureBoitier(int index)
{
    if (index < 0 || index >= static_cast<int>(kBoitiers.size()))
        return {};
    return QString::fromUtf8(kBoitiers[static_cast<std::size_t>(index)].monture);
}

} // namespace kavel
