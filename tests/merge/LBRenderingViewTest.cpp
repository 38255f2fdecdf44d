// The sheet renderer drawn into pictures: which cells fill for which records, the clip
// with bleed, crop marks, culling, the grid, a turned sheet, and the design left as it
// was.

#include "MergeTestSupport.h"

#include "graphics/LBTextArea.h"
#include "layouts/LBPageView.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBImage.h"

#include <set>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

// A graphic that counts its drawings.
class CountingRectangle : public LBRectangle
{
public:
    void drawInView(CanvasView* view, bool isSelected) override
    {
        ++draws;
        LBRectangle::drawInView(view, isSelected);
    }
    int draws = 0;
};

} // namespace

struct FillCase
{
    const char* name;
    qint64 records;
    qint64 repeat;
    qint64 startLabel;
    qint64 direction;
    qint64 page;
    bool onScreen;
    std::set<qint64> filled; // cells, counted from 1 along rows
    QList<qint64> recordsAsked;
    qint64 pages;
};

class CellFillTest : public SheetTest, public ::testing::WithParamInterface<FillCase>
{};

TEST_P(CellFillTest, FillsTheCellsOfItsRecords)
{
    const FillCase& c = GetParam();
    services->records = c.records;
    document->setLabelRepeatCount(c.repeat);
    layout()[DimensionInfo::startLabel] = c.startLabel;
    layout()[DimensionInfo::labelDirection] = c.direction;
    square(QRectF(10, 10, 20, 20));
    auto view = renderer(c.page);
    if (!c.onScreen)
        view->setPrintingDocument(document.get());
    const QImage image = draw(*view, c.onScreen);
    for (qint64 cell = 1; cell <= 6; ++cell) {
        const QPointF at = cellOrigin((cell - 1) / 3, (cell - 1) % 3) + QPointF(20, 20);
        EXPECT_EQ(isRed(image, at), c.filled.count(cell) == 1) << c.name << ": cell " << cell;
    }
    EXPECT_EQ(services->asked, c.recordsAsked) << c.name;
    EXPECT_EQ(view->numberOfPages(), c.pages) << c.name;
    view->setPrintingDocument(nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Sheets, CellFillTest,
    ::testing::Values(
        FillCase{"six records", 6, 1, 1, 1, 0, false, {1, 2, 3, 4, 5, 6}, {0, 1, 2, 3, 4, 5}, 1},
        FillCase{"start at 3, first sheet", 6, 1, 3, 1, 0, false, {3, 4, 5, 6}, {0, 1, 2, 3}, 2},
        FillCase{"start at 3, second sheet", 6, 1, 3, 1, 1, false, {1, 2}, {4, 5}, 2},
        FillCase{"repeat 3 of 2", 2, 3, 1, 1, 0, false, {1, 2, 3, 4, 5, 6}, {0, 0, 0, 1, 1, 1}, 1},
        FillCase{"down the columns", 2, 1, 1, 2, 0, false, {1, 4}, {0, 1}, 1},
        FillCase{"no records on screen", 0, 1, 1, 1, 0, true, {1}, {0}, 1},
        FillCase{"no records printed", 0, 1, 1, 1, 0, false, {}, {}, 1}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace_if(
            name.begin(), name.end(), [](char ch) { return !std::isalnum(ch); }, '_');
        return name;
    });

TEST_F(SheetTest, PageCountOfAThirtyUpSheet)
{
    setSheet(10, 3, 100, 50);
    services->records = 30;
    layout()[DimensionInfo::startLabel] = 5;
    EXPECT_EQ(renderer()->numberOfPages(), 2);
    layout()[DimensionInfo::startLabel] = 1;
    EXPECT_EQ(renderer()->numberOfPages(), 1);
    services->records = 0;
    EXPECT_EQ(renderer()->numberOfPages(), 1);
    LBRenderingView::setPrintingCalibrationPage(true);
    services->records = 300;
    EXPECT_EQ(renderer()->numberOfPages(), 1);
}

TEST_F(SheetTest, RowsColumnsAndRepeatAreAtLeastOne)
{
    layout()[DimensionInfo::numRows] = 0;
    layout()[DimensionInfo::numColumns] = 0;
    document->setLabelRepeatCount(0);
    services->records = 4;
    EXPECT_EQ(renderer()->numberOfPages(), 4);
}

TEST_F(SheetTest, BleedGrowsTheClipOfEveryCell)
{
    services->records = 6;
    // Reaching 8 points left of the label: seen only where the bleed lets it out.
    square(QRectF(-8, 10, 20, 20));
    for (const auto& [size, seen] : {std::pair{0, false}, {1, false}, {3, true}, {7, false}}) {
        defaults().setObject(qint64(size), QStringLiteral("Bleed Size"));
        auto view = renderer();
        view->setPrintingDocument(document.get());
        const QImage image = draw(*view, false);
        view->setPrintingDocument(nullptr);
        EXPECT_EQ(isRed(image, QPointF(3, 20)), seen) << "bleed size " << size;
        EXPECT_TRUE(isRed(image, QPointF(12, 20))) << "bleed size " << size;
    }
}

TEST_F(SheetTest, ARecordsPictureIsCutAtItsCellEvenWhenTheDesignFitsIt)
{
    // The barcode's bounds lie inside the label; each record's picture, placed at its own
    // size where the barcode stands, reaches 20 points past the cell's right edge.
    services->records = 2;
    services->picture = [](const LBGraphic&, qint64) {
        QImage bitmap(QSize(40, 20), QImage::Format_ARGB32_Premultiplied);
        bitmap.fill(Qt::red);
        return platform::Image::fromBitmap(bitmap, QSizeF(40, 20));
    };
    auto barcode = LBBarcodeImage::withBarcodeType(LBCode128Barcode);
    barcode->setBoundsNoOtherChanges(QRectF(QPointF(80, 10), QSizeF(10, 10)));
    document->undoManager()->disableUndoRegistration();
    document->insertGraphic(barcode, 0, 1);
    document->undoManager()->enableUndoRegistration();
    auto view = renderer();
    const QImage image = draw(*view, false);
    EXPECT_TRUE(isRed(image, cellOrigin(0, 0) + QPointF(95, 20)));
    // In the gap between the first two cells, and inside the second cell's left edge.
    EXPECT_FALSE(isRed(image, cellOrigin(0, 0) + QPointF(102, 20)));
    EXPECT_FALSE(isRed(image, cellOrigin(0, 1) + QPointF(5, 20)));
}

TEST_F(SheetTest, CropMarksOnlyAtTheSheetsOuterEdges)
{
    setSheet(2, 3, 100, 50);
    layout()[DimensionInfo::topMargin] = 40;
    layout()[DimensionInfo::leftMargin] = 40;
    layout()[DimensionInfo::pageWidth] = 400;
    layout()[DimensionInfo::pageHeight] = 200;
    services->records = 6;
    defaults().setObject(true, QStringLiteral("Draw Crop Marks"));
    auto view = renderer();
    view->setPrintingDocument(document.get());
    const QImage image = draw(*view, false, 4.0);
    view->setPrintingDocument(nullptr);
    const auto dark = [&image](double x, double y) {
        return qGray(image.pixel(QPointF(x * 4, y * 4).toPoint())) < 200;
    };
    // Left of the first column at the top edge of row 1; right of the last column.
    EXPECT_TRUE(dark(25, 40.5));
    EXPECT_TRUE(dark(40 + 3 * 100 + 10 + 15, 40.5));
    // Above row 1 at a cell's left edge; below the last row.
    EXPECT_TRUE(dark(40.5, 25));
    EXPECT_TRUE(dark(40.5, 40 + 2 * 50 + 5 + 15));
    // None between the cells.
    EXPECT_FALSE(dark(142.5, 95.5));
    EXPECT_FALSE(dark(142.5, 40.5 - 15 + 100));
}

TEST_F(SheetTest, GraphicsOutsideTheDirtyAreaAreNotDrawnUnlessTheirTextMayGrowIntoIt)
{
    services->records = 6;
    auto counted = std::make_shared<CountingRectangle>();
    counted->setBoundsNoOtherChanges(QRectF(10, 10, 20, 20));
    document->undoManager()->disableUndoRegistration();
    document->insertGraphic(counted, 0, 1);
    auto box = std::make_shared<LBTextArea>();
    box->setBoundsNoOtherChanges(QRectF(60, 10, 20, 20));
    box->setTextResizeMask(LBTextArea::ResizeRightSide);
    document->insertGraphic(box, 0, 1);
    document->undoManager()->enableUndoRegistration();

    auto view = renderer();
    // The first cell only: the square draws once; in every other cell it is culled.
    draw(*view, false, 1.0, QRectF(0, 0, 110, 60));
    EXPECT_EQ(counted->draws, 1);
    // Right of the text box within the first cell, outside the square.
    counted->draws = 0;
    EXPECT_TRUE(view->textObjectForDrawing(box) == box);
    draw(*view, false, 1.0, QRectF(95, 20, 10, 10));
    EXPECT_EQ(counted->draws, 0);
}

// A sheet of a million cells, zoomed in on four of them: only the cells in view (and at most
// one more row and column beside them) are visited, in either fill order.
TEST_F(SheetTest, OnlyTheCellsInViewAreVisited)
{
    setSheet(1000, 1000, 100, 50);
    services->records = 2000000;
    square(QRectF(10, 10, 20, 20));
    const QRectF dirty(cellOrigin(500, 500), QSizeF(205, 105)); // rows and columns 500, 501
    for (const qint64 direction : {qint64(1), DimensionInfo::ColumnByColumn}) {
        layout()[DimensionInfo::labelDirection] = direction;
        auto view = renderer();
        services->asked.clear();
        QImage image(dirty.size().toSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.translate(-dirty.topLeft());
            platform::GraphicsContext context(&painter, true);
            context.setBaseTransform(painter.transform());
            platform::GraphicsContext::Scope scope(context);
            view->drawRect(dirty);
        }
        const auto record = [direction](qint64 row, qint64 column) {
            return direction == 1 ? row * 1000 + column : column * 1000 + row;
        };
        EXPECT_LE(services->asked.size(), 16) << direction;
        for (const auto& [row, column] : {std::pair{500, 500}, {500, 501}, {501, 500}, {501, 501}})
            EXPECT_TRUE(services->asked.contains(record(row, column)))
                << direction << ": " << row << ", " << column;
        EXPECT_TRUE(isRed(image, QPointF(20, 20))) << direction;
        EXPECT_TRUE(isRed(image, QPointF(105 + 20, 55 + 20))) << direction;
    }
}

TEST_F(SheetTest, GridBelowOrAboveTheGraphicsWhenTheDocumentPrintsIt)
{
    services->records = 1;
    document->setGridSpacing(9.0, false);
    document->setPrintGrid(true);
    square(QRectF(0, 0, 100, 50), Qt::red);
    // Lines every 9 points from the sheet's corner, drawn half a point on: x = 18.5.
    for (const auto& [key, over] : {std::pair{"Show Grid Below", false}, {"Show Grid", true}}) {
        defaults().removeObjectForKey(QStringLiteral("Show Grid"));
        defaults().removeObjectForKey(QStringLiteral("Show Grid Below"));
        defaults().setObject(true, QString::fromLatin1(key));
        auto view = renderer();
        const QImage image = draw(*view, false, 8.0);
        const QColor atLine = image.pixelColor(QPoint(147, 20 * 8));
        EXPECT_EQ(atLine.red() > 200 && atLine.green() < 60, !over) << key;
        // Below the graphics it shows in the filled labels only; above, over the sheet.
        const QColor outside = image.pixelColor(QPoint(147, 120 * 8));
        EXPECT_EQ(outside.green() < 250, over) << key;
    }
}

TEST_F(SheetTest, DrawingLeavesEveryGraphicWhereItWas)
{
    services->records = 6;
    const auto a = square(QRectF(10, 10, 20, 20));
    const auto b = square(QRectF(40, 5, 30, 10), Qt::blue);
    defaults().setObject(qint64(2), QStringLiteral("Bleed Size"));
    defaults().setObject(true, QStringLiteral("Draw Crop Marks"));
    auto view = renderer();
    view->setPostnetBarcodeLocation(3);
    view->setFIMType(2);
    const QRectF fim = view->FIMBarcode()->bounds();
    view->setPrintingDocument(document.get());
    view->preloadHiResImages();
    draw(*view, false);
    view->setPrintingDocument(nullptr);
    EXPECT_EQ(a->bounds(), QRectF(10, 10, 20, 20));
    EXPECT_EQ(b->bounds(), QRectF(40, 5, 30, 10));
    EXPECT_EQ(view->FIMBarcode()->bounds(), fim);
}

TEST_F(SheetTest, ATurnedSheetSwapsItsSidesAndDrawsAcross)
{
    setSheet(1, 1, 100, 50);
    square(QRectF(0, 0, 10, 10));
    auto view = renderer();
    view->rotateView();
    EXPECT_EQ(view->bounds(), QRectF(0, 0, 70, 120));
    const QImage image = draw(*view, false);
    // The label's top-left corner at (10, 10) of the unturned sheet lands at the right.
    EXPECT_TRUE(isRed(image, QPointF(70 - 10 - 5, 15)));
    EXPECT_FALSE(isRed(image, QPointF(15, 15)));
}

// Whether any pixel of the area is darker than light grey: printed text.
static bool inkIn(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 200)
                return true;
    return false;
}

