// The comma-separated text of the equipment catalogues, as it is read:
// lines by blocks within the limits, records over quoted line ends, fields.
#include "equipment/LignesCsv.h"

#include <QByteArrayView>
#include <QFile>
#include <algorithm>
#include <cstring>

namespace kavel::csv {

namespace {

// The file is read by blocks of this size.
constexpr qint64 kTailleBloc = 64 * 1024;

// The byte order mark an editor may put at the start of a UTF-8 file.
constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool nbGuillemetsImpair(const QByteArray &octets)
{
    return octets.count('"') % 2 != 0;
}

} // namespace

bool blanc(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view sansBlancs(std::string_view s)
{
    while (!s.empty() && blanc(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blanc(s.back()))
        s.remove_suffix(1);
    return s;
}

std::string_view vue(const QByteArray &octets)
{
    return {octets.constData(), static_cast<std::size_t>(octets.size())};
}

bool LecteurLignes::suivante(Ligne &ligne)
{
    if (m_numero >= kLignesMax)
        return false;
    ligne.octets.clear();
    qint64 longueur = 0; // of the line, line end excluded
    char dernier = 0;    // its last byte
    bool entamee = false;
    bool lf = false;
    while (!lf) {
        if (m_pos == m_bloc.size()) {
            if (remplis())
                continue;
            if (!entamee || m_coupe)
                return false; // nothing left, or a line cut by the byte limit
            break;            // a last line without line end
        }
        entamee = true;
        const char *debut = m_bloc.constData() + m_pos;
        const qsizetype reste = m_bloc.size() - m_pos;
        const char *fin = static_cast<const char *>(
            std::memchr(debut, '\n', static_cast<std::size_t>(reste)));
        const qsizetype n = fin ? fin - debut : reste;
        const qsizetype place = kLongueurLigneMax + 1 - ligne.octets.size();
        ligne.octets.append(debut, std::min(n, place));
        if (n > 0)
            dernier = debut[n - 1];
        longueur += n;
        m_pos += n;
        if (fin) {
            ++m_pos;
            lf = true;
        }
    }
    ligne.numero = ++m_numero;
    ligne.crlf = lf && dernier == '\r';
    if (ligne.crlf)
        --longueur;
    ligne.tropLongue = longueur > kLongueurLigneMax;
    ligne.octets.truncate(std::min<qint64>(longueur, kLongueurLigneMax));
    return true;
}

bool LecteurLignes::remplis()
{
    if (m_lus >= kOctetsMax) {
        m_coupe = true;
        return false;
    }
    m_bloc.resize(kTailleBloc);
    const qint64 lus = m_file.read(m_bloc.data(), kTailleBloc);
    m_bloc.resize(std::max<qint64>(lus, 0));
    m_pos = 0;
    if (m_lus == 0 && m_bloc.startsWith(QByteArrayView(kBom.data(), kBom.size())))
        m_pos = kBom.size();
    m_lus += m_bloc.size();
    return !m_bloc.isEmpty();
}

bool ligneBlanche(const QByteArray &octets)
{
    return std::all_of(octets.begin(), octets.end(), [](char c) { return blanc(c) || c == '\r'; });
}

bool LecteurEnregistrements::suivant(Ligne &enregistrement, bool &lisible)
{
    do {
        if (!ligneSuivante(enregistrement))
            return false;
    } while (!enregistrement.tropLongue && ligneBlanche(enregistrement.octets));
    lisible = !enregistrement.tropLongue
        && (!nbGuillemetsImpair(enregistrement.octets) || rassemble(enregistrement));
    return true;
}

bool LecteurEnregistrements::ligneSuivante(Ligne &ligne)
{
    if (m_relues.empty())
        return m_lignes.suivante(ligne);
    ligne = std::move(m_relues.front());
    m_relues.pop_front();
    return true;
}

bool LecteurEnregistrements::rassemble(Ligne &enregistrement)
{
    std::vector<Ligne> suite;
    QByteArray octets = enregistrement.octets;
    bool crlf = enregistrement.crlf;
    Ligne ligne;
    bool reste = false; // ligne was taken and stopped the record
    while (ligneSuivante(ligne)) {
        if (ligne.tropLongue || ligne.octets.size() + 2 > kLongueurLigneMax - octets.size()) {
            reste = true;
            break;
        }
        octets += crlf ? "\r\n" : "\n";
        octets += ligne.octets;
        crlf = ligne.crlf;
        const bool ferme = nbGuillemetsImpair(ligne.octets);
        suite.push_back(std::move(ligne));
        if (ferme) {
            enregistrement.octets = std::move(octets);
            enregistrement.crlf = crlf;
            return true;
        }
    }
    if (reste)
        m_relues.push_front(std::move(ligne));
    for (auto it = suite.rbegin(); it != suite.rend(); ++it)
        m_relues.push_front(std::move(*it));
    return false;
}

bool decoupe(
    std::string_view ligne, std::vector<std::string> &champs, std::size_t &nb, bool doublement)
{
    nb = 0;
    std::size_t i = 0;
    const std::size_t n = ligne.size();
    for (;;) {
        if (nb == champs.size())
            champs.emplace_back();
        std::string &champ = champs[nb++];
        champ.clear();
        while (i < n && blanc(ligne[i]))
            ++i;
        if (i < n && ligne[i] == '"') {
            for (++i;; ++i) {
                if (i == n)
                    return false;
                if (ligne[i] != '"') {
                    champ += ligne[i];
                } else if (doublement && i + 1 < n && ligne[i + 1] == '"') {
                    champ += '"';
                    ++i;
                } else {
                    break;
                }
            }
            ++i;
            while (i < n && blanc(ligne[i]))
                ++i;
            if (i < n && ligne[i] != ',')
                return false;
        } else {
            const std::size_t debut = i;
            while (i < n && ligne[i] != ',') {
                if (ligne[i] == '"')
                    return false;
                ++i;
            }
            champ.assign(sansBlancs(ligne.substr(debut, i - debut)));
        }
        if (i == n)
            return true;
        ++i; // the comma
    }
}

bool texte(std::string_view champ, QString &valeur)
{
    const QByteArrayView octets(champ.data(), static_cast<qsizetype>(champ.size()));
    if (!octets.isValidUtf8())
        return false;
    valeur = QString::fromUtf8(octets);
    return true;
}

} // namespace kavel::csv
