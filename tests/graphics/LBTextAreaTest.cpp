// The text box: replacing its text with undo, measuring, automatic sizing, alignment,
// colours, scaling of fonts and kerning, glyph outlines and copying.

#include "TextAreaTestSupport.h"

#include "graphics/GraphicClasses.h"

#include "platform/core/ClassRegistry.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QPainterPath>
#include <QTimer>

#include <gtest/gtest.h>

using platform::AttributedString;
using platform::ParagraphStyle;
using platform::Range;
using Alignment = platform::ParagraphStyle::Alignment;

namespace {

// Fires a timer's timeout now, as the event loop would when it is due.
void fire(QTimer* timer)
{
    ASSERT_TRUE(timer);
    ASSERT_TRUE(timer->isActive());
    timer->stop();
    QMetaObject::invokeMethod(timer, "timeout");
}

} // namespace

TEST(LBTextArea, NewBoxDefaults)
{
    LBTextArea box;
    EXPECT_FALSE(box.contents());
    EXPECT_FALSE(box.drawsStroke());
    EXPECT_EQ(box.reflectionHeight(), 1.0);
    EXPECT_TRUE(box.isTextBox());
    EXPECT_FALSE(box.isShape());
    EXPECT_EQ(box.labelIndexForNewTextEditor(), -1);
    EXPECT_TRUE(box.textIsLocked());
    EXPECT_EQ(box.curveStartingAngle(), 270);
    EXPECT_EQ(box.spiralRate(), 0.2);
    EXPECT_EQ(box.textGradientColor1(), QColor(Qt::black));
    EXPECT_EQ(box.textGradientColor2(), QColor(Qt::white));
    EXPECT_EQ(box.textGradientCenter(), 1.0);
    EXPECT_EQ(box.textGradientCenterSize(), 0.01); // stored 0, read never below 0.01
    EXPECT_EQ(box.knobMask(), 255);
    EXPECT_EQ(box.graphicType(), QString("LBTextArea"));
    // Made by name once the layer's classes are registered.
    registerGraphicClasses();
    EXPECT_TRUE(std::dynamic_pointer_cast<LBTextArea>(
        platform::ClassRegistry<LBGraphic>::create(QStringLiteral("LBTextArea"))));
}

TEST(LBTextArea, ReplacingTheTextIsUndoable)
{
    TextAreaFixture f;
    LBTextArea& box = *f.box;

    // The first text makes the storage; undoing it leaves empty text, not none.
    f.document.step([&] { box.setContents(QStringLiteral("Hello")); });
    ASSERT_TRUE(box.contents());
    const platform::TextStorage* storage = box.contents().get();
    EXPECT_EQ(box.contents()->string(), QString("Hello"));
    f.document.undo();
    ASSERT_TRUE(box.contents());
    EXPECT_EQ(box.contents()->string(), QString(""));
    f.document.redo();
    EXPECT_EQ(box.contents()->string(), QString("Hello"));
    EXPECT_EQ(box.contents().get(), storage); // the same storage, edited in place

    // Attributed text replaces the whole text, attributes and all.
    const AttributedString styled =
        testText(QStringLiteral("Styled"), {{platform::KernAttributeName, 2.0}});
    f.document.step([&] { box.setContents(styled); });
    EXPECT_TRUE(box.contents()->attributedString() == styled);
    f.document.undo();
    EXPECT_EQ(box.contents()->string(), QString("Hello"));
    EXPECT_TRUE(box.contents()->attributedString().attributesAtIndex(0).isEmpty());

    // Plain text takes the attributes of the text it replaces.
    f.document.quietly([&] { box.setContents(styled); });
    f.document.step([&] { box.setContents(QStringLiteral("Plain")); });
    EXPECT_EQ(box.contents()->attributedString().attribute(platform::KernAttributeName, 4), 2.0);

    // The box's own storage again changes nothing and records nothing.
    const int redraws = f.document.invalidations;
    f.document.step([&] { box.setContents(box.contents()); });
    EXPECT_EQ(f.document.invalidations, redraws);
    f.document.undo();
    EXPECT_EQ(box.contents()->string(), QString("Styled"));

    // No text: undo brings it back; a null string means no text too.
    f.document.step([&] { box.setContents(nullptr); });
    EXPECT_FALSE(box.contents());
    f.document.undo();
    ASSERT_TRUE(box.contents());
    EXPECT_EQ(box.contents()->string(), QString("Styled"));
    f.document.step([&] { box.setContents(QString()); });
    EXPECT_FALSE(box.contents());
}

