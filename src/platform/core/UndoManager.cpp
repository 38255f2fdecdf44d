#include "platform/core/UndoManager.h"

#include <QList>
#include <QScopeGuard>
#include <QTimer>
#include <QtGlobal>

#include <utility>

namespace platform {

namespace {

struct Action
{
    const void* target = nullptr;
    UndoManager::Closure closure;
};

// One undo or redo step. The two state tokens are the document state after undoing and
// after (re)doing the step; a step travels between the stacks with its pair unchanged.
struct Group
{
    QList<Action> actions;
    QString actionName;
    bool changesDocument = true;
    quint64 undoneState = 0;
    quint64 doneState = 0;
    bool reopened = false; // its undoneState is kept when it closes again
    quint64 serial = 0;    // names the step for extensibleStep()
};

enum class Running { Nothing, Undo, Redo };

} // namespace

struct UndoManager::Private
{
    QList<Group> undoStack; // last element is the next step to undo
    QList<Group> redoStack; // last element is the next step to redo

    Group open;             // the outermost group being recorded
    int level = 0;          // open groups, the automatic one included
    bool automatic = false; // the outermost open group is the per-event one
    bool closeScheduled = false;
    bool closeWhenExplicitEnd = false;
    bool closing = false; // willCloseStep is being delivered

    Running running = Running::Nothing;
    QList<Action>* runningActions = nullptr; // the step being undone or redone

    bool groupsByEvent = true;
    int disabled = 0;
    int levels = 0;
    quint64 state = 0;
    quint64 lastState = 0;
    quint64 serials = 0;        // the last serial given to a group
    quint64 extensibleStep = 0; // see UndoManager::extensibleStep()

    void trim(QList<Group>& stack) const
    {
        if (levels > 0 && stack.size() > levels)
            stack.remove(0, stack.size() - levels);
    }

    bool automaticOnlyOpen() const { return level == 1 && automatic; }

