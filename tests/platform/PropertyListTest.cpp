#include "platform/core/PropertyList.h"
#include "platform/core/PropertyListTree.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QVariantList>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <limits>
#include <optional>

using platform::PropertyList;
using platform::PropertyListTree;

namespace {

QVariant parseText(const QByteArray& text)
{
    QString error;
    const std::optional<QVariant> value = PropertyList::fromText(text, &error);
    EXPECT_TRUE(value.has_value()) << error.toStdString() << "\n" << text.toStdString();
    return value.value_or(QVariant());
}

// The error of a text that must be rejected; empty when it was accepted.
QString textError(const QByteArray& text)
{
    QString error;
    if (PropertyList::fromText(text, &error))
        return QString();
    return error;
}

QString xmlError(const QByteArray& xml)
{
    QString error;
    if (PropertyList::fromXml(xml, &error))
        return QString();
    return error;
}

QByteArray nested(int depth, const char* open, const char* close)
{
    return QByteArray(open).repeated(depth) + QByteArray(close).repeated(depth);
}

// A document as the writer lays it out: sorted keys, quotes only where needed, \U escapes.
const QByteArray document =
    "{\n"
    "    \"\" = \"\";\n"
    "    Bounds = \"{{10, 20}, {100, 50}}\";\n"
    "    Empty = {};\n"
    "    FillColor = <0a0b0c0d 0e0f1011 12>;\n"
    "    GraphicsList = (\n"
    "        (\n"
    "            {\n"
    "                Class = LBTextArea;\n"
    "                Text = \"Caf\\U00e9 \\U201cquoted\\U201d \\\"x\\\" a\\\\b\\nnext\\tcol\";\n"
    "            },\n"
    "            ()\n"
    "        ),\n"
    "        \"\"\n"
    "    );\n"
    "    Path = \"/tmp/x-y_z+1:$\";\n"
    "    \"Quarn Print Line\" = \"/tmp/a b.pdf\";\n"
    "    Rotation = 0.00;\n"
    "}";

// Feeds value to the builder: the containers down to `depth` levels begun and ended piece
// by piece, what lies deeper given whole.
void build(PropertyList::TextBuilder& builder, const QVariant& value, int depth)
{
    if (depth > 0 && value.typeId() == QMetaType::QVariantMap) {
        const QVariantMap map = value.toMap();
        builder.beginDictionary();
        for (auto entry = map.cbegin(); entry != map.cend(); ++entry) {
            builder.key(entry.key());
            build(builder, entry.value(), depth - 1);
        }
        builder.endDictionary();
    } else if (depth > 0 && value.typeId() == QMetaType::QVariantList) {
        builder.beginArray();
        for (const QVariant& element : value.toList())
            build(builder, element, depth - 1);
        builder.endArray();
    } else {
        builder.value(value);
    }
}

} // namespace

TEST(PropertyListText, DocumentRoundTripsByteForByte)
{
    const QVariant value = parseText(document);
    EXPECT_EQ(PropertyList::toText(value), document);

    const QVariantMap map = value.toMap();
    EXPECT_EQ(map.value(QString()), QString(""));
    EXPECT_EQ(map.value("Quarn Print Line"), QString("/tmp/a b.pdf"));
    EXPECT_EQ(map.value("FillColor").typeId(), QMetaType::QByteArray);
    EXPECT_EQ(map.value("FillColor").toByteArray(), QByteArray::fromHex("0a0b0c0d0e0f101112"));
    EXPECT_EQ(map.value("Rotation"), QString("0.00"));
    const QVariantList pages = map.value("GraphicsList").toList();
    ASSERT_EQ(pages.size(), 2);
    const QVariantList layers = pages[0].toList();
    ASSERT_EQ(layers.size(), 2);
    EXPECT_EQ(layers[1], QVariantList());
    EXPECT_EQ(layers[0].toMap().value("Text").toString(),
              QString::fromUtf8("Caf\u00e9 \u201cquoted\u201d \"x\" a\\b\nnext\tcol"));
}

