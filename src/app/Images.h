#pragma once

#include <QImage>

// The program's pictures, drawn by its own code: nothing to ship or load.
// Sizes are in logical pixels; a picture for a screen of pixel ratio r holds
// r times as many pixels each way, and says so (QImage::devicePixelRatio).
namespace kavel::images {

QImage fondAPropos(QSize taille, qreal ratio = 1); // the About panel's background
QImage diaphragme(int cote, qreal ratio = 1);      // an iris of six blades
QImage appareil(QSize taille, qreal ratio = 1);    // a camera
QImage insecte(int cote, qreal ratio = 1);         // a bug, for the bug report link
QImage ampoule(int cote, qreal ratio = 1);         // a light bulb, for the idea link
QImage icone(int cote);                            // the program's icon

} // namespace kavel::images
