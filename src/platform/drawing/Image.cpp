#include "platform/drawing/Image.h"

#include "platform/drawing/GraphicsContext.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QRgba64>
#include <QStringList>
#include <QtEndian>
#include <QtMath>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace platform {

namespace {

constexpr qreal kMetersPerInch = 0.0254;

enum class Format { Unknown, Png, Jpeg, Tiff, Gif, Bmp, Pdf, PostScript };

// The format is decided from the leading bytes, never from a file name, and only the
// formats images are read in are ever handed to a decoder.
Format sniffFormat(const QByteArray& data)
{
    if (data.startsWith("\x89PNG\r\n\x1a\n"))
        return Format::Png;
    if (data.startsWith("\xff\xd8\xff"))
        return Format::Jpeg;
    // Classic TIFF (42) and BigTIFF (43, with 64-bit offsets).
    if (data.startsWith(QByteArray("II*\0", 4)) || data.startsWith(QByteArray("MM\0*", 4))
        || data.startsWith(QByteArray("II+\0", 4)) || data.startsWith(QByteArray("MM\0+", 4)))
        return Format::Tiff;
    if (data.startsWith("GIF87a") || data.startsWith("GIF89a"))
        return Format::Gif;
    if (data.startsWith("BM") && data.size() >= 26)
        return Format::Bmp;
    if (data.startsWith("%PDF-"))
        return Format::Pdf;
    if (data.startsWith("%!PS") || data.startsWith("\xc5\xd0\xd3\xc6"))
        return Format::PostScript;
    return Format::Unknown;
}

const char* decoderName(Format format)
{
    switch (format) {
    case Format::Png: return "png";
    case Format::Jpeg: return "jpeg";
    case Format::Tiff: return "tiff";
    case Format::Gif: return "gif";
    case Format::Bmp: return "bmp";
    default: return nullptr;
    }
}

// Bounds-checked reader over the raw bytes.
quint8 byteAt(const QByteArray& d, qsizetype at)
{
    return at >= 0 && at < d.size() ? quint8(d.at(at)) : 0;
}

// Reads integers in a file's byte order, bounds-checked (0 beyond the data).
struct ByteOrder
{
    const QByteArray& d;
    bool little;

    quint32 u16(qsizetype at) const
    {
        if (at < 0 || at + 2 > d.size())
            return 0;
        return little ? qFromLittleEndian<quint16>(d.constData() + at)
                      : qFromBigEndian<quint16>(d.constData() + at);
    }
    quint32 u32(qsizetype at) const
    {
        if (at < 0 || at + 4 > d.size())
            return 0;
        return little ? qFromLittleEndian<quint32>(d.constData() + at)
                      : qFromBigEndian<quint32>(d.constData() + at);
    }
    quint64 u64(qsizetype at) const
    {
        if (at < 0 || at + 8 > d.size())
            return 0;
        return little ? qFromLittleEndian<quint64>(d.constData() + at)
                      : qFromBigEndian<quint64>(d.constData() + at);
    }
    void put32(QByteArray& out, qsizetype at, quint32 value) const
    {
        if (little)
            qToLittleEndian<quint32>(value, out.data() + at);
        else
            qToBigEndian<quint32>(value, out.data() + at);
    }
};

// Qt keeps resolutions as whole dots per metre, and so do PNG and BMP files, so 72 dpi is
// stored as 2834 or 2835 dpm (71.98 or 72.009 dpi). A value within one dot per metre of a
// whole dpi is taken as that dpi, so a picture stated at 72 dpi is exactly as many points
// as pixels.
qreal dpiFromDotsPerMeter(qreal dotsPerMeter)
{
    const qreal dpi = dotsPerMeter * kMetersPerInch;
    const qreal whole = std::round(dpi);
    return std::abs(dpi - whole) <= kMetersPerInch ? whole : dpi;
}

constexpr quint16 kTiffXResolution = 282;
constexpr quint16 kTiffYResolution = 283;
constexpr quint16 kTiffResolutionUnit = 296;
constexpr quint16 kTiffRational = 5;
constexpr quint16 kTiffShort = 3;

// The first directory of a TIFF file, classic or BigTIFF (whose offsets and counts are 64
// bits and whose entries hold values of up to 8 bytes in place), read bounds-checked from
// data that starts with the TIFF header (a file, or the block inside a JPEG's EXIF segment).
struct TiffDirectory
{
    ByteOrder file;
    bool big = false;

