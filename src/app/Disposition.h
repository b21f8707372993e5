#pragma once

#include "platform/Dessin.h"

#include <QRect>
#include <QSize>
#include <optional>

// The main window's layout for its size, from the design rectangles of
// platform/Dessin.h.
namespace kavel {

// Where the window's resizable parts go for an inner size: the chart grows
// with the window, the photo strip and the photo-base controls keep to the
// bottom and the right. Nothing for a window narrower than the input
// column (minimised).
struct Disposition {
    QRect Graphic;
    QRect CadrePhoto;
    QRect BtnPhotoAvant;
    QRect BtnPhotoApres;
    QRect BtnBasePhoto;
    QRect LblNbBasePhoto;
    QRect LblNbPhotoOK;
    int hautMiniatures; // top of every thumbnail
};

std::optional<Disposition> Dispose(QSize inner);

} // namespace kavel
