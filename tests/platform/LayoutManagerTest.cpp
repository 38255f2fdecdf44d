#include "platform/text/LayoutManager.h"
#include "platform/drawing/Shadow.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"

#include "TestFont.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRawFont>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

using namespace platform;

namespace {

constexpr double Tolerance = 0.05;
const QString Block = QStringLiteral("\u2588"); // a glyph that fills its advance

QVariant style(const std::function<void(ParagraphStyle&)>& change)
{
    ParagraphStyle paragraph;
    change(paragraph);
    return QVariant::fromValue(paragraph);
}

class LayoutManagerTest : public ::testing::Test
{
protected:
    LayoutManagerTest()
    {
        auto owned = std::make_unique<TextContainer>(QSizeF(1000, 1000));
        container = owned.get();
        manager.setTextContainer(std::move(owned));
        storage.addLayoutManager(&manager);
    }

    // The text in the test font, with more attributes when given.
    void setText(const QString& text, const QVariantMap& attributes = {})
    {
        QVariantMap all{{FontAttributeName, testFont()}};
        all.insert(attributes);
        storage.setAttributedString(AttributedString(text, all));
    }

    // The number of lines laid into the container.
    int lineCount()
    {
        int lines = 0;
        const Range glyphs = manager.glyphRangeForTextContainer(container);
        for (qsizetype g = glyphs.location; g < glyphs.end();) {
            Range line;
            manager.lineFragmentRectForGlyphAtIndex(g, &line);
            g = line.end();
            ++lines;
        }
        return lines;
    }

    // The glyph's baseline origin in the container.
    QPointF glyphOrigin(qsizetype glyph)
    {
        return manager.lineFragmentRectForGlyphAtIndex(glyph).topLeft()
               + manager.locationForGlyphAtIndex(glyph);
    }