    explicit TiffDirectory(const QByteArray& d)
        : file{d, d.startsWith("II")}, big(file.u16(2) == 43)
    {}

    qsizetype entrySize() const { return big ? 20 : 12; }
    // The entry of `tag`, or -1.
    qsizetype entry(quint16 tag) const
    {
        const quint64 ifd = big ? file.u64(8) : file.u32(4);
        if (ifd > quint64(file.d.size()))
            return -1;
        const quint64 count = big ? file.u64(qsizetype(ifd)) : file.u16(qsizetype(ifd));
        const qsizetype first = qsizetype(ifd) + (big ? 8 : 2);
        for (quint64 i = 0; i < count; ++i) {
            const qsizetype at = first + qsizetype(i) * entrySize();
            if (at + entrySize() > file.d.size())
                return -1;
            if (file.u16(at) == tag)
                return at;
        }
        return -1;
    }
    quint32 type(qsizetype entry) const { return file.u16(entry + 2); }
    quint64 count(qsizetype entry) const { return big ? file.u64(entry + 4) : file.u32(entry + 4); }
    // Where the value of an entry holding `bytes` bytes is: in the entry, or at its offset.
    qsizetype valueAt(qsizetype entry, quint64 bytes) const
    {
        const qsizetype field = entry + (big ? 12 : 8);
        if (bytes <= (big ? 8u : 4u))
            return field;
        const quint64 offset = big ? file.u64(field) : file.u32(field);
        const quint64 size = quint64(file.d.size());
        return offset <= size && bytes <= size - offset ? qsizetype(offset) : -1;
    }
    // A single SHORT's value, or -1.
    qint64 shortValue(qsizetype entry) const
    {
        if (entry < 0 || type(entry) != kTiffShort || count(entry) != 1)
            return -1;
        return file.u16(valueAt(entry, 2));
    }
    // A single RATIONAL's value, or NaN.
    qreal rationalValue(qsizetype entry) const
    {
        if (entry < 0 || type(entry) != kTiffRational || count(entry) != 1)
            return qQNaN();
        const qsizetype at = valueAt(entry, 8);
        if (at < 0)
            return qQNaN();
        const quint32 denominator = file.u32(at + 4);
        return denominator ? qreal(file.u32(at)) / denominator : qQNaN();
    }
    // Both resolution tags, in the unit the unit tag names (inch when it is absent), in
    // dots per inch; "no unit" states no resolution. TIFF files and EXIF blocks alike.
    std::optional<QPointF> resolution() const
    {
        qint64 unit = 2;
        if (const qsizetype unitEntry = entry(kTiffResolutionUnit); unitEntry >= 0)
            unit = shortValue(unitEntry);
        const qreal perInch = unit == 2 ? 1.0 : unit == 3 ? 2.54 : 0.0;
        if (perInch == 0.0)
            return std::nullopt;
        const qreal x = rationalValue(entry(kTiffXResolution));
        const qreal y = rationalValue(entry(kTiffYResolution));
        if (std::isnan(x) || std::isnan(y))
            return std::nullopt;
        return QPointF(x * perInch, y * perInch);
    }
};

// The resolution the file states, in dots per inch for x and y, read from the file itself:
// the decoders leave a picture that states none at Qt's default (the screen's), which is
// not the 72 dpi such a picture is drawn at, and they round what they read.
std::optional<QPointF> statedResolution(const QByteArray& d, Format format)
{
    switch (format) {
    case Format::Png: {
        // Chunks before the image data; "pHYs" with the metre as unit.
        const ByteOrder file{d, false};
        qsizetype at = 8;
        while (at + 8 <= d.size()) {
            const quint32 length = file.u32(at);
            const QByteArray type = d.mid(at + 4, 4);
            if (type == "IDAT" || type == "IEND")
                return std::nullopt;
            if (type == "pHYs" && length >= 9) {
                if (byteAt(d, at + 16) != 1)
                    return std::nullopt;
                return QPointF(dpiFromDotsPerMeter(file.u32(at + 8)),
                               dpiFromDotsPerMeter(file.u32(at + 12)));
            }
            if (length > quint32(d.size()))
                return std::nullopt;
            at += 12 + qsizetype(length);
        }
        return std::nullopt;
    }
    case Format::Jpeg: {
        // The JFIF segment with dots per inch or per centimetre; when it states none (or
        // there is none, as in most cameras' files), the EXIF block's resolution tags.
        const ByteOrder file{d, false};
        std::optional<QPointF> exif;
        qsizetype at = 2;
        while (at + 4 <= d.size() && byteAt(d, at) == 0xff) {
            const quint8 marker = byteAt(d, at + 1);
            if (marker == 0xda || marker == 0xd9)
                break;
            const quint32 length = file.u16(at + 2);
            if (marker == 0xe0 && length >= 14 && d.mid(at + 4, 5) == QByteArray("JFIF\0", 5)) {
                const quint8 units = byteAt(d, at + 11);
                const qreal perInch = units == 1 ? 1.0 : units == 2 ? 2.54 : 0.0;
                if (perInch != 0.0)
                    return QPointF(file.u16(at + 12) * perInch, file.u16(at + 14) * perInch);
            }
            if (marker == 0xe1 && !exif && length >= 16
                && d.mid(at + 4, 6) == QByteArray("Exif\0\0", 6))
                exif = TiffDirectory(d.mid(at + 10, length - 8)).resolution();
            if (length < 2)
                break;
            at += 2 + length;
        }
        return exif;
    }
    case Format::Tiff: return TiffDirectory(d).resolution();
    case Format::Bmp: {
        // Pixels per metre in an info header of at least 40 bytes.
        const ByteOrder file{d, true};
        if (file.u32(14) < 40 || d.size() < 46)
            return std::nullopt;
        return QPointF(dpiFromDotsPerMeter(qint32(file.u32(38))),
                       dpiFromDotsPerMeter(qint32(file.u32(42))));
    }
    default: return std::nullopt;
    }
}

// PNG states whole dots per metre, so most sizes in points cannot be kept by it (72.5 dpi
// is 2854.33 dpm). Our PNGs also carry the exact resolution in a text chunk; it is taken
// when it agrees with the dots per metre the file states (an editor that changed the
// resolution may have kept the chunk), else the file's own resolution is.
const QString kExactResolutionKey = QStringLiteral("Veltrin:Resolution");

int wholeDotsPerMeter(qreal dpi)
{
    return int(
        std::clamp(std::round(dpi / kMetersPerInch), 1.0, qreal(std::numeric_limits<int>::max())));
}

std::optional<QPointF> exactResolution(const QImage& bitmap)
{
    const QStringList values = bitmap.text(kExactResolutionKey).split(QLatin1Char(' '));
    if (values.size() != 2)
        return std::nullopt;
    bool okX = false;
    bool okY = false;
    const QPointF dpi(values.at(0).toDouble(&okX), values.at(1).toDouble(&okY));
    if (!okX || !okY || !(dpi.x() > 0.0) || !(dpi.y() > 0.0)
        || wholeDotsPerMeter(dpi.x()) != bitmap.dotsPerMeterX()
        || wholeDotsPerMeter(dpi.y()) != bitmap.dotsPerMeterY())
        return std::nullopt;
    return dpi;
}

// The size in points of a picture of `pixels` at the resolution the file states. A
// resolution that is absent, zero, negative or absurd (below 1 dpi, which would make a
// picture of a few pixels metres wide) counts as unstated: 72 dpi.
QSizeF pointSize(const QSize& pixels, const std::optional<QPointF>& dpi)
{
    if (!dpi || !(dpi->x() >= 1.0) || !(dpi->y() >= 1.0) || !std::isfinite(dpi->x())
        || !std::isfinite(dpi->y()))
        return QSizeF(pixels);
    return {pixels.width() * 72.0 / dpi->x(), pixels.height() * 72.0 / dpi->y()};
}

QSizeF pointSizeFromResolution(const QImage& bitmap)
{
    const auto dpi = [](int dotsPerMeter) {
        return dotsPerMeter > 0 ? dpiFromDotsPerMeter(dotsPerMeter) : 72.0;
    };
    return pointSize(bitmap.size(),
                     QPointF(dpi(bitmap.dotsPerMeterX()), dpi(bitmap.dotsPerMeterY())));
}

// Where the decoder would accept data cut short and invent the missing pixels, the length
// the header promises (or, for GIF and JPEG, the end of the first picture's data) is
// checked here. Returns the number of bytes missing, 0 when the data is whole.
qsizetype missingBytes(const QByteArray& d, Format format)
{
    switch (format) {
    case Format::Bmp: {
        const ByteOrder file{d, true};
        const quint32 headerSize = file.u32(14);
        qint64 width = 0;
        qint64 height = 0;
        quint32 bitsPerPixel = 0;
        quint32 compression = 0;
        if (headerSize == 12) {
            width = file.u16(18);
            height = file.u16(20);
            bitsPerPixel = file.u16(24);
        } else {
            width = qint32(file.u32(18));
            height = qint32(file.u32(22));
            bitsPerPixel = file.u16(28);
            compression = file.u32(30);
        }
        // Run-length encoded rows have no fixed length; the decoder checks them.
        if (compression != 0 && compression != 3 && compression != 6)
            return 0;
        // In doubles: stated dimensions may be anything up to 2^31 each.
        const double stride = std::floor((double(std::abs(width)) * bitsPerPixel + 31) / 32) * 4;
        const double needed = double(file.u32(10)) + stride * double(std::abs(height));
        return needed > double(d.size()) ? qsizetype(std::min(needed - double(d.size()), 1e12)) : 0;
    }
    case Format::Jpeg: {
        // The segments up to the first scan (skipped whole, so a thumbnail inside one does
        // not count), then the data must reach an end-of-image marker: the scan's data
        // stuff every 0xff byte, so the marker cannot occur by chance.
        // The frame must also be one the data can cover: Huffman coding spends at least a
        // bit on every 8 × 8 block (its DC code), and a lossless frame one on every pixel,
        // where the decoder would fill a frame of any size from a few bytes.
        const ByteOrder file{d, false};
        qsizetype at = 2;
        double leastBits = 0;
        while (at + 4 <= d.size() && byteAt(d, at) == 0xff && byteAt(d, at + 1) != 0xda) {
            const quint8 marker = byteAt(d, at + 1);
            const quint32 length = file.u16(at + 2);
            if (length < 2)
                return 0; // damaged headers: the decoder says so
            if ((marker >= 0xc0 && marker <= 0xc3) && length >= 8) {
                const double height = file.u16(at + 5);
                const double width = file.u16(at + 7);
                leastBits =
                    marker == 0xc3 ? width * height : std::ceil(width / 8) * std::ceil(height / 8);
            }
            at += 2 + length;
        }
        if (at + 4 > d.size() || byteAt(d, at) != 0xff)
            return at >= d.size() ? 1 : 0;
        if (d.indexOf("\xff\xd9", at + 2) < 0)
            return 1;
        const double bits = double(d.size() - at) * 8;
        return bits < leastBits ? qsizetype(std::ceil((leastBits - bits) / 8)) : 0;
    }
    case Format::Gif: {
        // Blocks up to the end of the first picture's data.
        // Neither the screen nor the first picture may be larger than the data can fill:
        // each LZW code (of 2 bits at least) adds at most one pixel to the longest string
        // the table holds, which holds no more than 4096, where the decoder would make a
        // picture of any size from a few bytes.
        const double codes = double(d.size()) * 8 / 2;
        const double mostPixels =
            codes <= 4096 ? codes * (codes + 1) / 2 : 4096.0 * 4097 / 2 + (codes - 4096) * 4096;
        const ByteOrder file{d, true};
        const auto tooLarge = [&](qsizetype at) {
            return double(file.u16(at)) * double(file.u16(at + 2)) > mostPixels;
        };
        if (tooLarge(6))
            return 1;
        qsizetype at = 13;
        const quint8 flags = byteAt(d, 10);
        if (flags & 0x80)
            at += 3 * (qsizetype(1) << ((flags & 7) + 1));
        const auto skipSubBlocks = [&d](qsizetype at) -> qsizetype {
            while (at < d.size()) {
                const quint8 length = byteAt(d, at);
                if (length == 0)
                    return at + 1;
                at += 1 + length;
            }
            return -1;
        };
        while (at < d.size()) {
            const quint8 introducer = byteAt(d, at);
            if (introducer == 0x21) { // an extension
                at = skipSubBlocks(at + 2);
            } else if (introducer == 0x2c) { // the picture
                if (tooLarge(at + 5))
                    return 1;
                const quint8 local = byteAt(d, at + 9);
                at += 10;
                if (local & 0x80)
                    at += 3 * (qsizetype(1) << ((local & 7) + 1));
                at = skipSubBlocks(at + 1); // after the code size
                return at < 0 || at > d.size() ? 1 : 0;
            } else {
                return 0; // the trailer or damage: the decoder judges
            }
            if (at < 0)
                return 1;
        }
        return 1;
    }
    default: return 0; // PNG and TIFF decoders check their data
    }
}

// Each pixel of a bitmap in its own format, passed to `clamp` to change in place.
template <typename Pixel, typename Clamp>
void clampPixels(QImage& bitmap, Clamp clamp)
{
    for (int y = 0; y < bitmap.height(); ++y) {
        auto* row = reinterpret_cast<Pixel*>(bitmap.scanLine(y));
        for (int x = 0; x < bitmap.width(); ++x)
            clamp(row[x]);
    }
}

// A bitmap every encoder can write: the decoders may keep a colour table that does not
// fit the pixel format (a 1-bit BMP stating more than two colours, an 8-bit one stating
// fewer than its pixels use), which the encoders then refuse or read past.
// Premultiplied pixels whose colour exceeds their alpha (a TIFF with associated alpha can
// hold them) have no straight-alpha form, so PNG and JPEG would write other pixels than
// those drawn: they are clamped on reading, the way Qt converts them.
//
// The colour channels are clamped to alpha in place: converting through straight alpha
// and back does the same for 8-bit pixels, but Qt's 16-bit conversion back to
// premultiplied loses the alpha of translucent pixels.
void normalizePremultiplied(QImage& bitmap)
{
    switch (bitmap.format()) {
    case QImage::Format_ARGB32_Premultiplied:
        clampPixels<QRgb>(bitmap, [](QRgb& p) {
            const int a = qAlpha(p);
            if (qRed(p) > a || qGreen(p) > a || qBlue(p) > a)
                p = qRgba(std::min(qRed(p), a), std::min(qGreen(p), a), std::min(qBlue(p), a), a);
        });
        break;
    case QImage::Format_RGBA8888_Premultiplied:
        clampPixels<quint32>(bitmap, [](quint32& p) {
            auto* bytes = reinterpret_cast<uchar*>(&p); // R, G, B, A in memory order
            for (int c = 0; c < 3; ++c)
                bytes[c] = std::min(bytes[c], bytes[3]);
        });
        break;
    case QImage::Format_RGBA64_Premultiplied:
        clampPixels<QRgba64>(bitmap, [](QRgba64& p) {
            const quint16 a = p.alpha();
            p.setRed(std::min(p.red(), a));
            p.setGreen(std::min(p.green(), a));
            p.setBlue(std::min(p.blue(), a));
        });
        break;
    default: break;
    }
}

void normalizeColorTable(QImage& bitmap)
{
    qsizetype colours = 0;
    switch (bitmap.format()) {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: colours = 2; break;
    case QImage::Format_Indexed8:
        if (bitmap.colorCount() >= 256)
            return;
        colours = 256;
        break;
    default: return;
    }
    if (bitmap.colorCount() == colours)
        return;
    // Indexes beyond the stated colours show opaque black, as the decoders draw them.
    QList<QRgb> table = bitmap.colorTable();
    table.resize(colours, qRgb(0, 0, 0));
    bitmap.setColorTable(table);
}

void setError(QString* error, const QString& message)
{
    if (error)
        *error = message;
}

} // namespace

