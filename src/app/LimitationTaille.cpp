#include "app/LimitationTaille.h"

#include <QEvent>
#include <QWidget>

namespace kavel {

void LimitationTaille::InstalleLimitation(QWidget *window)
{
    RetireLimitation();
    m_window = window;
    m_window->installEventFilter(this);
    apply();
}

void LimitationTaille::RetireLimitation()
{
    if (!m_window)
        return;
    m_window->removeEventFilter(this);
    m_window->setMinimumSize(0, 0);
    m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    m_window = nullptr;
}

bool LimitationTaille::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::WindowStateChange:
            apply();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void LimitationTaille::apply()
{
    if (m_window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        m_window->setMinimumSize(0, 0);
        m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        return;
    }
    const QSize frame = frameOrDefault(m_window->isVisible()
                                           ? m_window->frameGeometry().size() - m_window->geometry().size()
                                           : QSize());
    const QSize minimum = innerMinimum(frame);
    const QSize maximum = innerMaximum(frame);
    if (m_window->minimumSize() != minimum)
        m_window->setMinimumSize(minimum);
    if (m_window->maximumSize() != maximum)
        m_window->setMaximumSize(maximum);
}

} // namespace kavel
