#pragma once

// The scan window "Création de la base de photos".

#include "photos/scan/ScanPhotos.h"

#include <QDialog>
#include <QLocale>
#include <QPersistentModelIndex>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QTableView;
class QTreeView;

namespace kavel {

class ModeleScan;

// The photo-base window: picks a drive and a folder, finds every photo below
// it (JPEG, camera raw and HEIF files), reads each one's exposure, lists
// them all and writes those with a known light level to the photo base in
// the program's folder. The scan runs off the window's thread: the window
// shows its progress, and "Arrêter" or closing the window stops it, the
// base then left as it was, unless the scan had already replaced it.
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
    QLabel *LblPaires = nullptr; // raw files counted once with their JPEG
    QLabel *LblBase = nullptr;   // where the base is written
    QProgressBar *ProgressBar1 = nullptr;
    QProgressBar *ProgressBar2 = nullptr;
    QTableView *ListView1 = nullptr;

    // The folder the scan starts from: the one highlighted in Repertoire,
    // else the shown root.
    QString dossierRacine() const;
    // Highlights a folder (on the drive that holds it).
    void choisisDossier(const QString &path);

    // The path of the base the scan writes.
    QString cheminBase() const;

    // Starts the scan.
    void BtnRecherche_Click();
    // "Fermer" closes the window, "Arrêter" stops the running scan.
    void Command1_Click();
    ScanPhotos *scan() const { return m_scan; }

    // Closing the window stops a running scan.
    void done(int result) override;

    // The locale of the list's and the base's numbers (the user's).
    void setLocale(const QLocale &locale);

signals:
    // The scan has just written the base (even if stopped right after).
    void baseEnregistree();
    // The scan has ended, stopped or not.
    void scanTermine();

private:
    void Drive1_Change(int index);
    void ListView1_ColumnClick(int column);
    void etape(QLabel *label, bool active);
    void etapeCommencee(int etape, int nombre);
    void lignesLues(const QList<LigneScan> &lignes, int lues);
    void termine(const BilanScan &bilan);

    QString m_programFolder;
    QFileSystemModel *m_dossiers = nullptr;
    // The folder the tree keeps in view while the model lists the folders
    // around it, until the user moves in the tree.
    QPersistentModelIndex m_dossierMontre;
    QTimer *m_defilement = nullptr;
    ScanPhotos *m_scan = nullptr;
    ModeleScan *m_modele = nullptr;
    QLocale m_locale;
    int m_trouves = 0;
};

} // namespace kavel
