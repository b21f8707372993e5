#pragma once

#include "equipment/ListeBoitiers.h"

#include <QCompleter>
#include <vector>

class QStandardItemModel;

namespace kavel {

// Finds bodies of the body list by any part of their name, whatever the
// case, spaces and hyphens typed ("a7iv", "xt5", "z 6"); the headings of
// the list are not offered. Choosing one (Enter or a click) gives its row
// in the list.
class RechercheBoitier : public QCompleter {
    Q_OBJECT
public:
    explicit RechercheBoitier(QObject *parent = nullptr);

    // Offers the bodies of this list, each with its row.
    void setListe(const std::vector<EntreeBoitier> &liste);

    // What is typed is compared as a search key.
    QStringList splitPath(const QString &path) const override;
    // The chosen body's text goes into the box.
    QString pathFromIndex(const QModelIndex &index) const override;

protected:
    // Enter in the open list with no body picked chooses the first one found.
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void boitierChoisi(int ligne);

private:
    QStandardItemModel *m_modele = nullptr;
};

} // namespace kavel
