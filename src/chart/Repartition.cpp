#include "chart/Repartition.h"

#include "platform/DrawingSurface.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace kavel {

std::vector<int> ClassesRepartition(const std::vector<double> &niveaux)
{
    // The level runs by repeated addition of 0,1, as 241 values from -6;
    // their drift decides where a level on a bin's edge is counted.
    std::array<double, kNbClasses> centres;
    double e = -6;
    for (double &centre : centres) {
        centre = e;
        e += 0.1;
    }
    // A level can only be within 0,05 of the level nearest to it and of
    // that one's neighbours: those are tested as the edges say.
    std::array<int, kNbClasses> comptes{};
    for (double ev : niveaux) {
        if (!(ev >= -7 && ev <= 19))
            continue; // far from every bin, or not a number
        const int proche = static_cast<int>(std::floor((ev + 6) * 10 + 0.5));
        for (int k = std::max(proche - 2, 0); k <= std::min(proche + 2, kNbClasses - 1); ++k)
            comptes[static_cast<std::size_t>(k)] += std::abs(ev - centres[static_cast<std::size_t>(k)]) <= 0.05;
    }
    std::vector<int> classes(kNbClasses + 1, 0);
    for (std::size_t k = 0; k < centres.size(); ++k)
        classes[static_cast<std::size_t>(std::lround((centres[k] + 6) * 10))] = comptes[k];
    classes.resize(kNbClasses);
    return classes;
}

void TraceRepartition(DrawingSurface &surface, const std::vector<double> &niveaux)
{
    const std::vector<int> classes = ClassesRepartition(niveaux);
    const int max = *std::max_element(classes.begin(), classes.end());
    const double h = surface.height();
    for (int i = 0; i < kNbClasses; ++i) {
        const double x = 3 * i;
        const double hauteur = max > 0 ? h * classes[static_cast<std::size_t>(i)] / max / 2 : 0;
        if (hauteur == 0)
            surface.filledBox(x, h - 1, x + 2, h - 1, 0xFFFF0000);
        else
            surface.filledBox(x, h - 2, x + 2, h - 1 - hauteur, 0xFFFFFFFF);
    }
}

} // namespace kavel
