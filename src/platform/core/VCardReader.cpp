#include "platform/core/VCardReader.h"

#include <QHash>
#include <QLocale>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>

namespace platform {

namespace {

// Windows-1252's characters for 0x80-0x9F (0 where the code page has none).
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

QString fromCp1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80 && u < 0xA0 && Cp1252High[u - 0x80] != 0)
            out.append(QChar(Cp1252High[u - 0x80]));
        else
            out.append(QChar(u));
    }
    return out;
}

bool isAscii(const QByteArray& bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

// Undeclared text: UTF-8 when valid, else Windows-1252.
QString decodeUndeclared(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return fromCp1252(bytes);
}

// What went wrong decoding a value in its declared charset.
struct CharsetProblem
{
    enum Kind { None, Unknown, Invalid } kind = None;
    QByteArray charset;
};

// Text in the declared charset: any the system's converters know (through ICU, Shift_JIS,
// EUC-JP, GB18030, Big5, KOI8-R, ... too). An unknown charset is read as undeclared text
// and said; bytes that are not valid in their charset are replaced and said.
QString decodeText(const QByteArray& bytes, const QByteArray& charset,
                   CharsetProblem* problem = nullptr)
{
    const QByteArray cs = charset.trimmed().toUpper();
    // Most text is ASCII, which every charset but the 7-bit escape and wide ones reads
    // alike.
    if (isAscii(bytes)
        && (cs.isEmpty()
            || (!bytes.contains('\x1b') && !cs.startsWith("UTF-7") && !cs.startsWith("UTF-16")
                && !cs.startsWith("UTF-32") && !cs.startsWith("UCS"))))
        return QString::fromLatin1(bytes);
    if (cs.isEmpty())
        return decodeUndeclared(bytes);
    if (cs == "ISO-8859-1" || cs == "LATIN1" || cs == "ISO8859-1")
        return QString::fromLatin1(bytes);
    if (cs == "WINDOWS-1252" || cs == "CP1252")
        return fromCp1252(bytes);
    if (cs == "UTF-8" || cs == "UTF8") // text declared UTF-8 that is not is most often 1252
        return decodeUndeclared(bytes);
    QStringDecoder decoder(cs.constData(), QStringDecoder::Flag::Stateless);
    if (!decoder.isValid()) {
        if (problem)
            *problem = {CharsetProblem::Unknown, charset.trimmed()};
        return decodeUndeclared(bytes);
    }
    QString text = decoder.decode(bytes);
    if (decoder.hasError() && problem)
        *problem = {CharsetProblem::Invalid, charset.trimmed()};
    return text;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

QByteArray decodeQuotedPrintable(const QByteArray& in)
{
    QByteArray out;
    out.reserve(in.size());
    for (qsizetype i = 0; i < in.size(); ++i) {
        const char c = in.at(i);
        if (c == '=' && i + 2 < in.size()) {
            const int hi = hexValue(in.at(i + 1));
            const int lo = hexValue(in.at(i + 2));
            if (hi >= 0 && lo >= 0) {
                out.append(char(hi * 16 + lo));
                i += 2;
                continue;
            }
        }
        if (c == '=' && i == in.size() - 1)
            break; // a soft break left at the very end
        out.append(c);
    }
    return out;
}

// Undoes \n \N \, \; \\ (and keeps any other escaped character).
QString unescape(QStringView text);

// The text itself (shared, not copied) when it holds no escape.
QString unescape(const QString& text)
{
    return text.contains(QLatin1Char('\\')) ? unescape(QStringView(text)) : text;
}

QString unescape(QStringView text)
{
    if (!text.contains(QLatin1Char('\\')))
        return text.toString();
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar n = text.at(++i);
            out.append((n == QLatin1Char('n') || n == QLatin1Char('N')) ? QChar(QLatin1Char('\n'))
                                                                        : n);
        } else {
            out.append(c);
        }
    }
    return out;
}

