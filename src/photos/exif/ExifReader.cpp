// The EXIF reader: the tags of the blocks the file map places, and the light level.
#include "photos/exif/ExifReader.h"

#include "exposure/Scales.h"
#include "photos/FormatsPhoto.h"
#include "platform/FichierLecture.h"

#include <algorithm>
#include <cmath>

namespace kavel {

const QString ExifReader::kDepassement = QStringLiteral("!!! ERREUR: DEPASSEMENT FIN FICHIER !!!");

namespace {

// Limits of the walk.
constexpr quint64 kMaxOffset = 2'000'000'000;  // a directory value offset beyond this ends the directory
// The texts read (make, model, lens, date) are kept whole up to this length;
// a longer one is cut (no camera writes more than a few dozen bytes, a
// damaged file could claim gigabytes).
constexpr qint64 kMaxTexte = 64 * 1024;
// The maker note is only looked at for its bytes 238 and 239.
constexpr qint64 kOctetIsoAsahi = 238;

// Tags, as read in the file's byte order.
constexpr quint16 kTagExif = 0x8769;         // offset of the Exif sub-directory
constexpr quint16 kTagExposureTime = 0x829A;
constexpr quint16 kTagFNumber = 0x829D;
constexpr quint16 kTagIso = 0x8827;
constexpr quint16 kTagMake = 0x010F;
constexpr quint16 kTagModel = 0x0110;
constexpr quint16 kTagOrientation = 0x0112;
constexpr quint16 kTagDateOriginal = 0x9003;
constexpr quint16 kTagFocalLength = 0x920A;
constexpr quint16 kTagFocal35 = 0xA405;
constexpr quint16 kTagLensMake = 0xA433;
constexpr quint16 kTagLensModel = 0xA434;
constexpr quint16 kTagMakerNote = 0x927C;
constexpr quint16 kTagIsoRw2 = 0x0017;       // ISO, in an RW2's first directory

// TIFF entry types that matter here.
enum Type : quint64 {
    kByte = 1,
    kAscii = 2,
    kShort = 3,
    kLong = 4,
    kRational = 5,
    kSByte = 6,
    kUndefined = 7,
    kSShort = 8,
    kSLong = 9,
    kSRational = 10,
    kFloat = 11,
    kDouble = 12,
};

quint64 tailleElement(quint64 type)
{
    switch (type) {
    case kRational:
    case kSRational:
    case kDouble: return 8;
    case kShort: return 2;
    case kLong: return 4;
    default: return 1;
    }
}

// The texts read whole, besides the maker note.
bool texteLu(quint16 tag)
{
    return tag == kTagMake || tag == kTagModel || tag == kTagLensMake || tag == kTagLensModel
        || tag == kTagDateOriginal;
}

// An ASCII value as shown: up to its first zero, trailing spaces dropped.
QString texteExif(const QByteArray &octets)
{
    QByteArrayView t(octets);
    if (const qsizetype zero = t.indexOf('\0'); zero >= 0)
        t = t.first(zero);
    while (!t.isEmpty() && t.back() == ' ')
        t.chop(1);
    return QString::fromUtf8(t);
}

} // namespace

quint64 ExifReader::Nb(QByteArrayView bytes)
{
    return nombreMotorola(bytes);
}

QString ExifReader::sHex(QByteArrayView bytes)
{
    static const char chiffres[] = "0123456789ABCDEF";
    QString texte;
    texte.reserve(bytes.size() * 3);
    for (char c : bytes) {
        if (!texte.isEmpty())
            texte += QLatin1Char(' ');
        const auto b = static_cast<unsigned char>(c);
        texte += QLatin1Char(chiffres[b >> 4]);
        texte += QLatin1Char(chiffres[b & 15]);
    }
    return texte;
}

void ExifReader::AnalysePhoto(const QString &path)
{
    FichierLecture fichier;
    ValLux = kNonAnalyse;
    ValEV = kEVNonCalcule;
    ValSpeed = ValDiaf = ValIso = -1;
    ExifMarque.clear();
    Prise = {};
    Statut.clear();
    m_octetsLus = 0;
    if (!fichier.ouvre(path))
        return; // not analysed
    SourceFichier source(fichier);
    analyse(source);
    m_octetsLus = fichier.octetsLus();
}

void ExifReader::AnalyseOctets(QByteArrayView bytes)
{
    SourceMemoire source(bytes);
    m_octetsLus = 0;
    analyse(source);
}

QByteArray ExifReader::Lire(qint64 longueur)
{
    QByteArray bytes;
    if (m_source->lit(m_pos, longueur, bytes))
        m_pos += longueur;
    return bytes;
}

QByteArray ExifReader::LireIM(qint64 longueur, bool motorola)
{
    QByteArray bytes;
    if (!m_source->lit(m_pos, longueur, bytes)) {
        Statut = kDepassement;
        return bytes;
    }
    m_pos += longueur;
    if (!motorola)
        std::reverse(bytes.begin(), bytes.end()); // little-endian: Nb then gives the value
    return bytes;
}

void ExifReader::analyse(Source &source)
{
    ValLux = kNonAnalyse;
    ValEV = kEVNonCalcule;
    ValSpeed = ValDiaf = ValIso = -1;
    ExifMarque.clear();
    Prise = {};
    Statut.clear();
    ExifVitesse = ExifDiaf = ExifIso = 0;
    bExifTrouve = false;
    bIsoRw2 = false;
    OffsetExif = 0;

    const CarteFichier carte = carteFichier(source);
    switch (carte.defaut) {
    case CarteFichier::Defaut::Aucun: break;
    case CarteFichier::Defaut::PasJpeg: ValLux = kPasJpeg; return;
    case CarteFichier::Defaut::SegmentTropLong: ValLux = kSegmentTropLong; return;
    case CarteFichier::Defaut::PasDeApp1: ValLux = kPasDeApp1; return;
    case CarteFichier::Defaut::App1PasExif: ValLux = kApp1PasExif; return;
    }
    for (const BlocExif &bloc : carte.exif) {
        if (!lisBloc(source, bloc))
            return;
    }
    calculeLumiere();
}

// A block's TIFF header: byte order "II" or "MM" (2 bytes), mark (2),
// offset of the first directory (4), counted like every offset of the
// block from the header's first byte. Its first directory is read, then,
// when the map says so, the Exif sub-directory it points to.
bool ExifReader::lisBloc(Source &source, const BlocExif &bloc)
{
    SourceFenetre fenetre(source, bloc.debut, bloc.taille);
    m_source = &fenetre;
    bool lu = true;
    if (bloc.entete == BlocExif::Entete::Libre) {
        // A JPEG's APP1. The first directory's offset is 8 as a rule (it
        // follows the header), but some tools and cameras leave a gap.
        m_pos = DebutTiff = bloc.tiff;
        bMotorola = Lire(2) == QByteArrayView("MM");
        Lire(2);
        const QByteArray premier = LireIM(4, bMotorola);
        if (!premier.isEmpty()) { // else the block ends within its header
            m_pos = DebutTiff + static_cast<qint64>(Nb(premier));
            LectureData(); // first image directory
            if (bExifTrouve) {
                m_pos = DebutTiff + OffsetExif;
                LectureData(); // Exif sub-directory
            }
        }
    } else {
        QByteArray entete;
        fenetre.lit(0, std::min<qint64>(8, fenetre.taille()), entete);
        const quint16 marque = formats::marqueTiff(entete);
        lu = marque == formats::kMarqueTiff ||
             (bloc.entete == BlocExif::Entete::Raw && formats::marqueRaw(marque));
        if (lu) {
            DebutTiff = 0;
            bMotorola = entete.startsWith("MM");
            m_pos = 4;
            m_pos = static_cast<qint64>(Nb(LireIM(4, bMotorola)));
            bExifTrouve = false;
            bIsoRw2 = marque == formats::kMarqueRw2; // an RW2 keeps the ISO in its first directory
            LectureData();
            bIsoRw2 = false;
            if (bloc.suivreExif && bExifTrouve) {
                m_pos = DebutTiff + OffsetExif;
                LectureData();
            }
        } else {
            ValLux = kApp1PasExif;
        }
    }
    m_source = nullptr;
    return lu;
}

void ExifReader::calculeLumiere()
{
    if (ExifVitesse > 0 && ExifDiaf > 0 && ExifIso > 0) {
        double x = ExifDiaf * ExifDiaf;
        x = x / ExifVitesse;
        x = x / ExifIso;
        x = x * 100;
        ValEV = std::log(x) / std::log(2.0);
        ValLux = EV2LUX(ValEV);
        ValSpeed = ExifVitesse;
        ValDiaf = ExifDiaf;
        ValIso = ExifIso;
    } else {
        ValLux = kExpositionIncomplete;
    }
}

// A directory: entry count (2 bytes), then 12-byte entries of tag (2),
// type (2), count (4) and value field (4), in the TIFF byte order. A value
// of more than four bytes lies elsewhere, at the offset the field holds.
void ExifReader::LectureData()
{
    const quint64 nbEntrees = Nb(LireIM(2, bMotorola));
    for (quint64 e = 0; e < nbEntrees; ++e) {
        const QByteArray octetsTag = LireIM(2, bMotorola);
        if (octetsTag.isEmpty())
            return; // past the end: every entry left would read as zeros, tag 0 of type 0, and change nothing
        const auto tag = static_cast<quint16>(Nb(octetsTag));
        const quint64 type = Nb(LireIM(2, bMotorola));
        const quint64 count = Nb(LireIM(4, bMotorola));
        const QByteArray champ = LireIM(4, bMotorola);
        // The field as it stands in the file.
        QByteArray champFichier = champ;
        if (!bMotorola)
            std::reverse(champFichier.begin(), champFichier.end());

        double valeur = 0;
        QByteArray chaine = champ;
        const quint64 longueur = count * tailleElement(type); // count < 2^32: no overflow
        if (longueur > 4) {
            const qint64 retour = m_pos;
            const quint64 offset = Nb(champ);
            if (offset > kMaxOffset)
                return;
            m_pos = DebutTiff + static_cast<qint64>(offset);
            if (type == kRational || type == kSRational) {
                // Only the first rational of the entry.
                auto numerateur = static_cast<qint64>(Nb(LireIM(4, bMotorola)));
                auto denominateur = static_cast<qint64>(Nb(LireIM(4, bMotorola)));
                if (type == kSRational) {
                    if (numerateur >= (qint64(1) << 31))
                        numerateur -= qint64(1) << 32;
                    if (denominateur >= (qint64(1) << 31))
                        denominateur -= qint64(1) << 32;
                }
                chaine = QByteArray::number(numerateur) + '/' + QByteArray::number(denominateur);
                if (type == kRational ? denominateur > 0 : denominateur != 0)
                    valeur = static_cast<double>(numerateur) / static_cast<double>(denominateur);
            } else if (type == kAscii || type == kUndefined) {
                // The texts of what took the photo, whole, and the maker
                // note up to the two bytes of its ISO.
                const auto n = static_cast<qint64>(count);
                const bool present = n <= m_source->taille() - m_pos;
                chaine.clear();
                if (present && texteLu(tag))
                    chaine = Lire(std::min(n, kMaxTexte));
                else if (present && tag == kTagMakerNote && ExifMarque.startsWith("Asahi"))
                    chaine = Lire(std::min(n, kOctetIsoAsahi + 2));
            }
            m_pos = retour;
        } else {
            const QByteArray octets = champFichier.left(static_cast<qsizetype>(longueur));
            switch (type) {
            case kByte:
            case kShort:
            case kLong: {
                QByteArray ordre = octets;
                if (!bMotorola)
                    std::reverse(ordre.begin(), ordre.end());
                valeur = static_cast<double>(Nb(ordre));
                chaine = QByteArray::number(Nb(ordre));
                break;
            }
            case kAscii:
            case kUndefined: chaine = octets; break;
            case kRational:
            case kSRational:
            case kDouble: chaine = "!!! YA UN PB !!!"; break;
            case kSByte:
            case kSShort:
            case kSLong:
            case kFloat: chaine = "!!! Je ne sait pas faire !!!"; break;
            default: break;
            }
        }
        if (tag == kTagExif) {
            OffsetExif = static_cast<qint64>(valeur);
            bExifTrouve = true;
        }
        InterpreteInfo(tag, chaine, valeur);
    }
}

void ExifReader::InterpreteInfo(quint16 tag, const QByteArray &chaine, double valeur)
{
    switch (tag) {
    case kTagExposureTime: ExifVitesse = valeur; break;
    case kTagFNumber: ExifDiaf = valeur; break;
    case kTagIso: ExifIso = valeur; break;
    case kTagMake:
        ExifMarque = chaine;
        Prise.marque = texteExif(chaine);
        break;
    case kTagModel: Prise.modele = texteExif(chaine); break;
    case kTagLensMake: Prise.marqueObjectif = texteExif(chaine); break;
    case kTagLensModel: Prise.objectif = texteExif(chaine); break;
    case kTagDateOriginal: Prise.date = texteExif(chaine); break;
    case kTagFocalLength: Prise.focale = valeur > 0 ? valeur : -1; break;
    case kTagFocal35: Prise.focale35 = valeur > 0 ? valeur : -1; break;
    case kTagOrientation: Prise.orientation = valeur >= 1 && valeur <= 8 ? int(valeur) : 0; break;
    case kTagIsoRw2:
        if (bIsoRw2)
            ExifIso = valeur;
        break;
    case kTagMakerNote:
        // Pentax (Asahi) keeps the ISO at bytes 238-239 of its maker note,
        // big-endian; a shorter note gives what of them it holds.
        if (ExifMarque.startsWith("Asahi"))
            ExifIso = static_cast<double>(Nb(chaine.mid(kOctetIsoAsahi, 2)));
        break;
    default: break;
    }
}

} // namespace kavel
