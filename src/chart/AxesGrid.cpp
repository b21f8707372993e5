#include "chart/AxesGrid.h"

#include "chart/ChartInputs.h"
#include "exposure/NumberText.h"

namespace kavel {

using namespace colours;

void TraceAxe(const ChartView &chart, const ChartInputs &in)
{
    DrawingSurface &s = chart.surface;
    const double xDepart = in.vitesseLente ? chart.cx(1.0 / 30) : chart.cx(1);
    // Speed axis at F/1; aperture axis at 1 s, from F/1 to F/45.
    s.line(xDepart, chart.cy(1), chart.cx(in.vitesseMaxBoitier), chart.cy(1), kAxe);
    s.line(chart.cx(1), chart.cy(1), chart.cx(1), chart.cy(45), kAxe);

    const QRgb couleur = s.textColour();
    const bool gras = s.bold();
    s.setBold(true);
    chart.locate(s.width() - 75, s.height() - 13);
    s.setTextColour(kLabelVitesse);
    s.drawText(QStringLiteral("Vitesse (1/s)"));
    chart.locate(in.vitesseLente ? chart.cx(0.6) : 0, 0);
    s.setTextColour(kLabelDiaf);
    s.drawText(QStringLiteral("Diaphragme (F/)"));
    s.setBold(gras);
    s.setTextColour(couleur);
}

void TraceGrille(const ChartView &chart, const ChartInputs &in)
{
    struct Ligne {
        float valeur;
        QRgb couleur;
    };
    static constexpr Ligne diafs[] = {
        {1.4f, kGrilleSombre}, {2, kGrilleClaire},  {2.8f, kGrilleSombre}, {4, kGrilleClaire},
        {5.6f, kGrilleSombre}, {8, kGrilleClaire},  {11, kGrilleSombre},   {16, kGrilleClaire},
        {22, kGrilleSombre},   {32, kGrilleClaire},
    };
    static constexpr Ligne vitesses[] = {
        {2, kGrilleSombre},   {5, kGrilleSombre},    {10, kGrilleClaire},   {20, kGrilleSombre},
        {50, kGrilleSombre},  {100, kGrilleClaire},  {200, kGrilleSombre},  {500, kGrilleSombre},
        {1000, kGrilleClaire}, {2000, kGrilleSombre}, {4000, kGrilleSombre},
    };
    static constexpr Ligne lentes[] = {
        {1.f / 30, kGrilleSombre}, {1.f / 20, kGrilleSombre}, {1.f / 10, kGrilleClaire},
        {1.f / 5, kGrilleSombre},  {1.f / 2, kGrilleSombre},
    };

    DrawingSurface &s = chart.surface;
    const QRgb couleur = s.textColour();
    s.setTextColour(kLabelDiaf);
    for (const Ligne &l : diafs)
        TraceGrilleX(chart, in, l.valeur, l.couleur);
    s.setTextColour(kBlanc); // the 1 s line stands out
    TraceGrilleY(chart, 1, kGrilleClaire);
    s.setTextColour(kLabelVitesse);
    for (const Ligne &l : vitesses)
        TraceGrilleY(chart, l.valeur, l.couleur);
    if (in.vitesseMaxBoitier >= 8000)
        TraceGrilleY(chart, 8000, kGrilleSombre);
    // Electronic shutters: a line every stop beyond.
    for (float v = 16000; v <= in.vitesseMaxBoitier; v *= 2)
        TraceGrilleY(chart, v, kGrilleSombre);
    if (in.vitesseLente) {
        for (const Ligne &l : lentes)
            TraceGrilleY(chart, l.valeur, l.couleur);
    }
    s.setTextColour(couleur);
}

void TraceGrilleX(const ChartView &chart, const ChartInputs &in, float diaf, QRgb couleur)
{
    DrawingSurface &s = chart.surface;
    const double xDepart = in.vitesseLente ? chart.cx(1.0 / 30) : chart.cx(1);
    const double dy = in.vitesseLente ? -12 : -8;
    const double y = chart.cy(diaf);
    s.line(xDepart, y, chart.cx(in.vitesseMaxBoitier), y, couleur);
    chart.locate(chart.cx(1) - 18, y + dy);
    s.drawText(numTextSingle(diaf));
}

void TraceGrilleY(const ChartView &chart, float vitesse, QRgb couleur)
{
    DrawingSurface &s = chart.surface;
    const double x = chart.cx(vitesse);
    s.line(x, chart.cy(1), x, chart.cy(45), couleur);
    chart.locate(x - 10, chart.cy(1) + 1);
    if (vitesse < 1) // slow speeds are labelled by their exposure time
        s.drawText(numTextSingle(static_cast<float>(1.0 / vitesse)) + QLatin1Char('s'));
    else
        s.drawText(numTextSingle(vitesse));
}

} // namespace kavel
