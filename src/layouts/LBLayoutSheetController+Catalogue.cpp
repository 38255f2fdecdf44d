// The label-template catalogues: reading and parsing the label and disc catalogues, the
// maker and label-type filters, the conversion of a sheet to points and the expansion of a
// disc sheet into its physical labels.

#include "layouts/LBLayoutSheetController.h"

#include "document/DimensionInfo.h"
#include "platform/core/TextForms.h"
#include "platform/core/XmlParser.h"

#include <QCollator>
#include <QDebug>
#include <QFile>
#include <QResource>
#include <QSet>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using Info = DimensionInfo;

const QString xmlDataKey = QStringLiteral("XMLData");
const QString foldLinesKey = QStringLiteral("foldLines");
const QString labelTypeDescriptionKey = QStringLiteral("labelTypeDescription");
const QString labelsKey = QStringLiteral("labels");

QString& catalogueFolder()
{
    static QString folder = QStringLiteral(":/catalogue/");
    return folder;
}

// The element names of the catalogue and their keys, both spellings.
// Grouped by the name's length: a leaf's name is looked up among the few of its length.
// Each has its place in the table, by which a parse keeps the number of its key's text.
struct ElementKey
{
    QByteArray name;
    QString key;
    qsizetype place;
};
using ElementKeys = std::array<QList<ElementKey>, 18>;
constexpr qsizetype ElementKeyCount = 44;

const ElementKeys& elementKeys()
{
    static const ElementKeys keys = [] {
        const std::pair<const char*, QString> table[] = {
            {"Manufacturer", Info::paperManufacturer},
            {"paperManufacturer", Info::paperManufacturer},
            {"Category", labelTypeDescriptionKey},
            {"category", labelTypeDescriptionKey},
            {"ID", Info::paperCode},
            {"paperCode", Info::paperCode},
            {"PageSize", Info::paperSize},
            {"paperSize", Info::paperSize},
            {"PageWidth", Info::pageWidth},
            {"pageWidth", Info::pageWidth},
            {"PageHeight", Info::pageHeight},
            {"pageHeight", Info::pageHeight},
            {"LabelType", labelTypeDescriptionKey},
            {"labelType", labelTypeDescriptionKey},
            {"Width", Info::labelWidth},
            {"labelWidth", Info::labelWidth},
            {"Height", Info::labelHeight},
            {"labelHeight", Info::labelHeight},
            {"Rows", Info::numRows},
            {"numRows", Info::numRows},
            {"Columns", Info::numColumns},
            {"numColumns", Info::numColumns},
            {"TopMargin", Info::topMargin},
            {"topMargin", Info::topMargin},
            {"LeftMargin", Info::leftMargin},
            {"leftMargin", Info::leftMargin},
            {"HSpace", Info::hLabelSpace},
            {"hLabelSpace", Info::hLabelSpace},
            {"VSpace", Info::vLabelSpace},
            {"vLabelSpace", Info::vLabelSpace},
            {"CornerRadius", Info::cornerRadius},
            {"cornerRadius", Info::cornerRadius},
            {"HoleDiameter", Info::innerDiameter},
            {"innerDiameter", Info::innerDiameter},
            {"Diameter", Info::outerDiameter},
            {"outerDiameter", Info::outerDiameter},
            {"X1", QStringLiteral("x1")},
            {"x1", QStringLiteral("x1")},
            {"X2", QStringLiteral("x2")},
            {"x2", QStringLiteral("x2")},
            {"Y1", QStringLiteral("y1")},
            {"y1", QStringLiteral("y1")},
            {"Y2", QStringLiteral("y2")},
            {"y2", QStringLiteral("y2")},
        };
        static_assert(sizeof table / sizeof table[0] == ElementKeyCount);
        ElementKeys keys;
        qsizetype place = 0;
        for (const auto& [name, key] : table)
            keys[qstrlen(name)].append({QByteArray(name), key, place++});
        return keys;
    }();
    return keys;
}

// The table's entry of a name; nullptr for any other name.
const ElementKey* tableKey(QByteArrayView name)
{
    if (name.size() >= qsizetype(elementKeys().size()))
        return nullptr;
    // (The first letter tells most names of a length apart without a call.)
    for (const ElementKey& entry : elementKeys()[name.size()]) {
        if (entry.name.front() == name.front()
            && std::memcmp(entry.name.constData(), name.data(), size_t(name.size())) == 0)
            return &entry;
    }
    return nullptr;
}

QString keyForElement(QByteArrayView name)
{
    const ElementKey* entry = tableKey(name);
    return entry ? entry->key : QString::fromUtf8(name);
}

class TextTable;
using Field = LBLayoutSheetController::Card::Field;
using Store = LBLayoutSheetController::Card::Store;

// One value of a record as the checks read it: a text, a list of texts (its length, then
// its texts' numbers), or any other value; none when the record has none. A parse's text or
// list comes with the parse's table of texts, and a text with its number there.
struct Value
{
    const QString* text = nullptr;
    const quint32* list = nullptr;
    const QVariant* other = nullptr;
    const TextTable* table = nullptr;
    quint32 number = 0;

    explicit operator bool() const { return text || list || other; }
    QVariant variant() const;
};

Value find(const QVariantMap& record, const QString& key)
{
    const auto value = record.constFind(key);
    if (value == record.cend())
        return {};
    Value found;
    found.other = &*value;
    return found;
}

using EntryList = QList<std::pair<QString, QVariant>>;

// Keys are mostly the table's own texts: the same text is the same key at once.
bool sameKey(const QString& a, const QString& b)
{
    return (a.constData() == b.constData() && a.size() == b.size()) || a == b;
}

Value find(const EntryList& entries, const QString& key)
{
    for (const auto& entry : entries) {
        if (sameKey(entry.first, key)) {
            Value found;
            found.other = &entry.second;
            return found;
        }
    }
    return {};
}

// The text of a value as DimensionInfo::text() gives it: a string or a number as text, else
// an empty text.
QString textOf(const Value& value)
{
    if (value.text)
        return *value.text;
    if (value.other
        && (value.other->typeId() == QMetaType::QString
            || platform::isNumberType(value.other->typeId())))
        return value.other->toString();
    return QStringLiteral("");
}

template <typename Record>
QString textOf(const Record& record, const QString& key)
{
    return textOf(find(record, key));
}

// As platform::floatValue() and integerValue() read the value, and as
// convertStringToPoints() reads its text (a parse reads each of its texts once).
double floatOf(const Value& value);
qint64 integerOf(const Value& value);
double pointsOf(const Value& value, double multiplier);

