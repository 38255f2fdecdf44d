// The image pop-up's title fitting and placement, the gradient button's highlight
// notification, the field rows' background and the colour view's tiles.

#include "controls/LBColorView.h"
#include "controls/LBDrawerBarView.h"
#include "controls/LBFieldCell.h"
#include "controls/LBGradientButton.h"
#include "controls/LBPopUpImageButton.h"
#include "platform/core/NotificationCenter.h"
#include "platform/drawing/Image.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>

#include <gtest/gtest.h>

TEST(LBPopUpImageButtonTest, FitStringShortensWithOneEllipsis)
{
    const QFont font = QApplication::font();
    const QFontMetricsF metrics(font);
    const QString title = QStringLiteral("Actual Size of the Label");
    // Fits: unchanged.
    EXPECT_EQ(LBPopUpImageButtonCell::fitString(title, metrics.horizontalAdvance(title), font),
              title);
    // Too wide: a prefix and one ellipsis, as long as fits.
    const qreal width = metrics.horizontalAdvance(QStringLiteral("Actual Si")) + 1;
    const QString fitted = LBPopUpImageButtonCell::fitString(title, width, font);
    ASSERT_TRUE(fitted.endsWith(QChar(0x2026)));
    EXPECT_EQ(fitted.count(QChar(0x2026)), 1);
    EXPECT_TRUE(title.startsWith(fitted.chopped(1)));
    EXPECT_LE(metrics.horizontalAdvance(fitted), width);
    EXPECT_GT(metrics.horizontalAdvance(title.left(fitted.size()) + QChar(0x2026)), width);
    // Nothing fits: one character is kept before the ellipsis.
    EXPECT_EQ(LBPopUpImageButtonCell::fitString(title, 1, font), QStringLiteral("A\u2026"));
    EXPECT_EQ(LBPopUpImageButtonCell::fitString(QStringLiteral("A"), 1, font), QStringLiteral("A"));
}

TEST(LBPopUpImageButtonTest, TitleRectIgnoresTheFourthOffset)
{
    LBPopUpImageButton button;
    button.resize(70, 20);
    button.setTitleRectOffsets(QRectF(19, 6, 12, 5));
    EXPECT_EQ(button.titleRect(), QRectF(19, 6, 39, 20));
    // A pull-down shows its first item; a pop-up its selected one.
    button.addItemsWithTitles({"72 dpi", "150 dpi"});
    button.selectItemAtIndex(1);
    EXPECT_EQ(button.displayedTitle(), "150 dpi");
    button.setPullsDown(true);
    EXPECT_EQ(button.displayedTitle(), "72 dpi");
    // Enabling reaches the inner cell.
    button.setEnabled(false);
    EXPECT_FALSE(button.cell()->buttonCell().enabled);
}

TEST(LBGradientButtonTest, HighlightNotificationOncePerChange)
{
    LBGradientButton button;
    button.resize(60, 24);
    int posted = 0;
    auto token = platform::NotificationCenter::defaultCenter().addObserver(
        LBGradientButtonHighlightChanged, button.cell(),
        [&](const platform::Notification&) { ++posted; });
    QImage shot(button.size(), QImage::Format_ARGB32);
    const auto repaint = [&] { button.render(&shot); };
    repaint();
    repaint();
    EXPECT_EQ(posted, 0);
    button.setDown(true);
    repaint();
    repaint();
    EXPECT_EQ(posted, 1);
    EXPECT_TRUE(button.cell()->isHighlighted());
    button.setDown(false);
    repaint();
    repaint();
    EXPECT_EQ(posted, 2);
}

TEST(LBGradientButtonTest, BandsAndDividers)
{
    LBGradientButton button;
    button.resize(40, 24);
    button.cell()->setDrawLeftDivider(true);
    QImage shot(button.size(), QImage::Format_ARGB32);
    button.render(&shot);
    EXPECT_EQ(shot.pixelColor(20, 0), QColor(0, 0, 0));       // top line
    EXPECT_EQ(shot.pixelColor(20, 23), QColor(0, 0, 0));      // bottom line
    EXPECT_EQ(shot.pixelColor(0, 12), QColor(0, 0, 0));       // left divider
    EXPECT_EQ(shot.pixelColor(20, 1), QColor(163, 167, 169)); // the light line
    EXPECT_EQ(shot.pixelColor(39, 1), QColor(163, 167, 169)); // no right divider
    button.cell()->setSelected(true);
    button.render(&shot);
    EXPECT_EQ(shot.pixelColor(20, 1), QColor(84, 85, 87));
}