// Splits at unescaped separators, unescaping each part.
QStringList splitEscaped(const QString& text, QChar separator)
{
    QStringList parts;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\')) {
            ++i;
        } else if (c == separator) {
            parts.append(unescape(QStringView(text).mid(start, i - start)));
            start = i + 1;
        }
    }
    parts.append(unescape(QStringView(text).mid(start)));
    return parts;
}

struct Line
{
    QByteArrayView text;
    qint64 number = 0;
    // The text lies in the data being read (not in a buffer of joined lines that the next
    // line reuses): it stays as long as the reading does.
    bool inData = false;
};

struct Property
{
    QByteArray group;
    QByteArray name;                                 // upper case
    QList<std::pair<QByteArray, QByteArray>> params; // upper-case keys
    QList<QByteArray> types;                         // lower case, from TYPE and bare params
    QByteArray rawValue;
    qint64 line = 0;

    // Views of the literals asked for: their lengths are known without counting, and most
    // comparisons end at a length that differs.
    QByteArray param(QByteArrayView key) const
    {
        for (const auto& [k, v] : params)
            if (k == key)
                return v;
        return {};
    }
    bool hasType(QByteArrayView type) const
    {
        for (const QByteArray& t : types)
            if (t == type)
                return true;
        return false;
    }
};

// Index of the first ':' outside double quotes from `from` on, with `quoted` saying whether
// `from` lies within quotes; -1 when none. Both are left where the search stopped, so that
// it can go on from there once the line has grown.
qsizetype colonIndex(QByteArrayView line, qsizetype& from, bool& quoted)
{
    for (; from < line.size(); ++from) {
        const char c = line.at(from);
        if (c == '"')
            quoted = !quoted;
        else if (c == ':' && !quoted)
            return from;
    }
    return -1;
}

// Index of the first ':' outside double quotes; -1 when none.
qsizetype colonIndex(QByteArrayView line)
{
    qsizetype from = 0;
    bool quoted = false;
    return colonIndex(line, from, quoted);
}

// Whether a line's parameters (what follows the property's name) say quoted-printable: a
// property merely named like it is no encoding.
bool isQuotedPrintableHead(QByteArrayView head)
{
    const qsizetype parameters = head.indexOf(';');
    if (parameters < 0)
        return false;
    const QByteArray upper = head.sliced(parameters + 1).toByteArray().toUpper();
    return upper.contains("QUOTED-PRINTABLE") || upper.contains("ENCODING=QP");
}

// Splits at ';' or ',' outside double quotes, dropping the quotes.
QList<QByteArray> splitParams(QByteArrayView text, char separator)
{
    QList<QByteArray> parts;
    if (!text.contains('"')) {
        // Nothing quoted: the pieces between separators as they are.
        for (qsizetype start = 0;;) {
            const qsizetype at = text.indexOf(separator, start);
            if (at < 0) {
                parts.append(text.sliced(start).toByteArray());
                return parts;
            }
            parts.append(text.sliced(start, at - start).toByteArray());
            start = at + 1;
        }
    }
    QByteArray current;
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        } else if (c == separator && !quoted) {
            parts.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    parts.append(current);
    return parts;
}

// The property's name in upper case; the names every card has are shared, not made again.
QByteArray propertyName(QByteArrayView name)
{
    static const QByteArray known[] = {
        QByteArrayLiteral("BEGIN"), QByteArrayLiteral("END"),  QByteArrayLiteral("VERSION"),
        QByteArrayLiteral("N"),     QByteArrayLiteral("FN"),   QByteArrayLiteral("TEL"),
        QByteArrayLiteral("EMAIL"), QByteArrayLiteral("ADR"),  QByteArrayLiteral("NOTE"),
        QByteArrayLiteral("UID"),   QByteArrayLiteral("ORG"),  QByteArrayLiteral("TITLE"),
        QByteArrayLiteral("URL"),   QByteArrayLiteral("BDAY"), QByteArrayLiteral("PHOTO"),
        QByteArrayLiteral("KIND"),  QByteArrayLiteral("IMPP"), QByteArrayLiteral("NICKNAME"),
    };
    for (const QByteArray& k : known)
        if (k.size() == name.size()
            && qstrnicmp(k.constData(), name.data(), size_t(name.size())) == 0)
            return k;
    return name.toByteArray().toUpper();
}

