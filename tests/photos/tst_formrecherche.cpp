// The photo-base window scanning real folders, and the main window loading
// the base it writes and drawing its distribution.
#include "ExifBuilder.h"
#include "app/Form1.h"
#include "photos/FormRecherchePhoto.h"
#include "photos/Miniatures.h"
#include "platform/SurfaceWidget.h"
#include "support/DisqueTemporaire.h"
#include "support/DossierLectureSeule.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <optional>

using namespace kavel;

namespace {

void ecris(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray photo(quint32 num, quint32 den, quint32 diaf10, quint16 iso, bool avecIso = true, const QByteArray &image = {})
{
    ExifBuilder b(num % 2 == 0);
    b.ifd0 = {b.ascii(0x010F, QByteArray("Kavel\0", 6))};
    b.exif = {b.rational(0x829A, num, den), b.rational(0x829D, diaf10, 10)};
    if (avecIso)
        b.exif.append(b.shortInline(0x8827, iso));
    return image.isEmpty() ? b.jpeg() : b.withImage(image);
}

QStringList colonne(QTreeWidget *list, int column)
{
    QStringList texts;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        texts << list->topLevelItem(i)->text(column);
    return texts;
}

} // namespace

class TestFormRecherche : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void scanTenFiles();
    void frenchTexts_data();
    void frenchTexts();
    void sortingByLux();
    void unwritableFolder_data();
    void unwritableFolder();
    void nameNotInUtf8();
    void folderTreeShowsTheChoice();
    void loadingAtStartUp();
    void emptyScanEmptiesTheTable();
    void windowIsModalAndReloads();
    void histogram();

private:
    void remplis();

    std::unique_ptr<DialogRecorder> m_dialogs;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_photos;
    QString m_programme;
};

void TestFormRecherche::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestFormRecherche::init()
{
    m_dialogs = std::make_unique<DialogRecorder>();
    m_dir = std::make_unique<QTemporaryDir>();
    m_photos = m_dir->filePath(QStringLiteral("Vacances, été"));
    m_programme = m_dir->filePath(QStringLiteral("programme"));
    QDir().mkpath(m_programme);
}

void TestFormRecherche::cleanup()
{
    m_dir.reset();
    m_dialogs.reset();
}

// Ten files, four with a complete exposure.
void TestFormRecherche::remplis()
{
    ecris(m_photos + QStringLiteral("/a.jpg"), photo(1, 125, 80, 200));        // EV 11,97
    ecris(m_photos + QStringLiteral("/b.JPG"), photo(1, 250, 56, 400));        // EV 10,94
    ecris(m_photos + QStringLiteral("/soir/c.jpg"), photo(1, 30, 28, 800));    // EV 5,88
    ecris(m_photos + QStringLiteral("/soir/d.jpg"), photo(10, 2500, 56, 100)); // EV 12,94
    ecris(m_photos + QStringLiteral("/sans_iso.jpg"), photo(1, 60, 40, 0, false));
    ecris(m_photos + QStringLiteral("/zero.jpg"), photo(1, 0, 40, 100));
    ecris(m_photos + QStringLiteral("/texte.jpg"), "ceci n'est pas une photo");
    ecris(m_photos + QStringLiteral("/xmp.jpg"), QByteArray("\xFF\xD8") + ExifBuilder::segment(0xE1, 20, 'x'));
    ecris(m_photos + QStringLiteral("/coupee.jpg"), photo(1, 125, 80, 200).left(60));
    QVERIFY(QFile::link(m_photos + QStringLiteral("/absente.jpg"), m_photos + QStringLiteral("/lien_mort.jpg")));
    ecris(m_photos + QStringLiteral("/notes.txt"), "pas une photo");
}