Image::Image(Key)
{}

ImagePtr Image::fromData(const QByteArray& data, QString* error)
{
    if (data.isEmpty()) {
        setError(error, QStringLiteral("The image data is empty."));
        return nullptr;
    }
    const Format format = sniffFormat(data);
    if (format == Format::Pdf || format == Format::PostScript)
        return fromVectorData(data, error);
    if (data.startsWith("8BPS"))
        return fromPSDData(data, error);
    const char* decoder = decoderName(format);
    if (!decoder) {
        setError(error, QStringLiteral("The data is not a picture in a readable format "
                                       "(PNG, JPEG, TIFF, GIF, BMP, PSD, PDF or EPS)."));
        return nullptr;
    }

    if (missingBytes(data, format) > 0) {
        setError(error, QStringLiteral("The %1 picture is damaged: its data ends too early.")
                            .arg(QString::fromLatin1(decoder).toUpper()));
        return nullptr;
    }

    QByteArray bytes = data; // shared, not copied
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, decoder);
    reader.setDecideFormatFromContent(false);
    // The format is known: only its own reader is asked, and no other image plugin loads.
    reader.setAutoDetectImageFormat(false);
    // Shown upright, as the camera held it: the orientation a JPEG's EXIF block or a
    // TIFF's tag states is applied. The original bytes keep the tag, so they read back
    // the same, and every encoding of the bitmap is upright with no tag.
    reader.setAutoTransform(true);
    QImage bitmap = reader.read();
    if (bitmap.isNull()) {
        setError(error, QStringLiteral("The %1 picture could not be read: %2.")
                            .arg(QString::fromLatin1(decoder).toUpper(), reader.errorString()));
        return nullptr;
    }

    normalizeColorTable(bitmap);
    normalizePremultiplied(bitmap);

    std::optional<QPointF> dpi = format == Format::Png ? exactResolution(bitmap) : std::nullopt;
    if (!dpi)
        dpi = statedResolution(data, format);
    // The file's x and y resolutions are those of its stored rows and columns.
    if (dpi && reader.transformation().testFlag(QImageIOHandler::TransformationRotate90))
        dpi = dpi->transposed();

    auto image = std::make_shared<Image>(Key{});
    image->_kind = RepresentationKind::Bitmap;
    image->_size = pointSize(bitmap.size(), dpi);
    image->_bitmap = std::move(bitmap);
    image->_sourceData = data;
    return image;
}