Property parseProperty(const Line& line, qsizetype colon)
{
    Property p;
    p.line = line.number;
    // A value in the data is not copied: a property lives only while its card is built,
    // and whatever a card keeps is decoded into text or bytes of its own.
    const QByteArrayView value = line.text.sliced(colon + 1);
    p.rawValue = line.inData ? QByteArray::fromRawData(value.data(), value.size())
                             : value.toByteArray();
    const QByteArrayView headText = line.text.first(colon);
    // Most properties have no parameters: no splitting then.
    const QList<QByteArray> head =
        headText.contains(';') ? splitParams(headText, ';') : QList<QByteArray>();
    QByteArrayView name = (head.isEmpty() ? headText : QByteArrayView(head.first())).trimmed();
    if (const qsizetype dot = name.lastIndexOf('.'); dot >= 0) {
        p.group = name.first(dot).toByteArray().toLower();
        name = name.sliced(dot + 1);
    }
    p.name = propertyName(name);
    for (qsizetype i = 1; i < head.size(); ++i) {
        const QByteArray& param = head.at(i);
        const qsizetype eq = param.indexOf('=');
        if (eq < 0) {
            // vCard 2.1's bare parameters: encodings, charsets or types.
            const QByteArray upper = param.trimmed().toUpper();
            if (upper == QByteArrayView("QUOTED-PRINTABLE") || upper == QByteArrayView("BASE64") || upper == QByteArrayView("8BIT")
                || upper == QByteArrayView("7BIT"))
                p.params.append({QByteArrayLiteral("ENCODING"), upper});
            else if (!upper.isEmpty())
                p.types.append(upper.toLower());
            continue;
        }
        const QByteArray key = param.left(eq).trimmed().toUpper();
        const QByteArray values = param.mid(eq + 1);
        for (const QByteArray& v : values.contains(',') || values.contains('"')
                                       ? splitParams(values, ',')
                                       : QList<QByteArray>{values}) {
            if (key == QByteArrayView("TYPE"))
                p.types.append(v.trimmed().toLower());
            else
                p.params.append({key, v.trimmed()});
        }
    }
    return p;
}

struct DecodedValue
{
    QString text;
    QByteArray bytes;
    bool isBinary = false;
    bool failed = false;
    CharsetProblem charsetProblem;
};

DecodedValue decodeValue(const Property& p)
{
    DecodedValue out;
    const QByteArray encoding = p.param("ENCODING").toUpper();
    if (encoding == QByteArrayView("B") || encoding == QByteArrayView("BASE64")) {
        QByteArray compact = p.rawValue;
        compact.replace(' ', QByteArray()).replace('\t', QByteArray());
        const auto result =
            QByteArray::fromBase64Encoding(compact, QByteArray::AbortOnBase64DecodingErrors);
        out.isBinary = true;
        out.failed = !result;
        if (result)
            out.bytes = result.decoded;
        return out;
    }
    QByteArray raw = p.rawValue;
    if (encoding == QByteArrayView("QUOTED-PRINTABLE") || encoding == QByteArrayView("QP"))
        raw = decodeQuotedPrintable(raw);
    if (raw.startsWith("data:") || raw.startsWith("DATA:")) {
        const qsizetype comma = raw.indexOf(',');
        if (comma < 0) {
            out.failed = true;
            return out;
        }
        const QByteArray meta = raw.mid(5, comma - 5);
        const QByteArray payload = raw.mid(comma + 1);
        out.isBinary = true;
        if (meta.toLower().endsWith(";base64")) {
            const auto result =
                QByteArray::fromBase64Encoding(payload, QByteArray::AbortOnBase64DecodingErrors);
            out.failed = !result;
            if (result)
                out.bytes = result.decoded;
        } else {
            out.bytes = QByteArray::fromPercentEncoding(payload);
        }
        return out;
    }
    out.text = decodeText(raw, p.param("CHARSET"), &out.charsetProblem);
    return out;
}

