// The image buttons: picture strings, the tag's nudges, the darkened pressed picture, the
// alternate title colour and the half opacity of a disabled button.

#include "controls/LBCompImageButton.h"
#include "controls/LBImageButton.h"
#include "platform/drawing/Image.h"

#include <QImage>

#include <gtest/gtest.h>

using platform::Image;

namespace {

// A 10 × 10 picture: an opaque red square in its left half, clear elsewhere.
std::shared_ptr<Image> halfRedPicture()
{
    QImage bitmap(10, 10, QImage::Format_ARGB32);
    bitmap.fill(Qt::transparent);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 5; ++x)
            bitmap.setPixelColor(x, y, Qt::red);
    return Image::fromBitmap(bitmap, QSizeF(10, 10));
}

QImage grab(QWidget& widget)
{
    QImage shot(widget.size(), QImage::Format_ARGB32);
    shot.fill(Qt::transparent);
    widget.render(&shot, QPoint(), QRegion(), QWidget::DrawChildren);
    return shot;
}

} // namespace

TEST(LBCompImageButtonTest, OnlySixNamesReplaceThePictures)
{
    LBCompImageButton button;
    button.setComponentImageString("Knob|Knob1|Knob2|Knob3|Knob4|KnobGroup");
    const auto before = button.componentImages();
    ASSERT_TRUE(before[0] && before[5]);
    button.setComponentImageString("Knob1|Knob1|Knob1|Knob1|Knob1");
    EXPECT_EQ(button.componentImages(), before);
    button.setComponentImageString("Knob");
    EXPECT_EQ(button.componentImages(), before);
}

TEST(LBCompImageButtonTest, TagNudgesTitleAndImage)
{
    // A 60 × 40 button, a 10 × 10 image: with a title its bottom sits at 0.75 × 40 − 5 = 25
    // and the title's top there too; alone, each is centred.
    struct Case
    {
        qint64 tag;
        bool title, image;
        qreal titleTop;   // relative to the unshifted top
        qreal imageShift; // down is positive
    };
    const Case cases[] = {
        {1207, true, true, 7, -2},  {-1207, true, true, -7, -2}, {35, true, true, 5, 3},
        {0, true, true, 0, 0},      {1207, true, false, 207, 0}, {35, false, true, 0, 35},
        {-35, false, true, 0, -35},
    };
    for (const Case& c : cases) {
        LBCompImageButton button;
        button.resize(60, 40);
        button.setTag(c.tag);
        if (c.title)
            button.setTitle("Go");
        if (c.image)
            button.setImage(halfRedPicture());
        if (c.title) {
            const qreal base = c.image ? 25 : (40 - button.titleHeight()) / 2;
            EXPECT_DOUBLE_EQ(button.titleTop(), base + c.titleTop) << c.tag;
        }
        if (c.image) {
            const qreal bottom = c.title ? 25 : 25; // (40 + 10) / 2 alone
            EXPECT_EQ(button.imageRect(), QRectF(25, bottom - 10 + c.imageShift, 10, 10)) << c.tag;
        }
    }
}

TEST(LBImageButtonTest, OneNameGivesADarkenedPressedCopy)
{
    const auto picture = halfRedPicture();
    const auto darkened = LBImageButton::darkenedCopy(*picture);
    ASSERT_TRUE(darkened);
    EXPECT_EQ(darkened->size(), QSizeF(10, 10));
    const QImage pixels = darkened->bitmap().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(pixels.size(), QSize(20, 20)); // crisp at 2×
    const QColor opaque = pixels.pixelColor(4, 10);
    EXPECT_EQ(opaque.alpha(), 255);
    EXPECT_NEAR(opaque.red(), 127, 2);
    EXPECT_EQ(opaque.green(), 0);
    EXPECT_EQ(pixels.pixelColor(15, 10).alpha(), 0); // clear stays clear

    LBImageButton button;
    button.setComponentImageString("ZoomRight");
    ASSERT_TRUE(button.normalImage() && button.pressedImage());
    EXPECT_EQ(button.pressedImage()->size(), button.normalImage()->size());
    button.setComponentImageString("Knob|Knob1");
    EXPECT_TRUE(button.normalImage() && button.pressedImage());
    button.setComponentImageString("Knob|Knob1|Knob2");
    EXPECT_FALSE(button.normalImage());
    EXPECT_FALSE(button.pressedImage());
    // Named at construction, as an interface file named them.
    const LBImageButton named("Knob", nullptr);
    EXPECT_TRUE(named.pressedImage());
    const LBCompImageButton comp("Knob|Knob|Knob|Knob1|Knob1|Knob1", nullptr);
    EXPECT_TRUE(comp.componentImages()[5]);
}

TEST(LBImageButtonTest, AlternateTitleColourWhilePressed)
{
    LBImageButton button;
    button.resize(60, 20);
    button.setTitle("Labels");
    button.setTitleColor(Qt::black);
    button.setAlternateTitleColor(Qt::white);
    const auto colour = [&] {
        return button.attributedTitle()
            .attribute(platform::ForegroundColorAttributeName, 0)
            .value<QColor>();
    };
    button.setDown(true);
    grab(button);
    EXPECT_EQ(colour(), QColor(Qt::white));
    button.setDown(false);
    grab(button);
    EXPECT_EQ(colour(), QColor(Qt::black));
    // The first character's font survives a colour change.
    EXPECT_EQ(button.attributedTitle().attribute(platform::FontAttributeName, 0).value<QFont>(),
              button.font());
}

TEST(ImageButtonsTest, DisabledButtonsDrawAtHalfOpacity)
{
    LBImageButton image;
    LBCompImageButton comp;
    image.setComponentImageString("Knob");
    comp.setComponentImageString("Knob|Knob|Knob|Knob|Knob|Knob");
    for (QWidget* button : {static_cast<QWidget*>(&image), static_cast<QWidget*>(&comp)}) {
        button->resize(24, 8); // the comp button's caps apart
        EXPECT_EQ(grab(*button).pixelColor(0, 0).alpha(), 255);
        button->setEnabled(false);
        EXPECT_NEAR(grab(*button).pixelColor(0, 0).alpha(), 128, 1);
    }
}
