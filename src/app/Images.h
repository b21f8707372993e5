#pragma once

#include <QImage>

// The program's pictures, drawn by its own code: nothing to ship or load.
namespace kavel::images {

QImage fondAPropos(QSize taille);  // the About panel's background
QImage diaphragme(int cote);       // an iris of six blades
QImage appareil(QSize taille);     // a camera
QImage insecte(int cote);          // a bug, for the bug report link
QImage ampoule(int cote);          // a light bulb, for the idea link
QImage icone(int cote);            // the program's icon

} // namespace kavel::images