TEST(LBFieldCellTest, BackgroundEndsInsideTheScrollView)
{
    const QSizeF caps(10, 16);
    // Within a scroll view 200 wide, an outline 200 wide: 13 points come off.
    auto background =
        LBFieldCell::backgroundForCellFrame(QRectF(20, 40, 180, 18), 200, 200.0, caps);
    ASSERT_TRUE(background.drawn);
    // y: 40 + ceil((18 + 16) / 2) = 57, a point lower for a picture taller than 15.
    EXPECT_EQ(background.left, QRectF(12, 58 - 16, 10, 16));
    EXPECT_EQ(background.right, QRectF(12 + 167 - 10 + 4, 42, 10, 16));
    EXPECT_EQ(background.middle, QRectF(22, 58 - 18, 167 - 20 + 4, 16));
    // The outline wider than its scroll view (scrolled across): the background still ends
    // 13 points inside what is visible.
    background = LBFieldCell::backgroundForCellFrame(QRectF(20, 40, 280, 18), 300, 200.0, caps);
    EXPECT_EQ(background.right.right(), 12 + 167 + 4);
    // Without a scroll view the view's width and 13 come off: nothing is left to draw.
    background =
        LBFieldCell::backgroundForCellFrame(QRectF(20, 40, 180, 18), 200, std::nullopt, caps);
    EXPECT_FALSE(background.drawn);
    // A short image sits without the extra point.
    background =
        LBFieldCell::backgroundForCellFrame(QRectF(0, 0, 100, 18), 100, 100.0, QSizeF(8, 14));
    EXPECT_EQ(background.left.bottom(), 16);
}

TEST(LBFieldCellTest, ImagesReplacedOnlyWhenDifferent)
{
    LBFieldCell cell;
    EXPECT_FALSE(cell.showImages());
    auto left = platform::Image::imageNamed("Knob");
    cell.setImageLeft(left, nullptr, left);
    EXPECT_EQ(cell.imageLeft(), left);
    EXPECT_EQ(cell.imageRight(), left);
    EXPECT_FALSE(cell.imageMiddle());
}

TEST(LBColorViewTest, TilesOverlapByAPointAndOnlyMeetTheDirtyRect)
{
    // A 30 × 20 view, a 11 × 11 picture: columns at 0, 10, 20, 30, rows at 0, 10, 20.
    const auto all =
        LBColorView::tilesForRect(QSizeF(30, 20), QSizeF(11, 11), QRectF(0, 0, 30, 20));
    EXPECT_EQ(all.size(), 3 * 2); // the column at 30 and the row at 20 only touch it
    EXPECT_EQ(all.first(), QRectF(0, 0, 11, 11));
    EXPECT_TRUE(all.contains(QRectF(10, 10, 11, 11)));
    const auto some =
        LBColorView::tilesForRect(QSizeF(30, 20), QSizeF(11, 11), QRectF(22, 0, 4, 4));
    ASSERT_EQ(some.size(), 1);
    EXPECT_EQ(some.first(), QRectF(20, 0, 11, 11));
    // A picture one point wide still ends, a tile a point.
    EXPECT_EQ(LBColorView::tilesForRect(QSizeF(5, 1), QSizeF(1, 1), QRectF(0, 0, 5, 1)).size(), 5);
}

TEST(LBColorViewTest, FillsWithItsColour)
{
    LBColorView view;
    view.resize(10, 10);
    QImage shot(view.size(), QImage::Format_ARGB32);
    view.render(&shot);
    EXPECT_EQ(shot.pixelColor(5, 5).red(), qRound(0.78 * 255));
    view.setColor(Qt::blue);
    view.render(&shot);
    EXPECT_EQ(shot.pixelColor(5, 5), QColor(Qt::blue));
}

TEST(LBDrawerBarViewTest, SlateBarDarkenedAtItsEdgesWithTheLabelCentred)
{
    LBDrawerBarView bar;
    bar.resize(200, 24);
    bar.setLabelString("Shapes");
    QImage shot(bar.size(), QImage::Format_ARGB32);
    bar.render(&shot);
    EXPECT_EQ(shot.pixelColor(3, 12), LBDrawerBarView::barColor());
    EXPECT_LT(shot.pixelColor(3, 0).red(), LBDrawerBarView::barColor().red());  // top shade
    EXPECT_LT(shot.pixelColor(3, 23).red(), LBDrawerBarView::barColor().red()); // bottom shade
    const QRectF label = bar.labelRect();
    EXPECT_NEAR(label.center().y(), 12 + 1, 0.5);
    bool white = false;
    for (int x = 70; x < 130 && !white; ++x)
        for (int y = int(label.top()); y < int(label.bottom()) && !white; ++y)
            white = shot.pixelColor(x, y) == QColor(Qt::white);
    EXPECT_TRUE(white);
}
