#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>

class QWidget;

namespace kavel {

// Bounds on the size the user can give the main window, frame included.
inline constexpr QSize kTailleFenetreMini(980, 737);
inline constexpr QSize kTailleFenetreMaxi(2500, 2500);
// The frame assumed while the real one is unknown (no window manager, or
// the window not shown yet): the design's outer size less its inner size.
inline constexpr QSize kCadreParDefaut(5, 34);

// Keeps the window's whole size within the bounds while the user resizes it.
// Qt bounds the inner size, so the frame is subtracted, measured again each
// time the window shows, moves or changes size. A maximised or full-screen
// window is not bounded, and comes back to its normal size when restored.
class LimitationTaille : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    void InstalleLimitation(QWidget *window);
    void RetireLimitation();

    // The frame to subtract: the measured one, or the design's while none is known.
    static QSize frameOrDefault(QSize measured)
    {
        return measured.width() <= 0 && measured.height() <= 0 ? kCadreParDefaut : measured;
    }
    // The inner size limits in force for a given frame.
    static QSize innerMinimum(QSize frame) { return kTailleFenetreMini - frame; }
    static QSize innerMaximum(QSize frame) { return kTailleFenetreMaxi - frame; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void apply();

    QPointer<QWidget> m_window;
    QSize m_tailleNormale; // the size of the normal state, to come back to
};

} // namespace kavel