ImagePtr Image::fromFile(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("The file \u201c%1\u201d could not be opened: %2.")
                            .arg(path, file.errorString()));
        return nullptr;
    }
    const QByteArray data = file.readAll();
    QString message;
    ImagePtr image = fromData(data, &message);
    if (!image)
        setError(error, QStringLiteral("\u201c%1\u201d: %2").arg(path, message));
    return image;
}

ImagePtr Image::fromBitmap(const QImage& bitmap, const QSizeF& size)
{
    if (bitmap.isNull())
        return nullptr;
    auto image = std::make_shared<Image>(Key{});
    image->_kind = RepresentationKind::Bitmap;
    image->_bitmap = bitmap;
    image->_size = size.isValid() ? size : pointSizeFromResolution(bitmap);
    return image;
}

ImagePtr Image::withSize(const QSizeF& size)
{
    auto image = std::make_shared<Image>(Key{});
    image->_size = size;
    return image;
}

// The bitmap with the resolution that maps its pixels onto the drawing size, so the
// written file reads back at the same size in points.
QImage Image::encodableBitmap() const
{
    if (_bitmap.isNull())
        return {};
    QImage bitmap = _bitmap;
    if (_size.width() > 0.0 && _size.height() > 0.0) {
        // Whole dots per metre, from 1 to what an int holds.
        bitmap.setDotsPerMeterX(wholeDotsPerMeter(_bitmap.width() * 72.0 / _size.width()));
        bitmap.setDotsPerMeterY(wholeDotsPerMeter(_bitmap.height() * 72.0 / _size.height()));
    }
    return bitmap;
}

