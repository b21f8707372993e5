// The photo base file, the folder search, file names and the opening of
// photos, on real files in a temporary folder.
#include "photos/BasePhotos.h"
#include "photos/Miniatures.h"
#include "photos/RechercheFichier.h"
#include "platform/NomFichier.h"
#include "support/DossierLectureSeule.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

using namespace kavel;

namespace {

void ecris(const QString &path, const QByteArray &bytes = "x")
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray contenu(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestBasePhotos : public QObject {
    Q_OBJECT
private slots:
    void numberTexts_data();
    void numberTexts();
    void roundTrip();
    void fourRecords();
    void malformed_data();
    void malformed();
    void missingBase();
    void failedWriteKeepsTheOldBase();
    void searchOrder();
    void searchSkipsLinkedFolders();
    void namesKeepTheirBytes_data();
    void namesKeepTheirBytes();
    void stripNeverWaits_data();
    void stripNeverWaits();

private:
    QTemporaryDir m_dir;
};

void TestBasePhotos::numberTexts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("french");
    QTest::addColumn<QString>("english");
    QTest::newRow("EV") << 10.936637939002571 << "10,9366379390026" << "10.9366379390026";
    QTest::newRow("exposure") << 0.004 << "0,004" << "0.004";
    QTest::newRow("f-number") << 5.6 << "5,6" << "5.6";
    QTest::newRow("ISO, no grouping") << 12800.0 << "12800" << "12800";
    QTest::newRow("not computed") << -100.0 << "-100" << "-100";
    QTest::newRow("exponent") << 6.25e-5 << "6,25E-05" << "6.25E-05";
}

void TestBasePhotos::numberTexts()
{
    QFETCH(double, value);
    QFETCH(QString, french);
    QFETCH(QString, english);
    QCOMPARE(texteNombre(value, QLocale(QLocale::French)), french);
    QCOMPARE(texteNombre(value, QLocale(QLocale::English)), english);
    // Read back with either separator; 15 digits keep the value to 1e-14.
    QVERIFY(lireNombre(french).has_value() && lireNombre(english).has_value());
    QCOMPARE(*lireNombre(french), *lireNombre(english));
    QVERIFY(std::abs(*lireNombre(french) - value) <= std::abs(value) * 1e-14);
}

// A folder with a comma and accents, written under one locale, read whatever the locale.
void TestBasePhotos::roundTrip()
{
    const std::vector<TypePhoto> photos{
        {m_dir.filePath(QStringLiteral("Vacances, été/IMG 0001.JPG")), 10.936637939002571, 0.004, 5.6, 400},
        {m_dir.filePath(QStringLiteral("Vacances, été/sous dossier/ß.jpg")), -1.5, 30, 2.8, 25600},
    };
    const QString base = m_dir.filePath(QStringLiteral("BasePhotos.txt"));
    QString erreur;
    QVERIFY(EcritBasePhotos(base, photos, &erreur, QLocale(QLocale::French)));
    const QByteArray bytes = contenu(base);
    QVERIFY(bytes.startsWith("2\r\n"));
    QVERIFY(bytes.contains("\r\n\"10,9366379390026\"\"0,004\"\"5,6\"\"400\"\r\n"));
    QVERIFY(bytes.contains(QStringLiteral("Vacances, été/IMG 0001.JPG\r\n").toUtf8()));
    QCOMPARE(bytes.count("\r\n"), 5);

    const LectureBase lue = LireBasePhotos(base);
    QVERIFY(lue.existe);
    QCOMPARE(lue.compte, 2);
    QCOMPARE(lue.photos.size(), size_t(2));
    for (std::size_t i = 0; i < 2; ++i) {
        QCOMPARE(lue.photos[i].Fichier, photos[i].Fichier);
        QVERIFY(std::abs(lue.photos[i].ValEV - photos[i].ValEV) < 1e-13);
        QCOMPARE(lue.photos[i].ValSpeed, photos[i].ValSpeed);
        QCOMPARE(lue.photos[i].ValDiaf, photos[i].ValDiaf);
        QCOMPARE(lue.photos[i].ValIso, photos[i].ValIso);
    }
}

void TestBasePhotos::fourRecords()
{
    const QString base = m_dir.filePath(QStringLiteral("quatre.txt"));
    ecris(base, " 4 \r\n/p/a.jpg\r\n\"12\"\"0,004\"\"8\"\"100\"\r\n/p/b.jpg\r\n\"12.5\"\"0.01\"\"4\"\"200\"\r\n"
                "/p/c.jpg\r\n\"1E1\"\"1\"\"2\"\"3\"\r\n/p/d, e.jpg\r\n\"-2\"\"30\"\"2,8\"\"1600\"\r\n");
    const LectureBase lue = LireBasePhotos(base);
    QCOMPARE(lue.photos.size(), size_t(4));
    QCOMPARE(lue.photos[1].ValEV, 12.5);
    QCOMPARE(lue.photos[2].ValEV, 10.0);
    QCOMPARE(lue.photos[3].Fichier, "/p/d, e.jpg");
    QCOMPARE(lue.photos[3].ValDiaf, 2.8);
}

void TestBasePhotos::malformed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("kept");
    const QByteArray rec = "/p/a.jpg\r\n\"12\"\"0,004\"\"8\"\"100\"\r\n";
    QTest::newRow("count 5, three records") << "5\r\n" + rec + rec + rec << 3;
    QTest::newRow("count 2, three records") << "2\r\n" + rec + rec + rec << 2;
    QTest::newRow("count 0") << "0\r\n" + rec << 0;
    QTest::newRow("count not a number") << "beaucoup\r\n" + rec << 0;
    QTest::newRow("negative count") << "-3\r\n" + rec << 0;
    QTest::newRow("record cut short") << "3\r\n" + rec + "/p/b.jpg\r\n\"12\"\"0,0" << 1;
    QTest::newRow("path without numbers") << "3\r\n" + rec + "/p/b.jpg" << 1;
    QTest::newRow("field not a number") << "3\r\n" + rec + "/p/b.jpg\r\n\"12\"\"vite\"\"8\"\"100\"\r\n" + rec << 1;
    QTest::newRow("three fields") << "3\r\n" + rec + "/p/b.jpg\r\n\"12\"\"0,004\"\"8\"\r\n" << 1;
    QTest::newRow("line feeds only") << QByteArray("1\n/p/a.jpg\n\"12\"\"0,004\"\"8\"\"100\"\n") << 1;
    QTest::newRow("CR CR LF") << QByteArray("1\r\r\n/p/a.jpg\r\r\n\"12\"\"0,004\"\"8\"\"100\"\r\r\n") << 1;
    QTest::newRow("empty file") << QByteArray() << 0;
    QTest::newRow("binary") << QByteArray("\xFF\xD8\xFF\xE0\0\x10JFIF\0\x01\x01", 13) + QByteArray(100000, '\x7f') << 0;
    QTest::newRow("huge line") << "2\r\n" + QByteArray(200000, 'a') + "\r\n\"1\"\"1\"\"1\"\"1\"\r\n" << 0;
}

