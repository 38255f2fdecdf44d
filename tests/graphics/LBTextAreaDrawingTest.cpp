// Drawing a text box: block alignment, curved and spiral text, clipping, the merge-field
// highlight, text painted with a gradient or picture, the selection outline, the address
// tab and badge, the box being edited and the text's shadow.

#include "TextAreaTestSupport.h"

#include "graphics/CanvasView.h"
#include "graphics/LBGradientFill.h"
#include "platform/drawing/Image.h"
#include "platform/text/LayoutManager.h"

#include <QBrush>
#include <QPainterPath>

#include <gtest/gtest.h>

using platform::AttributedString;
using platform::Range;
using Alignment = platform::ParagraphStyle::Alignment;

namespace {

const QRectF Page(0, 0, 400, 200);

// A canvas editing one graphic in place.
class EditingCanvas : public CanvasView
{
public:
    explicit EditingCanvas(LBGraphic* graphic) : _graphic(graphic) {}
    LBGraphic* editingGraphic() const override { return _graphic; }

private:
    LBGraphic* _graphic;
};

bool isGrey(QRgb pixel)
{
    return qAlpha(pixel) > 200 && qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel)
           && qRed(pixel) > 100 && qRed(pixel) < 160;
}

int countPixels(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& test)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.rect().contains(x, y) && test(image.pixel(x, y)))
                ++count;
    return count;
}

} // namespace

TEST(LBTextAreaDrawing, BlockAlignmentMovesTheText)
{
    // A 300-point box at x = 10 whose widest line (a POSTNET barcode under the address)
    // is 100 points.
    struct Case
    {
        const char* what;
        Alignment alignment;
        qint64 h, v;
        QSizeF delta;
    };
    const double h = TestLineHeight;
    const Case cases[] = {
        {"none", Alignment::Left, 0, 0, {0, 0}},
        {"left, opposite side", Alignment::Left, 2, 0, {188, 0}},
        {"left, centred", Alignment::Left, 1, 0, {92, 0}},
        {"right, opposite side", Alignment::Right, 2, 0, {-196, 0}},
        {"right, centred", Alignment::Right, 1, 0, {-100, 0}},
        {"centred text is not moved", Alignment::Center, 2, 2, {0, 100 - h}},
        {"bottom", Alignment::Left, 0, 2, {0, 100 - h}},
        {"middle", Alignment::Left, 0, 1, {0, (100 - h) / 2}},
        {"left, opposite side, bottom", Alignment::Left, 2, 2, {188, 100 - h}},
    };
    for (const Case& c : cases) {
        TextAreaFixture f;
        LBTextArea& box = *f.box;
        f.setText(alignedText(QStringLiteral("Ann"), c.alignment));
        box.setPostnetBarcodeWidth(100);
        f.document.quietly([&] {
            box.setTextBlockHorizontalAlignment(c.h);
            box.setTextBlockVerticalAlignment(c.v);
        });
        const QImage image = drawnImage(box, Page);
        EXPECT_NEAR(box.blockAlignmentDelta().width(), c.delta.width(), MetricTolerance) << c.what;
        EXPECT_NEAR(box.blockAlignmentDelta().height(), c.delta.height(), MetricTolerance)
            << c.what;
        // The ink moved with it (left text starts a padding in from the origin).
        if (c.alignment == Alignment::Left) {
            EXPECT_NEAR(inkBounds(image).left(), 10 + c.delta.width() + TestPadding, 2.0) << c.what;
        }
    }

    // Without a barcode the widest paragraph decides, the last one with all its characters.
    TextAreaFixture f;
    f.setText(alignedText(QStringLiteral("ab\nthe widest line"), Alignment::Left));
    f.document.quietly([&] { f.box->setTextBlockHorizontalAlignment(2); });
    drawnImage(*f.box, Page);
    EXPECT_NEAR(f.box->blockAlignmentDelta().width(),
                300 - (TestPadding + testAdvance("the widest line")) - 12, MetricTolerance);

    // Mixed alignments are not moved sideways.
    AttributedString mixed = alignedText(QStringLiteral("left\ncentre"), Alignment::Left);
    mixed.addAttribute(platform::ParagraphStyleAttributeName,
                       QVariant::fromValue(paragraphStyle(Alignment::Center)), Range(5, 6));
    f.setText(mixed);
    drawnImage(*f.box, Page);
    EXPECT_EQ(f.box->blockAlignmentDelta(), QSizeF(0, 0));
}

