#pragma once

#include <QFont>
#include <QImage>
#include <QPointF>
#include <QString>
#include <functional>
#include <optional>

namespace kavel {

// A persistent picture that the chart is drawn on. Everything drawn stays
// until the next clear; the widget that shows it only paints this image.
//
// Coordinates are pixels with fractional values allowed; they are turned into
// pixels here and only here (rounded to nearest), so every drawing and every
// pixel read agree. Anything outside the picture is clipped.
//
// Those pixels are logical ones: on a screen with a device pixel ratio the
// picture holds ratio x ratio device pixels per logical pixel and is drawn at
// the device's resolution, a one-pixel line being ratio device pixels wide.
class DrawingSurface {
public:
    enum class DrawMode {
        Copy,    // the drawn colour replaces the pixel
        MaskNot, // pixel := old AND NOT colour, per 8-bit channel
    };

    static constexpr QRgb kBackground = 0xFF181818; // RGB(24, 24, 24)

    explicit DrawingSurface(QSize size = QSize(1, 1), qreal ratio = 1);

    // In logical pixels.
    int width() const { return m_size.width(); }
    int height() const { return m_size.height(); }
    qreal devicePixelRatio() const { return m_ratio; }
    // Keeps what is drawn, enlarged or reduced to the new resolution.
    void setDevicePixelRatio(qreal ratio);
    // Keeps what is drawn; a grown area gets the background colour.
    void resize(QSize size);

    void clear();
    void line(double x1, double y1, double x2, double y2, QRgb colour);
    void box(double x1, double y1, double x2, double y2, QRgb colour);
    void filledBox(double x1, double y1, double x2, double y2, QRgb colour);
    // The whole logical pixel, every device pixel of it.
    void setPixel(double x, double y, QRgb colour);
    // The colour at a point (of the top-left device pixel of its logical
    // pixel), or nothing outside the picture.
    std::optional<QRgb> pixel(double x, double y) const;

    // Draws the text with its top-left corner at the current position, then
    // moves the position to the start of the next text line.
    void drawText(const QString &text);
    int textHeight() const;
    int textWidth(const QString &text) const;

    QRgb textColour() const { return m_textColour; }
    void setTextColour(QRgb colour) { m_textColour = colour; }
    bool bold() const { return m_font.bold(); }
    void setBold(bool bold) { m_font.setBold(bold); }
    const QFont &font() const { return m_font; }
    void setFont(const QFont &font) { m_font = font; }
    DrawMode drawMode() const { return m_mode; }
    void setDrawMode(DrawMode mode) { m_mode = mode; }

    QPointF currentPosition() const { return m_position; }
    void setCurrentPosition(QPointF position) { m_position = position; }

    // Makes what was drawn visible (the showing widget repaints).
    void refresh();
    void setRefreshHandler(std::function<void()> handler) { m_onRefresh = std::move(handler); }

    // In device pixels, carrying the ratio.
    const QImage &image() const { return m_image; }

private:
    // The device pixels of a logical one.
    QRect devicePixels(int x, int y) const;

    QSize m_size;
    qreal m_ratio = 1;
    QImage m_image;
    QRgb m_textColour = 0xFF000000;
    QFont m_font;
    DrawMode m_mode = DrawMode::Copy;
    QPointF m_position;
    std::function<void()> m_onRefresh;
};

} // namespace kavel
