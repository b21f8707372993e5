// The folder search: the photo files under a folder, each looked at once.
#include "photos/scan/RechercheFichier.h"

#include "platform/ListeDossier.h"
#include "platform/NomFichier.h"

#include <QDateTime>
#include <QRegularExpression>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace kavel {

namespace {

// A name as a pattern sees it: each byte that is not UTF-8 counts as one
// unknown character (a pattern cannot match those bytes anyway).
QString pourMotif(const QString &nom)
{
    QString texte = nom;
    for (qsizetype i = 0; i < texte.size(); ++i) {
        if (texte[i].isHighSurrogate() && i + 1 < texte.size() && texte[i + 1].isLowSurrogate())
            ++i;
        else if (texte[i].isSurrogate())
            texte[i] = QChar::ReplacementCharacter;
    }
    return texte;
}

// Which names a search takes: patterns that are all "*.ext" are a set of
// extensions, checked without a regular expression.
class Motifs {
public:
    explicit Motifs(const QStringList &motifs)
    {
        static const QRegularExpression extension(QStringLiteral("^\\*\\.[A-Za-z0-9]+$"));
        QStringList alternatives;
        for (const QString &motif : motifs) {
            alternatives << QRegularExpression::wildcardToRegularExpression(motif);
            if (extension.match(motif).hasMatch())
                m_extensions << motif.mid(2).toLower();
            else
                m_general = true;
        }
        if (m_general)
            m_expression = QRegularExpression(QStringLiteral("(?:") + alternatives.join(QStringLiteral(")|(?:")) + QLatin1Char(')'),
                                              QRegularExpression::CaseInsensitiveOption);
    }

    bool prend(const QString &nom) const
    {
        if (m_general)
            return m_expression.match(pourMotif(nom)).hasMatch();
        const qsizetype point = nom.lastIndexOf(QLatin1Char('.'));
        if (point < 0)
            return false;
        const QStringView extension = QStringView(nom).sliced(point + 1);
        for (const QString &e : m_extensions)
            if (extension.size() == e.size() && extension.compare(e, Qt::CaseInsensitive) == 0)
                return true;
        return false;
    }

private:
    QStringList m_extensions;
    bool m_general = false;
    QRegularExpression m_expression;
};

// One folder of a search: its files, then its sub-folders.
struct Dossier {
    QString chemin; // ending with "/"
    qint64 modification = -1; // when worth remembering
    QStringList noms;
    QList<platform::EtatFichier> etats;
    std::vector<std::unique_ptr<Dossier>> sousDossiers;
};

// Lists one folder from the disk: the files the patterns take, by name,
// and its sub-folders, in the same order, still to be listed. False when
// the folder could not be read to its end.
bool listeDisque(Dossier &d, const Motifs &motif, bool etats)
{
    struct Entree {
        QString cle;
        platform::EntreeDossier entree;
    };
    std::vector<Entree> entrees;
    std::function<bool(const QString &)> etatVoulu;
    if (etats)
        etatVoulu = [&motif](const QString &nom) { return motif.prend(nom); };
    bool lu = false;
    for (platform::EntreeDossier &e : platform::entreesDossier(d.chemin, etatVoulu, &lu))
        entrees.push_back({e.nom.toLower(), std::move(e)});
    // By name, letter case ignored; names that differ only in case keep the
    // system's order.
    std::stable_sort(entrees.begin(), entrees.end(), [](const Entree &a, const Entree &b) { return a.cle < b.cle; });

    // Hidden files and folders are searched like any other; "." and ".."
    // never. A link to a folder is no file, and is not entered.
    for (const Entree &e : entrees) {
        if (e.entree.sorte == platform::SorteEntree::Fichier && motif.prend(e.entree.nom)) {
            d.noms.append(e.entree.nom);
            if (etats)
                d.etats.append(e.entree.etat);
        } else if (e.entree.sorte == platform::SorteEntree::Dossier) {
            d.sousDossiers.push_back(std::make_unique<Dossier>());
            d.sousDossiers.back()->chemin = d.chemin + e.entree.nom + QLatin1Char('/');
        }
    }
    return lu;
}

// A folder changed less than this before it is listed may change again
// within the same tick of the file system's clock: its listing is not
// remembered.
constexpr qint64 kRecentNs = 2'000'000'000;

// Lists one folder; from the earlier listing when the folder has not
// changed since.
void liste(Dossier &d, const Motifs &motif, bool etats, const ListesDossiers *avant)
{
    if (avant) {
        const qint64 m = platform::modificationDossier(d.chemin);
        const qint64 maintenant = QDateTime::currentMSecsSinceEpoch() * 1'000'000;
        d.modification = m >= 0 && m < maintenant - kRecentNs ? m : -1;
        const auto ancienne = avant->constFind(d.chemin);
        if (d.modification >= 0 && ancienne != avant->cend() && ancienne->modification == d.modification) {
            d.noms = ancienne->fichiers;
            if (etats)
                platform::etatsFichiers(d.chemin, d.noms, d.etats);
            for (const QString &nom : ancienne->sousDossiers) {
                d.sousDossiers.push_back(std::make_unique<Dossier>());
                d.sousDossiers.back()->chemin = d.chemin + nom + QLatin1Char('/');
            }
            return;
        }
    }
    // A listing that failed is not remembered: the next search tries again.
    if (!listeDisque(d, motif, etats))
        d.modification = -1;
}

// The folders still to list, shared by the threads of a search: each takes
// one, lists it and puts its sub-folders in the queue.
class File {
public:
    File(Dossier &racine, const Motifs &motif, bool etats, const std::atomic<bool> *arret, const ListesDossiers *avant)
        : m_motif(motif), m_etats(etats), m_arret(arret), m_avant(avant)
    {
        m_aFaire.push_back(&racine);
    }

