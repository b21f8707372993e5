#include "app/Form1.h"

#include "app/Apparence.h"
#include "app/Disposition.h"
#include "app/Style.h"

#include "chart/Explications.h"
#include "chart/Repartition.h"
#include "equipment/Boitiers.h"
#include "equipment/Saisie.h"
#include "exposure/Lumiere.h"
#include "exposure/NumberText.h"
#include "exposure/Situations.h"
#include "photos/scan/FormRecherchePhoto.h"
#include "platform/Desktop.h"
#include "platform/DropDownComboBox.h"
#include "platform/SurfaceWidget.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

namespace kavel {

using style::setBackground;
using style::setTextColour;

namespace {

template <typename W>
W *named(W *widget, const char *name, const QRect &geometry)
{
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(geometry);
    return widget;
}

// The character a key press types, as the key handlers see it; 0 for keys
// that type nothing or only move (arrows, Home, End, Tab, Delete).
char16_t keyAscii(const QKeyEvent *key)
{
    switch (key->key()) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete: return 0;
    default: break;
    }
    // Ctrl with a key is an editing command (select all, copy, paste, undo),
    // not a typed character.
    if (key->modifiers() & Qt::ControlModifier)
        return 0;
    const QString text = key->text();
    return text.size() == 1 ? text[0].unicode() : 0;
}

bool isEnter(const QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<const QKeyEvent *>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

Form1::Form1()
    : Form1(platform::programFolder(), nullptr, Memoire::Utilisateur)
{
}

Form1::Form1(const QString &programFolder, QWidget *parent, Memoire memoire)
    : QWidget(parent)
    , m_programFolder(programFolder)
    , m_memoire(memoire)
{
    createControls();
    connectReactions();
    regleClavier();
    installKeyPreview();
    Form_Load();
}

void Form1::createControls()
{
    using namespace dessin;
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kavel - Logiciel didactique"));
    setPalette(paletteSombre());
    setAutoFillBackground(true);
    setMouseTracking(true);
    QFont f = font();
    f.setPixelSize(11);
    setFont(f);
    resize(kTailleInterieure);

    Graphic = named(new SurfaceWidget(this), "Graphic", kGraphic);

    // Light panel: a large label that forms its background.
    Label11 = named(new QLabel(QStringLiteral("Quantité de lumière"), this), "Label11", kPanneauLumiere);
    Label11->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label11->setAutoFillBackground(true);
    {
        QPalette p = Label11->palette();
        p.setColor(QPalette::Window, couleurs::kPanneauLumiere);
        p.setColor(QPalette::WindowText, couleurs::kLegendePanneau);
        Label11->setPalette(p);
    }
    Label6 = named(new QLabel(QStringLiteral("Lumière en EV"), this), "Label6", kLabel6);
    TxtValeur = named(new QLineEdit(QStringLiteral("11"), this), "TxtValeur", kTxtValeur);
    TxtValeur->setToolTip(QStringLiteral("Quantité de lumière en EV (à 100 iso), de -6 à 18"));
    HScroll4 = named(new QScrollBar(Qt::Horizontal, this), "HScroll4", kHScroll4);
    HScroll4->setRange(kNiveauMin, kNiveauMax);
    HScroll4->setSingleStep(1);
    HScroll4->setPageStep(10);
    HScroll4->setValue(110);
    HScroll4->setTracking(false); // a drag reports positions, the value changes on release
    // A scroll bar's keys and wheel run against its arrows; the level rises
    // with Right, Up, Page Up and the wheel turned up.
    HScroll4->setInvertedControls(false);
    HScroll4->setToolTip(QStringLiteral("Quantité de lumière"));
    Label9 = named(new QLabel(QStringLiteral("Lumière en Lux"), this), "Label9", kLabel9);
    LblLUX = named(new QLabel(QStringLiteral("-"), this), "LblLUX", kLblLUX);
    LblLUX->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    style::blancSurNoir(LblLUX); // readable on any grey of the panel
    Label17 = named(new QLabel(QStringLiteral("Exemples"), this), "Label17", kLabel17);
    LblLUXTxt = named(new QPlainTextEdit(this), "LblLUXTxt", kLblLUXTxt);
    LblLUXTxt->setReadOnly(true);
    LblLUXTxt->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    LblLUXTxt->setToolTip(QStringLiteral("Exemple de situations (selon wikipedia) ou l'on trouve "));
    {
        QFont small = font();
        small.setPixelSize(10);
        LblLUXTxt->setFont(small);
    }

    Label10 = named(new QLabel(QStringLiteral("Triplet (Vitesse, diaphragme, Iso) donnant une exposition "
                                              "correcte pour une lumière donnée"),
                               this),
                    "Label10", kLabel10);
    Label10->setWordWrap(true);
    Label10->setAlignment(Qt::AlignLeft | Qt::AlignBottom);

    CmbBxSpeed = named(new DropDownComboBox(this), "CmbBxSpeed", kCmbBxSpeed);
    CmbBxSpeed->setEditText(QStringLiteral("Speed"));
    CmbBxDiaf = named(new DropDownComboBox(this), "CmbBxDiaf", kCmbBxDiaf);
    CmbBxDiaf->setEditText(QStringLiteral("Diaf"));
    CmbBxIso = named(new DropDownComboBox(this), "CmbBxIso", kCmbBxIso);
    CmbBxIso->setEditText(QStringLiteral("Iso"));
    BtnCalculLumiere = named(new QPushButton(QStringLiteral("OK"), this), "BtnCalculLumiere", kBtnCalculLumiere);
    BtnCalculLumiere->setToolTip(QStringLiteral("Calcule la quantité de lumière du triplet choisi"));

    // Body and lens.
    CmbBxAppareil = named(new DropDownComboBox(this), "CmbBxAppareil", kCmbBxAppareil);
    CmbBxAppareil->addItems(nomsBoitiers());
    CmbBxAppareil->setCurrentIndex(0);
    CmbBxAppareil->setToolTip(QStringLiteral("Boîtier : tapez une partie de son nom pour le trouver"));
    BtnMesAppareils = named(new QPushButton(QStringLiteral("…"), this), "BtnMesAppareils", kBtnMesAppareils);
    BtnMesAppareils->setToolTip(QStringLiteral("Mes appareils… : vos boîtiers et vos objectifs"));
    CmbBxObjectif = named(new DropDownComboBox(this), "CmbBxObjectif", kCmbBxObjectif);
    CmbBxObjectif->addItems({QStringLiteral("Canon EF-S 18-55mm F3.5-5.6"), QStringLiteral("Canon EF 70-200mm F/4 L"),
                             QStringLiteral("Canon EF 50mm F/1.4"), QStringLiteral("Canon EF-S 17-55mm f/2.8 IS USM")});
    CmbBxObjectif->setCurrentIndex(-1);
    CmbBxObjectif->setEditText(QStringLiteral("EF-S 18-55mm F3.5-5.6"));
    CmbBxObjectif->setToolTip(QStringLiteral("Objectif"));

    // Lens and limits.
    const auto legendeDe = [this](const QString &text, int top, const QString &tip) {
        auto *l = new QLabel(text, this);
        l->setGeometry(legende(top));
        l->setToolTip(tip);
    };
    const auto texte = [this](const char *name, const QRect &r, const QString &text, const QString &tip) {
        auto *t = named(new QLineEdit(text, this), name, r);
        t->setToolTip(tip);
        return t;
    };
    legendeDe(QStringLiteral("Focales"), kLigneFocales, QStringLiteral("Focales mini et maxi de l'objectif (mm)"));
    TxtFocalMini = texte("TxtFocalMini", ligne(kLigneFocales, kCol1), QStringLiteral("18"),
                         QStringLiteral("Focale mini de l'objectif"));
    TxtFocalMaxi = texte("TxtFocalMaxi", ligne(kLigneFocales, kCol2), QStringLiteral("55"),
                         QStringLiteral("Focale maxi de l'objectif"));
    LblDiafZoomMini = named(new QLabel(QStringLiteral("à 18mm F/"), this), "LblDiafZoomMini",
                            titreDiaf(kCol1));
    LblDiafZoomMaxi = named(new QLabel(QStringLiteral("à 55mm F/"), this), "LblDiafZoomMaxi",
                            titreDiaf(kCol2));
    legendeDe(QStringLiteral("Ouverture"), kLigneOuverture, QStringLiteral("Pleine ouverture de l'objectif"));
    TxtDiafMini = texte("TxtDiafMini", ligne(kLigneOuverture, kCol1), QStringLiteral("3,5"),
                        QStringLiteral("Pleine ouverture à la focale mini"));
    TxtDiafMiniZoom = texte("TxtDiafMiniZoom", ligne(kLigneOuverture, kCol2), QStringLiteral("5,6"),
                            QStringLiteral("Pleine ouverture à la focale maxi"));
    legendeDe(QStringLiteral("Fermeture"), kLigneFermeture, QStringLiteral("Fermeture maximale du diaphragme"));
    TxtDiafMaxi = texte("TxtDiafMaxi", ligne(kLigneFermeture, kCol1), QStringLiteral("22"),
                        QStringLiteral("Fermeture maxi à la focale mini"));
    TxtDiafMaxiZoom = texte("TxtDiafMaxiZoom", ligne(kLigneFermeture, kCol2), QStringLiteral("38"),
                            QStringLiteral("Fermeture maxi à la focale maxi (Non représenté)"));
    legendeDe(QStringLiteral("Vitesses"), kLigneVitesses,
              QStringLiteral("Vitesses la plus lente et la plus rapide utilisables (1/s)"));
    TxtVitesseMini = texte("TxtVitesseMini", ligne(kLigneVitesses, kCol1), QStringLiteral("1"),
                           QStringLiteral("Vitesse la plus lente (1/s)"));
    TxtVitesseMaxi = texte("TxtVitesseMaxi", ligne(kLigneVitesses, kCol2), QStringLiteral("4000"),
                           QStringLiteral("Vitesse la plus rapide (1/s)"));
    legendeDe(QStringLiteral("Iso"), kLigneIsos, QStringLiteral("Sensibilités mini et maxi du boîtier"));
    TxtIsoMini = texte("TxtIsoMini", ligne(kLigneIsos, kCol1), QStringLiteral("100"),
                       QStringLiteral("Sensibilité mini"));
    TxtIsoMaxi = texte("TxtIsoMaxi", ligne(kLigneIsos, kCol2), QStringLiteral("1600"),
                       QStringLiteral("Sensibilité maxi"));

    ChkBxFlash = named(new QCheckBox(QStringLiteral("Flash interne (1/200)"), this), "ChkBxFlash", kChkBxFlash);
    ChkBxFlash->setToolTip(QStringLiteral("L'utilisation du flash limite la vitesse à 1/200s."));
    ChkBxStabilisateur = named(new QCheckBox(QStringLiteral("Stabilisateur"), this), "ChkBxStabilisateur",
                               kChkBxStabilisateur);
    ChkBxStabilisateur->setToolTip(QStringLiteral("Tous les stabilisateurs n'ont pas les même performances. "
                                                  "Ici les limites sont toutes décalées de \"2 vitesses\""));
    CmbBxPerfStab = named(new DropDownComboBox(this), "CmbBxPerfStab", kCmbBxPerfStab);
    CmbBxPerfStab->addItems({QStringLiteral(":-( Ya Pas"), QStringLiteral("1 vitesse"), QStringLiteral("2 vitesses"),
                             QStringLiteral("3 vitesses"), QStringLiteral("4 vitesses"), QStringLiteral("5 vitesses"),
                             QStringLiteral("6 vitesses"), QStringLiteral("7 vitesses"), QStringLiteral("8 vitesses")});
    CmbBxPerfStab->setCurrentIndex(3);
    CmbBxPerfStab->lineEdit()->setReadOnly(true);
    CmbBxPerfStab->setEnabled(false); // the program's own bodies keep their two speeds
    CmbBxPerfStab->setToolTip(QStringLiteral("Gain du stabilisateur, pour les boîtiers du catalogue et les vôtres"));
    ChkBxVitesseLente = named(new QCheckBox(QStringLiteral("Afficher les vitesses lentes"), this),
                              "ChkBxVitesseLente", kChkBxVitesseLente);
    ChkBxVitesseLente->setToolTip(QStringLiteral("Étend le graphique aux poses de 2 à 30 secondes"));

    ChkBxToolTip = named(new QCheckBox(QStringLiteral("Bulles d'aide"), this), "ChkBxToolTip", kChkBxToolTip);
    ChkBxToolTip->setToolTip(QStringLiteral("Explique ce qui se trouve sous la souris dans le graphique"));
    ChkBxToolTip->setChecked(true);

    BtnGO = named(new QPushButton(QStringLiteral("Recalcul"), this), "BtnGO", kBtnGO);
    BtnGO->setToolTip(QStringLiteral("Redessine le graphique"));
    Command1 = named(new QPushButton(QStringLiteral("Test Performance"), this), "Command1", kCommand1);
    Command1->setToolTip(QStringLiteral("Durée de vingt recalculs, affichée dans le titre de la fenêtre"));
    LstCouple = named(new QListWidget(this), "LstCouple", kLstCouple);
    BtnRépartition = named(new QPushButton(QStringLiteral("Répartition"), this), "BtnRépartition", kBtnRepartition);
    BtnRépartition->setToolTip(QStringLiteral("Nombre de photos de la base à chaque quantité de lumière, de -6 à 18 EV"));

    // Photo base, under the chart (the layout moves them with the window).
    BtnBasePhoto = named(new QPushButton(QStringLiteral("Création base photos"), this), "BtnBasePhoto",
                         kBtnBasePhoto);
    BtnBasePhoto->setToolTip(QStringLiteral("Recherche vos photos et lit leurs informations d'exposition"));
    {
        QFont petit = BtnBasePhoto->font();
        petit.setPixelSize(10);
        BtnBasePhoto->setFont(petit);
    }
    LblNbBasePhoto = named(new QLabel(QStringLiteral("-"), this), "LblNbBasePhoto", kLblNbBasePhoto);
    LblNbBasePhoto->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    style::blancSurNoir(LblNbBasePhoto);

    BtnGO2 = named(new QPushButton(QStringLiteral("GO old"), this), "BtnGO2", kBtnGO2);
    BtnGO2->setToolTip(QStringLiteral("Ancien tracé : toutes les combinaisons standard de la lumière choisie"));
    BtnAfficheMiniature = named(new QPushButton(QStringLiteral("Affiche Miniature"), this), "BtnAfficheMiniature",
                                kBtnAfficheMiniature);
    BtnAfficheMiniature->setToolTip(QStringLiteral("Montre les photos prises à cette quantité de lumière"));
    BtnAPropos = named(new QPushButton(QStringLiteral("A propos"), this), "BtnAPropos", kBtnAPropos);
    TxtDebug = named(new QPlainTextEdit(this), "TxtDebug", kTxtDebug);
    TxtDebug->setReadOnly(true);

    createStrip();
    // About panel, on the chart, hidden until asked for; the links to the author.
    createAPropos();

    // The chart's explanation box follows the pointer over the chart.
    TxtInfoBulle = named(new QLabel(Graphic), "TxtInfoBulle", QRect(QPoint(0, 0), kTailleBulleZone));
    TxtInfoBulle->setWordWrap(true);
    TxtInfoBulle->setAutoFillBackground(true);
    TxtInfoBulle->setFrameShape(QFrame::Box);
    TxtInfoBulle->setMargin(2);
    TxtInfoBulle->setMouseTracking(true);
    {
        QFont small = font();
        small.setPixelSize(10);
        TxtInfoBulle->setFont(small);
        QPalette p = TxtInfoBulle->palette();
        p.setColor(QPalette::WindowText, couleurs::kTexteExplication);
        TxtInfoBulle->setPalette(p);
    }
    TxtInfoBulle->hide();

    TimerMiniature = new QTimer(this);
    TimerMiniature->setObjectName(QStringLiteral("TimerMiniature"));
    TimerMiniature->setInterval(400);
    TimerMiniature->setSingleShot(true);
}

void Form1::connectReactions()
{
    connect(BtnGO, &QPushButton::clicked, this, &Form1::BtnGO_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(BtnBasePhoto, &QPushButton::clicked, this, &Form1::BtnBasePhoto_Click);
    connect(BtnRépartition, &QPushButton::clicked, this, &Form1::BtnRépartition_Click);
    connect(BtnGO2, &QPushButton::clicked, this, &Form1::BtnGO2_Click);
    connect(BtnAfficheMiniature, &QPushButton::clicked, this, &Form1::BtnAfficheMiniature_Click);
    connect(BtnAPropos, &QPushButton::clicked, this, &Form1::BtnAPropos_Click);
    connect(ChkBxFlash, &QCheckBox::toggled, this, &Form1::ChkBxFlash_Click);
    connect(ChkBxStabilisateur, &QCheckBox::toggled, this, &Form1::ChkBxStabilisateur_Click);
    connect(ChkBxVitesseLente, &QCheckBox::toggled, this, &Form1::ChkBxVitesseLente_Click);
    // The user's choice only, not an index change from filling the list.
    connect(CmbBxAppareil, &QComboBox::activated, this, &Form1::CmbBxAppareil_Click);
    connect(CmbBxObjectif, &QComboBox::activated, this, &Form1::CmbBxObjectif_Click);
    connect(CmbBxPerfStab, &QComboBox::activated, this, &Form1::CmbBxPerfStab_Click);
    connect(BtnMesAppareils, &QPushButton::clicked, this, &Form1::BtnMesAppareils_Click);
    connect(TxtFocalMini, &QLineEdit::textChanged, this, &Form1::TxtFocalMini_Change);
    connect(TxtFocalMaxi, &QLineEdit::textChanged, this, &Form1::TxtFocalMaxi_Change);

    connect(HScroll4, &QScrollBar::sliderMoved, this, &Form1::HScroll4_Scroll);
    connect(HScroll4, &QScrollBar::valueChanged, this, &Form1::HScroll4_Change);
    // A drag released where it started changes no value, yet it ends the drag.
    connect(HScroll4, &QScrollBar::sliderReleased, this, [this] {
        if (HScroll4->sliderPosition() == HScroll4->value())
            HScroll4_Change();
    });
    connect(TxtValeur, &QLineEdit::textChanged, this, &Form1::TxtValeur_Change);
    connect(BtnCalculLumiere, &QPushButton::clicked, this, &Form1::BtnCalculLumiere_Clic);
    // A paste or a drop goes through the rule typing follows.
    for (QLineEdit *boite : {TxtValeur, TxtFocalMini, TxtFocalMaxi, TxtDiafMini, TxtDiafMiniZoom,
                             TxtDiafMaxi, TxtDiafMaxiZoom, TxtVitesseMini, TxtVitesseMaxi,
                             TxtIsoMini, TxtIsoMaxi})
        boite->setValidator(new ValidateurSaisie(boite == TxtValeur, boite));
    // Enter in a calculator list's open list is a key in that list: it
    // computes, with the item it has just chosen.
    for (DropDownComboBox *liste : {CmbBxSpeed, CmbBxDiaf, CmbBxIso})
        connect(liste, &DropDownComboBox::choixAuClavier, this, &Form1::BtnCalculLumiere_Click);
    connect(TimerMiniature, &QTimer::timeout, this, &Form1::TimerMiniature_Timer);
    connect(Graphic, &SurfaceWidget::mouseMoved, this, &Form1::Graphic_MouseMove);
    // Moved to a screen of another pixel density: the chart is drawn again for it.
    connect(Graphic, &SurfaceWidget::devicePixelRatioChanged, this, &Form1::BtnGO_Click);

    // A list's own colours: the list may lose the focus while the window is
    // being destroyed, so these touch the list alone.
    for (DropDownComboBox *liste : {CmbBxAppareil, CmbBxObjectif, CmbBxSpeed, CmbBxDiaf, CmbBxIso}) {
        connect(liste, &DropDownComboBox::listeOuverte, liste,
                [liste] { setBackground(liste, QPalette::Base, couleurs::kListeOuverte); });
        connect(liste, &DropDownComboBox::focusPerdu, liste,
                [liste] { setBackground(liste, QPalette::Base, couleurs::kSaisie); });
    }
}

// The window sees Enter before the focused control does, wherever the focus is.
void Form1::installKeyPreview()
{
    for (QWidget *child : findChildren<QWidget *>())
        child->installEventFilter(this);
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    // Keys are handled at the control they are for: a key that control
    // ignores is passed on to its parents, which must not see it again.
    if (event->type() == QEvent::KeyPress && watched == QApplication::focusWidget()
        && static_cast<QWidget *>(watched)->window() == this) {
        if (isEnter(event))
            Form_KeyPress(13);
        if (watched == CmbBxIso)
            BtnCalculLumiere_Click(); // every key that goes down, typing or not
        const char16_t k = keyAscii(static_cast<QKeyEvent *>(event));
        if (k != 0) {
            const char16_t filtre = KeyPress(watched, k);
            if (filtre != k) {
                if (auto *box = qobject_cast<QLineEdit *>(watched); box && filtre != 0)
                    box->insert(QString(QChar(filtre)));
                return true;
            }
        }
    }
    // The explanation is of what lies under the pointer on the chart only.
    if (watched == Graphic && event->type() == QEvent::Leave)
        TxtInfoBulle->hide();
    if (evenementClavier(watched, event))
        return true;
    if (evenementSouris(watched, event))
        return true; // the chart under the box, the window under a link, must not see it
    return QWidget::eventFilter(watched, event);
}

char16_t Form1::KeyPress(QObject *control, char16_t keyAscii)
{
    if (control == TxtIsoMini || control == TxtIsoMaxi || control == TxtVitesseMini || control == TxtVitesseMaxi
        || control == TxtFocalMini || control == TxtFocalMaxi)
        return LimitationSaisie(keyAscii);
    if (control == TxtDiafMaxi || control == TxtDiafMini)
        return TxtDiafMaxi_KeyPress(keyAscii);
    if (control == TxtDiafMiniZoom || control == TxtDiafMaxiZoom) // hidden for a fixed focal length
        return TxtFocalMaxi->text() != TxtFocalMini->text() ? TxtDiafMaxi_KeyPress(keyAscii) : keyAscii;
    if (control == TxtValeur) // a level may be negative
        return keyAscii == u'-' ? keyAscii : LimitationSaisie(keyAscii);
    if (control == CmbBxSpeed || control == CmbBxDiaf)
        BtnCalculLumiere_Click();
    return keyAscii;
}

// Editing an aperture makes the lens the user's own, whether the key is kept or not.
char16_t Form1::TxtDiafMaxi_KeyPress(char16_t keyAscii)
{
    const char16_t filtre = LimitationSaisie(keyAscii);
    if (!bChangementObjectif)
        CmbBxObjectif->setEditText(QString());
    return filtre;
}

void Form1::keyPressEvent(QKeyEvent *event)
{
    QWidget *focus = QApplication::focusWidget();
    if (isEnter(event) && (focus == nullptr || focus == this))
        Form_KeyPress(13);
    QWidget::keyPressEvent(event);
}

bool Form1::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate)
        Form_Activate();
    const bool restauree = event->type() == QEvent::WindowStateChange
        && (static_cast<QWindowStateChangeEvent *>(event)->oldState() & Qt::WindowMinimized) && !isMinimized();
    const bool traite = QWidget::event(event);
    if (restauree)
        Form_Resize(); // back from the task bar at the same size: laid out and drawn again
    return traite;
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    QWidget::closeEvent(event);
}

void Form1::mouseMoveEvent(QMouseEvent *event)
{
    Form_MouseMove();
    QWidget::mouseMoveEvent(event);
}

void Form1::InitRange()
{
    range = kavel::InitRange(VitesseMaxBoitier);
}

ChartView Form1::chart() const
{
    return ChartView{Graphic->surface(), range};
}

ChartInputs Form1::readChartInputs() const
{
    ChartInputs in;
    in.valeur = readNumber(TxtValeur->text());
    in.focalMiniText = TxtFocalMini->text();
    in.focalMaxiText = TxtFocalMaxi->text();
    in.focalMini = readNumber(in.focalMiniText);
    in.focalMaxi = readNumber(in.focalMaxiText);
    in.diafMiniText = TxtDiafMini->text();
    in.diafMiniZoomText = TxtDiafMiniZoom->text();
    in.diafMini = readNumber(in.diafMiniText);
    in.diafMiniZoom = readNumber(in.diafMiniZoomText);
    in.diafMaxiText = TxtDiafMaxi->text();
    in.diafMaxi = readNumber(in.diafMaxiText);
    in.diafMaxiZoom = readNumber(TxtDiafMaxiZoom->text());
    in.vitesseMini = readNumber(TxtVitesseMini->text());
    in.vitesseMaxi = readNumber(TxtVitesseMaxi->text());
    in.isoMini = readNumber(TxtIsoMini->text());
    in.isoMaxi = readNumber(TxtIsoMaxi->text());
    in.vitesseLente = ChkBxVitesseLente->isChecked();
    in.stabilisateur = ChkBxStabilisateur->isChecked();
    in.flash = ChkBxFlash->isChecked();
    in.vitesseMaxBoitier = VitesseMaxBoitier;
    in.vitesseFlash = VitesseFlash;
    if (BoitierChoisi) {
        // Today's bodies: the blur limit by the 24x36 equivalent, the
        // stabiliser's gain as chosen.
        in.recadrage = BoitierChoisi->Recadrage > 0 ? BoitierChoisi->Recadrage : 1;
        in.gainStabilisateur = std::exp2(std::max(0, CmbBxPerfStab->currentIndex()));
    }
    in.speedChoice = CmbBxSpeed->currentIndex();
    in.diafChoice = readNumber(CmbBxDiaf->currentText());
    return in;
}

void Form1::BtnGO_Click()
{
    if (!readNumber(TxtValeur->text()))
        return; // a level being typed: the old chart stays

    // A fixed-focal lens has the same apertures at both ends.
    if (TxtFocalMini->text() == TxtFocalMaxi->text()) {
        TxtDiafMiniZoom->setText(TxtDiafMini->text());
        TxtDiafMaxiZoom->setText(TxtDiafMaxi->text());
    }

    LstCouple->clear();
    DrawingSurface &surface = Graphic->surface();
    surface.clear();
    TabCouple.clear();
    NbCouple = 0;
    PhotoSurvolVitesse = 0;
    PhotoSurvolDiaf = 0;

    InitRange();
    range.LogVitesseMin = ChkBxVitesseLente->isChecked() ? std::log(1.0 / 40) : std::log(1 / 1.4);

    const ChartInputs in = readChartInputs();
    // The values as the chart has just read them, each with its box.
    if (!controleSaisie(
            {{TxtFocalMini, in.focalMini, "Focales (focale mini)", kPlageFocale},
             {TxtFocalMaxi, in.focalMaxi, "Focales (focale maxi)", kPlageFocale},
             {TxtDiafMini, in.diafMini, "Ouverture (pleine ouverture)", kPlageOuverture},
             {TxtDiafMiniZoom, in.diafMiniZoom, "Ouverture (pleine ouverture à la focale maxi)",
              kPlageOuverture},
             {TxtDiafMaxi, in.diafMaxi, "Fermeture (fermeture maxi)", kPlageOuverture},
             {TxtDiafMaxiZoom, in.diafMaxiZoom, "Fermeture (fermeture maxi à la focale maxi)",
              kPlageOuverture},
             {TxtVitesseMini, in.vitesseMini, "Vitesses (la plus lente)", kPlageVitesse},
             {TxtVitesseMaxi, in.vitesseMaxi, "Vitesses (la plus rapide)", kPlageVitesse},
             {TxtIsoMini, in.isoMini, "Iso (sensibilité mini)", kPlageIso},
             {TxtIsoMaxi, in.isoMaxi, "Iso (sensibilité maxi)", kPlageIso}})) {
        surface.refresh();
        return;
    }

    TraceGraphique(chart(), in, echellesGraphique, TabCouple);
    NbCouple = static_cast<int>(TabCouple.size());
    surface.refresh();
}

void Form1::Command1_Click()
{
    // A monotonic clock: the time of day would go backwards at midnight.
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 20; ++i)
        BtnGO_Click();
    setWindowTitle(numTextSingle(static_cast<float>(timer.nsecsElapsed() / 1e9)));
}

