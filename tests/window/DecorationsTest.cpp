// Page decorations drawn into images (pixel probes, at 100 % and 200 %) and into the
// recording device (what is drawn, in which order).

#include "WindowTestSupport.h"

#include "canvas/LBGraphicView.h"
#include "platform/drawing/Image.h"

#include <QTemporaryDir>

#include <functional>
#include <string>

namespace {

const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Green(0, 255, 0);
const QString ScreenGrey = QColor::fromRgbF(0.5, 0.5, 0.5).name();

QVariantMap disc(double x, double y, double outer, double inner, const char* kind = "CDDisc")
{
    return {{"x", x},
            {"y", y},
            {"outerDiameter", outer},
            {"innerDiameter", inner},
            {"labelTypeDescription", kind}};
}

QVariantMap rectEntry(double x, double y, double w, double h, const QVariantMap& more = {})
{
    QVariantMap e = {{"x", x}, {"y", y}, {"width", w}, {"height", h}};
    for (auto it = more.cbegin(); it != more.cend(); ++it)
        e.insert(it.key(), it.value());
    return e;
}

// Roughly equal colours (8-bit rounding of blended pixels).
::testing::AssertionResult near(const QColor& actual, const QColor& expected, int tolerance = 3)
{
    const bool ok = std::abs(actual.red() - expected.red()) <= tolerance
                    && std::abs(actual.green() - expected.green()) <= tolerance
                    && std::abs(actual.blue() - expected.blue()) <= tolerance
                    && std::abs(actual.alpha() - expected.alpha()) <= tolerance;
    if (ok)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "rgba(" << actual.red() << ", " << actual.green() << ", " << actual.blue() << ", "
           << actual.alpha() << ") is not rgba(" << expected.red() << ", " << expected.green()
           << ", " << expected.blue() << ", " << expected.alpha() << ")";
}

// What the screen overlay leaves outside the label faces: grey, then white, at half
// strength each.
const QColor Shaded = QColor::fromRgbF(0.8333f, 0.8333f, 0.8333f, 0.75f);

} // namespace

class DecorationsTest : public WindowTest
{
protected:
    DecorationsTest()
    {
        platform::UserDefaults::standardUserDefaults().setBool(false, "DrawPostalGuidelines");
        platform::UserDefaults::standardUserDefaults().setBool(true, "Draw Label Outlines");
    }

    // Gives face 0 a picture of the size in points (its pixels filled with the colour).
    void setBackgroundPicture(const QSizeF& size, const QColor& color = Green)
    {
        QImage bitmap(qMax(1, int(size.width())), qMax(1, int(size.height())),
                      QImage::Format_ARGB32);
        bitmap.fill(color);
        const QString path = _pictures.filePath("picture.png");
        ASSERT_TRUE(bitmap.save(path));
        document->setBackgroundImagePath(path, true, 0);
        ASSERT_NE(document->backgroundImage(0), nullptr);
        document->backgroundImage(0)->setSize(size);
    }

    QTemporaryDir _pictures;
};

