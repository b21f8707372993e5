#include "chart/Repartition.h"

#include "platform/DrawingSurface.h"

#include <algorithm>
#include <cmath>

namespace kavel {

std::vector<int> ClassesRepartition(const std::vector<double> &niveaux)
{
    std::vector<int> classes(kNbClasses + 1, 0);
    // The level runs by repeated addition of 0,1, as 241 values from -6.
    double e = -6;
    for (int k = 0; k < kNbClasses; ++k, e += 0.1) {
        const long classe = std::lround((e + 6) * 10);
        int compte = 0;
        for (double ev : niveaux)
            compte += std::abs(ev - e) <= 0.05;
        classes[static_cast<std::size_t>(classe)] = compte;
    }
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
