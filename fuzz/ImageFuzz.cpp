// The picture reader: a picture it reads has a finite size, and it writes as TIFF, PNG and
// JPEG; TIFF and PNG read back with the same pixels, PNG at exactly the same size in points
// and TIFF within a hundredth. PDF and EPS read as vector pictures of their kind that draw
// without a crash; EPS goes through the gs command, bounded by toolSandbox(), and leaves no
// temporary file behind.

#include "FuzzTarget.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QBuffer>
#include <QDir>
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

// A one-page PDF of 30 × 20 points drawing a filled square.
QByteArray pdf()
{
    const QByteArray stream = "0 0 1 rg 5 5 10 10 re f";
    QList<QByteArray> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 30 20] /Contents 4 0 R >>",
        "<< /Length " + QByteArray::number(stream.size()) + " >>\nstream\n" + stream
            + "\nendstream",
    };
    QByteArray out = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(out.size());
        out += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qsizetype xref = out.size();
    out += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    out += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1)
           + " /Root 1 0 R >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return out;
}

const QByteArray Eps = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 40 30\n"
                       "1 0 0 setrgbcolor 5 5 20 10 rectfill showpage\n%%EOF\n";

// The EPS with a DOS binary header before it (no preview).
QByteArray binaryEps()
{
    QByteArray header("\xc5\xd0\xd3\xc6", 4);
    const auto le = [&header](quint32 v) {
        for (int i = 0; i < 4; ++i)
            header.append(char((v >> (8 * i)) & 0xff));
    };
    le(30);
    le(quint32(Eps.size()));
    for (int i = 0; i < 4; ++i)
        le(0);
    header.append("\xff\xff", 2);
    return header + Eps;
}

// Draws the picture into a small bitmap, on screen (from a rendered bitmap) and as vector.
void draw(const Image& image)
{
    for (const bool onScreen : {true, false}) {
        QImage canvas(24, 16, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        platform::GraphicsContext context(&painter, onScreen);
        platform::GraphicsContext::Scope scope(context);
        image.drawInRect(QRectF(0, 0, 24, 16));
    }
}

void checkVector(const QByteArray& data)
{
    const QString tmp = QDir(toolSandbox()).filePath(QStringLiteral("tmp"));
    QString error;
    const ImagePtr image = Image::fromData(data, &error);
    FUZZ_PROMISE(image, QStringLiteral("a PDF or EPS gives an image: ") + error);
    const bool isPdf = data.startsWith("%PDF-");
    FUZZ_PROMISE(image->representationKind()
                     == (isPdf ? Image::RepresentationKind::PDF : Image::RepresentationKind::EPS),
                 error);
    FUZZ_PROMISE(image->loadError() == error, image->loadError() + QStringLiteral(" / ") + error);
    const QSizeF size = image->size();
    const QString what = QStringLiteral("%1 x %2 pt, %3").arg(size.width()).arg(size.height()).arg(error);
    // A picture that draws has a size; one that does not has the one its comments state or none.
    FUZZ_PROMISE(error.isEmpty() == !image->pdfData().isEmpty(), what);
    if (!size.isEmpty() || error.isEmpty())
        FUZZ_PROMISE(std::isfinite(size.width()) && std::isfinite(size.height())
                         && size.width() > 0 && size.height() > 0,
                     what);
    FUZZ_PROMISE(image->bitmap().isNull() && image->pngData().isEmpty(), what);
    draw(*image);
    const QStringList left = QDir(tmp).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    FUZZ_PROMISE(left.isEmpty(), QStringLiteral("temporary files left: ") + left.join(QLatin1Char(' ')));
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
        pdf(),
        Eps,
        binaryEps(),
    };
}

void fuzzOne(const QByteArray& data)
{
    toolSandbox();
    if (data.startsWith("%PDF-") || data.startsWith("%!PS") || data.startsWith("\xc5\xd0\xd3\xc6")) {
        checkVector(data);
        return;
    }
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
    FUZZ_PROMISE(fromPng->size() == size, what
                                              + QStringLiteral(" read back from PNG as %1 x %2 pt")
                                                    .arg(fromPng->size().width(), 0, 'g', 17)
                                                    .arg(fromPng->size().height(), 0, 'g', 17));

    // JPEG holds at most 65,500 pixels a side.
    if (image->pixelsWide() > 65500 || image->pixelsHigh() > 65500)
        return;
    const QByteArray jpeg = image->jpegData(0.5);
    FUZZ_PROMISE(!jpeg.isEmpty(), what);
    const ImagePtr fromJpeg = Image::fromData(jpeg);
    FUZZ_PROMISE(fromJpeg && fromJpeg->bitmap().size() == image->bitmap().size(), what);
}

} // namespace fuzz
