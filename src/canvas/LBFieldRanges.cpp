#include "canvas/LBFieldRanges.h"

#include "graphics/LBTextArea.h" // LBQFieldAttributeName

#include "platform/core/PropertyList.h"
#include "platform/text/AttributedString.h"

#include <QRegularExpression>
#include <QVariantList>
#include <QVariantMap>

#include <optional>

using platform::Range;

QByteArray LBFieldRangeData(const platform::AttributedString& text, const Range& range)
{
    if (range.isEmpty())
        return QByteArray();
    const QList<Range> fields = LBTextArea::fieldsOverlappingRange(text, range);
    if (fields.isEmpty())
        return QByteArray();
    QVariantList entries;
    for (const Range& field : fields) {
        const Range part = Range::intersection(field, range);
        QVariantMap entry;
        entry.insert(LBFieldRangeKey,
                     platform::stringFromRange(Range(part.location - range.location, part.length)));
        entry.insert(LBFieldDictKey, text.attribute(LBQFieldAttributeName, part.location));
        entries.append(entry);
    }
    return platform::PropertyList::toText(entries);
}

namespace {

// A range string as written: "{location, length}", nothing else.
std::optional<Range> strictRangeFromString(const QString& string)
{
    static const QRegularExpression form(
        QStringLiteral("^\\{\\s*(\\d{1,9})\\s*,\\s*(\\d{1,9})\\s*\\}$"));
    const QRegularExpressionMatch match = form.match(string.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    return Range(match.captured(1).toLongLong(), match.captured(2).toLongLong());
}

} // namespace

bool LBApplyFieldRangeData(const QByteArray& data, platform::AttributedString& text)
{
    QString error;
    const std::optional<QVariant> list = platform::PropertyList::fromText(data, &error);
    if (!list || list->typeId() != QMetaType::QVariantList) {
        qWarning("Merge fields beside the text are not a list; the text keeps no fields (%s)",
                 qPrintable(error.isEmpty() ? QStringLiteral("not an array") : error));
        return false;
    }
    const QVariantList entries = list->toList();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QVariantMap entry = entries.at(i).toMap();
        const std::optional<Range> range =
            strictRangeFromString(entry.value(LBFieldRangeKey).toString());
        const QVariant field = entry.value(LBFieldDictKey);
        const char* fault = nullptr;
        if (entries.at(i).typeId() != QMetaType::QVariantMap)
            fault = "is not a dictionary";
        else if (field.typeId() != QMetaType::QVariantMap)
            fault = "has no field dictionary";
        else if (!range)
            fault = "has a malformed range";
        else if (range->isEmpty() || range->end() > text.length())
            fault = "has a range that does not lie within the text";
        if (fault) {
            qWarning("Merge field %lld beside the text %s; it is left out", qint64(i), fault);
            continue;
        }
        text.addAttribute(LBQFieldAttributeName, field, *range);
    }
    return true;
}