TEST(LBTextAreaDrawing, StraightTextIsClippedToTheBox)
{
    TextAreaFixture f;
    f.setText(testText(QStringLiteral("one\ntwo\nthree\nfour")));
    f.document.quietly([&] { f.box->setBounds(QRectF(10, 20, 300, 20)); });
    const QRect ink = inkBounds(drawnImage(*f.box, Page));
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.top(), 20);
    EXPECT_LE(ink.bottom(), 39);
    // Nothing of the shared layout stays attached, and the context is balanced.
    EXPECT_EQ(LBTextArea::textAreaLayoutManager().textStorage(), nullptr);
}

TEST(LBTextAreaDrawing, CurvedAndSpiralText)
{
    // A 200-point square box at (100, 50): centre (200, 150), radius 100. Text on the
    // outside of the circle reaches past the box; curved text is not cut at it.
    const QRectF area(0, 0, 400, 300);
    const QPointF centre(200, 150);
    const auto curved = [&](bool inside, bool spiral, qint64 startAngle) {
        TextAreaFixture f;
        f.setText(testText(QStringLiteral("CURVED TEXT ALONG A CIRCLE")));
        f.document.quietly([&] {
            f.box->setBounds(QRectF(100, 50, 200, 200));
            f.box->setIsCurved(true);
            f.box->setDrawsOnInsideOfCurve(inside);
            f.box->setIsSpiral(spiral);
            f.box->setSpiralRate(1.0);
            f.box->setCurveStartingAngle(startAngle);
            f.box->setTextBlockVerticalAlignment(2);
        });
        const QImage image = drawnImage(*f.box, area);
        EXPECT_EQ(f.box->blockAlignmentDelta(), QSizeF(0, 0));
        return image;
    };
    // The ink's distances from the centre.
    const auto radii = [&](const QImage& image) {
        double nearest = 1e9, farthest = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qAlpha(image.pixel(x, y)) > 0) {
                    const double d = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y());
                    nearest = std::min(nearest, d);
                    farthest = std::max(farthest, d);
                }
        return std::make_pair(nearest, farthest);
    };

    // Outside, from 270 degrees: from the left point clockwise over the top and past it,
    // the glyphs standing on the circle.
    const QImage outsideImage = curved(false, false, 270);
    const QRect outside = inkBounds(outsideImage);
    EXPECT_LT(outside.left(), 100);
    EXPECT_LT(outside.top(), 50);
    EXPECT_LT(outside.bottom(), 150);
    EXPECT_GT(outside.right(), 215);
    EXPECT_NEAR(radii(outsideImage).first, 100, 2);
    EXPECT_NEAR(radii(outsideImage).second, 100 + TestLineHeight, 2);
    // Inside, from 270 degrees: from the left point over the bottom, within the circle.
    const QImage insideImage = curved(true, false, 270);
    const QRect inside = inkBounds(insideImage);
    EXPECT_LE(inside.left(), 105);
    EXPECT_GT(inside.top(), 140);
    EXPECT_GE(inside.bottom(), 235);
    EXPECT_GT(inside.right(), 215);
    EXPECT_LE(radii(insideImage).second, 100 + TestDescent + 1.5);
    EXPECT_GE(radii(insideImage).first, 100 + TestDescent - TestAscent - 1.5);
    // Outside from 90 degrees: from the right point clockwise over the bottom.
    const QRect turned = inkBounds(curved(false, false, 90));
    EXPECT_GT(turned.right(), 300);
    EXPECT_GT(turned.bottom(), 250);
    EXPECT_GT(turned.top(), 140);
    EXPECT_LT(turned.left(), 185);
    // A spiral winds inward: its radius shrinks by 90 percent over the text.
    EXPECT_LT(radii(curved(false, true, 270)).first, 30);
}

namespace {

// Four bold bars, each wide enough to be painted with a picture or a gradient.
void setBars(TextAreaFixture& f)
{
    QFont big = testFont(40);
    big.setBold(true);
    f.setText(testText(QStringLiteral("IIII"), {{platform::FontAttributeName, big}}));
}

} // namespace

