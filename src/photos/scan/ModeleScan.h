#pragma once

// The model of the scan window's list of files read.

#include "photos/scan/ScanPhotos.h"

#include <QAbstractTableModel>
#include <QLocale>
#include <vector>

namespace kavel {

// The rows of the scan window's list: one per file found, all listed at once
// when the search ends, their other columns filled as the files are read.
// The texts of the ten columns are made when the list shows them, and a
// row filled changes nothing but its cells, so that a list of a hundred
// thousand files is laid out once and fills as fast as they are read. A
// row with a remark (a file the reader ran past the end of, a name that no
// line of the base can hold) is drawn in the status's colour, the remark in
// its last column and its tooltip.
class ModeleScan : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeleScan(QObject *parent = nullptr);

    // The text of one cell of a row, numbers in locale.
    static QString texte(const LigneScan &ligne, int colonne, const QLocale &locale);
    // What the list says of a row besides its numbers, in French; empty for most.
    static QString remarque(const LigneScan &ligne);

    void setLocale(const QLocale &locale) { m_locale = locale; }
    void vide();
    // The files found, folder i and name i for file i: one row each, its
    // other columns empty until it is read.
    void liste(const QStringList &dossiers, const QStringList &noms);
    // Files premier, premier + 1 ... read: their rows, wherever a sort
    // took them, show their readings.
    void remplit(int premier, const QList<LigneScan> &lignes);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Sorts on a column's texts compared as texts, equal texts keeping
    // their order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    struct Ligne {
        int numero = 0; // the file's place in the search
        bool lue = false;
        ResultatLecture resultat;
    };
    LigneScan ligneScan(const Ligne &ligne) const;

    QStringList m_dossiers, m_noms;
    std::vector<Ligne> m_lignes; // by row
    std::vector<int> m_rangs;    // each file's row
    QLocale m_locale;
};

} // namespace kavel
