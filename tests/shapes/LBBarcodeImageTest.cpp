// Barcode graphics: every symbology id with its sample text and exact module sizes, the
// text rules on top of the library, rejected texts, the data sources' field names, the
// dashed frame instead of knobs, printing as vector, and the stored keys.

#include "../graphics/DrawingTestSupport.h"
#include "MessageLog.h"
#include "ShapeTestSupport.h"

#include "platform/core/PropertyList.h"
#include "platform/drawing/Barcode.h"
#include "shapes/LBBarcodeImage.h"

#include <gtest/gtest.h>

#include <cmath>

using platform::Barcode;

namespace {

bool onWholeModules(double value, double x)
{
    const double modules = value / x;
    return std::abs(modules - std::round(modules)) < 1e-6;
}

} // namespace

TEST(LBBarcodeImage, EveryIdEncodesItsSampleOnWholeModules)
{
    const double postal = 72.0 / 44.0;
    const struct
    {
        const char* sample;
        double x;      // points a module
        int quiet;     // modules the library adds beside the symbol (UPC and EAN text)
        bool postcode; // bars of standard heights, no text
    } ids[16] = {
        {"666205110038", 1, 0, false},    {"ABC123", 1, 0, false},
        {"ABC123", 1, 0, false},          {"12345", 1, 0, false},
        {"12345", 1, 0, false},           {"12345678901", 1, 18, false},
        {"0123456", 1, 16, false},        {"123456789012", 1, 18, false},
        {"1234567", 1, 14, false},        {"12345", postal, 0, true},
        {"12345", 1, 0, false},           {"12345", 1, 0, false},
        {"12345", 1, 0, false},           {"ABC123", postal, 0, true},
        {"12345678901", postal, 0, true}, {"1234567", postal, 0, true},
    };
    for (qint32 id = 0; id < 16; ++id) {
        SCOPED_TRACE(id);
        const auto barcode = LBBarcodeImage::withBarcodeType(id);
        EXPECT_EQ(barcode->barcodeType(), id);
        EXPECT_EQ(barcode->barcodeDataString(), ids[id].sample);
        EXPECT_EQ(barcode->dummyDataString(), ids[id].sample);
        EXPECT_EQ(barcode->specialImageType(), 5);
        EXPECT_EQ(barcode->barcodeDataSource(), 0);
        ASSERT_TRUE(barcode->isValidBarcode()) << barcode->barcodeError().toStdString();
        EXPECT_TRUE(barcode->barcodeError().isEmpty());

        // The picture is the library's vector picture, exactly (modules + quiet zones) × X
        // wide; every bar edge on a whole module.
        const LBGraphic::ImagePtr picture = barcode->imageOfType(0);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->representationKind(), platform::Image::RepresentationKind::SVG);
        const Barcode* library = barcode->barcode();
        ASSERT_TRUE(library);
        EXPECT_EQ(Barcode::moduleWidth(library->symbology()), ids[id].x);
        EXPECT_NEAR(picture->size().width(), (library->modules() + ids[id].quiet) * ids[id].x,
                    1e-9);
        EXPECT_EQ(barcode->barcodeImageSize(), picture->size());
        for (const QRectF& bar : library->bars()) {
            EXPECT_TRUE(onWholeModules(bar.left(), ids[id].x)
                        && onWholeModules(bar.width(), ids[id].x))
                << bar.left() << " " << bar.width();
        }
        if (ids[id].postcode) {
            EXPECT_LT(picture->size().height(), 15); // standard bar heights, no text
        }
    }
    // An id outside the table has no sample and no barcode.
    const auto unknown = LBBarcodeImage::withBarcodeType(16);
    EXPECT_TRUE(unknown->dummyDataString().isNull());
    EXPECT_FALSE(unknown->isValidBarcode());
    EXPECT_EQ(unknown->barcodeImageSize(), QSizeF(0, 0));
}

TEST(LBBarcodeImage, POSTNETKeepsTheDigitsOnly)
{
    const auto barcode = LBBarcodeImage::withBarcodeType(LBPOSTNETBarcode);
    EXPECT_EQ(barcode->barcodeDataString(), "12345");
    EXPECT_EQ(barcode->setBarcodeDataString(QStringLiteral("a1-2 3b4 -5x")), "12345");
    EXPECT_EQ(barcode->barcodeDataString(), "12345");
    EXPECT_EQ(barcode->setBarcodeDataString(QStringLiteral("ZIP 98101-1234")), "981011234");
    EXPECT_TRUE(barcode->isValidBarcode());
}

