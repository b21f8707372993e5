#pragma once

#include "photos/ExifReader.h"

#include <QDialog>
#include <QLocale>
#include <QPersistentModelIndex>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QTreeView;
class QTreeWidget;
class QTreeWidgetItem;

namespace kavel {

// The photo-base window: picks a drive and a folder, finds every JPEG below
// it, reads each one's exposure, lists them all and writes those with a
// known light level to the photo base in the program's folder.
class FormRecherchePhoto : public QDialog {
    Q_OBJECT
public:
    explicit FormRecherchePhoto(const QString &programFolder, QWidget *parent = nullptr);

    QComboBox *Drive1 = nullptr;
    QTreeView *Repertoire = nullptr;
    QPushButton *BtnRecherche = nullptr;
    QPushButton *Command1 = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label2bis = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *LblStatut = nullptr; // what the reader says of a damaged file
    QProgressBar *ProgressBar1 = nullptr;
    QProgressBar *ProgressBar2 = nullptr;
    QTreeWidget *ListView1 = nullptr;

    // The folder the scan starts from: the one highlighted in Repertoire,
    // else the shown root.
    QString dossierRacine() const;
    // Highlights a folder (on the drive that holds it).
    void choisisDossier(const QString &path);

    // The path of the base the scan writes.
    QString cheminBase() const;

    // Runs the scan.
    void BtnRecherche_Click();

    // The locale of the list's and the base's numbers (the user's).
    void setLocale(const QLocale &locale) { m_locale = locale; }

signals:
    // The scan has just written the base.
    void baseEnregistree();

private:
    void Drive1_Change(int index);
    void ListView1_ColumnClick(int column);
    void etape(QLabel *label, bool active);
    void repeint(std::initializer_list<QWidget *> widgets, bool force = false);
    void remplisLigne(QTreeWidgetItem *item, const ExifReader &r);

    QString m_programFolder;
    QFileSystemModel *m_dossiers = nullptr;
    // The folder the tree keeps in view while the model lists the folders
    // around it, until the user moves in the tree.
    QPersistentModelIndex m_dossierMontre;
    QTimer *m_defilement = nullptr;
    ExifReader m_lecteur;
    QLocale m_locale;
    qint64 m_dernierRepeint = 0;
};

} // namespace kavel
