#pragma once

#include <QString>
#include <optional>

namespace kavel {

// The values the chart is drawn from, read off the main window's controls
// afresh at each recalculation. A number field is empty when its text is not
// a number; the recalculation refuses to draw in that case.
struct ChartInputs {
    std::optional<double> valeur; // light level, EV at ISO 100

    QString focalMiniText;
    QString focalMaxiText;
    std::optional<double> focalMini; // mm
    std::optional<double> focalMaxi;

    QString diafMiniText;
    QString diafMiniZoomText;
    QString diafMaxiText;
    std::optional<double> diafMini;     // widest f-number at the shortest focal length
    std::optional<double> diafMaxi;     // narrowest f-number at the shortest focal length
    std::optional<double> diafMiniZoom; // the same at the longest focal length
    std::optional<double> diafMaxiZoom;

    std::optional<double> vitesseMini; // slowest allowed speed value (1/s)
    std::optional<double> vitesseMaxi; // fastest allowed speed value
    std::optional<double> isoMini;
    std::optional<double> isoMaxi;

    bool vitesseLente = false;  // slow speeds shown
    bool stabilisateur = false; // the lens has a stabiliser
    bool flash = false;         // the built-in flash is in use

    double vitesseMaxBoitier = 4000; // fastest speed value of the body
    // Crop factor of the body: the blur limit goes by the 35 mm-equivalent
    // focal length. 1 for the program's own bodies, whose limits go by the
    // focal length itself.
    double recadrage = 1;
    // What the stabiliser gains, as a factor on the exposure time (two
    // speeds: 4).
    double gainStabilisateur = 4;
    double vitesseFlash = 200;       // flash synchronisation speed value, 0 without flash

    int speedChoice = -1;               // calculator: index of the chosen speed, -1 for none
    std::optional<double> diafChoice;   // calculator: chosen f-number

    // A fixed-focal lens has the same text in both focal boxes.
    bool isZoom() const { return focalMiniText != focalMaxiText; }
    // Hand-held blur limit divisor: the stabiliser's gain (two stops unless
    // the body says otherwise).
    double stabFactor() const { return stabilisateur ? gainStabilisateur : 1.0; }
    // The slowest safe speed value at focal length f (mm): 1 / (f x crop
    // factor) seconds, longer by the stabiliser's gain.
    double limiteFlou(double f) const { return f * recadrage / stabFactor(); }
};

} // namespace kavel
