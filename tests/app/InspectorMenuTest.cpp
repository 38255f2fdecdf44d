#include "app/LBAppController.h"
#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDTextPanes.h"
#include "inspector/HUDWindow.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"
#include "platform/text/FontManager.h"
#include "platform/ui/ColorPanel.h"
#include "platform/ui/ColorWell.h"
#include "platform/ui/Document.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/Responder.h"
#include "platform/ui/WindowController.h"
#include "shapes/ShapeClasses.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <algorithm>

#include <QAction>
#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFont>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

void settle()
{
    const QDeadlineTimer deadline(30);
    while (!deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Brings a window to the front as the user's click does and waits until it is the active
// one: a palette made or shown just before may still take the activation on the turns after.
void activate(QWidget* window)
{
    const QDeadlineTimer deadline(3000);
    do {
        window->activateWindow();
        settle();
    } while (QApplication::activeWindow() != window && !deadline.hasExpired());
}

QString misc(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("Miscellaneous"));
}

class InspectorMenu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LBAppController::registerDefaults();
        LBAppController::setLaunchDelay(0);
        LBAppController::initializeGlobalPaths();
        HUDWindowController::setAnimationsEnabled(false);
        defaults().setBool(true, QStringLiteral("SkipWelcomeWindow"));
        for (const char* key : {"Standalone Inspector Array", "Standalone Inspector Location",
                                "Show Contextual Inspector"})
            defaults().removeObjectForKey(QLatin1String(key));
    }
    void TearDown() override
    {
        controller.reset();
        platform::DocumentController::sharedDocumentController().closeAllDocuments();
        settle();
        for (const char* key : {"Standalone Inspector Array", "Standalone Inspector Location",
                                "Show Contextual Inspector", "LBLaunchCount", "Second Launch",
                                "New Preferences", "SkipWelcomeWindow"})
            defaults().removeObjectForKey(QLatin1String(key));
        // A font picked in a palette stays the font panel's choice for the whole process:
        // the text boxes of later tests would start in it.
        platform::FontManager::sharedFontManager().setSelectedFont(std::nullopt);
    }
    void launch()
    {
        controller = std::make_unique<LBAppController>();
        controller->applicationDidFinishLaunching();
        settle();
    }
    void relaunch()
    {
        controller.reset();
        platform::DocumentController::sharedDocumentController().closeAllDocuments();
        settle();
        launch();
    }

    std::unique_ptr<LBAppController> controller;
};

} // namespace

// The launch draws its window without the smart palette: it is made when first asked for,
// by a window's design canvas or the Inspector menu, and is then the one the menu drives.
TEST_F(InspectorMenu, TheSmartPaletteIsMadeAtItsFirstUse)
{
    const auto palettes = [] {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::count_if(windows.cbegin(), windows.cend(),
                             [](QWidget* w) { return dynamic_cast<HUDWindow*>(w) != nullptr; });
    };
    const auto designWindow = [] {
        const QList<platform::Document*> open =
            platform::DocumentController::sharedDocumentController().documents();
        return open.isEmpty()
                   ? nullptr
                   : dynamic_cast<LBWindowController*>(open.first()->windowControllers().value(0));
    };

    // A document window entering design mode.
    launch();
    EXPECT_EQ(palettes(), 0);
    LBWindowController* window = designWindow();
    ASSERT_NE(window, nullptr);
    window->switchToDesignMode(nullptr);
    settle();
    EXPECT_EQ(palettes(), 1);
    ASSERT_NE(controller->smartInspector(), nullptr);
    EXPECT_EQ(LBProcessState::inspectorPalette(), controller->smartInspector());
    EXPECT_NE(LBProcessState::curveStatusWindow(), nullptr);

    // The Inspector menu's toggle, the first thing asked.
    relaunch();
    EXPECT_EQ(palettes(), 0);
    controller->toggleContextualInspector();
    ASSERT_NE(controller->smartInspector(), nullptr);
    EXPECT_EQ(controller->smartInspector()->inspectorMode(), HUDWindowController::SmartHidden);
    EXPECT_EQ(palettes(), 1);
}