// A date of the forms 1980-02-01, 19800201, --0201, --02-01, 1980-02-01T..., 1980-02.
QDate parseDate(QString text)
{
    text = text.trimmed();
    if (const qsizetype t = text.indexOf(QLatin1Char('T')); t > 0)
        text.truncate(t);
    QString digits;
    bool yearless = text.startsWith(QLatin1String("--"));
    for (const QChar c : text)
        if (c.isDigit())
            digits.append(c);
    int y = 1604;
    int m = 0;
    int d = 0;
    if (yearless && digits.size() == 4) {
        m = digits.left(2).toInt();
        d = digits.mid(2, 2).toInt();
    } else if (!yearless && digits.size() == 8) {
        y = digits.left(4).toInt();
        m = digits.mid(4, 2).toInt();
        d = digits.mid(6, 2).toInt();
    } else {
        return {};
    }
    return QDate(y, m, d);
}

QString labelFor(const Property& p, const QHash<QByteArray, QString>& groupLabels)
{
    if (!p.group.isEmpty()) {
        const auto it = groupLabels.constFind(p.group);
        if (it != groupLabels.cend())
            return *it;
    }
    if (p.hasType("fax"))
        return p.hasType("work") ? ContactWorkFaxLabel : ContactFaxLabel;
    if (p.hasType("cell") || p.hasType("mobile"))
        return ContactMobileLabel;
    if (p.hasType("main"))
        return ContactMainLabel;
    if (p.hasType("home"))
        return ContactHomeLabel;
    if (p.hasType("work"))
        return ContactWorkLabel;
    if (p.name == QByteArrayView("RELATED") && p.hasType("spouse"))
        return ContactSpouseLabel;
    if (p.name == QByteArrayView("ANNIVERSARY") || p.name.contains("ANNIVERSARY"))
        return ContactAnniversaryLabel;
    return ContactOtherLabel;
}

// PREF=n (lower is stronger) or TYPE=pref; 0 when not preferred.
int preference(const Property& p)
{
    const QByteArray pref = p.param("PREF");
    if (!pref.isEmpty()) {
        bool ok = false;
        const int n = pref.toInt(&ok);
        return ok && n > 0 ? n : 1;
    }
    return p.hasType("pref") ? 100 : 0;
}

// One card being assembled.
class CardBuilder
{
public:
    explicit CardBuilder(QList<ContactReadIssue>* issues, const QString& fileName)
        : _issues(issues), _fileName(fileName)
    {
        _properties.reserve(16); // a card's usual dozen lines without growing
    }

    void add(Property&& p) { _properties.append(std::move(p)); }
    // Ready for the next card; the lists keep their room (one builder serves every card
    // of a file, which spares the allocator a large block a card).
    void clear()
    {
        _properties.clear();
        _values.clear();
        _multi.clear();
        _multiValues.clear();
    }
    bool isEmpty() const { return _properties.isEmpty(); }

    std::shared_ptr<ContactPerson> build(qint64 position);

private:
    void report(qint64 line, const QString& message)
    {
        if (_issues)
            _issues->append({_fileName, line, message});
    }
    void addMulti(const QString& property, const Property& p, const QVariant& value,
                  const QHash<QByteArray, QString>& groupLabels);
    // The card's value of a property: a later line of the same property replaces it.
    void set(const QString& property, const QVariant& value)
    {
        for (auto& entry : _values)
            if (entry.first == property) {
                entry.second = value;
                return;
            }
        _values.append({property, value});
    }
    bool has(const QString& property) const
    {
        return std::any_of(_values.cbegin(), _values.cend(),
                           [&](const auto& entry) { return entry.first == property; });
    }
    QList<ContactReadIssue>* _issues;
    QString _fileName;
    QList<Property> _properties;
    struct Pending
    {
        QString property;
        ContactMultiValue value;
        int bestPreference = 0;
    };
    QList<Pending> _multi;
    // The card's values, handed to the person at once (ContactPerson::setValues).
    QList<std::pair<QString, QVariant>> _values;
    QList<std::pair<QString, ContactMultiValue>> _multiValues;
};