TEST(PropertyListText, WriterForms)
{
    struct Case
    {
        QVariant value;
        const char* text;
    };
    const QDateTime date(QDate(2001, 2, 3), QTime(4, 5, 6), Qt::UTC);
    const Case cases[] = {
        {QString("LBRect"), "LBRect"},
        {QString("a/b:c.d-e_f$g"), "a/b:c.d-e_f$g"},
        {QString("1+2"), "\"1+2\""}, // other readers take no '+' bare
        {QString(""), "\"\""},
        {QString(), "\"\""},
        {QVariant(), "\"\""},
        {QString("two words"), "\"two words\""},
        {QString("a,b"), "\"a,b\""},
        {QString("//x"), "\"//x\""},
        {QString("a/*b"), "\"a/*b\""},
        {QString::fromUtf8("\u00e9\U0001F600"), "\"\\U00e9\\Ud83d\\Ude00\""},
        {QString("q\"b\\\r\x01\x7f"), "\"q\\\"b\\\\\\r\\001\\177\""},
        {QByteArray(), "<>"},
        {QByteArray::fromHex("00ff10"), "<00ff10>"},
        {QByteArray::fromHex("0102030405060708090a"), "<01020304 05060708 090a>"},
        {qint64(-9223372036854775807LL - 1), "-9223372036854775808"},
        {42, "42"},
        {quint64(18446744073709551615ULL), "18446744073709551615"},
        {0.1, "0.1"},
        {841.88976399, "841.88976399"},
        {-2.5, "-2.5"},
        {1e20, "\"1e+20\""},
        {0.1f, "0.1"},
        {true, "YES"},
        {false, "NO"},
        {date, "\"2001-02-03 04:05:06 +0000\""},
        {QVariantMap(), "{}"},
        {QVariantList(), "()"},
        {QStringList{"a", "b c"}, "(\n    a,\n    \"b c\"\n)"},
        {QVariantHash{{"b", 1}, {"a", QVariantList{QVariantMap{{"k", "v"}}}}},
         "{\n    a = (\n        {\n            k = v;\n        }\n    );\n    b = 1;\n}"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PropertyList::toText(c.value), QByteArray(c.text)) << c.text;
}

TEST(PropertyListText, BuilderWritesWhatTheTreeWrites)
{
    const QVariant values[] = {
        parseText(document),
        QVariantMap(),
        QVariantList(),
        QString("top"),
        QVariantList{QVariantList(), QVariantMap(), QVariantList{QVariantList{}}, "x"},
        QVariantMap{{"a", QVariantMap{{"b", QVariantMap()}}}, {"c", QVariantList{1, 2}}},
    };
    for (const QVariant& value : values) {
        for (int depth = 0; depth <= 4; ++depth) {
            PropertyList::TextBuilder builder;
            build(builder, value, depth);
            EXPECT_EQ(builder.text(), PropertyList::toText(value))
                << "depth " << depth << "\n"
                << PropertyList::toText(value).toStdString();
        }
    }
}

TEST(PropertyListText, WrittenTextIsSevenBitAndReadsBackAsStrings)
{
    const QVariantMap map{
        {QString::fromUtf8("Schl\u00fcssel"), QString::fromUtf8("\u65e5\u672c\u8a9e \U0001F600")},
        {"Count", 7},
        {"Scale", 0.5},
        {"Locked", true},
        {"Data", QByteArray("\x00\x01\xff", 3)},
    };
    const QByteArray text = PropertyList::toText(map);
    for (char c : text)
        ASSERT_LT(static_cast<unsigned char>(c), 0x80) << text.toStdString();
    const QVariantMap back = parseText(text).toMap();
    EXPECT_EQ(back.value(QString::fromUtf8("Schl\u00fcssel")),
              QString::fromUtf8("\u65e5\u672c\u8a9e \U0001F600"));
    EXPECT_EQ(back.value("Count"), QString("7"));
    EXPECT_EQ(back.value("Scale"), QString("0.5"));
    EXPECT_EQ(back.value("Locked"), QString("YES"));
    EXPECT_EQ(back.value("Data"), QByteArray("\x00\x01\xff", 3));
}

TEST(PropertyListText, ReaderAcceptsTheWholeGrammar)
{
    const QByteArray text =
        "// a comment\n"
        "{ /* block\n comment */ a = plain; \"b\"=\"q\\\"\\\\\\'\\a\\b\\f\\n\\r\\t\\v\";\n"
        "  octal = \"\\101\\0\\12x\"; short = \"\\U41\\Ue9!\"; raw = \"caf\xc3\xa9\";\n"
        "  data = < 0A0b 0 c\n 0d >; list = (1, (2), {k = v;},); empty = ();\n"
        "  dup = first; dup = second; plus = a+b; last = value }";
    const QVariantMap map = parseText(text).toMap();
    EXPECT_EQ(map.value("a"), QString("plain"));
    EXPECT_EQ(map.value("b"), QString("q\"\\'\a\b\f\n\r\t\v"));
    EXPECT_EQ(map.value("octal"), QString::fromLatin1("A\0\nx", 4));
    EXPECT_EQ(map.value("short"), QString::fromUtf8("A\u00e9!"));
    EXPECT_EQ(map.value("raw"), QString::fromUtf8("caf\u00e9"));
    EXPECT_EQ(map.value("data"), QByteArray::fromHex("0a0b0c0d"));
    EXPECT_EQ(map.value("list"), (QVariantList{"1", QVariantList{"2"}, QVariantMap{{"k", "v"}}}));
    EXPECT_EQ(map.value("empty"), QVariantList());
    EXPECT_EQ(map.value("dup"), QString("second"));
    EXPECT_EQ(map.value("plus"), QString("a+b"));
    EXPECT_EQ(map.value("last"), QString("value"));

    // Top levels other than a dictionary, and the bare pairs of a string table.
    EXPECT_EQ(parseText("( a, \"b\" )"), (QVariantList{"a", "b"}));
    EXPECT_EQ(parseText("  word  "), QString("word"));
    EXPECT_EQ(parseText("<dead beef>"), QByteArray::fromHex("deadbeef"));
    EXPECT_EQ(parseText("\xEF\xBB\xBF/* table */\n\"Undo %@\" = \"Undo %@\";\nCut = \"Cut it\";\n"),
              (QVariantMap{{"Undo %@", "Undo %@"}, {"Cut", "Cut it"}}));
}

TEST(PropertyListText, ReadsTheFormsOtherWritersProduce)
{
    const QString bom(QChar(QChar::ByteOrderMark)); // fromUtf8 would drop it
    struct Case
    {
        const char* what;
        QByteArray text;
        QVariant value;
    };
    const Case cases[] = {
        {"empty text", "", QVariantMap()},
        {"white space only", " \n\t\r\n", QVariantMap()},
        {"a string table holding only comments", "\xEF\xBB\xBF/* Localized texts */\n// none yet\n",
         QVariantMap()},
        {"unknown escapes stand for the character", "{ a = \"\\$\\q\\\xc3\xa9\\8\"; }",
         QVariantMap{{"a", QString::fromUtf8("$q\u00e98")}}},
        {"a // comment ends at CR", "{ a = b; // note\r c = d; }",
         QVariantMap{{"a", "b"}, {"c", "d"}}},
        {"single quotes", "{ 'a b' = 'say \"hi\"'; c = 'it\\'s'; d = (''); }",
         QVariantMap{{"a b", "say \"hi\""}, {"c", "it's"}, {"d", QVariantList{""}}}},
        {"a string table's key; stands for key = key;", "Cancel;\n\"Save As\" = Save;\n'Help';",
         QVariantMap{{"Cancel", "Cancel"}, {"Save As", "Save"}, {"Help", "Help"}}},
        {"a byte order mark is a character",
         "( \"\xEF\xBB\xBFx\", \"\\n\xEF\xBB\xBFy\", \"\\U00e9\xEF\xBB\xBF\" )",
         QVariantList{bom + "x", "\n" + bom + "y", QString::fromUtf8("\u00e9") + bom}},
        {"data and strings of the same digits stay apart",
         "( <3132>, 3132, \"3132\", '3132', <31 32>, <3132>, \"caf\\U00e9\", 'caf\\U00e9', "
         "\"caf\\U00e9\" )",
         QVariantList{QByteArray("12"), "3132", "3132", "3132", QByteArray("12"), QByteArray("12"),
                      QString::fromUtf8("caf\u00e9"), QString::fromUtf8("caf\u00e9"),
                      QString::fromUtf8("caf\u00e9")}},
        {"quotes, escapes and other than ASCII far into long strings",
         "( \"0123456789abcdef\\\"ghij\\\\\", 'abcdefghijklmnop\"qrstuvwx', "
         "\"abcdefghijklmnopq\xc3\xa9rstuvwxyz\", \"abcdefghijklmnopqrstuvwxyz012345\" )",
         QVariantList{"0123456789abcdef\"ghij\\", "abcdefghijklmnop\"qrstuvwx",
                      QString::fromUtf8("abcdefghijklmnopq\u00e9rstuvwxyz"),
                      "abcdefghijklmnopqrstuvwxyz012345"}},
        {"a repeated key takes its last value, whatever the first",
         "{ a = (x); a = x; b = x; b = {k = v;}; c = <00>; c = (); }",
         QVariantMap{{"a", "x"}, {"b", QVariantMap{{"k", "v"}}}, {"c", QVariantList()}}},
    };
    for (const Case& c : cases) {
        QString error;
        const std::optional<QVariant> value = PropertyList::fromText(c.text, &error);
        ASSERT_TRUE(value) << c.what << ": " << error.toStdString();
        EXPECT_EQ(*value, c.value) << c.what;
    }
    // What the writer writes of such values reads back the same.
    for (const Case& c : cases)
        EXPECT_EQ(PropertyList::fromText(PropertyList::toText(c.value)), c.value) << c.what;
}

TEST(PropertyListText, BadInputIsRejectedWithItsLine)
{
    struct Case
    {
        QByteArray text;
        int line;
        const char* words;
    };
    const Case cases[] = {
        {"{\n  a = b;\n  c = (d,\n", 4, "not closed"},
        {"{\n  a = \"open\n\n", 2, "unterminated quoted string"},
        {"{ a = \"x\\\"; }", 1, "unterminated quoted string"},
        {"{ a = 'x\\'; }", 1, "unterminated quoted string"},
        {"( \"0123456789abcdefgh\\", 1, "unterminated quoted string"},
        {"( \"0123456789abcdefgh\\\"", 1, "unterminated quoted string"},
        {"{ a = b; }\n}", 2, "unexpected '}'"},
        {"(a b)", 1, "expected ','"},
        {"{ a = b }\n)", 2, "unexpected ')'"},
        {"{ a = \"\\U\"; }", 1, "bad escape"},
        {"{ a = \"\\400\"; }", 1, "bad escape"},
        {"{\n\n <00> = b; }", 3, "key must be a string"},
        {"{ (a) = b; }", 1, "key must be a string"},
        {"{ a b; }", 1, "expected '='"},
        {"{ a = b c; }", 1, "expected ';'"},
        {"{ a = ; }", 1, "unexpected ';'"},
        {"{ a = <0g>; }", 1, "in a data block"},
        {"{ a = <abc>; }", 1, "odd number"},
        {"{ a = <ab; }", 1, "unterminated data block"},
        {"{ a = b; } /* open", 1, "unterminated comment"},
        {"{ a = \"\xff\xfe\"; }", 1, "UTF-8"},
        {"{ a = b\xc3\xa9; }", 1, "byte 0xc3"},
        {"a = b; c", 1, "after a key"},
        {"a b", 1, "unexpected 'b' after"},
        {nested(PropertyList::MaximumDepth + 1, "(", ")"), 1, "nesting deeper than 512"},
        {"a =" + nested(PropertyList::MaximumDepth, "{x=", "}") + ";", 1,
         "nesting deeper than 512"},
    };
    for (const Case& c : cases) {
        const QString error = textError(c.text);
        EXPECT_TRUE(error.startsWith(QStringLiteral("line %1: ").arg(c.line))
                    && error.contains(c.words))
            << "text: " << c.text.left(60).toStdString() << "\nerror: " << error.toStdString();
    }
    EXPECT_TRUE(PropertyList::fromText(nested(PropertyList::MaximumDepth, "(", ")")).has_value());
    EXPECT_FALSE(PropertyList::fromText("(a", nullptr).has_value()); // no error wanted
}

TEST(PropertyListText, ManyShortKeysAndValuesEachKeepTheirOwn)
{
    // Thousands of spellings of a few bytes, alike in length and unlike by one byte, in a
    // text short enough that many meet in the reader's table of shared values.
    QByteArray text = "{";
    QVariantMap expected;
    QVariantList list;
    QByteArray listText = "(";
    for (int i = 0; i < 3000; ++i) {
        const QByteArray n = QByteArray::number(i);
        text += "k" + n + "=v" + n + ";";
        expected.insert("k" + n, QString("v" + n));
        listText += "<" + n.toHex() + ">,\"" + n + "\",";
        list << n << QString(n);
    }
    text += "list=" + listText + ");}";
    expected.insert("list", list);
    EXPECT_EQ(parseText(text), expected);
}

TEST(PropertyListText, EveryTruncationOfADocumentFailsCleanly)
{
    // Each strict non-empty prefix is unbalanced, whatever token it cuts.
    for (qsizetype n = 1; n < document.size(); ++n) {
        const QString error = textError(document.left(n));
        ASSERT_TRUE(error.contains(QRegularExpression("^line \\d+: ")))
            << n << ": " << error.toStdString();
    }
}

TEST(PropertyListXml, RoundTripKeepsTypes)
{
    const QVariantMap map{
        {"string", QString::fromUtf8("a < b & \u00e9")},
        {"empty", QString("")},
        {"data", QByteArray("\x00\x01\xfe\xff", 4)},
        {"integer", qint64(-9223372036854775807LL - 1)},
        {"real", 841.88976399},
        {"yes", true},
        {"no", false},
        {"date", QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58), Qt::UTC)},
        {"list", QVariantList{1, QVariantList{}, QVariantMap{}}},
        {"nested", QVariantMap{{"k", QVariantList{QString("v")}}}},
    };
    const QByteArray xml = PropertyList::toXml(map);
    EXPECT_TRUE(xml.startsWith(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n\t<key>"))
        << xml.toStdString();
    QString error;
    const std::optional<QVariant> back = PropertyList::fromXml(xml, &error);
    ASSERT_TRUE(back) << error.toStdString();
    const QVariantMap result = back->toMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        EXPECT_EQ(result.value(it.key()), it.value()) << it.key().toStdString();
        EXPECT_EQ(result.value(it.key()).typeId(),
                  it.value().typeId() == QMetaType::Int ? QMetaType::LongLong : it.value().typeId())
            << it.key().toStdString();
    }
    EXPECT_EQ(result.value("list").toList().value(0).typeId(), QMetaType::LongLong);
    // Written twice, the same bytes.
    EXPECT_EQ(PropertyList::toXml(result), xml);

    // Characters XML cannot carry are replaced, so the file still reads; the rest survive.
    const QVariantList awkward{QString("a\r\nb\t]]>\"'"), QString("x\x01y"), qInf(), -qInf()};
    const std::optional<QVariant> read =
        PropertyList::fromXml(PropertyList::toXml(awkward), &error);
    ASSERT_TRUE(read) << error.toStdString();
    EXPECT_EQ(*read, (QVariantList{QString("a\r\nb\t]]>\"'"), QString::fromUtf8("x\uFFFDy"), qInf(),
                                   -qInf()}));
}

