#pragma once

#include "chart/ChartInputs.h"

// The window's start-up values: EV 11, an 18-55 mm F/3,5-5,6 kit zoom
// closing to F/22 (F/38 at 55 mm), speeds 1 to 1/4000 s, ISO 100 to 1600,
// a body whose flash synchronises at 1/200 s.
inline kavel::ChartInputs startUpInputs()
{
    kavel::ChartInputs in;
    in.valeur = 11;
    in.focalMiniText = QStringLiteral("18");
    in.focalMaxiText = QStringLiteral("55");
    in.focalMini = 18;
    in.focalMaxi = 55;
    in.diafMiniText = QStringLiteral("3,5");
    in.diafMiniZoomText = QStringLiteral("5,6");
    in.diafMaxiText = QStringLiteral("22");
    in.diafMini = 3.5;
    in.diafMiniZoom = 5.6;
    in.diafMaxi = 22;
    in.diafMaxiZoom = 38;
    in.vitesseMini = 1;
    in.vitesseMaxi = 4000;
    in.isoMini = 100;
    in.isoMaxi = 1600;
    in.vitesseMaxBoitier = 4000;
    in.vitesseFlash = 200;
    return in;
}
