// Pictures with odd or damaged headers: resolutions that state nothing sensible, data
// cut short, colour tables that do not fit their pixels; and TIFF resolutions written
// exactly.

#include "platform/drawing/Image.h"

#include <QBuffer>
#include <QImageWriter>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

using platform::Image;
using platform::ImagePtr;

namespace {

void append16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void append32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

// An uncompressed BMP (40-byte info header) with the given palette and rows of pixel
// bytes, bottom row first, each row padded to four bytes.
QByteArray bmp(int width, int height, int bitsPerPixel, const QList<QRgb>& palette,
               const QList<QByteArray>& rows, qint32 pixelsPerMeter = 2835)
{
    const int stride = (width * bitsPerPixel + 31) / 32 * 4;
    const quint32 offset = 14 + 40 + 4 * quint32(palette.size());
    QByteArray out("BM");
    append32(out, offset + quint32(stride * height));
    append32(out, 0);
    append32(out, offset);
    append32(out, 40);
    append32(out, quint32(width));
    append32(out, quint32(height));
    append16(out, 1);
    append16(out, quint16(bitsPerPixel));
    append32(out, 0); // no compression
    append32(out, quint32(stride * height));
    append32(out, quint32(pixelsPerMeter));
    append32(out, quint32(pixelsPerMeter));
    append32(out, quint32(palette.size()));
    append32(out, 0);
    for (QRgb c : palette)
        append32(out, c & 0xffffff);
    for (QByteArray row : rows)
        out += row.leftJustified(stride, '\0');
    return out;
}

struct TiffResolution
{
    std::optional<std::pair<quint32, quint32>> x, y; // numerator, denominator
    std::optional<quint16> unit;
};

// A 4 × 4 TIFF, uncompressed, little-endian, with exactly the resolution tags given: grey,
// or, given 64 bytes of RGBA, colour with associated (premultiplied) alpha.
QByteArray tiff(const TiffResolution& resolution, const QByteArray& rgba = QByteArray())
{
    struct Entry
    {
        quint16 tag, type;
        quint32 count, value;
    };
    const bool colour = !rgba.isEmpty();
    const quint32 samples = colour ? 4 : 1;
    QByteArray out("II*\0", 4);
    append32(out, 0); // the directory's offset, set below
    // Pixels right after the header, then the longer values, then the directory.
    const quint32 pixels = quint32(out.size());
    if (colour) {
        out += rgba;
    } else {
        for (int i = 0; i < 16; ++i)
            out.append(char(i * 16));
    }
    QList<Entry> entries{{256, 3, 1, 4},
                         {257, 3, 1, 4},
                         {258, 3, samples, 8},
                         {259, 3, 1, 1},
                         {262, 3, 1, colour ? 2u : 1u},
                         {273, 4, 1, pixels},
                         {277, 3, 1, samples},
                         {278, 3, 1, 4},
                         {279, 4, 1, 16 * samples}};
    if (colour) {
        entries[2].value = quint32(out.size()); // four bits-per-sample values
        for (int i = 0; i < 4; ++i)
            append16(out, 8);
    }
    if (resolution.x) {
        entries.append({282, 5, 1, quint32(out.size())});
        append32(out, resolution.x->first);
        append32(out, resolution.x->second);
    }
    if (resolution.y) {
        entries.append({283, 5, 1, quint32(out.size())});
        append32(out, resolution.y->first);
        append32(out, resolution.y->second);
    }
    if (resolution.unit)
        entries.append({296, 3, 1, *resolution.unit});
    if (colour)
        entries.append({338, 3, 1, 1}); // the extra sample is associated alpha
    qToLittleEndian<quint32>(quint32(out.size()), out.data() + 4);
    append16(out, quint16(entries.size()));
    for (const Entry& e : entries) {
        append16(out, e.tag);
        append16(out, e.type);
        append32(out, e.count);
        if (e.type == 3 && e.count == 1) {
            append16(out, quint16(e.value));
            append16(out, 0);
        } else {
            append32(out, e.value);
        }
    }
    append32(out, 0);
    return out;
}

QByteArray pngAt(int dotsPerMeter)
{
    QImage picture(6, 3, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    picture.setDotsPerMeterX(dotsPerMeter);
    picture.setDotsPerMeterY(dotsPerMeter);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&buffer, "png").write(picture));
    return bytes;
}