TEST_F(InspectorMenu, StandalonePalettesComeBackInOrderAtTheirPlaces)
{
    launch();
    ASSERT_NE(controller->smartInspector(), nullptr);
    EXPECT_EQ(controller->smartInspector()->inspectorMode(), HUDWindowController::SmartShown);
    EXPECT_EQ(LBProcessState::inspectorPalette(), controller->smartInspector());

    HUDWindowController* first = controller->newStandaloneInspector();
    HUDWindowController* second = controller->newStandaloneInspector();
    EXPECT_EQ(controller->standaloneInspectors(), (QList<HUDWindowController*>{first, second}));
    EXPECT_EQ(first->toolTag(), HUDWindowController::SizeTools);
    first->window()->move(50, 60);
    second->toolsPopupAction(HUDWindowController::ShadowTools);
    second->window()->move(200, 220);
    controller->saveStandaloneInspectors();

    relaunch();
    const QList<HUDWindowController*> palettes = controller->standaloneInspectors();
    ASSERT_EQ(palettes.size(), 2);
    EXPECT_EQ(palettes.at(0)->inspectorMode(), HUDWindowController::Standalone);
    EXPECT_EQ(palettes.at(0)->toolTag(), HUDWindowController::SizeTools);
    EXPECT_EQ(palettes.at(0)->window()->pos(), QPoint(50, 60));
    EXPECT_EQ(palettes.at(1)->toolTag(), HUDWindowController::ShadowTools);
    EXPECT_EQ(palettes.at(1)->window()->pos(), QPoint(200, 220));

    // Closing both: they leave the list and the next quit writes an empty array.
    palettes.at(0)->collapseButtonAction(true);
    palettes.at(1)->collapseButtonAction(true);
    settle();
    EXPECT_TRUE(controller->standaloneInspectors().isEmpty());
    EXPECT_EQ(platform::pointFromString(
                  defaults().stringForKey(QStringLiteral("Standalone Inspector Location"))),
              QPointF(200, 220));
    controller->saveStandaloneInspectors();
    EXPECT_TRUE(defaults().objectForKey(QStringLiteral("Standalone Inspector Array")).isValid());
    EXPECT_TRUE(defaults().arrayForKey(QStringLiteral("Standalone Inspector Array")).isEmpty());
    relaunch();
    EXPECT_TRUE(controller->standaloneInspectors().isEmpty());
}

TEST_F(InspectorMenu, SavedEntriesNamingNoPaneAreSkippedAndOffScreenOriginsMoveOn)
{
    defaults().setObject(QVariantList{QVariantMap{{QStringLiteral("ToolTag"), 3},
                                                  {QStringLiteral("XLoc"), 10.0},
                                                  {QStringLiteral("YLoc"), 10.0}},
                                      QVariantMap{{QStringLiteral("ToolTag"), 4},
                                                  {QStringLiteral("XLoc"), -90000.0},
                                                  {QStringLiteral("YLoc"), 10.0}}},
                         QStringLiteral("Standalone Inspector Array"));
    launch();
    const QList<HUDWindowController*> palettes = controller->standaloneInspectors();
    ASSERT_EQ(palettes.size(), 1);
    EXPECT_EQ(palettes.first()->toolTag(), HUDWindowController::RotateFlipTools);
    EXPECT_GT(palettes.first()->window()->x(), -1000);
}

TEST_F(InspectorMenu, NewPalettesStepDownFromTheLastOne)
{
    launch();
    defaults().setObject(platform::stringFromPoint(QPointF(40, 30)),
                         QStringLiteral("Standalone Inspector Location"));
    HUDWindowController* first = controller->newStandaloneInspector();
    EXPECT_EQ(first->window()->pos(), QPoint(40, 30));
    HUDWindowController* second = controller->newStandaloneInspector();
    EXPECT_EQ(second->window()->pos(), QPoint(40, 30 + 149));
}