TEST_F(DecorationsTest, BackgroundColourFollowsTheColourRule)
{
    struct Case
    {
        const char* what;
        bool hasColor, draw, hasPlaceholder, drawPlaceholder, printPlaceholder;
        QColor screen, print;
    };
    const Case cases[] = {
        {"shown colour", true, true, true, true, true, Red, Red},
        {"colour not shown", true, false, false, false, false, Qt::white, Qt::white},
        {"no colour to show", false, true, false, false, false, Qt::white, Qt::white},
        {"placeholder on screen only", false, false, true, true, false, Blue, Qt::white},
        {"placeholder in print only", false, false, true, false, true, Qt::white, Blue},
        {"placeholder flags, no placeholder", false, false, false, true, true, Qt::white,
         Qt::white},
        {"bare face", false, false, false, false, false, Qt::white, Qt::white},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        document->setBackgroundColor(Red, 0);
        document->setHasBackgroundColor(c.hasColor, 0);
        document->setDrawBackgroundColor(c.draw, 0);
        document->setPlaceholderColor(Blue, 0);
        document->setHasBackgroundPlaceholder(c.hasPlaceholder, 0);
        document->setDrawBackgroundPlaceholder(c.drawPlaceholder, 0);
        document->setPrintBackgroundPlaceholder(c.printPlaceholder, 0);
        for (const bool usePrint : {false, true}) {
            const QImage image = renderPage(
                [&] { controller->drawBackgroundColorInRect(QRectF(10, 10, 50, 50), usePrint); },
                QSizeF(100, 100), 2.0);
            EXPECT_TRUE(near(colorAt(image, QPointF(30, 30), 2), usePrint ? c.print : c.screen));
            EXPECT_EQ(colorAt(image, QPointF(80, 80), 2).alpha(), 0); // outside the rectangle
        }
    }

    // The pixels are replaced, not blended; any face other than 0 is the second one.
    document->setHasBackgroundColor(true, 1);
    document->setBackgroundColor(QColor(0, 255, 0, 128), 1);
    document->setDrawBackgroundColor(true, 1);
    const QImage image = renderPage(
        [&] {
            platform::GraphicsContext::current()->painter()->fillRect(QRectF(0, 0, 100, 100), Red);
            controller->drawBackgroundColorForPage(7, QRectF(0, 0, 50, 50), false);
        },
        QSizeF(100, 100));
    EXPECT_TRUE(near(colorAt(image, QPointF(25, 25)), QColor(0, 255, 0, 128)));
    EXPECT_TRUE(near(colorAt(image, QPointF(75, 75)), Red));
}

TEST_F(DecorationsTest, BackgroundPicturesArePlacedByTheirScaling)
{
    struct Case
    {
        qint64 scaling;
        QSizeF picture;
        QRectF bounds;
        QList<QRectF> tiles; // the first and last drawn
        int count;
    };
    const Case cases[] = {
        {0, {20, 10}, {0, 0, 100, 50}, {{40, 20, 20, 10}}, 1},
        {0, {21, 11}, {0, 0, 100, 50}, {{40, 20, 21, 11}}, 1}, // 39.5 and 19.5 go up
        // 100 / 9 + 1 columns and 50 / 9 + 1 rows, each tile a point over the last.
        {1, {10, 10}, {0, 0, 100, 50}, {{0, 0, 10, 10}, {99, 45, 10, 10}}, 12 * 6},
        {1, {1, 10}, {0, 0, 100, 50}, {}, 0},
        {2, {20, 10}, {5, 5, 100, 50}, {{5, 5, 100, 50}}, 1},
        {3, {200, 100}, {0, 0, 100, 100}, {{-50, 0, 200, 100}}, 1},
        {4, {20, 10}, {0, 0, 100, 50}, {}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scaling);
        setBackgroundPicture(c.picture);
        document->setBackgroundImageScaling(c.scaling, 0);
        const QList<PaintCall> images = callsOfKind(
            recordPage([&] { controller->drawBackgroundImageInRect(c.bounds, c.bounds); }),
            "image");
        ASSERT_EQ(images.size(), c.count);
        if (c.count > 0) {
            EXPECT_EQ(images.first().area, c.tiles.first());
            EXPECT_EQ(images.last().area, c.tiles.last());
        }
        if (c.scaling == 1 && c.count > 0) {
            EXPECT_EQ(images.at(1).area, QRectF(9, 0, 10, 10)); // rows in the outer loop
        }
    }

    // Drawn at the face's transparency, clipped to the rectangle, at 200 %.
    setBackgroundPicture({20, 10});
    document->setBackgroundImageScaling(2, 0);
    document->setBackgroundImageTransparency(0.5, 0);
    const QImage image = renderPage(
        [&] {
            controller->drawBackgroundImageInRect(QRectF(0, 0, 50, 100), QRectF(0, 0, 100, 100));
        },
        QSizeF(100, 100), 2.0);
    EXPECT_TRUE(near(colorAt(image, QPointF(25, 50), 2), QColor(0, 255, 0, 128)));
    EXPECT_EQ(colorAt(image, QPointF(75, 50), 2).alpha(), 0);
}

