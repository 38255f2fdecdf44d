// What a printed sheet adds: the POSTNET barcode and FIM mark, the shift of a delivery
// address, print images per record, per-record barcodes and the printer's offset.

#include "MergeTestSupport.h"

#include "graphics/LBTextArea.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBImage.h"

namespace {

platform::ImagePtr solidPicture(const QColor& color, const QSize& size = QSize(20, 20))
{
    QImage bitmap(size, QImage::Format_ARGB32_Premultiplied);
    bitmap.fill(color);
    return platform::Image::fromBitmap(bitmap, QSizeF(size));
}

} // namespace

class PrintImagesTest : public SheetTest
{
protected:
    PrintImagesTest()
    {
        layout()[DimensionInfo::numRows] = 1;
        layout()[DimensionInfo::numColumns] = 1;
        layout()[DimensionInfo::labelWidth] = 684;
        layout()[DimensionInfo::labelHeight] = 297;
    }
};

TEST_F(PrintImagesTest, EnvelopePostnetAtTheLowerRightAndTheFIMMark)
{
    auto view = renderer();
    view->setPostnetBarcodeLocation(3);
    ASSERT_TRUE(view->postnetBarcode());
    const QRectF b = view->postnetBarcode()->bounds();
    EXPECT_DOUBLE_EQ(b.x(), 414.0);
    EXPECT_DOUBLE_EQ(b.y(), 297.0 - b.height() - 10.0);
    EXPECT_EQ(view->postnetBarcode()->barcodeType(), LBPOSTNETBarcode);
    EXPECT_EQ(view->postnetBarcode()->barcodeDataSource(), LBBarcodeImage::ContactCodeField);

    view->setPostnetBarcodeLocation(1);
    EXPECT_EQ(view->postnetBarcode()->bounds().topLeft(), QPointF(0, 0));
    view->setPostnetBarcodeLocation(0);
    EXPECT_FALSE(view->postnetBarcode());

    view->setFIMType(2);
    ASSERT_TRUE(view->FIMBarcode());
    EXPECT_EQ(view->FIMBarcode()->bounds(), QRectF(504, 0, 36, 45));
    EXPECT_TRUE(view->FIMBarcode()->imageOfType(0));
    view->setFIMType(5);
    EXPECT_FALSE(view->FIMBarcode());
}

TEST_F(PrintImagesTest, DeliveryAddressShiftForItsBarcode)
{
    auto view = renderer();
    LBTextArea box;
    box.setTextBoxType(LBTextArea::DeliveryAddressBox);
    bool withBarcode = true;
    EXPECT_EQ(view->verticalBarcodeShiftForGraphic(box, &withBarcode), 0.0);
    EXPECT_FALSE(withBarcode);

    struct Case
    {
        qint64 location;
        qint64 alignment;
        double shiftInHeights; // of the barcode
        double extra;
    };
    for (const Case& c : {Case{1, 0, 1.0, 7.0}, Case{1, 1, 0.5, 3.5}, Case{1, 2, 0.0, 0.0},
                          Case{2, 0, 0.0, 0.0}, Case{2, 1, -1.0, 0.0}, Case{2, 2, -2.0, 0.0}}) {
        view->setPostnetBarcodeLocation(c.location);
        const double h = view->postnetBarcode()->bounds().height();
        box.setTextBlockVerticalAlignment(c.alignment);
        EXPECT_DOUBLE_EQ(view->verticalBarcodeShiftForGraphic(box, &withBarcode),
                         c.shiftInHeights * h + c.extra)
            << "location " << c.location << ", alignment " << c.alignment;
        EXPECT_TRUE(withBarcode);
    }
    LBTextArea ordinary;
    EXPECT_EQ(view->verticalBarcodeShiftForGraphic(ordinary, &withBarcode), 0.0);
    EXPECT_FALSE(withBarcode);
}

TEST_F(PrintImagesTest, AContactPictureWithEffectsGetsAPrintImageForEachRecord)
{
    services->records = 3;
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
    services->picture = [&](const LBGraphic&, qint64 record) {
        return solidPicture(colours[std::clamp<qint64>(record, 0, 2)]);
    };
    auto image = std::make_shared<LBImage>();
    image->setImage(solidPicture(Qt::gray), 0);
    image->setBoundsNoOtherChanges(QRectF(10, 10, 20, 20));
    image->setSpecialImageType(LBImage::ContactPicture);
    image->setBrightness(0.1);
    ASSERT_TRUE(image->shouldCreateHiResImageWhenPrinting());
    document->undoManager()->disableUndoRegistration();
    document->insertGraphic(image, 0, 1);
    document->undoManager()->enableUndoRegistration();
    layout()[DimensionInfo::numColumns] = 3;
    layout()[DimensionInfo::labelWidth] = 100;
    layout()[DimensionInfo::labelHeight] = 50;

    auto view = renderer();
    view->setPrintingDocument(document.get());
    view->preloadHiResImages();
    view->prepareRecords(0, 2);
    ASSERT_EQ(view->hiResImageArray().size(), 3);
    for (qint64 r = 0; r < 3; ++r) {
        const auto* print = static_cast<const LBImage*>(view->hiResImageArray().at(r).get());
        EXPECT_EQ(print->sourceGraphicForHiResImage(), image);
        EXPECT_EQ(print->contactIndexForHiResImage(), r);
        EXPECT_TRUE(print->scaledForPrinting());
    }
    // Each record's cell draws its own.
    const QImage sheet = draw(*view, false);
    for (qint64 r = 0; r < 3; ++r) {
        const QColor c = sheet.pixelColor((cellOrigin(0, r) + QPointF(20, 20)).toPoint());
        const QColor expected = colours[r];
        EXPECT_EQ(c.red() > 128, expected.red() > 128)
            << "record " << r << ": " << c.name().toStdString();
        EXPECT_EQ(c.green() > 128, expected.green() > 128)
            << "record " << r << ": " << c.name().toStdString();
        EXPECT_EQ(c.blue() > 128, expected.blue() > 128)
            << "record " << r << ": " << c.name().toStdString();
    }
    view->endPage();
    EXPECT_TRUE(view->hiResImageArray().isEmpty());
    view->setPrintingDocument(nullptr);
}

