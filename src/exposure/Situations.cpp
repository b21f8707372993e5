#include "exposure/Situations.h"

#include <QStringList>
#include <vector>
#include <cmath>

namespace kavel {

namespace {

// Each level's lines, from -6 up; an empty line separates two groups.
const std::vector<std::vector<const char *>> &situations()
{
    // clang-format off
    static const std::vector<std::vector<const char *>> lignes{
    /* -6 */ {"EXTERIEUR EN LUMIERE NATURELLE", "    -Scène sous Quart de lune (altitude > 40°)", "    -Aurores Boréales (Moyennes)"},
    /* -5 */ {"EXTERIEUR EN LUMIERE NATURELLE", "    -Aurores Boréales (Moyennes)"},
    /* -4 */ {"EXTERIEUR EN LUMIERE NATURELLE", "    -Scène sous Lune gibbbeuse (altitude > 40°)", "    -Aurores Boréales (Lumineuses)"},
    /* -3 */ {"EXTERIEUR EN LUMIERE NATURELLE", "    -Scène sous la pleine lune (altitude > 40°)", "    -Aurores Boréales (Lumineuses)"},
    /* -2 */ {"EXTERIEUR EN LUMIERE NATURELLE", "    -Scène sous la pleine lune (altitude > 40°)"},
    /* -1 */ {":-þ"},
    /*  0 */ {":-/"},
    /*  1 */ {":->"},
    /*  2 */ {"EXTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Vues éloignées des bâtiments allumés"},
    /*  3 */ {"EXTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Monuments, et fontaines"},
    /*  4 */ {"EXTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Lumières de sapin de Noël", "    -Monuments, et fontaines"},
    /*  5 */ {"EXTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Trafic de véhicule de nuit ", "    -Lumières de sapin de Noël",
              "    -Monuments, et fontaines", "",
              "INTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Intérieurs de maison"},
    /*  6 */ {"INTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Intérieurs de maison"},
    /*  7 */ {"EXTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Scènes de rue de nuit et vitrines", "    -Foires et parcs d'attraction", "",
              "INTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Bureaux et zones de travail", "    -Intérieurs de maison"},
    /*  8 */ {"EXTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Scènes lumineuses de rue", "    -Scènes de rue de nuit et vitrines", "",
              "INTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Galeries", "    -Evénements sportifs", "    -Cirques",
              "    -Bureaux et zones de travail"},
    /*  9 */ {"EXTERIEUR EN LUMIERE NATURELLE", "    -Couchers du soleil (Juste après)", "",
              "EXTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Néon et enseignes lumineuses", "    -Sports de nuit",
              "    -Feux et bâtiments en feux", "",
              "INTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Galeries", "    -Evénements sportifs", "    -Show sur glace"},
    /* 10 */ {"EXTERIEUR EN LUMIERE NATURELLE", "    -Couchers du soleil (Juste après)", "",
              "EXTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Néon et enseignes lumineuses", "",
              "INTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Galeries"},
    /* 11 */ {"EXTERIEUR EN LUMIERE NATURELLE", "    -Couchers du soleil (Juste après)", "",
              "INTERIEUR SOUS LUMIERE ARTIFICIELLE", "    -Galeries"},
    /* 12 */ {"LUMIERE DU JOUR", "    -Scène typique, fortement nuageux", "",
              "EXTERIEUR EN LUMIERE NATURELLE", "    -Couchers du soleil (juste au coucher)", "    -Croissant de lune (altitude > 40°)"},
    /* 13 */ {"LUMIERE DU JOUR", "    -Scène typique, nuageux (aucunes ombres)", "",
              "EXTERIEUR EN LUMIERE NATURELLE", "    -Couchers du soleil (Juste avant)", "    -Quart de lune (altitude > 40°)"},
    /* 14 */ {"LUMIERE DU JOUR", "    -Scène typique à la lumière du soleil brumeuse (ombres molles)", "",
              "EXTERIEUR EN LUMIERE NATURELLE", "    -Arcs-en-ciel sur ciel nuageux", "    -Couchers du soleil (Juste avant)",
              "    -Lune gibbbeuse (altitude > 40°)"},
    /* 15 */ {"LUMIERE DU JOUR", "    -Scène typique à la lumière du soleil ou légèrement brumeuse (ombres distinctes)", "",
              "EXTERIEUR EN LUMIERE NATURELLE", "    -Arcs-en-ciel sur ciel clair", "    -La pleine lune (altitude > 40°)"},
    /* 16 */ {"LUMIERE DU JOUR", "    -Sable clair ou neige (lumière du soleil)(ombres distinctes)"},
    /* 17 */ {":-)"},
    /* 18 */ {"8-)"},
    };
    // clang-format on
    return lignes;
}

constexpr int kPremierNiveau = -6;

} // namespace

QString EV2TXTFrench(float ev)
{
    const double k = std::floor(static_cast<double>(ev));
    if (!(k >= kPremierNiveau && k < kPremierNiveau + static_cast<double>(situations().size())))
        return {};
    QStringList lignes;
    for (const char *ligne : situations()[static_cast<std::size_t>(k - kPremierNiveau)])
        lignes << QString::fromUtf8(ligne);
    return lignes.join(QStringLiteral("\r\n"));
}

} // namespace kavel
