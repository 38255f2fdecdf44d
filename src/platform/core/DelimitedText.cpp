#include "platform/core/DelimitedText.h"

#include <QStringDecoder>

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

// The text after its byte-order mark (the mark itself is taken off here: a second one
// is a character of the text).
std::optional<QString> decode(const QByteArray& data, QString* error)
{
    constexpr auto flags =
        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;
    // Text a mark announces must be valid in that encoding.
    const auto decodeAs = [&](QStringDecoder::Encoding encoding,
                              qsizetype skip) -> std::optional<QString> {
        QStringDecoder decoder(encoding, flags);
        QString text = decoder.decode(QByteArrayView(data).sliced(skip));
        const bool oddLength = encoding != QStringDecoder::Utf8 && (data.size() - skip) % 2 != 0;
        if (decoder.hasError() || oddLength || !pairedSurrogates(text)) {
            if (error)
                *error = QStringLiteral("The file is not text.");
            return std::nullopt;
        }
        return text;
    };
    if (data.startsWith("\xEF\xBB\xBF"))
        return decodeAs(QStringDecoder::Utf8, 3);
    if (data.startsWith("\xFF\xFE"))
        return decodeAs(QStringDecoder::Utf16LE, 2);
    if (data.startsWith("\xFE\xFF"))
        return decodeAs(QStringDecoder::Utf16BE, 2);
    if (data.contains('\0')) {
        if (error)
            *error = QStringLiteral("The file is not text.");
        return std::nullopt;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, flags);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(data);
}

// The line end the text uses, line ends inside quoted fields left out: "\r\n" when it
// has one, else "\r" when it has one, else "\n".
QString lineEnd(const QString& text, QChar separator)
{
    bool cr = false;
    bool fieldStart = true;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"') && fieldStart) {
            // Over the quoted field; "" is a quote.
            for (++i; i < n; ++i) {
                if (text.at(i) != QLatin1Char('"'))
                    continue;
                if (i + 1 < n && text.at(i + 1) == QLatin1Char('"'))
                    ++i;
                else
                    break;
            }
            fieldStart = false;
            continue;
        }
        if (c == QLatin1Char('\r')) {
            if (i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
                return QStringLiteral("\r\n");
            cr = true;
        }
        fieldStart = c == separator || c == QLatin1Char('\r') || c == QLatin1Char('\n');
    }
    return cr ? QStringLiteral("\r") : QStringLiteral("\n");
}

} // namespace

QStringList DelimitedText::flattened() const
{
    QStringList flat;
    flat.reserve(records.size() * columns);
    for (const QStringList& record : records)
        flat += record;
    return flat;
}

std::optional<DelimitedText> DelimitedText::read(const QByteArray& data, QChar separator,
                                                 QString* error)
{
    std::optional<QString> decoded = decode(data, error);
    if (!decoded)
        return std::nullopt;
    const QString& text = *decoded;
    if (text.isEmpty()) {
        if (error)
            *error = QStringLiteral("The file is empty.");
        return std::nullopt;
    }
    const QString end = lineEnd(text, separator);
    DelimitedText result;
    QStringList record;
    QString field;
    field.reserve(64);
    const qsizetype n = text.size();
    qsizetype i = 0;
    bool fieldStarted = false;
    const auto endField = [&] {
        record.append(field);
        field.clear();
        fieldStarted = false;
    };
    const auto endRecord = [&] {
        endField();
        result.columns = std::max(result.columns, record.size());
        result.records.append(record);
        record = QStringList();
    };
    while (i < n) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"') && !fieldStarted) {
            // A quoted field: to its closing quote; "" is a quote.
            ++i;
            while (i < n) {
                const QChar q = text.at(i);
                if (q == QLatin1Char('"')) {
                    if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                        field.append(q);
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field.append(q);
                ++i;
            }
            fieldStarted = true;
            continue;
        }
        if (c == separator) {
            endField();
            ++i;
            continue;
        }
        if (QStringView(text).mid(i, end.size()) == end) {
            i += end.size();
            endRecord();
            continue;
        }
        field.append(c);
        fieldStarted = true;
        ++i;
    }
    // The last line, unless the text ended with a line end.
    if (fieldStarted || !field.isEmpty() || !record.isEmpty())
        endRecord();
    for (QStringList& r : result.records)
        while (r.size() < result.columns)
            r.append(QStringLiteral(" "));
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
