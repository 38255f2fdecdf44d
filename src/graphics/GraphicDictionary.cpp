#include "graphics/GraphicDictionary.h"

#include "platform/core/Archive.h"
#include "platform/core/TextForms.h"
#include "platform/drawing/BezierPath.h"
#include "platform/text/AttributedString.h"

#include <QtDebug>

#include <algorithm>
#include <array>
#include <cstring>
#include <type_traits>
#include <vector>

using platform::Archive;

namespace {

QString kindOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString: return QStringLiteral("text");
    case QMetaType::QByteArray: return QStringLiteral("data");
    case QMetaType::QVariantList:
    case QMetaType::QStringList: return QStringLiteral("an array");
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash: return QStringLiteral("a dictionary");
    default: return QStringLiteral("a value of type %1").arg(QString::fromLatin1(value.typeName()));
    }
}

// Every graphic stores some sixty numbers and rectangles as text, most of them the same
// few values (its defaults, zero, one): the text of the values met last is kept, per thread,
// so a repeat shares it instead of being formatted and allocated again. A value is known by
// its exact bits (so 0 and -0 stay apart); one text a slot, a newcomer taking the place of
// the value it collides with.
template <typename Value>
class RecentTexts
{
    static_assert(sizeof(Value) % 8 == 0 && std::is_trivially_copyable_v<Value>);

public:
    template <typename Format>
    QString text(const Value& value, Format format)
    {
        std::array<quint64, sizeof(Value) / 8> bits;
        std::memcpy(bits.data(), &value, sizeof bits);
        quint64 hash = 0;
        for (const quint64 word : bits)
            hash = (hash ^ word) * 0x9e3779b97f4a7c15ull;
        Slot& slot = _slots[(hash >> 56) % _slots.size()];
        if (!slot.used || slot.bits != bits) {
            slot.bits = bits;
            slot.text = format(value);
            slot.used = true;
        }
        return slot.text;
    }

private:
    struct Slot
    {
        std::array<quint64, sizeof(Value) / 8> bits{};
        QString text;
        bool used = false;
    };
    std::array<Slot, 256> _slots;
};

// A real with its number of decimals, in whole words.
struct FixedReal
{
    double value;
    qint64 decimals;
};

QString fixedText(double value, qint64 decimals)
{
    thread_local RecentTexts<FixedReal> texts;
    return texts.text(FixedReal{value, decimals}, [](const FixedReal& real) {
        return real.decimals == 2 ? platform::format2f(real.value) : platform::format6f(real.value);
    });
}

} // namespace

// --- Writing ---

void GraphicDictionaryWriter::setString(const QString& key, const QString& value)
{
    _dictionary.insert(key, value);
}

void GraphicDictionaryWriter::setInteger(const QString& key, qint64 value)
{
    thread_local RecentTexts<qint64> texts;
    _dictionary.insert(key, texts.text(value, platform::formatLong));
}

void GraphicDictionaryWriter::setReal2(const QString& key, double value)
{
    _dictionary.insert(key, fixedText(value, 2));
}

void GraphicDictionaryWriter::setReal6(const QString& key, double value)
{
    _dictionary.insert(key, fixedText(value, 6));
}

void GraphicDictionaryWriter::setBool(const QString& key, bool value)
{
    _dictionary.insert(key, value ? QStringLiteral("YES") : QStringLiteral("NO"));
}

void GraphicDictionaryWriter::setRect(const QString& key, const QRectF& value)
{
    thread_local RecentTexts<QRectF> texts;
    _dictionary.insert(key, texts.text(value, platform::stringFromRect));
}

void GraphicDictionaryWriter::setPoint(const QString& key, const QPointF& value)
{
    thread_local RecentTexts<QPointF> texts;
    _dictionary.insert(key, texts.text(value, platform::stringFromPoint));
}

void GraphicDictionaryWriter::setNumber(const QString& key, qint64 value)
{
    _dictionary.insert(key, value);
}

void GraphicDictionaryWriter::setData(const QString& key, const QByteArray& value)
{
    _dictionary.insert(key, value);
}

void GraphicDictionaryWriter::setArray(const QString& key, const QVariantList& value)
{
    _dictionary.insert(key, value);
}

