// The document window's life cycle and mode switch, driven with recording mode
// controllers: the order of the calls, the state kept across switches, the zoom reset,
// the drawer split, the layers view and undo registration.

#include "../document/DocumentTestSupport.h"
#include "ModeControllerFakes.h"

#include "controls/LBCompImageButton.h"
#include "controls/LBSplitView.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Slider.h"
#include "window/ApplicationServices.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMainWindow>
#include <QPushButton>
#include <QRegularExpression>
#include <QThread>

#include <gtest/gtest.h>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

// Runs the event loop until the condition holds (or 5 s passed); returns whether it holds.
template <typename Condition>
bool waitFor(Condition condition)
{
    QElapsedTimer timer;
    timer.start();
    while (!condition() && timer.elapsed() < 5000) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return condition();
}

// Runs the event loop for about that long.
void wait(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    do {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    } while (timer.elapsed() < milliseconds);
}

// A window controller that logs the chooser it schedules.
class LoggingWindowController : public LBWindowController
{
public:
    explicit LoggingWindowController(QStringList* log) : _log(log) {}
    void openLayoutSheet(QObject* sender) override
    {
        _log->append(sender == this ? QStringLiteral("W openLayoutSheet self")
                                    : QStringLiteral("W openLayoutSheet"));
    }

private:
    QStringList* _log;
};

class WindowModes : public DocumentTest
{
protected:
    WindowModes()
    {
        defaults().registerDefaults({
            {QStringLiteral("Graphics Drawer Width"), 250.0},
            {QStringLiteral("Graphics Drawer Open"), -1},
            {QStringLiteral("Column 1 Width"), 100.0},
            {QStringLiteral("Column 2 Width"), 150.0},
        });
        for (const char* key :
             {"LBDrawerIsClosed", "LayersViewIsClosed", "LayersViewHeight", "New Preferences"})
            defaults().removeObjectForKey(QString::fromLatin1(key));
    }
    ~WindowModes() override
    {
        // The window controller goes with the document, while the log is there.
        if (document)
            document->close();
        document.reset();
    }

    // The document's window, loaded: the log holds what the load did.
    LBWindowController* open(bool fromFile = false)
    {
        document->setOpenedExistingFile(fromFile);
        controller = new LoggingWindowController(&log);
        document->addWindowController(controller);
        controller->window()->resize(1000, 700);
        controller->window()->show();
        QApplication::processEvents();
        return controller;
    }
    // The log since the last take.
    QStringList take() { return std::exchange(log, {}); }

    QStringList log;
    LBWindowController* controller = nullptr;
};

} // namespace

