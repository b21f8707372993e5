// The bytes and bits of a JPEG as DecodageDC walks them: the file through
// one block, the Huffman tables with their one-look-up entries, and the
// entropy-coded data of a scan read bit by bit. What is done for every code
// stays inline here; building a table and finding a marker are in
// BitsJpeg.cpp.
#pragma once

#include <QIODevice>
#include <QtEndian>
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace kavel::jpeg {

inline constexpr qint64 kBloc = 64 * 1024; // read from the file at a time
inline constexpr int kVue = 10;            // bits of a code resolved by one look-up
inline constexpr int kVueMulti = 13;       // bits of AC codes skipped by one look-up

// Markers.
inline constexpr int kSof0 = 0xC0, kSof1 = 0xC1, kSof2 = 0xC2, kDht = 0xC4, kRst0 = 0xD0,
                     kRst7 = 0xD7, kEoi = 0xD9, kSos = 0xDA, kDqt = 0xDB, kDri = 0xDD,
                     kApp14 = 0xEE;

// The file's bytes through one block; at least two bytes ahead are kept
// in the block where the file has them, so a 0xFF is always seen with the
// byte after it.
class Entree {
public:
    explicit Entree(QIODevice &f)
        : m_f(f), m_buf(kBloc + 2)
    {
        p = fin = m_buf.data();
    }
    // Makes n (<= 2) bytes available from p; false at the end of the file.
    bool assure(int n)
    {
        if (fin - p >= n)
            return true;
        const qint64 reste = fin - p;
        std::memmove(m_buf.data(), p, static_cast<std::size_t>(reste));
        const qint64 lus = m_fini ? 0 : m_f.read(reinterpret_cast<char *>(m_buf.data()) + reste, kBloc);
        if (lus <= 0)
            m_fini = true;
        p = m_buf.data();
        fin = p + reste + std::max<qint64>(lus, 0);
        return fin - p >= n;
    }
    int octet() { return assure(1) ? *p++ : -1; }
    int mot()
    {
        const int a = octet(), b = octet();
        return a < 0 || b < 0 ? -1 : a << 8 | b;
    }
    bool saute(qint64 n);
    // Moves to the next marker (0xFF then neither 0x00 nor 0xFF) and
    // returns it, p on its 0xFF; -1 at the end of the file.
    int chercheMarqueur();

    const uchar *p = nullptr;
    const uchar *fin = nullptr;

private:
    QIODevice &m_f;
    std::vector<uchar> m_buf;
    bool m_fini = false;
};

// One Huffman table: for codes of up to kVue bits one look-up, longer ones
// canonically. For a DC table the entry gives the code's length and its
// symbol; for an AC table the bits to skip (code and value) and the step in
// the block (64 ends it).
struct TableHuffman {
    std::array<quint16, 1 << kVue> rapide{};
    // AC only: the whole codes and values the next kVueMulti bits hold,
    // stopping after an end of block: bits (low 4), step in the block (next
    // 7), end of block (0x800); 0 when the first code does not fit.
    std::array<quint16, 1 << kVueMulti> multi{};
    std::array<qint32, 18> maxcode{};
    std::array<qint32, 17> decalage{};
    std::array<uchar, 256> symboles{};
    bool definie = false;

    // Fills the table from a segment's code counts by length (nombres[1]
    // to [16]) and its n symbols; false when the counts do not make a code.
    bool construit(const uchar (&nombres)[17], const uchar *valeurs, int n, bool ac);
    void construitMulti();
};

// The entropy-coded data of one scan, bit by bit.
class Bits {
public:
    explicit Bits(Entree &e)
        : m_e(e)
    {
    }
    void remplit()
    {
        // Eight bytes at once when none of them is 0xFF (a stuffed byte or
        // a marker), which is nearly always.
        if (!m_marqueur && m_e.fin - m_e.p >= 8) {
            quint64 x;
            std::memcpy(&x, m_e.p, 8);
            x = qFromBigEndian(x);
            const quint64 inverse = ~x;
            if (((inverse - 0x0101010101010101ULL) & ~inverse & 0x8080808080808080ULL) == 0) {
                const int octets = (64 - m_n) >> 3;
                m_bits |= (x >> (64 - 8 * octets)) << (64 - m_n - 8 * octets);
                m_n += 8 * octets;
                m_e.p += octets;
                return;
            }
        }
        remplitOctetParOctet();
    }
    [[gnu::noinline]] void remplitOctetParOctet();
    // A restart marker: what is left of the byte is padding; the marker,
    // if it is where expected, is passed.
    void recommence();
    // A symbol of a DC table, -1 for a code no table holds.
    int symboleDC(const TableHuffman &t)
    {
        if (m_n < 32)
            remplit();
        const quint16 e = t.rapide[m_bits >> (64 - kVue)];
        if (e) {
            consomme(e & 0xFF);
            return e >> 8;
        }
        return lent(t);
    }
    // The s bits of a value, as the value they code.
    int valeur(int s)
    {
        if (s == 0)
            return 0;
        if (m_n < 32)
            remplit();
        const int v = int(m_bits >> (64 - s));
        consomme(s);
        return v < (1 << (s - 1)) ? v - (1 << s) + 1 : v;
    }
    // Skips the AC codes of one block from position k; false for a code
    // no table holds.
    bool sauteAC(const TableHuffman &t, int k)
    {
        quint64 bits = m_bits;
        int n = m_n;
        while (k < 64) {
            if (n < 32) {
                m_bits = bits, m_n = n;
                remplit();
                bits = m_bits, n = m_n;
            }
            // Several codes at once while they stay inside the block.
            const quint16 m = t.multi[bits >> (64 - kVueMulti)];
            if (m && k + ((m >> 4) & 0x7F) < 64) {
                bits <<= (m & 0xF);
                n -= m & 0xF;
                k = (m & 0x800) ? 64 : k + ((m >> 4) & 0x7F);
                continue;
            }
            const quint16 e = t.rapide[bits >> (64 - kVue)];
            if (e) {
                bits <<= (e & 0xFF);
                n -= e & 0xFF;
                k += e >> 8;
                continue;
            }
            m_bits = bits, m_n = n;
            const int s = lent(t);
            if (s < 0)
                return false;
            const int r = s >> 4, taille = s & 15;
            if (taille) {
                consomme(taille);
                k += r + 1;
            } else if (r == 15) {
                k += 16;
            } else {
                k = 64;
            }
            bits = m_bits, n = m_n;
        }
        m_bits = bits, m_n = n;
        return true;
    }
    int bit()
    {
        if (m_n < 32)
            remplit();
        const int b = int(m_bits >> 63);
        consomme(1);
        return b;
    }

private:
    void consomme(int n)
    {
        m_bits <<= n;
        m_n -= n;
    }
    int lent(const TableHuffman &t)
    {
        for (int l = 1; l <= 16; ++l) {
            const qint32 code = qint32(m_bits >> (64 - l));
            if (code <= t.maxcode[static_cast<std::size_t>(l)]) {
                consomme(l);
                return t.symboles[static_cast<std::size_t>(code + t.decalage[static_cast<std::size_t>(l)]) & 0xFF];
            }
        }
        return -1;
    }

    Entree &m_e;
    quint64 m_bits = 0;
    int m_n = 0;
    bool m_marqueur = false;
};

} // namespace kavel::jpeg