void Form1::LimiteBoitier(double VFlash, double VMax, double IsoMini, double IsoMax)
{
    if (VFlash > 1) {
        VitesseFlash = VFlash;
        ChkBxFlash->setText(QStringLiteral("Flash interne (1/") + numText(VFlash) + QLatin1Char(')'));
        ChkBxFlash->setToolTip(QStringLiteral("L'utilisation du flash limite la vitesse à 1/") + numText(VFlash)
                               + QStringLiteral("s."));
        ChkBxFlash->setEnabled(true);
    } else {
        VitesseFlash = 0;
        ChkBxFlash->setText(QStringLiteral("Pas de flash interne"));
        ChkBxFlash->setChecked(false); // runs ChkBxFlash_Click when it was ticked
        ChkBxFlash->setEnabled(false);
    }
    TxtIsoMini->setText(numText(IsoMini));
    TxtIsoMaxi->setText(numText(IsoMax));
    VitesseMaxBoitier = VMax;
    if (VFlash > 0 && ChkBxFlash->isChecked())
        TxtVitesseMaxi->setText(numText(VFlash));
    else
        TxtVitesseMaxi->setText(numText(VitesseMaxBoitier));
}

void Form1::ChkBxFlash_Click()
{
    TxtVitesseMaxi->setText(numText(ChkBxFlash->isChecked() ? VitesseFlash : VitesseMaxBoitier));
    BtnGO_Click();
}

