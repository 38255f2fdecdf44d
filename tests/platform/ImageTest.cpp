#include "platform/drawing/Image.h"
#include "platform/drawing/GraphicsContext.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <optional>

using platform::Image;
using platform::ImagePtr;

namespace {

constexpr qreal kMetersPerInch = 0.0254;

// Colours that vary in every channel, plus a row of translucent pixels; premultiplied,
// as drawing produces them.
QImage samplePicture(int width = 12, int height = 7)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgba(x * 20, y * 30, (x * y * 7) % 256, y == 0 ? 100 : 255));
    return picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QByteArray encodeWithQt(QImage picture, const char* format, std::optional<qreal> dpi)
{
    if (dpi) {
        picture.setDotsPerMeterX(qRound(*dpi / kMetersPerInch));
        picture.setDotsPerMeterY(qRound(*dpi / kMetersPerInch));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    EXPECT_TRUE(writer.write(picture)) << format;
    return bytes;
}

// Qt's PNG writer always states a resolution; a PNG without one needs the chunk removed.
QByteArray withoutPhysChunk(QByteArray png)
{
    qsizetype at = 8;
    while (at + 8 <= png.size()) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        if (png.mid(at + 4, 4) == "pHYs") {
            png.remove(at, 12 + length);
            return png;
        }
        at += 12 + length;
    }
    ADD_FAILURE() << "no pHYs chunk";
    return png;
}

// A 2 × 1 GIF: Qt has no GIF writer.
QByteArray twoPixelGif()
{
    static const unsigned char bytes[] = {
        'G',  'I', 'F',  '8',  '9', 'a',  2, 0, 1, 0, 0x80, 0, 0, // screen, 2-colour table
        0xff, 0,   0,    0,    0,   0xff,                         // red, blue
        ',',  0,   0,    0,    0,   2,    0, 1, 0, 0,             // image descriptor
        2,    2,   0x44, 0x0a, 0,                                 // LZW: indexes 0, 1
        ';'};
    return QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

// The entries of the first directory of a TIFF file, read independently of Qt.
struct TiffEntry
{
    quint16 tag;
    quint16 type;
    quint32 count;
    quint32 value; // SHORT values sit in the first two bytes of the field
};

std::vector<TiffEntry> firstTiffDirectory(const QByteArray& tiff)
{
    std::vector<TiffEntry> entries;
    if (tiff.size() < 8)
        return entries;
    const bool little = tiff.startsWith("II");
    EXPECT_TRUE(little || tiff.startsWith("MM"));
    const auto u16 = [&](qsizetype at) -> quint16 {
        return little ? qFromLittleEndian<quint16>(tiff.constData() + at)
                      : qFromBigEndian<quint16>(tiff.constData() + at);
    };
    const auto u32 = [&](qsizetype at) -> quint32 {
        return little ? qFromLittleEndian<quint32>(tiff.constData() + at)
                      : qFromBigEndian<quint32>(tiff.constData() + at);
    };
    EXPECT_EQ(u16(2), 42);
    const qsizetype ifd = u32(4);
    if (ifd + 2 > tiff.size())
        return entries;
    const int count = u16(ifd);
    for (int i = 0; i < count && ifd + 2 + (i + 1) * 12 <= tiff.size(); ++i) {
        const qsizetype at = ifd + 2 + i * 12;
        TiffEntry entry{u16(at), u16(at + 2), u32(at + 4), 0};
        entry.value = entry.type == 3 && entry.count == 1 ? u16(at + 8) : u32(at + 8);
        entries.push_back(entry);
    }
    return entries;
}

} // namespace

