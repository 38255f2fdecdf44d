#include "platform/ui/Document.h"

#include "platform/core/UndoManager.h"
#include "platform/ui/WindowController.h"

#include <QTimer>
#include <QWidget>

#include <utility>

namespace platform {

Document::Document(QObject* parent)
    : QObject(parent), _undoManager(new UndoManager(this)), _deferredCalls(new QObject(this))
{
    connect(_undoManager, &UndoManager::didCloseStep, this,
            [this](const QString&) { countUndoStep(ChangeDone); });
    connect(_undoManager, &UndoManager::didUndoStep, this,
            [this](const QString&) { countUndoStep(ChangeUndone); });
    connect(_undoManager, &UndoManager::didRedoStep, this,
            [this](const QString&) { countUndoStep(ChangeRedone); });
}

Document::~Document() = default;

void Document::countUndoStep(ChangeType change)
{
    // The step's state token already records the change.
    _countingUndoStep = true;
    updateChangeCount(change);
    _countingUndoStep = false;
}

void Document::updateChangeCount(ChangeType change)
{
    switch (change) {
    case ChangeDone:
        // A change made inside a step being recorded or replayed is the step's: its token
        // tells whether the document differs. Anything else has no token to undo to.
        if (!_countingUndoStep) {
            const bool recorded = _undoManager->isUndoRegistrationEnabled()
                                  && (_undoManager->groupingLevel() > 0 || _undoManager->isUndoing()
                                      || _undoManager->isRedoing());
            if (!recorded)
                _changedWithoutUndo = true;
        }
        break;
    case ChangeCleared:
        _savedState = _undoManager->documentState();
        _changedWithoutUndo = false;
        break;
    case ChangeUndone:
    case ChangeRedone: break;
    }
    const bool edited = isDocumentEdited();
    for (WindowController* controller : std::as_const(_windowControllers))
        controller->setDocumentEdited(edited);
}

bool Document::isDocumentEdited() const
{
    return _changedWithoutUndo || _undoManager->documentState() != _savedState;
}

void Document::makeWindowControllers()
{}

void Document::addWindowController(WindowController* controller)
{
    if (!controller || _windowControllers.contains(controller))
        return;
    _windowControllers.append(controller);
    controller->setParent(this);
    controller->setDocument(this);
}

void Document::removeWindowController(WindowController* controller)
{
    if (!_windowControllers.removeOne(controller))
        return;
    controller->setDocument(nullptr);
    controller->setParent(nullptr);
}

QWidget* Document::appropriateWindowForDocModalOperations() const
{
    for (const WindowController* controller : _windowControllers) {
        if (QWidget* window = controller->window())
            return window;
    }
    return nullptr;
}

void Document::performAfterDelay(std::function<void()> call, int milliseconds)
{
    QTimer::singleShot(milliseconds, _deferredCalls, std::move(call));
}

void Document::cancelPreviousPerformRequests()
{
    delete _deferredCalls;
    _deferredCalls = new QObject(this);
}

bool Document::validateMenuItem(MenuAction action) const
{
    switch (action) {
    case MenuAction::SaveDocument: return _fileName.isNull() || isDocumentEdited();
    case MenuAction::RevertDocumentToSaved: return !_fileName.isNull() && isDocumentEdited();
    case MenuAction::Other: break;
    }
    return true;
}

void Document::close()
{
    const QList<WindowController*> controllers = std::exchange(_windowControllers, {});
    for (WindowController* controller : controllers) {
        controller->close();
        controller->setDocument(nullptr);
        // Still the document's child, so it goes with the document at the latest.
        controller->deleteLater();
    }
}

} // namespace platform
