#include "platform/core/ContactStore.h"

#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/VCardReader.h"

#include <QDesktopServices>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QFuture>
#include <QLocale>
#include <QPromise>
#include <QSet>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QVarLengthArray>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <future>
#include <limits>
#include <utility>

namespace platform {

namespace {

// A contacts file by its name: .vcf or .vcard, in any case. Compared as text: a wildcard
// name filter would compile a regular expression, and its engine, at the program's start.
bool isContactFileName(const QString& name)
{
    return name.endsWith(QLatin1String(".vcf"), Qt::CaseInsensitive)
           || name.endsWith(QLatin1String(".vcard"), Qt::CaseInsensitive);
}

} // namespace

// ---- ContactAddress ------------------------------------------------------------------

namespace {

template <typename T>
const T& ref(const QVariant& value)
{
    return *static_cast<const T*>(value.constData());
}

// Any code asking a QVariant for a dictionary gets one of an address too.
const bool addressConverts = QMetaType::registerConverter<ContactAddress, QVariantMap>(
    [](const ContactAddress& address) { return address.toMap(); });

// The keys and their texts, in the keys' sorted order (the order of the dictionary).
template <typename Address>
auto addressFields(Address& a)
{
    return std::array<std::pair<const QString*, decltype(&a.city)>, 6>{{
        {&ContactAddressCityKey, &a.city},
        {&ContactAddressCountryKey, &a.country},
        {&ContactAddressCountryCodeKey, &a.countryCode},
        {&ContactAddressStateKey, &a.state},
        {&ContactAddressStreetKey, &a.street},
        {&ContactAddressZIPKey, &a.zip},
    }};
}

} // namespace

QString ContactAddress::value(const QString& key) const
{
    for (const auto& [name, text] : addressFields(*this))
        if (*name == key)
            return *text;
    return {};
}

QVariantMap ContactAddress::toMap() const
{
    QVariantMap map;
    for (const auto& [name, text] : addressFields(*this))
        if (!text->isEmpty())
            map.insert(*name, *text);
    return map;
}

ContactAddress ContactAddress::fromMap(const QVariantMap& map)
{
    ContactAddress address;
    for (const auto& [name, text] : addressFields(address))
        *text = map.value(*name).toString();
    return address;
}

const ContactAddress* contactAddressIn(const QVariant& value)
{
    Q_UNUSED(addressConverts);
    return value.metaType() == QMetaType::fromType<ContactAddress>()
               ? static_cast<const ContactAddress*>(value.constData())
               : nullptr;
}

// ---- ContactMultiValue ---------------------------------------------------------------

qsizetype ContactMultiValue::indexForIdentifier(const QString& identifier) const
{
    bool ok = false;
    const qsizetype i = identifier.toLongLong(&ok);
    return ok && i >= 0 && i < entries.size() ? i : -1;
}

qsizetype ContactMultiValue::primaryIndex() const
{
    if (entries.isEmpty())
        return -1;
    return primary >= 0 && primary < entries.size() ? primary : 0;
}

// ---- ContactPerson -------------------------------------------------------------------

namespace {

// The properties whose values slots can hold; a slot names one by its place here.
const QString* const SlotProperties[] = {
    &ContactFirstNameProperty,    &ContactLastNameProperty,   &ContactMiddleNameProperty,
    &ContactTitleProperty,        &ContactSuffixProperty,     &ContactNicknameProperty,
    &ContactOrganizationProperty, &ContactDepartmentProperty, &ContactJobTitleProperty,
    &ContactAddressProperty,      &ContactPhoneProperty,      &ContactEmailProperty,
    &ContactHomePageProperty,     &ContactURLsProperty,       &ContactInstantMessageProperty,
    &ContactBirthdayProperty,     &ContactOtherDatesProperty, &ContactRelatedNamesProperty,
    &ContactNoteProperty,         &ContactUIDProperty,
};
constexpr qsizetype SlotPropertyCount = qsizetype(std::size(SlotProperties));

// -1 for a property no slot can name.
qsizetype slotProperty(const QString& property)
{
    // Most callers name a property by its constant: the same characters, found without
    // comparing them.
    for (qsizetype i = 0; i < SlotPropertyCount; ++i)
        if (SlotProperties[i]->constData() == property.constData())
            return i;
    for (qsizetype i = 0; i < SlotPropertyCount; ++i)
        if (*SlotProperties[i] == property)
            return i;
    return -1;
}

// The labels of entries a slot names by number; 0 is no label, CustomLabel one kept as
// the text of a label slot just before the entry.
const QString* const SlotLabels[] = {
    nullptr,
    &ContactHomeLabel,
    &ContactWorkLabel,
    &ContactMobileLabel,
    &ContactMainLabel,
    &ContactFaxLabel,
    &ContactWorkFaxLabel,
    &ContactOtherLabel,
    &ContactSpouseLabel,
    &ContactAnniversaryLabel,
};
constexpr quint8 CustomLabel = 0xFF;

quint8 slotLabel(const QString& label)
{
    if (label.isEmpty())
        return 0;
    for (qsizetype i = 1; i < qsizetype(std::size(SlotLabels)); ++i)
        if (*SlotLabels[i] == label)
            return quint8(i);
    return CustomLabel;
}

// What a slot holds. An address is six slots: its street, then its city, state, ZIP,
// country and country code.
enum SlotKind : quint8 { TextSlot, DateSlot, StreetSlot, AddressPartSlot, LabelSlot };
// WideSlot: the text is in UTF-16, not in Latin-1 (copied out, never read in place: it
// may lie at an odd address).
enum SlotFlag : quint8 { MultiSlot = 1, PrimarySlot = 2, WideSlot = 4 };
constexpr qsizetype AddressSlots = 6;

bool isLatin1(QStringView text)
{
    for (const QChar c : text)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

// A date a slot can hold: its Julian day as a 32-bit count.
bool slotDate(const QVariant& value, quint32* day)
{
    if (value.typeId() != QMetaType::QDate)
        return false;
    const qint64 jd = ref<QDate>(value).toJulianDay();
    if (jd < 0 || jd > qint64(std::numeric_limits<quint32>::max()))
        return false;
    *day = quint32(jd);
    return true;
}

bool slotValue(const QVariant& value)
{
    quint32 day = 0;
    return value.typeId() == QMetaType::QString || slotDate(value, &day);
}

bool slotEntryValue(const QVariant& value)
{
    return slotValue(value) || contactAddressIn(value);
}

bool slotMultiValue(const ContactMultiValue& values)
{
    return !values.entries.isEmpty() && values.primary >= -1
           && values.primary < values.entries.size()
           && std::all_of(
               values.entries.cbegin(), values.entries.cend(),
               [](const ContactMultiValue::Entry& e) { return slotEntryValue(e.value); });
}

// Addresses given as dictionaries are kept as the store keeps every address.
ContactMultiValue withAddresses(const QString& property, const ContactMultiValue& value)
{
    ContactMultiValue kept = value;
    if (property == ContactAddressProperty)
        for (ContactMultiValue::Entry& entry : kept.entries)
            if (entry.value.typeId() == QMetaType::QVariantMap)
                entry.value =
                    QVariant::fromValue(ContactAddress::fromMap(ref<QVariantMap>(entry.value)));
    return kept;
}

template <typename Value>
void put(QList<std::pair<QString, Value>>& list, const QString& property, const Value& value,
         bool remove)
{
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list.at(i).first == property) {
            if (remove)
                list.removeAt(i);
            else
                list[i].second = value;
            return;
        }
    if (!remove)
        list.append({property, value});
}

} // namespace

QString ContactPerson::text(const Slot& slot) const
{
    const char* const at = _texts.constData() + slot.offset;
    if (!(slot.flags & WideSlot))
        return QString::fromLatin1(at, qsizetype(slot.length));
    QString text(qsizetype(slot.length), Qt::Uninitialized);
    std::memcpy(text.data(), at, size_t(slot.length) * sizeof(QChar));
    return text;
}

const ContactPerson::Slot* ContactPerson::singleSlot(qsizetype property) const
{
    for (const Slot& slot : _slots)
        if (slot.property == property && !(slot.flags & MultiSlot))
            return &slot;
    return nullptr;
}

QVariant ContactPerson::value(const QString& property) const
{
    if (const qsizetype index = slotProperty(property); index >= 0)
        if (const Slot* slot = singleSlot(index))
            return slot->kind == DateSlot ? QVariant(QDate::fromJulianDay(slot->offset))
                                          : QVariant(text(*slot));
    for (const auto& [name, value] : _values)
        if (name == property)
            return value;
    return {};
}

std::optional<ContactMultiValue> ContactPerson::multiValue(const QString& property) const
{
    for (const auto& entry : _multiValues)
        if (entry.first == property)
            return entry.second;
    const qsizetype index = slotProperty(property);
    if (index < 0)
        return std::nullopt;
    ContactMultiValue values;
    QString customLabel;
    for (qsizetype i = 0; i < _slots.size(); ++i) {
        const Slot& slot = _slots.at(i);
        if (slot.property != index || !(slot.flags & MultiSlot))
            continue;
        QVariant value;
        switch (slot.kind) {
        case LabelSlot: customLabel = text(slot); continue;
        case TextSlot: value = text(slot); break;
        case DateSlot: value = QDate::fromJulianDay(slot.offset); break;
        case StreetSlot: {
            ContactAddress address;
            QString* const parts[AddressSlots] = {&address.street,  &address.city,
                                                  &address.state,   &address.zip,
                                                  &address.country, &address.countryCode};
            for (qsizetype p = 0; p < AddressSlots && i + p < _slots.size(); ++p)
                *parts[p] = text(_slots.at(i + p));
            value = QVariant::fromValue(std::move(address));
            i += AddressSlots - 1;
            break;
        }
        default: continue;
        }
        if (slot.flags & PrimarySlot)
            values.primary = values.entries.size();
        values.entries.append({slot.label == CustomLabel ? std::exchange(customLabel, {})
                               : slot.label == 0         ? QString()
                                                         : *SlotLabels[slot.label],
                               std::move(value)});
    }
    if (values.entries.isEmpty())
        return std::nullopt;
    return values;
}

QList<std::pair<QString, QVariant>> ContactPerson::allValues() const
{
    QList<std::pair<QString, QVariant>> all;
    for (const Slot& slot : _slots)
        if (!(slot.flags & MultiSlot))
            all.append({*SlotProperties[slot.property], value(*SlotProperties[slot.property])});
    all.append(_values);
    return all;
}

QList<std::pair<QString, ContactMultiValue>> ContactPerson::allMultiValues() const
{
    QList<std::pair<QString, ContactMultiValue>> all;
    qsizetype last = -1;
    for (const Slot& slot : _slots)
        if ((slot.flags & MultiSlot) && slot.property != last) {
            last = slot.property;
            all.append({*SlotProperties[last], *multiValue(*SlotProperties[last])});
        }
    all.append(_multiValues);
    return all;
}

void ContactPerson::setValue(const QString& property, const QVariant& value)
{
    auto values = allValues();
    put(values, property, value, !value.isValid());
    setValues(values, allMultiValues());
}

void ContactPerson::setMultiValue(const QString& property, const ContactMultiValue& value)
{
    auto multiValues = allMultiValues();
    put(multiValues, property, value, false);
    setValues(allValues(), multiValues);
}

void ContactPerson::setValues(const QList<std::pair<QString, QVariant>>& givenValues,
                              const QList<std::pair<QString, ContactMultiValue>>& givenMulti)
{
    // Each property once: in the place it was first given, with its last value.
    QList<std::pair<QString, QVariant>> values;
    values.reserve(givenValues.size());
    for (const auto& [property, value] : givenValues)
        put(values, property, value, !value.isValid());
    QList<std::pair<QString, ContactMultiValue>> multi;
    multi.reserve(givenMulti.size());
    for (const auto& [property, value] : givenMulti)
        put(multi, property, withAddresses(property, value), false);

    // The slots gathered first with views of their texts, so that the texts and the slots
    // take their room once.
    QVarLengthArray<std::pair<Slot, QStringView>, 32> gathered;
    const auto addText = [&](QStringView t, quint8 property, quint8 kind, quint8 label,
                             quint8 flags) {
        gathered.append({{0, quint32(t.size()), property, label, kind, flags}, t});
    };
    _values.clear();
    for (const auto& [property, value] : values) {
        const qsizetype index = slotProperty(property);
        quint32 day = 0;
        if (index >= 0 && value.typeId() == QMetaType::QString)
            addText(ref<QString>(value), quint8(index), TextSlot, 0, 0);
        else if (index >= 0 && slotDate(value, &day))
            gathered.append({{day, 0, quint8(index), 0, DateSlot, 0}, {}});
        else
            _values.append({property, value});
    }
    _multiValues.clear();
    for (const auto& [property, value] : multi) {
        const qsizetype index = slotProperty(property);
        if (index < 0 || !slotMultiValue(value)) {
            _multiValues.append({property, value});
            continue;
        }
        const auto p = quint8(index);
        for (qsizetype i = 0; i < value.entries.size(); ++i) {
            const ContactMultiValue::Entry& e = value.entries.at(i);
            const quint8 label = slotLabel(e.label);
            if (label == CustomLabel)
                addText(e.label, p, LabelSlot, 0, MultiSlot);
            const quint8 flags = MultiSlot | (i == value.primary ? PrimarySlot : 0);
            quint32 day = 0;
            if (const ContactAddress* a = contactAddressIn(e.value)) {
                addText(a->street, p, StreetSlot, label, flags);
                for (const QString* part :
                     {&a->city, &a->state, &a->zip, &a->country, &a->countryCode})
                    addText(*part, p, AddressPartSlot, label, flags);
            } else if (slotDate(e.value, &day)) {
                gathered.append({{day, 0, p, label, DateSlot, flags}, {}});
            } else {
                addText(ref<QString>(e.value), p, TextSlot, label, flags);
            }
        }
    }
    qsizetype size = 0;
    for (auto& [slot, t] : gathered) {
        if (slot.kind == DateSlot)
            continue;
        if (isLatin1(t)) {
            slot.offset = quint32(size);
            size += t.size();
        } else {
            slot.flags |= WideSlot;
            slot.offset = quint32(size);
            size += t.size() * qsizetype(sizeof(QChar));
        }
    }
    QByteArray texts(size, '\0');
    QList<Slot> slots;
    slots.reserve(gathered.size());
    for (const auto& [slot, t] : gathered) {
        slots.append(slot);
        if (slot.kind == DateSlot)
            continue;
        char* out = texts.data() + slot.offset;
        if (slot.flags & WideSlot)
            std::memcpy(out, t.data(), size_t(t.size()) * sizeof(QChar));
        else
            for (const QChar c : t)
                *out++ = char(c.unicode());
    }
    _texts = std::move(texts);
    _slots = std::move(slots);
    _values.squeeze();
    _multiValues.squeeze();
}

QStringList ContactPerson::properties() const
{
    QStringList list;
    qsizetype lastMulti = -1;
    for (const Slot& slot : _slots) {
        if (!(slot.flags & MultiSlot)) {
            list.append(*SlotProperties[slot.property]);
        } else if (slot.property != lastMulti) {
            lastMulti = slot.property;
            list.append(*SlotProperties[lastMulti]);
        }
    }
    for (const auto& entry : _values)
        list.append(entry.first);
    for (const auto& entry : _multiValues)
        list.append(entry.first);
    return list;
}

void ContactPerson::setImageData(const QByteArray& data)
{
    setValue(QStringLiteral("Photo"), data.isEmpty() ? QVariant() : QVariant(data));
}

namespace {

bool isAscii(QStringView text)
{
    for (const QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

// The text case-folded at the end of `out`. Case folding leaves ASCII but A-Z as it is;
// most names and addresses are ASCII.
void appendCaseFolded(QString& out, QStringView text)
{
    if (!isAscii(text)) {
        out += text.toString().toCaseFolded();
        return;
    }
    const qsizetype at = out.size();
    out.resize(at + text.size());
    QChar* o = out.data() + at;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        *o++ = QChar(u >= 'A' && u <= 'Z' ? char16_t(u + ('a' - 'A')) : u);
    }
}

// The text case-folded, in UTF-8, and a line break.
void appendFoldedLine(QByteArray& out, QStringView text)
{
    if (isAscii(text)) {
        const qsizetype at = out.size();
        out.resize(at + text.size());
        char* o = out.data() + at;
        for (const QChar c : text) {
            const char16_t u = c.unicode();
            *o++ = char(u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u);
        }
    } else {
        out += text.toString().toCaseFolded().toUtf8();
    }
    out += '\n';
}

void appendFoldedLine(QByteArray& out, QLatin1StringView text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) {
            appendFoldedLine(out, QString(text));
            return;
        }
    const qsizetype at = out.size();
    out.resize(at + text.size());
    char* o = out.data() + at;
    for (const char c : text)
        *o++ = char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    out += '\n';
}

void appendSearchText(QByteArray& out, const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString: appendFoldedLine(out, ref<QString>(value)); break;
    case QMetaType::QDate: appendFoldedLine(out, ref<QDate>(value).toString(Qt::ISODate)); break;
    case QMetaType::QVariantMap: // read in place: a copy walked would detach
        for (const QVariant& v : ref<QVariantMap>(value))
            appendSearchText(out, v);
        break;
    case QMetaType::QVariantList:
        for (const QVariant& v : ref<QVariantList>(value))
            appendSearchText(out, v);
        break;
    default:
        if (const ContactAddress* address = contactAddressIn(value))
            for (const auto& [name, text] : addressFields(*address))
                if (!text->isEmpty())
                    appendFoldedLine(out, *text);
        break; // pictures and other data are not searched
    }
}

} // namespace

