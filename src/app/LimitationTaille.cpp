#include "app/LimitationTaille.h"

#include <QEvent>
#include <QWindowStateChangeEvent>
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

namespace {

constexpr Qt::WindowStates kEtatsLibres = Qt::WindowMaximized | Qt::WindowFullScreen;

} // namespace

bool LimitationTaille::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::WindowStateChange: {
            // Leaving the maximised state, the window may still have its
            // maximised size: bounding that size would make it the restored
            // size. It goes back to its last normal size instead.
            const auto *change = static_cast<QWindowStateChangeEvent *>(event);
            if ((change->oldState() & kEtatsLibres) && !(m_window->windowState() & (kEtatsLibres | Qt::WindowMinimized))
                && m_tailleNormale.isValid() && m_window->size() != m_tailleNormale)
                m_window->resize(m_tailleNormale);
            apply();
            break;
        }
        case QEvent::Resize:
            if (!(m_window->windowState() & (kEtatsLibres | Qt::WindowMinimized)))
                m_tailleNormale = m_window->size();
            apply();
            break;
        case QEvent::Show:
        case QEvent::Move:
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
