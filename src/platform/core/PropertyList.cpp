#include "platform/core/PropertyList.h"

#include "platform/core/TextForms.h"

#include <QDateTime>
#include <QLocale>
#include <QStringDecoder>
#include <QStringList>
#include <QVariantHash>
#include <QVariantList>
#include <QVariantMap>
#include <QXmlStreamReader>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace platform {

namespace {

// ---------------------------------------------------------------------------------------
// Character classes of the text form

enum : unsigned char {
    SpaceChar = 1,    // white space between tokens
    UnquotedChar = 2, // may stand in a string without quotes when reading
    BareChar = 4,     // written without quotes: other readers take no more than these
};

struct CharTable
{
    unsigned char flags[256] = {};
    signed char hex[256] = {};

    constexpr CharTable()
    {
        for (int c = 0; c < 256; ++c)
            hex[c] = -1;
        for (int c : {' ', '\t', '\n', '\r', '\f', '\v'})
            flags[c] |= SpaceChar;
        for (int c = '0'; c <= '9'; ++c) {
            flags[c] |= UnquotedChar | BareChar;
            hex[c] = static_cast<signed char>(c - '0');
        }
        for (int c = 'a'; c <= 'z'; ++c)
            flags[c] |= UnquotedChar | BareChar;
        for (int c = 'A'; c <= 'Z'; ++c)
            flags[c] |= UnquotedChar | BareChar;
        for (int c = 'a'; c <= 'f'; ++c)
            hex[c] = static_cast<signed char>(c - 'a' + 10);
        for (int c = 'A'; c <= 'F'; ++c)
            hex[c] = static_cast<signed char>(c - 'A' + 10);
        for (int c : {'_', '$', '/', ':', '.', '-'})
            flags[c] |= UnquotedChar | BareChar;
        flags[int('+')] |= UnquotedChar;
    }
};

constexpr CharTable chars;

inline bool isSpace(char c)
{
    return chars.flags[static_cast<unsigned char>(c)] & SpaceChar;
}

inline bool isUnquoted(char c)
{
    return chars.flags[static_cast<unsigned char>(c)] & UnquotedChar;
}

inline bool isBare(char c)
{
    return chars.flags[static_cast<unsigned char>(c)] & BareChar;
}

inline bool isQuote(char c)
{
    return c == '"' || c == '\'';
}

// A string starts here: quoted or bare.
inline bool startsString(char c)
{
    return isQuote(c) || isUnquoted(c);
}

inline quint64 load64(const char* p)
{
    quint64 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

bool isAscii(const char* from, const char* to)
{
    quint64 bits = 0;
    for (; to - from >= 8; from += 8)
        bits |= load64(from);
    for (; from < to; ++from)
        bits |= static_cast<unsigned char>(*from);
    return (bits & 0x8080808080808080ull) == 0;
}

inline int hexValue(char c)
{
    return chars.hex[static_cast<unsigned char>(c)];
}

QString describeChar(char c)
{
    const auto u = static_cast<unsigned char>(c);
    if (u > 0x20 && u < 0x7f)
        return QStringLiteral("'%1'").arg(QLatin1Char(c));
    return QStringLiteral("byte 0x%1").arg(u, 2, 16, QLatin1Char('0'));
}

QString shortestText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString shortestText(float value)
{
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

template <typename T>
const T& ref(const QVariant& value)
{
    return *static_cast<const T*>(value.constData());
}

// ---------------------------------------------------------------------------------------
// Old-style text reader: works on the raw bytes; strings are built in one go.

// Values repeat in property lists: keys across the dictionaries of a list (every graphic of
// a document has the same few dozen), and many values (class names, numbers, colours as
// data). A value spelt the same way as one already read in the same text is shared with it
// instead of made again. The table maps a hash of the spelling (a span of the text, which
// outlives the read) to the value, one value a slot: a newcomer takes the place of the one
// it collides with, so the table stays the size it was made, a slot for every 256 bytes of
// text (16 to 4096).
template <typename T>
class SpellingTable
{
public:
    explicit SpellingTable(size_t textSize)
    {
        while (_size < 4096 && _size * 256 < textSize)
            _size *= 2;
    }

    const T* find(const char* from, const char* to)
    {
        if (_slots.empty())
            _slots.resize(_size);
        _slot = &_slots[hash(from, size_t(to - from)) & (_size - 1)];
        const size_t length = size_t(to - from);
        if (_slot->spelling && _slot->length == length
            && std::memcmp(_slot->spelling, from, length) == 0)
            return &_slot->value;
        return nullptr;
    }

    // Keeps value for the spelling that find() just looked up in vain.
    const T& store(const char* from, const char* to, const T& value)
    {
        _slot->spelling = from;
        _slot->length = size_t(to - from);
        _slot->value = value;
        return _slot->value;
    }

private:
    struct Slot
    {
        const char* spelling = nullptr;
        size_t length = 0;
        T value;
    };

    static quint64 hash(const char* p, size_t n)
    {
        quint64 h = 0x9e3779b97f4a7c15ull ^ n;
        for (; n >= 8; p += 8, n -= 8) {
            h = (h ^ load64(p)) * 0xff51afd7ed558ccdull;
            h ^= h >> 32;
        }
        quint64 tail = 0;
        std::memcpy(&tail, p, n);
        h = (h ^ tail) * 0xc4ceb9fe1a85ec53ull;
        return h ^ (h >> 29);
    }

    size_t _size = 16;
    std::vector<Slot> _slots;
    Slot* _slot = nullptr;
};

class TextReader
{
public:
    explicit TextReader(const QByteArray& text)
        : _begin(text.constData()), _p(_begin), _end(_begin + text.size())
    {}

    std::optional<QVariant> read(QString* error)
    {
        std::optional<QVariant> result = readDocument();
        if (!result && error)
            *error = _error;
        return result;
    }

private:
    std::optional<QVariant> readDocument()
    {
        if (_end - _p >= 3 && std::memcmp(_p, "\xEF\xBB\xBF", 3) == 0)
            _p += 3;
        if (!skipSpace())
            return std::nullopt;
        // Nothing but white space and comments: a string table with no entries.
        if (_p == _end)
            return QVariant(QVariantMap());
        QVariant result;
        if (startsString(*_p)) {
            // A string at the top, or the first key of a string table's bare pairs.
            const char* start = _p;
            QString text;
            if (!readString(text) || !skipSpace())
                return std::nullopt;
            if (_p < _end && (*_p == '=' || *_p == ';')) {
                _p = start;
                QVariantMap map;
                if (!readDictionaryBody(map, 1, nullptr))
                    return std::nullopt;
                result = map;
            } else {
                result = text;
            }
        } else if (!readValue(result, 0)) {
            return std::nullopt;
        }
        if (!skipSpace())
            return std::nullopt;
        if (_p != _end) {
            fail(_p,
                 QStringLiteral("unexpected %1 after the property list").arg(describeChar(*_p)));
            return std::nullopt;
        }
        return result;
    }

    int lineAt(const char* at) const { return 1 + int(std::count(_begin, at, '\n')); }

    bool fail(const char* at, const QString& message)
    {
        _error = QStringLiteral("line %1: %2").arg(lineAt(at)).arg(message);
        return false;
    }

    bool failAtEnd(const char* opened, const char* what)
    {
        return fail(_end,
                    QStringLiteral("unexpected end of text: the %1 opened on line %2 is not closed")
                        .arg(QLatin1String(what))
                        .arg(lineAt(opened)));
    }

    // Skips white space and comments; fails only on an unterminated /* comment. A //
    // comment ends at a line feed or a carriage return.
    bool skipSpace()
    {
        for (;;) {
            // Indentation comes in long runs of spaces: eight at a time.
            while (_end - _p >= 8 && load64(_p) == 0x2020202020202020ull)
                _p += 8;
            while (_p < _end && isSpace(*_p))
                ++_p;
            if (_end - _p < 2 || _p[0] != '/')
                return true;
            if (_p[1] == '/') {
                _p += 2;
                while (_p < _end && *_p != '\n' && *_p != '\r')
                    ++_p;
            } else if (_p[1] == '*') {
                const char* close = nullptr;
                for (const char* q = _p + 2; q + 1 < _end; ++q) {
                    if (q[0] == '*' && q[1] == '/') {
                        close = q;
                        break;
                    }
                }
                if (!close)
                    return fail(_p, QStringLiteral("unterminated comment"));
                _p = close + 2;
            } else {
                return true;
            }
        }
    }

    // A value starts at _p (_p < _end). `depth` counts the containers around it.
    bool readValue(QVariant& out, int depth)
    {
        switch (*_p) {
        case '{': {
            if (depth >= PropertyList::MaximumDepth)
                return fail(_p, QStringLiteral("nesting deeper than %1 levels")
                                    .arg(PropertyList::MaximumDepth));
            const char* open = _p++;
            QVariantMap map;
            if (!readDictionaryBody(map, depth + 1, open))
                return false;
            out = std::move(map);
            return true;
        }
        case '(': {
            if (depth >= PropertyList::MaximumDepth)
                return fail(_p, QStringLiteral("nesting deeper than %1 levels")
                                    .arg(PropertyList::MaximumDepth));
            QVariantList list;
            if (!readArray(list, depth + 1))
                return false;
            out = std::move(list);
            return true;
        }
        case '<': {
            QByteArray data;
            if (!readData(data))
                return false;
            out = std::move(data);
            return true;
        }
        default: {
            if (!startsString(*_p))
                return fail(_p, QStringLiteral("unexpected %1").arg(describeChar(*_p)));
            QString text;
            if (!readString(text, true))
                return false;
            out = std::move(text);
            return true;
        }
        }
    }

    // Entries up to the closing brace, or to the end of the text for a string table's
    // bare pairs (`open` is null then), where `key;` stands for `key = key;`.
    bool readDictionaryBody(QVariantMap& map, int depth, const char* open)
    {
        // Built in a std::map so keys and values move in; QVariantMap adopts it whole.
        std::map<QString, QVariant> entries;
        QString key;
        QVariant value;
        for (;;) {
            if (!skipSpace())
                return false;
            if (_p == _end) {
                if (open)
                    return failAtEnd(open, "dictionary");
                break;
            }
            if (open && *_p == '}') {
                ++_p;
                break;
            }
            if (startsString(*_p)) {
                if (!readString(key, true))
                    return false;
            } else if (*_p == '{' || *_p == '(' || *_p == '<') {
                return fail(_p, QStringLiteral("a dictionary key must be a string, not %1")
                                    .arg(describeChar(*_p)));
            } else {
                return fail(_p, QStringLiteral("unexpected %1 where a dictionary key must be")
                                    .arg(describeChar(*_p)));
            }
            if (!skipSpace())
                return false;
            if (_p == _end)
                return open ? failAtEnd(open, "dictionary")
                            : fail(_p, QStringLiteral("unexpected end of text after a key"));
            if (!open && *_p == ';') {
                ++_p;
                value = key;
                entries.insert_or_assign(entries.end(), std::move(key), std::move(value));
                continue;
            }
            if (*_p != '=')
                return fail(_p, QStringLiteral("expected '=' after the key \"%1\", found %2")
                                    .arg(key, describeChar(*_p)));
            ++_p;
            if (!skipSpace())
                return false;
            if (_p == _end)
                return open ? failAtEnd(open, "dictionary")
                            : fail(_p, QStringLiteral("unexpected end of text after '='"));
            if (!readValue(value, depth))
                return false;
            if (!skipSpace())
                return false;
            if (_p < _end && *_p == ';') {
                ++_p;
            } else if (_p == _end) {
                if (open)
                    return failAtEnd(open, "dictionary");
            } else if (!(open && *_p == '}')) {
                return fail(_p, QStringLiteral("expected ';' after the value of \"%1\", found %2")
                                    .arg(key, describeChar(*_p)));
            }
            // Written lists are sorted, so the end is the right place nearly always; a
            // repeated key keeps its last value.
            entries.insert_or_assign(entries.end(), std::move(key), std::move(value));
        }
        map = QVariantMap(std::move(entries));
        return true;
    }

    bool readArray(QVariantList& list, int depth)
    {
        const char* open = _p++;
        QVariant value;
        for (;;) {
            if (!skipSpace())
                return false;
            if (_p == _end)
                return failAtEnd(open, "array");
            if (*_p == ')') {
                ++_p;
                return true;
            }
            if (!readValue(value, depth))
                return false;
            list.append(std::move(value));
            if (!skipSpace())
                return false;
            if (_p == _end)
                return failAtEnd(open, "array");
            if (*_p == ',')
                ++_p;
            else if (*_p != ')')
                return fail(_p, QStringLiteral("expected ',' or ')' in the array, found %1")
                                    .arg(describeChar(*_p)));
        }
    }

    bool readData(QByteArray& out)
    {
        const char* open = _p++;
        const void* found = std::memchr(_p, '>', size_t(_end - _p));
        if (!found)
            return fail(open, QStringLiteral("unterminated data block"));
        const char* close = static_cast<const char*>(found);
        if (const QByteArray* shared = _data.find(_p, close)) {
            out = *shared;
            _p = close + 1;
            return true;
        }
        out.resize((close - _p) / 2);
        char* o = out.data();
        int pending = -1;
        for (const char* q = _p; q < close; ++q) {
            const int v = hexValue(*q);
            if (v >= 0) {
                if (pending < 0) {
                    pending = v;
                } else {
                    *o++ = char(pending << 4 | v);
                    pending = -1;
                }
            } else if (!isSpace(*q)) {
                return fail(q, QStringLiteral("%1 in a data block").arg(describeChar(*q)));
            }
        }
        if (pending >= 0)
            return fail(close, QStringLiteral("odd number of hex digits in a data block"));
        out.truncate(o - out.data());
        _data.store(_p, close, out);
        _p = close + 1;
        return true;
    }

    QString interned(const char* from, const char* to)
    {
        if (const QString* shared = _strings.find(from, to))
            return *shared;
        return _strings.store(from, to, QString::fromLatin1(from, to - from));
    }

    QString plainString(const char* from, const char* to, bool intern)
    {
        return intern ? interned(from, to) : QString::fromLatin1(from, to - from);
    }

    bool readString(QString& out, bool intern = false)
    {
        if (isQuote(*_p))
            return readQuoted(out, intern);
        const char* start = _p;
        while (_p < _end && isUnquoted(*_p))
            ++_p;
        out = plainString(start, _p, intern);
        return true;
    }

    // The bytes are UTF-8. A byte order mark among them is a character like any other,
    // but the stateless decoder drops one at the start of what it is given, so leading
    // ones are taken here.
    bool decodeUtf8(const char* from, const char* to, QChar*& out)
    {
        while (to - from >= 3 && std::memcmp(from, "\xEF\xBB\xBF", 3) == 0) {
            *out++ = QChar(QChar::ByteOrderMark);
            from += 3;
        }
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        out = decoder.appendToBuffer(out, QByteArrayView(from, to - from));
        if (decoder.hasError())
            return fail(from, QStringLiteral("a quoted string is not valid UTF-8"));
        return true;
    }

    // A string in double or single quotes. A backslash before a character that is no
    // escape stands for that character itself.
    bool readQuoted(QString& out, bool intern)
    {
        const char quote = *_p;
        const char* open = _p++;
        // Find the closing quote, the first one no backslash escapes; note whether escapes
        // occur.
        bool escaped = false;
        const char* close = nullptr;
        for (const char* q = _p; !close;) {
            const char* candidate =
                static_cast<const char*>(std::memchr(q, quote, size_t(_end - q)));
            if (!candidate)
                return fail(open, QStringLiteral("unterminated quoted string"));
            // Step over the escapes before it; the last may escape the candidate itself.
            for (const char* b;
                 q < candidate
                 && (b = static_cast<const char*>(std::memchr(q, '\\', size_t(candidate - q))));) {
                escaped = true;
                q = b + 2;
            }
            if (q <= candidate)
                close = candidate;
        }
        const bool ascii = isAscii(_p, close);
        if (!escaped && ascii) {
            out = plainString(_p, close, intern);
            _p = close + 1;
            return true;
        }
        // Every byte gives at most one UTF-16 unit, so the text's length bounds the result.
        out.resize(close - _p);
        QChar* o = out.data();
        const char* p = _p;
        while (p < close) {
            const char* run = p;
            bool runAscii = true;
            while (p < close && *p != '\\') {
                runAscii &= static_cast<unsigned char>(*p) < 0x80;
                ++p;
            }
            if (runAscii) {
                for (const char* r = run; r < p; ++r)
                    *o++ = QChar(char16_t(static_cast<unsigned char>(*r)));
            } else if (!decodeUtf8(run, p, o)) {
                return false;
            }
            if (p == close)
                break;
            const char* escape = p++; // p now at the character after the backslash
            char16_t unit = 0;
            switch (*p) {
            case 'a': unit = 0x07; break;
            case 'b': unit = 0x08; break;
            case 'f': unit = 0x0c; break;
            case 'n': unit = 0x0a; break;
            case 'r': unit = 0x0d; break;
            case 't': unit = 0x09; break;
            case 'v': unit = 0x0b; break;
            case 'U': {
                ++p;
                int digits = 0;
                unsigned value = 0;
                while (digits < 4 && p < close && hexValue(*p) >= 0) {
                    value = value << 4 | unsigned(hexValue(*p++));
                    ++digits;
                }
                if (digits == 0)
                    return fail(escape, QStringLiteral("bad escape: \\U without hex digits"));
                *o++ = QChar(char16_t(value));
                continue;
            }
            default:
                if (*p >= '0' && *p <= '7') {
                    int digits = 0;
                    unsigned value = 0;
                    while (digits < 3 && p < close && *p >= '0' && *p <= '7') {
                        value = value << 3 | unsigned(*p++ - '0');
                        ++digits;
                    }
                    if (value > 0xff)
                        return fail(escape, QStringLiteral("bad escape: octal value above \\377"));
                    *o++ = QChar(char16_t(value));
                    continue;
                }
                if (*p == '\\' || isQuote(*p)) {
                    *o++ = QChar(char16_t(*p++));
                    continue;
                }
                // Any other character stands for itself: the next run starts with it, so
                // a character of several bytes stays whole.
                continue;
            }
            ++p;
            *o++ = QChar(unit);
        }
        out.truncate(o - out.constData());
        _p = close + 1;
        return true;
    }

    const char* _begin;
    const char* _p;
    const char* _end;
    QString _error;
    SpellingTable<QString> _strings{size_t(_end - _begin)};
    SpellingTable<QByteArray> _data{size_t(_end - _begin)};
};

// ---------------------------------------------------------------------------------------
// Old-style text writer

class TextWriter
{
public:
    QByteArray write(const QVariant& value)
    {
        writeValue(value, 0);
        return _out; // shared, not copied
    }

private:
    void newline(int level)
    {
        _out += '\n';
        _out.append(qsizetype(level) * 4, ' ');
    }

    void writeValue(const QVariant& value, int level)
    {
        const int type = value.typeId();
        switch (type) {
        case QMetaType::QString: writeString(ref<QString>(value)); return;
        case QMetaType::QByteArray: writeData(ref<QByteArray>(value)); return;
        case QMetaType::QVariantMap: {
            const QVariantMap& map = ref<QVariantMap>(value);
            if (map.isEmpty()) {
                _out += "{}";
                return;
            }
            _out += '{';
            for (auto it = map.cbegin(); it != map.cend(); ++it)
                writeEntry(it.key(), it.value(), level + 1);
            newline(level);
            _out += '}';
            return;
        }
        case QMetaType::QVariantHash: {
            const QVariantHash& hash = ref<QVariantHash>(value);
            if (hash.isEmpty()) {
                _out += "{}";
                return;
            }
            QStringList keys = hash.keys();
            std::sort(keys.begin(), keys.end());
            _out += '{';
            for (const QString& key : std::as_const(keys))
                writeEntry(key, hash.value(key), level + 1);
            newline(level);
            _out += '}';
            return;
        }
        case QMetaType::QVariantList: writeArray(ref<QVariantList>(value), level); return;
        case QMetaType::QStringList: writeArray(ref<QStringList>(value), level); return;
        case QMetaType::Bool: _out += value.toBool() ? "YES" : "NO"; return;
        case QMetaType::Double: writeString(shortestText(value.toDouble())); return;
        case QMetaType::Float: writeString(shortestText(value.toFloat())); return;
        case QMetaType::QDateTime: {
            const QDateTime& date = ref<QDateTime>(value);
            writeString(date.isValid()
                            ? date.toUTC().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss +0000"))
                            : QString());
            return;
        }
        default: break;
        }
        if (isIntegerType(type)) {
            char buffer[24];
            std::to_chars_result result;
            if (type == QMetaType::ULongLong || type == QMetaType::ULong)
                result = std::to_chars(buffer, buffer + sizeof buffer, value.toULongLong());
            else
                result = std::to_chars(buffer, buffer + sizeof buffer, value.toLongLong());
            _out.append(buffer, result.ptr - buffer);
            return;
        }
        writeString(value.canConvert<QString>() ? value.toString() : QString());
    }

    void writeEntry(const QString& key, const QVariant& value, int level)
    {
        newline(level);
        writeString(key);
        _out += " = ";
        writeValue(value, level);
        _out += ';';
    }

    template <typename List>
    void writeArray(const List& list, int level)
    {
        if (list.isEmpty()) {
            _out += "()";
            return;
        }
        _out += '(';
        bool first = true;
        for (const auto& element : list) {
            if (!first)
                _out += ',';
            first = false;
            newline(level + 1);
            writeValue(QVariant(element), level + 1);
        }
        newline(level);
        _out += ')';
    }

    static bool needsQuotes(const char16_t* u, qsizetype n)
    {
        if (n == 0)
            return true;
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = u[i];
            if (c >= 0x80 || !isBare(char(c)))
                return true;
            // Keep a comment opener out of bare text, so no reader takes it for one.
            if (c == '/' && i + 1 < n && (u[i + 1] == '/' || u[i + 1] == '*'))
                return true;
        }
        return false;
    }

    void writeString(const QString& text)
    {
        // constData(), not utf16(): that copies every string it cannot end with a zero,
        // such as the literals most keys are.
        const auto* u = reinterpret_cast<const char16_t*>(text.constData());
        const qsizetype n = text.size();
        if (!needsQuotes(u, n)) {
            const qsizetype old = _out.size();
            _out.resize(old + n);
            char* o = _out.data() + old;
            for (qsizetype i = 0; i < n; ++i)
                o[i] = char(u[i]);
            return;
        }
        static const char digits[] = "0123456789abcdef";
        _out += '"';
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = u[i];
            if (c >= 0x20 && c < 0x7f) {
                if (c == '"' || c == '\\')
                    _out += '\\';
                _out += char(c);
                continue;
            }
            _out += '\\';
            switch (c) {
            case 0x07: _out += 'a'; break;
            case 0x08: _out += 'b'; break;
            case 0x09: _out += 't'; break;
            case 0x0a: _out += 'n'; break;
            case 0x0b: _out += 'v'; break;
            case 0x0c: _out += 'f'; break;
            case 0x0d: _out += 'r'; break;
            default:
                if (c < 0x80) {
                    const char octal[3] = {char('0' + (c >> 6)), char('0' + ((c >> 3) & 7)),
                                           char('0' + (c & 7))};
                    _out.append(octal, 3);
                } else {
                    const char escape[5] = {'U', digits[c >> 12], digits[(c >> 8) & 15],
                                            digits[(c >> 4) & 15], digits[c & 15]};
                    _out.append(escape, 5);
                }
                break;
            }
        }
        _out += '"';
    }

    void writeData(const QByteArray& data)
    {
        static const char digits[] = "0123456789abcdef";
        const qsizetype n = data.size();
        const qsizetype old = _out.size();
        // Two digits a byte, a space after every fourth byte but the last, the brackets.
        _out.resize(old + 2 * n + (n > 0 ? (n - 1) / 4 : 0) + 2);
        char* o = _out.data() + old;
        *o++ = '<';
        const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
        for (qsizetype i = 0; i < n; ++i) {
            if (i > 0 && i % 4 == 0)
                *o++ = ' ';
            *o++ = digits[bytes[i] >> 4];
            *o++ = digits[bytes[i] & 15];
        }
        *o++ = '>';
    }

    QByteArray _out;
};

// ---------------------------------------------------------------------------------------
// XML form

const QString dateFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ssZ");

// Decimal, or hexadecimal after 0x (as other writers store some numbers), with an
// optional sign.
qint64 integerText(QStringView text, bool* ok)
{
    QStringView digits = text;
    const bool negative = digits.startsWith(u'-');
    if (negative || digits.startsWith(u'+'))
        digits = digits.mid(1);
    if (!digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        return text.toLongLong(ok, 10);
    digits = digits.mid(2);
    // Digits only: toULongLong would take a second sign or white space.
    *ok = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return hexValue(char(c.unicode() < 0x80 ? c.unicode() : 0)) >= 0;
    });
    if (!*ok)
        return 0;
    const quint64 magnitude = digits.toULongLong(ok, 16);
    const quint64 limit = negative ? quint64(1) << 63 : (quint64(1) << 63) - 1;
    *ok = *ok && magnitude <= limit;
    if (!*ok)
        return 0;
    return negative ? qint64(0 - magnitude) : qint64(magnitude);
}

