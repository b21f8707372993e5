#pragma once

#include "app/LimitationTaille.h"
#include "chart/ChartInputs.h"
#include "chart/ChartView.h"
#include "chart/Recalcul.h"
#include "equipment/ListeBoitiers.h"
#include "equipment/Objectifs.h"
#include "photos/BasePhotos.h"
#include "exposure/Scales.h"

#include <QHash>
#include <QSize>
#include <QString>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <vector>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QScrollBar;
class QTimer;

namespace kavel {

struct Plage;

class DropDownComboBox;
class BaseLensfun;
class ChargeurVignettes;
struct Fente;
class PictureBox;
class SurfaceWidget;

// A mail to the author with a subject (none when empty), as a mailto URI.
QString lienMail(const QString &sujet = QString());

// The main window. It owns every control and all state of the running
// program; its handlers read the controls, call the pure code of the
// subsystems and write the results back.
class Form1 : public QWidget {
    Q_OBJECT
public:
    // Whether the window restores the body, lens and level chosen last time
    // and remembers the new ones (the program does; a test may not).
    enum class Memoire { Aucune, Utilisateur };
    // programFolder holds the lens catalogues and the photo base.
    explicit Form1(const QString &programFolder, QWidget *parent = nullptr, Memoire memoire = Memoire::Aucune);
    Form1();

    const QString &programFolder() const { return m_programFolder; }

    // Controls (their objectName is their member name).
    SurfaceWidget *Graphic = nullptr;
    QFrame *APropos = nullptr;
    QLabel *LblVersion = nullptr;
    QLabel *Label11 = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label6 = nullptr;
    QLabel *Label9 = nullptr;
    QLabel *Label17 = nullptr;
    QLabel *LblLUX = nullptr;
    QPlainTextEdit *LblLUXTxt = nullptr;
    QScrollBar *HScroll4 = nullptr;
    QPushButton *BtnCalculLumiere = nullptr;
    QCheckBox *ChkBxToolTip = nullptr;
    QLabel *TxtInfoBulle = nullptr;
    QTimer *TimerMiniature = nullptr;
    DropDownComboBox *CmbBxSpeed = nullptr;
    DropDownComboBox *CmbBxDiaf = nullptr;
    DropDownComboBox *CmbBxIso = nullptr;
    DropDownComboBox *CmbBxAppareil = nullptr;
    DropDownComboBox *CmbBxObjectif = nullptr;
    DropDownComboBox *CmbBxPerfStab = nullptr;
    QPushButton *BtnMesAppareils = nullptr;
    QLineEdit *TxtValeur = nullptr;
    QLineEdit *TxtFocalMini = nullptr;
    QLineEdit *TxtFocalMaxi = nullptr;
    QLineEdit *TxtDiafMini = nullptr;
    QLineEdit *TxtDiafMiniZoom = nullptr;
    QLineEdit *TxtDiafMaxi = nullptr;
    QLineEdit *TxtDiafMaxiZoom = nullptr;
    QLineEdit *TxtVitesseMini = nullptr;
    QLineEdit *TxtVitesseMaxi = nullptr;
    QLineEdit *TxtIsoMini = nullptr;
    QLineEdit *TxtIsoMaxi = nullptr;
    QLabel *LblDiafZoomMini = nullptr;
    QLabel *LblDiafZoomMaxi = nullptr;
    QCheckBox *ChkBxFlash = nullptr;
    QCheckBox *ChkBxStabilisateur = nullptr;
    QCheckBox *ChkBxVitesseLente = nullptr;
    QListWidget *LstCouple = nullptr;
    QPushButton *BtnGO = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *BtnBasePhoto = nullptr;
    QLabel *LblNbBasePhoto = nullptr;
    QPushButton *BtnRépartition = nullptr;
    QPushButton *BtnGO2 = nullptr;
    QPushButton *BtnAPropos = nullptr;
    QPushButton *BtnAfficheMiniature = nullptr;
    QPushButton *BtnPhotoAvant = nullptr;
    QPushButton *BtnPhotoApres = nullptr;
    QWidget *CadrePhoto = nullptr;
    std::array<PictureBox *, 16> PictMiniture{};
    QLabel *LblNbPhotoOK = nullptr;
    QPlainTextEdit *TxtDebug = nullptr;
    QLabel *Label14 = nullptr;
    QLabel *Label15 = nullptr;
    QLabel *Label16 = nullptr;
    QLabel *Label18 = nullptr;
    QLabel *Label19 = nullptr;
    QLabel *Label20 = nullptr;
    QLabel *Label21 = nullptr;
    QLabel *Picture1 = nullptr;
    QLabel *Picture2 = nullptr;
    QLabel *Picture3 = nullptr;
    QLabel *Picture4 = nullptr;

