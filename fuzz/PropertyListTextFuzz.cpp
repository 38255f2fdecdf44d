// The old-style text reader: whatever it accepts writes and reads back equal.

#include "FuzzTarget.h"

#include "platform/core/PropertyList.h"

#include <QDateTime>
#include <QVariantList>
#include <QVariantMap>

using platform::PropertyList;

namespace fuzz {

QList<QByteArray> seeds()
{
    const QVariantMap graphic{
        {"Class", "LBTextArea"},
        {"Bounds", "{{10, 20}, {100, 50.5}}"},
        {"FillColor", QByteArray::fromHex("040b747970656473747265616d8103e8")},
        {"Text",
         QString::fromUtf8("Caf\u00e9 \u201cquoted\u201d \"x\" a\\b\nnext\tcol \U0001F600")},
        {"Empty", QString("")},
        {"Rotation", "0.00"},
        {"Path", "/tmp/a b+c.pdf"},
        {"List", QVariantList{"a", QVariantList{}, QVariantMap{}, QByteArray()}},
    };
    QList<QByteArray> out{
        PropertyList::toText(graphic),
        PropertyList::toText(QVariantMap{{"GraphicsList", QVariantList{graphic, graphic}}}),
        PropertyList::toText(QVariantList{"one", QString(QChar(0xFEFF)) + "two", 3}),
        PropertyList::toText(QByteArray::fromHex("00ff10203040")),
        PropertyList::toText(QString("word")),
        // The forms other writers produce.
        "/* Localized */\n\"Undo %@\" = \"Undo %@\";\nCancel;\n'Save' = 'Save \\$';\n",
        "// only a comment\r\n",
        "{ a = (1, 2,); b = <0a0b 0c>; c = \"\\101\\U00e9\\n\"; }",
    };
    return out;
}

void fuzzOne(const QByteArray& data)
{
    if (const std::optional<QVariant> value = PropertyList::fromText(data))
        checkRoundTrip(*value, &PropertyList::toText, &PropertyList::fromText);
}

} // namespace fuzz
