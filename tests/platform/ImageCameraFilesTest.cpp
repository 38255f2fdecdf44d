// Pictures as cameras, scanners and other programs write them: EXIF orientation and
// resolution, 16-bit premultiplied TIFF, BigTIFF, exact sizes through PNG, and headers
// that promise far more pixels than their data can hold.

#include "platform/drawing/Image.h"

#include <QBuffer>
#include <QImageWriter>
#include <QRgba64>

#include <gtest/gtest.h>

#include <functional>

using platform::Image;
using platform::ImagePtr;

namespace {

constexpr qreal kMetersPerInch = 0.0254;

QByteArray number(quint64 value, int bytes, bool little)
{
    QByteArray out(bytes, '\0');
    for (int i = 0; i < bytes; ++i)
        out[little ? i : bytes - 1 - i] = char((value >> (8 * i)) & 0xff);
    return out;
}

enum TiffType : quint16 { Short = 3, Long = 4, Rational = 5 };

// One directory entry; a RATIONAL's values go as numerator, denominator pairs.
struct TiffTag
{
    quint16 tag;
    TiffType type;
    QList<quint64> values;
};

// A TIFF file (classic or BigTIFF, either byte order) holding `pixels` right after its
// header and one directory with these entries; a StripOffsets entry without values points
// at the pixels.
QByteArray tiffFile(bool little, bool big, const QByteArray& pixels, QList<TiffTag> tags)
{
    const int headerSize = big ? 16 : 8;
    const int offsetSize = big ? 8 : 4;
    QByteArray out = little ? "II" : "MM";
    out += number(big ? 43 : 42, 2, little);
    if (big)
        out += number(8, 2, little) + number(0, 2, little);
    out += QByteArray(offsetSize, '\0'); // the directory's offset, set below
    out += pixels;
    QList<QByteArray> fields;
    for (TiffTag& t : tags) {
        if (t.tag == 273 && t.values.isEmpty())
            t.values = {quint64(headerSize)};
        QByteArray value;
        for (const quint64 v : std::as_const(t.values))
            value += number(v, t.type == Short ? 2 : 4, little);
        if (value.size() > offsetSize) {
            if (out.size() & 1)
                out += '\0';
            const qsizetype at = out.size();
            out += value;
            value = number(quint64(at), offsetSize, little);
        }
        fields.append(value.leftJustified(offsetSize, '\0'));
    }
    if (out.size() & 1)
        out += '\0';
    out.replace(big ? 8 : 4, offsetSize, number(quint64(out.size()), offsetSize, little));
    out += number(quint64(tags.size()), big ? 8 : 2, little);
    for (qsizetype i = 0; i < tags.size(); ++i) {
        const TiffTag& t = tags.at(i);
        const quint64 count = t.type == Rational ? t.values.size() / 2 : t.values.size();
        out += number(t.tag, 2, little) + number(t.type, 2, little)
               + number(count, offsetSize, little) + fields.at(i);
    }
    out += QByteArray(offsetSize, '\0');
    return out;
}

QByteArray encodeWithQt(const QImage& picture, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    EXPECT_TRUE(writer.write(picture)) << format;
    return bytes;
}

// A JPEG of the picture, with its JFIF segment replaced by `jfif` (none when empty) and an
// EXIF segment holding `exif` (a TIFF block) when given.
QByteArray jpeg(const QImage& picture, const QByteArray& exif, const QByteArray& jfif = {})
{
    QByteArray bytes = encodeWithQt(picture, "jpeg", 100);
    if (bytes.mid(2, 2) == "\xff\xe0")
        bytes.remove(2, 2 + ((quint8(bytes.at(4)) << 8) | quint8(bytes.at(5))));
    if (!exif.isEmpty()) {
        const QByteArray body = QByteArray("Exif\0\0", 6) + exif;
        bytes.insert(2, "\xff\xe1" + number(quint64(body.size() + 2), 2, false) + body);
    }
    if (!jfif.isEmpty())
        bytes.insert(2, "\xff\xe0" + number(quint64(jfif.size() + 2), 2, false) + jfif);
    return bytes;
}

// A JFIF segment's body stating a density in the unit given (0: an aspect ratio only).
QByteArray jfif(quint8 unit, quint16 x, quint16 y)
{
    return QByteArray("JFIF\0\x01\x02", 7) + char(unit) + number(x, 2, false) + number(y, 2, false)
           + QByteArray(2, '\0');
}

// 24 × 16 pixels in six 8 × 8 blocks of different colours, so every turn and mirror
// shows.
QImage blocks()
{
    static const QRgb colours[] = {qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(0, 0, 255),
                                   qRgb(255, 255, 0), qRgb(255, 0, 255), qRgb(0, 255, 255)};
    QImage picture(24, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 24; ++x)
            picture.setPixel(x, y, colours[(y / 8) * 3 + x / 8]);
    return picture;
}

bool near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) < 48 && std::abs(qGreen(a) - qGreen(b)) < 48
           && std::abs(qBlue(a) - qBlue(b)) < 48;
}

} // namespace

