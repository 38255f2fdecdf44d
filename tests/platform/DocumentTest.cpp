#include "platform/ui/Document.h"
#include "platform/core/UndoManager.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/Responder.h"
#include "platform/ui/WindowController.h"

#include <QAction>
#include <QCoreApplication>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

using platform::Document;
using platform::UndoManager;

namespace {

// A value whose setter records its own inverse, as document state does.
struct Value
{
    UndoManager* undo = nullptr;
    int value = 0;

    void set(int v)
    {
        const int old = value;
        undo->registerUndo(this, [this, old] { set(old); });
        value = v;
    }
};

// A controller with a real (hidden) window.
class WindowedController : public platform::WindowController
{
public:
    WindowedController() : _window(std::make_unique<QWidget>()) {}
    QWidget* window() const override { return _window.get(); }

private:
    std::unique_ptr<QWidget> _window;
};

class DocumentTest : public ::testing::Test
{
protected:
    DocumentTest() { document.undoManager()->setGroupsByEvent(false); }

    void step(int v, const QString& name = QStringLiteral("Change"))
    {
        UndoManager* undo = document.undoManager();
        undo->beginUndoGrouping();
        value.set(v);
        undo->setActionName(name);
        undo->endUndoGrouping();
    }

    Document document;
    Value value{document.undoManager(), 0};
};

} // namespace

TEST(UndoManagerSteps, AreReportedWithTheirFinalNames)
{
    UndoManager undo;
    undo.setGroupsByEvent(false);
    Value value{&undo, 0};
    QStringList events;
    QObject::connect(&undo, &UndoManager::willCloseStep,
                     [&](const QString& name) { events << QStringLiteral("will close ") + name; });
    QObject::connect(&undo, &UndoManager::didCloseStep,
                     [&](const QString& name) { events << QStringLiteral("closed ") + name; });
    QObject::connect(&undo, &UndoManager::didUndoStep,
                     [&](const QString& name) { events << QStringLiteral("undid ") + name; });
    QObject::connect(&undo, &UndoManager::didRedoStep,
                     [&](const QString& name) { events << QStringLiteral("redid ") + name; });

    undo.beginUndoGrouping();
    undo.beginUndoGrouping();
    value.set(1);
    undo.endUndoGrouping();                     // an inner group is no step
    undo.setActionName(QStringLiteral("Move")); // named last, as callers do
    undo.endUndoGrouping();
    undo.beginUndoGrouping();
    undo.endUndoGrouping(); // an empty group is no step either
    undo.undo();
    undo.redo();
    undo.undo();
    undo.undo(); // nothing left to undo: no report
    EXPECT_EQ(events, QStringList({"will close Move", "closed Move", "undid Move", "redid Move",
                                   "undid Move"}));
}

TEST(UndoManagerSteps, AStepMarkedWhileClosingLeavesTheDocumentStateAlone)
{
    UndoManager undo;
    undo.setGroupsByEvent(false);
    Value value{&undo, 0};
    QObject::connect(&undo, &UndoManager::willCloseStep, [&](const QString& name) {
        if (name == QStringLiteral("Selection Change"))
            undo.setCurrentGroupChangesDocument(false);
    });
    const quint64 before = undo.documentState();
    undo.beginUndoGrouping();
    value.set(1);
    undo.setActionName(QStringLiteral("Selection Change"));
    undo.endUndoGrouping();
    EXPECT_EQ(undo.documentState(), before);
    EXPECT_EQ(undo.groupingLevel(), 0);
    EXPECT_TRUE(undo.canUndo());
    undo.undo();
    EXPECT_EQ(undo.documentState(), before);
    EXPECT_EQ(value.value, 0);
}

