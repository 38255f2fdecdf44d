#include "platform/ui/Document.h"

#include "platform/core/Error.h"
#include "platform/core/FileOperations.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/DocumentFileDialog.h"
#include "platform/ui/WindowController.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <utility>

namespace platform {

namespace {

QString dialogString(const char* key)
{
    return LocalizedString(QString::fromUtf8(key), QStringLiteral("DialogStrings"));
}

// "<folder>/<name>~.<extension>", or "<name>~" for a name without extension.
QString backupPathFor(const QString& path)
{
    const QFileInfo info(path);
    const QString suffix = info.suffix();
    const QString base = suffix.isEmpty() ? info.fileName() : info.completeBaseName();
    return info.dir().filePath(base + QLatin1Char('~')
                               + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix));
}

} // namespace

Document::Document(QObject* parent)
    : QObject(parent), _undoManager(new UndoManager(this)), _deferredCalls(new QObject(this))
{
    connect(_undoManager, &UndoManager::didCloseStep, this, [this](const QString&) {
        _changedInOpenStep = false;
        countUndoStep(ChangeDone);
    });
    // A change reported inside a group that recorded nothing has no step to undo to: it
    // stays a change until the document is saved.
    connect(_undoManager, &UndoManager::didCloseEmptyGroup, this, [this] {
        if (!std::exchange(_changedInOpenStep, false))
            return;
        _changedWithoutUndo = true;
        updateChangeCount(ChangeUndone); // shows the edited state; counts nothing
    });
    connect(_undoManager, &UndoManager::didUndoStep, this,
            [this](const QString&) { countUndoStep(ChangeUndone); });
    connect(_undoManager, &UndoManager::didRedoStep, this,
            [this](const QString&) { countUndoStep(ChangeRedone); });
    addCommand(QStringLiteral("saveDocument:"), [this](QObject*) { saveDocument(); });
    addCommand(QStringLiteral("saveDocumentAs:"), [this](QObject*) { saveDocumentAs(); });
    addCommand(QStringLiteral("revertDocumentToSaved:"),
               [this](QObject*) { revertDocumentToSaved(); });
    addCommand(QStringLiteral("undo:"), [this](QObject*) { _undoManager->undo(); });
    addCommand(QStringLiteral("redo:"), [this](QObject*) { _undoManager->redo(); });
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
            else if (_undoManager->groupingLevel() > 0)
                _changedInOpenStep = true;
        }
        break;
    case ChangeCleared:
        _savedState = _undoManager->documentState();
        _changedWithoutUndo = false;
        _changedInOpenStep = false;
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

// ==== Reading and writing ================================================================

bool Document::readFromFile(const QString& path, const QString& type, Error* error)
{
    Q_UNUSED(type);
    return Error::fail(
        error, FileErrorDomain, QFileDevice::OpenError,
        QStringLiteral("\"%1\" cannot be read.").arg(QDir::toNativeSeparators(path)));
}

bool Document::writeToFile(const QString& path, const QString& type, SaveOperationType operation,
                           Error* error)
{
    Q_UNUSED(type);
    Q_UNUSED(operation);
    return Error::fail(
        error, FileErrorDomain, QFileDevice::WriteError,
        QStringLiteral("\"%1\" cannot be written.").arg(QDir::toNativeSeparators(path)));
}

