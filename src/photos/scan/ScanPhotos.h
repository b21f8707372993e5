#pragma once

// A scan of a folder tree, off the window's thread: the search, the reading of
// each photo found, then the new photo base and the memory of what was read.

#include "photos/scan/CacheScan.h"

#include <QList>
#include <QLocale>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QTimer;

namespace kavel {

// One file found by a scan and what its reading gave.
struct LigneScan {
    QString fichier;
    ResultatLecture resultat;
};

// How a scan ended.
struct BilanScan {
    bool arrete = false;     // stopped before its end
    bool ecrit = false;      // the base is as this scan made it (when stopped: it was replaced)
    QString erreur;          // why it could not be, in French
    int trouves = 0;         // files found
    int enBase = 0;          // records of the base
    int paires = 0;          // raw files left out for the JPEG beside them
};

// A scan of a folder and its sub-folders, off the window's thread: the
// search for photo files, the reading of each one's exposure (on several
// threads when the disk allows), then the writing of the photo base and of
// the cache of readings beside it. The window learns of its progress from
// the signals below, sent from its own thread several times a second, and
// can stop it at any time; once stopped, the scan never touches the base.
// A stop may come after the base was replaced, and then says so.
class ScanPhotos : public QObject {
    Q_OBJECT
public:
    enum Etape { Recherche = 1, Analyse = 2, Sauvegarde = 3, Terminee = 4 };

    explicit ScanPhotos(QObject *parent = nullptr);
    ~ScanPhotos() override; // stops a running scan

    // The patterns of the files a scan looks for (letter case ignored).
    static const QStringList &motifs();
    // Whether a file of this name is a camera's raw file.
    static bool estBrut(QStringView nom);

    // Starts a scan of racine (ending with "/") that writes the base at
    // cheminBase, its numbers in locale. A running scan is stopped first.
    void lance(const QString &racine, const QString &cheminBase, const QLocale &locale);
    // Stops the running scan. Once this returns, the base is as it was
    // before the scan, or as the scan wrote it if it had already done so.
    void arrete();
    bool enCours() const;

    // Threads that read the files; 0 chooses from the disk.
    void setLecteurs(int n) { m_lecteurs = n; }
    // Called on a reading thread before each file is looked at (tests).
    void setAvantLecture(std::function<void(const QString &)> f) { m_avantLecture = std::move(f); }
    // Called on the scan's thread once the base is replaced (tests).
    void setApresEcriture(std::function<void()> f) { m_apresEcriture = std::move(f); }
    // Waits until the threads of every scan, stopped ones too, have ended,
    // at most ms milliseconds; false if some still run (tests, before they
    // remove the folders scanned).
    static bool attendFinDesScans(int ms);

signals:
    // A step begins; steps come in order, none skipped. nombre: the files
    // found when the analysis begins, the records of the base when its
    // writing begins.
    void etapeCommencee(int etape, int nombre);
    // Just before the analysis begins: the files found, folder i and name i
    // for file i, in search order.
    void fichiersTrouves(const QStringList &dossiers, const QStringList &noms);
    // Rows read since the last time, in search order; lues counts them all.
    void lignesLues(const QList<LigneScan> &lignes, int lues);
    // The scan has ended or was stopped.
    void termine(const BilanScan &bilan);

private:
    struct Etat;
    void avance();

    std::shared_ptr<Etat> m_etat;
    QTimer *m_minuterie = nullptr;
    int m_etapeMontree = 0;
    int m_lignesMontrees = 0;
    int m_lecteurs = 0;
    std::function<void(const QString &)> m_avantLecture;
    std::function<void()> m_apresEcriture;
};

} // namespace kavel