class XmlReader
{
public:
    explicit XmlReader(const QByteArray& xml) : _xml(xml) {}

    std::optional<QVariant> read(QString* error)
    {
        std::optional<QVariant> result = readDocument();
        if (!result && error)
            *error = _error;
        return result;
    }

private:
    bool fail(const QString& message)
    {
        _error = QStringLiteral("line %1: %2").arg(_xml.lineNumber()).arg(message);
        return false;
    }

    // Moves to the next start or end element, skipping white space, comments and the
    // document's preamble. Fails on other text and on malformed XML.
    bool next()
    {
        for (;;) {
            switch (_xml.readNext()) {
            case QXmlStreamReader::StartElement:
            case QXmlStreamReader::EndElement:
            case QXmlStreamReader::EndDocument: return true;
            case QXmlStreamReader::Characters:
                if (!_xml.isWhitespace())
                    return fail(QStringLiteral("unexpected text \"%1\"")
                                    .arg(_xml.text().trimmed().left(40)));
                break;
            case QXmlStreamReader::Invalid: return fail(_xml.errorString());
            case QXmlStreamReader::DTD:
                // Entities are how a small file expands into gigabytes of text; a
                // property list never declares any.
                if (!_xml.entityDeclarations().isEmpty()
                    || _xml.text().contains(QLatin1String("<!ENTITY")))
                    return fail(QStringLiteral("the document type declares entities, which a "
                                               "property list never uses"));
                break;
            default: break;
            }
        }
    }

