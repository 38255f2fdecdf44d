// Merge fields and rollovers, text-box types and the address tab, per-label and
// per-contact text, address choices, the text gradient and curve settings.

#include "TextAreaTestSupport.h"

#include "graphics/LBGradientFill.h"
#include "platform/core/Range.h"
#include "platform/core/TextForms.h"
#include "platform/text/TextStorage.h"

#include <QStringList>

#include <gtest/gtest.h>

using platform::AttributedString;
using platform::Range;

namespace {

QVariantMap fieldOptions(const QString& key)
{
    return {{QStringLiteral("Property"), QStringLiteral("Phone")}, {key, 1}};
}

// "Name: " then fields at (6, 5) with options, (11, 1) without any, (14, 4) not a
// dictionary, and plain text after them.
AttributedString textWithFields()
{
    AttributedString text = testText(QStringLiteral("Name: FirstL, City and more"));
    text.addAttribute(LBQFieldAttributeName, fieldOptions(QStringLiteral("LBPhoneFormatIndex")),
                      Range(6, 5));
    text.addAttribute(LBQFieldAttributeName,
                      QVariantMap{{QStringLiteral("Property"), QStringLiteral("Last")}},
                      Range(11, 1));
    text.addAttribute(LBQFieldAttributeName, QStringLiteral("not options"), Range(14, 4));
    return text;
}

QString rangesText(const QList<Range>& ranges)
{
    QStringList parts;
    for (const Range& range : ranges)
        parts.append(platform::stringFromRange(range));
    return parts.join(QLatin1Char(' '));
}

// Records the "EditedTextSaved" notifications of one box.
class EditedTextListener
{
public:
    explicit EditedTextListener(const LBTextArea* box)
        : _token(platform::NotificationCenter::defaultCenter().addObserver(
            LBEditedTextSavedNotification, box,
            [this](const platform::Notification& n) { posts.append(n.userInfo); }))
    {}
    QList<QVariantMap> posts;

private:
    platform::ObserverToken _token;
};

} // namespace

