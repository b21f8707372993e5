#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

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

// A path as the system calls take it: a folder's descriptor and a name
// relative to it. A path the system takes whole (shorter than PATH_MAX) is
// given as it is, relative to the current folder; a longer one is walked
// from folder to folder, each opened relative to the one before, so that no
// call needs the whole path.
class CheminSysteme {
public:
    explicit CheminSysteme(QStringView chemin);
    ~CheminSysteme();
    CheminSysteme(const CheminSysteme &) = delete;
    CheminSysteme &operator=(const CheminSysteme &) = delete;

    // AT_FDCWD, a folder's descriptor, or -1 when a folder on the way could
    // not be opened (every call with it then fails).
    int dossier() const { return m_dossier; }
    const char *nom() const { return m_octets.constData() + m_debutNom; }

private:
    QByteArray m_octets;
    int m_dossier;
    qsizetype m_debutNom = 0;
};

} // namespace kavel::platform