TEST_F(InspectorMenu, ToggleSwitchesTheSmartPaletteAndItsTitle)
{
    launch();
    // The toggle's title, as the window's item is validated.
    const auto toggleTitle = [this] {
        QAction toggle;
        platform::setActionSelector(&toggle, QStringLiteral("toggleContextualInspector:"));
        controller->validateMenuItem(&toggle);
        return toggle.text();
    };
    EXPECT_EQ(toggleTitle(), misc("Hide Smart Inspector"));
    controller->toggleContextualInspector();
    EXPECT_EQ(toggleTitle(), misc("Show Smart Inspector"));
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("Show Contextual Inspector")));
    EXPECT_EQ(controller->smartInspector()->inspectorMode(), HUDWindowController::SmartHidden);
    EXPECT_FALSE(controller->smartInspector()->window()->isVisible());
    // The next launch starts hidden, with the title to show it.
    relaunch();
    EXPECT_EQ(controller->smartInspector()->inspectorMode(), HUDWindowController::SmartHidden);
    EXPECT_EQ(toggleTitle(), misc("Show Smart Inspector"));
    controller->toggleContextualInspector();
    EXPECT_EQ(toggleTitle(), misc("Hide Smart Inspector"));
    EXPECT_EQ(controller->smartInspector()->inspectorMode(), HUDWindowController::SmartShown);
}

TEST_F(InspectorMenu, ToolsItemsGoToStandalonesOrOpenOrCollapseTheSmartPalette)
{
    launch();
    HUDWindowController* smart = controller->smartInspector();
    QAction shadow;
    shadow.setData(int(HUDWindowController::ShadowTools));

    // Standalone palettes and the smart one out of sight: every standalone switches.
    HUDWindowController* standalone = controller->newStandaloneInspector();
    smart->window()->hide();
    controller->inspectorToolsAction(&shadow);
    EXPECT_EQ(standalone->toolTag(), HUDWindowController::ShadowTools);
    standalone->collapseButtonAction(true);
    settle();

    // Otherwise the smart palette opens on the pane, and the same item again collapses it.
    smart->setInspectorMode(HUDWindowController::SmartHidden);
    controller->inspectorToolsAction(&shadow);
    EXPECT_TRUE(smart->window()->isVisible());
    EXPECT_EQ(smart->selectedToolsTag(), HUDWindowController::ShadowTools);
    smart->setInspectorMode(HUDWindowController::SmartShown);
    controller->inspectorToolsAction(&shadow);
    EXPECT_EQ(smart->selectedToolsTag(), HUDWindowController::CollapsedTools);
}

