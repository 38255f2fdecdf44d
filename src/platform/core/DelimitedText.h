#pragma once

// Records of a tab- or comma-separated text file.
//
// Encoding: a byte-order mark picks UTF-8 or UTF-16; without one the data is UTF-8 when
// it is valid UTF-8, else Latin-1. Data holding NUL bytes (outside UTF-16) is not text.
// Lines end in CR LF, CR or LF: the first of these that splits the text in two or more
// records wins, as in every line (an end at the very end splits nothing). A line end at
// the very end, of any of the three kinds, ends the last line and makes no empty record.
//
// Fields: a field that opens with a double quote runs to its closing quote; inside it a
// doubled quote is one quote and separators and line ends are text. Quotes anywhere else
// are text. Every record reads as having as many fields as the widest record; the fields
// a shorter one lacks read as one space " ".
//
// Storage: records are kept as read, short ones short, and fields are kept as places in
// the data (which the reader shares, not copies), decoded when asked for: the records of a
// file take little more memory than the file itself. A record may have at most
// MaxColumns fields, and the records padded to the widest at most MaxFields fields in all;
// a file past either bound is refused with the reason.

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

class DelimitedText
{
public:
    static constexpr qsizetype MaxColumns = 16384;
    static constexpr qsizetype MaxFields = qsizetype(1) << 24;

    qsizetype recordCount() const { return _recordStarts.size(); }
    // The fields of the widest record.
    qsizetype columns() const { return _columns; }
    // The fields record `record` has in the file, before padding.
    qsizetype fieldCount(qsizetype record) const;
    // Field `column` of record `record`: " " past the fields the record has.
    QString field(qsizetype record, qsizetype column) const;
    // A record padded to `columns()` fields.
    QStringList record(qsizetype record) const;
    // Every record, padded.
    QList<QStringList> records() const;
    // The flat array record after record, `columns()` strings each.
    QStringList flattened() const;

    // std::nullopt and the reason for data that is empty, not text, or past the bounds.
    // The separator is an ASCII character other than a quote or a line end.
    static std::optional<DelimitedText> read(const QByteArray& data, QChar separator,
                                             QString* error = nullptr);
    // Writes records back in the form read() reads: UTF-8 with its byte-order mark, fields
    // quoted where they need it, a line feed after each record.
    static QByteArray write(const QList<QStringList>& records, QChar separator);

private:
    // A field's bytes: [start, end) of the data, or of _built when start has InBuilt set.
    struct Span
    {
        quint32 start;
        quint32 end;
    };
    static constexpr quint32 InBuilt = 0x80000000u;
    friend class DelimitedTextParser;

    QByteArray _data;  // the text as UTF-8 or Latin-1
    QByteArray _built; // the fields that are no single run of the data: quoted ones with a
                       // doubled quote or with more text after the closing quote
    bool _latin1 = false;
    QList<Span> _fields;
    QList<quint32> _recordStarts; // the index of each record's first field
    qsizetype _columns = 0;
};

} // namespace platform