void TestFormRecherche::scanTenFiles()
{
    remplis();
    FormRecherchePhoto f(m_programme);
    QCOMPARE(f.windowTitle(), QString::fromUtf8("Création de la base de photos"));
    f.choisisDossier(m_photos);
    QCOMPARE(f.dossierRacine(), m_photos + QLatin1Char('/'));
    QSignalSpy enregistree(&f, &FormRecherchePhoto::baseEnregistree);
    f.BtnRecherche_Click();
    QCOMPARE(enregistree.count(), 1);

    QCOMPARE(f.Label2->text(), QString::fromUtf8("2 - Analyse des 10 photos trouvées"));
    QCOMPARE(f.Label3->text(), "3 - Sauvegarde de la base de photo (4 photos avec informations exif completes)");
    QCOMPARE(f.ListView1->topLevelItemCount(), 10);
    QCOMPARE(f.ListView1->columnCount(), 9);
    QCOMPARE(f.ListView1->topLevelItem(0)->text(0), m_photos + QStringLiteral("/a.jpg"));
    QCOMPARE(f.ListView1->topLevelItem(8)->text(0), m_photos + QStringLiteral("/soir/c.jpg")); // sub-folders last
    QCOMPARE(f.Label4->palette().color(QPalette::WindowText), QColor(255, 255, 255));
    QCOMPARE(f.Label3->palette().color(QPalette::WindowText), QColor(96, 96, 96));
    QVERIFY(f.ProgressBar1->isHidden() && f.ProgressBar2->isHidden());
    QCOMPARE(f.LblStatut->text(), "!!! ERREUR: DEPASSEMENT FIN FICHIER !!!"); // the cut photo

    // Unreadable and incomplete photos have their row, with dashes.
    const int mort = colonne(f.ListView1, 0).indexOf(m_photos + QStringLiteral("/lien_mort.jpg"));
    QCOMPARE(f.ListView1->topLevelItem(mort)->text(1), "-");
    QCOMPARE(f.ListView1->topLevelItem(mort)->text(2), "???");
    QCOMPARE(f.ListView1->topLevelItem(mort)->text(5), "-100");

    QFile base(m_programme + QStringLiteral("/BasePhotos.txt"));
    QVERIFY(base.open(QIODevice::ReadOnly));
    const QByteArray bytes = base.readAll();
    QCOMPARE(bytes.count("\r\n"), 9);
    QVERIFY(bytes.startsWith("4\r\n" + (m_photos + QStringLiteral("/a.jpg\r\n")).toUtf8()));
}

void TestFormRecherche::frenchTexts_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("cells"); // from "Lux" on, as far as given
    QTest::addColumn<int>("records");
    QTest::newRow("1/125 s, F/8, ISO 200") << photo(1, 125, 80, 200)
                                           << QStringList{"010000,0 lux", "1/125s", "F/8", "200 iso", "11,9657842846621",
                                                          "0,008", "8", "200"}
                                           << 1;
    ExifBuilder absurde(true); // EV 134,6: more lux than a float holds
    absurde.exif = {absurde.rational(0x829A, 1, 0xFFFFFFFF), absurde.rational(0x829D, 0xFFFFFFFF, 1),
                    absurde.rational(0x8827, 1, 0xFFFFFFFF)};
    QTest::newRow("infinite lux") << absurde.jpeg() << QStringList{"-", "1/4294967295s", "F/4294967295"} << 0;
}

void TestFormRecherche::frenchTexts()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, cells);
    QFETCH(int, records);
    ecris(m_photos + QStringLiteral("/exemple.jpg"), bytes);
    FormRecherchePhoto f(m_programme);
    f.choisisDossier(m_photos);
    f.BtnRecherche_Click();
    QCOMPARE(f.ListView1->topLevelItemCount(), 1);
    for (int c = 1; c <= cells.size(); ++c)
        QCOMPARE(f.ListView1->topLevelItem(0)->text(c), cells[c - 1]);
    QVERIFY(f.Label3->text().contains(QStringLiteral("(%1 photos").arg(records)));
    QCOMPARE(int(LireBasePhotos(f.cheminBase()).photos.size()), records);
}

