#include "platform/core/DelimitedText.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace platform {

namespace {

// Whether every surrogate of the text stands in a pair.
bool pairedSurrogates(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            return false;
    }
    return true;
}

std::nullopt_t notText(QString* error)
{
    if (error)
        *error = QStringLiteral("The file is not text.");
    return std::nullopt;
}

// The text of data that starts with a UTF-16 byte-order mark, the mark taken off; it must
// be whole UTF-16.
std::optional<QString> decodeUtf16(const QByteArray& data, QString* error)
{
    const auto encoding =
        data.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE;
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless
                                         | QStringDecoder::Flag::ConvertInitialBom);
    QString text = decoder.decode(QByteArrayView(data).sliced(2));
    if (decoder.hasError() || data.size() % 2 != 0 || !pairedSurrogates(text))
        return notText(error);
    return text;
}

// Whether the data is valid UTF-8, checked a piece at a time: no copy of the whole text
// is made.
bool isUtf8(QByteArrayView data)
{
    constexpr qsizetype Piece = 1 << 16;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    std::vector<QChar> buffer(size_t(decoder.requiredSpace(Piece)));
    const auto continuation = [&](qsizetype i) { return (uchar(data[i]) & 0xC0) == 0x80; };
    for (qsizetype i = 0; i < data.size();) {
        qsizetype end = std::min(data.size(), i + Piece);
        // A piece ends before a character, not inside one.
        for (int back = 0; back < 3 && end < data.size() && end > i + 1 && continuation(end);
             ++back)
            --end;
        decoder.appendToBuffer(buffer.data(), data.sliced(i, end - i));
        if (decoder.hasError())
            return false;
        i = end;
    }
    return true;
}

// UTF-8 text; a byte-order mark at its start is a character of it.
QString fromUtf8(const char* bytes, qsizetype size)
{
    if (size < 3 || std::memcmp(bytes, "\xEF\xBB\xBF", 3) != 0)
        return QString::fromUtf8(bytes, size);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                     | QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(bytes, size));
}

} // namespace

QStringList DelimitedText::flattened() const
{
    QStringList flat;
    flat.reserve(recordCount() * _columns);
    for (qsizetype r = 0; r < recordCount(); ++r)
        for (qsizetype c = 0; c < _columns; ++c)
            flat.append(field(r, c));
    return flat;
}

qsizetype DelimitedText::fieldCount(qsizetype record) const
{
    Q_ASSERT(record >= 0 && record < recordCount());
    const qsizetype next =
        record + 1 < recordCount() ? qsizetype(_recordStarts.at(record + 1)) : _fields.size();
    return next - qsizetype(_recordStarts.at(record));
}

QString DelimitedText::field(qsizetype record, qsizetype column) const
{
    Q_ASSERT(column >= 0);
    if (column >= fieldCount(record))
        return QStringLiteral(" ");
    const Span span = _fields.at(_recordStarts.at(record) + column);
    const quint32 start = span.start & ~InBuilt;
    const char* bytes = ((span.start & InBuilt) ? _built : _data).constData() + start;
    const qsizetype size = span.end - start;
    return _latin1 ? QString::fromLatin1(bytes, size) : fromUtf8(bytes, size);
}

QStringList DelimitedText::record(qsizetype record) const
{
    QStringList fields;
    fields.reserve(_columns);
    for (qsizetype c = 0; c < _columns; ++c)
        fields.append(field(record, c));
    return fields;
}

QList<QStringList> DelimitedText::records() const
{
    QList<QStringList> all;
    all.reserve(recordCount());
    for (qsizetype r = 0; r < recordCount(); ++r)
        all.append(record(r));
    return all;
}

// The reading of one text into records.
class DelimitedTextParser
{
public:
    enum class LineEnd { CrLf, Cr, Lf };

    DelimitedTextParser(DelimitedText& result, qsizetype begin, char separator)
        : _result(result),
          _s(result._data.constData()),
          _n(result._data.size()),
          _begin(begin),
          _separator(separator)
    {}

    // The line end the text uses, line ends inside quoted fields left out: "\r\n" when
    // it splits the text (one at the very end does not), else a lone "\r" that splits it,
    // else "\n".
    LineEnd lineEnd() const
    {
        bool cr = false;
        bool fieldStart = true;
        for (qsizetype i = _begin; i < _n; ++i) {
            const char c = _s[i];
            if (c == '"' && fieldStart) {
                i = closingQuote(i + 1, nullptr);
                fieldStart = false;
                continue;
            }
            if (c == '\r') {
                if (i + 1 < _n && _s[i + 1] == '\n') {
                    if (i + 2 < _n)
                        return LineEnd::CrLf;
                } else if (i + 1 < _n) {
                    cr = true;
                }
            }
            fieldStart = c == _separator || c == '\r' || c == '\n';
        }
        return cr ? LineEnd::Cr : LineEnd::Lf;
    }

    // The records; false and the reason past the bounds.
    bool parse(LineEnd end, QString* error)
    {
        _end = end;
        std::array<bool, 256> stops{};
        stops[uchar(_separator)] = stops[uchar('\r')] = stops[uchar('\n')] = true;
        qsizetype i = _begin;
        qsizetype fields = 0;
        _result._recordStarts.append(0);
        while (true) {
            i = readField(i, stops);
            static_assert(DelimitedText::MaxColumns == 16384);
            if (++fields > DelimitedText::MaxColumns)
                return fail(error, QStringLiteral("A record has more than 16384 fields."));
            if (i < _n && _s[i] == _separator) {
                ++i;
                continue;
            }
            // A line end, or the end of the text.
            _result._columns = std::max(_result._columns, fields);
            fields = 0;
            if (i < _n)
                i += lineEndLength(i);
            if (i >= _n)
                break;
            _result._recordStarts.append(quint32(_result._fields.size()));
        }
        static_assert(DelimitedText::MaxFields == 16777216);
        if (_result.recordCount() * _result._columns > DelimitedText::MaxFields)
            return fail(error, QStringLiteral("The file has more than 16777216 fields."));
        return true;
    }

private:
    static bool fail(QString* error, const QString& reason)
    {
        if (error)
            *error = reason;
        return false;
    }

