// A JPEG's DC coefficients are each block's mean, so they alone make the
// photo at one eighth of its size. Reading them still means walking every
// Huffman code of a sequential JPEG, but the AC codes are only skipped: one
// table look-up gives each code's length, its value's bits and the place it
// moves to in the block, and nothing is dequantised or transformed.
// The file's bytes and the scans' bits are read by BitsJpeg.
#include "photos/vignettes/DecodageDC.h"

#include "photos/vignettes/BitsJpeg.h"

#include <QIODevice>
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace kavel {

namespace {

using namespace jpeg;

struct Composante {
    int id = 0, h = 1, v = 1, tq = 0;
    int largeurBlocs = 0, hauteurBlocs = 0; // of the plane, whole MCUs
    int q0 = 1;                             // the DC's quantiser
    bool vue = false;                       // a scan has given its DC
    std::vector<qint16> dc;
};

class Decodeur {
public:
    Decodeur(QIODevice &f, qint64 budget)
        : m_e(f), m_budget(budget)
    {
    }
    QImage decode();

private:
    bool segmentHuffman(int longueur);
    bool segmentQuantif(int longueur);
    bool segmentImage(int marqueur, int longueur);
    bool scan(int longueur);
    QImage image() const;

    Entree m_e;
    qint64 m_budget;
    std::array<TableHuffman, 4> m_dc{}, m_ac{};
    std::array<int, 4> m_q0{1, 1, 1, 1};
    std::vector<Composante> m_comp;
    int m_largeur = 0, m_hauteur = 0, m_hmax = 1, m_vmax = 1, m_mcuX = 0, m_mcuY = 0;
    int m_intervalle = 0;
    bool m_progressif = false;
    int m_adobe = -1; // Adobe's colour transform, -1 without its segment
};

bool Decodeur::segmentHuffman(int longueur)
{
    while (longueur > 0) {
        const int tc = m_e.octet();
        if (tc < 0 || (tc >> 4) > 1 || (tc & 15) > 3 || longueur < 17)
            return false;
        uchar nombres[17] = {};
        int total = 0;
        for (int l = 1; l <= 16; ++l) {
            const int c = m_e.octet();
            if (c < 0)
                return false;
            nombres[l] = uchar(c);
            total += c;
        }
        if (total > 256 || longueur < 17 + total)
            return false;
        uchar valeurs[256];
        for (int i = 0; i < total; ++i) {
            const int c = m_e.octet();
            if (c < 0)
                return false;
            valeurs[i] = uchar(c);
        }
        TableHuffman &t = (tc >> 4) ? m_ac[static_cast<std::size_t>(tc & 15)] : m_dc[static_cast<std::size_t>(tc & 15)];
        if (!t.construit(nombres, valeurs, total, tc >> 4))
            return false;
        longueur -= 17 + total;
    }
    return longueur == 0;
}

bool Decodeur::segmentQuantif(int longueur)
{
    while (longueur > 0) {
        const int pq = m_e.octet();
        if (pq < 0 || (pq & 15) > 3)
            return false;
        const int taille = (pq >> 4) ? 128 : 64;
        if (longueur < 1 + taille)
            return false;
        const int q0 = (pq >> 4) ? m_e.mot() : m_e.octet();
        if (q0 < 0 || !m_e.saute(taille - ((pq >> 4) ? 2 : 1)))
            return false;
        m_q0[static_cast<std::size_t>(pq & 15)] = std::max(q0, 1);
        longueur -= 1 + taille;
    }
    return longueur == 0;
}

bool Decodeur::segmentImage(int marqueur, int longueur)
{
    if (!m_comp.empty())
        return false; // a second frame
    const int precision = m_e.octet();
    m_hauteur = m_e.mot();
    m_largeur = m_e.mot();
    const int n = m_e.octet();
    if (precision != 8 || m_hauteur <= 0 || m_largeur <= 0 || (n != 1 && n != 3) || longueur != 6 + 3 * n)
        return false;
    m_progressif = marqueur == kSof2;
    for (int i = 0; i < n; ++i) {
        Composante c;
        c.id = m_e.octet();
        const int hv = m_e.octet();
        c.tq = m_e.octet();
        c.h = hv >> 4;
        c.v = hv & 15;
        if (c.id < 0 || c.h < 1 || c.h > 4 || c.v < 1 || c.v > 4 || c.tq < 0 || c.tq > 3)
            return false;
        m_hmax = std::max(m_hmax, c.h);
        m_vmax = std::max(m_vmax, c.v);
        m_comp.push_back(c);
    }
    if (n == 1)
        m_comp[0].h = m_comp[0].v = m_hmax = m_vmax = 1; // one component: blocks are MCUs
    m_mcuX = (m_largeur + 8 * m_hmax - 1) / (8 * m_hmax);
    m_mcuY = (m_hauteur + 8 * m_vmax - 1) / (8 * m_vmax);
    qint64 octets = qint64((m_largeur + 7) / 8) * ((m_hauteur + 7) / 8) * 4; // the picture
    for (Composante &c : m_comp) {
        c.largeurBlocs = m_mcuX * c.h;
        c.hauteurBlocs = m_mcuY * c.v;
        octets += qint64(c.largeurBlocs) * c.hauteurBlocs * qint64(sizeof(qint16));
    }
    if (octets > m_budget)
        return false;
    for (Composante &c : m_comp)
        c.dc.assign(static_cast<std::size_t>(c.largeurBlocs) * static_cast<std::size_t>(c.hauteurBlocs), 0);
    return true;
}

bool Decodeur::scan(int longueur)
{
    const int ns = m_e.octet();
    if (m_comp.empty() || ns < 1 || ns > int(m_comp.size()) || longueur != 4 + 2 * ns)
        return false;
    struct Partie {
        Composante *c;
        const TableHuffman *dc, *ac;
    };
    std::vector<Partie> parties;
    for (int i = 0; i < ns; ++i) {
        const int id = m_e.octet(), t = m_e.octet();
        auto c = std::find_if(m_comp.begin(), m_comp.end(), [id](const Composante &x) { return x.id == id; });
        if (id < 0 || t < 0 || c == m_comp.end() || (t >> 4) > 3 || (t & 15) > 3)
            return false;
        parties.push_back({&*c, &m_dc[static_cast<std::size_t>(t >> 4)], &m_ac[static_cast<std::size_t>(t & 15)]});
    }
    const int ss = m_e.octet(), se = m_e.octet(), a = m_e.octet();
    if (ss < 0 || se < 0 || a < 0)
        return false;
    const int ah = a >> 4, al = a & 15;
    if (ss != 0 || (m_progressif && (se != 0 || al > 13)) || (!m_progressif && se != 63))
        return m_progressif; // a progressive scan of AC coefficients: passed over
    for (const Partie &p : parties) {
        if ((ah == 0 && !p.dc->definie) || (!m_progressif && !p.ac->definie))
            return false;
        if (ah == 0 && !p.c->vue) {
            p.c->vue = true;
            p.c->q0 = m_q0[static_cast<std::size_t>(p.c->tq)];
        }
    }

    // The blocks of each MCU: all the components' blocks when interleaved,
    // else one block of the one component, over its own size.
    const bool entrelace = ns > 1;
    const Composante &seule = *parties[0].c;
    const int mcuX = entrelace ? m_mcuX : (((m_largeur * seule.h + m_hmax - 1) / m_hmax) + 7) / 8;
    const int mcuY = entrelace ? m_mcuY : (((m_hauteur * seule.v + m_vmax - 1) / m_vmax) + 7) / 8;
    Bits bits(m_e);
    std::array<int, 4> predit{};
    int avantRestart = m_intervalle;
    for (int my = 0; my < mcuY; ++my) {
        for (int mx = 0; mx < mcuX; ++mx) {
            if (m_intervalle) {
                if (avantRestart == 0) {
                    bits.recommence();
                    predit.fill(0);
                    avantRestart = m_intervalle;
                }
                --avantRestart;
            }
            for (std::size_t i = 0; i < parties.size(); ++i) {
                const Partie &p = parties[i];
                Composante &c = *p.c;
                const int nh = entrelace ? c.h : 1, nv = entrelace ? c.v : 1;
                for (int by = 0; by < nv; ++by) {
                    for (int bx = 0; bx < nh; ++bx) {
                        qint16 &dc = c.dc[static_cast<std::size_t>((my * nv + by) * c.largeurBlocs + mx * nh + bx)];
                        if (ah == 0) {
                            const int s = bits.symboleDC(*p.dc);
                            if (s < 0 || s > 15)
                                return true; // damaged: what was read stays
                            predit[i] = qint16(predit[i] + bits.valeur(s)); // wraps as 16 bits do
                            dc = qint16(predit[i] * (1 << al));
                        } else if (bits.bit()) {
                            dc = qint16(dc | (1 << al));
                        }
                        if (!m_progressif && !bits.sauteAC(*p.ac, 1))
                            return true;
                    }
                }
            }
        }
    }
    return true;
}

QImage Decodeur::decode()
{
    if (m_e.octet() != 0xFF || m_e.octet() != 0xD8)
        return {};
    for (;;) {
        const int marqueur = m_e.chercheMarqueur();
        if (marqueur < 0 || marqueur == kEoi)
            break;
        m_e.p += 2;
        if (marqueur >= kRst0 && marqueur <= kRst7)
            continue;
        const int longueur = m_e.mot() - 2;
        if (longueur < 0)
            break;
        bool bon = true;
        if (marqueur == kDht) {
            bon = segmentHuffman(longueur);
        } else if (marqueur == kDqt) {
            bon = segmentQuantif(longueur);
        } else if (marqueur == kSof0 || marqueur == kSof1 || marqueur == kSof2) {
            bon = segmentImage(marqueur, longueur);
        } else if ((marqueur & 0xF0) == 0xC0 && marqueur != 0xC4 && marqueur != 0xC8 && marqueur != 0xCC) {
            return {}; // lossless, hierarchical or arithmetic coding
        } else if (marqueur == kDri) {
            m_intervalle = m_e.mot();
            bon = longueur == 2 && m_intervalle >= 0 && m_e.saute(longueur - 2);
        } else if (marqueur == kSos) {
            bon = scan(longueur);
        } else if (marqueur == kApp14 && longueur >= 12) {
            char adobe[5];
            for (char &c : adobe)
                c = char(m_e.octet());
            bon = m_e.saute(6);
            const int transform = m_e.octet();
            if (std::memcmp(adobe, "Adobe", 5) == 0)
                m_adobe = transform;
            bon = bon && m_e.saute(longueur - 12);
        } else {
            bon = m_e.saute(longueur);
        }
        if (!bon)
            break;
    }
    if (m_comp.empty() || !std::all_of(m_comp.begin(), m_comp.end(), [](const Composante &c) { return c.vue; }))
        return {};
    return image();
}

QImage Decodeur::image() const
{
    const int l = (m_largeur + 7) / 8, h = (m_hauteur + 7) / 8;
    QImage image(l, h, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    // A DC coefficient is eight times the block's mean, less 128.
    const auto niveau = [](qint64 coef, qint64 q) {
        const qint64 somme = coef * q;
        return int(std::clamp<qint64>((somme + (somme >= 0 ? 4 : -4)) / 8 + 128, 0, 255));
    };
    const bool rgb = m_comp.size() == 3
        && (m_adobe == 0 || (m_adobe < 0 && m_comp[0].id == 'R' && m_comp[1].id == 'G' && m_comp[2].id == 'B'));
    for (int y = 0; y < h; ++y) {
        auto *ligne = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < l; ++x) {
            int v[3];
            for (std::size_t c = 0; c < m_comp.size(); ++c) {
                const Composante &k = m_comp[c];
                const int bx = x * k.h / m_hmax, by = y * k.v / m_vmax;
                v[c] = niveau(k.dc[static_cast<std::size_t>(by * k.largeurBlocs + bx)], k.q0);
            }
            if (m_comp.size() == 1) {
                ligne[x] = qRgb(v[0], v[0], v[0]);
            } else if (rgb) {
                ligne[x] = qRgb(v[0], v[1], v[2]);
            } else {
                const double cb = v[1] - 128.0, cr = v[2] - 128.0;
                const auto octet = [](double d) { return std::clamp(int(d + 0.5), 0, 255); };
                ligne[x] = qRgb(octet(v[0] + 1.402 * cr), octet(v[0] - 0.344136 * cb - 0.714136 * cr), octet(v[0] + 1.772 * cb));
            }
        }
    }
    return image;
}

} // namespace

QImage jpegHuitieme(QIODevice &fichier, qint64 budget)
{
    return Decodeur(fichier, budget).decode();
}

} // namespace kavel
