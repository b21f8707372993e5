#include "photos/FormRecherchePhoto.h"

#include "exposure/Scales.h"
#include "photos/BasePhotos.h"
#include "photos/RechercheFichier.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStorageInfo>
#include <QTimer>
#include <QTreeView>
#include <QTreeWidget>
#include <cmath>

namespace kavel {

namespace {

const QColor kEtapeInactive(96, 96, 96);
const QColor kEtapeActive(255, 255, 255);

// Between two repaints of the progress during a scan, so that repainting
// never costs more than the scan itself; the user sees the same progress.
constexpr qint64 kIntervalleRepeintMs = 30;

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

bool positif(double v)
{
    return std::isfinite(v) && v > 0;
}

// A photo goes into the base when its light level is known and all its
// values are numbers: absurd EXIF values can make the lux infinite.
bool dansLaBase(const ExifReader &r)
{
    return r.ValEV > ExifReader::kEVNonCalcule && std::isfinite(r.ValEV) && std::isfinite(r.ValLux)
        && std::isfinite(r.ValSpeed) && std::isfinite(r.ValDiaf) && std::isfinite(r.ValIso);
}

// Restores the normal pointer however the scan ends.
struct Sablier {
    Sablier() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~Sablier() { QApplication::restoreOverrideCursor(); }
    Sablier(const Sablier &) = delete;
    Sablier &operator=(const Sablier &) = delete;
};

} // namespace

FormRecherchePhoto::FormRecherchePhoto(const QString &programFolder, QWidget *parent)
    : QDialog(parent)
    , m_programFolder(programFolder)
{
    setObjectName(QStringLiteral("FormRecherchePhoto"));
    setWindowTitle(QStringLiteral("Création de la base de photos"));
    setModal(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(64, 64, 64));
    p.setColor(QPalette::WindowText, Qt::white);
    p.setColor(QPalette::Base, Qt::black);
    p.setColor(QPalette::AlternateBase, QColor(24, 24, 24));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::Button, QColor(80, 80, 80));
    p.setColor(QPalette::ButtonText, Qt::white);
    setPalette(p);
    setAutoFillBackground(true);
    resize(800, 600);

    Drive1 = named(new QComboBox(this), "Drive1", QRect(8, 8, 260, 22));
    Drive1->setToolTip(QStringLiteral("Disque à parcourir"));
    Repertoire = named(new QTreeView(this), "Repertoire", QRect(8, 34, 260, 286));
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

    BtnRecherche = named(new QPushButton(QStringLiteral("Recherche"), this), "BtnRecherche", QRect(8, 326, 126, 26));
    Command1 = named(new QPushButton(QStringLiteral("Fermer"), this), "Command1", QRect(142, 326, 126, 26));

    Label1 = named(new QLabel(QStringLiteral("1 - Recherche de fichier JPG avec Exif"), this), "Label1",
                   QRect(284, 12, 500, 18));
    Label2 = named(new QLabel(QStringLiteral("2 - Analyse des photos trouvées"), this), "Label2", QRect(284, 40, 500, 18));
    Label2bis = named(new QLabel(QStringLiteral("-"), this), "Label2bis", QRect(300, 62, 120, 18));
    couleurTexte(Label2bis, Qt::white);
    ProgressBar1 = named(new QProgressBar(this), "ProgressBar1", QRect(424, 62, 360, 18));
    Label3 = named(new QLabel(QStringLiteral("3 - Sauvegarde de la base de photo"), this), "Label3",
                   QRect(284, 96, 500, 18));
    ProgressBar2 = named(new QProgressBar(this), "ProgressBar2", QRect(424, 118, 360, 18));
    Label4 = named(new QLabel(QStringLiteral("4 - Recherche terminée, vous pouvez fermer cette fenêtre"), this), "Label4",
                   QRect(284, 152, 500, 18));
    LblStatut = named(new QLabel(this), "LblStatut", QRect(284, 190, 500, 18));
    couleurTexte(LblStatut, QColor(255, 160, 160));
    for (QLabel *l : {Label1, Label2, Label3, Label4})
        couleurTexte(l, kEtapeInactive);
    ProgressBar1->hide();
    ProgressBar2->hide();

    ListView1 = named(new QTreeWidget(this), "ListView1", QRect(8, 360, 784, 232));
    ListView1->setRootIsDecorated(false);
    ListView1->setUniformRowHeights(true);
    ListView1->setHeaderLabels({QStringLiteral("Fichier"), QStringLiteral("Lux"), QStringLiteral("Speed"),
                                QStringLiteral("Diaf"), QStringLiteral("Iso"), QStringLiteral("ValEV"),
                                QStringLiteral("ValSpeed"), QStringLiteral("ValDiaf"), QStringLiteral("ValIso")});
    ListView1->setColumnWidth(0, 300);
    ListView1->header()->setSectionsClickable(true);

    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        if (systemeDeFichiersUtilisateur(volume) || volume.isRoot())
            Drive1->addItem(volume.isRoot() ? volume.rootPath() : volume.rootPath() + QStringLiteral(" (") + volume.displayName() + QLatin1Char(')'),
                            volume.rootPath());
    }
    choisisDossier(QDir::currentPath()); // starts on the current folder

    connect(Drive1, &QComboBox::activated, this, &FormRecherchePhoto::Drive1_Change);
    connect(BtnRecherche, &QPushButton::clicked, this, &FormRecherchePhoto::BtnRecherche_Click);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ListView1->header(), &QHeaderView::sectionClicked, this, &FormRecherchePhoto::ListView1_ColumnClick);
}

