#pragma once

#include <QRect>
#include <QSize>
#include <algorithm>

// Where every control of the program's windows stands, in the windows'
// design units: the main window, its About panel, the "Mes appareils"
// dialog and the photo-base window. The layout code starts from these.
namespace kavel {

// The design rectangles the layout starts from and keeps the sizes of.
namespace dessin {

// The main window's inner size as designed.
inline constexpr QSize kTailleInterieure(975, 703);

// The input column on the left of the window, x 4 .. 212. Each part of the
// window has its place here, so adding one moves no other.
inline constexpr QRect kPanneauLumiere(4, 4, 208, 180); // Label11, background of the light panel
inline constexpr QRect kLabel6(8, 20, 100, 14);          // "Lumière en EV"
inline constexpr QRect kTxtValeur(8, 34, 44, 20);
inline constexpr QRect kHScroll4(56, 34, 152, 20);
inline constexpr QRect kLabel9(8, 58, 90, 16);   // "Lumière en Lux"
inline constexpr QRect kLblLUX(98, 58, 110, 16);
inline constexpr QRect kLabel17(8, 76, 200, 14); // "Exemples"
inline constexpr QRect kLblLUXTxt(8, 90, 200, 90);
inline constexpr QRect kLabel10(8, 182, 200, 40);
inline constexpr QRect kCmbBxSpeed(8, 222, 64, 22);
inline constexpr QRect kCmbBxDiaf(74, 222, 48, 22);
inline constexpr QRect kCmbBxIso(124, 222, 58, 22);
inline constexpr QRect kBtnCalculLumiere(184, 222, 24, 22);

inline constexpr QRect kCmbBxAppareil(4, 252, 184, 22);
inline constexpr QRect kBtnMesAppareils(190, 252, 22, 22);
inline constexpr QRect kCmbBxObjectif(4, 276, 208, 22);
// Lens and limit boxes: a caption, then the short-end and long-end columns.
inline constexpr int kColLegende = 4, kCol1 = 76, kCol2 = 144, kLargeurCol = 64, kHauteurTxt = 19;
inline constexpr int kLigneFocales = 302;
inline constexpr int kLigneTitresDiaf = 323;
inline constexpr int kHauteurTitreDiaf = 14;
inline constexpr int kLigneOuverture = 338;
inline constexpr int kLigneFermeture = 359;
inline constexpr int kLigneVitesses = 382;
inline constexpr int kLigneIsos = 403;
inline constexpr QRect kChkBxFlash(4, 426, 208, 18);
inline constexpr QRect kChkBxStabilisateur(4, 444, 110, 18);
inline constexpr QRect kCmbBxPerfStab(116, 443, 96, 20);
inline constexpr QRect kChkBxVitesseLente(4, 463, 208, 18);
inline constexpr QRect kChkBxToolTip(4, 481, 208, 18);

inline constexpr QRect kBtnGO(4, 503, 102, 22);
inline constexpr QRect kBtnGO2(110, 503, 102, 22);
inline constexpr QRect kCommand1(4, 527, 102, 22);
inline constexpr QRect kBtnRepartition(110, 527, 102, 22);
inline constexpr QRect kBtnAfficheMiniature(4, 551, 102, 22);
inline constexpr QRect kBtnAPropos(110, 551, 102, 22);
inline constexpr QRect kLstCouple(4, 577, 208, 52);
inline constexpr QRect kTxtDebug(4, 633, 208, 28);
// The links to the author, under the input column: a picture, then its text.
inline constexpr QRect kPicture3(4, 665, 16, 16);
inline constexpr QRect kLabel20(22, 665, 190, 16); // "Signaler un bug"
inline constexpr QRect kPicture4(4, 684, 16, 16);
inline constexpr QRect kLabel21(22, 684, 190, 16); // "Proposer une amélioration"

// A lens or limit box at a row and a column; the caption on the left of a row.
constexpr QRect ligne(int top, int col) { return QRect(col, top, kLargeurCol, kHauteurTxt); }
constexpr QRect legende(int top)
{
    return QRect(kColLegende, top, kCol1 - kColLegende - 2, kHauteurTxt);
}
// The caption over an aperture column, "à 18mm F/".
constexpr QRect titreDiaf(int col) { return QRect(col, kLigneTitresDiaf, kLargeurCol, kHauteurTitreDiaf); }

// The chart, and the photo strip and the photo-base controls under it.
inline constexpr QRect kGraphic(216, 24, 753, 552);
inline constexpr QRect kCadrePhoto(232, 584, 721, 89);
inline constexpr QRect kBtnPhotoAvant(216, 584, 17, 88);
inline constexpr QRect kBtnPhotoApres(952, 584, 17, 88);
inline constexpr QRect kBtnBasePhoto(856, 680, 113, 17);
inline constexpr QRect kLblNbBasePhoto(640, 680, 209, 17);
inline constexpr QRect kLblNbPhotoOK(216, 680, 185, 17);
inline constexpr int kNbMiniatures = 16;
inline constexpr QRect miniature(int i) { return QRect(240 + 40 * i, 592, 33, 73); }

// The About panel, on the chart; its contents in the panel.
inline constexpr QRect kAPropos(176, 152, 401, 305);
inline constexpr QRect kLabel14(100, 24, 201, 60); // the program's name
inline constexpr QRect kLblVersion(16, 96, 369, 20);
inline constexpr QRect kPicture1(16, 128, 96, 96);
inline constexpr QRect kPicture2(289, 140, 96, 72);
inline constexpr QRect kLabel15(100, 240, 60, 18); // "MAIL :"
inline constexpr QRect kLabel19(160, 240, 220, 18);
inline constexpr QRect kLabel16(100, 262, 60, 18); // "SITE : "
inline constexpr QRect kLabel18(160, 262, 220, 18);
inline constexpr QRect kLblLicence(16, 284, 369, 18);

// The "Mes appareils" dialog at its opening; its tables and buttons are
// laid out in it.
inline constexpr QSize kDialogueMateriel(900, 420);

// The photo-base window. From step 3's caption down, each control stands
// under the one above it, since that caption may take two lines of the font
// and the status three.
namespace recherche {

inline constexpr QSize kTaille(800, 600);
inline constexpr QRect kDrive1(8, 8, 260, 22);
inline constexpr QRect kRepertoire(8, 34, 260, 286);
inline constexpr QRect kBtnRecherche(8, 326, 126, 26);
inline constexpr QRect kCommand1(142, 326, 126, 26);
inline constexpr QRect kLabel1(284, 12, 500, 18);
inline constexpr QRect kLabel2(284, 40, 500, 18);
inline constexpr QRect kLabel2bis(300, 62, 120, 18);
inline constexpr QRect kProgressBar1(424, 62, 360, 18);
inline constexpr QRect kLabel3(284, 96, 500, 18); // at least that high
inline constexpr QRect kLblBase(284, 300, 500, 18);
inline constexpr QRect kListView1(8, 360, 784, 232);

// A control under another: its left, its gap under that one, its width,
// and its height (the least one, for a text that may take more lines).
struct SousLe {
    int gauche, ecart, largeur, hauteur;
};
inline constexpr SousLe kProgressBar2{424, 5, 360, 18}; // under Label3
inline constexpr SousLe kLabel4{284, 15, 500, 18};      // under ProgressBar2
inline constexpr SousLe kLblPaires{300, 3, 484, 18};    // under Label4
inline constexpr SousLe kLblStatut{284, 1, 500, 18};    // under LblPaires

// The place of a control s under the one at dessus, hauteur high if that is
// more than its own height.
constexpr QRect sous(const QRect &dessus, SousLe s, int hauteur = 0)
{
    return QRect(s.gauche, dessus.bottom() + s.ecart, s.largeur, std::max(s.hauteur, hauteur));
}
// Step 3's caption, hauteur high if that is more than its own height.
constexpr QRect label3(int hauteur)
{
    return QRect(kLabel3.topLeft(), QSize(kLabel3.width(), std::max(kLabel3.height(), hauteur)));
}

} // namespace recherche

} // namespace dessin

} // namespace kavel
