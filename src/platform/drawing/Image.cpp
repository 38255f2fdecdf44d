#include "platform/drawing/Image.h"

#include "platform/drawing/GraphicsContext.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>
#include <QtMath>

#include <cmath>

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
    if (data.startsWith(QByteArray("II*\0", 4)) || data.startsWith(QByteArray("MM\0*", 4)))
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

// Bounds-checked readers over the raw bytes.
quint32 be32(const QByteArray& d, qsizetype at)
{
    return at >= 0 && at + 4 <= d.size() ? qFromBigEndian<quint32>(d.constData() + at) : 0;
}
quint16 be16(const QByteArray& d, qsizetype at)
{
    return at >= 0 && at + 2 <= d.size() ? qFromBigEndian<quint16>(d.constData() + at) : 0;
}
quint8 byteAt(const QByteArray& d, qsizetype at)
{
    return at >= 0 && at < d.size() ? quint8(d.at(at)) : 0;
}

// Whether the file states its resolution. The decoders leave a picture that states none
// at Qt's default (the screen's), which is not the 72 dpi such a picture is drawn at, so
// the answer must come from the file itself. Each test mirrors what the decoder reads.
bool statesResolution(const QByteArray& d, Format format)
{
    switch (format) {
    case Format::Png: {
        // Chunks before the image data; "pHYs" with the metre as unit.
        qsizetype at = 8;
        while (at + 8 <= d.size()) {
            const quint32 length = be32(d, at);
            const QByteArray type = d.mid(at + 4, 4);
            if (type == "IDAT" || type == "IEND")
                return false;
            if (type == "pHYs" && length >= 9)
                return be32(d, at + 8) > 0 && byteAt(d, at + 16) == 1;
            if (length > quint32(d.size()))
                return false;
            at += 12 + qsizetype(length);
        }
        return false;
    }
    case Format::Jpeg: {
        // The JFIF segment with dots per inch or per centimetre.
        qsizetype at = 2;
        while (at + 4 <= d.size() && byteAt(d, at) == 0xff) {
            const quint8 marker = byteAt(d, at + 1);
            if (marker == 0xda || marker == 0xd9)
                return false;
            const quint16 length = be16(d, at + 2);
            if (marker == 0xe0 && length >= 14 && d.mid(at + 4, 5) == QByteArray("JFIF\0", 5)) {
                const quint8 units = byteAt(d, at + 11);
                return (units == 1 || units == 2) && be16(d, at + 12) > 0;
            }
            if (length < 2)
                return false;
            at += 2 + length;
        }
        return false;
    }
    case Format::Tiff: {
        // XResolution (tag 282) in the first directory.
        const bool little = d.startsWith("II");
        const auto u16 = [&](qsizetype at) -> quint32 {
            if (at < 0 || at + 2 > d.size())
                return 0;
            return little ? qFromLittleEndian<quint16>(d.constData() + at)
                          : qFromBigEndian<quint16>(d.constData() + at);
        };
        const auto u32 = [&](qsizetype at) -> quint32 {
            if (at < 0 || at + 4 > d.size())
                return 0;
            return little ? qFromLittleEndian<quint32>(d.constData() + at)
                          : qFromBigEndian<quint32>(d.constData() + at);
        };
        const qsizetype ifd = u32(4);
        const quint32 count = u16(ifd);
        for (quint32 i = 0; i < count; ++i) {
            const qsizetype entry = ifd + 2 + qsizetype(i) * 12;
            if (entry + 12 > d.size())
                return false;
            if (u16(entry) == 282)
                return true;
        }
        return false;
    }
    case Format::Bmp:
        // Pixels per metre in an info header of at least 40 bytes.
        return qFromLittleEndian<quint32>(d.constData() + 14) >= 40 && d.size() >= 42
               && qFromLittleEndian<qint32>(d.constData() + 38) > 0;
    default: return false;
    }
}

// Qt keeps resolutions as whole dots per metre, rounded or truncated by the decoder, so
// 72 dpi arrives as 2834 or 2835 dpm (71.98 or 72.009 dpi). A value within one dot per
// metre of a whole dpi is taken as that dpi, so a picture stated at 72 dpi is exactly as
// many points as pixels.
qreal dpiFromDotsPerMeter(int dotsPerMeter)
{
    if (dotsPerMeter <= 0)
        return 72.0;
    const qreal dpi = dotsPerMeter * kMetersPerInch;
    const qreal whole = std::round(dpi);
    return std::abs(dpi - whole) <= kMetersPerInch ? whole : dpi;
}

QSizeF pointSizeFromResolution(const QImage& bitmap)
{
    return {bitmap.width() * 72.0 / dpiFromDotsPerMeter(bitmap.dotsPerMeterX()),
            bitmap.height() * 72.0 / dpiFromDotsPerMeter(bitmap.dotsPerMeterY())};
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

    QByteArray bytes = data; // shared, not copied
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, decoder);
    reader.setDecideFormatFromContent(false);
    QImage bitmap = reader.read();
    if (bitmap.isNull()) {
        setError(error, QStringLiteral("The %1 picture could not be read: %2.")
                            .arg(QString::fromLatin1(decoder).toUpper(), reader.errorString()));
        return nullptr;
    }

    auto image = std::make_shared<Image>(Key{});
    image->_kind = RepresentationKind::Bitmap;
    image->_size = statesResolution(data, format) ? pointSizeFromResolution(bitmap)
                                                  : QSizeF(bitmap.width(), bitmap.height());
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
        bitmap.setDotsPerMeterX(qRound(_bitmap.width() * 72.0 / _size.width() / kMetersPerInch));
        bitmap.setDotsPerMeterY(qRound(_bitmap.height() * 72.0 / _size.height() / kMetersPerInch));
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

QByteArray Image::TIFFRepresentationUsingLZW() const
{
    // Qt's TIFF writer: compression 1 is LZW.
    return encode(encodableBitmap(), "tiff", 1, -1);
}

QByteArray Image::pngData() const
{
    return encode(encodableBitmap(), "png", -1, -1);
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

} // namespace platform