TEST_F(DecorationsTest, PlaceholderCaptionsFitTheirBoxAndSitInTheGridOfPositions)
{
    // Text 7 points wide a point of size: 12 is the first size narrower than 100 - 12.
    const auto sevenWide = [](const QString&, double size) { return QSizeF(7 * size, 10); };
    const auto tooWide = [](const QString&, double) { return QSizeF(500, 10); };
    const QRectF bounds(0, 0, 100, 60);
    using Layout = LBWindowController::PlaceholderCaptionLayout;
    Layout layout = LBWindowController::placeholderCaptionLayout("x", 0, false, bounds, sevenWide);
    EXPECT_EQ(layout.fontSize, 12);
    EXPECT_EQ(layout.margin, 6);
    EXPECT_EQ(layout.textRect, QRectF(6, 25, 88, 60));
    layout = LBWindowController::placeholderCaptionLayout("x", 0, false, bounds, tooWide);
    EXPECT_EQ(layout.fontSize, 8);
    EXPECT_EQ(layout.margin, 3);
    EXPECT_EQ(layout.textRect, QRectF(3, 25, 94, 60));

    struct Case
    {
        qint64 position;
        Qt::Alignment alignment;
        double top; // with margin 6 and text 10 high in a box 60 high
    };
    const Case cases[] = {
        {0, Qt::AlignHCenter, 25}, {1, Qt::AlignHCenter, 6},   {2, Qt::AlignHCenter, 44},
        {3, Qt::AlignLeft, 25},    {4, Qt::AlignRight, 25},    {5, Qt::AlignLeft, 6},
        {6, Qt::AlignRight, 6},    {7, Qt::AlignLeft, 44},     {8, Qt::AlignRight, 44},
        {9, Qt::AlignHCenter, 25}, {-1, Qt::AlignHCenter, 25},
    };
    for (const Case& c : cases) {
        layout =
            LBWindowController::placeholderCaptionLayout("x", c.position, false, bounds, sevenWide);
        EXPECT_EQ(layout.alignment, c.alignment) << c.position;
        EXPECT_EQ(layout.textRect.top(), c.top) << c.position;
    }

    // Vertical: the box is the bounds turned a quarter about their centre.
    layout = LBWindowController::placeholderCaptionLayout("x", 1, true, bounds, tooWide);
    EXPECT_EQ(layout.box, QRectF(20, -20, 60, 100));
    EXPECT_EQ(layout.textRect, QRectF(23, -17, 54, 100));

    // The face's caption is drawn in its label colour, also without a picture.
    document->setHasBackgroundPlaceholder(true, 0);
    document->setPlaceholderLabel("Your photo", 0);
    document->setPlaceholderLabelColor(Blue, 0);
    const QList<PaintCall> calls =
        recordPage([&] { controller->drawBackgroundImageInRect(bounds, bounds); });
    ASSERT_FALSE(callsOfKind(calls, "text").isEmpty());
    EXPECT_EQ(callsOfKind(calls, "text").first().color, Blue);
    EXPECT_TRUE(callsOfKind(calls, "image").isEmpty());
}