QByteArray ContactPerson::searchText() const
{
    QByteArray text;
    text.reserve(_texts.size() + 64);
    const qsizetype uid = slotProperty(ContactUIDProperty);
    const auto append = [&](const Slot& slot) {
        const char* const at = _texts.constData() + slot.offset;
        if (!(slot.flags & WideSlot))
            appendFoldedLine(text, QLatin1StringView(at, qsizetype(slot.length)));
        else
            appendFoldedLine(text, this->text(slot));
    };
    for (const Slot& slot : _slots) {
        switch (slot.kind) {
        case TextSlot:
            if (slot.property != uid || (slot.flags & MultiSlot))
                append(slot);
            break;
        case DateSlot:
            appendFoldedLine(text, QDate::fromJulianDay(slot.offset).toString(Qt::ISODate));
            break;
        case StreetSlot:
        case AddressPartSlot:
            if (slot.length > 0)
                append(slot);
            break;
        default: break; // labels are not searched
        }
    }
    for (const auto& [name, value] : _values)
        if (name != ContactUIDProperty)
            appendSearchText(text, value);
    for (const auto& entry : _multiValues)
        for (const ContactMultiValue::Entry& e : entry.second.entries)
            appendSearchText(text, e.value);
    return text;
}

bool ContactPerson::slotZip(QString* zip) const
{
    const qsizetype address = slotProperty(ContactAddressProperty);
    const Slot* first = nullptr;
    for (qsizetype i = 0; i + 3 < _slots.size(); ++i) {
        const Slot& slot = _slots.at(i);
        if (slot.property != address || slot.kind != StreetSlot || !(slot.flags & MultiSlot))
            continue;
        if (slot.flags & PrimarySlot) {
            *zip = text(_slots.at(i + 3));
            return true;
        }
        if (!first)
            first = &_slots.at(i + 3);
    }
    if (!first)
        return false;
    *zip = text(*first);
    return true;
}