TEST(LBTextAreaFields, FindingFieldRuns)
{
    TextAreaFixture f;
    LBTextArea& box = *f.box;
    EXPECT_FALSE(box.containsFields());
    EXPECT_TRUE(box.fieldsOverlappingRange(Range(0, 10)).isEmpty());
    f.setText(testText(QStringLiteral("plain")));
    EXPECT_FALSE(box.containsFields());

    // A text whose only field starts at its 5th character.
    AttributedString late = testText(QStringLiteral("Dear Name"));
    late.addAttribute(LBQFieldAttributeName, QVariantMap{}, Range(4, 5));
    f.setText(late);
    EXPECT_TRUE(box.containsFields());

    AttributedString text = testText(QStringLiteral("Field2 text Other"));
    text.addAttribute(LBQFieldAttributeName, fieldOptions("IncludeZeros"), Range(0, 6));
    text.addAttribute(LBQFieldAttributeName, fieldOptions("LBDateFormatIndex"), Range(12, 5));
    f.setText(text);
    struct Case
    {
        Range range;
        const char* expected;
    };
    const Case cases[] = {
        {Range(0, 0), ""},       // at a field's first character: nothing
        {Range(2, 0), "{0, 6}"}, // inside a field: the whole field
        {Range(6, 0), ""},
        {Range(3, 2), "{0, 6}"},
        {Range(5, 8), "{0, 6} {12, 5}"},
        {Range(6, 6), ""}, // ends where the next field starts
        {Range(6, 7), "{12, 5}"},
        {Range(0, 17), "{0, 6} {12, 5}"},
        {Range(16, 100), "{12, 5}"},
        {Range(17, 1), ""}, // at or beyond the end
        {Range(40, 0), ""},
        {Range(-1, 5), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rangesText(box.fieldsOverlappingRange(c.range)), QString(c.expected))
            << platform::stringFromRange(c.range).toStdString();
}

TEST(LBTextAreaFields, RolloversCoverFieldsWithOptions)
{
    TextAreaFixture f;
    LBTextArea& box = *f.box;
    EXPECT_FALSE(box.fieldRolloverArray());
    f.setText(testText(QStringLiteral("no fields")));
    ASSERT_TRUE(box.fieldRolloverArray());
    EXPECT_TRUE(box.fieldRolloverArray()->isEmpty());

    // Only the field with options gets an entry; the others are left out.
    f.setText(textWithFields());
    EXPECT_EQ(box.fieldsOverlappingRange(Range(0, 27)).size(), 3);
    std::optional<QList<QVariantMap>> rollovers = box.fieldRolloverArray();
    ASSERT_TRUE(rollovers);
    ASSERT_EQ(rollovers->size(), 1);
    const QVariantMap entry = rollovers->first();
    EXPECT_EQ(entry.value("LBFieldDictionary").toMap(), fieldOptions("LBPhoneFormatIndex"));
    EXPECT_EQ(entry.value("LBFieldRange"), QString("{6, 5}"));
    const QStringList rects = entry.value("LBRolloverRectArray").toStringList();
    ASSERT_EQ(rects.size(), 1);
    const QRectF rect = platform::rectFromString(rects.first());
    EXPECT_NEAR(rect.left(), TestPadding + testAdvance("Name: "), MetricTolerance);
    EXPECT_NEAR(rect.width(), testAdvance("First"), MetricTolerance);
    EXPECT_NEAR(rect.top(), 0, MetricTolerance);
    EXPECT_NEAR(rect.height(), TestLineHeight, MetricTolerance);

    // A field wrapped over two lines gets a rectangle for each.
    AttributedString wrapped = testText(QStringLiteral("aaaa bbbb"));
    wrapped.addAttribute(LBQFieldAttributeName, fieldOptions("LBTimeFormatIndex"), Range(0, 9));
    f.setText(wrapped);
    box.resetFieldRolloverArray();
    f.document.quietly(
        [&] { box.setBounds(QRectF(0, 0, testAdvance("aaaa ") + 2 * TestPadding + 1, 50)); });
    rollovers = box.fieldRolloverArray();
    ASSERT_EQ(rollovers->size(), 1);
    EXPECT_EQ(rollovers->first().value("LBRolloverRectArray").toStringList().size(), 2);

    // Kept until reset: text edits alone do not drop it; bounds and zoom changes do.
    f.setText(textWithFields());
    EXPECT_EQ(box.fieldRolloverArray()->first().value("LBFieldRange"), QString("{0, 9}"));
    box.resetFieldRolloverArray();
    EXPECT_EQ(box.fieldRolloverArray()->first().value("LBFieldRange"), QString("{6, 5}"));
    f.setText(wrapped);
    f.document.quietly([&] { box.setBounds(QRectF(0, 0, 400, 50)); });
    EXPECT_EQ(box.fieldRolloverArray()->first().value("LBFieldRange"), QString("{0, 9}"));
    f.setText(textWithFields());
    box.setZoomFactor(2);
    EXPECT_EQ(box.fieldRolloverArray()->first().value("LBFieldRange"), QString("{6, 5}"));
}

TEST(LBTextAreaFields, AddressTabsByType)
{
    struct Case
    {
        qint64 type;
        const char* caption;
    };
    const Case cases[] = {
        {-1, nullptr}, {0, nullptr}, {1, "Return Addr"}, {2, "Delivery Addr"}, {3, "Delivery Addr"},
    };
    for (const Case& c : cases) {
        TextAreaFixture f;
        LBTextArea& box = *f.box;
        const int redraws = f.document.invalidations;
        box.setTextBoxType(c.type);
        EXPECT_EQ(box.textBoxType(), c.type);
        EXPECT_EQ(f.document.invalidations, redraws); // no redraw, no undo
        EXPECT_FALSE(f.document.canUndo());
        const QRectF withoutHandles = box.shadowDrawingBoundsWithHandles(false);
        if (!c.caption) {
            EXPECT_TRUE(box.addressTabStr().isNull()) << c.type;
            EXPECT_EQ(box.textTabBounds(), QRectF()) << c.type;
            continue;
        }
        EXPECT_EQ(box.addressTabStr(), QString(c.caption)) << c.type;
        // A strip directly above the top edge, starting 4 points in from the left.
        const QRectF tab = box.textTabBounds();
        EXPECT_EQ(tab.x(), 14) << c.type;
        EXPECT_GT(tab.height(), 9) << c.type;
        EXPECT_DOUBLE_EQ(tab.bottom(), 20) << c.type;
        EXPECT_GT(tab.width(), 40) << c.type;
        const QRectF withHandles = box.shadowDrawingBoundsWithHandles(true);
        const QRectF base = box.LBGraphic::shadowDrawingBoundsWithHandles(true);
        EXPECT_DOUBLE_EQ(withHandles.top(), base.top() - tab.height()) << c.type;
        EXPECT_DOUBLE_EQ(withHandles.bottom(), base.bottom()) << c.type;
        EXPECT_EQ(box.shadowDrawingBoundsWithHandles(false), withoutHandles) << c.type;
    }
    // Only delivery addresses report the height of their text.
    TextAreaFixture f;
    f.setText(testText(QStringLiteral("Ann Smith\n1 High St")));
    f.box->setTextBoxType(1);
    drawnImage(*f.box, QRectF(0, 0, 400, 200));
    EXPECT_EQ(f.box->recipientTextHeight(), 0.0);
    f.box->setTextBoxType(2);
    drawnImage(*f.box, QRectF(0, 0, 400, 200));
    EXPECT_NEAR(f.box->recipientTextHeight(), 2 * TestLineHeight, MetricTolerance);
}

TEST(LBTextAreaFields, PerLabelAndPerContactText)
{
    TextAreaFixture f;
    LBTextArea& box = *f.box;
    EditedTextListener listener(&box);
    const AttributedString forLabel = testText(QStringLiteral("for label 3"));
    const AttributedString forContact = testText(QStringLiteral("for Ann"));

    qint64 position = 7;
    EXPECT_FALSE(box.editedTextForLabelIndex(3, QString(), &position));
    EXPECT_EQ(position, -1);

    // Text given: recorded for the label to edit next, announced with its position.
    box.setLabelIndexForNewTextEditor(3);
    box.setEditedText(forLabel, QString());
    EXPECT_EQ(box.labelIndexForNewTextEditor(), -1);
    ASSERT_EQ(listener.posts.size(), 1);
    EXPECT_TRUE(listener.posts[0].value("EditedText").value<AttributedString>() == forLabel);
    EXPECT_EQ(listener.posts[0].value("EditedTextArrayIndex"), qint64(0));
    box.setEditedText(forContact, QStringLiteral("ann"));
    ASSERT_EQ(listener.posts.size(), 2);
    EXPECT_EQ(listener.posts[1].value("EditedTextArrayIndex"), qint64(1));
    ASSERT_TRUE(box.editedTextArray());
    EXPECT_EQ(box.editedTextArray()->at(0).value("EditedTextLabelIndex"), qint64(3));
    EXPECT_FALSE(box.editedTextArray()->at(0).contains("EditedTextContactUID"));
    EXPECT_EQ(box.editedTextArray()->at(1).value("EditedTextContactUID"), QString("ann"));
    EXPECT_FALSE(box.editedTextArray()->at(1).contains("EditedTextLabelIndex"));

    // Found by contact when one is given, else by label; the first match wins.
    EXPECT_TRUE(box.editedTextForLabelIndex(99, QStringLiteral("ann"), &position) == forContact);
    EXPECT_EQ(position, 1);
    EXPECT_TRUE(box.editedTextForLabelIndex(3, QString(), &position) == forLabel);
    EXPECT_EQ(position, 0);
    EXPECT_FALSE(box.editedTextForLabelIndex(3, QStringLiteral("bob"), &position));
    EXPECT_EQ(position, -1);
    EXPECT_TRUE(box.editedTextForLabelIndex(3, QString(), nullptr));

    // No text: what was recorded is found and announced again.
    box.setLabelIndexForNewTextEditor(3);
    box.setEditedText(std::nullopt, QString());
    ASSERT_EQ(listener.posts.size(), 3);
    EXPECT_EQ(listener.posts[2].value("EditedTextArrayIndex"), qint64(0));
    EXPECT_EQ(box.editedTextArray()->size(), 2);

    // Nothing recorded for that label: nothing is announced (an announcement without a
    // text would have the preview overwrite entry 0), and the label is reset all the same.
    box.setLabelIndexForNewTextEditor(8);
    box.setEditedText(std::nullopt, QString());
    EXPECT_EQ(listener.posts.size(), 3);
    EXPECT_EQ(box.labelIndexForNewTextEditor(), -1);

    // Updating replaces the text of one entry and keeps its other keys.
    const AttributedString edited = testText(QStringLiteral("edited"));
    box.updateEditedText(edited, 1);
    EXPECT_TRUE(box.editedTextForLabelIndex(0, QStringLiteral("ann"), nullptr) == edited);
    EXPECT_EQ(box.editedTextArray()->at(1).value("EditedTextContactUID"), QString("ann"));
    const auto before = box.editedTextArray();
    box.updateEditedText(edited, 2);
    box.updateEditedText(edited, -1);
    EXPECT_EQ(box.editedTextArray(), before);

    // An entry without text gets one (the system beeps about it).
    box.setEditedTextArray(LBTextArea::EntryArray{{{"EditedTextLabelIndex", qint64(5)}}});
    EXPECT_FALSE(box.editedTextForLabelIndex(5, QString(), &position));
    EXPECT_EQ(position, 0);
    box.updateEditedText(edited, 0);
    EXPECT_TRUE(box.editedTextForLabelIndex(5, QString(), nullptr) == edited);

    // Locking drops the entries.
    box.setEditedTextArray(std::nullopt);
    EXPECT_FALSE(box.editedTextArray());
    EXPECT_FALSE(box.editedTextForLabelIndex(5, QString(), &position));
    EXPECT_EQ(position, -1);
}

TEST(LBTextAreaFields, AddressChoicePerContact)
{
    TextAreaFixture f;
    LBTextArea& box = *f.box;
    qint64 position = 9;
    EXPECT_EQ(box.addressIndexForContactUID(QStringLiteral("ann"), &position), -1);
    EXPECT_EQ(position, -1);

    box.setAddressIndex(0, QStringLiteral("bob"));
    box.setAddressIndex(2, QStringLiteral("ann"));
    // An index of 0 is found like any other, with its position.
    EXPECT_EQ(box.addressIndexForContactUID(QStringLiteral("bob"), &position), 0);
    EXPECT_EQ(position, 0);
    EXPECT_EQ(box.addressIndexForContactUID(QStringLiteral("ann"), &position), 2);
    EXPECT_EQ(position, 1);

    // Two entries for one contact: the first is found and the first is replaced.
    LBTextArea::EntryArray entries = *box.addressIndexArray();
    entries.append({{"AddressIndex", qint64(7)}, {"EditedTextContactUID", "ann"}});
    box.setAddressIndexArray(entries);
    EXPECT_EQ(box.addressIndexForContactUID(QStringLiteral("ann"), &position), 2);
    EXPECT_EQ(position, 1);
    box.setAddressIndex(4, QStringLiteral("ann"));
    EXPECT_EQ(box.addressIndexForContactUID(QStringLiteral("ann"), nullptr), 4);
    EXPECT_EQ(box.addressIndexArray()->size(), 3);
    EXPECT_EQ(box.addressIndexArray()->at(2).value("AddressIndex"), qint64(7));
    EXPECT_EQ(box.addressIndexForContactUID(QStringLiteral("carl"), nullptr), -1);
}

TEST(LBTextAreaFields, TextGradientSetters)
{
    TextAreaFixture f;
    ProbeTextArea& box = *f.box;
    NotificationCounter changes(LBGraphicDidChange, &box);

    f.document.step([&] { box.setTextGradientCenterSize(0.2); });
    f.document.step([&] { box.setTextGradientCenterSize(0.5); });
    f.document.undo();
    EXPECT_EQ(box.textGradientCenterSize(), 0.2);
    // Raised to 0.01 before comparing: 0.001 after 0.01 is no change.
    f.document.step([&] { box.setTextGradientCenterSize(0.001); });
    EXPECT_EQ(box.textGradientCenterSize(), 0.01);
    const int count = changes.count;
    f.document.step([&] { box.setTextGradientCenterSize(0.0); });
    f.document.step([&] { box.setTextGradientAngle(0); });
    f.document.step([&] { box.setTextGradientColor1(Qt::black); });
    EXPECT_EQ(changes.count, count);

    // The painter is made on first drawing and follows the settings from then on.
    f.setText(testText(QStringLiteral("Gradient")));
    f.document.quietly([&] {
        box.setTextGradientType(2);
        box.setTextGradientColor1(QColor(255, 0, 0));
    });
    EXPECT_FALSE(box._textGradientFill);
    drawnImage(box, QRectF(0, 0, 400, 200));
    ASSERT_TRUE(box._textGradientFill);
    EXPECT_EQ(box._textGradientFill->gradientType(), 2);
    f.document.step([&] {
        box.setTextGradientAngle(30);
        box.setTextGradientCenter(0.4);
        box.setTextGradientColor2(QColor(0, 0, 255));
        box.setGraphicAlpha(0.5);
    });
    EXPECT_EQ(box._textGradientFill->gradientAngle(), 30);
    EXPECT_EQ(box._textGradientFill->gradientCenter(), 0.4);
    EXPECT_NEAR(box._textGradientFill->startColor().alphaF(), 0.5, 1e-3);
    EXPECT_EQ(box._textGradientFill->endColor().blue(), 255);
    EXPECT_NEAR(box._textGradientFill->endColor().alphaF(), 0.5, 1e-3);
    f.document.undo();
    EXPECT_EQ(box.textGradientAngle(), 0);
    EXPECT_EQ(box.textGradientCenter(), 1.0);
    EXPECT_EQ(box.textGradientColor2(), QColor(Qt::white));
    EXPECT_NEAR(box._textGradientFill->startColor().alphaF(), 1.0, 1e-3);

    // Type 0 drops the painter; undo brings the type back.
    f.document.step([&] { box.setTextGradientType(0); });
    EXPECT_FALSE(box._textGradientFill);
    f.document.undo();
    EXPECT_EQ(box.textGradientType(), 2);
}

TEST(LBTextAreaFields, CurveSettersAreUndoableAndRedraw)
{
    TextAreaFixture f;
    LBTextArea& box = *f.box;
    NotificationCounter changes(LBGraphicDidChange, &box);
    f.document.step([&] {
        box.setIsCurved(true);
        box.setIsSpiral(true);
        box.setDrawsOnInsideOfCurve(true);
        box.setCurveStartingAngle(45);
        box.setSpiralRate(0.7);
    });
    EXPECT_EQ(changes.count, 5);
    f.document.undo();
    EXPECT_FALSE(box.isCurved());
    EXPECT_FALSE(box.isSpiral());
    EXPECT_FALSE(box.drawsOnInsideOfCurve());
    EXPECT_EQ(box.curveStartingAngle(), 270);
    EXPECT_EQ(box.spiralRate(), 0.2);
    f.document.redo();
    EXPECT_TRUE(box.isCurved());
    EXPECT_EQ(box.spiralRate(), 0.7);
    // Equal values still record a step.
    f.document.step([&] { box.setCurveStartingAngle(45); });
    f.document.undo();
    EXPECT_EQ(box.curveStartingAngle(), 45);
    EXPECT_TRUE(f.document.canUndo());
}
