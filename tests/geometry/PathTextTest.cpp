#include "geometry/LBPathText.h"

#include "geometry/LBPathGeometry.h"
#include "geometry/LBPathToolkitException.h"
#include "geometry/PTPathGlyphInfo.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"

#include "PathTestSupport.h"
#include "PathTextTestSupport.h"

#include <QPainter>
#include <QPainterPath>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace pathtext;
using namespace LBPathText;
using platform::LayoutManager;
using platform::Range;
using platform::TextStorage;
using Alignment = ParagraphStyle::Alignment;

namespace {

constexpr double Tolerance = 0.05;

// A straight path along y = 100 from x = 0 to x = length.
BezierPath baseline(double length)
{
    return line(QPointF(0, 100), QPointF(length, 100));
}

QRectF boundsOf(const QList<BezierPath>& glyphs)
{
    QRectF bounds;
    for (const BezierPath& glyph : glyphs)
        bounds = bounds.united(glyph.bounds());
    return bounds;
}

// Lays the text along the path with the shared layout manager, recording every glyph.
struct Layout
{
    Layout(const BezierPath& path, const AttributedString& string, double xOffset = 0,
           double yOffset = 0, QVariantMap* cache = nullptr)
    {
        LayoutManager* manager = textOnPathLayoutManager();
        const auto storage = preadjustedTextStorageWithString(path, &string, manager);
        fitted = layoutStringOnPath(path, storage.get(), xOffset, yOffset, &helper, manager, cache);
    }
    RecordingHelper helper;
    bool fitted = false;
};

TEST(PathText, GlyphsSitOnTheLeftOfTheDirectionOfTravel)
{
    // Towards +x the text stands upright above the path, its baseline a descent off it;
    // a y offset lifts it further.
    for (const double yOffset : {0.0, 4.0}) {
        const QList<BezierPath> glyphs =
            bezierPathsWithGlyphsOnPath(baseline(300), text(QStringLiteral("HHH")), 0, yOffset);
        ASSERT_EQ(glyphs.size(), 3);
        const QRectF bounds = boundsOf(glyphs);
        EXPECT_NEAR(bounds.bottom(), 100 - TestDescent - yOffset, Tolerance) << yOffset;
        EXPECT_NEAR(bounds.top(), 100 - TestDescent - yOffset - 8.75, 0.3) << yOffset; // cap height
        EXPECT_GT(glyphs.at(0).bounds().left(), Padding);
        EXPECT_LT(glyphs.at(0).bounds().right(), glyphs.at(1).bounds().left());
    }
    // Running down the page, the left side is +x: the glyphs lie right of the path.
    const QRectF down = boundsOf(bezierPathsWithGlyphsOnPath(line(QPointF(50, 0), QPointF(50, 300)),
                                                             text(QStringLiteral("HHH")), 0, 0));
    EXPECT_GT(down.left(), 50 + TestDescent - Tolerance);
    EXPECT_LT(down.right(), 50 + TestLineHeight);
    EXPECT_GT(down.height(), 3 * 7.0);
    // Running backwards, the text hangs upside down below the path.
    const QRectF back = boundsOf(bezierPathsWithGlyphsOnPath(
        line(QPointF(300, 100), QPointF(0, 100)), text(QStringLiteral("HHH")), 0, 0));
    EXPECT_NEAR(back.top(), 100 + TestDescent, Tolerance);
    EXPECT_GT(back.left(), 300 - Padding - 3 * 9.0);
}

TEST(PathText, JoinedOutlinesAreTheGlyphsInPlacingOrder)
{
    const BezierPath path = baseline(300);
    const AttributedString string = text(QStringLiteral("Path"));
    BezierPath expected;
    for (const BezierPath& glyph : bezierPathsWithGlyphsOnPath(path, string, 7, 2))
        expected.appendBezierPath(glyph);
    EXPECT_EQ(bezierPathWithTextOnPath(path, string, 7, 2), expected);
    EXPECT_FALSE(expected.isEmpty());
    // A plain string takes the attributes given.
    EXPECT_EQ(bezierPathWithStringOnPath(path, QStringLiteral("Path"),
                                         {{platform::FontAttributeName, testFont()}}),
              bezierPathWithTextOnPath(path, string, 0, 0));
}

TEST(PathText, GlyphsFollowTheDirectionOfACurve)
{
    // On a circle each glyph is turned to the tangent where its centre lies: its location
    // is that point moved back along the tangent by half the glyph's width and off the
    // circle along the normal by the line height.
    const QPointF centre(100, 100);
    const BezierPath circle = BezierPath::withOvalInRect(QRectF(0, 0, 200, 200));
    Layout layout(circle, text(QStringLiteral("Around")));
    ASSERT_TRUE(layout.fitted);
    ASSERT_EQ(layout.helper.placed.size(), 6);
    for (const PlacedGlyph& glyph : layout.helper.placed) {
        const QPointF along(std::cos(glyph.angle), std::sin(glyph.angle));
        const QPointF normal(-along.y(), along.x());
        const QPointF back = glyph.location + TestLineHeight * normal - centre;
        const double half = -QPointF::dotProduct(back, along);
        EXPECT_GT(half, 1) << glyph.glyph;
        EXPECT_LT(half, 7) << glyph.glyph;
        // The point the glyph is centred on lies on the circle.
        EXPECT_NEAR(std::abs(QPointF::dotProduct(back, normal)), 100, 0.2) << glyph.glyph;
    }
    EXPECT_NE(layout.helper.placed.first().angle, layout.helper.placed.last().angle);
}

TEST(PathText, NothingIsPlacedOnALonePointOrForAnEmptyText)
{
    BezierPath lonePoint;
    lonePoint.moveTo(QPointF(10, 10));
    struct Case
    {
        const char* name;
        BezierPath path;
        AttributedString string;
    };
    const QList<Case> cases = {
        {"lone move", lonePoint, text(QStringLiteral("Hello"))},
        {"empty path", BezierPath(), text(QStringLiteral("Hello"))},
        {"empty text", baseline(300), text(QString())},
    };
    for (const Case& c : cases) {
        Layout layout(c.path, c.string);
        EXPECT_FALSE(layout.fitted) << c.name;
        EXPECT_TRUE(layout.helper.placed.isEmpty()) << c.name;
        EXPECT_TRUE(bezierPathWithTextOnPath(c.path, c.string, 0, 0).isEmpty()) << c.name;
    }
}

TEST(PathText, AClippedTextStopsAtTheFirstGlyphThatWouldPassTheEnd)
{
    // A text with a paragraph style stays on one line: the glyphs are placed one by one
    // until one would run past the path's end.
    const double length = 100;
    Layout layout(baseline(length), text(QString(20, u'M'), Alignment::Left));
    EXPECT_FALSE(layout.fitted);
    const QList<PlacedGlyph>& placed = layout.helper.placed;
    ASSERT_GE(placed.size(), 2);
    const double advance = placed.at(1).location.x() - placed.at(0).location.x();
    EXPECT_NEAR(placed.at(0).location.x(), Padding, Tolerance);
    EXPECT_EQ(placed.size(), qsizetype(std::floor((length - Padding) / advance)));
    // The last glyph placed ends on the path.
    EXPECT_LE(placed.last().location.x() + advance, length);
}

TEST(PathText, AWrappedTextStopsAtTheEndOfItsFirstLine)
{
    // Without a paragraph style the text wraps at the path's length, and only the first
    // line is placed: "aaaa " fits, "bbbb" would not.
    const AttributedString string = text(QStringLiteral("aaaa bbbb"));
    const double width = string.attributedSubstringFromRange(Range(0, 6)).size().width();
    Layout layout(baseline(width + 2 * Padding + 1), string);
    EXPECT_FALSE(layout.fitted);
    ASSERT_EQ(layout.helper.placed.size(), 5);
    EXPECT_EQ(layout.helper.placed.last().glyph, 4);
}

TEST(PathText, AHardLineBreakKeepsTheFirstLine)
{
    Layout layout(baseline(500), text(QStringLiteral("AB\nCD")));
    EXPECT_FALSE(layout.fitted);
    ASSERT_EQ(layout.helper.placed.size(), 2);
    EXPECT_EQ(layout.helper.placed.at(0).glyph, 0);
    EXPECT_EQ(layout.helper.placed.at(1).glyph, 1);
    // A final line break leaves nothing on a second line.
    EXPECT_TRUE(Layout(baseline(500), text(QStringLiteral("AB\n"))).fitted);
}

TEST(PathText, GlyphsWithoutWidthAreSkippedAndTheLayoutGoesOn)
{
    // A zero-width space gets no room on the path; the glyph after it is still placed.
    Layout layout(baseline(300), text(QStringLiteral("A\u200BB")));
    EXPECT_TRUE(layout.fitted);
    QList<qsizetype> glyphs;
    for (const PlacedGlyph& glyph : layout.helper.placed)
        glyphs.append(glyph.glyph);
    EXPECT_EQ(glyphs, (QList<qsizetype>{0, 2}));
}

TEST(PathText, OffsetsMoveTheTextAlongAndOffThePath)
{
    const Layout plain(baseline(300), text(QStringLiteral("AB")));
    const Layout moved(baseline(300), text(QStringLiteral("AB")), 20, 3);
    ASSERT_EQ(moved.helper.placed.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_NEAR(moved.helper.placed.at(i).location.x(),
                    plain.helper.placed.at(i).location.x() + 20, 1e-6);
        EXPECT_EQ(moved.helper.placed.at(i).yOffset, 3);
    }
    // Glyphs whose centre lies before the start are placed at the path's first point.
    const Layout before(baseline(300), text(QStringLiteral("AB")), -50, 0);
    ASSERT_EQ(before.helper.placed.size(), 2);
    EXPECT_NEAR(before.helper.placed.at(0).location.x(), before.helper.placed.at(1).location.x(),
                3.0);
    EXPECT_LT(before.helper.placed.at(0).location.x(), 0);
}

// --- Justified kerning ----------------------------------------------------------------

QVariant kernAt(const TextStorage& storage, qsizetype index)
{
    return storage.attributedString().attribute(platform::KernAttributeName, index);
}

TEST(PathText, JustifiedTextIsSpreadToThePathsEnd)
{
    const double length = 300;
    const AttributedString string = text(QStringLiteral("Hello"), Alignment::Justified);
    // The line runs from its padding at the start to the path's end.
    double position = 0;
    double runLength = 0;
    pathPosition(baseline(length), &position, &runLength, string, Range(0, 5));
    EXPECT_NEAR(position, Padding, Tolerance);
    EXPECT_NEAR(position + runLength, length, 0.2);

    // The extra room is shared by the four gaps, not put after the last glyph.
    const auto storage =
        preadjustedTextStorageWithString(baseline(length), &string, textOnPathLayoutManager());
    const double natural = string.size().width() + 2 * Padding;
    const double kern = kernAt(*storage, 0).toDouble();
    EXPECT_NEAR(kern, (length - natural) / 4, 0.01);
    for (qsizetype i = 1; i < 4; ++i)
        EXPECT_EQ(kernAt(*storage, i).toDouble(), kern);
    EXPECT_FALSE(kernAt(*storage, 4).isValid());
    // Every glyph is placed, evenly spread.
    const Layout layout(baseline(length), string);
    EXPECT_TRUE(layout.fitted);
    EXPECT_EQ(layout.helper.placed.size(), 5);
}

TEST(PathText, JustifiedTextTooLongIsSqueezedWithinBounds)
{
    const AttributedString string = text(QStringLiteral("ABCDEFGHIJ"), Alignment::Justified);
    const QSizeF natural = string.size();
    struct Case
    {
        const char* name;
        double length;
        double kern;
    };
    const double slightly = natural.width() - 9 * 1.0; // one point less per gap
    const QList<Case> cases = {
        {"slightly too long", slightly, (slightly - natural.width()) / 9},
        {"far too long", natural.width() / 2, -0.15 * natural.height()},
    };
    for (const Case& c : cases) {
        const auto storage = preadjustedTextStorageWithString(baseline(c.length), &string,
                                                              textOnPathLayoutManager());
        EXPECT_NEAR(kernAt(*storage, 0).toDouble(), c.kern, 1e-5) << c.name;
        EXPECT_LT(c.kern, 0) << c.name;
        EXPECT_GE(c.kern, -0.15 * natural.height() - 1e-9) << c.name;
    }
    // Squeezed, more of the text fits the path than unkerned.
    const double length = natural.width() - 9 * 1.0;
    const Layout squeezed(baseline(length), string);
    const Layout plain(baseline(length), text(QStringLiteral("ABCDEFGHIJ"), Alignment::Left));
    EXPECT_GT(squeezed.helper.placed.size(), plain.helper.placed.size());
    EXPECT_NEAR(
        squeezed.helper.placed.at(1).location.x() - squeezed.helper.placed.at(0).location.x(),
        plain.helper.placed.at(1).location.x() - plain.helper.placed.at(0).location.x() - 1.0,
        0.01);
}

TEST(PathText, AJustifiedSingleGlyphIsPlacedUnkerned)
{
    const AttributedString string = text(QStringLiteral("A"), Alignment::Justified);
    const auto storage =
        preadjustedTextStorageWithString(baseline(300), &string, textOnPathLayoutManager());
    EXPECT_FALSE(kernAt(*storage, 0).isValid());
    const Layout layout(baseline(300), string);
    EXPECT_TRUE(layout.fitted);
    ASSERT_EQ(layout.helper.placed.size(), 1);
    EXPECT_NEAR(layout.helper.placed.at(0).location.x(), Padding, Tolerance);
    EXPECT_TRUE(std::isfinite(layout.helper.placed.at(0).location.y()));
}

// --- The layout cache --------------------------------------------------------------------

TEST(PathText, TheCacheIsReplayedUntilThePathTheTextOrTheOffsetChanges)
{
    BezierPath path = baseline(300);
    const AttributedString string = text(QStringLiteral("Cache"));
    QVariantMap cache;
    const Layout first(path, string, 0, 0, &cache);
    ASSERT_TRUE(first.fitted);
    EXPECT_EQ(cache.value(PTTextOnPathGlyphPositions).value<QList<PTPathGlyphInfo>>().size(), 5);
    EXPECT_TRUE(cache.value(PTTextOnPathTextFitted).toBool());

    // Mark the stored placement so a replay can be told from a new layout.
    const PTPathGlyphInfo marker(3, QPointF(-7, -9), 0.25);
    auto mark = [&] {
        cache.insert(PTTextOnPathGlyphPositions,
                     QVariant::fromValue(QList<PTPathGlyphInfo>{marker}));
        cache.insert(PTTextOnPathTextFitted, false);
    };
    mark();
    const Layout replayed(path, string, 0, 6, &cache);
    EXPECT_FALSE(replayed.fitted);
    ASSERT_EQ(replayed.helper.placed.size(), 1);
    EXPECT_EQ(replayed.helper.placed.at(0).glyph, 3);
    EXPECT_EQ(replayed.helper.placed.at(0).location, QPointF(-7, -9));
    EXPECT_EQ(replayed.helper.placed.at(0).angle, 0.25);
    EXPECT_EQ(replayed.helper.placed.at(0).yOffset, 6); // the new y offset

    // A new text on the same path is laid out anew.
    mark();
    const Layout newText(path, text(QStringLiteral("Other text")), 0, 0, &cache);
    EXPECT_TRUE(newText.fitted);
    EXPECT_EQ(newText.helper.placed.size(), 10);
    // So is a new x offset.
    mark();
    EXPECT_EQ(Layout(path, text(QStringLiteral("Other text")), 5, 0, &cache).helper.placed.size(),
              10);

    // Drawing empties the cache when a point of the path moved, and lays out again.
    mark();
    path.setAssociatedPoints({QPointF(250, 100)}, 1);
    QImage image(320, 120, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    platform::GraphicsContext context(&painter);
    platform::GraphicsContext::Scope scope(context);
    EXPECT_TRUE(drawTextOnPath(path, string, 0, 0, nullptr, &cache));
    const auto positions = cache.value(PTTextOnPathGlyphPositions).value<QList<PTPathGlyphInfo>>();
    ASSERT_EQ(positions.size(), 5);
    EXPECT_NE(positions.at(0), marker);
    EXPECT_TRUE(cache.value(PTTextOnPathTextFitted).toBool());
    // Drawing again with the same path and text replays.
    mark();
    EXPECT_FALSE(drawTextOnPath(path, string, 0, 0, nullptr, &cache));
}

// --- Drawing -----------------------------------------------------------------------------

QImage drawn(const std::function<void()>& draw)
{
    QImage image(320, 140, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    platform::GraphicsContext context(&painter);
    platform::GraphicsContext::Scope scope(context);
    draw();
    painter.end();
    return image;
}

TEST(PathText, DrawingPutsTheGlyphsWhereTheOutlinesAre)
{
    const BezierPath path = line(QPointF(10, 100), QPointF(300, 60));
    const AttributedString string = text(QStringLiteral("Drawn along"));
    bool fitted = false;
    const QImage glyphs = drawn([&] { fitted = drawTextOnPath(path, string, 3, 2); });
    EXPECT_TRUE(fitted);
    const QImage outlines = drawn([&] {
        QPainter& painter = *platform::GraphicsContext::current()->painter();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(bezierPathWithTextOnPath(path, string, 3, 2).toPainterPath(), Qt::black);
    });
    const QRect drawnInk = inkBounds(glyphs);
    const QRect outlineInk = inkBounds(outlines);
    ASSERT_FALSE(drawnInk.isEmpty());
    EXPECT_LE(std::abs(drawnInk.left() - outlineInk.left()), 1);
    EXPECT_LE(std::abs(drawnInk.right() - outlineInk.right()), 1);
    EXPECT_LE(std::abs(drawnInk.top() - outlineInk.top()), 1);
    EXPECT_LE(std::abs(drawnInk.bottom() - outlineInk.bottom()), 1);
    // Without a current context nothing is drawn, but the layout still answers.
    EXPECT_TRUE(drawTextOnPath(path, string, 3, 2));
}

TEST(PathText, UnderlinedTextIsDrawnWithoutItsUnderline)
{
    const BezierPath path = baseline(300);
    const QImage plain = drawn([&] { drawTextOnPath(path, text(QStringLiteral("Under")), 0, 0); });
    const QImage underlined = drawn([&] {
        drawTextOnPath(
            path, text(QStringLiteral("Under"), {}, {{platform::UnderlineStyleAttributeName, 1}}),
            0, 0);
    });
    EXPECT_FALSE(inkBounds(plain).isEmpty());
    EXPECT_EQ(plain, underlined);

    // The same with a layout manager of the caller's.
    LayoutManager manager;
    manager.setTextContainer(std::make_unique<platform::TextContainer>());
    const QImage own = drawn([&] {
        drawTextOnPath(
            path, text(QStringLiteral("Under"), {}, {{platform::UnderlineStyleAttributeName, 1}}),
            0, 0, &manager);
    });
    EXPECT_EQ(plain, own);
}

TEST(PathText, APlainStringIsDrawnInTheDefaultFont)
{
    // "Helvetica" need not exist: the system's substitute draws it.
    bool fitted = false;
    const QImage image =
        drawn([&] { fitted = drawStringOnPath(baseline(300), QStringLiteral("Plain")); });
    EXPECT_TRUE(fitted);
    const QRect ink = inkBounds(image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LE(ink.bottom(), 100);
    EXPECT_GT(ink.height(), 6);
}

// --- Broken preconditions ------------------------------------------------------------------

TEST(PathText, BrokenPreconditionsNameTheSourceFile)
{
    const BezierPath path = baseline(300);
    const AttributedString string = text(QStringLiteral("Text"));
    LayoutManager withoutContainer;
    LayoutManager* shared = textOnPathLayoutManager();
    TextStorage storage(string);
    RecordingHelper helper;
    struct Case
    {
        const char* message;
        std::function<void()> call;
    };
    const QList<Case> cases = {
        {"nil layout manager passed while processing text on path",
         [&] { preadjustedTextStorageWithString(path, &string, nullptr); }},
        {"nil string passed while processing text on path",
         [&] { preadjustedTextStorageWithString(path, nullptr, shared); }},
        {" no text container was present in the layout manager",
         [&] { preadjustedTextStorageWithString(path, &string, &withoutContainer); }},
        {" cannot proceed without a valid helper object",
         [&] { layoutStringOnPath(path, &storage, 0, 0, nullptr, shared, nullptr); }},
        {"cannot proceed without a valid layout manager",
         [&] { layoutStringOnPath(path, &storage, 0, 0, &helper, nullptr, nullptr); }},
        {"oops, text storage was nil", [&] { kernText(nullptr, 100); }},
    };
    for (const Case& c : cases) {
        try {
            c.call();
            ADD_FAILURE() << "no exception for " << c.message;
        } catch (const LBPathToolkitException& e) {
            EXPECT_EQ(e.message(), QString::fromLatin1(c.message));
            EXPECT_EQ(e.sourceFile(), QStringLiteral("LBPathText"));
        }
    }
}

} // namespace