void GraphicDictionaryWriter::setArchive(const QString& key, const QByteArray& data)
{
    if (data.isEmpty()) {
        qWarning("Graphic property list: %s holds a value that cannot be archived; not written",
                 qPrintable(key));
        return;
    }
    _dictionary.insert(key, data);
}

void GraphicDictionaryWriter::setColor(const QString& key, const QColor& value)
{
    if (value.isValid())
        setArchive(key, Archive::archivedDataWithColor(value));
}

void GraphicDictionaryWriter::setAttributedString(const QString& key,
                                                  const platform::AttributedString& value)
{
    setArchive(key, Archive::archivedDataWithAttributedString(value));
}

void GraphicDictionaryWriter::setArchivedArray(const QString& key, const QVariantList& value)
{
    setArchive(key, Archive::archivedDataWithArray(value));
}

void GraphicDictionaryWriter::setBezierPath(const QString& key, const platform::BezierPath& value)
{
    setArchive(key, Archive::archivedDataWithBezierPath(value));
}

// --- Reading ---

// The dictionary's entries in an open-addressing table by a hash of their keys.
class GraphicDictionaryReader::Index
{
public:
    explicit Index(const QVariantMap& dictionary)
    {
        size_t size = 16;
        while (size < 2 * size_t(dictionary.size()))
            size *= 2;
        _mask = size - 1;
        _slots.resize(size);
        for (auto it = dictionary.cbegin(); it != dictionary.cend(); ++it) {
            size_t slot = hash(it.key()) & _mask;
            while (_slots[slot].key)
                slot = (slot + 1) & _mask;
            _slots[slot] = Slot{&it.key(), &it.value()};
        }
    }

    const QVariant* find(const QString& key) const
    {
        for (size_t slot = hash(key) & _mask;; slot = (slot + 1) & _mask) {
            const Slot& entry = _slots[slot];
            if (!entry.key)
                return nullptr;
            if (*entry.key == key)
                return entry.value;
        }
    }

private:
    struct Slot
    {
        const QString* key = nullptr;
        const QVariant* value = nullptr;
    };

    // The length and the first and last four characters: keys are short names.
    static size_t hash(const QString& key)
    {
        const qsizetype n = key.size();
        const qsizetype part = std::min<qsizetype>(n, 4);
        quint64 head = 0;
        quint64 tail = 0;
        std::memcpy(&head, key.constData(), size_t(part) * 2);
        std::memcpy(&tail, key.constData() + (n - part), size_t(part) * 2);
        quint64 h = (head * 0x9e3779b97f4a7c15ull) ^ ((tail + quint64(n)) * 0xc2b2ae3d27d4eb4full);
        return size_t(h ^ (h >> 31));
    }

    std::vector<Slot> _slots;
    size_t _mask = 0;
};

namespace {

thread_local GraphicDictionaryReader::SharedIndex* innermostSharedIndex = nullptr;

} // namespace

GraphicDictionaryReader::SharedIndex::SharedIndex(const QVariantMap& dictionary)
    : _outer(innermostSharedIndex), _dictionary(dictionary)
{
    innermostSharedIndex = this;
}

GraphicDictionaryReader::SharedIndex::~SharedIndex()
{
    Q_ASSERT(innermostSharedIndex == this);
    innermostSharedIndex = _outer;
}

GraphicDictionaryReader::GraphicDictionaryReader(const QVariantMap& dictionary,
                                                 const QString& className)
    : _dictionary(dictionary), _className(className)
{
    if (innermostSharedIndex && innermostSharedIndex->_dictionary.isSharedWith(dictionary))
        _shared = innermostSharedIndex;
}

GraphicDictionaryReader::~GraphicDictionaryReader() = default;

const QVariant* GraphicDictionaryReader::find(const QString& key) const
{
    if (!_index) {
        if (_shared) {
            if (!_shared->_index)
                _shared->_index = std::make_shared<const Index>(_dictionary);
            _index = _shared->_index;
        } else if (++_lookups > 8) {
            _index = std::make_shared<const Index>(_dictionary);
        }
    }
    if (_index)
        return _index->find(key);
    const auto found = _dictionary.constFind(key);
    return found == _dictionary.cend() ? nullptr : &*found;
}

void GraphicDictionaryReader::logSkipped(const QString& key, const QString& why) const
{
    qWarning("Graphic property list: \"%s\" of %s %s; ignored", qPrintable(key),
             qPrintable(_className), qPrintable(why));
}