    // The group being recorded, handed out; no group is open afterwards.
    Group takeOpenGroup()
    {
        Group group = std::move(open);
        open = Group();
        level = 0;
        automatic = false;
        closeWhenExplicitEnd = false;
        return group;
    }
};

UndoManager::UndoManager(QObject* parent) : QObject(parent), d(std::make_unique<Private>())
{}

UndoManager::~UndoManager() = default;

void UndoManager::registerUndo(const void* target, Closure closure)
{
    if (d->disabled > 0 || !closure)
        return;
    if (d->level == 0) {
        if (!d->groupsByEvent) {
            qWarning("UndoManager::registerUndo: no undo group is open; the action is dropped");
            return;
        }
        openAutomaticGroup();
    }
    if (d->running == Running::Nothing && !d->redoStack.isEmpty())
        d->redoStack.clear();
    d->open.actions.append(Action{target, std::move(closure)});
    d->extensibleStep = d->running == Running::Nothing ? d->open.serial : 0;
}

void UndoManager::openAutomaticGroup()
{
    d->open = Group();
    d->open.serial = ++d->serials;
    d->level = 1;
    d->automatic = true;
    if (!d->closeScheduled) {
        d->closeScheduled = true;
        QTimer::singleShot(0, this, [this] { closeAutomaticGroup(); });
    }
}

void UndoManager::closeAutomaticGroup()
{
    d->closeScheduled = false;
    if (!d->automatic || d->level == 0)
        return;
    if (d->level == 1)
        closeStep();
    else
        d->closeWhenExplicitEnd = true; // an explicit group is still open inside it
}

void UndoManager::closeStep()
{
    // Receivers may still mark the step as not changing the document.
    if (!d->open.actions.isEmpty()) {
        d->closing = true;
        Q_EMIT willCloseStep(d->open.actionName.isNull() ? QStringLiteral("") : d->open.actionName);
        d->closing = false;
    }
    closeOutermostGroup();
}

void UndoManager::closeOutermostGroup()
{
    Group group = d->takeOpenGroup();
    if (group.actions.isEmpty()) {
        Q_EMIT didCloseEmptyGroup();
        return;
    }
    if (!group.reopened)
        group.undoneState = d->state;
    group.reopened = false;
    if (group.changesDocument)
        d->state = ++d->lastState;
    group.doneState = d->state;
    const QString name = group.actionName.isNull() ? QStringLiteral("") : group.actionName;
    d->undoStack.append(std::move(group));
    d->trim(d->undoStack);
    Q_EMIT changed();
    Q_EMIT didCloseStep(name);
}

void UndoManager::beginUndoGrouping()
{
    if (d->level == 0) {
        d->open = Group();
        d->open.serial = ++d->serials;
        d->automatic = false;
    }
    ++d->level;
}

void UndoManager::endUndoGrouping()
{
    // While undoing or redoing, the outermost level is the group that collects the inverse
    // actions; closures must not close it.
    const int floor = d->running == Running::Nothing ? 0 : 1;
    if (d->level <= floor || (d->automaticOnlyOpen() && floor == 0)) {
        qWarning("UndoManager::endUndoGrouping: no matching beginUndoGrouping");
        return;
    }
    --d->level;
    if (d->level == 0)
        closeStep();
    else if (d->automaticOnlyOpen() && d->closeWhenExplicitEnd)
        closeStep();
}

void UndoManager::endAutomaticGroup()
{
    if (d->automaticOnlyOpen() && d->running == Running::Nothing)
        closeStep();
}

int UndoManager::groupingLevel() const
{
    return d->level;
}

bool UndoManager::groupsByEvent() const
{
    return d->groupsByEvent;
}

void UndoManager::setGroupsByEvent(bool groupsByEvent)
{
    d->groupsByEvent = groupsByEvent;
}

bool UndoManager::prepareToRun(const char* what)
{
    if (d->running != Running::Nothing) {
        qWarning("UndoManager::%s: called while undoing or redoing; ignored", what);
        return false;
    }
    if (d->automaticOnlyOpen())
        closeStep();
    if (d->level > 0) {
        qWarning("UndoManager::%s: an undo group is still open; ignored", what);
        return false;
    }
    return true;
}

void UndoManager::run(bool undoing)
{
    QList<Group>& from = undoing ? d->undoStack : d->redoStack;
    QList<Group>& to = undoing ? d->redoStack : d->undoStack;
    if (from.isEmpty())
        return;
    Group step = from.takeLast();

    // The inverse actions the closures register form the opposite step.
    d->running = undoing ? Running::Undo : Running::Redo;
    d->runningActions = &step.actions;
    d->open = Group();
    d->level = 1;
    d->automatic = false;
    bool completed = false;

    // On every way out, a closure's exception included, the manager leaves the undoing
    // state and files what was recorded, so later changes and undos work as before. A
    // step cut short is gone; the inverses of the closures that did run form the opposite
    // step, which puts back what they changed. The state between the two matches no
    // saved state.
    const auto finish = qScopeGuard([&] {
        d->runningActions = nullptr;
        d->running = Running::Nothing;
        d->extensibleStep = 0;
        Group inverse = d->takeOpenGroup();
        if (inverse.actionName.isNull())
            inverse.actionName = step.actionName;
        inverse.changesDocument = step.changesDocument;
        inverse.undoneState = step.undoneState;
        inverse.doneState = step.doneState;
        if (completed) {
            d->state = undoing ? step.undoneState : step.doneState;
        } else {
            d->state = ++d->lastState;
            (undoing ? inverse.undoneState : inverse.doneState) = d->state;
        }
        if (!inverse.actions.isEmpty()) {
            to.append(std::move(inverse));
            d->trim(to);
        }
        Q_EMIT changed();
    });

    // Closures may remove actions (removeAllActions*), which empties their entries here,
    // so walk by index and skip what was removed.
    for (qsizetype i = step.actions.size() - 1; i >= 0; --i) {
        if (i >= step.actions.size())
            continue;
        const Closure closure = step.actions[i].closure; // kept alive while it runs
        if (closure)
            closure();
    }
    completed = true;
}

void UndoManager::undo()
{
    if (!prepareToRun("undo") || d->undoStack.isEmpty())
        return;
    const QString name = undoActionName();
    run(true);
    Q_EMIT didUndoStep(name);
}

void UndoManager::redo()
{
    if (!prepareToRun("redo") || d->redoStack.isEmpty())
        return;
    const QString name = redoActionName();
    run(false);
    Q_EMIT didRedoStep(name);
}

int UndoManager::undoCount() const
{
    return int(d->undoStack.size());
}

bool UndoManager::canUndo() const
{
    if (d->running == Running::Nothing && d->automaticOnlyOpen() && !d->open.actions.isEmpty())
        return true;
    return !d->undoStack.isEmpty();
}

bool UndoManager::canRedo() const
{
    if (d->running == Running::Nothing && d->automaticOnlyOpen() && !d->open.actions.isEmpty())
        return false; // undo() would first close the open group, which clears redo
    return !d->redoStack.isEmpty();
}

bool UndoManager::isUndoing() const
{
    return d->running == Running::Undo;
}

bool UndoManager::isRedoing() const
{
    return d->running == Running::Redo;
}

void UndoManager::disableUndoRegistration()
{
    ++d->disabled;
}

void UndoManager::enableUndoRegistration()
{
    if (d->disabled == 0) {
        qWarning("UndoManager::enableUndoRegistration: registration is not disabled");
        return;
    }
    --d->disabled;
}

bool UndoManager::isUndoRegistrationEnabled() const
{
    return d->disabled == 0;
}

void UndoManager::setActionName(const QString& actionName)
{
    if (d->level == 0 && d->groupsByEvent)
        openAutomaticGroup();
    if (d->level > 0)
        d->open.actionName = actionName;
    else if (!d->undoStack.isEmpty())
        d->undoStack.last().actionName = actionName;
}

QString UndoManager::undoActionName() const
{
    if (d->running == Running::Nothing && d->automaticOnlyOpen() && !d->open.actions.isEmpty())
        return d->open.actionName.isNull() ? QStringLiteral("") : d->open.actionName;
    if (d->undoStack.isEmpty())
        return QString();
    const QString& name = d->undoStack.last().actionName;
    return name.isNull() ? QStringLiteral("") : name;
}

QString UndoManager::redoActionName() const
{
    if (d->redoStack.isEmpty() || !canRedo())
        return QString();
    const QString& name = d->redoStack.last().actionName;
    return name.isNull() ? QStringLiteral("") : name;
}

void UndoManager::removeAllActions()
{
    d->undoStack.clear();
    d->redoStack.clear();
    d->open.actions.clear();
    if (d->runningActions)
        d->runningActions->clear();
    d->extensibleStep = 0;
    Q_EMIT changed();
}

void UndoManager::removeAllActionsWithTarget(const void* target)
{
    const auto matches = [target](const Action& action) { return action.target == target; };
    for (QList<Group>* stack : {&d->undoStack, &d->redoStack}) {
        for (Group& group : *stack)
            group.actions.removeIf(matches);
        stack->removeIf([](const Group& group) { return group.actions.isEmpty(); });
    }
    d->open.actions.removeIf(matches);
    d->extensibleStep = 0;
    // The step being undone keeps its length so the walk stays in order; the removed
    // actions only lose their closures.
    if (d->runningActions) {
        for (Action& action : *d->runningActions) {
            if (matches(action))
                action.closure = nullptr;
        }
    }
    Q_EMIT changed();
}

quint64 UndoManager::extensibleStep() const
{
    return d->extensibleStep;
}

bool UndoManager::reopenStep(quint64 token)
{
    if (token == 0 || token != d->extensibleStep || d->running != Running::Nothing
        || !d->groupsByEvent)
        return false;
    if (d->level > 0)
        return d->open.serial == token; // still being recorded
    if (d->undoStack.isEmpty() || d->undoStack.last().serial != token)
        return false;
    // The document state stays the step's done state while it is open, so the document
    // does not look unchanged meanwhile; closing it again takes a new token.
    d->open = d->undoStack.takeLast();
    d->open.reopened = true;
    d->level = 1;
    d->automatic = true;
    if (!d->closeScheduled) {
        d->closeScheduled = true;
        QTimer::singleShot(0, this, [this] { closeAutomaticGroup(); });
    }
    return true;
}

void UndoManager::endStepExtension()
{
    d->extensibleStep = 0;
}

int UndoManager::levelsOfUndo() const
{
    return d->levels;
}

void UndoManager::setLevelsOfUndo(int levels)
{
    d->levels = qMax(0, levels);
    const qsizetype undoBefore = d->undoStack.size();
    const qsizetype redoBefore = d->redoStack.size();
    d->trim(d->undoStack);
    d->trim(d->redoStack);
    if (d->undoStack.size() != undoBefore || d->redoStack.size() != redoBefore)
        Q_EMIT changed();
}

void UndoManager::setCurrentGroupChangesDocument(bool changes)
{
    if (d->closing) {
        d->open.changesDocument = changes;
        return;
    }
    if (d->level == 0 && d->groupsByEvent)
        openAutomaticGroup();
    if (d->level > 0)
        d->open.changesDocument = changes;
}

quint64 UndoManager::documentState() const
{
    return d->state;
}

} // namespace platform
