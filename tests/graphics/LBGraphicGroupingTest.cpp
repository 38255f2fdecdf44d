// Grouping and placeholders: rotations on joining and leaving a group, the size ratio a
// placeholder records, its stock picture, and the layout and drawing of its prompt.

#include "GraphicTestSupport.h"

#include "graphics/NamedImage.h"
#include "platform/drawing/GraphicsContext.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <optional>

namespace {

// A monospaced measure with round numbers: 0.6 em per character, lines 1.2 em high.
QSizeF monospaced(const QString& text, double fontSize)
{
    return {text.size() * 0.6 * fontSize, 1.2 * fontSize};
}

// The rectangle holding every pixel darker than mid-grey; empty when there is none.
QRect inkBounds(const QImage& image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 128 && qGray(image.pixel(x, y)) < 128)
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// Draws the graphic's prompt into a white picture of `size` points at `scale` pixels per
// point.
QImage drawPrompt(const LBGraphic& graphic, const QSize& size, double scale = 1.0)
{
    platform::OffscreenContext offscreen(platform::OffscreenContext::pixelsFor(QSizeF(size), scale),
                                         scale);
    offscreen.painter()->fillRect(QRectF(QPointF(0, 0), QSizeF(size)), Qt::white);
    graphic.drawPlaceholderText();
    EXPECT_EQ(offscreen.context().savedStateDepth(), 0);
    return offscreen.image();
}

std::shared_ptr<LBGraphic> placeholder(const QRectF& bounds)
{
    auto g = std::make_shared<LBGraphic>();
    g->setBounds(bounds);
    g->setIsPlaceholder(true);
    g->setDrawPlaceholderText(true);
    g->setPlaceholderLabelColor(Qt::black);
    return g;
}

} // namespace

TEST(LBGraphicGrouping, JoiningKeepsAndLeavingFoldsTheGroupRotation)
{
    struct Case
    {
        bool grouped; // before
        bool setTo;
        double rotation;
        double groupRotation;
        double rotationAfter;
        double groupRotationAfter;
    };
    const Case cases[] = {
        {true, false, 10, 30, 40, 0},   {true, false, -20, 45, 25, 0},
        {true, false, 350, 30, 380, 0}, // angles are not normalised
        {true, false, 30, 0, 30, 0},    {true, false, 0, 0, 0, 0},
        {false, true, 10, 30, 10, 30}, // joining changes neither
        {true, true, 10, 30, 10, 30},  // no change at all
    };
    for (const Case& c : cases) {
        RecordingDocument doc;
        auto g = std::make_shared<LBGraphic>();
        g->setDocument(&doc);
        doc.quietly([&] {
            g->setIsGrouped(c.grouped);
            g->setRotation(c.rotation);
            g->setGroupRotation(c.groupRotation);
        });
        const QString label = QStringLiteral("%1 -> %2 at %3 + %4")
                                  .arg(c.grouped)
                                  .arg(c.setTo)
                                  .arg(c.rotation)
                                  .arg(c.groupRotation);

        doc.step([&] { g->setIsGrouped(c.setTo); });
        EXPECT_EQ(g->isGrouped(), c.setTo) << label.toStdString();
        EXPECT_EQ(g->rotation(), c.rotationAfter) << label.toStdString();
        EXPECT_EQ(g->groupRotation(), c.groupRotationAfter) << label.toStdString();
        EXPECT_EQ(doc.canUndo(), c.grouped != c.setTo) << label.toStdString();
        if (!doc.canUndo())
            continue;
        doc.undo();
        EXPECT_EQ(g->isGrouped(), c.grouped) << label.toStdString();
        if (c.setTo) {
            // Undoing a join is a leave, which folds the group's rotation in like any
            // other. (The canvas turns a group only after making it, so in its history the
            // turn is undone first and nothing is left to fold.)
            EXPECT_EQ(g->rotation(), c.rotation + c.groupRotation) << label.toStdString();
            EXPECT_EQ(g->groupRotation(), 0.0) << label.toStdString();
            continue;
        }
        EXPECT_EQ(g->rotation(), c.rotation) << label.toStdString();
        EXPECT_EQ(g->groupRotation(), c.groupRotation) << label.toStdString();
        doc.redo();
        EXPECT_EQ(g->rotation(), c.rotationAfter) << label.toStdString();
        EXPECT_EQ(g->groupRotation(), c.groupRotationAfter) << label.toStdString();
    }
}

