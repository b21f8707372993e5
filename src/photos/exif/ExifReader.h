#pragma once

// The exposure and light level of a photo, from its EXIF data.

#include "photos/exif/CarteFichier.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

namespace kavel {

// Reads the exposure of a photo from its EXIF data: the exposure time,
// f-number and ISO of its first image directory and Exif sub-directory, and
// from them the light level; from the same two directories, what took the
// photo (camera make and model, lens make and model, focal length and its
// 35 mm equivalent), when, and which way up it is.
//
// The kind of file is told by its first bytes, never by its name:
// - a JPEG (FF D8): the segments up to the first APP1 (FF E1), then the TIFF
//   header, the first directory at the offset it gives, and the Exif
//   sub-directory;
// - a TIFF or a camera RAW built on TIFF (DNG, CR2, NEF, NRW, ARW, SR2, SRF,
//   PEF, IIQ: "II*\0" or "MM\0*"; ORF: "IIRO", "IIRS", "MMOR"; RW2: "IIU\0";
//   their marks are read in either byte order, BigTIFF is not read):
//   the TIFF header at the start of the file, the first directory at the
//   offset it gives, then the Exif sub-directory. In an RW2 the first
//   directory's tag 0x0017 holds the ISO;
// - a Fujifilm RAF ("FUJIFILMCCD-RAW "): the JPEG preview whose place its
//   header gives, read as a JPEG of its own;
// - an ISO base media file (a first box "ftyp": CR3, HEIC, HEIF, AVIF): in a
//   CR3 the TIFF blocks CMT1 (first directory) and CMT2 (Exif directory) of
//   Canon's box in "moov"; in a HEIF the item of type "Exif" that the boxes
//   "iinf" and "iloc" of the top-level "meta" describe.
//
// The file's map (CarteFichier.h) says where those blocks lie; the reader
// reads their directories. Only those two directories and the texts they
// point to are read, a few kilobytes as a rule. Every
// read is checked against the end of the file (or of the part of it that
// holds the EXIF data); a damaged file ends the analysis early with a status
// in ValLux, never anything worse.
class ExifReader {
public:
    // ValLux after an analysis: the illuminance in lux when greater than 0,
    // otherwise one of these.
    static constexpr double kNonAnalyse = -1;       // not analysed, or the file cannot be read
    // Neither a JPEG (FF D8) nor a TIFF, RAW, RAF or ISO base media file.
    static constexpr double kPasJpeg = -2;
    // JPEG: a segment ran past the end of the file (the walk then goes on
    // as if the APP1 were there, so the code is soon replaced). RAF and
    // HEIF: the place their header or "iloc" gives to the EXIF data lies
    // past the end of the file (a file cut short).
    static constexpr double kSegmentTropLong = -3;
    // JPEG: no FF E1 among the first 50 markers. RAF: its preview is missing
    // or holds no FF E1. ISO base media file: no CMT1/CMT2 box, no item
    // "Exif" or one stored other than in the file's own bytes.
    static constexpr double kPasDeApp1 = -4;
    // JPEG and RAF: the FF E1 segment is not "Exif". CR3 and HEIF: the EXIF
    // data found does not begin with a TIFF header ("II*\0" or "MM\0*").
    static constexpr double kApp1PasExif = -5;
    // The EXIF data was read but exposure time, f-number or ISO is missing.
    static constexpr double kExpositionIncomplete = 0;
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
    // What took the photo, and when, from the same two directories: texts
    // up to their first zero and without trailing spaces, read as UTF-8;
    // focal lengths in mm, -1 when absent; the orientation 1 to 8, 0 when
    // absent or out of range.
    struct PriseDeVue {
        QString marque;         // 0x010F
        QString modele;         // 0x0110
        QString marqueObjectif; // 0xA433
        QString objectif;       // 0xA434
        QString date;           // 0x9003, "YYYY:MM:DD HH:MM:SS" as stored
        double focale = -1;     // 0x920A
        double focale35 = -1;   // 0xA405, its 35 mm equivalent
        int orientation = 0;    // 0x0112
    };
    PriseDeVue Prise;
    QString Statut;        // empty, or kDepassement

    // Bytes the last analysis asked of the file (for measuring).
    qint64 octetsLus() const { return m_octetsLus; }

    // The value of bytes read as an unsigned big-endian number.
    static quint64 Nb(QByteArrayView bytes);
    // Bytes as upper-case hexadecimal pairs separated by spaces ("FF E1").
    static QString sHex(QByteArrayView bytes);

private:
    void analyse(Source &source);
    // Reads the tags of one TIFF block of the map; false, with the status
    // in ValLux, for a block whose header is not what it must be.
    bool lisBloc(Source &source, const BlocExif &bloc);
    void calculeLumiere();

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
    bool bIsoRw2 = false; // the directory being read is an RW2's first one
    double ExifVitesse = 0;
    double ExifDiaf = 0;
    double ExifIso = 0;
};

} // namespace kavel