TEST_F(SheetTest, AuxiliaryInformationPrintsBelowTheCells)
{
    setSheet(1, 1, 100, 50);
    layout()[DimensionInfo::pageHeight] = 200;
    layout()[DimensionInfo::pageWidth] = 300;
    auto view = renderer();
    view->setDrawAuxiliaryInfo(3);
    const QImage image = draw(*view, false);
    // Baseline 200 - min(200 - 10 - 50 - 3, 51) = 149: ink just above it, centred and right.
    EXPECT_TRUE(inkIn(image, QRect(140, 140, 20, 9)));
    EXPECT_TRUE(inkIn(image, QRect(200, 140, 57, 9)));
    EXPECT_FALSE(inkIn(image, QRect(0, 100, 300, 35)));
}

// A repaint of part of the sheet (the view clips it to that part) draws the part of the line
// it reaches as the whole sheet's drawing does, however little of the letters it holds.
TEST_F(SheetTest, AuxiliaryInformationIsDrawnInEveryRepaintThatReachesIt)
{
    setSheet(1, 1, 100, 50);
    layout()[DimensionInfo::pageHeight] = 200;
    layout()[DimensionInfo::pageWidth] = 300;
    auto view = renderer();
    view->setDrawAuxiliaryInfo(3);
    const QImage whole = draw(*view, true);
    // The line's top and bottom rows of ink, each repainted alone, and the line's middle.
    int top = -1;
    int bottom = -1;
    for (int y = 100; y < 200; ++y) {
        if (inkIn(whole, QRect(0, y, 300, 1))) {
            top = top < 0 ? y : top;
            bottom = y;
        }
    }
    ASSERT_GE(top, 0) << "no line under the cells";
    for (const QRect part : {QRect(0, top, 300, 1), QRect(0, bottom, 300, 1),
                             QRect(0, 0, 300, top + 1), QRect(140, (top + bottom) / 2, 20, 1)}) {
        QImage image(whole.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setClipRect(part);
            platform::GraphicsContext context(&painter, true);
            context.setBaseTransform(painter.transform());
            platform::GraphicsContext::Scope scope(context);
            view->drawRect(part);
        }
        EXPECT_EQ(image.copy(part), whole.copy(part))
            << part.x() << ", " << part.y() << ", " << part.width() << " x " << part.height();
    }
}