void Form1::ChkBxStabilisateur_Click()
{
    BtnGO_Click();
}

void Form1::ChkBxVitesseLente_Click()
{
    TxtVitesseMini->setText(ChkBxVitesseLente->isChecked() ? QStringLiteral("0,0333") : QStringLiteral("1"));
    BtnGO_Click();
}

void Form1::CmbBxObjectif_Click()
{
    const int index = CmbBxObjectif->currentIndex();
    if (index < 0 || index >= NbObjectifs)
        return;
    choisitObjectif(TabObjectifs[static_cast<std::size_t>(index)]);
    if (m_memoire == Memoire::Utilisateur && !m_restauration)
        enregistreReglages(); // the lens chosen last comes back at the next start
}

void Form1::choisitObjectif(const TypeObjectif &r)
{
    bChangementObjectif = true;
    // A narrowest aperture no source gives is an estimate, and says so.
    const QString estimee = r.FermetureEstimee ? QStringLiteral(" (estimée : la base d'objectifs ne la donne pas)")
                                               : QString();
    TxtDiafMaxi->setToolTip(QStringLiteral("Fermeture maxi à la focale mini") + estimee);
    TxtDiafMaxiZoom->setToolTip(QStringLiteral("Fermeture maxi à la focale maxi (Non représenté)") + estimee);
    TxtFocalMini->setText(numTextSingle(r.FocalMini));
    TxtFocalMaxi->setText(numTextSingle(r.FocalMaxi));
    TxtDiafMini->setText(numTextSingle(r.DiafMini));
    TxtDiafMiniZoom->setText(numTextSingle(r.DiafMiniZoom));
    TxtDiafMaxi->setText(numTextSingle(r.DiafMaxi));
    TxtDiafMaxiZoom->setText(numTextSingle(r.DiafMaxiZoom));
    ChkBxStabilisateur->setChecked(r.Stabilisateur == 1);
    // A focal box that keeps its text (85 mm, then 17-85 mm) sends no change:
    // the zoom column must still follow the chosen lens.
    ColonneZoom();
    BtnGO_Click();
    bChangementObjectif = false;
}

