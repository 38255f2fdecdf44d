#include "platform/text/AttributedString.h"
#include "platform/drawing/Image.h"
#include "platform/drawing/Shadow.h"
#include "platform/text/ParagraphStyle.h"

#include "TestFont.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QSizeF>

#include <gtest/gtest.h>

using namespace platform;

namespace {

const QString Mark = QStringLiteral("Mark");

QVariantMap mark(int value)
{
    return {{Mark, value}};
}

// The runs of a string as "text:value" pieces, value "-" when the Mark attribute is absent.
QStringList runs(const AttributedString& string)
{
    QStringList result;
    string.enumerateAttributesInRange(
        Range(0, string.length()), [&](const QVariantMap& attributes, const Range& range, bool&) {
            const QVariant value = attributes.value(Mark);
            result << string.string().mid(range.location, range.length) + u':'
                          + (value.isValid() ? value.toString() : QStringLiteral("-"));
        });
    return result;
}

// "aaaBBBccc" with the runs 1, 2, 3.
AttributedString threeRuns()
{
    AttributedString string(QStringLiteral("aaa"), mark(1));
    string.appendAttributedString(AttributedString(QStringLiteral("BBB"), mark(2)));
    string.appendAttributedString(AttributedString(QStringLiteral("ccc"), mark(3)));
    return string;
}

} // namespace

TEST(AttributedString, AttachmentsAreOneCharacterHoldingThePicture)
{
    const ImagePtr picture = Image::withSize(QSizeF(20, 11));
    AttributedString string(QStringLiteral("Red "));
    string.appendAttributedString(AttributedString::attributedStringWithImage(picture));
    string.appendAttributedString(AttributedString(QStringLiteral(", Blue")));

    EXPECT_EQ(string.string(), QStringLiteral("Red ") + AttachmentCharacter + ", Blue");
    Range range;
    const QVariant held = string.attribute(AttachmentAttributeName, 4, &range);
    EXPECT_EQ(held.value<ImagePtr>(), picture);
    EXPECT_EQ(range, Range(4, 1));
    EXPECT_EQ(string, AttributedString(string)); // the same picture compares equal
    EXPECT_NE(AttributedString::attributedStringWithImage(picture),
              AttributedString::attributedStringWithImage(Image::withSize(QSizeF(20, 11))));
}

TEST(AttributedString, EffectiveRangesFollowEachAttribute)
{
    // "Hello world": font on "Hello", colour on "lo wo".
    AttributedString string(QStringLiteral("Hello world"));
    string.addAttribute(FontAttributeName, testFont(), Range(0, 5));
    string.addAttribute(ForegroundColorAttributeName, QColor(Qt::red), Range(3, 5));

    Range range;
    EXPECT_EQ(string.attributesAtIndex(4, &range).size(), 2);
    EXPECT_EQ(range, Range(3, 2)); // the run with exactly both

    EXPECT_EQ(string.attribute(ForegroundColorAttributeName, 4, &range), QVariant(QColor(Qt::red)));
    EXPECT_EQ(range, Range(3, 5)); // across the font's end
    EXPECT_FALSE(string.attribute(FontAttributeName, 9, &range).isValid());
    EXPECT_EQ(range, Range(5, 6)); // absent is a value too
    EXPECT_TRUE(string.attribute(FontAttributeName, 1, &range, Range(1, 2)).isValid());
    EXPECT_EQ(range, Range(1, 2)); // limited to the range asked about

    EXPECT_TRUE(string.attributesAtIndex(11, &range).isEmpty()); // past the end: nothing
    EXPECT_EQ(range, Range(11, 0));
    EXPECT_TRUE(string.attributesAtIndex(-3).isEmpty());
}

TEST(AttributedString, EqualNeighboursFormOneRun)
{
    AttributedString string(QStringLiteral("abcdef"));
    string.addAttribute(Mark, 7, Range(0, 2));
    string.addAttribute(Mark, 7, Range(2, 2));
    EXPECT_EQ(runs(string), QStringList({"abcd:7", "ef:-"}));
    Range range;
    string.attributesAtIndex(1, &range);
    EXPECT_EQ(range, Range(0, 4));

    // Removing the difference joins the runs again; a null value removes.
    string.addAttribute(Mark, QVariant(), Range(0, 6));
    EXPECT_EQ(runs(string), QStringList({"abcdef:-"}));
    string.addAttributes({{Mark, 1}, {FontAttributeName, testFont()}}, Range(1, 2));
    string.setAttributes({}, Range(0, 6));
    EXPECT_EQ(string, AttributedString(QStringLiteral("abcdef")));
}

