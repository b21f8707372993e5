#pragma once

#include <QString>
#include <QUrl>
#include <functional>

class QWidget;

// The program's few contacts with the desktop: message boxes, opening a web
// or mail address or a file, and where the program lives.
// Each goes through one replaceable handler, so a test can watch it instead
// of blocking on a modal box or launching a browser.
namespace kavel::platform {

enum class BoxIcon { None, Information, Warning, Critical };

struct MessageBox {
    QString title;
    QString text;
    BoxIcon icon = BoxIcon::None;
};

using MessageBoxHandler = std::function<void(QWidget *parent, const MessageBox &box)>;
using OpenUrlHandler = std::function<bool(const QUrl &url)>;

// A modal box with a single OK button; returns when it is closed.
void showMessage(QWidget *parent, const MessageBox &box);
bool openUrl(const QUrl &url);

// Each setter returns the handler it replaces; an empty handler restores the
// desktop's own behaviour.
MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);
OpenUrlHandler setOpenUrlHandler(OpenUrlHandler handler);

// The program's folder, where its catalogues and samples (and, when it may
// be written, the photo base) live: dossierDonnees of the executable's folder.
QString programFolder();
// Installed for every user, the program lies in PREFIX/bin and its data in
// PREFIX/share/kavel; a build or a home install keeps them beside the
// program. The data folder for an executable in dossierExecutable.
QString dossierDonnees(const QString &dossierExecutable);
// The user's own data folder for the program ($XDG_DATA_HOME/Kavel), not
// created here: it is made when something is first written to it.
QString dossierUtilisateur();
// The file of the choices the program remembers ($XDG_CONFIG_HOME/Kavel).
QString cheminReglages();

// Where the user may reach the program's author, as the build was told
// (KAVEL_CONTACT, KAVEL_SITE): a mail address and a web site.
QString adresseAuteur();
QString siteAuteur();

struct Version {
    int major;
    int minor;
    int patch;
};
Version programVersion();

} // namespace kavel::platform
