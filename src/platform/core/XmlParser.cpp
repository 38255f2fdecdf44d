#include "platform/core/XmlParser.h"

#include <QStringConverter>

#include <expat.h>

#include <algorithm>
#include <climits>
#include <utility>

namespace platform {

qsizetype XmlAttributes::count() const
{
    qsizetype n = 0;
    while (_pairs[2 * n])
        ++n;
    return n;
}

std::optional<QByteArrayView> XmlAttributes::value(QByteArrayView name) const
{
    for (const char* const* p = _pairs; *p; p += 2) {
        if (name == QByteArrayView(*p))
            return QByteArrayView(p[1]);
    }
    return std::nullopt;
}

// The expat parser of one parse, and the handlers it calls back.
struct XmlParser::Expat
{
    XML_Parser parser = nullptr;
    bool aborted = false;
    int attributeDeclarations = 0;
    // The name expat knows for the encoding the document declares under another name.
    const char* encoding = nullptr;

    // encoding: the document's, whatever it declares; null to go by the declaration.
    Expat(XmlParser& owner, const char* encoding) : parser(XML_ParserCreate(encoding))
    {
        Q_CHECK_PTR(parser);
        XML_SetUserData(parser, &owner);
        XML_SetElementHandler(parser, start, end);
        XML_SetCharacterDataHandler(parser, text);
        XML_SetEntityDeclHandler(parser, entityDeclaration);
        XML_SetAttlistDeclHandler(parser, attributeListDeclaration);
        XML_SetSkippedEntityHandler(parser, skippedEntity);
        XML_SetUnknownEncodingHandler(parser, unknownEncoding, this);
    }

    ~Expat() { XML_ParserFree(parser); }

    // expat may still deliver an event or two after a stop; the handlers see none.
    static XmlParser* owner(void* data)
    {
        auto* parser = static_cast<XmlParser*>(data);
        return parser->_expat->aborted ? nullptr : parser;
    }

    static void XMLCALL start(void* data, const XML_Char* name, const XML_Char** attributes)
    {
        if (XmlParser* parser = owner(data))
            parser->startElement(QByteArrayView(name), XmlAttributes(attributes));
    }

    static void XMLCALL end(void* data, const XML_Char* name)
    {
        if (XmlParser* parser = owner(data))
            parser->endElement(QByteArrayView(name));
    }

    static void XMLCALL text(void* data, const XML_Char* text, int length)
    {
        if (XmlParser* parser = owner(data))
            parser->characters(QByteArrayView(text, length));
    }

    static void XMLCALL entityDeclaration(void* data, const XML_Char* name, int, const XML_Char*,
                                          int, const XML_Char*, const XML_Char*, const XML_Char*,
                                          const XML_Char*)
    {
        if (XmlParser* parser = owner(data))
            parser->abort(QStringLiteral("the document type declares entities (\"%1\"), which are "
                                         "not read")
                              .arg(QString::fromUtf8(name)));
    }

    // Default attributes: expat adds every one declared to every element of its name, so a
    // short document type could make each of many elements carry thousands. A document
    // type declares a few, if any; more than that is refused.
    static constexpr int maximumAttributeDeclarations = 64;
    static void XMLCALL attributeListDeclaration(void* data, const XML_Char*, const XML_Char*,
                                                 const XML_Char*, const XML_Char*, int)
    {
        XmlParser* parser = owner(data);
        if (parser && ++parser->_expat->attributeDeclarations > maximumAttributeDeclarations)
            parser->abort(QStringLiteral("the document type declares more than %1 attributes, "
                                         "which are not read")
                              .arg(maximumAttributeDeclarations));
    }

    // A reference to an entity that is not declared, where the document's external
    // document type might have declared it (expat reads none).
    static void XMLCALL skippedEntity(void* data, const XML_Char* name, int parameter)
    {
        if (XmlParser* parser = owner(data))
            parser->abort(QStringLiteral("reference to the undeclared entity \"%1%2;\"")
                              .arg(QLatin1String(parameter ? "%" : "&"), QString::fromUtf8(name)));
    }

    // expat knows UTF-8, UTF-16 and ISO-8859-1 by their standard names only; Qt's reader
    // also took other spellings of them ("utf8", "latin1"). Such a name fails this parse
    // and has the document read again as the encoding it stands for.
    static int XMLCALL unknownEncoding(void* data, const XML_Char* name, XML_Encoding*)
    {
        static const std::pair<QStringConverter::Encoding, const char*> names[] = {
            {QStringConverter::Utf8, "UTF-8"},        {QStringConverter::Utf16, "UTF-16"},
            {QStringConverter::Utf16LE, "UTF-16LE"},  {QStringConverter::Utf16BE, "UTF-16BE"},
            {QStringConverter::Latin1, "ISO-8859-1"},
        };
        const std::optional<QStringConverter::Encoding> encoding =
            QStringConverter::encodingForName(name);
        for (const auto& [known, expatName] : names) {
            if (encoding == known)
                static_cast<Expat*>(data)->encoding = expatName;
        }
        return XML_STATUS_ERROR;
    }
};

XmlParser::XmlParser() = default;

XmlParser::~XmlParser() = default;

bool XmlParser::parse(QByteArrayView document)
{
    if (parse(document, nullptr))
        return true;
    // Nothing was handed over before the declaration named the encoding.
    if (const char* encoding = _retryEncoding)
        return parse(document, encoding);
    return false;
}

bool XmlParser::parse(QByteArrayView document, const char* encoding)
{
    _errorMessage.clear();
    _errorLine = _errorColumn = 0;
    _retryEncoding = nullptr;
    _expat = std::make_unique<Expat>(*this, encoding);
    XML_Parser parser = _expat->parser;
    // expat takes at most INT_MAX bytes a call.
    const char* p = document.data();
    qsizetype left = document.size();
    bool ok = true;
    do {
        const int chunk = int(std::min<qsizetype>(left, INT_MAX));
        left -= chunk;
        ok = XML_Parse(parser, p, chunk, left == 0) == XML_STATUS_OK;
        p += chunk;
    } while (ok && left > 0);
    if (!ok && !_expat->aborted) {
        _errorMessage = QString::fromLatin1(XML_ErrorString(XML_GetErrorCode(parser)));
        _errorLine = qint64(XML_GetCurrentLineNumber(parser));
        _errorColumn = qint64(XML_GetCurrentColumnNumber(parser)) + 1;
        if (XML_GetErrorCode(parser) == XML_ERROR_UNKNOWN_ENCODING)
            _retryEncoding = _expat->encoding;
    }
    _expat.reset();
    return ok;
}

void XmlParser::abort(const QString& message)
{
    Q_ASSERT(_expat); // only from a handler
    if (_expat->aborted)
        return;
    _expat->aborted = true;
    _errorMessage = message;
    _errorLine = lineNumber();
    _errorColumn = columnNumber();
    XML_StopParser(_expat->parser, XML_FALSE);
}

qint64 XmlParser::lineNumber() const
{
    return _expat ? qint64(XML_GetCurrentLineNumber(_expat->parser)) : 0;
}

qint64 XmlParser::columnNumber() const
{
    return _expat ? qint64(XML_GetCurrentColumnNumber(_expat->parser)) + 1 : 0;
}

QString XmlParser::errorString() const
{
    if (_errorMessage.isEmpty())
        return QString();
    return QStringLiteral("line %1, column %2: %3")
        .arg(_errorLine)
        .arg(_errorColumn)
        .arg(_errorMessage);
}

} // namespace platform