void TestFormRecherche::sortingByLux()
{
    remplis();
    FormRecherchePhoto f(m_programme);
    f.choisisDossier(m_photos);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.BtnRecherche_Click();
    QHeaderView *entete = f.ListView1->header();
    const QPoint titreLux(entete->sectionViewportPosition(1) + entete->sectionSize(1) / 2, entete->height() / 2);
    QTest::mouseClick(entete->viewport(), Qt::LeftButton, {}, titreLux);
    QStringList lux = colonne(f.ListView1, 1);
    QStringList sorted = lux;
    std::sort(sorted.begin(), sorted.end());
    QCOMPARE(lux, sorted);
    QCOMPARE(lux.first(), "-");
    QCOMPARE(lux.last(), "019000,0 lux");
    // Clicking again sorts ascending again.
    QTest::mouseClick(entete->viewport(), Qt::LeftButton, {}, titreLux);
    QCOMPARE(colonne(f.ListView1, 1), sorted);
}

void TestFormRecherche::unwritableFolder_data()
{
    QTest::addColumn<QString>("panne");
    QTest::addColumn<QString>("raison");
    QTest::newRow("folder refusing new files") << "droits" << "Accès refusé : vous n'avez pas le droit d'écrire à cet endroit.";
    QTest::newRow("disk full") << "plein" << "Le disque est plein.";
    QTest::newRow("read-only disk") << "lecture seule" << "Le disque est en lecture seule.";
}

// The old base stays, the user is told why in French, and the last step
// does not announce a success.
void TestFormRecherche::unwritableFolder()
{
    QFETCH(QString, panne);
    QFETCH(QString, raison);
    remplis();
    const QByteArray ancienne = "1\r\n/ancienne.jpg\r\n\"1\"\"1\"\"1\"\"1\"\r\n";
    const QString chemin = m_programme + QStringLiteral("/BasePhotos.txt");
    {
        std::optional<DossierLectureSeule> droits;
        std::optional<DisqueTemporaire> disque;
        if (panne == "droits") {
            ecris(chemin, ancienne);
            droits.emplace(m_programme);
            if (!droits->ok())
                QSKIP("this machine cannot make a folder refuse new files");
        } else {
            disque.emplace(m_programme);
            if (!disque->ok())
                QSKIP("this machine cannot mount a small disk here");
            ecris(chemin, ancienne);
            if (panne == "plein")
                disque->remplis();
            else
                QVERIFY(disque->lectureSeule());
        }
        FormRecherchePhoto f(m_programme);
        QSignalSpy enregistree(&f, &FormRecherchePhoto::baseEnregistree);
        f.choisisDossier(m_photos);
        f.BtnRecherche_Click();
        QCOMPARE(enregistree.count(), 0);
        QCOMPARE(f.Label4->palette().color(QPalette::WindowText), QColor(96, 96, 96));
        QVERIFY2(f.LblStatut->text().endsWith(raison), qPrintable(f.LblStatut->text()));
        QFile base(chemin);
        QVERIFY(base.open(QIODevice::ReadOnly));
        QCOMPARE(base.readAll(), ancienne);
    }
    QCOMPARE(m_dialogs->boxes.size(), 1);
    QCOMPARE(m_dialogs->boxes[0].title, "Erreur");
    QCOMPARE(m_dialogs->boxes[0].icon, platform::BoxIcon::Critical);
    QCOMPARE(m_dialogs->boxes[0].text,
             QString::fromUtf8("La base de photos n'a pas pu être enregistrée :\n") + chemin + QLatin1Char('\n') + raison);
}

// A name written in another code page than UTF-8 keeps its bytes from the
// folder to the base, and the strip opens the photo again.
void TestFormRecherche::nameNotInUtf8()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QBuffer jpeg;
    QVERIFY(jpeg.open(QIODevice::WriteOnly) && image.save(&jpeg, "JPG"));
    QDir().mkpath(m_photos);
    const QByteArray brut = QFile::encodeName(m_photos) + "/IMG_\xE9t\xE9.jpg";
    const auto efface = qScopeGuard([&brut] { std::remove(brut.constData()); }); // QTemporaryDir cannot
    QFile fichier;
    FILE *f = std::fopen(brut.constData(), "wb");
    QVERIFY(f && fichier.open(f, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle));
    fichier.write(photo(1, 125, 80, 200, true, jpeg.data()));
    fichier.close();

    FormRecherchePhoto scan(m_programme);
    scan.choisisDossier(m_photos);
    scan.BtnRecherche_Click();
    const QString chemin = m_photos + QStringLiteral("/IMG_") + QChar(0xDCE9) + QLatin1Char('t') + QChar(0xDCE9)
        + QStringLiteral(".jpg");
    QCOMPARE(colonne(scan.ListView1, 0), QStringList{chemin});
    QCOMPARE(scan.ListView1->topLevelItem(0)->text(2), "1/125s");
    QFile base(scan.cheminBase());
    QVERIFY(base.open(QIODevice::ReadOnly));
    QVERIFY(base.readAll().contains(brut + "\r\n"));
    const LectureBase lue = LireBasePhotos(scan.cheminBase());
    QCOMPARE(lue.photos.size(), size_t(1));
    QCOMPARE(lue.photos[0].Fichier, chemin);
    QCOMPARE(tailleNaturelle(chemin), QSize(40, 30));
    QVERIFY(!chargeVignette(chemin, QSize(20, 15)).isNull());
}