    std::optional<QVariant> readDocument()
    {
        if (!next())
            return std::nullopt;
        if (!_xml.isStartElement() || _xml.name() != QLatin1String("plist")) {
            fail(QStringLiteral("not an XML property list (no <plist> element)"));
            return std::nullopt;
        }
        if (!next())
            return std::nullopt;
        if (!_xml.isStartElement()) {
            fail(QStringLiteral("the property list holds no value"));
            return std::nullopt;
        }
        QVariant value;
        if (!readValue(value, 0) || !next())
            return std::nullopt;
        if (!_xml.isEndElement()) {
            fail(QStringLiteral("more than one value in the property list"));
            return std::nullopt;
        }
        // Whatever follows </plist> must be well formed too.
        while (!_xml.atEnd()) {
            if (!next())
                return std::nullopt;
            if (_xml.isStartElement()) {
                fail(QStringLiteral("unexpected <%1> after the property list").arg(_xml.name()));
                return std::nullopt;
            }
        }
        return value;
    }

    // The reader stands on a value's start element; on success it stands on its end.
    bool readValue(QVariant& out, int depth)
    {
        const QStringView name = _xml.name();
        if (name == QLatin1String("dict") || name == QLatin1String("array")) {
            if (depth >= PropertyList::MaximumDepth)
                return fail(QStringLiteral("nesting deeper than %1 levels")
                                .arg(PropertyList::MaximumDepth));
            return name == QLatin1String("dict") ? readDictionary(out, depth + 1)
                                                 : readArray(out, depth + 1);
        }
        if (name == QLatin1String("true") || name == QLatin1String("false")) {
            const bool value = name == QLatin1String("true");
            const QString text = readText();
            if (_failed)
                return false;
            if (!text.trimmed().isEmpty())
                return fail(QStringLiteral("<%1/> holds text")
                                .arg(QLatin1String(value ? "true" : "false")));
            out = value;
            return true;
        }
        if (name == QLatin1String("string")) {
            const QString text = readText();
            if (_failed)
                return false;
            out = text;
            return true;
        }
        if (name == QLatin1String("data")) {
            QByteArray base64 = readText().toLatin1();
            if (_failed)
                return false;
            base64.replace(' ', "").replace('\t', "").replace('\n', "").replace('\r', "");
            auto decoded =
                QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded)
                return fail(QStringLiteral("bad base64 in <data>"));
            out = decoded.decoded;
            return true;
        }
        if (name == QLatin1String("integer")) {
            const QString text = readText().trimmed();
            if (_failed)
                return false;
            bool ok = false;
            const qint64 value = integerText(text, &ok);
            if (!ok)
                return fail(QStringLiteral("bad integer \"%1\"").arg(text.left(40)));
            out = value;
            return true;
        }
        if (name == QLatin1String("real")) {
            const QString text = readText().trimmed();
            if (_failed)
                return false;
            bool ok = false;
            const double value = text.toDouble(&ok);
            if (!ok)
                return fail(QStringLiteral("bad real \"%1\"").arg(text.left(40)));
            out = value;
            return true;
        }
        if (name == QLatin1String("date")) {
            const QString text = readText().trimmed();
            if (_failed)
                return false;
            const QDateTime date = QDateTime::fromString(text, Qt::ISODate);
            if (!date.isValid())
                return fail(QStringLiteral("bad date \"%1\"").arg(text.left(40)));
            // Dates are kept to the second, as they are written; a fraction goes.
            const qint64 msecs = date.toMSecsSinceEpoch();
            const qint64 seconds = msecs >= 0 ? msecs / 1000 : -((999 - msecs) / 1000);
            out = QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC);
            return true;
        }
        return fail(QStringLiteral("unknown element <%1>").arg(name));
    }

    // The text of a simple element; fails on nested elements.
    QString readText()
    {
        QString text = _xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        if (_xml.hasError()) {
            _failed = true;
            fail(_xml.errorString());
        }
        return text;
    }

    bool readDictionary(QVariant& out, int depth)
    {
        QVariantMap map;
        for (;;) {
            if (!next())
                return false;
            if (_xml.isEndElement())
                break;
            if (!_xml.isStartElement())
                return fail(QStringLiteral("unexpected end of the property list in a <dict>"));
            if (_xml.name() != QLatin1String("key"))
                return fail(
                    QStringLiteral("expected <key> in a <dict>, found <%1>").arg(_xml.name()));
            const QString key = readText();
            if (_failed || !next())
                return false;
            if (!_xml.isStartElement())
                return fail(QStringLiteral("the key \"%1\" has no value").arg(key.left(40)));
            QVariant value;
            if (!readValue(value, depth))
                return false;
            map.insert(key, value);
        }
        out = map;
        return true;
    }

    bool readArray(QVariant& out, int depth)
    {
        QVariantList list;
        for (;;) {
            if (!next())
                return false;
            if (_xml.isEndElement())
                break;
            if (!_xml.isStartElement())
                return fail(QStringLiteral("unexpected end of the property list in an <array>"));
            QVariant value;
            if (!readValue(value, depth))
                return false;
            list.append(value);
        }
        out = list;
        return true;
    }

    QXmlStreamReader _xml;
    QString _error;
    bool _failed = false;
};