TEST(LBBarcodeImage, ANullTextClearsTheTextAndKeepsThePicture)
{
    const auto barcode = LBBarcodeImage::withBarcodeType(LBCode128Barcode);
    const LBGraphic::ImagePtr picture = barcode->imageOfType(0);
    EXPECT_TRUE(barcode->setBarcodeDataString(QString()).isNull());
    EXPECT_TRUE(barcode->barcodeDataString().isNull());
    EXPECT_EQ(barcode->imageOfType(0), picture);
    EXPECT_TRUE(barcode->isValidBarcode());
    EXPECT_FALSE(barcode->propertyListRepresentation().contains("BarcodeDataString"));
}

TEST(LBBarcodeImage, ARejectedTextNeverCountsAsABarcode)
{
    MessageLog log;
    // After a valid text: text, library object and picture stay; the reason is kept.
    const auto barcode = LBBarcodeImage::withBarcodeType(LBUPCABarcode);
    const LBGraphic::ImagePtr picture = barcode->imageOfType(0);
    const Barcode* library = barcode->barcode();
    EXPECT_TRUE(barcode->setBarcodeDataString(QStringLiteral("12345ABCDEF")).isNull());
    EXPECT_EQ(barcode->barcodeDataString(), "12345678901");
    EXPECT_EQ(barcode->imageOfType(0), picture);
    EXPECT_EQ(barcode->barcode(), library);
    EXPECT_TRUE(barcode->isValidBarcode());
    EXPECT_FALSE(barcode->barcodeError().isEmpty());
    EXPECT_TRUE(log.contains(QStringLiteral("12345ABCDEF")));
    // A good text afterwards encodes and clears the reason.
    EXPECT_EQ(barcode->setBarcodeDataString(QStringLiteral("03600029145")), "03600029145");
    EXPECT_TRUE(barcode->barcodeError().isEmpty());
    EXPECT_NE(barcode->imageOfType(0), picture);

    // As the first text: kept and stored, with no picture and no barcode size.
    const auto first = std::make_shared<LBBarcodeImage>();
    first->setBarcodeType(LBUPCABarcode);
    EXPECT_TRUE(first->setBarcodeDataString(QStringLiteral("not a number")).isNull());
    EXPECT_EQ(first->barcodeDataString(), "not a number");
    EXPECT_FALSE(first->isValidBarcode());
    EXPECT_FALSE(first->imageOfType(0));
    EXPECT_EQ(first->barcodeImageSize(), QSizeF(0, 0));
    EXPECT_EQ(first->propertyListRepresentation().value("BarcodeDataString"), "not a number");
    // Another failing text replaces it (there is no barcode to keep).
    EXPECT_TRUE(first->setBarcodeDataString(QStringLiteral("still not")).isNull());
    EXPECT_EQ(first->barcodeDataString(), "still not");
}

