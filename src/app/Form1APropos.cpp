// The About panel on the chart and the links to the author.
#include "app/Apparence.h"
#include "app/Disposition.h"
#include "app/Form1.h"
#include "app/Images.h"
#include "platform/Desktop.h"
#include "platform/SurfaceWidget.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QUrl>

namespace kavel {

QString lienMail(const QString &sujet)
{
    QString lien = QStringLiteral("mailto:")
                   + QString::fromLatin1(QUrl::toPercentEncoding(platform::adresseAuteur(), "@"));
    if (!sujet.isEmpty())
        lien += QStringLiteral("?subject=") + QString::fromLatin1(QUrl::toPercentEncoding(sujet));
    return lien;
}

namespace {

void gras(QLabel *label, bool oui)
{
    QFont f = label->font();
    if (f.bold() == oui)
        return;
    f.setBold(oui);
    label->setFont(f);
}

// Opens a link; when no browser or mail program could be started, a box
// says so and gives what to copy by hand.
void ouvre(QWidget *fenetre, const QString &lien, const QString &sansLanceur)
{
    if (!platform::openUrl(QUrl::fromEncoded(lien.toLatin1(), QUrl::StrictMode)))
        platform::showMessage(
            fenetre, {QStringLiteral("Kavel"), sansLanceur, platform::BoxIcon::Information});
}

void ouvreSite(QWidget *fenetre)
{
    ouvre(fenetre, platform::siteAuteur(),
          QString::fromUtf8("Aucun navigateur n'a pu être ouvert.\nAdresse à copier : ")
              + platform::siteAuteur());
}

void ouvreMail(QWidget *fenetre, const QString &sujet = QString())
{
    QString texte = QString::fromUtf8("Aucun logiciel de messagerie n'a pu être ouvert.\n"
                                      "Adresse à copier : ")
                    + platform::adresseAuteur();
    if (!sujet.isEmpty())
        texte += QStringLiteral("\nObjet : ") + sujet;
    ouvre(fenetre, lienMail(sujet), texte);
}

QLabel *lien(QWidget *parent, const char *name, const QString &texte, const QRect &r)
{
    auto *l = new QLabel(texte, parent);
    l->setObjectName(QString::fromUtf8(name));
    l->setGeometry(r);
    l->setCursor(Qt::PointingHandCursor);
    l->setMouseTracking(true);
    return l;
}

QLabel *image(QWidget *parent, const char *name, const QRect &r)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QString::fromUtf8(name));
    l->setGeometry(r);
    return l;
}

// The panel's and the links' pictures, drawn for the pixel ratio of the
// window's screen so that they stay sharp on a dense one.
void dessineImages(Form1 &f)
{
    const qreal r = f.devicePixelRatioF();
    QPalette p = f.APropos->palette();
    p.setBrush(QPalette::Window, QBrush(images::fondAPropos(f.APropos->size(), r)));
    f.APropos->setPalette(p);
    f.Picture1->setPixmap(QPixmap::fromImage(images::diaphragme(f.Picture1->width(), r)));
    f.Picture2->setPixmap(QPixmap::fromImage(images::appareil(f.Picture2->size(), r)));
    f.Picture3->setPixmap(QPixmap::fromImage(images::insecte(f.Picture3->width(), r)));
    f.Picture4->setPixmap(QPixmap::fromImage(images::ampoule(f.Picture4->width(), r)));
}

} // namespace

