#include "equipment/ObjectifsLensfun.h"

#include "equipment/CatalogueBoitiers.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <functional>
#include <lensfun.h>
#include <mutex>

// What the library (lensfun 0.3) gives for a lens, once a file is read.
// Reading checks every lens, and checking fills what it can guess from the
// name and from the calibrations:
//   Maker, Model    multi-language texts; read as a plain C string, each
//                   gives its default (English) value
//   MinFocal, MaxFocal
//                   the focal range, mm; MaxFocal = MinFocal for a prime
//   MinAperture     the smallest f-number: the widest aperture, at the short
//                   end of a zoom. From <aperture min="..."/>, else from the
//                   name ("18-55mm f/3.5-5.6" gives 3.5, but only when a
//                   blank comes before the focal length), else the smallest
//                   aperture of the vignetting calibrations; 0 when unknown
//   MaxAperture     the largest f-number: the narrowest aperture, from
//                   <aperture max="..."/> or the largest calibrated aperture
//                   (f/22, f/36...); often 0. The widest aperture at the
//                   long end of a zoom is nowhere: it is read from the name.
//   Mounts          the names of the mounts the lens is made for
// A mount (lfMount) names the mounts whose lenses it takes too (Compat):
// "Canon EF-S" takes "Canon EF" lenses, "Nikon Z" the "Nikon F" ones.
// A record takes its widest apertures from the name when the name gives
// them, else from MinAperture; MaxAperture is not used, the narrowest
// apertures are estimated.
namespace kavel {

namespace {

// The library is not made to be used from two threads at once. While it
// reads a file it sets the process's numeric locale to "C" (its files write
// numbers with a decimal point) and puts the previous one back after; the
// name patterns it guesses lens parameters with are shared by every lens
// object and freed with the last one. So one load at a time, and a database
// is freed only between loads. Qt's own number conversions do not depend on
// the C library's locale.
std::mutex &verrouBibliotheque()
{
    static std::mutex verrou;
    return verrou;
}

// f-numbers outside this range are not read from a name.
constexpr float kDiafPlusOuverte = 0.5f;
constexpr float kDiafPlusFermee = 64.f;

// The widest f-numbers a lens name gives, at the short and the long end of
// its focal range; 0 when the name does not say.
struct DiafsNom {
    float courte = 0;
    float longue = 0;
};

// Reads the widest f-numbers in a lens name. The names write them as
//   "18-55mm f/3.5-5.6", "70-200mm F4", "XF18-55mmF2.8-4" (no blank),
//   "1:3.5-5.6", "1/2.8", "DG 100-400/F4.0-6.3", before a slash and the
//   focal length ("Batis 2.8/18"), some with a decimal comma ("1:2,8/50").
// The first such group of the name counts ("F2.8 ... Macro 1:1" is f/2.8).
// A bare "F" counts only after a focal length or a slash: "FinePix F11" is
// a camera's name.
class LectureDiafs {
public:
    DiafsNom lit(const QString &nom) const
    {
        for (const QRegularExpression *motif : {&m_prefixe, &m_barre}) {
            const QRegularExpressionMatch m = motif->match(nom);
            if (!m.hasMatch())
                continue;
            DiafsNom d;
            d.courte = nombre(m.captured(1));
            d.longue = nombre(m.captured(2));
            if (d.courte > 0) {
                if (d.longue <= d.courte)
                    d.longue = 0;
                return d;
            }
        }
        return {};
    }

private:
    static float nombre(QString texte)
    {
        bool ok = false;
        const float v = texte.replace(QLatin1Char(','), QLatin1Char('.')).toFloat(&ok); // C locale
        return ok && v >= kDiafPlusOuverte && v <= kDiafPlusFermee ? v : 0.f;
    }