namespace {

QByteArray encode(const QImage& bitmap, const char* format, int compression, int quality)
{
    if (bitmap.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (compression >= 0)
        writer.setCompression(compression);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(bitmap)) {
        qWarning("Image: could not encode as %s: %s", format, qPrintable(writer.errorString()));
        return {};
    }
    return bytes;
}

} // namespace

namespace {

// The fraction closest to value whose numerator and denominator fit 32 bits.
std::pair<quint32, quint32> rational(qreal value)
{
    constexpr qreal limit = 4294967295.0;
    if (!(value > 0))
        return {0, 1};
    if (value >= limit)
        return {quint32(limit), 1};
    const qreal denominator = std::min(limit, std::floor(limit / value));
    const qreal numerator = std::min(limit, std::round(value * denominator));
    return {quint32(numerator), quint32(denominator)};
}

// Qt's TIFF writer states whole dots per inch, which moves the size of most pictures (a
// picture of 4 pixels drawn 2267.72 points high has 0.127 dpi, written as 0). The
// resolution tags it writes are rewritten in place with the exact fractions, in inches.
bool setTiffResolution(QByteArray& tiff, qreal dpiX, qreal dpiY)
{
    const TiffDirectory directory(tiff);
    const qsizetype x = directory.entry(kTiffXResolution);
    const qsizetype y = directory.entry(kTiffYResolution);
    const qsizetype unit = directory.entry(kTiffResolutionUnit);
    if (directory.big || x < 0 || y < 0 || directory.shortValue(unit) < 0)
        return false;
    for (const auto& [entry, dpi] : {std::pair{x, dpiX}, std::pair{y, dpiY}}) {
        const qsizetype at = directory.valueAt(entry, 8);
        if (directory.type(entry) != kTiffRational || directory.count(entry) != 1 || at < 0)
            return false;
        const auto [numerator, denominator] = rational(dpi);
        directory.file.put32(tiff, at, numerator);
        directory.file.put32(tiff, at + 4, denominator);
    }
    const quint16 inch = 2;
    if (directory.file.little)
        qToLittleEndian<quint16>(inch, tiff.data() + unit + 8);
    else
        qToBigEndian<quint16>(inch, tiff.data() + unit + 8);
    return true;
}

} // namespace