bool Document::saveToFile(const QString& path, const QString& type, SaveOperationType operation,
                          Error* error)
{
    const QFileInfo target(path);
    const QString shown = QDir::toNativeSeparators(path);
    if (!QDir().mkpath(target.absolutePath()))
        return Error::fail(error, FileErrorDomain, QFileDevice::WriteError,
                           QStringLiteral("The folder of \"%1\" cannot be made.").arg(shown));
    // A new sibling, so that putting it in place is a rename within one folder.
    QTemporaryDir sibling(target.absoluteDir().filePath(QLatin1Char('.') + target.fileName()
                                                        + QStringLiteral("-XXXXXX")));
    if (!sibling.isValid())
        return Error::fail(error, FileErrorDomain, QFileDevice::WriteError,
                           QStringLiteral("No file can be written beside \"%1\": %2")
                               .arg(shown, sibling.errorString()));
    // writeToFile() makes the file itself.
    sibling.setAutoRemove(false);
    const QString written = sibling.path();
    QDir().rmdir(written);

    const QString previousSavingPath = std::exchange(_savingPath, target.absoluteFilePath());
    const bool wrote = writeToFile(written, type, operation, error);
    _savingPath = previousSavingPath;
    if (!wrote) {
        removeItem(written);
        return false;
    }

    const QString backup = backupPathFor(target.absoluteFilePath());
    const bool replacing = target.exists() || target.isSymLink();
    if (replacing) {
        removeItem(backup);
        if (!QFile::rename(target.absoluteFilePath(), backup)) {
            removeItem(written);
            return Error::fail(error, FileErrorDomain, QFileDevice::RenameError,
                               QStringLiteral("\"%1\" cannot be replaced.").arg(shown));
        }
    }
    if (!QFile::rename(written, target.absoluteFilePath())) {
        if (replacing)
            QFile::rename(backup, target.absoluteFilePath());
        removeItem(written);
        return Error::fail(error, FileErrorDomain, QFileDevice::RenameError,
                           QStringLiteral("\"%1\" cannot be put in place.").arg(shown));
    }
    if (replacing)
        removeItem(backup);

    if (operation != SaveToOperation) {
        _fileType = type;
        setFileName(target.absoluteFilePath());
        updateChangeCount(ChangeCleared);
    }
    return true;
}

bool Document::revertToContentsOfFile(const QString& path, const QString& type, Error* error)
{
    if (!readFromFile(path, type, error))
        return false;
    updateChangeCount(ChangeCleared);
    return true;
}

// ==== Types ==============================================================================

QString Document::fileNameExtensionForType(const QString& type) const
{
    Q_UNUSED(type);
    return QString();
}

QString Document::typeForFileName(const QString& path) const
{
    Q_UNUSED(path);
    return QString();
}

void Document::setFileName(const QString& fileName)
{
    _fileName = fileName;
    // A document that loses its file (a recovered copy) keeps the title its windows were
    // given; it takes no untitled number until it is shown as untitled.
    if (_fileName.isNull())
        return;
    _untitledNumber = 0;
    synchronizeWindowTitles();
}

QString Document::displayName() const
{
    if (!_fileName.isNull())
        return QFileInfo(_fileName).fileName();
    const QList<Document*>& open = DocumentController::sharedDocumentController().documents();
    if (_untitledNumber == 0 && open.contains(const_cast<Document*>(this))) {
        qint64 number = 1;
        const auto taken = [&open, this](qint64 n) {
            return std::any_of(open.begin(), open.end(), [n, this](const Document* other) {
                return other != this && other->_fileName.isNull() && other->_untitledNumber == n;
            });
        };
        while (taken(number))
            ++number;
        _untitledNumber = number;
    }
    const QString untitled = dialogString("Untitled");
    return _untitledNumber > 1 ? QStringLiteral("%1 %2").arg(untitled).arg(_untitledNumber)
                               : untitled;
}

void Document::synchronizeWindowTitles()
{
    for (WindowController* controller : std::as_const(_windowControllers))
        controller->synchronizeWindowTitleWithDocumentName();
}

// ==== Commands ===========================================================================

void Document::saveDocument()
{
    saveDocumentWithDelegate({});
}

void Document::saveDocumentWithDelegate(std::function<void(bool)> didSave)
{
    if (_fileName.isNull()) {
        saveDocumentAs(std::move(didSave));
        return;
    }
    Error error;
    const bool saved = saveToFile(_fileName, _fileType, SaveOperation, &error);
    if (!saved)
        presentError(Failure::Saving, error);
    if (didSave)
        didSave(saved);
}

void Document::saveDocumentAs(std::function<void(bool)> didSave)
{
    QString proposed = _fileName;
    if (proposed.isNull()) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        proposed = QDir(folder).filePath(displayName());
    }
    saveDocumentAs(proposed, _fileType, std::move(didSave));
}

