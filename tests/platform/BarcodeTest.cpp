// Barcodes through the zint adapter: every symbology encodes into a vector picture whose
// bars sit on whole modules; rejected texts give the library's reason and no picture.

#include "platform/drawing/Barcode.h"
#include "platform/drawing/GraphicsContext.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using platform::Barcode;
using platform::GraphicsContext;
using platform::Image;
using Symbology = platform::Barcode::Symbology;

namespace {

bool onWholeModules(qreal value, qreal x)
{
    const qreal modules = value / x;
    return std::abs(modules - std::round(modules)) < 1e-6;
}

QImage drawn(const platform::ImagePtr& image, qreal scale)
{
    QImage target((image->size() * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::transparent);
    QPainter painter(&target);
    GraphicsContext context(&painter);
    GraphicsContext::Scope scope(context);
    image->drawInRect(QRectF(QPointF(0, 0), image->size() * scale));
    return target;
}

} // namespace

TEST(Barcode, EverySymbologyEncodesOnWholeModules)
{
    const struct
    {
        Symbology symbology;
        const char* text;
        bool hasText; // human-readable text under the bars
    } cases[] = {
        {Symbology::Code39, "666205110038", true},   {Symbology::Code128, "ABC123", true},
        {Symbology::ExtendedCode39, "ABC123", true}, {Symbology::Interleaved2of5, "12345", true},
        {Symbology::Industrial2of5, "12345", true},  {Symbology::UPCA, "12345678901", true},
        {Symbology::UPCE, "0123456", true},          {Symbology::EAN, "123456789012", true},
        {Symbology::EAN, "1234567", true},           {Symbology::POSTNET, "12345", false},
        {Symbology::MSIPlessey, "12345", true},      {Symbology::Plessey, "12345", true},
        {Symbology::Codabar, "A12345A", true},       {Symbology::RoyalMail, "ABC123", false},
        {Symbology::PLANET, "12345678901", false},   {Symbology::JapanPost, "1234567", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto barcode =
            Barcode::barcodeWithBarcodeID(c.symbology, QString::fromLatin1(c.text));
        ASSERT_TRUE(barcode->succeeded()) << qPrintable(barcode->errorText());
        EXPECT_LT(barcode->errorCode(), Barcode::kFirstError);
        const platform::ImagePtr picture = barcode->barcodeImage();
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->representationKind(), Image::RepresentationKind::SVG);
        EXPECT_EQ(picture->pixelsWide(), 0) << "never a bitmap";

        const qreal x = Barcode::moduleWidth(c.symbology);
        ASSERT_FALSE(barcode->bars().isEmpty());
        qreal left = HUGE_VAL, right = -HUGE_VAL;
        for (const QRectF& bar : barcode->bars()) {
            EXPECT_TRUE(onWholeModules(bar.left(), x) && onWholeModules(bar.width(), x))
                << bar.left() << " " << bar.width();
            left = std::min(left, bar.left());
            right = std::max(right, bar.right());
        }
        // The bars span the symbol's modules (less a closing space); the picture adds
        // only quiet zones and text.
        EXPECT_LE(right - left, barcode->modules() * x + 1e-6);
        EXPECT_GE(right - left, (barcode->modules() - 1) * x - 1e-6);
        EXPECT_GE(picture->size().width() + 1e-6, barcode->modules() * x);
        EXPECT_TRUE(onWholeModules(picture->size().width(), x) || c.hasText);

        // Drawn, a bar is dark in the middle of its width and height.
        const QImage out = drawn(picture, 4);
        const QRectF first = barcode->bars().first();
        EXPECT_GT(qAlpha(out.pixel((first.center() * 4).toPoint())), 200);
    }
}

TEST(Barcode, ModulesAreOnePointForLinearCodesAnd22AnInchForPostalOnes)
{
    const auto code128 =
        Barcode::barcodeWithBarcodeID(Symbology::Code128, QStringLiteral("ABC123"));
    // Code 128 without quiet zones of its own: exactly its modules wide, a point each.
    EXPECT_EQ(Barcode::moduleWidth(Symbology::Code128), 1.0);
    EXPECT_NEAR(code128->barcodeImage()->size().width(), code128->modules(), 1e-6);

    const auto postnet = Barcode::barcodeWithBarcodeID(Symbology::POSTNET, QStringLiteral("12345"));
    EXPECT_DOUBLE_EQ(Barcode::moduleWidth(Symbology::POSTNET), 72.0 / 44.0);
    // Bar and gap a module each: the bars stand two modules apart, 11 an inch.
    const QList<QRectF>& bars = postnet->bars();
    QList<qreal> lefts;
    for (const QRectF& bar : bars)
        lefts.append(bar.left());
    std::sort(lefts.begin(), lefts.end());
    ASSERT_EQ(lefts.size(), 5 * 5 + 5 + 2) << "five digits, a check digit, two frame bars";
    for (qsizetype i = 1; i < lefts.size(); ++i)
        EXPECT_NEAR(lefts[i] - lefts[i - 1], 2 * 72.0 / 44.0, 1e-6);
    // Standard heights: the tall bars of POSTNET are about 0.125 inch.
    qreal tallest = 0;
    for (const QRectF& bar : bars)
        tallest = std::max(tallest, bar.height());
    EXPECT_NEAR(tallest, 9.0, 1.0);
}

TEST(Barcode, ARejectedTextGivesTheReasonAndNoPicture)
{
    const auto barcode =
        Barcode::barcodeWithBarcodeID(Symbology::EAN, QStringLiteral("123456789012"));
    ASSERT_TRUE(barcode->succeeded());
    EXPECT_TRUE(barcode->errorText().isEmpty());

    for (const char* rejected : {"12345X", "", "12345678901234567890"}) {
        barcode->setDataString(QString::fromLatin1(rejected));
        EXPECT_GE(barcode->errorCode(), Barcode::kFirstError) << rejected;
        EXPECT_FALSE(barcode->succeeded());
        EXPECT_EQ(barcode->barcodeImage(), nullptr);
        EXPECT_TRUE(barcode->bars().isEmpty());
        EXPECT_FALSE(barcode->errorText().isEmpty()) << rejected;
        EXPECT_EQ(barcode->dataString(), QString::fromLatin1(rejected));
    }
    // A later good text encodes again.
    barcode->setDataString(QStringLiteral("1234567"));
    EXPECT_TRUE(barcode->succeeded());
    EXPECT_TRUE(barcode->barcodeImage());

    const auto upc = Barcode::barcodeWithBarcodeID(Symbology::UPCA, QStringLiteral("ABCDEFGHIJK"));
    EXPECT_FALSE(upc->succeeded());
    EXPECT_TRUE(upc->errorText().contains(QLatin1String("nvalid"))) << qPrintable(upc->errorText());
}

TEST(Barcode, PrintedBarcodesHoldNoImage)
{
    const auto barcode =
        Barcode::barcodeWithBarcodeID(Symbology::EAN, QStringLiteral("123456789012"));
    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(1200);
        writer.setPageSize(QPageSize(QPageSize::A6));
        QPainter painter(&writer);
        GraphicsContext context(&painter);
        GraphicsContext::Scope scope(context);
        painter.scale(1200.0 / 72.0, 1200.0 / 72.0);
        barcode->barcodeImage()->drawInRect(
            QRectF(QPointF(20, 20), barcode->barcodeImage()->size()));
    }
    EXPECT_FALSE(pdf.contains("/Subtype /Image") || pdf.contains("/Subtype/Image"));
    // What was printed is the barcode: read back, a bar is there.
    const platform::ImagePtr printed = Image::fromData(pdf);
    ASSERT_TRUE(printed && printed->loadError().isEmpty());
    const QImage seen = printed->forcedBitmapImageRep();
    const QRectF bar = barcode->bars().first().translated(20, 20);
    EXPECT_LT(qGray(seen.pixel(bar.center().toPoint())), 60);
}

TEST(Barcode, TheCaptionIsDrawnCentredUnderTheBars)
{
    const auto barcode =
        Barcode::barcodeWithBarcodeID(Symbology::Code128, QStringLiteral("ABC123"));
    ASSERT_TRUE(barcode->succeeded());
    qreal bottom = 0;
    for (const QRectF& bar : barcode->bars())
        bottom = std::max(bottom, bar.bottom());
    const QImage out = drawn(barcode->barcodeImage(), 4);
    QRect caption;
    for (int y = int(std::ceil(bottom * 4)) + 1; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x)
            if (qAlpha(out.pixel(x, y)) > 128)
                caption = caption.united(QRect(x, y, 1, 1));
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_NEAR(caption.center().x() / 4.0, barcode->barcodeImage()->size().width() / 2.0, 1.0);
    // Capitals and digits of a few points.
    EXPECT_GT(caption.height() / 4.0, 4.0);
    EXPECT_LT(caption.height() / 4.0, 12.0);
}
