#include "platform/NomFichier.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

namespace kavel::platform {

namespace {

constexpr char16_t kEchappement = 0xDC00; // + the byte, for bytes 0x80 ... 0xFF

bool suite(QByteArrayView o, qsizetype i, unsigned char min = 0x80, unsigned char max = 0xBF)
{
    if (i >= o.size())
        return false;
    const auto b = static_cast<unsigned char>(o[i]);
    return b >= min && b <= max;
}

// Length of the valid UTF-8 sequence at i, or 0 (no overlong forms, no
// encoded surrogates, nothing above U+10FFFF).
int longueurUtf8(QByteArrayView o, qsizetype i)
{
    const auto b = static_cast<unsigned char>(o[i]);
    if (b < 0x80)
        return 1;
    if (b >= 0xC2 && b <= 0xDF)
        return suite(o, i + 1) ? 2 : 0;
    if (b >= 0xE0 && b <= 0xEF) {
        const unsigned char min = b == 0xE0 ? 0xA0 : 0x80;
        const unsigned char max = b == 0xED ? 0x9F : 0xBF;
        return suite(o, i + 1, min, max) && suite(o, i + 2) ? 3 : 0;
    }
    if (b >= 0xF0 && b <= 0xF4) {
        const unsigned char min = b == 0xF0 ? 0x90 : 0x80;
        const unsigned char max = b == 0xF4 ? 0x8F : 0xBF;
        return suite(o, i + 1, min, max) && suite(o, i + 2) && suite(o, i + 3) ? 4 : 0;
    }
    return 0;
}

void ajouteUtf8(QByteArray &o, char32_t c)
{
    if (c < 0x80) {
        o += char(c);
    } else if (c < 0x800) {
        o += char(0xC0 | (c >> 6));
        o += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        o += char(0xE0 | (c >> 12));
        o += char(0x80 | ((c >> 6) & 0x3F));
        o += char(0x80 | (c & 0x3F));
    } else {
        o += char(0xF0 | (c >> 18));
        o += char(0x80 | ((c >> 12) & 0x3F));
        o += char(0x80 | ((c >> 6) & 0x3F));
        o += char(0x80 | (c & 0x3F));
    }
}

} // namespace

QString texteDeNom(QByteArrayView octets)
{
    // Nearly every name is ASCII, which reads as it stands.
    if (std::all_of(octets.begin(), octets.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QString::fromLatin1(octets);
    QString texte;
    qsizetype valide = 0; // start of the valid run not yet decoded
    for (qsizetype i = 0; i < octets.size();) {
        const int n = longueurUtf8(octets, i);
        if (n > 0) {
            i += n;
            continue;
        }
        texte += QString::fromUtf8(octets.sliced(valide, i - valide));
        texte += QChar(char16_t(kEchappement + static_cast<unsigned char>(octets[i])));
        valide = ++i;
    }
    if (valide == 0)
        return QString::fromUtf8(octets);
    return texte + QString::fromUtf8(octets.sliced(valide));
}

QByteArray octetsDeNom(QStringView texte)
{
    bool ascii = true;
    for (const QChar c : texte)
        ascii = ascii && c.unicode() < 0x80;
    if (ascii)
        return texte.toLatin1();
    QByteArray octets;
    octets.reserve(texte.size());
    for (qsizetype i = 0; i < texte.size(); ++i) {
        const char16_t c = texte[i].unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < texte.size() && QChar::isLowSurrogate(texte[i + 1].unicode())) {
            ajouteUtf8(octets, QChar::surrogateToUcs4(c, texte[i + 1].unicode()));
            ++i;
        } else if (c >= kEchappement + 0x80 && c <= kEchappement + 0xFF) {
            octets += char(c - kEchappement);
        } else if (QChar::isSurrogate(c)) {
            ajouteUtf8(octets, QChar::ReplacementCharacter);
        } else {
            ajouteUtf8(octets, c);
        }
    }
    return octets;
}

CheminSysteme::CheminSysteme(QStringView chemin)
    : m_octets(octetsDeNom(chemin))
    , m_dossier(AT_FDCWD)
{
    if (m_octets.size() < PATH_MAX)
        return;
    // The folders before the last name (a folder's path may end with "/"),
    // a stretch of fewer than PATH_MAX bytes at a time, cut after a "/".
    const qsizetype fin = m_octets.lastIndexOf('/', m_octets.size() - 2);
    constexpr int kTraversee = O_PATH | O_DIRECTORY | O_CLOEXEC; // a folder only passed through
    qsizetype debut = 0;
    while (m_dossier != -1) {
        const qsizetype coupe =
            fin - debut < PATH_MAX ? fin : m_octets.lastIndexOf('/', debut + PATH_MAX - 1);
        if (coupe < debut || (coupe == debut && debut > 0)) {
            m_dossier = -1; // no name is that long
            break;
        }
        const QByteArray bout = coupe == 0 ? QByteArray("/") : m_octets.mid(debut, coupe - debut);
        const int suivant = ::openat(m_dossier, bout.constData(), kTraversee);
        if (m_dossier != AT_FDCWD)
            ::close(m_dossier);
        m_dossier = suivant < 0 ? -1 : suivant;
        debut = coupe + 1;
        if (coupe == fin)
            break;
    }
    m_debutNom = fin + 1;
}

CheminSysteme::~CheminSysteme()
{
    if (m_dossier >= 0)
        ::close(m_dossier);
}

} // namespace kavel::platform