QByteArray encodeWithQt(const QImage& picture, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(QImageWriter(&buffer, format).write(picture)) << format;
    return bytes;
}

} // namespace

TEST(ImageDamage, ResolutionsThatStateNothingSensibleReadAs72Dpi)
{
    const QByteArray row(1, '\0');
    const QList<QByteArray> rows(2, QByteArray(4, '\x01'));
    struct Case
    {
        const char* what;
        QByteArray data;
        QSizeF points;
    };
    const Case cases[] = {
        {"PNG at 1 dot per metre", pngAt(1), {6, 3}},
        {"PNG at 38 dots per metre (0.97 dpi)", pngAt(38), {6, 3}},
        {"PNG at 40 dots per metre (1 dpi)", pngAt(40), {6 * 72, 3 * 72}},
        {"BMP at 1 dot per metre", bmp(4, 2, 8, {qRgb(0, 0, 0), qRgb(9, 9, 9)}, rows, 1), {4, 2}},
        {"BMP at -2835 dots per metre", bmp(4, 2, 8, {0, 0}, rows, -2835), {4, 2}},
        {"BMP at 0", bmp(4, 2, 8, {0, 0}, rows, 0), {4, 2}},
        {"BMP at 144 dpi", bmp(4, 2, 8, {0, 0}, rows, 5669), {2, 1}},
        // TIFF: both tags and an inch or centimetre unit, else 72 dpi.
        {"TIFF with the X resolution alone", tiff({{{96, 1}}, {}, 2}), {4, 4}},
        {"TIFF with the Y resolution alone", tiff({{}, {{96, 1}}, {}}), {4, 4}},
        {"TIFF at 144 × 36 dpi, no unit tag (inch)", tiff({{{144, 1}}, {{36, 1}}, {}}), {2, 8}},
        {"TIFF at 144 dpi, unit none", tiff({{{144, 1}}, {{144, 1}}, 1}), {4, 4}},
        {"TIFF at 100 per centimetre",
         tiff({{{100, 1}}, {{100, 1}}, 3}),
         {4 * 72 / 254.0, 4 * 72 / 254.0}},
        {"TIFF at 288/7 dpi", tiff({{{288, 7}}, {{288, 7}}, 2}), {7, 7}},
        {"TIFF at 0 dpi", tiff({{{0, 1}}, {{0, 1}}, 2}), {4, 4}},
        {"TIFF at 1/0 dpi", tiff({{{1, 0}}, {{1, 0}}, 2}), {4, 4}},
        {"TIFF at 1/2 dpi", tiff({{{1, 2}}, {{1, 2}}, 2}), {4, 4}},
    };
    for (const Case& c : cases) {
        QString error;
        const ImagePtr image = Image::fromData(c.data, &error);
        ASSERT_TRUE(image) << c.what << ": " << error.toStdString();
        EXPECT_NEAR(image->size().width(), c.points.width(), 0.001) << c.what;
        EXPECT_NEAR(image->size().height(), c.points.height(), 0.001) << c.what;
        // Scaling such a picture gives a picture, never a NaN size.
        const ImagePtr scaled = image->imageScaledToSize(QSizeF(10, 10), true);
        ASSERT_TRUE(scaled) << c.what;
        EXPECT_TRUE(std::isfinite(scaled->size().width()) && scaled->size().width() > 0) << c.what;
    }
}

