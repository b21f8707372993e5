#include "platform/Desktop.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>
#include <cstdio>

namespace kavel::platform {

namespace {

MessageBoxHandler &messageBoxHandler()
{
    static MessageBoxHandler handler;
    return handler;
}

OpenUrlHandler &openUrlHandler()
{
    static OpenUrlHandler handler;
    return handler;
}

QMessageBox::Icon toQt(BoxIcon icon)
{
    switch (icon) {
    case BoxIcon::Information: return QMessageBox::Information;
    case BoxIcon::Warning: return QMessageBox::Warning;
    case BoxIcon::Critical: return QMessageBox::Critical;
    case BoxIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void showMessage(QWidget *parent, const MessageBox &box)
{
    if (messageBoxHandler()) {
        messageBoxHandler()(parent, box);
        return;
    }
    // The real program under test (a virtual X server) reports its boxes on
    // stderr too, so a test can read what a box says.
    if (qEnvironmentVariableIsSet("KAVEL_TRACE_DIALOGS"))
        std::fprintf(stderr, "kavel-dialog: %s | %s\n", qUtf8Printable(box.title), qUtf8Printable(box.text));
    QMessageBox dialog(toQt(box.icon), box.title, box.text, QMessageBox::Ok, parent);
    dialog.setTextInteractionFlags(Qt::TextSelectableByMouse); // an address or a file name to copy
    dialog.exec();
}

bool openUrl(const QUrl &url)
{
    if (openUrlHandler())
        return openUrlHandler()(url);
    return QDesktopServices::openUrl(url);
}

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(messageBoxHandler(), std::move(handler));
}

OpenUrlHandler setOpenUrlHandler(OpenUrlHandler handler)
{
    return std::exchange(openUrlHandler(), std::move(handler));
}

QString programFolder()
{
    return dossierDonnees(QCoreApplication::applicationDirPath());
}

QString dossierDonnees(const QString &dossierExecutable)
{
    const QDir bin(dossierExecutable);
    const QString partage = QDir::cleanPath(bin.filePath(QStringLiteral("../share/kavel")));
    if (bin.dirName() == QLatin1String("bin") && QFileInfo(partage).isDir())
        return partage;
    return dossierExecutable;
}

QString dossierUtilisateur()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QString cheminReglages()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) + QStringLiteral("/Kavel.conf");
}

QString adresseAuteur()
{
    return QString::fromUtf8(KAVEL_CONTACT);
}

QString siteAuteur()
{
    return QString::fromUtf8(KAVEL_SITE);
}

Version programVersion()
{
    return {KAVEL_VERSION_MAJOR, KAVEL_VERSION_MINOR, KAVEL_VERSION_PATCH};
}

} // namespace kavel::platform
