#include "app/DialogueMateriel.h"

#include "app/Apparence.h"
#include "app/Disposition.h"
#include "exposure/NumberText.h"
#include "platform/Desktop.h"
#include "platform/FichierEcriture.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <memory>
#include <span>
#include <tuple>

namespace kavel {

namespace {

const QString kTitre = QStringLiteral("Mes appareils");
const QString kFichierBoitiers = QStringLiteral("MesBoitiers.csv");
const QString kFichierObjectifs = QStringLiteral("MesObjectifs.txt");

// What a column takes. An optional number is 0 when its cell is empty; the
// flash speed keeps "empty" apart from 0 (no built-in flash).
enum class Genre { Texte, TexteRequis, Nombre, NombreRequis, Flash, Case };

struct Colonne {
    const char *titre;
    Genre genre;
    const char *aide; // the header's tooltip
};

// The body table: one column per field of TypeBoitier, the year kept in a
// hidden last column so that it survives an edit.
enum ColonneBoitier {
    BMarque, BModele, BMonture, BRecadrage, BVitesse, BFlash, BIsoMini, BIsoMaxi,
    BFocaleMini, BFocaleMaxi, BOuverture, BOuvertureZoom, BSource, BAnnee, kColonnesBoitier
};
const Colonne kBoitier[kColonnesBoitier] = {
    {"Marque", Genre::TexteRequis, "Le fabricant, comme dans les données Exif des photos"},
    {"Modèle", Genre::TexteRequis, "Le nom du boîtier"},
    {"Monture", Genre::Texte, "La monture des objectifs ; vide pour un objectif intégré"},
    {"Recadrage", Genre::Nombre, "Facteur de recadrage : 1 pour le 24x36, 1,5 ou 1,6 pour "
                                 "l'APS-C ; vide s'il est inconnu"},
    {"Vitesse maxi (1/s)", Genre::NombreRequis, "La vitesse la plus rapide : 4000 pour 1/4000 s"},
    {"Synchro flash (1/s)", Genre::Flash, "La vitesse de synchronisation du flash intégré : "
                                          "200 pour 1/200 s ; vide si elle est inconnue, "
                                          "0 sans flash intégré"},
    {"ISO mini", Genre::NombreRequis, "La plus basse sensibilité native"},
    {"ISO maxi", Genre::NombreRequis, "La plus haute sensibilité native"},
    {"Focale mini", Genre::Nombre, "Objectif intégré : la focale réelle la plus courte, en mm ; "
                                   "vide pour les objectifs interchangeables"},
    {"Focale maxi", Genre::Nombre, "Objectif intégré : la focale réelle la plus longue, en mm ; "
                                   "vide pour les objectifs interchangeables"},
    {"Ouverture mini", Genre::Nombre, "Objectif intégré : la plus grande ouverture (nombre f) "
                                      "à la focale mini"},
    {"Ouverture maxi zoom", Genre::Nombre, "Objectif intégré : la plus grande ouverture (nombre f) "
                                           "à la focale maxi"},
    {"Source", Genre::Texte, "D'où vient la vitesse de synchronisation du flash"},
    {"Année", Genre::Nombre, ""},
};

enum ColonneObjectif {
    ONom, OFocaleMini, OFocaleMaxi, OOuverture, OOuvertureZoom, OFermeture, OFermetureZoom,
    OStabilisateur, kColonnesObjectif
};
const Colonne kObjectif[kColonnesObjectif] = {
    {"Nom", Genre::TexteRequis, "Le nom de l'objectif"},
    {"Focale mini", Genre::NombreRequis, "La focale la plus courte, en mm"},
    {"Focale maxi", Genre::NombreRequis, "La focale la plus longue, en mm ; la même pour une "
                                         "focale fixe"},
    {"Ouverture (focale mini)", Genre::NombreRequis, "La plus grande ouverture (nombre f le plus "
                                                     "petit) à la focale mini"},
    {"Ouverture (focale maxi)", Genre::NombreRequis, "La plus grande ouverture (nombre f le plus "
                                                     "petit) à la focale maxi"},
    {"Fermeture (focale mini)", Genre::NombreRequis, "La plus petite ouverture (nombre f le plus "
                                                     "grand) à la focale mini"},
    {"Fermeture (focale maxi)", Genre::NombreRequis, "La plus petite ouverture (nombre f le plus "
                                                     "grand) à la focale maxi"},
    {"Stabilisateur", Genre::Case, "L'objectif est stabilisé"},
};

QString utf8(const char *octets) { return QString::fromUtf8(octets); }
bool numerique(Genre g)
{
    return g == Genre::Nombre || g == Genre::NombreRequis || g == Genre::Flash;
}

// A row as texts, one per column; a check box cell is "1" when ticked.
QStringList textesLigne(const QTableWidget *t, int ligne, std::span<const Colonne> colonnes)
{
    QStringList textes;
    for (int c = 0; c < int(colonnes.size()); ++c) {
        const QTableWidgetItem *item = t->item(ligne, c);
        if (!item)
            textes << QString();
        else if (colonnes[c].genre == Genre::Case)
            textes << (item->checkState() == Qt::Checked ? QStringLiteral("1") : QString());
        else
            textes << item->text().trimmed();
    }
    return textes;
}

void ajouteLigne(QTableWidget *t, std::span<const Colonne> colonnes, const QStringList &textes)
{
    const int ligne = t->rowCount();
    t->insertRow(ligne);
    for (int c = 0; c < int(colonnes.size()); ++c) {
        auto *item = new QTableWidgetItem;
        if (colonnes[c].genre == Genre::Case) {
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
            item->setCheckState(textes.value(c).isEmpty() ? Qt::Unchecked : Qt::Checked);
        } else {
            item->setText(textes.value(c));
            if (numerique(colonnes[c].genre))
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        }
        t->setItem(ligne, c, item);
    }
}

QString positif(double v) { return v > 0 ? numText(v) : QString(); }
QString positif(float v) { return v > 0 ? numTextSingle(v) : QString(); }

QStringList textesBoitier(const TypeBoitier &b)
{
    return {b.Marque, b.Modele, b.Monture, positif(b.Recadrage), positif(b.VitesseMax),
            b.VitesseFlash ? numText(*b.VitesseFlash) : QString(), positif(b.IsoMini),
            positif(b.IsoMaxi), positif(b.FocaleMini), positif(b.FocaleMaxi), positif(b.DiafMini),
            positif(b.DiafMiniZoom), b.Source, b.Annee > 0 ? QString::number(b.Annee) : QString()};
}

QStringList textesObjectif(const TypeObjectif &o)
{
    return {o.Nom, positif(o.FocalMini), positif(o.FocalMaxi), positif(o.DiafMini),
            positif(o.DiafMiniZoom), positif(o.DiafMaxi), positif(o.DiafMaxiZoom),
            o.Stabilisateur ? QStringLiteral("1") : QString()};
}

// The first cell of a row that its column cannot take, and why.
struct Defaut {
    int colonne = 0;
    QString raison;
};

// Reads the cells of one row by their column's rules; the first refusal is
// kept in defaut and the values read after it do not matter.
class LigneLue {
public:
    LigneLue(const QStringList &textes, std::span<const Colonne> colonnes)
        : m_textes(textes)
        , m_colonnes(colonnes)
    {
    }

