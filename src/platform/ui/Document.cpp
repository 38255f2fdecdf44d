#include "platform/ui/Document.h"

#include "platform/core/Error.h"
#include "platform/core/FileOperations.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/DocumentFileDialog.h"
#include "platform/ui/WindowController.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QRandomGenerator>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cerrno>
#include <utility>

#include <stdlib.h>

namespace platform {

namespace {

QString dialogString(const char* key)
{
    return LocalizedString(QString::fromUtf8(key), QStringLiteral("DialogStrings"));
}

// A save's own siblings of the file "<name>": ".<name>-XXXXXX" while it is being written
// (perhaps incomplete), ".<name>~XXXXXX" once it is complete on disk, and the same for the
// old file moved aside where the file system cannot exchange two names. Hidden and made
// unique by the save, so no file of the user's ever has such a name by accident.
const QChar writingMark = QLatin1Char('-');
const QChar completeMark = QLatin1Char('~');
constexpr int uniqueLength = 6;

QString siblingPrefix(const QFileInfo& target, QChar mark)
{
    return target.absoluteDir().filePath(QLatin1Char('.') + target.fileName() + mark);
}

// A new, empty folder ".<name>-XXXXXX" beside the target; null when none can be made.
QString makeWritingSibling(const QFileInfo& target, QString* reason)
{
    QByteArray pattern =
        QFile::encodeName(siblingPrefix(target, writingMark) + QString(uniqueLength, u'X'));
    if (::mkdtemp(pattern.data()))
        return QFile::decodeName(pattern);
    *reason = systemErrorText(errno);
    return QString();
}

// Moves the item to a free ".<name>~XXXXXX" beside the target; its new path, or null.
QString moveToCompleteSibling(const QString& item, const QFileInfo& target, Error* error)
{
    static const QString letters =
        QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    for (int attempt = 0; attempt < 100; ++attempt) {
        QString name = siblingPrefix(target, completeMark);
        for (int i = 0; i < uniqueLength; ++i)
            name += letters.at(QRandomGenerator::global()->bounded(int(letters.size())));
        if (moveItemToFreePath(item, name, error))
            return name;
        // Only a name taken by chance is tried again.
        if (!QFileInfo::exists(name) && !QFileInfo(name).isSymLink())
            return QString();
    }
    return QString();
}

// The leftovers of saves of the target: siblings with the mark, newest first.
QFileInfoList siblingsOf(const QFileInfo& target, QChar mark)
{
    const QString prefix = QLatin1Char('.') + target.fileName() + mark;
    QFileInfoList found;
    const QFileInfoList entries = target.absoluteDir().entryInfoList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Time);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        if (name.size() != prefix.size() + uniqueLength || !name.startsWith(prefix))
            continue;
        const bool unique = std::all_of(name.cbegin() + prefix.size(), name.cend(), [](QChar c) {
            return c.isLetterOrNumber() && c.unicode() < 128;
        });
        if (unique)
            found.append(entry);
    }
    return found;
}