void CardBuilder::addMulti(const QString& property, const Property& p, const QVariant& value,
                           const QHash<QByteArray, QString>& groupLabels)
{
    Pending* pending = nullptr;
    for (Pending& candidate : _multi)
        if (candidate.property == property)
            pending = &candidate;
    if (!pending) {
        _multi.append({property, {}, 0});
        pending = &_multi.last();
    }
    pending->value.entries.append({labelFor(p, groupLabels), value});
    const int pref = preference(p);
    if (pref > 0 && (pending->bestPreference == 0 || pref < pending->bestPreference)) {
        pending->bestPreference = pref;
        pending->value.primary = pending->value.entries.size() - 1;
    }
}

std::shared_ptr<ContactPerson> CardBuilder::build(qint64 position)
{
    auto person = std::make_shared<ContactPerson>();
    // Custom labels: a grouped X-...LABEL property names the label of its group.
    // An unknown charset is said once a card, where it first occurs (a set: a card may name
    // thousands of them).
    QSet<QByteArray> unknownCharsets;
    const auto reportCharset = [&](const Property& p, const CharsetProblem& problem) {
        if (problem.kind == CharsetProblem::Unknown) {
            const QByteArray key = problem.charset.toUpper();
            if (unknownCharsets.contains(key))
                return;
            unknownCharsets.insert(key);
            report(p.line, QStringLiteral("The charset \u201c%1\u201d is unknown; the card's text "
                                          "in it was read as UTF-8, or else as Windows-1252.")
                               .arg(QString::fromLatin1(problem.charset)));
        } else if (problem.kind == CharsetProblem::Invalid) {
            report(p.line,
                   QStringLiteral("The value of %1 is not valid %2 text; the characters "
                                  "that cannot be read were replaced.")
                       .arg(QString::fromLatin1(p.name), QString::fromLatin1(problem.charset)));
        }
    };
    QHash<QByteArray, QString> groupLabels;
    for (const Property& p : std::as_const(_properties)) {
        if (!p.group.isEmpty() && p.name.startsWith("X-") && p.name.endsWith("LABEL")) {
            CharsetProblem problem;
            groupLabels.insert(p.group,
                               unescape(decodeText(p.rawValue, p.param("CHARSET"), &problem)));
            reportCharset(p, problem);
        }
    }

    bool isOrg = false;
    bool hasName = false;
    QString formattedName;
    QStringList urls;
    for (const Property& p : std::as_const(_properties)) {
        if (p.name == QByteArrayView("BEGIN") || p.name == QByteArrayView("END") || p.name == QByteArrayView("VERSION"))
            continue;
        if (!p.group.isEmpty() && p.name.startsWith("X-") && p.name.endsWith("LABEL"))
            continue;
        const DecodedValue value = decodeValue(p);
        if (value.failed) {
            report(p.line, QStringLiteral("The value of %1 cannot be decoded.")
                               .arg(QString::fromLatin1(p.name)));
            continue;
        }
        reportCharset(p, value.charsetProblem);
        const QString& text = value.text;
        if (p.name == QByteArrayView("N")) {
            const QStringList parts = splitEscaped(text, QLatin1Char(';'));
            const QString* targets[] = {&ContactLastNameProperty, &ContactFirstNameProperty,
                                        &ContactMiddleNameProperty, &ContactTitleProperty,
                                        &ContactSuffixProperty};
            for (qsizetype i = 0; i < parts.size() && i < 5; ++i) {
                const QString part = parts.at(i).trimmed();
                if (!part.isEmpty()) {
                    set(*targets[i], part);
                    hasName = hasName || i < 2;
                }
            }
        } else if (p.name == QByteArrayView("FN")) {
            formattedName = unescape(text).trimmed();
        } else if (p.name == QByteArrayView("NICKNAME")) {
            set(ContactNicknameProperty, unescape(text));
        } else if (p.name == QByteArrayView("ORG")) {
            const QStringList parts = splitEscaped(text, QLatin1Char(';'));
            if (!parts.value(0).trimmed().isEmpty())
                set(ContactOrganizationProperty, parts.value(0).trimmed());
            const QString department = parts.mid(1).join(QLatin1Char(' ')).trimmed();
            if (!department.isEmpty())
                set(ContactDepartmentProperty, department);
        } else if (p.name == QByteArrayView("TITLE")) {
            set(ContactJobTitleProperty, unescape(text));
        } else if (p.name == QByteArrayView("ADR")) {
            const QStringList parts = splitEscaped(text, QLatin1Char(';'));
            QStringList street;
            for (qsizetype i = 0; i < 3 && i < parts.size(); ++i)
                if (!parts.at(i).trimmed().isEmpty())
                    street.append(parts.at(i).trimmed());
            ContactAddress address;
            // One line (the usual street) is taken as it is, not copied by a join.
            address.street =
                street.size() == 1 ? street.first() : street.join(QLatin1Char('\n'));
            address.city = parts.value(3).trimmed();
            address.state = parts.value(4).trimmed();
            address.zip = parts.value(5).trimmed();
            address.country = parts.value(6).trimmed();
            address.countryCode = VCardReader::countryCodeForName(address.country);
            addMulti(ContactAddressProperty, p, QVariant::fromValue(std::move(address)),
                     groupLabels);
        } else if (p.name == QByteArrayView("TEL")) {
            addMulti(ContactPhoneProperty, p, unescape(text), groupLabels);
        } else if (p.name == QByteArrayView("EMAIL")) {
            addMulti(ContactEmailProperty, p, unescape(text), groupLabels);
        } else if (p.name == QByteArrayView("URL")) {
            urls.append(unescape(text));
            addMulti(ContactURLsProperty, p, unescape(text), groupLabels);
        } else if (p.name == QByteArrayView("IMPP")) {
            addMulti(ContactInstantMessageProperty, p, unescape(text), groupLabels);
        } else if (p.name == QByteArrayView("BDAY")) {
            const QDate date = parseDate(text);
            if (date.isValid())
                set(ContactBirthdayProperty, date);
            else
                report(p.line, QStringLiteral("BDAY is not a date."));
        } else if (p.name == QByteArrayView("ANNIVERSARY")
                   || (p.name.startsWith("X-")
                       && (p.name.contains("DATE") || p.name.contains("ANNIVERSARY")))) {
            const QDate date = parseDate(text);
            if (date.isValid())
                addMulti(ContactOtherDatesProperty, p, date, groupLabels);
            else
                set(QString::fromLatin1(p.name), unescape(text));
        } else if (p.name == QByteArrayView("RELATED")) {
            addMulti(ContactRelatedNamesProperty, p, unescape(text), groupLabels);
        } else if (p.name == QByteArrayView("NOTE")) {
            set(ContactNoteProperty, unescape(text));
        } else if (p.name == QByteArrayView("PHOTO") || p.name == QByteArrayView("LOGO")) {
            // A picture by URL is never fetched.
            if (p.name == QByteArrayView("PHOTO") && value.isBinary && !value.bytes.isEmpty())
                set(QStringLiteral("Photo"), value.bytes);
        } else if (p.name == QByteArrayView("UID")) {
            QString uid = unescape(text).trimmed();
            if (uid.startsWith(QLatin1String("urn:uuid:"), Qt::CaseInsensitive))
                uid = uid.mid(9);
            person->setUniqueId(uid);
        } else if (p.name == QByteArrayView("KIND")) {
            isOrg = text.trimmed().compare(QLatin1String("org"), Qt::CaseInsensitive) == 0;
        } else if (!value.isBinary) {
            set(QString::fromLatin1(p.name), unescape(text));
        }
    }
    for (Pending& pending : _multi)
        _multiValues.append({pending.property, std::move(pending.value)});
    if (!urls.isEmpty())
        set(ContactHomePageProperty, urls.first());
    if (!hasName && !formattedName.isEmpty()) {
        if (isOrg) {
            if (!has(ContactOrganizationProperty))
                set(ContactOrganizationProperty, formattedName);
        } else {
            const qsizetype space = formattedName.lastIndexOf(QLatin1Char(' '));
            if (space < 0) {
                set(ContactFirstNameProperty, formattedName);
            } else {
                set(ContactFirstNameProperty, formattedName.left(space).trimmed());
                // Trimmed as the parts of N are: white space other than a space (a tab,
                // a no-break space) may follow the last space.
                set(ContactLastNameProperty, formattedName.mid(space + 1).trimmed());
            }
        }
    }
    if (isOrg)
        person->setFlags(1);
    if (person->uniqueId().isEmpty())
        person->setUniqueId(QStringLiteral("%1#%2").arg(_fileName).arg(position));
    set(ContactUIDProperty, person->uniqueId());
    person->setValues(_values, _multiValues);
    return person;
}