    QString texte(int c)
    {
        if (m_textes[c].isEmpty() && m_colonnes[c].genre == Genre::TexteRequis)
            refuse(c, QStringLiteral("une valeur est attendue."));
        return m_textes[c];
    }

    // A positive number; 0 for an empty optional cell.
    double nombre(int c)
    {
        const bool requis = m_colonnes[c].genre == Genre::NombreRequis;
        if (m_textes[c].isEmpty() && !requis)
            return 0;
        const std::optional<double> v = lis(c);
        if (v && *v > 0)
            return *v;
        refuse(c, requis ? QStringLiteral("un nombre positif est attendu.")
                         : QStringLiteral("un nombre positif est attendu, ou une case vide."));
        return 0;
    }

    // Nothing for an empty cell, else a number that may be 0.
    std::optional<double> facultatif(int c)
    {
        if (m_textes[c].isEmpty())
            return std::nullopt;
        const std::optional<double> v = lis(c);
        if (!v || *v < 0)
            refuse(c, QStringLiteral("un nombre positif ou nul est attendu, ou une case vide."));
        return v;
    }

    // The value of column c may not be below that of column plusPetite
    // (when both are given).
    void auMoins(int c, int plusPetite)
    {
        const std::optional<double> haut = lis(c), bas = lis(plusPetite);
        if (haut && bas && *haut < *bas)
            refuse(c, QStringLiteral("un nombre au moins égal à celui de « %1 » est attendu.")
                          .arg(utf8(m_colonnes[plusPetite].titre)));
    }

