#pragma once

// Archived data: values that property lists cannot hold themselves (colours now; more
// kinds join later) turned into bytes that a property list stores as data, and back.
//
// The bytes are an XML property list (PropertyList::toXml):
//
//     { archive = 1;  root = <entry>; }
//
// "archive" is the version of this encoding. Every value is an entry: a dictionary whose
// "type" names its kind and whose other keys hold the kind's fields:
//
//     type = value;       value = <string, data, integer, real, boolean or date>
//     type = array;       items = ( <entry>, ... )
//     type = dictionary;  items = { key = <entry>; ... }
//     type = color;       space = rgb | grey | extended-rgb | cmyk | hsv | hsl;
//                         components = ( <real>, ... ); alpha = <real>
//
// A colour keeps its colour space: an RGB colour with equal components is stored as
// "grey" (one component) and read back as that RGB colour; the other spaces are QColor's
// own. Components and alpha are stored as reals holding QColor's values exactly, so a
// colour reads back equal, component for component.
//
// Decoding checks everything: bytes that are not such an archive (not XML, another root,
// another version, an unknown type, a missing or mistyped field, a component out of range
// or not finite) give std::nullopt, never a crash.

#include <QByteArray>
#include <QColor>
#include <QVariant>
#include <QVariantList>

#include <optional>

namespace platform {

class Archive
{
public:
    // An invalid colour gives empty data.
    static QByteArray archivedDataWithColor(const QColor& color);
    static std::optional<QColor> colorFromArchivedData(const QByteArray& data);

    // The elements may be property-list values (integers read back as qint64, floats as
    // double, QVariantHash as QVariantMap, QStringList as a list of strings), colours and
    // lists and maps of these. An element of any other kind gives empty data.
    static QByteArray archivedDataWithArray(const QVariantList& array);
    static std::optional<QVariantList> arrayFromArchivedData(const QByteArray& data);

    // Any value the entry types above cover; the typed functions are built on these.
    static QByteArray archivedDataWithValue(const QVariant& value);
    static std::optional<QVariant> valueFromArchivedData(const QByteArray& data);
};

} // namespace platform
