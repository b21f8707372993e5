#include "chart/LimitZones.h"

#include "chart/ChartInputs.h"
#include "exposure/NumberText.h"

namespace kavel {

using namespace colours;

void TraceLimite(const ChartView &chart, const ChartInputs &in)
{
    DrawingSurface &s = chart.surface;
    const double focalMini = in.focalMini.value_or(0);
    const double focalMaxi = in.focalMaxi.value_or(0);
    const double diafMini = in.diafMini.value_or(0);
    const double diafMaxi = in.diafMaxi.value_or(0);
    const double diafMiniZoom = in.diafMiniZoom.value_or(0);
    const double xGauche = in.vitesseLente ? chart.cx(1.0 / 30) : chart.cx(1);
    const double xMax = chart.cx(in.vitesseMaxBoitier);

    // Hand-held: from the blur limit at the longest focal length to the
    // body's fastest speed, at every aperture of the lens.
    s.filledBox(xMax, chart.cy(diafMini), chart.cx(in.limiteFlou(focalMaxi)), chart.cy(diafMaxi), kZoneMain);
    // Safe at the shortest focal length, blurred at the longest.
    if (leadingNumber(in.focalMaxiText) > leadingNumber(in.focalMiniText))
        s.filledBox(chart.cx(in.limiteFlou(focalMini)), chart.cy(diafMini), chart.cx(in.limiteFlou(focalMaxi)), chart.cy(diafMaxi),
                    kZoneFlouZoom);
    // Slower than the blur limit at every focal length: a tripod is needed.
    s.filledBox(xGauche, chart.cy(diafMini), chart.cx(in.limiteFlou(focalMini)), chart.cy(diafMaxi), kZoneBouge);
    // Faster than the flash can synchronise.
    if (in.flash)
        s.filledBox(chart.cx(in.vitesseFlash), chart.cy(diafMini), xMax, chart.cy(diafMaxi), kZoneBouge);
    // Wider than the lens opens: from F/1 to just below its full aperture.
    s.filledBox(xGauche, chart.cy(1), xMax, chart.cy(diafMini) + 1, kZoneDiaf);
    // Apertures the zoom opens to at its short end only: what is under them
    // stays recognisable, darker.
    if (in.isZoom()) {
        s.setDrawMode(DrawingSurface::DrawMode::MaskNot);
        s.filledBox(xGauche, chart.cy(diafMini), xMax, chart.cy(diafMiniZoom), kMasqueDiafZoom);
        s.setDrawMode(DrawingSurface::DrawMode::Copy);
    }
    // Narrower than the lens closes, up to F/45 at the top of the chart.
    if (diafMaxi < 45)
        s.filledBox(xGauche, chart.cy(45), xMax, chart.cy(diafMaxi), kZoneDiaf);
}

} // namespace kavel
