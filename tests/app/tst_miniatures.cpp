// The photo strip under the chart, on real JPEG files in a temporary folder.
#include "ExifBuilder.h"
#include "photos/vignettes/CacheVignettes.h"
#include "photos/vignettes/ChargeurVignettes.h"
#include "photos/vignettes/PhotoOuverte.h"
#include "platform/NomFichier.h"
#include "platform/PictureBox.h"
#include "platform/SurfaceWidget.h"
#include "support/TestSupport.h"

#include <QBuffer>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

using namespace kavel;

class TestMiniatures : public QObject {
    Q_OBJECT
private slots:
    void init() {
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
        m_cache = std::make_unique<QTemporaryDir>(); // the desktop's thumbnails, empty
        qputenv("XDG_CACHE_HOME", m_cache->path().toLocal8Bit());
        m_w = std::make_unique<FenetreActive>(m_dir.path());
        m_w->form.TxtValeur->setText("12");
        m_w->form.TimerMiniature->stop();
    }
    void cleanup() { m_w.reset(); }
    void matchingAndPaging() {
        QCOMPARE(photosAuNiveau({{"/a", 11.96}, {"/b", 12.04}, {"/c", 12.05}}, 12),
                 (std::vector<int>{0, 1}));
        base(20, QSize(20, 73));
        Form1 &f = m_w->form;
        f.TabPhotos[19].ValEV = 12.05; // just outside the level
        f.BtnAfficheMiniature_Click();
        QVERIFY(complete());
        QCOMPARE(f.LblNbPhotoOK->text(), "19 photos à 10 000 lux");
        QCOMPARE(f.TxtDebug->toPlainText(), "19 photos\n\n");
        QCOMPARE(f.PictMiniture[0]->toolTip(), "1/250s  -  F/5,6  -  Iso400");
        QCOMPARE(vues(), "p00..p15 16");
        QCOMPARE(f.nbVignettesChargees(), 16);
        // Left to right, 8 pixels apart, in base order; paging reads only the photo that comes in.
        for (int sens : {1, -1}) {
            QCOMPARE(f.PictMiniture[0]->x(), f.CadrePhoto->x() + 8);
            QCOMPARE(f.PictMiniture[15]->x(), f.PictMiniture[0]->x() + 15 * 28);
            QTest::mouseClick(sens > 0 ? f.BtnPhotoApres : f.BtnPhotoAvant, Qt::LeftButton);
            QVERIFY(complete());
            QCOMPARE(vues(), sens > 0 ? "p01..p16 16" : "p00..p15 16");
            QCOMPARE(f.nbVignettesChargees(), sens > 0 ? 17 : 18);
            QCOMPARE(f.IndexMiniature, sens > 0 ? 1 : 0);
        }
        // "<" at the first photo does nothing; past the last the strip is empty.
        QSignalSpy refreshed(&f, &Form1::miniaturesRafraichies);
        QTest::mouseClick(f.BtnPhotoAvant, Qt::LeftButton);
        QCOMPARE(refreshed.count(), 0);
        for (int i = 0; i < 19; ++i)
            QTest::mouseClick(f.BtnPhotoApres, Qt::LeftButton);
        QCOMPARE(vues(), QString());
        QTest::mouseClick(f.BtnPhotoAvant, Qt::LeftButton);
        QVERIFY(complete());
        QCOMPARE(vues(), "p18..p18 1");
        // A level that is no number leaves the strip as it is.
        refreshed.clear();
        f.TxtValeur->setText(QString());
        f.BtnAfficheMiniature_Click();
        QCOMPARE(refreshed.count(), 0);
        QCOMPARE(vues(), "p18..p18 1");
    }
    // Photos 120 pixels wide at the strip's height: five fit, the sixth is placed but stays hidden.
    void widePhotosFillTheFrame() {
        base(8, QSize(240, 146));
        Form1 &f = m_w->form;
        QVERIFY(f.CadrePhoto->width() >= 719);
        QVERIFY(f.CadrePhoto->width() < 6 * 128 + 8);
        f.BtnAfficheMiniature_Click();
        QVERIFY(complete());
        QCOMPARE(vues(), "p00..p04 5");
        QCOMPARE(f.PictMiniture[4]->width(), 120);
        QCOMPARE(f.PictMiniture[5]->tag(), f.TabPhotos[5].Fichier);
        f.resize(f.width() + 6 * 128 + 8 - f.CadrePhoto->width(), f.height());
        f.BtnAfficheMiniature_Click();
        QVERIFY(complete());
        QCOMPARE(vues(), "p00..p05 6");
    }
    // A missing photo shows a grey frame; pointing at a photo marks it on the chart, once.
    void placeholderAndMarking() {
        base(2, QSize(20, 73));
        Form1 &f = m_w->form;
        f.TabPhotos[1].Fichier = m_dir.filePath("absente.jpg");
        f.TabPhotos[0].ValDiaf = 8;
        f.BtnAfficheMiniature_Click();
        QVERIFY(complete());
        QCOMPARE(vues(), "p00..absente 2");
        const QImage image = f.PictMiniture[1]->image(); // not the previous photo
        QCOMPARE(image.size(), QSize(109, 73));
        QCOMPARE(QList<QRgb>({image.pixel(54, 0), image.pixel(54, 36), image.pixel(54, 72)}),
                 QList<QRgb>({qRgb(140, 140, 140), qRgb(96, 96, 96), qRgb(140, 140, 140)}));
        moveOver(f.PictMiniture[0]);
        QCOMPARE(f.PhotoSurvolVitesse, 250.0);
        QCOMPARE(f.PhotoSurvolDiaf, 8.0);
        const ChartView chart = f.chart();
        const double x = chart.cx(250), y = chart.cy(8);
        for (int k : {-7, -4, 4, 7})
            QCOMPARE(*chart.surface.pixel(x + k, y), QRgb(0xFFFFFF00));
        QVERIFY(*chart.surface.pixel(x + 8, y) != QRgb(0xFFFFFF00));
        chart.surface.setPixel(1, 1, 0xFF123456);
        moveOver(f.PictMiniture[0]);
        QCOMPARE(*chart.surface.pixel(1, 1), QRgb(0xFF123456));
    }
    // A name with spaces and shell characters, or in Latin-1, opens that very file.
    void clickOpensTheFileItself() {
        for (const auto &[nom, url] : {std::pair{QString("a b;rm -rf $HOME.jpg"),
                                                 QByteArray("/a%20b%3Brm%20-rf%20%24HOME.jpg")},
                                       std::pair{platform::texteDeNom("IMG_\xE9t\xE9.jpg"),
                                                 QByteArray("/IMG_%E9t%E9.jpg")}}) {
            base(1, QSize(20, 73));
            m_w->form.TabPhotos[0].Fichier = m_dir.filePath(nom);
            m_w->form.BtnAfficheMiniature_Click();
            QCOMPARE(clic(m_w->form.PictMiniture[0], false),
                     "file://" + QUrl::toPercentEncoding(m_dir.path(), "/") + url);
            QVERIFY(m_w->dialogs.boxes.isEmpty());
        }
    }
    // The base in the program's folder is read at start-up, whatever its count says.
    void baseAtStartUpAndAfterTheScan() {
        const QString base = m_dir.filePath("BasePhotos.txt");
        const QByteArray a("/p/a.jpg\r\n\"12\"\"0,004\"\"8\"\"100\"\r\n");
        QVERIFY(ecrit(base, "5\r\n" + a + "/p/b.jpg\r\n\"12.5\"\"0.01\"\"4\"\"200\"\r\n"));
        FenetreActive g(m_dir.path());
        QCOMPARE(g.form.TabPhotos[1].ValSpeed, 0.01);
        QCOMPARE(g.form.LblNbBasePhoto->text(), "2 photos dans la base");
        QVERIFY(ecrit(base, "1\r\n" + a));
        QString titre;
        QTimer::singleShot(0, [&titre] {
            if (QWidget *w = QApplication::activeModalWidget())
                titre = w->windowTitle(), w->close();
        });
        QTest::mouseClick(g.form.BtnBasePhoto, Qt::LeftButton);
        QCOMPARE(titre, "Création de la base de photos");
        QCOMPARE(g.form.LblNbBasePhoto->text(), "1 photos dans la base");
    }
    // Photos held back: slots placed at once, pointing and clicking work before the pictures.
    void neverBlocks() {
        base(16, QSize(20, 73));
        Form1 &f = m_w->form;
        QSemaphore feu;
        std::atomic<int> decodees = 0;
        f.chargeur().setDecodeur([&](const QString &, QSize taille) {
            feu.acquire();
            ++decodees;
            QImage image(taille, QImage::Format_RGB32);
            image.fill(Qt::darkCyan);
            return image;
        });
        QTest::mouseClick(f.BtnAfficheMiniature, Qt::LeftButton);
        QCOMPARE(vues(), "p00..p05 6"); // 3:2 slots until the sizes come
        QVERIFY(f.vignettesEnAttente());
        QVERIFY(f.PictMiniture[0]->image().isNull());
        moveOver(f.PictMiniture[0]);
        QCOMPARE(f.PhotoSurvolVitesse, 250.0);
        QCOMPARE(clic(f.PictMiniture[1], true),
                 QUrl::fromLocalFile(f.TabPhotos[1].Fichier).toEncoded());
        f.BtnAfficheMiniature_Click();
        feu.release(100);
        QVERIFY(complete());
        QCOMPARE(vues(), "p00..p15 16");
        QCOMPARE(decodees.load(), 16);
        QCOMPARE(f.nbVignettesChargees(), 16);
        QCOMPARE(f.PictMiniture[15]->image().pixel(3, 3), QColor(Qt::darkCyan).rgb());
    }
    // Shared thumbnails: written after a decoding, read the next time, replaced on a change.
    void sharedThumbnailCache() {
        base(3, QSize(300, 200));
        const auto strip = [this] { // decodings in a new window's strip, and its third picture
            FenetreActive g(m_dir.path());
            g.form.TabPhotos = m_w->form.TabPhotos;
            g.form.NbPhotos = 3;
            g.form.TxtValeur->setText("12");
            g.form.TimerMiniature->stop();
            g.form.BtnAfficheMiniature_Click();
            [&] { QTRY_VERIFY(!g.form.vignettesEnAttente()); }();
            return std::pair{g.form.chargeur().decodages(),
                             g.form.PictMiniture[2]->image().convertToFormat(QImage::Format_RGB32)};
        };
        const auto [d1, image] = strip();
        QCOMPARE(d1, 3);
        const QString photo = m_w->form.TabPhotos[2].Fichier;
        QCOMPARE(cachevignettes::lit(*cachevignettes::source(photo), 128).size(), QSize(128, 85));
        const auto [d2, deNouveau] = strip();
        QCOMPARE(d2, 0);
        QCOMPARE(deNouveau, image);
        QFile f(photo);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                              QFileDevice::FileModificationTime));
        f.close();
        QCOMPARE(strip().first, 1);
        QCOMPARE(strip().first, 0); // the new entry written
    }
    // Stored top red, bottom blue, turned a quarter clockwise: shown upright however decoded.
    void uprightPhotos() {
        Form1 &f = m_w->form;
        f.TabPhotos.clear();
        for (const QSize taille : {QSize(2400, 1460), QSize(240, 146)}) {
            QImage image(taille, QImage::Format_RGB32);
            image.fill(Qt::blue);
            QPainter(&image).fillRect(0, 0, taille.width(), taille.height() / 2, Qt::red);
            QBuffer jpeg;
            jpeg.open(QIODevice::WriteOnly);
            image.save(&jpeg, "JPEG", 95);
            ExifBuilder exif(true);
            exif.ifd0 = {exif.shortInline(0x0112, 6)};
            const QString nom = m_dir.filePath(QString::number(taille.width()));
            QVERIFY(ecrit(nom + ".jpg", exif.withImage(jpeg.data())));
            exif.pointerToExif = false, exif.preview = jpeg.data(); // a raw, its preview in IFD1
            QVERIFY(ecrit(nom + ".nef", exif.tiff()));
            QImage couche(128, 78, QImage::Format_RGB32);
            couche.fill(Qt::green);
            QVERIFY(cachevignettes::ecrit(*cachevignettes::source(nom + ".nef"), 128, couche));
            f.TabPhotos.push_back({nom + ".jpg", 12, 0.004, 5.6, 400});
            f.TabPhotos.push_back({nom + ".nef", 12, 0.004, 5.6, 400});
        }
        f.NbPhotos = 4;
        f.BtnAfficheMiniature_Click();
        QVERIFY(complete());
        for (int i = 0; i < 4; ++i) {
            const kavel::PictureBox *p = f.PictMiniture[i];
            QCOMPARE(p->size(), QSize(44, 73));
            const QImage vue = p->image().scaled(p->size());
            const auto teinte = [&](int x) {
                const QRgb c = vue.pixel(x, 36);
                return qRed(c) > 200 && qBlue(c) < 60 ? 'r' : qBlue(c) > 200 && qRed(c) < 60 ? 'b'
                                                                                            : '?';
            };
            QCOMPARE(QByteArray() + teinte(8) + teinte(35), "br"); // left blue, right red
        }
    }