void Form1::TxtFocalMini_Change()
{
    if (!bChangementObjectif)
        CmbBxObjectif->setEditText(QString()); // the values are the user's own now
    LblDiafZoomMini->setText(QStringLiteral("à ") + TxtFocalMini->text() + QStringLiteral("mm F/"));
    if (!bChangementObjectif)
        RegleFocaleFixe();
}

void Form1::TxtFocalMaxi_Change()
{
    if (!bChangementObjectif)
        CmbBxObjectif->setEditText(QString());
    LblDiafZoomMaxi->setText(QStringLiteral("à ") + TxtFocalMaxi->text() + QStringLiteral("mm F/"));
    RegleFocaleFixe();
}

// A fixed focal length has one column of apertures: the zoom column is
// hidden and takes the values of the short end.
bool Form1::ColonneZoom()
{
    const bool fixe = TxtFocalMini->text() == TxtFocalMaxi->text();
    LblDiafZoomMaxi->setVisible(!fixe);
    TxtDiafMiniZoom->setVisible(!fixe);
    TxtDiafMaxiZoom->setVisible(!fixe);
    return fixe;
}

void Form1::RegleFocaleFixe()
{
    if (bEchangeFocales)
        return;
    if (ColonneZoom()) {
        TxtDiafMiniZoom->setText(TxtDiafMini->text());
        TxtDiafMaxiZoom->setText(TxtDiafMaxi->text());
    }
}

