// The TIFF writer for the compressions Qt's writer lacks: none and PackBits (Qt's writes
// LZW). Baseline TIFF, little-endian, one strip, 8 bits a sample.

#include "platform/drawing/Image.h"

#include <QtEndian>

#include <cmath>
#include <vector>

namespace platform {

namespace {

// PackBits: runs of 2-128 equal bytes as (1 - n, byte), literal stretches of 1-128 bytes
// as (n - 1, bytes). Each row is packed on its own, as TIFF asks.
void packBitsRow(const uchar* row, int length, QByteArray& out)
{
    int i = 0;
    while (i < length) {
        int run = 1;
        while (i + run < length && run < 128 && row[i + run] == row[i])
            ++run;
        if (run >= 2) {
            out.append(char(1 - run));
            out.append(char(row[i]));
            i += run;
            continue;
        }
        int literal = 1;
        while (i + literal < length && literal < 128
               && !(i + literal + 1 < length && row[i + literal] == row[i + literal + 1]))
            ++literal;
        out.append(char(literal - 1));
        out.append(reinterpret_cast<const char*>(row + i), literal);
        i += literal;
    }
}

class TiffWriter
{
public:
    void u16(quint16 v)
    {
        const quint16 le = qToLittleEndian(v);
        _data.append(reinterpret_cast<const char*>(&le), 2);
    }
    void u32(quint32 v)
    {
        const quint32 le = qToLittleEndian(v);
        _data.append(reinterpret_cast<const char*>(&le), 4);
    }
    // One directory entry; `value` is the value itself (SHORT or LONG count 1) or an offset.
    void entry(quint16 tag, quint16 type, quint32 count, quint32 value)
    {
        u16(tag);
        u16(type);
        u32(count);
        if (type == 3 && count == 1) {
            u16(quint16(value));
            u16(0);
        } else {
            u32(value);
        }
    }
    QByteArray& data() { return _data; }

private:
    QByteArray _data;
};

} // namespace

QByteArray Image::TIFFRepresentationUsingCompression(int compression) const
{
    if (compression != TIFFCompressionNone && compression != TIFFCompressionPackBits)
        return TIFFRepresentationUsingLZW();
    if (_bitmap.isNull())
        return {};
    const bool alpha = _bitmap.hasAlphaChannel();
    const QImage pixels =
        _bitmap.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    const int width = pixels.width();
    const int height = pixels.height();
    const int samples = alpha ? 4 : 3;
    const int rowBytes = width * samples;

    QByteArray strip;
    strip.reserve(compression == TIFFCompressionNone ? rowBytes * height : rowBytes * height / 2);
    for (int y = 0; y < height; ++y) {
        const uchar* row = pixels.constScanLine(y);
        if (compression == TIFFCompressionNone)
            strip.append(reinterpret_cast<const char*>(row), rowBytes);
        else
            packBitsRow(row, rowBytes, strip);
    }

    const double dpiX = _size.width() > 0.0 ? width * 72.0 / _size.width() : 72.0;
    const double dpiY = _size.height() > 0.0 ? height * 72.0 / _size.height() : 72.0;
    const quint16 entries = alpha ? 14 : 13;

    // Header, then the pixels, then the values that do not fit an entry, then the directory.
    TiffWriter w;
    w.data().append("II", 2);
    w.u16(42);
    const quint32 stripOffset = 8;
    const quint32 extraOffset = stripOffset + quint32(strip.size()) + (strip.size() & 1);
    const quint32 bitsOffset = extraOffset;
    const quint32 xResOffset = bitsOffset + 2 * samples;
    const quint32 yResOffset = xResOffset + 8;
    const quint32 directoryOffset = yResOffset + 8;
    w.u32(directoryOffset);
    w.data().append(strip);
    if (strip.size() & 1)
        w.data().append('\0');
    for (int s = 0; s < samples; ++s)
        w.u16(8);
    const auto rational = [&w](double v) {
        w.u32(quint32(std::lround(v * 10000.0)));
        w.u32(10000);
    };
    rational(dpiX);
    rational(dpiY);

    w.u16(entries);
    w.entry(256, 4, 1, quint32(width));
    w.entry(257, 4, 1, quint32(height));
    w.entry(258, 3, quint32(samples), bitsOffset);
    w.entry(259, 3, 1, quint32(compression));
    w.entry(262, 3, 1, 2); // RGB
    w.entry(273, 4, 1, stripOffset);
    w.entry(277, 3, 1, quint32(samples));
    w.entry(278, 4, 1, quint32(height));
    w.entry(279, 4, 1, quint32(strip.size()));
    w.entry(282, 5, 1, xResOffset);
    w.entry(283, 5, 1, yResOffset);
    w.entry(284, 3, 1, 1); // chunky
    w.entry(296, 3, 1, 2); // inches
    if (alpha)
        w.entry(338, 3, 1, 2); // unassociated alpha
    w.u32(0);
    return w.data();
}

} // namespace platform
