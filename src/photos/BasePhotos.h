#pragma once

#include <QLocale>
#include <QString>
#include <optional>
#include <vector>

// The photo base: the photos of a scan whose light level is known, kept in
// a text file of the program's folder.
//
//   4                                  count of records
//   /home/ana/Photos/IMG_0001.JPG      path, as the file system gives it
//   "10,9366379390026""0,004""5,6""400"   EV, exposure time (s), f-number, ISO
//   ...
// Lines end with CR LF; paths are the bytes of the file's name, read back
// as platform::texteDeNom makes them; numbers use the decimal separator of
// the locale they were written under; the loader takes the decimal sign of
// any locale.
namespace kavel {

struct TypePhoto {
    QString Fichier;
    double ValEV = 0;
    double ValSpeed = 0; // seconds
    double ValDiaf = 0;
    double ValIso = 0;
};

inline constexpr const char *kNomBasePhotos = "BasePhotos.txt";

// Where the base is written: in the program's folder while the user may
// write there, else in the user's own data folder (~/.local/share/Kavel),
// so that a program installed for everyone still keeps each user's photos.
QString cheminBaseEcrite(const QString &programFolder);
// Where the base is read: where it is written, or, when the user has no
// base of their own yet, the one in the program's folder.
QString cheminBaseLue(const QString &programFolder);

// A number as the scan's list and the base write it: up to 15 significant
// digits, the locale's decimal separator, no grouping, 6,25E-05 style exponents.
QString texteNombre(double value, const QLocale &locale = QLocale());
// Reads such a number, with the decimal sign of any locale.
std::optional<double> lireNombre(QStringView text);

// Whether a path can stand on one line of the base.
bool cheminEnregistrable(const QString &path);

// The bytes of a base holding these photos.
QByteArray texteBasePhotos(const std::vector<TypePhoto> &photos, const QLocale &locale = QLocale());

// Writes the base, replacing the file only once it is wholly written: a
// failed write leaves the previous base as it was. False with the reason, in
// French, in erreur when it could not be written.
bool EcritBasePhotos(const QString &path, const std::vector<TypePhoto> &photos, QString *erreur,
                     const QLocale &locale = QLocale());

struct LectureBase {
    bool existe = false;   // the file was there
    long long compte = 0;  // that count
    std::vector<TypePhoto> photos; // the complete records, at most count of them
    // Why the base could not be read whole, in French, for the user; empty
    // when there is no file or every photo it counts was read.
    QString erreur;
};

// Reads a base; stops at the first record that is cut short or malformed,
// keeping the complete ones before it. A file that is there but gives no
// count, or fewer photos than its count, is told in erreur: a base that
// cannot be read must never pass for an empty one.
LectureBase LireBasePhotos(const QString &path);

} // namespace kavel
