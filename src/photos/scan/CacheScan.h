#pragma once

#include <QByteArray>
#include <QHash>
#include "photos/scan/RechercheFichier.h"

#include <QString>
#include <vector>

// What the last scan read from each file, kept in a file beside the photo
// base so that a rescan does not open the files that have not changed since
// (same path, size, modification time, inode and inode change time). The base keeps its own format;
// this file is only a memory of the reader's results, and one that cannot
// be read is simply a scan without memory.
namespace kavel {

struct ResultatLecture {
    double ValLux = -1;
    double ValEV = -100;
    double ValSpeed = -1; // seconds
    double ValDiaf = -1;
    double ValIso = -1;
    bool depassement = false; // a read ran past the end of the file
};

struct EntreeCache {
    platform::EtatFichier etat;
    ResultatLecture resultat;
};

struct FichierCache {
    QString fichier; // as platform::texteDeNom makes it
    EntreeCache entree;
};

// A cache file: the files of the scan that wrote it, in its order, and the
// base that scan wrote, as the system saw it once written. A rescan that
// finds every file unchanged, in the same order, beside that very base,
// would write the same base again, and need not.
struct ContenuCache {
    std::vector<FichierCache> fichiers;
    // The folders as that scan listed them, with the patterns it used.
    ListesDossiers dossiers;
    QString motifs;
    qint64 baseTaille = -1;
    qint64 baseModification = 0;
    int enBase = 0; // records of that base
    int paires = 0; // raw files it left out for their JPEG
    QString separateur; // its decimal separator
};

inline constexpr const char *kNomCacheScan = "BasePhotos.cache";

// The cache file that goes with a base.
QString cheminCache(const QString &cheminBase);

// A cache file's content; nothing when it is missing, damaged or made by
// another version of the reader.
ContenuCache LireCacheScan(const QString &path);
// The bytes of a cache file.
QByteArray texteCacheScan(const ContenuCache &cache);

} // namespace kavel