void Form1::HScroll4_Scroll(int position)
{
    bInhibeMiniature = false; // a drag: the thumbnails wait for its end
    TxtValeur->setText(numText(position / 10.0));
}

void Form1::HScroll4_Change()
{
    if (!bInhibeMiniature)
        BtnAfficheMiniature_Click(); // the end of a drag
    bInhibeMiniature = true;
    TxtValeur->setText(numText(HScroll4->value() / 10.0));
}

void Form1::TxtValeur_Change()
{
    std::optional<double> v = readNumber(TxtValeur->text());
    if (!v)
        return; // still being typed
    if (*v < kNiveauMin / 10.0) {
        v = kNiveauMin / 10.0;
        TxtValeur->setText(numText(*v)); // runs this update for the corrected level
    }
    if (*v > kNiveauMax / 10.0) {
        v = kNiveauMax / 10.0;
        TxtValeur->setText(numText(*v));
    }
    // The thumb follows a level typed or set elsewhere, without its own
    // reaction: it would write its rounded level back over the text. During
    // a drag the level comes from the thumb.
    if (!HScroll4->isSliderDown()) {
        const QSignalBlocker muet(HScroll4);
        HScroll4->setValue(static_cast<int>(std::nearbyint(*v * 10)));
    }
    if (!bCalculLumiere) {
        // The level no longer comes from the triplet.
        for (auto [liste, texte] : {std::pair{CmbBxDiaf, "Diaf"}, std::pair{CmbBxIso, "Iso"}, std::pair{CmbBxSpeed, "Speed"}}) {
            liste->setCurrentIndex(-1);
            liste->setEditText(QString::fromLatin1(texte));
        }
    }

    const int g = niveauGris(*v);
    setBackground(Label11, QPalette::Window, QColor(g, g, g));
    const QColor legende = gris(*v) > 160 ? couleurs::kLegendeSurClair : couleurs::kLegendeSurSombre;
    for (QLabel *label : {Label11, Label6, Label9, Label17})
        setTextColour(label, legende);

    const double niveau = readNumber(TxtValeur->text()).value_or(*v);
    LblLUX->setText(texteLux(EV2LUX(niveau)));
    LblLUX_Change();
    LblLUX->setText(LblLUX->text().replace(QStringLiteral(", lux"), QStringLiteral(" lux")));
    LblLUX_Change();
    LblLUX->setToolTip(QStringLiteral("Valeur exacte : ") + numText(std::exp2(niveau) * 2.5) + QStringLiteral(" lux"));
    LblLUXTxt->setPlainText(EV2TXTFrench(static_cast<float>(niveau)));

    BtnGO_Click();
    if (bInhibeMiniature) {
        IndexMiniature = 0;
        TimerMiniature->start(); // the thumbnails follow once the level settles
    }
}