// Why a sheet or disc label cannot be used; empty when it can.
template <typename Record>
QString faultOfLabel(const Record& label)
{
    for (const QString& key : {Info::labelWidth, Info::labelHeight}) {
        const Value value = find(label, key);
        if (!value)
            return QStringLiteral("no %1").arg(key);
        if (!(floatOf(value) > 0))
            return QStringLiteral("%1 is not above 0").arg(key);
    }
    for (const QString& key : {Info::numRows, Info::numColumns}) {
        const Value value = find(label, key);
        if (!value)
            continue;
        const qint64 count = integerOf(value);
        if (count < 1)
            return QStringLiteral("%1 is below 1").arg(key);
        if (count > Info::MaxRowsOrColumns)
            return QStringLiteral("%1 is above %2").arg(key).arg(Info::MaxRowsOrColumns);
    }
    return QString();
}

// Points in a unit of the sheet's figures that name no unit: inches on the US papers,
// else millimetres.
template <typename Record>
double pointsPerUnitOfSheet(const Record& sheet)
{
    const QString paper = textOf(sheet, Info::paperSize);
    return paper == QLatin1String("Letter") || paper == QLatin1String("Letter1")
                   || paper == QLatin1String("Letter2") || paper == QLatin1String("Tabloid")
               ? LBLayoutSheetController::PointsPerInch
               : LBLayoutSheetController::PointsPerMillimeter;
}

// Why the sheet's page is past the largest a sheet may be; empty when it is not.
template <typename Record>
QString faultOfPage(const Record& sheet)
{
    const double multiplier = pointsPerUnitOfSheet(sheet);
    for (const QString& key : {Info::pageWidth, Info::pageHeight}) {
        const double points = pointsOf(find(sheet, key), multiplier);
        if (!(std::abs(points) <= Info::MaxPageSide))
            return QStringLiteral("%1 is not within %2 points").arg(key).arg(Info::MaxPageSide);
    }
    return QString();
}

const QStringList& discLabelNames()
{
    static const QStringList names = {
        QStringLiteral("CD/DVD Label"),
        QStringLiteral("CD Core"),
        QStringLiteral("CD Mini"),
        QStringLiteral("Pappa Vinyl CD"),
        QStringLiteral("Pappa Super Coverage"),
        QStringLiteral("Label"),
        QStringLiteral("CD Cover"),
        QStringLiteral("DVD Cover"),
        QStringLiteral("DVD Slim Cover"),
        QStringLiteral("CD Spine"),
        QStringLiteral("CD Tray Insert"),
        QStringLiteral("DVD Insert"),
        QStringLiteral("CD Booklet"),
        QStringLiteral("DVD Booklet"),
        QStringLiteral("VHS Wrap"),
        QStringLiteral("VHS Face Label"),
        QStringLiteral("VHS Spine Label"),
        QStringLiteral("Super Jewel Box CD Booklet"),
        QStringLiteral("Super Jewel Box DVD Booklet"),
        QStringLiteral("Pappa Partial Label Short"),
        QStringLiteral("Pappa Partial Label Medium"),
        QStringLiteral("Pappa Partial Label Long"),
        QStringLiteral("Pappa Full Label Short"),
        QStringLiteral("Pappa Full Label Long"),
        QStringLiteral("Blu-Ray Cover"),
        QStringLiteral("CD Slim Case Insert"),
        QStringLiteral("Super Jewel Box CD Tray Insert"),
        QStringLiteral("Super Jewel Box DVD Tray Insert"),
        QStringLiteral("Super Jewel Box CD Tray Insert Outside"),
        QStringLiteral("Super Jewel Box DVD Tray Insert Outside"),
        QStringLiteral("LightScribe Full Label"),
        QStringLiteral("LightScribe Content Label"),
        QStringLiteral("LightScribe Title Label"),
        QStringLiteral("Labelflash Full"),
        QStringLiteral("DiscT@2 Label"),
        QStringLiteral("CD Business Card"),
    };
    return names;
}

// The texts of a parse's leaves and keys, each made once and shared: catalogue texts recur
// from sheet to sheet (makers, papers, sizes) and the keys are few. A text is its number in
// the list the parse's cards share. An open-addressed table of their bytes, kept in one
// buffer: a general hash of byte arrays cost a node and a byte array a text, and most of a
// leaf's time. The numbers the checks read in a text are read once too.
class TextTable
{
public:
    TextTable() : _store(std::make_shared<Store>()), _texts(&_store->texts)
    {
        _slots.resize(InitialSlots);
        _texts->reserve(InitialSlots / 2);
        _store->fields.reserve(InitialSlots * 2);
        _spans.reserve(size_t(InitialSlots / 2));
        // The keys the parse reads back, found by their text without a look-up.
        for (const QString* key :
             {&Info::paperManufacturer, &labelTypeDescriptionKey, &Info::paperCode,
              &Info::paperSize, &Info::pageWidth, &Info::pageHeight, &Info::labelWidth,
              &Info::labelHeight, &Info::numRows, &Info::numColumns, &Info::models, &labelsKey,
              &foldLinesKey, &Info::category})
            _keys.append({*key, index(key->toUtf8())});
    }

    // The number of the text of those bytes, made the first time.
    quint32 index(QByteArrayView bytes)
    {
        const quint32 hash = hashOf(bytes);
        const quint32 mask = quint32(_slots.size()) - 1;
        for (quint32 i = hash & mask;; i = (i + 1) & mask) {
            Slot& slot = _slots[i];
            if (!slot.used()) {
                if ((_count + 1) * 4 > quint32(_slots.size()) * 3) {
                    grow();
                    return insert(hash, bytes);
                }
                return fill(slot, hash, bytes);
            }
            if (holds(slot, hash, bytes))
                return slot.index();
        }
    }

    // Valid until the next text is made.
    const QString& text(quint32 index) const { return _texts->at(index); }
    // The store of the parse's texts, which its cards share with their entries.
    const std::shared_ptr<Store>& store() const { return _store; }

    // The number of a key's text; none when no record of the parse has it.
    std::optional<quint32> keyIndex(const QString& key) const
    {
        // The keys are asked for by the same texts: the same address is the same key.
        for (const auto& [known, index] : _keys) {
            if (known.constData() == key.constData() && known.size() == key.size())
                return index;
        }
        for (const auto& [known, index] : _keys) {
            if (known == key)
                return index;
        }
        const QByteArray bytes = key.toUtf8();
        const quint32 hash = hashOf(bytes);
        const quint32 mask = quint32(_slots.size()) - 1;
        for (quint32 i = hash & mask; _slots[i].used(); i = (i + 1) & mask) {
            if (holds(_slots[i], hash, bytes))
                return _slots[i].index();
        }
        return std::nullopt;
    }

