#include "platform/Couleurs.h"

namespace kavel {

QPalette paletteSombre()
{
    using namespace couleurs;
    QPalette p;
    p.setColor(QPalette::Window, kFond);
    p.setColor(QPalette::WindowText, kTexteClair);
    p.setColor(QPalette::Base, kSaisie);
    p.setColor(QPalette::AlternateBase, kLigneAlternee);
    p.setColor(QPalette::Text, kTexteSaisie);
    p.setColor(QPalette::PlaceholderText, kIndication);
    p.setColor(QPalette::Button, kBouton);
    p.setColor(QPalette::ButtonText, kTexteClair);
    p.setColor(QPalette::Highlight, kSelection);
    p.setColor(QPalette::HighlightedText, kTexteSelection);
    p.setColor(QPalette::ToolTipBase, kBulle);
    p.setColor(QPalette::ToolTipText, kTexteClair);
    p.setColor(QPalette::Light, kReliefClair);
    p.setColor(QPalette::Midlight, kReliefMiClair);
    p.setColor(QPalette::Mid, kReliefMoyen);
    p.setColor(QPalette::Dark, kReliefSombre);
    p.setColor(QPalette::Shadow, kOmbre);
    p.setColor(QPalette::Link, kLien);
    p.setColor(QPalette::Disabled, QPalette::Text, kInactif);
    p.setColor(QPalette::Disabled, QPalette::WindowText, kInactif);
    p.setColor(QPalette::Disabled, QPalette::ButtonText, kInactif);
    return p;
}

QPalette paletteRecherche(QPalette depart)
{
    using namespace couleurs;
    depart.setColor(QPalette::Window, kRechercheFond);
    depart.setColor(QPalette::WindowText, kRechercheTexte);
    depart.setColor(QPalette::Base, kSaisie);
    depart.setColor(QPalette::AlternateBase, kLigneAlternee);
    depart.setColor(QPalette::Text, kTexteSaisie);
    depart.setColor(QPalette::Button, kRechercheBouton);
    depart.setColor(QPalette::ButtonText, kRechercheTexte);
    return depart;
}

} // namespace kavel