QString FormRecherchePhoto::cheminBase() const
{
    return m_programFolder + QLatin1Char('/') + QLatin1String(kNomBasePhotos);
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
    ListView1->sortItems(column, Qt::AscendingOrder); // cells compared as texts
}

void FormRecherchePhoto::etape(QLabel *label, bool active)
{
    couleurTexte(label, active ? kEtapeActive : kEtapeInactive);
}

// Repaints at once, at most every few milliseconds unless forced.
void FormRecherchePhoto::repeint(std::initializer_list<QWidget *> widgets, bool force)
{
    const qint64 maintenant = QDateTime::currentMSecsSinceEpoch();
    if (!force && maintenant - m_dernierRepeint < kIntervalleRepeintMs)
        return;
    m_dernierRepeint = maintenant;
    for (QWidget *w : widgets)
        if (w->isVisible())
            w->repaint();
}

void FormRecherchePhoto::remplisLigne(QTreeWidgetItem *item, const ExifReader &r)
{
    const QString separateur = m_locale.decimalPoint();
    item->setText(5, texteNombre(r.ValEV, m_locale));
    item->setText(6, texteNombre(r.ValSpeed, m_locale));
    item->setText(7, texteNombre(r.ValDiaf, m_locale));
    item->setText(8, texteNombre(r.ValIso, m_locale));
    item->setText(1, positif(r.ValLux) ? QString::number(r.ValLux, 'f', 1).rightJustified(8, QLatin1Char('0')).replace(
                                             QLatin1Char('.'), separateur)
                                             + QStringLiteral(" lux")
                                       : QStringLiteral("-"));
    item->setText(2, Speed2Txt(std::isfinite(r.ValSpeed) ? r.ValSpeed : -1)); // "???"
    item->setText(3, positif(r.ValDiaf) ? QStringLiteral("F/") + texteNombre(r.ValDiaf, m_locale) : QStringLiteral("-"));
    item->setText(4, positif(r.ValIso) ? texteNombre(r.ValIso, m_locale) + QStringLiteral(" iso") : QStringLiteral("-"));
}

void FormRecherchePhoto::BtnRecherche_Click()
{
    const Sablier sablier;
    etape(Label2, false);
    etape(Label3, false);
    etape(Label4, false);
    ProgressBar1->hide();
    ProgressBar2->hide();
    LblStatut->clear();
    etape(Label1, true);
    repeint({Label1}, true);

    // 1 - every JPEG below the chosen folder, in search order.
    ResultatRecherche trouves;
    const int n = RechercheRecursive(dossierRacine(), QStringLiteral("*.jpg"), trouves);
    // The rows stay in search order until a header is clicked: the list
    // never sorts by itself (and setSortingEnabled(false) would make its
    // header deaf to clicks).
    ListView1->clear();
    // The rows are filled before they join the list, which is not repainted
    // during the scan anyway: a cell written in the list costs far more.
    QList<QTreeWidgetItem *> lignes;
    lignes.reserve(n);
    for (int i = 0; i < n; ++i)
        lignes.append(new QTreeWidgetItem(QStringList{trouves.dossiers[i] + trouves.noms[i]}));

    // 2 - the exposure of each.
    etape(Label1, false);
    Label2->setText(QStringLiteral("2 - Analyse des %1 photos trouvées").arg(n));
    etape(Label2, true);
    repeint({Label2}, true);
    Label2bis->show();
    ProgressBar1->show();
    if (n > 0)
        ProgressBar1->setMaximum(n);
    repeint({ProgressBar1}, true);
    std::vector<TypePhoto> base;
    for (int i = 0; i < n; ++i) {
        Label2bis->setText(QString::number(i + 1));
        ProgressBar1->setValue(i + 1);
        repeint({Label2bis, ProgressBar1});
        const QString fichier = lignes[i]->text(0);
        m_lecteur.AnalysePhoto(fichier);
        remplisLigne(lignes[i], m_lecteur);
        if (!m_lecteur.Statut.isEmpty())
            LblStatut->setText(m_lecteur.Statut);
        if (dansLaBase(m_lecteur) && cheminEnregistrable(fichier))
            base.push_back({fichier, m_lecteur.ValEV, m_lecteur.ValSpeed, m_lecteur.ValDiaf, m_lecteur.ValIso});
    }
    ListView1->addTopLevelItems(lignes);
    ProgressBar1->hide();
    Label2bis->hide();

    // 3 - the base, replaced as a whole.
    const auto m = static_cast<long long>(base.size());
    etape(Label2, false);
    etape(Label3, true);
    ProgressBar2->show();
    if (n > 0)
        ProgressBar2->setMaximum(n);
    Label3->setText(QStringLiteral("3 - Sauvegarde de la base de photo (%1 photos avec informations exif completes)").arg(m));
    repeint({Label3, ProgressBar2}, true);
    QString erreur;
    const bool ecrit = EcritBasePhotos(cheminBase(), base, &erreur, m_locale);
    if (n > 0)
        ProgressBar2->setValue(n);
    ProgressBar2->hide();
    etape(Label3, false);
    if (ecrit) {
        etape(Label4, true);
        emit baseEnregistree();
        return;
    }
    // The last step stays grey: the scan did not end as it should.
    LblStatut->setText(QStringLiteral("La base de photos n'a pas pu être enregistrée : ") + erreur);
    platform::showMessage(this, {QStringLiteral("Erreur"),
                                 QStringLiteral("La base de photos n'a pas pu être enregistrée :\n") + cheminBase()
                                     + QStringLiteral("\n") + erreur,
                                 platform::BoxIcon::Critical});
}

} // namespace kavel
