#include "platform/SurfaceWidget.h"

#include <QMouseEvent>
#include <QPainter>

namespace kavel {

SurfaceWidget::SurfaceWidget(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_surface.setDevicePixelRatio(devicePixelRatioF());
    m_surface.resize(size());
    m_surface.setRefreshHandler([this] { update(); });
}

// A change of ratio is only taken here, where it is told: taken quietly
// elsewhere, the chart would stay enlarged until the next redraw.
void SurfaceWidget::followScreen()
{
    const qreal before = m_surface.devicePixelRatio();
    m_surface.setDevicePixelRatio(devicePixelRatioF());
    m_surface.resize(size());
    if (m_surface.devicePixelRatio() != before)
        emit devicePixelRatioChanged();
}

DrawingSurface &SurfaceWidget::surface()
{
    m_surface.resize(size());
    return m_surface;
}

const DrawingSurface &SurfaceWidget::surface() const
{
    m_surface.resize(size());
    return m_surface;
}

bool SurfaceWidget::event(QEvent *event)
{
    if (event->type() == QEvent::ScreenChangeInternal) {
        followScreen();
        update();
    }
    return QWidget::event(event);
}

void SurfaceWidget::paintEvent(QPaintEvent *event)
{
    followScreen();
    QPainter painter(this);
    const QRect r = event->rect();
    const qreal ratio = m_surface.devicePixelRatio();
    if (ratio == 1)
        painter.drawImage(r, m_surface.image(), r);
    else // the image's own pixels onto the device's
        painter.drawImage(QRectF(r), m_surface.image(), QRectF(r.x() * ratio, r.y() * ratio, r.width() * ratio, r.height() * ratio));
}

void SurfaceWidget::resizeEvent(QResizeEvent *event)
{
    followScreen();
    QWidget::resizeEvent(event);
}

void SurfaceWidget::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event->buttons(), event->modifiers(), event->position());
}

} // namespace kavel