QByteArray Image::TIFFRepresentationUsingLZW() const
{
    QImage bitmap = encodableBitmap();
    // Qt's TIFF writer stores 1-bit pictures as black and white whatever their two
    // colours; other colours go out as an 8-bit palette.
    if ((bitmap.format() == QImage::Format_Mono || bitmap.format() == QImage::Format_MonoLSB)
        && bitmap.colorTable() != QList<QRgb>{qRgb(0, 0, 0), qRgb(255, 255, 255)}
        && bitmap.colorTable() != QList<QRgb>{qRgb(255, 255, 255), qRgb(0, 0, 0)})
        bitmap = bitmap.convertToFormat(QImage::Format_Indexed8);
    // Qt's TIFF writer: compression 1 is LZW.
    QByteArray tiff = encode(bitmap, "tiff", 1, -1);
    if (tiff.isEmpty() || !(_size.width() > 0.0) || !(_size.height() > 0.0))
        return tiff;
    if (!setTiffResolution(tiff, _bitmap.width() * 72.0 / _size.width(),
                           _bitmap.height() * 72.0 / _size.height()))
        qWarning("Image: the TIFF writer stated no resolution; the size is not kept exactly");
    return tiff;
}

QByteArray Image::pngData() const
{
    QImage bitmap = encodableBitmap();
    if (!bitmap.isNull() && _size.width() > 0.0 && _size.height() > 0.0) {
        const qreal dpiX = _bitmap.width() * 72.0 / _size.width();
        const qreal dpiY = _bitmap.height() * 72.0 / _size.height();
        bitmap.setText(kExactResolutionKey,
                       QStringLiteral("%1 %2").arg(QString::number(dpiX, 'g', 17),
                                                   QString::number(dpiY, 'g', 17)));
    }
    return encode(bitmap, "png", -1, -1);
}

