// The photo strip under the chart, on real JPEG files in a temporary folder.
#include "app/Form1.h"
#include "photos/Miniatures.h"
#include "platform/NomFichier.h"
#include "platform/PictureBox.h"
#include "platform/SurfaceWidget.h"
#include "support/TestSupport.h"

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

using namespace kavel;

namespace {

// A JPEG of the given size, one colour.
QString photo(const QTemporaryDir &dir, const QString &name, QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = dir.filePath(name);
    if (!image.save(path, "JPEG"))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

int montrees(const Form1 &f)
{
    int n = 0;
    for (const PictureBox *p : f.PictMiniture)
        n += !p->isHidden();
    return n;
}

} // namespace

class TestMiniatures : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void matching();
    void sixteenShownAndPaging();
    void widePhotosFillTheFrame();
    void previousAtZeroDoesNothing();
    void unreadablePhotoShowsAPlaceholder();
    void markingOnTheChart();
    void clickOpensTheFileItself_data();
    void clickOpensTheFileItself();
    void levelNotANumberSkipsTheRefresh();

private:
    void base(int n, QSize size, double ev = 12);

    std::unique_ptr<DialogRecorder> m_dialogs;
    QTemporaryDir m_dir;
    std::unique_ptr<Form1> m_form;
};

void TestMiniatures::initTestCase()
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
}

void TestMiniatures::init()
{
    m_dialogs = std::make_unique<DialogRecorder>();
    m_form = std::make_unique<Form1>(m_dir.path());
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    m_form->TimerMiniature->stop();
    m_form->TxtValeur->setText(QStringLiteral("12"));
    m_form->TimerMiniature->stop();
}

void TestMiniatures::cleanup()
{
    m_form.reset();
    m_dialogs.reset();
}

void TestMiniatures::base(int n, QSize size, double ev)
{
    m_form->TabPhotos.clear();
    for (int i = 0; i < n; ++i) {
        const QString path = photo(m_dir, QStringLiteral("p%1.jpg").arg(i, 2, 10, QLatin1Char('0')), size,
                                   QColor::fromHsv(i * 17 % 360, 200, 200));
        m_form->TabPhotos.push_back({path, ev, 0.004, 5.6, 400});
    }
    m_form->NbPhotos = n;
}

void TestMiniatures::matching()
{
    const std::vector<TypePhoto> photos{{"/a", 11.96, 1, 1, 1}, {"/b", 12.04, 1, 1, 1}, {"/c", 12.05, 1, 1, 1}};
    QCOMPARE(photosAuNiveau(photos, 12), (std::vector<int>{0, 1}));

    base(3, QSize(30, 73));
    m_form->TabPhotos[0].ValEV = 11.96;
    m_form->TabPhotos[1].ValEV = 12.04;
    m_form->TabPhotos[2].ValEV = 12.05;
    m_form->BtnAfficheMiniature_Click();
    QCOMPARE(m_form->LblNbPhotoOK->text(), QString::fromUtf8("2 photos à 10 000 lux"));
    QCOMPARE(montrees(*m_form), 2);
    QCOMPARE(m_form->TxtDebug->toPlainText(), "2 photos\n\n");
    QCOMPARE(m_form->PictMiniture[0]->toolTip(), "1/250s  -  F/5,6  -  Iso400");
}

void TestMiniatures::sixteenShownAndPaging()
{
    base(20, QSize(20, 73));
    Form1 &f = *m_form;
    f.BtnAfficheMiniature_Click();
    QCOMPARE(f.LblNbPhotoOK->text().section(QLatin1Char(' '), 0, 0), "20");
    QCOMPARE(montrees(f), 16);
    QCOMPARE(f.nbVignettesChargees(), 16);
    for (int j = 0; j < 16; ++j)
        QCOMPARE(f.PictMiniture[j]->tag(), f.TabPhotos[j].Fichier);
    // Left to right, 8 pixels apart, in base order.
    QCOMPARE(f.PictMiniture[0]->x(), f.CadrePhoto->x() + 8);
    QCOMPARE(f.PictMiniture[1]->x(), f.PictMiniture[0]->x() + 20 + 8);
    QCOMPARE(f.PictMiniture[0]->width(), 20);

    QTest::mouseClick(f.BtnPhotoApres, Qt::LeftButton);
    QCOMPARE(f.IndexMiniature, 1);
    QCOMPARE(f.nbVignettesChargees(), 17); // only photo 17 is read
    for (int j = 0; j < 16; ++j)
        QCOMPARE(f.PictMiniture[j]->tag(), f.TabPhotos[j + 1].Fichier);
    QCOMPARE(f.PictMiniture[0]->image().pixel(10, 36), f.PictMiniture[0]->image().pixel(10, 36));

    QTest::mouseClick(f.BtnPhotoAvant, Qt::LeftButton);
    QCOMPARE(f.IndexMiniature, 0);
    QCOMPARE(f.nbVignettesChargees(), 18); // only photo 1 again
    for (int j = 0; j < 16; ++j)
        QCOMPARE(f.PictMiniture[j]->tag(), f.TabPhotos[j].Fichier);

    // Past the last matching photo the strip is empty; "<" brings them back.
    for (int i = 0; i < 20; ++i)
        QTest::mouseClick(f.BtnPhotoApres, Qt::LeftButton);
    QCOMPARE(montrees(f), 0);
    QTest::mouseClick(f.BtnPhotoAvant, Qt::LeftButton);
    QCOMPARE(montrees(f), 1);
}

