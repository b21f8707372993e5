#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace kavel {

class FichierLecture;

// Reads the exposure of a photo from the EXIF block of a JPEG file: the
// exposure time, f-number and ISO of its first image directory and Exif
// sub-directory, the camera's make, and from them the light level.
//
// Only what the light level needs is read: the JPEG segments up to the
// first APP1 (FF E1), then the TIFF header and two directories. Every read
// is checked against the end of the file; a damaged file ends the analysis
// early with a status in ValLux, never anything worse.
class ExifReader {
public:
    // ValLux after an analysis: the illuminance in lux when greater than 0,
    // otherwise one of these.
    static constexpr double kNonAnalyse = -1;       // not analysed, or the file cannot be read
    static constexpr double kPasJpeg = -2;          // does not start with FF D8
    static constexpr double kSegmentTropLong = -3;  // a segment ran past the end of the file
    static constexpr double kPasDeApp1 = -4;        // no FF E1 among the first 50 markers
    static constexpr double kApp1PasExif = -5;      // the FF E1 segment is not "Exif"
    static constexpr double kExpositionIncomplete = 0; // exposure time, f-number or ISO missing
    static constexpr double kEVNonCalcule = -100;

    // What LireIM leaves in Statut when a read runs past the end of the file.
    static const QString kDepassement;

    // Analyses one file; the results stay until the next analysis.
    void AnalysePhoto(const QString &path);
    // The same on bytes in memory.
    void AnalyseOctets(QByteArrayView bytes);

    double ValLux = kNonAnalyse;
    double ValEV = kEVNonCalcule;
    double ValSpeed = -1; // exposure time, seconds
    double ValDiaf = -1;  // f-number
    double ValIso = -1;
    QByteArray ExifMarque; // camera make, bytes as stored (trailing zero included)
    QString Statut;        // empty, or kDepassement

    // Bytes the last analysis asked of the file (for measuring).
    qint64 octetsLus() const { return m_octetsLus; }

    // The value of bytes read as an unsigned big-endian number.
    static quint64 Nb(QByteArrayView bytes);
    // Bytes as upper-case hexadecimal pairs separated by spaces ("FF E1").
    static QString sHex(QByteArrayView bytes);

private:
    class Source;
    class SourceFichier;
    class SourceMemoire;

    void analyse(Source &source);
    QByteArray Lire(qint64 longueur);
    QByteArray LireIM(qint64 longueur, bool motorola);
    void LectureData();
    void InterpreteInfo(quint16 tag, const QByteArray &chaine, double valeur);

    Source *m_source = nullptr;
    qint64 m_pos = 0;
    qint64 m_octetsLus = 0;

    // Analysis state.
    qint64 DebutTiff = 0;
    bool bMotorola = false;
    qint64 OffsetExif = 0;
    bool bExifTrouve = false;
    double ExifVitesse = 0;
    double ExifDiaf = 0;
    double ExifIso = 0;
};

} // namespace kavel