TEST(LBTextArea, EditsOfTheStorageRedrawTheBox)
{
    TextAreaFixture f;
    f.setText(testText(QStringLiteral("abc")));
    NotificationCounter changes(LBGraphicDidChange, f.box.get());
    f.box->contents()->replaceCharactersInRange(Range(3, 0), QStringLiteral("d"));
    EXPECT_EQ(changes.count, 1);
    // Once the storage is dropped, its edits are no longer the box's.
    const LBTextArea::TextStoragePtr old = f.box->contents();
    f.document.quietly([&] { f.box->setContents(nullptr); });
    changes.count = 0;
    old->replaceCharactersInRange(Range(0, 0), QStringLiteral("x"));
    EXPECT_EQ(changes.count, 0);
}

TEST(LBTextArea, RequiredSizeAndTextHeight)
{
    TextAreaFixture f;
    LBTextArea& box = *f.box;
    EXPECT_EQ(box.requiredSize(500), QSizeF(1, 1));
    EXPECT_EQ(box.textHeight(), 0.0);
    f.setText(testText(QString()));
    EXPECT_EQ(box.requiredSize(500), QSizeF(1, 1));
    EXPECT_EQ(box.textHeight(), 0.0);

    // One point wider than the used rectangle, whose lines keep the padding at both ends.
    f.setText(testText(QStringLiteral("Hello")));
    const QSizeF hello = box.requiredSize(1000000);
    EXPECT_NEAR(hello.width(), testAdvance("Hello") + 2 * TestPadding + 1, MetricTolerance);
    EXPECT_NEAR(hello.height(), TestLineHeight, MetricTolerance);

    // A single small letter is still at least 1 x 1, at any limit.
    f.setText(testText(QStringLiteral("."), {{platform::FontAttributeName, testFont(0.1)}}));
    for (double limit : {0.0, 0.5, 3.0, 1e9}) {
        const QSizeF dot = box.requiredSize(limit);
        EXPECT_GE(dot.width(), 1.0) << limit;
        EXPECT_GE(dot.height(), 1.0) << limit;
    }

    // A width limit wraps the lines; textHeight measures at the bounds' width, however
    // low the box is.
    f.setText(testText(QStringLiteral("alpha beta gamma")));
    const double oneWord = testAdvance("gamma") + 2 * TestPadding + 10;
    EXPECT_NEAR(box.requiredSize(oneWord).height(), 3 * TestLineHeight, MetricTolerance);
    f.document.quietly([&] { box.setBounds(QRectF(0, 0, oneWord, 5)); });
    EXPECT_NEAR(box.textHeight(), 3 * TestLineHeight, MetricTolerance);
    f.document.quietly([&] { box.setBounds(QRectF(0, 0, 1000, 5)); });
    EXPECT_NEAR(box.textHeight(), TestLineHeight, MetricTolerance);

    // The natural size puts each paragraph on one line, at the same origin.
    f.setText(testText(QStringLiteral("one\ntwo words")));
    f.document.quietly([&] { box.setBounds(QRectF(7, 8, 20, 20)); });
    f.document.step([&] { box.makeNaturalSize(); });
    EXPECT_EQ(box.bounds().topLeft(), QPointF(7, 8));
    EXPECT_NEAR(box.bounds().width(), testAdvance("two words") + 2 * TestPadding + 1,
                MetricTolerance);
    EXPECT_NEAR(box.bounds().height(), 2 * TestLineHeight, MetricTolerance);
    f.document.undo();
    EXPECT_EQ(box.bounds(), QRectF(7, 8, 20, 20));
}

