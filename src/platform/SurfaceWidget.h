#pragma once

#include "platform/DrawingSurface.h"

#include <QWidget>

namespace kavel {

// Shows a DrawingSurface at the widget's own size and at its screen's device
// pixel ratio. Resizing the widget resizes the picture (keeping what is
// drawn); refresh() repaints.
class SurfaceWidget : public QWidget {
    Q_OBJECT
public:
    explicit SurfaceWidget(QWidget *parent = nullptr);

    // The picture, at the widget's current size even before the widget has
    // been shown (a hidden widget gets its resize event only when shown).
    DrawingSurface &surface();
    const DrawingSurface &surface() const;

signals:
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPointF position);
    // The widget went to a screen of another ratio: what is drawn is only
    // enlarged or reduced until drawn again.
    void devicePixelRatioChanged();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    // The picture at the widget's size and its screen's ratio.
    void followScreen();

    mutable DrawingSurface m_surface;
};

} // namespace kavel