TEST(PropertyListXml, ReadsForeignLayoutAndRejectsBadInput)
{
    const QByteArray foreign =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE plist SYSTEM \"plist.dtd\">\n"
        "<!-- comment -->\n"
        "<plist version=\"1.0\"><array>\n"
        "  "
        "<dict><key>paperCode</key><string>Mine</string><key>labelWidth</key><real>252</real></"
        "dict>\n"
        "  <data>\n    AAEC\n    /w==\n  </data>\n"
        "  <string/><integer> 12 </integer><real>-1.5e3</real><true/><false></false>\n"
        "</array></plist>\n";
    QString error;
    const std::optional<QVariant> value = PropertyList::fromXml(foreign, &error);
    ASSERT_TRUE(value) << error.toStdString();
    const QVariantList list = value->toList();
    ASSERT_EQ(list.size(), 7);
    EXPECT_EQ(list[0], (QVariantMap{{"paperCode", "Mine"}, {"labelWidth", 252.0}}));
    EXPECT_EQ(list[1], QByteArray("\x00\x01\x02\xff", 4));
    EXPECT_EQ(list[2], QString(""));
    EXPECT_EQ(list[3], qint64(12));
    EXPECT_EQ(list[4], -1500.0);
    EXPECT_EQ(list[5], true);
    EXPECT_EQ(list[6], false);

    const QByteArray head = "<?xml version=\"1.0\"?>\n<plist version=\"1.0\">\n";
    struct Case
    {
        QByteArray xml;
        int line;
        const char* words;
    };
    const Case cases[] = {
        {"{ a = b; }", 1, ""},
        {"<root/>", 1, "no <plist>"},
        {head + "</plist>", 3, "no value"},
        {head + "<dict>\n<integer>1</integer><string>x</string></dict></plist>", 4,
         "expected <key>"},
        {head + "<dict><key>a</key></dict></plist>", 3, "has no value"},
        {head + "<integer>12x</integer></plist>", 3, "bad integer"},
        {head + "<integer>99999999999999999999</integer></plist>", 3, "bad integer"},
        {head + "<real>abc</real></plist>", 3, "bad real"},
        {head + "<data>!!</data></plist>", 3, "bad base64"},
        {head + "<date>yesterday</date></plist>", 3, "bad date"},
        {head + "<set/></plist>", 3, "unknown element"},
        {head + "<string><b/></string></plist>", 3, ""},
        {head + "<true>x</true></plist>", 3, "holds text"},
        {head + "<array>\n<string>a</string>\n", 5, ""},
        {head + "<string>a</string><string>b</string></plist>", 3, "more than one value"},
        {head + "<string>a</string></plist><plist/>", 3, ""},
        {head + "text</plist>", 3, "unexpected text"},
        {head + nested(PropertyList::MaximumDepth + 1, "<array>", "</array>") + "</plist>", 3,
         "nesting deeper"},
    };
    for (const Case& c : cases) {
        const QString message = xmlError(c.xml);
        EXPECT_TRUE(message.startsWith(QStringLiteral("line %1: ").arg(c.line))
                    && message.contains(c.words))
            << "xml: " << c.xml.toStdString() << "\nerror: " << message.toStdString();
    }
    EXPECT_TRUE(PropertyList::fromXml(
        head + nested(PropertyList::MaximumDepth, "<array>", "</array>") + "</plist>"));

    const QByteArray xml = PropertyList::toXml(QVariantMap{{"a", QVariantList{1, 2.5, "x"}}});
    for (qsizetype n = 0; n < xml.size() - 9; ++n) // up to the end of </plist>
        ASSERT_FALSE(xmlError(xml.left(n)).isEmpty()) << n;
}

