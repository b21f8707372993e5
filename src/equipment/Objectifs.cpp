#include "equipment/Objectifs.h"

#include "exposure/NumberText.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <limits>
#include <optional>

namespace kavel {

QString motMarque(const QString &nomBoitier)
{
    const qsizetype espace = nomBoitier.indexOf(QLatin1Char(' '));
    return espace < 0 ? QString() : nomBoitier.left(espace);
}

QString cheminCatalogue(const QString &dossier, const QString &nomBoitier)
{
    const QString marque = motMarque(nomBoitier);
    if (marque.contains(QLatin1Char('/')) || marque.contains(QLatin1Char('\\')) || marque.contains(QChar(0)))
        return {};
    return dossier + QStringLiteral("/Objectifs") + marque + QStringLiteral(".txt");
}

namespace {

// A value longer than this is cut: no name or number needs more, and a
// file that is not a catalogue must not fill the memory.
constexpr qsizetype kLongueurValeurMax = 1024;

// Reads a file byte by byte through a buffer.
class Lecteur {
public:
    explicit Lecteur(QFile &file)
        : m_file(file)
    {
    }

    // The next byte, without taking it; -1 at the end of the file.
    int peek()
    {
        if (m_pos == m_buffer.size()) {
            m_buffer = m_file.read(64 * 1024);
            m_pos = 0;
            if (m_buffer.isEmpty())
                return -1;
        }
        return static_cast<unsigned char>(m_buffer[m_pos]);
    }
    int get()
    {
        const int c = peek();
        if (c >= 0)
            ++m_pos;
        return c;
    }

    // Takes the header line with its line end.
    void sauteLigne()
    {
        for (int c = get(); c >= 0; c = get()) {
            if (c == '\n')
                return;
            if (c == '\r') {
                if (peek() == '\n')
                    get();
                return;
            }
        }
    }

    // Skips blanks and line ends; false at the end of the file.
    bool sauteBlancs()
    {
        for (int c = peek(); c >= 0; c = peek()) {
            if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                return true;
            get();
        }
        return false;
    }

    // One value: quoted (the quotes are not part of it, commas are) or up to
    // the next comma or line end, trailing blanks dropped. The separator is
    // taken. Nothing at the end of the file.
    std::optional<QByteArray> valeur()
    {
        if (!sauteBlancs())
            return std::nullopt;
        QByteArray v;
        if (peek() == '"') {
            get();
            for (int c = get(); c != '"'; c = get()) {
                if (c < 0)
                    return std::nullopt; // quote never closed: cut short
                if (v.size() < kLongueurValeurMax)
                    v.append(static_cast<char>(c));
            }
            // Whatever stands between the closing quote and the separator is dropped.
            for (int c = peek(); c >= 0 && c != ',' && c != '\r' && c != '\n'; c = peek())
                get();
        } else {
            for (int c = peek(); c >= 0 && c != ',' && c != '\r' && c != '\n'; c = peek()) {
                if (v.size() < kLongueurValeurMax)
                    v.append(static_cast<char>(c));
                get();
            }
            while (!v.isEmpty() && (v.back() == ' ' || v.back() == '\t'))
                v.chop(1);
        }
        if (peek() == ',')
            get();
        return v;
    }

private:
    QFile &m_file;
    QByteArray m_buffer;
    qsizetype m_pos = 0;
};

// A whole value that is a number with a point decimal, within single range.
std::optional<float> nombre(const QByteArray &v)
{
    const std::optional<double> d = readDecimal(std::string_view(v.constData(), static_cast<std::size_t>(v.size())));
    if (!d || std::abs(*d) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*d);
}

// The number a value starts with (0 when it starts with none).
float nombreEnTete(const QByteArray &v)
{
    const double d = leadingNumber(QString::fromLatin1(v));
    return std::abs(d) > std::numeric_limits<float>::max() ? 0.f : static_cast<float>(d);
}

std::optional<TypeObjectif> enregistrement(Lecteur &lecteur)
{
    std::optional<QByteArray> v[8];
    for (auto &valeur : v) {
        valeur = lecteur.valeur();
        if (!valeur)
            return std::nullopt;
    }
    TypeObjectif o;
    o.Nom = QString::fromLatin1(*v[0]);
    const std::optional<float> focalMini = nombre(*v[1]);
    const std::optional<float> focalMaxi = nombre(*v[2]);
    const std::optional<float> diafMaxi = nombre(*v[5]);
    const std::optional<float> diafMaxiZoom = nombre(*v[6]);
    const std::optional<float> stab = nombre(*v[7]);
    if (!focalMini || !focalMaxi || !diafMaxi || !diafMaxiZoom || !stab || (*stab != 0 && *stab != 1))
        return std::nullopt;
    o.FocalMini = *focalMini;
    o.FocalMaxi = *focalMaxi;
    o.DiafMini = nombreEnTete(*v[3]);
    o.DiafMiniZoom = nombreEnTete(*v[4]);
    o.DiafMaxi = *diafMaxi;
    o.DiafMaxiZoom = *diafMaxiZoom;
    o.Stabilisateur = static_cast<qint16>(*stab);
    return o;
}

} // namespace

std::vector<TypeObjectif> LireCatalogue(const QString &chemin)
{
    std::vector<TypeObjectif> objectifs;
    if (chemin.isEmpty())
        return objectifs;
    if (!QFileInfo(chemin).isFile())
        return objectifs; // missing, or a folder or device under that name
    QFile file(chemin);
    if (!file.open(QIODevice::ReadOnly))
        return objectifs;
    Lecteur lecteur(file);
    lecteur.sauteLigne();
    while (static_cast<int>(objectifs.size()) < kMaxObjectifs && lecteur.sauteBlancs()) {
        std::optional<TypeObjectif> o = enregistrement(lecteur);
        if (!o)
            break;
        objectifs.push_back(std::move(*o));
    }
    return objectifs;
}

} // namespace kavel
