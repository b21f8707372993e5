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
    QPalette p;
    const QColor window(40, 40, 40);
    const QColor light(230, 230, 230);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, light);
    p.setColor(QPalette::Base, Qt::black);
    p.setColor(QPalette::AlternateBase, QColor(24, 24, 24));
    p.setColor(QPalette::Text, Qt::white);
    p.setColor(QPalette::PlaceholderText, QColor(150, 150, 150));
    p.setColor(QPalette::Button, QColor(64, 64, 64));
    p.setColor(QPalette::ButtonText, light);
    p.setColor(QPalette::Highlight, QColor(70, 110, 170));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(56, 56, 56));
    p.setColor(QPalette::ToolTipText, light);
    p.setColor(QPalette::Light, QColor(90, 90, 90));
    p.setColor(QPalette::Midlight, QColor(75, 75, 75));
    p.setColor(QPalette::Mid, QColor(50, 50, 50));
    p.setColor(QPalette::Dark, QColor(30, 30, 30));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Link, QColor(120, 170, 255));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(120, 120, 120));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(120, 120, 120));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(120, 120, 120));
    return p;
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
