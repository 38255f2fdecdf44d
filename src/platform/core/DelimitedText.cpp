#include "platform/core/DelimitedText.h"

#include <QStringDecoder>

namespace platform {

namespace {

std::optional<QString> decode(const QByteArray& data, QString* error)
{
    if (data.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(data.mid(3));
    if (data.startsWith("\xFF\xFE") || data.startsWith("\xFE\xFF")) {
        QStringDecoder decoder(data.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE
                                                           : QStringDecoder::Utf16BE);
        return QString(decoder.decode(data.mid(2)));
    }
    if (data.contains('\0')) {
        if (error)
            *error = QStringLiteral("The file is not text.");
        return std::nullopt;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(data);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(data);
}

// The line end the text uses: "\r\n" when it splits the text in two or more, else "\r",
// else "\n".
QString lineEnd(const QString& text)
{
    if (text.contains(QLatin1String("\r\n")))
        return QStringLiteral("\r\n");
    if (text.contains(QLatin1Char('\r')))
        return QStringLiteral("\r");
    return QStringLiteral("\n");
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
    const QString end = lineEnd(text);
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
    return out.toUtf8();
}

} // namespace platform