TEST(PropertyListXml, IntegersMayBeHexadecimal)
{
    struct Case
    {
        const char* text;
        std::optional<qint64> value;
    };
    const Case cases[] = {
        {"0x1F", 31},
        {"0XfF", 255},
        {"-0x10", -16},
        {"+0x7fffffffffffffff", Q_INT64_C(9223372036854775807)},
        {"-0x8000000000000000", std::numeric_limits<qint64>::min()},
        {"0x8000000000000000", std::nullopt},
        {"0x", std::nullopt},
        {"0x-1", std::nullopt},
        {"0x 1", std::nullopt},
        {"0x1g", std::nullopt},
        {"017", 17},
    };
    for (const Case& c : cases) {
        const QByteArray xml = QByteArray("<plist><integer>") + c.text + "</integer></plist>";
        QString error;
        const std::optional<QVariant> value = PropertyList::fromXml(xml, &error);
        if (c.value) {
            ASSERT_TRUE(value) << c.text << ": " << error.toStdString();
            EXPECT_EQ(*value, QVariant(*c.value)) << c.text;
        } else {
            EXPECT_FALSE(value) << c.text;
            EXPECT_TRUE(error.contains("bad integer")) << c.text << ": " << error.toStdString();
        }
    }
}

TEST(PropertyListXml, DatesAreKeptToTheSecond)
{
    // As written: what is read writes and reads back the same.
    struct Case
    {
        const char* text;
        QDateTime date;
    };
    const Case cases[] = {
        {"2024-02-29T23:59:34Z", QDateTime(QDate(2024, 2, 29), QTime(23, 59, 34), Qt::UTC)},
        {"2024-02-29T23:59:34.8Z", QDateTime(QDate(2024, 2, 29), QTime(23, 59, 34), Qt::UTC)},
        {"2024-03-01T00:59:34.999+01:00",
         QDateTime(QDate(2024, 2, 29), QTime(23, 59, 34), Qt::UTC)},
        {"1969-12-31T23:59:59.5Z", QDateTime(QDate(1969, 12, 31), QTime(23, 59, 59), Qt::UTC)},
    };
    for (const Case& c : cases) {
        const std::optional<QVariant> value =
            PropertyList::fromXml(QByteArray("<plist><date>") + c.text + "</date></plist>");
        ASSERT_TRUE(value) << c.text;
        EXPECT_EQ(value->toDateTime(), c.date) << c.text;
        EXPECT_EQ(PropertyList::fromXml(PropertyList::toXml(*value)), value) << c.text;
    }
}

