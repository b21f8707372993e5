#include "platform/ListeDossier.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kavel::platform {

namespace {

qint64 nanosecondes(const struct timespec &t)
{
    return static_cast<qint64>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

qint64 nanosecondes(const struct stat &st)
{
    return nanosecondes(st.st_mtim);
}

EtatFichier etat(const struct stat &st)
{
    return {st.st_size, nanosecondes(st.st_mtim), st.st_ino, nanosecondes(st.st_ctim)};
}

} // namespace

bool etatFichier(QStringView path, qint64 &taille, qint64 &modification)
{
    struct stat st {};
    const CheminSysteme chemin(path);
    if (::fstatat(chemin.dossier(), chemin.nom(), &st, 0) != 0 || !S_ISREG(st.st_mode))
        return false;
    taille = st.st_size;
    modification = nanosecondes(st);
    return true;
}

qint64 modificationDossier(QStringView dossier)
{
    struct stat st {};
    const CheminSysteme chemin(dossier);
    if (::fstatat(chemin.dossier(), chemin.nom(), &st, 0) != 0 || !S_ISDIR(st.st_mode))
        return -1;
    return nanosecondes(st);
}

void etatsFichiers(QStringView dossier, const QStringList &noms, QList<EtatFichier> &etats)
{
    const CheminSysteme chemin(dossier);
    const int fd = ::openat(chemin.dossier(), chemin.nom(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const QString &nom : noms) {
        struct stat st {};
        const QByteArray octets = octetsDeNom(nom);
        const bool regulier =
            fd >= 0 && ::fstatat(fd, octets.constData(), &st, 0) == 0 && S_ISREG(st.st_mode);
        etats.append(regulier ? etat(st) : EtatFichier());
    }
    if (fd >= 0)
        ::close(fd);
}

std::vector<EntreeDossier> entreesDossier(QStringView dossier,
                                          const std::function<bool(const QString &)> &etatVoulu,
                                          bool *lu)
{
    std::vector<EntreeDossier> entrees;
    if (lu)
        *lu = false;
    const CheminSysteme chemin(dossier);
    const int ouvert = ::openat(chemin.dossier(), chemin.nom(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *d = ouvert < 0 ? nullptr : ::fdopendir(ouvert);
    if (!d) {
        if (ouvert >= 0)
            ::close(ouvert);
        return entrees;
    }
    const int fd = ::dirfd(d);
    for (;;) {
        errno = 0;
        const dirent *e = ::readdir(d);
        if (!e) {
            if (lu)
                *lu = errno == 0; // the end, not a failure
            break;
        }
        const QByteArrayView nom(e->d_name);
        if (nom == "." || nom == "..")
            continue;
        SorteEntree sorte = SorteEntree::Fichier;
        unsigned char type = e->d_type;
        struct stat st {};
        if (type == DT_UNKNOWN) {
            if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                continue; // gone meanwhile
            type = S_ISDIR(st.st_mode) ? DT_DIR : S_ISLNK(st.st_mode) ? DT_LNK : DT_REG;
        }
        bool connu = false; // st holds what the name leads to
        if (type == DT_DIR)
            sorte = SorteEntree::Dossier;
        else if (type == DT_LNK && (connu = ::fstatat(fd, e->d_name, &st, 0) == 0) && S_ISDIR(st.st_mode))
            sorte = SorteEntree::LienDossier;
        EntreeDossier entree{texteDeNom(nom), sorte, {}};
        if (etatVoulu && sorte == SorteEntree::Fichier && (connu || type != DT_LNK) && etatVoulu(entree.nom)) {
            if (type == DT_REG && e->d_type != DT_UNKNOWN)
                connu = ::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0;
            else
                connu = connu || type == DT_REG;
            if (connu && S_ISREG(st.st_mode))
                entree.etat = etat(st);
        }
        entrees.push_back(std::move(entree));
    }
    ::closedir(d);
    return entrees;
}

} // namespace kavel::platform
