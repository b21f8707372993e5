// The scan window: choosing the folder, following the scan, the list of what was read.
#include "photos/scan/FormRecherchePhoto.h"

#include "photos/BasePhotos.h"
#include "photos/exif/ExifReader.h"
#include "photos/scan/ModeleScan.h"
#include "platform/Couleurs.h"
#include "platform/Desktop.h"
#include "platform/Dessin.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTableView>
#include <QTimer>
#include <QTreeView>
#include <algorithm>

namespace kavel {

namespace {

// The step captions; a scan gives those of steps 2 and 3 its numbers.
const QString kLegende2 = QStringLiteral("2 - Analyse des photos trouvées");
const QString kLegende3 = QStringLiteral("3 - Sauvegarde de la base de photo");
const QString kLegende4 =
    QStringLiteral("4 - Recherche terminée, vous pouvez fermer cette fenêtre");

// The folder the last scan started from, among the remembered choices.
const QString kCleDossier = QStringLiteral("recherche/dossier");

// Where the folder tree opens: at the folder of the last scan, else at the
// user's pictures, else at home.
QString dossierDeDepart()
{
    const QSettings reglages(platform::cheminReglages(), QSettings::IniFormat);
    for (const QString &d : {reglages.value(kCleDossier).toString(),
                             QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)})
        if (!d.isEmpty() && QFileInfo(d).isDir())
            return d;
    return QDir::homePath();
}

// File systems that hold no user's files: the kernel's own views, memory
// and container plumbing.
bool systemeDeFichiersUtilisateur(const QStorageInfo &volume)
{
    static const QList<QByteArray> pseudo{"proc", "sysfs", "devpts", "devtmpfs", "tmpfs", "cgroup", "cgroup2",
                                          "securityfs", "pstore", "bpf", "tracefs", "debugfs", "mqueue",
                                          "hugetlbfs", "configfs", "fusectl", "autofs", "binfmt_misc", "efivarfs",
                                          "rpc_pipefs", "nsfs", "overlay", "squashfs", "ramfs", "devfs"};
    return volume.isValid() && volume.isReady() && !pseudo.contains(volume.fileSystemType());
}

template <typename W>
W *named(W *widget, const char *name, const QRect &geometry)
{
    widget->setObjectName(QString::fromUtf8(name));
    widget->setGeometry(geometry);
    return widget;
}

void couleurTexte(QWidget *w, QColor c)
{
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, c);
    w->setPalette(p);
}

} // namespace