TEST(PropertyListXml, EntityDeclarationsAreRefused)
{
    // A few kilobytes that would expand to gigabytes, and a single harmless entity: a
    // property list needs neither, so both are refused before any text is expanded.
    QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE plist [\n<!ENTITY a0 \"ha\">\n";
    for (int i = 1; i < 40; ++i)
        laughs +=
            QStringLiteral("<!ENTITY a%1 \"&a%2;&a%2;&a%2;&a%2;\">\n").arg(i).arg(i - 1).toLatin1();
    laughs += "]>\n<plist version=\"1.0\"><string>&a39;</string></plist>\n";
    const QByteArray single = "<!DOCTYPE plist [ <!ENTITY name \"Quarn\"> ]>\n"
                              "<plist><string>&name;</string></plist>";
    for (const QByteArray& xml : {laughs, single}) {
        QString error;
        EXPECT_FALSE(PropertyList::fromXml(xml, &error));
        EXPECT_TRUE(error.contains("declares entities")) << error.toStdString();
        EXPECT_FALSE(PropertyList::read(xml));
    }

    // The predefined entities and character references are no declarations.
    const std::optional<QVariant> plain = PropertyList::fromXml(
        "<!DOCTYPE plist PUBLIC \"-//x//DTD PLIST 1.0//EN\" \"plist.dtd\">\n"
        "<plist><string>&lt;&amp;&gt;&quot;&apos;&#65;&#x42;</string></plist>");
    ASSERT_TRUE(plain);
    EXPECT_EQ(*plain, QVariant(QString("<&>\"'AB")));
}

TEST(PropertyListXml, PlainDocumentsReadAsExpatReadsThem)
{
    // Plain documents are read straight from their bytes, the rest through expat; both
    // readers give the same value or the same error for every document.
    const auto through = [](const QByteArray& xml, QString* error) -> std::optional<QVariant> {
        const std::optional<PropertyListTree> tree =
            PropertyListTree::fromXmlThroughExpat(xml, error);
        return tree ? std::optional<QVariant>(tree->root().toVariant()) : std::nullopt;
    };
    const QByteArray head = "<?xml version=\"1.0\"?>\n<plist version=\"1.0\">\n";
    struct Case
    {
        const char* what;
        QByteArray xml;
        QVariant value; // invalid when the document is refused
    };
    const Case cases[] = {
        {"references",
         head + "<string>&lt;&amp;&gt;&quot;&apos;&#65;&#x1F600;&#13;</string></plist>",
         QString::fromUtf8("<&>\"'A\U0001F600\r")},
        {"byte order marks in text",
         head
             + "<array><string>\xef\xbb\xbf\xef\xbb\xbfk</string><string>a\xef\xbb\xbf</string>"
               "</array></plist>",
         QVariantList{QStringLiteral("\uFEFF\uFEFFk"), QStringLiteral("a\uFEFF")}},
        {"empty elements and attributes",
         "<plist version='1.0' a=\"x>y\"><dict><key/><string/><key>k</key><array/></dict></plist>",
         QVariantMap{{"", QString()}, {"k", QVariantList{}}}},
        {"repeated key", head + "<dict><key>a</key><true/><key>a</key><false/></dict></plist>",
         QVariantMap{{"a", false}}},
        {"comment", head + "<array><!-- x --><true/></array></plist>", QVariantList{true}},
        {"CDATA", head + "<string><![CDATA[<&>]]></string></plist>", QString("<&>")},
        {"carriage returns", "<plist>\r\n<string>a\r\nb\rc</string>\r\n</plist>",
         QString("a\nb\nc")},
        {"document type",
         "<!DOCTYPE plist SYSTEM \"plist.dtd\">\n<plist><integer>7</integer></plist>", qint64(7)},
        {"another spelling of UTF-8",
         "<?xml version=\"1.0\" encoding=\"utf8\"?><plist><string>\xc3\xa9</string></plist>",
         QString::fromUtf8("\u00e9")},
        {"Latin-1",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><plist><string>\xe9</string></plist>",
         QString::fromUtf8("\u00e9")},
        {"control character", head + "<string>a\x01</string></plist>", QVariant()},
        {"U+FFFF", head + "<string>\xef\xbf\xbf</string></plist>", QVariant()},
        {"overlong UTF-8", head + "<string>\xc0\xaf</string></plist>", QVariant()},
        {"reference to no character", head + "<string>&#0;</string></plist>", QVariant()},
        {"\"]]>\" in text", head + "<string>]]></string></plist>", QVariant()},
        {"unknown entity", head + "<string>&nbsp;</string></plist>", QVariant()},
        {"repeated attribute", "<plist a='1' a='2'><true/></plist>", QVariant()},
        {"mismatched tag", head + "<string>x</strong></plist>", QVariant()},
        {"bad real", head + "<array>\n<real>1e</real></array></plist>", QVariant()},
        {"text after the list", head + "<true/></plist>x", QVariant()},
    };
    for (const Case& c : cases) {
        QString error;
        const std::optional<QVariant> value = PropertyList::fromXml(c.xml, &error);
        QString expatError;
        const std::optional<QVariant> expat = through(c.xml, &expatError);
        EXPECT_EQ(value, expat) << c.what;
        EXPECT_EQ(error, expatError) << c.what;
        if (c.value.isValid()) {
            ASSERT_TRUE(value) << c.what << ": " << error.toStdString();
            EXPECT_EQ(*value, c.value) << c.what;
            EXPECT_EQ(value->typeId(), c.value.typeId()) << c.what;
        } else {
            EXPECT_FALSE(value) << c.what;
            EXPECT_TRUE(error.contains(QRegularExpression("^line \\d+: ."))) << c.what;
        }
    }
}

TEST(PropertyList, ReadDetectsTheForm)
{
    const QVariantMap map{{"a", "b"}};
    EXPECT_EQ(PropertyList::read(PropertyList::toText(map)), QVariant(map));
    EXPECT_EQ(PropertyList::read("\xEF\xBB\xBF" + PropertyList::toXml(map)), QVariant(map));
    EXPECT_EQ(PropertyList::read("<plist version=\"1.0\"><string>x</string></plist>"),
              QVariant("x"));
    EXPECT_EQ(PropertyList::read("<00ff>"), QVariant(QByteArray::fromHex("00ff")));
    QString error;
    EXPECT_FALSE(PropertyList::read(QByteArray("bplist00\x00\x01", 10), &error));
    EXPECT_TRUE(error.contains("binary")) << error.toStdString();
}