TEST(LBGraphicPlaceholder, TheSizeRatioIsRecordedOnEveryChangeOfThePlaceholderFlag)
{
    struct Case
    {
        QRectF bounds;
        bool from;
        bool to;
        double ratio;
    };
    const Case cases[] = {
        {QRectF(0, 0, 200, 100), false, true, 2.0},
        {QRectF(5, 5, 100, 200), false, true, 0.5},
        {QRectF(0, 0, 50, 50), false, true, 1.0},
        {QRectF(0, 0, 0.4, 10), false, true, 0.1},  // the width counts as 1 point
        {QRectF(0, 0, 300, 100), true, false, 3.0}, // leaving records it too
        {QRectF(0, 0, 300, 100), true, true, 7.0},  // no change: the old ratio stays
    };
    for (const Case& c : cases) {
        RecordingDocument doc;
        auto g = std::make_shared<LBGraphic>();
        g->setDocument(&doc);
        doc.quietly([&] {
            g->setIsPlaceholder(c.from);
            g->setPlaceholderSizeRatio(7.0);
            g->setBounds(c.bounds);
        });
        doc.step([&] { g->setIsPlaceholder(c.to); });
        EXPECT_DOUBLE_EQ(g->placeholderSizeRatio(), c.ratio) << c.bounds.width();
        EXPECT_EQ(doc.canUndo(), c.from != c.to);
    }

    // The ratio itself is a plain store.
    RecordingDocument doc;
    auto g = std::make_shared<LBGraphic>();
    g->setDocument(&doc);
    doc.step([&] { g->setPlaceholderSizeRatio(1.5); });
    EXPECT_EQ(g->placeholderSizeRatio(), 1.5);
    EXPECT_FALSE(doc.canUndo());
}

TEST(LBGraphicPlaceholder, PhotoTypeInstallsTheStockPictureOnlyOnAnEmptyPlaceholder)
{
    const auto stock = namedImage(LBGraphic::placeholderPictureName());
    ASSERT_TRUE(stock);
    const auto own = fakeImage();
    struct Case
    {
        const char* name;
        bool isPlaceholder;
        bool hasPicture;
        QString type;
        bool installs;
    };
    const Case cases[] = {
        {"empty photo placeholder", true, false, "Photo", true},
        {"photo placeholder with a picture", true, true, "Photo", false},
        {"not a placeholder", false, false, "Photo", false},
        {"text placeholder", true, false, "RegularText", false},
        {"other spelling", true, false, "photo", false},
        {"no type", true, false, QString(), false},
    };
    for (const Case& c : cases) {
        RecordingDocument doc;
        auto g = std::make_shared<LBGraphic>();
        g->setDocument(&doc);
        doc.quietly([&] {
            g->setIsPlaceholder(c.isPlaceholder);
            if (c.hasPicture)
                g->setImage(own, LBGraphic::FillImageType);
        });
        doc.step([&] { g->setPlaceholderTypeString(c.type); });
        const auto expected = c.installs ? stock : c.hasPicture ? own : nullptr;
        EXPECT_EQ(g->imageOfType(LBGraphic::FillImageType), expected) << c.name;

        // One undo step takes the type and the picture back.
        doc.undo();
        EXPECT_TRUE(g->placeholderTypeString().isNull()) << c.name;
        EXPECT_EQ(g->imageOfType(LBGraphic::FillImageType), c.hasPicture ? own : nullptr) << c.name;
    }
}

TEST(LBGraphicPlaceholder, StockPictureIsASharedSilhouetteOnATransparentSquare)
{
    const auto picture = namedImage(QStringLiteral("PlaceholderMan"));
    ASSERT_TRUE(picture);
    EXPECT_EQ(namedImage(QStringLiteral("PlaceholderMan")), picture); // read once
    EXPECT_EQ(picture->size(), QSizeF(200, 200));
    const QImage bitmap = picture->bitmapImageRep();
    ASSERT_FALSE(bitmap.isNull());
    EXPECT_GT(bitmap.width(), 200);           // more pixels than points, for large placeholders
    const auto at = [&](double x, double y) { // in points
        return bitmap.pixel(int(x / 200 * bitmap.width()), int(y / 200 * bitmap.height()));
    };
    EXPECT_EQ(qAlpha(at(2, 2)), 0); // corners stay clear
    EXPECT_EQ(qAlpha(at(198, 2)), 0);
    EXPECT_EQ(qAlpha(at(100, 76)), 255);  // head
    EXPECT_EQ(qAlpha(at(100, 190)), 255); // shoulders on the bottom edge
    EXPECT_EQ(qAlpha(at(5, 120)), 0);     // beside the head

    // A picture the resources lack is reported, not fatal.
    EXPECT_EQ(namedImage(QStringLiteral("NoSuchPicture")), nullptr);
}

TEST(LBGraphicPlaceholder, CopiesOfAPhotoPlaceholderShowTheStockPictureAgain)
{
    auto g = placeholder(QRectF(0, 0, 120, 80));
    g->setPlaceholderTypeString(QStringLiteral("Photo"));
    const auto stock = g->imageOfType(LBGraphic::FillImageType);
    ASSERT_TRUE(stock);
    // The copy leaves the prompt's picture behind and installs its own, the same one.
    EXPECT_EQ(g->copy()->imageOfType(LBGraphic::FillImageType), stock);
}

