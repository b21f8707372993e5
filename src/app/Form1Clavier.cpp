// The main window without a mouse: the order Tab follows, the controls it
// reaches and how they answer keys, and the names screen readers give them.
#include "app/Form1.h"

#include "platform/Couleurs.h"
#include "platform/DropDownComboBox.h"
#include "platform/PictureBox.h"
#include "platform/SurfaceWidget.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <algorithm>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

namespace kavel {

void Form1::regleClavier()
{
    // The input column from top to bottom, the buttons, the strip, the links.
    std::vector<QWidget *> ordre{TxtValeur, HScroll4, CmbBxSpeed, CmbBxDiaf, CmbBxIso, BtnCalculLumiere,
                                 CmbBxAppareil, BtnMesAppareils, CmbBxObjectif, TxtFocalMini, TxtFocalMaxi, TxtDiafMini,
                                 TxtDiafMiniZoom, TxtDiafMaxi, TxtDiafMaxiZoom, TxtVitesseMini, TxtVitesseMaxi,
                                 TxtIsoMini, TxtIsoMaxi, ChkBxFlash, ChkBxStabilisateur, CmbBxPerfStab, ChkBxVitesseLente,
                                 ChkBxToolTip, BtnGO, BtnGO2, Command1, BtnRépartition, BtnAfficheMiniature,
                                 BtnAPropos, BtnBasePhoto, BtnPhotoAvant};
    ordre.insert(ordre.end(), PictMiniture.begin(), PictMiniture.end());
    ordre.insert(ordre.end(), {BtnPhotoApres, Label20, Label21, Label19, Label18});
    // Shown texts, not controls: a click may still select in them.
    for (QWidget *w : findChildren<QWidget *>())
        if (w->focusPolicy() & Qt::TabFocus)
            w->setFocusPolicy(Qt::ClickFocus);
    for (QWidget *w : ordre)
        w->setFocusPolicy(qobject_cast<QLabel *>(w) || qobject_cast<PictureBox *>(w) ? Qt::TabFocus : Qt::StrongFocus);
    for (std::size_t i = 0; i + 1 < ordre.size(); ++i)
        setTabOrder(ordre[i], ordre[i + 1]);

    const std::pair<QWidget *, const char *> noms[] = {
        {TxtValeur, "Niveau de lumière (IL)"},   {HScroll4, "Niveau de lumière"},
        {CmbBxSpeed, "Vitesse"},                 {CmbBxDiaf, "Diaphragme"},
        {CmbBxIso, "Sensibilité ISO"},           {BtnCalculLumiere, "Calculer le niveau de lumière"},
        {CmbBxAppareil, "Boîtier"},              {CmbBxObjectif, "Objectif"},
        {BtnMesAppareils, "Mes appareils"},      {CmbBxPerfStab, "Gain du stabilisateur"},
        {TxtFocalMini, "Focale minimale"},       {TxtFocalMaxi, "Focale maximale"},
        {TxtDiafMini, "Ouverture maximale"},     {TxtDiafMiniZoom, "Ouverture maximale à la focale maximale"},
        {TxtDiafMaxi, "Ouverture minimale"},     {TxtDiafMaxiZoom, "Ouverture minimale à la focale maximale"},
        {TxtVitesseMini, "Vitesse la plus lente"}, {TxtVitesseMaxi, "Vitesse la plus rapide"},
        {TxtIsoMini, "Sensibilité minimale"},    {TxtIsoMaxi, "Sensibilité maximale"},
        {Graphic, "Graphique d'exposition"},     {LblLUXTxt, "Situations de ce niveau de lumière"},
        {LstCouple, "Couples vitesse et diaphragme"}, {TxtDebug, "Informations"},
        {BtnPhotoAvant, "Photo précédente"},     {BtnPhotoApres, "Photo suivante"},
        {CadrePhoto, "Photos prises à ce niveau de lumière"}, {TxtInfoBulle, "Explication"},
        {APropos, "À propos"}};
    for (const auto &[w, nom] : noms)
        w->setAccessibleName(QString::fromUtf8(nom));
    // A link with the focus is framed, as the other controls are; the
    // slider and the photos, which draw no focus of their own, get a frame
    // around them.
    for (QLabel *lien : {Label18, Label19, Label20, Label21})
        lien->setStyleSheet(QStringLiteral("QLabel:focus { border: 1px dotted %1; }").arg(couleurs::kLien.name()));
    m_cadreFocus = new QFrame(this);
    m_cadreFocus->setObjectName(QStringLiteral("CadreFocus"));
    m_cadreFocus->setStyleSheet(QStringLiteral("#CadreFocus { border: 2px solid %1; background: transparent; }").arg(couleurs::kLien.name()));
    m_cadreFocus->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_cadreFocus->hide();
    for (std::size_t i = 0; i < PictMiniture.size(); ++i)
        PictMiniture[i]->setAccessibleName(QStringLiteral("Photo %1").arg(i + 1));
    // Every other control is named by what it shows.
    for (QWidget *w : findChildren<QWidget *>()) {
        if (!w->accessibleName().isEmpty())
            continue;
        QString texte;
        if (auto *b = qobject_cast<QAbstractButton *>(w))
            texte = b->text();
        else if (auto *l = qobject_cast<QLabel *>(w))
            texte = l->text();
        texte.remove(QLatin1Char('&'));
        w->setAccessibleName(texte.isEmpty() ? w->toolTip() : texte);
    }
}

bool Form1::evenementClavier(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
        montreFocus(static_cast<QWidget *>(watched), event->type() == QEvent::FocusIn);
        return false;
    case QEvent::KeyPress:
        return watched == QApplication::focusWidget() && activeAuClavier(watched, static_cast<QKeyEvent *>(event)->key());
    default:
        return false;
    }
}

void Form1::montreFocus(QWidget *w, bool recu)
{
    const auto photo = std::find(PictMiniture.begin(), PictMiniture.end(), w);
    if (w != HScroll4 && photo == PictMiniture.end())
        return; // the others show their focus themselves
    m_cadreFocus->setVisible(recu);
    if (!recu)
        return;
    m_cadreFocus->setParent(w->parentWidget());
    m_cadreFocus->setGeometry(w->geometry().adjusted(-3, -3, 3, 3));
    m_cadreFocus->stackUnder(w);
    m_cadreFocus->show();
    // A photo reached by Tab is marked on the chart, as under the pointer.
    if (photo != PictMiniture.end())
        PictMiniture_MouseMove(static_cast<int>(photo - PictMiniture.begin()));
}

bool Form1::activeAuClavier(QObject *watched, int touche)
{
    if (touche != Qt::Key_Space && touche != Qt::Key_Return && touche != Qt::Key_Enter)
        return false;
    if (watched == Label18)
        Label18_MouseDown();
    else if (watched == Label19)
        Label19_MouseDown();
    else if (watched == Label20)
        Label20_Click();
    else if (watched == Label21)
        Label21_Click();
    else if (auto *bouton = qobject_cast<QPushButton *>(watched); bouton && touche != Qt::Key_Space)
        bouton->animateClick(); // Space is the button's own
    else if (const auto photo = std::find(PictMiniture.begin(), PictMiniture.end(), watched); photo != PictMiniture.end())
        PictMiniture_Click(static_cast<int>(photo - PictMiniture.begin()));
    else
        return false;
    return true;
}

} // namespace kavel
