#pragma once

// What the walkers of CarteFichier.cpp and CarteIso.cpp share; not for use
// outside them.

#include "photos/exif/CarteFichier.h"

namespace kavel::carte {

// Big-endian numbers read from pos up to fin; once a read would pass fin,
// every read gives 0 and ok stays false.
struct Curseur {
    Source &source;
    qint64 pos;
    qint64 fin;
    bool ok = true;

    quint64 lit(qint64 n)
    {
        QByteArray octets;
        if (!ok || n > fin - pos || !source.lit(pos, n, octets)) {
            ok = false;
            return 0;
        }
        pos += n;
        return nombreMotorola(octets);
    }
};

// A box: size (4 bytes, the whole box), type (4); a size of 1 means a
// 64-bit size follows the type, 0 a box that runs to the end of its
// container. A "uuid" box then has a 16-byte type of its own. A box longer
// than its container (a file cut short) is cut to it; false when no whole
// box header lies between pos and fin, or its size is less than its header.
struct Boite {
    quint32 type = 0;
    QByteArray uuid;
    qint64 debut = 0; // first byte of the contents
    qint64 fin = 0;   // one past the last byte
};
bool boiteSuivante(Source &source, qint64 &pos, qint64 fin, Boite &boite);

// Draws the map, walking one container kind after another as the file
// nests them.
class Cartographe {
public:
    Cartographe(Source &source, Recherche recherche)
        : m_source(source)
        , m_apercus(recherche == Recherche::ExifEtApercus)
    {
    }

    CarteFichier dessine();

private:
    void jpeg(Source &dans, qint64 debutFenetre);
    void tiff();
    void raf();
    void iso();
    bool cr3(const Boite &moov);
    bool heif(const Boite &meta);
    bool itemExif(qint64 debut, qint64 fin);
    void apercuJpeg(Source &dans, qint64 debutFenetre, const BlocExif &bloc);
    void apercuBoite(const Boite &b, qint64 placeLongueur);
    void propose(Source &dans, qint64 debutFenetre, qint64 debut, qint64 longueur);
    int orientation(Source &tiff);

    Source &m_source;
    bool m_apercus;
    CarteFichier m_carte;
    int m_orientation = 0;
};

} // namespace kavel::carte