TEST(LBTextAreaDrawing, PaintedTextIgnoresCurvesAndAlignment)
{
    TextAreaFixture f;
    LBTextArea& box = *f.box;
    setBars(f);
    const QRect plain = inkBounds(drawnImage(box, Page));
    f.document.quietly([&] {
        box.setIsCurved(true);
        box.setTextGradientType(2);
        box.setTextGradientColor1(QColor(255, 0, 0));
        box.setTextGradientColor2(QColor(0, 0, 255));
        box.setTextGradientAngle(0);
    });
    const QImage painted = drawnImage(box, Page);
    const QRect ink = inkBounds(painted);
    // Straight, where the plain text is, through the glyph outlines only.
    EXPECT_NEAR(ink.left(), plain.left(), 2);
    EXPECT_NEAR(ink.top(), plain.top(), 2);
    EXPECT_NEAR(ink.bottom(), plain.bottom(), 2);
    const int coloured = countPixels(
        painted, ink, [](QRgb p) { return qAlpha(p) == 255 && (qRed(p) > 40 || qBlue(p) > 40); });
    EXPECT_GT(coloured, 200);
    EXPECT_EQ(countPixels(painted, QRect(ink.left(), ink.top(), ink.width(), ink.height()),
                          [](QRgb p) { return qAlpha(p) == 255 && qRed(p) < 20 && qBlue(p) < 20; }),
              0);
    // Between the letters nothing is painted.
    const int middle = (ink.top() + ink.bottom()) / 2;
    int gaps = 0;
    for (int x = ink.left(); x <= ink.right(); ++x)
        if (qAlpha(painted.pixel(x, middle)) == 0)
            ++gaps;
    EXPECT_GT(gaps, 10);

    // A fill picture paints the letters with the picture.
    f.document.quietly([&] { box.setTextGradientType(0); });
    QImage green(20, 20, QImage::Format_ARGB32_Premultiplied);
    green.fill(QColor(0, 200, 0));
    f.document.quietly(
        [&] { box.setImage(platform::Image::fromBitmap(green), LBGraphic::FillImageType); });
    const QImage pictured = drawnImage(box, Page);
    EXPECT_GT(
        countPixels(pictured, inkBounds(pictured),
                    [](QRgb p) { return qAlpha(p) == 255 && qGreen(p) == 200 && qRed(p) == 0; }),
        200);
}

// Every gradient type paints the text: 2 linear, any other radial.
TEST(LBTextAreaDrawing, EveryTextGradientTypePaintsTheText)
{
    TextAreaFixture f;
    LBTextArea& box = *f.box;
    setBars(f);
    for (qint64 type : {1, 2, 3, 7}) {
        f.document.quietly([&] {
            box.setTextGradientType(type);
            box.setTextGradientColor1(QColor(255, 0, 0));
            box.setTextGradientColor2(QColor(0, 0, 255));
        });
        const QImage painted = drawnImage(box, Page);
        EXPECT_GT(
            countPixels(painted, painted.rect(),
                        [](QRgb p) { return qAlpha(p) == 255 && (qRed(p) > 40 || qBlue(p) > 40); }),
            200)
            << type;
    }
}