TEST_F(DecorationsTest, TheUnderlayFillsTheLabelFacesOverAShadowBelowThem)
{
    const QSizeF page(400, 400);
    const auto underlay = [&] {
        controller->drawUnderlay(QRectF(QPointF(), page), QRectF(QPointF(), page), false);
    };
    // No `labels`: nothing.
    EXPECT_TRUE(callsOfKind(recordPage(underlay), "fill").isEmpty());

    setLabels({disc(50, 50, 300, 60)});
    document->setHasBackgroundColor(true, 0);
    document->setBackgroundColor(Red, 0);
    document->setDrawBackgroundColor(true, 0);
    controller->zoom = 2.0;
    const QImage image = renderPage(underlay, page, 2.0);
    EXPECT_TRUE(near(colorAt(image, QPointF(100, 200), 2), Red));   // on the ring
    EXPECT_EQ(colorAt(image, QPointF(200, 200), 2).alpha(), 0);     // in the hole
    const int below = colorAt(image, QPointF(200, 352), 2).alpha(); // under the bottom edge
    const int above = colorAt(image, QPointF(200, 48), 2).alpha();  // over the top edge
    EXPECT_GT(below, 20);
    EXPECT_GT(below, above);
    EXPECT_TRUE(near(colorAt(image, QPointF(200, 352), 2), QColor(0, 0, 0, below)));

    // The shadow first, then the face's colour over it.
    const QStringList names = callNames(recordPage(underlay));
    ASSERT_GE(names.size(), 2);
    EXPECT_EQ(names.first(), "clip");
    EXPECT_TRUE(names.contains("image #000000"));
    EXPECT_EQ(names.last(), "fill " + Red.name());

    // On screen the same pixels, drawn again as long as nothing they show changes.
    const QRect whole(0, 0, 800, 800);
    const auto onScreen = [&](const QRect& clip) {
        return renderOnScreen(underlay, whole.size(), 2, clip);
    };
    const QImage first = onScreen(whole);
    EXPECT_EQ(first, onScreen(whole));
    EXPECT_EQ(differingPixels(first, image), 0);
    // A part of the page (the shadow of faces out of sight still reaches into it), and
    // another colour.
    const QImage part = onScreen(QRect(0, 704, 800, 96));
    EXPECT_TRUE(near(part.pixelColor(400, 704), first.pixelColor(400, 704), 2));
    EXPECT_EQ(part.pixelColor(400, 600).alpha(), 0);
    document->setBackgroundColor(Blue, 0);
    EXPECT_TRUE(near(colorAt(onScreen(whole), QPointF(100, 200), 2), Blue));
}

TEST_F(DecorationsTest, OnScreenADiscRingStaysClearBetweenItsSafeCircles)
{
    setLabels({disc(50, 50, 300, 40)});
    const QRectF V(0, 0, 400, 400);
    for (const double zoom : {1.0, 2.0}) {
        SCOPED_TRACE(zoom);
        controller->zoom = zoom;
        const QImage image =
            renderPage([&] { controller->drawOverlay(V, V, false); }, V.size(), zoom);
        EXPECT_EQ(colorAt(image, QPointF(120, 200), zoom).alpha(), 0);      // the ring
        EXPECT_TRUE(near(colorAt(image, QPointF(20, 20), zoom), Shaded));   // outside
        EXPECT_TRUE(near(colorAt(image, QPointF(200, 200), zoom), Shaded)); // the hole
    }

    // Two light blue safe circles on the ring (its hole's grown by 5.5, the disc's inset
    // by 7.5), then the shading (grey and white at half strength: one fill) and its
    // outline.
    const QList<PaintCall> calls = recordPage([&] { controller->drawOverlay(V, V, false); });
    const QString safe = QColor::fromRgbF(0.75, 0.75, 1.0).name();
    const QStringList names = callNames(calls);
    ASSERT_EQ(names.size(), 4);
    EXPECT_EQ(names.mid(0, 2), QStringList({"clip", "stroke " + safe}));
    EXPECT_TRUE(names[2].startsWith("fill"));
    EXPECT_EQ(names[3], "stroke " + ScreenGrey);
    const QList<PaintCall> strokes = callsOfKind(calls, "stroke");
    ASSERT_EQ(strokes.size(), 3);
    expectNear(strokes[0].area, QRectF(174.5, 174.5, 50.5, 50.5), 0.01);
    expectNear(strokes[1].area, QRectF(57.5, 57.5, 285, 285), 0.01);
}

