#include "platform/FichierEcriture.h"

#include "platform/NomFichier.h"

#include <QRandomGenerator>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace kavel {

namespace {

bool dansGroupe(gid_t groupe)
{
    if (groupe == ::getegid())
        return true;
    const int n = ::getgroups(0, nullptr);
    if (n <= 0)
        return false;
    std::vector<gid_t> groupes(static_cast<std::size_t>(n));
    const int m = ::getgroups(n, groupes.data());
    return std::find(groupes.begin(), groupes.begin() + std::max(m, 0), groupe) != groupes.end();
}

// Whether the owner's, group's or others' bits of etat, whichever apply to
// this process's effective user and groups, hold all the wanted ones (given
// as others' bits: S_IWOTH, S_IXOTH). Root gets no exception.
bool modePermet(const struct stat &etat, mode_t voulus)
{
    const int decalage = etat.st_uid == ::geteuid() ? 6 : dansGroupe(etat.st_gid) ? 3 : 0;
    return ((etat.st_mode >> decalage) & voulus) == voulus;
}

} // namespace

bool creeDossiers(const QString &path, int mode)
{
    const QByteArray chemin = platform::octetsDeNom(path);
    struct stat st {};
    if (::stat(chemin.constData(), &st) == 0 && S_ISDIR(st.st_mode))
        return true;
    for (qsizetype fin = chemin.indexOf('/', 1);; fin = chemin.indexOf('/', fin + 1)) {
        const QByteArray partie = fin < 0 ? chemin : chemin.left(fin);
        if (!partie.isEmpty() && ::mkdir(partie.constData(), static_cast<mode_t>(mode)) == 0)
            ::chmod(partie.constData(), static_cast<mode_t>(mode));
        if (fin < 0)
            break;
    }
    return ::stat(chemin.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool dossierInscriptible(const QString &path)
{
    // access() also knows read-only disks and access lists, but lets root
    // write anything; the mode bits hold root to what the owner chose.
    const QByteArray nom = platform::octetsDeNom(path);
    struct stat etat {};
    return ::access(nom.constData(), W_OK | X_OK) == 0 && ::stat(nom.constData(), &etat) == 0
           && modePermet(etat, S_IWOTH | S_IXOTH);
}

FichierEcriture::FichierEcriture(const QString &path)
    : m_cible(platform::octetsDeNom(path))
{
}

FichierEcriture::~FichierEcriture()
{
    abandonne();
}

bool FichierEcriture::echec()
{
    m_erreur = errno;
    abandonne();
    return false;
}

void FichierEcriture::abandonne()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_provisoire.isEmpty())
        ::unlink(m_provisoire.constData());
    m_provisoire.clear();
}

bool FichierEcriture::ouvre()
{
    abandonne();
    m_erreur = 0;
    // A link to the file: the file it points to is the one replaced.
    if (char *reel = ::realpath(m_cible.constData(), nullptr)) {
        m_cible = reel;
        std::free(reel);
    }
    struct stat ancien {};
    const bool existe = ::stat(m_cible.constData(), &ancien) == 0;
    if (existe && !modePermet(ancien, S_IWOTH)) {
        errno = EACCES; // a file its owner made read-only stays as it is, whoever runs the program
        return echec();
    }
    for (int essai = 0; essai < 100 && m_fd < 0; ++essai) {
        m_provisoire = m_cible + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        m_fd = ::open(m_provisoire.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST) {
            m_provisoire.clear();
            return echec();
        }
    }
    if (m_fd < 0) {
        m_provisoire.clear();
        return echec();
    }
    if (m_mode >= 0) {
        if (::fchmod(m_fd, static_cast<mode_t>(m_mode)) != 0)
            return echec();
    } else if (existe) {
        ::fchmod(m_fd, ancien.st_mode & 07777);
    }
    return true;
}

bool FichierEcriture::ecrit(QByteArrayView octets)
{
    if (m_fd < 0)
        return false;
    for (qsizetype fait = 0; fait < octets.size();) {
        const ssize_t n = ::write(m_fd, octets.data() + fait, static_cast<size_t>(octets.size() - fait));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = ENOSPC;
            return echec();
        }
        fait += n;
    }
    return true;
}

bool FichierEcriture::valide(bool durable)
{
    if (m_fd < 0)
        return false;
    if (durable && ::fsync(m_fd) != 0 && errno != EINVAL) // EINVAL: a file system that keeps nothing to sync
        return echec();
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        return echec();
    if (::rename(m_provisoire.constData(), m_cible.constData()) != 0)
        return echec();
    m_provisoire.clear();
    return true;
}

QString raisonEchecEcriture(int erreur)
{
    switch (erreur) {
    case ENOSPC: return QStringLiteral("Le disque est plein.");
    case EDQUOT: return QStringLiteral("Votre quota d'espace disque est atteint.");
    case EACCES:
    case EPERM: return QStringLiteral("Accès refusé : vous n'avez pas le droit d'écrire à cet endroit.");
    case EROFS: return QStringLiteral("Le disque est en lecture seule.");
    case ENOENT:
    case ENOTDIR: return QStringLiteral("Le dossier n'existe pas.");
    case EIO: return QStringLiteral("Le disque a signalé une erreur matérielle.");
    default: return QStringLiteral("Erreur inattendue du système (code %1).").arg(erreur);
    }
}

} // namespace kavel
