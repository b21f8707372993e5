// The photo strip under the chart, the window's layout, and the older chart.
#include "app/Disposition.h"
#include "app/Form1.h"
#include "app/Style.h"
#include "chart/Legacy.h"
#include "exposure/NumberText.h"
#include "photos/Miniatures.h"
#include "platform/Desktop.h"
#include "platform/NomFichier.h"
#include "platform/PictureBox.h"
#include "platform/SurfaceWidget.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>
#include <QUrl>
#include <QtConcurrent/QtConcurrentMap>

namespace kavel {

namespace {

constexpr int kHauteurMiniature = 73;
constexpr int kEcart = 8;                 // between two thumbnails
constexpr QRgb kCadreRepos = 0xFF404040;  // the strip at rest
constexpr QRgb kCadreCalcul = 0xFF505050; // being refreshed
constexpr QRgb kCadreCharge = 0xFF808080; // loading photos

void fond(QWidget *w, QRgb couleur)
{
    style::setBackground(w, QPalette::Window, QColor::fromRgb(couleur));
}

// The device pixels of a thumbnail of that size on a screen of that ratio.
QSize enPixels(QSize taille, qreal ratio)
{
    return ratio == 1 ? taille : QSize(std::max(1, int(std::lround(taille.width() * ratio))),
                                       std::max(1, int(std::lround(taille.height() * ratio))));
}

// What stands for a photo that cannot be read: a neutral grey frame, its
// top and bottom edges one pixel of the screen's ratio thick.
QImage neutre(QSize taille, qreal ratio)
{
    QImage image(enPixels(taille, ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(QColor(96, 96, 96));
    const int bord = std::max(1, int(std::lround(ratio)));
    for (int y = 0; y < bord; ++y)
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb(140, 140, 140));
            image.setPixel(x, image.height() - 1 - y, qRgb(140, 140, 140));
        }
    return image;
}

} // namespace

void Form1::createStrip()
{
    using namespace dessin;
    CadrePhoto = new QWidget(this);
    CadrePhoto->setObjectName(QStringLiteral("CadrePhoto"));
    CadrePhoto->setGeometry(kCadrePhoto);
    CadrePhoto->setAutoFillBackground(true);
    fond(CadrePhoto, kCadreRepos);
    for (int i = 0; i < kNbMiniatures; ++i) {
        auto *pict = new PictureBox(this);
        pict->setObjectName(QStringLiteral("PictMiniture%1").arg(i));
        pict->setGeometry(miniature(i));
        pict->hide();
        connect(pict, &PictureBox::survole, this, [this, i] { PictMiniture_MouseMove(i); });
        connect(pict, &PictureBox::clique, this, [this, i] { PictMiniture_Click(i); });
        PictMiniture[static_cast<std::size_t>(i)] = pict;
    }
    BtnPhotoAvant = new QPushButton(QStringLiteral("<"), this);
    BtnPhotoAvant->setObjectName(QStringLiteral("BtnPhotoAvant"));
    BtnPhotoAvant->setGeometry(kBtnPhotoAvant);
    BtnPhotoAvant->setToolTip(QStringLiteral("Photo précédente"));
    BtnPhotoApres = new QPushButton(QStringLiteral(">"), this);
    BtnPhotoApres->setObjectName(QStringLiteral("BtnPhotoApres"));
    BtnPhotoApres->setGeometry(kBtnPhotoApres);
    BtnPhotoApres->setToolTip(QStringLiteral("Photo suivante"));
    LblNbPhotoOK = new QLabel(QStringLiteral("-"), this);
    LblNbPhotoOK->setObjectName(QStringLiteral("LblNbPhotoOK"));
    LblNbPhotoOK->setGeometry(kLblNbPhotoOK);
    style::blancSurNoir(LblNbPhotoOK);

    connect(BtnPhotoAvant, &QPushButton::clicked, this, &Form1::BtnPhotoAvant_Click);
    connect(BtnPhotoApres, &QPushButton::clicked, this, &Form1::BtnPhotoApres_Click);
}

void Form1::BtnAfficheMiniature_Click()
{
    const std::optional<double> niveau = readNumber(TxtValeur->text());
    if (!niveau)
        return; // a level being typed: the strip stays as it is
    TxtDebug->clear();
    fond(CadrePhoto, kCadreCalcul);

    const std::vector<int> photos = photosAuNiveau(TabPhotos, *niveau);
    const int count = static_cast<int>(photos.size());
    LblNbPhotoOK->setText(QString::number(count) + QStringLiteral(" photos à ") + LblLUX->text());

    // Plan the strip first: which photo in each slot, its width and place;
    // only the photos that are new to their slot need their file.
    struct Case {
        int photo;
        QSize taille;
        bool nouvelle;
        bool montree;
    };
    std::vector<Case> cases;
    const QRect cadre = CadrePhoto->geometry();
    int gauche = cadre.left() + kEcart;
    for (std::size_t k = static_cast<std::size_t>(std::max(0, IndexMiniature)); k < photos.size(); ++k) {
        const int j = static_cast<int>(cases.size());
        if (j >= dessin::kNbMiniatures)
            break;
        const TypePhoto &photo = TabPhotos[static_cast<std::size_t>(photos[k])];
        PictureBox *pict = PictMiniture[static_cast<std::size_t>(j)];
        Case c{photos[k], pict->size(), pict->tag() != photo.Fichier, true};
        if (c.nouvelle) {
            const QSize naturelle = tailleNaturelle(photo.Fichier);
            const int largeur = naturelle.isValid() && naturelle.height() > 0
                ? std::max(1, static_cast<int>(std::lround(double(naturelle.width()) * kHauteurMiniature / naturelle.height())))
                : kHauteurMiniature * 3 / 2;
            c.taille = QSize(std::min(largeur, 16 * cadre.width()), kHauteurMiniature);
        }
        if (j > 0)
            gauche += cases.back().taille.width() + kEcart;
        c.montree = j == 0 || gauche + c.taille.width() + kEcart <= cadre.left() + cadre.width();
        cases.push_back(c);
        if (!c.montree)
            break; // the frame is full
    }

    // The new pictures, decoded on every core at the screen's resolution; the
    // strip shows them all at once.
    const qreal ratio = CadrePhoto->devicePixelRatioF();
    std::vector<int> aCharger;
    for (int j = 0; j < static_cast<int>(cases.size()); ++j)
        if (cases[static_cast<std::size_t>(j)].nouvelle)
            aCharger.push_back(j);
    if (!aCharger.empty()) {
        fond(CadrePhoto, kCadreCharge);
        CadrePhoto->repaint();
    }
    const std::vector<QImage> images = QtConcurrent::blockingMapped<std::vector<QImage>>(aCharger, [&](int j) {
        const Case &c = cases[static_cast<std::size_t>(j)];
        QImage image = chargeVignette(TabPhotos[static_cast<std::size_t>(c.photo)].Fichier, enPixels(c.taille, ratio));
        image.setDevicePixelRatio(ratio);
        return image;
    });
    m_vignettesChargees += static_cast<int>(aCharger.size());

    gauche = cadre.left() + kEcart;
    for (std::size_t j = 0, n = 0; j < cases.size(); ++j) {
        const Case &c = cases[j];
        PictureBox *pict = PictMiniture[j];
        const TypePhoto &photo = TabPhotos[static_cast<std::size_t>(c.photo)];
        if (j > 0)
            gauche += cases[j - 1].taille.width() + kEcart;
        pict->setGeometry(gauche, pict->y(), c.taille.width(), c.taille.height());
        if (c.nouvelle) {
            const QImage &image = images[n++];
            pict->setImage(image.isNull() ? neutre(c.taille, ratio) : image);
            pict->setTag(photo.Fichier);
            pict->setToolTip(Speed2Txt(photo.ValSpeed) + QStringLiteral("  -  F/") + texteNombre(photo.ValDiaf)
                             + QStringLiteral("  -  Iso") + texteNombre(photo.ValIso));
        }
        if (c.montree)
            pict->show();
        else
            pict->hide();
    }
    for (std::size_t j = cases.size(); j < PictMiniture.size(); ++j)
        PictMiniture[j]->hide();

    fond(CadrePhoto, kCadreRepos);
    TxtDebug->setPlainText(QString::number(count) + QStringLiteral(" photos\r\n\r\n") + TxtDebug->toPlainText());
    emit miniaturesRafraichies();
}

void Form1::BtnPhotoApres_Click()
{
    ++IndexMiniature;
    // Each thumbnail takes its right neighbour's picture: only the last needs a file.
    for (std::size_t k = 0; k + 1 < PictMiniture.size(); ++k) {
        PictureBox *suivante = PictMiniture[k + 1];
        if (suivante->isHidden())
            continue;
        PictureBox *pict = PictMiniture[k];
        pict->resize(suivante->width(), pict->height());
        pict->setImage(suivante->image());
        pict->setTag(suivante->tag());
        pict->setToolTip(suivante->toolTip());
        if (k > 0)
            pict->move(PictMiniture[k - 1]->x() + PictMiniture[k - 1]->width() + kEcart, pict->y());
    }
    BtnAfficheMiniature_Click();
}

void Form1::BtnPhotoAvant_Click()
{
    if (IndexMiniature < 1)
        return;
    --IndexMiniature;
    for (std::size_t k = PictMiniture.size() - 1; k >= 1; --k) {
        PictureBox *pict = PictMiniture[k];
        if (pict->isHidden())
            continue;
        const PictureBox *precedente = PictMiniture[k - 1];
        pict->resize(precedente->width(), pict->height());
        pict->setImage(precedente->image());
        pict->setTag(precedente->tag());
        pict->setToolTip(precedente->toolTip());
    }
    BtnAfficheMiniature_Click();
}

// Marks on the chart the photo under the pointer; the same point twice in a
// row redraws nothing.
void Form1::PictMiniture_MouseMove(int index)
{
    const QString &tag = PictMiniture[static_cast<std::size_t>(index)]->tag();
    double vitesse = 0;
    double diaf = 0;
    for (const TypePhoto &p : TabPhotos) {
        if (p.Fichier == tag) {
            vitesse = 1 / p.ValSpeed;
            diaf = p.ValDiaf;
            break;
        }
    }
    if (vitesse == PhotoSurvolVitesse && diaf == PhotoSurvolDiaf)
        return;
    BtnGO_Click();
    if (vitesse > 0 && diaf > 0) {
        const ChartView c = chart();
        const double x = c.cx(vitesse);
        const double y = c.cy(diaf);
        for (int k = 4; k <= 7; ++k)
            c.surface.box(x - k, y - k, x + k, y + k, 0xFFFFFF00);
        c.surface.refresh();
    }
    PhotoSurvolVitesse = vitesse;
    PhotoSurvolDiaf = diaf;
}

// The photo opens in the desktop's own viewer: its path travels as a file
// URL, never through a command line.
void Form1::PictMiniture_Click(int index)
{
    const QString &tag = PictMiniture[static_cast<std::size_t>(index)]->tag();
    if (tag.isEmpty())
        return;
    // The URL carries the name's own bytes, UTF-8 or not.
    platform::openUrl(QUrl::fromEncoded("file://" + platform::octetsDeNom(tag).toPercentEncoding("/"),
                                        QUrl::StrictMode));
}

void Form1::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form1::Form_Resize()
{
    if (isMinimized())
        return;
    const std::optional<Disposition> d = Dispose(size());
    if (!d)
        return;
    CadrePhoto->setGeometry(d->CadrePhoto);
    BtnPhotoAvant->setGeometry(d->BtnPhotoAvant);
    BtnPhotoApres->setGeometry(d->BtnPhotoApres);
    BtnBasePhoto->setGeometry(d->BtnBasePhoto);
    LblNbBasePhoto->setGeometry(d->LblNbBasePhoto);
    LblNbPhotoOK->setGeometry(d->LblNbPhotoOK);
    Graphic->setGeometry(d->Graphic);
    for (PictureBox *pict : PictMiniture)
        pict->move(pict->x(), d->hautMiniatures);
    BtnGO_Click();
    TimerMiniature->start();
}

void Form1::BtnGO2_Click()
{
    if (!readNumber(TxtValeur->text()))
        return;
    LstCouple->clear();
    DrawingSurface &surface = Graphic->surface();
    surface.clear();
    range = RangeAncien(VitesseMaxBoitier);
    LstCouple->addItems(TraceAncien(chart(), readChartInputs(), scales));
    surface.refresh();
}

} // namespace kavel