TEST_F(DecorationsTest, OnScreenTheOverlayFollowsEveryChangeOfWhatItShows)
{
    const QRectF V(0, 0, 400, 400);
    const QRect whole(0, 0, 800, 800);
    controller->zoom = 2.0;
    const auto onScreen = [&] {
        return renderOnScreen([&] { controller->drawOverlay(V, V, false); }, whole.size(), 2,
                              whole);
    };
    const auto offScreen = [&] {
        return renderPage([&] { controller->drawOverlay(V, V, false); }, V.size(), 2);
    };
    setLabels({disc(50, 50, 300, 40)});
    // (Antialiased edges may round a step or two apart: the picture is composited once
    // more.)
    EXPECT_EQ(differingPixels(onScreen(), offScreen()), 0);
    EXPECT_EQ(onScreen(), onScreen());

    // Another layout, another zoom.
    setLabels({disc(80, 50, 300, 40)});
    EXPECT_EQ(colorAt(onScreen(), QPointF(60, 200), 2).alpha(), 191); // now outside
    EXPECT_EQ(differingPixels(onScreen(), offScreen()), 0);
    controller->zoom = 1.5;
    EXPECT_EQ(differingPixels(onScreen(), offScreen()), 0);

    // An envelope's postal regions come and go with the selected canvas's setting.
    layout().remove(DimensionInfo::labels);
    layout()[DimensionInfo::labelType] = 5;
    layout()[DimensionInfo::labelWidth] = 400;
    layout()[DimensionInfo::labelHeight] = 400;
    controller->switchToDesignMode(nullptr);
    EXPECT_EQ(colorAt(onScreen(), QPointF(10, 350), 2).alpha(), 0);
    platform::UserDefaults::standardUserDefaults().setBool(true, "DrawPostalGuidelines");
    LBGraphicView canvas;
    controller->setSelectedGraphicView(&canvas);
    EXPECT_GT(colorAt(onScreen(), QPointF(10, 350), 2).alpha(), 150);
    controller->setSelectedGraphicView(nullptr);
    EXPECT_EQ(colorAt(onScreen(), QPointF(10, 350), 2).alpha(), 0);
}

TEST_F(DecorationsTest, PrintedOverlaysAreDottedOutlinesOnlyWhenAskedFor)
{
    const QRectF V(0, 0, 612, 792);
    const auto printed = [&] { return recordPage([&] { controller->drawOverlay(V, V, true); }); };
    setLabels({disc(50, 50, 300, 40), rectEntry(10, 400, 200, 100),
               rectEntry(300, 400, 250, 200, {{"labelTypeDescription", "CDSlimCaseInsert"}}),
               disc(50, 50, 300, 40, "LightScribeFull")});
    platform::UserDefaults::standardUserDefaults().setBool(false, "Draw Label Outlines");
    EXPECT_EQ(callNames(printed()), QStringList({"clip"}));

    platform::UserDefaults::standardUserDefaults().setBool(true, "Draw Label Outlines");
    const QList<PaintCall> calls = printed();
    EXPECT_EQ(callNames(calls), QStringList({"clip", "stroke #000000"}));
    // The disc and its hole, the rectangle and the insert; never the LightScribe rings.
    const QList<PaintCall> strokes = callsOfKind(calls, "stroke");
    ASSERT_EQ(strokes.size(), 4);
    expectNear(strokes[0].area, QRectF(50, 50, 300, 300), 0.01);
    expectNear(strokes[1].area, QRectF(180, 180, 40, 40), 0.01);
    expectNear(strokes[2].area, QRectF(10, 400, 200, 100), 0.01);
    expectNear(strokes[3].area, QRectF(300, 400, 250, 200), 0.01);

    // A layout without `labels` gets no printed overlay at all.
    layout().remove(DimensionInfo::labels);
    layout()[DimensionInfo::cornerRadius] = 10;
    EXPECT_TRUE(printed().isEmpty());
}

