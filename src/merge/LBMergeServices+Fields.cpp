// Merge-field values: the field lists, new field dictionaries and one resolver per kind.

#include "merge/LBMergeServices.h"

#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "platform/core/DateFormatter.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"

#include <QHash>
#include <QLocale>

#include <algorithm>
#include <cmath>

using platform::ContactMultiValue;
using platform::ContactPersonPtr;

namespace {

using List = LBProcessState::FieldsList;

std::optional<QDateTime>& fixedNow()
{
    static std::optional<QDateTime> now;
    return now;
}

QDateTime now()
{
    return fixedNow() ? *fixedNow() : QDateTime::currentDateTime();
}

qint64 integer(const QVariantMap& map, const QString& key)
{
    return map.value(key).toLongLong();
}

QString timeStamp()
{
    // Seconds since 1 January 2001, as "%f".
    static const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    // Strictly increasing, so that two runs made in one instant never read as one.
    // Counted in whole microseconds: steps of a millionth of a second in floating point
    // round back onto the same text.
    static qint64 last = 0;
    qint64 micros = reference.msecsTo(QDateTime::currentDateTimeUtc()) * 1000;
    if (micros <= last)
        micros = last + 1;
    last = micros;
    return QString::asprintf("%lld.%06lld", static_cast<long long>(micros / 1000000),
                             static_cast<long long>(micros % 1000000));
}

QString nameText(const platform::ContactPerson& p, const QString& property)
{
    return p.value(property).toString();
}

// The present parts joined by single spaces.
QString joinNames(const QStringList& parts)
{
    QStringList present;
    for (const QString& part : parts)
        if (!part.isEmpty())
            present.append(part);
    return present.join(QLatin1Char(' '));
}

QString firstLast(const platform::ContactPerson& p)
{
    return joinNames({nameText(p, platform::ContactFirstNameProperty),
                      nameText(p, platform::ContactLastNameProperty)});
}

QString fullName(const platform::ContactPerson& p)
{
    return joinNames({nameText(p, platform::ContactTitleProperty),
                      nameText(p, platform::ContactFirstNameProperty),
                      nameText(p, platform::ContactMiddleNameProperty),
                      nameText(p, platform::ContactLastNameProperty),
                      nameText(p, platform::ContactSuffixProperty)});
}

QString initial(const platform::ContactPerson& p, const QString& property, bool upper)
{
    const QString name = nameText(p, property);
    if (name.isEmpty())
        return {};
    const QString first = name.left(1);
    return upper ? first.toUpper() : first.toLower();
}

// The index of the multi-value entry a definition chooses (-1 when none): 0/4 primary,
// 1/5 "indexNum" (1-based), 2 by label (raw, then as shown).
qsizetype chosenIndex(const ContactMultiValue& values, const QVariantMap& field,
                      bool localizedLabels)
{
    switch (integer(field, QStringLiteral("selectionType"))) {
    case 0:
    case 4: return values.primaryIndex();
    case 1:
    case 5: {
        const qint64 n = integer(field, QStringLiteral("indexNum")) - 1;
        return n >= 0 && n < values.count() ? n : -1;
    }
    case 2: {
        const QString label = field.value(QStringLiteral("labelName")).toString();
        for (qsizetype i = 0; i < values.count(); ++i)
            if (values.entries.at(i).label == label)
                return i;
        if (localizedLabels)
            for (qsizetype i = 0; i < values.count(); ++i)
                if (platform::ContactStore::localizedPropertyOrLabel(values.entries.at(i).label)
                    == label)
                    return i;
        return -1;
    }
    default: return -1;
    }
}

QString dateText(const QDateTime& date, qint64 formatIndex);
QString timeText(const QDateTime& date, qint64 formatIndex);

QString describe(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QDate: return value.toDate().toString(Qt::ISODate);
    case QMetaType::QVariantMap:
    case QMetaType::QVariantList:
    case QMetaType::QByteArray: return QString(); // no useful text
    default: return value.toString();
    }
}

} // namespace

void LBMergeServices::setCurrentDateForTesting(const std::optional<QDateTime>& date)
{
    fixedNow() = date;
}

// ==== Lookup ============================================================================

