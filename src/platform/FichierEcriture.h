#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kavel {

// Writes a file in place of another: the bytes go to a new file beside it,
// which takes the old one's place only once every byte is on the disk, so a
// failed write leaves the old file as it was. Each step says whether it
// worked; erreur() then tells why the first failed step did not.
class FichierEcriture {
public:
    explicit FichierEcriture(const QString &path);
    ~FichierEcriture(); // an unfinished write is dropped, the old file kept
    FichierEcriture(const FichierEcriture &) = delete;
    FichierEcriture &operator=(const FichierEcriture &) = delete;

    // The new file's permission bits (as chmod takes them), whatever the
    // umask; by default it keeps the replaced file's, or the umask's for a
    // new one. Set before ouvre().
    void setMode(int mode) { m_mode = mode; }

    bool ouvre();
    bool ecrit(QByteArrayView octets);
    // Puts the new file in place of the old one, once its bytes are on the
    // disk; a file that is only worth having (a cache) can skip that wait,
    // not durable.
    bool valide(bool durable = true);

    // The system's error number (errno) of the step that failed, 0 if none.
    int erreur() const { return m_erreur; }

private:
    bool echec();
    void abandonne();

    QByteArray m_cible;
    QByteArray m_provisoire;
    int m_fd = -1;
    int m_erreur = 0;
    int m_mode = -1;
};

// Makes the folder at path and those above it that are missing, each new
// one with the permission bits mode whatever the umask; one already there
// keeps its own. True when it is there, a folder.
bool creeDossiers(const QString &path, int mode);

// Whether new files can be made in the folder at path: by the system's
// judgement, and by the folder's own mode bits, which hold root too (the
// owner's, group's or others' bits, whichever apply to this process).
bool dossierInscriptible(const QString &path);

// Why a file could not be written, in French, from the system's error number.
QString raisonEchecEcriture(int erreur);

} // namespace kavel
