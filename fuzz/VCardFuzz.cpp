// The vCard reader: any data reads without a crash; cards split at a card boundary into two
// files read the same as the whole file; and the people read, written back as cards (by the
// small writer below: the program reads cards but writes none) with quoted-printable text,
// base64 pictures and folded lines, read again equal, value for value.

#include "FuzzTarget.h"

#include "platform/core/VCardReader.h"

#include <QDate>
#include <QStringEncoder>

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
        if (const std::optional<ContactMultiValue> values = p.multiValue(property)) {
            QStringList entries;
            for (const ContactMultiValue::Entry& e : values->entries)
                entries.append(e.label + QLatin1Char('=') + describe(e.value));
            parts.append(property + QStringLiteral(":[") + entries.join(QLatin1Char(','))
                         + QStringLiteral("] primary ") + QString::number(values->primary));
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

// --- A vCard writer for the round trip ---
//
// Each person becomes one card. Labels travel in grouped X-ABLABEL lines, so any label the
// reader made reads back; the primary entry carries PREF=1. Text is written escaped, as it
// is or (chosen by the input) quoted-printable in UTF-8 with soft breaks; plain lines are
// folded. Text the plain form cannot carry (a carriage return) always goes quoted-printable,
// and a file whose plain text holds a NUL character is written in UTF-16.

QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char(';') || c == QLatin1Char(','))
            out.append(QLatin1Char('\\')).append(c);
        else if (c == QLatin1Char('\n'))
            out.append(QLatin1String("\\n"));
        else
            out.append(c);
    }
    // A value opening like a data: URI would be read as one.
    if (out.startsWith(QLatin1String("data:")) || out.startsWith(QLatin1String("DATA:")))
        out.prepend(QLatin1Char('\\'));
    return out;
}

// A property name the writer can put on a line as the reader gave it.
bool writableName(const QString& name)
{
    if (name.isEmpty() || name.trimmed() != name)
        return false;
    for (const QChar c : name)
        if (c.unicode() < 0x21 || c.unicode() > 0x7e || QStringLiteral(";:.\"=").contains(c))
            return false;
    return true;
}

// The properties the reader maps from card lines of their own; it keeps any other line as
// text under the line's name.
const QSet<QString>& knownProperties()
{
    static const QSet<QString> known = {
        ContactFirstNameProperty,    ContactLastNameProperty,     ContactMiddleNameProperty,
        ContactTitleProperty,        ContactSuffixProperty,       ContactNicknameProperty,
        ContactOrganizationProperty, ContactDepartmentProperty,   ContactJobTitleProperty,
        ContactAddressProperty,      ContactPhoneProperty,        ContactEmailProperty,
        ContactHomePageProperty,     ContactURLsProperty,         ContactInstantMessageProperty,
        ContactBirthdayProperty,     ContactOtherDatesProperty,   ContactRelatedNamesProperty,
        ContactNoteProperty,         ContactUIDProperty,          QStringLiteral("Photo"),
    };
    return known;
}

class CardWriter
{
public:
    explicit CardWriter(quint8 style) : _style(style) {}