TEST(ImageCameraFiles, ExifOrientationShowsThePictureUprightAndKeepsItWhenWritten)
{
    const QImage stored = blocks();
    const int w = stored.width();
    const int h = stored.height();
    // Where each shown pixel comes from in the stored picture, by orientation.
    const std::function<QPoint(int, int)> source[] = {
        [](int x, int y) { return QPoint(x, y); },
        [w](int x, int y) { return QPoint(w - 1 - x, y); },
        [w, h](int x, int y) { return QPoint(w - 1 - x, h - 1 - y); },
        [h](int x, int y) { return QPoint(x, h - 1 - y); },
        [](int x, int y) { return QPoint(y, x); },
        [h](int x, int y) { return QPoint(y, h - 1 - x); },
        [w, h](int x, int y) { return QPoint(w - 1 - y, h - 1 - x); },
        [w](int x, int y) { return QPoint(w - 1 - y, x); },
    };
    for (int orientation = 1; orientation <= 8; ++orientation) {
        // 144 dpi across the stored rows, 72 down them: 12 × 16 points as stored.
        const QByteArray data = jpeg(stored, tiffFile(false, false, {},
                                                      {{274, Short, {quint64(orientation)}},
                                                       {282, Rational, {144, 1}},
                                                       {283, Rational, {72, 1}},
                                                       {296, Short, {2}}}));
        QString error;
        const ImagePtr image = Image::fromData(data, &error);
        ASSERT_TRUE(image) << orientation << ": " << error.toStdString();
        const bool turned = orientation >= 5;
        const QSize shown = turned ? QSize(h, w) : QSize(w, h);
        ASSERT_EQ(image->bitmap().size(), shown) << orientation;
        EXPECT_EQ(image->size(), turned ? QSizeF(16, 12) : QSizeF(12, 16)) << orientation;
        for (int y = 4; y < shown.height(); y += 8) {
            for (int x = 4; x < shown.width(); x += 8) {
                const QPoint from = source[orientation - 1](x, y);
                EXPECT_TRUE(near(image->bitmap().pixel(x, y), stored.pixel(from)))
                    << "orientation " << orientation << " at " << x << ", " << y;
            }
        }
        // The kept original and every encoding read back as shown.
        image->setDataRetained(true);
        for (const QByteArray& written :
             {image->data(), image->pngData(), image->TIFFRepresentationUsingLZW(),
              image->jpegData(1.0)}) {
            const ImagePtr back = Image::fromData(written);
            ASSERT_TRUE(back) << orientation;
            EXPECT_EQ(back->bitmap().size(), shown) << orientation;
            EXPECT_NEAR(back->size().width(), image->size().width(), 0.01) << orientation;
            EXPECT_NEAR(back->size().height(), image->size().height(), 0.01) << orientation;
            EXPECT_TRUE(near(back->bitmap().pixel(4, 4), image->bitmap().pixel(4, 4)))
                << orientation;
        }
        // A preview read straight from the file's bytes shows the same.
        const QImage preview = platform::uprightPicture(data);
        ASSERT_EQ(preview.size(), shown) << orientation;
        EXPECT_TRUE(near(preview.pixel(4, 4), image->bitmap().pixel(4, 4))) << orientation;
    }
}

