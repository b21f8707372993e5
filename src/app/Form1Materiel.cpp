// The body and lens choices: the body list with today's cameras and its
// search, the lens lists from the catalogue files and the lens database, the
// student's own equipment, and the choices remembered from one start to the
// next.
#include "app/DialogueMateriel.h"
#include "app/Form1.h"
#include "app/RechercheBoitier.h"

#include "equipment/Boitiers.h"
#include "equipment/ObjectifsLensfun.h"
#include "exposure/NumberText.h"
#include "platform/Desktop.h"
#include "platform/DropDownComboBox.h"

#include <QCheckBox>
#include <QFutureWatcher>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStandardItemModel>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace kavel {

namespace {

// The lens database is read once for the program, off the window's thread;
// every window takes it when it is there.
QFuture<std::shared_ptr<const BaseLensfun>> chargementLensfun()
{
    static const QFuture<std::shared_ptr<const BaseLensfun>> chargement
        = QtConcurrent::run([] { return BaseLensfun::charge(); });
    return chargement;
}

// The row of the body chosen last, kept by the body box itself.
constexpr const char *kProprieteLigne = "ligneBoitier";

const QString kCleBoitier = QStringLiteral("choix/boitier");
const QString kCleObjectif = QStringLiteral("choix/objectif");
const QString kCleNiveau = QStringLiteral("choix/niveau");

QString texteEstimee()
{
    return QStringLiteral("Fermeture estimée : la base d'objectifs ne la donne pas");
}

} // namespace

QString Form1::dossierMateriel() const
{
    return platform::dossierUtilisateur();
}

void Form1::LoadBoitiers()
{
    const LectureBoitiers catalogue = LireBoitiers(m_programFolder + QStringLiteral("/Boitiers.csv"));
    const QString dossier = dossierMateriel();
    const LectureBoitiers miens = LireBoitiers(dossier + QStringLiteral("/MesBoitiers.csv"));
    LectureObjectifs mesObjectifs = LireMesObjectifs(dossier + QStringLiteral("/MesObjectifs.txt"));
    MesObjectifs = std::move(mesObjectifs.objectifs);

    const QStringList integres = nomsBoitiers();
    ListeBoitiers = composeListe(integres, miens.boitiers, catalogue.boitiers);

    // The program's own items stay as they are; the rest follows them.
    while (CmbBxAppareil->count() > integres.size())
        CmbBxAppareil->removeItem(CmbBxAppareil->count() - 1);
    QStringList textes;
    textes.reserve(static_cast<qsizetype>(ListeBoitiers.size()) - integres.size());
    for (std::size_t i = static_cast<std::size_t>(integres.size()); i < ListeBoitiers.size(); ++i)
        textes << ListeBoitiers[i].texte;
    CmbBxAppareil->addItems(textes);
    if (auto *modele = qobject_cast<QStandardItemModel *>(CmbBxAppareil->model())) {
        for (std::size_t i = static_cast<std::size_t>(integres.size()); i < ListeBoitiers.size(); ++i) {
            if (ListeBoitiers[i].genre != EntreeBoitier::Genre::Titre)
                continue;
            // A maker's heading: shown, never chosen.
            QStandardItem *item = modele->item(static_cast<int>(i));
            item->setFlags(Qt::NoItemFlags);
            QFont gras = CmbBxAppareil->font();
            gras.setBold(true);
            item->setFont(gras);
        }
    }
    creeRechercheBoitier();
    m_rechercheBoitier->setListe(ListeBoitiers);

    // The student's files: a damaged line is named, the rest is used.
    QStringList messages;
    for (const auto &[fichier, rejetees] :
         {std::pair{QStringLiteral("MesBoitiers.csv"), miens.rejetees},
          std::pair{QStringLiteral("MesObjectifs.txt"), mesObjectifs.rejetees}}) {
        const QString m = messageLignesRejetees(fichier, rejetees);
        if (!m.isEmpty())
            messages << m;
    }
    if (!messages.isEmpty()) {
        // Once the window is up, not in the middle of building it.
        QTimer::singleShot(0, this, [this, texte = messages.join(QLatin1Char('\n'))] {
            platform::showMessage(this, {QStringLiteral("Mes appareils"), texte, platform::BoxIcon::Warning});
        });
    }
}

