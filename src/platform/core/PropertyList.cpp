#include "platform/core/PropertyList.h"

#include "platform/core/PropertyListTree.h"
#include "platform/core/TextForms.h"
#include "platform/core/XmlParser.h"

#include <QDateTime>
#include <QHashFunctions>
#include <QLocale>
#include <QStringDecoder>
#include <QStringList>
#include <QVariantHash>
#include <QVariantList>
#include <QVariantMap>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <utility>
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

// Whether the n bytes at p and q are equal; inline, for the short spellings of keys and
// names, where a call to memcmp costs more than the comparison.
inline bool sameBytes(const char* p, const char* q, size_t n)
{
    for (; n >= 8; p += 8, q += 8, n -= 8) {
        if (load64(p) != load64(q))
            return false;
    }
    for (; n > 0; ++p, ++q, --n) {
        if (*p != *q)
            return false;
    }
    return true;
}

// The first byte after the UTF-8 byte order marks that start the text.
inline const char* afterByteOrderMarks(const char* from, const char* to)
{
    while (to - from >= 3 && std::memcmp(from, "\xEF\xBB\xBF", 3) == 0)
        from += 3;
    return from;
}

// Text that is valid UTF-8 as a QString. A byte order mark is a character like any other,
// but QString::fromUtf8 drops one at the start, so leading ones are taken here.
QString utf8Text(QByteArrayView text)
{
    const char* start = afterByteOrderMarks(text.begin(), text.end());
    if (start == text.begin())
        return QString::fromUtf8(text);
    QString result((start - text.begin()) / 3, QChar(QChar::ByteOrderMark));
    result += QString::fromUtf8(QByteArrayView(start, text.end()));
    return result;
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

    // When every spelling is a span of the one text that starts at `text`.
    SpellingTable(const char* text, size_t textSize) : SpellingTable(textSize) { _text = text; }

    const T* find(const char* from, const char* to)
    {
        if (_slots.empty())
            _slots.resize(_size);
        _slot = &_slots[hash(from, size_t(to - from)) & (_size - 1)];
        const size_t length = size_t(to - from);
        if (_slot->spelling && _slot->length == length && same(_slot->spelling, from, length))
            return &_slot->value;
        return nullptr;
    }

    // Keeps value for the spelling that find() just looked up in vain.
    const T& store(const char* from, const char* to, T value)
    {
        _slot->spelling = from;
        _slot->length = size_t(to - from);
        _slot->value = std::move(value);
        return _slot->value;
    }

private:
    struct Slot
    {
        const char* spelling = nullptr;
        size_t length = 0;
        T value;
    };

    // Whether the n bytes at p and q are equal: eight bytes a step, the last ones in one
    // load that ends with them (in the text, so never past it) where the text allows.
    bool same(const char* p, const char* q, size_t n) const
    {
        if (!_text)
            return sameBytes(p, q, n);
        const auto last = [](const char* end) { return qFromLittleEndian<quint64>(end - 8); };
        if (n >= 8) {
            for (; n > 8; p += 8, q += 8, n -= 8) {
                if (load64(p) != load64(q))
                    return false;
            }
            return last(p + n) == last(q + n);
        }
        if (n == 0)
            return true;
        if (p + n - _text < 8 || q + n - _text < 8)
            return sameBytes(p, q, n);
        return ((last(p + n) ^ last(q + n)) >> (8 * (8 - n))) == 0;
    }

    quint64 hash(const char* p, size_t n) const
    {
        // Long spellings (data: archived colours and text, a kilobyte each) through Qt's
        // hash, which takes many bytes a step; short ones inline.
        if (n > 64)
            return quint64(qHashBits(p, n));
        quint64 h = 0x9e3779b97f4a7c15ull ^ n;
        const char* const end = p + n;
        for (; n >= 8; p += 8, n -= 8) {
            h = (h ^ load64(p)) * 0xff51afd7ed558ccdull;
            h ^= h >> 32;
        }
        if (n > 0) {
            // The last n bytes as the high bytes of the eight that end the spelling, read
            // in one load (bytes before the spelling, never after, so never past the
            // text); copying them one by one to the stack and loading them back stalls.
            quint64 tail = 0;
            if (_text && end - _text >= 8) {
                tail = qFromLittleEndian<quint64>(end - 8) >> (8 * (8 - n));
            } else {
                for (size_t i = 0; i < n; ++i)
                    tail |= quint64(static_cast<unsigned char>(p[i])) << (8 * i);
            }
            h = (h ^ tail) * 0xc4ceb9fe1a85ec53ull;
        }
        return h ^ (h >> 29);
    }

    const char* _text = nullptr;
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
            // Indentation comes in long runs of spaces after a line feed: eight at a
            // time, looked for again after every other space. The position is kept in a
            // register while it runs (a byte written through a char pointer could be
            // any member's).
            const char* p = _p;
            for (;;) {
                while (_end - p >= 8 && load64(p) == 0x2020202020202020ull)
                    p += 8;
                if (p == _end || !isSpace(*p))
                    break;
                ++p;
            }
            _p = p;
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

    // A value starts at _p (_p < _end). `depth` counts the containers around it. `out`
    // may hold a value already (a repeated key's): it is replaced.
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
        default: {
            Scalar scalar;
            if (!readScalar(scalar))
                return false;
            out = scalar.variant();
            return true;
        }
        }
    }

    static bool startsContainer(char c) { return c == '{' || c == '('; }

    // A string or data value read by readScalar(), one of the two, shared.
    struct Scalar
    {
        const QString* string = nullptr;
        const QByteArray* data = nullptr;
        QVariant variant() const { return string ? QVariant(*string) : QVariant(*data); }
    };

    // The end of the run of unquoted-string characters from p.
    const char* unquotedEnd(const char* p) const
    {
        while (p < _end && isUnquoted(*p))
            ++p;
        return p;
    }

    // Entries up to the closing brace, or to the end of the text for a string table's
    // bare pairs (`open` is null then), where `key;` stands for `key = key;`.
    bool readDictionaryBody(QVariantMap& map, int depth, const char* open)
    {
        // Built in a std::map so keys and values go in without copies of the map; a
        // QVariantMap adopts it whole. Written lists are sorted, so the end is the right
        // place nearly always: a hint of the end costs one comparison. A repeated key
        // keeps its entry, and its last value.
        std::map<QString, QVariant> entries;
        // The variant made straight from the string or the bytes: a call fewer than a
        // copy of a variant, which goes through the type's table of functions.
        const auto add = [&entries](const QString& key, const Scalar& value) {
            const size_t before = entries.size();
            const auto entry = value.string
                                   ? entries.emplace_hint(entries.end(), key, *value.string)
                                   : entries.emplace_hint(entries.end(), key, *value.data);
            if (entries.size() == before)
                entry->second = value.variant();
            return entry;
        };
        QString scratch;
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
            // Valid until the next key is read.
            const QString* key = nullptr;
            if (startsString(*_p)) {
                if (!(key = readKey(scratch)))
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
                add(*key, Scalar{key, nullptr});
                continue;
            }
            if (*_p != '=')
                return fail(_p, QStringLiteral("expected '=' after the key \"%1\", found %2")
                                    .arg(*key, describeChar(*_p)));
            ++_p;
            if (!skipSpace())
                return false;
            if (_p == _end)
                return open ? failAtEnd(open, "dictionary")
                            : fail(_p, QStringLiteral("unexpected end of text after '='"));
            std::map<QString, QVariant>::iterator entry;
            if (startsContainer(*_p)) {
                // Read straight into its entry, made empty first, as the keys inside it
                // take the place of this one.
                entry = entries.emplace_hint(entries.end(), std::piecewise_construct,
                                             std::forward_as_tuple(*key), std::tuple<>());
                if (!readValue(entry->second, depth))
                    return false;
            } else {
                Scalar value;
                if (!readScalar(value))
                    return false;
                entry = add(*key, value);
            }
            if (!skipSpace())
                return false;
            if (_p < _end && *_p == ';') {
                ++_p;
            } else if (_p == _end) {
                if (open)
                    return failAtEnd(open, "dictionary");
            } else if (!(open && *_p == '}')) {
                return fail(_p, QStringLiteral("expected ';' after the value of \"%1\", found %2")
                                    .arg(entry->first, describeChar(*_p)));
            }
        }
        map = QVariantMap(std::move(entries));
        return true;
    }

    bool readArray(QVariantList& list, int depth)
    {
        const char* open = _p++;
        for (;;) {
            if (!skipSpace())
                return false;
            if (_p == _end)
                return failAtEnd(open, "array");
            if (*_p == ')') {
                ++_p;
                return true;
            }
            if (startsContainer(*_p)) {
                // Read in place: the element stays where it is while the values inside
                // it go into containers of their own.
                if (!readValue(list.emplaceBack(), depth))
                    return false;
            } else {
                Scalar value;
                if (!readScalar(value))
                    return false;
                if (value.string)
                    list.emplaceBack(*value.string);
                else
                    list.emplaceBack(*value.data);
            }
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

    // The spelling of a string or key at _p, quoted or not, without its quotes: [from, to),
    // plain when it needs no decoding (ASCII, no escapes). _p goes past it.
    bool readSpelling(const char*& from, const char*& to, bool& plain)
    {
        plain = true;
        if (isQuote(*_p)) {
            if (!findClosingQuote(to, plain))
                return false;
            from = _p;
            _p = to + 1;
        } else {
            from = _p;
            _p = unquotedEnd(_p);
            to = _p;
        }
        return true;
    }

    // A string or data block at _p: the value shared by every one spelt alike (quoted
    // or not), valid until the next value is read; the variants share its text or bytes,
    // decoded once.
    bool readScalar(Scalar& out)
    {
        if (*_p == '<')
            return readData(out);
        if (!startsString(*_p))
            return fail(_p, QStringLiteral("unexpected %1").arg(describeChar(*_p)));
        const char* from;
        const char* to;
        bool plain;
        if (!readSpelling(from, to, plain))
            return false;
        out = Scalar();
        if ((out.string = _strings.find(from, to)))
            return true;
        QString text;
        if (plain)
            text = QString::fromLatin1(from, to - from);
        else if (!decodeQuoted(from, to, text))
            return false;
        out.string = &_strings.store(from, to, std::move(text));
        return true;
    }

    bool readData(Scalar& out)
    {
        const char* open = _p++;
        const void* found = std::memchr(_p, '>', size_t(_end - _p));
        if (!found)
            return fail(open, QStringLiteral("unterminated data block"));
        const char* close = static_cast<const char*>(found);
        out = Scalar();
        if ((out.data = _data.find(_p, close))) {
            _p = close + 1;
            return true;
        }
        QByteArray data((close - _p) / 2, Qt::Uninitialized);
        char* o = data.data();
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
        data.truncate(o - data.data());
        out.data = &_data.store(_p, close, std::move(data));
        _p = close + 1;
        return true;
    }

    // A dictionary key: the one shared by every key spelt alike, quoted or not, valid
    // until the next key is read; or, when it is new, `scratch` holding it. Null on
    // failure.
    const QString* readKey(QString& scratch)
    {
        const char* from;
        const char* to;
        bool plain;
        if (!readSpelling(from, to, plain))
            return nullptr;
        if (const QString* shared = _keys.find(from, to))
            return shared;
        if (plain)
            scratch = QString::fromLatin1(from, to - from);
        else if (!decodeQuoted(from, to, scratch))
            return nullptr;
        return &_keys.store(from, to, scratch);
    }

    // A string at the top of the text (not shared).
    bool readString(QString& out)
    {
        const char* from;
        const char* to;
        bool plain;
        if (!readSpelling(from, to, plain))
            return false;
        if (plain) {
            out = QString::fromLatin1(from, to - from);
            return true;
        }
        return decodeQuoted(from, to, out);
    }

    // The bytes are UTF-8. A byte order mark among them is a character like any other,
    // but the stateless decoder drops one at the start of what it is given, so leading
    // ones are taken here.
    bool decodeUtf8(const char* from, const char* to, QChar*& out)
    {
        for (const char* text = afterByteOrderMarks(from, to); from < text; from += 3)
            *out++ = QChar(QChar::ByteOrderMark);
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        out = decoder.appendToBuffer(out, QByteArrayView(from, to - from));
        if (decoder.hasError())
            return fail(from, QStringLiteral("a quoted string is not valid UTF-8"));
        return true;
    }

    // A quoted string opens at _p: finds its closing quote, the first one no backslash
    // escapes, and moves _p past the opening one. `plain` tells whether the string is
    // its bytes as they stand (ASCII, no escapes). A backslash before a character that is
    // no escape stands for that character itself.
    bool findClosingQuote(const char*& close, bool& plain)
    {
        const char quote = *_p;
        const char* open = _p++;
        constexpr quint64 ones = 0x0101010101010101ull;
        const quint64 quotes = ones * static_cast<unsigned char>(quote);
        const quint64 backslashes = ones * static_cast<unsigned char>('\\');
        // Whether a byte of v is zero (exact as to whether, not as to which).
        const auto anyZero = [](quint64 v) { return (v - ones) & ~v & 0x8080808080808080ull; };
        bool escaped = false;
        quint64 bits = 0; // every byte passed, or'ed: the high bits tell ASCII
        const char* q = _p;
        for (;;) {
            // Eight bytes a step while none is a quote or a backslash, in one pass that
            // also gathers the bits.
            while (_end - q >= 8) {
                const quint64 v = load64(q);
                if (anyZero(v ^ quotes) | anyZero(v ^ backslashes))
                    break;
                bits |= v;
                q += 8;
            }
            if (q == _end)
                return fail(open, QStringLiteral("unterminated quoted string"));
            const char c = *q;
            if (c == quote)
                break;
            if (c == '\\') {
                escaped = true;
                if (_end - q <= 2)
                    return fail(open, QStringLiteral("unterminated quoted string"));
                q += 2;
                continue;
            }
            bits |= static_cast<unsigned char>(c);
            ++q;
        }
        close = q;
        plain = !escaped && !(bits & 0x8080808080808080ull);
        return true;
    }

    // The characters of a quoted string between its quotes, with escapes or other than
    // ASCII.
    bool decodeQuoted(const char* from, const char* close, QString& out)
    {
        // Every byte gives at most one UTF-16 unit, so the text's length bounds the result.
        out.resize(close - from);
        QChar* o = out.data();
        const char* p = from;
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
        return true;
    }

    const char* _begin;
    const char* _p;
    const char* _end;
    QString _error;
    SpellingTable<QString> _keys{_begin, size_t(_end - _begin)};
    // Values: strings by their spelling within the quotes or without, data by theirs
    // within the brackets.
    SpellingTable<QString> _strings{_begin, size_t(_end - _begin)};
    SpellingTable<QByteArray> _data{_begin, size_t(_end - _begin)};
};

// ---------------------------------------------------------------------------------------
// Old-style text writer

// The two hex digits of each byte.
struct HexPairs
{
    char pairs[256][2] = {};

    constexpr HexPairs()
    {
        constexpr char digits[] = "0123456789abcdef";
        for (int b = 0; b < 256; ++b) {
            pairs[b][0] = digits[b >> 4];
            pairs[b][1] = digits[b & 15];
        }
    }
};

constexpr HexPairs hexPairs;

} // namespace