void ContactPerson::finish()
{
    const QVariant first = value(ContactFirstNameProperty);
    const QVariant last = value(ContactLastNameProperty);
    const QString company = value(ContactOrganizationProperty).toString();
    QString zip;
    if (!slotZip(&zip))
        if (const auto addresses = multiValue(ContactAddressProperty);
            addresses && addresses->count() > 0)
            if (const ContactAddress* address =
                    contactAddressIn(addresses->entries.at(addresses->primaryIndex()).value))
                zip = address->zip;
    const QString firstText = first.toString();
    const QString lastText = last.toString();
    SortNames& names = _sortNames;
    names._hasName = first.isValid() || last.isValid();
    names._text.clear();
    // Folding keeps the length of ASCII; other text may grow or shrink.
    names._text.reserve(firstText.size() + lastText.size() + company.size() + zip.size());
    appendCaseFolded(names._text, firstText);
    names._firstEnd = qint32(names._text.size());
    appendCaseFolded(names._text, lastText);
    names._lastEnd = qint32(names._text.size());
    appendCaseFolded(names._text, company);
    names._companyEnd = qint32(names._text.size());
    appendCaseFolded(names._text, zip);
    names._text.squeeze();
}

QString ContactReadIssue::description() const
{
    return line > 0 ? QStringLiteral("%1, line %2: %3").arg(file).arg(line).arg(message)
                    : QStringLiteral("%1: %2").arg(file, message);
}