TEST(ImageCameraFiles, JpegResolutionComesFromExifWhenJfifStatesNone)
{
    QImage picture(30, 60, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    const auto exif = [](bool little, QList<TiffTag> tags) {
        return tiffFile(little, false, {}, tags);
    };
    struct Case
    {
        const char* what;
        QByteArray data;
        QSizeF points;
    };
    const Case cases[] = {
        {"EXIF at 300 dpi",
         jpeg(picture,
              exif(false,
                   {{282, Rational, {300, 1}}, {283, Rational, {300, 1}}, {296, Short, {2}}})),
         {7.2, 14.4}},
        {"EXIF at 180 × 360 dpi, little-endian, no unit tag (inch)",
         jpeg(picture, exif(true, {{282, Rational, {180, 1}}, {283, Rational, {360, 1}}})),
         {12, 12}},
        {"EXIF at 50 per centimetre",
         jpeg(picture,
              exif(false, {{282, Rational, {50, 1}}, {283, Rational, {50, 1}}, {296, Short, {3}}})),
         {30 * 72 / 127.0, 60 * 72 / 127.0}},
        {"EXIF with unit none",
         jpeg(picture,
              exif(false,
                   {{282, Rational, {300, 1}}, {283, Rational, {300, 1}}, {296, Short, {1}}})),
         {30, 60}},
        {"EXIF with X alone", jpeg(picture, exif(false, {{282, Rational, {300, 1}}})), {30, 60}},
        {"JFIF aspect ratio only, EXIF at 144 dpi",
         jpeg(picture, exif(false, {{282, Rational, {144, 1}}, {283, Rational, {144, 1}}}),
              jfif(0, 1, 1)),
         {15, 30}},
        {"JFIF at 360 dpi over EXIF at 144",
         jpeg(picture, exif(false, {{282, Rational, {144, 1}}, {283, Rational, {144, 1}}}),
              jfif(1, 360, 360)),
         {6, 12}},
        {"neither", jpeg(picture, {}), {30, 60}},
    };
    for (const Case& c : cases) {
        QString error;
        const ImagePtr image = Image::fromData(c.data, &error);
        ASSERT_TRUE(image) << c.what << ": " << error.toStdString();
        EXPECT_NEAR(image->size().width(), c.points.width(), 0.001) << c.what;
        EXPECT_NEAR(image->size().height(), c.points.height(), 0.001) << c.what;
    }
}

TEST(ImageCameraFiles, SixteenBitPremultipliedTiffKeepsItsPixels)
{
    // 4 × 4 pixels of 16-bit RGBA with associated alpha, as the file holds them; the last
    // pixel's red exceeds its alpha, which drawing clamps.
    QList<QRgba64> pixels;
    for (int i = 0; i < 16; ++i) {
        const quint16 alpha = quint16(4256 + i * 3000);
        pixels.append(
            QRgba64::fromRgba64(quint16(alpha / 4), quint16(alpha / 2), quint16(alpha - i), alpha));
    }
    pixels.last() = QRgba64::fromRgba64(60000, 100, 200, 4256);
    QByteArray samples;
    for (const QRgba64& p : std::as_const(pixels))
        for (const quint16 v : {p.red(), p.green(), p.blue(), p.alpha()})
            samples += number(v, 2, true);
    const QByteArray data = tiffFile(true, false, samples,
                                     {{256, Short, {4}},
                                      {257, Short, {4}},
                                      {258, Short, {16, 16, 16, 16}},
                                      {259, Short, {1}},
                                      {262, Short, {2}},
                                      {273, Long, {}},
                                      {277, Short, {4}},
                                      {278, Short, {4}},
                                      {279, Long, {quint64(samples.size())}},
                                      {338, Short, {1}}});
    QString error;
    const ImagePtr image = Image::fromData(data, &error);
    ASSERT_TRUE(image) << error.toStdString();
    const QImage read = image->bitmap().convertToFormat(QImage::Format_RGBA64_Premultiplied);
    pixels.last().setRed(4256);
    for (int i = 0; i < 16; ++i) {
        const QRgba64 p = reinterpret_cast<const QRgba64*>(read.constScanLine(i / 4))[i % 4];
        EXPECT_EQ(p.alpha(), pixels.at(i).alpha()) << i;
        EXPECT_NEAR(p.red(), pixels.at(i).red(), 1) << i;
        EXPECT_NEAR(p.green(), pixels.at(i).green(), 1) << i;
        EXPECT_NEAR(p.blue(), pixels.at(i).blue(), 1) << i;
    }
}

TEST(ImageCameraFiles, BigTiffIsReadWithItsResolution)
{
    QByteArray grey;
    for (int i = 0; i < 16; ++i)
        grey.append(char(i * 16));
    for (const bool little : {true, false}) {
        const QByteArray data = tiffFile(little, true, grey,
                                         {{256, Short, {4}},
                                          {257, Short, {4}},
                                          {258, Short, {8}},
                                          {259, Short, {1}},
                                          {262, Short, {1}},
                                          {273, Long, {}},
                                          {277, Short, {1}},
                                          {278, Short, {4}},
                                          {279, Long, {16}},
                                          {282, Rational, {144, 1}},
                                          {283, Rational, {36, 1}},
                                          {296, Short, {2}}});
        QString error;
        const ImagePtr image = Image::fromData(data, &error);
        ASSERT_TRUE(image) << (little ? "II" : "MM") << ": " << error.toStdString();
        EXPECT_EQ(image->bitmap().size(), QSize(4, 4));
        EXPECT_EQ(qGray(image->bitmap().pixel(3, 3)), 240);
        EXPECT_EQ(image->size(), QSizeF(2, 8));
    }
}

TEST(ImageCameraFiles, PngKeepsTheExactSizeInPoints)
{
    struct Case
    {
        QSize pixels;
        QSizeF points;
    };
    const Case cases[] = {
        {{6, 4}, {6, 273}},           // 1.055 dpi down: 42 dots per metre
        {{29, 29}, {28.8, 28.8}},     // 72.5 dpi, near 72 but not it
        {{640, 480}, {153.6, 115.2}}, // 300 dpi
        {{7, 5}, {100.123, 3.3333}},
    };
    for (const Case& c : cases) {
        QImage picture(c.pixels, QImage::Format_RGB32);
        picture.fill(Qt::darkRed);
        const ImagePtr image = Image::fromBitmap(picture, c.points);
        ImagePtr back = Image::fromData(image->pngData());
        // Twice through: what is read is what is written again.
        ASSERT_TRUE(back);
        back = Image::fromData(back->pngData());
        ASSERT_TRUE(back);
        EXPECT_NEAR(back->size().width(), c.points.width(), 1e-9) << c.points.width();
        EXPECT_NEAR(back->size().height(), c.points.height(), 1e-9) << c.points.height();
    }
    // Another program's PNG at 72 dpi (2835 dots per metre) is as many points as pixels,
    // and a resolution changed by an editor that kept our text wins over the text.
    QImage other(10, 10, QImage::Format_RGB32);
    other.fill(Qt::white);
    other.setDotsPerMeterX(2835);
    other.setDotsPerMeterY(2835);
    const ImagePtr plain = Image::fromData(encodeWithQt(other, "png"));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->size(), QSizeF(10, 10));
    const ImagePtr edited = Image::fromBitmap(other, QSizeF(7, 7));
    QImage reEdited = Image::fromData(edited->pngData())->bitmap();
    reEdited.setDotsPerMeterX(qRound(144 / kMetersPerInch));
    reEdited.setDotsPerMeterY(qRound(144 / kMetersPerInch));
    const ImagePtr editedBack = Image::fromData(encodeWithQt(reEdited, "png"));
    ASSERT_TRUE(editedBack);
    EXPECT_EQ(editedBack->size(), QSizeF(5, 5));
}