// Writes the folder holding the path out to the disk; a failure costs only the order of
// what a crash keeps, so it is logged.
void syncFolderOf(const QString& path)
{
    Error error;
    if (!syncItem(QFileInfo(path).absolutePath(), &error))
        qWarning().noquote() << error.description;
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
    // File > Revert to Saved throws away every change since the save, and the steps to
    // undo them: the user says so first.
    addCommand(QStringLiteral("revertDocumentToSaved:"), [this](QObject*) {
        Alert alert;
        alert.messageText = dialogString("Do you want to revert to the most recently saved version "
                                         "of the document \u201c%1\u201d?")
                                .arg(displayName());
        alert.informativeText = dialogString("Your current changes will be lost.");
        alert.buttons = {dialogString("Revert"), dialogString("Cancel")};
        alert.cancelButton = 1;
        QPointer<Document> self(this);
        alert.beginSheetModalForWindow(
            appropriateWindowForDocModalOperations(), [self](const Alert::Response& answer) {
                if (self && answer.returnCode == Alert::FirstButtonReturn)
                    self->revertDocumentToSaved();
            });
    });
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
        // Typing after a save starts a step of its own, which marks the document edited.
        _undoManager->endStepExtension();
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
    const QFileInfo target(QFileInfo(path).absoluteFilePath());
    const QString shown = QDir::toNativeSeparators(path);
    if (!QDir().mkpath(target.absolutePath()))
        return Error::fail(error, FileErrorDomain, QFileDevice::WriteError,
                           QStringLiteral("The folder of \"%1\" cannot be made.").arg(shown));
    // A new sibling, so that putting it in place is a rename within one folder.
    QString reason;
    const QString written = makeWritingSibling(target, &reason);
    if (written.isNull())
        return Error::fail(
            error, FileErrorDomain, QFileDevice::WriteError,
            QStringLiteral("No file can be written beside \"%1\": %2").arg(shown, reason));
    // writeToFile() makes the file itself.
    QDir().rmdir(written);

    const QString previousSavingPath = std::exchange(_savingPath, target.absoluteFilePath());
    const bool wrote = writeToFile(written, type, operation, error);
    _savingPath = previousSavingPath;
    if (!wrote) {
        removeItem(written);
        return false;
    }
    // On the disk before it takes the file's place, and marked complete.
    if (!syncItem(written, error)) {
        removeItem(written);
        return false;
    }
    const QString complete = moveToCompleteSibling(written, target, error);
    if (complete.isNull()) {
        removeItem(written);
        return false;
    }

    const QString file = target.absoluteFilePath();
    const bool replacing = target.exists() || target.isSymLink();
    QString old; // the replaced file, once aside
    if (!replacing) {
        if (!moveItemToFreePath(complete, file, error)) {
            removeItem(complete);
            return false;
        }
    } else {
        switch (exchangeItems(complete, file, error)) {
        case ExchangeResult::Exchanged: old = complete; break;
        case ExchangeResult::Failed: removeItem(complete); return false;
        case ExchangeResult::Unsupported: {
            // Two steps: the old file stays whole under a sibling's name until the new one
            // has its place, and a start after a crash between them puts one back.
            Error moveError;
            old = moveToCompleteSibling(file, target, &moveError);
            if (old.isNull()) {
                removeItem(complete);
                return Error::fail(error, FileErrorDomain, QFileDevice::RenameError,
                                   QStringLiteral("\"%1\" cannot be replaced: %2")
                                       .arg(shown, moveError.description));
            }
            if (!moveItemToFreePath(complete, file, &moveError)) {
                moveItemToFreePath(old, file);
                removeItem(complete);
                return Error::fail(error, FileErrorDomain, QFileDevice::RenameError,
                                   QStringLiteral("\"%1\" cannot be put in place: %2")
                                       .arg(shown, moveError.description));
            }
            break;
        }
        }
    }
    syncFolderOf(file);
    if (!old.isNull())
        removeItem(old);

    if (operation != SaveToOperation) {
        _fileType = type;
        setFileName(target.absoluteFilePath());
        updateChangeCount(ChangeCleared);
    }
    return true;
}

bool Document::recoverInterruptedSave(const QString& path)
{
    const QFileInfo target(QFileInfo(path).absoluteFilePath());
    const QFileInfoList complete = siblingsOf(target, completeMark);
    const QFileInfoList writing = siblingsOf(target, writingMark);
    bool recovered = false;
    if (!target.exists() && !target.isSymLink() && !complete.isEmpty()) {
        // The newest complete copy: the new file of a save that got no further, else the
        // old one it had moved aside.
        Error error;
        recovered = moveItemToFreePath(complete.first().absoluteFilePath(),
                                       target.absoluteFilePath(), &error);
        if (!recovered) {
            qWarning().noquote() << error.description;
            return false;
        }
        syncFolderOf(target.absoluteFilePath());
    }
    if (!QFileInfo::exists(target.absoluteFilePath()) && !target.isSymLink())
        return false;
    // With the file in place, the rest are the unfinished writes and replaced copies of
    // earlier saves.
    for (const QFileInfoList& leftovers : {complete, writing}) {
        for (const QFileInfo& leftover : leftovers) {
            if (leftover.exists() || leftover.isSymLink())
                removeItem(leftover.absoluteFilePath());
        }
    }
    return recovered;
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

void Document::commitEditing()
{
    for (WindowController* controller : std::as_const(_windowControllers))
        controller->commitEditing();
}

void Document::saveDocumentWithDelegate(std::function<void(bool)> didSave)
{
    commitEditing();
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
        proposed = QDir(documentsFolder()).filePath(displayName());
    }
    saveDocumentAs(proposed, _fileType, std::move(didSave));
}

void Document::saveDocumentAs(const QString& proposedPath, const QString& type,
                              std::function<void(bool)> didSave)
{
    commitEditing();
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
    openInUsersFolder(dialog, proposed.absolutePath());
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
        : failure == Failure::Printing  ? "The document \u201c%1\u201d could not be printed."
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
    // The items name the step they would take back or do again ("Undo Move").
    const auto titled = [item](const char* verb, const QString& step) {
        const QString base = QString::fromLatin1(verb);
        item->setText(step.isEmpty() ? base : base + QLatin1Char(' ') + step);
    };
    if (selector == QLatin1String("undo:")) {
        const bool can = _undoManager->canUndo();
        titled("Undo", can ? _undoManager->undoActionName() : QString());
        return can;
    }
    if (selector == QLatin1String("redo:")) {
        const bool can = _undoManager->canRedo();
        titled("Redo", can ? _undoManager->redoActionName() : QString());
        return can;
    }
    return true;
}

void Document::canCloseDocument(std::function<void(bool)> didDecide)
{
    // Text still in an editor counts: closing without asking would lose it.
    commitEditing();
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
