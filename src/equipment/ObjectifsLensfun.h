#pragma once

#include "equipment/Objectifs.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

// The lenses and cameras of the system's lens database (lensfun), read
// through its library: the data Debian installs, and the newer data that
// lensfun-update-data fetches for the system or for the user, whichever is
// newest.
namespace kavel {

struct CameraLensfun {
    QString monture;        // lens mount, as the database names it
    double recadrage = 0;   // crop factor
};

class BaseLensfun {
public:
    // Loads the database; slow (tens of milliseconds): do it off the
    // window's thread. An empty base when the database cannot be read.
    static std::shared_ptr<const BaseLensfun> charge();
    // Loads the database files of one folder only (for tests).
    static std::shared_ptr<const BaseLensfun> chargeDossier(const QString &dossier);
    ~BaseLensfun();

    int nbObjectifs() const;

    // The lenses that fit a mount: its own, sorted by maker then name, then
    // those of the mounts it takes through the maker's adapter (not the
    // thread and universal mounts: M42, T2...), without duplicate names:
    // focal range and widest apertures from the database, stabiliser from
    // the name, narrowest apertures estimated.
    std::vector<TypeObjectif> objectifsPourMonture(const QString &monture) const;

    // A camera by its EXIF maker and model, as the database knows it.
    std::optional<CameraLensfun> camera(const QString &marque, const QString &modele) const;

private:
    BaseLensfun();
    struct Donnees;
    std::unique_ptr<Donnees> d;
};

// Whether a lens name carries an image stabiliser mark: IS, VR, OSS, OIS,
// O.I.S. (with POWER / MEGA / Dual), VC, OS, as whole words.
bool marqueStabilisateur(const QString &nom);

} // namespace kavel