std::optional<QVariantMap> LBMergeServices::fieldForFieldName(const QString& name,
                                                              const QVariantList& searchArray)
{
    for (const QVariant& group : searchArray) {
        const QVariantList children = group.toMap().value(QStringLiteral("childArray")).toList();
        for (const QVariant& child : children) {
            const QVariantMap field = child.toMap();
            if (field.value(QStringLiteral("fieldName"))
                    .toString()
                    .compare(name, Qt::CaseInsensitive)
                == 0)
                return field;
        }
    }
    return std::nullopt;
}

std::optional<QVariantMap> LBMergeServices::fieldForFieldName(const QString& name, bool* isMyField)
{
    // Every name of the four lists, first list first, by its case-folded text; made again
    // whenever a list changed (the copies kept here share the lists' data until then).
    struct Index
    {
        QVariantList lists[4];
        QHash<QString, std::pair<QVariantMap, bool>> byName;
        // The names asked for as they were written (a merge asks for the same few on
        // every label), spared their case folding.
        QHash<QString, std::optional<std::pair<QVariantMap, bool>>> asked;
    };
    static Index index;
    const std::pair<List, bool> order[] = {
        {List::Standard, false}, {List::My, true}, {List::Misc, true}, {List::Custom, false}};
    bool stale = false;
    for (int i = 0; i < 4; ++i) {
        const QVariantList& list = LBProcessState::fieldsList(order[i].first);
        stale = stale || list.constData() != index.lists[i].constData()
                || list.size() != index.lists[i].size();
    }
    if (stale) {
        index.byName.clear();
        index.asked.clear();
        for (int i = 0; i < 4; ++i) {
            index.lists[i] = LBProcessState::fieldsList(order[i].first);
            for (const QVariant& group : std::as_const(index.lists[i]))
                for (const QVariant& child :
                     group.toMap().value(QStringLiteral("childArray")).toList()) {
                    const QVariantMap field = child.toMap();
                    const QString key =
                        field.value(QStringLiteral("fieldName")).toString().toCaseFolded();
                    if (!index.byName.contains(key))
                        index.byName.insert(key, {field, order[i].second});
                }
        }
    }
    auto asked = index.asked.constFind(name);
    if (asked == index.asked.cend()) {
        const auto found = index.byName.constFind(name.toCaseFolded());
        if (index.asked.size() >= 1024)
            index.asked.clear();
        asked = index.asked.insert(
            name, found == index.byName.cend()
                      ? std::nullopt
                      : std::optional<std::pair<QVariantMap, bool>>(*found));
    }
    if (!*asked) {
        if (isMyField)
            *isMyField = false;
        return std::nullopt;
    }
    if (isMyField)
        *isMyField = (*asked)->second;
    return (*asked)->first;
}

QString LBMergeServices::propertyNameForFieldStr(const QString& name)
{
    const std::optional<QVariantMap> field = fieldForFieldName(name, nullptr);
    return field ? field->value(QStringLiteral("propertyName")).toString() : QString();
}

QVariantMap LBMergeServices::fieldAttributeForFieldString(const QString& name)
{
    QVariantMap attribute{{QStringLiteral("LBFieldTimeStamp"), timeStamp()}};
    const std::optional<QVariantMap> field = fieldForFieldName(name, nullptr);
    if (!field)
        return attribute;
    const QString property = field->value(QStringLiteral("propertyName")).toString();
    switch (integer(*field, QStringLiteral("propertyType"))) {
    case 3:
    case 16:
        attribute.insert(QStringLiteral("LBPropertyName"), property);
        attribute.insert(QStringLiteral("LBDateFormatIndex"), 0);
        break;
    case 13:
        attribute.insert(QStringLiteral("LBPropertyName"), property);
        attribute.insert(QStringLiteral("LBTimeFormatIndex"), 0);
        break;
    case 14:
        attribute.insert(QStringLiteral("LBPropertyName"), property);
        attribute.insert(QStringLiteral("LBPhoneFormatIndex"), 0);
        break;
    case 8:
        attribute.insert(QStringLiteral("LBPropertyName"), property);
        attribute.insert(QStringLiteral("LBIdentityFieldIndex"), 0);
        if (property == QLatin1String("kLBQIdentityPhoneProperty")
            || property == QLatin1String("kLBQIdentityFaxPhoneProperty"))
            attribute.insert(QStringLiteral("LBPhoneFormatIndex"), 0);
        break;
    case 10:
        attribute.insert(QStringLiteral("LBPropertyName"), property);
        if (property != QLatin1String("kLBTotalCountField")) {
            attribute.insert(QStringLiteral("StartNumber"), 1);
            attribute.insert(QStringLiteral("Increment"), 1);
        }
        attribute.insert(QStringLiteral("IncludeZeros"),
                         property == QLatin1String("kLBSerialNumberField"));
        attribute.insert(QStringLiteral("NumDigits"), 6);
        break;
    default: break;
    }
    return attribute;
}

