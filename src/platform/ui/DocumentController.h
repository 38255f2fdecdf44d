#pragma once

// The program's open documents: it makes new untitled ones, opens files by their
// extension, finds the document of a file, and at quit asks about each edited document.
// The program tells it how documents of its types are made and read (setDocumentTypes());
// without that it makes and opens nothing.
//
// Owns the documents added to it (Qt parent); a document removed goes (later) unless it was
// added without handing it over. Main thread only; one controller for the process.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QWidget;

namespace platform {

class Document;
struct Error;

class DocumentController : public QObject
{
    Q_OBJECT
public:
    struct DocumentTypes
    {
        // The type of a new untitled document.
        QString defaultType;
        // The document extensions (without the dot), the first the default type's.
        QStringList extensions;
        // The type files of the extension are read as; null for an extension of none.
        std::function<QString(const QString& extension)> typeForExtension;
        // A new untitled document of the type.
        std::function<std::unique_ptr<Document>(const QString& type)> makeUntitled;
        // The document read from the file as the type; nullptr and the reason when it
        // cannot be read.
        std::function<std::unique_ptr<Document>(const QString& path, const QString& type,
                                                Error* error)>
            read;
    };

    static DocumentController& sharedDocumentController();

    void setDocumentTypes(DocumentTypes types) { _types = std::move(types); }
    const DocumentTypes& documentTypes() const { return _types; }
    // The type of a file by its extension; null when the program reads no such file.
    QString typeForFileName(const QString& path) const;

    // Open documents, oldest first.
    const QList<Document*>& documents() const { return _documents; }
    // Takes the document (its Qt parent becomes the controller).
    void addDocument(Document* document);
    // Forgets the document; one the controller owned is deleted once control returns to
    // the event loop.
    void removeDocument(Document* document);
    // The open document of the file (paths compared cleaned and absolute); nullptr when
    // none has it.
    Document* documentForFileName(const QString& path) const;

    // A new untitled document of the default type, with its windows made and shown;
    // nullptr when none can be made.
    Document* openUntitledDocument();
    // The document of the file: the open one, its window brought forward, else the file
    // read as the type of its extension, added and shown. Every way a file is opened (the
    // Open command, files handed to the program) comes here, so a file that is missing, of
    // no type the program reads or that cannot be read is reported here, in an alert
    // naming the file and the reason; nothing else changes, nullptr is returned and
    // *error holds the reason.
    Document* openDocumentWithContentsOfFile(const QString& path, Error* error = nullptr);
    // The same without the alert, for a caller that reports the failures of several files
    // together: nullptr and the reason in *error when the file cannot be read.
    Document* readDocument(const QString& path, Error* error);
    // Adds a document read elsewhere and shows it: makes its window controllers, adds it
    // and shows its windows.
    void addAndShowDocument(Document* document);
    // The Open command: the open panel (window-modal on `window` when given) and each
    // chosen document opened. Files with one of the `others` extensions (what the program
    // takes in without being a document of it) are offered too, and handed to `openOthers`.
    void openDocument(QWidget* window, const QStringList& others = {},
                      const std::function<void(const QStringList&)>& openOthers = {});

    // Before quitting: each edited document in turn is asked whether it may close
    // (Document::canCloseDocument(): Save, Don't Save or Cancel in a sheet on its window);
    // a Cancel, or a save that does not happen, stops the review. Then didReview learns
    // whether quitting may go on.
    void reviewUnsavedDocuments(std::function<void(bool shouldTerminate)> didReview);
    // Closes every document and lets it go.
    void closeAllDocuments();

Q_SIGNALS:
    void documentAdded(platform::Document* document);
    void documentRemoved(platform::Document* document);

private:
    DocumentController() = default;
    void reviewNext(QList<Document*> remaining, std::function<void(bool)> didReview);

    DocumentTypes _types;
    QList<Document*> _documents;
};

} // namespace platform
