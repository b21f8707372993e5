#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QFile;

namespace kavel {

// Opens a regular file for reading into file, which then owns it; false for
// a file that cannot be read and for anything else (a named pipe, a
// device), without ever waiting on it. Paths are those of texteDeNom
// (platform/NomFichier.h), so any name on the disk can be opened.
bool ouvreFichierOrdinaire(const QString &path, QFile &file);

// A regular file that a folder's listing has just looked at, and its size
// then. While one lives, FichierLecture::ouvre() of that path on the same
// thread opens the file without looking at it again: the listing's look
// told it from a pipe or a device. A file that has become a link since is
// looked at as any other; one whose size changed reads as far as the
// listing saw it, and its reads past its present end fail.
class FichierVu {
public:
    FichierVu(const QString &path, qint64 taille);
    ~FichierVu();
    FichierVu(const FichierVu &) = delete;
    FichierVu &operator=(const FichierVu &) = delete;

private:
    friend class FichierLecture;
    const QString m_path; // a copy: the caller's string may be a temporary
    qint64 m_taille;
    const FichierVu *m_precedent;
};

// Random access to the bytes of a file, read through one small block kept
// in memory: reading a photo's metadata touches a few hundred bytes near
// its start, so one system read usually serves every request.
class FichierLecture {
public:
    FichierLecture() = default;
    ~FichierLecture();
    FichierLecture(const FichierLecture &) = delete;
    FichierLecture &operator=(const FichierLecture &) = delete;

    // Opens a regular file for reading, as ouvreFichierOrdinaire does (or as
    // FichierVu says); false when it cannot be read.
    bool ouvre(const QString &path);
    void ferme();

    qint64 taille() const { return m_taille; }
    // Appends the n bytes at pos to out; false, appending nothing, when they
    // do not all lie in the file or cannot be read.
    bool lit(qint64 pos, qint64 n, QByteArray &out);

    // Bytes asked of the system since the file was opened.
    qint64 octetsLus() const { return m_octetsLus; }

    // Files this program has opened through ouvre() on any thread, and the
    // times it asked the system what they were (their type and size), for
    // measuring what a scan reads.
    static quint64 ouvertures();
    static quint64 regards();

private:
    int m_fd = -1;
    qint64 m_taille = 0;
    QByteArray m_bloc;
    qint64 m_debutBloc = 0;
    qint64 m_octetsLus = 0;
};

} // namespace kavel