TEST(AttributedString, ReplacingAcrossRunBoundaries)
{
    struct Case
    {
        const char* name;
        Range range;
        AttributedString replacement;
        bool plain; // replace with the replacement's plain text
        QStringList expected;
    };
    const Case cases[] = {
        {"plain text takes the first replaced character's attributes",
         Range(2, 5),
         AttributedString(QStringLiteral("XY")),
         true,
         {"aaXY:1", "cc:3"}},
        {"attributed text keeps its own",
         Range(2, 5),
         AttributedString(QStringLiteral("XY"), mark(9)),
         false,
         {"aa:1", "XY:9", "cc:3"}},
        {"insertion at a boundary takes the character before",
         Range(3, 0),
         AttributedString(QStringLiteral("X")),
         true,
         {"aaaX:1", "BBB:2", "ccc:3"}},
        {"insertion at the start takes the first character's",
         Range(0, 0),
         AttributedString(QStringLiteral("X")),
         true,
         {"Xaaa:1", "BBB:2", "ccc:3"}},
        {"deleting a whole run", Range(3, 3), AttributedString(), true, {"aaa:1", "ccc:3"}},
        {"a range past the end is clipped",
         Range(7, 100),
         AttributedString(QStringLiteral("!")),
         true,
         {"aaa:1", "BBB:2", "c!:3"}},
    };
    for (const Case& c : cases) {
        AttributedString string = threeRuns();
        if (c.plain)
            string.replaceCharactersInRange(c.range, c.replacement.string());
        else
            string.replaceCharactersInRange(c.range, c.replacement);
        EXPECT_EQ(runs(string), c.expected) << c.name;
    }

    // Deleting what separates two equal runs leaves one run.
    AttributedString string(QStringLiteral("aa"), mark(1));
    string.appendAttributedString(AttributedString(QStringLiteral("B"), mark(2)));
    string.appendAttributedString(AttributedString(QStringLiteral("aa"), mark(1)));
    string.replaceCharactersInRange(Range(2, 1), QString());
    EXPECT_EQ(runs(string), QStringList({"aaaa:1"}));

    // Replacing with itself.
    AttributedString self = threeRuns();
    self.replaceCharactersInRange(Range(3, 0), self);
    EXPECT_EQ(self.string(), QStringLiteral("aaaaaaBBBcccBBBccc"));
}

TEST(AttributedString, EqualityAndSharing)
{
    ParagraphStyle centred;
    centred.alignment = ParagraphStyle::Alignment::Center;
    Shadow shadow{QSizeF(1, 2), 3, Qt::blue};
    const QVariantMap attributes{
        {ParagraphStyleAttributeName, QVariant::fromValue(centred)},
        {ShadowAttributeName, QVariant::fromValue(shadow)},
        {QStringLiteral("LBQFieldAttributeName"), QVariantMap{{"Key", 1}}}};

    // Built in pieces or at once: the same.
    AttributedString once(QStringLiteral("abcd"), attributes);
    AttributedString pieces(QStringLiteral("ab"));
    pieces.appendAttributedString(AttributedString(QStringLiteral("cd")));
    pieces.addAttributes(attributes, Range(0, 3));
    EXPECT_NE(once, pieces);
    pieces.addAttributes(attributes, Range(3, 1));
    EXPECT_EQ(once, pieces);

    // Values are compared, not their identity.
    ParagraphStyle other = centred;
    other.lineSpacing = 1;
    AttributedString changed = once; // shares until changed
    changed.addAttribute(ParagraphStyleAttributeName, QVariant::fromValue(other), Range(2, 1));
    EXPECT_NE(changed, once);
    EXPECT_EQ(once.attribute(ParagraphStyleAttributeName, 2).value<ParagraphStyle>(), centred);
    EXPECT_NE(AttributedString(QStringLiteral("abce"), attributes), once);
    EXPECT_EQ(AttributedString(),
              AttributedString(QString(), attributes)); // no characters, no runs
}