// ---- ContactStore --------------------------------------------------------------------

namespace {

std::unique_ptr<ContactStore>& sharedSlot()
{
    static std::unique_ptr<ContactStore> store;
    return store;
}
bool sharedTried = false;
QString sharedError;

struct SharedRead
{
    std::unique_ptr<ContactStore> store;
    QString error;
};

std::future<SharedRead>& pendingSharedRead()
{
    static std::future<SharedRead> read;
    return read;
}

// Finished when the pending read ends, for what waits for it on the event loop.
QFuture<void>& sharedReadEnded()
{
    static QFuture<void> ended;
    return ended;
}

bool sharedReadInBackground = false;

// A file's bytes in an array of their own size (readAll() leaves up to as much again
// unused in a large file's array).
QByteArray contents(QFile& file)
{
    const qint64 size = file.size();
    if (size <= 0)
        return file.readAll();
    QByteArray bytes(size, Qt::Uninitialized);
    const qint64 read = file.read(bytes.data(), size);
    if (read < 0)
        return {};
    bytes.truncate(read);
    if (read == size)
        bytes += file.readAll(); // anything written since the size was taken
    return bytes;
}

struct FolderReader
{
    ContactStore& store;
    QString root;
    QList<ContactReadIssue>& issues;

    // The people of the .vcf files directly in the folder, one per UID. The top folder's
    // people belong to no group: they are only added to the store (`keepMembers` false),
    // not listed as well.
    QList<ContactPersonPtr> readFiles(const QString& folder, bool keepMembers = true)
    {
        QList<ContactPersonPtr> members;
        QSet<const ContactPerson*> seen;
        const QFileInfoList files =
            QDir(folder).entryInfoList(QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo& info : files) {
            if (!isContactFileName(info.fileName()))
                continue;
            const QString relative = QDir(root).relativeFilePath(info.filePath());
            QFile file(info.filePath());
            if (!file.open(QIODevice::ReadOnly)) {
                issues.append({relative, 0, file.errorString()});
                continue;
            }
            const QList<std::shared_ptr<ContactPerson>> people =
                VCardReader::read(contents(file), relative, &issues);
            for (const std::shared_ptr<ContactPerson>& person : people) {
                ContactPersonPtr known = store.personForUniqueId(person->uniqueId());
                if (!known) {
                    store.addPerson(person);
                    known = person;
                }
                if (keepMembers && !seen.contains(known.get())) {
                    seen.insert(known.get());
                    members.append(known);
                }
            }
        }
        return members;
    }

