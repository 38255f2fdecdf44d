// The XML parser: a document it accepts, written again from its events (elements with
// their attributes, and text), reads back to the same events; a handler that aborts ends
// the events there, with its message; every failure says why and where.

#include "FuzzTarget.h"

#include "platform/core/XmlParser.h"

#include <algorithm>

using platform::XmlAttributes;

namespace fuzz {

namespace {

// Writes the events it receives as XML, markup characters and those XML would not keep
// as they are (carriage returns, tabs and line feeds in attribute values) as references.
// An element named "stop" aborts the parse.
class Recorder : public platform::XmlParser
{
public:
    QByteArray written;
    int eventsAfterAbort = 0;
    bool aborted = false;

private:
    static QByteArray escaped(QByteArrayView text, bool attribute)
    {
        QByteArray out;
        for (const char c : text) {
            switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\r': out += "&#13;"; break;
            case '\t': out += attribute ? "&#9;" : "\t"; break;
            case '\n': out += attribute ? "&#10;" : "\n"; break;
            default: out += c; break;
            }
        }
        return out;
    }

    void startElement(QByteArrayView name, const XmlAttributes& attributes) override
    {
        eventsAfterAbort += aborted;
        written += '<' + name.toByteArray();
        for (qsizetype i = 0; i < attributes.count(); ++i) {
            written += ' ' + attributes.name(i).toByteArray() + "=\"";
            written += escaped(attributes.value(i), true) + '"';
            FUZZ_PROMISE(attributes.value(attributes.name(i)) == attributes.value(i),
                         QString::fromUtf8(attributes.name(i).toByteArray()));
        }
        written += '>';
        if (name == "stop") {
            aborted = true;
            abort(QStringLiteral("stopped"));
        }
    }

    void endElement(QByteArrayView name) override
    {
        eventsAfterAbort += aborted;
        written += "</" + name.toByteArray() + '>';
    }

    void characters(QByteArrayView text) override
    {
        eventsAfterAbort += aborted;
        written += escaped(text, false);
    }
};

} // namespace

QList<QByteArray> seeds()
{
    return {
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE catalogue SYSTEM \"c.dtd\">\n"
        "<catalogue version=\"2\"><!-- a comment --><label id='a&amp;b' width=\"10.5\">"
        "Caf\xc3\xa9 &lt;&#x1F600;&gt;<![CDATA[<raw>]]><?pi data?></label>\r\n"
        "<empty/></catalogue>",
        "<!DOCTYPE a [<!ATTLIST a b CDATA 'default'>]><a>x<b/>y<stop/>z</a>",
        // A name Latin-1 allows and UTF-8 does not.
        "<?xml version=\"1.0\" encoding=\"latin1\"?><a \xaa=\"\xe9\">\xe9</a>",
        QByteArray("\xff\xfe<\0a\0/\0>\0", 10),
    };
}

void fuzzOne(const QByteArray& data)
{
    Recorder first;
    if (!first.parse(data)) {
        FUZZ_PROMISE(!first.errorMessage().isEmpty() && first.errorLine() >= 1
                         && first.errorColumn() >= 1,
                     first.errorString());
        FUZZ_PROMISE(first.eventsAfterAbort == 0, describe(data));
        FUZZ_PROMISE(!first.aborted || first.errorMessage() == QLatin1String("stopped"),
                     first.errorString());
        return;
    }
    FUZZ_PROMISE(!first.aborted, describe(data));
    // Written in Latin-1 when every character fits: expat takes more characters in names
    // there (U+00AA, U+00B5, U+00BA) than in UTF-8.
    QByteArray document = first.written;
    const QString text = QString::fromUtf8(first.written);
    if (std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() <= 0xff; }))
        document = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>" + text.toLatin1();
    Recorder second;
    FUZZ_PROMISE(second.parse(document),
                 QStringLiteral("%1\n%2").arg(describe(document), second.errorString()));
    FUZZ_PROMISE(second.written == first.written,
                 QStringLiteral("%1\n%2").arg(describe(first.written), describe(second.written)));
}

} // namespace fuzz
