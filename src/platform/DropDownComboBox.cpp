#include "platform/DropDownComboBox.h"

#include <QAbstractItemView>

namespace kavel {

DropDownComboBox::DropDownComboBox(QWidget *parent)
    : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
}

void DropDownComboBox::showPopup()
{
    if (m_dropDownHeight > 0)
        setMaxVisibleItems(std::max(1, count())); // the height below is the only limit
    QComboBox::showPopup();
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
