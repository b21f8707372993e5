#include "platform/DrawingSurface.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace kavel {

namespace {

// Beyond this distance from the picture a coordinate is brought back before
// it is handed to the painter, which is exact only within about +-1e7.
constexpr double kFar = 1e6;

int toPixel(double v)
{
    return static_cast<int>(std::floor(v + 0.5));
}

bool finite(double a, double b, double c, double d)
{
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// Cuts the segment to the rectangle [lo, hi] (Liang-Barsky); false when
// nothing of it lies inside.
bool clipSegment(double &x1, double &y1, double &x2, double &y2, QRectF bounds)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    double t0 = 0;
    double t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - bounds.left(), bounds.right() - x1, y1 - bounds.top(), bounds.bottom() - y1};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
        if (t0 > t1)
            return false;
    }
    const double ox = x1;
    const double oy = y1;
    x1 = ox + t0 * dx;
    y1 = oy + t0 * dy;
    x2 = ox + t1 * dx;
    y2 = oy + t1 * dy;
    return true;
}

// A picture of the logical size at the ratio, all background.
QImage blank(QSize size, qreal ratio)
{
    const auto device = [ratio](int v) { return static_cast<int>(std::ceil(v * ratio - 1e-6)); };
    QImage image(ratio == 1 ? size : QSize(device(size.width()), device(size.height())), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(DrawingSurface::kBackground);
    return image;
}

QPainter::CompositionMode compositionFor(DrawingSurface::DrawMode mode)
{
    return mode == DrawingSurface::DrawMode::MaskNot ? QPainter::RasterOp_NotSourceAndDestination
                                                      : QPainter::CompositionMode_SourceOver;
}

} // namespace

DrawingSurface::DrawingSurface(QSize size, qreal ratio)
    : m_size(size.expandedTo(QSize(1, 1)))
    , m_ratio(ratio > 0 ? ratio : 1)
    , m_image(blank(m_size, m_ratio))
{
    m_font.setPixelSize(11);
}

void DrawingSurface::resize(QSize size)
{
    size = size.expandedTo(QSize(1, 1));
    if (size == m_size)
        return;
    QImage grown = blank(size, m_ratio);
    QPainter painter(&grown);
    painter.drawImage(0, 0, m_image);
    painter.end();
    m_size = size;
    m_image = std::move(grown);
}

void DrawingSurface::setDevicePixelRatio(qreal ratio)
{
    if (!(ratio > 0) || ratio == m_ratio)
        return;
    QImage image = blank(m_size, ratio);
    QPainter painter(&image);
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(m_size)), m_image);
    painter.end();
    m_ratio = ratio;
    m_image = std::move(image);
}

QRect DrawingSurface::devicePixels(int x, int y) const
{
    if (m_ratio == 1)
        return QRect(x, y, 1, 1);
    const auto edge = [this](int v) { return static_cast<int>(std::lround(v * m_ratio)); };
    return QRect(QPoint(edge(x), edge(y)), QPoint(edge(x + 1) - 1, edge(y + 1) - 1));
}

void DrawingSurface::clear()
{
    m_image.fill(kBackground);
    m_position = QPointF(0, 0);
}

void DrawingSurface::line(double x1, double y1, double x2, double y2, QRgb colour)
{
    m_position = QPointF(x2, y2);
    if (!finite(x1, y1, x2, y2))
        return;
    const bool far = std::max({std::abs(x1), std::abs(x2), std::abs(y1), std::abs(y2)}) > kFar;
    if (far && !clipSegment(x1, y1, x2, y2, QRectF(QPointF(-2, -2), QPointF(width() + 1, height() + 1))))
        return;
    QPainter painter(&m_image);
    painter.setCompositionMode(compositionFor(m_mode));
    painter.setPen(QPen(QColor::fromRgb(colour), 1));
    if (m_ratio == 1) {
        painter.drawLine(toPixel(x1), toPixel(y1), toPixel(x2), toPixel(y2));
        return;
    }
    // A stroke one logical pixel wide through the pixels' centres, its square
    // ends covering the end pixels whole, drawn at the device's resolution.
    const QPointF a(toPixel(x1) + 0.5, toPixel(y1) + 0.5), b(toPixel(x2) + 0.5, toPixel(y2) + 0.5);
    if (a == b)
        painter.fillRect(QRectF(a - QPointF(0.5, 0.5), QSizeF(1, 1)), QColor::fromRgb(colour));
    else
        painter.drawLine(a, b);
}

