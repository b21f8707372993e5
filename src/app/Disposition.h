#pragma once

#include <QRect>
#include <QSize>
#include <optional>

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

// The design rectangles the layout starts from and keeps the sizes of.
namespace dessin {
inline constexpr QRect kGraphic(216, 24, 753, 552);
inline constexpr QRect kCadrePhoto(232, 584, 721, 89);
inline constexpr QRect kBtnPhotoAvant(216, 584, 17, 88);
inline constexpr QRect kBtnPhotoApres(952, 584, 17, 88);
inline constexpr QRect kBtnBasePhoto(856, 680, 113, 17);
inline constexpr QRect kLblNbBasePhoto(640, 680, 209, 17);
inline constexpr QRect kLblNbPhotoOK(216, 680, 185, 17);
inline constexpr int kNbMiniatures = 16;
inline constexpr QRect miniature(int i) { return QRect(240 + 40 * i, 592, 33, 73); }
} // namespace dessin

std::optional<Disposition> Dispose(QSize inner);

} // namespace kavel
