#pragma once

#include "platform/Desktop.h"

#include <QList>
#include <QString>

// Records every message box instead of showing it (a modal box would block
// the test run), and puts the desktop's own boxes back when it goes.
class DialogRecorder {
public:
    DialogRecorder()
    {
        m_previous = kavel::platform::setMessageBoxHandler(
            [this](QWidget *, const kavel::platform::MessageBox &box) { boxes.append(box); });
    }
    ~DialogRecorder() { kavel::platform::setMessageBoxHandler(std::move(m_previous)); }
    DialogRecorder(const DialogRecorder &) = delete;
    DialogRecorder &operator=(const DialogRecorder &) = delete;

    QList<kavel::platform::MessageBox> boxes;

private:
    kavel::platform::MessageBoxHandler m_previous;
};