    double floatOf(quint32 index) const
    {
        Numbers& numbers = numbersOf(index);
        if (!(numbers.read & ReadFloat)) {
            numbers.floatValue = platform::floatValue(text(index));
            numbers.read |= ReadFloat;
        }
        return numbers.floatValue;
    }
    qint64 integerOf(quint32 index) const
    {
        Numbers& numbers = numbersOf(index);
        if (!(numbers.read & ReadInteger)) {
            numbers.integer = platform::integerValue(text(index));
            numbers.read |= ReadInteger;
        }
        return numbers.integer;
    }
    // The text case-folded; valid until the next text is read.
    const QString& foldedOf(quint32 index) const
    {
        Numbers& numbers = numbersOf(index);
        if (!(numbers.read & ReadFolded)) {
            numbers.folded = text(index).toCaseFolded();
            numbers.read |= ReadFolded;
        }
        return numbers.folded;
    }
    // convertStringToPoints(text(index), multiplier).
    double pointsOf(quint32 index, double multiplier) const
    {
        Numbers& numbers = numbersOf(index);
        if (!(numbers.read & ReadPoints)) {
            // Not a number unless the text names its unit (or is not a number itself,
            // which no multiplier changes).
            numbers.ownPoints = LBLayoutSheetController::convertStringToPoints(
                text(index), std::numeric_limits<double>::quiet_NaN());
            numbers.read |= ReadPoints;
        }
        return std::isnan(numbers.ownPoints) ? floatOf(index) * multiplier : numbers.ownPoints;
    }

private:
    // Room for a catalogue's few thousand texts: the table stays in the cache.
    static constexpr qsizetype InitialSlots = 4096;

    // Small, so that a look-up mostly stays in the cache: where the text's bytes are is
    // kept apart, by its number.
    struct Slot
    {
        quint32 hash = 0;
        quint32 place = 0; // the text's number + 1; 0 for a free slot

        bool used() const { return place != 0; }
        quint32 index() const { return place - 1; }
    };
    struct Span
    {
        quint32 offset;
        quint32 size;
    };

    enum : quint8 { ReadFloat = 1, ReadInteger = 2, ReadPoints = 4, ReadFolded = 8 };
    struct Numbers
    {
        double floatValue = 0;
        double ownPoints = 0;
        qint64 integer = 0;
        QString folded;
        quint8 read = 0;
    };

    Numbers& numbersOf(quint32 index) const
    {
        if (index >= _numbers.size())
            _numbers.resize(size_t(_texts->size()));
        return _numbers[index];
    }

    // Eight bytes a step, mixed so that the low bits the table uses depend on them all.
    static quint32 hashOf(QByteArrayView bytes)
    {
        constexpr quint64 Odd = 0x9E3779B97F4A7C15ull;
        quint64 hash = Odd ^ quint64(bytes.size());
        const char* at = bytes.data();
        qsizetype left = bytes.size();
        for (; left >= 8; at += 8, left -= 8) {
            quint64 word;
            std::memcpy(&word, at, 8);
            hash = (hash ^ word) * Odd;
            hash ^= hash >> 32;
        }
        if (left > 0) {
            // The last eight bytes, when there are as many; else the few one by one.
            quint64 word = 0;
            if (bytes.size() >= 8) {
                std::memcpy(&word, at + left - 8, 8);
            } else {
                for (qsizetype i = 0; i < left; ++i)
                    word = (word << 8) | quint8(at[i]);
            }
            hash = (hash ^ word) * Odd;
        }
        hash ^= hash >> 29;
        hash *= 0xBF58476D1CE4E5B9ull;
        hash ^= hash >> 32;
        return quint32(hash);
    }

    bool holds(const Slot& slot, quint32 hash, QByteArrayView bytes) const
    {
        if (slot.hash != hash)
            return false;
        const Span span = _spans[slot.index()];
        return span.size == quint32(bytes.size())
               && std::memcmp(_bytes.constData() + span.offset, bytes.data(), size_t(bytes.size()))
                      == 0;
    }

    quint32 insert(quint32 hash, QByteArrayView bytes)
    {
        const quint32 mask = quint32(_slots.size()) - 1;
        for (quint32 i = hash & mask;; i = (i + 1) & mask) {
            if (!_slots[i].used())
                return fill(_slots[i], hash, bytes);
        }
    }

    quint32 fill(Slot& slot, quint32 hash, QByteArrayView bytes)
    {
        slot.hash = hash;
        slot.place = quint32(_texts->size()) + 1;
        _spans.push_back({quint32(_bytes.size()), quint32(bytes.size())});
        _bytes.append(bytes.data(), bytes.size());
        _texts->append(QString::fromUtf8(bytes));
        ++_count;
        return slot.index();
    }

    void grow()
    {
        std::vector<Slot> old(_slots.size() * 2);
        old.swap(_slots);
        const quint32 mask = quint32(_slots.size()) - 1;
        for (const Slot& slot : old) {
            if (!slot.used())
                continue;
            quint32 i = slot.hash & mask;
            while (_slots[i].used())
                i = (i + 1) & mask;
            _slots[i] = slot;
        }
    }

    // Appended to while the parse goes on; only read once it is over.
    std::shared_ptr<Store> _store;
    QStringList* _texts;
    std::vector<Slot> _slots;
    std::vector<Span> _spans;
    QByteArray _bytes;
    quint32 _count = 0;
    QList<std::pair<QString, quint32>> _keys;
    mutable std::vector<Numbers> _numbers;
};

QVariant Value::variant() const
{
    if (text)
        return *text;
    if (list) {
        QVariantList texts;
        texts.reserve(list[0]);
        for (quint32 i = 1; i <= list[0]; ++i)
            texts.append(table->text(list[i]));
        return texts;
    }
    return other ? *other : QVariant();
}

double floatOf(const Value& value)
{
    if (value.text)
        return value.table ? value.table->floatOf(value.number) : platform::floatValue(*value.text);
    return value.other ? platform::floatValue(*value.other) : 0.0;
}

qint64 integerOf(const Value& value)
{
    if (value.text)
        return value.table ? value.table->integerOf(value.number)
                           : platform::integerValue(*value.text);
    return value.other ? platform::integerValue(*value.other) : 0;
}

