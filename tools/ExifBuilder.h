#pragma once

// Builds JPEG files with an EXIF block, in either TIFF byte order, so a test
// or a tool can write exactly the bytes it needs: the same directories
// written little-endian and big-endian must read the same.
#include <QByteArray>
#include <QList>
#include <QtEndian>

class ExifBuilder {
public:
    explicit ExifBuilder(bool motorola)
        : m_mm(motorola)
    {
    }

    struct Entry {
        quint16 tag;
        quint16 type;
        quint32 count;
        QByteArray value; // in the file's byte order; offset when longer than 4 bytes
    };

    QByteArray u16(quint16 v) const
    {
        QByteArray b(2, '\0');
        m_mm ? qToBigEndian(v, b.data()) : qToLittleEndian(v, b.data());
        return b;
    }
    QByteArray u32(quint32 v) const
    {
        QByteArray b(4, '\0');
        m_mm ? qToBigEndian(v, b.data()) : qToLittleEndian(v, b.data());
        return b;
    }

    Entry rational(quint16 tag, quint32 num, quint32 den, quint16 type = 5) const
    {
        return {tag, type, 1, u32(num) + u32(den)};
    }
    Entry shortInline(quint16 tag, quint16 v) const { return {tag, 3, 1, u16(v) + QByteArray(2, '\0')}; }
    Entry longInline(quint16 tag, quint32 v) const { return {tag, 4, 1, u32(v)}; }
    Entry ascii(quint16 tag, const QByteArray &text) const { return {tag, 2, quint32(text.size()), text}; }
    Entry undefined(quint16 tag, const QByteArray &bytes) const
    {
        return {tag, 7, quint32(bytes.size()), bytes};
    }
    // An entry whose value field holds an offset as given, pointing anywhere.
    Entry rawOffset(quint16 tag, quint16 type, quint32 count, quint32 offset) const
    {
        return {tag, type, count, u32(offset) + QByteArray("\x01", 1)}; // the marker byte is dropped below
    }

    QList<Entry> ifd0;
    QList<Entry> exif;
    bool pointerToExif = true;
    QByteArray preview; // a JPEG put in a second image directory, as cameras do

    // The TIFF block: header, first directory, Exif sub-directory, values.
    QByteArray tiff() const
    {
        QList<Entry> first = ifd0;
        const int firstSize = 2 + 12 * (int(first.size()) + (pointerToExif ? 1 : 0)) + 4;
        const int exifOffset = 8 + firstSize;
        if (pointerToExif)
            first.append(longInline(0x8769, quint32(exifOffset)));
        const int exifSize = 2 + 12 * int(exif.size()) + 4;
        const int ifd1Offset = exifOffset + exifSize;
        QList<Entry> second;
        if (!preview.isEmpty())
            second = {shortInline(0x0103, 6), longInline(0x0201, 0), longInline(0x0202, quint32(preview.size()))};
        const int ifd1Size = second.isEmpty() ? 0 : 2 + 12 * int(second.size()) + 4;
        int dataOffset = ifd1Offset + ifd1Size;
        if (!second.isEmpty())
            second[1] = longInline(0x0201, quint32(dataOffset)); // the preview comes first in the data

        QByteArray data;
        const auto directory = [&](const QList<Entry> &entries, quint32 next) {
            QByteArray d = u16(quint16(entries.size()));
            for (const Entry &e : entries) {
                d += u16(e.tag) + u16(e.type) + u32(e.count);
                if (e.value.size() == 5 && e.value.back() == '\x01') {
                    d += e.value.left(4); // raw offset
                } else if (e.value.size() > 4) {
                    d += u32(quint32(dataOffset + data.size()));
                    data += e.value;
                } else {
                    d += e.value.leftJustified(4, '\0');
                }
            }
            return d + u32(next);
        };
        QByteArray t = (m_mm ? QByteArray("MM") : QByteArray("II")) + u16(42) + u32(8);
        data = preview;
        t += directory(first, second.isEmpty() ? 0 : quint32(ifd1Offset));
        t += directory(exif, 0);
        if (!second.isEmpty())
            t += directory(second, 0);
        return t + data;
    }

    // The APP1 segment: "Exif" 00 00 and the TIFF block.
    QByteArray app1() const
    {
        const QByteArray payload = QByteArray("Exif\0\0", 6) + tiff();
        QByteArray segment("\xFF\xE1");
        segment += char((payload.size() + 2) >> 8);
        segment += char((payload.size() + 2) & 0xFF);
        return segment + payload;
    }

    // A whole JPEG: SOI, the given segments, APP1 "Exif", EOI.
    QByteArray jpeg(const QByteArray &before = {}) const
    {
        return QByteArray("\xFF\xD8") + before + app1() + QByteArray("\xFF\xD9");
    }

    // A real JPEG image with this EXIF block placed right after its SOI.
    QByteArray withImage(const QByteArray &jpegImage) const
    {
        return jpegImage.left(2) + app1() + jpegImage.mid(2);
    }

    // A segment of any marker with a payload of n bytes.
    static QByteArray segment(quint8 marker, int n, char fill = '\0')
    {
        QByteArray s;
        s += char(0xFF);
        s += char(marker);
        s += char((n + 2) >> 8);
        s += char((n + 2) & 0xFF);
        return s + QByteArray(n, fill);
    }

private:
    bool m_mm;
};
