// The field list that carries merge fields beside text on a pasteboard: writing it, and
// reading lists from anywhere without a crash.

#include "canvas/LBFieldRanges.h"

#include "graphics/LBTextArea.h"
#include "platform/text/AttributedString.h"

#include <QVariantMap>

#include <gtest/gtest.h>

using platform::Range;

namespace {

const QVariantMap First{{QStringLiteral("LBPropertyName"), QStringLiteral("First")}};
QList<Range> fieldsOf(const platform::AttributedString& text)
{
    return LBTextArea::fieldsOverlappingRange(text, Range(0, text.length()));
}

} // namespace

TEST(LBFieldRanges, FiveCharactersAndASixCharacterFieldCopyAndComeBackWhole)
{
    platform::AttributedString text(QStringLiteral("abcdeFIELD!xyz"));
    text.addAttribute(LBQFieldAttributeName, First, Range(5, 6));
    EXPECT_TRUE(LBFieldRangeData(text, Range(0, 5)).isNull()); // no field: no list
    const QByteArray data = LBFieldRangeData(text, Range(0, 11));
    EXPECT_TRUE(data.contains("\"{5, 6}\"")) << data.constData();

    platform::AttributedString pasted(QStringLiteral("abcdeFIELD!"));
    ASSERT_TRUE(LBApplyFieldRangeData(data, pasted));
    EXPECT_EQ(fieldsOf(pasted), QList<Range>({Range(5, 6)}));
    EXPECT_EQ(pasted.attribute(LBQFieldAttributeName, 5).toMap(), First);

    // Counted from the copied text's start; a field cut by the range keeps the part copied.
    const QByteArray tail = LBFieldRangeData(text, Range(8, 6));
    platform::AttributedString copy = text.attributedSubstringFromRange(Range(8, 6));
    copy.removeAttribute(LBQFieldAttributeName, Range(0, 6));
    ASSERT_TRUE(LBApplyFieldRangeData(tail, copy));
    EXPECT_EQ(fieldsOf(copy), QList<Range>({Range(0, 3)}));
}

TEST(LBFieldRanges, ListsFromAnywhereApplyOnlyWhatFits)
{
    const QString field = QStringLiteral("LBFieldDictKey = { LBPropertyName = First; }");
    auto entry = [&](const char* range) {
        return QStringLiteral("{ LBFieldRangeKey = \"%1\"; %2; }").arg(QLatin1String(range), field);
    };
    const struct
    {
        const char* name;
        QString list;
        bool read;
        QList<Range> fields;
    } cases[] = {
        {"good", QStringLiteral("( %1 )").arg(entry("{2, 3}")), true, {Range(2, 3)}},
        {"past the end",
         QStringLiteral("( %1, %2 )").arg(entry("{8, 3}"), entry("{0, 1}")),
         true,
         {Range(0, 1)}},
        {"malformed range",
         QStringLiteral("( %1, %2 )").arg(entry("{-1, 3}"), entry("x")),
         true,
         {}},
        {"empty range", QStringLiteral("( %1 )").arg(entry("{2, 0}")), true, {}},
        {"huge numbers", QStringLiteral("( %1 )").arg(entry("{99999999999999999, 1}")), true, {}},
        {"no dictionary", QStringLiteral("( { LBFieldRangeKey = \"{0, 2}\"; } )"), true, {}},
        {"entry not a dictionary",
         QStringLiteral("( \"{0, 2}\", %1 )").arg(entry("{4, 4}")),
         true,
         {Range(4, 4)}},
        {"not an array", QStringLiteral("{ a = b; }"), false, {}},
        {"not a property list", QStringLiteral("( { unterminated"), false, {}},
        {"empty data", QString(), false, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        platform::AttributedString text(QStringLiteral("abcdefgh"));
        EXPECT_EQ(LBApplyFieldRangeData(c.list.toUtf8(), text), c.read);
        EXPECT_EQ(fieldsOf(text), c.fields);
        EXPECT_EQ(text.string(), QStringLiteral("abcdefgh"));
    }
}