TEST_F(SheetTest, AuxiliaryInformationStaysOffTheLabelsOverANarrowMargin)
{
    // 20 points under the cells: the baseline 3 points under them would let the letters
    // rise onto the last row; they stand on a lower baseline instead.
    setSheet(1, 1, 100, 50);
    layout()[DimensionInfo::pageHeight] = 80;
    layout()[DimensionInfo::pageWidth] = 300;
    auto view = renderer();
    view->setDrawAuxiliaryInfo(3);
    const QImage image = draw(*view, false);
    EXPECT_FALSE(inkIn(image, QRect(0, 0, 300, 61)));
    EXPECT_TRUE(inkIn(image, QRect(140, 62, 20, 12)));
    EXPECT_TRUE(inkIn(image, QRect(200, 62, 57, 12)));
}

TEST_F(SheetTest, UndoRegistrationIsOffWhileDrawingAndBackAfter)
{
    auto view = renderer();
    EXPECT_TRUE(document->undoManager()->isUndoRegistrationEnabled());
    draw(*view, false);
    EXPECT_TRUE(document->undoManager()->isUndoRegistrationEnabled());
}

TEST_F(SheetTest, DuringALiveResizeASheetOfSeveralCellsDrawsNoContents)
{
    services->records = 6;
    square(QRectF(10, 10, 20, 20));
    QWidget pageView;
    auto view = renderer();
    view->setParent(&pageView);
    platform::NotificationCenter::defaultCenter().post(LBPageViewToggleLiveResize,
                                                       &LBPageView::LiveResizeStarted);
    EXPECT_TRUE(view->inLiveResize());
    EXPECT_FALSE(isRed(draw(*view, true), cellOrigin(0, 0) + QPointF(20, 20)));
    platform::NotificationCenter::defaultCenter().post(LBPageViewToggleLiveResize,
                                                       &LBPageView::LiveResizeEnded);
    EXPECT_TRUE(isRed(draw(*view, true), cellOrigin(0, 0) + QPointF(20, 20)));
    view->setParent(nullptr);
}

TEST_F(SheetTest, APageImageIsDrawnByTheRendererFromTheFirstLabel)
{
    services->records = 6;
    layout()[DimensionInfo::startLabel] = 4;
    square(QRectF(10, 10, 20, 20));
    const platform::ImagePtr page =
        platform::Image::fromData(document->TIFFRepresentationForPage(0));
    ASSERT_TRUE(page);
    EXPECT_EQ(page->size(), QSizeF(100, 50)); // the label, without margins
    EXPECT_TRUE(isRed(page->bitmap(), QPointF(20, 20)));
    EXPECT_EQ(DimensionInfo::integer(layout(), DimensionInfo::startLabel), 4);
}
