#include "kitfile/iCorbeilImage.h"

#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"

#include <gtest/gtest.h>

#include <cmath>

using Lab = iCorbeilImage::LabColor;

TEST(iCorbeilColor, NamingByTheNearestNamedColour)
{
    struct Case
    {
        QColor color;
        QString name;
    };
    const Case cases[] = {
        {QColor::fromRgbF(0, 0, 0, 0), VQClear},
        {QColor(Qt::red), VQRed},
        {QColor(Qt::black), VQBlack},          // the alpha difference keeps it from Clear
        {QColor::fromRgbF(1, 0, 0, 0), VQRed}, // alpha 1 away, against all of red to black
        {QColor(250, 250, 245), VQWhite},
        {QColor(200, 120, 40), VQBronze},
        {QColor(20, 30, 220), VQBlue},
        {QColor(), QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(iCorbeilImage::colorNameForColor(c.color), c.name)
            << c.color.name().toStdString();

    // Every named colour names itself.
    const QMap<QString, QColor> map = iCorbeilImage::colorMap();
    ASSERT_EQ(map.size(), 16);
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        EXPECT_EQ(iCorbeilImage::colorNameForColor(it.value()), it.key()) << it.key().toStdString();
    EXPECT_EQ(iCorbeilImage::colorForColorName(VQGold), iCorbeilImage::goldColor());
    EXPECT_EQ(iCorbeilImage::goldColor(), QColor(212, 175, 55));
    EXPECT_FALSE(iCorbeilImage::colorForColorName(QStringLiteral("VQMauve")).isValid());
}

TEST(iCorbeilColor, LabOfSRGBColours)
{
    struct Case
    {
        QColor color;
        Lab lab;
    };
    // D50 values of the sRGB primaries, white and middle grey.
    const Case cases[] = {
        {QColor(Qt::white), {100, 0, 0, 1}},
        {QColor(Qt::black), {0, 0, 0, 1}},
        {QColor(Qt::red), {54.2917, 80.8125, 69.8851, 1}},
        {QColor(Qt::green), {87.8181, -79.2873, 80.9902, 1}},
        {QColor(Qt::blue), {29.5676, 68.2986, -112.0294, 1}},
        {QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.25f), {53.3889, 0, 0, 0.25}},
    };
    for (const Case& c : cases) {
        const Lab lab = iCorbeilImage::labColor(c.color);
        EXPECT_NEAR(lab.L, c.lab.L, 2e-3) << c.color.name().toStdString();
        EXPECT_NEAR(lab.a, c.lab.a, 2e-3) << c.color.name().toStdString();
        EXPECT_NEAR(lab.b, c.lab.b, 2e-3) << c.color.name().toStdString();
        EXPECT_NEAR(lab.alpha, c.lab.alpha, 1e-4);
    }
    EXPECT_TRUE(std::isinf(iCorbeilImage::differenceBetweenColor(QColor(), Qt::red)));
}

TEST(iCorbeilColor, Differences1976And1994)
{
    const Lab chromatic{50, 3, 4, 1};
    const Lab grey{50, 0, 0, 1};
    EXPECT_DOUBLE_EQ(iCorbeilImage::cieLABDifferenceBetweenColor(chromatic, grey), 5);
    EXPECT_DOUBLE_EQ(iCorbeilImage::cieLABDifferenceBetweenColor(chromatic, {50, 0, 0, 0}),
                     std::sqrt(26.0));
    // The chroma weight is the first colour's: 5 / (1 + 0.045 × 5), then 5 / 1.
    EXPECT_NEAR(iCorbeilImage::cieLAB94DifferenceBetweenColor(chromatic, grey), 5 / 1.225, 1e-12);
    EXPECT_NEAR(iCorbeilImage::cieLAB94DifferenceBetweenColor(grey, chromatic), 5, 1e-12);
    // A pure hue change: ΔH carries it all.
    EXPECT_NEAR(iCorbeilImage::cieLAB94DifferenceBetweenColor({50, 5, 0, 1}, {50, 0, 5, 1}),
                std::sqrt(50.0) / (1 + 0.015 * 5), 1e-12);
}

TEST(iCorbeilColor, CIEDE2000OnPublishedPairs)
{
    struct Case
    {
        Lab first;
        Lab second;
        double difference;
    };
    // Pairs from the published CIEDE2000 test data.
    const Case cases[] = {
        {{50, 2.6772, -79.7751, 1}, {50, 0, -82.7485, 1}, 2.0425},
        {{50, 3.1571, -77.2803, 1}, {50, 0, -82.7485, 1}, 2.8615},
        {{50, 0, 0, 1}, {50, -1, 2, 1}, 2.3669},
        {{50, 2.5, 0, 1}, {73, 25, -18, 1}, 27.1492},
        {{60.2574, -34.0099, 36.2677, 1}, {60.4626, -34.1751, 39.4387, 1}, 1.2644},
        {{90.8027, -2.0831, 1.4410, 1}, {91.1528, -1.6435, 0.0447, 1}, 1.4441},
        {{2.0776, 0.0795, -1.1350, 1}, {0.9033, -0.0636, -0.5514, 1}, 0.9082},
        {{50, 2.5, 0, 1}, {50, 0, -2.5, 0}, 4.3065}, // alpha is not used
    };
    for (const Case& c : cases) {
        EXPECT_NEAR(iCorbeilImage::cieLAB2000DifferenceBetweenColor(c.first, c.second),
                    c.difference, 1e-4)
            << c.difference;
        EXPECT_NEAR(iCorbeilImage::cieLAB2000DifferenceBetweenColor(c.second, c.first),
                    c.difference, 1e-4)
            << c.difference;
    }
}

TEST(iCorbeilColor, ColourTextsCarryTheirSwatches)
{
    const std::shared_ptr<platform::Image> swatch = iCorbeilImage::createColorSwatch(Qt::red);
    ASSERT_TRUE(swatch);
    EXPECT_EQ(swatch->size(), QSizeF(20, 11));
    const QImage pixels = swatch->bitmap();
    const qreal scale = pixels.width() / 20.0;
    const auto pixel = [&](qreal x, qreal y) {
        return pixels.pixelColor(int(x * scale), int(y * scale));
    };
    EXPECT_EQ(pixel(10, 5.5), QColor(Qt::red));
    EXPECT_EQ(pixel(0.2, 0.2).alpha(), 0);                      // outside the rounded corner
    EXPECT_GT(pixel(10, 10.6).alpha(), 0);                      // the shadow below the bar
    EXPECT_LT(pixel(10, 0.4).alpha(), pixel(10, 10.6).alpha()); // and none above

    iCorbeilImage graphic;
    graphic.setPrimaryColorName(VQRed);
    graphic.setPrimaryColor(Qt::red);
    const platform::AttributedString primary = graphic.primaryColorAsString();
    EXPECT_EQ(primary.string(), QStringLiteral("Red ") + platform::AttachmentCharacter);
    const auto held = primary.attribute(platform::AttachmentAttributeName, 4)
                          .value<std::shared_ptr<platform::Image>>();
    ASSERT_TRUE(held);
    EXPECT_EQ(held->size(), QSizeF(20, 11));
    EXPECT_EQ(held->bitmap(), pixels);

    graphic.setSecondaryColors({QVariantMap{{VQName, VQGreen}, {VQColorActual, QColor(Qt::green)}},
                                QVariantMap{{VQName, VQPhotoCorner}}});
    EXPECT_EQ(graphic.secondaryColorsAsString().string(),
              QStringLiteral("Green ") + platform::AttachmentCharacter
                  + QStringLiteral(", Photo Corner ") + platform::AttachmentCharacter);
    graphic.setSecondaryColors({});
    EXPECT_TRUE(graphic.secondaryColorsAsString().isEmpty());
}