TEST_F(InspectorMenu, EveryWindowShowsThePalettesPaneItems)
{
    launch();
    const QList<platform::Document*> open =
        platform::DocumentController::sharedDocumentController().documents();
    ASSERT_FALSE(open.isEmpty());
    platform::WindowController* window = open.first()->windowControllers().value(0);
    ASSERT_NE(window, nullptr);
    // The palette offers a pane: the window's Inspector menu follows on the next turn.
    QAction* pane = controller->inspectorMenu()->addAction(QStringLiteral("Shadow"));
    pane->setData(int(HUDWindowController::ShadowTools));
    pane->setShortcut(QKeySequence(QStringLiteral("Ctrl+Alt+S")));
    settle();
    QAction* item = window->menuItemWithSelector(QStringLiteral("inspectorToolsAction:"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "Shadow");
    EXPECT_EQ(platform::actionTag(item), HUDWindowController::ShadowTools);
    EXPECT_EQ(item->shortcut(), QKeySequence(QStringLiteral("Ctrl+Alt+S")));
    EXPECT_TRUE(item->isEnabled());
    // Chosen: the smart palette opens on that pane.
    item->trigger();
    EXPECT_EQ(controller->smartInspector()->selectedToolsTag(), HUDWindowController::ShadowTools);
    // Gone from the palette: gone from the window.
    controller->inspectorMenu()->removeAction(pane);
    delete pane;
    settle();
    EXPECT_EQ(window->menuItemWithSelector(QStringLiteral("inspectorToolsAction:")), nullptr);
}

namespace {

// Every item of the menus under the bar, submenus included.
void collectItems(const QList<QAction*>& actions, QList<QAction*>& items)
{
    for (QAction* action : actions) {
        if (action->menu())
            collectItems(action->menu()->actions(), items);
        else if (!action->isSeparator())
            items.append(action);
    }
}

// A design window of a document of its own (the untitled one waits behind its layout
// chooser), shown in design mode. Closing the document deletes both.
LBWindowController* openDesignWindow()
{
    // The smart palette folds to its button half a second after it is made: first that.
    auto* smart = dynamic_cast<HUDWindowController*>(LBProcessState::inspectorPalette());
    const QDeadlineTimer folded(3000);
    while (smart && smart->selectedToolsTag() != HUDWindowController::CollapsedTools
           && !folded.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    // The launch's untitled window opens its layout chooser a moment after it appears: a
    // sheet that takes the activation when it shows. Let it show before the design window
    // comes, not between two keys typed there.
    const QDeadlineTimer chooser(3000);
    const auto chooserPending = [] {
        for (platform::Document* document :
             platform::DocumentController::sharedDocumentController().documents()) {
            for (platform::WindowController* controller : document->windowControllers()) {
                auto* window = dynamic_cast<LBWindowController*>(controller);
                if (window && window->document() && !window->document()->openedExistingFile()
                    && !window->layoutSheetController())
                    return true;
            }
        }
        return false;
    };
    while (chooserPending() && !chooser.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    auto* document = new LBDocument;
    document->setOpenedExistingFile(true);
    platform::DocumentController::sharedDocumentController().addDocument(document);
    auto* window = new LBWindowController;
    document->addWindowController(window);
    window->window()->show();
    window->window()->activateWindow();
    settle();
    window->switchToDesignMode(nullptr);
    settle();
    return window;
}

} // namespace

TEST_F(InspectorMenu, EveryKeyOfTheMenuBarIsBoundOnceAndTheDigitsOpenPanes)
{
    registerShapeClasses();
    launch();
    LBWindowController* window = openDesignWindow();
    auto* mainWindow = qobject_cast<QMainWindow*>(window->window());
    ASSERT_NE(mainWindow, nullptr);
    // A rectangle selected: the Inspector menu offers its panes with their keys.
    auto* edit = dynamic_cast<LBEditController*>(window->editController());
    ASSERT_NE(edit, nullptr);
    edit->insertGraphic(edit->createShapeOfClass(QStringLiteral("LBRectangle"), 0), true);
    // The palette fills its menu once the selection settles, the window's menu on the turn
    // after.
    const QDeadlineTimer deadline(2000);
    while (!window->menuItemWithSelector(QStringLiteral("inspectorToolsAction:"))
           && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    ASSERT_NE(window->menuItemWithSelector(QStringLiteral("inspectorToolsAction:")), nullptr);
    controller->smartInspector()->toolsPopupAction(HUDWindowController::ArrangeTools);

    // Qt fires neither of two items bound to one key: every key has one item.
    QList<QAction*> items;
    collectItems(mainWindow->menuBar()->actions(), items);
    QHash<QKeySequence, QString> owners;
    for (QAction* item : std::as_const(items)) {
        if (item->shortcut().isEmpty())
            continue;
        EXPECT_FALSE(owners.contains(item->shortcut()))
            << item->shortcut().toString().toStdString() << ": "
            << owners.value(item->shortcut()).toStdString() << " and "
            << item->text().toStdString();
        owners.insert(item->shortcut(), item->text());
    }

    // The keys as the user types them in the design window open the smart inspector's panes.
    struct Case
    {
        QKeySequence key;
        HUDWindowController::ToolsTag pane;
    };
    const Case cases[] = {
        {QKeySequence(Qt::CTRL | Qt::Key_2), HUDWindowController::RotateFlipTools},
        {QKeySequence(Qt::CTRL | Qt::Key_1), HUDWindowController::SizeTools}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key.toString().toStdString());
        activate(mainWindow); // the palette came to the front
        ASSERT_EQ(QGuiApplication::focusWindow(), mainWindow->windowHandle());
        QTest::keySequence(mainWindow->windowHandle(), c.key);
        const QDeadlineTimer paneDeadline(2000);
        do
            settle();
        while (controller->smartInspector()->selectedToolsTag() != c.pane
               && !paneDeadline.hasExpired());
        EXPECT_EQ(controller->smartInspector()->selectedToolsTag(), c.pane);
    }
    // The mode switch stays in the View menu, without those keys.
    QAction* design = window->menuItemWithSelector(QStringLiteral("switchToDesignMode:"));
    ASSERT_NE(design, nullptr);
    EXPECT_TRUE(design->shortcut().isEmpty());

    window->document()->close(); // which deletes it
    settle();
}

TEST_F(InspectorMenu, ThePalettesShowWhatAnotherPaletteChanged)
{
    launch();
    LBWindowController* window = openDesignWindow();
    auto* edit = dynamic_cast<LBEditController*>(window->editController());
    ASSERT_NE(edit, nullptr);
    LBGraphicView* canvas = edit->selectedGraphicView();
    ASSERT_NE(canvas, nullptr);
    auto text = std::make_shared<LBTextArea>();
    text->setBounds(QRectF(60, 60, 200, 60));
    text->setContents(QStringLiteral("Ann Smith"));
    auto* document = dynamic_cast<LBDocument*>(window->document());
    document->insertGraphic(text, 0, document->selectedLayerIndex());
    canvas->selectGraphic(text);
    settle();

    // The smart palette and a standalone one both on the Font pane of the text box.
    HUDWindowController* smart = controller->smartInspector();
    activate(window->window()); // the user works in the design window
    ASSERT_EQ(QApplication::activeWindow(), window->window());
    HUDWindowController* standalone = controller->newStandaloneInspector();
    smart->toolsPopupAction(HUDWindowController::FontTools);
    standalone->toolsPopupAction(HUDWindowController::FontTools);
    settle();
    auto* smartFont = qobject_cast<HUDFontTools*>(smart->currentTools());
    auto* standaloneFont = qobject_cast<HUDFontTools*>(standalone->currentTools());
    ASSERT_NE(smartFont, nullptr);
    ASSERT_NE(standaloneFont, nullptr);
    ASSERT_NE(smartFont->_textSizeBox->currentText(), "30");

    // Size typed and colour picked in the standalone palette: the smart one shows them.
    QLineEdit* size = standaloneFont->_textSizeBox->lineEdit();
    size->setFocus();
    size->selectAll();
    QTest::keyClicks(size, QStringLiteral("30"));
    QTest::keyClick(size, Qt::Key_Return);
    QTest::mouseClick(standaloneFont->_textColorButton, Qt::LeftButton);
    platform::ColorPanel::sharedColorPanel()->setCurrentColor(Qt::red);
    settle();
    EXPECT_EQ(text->contents()
                  ->attributedString()
                  .attribute(platform::FontAttributeName, 0)
                  .value<QFont>()
                  .pointSizeF(),
              30.0);
    EXPECT_EQ(smartFont->_textSizeBox->currentText(), "30");
    EXPECT_EQ(smartFont->_textColorButton->color(), QColor(Qt::red));

    // And the other way round.
    QTest::mouseClick(smartFont->_textColorButton, Qt::LeftButton);
    platform::ColorPanel::sharedColorPanel()->setCurrentColor(Qt::blue);
    settle();
    EXPECT_EQ(standaloneFont->_textColorButton->color(), QColor(Qt::blue));

    smartFont->_textColorButton->deactivate();
    platform::ColorPanel::sharedColorPanel()->hide();
    standalone->collapseButtonAction(true);
    document->close(); // which deletes it
    settle();
}