    // Shared state of the main window.
    ExposureScales scales;
    AxisRange range;
    double VitesseMaxBoitier = 0; // fastest speed value of the body
    double VitesseFlash = 0;      // flash synchronisation speed value
    bool bInhibeMiniature = false;
    bool bDejaActive = false;
    std::vector<TypeCouple> TabCouple; // couple markers of the last chart
    int NbCouple = 0;
    double PhotoSurvolVitesse = 0; // photo marked on the chart, 0 for none
    double PhotoSurvolDiaf = 0;
    std::vector<TypeObjectif> TabObjectifs; // lenses of the current body, item i is record i
    int NbObjectifs = 0;
    // Item i of the body list; the program's own bodies are its first items.
    std::vector<EntreeBoitier> ListeBoitiers;
    // The body of the catalogue or the student's own that is chosen; none
    // while one of the program's own bodies is.
    std::optional<TypeBoitier> BoitierChoisi;
    std::vector<TypeObjectif> MesObjectifs; // the student's own lenses, first in every lens list
    ExposureScales echellesGraphique;       // the chart's scales, continued for today's bodies
    bool bChangementObjectif = false; // a lens choice is filling the lens boxes
    bool bCalculLumiere = false;      // the calculator is setting the level
    bool bEchangeFocales = false;     // Enter is exchanging the two focal lengths
    int IndexMiniature = 0;           // paging position of the thumbnail strip
    std::vector<TypePhoto> TabPhotos; // the photo base
    int NbPhotos = 0;

    void InitRange();
    // The chart as drawn now: the surface with the current ranges.
    ChartView chart() const;
    // The chart's inputs as the controls hold them now.
    ChartInputs readChartInputs() const;

    // Rebuilds the whole chart from the controls.
    void BtnGO_Click();
    // Applies one body's limits to the limit boxes and the flash check box.
    void LimiteBoitier(double VFlash, double VMax, double IsoMini, double IsoMax);
    // Reads the lens catalogue of the current body's maker into the lens list.
    void LoadObjectifs();
    // Refreshes the thumbnails of the photos taken at the current level.
    void BtnAfficheMiniature_Click();
    void BtnPhotoApres_Click();
    void BtnPhotoAvant_Click();
    // Lays the chart and the photo strip out for the window's inner size.
    void Form_Resize();
    // Pictures asked for thumbnails since the start (for measuring).
    int nbVignettesChargees() const { return m_vignettesChargees; }
    // Makes the thumbnails' pictures, off the window's thread.
    ChargeurVignettes &chargeur() { return *m_chargeur; }
    // Some thumbnails shown still wait for their picture.
    bool vignettesEnAttente() const;
    // Reads the photo base of the program's folder.
    void LoadBasePhotos();
    // Reads the body catalogue and the student's own bodies and lenses, and
    // fills the body list.
    void LoadBoitiers();
    // The student's own data folder (MesBoitiers.csv, MesObjectifs.txt).
    QString dossierMateriel() const;
    // The lens database has been read (off the window's thread).
    bool lensfunCharge() const { return m_lensfun != nullptr; }
    // Opens "Mes appareils…".
    void BtnMesAppareils_Click();

signals:
    // The thumbnail strip was refreshed for the current level (its
    // pictures may still be on their way).
    void miniaturesRafraichies();
    // Every thumbnail shown has its picture.
    void miniaturesCompletes();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createControls();
    void connectReactions();
    void installKeyPreview();

