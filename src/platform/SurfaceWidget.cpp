#include "platform/SurfaceWidget.h"

#include <QMouseEvent>
#include <QPainter>

namespace kavel {

SurfaceWidget::SurfaceWidget(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    m_surface.resize(size());
    m_surface.setRefreshHandler([this] { update(); });
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

void SurfaceWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), m_surface.image(), event->rect());
}

void SurfaceWidget::resizeEvent(QResizeEvent *event)
{
    m_surface.resize(event->size());
    QWidget::resizeEvent(event);
}

void SurfaceWidget::mouseMoveEvent(QMouseEvent *event)
{
    emit mouseMoved(event->buttons(), event->modifiers(), event->position());
}

} // namespace kavel
