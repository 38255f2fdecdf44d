// The table cells' geometry and the blank pop-up's queued removal.

#include "controls/LBBlankPopUpButtonCell.h"
#include "controls/LBTableCells.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QStandardItemModel>
#include <QStyleOptionViewItem>

#include <gtest/gtest.h>

using platform::Image;

namespace {

std::shared_ptr<Image> picture(int width, int height, QColor colour = Qt::red)
{
    QImage bitmap(width, height, QImage::Format_ARGB32);
    bitmap.fill(colour);
    return Image::fromBitmap(bitmap, QSizeF(width, height));
}

QStyleOptionViewItem optionFor(const QRect& rect)
{
    QStyleOptionViewItem option;
    option.rect = rect;
    option.font = QApplication::font();
    option.fontMetrics = QFontMetrics(option.font);
    option.palette = QApplication::palette();
    return option;
}

struct RecordingOwner : PopUpMenuOwner
{
    int removals = 0;
    void removeTextPopupButton() override { ++removals; }
};

} // namespace

TEST(LBImageTextCellTest, TextPartWithAndWithoutAnIcon)
{
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), "Layer 1");
    LBImageTextCell cell;
    const QStyleOptionViewItem option = optionFor(QRect(0, 0, 200, 20));
    QLineEdit editor;
    QStyledItemDelegate plain;
    plain.updateEditorGeometry(&editor, option, model.index(0, 0));
    const int platformLeft = editor.geometry().left();
    // Without an icon: the editor starts 3 points in; the size is 3 points wider.
    cell.updateEditorGeometry(&editor, option, model.index(0, 0));
    EXPECT_EQ(editor.geometry().left(), platformLeft + 3);
    EXPECT_EQ(cell.sizeHint(option, model.index(0, 0)).width(),
              plain.sizeHint(option, model.index(0, 0)).width() + 3);
    EXPECT_TRUE(LBImageTextCell::imageFrameForCellFrame(option.rect, nullptr).isNull());
    // With a 16 × 12 icon: 2 points in, centred down; the text after icon and 3 points.
    const auto icon = picture(16, 12);
    cell.setImage(icon);
    EXPECT_EQ(LBImageTextCell::imageFrameForCellFrame(QRectF(0, 10, 200, 21), icon.get()),
              QRectF(2, 10 + 5, 16, 12));
    cell.updateEditorGeometry(&editor, option, model.index(0, 0));
    EXPECT_EQ(editor.geometry().left(), platformLeft + 19);
    EXPECT_EQ(cell.sizeHint(option, model.index(0, 0)).width(),
              plain.sizeHint(option, model.index(0, 0)).width() + 19);
}

TEST(LBCenteredTextCellTest, TextAndEditorInTheMiddle)
{
    QStandardItemModel model(1, 1);
    model.setData(model.index(0, 0), "Background");
    LBCenteredTextCell cell;
    const QFont font = QApplication::font();
    const QRectF rect = cell.drawingRectForBounds(QRectF(0, 0, 150, 60), "Background", font);
    const qreal height = QFontMetricsF(font).height();
    EXPECT_NEAR(rect.height(), height, 1);
    EXPECT_NEAR(rect.center().y(), 30, 0.5);
    QLineEdit editor;
    cell.updateEditorGeometry(&editor, optionFor(QRect(0, 0, 150, 60)), model.index(0, 0));
    EXPECT_NEAR(editor.geometry().center().y(), 30, 1.5);
    // Text taller than the cell keeps the platform's rectangle.
    EXPECT_EQ(cell.drawingRectForBounds(QRectF(0, 0, 150, 4), "Background", font),
              QRectF(0, 0, 150, 4));
}

TEST(LBTemplateCellTest, NothingWithoutAPictureAndAFramedCardWithOne)
{
    LBTemplateCell cell;
    QImage shot(120, 120, QImage::Format_ARGB32);
    shot.fill(Qt::transparent);
    {
        QPainter painter(&shot);
        cell.drawInteriorWithFrame(painter, QRectF(0, 0, 120, 120), true, nullptr, "Caption",
                                   Qt::blue);
    }
    for (int y = 0; y < 120; y += 3)
        for (int x = 0; x < 120; x += 3)
            ASSERT_EQ(shot.pixelColor(x, y).alpha(), 0) << x << "," << y;
    // A 40 × 30 picture: centred across, raised 6 points; framed 3 points wide when on.
    EXPECT_EQ(LBTemplateCell::imageRectForFrame(QRectF(0, 0, 120, 120), QSizeF(40, 30)),
              QRectF(40, 39, 40, 30));
    const auto image = picture(40, 30);
    {
        QPainter painter(&shot);
        cell.drawInteriorWithFrame(painter, QRectF(0, 0, 120, 120), true, image.get(), "Caption",
                                   Qt::blue);
    }
    EXPECT_EQ(shot.pixelColor(60, 54), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(40, 54), QColor(Qt::blue));
    EXPECT_GT(shot.pixelColor(60, 72).alpha(), 0); // the shadow below the card
    EXPECT_EQ(LBTemplateCell::captionRectForFrame(QRectF(0, 0, 120, 120)), QRectF(0, 102, 120, 14));
}