void Form1::LblLUX_Change()
{
    LblLUXTxt->setToolTip(QStringLiteral("Exemple de situations (selon wikipedia) où l'on trouve ") + LblLUX->text());
}

bool Form1::controleSaisie(std::initializer_list<ChampNombre> champs)
{
    for (const ChampNombre &c : champs) {
        if (c.plage.contient(c.valeur))
            continue;
        erreurSaisie(c.boite, QString::fromUtf8(c.nom) + QStringLiteral(" : ")
                                  + QString::fromUtf8(c.plage.texte));
        return false;
    }
    return true;
}

void Form1::erreurSaisie(QWidget *boite, const QString &attendu)
{
    platform::showMessage(this, {QStringLiteral("Erreur"),
                                 QStringLiteral("Erreur de saisie\n") + attendu,
                                 platform::BoxIcon::Critical});
    boite->setFocus(Qt::OtherFocusReason);
    if (auto *texte = qobject_cast<QLineEdit *>(boite))
        texte->selectAll();
}

void Form1::BtnCalculLumiere_Clic()
{
    // Keys in the lists compute silently as the user types; the button says
    // what stops it.
    if (CmbBxSpeed->currentIndex() < 0)
        erreurSaisie(CmbBxSpeed, QStringLiteral("Vitesse : une vitesse de la liste"));
    else if (controleSaisie(
                 {{CmbBxDiaf, readNumber(CmbBxDiaf->currentText()), "Diaphragme", kPlageOuverture},
                  {CmbBxIso, readNumber(CmbBxIso->currentText()), "Iso", kPlageIso}}))
        BtnCalculLumiere_Click();
}

