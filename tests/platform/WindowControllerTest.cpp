// The document window: made on first use, closing (with the question about an edited
// document), key and main activation, frame autosave.

#include "platform/ui/WindowController.h"

#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Document.h"

#include <QApplication>
#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

// A document whose edited state, saving and closing the tests choose and see.
class RecordingDocument : public platform::Document
{
public:
    bool isDocumentEdited() const override { return edited; }
    void saveDocumentWithDelegate(std::function<void(bool)> didSave) override
    {
        ++saves;
        didSave(saveSucceeds);
    }
    void close() override
    {
        ++closes;
        platform::Document::close();
    }

    bool edited = false;
    bool saveSucceeds = true;
    int saves = 0;
    int closes = 0;
};

// A window controller that logs what its window tells it.
class LoggingController : public platform::WindowController
{
public:
    explicit LoggingController(QStringList* log, const QString& name = QStringLiteral("W"))
        : platform::WindowController(QStringLiteral("MainWindow"), nullptr), _log(log), _name(name)
    {}

protected:
    void windowDidLoad() override { _log->append(_name + QStringLiteral(" load")); }
    void windowDidBecomeKey() override { _log->append(_name + QStringLiteral(" key")); }
    void windowDidBecomeMain() override { _log->append(_name + QStringLiteral(" main")); }
    void windowDidResignMain() override { _log->append(_name + QStringLiteral(" resign main")); }
    void windowWillClose() override { _log->append(_name + QStringLiteral(" close")); }

private:
    QStringList* _log;
    QString _name;
};

void settle()
{
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
}

} // namespace

TEST(WindowController, MakesItsWindowOnFirstUse)
{
    platform::WindowController windowless;
    EXPECT_EQ(windowless.window(), nullptr);

    QStringList log;
    RecordingDocument document;
    auto* controller = new LoggingController(&log);
    document.addWindowController(controller);
    EXPECT_FALSE(controller->isWindowLoaded());
    QMainWindow* window = controller->mainWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(controller->window(), window);
    EXPECT_EQ(log, QStringList{QStringLiteral("W load")});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Untitled[*]"));
    EXPECT_EQ(document.appropriateWindowForDocModalOperations(), window);

    // The controller owns the window.
    QPointer<QMainWindow> kept(window);
    document.removeWindowController(controller);
    delete controller;
    EXPECT_TRUE(kept.isNull());
}

TEST(WindowController, ClosingAnEditedDocumentsWindowAsksFirst)
{
    struct Case
    {
        const char* name;
        bool edited;
        int answer; // the button chosen
        bool saveSucceeds;
        bool asked;
        int saves;
        bool closed;
    };
    const Case cases[] = {
        {"clean", false, 0, true, false, 0, true},
        {"save", true, platform::Alert::FirstButtonReturn, true, true, 1, true},
        {"save fails", true, platform::Alert::FirstButtonReturn, false, true, 1, false},
        {"don't save", true, platform::Alert::SecondButtonReturn, true, true, 0, true},
        {"cancel", true, platform::Alert::ThirdButtonReturn, true, true, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList asked;
        platform::Alert::setResponder([&](const platform::Alert& alert, QWidget* window) {
            asked.append(alert.messageText);
            EXPECT_NE(window, nullptr); // on the window, as a sheet
            EXPECT_EQ(alert.buttons,
                      (QStringList{QStringLiteral("Save"), QStringLiteral("Don\u2019t Save"),
                                   QStringLiteral("Cancel")}));
            EXPECT_EQ(alert.cancelButton, 2);
            return platform::Alert::Response{c.answer, false};
        });
        QStringList log;
        RecordingDocument document;
        document.edited = c.edited;
        document.saveSucceeds = c.saveSucceeds;
        auto* controller = new LoggingController(&log);
        document.addWindowController(controller);
        controller->window()->show();
        controller->window()->close(); // the close button

        EXPECT_EQ(asked.size(), c.asked ? 1 : 0);
        if (c.asked) {
            EXPECT_EQ(asked.value(0),
                      platform::WindowController::closeQuestionMessage(QStringLiteral("Untitled")));
        }
        EXPECT_EQ(document.saves, c.saves);
        EXPECT_EQ(document.closes, c.closed ? 1 : 0);
        EXPECT_EQ(log.contains(QStringLiteral("W close")), c.closed);
        if (!c.closed) {
            EXPECT_TRUE(controller->window()->isVisible());
            document.edited = false;
            controller->window()->close();
            EXPECT_EQ(document.closes, 1);
        }
        EXPECT_TRUE(document.windowControllers().isEmpty());
        platform::Alert::setResponder(nullptr);
        settle(); // the controller goes
    }
}

TEST(WindowController, ToolWindowsAndSheetsKeepTheMainWindowMain)
{
    QStringList log;
    LoggingController a(&log, QStringLiteral("A"));
    LoggingController b(&log, QStringLiteral("B"));
    a.window()->show();
    b.window()->show();
    log.clear();

    auto activate = [&](QWidget* window) {
        QApplication::setActiveWindow(window);
        settle();
    };
    activate(b.window());
    log.clear();
    activate(a.window());
    EXPECT_EQ(log, (QStringList{QStringLiteral("A key"), QStringLiteral("B resign main"),
                                QStringLiteral("A main")}));
    EXPECT_EQ(platform::WindowController::mainWindowController(), &a);

    // A tool window and a sheet of A leave A main.
    QWidget tool(nullptr, Qt::Tool);
    tool.show();
    log.clear();
    activate(&tool);
    QDialog sheet(a.window());
    sheet.show();
    activate(&sheet);
    EXPECT_TRUE(log.isEmpty()) << log.join(u',').toStdString();
    EXPECT_EQ(platform::WindowController::mainWindowController(), &a);

    // Back to A: key again, main already.
    activate(a.window());
    EXPECT_EQ(log, QStringList{QStringLiteral("A key")});

    // Another document window takes main.
    log.clear();
    activate(b.window());
    EXPECT_EQ(log, (QStringList{QStringLiteral("B key"), QStringLiteral("A resign main"),
                                QStringLiteral("B main")}));
    EXPECT_EQ(platform::WindowController::mainWindowController(), &b);

    // A sheet of A is no sheet of B: B resigns main.
    log.clear();
    QDialog sheetOfA(a.window());
    sheetOfA.show();
    activate(&sheetOfA);
    EXPECT_EQ(log, QStringList{QStringLiteral("B resign main")});
    EXPECT_EQ(platform::WindowController::mainWindowController(), nullptr);
    QApplication::setActiveWindow(nullptr);
}

TEST(WindowController, SavesAndRestoresItsFrameByName)
{
    const QString key = platform::WindowController::frameDefaultsKey(QStringLiteral("Frames"));
    platform::UserDefaults::standardUserDefaults().removeObjectForKey(key);
    const QRect frame(40, 50, 520, 410);
    {
        QStringList log;
        LoggingController first(&log);
        first.window()->setGeometry(100, 100, 300, 200);
        first.setWindowFrameAutosaveName(QStringLiteral("Frames")); // nothing saved yet
        EXPECT_EQ(first.window()->geometry(), QRect(100, 100, 300, 200));
        first.window()->show();
        first.window()->setGeometry(frame);
        settle();
        EXPECT_FALSE(platform::UserDefaults::standardUserDefaults().stringForKey(key).isEmpty());
    }
    QStringList log;
    LoggingController second(&log);
    second.setWindowFrameAutosaveName(QStringLiteral("Frames"));
    EXPECT_EQ(second.window()->geometry().size(), frame.size());
    platform::UserDefaults::standardUserDefaults().removeObjectForKey(key);
}
