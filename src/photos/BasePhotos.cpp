// The photo base file: reading it in any of its decimal signs, writing it in place.
#include "photos/BasePhotos.h"

#include "exposure/NumberText.h"
#include "platform/FichierEcriture.h"
#include "platform/NomFichier.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

namespace kavel {

namespace {

// Longest line kept from a base file, with its line end: a path is far
// shorter; a file that is not a base must not fill the memory.
constexpr qsizetype kLongueurLigneMax = 64 * 1024 - 1;
// The file is read a block at a time.
constexpr qsizetype kBloc = 1 << 20;

bool chiffre(char c) { return c >= '0' && c <= '9'; }

// The decimal signs, as UTF-8, of every locale the base may have been
// written under, beyond "." and ",": the Arabic "٫" (U+066B) of Arabic and
// Persian locales. Whatever locale wrote a base, its numbers read back.
const std::vector<QByteArray> &separateursLocaux()
{
    static const std::vector<QByteArray> separateurs = [] {
        std::vector<QByteArray> liste;
        const QList<QLocale> locales = QLocale::matchingLocales(
            QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
        for (const QLocale &locale : locales) {
            const QByteArray s = locale.decimalPoint().toUtf8();
            if (!s.isEmpty() && static_cast<unsigned char>(s[0]) >= 0x80
                && std::find(liste.begin(), liste.end(), s) == liste.end())
                liste.push_back(s);
        }
        return liste;
    }();
    return separateurs;
}

// The length of the decimal sign at p, 0 when there is none.
qsizetype separateur(const char *p, const char *fin)
{
    if (p == fin)
        return 0;
    if (*p == '.' || *p == ',')
        return 1;
    if (static_cast<unsigned char>(*p) < 0x80)
        return 0;
    for (const QByteArray &s : separateursLocaux())
        if (fin - p >= s.size() && std::memcmp(p, s.constData(), std::size_t(s.size())) == 0)
            return s.size();
    return 0;
}

// A number as readNumber reads a whole text once its decimal sign is a
// comma: blanks, a sign, digits with at most one decimal sign (".", "," or
// another locale's), an exponent, blanks.
// Returns where they end, nullptr when no number starts at p; the text is a
// number only if nothing but its end (or the field's closing quote) is there.
// The short ones, which are all a base holds, are converted here: digits up
// to 2^53 and a power of ten up to 22 are exact doubles, so one division or
// multiplication gives the nearest double, as readDecimal does; any other
// goes to readDecimal.
const char *nombre(const char *p, const char *fin, double &valeur)
{
    while (p < fin && (*p == ' ' || *p == '\t'))
        ++p;
    const char *const debut = p;
    const bool negatif = p < fin && *p == '-';
    if (p < fin && (*p == '+' || *p == '-'))
        ++p;
    // The digits from the first that is not 0 make the mantissa, which is
    // not used past 19 of them.
    std::uint64_t mantisse = 0;
    qsizetype significatifs = 0;
    const auto lit = [&] {
        const char *const premier = p;
        if (significatifs == 0)
            while (p < fin && *p == '0')
                ++p;
        const char *const premierSignificatif = p;
        for (; p < fin && chiffre(*p); ++p)
            mantisse = mantisse * 10 + std::uint64_t(*p - '0');
        significatifs += p - premierSignificatif;
        return p - premier;
    };
    qsizetype chiffres = lit(), decimales = 0;
    const char *const signe = p;
    const qsizetype longueurSigne = separateur(p, fin);
    if (longueurSigne > 0) {
        p += longueurSigne;
        decimales = lit();
        chiffres += decimales;
    }
    if (chiffres == 0)
        return nullptr;
    long exposant = 0;
    if (p < fin && (*p == 'E' || *p == 'e')) {
        ++p;
        const bool moins = p < fin && *p == '-';
        if (p < fin && (*p == '+' || *p == '-'))
            ++p;
        if (p == fin || !chiffre(*p))
            return nullptr; // an E that nothing but digits may follow
        for (; p < fin && chiffre(*p); ++p)
            exposant = std::min(exposant * 10 + (*p - '0'), 1'000'000L);
        if (moins)
            exposant = -exposant;
    }
    const char *const finNombre = p;
    while (p < fin && (*p == ' ' || *p == '\t'))
        ++p;
    static constexpr double puissances[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                            1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    const long puissance = exposant - long(decimales);
    if (significatifs <= 19 && mantisse <= std::uint64_t(1) << 53 && puissance >= -22 && puissance <= 22) {
        const double m = static_cast<double>(mantisse);
        const double v = puissance < 0 ? m / puissances[-puissance] : m * puissances[puissance];
        valeur = negatif ? -v : v;
        return p;
    }
    std::string texte(debut, finNombre);
    if (longueurSigne > 0)
        texte.replace(std::size_t(signe - debut), std::size_t(longueurSigne), 1, '.');
    const std::optional<double> v = readDecimal(texte);
    valeur = v.value_or(0);
    return v ? p : nullptr;
}

// The lines of a file, read a block at a time.
class Lignes {
public:
    explicit Lignes(QFile &file)
        : m_file(file), m_tampon(new char[kBloc + kLongueurLigneMax])
    {
    }

    // The next line without its line end (LF, after any CRs: CR LF, or the
    // CR CR LF some editors leave), valid until the next call; nothing at the
    // end of the file or where no line end comes within kLongueurLigneMax
    // bytes (the last line may lack its own).
    std::optional<QByteArrayView> suivante()
    {
        for (;;) {
            const char *debut = m_tampon.get() + m_pos;
            const qsizetype reste = m_taille - m_pos;
            const qsizetype cherche = std::min(reste, kLongueurLigneMax);
            const char *lf = cherche > 0 ? static_cast<const char *>(std::memchr(debut, '\n', std::size_t(cherche))) : nullptr;
            if (!lf && reste > kLongueurLigneMax)
                return std::nullopt; // longer than any path: not a base
            if (lf || (m_fin && reste > 0)) {
                qsizetype n = lf ? lf - debut : reste;
                m_pos += lf ? n + 1 : n;
                while (n > 0 && debut[n - 1] == '\r')
                    --n;
                return QByteArrayView(debut, n);
            }
            if (m_fin)
                return std::nullopt;
            // What is left is shorter than a line: it moves to the front.
            std::memmove(m_tampon.get(), debut, std::size_t(reste));
            m_pos = 0;
            const qint64 lus = m_file.read(m_tampon.get() + reste, kBloc);
            m_taille = reste + std::max<qint64>(lus, 0);
            m_fin = lus <= 0;
        }
    }

private:
    QFile &m_file;
    std::unique_ptr<char[]> m_tampon;
    qsizetype m_pos = 0, m_taille = 0;
    bool m_fin = false;
};

} // namespace

QString texteNombre(double value, const QLocale &locale)
{
    QString text = numText(value); // comma as separator
    const QString separateur = locale.decimalPoint();
    if (separateur != QLatin1String(","))
        text.replace(QLatin1Char(','), separateur);
    return text;
}

std::optional<double> lireNombre(QStringView text)
{
    const QByteArray octets = text.toUtf8();
    double valeur;
    const char *const fin = octets.constData() + octets.size();
    return nombre(octets.constData(), fin, valeur) == fin ? std::optional(valeur) : std::nullopt;
}

namespace {

QString dansDossier(const QString &dossier)
{
    return dossier + QLatin1Char('/') + QLatin1String(kNomBasePhotos);
}

QString dossierUtilisateur()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

} // namespace

QString cheminBaseEcrite(const QString &programFolder)
{
    if (dossierInscriptible(programFolder))
        return dansDossier(programFolder);
    // The folder is made by the scan that writes the first base there: asking
    // where the base goes, as the start-up does, makes nothing.
    return dansDossier(dossierUtilisateur());
}

QString cheminBaseLue(const QString &programFolder)
{
    const QString ecrite = cheminBaseEcrite(programFolder);
    return QFile::exists(ecrite) ? ecrite : dansDossier(programFolder);
}

bool cheminEnregistrable(const QString &path)
{
    return !path.isEmpty() && !path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r'));
}

QByteArray texteBasePhotos(const std::vector<TypePhoto> &photos, const QLocale &locale)
{
    const QByteArray separateur = locale.decimalPoint().toUtf8();
    QByteArray text = QByteArray::number(static_cast<qulonglong>(photos.size())) + "\r\n";
    // Written straight into the array, each record's room made first.
    constexpr qsizetype kNombreMax = kLongueurNombreMax * 4 + 2; // a number, separators as wide as 4 bytes, quotes
    qsizetype fin = text.size();
    char nombre[kLongueurNombreMax];
    for (const TypePhoto &p : photos) {
        const QByteArray nom = platform::octetsDeNom(p.Fichier); // the name's own bytes, whatever they are
        if (text.size() < fin + nom.size() + 4 + 4 * kNombreMax)
            text.resize(std::max(text.size() * 2, fin + nom.size() + 4 + 4 * kNombreMax));
        char *o = text.data() + fin;
        o = std::copy(nom.begin(), nom.end(), o);
        *o++ = '\r';
        *o++ = '\n';
        for (double v : {p.ValEV, p.ValSpeed, p.ValDiaf, p.ValIso}) {
            // texteNombre's text, in the locale's separator
            const int n = numTextOctets(v, nombre);
            *o++ = '"';
            for (int i = 0; i < n; ++i) {
                if (nombre[i] == ',')
                    o = std::copy(separateur.begin(), separateur.end(), o);
                else
                    *o++ = nombre[i];
            }
            *o++ = '"';
        }
        *o++ = '\r';
        *o++ = '\n';
        fin = o - text.data();
    }
    text.truncate(fin);
    return text;
}

bool EcritBasePhotos(const QString &path, const std::vector<TypePhoto> &photos, QString *erreur,
                     const QLocale &locale)
{
    FichierEcriture file(path);
    const bool ok = file.ouvre() && file.ecrit(texteBasePhotos(photos, locale)) && file.valide();
    if (!ok && erreur)
        *erreur = raisonEchecEcriture(file.erreur());
    return ok;
}

namespace {

// The four quoted numbers of a record's second line; what lies outside the
// quotes is not looked at.
std::optional<std::array<double, 4>> valeurs(QByteArrayView l)
{
    std::array<double, 4> v{};
    const char *p = l.data(), *const fin = l.data() + l.size();
    for (double &value : v) {
        while (p < fin && *p != '"')
            ++p;
        if (p == fin)
            return std::nullopt;
        p = nombre(p + 1, fin, value); // the number must fill the quotes
        if (!p || p == fin || *p != '"')
            return std::nullopt;
        ++p;
    }
    return v;
}

} // namespace

LectureBase LireBasePhotos(const QString &path)
{
    LectureBase lecture;
    QFile file(path);
    if (!file.exists())
        return lecture;
    lecture.existe = true;
    const QString nom = QDir::toNativeSeparators(path);
    const QString refaire = QStringLiteral("\nRefaites-la avec « Création base photos ».");
    lecture.erreur = QStringLiteral("La base de photos %1 ne peut pas être lue.").arg(nom);
    lecture.erreur += refaire;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return lecture;
    Lignes lignes(file);
    const std::optional<QByteArrayView> premiere = lignes.suivante();
    if (!premiere)
        return lecture;
    bool ok = false;
    const long long compte = premiere->toByteArray().trimmed().toLongLong(&ok);
    if (!ok || compte < 0)
        return lecture;
    lecture.erreur.clear();
    lecture.compte = compte;
    // A record takes 13 bytes at the least (an empty path, "1""1""1""1").
    if (!file.isSequential())
        lecture.photos.reserve(std::size_t(std::min(compte, file.size() / 13 + 1)));
    while (static_cast<long long>(lecture.photos.size()) < compte) {
        const std::optional<QByteArrayView> chemin = lignes.suivante();
        if (!chemin)
            break;
        QString fichier = platform::texteDeNom(*chemin); // the next line may move the buffer
        const std::optional<QByteArrayView> nombres = lignes.suivante();
        const std::optional<std::array<double, 4>> v = nombres ? valeurs(*nombres) : std::nullopt;
        if (!v)
            break;
        lecture.photos.push_back({std::move(fichier), (*v)[0], (*v)[1], (*v)[2], (*v)[3]});
    }
    if (static_cast<long long>(lecture.photos.size()) < compte)
        lecture.erreur = QStringLiteral("La base de photos %1 est endommagée : "
                                        "%2 de ses %3 photos ont pu être lues.")
                             .arg(nom)
                             .arg(lecture.photos.size())
                             .arg(compte)
                         + refaire;
    return lecture;
}

} // namespace kavel