TEST(LBThumbnailCellTest, ScalesDownToTheLargestSize)
{
    LBThumbnailCell cell;
    EXPECT_EQ(cell.maxImageSize(), 80);
    const QRectF frame(0, 0, 120, 120);
    // 200 × 100 with limit 80 draws 80 × 40, centred and raised 9.
    EXPECT_EQ(cell.imageRectForFrame(frame, QSizeF(200, 100)), QRectF(20, 31, 80, 40));
    // Never enlarged; no limit at 0.
    EXPECT_EQ(cell.imageRectForFrame(frame, QSizeF(40, 20)).size(), QSizeF(40, 20));
    cell.setMaxImageSize(0);
    EXPECT_EQ(cell.imageRectForFrame(frame, QSizeF(200, 100)).size(), QSizeF(200, 100));
    EXPECT_EQ(LBThumbnailCell::textFrameForCellFrame(frame), QRectF(0, 101, 120, 14));
    EXPECT_EQ(LBThumbnailCell::roundRectToIntegerBoundaries(QRectF(0.5, 1.4, 80.5, 39.5)),
              QRectF(1, 1, 81, 40));
    cell.setDrawsBackground(false);
    EXPECT_FALSE(cell.drawsBackground());

    // Drawn: the picture fills its rectangle, nothing beyond.
    cell.setMaxImageSize(80);
    QImage shot(120, 120, QImage::Format_ARGB32);
    shot.fill(Qt::transparent);
    {
        QPainter painter(&shot);
        cell.drawThumbnailWithFrame(painter, frame, *picture(200, 100));
    }
    EXPECT_EQ(shot.pixelColor(21, 32), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(98, 69), QColor(Qt::red));
    EXPECT_EQ(shot.pixelColor(116, 50).alpha(), 0);
}

TEST(LBBlankPopUpButtonCellTest, RemovalQueuedOnTheCanvasFirst)
{
    RecordingOwner canvas, preview;
    LBBlankPopUpButtonCell cell;
    cell.setGraphicView(&canvas);
    cell.setCreateController(&preview);
    cell.dismissPopUp();
    EXPECT_EQ(canvas.removals, 0); // not before the event loop turns
    QApplication::processEvents();
    EXPECT_EQ(canvas.removals, 1);
    EXPECT_EQ(preview.removals, 0);
    cell.setGraphicView(nullptr);
    cell.dismissPopUp();
    QApplication::processEvents();
    EXPECT_EQ(preview.removals, 1);
    // Neither set: the menu only closes.
    cell.setCreateController(nullptr);
    QMenu menu;
    cell.setMenu(&menu);
    menu.popup(QPoint(0, 0));
    cell.dismissPopUp();
    QApplication::processEvents();
    EXPECT_FALSE(menu.isVisible());
    EXPECT_EQ(canvas.removals + preview.removals, 2);
}

TEST(LBBlankPopUpButtonCellTest, AMenuThatClosedLateLeavesANewerPopUpOfItsOwner)
{
    RecordingOwner owner;
    QMenu firstMenu, secondMenu;
    firstMenu.addAction(QStringLiteral("One"));
    secondMenu.addAction(QStringLiteral("Two"));
    LBBlankPopUpButtonCell first, second;
    first.setCreateController(&owner);
    second.setCreateController(&owner);
    first.setMenu(&firstMenu);
    second.setMenu(&secondMenu);

    first.popUp(QPoint(10, 10));
    first.dismissPopUp();
    second.popUp(QPoint(20, 20)); // before the first's removal runs
    QApplication::processEvents();
    EXPECT_EQ(owner.removals, 0);
    EXPECT_TRUE(secondMenu.isVisible());

    second.dismissPopUp();
    QApplication::processEvents();
    EXPECT_EQ(owner.removals, 1);
    EXPECT_FALSE(secondMenu.isVisible());
}
