// PSD pictures: the merged image in each colour mode, depth and compression read, and
// every other kind of PSD (or a damaged one) refused with a message.

#include "platform/drawing/Image.h"

#include <QColor>
#include <QtEndian>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using platform::Image;
using platform::ImagePtr;

namespace {

// Writes the PSD files the tests read: planar channels of 8- or 16-bit samples (given as
// 0-65535 or 0-255 numbers), raw or PackBits, optionally a resolution and the merged
// transparency flag (a negative layer count).
struct PsdFixture
{
    int mode = 3; // 1 grey, 3 RGB, 4 CMYK
    int depth = 8;
    int width = 3, height = 2;
    std::vector<std::vector<int>> channels; // a plane a channel, row by row
    int compression = 0;
    double dpi = 0; // none stated when 0
    bool mergedAlpha = false;
    int version = 1;

    QByteArray bytes() const
    {
        QByteArray out;
        const auto u16 = [&out](int v) {
            char b[2];
            qToBigEndian(quint16(v), b);
            out.append(b, 2);
        };
        const auto u32 = [&out](quint32 v) {
            char b[4];
            qToBigEndian(v, b);
            out.append(b, 4);
        };
        out += "8BPS";
        u16(version);
        out += QByteArray(6, '\0');
        u16(int(channels.size()));
        u32(quint32(height));
        u32(quint32(width));
        u16(depth);
        u16(mode);
        u32(0); // colour mode data
        if (dpi > 0) {
            u32(4 + 2 + 2 + 4 + 16);
            out += "8BIM";
            u16(0x03ed);
            u16(0); // empty name, padded
            u32(16);
            for (int i = 0; i < 2; ++i) {
                u32(quint32(dpi * 65536));
                u16(1);
                u16(1);
            }
        } else {
            u32(0);
        }
        if (mergedAlpha) {
            u32(8);
            u32(2);
            u16(0xffff); // -1 layers
            u16(0);
        } else {
            u32(0);
        }
        u16(compression);
        const auto row = [&](const std::vector<int>& plane, int y) {
            QByteArray r;
            for (int x = 0; x < width; ++x) {
                const int v = plane[std::size_t(y * width + x)];
                if (depth == 16)
                    r += char(v >> 8);
                r += char(v & 0xff);
            }
            return r;
        };
        if (compression == 0) {
            for (const auto& plane : channels)
                for (int y = 0; y < height; ++y)
                    out += row(plane, y);
            return out;
        }
        // PackBits: a repeat run when the first two bytes agree, else one literal run.
        std::vector<QByteArray> packed;
        for (const auto& plane : channels) {
            for (int y = 0; y < height; ++y) {
                const QByteArray r = row(plane, y);
                QByteArray p;
                for (qsizetype i = 0; i < r.size();) {
                    qsizetype n = 1;
                    while (i + n < r.size() && r[i + n] == r[i] && n < 128)
                        ++n;
                    if (n >= 2) {
                        p += char(1 - n);
                        p += r[i];
                    } else {
                        p += char(0);
                        p += r[i];
                    }
                    i += n;
                }
                packed.push_back(p);
            }
        }
        for (const QByteArray& p : packed)
            u16(int(p.size()));
        for (const QByteArray& p : packed)
            out += p;
        return out;
    }
};

} // namespace

