#include "platform/DropDownComboBox.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QApplication>
#include <QLineEdit>
#include <utility>

namespace kavel {

DropDownComboBox::DropDownComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr); // what is typed stays as typed
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString &text) {
        if (currentIndex() < 0 || text == itemText(currentIndex()))
            return;
        const int cursor = lineEdit()->cursorPosition();
        setCurrentIndex(-1);
        setEditText(text);
        lineEdit()->setCursorPosition(cursor);
    });
    // The open list takes the keys and chooses on Enter: watching its keys
    // (showPopup puts this filter before the list's own) tells a choice made
    // with the keyboard from one made with the mouse.
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (std::exchange(m_entreeDansLaListe, false))
            emit choixAuClavier(index);
    });
}

bool DropDownComboBox::eventFilter(QObject *watched, QEvent *event)
{
    // The list chooses as soon as the key's shortcut check comes.
    if (watched == view() && (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress)) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        m_entreeDansLaListe = key == Qt::Key_Return || key == Qt::Key_Enter;
    }
    return QComboBox::eventFilter(watched, event);
}

void DropDownComboBox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    // Opening the list moves the focus into it: the control keeps it in effect.
    const QWidget *to = QApplication::focusWidget();
    const bool intoOwnList = to && (to == view() || view()->window()->isAncestorOf(to));
    if (event->reason() != Qt::PopupFocusReason && !intoOwnList)
        emit focusPerdu();
}

void DropDownComboBox::showPopup()
{
    m_entreeDansLaListe = false;
    emit listeOuverte();
    if (m_dropDownHeight > 0)
        setMaxVisibleItems(std::max(1, count())); // the height below is the only limit
    QComboBox::showPopup();
    view()->installEventFilter(this); // the last installed sees the keys first
    if (m_dropDownHeight <= 0)
        return;
    QWidget *popup = view()->window();
    if (popup == window())
        return; // no popup was opened
    const int listHeight = std::max(1, m_dropDownHeight - height());
    if (popup->height() <= listHeight)
        return;
    const QPoint comboTop = mapToGlobal(QPoint(0, 0));
    const bool above = popup->geometry().bottom() < comboTop.y() + height() / 2;
    const int bottom = popup->geometry().bottom();
    popup->resize(popup->width(), listHeight);
    if (above)
        popup->move(popup->x(), bottom - listHeight + 1); // stay against the field
}

} // namespace kavel
