#pragma once

// The base of an open document: its file (path and type), its undo manager, its edited
// state, the window controllers that show it, and the calls it defers to later passes of
// the event loop.
//
// Edited state: the undo manager gives a token for the state its history has reached
// (UndoManager::documentState()). The document remembers the token when the change count
// is cleared (after a save, a revert or a read) and is edited while the token differs, so
// undoing back to the saved state makes it clean again. A change marked while a step is
// being recorded, undone or redone belongs to that step; one that no step records
// (registration off, or a setting that is not undoable) marks it edited until the next
// clearing.
//
// The undo manager reports each step to updateChangeCount(): ChangeDone when a step
// closes, ChangeUndone and ChangeRedone when one runs. Subclasses that count changes
// their own way override updateChangeCount() and call this one last.
//
// The document owns its undo manager and its window controllers (Qt parent); deferred
// calls die with it. Main thread only.

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace platform {

class UndoManager;
class WindowController;

class Document : public QObject
{
    Q_OBJECT
public:
    enum ChangeType { ChangeDone, ChangeUndone, ChangeRedone, ChangeCleared };
    // The commands whose menu items validateMenuItem() decides.
    enum class MenuAction { SaveDocument, RevertDocumentToSaved, Other };

    explicit Document(QObject* parent = nullptr);
    ~Document() override;

    // --- File ---
    // The document's file; a null string while the document is untitled.
    QString fileName() const { return _fileName; }
    void setFileName(const QString& fileName) { _fileName = fileName; }
    // The type name the file is read and written as.
    QString fileType() const { return _fileType; }
    void setFileType(const QString& fileType) { _fileType = fileType; }

    // --- Undo and the edited state ---
    UndoManager* undoManager() const { return _undoManager; }
    // ChangeDone marks the document edited when no undo step records the change;
    // ChangeCleared takes the current state as the saved one. Every kind then updates the
    // edited mark of the windows.
    virtual void updateChangeCount(ChangeType change);
    // Whether the document differs from its file (see above).
    virtual bool isDocumentEdited() const;

    // --- Window controllers ---
    // Makes the controllers that show the document; the base makes none.
    virtual void makeWindowControllers();
    // The document takes the controller (its Qt parent) and becomes its document.
    void addWindowController(WindowController* controller);
    // Hands the controller back to the caller, no longer the document's.
    void removeWindowController(WindowController* controller);
    const QList<WindowController*>& windowControllers() const { return _windowControllers; }
    // The first window among the controllers', in their order; nullptr when none has one.
    QWidget* appropriateWindowForDocModalOperations() const;

    // --- Deferred calls ---
    // Runs `call` on a later pass of the event loop, `milliseconds` from now, unless the
    // calls are cancelled first or the document is gone.
    void performAfterDelay(std::function<void()> call, int milliseconds = 0);
    // Cancels every call deferred so far.
    void cancelPreviousPerformRequests();

    // Whether a menu item of the action is enabled: saving while untitled or edited,
    // reverting while the document has a file and is edited; everything else is.
    virtual bool validateMenuItem(MenuAction action) const;

    // Closes the windows and lets the window controllers go.
    virtual void close();

private:
    void countUndoStep(ChangeType change);

    QString _fileName;
    QString _fileType;
    UndoManager* _undoManager = nullptr;
    quint64 _savedState = 0;
    bool _changedWithoutUndo = false;
    bool _countingUndoStep = false;
    QList<WindowController*> _windowControllers;
    // Parent of the deferred calls' timers: replaced to cancel them all at once.
    QObject* _deferredCalls = nullptr;
};

} // namespace platform
