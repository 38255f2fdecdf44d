#include "platform/core/XmlParser.h"

#include <QStringList>

#include <gtest/gtest.h>

using platform::XmlAttributes;

namespace {

// Records the events as a list: "<name a=v ...>", the text between two tags in one piece,
// "</name>". An element named "stop" aborts the parse.
class Events : public platform::XmlParser
{
public:
    QStringList events;

    QStringList read(const QByteArray& document)
    {
        events.clear();
        _text.clear();
        const bool ok = parse(document);
        flush();
        if (!ok)
            events.append(QStringLiteral("error: ") + errorString());
        return events;
    }

private:
    void flush()
    {
        if (!_text.isEmpty())
            events.append(QString::fromUtf8(_text));
        _text.clear();
    }

    void startElement(QByteArrayView name, const XmlAttributes& attributes) override
    {
        flush();
        QString event = QLatin1Char('<') + QString::fromUtf8(name);
        for (qsizetype i = 0; i < attributes.count(); ++i)
            event += QStringLiteral(" %1=%2").arg(QString::fromUtf8(attributes.name(i)),
                                                  QString::fromUtf8(attributes.value(i)));
        events.append(event + QLatin1Char('>'));
        if (name == "stop")
            abort(QStringLiteral("stopped at <stop>"));
    }

    void endElement(QByteArrayView name) override
    {
        flush();
        events.append(QStringLiteral("</%1>").arg(QString::fromUtf8(name)));
    }

    void characters(QByteArrayView text) override { _text += text; }

    QByteArray _text;
};

} // namespace

TEST(XmlParser, HandsOverElementsAttributesAndText)
{
    // Comments and processing instructions go; CDATA, references and line ends become
    // text; attribute defaults of the document type join the attributes.
    const QByteArray document =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<!DOCTYPE labels [<!ATTLIST label unit CDATA 'mm'>]>\r\n"
        "<labels count='2'><!-- first -->"
        "<label name=\"a &amp; b\">Caf\xc3\xa9 &lt;&#x1F600;&#65;&gt;<![CDATA[<raw>]]>\r\nend"
        "<?note skipped?></label>"
        "<label name=\"c\" unit=\"in\"/></labels>";
    Events events;
    EXPECT_EQ(events.read(document),
              (QStringList{"<labels count=2>", "<label name=a & b unit=mm>",
                           QString::fromUtf8("Caf\xc3\xa9 <\xf0\x9f\x98\x80"
                                             "A><raw>\nend"),
                           "</label>", "<label name=c unit=in>", "</label>", "</labels>"}));

    // The same document in the encodings expat reads, under any name Qt knows them by.
    const QStringList expected{"<a b=\u00e9>", "\u00e9", "</a>"};
    const QByteArray latin1Body = "<a b=\"\xe9\">\xe9</a>";
    for (const char* name : {"ISO-8859-1", "latin1", "Latin-1"}) {
        EXPECT_EQ(events.read("<?xml version=\"1.0\" encoding=\"" + QByteArray(name) + "\"?>"
                              + latin1Body),
                  expected)
            << name;
    }
    const QByteArray utf8Body = "<a b=\"\xc3\xa9\">\xc3\xa9</a>";
    for (const char* name : {"UTF-8", "utf8", "UTF8"}) {
        EXPECT_EQ(
            events.read("<?xml version=\"1.0\" encoding=\"" + QByteArray(name) + "\"?>" + utf8Body),
            expected)
            << name;
    }
    const QString utf16 = QString::fromUtf8(utf8Body);
    QByteArray utf16Document("\xff\xfe");
    utf16Document.append(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2);
    EXPECT_EQ(events.read(utf16Document), expected);
}

TEST(XmlParser, ErrorsSayWhyAndWhere)
{
    struct Case
    {
        const char* what;
        QByteArray document;
        const char* error; // "line L, column C: message" starts with it
        QStringList eventsBefore;
    };
    QByteArray manyAttributes = "<!DOCTYPE a [";
    for (int i = 0; i < 65; ++i)
        manyAttributes += "<!ATTLIST a x" + QByteArray::number(i) + " CDATA 'y'>";
    manyAttributes += "]><a/>";
    const Case cases[] = {
        {"mismatched tag",
         "<a>\n  <b></a>",
         "line 2, column 8: mismatched tag",
         {"<a>", "\n  ", "<b>"}},
        {"cut short",
         "<a>\n<b/>\n",
         "line 3, column 1: no element found",
         {"<a>", "\n", "<b>", "</b>", "\n"}},
        {"not XML", "{ a = b; }", "line 1, column 1: not well-formed", {}},
        {"empty", "", "line 1, column 1: no element found", {}},
        {"unknown encoding",
         "<?xml version=\"1.0\" encoding=\"klingon\"?><a/>",
         "line 1, column 31: unknown encoding",
         {}},
        // Entities: never declared, never expanded, never fetched.
        {"internal entity",
         "<!DOCTYPE a [\n<!ENTITY e \"x\">\n]><a>&e;</a>",
         "line 2, column 12: the document type declares entities (\"e\")",
         {}},
        {"parameter entity",
         "<!DOCTYPE a [<!ENTITY % p \"x\">]><a/>",
         "line 1, column 27: the document type declares entities (\"p\")",
         {}},
        {"external entity",
         "<!DOCTYPE a [<!ENTITY e SYSTEM \"/etc/passwd\">]><a>&e;</a>",
         "line 1, column 45: the document type declares entities (\"e\")",
         {}},
        // Nor more default attributes than a document type needs: expat adds each to every
        // element of its name.
        {"attribute lists",
         manyAttributes,
         "line 1, column 1690: the document type declares more than 64 attributes",
         {}},
        {"undeclared entity", "<a>&e;</a>", "line 1, column 4: undefined entity", {"<a>"}},
        {"undeclared entity of an outside document type",
         "<!DOCTYPE a SYSTEM \"a.dtd\">\n<a>x&e;</a>",
         "line 2, column 5: reference to the undeclared entity \"&e;\"",
         {"<a>", "x"}},
        // A handler's abort ends the events at once.
        {"aborted",
         "<a>\n x<stop>y</stop><b/></a>",
         "line 2, column 3: stopped at <stop>",
         {"<a>", "\n x", "<stop>"}},
    };
    Events events;
    for (const Case& c : cases) {
        QStringList expected = c.eventsBefore;
        const QStringList read = events.read(c.document);
        ASSERT_FALSE(read.isEmpty()) << c.what;
        EXPECT_TRUE(read.last().startsWith(QStringLiteral("error: ") + QLatin1String(c.error)))
            << c.what << ": " << read.last().toStdString();
        EXPECT_EQ(read.mid(0, read.size() - 1), expected) << c.what;
    }
    // The error names the position as numbers too, and clears with the next success.
    EXPECT_FALSE(events.parse("<a>\n<b></a>"));
    EXPECT_EQ(events.errorMessage(), QStringLiteral("mismatched tag"));
    EXPECT_EQ(events.errorLine(), 2);
    EXPECT_EQ(events.errorColumn(), 6);
    EXPECT_TRUE(events.parse("<a/>"));
    EXPECT_TRUE(events.errorString().isEmpty());
}
