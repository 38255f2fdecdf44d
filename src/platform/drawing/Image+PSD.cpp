// PSD pictures: the merged image that layered files carry beside their layers, 8 or 16
// bits a channel, raw or run-length (PackBits) compressed, in RGB, greyscale or CMYK.
// Anything else (other colour modes and depths, compressed with zip, the large-document
// variant) is refused with a message saying what. Every length and offset is checked
// against the data, which comes from outside.

#include "platform/drawing/Image.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace platform {

namespace {

constexpr qreal kMetersPerInch = 0.0254;

// A cursor over big-endian data that fails, never reads, past the end.
class Reader
{
public:
    explicit Reader(const QByteArray& data) : _data(data) {}
    bool ok() const { return _ok; }
    qsizetype at() const { return _at; }
    qsizetype left() const { return _data.size() - _at; }
    bool skip(qint64 bytes)
    {
        if (!_ok || bytes < 0 || bytes > left())
            return _ok = false;
        _at += qsizetype(bytes);
        return true;
    }
    bool seek(qsizetype to)
    {
        if (!_ok || to < 0 || to > _data.size())
            return _ok = false;
        _at = to;
        return true;
    }
    quint32 u32() { return read<quint32>(); }
    quint16 u16() { return read<quint16>(); }
    quint8 u8() { return read<quint8>(); }
    const uchar* bytes(qint64 count)
    {
        const uchar* start = reinterpret_cast<const uchar*>(_data.constData()) + _at;
        return skip(count) ? start : nullptr;
    }

private:
    template <typename T>
    T read()
    {
        if (!_ok || left() < qsizetype(sizeof(T))) {
            _ok = false;
            return 0;
        }
        const T value = qFromBigEndian<T>(_data.constData() + _at);
        _at += sizeof(T);
        return value;
    }

    const QByteArray& _data;
    qsizetype _at = 0;
    bool _ok = true;
};

enum ColourMode { Greyscale = 1, RGB = 3, CMYK = 4 };

// PackBits: a count byte n, then n + 1 literal bytes (n 0 to 127) or one byte repeated
// 1 - n times (n -1 to -127); -128 does nothing. False when the row does not come out
// exactly `length` bytes from exactly the packed bytes.
bool unpackBits(const uchar* in, qsizetype packed, uchar* out, qsizetype length)
{
    qsizetype i = 0, o = 0;
    while (i < packed) {
        const int n = qint8(in[i++]);
        if (n >= 0) {
            if (i + n + 1 > packed || o + n + 1 > length)
                return false;
            std::memcpy(out + o, in + i, std::size_t(n + 1));
            i += n + 1;
            o += n + 1;
        } else if (n != -128) {
            if (i >= packed || o + 1 - n > length)
                return false;
            std::memset(out + o, in[i++], std::size_t(1 - n));
            o += 1 - n;
        }
    }
    return o == length;
}

} // namespace