// A box given the size its text needs shows the text as measured: a last glyph whose ink
// overhangs its advance (a final "f") does not push its word onto another line.
TEST(LBTextArea, ABoxOfItsRequiredSizeKeepsItsLines)
{
    TextAreaFixture f;
    LBTextArea& box = *f.box;
    for (double size : {34.0, 48.0, 72.0}) {
        for (const char* text : {"Cliff", "A staff of", "brief\nroof"}) {
            f.setText(testText(QString::fromLatin1(text),
                               {{platform::FontAttributeName, testFont(size)}}));
            const QSizeF required = box.requiredSize(LBTextArea::maxSize().width());
            f.document.quietly([&] { box.setBounds(QRectF(QPointF(0, 0), required)); });
            EXPECT_NEAR(box.textHeight(), required.height(), MetricTolerance) << text << size;
            EXPECT_EQ(box.requiredSize(required.width()), required) << text << size;
        }
    }
}

// Measures are kept with the text until it, its attributes or the measuring width
// change: each answer is the one a box measuring the text for the first time gives.
TEST(LBTextArea, MeasuresFollowEveryChange)
{
    TextAreaFixture f;
    LBTextArea& box = *f.box;
    f.setText(testText(QStringLiteral("alpha beta gamma")));
    f.document.quietly([&] { box.setBounds(QRectF(0, 0, 80, 10)); });
    // Each measure from a box of its own that has measured nothing else.
    const auto fresh = [&] {
        auto other = std::make_unique<TextAreaFixture>();
        other->setText(box.contents()->attributedString());
        other->document.quietly([&] { other->box->setBounds(box.bounds()); });
        return other;
    };
    const auto expectAsFresh = [&](const char* change) {
        EXPECT_EQ(box.requiredSize(1000), fresh()->box->requiredSize(1000)) << change;
        EXPECT_EQ(box.requiredSize(60), fresh()->box->requiredSize(60)) << change;
        EXPECT_EQ(box.textHeight(), fresh()->box->textHeight()) << change;
        EXPECT_EQ(box.textPath(), fresh()->box->textPath()) << change;
    };
    expectAsFresh("first");
    const double before = box.textHeight();
    box.contents()->replaceCharactersInRange(Range(5, 11), QStringLiteral("!"));
    expectAsFresh("characters");
    EXPECT_LT(box.textHeight(), before);
    box.contents()->addAttribute(platform::FontAttributeName, testFont(30), Range(0, 1));
    expectAsFresh("font");
    f.document.quietly([&] { box.setBounds(QRectF(0, 0, 300, 10)); });
    expectAsFresh("width");
    EXPECT_NEAR(box.textHeight(), testFont(30).pointSizeF() / 12 * TestLineHeight, 1);
    f.document.quietly([&] { box.scaleOtherSettingsByFactor(0.5); });
    expectAsFresh("scaled");
    f.setText(testText(QStringLiteral("omega")));
    expectAsFresh("replaced");
}

TEST(LBTextArea, BoundsNeverBelowOnePoint)
{
    TextAreaFixture f;
    f.document.step([&] { f.box->setBounds(QRectF(5, 5, 0.5, -3)); });
    EXPECT_EQ(f.box->bounds(), QRectF(5, 5, 1, 1));
    f.document.undo();
    EXPECT_EQ(f.box->bounds(), QRectF(10, 20, 300, 100));
}

TEST(LBTextArea, MeasuringLeavesTheSharedLayoutAsItWas)
{
    TextAreaFixture f;
    f.setText(testText(QStringLiteral("Hello")));
    platform::LayoutManager& shared = LBTextArea::textAreaLayoutManager();
    f.box->requiredSize(50);
    f.box->textHeight();
    f.box->textPath();
    EXPECT_EQ(shared.textStorage(), nullptr);
    EXPECT_TRUE(f.box->contents()->layoutManagers().isEmpty());
    EXPECT_EQ(shared.textContainer()->containerSize(), QSizeF(1000000, 1000000));
}