    QImage draw(const Range& glyphs, const QPointF& origin, const QSize& size = QSize(120, 40))
    {
        QImage image(size, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        manager.drawGlyphsForGlyphRange(glyphs, origin, painter);
        return image;
    }

    TextStorage storage;
    LayoutManager manager;
    TextContainer* container = nullptr;
};

} // namespace

TEST_F(LayoutManagerTest, UsedRectGrowsWithLines)
{
    struct Case
    {
        const char* text;
        int lines;
        int extra;
    };
    const Case cases[] = {
        {"one", 1, 0},          {"one\ntwo", 2, 0}, {"one\ntwo\n", 2, 1},
        {"one\r\n\ntwo", 3, 0}, {"", 0, 1}, // empty text still has the line for the insertion point
    };
    for (const Case& c : cases) {
        setText(QString::fromLatin1(c.text));
        const QRectF used = manager.usedRectForTextContainer(container);
        EXPECT_EQ(lineCount(), c.lines) << c.text;
        EXPECT_NEAR(used.height(), (c.lines + c.extra) * TestLineHeight, Tolerance * 3) << c.text;
        EXPECT_EQ(used.top(), 0) << c.text;
        EXPECT_EQ(manager.extraLineFragmentRect().isNull(), c.extra == 0) << c.text;
    }

    // The used width is the widest line plus the padding at both ends.
    setText(QStringLiteral("one\nthree threes"));
    const double widest =
        AttributedString(QStringLiteral("three threes"), {{FontAttributeName, testFont()}})
            .size()
            .width();
    EXPECT_NEAR(manager.usedRectForTextContainer(container).width(), widest + 10, Tolerance);
    container->setLineFragmentPadding(0);
    EXPECT_NEAR(manager.usedRectForTextContainer(container).width(), widest, Tolerance);

    // Nothing for a container the manager does not have.
    TextContainer other;
    EXPECT_TRUE(manager.usedRectForTextContainer(&other).isNull());
    EXPECT_EQ(manager.glyphRangeForTextContainer(&other), Range());
}

TEST_F(LayoutManagerTest, WrapsAtTheContainerWidth)
{
    const QString words = QStringLiteral("alpha beta gamma delta epsilon");
    container->setContainerSize(QSizeF(80, 1000));
    setText(words);
    ASSERT_GT(lineCount(), 2);
    qreal top = 0;
    for (qsizetype g = 0; g < manager.numberOfGlyphs();) {
        Range line;
        const QRectF fragment = manager.lineFragmentRectForGlyphAtIndex(g, &line);
        const QRectF used = manager.lineFragmentUsedRectForGlyphAtIndex(g);
        EXPECT_EQ(fragment.left(), 0);
        EXPECT_EQ(fragment.width(), 80);
        EXPECT_NEAR(fragment.top(), top, 1e-9);
        EXPECT_GE(used.left(), 0);
        EXPECT_LE(used.right(), 80);
        // Lines break between words.
        const Range characters = manager.characterRangeForGlyphRange(line);
        if (characters.end() < words.size()) {
            EXPECT_EQ(words.at(characters.end() - 1), u' ');
        }
        top = fragment.bottom();
        g = line.end();
    }

    // A container two lines high holds two lines; the rest is left out of it.
    container->setContainerSize(QSizeF(80, 2 * TestLineHeight + 1));
    EXPECT_EQ(lineCount(), 2);
    const Range inside = manager.glyphRangeForTextContainer(container);
    EXPECT_LT(inside.end(), manager.numberOfGlyphs());
    EXPECT_TRUE(manager.lineFragmentRectForGlyphAtIndex(inside.end()).isNull());
    EXPECT_NEAR(manager.usedRectForTextContainer(container).height(), 2 * TestLineHeight,
                Tolerance);

    // How a word longer than the line breaks, by line-break mode.
    container->setContainerSize(QSizeF(60, 1000));
    struct Case
    {
        ParagraphStyle::LineBreakMode mode;
        int lines;
    };
    const Case cases[] = {
        {ParagraphStyle::LineBreakMode::WordWrapping, 3}, // a long word breaks anywhere
        {ParagraphStyle::LineBreakMode::CharWrapping, 3},
        {ParagraphStyle::LineBreakMode::Clipping, 1},
        {ParagraphStyle::LineBreakMode::TruncatingTail, 1},
    };
    for (const Case& c : cases) {
        setText(QStringLiteral("abcdefghijklmnopqrstu"),
                {{ParagraphStyleAttributeName,
                  style([&](ParagraphStyle& p) { p.lineBreakMode = c.mode; })}});
        EXPECT_EQ(lineCount(), c.lines) << int(c.mode);
    }
}

// A line breaks where its advances fill the width, as its used rect measures them, even
// when its last glyph's ink reaches past its advance (the hook of a final "f").
TEST_F(LayoutManagerTest, ALineFitsAContainerAsWideAsItsUsedRect)
{
    using A = ParagraphStyle::Alignment;
    struct Case
    {
        const char* text;
        double size;
        A alignment;
    };
    const Case cases[] = {
        {"Cliff", 34, A::Left},
        {"stuff", 34, A::Left},
        {"The staff of chief", 34, A::Left},
        {"If", 48, A::Right},
        {"Our office", 60, A::Center},
        {"brief", 72, A::Justified},
        {"well off", 96, A::Natural},
    };
    for (const Case& c : cases) {
        container->setContainerSize(QSizeF(100000, 1000));
        setText(QString::fromLatin1(c.text),
                {{FontAttributeName, testFont(c.size)},
                 {ParagraphStyleAttributeName,
                  style([&](ParagraphStyle& p) { p.alignment = c.alignment; })}});
        const QRectF wide = manager.usedRectForTextContainer(container);
        container->setContainerSize(QSizeF(wide.width(), 1000));
        EXPECT_EQ(lineCount(), 1) << c.text << ' ' << c.size;
        // The line keeps its place: flush with both edges.
        const QRectF used = manager.usedRectForTextContainer(container);
        EXPECT_NEAR(used.left(), 0, Tolerance) << c.text << ' ' << c.size;
        EXPECT_NEAR(used.width(), wide.width(), Tolerance) << c.text << ' ' << c.size;
    }

    // Inside a paragraph too: a word whose advances fit stays on its line, and the lines
    // after it follow from there.
    const auto used = [&](const QString& text, double width) {
        container->setContainerSize(QSizeF(width, 1000));
        setText(text, {{FontAttributeName, testFont(40)}});
        return manager.usedRectForTextContainer(container);
    };
    const double width = used(QStringLiteral("A staff"), 100000).width();
    used(QStringLiteral("A staff of a"), width);
    Range first;
    manager.lineFragmentRectForGlyphAtIndex(0, &first);
    EXPECT_EQ(manager.characterRangeForGlyphRange(first), Range(0, 8)); // "A staff "
    EXPECT_EQ(lineCount(), 2);
}

// Each line of a wrapped paragraph is placed as that line's text alone would be, at every
// alignment: its glyphs from the line's start, its trailing space not shown and kept on
// the line.
TEST_F(LayoutManagerTest, WrappedLinesLieAsTheirTextAlone)
{
    using A = ParagraphStyle::Alignment;
    const QString text = QStringLiteral("alpha beta \U0001F600 gamma delta  epsilon zeta eta");
    container->setContainerSize(QSizeF(97.3, 1000));
    for (A alignment : {A::Left, A::Right, A::Center}) {
        const QVariantMap aligned{{ParagraphStyleAttributeName,
                                   style([&](ParagraphStyle& p) { p.alignment = alignment; })}};
        setText(text, aligned);
        struct Line
        {
            QString text;
            QList<double> xs;
            QRectF used;
        };
        QList<Line> lines;
        for (qsizetype g = 0; g < manager.numberOfGlyphs();) {
            Range glyphs;
            const QRectF used = manager.lineFragmentUsedRectForGlyphAtIndex(g, &glyphs);
            Line line{text.mid(manager.characterRangeForGlyphRange(glyphs).location,
                               manager.characterRangeForGlyphRange(glyphs).length),
                      {},
                      used.translated(0, -used.top())};
            // Aligned as asked, the glyphs' advances tiling the line.
            switch (alignment) {
            case A::Right: EXPECT_NEAR(used.right(), 97.3, Tolerance); break;
            case A::Center: EXPECT_NEAR(used.center().x(), 97.3 / 2, Tolerance); break;
            default: EXPECT_NEAR(used.left(), 0, Tolerance); break;
            }
            double edge = used.left() + 5;
            for (qsizetype k = glyphs.location; k < glyphs.end(); ++k) {
                const QRectF box = manager.boundingRectForGlyphRange(Range(k, 1), container);
                if (manager.notShownAttributeForGlyphAtIndex(k)) {
                    EXPECT_TRUE(text.at(manager.characterIndexForGlyphAtIndex(k)).isSpace());
                    EXPECT_LE(box.right(), 97.3 - 5 + 1e-9) << int(alignment);
                    continue;
                }
                EXPECT_NEAR(box.left(), edge, 1e-9) << int(alignment) << ' ' << k;
                edge = box.right();
                line.xs.append(manager.locationForGlyphAtIndex(k).x());
            }
            lines.append(line);
            g = glyphs.end();
        }
        ASSERT_GT(lines.size(), 2);
        for (const Line& line : std::as_const(lines)) {
            setText(line.text.trimmed(), aligned);
            QList<double> xs;
            for (qsizetype k = 0; k < manager.numberOfGlyphs(); ++k)
                xs.append(manager.locationForGlyphAtIndex(k).x());
            ASSERT_EQ(xs.size(), line.xs.size()) << line.text.toStdString();
            for (qsizetype k = 0; k < xs.size(); ++k)
                EXPECT_NEAR(xs.at(k), line.xs.at(k), 1e-6) << line.text.toStdString() << k;
            EXPECT_NEAR(manager.usedRectForTextContainer(container).left(), line.used.left(), 1e-6)
                << line.text.toStdString();
        }
    }
}

// Layouts are kept with the text; any change of the text, its attributes or the container
// lays it out again, and managers sharing a text share its layout only for the same size.
TEST_F(LayoutManagerTest, ARunWithoutBreaksBelowTheBoxLiesOnOneLine)
{
    // A record of 100,000 letters in a box of three lines: the box's lines break at its
    // width as ever, though what lies below the box is laid out otherwise (on lines as
    // wide as can be: its lines of the box's width cost minutes for a few hundred thousand
    // letters; TextAreaBench has the time).
    container->setContainerSize(QSizeF(100, 3 * TestLineHeight + 1));
    const QString run(100000, QLatin1Char('m'));
    setText(run);
    EXPECT_EQ(lineCount(), 3);
    Range first;
    manager.lineFragmentRectForGlyphAtIndex(0, &first);
    Range third;
    const Range shown = manager.glyphRangeForTextContainer(container);
    manager.lineFragmentRectForGlyphAtIndex(shown.end() - 1, &third);
    EXPECT_GT(first.length, 3);
    EXPECT_EQ(third.length, first.length);
    EXPECT_EQ(shown, Range(0, 3 * first.length));
    // Every letter still has its glyph.
    EXPECT_EQ(manager.glyphRangeForCharacterRange(Range(run.size() - 1, 1), nullptr).length, 1);
}

TEST_F(LayoutManagerTest, KeptLayoutsFollowTheTextAndTheContainer)
{
    container->setContainerSize(QSizeF(200, 1000));
    setText(QStringLiteral("alpha beta gamma"));
    const qsizetype glyphs = manager.numberOfGlyphs();
    const double width = manager.usedRectForTextContainer(container).width();

    LayoutManager narrow;
    auto owned = std::make_unique<TextContainer>(QSizeF(60, 1000));
    TextContainer* narrowContainer = owned.get();
    narrow.setTextContainer(std::move(owned));
    storage.addLayoutManager(&narrow);
    EXPECT_GT(narrow.usedRectForTextContainer(narrowContainer).height(), 2 * TestLineHeight);
    EXPECT_NEAR(manager.usedRectForTextContainer(container).height(), TestLineHeight, Tolerance);

    const auto sameAsFresh = [&](const char* change) {
        TextStorage fresh(storage.attributedString());
        LayoutManager freshManager;
        freshManager.setTextContainer(
            std::make_unique<TextContainer>(narrowContainer->containerSize()));
        fresh.addLayoutManager(&freshManager);
        EXPECT_EQ(narrow.numberOfGlyphs(), freshManager.numberOfGlyphs()) << change;
        EXPECT_EQ(narrow.usedRectForTextContainer(narrowContainer),
                  freshManager.usedRectForTextContainer(freshManager.textContainer()))
            << change;
    };
    storage.replaceCharactersInRange(Range(0, 5), QStringLiteral("omega omega"));
    sameAsFresh("characters");
    EXPECT_EQ(manager.numberOfGlyphs(), glyphs + 6);
    storage.addAttribute(FontAttributeName, testFont(20), Range(0, 5));
    sameAsFresh("attributes");
    EXPECT_GT(manager.usedRectForTextContainer(container).width(), width);
    narrowContainer->setContainerSize(QSizeF(120, 1000));
    sameAsFresh("container size");
    narrowContainer->setLineFragmentPadding(0);
    EXPECT_NEAR(narrow.usedRectForTextContainer(narrowContainer).left(), 0, Tolerance);

    // A change in the middle of a batch of edits is not hidden from a manager that joins
    // meanwhile.
    storage.beginEditing();
    storage.replaceCharactersInRange(Range(0, storage.length()), QStringLiteral("xy"));
    LayoutManager joining;
    joining.setTextContainer(std::make_unique<TextContainer>(QSizeF(200, 1000)));
    storage.addLayoutManager(&joining);
    EXPECT_EQ(joining.numberOfGlyphs(), 2);
    storage.endEditing();
    EXPECT_EQ(manager.numberOfGlyphs(), 2);
    storage.removeLayoutManager(&narrow);
    storage.removeLayoutManager(&joining);
}

// Long texts reuse the glyph tables of the layouts they replace: a text laid out again after
// other texts were laid out in its tables answers as it did the first time.
TEST_F(LayoutManagerTest, ALongTextLaidOutAgainAnswersAlike)
{
    struct Answers
    {
        QList<quint32> glyphs;
        QList<qsizetype> characters;
        QList<qsizetype> glyphOfCharacter;
        QList<QPointF> locations;
        QList<QRectF> fragments;
        QList<bool> shown;
        QRectF used;
        bool operator==(const Answers&) const = default;
    };
    const auto answers = [&] {
        Answers a;
        for (qsizetype g = 0; g < manager.numberOfGlyphs(); ++g) {
            a.glyphs.append(manager.glyphAtIndex(g));
            a.characters.append(manager.characterIndexForGlyphAtIndex(g));
            a.locations.append(manager.locationForGlyphAtIndex(g));
            a.fragments.append(manager.lineFragmentRectForGlyphAtIndex(g));
            a.shown.append(!manager.notShownAttributeForGlyphAtIndex(g));
        }
        for (qsizetype c = 0; c < storage.length(); ++c)
            a.glyphOfCharacter.append(manager.glyphIndexForCharacterAtIndex(c));
        a.used = manager.usedRectForTextContainer(container);
        return a;
    };
    const auto repeated = [](const QString& piece, qsizetype length) {
        QString text;
        while (text.size() < length)
            text += piece;
        text.truncate(length);
        return text;
    };
    container->setContainerSize(QSizeF(300, 100000));
    // Plain wrapped paragraphs, tabs and breaks, and text that is not plain.
    const QString first = repeated(QStringLiteral("Words wrapped in lines.\tTab\n"), 2000)
                          + repeated(QStringLiteral("e\u0301 \u05D0\u05D1 fi "), 1500);
    setText(first);
    const Answers before = answers();
    ASSERT_GT(before.glyphs.size(), 3000);

    setText(repeated(QStringLiteral("Other words, other glyphs. "), 2600));
    setText(repeated(QStringLiteral("Shorter\n"), 1100));
    setText(first);
    EXPECT_TRUE(answers() == before);
}

TEST_F(LayoutManagerTest, LineFragmentsSpacingAndIndents)
{
    setText(QStringLiteral("ab\ncd"),
            {{ParagraphStyleAttributeName, style([](ParagraphStyle& p) { p.lineSpacing = 4; })}});
    Range line;
    const QRectF first = manager.lineFragmentRectForGlyphAtIndex(0, &line);
    EXPECT_EQ(line, Range(0, 3)); // the line break's glyph belongs to its line
    EXPECT_NEAR(first.height(), TestLineHeight + 4, Tolerance);
    EXPECT_NEAR(manager.lineFragmentUsedRectForGlyphAtIndex(0).height(), TestLineHeight, Tolerance);
    EXPECT_TRUE(manager.notShownAttributeForGlyphAtIndex(2));
    EXPECT_NEAR(manager.lineFragmentRectForGlyphAtIndex(3).top(), first.bottom(), 1e-9);
    EXPECT_EQ(manager.glyphRangeForBoundingRect(QRectF(0, first.bottom() + 1, 10, 1), container),
              Range(3, 2));
    EXPECT_EQ(manager.glyphRangeForBoundingRect(QRectF(0, 0, 1000, 1000), container), Range(0, 5));
    EXPECT_EQ(manager.glyphRangeForBoundingRect(QRectF(0, 500, 10, 10), container), Range());

    // A line height multiple scales the line, its extra above the baseline; paragraph
    // spacing follows the paragraph's last line only.
    setText(QStringLiteral("ab\ncd"), {{ParagraphStyleAttributeName, style([](ParagraphStyle& p) {
                                            p.lineHeightMultiple = 2;
                                            p.paragraphSpacing = 5;
                                        })}});
    const QRectF doubled = manager.lineFragmentRectForGlyphAtIndex(0, nullptr);
    EXPECT_NEAR(doubled.height(), 2 * TestLineHeight + 5, Tolerance);
    EXPECT_NEAR(manager.locationForGlyphAtIndex(0).y(), TestLineHeight + TestAscent, Tolerance);

    // Indents: the first line from firstLineHeadIndent, the others from headIndent, all
    // ending tailIndent before the trailing margin.
    container->setContainerSize(QSizeF(200, 1000));
    setText(QStringLiteral("alpha beta gamma delta epsilon zeta eta theta"),
            {{ParagraphStyleAttributeName, style([](ParagraphStyle& p) {
                  p.firstLineHeadIndent = 10;
                  p.headIndent = 20;
                  p.tailIndent = -30;
              })}});
    ASSERT_GT(lineCount(), 1);
    manager.lineFragmentRectForGlyphAtIndex(0, &line);
    EXPECT_NEAR(manager.locationForGlyphAtIndex(0).x(), 5 + 10, Tolerance);
    EXPECT_NEAR(manager.locationForGlyphAtIndex(line.end()).x(), 5 + 20, Tolerance);
    for (qsizetype g = 0; g < manager.numberOfGlyphs(); ++g)
        EXPECT_LE(manager.lineFragmentUsedRectForGlyphAtIndex(g).right(), 200 - 30 + Tolerance);
}

TEST_F(LayoutManagerTest, GlyphLocationsIncreaseAlongTheLine)
{
    setText(QStringLiteral("Hello world"));
    ASSERT_EQ(manager.numberOfGlyphs(), 11);
    EXPECT_NEAR(manager.locationForGlyphAtIndex(0).x(), 5, 1e-9); // after the padding
    for (qsizetype g = 0; g < 11; ++g) {
        EXPECT_NEAR(manager.locationForGlyphAtIndex(g).y(), TestAscent, Tolerance);
        if (g > 0) {
            EXPECT_GT(manager.locationForGlyphAtIndex(g).x(),
                      manager.locationForGlyphAtIndex(g - 1).x());
        }
        // Each glyph's box starts at its location and reaches the next one.
        const QRectF box = manager.boundingRectForGlyphRange(Range(g, 1), container);
        EXPECT_NEAR(box.left(), manager.locationForGlyphAtIndex(g).x(), 1e-9);
        if (g + 1 < 11) {
            EXPECT_NEAR(box.right(), manager.locationForGlyphAtIndex(g + 1).x(), 1e-9);
        }
        EXPECT_NEAR(box.height(), TestLineHeight, Tolerance);
    }
    const QRectF all = manager.boundingRectForGlyphRange(Range(0, 11), container);
    EXPECT_NEAR(all.width(), manager.usedRectForTextContainer(container).width() - 10, Tolerance);
    // An empty range: the place of a glyph, no width.
    const QRectF caret = manager.boundingRectForGlyphRange(Range(11, 0), container);
    EXPECT_EQ(caret.width(), 0);
    EXPECT_NEAR(caret.left(), all.right(), 1e-9);

    // Kerning: extra space after every character; 0 turns pair kerning off.
    const double plain = manager.usedRectForTextContainer(container).width();
    setText(QStringLiteral("Hello world"), {{KernAttributeName, 2.0}});
    EXPECT_NEAR(manager.usedRectForTextContainer(container).width(), plain + 11 * 2, Tolerance);
    setText(QStringLiteral("AVAV"));
    const double kerned = manager.usedRectForTextContainer(container).width();
    setText(QStringLiteral("AVAV"), {{KernAttributeName, 0}});
    EXPECT_GT(manager.usedRectForTextContainer(container).width(), kerned + 1);

    // A raised run lifts its glyphs and the line's top.
    setText(QStringLiteral("ab"));
    storage.addAttribute(BaselineOffsetAttributeName, 5.0, Range(1, 1));
    EXPECT_NEAR(manager.locationForGlyphAtIndex(0).y() - manager.locationForGlyphAtIndex(1).y(), 5,
                Tolerance);
    EXPECT_GT(manager.locationForGlyphAtIndex(0).y(), TestAscent + 1);
}

TEST_F(LayoutManagerTest, ParagraphAlignment)
{
    using A = ParagraphStyle::Alignment;
    container->setContainerSize(QSizeF(200, 1000));
    struct Case
    {
        A alignment;
        const char* text;
        double left;
        double right;
    };
    // left / right: where the used rect must start / end (-1: not checked).
    const Case cases[] = {
        {A::Left, "abc", 0, -1},
        {A::Natural, "abc", 0, -1},
        {A::Right, "abc", -1, 200},
        {A::Natural, "\u05d0\u05d1\u05d2", -1, 200}, // right-to-left text starts on the right
        {A::Left, "\u05d0\u05d1\u05d2", 0, -1},
    };
    for (const Case& c : cases) {
        setText(QString::fromUtf8(c.text),
                {{ParagraphStyleAttributeName,
                  style([&](ParagraphStyle& p) { p.alignment = c.alignment; })}});
        const QRectF used = manager.usedRectForTextContainer(container);
        if (c.left >= 0) {
            EXPECT_NEAR(used.left(), c.left, Tolerance) << c.text << int(c.alignment);
        }
        if (c.right >= 0) {
            EXPECT_NEAR(used.right(), c.right, Tolerance) << c.text << int(c.alignment);
        }
    }
    setText(QStringLiteral("abc"), {{ParagraphStyleAttributeName,
                                     style([](ParagraphStyle& p) { p.alignment = A::Center; })}});
    EXPECT_NEAR(manager.usedRectForTextContainer(container).center().x(), 100, Tolerance);

    // Justified: every line but the last fills the width.
    setText(QStringLiteral("alpha beta gamma delta epsilon zeta eta theta iota kappa"),
            {{ParagraphStyleAttributeName,
              style([](ParagraphStyle& p) { p.alignment = A::Justified; })}});
    Range first;
    const QRectF firstUsed = manager.lineFragmentUsedRectForGlyphAtIndex(0, &first);
    EXPECT_NEAR(firstUsed.right(), 200, 0.5);
    EXPECT_LT(manager.lineFragmentUsedRectForGlyphAtIndex(manager.numberOfGlyphs() - 1).right(),
              190);
}

TEST_F(LayoutManagerTest, CharactersAndGlyphs)
{
    struct Case
    {
        const char* name;
        QString text;
        QList<qsizetype> glyphOfCharacter;
        QList<qsizetype> characterOfGlyph;
        Range characters; // asked about
        Range glyphs;     // answer
        Range actualCharacters;
    };
    const Case cases[] = {
        {"one glyph per character",
         QStringLiteral("abc"),
         {0, 1, 2},
         {0, 1, 2},
         Range(1, 1),
         Range(1, 1),
         Range(1, 1)},
        // e and the combining acute come out as one precomposed glyph.
        {"combining mark composed",
         QStringLiteral("e\u0301x"),
         {0, 0, 1},
         {0, 2},
         Range(1, 1),
         Range(0, 1),
         Range(0, 2)},
        // A with two marks: a precomposed glyph plus one mark glyph for the cluster.
        {"cluster of two glyphs",
         QStringLiteral("A\u0308\u0323b"),
         {0, 0, 0, 2},
         {0, 0, 3},
         Range(2, 1),
         Range(0, 2),
         Range(0, 3)},
        // The font joins "ffi" into one glyph.
        {"ligature",
         QStringLiteral("office"),
         {0, 1, 1, 1, 2, 3},
         {0, 1, 4, 5},
         Range(2, 1),
         Range(1, 1),
         Range(1, 3)},
        {"controls",
         QStringLiteral("a\tb\r\n"),
         {0, 1, 2, 3, 4},
         {0, 1, 2, 3, 4},
         Range(1, 2),
         Range(1, 2),
         Range(1, 2)},
    };
    for (const Case& c : cases) {
        setText(c.text);
        QList<qsizetype> mapped;
        for (qsizetype i = 0; i < c.text.size(); ++i)
            mapped << manager.glyphIndexForCharacterAtIndex(i);
        EXPECT_EQ(mapped, c.glyphOfCharacter) << c.name;
        Range actual;
        EXPECT_EQ(manager.glyphRangeForCharacterRange(c.characters, &actual), c.glyphs) << c.name;
        EXPECT_EQ(actual, c.actualCharacters) << c.name;
        Range actualGlyphs;
        EXPECT_EQ(manager.characterRangeForGlyphRange(c.glyphs, &actualGlyphs), c.actualCharacters)
            << c.name;
        EXPECT_EQ(actualGlyphs, c.glyphs) << c.name;
        QList<qsizetype> shownBy;
        for (qsizetype g = 0; g < manager.numberOfGlyphs(); ++g)
            shownBy << manager.characterIndexForGlyphAtIndex(g);
        EXPECT_EQ(shownBy, c.characterOfGlyph) << c.name;
        // Past the end.
        EXPECT_EQ(manager.glyphIndexForCharacterAtIndex(c.text.size()), manager.numberOfGlyphs())
            << c.name;
        EXPECT_EQ(manager.characterIndexForGlyphAtIndex(manager.numberOfGlyphs()), c.text.size())
            << c.name;
    }

    // Controls are glyphs that are not shown; a tab still takes room up to the next stop.
    setText(QStringLiteral("a\tb"));
    EXPECT_FALSE(manager.notShownAttributeForGlyphAtIndex(0));
    EXPECT_TRUE(manager.notShownAttributeForGlyphAtIndex(1));
    EXPECT_TRUE(manager.outlineForGlyphAtIndex(1).isEmpty());
    EXPECT_NEAR(manager.locationForGlyphAtIndex(2).x(), 5 + 28, Tolerance);

    // Ranges across a ligature cover all of it; rectangles per line.
    setText(QStringLiteral("office\noffice"));
    EXPECT_EQ(manager.characterRangeForGlyphRange(Range(1, 1)), Range(1, 3));
    const QList<QRectF> rects = manager.rectArrayForCharacterRange(Range(4, 6), container);
    ASSERT_EQ(rects.size(), 2);
    EXPECT_NEAR(rects.at(0).right(),
                manager.boundingRectForGlyphRange(Range(0, 4), container).right(), Tolerance);
    EXPECT_NEAR(rects.at(1).left(), 5, Tolerance);
    EXPECT_NEAR(rects.at(1).top(), TestLineHeight, Tolerance);
    EXPECT_TRUE(manager.rectArrayForCharacterRange(Range(3, 0), container).isEmpty());
}

TEST_F(LayoutManagerTest, GlyphOutlineLiesInItsBoundingRect)
{
    setText(QStringLiteral("A"));
    const QPainterPath outline = manager.outlineForGlyphAtIndex(0);
    ASSERT_FALSE(outline.isEmpty());
    const QRectF ink = outline.boundingRect().translated(glyphOrigin(0));
    const QRectF box = manager.boundingRectForGlyphRange(Range(0, 1), container);
    EXPECT_TRUE(box.contains(ink))
        << ink.x() << ' ' << ink.y() << ' ' << ink.width() << ' ' << ink.height();
    EXPECT_GT(ink.height(), 8);                         // a capital at 12 points
    EXPECT_LT(ink.bottom(), glyphOrigin(0).y() + 0.01); // standing on the baseline

    // Outlines are in points at the font's size.
    const QRawFont font = manager.fontForGlyphAtIndex(0);
    EXPECT_EQ(font.pixelSize(), 12);
    EXPECT_EQ(font.familyName(), testFont().family());
    storage.addAttribute(FontAttributeName, testFont(24), Range(0, 1));
    EXPECT_NEAR(manager.outlineForGlyphAtIndex(0).boundingRect().height(),
                2 * outline.boundingRect().height(), Tolerance);
}

TEST_F(LayoutManagerTest, DrawingPaintsTheGlyphsOfTheRange)
{
    setText(Block + Block);
    const QPointF origin(10, 5);
    // The middle of each block, in the image.
    auto middle = [&](qsizetype g) {
        const QRectF box = manager.boundingRectForGlyphRange(Range(g, 1), container);
        return (origin + QPointF(box.center().x(), glyphOrigin(g).y() - 4)).toPoint();
    };
    const QImage both = draw(Range(0, 2), origin);
    EXPECT_EQ(both.pixelColor(middle(0)), QColor(Qt::black));
    EXPECT_EQ(both.pixelColor(middle(1)), QColor(Qt::black));
    EXPECT_EQ(both.pixelColor((origin + QPointF(2, 5)).toPoint()),
              QColor(Qt::white)); // in the padding
    EXPECT_EQ(both.pixelColor(middle(1) + QPoint(20, 0)), QColor(Qt::white));

    const QImage second = draw(Range(1, 1), origin);
    EXPECT_EQ(second.pixelColor(middle(0)), QColor(Qt::white));
    EXPECT_EQ(second.pixelColor(middle(1)), QColor(Qt::black));

    // Text beyond the container is not drawn.
    container->setContainerSize(QSizeF(1000, 5));
    const QImage outside = draw(Range(0, 2), origin);
    EXPECT_EQ(outside.pixelColor(middle(0)), QColor(Qt::white));
}

TEST_F(LayoutManagerTest, TemporaryColourChangesTheDrawingOnly)
{
    setText(Block + Block, {{ForegroundColorAttributeName, QColor(Qt::blue)}});
    const AttributedString before = storage.attributedString();
    const QPointF origin(0, 0);
    auto middle = [&](qsizetype g) {
        const QRectF box = manager.boundingRectForGlyphRange(Range(g, 1), container);
        return QPointF(box.center().x(), glyphOrigin(g).y() - 4).toPoint();
    };

    manager.addTemporaryAttribute(ForegroundColorAttributeName, QColor(Qt::red), Range(1, 1));
    QImage image = draw(Range(0, 2), origin);
    EXPECT_EQ(image.pixelColor(middle(0)), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(middle(1)), QColor(Qt::red));
    EXPECT_EQ(storage.attributedString(), before);

    // The colour stays with its character when text is inserted before it.
    storage.replaceCharactersInRange(Range(0, 0), Block);
    Range range;
    EXPECT_EQ(
        manager.temporaryAttributesAtCharacterIndex(2, &range).value(ForegroundColorAttributeName),
        QVariant(QColor(Qt::red)));
    EXPECT_EQ(range, Range(2, 1));
    image = draw(Range(0, 3), origin);
    EXPECT_EQ(image.pixelColor(middle(1)), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(middle(2)), QColor(Qt::red));

    manager.removeTemporaryAttribute(ForegroundColorAttributeName, Range(0, 3));
    EXPECT_EQ(draw(Range(0, 3), origin).pixelColor(middle(2)), QColor(Qt::blue));

    // Leaving the storage drops them.
    manager.addTemporaryAttribute(ForegroundColorAttributeName, QColor(Qt::red), Range(0, 3));
    storage.removeLayoutManager(&manager);
    storage.addLayoutManager(&manager);
    EXPECT_TRUE(manager.temporaryAttributesAtCharacterIndex(0).isEmpty());
}

// A text's lines are drawn at once unless something goes along each of them: every line
// keeps its glyphs in its place and the colour the text has when drawn, and an underline
// runs under each line only as far as its text.
TEST_F(LayoutManagerTest, EveryLineIsDrawnInItsPlaceAndStyle)
{
    const QString text = Block + Block + Block + QLatin1Char('\n') + Block; // glyph 4: line 2
    const QSize size(120, 60);
    auto middle = [&](qsizetype g) {
        const QRectF box = manager.boundingRectForGlyphRange(Range(g, 1), container);
        return QPointF(box.center().x(), glyphOrigin(g).y() - 4).toPoint();
    };
    for (const QColor colour : {QColor(Qt::blue), QColor(Qt::red), QColor(Qt::blue)}) {
        setText(text, {{ForegroundColorAttributeName, colour}});
        const QImage image = draw(Range(0, 5), QPointF(), size);
        for (const qsizetype g : {0, 2, 4})
            EXPECT_EQ(image.pixelColor(middle(g)), colour) << g;
        // Beside the second line's block, below the first line's third.
        EXPECT_EQ(image.pixelColor(QPoint(middle(2).x(), middle(4).y())), QColor(Qt::white));
    }

    // (Blocks reach below the baseline: the underline is looked for under an x.)
    setText(QStringLiteral("xxx\nx"), {{UnderlineStyleAttributeName, 1}});
    const qreal below = manager.fontForGlyphAtIndex(4).underlinePosition();
    const QImage underlined = draw(Range(0, 5), QPointF(), size);
    const auto underlineAt = [&](qsizetype g, qsizetype line) {
        return QPointF(middle(g).x(), glyphOrigin(line).y() + below).toPoint();
    };
    EXPECT_NE(underlined.pixelColor(underlineAt(2, 0)), QColor(Qt::white));
    EXPECT_NE(underlined.pixelColor(underlineAt(4, 4)), QColor(Qt::white));
    EXPECT_EQ(underlined.pixelColor(underlineAt(2, 4)), QColor(Qt::white));
}

TEST_F(LayoutManagerTest, DrawingDecorations)
{
    const QColor green(0, 128, 0);
    // Whether anything is painted within a pixel of point, and its colour.
    auto paintedNear = [](const QImage& image, const QPointF& point, QColor* color = nullptr) {
        for (int dy = -1; dy <= 1; ++dy) {
            const QColor pixel = image.pixelColor(point.toPoint() + QPoint(0, dy));
            if (pixel.red() < 200 || pixel.green() < 200 || pixel.blue() < 200) {
                if (color)
                    *color = pixel;
                return true;
            }
        }
        return false;
    };
    enum Where { UnderlinePosition, MiddleOfX, FourBelowUnderline };
    struct Case
    {
        const char* name;
        QVariantMap attributes;
        Where where;
        bool painted;
    };
    // "x x": only the middle space carries the attributes, so only its decorations show.
    const Case cases[] = {
        {"plain space", {}, UnderlinePosition, false},
        {"underline", {{UnderlineStyleAttributeName, 1}}, UnderlinePosition, true},
        {"no strikethrough", {{UnderlineStyleAttributeName, 1}}, MiddleOfX, false},
        {"strikethrough", {{StrikethroughStyleAttributeName, 2}}, MiddleOfX, true},
        {"no shadow", {{UnderlineStyleAttributeName, 1}}, FourBelowUnderline, false},
        {"shadow of the underline",
         {{UnderlineStyleAttributeName, 1},
          {ShadowAttributeName, QVariant::fromValue(Shadow{QSizeF(0, 4), 0, green})}},
         FourBelowUnderline,
         true},
    };
    for (const Case& c : cases) {
        setText(QStringLiteral("x x"));
        storage.addAttributes(c.attributes, Range(1, 1));
        const QRawFont font = manager.fontForGlyphAtIndex(1);
        const qreal y = c.where == UnderlinePosition ? font.underlinePosition()
                        : c.where == MiddleOfX       ? -font.xHeight() / 2
                                                     : font.underlinePosition() + 4;
        const QPointF at = glyphOrigin(1) + QPointF(2, y);
        QColor color;
        EXPECT_EQ(paintedNear(draw(Range(0, 3), QPointF()), at, &color), c.painted) << c.name;
        if (c.painted && c.attributes.contains(ShadowAttributeName)) {
            EXPECT_GT(color.green(), color.red()) << c.name;
        }
    }

    // Stroke: positive outlines the glyph (the inside stays empty), negative fills too.
    auto blockMiddle = [&] {
        const QRectF box = manager.boundingRectForGlyphRange(Range(0, 1), container);
        return QPointF(box.center().x(), glyphOrigin(0).y() - 4).toPoint();
    };
    setText(Block, {{StrokeWidthAttributeName, 10.0}, {StrokeColorAttributeName, green}});
    EXPECT_EQ(draw(Range(0, 1), QPointF()).pixelColor(blockMiddle()), QColor(Qt::white));
    setText(Block, {{StrokeWidthAttributeName, -10.0}, {StrokeColorAttributeName, green}});
    EXPECT_EQ(draw(Range(0, 1), QPointF()).pixelColor(blockMiddle()), QColor(Qt::black));

    // A blurred shadow is soft at its edge and full inside.
    setText(Block, {{ShadowAttributeName, QVariant::fromValue(Shadow{QSizeF(20, 0), 2, Qt::red})}});
    const QImage shadowed = draw(Range(0, 1), QPointF());
    const QRectF box = manager.boundingRectForGlyphRange(Range(0, 1), container);
    EXPECT_EQ(
        shadowed.pixelColor((QPointF(box.center().x() + 20, glyphOrigin(0).y() - 4)).toPoint()),
        QColor(Qt::red));
    const QColor edge =
        shadowed.pixelColor(QPointF(box.right() + 20, glyphOrigin(0).y() - 4).toPoint());
    EXPECT_GT(edge.green(), 20);
    EXPECT_LT(edge.green(), 235);
}

TEST_F(LayoutManagerTest, OddAttributeValuesDoNotBreakLayout)
{
    // Values of the wrong type count as absent.
    storage.setAttributedString(AttributedString(QStringLiteral("Hello")));
    const QRectF plain = manager.usedRectForTextContainer(container);
    storage.setAttributes({{FontAttributeName, QStringLiteral("Helvetica")},
                           {ParagraphStyleAttributeName, 42},
                           {ForegroundColorAttributeName, QStringLiteral("red")},
                           {KernAttributeName, QStringLiteral("wide")},
                           {ShadowAttributeName, 5},
                           {StrokeWidthAttributeName, QVariantList()}},
                          Range(0, 5));
    EXPECT_EQ(manager.usedRectForTextContainer(container), plain);

    // Numbers that are not finite, or absurdly large, are kept in bounds.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double infinity = std::numeric_limits<double>::infinity();
    ParagraphStyle wild;
    wild.lineSpacing = nan;
    wild.headIndent = 1e300;
    wild.firstLineHeadIndent = -1e300;
    wild.tailIndent = infinity;
    container->setContainerSize(QSizeF(nan, infinity));
    setText(QStringLiteral("Hello world"),
            {{ParagraphStyleAttributeName, QVariant::fromValue(wild)},
             {KernAttributeName, nan},
             {BaselineOffsetAttributeName, 1e300},
             {StrokeWidthAttributeName, -infinity},
             {ShadowAttributeName, QVariant::fromValue(Shadow{QSizeF(nan, 1e300), nan, Qt::red})},
             {FontAttributeName, testFont(1e9)}});
    EXPECT_EQ(manager.numberOfGlyphs(), 11);
    const QRectF used = manager.usedRectForTextContainer(container);
    EXPECT_TRUE(std::isfinite(used.width()) && std::isfinite(used.height()));
    draw(Range(0, 11), QPointF());
}