    // Adds the person's card, leaving out the properties `skipped`.
    void write(const ContactPerson& p, qint64 position, const QSet<QString>& skipped);
    // Whether the cards say all the people hold: a label holding a carriage return (a
    // label line is never decoded) or text that is no valid UTF-16 cannot be written.
    bool complete() const { return !_incomplete; }
    QByteArray file() const
    {
        if (!_needsUtf16)
            return _out.toUtf8();
        QStringEncoder utf16(QStringEncoder::Utf16LE);
        return QByteArray("\xFF\xFE", 2) + QByteArray(utf16.encode(_out));
    }

private:
    void line(const QString& head, const QString& value, bool canFold = true)
    {
        _incomplete = _incomplete || !value.isValidUtf16();
        if (value.contains(QLatin1Char('\r')) || (_style & 1))
            quotedPrintable(head, value);
        else
            plain(head, value, canFold);
    }
    void plain(const QString& head, const QString& value, bool canFold)
    {
        if (value.contains(QChar(0)) || head.contains(QChar(0)))
            _needsUtf16 = true;
        QString text = head + QLatin1Char(':') + value;
        // Folds every few characters, so that even short values are folded now and then.
        const qsizetype width = canFold ? 20 + (_style >> 2) % 50 : text.size() + 1;
        while (text.size() > width) {
            qsizetype cut = width;
            if (text.at(cut - 1).isHighSurrogate())
                --cut;
            _out += text.left(cut) + QStringLiteral("\r\n ");
            text.remove(0, cut);
        }
        _out += text + QStringLiteral("\r\n");
    }
    void quotedPrintable(const QString& head, const QString& value)
    {
        QString text = head + QStringLiteral(";CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:");
        qsizetype column = 0;
        static const char hex[] = "0123456789ABCDEF";
        for (const char c : value.toUtf8()) {
            const auto u = static_cast<unsigned char>(c);
            if (column >= 60) {
                text += QStringLiteral("=\r\n");
                column = 0;
            }
            if (u > 0x20 && u < 0x7f && u != '=') {
                text += QLatin1Char(c);
                ++column;
            } else {
                text += QLatin1Char('=');
                text += QLatin1Char(hex[u >> 4]);
                text += QLatin1Char(hex[u & 15]);
                column += 3;
            }
        }
        _out += text + QStringLiteral("\r\n");
    }
    void multi(const ContactPerson& p, const QString& property, const char* name)
    {
        const std::optional<ContactMultiValue> values = p.multiValue(property);
        if (!values)
            return;
        for (qsizetype i = 0; i < values->entries.size(); ++i) {
            const ContactMultiValue::Entry& e = values->entries.at(i);
            const QString group = QStringLiteral("item%1.").arg(++_group);
            QString head = group + QLatin1String(name);
            if (i == values->primary)
                head += QStringLiteral(";PREF=1");
            QString value;
            if (e.value.typeId() == QMetaType::QDate)
                value = date(e.value.toDate());
            else if (e.value.typeId() == QMetaType::QVariantMap)
                value = address(e.value.toMap());
            else
                value = escaped(e.value.toString());
            line(head, value);
            _incomplete = _incomplete || e.label.contains(QLatin1Char('\r'))
                          || !e.label.isValidUtf16();
            plain(group + QStringLiteral("X-ABLABEL"), escaped(e.label), true);
        }
    }
    static QString date(const QDate& d)
    {
        return QString::asprintf("%04d-%02d-%02d", d.year(), d.month(), d.day());
    }
    static QString address(const QVariantMap& a)
    {
        const auto part = [&a](const QString& key) { return escaped(a.value(key).toString()); };
        return QStringLiteral(";;%1;%2;%3;%4;%5")
            .arg(part(ContactAddressStreetKey), part(ContactAddressCityKey),
                 part(ContactAddressStateKey), part(ContactAddressZIPKey),
                 part(ContactAddressCountryKey));
    }

    quint8 _style;
    QString _out;
    int _group = 0;
    bool _needsUtf16 = false;
    bool _incomplete = false;
};

