// The welcome window (its pages, its check box, its launch) and the help window of smart
// templates.

#include "app/LBAppController.h"
#include "app/LBHelpWindowController.h"
#include "app/LBWelcomeWindowController.h"
#include "controls/DSClickableURLTextField.h"
#include "document/LBDocument.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UserDefaults.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Document.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/Responder.h"
#include "window/LBWindowController.h"
#include "platform/ui/Responder.h"

#include <QCheckBox>
#include <QColor>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

void settle(int milliseconds = 50)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// Runs the event loop until the condition holds (or 5 s have gone).
template <typename Condition>
bool waitFor(Condition condition)
{
    const QDeadlineTimer deadline(5000);
    while (!condition() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return condition();
}

class WelcomeWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LBAppController::registerDefaults();
        LBAppController::setLaunchDelay(0);
        clearKeys();
        closedObserver = platform::NotificationCenter::defaultCenter().addObserver(
            LBWelcomeWindowDidCloseNotification, nullptr,
            [this](const platform::Notification&) { ++closedPosts; });
        LBWelcomeWindowController::setURLOpener([this](const QUrl& url) { opened << url; });
    }

    void TearDown() override
    {
        app.reset();
        platform::DocumentController::sharedDocumentController().closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        LBWelcomeWindowController::setURLOpener(nullptr);
        LBWelcomeWindowController::setPageURLsForTesting(QString(), QString());
        clearKeys();
    }

    static void clearKeys()
    {
        for (const char* key : {"SkipWelcomeWindow", "WelcomeWindowAlreadyShown", "LBLaunchCount",
                                "New Preferences", "Second Launch"})
            defaults().removeObjectForKey(QLatin1String(key));
    }

    void launch()
    {
        app = std::make_unique<LBAppController>();
        app->applicationDidFinishLaunching();
        // The untitled document, then the welcome window, each after the (zero) delay.
        waitFor([] {
            return !platform::DocumentController::sharedDocumentController().documents().isEmpty();
        });
        settle();
    }

    LBWelcomeWindowController* shownWelcomeWindow()
    {
        waitFor([this] { return app->welcomeWindowController() != nullptr; });
        return app->welcomeWindowController();
    }

    void quit()
    {
        app.reset();
        platform::DocumentController::sharedDocumentController().closeAllDocuments();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    platform::ObserverToken closedObserver;
    int closedPosts = 0;
    QList<QUrl> opened;
    std::unique_ptr<LBAppController> app;
};

} // namespace

TEST_F(WelcomeWindow, ContinueSlidesTheSecondPageInAndThenCloses)
{
    LBWelcomeWindowController::setPageURLsForTesting(QString(),
                                                     QStringLiteral("https://example.com/kits"));
    LBWelcomeWindowController controller(true);
    controller.showWindow();
    // The first showing offers no check box; the box is ticked (show at launch).
    EXPECT_FALSE(controller.showAtLaunchCheckBox()->isVisibleTo(controller.window()));
    EXPECT_TRUE(controller.showAtLaunchCheckBox()->isChecked());
    QWidget* page1 = controller.page1();
    ASSERT_NE(page1, nullptr);
    EXPECT_EQ(page1->parentWidget(), controller.continueButton()->parentWidget());
    EXPECT_EQ(page1->pos(), QPoint(0, 0));
    EXPECT_EQ(controller.continueButton()->text(), QStringLiteral("Continue"));

    QElapsedTimer clock;
    clock.start();
    controller.continueAction();
    EXPECT_EQ(controller.continueButton()->text(), QStringLiteral("Close"));
    // Both pages show while they slide.
    EXPECT_EQ(page1->parentWidget(), controller.page2()->parentWidget());
    // The download text is one link, in the link colour.
    const platform::AttributedString link = controller.downloadLinkField()->attributedStringValue();
    EXPECT_EQ(link.attribute(platform::LinkAttributeName, 0).toUrl(),
              QUrl(QStringLiteral("https://example.com/kits")));
    EXPECT_EQ(link.attribute(platform::LinkAttributeName, link.length() - 1).toUrl(),
              QUrl(QStringLiteral("https://example.com/kits")));
    const QColor colour = link.attribute(platform::ForegroundColorAttributeName, 0).value<QColor>();
    EXPECT_NEAR(colour.redF(), 0.098, 0.002);
    EXPECT_NEAR(colour.greenF(), 0.384, 0.002);
    EXPECT_NEAR(colour.blueF(), 0.6, 0.002);
    // After half a second page 1 is gone and page 2 in its place.
    ASSERT_TRUE(waitFor([page1] { return page1->parentWidget() == nullptr; }));
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_EQ(controller.page2()->pos(), QPoint(0, 0));
    EXPECT_EQ(closedPosts, 0);

    // On page 2 the button closes; the close is posted once, however the window goes.
    controller.continueAction();
    EXPECT_FALSE(controller.window()->isVisible());
    EXPECT_EQ(controller.page2()->parentWidget(), nullptr);
    controller.window()->close();
    EXPECT_EQ(closedPosts, 1);
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("WelcomeWindowAlreadyShown")));
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("SkipWelcomeWindow")));
}