void Form1::BtnCalculLumiere_Click()
{
    bCalculLumiere = true;
    if (const std::optional<int> e
        = calculLumiere(scales, CmbBxSpeed->currentIndex(), CmbBxDiaf->currentText(), CmbBxIso->currentText())) {
        if (HScroll4->value() != *e) {
            HScroll4->setValue(*e); // the whole update follows, keeping the triplet on show
        } else {
            // The slider already stands there, yet a typed level or an older
            // chart may be on show: the computed level is shown all the same.
            const QString avant = TxtValeur->text();
            HScroll4_Change();
            if (TxtValeur->text() == avant)
                TxtValeur_Change();
        }
    }
    bCalculLumiere = false;
}

void Form1::TimerMiniature_Timer()
{
    BtnAfficheMiniature_Click();
    TimerMiniature->stop();
}

void Form1::Graphic_MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, QPointF position)
{
    const Explication e
        = Explique(chart(), readChartInputs(), echellesGraphique, TabCouple, position.x(), position.y());
    TxtInfoBulle->resize(e.taille);
    TxtInfoBulle->setAlignment(e.alignement);
    if (TxtInfoBulle->text() != e.texte)
        TxtInfoBulle->setText(e.texte);
    if (TxtInfoBulle->palette().color(QPalette::Window) != QColor::fromRgb(e.couleur))
        setBackground(TxtInfoBulle, QPalette::Window, QColor::fromRgb(e.couleur));
    // Visibility is each control's own flag, whether the window shows or not.
    const bool visible = ChkBxToolTip->isChecked() && !TxtInfoBulle->text().isEmpty() && APropos->isHidden();
    if (visible == TxtInfoBulle->isHidden())
        TxtInfoBulle->setVisible(visible);
    if (visible) {
        TxtInfoBulle->move(PlaceBulle(position.x(), position.y(), TxtInfoBulle->size(), Graphic->size()));
        TxtInfoBulle->raise();
    }
}