double pointsOf(const Value& value, double multiplier)
{
    if (value.text && value.table)
        return value.table->pointsOf(value.number, multiplier);
    return LBLayoutSheetController::convertStringToPoints(textOf(value), multiplier);
}

// The entries of an open sheet or label as they come, one a key (a later one of a key
// replaces it): a label sheet becomes a card of them, a disc label a record, and a label
// sheet's label is merged into its sheet. Keys and texts are the parse's numbers. One list
// serves every sheet (and one every label): emptied, it keeps its room.
class Entries
{
public:
    explicit Entries(const TextTable& texts) : _texts(texts) {}

    void insert(quint32 key, quint32 text) { set(key, Field::Text, text); }
    void insert(quint32 key, QVariant value)
    {
        // A value replacing one of the same key takes its place rather than leaving it
        // behind unused.
        if (QVariant* stored = otherValue(key)) {
            *stored = std::move(value);
            return;
        }
        _values.append(std::move(value));
        set(key, Field::Other, quint32(_values.size() - 1));
    }
    // The value of a key that holds neither a text nor a list of texts; null for none.
    QVariant* otherValue(quint32 key)
    {
        if (key >= _positions.size() || _positions[key] < 0)
            return nullptr;
        const Field& field = _fields.at(_positions[key]);
        return field.kind == Field::Other ? &_values[field.value] : nullptr;
    }
    // A list of texts, its length first.
    void insertTexts(quint32 key, const quint32* list)
    {
        const quint32 start = quint32(_textLists.size());
        for (quint32 i = 0; i <= list[0]; ++i)
            _textLists.append(list[i]);
        set(key, Field::TextList, start);
    }
    Value find(quint32 key) const
    {
        if (key < _positions.size() && _positions[key] >= 0)
            return valueOf(_fields.at(_positions[key]));
        return {};
    }
    Value find(const QString& key) const
    {
        const std::optional<quint32> index = _texts.keyIndex(key);
        return index ? find(*index) : Value();
    }
    bool isEmpty() const { return _fields.isEmpty(); }
    void clear()
    {
        // (clear() leaves a list its room, and a list without any as it is: resized to
        // nothing, one would be given room.)
        forgetPositions();
        _fields.clear();
        _textLists.clear();
        _values.clear();
    }
    // Moves the entries into the other list (a later one of a key replacing it there);
    // this one is left empty.
    void moveInto(Entries& other)
    {
        for (const Field& field : std::as_const(_fields)) {
            if (field.kind == Field::Text)
                other.insert(field.key, field.value);
            else if (field.kind == Field::TextList)
                other.insertTexts(field.key, _textLists.constData() + field.value);
            else
                other.insert(field.key, std::move(_values[field.value]));
        }
        clear();
    }
    QVariantMap toMap() const
    {
        QVariantMap record;
        for (const Field& field : _fields)
            record.insert(_texts.text(field.key), valueOf(field).variant());
        return record;
    }
    // Gives the entries to the card, in the store its parse's cards share; this one is
    // left empty.
    void moveTo(LBLayoutSheetController::Card& card)
    {
        Store& store = *_texts.store();
        card.store = _texts.store();
        card.firstField = store.fields.size();
        card.fieldCount = _fields.size();
        for (Field field : std::as_const(_fields)) {
            if (field.kind == Field::TextList) {
                const quint32 start = quint32(store.textLists.size());
                const quint32* list = _textLists.constData() + field.value;
                for (quint32 i = 0; i <= list[0]; ++i)
                    store.textLists.append(list[i]);
                field.value = start;
            } else if (field.kind == Field::Other) {
                const quint32 place = quint32(store.values.size());
                store.values.append(std::move(_values[field.value]));
                field.value = place;
            }
            store.fields.append(field);
        }
        clear();
    }

private:
    void set(quint32 key, Field::Kind kind, quint32 value)
    {
        if (key >= _positions.size())
            _positions.resize(size_t(key) + 1, -1);
        if (const qint32 at = _positions[key]; at >= 0) {
            _fields[at] = {kind, key, value};
            return;
        }
        _positions[key] = qint32(_fields.size());
        _fields.append({kind, key, value});
    }
    void forgetPositions()
    {
        for (const Field& field : std::as_const(_fields))
            _positions[field.key] = -1;
    }
    Value valueOf(const Field& field) const
    {
        Value value;
        value.table = &_texts;
        if (field.kind == Field::Text) {
            value.text = &_texts.text(field.value);
            value.number = field.value;
        } else if (field.kind == Field::TextList) {
            value.list = _textLists.constData() + field.value;
        } else {
            value.other = &_values.at(field.value);
        }
        return value;
    }

    const TextTable& _texts;
    QList<Field> _fields;
    // Where each key is in the fields, by its number; -1 for none.
    std::vector<qint32> _positions;
    QList<quint32> _textLists;
    QVariantList _values;
};

Value find(const Entries& record, const QString& key)
{
    return record.find(key);
}

// Reads the maker, the label types, the code and the models of a card's record.
template <typename Record>
void fillCard(LBLayoutSheetController::Card& card, const Record& record)
{
    card.maker = textOf(record, Info::paperManufacturer);
    card.labelType = textOf(record, labelTypeDescriptionKey);
    if (const Value labels = find(record, labelsKey)) {
        for (const QVariant& label : labels.variant().toList()) {
            const QString type = Info::text(label.toMap(), labelTypeDescriptionKey);
            if (!type.isEmpty())
                card.labelTypes.append(type);
        }
    }
    const Value code = find(record, Info::paperCode);
    card.foldedCode =
        code.text && code.table ? code.table->foldedOf(code.number) : textOf(code).toCaseFolded();
    if (const Value models = find(record, Info::models)) {
        // The parse keeps the models as a list of texts: joined without a list of strings
        // made of it first.
        if (models.list) {
            // (Case folding goes a character at a time: the folded texts joined are the
            // joined texts folded.)
            qsizetype size = qsizetype(models.list[0]) - 1;
            for (quint32 i = 1; i <= models.list[0]; ++i)
                size += models.table->foldedOf(models.list[i]).size();
            QString joined;
            joined.reserve(size);
            for (quint32 i = 1; i <= models.list[0]; ++i) {
                if (i > 1)
                    joined.append(QLatin1Char('\n'));
                joined.append(models.table->foldedOf(models.list[i]));
            }
            card.foldedModels = std::move(joined);
        } else if (models.other && models.other->typeId() == QMetaType::QVariantList) {
            QString joined;
            bool first = true;
            for (const QVariant& model :
                 *static_cast<const QVariantList*>(models.other->constData())) {
                if (!first)
                    joined.append(QLatin1Char('\n'));
                first = false;
                joined.append(model.toString());
            }
            card.foldedModels = std::move(joined).toCaseFolded();
        } else {
            card.foldedModels =
                models.variant().toStringList().join(QLatin1Char('\n')).toCaseFolded();
        }
    }
}

