#include "platform/FichierLecture.h"

#include "platform/NomFichier.h"

#include <QFile>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavel {

namespace {

// One system read brings this much: enough for the segments and directories
// at the head of a photo.
constexpr qint64 kTailleBloc = 4096;

std::atomic<quint64> g_ouvertures{0};
std::atomic<quint64> g_regards{0};

// The file that a listing has looked at, on this thread.
thread_local const FichierVu *t_vu = nullptr;

// pread until n bytes or the end; the number of bytes read, -1 on error.
qint64 litTout(int fd, char *buffer, qint64 n, qint64 pos)
{
    qint64 total = 0;
    while (total < n) {
        const ssize_t r = ::pread(fd, buffer + total, static_cast<size_t>(n - total), static_cast<off_t>(pos + total));
        if (r < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (r == 0)
            break;
        total += r;
    }
    return total;
}

// Opens a regular file for reading; -1 for anything else. A named pipe or a
// device under a photo's name is not even opened (opening some devices acts
// on them); O_NONBLOCK covers one put there between the two looks (it
// changes nothing for a regular file).
int ouvreOrdinaire(const QString &path, qint64 &taille)
{
    const platform::CheminSysteme chemin(path);
    struct stat st {};
    g_regards.fetch_add(1, std::memory_order_relaxed);
    if (::fstatat(chemin.dossier(), chemin.nom(), &st, 0) != 0 || !S_ISREG(st.st_mode))
        return -1;
    const int fd = ::openat(chemin.dossier(), chemin.nom(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    g_regards.fetch_add(1, std::memory_order_relaxed);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    taille = st.st_size;
    return fd;
}

// A file a listing has looked at: opened as it is, without another look,
// unless it has become a link since (-2). O_NONBLOCK: a pipe put there
// since opens at once, and reads as nothing.
int ouvreVu(const QString &path)
{
    const platform::CheminSysteme chemin(path);
    constexpr int kMode = O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW;
    const int fd = ::openat(chemin.dossier(), chemin.nom(), kMode);
    return fd < 0 && errno == ELOOP ? -2 : fd;
}

} // namespace

FichierVu::FichierVu(const QString &path, qint64 taille)
    : m_path(path)
    , m_taille(taille)
    , m_precedent(t_vu)
{
    t_vu = this;
}

FichierVu::~FichierVu()
{
    t_vu = m_precedent;
}

quint64 FichierLecture::ouvertures()
{
    return g_ouvertures.load(std::memory_order_relaxed);
}

quint64 FichierLecture::regards()
{
    return g_regards.load(std::memory_order_relaxed);
}

bool ouvreFichierOrdinaire(const QString &path, QFile &file)
{
    qint64 taille = 0;
    const int fd = ouvreOrdinaire(path, taille);
    if (fd < 0)
        return false;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    return true;
}

FichierLecture::~FichierLecture()
{
    ferme();
}

bool FichierLecture::ouvre(const QString &path)
{
    ferme();
    g_ouvertures.fetch_add(1, std::memory_order_relaxed);
    const bool vu = t_vu && t_vu->m_path == path;
    m_fd = vu ? ouvreVu(path) : -2;
    if (m_fd == -2)
        m_fd = ouvreOrdinaire(path, m_taille);
    else
        m_taille = t_vu->m_taille;
    if (m_fd < 0)
        m_taille = 0;
    return m_fd >= 0;
}

void FichierLecture::ferme()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_taille = 0;
    m_bloc.clear();
    m_debutBloc = 0;
    m_octetsLus = 0;
}

bool FichierLecture::lit(qint64 pos, qint64 n, QByteArray &out)
{
    if (m_fd < 0 || pos < 0 || n < 0 || n > m_taille - pos)
        return false;
    if (n == 0)
        return true;
    if (pos < m_debutBloc || n > m_bloc.size() - (pos - m_debutBloc)) {
        if (n > kTailleBloc) {
            // A long value: read it alone, keeping the block.
            const qsizetype avant = out.size();
            out.resize(avant + n);
            const qint64 r = litTout(m_fd, out.data() + avant, n, pos);
            m_octetsLus += n;
            if (r != n) {
                out.resize(avant);
                return false;
            }
            return true;
        }
        const qint64 taille = std::min(kTailleBloc, m_taille - pos);
        m_bloc.resize(taille);
        const qint64 r = litTout(m_fd, m_bloc.data(), taille, pos);
        m_octetsLus += taille;
        m_debutBloc = pos;
        m_bloc.resize(std::max<qint64>(r, 0));
        if (n > m_bloc.size())
            return false; // the file shrank under us
    }
    out.append(m_bloc.constData() + (pos - m_debutBloc), n);
    return true;
}

} // namespace kavel