void Form1::TxtInfoBulle_MouseMove()
{
    TxtInfoBulle->hide();
}

void Form1::LoadBasePhotos()
{
    LectureBase lecture = LireBasePhotos(cheminBaseLue(m_programFolder));
    // Without a base file the table stays as it was.
    if (lecture.existe) {
        TabPhotos = std::move(lecture.photos);
        NbPhotos = static_cast<int>(TabPhotos.size());
    }
    // A base that could not be read whole is told; one that gave nothing is
    // not shown as an empty one.
    const bool illisible = !lecture.erreur.isEmpty() && NbPhotos == 0;
    const QString compte = QString::number(NbPhotos) + QStringLiteral(" photos dans la base");
    LblNbBasePhoto->setText(illisible ? QStringLiteral("Base de photos illisible") : compte);
    LblNbBasePhoto->setToolTip(lecture.erreur);
    if (!lecture.erreur.isEmpty())
        platform::showMessage(this, {QStringLiteral("Erreur"), lecture.erreur,
                                     platform::BoxIcon::Warning});
}

void Form1::BtnBasePhoto_Click()
{
    FormRecherchePhoto fenetre(m_programFolder, this);
    // The photos of a new base show in the strip at once, behind the window;
    // a base loaded that way is not read again when the window closes.
    bool baseLue = false;
    connect(&fenetre, &FormRecherchePhoto::baseEnregistree, this, [this, &baseLue] {
        LoadBasePhotos();
        IndexMiniature = 0;
        BtnAfficheMiniature_Click();
        baseLue = true;
    });
    fenetre.exec();
    if (!baseLue)
        LoadBasePhotos();
}

void Form1::BtnRépartition_Click()
{
    std::vector<double> niveaux;
    niveaux.reserve(TabPhotos.size());
    for (const TypePhoto &p : TabPhotos)
        niveaux.push_back(p.ValEV);
    DrawingSurface &surface = Graphic->surface();
    surface.clear();
    TraceRepartition(surface, niveaux);
    surface.refresh();
}

void Form1::Form_Load()
{
    m_limitation.InstalleLimitation(this);
    Graphic->surface().setTextColour(couleurs::kTexteGraphique.rgba());
    VitesseMaxBoitier = 4000;
    VitesseFlash = 200;
    bInhibeMiniature = true;
    scales = ExposureScales::standard();
    echellesGraphique = scales;
    LoadBoitiers();
    LoadObjectifs();
    LoadBasePhotos();
    InitRange();
    HScroll4_Change(); // the slider's level into TxtValeur
    TxtValeur_Change(); // the whole update for that level, first chart included

    const platform::Version version = platform::programVersion();
    LblVersion->setText(QStringLiteral("Version %1.%2.%3").arg(version.major).arg(version.minor).arg(version.patch));

    // The lists keep their placeholder on show with nothing selected.
    const auto fill = [](DropDownComboBox *list, const QStringList &items) {
        const QString shown = list->currentText();
        list->addItems(items);
        list->setCurrentIndex(-1);
        list->setEditText(shown);
    };
    fill(CmbBxIso, scales.isoItems());
    fill(CmbBxDiaf, scales.diafItems());
    fill(CmbBxSpeed, scales.speedItems());

    CmbBxDiaf->setDropDownHeight(320);
    CmbBxSpeed->setDropDownHeight(320);
    CmbBxIso->setDropDownHeight(320);
    CmbBxObjectif->setDropDownHeight(480);
    CmbBxAppareil->setDropDownHeight(480);

    chargeLensfun();
    if (m_memoire == Memoire::Utilisateur)
        restaureReglages();
}

void Form1::Form_Activate()
{
    // The flag is raised before the box is shown: closing the box activates
    // the window again, which must not show a second box.
    if (!std::exchange(bDejaActive, true)) {
        platform::showMessage(this, {QStringLiteral("Kavel"),
                                     QStringLiteral("Kavel est encore en cours d'affinage. N'hésitez pas à m'envoyer "
                                                    "vos idées d'amélioration et les éventuels bugs. Merci :-)"),
                                     platform::BoxIcon::None});
    }
}

void Form1::Form_KeyPress(int keyAscii)
{
    if (keyAscii != 13)
        return;
    if (TxtFocalMini->text() == TxtFocalMaxi->text()) {
        TxtDiafMiniZoom->setText(TxtDiafMini->text());
        TxtDiafMaxiZoom->setText(TxtDiafMaxi->text());
    }
    // The shorter focal length belongs in the first box. Halfway through the
    // exchange both boxes hold the same text, which is no fixed focal length:
    // the rule waits for the exchange to end, so the apertures stay as typed.
    if (leadingNumber(TxtFocalMaxi->text()) < leadingNumber(TxtFocalMini->text())) {
        const QString mini = TxtFocalMini->text();
        bEchangeFocales = true;
        TxtFocalMini->setText(TxtFocalMaxi->text());
        TxtFocalMaxi->setText(mini);
        bEchangeFocales = false;
        RegleFocaleFixe();
    }
    BtnGO_Click();
}

void Form1::Form_MouseMove()
{
    if (!TxtInfoBulle->isHidden())
        TxtInfoBulle->hide();
    for (QLabel *lien : {Label20, Label21}) {
        QFont f = lien->font();
        if (f.bold()) {
            f.setBold(false);
            lien->setFont(f);
        }
    }
}

void Form1::Form_Unload()
{
    if (m_memoire == Memoire::Utilisateur)
        enregistreReglages();
    m_limitation.RetireLimitation();
}

} // namespace kavel
