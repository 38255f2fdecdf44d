// The picture reader: a picture it reads has a finite size, and it writes as TIFF, PNG and
// JPEG; TIFF and PNG read back with the same pixels, TIFF at the same size in points.

#include "FuzzTarget.h"

#include "platform/drawing/Image.h"

#include <QBuffer>
#include <QImageWriter>

#include <cmath>

using platform::Image;
using platform::ImagePtr;

namespace fuzz {

namespace {

QImage picture(int width, int height, QImage::Format format)
{
    QImage image(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgba(x * 40, y * 60, (x * y * 7) % 256, y == 0 ? 100 : 255));
    return image.convertToFormat(format);
}

QByteArray withQt(const QImage& image, const char* format, int dotsPerMeter)
{
    QImage copy = image;
    copy.setDotsPerMeterX(dotsPerMeter);
    copy.setDotsPerMeterY(dotsPerMeter);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(copy);
    return bytes;
}

// The same picture as drawn: premultiplied, so the colour of fully transparent pixels (which
// encoders with associated alpha do not keep) does not count.
bool samePixels(const QImage& a, const QImage& b)
{
    return a.size() == b.size()
           && a.convertToFormat(QImage::Format_ARGB32_Premultiplied)
                  == b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// A 2 × 1 RGB Photoshop file at 144 dpi, raw 8-bit planes.
QByteArray psd()
{
    QByteArray out("8BPS\0\x01\0\0\0\0\0\0\0\x03", 14);
    out += QByteArray::fromHex("00000001"
                               "00000002"
                               "0008"
                               "0003"
                               "00000000");
    out += QByteArray::fromHex("0000001c"
                               "3842494d"
                               "03ed"
                               "0000"
                               "00000010"
                               "00900000"
                               "0001"
                               "0001"
                               "00900000"
                               "0001"
                               "0001");
    out += QByteArray::fromHex("00000000"
                               "0000"
                               "ff00"
                               "00ff"
                               "1020");
    return out;
}

} // namespace

QList<QByteArray> seeds()
{
    const QImage colour = picture(5, 3, QImage::Format_ARGB32_Premultiplied);
    const ImagePtr image = Image::fromBitmap(colour, QSizeF(4.5, 2.25));
    static const unsigned char gif[] = {'G', 'I',  'F', '8', '9', 'a', 2,    0,    1,    0, 0x80, 0,
                                        0,   0xff, 0,   0,   0,   0,   0xff, ',',  0,    0, 0,    0,
                                        2,   0,    1,   0,   0,   2,   2,    0x44, 0x0a, 0, ';'};
    return {
        image->TIFFRepresentationUsingLZW(),
        image->pngData(),
        image->jpegData(0.5),
        withQt(colour, "bmp", 2835),
        withQt(picture(9, 2, QImage::Format_Mono), "bmp", 3937),
        withQt(picture(4, 4, QImage::Format_Indexed8), "bmp", 0),
        withQt(picture(4, 4, QImage::Format_Indexed8), "tiff", 5906),
        withQt(picture(3, 3, QImage::Format_Grayscale8), "png", 1),
        QByteArray(reinterpret_cast<const char*>(gif), sizeof gif),
        psd(),
    };
}

void fuzzOne(const QByteArray& data)
{
    // Bitmaps only: PDF and EPS go to poppler and the gs program, whose own checks these
    // promises do not cover.
    if (data.startsWith("%PDF") || data.startsWith("%!PS") || data.startsWith("\xc5\xd0\xd3\xc6"))
        return;
    const ImagePtr image = Image::fromData(data);
    if (!image)
        return;
    const QSizeF size = image->size();
    const QString what = QStringLiteral("%1 x %2 px, %3 x %4 pt, format %5")
                             .arg(image->pixelsWide())
                             .arg(image->pixelsHigh())
                             .arg(size.width())
                             .arg(size.height())
                             .arg(int(image->bitmap().format()));
    FUZZ_PROMISE(std::isfinite(size.width()) && std::isfinite(size.height()) && size.width() > 0
                     && size.height() > 0,
                 what);

    const QByteArray tiff = image->TIFFRepresentationUsingLZW();
    FUZZ_PROMISE(!tiff.isEmpty(), what);
    const ImagePtr fromTiff = Image::fromData(tiff);
    FUZZ_PROMISE(fromTiff && samePixels(fromTiff->bitmap(), image->bitmap()), what);
    FUZZ_PROMISE(std::abs(fromTiff->size().width() - size.width()) <= 0.01
                     && std::abs(fromTiff->size().height() - size.height()) <= 0.01,
                 what
                     + QStringLiteral(" read back as %1 x %2 pt")
                           .arg(fromTiff->size().width())
                           .arg(fromTiff->size().height()));

    const QByteArray png = image->pngData();
    FUZZ_PROMISE(!png.isEmpty(), what);
    const ImagePtr fromPng = Image::fromData(png);
    FUZZ_PROMISE(fromPng && samePixels(fromPng->bitmap(), image->bitmap()), what);

    // JPEG holds at most 65,500 pixels a side.
    if (image->pixelsWide() > 65500 || image->pixelsHigh() > 65500)
        return;
    const QByteArray jpeg = image->jpegData(0.5);
    FUZZ_PROMISE(!jpeg.isEmpty(), what);
    const ImagePtr fromJpeg = Image::fromData(jpeg);
    FUZZ_PROMISE(fromJpeg && fromJpeg->bitmap().size() == image->bitmap().size(), what);
}

} // namespace fuzz