TEST(LBBarcodeImage, CodabarAndEANTextRules)
{
    const struct
    {
        qint32 type;
        const char* text;
        bool encodes;
    } cases[] = {
        // Codabar: start and stop characters are added when missing; the text stays.
        {LBCodabarBarcode, "40156", true},
        {LBCodabarBarcode, "A40156B", true},
        {LBCodabarBarcode, "c40156d", true},
        {LBCodabarBarcode, "A40156", false}, // a start but no stop: "A" inside the data
        // EAN-13 takes 12 or 13 digits (13 with a good check digit), EAN-8 7 or 8.
        {LBEAN13Barcode, "400638133393", true},
        {LBEAN13Barcode, "4006381333931", true},
        {LBEAN13Barcode, "4006381333932", false}, // wrong check digit
        {LBEAN13Barcode, "1234567", false},       // would quietly be an EAN-8
        {LBEAN13Barcode, "12345678901234", false},
        {LBEAN13Barcode, "40063813339X", false},
        {LBEAN8Barcode, "9638507", true},
        {LBEAN8Barcode, "96385074", true},
        {LBEAN8Barcode, "123456789012", false}, // would quietly be an EAN-13
        {LBEAN8Barcode, "123456", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto barcode = std::make_shared<LBBarcodeImage>();
        barcode->setBarcodeType(c.type);
        const QString result = barcode->setBarcodeDataString(QString::fromLatin1(c.text));
        EXPECT_EQ(barcode->isValidBarcode(), c.encodes) << barcode->barcodeError().toStdString();
        EXPECT_EQ(result.isNull(), !c.encodes);
        EXPECT_EQ(barcode->barcodeDataString(), c.text); // as typed, either way
        EXPECT_EQ(barcode->barcodeError().isEmpty(), c.encodes);
    }
    // An EAN of the wrong length says what it takes.
    const auto ean = std::make_shared<LBBarcodeImage>();
    ean->setBarcodeType(LBEAN13Barcode);
    ean->setBarcodeDataString(QStringLiteral("1234567"));
    EXPECT_TRUE(ean->barcodeError().contains(QLatin1String("12 digits")));
    // The symbols of the two EAN lengths differ as they should: 95 and 67 modules.
    const auto ean13 = LBBarcodeImage::withBarcodeType(LBEAN13Barcode);
    const auto ean8 = LBBarcodeImage::withBarcodeType(LBEAN8Barcode);
    EXPECT_EQ(ean13->barcode()->modules(), 95);
    EXPECT_EQ(ean8->barcode()->modules(), 67);
}

TEST(LBBarcodeImage, TheTypeIsKnownBeforeTheTextIsEncoded)
{
    // A type change makes a new library object for the text; the picture waits for the
    // next text.
    const auto barcode = LBBarcodeImage::withBarcodeType(LBCode128Barcode);
    const LBGraphic::ImagePtr picture = barcode->imageOfType(0);
    barcode->setBarcodeType(LBCode39Barcode);
    ASSERT_TRUE(barcode->barcode());
    EXPECT_EQ(barcode->barcode()->symbology(), Barcode::Symbology::Code39);
    EXPECT_EQ(barcode->imageOfType(0), picture);
    barcode->setBarcodeDataString(barcode->barcodeDataString());
    EXPECT_NE(barcode->imageOfType(0), picture);
}

TEST(LBBarcodeImage, ATextChangeIsUndoneWithItsPicture)
{
    RecordingDocument document;
    const auto barcode = LBBarcodeImage::withBarcodeType(LBCode128Barcode);
    barcode->setDocument(&document);
    const QSizeF before = barcode->barcodeImageSize();
    document.step([&] { barcode->setBarcodeDataString(QStringLiteral("A MUCH LONGER TEXT")); });
    const QSizeF after = barcode->barcodeImageSize();
    EXPECT_GT(after.width(), before.width());
    document.undo();
    EXPECT_EQ(barcode->barcodeDataString(), "ABC123");
    EXPECT_EQ(barcode->barcodeImageSize(), before);
    document.redo();
    EXPECT_EQ(barcode->barcodeDataString(), "A MUCH LONGER TEXT");
    EXPECT_EQ(barcode->barcodeImageSize(), after);
    // A rejected text records nothing.
    document.step([&] { barcode->setBarcodeDataString(QStringLiteral("\u4e2d\u6587")); });
    document.undo();
    EXPECT_EQ(barcode->barcodeDataString(), "ABC123");
}

TEST(LBBarcodeImage, FieldNamesOfTheDataSources)
{
    const auto barcode = LBBarcodeImage::withBarcodeType(LBCode39Barcode);
    const struct
    {
        qint64 index;
        const char* import;
        const char* contact;
    } cases[] = {
        {0, "Import 1", "Code"},      {1, "Import 2", "Code 1"},    {2, "Import 3", "Code 2"},
        {3, "Import 4", "Home Code"}, {4, "Import 5", "Work Code"}, {19, "Import 20", nullptr},
        {20, nullptr, nullptr},       {-1, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        barcode->setImportFieldIndex(c.index);
        barcode->setAddressBookFieldIndex(c.index);
        EXPECT_EQ(barcode->importFieldStr(), c.import ? QString::fromUtf8(c.import) : QString());
        EXPECT_EQ(barcode->addressBookFieldStr(),
                  c.contact ? QString::fromUtf8(c.contact) : QString());
        EXPECT_EQ(barcode->importFieldStr().isNull(), !c.import);
    }
    barcode->setBarcodeDataSource(LBBarcodeImage::ContactCodeField);
    EXPECT_EQ(barcode->barcodeDataSource(), 2);
}

TEST(LBBarcodeImage, NoKnobsButADashedFrame)
{
    FakeCanvas canvas;
    const auto barcode = LBBarcodeImage::withBarcodeType(LBCode39Barcode);
    barcode->setBounds(QRectF(QPointF(20, 20), barcode->barcodeImageSize()));
    EXPECT_EQ(barcode->knobMask(), 0);
    EXPECT_EQ(barcode->knobUnderPoint({20, 20}), 0);
    const QList<PaintCall> calls =
        recordDrawing([&] { barcode->drawHandlesInView(&canvas, QRectF(0, 0, 300, 300)); });
    ASSERT_EQ(calls.size(), 1);
    EXPECT_EQ(calls[0].name(), "stroke #8080ff");
    EXPECT_EQ(calls[0].area, barcode->drawingBounds());
    barcode->setHidden(true);
    EXPECT_TRUE(recordDrawing([&] {
                    barcode->drawHandlesInView(&canvas, QRectF(0, 0, 300, 300));
                }).isEmpty());
}

TEST(LBBarcodeImage, PrintedAsVectorAtItsOwnSize)
{
    const auto barcode = LBBarcodeImage::withBarcodeType(LBEAN13Barcode);
    barcode->makeNaturalSize();
    barcode->setBounds(QRectF(QPointF(30, 40), barcode->barcodeImageSize()));
    const QByteArray pdf = printedPdf([&] { barcode->drawInView(nullptr, false); });
    EXPECT_FALSE(holdsImage(pdf));
    // What was printed is the barcode, its first bar where the library put it.
    const platform::ImagePtr printed = platform::Image::fromData(pdf);
    ASSERT_TRUE(printed && printed->loadError().isEmpty());
    const QImage seen = printed->forcedBitmapImageRep();
    const QRectF bar = barcode->barcode()->bars().first().translated(30, 40);
    const auto pixel = [&seen](QPointF p) { return seen.pixel(int(p.x()), int(p.y())); };
    EXPECT_TRUE(qAlpha(pixel(bar.center())) > 200 && qGray(pixel(bar.center())) < 60);
    EXPECT_LT(qAlpha(pixel(bar.center() - QPointF(4, 0))), 60); // the quiet zone
    // Renderings at print resolution keep a barcode at its size: its bars stay on modules.
    EXPECT_EQ(barcode->hiResImageScale(300.0 / 72.0), 1.0);
    EXPECT_EQ(std::make_shared<LBImage>()->hiResImageScale(300.0 / 72.0), 300.0 / 72.0);
}

TEST(LBBarcodeImage, StoredKeys)
{
    registerShapeClasses();
    MessageLog log;
    const auto barcode = LBBarcodeImage::withBarcodeType(LBCodabarBarcode);
    barcode->setBarcodeDataString(QStringLiteral("40156"));
    barcode->setBarcodeDataSource(LBBarcodeImage::ImportField);
    barcode->setImportFieldIndex(7);
    barcode->setAddressBookFieldIndex(3);
    const QVariantMap stored = barcode->propertyListRepresentation();
    EXPECT_EQ(stored.value("Class"), "LBBarcodeImage");
    EXPECT_EQ(stored.value("ImageType"), "5");
    EXPECT_EQ(stored.value("BarcodeType"), 12);
    EXPECT_EQ(stored.value("BarcodeDataSource"), 1);
    EXPECT_EQ(stored.value("BarcodeDataString"), "40156");
    EXPECT_EQ(stored.value("BarcodeImportFieldIndex"), 7);
    EXPECT_EQ(stored.value("BarcodeABFieldIndex"), 3);

    // Read back through the text form: the type before the text, the text encoded again.
    const auto text = platform::PropertyList::toText(stored);
    const auto loaded =
        std::dynamic_pointer_cast<LBBarcodeImage>(LBGraphic::graphicWithPropertyListRepresentation(
            platform::PropertyList::fromText(text)->toMap()));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->barcodeType(), LBCodabarBarcode);
    EXPECT_TRUE(loaded->isValidBarcode());
    EXPECT_EQ(loaded->barcodeImageSize(), barcode->barcodeImageSize());
    EXPECT_EQ(loaded->importFieldIndex(), 7);
    EXPECT_EQ(platform::PropertyList::toText(loaded->propertyListRepresentation()), text);
    // Copies encode their own.
    const auto copy = std::dynamic_pointer_cast<LBBarcodeImage>(barcode->copy());
    EXPECT_NE(copy->barcode(), barcode->barcode());
    EXPECT_EQ(copy->barcodeDataString(), "40156");
    EXPECT_EQ(copy->barcodeDataSource(), 1);
    EXPECT_TRUE(log.messages.isEmpty()) << log.messages.join('\n').toStdString();

    // Without a text there is no picture; a stored kind other than 5 is kept, yet it is a
    // barcode.
    const auto bare =
        std::dynamic_pointer_cast<LBBarcodeImage>(LBGraphic::graphicWithPropertyListRepresentation(
            {{"Class", "LBBarcodeImage"}, {"BarcodeType", "9"}, {"ImageType", "8"}}));
    ASSERT_TRUE(bare);
    EXPECT_FALSE(bare->imageOfType(0));
    EXPECT_FALSE(bare->isValidBarcode());
    EXPECT_EQ(bare->barcodeType(), LBPOSTNETBarcode);
    EXPECT_EQ(bare->specialImageType(), 5);
    EXPECT_EQ(bare->propertyListRepresentation().value("ImageType"), "8");
}