// Whether a final '=' makes a logical line go on with the next physical one: it does when
// the parameters before the line's first colon say quoted-printable. While continuations
// are joined the line only grows at its end, so each character is looked at once and the
// head judged once its colon is known; scanning the whole line again after every
// continuation would make a long run of them quadratic.
class SoftBreakHead
{
public:
    // `line` is the line asked about before, grown at its end, or a new line after reset().
    bool isQuotedPrintable(QByteArrayView line)
    {
        if (_colon < 0) {
            _colon = colonIndex(line, _scanned, _quoted);
            if (_colon < 0)
                return false;
            _quotedPrintable = _colon > 0 && isQuotedPrintableHead(line.first(_colon));
        }
        return _quotedPrintable;
    }
    void reset() { *this = SoftBreakHead(); }

private:
    qsizetype _scanned = 0; // characters looked at while no colon was found
    bool _quoted = false;
    qsizetype _colon = -1; // the first colon outside quotes, once found
    bool _quotedPrintable = false;
};

// Calls `handle` with each logical line: folded continuations and quoted-printable soft
// breaks joined, blank lines skipped, each with the number of its first physical line.
template <typename Handle>
void forEachLogicalLine(const QByteArray& data, Handle handle)
{
    // The logical line is a view of the data while it is one physical line; joined lines
    // are copied together into `joined`.
    QByteArray joined;
    QByteArrayView logical;
    bool isJoined = false;
    qint64 logicalNumber = 0;
    bool have = false;
    bool softBreak = false;
    SoftBreakHead head;
    qint64 number = 0;
    const char* const begin = data.constData();
    const qsizetype n = data.size();
    qsizetype start = 0;
    const auto append = [&](QByteArrayView more, bool dropLast) {
        if (!isJoined) {
            joined = logical.toByteArray();
            isJoined = true;
        }
        if (dropLast)
            joined.chop(1);
        joined.append(more);
        logical = joined;
    };
    while (start < n) {
        qsizetype end = start;
        while (end < n && begin[end] != '\r' && begin[end] != '\n')
            ++end;
        const QByteArrayView line(begin + start, end - start);
        ++number;
        start = end;
        if (start < n && begin[start] == '\r')
            ++start;
        if (end < n && begin[end] == '\r' && start < n && begin[start] == '\n')
            ++start;
        else if (end < n && begin[end] == '\n' && start == end)
            ++start;
        if (have && softBreak) {
            append(line, true); // the '='
        } else if (have && !line.isEmpty() && (line.front() == ' ' || line.front() == '\t')) {
            append(line.sliced(1), false);
        } else if (line.trimmed().isEmpty()) {
            // A blank line ends the line before it: nothing after it continues that.
            if (have)
                handle(Line{logical, logicalNumber, !isJoined});
            have = false;
            softBreak = false;
            continue;
        } else {
            if (have)
                handle(Line{logical, logicalNumber, !isJoined});
            logical = line;
            isJoined = false;
            logicalNumber = number;
            have = true;
            head.reset();
        }
        // The '=' of a soft break is dropped only from a line whose colon, before it, is
        // known: what `head` has looked at never changes.
        softBreak = logical.endsWith('=') && head.isQuotedPrintable(logical);
    }
    if (have)
        handle(Line{logical, logicalNumber, !isJoined});
}