TEST_F(DocumentTest, EditedStateFollowsTheUndoHistoryFromTheLastClearing)
{
    EXPECT_FALSE(document.isDocumentEdited());
    step(1);
    EXPECT_TRUE(document.isDocumentEdited());
    document.undoManager()->undo();
    EXPECT_FALSE(document.isDocumentEdited()); // back at the state of the file
    document.undoManager()->redo();
    EXPECT_TRUE(document.isDocumentEdited());

    document.updateChangeCount(Document::ChangeCleared); // saved
    EXPECT_FALSE(document.isDocumentEdited());
    document.undoManager()->undo();
    EXPECT_TRUE(document.isDocumentEdited()); // the file has the undone change
    document.undoManager()->redo();
    EXPECT_FALSE(document.isDocumentEdited());
}

TEST_F(DocumentTest, TheUndoAndRedoItemsNameTheirSteps)
{
    QAction undo(QStringLiteral("Undo"));
    QAction redo(QStringLiteral("Redo"));
    platform::setActionSelector(&undo, QStringLiteral("undo:"));
    platform::setActionSelector(&redo, QStringLiteral("redo:"));
    const auto titles = [&] {
        const bool canUndo = document.validateMenuItem(&undo);
        const bool canRedo = document.validateMenuItem(&redo);
        return QStringList{undo.text() + (canUndo ? "" : " (off)"),
                           redo.text() + (canRedo ? "" : " (off)")};
    };
    EXPECT_EQ(titles(), QStringList({"Undo (off)", "Redo (off)"}));
    step(1, QStringLiteral("Move"));
    step(2, QStringLiteral("Delete"));
    EXPECT_EQ(titles(), QStringList({"Undo Delete", "Redo (off)"}));
    document.undoManager()->undo();
    EXPECT_EQ(titles(), QStringList({"Undo Move", "Redo Delete"}));
    document.undoManager()->undo();
    EXPECT_EQ(titles(), QStringList({"Undo (off)", "Redo Move"}));
}

TEST_F(DocumentTest, ChangesNoStepRecordsStayEditedUntilCleared)
{
    // Marked inside a step: the step's state decides.
    document.undoManager()->beginUndoGrouping();
    value.set(1);
    document.updateChangeCount(Document::ChangeDone);
    document.undoManager()->endUndoGrouping();
    document.undoManager()->undo();
    EXPECT_FALSE(document.isDocumentEdited());

    // Marked inside a group that records nothing: no step holds it, so it stays a change.
    document.undoManager()->beginUndoGrouping();
    document.updateChangeCount(Document::ChangeDone);
    document.undoManager()->endUndoGrouping();
    EXPECT_TRUE(document.isDocumentEdited());
    document.updateChangeCount(Document::ChangeCleared);
    // An empty group after a save marks nothing by itself.
    document.undoManager()->beginUndoGrouping();
    document.undoManager()->endUndoGrouping();
    EXPECT_FALSE(document.isDocumentEdited());

    // Marked with registration off: nothing can undo it.
    document.undoManager()->disableUndoRegistration();
    value.set(2);
    document.updateChangeCount(Document::ChangeDone);
    document.undoManager()->enableUndoRegistration();
    EXPECT_TRUE(document.isDocumentEdited());
    step(3);
    document.undoManager()->undo();
    EXPECT_TRUE(document.isDocumentEdited());
    document.updateChangeCount(Document::ChangeCleared);
    EXPECT_FALSE(document.isDocumentEdited());
}

TEST_F(DocumentTest, CountsEveryStepThroughUpdateChangeCount)
{
    class Counting : public Document
    {
    public:
        void updateChangeCount(ChangeType change) override
        {
            kinds << change;
            Document::updateChangeCount(change);
        }
        QList<ChangeType> kinds;
    } counting;
    counting.undoManager()->setGroupsByEvent(false);
    Value v{counting.undoManager(), 0};
    counting.undoManager()->beginUndoGrouping();
    v.set(1);
    counting.undoManager()->endUndoGrouping();
    counting.undoManager()->undo();
    counting.undoManager()->redo();
    EXPECT_EQ(counting.kinds,
              QList<Document::ChangeType>(
                  {Document::ChangeDone, Document::ChangeUndone, Document::ChangeRedone}));
}

