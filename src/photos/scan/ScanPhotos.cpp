// The scan worker: searching, reading each photo off the window's thread, writing the base.
#include "photos/scan/ScanPhotos.h"

#include "photos/BasePhotos.h"
#include "photos/FormatsPhoto.h"
#include "photos/exif/ExifReader.h"
#include "photos/scan/RechercheFichier.h"
#include "platform/FichierEcriture.h"
#include "platform/FichierLecture.h"
#include "platform/ListeDossier.h"
#include "platform/NomFichier.h"
#include "platform/Priorite.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QStorageInfo>
#include <QThread>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <latch>
#include <mutex>
#include <optional>
#include <vector>

namespace kavel {

namespace {

// How often the window hears of the progress.
constexpr int kIntervalleMs = 50;

// Readers for a disk whose every read waits on a network: many reads in
// flight hide the latency.
constexpr int kLecteursReseau = 8;

// The extensions of camera raw files; a raw file beside a JPEG of the same
// name is the same photo.
const QStringList &extensionsBrutes()
{
    static const QStringList e = [] {
        QStringList l;
        for (const formats::TypePhoto &t : formats::kTypesPhoto)
            if (t.brut)
                l << QLatin1String(t.extension);
        return l;
    }();
    return e;
}

QStringView extension(QStringView nom)
{
    const qsizetype point = nom.lastIndexOf(QLatin1Char('.'));
    return point < 0 ? QStringView() : nom.sliced(point + 1);
}

bool estJpeg(QStringView nom)
{
    const QStringView e = extension(nom);
    return e.compare(QLatin1String("jpg"), Qt::CaseInsensitive) == 0 || e.compare(QLatin1String("jpeg"), Qt::CaseInsensitive) == 0;
}

// The path without the name's extension.
QStringView sansExtension(const QString &chemin)
{
    const qsizetype point = chemin.lastIndexOf(QLatin1Char('.'));
    return point > chemin.lastIndexOf(QLatin1Char('/')) ? QStringView(chemin).first(point) : QStringView(chemin);
}

// A photo goes into the base when its light level is known and all its
// values are numbers: absurd EXIF values can make the lux infinite.
bool dansLaBase(const LigneScan &l)
{
    const ResultatLecture &r = l.resultat;
    return r.ValEV > ExifReader::kEVNonCalcule && std::isfinite(r.ValEV) && std::isfinite(r.ValLux)
        && std::isfinite(r.ValSpeed) && std::isfinite(r.ValDiaf) && std::isfinite(r.ValIso) && cheminEnregistrable(l.fichier);
}

bool disqueReseau(const QString &dossier)
{
    static const QList<QByteArray> reseau{"nfs", "nfs4", "cifs", "smb3", "smbfs", "9p", "afs", "ceph", "glusterfs",
                                          "fuse.sshfs", "fuse.rclone", "fuse.gvfsd-fuse", "davfs", "fuse.davfs"};
    return reseau.contains(QStorageInfo(dossier).fileSystemType());
}

// The scans' own threads: a reading thread may wait on a slow disk, and must
// never hold up the threads the rest of the program uses.
QThreadPool &pool()
{
    static QThreadPool p;
    p.setMaxThreadCount(1 + kLecteursReseau);
    return p;
}

// The patterns as one text, as the cache keeps them.
const QString &texteMotifs()
{
    static const QString t = ScanPhotos::motifs().join(QLatin1Char(' '));
    return t;
}

} // namespace

// What the scan's threads and the window share. The window reads the rows
// below the first one not yet read, each marked read (release) by its reader.
struct ScanPhotos::Etat {
    QString racine;
    QString cheminBase;
    QLocale locale;
    int lecteurs = 1;
    std::function<void(const QString &)> avantLecture;
    std::function<void()> apresEcriture;
    // Told at once of each new step, without waiting for its next look.
    QPointer<ScanPhotos> proprietaire;

    std::atomic<bool> arret{false};
    std::mutex verrou; // held while the base is replaced, and to stop
    bool baseRemplacee = false; // under verrou