std::optional<platform::AttributedString>
LBMergeServices::fieldStringAtIndex(qint64 index, const QString& inGroup,
                                    const QVariantList& inArray)
{
    for (const QVariant& g : inArray) {
        const QVariantMap group = g.toMap();
        if (group.value(QStringLiteral("fieldName")).toString() != inGroup)
            continue;
        const QVariantList children = group.value(QStringLiteral("childArray")).toList();
        if (index < 0 || index >= children.size())
            return std::nullopt;
        const QString name =
            children.at(index).toMap().value(QStringLiteral("fieldName")).toString();
        const QVariantMap attribute{{QStringLiteral("LBFieldTimeStamp"), timeStamp()}};
        return platform::AttributedString(name, {{LBQFieldAttributeName, attribute}});
    }
    return std::nullopt;
}

// ==== Standard values ===================================================================

std::optional<QVariant> LBMergeServices::standardValue(const QVariantMap& field, qint64 fromContact,
                                                       QString* label)
{
    const ContactPersonPtr person = contactAtIndex(fromContact);
    if (!person)
        return std::nullopt;
    QString property = field.value(QStringLiteral("propertyName")).toString();
    bool multiple = integer(field, QStringLiteral("isMultiple")) != 0;
    // The home page reads the URL list, as a multi-value.
    if (property == platform::ContactHomePageProperty
        && person->multiValue(platform::ContactURLsProperty)) {
        property = platform::ContactURLsProperty;
        multiple = true;
    }
    if (!multiple) {
        const QVariant value = person->value(property);
        return value.isValid() ? std::optional<QVariant>(value) : std::nullopt;
    }
    const std::optional<ContactMultiValue> values = person->multiValue(property);
    if (!values)
        return std::nullopt;
    const qsizetype i = chosenIndex(*values, field, true);
    if (i < 0)
        return std::nullopt;
    if (label)
        *label = values->entries.at(i).label;
    return values->entries.at(i).value;
}

QString LBMergeServices::stringForStandardField(const QVariantMap& field, qint64 fromContact)
{
    QString label;
    const std::optional<QVariant> found = standardValue(field, fromContact, &label);
    if (!found)
        return {};
    const qint64 selection = integer(field, QStringLiteral("selectionType"));
    const qint64 kind = integer(field, QStringLiteral("propertyType"));
    const bool wantsLabel = (selection == 4 || selection == 5) && kind != 4 && kind != 5
                            && integer(field, QStringLiteral("isMultiple")) != 0;
    const QVariant value = wantsLabel ? QVariant(label) : *found;
    QString text;
    switch (kind) {
    case 0:
    case 14: text = describe(value); break;
    case 1: text = QString::number(value.toLongLong()); break;
    case 2: text = QString::asprintf("%f", value.toDouble()); break;
    case 4: {
        const QVariantList array = value.toList();
        const qint64 n = integer(field, QStringLiteral("arrayIndexNum"));
        if (n < 0 || n >= array.size())
            return {};
        text = describe(array.at(n));
        break;
    }
    case 5: {
        const QVariant entry =
            value.toMap().value(field.value(QStringLiteral("propertyKey")).toString());
        if (!entry.isValid())
            return {};
        text = describe(entry);
        break;
    }
    default: text = describe(value); break;
    }
    if (selection == 4 || selection == 5)
        text = platform::ContactStore::localizedPropertyOrLabel(text);
    return text;
}

// ==== Custom fields ======================================================================