TEST(LBTextArea, AutomaticSizingWaitsAndKeepsTheAlignedEdge)
{
    struct Case
    {
        const char* what;
        Alignment alignment;
        double expectedX;
    };
    // The box is 300 wide at x = 10; the text needs w, so the right edge (310) or the
    // centre (160) stays where it was.
    const double w = testAdvance("Name") + 2 * TestPadding + 1;
    const Case cases[] = {
        {"left", Alignment::Left, 10},
        {"natural", Alignment::Natural, 10},
        {"justified", Alignment::Justified, 10},
        {"right", Alignment::Right, 310 - w},
        {"centre", Alignment::Center, 160 - w / 2},
    };
    for (const Case& c : cases) {
        TextAreaFixture f;
        LBTextArea& box = *f.box;
        box.setAutoResizeTextBox(true);
        EXPECT_EQ(box.knobMask(), 0) << c.what;

        // Nothing in the box's first second, which ends at its deadline (held off here
        // however slowly the test runs).
        const qint64 left = box.autoResizeEnablingDeadline().remainingTime();
        EXPECT_TRUE(left > 0 && left <= 1000) << c.what << ": " << left;
        box.setAutoResizeEnablingDeadline(QDeadlineTimer(QDeadlineTimer::Forever));
        f.setText(alignedText(QStringLiteral("Na"), c.alignment));
        EXPECT_FALSE(box.autoResizeBoundsTimer() && box.autoResizeBoundsTimer()->isActive())
            << c.what;

        // Then, the second over, a burst of edits leaves one resize pending, 0.1 seconds out.
        box.setAutoResizeEnablingDeadline(QDeadlineTimer(0));
        box.contents()->replaceCharactersInRange(Range(2, 0), QStringLiteral("m"));
        box.contents()->replaceCharactersInRange(Range(3, 0), QStringLiteral("e"));
        ASSERT_TRUE(box.autoResizeBoundsTimer()) << c.what;
        EXPECT_TRUE(box.autoResizeBoundsTimer()->isActive()) << c.what;
        EXPECT_EQ(box.autoResizeBoundsTimer()->interval(), 100) << c.what;
        EXPECT_EQ(box.bounds(), QRectF(10, 20, 300, 100)) << c.what;

        f.document.step([&] { fire(box.autoResizeBoundsTimer()); });
        EXPECT_NEAR(box.bounds().x(), c.expectedX, MetricTolerance) << c.what;
        EXPECT_EQ(box.bounds().y(), 20) << c.what;
        EXPECT_NEAR(box.bounds().width(), w, MetricTolerance) << c.what;
        EXPECT_NEAR(box.bounds().height(), TestLineHeight, MetricTolerance) << c.what;
        EXPECT_FALSE(box.autoResizeBoundsTimer()->isActive()) << c.what;
        f.document.undo();
        EXPECT_EQ(box.bounds(), QRectF(10, 20, 300, 100)) << c.what;
    }

    // Without the switch, edits never schedule a resize; mixed alignments keep the left edge.
    TextAreaFixture f;
    f.box->enableAutoResizeTimer();
    f.setText(testText(QStringLiteral("x")));
    EXPECT_FALSE(f.box->autoResizeBoundsTimer());
    AttributedString mixed = alignedText(QStringLiteral("left\ncentre"), Alignment::Left);
    mixed.addAttribute(platform::ParagraphStyleAttributeName,
                       QVariant::fromValue(paragraphStyle(Alignment::Center)), Range(5, 6));
    f.setText(mixed);
    f.document.quietly([&] { f.box->autoResizeBounds(); });
    EXPECT_EQ(f.box->bounds().x(), 10);
}