    std::atomic<int> etape{Recherche};
    std::atomic<bool> fini{false};
    // Set before the step of the analysis begins; each row's path is made
    // by its reader.
    ResultatRecherche trouves;
    std::vector<LigneScan> lignes;
    std::unique_ptr<std::atomic<bool>[]> faites;
    std::atomic<int> prochaine{0};
    std::unique_ptr<std::latch> lecteursFinis;
    ContenuCache ancien;
    ListesDossiers listes; // this scan's, for the next
    // Where each file of the cache is, made only when a file is not where
    // it was last time.
    QHash<QString, int> indexAncien;
    std::once_flag indexFait;
    // Every file found where the cache had it, unchanged.
    std::atomic<bool> commeAvant{true};
    // What goes into the new cache: the file's state when its reading is
    // worth keeping.
    std::vector<std::optional<platform::EtatFichier>> etats;
    // Set before fini.
    BilanScan bilan;

    void lis();
    const EntreeCache *dansLeCache(int i);
    void deroule();
    void previens() const;
    bool baseAJour() const;
    std::vector<TypePhoto> photosDeLaBase();
    void sauvegarde(const std::vector<TypePhoto> &base);
    void ecritCache();
};

void ScanPhotos::Etat::lis()
{
    platform::cedeLaPlace();
    ExifReader lecteur;
    const auto n = static_cast<int>(lignes.size());
    for (;;) {
        if (arret.load(std::memory_order_relaxed))
            break;
        const int i = prochaine.fetch_add(1, std::memory_order_relaxed);
        if (i >= n)
            break;
        const auto k = static_cast<std::size_t>(i);
        LigneScan &l = lignes[k];
        // Read only (at): the window holds copies of these lists.
        l.fichier = trouves.dossiers.at(i) + trouves.noms.at(i);
        if (avantLecture)
            avantLecture(l.fichier);
        // The state the search saw: a file changed since then is read now
        // and kept with that older state, so the next scan reads it again.
        std::optional<platform::EtatFichier> &etat = etats[k];
        const EntreeCache *e = etat ? dansLeCache(i) : nullptr;
        if (e && e->etat == *etat) {
            l.resultat = e->resultat;
        } else {
            commeAvant.store(false, std::memory_order_relaxed);
            // The search has just looked at the file: the reader need not.
            std::optional<FichierVu> vu;
            if (etat)
                vu.emplace(l.fichier, etat->taille);
            lecteur.AnalysePhoto(l.fichier);
            l.resultat = {lecteur.ValLux, lecteur.ValEV, lecteur.ValSpeed, lecteur.ValDiaf, lecteur.ValIso,
                          !lecteur.Statut.isEmpty()};
        }
        // A file that could not be opened is tried again next time.
        if (l.resultat.ValLux == ExifReader::kNonAnalyse)
            etat.reset();
        faites[k].store(true, std::memory_order_release);
    }
    lecteursFinis->count_down();
}

const EntreeCache *ScanPhotos::Etat::dansLeCache(int i)
{
    const auto k = static_cast<std::size_t>(i);
    if (k < ancien.fichiers.size() && ancien.fichiers[k].fichier == lignes[k].fichier)
        return &ancien.fichiers[k].entree;
    commeAvant.store(false, std::memory_order_relaxed);
    std::call_once(indexFait, [this] {
        indexAncien.reserve(static_cast<qsizetype>(ancien.fichiers.size()));
        for (std::size_t j = 0; j < ancien.fichiers.size(); ++j)
            indexAncien.insert(ancien.fichiers[j].fichier, static_cast<int>(j));
    });
    const auto j = indexAncien.constFind(lignes[k].fichier);
    return j == indexAncien.cend() ? nullptr : &ancien.fichiers[static_cast<std::size_t>(*j)].entree;
}

void ScanPhotos::Etat::previens() const
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || arret.load())
        return; // nobody is waiting for this scan any more
    // Runs on the window's thread, where the pointer can be looked at.
    QMetaObject::invokeMethod(
        application,
        [p = proprietaire] {
            if (p)
                p->avance();
        },
        Qt::QueuedConnection);
}

