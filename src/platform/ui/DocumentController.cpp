#include "platform/ui/DocumentController.h"

#include "platform/ui/Document.h"

namespace platform {

DocumentController::DocumentController(QObject* parent) : QObject(parent)
{}

DocumentController::~DocumentController()
{
    qDeleteAll(_documents);
}

DocumentController& DocumentController::sharedDocumentController()
{
    static DocumentController* shared = new DocumentController;
    return *shared;
}

void DocumentController::addDocument(Document* document)
{
    if (!document || _documents.contains(document))
        return;
    _documents.append(document);
    document->setParent(this);
    connect(document, &QObject::destroyed, this,
            [this, document] { _documents.removeAll(document); });
}

void DocumentController::removeDocument(Document* document)
{
    if (_documents.removeAll(document) > 0) {
        disconnect(document, &QObject::destroyed, this, nullptr);
        document->setParent(nullptr);
    }
}

} // namespace platform