QString LBMergeServices::stringForCustomField(const QVariantMap& field, qint64 fromContact)
{
    const QString id = field.value(QStringLiteral("propertyName")).toString();
    if (!id.startsWith(QLatin1String("kLBQ")))
        return {};
    // Markers and dates need no contact.
    if (id == QLatin1String("kLBQLeftBracketProperty")
        || id == QLatin1String("kLBQRightBracketProperty")
        || id == QLatin1String("kLBQRepeatStartProperty")
        || id == QLatin1String("kLBQRepeatStopProperty"))
        return id;
    if (id == QLatin1String("kLBQCurrentDateProperty")) {
        qint64 style = field.contains(QStringLiteral("dateType"))
                           ? integer(field, QStringLiteral("dateType"))
                           : (field.value(QStringLiteral("shortDate")).toBool() ? 3 : 0);
        // full 0, long 24, medium 26, short 1 of the date formats.
        static const qint64 formats[] = {0, 24, 26, 1};
        if (style < 0 || style > 3)
            return {};
        return dateText(now(), formats[style]);
    }
    if (id == QLatin1String("kLBQCurrentTimeProperty"))
        return timeText(now(), 0);
    if (id == QLatin1String("kLBQFullAddressProperty"))
        return fullAddressStringForField(field, fromContact);
    if (id == QLatin1String("kLBQFullSingleAddressProperty")) {
        QString address = fullAddressStringForField(field, fromContact);
        if (address.isNull())
            return address;
        address.replace(QLatin1Char('\r'), QLatin1Char(' '));
        address.replace(QLatin1Char('\n'), QLatin1Char(' '));
        return address;
    }
    const ContactPersonPtr person = contactAtIndex(fromContact);
    if (!person)
        return {};
    const platform::ContactPerson& p = *person;
    const bool company = isCompanyCard(p);
    const QString organization = nameText(p, platform::ContactOrganizationProperty);
    if (id == QLatin1String("kLBQFirstAndLastNameProperty"))
        return firstLast(p);
    if (id == QLatin1String("kLBQNameOrCompanyProperty"))
        return company ? organization : firstLast(p);
    if (id == QLatin1String("kLBQFullNameOrCompanyProperty"))
        return company ? organization : fullName(p);
    if (id == QLatin1String("kLBQCompanyOrNameProperty"))
        return company ? firstLast(p) : organization;
    if (id == QLatin1String("kLBQCompanyOrFullNameProperty"))
        return company ? fullName(p) : organization;
    static const QHash<QString, std::pair<QString, bool>> initials = {
        {QStringLiteral("kLBQFirstInitialUProperty"), {platform::ContactFirstNameProperty, true}},
        {QStringLiteral("kLBQMiddleInitialUProperty"), {platform::ContactMiddleNameProperty, true}},
        {QStringLiteral("kLBQLastInitialUProperty"), {platform::ContactLastNameProperty, true}},
        {QStringLiteral("kLBQCompanyInitialUProperty"),
         {platform::ContactOrganizationProperty, true}},
        {QStringLiteral("kLBQFirstInitialLProperty"), {platform::ContactFirstNameProperty, false}},
        {QStringLiteral("kLBQMiddleInitialLProperty"),
         {platform::ContactMiddleNameProperty, false}},
        {QStringLiteral("kLBQLastInitialLProperty"), {platform::ContactLastNameProperty, false}},
        {QStringLiteral("kLBQCompanyInitialLProperty"),
         {platform::ContactOrganizationProperty, false}},
    };
    if (const auto it = initials.constFind(id); it != initials.cend())
        return initial(p, it->first, it->second);
    return {};
}

// ==== Dates, times and telephone numbers =================================================