ImagePtr Image::fromPSDData(const QByteArray& data, QString* error)
{
    const auto fail = [error](const QString& why) -> ImagePtr {
        if (error)
            *error = QStringLiteral("The PSD picture cannot be read: %1").arg(why);
        return nullptr;
    };
    Reader in(data);
    in.skip(4); // "8BPS"
    const quint16 version = in.u16();
    in.skip(6);
    const int channels = in.u16();
    const quint32 height = in.u32();
    const quint32 width = in.u32();
    const int depth = in.u16();
    const int mode = in.u16();
    if (!in.ok())
        return fail(QStringLiteral("the data ends inside its header."));
    if (version != 1)
        return fail(QStringLiteral("only the standard form is read, not the large-document form."));
    if (mode != Greyscale && mode != RGB && mode != CMYK)
        return fail(
            QStringLiteral("only RGB, greyscale and CMYK pictures are read, not colour mode %1.")
                .arg(mode));
    if (depth != 8 && depth != 16)
        return fail(QStringLiteral("only 8 and 16 bits a channel are read, not %1.").arg(depth));
    const int colourChannels = mode == Greyscale ? 1 : mode == RGB ? 3 : 4;
    if (channels < colourChannels || channels > 56)
        return fail(
            QStringLiteral("%1 channels do not make a picture of its colour mode.").arg(channels));
    if (width == 0 || height == 0 || width > 300000 || height > 300000)
        return fail(QStringLiteral("its size %1 × %2 is not a picture's.").arg(width).arg(height));

    // Colour mode data (none for these modes), then the resources: the resolution.
    in.skip(in.u32());
    const quint32 resourcesLength = in.u32();
    const qsizetype resourcesEnd = in.at() + qsizetype(resourcesLength);
    double dpiX = 72.0, dpiY = 72.0;
    while (in.ok() && in.at() + 12 <= resourcesEnd) {
        if (in.u32() != 0x3842494d) // "8BIM"
            break;
        const quint16 id = in.u16();
        const quint8 nameLength = in.u8();
        in.skip(nameLength + ((nameLength + 1) % 2)); // the name padded to an even length
        const quint32 size = in.u32();
        const qsizetype next = in.at() + qsizetype(size) + qsizetype(size % 2);
        if (id == 0x03ed && size >= 16) {
            // Resolution: 16.16 fixed-point values, unit 1 per inch, 2 per centimetre.
            const auto resolution = [&in]() {
                const double value = in.u32() / 65536.0;
                const quint16 unit = in.u16();
                in.skip(2);
                return unit == 2 ? value * 2.54 : value;
            };
            const double x = resolution();
            const double y = resolution();
            // Below 1 dpi a resolution is absurd (a few pixels metres wide): unstated.
            if (x >= 1.0 && y >= 1.0 && std::isfinite(x) && std::isfinite(y)) {
                dpiX = x;
                dpiY = y;
            }
        }
        if (next > resourcesEnd)
            break;
        in.seek(next);
    }
    in.seek(resourcesEnd);

    // Layers: only whether the first extra channel is the merged picture's transparency
    // (the layer count is negative then).
    const quint32 layersLength = in.u32();
    const qsizetype layersEnd = in.at() + qsizetype(layersLength);
    bool mergedAlpha = false;
    if (layersLength >= 6) {
        in.u32(); // the layer information's length
        mergedAlpha = qint16(in.u16()) < 0;
    }
    in.seek(layersEnd);
    const int compression = in.u16();
    if (!in.ok())
        return fail(QStringLiteral("the data ends before its picture."));
    if (compression != 0 && compression != 1)
        return fail(QStringLiteral("its picture is compressed in a way that is not read (%1).")
                        .arg(compression));

    const bool alpha = mergedAlpha && channels > colourChannels;
    const int kept = colourChannels + (alpha ? 1 : 0);
    const int sampleBytes = depth / 8;
    const qsizetype rowBytes = qsizetype(width) * sampleBytes;
    if (rowBytes * qint64(height) * kept > std::numeric_limits<int>::max())
        return fail(QStringLiteral("it is too large."));
    // The data must hold the planes before room is made for them: a header of a few bytes
    // may claim a picture of gigabytes. Raw planes take their full size; a packed row takes
    // at least two bytes for every 128 it unpacks to, after a length for each row.
    const qint64 leastData =
        compression == 0
            ? rowBytes * qint64(height) * kept
            : qint64(channels) * height * 2 + qint64(kept) * height * 2 * ((rowBytes + 127) / 128);
    if (in.left() < leastData)
        return fail(compression == 0 ? QStringLiteral("the data ends inside its picture.")
                                     : QStringLiteral("the data ends inside its row lengths."));
    std::vector<uchar> planes;
    try {
        planes.resize(std::size_t(rowBytes) * height * std::size_t(kept));
    } catch (const std::bad_alloc&) {
        return fail(QStringLiteral("it is too large."));
    }
    if (compression == 0) {
        for (int c = 0; c < kept; ++c) {
            const uchar* plane = in.bytes(rowBytes * height);
            if (!plane)
                return fail(QStringLiteral("the data ends inside its picture."));
            std::memcpy(planes.data() + std::size_t(c) * std::size_t(rowBytes) * height, plane,
                        std::size_t(rowBytes) * height);
        }
    } else {
        // A packed length for every row of every channel, then the rows.
        const uchar* counts = in.bytes(qint64(channels) * height * 2);
        if (!counts)
            return fail(QStringLiteral("the data ends inside its row lengths."));
        for (int c = 0; c < kept; ++c) {
            for (quint32 y = 0; y < height; ++y) {
                const quint16 packed =
                    qFromBigEndian<quint16>(counts + (std::size_t(c) * height + y) * 2);
                const uchar* row = in.bytes(packed);
                uchar* out = planes.data() + (std::size_t(c) * height + y) * std::size_t(rowBytes);
                if (!row || !unpackBits(row, packed, out, rowBytes))
                    return fail(QStringLiteral("a compressed row is damaged."));
            }
        }
    }

    // Samples of channel c at (x, y) as 0-1.
    const auto sample = [&](int c, quint32 x, quint32 y) {
        const uchar* at = planes.data() + (std::size_t(c) * height + y) * std::size_t(rowBytes)
                          + std::size_t(x) * std::size_t(sampleBytes);
        return depth == 8 ? at[0] / 255.0 : qFromBigEndian<quint16>(at) / 65535.0;
    };
    QImage bitmap(int(width), int(height),
                  depth == 8 ? QImage::Format_ARGB32 : QImage::Format_RGBA64);
    if (bitmap.isNull())
        return fail(QStringLiteral("it is too large."));
    for (quint32 y = 0; y < height; ++y) {
        for (quint32 x = 0; x < width; ++x) {
            double rgb[3];
            if (mode == Greyscale) {
                rgb[0] = rgb[1] = rgb[2] = sample(0, x, y);
            } else if (mode == RGB) {
                for (int c = 0; c < 3; ++c)
                    rgb[c] = sample(c, x, y);
            } else {
                // CMYK is stored inverted (1 is no ink): each colour times the black.
                const double k = sample(3, x, y);
                for (int c = 0; c < 3; ++c)
                    rgb[c] = sample(c, x, y) * k;
            }
            double a = 1.0;
            if (alpha) {
                // The merged colours are blended with white where the picture is not
                // opaque: take the white out again.
                a = sample(colourChannels, x, y);
                for (double& v : rgb)
                    v = a > 0.0 ? std::clamp((v - (1.0 - a)) / a, 0.0, 1.0) : 0.0;
            }
            if (depth == 8)
                reinterpret_cast<QRgb*>(bitmap.scanLine(int(y)))[x] =
                    qRgba(qRound(rgb[0] * 255), qRound(rgb[1] * 255), qRound(rgb[2] * 255),
                          qRound(a * 255));
            else
                reinterpret_cast<QRgba64*>(bitmap.scanLine(int(y)))[x] = QRgba64::fromRgba64(
                    quint16(qRound(rgb[0] * 65535)), quint16(qRound(rgb[1] * 65535)),
                    quint16(qRound(rgb[2] * 65535)), quint16(qRound(a * 65535)));
        }
    }
    bitmap.setDotsPerMeterX(qRound(dpiX / kMetersPerInch));
    bitmap.setDotsPerMeterY(qRound(dpiY / kMetersPerInch));

    auto image = std::make_shared<Image>(Key{});
    image->_kind = RepresentationKind::Bitmap;
    image->_size = QSizeF(width * 72.0 / dpiX, height * 72.0 / dpiY);
    image->_bitmap = std::move(bitmap);
    image->_sourceData = data;
    return image;
}

} // namespace platform
