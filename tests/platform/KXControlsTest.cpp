// The window's bar and image pop-ups: how the bar image is sliced, where the title goes,
// and what choosing from a pop-up and a pull-down does.

#include "platform/drawing/Image.h"
#include "platform/ui/KXControlBar.h"
#include "platform/ui/KXImagePopUpButton.h"
#include "platform/ui/KXPopUpImageButton.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace platform;

TEST(KXControlBarTest, BarImageStretchesInThreeSlices)
{
    struct Case
    {
        qreal barWidth, imageWidth;
        QRectF left, middle, right;
    };
    const Case cases[] = {
        // Thirds of a 30-point image: 10-point caps at both ends, the middle stretched.
        {200, 30, {0, 0, 10, 22}, {10, 0, 180, 22}, {190, 0, 10, 22}},
        // Caps are whole points.
        {100, 31, {0, 0, 10, 22}, {10, 0, 80, 22}, {90, 0, 10, 22}},
        // A bar narrower than both caps stretches the whole image.
        {15, 30, {}, {0, 0, 15, 22}, {}},
    };
    for (const Case& c : cases) {
        const auto slices = KXControlBar::slicesForRect(QRectF(0, 0, c.barWidth, 22), c.imageWidth);
        EXPECT_EQ(slices.left, c.left) << c.barWidth;
        EXPECT_EQ(slices.middle, c.middle) << c.barWidth;
        EXPECT_EQ(slices.right, c.right) << c.barWidth;
    }
}

TEST(KXControlBarTest, DrawsItsImageAcrossTheBar)
{
    QImage stripe(30, 4, QImage::Format_ARGB32);
    stripe.fill(Qt::red);
    KXControlBar bar;
    bar.resize(200, 20);
    bar.setBarImage(Image::fromBitmap(stripe, QSizeF(30, 4)));
    QImage shot(200, 20, QImage::Format_ARGB32);
    shot.fill(Qt::transparent);
    bar.render(&shot);
    for (int x : {1, 100, 198})
        EXPECT_EQ(shot.pixelColor(x, 10), QColor(Qt::red)) << x;
}

TEST(KXPopUpImageButtonTest, TitleRectIsTheBoundsInsetLeftTopRightBottom)
{
    KXPopUpImageButton button(nullptr, false);
    button.resize(60, 20);
    button.setTitleRectOffsets(QRectF(8, 6, 1, 0));
    EXPECT_EQ(button.titleRect(), QRectF(8, 6, 51, 14));
    button.setTitleRectOffsets(QRectF(19, 6, 12, 2));
    EXPECT_EQ(button.titleRect(), QRectF(19, 6, 29, 12));
}

TEST(KXPopUpImageButtonTest, ChoosingAnItemSelectsItAndSendsTheAction)
{
    KXPopUpImageButton button(nullptr, false);
    button.addItemsWithTitles({"50%", "100%", "200%"});
    button.setItemTag(2, 200);
    EXPECT_EQ(button.indexOfSelectedItem(), 0);
    QSignalSpy activated(&button, &PopUpButton::activated);
    button.chooseItemAtIndex(2);
    EXPECT_EQ(button.displayedTitle(), "200%");
    EXPECT_EQ(button.selectedTag(), 200);
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated[0][0].toInt(), 2);
    // A disabled item is not chosen.
    button.setItemEnabled(1, false);
    button.chooseItemAtIndex(1);
    EXPECT_EQ(button.indexOfSelectedItem(), 2);
    EXPECT_EQ(activated.size(), 1);
    EXPECT_TRUE(button.selectItemWithTag(200));
    EXPECT_FALSE(button.selectItemWithTag(7));
}

TEST(KXImagePopUpButtonTest, PullDownKeepsItsTitleItemAndNeverActsOnIt)
{
    KXImagePopUpButton button;
    button.addItemsWithTitles({"(dummy)", "Show Grid", "Snap to Grid"});
    button.setItemTag(0, 9999);
    QSignalSpy activated(&button, &PopUpButton::activated);
    button.chooseItemAtIndex(0);
    EXPECT_TRUE(activated.isEmpty());
    button.chooseItemAtIndex(2);
    ASSERT_EQ(activated.size(), 1);
    EXPECT_EQ(activated[0][0].toInt(), 2);
    EXPECT_EQ(button.displayedTitle(), "(dummy)");
    // A validator decides while auto-enabling is on, the items' own flags when it is off.
    button.setItemValidator([](int index) { return index != 2; });
    button.chooseItemAtIndex(2);
    EXPECT_EQ(activated.size(), 1);
    button.setAutoenablesItems(false);
    button.chooseItemAtIndex(2);
    EXPECT_EQ(activated.size(), 2);
}