void ScanPhotos::Etat::deroule()
{
    platform::cedeLaPlace();
    // The cache first: it spares the search the folders that have not
    // changed since the last scan, and the reading the files.
    ancien = LireCacheScan(cheminCache(cheminBase));
    RechercheRecursive(racine, motifs(), trouves, true, &arret, lecteurs,
                       ancien.motifs == texteMotifs() ? &ancien.dossiers : nullptr, &listes);
    if (arret.load())
        return;
    const int n = trouves.count();
    lignes.resize(static_cast<std::size_t>(n));
    etats.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        if (trouves.etats[i].taille >= 0)
            etats[static_cast<std::size_t>(i)] = trouves.etats[i];
    faites = std::make_unique<std::atomic<bool>[]>(static_cast<std::size_t>(n));
    bilan.trouves = n;
    etape.store(Analyse, std::memory_order_release);
    previens();

    lecteursFinis = std::make_unique<std::latch>(lecteurs);
    for (int k = 1; k < lecteurs; ++k)
        pool().start([this] { lis(); });
    lis();
    lecteursFinis->wait();
    if (arret.load())
        return;
    if (baseAJour()) {
        // The same files as last time, unchanged, beside the base written
        // then: the base would be written again byte for byte.
        bilan.enBase = ancien.enBase;
        bilan.paires = ancien.paires;
        bilan.ecrit = true;
        etape.store(Sauvegarde, std::memory_order_release);
        if (listes.size() != ancien.dossiers.size())
            ecritCache(); // folders too recent to remember last time are now old enough
        return;
    }
    const std::vector<TypePhoto> base = photosDeLaBase();
    etape.store(Sauvegarde, std::memory_order_release);
    previens();
    sauvegarde(base);
}

bool ScanPhotos::Etat::baseAJour() const
{
    qint64 taille = 0, modification = 0;
    return commeAvant.load() && lignes.size() == ancien.fichiers.size() && ancien.separateur == locale.decimalPoint()
        && platform::etatFichier(cheminBase, taille, modification) && taille == ancien.baseTaille && modification == ancien.baseModification;
}

std::vector<TypePhoto> ScanPhotos::Etat::photosDeLaBase()
{
    // A raw file and a JPEG of the same name in the same folder are one
    // photo: the base keeps the JPEG, which the strip can show. The search
    // lists a folder's files by name, so the files of one photo (its name
    // and a dot, then any extension) follow each other.
    std::vector<bool> doublon(lignes.size());
    for (std::size_t debut = 0, fin = 0; debut < lignes.size(); debut = fin) {
        const QStringView photo = sansExtension(lignes[debut].fichier);
        bool jpeg = false;
        for (fin = debut; fin < lignes.size() && sansExtension(lignes[fin].fichier).compare(photo, Qt::CaseInsensitive) == 0; ++fin)
            jpeg = jpeg || (estJpeg(lignes[fin].fichier) && dansLaBase(lignes[fin]));
        for (std::size_t i = debut; jpeg && i < fin; ++i)
            doublon[i] = estBrut(lignes[i].fichier);
    }
    std::vector<TypePhoto> base;
    base.reserve(lignes.size());
    for (std::size_t i = 0; i < lignes.size(); ++i) {
        const LigneScan &l = lignes[i];
        if (!dansLaBase(l))
            continue;
        if (doublon[i]) {
            ++bilan.paires;
            continue;
        }
        const ResultatLecture &r = l.resultat;
        base.push_back({l.fichier, r.ValEV, r.ValSpeed, r.ValDiaf, r.ValIso});
    }
    bilan.enBase = static_cast<int>(base.size());
    return base;
}

void ScanPhotos::Etat::sauvegarde(const std::vector<TypePhoto> &base)
{
    // The user's data folder is made with the first base written there; a
    // failure shows when the base is written.
    QDir().mkpath(QFileInfo(cheminBase).absolutePath());
    FichierEcriture fichier(cheminBase);
    bool ok = fichier.ouvre() && fichier.ecrit(texteBasePhotos(base, locale));
    {
        const std::lock_guard<std::mutex> garde(verrou);
        if (arret.load())
            return; // the new file is dropped
        ok = ok && fichier.valide();
        baseRemplacee = ok;
    }
    if (ok && apresEcriture)
        apresEcriture();
    bilan.ecrit = ok;
    if (!ok) {
        bilan.erreur = raisonEchecEcriture(fichier.erreur());
        return;
    }

    ecritCache();
}

void ScanPhotos::Etat::ecritCache()
{
    // Without the cache, the next scan reads every file again.
    ContenuCache cache;
    cache.fichiers.reserve(lignes.size());
    for (std::size_t i = 0; i < lignes.size(); ++i)
        if (etats[i])
            cache.fichiers.push_back({lignes[i].fichier, {*etats[i], lignes[i].resultat}});
    cache.dossiers = std::move(listes);
    cache.motifs = texteMotifs();
    if (!platform::etatFichier(cheminBase, cache.baseTaille, cache.baseModification))
        cache.baseTaille = -1;
    cache.enBase = bilan.enBase;
    cache.paires = bilan.paires;
    cache.separateur = locale.decimalPoint();
    FichierEcriture fichierCache(cheminCache(cheminBase));
    if (fichierCache.ouvre() && fichierCache.ecrit(texteCacheScan(cache))) {
        const std::lock_guard<std::mutex> garde(verrou);
        if (!arret.load())
            fichierCache.valide(false);
    }
}