// Painted text is the painting seen through the glyphs: pixel for pixel what filling each
// glyph outline with the painting as a texture gives, at any scale.
TEST(LBTextAreaDrawing, PaintedTextIsThePaintingThroughTheGlyphs)
{
    TextAreaFixture f;
    ProbeTextArea& box = *f.box;
    f.setText(testText(QStringLiteral("Painted text, two lines\nof glyphs"),
                       {{platform::FontAttributeName, testFont(19)}}));
    f.document.quietly([&] {
        box.setTextGradientType(2);
        box.setTextGradientColor1(QColor(255, 0, 0));
        box.setTextGradientColor2(QColor(0, 0, 255));
        box.setTextGradientAngle(30);
    });
    const QRectF b = box.bounds();
    for (double scale : {1.0, 2.5}) {
        const QSize size = (Page.size() * scale).toSize();
        const auto draw = [&](const std::function<void(QPainter&)>& paint) {
            QImage image(size, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.scale(scale, scale);
            painter.translate(-Page.topLeft());
            platform::GraphicsContext context(&painter);
            platform::GraphicsContext::Scope scope(context);
            paint(painter);
            return image;
        };
        const QImage drawn = draw([&](QPainter&) { box.drawInView(nullptr, false); });
        // The reference: the gradient painted over the glyphs' extent on the device, then
        // each glyph filled with it as a texture, inside the box.
        const QImage filled = draw([&](QPainter& painter) {
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setClipRect(b);
            QList<QPainterPath> glyphs = *box.glyphOutlines();
            QRectF extent;
            for (QPainterPath& glyph : glyphs) {
                glyph.translate(b.topLeft());
                extent |= glyph.boundingRect();
            }
            const QTransform toDevice = painter.combinedTransform();
            const QRect area = toDevice.mapRect(extent).toAlignedRect();
            QImage picture(area.size(), QImage::Format_ARGB32_Premultiplied);
            picture.fill(Qt::transparent);
            {
                QPainter layerPainter(&picture);
                layerPainter.setRenderHint(QPainter::Antialiasing);
                layerPainter.setWorldTransform(toDevice
                                               * QTransform::fromTranslate(-area.x(), -area.y()));
                platform::GraphicsContext layer(&layerPainter);
                platform::GraphicsContext::Scope scope(layer);
                box._textGradientFill->drawGradientInRect(extent);
            }
            QBrush texture(picture);
            texture.setTransform(QTransform::fromTranslate(area.x(), area.y())
                                 * toDevice.inverted());
            for (const QPainterPath& glyph : std::as_const(glyphs))
                painter.fillPath(glyph, texture);
        });
        ASSERT_GT(countPixels(drawn, drawn.rect(), [](QRgb p) { return qAlpha(p) > 0; }), 1000);
        int different = 0;
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                different += drawn.pixel(x, y) != filled.pixel(x, y) ? 1 : 0;
        EXPECT_EQ(different, 0) << scale;
    }
}

TEST(LBTextAreaDrawing, MergeFieldsShowGrey)
{
    TextAreaFixture f;
    QFont big = testFont(30);
    AttributedString text = testText(QStringLiteral("MMMM"), {{platform::FontAttributeName, big}});
    text.addAttribute(LBQFieldAttributeName, QVariantMap{{"Property", "Name"}}, Range(2, 2));
    f.setText(text);
    const QImage image = drawnImage(*f.box, Page);
    const QRect ink = inkBounds(image);
    const QRect left(ink.left(), ink.top(), ink.width() / 2 - 2, ink.height());
    const QRect right(ink.center().x() + 2, ink.top(), ink.width() / 2 - 2, ink.height());
    EXPECT_EQ(countPixels(image, left, isGrey), 0);
    EXPECT_GT(countPixels(image, right, isGrey), 50);
    EXPECT_GT(countPixels(image, left, [](QRgb p) { return qAlpha(p) == 255 && qRed(p) == 0; }),
              50);
    // The text itself keeps its colours.
    EXPECT_TRUE(f.box->contents()->attributedString() == text);
}

TEST(LBTextAreaDrawing, SelectionOutlineTabAndBadge)
{
    const auto draw = [](LBTextArea& box, bool selected, bool toScreen) {
        return drawnImage(box, Page, selected, toScreen);
    };
    TextAreaFixture f;
    LBTextArea& box = *f.box;
    // The box (10, 20, 300, 100): its top edge row and the strip above it.
    const QRect topEdge(20, 20, 280, 1);
    const QRect aboveBox(14, 0, 60, 19);
    const QRect corner(11, 21, 8, 8);
    const auto outlinePixels = [&](const QImage& image) {
        return countPixels(image, topEdge, [](QRgb p) { return qAlpha(p) > 0; });
    };

    // Off screen and locked: no outline; unlocked or forced: a dashed one for ordinary boxes.
    EXPECT_EQ(outlinePixels(draw(box, true, false)), 0);
    box.forceDrawTextOutline(true);
    EXPECT_EQ(outlinePixels(draw(box, false, false)), 0); // only when selected
    const int dashed = outlinePixels(draw(box, true, false));
    EXPECT_GT(dashed, 80);
    EXPECT_LT(dashed, 220);
    box.forceDrawTextOutline(false);
    box.setTextIsLocked(false);
    EXPECT_EQ(outlinePixels(draw(box, true, false)), dashed);
    // A box with a stroke shows that instead.
    f.document.quietly([&] { box.setStrokeColor(Qt::black); });
    EXPECT_EQ(countPixels(draw(box, true, false), topEdge, isGrey), 0);
    f.document.quietly([&] { box.setDrawsStroke(false); });

    // Address boxes: a solid outline, and their tab on screen only.
    box.setTextBoxType(1);
    EXPECT_GT(outlinePixels(draw(box, true, false)), 270);
    EXPECT_EQ(countPixels(draw(box, true, false), aboveBox, [](QRgb p) { return qAlpha(p) > 0; }),
              0);
    const QImage onScreen = draw(box, true, true);
    EXPECT_GT(countPixels(onScreen, aboveBox, [](QRgb p) { return qAlpha(p) > 0; }), 300);
    EXPECT_EQ(countPixels(draw(box, false, true), aboveBox, [](QRgb p) { return qAlpha(p) > 0; }),
              0);
    // The tab of a return address is grey, of a delivery address green.
    const QPoint inTab(box.textTabBounds().center().toPoint() + QPoint(-8, 2));
    EXPECT_EQ(qRed(onScreen.pixel(inTab)), qGreen(onScreen.pixel(inTab)));
    box.setTextBoxType(2);
    const QRgb green = draw(box, true, true).pixel(inTab);
    EXPECT_GT(qGreen(green), qRed(green));
    box.setTextBoxType(3);
    const QRgb third = draw(box, true, true).pixel(inTab);
    EXPECT_EQ(qRed(third), qGreen(third));

    // The live-address badge: on screen, for address boxes with the badge on.
    box.setDrawAddressPopup(true);
    EXPECT_GT(countPixels(draw(box, false, true), corner, [](QRgb p) { return qAlpha(p) > 0; }),
              20);
    EXPECT_EQ(countPixels(draw(box, false, false), corner, [](QRgb p) { return qAlpha(p) > 0; }),
              0);
    box.setTextBoxType(0);
    EXPECT_EQ(countPixels(draw(box, false, true), corner, [](QRgb p) { return qAlpha(p) > 0; }), 0);
}

TEST(LBTextAreaDrawing, TheEditedBoxShowsOnlyItsFrame)
{
    TextAreaFixture f;
    f.setText(testText(QStringLiteral("Being edited")));
    EditingCanvas canvas(f.box.get());
    QImage image(Page.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        platform::GraphicsContext context(&painter, true);
        platform::GraphicsContext::Scope scope(context);
        f.box->drawInView(&canvas, true);
        EXPECT_EQ(context.savedStateDepth(), 0);
    }
    // A frame around the box (a hairline on its edges), no text inside it.
    const QRect frame = inkBounds(image);
    EXPECT_TRUE(QRect(9, 19, 303, 103).contains(frame));
    EXPECT_GE(frame.width(), 300);
    EXPECT_GE(frame.height(), 100);
    EXPECT_EQ(countPixels(image, QRect(12, 22, 296, 96), [](QRgb p) { return qAlpha(p) > 0; }), 0);

    // Another canvas, or the same one editing another graphic, shows the text.
    LBTextArea other;
    EditingCanvas elsewhere(&other);
    QImage shown(Page.size().toSize(), QImage::Format_ARGB32_Premultiplied);
    shown.fill(Qt::transparent);
    {
        QPainter painter(&shown);
        platform::GraphicsContext context(&painter, true);
        platform::GraphicsContext::Scope scope(context);
        f.box->drawInView(&elsewhere, false);
    }
    EXPECT_GT(countPixels(shown, QRect(12, 22, 296, 96), [](QRgb p) { return qAlpha(p) > 0; }), 50);
}

TEST(LBTextAreaDrawing, TextCastsTheShadowUnlessTheFillDoes)
{
    TextAreaFixture f;
    QFont big = testFont(40);
    f.setText(testText(QStringLiteral("Shadow"), {{platform::FontAttributeName, big}}));
    const QRect plain = inkBounds(drawnImage(*f.box, Page));
    f.document.quietly([&] { f.box->setShadowInfo(2, 6, 0, 90, 0.0, Qt::black); });
    const QRect shadowed = inkBounds(drawnImage(*f.box, Page));
    EXPECT_GE(shadowed.bottom(), plain.bottom() + 5);

    // A filled box casts the shadow with its fill; its text casts none of its own.
    f.document.quietly([&] {
        f.box->setFillType(1);
        f.box->setFillColor(Qt::white);
        f.box->setBounds(QRectF(10, 20, 300, 180)); // the text's shadow would fall inside
    });
    const QImage filled = drawnImage(*f.box, QRectF(0, 0, 400, 260));
    const int shadowRow = plain.bottom() + 4;
    EXPECT_EQ(countPixels(filled, QRect(plain.left(), shadowRow, plain.width(), 1),
                          [](QRgb p) { return qRed(p) < 200; }),
              0);
}