namespace {

// Corners of an axis-parallel rectangle as pixels, ordered, and brought
// within a pixel of the picture (which changes nothing visible).
struct PixelRect {
    int left, top, right, bottom;
};

PixelRect pixelRect(double x1, double y1, double x2, double y2, int w, int h)
{
    auto clampX = [w](double v) { return std::clamp(toPixel(std::clamp(v, -kFar, kFar)), -2, w + 1); };
    auto clampY = [h](double v) { return std::clamp(toPixel(std::clamp(v, -kFar, kFar)), -2, h + 1); };
    const int ax = clampX(x1), bx = clampX(x2), ay = clampY(y1), by = clampY(y2);
    return {std::min(ax, bx), std::min(ay, by), std::max(ax, bx), std::max(ay, by)};
}

} // namespace

void DrawingSurface::box(double x1, double y1, double x2, double y2, QRgb colour)
{
    if (!finite(x1, y1, x2, y2))
        return;
    const PixelRect r = pixelRect(x1, y1, x2, y2, width(), height());
    QPainter painter(&m_image);
    painter.setCompositionMode(compositionFor(m_mode));
    // Four one-pixel edges, corners included; a box whose corners meet is a
    // pixel or a line. Drawing a corner twice changes nothing in either mode.
    const QColor c = QColor::fromRgb(colour);
    painter.fillRect(QRect(QPoint(r.left, r.top), QPoint(r.right, r.top)), c);
    painter.fillRect(QRect(QPoint(r.left, r.bottom), QPoint(r.right, r.bottom)), c);
    painter.fillRect(QRect(QPoint(r.left, r.top), QPoint(r.left, r.bottom)), c);
    painter.fillRect(QRect(QPoint(r.right, r.top), QPoint(r.right, r.bottom)), c);
}

void DrawingSurface::filledBox(double x1, double y1, double x2, double y2, QRgb colour)
{
    if (!finite(x1, y1, x2, y2))
        return;
    const PixelRect r = pixelRect(x1, y1, x2, y2, width(), height());
    QPainter painter(&m_image);
    painter.setCompositionMode(compositionFor(m_mode));
    // QRect(p1, p2) covers both corners.
    painter.fillRect(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)), QColor::fromRgb(colour));
}

void DrawingSurface::setPixel(double x, double y, QRgb colour)
{
    m_position = QPointF(x, y);
    if (!std::isfinite(x) || !std::isfinite(y) || std::abs(x) > kFar || std::abs(y) > kFar)
        return;
    const int px = toPixel(x);
    const int py = toPixel(y);
    if (px < 0 || py < 0 || px >= width() || py >= height())
        return;
    const QRect block = devicePixels(px, py) & m_image.rect();
    for (int dy = block.top(); dy <= block.bottom(); ++dy)
        for (int dx = block.left(); dx <= block.right(); ++dx) {
            QRgb value = colour | 0xFF000000;
            if (m_mode == DrawMode::MaskNot)
                value = (m_image.pixel(dx, dy) & ~colour) | 0xFF000000;
            m_image.setPixel(dx, dy, value);
        }
}

std::optional<QRgb> DrawingSurface::pixel(double x, double y) const
{
    if (!std::isfinite(x) || !std::isfinite(y) || std::abs(x) > kFar || std::abs(y) > kFar)
        return std::nullopt;
    const int px = toPixel(x);
    const int py = toPixel(y);
    if (px < 0 || py < 0 || px >= width() || py >= height())
        return std::nullopt;
    const QPoint corner = devicePixels(px, py).topLeft();
    return m_image.pixel(std::min(corner.x(), m_image.width() - 1), std::min(corner.y(), m_image.height() - 1));
}

void DrawingSurface::drawText(const QString &text)
{
    const QFontMetrics metrics(m_font);
    const double x = m_position.x();
    const double y = m_position.y();
    if (std::isfinite(x) && std::isfinite(y) && std::abs(x) < kFar && std::abs(y) < kFar) {
        QPainter painter(&m_image);
        painter.setCompositionMode(compositionFor(m_mode));
        painter.setFont(m_font);
        painter.setPen(QColor::fromRgb(m_textColour));
        painter.drawText(QPoint(toPixel(x), toPixel(y) + metrics.ascent()), text);
    }
    m_position = QPointF(0, y + metrics.height());
}

int DrawingSurface::textHeight() const
{
    return QFontMetrics(m_font).height();
}

int DrawingSurface::textWidth(const QString &text) const
{
    return QFontMetrics(m_font).horizontalAdvance(text);
}

void DrawingSurface::refresh()
{
    if (m_onRefresh)
        m_onRefresh();
}

} // namespace kavel