TEST_F(WelcomeWindow, PagesOpenThroughTheOpenerAndMissingPagesHideTheirButtons)
{
    {
        LBWelcomeWindowController controller(false);
        controller.window();
        controller.continueAction();
        EXPECT_FALSE(controller.videoTutorialsButton()->isVisibleTo(controller.window()));
        EXPECT_FALSE(controller.downloadButton()->isVisibleTo(controller.window()));
        // No download page: the text stays plain.
        const platform::AttributedString text =
            controller.downloadLinkField()->attributedStringValue();
        EXPECT_FALSE(text.attribute(platform::LinkAttributeName, 0).isValid());
        controller.videoTutorialsAction();
        EXPECT_TRUE(opened.isEmpty());
    }
    LBWelcomeWindowController::setPageURLsForTesting(QStringLiteral("https://example.com/video"),
                                                     QStringLiteral("https://example.com/kits"));
    LBWelcomeWindowController controller(false);
    controller.window();
    controller.continueAction();
    EXPECT_TRUE(controller.videoTutorialsButton()->isVisibleTo(controller.window()));
    EXPECT_TRUE(controller.downloadButton()->isVisibleTo(controller.window()));
    controller.videoTutorialsButton()->click();
    controller.downloadButton()->click();
    EXPECT_EQ(opened, QList<QUrl>({QUrl(QStringLiteral("https://example.com/video")),
                                   QUrl(QStringLiteral("https://example.com/kits"))}));

    int guideRequests = 0;
    const platform::ObserverToken guide = platform::NotificationCenter::defaultCenter().addObserver(
        KXOpenUserGuide, nullptr, [&](const platform::Notification&) { ++guideRequests; });
    controller.userGuideAction();
    EXPECT_EQ(guideRequests, 1);
}

TEST_F(WelcomeWindow, ClearingTheBoxMakesTheNextLaunchSkipIt)
{
    // A first launch: the untitled document, then the welcome window.
    launch();
    ASSERT_EQ(platform::DocumentController::sharedDocumentController().documents().size(), 1);
    LBWelcomeWindowController* welcome = shownWelcomeWindow();
    ASSERT_NE(welcome, nullptr);
    EXPECT_TRUE(welcome->atAppLaunch());
    EXPECT_TRUE(welcome->window()->isVisible());
    welcome->closeWelcomeWindowAction();
    settle();
    EXPECT_EQ(app->welcomeWindowController(), nullptr);
    EXPECT_EQ(closedPosts, 1);
    quit();

    // The next launch offers the box; cleared, it keeps the window away after that.
    launch();
    welcome = shownWelcomeWindow();
    ASSERT_NE(welcome, nullptr);
    EXPECT_TRUE(welcome->showAtLaunchCheckBox()->isVisibleTo(welcome->window()));
    welcome->showAtLaunchCheckBox()->setChecked(false);
    welcome->closeWelcomeWindowAction();
    settle();
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("SkipWelcomeWindow")));
    quit();

    launch();
    EXPECT_EQ(app->welcomeWindowController(), nullptr);
    // The Help menu still opens it, once however often it is asked for.
    QAction item;
    platform::setActionSelector(&item, QStringLiteral("openWelcomeWindow:"));
    EXPECT_TRUE(platform::Responder::sendAction({app.get()}, &item));
    welcome = app->welcomeWindowController();
    ASSERT_NE(welcome, nullptr);
    EXPECT_FALSE(welcome->atAppLaunch());
    EXPECT_TRUE(platform::Responder::sendAction({app.get()}, &item));
    EXPECT_EQ(app->welcomeWindowController(), welcome);
}

// The welcome window waits for the untitled document's window to be drawn, and then comes.
TEST_F(WelcomeWindow, FollowsTheDocumentWindowsFirstPaint)
{
    // Holds back the document window's paints (the only main window until the welcome
    // window exists) while asked to.
    struct PaintBlocker : QObject
    {
        bool blocking = true;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            return blocking && event->type() == QEvent::Paint
                   && qobject_cast<QMainWindow*>(watched) != nullptr;
        }
    } blocker;
    qApp->installEventFilter(&blocker);
    app = std::make_unique<LBAppController>();
    app->applicationDidFinishLaunching();
    waitFor([] {
        return !platform::DocumentController::sharedDocumentController().documents().isEmpty();
    });
    settle(200);
    EXPECT_EQ(app->welcomeWindowController(), nullptr);

    blocker.blocking = false;
    const auto& documents = platform::DocumentController::sharedDocumentController().documents();
    ASSERT_EQ(documents.size(), 1);
    documents.first()->appropriateWindowForDocModalOperations()->repaint();
    qApp->removeEventFilter(&blocker);
    LBWelcomeWindowController* welcome = shownWelcomeWindow();
    ASSERT_NE(welcome, nullptr);
    EXPECT_TRUE(welcome->atAppLaunch());
    EXPECT_TRUE(welcome->window()->isVisible());
}