FormRecherchePhoto::FormRecherchePhoto(const QString &programFolder, QWidget *parent)
    : QDialog(parent)
    , m_programFolder(programFolder)
{
    using namespace dessin::recherche;
    setObjectName(QStringLiteral("FormRecherchePhoto"));
    setWindowTitle(QStringLiteral("Création de la base de photos"));
    setModal(true);
    setPalette(paletteRecherche(palette()));
    setAutoFillBackground(true);
    resize(kTaille);

    Drive1 = named(new QComboBox(this), "Drive1", kDrive1);
    Drive1->setToolTip(QStringLiteral("Disque à parcourir"));
    Repertoire = named(new QTreeView(this), "Repertoire", kRepertoire);
    Repertoire->setToolTip(QStringLiteral("Dossier à parcourir, avec ses sous-dossiers"));
    m_dossiers = new QFileSystemModel(this);
    m_dossiers->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_dossiers->setRootPath(QString());
    Repertoire->setModel(m_dossiers);
    for (int c = 1; c < m_dossiers->columnCount(); ++c)
        Repertoire->hideColumn(c);
    Repertoire->setHeaderHidden(true);
    // The model lists each folder on a thread of its own: the folders
    // around the highlighted one arrive later and push it down, so the tree
    // scrolls to it again as they arrive, until the user moves in the tree.
    m_defilement = new QTimer(this);
    m_defilement->setSingleShot(true);
    m_defilement->setInterval(0);
    connect(m_defilement, &QTimer::timeout, this, [this] {
        if (m_dossierMontre.isValid())
            Repertoire->scrollTo(m_dossierMontre);
    });
    const auto suis = [this] {
        if (m_dossierMontre.isValid())
            m_defilement->start();
    };
    connect(m_dossiers, &QFileSystemModel::directoryLoaded, this, suis);
    connect(m_dossiers, &QAbstractItemModel::rowsInserted, this, suis);
    connect(m_dossiers, &QAbstractItemModel::layoutChanged, this, suis);
    connect(Repertoire->selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &index) {
        if (index != m_dossierMontre)
            m_dossierMontre = QPersistentModelIndex();
    });
    connect(Repertoire->verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this] { m_dossierMontre = QPersistentModelIndex(); });

    BtnRecherche = named(new QPushButton(QStringLiteral("Recherche"), this), "BtnRecherche", kBtnRecherche);
    Command1 = named(new QPushButton(QStringLiteral("Fermer"), this), "Command1", kCommand1);

    Label1 = named(new QLabel(QStringLiteral("1 - Recherche de fichier JPG avec Exif"), this), "Label1", kLabel1);
    Label2 = named(new QLabel(kLegende2, this), "Label2", kLabel2);
    Label2bis = named(new QLabel(QStringLiteral("-"), this), "Label2bis", kLabel2bis);
    couleurTexte(Label2bis, couleurs::kRechercheTexte);
    ProgressBar1 = named(new QProgressBar(this), "ProgressBar1", kProgressBar1);
    // Step 3's caption, with its count, may take two lines, and the status
    // three; what follows them goes below.
    const int ligne = fontMetrics().lineSpacing();
    Label3 = named(new QLabel(kLegende3, this), "Label3", label3(2 * ligne + 2));
    ProgressBar2 = named(new QProgressBar(this), "ProgressBar2",
                         sous(Label3->geometry(), kProgressBar2));
    Label4 = named(new QLabel(kLegende4, this), "Label4", sous(ProgressBar2->geometry(), kLabel4));
    LblPaires = named(new QLabel(this), "LblPaires", sous(Label4->geometry(), kLblPaires));
    couleurTexte(LblPaires, couleurs::kRechercheTexte);
    LblStatut = named(new QLabel(this), "LblStatut",
                      sous(LblPaires->geometry(), kLblStatut, 3 * ligne + 2));
    for (QLabel *l : {Label3, LblStatut})
        l->setWordWrap(true);
    couleurTexte(LblStatut, couleurs::kRemarque);
    LblBase = named(new QLabel(this), "LblBase", kLblBase);
    couleurTexte(LblBase, couleurs::kCheminBase);
    const QString base = QStringLiteral("Base de photos : ") + QDir::toNativeSeparators(cheminBase());
    LblBase->setText(LblBase->fontMetrics().elidedText(base, Qt::ElideMiddle, LblBase->width()));
    LblBase->setToolTip(base);
    for (QLabel *l : {Label1, Label2, Label3, Label4})
        couleurTexte(l, couleurs::kEtapeInactive);
    ProgressBar1->hide();
    ProgressBar2->hide();

    // A table with the looks of a list: its rows are laid out once, when the
    // files are found, and each file read redraws no more than its row; a
    // tree would lay out every row again at each change.
    ListView1 = named(new QTableView(this), "ListView1", kListView1);
    ListView1->verticalHeader()->hide();
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->verticalHeader()->setMinimumSectionSize(1);
    ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height());
    ListView1->setShowGrid(false);
    ListView1->setWordWrap(false);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->horizontalHeader()->setStretchLastSection(true);
    ListView1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_modele = new ModeleScan(this);
    m_modele->setLocale(m_locale);
    ListView1->setModel(m_modele);
    ListView1->setColumnWidth(0, 300);
    ListView1->setColumnWidth(9, 300);
    ListView1->horizontalHeader()->setSectionsClickable(true);
    // Rows keep the search order until a header is clicked.
    ListView1->horizontalHeader()->setSortIndicatorShown(false);

    m_scan = new ScanPhotos(this);
    connect(m_scan, &ScanPhotos::etapeCommencee, this, &FormRecherchePhoto::etapeCommencee);
    connect(m_scan, &ScanPhotos::fichiersTrouves, m_modele, &ModeleScan::liste);
    connect(m_scan, &ScanPhotos::lignesLues, this, &FormRecherchePhoto::lignesLues);
    connect(m_scan, &ScanPhotos::termine, this, &FormRecherchePhoto::termine);

    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (systemeDeFichiersUtilisateur(volume) || volume.isRoot())
            Drive1->addItem(volume.isRoot() ? volume.rootPath() : volume.rootPath() + QStringLiteral(" (") + volume.displayName() + QLatin1Char(')'),
                            volume.rootPath());
    }
    choisisDossier(dossierDeDepart());

    connect(Drive1, &QComboBox::activated, this, &FormRecherchePhoto::Drive1_Change);
    connect(BtnRecherche, &QPushButton::clicked, this, &FormRecherchePhoto::BtnRecherche_Click);
    connect(Command1, &QPushButton::clicked, this, &FormRecherchePhoto::Command1_Click);
    connect(ListView1->horizontalHeader(), &QHeaderView::sectionClicked, this, &FormRecherchePhoto::ListView1_ColumnClick);
}

