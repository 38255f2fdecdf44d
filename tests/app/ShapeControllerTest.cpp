// The shapes palette: what each cell makes (through a design controller with its default
// shape settings), the resource cells, its settings keys, its thumbnails in the library
// matrix, refused drops and a drag out of a cell.

#include "FavoritesFixture.h"

#include "app/LBShapeController.h"

#include "document/LBDocument.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Drag.h"
#include "platform/ui/SegmentedControl.h"
#include "shapes/LBArrowHead.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBLine.h"
#include "shapes/LBModifiedShape.h"
#include "shapes/LBTriangle.h"
#include "shapes/ShapeClasses.h"
#include "window/LBEditController.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QSlider>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class ShapesPalette : public ::testing::Test
{
protected:
    ShapesPalette()
    {
        registerShapeClasses();
        edit.defaults().shapeStrokeWidth = 3.0;
        edit.defaults().shapeStrokeColor = QColor(Qt::darkGreen);
        edit.defaults().lineStrokeWidth = 1.0;
        palette->setEditController(&edit);
    }

    LBEditController edit;
    const std::unique_ptr<LBShapeController> palette = LBShapeController::makeShapes();
};

qint64 angleOf(const LBGraphic& graphic)
{
    if (const auto* line = dynamic_cast<const LBLine*>(&graphic))
        return line->angle();
    if (const auto* triangle = dynamic_cast<const LBTriangle*>(&graphic))
        return triangle->angle();
    if (const auto* head = dynamic_cast<const LBArrowHead*>(&graphic))
        return head->angle();
    return -1;
}

} // namespace

TEST_F(ShapesPalette, CellsMakeTheirShapesWithTheirSettings)
{
    const struct
    {
        qint64 cell;
        const char* className;
        qint64 alternate;
        qint64 angle;
        double strokeWidth;
        qint64 arrow1;
        qint64 arrow2;
        double arrowSize; // 0: not looked at
        double modifier1; // 0: not looked at
    } cells[] = {
        {0, "LBRectangle", 0, -1, 3.0, 0, 0, 0, 0},
        {2, "LBLine", 0, 90, 1.0, 0, 0, 0, 0},
        {4, "LBLine", 0, 135, 1.0, 0, 0, 0, 0},
        {7, "LBTriangle", 0, 180, 3.0, 0, 0, 0, 0},
        {9, "LBTriangle", 0, 270, 3.0, 0, 0, 0, 0},
        {11, "LBPolygon", 0, -1, 3.0, 0, 0, 0, 0},
        {12, "LBPolygon", 0, -1, 3.0, 0, 0, 0, 8.0},
        {14, "LBRoundedRect", 1, -1, 3.0, 0, 0, 0, 0},
        {17, "LBStarPolygon", 1, -1, 3.0, 0, 0, 0, 0},
        {27, "LBArrowHead", 0, 270, 3.0, 0, 0, 0, 0},
        {28, "LBLine", 0, 135, 2.0, LBLine::BarbedArrow, LBLine::NoArrow, 0.75, 0},
        {29, "LBLine", 0, 135, 2.0, LBLine::BarbedArrow, LBLine::BarbedArrow, 0.75, 0},
        {31, "LBArrow", 1, -1, 3.0, 0, 0, 0, 0},
        {32, "LBCurvedLine", 0, 0, 1.0, 0, 0, 0, 0},
        {38, "LBReverseRoundedRect", 0, -1, 3.0, 0, 0, 0, 0},
    };
    for (const auto& c : cells) {
        SCOPED_TRACE(c.cell);
        const QList<LBGraphicPtr> graphics = palette->graphicsForCell(c.cell);
        ASSERT_EQ(graphics.size(), 1);
        const LBGraphic& g = *graphics.first();
        EXPECT_EQ(g.graphicType(), QString::fromLatin1(c.className));
        EXPECT_DOUBLE_EQ(g.strokeLineWidth(), c.strokeWidth);
        EXPECT_EQ(angleOf(g), c.angle);
        if (const auto* modified = dynamic_cast<const LBModifiedShape*>(&g)) {
            EXPECT_EQ(modified->alternateShape(), c.alternate);
            if (c.modifier1 > 0) {
                EXPECT_DOUBLE_EQ(modified->modifier1(), c.modifier1);
            }
        }
        if (const auto* line = dynamic_cast<const LBLine*>(&g)) {
            EXPECT_EQ(line->arrow1Type(), c.arrow1);
            EXPECT_EQ(line->arrow2Type(), c.arrow2);
            if (c.arrowSize > 0) {
                EXPECT_DOUBLE_EQ(line->arrow1Size(), c.arrowSize);
                EXPECT_DOUBLE_EQ(line->arrow2Size(), c.arrowSize);
            }
        }
    }
    // Every cell makes something; each call a new graphic.
    for (qint64 cell = 0; cell < LBShapeController::CellCount; ++cell)
        EXPECT_FALSE(palette->graphicsForCell(cell).isEmpty()) << cell;
    EXPECT_NE(palette->graphicsForCell(0).first(), palette->graphicsForCell(0).first());
    EXPECT_TRUE(palette->graphicsForCell(59).isEmpty());
    EXPECT_TRUE(palette->graphicsForCell(-1).isEmpty());
}