TEST_F(WindowModes, SwitchesInTheirOrder)
{
    RecordingFactories factories(&log, true, true, false);
    open();
    const QStringList opening = take();
    EXPECT_EQ(opening, (QStringList{"P setWindowController", "P showPage", "P updateView YES",
                                    "P pageCount", "P restoreState", "P zoom 1"}))
        << opening.join(u'\n').toStdString();
    EXPECT_EQ(controller->mode(), LBWindowController::PreviewMode);
    EXPECT_EQ(controller->zoomFactor(), 1.0);
    // A layout chosen meanwhile builds the preview's bar again, where the preview shows.
    controller->addQuarnLabelControls();
    EXPECT_EQ(take(), QStringList{"P labelControls"});

    struct Case
    {
        const char* name;
        qint64 to;
        double slider; // set before the switch
        QStringList calls;
    };
    // Leaving preview hides the live-address icons; the first design entry opens the
    // drawer without the layers view, which opens by itself 0.1 s later.
    const Case cases[] = {
        {"1->2",
         2,
         7.3,
         {"P liveIcons NO", "P saveState 7.3", "P zoom 1", "P hidePage", "D setWindowController",
          "D showPage", "D openDrawer YES YES NO", "D drawerMode 0", "D updateView",
          "D restoreState", "D zoom 1"}},
        {"2->1",
         1,
         4.37,
         {"D saveState 4.37", "D zoom 1", "D hidePage NO", "P setWindowController", "P showPage",
          "P updateView YES", "P pageCount", "P restoreState", "P zoom 2.00138"}},
        {"1->2 again",
         2,
         6.0,
         {"P liveIcons NO", "P saveState 6", "P zoom 1", "P hidePage", "D setWindowController",
          "D showPage", "D openDrawer YES YES YES", "D drawerMode 0", "D updateView",
          "D restoreState", "D zoom 0.501581"}},
        // The same mode again: the page is hidden and shown without keeping state.
        {"2->2",
         2,
         8.328,
         {"D hidePage NO", "D setWindowController", "D showPage", "D openDrawer YES YES YES",
          "D drawerMode 0", "D updateView", "D restoreState", "D zoom 0.501581"}},
    };
    LBSplitView* drawerSplit = nullptr;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        controller->setZoomSliderValue(c.slider);
        take();
        controller->shouldAddQuarnLabelControls(true);
        controller->setMode(c.to, false);
        const QStringList calls = take();
        EXPECT_EQ(calls, c.calls) << calls.join(u'\n').toStdString();
        EXPECT_EQ(controller->mode(), c.to);
        // Preview clears the label-controls flag; design leaves it.
        EXPECT_EQ(controller->addsQuarnLabelControls(), c.to == 2);
        EXPECT_EQ(controller->drawerButton()->isHidden(), c.to != 2);
        // The switch shows the mode.
        const auto picture = [](const char* name) {
            return platform::Image::imageNamed(QString::fromLatin1(name));
        };
        EXPECT_EQ(controller->designButton()->componentImages()[0],
                  picture(c.to == 2 ? "TBCapLeft1" : "TBCapLeft0"));
        EXPECT_EQ(controller->previewButton()->componentImages()[2],
                  picture(c.to == 1 ? "TBCapRight1" : "TBCapRight0"));
        EXPECT_EQ(controller->designButton()->componentImages()[3], picture("TBCapLeftH"));
        if (c.to == 2) {
            // The drawer's split is built once.
            ASSERT_NE(controller->drawerSplitView(), nullptr);
            if (drawerSplit) {
                EXPECT_EQ(controller->drawerSplitView(), drawerSplit);
            }
            drawerSplit = controller->drawerSplitView();
            EXPECT_FALSE(controller->firstTimeInEditView());
        }
    }

    // Closing in design: the design page goes as a closing window's, nothing is shown.
    take();
    document->close();
    document.reset();
    QApplication::processEvents();
    EXPECT_EQ(log, (QStringList{"D hidePage YES", "D setWindowController null"}))
        << log.join(u'\n').toStdString();
}