QString FormRecherchePhoto::cheminBase() const
{
    return cheminBaseEcrite(m_programFolder);
}

QString FormRecherchePhoto::dossierRacine() const
{
    const QModelIndex choisi = Repertoire->currentIndex();
    QString dossier = choisi.isValid() ? m_dossiers->filePath(choisi) : m_dossiers->filePath(Repertoire->rootIndex());
    if (dossier.isEmpty())
        dossier = QDir::rootPath();
    if (!dossier.endsWith(QLatin1Char('/')))
        dossier += QLatin1Char('/');
    return dossier;
}

void FormRecherchePhoto::choisisDossier(const QString &path)
{
    const QString absolu = QDir(path).absolutePath();
    const QStorageInfo volume(absolu);
    const int drive = Drive1->findData(volume.rootPath());
    if (drive >= 0)
        Drive1->setCurrentIndex(drive);
    const QString racine = drive >= 0 ? volume.rootPath() : QDir::rootPath();
    Repertoire->setRootIndex(m_dossiers->index(racine));
    const QModelIndex index = m_dossiers->index(absolu);
    m_dossierMontre = index;
    Repertoire->setCurrentIndex(index);
    Repertoire->scrollTo(index);
}

void FormRecherchePhoto::Drive1_Change(int index)
{
    const QString racine = Drive1->itemData(index).toString();
    Repertoire->setRootIndex(m_dossiers->index(racine));
    Repertoire->setCurrentIndex(m_dossiers->index(racine));
}

void FormRecherchePhoto::ListView1_ColumnClick(int column)
{
    m_modele->sort(column, Qt::AscendingOrder); // cells compared as texts
}

void FormRecherchePhoto::setLocale(const QLocale &locale)
{
    m_locale = locale;
    m_modele->setLocale(locale);
}

void FormRecherchePhoto::etape(QLabel *label, bool active)
{
    couleurTexte(label, active ? couleurs::kEtapeActive : couleurs::kEtapeInactive);
}

void FormRecherchePhoto::BtnRecherche_Click()
{
    setCursor(Qt::BusyCursor);
    for (QLabel *l : {Label1, Label2, Label3, Label4})
        etape(l, false);
    ProgressBar1->hide();
    ProgressBar2->hide();
    Label2bis->hide();
    LblStatut->clear();
    LblPaires->clear();
    Label2->setText(kLegende2);
    Label3->setText(kLegende3);
    m_modele->vide();
    m_trouves = 0;
    BtnRecherche->setEnabled(false);
    Command1->setText(QStringLiteral("Arrêter"));
    const QString racine = dossierRacine();
    QSettings(platform::cheminReglages(), QSettings::IniFormat).setValue(kCleDossier, racine);
    m_scan->lance(racine, cheminBase(), m_locale);
}