void CardWriter::write(const ContactPerson& p, qint64 position, const QSet<QString>& skipped)
{
    _out += QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\n");
    const auto text = [&p](const QString& property) {
        return escaped(p.value(property).toString());
    };
    const QStringList names = {ContactLastNameProperty, ContactFirstNameProperty,
                               ContactMiddleNameProperty, ContactTitleProperty,
                               ContactSuffixProperty};
    if (std::any_of(names.cbegin(), names.cend(),
                    [&p](const QString& n) { return p.value(n).isValid(); })) {
        QStringList parts;
        for (const QString& n : names)
            parts.append(text(n));
        line(QStringLiteral("N"), parts.join(QLatin1Char(';')));
    }
    if (p.value(ContactOrganizationProperty).isValid()
        || p.value(ContactDepartmentProperty).isValid())
        line(QStringLiteral("ORG"), text(ContactOrganizationProperty) + QLatin1Char(';')
                                        + text(ContactDepartmentProperty));
    if (p.isCompany())
        line(QStringLiteral("KIND"), QStringLiteral("org"));
    const std::pair<const QString*, const char*> single[] = {
        {&ContactNicknameProperty, "NICKNAME"},
        {&ContactJobTitleProperty, "TITLE"},
        {&ContactNoteProperty, "NOTE"},
    };
    for (const auto& [property, name] : single)
        if (p.value(*property).isValid())
            line(QLatin1String(name), text(*property));
    if (p.value(ContactBirthdayProperty).isValid())
        line(QStringLiteral("BDAY"), date(p.value(ContactBirthdayProperty).toDate()));
    multi(p, ContactAddressProperty, "ADR");
    multi(p, ContactPhoneProperty, "TEL");
    multi(p, ContactEmailProperty, "EMAIL");
    multi(p, ContactURLsProperty, "URL");
    multi(p, ContactInstantMessageProperty, "IMPP");
    multi(p, ContactOtherDatesProperty, "ANNIVERSARY");
    multi(p, ContactRelatedNamesProperty, "RELATED");
    const QByteArray photo = p.imageData();
    if (!photo.isEmpty()) {
        const QString base64 = QString::fromLatin1(photo.toBase64());
        switch (_style % 3) {
        case 0: plain(QStringLiteral("PHOTO;ENCODING=b;TYPE=JPEG"), base64, true); break;
        case 1: plain(QStringLiteral("PHOTO;BASE64"), base64, true); break;
        default: plain(QStringLiteral("PHOTO"), QStringLiteral("data:image/png;base64,") + base64, true);
        }
    }
    if (p.uniqueId() != FileName + QLatin1Char('#') + QString::number(position)) {
        QString uid = p.uniqueId();
        // The reader drops one "urn:uuid:" and the spaces around the id.
        if (uid.startsWith(QLatin1String("urn:uuid:"), Qt::CaseInsensitive))
            uid.prepend(QLatin1String("urn:uuid:"));
        line(QStringLiteral("UID"), escaped(uid));
    }
    for (const QString& property : p.properties())
        if (!knownProperties().contains(property) && !skipped.contains(property))
            line(property, escaped(p.value(property).toString()));
    _out += QStringLiteral("END:VCARD\r\n");
}

// The properties of the people read that no card line can name as the reader gave them
// (names with characters a line cannot hold): left out of the round trip.
QSet<QString> unwritableProperties(const QList<std::shared_ptr<ContactPerson>>& people)
{
    QSet<QString> names;
    for (const auto& p : people)
        for (const QString& property : p->properties())
            if (!knownProperties().contains(property) && !writableName(property))
                names.insert(property);
    return names;
}

QStringList describeWithout(const QList<std::shared_ptr<ContactPerson>>& people,
                            const QSet<QString>& skipped)
{
    QStringList list;
    for (const auto& p : people) {
        ContactPerson copy = *p;
        for (const QString& property : skipped)
            copy.setValue(property, QVariant());
        list.append(describePerson(copy));
    }
    return list;
}

void checkWrittenBack(const QList<std::shared_ptr<ContactPerson>>& people, quint8 style)
{
    const QSet<QString> skipped = unwritableProperties(people);
    CardWriter writer(style);
    for (qsizetype i = 0; i < people.size(); ++i)
        writer.write(*people.at(i), i, skipped);
    if (!writer.complete())
        return;
    const QByteArray file = writer.file();
    QList<ContactReadIssue> issues;
    const auto again = VCardReader::read(file, FileName, &issues);
    const QStringList before = describeWithout(people, skipped);
    const QStringList after = describeWithout(again, skipped);
    QStringList said;
    for (const ContactReadIssue& issue : issues)
        said.append(issue.description());
    FUZZ_PROMISE(before == after,
                 before.join(QStringLiteral(" // ")) + QStringLiteral("\nread back as\n")
                     + after.join(QStringLiteral(" // ")) + QStringLiteral("\nfrom\n")
                     + describe(file) + QStringLiteral("\n") + said.join(QLatin1Char('\n')));
    FUZZ_PROMISE(issues.isEmpty(), said.join(QLatin1Char('\n')) + QLatin1Char('\n') + describe(file));
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
    if (!people.isEmpty())
        checkWrittenBack(people, data.isEmpty() ? 0 : quint8(data.back()));
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