namespace {

QString dateText(const QDateTime& date, qint64 formatIndex)
{
    static const char* const patterns[] = {
        nullptr,     nullptr,     "%A, %B %d, %Y", "%A, %d %B, %Y", "%B %d, %Y",
        "%d %B, %Y", "%b %d, %Y", "%d %b, %Y",     "%m/%d/%y",      "%d/%m/%y",
        "%Y/%m/%d",  "%Y/%d/%m",  "%m-%d-%Y",      "%d-%m-%Y",      "%m-%d-%y",
        "%d-%m-%y",  "%m.%d.%Y",  "%d.%m.%Y",      "%Y-%m-%d",      "%Y-%d-%m",
        "%d-%b-%Y",  "%j",        "%j/%y",         nullptr,         nullptr,
        nullptr,     nullptr,     nullptr,         nullptr};
    using Style = platform::DateFormatter::Style;
    // The system styles: full, short, then 23-28.
    static const std::pair<Style, bool> styles[] = {
        {Style::FullStyle, false},  {Style::ShortStyle, false}, {Style::FullStyle, true},
        {Style::LongStyle, false},  {Style::LongStyle, true},   {Style::MediumStyle, false},
        {Style::MediumStyle, true}, {Style::ShortStyle, true}};
    const auto index = quint64(formatIndex);
    if (index > 28)
        return QString(QLatin1String(""));
    if (patterns[index])
        return platform::DateFormatter::stringFromStrftimePattern(date,
                                                                  QLatin1String(patterns[index]));
    const std::pair<Style, bool>& style = styles[index < 2 ? index : index - 21];
    // One formatter per entry and locale, kept.
    static QHash<QString, platform::DateFormatter> formatters;
    const QLocale locale;
    const QString key = QStringLiteral("%1/%2").arg(index).arg(locale.name());
    auto it = formatters.find(key);
    if (it == formatters.end())
        it = formatters.insert(key, platform::DateFormatter(style.first,
                                                            platform::DateFormatter::NoStyle,
                                                            locale, style.second));
    return it->stringFromDate(date);
}

QString timeText(const QDateTime& date, qint64 formatIndex)
{
    static const char* const patterns[] = {nullptr, "%I:%M %p", "%I:%M:%S %p", "%H:%M", "%H:%M:%S"};
    const auto index = quint64(formatIndex);
    if (index > 4)
        return QString(QLatin1String(""));
    if (patterns[index])
        return platform::DateFormatter::stringFromStrftimePattern(date,
                                                                  QLatin1String(patterns[index]));
    const QLocale locale;
    QString format = locale.timeFormat(QLocale::ShortFormat);
    format.remove(QLatin1String(":ss"));
    format.remove(QLatin1String(".ss"));
    return locale.toString(date.time(), format);
}

QString phonePattern(qint64 index)
{
    static const char* const keys[] = {"Original phone format", "(###) ###-####", "###.###.####",
                                       "### ### ####",          "### ###-####",   "### ###.####",
                                       "###-###-####",          "(###) ###.####", "(###) ### ####",
                                       "(###)-###-####",        "[###] ###.####", "###>###>####",
                                       "### | ###-####",        "###/###-####"};
    if (index < 0 || index > 13)
        return {};
    return platform::LocalizedString(QLatin1String(keys[index]), QStringLiteral("Phone Formats"));
}

} // namespace

QString LBMergeServices::dateStringForDate(const QDateTime& date, qint64 formatIndex) const
{
    return dateText(date, formatIndex);
}

QString LBMergeServices::timeStringForDate(const QDateTime& date, qint64 formatIndex) const
{
    return timeText(date, formatIndex);
}

QString LBMergeServices::phoneFormatStringAtIndex(qint64 index) const
{
    return phonePattern(index);
}

QString LBMergeServices::formatPhoneNumber(const QString& raw, const QString& pattern)
{
    QString digits;
    for (const QChar c : raw)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    const qsizetype count = digits.size();
    if (!(count == 7 || count == 10 || (count == 11 && digits.at(0) == QLatin1Char('1'))))
        return raw;
    QString body = count == 11 ? digits.mid(1) : digits;
    QString used = pattern;
    if (count == 7) {
        // Only the part of the pattern from its seventh "#" from the end.
        qsizetype seen = 0;
        for (qsizetype i = pattern.size() - 1; i >= 0; --i)
            if (pattern.at(i) == QLatin1Char('#') && ++seen == 7) {
                used = pattern.mid(i);
                break;
            }
    }
    // Filled from the end; once the digits are used up, the pattern's leading characters
    // are still copied up to its first "#" left unfilled.
    QString out;
    qsizetype d = body.size() - 1;
    for (qsizetype i = used.size() - 1; i >= 0; --i) {
        const QChar c = used.at(i);
        if (c == QLatin1Char('#')) {
            if (d < 0)
                break;
            out.prepend(body.at(d--));
        } else {
            out.prepend(c);
        }
    }
    return count == 11 ? digits.left(1) + QLatin1Char(' ') + out : out;
}