void FormRecherchePhoto::Command1_Click()
{
    if (m_scan->enCours())
        m_scan->arrete();
    else
        accept();
}

void FormRecherchePhoto::done(int result)
{
    m_scan->arrete();
    QDialog::done(result);
}

void FormRecherchePhoto::etapeCommencee(int numero, int nombre)
{
    switch (numero) {
    case ScanPhotos::Recherche: etape(Label1, true); break;
    case ScanPhotos::Analyse:
        m_trouves = nombre;
        etape(Label1, false);
        Label2->setText(QStringLiteral("2 - Analyse des %1 photos trouvées").arg(nombre));
        etape(Label2, true);
        Label2bis->setText(QStringLiteral("-"));
        Label2bis->show();
        ProgressBar1->setValue(ProgressBar1->minimum());
        ProgressBar1->show();
        if (nombre > 0)
            ProgressBar1->setMaximum(nombre);
        break;
    case ScanPhotos::Sauvegarde:
        ProgressBar1->hide();
        Label2bis->hide();
        etape(Label2, false);
        etape(Label3, true);
        ProgressBar2->show();
        if (m_trouves > 0)
            ProgressBar2->setMaximum(m_trouves);
        Label3->setText(kLegende3 + QStringLiteral(" (%1 photos avec informations exif completes)")
                                        .arg(nombre));
        break;
    default: break;
    }
}

void FormRecherchePhoto::lignesLues(const QList<LigneScan> &lignes, int lues)
{
    m_modele->remplit(lues - static_cast<int>(lignes.size()), lignes);
    Label2bis->setText(QString::number(lues));
    ProgressBar1->setValue(lues);
    for (const LigneScan &l : lignes)
        if (l.resultat.depassement)
            LblStatut->setText(ExifReader::kDepassement + QStringLiteral(" : ") + l.fichier);
}

void FormRecherchePhoto::termine(const BilanScan &bilan)
{
    unsetCursor();
    BtnRecherche->setEnabled(true);
    Command1->setText(QStringLiteral("Fermer"));
    ProgressBar1->hide();
    Label2bis->hide();
    if (bilan.arrete) {
        ProgressBar2->hide();
        for (QLabel *l : {Label1, Label2, Label3, Label4})
            etape(l, false);
        const QString arret = QStringLiteral("Recherche arrêtée : la base de photos ");
        if (!bilan.ecrit) {
            LblStatut->setText(arret + QStringLiteral("n'a pas été modifiée."));
            emit scanTermine();
            return;
        }
        LblStatut->setText(arret + QStringLiteral("était déjà enregistrée (%1 photos).")
                                       .arg(bilan.enBase));
        emit baseEnregistree();
        emit scanTermine();
        return;
    }
    if (m_trouves > 0)
        ProgressBar2->setValue(m_trouves);
    ProgressBar2->hide();
    etape(Label3, false);
    if (bilan.paires > 0)
        LblPaires->setText(bilan.paires == 1 ? QStringLiteral("1 paire RAW + JPEG comptée une seule fois")
                                             : QStringLiteral("%1 paires RAW + JPEG comptées une seule fois").arg(bilan.paires));
    if (bilan.ecrit) {
        etape(Label4, true);
        emit baseEnregistree();
        emit scanTermine();
        return;
    }
    // The last step stays grey: the scan did not end as it should.
    LblStatut->setText(QStringLiteral("La base de photos n'a pas pu être enregistrée : ") + bilan.erreur);
    platform::showMessage(this, {QStringLiteral("Erreur"),
                                 QStringLiteral("La base de photos n'a pas pu être enregistrée :\n") + cheminBase()
                                     + QStringLiteral("\n") + bilan.erreur,
                                 platform::BoxIcon::Critical});
    emit scanTermine();
}

} // namespace kavel
