#pragma once

#include <QColor>
#include <QPalette>

// Every colour a window or a control of the program is given, named once,
// and the palettes built from them: the dark scheme of every window, and
// the photo-base window's lighter one.
namespace kavel {

namespace couleurs {

// The dark scheme of the windows.
inline constexpr QColor kFond(40, 40, 40);             // a window's background
inline constexpr QColor kTexteClair(230, 230, 230);    // captions, buttons' texts, tooltips
inline constexpr QColor kSaisie(0, 0, 0);              // input boxes and lists
inline constexpr QColor kTexteSaisie(255, 255, 255);   // what is typed or listed there
inline constexpr QColor kLigneAlternee(24, 24, 24);    // every other row of a list
inline constexpr QColor kIndication(150, 150, 150);    // an empty box's placeholder
inline constexpr QColor kBouton(64, 64, 64);
inline constexpr QColor kSelection(70, 110, 170);
inline constexpr QColor kTexteSelection(255, 255, 255);
inline constexpr QColor kBulle(56, 56, 56);            // tooltips and menus
// The bevels of frames and buttons, from the lit edge to the shadow.
inline constexpr QColor kReliefClair(90, 90, 90);
inline constexpr QColor kReliefMiClair(75, 75, 75);
inline constexpr QColor kReliefMoyen(50, 50, 50);
inline constexpr QColor kReliefSombre(30, 30, 30);
inline constexpr QColor kOmbre(0, 0, 0);
inline constexpr QColor kLien(120, 170, 255);          // links, and the frame of the focus
inline constexpr QColor kInactif(120, 120, 120);       // the texts of a disabled control

// The main window's own controls.
// The light panel before its first level, and its captions, which then
// follow the panel's grey: dark on a light one, light on a dark one.
inline constexpr QColor kPanneauLumiere(64, 64, 64);
inline constexpr QColor kLegendePanneau(255, 255, 255);
inline constexpr QColor kLegendeSurClair(0, 0, 0);
inline constexpr QColor kLegendeSurSombre(255, 255, 255);
// A label that reads as a box: white text on black, on any background.
inline constexpr QColor kCaseFond(0, 0, 0);
inline constexpr QColor kCaseTexte(255, 255, 255);
// A body or lens list's box while its list is open.
inline constexpr QColor kListeOuverte = kFond;
// The chart's texts, and the frames around the photo under the pointer.
inline constexpr QColor kTexteGraphique(255, 255, 255);
inline constexpr QColor kRepereSurvol(255, 255, 0);
// The explanation box on the chart: black text on the colour of what it
// explains.
inline constexpr QColor kTexteExplication(0, 0, 0);
// The About panel: light texts on its picture; the program's name, lilac on
// silver.
inline constexpr QColor kTexteAPropos = kTexteClair;
inline constexpr QColor kTitreAPropos(192, 192, 255);
inline constexpr QColor kFondTitreAPropos(192, 192, 192);
// The photo strip under the chart: at rest, being refreshed, asking for new
// photos; a thumbnail whose picture is on its way, and what stands for a
// photo that cannot be read (a grey frame with lighter top and bottom edges).
inline constexpr QColor kBandeRepos(64, 64, 64);
inline constexpr QColor kBandeCalcul(80, 80, 80);
inline constexpr QColor kBandeCharge(128, 128, 128);
inline constexpr QColor kVignetteAttente(76, 76, 76);
inline constexpr QColor kVignetteIllisible(96, 96, 96);
inline constexpr QColor kBordVignetteIllisible(140, 140, 140);

// The photo-base window, a lighter grey than the others with white texts.
inline constexpr QColor kRechercheFond(64, 64, 64);
inline constexpr QColor kRechercheTexte(255, 255, 255);
inline constexpr QColor kRechercheBouton(80, 80, 80);
// Its steps' captions: grey until the step starts, white from then on.
inline constexpr QColor kEtapeInactive(96, 96, 96);
inline constexpr QColor kEtapeActive(255, 255, 255);
// What the reader says of a damaged file, and where the base is written.
inline constexpr QColor kRemarque(255, 160, 160);
inline constexpr QColor kCheminBase(200, 200, 200);

} // namespace couleurs

// Black input boxes with light text on a dark window; dark tooltips, menus
// and lists too.
QPalette paletteSombre();
// The photo-base window's palette: depart (the application's) with that
// window's background, texts, boxes and buttons.
QPalette paletteRecherche(QPalette depart);
} // namespace kavel
