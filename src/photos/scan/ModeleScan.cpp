// The scan window's list: one row per file found, its columns and colours.
#include "photos/scan/ModeleScan.h"

#include "exposure/Scales.h"
#include "photos/BasePhotos.h"
#include "platform/Couleurs.h"

#include <QColor>
#include <algorithm>
#include <cmath>
#include <numeric>

namespace kavel {

namespace {

const char *const kColonnes[] = {"Fichier", "Lux",     "Speed",   "Diaf",   "Iso",
                                  "ValEV",   "ValSpeed", "ValDiaf", "ValIso", "Remarque"};
constexpr int kNbColonnes = 10;

bool positif(double v)
{
    return std::isfinite(v) && v > 0;
}

} // namespace

ModeleScan::ModeleScan(QObject *parent)
    : QAbstractTableModel(parent)
{
}

QString ModeleScan::texte(const LigneScan &ligne, int colonne, const QLocale &locale)
{
    const ResultatLecture &r = ligne.resultat;
    switch (colonne) {
    case 0: return ligne.fichier;
    case 1:
        if (!positif(r.ValLux))
            return QStringLiteral("-");
        return QString::number(r.ValLux, 'f', 1).rightJustified(8, QLatin1Char('0')).replace(QLatin1Char('.'), locale.decimalPoint())
            + QStringLiteral(" lux");
    case 2: return Speed2Txt(std::isfinite(r.ValSpeed) ? r.ValSpeed : -1); // "???"
    case 3: return positif(r.ValDiaf) ? QStringLiteral("F/") + texteNombre(r.ValDiaf, locale) : QStringLiteral("-");
    case 4: return positif(r.ValIso) ? texteNombre(r.ValIso, locale) + QStringLiteral(" iso") : QStringLiteral("-");
    case 5: return texteNombre(r.ValEV, locale);
    case 6: return texteNombre(r.ValSpeed, locale);
    case 7: return texteNombre(r.ValDiaf, locale);
    case 8: return texteNombre(r.ValIso, locale);
    case 9: return remarque(ligne);
    default: return {};
    }
}

QString ModeleScan::remarque(const LigneScan &ligne)
{
    QStringList r;
    if (ligne.resultat.depassement)
        r << QStringLiteral("Fichier coupé ou abîmé : lecture au-delà de sa fin");
    // The base keeps one path a line.
    if (!cheminEnregistrable(ligne.fichier))
        r << QStringLiteral("Saut de ligne dans le nom : photo laissée hors de la base");
    return r.join(QStringLiteral(" ; "));
}

void ModeleScan::vide()
{
    beginResetModel();
    m_lignes.clear();
    m_rangs.clear();
    m_dossiers.clear();
    m_noms.clear();
    endResetModel();
}

void ModeleScan::liste(const QStringList &dossiers, const QStringList &noms)
{
    beginResetModel();
    m_dossiers = dossiers;
    m_noms = noms;
    const auto n = static_cast<std::size_t>(std::min(dossiers.size(), noms.size()));
    m_lignes.assign(n, {});
    m_rangs.resize(n);
    for (std::size_t i = 0; i < n; ++i)
        m_lignes[i].numero = m_rangs[i] = static_cast<int>(i);
    endResetModel();
}

void ModeleScan::remplit(int premier, const QList<LigneScan> &lignes)
{
    if (premier < 0)
        return;
    int haut = rowCount(), bas = -1;
    for (qsizetype j = 0; j < lignes.size(); ++j) {
        const auto numero = static_cast<std::size_t>(premier + j);
        if (numero >= m_rangs.size())
            break;
        const int rang = m_rangs[numero];
        Ligne &l = m_lignes[static_cast<std::size_t>(rang)];
        l.lue = true;
        l.resultat = lignes[j].resultat;
        haut = std::min(haut, rang);
        bas = std::max(bas, rang);
    }
    if (bas >= haut)
        emit dataChanged(index(haut, 0), index(bas, kNbColonnes - 1)); // the name too: its colour
}

LigneScan ModeleScan::ligneScan(const Ligne &ligne) const
{
    const auto i = static_cast<qsizetype>(ligne.numero);
    return {m_dossiers.at(i) + m_noms.at(i), ligne.resultat};
}

int ModeleScan::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_lignes.size());
}

int ModeleScan::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kNbColonnes;
}

QVariant ModeleScan::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Ligne &l = m_lignes[static_cast<std::size_t>(index.row())];
    if (!l.lue)
        return role == Qt::DisplayRole && index.column() == 0 ? ligneScan(l).fichier : QVariant();
    const LigneScan ligne = ligneScan(l);
    switch (role) {
    case Qt::DisplayRole: return texte(ligne, index.column(), m_locale);
    case Qt::ToolTipRole:
        if (const QString r = remarque(ligne); !r.isEmpty())
            return r;
        return {};
    case Qt::ForegroundRole:
        if (!remarque(ligne).isEmpty())
            return couleurs::kRemarque;
        return {};
    default: return {};
    }
}

QVariant ModeleScan::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kNbColonnes)
        return {};
    return QString::fromLatin1(kColonnes[section]);
}

void ModeleScan::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= kNbColonnes)
        return;
    std::vector<QString> cles;
    cles.reserve(m_lignes.size());
    for (const Ligne &l : m_lignes)
        cles.push_back(l.lue || column == 0 ? texte(ligneScan(l), column, m_locale) : QString());
    std::vector<std::size_t> ordre(m_lignes.size());
    std::iota(ordre.begin(), ordre.end(), 0);
    std::stable_sort(ordre.begin(), ordre.end(), [&](std::size_t a, std::size_t b) {
        return order == Qt::AscendingOrder ? cles[a] < cles[b] : cles[b] < cles[a];
    });
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<Ligne> tries;
    tries.reserve(m_lignes.size());
    for (std::size_t i : ordre) {
        m_rangs[static_cast<std::size_t>(m_lignes[i].numero)] = static_cast<int>(tries.size());
        tries.push_back(m_lignes[i]);
    }
    m_lignes = std::move(tries);
    // The selection and the current row follow their rows.
    std::vector<int> nouvelle(ordre.size());
    for (std::size_t i = 0; i < ordre.size(); ++i)
        nouvelle[ordre[i]] = static_cast<int>(i);
    const QModelIndexList avant = persistentIndexList();
    QModelIndexList apres;
    for (const QModelIndex &i : avant)
        apres << index(nouvelle[static_cast<std::size_t>(i.row())], i.column());
    changePersistentIndexList(avant, apres);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace kavel