    void travaille()
    {
        std::unique_lock<std::mutex> verrou(m_verrou);
        for (;;) {
            m_attente.wait(verrou, [this] { return !m_aFaire.empty() || m_enCours == 0; });
            if (m_aFaire.empty())
                return; // nothing left, and nobody listing: the search is over
            Dossier *d = m_aFaire.front();
            m_aFaire.pop_front();
            ++m_enCours;
            verrou.unlock();
            if (!m_arret || !m_arret->load(std::memory_order_relaxed))
                liste(*d, m_motif, m_etats, m_avant);
            verrou.lock();
            --m_enCours;
            for (const auto &s : d->sousDossiers)
                m_aFaire.push_back(s.get());
            m_attente.notify_all();
        }
    }

private:
    const Motifs &m_motif;
    const bool m_etats;
    const std::atomic<bool> *m_arret;
    const ListesDossiers *m_avant;
    std::mutex m_verrou;
    std::condition_variable m_attente;
    std::deque<Dossier *> m_aFaire;
    int m_enCours = 0;
};

// A folder's files, then each sub-folder's, depth first; and the listings
// worth remembering.
void rassemble(const Dossier &d, ResultatRecherche &resultat, bool etats, ListesDossiers *listes)
{
    if (listes && d.modification >= 0) {
        ListeDossier &l = (*listes)[d.chemin];
        l.modification = d.modification;
        l.fichiers = d.noms;
        for (const auto &s : d.sousDossiers)
            l.sousDossiers << s->chemin.mid(d.chemin.size()).chopped(1);
    }
    for (const QString &nom : d.noms) {
        resultat.dossiers.append(d.chemin);
        resultat.noms.append(nom);
    }
    if (etats)
        resultat.etats.append(d.etats);
    for (const auto &s : d.sousDossiers)
        rassemble(*s, resultat, etats, listes);
}

} // namespace

int RechercheRecursive(const QString &dossier, const QString &motif, ResultatRecherche &resultat)
{
    return RechercheRecursive(dossier, QStringList{motif}, resultat);
}

int RechercheRecursive(const QString &dossier, const QStringList &motifs, ResultatRecherche &resultat, bool etats,
                       const std::atomic<bool> *arret, int fils, const ListesDossiers *avant, ListesDossiers *apres)
{
    const Motifs motif(motifs);
    Dossier racine;
    racine.chemin = dossier;
    const ListesDossiers aucune; // listings are wanted, none known yet
    File file(racine, motif, etats, arret, avant ? avant : apres ? &aucune : nullptr);
    std::vector<std::thread> aides;
    for (int i = 1; i < fils; ++i)
        aides.emplace_back([&file] { file.travaille(); });
    file.travaille();
    for (std::thread &t : aides)
        t.join();
    if (!arret || !arret->load())
        rassemble(racine, resultat, etats, apres);
    return resultat.count();
}

} // namespace kavel
