#pragma once

// Property lists: trees of QVariant values (QString, QByteArray, QVariantList, QVariantMap,
// qint64, double, bool, QDateTime) read from and written to their two stored forms.
//
// The old-style text form is what documents and the pasteboard carry:
//
//     {
//         Bounds = "{{10, 20}, {100, 50}}";
//         FillColor = <0a0b0c0d 0e0f>;
//         Layers = (
//             Background,
//             "Two words"
//         );
//     }
//
// That form knows only strings, data, arrays and dictionaries. Everything else is written
// as a string and so reads back as a string: integers as decimal text ("42"), reals in
// their shortest exact text ("0.1", "841.88976399", "1e+20"), booleans as "YES" / "NO",
// dates as "2001-01-01 00:00:00 +0000" (UTC, whole seconds). Readers of such lists take
// numbers and booleans back with the readers of TextForms.h (intValue, boolValue, ...).
//
// The XML form (plist version 1.0) keeps every type: dict, array, string, data (base64),
// integer, real, true, false and date.
//
// Readers never crash on bad input: they return std::nullopt and, when `error` is given,
// a message that names the line ("line 3: unterminated quoted string").

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace platform {

class PropertyListTextWriter;

class PropertyList
{
public:
    // Containers may nest this deep; deeper input is rejected.
    static constexpr int MaximumDepth = 512;

    // Reads the old-style text form. Accepted: strings in double or single quotes
    // (escapes \\ \" \' \a \b \f \n \r \t \v, octal \ooo, \U with up to four hex
    // digits, and a backslash before any other character stands for that character; other
    // bytes taken as UTF-8, a byte order mark included), unquoted strings (letters, digits
    // and _$+/:.-), <hex data> with any white space between the digits, ( arrays ) with an
    // optional trailing comma, { key = value; } dictionaries (a missing ';' before '}' is
    // tolerated; a repeated key keeps the last value), // comments (to the end of the
    // line, LF or CR) and /* */ comments. A top level of bare `key = value;` pairs (the
    // form of string tables, where `key;` stands for `key = key;`) reads as a dictionary,
    // and so does a text of nothing but white space and comments (an empty one). Every
    // scalar comes back as a QString.
    static std::optional<QVariant> fromText(const QByteArray& text, QString* error = nullptr);

    // Reads the XML form. A document type declaration is allowed and ignored unless it
    // declares entities, which a property list never needs (rejected, so no document can
    // expand into more text than it holds); the predefined entities and character
    // references are read as usual. An <integer> may be decimal or 0x hexadecimal; a
    // <date> is kept to the second, in UTC.
    static std::optional<QVariant> fromXml(const QByteArray& xml, QString* error = nullptr);

    // Reads either form, telling them apart by the first characters (an XML declaration,
    // document type or <plist> element means XML).
    static std::optional<QVariant> read(const QByteArray& data, QString* error = nullptr);

    // Writes the old-style text form as 7-bit text: keys sorted, strings quoted only when
    // they must be (empty, or any character besides letters, digits and _$/:.-),
    // characters outside ASCII as \UXXXX (one per UTF-16 unit), data as <hex> in groups
    // of eight digits, and the indentation of the platform's description form (four
    // spaces a level, "{}" and "()" when empty, no final newline). Values of other types
    // are written as their QVariant::toString() text; a null value as "".
    static QByteArray toText(const QVariant& value);

    // Writes the XML form (UTF-8, tab indented). Integers of any width are <integer>,
    // float and double <real>, dates <date> in UTC to the second; other types are written
    // as their QVariant::toString() text in <string>.
    static QByteArray toXml(const QVariant& value);

    // Writes the old-style text form a piece at a time, byte for byte as toText() writes
    // the tree the same calls describe: a list of thousands of graphics is written one
    // graphic's dictionary at a time, each dropped once written, instead of standing in
    // memory as one tree. A dictionary's keys are written in the order given, so a caller
    // gives them sorted. A value is value(), or a container begun and ended; inside a
    // dictionary each follows its key().
    class TextBuilder
    {
    public:
        TextBuilder();
        ~TextBuilder();
        TextBuilder(const TextBuilder&) = delete;
        TextBuilder& operator=(const TextBuilder&) = delete;

        void beginDictionary();
        void key(const QString& key);
        void endDictionary();
        void beginArray();
        void endArray();
        void value(const QVariant& value);

        // The text written; every container begun must have been ended.
        QByteArray text();

    private:
        struct Frame
        {
            bool dictionary = false;
            qsizetype count = 0;
        };
        void beginValue();
        void endValue();

        std::unique_ptr<PropertyListTextWriter> _writer;
        std::vector<Frame> _frames;
    };
};

} // namespace platform
