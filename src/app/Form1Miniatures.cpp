// The photo strip under the chart, the window's layout, and the older chart.
#include "app/Disposition.h"
#include "app/Form1.h"
#include "app/Style.h"
#include "chart/Legacy.h"
#include "exposure/NumberText.h"
#include "photos/vignettes/ChargeurVignettes.h"
#include "photos/vignettes/PhotoOuverte.h"
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

namespace kavel {

namespace {

constexpr int kHauteurMiniature = 73;
constexpr int kEcart = 8;                 // between two thumbnails
using namespace couleurs;

void fond(QWidget *w, QColor couleur)
{
    style::setBackground(w, QPalette::Window, couleur);
}

// What stands for a photo that cannot be read: a neutral grey frame, its
// top and bottom edges one pixel of the screen's ratio thick.
QImage neutre(QSize taille, qreal ratio)
{
    QImage image(enPixels(taille, ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(kVignetteIllisible);
    const int bord = std::max(1, int(std::lround(ratio)));
    for (int y = 0; y < bord; ++y)
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, kBordVignetteIllisible.rgb());
            image.setPixel(x, image.height() - 1 - y, kBordVignetteIllisible.rgb());
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
    fond(CadrePhoto, kBandeRepos);
    for (int i = 0; i < kNbMiniatures; ++i) {
        auto *pict = new PictureBox(this);
        pict->setObjectName(QStringLiteral("PictMiniture%1").arg(i));
        pict->setGeometry(miniature(i));
        style::setBackground(pict, QPalette::Window, kVignetteAttente);
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

    m_chargeur = new ChargeurVignettes(this);
    connect(m_chargeur, &ChargeurVignettes::prete, this, &Form1::vignetteArrivee);
}

// A picture made off the window's thread goes to every thumbnail that shows
// its photo and still waits for it, with the width its photo's size gives;
// one that cannot be read gets the placeholder. A slot whose width changed
// moves the slots after it.
void Form1::vignetteArrivee(const QString &path, QSize naturelle, const QImage &image)
{
    m_naturelles.insert(path, naturelle);
    bool deplace = false;
    for (PictureBox *pict : PictMiniture) {
        if (!pict->image().isNull() || pict->tag() != path)
            continue;
        const QSize taille = tailleFente(naturelle, fente());
        deplace = deplace || pict->size() != taille;
        pict->resize(taille);
        pict->setImage(image.isNull() ? neutre(pict->size(), CadrePhoto->devicePixelRatioF()) : image);
    }
    if (deplace) {
        if (const std::optional<double> niveau = readNumber(TxtValeur->text()))
            placeMiniatures(photosAuNiveau(TabPhotos, *niveau));
    }
    if (!vignettesEnAttente())
        emit miniaturesCompletes();
}

bool Form1::vignettesEnAttente() const
{
    return std::any_of(PictMiniture.begin(), PictMiniture.end(), [](const PictureBox *p) {
        return !p->isHidden() && !p->tag().isEmpty() && p->image().isNull();
    });
}

Fente Form1::fente() const
{
    return {kHauteurMiniature, 16 * CadrePhoto->width(), CadrePhoto->devicePixelRatioF()};
}

void Form1::BtnAfficheMiniature_Click()
{
    const std::optional<double> niveau = readNumber(TxtValeur->text());
    if (!niveau)
        return; // a level being typed: the strip stays as it is
    TxtDebug->clear();
    fond(CadrePhoto, kBandeCalcul);

    const std::vector<int> photos = photosAuNiveau(TabPhotos, *niveau);
    const int count = static_cast<int>(photos.size());
    LblNbPhotoOK->setText(QString::number(count) + QStringLiteral(" photos à ") + LblLUX->text());
    const bool attendues = placeMiniatures(photos);
    fond(CadrePhoto, kBandeRepos);
    TxtDebug->setPlainText(QString::number(count) + QStringLiteral(" photos\r\n\r\n") + TxtDebug->toPlainText());
    emit miniaturesRafraichies();
    if (!attendues)
        emit miniaturesCompletes();
}

// Which photo in each slot, its width and place, at once: the slots show a
// neutral fill until their picture comes from the loader, at the width of
// the photo's size once known (3:2 until then). A slot that keeps its photo
// keeps its picture.
bool Form1::placeMiniatures(const std::vector<int> &photos)
{
    const QRect cadre = CadrePhoto->geometry();
    int gauche = cadre.left() + kEcart;
    int precedente = 0; // the width of the slot before
    QStringList attendues;
    bool demandes = false;
    std::size_t j = 0;
    for (std::size_t k = static_cast<std::size_t>(std::max(0, IndexMiniature));
         k < photos.size() && j < PictMiniture.size(); ++k, ++j) {
        const TypePhoto &photo = TabPhotos[static_cast<std::size_t>(photos[k])];
        PictureBox *pict = PictMiniture[j];
        if (pict->tag() != photo.Fichier) {
            pict->resize(tailleFente(m_naturelles.value(photo.Fichier), fente()));
            pict->setImage(QImage());
            pict->setTag(photo.Fichier);
            pict->setToolTip(Speed2Txt(photo.ValSpeed) + QStringLiteral("  -  F/") + texteNombre(photo.ValDiaf)
                             + QStringLiteral("  -  Iso") + texteNombre(photo.ValIso));
        }
        if (j > 0)
            gauche += precedente + kEcart;
        precedente = pict->width();
        pict->move(gauche, pict->y());
        // Past the frame's right edge the slot stays hidden and the strip ends.
        const bool montree = j == 0 || gauche + pict->width() + kEcart <= cadre.left() + cadre.width();
        if (montree && pict->image().isNull()) {
            attendues << photo.Fichier;
            if (!m_chargeur->attend(photo.Fichier)) {
                if (!demandes) {
                    fond(CadrePhoto, kBandeCharge);
                    CadrePhoto->repaint();
                    demandes = true;
                }
                m_chargeur->demande(photo.Fichier, fente(), dessin::kNbMiniatures - static_cast<int>(j));
                ++m_vignettesChargees;
            }
        }
        pict->setVisible(montree);
        if (!montree) {
            ++j;
            break;
        }
    }
    for (; j < PictMiniture.size(); ++j)
        PictMiniture[j]->hide();
    m_chargeur->garde(attendues);
    return !attendues.isEmpty();
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
            c.surface.box(x - k, y - k, x + k, y + k, kRepereSurvol.rgba());
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