class XmlWriter
{
public:
    QByteArray write(const QVariant& value)
    {
        _out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";
        writeValue(value, 0);
        _out += "</plist>\n";
        return _out;
    }

private:
    void indent(int level) { _out.append(level, '\t'); }

    void element(const char* tag, const QString& text, int level)
    {
        indent(level);
        _out += '<';
        _out += tag;
        _out += '>';
        _out += escaped(text).toUtf8();
        _out += "</";
        _out += tag;
        _out += ">\n";
    }

    // Markup characters as references; characters XML cannot carry at all (control
    // characters other than tab and line feed, U+FFFE, U+FFFF) become U+FFFD, so the
    // file always reads back. A carriage return is kept as a reference, since readers
    // turn a literal one into a line feed.
    static QString escaped(const QString& text)
    {
        QString out;
        out.reserve(text.size());
        for (const QChar c : text) {
            switch (c.unicode()) {
            case '&': out += QLatin1String("&amp;"); break;
            case '<': out += QLatin1String("&lt;"); break;
            case '>': out += QLatin1String("&gt;"); break;
            case '\r': out += QLatin1String("&#13;"); break;
            case '\t':
            case '\n': out += c; break;
            case 0xfffe:
            case 0xffff: out += QChar(QChar::ReplacementCharacter); break;
            default: out += c.unicode() < 0x20 ? QChar(QChar::ReplacementCharacter) : c; break;
            }
        }
        return out;
    }