TEST_F(PrintImagesTest, PerRecordBarcodesAreFoundBySourceAndRecord)
{
    services->records = 2;
    services->picture = [](const LBGraphic&, qint64 record) {
        return solidPicture(record == 0 ? Qt::red : Qt::blue, QSize(30, 10));
    };
    auto barcode = LBBarcodeImage::withBarcodeType(LBCode128Barcode);
    barcode->setBarcodeDataSource(LBBarcodeImage::ImportField);
    barcode->setBoundsNoOtherChanges(
        QRectF(5, 5, barcode->bounds().width(), barcode->bounds().height()));
    document->undoManager()->disableUndoRegistration();
    document->insertGraphic(barcode, 0, 1);
    document->undoManager()->enableUndoRegistration();
    layout()[DimensionInfo::numColumns] = 2;
    layout()[DimensionInfo::labelWidth] = 100;
    layout()[DimensionInfo::labelHeight] = 50;

    auto view = renderer();
    view->setPrintingDocument(document.get());
    view->preloadHiResImages();
    view->prepareRecords(0, 1);
    ASSERT_EQ(view->barcodeImageArray().size(), 2);
    const QImage sheet = draw(*view, false);
    EXPECT_TRUE(isRed(sheet, cellOrigin(0, 0) + QPointF(10, 8)));
    const QColor second = sheet.pixelColor((cellOrigin(0, 1) + QPointF(10, 8)).toPoint());
    EXPECT_GT(second.blue(), 200);
    EXPECT_LT(second.red(), 60);
    view->setPrintingDocument(nullptr);
}

TEST_F(PrintImagesTest, ThePrintersOffsetMovesEveryPage)
{
    platform::UserDefaults::standardUserDefaults().setObject(
        QVariantList{QVariantMap{{"printerName", "Other"}, {"printerAdjustment", "{5, 5}"}},
                     QVariantMap{{"printerName", "Office"}, {"printerAdjustment", "{-3, 2}"}}},
        QStringLiteral("Printer Calibration Array"));
    auto view = renderer();
    qint64 first = 0, count = 0;
    ASSERT_TRUE(view->knowsPageRange(QStringLiteral("Office"), &first, &count));
    EXPECT_EQ(first, 1);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(view->rectForPage(1), view->bounds().translated(-3, 2));
    EXPECT_EQ(view->pageNum(), 0);

    auto unknown = renderer();
    unknown->knowsPageRange(QStringLiteral("Elsewhere"), &first, &count);
    EXPECT_EQ(unknown->printerCalibrationAdjustment(), QPointF());
}

TEST_F(PrintImagesTest, AContactsPictureIsFittedFromTheTopLeftCornerKeepingItsAspect)
{
    auto image = std::make_shared<LBImage>();
    image->setImage(solidPicture(Qt::gray), 0);
    image->setBoundsNoOtherChanges(QRectF(10, 20, 30, 30));
    image->setSpecialImageType(LBImage::ContactPicture);
    auto view = renderer();
    struct Case
    {
        QSize picture;
        QRectF fitted;
    };
    for (const Case& c : {Case{{40, 20}, {10, 20, 30, 15}}, Case{{10, 40}, {10, 20, 7.5, 30}},
                          Case{{10, 5}, {10, 20, 10, 5}}, Case{{8, 8}, {10, 20, 8, 8}}}) {
        services->picture = [&](const LBGraphic&, qint64) {
            return solidPicture(Qt::red, c.picture);
        };
        const LBGraphicPtr copy = view->substituteImageForGraphic(image);
        EXPECT_NE(copy, image);
        EXPECT_EQ(copy->bounds(), c.fitted) << c.picture.width() << " x " << c.picture.height();
    }
    services->picture = nullptr;
    EXPECT_FALSE(view->substituteImageForGraphic(image)->imageOfType(0));
    EXPECT_EQ(image->bounds(), QRectF(10, 20, 30, 30));
}