TEST(LBGraphicPlaceholder, LabelPositionCodes)
{
    using P = LBGraphic::PlaceholderVerticalPlacement;
    struct Case
    {
        qint64 code;
        Qt::Alignment alignment;
        P placement;
    };
    const Case cases[] = {
        {0, Qt::AlignHCenter, P::Middle},  {1, Qt::AlignHCenter, P::Top},
        {2, Qt::AlignHCenter, P::Bottom},  {3, Qt::AlignLeft, P::Middle},
        {4, Qt::AlignRight, P::Middle},    {5, Qt::AlignLeft, P::Top},
        {6, Qt::AlignRight, P::Top},       {7, Qt::AlignLeft, P::Bottom},
        {8, Qt::AlignRight, P::Bottom},    {9, Qt::AlignHCenter, P::Middle},
        {12, Qt::AlignHCenter, P::Middle}, {-1, Qt::AlignHCenter, P::Middle},
    };
    for (const Case& c : cases) {
        const auto [alignment, placement] = LBGraphic::placeholderLabelPlacement(c.code);
        EXPECT_EQ(alignment, c.alignment) << c.code;
        EXPECT_EQ(placement, c.placement) << c.code;
    }
}

TEST(LBGraphicPlaceholder, PromptLayout)
{
    // With the monospaced measure "Drag Photo Here" (15 characters) is 9 × the font size
    // wide and 1.2 × the font size high.
    struct Case
    {
        const char* name;
        QString label;
        qint64 code;
        bool vertical;
        QRectF bounds;
        QRectF frame;
        QRectF textRect;
        double fontSize;
    };
    const Case cases[] = {
        {"centred", QString(), 0, false, QRectF(0, 0, 200, 50), QRectF(0, 0, 200, 50),
         QRectF(3, 15.4, 194, 50), 16},
        {"top", QString(), 1, false, QRectF(10, 20, 200, 50), QRectF(10, 20, 200, 50),
         QRectF(13, 23, 194, 50), 16},
        {"bottom", QString(), 8, false, QRectF(10, 20, 200, 50), QRectF(10, 20, 200, 50),
         QRectF(13, 47.8, 194, 50), 16},
        // Turned a quarter about the centre: 44 points of width are left, and the text
        // does not fit even at 8 points, so it is drawn at 8.
        {"vertical", QString(), 0, true, QRectF(0, 0, 200, 50), QRectF(75, -75, 50, 200),
         QRectF(78, 20.2, 44, 200), 8},
        {"vertical top", QString(), 5, true, QRectF(0, 0, 200, 50), QRectF(75, -75, 50, 200),
         QRectF(78, -72, 44, 200), 8},
        // 126 points wide: 14 points give exactly 126, which is not narrower; 12 fit.
        {"width limit", QString(), 0, false, QRectF(0, 0, 132, 100), QRectF(0, 0, 132, 100),
         QRectF(3, 42.8, 126, 100), 12},
        // 18 points high: 16 points give lines 19.2 high; 14 give 16.8.
        {"height limit", QString(), 2, false, QRectF(0, 0, 300, 18), QRectF(0, 0, 300, 18),
         QRectF(3, -1.8, 294, 18), 14},
        {"own label", QStringLiteral("Logo"), 0, false, QRectF(0, 0, 40, 40), QRectF(0, 0, 40, 40),
         QRectF(3, 11.6, 34, 40), 14},
        {"unknown code", QStringLiteral("Logo"), 12, false, QRectF(0, 0, 40, 40),
         QRectF(0, 0, 40, 40), QRectF(3, 11.6, 34, 40), 14},
    };
    for (const Case& c : cases) {
        const LBGraphic::PlaceholderTextLayout layout =
            LBGraphic::placeholderTextLayout(c.label, c.code, c.vertical, c.bounds, monospaced);
        EXPECT_EQ(layout.text, c.label.isNull() ? QStringLiteral("Drag Photo Here") : c.label)
            << c.name;
        EXPECT_EQ(layout.frame, c.frame) << c.name;
        EXPECT_NEAR(layout.textRect.x(), c.textRect.x(), 1e-9) << c.name;
        EXPECT_NEAR(layout.textRect.y(), c.textRect.y(), 1e-9) << c.name;
        EXPECT_NEAR(layout.textRect.width(), c.textRect.width(), 1e-9) << c.name;
        EXPECT_NEAR(layout.textRect.height(), c.textRect.height(), 1e-9) << c.name;
        EXPECT_EQ(layout.fontSize, c.fontSize) << c.name;
        EXPECT_EQ(layout.vertical, c.vertical) << c.name;
    }
}