QByteArray normalizedData(const QByteArray& data, bool* binary)
{
    *binary = false;
    if (data.startsWith("\xEF\xBB\xBF"))
        return data.mid(3);
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(data.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                           : QStringDecoder::Utf16BE);
        const QString text = decoder.decode(data.mid(2));
        return text.toUtf8();
    }
    *binary = data.contains('\0');
    return data;
}

} // namespace

QList<std::shared_ptr<ContactPerson>>
VCardReader::read(const QByteArray& data, const QString& fileName, QList<ContactReadIssue>* issues)
{
    QList<std::shared_ptr<ContactPerson>> people;
    const auto report = [&](qint64 line, const QString& message) {
        if (issues)
            issues->append({fileName, line, message});
    };
    bool binary = false;
    const QByteArray text = normalizedData(data, &binary);
    if (binary) {
        report(0, QStringLiteral("The file is not text; it was skipped."));
        return people;
    }
    CardBuilder builder(issues, fileName);
    bool card = false; // between BEGIN and END
    qint64 cardLine = 0;
    qint64 position = 0;
    bool anyLine = false;
    const auto finish = [&]() {
        people.append(builder.build(position++));
        builder.clear();
        card = false;
    };
    forEachLogicalLine(text, [&](const Line& line) {
        anyLine = true;
        const qsizetype colon = colonIndex(line.text);
        if (colon <= 0) {
            report(line.number, QStringLiteral("The line has no colon; it was skipped."));
            return;
        }
        Property p = parseProperty(line, colon);
        if (p.name == QByteArrayView("BEGIN") && p.rawValue.trimmed().toUpper() == "VCARD") {
            if (card) {
                report(cardLine, QStringLiteral("The card has no END; what it held was kept."));
                finish();
            }
            card = true;
            cardLine = line.number;
            return;
        }
        if (p.name == QByteArrayView("END") && p.rawValue.trimmed().toUpper() == "VCARD") {
            if (card)
                finish();
            else
                report(line.number, QStringLiteral("END without BEGIN; it was skipped."));
            return;
        }
        if (!card) {
            report(line.number, QStringLiteral("A line outside any card; it was skipped."));
            return;
        }
        builder.add(std::move(p));
    });
    if (card) {
        report(cardLine, QStringLiteral("The card has no END; what it held was kept."));
        finish();
    }
    if (people.isEmpty() && anyLine && issues
        && std::none_of(issues->cbegin(), issues->cend(), [&](const ContactReadIssue& i) {
               return i.file == fileName && i.line == 0;
           }))
        report(0, QStringLiteral("The file holds no cards."));
    return people;
}