private:
    // Every slot on show has its picture (the slots then have their widths).
    bool complete() const {
        return QTest::qWaitFor([this] { return !m_w->form.vignettesEnAttente(); });
    }
    static bool ecrit(const QString &path, const QByteArray &octets) {
        QFile f(path);
        return f.open(QIODevice::WriteOnly) && f.write(octets) == octets.size();
    }
    // n one-colour JPEGs of the given size, all taken at EV 12, 1/250 s, F/5,6, ISO 400.
    void base(int n, QSize size) {
        m_w->form.TabPhotos.clear();
        for (int i = 0; i < n; ++i) {
            QImage image(size, QImage::Format_RGB32);
            image.fill(QColor::fromHsv(i * 17 % 360, 200, 200));
            const QString path = m_dir.filePath(QString::asprintf("p%02d.jpg", i));
            QVERIFY(image.save(path, "JPEG"));
            m_w->form.TabPhotos.push_back({path, 12, 0.004, 5.6, 400});
        }
        m_w->form.NbPhotos = n;
    }
    QString vues() const { // the photos on show: "first..last count"
        QStringList t;
        for (const PictureBox *p : m_w->form.PictMiniture)
            if (!p->isHidden())
                t << QFileInfo(p->tag()).baseName();
        return t.isEmpty() ? QString()
                           : t.first() + ".." + t.last() + ' ' + QString::number(t.size());
    }
    // What a click on w opens, the launch succeeding or not.
    static QByteArray clic(QWidget *w, bool reussit) {
        QByteArray ouvertes;
        const auto avant = platform::setOpenUrlHandler([&](const QUrl &u) {
            ouvertes += u.toEncoded();
            return reussit;
        });
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
        platform::setOpenUrlHandler(avant);
        return ouvertes;
    }

    QTemporaryDir m_dir;
    std::unique_ptr<QTemporaryDir> m_cache;
    std::unique_ptr<FenetreActive> m_w;
};

QTEST_MAIN(TestMiniatures)
#include "tst_miniatures.moc"
