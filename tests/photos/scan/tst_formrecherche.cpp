// The photo-base window scanning real folders: steps, list, the base written or why not.
#include "ExifBuilder.h"
#include "photos/exif/ExifReader.h"
#include "photos/scan/FormRecherchePhoto.h"
#include "photos/scan/RechercheFichier.h"
#include "photos/vignettes/PhotoOuverte.h"
#include "platform/FichierLecture.h"
#include "platform/NomFichier.h"
#include "support/Refus.h"
#include "support/TestSupport.h"

#include <QtTest>
#include <QtWidgets>
#include <cstdio>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>

using namespace kavel;
namespace {
const QByteArray kAncienne = "1\r\n/ancienne.jpg\r\n\"1\"\"1\"\"1\"\"1\"\r\n";
const QString kSauvegarde = "3 - Sauvegarde de la base de photo (%1 photos avec informations "
                            "exif completes)";
void ecris(const QString &path, const QByteArray &bytes) { // any bytes in the name
    QDir().mkpath(QFileInfo(path).path());
    FILE *f = std::fopen(platform::octetsDeNom(path).constData(), "wb");
    if (!f || std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f) != size_t(bytes.size())
        || std::fclose(f) != 0)
        qFatal("cannot write %s", qPrintable(path));
}
QByteArray contenu(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
// Exposure time num/den s, f-number diaf10/10, ISO (none when 0).
QByteArray photo(quint32 num = 1, quint32 den = 125, quint32 diaf10 = 80, quint16 iso = 200) {
    ExifBuilder b(num % 2 == 0);
    b.exif = {b.rational(0x829A, num, den), b.rational(0x829D, diaf10, 10)};
    if (iso) b.exif.append(b.shortInline(0x8827, iso));
    return b.jpeg();
}
bool vieillit(const QString &path) { // untouched for an hour
    const timespec t[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), t, 0) == 0;
}
QStringList cellules(const FormRecherchePhoto &f, int row, int column = -1) { // or a column's
    const QAbstractItemModel *m = f.ListView1->model();
    QStringList texts;
    for (int i = 0; column < 0 ? i < m->columnCount() : i < m->rowCount(); ++i)
        texts << m->index(column < 0 ? row : i, column < 0 ? i : column).data().toString();
    return texts;
}
void scanne(FormRecherchePhoto &f, const QString &dossier = {}) { // to its end
    if (!dossier.isEmpty()) f.choisisDossier(dossier);
    QSignalSpy fin(&f, &FormRecherchePhoto::scanTermine);
    f.BtnRecherche_Click();
    QVERIFY(fin.wait(20000));
}
QStringList base(const QString &chemin) { // "path ISO" of each photo
    QStringList l;
    for (const TypePhoto &p : LireBasePhotos(chemin).photos)
        l << p.Fichier + ' ' + QString::number(p.ValIso);
    return l;
}
// While it lives, this thread has no power over permissions, even as root.
class SansPasseDroit {
    __user_cap_header_struct h{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct avant[2]{}, apres[2]{};
public:
    SansPasseDroit() {
        syscall(SYS_capget, &h, avant), apres[0] = avant[0], apres[1] = avant[1];
        apres[0].effective &= ~(1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH);
        syscall(SYS_capset, &h, apres);
    }
    ~SansPasseDroit() { syscall(SYS_capset, &h, avant); }
};
// Steps: "+2" as step 2 lights up, "-2" as it dims, "3/11 caption" as the third bar moves.
class Etapes : public QObject {
public:
    QStringList vu;
    QString lu;
    explicit Etapes(FormRecherchePhoto &f) {
        for (QLabel *l : {f.Label1, f.Label2, f.Label3, f.Label4}) l->installEventFilter(this);
        connect(f.ProgressBar1, &QProgressBar::valueChanged, this, [this, &f](int v) {
            lu = f.Label2bis->text() + QString(" %1/%2").arg(v).arg(f.ProgressBar1->maximum());
        });
        connect(f.ProgressBar2, &QProgressBar::valueChanged, this, [this, &f](int v) {
            vu << QString("%1/%2 ").arg(v).arg(f.ProgressBar2->maximum()) + f.Label3->text();
        });
    }
    bool eventFilter(QObject *o, QEvent *e) override {
        const QColor c = static_cast<QLabel *>(o)->palette().color(QPalette::WindowText);
        if (e->type() == QEvent::PaletteChange)
            vu << (c == Qt::white ? "+" : c == QColor(96, 96, 96) ? "-" : c.name())
                      + o->objectName().back();
        return false;
    }
};
} // namespace

