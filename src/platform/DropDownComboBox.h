#pragma once

#include <QComboBox>

namespace kavel {

// An editable combo box whose open list has a set height: the whole control
// with its list open (edit field included) is at most dropDownHeight pixels,
// less when the list is shorter. What the user types is never added as an
// item, so an item's position stays the index of its value in its table,
// and a typed text that is not the selected item's leaves no item selected.
class DropDownComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit DropDownComboBox(QWidget *parent = nullptr);

    int dropDownHeight() const { return m_dropDownHeight; }
    // 0 leaves the toolkit's own height.
    void setDropDownHeight(int height) { m_dropDownHeight = height; }

    void showPopup() override;

signals:
    // The list was opened.
    void listeOuverte();
    // The focus went elsewhere (not to the control's own open list).
    void focusPerdu();
    // An item was chosen with the keyboard in the open list (after activated).
    void choixAuClavier(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int m_dropDownHeight = 0;
    bool m_entreeDansLaListe = false; // Enter went down in the open list
};

} // namespace kavel