TEST(ImagePSD, MergedImagesOfEachModeDepthAndCompression)
{
    PsdFixture rgb;
    rgb.channels = {{255, 0, 0, 10, 10, 10}, {0, 255, 0, 20, 20, 20}, {0, 0, 255, 30, 30, 30}};
    rgb.dpi = 144;
    PsdFixture rgbPacked = rgb;
    rgbPacked.compression = 1;
    rgbPacked.dpi = 0;

    // Transparency: half-transparent red stored blended with white (255, 127, 127).
    PsdFixture transparent;
    transparent.compression = 1;
    transparent.mergedAlpha = true;
    transparent.channels = {{255, 255, 255, 0, 0, 0},
                            {127, 255, 255, 0, 0, 0},
                            {127, 255, 255, 0, 0, 0},
                            {128, 0, 255, 255, 255, 255}};

    PsdFixture grey16;
    grey16.mode = 1;
    grey16.depth = 16;
    grey16.compression = 1;
    grey16.channels = {{0x8080, 0xffff, 0, 0x8080, 0x8080, 0x8080}};

    // Stored inverted: 255 is no ink. Cyan at full ink, half black.
    PsdFixture cmyk;
    cmyk.mode = 4;
    cmyk.channels = {{0, 255, 255, 255, 255, 255},
                     {255, 255, 255, 255, 255, 255},
                     {255, 255, 255, 255, 255, 255},
                     {255, 128, 255, 255, 255, 255}};

    // Below 1 dpi no resolution is stated, as for every format.
    PsdFixture absurd = rgb;
    absurd.dpi = 0.5;

    // A fourth channel without the merged-transparency flag is a spare channel, not alpha.
    PsdFixture spare = rgb;
    spare.channels.push_back({0, 0, 0, 0, 0, 0});

    const struct
    {
        const char* label;
        QByteArray data;
        QSizeF size;
        QPoint at;
        QColor colour;
    } cases[] = {
        {"RGB raw, 144 dpi", rgb.bytes(), QSizeF(1.5, 1), QPoint(1, 0), QColor(0, 255, 0)},
        {"RGB packed", rgbPacked.bytes(), QSizeF(3, 2), QPoint(2, 1), QColor(10, 20, 30)},
        {"RGB at 0.5 dpi", absurd.bytes(), QSizeF(3, 2), QPoint(2, 1), QColor(10, 20, 30)},
        {"merged transparency", transparent.bytes(), QSizeF(3, 2), QPoint(0, 0),
         QColor(255, 0, 0, 128)},
        {"transparent pixel", transparent.bytes(), QSizeF(3, 2), QPoint(1, 0), QColor(0, 0, 0, 0)},
        {"grey, 16 bits", grey16.bytes(), QSizeF(3, 2), QPoint(0, 0), QColor(128, 128, 128)},
        {"CMYK", cmyk.bytes(), QSizeF(3, 2), QPoint(0, 0), QColor(0, 255, 255)},
        {"CMYK, half black", cmyk.bytes(), QSizeF(3, 2), QPoint(1, 0), QColor(128, 128, 128)},
        {"spare channel", spare.bytes(), QSizeF(1.5, 1), QPoint(2, 1), QColor(10, 20, 30)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QString error;
        const ImagePtr image = Image::fromData(c.data, &error);
        ASSERT_TRUE(image) << qPrintable(error);
        EXPECT_EQ(image->representationKind(), Image::RepresentationKind::Bitmap);
        EXPECT_EQ(image->pixelsWide(), 3);
        EXPECT_EQ(image->pixelsHigh(), 2);
        EXPECT_NEAR(image->size().width(), c.size.width(), 1e-9);
        EXPECT_NEAR(image->size().height(), c.size.height(), 1e-9);
        const QColor seen = image->bitmap().pixelColor(c.at);
        EXPECT_NEAR(seen.red(), c.colour.red(), 1);
        EXPECT_NEAR(seen.green(), c.colour.green(), 1);
        EXPECT_NEAR(seen.blue(), c.colour.blue(), 1);
        EXPECT_NEAR(seen.alpha(), c.colour.alpha(), 1);
        image->setDataRetained(true);
        EXPECT_EQ(image->data(), c.data) << "the original bytes are kept";
    }
}

TEST(ImagePSD, OtherPSDsAndDamagedOnesAreRefused)
{
    PsdFixture rgb;
    rgb.channels = {{1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}};
    const auto with = [&rgb](const std::function<void(PsdFixture&)>& change) {
        PsdFixture f = rgb;
        change(f);
        return f.bytes();
    };
    const auto huge = [&with](int compression) {
        QByteArray data = with([compression](PsdFixture& f) {
            f.mode = 1;
            f.compression = compression;
            f.channels.resize(1);
        });
        qToBigEndian<quint32>(50000, data.data() + 14); // the height
        qToBigEndian<quint32>(40000, data.data() + 18); // the width
        return data;
    };
    QByteArray badRow = with([](PsdFixture& f) { f.compression = 1; });
    badRow[badRow.size() - 2] = char(0x7f); // a literal run longer than its row

    const struct
    {
        const char* label;
        QByteArray data;
        const char* said;
    } cases[] = {
        {"Lab", with([](PsdFixture& f) { f.mode = 9; }), "colour mode 9"},
        {"indexed", with([](PsdFixture& f) { f.mode = 2; }), "colour mode 2"},
        {"32 bits", with([](PsdFixture& f) { f.depth = 32; }), "not 32"},
        {"1 bit", with([](PsdFixture& f) { f.depth = 1; }), "not 1"},
        {"zip", with([](PsdFixture& f) { f.compression = 2; }), "compressed"},
        {"large-document form", with([](PsdFixture& f) { f.version = 2; }), "large-document"},
        {"too few channels", with([](PsdFixture& f) { f.channels.resize(2); }), "channels"},
        {"header only", rgb.bytes().left(20), "header"},
        {"picture cut short", rgb.bytes().chopped(4), "ends inside its picture"},
        // A header claiming 2 GB of pixels with a few bytes behind it: refused before any
        // room is made for them.
        {"huge, raw", huge(0), "ends inside its picture"},
        {"huge, packed", huge(1), "ends inside its row lengths"},
        {"damaged row", badRow, "damaged"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        QString error;
        EXPECT_EQ(Image::fromData(c.data, &error), nullptr);
        EXPECT_TRUE(error.contains(QLatin1String(c.said))) << qPrintable(error);
    }
}