class PropertyListTextWriter
{
public:
    QByteArray write(const QVariant& value)
    {
        writeValue(value, 0);
        return text();
    }

    // The text written so far.
    QByteArray text()
    {
        _out.resize(_p - _begin); // within the buffer: nothing moves
        return _out;              // shared, not copied
    }

    // The text is written through a cursor into a buffer grown ahead of it, each piece
    // checked against its end once: QByteArray's own appends, a call and checks for each
    // few bytes, cost more than writing them.
    void put(char c)
    {
        reserve(1);
        *_p++ = c;
    }

    void put(const char* text, qsizetype n)
    {
        reserve(n);
        std::memcpy(_p, text, size_t(n));
        _p += n;
    }

    void put(const char* text) { put(text, qsizetype(std::strlen(text))); }

    void newline(int level)
    {
        const qsizetype n = 1 + qsizetype(level) * 4;
        reserve(n);
        *_p = '\n';
        std::memset(_p + 1, ' ', size_t(n - 1));
        _p += n;
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
                put("{}");
                return;
            }
            put('{');
            for (auto it = map.cbegin(); it != map.cend(); ++it)
                writeEntry(it.key(), it.value(), level + 1);
            newline(level);
            put('}');
            return;
        }
        case QMetaType::QVariantHash: {
            const QVariantHash& hash = ref<QVariantHash>(value);
            if (hash.isEmpty()) {
                put("{}");
                return;
            }
            QStringList keys = hash.keys();
            std::sort(keys.begin(), keys.end());
            put('{');
            for (const QString& key : std::as_const(keys))
                writeEntry(key, hash.value(key), level + 1);
            newline(level);
            put('}');
            return;
        }
        case QMetaType::QVariantList: writeArray(ref<QVariantList>(value), level); return;
        case QMetaType::QStringList: writeArray(ref<QStringList>(value), level); return;
        case QMetaType::Bool: put(value.toBool() ? "YES" : "NO"); return;
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
            put(buffer, result.ptr - buffer);
            return;
        }
        writeString(value.canConvert<QString>() ? value.toString() : QString());
    }

