#pragma once

// Records of a tab- or comma-separated text file.
//
// Encoding: a byte-order mark picks UTF-8 or UTF-16; without one the data is UTF-8 when
// it is valid UTF-8, else Latin-1. Data holding NUL bytes (outside UTF-16) is not text.
// Lines end in CR LF, CR or LF (the first of these that splits the text in two or more
// wins, as in every line); a line end at the very end makes no empty last record.
//
// Fields: a field that opens with a double quote runs to its closing quote; inside it a
// doubled quote is one quote and separators and line ends are text. Quotes anywhere else
// are text. Every record gets as many fields as the widest record; shorter ones are
// filled with fields of one space " ".

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace platform {

struct DelimitedText
{
    QList<QStringList> records;
    qsizetype columns = 0;

    // The flat array record after record, `columns` strings each.
    QStringList flattened() const;

    // std::nullopt and the reason for data that is empty or not text.
    static std::optional<DelimitedText> read(const QByteArray& data, QChar separator,
                                             QString* error = nullptr);
    // Writes records back in the form read() reads (quoting fields that need it).
    static QByteArray write(const QList<QStringList>& records, QChar separator);
};

} // namespace platform