    void writeDictionary(const QStringList& keys, const auto& valueOf, int level)
    {
        indent(level);
        if (keys.isEmpty()) {
            _out += "<dict/>\n";
            return;
        }
        _out += "<dict>\n";
        for (const QString& key : keys) {
            element("key", key, level + 1);
            writeValue(valueOf(key), level + 1);
        }
        indent(level);
        _out += "</dict>\n";
    }

    void writeValue(const QVariant& value, int level)
    {
        const int type = value.typeId();
        switch (type) {
        case QMetaType::QVariantMap: {
            const QVariantMap& map = ref<QVariantMap>(value);
            writeDictionary(
                map.keys(), [&](const QString& key) { return map.value(key); }, level);
            return;
        }
        case QMetaType::QVariantHash: {
            const QVariantHash& hash = ref<QVariantHash>(value);
            QStringList keys = hash.keys();
            std::sort(keys.begin(), keys.end());
            writeDictionary(
                keys, [&](const QString& key) { return hash.value(key); }, level);
            return;
        }
        case QMetaType::QVariantList:
        case QMetaType::QStringList: {
            const QVariantList list = value.toList();
            indent(level);
            if (list.isEmpty()) {
                _out += "<array/>\n";
                return;
            }
            _out += "<array>\n";
            for (const QVariant& element : list)
                writeValue(element, level + 1);
            indent(level);
            _out += "</array>\n";
            return;
        }
        case QMetaType::QByteArray:
            element("data", QString::fromLatin1(ref<QByteArray>(value).toBase64()), level);
            return;
        case QMetaType::Bool:
            indent(level);
            _out += value.toBool() ? "<true/>\n" : "<false/>\n";
            return;
        case QMetaType::Double: element("real", shortestText(value.toDouble()), level); return;
        case QMetaType::Float: element("real", shortestText(value.toFloat()), level); return;
        case QMetaType::QDateTime: {
            const QDateTime& date = ref<QDateTime>(value);
            if (date.isValid()) {
                element("date", date.toUTC().toString(dateFormat), level);
                return;
            }
            break;
        }
        default:
            if (isIntegerType(type)) {
                element("integer",
                        type == QMetaType::ULongLong || type == QMetaType::ULong
                            ? QString::number(value.toULongLong())
                            : QString::number(value.toLongLong()),
                        level);
                return;
            }
            break;
        }
        element("string", value.canConvert<QString>() ? value.toString() : QString(), level);
    }

