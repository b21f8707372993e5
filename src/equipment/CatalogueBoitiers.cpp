// The body catalogue and the student's own lenses: their columns, the
// values each must hold, and the text they are written back as. The lines
// and fields are read by LignesCsv.
#include "equipment/CatalogueBoitiers.h"

#include "equipment/LignesCsv.h"
#include "exposure/NumberText.h"
#include "exposure/Scales.h"
#include "platform/FichierLecture.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

namespace kavel {

namespace {

using csv::blanc;
using csv::decoupe;
using csv::kLignesMax;
using csv::LecteurEnregistrements;
using csv::LecteurLignes;
using csv::Ligne;
using csv::ligneBlanche;
using csv::sansBlancs;
using csv::texte;
using csv::vue;

// The last text read in a column. The catalogue is sorted by maker, so a
// maker's name (or a mount's) comes line after line: it is shared rather than
// made again.
struct TexteRecent {
    std::string octets;
    QString texte;
};

bool texte(std::string_view champ, QString &valeur, TexteRecent &recent)
{
    if (champ != recent.octets) {
        if (!texte(champ, recent.texte))
            return false;
        recent.octets.assign(champ);
    }
    valeur = recent.texte;
    return true;
}

// The columns of the body catalogue, in the order it is written.
enum Colonne {
    CMarque, CModele, CAnnee, CMonture, CRecadrage, CVitesseMax, CVitesseFlash,
    CIsoMini, CIsoMaxi, CFocaleMini, CFocaleMaxi, CDiafMini, CDiafMiniZoom, CSource,
    kNbColonnes
};
constexpr std::array<std::string_view, kNbColonnes> kNomsColonnes
    = {"Marque", "Modele", "Annee", "Monture", "Recadrage", "VitesseMax", "VitesseFlash", "IsoMini",
        "IsoMaxi", "FocaleMini", "FocaleMaxi", "DiafMini", "DiafMiniZoom", "Source"};
constexpr std::array<Colonne, 5> kColonnesRequises
    = {CMarque, CModele, CVitesseMax, CIsoMini, CIsoMaxi};

// Where each column is in a file's lines, -1 when the header lacks it, and
// how many fields the header has; the last maker, mount and source read.
struct Entete {
    std::array<int, kNbColonnes> indices{};
    std::size_t nbChamps = 0;
    TexteRecent marque, monture, source;
};

std::optional<Entete> entete(const std::vector<std::string> &champs, std::size_t nb)
{
    Entete e;
    e.indices.fill(-1);
    e.nbChamps = nb;
    for (std::size_t i = 0; i < nb; ++i) {
        const auto it
            = std::find(kNomsColonnes.begin(), kNomsColonnes.end(), sansBlancs(champs[i]));
        if (it != kNomsColonnes.end() && e.indices[it - kNomsColonnes.begin()] < 0)
            e.indices[it - kNomsColonnes.begin()] = static_cast<int>(i);
    }
    for (Colonne c : kColonnesRequises) {
        if (e.indices[c] < 0)
            return std::nullopt;
    }
    return e;
}

// A number that must be there and above zero.
bool positif(std::string_view champ, double &valeur)
{
    const std::optional<double> v = readDecimal(sansBlancs(champ));
    if (!v || !(*v > 0))
        return false;
    valeur = *v;
    return true;
}

// A number that may be missing (empty field, or no column), else zero or
// more.
bool facultatif(std::string_view champ, std::optional<double> &valeur)
{
    champ = sansBlancs(champ);
    valeur.reset();
    if (champ.empty())
        return true;
    const std::optional<double> v = readDecimal(champ);
    if (!v || *v < 0)
        return false;
    valeur = *v;
    return true;
}

bool facultatif(std::string_view champ, double &valeur)
{
    std::optional<double> v;
    if (!facultatif(champ, v))
        return false;
    valeur = v.value_or(0);
    return true;
}

// A body from the fields of a line; nothing when one of them cannot be taken.
std::optional<TypeBoitier> boitier(
    const std::vector<std::string> &champs, std::size_t nb, Entete &e)
{
    if (nb < e.nbChamps)
        return std::nullopt;
    const auto champ = [&](Colonne c) {
        return e.indices[c] < 0 ? std::string_view()
                                : std::string_view(champs[static_cast<std::size_t>(e.indices[c])]);
    };
    TypeBoitier b;
    if (!texte(champ(CMarque), b.Marque, e.marque) || !texte(champ(CModele), b.Modele)
        || !texte(champ(CMonture), b.Monture, e.monture)
        || !texte(champ(CSource), b.Source, e.source))
        return std::nullopt;
    if (b.Marque.trimmed().isEmpty() || b.Modele.trimmed().isEmpty())
        return std::nullopt;
    if (!positif(champ(CVitesseMax), b.VitesseMax) || !positif(champ(CIsoMini), b.IsoMini)
        || !positif(champ(CIsoMaxi), b.IsoMaxi) || b.IsoMini > b.IsoMaxi)
        return std::nullopt;
    double annee = 0;
    if (!facultatif(champ(CAnnee), annee) || annee != std::floor(annee) || annee > 9999)
        return std::nullopt; // a year is a whole number
    b.Annee = static_cast<int>(annee);
    if (!facultatif(champ(CRecadrage), b.Recadrage)
        || !facultatif(champ(CVitesseFlash), b.VitesseFlash)
        || !facultatif(champ(CFocaleMini), b.FocaleMini)
        || !facultatif(champ(CFocaleMaxi), b.FocaleMaxi)
        || !facultatif(champ(CDiafMini), b.DiafMini)
        || !facultatif(champ(CDiafMiniZoom), b.DiafMiniZoom))
        return std::nullopt;
    return b;
}

// Numbers as they are written: a point, no trailing zeros, the shortest
// text that reads back as the same value, whatever the C library's locale;
// plain digits (100000, not 1e+05) unless they would be too many.
template <typename T> void ajouteNombre(QByteArray &out, T valeur)
{
    char texte[64];
    std::to_chars_result r
        = std::to_chars(texte, texte + sizeof texte, valeur, std::chars_format::fixed);
    if (r.ec != std::errc())
        r = std::to_chars(texte, texte + sizeof texte, valeur);
    out.append(texte, r.ptr - texte);
}

// A text field, quoted when reading it plain would change it.
void ajouteTexte(QByteArray &out, const QString &valeur)
{
    const QByteArray octets = valeur.toUtf8();
    const bool guillemets = octets.contains(',') || octets.contains('"') || octets.contains('\n')
        || octets.contains('\r')
        || (!octets.isEmpty() && (blanc(octets.front()) || blanc(octets.back())));
    if (!guillemets) {
        out += octets;
        return;
    }
    out += '"';
    for (char c : octets) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

// A number where 0 stands for "unknown": written as an empty field.
void ajouteConnu(QByteArray &out, double valeur)
{
    if (valeur != 0)
        ajouteNombre(out, valeur);
}

// A lens record's number: within single range, as the record keeps it.
std::optional<float> nombreSimple(std::string_view champ)
{
    const std::optional<double> v = readDecimal(sansBlancs(champ));
    if (!v || std::abs(*v) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*v);
}

// A lens from one line of the student's file: exactly eight values.
std::optional<TypeObjectif> objectifDeLigne(
    const QByteArray &ligne, std::vector<std::string> &champs)
{
    std::size_t nb = 0;
    if (!decoupe(vue(ligne), champs, nb, false) || nb != 8)
        return std::nullopt;
    TypeObjectif o;
    if (!texte(champs[0], o.Nom))
        return std::nullopt;
    float *const valeurs[6]
        = {&o.FocalMini, &o.FocalMaxi, &o.DiafMini, &o.DiafMiniZoom, &o.DiafMaxi, &o.DiafMaxiZoom};
    for (std::size_t i = 0; i < 6; ++i) {
        const std::optional<float> v = nombreSimple(champs[i + 1]);
        if (!v)
            return std::nullopt;
        *valeurs[i] = *v;
    }
    const std::optional<float> stabilisateur = nombreSimple(champs[7]);
    if (!stabilisateur || (*stabilisateur != 0 && *stabilisateur != 1))
        return std::nullopt;
    o.Stabilisateur = static_cast<qint16>(*stabilisateur);
    return o;
}

void ajouteRejetees(
    QByteArray &out, const std::vector<LigneRejetee> &rejetees, const char *finLigne)
{
    for (const LigneRejetee &r : rejetees) {
        out += r.octets;
        out += finLigne;
    }
}

} // namespace

LectureBoitiers LireBoitiers(const QString &chemin)
{
    LectureBoitiers lecture;
    QFile file;
    if (!ouvreFichierOrdinaire(chemin, file))
        return lecture; // missing, unreadable, or not a regular file
    lecture.existe = true;
    LecteurEnregistrements lecteur(file);
    Ligne ligne;
    bool lisible = false;
    if (!lecteur.suivant(ligne, lisible))
        return lecture; // nothing but blank lines
    std::vector<std::string> champs;
    std::size_t nb = 0;
    std::optional<Entete> e;
    if (lisible && decoupe(vue(ligne.octets), champs, nb, true))
        e = entete(champs, nb);
    if (!e) {
        // Without its columns no line can be read: every line is kept as it
        // is, so that writing the file back loses none of them.
        lecture.rejetees.push_back({ligne.numero, ligne.octets});
        while (lecteur.suivant(ligne, lisible))
            lecture.rejetees.push_back({ligne.numero, std::move(ligne.octets)});
        return lecture;
    }
    // Room for every line at once: growing the list as it fills would copy it
    // to fresh memory again and again. A body's line takes more than this many
    // bytes; room left unused costs no memory until it is touched.
    constexpr qint64 kOctetsParLigneMin = 32;
    lecture.boitiers.reserve(
        static_cast<std::size_t>(std::min<qint64>(file.size() / kOctetsParLigneMin, kLignesMax)));
    while (lecteur.suivant(ligne, lisible)) {
        std::optional<TypeBoitier> b;
        if (lisible && decoupe(vue(ligne.octets), champs, nb, true))
            b = boitier(champs, nb, *e);
        if (b)
            lecture.boitiers.push_back(std::move(*b));
        else
            lecture.rejetees.push_back({ligne.numero, std::move(ligne.octets)});
    }
    return lecture;
}

QByteArray texteBoitiers(
    const std::vector<TypeBoitier> &boitiers, const std::vector<LigneRejetee> &rejetees)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(boitiers.size() + rejetees.size() + 1) * 96);
    for (std::size_t c = 0; c < kNbColonnes; ++c) {
        if (c > 0)
            out += ',';
        out.append(kNomsColonnes[c].data(), static_cast<qsizetype>(kNomsColonnes[c].size()));
    }
    out += '\n';
    for (const TypeBoitier &b : boitiers) {
        ajouteTexte(out, b.Marque);
        out += ',';
        ajouteTexte(out, b.Modele);
        out += ',';
        ajouteConnu(out, b.Annee);
        out += ',';
        ajouteTexte(out, b.Monture);
        out += ',';
        ajouteConnu(out, b.Recadrage);
        out += ',';
        ajouteNombre(out, b.VitesseMax);
        out += ',';
        if (b.VitesseFlash)
            ajouteNombre(out, *b.VitesseFlash);
        out += ',';
        ajouteNombre(out, b.IsoMini);
        out += ',';
        ajouteNombre(out, b.IsoMaxi);
        for (double v : {b.FocaleMini, b.FocaleMaxi, b.DiafMini, b.DiafMiniZoom}) {
            out += ',';
            ajouteConnu(out, v);
        }
        out += ',';
        ajouteTexte(out, b.Source);
        out += '\n';
    }
    ajouteRejetees(out, rejetees, "\n");
    return out;
}