void TestBasePhotos::malformed()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, kept);
    const QString base = m_dir.filePath(QStringLiteral("malforme.txt"));
    ecris(base, bytes);
    const LectureBase lue = LireBasePhotos(base);
    QVERIFY(lue.existe);
    QCOMPARE(int(lue.photos.size()), kept);
    for (const TypePhoto &p : lue.photos)
        QCOMPARE(p.Fichier, "/p/a.jpg");
}

void TestBasePhotos::missingBase()
{
    const LectureBase lue = LireBasePhotos(m_dir.filePath(QStringLiteral("absente.txt")));
    QVERIFY(!lue.existe);
    QVERIFY(lue.photos.empty());
    QVERIFY(!cheminEnregistrable(QStringLiteral("/p/deux\nlignes.jpg")));
    QVERIFY(cheminEnregistrable(QStringLiteral("/p/Vacances, été.jpg")));
}

void TestBasePhotos::failedWriteKeepsTheOldBase()
{
    const QString dossier = m_dir.filePath(QStringLiteral("programme"));
    const QString base = dossier + QStringLiteral("/BasePhotos.txt");
    ecris(base, "1\r\n/ancienne.jpg\r\n\"1\"\"1\"\"1\"\"1\"\r\n");
    QString erreur;
    {
        DossierLectureSeule lectureSeule(dossier);
        if (!lectureSeule.ok())
            QSKIP("this machine cannot make a folder refuse new files");
        QVERIFY(!EcritBasePhotos(base, {{QStringLiteral("/nouvelle.jpg"), 2, 2, 2, 2}}, &erreur));
    }
    QVERIFY(!erreur.isEmpty());
    QCOMPARE(contenu(base), QByteArray("1\r\n/ancienne.jpg\r\n\"1\"\"1\"\"1\"\"1\"\r\n"));
    QVERIFY(!EcritBasePhotos(m_dir.filePath(QStringLiteral("absent/BasePhotos.txt")), {}, &erreur));
}