QByteArray Image::jpegData(qreal compressionFactor) const
{
    const int quality = qRound(qBound(0.0, compressionFactor, 1.0) * 100.0);
    return encode(encodableBitmap(), "jpeg", -1, quality);
}

void Image::drawInRect(const QRectF& rect, const QRectF& fromRect,
                       QPainter::CompositionMode operation, qreal fraction) const
{
    GraphicsContext* context = GraphicsContext::current();
    if (!context || !context->painter() || !context->painter()->isActive())
        return;
    if (rect.isEmpty())
        return;
    if (_kind == RepresentationKind::SVG || _pdf) {
        QPainter* painter = context->painter();
        context->saveGraphicsState();
        painter->setCompositionMode(operation);
        painter->setOpacity(painter->opacity() * qBound(0.0, fraction, 1.0));
        if (_pdf)
            drawPDFInRect(*painter, context->isDrawingToScreen(), rect, fromRect);
        else
            drawVectorInRect(*painter, rect, fromRect);
        context->restoreGraphicsState();
        return;
    }
    if (_kind != RepresentationKind::Bitmap || _bitmap.isNull())
        return;

    // Source rectangle from points of the image to its pixels.
    QRectF source(0, 0, _bitmap.width(), _bitmap.height());
    if (!fromRect.isEmpty() && _size.width() > 0.0 && _size.height() > 0.0) {
        const qreal sx = _bitmap.width() / _size.width();
        const qreal sy = _bitmap.height() / _size.height();
        source = QRectF(fromRect.x() * sx, fromRect.y() * sy, fromRect.width() * sx,
                        fromRect.height() * sy);
    }

    QPainter* painter = context->painter();
    context->saveGraphicsState();
    painter->setCompositionMode(operation);
    painter->setOpacity(painter->opacity() * qBound(0.0, fraction, 1.0));
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter->drawImage(rect, _bitmap, source);
    context->restoreGraphicsState();
}

QImage uprightPicture(const QByteArray& data)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    return reader.read();
}

QImage uprightPicture(const QString& path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    return reader.read();
}

QImage readPngImage(const QString& path)
{
    QImageReader reader(path, "png");
    // With detection off the reader takes the format as given: only the built-in PNG
    // reader is asked.
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

} // namespace platform