// The elements the parse treats apart from the leaves (every other element is one).
enum class Element {
    Leaf,
    PaperFormatList,
    PaperFormat,
    Models,
    Model,
    Description,
    Labels,
    LowerLabels, // "labels"
    Label,
    FoldLines,
    FoldLine,
};

// Told apart by the length first: most elements are leaves, of other lengths.
// Whether a name of the text's length is the text: compared in a few words, not by a call.
template <size_t Size>
bool spells(QByteArrayView name, const char (&text)[Size])
{
    return std::memcmp(name.data(), text, Size - 1) == 0;
}

Element elementOf(QByteArrayView name)
{
    const auto is = [&name](const auto& text) { return spells(name, text); };
    switch (name.size()) {
    case 5: return is("Model") ? Element::Model : is("Label") ? Element::Label : Element::Leaf;
    case 6:
        return is("Models")   ? Element::Models
               : is("Labels") ? Element::Labels
               : is("labels") ? Element::LowerLabels
                              : Element::Leaf;
    case 8: return is("FoldLine") ? Element::FoldLine : Element::Leaf;
    case 9: return is("FoldLines") ? Element::FoldLines : Element::Leaf;
    case 11:
        return is("PaperFormat")   ? Element::PaperFormat
               : is("Description") ? Element::Description
                                   : Element::Leaf;
    case 15: return is("PaperFormatList") ? Element::PaperFormatList : Element::Leaf;
    default: return Element::Leaf;
    }
}

} // namespace

// The parse of one catalogue: the sheet, label and fold-line records being built and the
// lists open, as the elements come.
class LBLayoutSheetController::CatalogueHandler : public platform::XmlParser
{
public:
    CatalogueHandler(LBLayoutSheetController& controller, qint64 projectType)
        : _controller(controller),
          _disc(projectType == DiscLabelsProject),
          _sheet(_texts),
          _label(_texts),
          _categoryKey(*_texts.keyIndex(Info::category)),
          _modelsKey(*_texts.keyIndex(Info::models)),
          _labelsKey(*_texts.keyIndex(labelsKey)),
          _foldLinesKey(*_texts.keyIndex(foldLinesKey)),
          _documentType(_texts.index(controller._parsingDocumentTypeStr.toUtf8()))
    {
        _tableKeys.fill(-1);
    }

protected:
    void startElement(QByteArrayView name, const platform::XmlAttributes&) override
    {
        const Element element = elementOf(name);
        // Another document is no catalogue: the lists are left as they are.
        if (!_started && element != Element::PaperFormatList)
            return abort(QStringLiteral("the document is not a catalogue (<%1>)")
                             .arg(QString::fromUtf8(name)));
        _started = true;
        if (element == Element::PaperFormatList) {
            _controller._paperFormatsArray.clear();
            _controller._paperFormatsArray.reserve(2000);
            _controller._manufacturersArray = {layoutSheetString(QStringLiteral("All")),
                                               QStringLiteral("-")};
            _makers.clear();
            _lastMaker.clear();
        } else if (element == Element::PaperFormat) {
            _sheet.clear();
            _sheetOpen = true;
        } else if (element == Element::Models) {
            _models.resize(1);
            _modelsOpen = true;
        } else if (element == Element::Labels) {
            _labelsArray = QVariantList();
        } else if (element == Element::FoldLines) {
            _foldLinesArray = QVariantList();
        } else if (element == Element::Model) {
        } else if (element == Element::Label) {
            _label.clear();
            _labelOpen = true;
            if (_disc && !_labelsArray)
                _labelsArray = QVariantList();
        } else if (element == Element::FoldLine) {
            _foldLineDict = QVariantMap();
        } else {
            // One buffer serves every leaf: emptied, it keeps its room.
            _fieldStr.clear();
            _fieldOpen = true;
        }
    }

    void characters(QByteArrayView text) override
    {
        if (_fieldOpen)
            _fieldStr.append(text.data(), size_t(text.size()));
    }

    void endElement(QByteArrayView name) override
    {
        const Element element = elementOf(name);
        if (element == Element::PaperFormatList) {
            _controller._labelTypePopup = {
                {layoutSheetString(QStringLiteral("All")), QStringLiteral("-")}, 0};
        } else if (element == Element::PaperFormat) {
            if (_sheetOpen)
                endSheet(_sheet);
            _sheetOpen = false;
        } else if (element == Element::Models) {
            if (_sheetOpen && _modelsOpen && _models.size() > 1) {
                _models[0] = quint32(_models.size() - 1);
                _sheet.insertTexts(_modelsKey, _models.constData());
            }
            _modelsOpen = false;
        } else if (element == Element::Labels || element == Element::LowerLabels) {
            if (_disc) {
                if (_sheetOpen && _labelsArray && !_labelsArray->isEmpty())
                    _sheet.insert(_labelsKey, QVariant(std::move(*_labelsArray)));
                _labelsArray.reset();
            }
        } else if (element == Element::FoldLines) {
            if (_labelOpen && _foldLinesArray && !_foldLinesArray->isEmpty())
                _label.insert(_foldLinesKey, QVariant(std::move(*_foldLinesArray)));
            _foldLinesArray.reset();
        } else if (element == Element::Description) {
            if (_fieldOpen && _modelsOpen) {
                // Models recur too: a dozen sheets may name one printer.
                const quint32 model = fieldText();
                if (_texts.text(model).size() >= 2)
                    _models.append(model);
            }
        } else if (element == Element::Label) {
            if (_labelOpen && !_label.isEmpty())
                endLabel(_label);
            _labelOpen = false;
        } else if (element == Element::FoldLine) {
            if (_foldLineDict && !_foldLineDict->isEmpty()) {
                if (_foldLinesArray) {
                    _foldLinesArray->append(*_foldLineDict);
                } else if (_labelOpen) {
                    // A fold line outside a list joins the label's fold lines. The list
                    // is taken out of the label while it grows: left there, it would be
                    // copied for every line.
                    QVariantList lines;
                    if (QVariant* stored = _label.otherValue(_foldLinesKey)) {
                        lines = stored->toList();
                        *stored = QVariant();
                    }
                    lines.append(*_foldLineDict);
                    _label.insert(_foldLinesKey, QVariant(std::move(lines)));
                }
            }
            _foldLineDict.reset();
        } else if (_fieldOpen) {
            if (_foldLineDict) {
                // (Both numbers first: a new text may move the texts read before.)
                const quint32 keyText = key(name);
                const quint32 valueText = fieldText();
                _foldLineDict->insert(_texts.text(keyText), _texts.text(valueText));
            } else if (_labelOpen) {
                _label.insert(key(name), fieldText());
            } else if (_sheetOpen) {
                _sheet.insert(key(name), fieldText());
            }
        }
        _fieldOpen = false;
    }

private:
    // The number of the key of an element's text.
    quint32 key(QByteArrayView name)
    {
        if (const ElementKey* known = tableKey(name)) {
            qint64& index = _tableKeys[size_t(known->place)];
            if (index < 0)
                index = _texts.index(known->key.toUtf8());
            return quint32(index);
        }
        return _texts.index(name);
    }

