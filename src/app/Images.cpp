#include "app/Images.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <numbers>

namespace kavel::images {

namespace {

// An image of taille logical pixels for a screen of the given pixel ratio:
// painted in logical pixels, it holds ratio times as many in each direction.
QImage aLEchelle(QSize taille, qreal ratio, QImage::Format format)
{
    QImage image(qRound(taille.width() * ratio), qRound(taille.height() * ratio), format);
    image.setDevicePixelRatio(ratio);
    return image;
}

QImage vide(QSize taille, qreal ratio)
{
    QImage image = aLEchelle(taille, ratio, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

} // namespace

QImage fondAPropos(QSize taille, qreal ratio)
{
    QImage image = aLEchelle(taille, ratio, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient degrade(0, 0, 0, taille.height());
    degrade.setColorAt(0, QColor(40, 40, 56));
    degrade.setColorAt(1, QColor(12, 12, 20));
    p.fillRect(QRect(QPoint(), taille), degrade);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(70, 70, 100), 1));
    for (int r = 40; r < taille.width(); r += 40) // faint rings, like a lens seen from the front
        p.drawEllipse(QPointF(taille.width() * 0.8, taille.height() * 0.2), r, r);
    return image;
}

QImage diaphragme(int cote, qreal ratio)
{
    QImage image = vide(QSize(cote, cote), ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(cote / 2.0, cote / 2.0);
    const double r = cote / 2.0 - 1;
    p.setBrush(QColor(30, 30, 30));
    p.setPen(QPen(QColor(160, 160, 160), 1.5));
    p.drawEllipse(centre, r, r);
    // Six blades around a hexagonal opening.
    for (int i = 0; i < 6; ++i) {
        const double a = i * std::numbers::pi / 3;
        QPainterPath lame;
        lame.moveTo(centre + QPointF(std::cos(a), std::sin(a)) * r * 0.35);
        lame.lineTo(centre + QPointF(std::cos(a + 0.6), std::sin(a + 0.6)) * r);
        lame.lineTo(centre + QPointF(std::cos(a + 1.4), std::sin(a + 1.4)) * r);
        lame.closeSubpath();
        p.setBrush(QColor(70 + 12 * i, 70 + 12 * i, 90 + 12 * i));
        p.setPen(QPen(QColor(20, 20, 20), 1));
        p.drawPath(lame);
    }
    return image;
}

QImage appareil(QSize taille, qreal ratio)
{
    QImage image = vide(taille, ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = taille.width(), h = taille.height();
    p.setPen(QPen(QColor(200, 200, 200), 1.5));
    p.setBrush(QColor(60, 60, 66));
    p.drawRoundedRect(QRectF(2, h * 0.25, w - 4, h * 0.7), 4, 4);
    p.drawRect(QRectF(w * 0.35, h * 0.1, w * 0.3, h * 0.17)); // the prism
    p.setBrush(QColor(20, 20, 30));
    p.drawEllipse(QPointF(w / 2, h * 0.6), h * 0.28, h * 0.28);
    p.setBrush(QColor(90, 110, 160));
    p.drawEllipse(QPointF(w / 2, h * 0.6), h * 0.14, h * 0.14);
    return image;
}

QImage insecte(int cote, qreal ratio)
{
    QImage image = vide(QSize(cote, cote), ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double c = cote;
    p.setPen(QPen(QColor(230, 230, 230), 1));
    for (double y : {0.4, 0.6, 0.8}) { // legs
        p.drawLine(QPointF(c * 0.15, c * y), QPointF(c * 0.85, c * y));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 40, 40));
    p.drawEllipse(QRectF(c * 0.28, c * 0.3, c * 0.44, c * 0.62));
    p.setBrush(QColor(30, 30, 30));
    p.drawEllipse(QRectF(c * 0.36, c * 0.1, c * 0.28, c * 0.26));
    return image;
}

QImage ampoule(int cote, qreal ratio)
{
    QImage image = vide(QSize(cote, cote), ratio);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double c = cote;
    QRadialGradient lueur(QPointF(c / 2, c * 0.4), c * 0.4);
    lueur.setColorAt(0, QColor(255, 255, 200));
    lueur.setColorAt(1, QColor(240, 200, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(lueur);
    p.drawEllipse(QPointF(c / 2, c * 0.4), c * 0.32, c * 0.32);
    p.setBrush(QColor(150, 150, 150));
    p.drawRect(QRectF(c * 0.36, c * 0.68, c * 0.28, c * 0.24));
    return image;
}

QImage icone(int cote)
{
    QImage image = vide(QSize(cote, cote), 1);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 24, 24));
    p.drawRoundedRect(QRectF(0, 0, cote, cote), cote * 0.18, cote * 0.18);
    // An ISO line with its couples over the iris.
    p.drawImage(QRectF(cote * 0.1, cote * 0.1, cote * 0.8, cote * 0.8), diaphragme(cote));
    p.setPen(QPen(QColor(0, 255, 0), std::max(1.0, cote / 24.0)));
    p.drawLine(QPointF(cote * 0.15, cote * 0.2), QPointF(cote * 0.85, cote * 0.8));
    return image;
}

} // namespace kavel::images
