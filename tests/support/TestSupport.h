#pragma once

#include "app/Form1.h"
#include "platform/Desktop.h"

#include <QList>
#include <QMouseEvent>
#include <QString>
#include <QTest>

// Records every message box instead of showing it (a modal one would block the run), till it goes.
class DialogRecorder {
public:
    DialogRecorder()
        : m_previous(kavel::platform::setMessageBoxHandler(
              [this](QWidget *, const kavel::platform::MessageBox &box) { boxes.append(box); })) {}
    ~DialogRecorder() { kavel::platform::setMessageBoxHandler(std::move(m_previous)); }
    Q_DISABLE_COPY(DialogRecorder)
    QList<kavel::platform::MessageBox> boxes;

private:
    kavel::platform::MessageBoxHandler m_previous;
};

// The main window as a user finds it: shown, active, its welcome box gone, later ones in dialogs.
struct FenetreActive {
    explicit FenetreActive(const QString &programFolder) : form(programFolder) {
        form.show(), form.activateWindow();
        if (QTest::qWaitForWindowActive(&form)) dialogs.boxes.clear();
    }
    DialogRecorder dialogs;
    kavel::Form1 form;
};

// The pointer moves over w, at a point of its own.
inline void moveOver(QWidget *w, QPointF at = QPointF(3, 3)) {
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}
