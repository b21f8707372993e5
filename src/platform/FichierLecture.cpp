#include "platform/FichierLecture.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavel {

namespace {

// One system read brings this much: enough for the segments and directories
// at the head of a photo.
constexpr qint64 kTailleBloc = 4096;

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

} // namespace

FichierLecture::~FichierLecture()
{
    ferme();
}

bool FichierLecture::ouvre(const QString &path)
{
    ferme();
    const QByteArray nom = QFile::encodeName(path);
    // O_NONBLOCK: a named pipe under a photo's name must not block the scan.
    const int fd = ::open(nom.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    m_taille = st.st_size;
    return true;
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
