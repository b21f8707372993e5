// The desktop's shared thumbnail cache: its keys, reading and writing its entries.
#include "photos/vignettes/CacheVignettes.h"

#include "photos/FormatsPhoto.h"

#include "platform/FichierEcriture.h"
#include "platform/FichierLecture.h"
#include "platform/ListeDossier.h"
#include "platform/NomFichier.h"

#include <QBuffer>
#include <QColorSpace>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>
#include <array>
#include <cstring>

namespace kavel::cachevignettes {

namespace {

struct Classe {
    int cote;
    const char *dossier;
};
constexpr std::array<Classe, 4> kClasses{{{128, "normal"}, {256, "large"}, {512, "x-large"}, {1024, "xx-large"}}};

// What the cache may hold under a thumbnail's name is read only when it is
// the size of a thumbnail: nothing bigger than this a side, nor a file
// heavier than this.
constexpr int kCoteMaxLu = 2048;
constexpr qint64 kOctetsMaxLus = 16 * 1024 * 1024;
constexpr int kAllocationMaxMo = 32; // 2048 x 2048 x 4 bytes is 16 MB

int indiceClasse(int classe)
{
    for (int i = 0; i < int(kClasses.size()); ++i)
        if (kClasses[i].cote == classe)
            return i;
    return -1;
}

QString dossierClasse(int indice)
{
    return dossier() + QLatin1Char('/') + QLatin1String(kClasses[indice].dossier);
}

// The entry's name: lowercase hex MD5 of the URI.
QString nomEntree(const QByteArray &uri)
{
    return QString::fromLatin1(QCryptographicHash::hash(uri, QCryptographicHash::Md5).toHex()) + QStringLiteral(".png");
}

// The bytes a file: URI keeps as they are, as GLib has it; every other
// one becomes %XX.
bool gardeTel(unsigned char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return c != 0 && std::strchr("-._~!$&'()*+,=:@/", c) != nullptr;
}

qint64 secondes(qint64 nanosecondes)
{
    // Whole seconds rounded down, as st_mtime has them, before 1970 too.
    constexpr qint64 kMilliard = 1'000'000'000;
    return nanosecondes >= 0 ? nanosecondes / kMilliard : -((-nanosecondes + kMilliard - 1) / kMilliard);
}

bool entierEgal(const QString &texte, qint64 attendu)
{
    bool ok = false;
    const qint64 valeur = texte.trimmed().toLongLong(&ok);
    return ok && valeur == attendu;
}

// CRC-32 of PNG chunks (ISO 3309 polynomial, reflected).
constexpr std::array<quint32, 256> kTableCrc = [] {
    std::array<quint32, 256> table{};
    for (quint32 n = 0; n < 256; ++n) {
        quint32 c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

quint32 crc32(QByteArrayView octets)
{
    quint32 c = 0xFFFFFFFFu;
    for (const char o : octets)
        c = kTableCrc[(c ^ static_cast<unsigned char>(o)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void ajouteBE32(QByteArray &o, quint32 v)
{
    o += char(v >> 24), o += char(v >> 16), o += char(v >> 8), o += char(v);
}

// A plain, uncompressed tEXt chunk: Latin-1 key, NUL, Latin-1 value.
QByteArray morceauTexte(QByteArrayView cle, QByteArrayView valeur)
{
    QByteArray corps = "tEXt";
    corps += cle;
    corps += '\0';
    corps += valeur;
    QByteArray morceau;
    ajouteBE32(morceau, quint32(corps.size() - 4));
    morceau += corps;
    ajouteBE32(morceau, crc32(corps));
    return morceau;
}

// The MIME type of a photo told by its extension; empty for a file of
// another kind, or of a kind without a registered type.
QByteArray typeMime(const QByteArray &uri)
{
    const qsizetype point = uri.lastIndexOf('.');
    if (point < 0 || uri.indexOf('/', point) >= 0)
        return {};
    const QByteArray extension = uri.mid(point + 1).toLower();
    for (const formats::TypePhoto &t : formats::kTypesPhoto)
        if (extension == t.extension)
            return t.mime;
    return {};
}

// The PNG of a thumbnail with its keys as tEXt chunks right after IHDR,
// where readers look for them before the pixels. Qt's writer would turn a
// value of 40 characters or more (any real URI) into a compressed zTXt,
// which GLib's check of the cache does not read (the file managers would
// find our thumbnails invalid and make their own): the image is encoded
// without text and the chunks put in by hand.
QByteArray png(const Source &source, const QImage &vignette)
{
    QImage image = vignette;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32)
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.colorSpace().isValid() && image.colorSpace() != QColorSpace(QColorSpace::SRgb))
        image.convertToColorSpace(QColorSpace::SRgb);
    // The same pixels without the texts, colour space and resolution the
    // photo's decoder may have left on them.
    const QImage nue(image.constBits(), image.width(), image.height(), image.bytesPerLine(), image.format());

    QByteArray octets;
    QBuffer tampon(&octets);
    tampon.open(QIODevice::WriteOnly);
    QImageWriter writer(&tampon, "png");
    if (!writer.write(nue))
        return {};
    tampon.close();

    // Signature (8 bytes), then IHDR: length 13, type, 13 bytes, CRC.
    constexpr qsizetype kFinIhdr = 8 + 4 + 4 + 13 + 4;
    if (octets.size() < kFinIhdr || octets.mid(8, 8) != QByteArrayView("\0\0\0\x0DIHDR", 8))
        return {};
    QByteArray textes = morceauTexte("Thumb::URI", source.uri);
    textes += morceauTexte("Thumb::MTime", QByteArray::number(source.mtime));
    textes += morceauTexte("Thumb::Size", QByteArray::number(source.taille));
    if (const QByteArray mime = typeMime(source.uri); !mime.isEmpty())
        textes += morceauTexte("Thumb::Mimetype", mime);
    textes += morceauTexte("Software", "Kavel");
    octets.insert(kFinIhdr, textes);
    return octets;
}

// The text keys a PNG holds before its pixels, read from its chunks:
// QImageReader::text() cannot give them, as it splits each key from its
// value at the first colon, the one inside "Thumb::URI".
struct Entete {
    QHash<QByteArray, QByteArray> textes; // plain tEXt and uncompressed iTXt
    bool compresses = false;              // zTXt or compressed iTXt, seen only once decoded
};

std::optional<Entete> litEntete(QIODevice &file)
{
    constexpr quint32 kTexteMax = 64 * 1024;
    constexpr int kMorceauxMax = 256;
    if (file.read(8) != QByteArrayView("\x89PNG\r\n\x1A\n", 8))
        return std::nullopt;
    Entete entete;
    for (int n = 0; n < kMorceauxMax; ++n) {
        const QByteArray tete = file.read(8);
        if (tete.size() != 8)
            return std::nullopt;
        const quint32 longueur = qFromBigEndian<quint32>(tete.constData());
        const QByteArray type = tete.mid(4);
        if (type == "IDAT" || type == "IEND")
            return entete;
        if (longueur > 0x7FFFFFFFu)
            return std::nullopt;
        const bool texte = type == "tEXt" || type == "iTXt" || type == "zTXt";
        if (!texte || longueur > kTexteMax) {
            if (!file.seek(file.pos() + longueur + 4))
                return std::nullopt;
            continue;
        }
        const QByteArray corps = file.read(longueur);
        if (corps.size() != qsizetype(longueur) || file.read(4).size() != 4)
            return std::nullopt;
        const qsizetype nul = corps.indexOf('\0');
        if (nul <= 0)
            continue;
        const QByteArray cle = corps.left(nul);
        if (type == "zTXt") {
            entete.compresses = true;
        } else if (type == "tEXt") {
            entete.textes.insert(cle, corps.mid(nul + 1));
        } else if (nul + 2 < corps.size()) {
            // iTXt: key, NUL, compression flag and method, language, NUL,
            // translated key, NUL, UTF-8 text.
            const qsizetype langue = corps.indexOf('\0', nul + 3);
            const qsizetype traduction = langue < 0 ? -1 : corps.indexOf('\0', langue + 1);
            if (corps[nul + 1] != 0)
                entete.compresses = true;
            else if (traduction >= 0)
                entete.textes.insert(cle, corps.mid(traduction + 1));
        }
    }
    return std::nullopt;
}

// Whether the keys name this photo as it is now: URI and MTime must be
// there and match; Size is optional but, when there, must match too.
template<typename Cle>
bool correspond(const Source &source, Cle cle)
{
    const QString taille = cle("Thumb::Size");
    return cle("Thumb::URI") == QLatin1String(source.uri) && entierEgal(cle("Thumb::MTime"), source.mtime)
           && (taille.isEmpty() || entierEgal(taille, source.taille));
}

// A valid thumbnail of the photo at path, or null. The keys are checked
// before a single pixel is decoded, so a stale or foreign entry costs the
// reading of its head only; keys written compressed (as Qt's own writer
// does with long values) can only be checked once decoded.
QImage litEntree(const Source &source, const QString &path)
{
    QFile file;
    if (!ouvreFichierOrdinaire(path, file) || file.size() > kOctetsMaxLus)
        return {};
    const std::optional<Entete> entete = litEntete(file);
    if (!entete || !file.seek(0))
        return {};
    const auto cleEntete = [&](const char *cle) { return QString::fromLatin1(entete->textes.value(cle)); };
    const bool dejaVue = entete->textes.contains("Thumb::URI") && entete->textes.contains("Thumb::MTime");
    if (dejaVue ? !correspond(source, cleEntete) : !entete->compresses)
        return {};

    QImageReader reader(&file, "png");
    reader.setAllocationLimit(kAllocationMaxMo);
    reader.setAutoTransform(false);
    const QSize taille = reader.size();
    if (!taille.isValid() || taille.isEmpty() || taille.width() > kCoteMaxLu || taille.height() > kCoteMaxLu)
        return {};
    QImage image;
    if (!reader.read(&image))
        return {};
    if (!dejaVue && !correspond(source, [&](const char *cle) { return image.text(QLatin1String(cle)); }))
        return {};
    return image;
}

} // namespace

QString dossier()
{
    // Read at each call: the environment is the user's to change.
    const auto sansBarreFinale = [](QByteArray d) {
        while (d.endsWith('/'))
            d.chop(1);
        return platform::texteDeNom(d);
    };
    const QByteArray cache = qgetenv("XDG_CACHE_HOME");
    if (cache.startsWith('/'))
        return sansBarreFinale(cache) + QStringLiteral("/thumbnails");
    const QByteArray home = qgetenv("HOME");
    const QString maison = home.startsWith('/') ? sansBarreFinale(home) : QDir::homePath();
    return maison + QStringLiteral("/.cache/thumbnails");
}

QByteArray uri(const QString &path)
{
    // The cache names a photo by its absolute path as given, links and ".."
    // included, as the file managers do.
    const QByteArray octets = platform::octetsDeNom(
        path.startsWith(QLatin1Char('/')) ? path : QDir::currentPath() + QLatin1Char('/') + path);
    static constexpr char kHex[] = "0123456789ABCDEF";
    QByteArray u = "file://";
    u.reserve(u.size() + octets.size() * 3);
    for (const char o : octets) {
        const auto c = static_cast<unsigned char>(o);
        if (gardeTel(c)) {
            u += o;
        } else {
            u += '%';
            u += kHex[c >> 4];
            u += kHex[c & 0xF];
        }
    }
    return u;
}

std::optional<Source> source(const QString &path)
{
    qint64 taille = 0, modification = 0;
    if (path.isEmpty() || !platform::etatFichier(path, taille, modification))
        return std::nullopt;
    return Source{uri(path), secondes(modification), taille};
}

QSize tailleDansClasse(QSize naturelle, int classe)
{
    if (naturelle.isEmpty() || classe <= 0)
        return {};
    const qint64 w = naturelle.width(), h = naturelle.height(), grand = std::max(w, h);
    if (grand <= classe)
        return naturelle;
    // Rounded to the nearest pixel, at least one.
    const auto cote = [&](qint64 v) { return int(std::max<qint64>(1, (2 * v * classe + grand) / (2 * grand))); };
    return {cote(w), cote(h)};
}

int classePour(QSize naturelle, QSize voulue)
{
    if (naturelle.isEmpty() || voulue.isEmpty())
        return 0;
    for (const Classe &c : kClasses) {
        const QSize t = tailleDansClasse(naturelle, c.cote);
        if (t.width() >= voulue.width() && t.height() >= voulue.height())
            return c.cote;
    }
    return 0;
}

QImage lit(const Source &source, int classe)
{
    const int premiere = indiceClasse(classe);
    if (premiere < 0 || source.uri.isEmpty())
        return {};
    const QString nom = nomEntree(source.uri);
    for (int i = premiere; i < int(kClasses.size()); ++i) {
        QImage image = litEntree(source, dossierClasse(i) + QLatin1Char('/') + nom);
        if (!image.isNull())
            return image;
    }
    return {};
}

bool ecrit(const Source &source, int classe, const QImage &vignette)
{
    const int indice = indiceClasse(classe);
    if (indice < 0 || source.uri.isEmpty() || vignette.isNull())
        return false;
    // No thumbnails of the cache's own thumbnails.
    const QByteArray racine = uri(dossier());
    if (source.uri.startsWith(racine + '/'))
        return false;
    QImage image = vignette;
    if (std::max(image.width(), image.height()) > classe)
        image = image.scaled(tailleDansClasse(image.size(), classe), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const QByteArray octets = png(source, image);
    if (octets.isEmpty())
        return false;

    // Only this user's: a folder made here is 0700 and each entry 0600,
    // whatever the umask. The entry is written beside its final name and
    // renamed over it, so that a reader finds the old one or the new one,
    // never half of one; a cache is not worth waiting for the disk.
    const QString dossierEntree = dossierClasse(indice);
    if (!creeDossiers(dossierEntree, 0700))
        return false;
    FichierEcriture fichier(dossierEntree + QLatin1Char('/') + nomEntree(source.uri));
    fichier.setMode(0600);
    return fichier.ouvre() && fichier.ecrit(octets) && fichier.valide(false);
}

} // namespace kavel::cachevignettes