    ContactGroupPtr readGroup(const QString& folder)
    {
        auto group = std::make_shared<ContactGroup>();
        group->name = QFileInfo(folder).fileName();
        group->members = readFiles(folder);
        group->subgroups = readSubgroups(folder);
        return group;
    }

    // The groups of the folder's subfolders. A linked folder is followed, but each real
    // folder is read once: a link back up the tree or a second way to a folder read
    // already gives no group, so a loop of links ends.
    QList<ContactGroupPtr> readSubgroups(const QString& folder)
    {
        QList<ContactGroupPtr> groups;
        for (const QFileInfo& sub :
             QDir(folder).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            const QString real = sub.canonicalFilePath();
            if (real.isEmpty() || visited.contains(real))
                continue;
            visited.insert(real);
            groups.append(readGroup(sub.filePath()));
        }
        return groups;
    }

    QSet<QString> visited; // the real paths of the folders read
};

} // namespace

ContactStore::ContactStore() = default;

ContactStore::~ContactStore() = default;

std::unique_ptr<ContactStore>
ContactStore::readFolder(const QString& folder, QList<ContactReadIssue>* issues, QString* error)
{
    QDir dir(folder);
    if (!dir.exists() && !QDir().mkpath(folder)) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be made.").arg(folder);
        return nullptr;
    }
    if (!QFileInfo(folder).isReadable() || !QFileInfo(folder).isDir()) {
        if (error)
            *error = QStringLiteral("The folder %1 cannot be read.").arg(folder);
        return nullptr;
    }
    auto store = std::make_unique<ContactStore>();
    store->_folder = QDir(folder).absolutePath();
    FolderReader reader{*store, store->_folder, store->_issues, {}};
    reader.visited.insert(QFileInfo(store->_folder).canonicalFilePath());
    reader.readFiles(store->_folder, false);
    store->_groups = reader.readSubgroups(store->_folder);
    if (issues)
        *issues = store->_issues;
    return store;
}

