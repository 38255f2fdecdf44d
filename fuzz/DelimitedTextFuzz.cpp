// The delimited-text reader: any data reads without a crash; every record has at least one
// field and at most the widest's, and reads padded to the widest; text without quotes reads
// as its lines split at the separator (so it rejoins to itself); and what the writer writes
// of the records reads back as the same records.

#include "FuzzTarget.h"

#include "platform/core/DelimitedText.h"

#include <QStringDecoder>

using namespace platform;

namespace fuzz {

QList<QByteArray> seeds()
{
    return {
        "a\tb\tc\r\nd\te\r\n",
        "\"Smith, Ann\",Springfield\nBo,\"say \"\"hi\"\"\"\n\"two\nlines\",x",
        DelimitedText::write({{"a", "b,c"}, {"d\"e", "\r"}}, QLatin1Char(',')),
        "\xEF\xBB\xBFM\xC3\xBCller,x\r",
        "M\xFCller;y\n\n",
    };
}

namespace {

QString describeRecords(const QList<QStringList>& records)
{
    QStringList lines;
    for (const QStringList& r : records)
        lines.append(QLatin1Char('[') + r.join(QStringLiteral("|")) + QLatin1Char(']'));
    return lines.join(QLatin1Char(' '));
}

} // namespace

void fuzzOne(const QByteArray& data)
{
    for (const QChar separator : {QChar(QLatin1Char(',')), QChar(QLatin1Char('\t'))}) {
        const std::optional<DelimitedText> text = DelimitedText::read(data, separator);
        if (!text)
            continue;
        const QList<QStringList> records = text->records();
        for (qsizetype r = 0; r < text->recordCount(); ++r) {
            FUZZ_PROMISE(text->fieldCount(r) >= 1 && text->fieldCount(r) <= text->columns()
                             && records.at(r).size() == text->columns(),
                         describeRecords(records));
        }

        // Written and read back: the same records.
        const std::optional<DelimitedText> again =
            DelimitedText::read(DelimitedText::write(records, separator), separator);
        FUZZ_PROMISE(again && again->records() == records,
                     describeRecords(records) + QStringLiteral(" vs ")
                         + (again ? describeRecords(again->records()) : QStringLiteral("none")));

        // Plain UTF-8 text without quotes: its own lines and fields. A line end at the very
        // end ends the last line; of the rest, the first end that splits it is the lines' end.
        if (data.contains('"') || data.contains('\0') || data.startsWith("\xEF\xBB\xBF"))
            continue;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString plain = utf8.decode(data);
        if (utf8.hasError())
            continue;
        for (const char* last : {"\r\n", "\r", "\n"}) {
            if (plain.endsWith(QLatin1String(last))) {
                plain.chop(qstrlen(last));
                break;
            }
        }
        const QString end = plain.contains(QLatin1String("\r\n")) ? QStringLiteral("\r\n")
                            : plain.contains(QLatin1Char('\r'))   ? QStringLiteral("\r")
                                                                  : QStringLiteral("\n");
        const QStringList lines = plain.split(end);
        FUZZ_PROMISE(lines.size() == text->recordCount(), plain);
        QStringList rejoined;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QStringList fields = lines.at(i).split(separator);
            FUZZ_PROMISE(text->fieldCount(i) == fields.size()
                             && records.at(i).mid(0, fields.size()) == fields,
                         lines.at(i) + QStringLiteral(" vs ") + describeRecords({records.at(i)}));
            rejoined.append(records.at(i).mid(0, fields.size()).join(separator));
        }
        FUZZ_PROMISE(rejoined.join(end) == plain, plain);
    }
}

} // namespace fuzz
