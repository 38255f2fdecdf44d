#pragma once

// Archived data: values that property lists cannot hold themselves (colours, attributed
// text with its fonts and paragraph styles, Bezier paths; more kinds join later) turned
// into bytes that a property list stores as data, and back.
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
//     type = font;        family = <string>; face = <string>; weight = <integer>;
//                         style = <integer>; size = <real> | pixels = <integer>
//     type = paragraph-style;  alignment, direction, line-break = <integer>;
//                         line-spacing, first-line-head-indent, head-indent,
//                         tail-indent = <real>
//     type = shadow;      width, height, blur = <real>; color = <entry>
//     type = attributed-string;  string = <string>;
//                         runs = ( { length = <integer>; attributes = { name = <entry>; ... }; }, ... )
//     type = bezier-path; elements = "M x y L x y C x1 y1 x2 y2 x y Z ...";
//                         line-width, miter-limit, flatness, dash-phase = <real>;
//                         line-cap, line-join, winding-rule = <integer>; dash = ( <real>, ... )
//     type = print-info;  paper-name = <string>; paper-width, paper-height = <real>;
//                         orientation = <integer>; printer = <string>
//
// A font is kept by family, face (its style name, empty when it has none), weight (1 to
// 1000), style (QFont::Style: 0 normal, 1 italic, 2 oblique) and size: in points, or in
// pixels for a font sized that way. An attributed string keeps its runs in text order,
// each with its length and attribute dictionary; any attribute value an entry type covers
// may stand in it (merge-field option dictionaries included).
//
// A colour keeps its colour space: an RGB colour with equal components is stored as
// "grey" (one component) and read back as that RGB colour; the other spaces are QColor's
// own. Components and alpha are stored as reals holding QColor's values exactly, so a
// colour reads back equal, component for component.
//
// A Bezier path keeps its element list as one text, an element a letter (M move, L line,
// C curve with control point 1, control point 2 and end point, Z close) followed by its
// coordinates, all separated by single spaces; numbers are in their shortest exact form, so
// the path reads back equal, element for element and attribute for attribute. The cap, join
// and winding rule are the positions of the BezierPath enumerators (butt, round, square;
// miter, round, bevel; non-zero, even-odd).
//
// Print settings keep the paper's name and size in points, the orientation (0 portrait, 1
// landscape) and the printer's name (empty for the default printer).
//
// Decoding checks everything: bytes that are not such an archive (not XML, another root,
// another version, an unknown type, a missing or mistyped field, a component out of range
// or not finite, runs that do not cover the text exactly, an element text that does not
// start with a move or has a wrong letter or count of numbers) give std::nullopt, never a
// crash.

#include <QByteArray>
#include <QColor>
#include <QVariant>
#include <QVariantList>

#include <optional>

namespace platform {

class AttributedString;
class BezierPath;
class PrintInfo;

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

    // An attribute of a kind no entry type covers gives empty data.
    static QByteArray archivedDataWithAttributedString(const AttributedString& string);
    static std::optional<AttributedString> attributedStringFromArchivedData(const QByteArray& data);

    static QByteArray archivedDataWithBezierPath(const BezierPath& path);
    static std::optional<BezierPath> bezierPathFromArchivedData(const QByteArray& data);

    // A paper size that is not finite gives empty data.
    static QByteArray archivedDataWithPrintInfo(const PrintInfo& printInfo);
    static std::optional<PrintInfo> printInfoFromArchivedData(const QByteArray& data);

    // Any value the entry types above cover; the typed functions are built on these.
    static QByteArray archivedDataWithValue(const QVariant& value);
    static std::optional<QVariant> valueFromArchivedData(const QByteArray& data);
};

} // namespace platform