QString ContactStore::defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
           + QStringLiteral("/Orvane/Veltrin/Contacts");
}

ContactStore* ContactStore::sharedStore()
{
    if (!sharedSlot() && !sharedTried) {
        sharedTried = true;
        QString error;
        if (std::future<SharedRead>& pending = pendingSharedRead(); pending.valid()) {
            SharedRead read = pending.get();
            sharedSlot() = std::move(read.store);
            error = read.error;
        } else {
            sharedSlot() = readFolder(defaultFolder(), nullptr, &error);
        }
        sharedError = error;
        if (sharedSlot())
            sharedSlot()->watch();
    }
    return sharedSlot().get();
}

void ContactStore::readSharedStoreInBackground(QObject* context, std::function<void()> whenRead)
{
    std::future<SharedRead>& pending = pendingSharedRead();
    if (!sharedSlot() && !sharedTried && !pending.valid()) {
        QPromise<void> ended;
        sharedReadEnded() = ended.future();
        ended.start();
        // The store is handed to the thread that asked, where it is watched and used.
        QThread* home = QThread::currentThread();
        pending = std::async(std::launch::async,
                             [folder = defaultFolder(), home, ended = std::move(ended)]() mutable {
                                 SharedRead read;
                                 read.store = readFolder(folder, nullptr, &read.error);
                                 if (read.store)
                                     read.store->moveToThread(home);
                                 ended.finish();
                                 return read;
                             });
    }
    if (!context || !whenRead)
        return;
    if (pending.valid())
        sharedReadEnded().then(context, std::move(whenRead));
    else
        QTimer::singleShot(0, context, std::move(whenRead));
}