TEST_F(DecorationsTest, FoldGuidesOfTheKnownKindsAndTheEntrysOwnFoldLines)
{
    struct Case
    {
        const char* kind;
        bool rotated;
        double zoom;
        QVariantList foldLines;
        QList<QRectF> guides; // the bounds of each guide path stroked
    };
    // The entry (50, 60, 400 x 300); turned in a 612 x 792 page it lies at
    // (60, 792 - 50 - 400 = 342, 300 x 400).
    const double s = 21.2184;
    const Case cases[] = {
        {"CDTrayInsert", false, 1.0, {}, {{68.5, 60, 364, 300}}},
        {"CDTrayInsert", false, 1.01, {}, {{68, 60, 364, 300}}},
        {"CDTrayInsert", false, 2.0, {}, {{68, 60, 364, 300}}},
        {"CDTrayInsert", true, 1.0, {}, {{60, 360.5, 300, 364}}},
        {"CDBooklet", false, 1.0, {}, {{50, 210, 400, 0}}},
        {"SuperJewelBoxDVDBooklet", true, 1.0, {}, {{210, 342, 0, 400}}},
        {"DVDCover", false, 1.0, {}, {{50, 210 - s, 400, 2 * s}}},
        {"DVDCover", true, 1.0, {}, {{210 - s, 342, 2 * s, 400}}},
        {"PappaPartialLong", false, 1.0, {}, {{50, 456.6624, 400, 812.016 - 396.6624}}},
        {"SuperJewelBoxCDBooklet", false, 1.0, {}, {}},
        {"Badge", false, 1.0, {}, {}},
        // Own fold lines take the place of the built-in guides.
        {"CDBooklet",
         false,
         1.0,
         {QVariantMap{{"x1", 0}, {"y1", 10}, {"x2", 400}, {"y2", 10}}},
         {{50, 70, 400, 0}}},
        {"CDBooklet",
         true,
         1.0,
         {QVariantMap{{"x1", 0}, {"y1", 10}, {"x2", 400}, {"y2", 10}}},
         {{70, 342, 0, 400}}},
    };
    const QRectF V(0, 0, 612, 792);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.kind) + (c.rotated ? " turned" : "") + " at "
                     + std::to_string(c.zoom));
        QVariantMap more = {{"labelTypeDescription", c.kind}};
        if (!c.foldLines.isEmpty())
            more.insert("foldLines", c.foldLines);
        setLabels({rectEntry(50, 60, 400, 300, more)});
        layout()[DimensionInfo::rotateLabels] = c.rotated ? "YES" : "NO";
        controller->zoom = c.zoom;
        // The guides are the grey strokes before the shading.
        QList<QRectF> guides;
        for (const PaintCall& call : recordPage([&] { controller->drawOverlay(V, V, false); })) {
            if (call.kind == "fill")
                break;
            if (call.kind == "stroke") {
                EXPECT_EQ(call.color.name(), ScreenGrey);
                guides.append(call.area);
            }
        }
        ASSERT_EQ(guides.size(), c.guides.size());
        for (qsizetype i = 0; i < guides.size(); ++i)
            expectNear(guides[i], c.guides[i], 1e-3);
    }

    // A disc's fold lines are placed in its square.
    setLabels({QVariantMap{{"x", 50},
                           {"y", 60},
                           {"outerDiameter", 300},
                           {"labelTypeDescription", "CDDisc"},
                           {"foldLines", QVariantList{QVariantMap{
                                             {"x1", 0}, {"y1", 150}, {"x2", 300}, {"y2", 150}}}}}});
    layout()[DimensionInfo::rotateLabels] = "NO";
    const QList<PaintCall> strokes =
        callsOfKind(recordPage([&] { controller->drawOverlay(V, V, false); }), "stroke");
    ASSERT_EQ(strokes.size(), 4); // two safe circles, the fold line, the shading's outline
    expectNear(strokes[2].area, QRectF(50, 210, 300, 0), 1e-3);
}

class SingleLabelOverlayTest : public DecorationsTest
{
protected:
    QImage overlay(const QRectF& V, bool printing = false)
    {
        return renderPage([&] { controller->drawOverlay(V, V, printing); },
                          V.size() + QSizeF(1, 1));
    }
    void makeEnvelope()
    {
        layout()[DimensionInfo::labelType] = 5;
        layout()[DimensionInfo::paperManufacturer] = "Quarn";
        layout()[DimensionInfo::labelWidth] = 684;
        layout()[DimensionInfo::labelHeight] = 297;
    }
};

