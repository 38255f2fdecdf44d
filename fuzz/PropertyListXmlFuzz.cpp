// The XML reader: whatever it accepts writes and reads back equal, types included; and
// the direct reader of plain documents agrees with expat on every input, value and error.

#include "FuzzTarget.h"

#include "platform/core/PropertyList.h"
#include "platform/core/PropertyListTree.h"

#include <QDateTime>
#include <QVariantList>
#include <QVariantMap>

using platform::PropertyList;

namespace fuzz {

QList<QByteArray> seeds()
{
    const QVariantMap map{
        {"string", QString::fromUtf8("a < b & \u00e9 \U0001F600 ]]>")},
        {"empty", QString("")},
        {"data", QByteArray("\x00\x01\xfe\xff", 4)},
        {"integer", qint64(-9223372036854775807LL - 1)},
        {"real", 841.88976399},
        {"tiny", 5e-324},
        {"yes", true},
        {"no", false},
        {"date", QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58), Qt::UTC)},
        {"list", QVariantList{1, QVariantList{}, QVariantMap{}, qInf()}},
    };
    return {
        PropertyList::toXml(map),
        PropertyList::toXml(QVariantList{map, map}),
        PropertyList::toXml(QString("x\r\ny")),
        "<?xml version=\"1.0\"?>\n<!DOCTYPE plist SYSTEM \"plist.dtd\">\n"
        "<plist version=\"1.0\"><array><integer>0x1F</integer><string>&lt;&#65;</string>"
        "<data>\n AAEC\n </data><true/></array></plist>",
        // What only expat reads: comments, CDATA, carriage returns, other encodings.
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<plist><!-- c --><array>"
        "<string><![CDATA[<\xe9>]]></string><true/></array></plist>",
    };
}

void fuzzOne(const QByteArray& data)
{
    QString error;
    const std::optional<QVariant> value = PropertyList::fromXml(data, &error);
    QString expatError;
    const std::optional<platform::PropertyListTree> tree =
        platform::PropertyListTree::fromXmlThroughExpat(data, &expatError);
    FUZZ_PROMISE(value.has_value() == tree.has_value() && error == expatError,
                 QStringLiteral("%1\n%2\n%3").arg(describe(data), error, expatError));
    if (!value)
        return;
    FUZZ_PROMISE(
        sameValue(*value, tree->root().toVariant()),
        QStringLiteral("%1\n%2").arg(describe(*value), describe(tree->root().toVariant())));
    checkRoundTrip(*value, &PropertyList::toXml, &PropertyList::fromXml);
}

} // namespace fuzz