// The student's lens file is UTF-8, unlike the program's lens catalogues
// (Latin-1): its names are typed in the program and may hold any letter.
LectureObjectifs LireMesObjectifs(const QString &chemin)
{
    LectureObjectifs lecture;
    QFile file;
    if (!ouvreFichierOrdinaire(chemin, file))
        return lecture;
    lecture.existe = true;
    LecteurLignes lecteur(file);
    Ligne ligne;
    if (!lecteur.suivante(ligne))
        return lecture; // the header, whatever it holds, is not read
    std::vector<std::string> champs;
    while (lecteur.suivante(ligne)) {
        if (!ligne.tropLongue && ligneBlanche(ligne.octets))
            continue;
        std::optional<TypeObjectif> o;
        if (!ligne.tropLongue)
            o = objectifDeLigne(ligne.octets, champs);
        if (o)
            lecture.objectifs.push_back(std::move(*o));
        else
            lecture.rejetees.push_back({ligne.numero, std::move(ligne.octets)});
    }
    return lecture;
}

QByteArray texteObjectifs(
    const std::vector<TypeObjectif> &objectifs, const std::vector<LigneRejetee> &rejetees)
{
    QByteArray out
        = "Nom,FocalMini,FocalMaxi,DiafMini,DiafMiniZoom,DiafMaxi,DiafMaxiZoom,Stabilisateur\r\n";
    for (const TypeObjectif &o : objectifs) {
        // A name is always quoted and the format has no way to write a quote
        // inside one, nor a line break inside a record.
        QByteArray nom = o.Nom.toUtf8();
        nom.replace('"', '\'').replace('\r', ' ').replace('\n', ' ');
        out += '"' + nom + '"';
        for (float v :
            {o.FocalMini, o.FocalMaxi, o.DiafMini, o.DiafMiniZoom, o.DiafMaxi, o.DiafMaxiZoom}) {
            out += ',';
            ajouteNombre(out, v);
        }
        out += ',';
        out += QByteArray::number(o.Stabilisateur);
        out += "\r\n";
    }
    ajouteRejetees(out, rejetees, "\r\n");
    return out;
}