// The folders around the chosen one are listed after it is highlighted;
// the tree still shows it once they are.
void TestFormRecherche::folderTreeShowsTheChoice()
{
    const QString parent = m_dir->filePath(QStringLiteral("arbre"));
    for (int i = 0; i < 300; ++i)
        QDir().mkpath(parent + QStringLiteral("/d%1").arg(i, 3, 10, QLatin1Char('0')));
    const QString choisi = parent + QStringLiteral("/d250");
    FormRecherchePhoto f(m_programme);
    f.show();
    QVERIFY(QTest::qWaitForWindowExposed(&f));
    f.choisisDossier(choisi);
    const auto *modele = qobject_cast<const QFileSystemModel *>(f.Repertoire->model());
    QTRY_COMPARE(modele->index(choisi).row(), 250); // listed and sorted
    QTRY_VERIFY(f.Repertoire->viewport()->rect().intersects(f.Repertoire->visualRect(modele->index(choisi))));
    QCOMPARE(f.Repertoire->currentIndex(), modele->index(choisi));
}

void TestFormRecherche::loadingAtStartUp()
{
    Form1 vide(m_programme);
    QCOMPARE(vide.NbPhotos, 0);
    QCOMPARE(vide.LblNbBasePhoto->text(), "0 photos dans la base");

    ecris(m_programme + QStringLiteral("/BasePhotos.txt"),
          "5\r\n/p/a.jpg\r\n\"12\"\"0,004\"\"8\"\"100\"\r\n/p/b.jpg\r\n\"12.5\"\"0.01\"\"4\"\"200\"\r\n"
          "/p/Vacances, été/c.jpg\r\n\"10\"\"1\"\"2\"\"3\"\r\n");
    Form1 f(m_programme);
    QCOMPARE(f.NbPhotos, 3); // the count said 5
    QCOMPARE(f.TabPhotos.size(), size_t(3));
    QCOMPARE(f.TabPhotos[2].Fichier, QString::fromUtf8("/p/Vacances, été/c.jpg"));
    QCOMPARE(f.TabPhotos[0].ValSpeed, 0.004);
    QCOMPARE(f.LblNbBasePhoto->text(), "3 photos dans la base");
}

void TestFormRecherche::emptyScanEmptiesTheTable()
{
    remplis();
    FormRecherchePhoto scan(m_programme);
    scan.choisisDossier(m_photos);
    scan.BtnRecherche_Click();
    Form1 f(m_programme);
    QCOMPARE(f.NbPhotos, 4);

    QDir().mkpath(m_dir->filePath(QStringLiteral("vide")));
    scan.choisisDossier(m_dir->filePath(QStringLiteral("vide")));
    scan.BtnRecherche_Click();
    QCOMPARE(scan.Label2->text(), QString::fromUtf8("2 - Analyse des 0 photos trouvées"));
    f.LoadBasePhotos();
    QCOMPARE(f.NbPhotos, 0);
    QVERIFY(f.TabPhotos.empty());
    QCOMPARE(f.LblNbBasePhoto->text(), "0 photos dans la base");
}