TEST(LBGraphicPlaceholder, PromptLinesBreakAtCarriageReturns)
{
    const LBGraphic::PlaceholderTextLayout layout = LBGraphic::placeholderTextLayout(
        QStringLiteral("Drag\rLetter\r\nHere"), 0, false, QRectF(0, 0, 200, 200));
    EXPECT_EQ(layout.text, QStringLiteral("Drag\nLetter\nHere"));
    const double line = LBGraphic::measurePlaceholderText(QStringLiteral("Drag"), 12).height();
    EXPECT_GT(LBGraphic::measurePlaceholderText(layout.text, 12).height(), 2.5 * line);
}

TEST(LBGraphicPlaceholder, PromptFontIsABoldMonospacedFace)
{
    // Whatever face stands in for "Courier New Bold", every character takes the same width
    // and the text grows with the size.
    const QSizeF narrow = LBGraphic::measurePlaceholderText(QStringLiteral("iiiiiiiiii"), 16);
    const QSizeF wide = LBGraphic::measurePlaceholderText(QStringLiteral("WWWWWWWWWW"), 16);
    EXPECT_NEAR(narrow.width(), wide.width(), 0.5);
    const QSizeF small = LBGraphic::measurePlaceholderText(QStringLiteral("Drag Photo Here"), 8);
    const QSizeF large = LBGraphic::measurePlaceholderText(QStringLiteral("Drag Photo Here"), 16);
    EXPECT_NEAR(large.width(), 2 * small.width(), 1.0);
    EXPECT_GT(large.height(), 16.0);
    EXPECT_LT(large.height(), 24.0);

    // The measure given by default is this font's: the default prompt fits a 200-point
    // frame at 16 points and a 44-point one at no size.
    auto g = placeholder(QRectF(0, 0, 200, 50));
    EXPECT_EQ(g->placeholderTextLayout().fontSize, 16);
    g->setPlaceholderLabelIsVertical(true);
    EXPECT_EQ(g->placeholderTextLayout().fontSize, 8);
}

TEST(LBGraphicPlaceholder, PromptIsDrawnWhereTheLayoutPutsIt)
{
    const QSize page(200, 60);
    auto g = placeholder(QRectF(0, 0, 200, 60));

    g->setPlaceholderLabelPosition(1); // centred, top
    const QRect top = inkBounds(drawPrompt(*g, page));
    ASSERT_FALSE(top.isEmpty());
    EXPECT_LT(top.top(), 10);
    EXPECT_LT(top.bottom(), 25);
    EXPECT_NEAR(top.center().x(), 100, 3);

    g->setPlaceholderLabelPosition(7); // left, bottom
    const QRect bottomLeft = inkBounds(drawPrompt(*g, page));
    ASSERT_FALSE(bottomLeft.isEmpty());
    EXPECT_GT(bottomLeft.top(), 35);
    EXPECT_LE(bottomLeft.left(), 6);
    EXPECT_GE(bottomLeft.left(), 3);

    // The same prompt on a page drawn at twice the pixels covers twice the pixels.
    const QRect sharp = inkBounds(drawPrompt(*g, page, 2.0));
    EXPECT_NEAR(sharp.width(), 2 * bottomLeft.width(), 3);
    EXPECT_NEAR(sharp.height(), 2 * bottomLeft.height(), 3);

    // A vertical label runs up the middle of a tall placeholder.
    auto tall = placeholder(QRectF(0, 0, 60, 200));
    tall->setPlaceholderLabelIsVertical(true);
    const QRect vertical = inkBounds(drawPrompt(*tall, QSize(60, 200)));
    ASSERT_FALSE(vertical.isEmpty());
    EXPECT_GT(vertical.height(), 3 * vertical.width());
    EXPECT_NEAR(vertical.center().x(), 30, 4);
    EXPECT_NEAR(vertical.center().y(), 100, 4);
}

TEST(LBGraphicPlaceholder, NothingIsDrawnUnlessAPlaceholderShowsItsPrompt)
{
    auto g = placeholder(QRectF(0, 0, 200, 60));
    g->setDrawPlaceholderText(false);
    EXPECT_TRUE(inkBounds(drawPrompt(*g, QSize(200, 60))).isEmpty());

    auto plain = std::make_shared<LBGraphic>();
    plain->setBounds(QRectF(0, 0, 200, 60));
    plain->setDrawPlaceholderText(true);
    EXPECT_TRUE(inkBounds(drawPrompt(*plain, QSize(200, 60))).isEmpty());

    // Without a current context there is nowhere to draw.
    g->setDrawPlaceholderText(true);
    g->drawPlaceholderText();
}
