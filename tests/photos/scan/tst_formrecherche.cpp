// The photo-base window scanning real folders: its steps, its list, the base it writes or why it
// cannot.
#include "ExifBuilder.h"
#include "photos/exif/ExifReader.h"
#include "photos/scan/FormRecherchePhoto.h"
#include "photos/vignettes/Miniatures.h"
#include "photos/scan/RechercheFichier.h"
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
#include <unistd.h>
#include <optional>

using namespace kavel;
namespace {
void ecris(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    FILE *f = std::fopen(platform::octetsDeNom(path).constData(), "wb"); // any bytes in the name
    if (!f || std::fwrite(bytes.constData(), 1, size_t(bytes.size()), f) != size_t(bytes.size())
        || std::fclose(f) != 0)
        qFatal("cannot write %s", qPrintable(path));
}
QByteArray contenu(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
// Exposure time num/den s, f-number diaf10/10, ISO (none when 0).
QByteArray photo(quint32 num, quint32 den, quint32 diaf10, quint16 iso) {
    ExifBuilder b(num % 2 == 0);
    b.exif = {b.rational(0x829A, num, den), b.rational(0x829D, diaf10, 10)};
    if (iso)
        b.exif.append(b.shortInline(0x8827, iso));
    return b.jpeg();
}
// A row's cells, or with a column given, that column's cells.
QStringList cellules(const QTreeView *list, int row, int column = -1) {
    const QAbstractItemModel *m = list->model();
    QStringList texts;
    for (int i = 0; column < 0 ? i < m->columnCount() : i < m->rowCount(); ++i)
        texts << m->index(column < 0 ? row : i, column < 0 ? i : column).data().toString();
    return texts;
}
// Starts a scan and waits for its end.
void scanne(FormRecherchePhoto &f) {
    QSignalSpy fin(&f, &FormRecherchePhoto::scanTermine);
    f.BtnRecherche_Click();
    QVERIFY(fin.wait(20000));
}
// For as long as it lives, this thread has no power over permissions, even as root: a folder
// without permissions refuses to be listed to it as it does to anyone.
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
// What the window shows as the scan goes: "+2" when step 2 lights up, "-2" when it dims; in lus,
// "3 3/11" when the counter shows 3 and the bar 3 of 11; the third step's caption when its bar
// fills, once the base is written.
class Etapes : public QObject {
public:
    QStringList vu, lus;
    explicit Etapes(FormRecherchePhoto &f) {
        for (QLabel *l : {f.Label1, f.Label2, f.Label3, f.Label4})
            l->installEventFilter(this);
        connect(f.ProgressBar1, &QProgressBar::valueChanged, this,
                [this, &f](int v) {
                    lus << QStringLiteral("%1 %2/%3")
                               .arg(f.Label2bis->text())
                               .arg(v)
                               .arg(f.ProgressBar1->maximum());
                });
        connect(f.ProgressBar2, &QProgressBar::valueChanged, this,
                [this, &f](int v) {
                    vu << QStringLiteral("%1/%2 ").arg(v).arg(f.ProgressBar2->maximum())
                              + f.Label3->text();
                });
    }
    bool eventFilter(QObject *o, QEvent *e) override {
        if (const QColor c = static_cast<QLabel *>(o)->palette().color(QPalette::WindowText);
            e->type() == QEvent::PaletteChange)
            vu << (c == QColor(255, 255, 255) ? QStringLiteral("+")
                   : c == QColor(96, 96, 96)  ? QStringLiteral("-")
                                              : c.name())
                      + o->objectName().back();
        return false;
    }
};
} // namespace

class TestFormRecherche : public QObject {
    Q_OBJECT
    DialogRecorder m_dialogs;
    std::optional<QTemporaryDir> m_dir;
    QString m_photos, m_programme;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::French, QLocale::France)); }
    void init() {
        m_dialogs.boxes.clear();
        m_photos = m_dir.emplace().filePath(QStringLiteral("Vacances, été"));
        // never the user's own
        qputenv("XDG_DATA_HOME", m_dir->filePath(QStringLiteral("donnees")).toUtf8());
        qputenv("XDG_CONFIG_HOME", m_dir->filePath(QStringLiteral("config")).toUtf8());
        QDir().mkpath(m_programme = m_dir->filePath(QStringLiteral("programme")));
    }
    // A stopped scan's threads end on their own: not while its folder is removed.
    void cleanup() { QVERIFY(ScanPhotos::attendFinDesScans(20000)); }
    void design() {
        FormRecherchePhoto f(m_programme);
        QCOMPARE(f.windowTitle()
                     + QStringLiteral(" %1 %2x%3").arg(f.isModal()).arg(f.width()).arg(f.height()),
                 "Création de la base de photos 1 800x600");
        // The root always, no file system of the system's own.
        QCOMPARE(f.Drive1->itemText(f.Drive1->findData(QStringLiteral("/"))), "/");
        QCOMPARE(f.Drive1->findData(QStringLiteral("/proc"))
                     + f.Drive1->findData(QStringLiteral("/dev/shm")),
                 -2);
    }
    // Fourteen files found, hidden folders included, links to folders not; six with a complete
    // exposure, five in the base: the sixth's name has a line feed, which no line of it can hold.
    void scan() {
        const QString d = m_photos + QLatin1Char('/'),
                      latin1 =
                          QStringLiteral("IMG_") + QChar(0xDCE9) + 't' + QChar(0xDCE9) + ".jpg";
        ExifBuilder absurde(true); // EV 134,6: more lux than a float holds
        absurde.exif = {absurde.rational(0x829A, 1, 0xFFFFFFFF),
                        absurde.rational(0x829D, 0xFFFFFFFF, 1),
                        absurde.rational(0x8827, 1, 0xFFFFFFFF)};
        const QStringList noms{"a.jpg", "absurde.jpg", "b.JPG", "coupee.jpg", "deux\nlignes.jpg",
                               latin1, "lien_mort.jpg", "sans_iso.jpg", "texte.jpg", "xmp.jpg",
                               "zero.jpg", ".cache/e.jpg", "soir/c.jpg", "soir/d.jpg"};
        const QList<QByteArray> octets{photo(1, 125, 80, 200),
                                       absurde.jpeg(),
                                       photo(1, 250, 56, 400),
                                       photo(1, 125, 80, 200).left(60),
                                       photo(1, 60, 40, 100),
                                       photo(1, 125, 80, 200),
                                       {},
                                       photo(1, 60, 40, 0),
                                       "pas une photo",
                                       "\xFF\xD8" + ExifBuilder::segment(0xE1, 20, 'x'),
                                       photo(1, 0, 40, 100),
                                       {},
                                       photo(1, 30, 28, 800),
                                       photo(10, 2500, 56, 100)};
        QStringList tous;
        for (int i = 0; i < noms.size(); ++i)
            ecris(tous.emplaceBack(d + noms[i]), octets[i]);
        const auto efface = qScopeGuard([&] { // QTemporaryDir cannot
            std::remove(platform::octetsDeNom(d + latin1).constData());
        });
        QVERIFY(QFile::remove(d + "lien_mort.jpg"));
        QVERIFY(QFile::link(d + "absente.jpg", d + "lien_mort.jpg")); // a dead link
        QVERIFY(QFile::link(d + "soir", d + "dossier.jpg"));
        QVERIFY(QFile::link(d, d + "soir/retour"));
        ecris(d + "notes.txt", "pas une photo");
        FormRecherchePhoto f(m_programme);
        Etapes etapes(f);
        QSignalSpy enregistree(&f, &FormRecherchePhoto::baseEnregistree);
        f.choisisDossier(m_photos);
        scanne(f);
        QCOMPARE(etapes.vu,
                 (QStringList{"+1", "-1", "+2", "-2", "+3",
                              "14/14 3 - Sauvegarde de la base de photo "
                              "(5 photos avec informations exif completes)",
                              "-3", "+4"}));
        QCOMPARE(etapes.lus.last(), "14 14/14");
        QCOMPARE(f.Label2->text(), "2 - Analyse des 14 photos trouvées");
        // The cut photo, named and marked.
        QCOMPARE(f.LblStatut->text(), ExifReader::kDepassement + " : " + tous[3]);
        QCOMPARE(cellules(f.ListView1, 0, 9).join('|'),
                 "|||Fichier coupé ou abîmé : lecture au-delà de sa fin|"
                 "Saut de ligne dans le nom : photo laissée hors de la base|||||||||");
        const QVariant couleur = f.ListView1->model()->index(3, 0).data(Qt::ForegroundRole);
        QCOMPARE(couleur, QVariant(QColor(255, 160, 160)));
        QVERIFY(f.ProgressBar1->isHidden());
        QVERIFY(f.ProgressBar2->isHidden());
        QVERIFY(f.Label2bis->isHidden());
        QCOMPARE(enregistree.count(), 1);
        QCOMPARE(cellules(f.ListView1, 0, 0), tous);
        QCOMPARE(cellules(f.ListView1, 0, 1),
                 (QStringList{"010000,0 lux", "-", "004900,0 lux", "-", "002400,0 lux",
                              "010000,0 lux", "-", "-", "-", "-", "-", "-", "000073,0 lux",
                              "019000,0 lux"}));
        QCOMPARE(cellules(f.ListView1, 0).mid(2).join('|'),
                 "1/125s|F/8|200 iso|11,9657842846621|0,008|8|200|");
        QCOMPARE(cellules(f.ListView1, 1).mid(2, 2),
                 (QStringList{"1/4294967295s", "F/4294967295"}));
        QCOMPARE(cellules(f.ListView1, 6).mid(1), // cannot be read
                 (QStringList{"-", "???", "-", "-", "-100", "-1", "-1", "-1", ""}));
        QCOMPARE(cellules(f.ListView1, 7).mid(1), cellules(f.ListView1, 6).mid(1)); // no ISO
        // A click on "Lux" sorts the whole rows on that column's texts.
        QStringList paires, triees;
        for (int r = 0; r < 14; ++r)
            paires << cellules(f.ListView1, r).mid(1, 1).join(QString()) + '|'
                          + cellules(f.ListView1, r)[0];
        std::stable_sort(paires.begin(), paires.end(), [](const QString &a, const QString &b) {
            return a.section('|', 0, 0) < b.section('|', 0, 0);
        });
        emit f.ListView1->header()->sectionClicked(1);
        for (int r = 0; r < 14; ++r)
            triees << cellules(f.ListView1, r)[1] + '|' + cellules(f.ListView1, r)[0];
        QCOMPARE(triees, paires);
        // The base: names by their own bytes, read back to the same names.
        const QByteArray base = contenu(m_programme + "/BasePhotos.txt");
        QVERIFY(base.startsWith(
            "5\r\n" + (d + "a.jpg\r\n\"11,9657842846621\"\"0,008\"\"8\"\"200\"\r\n").toUtf8()));
        QStringList lus;
        for (const TypePhoto &p : LireBasePhotos(f.cheminBase()).photos)
            lus << p.Fichier + QStringLiteral(" %1").arg(p.ValIso);
        QCOMPARE(lus, (QStringList{tous[0] + " 200", tous[2] + " 400", tous[5] + " 200",
                                   tous[12] + " 800", tous[13] + " 100"}));
        // An empty folder: an empty list and base, and no status left over.
        etapes.vu.clear();
        f.choisisDossier(m_programme);
        scanne(f);
        QCOMPARE(etapes.vu, (QStringList{"-4", "+1", "-1", "+2", "-2", "+3", "-3", "+4"}));
        QCOMPARE(f.Label2->text() + f.Label3->text(),
                 "2 - Analyse des 0 photos trouvées3 - Sauvegarde de la base de photo "
                 "(0 photos avec informations exif completes)");
        QCOMPARE(f.ListView1->model()->rowCount(), 0);
        QVERIFY(f.LblStatut->text().isEmpty());
        QCOMPARE(enregistree.count(), 2);
        QCOMPARE(contenu(f.cheminBase()), "0\r\n");
    }
    // Camera raw and HEIF files are found whatever the case of their extension; a raw file beside
    // a JPEG of the same name is that photo, which the base records once, as the JPEG.
    void cameraFiles() {
        const QString raw = KAVEL_SHARED_DIR "/exif-raw/", d = m_photos + '/';
        QVERIFY(QDir().mkpath(d + "b"));
        ecris(d + "IMG_0001.JPG", photo(1, 125, 80, 200));
        for (const auto &[source, copie] : {std::pair{"CanonRaw.cr2", "IMG_0001.cr2"},
                                            {"Nikon.nef", "DSC_0002.NEF"},
                                            {"CanonRaw.cr3", "b/IMG_0003.Cr3"},
                                            {"QuickTime.heic", "b/t.HEIC"},
                                            {"DNG.dng", "b/IMG_0001.dng"}})
            QVERIFY(QFile::copy(raw + source, d + copie));
        FormRecherchePhoto f(m_programme);
        f.choisisDossier(m_photos);
        scanne(f);
        QCOMPARE(cellules(f.ListView1, 0, 0),
                 (QStringList{d + "DSC_0002.NEF", d + "IMG_0001.cr2", d + "IMG_0001.JPG",
                              d + "b/IMG_0001.dng", d + "b/IMG_0003.Cr3", d + "b/t.HEIC"}));
        QStringList lus;
        for (const TypePhoto &p : LireBasePhotos(f.cheminBase()).photos)
            lus << QFileInfo(p.Fichier).fileName() + QStringLiteral(" %1").arg(p.ValIso);
        QCOMPARE(lus, (QStringList{"DSC_0002.NEF 200", "IMG_0001.JPG 200", "IMG_0001.dng 400",
                                   "IMG_0003.Cr3 12800"}));
        QCOMPARE(f.Label3->text() + ' ' + f.LblPaires->text(),
                 "3 - Sauvegarde de la base de photo (4 photos avec informations exif completes) "
                 "1 paire RAW + JPEG comptée une seule fois");
    }
    void stop_data() {
        QTest::addColumn<bool>("fermeture");
        QTest::newRow("Arrêter") << false;
        QTest::newRow("window closed") << true;
    }
    // A scan stopped halfway, by its button or by closing its window, keeps the rows read so far,
    // looks at no other file, and leaves the old base whole, writing nothing beside it.
    void stop() {
        QFETCH(bool, fermeture);
        for (int i = 0; i < 20; ++i)
            ecris(m_photos + QStringLiteral("/p%1.jpg").arg(i, 2, 10, QLatin1Char('0')),
                  photo(1, 125, 80, 200));
        const QByteArray ancienne = "1\r\n/ancienne.jpg\r\n\"1\"\"1\"\"1\"\"1\"\r\n";
        ecris(m_programme + "/BasePhotos.txt", ancienne);
        FormRecherchePhoto f(m_programme);
        f.show();
        QSemaphore atteint, reprise;
        std::atomic<int> vus{0};
        f.scan()->setLecteurs(2);
        f.scan()->setAvantLecture([&](const QString &) {
            if (++vus >= 10)
                atteint.release(), reprise.tryAcquire(1, 10000);
        });
        f.choisisDossier(m_photos);
        QSignalSpy fin(&f, &FormRecherchePhoto::scanTermine);
        f.BtnRecherche_Click();
        QVERIFY(atteint.tryAcquire(2, 10000));
        QTRY_VERIFY(f.ListView1->model()->rowCount() >= 8);
        QCOMPARE(f.Command1->text(), "Arrêter");
        fermeture ? (void)f.close() : QTest::mouseClick(f.Command1, Qt::LeftButton);
        reprise.release(2);
        QCOMPARE(fin.count(), 1);
        QCOMPARE(f.Command1->text() + ' ' + f.LblStatut->text(),
                 "Fermer Recherche arrêtée : la base de photos n'a pas été modifiée.");
        QCOMPARE(f.isVisible(), !fermeture);
        QTest::qWait(300);
        QCOMPARE(vus.load(), 11);
        QCOMPARE(contenu(m_programme + "/BasePhotos.txt"), ancienne);
        QCOMPARE(QDir(m_programme).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"BasePhotos.txt"});
    }
    // A folder that refused to be listed is listed again by the next search, not remembered empty.
    void lockedFolder() {
        const QString d = m_photos + "/verrou";
        ecris(d + "/a.jpg", photo(1, 125, 80, 200));
        const timespec ilYaUneHeure[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(d).constData(), ilYaUneHeure, 0) == 0);
        const auto ouvre = [&] { ::chmod(QFile::encodeName(d).constData(), 0755); };
        const auto remets = qScopeGuard(ouvre);
        QVERIFY(::chmod(QFile::encodeName(d).constData(), 0) == 0);
        const QString racine = m_photos + '/';
        const QStringList &motifs = ScanPhotos::motifs();
        ListesDossiers premieres, secondes;
        ResultatRecherche avant, apres;
        {
            SansPasseDroit sans; // the search runs on this thread
            if (!QDir(d).entryList(QDir::Files).isEmpty())
                QSKIP("this machine cannot make a folder refuse to be listed");
            RechercheRecursive(racine, motifs, avant, false, nullptr, 1, nullptr, &premieres);
        }
        ouvre();
        RechercheRecursive(racine, motifs, apres, false, nullptr, 1, &premieres, &secondes);
        QCOMPARE(avant.count(), 0);
        QCOMPARE(apres.noms, QStringList{"a.jpg"});
    }
    // A photo deeper than the longest path the system takes is listed, read and put in the base.
    void longPath() {
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
        for (int i = 0; i < niveaux; ++i)
            court += "/x", chemin += '/' + nom;
        ecris(court + "/a.jpg", photo(1, 125, 80, 200));
        renomme("x", nom.constData());
        const auto remets = qScopeGuard([&] { renomme(nom.constData(), "x"); }); // to be removable
        FormRecherchePhoto f(m_programme);
        f.choisisDossier(m_photos);
        scanne(f);
        QCOMPARE(cellules(f.ListView1, 0, 0), QStringList{chemin + "/a.jpg"});
        QCOMPARE(cellules(f.ListView1, 0, 1), QStringList{"010000,0 lux"});
        QCOMPARE(LireBasePhotos(f.cheminBase()).photos.at(0).Fichier, chemin + "/a.jpg");
    }
    // "Arrêter" once the base is replaced: the window says so, and has the main window reload it.
    void stopAfterWriting() {
        ecris(m_photos + "/a.jpg", photo(1, 125, 80, 200));
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
        QCOMPARE(LireBasePhotos(f.cheminBase()).photos.size(), 1u);
    }
    // A rescan opens only the files that changed or came since; removed ones leave the base.
    // A damaged cache is no cache.
    void rescan() {
        const QString d = m_photos + '/';
        for (int i = 0; i < 5; ++i)
            ecris(d + QStringLiteral("p%1.jpg").arg(i), photo(1, 125, 80, quint16(100 + i)));
        ecris(d + "texte.jpg", "pas une photo");
        // a folder left alone since
        const timespec ilYaUneHeure[2] = {{time(nullptr) - 3600, 0}, {time(nullptr) - 3600, 0}};
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(m_photos).constData(), ilYaUneHeure, 0)
                == 0);
        FormRecherchePhoto f(m_programme);
        f.choisisDossier(m_photos);
        quint64 vues = FichierLecture::ouvertures();
        const auto ouvertures = [&vues] {
            const quint64 a = vues;
            return (vues = FichierLecture::ouvertures()) - a;
        };
        const auto isos = [&f] {
            QStringList l;
            for (const TypePhoto &p : LireBasePhotos(f.cheminBase()).photos)
                l << QString::number(p.ValIso);
            return l.join(' ');
        };
        const quint64 regards = FichierLecture::regards();
        scanne(f);
        QCOMPARE(ouvertures(), 6u);
        QCOMPARE(FichierLecture::regards() - regards, 0u); // the search's look was enough
        QStringList lignes;
        for (int r = 0; r < 6; ++r)
            lignes << cellules(f.ListView1, r).join('|');
        const QByteArray base = contenu(f.cheminBase());
        scanne(f);
        QCOMPARE(ouvertures(), 0u);
        for (int r = 0; r < 6; ++r)
            QCOMPARE(cellules(f.ListView1, r).join('|'), lignes[r]);
        QCOMPARE(contenu(f.cheminBase()), base);
        ecris(f.cheminBase(), "0\r\n"); // a base changed meanwhile is written again
        scanne(f);
        QCOMPARE(ouvertures(), 0u);
        QCOMPARE(contenu(f.cheminBase()), base);
        ecris(d + "p1.jpg", photo(1, 125, 80, 900));  // same size, later
        ecris(d + "p2.jpg", photo(1, 125, 80, 0));    // smaller
        QVERIFY(QFile::remove(d + "p3.jpg"));
        ecris(d + "p5.jpg", photo(1, 125, 80, 105));
        scanne(f);
        QCOMPARE(ouvertures(), 3u);
        QCOMPARE(isos(), "100 900 104 105");
        // New EXIF, size and time put back: the inode's change time tells.
        struct stat avant {};
        QVERIFY(::stat(QFile::encodeName(d + "p4.jpg"), &avant) == 0);
        ecris(d + "p4.jpg", photo(1, 125, 80, 700));
        const timespec temps[2] = {avant.st_atim, avant.st_mtim};
        QVERIFY(::utimensat(AT_FDCWD, QFile::encodeName(d + "p4.jpg").constData(), temps, 0) == 0);
        scanne(f);
        QCOMPARE(ouvertures(), 1u);
        QCOMPARE(isos(), "100 900 700 105");
        ecris(cheminCache(f.cheminBase()), contenu(cheminCache(f.cheminBase())).chopped(3));
        scanne(f);
        QCOMPARE(ouvertures(), 6u);
        QCOMPARE(isos(), "100 900 700 105");
    }
    // A program folder the user may not write to: the base goes to, and is then read from, the
    // user's data folder; the one in the program's folder is read until the user has one, and
    // stays as it was.
    void userDataFolder() {
        ecris(m_photos + "/a.jpg", photo(1, 125, 80, 200));
        const QByteArray partagee = "1\r\n/partagee.jpg\r\n\"1\"\"1\"\"1\"\"1\"\r\n";
        ecris(m_programme + "/BasePhotos.txt", partagee);
        DossierLectureSeule droits(m_programme);
        if (!droits.ok())
            QSKIP("this machine cannot make a folder refuse new files");
        const QString perso =
            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + "/BasePhotos.txt";
        QVERIFY(perso.startsWith(m_dir->filePath("donnees/")));
        QCOMPARE(cheminBaseLue(m_programme), m_programme + "/BasePhotos.txt");
        FormRecherchePhoto f(m_programme);
        QCOMPARE(f.cheminBase() + ' ' + f.LblBase->toolTip(), perso + " Base de photos : " + perso);
        f.choisisDossier(m_photos);
        scanne(f);
        QVERIFY(m_dialogs.boxes.isEmpty());
        QCOMPARE(LireBasePhotos(perso).photos.size(), 1u);
        QCOMPARE(cheminBaseLue(m_programme), perso);
        QCOMPARE(contenu(m_programme + "/BasePhotos.txt"), partagee);
    }
    void unwritable_data() {
        QTest::addColumn<QString>("panne"), QTest::addColumn<QString>("raison");
        QTest::newRow("folder refusing new files")
            << "droits" << "Accès refusé : vous n'avez pas le droit d'écrire à cet endroit.";
        QTest::newRow("disk full") << "plein" << "Le disque est plein.";
        QTest::newRow("read-only disk") << "lecture seule" << "Le disque est en lecture seule.";
    }
    // A base that cannot be written: the old one stays, the user is told why in French, the last
    // step stays grey.
    void unwritable() {
        QFETCH(QString, panne); QFETCH(QString, raison);
        ecris(m_photos + "/a.jpg", photo(1, 125, 80, 200));
        const QByteArray ancienne = "1\r\n/ancienne.jpg\r\n\"1\"\"1\"\"1\"\"1\"\r\n";
        const QString chemin = m_programme + "/BasePhotos.txt";
        QString base;
        {
            std::optional<DossierLectureSeule> droits, droitsPerso;
            std::optional<DisqueTemporaire> disque;
            if (panne != "droits" && !disque.emplace(m_programme).ok())
                QSKIP("this machine cannot mount a small disk here");
            ecris(chemin, ancienne);
            // the user's folder refuses it too
            qputenv("XDG_DATA_HOME", (m_programme + "/donnees").toUtf8());
            const QString perso = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
            QVERIFY(QDir().mkpath(perso));
            if (panne == "droits"
                && (!droits.emplace(m_programme).ok() || !droitsPerso.emplace(perso).ok()))
                QSKIP("this machine cannot make a folder refuse new files");
            QVERIFY(panne == "droits"
                    || (panne == "plein" ? disque->remplis() : disque->lectureSeule()));
            FormRecherchePhoto f(m_programme);
            Etapes etapes(f);
            f.choisisDossier(m_photos);
            scanne(f);
            QCOMPARE(etapes.vu, (QStringList{"+1", "-1", "+2", "-2", "+3",
                                             "1/1 3 - Sauvegarde de la base de photo "
                                             "(1 photos avec informations exif completes)",
                                             "-3"}));
            QCOMPARE(f.LblStatut->text(),
                     "La base de photos n'a pas pu être enregistrée : " + raison);
            QCOMPARE(contenu(chemin), ancienne);
            QVERIFY(!QFile::exists(cheminCache(f.cheminBase())));
            base = f.cheminBase();
            QCOMPARE(base, panne == "plein" ? chemin : perso + "/BasePhotos.txt");
        }
        QCOMPARE(m_dialogs.boxes.size(), qsizetype(1));
        QCOMPARE(m_dialogs.boxes[0].icon, platform::BoxIcon::Critical);
        QCOMPARE(m_dialogs.boxes[0].title + ": " + m_dialogs.boxes[0].text,
                 "Erreur: La base de photos n'a pas pu être enregistrée :\n" + base + '\n'
                     + raison);
    }
    void startFolder_data() {
        QTest::addColumn<bool>("images");
        QTest::newRow("pictures") << true, QTest::newRow("home") << false;
    }
    // The tree opens at the user's pictures, else at home; then at the folder of the last scan.
    void startFolder() {
        QFETCH(bool, images);
        const QByteArray home = qgetenv("HOME");
        const auto remets = qScopeGuard([&] { qputenv("HOME", home); });
        const QString maison = m_dir->filePath("maison");
        const QString dossier = images ? maison + "/Pictures" : maison;
        qputenv("HOME", maison.toUtf8());
        QVERIFY(QDir().mkpath(dossier));
        QVERIFY(QDir().mkpath(m_photos));
        FormRecherchePhoto f(m_programme);
        QCOMPARE(f.dossierRacine(), dossier + '/');
        f.choisisDossier(m_photos);
        scanne(f);
        QCOMPARE(FormRecherchePhoto(m_programme).dossierRacine(), m_photos + '/');
    }
    // Step captions wrap rather than run past the window's edge; a new scan starts from bare ones.
    void captions() {
        FormRecherchePhoto f(m_programme);
        emit f.scan()->etapeCommencee(ScanPhotos::Analyse, 19669);
        emit f.scan()->etapeCommencee(ScanPhotos::Sauvegarde, 19669);
        for (QLabel *l : {f.Label2, f.Label3}) {
            const QRect place = l->contentsRect();
            const int retour = l->wordWrap() ? Qt::TextWordWrap : 0;
            QVERIFY(place.contains(l->fontMetrics().boundingRect(place, retour, l->text())));
        }
        f.choisisDossier(m_programme);
        QSignalSpy fin(&f, &FormRecherchePhoto::scanTermine);
        QTest::mouseClick(f.BtnRecherche, Qt::LeftButton);
        QCOMPARE(f.Label2->text() + '|' + f.Label3->text(),
                 "2 - Analyse des photos trouvées|3 - Sauvegarde de la base de photo");
        QVERIFY(fin.wait(20000));
    }
    // The folder's drive is picked; the tree keeps the folder in view as the folders around it
    // arrive.
    void folderChoice() {
        const QString choisi = m_dir->filePath(QStringLiteral("arbre/d250"));
        for (int i = 0; i < 300; ++i)
            QDir().mkpath(
                m_dir->filePath(QStringLiteral("arbre/d%1").arg(i, 3, 10, QLatin1Char('0'))));
        FormRecherchePhoto f(m_programme);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const int disque = f.Drive1->findData(QStorageInfo(choisi).rootPath());
        f.Drive1->insertItem(disque + 1, QStringLiteral("autre"), QStringLiteral("/autre"));
        f.Drive1->setCurrentIndex(disque + 1);
        f.choisisDossier(choisi);
        QCOMPARE(f.Drive1->currentIndex(), disque);
        QCOMPARE(f.dossierRacine(), choisi + '/');
        const auto *modele = qobject_cast<const QFileSystemModel *>(f.Repertoire->model());
        QTRY_COMPARE(modele->index(choisi).row(), 250); // listed and sorted
        QTRY_VERIFY(f.Repertoire->viewport()->rect().intersects(
            f.Repertoire->visualRect(modele->index(choisi))));
        QCOMPARE(f.Repertoire->currentIndex(), modele->index(choisi));
        emit f.Drive1->activated(disque);
        QCOMPARE(f.dossierRacine(), QStorageInfo(choisi).rootPath());
    }
};

QTEST_MAIN(TestFormRecherche)
#include "tst_formrecherche.moc"
