#include "platform/core/UndoManager.h"

#include <QCoreApplication>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

using platform::UndoManager;

namespace {

// A model whose setter records its own inverse, the way document objects do.
struct Text
{
    UndoManager* undo = nullptr;
    QString value;

    void set(const QString& text)
    {
        const QString old = value;
        undo->registerUndo(this, [this, old] { set(old); });
        value = text;
    }
};

// Collects warnings while alive, so programming errors can be checked and stay quiet.
struct WarningCatcher
{
    WarningCatcher()
    {
        messages.clear();
        previous = qInstallMessageHandler(&WarningCatcher::handle);
    }
    ~WarningCatcher() { qInstallMessageHandler(previous); }
    static void handle(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type == QtWarningMsg)
            messages.append(message);
    }
    static inline QStringList messages;
    QtMessageHandler previous = nullptr;
};

class UndoManagerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QObject::connect(&undo, &UndoManager::changed, [this] { ++changes; });
    }

    void step(const QStringList& values, const QString& name = QString())
    {
        undo.beginUndoGrouping();
        for (const QString& v : values)
            text.set(v);
        if (!name.isNull())
            undo.setActionName(name);
        undo.endUndoGrouping();
    }

    WarningCatcher catcher;
    UndoManager undo;
    Text text{&undo, {}};
    int changes = 0;
};

} // namespace

TEST_F(UndoManagerTest, UndoRunsAGroupInReverseAndRedoReappliesIt)
{
    step({"a", "ab", "abc"}, "Typing");
    ASSERT_TRUE(undo.canUndo());
    EXPECT_FALSE(undo.canRedo());
    EXPECT_EQ(undo.undoActionName(), "Typing");

    bool sawUndoing = false;
    undo.beginUndoGrouping();
    undo.registerUndo(&sawUndoing, [&] { sawUndoing = undo.isUndoing() && !undo.isRedoing(); });
    undo.endUndoGrouping();
    undo.undo();
    EXPECT_TRUE(sawUndoing);

    undo.undo();
    EXPECT_EQ(text.value, ""); // forward order would leave "ab"
    EXPECT_FALSE(undo.canUndo());
    ASSERT_TRUE(undo.canRedo());
    EXPECT_EQ(undo.redoActionName(), "Typing"); // the redo step inherits the name

    undo.redo();
    EXPECT_EQ(text.value, "abc");
    EXPECT_EQ(undo.undoActionName(), "Typing");
    undo.undo();
    EXPECT_EQ(text.value, "");
    undo.redo();
    EXPECT_EQ(text.value, "abc");
    EXPECT_FALSE(undo.isUndoing());
    EXPECT_FALSE(undo.isRedoing());
}