private:
    void writeEntry(const QString& key, const QVariant& value, int level)
    {
        newline(level);
        writeString(key);
        put(" = ");
        writeValue(value, level);
        put(';');
    }

    template <typename List>
    void writeArray(const List& list, int level)
    {
        if (list.isEmpty()) {
            put("()");
            return;
        }
        put('(');
        bool first = true;
        for (const auto& element : list) {
            if (!first)
                put(',');
            first = false;
            newline(level + 1);
            writeValue(QVariant(element), level + 1);
        }
        newline(level);
        put(')');
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

public:
    void writeString(const QString& text)
    {
        // constData(), not utf16(): that copies every string it cannot end with a zero,
        // such as the literals most keys are.
        const auto* u = reinterpret_cast<const char16_t*>(text.constData());
        const qsizetype n = text.size();
        if (!needsQuotes(u, n)) {
            reserve(n);
            for (qsizetype i = 0; i < n; ++i)
                _p[i] = char(u[i]);
            _p += n;
            return;
        }
        static const char digits[] = "0123456789abcdef";
        put('"');
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = u[i];
            if (c >= 0x20 && c < 0x7f) {
                if (c == '"' || c == '\\')
                    put('\\');
                put(char(c));
                continue;
            }
            put('\\');
            switch (c) {
            case 0x07: put('a'); break;
            case 0x08: put('b'); break;
            case 0x09: put('t'); break;
            case 0x0a: put('n'); break;
            case 0x0b: put('v'); break;
            case 0x0c: put('f'); break;
            case 0x0d: put('r'); break;
            default:
                if (c < 0x80) {
                    const char octal[3] = {char('0' + (c >> 6)), char('0' + ((c >> 3) & 7)),
                                           char('0' + (c & 7))};
                    put(octal, 3);
                } else {
                    const char escape[5] = {'U', digits[c >> 12], digits[(c >> 8) & 15],
                                            digits[(c >> 4) & 15], digits[c & 15]};
                    put(escape, 5);
                }
                break;
            }
        }
        put('"');
    }