bool ContactStore::sharedStoreIsMade()
{
    return sharedSlot() || sharedTried || pendingSharedRead().valid();
}

bool ContactStore::sharedStoreIsBeingRead()
{
    return pendingSharedRead().valid();
}

void ContactStore::setSharedStoreReadInBackground(bool background)
{
    sharedReadInBackground = background;
}

bool ContactStore::sharedStoreReadInBackground()
{
    return sharedReadInBackground;
}

void ContactStore::setSharedStore(std::unique_ptr<ContactStore> store)
{
    // A read started before may have missed what changed since: it is not used.
    if (std::future<SharedRead>& pending = pendingSharedRead(); pending.valid())
        pending.get();
    // An empty one gives the place back to the folder's store, read again on next use.
    sharedTried = store != nullptr;
    sharedError.clear();
    sharedSlot() = std::move(store);
}

QString ContactStore::sharedStoreError()
{
    return sharedError;
}

void ContactStore::reload()
{
    if (_folder.isEmpty())
        return;
    QString error;
    std::unique_ptr<ContactStore> fresh = readFolder(_folder, nullptr, &error);
    if (!fresh)
        return; // keep what was read before
    _people = std::move(fresh->_people);
    _searchBlocks = std::move(fresh->_searchBlocks);
    _byUid = std::move(fresh->_byUid);
    _groups = std::move(fresh->_groups);
    _issues = std::move(fresh->_issues);
    if (_watcher) {
        // New subfolders are watched too.
        QStringList folders{_folder};
        QDirIterator it(_folder, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            folders.append(it.next());
        const QStringList watched = _watcher->directories();
        for (const QString& f : std::as_const(folders))
            if (!watched.contains(f))
                _watcher->addPath(f);
    }
}

void ContactStore::watch()
{
    if (_watcher || _folder.isEmpty())
        return;
    _watcher = new QFileSystemWatcher(this);
    _changeTimer = new QTimer(this);
    _changeTimer->setSingleShot(true);
    _changeTimer->setInterval(300);
    connect(_changeTimer, &QTimer::timeout, this, &ContactStore::folderChanged);
    QStringList folders{_folder};
    QDirIterator it(_folder, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        folders.append(it.next());
    _watcher->addPaths(folders);
    QStringList files;
    QDirIterator fileIt(_folder, QDir::Files, QDirIterator::Subdirectories);
    while (fileIt.hasNext()) {
        const QString path = fileIt.next();
        if (isContactFileName(fileIt.fileName()))
            files.append(path);
    }
    if (!files.isEmpty())
        _watcher->addPaths(files);
    const auto changed = [this](const QString&) { _changeTimer->start(); };
    connect(_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
    connect(_watcher, &QFileSystemWatcher::fileChanged, this, changed);
}

void ContactStore::folderChanged()
{
    reload();
    NotificationCenter::defaultCenter().post(ContactStoreChangedExternallyNotification, this);
}

void ContactStore::addPerson(const std::shared_ptr<ContactPerson>& person)
{
    Q_ASSERT(person);
    person->finish();
    _people.append(person);
    const QByteArray text = person->searchText();
    constexpr qsizetype BlockSize = 1 << 20;
    if (_searchBlocks.isEmpty()
        || (!_searchBlocks.last().text.isEmpty()
            && _searchBlocks.last().text.size() + text.size() >= BlockSize)) {
        SearchBlock block;
        block.firstPerson = _people.size() - 1;
        // The first block grows with a small store; the others take their full size at once.
        if (!_searchBlocks.isEmpty())
            block.text.reserve(BlockSize);
        _searchBlocks.append(std::move(block));
    }
    SearchBlock& block = _searchBlocks.last();
    block.starts.append(block.text.size());
    block.text.append(text);
    block.text.append('\0');
    // The first person of an id keeps it (one look-up: a slot is never left empty).
    ContactPersonPtr& first = _byUid[person->uniqueId()];
    if (!first)
        first = person;
}

void ContactStore::addGroup(const ContactGroupPtr& group)
{
    _groups.append(group);
}

QList<ContactGroupPtr> ContactStore::groups() const
{
    QList<ContactGroupPtr> all;
    std::function<void(const QList<ContactGroupPtr>&)> walk =
        [&](const QList<ContactGroupPtr>& list) {
            for (const ContactGroupPtr& g : list) {
                all.append(g);
                walk(g->subgroups);
            }
        };
    walk(_groups);
    return all;
}

ContactPersonPtr ContactStore::personForUniqueId(const QString& uid) const
{
    return _byUid.value(uid);
}

QList<ContactPersonPtr> ContactStore::peopleMatching(const QString& word) const
{
    QList<ContactPersonPtr> found;
    if (word.isEmpty())
        return found;
    const QByteArray folded = word.toCaseFolded().toUtf8();
    for (const SearchBlock& block : _searchBlocks) {
        const char* const begin = block.text.constData();
        const char* const end = begin + block.text.size();
        qsizetype person = 0; // in the block
        for (const char* from = begin; from < end;) {
            const auto* hit = static_cast<const char*>(
                memmem(from, size_t(end - from), folded.constData(), size_t(folded.size())));
            if (!hit)
                break;
            // The person whose text holds it, and on from the next one's.
            const qsizetype offset = hit - begin;
            while (person + 1 < block.starts.size() && block.starts.at(person + 1) <= offset)
                ++person;
            found.append(_people.at(block.firstPerson + person));
            if (++person >= block.starts.size())
                break;
            from = begin + block.starts.at(person);
        }
    }
    return found;
}

QStringList ContactStore::allProperties()
{
    return {ContactFirstNameProperty,    ContactLastNameProperty,       ContactMiddleNameProperty,
            ContactTitleProperty,        ContactSuffixProperty,         ContactNicknameProperty,
            ContactOrganizationProperty, ContactDepartmentProperty,     ContactJobTitleProperty,
            ContactBirthdayProperty,     ContactHomePageProperty,       ContactNoteProperty,
            ContactUIDProperty,          ContactPhoneProperty,          ContactEmailProperty,
            ContactURLsProperty,         ContactInstantMessageProperty, ContactRelatedNamesProperty,
            ContactOtherDatesProperty,   ContactAddressProperty};
}

ContactPropertyType ContactStore::typeOfProperty(const QString& property)
{
    if (property == ContactAddressProperty)
        return ContactMultiDictionaryProperty;
    if (property == ContactOtherDatesProperty)
        return ContactMultiDateProperty;
    if (property == ContactPhoneProperty || property == ContactEmailProperty
        || property == ContactURLsProperty || property == ContactInstantMessageProperty
        || property == ContactRelatedNamesProperty)
        return ContactMultiStringProperty;
    if (property == ContactBirthdayProperty)
        return ContactDateProperty;
    if (property == QLatin1String("Photo"))
        return ContactDataProperty;
    return ContactStringProperty;
}

QString ContactStore::localizedPropertyOrLabel(const QString& name)
{
    return LocalizedString(name, QStringLiteral("Contact Properties"));
}

QString ContactStore::defaultCountryCode()
{
    return QLocale::territoryToCode(QLocale::system().territory()).toLower();
}

bool ContactStore::launchContactsFolder(QString* folder)
{
    const QString path = sharedSlot() && !sharedSlot()->folder().isEmpty() ? sharedSlot()->folder()
                                                                           : defaultFolder();
    if (folder)
        *folder = path;
    QDir().mkpath(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace platform
