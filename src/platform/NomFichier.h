#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <vector>

// File names as the system keeps them: bytes, nearly always UTF-8, but a
// name copied from an older disk or camera card may hold bytes of another
// code page ("IMG_\xE9t\xE9.jpg" in Latin-1). Reading such a name as UTF-8
// would turn those bytes into U+FFFD, and the file could not be opened
// again. The program keeps every path as text made by texteDeNom and gives
// the system back octetsDeNom of it.
namespace kavel::platform {

// Valid UTF-8 reads as UTF-8; each byte of an invalid sequence becomes the
// lone surrogate U+DC00 + byte (U+DC80 ... U+DCFF), which no valid name
// decodes to. octetsDeNom(texteDeNom(b)) == b for any bytes b.
QString texteDeNom(QByteArrayView octets);
// The bytes of a name made by texteDeNom; any other text as UTF-8.
QByteArray octetsDeNom(QStringView texte);

enum class SorteEntree {
    Fichier,     // anything that is not a folder: files, pipes, devices, links to those or to nothing
    Dossier,     // a folder itself
    LienDossier, // a link to a folder
};

struct EntreeDossier {
    QString nom; // as texteDeNom gives it
    SorteEntree sorte;
};

// The entries of a folder in the system's order, without "." and "..";
// none when the folder cannot be read.
std::vector<EntreeDossier> entreesDossier(QStringView dossier);

} // namespace kavel::platform