TEST(LBTextArea, TextAlignmentOfTheWholeText)
{
    using Direction = ParagraphStyle::WritingDirection;
    struct Case
    {
        const char* what;
        std::optional<ParagraphStyle> style;
        qint64 expected;
    };
    const Case cases[] = {
        {"no style", std::nullopt, 0},
        {"left", paragraphStyle(Alignment::Left), 0},
        {"right", paragraphStyle(Alignment::Right), 1},
        {"centre", paragraphStyle(Alignment::Center), 2},
        {"justified", paragraphStyle(Alignment::Justified), 3},
        {"natural", paragraphStyle(Alignment::Natural), 0},
        {"natural left to right", paragraphStyle(Alignment::Natural, Direction::LeftToRight), 0},
        {"natural right to left", paragraphStyle(Alignment::Natural, Direction::RightToLeft), 1},
    };
    for (const Case& c : cases) {
        TextAreaFixture f;
        QVariantMap attributes;
        if (c.style)
            attributes.insert(platform::ParagraphStyleAttributeName, QVariant::fromValue(*c.style));
        f.setText(testText(QStringLiteral("one\ntwo"), attributes));
        EXPECT_EQ(f.box->textAlignment(), c.expected) << c.what;
    }

    TextAreaFixture f;
    EXPECT_EQ(f.box->textAlignment(), 0);
    // Runs that differ, even where one has no style at all.
    AttributedString mixed = alignedText(QStringLiteral("one\ntwo"), Alignment::Center);
    mixed.removeAttribute(platform::ParagraphStyleAttributeName, Range(4, 3));
    f.setText(mixed);
    EXPECT_EQ(f.box->textAlignment(), -2);
    // Right and natural right-to-left are the same alignment.
    mixed = alignedText(QStringLiteral("one\ntwo"), Alignment::Right);
    mixed.addAttribute(platform::ParagraphStyleAttributeName,
                       QVariant::fromValue(paragraphStyle(
                           Alignment::Natural, ParagraphStyle::WritingDirection::RightToLeft)),
                       Range(4, 3));
    f.setText(mixed);
    EXPECT_EQ(f.box->textAlignment(), 1);
}

TEST(LBTextArea, ColoursFollowTheGraphicAlpha)
{
    TextAreaFixture f;
    LBTextArea& box = *f.box;
    EXPECT_EQ(box.firstCharacterColor(), QColor(Qt::black));
    f.setText(testText(QStringLiteral("ab")));
    EXPECT_EQ(box.firstCharacterColor(), QColor(Qt::black));

    AttributedString text = testText(QStringLiteral("red plain"));
    text.addAttribute(platform::ForegroundColorAttributeName, QColor(255, 0, 0), Range(0, 3));
    f.setText(text);
    f.document.step([&] { box.setGraphicAlpha(0.5); });
    const AttributedString faded = box.contents()->attributedString();
    EXPECT_NEAR(faded.attribute(platform::ForegroundColorAttributeName, 0).value<QColor>().alphaF(),
                0.5, 1e-4);
    EXPECT_EQ(faded.attribute(platform::ForegroundColorAttributeName, 0).value<QColor>().red(),
              255);
    // A run without colour becomes black at that alpha.
    const QColor plain = faded.attribute(platform::ForegroundColorAttributeName, 5).value<QColor>();
    EXPECT_EQ(plain.rgb(), QColor(Qt::black).rgb());
    EXPECT_NEAR(plain.alphaF(), 0.5, 1e-4);
    // The first character's colour reads at full strength while it is the graphic's alpha.
    EXPECT_EQ(box.firstCharacterColor(), QColor(255, 0, 0));

    f.document.undo();
    EXPECT_EQ(box.graphicAlpha(), 1.0);
    EXPECT_EQ(box.contents()
                  ->attributedString()
                  .attribute(platform::ForegroundColorAttributeName, 0)
                  .value<QColor>(),
              QColor(255, 0, 0));

    // A translucent colour that is not the graphic's alpha stays translucent.
    text.addAttribute(platform::ForegroundColorAttributeName, QColor(0, 0, 255, 128), Range(0, 3));
    f.setText(text);
    EXPECT_EQ(box.firstCharacterColor(), QColor(0, 0, 255, 128));
}