    // The closing quote of the quoted field whose text starts at `i` ("" is a quote), or
    // the end of the text; whether a doubled quote was met.
    qsizetype closingQuote(qsizetype i, bool* doubled) const
    {
        while (i < _n) {
            const auto* quote = static_cast<const char*>(std::memchr(_s + i, '"', size_t(_n - i)));
            if (!quote)
                return _n;
            i = quote - _s;
            if (i + 1 < _n && _s[i + 1] == '"') {
                if (doubled)
                    *doubled = true;
                i += 2;
                continue;
            }
            return i;
        }
        return _n;
    }

    // The length of the line end at `i`, 0 when the byte there is text. Whichever end the
    // lines use, one at the very end ends the last line.
    qsizetype lineEndLength(qsizetype i) const
    {
        const char c = _s[i];
        if (c == '\r') {
            const bool crlf = i + 1 < _n && _s[i + 1] == '\n';
            if (crlf && (_end == LineEnd::CrLf || i + 2 == _n))
                return 2;
            return _end == LineEnd::Cr || i + 1 == _n ? 1 : 0;
        }
        return c == '\n' && (_end == LineEnd::Lf || i + 1 == _n) ? 1 : 0;
    }

    // Over the unquoted text from `i` to the next separator or line end.
    qsizetype plainText(qsizetype i, const std::array<bool, 256>& stops) const
    {
        for (; i < _n; ++i) {
            const char c = _s[i];
            if (stops[uchar(c)] && (c == _separator || lineEndLength(i) > 0))
                break;
        }
        return i;
    }

    // Reads the field at `i`; where it ends.
    qsizetype readField(qsizetype i, const std::array<bool, 256>& stops)
    {
        if (i >= _n || _s[i] != '"') {
            const qsizetype end = plainText(i, stops);
            _result._fields.append({quint32(i), quint32(end)});
            return end;
        }
        bool doubled = false;
        const qsizetype close = closingQuote(i + 1, &doubled);
        const qsizetype restStart = std::min(close + 1, _n);
        const qsizetype rest = plainText(restStart, stops);
        if (!doubled && rest == restStart) {
            _result._fields.append({quint32(i + 1), quint32(close)});
            return rest;
        }
        // Quotes undoubled and the text after the closing quote joined: built apart.
        QByteArray& built = _result._built;
        const quint32 start = quint32(built.size()) | DelimitedText::InBuilt;
        for (qsizetype k = i + 1; k < close; ++k) {
            built.append(_s[k]);
            if (_s[k] == '"')
                ++k;
        }
        built.append(_s + restStart, rest - restStart);
        _result._fields.append({start, quint32(built.size())});
        return rest;
    }

    DelimitedText& _result;
    const char* _s;
    qsizetype _n;
    qsizetype _begin;
    char _separator;
    LineEnd _end = LineEnd::Lf;
};

std::optional<DelimitedText> DelimitedText::read(const QByteArray& data, QChar separator,
                                                 QString* error)
{
    Q_ASSERT(separator.unicode() < 0x80 && separator != QLatin1Char('"')
             && separator != QLatin1Char('\r') && separator != QLatin1Char('\n'));
    DelimitedText result;
    qsizetype begin = 0;
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        // Read as UTF-8: the separators, quotes and line ends are single bytes there.
        const std::optional<QString> text = decodeUtf16(data, error);
        if (!text)
            return std::nullopt;
        result._data = text->toUtf8();
    } else {
        const bool marked = data.startsWith("\xEF\xBB\xBF");
        if (!marked && data.contains('\0'))
            return notText(error);
        // The mark is taken off here: a second one is a character of the text.
        begin = marked ? 3 : 0;
        const bool utf8 = isUtf8(QByteArrayView(data).sliced(begin));
        if (marked && !utf8)
            return notText(error);
        result._data = data;
        result._latin1 = !utf8;
    }
    if (begin >= result._data.size()) {
        if (error)
            *error = QStringLiteral("The file is empty.");
        return std::nullopt;
    }
    if (result._data.size() >= qsizetype(InBuilt)) {
        if (error)
            *error = QStringLiteral("The file is too large.");
        return std::nullopt;
    }
    DelimitedTextParser parser(result, begin, char(separator.unicode()));
    if (!parser.parse(parser.lineEnd(), error))
        return std::nullopt;
    return result;
}

QByteArray DelimitedText::write(const QList<QStringList>& records, QChar separator)
{
    QString out;
    for (const QStringList& record : records) {
        for (qsizetype i = 0; i < record.size(); ++i) {
            if (i > 0)
                out.append(separator);
            const QString& f = record.at(i);
            if (f.contains(separator) || f.contains(QLatin1Char('"'))
                || f.contains(QLatin1Char('\n')) || f.contains(QLatin1Char('\r'))) {
                QString quoted = f;
                quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
                out += QLatin1Char('"') + quoted + QLatin1Char('"');
            } else {
                out += f;
            }
        }
        out += QLatin1Char('\n');
    }
    // With its byte-order mark: any character, NUL included, reads back as text.
    return QByteArray("\xEF\xBB\xBF") + out.toUtf8();
}

} // namespace platform
