#pragma once

// The open documents of the program: the controller keeps each document it is given until
// the document is closed or the controller goes. One is shared by the whole program, made
// on first use.

#include <QList>
#include <QObject>

namespace platform {

class Document;

class DocumentController : public QObject
{
    Q_OBJECT
public:
    explicit DocumentController(QObject* parent = nullptr);
    ~DocumentController() override;

    static DocumentController& sharedDocumentController();

    // Takes the document (its Qt parent); it is let go once it is closed or removed.
    void addDocument(Document* document);
    // Hands the document back to the caller.
    void removeDocument(Document* document);
    const QList<Document*>& documents() const { return _documents; }

private:
    QList<Document*> _documents;
};

} // namespace platform