TEST_F(ShapesPalette, ResourceCellsReadTheirNumberPlusOneWithTheDefaultShapeSettings)
{
    EXPECT_EQ(LBShapeController::resourcePathForCell(39), QStringLiteral(":/shapes/Shape40"));
    EXPECT_EQ(LBShapeController::resourcePathForCell(58), QStringLiteral(":/shapes/Shape59"));
    for (qint64 cell = LBShapeController::FirstResourceCell; cell < LBShapeController::CellCount;
         ++cell) {
        SCOPED_TRACE(cell);
        QFile resource(LBShapeController::resourcePathForCell(cell));
        ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
        const auto stored = LBDocument::graphicsForData(resource.readAll());
        ASSERT_TRUE(stored);
        const QList<LBGraphicPtr> graphics = palette->graphicsForCell(cell);
        ASSERT_EQ(graphics.size(), stored->graphics.size());
        for (qsizetype i = 0; i < graphics.size(); ++i) {
            EXPECT_EQ(graphics.at(i)->graphicType(), stored->graphics.at(i)->graphicType());
            EXPECT_DOUBLE_EQ(graphics.at(i)->strokeLineWidth(), 3.0);
            EXPECT_EQ(graphics.at(i)->strokeColor(), QColor(Qt::darkGreen));
        }
    }
}

TEST_F(ShapesPalette, WithoutADesignNoCellMakesAnything)
{
    const std::unique_ptr<LBShapeController> alone = LBShapeController::makeShapes();
    EXPECT_TRUE(alone->graphicsForCell(0).isEmpty());
    EXPECT_TRUE(alone->graphicsForCell(45).isEmpty());
    EXPECT_DOUBLE_EQ(alone->documentZoomFactor(), 1.0);
    // A double-click without a design inserts nothing and does not fail.
    alone->processDoubleClickAtRow(0, 0);
}

TEST_F(ShapesPalette, KeysThumbnailsAndCellSize)
{
    const std::pair<qint64, const char*> keys[] = {
        {0, "Shapes Collection Index"}, {1, nullptr},           {2, nullptr}, {3, nullptr},
        {4, "Shapes Outline Height"},   {5, "Shape Cell Size"}, {6, nullptr}};
    for (const auto& [kind, key] : keys)
        EXPECT_EQ(palette->preferenceKeyOfType(kind), key ? QString::fromLatin1(key) : QString())
            << kind;
    EXPECT_EQ(palette->graphicCount(), 59);
    ASSERT_EQ(palette->thumbnails().size(), 59);
    for (qint64 cell = 0; cell < 59; ++cell)
        EXPECT_FALSE(palette->thumbnails().at(cell).image().isNull()) << cell;

    // The cell size as registered, then as the zoom slider sets it, kept for the next
    // palette.
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    LBAppController::registerDefaults();
    defaults.removeObjectForKey(QStringLiteral("Shape Cell Size"));
    const std::unique_ptr<LBShapeController> sized = LBShapeController::makeShapes();
    EXPECT_EQ(sized->matrix()->cellSize(), QSizeF(55, 55));
    EXPECT_EQ(sized->zoomSlider()->value(), 55);
    sized->zoomSlider()->setValue(80);
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("Shape Cell Size")), QStringLiteral("{80, 80}"));
    EXPECT_EQ(sized->matrix()->cellSize(), QSizeF(80, 80));
    EXPECT_EQ(LBShapeController::makeShapes()->matrix()->cellSize(), QSizeF(80, 80));
    defaults.removeObjectForKey(QStringLiteral("Shape Cell Size"));
}