TEST(LBTextArea, ScalingFontsAndKerning)
{
    using platform::FontAttributeName;
    using platform::KernAttributeName;
    // Kerning: a kern is scaled, a kern of 0 (no pair kerning) stays 0, and text without
    // a kern gets the factor only when standard kerning is not ignored.
    struct Case
    {
        const char* what;
        QVariant kern;
        bool ignore;
        QVariant expected;
    };
    const Case cases[] = {
        {"kern 1.5", 1.5, true, 3.0},
        {"kern 1.5, standard not ignored", 1.5, false, 3.0},
        {"negative kern", -0.5, true, -1.0},
        {"kern 0", 0.0, true, 0.0},
        {"kern 0, standard not ignored", 0.0, false, 0.0},
        {"no kern", QVariant(), true, QVariant()},
        {"no kern, standard not ignored", QVariant(), false, 2.0},
    };
    for (const Case& c : cases) {
        AttributedString text(QStringLiteral("ab"));
        if (!c.kern.isNull())
            text.addAttribute(KernAttributeName, c.kern, Range(0, 2));
        LBTextArea::adjustKerningInString(text, 2.0, c.ignore);
        EXPECT_EQ(text.attribute(KernAttributeName, 1), c.expected) << c.what;
    }

    // Fonts: each run at its size × factor; text without a font gets the default font.
    QFont pixels = testFont();
    pixels.setPixelSize(10);
    AttributedString text(QStringLiteral("abc"));
    text.addAttribute(FontAttributeName, testFont(12), Range(0, 1));
    text.addAttribute(FontAttributeName, pixels, Range(2, 1));
    LBTextArea::adjustFontSizeInString(text, 1.5);
    const QFont first = text.attribute(FontAttributeName, 0).value<QFont>();
    EXPECT_EQ(first.family(), testFont().family());
    EXPECT_EQ(first.pointSizeF(), 18.0);
    const QFont second = text.attribute(FontAttributeName, 1).value<QFont>();
    EXPECT_EQ(second.family(), AttributedString::defaultFont().family());
    EXPECT_EQ(second.pointSizeF(), 18.0);
    EXPECT_EQ(text.attribute(FontAttributeName, 2).value<QFont>().pointSizeF(), 15.0);
    // Nothing for empty text or a factor that is no factor.
    AttributedString empty;
    LBTextArea::adjustFontSizeInString(empty, 2.0);
    EXPECT_TRUE(empty == AttributedString());
    const AttributedString before = text;
    LBTextArea::adjustFontSizeInString(text, 0.0);
    LBTextArea::adjustFontSizeInString(text, qQNaN());
    EXPECT_TRUE(text == before);

    // A resize scales the box's text; undoing the resize puts it back exactly.
    TextAreaFixture f;
    AttributedString boxText = testText(QStringLiteral("kerned none zero"));
    boxText.addAttribute(KernAttributeName, 0.7, Range(0, 6));
    boxText.addAttribute(KernAttributeName, 0.0, Range(12, 4));
    f.setText(boxText);
    f.document.step([&] { f.box->scaleOtherSettingsByFactor(1.0 / 3.0); });
    const AttributedString scaled = f.box->contents()->attributedString();
    EXPECT_NEAR(scaled.attribute(FontAttributeName, 0).value<QFont>().pointSizeF(), 4.0, 1e-9);
    EXPECT_NEAR(scaled.attribute(KernAttributeName, 0).toDouble(), 0.7 / 3, 1e-9);
    EXPECT_TRUE(scaled.attribute(KernAttributeName, 7).isNull());
    EXPECT_EQ(scaled.attribute(KernAttributeName, 13), 0.0);
    f.document.undo();
    EXPECT_TRUE(f.box->contents()->attributedString() == boxText);
    f.document.redo();
    EXPECT_TRUE(f.box->contents()->attributedString() == scaled);
}

