#include "chart/Repartition.h"

#include "platform/DrawingSurface.h"

#include <algorithm>
#include <cmath>

namespace kavel {

std::vector<int> ClassesRepartition(const std::vector<double> &niveaux)
{
    // Each photo counts once, in the bin whose level is nearest to its own;
    // a level half-way between two bins goes to the one its rounding gives.
    std::vector<int> classes(kNbClasses, 0);
    for (double ev : niveaux) {
        if (!(ev >= -6.05 && ev <= 18.05))
            continue; // beyond the outer bins' halves, or not a number
        const long k = std::clamp(std::lround((ev + 6) * 10), 0L, long(kNbClasses - 1));
        ++classes[static_cast<std::size_t>(k)];
    }
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
    if (niveaux.empty()) {
        // Nothing to count: the student is told where photos come from.
        const QString texte = QStringLiteral(
            "Aucune photo dans la base : utilisez « Création base photos »");
        surface.setTextColour(0xFFFFFFFF);
        surface.setCurrentPosition(QPointF((3 * kNbClasses - surface.textWidth(texte)) / 2.0,
                                           h / 2 - surface.textHeight()));
        surface.drawText(texte);
    }
}

} // namespace kavel