QString messageLignesRejetees(const QString &fichier, const std::vector<LigneRejetee> &rejetees)
{
    if (rejetees.empty())
        return {};
    if (rejetees.size() == 1)
        return fichier + QStringLiteral(", ligne ") + QString::number(rejetees.front().numero)
            + QStringLiteral(" : ligne illisible, ignorée.");
    // Past this many lines the rest are only counted.
    constexpr std::size_t kLignesNommees = 5;
    const std::size_t nommees = std::min(rejetees.size(), kLignesNommees);
    QStringList numeros;
    for (std::size_t i = 0; i < nommees; ++i)
        numeros << QString::number(rejetees[i].numero);
    QString liste;
    if (rejetees.size() > kLignesNommees)
        liste = numeros.join(QStringLiteral(", ")) + QStringLiteral(" et ")
            + QString::number(rejetees.size() - kLignesNommees) + QStringLiteral(" autres");
    else
        liste = numeros.mid(0, numeros.size() - 1).join(QStringLiteral(", "))
            + QStringLiteral(" et ") + numeros.back();
    return fichier + QStringLiteral(" : lignes ") + liste
        + QStringLiteral(" illisibles, ignorées.");
}

float fermetureEstimee(float diafMini)
{
    if (!(diafMini > 0) || !std::isfinite(diafMini))
        return 0;
    if (diafMini <= 2)
        return 16;
    return diafMini < 5.6f ? 22 : 32;
}