    void Form_Load();
    void Form_Activate();
    void Form_KeyPress(int keyAscii);
    void Form_MouseMove();
    void Form_Unload();
    void Command1_Click();
    void CmbBxAppareil_Click();
    void CmbBxPerfStab_Click();
    // Applies the limits of a body of the catalogue or the student's own.
    void LimiteBoitierCatalogue(const TypeBoitier &b);
    // The row of the body chosen last (the body box keeps it).
    int ligneBoitier() const;
    // The entry of the body list on show, none while a text is being typed.
    const EntreeBoitier *entreeAffichee() const;
    // The lens mount of the body on show, from the body list or else from
    // the lens database's cameras; empty when unknown or for a camera with
    // its own lens.
    QString montureAffichee() const;
    void chargeLensfun();
    void lensfunArrive(std::shared_ptr<const BaseLensfun> base);
    // The lenses of the lens database for the chosen body's mount.
    std::vector<TypeObjectif> objectifsLensfun() const;
    void ajouteObjectifs(const std::vector<TypeObjectif> &objectifs);
    void choisitObjectif(const TypeObjectif &r);
    void restaureReglages();
    void enregistreReglages();
    void creeRechercheBoitier();
    void ChkBxFlash_Click();
    void ChkBxStabilisateur_Click();
    void ChkBxVitesseLente_Click();
    void CmbBxObjectif_Click();
    void TxtFocalMini_Change();
    void TxtFocalMaxi_Change();
    bool ColonneZoom(); // shows the zoom column unless both focal lengths read the same; true for one length
    void RegleFocaleFixe();
    void HScroll4_Scroll(int position);
    void HScroll4_Change();
    void TxtValeur_Change();
    void BtnCalculLumiere_Click();
    void LblLUX_Change();
    void TimerMiniature_Timer();
    void Graphic_MouseMove(Qt::MouseButtons button, Qt::KeyboardModifiers shift, QPointF position);
    void TxtInfoBulle_MouseMove();
    // The key handlers of the boxes: the key a typed character becomes, 0 to drop it.
    char16_t KeyPress(QObject *control, char16_t keyAscii);
    char16_t TxtDiafMaxi_KeyPress(char16_t keyAscii);
    // A box whose value must be a number of its range, named as the user is told.
    struct ChampNombre {
        QWidget *boite;
        std::optional<double> valeur;
        const char *nom;
        const Plage &plage;
    };
    // True when every box holds a number of its range; otherwise the first
    // one that does not is named in the input-error box and gets the focus.
    bool controleSaisie(std::initializer_list<ChampNombre> champs);
    // The input-error box, saying on its second line what the box accepts.
    void erreurSaisie(QWidget *boite, const QString &attendu);
    // The light calculator's OK: says what is missing before computing.
    void BtnCalculLumiere_Clic();
    void BtnBasePhoto_Click();
    void BtnRépartition_Click();
    void BtnGO2_Click();
    void PictMiniture_MouseMove(int index);
    void PictMiniture_Click(int index);
    void BtnAPropos_Click();
    void APropos_Click();
    void APropos_MouseMove();
    void Label18_MouseMove();
    void Label19_MouseMove();
    void Label20_MouseMove();
    void Label21_MouseMove();
    void Label18_MouseDown();
    void Label19_MouseDown();
    void Label20_Click();
    void Label21_Click();
    void createStrip();
    void vignetteArrivee(const QString &path, QSize naturelle, const QImage &image);
    // Places the strip's slots from the photos' known sizes and asks for the
    // pictures of the slots shown; false when none is awaited.
    bool placeMiniatures(const std::vector<int> &photos);
    // The strip's slot, as the loader sizes pictures for it.
    Fente fente() const;
    void createAPropos();
    // The mouse handlers of the links, the About panel and the explanation
    // box; true when the event is theirs alone.
    bool evenementSouris(QObject *watched, QEvent *event);
    // Tab order, keyboard reach and accessible names; keys on links and photos.
    void regleClavier();
    bool evenementClavier(QObject *watched, QEvent *event);
    void montreFocus(QWidget *w, bool recu);
    bool activeAuClavier(QObject *watched, int touche);
    QFrame *m_cadreFocus = nullptr; // around the slider or a photo with the focus

    QString m_programFolder;
    Memoire m_memoire = Memoire::Aucune;
    std::shared_ptr<const BaseLensfun> m_lensfun;
    QString m_objectifEnAttente; // a remembered lens of the lens database, before it is read
    class RechercheBoitier *m_rechercheBoitier = nullptr;
    bool m_restauration = false; // the remembered choices are being restored
    LimitationTaille m_limitation;
    int m_vignettesChargees = 0;
    ChargeurVignettes *m_chargeur = nullptr;
    // The photos' natural sizes, as the loader found them (invalid when unknown).
    QHash<QString, QSize> m_naturelles;
};

} // namespace kavel