TEST_F(ShapesPalette, RefusesDropsAndDragsACellOut)
{
    LBLibraryMatrix* matrix = palette->matrix();
    EXPECT_FALSE(matrix->acceptsDrags());
    palette->mainView()->resize(240, 400);
    palette->mainView()->show();
    QApplication::processEvents();
    EXPECT_FALSE(matrix->acceptDrops());
    QMimeData data;
    data.setData(platform::mimeTypeForPasteboardType(QStringLiteral("Quarn Print Line")), "{}");
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.ignore();
    QApplication::sendEvent(matrix, &enter);
    EXPECT_FALSE(enter.isAccepted());

    // A drag of 4 points does not start; one of 5 carries the cell's graphics.
    QStringList types;
    QByteArray dragged;
    platform::Drag::setRunner([&](platform::Drag& drag) {
        types = drag.pasteboard().types();
        dragged = drag.pasteboard().dataForType(types.value(0));
        return Qt::CopyAction;
    });
    QTest::mousePress(matrix, Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QTest::mouseMove(matrix, QPoint(24, 20));
    EXPECT_TRUE(types.isEmpty());
    QTest::mouseMove(matrix, QPoint(25, 20));
    QTest::mouseRelease(matrix, Qt::LeftButton, Qt::NoModifier, QPoint(25, 20));
    platform::Drag::setRunner(nullptr);
    EXPECT_EQ(types, QStringList({QStringLiteral("Quarn Print Line"), platform::TIFFPboardType}));
    const auto list = LBDocument::graphicsForData(dragged);
    ASSERT_TRUE(list);
    ASSERT_EQ(list->graphics.size(), 1);
    EXPECT_EQ(list->graphics.first()->graphicType(), QStringLiteral("LBRectangle"));
}

// In the design drawer, in a support folder of its own (where the favourites would keep
// their store).
using ShapesInTheDrawer = FavoritesFixture;

TEST_F(ShapesInTheDrawer, TheMatrixShowsTheCellsRefusesDropsAndADoubleClickInserts)
{
    {
        LBDocument document;
        const auto [edit, drawer] =
            showDesignDrawer(document, 0, [] { return LBShapeController::makeShapes(); });
        ASSERT_NE(edit, nullptr);
        ASSERT_NE(drawer, nullptr);
        auto* shapes = dynamic_cast<LBShapeController*>(drawer->browser(0));
        ASSERT_NE(shapes, nullptr);
        EXPECT_EQ(shapes->editController(), edit);
        EXPECT_TRUE(shapes->mainView()->isVisible());
        // No collections: no outline, no buttons to add or remove them or items.
        EXPECT_TRUE(shapes->outlineView()->isHidden());
        EXPECT_TRUE(shapes->collectionControl()->isHidden());
        EXPECT_TRUE(shapes->graphicControl()->isHidden());

        // The 59 thumbnails fill the cells row by row (cell n shows picture n + 1); the
        // cells after them are empty.
        LBLibraryMatrix* matrix = shapes->matrix();
        EXPECT_TRUE(matrix->isVisible());
        EXPECT_EQ(matrix->controller(), shapes);
        EXPECT_EQ(matrix->cellSize(), QSizeF(55, 55));
        const qint64 columns = matrix->numberOfColumns();
        ASSERT_GE(columns, 1);
        EXPECT_EQ(matrix->numberOfRows(), 59 / columns + 1);
        for (qint64 i = 0; i < matrix->cellCount(); ++i)
            EXPECT_EQ(matrix->cellAtIndex(i)->image().isNull(), i >= 59) << i;
        EXPECT_EQ(matrix->cellAtIndex(58)->image().image(),
                  platform::Image::imageNamed(QStringLiteral("Shape59"))->forcedBitmapImageRep());
        const auto centreOf = [&](qint64 index) {
            return matrix->cellFrameAtRow(index / columns, index % columns).center();
        };

        // Graphics, a picture file and a picture: none is taken, and the favourites' store
        // is never made.
        QMimeData graphics;
        setDraggedGraphics(graphics, {rectangle(QRectF(0, 0, 20, 10))});
        QMimeData file;
        file.setUrls({QUrl::fromLocalFile(writeImage(QStringLiteral("f.png"), 8, 8))});
        QMimeData picture;
        picture.setImageData(QImage(writeImage(QStringLiteral("g.png"), 4, 4)));
        for (QMimeData* data : {&graphics, &file, &picture}) {
            EXPECT_EQ(drop(matrix, data, centreOf(1)), Qt::IgnoreAction);
            EXPECT_EQ(drop(matrix, data, centreOf(matrix->cellCount() - 1)), Qt::IgnoreAction);
        }
        EXPECT_TRUE(matrix->selectedIndexes().isEmpty());
        EXPECT_EQ(shapes->graphicCount(), 59);
        EXPECT_FALSE(QFileInfo::exists(storePath()));
        EXPECT_TRUE(alerts.isEmpty());

        // A double-click on cell 18 inserts its star into the design, selected.
        const qsizetype before = document.pageGraphics()[document.selectedLayerIndex()].size();
        send(matrix, QEvent::MouseButtonPress, centreOf(18), Qt::NoModifier);
        send(matrix, QEvent::MouseButtonRelease, centreOf(18), Qt::NoModifier, Qt::NoButton);
        send(matrix, QEvent::MouseButtonDblClick, centreOf(18), Qt::NoModifier);
        send(matrix, QEvent::MouseButtonRelease, centreOf(18), Qt::NoModifier, Qt::NoButton);
        const LBDocument::Layer& after = document.pageGraphics()[document.selectedLayerIndex()];
        ASSERT_EQ(after.size(), before + 1);
        EXPECT_EQ(after.first()->graphicType(), QStringLiteral("LBStar"));
        EXPECT_FALSE(QFileInfo::exists(storePath()));
        document.close();
    }
    QApplication::processEvents();
}