    QByteArray _out;
};

bool startsWith(const char* p, const char* end, const char* prefix)
{
    const size_t n = std::strlen(prefix);
    return size_t(end - p) >= n && std::memcmp(p, prefix, n) == 0;
}

} // namespace

std::optional<QVariant> PropertyList::fromText(const QByteArray& text, QString* error)
{
    return TextReader(text).read(error);
}

std::optional<QVariant> PropertyList::fromXml(const QByteArray& xml, QString* error)
{
    return XmlReader(xml).read(error);
}

std::optional<QVariant> PropertyList::read(const QByteArray& data, QString* error)
{
    const char* p = data.constData();
    const char* end = p + data.size();
    if (startsWith(p, end, "\xEF\xBB\xBF"))
        p += 3;
    while (p < end && isSpace(*p))
        ++p;
    if (startsWith(p, end, "bplist")) {
        if (error)
            *error = QStringLiteral("line 1: binary property lists are not supported");
        return std::nullopt;
    }
    if (startsWith(p, end, "<?xml") || startsWith(p, end, "<!") || startsWith(p, end, "<plist"))
        return fromXml(data, error);
    return fromText(data, error);
}

QByteArray PropertyList::toText(const QVariant& value)
{
    return TextWriter().write(value);
}

QByteArray PropertyList::toXml(const QVariant& value)
{
    return XmlWriter().write(value);
}

} // namespace platform