void Form1::creeRechercheBoitier()
{
    if (m_rechercheBoitier)
        return;
    m_rechercheBoitier = new RechercheBoitier(this);
    m_rechercheBoitier->setWidget(CmbBxAppareil->lineEdit());
    CmbBxAppareil->lineEdit()->setCompleter(m_rechercheBoitier);
    connect(m_rechercheBoitier, &RechercheBoitier::boitierChoisi, this, [this](int ligne) {
        CmbBxAppareil->setCurrentIndex(ligne);
        CmbBxAppareil_Click();
    });
    // A search left without a choice gives the box back its body. The box
    // may lose the focus while the window is being destroyed: this touches
    // the box alone, which keeps the row of its body.
    connect(CmbBxAppareil, &DropDownComboBox::focusPerdu, CmbBxAppareil, [liste = CmbBxAppareil] {
        const int ligne = liste->property(kProprieteLigne).toInt();
        if (liste->currentIndex() < 0 && ligne >= 0)
            liste->setCurrentIndex(ligne);
    });
    // The body list's own menu: the box's editing, then the student's equipment.
    for (QWidget *w : {static_cast<QWidget *>(CmbBxAppareil), static_cast<QWidget *>(CmbBxAppareil->lineEdit())}) {
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(w, &QWidget::customContextMenuRequested, this, [this, w](const QPoint &at) {
            QMenu *menu = CmbBxAppareil->lineEdit()->createStandardContextMenu();
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->addSeparator();
            QAction *action = menu->addAction(QStringLiteral("Mes appareils…"));
            action->setObjectName(QStringLiteral("ActionMesAppareils"));
            connect(action, &QAction::triggered, this, &Form1::BtnMesAppareils_Click);
            menu->popup(w->mapToGlobal(at));
        });
    }
}

int Form1::ligneBoitier() const
{
    return CmbBxAppareil->property(kProprieteLigne).toInt(); // 0, the first body, until one is chosen
}

const EntreeBoitier *Form1::entreeAffichee() const
{
    const int index = CmbBxAppareil->currentIndex();
    return index >= 0 && index < static_cast<int>(ListeBoitiers.size())
        ? &ListeBoitiers[static_cast<std::size_t>(index)]
        : nullptr;
}

QString Form1::montureAffichee() const
{
    const EntreeBoitier *e = entreeAffichee();
    if (!e)
        return {};
    if (e->genre == EntreeBoitier::Genre::Integre)
        return montureBoitier(CmbBxAppareil->currentIndex());
    if (e->boitier.objectifIntegre())
        return {};
    // A body written without its mount (one of the student's, named as its
    // photos name it: "Sony", "ILCE-7M4") may be known to the lens database.
    if (e->boitier.Monture.isEmpty() && m_lensfun) {
        if (const std::optional<CameraLensfun> c = m_lensfun->camera(e->boitier.Marque, e->boitier.Modele))
            return c->monture;
    }
    return e->boitier.Monture;
}

void Form1::CmbBxAppareil_Click()
{
    const int index = CmbBxAppareil->currentIndex();
    if (index < 0 || index >= static_cast<int>(ListeBoitiers.size()))
        return;
    const EntreeBoitier &entree = ListeBoitiers[static_cast<std::size_t>(index)];
    if (entree.genre == EntreeBoitier::Genre::Titre)
        return; // a heading is no body
    CmbBxAppareil->setProperty(kProprieteLigne, index);
    if (entree.genre == EntreeBoitier::Genre::Integre) {
        if (const std::optional<LimitesBoitier> b = limitesBoitier(index)) {
            BoitierChoisi.reset();
            echellesGraphique = scales;
            CmbBxPerfStab->setEnabled(false);
            LimiteBoitier(b->VFlash, b->VMax, b->IsoMini, b->IsoMax);
        }
    } else {
        LimiteBoitierCatalogue(entree.boitier);
    }
    LoadObjectifs();
    if (m_memoire == Memoire::Utilisateur && !m_restauration)
        enregistreReglages();
    if (BoitierChoisi && BoitierChoisi->objectifIntegre()) {
        // A camera with its own lens has no lens list: its lens is the lens.
        const TypeObjectif objectif = BoitierChoisi->objectif();
        CmbBxObjectif->setEditText(objectif.Nom);
        choisitObjectif(objectif); // redraws
        return;
    }
    BtnGO_Click();
}