TEST(AttributedString, SubstringAndEnumeration)
{
    const AttributedString string = threeRuns();
    const AttributedString middle = string.attributedSubstringFromRange(Range(2, 5));
    EXPECT_EQ(runs(middle), QStringList({"a:1", "BBB:2", "c:3"}));
    EXPECT_EQ(string.attributedSubstringFromRange(Range(8, 10)).string(), QStringLiteral("c"));

    // One attribute: equal neighbouring values join; stop ends the walk.
    AttributedString font = threeRuns();
    font.addAttribute(FontAttributeName, testFont(), Range(1, 6));
    QList<Range> ranges;
    font.enumerateAttribute(FontAttributeName, Range(0, 9),
                            [&](const QVariant&, const Range& range, bool&) { ranges << range; });
    EXPECT_EQ(ranges, QList<Range>({Range(0, 1), Range(1, 6), Range(7, 2)}));
    ranges.clear();
    font.enumerateAttribute(FontAttributeName, Range(2, 7),
                            [&](const QVariant&, const Range& range, bool& stop) {
                                ranges << range;
                                stop = true;
                            });
    EXPECT_EQ(ranges, QList<Range>({Range(2, 5)}));
}

TEST(AttributedString, ParagraphRanges)
{
    const AttributedString string(QStringLiteral("ab\r\ncd\n\nef\u2029g"));
    struct Case
    {
        qsizetype index;
        Range paragraph;
    };
    const Case cases[] = {
        {0, Range(0, 4)}, {2, Range(0, 4)},   {3, Range(0, 4)}, // CR LF ends one paragraph
        {4, Range(4, 3)}, {7, Range(7, 1)},                     // an empty paragraph
        {8, Range(8, 3)}, {11, Range(11, 1)}, {12, Range(11, 1)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(string.paragraphRange(c.index), c.paragraph) << c.index;
    EXPECT_EQ(AttributedString(QStringLiteral("ab\n")).paragraphRange(3), Range(3, 0));
}

TEST(AttributedString, SizeAndBoundingRect)
{
    const AttributedString line(QStringLiteral("Hello"), {{FontAttributeName, testFont()}});
    const QSizeF size = line.size();
    EXPECT_NEAR(size.height(), TestLineHeight, 0.05);
    EXPECT_GT(size.width(), 25);
    EXPECT_LT(size.width(), 40);

    AttributedString twoLines = line;
    twoLines.appendAttributedString(
        AttributedString(QStringLiteral("\nHello Hello"), {{FontAttributeName, testFont()}}));
    EXPECT_NEAR(twoLines.size().height(), 2 * TestLineHeight, 0.1);
    EXPECT_GT(twoLines.size().width(), 2 * size.width());

    // From the baseline: the line reaches up by its ascent; the ink of capitals and
    // lower-case letters without descenders stays within it.
    const QRectF typographic = line.boundingRectWithSize(QSizeF(), 0);
    EXPECT_NEAR(typographic.top(), -TestAscent, 0.05);
    EXPECT_NEAR(typographic.height(), TestLineHeight, 0.05);
    const QRectF ink = line.boundingRectWithSize(QSizeF(), AttributedString::UsesDeviceMetrics);
    EXPECT_LT(ink.top(), -8);
    EXPECT_GT(ink.top(), -TestAscent);
    EXPECT_NEAR(ink.bottom(), 0, 0.3);

    // A width limit wraps the text.
    const QRectF wrapped =
        twoLines.boundingRectWithSize(QSizeF(40, 0), AttributedString::UsesLineFragmentOrigin);
    EXPECT_NEAR(wrapped.height(), 3 * TestLineHeight, 0.1);
    EXPECT_LE(wrapped.width(), 40);
    EXPECT_EQ(AttributedString().size(), QSizeF(0, 0));
}

TEST(AttributedString, DrawsAtAPoint)
{
    const AttributedString block(
        QStringLiteral("\u2588"),
        {{FontAttributeName, testFont()}, {ForegroundColorAttributeName, QColor(Qt::blue)}});
    QImage image(40, 30, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    block.drawAtPoint(QPointF(10, 5), painter);
    painter.end();
    // The block fills its advance from above the baseline (5 + ascent) down into the descent.
    EXPECT_EQ(image.pixelColor(13, 12), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(8, 12), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(13, 2), QColor(Qt::white));
}
