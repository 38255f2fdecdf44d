#pragma once

// A controller that shows a document in a window. The document owns it (Qt parent) and
// tells it when its edited state changes; a controller may have no window (yet), in which
// case there is nothing to mark or close.

#include <QObject>

class QWidget;

namespace platform {

class Document;

class WindowController : public QObject
{
    Q_OBJECT
public:
    explicit WindowController(QObject* parent = nullptr);
    ~WindowController() override;

    // The document shown; set by Document::addWindowController(), not owned.
    Document* document() const { return _document; }
    void setDocument(Document* document) { _document = document; }

    // The window, nullptr while there is none.
    virtual QWidget* window() const { return nullptr; }

    // Shows the document's edited state in the window (its modified mark).
    virtual void setDocumentEdited(bool edited);

    // Closes the window.
    virtual void close();

private:
    Document* _document = nullptr;
};

} // namespace platform