TEST_F(DocumentTest, WindowControllersShowTheEditedMarkAndCloseWithTheDocument)
{
    auto* windowless = new platform::WindowController;
    auto* windowed = new WindowedController;
    EXPECT_EQ(document.appropriateWindowForDocModalOperations(), nullptr);
    document.addWindowController(windowless);
    document.addWindowController(windowed);
    document.addWindowController(windowed); // once only
    ASSERT_EQ(document.windowControllers().size(), 2);
    EXPECT_EQ(windowed->document(), &document);
    EXPECT_EQ(windowed->parent(), &document);
    EXPECT_EQ(document.appropriateWindowForDocModalOperations(), windowed->window());

    step(1);
    EXPECT_TRUE(windowed->window()->isWindowModified());
    document.updateChangeCount(Document::ChangeCleared);
    EXPECT_FALSE(windowed->window()->isWindowModified());

    document.removeWindowController(windowless);
    EXPECT_EQ(windowless->document(), nullptr);
    EXPECT_EQ(windowless->parent(), nullptr);
    delete windowless;

    windowed->window()->show();
    QPointer<platform::WindowController> gone = windowed;
    document.close();
    EXPECT_TRUE(document.windowControllers().isEmpty());
    ASSERT_FALSE(gone.isNull());
    EXPECT_FALSE(windowed->window()->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(gone.isNull());
}

TEST_F(DocumentTest, DeferredCallsRunLaterUnlessCancelledOrTheDocumentIsGone)
{
    QStringList calls;
    document.performAfterDelay([&] { calls << QStringLiteral("first"); });
    document.performAfterDelay([&] { calls << QStringLiteral("second"); });
    EXPECT_TRUE(calls.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, QStringList({"first", "second"}));

    document.performAfterDelay([&] { calls << QStringLiteral("cancelled"); });
    document.cancelPreviousPerformRequests();
    document.performAfterDelay([&] { calls << QStringLiteral("after"); });
    {
        auto gone = std::make_unique<Document>();
        gone->performAfterDelay([&] { calls << QStringLiteral("gone"); });
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, QStringList({"first", "second", "after"}));
}

TEST_F(DocumentTest, SaveAndRevertAreOfferedByFileAndEditedState)
{
    struct Case
    {
        bool hasFile;
        bool edited;
        bool save;
        bool revert;
    };
    for (const Case& c : {Case{false, false, true, false}, Case{false, true, true, false},
                          Case{true, false, false, false}, Case{true, true, true, true}}) {
        Document d;
        d.setFileName(c.hasFile ? QStringLiteral("/tmp/Card.quarnlb") : QString());
        if (c.edited)
            d.updateChangeCount(Document::ChangeDone);
        EXPECT_EQ(d.validateMenuItem(Document::MenuAction::SaveDocument), c.save) << c.hasFile;
        EXPECT_EQ(d.validateMenuItem(Document::MenuAction::RevertDocumentToSaved), c.revert)
            << c.hasFile << c.edited;
        EXPECT_TRUE(d.validateMenuItem(Document::MenuAction::Other));
    }
}

TEST(PrintInfo, SharedSettingsStartFromAPaperAndCanBePinned)
{
    const platform::PrintInfo letter;
    EXPECT_EQ(letter.paperName(), QStringLiteral("Letter"));
    EXPECT_EQ(letter.paperSize(), QSizeF(612, 792));
    EXPECT_EQ(letter.orientation(), platform::PrintInfo::Portrait);
    EXPECT_TRUE(letter.printerName().isEmpty());

    // Whatever the machine's default printer, the shared settings have a paper.
    const platform::PrintInfo machine = platform::PrintInfo::sharedPrintInfo();
    EXPECT_FALSE(machine.paperName().isEmpty());
    EXPECT_GT(machine.paperSize().width(), 0.0);

    platform::PrintInfo a4;
    a4.setPaperName(QStringLiteral("A4"));
    a4.setPaperSize(QSizeF(595.2755907, 841.88976399));
    platform::PrintInfo::setSharedPrintInfo(a4);
    EXPECT_EQ(platform::PrintInfo::sharedPrintInfo(), a4);
    platform::PrintInfo::setSharedPrintInfo(machine);
}
