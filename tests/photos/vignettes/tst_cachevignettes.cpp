// The desktop's shared thumbnail cache: names, size classes, entries written and read back.
#include "photos/vignettes/CacheVignettes.h"
#include "platform/NomFichier.h"
#include "support/Refus.h"

#include <QtTest>
#include <sys/stat.h>
#include <thread>

namespace cv = kavel::cachevignettes;

namespace {
int mode(const QString &path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path), &st) == 0 ? int(st.st_mode & 07777) : -1;
}
QByteArray contenu(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
bool ecris(const QString &path, const QByteArray &b) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(b) == b.size();
}
QString entree(const QByteArray &uri, const char *classe) {
    return cv::dossier() + '/' + classe + '/'
           + QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex() + ".png";
}
int compte(const QString &dossier) {
    return QDir(dossier).entryList(QDir::Files | QDir::Hidden | QDir::System).size();
}
// f() under that environment variable
template<typename F> auto avecEnv(const char *nom, const QByteArray &valeur, F f) {
    const QByteArray avant = qgetenv(nom);
    qputenv(nom, valeur);
    const auto r = f();
    return qputenv(nom, avant), r;
}
} // namespace

class TestCacheVignettes : public QObject {
    Q_OBJECT
    QTemporaryDir m_cache, m_photos;
    const QString m_xdg = m_cache.filePath("xdg/cache");
    const QImage m_image = [] {
        QImage i(300, 200, QImage::Format_RGB32);
        i.fill(Qt::darkCyan);
        return i;
    }();
    const bool m_ici = qputenv("XDG_CACHE_HOME", QFile::encodeName(m_xdg)); // before any read
    // A photo's source, its entry in the normal class written.
    cv::Source ecrite(const QString &nom) {
        const QString p = m_photos.filePath(nom);
        std::optional<cv::Source> s = ecris(p, nom.toUtf8()) ? cv::source(p) : std::nullopt;
        return s && cv::ecrit(*s, 128, m_image) ? *s : cv::Source();
    }

private slots:
    void uri_data() {
        QTest::addColumn<QString>("path"), QTest::addColumn<QByteArray>("uri");
        QTest::newRow("kept, escaped")
            << QString("/p/-._~!$&'()*+,=:@ ;#%?\"[]{}`^|\\<>.jpg")
            << QByteArray("file:///p/-._~!$&'()*+,=:@"
                          "%20%3B%23%25%3F%22%5B%5D%7B%7D%60%5E%7C%5C%3C%3E.jpg");
        QTest::newRow("UTF-8") << QString("/p/été.jpg")
                               << QByteArray("file:///p/%C3%A9t%C3%A9.jpg");
        QTest::newRow("Latin-1") << kavel::platform::texteDeNom("/p/\xE9t\xE9.jpg")
                                 << QByteArray("file:///p/%E9t%E9.jpg");
    }
    void uri() { QFETCH(QString, path); QTEST(cv::uri(path), "uri"); }
    void dossier() {
        QCOMPARE(cv::dossier(), m_xdg + "/thumbnails");
        QCOMPARE(entree("file:///home/jens/photos/me.png", "normal"),
                 m_xdg + "/thumbnails/normal/c6ee772d9e49320e97ec29a7eb5b1697.png");
        QCOMPARE(avecEnv("HOME", "/h/moi",
                         [] { return avecEnv("XDG_CACHE_HOME", "relative", cv::dossier); }),
                 "/h/moi/.cache/thumbnails");
    }
    void classes_data() {
        QTest::addColumn<QSize>("naturelle"), QTest::addColumn<QSize>("voulue");
        QTest::addColumn<int>("classe"), QTest::addColumn<QSize>("taille");
        QTest::newRow("3:2") << QSize(6000, 4000) << QSize(220, 146) << 256 << QSize(256, 171);
        QTest::newRow("10:1") << QSize(6000, 600) << QSize(200, 100) << 1024 << QSize(1024, 102);
        QTest::newRow("10:1 none") << QSize(6000, 600) << QSize(200, 110) << 0 << QSize();
        QTest::newRow("1000:1") << QSize(10000, 10) << QSize(1, 1) << 128 << QSize(128, 1);
        QTest::newRow("tiny") << QSize(60, 40) << QSize(60, 40) << 128 << QSize(60, 40);
        QTest::newRow("tiny none") << QSize(60, 40) << QSize(61, 40) << 0 << QSize();
        QTest::newRow("invalid") << QSize(0, 40) << QSize(10, 10) << 0 << QSize();
    }
    void classes() {
        QFETCH(QSize, naturelle); QFETCH(QSize, voulue); QFETCH(int, classe);
        QCOMPARE(cv::classePour(naturelle, voulue), classe);
        QTEST(cv::tailleDansClasse(naturelle, classe), "taille");
    }
    // Written where and as the desktop's readers expect it.
    void ecritPuisLit() {
        const QString path = m_photos.filePath("IMG 0001 été;#.jpg");
        QVERIFY(ecris(path, "photo"));
        QVERIFY(!cv::source(m_photos.path()));
        QVERIFY(!cv::source(path + "x"));
        std::optional<cv::Source> s = cv::source(path);
        QVERIFY(s);
        QCOMPARE(s->taille, qint64(5));
        QCOMPARE(s->mtime, QFileInfo(path).lastModified().toSecsSinceEpoch());
        for (int fois = 0; fois < 2; ++fois) {
            QVERIFY(cv::ecrit(*s, 256, m_image));
            const QString e = entree(s->uri, "large");
            const QImage lue(e); // as any other reader of the cache sees it
            QCOMPARE(lue.text("Thumb::URI").toLatin1(), s->uri);
            QCOMPARE(lue.text("Thumb::MTime") + ' ' + lue.text("Thumb::Size") + ' '
                         + lue.text("Software"),
                     QString("%1 5 Kavel").arg(s->mtime));
            QCOMPARE(lue.size(), QSize(256, 171));
            const QByteArray png = contenu(e); // keys in plain tEXt chunks before the pixels
            QCOMPARE(png.count("tEXt"), 5);
            QVERIFY(png.lastIndexOf("tEXt") < png.indexOf("IDAT"));
            QVERIFY(!png.contains("zTXt"));
            QCOMPARE(mode(e), 0600);
            for (const QString &d :
                 {m_cache.filePath("xdg"), m_xdg, cv::dossier(), cv::dossier() + "/large"})
                QCOMPARE(mode(d), 0700);
            QCOMPARE(compte(cv::dossier() + "/large"), 1);
            QCOMPARE(cv::lit(*s, 128).size(), QSize(256, 171)); // a larger class serves
            QVERIFY(cv::lit(*s, 512).isNull());
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(QDateTime::fromSecsSinceEpoch(s->mtime + 100),
                                  QFileDevice::FileModificationTime));
            const cv::Source avant = *std::exchange(s, cv::source(path));
            QCOMPARE(s->mtime, avant.mtime + 100);
            QVERIFY(cv::lit(*s, 256).isNull());
            QVERIFY(!cv::lit(avant, 256).isNull());
        }
    }
    // The MIME type recorded is the photo's.
    void mime_data() {
        QTest::addColumn<QString>("name"), QTest::addColumn<QString>("mime");
        QTest::newRow("JPEG") << "a.jpg" << "image/jpeg";
        QTest::newRow("NRW, upper case") << "a.NRW" << "image/x-nikon-nrw";
        QTest::newRow("IIQ, none registered") << "a.iiq" << "";
    }
    void mime() {
        QFETCH(QString, name);
        QTEST(QImage(entree(ecrite(name).uri, "normal")).text("Thumb::Mimetype"), "mime");
    }
    // An entry whose keys are right and pixels not, or a FIFO in its place, reads as none.
    void illisible_data() {
        QTest::addColumn<bool>("fifo");
        QTest::newRow("damaged") << false;
        QTest::newRow("FIFO") << true;
    }
    void illisible() {
        QFETCH(bool, fifo);
        const cv::Source s = ecrite(QTest::currentDataTag() + QString(".jpg"));
        QVERIFY(!cv::lit(s, 128).isNull());
        const QString e = entree(s.uri, "normal");
        QByteArray abime = contenu(e);
        abime.replace(abime.indexOf("IDAT") + 4, 4, "\xFF\xFF\xFF\xFF");
        QVERIFY(QFile::remove(e));
        QVERIFY(fifo ? ::mkfifo(QFile::encodeName(e), 0600) == 0 : ecris(e, abime));
        QVERIFY(cv::lit(s, 128).isNull());
    }
    // Two workers write and read one entry at once: each finds it whole, none is half-made.
    void ensemble() {
        const cv::Source s = ecrite("ensemble.jpg");
        const int avant = compte(cv::dossier() + "/normal");
        QAtomicInt echecs;
        const auto travail = [&] {
            for (int i = 0; i < 40; ++i)
                echecs += !cv::ecrit(s, 128, m_image) + cv::lit(s, 128).isNull();
        };
        std::thread a(travail), b(travail);
        a.join(), b.join();
        QCOMPARE(echecs.loadRelaxed(), 0);
        QCOMPARE(compte(cv::dossier() + "/normal"), avant);
    }
    void refus() {
        const cv::Source s = ecrite("refus.jpg");
        QVERIFY(!s.uri.isEmpty());
        const int avant = compte(cv::dossier() + "/normal");
        QVERIFY(!cv::ecrit(*cv::source(entree(s.uri, "normal")), 128, m_image)); // of itself
        QVERIFY(!avecEnv("XDG_CACHE_HOME", QFile::encodeName(m_photos.filePath("refus.jpg")),
                         [&] { return cv::ecrit(s, 128, m_image); }));
        QVERIFY(!cv::ecrit(s, 100, m_image));
        QVERIFY(!cv::ecrit(s, 128, QImage()));
        DossierLectureSeule lectureSeule(cv::dossier() + "/normal");
        if (!lectureSeule.ok()) QSKIP("cannot make a folder read-only here");
        QVERIFY(!cv::ecrit(s, 128, m_image));
        QCOMPARE(compte(cv::dossier() + "/normal"), avant); // no temporary left behind
    }
};

QTEST_MAIN(TestCacheVignettes)
#include "tst_cachevignettes.moc"