TEST(ImageCameraFiles, HeadersPromisingMorePixelsThanTheDataHoldsAreTruncated)
{
    // A screen and picture of 258 × 43,577 pixels with a few bytes of LZW data, and the
    // same screen over a picture of 1 × 1.
    const auto gif = [](quint16 width, quint16 height) {
        QByteArray out("GIF89a");
        out += number(258, 2, true) + number(43577, 2, true);
        out += QByteArray("\x80\x00\x00\xff\x00\x00\x00\x00\xff", 9); // red, blue
        out += ',' + number(0, 4, true) + number(width, 2, true) + number(height, 2, true);
        out += QByteArray("\x00\x02\x02\x44\x0a\x00;", 7);
        return out;
    };
    QImage small(16, 16, QImage::Format_RGB32);
    small.fill(Qt::darkGreen);
    QByteArray wideJpeg = encodeWithQt(small, "jpeg", 90);
    const qsizetype sof = wideJpeg.indexOf("\xff\xc0");
    ASSERT_GT(sof, 0);
    wideJpeg.replace(sof + 5, 4, number(250, 2, false) + number(65284, 2, false));
    struct Case
    {
        const char* what;
        QByteArray data;
    };
    const Case cases[] = {
        {"GIF of 258 × 43,577", gif(258, 43577)},
        {"GIF of 1 × 1 on a screen of 258 × 43,577", gif(1, 1)},
        {"JPEG of 65,284 × 250", wideJpeg},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_FALSE(Image::fromData(c.data, &error)) << c.what;
        EXPECT_TRUE(error.contains(QStringLiteral("damaged"))) << c.what << error.toStdString();
    }
    // Large pictures of one colour compress well and still read.
    QImage white(2000, 2000, QImage::Format_RGB32);
    white.fill(Qt::white);
    const ImagePtr large = Image::fromData(encodeWithQt(white, "jpeg", 50));
    ASSERT_TRUE(large);
    EXPECT_EQ(large->bitmap().size(), QSize(2000, 2000));
}