    void endLabel(Entries& label)
    {
        if (_foldLinesArray) {
            if (!_foldLinesArray->isEmpty())
                label.insert(_foldLinesKey, QVariant(std::move(*_foldLinesArray)));
            _foldLinesArray.reset();
        }
        if (_disc) {
            if (!_labelsArray)
                _labelsArray = QVariantList();
            _labelsArray->append(label.toMap());
        } else if (_sheetOpen) {
            label.moveInto(_sheet);
        }
    }

    void endSheet(Entries& sheet)
    {
        sheet.insert(_categoryKey, _documentType);
        if (textOf(sheet, Info::paperCode).isEmpty())
            return _controller.logBadSheet(sheet.toMap(), QStringLiteral("no paperCode"));
        if (const QString fault = faultOfPage(sheet); !fault.isEmpty())
            return _controller.logBadSheet(sheet.toMap(), fault);
        if (_disc) {
            QVariantMap record = sheet.toMap();
            QVariantList labels;
            for (const QVariant& entry : record.value(labelsKey).toList()) {
                const QString fault = faultOfLabel(entry.toMap());
                if (fault.isEmpty())
                    labels.append(entry);
                else
                    _controller.logBadSheet(record, QStringLiteral("a label dropped: ") + fault);
            }
            if (labels.isEmpty())
                return _controller.logBadSheet(record, QStringLiteral("no usable labels"));
            record.insert(labelsKey, labels);
            _controller._paperFormatsArray.append(cardWithRecord(record));
        } else if (const QString fault = faultOfLabel(sheet); !fault.isEmpty()) {
            return _controller.logBadSheet(sheet.toMap(), fault);
        } else {
            Card card;
            fillCard(card, sheet);
            sheet.moveTo(card);
            _controller._paperFormatsArray.append(std::move(card));
        }
        // The sheets of a maker come together: most are the last one's.
        const QString& maker = _controller._paperFormatsArray.constLast().maker;
        if (sameKey(maker, _lastMaker))
            return;
        _lastMaker = maker;
        if (!_makers.contains(maker)) {
            _makers.insert(maker);
            _controller._manufacturersArray.append(maker);
        }
    }

    // The number of the text of the leaf just closed. Catalogue texts recur from sheet to
    // sheet (makers, papers, sizes): each is made once a parse and shared.
    quint32 fieldText()
    {
        return _texts.index(QByteArrayView(_fieldStr.data(), qsizetype(_fieldStr.size())));
    }

    LBLayoutSheetController& _controller;
    const bool _disc;
    // The texts of the leaves and the keys, made once a parse; before the entries that
    // read them.
    TextTable _texts;
    QSet<QString> _makers;
    QString _lastMaker;
    Entries _sheet;
    bool _sheetOpen = false;
    // The models of the list open, after a place for their count; one list serves every
    // sheet.
    QList<quint32> _models;
    bool _modelsOpen = false;
    std::optional<QVariantList> _labelsArray;
    std::optional<QVariantList> _foldLinesArray;
    Entries _label;
    bool _labelOpen = false;
    std::optional<QVariantMap> _foldLineDict;
    bool _started = false;
    // (A standard string: its appends and emptying are made in place.)
    std::string _fieldStr;
    bool _fieldOpen = false;
    // The numbers of the keys the parse adds itself, and of its category text.
    const quint32 _categoryKey;
    const quint32 _modelsKey;
    const quint32 _labelsKey;
    const quint32 _foldLinesKey;
    const quint32 _documentType;
    // The numbers of the table's keys, by their place; -1 until one is read.
    std::array<qint64, ElementKeyCount> _tableKeys;
};

LBLayoutSheetController::Card LBLayoutSheetController::cardWithRecord(const QVariantMap& record)
{
    Card card;
    card.entries.reserve(record.size());
    for (auto it = record.cbegin(); it != record.cend(); ++it)
        card.entries.append({it.key(), it.value()});
    fillCard(card, card.entries);
    return card;
}

QVariantMap LBLayoutSheetController::Card::record() const
{
    QVariantMap record;
    for (const auto& [key, value] : entries)
        record.insert(key, value);
    if (!store)
        return record;
    const QStringList& texts = store->texts;
    for (qsizetype i = firstField; i < firstField + fieldCount; ++i) {
        const Field& field = store->fields.at(i);
        if (field.kind == Field::Text) {
            record.insert(texts.at(field.key), texts.at(field.value));
        } else if (field.kind == Field::TextList) {
            QVariantList list;
            const quint32* numbers = store->textLists.constData() + field.value;
            for (quint32 n = 1; n <= numbers[0]; ++n)
                list.append(texts.at(numbers[n]));
            record.insert(texts.at(field.key), list);
        } else {
            record.insert(texts.at(field.key), store->values.at(field.value));
        }
    }
    return record;
}