// Photos 120 pixels wide at the strip's height: five fit, the sixth is
// drawn but stays hidden.
void TestMiniatures::widePhotosFillTheFrame()
{
    base(8, QSize(240, 146));
    Form1 &f = *m_form;
    QVERIFY(f.CadrePhoto->width() >= 719 && f.CadrePhoto->width() < 6 * 128 + 8);
    f.BtnAfficheMiniature_Click();
    QCOMPARE(montrees(f), 5);
    QCOMPARE(f.PictMiniture[4]->width(), 120);
    QVERIFY(f.PictMiniture[5]->isHidden());
    QCOMPARE(f.PictMiniture[5]->tag(), f.TabPhotos[5].Fichier);
    QVERIFY(f.PictMiniture[6]->tag().isEmpty());
    QCOMPARE(f.LblNbPhotoOK->text().section(QLatin1Char(' '), 0, 0), "8");
}

void TestMiniatures::previousAtZeroDoesNothing()
{
    base(3, QSize(20, 73));
    m_form->BtnAfficheMiniature_Click();
    QSignalSpy refreshed(m_form.get(), &Form1::miniaturesRafraichies);
    QTest::mouseClick(m_form->BtnPhotoAvant, Qt::LeftButton);
    QCOMPARE(refreshed.count(), 0);
    QCOMPARE(m_form->IndexMiniature, 0);
}

void TestMiniatures::unreadablePhotoShowsAPlaceholder()
{
    base(2, QSize(20, 73));
    Form1 &f = *m_form;
    f.TabPhotos[1].Fichier = m_dir.filePath(QStringLiteral("absente.jpg"));
    f.BtnAfficheMiniature_Click();
    QCOMPARE(montrees(f), 2);
    const QImage image = f.PictMiniture[1]->image();
    QVERIFY(!image.isNull());
    QCOMPARE(image.pixel(image.width() / 2, image.height() / 2), qRgb(96, 96, 96)); // not the previous photo
    QCOMPARE(f.PictMiniture[1]->tag(), f.TabPhotos[1].Fichier);
    QVERIFY(!f.PictMiniture[1]->toolTip().isEmpty());
}

void TestMiniatures::markingOnTheChart()
{
    base(2, QSize(20, 73));
    Form1 &f = *m_form;
    f.TabPhotos[0].ValSpeed = 0.004;
    f.TabPhotos[0].ValDiaf = 8;
    f.BtnAfficheMiniature_Click();
    QTest::mouseMove(f.PictMiniture[0], QPoint(5, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), f.PictMiniture[0]->mapToGlobal(QPointF(5, 5)), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(f.PictMiniture[0], &move);
    QCOMPARE(f.PhotoSurvolVitesse, 250.0);
    QCOMPARE(f.PhotoSurvolDiaf, 8.0);
    const ChartView chart = f.chart();
    const double x = chart.cx(250), y = chart.cy(8);
    for (int k = 4; k <= 7; ++k)
        QCOMPARE(*chart.surface.pixel(x + k, y), QRgb(0xFFFFFF00));
    // The same photo again draws nothing more.
    chart.surface.setPixel(1, 1, 0xFF123456);
    QApplication::sendEvent(f.PictMiniture[0], &move);
    QCOMPARE(*chart.surface.pixel(1, 1), QRgb(0xFF123456));
}

// A name with spaces and shell characters opens that file and nothing else.
void TestMiniatures::clickOpensTheFileItself()
{
    QFETCH(QString, nom);
    QFETCH(QByteArray, url);
    base(1, QSize(20, 73));
    Form1 &f = *m_form;
    f.TabPhotos[0].Fichier = m_dir.filePath(nom);
    f.BtnAfficheMiniature_Click();
    m_dialogs->boxes.clear();
    QList<QUrl> opened;
    const auto previous = platform::setOpenUrlHandler([&opened](const QUrl &url) {
        opened << url;
        return false; // a failed launch shows nothing
    });
    QTest::mouseClick(f.PictMiniture[0], Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    platform::setOpenUrlHandler(previous);
    QCOMPARE(opened.size(), 1);
    QVERIFY(opened[0].isLocalFile());
    QCOMPARE(opened[0].toEncoded(), "file://" + QUrl::toPercentEncoding(m_dir.path(), "/") + url);
    QVERIFY(m_dialogs->boxes.isEmpty());
}

void TestMiniatures::clickOpensTheFileItself_data()
{
    QTest::addColumn<QString>("nom");
    QTest::addColumn<QByteArray>("url");
    QTest::newRow("shell characters") << "a b;rm -rf $HOME.jpg" << QByteArray("/a%20b%3Brm%20-rf%20%24HOME.jpg");
    // A name from an older disk, in Latin-1: its bytes, not U+FFFD.
    QTest::newRow("name not in UTF-8") << platform::texteDeNom("IMG_\xE9t\xE9.jpg") << QByteArray("/IMG_%E9t%E9.jpg");
}

void TestMiniatures::levelNotANumberSkipsTheRefresh()
{
    base(3, QSize(20, 73));
    m_form->BtnAfficheMiniature_Click();
    QSignalSpy refreshed(m_form.get(), &Form1::miniaturesRafraichies);
    m_form->TxtValeur->setText(QString());
    m_form->BtnAfficheMiniature_Click();
    QCOMPARE(refreshed.count(), 0);
    QCOMPARE(montrees(*m_form), 3);
}

QTEST_MAIN(TestMiniatures)
#include "tst_miniatures.moc"