void TestFormRecherche::windowIsModalAndReloads()
{
    Form1 f(m_programme);
    f.TxtValeur->setText(QStringLiteral("12"));
    QCOMPARE(f.BtnBasePhoto->text(), QString::fromUtf8("Création base photos"));
    ecris(m_programme + QStringLiteral("/BasePhotos.txt"), "1\r\n/p/a.jpg\r\n\"12\"\"0,004\"\"8\"\"100\"\r\n");
    bool modal = false;
    QTimer::singleShot(0, [&modal] {
        QWidget *w = QApplication::activeModalWidget();
        modal = w && w->windowTitle() == QString::fromUtf8("Création de la base de photos");
        if (w)
            w->close();
    });
    QTest::mouseClick(f.BtnBasePhoto, Qt::LeftButton);
    QVERIFY(modal);
    QCOMPARE(f.NbPhotos, 1); // reloaded when the window closed
    QCOMPARE(f.LblNbBasePhoto->text(), "1 photos dans la base");

    // A scan shows its photos of the current level at once, behind the window.
    remplis();
    QString compte;
    QTimer::singleShot(0, [&] {
        auto *scan = qobject_cast<FormRecherchePhoto *>(QApplication::activeModalWidget());
        if (!scan)
            return;
        scan->choisisDossier(m_photos);
        QTest::mouseClick(scan->BtnRecherche, Qt::LeftButton);
        compte = f.LblNbPhotoOK->text();
        scan->close();
    });
    QTest::mouseClick(f.BtnBasePhoto, Qt::LeftButton);
    QCOMPARE(f.NbPhotos, 4);
    QCOMPARE(compte, QString::fromUtf8("1 photos à 10 000 lux")); // a.jpg, at EV 11,97
}

// Three photos at EV 12,0, 12,0 and 15,3: two bars, red marks elsewhere.
void TestFormRecherche::histogram()
{
    Form1 f(m_programme);
    f.TabPhotos = {{QStringLiteral("/a"), 12.0, 0, 0, 0}, {QStringLiteral("/b"), 12.0, 0, 0, 0},
                   {QStringLiteral("/c"), 15.3, 0, 0, 0}, {QStringLiteral("/d"), 20, 0, 0, 0},
                   {QStringLiteral("/e"), -7, 0, 0, 0}};
    f.NbPhotos = 5;
    const int couples = f.NbCouple;
    QTest::mouseClick(f.BtnRépartition, Qt::LeftButton);
    const DrawingSurface &s = f.Graphic->surface();
    const int h = s.height();
    const QRgb blanc = 0xFFFFFFFF, rouge = 0xFFFF0000;
    const auto at = [&s](int x, int y) { return s.pixel(x, y).value_or(0); };
    // Bin 180 (EV 12): columns 540-542, from the row above the bottom up to half the height.
    for (int x = 540; x <= 542; ++x) {
        QCOMPARE(at(x, h - 2), blanc);
        QCOMPARE(at(x, qRound(h - 1 - h / 2.0)), blanc);
        QVERIFY(at(x, qRound(h - 1 - h / 2.0) - 2) != blanc);
        QVERIFY(at(x, h - 1) != rouge);
    }
    // Bin 213 (EV 15,3): a quarter of the height.
    QCOMPARE(at(639, qRound(h - 1 - h / 4.0)), blanc);
    QVERIFY(at(639, qRound(h - 1 - h / 4.0) - 2) != blanc);
    // Empty bins: a red mark on the bottom row only.
    for (int x : {0, 2, 537, 543, 720, 722}) {
        QCOMPARE(at(x, h - 1), rouge);
        QVERIFY(at(x, h - 2) != rouge);
    }
    QCOMPARE(at(723, h - 1), DrawingSurface::kBackground); // 241 bins of 3 pixels
    QCOMPARE(f.NbCouple, couples); // the chart's markers stay for the explanations

    // No photo in any bin: red marks only.
    f.TabPhotos = {{QStringLiteral("/d"), 20, 0, 0, 0}};
    QTest::mouseClick(f.BtnRépartition, Qt::LeftButton);
    QCOMPARE(at(540, h - 1), rouge);
    QCOMPARE(at(540, h - 2), DrawingSurface::kBackground);
}

QTEST_MAIN(TestFormRecherche)
#include "tst_formrecherche.moc"