std::optional<QString> GraphicDictionaryReader::textOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString: return value.toString();
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("YES") : QStringLiteral("NO");
    default:
        if (platform::isNumberType(value.typeId()))
            return value.toString();
        return std::nullopt;
    }
}

bool GraphicDictionaryReader::isYes(const QVariant& value)
{
    return textOf(value) == QLatin1String("YES");
}

std::optional<QString> GraphicDictionaryReader::string(const QString& key) const
{
    const QVariant* found = find(key);
    if (!found)
        return std::nullopt;
    std::optional<QString> text = textOf(*found);
    if (!text)
        logSkipped(key, QStringLiteral("is %1, not text").arg(kindOf(*found)));
    return text;
}

namespace {

// The text of key read by parse; nullopt (logged by string()) without usable text.
template <typename Parse>
auto parsedText(const GraphicDictionaryReader& reader, const QString& key, Parse parse)
    -> std::optional<decltype(parse(QString()))>
{
    const std::optional<QString> text = reader.string(key);
    if (!text)
        return std::nullopt;
    return parse(*text);
}

} // namespace

std::optional<int> GraphicDictionaryReader::intValue(const QString& key) const
{
    return parsedText(*this, key, [](const QString& t) { return platform::intValue(t); });
}

std::optional<qint64> GraphicDictionaryReader::integerValue(const QString& key) const
{
    return parsedText(*this, key, [](const QString& t) { return platform::integerValue(t); });
}

std::optional<double> GraphicDictionaryReader::floatValue(const QString& key) const
{
    return parsedText(*this, key, [](const QString& t) { return platform::floatValue(t); });
}

std::optional<bool> GraphicDictionaryReader::boolValue(const QString& key) const
{
    return parsedText(*this, key, [](const QString& t) { return t == QLatin1String("YES"); });
}

std::optional<QRectF> GraphicDictionaryReader::rect(const QString& key) const
{
    return parsedText(*this, key, platform::rectFromString);
}

std::optional<QPointF> GraphicDictionaryReader::point(const QString& key) const
{
    return parsedText(*this, key, platform::pointFromString);
}

std::optional<QByteArray> GraphicDictionaryReader::data(const QString& key) const
{
    const QVariant* found = find(key);
    if (!found)
        return std::nullopt;
    if (found->typeId() != QMetaType::QByteArray) {
        logSkipped(key, QStringLiteral("is %1, not data").arg(kindOf(*found)));
        return std::nullopt;
    }
    return found->toByteArray();
}

std::optional<QVariantList> GraphicDictionaryReader::array(const QString& key) const
{
    const QVariant* found = find(key);
    if (!found)
        return std::nullopt;
    if (found->typeId() != QMetaType::QVariantList) {
        logSkipped(key, QStringLiteral("is %1, not an array").arg(kindOf(*found)));
        return std::nullopt;
    }
    return found->toList();
}

namespace {

// The archived value of key decoded by decode, logged and nullopt when it does not decode.
template <typename T, typename Decode>
std::optional<T> decoded(const GraphicDictionaryReader& reader, const QString& key,
                         const QString& what, Decode decode)
{
    const std::optional<QByteArray> data = reader.data(key);
    if (!data)
        return std::nullopt;
    std::optional<T> value = decode(*data);
    if (!value)
        reader.logSkipped(key, QStringLiteral("is not an archived %1").arg(what));
    return value;
}

} // namespace

std::optional<QColor> GraphicDictionaryReader::color(const QString& key) const
{
    return decoded<QColor>(*this, key, QStringLiteral("colour"), Archive::colorFromArchivedData);
}

std::optional<platform::AttributedString>
GraphicDictionaryReader::attributedString(const QString& key) const
{
    return decoded<platform::AttributedString>(*this, key, QStringLiteral("text"),
                                               Archive::attributedStringFromArchivedData);
}

std::optional<QVariantList> GraphicDictionaryReader::archivedArray(const QString& key) const
{
    return decoded<QVariantList>(*this, key, QStringLiteral("array"),
                                 Archive::arrayFromArchivedData);
}

std::optional<platform::BezierPath> GraphicDictionaryReader::bezierPath(const QString& key) const
{
    return decoded<platform::BezierPath>(*this, key, QStringLiteral("path"),
                                         Archive::bezierPathFromArchivedData);
}
