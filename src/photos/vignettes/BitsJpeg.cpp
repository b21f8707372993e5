// The JPEG reader's steps that are not taken for every code: skipping and
// finding in the file, building a Huffman table, and the bytes of the
// entropy-coded data around a 0xFF.
#include "photos/vignettes/BitsJpeg.h"

namespace kavel::jpeg {

bool Entree::saute(qint64 n)
{
    while (n > 0) {
        if (!assure(1))
            return false;
        const qint64 pas = std::min<qint64>(n, fin - p);
        p += pas;
        n -= pas;
    }
    return true;
}

int Entree::chercheMarqueur()
{
    for (;;) {
        if (!assure(2))
            return -1;
        const auto *ff = static_cast<const uchar *>(std::memchr(p, 0xFF, static_cast<std::size_t>(fin - p - 1)));
        if (!ff) {
            p = fin - 1;
            continue;
        }
        p = ff;
        if (p[1] != 0x00 && p[1] != 0xFF)
            return p[1];
        ++p;
    }
}

bool TableHuffman::construit(const uchar (&nombres)[17], const uchar *valeurs, int n, bool ac)
{
    rapide.fill(0);
    int code = 0, k = 0;
    for (int l = 1; l <= 16; ++l) {
        decalage[static_cast<std::size_t>(l)] = k - code;
        for (int i = 0; i < nombres[l]; ++i, ++code, ++k) {
            if (code >= (1 << l))
                return false; // more codes than the length allows
            const uchar s = valeurs[k];
            if (l <= kVue) {
                quint16 entree;
                if (ac) {
                    const int r = s >> 4, t = s & 15;
                    const int pas = t ? r + 1 : (r == 15 ? 16 : 64);
                    entree = quint16((l + t) | pas << 8);
                } else {
                    entree = quint16(l | s << 8);
                }
                const int libres = kVue - l;
                for (int j = 0; j < (1 << libres); ++j)
                    rapide[static_cast<std::size_t>(code << libres | j)] = entree;
            }
        }
        maxcode[static_cast<std::size_t>(l)] = nombres[l] ? code - 1 : -1;
        code <<= 1;
    }
    maxcode[17] = 0x7FFFFFFF;
    std::memcpy(symboles.data(), valeurs, static_cast<std::size_t>(n));
    definie = true;
    if (ac)
        construitMulti();
    return true;
}

void TableHuffman::construitMulti()
{
    for (int i = 0; i < (1 << kVueMulti); ++i) {
        int pos = 0, pas = 0;
        bool fin = false;
        while (!fin && pas < 64) {
            const int reste = kVueMulti - pos;
            // The code at pos, read through the one-code table (its
            // codes are up to kVue bits: pad with zeros).
            const int tete = reste >= kVue ? (i >> (reste - kVue)) & ((1 << kVue) - 1) : (i << (kVue - reste)) & ((1 << kVue) - 1);
            const quint16 e = rapide[static_cast<std::size_t>(tete)];
            if (!e || (e & 0xFF) > reste)
                break; // no whole code and value left in these bits
            pos += e & 0xFF;
            if ((e >> 8) == 64)
                fin = true;
            else
                pas += e >> 8;
        }
        multi[static_cast<std::size_t>(i)] = pos == 0 || pas >= 64 ? 0 : quint16(pos | pas << 4 | (fin ? 0x800 : 0));
    }
}

void Bits::remplitOctetParOctet()
{
    while (m_n <= 56) {
        uint b = 0;
        if (!m_marqueur && m_e.assure(2)) {
            b = *m_e.p;
            if (b != 0xFF)
                ++m_e.p;
            else if (m_e.p[1] == 0x00)
                m_e.p += 2;
            else
                b = 0, m_marqueur = true; // the data ends: zeros from here
        } else if (!m_marqueur && m_e.assure(1)) {
            b = *m_e.p++;
        }
        m_bits |= quint64(b) << (56 - m_n);
        m_n += 8;
    }
}

void Bits::recommence()
{
    m_bits = 0;
    m_n = 0;
    const int m = m_e.chercheMarqueur();
    if (m >= kRst0 && m <= kRst7)
        m_e.p += 2;
    m_marqueur = false;
}

} // namespace kavel::jpeg