TEST(Image, ReadsEachFormatAtTheResolutionItStates)
{
    const QImage picture = samplePicture(12, 8);
    struct Case
    {
        const char* name;
        QByteArray data;
        QSize pixels;
        QSizeF points;
    };
    const Case cases[] = {
        {"PNG at 144 dpi", encodeWithQt(picture, "png", 144.0), {12, 8}, {6, 4}},
        {"PNG stating none",
         withoutPhysChunk(encodeWithQt(picture, "png", 144.0)),
         {12, 8},
         {12, 8}},
        {"JPEG at 36 dpi", encodeWithQt(picture, "jpeg", 36.0), {12, 8}, {24, 16}},
        {"TIFF at 288 dpi", encodeWithQt(picture, "tiff", 288.0), {12, 8}, {3, 2}},
        {"BMP at 72 dpi", encodeWithQt(picture, "bmp", 72.0), {12, 8}, {12, 8}},
        {"GIF", twoPixelGif(), {2, 1}, {2, 1}},
    };
    for (const Case& c : cases) {
        QString error;
        const ImagePtr image = Image::fromData(c.data, &error);
        ASSERT_TRUE(image) << c.name << ": " << error.toStdString();
        EXPECT_EQ(image->representationKind(), Image::RepresentationKind::Bitmap) << c.name;
        EXPECT_EQ(QSize(image->pixelsWide(), image->pixelsHigh()), c.pixels) << c.name;
        EXPECT_NEAR(image->size().width(), c.points.width(), 0.01) << c.name;
        EXPECT_NEAR(image->size().height(), c.points.height(), 0.01) << c.name;
    }

    const ImagePtr gif = Image::fromData(twoPixelGif());
    ASSERT_TRUE(gif);
    EXPECT_EQ(gif->bitmap().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(gif->bitmap().pixel(1, 0), qRgb(0, 0, 255));
}

TEST(Image, LzwTiffKeepsEveryPixelAndSaysLzw)
{
    const ImagePtr image = Image::fromBitmap(samplePicture(40, 30), QSizeF(20, 15));
    ASSERT_TRUE(image);
    const QByteArray tiff = image->TIFFRepresentationUsingLZW();
    ASSERT_FALSE(tiff.isEmpty());

    const std::vector<TiffEntry> entries = firstTiffDirectory(tiff);
    const auto compression = std::find_if(entries.begin(), entries.end(),
                                          [](const TiffEntry& e) { return e.tag == 259; });
    ASSERT_NE(compression, entries.end()) << "no Compression tag";
    EXPECT_EQ(compression->type, 3);   // SHORT
    EXPECT_EQ(compression->value, 5u); // LZW

    const ImagePtr back = Image::fromData(tiff);
    ASSERT_TRUE(back);
    const QImage& expected = image->bitmap();
    EXPECT_EQ(back->bitmap().convertToFormat(expected.format()), expected);
    // The written resolution (144 dpi) brings the drawing size back.
    EXPECT_NEAR(back->size().width(), 20.0, 0.01);
    EXPECT_NEAR(back->size().height(), 15.0, 0.01);
}

TEST(Image, PngAndJpegEncoders)
{
    const ImagePtr image = Image::fromBitmap(samplePicture(64, 48), QSizeF(64, 48));
    ASSERT_TRUE(image);

    const ImagePtr png = Image::fromData(image->pngData());
    ASSERT_TRUE(png);
    EXPECT_EQ(png->bitmap().convertToFormat(QImage::Format_ARGB32_Premultiplied), image->bitmap());
    EXPECT_EQ(png->size(), QSizeF(64, 48));

    const QByteArray best = image->jpegData(1.0);
    const QByteArray smallest = image->jpegData(0.0);
    ASSERT_TRUE(best.startsWith("\xff\xd8\xff"));
    EXPECT_LT(smallest.size(), best.size());
    const ImagePtr jpeg = Image::fromData(best);
    ASSERT_TRUE(jpeg);
    EXPECT_EQ(jpeg->size(), QSizeF(64, 48));
    const QRgb probe = jpeg->bitmap().pixel(30, 20);
    const QRgb original = image->bitmap().pixel(30, 20);
    EXPECT_NEAR(qRed(probe), qRed(original), 12);
    EXPECT_NEAR(qGreen(probe), qGreen(original), 12);

    // Nothing to encode without a bitmap.
    EXPECT_TRUE(Image::withSize(QSizeF(5, 5))->pngData().isEmpty());
}

TEST(Image, BadDataGivesNullAndAMessage)
{
    const QByteArray png = encodeWithQt(samplePicture(), "png", std::nullopt);
    QByteArray random(512, '\0');
    QRandomGenerator generator(1234);
    for (char& byte : random)
        byte = char(generator.bounded(256));
    QByteArray badTiff("II*\0", 4);
    badTiff += QByteArray("\xff\xff\xff\x7f", 4) + QByteArray(20, '\0');

    struct Case
    {
        const char* name;
        QByteArray data;
    };
    const Case cases[] = {
        {"empty", QByteArray()},
        {"random bytes", random},
        {"truncated PNG", png.left(png.size() / 2)},
        {"PNG signature only", png.left(8)},
        {"TIFF with its directory out of the file", badTiff},
        {"BMP header only", QByteArray("BM") + QByteArray(30, '\x01')},
        {"text", QByteArray("just some words")},
    };
    for (const Case& c : cases) {
        QString error;
        EXPECT_EQ(Image::fromData(c.data, &error), nullptr) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
    }
    EXPECT_EQ(Image::fromData(QByteArray("junk")), nullptr); // no error slot: fine too
    EXPECT_EQ(Image::fromBitmap(QImage()), nullptr);
}

TEST(Image, FilesAndRetainedData)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("picture.dat")); // name says nothing
    const QByteArray bytes = encodeWithQt(samplePicture(), "png", 72.0);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    const ImagePtr image = Image::fromFile(path);
    ASSERT_TRUE(image);
    EXPECT_FALSE(image->dataRetained());
    EXPECT_TRUE(image->data().isEmpty());
    image->setDataRetained(true); // owners retain after reading
    EXPECT_EQ(image->data(), bytes);

    image->setSize(QSizeF(120, 70));
    EXPECT_EQ(image->size(), QSizeF(120, 70));
    EXPECT_EQ(image->pixelsWide(), 12);
    EXPECT_EQ(image->pixelsHigh(), 7);

    const ImagePtr fromBitmap = Image::fromBitmap(samplePicture(), QSizeF(6, 3.5));
    fromBitmap->setDataRetained(true);
    EXPECT_TRUE(fromBitmap->data().isEmpty());

    QString error;
    const QString missing = folder.filePath(QStringLiteral("missing.png"));
    EXPECT_EQ(Image::fromFile(missing, &error), nullptr);
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();
}

TEST(Image, DrawsAPartOfThePictureIntoTheCurrentContext)
{
    // 8 × 4 pixels drawn at 4 × 2 points: left half red, right half blue.
    QImage picture(8, 4, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::blue);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            picture.setPixel(x, y, qRgb(255, 0, 0));
    const ImagePtr image = Image::fromBitmap(picture, QSizeF(4, 2));

    image->drawInRect(QRectF(0, 0, 4, 4)); // no current context: nothing happens

    platform::OffscreenContext offscreen(QSize(4, 4));
    image->drawInRect(QRectF(0, 0, 4, 4), QRectF(2, 0, 2, 2)); // the right half in points
    image->drawInRect(QRectF(0, 3, 4, 1), QRectF(), QPainter::CompositionMode_SourceOver, 0.5);
    const QImage result = offscreen.image();
    EXPECT_EQ(result.pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(result.pixel(3, 2), qRgb(0, 0, 255));
    // Half-opaque red over blue on the bottom row's left.
    EXPECT_NEAR(qRed(result.pixel(0, 3)), 128, 2);
    EXPECT_NEAR(qBlue(result.pixel(0, 3)), 127, 2);
}