private:
    void writeData(const QByteArray& data)
    {
        const qsizetype n = data.size();
        // Two digits a byte, a space after every fourth byte but the last, the brackets.
        reserve(2 * n + (n > 0 ? (n - 1) / 4 : 0) + 2);
        char* o = _p;
        *o++ = '<';
        const auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
        qsizetype i = 0;
        // Whole groups of four bytes: eight digits and the space after them.
        for (; n - i > 4; i += 4) {
            for (int k = 0; k < 4; ++k)
                std::memcpy(o + 2 * k, hexPairs.pairs[bytes[i + k]], 2);
            o[8] = ' ';
            o += 9;
        }
        for (; i < n; ++i) {
            std::memcpy(o, hexPairs.pairs[bytes[i]], 2);
            o += 2;
        }
        *o++ = '>';
        _p = o;
    }

    void reserve(qsizetype n)
    {
        if (_end - _p < n)
            grow(n);
    }

    void grow(qsizetype n)
    {
        const qsizetype used = _p - _begin;
        const qsizetype size =
            std::max({used + n, qsizetype(2 * (_end - _begin)), qsizetype(4096)});
        _out.resize(size);
        _begin = _out.data();
        _p = _begin + used;
        _end = _begin + size;
    }

    QByteArray _out;
    char* _begin = nullptr;
    char* _p = nullptr;
    char* _end = nullptr;
};

namespace {

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

bool isXmlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isXmlSpace(QByteArrayView text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return isXmlSpace(c); });
}

// The text of a simple element as the reader used to take it: trimmed of all Unicode
// white space.
QString trimmedText(QByteArrayView text)
{
    return utf8Text(text).trimmed();
}

