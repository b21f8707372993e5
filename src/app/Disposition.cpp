#include "app/Disposition.h"

namespace kavel {

using namespace dessin;

std::optional<Disposition> Dispose(QSize inner)
{
    const int w = inner.width();
    const int h = inner.height();
    if (kGraphic.left() + 10 >= w)
        return std::nullopt;
    Disposition d;
    const int hautCadre = h - kCadrePhoto.height() - 24;
    const int largeurCadre = w - kCadrePhoto.left() - 7 - kBtnPhotoApres.width();
    d.CadrePhoto = QRect(kCadrePhoto.left(), hautCadre, largeurCadre, kCadrePhoto.height());
    d.BtnPhotoAvant = QRect(kBtnPhotoAvant.left(), hautCadre, kBtnPhotoAvant.width(), kBtnPhotoAvant.height());
    d.BtnPhotoApres = QRect(largeurCadre + kCadrePhoto.left(), hautCadre, kBtnPhotoApres.width(), kBtnPhotoApres.height());
    d.BtnBasePhoto = QRect(w - kBtnBasePhoto.width() - 8, h - 23, kBtnBasePhoto.width(), kBtnBasePhoto.height());
    d.LblNbBasePhoto = QRect(w - kLblNbBasePhoto.width() - kBtnBasePhoto.width() - 16, h - 22, kLblNbBasePhoto.width(),
                             kLblNbBasePhoto.height());
    d.LblNbPhotoOK = QRect(kLblNbPhotoOK.left(), h - 22, kLblNbPhotoOK.width(), kLblNbPhotoOK.height());
    d.Graphic = QRect(kGraphic.left(), kGraphic.top(), w - kGraphic.left() - 8, hautCadre - 32);
    d.hautMiniatures = hautCadre + 8;
    return d;
}

} // namespace kavel