void LBLayoutSheetController::setCatalogueFolder(const QString& folder)
{
    catalogueFolder() = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

QVariantMap LBLayoutSheetController::catalogueResource(const QString& name)
{
    const QString path = catalogueFolder() + name + QStringLiteral(".xml");
    // A compressed resource is unpacked straight into the bytes returned: read through a
    // file, it is unpacked into a buffer of its own and copied out again.
    if (path.startsWith(QLatin1Char(':'))) {
        const QResource resource(path);
        const QByteArray bytes = resource.isValid() ? resource.uncompressedData() : QByteArray();
        if (bytes.isEmpty()) // none, or a folder
            return {};
        return {{xmlDataKey, bytes}};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return {{xmlDataKey, file.readAll()}};
}

QString LBLayoutSheetController::keyForPaperElementName(const QString& name)
{
    return keyForElement(name.toUtf8());
}

bool LBLayoutSheetController::parseAddressLabelsFile()
{
    const QVariantMap resource = catalogueResource(QStringLiteral("Labels"));
    if (!resource.contains(xmlDataKey)) {
        qWarning().noquote() << "The label catalogue cannot be read";
        return false;
    }
    return parseCatalogue(resource.value(xmlDataKey).toByteArray(), AddressLabelsProject);
}

bool LBLayoutSheetController::parseDiscLabelsFile()
{
    const QVariantMap resource = catalogueResource(QStringLiteral("DiscLabels"));
    if (!resource.contains(xmlDataKey)) {
        qWarning().noquote() << "The disc label catalogue cannot be read";
        return false;
    }
    return parseCatalogue(resource.value(xmlDataKey).toByteArray(), DiscLabelsProject);
}

bool LBLayoutSheetController::parseCatalogue(const QByteArray& xml, qint64 projectType)
{
    _parsingDocumentTypeStr = projectNameForType(projectType);
    CatalogueHandler handler(*this, projectType);
    _catalogueError.clear();
    if (handler.parse(xml))
        return true;
    _catalogueError = handler.errorString();
    qWarning().noquote() << QStringLiteral("The %1 catalogue is broken at %2; %3 sheets read")
                                .arg(_parsingDocumentTypeStr, _catalogueError)
                                .arg(_paperFormatsArray.size());
    return false;
}

void LBLayoutSheetController::logBadSheet(const QVariantMap& record, const QString& reason) const
{
    qWarning().noquote() << QStringLiteral("Catalogue sheet skipped: %1 %2: %3")
                                .arg(Info::text(record, Info::paperManufacturer),
                                     Info::text(record, Info::paperCode), reason);
}

QList<LBLayoutSheetController::Card>
LBLayoutSheetController::filteredCatalogue(const QString& manufacturer,
                                           const QString& labelType) const
{
    const QString all = layoutSheetString(QStringLiteral("All"));
    const bool anyMaker = manufacturer.isEmpty() || manufacturer == all;
    const bool anyType = labelType.isEmpty() || labelType == all;
    if (anyMaker && anyType)
        return _paperFormatsArray;
    const bool disc = _selectedProjectType == DiscLabelsProject;
    QList<Card> cards;
    for (const Card& card : _paperFormatsArray) {
        if (!anyMaker && card.maker != manufacturer)
            continue;
        if (!anyType && !(disc ? card.labelTypes.contains(labelType) : card.labelType == labelType))
            continue;
        cards.append(card);
    }
    return cards;
}

void LBLayoutSheetController::rebuildLabelTypePopup()
{
    const bool disc = _selectedProjectType == DiscLabelsProject;
    QSet<QString> seen;
    QStringList types;
    // A parse shares its texts, and sheets of a type often come together: the text of the
    // last type seen is passed over without a look-up.
    QString last;
    const auto see = [&](const QString& type) {
        if (type.isEmpty() || (type.constData() == last.constData() && type.size() == last.size()))
            return;
        last = type;
        if (!seen.contains(type)) {
            seen.insert(type);
            types.append(type);
        }
    };
    for (const Card& card : std::as_const(_cardArray)) {
        if (disc) {
            for (const QString& type : card.labelTypes)
                see(type);
        } else {
            see(card.labelType);
        }
    }
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::sort(types.begin(), types.end(), collator);
    const QString previous = _labelTypePopup.selectedTitle();
    _labelTypePopup.items = {layoutSheetString(QStringLiteral("All")), QStringLiteral("-")};
    for (const QString& type : std::as_const(types))
        _labelTypePopup.items.append(disc ? englishNameForDiscLabelType(type) : type);
    const qint64 kept = _labelTypePopup.items.indexOf(previous);
    _labelTypePopup.selected = kept > 1 ? kept : 0;
}

void LBLayoutSheetController::filterByManufacturer(const QString& manufacturer)
{
    const qint64 previousRow = _selectedRow;
    QString type;
    if (_labelTypePopup.selected > 0) {
        type = _labelTypePopup.selectedTitle();
        if (_selectedProjectType == DiscLabelsProject)
            type = discLabelTypeForEnglishName(type);
    }
    _cardArray = filteredCatalogue(manufacturer, type);
    _hasCardArray = true;
    if (_rebuildDiscLabelTypes || _selectedProjectType != DiscLabelsProject)
        rebuildLabelTypePopup();
    updatePaperStyleBox(previousRow);
}

void LBLayoutSheetController::filterByLabelType(const QString& labelType)
{
    const QString maker =
        _manufacturerPopup.selected > 0 ? _manufacturerPopup.selectedTitle() : QString();
    _cardArray = filteredCatalogue(maker, labelType);
    _hasCardArray = true;
    _selectedRow = -1;
    if (!_cardArray.isEmpty())
        _selectedRow = 0;
    tableViewSelectionDidChange();
}

QVariantMap LBLayoutSheetController::convertDimensionsToPoints(const QVariantMap& record,
                                                               bool swapSignDimensions)
{
    QVariantMap result = record;
    const double multiplier = pointsPerUnitOfSheet(result);
    const auto converted = [&](const QString& key) {
        return convertStringToPoints(Info::text(record, key), multiplier);
    };
    const auto convert = [&](const QString& key) {
        if (record.contains(key))
            result.insert(key, converted(key));
    };
    for (const QString& key :
         {Info::pageWidth, Info::pageHeight, Info::labelWidth, Info::labelHeight})
        convert(key);
    for (const QString& key : {Info::leftMargin, Info::topMargin})
        result.insert(key, record.contains(key) ? converted(key) : 0.0);
    for (const QString& key : {Info::numRows, Info::numColumns}) {
        if (!record.contains(key))
            result.insert(key, qint64(1));
    }
    for (const QString& key : {Info::vLabelSpace, Info::hLabelSpace, Info::cornerRadius})
        convert(key);
    if (record.contains(Info::innerDiameter)) {
        convert(Info::innerDiameter);
        result.insert(
            Info::outerDiameter,
            record.contains(Info::outerDiameter)
                ? converted(Info::outerDiameter)
                : std::max(record.contains(Info::labelWidth) ? converted(Info::labelWidth) : 0.0,
                           record.contains(Info::labelHeight) ? converted(Info::labelHeight)
                                                              : 0.0));
    }
    for (const char* key : {"x1", "y1", "x2", "y2"})
        convert(QString::fromLatin1(key));
    const QVariantList labels = record.value(labelsKey).toList();
    if (!labels.isEmpty()) {
        QVariantList convertedLabels;
        for (const QVariant& entry : labels) {
            const QVariantMap label = entry.toMap();
            QVariantMap convertedLabel = convertDimensionsToPoints(label, swapSignDimensions);
            const QVariantList lines = label.value(foldLinesKey).toList();
            if (!lines.isEmpty()) {
                QVariantList convertedLines;
                for (const QVariant& line : lines)
                    convertedLines.append(
                        convertDimensionsToPoints(line.toMap(), swapSignDimensions));
                convertedLabel.insert(foldLinesKey, convertedLines);
            }
            convertedLabels.append(convertedLabel);
        }
        result.insert(labelsKey, convertedLabels);
    }
    return result;
}

QVariantMap LBLayoutSheetController::expandDiscLabelsInDictionary(const QVariantMap& record) const
{
    if (_selectedProjectType != DiscLabelsProject)
        return record;
    return expandDiscLabels(record);
}

QVariantMap LBLayoutSheetController::expandDiscLabels(const QVariantMap& record)
{
    QVariantMap result = record;
    QVariantList expanded;
    for (const QVariant& entry : record.value(labelsKey).toList()) {
        const QVariantMap label = entry.toMap();
        const float x0 = float(Info::real(label, Info::leftMargin));
        const float y0 = float(Info::real(label, Info::topMargin));
        const float w = float(Info::real(label, Info::labelWidth));
        const float h = float(Info::real(label, Info::labelHeight));
        QVariantMap copy;
        if (label.contains(labelTypeDescriptionKey))
            copy.insert(labelTypeDescriptionKey, label.value(labelTypeDescriptionKey));
        copy.insert(QStringLiteral("x"), double(x0));
        copy.insert(QStringLiteral("y"), double(y0));
        if (label.contains(Info::cornerRadius))
            copy.insert(Info::cornerRadius, label.value(Info::cornerRadius));
        if (label.contains(foldLinesKey))
            copy.insert(foldLinesKey, label.value(foldLinesKey));
        float stepX = w;
        float stepY = h;
        if (!label.contains(Info::innerDiameter)) {
            copy.insert(QStringLiteral("width"), label.value(Info::labelWidth));
            copy.insert(QStringLiteral("height"), label.value(Info::labelHeight));
        } else {
            const float diameter = label.contains(Info::outerDiameter)
                                       ? float(Info::real(label, Info::outerDiameter))
                                   : h > w ? h
                                           : w;
            copy.insert(Info::outerDiameter, double(diameter));
            copy.insert(Info::innerDiameter, label.value(Info::innerDiameter));
            stepX = stepY = diameter;
        }
        if (!label.contains(Info::numRows)) {
            expanded.append(copy);
            continue;
        }
        const qint64 rows = Info::integer(label, Info::numRows);
        const qint64 columns = Info::integer(label, Info::numColumns);
        // (A block of more than a million labels is no sheet.)
        if (rows < 1 || columns < 1 || rows > 1000 || columns > 1000)
            continue;
        const float hSpace = float(Info::real(label, Info::hLabelSpace));
        const float vSpace = float(Info::real(label, Info::vLabelSpace));
        float y = y0;
        for (qint64 row = 0; row < rows; ++row) {
            float x = x0;
            for (qint64 column = 0; column < columns; ++column) {
                copy.insert(QStringLiteral("x"), double(x));
                copy.insert(QStringLiteral("y"), double(y));
                expanded.append(copy);
                x += stepX + hSpace;
            }
            y += stepY + vSpace;
        }
    }
    result.insert(labelsKey, expanded);
    return result;
}

const QStringList& LBLayoutSheetController::discLabelTypes()
{
    static const QStringList codes = {
        QStringLiteral("CDDisc"),
        QStringLiteral("CDCore"),
        QStringLiteral("CDMini"),
        QStringLiteral("PappaVinylCD"),
        QStringLiteral("PappaSuperCD"),
        QStringLiteral("Label"),
        QStringLiteral("CDCover"),
        QStringLiteral("DVDCover"),
        QStringLiteral("DVDSlimCover"),
        QStringLiteral("CDSpine"),
        QStringLiteral("CDTrayInsert"),
        QStringLiteral("DVDInsert"),
        QStringLiteral("CDBooklet"),
        QStringLiteral("DVDBooklet"),
        QStringLiteral("VHSWrap"),
        QStringLiteral("VHSFace"),
        QStringLiteral("VHSSpine"),
        QStringLiteral("SuperJewelBoxCDBooklet"),
        QStringLiteral("SuperJewelBoxDVDBooklet"),
        QStringLiteral("PappaPartialShort"),
        QStringLiteral("PappaPartialMedium"),
        QStringLiteral("PappaPartialLong"),
        QStringLiteral("PappaFullShort"),
        QStringLiteral("PappaFullLong"),
        QStringLiteral("Blu-RayCover"),
        QStringLiteral("CDSlimCaseInsert"),
        QStringLiteral("SuperJewelBoxCDTrayInsertInside"),
        QStringLiteral("SuperJewelBoxDVDTrayInsertInside"),
        QStringLiteral("SuperJewelBoxCDTrayInsertOutside"),
        QStringLiteral("SuperJewelBoxDVDTrayInsertOutside"),
        QStringLiteral("LightScribeFull"),
        QStringLiteral("LightScribeContent"),
        QStringLiteral("LightScribeTitle"),
        QStringLiteral("LabelFlashFull"),
        QStringLiteral("DiscT@2"),
        QStringLiteral("CDBusinessCard"),
    };
    return codes;
}

QString LBLayoutSheetController::englishNameForDiscLabelType(const QString& code)
{
    const qsizetype index = discLabelTypes().indexOf(code);
    return layoutSheetString(index >= 0 ? discLabelNames().at(index) : QStringLiteral("All"));
}

QString LBLayoutSheetController::discLabelTypeForEnglishName(const QString& name)
{
    for (qsizetype i = 0; i < discLabelNames().size(); ++i) {
        if (layoutSheetString(discLabelNames().at(i)) == name)
            return discLabelTypes().at(i);
    }
    return layoutSheetString(QStringLiteral("All"));
}
