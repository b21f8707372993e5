#include "app/RechercheBoitier.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QStandardItemModel>

namespace kavel {

namespace {
constexpr int kRoleLigne = Qt::UserRole + 1;
constexpr int kRoleCle = Qt::UserRole + 2;
} // namespace

RechercheBoitier::RechercheBoitier(QObject *parent)
    : QCompleter(parent)
    , m_modele(new QStandardItemModel(this))
{
    setModel(m_modele);
    setCompletionRole(kRoleCle);
    setFilterMode(Qt::MatchContains);
    setCaseSensitivity(Qt::CaseSensitive); // the keys are folded already
    setCompletionMode(QCompleter::PopupCompletion);
    setMaxVisibleItems(16);
    connect(this, qOverload<const QModelIndex &>(&QCompleter::activated), this,
            [this](const QModelIndex &index) { emit boitierChoisi(index.data(kRoleLigne).toInt()); });
}

void RechercheBoitier::setListe(const std::vector<EntreeBoitier> &liste)
{
    QList<QStandardItem *> items;
    items.reserve(static_cast<qsizetype>(liste.size()));
    for (std::size_t i = 0; i < liste.size(); ++i) {
        const EntreeBoitier &e = liste[i];
        if (e.genre == EntreeBoitier::Genre::Titre)
            continue;
        auto *item = new QStandardItem(e.texte);
        item->setData(static_cast<int>(i), kRoleLigne);
        item->setData(cleRecherche(e.texte), kRoleCle);
        item->setEditable(false);
        items << item;
    }
    m_modele->clear();
    m_modele->invisibleRootItem()->appendRows(items);
}

QStringList RechercheBoitier::splitPath(const QString &path) const
{
    return {cleRecherche(path)};
}

QString RechercheBoitier::pathFromIndex(const QModelIndex &index) const
{
    return index.data(Qt::DisplayRole).toString();
}

bool RechercheBoitier::eventFilter(QObject *watched, QEvent *event)
{
    // The type first: asking for the list while it is being made would make another.
    if (event->type() == QEvent::KeyPress && watched == popup()) {
        const int touche = static_cast<QKeyEvent *>(event)->key();
        if ((touche == Qt::Key_Return || touche == Qt::Key_Enter) && !popup()->currentIndex().isValid()
            && completionCount() > 0)
            popup()->setCurrentIndex(completionModel()->index(0, 0));
    }
    return QCompleter::eventFilter(watched, event);
}

} // namespace kavel