float fermetureEstimeeZoom(float diafMini, float diafMiniZoom)
{
    const float courte = fermetureEstimee(diafMini);
    if (courte == 0 || !(diafMiniZoom > 0) || !std::isfinite(diafMiniZoom))
        return 0;
    // The nearest f-number of the third-stop scale, in stops.
    static const ExposureScales echelles = ExposureScales::standard();
    const double cible = std::log(static_cast<double>(courte) * diafMiniZoom / diafMini);
    double proche = echelles.TabDiaf[0];
    for (int i = 1; i < kNbDiafs; ++i) {
        if (std::abs(std::log(echelles.TabDiaf[i]) - cible) < std::abs(std::log(proche) - cible))
            proche = echelles.TabDiaf[i];
    }
    return static_cast<float>(proche);
}

namespace {

// A double as a lens record keeps it, held within single range.
float simple(double v)
{
    constexpr double max = std::numeric_limits<float>::max();
    return static_cast<float>(std::isnan(v) ? v : std::clamp(v, -max, max));
}

} // namespace

TypeObjectif TypeBoitier::objectif() const
{
    TypeObjectif o;
    o.Nom = nom();
    o.FocalMini = simple(FocaleMini);
    o.FocalMaxi = simple(FocaleMaxi);
    o.DiafMini = simple(DiafMini);
    // A built-in lens whose long end is not known opens as wide there.
    o.DiafMiniZoom = DiafMiniZoom > 0 ? simple(DiafMiniZoom) : o.DiafMini;
    if (Recadrage >= 2.5) {
        // The narrowest f-number is never below the widest one.
        const float f = Recadrage >= 4 ? 8 : 11;
        o.DiafMaxi = std::max(f, o.DiafMini);
        o.DiafMaxiZoom = std::max(f, o.DiafMiniZoom);
    } else {
        o.DiafMaxi = fermetureEstimee(o.DiafMini);
        o.DiafMaxiZoom = fermetureEstimeeZoom(o.DiafMini, o.DiafMiniZoom);
    }
    o.FermetureEstimee = true;
    o.Stabilisateur = 0;
    return o;
}

} // namespace kavel