TEST(ImageDamage, TiffKeepsTheSizeInPoints)
{
    struct Case
    {
        QSize pixels;
        QSizeF points;
    };
    const Case cases[] = {
        {{4, 4}, {4.5, 4.5}},
        {{1000, 1000}, {7199, 1234.5}}, // 10.0014 and 58.3 dpi: whole dpi would move 0.7 pt
        {{7, 5}, {100.123, 3.3333}},
        {{3, 3}, {2.55, 7.1}},
        {{300, 2}, {21600, 144}}, // exactly 1 dpi
        {{640, 480}, {153.6, 115.2}},
    };
    for (const Case& c : cases) {
        QImage picture(c.pixels, QImage::Format_RGB32);
        picture.fill(Qt::darkRed);
        const ImagePtr image = Image::fromBitmap(picture, c.points);
        const ImagePtr back = Image::fromData(image->TIFFRepresentationUsingLZW());
        ASSERT_TRUE(back);
        EXPECT_NEAR(back->size().width(), c.points.width(), 0.01) << c.points.width();
        EXPECT_NEAR(back->size().height(), c.points.height(), 0.01) << c.points.height();
    }
    // A size that would need less than 1 dpi cannot be stated: readers take it for no
    // resolution, so such a picture reads back at 72 dpi.
    QImage four(4, 4, QImage::Format_RGB32);
    four.fill(Qt::black);
    const ImagePtr tall = Image::fromBitmap(four, QSizeF(4.5, 2267.72));
    const ImagePtr back = Image::fromData(tall->TIFFRepresentationUsingLZW());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->size(), QSizeF(4, 4));
}

TEST(ImageDamage, DataCutShortIsRejected)
{
    QImage picture(16, 12, QImage::Format_RGB32);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x)
            picture.setPixel(x, y, qRgb(x * 16, y * 20, 128));
    static const unsigned char gif[] = {'G', 'I',  'F', '8', '9', 'a', 2,    0,    1,    0, 0x80, 0,
                                        0,   0xff, 0,   0,   0,   0,   0xff, ',',  0,    0, 0,    0,
                                        2,   0,    1,   0,   0,   2,   2,    0x44, 0x0a, 0, ';'};
    struct Case
    {
        const char* format;
        QByteArray data;
        qsizetype keep; // bytes at the end that may go (a trailer after the pixels)
    };
    const Case cases[] = {
        {"BMP", encodeWithQt(picture, "bmp"), 0},
        {"BMP 1-bit", encodeWithQt(picture.convertToFormat(QImage::Format_Mono), "bmp"), 0},
        {"JPEG", encodeWithQt(picture, "jpeg"), 0},
        // A segment holding markers of a whole small picture (as a thumbnail does).
        {"JPEG with a thumbnail",
         [&picture] {
             QByteArray jpeg = encodeWithQt(picture, "jpeg");
             return jpeg.insert(2, QByteArray("\xff\xe1\x00\x08\xff\xd8\xff\xda\xff\xd9", 10));
         }(),
         0},
        {"GIF", QByteArray(reinterpret_cast<const char*>(gif), sizeof gif), 1},
        {"PNG", encodeWithQt(picture, "png"), 12},
        {"TIFF", encodeWithQt(picture, "tiff"), 0},
        // A header stating 2^31 × 2^31 pixels of 65535 bits each.
        {"BMP stating absurd dimensions",
         [] {
             QByteArray huge = bmp(1, 1, 8, {0}, {QByteArray(1, '\0')});
             qToLittleEndian<quint32>(0x7fffffff, huge.data() + 18);
             qToLittleEndian<quint32>(0x80000000, huge.data() + 22);
             qToLittleEndian<quint16>(0xffff, huge.data() + 28);
             return huge;
         }(),
         -1},
    };
    for (const Case& c : cases) {
        if (c.keep < 0) { // damaged as it stands
            QString error;
            EXPECT_FALSE(Image::fromData(c.data, &error)) << c.format;
            EXPECT_FALSE(error.isEmpty()) << c.format;
            continue;
        }
        ASSERT_TRUE(Image::fromData(c.data)) << c.format;
        // Every cut from the last byte of the pixels back to the first kilobyte.
        const qsizetype from = c.data.size() - c.keep - 1;
        for (qsizetype n = from; n > 0 && n > c.data.size() - 1024; --n) {
            QString error;
            const ImagePtr image = Image::fromData(c.data.left(n), &error);
            EXPECT_FALSE(image) << c.format << " cut to " << n << " of " << c.data.size();
            EXPECT_FALSE(error.isEmpty()) << c.format;
            if (image)
                break;
        }
    }
}

