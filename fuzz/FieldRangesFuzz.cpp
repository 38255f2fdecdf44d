// The merge-field list read beside pasted or dropped text: from any bytes it puts fields
// only within the text and changes no character; what it applies, the writer writes and
// the reader applies again the same.

#include "FuzzTarget.h"

#include "canvas/LBFieldRanges.h"
#include "graphics/LBTextArea.h"
#include "platform/text/AttributedString.h"

using platform::AttributedString;
using platform::Range;

namespace {

const QString Text = QStringLiteral("Dear First Last, hi");

} // namespace

namespace fuzz {

QList<QByteArray> seeds()
{
    AttributedString text(Text);
    text.addAttribute(LBQFieldAttributeName,
                      QVariantMap{{QStringLiteral("LBPropertyName"), QStringLiteral("First")},
                                  {QStringLiteral("LBDateFormatIndex"), 3}},
                      Range(5, 5));
    text.addAttribute(
        LBQFieldAttributeName,
        QVariantMap{{QStringLiteral("LBPropertyName"), QStringLiteral("Last")},
                    {QStringLiteral("LBFieldTimeStamp"), QStringLiteral("\u00e9t\u00e9")}},
        Range(11, 4));
    return {
        LBFieldRangeData(text, Range(0, text.length())),
        LBFieldRangeData(text, Range(7, 6)),
        "( { LBFieldRangeKey = \"{1, 99}\"; LBFieldDictKey = { }; } )",
        "( \"{0, 1}\" )",
    };
}

void fuzzOne(const QByteArray& data)
{
    AttributedString text(Text);
    LBApplyFieldRangeData(data, text);
    FUZZ_PROMISE(text.string() == Text, QString::fromLatin1(data.toHex()));
    const QList<Range> fields = LBTextArea::fieldsOverlappingRange(text, Range(0, text.length()));
    for (const Range& field : fields)
        FUZZ_PROMISE(field.location >= 0 && field.end() <= text.length(),
                     platform::stringFromRange(field));

    const QByteArray written = LBFieldRangeData(text, Range(0, text.length()));
    AttributedString again(Text);
    if (!written.isNull())
        LBApplyFieldRangeData(written, again);
    FUZZ_PROMISE(again == text, QString::fromLatin1(written));
}

} // namespace fuzz