TEST_F(WelcomeWindow, ClosingItBeforeTheLaunchEndedRunsTheLaunch)
{
    app = std::make_unique<LBAppController>();
    app->openWelcomeWindowAction(true);
    ASSERT_FALSE(app->applicationDidFinishLaunchingFlag());
    app->welcomeWindowController()->closeWelcomeWindowAction();
    EXPECT_TRUE(app->applicationDidFinishLaunchingFlag());
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("LBLaunchCount")), 1);
}

// ==== Help window =======================================================================

namespace {

class HelpWindow : public ::testing::Test
{
protected:
    void SetUp() override
    {
        defaults().removeObjectForKey(QStringLiteral("DisableSmartTemplateHelp"));
        defaults().removeObjectForKey(
            platform::WindowController::frameDefaultsKey(QStringLiteral("SmartTemplateHelp")));
    }
    void TearDown() override { SetUp(); }
};

} // namespace

TEST_F(HelpWindow, ShowsTheChosenViewUnderItsTitle)
{
    struct Case
    {
        qint64 index;
        QString title;
        QSize size;
    };
    for (const Case& c : {Case{0, QStringLiteral("Templates"), QSize(440, 240)},
                          Case{1, QStringLiteral("Smart Template Instructions"), QSize(440, 300)},
                          Case{7, QStringLiteral("Other"), QSize(440, 300)}}) {
        LBHelpWindowController controller;
        controller.showViewIndex(c.index, c.title);
        QMainWindow* window = controller.mainWindow();
        EXPECT_EQ(window->windowTitle(), c.title) << c.index;
        EXPECT_EQ(window->centralWidget(), controller.helpView()) << c.index;
        EXPECT_EQ(controller.helpView()->size(), c.size) << c.index;
        EXPECT_EQ(window->size(), c.size) << c.index;
        EXPECT_EQ(controller.windowFrameAutosaveName(), QStringLiteral("SmartTemplateHelp"));
    }
}

TEST_F(HelpWindow, RestoresItsFrameAndItsBoxWritesTheKey)
{
    QPoint placed;
    {
        LBHelpWindowController controller;
        controller.showViewIndex(1, QStringLiteral("Help"));
        controller.showWindow();
        settle();
        controller.window()->move(controller.window()->pos() + QPoint(37, 23));
        settle();
        placed = controller.window()->pos();
        // The box writes the key both ways.
        controller.dontShowAgainCheckBox()->click();
        EXPECT_TRUE(defaults().boolForKey(QStringLiteral("DisableSmartTemplateHelp")));
        controller.dontShowAgainCheckBox()->click();
        EXPECT_FALSE(defaults().boolForKey(QStringLiteral("DisableSmartTemplateHelp")));
        controller.dontShowAgainCheckBox()->click();
        controller.doneButton()->click();
        EXPECT_FALSE(controller.window()->isVisible());
    }
    LBHelpWindowController again;
    again.showViewIndex(1, QStringLiteral("Help"));
    again.showWindow();
    settle();
    EXPECT_EQ(again.window()->pos(), placed);
    EXPECT_TRUE(again.dontShowAgainCheckBox()->isChecked());
}

TEST_F(HelpWindow, TheDocumentWindowShowsTheProgramsOneHelpWindow)
{
    LBAppController::registerDefaults();
    auto app = std::make_unique<LBAppController>();
    auto document = std::make_unique<LBDocument>();
    auto* window = new LBWindowController;
    document->addWindowController(window);

    window->showSmartTemplateHelp();
    LBHelpWindowController* help = LBAppController::helpWindowController();
    EXPECT_TRUE(help->window()->isVisible());
    EXPECT_EQ(help->window()->windowTitle(), QStringLiteral("Smart Template Instructions"));
    EXPECT_EQ(help->viewIndex(), 1);
    help->doneAction();
    // Turned off: nothing shows; the window stays the same one.
    defaults().setBool(true, QStringLiteral("DisableSmartTemplateHelp"));
    window->showSmartTemplateHelp();
    EXPECT_FALSE(help->window()->isVisible());
    EXPECT_EQ(LBAppController::helpWindowController(), help);
    document->close();
}
