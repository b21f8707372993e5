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
class DrawingSurface {
public:
    enum class DrawMode {
        Copy,    // the drawn colour replaces the pixel
        MaskNot, // pixel := old AND NOT colour, per 8-bit channel
    };

    static constexpr QRgb kBackground = 0xFF181818; // RGB(24, 24, 24)

    explicit DrawingSurface(QSize size = QSize(1, 1));

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    // Keeps what is drawn; a grown area gets the background colour.
    void resize(QSize size);

    void clear();
    void line(double x1, double y1, double x2, double y2, QRgb colour);
    void box(double x1, double y1, double x2, double y2, QRgb colour);
    void filledBox(double x1, double y1, double x2, double y2, QRgb colour);
    void setPixel(double x, double y, QRgb colour);
    // The colour at a point, or nothing outside the picture.
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

    const QImage &image() const { return m_image; }

private:
    QImage m_image;
    QRgb m_textColour = 0xFF000000;
    QFont m_font;
    DrawMode m_mode = DrawMode::Copy;
    QPointF m_position;
    std::function<void()> m_onRefresh;
};

} // namespace kavel