TEST_F(UndoManagerTest, RegistrationWhileUndoingBuildsRedoAndANewChangeClearsIt)
{
    step({"one"});
    step({"two"});
    undo.undo();
    EXPECT_EQ(text.value, "one");
    ASSERT_TRUE(undo.canRedo());
    undo.undo();
    EXPECT_EQ(text.value, "");
    undo.redo(); // registrations while redoing form an undo step, redo stays
    EXPECT_EQ(text.value, "one");
    EXPECT_TRUE(undo.canRedo());
    EXPECT_TRUE(undo.canUndo());

    step({"three"});
    EXPECT_FALSE(undo.canRedo());
    undo.undo();
    EXPECT_EQ(text.value, "one");
    undo.undo();
    EXPECT_EQ(text.value, "");
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(UndoManagerTest, AutomaticGroupCollectsOneEventTurn)
{
    text.set("a");
    text.set("b");
    EXPECT_EQ(undo.groupingLevel(), 1);
    EXPECT_TRUE(undo.canUndo()); // undo() would close the open group and undo it
    QCoreApplication::processEvents();
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_EQ(changes, 1);

    text.set("c");
    undo.setActionName("Third");
    undo.undo(); // closes the automatic group first
    EXPECT_EQ(text.value, "b");
    EXPECT_EQ(undo.redoActionName(), "Third");
    undo.undo();
    EXPECT_EQ(text.value, "");         // "a" and "b" were one step
    QCoreApplication::processEvents(); // the stale close request finds nothing open
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_TRUE(undo.canRedo());

    // An explicit group inside the automatic one merges into it, and the automatic group
    // closes only after the explicit one ends.
    text.set("x");
    undo.beginUndoGrouping();
    text.set("y");
    QCoreApplication::processEvents();
    EXPECT_EQ(undo.groupingLevel(), 2);
    undo.endUndoGrouping();
    EXPECT_EQ(undo.groupingLevel(), 0);
    undo.undo();
    EXPECT_EQ(text.value, "");
    EXPECT_TRUE(WarningCatcher::messages.isEmpty());
}

TEST_F(UndoManagerTest, EndingTheEventsGroupMakesWhatFollowsAStepOfItsOwn)
{
    text.set("selected");
    undo.setActionName("Selection");
    undo.endAutomaticGroup();
    EXPECT_EQ(undo.groupingLevel(), 0);
    undo.beginUndoGrouping();
    text.set("moved");
    undo.setActionName("Move");
    undo.endUndoGrouping();
    EXPECT_EQ(undo.undoActionName(), "Move");
    undo.undo();
    EXPECT_EQ(text.value, "selected");
    EXPECT_EQ(undo.undoActionName(), "Selection");

    // Inside an explicit group it does nothing.
    undo.beginUndoGrouping();
    text.set("inner");
    undo.endAutomaticGroup();
    EXPECT_EQ(undo.groupingLevel(), 1);
    undo.endUndoGrouping();
    EXPECT_TRUE(WarningCatcher::messages.isEmpty());
}

TEST_F(UndoManagerTest, NestedGroupsMakeOneStepAndEmptyGroupsNone)
{
    undo.beginUndoGrouping();
    text.set("a");
    undo.beginUndoGrouping();
    text.set("b");
    undo.endUndoGrouping();
    EXPECT_EQ(undo.groupingLevel(), 1);
    EXPECT_EQ(changes, 0);
    text.set("c");
    undo.endUndoGrouping();
    EXPECT_EQ(changes, 1);

    undo.beginUndoGrouping();
    undo.beginUndoGrouping();
    undo.endUndoGrouping();
    undo.endUndoGrouping();
    EXPECT_EQ(changes, 1);

    undo.undo();
    EXPECT_EQ(text.value, "");
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(UndoManagerTest, DisabledRegistrationIsDroppedAndCounted)
{
    undo.disableUndoRegistration();
    undo.disableUndoRegistration();
    step({"a"});
    undo.enableUndoRegistration();
    EXPECT_FALSE(undo.isUndoRegistrationEnabled());
    step({"b"});
    EXPECT_FALSE(undo.canUndo());
    undo.enableUndoRegistration();
    EXPECT_TRUE(undo.isUndoRegistrationEnabled());
    step({"c"});
    undo.undo();
    EXPECT_EQ(text.value, "b");

    // Disabled while undoing: nothing reaches the redo stack.
    step({"d"});
    undo.registerUndo(nullptr, {}); // an empty closure is never recorded
    undo.disableUndoRegistration();
    undo.undo();
    undo.enableUndoRegistration();
    EXPECT_EQ(text.value, "b");
    EXPECT_FALSE(undo.canRedo());

    undo.enableUndoRegistration(); // unbalanced: warned, stays enabled
    EXPECT_TRUE(undo.isUndoRegistrationEnabled());
    EXPECT_EQ(WarningCatcher::messages.size(), 1);
}

TEST_F(UndoManagerTest, ProgrammingErrorsAreWarnedAndIgnored)
{
    step({"a"});

    undo.beginUndoGrouping();
    undo.undo(); // an explicit group is open
    undo.redo();
    undo.endUndoGrouping();
    EXPECT_EQ(text.value, "a");
    EXPECT_EQ(WarningCatcher::messages.size(), 2);

    undo.endUndoGrouping(); // nothing open
    EXPECT_EQ(WarningCatcher::messages.size(), 3);

    // A closure that undoes, or closes the group collecting the redo actions.
    undo.beginUndoGrouping();
    undo.registerUndo(nullptr, [this] {
        undo.undo();
        undo.endUndoGrouping();
    });
    undo.endUndoGrouping();
    undo.undo();
    EXPECT_EQ(WarningCatcher::messages.size(), 5);
    EXPECT_EQ(undo.groupingLevel(), 0);
    undo.undo();
    EXPECT_EQ(text.value, "");

    // Without automatic grouping, registering outside a group is dropped.
    undo.setGroupsByEvent(false);
    text.set("b");
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_FALSE(undo.canUndo());
    EXPECT_EQ(WarningCatcher::messages.size(), 6);
}

TEST_F(UndoManagerTest, RemovingActionsByTargetAndFromInsideClosures)
{
    Text other{&undo, {}};
    undo.beginUndoGrouping();
    text.set("a");
    other.set("x");
    undo.endUndoGrouping();
    undo.beginUndoGrouping();
    other.set("y");
    undo.endUndoGrouping();

    undo.removeAllActionsWithTarget(&other);
    EXPECT_EQ(changes, 3);
    undo.undo(); // the step with only `other` is gone
    EXPECT_EQ(text.value, "");
    EXPECT_EQ(other.value, "y");
    EXPECT_FALSE(undo.canUndo());

    // A closure that removes the other target's pending closure in the same step: it
    // must not run; one that clears everything stops the rest of the step.
    undo.redo();
    undo.beginUndoGrouping();
    other.set("z");
    undo.registerUndo(nullptr, [&] { undo.removeAllActionsWithTarget(&other); });
    undo.endUndoGrouping();
    undo.undo();
    EXPECT_EQ(other.value, "z");

    undo.beginUndoGrouping();
    text.set("b");
    undo.registerUndo(nullptr, [&] { undo.removeAllActions(); });
    undo.endUndoGrouping();
    undo.undo();
    EXPECT_EQ(text.value, "b");
    EXPECT_FALSE(undo.canUndo());
    EXPECT_FALSE(undo.canRedo());
}

TEST_F(UndoManagerTest, LevelsLimitDropsTheOldestSteps)
{
    undo.setLevelsOfUndo(2);
    for (const char* v : {"1", "2", "3", "4"})
        step({QString::fromLatin1(v)});
    undo.undo();
    undo.undo();
    EXPECT_EQ(text.value, "2");
    EXPECT_FALSE(undo.canUndo());

    undo.redo();
    undo.redo();
    undo.setLevelsOfUndo(1); // trims what is already there
    undo.undo();
    EXPECT_EQ(text.value, "3");
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(UndoManagerTest, DocumentStateFollowsTheHistory)
{
    const quint64 blank = undo.documentState();
    step({"a"});
    const quint64 saved = undo.documentState();
    EXPECT_NE(saved, blank);

    // A selection-only step leaves the state alone, also when undone and redone.
    Text selection{&undo, {}};
    undo.beginUndoGrouping();
    selection.set("picked");
    undo.setCurrentGroupChangesDocument(false);
    undo.endUndoGrouping();
    EXPECT_EQ(undo.documentState(), saved);
    undo.undo();
    EXPECT_EQ(undo.documentState(), saved);
    ASSERT_TRUE(undo.canRedo());
    undo.redo();
    EXPECT_EQ(selection.value, "picked");
    EXPECT_EQ(undo.documentState(), saved);

    step({"b"});
    EXPECT_NE(undo.documentState(), saved);
    undo.undo();
    undo.undo();
    EXPECT_EQ(undo.documentState(), saved); // back at the saved state
    undo.undo();
    EXPECT_EQ(undo.documentState(), blank);
    undo.redo();
    EXPECT_EQ(undo.documentState(), saved);

    undo.undo();
    step({"c"}); // a new change after an undo matches no earlier state
    EXPECT_NE(undo.documentState(), saved);
    EXPECT_NE(undo.documentState(), blank);
    undo.undo();
    EXPECT_EQ(undo.documentState(), blank);
}

TEST_F(UndoManagerTest, ChangedIsEmittedForStepsUndoRedoAndClearing)
{
    step({"a"});
    EXPECT_EQ(changes, 1);
    undo.undo();
    EXPECT_EQ(changes, 2);
    undo.redo();
    EXPECT_EQ(changes, 3);
    undo.removeAllActions();
    EXPECT_EQ(changes, 4);
    undo.undo(); // nothing to undo
    EXPECT_EQ(changes, 4);
}

TEST_F(UndoManagerTest, ClosuresKeepTheirCapturesAliveUntilDropped)
{
    auto payload = std::make_shared<QString>("kept");
    std::weak_ptr<QString> watch = payload;
    QString seen;
    undo.beginUndoGrouping();
    undo.registerUndo(nullptr, [payload, &seen] { seen = *payload; });
    undo.endUndoGrouping();
    payload.reset();
    ASSERT_FALSE(watch.expired());
    undo.undo();
    EXPECT_EQ(seen, "kept");
    EXPECT_TRUE(watch.expired()); // the undone step is gone and nothing took its place

    auto again = std::make_shared<int>(1);
    watch.reset();
    std::weak_ptr<int> watchInt = again;
    undo.beginUndoGrouping();
    undo.registerUndo(nullptr, [again] {});
    undo.endUndoGrouping();
    again.reset();
    EXPECT_FALSE(watchInt.expired());
    undo.removeAllActions();
    EXPECT_TRUE(watchInt.expired());
}

TEST_F(UndoManagerTest, ActionNamesFollowTheStep)
{
    EXPECT_TRUE(undo.undoActionName().isNull());
    step({"a"});
    EXPECT_EQ(undo.undoActionName(), ""); // unnamed, but there is a step

    // A name set before the first registration of an event sticks to its group.
    undo.setActionName("Paste");
    text.set("b");
    QCoreApplication::processEvents();
    EXPECT_EQ(undo.undoActionName(), "Paste");

    // A name set while undoing names the redo step.
    undo.beginUndoGrouping();
    undo.registerUndo(nullptr, [this] {
        undo.setActionName("Redo Me");
        text.set(text.value);
    });
    undo.setActionName("Original");
    undo.endUndoGrouping();
    undo.undo();
    EXPECT_EQ(undo.redoActionName(), "Redo Me");
    EXPECT_EQ(undo.undoActionName(), "Paste");

    // Without automatic grouping, a name set after the step closed names that step.
    undo.setGroupsByEvent(false);
    step({"c"});
    undo.setActionName("Late");
    EXPECT_EQ(undo.undoActionName(), "Late");
}

TEST_F(UndoManagerTest, AClosureThatThrowsLeavesTheManagerWorking)
{
    struct Failure
    {};
    for (const bool undoing : {true, false}) {
        SCOPED_TRACE(undoing ? "undo" : "redo");
        undo.removeAllActions();
        text.value.clear();
        step({"saved"});
        const quint64 saved = undo.documentState();
        // One step of three changes whose middle inverse throws (in the given direction).
        bool armed = false;
        undo.beginUndoGrouping();
        text.set("a");
        undo.registerUndo(&armed, [&] {
            if (armed)
                throw Failure();
            undo.registerUndo(&armed, [&] {
                if (armed)
                    throw Failure();
            });
        });
        text.set("ab");
        undo.endUndoGrouping();
        if (!undoing) {
            undo.undo();
            ASSERT_EQ(text.value, "saved");
        }
        const quint64 before = undo.documentState();
        armed = true;
        EXPECT_THROW(undoing ? undo.undo() : undo.redo(), Failure);
        armed = false;

        // Out of the undoing state, at level 0, with what ran kept as the opposite step.
        EXPECT_FALSE(undo.isUndoing());
        EXPECT_FALSE(undo.isRedoing());
        EXPECT_EQ(undo.groupingLevel(), 0);
        EXPECT_EQ(text.value, "a"); // the first closure ran in both directions
        EXPECT_NE(undo.documentState(), before);
        EXPECT_NE(undo.documentState(), saved);
        ASSERT_TRUE(undoing ? undo.canRedo() : undo.canUndo());
        undoing ? undo.redo() : undo.undo();
        EXPECT_EQ(text.value, undoing ? "ab" : "saved");
        EXPECT_EQ(undo.documentState(), before);

        // Later changes make steps of their own that undo as usual.
        step({"next"});
        EXPECT_EQ(undo.groupingLevel(), 0);
        undo.undo();
        EXPECT_EQ(text.value, undoing ? "ab" : "saved");
        EXPECT_TRUE(catcher.messages.isEmpty()) << catcher.messages.join('\n').toStdString();
    }
}
