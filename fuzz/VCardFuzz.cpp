// The vCard reader: any data reads without a crash, and cards split at a card boundary
// into two files read the same as the whole file.

#include "FuzzTarget.h"

#include "platform/core/VCardReader.h"

#include <algorithm>

using namespace platform;

namespace fuzz {

QList<QByteArray> seeds()
{
    return {
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J="
        "\r\n"
        "=FCrgen\r\nTEL;WORK;PREF:123\r\nEND:VCARD\r\n",
        "BEGIN:VCARD\nVERSION:3.0\nN:Smith;Ann;;Dr.;\nORG:Smith\\, Jones;Sales\nPHOTO;ENCODING=b;"
        "TYPE=PNG:iVBORw0KGgo=\nEMAIL;TYPE=WORK,PREF:a@b.c\nBDAY:1980-02-01\nUID:ann\nEND:VCARD\n"
        "BEGIN:VCARD\nVERSION:3.0\nFN:Bo Lee\nNOTE:long\n  folded\nEND:VCARD\n",
        "BEGIN:VCARD\rVERSION:4.0\rKIND:org\rFN:Acme\rPHOTO:data:image/png;base64,iVBORw0KGgo=\r"
        "item1.TEL:1\ritem1.X-CUSTOM-LABEL:Night\rRELATED;TYPE=spouse:Kim\rANNIVERSARY:--0612\r"
        "ADR;TYPE=work:;;1 Main;Town;ST;123;Germany\rEND:VCARD\r",
        "BEGIN:VCARD\nN:Broken\nno colon here\nPHOTO;ENCODING=b:!!!\n",
    };
}

namespace {

const QString FileName = QStringLiteral("\x01"
                                        "fuzz.vcf");

// A person as text, leaving out a unique id the reader made from the file and position.
QString describePerson(const ContactPerson& p)
{
    QStringList parts;
    for (const QString& property : p.properties()) {
        if (property == ContactUIDProperty)
            continue;
        if (const ContactMultiValue* values = p.multiValue(property)) {
            QStringList entries;
            for (const ContactMultiValue::Entry& e : values->entries)
                entries.append(e.label + QLatin1Char('=') + describe(e.value));
            parts.append(property + QStringLiteral(":[") + entries.join(QLatin1Char(','))
                         + QStringLiteral("] primary ") + QString::number(values->primaryIndex()));
        } else {
            parts.append(property + QLatin1Char(':') + describe(p.value(property)));
        }
    }
    parts.sort();
    if (!p.uniqueId().startsWith(FileName))
        parts.prepend(QStringLiteral("uid ") + p.uniqueId());
    parts.append(QStringLiteral("flags %1").arg(p.flags()));
    return parts.join(QLatin1Char('|'));
}

QStringList describeAll(const QList<std::shared_ptr<ContactPerson>>& people)
{
    QStringList list;
    for (const auto& p : people)
        list.append(describePerson(*p));
    return list;
}

// The offset just after an "END:VCARD" line whose next line is not a continuation.
qsizetype cardBoundary(const QByteArray& data)
{
    qsizetype from = 0;
    while (true) {
        const qsizetype at = data.indexOf("END:VCARD", from);
        if (at < 0)
            return -1;
        qsizetype end = at + 9;
        from = end;
        if (at > 0 && data.at(at - 1) != '\n' && data.at(at - 1) != '\r')
            continue;
        // After a quoted-printable soft break the END line is part of the value before.
        qsizetype lineEnd = at - 1;
        while (lineEnd >= 0 && (data.at(lineEnd) == '\n' || data.at(lineEnd) == '\r'))
            --lineEnd;
        if (lineEnd >= 0 && data.at(lineEnd) == '=')
            continue;
        if (end < data.size() && data.at(end) == '\r')
            ++end;
        if (end < data.size() && data.at(end) == '\n')
            ++end;
        if (end == at + 9 || end >= data.size())
            continue;
        if (data.at(end) == ' ' || data.at(end) == '\t')
            continue;
        return end;
    }
}

} // namespace

void fuzzOne(const QByteArray& data)
{
    QList<ContactReadIssue> issues;
    const auto people = VCardReader::read(data, FileName, &issues);
    for (const ContactReadIssue& issue : issues)
        FUZZ_PROMISE(issue.line >= 0, issue.description());
    if (data.contains('\0') || data.startsWith("\xEF\xBB\xBF") || data.startsWith("\xFF\xFE")
        || data.startsWith("\xFE\xFF"))
        return;
    const qsizetype split = cardBoundary(data);
    if (split < 0)
        return;
    // A second file opening with a byte-order mark reads in that encoding.
    const QByteArray second = data.mid(split);
    if (second.startsWith("\xEF\xBB\xBF") || second.startsWith("\xFF\xFE")
        || second.startsWith("\xFE\xFF"))
        return;
    QStringList apart = describeAll(VCardReader::read(data.left(split), FileName, nullptr));
    apart += describeAll(VCardReader::read(second, FileName, nullptr));
    const QStringList whole = describeAll(people);
    FUZZ_PROMISE(apart == whole, whole.join(QStringLiteral(" // ")) + QStringLiteral(" vs ")
                                     + apart.join(QStringLiteral(" // ")));
}

} // namespace fuzz