TEST_F(SingleLabelOverlayTest, CornersHolesAndTheOutsideOfADiscAreShaded)
{
    const QColor shade(0, 0, 0, 128);
    layout()[DimensionInfo::cornerRadius] = 10;
    QImage image = overlay(QRectF(0, 0, 200, 100));
    EXPECT_TRUE(near(colorAt(image, QPointF(0.5, 0.5)), shade));
    EXPECT_TRUE(near(colorAt(image, QPointF(199.5, 99.5)), shade));
    EXPECT_EQ(colorAt(image, QPointF(5, 50)).alpha(), 0);
    EXPECT_EQ(colorAt(image, QPointF(100, 50)).alpha(), 0);

    layout()[DimensionInfo::cornerRadius] = 0;
    layout()[DimensionInfo::labelWidth] = 100;
    layout()[DimensionInfo::labelHeight] = 100;
    layout()[DimensionInfo::innerDiameter] = 40;
    image = overlay(QRectF(0, 0, 100, 100));
    EXPECT_TRUE(near(colorAt(image, QPointF(50, 50)), shade));
    EXPECT_EQ(colorAt(image, QPointF(50, 25)).alpha(), 0);

    // A disc in a label taller than it: shaded down to the label's bottom edge.
    layout()[DimensionInfo::innerDiameter] = 0;
    layout()[DimensionInfo::outerDiameter] = 100;
    image = overlay(QRectF(0, 0, 100, 120));
    EXPECT_TRUE(near(colorAt(image, QPointF(1, 1)), shade));
    EXPECT_TRUE(near(colorAt(image, QPointF(1, 118)), shade));
    EXPECT_TRUE(near(colorAt(image, QPointF(99, 118)), shade));
    EXPECT_EQ(colorAt(image, QPointF(50, 60)).alpha(), 0);

    // Printing a single label draws nothing.
    EXPECT_TRUE(recordPage([&] {
                    controller->drawOverlay({0, 0, 100, 120}, {0, 0, 100, 120}, true);
                }).isEmpty());
}

TEST_F(SingleLabelOverlayTest, PostalRegionsShowOnEnvelopesInDesignModeWhenTheCanvasAsks)
{
    makeEnvelope();
    const QRectF V(0, 0, 684, 297);
    const QColor grey = QColor::fromRgbF(0.5f, 0.5f, 0.5f, 0.7f);
    platform::UserDefaults::standardUserDefaults().setBool(true, "DrawPostalGuidelines");
    LBGraphicView canvas;
    controller->setSelectedGraphicView(&canvas);

    // Preview mode: nothing.
    EXPECT_EQ(callNames(recordPage([&] { controller->drawOverlay(V, V, false); })),
              QStringList({"clip"}));

    controller->switchToDesignMode(nullptr);
    const QImage image = overlay(V);
    EXPECT_TRUE(near(colorAt(image, QPointF(10, 250)), grey)); // outside both regions
    EXPECT_EQ(colorAt(image, QPointF(50, 150)).alpha(), 0);    // the recipient's
    EXPECT_EQ(colorAt(image, QPointF(10, 10)).alpha(), 0);     // the sender's
    EXPECT_TRUE(near(colorAt(image, QPointF(400, 50)), grey)); // beside the sender's
    const QList<PaintCall> texts =
        callsOfKind(recordPage([&] { controller->drawOverlay(V, V, false); }), "text");
    ASSERT_EQ(texts.size(), 2);
    EXPECT_GT(texts[0].area.y(), 200); // at the bottom of the recipient's region
    EXPECT_LT(texts[1].area.y(), 97);  // at the bottom of the sender's region

    platform::UserDefaults::standardUserDefaults().setBool(false, "DrawPostalGuidelines");
    LBGraphicView plain;
    struct Case
    {
        const char* what;
        std::function<void()> change;
    };
    const Case cases[] = {
        {"a label-printer roll", [&] { layout()[DimensionInfo::paperManufacturer] = "DYMO"; }},
        {"a label sheet", [&] { layout()[DimensionInfo::labelType] = 1; }},
        {"rounded corners", [&] { layout()[DimensionInfo::cornerRadius] = 10; }},
        {"a canvas without guidelines", [&] { controller->setSelectedGraphicView(&plain); }},
        {"no canvas", [&] { controller->setSelectedGraphicView(nullptr); }},
    };
    for (const Case& c : cases) {
        makeEnvelope();
        layout()[DimensionInfo::cornerRadius] = 0;
        controller->setSelectedGraphicView(&canvas);
        c.change();
        EXPECT_EQ(colorAt(overlay(V), QPointF(10, 250)).alpha(), 0) << c.what;
        EXPECT_TRUE(callsOfKind(recordPage([&] { controller->drawOverlay(V, V, false); }), "text")
                        .isEmpty())
            << c.what;
    }
}