ScanPhotos::ScanPhotos(QObject *parent)
    : QObject(parent)
    , m_minuterie(new QTimer(this))
{
    m_minuterie->setInterval(kIntervalleMs);
    connect(m_minuterie, &QTimer::timeout, this, &ScanPhotos::avance);
}

ScanPhotos::~ScanPhotos()
{
    blockSignals(true); // whoever listens may be going too
    arrete();
}

const QStringList &ScanPhotos::motifs()
{
    static const QStringList m = [] {
        QStringList l;
        for (const formats::TypePhoto &t : formats::kTypesPhoto)
            l << QStringLiteral("*.") + QLatin1String(t.extension);
        return l;
    }();
    return m;
}

bool ScanPhotos::estBrut(QStringView nom)
{
    const QStringView e = extension(nom);
    for (const QString &brut : extensionsBrutes())
        if (e.compare(brut, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool ScanPhotos::enCours() const
{
    return m_etat != nullptr;
}

void ScanPhotos::lance(const QString &racine, const QString &cheminBase, const QLocale &locale)
{
    arrete();
    auto etat = std::make_shared<Etat>();
    etat->racine = racine;
    etat->cheminBase = cheminBase;
    etat->locale = locale;
    etat->lecteurs = m_lecteurs > 0 ? m_lecteurs
        : disqueReseau(racine)     ? kLecteursReseau
                                   : std::clamp(QThread::idealThreadCount(), 1, 2);
    etat->avantLecture = m_avantLecture;
    etat->apresEcriture = m_apresEcriture;
    etat->proprietaire = this;
    m_etat = etat;
    m_etapeMontree = Recherche;
    m_lignesMontrees = 0;
    emit etapeCommencee(Recherche, 0);
    pool().start([etat] {
        etat->deroule();
        etat->fini.store(true, std::memory_order_release);
        etat->previens();
    });
    m_minuterie->start();
}

bool ScanPhotos::attendFinDesScans(int ms)
{
    return pool().waitForDone(ms);
}

void ScanPhotos::arrete()
{
    if (!m_etat)
        return;
    BilanScan bilan;
    bilan.arrete = true;
    {
        const std::lock_guard<std::mutex> garde(m_etat->verrou);
        m_etat->arret.store(true);
        // Too late for the base: the scan had already replaced it.
        bilan.ecrit = m_etat->baseRemplacee;
        if (bilan.ecrit)
            bilan.enBase = m_etat->bilan.enBase;
    }
    // The threads end on their own, soon; what they still hold is theirs.
    m_etat.reset();
    m_minuterie->stop();
    emit termine(bilan);
}

void ScanPhotos::avance()
{
    if (!m_etat)
        return;
    std::shared_ptr<Etat> etat = m_etat; // a slot may stop the scan
    const bool fini = etat->fini.load(std::memory_order_acquire);
    const int etape = etat->etape.load(std::memory_order_acquire);
    if (etape >= Analyse && m_etapeMontree < Analyse) {
        m_etapeMontree = Analyse;
        emit fichiersTrouves(etat->trouves.dossiers, etat->trouves.noms);
        emit etapeCommencee(Analyse, static_cast<int>(etat->lignes.size()));
    }
    if (m_etapeMontree >= Analyse) {
        const auto n = static_cast<int>(etat->lignes.size());
        const int debut = m_lignesMontrees;
        while (m_lignesMontrees < n && etat->faites[static_cast<std::size_t>(m_lignesMontrees)].load(std::memory_order_acquire))
            ++m_lignesMontrees;
        if (m_lignesMontrees > debut) {
            QList<LigneScan> lignes(etat->lignes.begin() + debut, etat->lignes.begin() + m_lignesMontrees);
            emit lignesLues(lignes, m_lignesMontrees);
        }
    }
    if (m_etat != etat)
        return;
    if (etape >= Sauvegarde && m_etapeMontree < Sauvegarde) {
        m_etapeMontree = Sauvegarde;
        emit etapeCommencee(Sauvegarde, etat->bilan.enBase);
    }
    if (fini && m_etat == etat) {
        m_etat.reset();
        m_minuterie->stop();
        const BilanScan bilan = etat->bilan;
        // The rows and the cache of a large scan take a while to free.
        pool().start([e = std::move(etat)] {});
        emit termine(bilan);
    }
}

} // namespace kavel