TEST(ImageDamage, ColourTablesThatDoNotFitTheirPixelsAreMadeToFit)
{
    const QList<QByteArray> monoRows{QByteArray(1, '\xa0'), QByteArray(1, '\x50')};
    const QList<QByteArray> byteRows{QByteArray("\x00\x01\x05\x07", 4),
                                     QByteArray("\x07\x05\x01\x00", 4)};
    struct Case
    {
        const char* what;
        QByteArray data;
        QRgb firstPixel; // top left
    };
    const Case cases[] = {
        {"1-bit with four colours",
         bmp(4, 2, 1, {qRgb(255, 0, 0), qRgb(0, 0, 255), qRgb(0, 255, 0), qRgb(9, 9, 9)}, monoRows),
         qRgb(255, 0, 0)},
        {"1-bit with one colour", bmp(4, 2, 1, {qRgb(0, 0, 255)}, monoRows), qRgb(0, 0, 255)},
        {"8-bit with two colours for indexes up to 7",
         bmp(4, 2, 8, {qRgb(255, 0, 0), qRgb(0, 0, 255)}, byteRows), qRgb(0, 0, 0)},
    };
    for (const Case& c : cases) {
        QString error;
        const ImagePtr image = Image::fromData(c.data, &error);
        ASSERT_TRUE(image) << c.what << ": " << error.toStdString();
        EXPECT_EQ(image->bitmap().pixel(0, 0) | 0xff000000, c.firstPixel | 0xff000000) << c.what;
        // Every picture that reads can be written, and reads back with its pixels.
        for (const QByteArray& written : {image->pngData(), image->TIFFRepresentationUsingLZW()}) {
            const ImagePtr back = Image::fromData(written);
            ASSERT_TRUE(back) << c.what;
            EXPECT_EQ(back->bitmap().convertToFormat(QImage::Format_ARGB32),
                      image->bitmap().convertToFormat(QImage::Format_ARGB32))
                << c.what;
        }
        EXPECT_FALSE(image->jpegData(0.8).isEmpty()) << c.what;
    }
}

TEST(ImageDamage, EveryPictureThatReadsWritesWhatIsDrawn)
{
    // Premultiplied pixels whose colour exceeds their alpha are clamped as drawing does,
    // so the straight-alpha encoders write the same picture.
    QByteArray rgba;
    for (int i = 0; i < 16; ++i)
        rgba += i % 2 ? QByteArray("\xff\x80\x10\x40", 4) : QByteArray("\x20\x20\x20\x80", 4);
    const ImagePtr premultiplied = Image::fromData(tiff({}, rgba));
    ASSERT_TRUE(premultiplied);
    // A 1-bit picture in two colours other than black and white.
    QImage twoColours(5, 3, QImage::Format_Mono);
    twoColours.setColorTable({qRgb(200, 0, 0), qRgb(0, 0, 200)});
    twoColours.fill(0);
    twoColours.setPixel(1, 1, 1);
    // Tiny and huge sizes for the pixels: resolutions beyond what the formats hold.
    QImage plain(6, 4, QImage::Format_RGB32);
    plain.fill(Qt::darkGreen);
    struct Case
    {
        const char* what;
        ImagePtr image;
    };
    const Case cases[] = {
        {"colour above alpha", premultiplied},
        {"1-bit red and blue", Image::fromBitmap(twoColours, QSizeF(5, 3))},
        {"a thousandth of a point", Image::fromBitmap(plain, QSizeF(0.001, 0.001))},
        {"a kilometre", Image::fromBitmap(plain, QSizeF(2.8e6, 2.8e6))},
    };
    const auto drawn = [](const QImage& image) {
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(c.image) << c.what;
        for (const QByteArray& written :
             {c.image->pngData(), c.image->TIFFRepresentationUsingLZW()}) {
            const ImagePtr back = Image::fromData(written);
            ASSERT_TRUE(back) << c.what;
            EXPECT_EQ(drawn(back->bitmap()), drawn(c.image->bitmap())) << c.what;
        }
        EXPECT_FALSE(c.image->jpegData(0.5).isEmpty()) << c.what;
    }
}