QString LBMergeServices::stringForDateField(const QVariantMap& field,
                                            const QVariantMap& fieldAttribute, qint64 fromContact)
{
    const qint64 format = integer(fieldAttribute, QStringLiteral("LBDateFormatIndex"));
    const QString property = fieldAttribute.value(QStringLiteral("LBPropertyName")).toString();
    if (property == QLatin1String("kLBQCurrentDateProperty")
        || field.value(QStringLiteral("propertyName")).toString()
               == QLatin1String("kLBQCurrentDateProperty"))
        return dateStringForDate(now(), format);
    const ContactPersonPtr person = contactAtIndex(fromContact);
    if (!person)
        return {};
    const QVariant value = person->value(
        property.isEmpty() ? field.value(QStringLiteral("propertyName")).toString() : property);
    if (value.typeId() != QMetaType::QDate)
        return {};
    return dateStringForDate(QDateTime(value.toDate(), QTime(12, 0)), format);
}

QString LBMergeServices::stringForMultiDateField(const QVariantMap& field,
                                                 const QVariantMap& fieldAttribute,
                                                 qint64 fromContact)
{
    const ContactPersonPtr person = contactAtIndex(fromContact);
    if (!person)
        return {};
    const std::optional<ContactMultiValue> dates =
        person->multiValue(platform::ContactOtherDatesProperty);
    if (!dates || integer(field, QStringLiteral("selectionType")) > 2)
        return {};
    const qsizetype i = chosenIndex(*dates, field, false);
    if (i < 0)
        return {};
    return dateStringForDate(QDateTime(dates->entries.at(i).value.toDate(), QTime(12, 0)),
                             integer(fieldAttribute, QStringLiteral("LBDateFormatIndex")));
}

QString LBMergeServices::stringForTimeField(const QVariantMap&, const QVariantMap& fieldAttribute,
                                            qint64)
{
    return timeStringForDate(now(), integer(fieldAttribute, QStringLiteral("LBTimeFormatIndex")));
}

QString LBMergeServices::stringForPhoneField(const QVariantMap& field,
                                             const QVariantMap& fieldAttribute, qint64 fromContact)
{
    const qint64 n = integer(fieldAttribute, QStringLiteral("LBPhoneFormatIndex"));
    const QString raw = stringForStandardField(field, fromContact);
    if (n < 1 || raw.isNull())
        return raw;
    const QString pattern = phoneFormatStringAtIndex(n);
    if (pattern.isNull())
        return raw;
    return formatPhoneNumber(raw, pattern);
}

// ==== Counters and imported columns ======================================================

QString LBMergeServices::stringForCounterField(const QVariantMap& field,
                                               const QVariantMap& fieldAttribute,
                                               qint64 currentIndex, qint64 totalCount)
{
    const qint64 s = integer(fieldAttribute, QStringLiteral("StartNumber"));
    const qint64 i = integer(fieldAttribute, QStringLiteral("Increment"));
    const bool zeros = integer(fieldAttribute, QStringLiteral("IncludeZeros")) == 1
                       || fieldAttribute.value(QStringLiteral("IncludeZeros")).toBool();
    const qint64 d =
        std::min(integer(fieldAttribute, QStringLiteral("NumDigits")), maximumCounterDigits);
    const auto fit = [&](qint64 number) {
        QString text = QString::number(number);
        if (!zeros || d < 0)
            return text;
        if (text.size() < d)
            return QString(d - text.size(), QLatin1Char('0')) + text;
        return text.right(d);
    };
    const QString property = field.value(QStringLiteral("propertyName")).toString();
    if (property == QLatin1String("kLBTotalCountField"))
        return fit(totalCount);
    if (property == QLatin1String("kCountOfTotalField")) {
        // The last label's own number, so that the last label reads "n of n".
        const qint64 last = s + i * (totalCount - 1);
        return fit(s + i * currentIndex)
               + platform::LocalizedString(QStringLiteral(" of "), QStringLiteral("Miscellaneous"))
               + fit(last);
    }
    return fit(s + i * currentIndex);
}

QString LBMergeServices::stringForImportField(const QVariantMap& field, qint64 recordIndex)
{
    return stringForImportColumn(importColumnForField(field), recordIndex);
}