TEST(LBTextArea, OutlinePathOfTheBox)
{
    TextAreaFixture f;
    f.document.quietly([&] { f.box->setStrokeLineWidth(4); });
    std::optional<platform::BezierPath> path = f.box->bezierPath();
    ASSERT_TRUE(path);
    EXPECT_EQ(path->bounds(), QRectF(12, 22, 296, 96));
    EXPECT_EQ(path->lineWidth(), 4);
    EXPECT_TRUE(path->lineDash().isEmpty());
    f.document.quietly([&] { f.box->setLineDash({3, 1, 0, 0}, 2); });
    path = f.box->bezierPath();
    EXPECT_EQ(path->lineDash(), (QList<qreal>{12, 4}));
    EXPECT_EQ(path->lineDashPhase(), 0);
}

TEST(LBTextArea, GlyphOutlinesSitOnTheLinesBaselines)
{
    TextAreaFixture f;
    EXPECT_FALSE(f.box->textPath());
    f.setText(testText(QString()));
    EXPECT_FALSE(f.box->textPath());
    // Only controls: an empty outline.
    f.setText(testText(QStringLiteral("\t\n")));
    ASSERT_TRUE(f.box->textPath());
    EXPECT_TRUE(f.box->textPath()->isEmpty());

    // Upright glyphs in the box's own coordinates: "H" stands on the first baseline, its
    // top a cap height above it; the second line's "H" one line lower.
    const QRawFont raw = [] {
        QRawFont font = QRawFont::fromFont(testFont());
        font.setPixelSize(12);
        return font;
    }();
    const QRectF h = raw.pathForGlyph(raw.glyphIndexesForString("H").value(0)).boundingRect();
    f.setText(testText(QStringLiteral("H")));
    std::optional<platform::BezierPath> path = f.box->textPath();
    ASSERT_TRUE(path);
    QRectF ink = path->bounds();
    EXPECT_NEAR(ink.left(), TestPadding + h.left(), MetricTolerance);
    EXPECT_NEAR(ink.bottom(), TestAscent, MetricTolerance);
    EXPECT_NEAR(ink.top(), TestAscent + h.top(), MetricTolerance);

    f.setText(testText(QStringLiteral("H\nH")));
    ink = f.box->textPath()->bounds();
    EXPECT_NEAR(ink.bottom(), TestAscent + TestLineHeight, MetricTolerance);
    EXPECT_NEAR(ink.top(), TestAscent + h.top(), MetricTolerance);

    // Text taller than the box is laid out in a container 1000 points taller.
    f.document.quietly([&] { f.box->setBounds(QRectF(0, 0, 100, 1)); });
    EXPECT_NEAR(f.box->textPath()->bounds().bottom(), TestAscent + TestLineHeight, MetricTolerance);
}

