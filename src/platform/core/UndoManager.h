#pragma once

// Undo by recording inverses: a change registers a closure that puts the old value back.
// Closures registered while undoing form the redo group, and those registered while
// redoing form the next undo group, so a setter that registers its own inverse is undoable
// and redoable without any further code.

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace platform {

class UndoManager : public QObject
{
    Q_OBJECT
public:
    using Closure = std::function<void()>;

    explicit UndoManager(QObject* parent = nullptr);
    ~UndoManager() override;

    // Records `closure` as the inverse of a change of `target` (any pointer that identifies
    // the changed object, used only by removeAllActionsWithTarget). Dropped while
    // registration is disabled. With no group open and groupsByEvent() on, a group is
    // opened and closed when control returns to the event loop; with it off, registering
    // outside a group is a programming error (warned, dropped). A registration that is not
    // part of undoing or redoing clears the redo stack.
    void registerUndo(const void* target, Closure closure);

    // Explicit groups; they nest, and only the outermost one becomes an undo step.
    void beginUndoGrouping();
    void endUndoGrouping();
    int groupingLevel() const;
    // Closes the per-event group now when it is the only group open, so that what is
    // recorded next (a drag's explicit group, say) becomes a step of its own instead of
    // joining the changes the same event made before it.
    void endAutomaticGroup();
    bool groupsByEvent() const; // default true
    void setGroupsByEvent(bool groupsByEvent);

    // Undo closes an open automatic group first, then runs the closures of the last group
    // in reverse order of registration. Redo does the same with the redo stack. Calling
    // either with an explicit group open, or from a closure, is a programming error
    // (warned, ignored). An exception from a closure travels on to the caller; the
    // manager is left recording again at level 0, the interrupted step dropped and the
    // inverses of the closures that ran kept as the opposite step.
    void undo();
    void redo();
    bool canUndo() const;
    // The number of closed steps undo() can take back, one by one.
    int undoCount() const;
    bool canRedo() const;
    bool isUndoing() const;
    bool isRedoing() const;

    // Counted: registration is on again only after as many enables as disables.
    void disableUndoRegistration();
    void enableUndoRegistration();
    bool isUndoRegistrationEnabled() const;

    // Names the group being recorded (or, while undoing, the redo group being recorded).
    // With no group open it opens the automatic group (so a name set before the first
    // registration of an event sticks); without automatic grouping it renames the last
    // undo step. The undone step's name carries over to its redo step unless set anew.
    void setActionName(const QString& actionName);
    // The name of the step undo()/redo() would run: a null string when there is none,
    // an empty one for an unnamed step.
    QString undoActionName() const;
    QString redoActionName() const;

    // Both remove from the undo and redo stacks, the group being recorded and the rest of
    // a step being undone or redone (its remaining closures do not run). Steps left empty
    // disappear. Closures may call them.
    void removeAllActions();
    void removeAllActionsWithTarget(const void* target);

    // Extending the last step, for changes that continue one another (typing): the token
    // names the step the latest registration went into. It is 0 once a step was undone or
    // redone, actions were removed or endStepExtension() was called; a registration into
    // another step names that one.
    quint64 extensibleStep() const;
    // Makes the step the token names the group being recorded again, when it is still the
    // latest: closed steps come off the undo stack and become the per-event group, so what
    // is registered now joins them and the step closes again (with a new state token) when
    // control returns to the event loop. False, changing nothing, when the token is stale,
    // while undoing or redoing, or without automatic grouping.
    bool reopenStep(quint64 token);
    // What is recorded next becomes a step of its own: no step before it can be reopened.
    // A document calls it when it is saved, so a change after the save is a step that
    // marks it edited and undoes to the saved state.
    void endStepExtension();

    // Largest number of undo steps kept; 0 means unlimited (the default).
    int levelsOfUndo() const;
    void setLevelsOfUndo(int levels);

    // Marks the group being recorded as not changing the document (a selection change,
    // say): undoing or redoing it does not change documentState().
    void setCurrentGroupChangesDocument(bool changes);

    // A token for the document state reached through the undo history: equal tokens mean
    // the same state. A document remembers the token when it saves and is dirty while the
    // token differs; undoing back to the saved state makes it clean again, and a new
    // change after an undo never matches an older token.
    quint64 documentState() const;

Q_SIGNALS:
    // After a step was closed, undone or redone, or the stacks were cleared.
    void changed();

    // The life of each step, for the document that counts its changes. willCloseStep
    // comes while the outermost group that holds actions is being closed, with its final
    // name, before its state token is taken: a receiver may still call
    // setCurrentGroupChangesDocument() and nothing else. didCloseStep follows once the
    // step is on the undo stack. didUndoStep and didRedoStep come after undo() or redo()
    // ran a step (with the name of the step that ran).
    void willCloseStep(const QString& actionName);
    void didCloseStep(const QString& actionName);
    void didUndoStep(const QString& actionName);
    void didRedoStep(const QString& actionName);
    // The outermost group closed holding no actions: no step was made of it.
    void didCloseEmptyGroup();

private:
    void openAutomaticGroup();
    void closeAutomaticGroup();
    // Announces the outermost group (willCloseStep), then closes it.
    void closeStep();
    void closeOutermostGroup();
    bool prepareToRun(const char* what);
    void run(bool undoing);

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace platform