qint64 LBMergeServices::importColumnForField(const QVariantMap& field)
{
    const QString property = field.value(QStringLiteral("propertyName")).toString();
    if (property.startsWith(QLatin1String("kLBImport"))
        && property.endsWith(QLatin1String("Field"))) {
        bool ok = false;
        const qint64 n = QStringView(property).mid(9, property.size() - 14).toLongLong(&ok);
        if (ok && n >= 1 && n <= 20)
            return n - 1;
    }
    return 0;
}

QString LBMergeServices::stringForImportColumn(qint64 column, qint64 recordIndex)
{
    const LBDocument* doc = document();
    if (!doc || recordIndex < 0)
        return {};
    qint64 columns = 0;
    const QStringList records = doc->importTextArrayAndColumnCount(&columns);
    if (records.isEmpty() || columns <= 0 || column >= columns)
        return {};
    const qint64 index = recordIndex * columns + column;
    return index < records.size() ? records.at(index) : QString();
}

// ==== Identity fields and pictures =======================================================

std::optional<platform::AttributedString>
LBMergeServices::fieldStringForIdentityField(const QVariantMap& field,
                                             const QVariantMap& fieldAttribute, qint64 fromContact,
                                             qint64 addressIndexOverride)
{
    const qint64 k = addressIndexOverride != -1
                         ? addressIndexOverride
                         : integer(fieldAttribute, QStringLiteral("LBIdentityFieldIndex"));
    const QString property = field.value(QStringLiteral("propertyName")).toString();
    QString group;
    qint64 child = k;
    const bool fax = property == QLatin1String("kLBQIdentityFaxPhoneProperty");
    const bool phone = fax || property == QLatin1String("kLBQIdentityPhoneProperty");
    if (property == QLatin1String("kLBQIdentityAddressProperty")) {
        group = QStringLiteral("Address (complete)");
    } else if (property == QLatin1String("kLBQIdentitySingleAddressProperty")) {
        group = QStringLiteral("Address (1-line)");
    } else if (property == QLatin1String("kLBQIdentityEmailProperty")) {
        group = QStringLiteral("Internet");
        child = k + 1;
    } else if (phone) {
        group = QStringLiteral("Phone");
        if (fax)
            child = k == 2 ? 14 : 13;
    } else {
        return std::nullopt;
    }
    const QVariantList& list =
        LBProcessState::fieldsList(fromContact != -1 ? List::Standard : List::My);
    const QVariantList& custom = LBProcessState::fieldsList(List::Custom);
    const auto find = [&](qint64 index) {
        std::optional<platform::AttributedString> run = fieldStringAtIndex(index, group, list);
        if (!run)
            run = fieldStringAtIndex(index, group, custom);
        return run;
    };
    std::optional<platform::AttributedString> run = find(child);
    if (fax && k == 0 && run) {
        // The first fax entry when it has a number, else the second.
        const std::optional<QVariantMap> definition = fieldForFieldName(run->string(), list);
        const QString value =
            definition ? stringForStandardField(*definition, fromContact) : QString();
        if (value.isEmpty())
            run = find(14);
    }
    if (!run)
        return std::nullopt;
    if (phone) {
        QVariantMap attribute = fieldAttributeForFieldString(run->string());
        attribute.insert(QStringLiteral("LBPhoneFormatIndex"),
                         integer(fieldAttribute, QStringLiteral("LBPhoneFormatIndex")));
        run->addAttribute(LBQFieldAttributeName, attribute, platform::Range(0, run->length()));
    }
    return run;
}

std::shared_ptr<platform::Image> LBMergeServices::imageForField(const QVariantMap& field,
                                                                qint64 fromContact)
{
    const QString property = field.value(QStringLiteral("propertyName")).toString();
    QByteArray data;
    if (property == QLatin1String("kLBQPictureProperty")) {
        const ContactPersonPtr person = contactAtIndex(fromContact);
        if (person)
            data = person->imageData();
    } else if (property == QLatin1String("kLBQIdentityLogoProperty")) {
        data = platform::UserDefaults::standardUserDefaults().dataForKey(QStringLiteral("My Logo"));
    } else if (property == QLatin1String("kLBQIdentitySignatureProperty")) {
        data = platform::UserDefaults::standardUserDefaults().dataForKey(
            QStringLiteral("My Signature"));
    }
    return data.isEmpty() ? nullptr : platform::Image::fromData(data);
}