TEST_F(WindowModes, OpensInDesignModeWithoutPreview)
{
    struct Case
    {
        const char* name;
        bool design;
        QStringList calls;
    };
    const Case cases[] = {
        {"design controller",
         true,
         {"D setWindowController", "D showPage", "D openDrawer YES YES NO", "D drawerMode 0",
          "D updateView", "D restoreState", "D zoom 1"}},
        {"empty design area", false, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingFactories factories(&log, false, c.design, false);
        document = std::make_unique<LBDocument>();
        QElapsedTimer sinceLoad;
        sinceLoad.start();
        open();
        const QStringList calls = take();
        EXPECT_EQ(calls, c.calls) << calls.join(u'\n').toStdString();
        EXPECT_EQ(controller->mode(), LBWindowController::DesignMode);
        EXPECT_FALSE(controller->canSwitchToViewMode());
        controller->switchToViewMode(nullptr); // no preview: nothing happens
        EXPECT_EQ(controller->mode(), LBWindowController::DesignMode);
        EXPECT_TRUE(take().isEmpty());
        // The chooser is scheduled for a new document, 0.25 s after the window loaded.
        ASSERT_TRUE(waitFor([&] { return log.contains("W openLayoutSheet self"); }));
        EXPECT_GE(sinceLoad.elapsed(), 250);
        EXPECT_EQ(take(), QStringList{"W openLayoutSheet self"});
        document->close();
        document.reset();
        take();
    }
}

TEST_F(WindowModes, AFileZoomsToFitOnceAMode)
{
    RecordingFactories factories(&log, true, true, false);
    document->dimensionInfo()[QStringLiteral("pageWidth")] = 252;
    document->dimensionInfo()[QStringLiteral("pageHeight")] = 144;
    open(true);
    // Opened from a file: zoomed to fit, no chooser.
    const double fitted = controller->zoomSliderValue();
    EXPECT_GT(fitted, 6.0);
    EXPECT_TRUE(controller->zoomToFitOnModeChange());
    wait(300);
    EXPECT_FALSE(log.contains("W openLayoutSheet self"));

    take();
    controller->switchToDesignMode(nullptr);
    QStringList calls = take();
    EXPECT_FALSE(calls.contains("D restoreState")) << calls.join(u'\n').toStdString();
    EXPECT_FALSE(controller->zoomToFitOnModeChange());
    EXPECT_GT(controller->zoomSliderValue(), 6.0);

    controller->switchToViewMode(nullptr);
    controller->switchToDesignMode(nullptr);
    calls = take();
    EXPECT_EQ(calls.count("D restoreState"), 1) << calls.join(u'\n').toStdString();
}

TEST_F(WindowModes, UndoRegistrationFollowsTheSwitchCommands)
{
    RecordingFactories factories(&log, true, true, false);
    open();
    platform::UndoManager* undo = document->undoManager();
    for (int round = 0; round < 2; ++round) {
        controller->switchToViewMode(nullptr);
        EXPECT_FALSE(undo->isUndoRegistrationEnabled());
        EXPECT_EQ(controller->mode(), LBWindowController::PreviewMode);
        controller->switchToDesignMode(nullptr);
        EXPECT_TRUE(undo->isUndoRegistrationEnabled());
        EXPECT_EQ(controller->mode(), LBWindowController::DesignMode);
    }
}

TEST_F(WindowModes, TheLayersViewOpensAfterTheFirstDesignEntry)
{
    struct Case
    {
        const char* name;
        bool drawerClosed;
        bool layersClosed;
        bool layersOpen;
        QString openDrawer; // the openDrawer call of the first entry, empty for none
    };
    const Case cases[] = {
        {"both open", false, false, true, "D openDrawer YES YES NO"},
        {"layers closed", false, true, false, "D openDrawer YES YES YES"},
        {"drawer closed", true, false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingFactories factories(&log, true, true, true);
        defaults().setBool(c.drawerClosed, QStringLiteral("LBDrawerIsClosed"));
        defaults().setBool(c.layersClosed, QStringLiteral("LayersViewIsClosed"));
        document = std::make_unique<LBDocument>();
        open();
        take();
        QElapsedTimer sinceEntry;
        sinceEntry.start();
        controller->switchToDesignMode(nullptr);
        const QStringList calls = take();
        EXPECT_EQ(calls.filter("openDrawer").value(0), c.openDrawer);
        EXPECT_EQ(controller->designDrawerIsOpen(), !c.drawerClosed);
        EXPECT_EQ(controller->layersController(), nullptr); // not at once
        if (c.layersOpen) {
            ASSERT_TRUE(waitFor([&] { return controller->layersController() != nullptr; }));
            EXPECT_GE(sinceEntry.elapsed(), 100);
            const QStringList layers = take().filter(QRegularExpression("^L "));
            EXPECT_EQ(layers.mid(0, 4),
                      (QStringList{"L setSplitter", "L setDocument", "L setEditController",
                                   "L minWidths 150 300"}));
            EXPECT_EQ(controller->layersButton()->text(), QStringLiteral("Hide Layers"));
            EXPECT_EQ(controller->drawerBottomView()->height(), 150);
        } else {
            wait(300);
            EXPECT_EQ(controller->layersController(), nullptr);
        }
        // The closed drawer is honoured on the first entry only.
        if (c.drawerClosed) {
            controller->openDesignDrawer(true);
            controller->switchToViewMode(nullptr);
            controller->switchToDesignMode(nullptr);
            EXPECT_TRUE(controller->designDrawerIsOpen());
        }
        document->close();
        document.reset();
        QApplication::processEvents();
    }
    defaults().removeObjectForKey(QStringLiteral("LBDrawerIsClosed"));
    defaults().removeObjectForKey(QStringLiteral("LayersViewIsClosed"));
}

TEST_F(WindowModes, TheCurrentWindowControllerIsTheKeyWindows)
{
    RecordingFactories factories(&log, true, true, false);
    open();
    LBWindowController* first = controller;
    auto second = std::make_unique<LBDocument>();
    auto* other = new LoggingWindowController(&log);
    second->addWindowController(other);
    other->window()->show();
    wait(50); // the activations that showing brings

    QApplication::setActiveWindow(first->window());
    wait(20);
    EXPECT_EQ(LBWindowController::currentWindowController(), first);
    QApplication::setActiveWindow(other->window());
    wait(20);
    EXPECT_EQ(LBWindowController::currentWindowController(), other);

    // Closing a window in the background leaves the key window's controller current.
    document->close();
    QApplication::processEvents();
    EXPECT_EQ(LBWindowController::currentWindowController(), other);
    // Closing the key window leaves none.
    second->close();
    QApplication::processEvents();
    EXPECT_EQ(LBWindowController::currentWindowController(), nullptr);
    QApplication::setActiveWindow(nullptr);
}

TEST_F(WindowModes, ShiftIsToldToDesignModeWhileItIsDown)
{
    RecordingFactories factories(&log, true, true, false);
    open();
    controller->processFlagsChanged(Qt::ShiftModifier); // no design controller yet
    EXPECT_FALSE(controller->showingDetailThumbnails());
    controller->switchToDesignMode(nullptr);
    take();
    const struct
    {
        Qt::KeyboardModifiers modifiers;
        QStringList calls;
        bool showing;
    } steps[] = {
        {Qt::ShiftModifier, {"D shift YES"}, true},
        {Qt::ShiftModifier | Qt::ControlModifier, {"D shift YES"}, true},
        {Qt::ControlModifier, {"D shift NO"}, false},
        {Qt::NoModifier, {}, false},
    };
    for (const auto& step : steps) {
        controller->processFlagsChanged(step.modifiers);
        EXPECT_EQ(take(), step.calls);
        EXPECT_EQ(controller->showingDetailThumbnails(), step.showing);
    }
}

TEST_F(WindowModes, PagesTakeTheColourOfTheCurrentFace)
{
    RecordingFactories factories(&log, true, true, false);
    open();
    controller->switchToDesignMode(nullptr);
    LBPageView* pageView = controller->editController()->pageView();
    ASSERT_NE(pageView, nullptr);
    struct Case
    {
        const char* name;
        bool drawColor;
        bool placeholder;
        bool drawPlaceholder;
        QColor expected;
    };
    const QColor background(200, 20, 20), placeholder(20, 200, 20);
    const Case cases[] = {
        {"background colour", true, true, true, background},
        {"placeholder colour", false, true, true, placeholder},
        {"placeholder hidden", false, true, false, Qt::white},
        {"no placeholder", false, false, true, Qt::white},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document->undoManager()->disableUndoRegistration();
        document->setBackgroundColor(background, 0);
        document->setHasBackgroundColor(true, 0);
        document->setDrawBackgroundColor(c.drawColor, 0);
        document->setHasBackgroundPlaceholder(c.placeholder, 0);
        document->setPlaceholderColor(placeholder, 0);
        document->setDrawBackgroundPlaceholder(c.drawPlaceholder, 0);
        document->undoManager()->enableUndoRegistration();
        controller->setupForDocument();
        EXPECT_EQ(pageView->pageColor(), c.expected);
    }
}

TEST_F(WindowModes, TellsTheShellThatAWindowOpened)
{
    struct Shell : ApplicationServices
    {
        void setDocumentWasOpened(bool opened) override { told.append(opened); }
        QList<bool> told;
    } shell;
    ApplicationServices::setShared(&shell);
    LBWindowController controller;
    EXPECT_EQ(shell.told, QList<bool>{true});
    ApplicationServices::setShared(nullptr);
}

TEST_F(WindowModes, TheSearchFieldShowsAndTakesTheKeyboardOnceLoaded)
{
    RecordingFactories factories(&log, true, true, false);
    defaults().setBool(false, QStringLiteral("PreviewModeToolbarIsHidden"));
    open();
    wait(50);
    QLineEdit* search = controller->searchField();
    ASSERT_NE(search, nullptr);
    EXPECT_TRUE(search->isEnabled());
    EXPECT_TRUE(search->isVisible()); // in the preview toolbar
    EXPECT_EQ(controller->window()->focusWidget(), search);
    defaults().removeObjectForKey(QStringLiteral("PreviewModeToolbarIsHidden"));
}