class TestFormRecherche : public QObject {
    Q_OBJECT
    DialogRecorder m_dialogs;
    std::optional<QTemporaryDir> m_dir;
    QString m_photos, m_programme, m_base;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }
    void init();
    // a stopped scan's threads end on their own, not while its folder is removed
    void cleanup() { QVERIFY(ScanPhotos::attendFinDesScans(20000)); }
    void design(); void scan(); void cameraFiles(); void stop_data(); void stop();
    void sortWhileReading();
    void lockedFolder(); void longPath(); void stopAfterWriting(); void rescan();
    void userDataFolder(); void unwritable_data(); void unwritable(); void startFolder_data();
    void startFolder(); void captions();
};

void TestFormRecherche::init() {
    m_dialogs.boxes.clear();
    m_photos = m_dir.emplace().filePath("Vacances, été");
    qputenv("XDG_DATA_HOME", m_dir->filePath("donnees").toUtf8()); // never the user's own
    qputenv("XDG_CONFIG_HOME", m_dir->filePath("config").toUtf8());
    QDir().mkpath(m_programme = m_dir->filePath("programme"));
    m_base = m_programme + "/BasePhotos.txt";
}
void TestFormRecherche::design() { // the root always, no file system of the system's own
    FormRecherchePhoto f(m_programme);
    QCOMPARE(f.Drive1->itemText(f.Drive1->findData("/")), "/");
    QCOMPARE(f.Drive1->findData("/proc"), -1);
}
// Files in hidden folders too, not through links to folders.
void TestFormRecherche::scan() {
    const QString d = m_photos + '/', latin1 = QString("IMG_%1t%1.jpg").arg(QChar(0xDCE9));
    ExifBuilder x(true); // EV 134,6: more lux than a float holds
    x.exif = {x.rational(0x829A, 1, ~0u), x.rational(0x829D, ~0u, 1), x.rational(0x8827, 1, ~0u)};
    const std::pair<QString, QByteArray> fichiers[] = {{"a.jpg", photo()},
        {"absurde.jpg", x.jpeg()}, {"coupee.jpg", photo().left(60)},
        {"deux\nlignes.jpg", photo(1, 60, 40, 100)}, {latin1, photo()}, {"lien_mort.jpg", {}},
        {"sans_iso.jpg", photo(1, 60, 40, 0)}, {".cache/e.JPG", photo(1, 250, 56, 400)},
        {"soir/d.jpg", photo(10, 2500, 56, 100)}};
    QStringList tous;
    for (const auto &[nom, octets] : fichiers) ecris(tous.emplaceBack(d + nom), octets);
    const auto efface =
        qScopeGuard([&] { std::remove(platform::octetsDeNom(tous[4]).constData()); });
    QVERIFY(QFile::remove(tous[5]));
    QVERIFY(QFile::link(d + "absente.jpg", tous[5])); // a dead link
    QVERIFY(QFile::link(d + "soir", d + "dossier.jpg"));
    QVERIFY(QFile::link(d, d + "soir/retour"));
    ecris(d + "notes.txt", "pas une photo");
    FormRecherchePhoto f(m_programme);
    Etapes etapes(f);
    QSignalSpy enregistree(&f, &FormRecherchePhoto::baseEnregistree);
    scanne(f, m_photos);
    QCOMPARE(etapes.vu.join('|'), "+1|-1|+2|-2|+3|9/9 " + kSauvegarde.arg(4) + "|-3|+4");
    QCOMPARE(etapes.lu, "9 9/9");
    QCOMPARE(f.Label2->text(), "2 - Analyse des 9 photos trouvées");
    QCOMPARE(f.LblStatut->text(), ExifReader::kDepassement + " : " + tous[2]); // the cut one
    QCOMPARE(cellules(f, 0, 9).join('|'),
             "||Fichier coupé ou abîmé : lecture au-delà de sa fin|"
             "Saut de ligne dans le nom : photo laissée hors de la base|||||");
    QCOMPARE(f.ListView1->model()->index(2, 0).data(Qt::ForegroundRole),
             QVariant(QColor(255, 160, 160)));
    QVERIFY(f.ProgressBar1->isHidden());
    QVERIFY(f.ProgressBar2->isHidden());
    QVERIFY(f.Label2bis->isHidden());
    QCOMPARE(enregistree.count(), 1);
    QCOMPARE(cellules(f, 0, 0), tous);
    QCOMPARE(cellules(f, 0).mid(1).join('|'),
             "010000,0 lux|1/125s|F/8|200 iso|11,9657842846621|0,008|8|200|");
    QCOMPARE(cellules(f, 1).mid(2, 2), (QStringList{"1/4294967295s", "F/4294967295"}));
    QCOMPARE(cellules(f, 5).mid(1).join('|'), "-|???|-|-|-100|-1|-1|-1|"); // cannot be read
    QCOMPARE(cellules(f, 6).mid(1), cellules(f, 5).mid(1)); // no ISO
    emit f.ListView1->horizontalHeader()->sectionClicked(1); // "Lux": rows sorted on its texts
    QCOMPARE(cellules(f, 0, 1).join(' '), "- - - - 002400,0 lux 004900,0 lux 010000,0 lux "
                                          "010000,0 lux 019000,0 lux");
    QCOMPARE(cellules(f, 5).first(), tous[7]);
    emit f.ListView1->horizontalHeader()->sectionClicked(0);
    QStringList parNom = tous;
    parNom.sort();
    QCOMPARE(cellules(f, 0, 0), parNom);
    // the base: names by their own bytes, read back to the same names
    QVERIFY(contenu(m_base).startsWith(
        "4\r\n" + (d + "a.jpg\r\n\"11,9657842846621\"\"0,008\"\"8\"\"200\"\r\n").toUtf8()));
    QCOMPARE(base(f.cheminBase()), (QStringList{tous[0] + " 200", tous[4] + " 200",
                                                tous[7] + " 400", tous[8] + " 100"}));
    etapes.vu.clear(); // an empty folder: empty list and base, no status left over
    scanne(f, m_programme);
    QCOMPARE(etapes.vu.join('|'), "-4|+1|-1|+2|-2|+3|-3|+4");
    QCOMPARE(f.ListView1->model()->rowCount(), 0);
    QCOMPARE(f.LblStatut->text(), "");
    QCOMPARE(enregistree.count(), 2);
    QCOMPARE(contenu(f.cheminBase()), "0\r\n");
}
// Raw and HEIF files whatever their extension's case.
void TestFormRecherche::cameraFiles() {
    const QString raw = KAVEL_SHARED_DIR "/exif-raw/", d = m_photos + '/';
    ecris(d + "IMG_0001.JPG", photo());
    QVERIFY(QDir().mkpath(d + "b"));
    for (const auto &[source, copie] :
         {std::pair{"CanonRaw.cr2", "IMG_0001.cr2"}, {"Nikon.nef", "DSC_0002.NEF"},
          {"CanonRaw.cr3", "b/IMG_0003.Cr3"}, {"QuickTime.heic", "b/t.HEIC"},
          {"DNG.dng", "b/IMG_0001.dng"}})
        QVERIFY(QFile::copy(raw + source, d + copie));
    FormRecherchePhoto f(m_programme);
    scanne(f, m_photos);
    QCOMPARE(cellules(f, 0, 0).join(' ').remove(d),
             "DSC_0002.NEF IMG_0001.cr2 IMG_0001.JPG b/IMG_0001.dng b/IMG_0003.Cr3 b/t.HEIC");
    QCOMPARE(base(f.cheminBase()).join(' ').remove(d),
             "DSC_0002.NEF 200 IMG_0001.JPG 200 b/IMG_0001.dng 400 b/IMG_0003.Cr3 12800");
    QCOMPARE(f.Label3->text() + ' ' + f.LblPaires->text(),
             kSauvegarde.arg(4) + " 1 paire RAW + JPEG comptée une seule fois");
}
void TestFormRecherche::stop_data() {
    QTest::addColumn<bool>("fermeture");
    QTest::newRow("Arrêter") << false, QTest::newRow("window closed") << true;
}
// Stopped halfway, a scan keeps its rows, reads no more, leaves the old base whole and alone.
void TestFormRecherche::stop() {
    QFETCH(bool, fermeture);
    for (int i = 10; i < 30; ++i) ecris(m_photos + QString("/p%1.jpg").arg(i), photo());
    ecris(m_base, kAncienne);
    FormRecherchePhoto f(m_programme);
    f.show();
    QSemaphore atteint, reprise;
    std::atomic<int> vus{0};
    f.scan()->setLecteurs(2);
    f.scan()->setAvantLecture([&](const QString &) {
        if (++vus >= 10) atteint.release(), reprise.tryAcquire(1, 10000);
    });
    f.choisisDossier(m_photos);
    QSignalSpy fin(&f, &FormRecherchePhoto::scanTermine);
    f.BtnRecherche_Click();
    QVERIFY(atteint.tryAcquire(2, 10000)); // both readers held
    QTRY_COMPARE(cellules(f, 0, 0).size(), 20); // every file found has its row,
    QTRY_VERIFY(cellules(f, 0, 1).count("") <= 12); // 8 and more with their reading
    QCOMPARE(f.Command1->text(), "Arrêter");
    fermeture ? (void)f.close() : QTest::mouseClick(f.Command1, Qt::LeftButton);
    reprise.release(2);
    QCOMPARE(fin.count(), 1);
    QCOMPARE(f.Command1->text() + ' ' + f.LblStatut->text(),
             "Fermer Recherche arrêtée : la base de photos n'a pas été modifiée.");
    QCOMPARE(f.isVisible(), !fermeture);
    QVERIFY(ScanPhotos::attendFinDesScans(20000));
    QCOMPARE(vus.load(), 11);
    QCOMPARE(cellules(f, 0, 0).size(), 20);
    QCOMPARE(contenu(m_base), kAncienne);
    QCOMPARE(QDir(m_programme).entryList(QDir::Files | QDir::Hidden).join(' '), "BasePhotos.txt");
}
// Sorted while files are read: each reading goes to its file's row.
void TestFormRecherche::sortWhileReading() {
    for (int i = 10; i < 30; ++i) ecris(m_photos + QString("/p%1.jpg").arg(i), photo());
    FormRecherchePhoto f(m_programme);
    QSemaphore atteint, reprise;
    std::atomic<int> vus{0};
    f.scan()->setLecteurs(1);
    f.scan()->setAvantLecture([&](const QString &) {
        if (++vus == 10) atteint.release(), reprise.tryAcquire(1, 10000);
    });
    f.choisisDossier(m_photos);
    QSignalSpy fin(&f, &FormRecherchePhoto::scanTermine);
    f.BtnRecherche_Click();
    QVERIFY(atteint.tryAcquire(1, 10000));
    QTRY_COMPARE(cellules(f, 0, 1).count(""), 11);
    emit f.ListView1->horizontalHeader()->sectionClicked(1); // rows not read first
    reprise.release();
    QVERIFY(fin.wait(20000));
    QCOMPARE(cellules(f, 0, 1).count(""), 0);
}
// A folder that refused to be listed is listed by the next search, not remembered empty.
void TestFormRecherche::lockedFolder() {
    const QString d = m_photos + "/verrou";
    ecris(d + "/a.jpg", photo());
    QVERIFY(vieillit(d));
    const auto ouvre = [&] { ::chmod(QFile::encodeName(d), 0755); };
    const auto remets = qScopeGuard(ouvre);
    QCOMPARE(::chmod(QFile::encodeName(d), 0), 0);
    ListesDossiers premieres, secondes;
    ResultatRecherche avant, apres;
    const QStringList &motifs = ScanPhotos::motifs();
    {
        SansPasseDroit sans; // the search runs on this thread
        if (!QDir(d).entryList(QDir::Files).isEmpty())
            QSKIP("this machine cannot make a folder refuse to be listed");
        RechercheRecursive(m_photos + '/', motifs, avant, false, nullptr, 1, nullptr, &premieres);
    }
    ouvre();
    RechercheRecursive(m_photos + '/', motifs, apres, false, nullptr, 1, &premieres, &secondes);
    QCOMPARE(avant.count(), 0);
    QCOMPARE(apres.noms, QStringList{"a.jpg"});
}
// A photo deeper than the longest path the system takes is listed, read, put in the base.
void TestFormRecherche::longPath() {
    const QByteArray nom(200, 'n');
    const int niveaux = PATH_MAX / nom.size() + 1;
    const auto renomme = [&](const char *de, const char *vers) { // each level, from the top
        int fd = ::open(QFile::encodeName(m_photos).constData(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < niveaux; ++i) {
            const bool fait = ::renameat(fd, de, fd, vers) == 0;
            const int dessous = fait ? ::openat(fd, vers, O_RDONLY | O_DIRECTORY) : -1;
            ::close(fd), fd = dessous;
        }
        ::close(fd);
    };
    QString court = m_photos, chemin = m_photos;
    for (int i = 0; i < niveaux; ++i) court += "/x", chemin += '/' + nom;
    ecris(court + "/a.jpg", photo());
    renomme("x", nom.constData());
    const auto remets = qScopeGuard([&] { renomme(nom.constData(), "x"); }); // to be removable
    FormRecherchePhoto f(m_programme);
    scanne(f, m_photos);
    QCOMPARE(cellules(f, 0, 0), QStringList{chemin + "/a.jpg"});
    QCOMPARE(base(f.cheminBase()), QStringList{chemin + "/a.jpg 200"});
}
// "Arrêter" once the base is replaced: the window says so, and has the main window reload it.
void TestFormRecherche::stopAfterWriting() {
    ecris(m_photos + "/a.jpg", photo());
    FormRecherchePhoto f(m_programme);
    QSemaphore ecrite, reprise;
    f.scan()->setApresEcriture([&] { ecrite.release(), reprise.tryAcquire(1, 10000); });
    QSignalSpy enregistree(&f, &FormRecherchePhoto::baseEnregistree);
    f.choisisDossier(m_photos);
    f.BtnRecherche_Click();
    QVERIFY(ecrite.tryAcquire(1, 20000));
    QTest::mouseClick(f.Command1, Qt::LeftButton);
    reprise.release();
    QCOMPARE(f.LblStatut->text(),
             "Recherche arrêtée : la base de photos était déjà enregistrée (1 photos).");
    QCOMPARE(enregistree.count(), 1);
    QCOMPARE(base(f.cheminBase()).size(), 1);
}
// A rescan opens only files changed or new; removed ones leave the base; a damaged cache is none.
void TestFormRecherche::rescan() {
    const QString d = m_photos + '/';
    for (int i = 0; i < 5; ++i) ecris(d + QString("p%1.jpg").arg(i), photo(1, 125, 80, 100 + i));
    ecris(d + "texte.jpg", "pas une photo");
    QVERIFY(vieillit(m_photos));
    FormRecherchePhoto f(m_programme);
    f.choisisDossier(m_photos);
    quint64 vues = FichierLecture::ouvertures(), regards = FichierLecture::regards();
    const auto ouvertures = [&vues] {
        const quint64 a = vues;
        return (vues = FichierLecture::ouvertures()) - a;
    };
    const auto isos = [&] { return base(f.cheminBase()).join(' ').remove(d).remove(".jpg"); };
    scanne(f);
    QCOMPARE(ouvertures(), 6u);
    QCOMPARE(FichierLecture::regards() - regards, 0u); // the search's look was enough
    const QStringList ligne = cellules(f, 1);
    const QByteArray ecrite = contenu(f.cheminBase());
    scanne(f);
    QCOMPARE(ouvertures(), 0u);
    QCOMPARE(cellules(f, 1), ligne);
    QCOMPARE(contenu(f.cheminBase()), ecrite);
    ecris(f.cheminBase(), "0\r\n"); // a base changed meanwhile is written again
    scanne(f);
    QCOMPARE(ouvertures(), 0u);
    QCOMPARE(contenu(f.cheminBase()), ecrite);
    ecris(d + "p1.jpg", photo(1, 125, 80, 900)); // same size, later
    ecris(d + "p2.jpg", photo(1, 125, 80, 0));   // smaller
    QVERIFY(QFile::remove(d + "p3.jpg"));
    ecris(d + "p5.jpg", photo(1, 125, 80, 105));
    scanne(f);
    QCOMPARE(ouvertures(), 3u);
    QCOMPARE(isos(), "p0 100 p1 900 p4 104 p5 105");
    struct stat avant {}; // new EXIF, size and time put back: the change time tells
    QCOMPARE(::stat(QFile::encodeName(d + "p4.jpg"), &avant), 0);
    ecris(d + "p4.jpg", photo(1, 125, 80, 700));
    const timespec temps[2] = {avant.st_atim, avant.st_mtim};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(d + "p4.jpg"), temps, 0), 0);
    scanne(f);
    QCOMPARE(ouvertures(), 1u);
    QCOMPARE(isos(), "p0 100 p1 900 p4 700 p5 105");
    ecris(cheminCache(f.cheminBase()), contenu(cheminCache(f.cheminBase())).chopped(3));
    scanne(f);
    QCOMPARE(ouvertures(), 6u);
    QCOMPARE(isos(), "p0 100 p1 900 p4 700 p5 105");
    timespec t[2]; // a second ago: the folder may change again within its clock's tick
    clock_gettime(CLOCK_REALTIME, t), t[0].tv_sec -= 1, t[1] = t[0];
    for (const char *nom : {"p6.jpg", "p7.jpg"}) {
        ecris(d + nom, photo());
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(m_photos), t, 0), 0);
        scanne(f);
    }
    QCOMPARE(isos(), "p0 100 p1 900 p4 700 p5 105 p6 200 p7 200");
}
// A program folder refusing the base: it goes to the user's data folder, read from then on.
void TestFormRecherche::userDataFolder() {
    ecris(m_photos + "/a.jpg", photo());
    ecris(m_base, kAncienne);
    DossierLectureSeule droits(m_programme);
    if (!droits.ok()) QSKIP("this machine cannot make a folder refuse new files");
    const QString perso =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/BasePhotos.txt";
    QVERIFY(perso.startsWith(m_dir->filePath("donnees/")));
    QCOMPARE(cheminBaseLue(m_programme), m_base);
    FormRecherchePhoto f(m_programme);
    QCOMPARE(f.LblBase->toolTip(), "Base de photos : " + perso);
    scanne(f, m_photos);
    QCOMPARE(m_dialogs.boxes.size(), 0);
    QCOMPARE(base(perso).size(), 1);
    QCOMPARE(cheminBaseLue(m_programme), perso);
    QCOMPARE(contenu(m_base), kAncienne);
}
void TestFormRecherche::unwritable_data() {
    QTest::addColumn<QString>("panne"), QTest::addColumn<QString>("raison");
    QTest::newRow("folder refusing new files")
        << "droits" << "Accès refusé : vous n'avez pas le droit d'écrire à cet endroit.";
    QTest::newRow("disk full") << "plein" << "Le disque est plein.";
    QTest::newRow("read-only disk") << "lecture seule" << "Le disque est en lecture seule.";
}
// A base that cannot be written: the old one stays, the user is told why, the last step grey.
void TestFormRecherche::unwritable() {
    QFETCH(QString, panne);
    QFETCH(QString, raison);
    ecris(m_photos + "/a.jpg", photo());
    QString ecrite;
    {
        std::optional<DossierLectureSeule> droits, droitsPerso;
        std::optional<DisqueTemporaire> disque;
        if (panne != "droits" && !disque.emplace(m_programme).ok())
            QSKIP("this machine cannot mount a small disk here");
        ecris(m_base, kAncienne);
        qputenv("XDG_DATA_HOME", (m_programme + "/donnees").toUtf8()); // refusing it too
        const QString perso = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY(QDir().mkpath(perso));
        if (panne == "droits"
            && (!droits.emplace(m_programme).ok() || !droitsPerso.emplace(perso).ok()))
            QSKIP("this machine cannot make a folder refuse new files");
        if (panne != "droits")
            QVERIFY(panne == "plein" ? disque->remplis() : disque->lectureSeule());
        FormRecherchePhoto f(m_programme);
        Etapes etapes(f);
        scanne(f, m_photos);
        QCOMPARE(etapes.vu.join('|'), "+1|-1|+2|-2|+3|1/1 " + kSauvegarde.arg(1) + "|-3");
        QCOMPARE(f.LblStatut->text(),
                 "La base de photos n'a pas pu être enregistrée : " + raison);
        QCOMPARE(contenu(m_base), kAncienne);
        QVERIFY(!QFile::exists(cheminCache(f.cheminBase())));
        ecrite = f.cheminBase();
        QCOMPARE(ecrite, panne == "plein" ? m_base : perso + "/BasePhotos.txt");
    }
    QCOMPARE(m_dialogs.boxes.size(), 1);
    QCOMPARE(m_dialogs.boxes[0].icon, platform::BoxIcon::Critical);
    QCOMPARE(m_dialogs.boxes[0].title, "Erreur");
    QCOMPARE(m_dialogs.boxes[0].text,
             "La base de photos n'a pas pu être enregistrée :\n" + ecrite + '\n' + raison);
}
void TestFormRecherche::startFolder_data() {
    QTest::addColumn<QString>("images");
    QTest::newRow("pictures") << "/Pictures", QTest::newRow("home") << "";
}
// The tree opens at the user's pictures, else at home; then at the folder of the last scan.
void TestFormRecherche::startFolder() {
    QFETCH(QString, images);
    const QByteArray home = qgetenv("HOME");
    const auto remets = qScopeGuard([&] { qputenv("HOME", home); });
    const QString maison = m_dir->filePath("maison");
    qputenv("HOME", maison.toUtf8());
    QVERIFY(QDir().mkpath(maison + images));
    QVERIFY(QDir().mkpath(m_photos));
    FormRecherchePhoto f(m_programme);
    QCOMPARE(f.dossierRacine(), maison + images + '/');
    scanne(f, m_photos);
    QCOMPARE(FormRecherchePhoto(m_programme).dossierRacine(), m_photos + '/');
}
// Step captions wrap within the window; a new scan starts from bare ones.
void TestFormRecherche::captions() {
    FormRecherchePhoto f(m_programme);
    emit f.scan()->etapeCommencee(ScanPhotos::Analyse, 19669);
    emit f.scan()->etapeCommencee(ScanPhotos::Sauvegarde, 19669);
    f.choisisDossier(m_programme);
    QSignalSpy fin(&f, &FormRecherchePhoto::scanTermine);
    QTest::mouseClick(f.BtnRecherche, Qt::LeftButton);
    QCOMPARE(f.Label2->text(), "2 - Analyse des photos trouvées");
    QCOMPARE(f.Label3->text(), "3 - Sauvegarde de la base de photo");
    QVERIFY(fin.wait(20000));
}

QTEST_MAIN(TestFormRecherche)
#include "tst_formrecherche.moc"