    // "f/", "1:" or "1/" after a blank or a bracket, or "F" after "mm" or a
    // slash; then an f-number, maybe "-" and a second one.
    const QRegularExpression m_prefixe{
        QStringLiteral(R"((?:(?:^|[\s(])(?:f/|1:|1/)|mm\s?f|/f)\s?(\d+(?:[.,]\d+)?))"
                       R"((?:\s?-\s?(\d+(?:[.,]\d+)?))?(?![\d.,]))"),
        QRegularExpression::CaseInsensitiveOption};
    // f-numbers before a slash and the focal length.
    const QRegularExpression m_barre{
        QStringLiteral(R"((?:^|\s)(\d+(?:[.,]\d+)?)(?:-(\d+(?:[.,]\d+)?))?/\d)")};
};

// Entries that are an accessory, or a lens fitted with one ("... + EF 1.4x
// extender III", "... + GWC1 0.79x", "X100V & compatibles, with WCL-X100"):
// not a lens a student can choose.
bool accessoire(const QString &modele)
{
    for (const char *mot :
         {"converter", "adapter", "reducer", "booster", "extender", " + ", ", with "})
        if (modele.contains(QLatin1String(mot), Qt::CaseInsensitive))
            return true;
    return false;
}

// The lens name as the list shows it: the model, which usually begins with
// the maker ("Canon EF-S 18-55mm..."), else the maker and the model ("Sony"
// and "E 18-55mm..." give "Sony E 18-55mm...").
QString nomObjectif(const QString &marque, const QString &modele)
{
    const bool commenceParMarque = modele.startsWith(marque, Qt::CaseInsensitive)
        && (modele.size() == marque.size() || !modele.at(marque.size()).isLetterOrNumber());
    return marque.isEmpty() || commenceParMarque ? modele : marque + QLatin1Char(' ') + modele;
}

QString texte(const char *utf8) // a plain or multi-language text of the library
{
    return QString::fromUtf8(utf8 ? utf8 : "").simplified();
}

// One lens of the database: its record, its maker (to sort by) and the
// mounts it is made for.
struct Lu {
    QString marque;
    TypeObjectif objectif;
    QStringList montures;
};

// The record of a lens, or nothing for an entry that is not a lens one can
// use: a "Generic" model, an accessory, no focal range or widest aperture.
std::optional<Lu> enregistrement(const lfLens &lens, const LectureDiafs &lecture)
{
    const QString marque = texte(lens.Maker), modele = texte(lens.Model);
    if (modele.isEmpty() || marque.compare(QLatin1String("Generic"), Qt::CaseInsensitive) == 0
        || accessoire(modele))
        return std::nullopt;
    const DiafsNom nom = lecture.lit(modele);
    TypeObjectif o;
    o.Nom = nomObjectif(marque, modele);
    o.FocalMini = lens.MinFocal;
    o.FocalMaxi = std::max(lens.MaxFocal, lens.MinFocal);
    // The name first: the library misreads decimal commas ("2,8/50" gives
    // f/8) and misses an f-number glued to the focal length ("55mmF2.8").
    o.DiafMini = nom.courte > 0 ? nom.courte : lens.MinAperture;
    if (!(o.FocalMini > 0) || !std::isfinite(o.FocalMaxi) || !(o.DiafMini > 0)
        || o.DiafMini > kDiafPlusFermee)
        return std::nullopt;
    // The long end of a zoom opens as the name's second f-number says.
    o.DiafMiniZoom = o.FocalMaxi > o.FocalMini && nom.longue > 0 ? nom.longue : o.DiafMini;
    o.DiafMaxi = fermetureEstimee(o.DiafMini);
    o.DiafMaxiZoom = fermetureEstimeeZoom(o.DiafMini, o.DiafMiniZoom);
    o.Stabilisateur = marqueStabilisateur(modele) ? 1 : 0;
    o.FermetureEstimee = true;
    QStringList montures;
    for (char **m = lens.Mounts; m && *m; ++m)
        montures << QString::fromUtf8(*m);
    return Lu{marque, std::move(o), montures};
}

bool avant(const Lu &a, const Lu &b) // by maker then name, letter case aside
{
    if (const int c = a.marque.compare(b.marque, Qt::CaseInsensitive))
        return c < 0;
    if (const int c = a.objectif.Nom.compare(b.objectif.Nom, Qt::CaseInsensitive))
        return c < 0;
    return a.objectif.Nom < b.objectif.Nom;
}

} // namespace

struct BaseLensfun::Donnees {
    std::unique_ptr<lfDatabase> base;
    // Finding a camera writes a score into every camera it looks at.
    mutable std::mutex verrouRecherche;
    int nbObjectifs = 0;
    // The lenses each mount takes, sorted, made once at load: the window
    // asks for them on every body choice.
    QHash<QString, std::vector<TypeObjectif>> parMonture;

    // Reads the database with lecture, then sorts its lenses by mount.
    void charge(const std::function<void(lfDatabase &)> &lecture)
    {
        {
            const std::lock_guard<std::mutex> verrou(verrouBibliotheque());
            base = std::make_unique<lfDatabase>();
            lecture(*base);
        }
        indexe();
    }