void Form1::createAPropos()
{
    using namespace dessin;
    APropos = new QFrame(Graphic);
    APropos->setObjectName(QStringLiteral("APropos"));
    APropos->setGeometry(kAPropos);
    APropos->setFrameShape(QFrame::Box);
    APropos->setAutoFillBackground(true);
    APropos->setMouseTracking(true);
    {
        QPalette p = APropos->palette();
        p.setColor(QPalette::WindowText, couleurs::kTexteAPropos);
        APropos->setPalette(p);
    }
    Label14 = new QLabel(QStringLiteral("Kavel"), APropos);
    Label14->setObjectName(QStringLiteral("Label14"));
    Label14->setGeometry(kLabel14);
    Label14->setAlignment(Qt::AlignCenter);
    Label14->setAutoFillBackground(true);
    {
        QFont f(QStringLiteral("Courier New"));
        f.setPointSize(36);
        f.setBold(true);
        f.setStyleHint(QFont::Monospace);
        Label14->setFont(f);
        QPalette p = Label14->palette();
        p.setColor(QPalette::WindowText, couleurs::kTitreAPropos);
        p.setColor(QPalette::Window, couleurs::kFondTitreAPropos);
        Label14->setPalette(p);
    }
    LblVersion = new QLabel(QStringLiteral("Version"), APropos);
    LblVersion->setObjectName(QStringLiteral("LblVersion"));
    LblVersion->setGeometry(kLblVersion);
    LblVersion->setAlignment(Qt::AlignHCenter);
    Picture1 = image(APropos, "Picture1", kPicture1);
    Picture2 = image(APropos, "Picture2", kPicture2);
    Label15 = new QLabel(QStringLiteral("MAIL :"), APropos);
    Label15->setObjectName(QStringLiteral("Label15"));
    Label15->setGeometry(kLabel15);
    Label19 = lien(APropos, "Label19", platform::adresseAuteur(), kLabel19);
    Label16 = new QLabel(QStringLiteral("SITE : "), APropos);
    Label16->setObjectName(QStringLiteral("Label16"));
    Label16->setGeometry(kLabel16);
    Label18 = lien(APropos, "Label18", platform::siteAuteur(), kLabel18);
    auto *licence = new QLabel(
        QString::fromUtf8("Logiciel libre : GNU GPL, version 3 ou ultérieure"), APropos);
    licence->setObjectName(QStringLiteral("LblLicence"));
    licence->setGeometry(kLblLicence);
    licence->setAlignment(Qt::AlignHCenter);
    APropos->hide();
    // Escape closes the panel as a click does, wherever the focus is in the
    // window; the shortcut belongs to the panel, so it only acts while the
    // panel shows and leaves Escape to the controls otherwise.
    auto *echap = new QShortcut(QKeySequence(Qt::Key_Escape), APropos);
    echap->setContext(Qt::WindowShortcut);
    connect(echap, &QShortcut::activated, this, &Form1::APropos_Click);

    // On the window, under the input column.
    Picture3 = image(this, "Picture3", kPicture3);
    Picture3->setCursor(Qt::PointingHandCursor);
    Picture3->setMouseTracking(true);
    Label20 = lien(this, "Label20", QStringLiteral("Signaler un bug"), kLabel20);
    Label20->setToolTip(QStringLiteral("Merci ! (Essayez d'être précis dans la description du problème)"));
    Picture4 = image(this, "Picture4", kPicture4);
    Picture4->setCursor(Qt::PointingHandCursor);
    Picture4->setMouseTracking(true);
    Label21 = lien(this, "Label21", QString::fromUtf8("Proposer une amélioration"), kLabel21);
    Label21->setToolTip(QStringLiteral("Les plus petites idées sont souvent les meilleures"));
    Picture3->setToolTip(Label20->toolTip());
    Picture4->setToolTip(Label21->toolTip());
    dessineImages(*this);
    // Moved to a screen of another pixel ratio, as the chart is.
    connect(Graphic, &SurfaceWidget::devicePixelRatioChanged, this,
            [this] { dessineImages(*this); });
}

bool Form1::evenementSouris(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove:
        // Each takes its own moves: they must not reach the window's background.
        if (watched == TxtInfoBulle)
            TxtInfoBulle_MouseMove();
        else if (watched == Label18)
            Label18_MouseMove();
        else if (watched == Label19)
            Label19_MouseMove();
        else if (watched == Label20 || watched == Picture3)
            Label20_MouseMove();
        else if (watched == Label21 || watched == Picture4)
            Label21_MouseMove();
        else if (watched == APropos)
            APropos_MouseMove();
        else
            return false;
        return true;
    case QEvent::MouseButtonPress:
        if (watched == Label18)
            Label18_MouseDown();
        else if (watched == Label19)
            Label19_MouseDown();
        else
            return false;
        return true;
    case QEvent::MouseButtonRelease: {
        // The site and mail links opened on the press: their release is
        // theirs too, and must not reach the panel under them, which would close.
        if (watched == Label18 || watched == Label19)
            return true;
        const auto *souris = static_cast<QMouseEvent *>(event);
        const auto *w = static_cast<QWidget *>(watched);
        if (souris->button() != Qt::LeftButton || !w->rect().contains(souris->position().toPoint()))
            return false; // another button, or released elsewhere: no click
        if (watched == Label20 || watched == Picture3)
            Label20_Click();
        else if (watched == Label21 || watched == Picture4)
            Label21_Click();
        else if (watched == APropos || watched == Label14 || watched == LblVersion || watched == Picture1)
            APropos_Click();
        else
            return false;
        return true;
    }
    default:
        return false;
    }
}

void Form1::BtnAPropos_Click()
{
    APropos->setVisible(APropos->isHidden());
}

void Form1::APropos_Click()
{
    APropos->hide();
}

void Form1::APropos_MouseMove()
{
    for (QLabel *l : {Label18, Label19, Label20, Label21})
        gras(l, false);
}

void Form1::Label18_MouseMove()
{
    gras(Label18, true);
}

void Form1::Label19_MouseMove()
{
    gras(Label19, true);
}

void Form1::Label20_MouseMove()
{
    gras(Label20, true);
    gras(Label21, false);
}

void Form1::Label21_MouseMove()
{
    gras(Label21, true);
    gras(Label20, false);
}

void Form1::Label18_MouseDown()
{
    ouvreSite(this);
}

void Form1::Label19_MouseDown()
{
    ouvreMail(this);
}

void Form1::Label20_Click()
{
    ouvreMail(this, QStringLiteral("Bug dans Kavel"));
}

void Form1::Label21_Click()
{
    ouvreMail(this, QString::fromUtf8("J'ai une idée pour Kavel :-)"));
}

} // namespace kavel
