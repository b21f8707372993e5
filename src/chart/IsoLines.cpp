#include "chart/IsoLines.h"

#include "chart/ChartInputs.h"
#include "exposure/NumberText.h"

#include <cmath>

namespace kavel {

void TraceIso(const ChartView &chart, const ChartInputs &in, double iso, QRgb couleur)
{
    const double nMin = in.diafMini.value_or(0);
    const double nMax = in.diafMaxi.value_or(0);
    const double vMin = in.vitesseMini.value_or(0);
    const double vMax = in.vitesseMaxi.value_or(0);
    if (!in.valeur || !(nMin > 0) || !(nMax > 0) || !(vMin > 0) || !(vMax > 0) || !(iso > 0))
        return;

    // At level EV, ISO S and f-number N expose correctly at the speed value
    // v(N) = 2^EV * S / (100 N^2); the f-number of a speed value is N(v).
    const double p = std::exp2(*in.valeur);
    const auto vitesse = [&](double n) { return p * iso / (100 * n * n); };
    const auto diaf = [&](double v) { return std::sqrt(p * iso / (100 * v)); };

    double vB = vitesse(nMin); // fast end, wide open
    double nB = nMin;
    double vA = vitesse(nMax); // slow end, stopped down
    double nA = nMax;
    if (vA < vMin) {
        vA = vMin;
        nA = diaf(vMin);
    }
    if (vB > vMax) {
        vB = vMax;
        nB = diaf(vMax);
    }
    if (!(vA <= vB) || !std::isfinite(vA) || !std::isfinite(vB) || !(nA > 0) || !(nB > 0))
        return;

    DrawingSurface &s = chart.surface;
    s.line(chart.cx(vA), chart.cy(nA), chart.cx(vB), chart.cy(nB), couleur);
    chart.locate(chart.cx(vA) - 15, chart.cy(nA) - 15);
    const QRgb ancienne = s.textColour();
    s.setTextColour(couleur);
    s.drawText(numText(iso));
    s.setTextColour(ancienne);
}

} // namespace kavel