QString VCardReader::countryCodeForName(const QString& name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return {};
    // Two Latin letters are a code ("US", "jp"); two letters of another script are a name
    // ("日本", "中国").
    const auto latinLetter = [](QChar c) { return c.unicode() < 128 && c.isLetter(); };
    if (trimmed.size() == 2 && latinLetter(trimmed.at(0)) && latinLetter(trimmed.at(1)))
        return trimmed.toLower();
    static const QHash<QString, QString> byName = [] {
        QHash<QString, QString> table;
        for (int t = 1; t <= int(QLocale::LastTerritory); ++t) {
            const auto territory = static_cast<QLocale::Territory>(t);
            const QString code = QLocale::territoryToCode(territory).toLower();
            if (code.size() != 2)
                continue;
            table.insert(QLocale::territoryToString(territory).toCaseFolded(), code);
        }
        for (const QLocale& locale : QLocale::matchingLocales(
                 QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            const QString code = QLocale::territoryToCode(locale.territory()).toLower();
            if (code.size() == 2 && !locale.nativeTerritoryName().isEmpty())
                table.insert(locale.nativeTerritoryName().toCaseFolded(), code);
        }
        // Names people write that the system spells otherwise.
        table.insert(QStringLiteral("usa"), QStringLiteral("us"));
        table.insert(QStringLiteral("united states of america"), QStringLiteral("us"));
        table.insert(QStringLiteral("uk"), QStringLiteral("gb"));
        table.insert(QStringLiteral("england"), QStringLiteral("gb"));
        table.insert(QStringLiteral("great britain"), QStringLiteral("gb"));
        return table;
    }();
    return byName.value(trimmed.toCaseFolded());
}

} // namespace platform
