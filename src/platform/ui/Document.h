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
// Files: a subclass reads and writes its types in readFromFile() and writeToFile(); the
// base runs the commands around them. A save never damages the file it replaces, and
// touches no other file of the user's: the document is written into a new hidden sibling
// of the file (".<name>-XXXXXX"), written out to the disk and renamed ".<name>~XXXXXX"
// (complete), then exchanged with the old file in one step, and the old one goes. Where
// the file system cannot exchange, the old file is moved aside to such a complete sibling
// first and goes once the new one has its name; recoverInterruptedSave() puts a complete
// sibling back when a crash came between the two. A failed write leaves the old file as
// it was and removes what was written. Save and Save As take
// the new file as the document's and clear the change count; Save To (a copy) leaves the
// document's file, type and change state alone. Failures of the commands are shown in an
// alert on the document's window, naming the file and the reason.
//
// Commands: the document is a responder of its windows' chains (Responder.h), after the
// window controller: "saveDocument:", "saveDocumentAs:", "revertDocumentToSaved:",
// "undo:" and "redo:".
//
// The document owns its undo manager and its window controllers (Qt parent); deferred
// calls die with it. Main thread only.

#include "platform/ui/Responder.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace platform {

struct Error;
class UndoManager;
class WindowController;

class Document : public QObject, public Responder
{
    Q_OBJECT
public:
    enum ChangeType { ChangeDone, ChangeUndone, ChangeRedone, ChangeCleared };
    // The commands whose menu items validateMenuItem() decides.
    enum class MenuAction { SaveDocument, RevertDocumentToSaved, Other };
    // What a save makes of the file written: the document's file (Save, Save As) or a
    // copy that leaves the document as it is (Save To).
    enum SaveOperationType { SaveOperation, SaveAsOperation, SaveToOperation };

    explicit Document(QObject* parent = nullptr);
    ~Document() override;

    // --- File ---
    // The document's file; a null string while the document is untitled.
    QString fileName() const { return _fileName; }
    // The windows' titles follow a new file's name.
    void setFileName(const QString& fileName);
    // The type name the file is read and written as.
    QString fileType() const { return _fileType; }
    void setFileType(const QString& fileType) { _fileType = fileType; }

    // --- Reading and writing ---
    // Read the file at the path as the type into the document; false and the reason when
    // it cannot. The base reads nothing.
    virtual bool readFromFile(const QString& path, const QString& type, Error* error);
    // Write the document as the type at the path, which does not exist yet (a new
    // sibling of the file being saved); false and the reason when it cannot. The base
    // writes nothing.
    virtual bool writeToFile(const QString& path, const QString& type, SaveOperationType operation,
                             Error* error);
    // Writes the document through writeToFile() and puts the result at the path, as
    // described above; false (the path untouched) and the reason when it fails.
    virtual bool saveToFile(const QString& path, const QString& type, SaveOperationType operation,
                            Error* error);
    // Mends what an interrupted save of the file left beside it: with no file at the path,
    // the newest complete sibling takes its place; then the other siblings of saves go.
    // Whether a sibling was put in place. Run before a file is opened.
    static bool recoverInterruptedSave(const QString& path);
    // The file a save is putting in place, while saveToFile() runs; null otherwise.
    QString savingPath() const { return _savingPath; }
    // Reads the file again (readFromFile()) and clears the change count.
    virtual bool revertToContentsOfFile(const QString& path, const QString& type, Error* error);

    // --- Types ---
    // The extension files of the type get; empty when the document writes no such type.
    virtual QString fileNameExtensionForType(const QString& type) const;
    // The type a file is read as, by its extension; null when the document reads none.
    virtual QString typeForFileName(const QString& path) const;
    // What the title bar and alerts call the document: its file's name; while it is
    // untitled, "Untitled" for the first open untitled document of the document
    // controller, then "Untitled 2", "Untitled 3", … (the lowest number no other open
    // document holds), kept until the document gets a file.
    QString displayName() const;
    // Titles every window of the document with its display name.
    void synchronizeWindowTitles();

    // --- Commands ---
    // Saves to the document's file, or runs Save As while it is untitled.
    virtual void saveDocument();
    // The same for saves the program starts (closing): didSave learns whether the
    // document was saved.
    virtual void saveDocumentWithDelegate(std::function<void(bool)> didSave);
    // Asks for a file (the save panel) and saves there as the document's type; didSave,
    // when given, learns whether it was saved.
    virtual void saveDocumentAs(std::function<void(bool)> didSave = {});
    // Save As proposing the path (with the type's extension) and saving as the type.
    void saveDocumentAs(const QString& proposedPath, const QString& type,
                        std::function<void(bool)> didSave);
    // Reads the document's file again, dropping the changes.
    void revertDocumentToSaved();
    // Whether the save panel offers a choice of type; when it does not, the file gets the
    // document's type.
    virtual bool shouldRunSavePanelWithAccessoryView() const { return true; }
    // Shows the save panel proposing the path and calls didEnd with the path chosen, or a
    // null path when the user cancelled. Runs DocumentFileDialog window-modal on the
    // document's window.
    virtual void runSavePanel(const QString& proposedPath,
                              std::function<void(const QString&)> didEnd);
    // Shows the failure in an alert on the document's window: the document's name and
    // the reason.
    enum class Failure { Saving, Reverting, Opening, Printing };
    void presentError(Failure failure, const Error& error);

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
    // Shows the controllers' windows and brings them forward.
    void showWindows();
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
    // The items of the document's commands by the same rules; undo and redo while there
    // is a step to run.
    bool validateMenuItem(QAction* item) override;

    // Whether the document may close: an edited one first asks, in a sheet on its window,
    // whether to save it (the texts of WindowController::closeQuestionMessage()): Save
    // saves it and answers whether it was saved, Don't Save answers yes, Cancel no. A
    // document that is not edited answers yes at once.
    void canCloseDocument(std::function<void(bool shouldClose)> didDecide);

    // Closes the windows and lets the window controllers go; the document controller
    // forgets the document.
    virtual void close();

private:
    // Every window hands over its editors' text (WindowController::commitEditing).
    void commitEditing();

    void countUndoStep(ChangeType change);

    QString _fileName;
    QString _fileType;
    // The number of the untitled name, taken when first shown; 0 while none is.
    mutable qint64 _untitledNumber = 0;
    QString _savingPath;
    UndoManager* _undoManager = nullptr;
    quint64 _savedState = 0;
    bool _changedWithoutUndo = false;
    bool _countingUndoStep = false;
    // A change was reported while a step was being recorded; it is the step's unless the
    // step ends up holding nothing.
    bool _changedInOpenStep = false;
    QList<WindowController*> _windowControllers;
    // Parent of the deferred calls' timers: replaced to cancel them all at once.
    QObject* _deferredCalls = nullptr;
};

} // namespace platform
