// The scan's cache of readings: what a rescan of an unchanged file need not read again.
#include "photos/scan/CacheScan.h"

#include "platform/ListeDossier.h"
#include "platform/NomFichier.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <cstring>
#include <optional>

namespace kavel {

namespace {

// The file starts with this line and the reader's version; raise the
// version whenever the reader's results for some file change, so that a
// cache of the old reader is not believed.
constexpr QByteArrayView kEntete("Kavel cache de lecture\n");
constexpr quint32 kVersionLecteur = 5;
// A name is never longer on any file system in use.
constexpr quint32 kLongueurNomMax = 64 * 1024;
// Past the name: size, modification, inode, inode change, five numbers,
// flags.
constexpr qsizetype kTailleValeurs = 4 * 8 + 5 * 8 + 1;

void ajoute32(QByteArray &out, quint32 v)
{
    char octets[4];
    qToLittleEndian(v, octets);
    out.append(octets, 4);
}

void ajouteTexte(QByteArray &out, const QString &texte)
{
    const QByteArray octets = platform::octetsDeNom(texte);
    ajoute32(out, static_cast<quint32>(octets.size()));
    out.append(octets);
}

void ajoute64(QByteArray &out, quint64 v)
{
    char octets[8];
    qToLittleEndian(v, octets);
    out.append(octets, 8);
}

void ajouteDouble(QByteArray &out, double d)
{
    quint64 v = 0;
    std::memcpy(&v, &d, 8);
    ajoute64(out, v);
}

quint64 lit64(const char *p)
{
    return qFromLittleEndian<quint64>(p);
}

double litDouble(const char *p)
{
    const quint64 v = lit64(p);
    double d = 0;
    std::memcpy(&d, &v, 8);
    return d;
}

} // namespace

QString cheminCache(const QString &cheminBase)
{
    return QFileInfo(cheminBase).path() + QLatin1Char('/') + QLatin1String(kNomCacheScan);
}

QByteArray texteCacheScan(const ContenuCache &cache)
{
    QByteArray out;
    out.reserve(kEntete.size() + 64 + static_cast<qsizetype>(cache.fichiers.size()) * (kTailleValeurs + 80));
    out.append(kEntete);
    ajoute32(out, kVersionLecteur);
    ajoute32(out, static_cast<quint32>(cache.fichiers.size()));
    for (const FichierCache &f : cache.fichiers) {
        const QByteArray nom = platform::octetsDeNom(f.fichier);
        ajoute32(out, static_cast<quint32>(nom.size()));
        out.append(nom);
        const platform::EtatFichier &e = f.entree.etat;
        for (qint64 v : {e.taille, e.modification, static_cast<qint64>(e.inode), e.changement})
            ajoute64(out, static_cast<quint64>(v));
        const ResultatLecture &r = f.entree.resultat;
        for (double d : {r.ValLux, r.ValEV, r.ValSpeed, r.ValDiaf, r.ValIso})
            ajouteDouble(out, d);
        out.append(r.depassement ? '\1' : '\0');
    }
    ajoute32(out, static_cast<quint32>(cache.dossiers.size()));
    for (auto d = cache.dossiers.cbegin(); d != cache.dossiers.cend(); ++d) {
        ajouteTexte(out, d.key());
        ajoute64(out, static_cast<quint64>(d->modification));
        for (const QStringList *noms : {&d->fichiers, &d->sousDossiers}) {
            ajoute32(out, static_cast<quint32>(noms->size()));
            for (const QString &nom : *noms)
                ajouteTexte(out, nom);
        }
    }
    ajouteTexte(out, cache.motifs);
    ajoute64(out, static_cast<quint64>(cache.baseTaille));
    ajoute64(out, static_cast<quint64>(cache.baseModification));
    ajoute32(out, static_cast<quint32>(cache.enBase));
    ajoute32(out, static_cast<quint32>(cache.paires));
    const QByteArray separateur = cache.separateur.toUtf8().left(16);
    ajoute32(out, static_cast<quint32>(separateur.size()));
    out.append(separateur);
    return out;
}

namespace {

// Reads a cache file's bytes front to back; any read past their end makes
// the whole file worthless.
class Lecteur {
public:
    explicit Lecteur(const QByteArray &octets)
        : m_p(octets.constData()), m_fin(octets.constData() + octets.size())
    {
    }
    bool ok() const { return m_ok; }
    bool fini() const { return m_p == m_fin; }
    const char *prend(qsizetype n)
    {
        if (!m_ok || n < 0 || m_fin - m_p < n) {
            m_ok = false;
            return nullptr;
        }
        const char *p = m_p;
        m_p += n;
        return p;
    }
    quint32 n32()
    {
        const char *p = prend(4);
        return p ? qFromLittleEndian<quint32>(p) : 0;
    }
    qint64 n64()
    {
        const char *p = prend(8);
        return p ? static_cast<qint64>(lit64(p)) : 0;
    }
    // A text of ajouteTexte; nothing, and the file worthless, when too long.
    std::optional<QString> texte()
    {
        const quint32 n = n32();
        const char *p = n <= kLongueurNomMax ? prend(n) : nullptr;
        if (!p) {
            m_ok = false;
            return std::nullopt;
        }
        return platform::texteDeNom(QByteArrayView(p, n));
    }
    double reel()
    {
        const char *p = prend(8);
        return p ? litDouble(p) : 0;
    }

private:
    const char *m_p;
    const char *m_fin;
    bool m_ok = true;
};

} // namespace

ContenuCache LireCacheScan(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray octets = file.readAll();
    if (!octets.startsWith(kEntete))
        return {};
    Lecteur l(octets);
    l.prend(kEntete.size());
    if (l.n32() != kVersionLecteur)
        return {};
    ContenuCache cache;
    const quint32 n = l.n32();
    // Each entry takes more than kTailleValeurs bytes: a count beyond what
    // the file can hold is a damaged file, not a reason to reserve memory.
    if (n > octets.size() / kTailleValeurs)
        return {};
    cache.fichiers.reserve(n);
    for (quint32 i = 0; i < n && l.ok(); ++i) {
        const quint32 longueur = l.n32();
        const char *nom = longueur <= kLongueurNomMax ? l.prend(longueur) : nullptr;
        if (!nom)
            return {};
        FichierCache f{platform::texteDeNom(QByteArrayView(nom, longueur)), {}};
        platform::EtatFichier &e = f.entree.etat;
        e.taille = l.n64();
        e.modification = l.n64();
        e.inode = static_cast<quint64>(l.n64());
        e.changement = l.n64();
        ResultatLecture &r = f.entree.resultat;
        for (double *v : {&r.ValLux, &r.ValEV, &r.ValSpeed, &r.ValDiaf, &r.ValIso})
            *v = l.reel();
        const char *drapeau = l.prend(1);
        if (!drapeau || (*drapeau != 0 && *drapeau != 1))
            return {};
        r.depassement = *drapeau == 1;
        cache.fichiers.push_back(std::move(f));
    }
    const quint32 nbDossiers = l.n32();
    if (nbDossiers > octets.size() / 16)
        return {};
    for (quint32 i = 0; i < nbDossiers && l.ok(); ++i) {
        const std::optional<QString> chemin = l.texte();
        ListeDossier d;
        d.modification = l.n64();
        for (QStringList *noms : {&d.fichiers, &d.sousDossiers}) {
            const quint32 nb = l.n32();
            if (nb > octets.size() / 4)
                return {};
            for (quint32 j = 0; j < nb && l.ok(); ++j)
                noms->append(l.texte().value_or(QString()));
        }
        if (chemin)
            cache.dossiers.insert(*chemin, d);
    }
    cache.motifs = l.texte().value_or(QString());
    cache.baseTaille = l.n64();
    cache.baseModification = l.n64();
    cache.enBase = static_cast<int>(l.n32());
    cache.paires = static_cast<int>(l.n32());
    const quint32 longueur = l.n32();
    const char *separateur = longueur <= 16 ? l.prend(longueur) : nullptr;
    if (!separateur || !l.ok() || !l.fini() || cache.enBase < 0 || cache.paires < 0)
        return {};
    cache.separateur = QString::fromUtf8(separateur, longueur);
    return cache;
}

} // namespace kavel