void Form1::LimiteBoitierCatalogue(const TypeBoitier &b)
{
    BoitierChoisi = b;
    echellesGraphique = ExposureScales::pourBoitier(b.VitesseMax, b.IsoMaxi);
    CmbBxPerfStab->setEnabled(true);
    if (!b.VitesseFlash) {
        // Nobody could say: the flash is neither offered nor denied.
        LimiteBoitier(0, b.VitesseMax, b.IsoMini, b.IsoMaxi);
        ChkBxFlash->setText(QStringLiteral("Flash interne : synchro inconnue"));
        ChkBxFlash->setToolTip(
            QStringLiteral("La vitesse de synchronisation du flash intégré de ce boîtier n'est pas connue."));
        return;
    }
    LimiteBoitier(*b.VitesseFlash, b.VitesseMax, b.IsoMini, b.IsoMaxi);
    if (!b.Source.isEmpty()) {
        const QString tip = *b.VitesseFlash > 1 ? ChkBxFlash->toolTip() + QLatin1Char(' ')
                                                : QStringLiteral("Ce boîtier n'a pas de flash intégré. ");
        ChkBxFlash->setToolTip(tip + QStringLiteral("Source : ") + b.Source);
    }
}

void Form1::CmbBxPerfStab_Click()
{
    BtnGO_Click();
}

std::vector<TypeObjectif> Form1::objectifsLensfun() const
{
    const QString monture = montureAffichee();
    return !m_lensfun || monture.isEmpty() ? std::vector<TypeObjectif>{} : m_lensfun->objectifsPourMonture(monture);
}

void Form1::LoadObjectifs()
{
    // The previous lens stays in the boxes and its name on show.
    const QString shown = CmbBxObjectif->currentText();
    CmbBxObjectif->clear();
    TabObjectifs.clear();
    NbObjectifs = 0;

    const EntreeBoitier *entree = entreeAffichee();
    const bool integre = entree && entree->genre != EntreeBoitier::Genre::Integre && entree->boitier.objectifIntegre();

    // The student's own lenses first, then the maker's catalogue file where
    // it fits the body, then the lens database's lenses for its mount.
    std::vector<TypeObjectif> objectifs = MesObjectifs;
    if (!integre) {
        const QString nom = CmbBxAppareil->currentText();
        if (catalogueConvient(motMarque(nom), montureAffichee())) {
            std::vector<TypeObjectif> fichier = LireCatalogue(cheminCatalogue(m_programFolder, nom));
            objectifs.insert(objectifs.end(), fichier.begin(), fichier.end());
        }
        const std::vector<TypeObjectif> base = objectifsLensfun();
        objectifs.insert(objectifs.end(), base.begin(), base.end());
    }
    ajouteObjectifs(objectifs);
    CmbBxObjectif->setCurrentIndex(-1);
    CmbBxObjectif->setEditText(shown);
}

void Form1::ajouteObjectifs(const std::vector<TypeObjectif> &objectifs)
{
    const int debut = CmbBxObjectif->count();
    QStringList noms;
    noms.reserve(static_cast<qsizetype>(objectifs.size()));
    for (const TypeObjectif &o : objectifs)
        noms << o.Nom;
    // Adding items to an empty list selects the first: the shown text and
    // the selection are kept as they were.
    const int ligne = CmbBxObjectif->currentIndex();
    const QString texte = CmbBxObjectif->currentText();
    CmbBxObjectif->addItems(noms);
    for (std::size_t i = 0; i < objectifs.size(); ++i) {
        if (objectifs[i].FermetureEstimee)
            CmbBxObjectif->setItemData(debut + static_cast<int>(i), texteEstimee(), Qt::ToolTipRole);
    }
    CmbBxObjectif->setCurrentIndex(ligne);
    if (ligne < 0)
        CmbBxObjectif->setEditText(texte);
    TabObjectifs.insert(TabObjectifs.end(), objectifs.begin(), objectifs.end());
    NbObjectifs = static_cast<int>(TabObjectifs.size());
}

