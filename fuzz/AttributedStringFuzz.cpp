// Attributed text decoded from an archive: the runs cover the text with neighbours that
// differ, every query agrees with them, and the text encodes and decodes equal.

#include "FuzzTarget.h"
#include "support/ArchiveSamples.h"

#include "platform/core/Archive.h"

using platform::Archive;
using platform::AttributedString;
using platform::Range;

namespace fuzz {

QList<QByteArray> seeds()
{
    const AttributedString rich = sampleAttributedString();
    AttributedString many(QString(300, QChar('x')));
    for (int i = 0; i < 300; i += 3)
        many.addAttribute(platform::KernAttributeName, double(i % 7), Range(i, 2));
    return {
        Archive::archivedDataWithAttributedString(rich),
        Archive::archivedDataWithAttributedString(many),
        Archive::archivedDataWithAttributedString(AttributedString()),
        Archive::archivedDataWithAttributedString(rich.attributedSubstringFromRange(Range(3, 10))),
    };
}

void fuzzOne(const QByteArray& data)
{
    const std::optional<AttributedString> text = Archive::attributedStringFromArchivedData(data);
    if (!text)
        return;
    // The runs: in order, covering the text, each one non-empty, neighbours different.
    qsizetype next = 0;
    QVariantMap previous;
    bool first = true;
    text->enumerateAttributesInRange(Range(0, text->length()), [&](const QVariantMap& attributes,
                                                                   const Range& range, bool&) {
        FUZZ_PROMISE(
            range.location == next && range.length > 0,
            QStringLiteral("run %1+%2 after %3").arg(range.location).arg(range.length).arg(next));
        FUZZ_PROMISE(first || attributes != previous, describe(attributes));
        Range effective;
        FUZZ_PROMISE(text->attributesAtIndex(range.location, &effective) == attributes
                         && effective == range,
                     describe(attributes));
        previous = attributes;
        first = false;
        next = range.end();
    });
    FUZZ_PROMISE(next == text->length(),
                 QStringLiteral("runs end at %1 of %2").arg(next).arg(text->length()));

    const QByteArray written = Archive::archivedDataWithAttributedString(*text);
    FUZZ_PROMISE(!written.isEmpty(), describe(text->string()));
    const std::optional<AttributedString> again =
        Archive::attributedStringFromArchivedData(written);
    FUZZ_PROMISE(again, describe(written));
    FUZZ_PROMISE(Archive::archivedDataWithAttributedString(*again) == written, describe(written));
    if (!written.contains("nan"))
        FUZZ_PROMISE(*again == *text, describe(written));

    // A piece of it, appended to the rest, is the whole again.
    const qsizetype cut = text->length() / 2;
    AttributedString joined = text->attributedSubstringFromRange(Range(0, cut));
    joined.appendAttributedString(
        text->attributedSubstringFromRange(Range(cut, text->length() - cut)));
    if (!written.contains("nan"))
        FUZZ_PROMISE(joined == *text, describe(written));
}

} // namespace fuzz