    void indexe()
    {
        const LectureDiafs lecture;
        std::vector<Lu> lus;
        if (const lfLens *const *lenses = base->GetLenses())
            for (; *lenses; ++lenses)
                if (std::optional<Lu> lu = enregistrement(**lenses, lecture))
                    lus.push_back(std::move(*lu));
        nbObjectifs = int(lus.size());
        std::stable_sort(lus.begin(), lus.end(), avant);
        QHash<QString, std::vector<int>> directs; // numbers in lus, by the mount they are made for
        for (int i = 0; i < int(lus.size()); ++i)
            for (const QString &m : lus[i].montures)
                directs[m].push_back(i);

        // Each mount takes its own lenses and those of its compatible mounts,
        // but for the thread mounts and universal ones (M42, T2...), which
        // any body takes through some adapter: they are no lenses of the body.
        static const QStringList universelles{QStringLiteral("M42"), QStringLiteral("M39/1"),
                                              QStringLiteral("DKL"), QStringLiteral("T2"),
                                              QStringLiteral("Tamron Adaptall"), QStringLiteral("Generic")};
        QHash<QString, QStringList> compatibles;
        for (auto it = directs.cbegin(); it != directs.cend(); ++it)
            compatibles.insert(it.key(), {});
        if (const lfMount *const *mounts = base->GetMounts())
            for (; *mounts; ++mounts) {
                QStringList &c = compatibles[QString::fromUtf8((*mounts)->Name)];
                for (char **m = (*mounts)->Compat; m && *m; ++m)
                    if (!universelles.contains(QString::fromUtf8(*m)))
                        c << QString::fromUtf8(*m);
            }
        for (auto it = compatibles.cbegin(); it != compatibles.cend(); ++it) {
            // The mount's own lenses first, then those it takes through the
            // maker's adapter, each part in order.
            std::vector<int> numeros = directs.value(it.key());
            std::vector<int> adaptes;
            for (const QString &c : it.value())
                if (c != it.key()) {
                    const std::vector<int> autres = directs.value(c);
                    adaptes.insert(adaptes.end(), autres.begin(), autres.end());
                }
            std::sort(adaptes.begin(), adaptes.end());
            numeros.insert(numeros.end(), adaptes.begin(), adaptes.end());
            std::vector<TypeObjectif> liste;
            QSet<QString> noms; // the first of equal names stays
            for (int n : numeros) {
                const TypeObjectif &o = lus[n].objectif;
                if (!noms.contains(o.Nom)) {
                    noms.insert(o.Nom);
                    liste.push_back(o);
                }
            }
            if (!liste.empty())
                parMonture.insert(it.key(), std::move(liste));
        }
    }
};

BaseLensfun::BaseLensfun()
    : d(std::make_unique<Donnees>())
{
}

BaseLensfun::~BaseLensfun()
{
    const std::lock_guard<std::mutex> verrou(verrouBibliotheque());
    d->base.reset();
}

std::shared_ptr<const BaseLensfun> BaseLensfun::charge()
{
    std::shared_ptr<BaseLensfun> lue(new BaseLensfun);
    // Load() reads the newest of three copies of the database, by the number
    // in their timestamp.txt: the one installed with the library
    // (/usr/share/lensfun/version_1), the one lensfun-update-data fetches for
    // the system (/var/lib/lensfun-updates/version_1) and the one it fetches
    // for the user ($XDG_DATA_HOME/lensfun/updates/version_1); then the
    // user's own files in $XDG_DATA_HOME/lensfun, which add to it.
    lue->d->charge([](lfDatabase &base) { base.Load(); });
    return lue;
}

std::shared_ptr<const BaseLensfun> BaseLensfun::chargeDossier(const QString &dossier)
{
    std::shared_ptr<BaseLensfun> lue(new BaseLensfun);
    const QDir dir(dossier);
    const QStringList fichiers = dir.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
    lue->d->charge([&](lfDatabase &base) {
        for (const QString &f : fichiers)
            base.Load(QFile::encodeName(dir.filePath(f)).constData());
    });
    return lue;
}

int BaseLensfun::nbObjectifs() const
{
    return d->nbObjectifs;
}

std::vector<TypeObjectif> BaseLensfun::objectifsPourMonture(const QString &monture) const
{
    return d->parMonture.value(monture);
}

std::optional<CameraLensfun> BaseLensfun::camera(const QString &marque, const QString &modele) const
{
    if (!d->base || modele.trimmed().isEmpty())
        return std::nullopt;
    const QByteArray maker = marque.trimmed().toUtf8(), model = modele.trimmed().toUtf8();
    const std::lock_guard<std::mutex> verrou(d->verrouRecherche);
    const lfCamera **trouvees =
        d->base->FindCamerasExt(maker.isEmpty() ? nullptr : maker.constData(), model.constData());
    if (!trouvees)
        return std::nullopt;
    const CameraLensfun c{QString::fromUtf8(trouvees[0]->Mount ? trouvees[0]->Mount : ""),
                          trouvees[0]->CropFactor};
    lf_free(trouvees);
    return c;
}

bool marqueStabilisateur(const QString &nom)
{
    // Words are runs of letters, digits and points, so that "O.I.S." is one
    // and "VR II", "IS-STM" or "(OS)" hold the mark as a word of their own.
    qsizetype debut = 0;
    for (qsizetype i = 0; i <= nom.size(); ++i) {
        if (i < nom.size() && (nom.at(i).isLetterOrNumber() || nom.at(i) == QLatin1Char('.')))
            continue;
        const QStringView mot = QStringView(nom).mid(debut, i - debut);
        debut = i + 1;
        for (const char *marque : {"IS", "VR", "OSS", "OIS", "VC", "VCM", "OS"})
            if (mot == QLatin1String(marque)) // upper case only: "Os", "Is" are not marks
                return true;
        for (const char *marque : {"O.I.S.", "O.I.S", "I.S."}) // with POWER, MEGA, Dual
            if (mot.compare(QLatin1String(marque), Qt::CaseInsensitive) == 0)
                return true;
    }
    return false;
}

} // namespace kavel
