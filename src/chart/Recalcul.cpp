#include "chart/Recalcul.h"

#include "chart/AxesGrid.h"
#include "chart/ChartInputs.h"
#include "chart/IsoLines.h"
#include "chart/LimitZones.h"
#include "exposure/Scales.h"

#include <cmath>

namespace kavel {

QRgb couleurIso(double iso)
{
    struct Teinte {
        double iso;
        QRgb couleur;
    };
    static constexpr Teinte teintes[] = {
        {50, 0xFF00C800},    {100, 0xFF00FF00},   {200, 0xFF20E020},   {400, 0xFF40C040},
        {800, 0xFF60A060},   {1600, 0xFF808080},  {3200, 0xFF646464},  {6400, 0xFF5A5A5A},
        {12800, 0xFF505050}, {25600, 0xFF464646},
        // Today's bodies go further: the greys go on darkening.
        {51200, 0xFF424242}, {102400, 0xFF3E3E3E}, {204800, 0xFF3A3A3A}, {409600, 0xFF363636},
        {819200, 0xFF343434}, {1638400, 0xFF323232}, {3276800, 0xFF303030}, {6553600, 0xFF303030},
    };
    for (const Teinte &t : teintes) {
        if (t.iso == iso)
            return t.couleur;
    }
    return 0xFFFFFFFF;
}

namespace {

// Marks, for each standard f-number of the lens, the standard speed whose
// level is nearest to the target (the slower one on a tie).
void TraceCouples(const ChartView &chart, const ChartInputs &in, const ExposureScales &sc, int iIso,
                  QRgb couleur, std::vector<TypeCouple> &couples)
{
    const double vMin = *in.vitesseMini;
    const double vMax = *in.vitesseMaxi;
    const double cible = *in.valeur;
    // A larger f-number needs a slower speed: each search can stop at the
    // speed found for the previous f-number.
    int jmax = sc.nbVitesses - 1;
    for (int k = 0; k < kNbDiafs; ++k) {
        const double diaf = sc.TabDiaf[k];
        if (!(*in.diafMini <= diaf && diaf <= *in.diafMaxi))
            continue;
        double best = 9999;
        double bestNum = 9999;
        double bestDen = 9999;
        const int fin = jmax;
        for (int j = 0; j <= fin; ++j) {
            const double v = sc.TabVitesseDen[j] / sc.TabVitesseNum[j];
            if (!(vMin <= v && v <= vMax))
                continue;
            const double d = std::abs(tripletEV(v, diaf, sc.TabIso[iIso]) - cible);
            if (d < best) {
                best = d;
                bestNum = sc.TabVitesseNum[j];
                bestDen = sc.TabVitesseDen[j];
                jmax = j;
            }
        }
        if (best < kEcartCoupleMax) {
            const float xc = chart.cx(bestDen / bestNum);
            const float yc = chart.cy(diaf);
            chart.surface.filledBox(xc - 1, yc - 1, xc + 1, yc + 1, couleur);
            couples.push_back({iIso, k, jmax, xc, yc});
        }
    }
}

void TraceFocales(const ChartView &chart, const ChartInputs &in, double vitesseMaxBoitier)
{
    DrawingSurface &s = chart.surface;
    const auto label = [](const QString &focale) { return QStringLiteral("à ") + focale + QStringLiteral("mm"); };
    if (in.isZoom()) {
        // Beside the hand-held limits of both ends of the zoom, under the full-aperture line.
        chart.locate(chart.cx(in.limiteFlou(*in.focalMini)) - 10, chart.cy(*in.diafMini) + 4);
        s.drawText(label(in.focalMiniText));
        chart.locate(chart.cx(in.limiteFlou(*in.focalMaxi)) - 10, chart.cy(*in.diafMini) + 4);
        s.drawText(label(in.focalMaxiText));
    }
    if (in.diafMiniText != in.diafMiniZoomText && in.isZoom()) {
        // Names both full-aperture lines near the body's fastest speed.
        chart.locate(chart.cx(vitesseMaxBoitier) - 20, chart.cy(*in.diafMini) - 6);
        s.drawText(label(in.focalMiniText));
        chart.locate(chart.cx(vitesseMaxBoitier) - 20, chart.cy(*in.diafMiniZoom) - 6);
        s.drawText(label(in.focalMaxiText));
    }
}

// A square ring, four pixels thick, around the calculator's chosen couple.
void TraceChoix(const ChartView &chart, const ChartInputs &in, const ExposureScales &sc)
{
    if (in.speedChoice < 0 || in.speedChoice >= sc.nbVitesses || !in.diafChoice)
        return;
    const double v = sc.TabVitesseDen[in.speedChoice] / sc.TabVitesseNum[in.speedChoice];
    const double x = chart.cx(v);
    const double y = chart.cy(*in.diafChoice);
    for (int h = 4; h <= 7; ++h)
        chart.surface.box(x - h, y - h, x + h, y + h, 0xFFFFFF00);
}

} // namespace

void TraceGraphique(const ChartView &chart, const ChartInputs &in, const ExposureScales &scales,
                    std::vector<TypeCouple> &couples)
{
    TraceLimite(chart, in);
    TraceGrille(chart, in);
    TraceAxe(chart, in);
    for (int i = 0; i < scales.nbIsos; ++i) {
        const double iso = scales.TabIso[i];
        if (!(*in.isoMini <= iso && iso <= *in.isoMaxi))
            continue;
        const QRgb couleur = couleurIso(iso);
        TraceIso(chart, in, iso, couleur);
        TraceCouples(chart, in, scales, i, couleur, couples);
    }
    TraceFocales(chart, in, in.vitesseMaxBoitier);
    TraceChoix(chart, in, scales);
}

} // namespace kavel