    std::optional<Defaut> defaut;

private:
    // A number written with a comma, or with a point (the key next to the
    // digits); values beyond any camera's are refused, as are the infinite.
    std::optional<double> lis(int c) const
    {
        QString t = m_textes[c];
        const std::optional<double> v = readNumber(t.replace(u'.', u','));
        if (!v || !std::isfinite(*v) || std::abs(*v) > 1e9)
            return std::nullopt;
        return v;
    }
    void refuse(int c, const QString &raison)
    {
        if (!defaut)
            defaut = Defaut{c, raison};
    }

    QStringList m_textes;
    std::span<const Colonne> m_colonnes;
};

TypeBoitier boitierDe(LigneLue &l)
{
    TypeBoitier b;
    b.Marque = l.texte(BMarque);
    b.Modele = l.texte(BModele);
    b.Monture = l.texte(BMonture);
    b.Recadrage = l.nombre(BRecadrage);
    b.VitesseMax = l.nombre(BVitesse);
    b.VitesseFlash = l.facultatif(BFlash);
    b.IsoMini = l.nombre(BIsoMini);
    b.IsoMaxi = l.nombre(BIsoMaxi);
    b.FocaleMini = l.nombre(BFocaleMini);
    b.FocaleMaxi = l.nombre(BFocaleMaxi);
    b.DiafMini = l.nombre(BOuverture);
    b.DiafMiniZoom = l.nombre(BOuvertureZoom);
    b.Source = l.texte(BSource);
    b.Annee = static_cast<int>(l.nombre(BAnnee));
    l.auMoins(BIsoMaxi, BIsoMini);
    l.auMoins(BFocaleMaxi, BFocaleMini);
    return b;
}

TypeObjectif objectifDe(LigneLue &l)
{
    TypeObjectif o;
    o.Nom = l.texte(ONom);
    o.FocalMini = static_cast<float>(l.nombre(OFocaleMini));
    o.FocalMaxi = static_cast<float>(l.nombre(OFocaleMaxi));
    o.DiafMini = static_cast<float>(l.nombre(OOuverture));
    o.DiafMiniZoom = static_cast<float>(l.nombre(OOuvertureZoom));
    o.DiafMaxi = static_cast<float>(l.nombre(OFermeture));
    o.DiafMaxiZoom = static_cast<float>(l.nombre(OFermetureZoom));
    o.Stabilisateur = l.texte(OStabilisateur).isEmpty() ? 0 : 1;
    l.auMoins(OFocaleMaxi, OFocaleMini);
    l.auMoins(OFermeture, OOuverture);
    l.auMoins(OFermetureZoom, OOuvertureZoom);
    return o;
}

// A table read back row by row; completely empty rows are left out. On a
// refused cell: nothing, the message naming the row ("quoi 2") and the
// column, and the cell.
template <typename T>
std::optional<std::vector<T>> lisTable(const QTableWidget *t, std::span<const Colonne> colonnes,
                                       const QString &quoi, T (*deLigne)(LigneLue &),
                                       QString *erreur, QPoint *cellule = nullptr)
{
    std::vector<T> lignes;
    for (int r = 0; r < t->rowCount(); ++r) {
        const QStringList textes = textesLigne(t, r, colonnes);
        if (std::all_of(textes.begin(), textes.end(), [](const QString &s) { return s.isEmpty(); }))
            continue;
        LigneLue lue(textes, colonnes);
        T ligne = deLigne(lue);
        if (lue.defaut) {
            if (erreur)
                *erreur = QStringLiteral("%1 %2, colonne « %3 » : %4")
                              .arg(quoi)
                              .arg(r + 1)
                              .arg(utf8(colonnes[lue.defaut->colonne].titre), lue.defaut->raison);
            if (cellule)
                *cellule = QPoint(lue.defaut->colonne, r);
            return std::nullopt;
        }
        lignes.push_back(std::move(ligne));
    }
    return lignes;
}

const QString kQuoiBoitier = QStringLiteral("Boîtier");
const QString kQuoiObjectif = QStringLiteral("Objectif");

QTableWidget *nouvelleTable(std::span<const Colonne> colonnes, const char *nom)
{
    auto *t = new QTableWidget(0, int(colonnes.size()));
    t->setObjectName(QString::fromLatin1(nom));
    for (int c = 0; c < int(colonnes.size()); ++c) {
        auto *entete = new QTableWidgetItem(utf8(colonnes[c].titre));
        entete->setToolTip(utf8(colonnes[c].aide));
        t->setHorizontalHeaderItem(c, entete);
    }
    // Tab leaves the table (the arrows move between cells); while a cell is
    // edited, Tab still goes on to the next one.
    t->setTabKeyNavigation(false);
    t->setAlternatingRowColors(true);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    t->horizontalHeader()->setStretchLastSection(true);
    t->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return t;
}

void supprimeSelection(QTableWidget *t)
{
    QList<int> lignes;
    for (const QModelIndex &i : t->selectionModel()->selectedIndexes())
        lignes << i.row();
    std::sort(lignes.begin(), lignes.end(), std::greater<>());
    lignes.erase(std::unique(lignes.begin(), lignes.end()), lignes.end());
    for (int ligne : lignes)
        t->removeRow(ligne);
}

// A new row, made current; an empty one is opened for typing.
void ajouteEtMontre(QTableWidget *t, std::span<const Colonne> colonnes,
                    const QStringList &textes = {})
{
    ajouteLigne(t, colonnes, textes);
    const int ligne = t->rowCount() - 1;
    t->setFocus();
    t->setCurrentCell(ligne, 0);
    if (textes.isEmpty())
        t->editItem(t->item(ligne, 0));
}

// The "Supprimer" button and the Delete key remove the selected rows; the
// button is only enabled while there is a selection.
void brancheSuppression(QTableWidget *t, QPushButton *bouton)
{
    bouton->setEnabled(false);
    QObject::connect(bouton, &QPushButton::clicked, t, [t] { supprimeSelection(t); });
    QObject::connect(t, &QTableWidget::itemSelectionChanged, bouton,
                     [t, bouton] { bouton->setEnabled(t->selectionModel()->hasSelection()); });
    auto *touche = new QAction(t);
    touche->setShortcut(QKeySequence::Delete);
    touche->setShortcutContext(Qt::WidgetShortcut); // not while a cell is being edited
    t->addAction(touche);
    QObject::connect(touche, &QAction::triggered, t, [t] { supprimeSelection(t); });
}

QPushButton *bouton(const QString &libelle, const char *nom)
{
    auto *b = new QPushButton(libelle);
    b->setObjectName(QString::fromLatin1(nom));
    return b;
}

QGroupBox *groupe(const QString &titre, QTableWidget *table,
                  std::initializer_list<QPushButton *> boutons)
{
    auto *g = new QGroupBox(titre);
    auto *ligne = new QHBoxLayout;
    for (QPushButton *b : boutons)
        ligne->addWidget(b);
    ligne->addStretch();
    auto *pile = new QVBoxLayout(g);
    pile->addWidget(table);
    pile->addLayout(ligne);
    return g;
}

} // namespace

DialogueMateriel::DialogueMateriel(const QString &dossier, const TypeBoitier &boitierAffiche,
                                   QWidget *parent)
    : QDialog(parent)
    , m_dossier(dossier)
    , m_boitierAffiche(boitierAffiche)
{
    setObjectName(QStringLiteral("DialogueMateriel"));
    setWindowTitle(kTitre);
    setPalette(paletteSombre());
    setAutoFillBackground(true);
    setSizeGripEnabled(true);
    resize(dessin::kDialogueMateriel);

    // Created in the order Tab goes through them.
    TabBoitiers = nouvelleTable(kBoitier, "TabBoitiers");
    TabBoitiers->setColumnHidden(BAnnee, true);
    BtnAjouterBoitier = bouton(QStringLiteral("Ajouter un boîtier"), "BtnAjouterBoitier");
    BtnAjouterBoitierAffiche =
        bouton(QStringLiteral("Ajouter le boîtier affiché"), "BtnAjouterBoitierAffiche");
    BtnAjouterBoitierAffiche->setToolTip(
        QStringLiteral("Ajoute une copie de « %1 »").arg(boitierAffiche.nom()));
    BtnAjouterBoitierAffiche->setHidden(boitierAffiche.Marque.isEmpty());
    BtnSupprimerBoitier = bouton(QStringLiteral("Supprimer"), "BtnSupprimerBoitier");
    TabMesObjectifs = nouvelleTable(kObjectif, "TabMesObjectifs");
    BtnAjouterObjectif = bouton(QStringLiteral("Ajouter un objectif"), "BtnAjouterObjectif");
    BtnSupprimerObjectif = bouton(QStringLiteral("Supprimer"), "BtnSupprimerObjectif");
    Boutons = new QDialogButtonBox(QDialogButtonBox::Save | QDialogButtonBox::Cancel);
    Boutons->setObjectName(QStringLiteral("Boutons"));
    Boutons->button(QDialogButtonBox::Save)->setText(QStringLiteral("Enregistrer"));
    Boutons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Annuler"));

    auto *groupes = new QSplitter(Qt::Vertical);
    groupes->setChildrenCollapsible(false);
    groupes->addWidget(groupe(QStringLiteral("Mes boîtiers"), TabBoitiers,
                              {BtnAjouterBoitier, BtnAjouterBoitierAffiche, BtnSupprimerBoitier}));
    groupes->addWidget(groupe(QStringLiteral("Mes objectifs"), TabMesObjectifs,
                              {BtnAjouterObjectif, BtnSupprimerObjectif}));
    auto *pile = new QVBoxLayout(this);
    pile->addWidget(groupes);
    pile->addWidget(Boutons);

    connect(BtnAjouterBoitier, &QPushButton::clicked, this,
            [this] { ajouteEtMontre(TabBoitiers, kBoitier); });
    connect(BtnAjouterBoitierAffiche, &QPushButton::clicked, this,
            [this] { ajouteEtMontre(TabBoitiers, kBoitier, textesBoitier(m_boitierAffiche)); });
    connect(BtnAjouterObjectif, &QPushButton::clicked, this,
            [this] { ajouteEtMontre(TabMesObjectifs, kObjectif); });
    brancheSuppression(TabBoitiers, BtnSupprimerBoitier);
    brancheSuppression(TabMesObjectifs, BtnSupprimerObjectif);
    connect(Boutons, &QDialogButtonBox::accepted, this, &DialogueMateriel::enregistre);
    connect(Boutons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const QString cheminBoitiers = QDir(m_dossier).filePath(kFichierBoitiers);
    const QString cheminObjectifs = QDir(m_dossier).filePath(kFichierObjectifs);
    LectureBoitiers boitiers = LireBoitiers(cheminBoitiers);
    LectureObjectifs objectifs = LireMesObjectifs(cheminObjectifs);
    for (const TypeBoitier &b : boitiers.boitiers)
        ajouteLigne(TabBoitiers, kBoitier, textesBoitier(b));
    for (const TypeObjectif &o : objectifs.objectifs)
        ajouteLigne(TabMesObjectifs, kObjectif, textesObjectif(o));
    m_boitiersRejetes = std::move(boitiers.rejetees);
    m_objectifsRejetes = std::move(objectifs.rejetees);
    // A file that is there but could not be read, or whose header could not
    // (its other lines were not read), is never written over.
    m_boitiersIllisibles = (!boitiers.existe && QFileInfo::exists(cheminBoitiers))
        || (!m_boitiersRejetes.empty() && m_boitiersRejetes.front().numero == 1);
    m_objectifsIllisibles = !objectifs.existe && QFileInfo::exists(cheminObjectifs);

    QStringList avis;
    bool rejetes = false;
    for (const auto &[nom, rejetees, illisible] :
         {std::tuple{kFichierBoitiers, &m_boitiersRejetes, m_boitiersIllisibles},
          std::tuple{kFichierObjectifs, &m_objectifsRejetes, m_objectifsIllisibles}}) {
        if (illisible) {
            avis << QStringLiteral("%1 n'a pas pu être lu : il ne sera pas remplacé.").arg(nom);
        } else if (!rejetees->empty()) {
            avis << messageLignesRejetees(nom, *rejetees);
            rejetes = true;
        }
    }
    if (rejetes)
        avis << QStringLiteral("\nCes lignes restent telles quelles dans le fichier quand il est "
                               "enregistré.");
    // Said once, over the dialog when it shows.
    if (!avis.isEmpty())
        QTimer::singleShot(0, this, [this, texte = avis.join(QLatin1Char('\n'))] {
            platform::showMessage(this, {kTitre, texte, platform::BoxIcon::Warning});
        });
}

std::optional<std::vector<TypeBoitier>> DialogueMateriel::boitiers(QString *erreur) const
{
    return lisTable<TypeBoitier>(TabBoitiers, kBoitier, kQuoiBoitier, boitierDe, erreur);
}

std::optional<std::vector<TypeObjectif>> DialogueMateriel::objectifs(QString *erreur) const
{
    return lisTable<TypeObjectif>(TabMesObjectifs, kObjectif, kQuoiObjectif, objectifDe, erreur);
}

void DialogueMateriel::enregistre()
{
    QString erreur;
    QPoint cellule;
    QTableWidget *fautive = TabBoitiers;
    const auto boitiers =
        lisTable<TypeBoitier>(TabBoitiers, kBoitier, kQuoiBoitier, boitierDe, &erreur, &cellule);
    std::optional<std::vector<TypeObjectif>> objectifs;
    if (boitiers) {
        fautive = TabMesObjectifs;
        objectifs = lisTable<TypeObjectif>(TabMesObjectifs, kObjectif, kQuoiObjectif, objectifDe,
                                           &erreur, &cellule);
    }
    if (!objectifs) {
        fautive->setFocus();
        fautive->setCurrentCell(cellule.y(), cellule.x());
        platform::showMessage(this, {kTitre, erreur, platform::BoxIcon::Warning});
        return;
    }

    // A file is written when its table holds something, or to follow the
    // table when it was there; one that could not be read is left alone
    // while its table is empty. Both files are written out before either
    // takes its old version's place.
    struct Ecriture {
        QString nom;
        QByteArray octets;
        bool illisible;
        std::unique_ptr<FichierEcriture> fichier;
    };
    std::vector<Ecriture> ecritures;
    const auto prevois = [&](const QString &nom, bool vide, bool illisible, QByteArray octets) {
        if (!vide || (!illisible && QFileInfo::exists(QDir(m_dossier).filePath(nom))))
            ecritures.push_back({nom, std::move(octets), illisible, nullptr});
    };
    prevois(kFichierBoitiers, boitiers->empty(), m_boitiersIllisibles,
            texteBoitiers(*boitiers, m_boitiersRejetes));
    prevois(kFichierObjectifs, objectifs->empty(), m_objectifsIllisibles,
            texteObjectifs(*objectifs, m_objectifsRejetes));
    const auto echec = [this](const QString &raison) {
        platform::showMessage(this, {kTitre, raison, platform::BoxIcon::Critical});
    };
    for (const Ecriture &e : ecritures)
        if (e.illisible)
            return echec(QStringLiteral("%1 n'a pas pu être lu à l'ouverture de cette fenêtre : il "
                                        "n'est pas remplacé, et rien n'est enregistré. Réparez-le "
                                        "ou déplacez-le, puis rouvrez cette fenêtre.").arg(e.nom));
    if (!ecritures.empty())
        QDir().mkpath(m_dossier);
    const auto nonEnregistre = [&](const Ecriture &e) {
        echec(QStringLiteral("%1 n'a pas pu être enregistré dans %2 :\n%3")
                  .arg(e.nom, QDir::toNativeSeparators(m_dossier),
                       raisonEchecEcriture(e.fichier->erreur())));
    };
    for (Ecriture &e : ecritures) {
        e.fichier = std::make_unique<FichierEcriture>(QDir(m_dossier).filePath(e.nom));
        if (!e.fichier->ouvre() || !e.fichier->ecrit(e.octets))
            return nonEnregistre(e);
    }
    for (Ecriture &e : ecritures)
        if (!e.fichier->valide())
            return nonEnregistre(e);
    emit materielEnregistre();
    accept();
}

} // namespace kavel