void Form1::chargeLensfun()
{
    auto *attente = new QFutureWatcher<std::shared_ptr<const BaseLensfun>>(this);
    connect(attente, &QFutureWatcherBase::finished, this, [this, attente] {
        lensfunArrive(attente->result());
        attente->deleteLater();
    });
    attente->setFuture(chargementLensfun());
}

void Form1::lensfunArrive(std::shared_ptr<const BaseLensfun> base)
{
    m_lensfun = std::move(base);
    // The lens list of the body on show gets the database's lenses at its end.
    ajouteObjectifs(objectifsLensfun());
    if (!m_objectifEnAttente.isEmpty()) {
        const int ligne = CmbBxObjectif->findText(std::exchange(m_objectifEnAttente, QString()));
        if (ligne >= 0) {
            CmbBxObjectif->setCurrentIndex(ligne);
            CmbBxObjectif_Click();
        }
    }
}

void Form1::restaureReglages()
{
    const QSettings reglages(platform::cheminReglages(), QSettings::IniFormat);
    m_restauration = true;
    const QString boitier = reglages.value(kCleBoitier).toString();
    const int ligne = boitier.isEmpty() ? -1 : CmbBxAppareil->findText(boitier);
    if (ligne >= 0 && ListeBoitiers[static_cast<std::size_t>(ligne)].genre != EntreeBoitier::Genre::Titre) {
        CmbBxAppareil->setCurrentIndex(ligne);
        CmbBxAppareil_Click();
    }
    const QString objectif = reglages.value(kCleObjectif).toString();
    if (!objectif.isEmpty()) {
        const int l = CmbBxObjectif->findText(objectif);
        if (l >= 0) {
            CmbBxObjectif->setCurrentIndex(l);
            CmbBxObjectif_Click();
        } else if (!lensfunCharge()) {
            m_objectifEnAttente = objectif; // one of the lens database's, read later
        }
    }
    if (const std::optional<double> niveau = readNumber(reglages.value(kCleNiveau).toString())) {
        HScroll4->setValue(qRound(*niveau * 10)); // the whole update for that level
        if (readNumber(TxtValeur->text()) != niveau)
            TxtValeur->setText(numText(*niveau)); // a level between the slider's steps
    }
    m_restauration = false;
}

void Form1::enregistreReglages()
{
    QSettings reglages(platform::cheminReglages(), QSettings::IniFormat);
    reglages.setValue(kCleBoitier, CmbBxAppareil->itemText(ligneBoitier()));
    reglages.setValue(kCleObjectif, CmbBxObjectif->currentText());
    reglages.setValue(kCleNiveau, TxtValeur->text());
}

void Form1::BtnMesAppareils_Click()
{
    // The body on show is offered to the student's list.
    TypeBoitier affiche;
    if (BoitierChoisi) {
        affiche = *BoitierChoisi;
    } else if (const std::optional<LimitesBoitier> b = limitesBoitier(ligneBoitier())) {
        const QString nom = CmbBxAppareil->itemText(ligneBoitier());
        affiche.Marque = motMarque(nom);
        affiche.Modele = nom.mid(affiche.Marque.size() + 1);
        affiche.Monture = montureBoitier(ligneBoitier());
        affiche.VitesseMax = b->VMax;
        affiche.VitesseFlash = b->VFlash;
        affiche.IsoMini = b->IsoMini;
        affiche.IsoMaxi = b->IsoMax;
    }
    DialogueMateriel dialogue(dossierMateriel(), affiche, this);
    connect(&dialogue, &DialogueMateriel::materielEnregistre, this, [this] {
        // The lists take the new equipment; the body and lens on show stay.
        const QString boitier = CmbBxAppareil->itemText(ligneBoitier());
        LoadBoitiers();
        const int ligne = CmbBxAppareil->findText(boitier);
        CmbBxAppareil->setProperty(kProprieteLigne, ligne);
        CmbBxAppareil->setCurrentIndex(ligne);
        if (ligne < 0)
            CmbBxAppareil->setEditText(boitier); // a body of one's own taken away stays in force
        LoadObjectifs();
    });
    dialogue.exec();
}

} // namespace kavel