std::optional<qint64> integerValue(QByteArrayView text)
{
    // Plain decimal digits that cannot overflow, straight from the bytes.
    const qsizetype sign = !text.isEmpty() && text[0] == '-' ? 1 : 0;
    if (text.size() > sign && text.size() - sign <= 18
        && std::all_of(text.begin() + sign, text.end(),
                       [](char c) { return c >= '0' && c <= '9'; })) {
        qint64 value = 0;
        for (const char c : text.sliced(sign))
            value = value * 10 + (c - '0');
        return sign ? -value : value;
    }
    bool ok = false;
    const qint64 value = integerText(trimmedText(text), &ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

std::optional<double> realValue(QByteArrayView text)
{
    // A plain decimal number: from_chars rounds it as Qt does (correctly); anything else
    // (white space, "inf", a leading '+', out of range) is Qt's to read.
    const auto digits = [&](qsizetype& i) {
        const qsizetype from = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        return i > from;
    };
    qsizetype i = !text.isEmpty() && text[0] == '-' ? 1 : 0;
    bool plain = digits(i);
    if (plain && i < text.size() && text[i] == '.')
        plain = digits(++i);
    if (plain && i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+'))
            ++i;
        plain = digits(i);
    }
    if (plain && i == text.size()) {
        double value = 0;
        const auto result = std::from_chars(text.begin(), text.end(), value);
        if (result.ec == std::errc() && result.ptr == text.end() && std::isfinite(value))
            return value;
    }
    bool ok = false;
    const double value = trimmedText(text).toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

} // namespace

// Builds the tree of a property list from the events of its XML form, which come from
// expat (XmlParser) or from the direct reader of plain documents below; both give the
// same events for the same document. An event returns false when the document is no
// property list, with the reason in error().
class XmlPropertyListBuilder
{
public:
    explicit XmlPropertyListBuilder(qsizetype documentSize) : _spellings(size_t(documentSize))
    {
        // Plain documents take some 40 bytes a value (but data may take megabytes).
        _tree._nodes.reserve(size_t(std::min<qsizetype>(documentSize / 48 + 1, 1 << 16)));
    }

    const QString& error() const { return _error; }

    bool startElement(QByteArrayView name)
    {
        if (_text != Element::None)
            return fail(QStringLiteral("unexpected <%1> in <%2>")
                            .arg(QString::fromUtf8(name), QLatin1String(elementName(_text))));
        if (!noStrayText())
            return false;
        const Element element = elementOf(name);
        if (_state == State::BeforePlist) {
            if (element != Element::Plist)
                return fail(QStringLiteral("not an XML property list (no <plist> element)"));
            _state = State::InPlist;
            return true;
        }
        if (_open.empty()) {
            if (_state != State::InPlist)
                return fail(QStringLiteral("more than one value in the property list"));
        } else if (Container& open = _open.back(); open.dictionary && open.key < 0) {
            if (element != Element::Key)
                return fail(QStringLiteral("expected <key> in a <dict>, found <%1>")
                                .arg(QString::fromUtf8(name)));
            startText(Element::Key);
            return true;
        }
        switch (element) {
        case Element::Dict:
        case Element::Array: {
            if (_open.size() >= size_t(PropertyList::MaximumDepth))
                return fail(QStringLiteral("nesting deeper than %1 levels")
                                .arg(PropertyList::MaximumDepth));
            const bool dictionary = element == Element::Dict;
            const size_t index = _tree._nodes.size();
            Node node;
            node.kind = dictionary ? Node::Dictionary : Node::Array;
            if (!add(node))
                return false;
            _open.push_back(Container{index, dictionary});
            return true;
        }
        case Element::String:
        case Element::Data:
        case Element::Integer:
        case Element::Real:
        case Element::Date:
        case Element::True:
        case Element::False: startText(element); return true;
        default: return fail(QStringLiteral("unknown element <%1>").arg(QString::fromUtf8(name)));
        }
    }

    bool endElement()
    {
        if (_text != Element::None)
            return endText();
        if (!noStrayText())
            return false;
        if (_open.empty()) {
            if (_state == State::InPlist)
                return fail(QStringLiteral("the property list holds no value"));
            _state = State::Done;
            return true;
        }
        const Container& open = _open.back();
        if (open.key >= 0)
            return fail(QStringLiteral("the key \"%1\" has no value")
                            .arg(_tree._strings[size_t(open.key)].left(40)));
        _tree._nodes[open.index].size = qint32(_tree._nodes.size() - open.index);
        _open.pop_back();
        return true;
    }

    // A piece of text; `stable` when it is a span of the document that outlives the read.
    bool characters(QByteArrayView text, bool stable)
    {
        if (_text == Element::None) {
            // Between elements only white space may stand; anything else is reported at
            // the next tag, where the old reader's line numbers put it too.
            if (!_stray.isEmpty() || !isXmlSpace(text))
                _stray.append(text.first(std::min<qsizetype>(text.size(), 256 - _stray.size())));
            return true;
        }
        if (_pieces == 0 && stable) {
            _textView = text;
        } else {
            if (_pieces == 0)
                _buffer.resize(0);
            else if (_pieces == 1 && _stable)
                _buffer = _textView.toByteArray();
            _buffer.append(text);
            _textView = QByteArrayView(_buffer);
            stable = false;
        }
        _stable = stable;
        ++_pieces;
        return true;
    }

    // The tree, once the document has ended.
    std::optional<PropertyListTree> result()
    {
        if (_state != State::Done)
            return std::nullopt;
        return std::move(_tree);
    }

private:
    using Node = PropertyListTree::Node;
    enum class Element {
        None,
        Plist,
        Dict,
        Array,
        Key,
        String,
        Data,
        Integer,
        Real,
        Date,
        True,
        False,
        Other
    };
    enum class State { BeforePlist, InPlist, HasValue, Done };

    struct Container
    {
        size_t index = 0; // of its node
        bool dictionary = false;
        qint32 key = -1; // the key read, waiting for its value
    };

    static const char* elementName(Element element)
    {
        switch (element) {
        case Element::Plist: return "plist";
        case Element::Dict: return "dict";
        case Element::Array: return "array";
        case Element::Key: return "key";
        case Element::String: return "string";
        case Element::Data: return "data";
        case Element::Integer: return "integer";
        case Element::Real: return "real";
        case Element::Date: return "date";
        case Element::True: return "true";
        case Element::False: return "false";
        default: return "";
        }
    }

    static Element elementOf(QByteArrayView name)
    {
        static constexpr Element elements[] = {Element::Plist,   Element::Dict,   Element::Array,
                                               Element::Key,     Element::String, Element::Data,
                                               Element::Integer, Element::Real,   Element::Date,
                                               Element::True,    Element::False};
        for (const Element element : elements) {
            const char* spelling = elementName(element);
            if (!name.isEmpty() && name[0] == spelling[0]
                && name.size() == qsizetype(std::strlen(spelling))
                && sameBytes(name.data(), spelling, size_t(name.size())))
                return element;
        }
        return Element::Other;
    }

    bool fail(const QString& message)
    {
        _error = message;
        return false;
    }

    bool noStrayText()
    {
        if (_stray.isEmpty())
            return true;
        return fail(QStringLiteral("unexpected text \"%1\"").arg(trimmedText(_stray).left(40)));
    }

    void startText(Element element)
    {
        _text = element;
        _pieces = 0;
        _stable = false;
        _textView = QByteArrayView();
    }

    // The index of text in the tree's strings: one string for all its spellings in the
    // document, as far as the table of spellings remembers them.
    qint32 string(QByteArrayView text)
    {
        const bool shared = _stable && !text.isEmpty() && text.size() <= 64;
        if (shared) {
            if (const qint32* index = _spellings.find(text.begin(), text.end()))
                return *index;
        }
        const auto index = qint32(_tree._strings.size());
        _tree._strings.push_back(utf8Text(text));
        if (shared)
            _spellings.store(text.begin(), text.end(), index);
        return index;
    }

    // The value of the text element that ends here.
    bool endText()
    {
        const Element element = std::exchange(_text, Element::None);
        const QByteArrayView text = _textView;
        switch (element) {
        case Element::Key: _open.back().key = string(text); return true;
        case Element::String: {
            Node node;
            node.kind = Node::String;
            node.index = string(text);
            return add(node);
        }
        case Element::Data: {
            QByteArray base64;
            base64.reserve(text.size());
            for (const char c : text) {
                if (!isXmlSpace(c))
                    base64 += c;
            }
            auto decoded =
                QByteArray::fromBase64Encoding(base64, QByteArray::AbortOnBase64DecodingErrors);
            if (!decoded)
                return fail(QStringLiteral("bad base64 in <data>"));
            return addOther(Node::Data, std::move(decoded.decoded));
        }
        case Element::Integer: {
            const std::optional<qint64> value = integerValue(text);
            if (!value)
                return fail(QStringLiteral("bad integer \"%1\"").arg(trimmedText(text).left(40)));
            Node node;
            node.kind = Node::Integer;
            node.integer = *value;
            return add(node);
        }
        case Element::Real: {
            const std::optional<double> value = realValue(text);
            if (!value)
                return fail(QStringLiteral("bad real \"%1\"").arg(trimmedText(text).left(40)));
            Node node;
            node.kind = Node::Real;
            node.real = *value;
            return add(node);
        }
        case Element::Date: {
            const QString date = trimmedText(text);
            const QDateTime value = QDateTime::fromString(date, Qt::ISODate);
            if (!value.isValid())
                return fail(QStringLiteral("bad date \"%1\"").arg(date.left(40)));
            // Dates are kept to the second, as they are written; a fraction goes.
            const qint64 msecs = value.toMSecsSinceEpoch();
            const qint64 seconds = msecs >= 0 ? msecs / 1000 : -((999 - msecs) / 1000);
            return addOther(Node::Date, QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC));
        }
        case Element::True:
        case Element::False: {
            if (!isXmlSpace(text) && !trimmedText(text).isEmpty())
                return fail(
                    QStringLiteral("<%1/> holds text").arg(QLatin1String(elementName(element))));
            Node node;
            node.kind = Node::Boolean;
            node.boolean = element == Element::True;
            return add(node);
        }
        default: Q_UNREACHABLE(); return false;
        }
    }

    bool addOther(Node::Kind kind, QVariant&& value)
    {
        Node node;
        node.kind = kind;
        node.index = qint32(_tree._others.size());
        _tree._others.push_back(std::move(value));
        return add(node);
    }

    // A new value: the plist's, or the next in the container around it.
    bool add(Node node)
    {
        // Indices are 32 bits wide; a document of this many values would be tens of
        // gigabytes.
        if (_tree._nodes.size() >= size_t(std::numeric_limits<qint32>::max() / 4))
            return fail(QStringLiteral("too many values"));
        if (_open.empty()) {
            _state = State::HasValue;
        } else {
            Container& open = _open.back();
            ++_tree._nodes[open.index].count;
            if (open.dictionary)
                node.key = std::exchange(open.key, -1);
        }
        _tree._nodes.push_back(node);
        return true;
    }

    SpellingTable<qint32> _spellings;
    State _state = State::BeforePlist;
    PropertyListTree _tree;
    std::vector<Container> _open; // the open containers, innermost last
    // The open text element, and its text so far: a span of the document while it comes
    // in one stable piece, else collected in the buffer.
    Element _text = Element::None;
    int _pieces = 0;
    bool _stable = false;
    QByteArrayView _textView;
    QByteArray _buffer;
    QByteArray _stray; // text other than white space between elements
    QString _error;
};

namespace {

// The reader through expat: any document, and the one that reports errors.
class ExpatPropertyListReader : public XmlParser
{
public:
    explicit ExpatPropertyListReader(QByteArrayView xml) : _xml(xml), _builder(xml.size()) {}

    std::optional<PropertyListTree> read(QString* error)
    {
        if (parse(_xml)) {
            if (std::optional<PropertyListTree> tree = _builder.result())
                return tree;
        }
        if (error)
            *error = QStringLiteral("line %1: %2").arg(errorLine()).arg(errorMessage());
        return std::nullopt;
    }

private:
    void startElement(QByteArrayView name, const XmlAttributes&) override
    {
        if (!_builder.startElement(name))
            abort(_builder.error());
    }

    void endElement(QByteArrayView) override
    {
        if (!_builder.endElement())
            abort(_builder.error());
    }

    void characters(QByteArrayView text) override
    {
        if (!_builder.characters(text, false))
            abort(_builder.error());
    }

    QByteArrayView _xml;
    XmlPropertyListBuilder _builder;
};

// The bytes of XML text for the plain reader below: those that need no second look
// (printable ASCII but for & < >), white space, and the rest.
enum : unsigned char { PlainText = 0, SpaceText = 1, SpecialText = 2 };

struct XmlTextTable
{
    unsigned char kind[256] = {};
    constexpr XmlTextTable()
    {
        for (int c = 0; c < 256; ++c)
            kind[c] =
                c < 0x20 || c >= 0x7f || c == '&' || c == '<' || c == '>' ? SpecialText : PlainText;
        kind[int('\t')] = kind[int('\n')] = kind[int(' ')] = SpaceText;
    }
};

constexpr XmlTextTable xmlText;

inline unsigned char xmlTextKind(char c)
{
    return xmlText.kind[static_cast<unsigned char>(c)];
}

// Reads the plain XML that writers of property lists produce straight from the bytes, in
// about a third of the time expat takes only to tokenize it: an XML declaration of version 1.0 in UTF-8 (or none),
// elements with simple attributes, text in UTF-8 with the predefined entities and
// character references, white space between them. It gives up on anything else (a
// document type, comments, CDATA, processing instructions, carriage returns, other
// encodings, names outside ASCII) and on every error, plain XML or property list; the
// document is then read through expat, which decides and reports. So this reader only ever
// accepts well-formed documents, and hands the builder the events expat would.
class PlainXmlReader
{
public:
    PlainXmlReader(QByteArrayView xml, XmlPropertyListBuilder& builder)
        : _p(xml.begin()), _end(xml.end()), _builder(builder)
    {}

    bool read()
    {
        static constexpr QByteArrayView declarations[] = {
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
            "<?xml version=\"1.0\" encoding=\"utf-8\"?>",
            "<?xml version=\"1.0\"?>",
        };
        skip("\xEF\xBB\xBF");
        if (QByteArrayView(_p, _end).startsWith("<?")) {
            if (std::none_of(std::begin(declarations), std::end(declarations),
                             [this](QByteArrayView d) { return skip(d); }))
                return false;
        }
        skipSpace();
        if (!element())
            return false;
        skipSpace();
        return _p == _end;
    }

private:
    static bool isNameChar(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
               || c == '_' || c == ':' || c == '.' || c == '-';
    }

    static bool isNameStart(char c)
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
    }

    bool skip(QByteArrayView literal)
    {
        const qsizetype n = literal.size();
        if (_end - _p < n || !sameBytes(_p, literal.data(), size_t(n)))
            return false;
        _p += n;
        return true;
    }

    bool skip(char c)
    {
        if (_p == _end || *_p != c)
            return false;
        ++_p;
        return true;
    }

    // White space outside text: no carriage returns (line ends would need normalising).
    bool skipSpace()
    {
        const char* from = _p;
        while (_p < _end && (*_p == ' ' || *_p == '\n' || *_p == '\t'))
            ++_p;
        return _p > from;
    }

    QByteArrayView name()
    {
        const char* from = _p;
        if (_p == _end || !isNameStart(*_p))
            return QByteArrayView();
        while (++_p < _end && isNameChar(*_p)) {
        }
        return QByteArrayView(from, _p);
    }

    // One element and everything in it, from its '<'. Nesting is bounded by the builder,
    // which refuses containers deeper than the property list's limit and any element in
    // a text element.
    bool element()
    {
        if (!skip('<'))
            return false;
        const QByteArrayView tag = name();
        if (tag.isEmpty() || !attributes() || !_builder.startElement(tag))
            return false;
        if (skip("/>"))
            return _builder.endElement();
        if (!skip('>'))
            return false;
        for (;;) {
            if (!characters())
                return false;
            if (skip("</")) {
                const QByteArrayView end = name();
                if (end.size() != tag.size()
                    || !sameBytes(end.data(), tag.data(), size_t(tag.size())))
                    return false;
                skipSpace();
                return skip('>') && _builder.endElement();
            }
            if (!element())
                return false;
        }
    }

    // Attributes of simple values in double or single quotes (printable ASCII, no
    // references), each named once; the builder needs none of them.
    bool attributes()
    {
        std::array<QByteArrayView, 4> names;
        size_t count = 0;
        while (skipSpace()) {
            if (_p < _end && (*_p == '>' || *_p == '/'))
                return true;
            const QByteArrayView attribute = name();
            if (attribute.isEmpty() || count == names.size()
                || std::find(names.begin(), names.begin() + count, attribute)
                       != names.begin() + count)
                return false;
            names[count++] = attribute;
            skipSpace();
            if (!skip('='))
                return false;
            skipSpace();
            if (_p == _end || (*_p != '"' && *_p != '\''))
                return false;
            const char quote = *_p++;
            while (_p < _end && *_p != quote) {
                if (xmlTextKind(*_p) != PlainText && *_p != ' ' && *_p != '>')
                    return false;
                ++_p;
            }
            if (_p++ == _end)
                return false;
        }
        return true;
    }

    // The text up to the next '<', handed to the builder: as a span of the document when
    // it holds no references, else decoded.
    bool characters()
    {
        const char* from = _p;
        const char* copied = from; // what lies before is in _decoded, once decoding
        bool decoding = false;
        for (;;) {
            while (_p < _end && xmlTextKind(*_p) != SpecialText)
                ++_p;
            if (_p == _end)
                return false;
            const auto c = static_cast<unsigned char>(*_p);
            if (c == '<')
                break;
            if (c == '>') {
                // "]]>" may not stand in text.
                if (_p - from >= 2 && _p[-1] == ']' && _p[-2] == ']')
                    return false;
                ++_p;
            } else if (c >= 0x80) {
                if (!utf8Character())
                    return false;
            } else if (c == '&') {
                if (!decoding) {
                    _decoded.resize(0);
                    decoding = true;
                }
                _decoded.append(QByteArrayView(copied, _p));
                if (!reference())
                    return false;
                copied = _p;
            } else {
                return false; // control characters and carriage returns
            }
        }
        if (decoding) {
            _decoded.append(QByteArrayView(copied, _p));
            return _builder.characters(QByteArrayView(_decoded), false);
        }
        return _p == from || _builder.characters(QByteArrayView(from, _p), true);
    }

    // A reference, from its '&': a predefined entity or a character reference to a
    // character XML allows, appended to _decoded in UTF-8.
    bool reference()
    {
        static constexpr std::pair<QByteArrayView, char> entities[] = {
            {"&lt;", '<'}, {"&gt;", '>'}, {"&amp;", '&'}, {"&quot;", '"'}, {"&apos;", '\''}};
        for (const auto& [entity, character] : entities) {
            if (skip(entity)) {
                _decoded.append(character);
                return true;
            }
        }
        if (!skip("&#"))
            return false;
        const bool hex = skip('x');
        char32_t value = 0;
        const char* digits = _p;
        for (; _p < _end && *_p != ';'; ++_p) {
            const int digit = hex ? hexValue(*_p) : *_p >= '0' && *_p <= '9' ? *_p - '0' : -1;
            if (digit < 0)
                return false;
            value = value * (hex ? 16 : 10) + char32_t(digit);
            if (value > 0x10ffff)
                return false;
        }
        if (_p == digits || !skip(';'))
            return false;
        const bool allowed = value == 0x9 || value == 0xa || value == 0xd
                             || (value >= 0x20 && value <= 0xd7ff)
                             || (value >= 0xe000 && value <= 0xfffd) || value >= 0x10000;
        if (!allowed)
            return false;
        char utf8[4];
        int n = 0;
        if (value < 0x80) {
            utf8[n++] = char(value);
        } else if (value < 0x800) {
            utf8[n++] = char(0xc0 | value >> 6);
            utf8[n++] = char(0x80 | (value & 0x3f));
        } else if (value < 0x10000) {
            utf8[n++] = char(0xe0 | value >> 12);
            utf8[n++] = char(0x80 | ((value >> 6) & 0x3f));
            utf8[n++] = char(0x80 | (value & 0x3f));
        } else {
            utf8[n++] = char(0xf0 | value >> 18);
            utf8[n++] = char(0x80 | ((value >> 12) & 0x3f));
            utf8[n++] = char(0x80 | ((value >> 6) & 0x3f));
            utf8[n++] = char(0x80 | (value & 0x3f));
        }
        _decoded.append(utf8, n);
        return true;
    }

    // One UTF-8 sequence of a character XML allows: no overlong forms, surrogates, U+FFFE
    // or U+FFFF.
    bool utf8Character()
    {
        const auto* u = reinterpret_cast<const unsigned char*>(_p);
        const qsizetype left = _end - _p;
        const auto continues = [&](qsizetype i, unsigned char low = 0x80,
                                   unsigned char high = 0xbf) {
            return i < left && u[i] >= low && u[i] <= high;
        };
        qsizetype length = 0;
        if (u[0] >= 0xc2 && u[0] <= 0xdf) {
            length = continues(1) ? 2 : 0;
        } else if (u[0] >= 0xe0 && u[0] <= 0xef) {
            const bool second = u[0] == 0xe0   ? continues(1, 0xa0)
                                : u[0] == 0xed ? continues(1, 0x80, 0x9f)
                                               : continues(1);
            length = second && continues(2) ? 3 : 0;
            if (length && u[0] == 0xef && u[1] == 0xbf && u[2] >= 0xbe)
                length = 0;
        } else if (u[0] >= 0xf0 && u[0] <= 0xf4) {
            const bool second = u[0] == 0xf0   ? continues(1, 0x90)
                                : u[0] == 0xf4 ? continues(1, 0x80, 0x8f)
                                               : continues(1);
            length = second && continues(2) && continues(3) ? 4 : 0;
        }
        _p += length;
        return length > 0;
    }

    const char* _p;
    const char* _end;
    XmlPropertyListBuilder& _builder;
    QByteArray _decoded;
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
        appendEscaped(text);
        _out += "</";
        _out += tag;
        _out += ">\n";
    }

    // Text of nothing but ASCII that needs no reference, as most is, goes straight in.
    void appendEscaped(const QString& text)
    {
        const auto* u = reinterpret_cast<const char16_t*>(text.constData());
        const qsizetype n = text.size();
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = u[i];
            if (c >= 0x7f || c == '&' || c == '<' || c == '>'
                || (c < 0x20 && c != '\t' && c != '\n')) {
                _out += escaped(text).toUtf8();
                return;
            }
        }
        const qsizetype old = _out.size();
        _out.resize(old + n);
        char* o = _out.data() + old;
        for (qsizetype i = 0; i < n; ++i)
            o[i] = char(u[i]);
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
            // In the map's own order, which is the keys' sorted order, without looking each
            // up again.
            const QVariantMap& map = ref<QVariantMap>(value);
            indent(level);
            if (map.isEmpty()) {
                _out += "<dict/>\n";
                return;
            }
            _out += "<dict>\n";
            for (auto entry = map.cbegin(); entry != map.cend(); ++entry) {
                element("key", entry.key(), level + 1);
                writeValue(entry.value(), level + 1);
            }
            indent(level);
            _out += "</dict>\n";
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

std::optional<PropertyListTree> PropertyListTree::fromXml(const QByteArray& xml, QString* error)
{
    {
        XmlPropertyListBuilder builder(xml.size());
        if (PlainXmlReader(xml, builder).read()) {
            if (std::optional<PropertyListTree> tree = builder.result())
                return tree;
        }
    }
    return ExpatPropertyListReader(xml).read(error);
}

std::optional<PropertyListTree> PropertyListTree::fromXmlThroughExpat(const QByteArray& xml,
                                                                      QString* error)
{
    return ExpatPropertyListReader(xml).read(error);
}

int PropertyListTree::Value::typeId() const
{
    if (!_node)
        return QMetaType::UnknownType;
    switch (_node->kind) {
    case Node::Dictionary: return QMetaType::QVariantMap;
    case Node::Array: return QMetaType::QVariantList;
    case Node::String: return QMetaType::QString;
    case Node::Data: return QMetaType::QByteArray;
    case Node::Integer: return QMetaType::LongLong;
    case Node::Real: return QMetaType::Double;
    case Node::Boolean: return QMetaType::Bool;
    case Node::Date: return QMetaType::QDateTime;
    }
    return QMetaType::UnknownType;
}

QVariant PropertyListTree::Value::scalar() const
{
    if (!_node)
        return QVariant();
    switch (_node->kind) {
    case Node::Dictionary:
    case Node::Array: return QVariant();
    case Node::String: return _tree->_strings[size_t(_node->index)];
    case Node::Data:
    case Node::Date: return _tree->_others[size_t(_node->index)];
    case Node::Integer: return _node->integer;
    case Node::Real: return _node->real;
    case Node::Boolean: return _node->boolean;
    }
    return QVariant();
}

const QString& PropertyListTree::Value::string() const
{
    static const QString none;
    return _node && _node->kind == Node::String ? _tree->_strings[size_t(_node->index)] : none;
}

PropertyListTree::Value::Iterator PropertyListTree::Value::begin() const
{
    const bool container = _node && (_node->kind == Node::Dictionary || _node->kind == Node::Array);
    return Iterator(_tree, container ? _node + 1 : _node);
}

PropertyListTree::Value::Iterator PropertyListTree::Value::end() const
{
    return Iterator(_tree, _node ? _node + _node->size : _node);
}

const QString& PropertyListTree::Value::key() const
{
    static const QString none;
    return _node && _node->key >= 0 ? _tree->_strings[size_t(_node->key)] : none;
}

PropertyListTree::Value PropertyListTree::Value::value(QStringView key) const
{
    Value found;
    if (_node && _node->kind == Node::Dictionary) {
        for (const Node* entry = _node + 1; entry != _node + _node->size; entry += entry->size) {
            if (_tree->_strings[size_t(entry->key)] == key)
                found = Value(_tree, entry);
        }
    }
    return found;
}

QVariant PropertyListTree::Value::toVariant() const
{
    if (!_node)
        return QVariant();
    switch (_node->kind) {
    case Node::Dictionary: {
        // Built in a std::map so keys and values move in; QVariantMap adopts it whole.
        std::map<QString, QVariant> entries;
        // Written lists are sorted, so the end is the right place nearly always; a
        // repeated key keeps its last value.
        for (const Value entry : *this)
            entries.insert_or_assign(entries.end(), entry.key(), entry.toVariant());
        return QVariantMap(std::move(entries));
    }
    case Node::Array: {
        QVariantList list;
        list.reserve(count());
        for (const Value element : *this)
            list.append(element.toVariant());
        return list;
    }
    default: return scalar();
    }
}

std::optional<QVariant> PropertyList::fromXml(const QByteArray& xml, QString* error)
{
    const std::optional<PropertyListTree> tree = PropertyListTree::fromXml(xml, error);
    if (!tree)
        return std::nullopt;
    return tree->root().toVariant();
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
    return PropertyListTextWriter().write(value);
}

PropertyList::TextBuilder::TextBuilder() : _writer(std::make_unique<PropertyListTextWriter>())
{}

PropertyList::TextBuilder::~TextBuilder() = default;

// The separators before a value: a list's comma and line, or none after a dictionary's key.
void PropertyList::TextBuilder::beginValue()
{
    if (_frames.empty() || _frames.back().dictionary)
        return;
    Frame& list = _frames.back();
    if (list.count++ > 0)
        _writer->put(',');
    _writer->newline(int(_frames.size()));
}

void PropertyList::TextBuilder::endValue()
{
    if (!_frames.empty() && _frames.back().dictionary)
        _writer->put(';');
}

void PropertyList::TextBuilder::beginDictionary()
{
    beginValue();
    _writer->put('{');
    _frames.push_back({true, 0});
}

void PropertyList::TextBuilder::key(const QString& key)
{
    Q_ASSERT(!_frames.empty() && _frames.back().dictionary);
    ++_frames.back().count;
    _writer->newline(int(_frames.size()));
    _writer->writeString(key);
    _writer->put(" = ");
}

void PropertyList::TextBuilder::endDictionary()
{
    Q_ASSERT(!_frames.empty() && _frames.back().dictionary);
    const Frame dictionary = _frames.back();
    _frames.pop_back();
    if (dictionary.count > 0)
        _writer->newline(int(_frames.size()));
    _writer->put('}');
    endValue();
}

void PropertyList::TextBuilder::beginArray()
{
    beginValue();
    _writer->put('(');
    _frames.push_back({false, 0});
}

void PropertyList::TextBuilder::endArray()
{
    Q_ASSERT(!_frames.empty() && !_frames.back().dictionary);
    const Frame list = _frames.back();
    _frames.pop_back();
    if (list.count > 0)
        _writer->newline(int(_frames.size()));
    _writer->put(')');
    endValue();
}

void PropertyList::TextBuilder::value(const QVariant& value)
{
    beginValue();
    _writer->writeValue(value, int(_frames.size()));
    endValue();
}

QByteArray PropertyList::TextBuilder::text()
{
    Q_ASSERT(_frames.empty());
    return _writer->text();
}

QByteArray PropertyList::toXml(const QVariant& value)
{
    return XmlWriter().write(value);
}

} // namespace platform
