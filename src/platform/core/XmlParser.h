#pragma once

// An event-driven XML reader over expat. A subclass receives the document's elements and
// text in document order through three handlers and may stop the parse from any of them:
//
//     class Titles : public platform::XmlParser
//     {
//         void startElement(QByteArrayView name, const XmlAttributes& attributes) override;
//         void endElement(QByteArrayView name) override;
//         void characters(QByteArrayView text) override; // may come in several pieces
//     };
//
//     Titles titles;
//     if (!titles.parse(bytes))
//         qWarning() << titles.errorString(); // "line 3, column 7: mismatched tag"
//
// Names, attribute values and text are handed over as UTF-8, whatever the document's
// encoding (UTF-8, UTF-16 or ISO-8859-1, under any name Qt knows them by, as the
// declaration or byte order mark says), with
// references replaced and line ends read as line feeds; comments and processing
// instructions are passed over, and the text of CDATA sections is text like any other. No
// namespace processing: a prefixed name is handed over as spelt.
//
// Entities are refused: a document type that declares any (the way a few kilobytes expand
// into gigabytes of text), and a reference to an entity that is not one of the five
// predefined ones, fail the parse. Character references are read as usual. Nothing outside
// the document is ever fetched.

#include <QByteArrayView>
#include <QString>

#include <memory>
#include <optional>

namespace platform {

// The attributes of one start element, as the document gives them (defaults a document
// type declares included). Valid only during the startElement() call that hands them over.
class XmlAttributes
{
public:
    explicit XmlAttributes(const char* const* pairs) : _pairs(pairs) {}

    qsizetype count() const;
    QByteArrayView name(qsizetype index) const { return QByteArrayView(_pairs[2 * index]); }
    QByteArrayView value(qsizetype index) const { return QByteArrayView(_pairs[2 * index + 1]); }
    // The value of the attribute of that name; nullopt when the element has none.
    std::optional<QByteArrayView> value(QByteArrayView name) const;

private:
    const char* const* _pairs;
};

class XmlParser
{
public:
    XmlParser();
    virtual ~XmlParser();
    XmlParser(const XmlParser&) = delete;
    XmlParser& operator=(const XmlParser&) = delete;

    // Reads a whole document, calling the handlers as it goes. False when the document is
    // not well-formed XML, uses entities (see above) or a handler aborted; errorString()
    // and the error position say why and where. A parser may parse again.
    bool parse(QByteArrayView document);

    // From a handler: stops the parse, which then fails with message, placed at the event
    // being handled.
    void abort(const QString& message);

    // The position of the event being handled: the line from 1, the column (in characters)
    // from 1.
    qint64 lineNumber() const;
    qint64 columnNumber() const;

    // Why the last parse failed (empty after a success) and where.
    QString errorMessage() const { return _errorMessage; }
    qint64 errorLine() const { return _errorLine; }
    qint64 errorColumn() const { return _errorColumn; }
    // "line 3, column 7: mismatched tag"
    QString errorString() const;

protected:
    virtual void startElement(QByteArrayView name, const XmlAttributes& attributes) = 0;
    virtual void endElement(QByteArrayView name) = 0;
    // A piece of text; a run of text between two tags may come in several pieces.
    virtual void characters(QByteArrayView text) = 0;

private:
    struct Expat;
    friend struct Expat;

    bool parse(QByteArrayView document, const char* encoding);

    std::unique_ptr<Expat> _expat;
    const char* _retryEncoding = nullptr;
    QString _errorMessage;
    qint64 _errorLine = 0;
    qint64 _errorColumn = 0;
};

} // namespace platform