void TestBasePhotos::searchOrder()
{
    const QString racine = m_dir.filePath(QStringLiteral("recherche"));
    ecris(racine + QStringLiteral("/x/b.JPG"));
    ecris(racine + QStringLiteral("/a.jpg"));
    ecris(racine + QStringLiteral("/z.Jpg"));
    ecris(racine + QStringLiteral("/notes.txt"));
    ecris(racine + QStringLiteral("/photo.jpeg")); // not "*.jpg"
    ecris(racine + QStringLiteral("/.cache/c.jpg"));
    ecris(racine + QStringLiteral("/x/y/d.jpg"));
    ResultatRecherche r;
    const int n = RechercheRecursive(racine + QLatin1Char('/'), QStringLiteral("*.jpg"), r);
    QCOMPARE(n, 6 - 1);
    QStringList chemins;
    for (int i = 0; i < n; ++i)
        chemins << r.dossiers[i] + r.noms[i];
    const QString p = racine + QLatin1Char('/');
    QCOMPARE(chemins, (QStringList{p + "a.jpg", p + "z.Jpg", p + ".cache/c.jpg", p + "x/b.JPG", p + "x/y/d.jpg"}));
    for (const QString &d : r.dossiers)
        QVERIFY(d.endsWith(QLatin1Char('/')));
}

// A link back to a parent folder must not trap the search.
void TestBasePhotos::searchSkipsLinkedFolders()
{
    const QString racine = m_dir.filePath(QStringLiteral("boucle"));
    ecris(racine + QStringLiteral("/sub/a.jpg"));
    QVERIFY(QFile::link(racine, racine + QStringLiteral("/sub/retour")));
    QVERIFY(QFile::link(racine + QStringLiteral("/sub/a.jpg"), racine + QStringLiteral("/lien.jpg")));
    QVERIFY(QFile::link(racine + QStringLiteral("/sub"), racine + QStringLiteral("/dossier.jpg")));
    ResultatRecherche r;
    QCOMPARE(RechercheRecursive(racine + QLatin1Char('/'), QStringLiteral("*.jpg"), r), 2);
    QCOMPARE(r.noms, (QStringList{"lien.jpg", "a.jpg"})); // the linked file, not the linked folder
}

void TestBasePhotos::namesKeepTheirBytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("utf8");
    QTest::newRow("accents") << QByteArray("Vacances, \xC3\xA9t\xC3\xA9.jpg") << true;
    QTest::newRow("U+1F480, low half DC80") << QByteArray("\xF0\x9F\x92\x80.jpg") << true;
    QTest::newRow("Latin-1") << QByteArray("IMG_\xE9t\xE9.jpg") << false;
    QTest::newRow("cut sequence") << QByteArray("a\xE2\x82") << false;
    QTest::newRow("overlong /") << QByteArray("\xC0\xAF") << false;
    QTest::newRow("encoded surrogate") << QByteArray("\xED\xB2\x80") << false;
    QTest::newRow("beyond U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false;
}

// Any name reads as text and back to its very bytes; a UTF-8 name reads as
// UTF-8, and an other one is never confused with U+FFFD.
void TestBasePhotos::namesKeepTheirBytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, utf8);
    const QString texte = platform::texteDeNom(bytes);
    QCOMPARE(platform::octetsDeNom(texte), bytes);
    if (utf8)
        QCOMPARE(texte, QString::fromUtf8(bytes));
    else
        QVERIFY(!texte.contains(QChar::ReplacementCharacter));
}

void TestBasePhotos::stripNeverWaits_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("named pipe") << m_dir.filePath(QStringLiteral("tube.jpg"));
    QTest::newRow("device") << QStringLiteral("/dev/zero");
}

// A base naming a pipe or a device: the strip's readers give nothing, at once.
void TestBasePhotos::stripNeverWaits()
{
    QFETCH(QString, path);
    const QByteArray nom = QFile::encodeName(path);
    QVERIFY(path.startsWith(QLatin1String("/dev/")) || ::mkfifo(nom.constData(), 0600) == 0 || errno == EEXIST);
    auto lecture = std::async(std::launch::async, [path] {
        return tailleNaturelle(path).isValid() || !chargeVignette(path, QSize(40, 30)).isNull() || !apercuExif(path).isEmpty();
    });
    const bool attend = lecture.wait_for(std::chrono::seconds(3)) == std::future_status::timeout;
    while (lecture.wait_for(std::chrono::milliseconds(50)) == std::future_status::timeout) {
        const int fd = ::open(nom.constData(), O_WRONLY | O_NONBLOCK); // an end for the waiting reader
        if (fd >= 0)
            ::close(fd);
    }
    QVERIFY2(!attend, "the strip waited on it");
    QVERIFY(!lecture.get());
}

QTEST_GUILESS_MAIN(TestBasePhotos)
#include "tst_basephotos.moc"
