#include "photos/BasePhotos.h"

#include "exposure/NumberText.h"
#include "platform/FichierEcriture.h"
#include "platform/NomFichier.h"

#include <QFile>
#include <array>

namespace kavel {

namespace {

// Longest line kept from a base file: a path is far shorter; a file that is
// not a base must not fill the memory.
constexpr qint64 kLongueurLigneMax = 64 * 1024;

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
    QString commas = text.toString();
    commas.replace(QLatin1Char('.'), QLatin1Char(','));
    return readNumber(commas);
}

bool cheminEnregistrable(const QString &path)
{
    return !path.isEmpty() && !path.contains(QLatin1Char('\n')) && !path.contains(QLatin1Char('\r'));
}

bool EcritBasePhotos(const QString &path, const std::vector<TypePhoto> &photos, QString *erreur,
                     const QLocale &locale)
{
    FichierEcriture file(path);
    bool ok = file.ouvre();
    QByteArray text = QByteArray::number(static_cast<qulonglong>(photos.size())) + "\r\n";
    for (auto p = photos.begin(); ok && p != photos.end(); ++p) {
        text += platform::octetsDeNom(p->Fichier) + "\r\n"; // the name's own bytes, whatever they are
        for (double v : {p->ValEV, p->ValSpeed, p->ValDiaf, p->ValIso})
            text += '"' + texteNombre(v, locale).toUtf8() + '"';
        text += "\r\n";
        if (text.size() > 1 << 20) {
            ok = file.ecrit(text);
            text.clear();
        }
    }
    ok = ok && file.ecrit(text) && file.valide();
    if (!ok && erreur)
        *erreur = raisonEchecEcriture(file.erreur());
    return ok;
}

namespace {

// One line without its line end; nothing at the end of the file.
std::optional<QByteArray> ligne(QFile &file)
{
    if (file.atEnd())
        return std::nullopt;
    QByteArray l = file.readLine(kLongueurLigneMax);
    if (l.endsWith('\n'))
        l.chop(1);
    else if (!file.atEnd())
        return std::nullopt; // longer than any path: not a base
    while (l.endsWith('\r')) // CR LF, or the CR CR LF some editors leave
        l.chop(1);
    return l;
}

// The four quoted numbers of a record's second line.
std::optional<std::array<double, 4>> valeurs(const QByteArray &l)
{
    std::array<double, 4> v{};
    qsizetype pos = 0;
    for (double &value : v) {
        const qsizetype debut = l.indexOf('"', pos);
        const qsizetype fin = debut < 0 ? -1 : l.indexOf('"', debut + 1);
        if (fin < 0)
            return std::nullopt;
        const std::optional<double> n = lireNombre(QString::fromLatin1(l.mid(debut + 1, fin - debut - 1)));
        if (!n)
            return std::nullopt;
        value = *n;
        pos = fin + 1;
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
    if (!file.open(QIODevice::ReadOnly))
        return lecture;
    const std::optional<QByteArray> premiere = ligne(file);
    if (!premiere)
        return lecture;
    bool ok = false;
    const long long compte = premiere->trimmed().toLongLong(&ok);
    if (!ok || compte < 0)
        return lecture;
    lecture.compte = compte;
    while (static_cast<long long>(lecture.photos.size()) < compte) {
        const std::optional<QByteArray> chemin = ligne(file);
        const std::optional<QByteArray> nombres = chemin ? ligne(file) : std::nullopt;
        const std::optional<std::array<double, 4>> v = nombres ? valeurs(*nombres) : std::nullopt;
        if (!v)
            break;
        lecture.photos.push_back({platform::texteDeNom(*chemin), (*v)[0], (*v)[1], (*v)[2], (*v)[3]});
    }
    return lecture;
}

} // namespace kavel