void Document::saveDocumentAs(const QString& proposedPath, const QString& type,
                              std::function<void(bool)> didSave)
{
    QString proposed = proposedPath;
    const QString extension = fileNameExtensionForType(type);
    if (!extension.isEmpty() && QFileInfo(proposed).suffix() != extension) {
        const QFileInfo info(proposed);
        const QString base = info.suffix().isEmpty() ? info.fileName() : info.completeBaseName();
        proposed = info.dir().filePath(base + QLatin1Char('.') + extension);
    }
    runSavePanel(proposed, [this, type, didSave = std::move(didSave)](const QString& path) {
        Error error;
        const bool saved = !path.isNull() && saveToFile(path, type, SaveAsOperation, &error);
        if (!path.isNull() && !saved)
            presentError(Failure::Saving, error);
        if (didSave)
            didSave(saved);
    });
}

void Document::revertDocumentToSaved()
{
    if (_fileName.isNull())
        return;
    Error error;
    if (!revertToContentsOfFile(_fileName, _fileType, &error))
        presentError(Failure::Reverting, error);
}

void Document::runSavePanel(const QString& proposedPath, std::function<void(const QString&)> didEnd)
{
    const QFileInfo proposed(proposedPath);
    const QStringList extensions =
        proposed.suffix().isEmpty() ? QStringList() : QStringList{proposed.suffix()};
    auto* dialog = new DocumentFileDialog(appropriateWindowForDocModalOperations(),
                                          DocumentFileDialog::Save, extensions);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setDirectory(proposed.absolutePath());
    dialog->selectFile(proposed.fileName());
    connect(dialog, &QDialog::finished, this, [dialog, didEnd = std::move(didEnd)](int result) {
        const QStringList paths = dialog->selectedDocumentPaths();
        didEnd(result == QDialog::Accepted && !paths.isEmpty() ? paths.first() : QString());
    });
    dialog->open();
}

void Document::presentError(Failure failure, const Error& error)
{
    Alert alert;
    alert.style = Alert::Warning;
    const char* message =
        failure == Failure::Saving      ? "The document \u201c%1\u201d could not be saved."
        : failure == Failure::Reverting ? "The document \u201c%1\u201d could not be reverted."
                                        : "The document \u201c%1\u201d could not be opened.";
    alert.messageText = dialogString(message).arg(displayName());
    alert.informativeText = error.description;
    alert.beginSheetModalForWindow(appropriateWindowForDocModalOperations(), {});
}

// ==== Window controllers =================================================================

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

bool Document::validateMenuItem(QAction* item)
{
    const QString selector = actionSelector(item);
    if (selector == QLatin1String("saveDocument:"))
        return validateMenuItem(MenuAction::SaveDocument);
    if (selector == QLatin1String("revertDocumentToSaved:"))
        return validateMenuItem(MenuAction::RevertDocumentToSaved);
    if (selector == QLatin1String("undo:"))
        return _undoManager->canUndo();
    if (selector == QLatin1String("redo:"))
        return _undoManager->canRedo();
    return true;
}

void Document::canCloseDocument(std::function<void(bool)> didDecide)
{
    if (!isDocumentEdited()) {
        didDecide(true);
        return;
    }
    Alert alert;
    alert.messageText = WindowController::closeQuestionMessage(displayName());
    alert.informativeText = WindowController::closeQuestionInformativeText();
    alert.buttons = {dialogString("Save"), dialogString("Don\u2019t Save"), dialogString("Cancel")};
    alert.cancelButton = 2;
    QPointer<Document> self(this);
    alert.beginSheetModalForWindow(appropriateWindowForDocModalOperations(),
                                   [self, didDecide](const Alert::Response& response) {
                                       switch (response.returnCode) {
                                       case Alert::FirstButtonReturn:
                                           if (self)
                                               self->saveDocumentWithDelegate(didDecide);
                                           else
                                               didDecide(false);
                                           break;
                                       case Alert::SecondButtonReturn: didDecide(true); break;
                                       default: didDecide(false); break;
                                       }
                                   });
}

void Document::showWindows()
{
    for (WindowController* controller : _windowControllers) {
        if (QWidget* window = controller->window()) {
            window->show();
            window->raise();
            window->activateWindow();
        }
    }
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
    DocumentController::sharedDocumentController().removeDocument(this);
}

} // namespace platform
