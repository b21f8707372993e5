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