TEST(LBTextArea, CopiesCarryTheTextAndSettings)
{
    TextAreaFixture f;
    LBTextArea& box = *f.box;
    f.setText(testText(QStringLiteral("Copy me")));
    f.document.quietly([&] {
        box.setTextResizeMask(LBTextArea::ReduceFont | LBTextArea::ResizeLeftSide);
        box.setTextBlockHorizontalAlignment(2);
        box.setTextBlockVerticalAlignment(1);
        box.setIsCurved(true);
        box.setIsSpiral(true);
        box.setDrawsOnInsideOfCurve(true);
        box.setCurveStartingAngle(90);
        box.setSpiralRate(0.5);
        box.setTextGradientType(3);
        box.setTextGradientColor1(Qt::red);
        box.setTextGradientColor2(Qt::blue);
        box.setTextGradientCenter(0.3);
        box.setTextGradientCenterSize(0.4);
        box.setTextGradientAngle(45);
    });
    box.setPostnetBarcodeWidth(120);
    box.setTextBoxType(2);
    box.setLabelIndexForNewTextEditor(4);
    box.setTextIsLocked(false);
    box.setDrawAddressPopup(true);
    box.setAutoResizeTextBox(true);
    box.setEditedText(testText(QStringLiteral("label text")), QString());
    box.setAddressIndex(1, QStringLiteral("uid"));

    const auto copy = std::dynamic_pointer_cast<LBTextArea>(box.copy());
    ASSERT_TRUE(copy);
    ASSERT_TRUE(copy->contents());
    EXPECT_NE(copy->contents(), box.contents());
    EXPECT_TRUE(copy->contents()->attributedString() == box.contents()->attributedString());
    EXPECT_EQ(copy->bounds(), box.bounds());
    EXPECT_EQ(copy->textResizeMask(), 17u);
    EXPECT_TRUE(std::dynamic_pointer_cast<ProbeTextArea>(copy));
    EXPECT_EQ(copy->textBlockHorizontalAlignment(), 2);
    EXPECT_EQ(copy->textBlockVerticalAlignment(), 1);
    EXPECT_EQ(copy->postnetBarcodeWidth(), 120);
    EXPECT_EQ(copy->textBoxType(), 2);
    EXPECT_EQ(copy->addressTabStr(), QString("Delivery Addr"));
    EXPECT_EQ(copy->labelIndexForNewTextEditor(), -1); // reset by setEditedText
    EXPECT_EQ(copy->editedTextArray(), box.editedTextArray());
    EXPECT_EQ(copy->addressIndexArray(), box.addressIndexArray());
    EXPECT_FALSE(copy->textIsLocked());
    EXPECT_TRUE(copy->drawsAddressPopup());
    EXPECT_TRUE(copy->isCurved());
    EXPECT_TRUE(copy->isSpiral());
    EXPECT_TRUE(copy->drawsOnInsideOfCurve());
    EXPECT_EQ(copy->curveStartingAngle(), 90);
    EXPECT_EQ(copy->spiralRate(), 0.5);
    EXPECT_EQ(copy->textGradientType(), 3);
    EXPECT_EQ(copy->textGradientColor1(), QColor(Qt::red));
    EXPECT_EQ(copy->textGradientColor2(), QColor(Qt::blue));
    EXPECT_EQ(copy->textGradientCenter(), 0.3);
    EXPECT_EQ(copy->textGradientCenterSize(), 0.4);
    EXPECT_EQ(copy->textGradientAngle(), 45);
    EXPECT_FALSE(copy->autoResizeTextBox()); // not copied
    EXPECT_FALSE(copy->document());

    // Editing the copy's text leaves the original alone.
    copy->contents()->replaceCharactersInRange(Range(0, 4), QStringLiteral("Keep"));
    EXPECT_EQ(box.contents()->string(), QString("Copy me"));
}

TEST(LBTextArea, FittingSettingsAndMultipliers)
{
    TextAreaFixture f;
    LBTextArea& box = *f.box;
    NotificationCounter changes(LBGraphicDidChange, &box);
    f.document.step([&] { box.setTextResizeMask(LBTextArea::IncreaseSpacing); });
    EXPECT_EQ(changes.count, 1);
    f.document.step([&] { box.setTextResizeMask(LBTextArea::IncreaseSpacing); });
    EXPECT_EQ(changes.count, 1); // equal: nothing
    f.document.undo();
    EXPECT_EQ(box.textResizeMask(), 0u);

    box.shrinkMultipliers()[0] = {0.9, 0.8};
    box.expandMultipliers()[3] = {1.2};
    EXPECT_EQ(box.shrinkMultipliers().value(0), (QList<double>{0.9, 0.8}));
    box.removeMultipliers();
    EXPECT_TRUE(box.shrinkMultipliers().isEmpty());
    EXPECT_TRUE(box.expandMultipliers().isEmpty());

    // Block alignment setters record undo even for an equal value.
    f.document.step([&] { box.setTextBlockVerticalAlignment(0); });
    EXPECT_TRUE(f.document.canUndo());
    f.document.step([&] { box.setTextBlockHorizontalAlignment(1); });
    f.document.undo();
    EXPECT_EQ(box.textBlockHorizontalAlignment(), 0);
}
