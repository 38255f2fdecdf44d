#include "platform/ui/DocumentController.h"

#include "platform/core/Error.h"
#include "platform/core/Strings.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Document.h"
#include "platform/ui/DocumentFileDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QWidget>

namespace platform {

namespace {

QString dialogString(const char* key)
{
    return LocalizedString(QString::fromUtf8(key), QStringLiteral("DialogStrings"));
}

QString cleanAbsolute(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

DocumentController& DocumentController::sharedDocumentController()
{
    static DocumentController* controller = new DocumentController;
    return *controller;
}

QString DocumentController::typeForFileName(const QString& path) const
{
    const QString extension = QFileInfo(path).suffix();
    if (extension.isEmpty() || !_types.typeForExtension)
        return QString();
    return _types.typeForExtension(extension);
}

void DocumentController::addDocument(Document* document)
{
    if (!document || _documents.contains(document))
        return;
    document->setParent(this);
    _documents.append(document);
    connect(document, &QObject::destroyed, this,
            [this](QObject* object) { _documents.removeOne(static_cast<Document*>(object)); });
    // An untitled document takes its number now that it is one of the open documents.
    document->synchronizeWindowTitles();
    Q_EMIT documentAdded(document);
}

void DocumentController::removeDocument(Document* document)
{
    if (!_documents.removeOne(document))
        return;
    disconnect(document, &QObject::destroyed, this, nullptr);
    Q_EMIT documentRemoved(document);
    if (document->parent() == this)
        document->deleteLater();
}

Document* DocumentController::documentForFileName(const QString& path) const
{
    const QString wanted = cleanAbsolute(path);
    for (Document* document : _documents) {
        if (!document->fileName().isEmpty() && cleanAbsolute(document->fileName()) == wanted)
            return document;
    }
    return nullptr;
}

void DocumentController::addAndShowDocument(Document* document)
{
    document->makeWindowControllers();
    addDocument(document);
    document->showWindows();
}

Document* DocumentController::openUntitledDocument()
{
    if (!_types.makeUntitled)
        return nullptr;
    std::unique_ptr<Document> document = _types.makeUntitled(_types.defaultType);
    if (!document)
        return nullptr;
    Document* made = document.release();
    addAndShowDocument(made);
    return made;
}

Document* DocumentController::openDocumentWithContentsOfFile(const QString& path, Error* error)
{
    Error reason;
    if (Document* document = readDocument(path, &reason))
        return document;
    Alert alert;
    alert.messageText = dialogString("The document \u201c%1\u201d could not be opened.")
                            .arg(QFileInfo(path).fileName());
    alert.informativeText = reason.description;
    alert.runModal();
    if (error)
        *error = reason;
    return nullptr;
}

Document* DocumentController::readDocument(const QString& path, Error* error)
{
    if (Document* open = documentForFileName(path)) {
        open->showWindows();
        return open;
    }
    // A save cut short may have left the file under a hidden name only: mend that first.
    Document::recoverInterruptedSave(path);
    const QFileInfo file(path);
    if (!file.exists() && !file.isSymLink()) {
        Error::fail(error, QStringLiteral("DocumentErrorDomain"), 0,
                    dialogString("The file does not exist."));
        return nullptr;
    }
    const QString type = typeForFileName(path);
    if (type.isEmpty() || !_types.read) {
        Error::fail(error, QStringLiteral("DocumentErrorDomain"), 0,
                    dialogString("The file is not of a type this program opens."));
        return nullptr;
    }
    std::unique_ptr<Document> document = _types.read(path, type, error);
    if (!document) {
        // A reader that gives no reason still leaves the user one.
        if (error && error->description.isEmpty())
            error->description = dialogString("The file is damaged or not a document.");
        return nullptr;
    }
    Document* read = document.release();
    addAndShowDocument(read);
    read->setFileName(path);
    return read;
}

void DocumentController::openDocument(QWidget* window, const QStringList& others,
                                      const std::function<void(const QStringList&)>& openOthers)
{
    auto* dialog =
        new DocumentFileDialog(window, DocumentFileDialog::Open, _types.extensions + others);
    openInUsersFolder(dialog);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, others, openOthers] {
        QStringList handedOn;
        // Each failure is reported as it happens; the other files still open.
        for (const QString& path : dialog->selectedDocumentPaths()) {
            if (openOthers && others.contains(QFileInfo(path).suffix()))
                handedOn << path;
            else
                openDocumentWithContentsOfFile(path);
        }
        if (!handedOn.isEmpty())
            openOthers(handedOn);
    });
    dialog->begin();
}

void DocumentController::reviewUnsavedDocuments(std::function<void(bool)> didReview)
{
    QList<Document*> edited;
    for (Document* document : _documents) {
        if (document->isDocumentEdited())
            edited.append(document);
    }
    reviewNext(edited, std::move(didReview));
}

void DocumentController::reviewNext(QList<Document*> remaining, std::function<void(bool)> didReview)
{
    // Documents closed meanwhile are passed over.
    while (!remaining.isEmpty() && !_documents.contains(remaining.first()))
        remaining.removeFirst();
    if (remaining.isEmpty()) {
        didReview(true);
        return;
    }
    Document* document = remaining.takeFirst();
    document->canCloseDocument([this, remaining, didReview](bool shouldClose) {
        if (!shouldClose)
            didReview(false);
        else
            reviewNext(remaining, didReview);
    });
}

void DocumentController::closeAllDocuments()
{
    const QList<Document*> documents = _documents;
    for (Document* document : documents) {
        document->close();
        removeDocument(document);
    }
}

} // namespace platform
