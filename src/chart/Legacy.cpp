#include "chart/Legacy.h"

#include "chart/AxesGrid.h"
#include "chart/ChartInputs.h"
#include "chart/LimitZones.h"
#include "exposure/NumberText.h"
#include "exposure/Scales.h"

#include <cmath>

namespace kavel {

namespace {

constexpr int kDernierIso = 4;      // ISO 50 to 800
constexpr int kDerniereVitesse = 51; // up to 1/5000 s
constexpr double kEcartMax = 0.16;

} // namespace

AxisRange RangeAncien(double vitesseMaxBoitier)
{
    AxisRange r = InitRange(vitesseMaxBoitier);
    r.LogDiafMin = std::log(0.9);
    return r;
}

QStringList TraceAncien(const ChartView &chart, const ChartInputs &in, const ExposureScales &sc)
{
    QStringList couples;
    TraceLimite(chart, in);
    TraceGrille(chart, in);
    TraceAxe(chart, in);
    if (!in.valeur || !in.isoMini || !in.isoMaxi || !in.diafMini || !in.diafMaxi || !in.vitesseMini || !in.vitesseMaxi)
        return couples;
    for (int i = 0; i <= kDernierIso; ++i) {
        const double s = sc.TabIso[i];
        if (!(*in.isoMini <= s && s <= *in.isoMaxi))
            continue;
        const QRgb couleur = s == 100 ? 0xFF0000FF : 0xFF000000;
        double px = -1, py = -1;
        for (int j = 0; j < kNbDiafs; ++j) {
            const double n = sc.TabDiaf[j];
            if (!(*in.diafMini <= n && n <= *in.diafMaxi))
                continue;
            for (int k = 0; k <= kDerniereVitesse; ++k) {
                const double v = sc.TabVitesseDen[k] / sc.TabVitesseNum[k];
                if (!(*in.vitesseMini <= v && v <= *in.vitesseMaxi))
                    continue;
                const double q = n * n * v / s * 100;
                const double l = std::log(q) / std::log(2.0);
                if (!(std::abs(l - *in.valeur) < kEcartMax))
                    continue;
                const QString vitesse = sc.TabVitesseDen[k] != 1
                    ? numText(sc.TabVitesseNum[k]) + QLatin1Char('/') + numText(sc.TabVitesseDen[k])
                    : numText(sc.TabVitesseNum[k]) + QLatin1Char('s');
                couples << vitesse + QStringLiteral(" - F/") + numText(n) + QStringLiteral(" - Iso") + numText(s)
                        + QStringLiteral(" ... ") + numText(q);
                const double x = chart.cx(v);
                const double y = chart.cy(n);
                chart.surface.filledBox(x - 1, y - 1, x + 1, y + 1, couleur);
                if (px != -1)
                    chart.surface.line(px, py, x, y, couleur);
                px = x;
                py = y;
            }
        }
    }
    return couples;
}

} // namespace kavel
