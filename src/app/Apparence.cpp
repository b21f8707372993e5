#include "app/Apparence.h"

#include "app/Images.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QToolTip>
#include <QTranslator>

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

namespace {

// The program's icon at the usual sizes.
QIcon iconeProgramme()
{
    QIcon icone;
    for (int cote : {16, 24, 32, 48, 64, 128, 256})
        icone.addPixmap(QPixmap::fromImage(images::icone(cote)));
    return icone;
}

} // namespace

void appliqueApparence(QApplication &app)
{
    QApplication::setStyle(QStringLiteral("Fusion"));
    const QPalette palette = paletteSombre();
    QApplication::setPalette(palette);
    QToolTip::setPalette(palette);
    QApplication::setWindowIcon(iconeProgramme());
    // The program speaks French whatever the desktop's language.
    auto *qt = new QTranslator(&app);
    if (qt->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qt);
    else
        delete qt;
}

} // namespace kavel
