// The window's commands through the responder chain: menu validation per mode, the
// toolbars (sets, validation, retitling, hidden defaults), the two-way commands, the text
// lock with its sheets, the insert hint and routing between canvas, window and document.

#include "ModeControllerFakes.h"
#include "WindowTestSupport.h"

#include "canvas/LBGraphicView.h"
#include "controls/LBCompImageButton.h"
#include "document/DimensionInfo.h"
#include "graphics/LBTextArea.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Toolbar.h"
#include "shapes/LBImage.h"
#include "shapes/LBRectangle.h"
#include "window/CanvasResponder.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"
#include "window/LayersPane.h"
#include "window/MergeServices.h"
#include "window/WindowMenus.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QImage>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

// An alert as the tests saw it, and the button they answered with.
struct AlertLog
{
    QStringList messages;
    int answer = platform::Alert::FirstButtonReturn;
    bool suppress = false;
};

// The settings the commands read or write, cleared before and after each test.
const char* const touchedKeys[] = {"LBDrawerIsClosed",
                                   "LayersViewIsClosed",
                                   "New Preferences",
                                   "DesignModeToolbarIsHidden",
                                   "PreviewModeToolbarIsHidden",
                                   "Show Lock Info Sheet",
                                   "LBDisableUnlockInfoSheetKey",
                                   "DisableInsertMenuAlert",
                                   "DisableLiveAddresses",
                                   "LBHideFaceLayout",
                                   "Toolbar Configuration LBEditModeToolbarID2",
                                   "Trim To Page",
                                   "DrawPostalGuidelines",
                                   "Draw Dynamic Guides"};

class WindowCommands : public DocumentTest
{
protected:
    WindowCommands() : factories(&log, true, false, false)
    {
        DesignModeController::setFactory([] { return std::make_unique<LBEditController>(); });
        WindowMenus::table() = WindowMenus::defaultTable();
        for (const char* key : touchedKeys)
            defaults().removeObjectForKey(QString::fromLatin1(key));
        defaults().setBool(true, QStringLiteral("LBDrawerIsClosed"));
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts.messages.append(alert.messageText);
            return platform::Alert::Response{alerts.answer, alerts.suppress};
        });
    }
    ~WindowCommands() override
    {
        platform::Alert::setResponder(nullptr);
        WindowMenus::table().clear();
        if (document)
            document->close();
        document.reset();
        for (const char* key : touchedKeys)
            defaults().removeObjectForKey(QString::fromLatin1(key));
    }

    // The window, loaded and shown (in preview mode: a preview factory is installed).
    LBWindowController* open()
    {
        controller = showWindowOnDocument(*document);
        return controller;
    }
    LBWindowController* openInDesign()
    {
        open();
        controller->switchToDesignMode(nullptr);
        QApplication::processEvents();
        return controller;
    }
    LBGraphicView* canvas() const { return controller->commandCanvas(); }
    // Puts the graphic on the canvas's page and selects it.
    LBGraphicPtr select(const LBGraphicPtr& g, bool locked = false)
    {
        g->setBounds(QRectF(10, 10, 50, 50));
        document->undoManager()->beginUndoGrouping();
        document->insertGraphic(g, 0, 1);
        document->undoManager()->endUndoGrouping();
        g->setLocked(locked);
        canvas()->selectGraphic(g);
        return g;
    }
    std::shared_ptr<LBRectangle> shape(bool withText)
    {
        auto rectangle = std::make_shared<LBRectangle>();
        if (withText)
            rectangle->setContents(QStringLiteral("text"));
        return rectangle;
    }
    // What the window's rules make of an item of that selector.
    struct Validated
    {
        bool enabled;
        QString title;
        bool checked;
    };
    Validated validate(const char* selector, const QString& title = QStringLiteral("title"))
    {
        QAction item(title);
        platform::setActionSelector(&item, QLatin1String(selector));
        const bool enabled = controller->validateMenuItem(&item);
        return {enabled, item.text(), item.isChecked()};
    }
    QAction* toolbarItem(const char* identifier) const
    {
        for (QAction* item : controller->toolbar()->items()) {
            if (platform::Toolbar::itemIdentifier(item) == QLatin1String(identifier))
                return item;
        }
        return nullptr;
    }

    void checkHiddenDefault(const char* key, qint64 mode);

    QStringList log;
    RecordingFactories factories;
    AlertLog alerts;
    LBWindowController* controller = nullptr;
};

} // namespace

TEST_F(WindowCommands, PreviewEnablesOnlyPrintingZoomImportToolbarLayoutAndDesign)
{
    open();
    ASSERT_EQ(controller->mode(), LBWindowController::PreviewMode);
    for (const char* on :
         {"openPrinterCalibrationSheet:", "printOnline:", "prePrintAction:", "exportAction:",
          "printOneCopy:", "exportPanelAccessoryAction:", "zoomToActualSize:", "zoomIn:",
          "zoomOut:", "importText:", "toggleToolbar:", "openLayoutSheet:", "switchToDesignMode:"})
        EXPECT_TRUE(validate(on).enabled) << on;
    for (const char* off :
         {"clearImportText:", "customizeToolbar:", "switchToViewMode:", "importAction:",
          "gridSettingsAction:", "createTextBoxAction:", "bringForward:", "snapToGrid:"})
        EXPECT_FALSE(validate(off).enabled) << off;
    QStringList records{QStringLiteral("a"), QStringLiteral("b")};
    document->setImportTextArray(records, 1);
    EXPECT_TRUE(validate("clearImportText:").enabled);
    // The menu bar's items follow: the window answers the canvas commands and refuses
    // them outside design mode.
    controller->validateMenus();
    ASSERT_NE(controller->menuItemWithSelector(QStringLiteral("group:")), nullptr);
    EXPECT_FALSE(controller->menuItemWithSelector(QStringLiteral("group:"))->isEnabled());
    EXPECT_TRUE(controller->menuItemWithSelector(QStringLiteral("zoomIn:"))->isEnabled());
}

TEST_F(WindowCommands, DesignMenuRulesInTheirOrder)
{
    openInDesign();
    ASSERT_EQ(controller->mode(), LBWindowController::DesignMode);
    LBEditController* edit = controller->designController();
    ASSERT_NE(edit, nullptr);
    ASSERT_NE(canvas(), nullptr);

    struct Row
    {
        const char* selector;
        bool enabled;
        const char* title; // null: unchanged
        bool checked;
    };
    const Row rows[] = {
        {"switchToViewMode:", true, nullptr, false},
        {"switchToDesignMode:", false, nullptr, false},
        {"customizeToolbar:", true, nullptr, false},
        {"toggleToolbar:", true, "Hide Toolbar", false},
        {"importAction:", true, nullptr, false},
        {"toggleTextPanel:", true, nullptr, false},
        {"snapToGrid:", true, nullptr, edit->snapToGrid()},
        {"drawAlignmentGuides:", true, "Show Alignment Guides", false},
        {"hideGrid:", edit->showsGrid() != 0, nullptr, false},
        {"toggleGridAbove:", edit->showsGrid() != 1, nullptr, false},
        {"toggleGridBelow:", edit->showsGrid() != 2, nullptr, false},
        {"gridSettingsAction:", true, nullptr, false},
        {"toggleRulers:", true, nullptr, edit->rulersAreVisible()},
        {"trimToPageAction:", true, nullptr, false},
        {"createTextBoxAction:", true, nullptr, false},
        {"insertShapeAction:", true, nullptr, false},
        {"insertPhotoAction:", true, nullptr, false},
        {"insertiCorbeilImageAction:", true, nullptr, false},
        {"moveGraphicsAction:", false, nullptr, false},
        {"toggleFaceLayout:", false, "Show Folded Document Layout", false},
        {"useSelectedImageAsBackgroundAction:", false, nullptr, false},
        {"clearBackgroundImageAction:", false, nullptr, false},
        {"cropWithShape:", false, nullptr, false},
        {"defineBackgroundPlaceholderAction:", true, nullptr, false},
        {"clearBackgroundPlaceholderAction:", false, nullptr, false},
        {"anythingElse:", false, nullptr, false},
    };
    for (const Row& row : rows) {
        const Validated v = validate(row.selector);
        EXPECT_EQ(v.enabled, row.enabled) << row.selector;
        EXPECT_EQ(v.title, row.title ? QString::fromUtf8(row.title) : QStringLiteral("title"))
            << row.selector;
        EXPECT_EQ(v.checked, row.checked) << row.selector;
    }

    // Titles and marks that follow the state.
    defaults().setBool(true, QStringLiteral("Draw Dynamic Guides"));
    EXPECT_EQ(validate("drawAlignmentGuides:").title, "Hide Alignment Guides");
    defaults().setBool(false, QStringLiteral("Draw Dynamic Guides"));
    edit->toggleGridAbove();
    EXPECT_TRUE(validate("hideGrid:").enabled);
    EXPECT_FALSE(validate("toggleGridAbove:").enabled);
    EXPECT_TRUE(validate("toggleGridBelow:").enabled);
    canvas()->trimToPageAction(nullptr);
    EXPECT_TRUE(validate("trimToPageAction:").checked);
    document->setMultipageType(1);
    EXPECT_EQ(validate("toggleFaceLayout:").title, "Hide Folded Document Layout");
    EXPECT_TRUE(validate("toggleFaceLayout:").enabled);
    defaults().setBool(true, QStringLiteral("LBHideFaceLayout"));
    EXPECT_EQ(validate("toggleFaceLayout:").title, "Show Folded Document Layout");

    // One selected image: background and move.
    select(std::make_shared<LBImage>());
    EXPECT_TRUE(validate("useSelectedImageAsBackgroundAction:").enabled);
    EXPECT_TRUE(validate("moveGraphicsAction:").enabled);
    canvas()->clearSelection();
    select(shape(false));
    EXPECT_FALSE(validate("useSelectedImageAsBackgroundAction:").enabled);

    // With the toolbar hidden, customising falls through to "disabled".
    controller->toggleToolbar(nullptr);
    EXPECT_FALSE(validate("customizeToolbar:").enabled);
    EXPECT_EQ(validate("toggleToolbar:").title, "Show Toolbar");
}

TEST_F(WindowCommands, ShapeTextCommandPicksItsDirection)
{
    openInDesign();
    const auto one = select(shape(false));
    EXPECT_EQ(validate("shapeWithTextAction:").title, "Add Text to Shape");
    EXPECT_TRUE(validate("shapeWithTextAction:").enabled);
    const auto two = select(shape(false));
    EXPECT_FALSE(validate("shapeWithTextAction:").enabled);
    canvas()->clearSelection();
    select(shape(true));
    canvas()->selectGraphic(one);
    EXPECT_EQ(validate("shapeWithTextAction:").title, "Remove Text From Shape");
    EXPECT_TRUE(validate("shapeWithTextAction:").enabled);
    controller->tryToPerform(QStringLiteral("shapeWithTextAction:"), nullptr);
    for (const LBGraphicPtr& g : canvas()->selectedGraphics(true))
        EXPECT_FALSE(g->isShapeWithText());
}

TEST_F(WindowCommands, TwoWayGroupAndLock)
{
    openInDesign();
    const auto a = select(shape(false));
    const auto b = select(shape(false));
    ASSERT_TRUE(canvas()->groupCommandEnabled());
    controller->tryToPerform(QStringLiteral("group:"), nullptr);
    EXPECT_TRUE(a->isGrouped());
    // The group alone: the same command ungroups.
    ASSERT_TRUE(canvas()->ungroupCommandEnabled());
    ASSERT_FALSE(canvas()->groupCommandEnabled());
    controller->tryToPerform(QStringLiteral("group:"), nullptr);
    EXPECT_FALSE(a->isGrouped());

    canvas()->clearSelection();
    canvas()->selectGraphic(a);
    controller->tryToPerform(QStringLiteral("lock:"), nullptr);
    EXPECT_TRUE(a->locked());
    // Only locked graphics selected: lock unlocks.
    canvas()->clearSelection();
    canvas()->selectGraphic(a);
    controller->tryToPerform(QStringLiteral("lock:"), nullptr);
    EXPECT_FALSE(a->locked());

    // Design-only commands do nothing in preview.
    controller->switchToViewMode(nullptr);
    canvas()->clearSelection();
    canvas()->selectGraphic(b);
    controller->tryToPerform(QStringLiteral("lock:"), nullptr);
    EXPECT_FALSE(b->locked());
}

TEST_F(WindowCommands, ToolbarSetsAndIdentifiers)
{
    // The toolbars need no design of their own.
    DesignModeController::setFactory(
        [this] { return std::make_unique<RecordingDesignController>(&log); });
    open();
    ASSERT_NE(controller->toolbar(), nullptr);
    const qint64 first = LBWindowController::previewToolbarSerial();
    EXPECT_EQ(controller->toolbar()->identifier(),
              QStringLiteral("LBViewModeToolbarID%1").arg(first));
    EXPECT_EQ(controller->toolbar()->itemIdentifiers(),
              (QStringList{"LBSearchID", "LBDesignPreviewID",
                           platform::Toolbar::SpaceItemIdentifier, "LBPrintID",
                           platform::Toolbar::FlexibleSpaceItemIdentifier, "LBUnlockTextID"}));
    EXPECT_FALSE(controller->toolbar()->allowsUserCustomization());
    controller->showPreviewModeToolbar();
    EXPECT_EQ(controller->toolbar()->identifier(),
              QStringLiteral("LBViewModeToolbarID%1").arg(first + 1));
    EXPECT_EQ(controller->searchFieldToolbarItem(), toolbarItem("LBSearchID"));

    controller->switchToDesignMode(nullptr);
    platform::Toolbar* design = controller->toolbar();
    EXPECT_EQ(design->identifier(), "LBEditModeToolbarID2");
    EXPECT_TRUE(design->allowsUserCustomization());
    EXPECT_TRUE(design->autosavesConfiguration());
    const QStringList defaultSet = controller->toolbarDefaultItemIdentifiers(design);
    EXPECT_EQ(design->itemIdentifiers(), defaultSet);
    EXPECT_TRUE(defaultSet.contains("LBPostalGuidelinesID"));
    const QStringList allowed = controller->toolbarAllowedItemIdentifiers(design);
    for (const char* absent : {"LBSearchID", "LBPrintID", "LBUnlockTextID", "LBPostalGuidelinesID"})
        EXPECT_FALSE(allowed.contains(QLatin1String(absent))) << absent;
    // Items that would do nothing are not offered.
    EXPECT_FALSE(allowed.contains("LBFontPanelID"));
    EXPECT_FALSE(allowed.contains("LBColorPanelID"));

    // The factory's rows.
    std::unique_ptr<QAction> grid(
        controller->toolbarItemForItemIdentifier(design, "LBShowGridID", true));
    EXPECT_EQ(grid->text(), "Grid");
    EXPECT_EQ(grid->toolTip(), "Show or hide the grid");
    std::unique_ptr<QAction> forward(
        controller->toolbarItemForItemIdentifier(design, "LBBringForwardID", true));
    EXPECT_EQ(forward->text(), "Forward");
    EXPECT_EQ(platform::actionSelector(forward.get()), "bringForward:");
    EXPECT_EQ(LBWindowController::toolbarItemImageName(forward.get()), "TBBringForward");
    EXPECT_FALSE(forward->icon().isNull());
    for (const char* empty : {"LBFontPanelID", "LBColorPanelID"}) {
        std::unique_ptr<QAction> item(
            controller->toolbarItemForItemIdentifier(design, empty, true));
        EXPECT_TRUE(item->text().isEmpty()) << empty;
        EXPECT_TRUE(item->icon().isNull()) << empty;
        EXPECT_TRUE(platform::actionSelector(item.get()).isEmpty()) << empty;
    }

    // The arrangement is kept under the toolbar's identifier.
    design->removeItemAtIndex(0);
    controller->switchToViewMode(nullptr);
    controller->switchToDesignMode(nullptr);
    EXPECT_EQ(controller->toolbar()->itemIdentifiers(), defaultSet.mid(1));
}

TEST_F(WindowCommands, ToolbarValidationAndRetitling)
{
    open();
    // In preview every item is enabled, whatever it is.
    for (QAction* item : controller->toolbar()->items()) {
        if (!item->isSeparator()) {
            EXPECT_TRUE(controller->validateToolbarItem(item));
        }
    }
    controller->switchToDesignMode(nullptr);
    const auto check = [&](const char* identifier) {
        QAction* item = toolbarItem(identifier);
        EXPECT_NE(item, nullptr) << identifier;
        return item ? controller->validateToolbarItem(item) : false;
    };
    EXPECT_FALSE(check("LBBringForwardID"));
    EXPECT_FALSE(check("LBGroupID"));
    EXPECT_FALSE(check("LBLockID"));
    EXPECT_FALSE(check("LBCropID"));
    EXPECT_EQ(toolbarItem("LBCropID")->text(), "Crop");
    EXPECT_TRUE(check("LBTrimToPageID"));

    // Only locked graphics: the lock item unlocks.
    const auto locked = select(shape(false), true);
    EXPECT_TRUE(check("LBLockID"));
    EXPECT_EQ(toolbarItem("LBLockID")->text(), "Unlock");
    EXPECT_EQ(LBWindowController::toolbarItemImageName(toolbarItem("LBLockID")), "TBUnlock");
    std::unique_ptr<QAction> unlock(
        controller->toolbarItemForItemIdentifier(controller->toolbar(), "LBUnlockID", true));
    EXPECT_TRUE(controller->validateToolbarItem(unlock.get()));

    // A group alone: the group item ungroups.
    canvas()->clearSelection();
    select(shape(false));
    select(shape(false));
    controller->tryToPerform(QStringLiteral("group:"), nullptr);
    EXPECT_TRUE(check("LBGroupID"));
    EXPECT_EQ(toolbarItem("LBGroupID")->text(), "Ungroup");
    EXPECT_EQ(LBWindowController::toolbarItemImageName(toolbarItem("LBGroupID")), "TBUngroup");
    EXPECT_TRUE(check("LBBringForwardID"));
    EXPECT_TRUE(check("LBLockID"));
    EXPECT_EQ(toolbarItem("LBLockID")->text(), "Lock");

    // Trim on: "Trim Off" and seven spaces.
    canvas()->trimToPageAction(nullptr);
    EXPECT_TRUE(check("LBTrimToPageID"));
    EXPECT_EQ(toolbarItem("LBTrimToPageID")->text(), "Trim Off       ");
    EXPECT_EQ(LBWindowController::toolbarItemImageName(toolbarItem("LBTrimToPageID")), "TBTrimOff");

    // Postal guidelines only on an envelope, titled by the overlay.
    EXPECT_FALSE(check("LBPostalGuidelinesID"));
    document->dimensionInfo()[DimensionInfo::labelType] = 5;
    EXPECT_TRUE(check("LBPostalGuidelinesID"));
    EXPECT_EQ(toolbarItem("LBPostalGuidelinesID")->text(), "Show Postal Guidelines");
    canvas()->postalGuidelinesAction(nullptr);
    check("LBPostalGuidelinesID");
    EXPECT_EQ(toolbarItem("LBPostalGuidelinesID")->text(), "Hide Postal Guidelines");
}

// With the mode's "...ToolbarIsHidden" on, entering the mode hides the toolbar and
// installs none; the toggle shows the mode's toolbar and writes the default back.
void WindowCommands::checkHiddenDefault(const char* key, qint64 mode)
{
    DesignModeController::setFactory(
        [this] { return std::make_unique<RecordingDesignController>(&log); });
    defaults().setBool(true, QLatin1String(key));
    open();
    if (mode == LBWindowController::DesignMode)
        controller->switchToDesignMode(nullptr);
    // The other mode showed its toolbar (design); preview, first, has none.
    if (mode == LBWindowController::PreviewMode)
        EXPECT_EQ(controller->toolbar(), nullptr);
    else
        EXPECT_TRUE(controller->toolbar()->isHidden());
    const platform::Toolbar* before = controller->toolbar();
    controller->toggleToolbar(nullptr);
    ASSERT_NE(controller->toolbar(), nullptr);
    EXPECT_FALSE(controller->toolbar()->isHidden());
    EXPECT_NE(controller->toolbar(), before);
    EXPECT_EQ(controller->toolbar()->identifier().startsWith(LBWindowController::ViewModeToolbarID),
              mode == LBWindowController::PreviewMode);
    EXPECT_FALSE(defaults().boolForKey(QLatin1String(key)));
    controller->toggleToolbar(nullptr);
    EXPECT_TRUE(controller->toolbar()->isHidden());
    EXPECT_TRUE(defaults().boolForKey(QLatin1String(key)));
}

TEST_F(WindowCommands, PreviewToolbarHiddenDefault)
{
    checkHiddenDefault("PreviewModeToolbarIsHidden", LBWindowController::PreviewMode);
}

TEST_F(WindowCommands, DesignToolbarHiddenDefault)
{
    checkHiddenDefault("DesignModeToolbarIsHidden", LBWindowController::DesignMode);
}

TEST_F(WindowCommands, TextLockWithItsSheets)
{
    open();
    ASSERT_EQ(controller->mode(), LBWindowController::PreviewMode);
    auto box = std::make_shared<LBTextArea>();
    box->setContents(QStringLiteral("Name"));
    document->undoManager()->beginUndoGrouping();
    document->insertGraphic(box, 0, 1);
    document->undoManager()->endUndoGrouping();
    QAction* item = controller->lockTextToolbarItem();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->text(), "Unlock Text");
    EXPECT_EQ(LBWindowController::toolbarItemImageName(item), "TBLockText");
    ASSERT_TRUE(controller->textIsLocked());

    // A nil sender unlocks without a sheet.
    log.clear();
    controller->lockTextAction(nullptr);
    EXPECT_TRUE(alerts.messages.isEmpty());
    EXPECT_FALSE(controller->textIsLocked());
    EXPECT_FALSE(box->textIsLocked());
    EXPECT_EQ(item->text(), "Lock Text");
    EXPECT_EQ(item->iconText(), "Lock Text"); // what the toolbar shows
    EXPECT_EQ(LBWindowController::toolbarItemImageName(item), "TBUnlockText");
    EXPECT_TRUE(log.contains("P closeTextEditor"));
    EXPECT_TRUE(log.contains("P liveIcons NO"));
    EXPECT_TRUE(log.contains("P liveCheckbox NO"));
    EXPECT_EQ(log.last(), "P refresh");

    // Per-label edits made while unlocked.
    box->setEditedTextArray(LBTextArea::EntryArray{});
    defaults().setBool(true, QStringLiteral("Show Lock Info Sheet"));
    // Cancel (-1): nothing changes.
    alerts.answer = platform::Alert::ThirdButtonReturn;
    controller->lockTextAction(item);
    EXPECT_EQ(alerts.messages, QStringList{"Are you sure you want to lock the text?"});
    EXPECT_FALSE(controller->textIsLocked());
    EXPECT_TRUE(box->editedTextArray().has_value());
    EXPECT_EQ(item->text(), "Lock Text");
    // "Lock text without asking" (0): locks, discards the edits, asks no more.
    alerts.answer = platform::Alert::SecondButtonReturn;
    controller->lockTextAction(item);
    EXPECT_TRUE(controller->textIsLocked());
    EXPECT_TRUE(box->textIsLocked());
    EXPECT_FALSE(box->editedTextArray().has_value());
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("Show Lock Info Sheet")));
    EXPECT_EQ(item->text(), "Unlock Text");
    EXPECT_EQ(item->iconText(), "Unlock Text");

    // Unlocking with a sender explains in a sheet, the text already unlocked; its
    // alternate button stops the explanation.
    alerts.messages.clear();
    alerts.answer = platform::Alert::SecondButtonReturn;
    controller->lockTextAction(item);
    EXPECT_EQ(alerts.messages, QStringList{"Unlock Text"});
    EXPECT_FALSE(controller->textIsLocked());
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("LBDisableUnlockInfoSheetKey")));
    // Locking without the question (code 1 straight away).
    controller->lockTextAction(item);
    EXPECT_TRUE(controller->textIsLocked());
    controller->lockTextAction(item);
    EXPECT_EQ(alerts.messages.size(), 1);
    EXPECT_FALSE(controller->textIsLocked());

    // Outside preview nothing happens.
    controller->switchToDesignMode(nullptr);
    controller->lockTextAction(item);
    EXPECT_FALSE(controller->textIsLocked());
}

TEST_F(WindowCommands, InsertCommandsOpenTheDrawerAndTheHintUntilSuppressed)
{
    openInDesign();
    alerts.suppress = true;
    controller->tryToPerform(QStringLiteral("insertPhotoAction:"), nullptr);
    EXPECT_EQ(alerts.messages, QStringList{"Insert"});
    EXPECT_TRUE(controller->designController()->drawerIsOpen());
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("DisableInsertMenuAlert")));
    controller->tryToPerform(QStringLiteral("insertShapeAction:"), nullptr);
    EXPECT_EQ(alerts.messages.size(), 1);
}

TEST_F(WindowCommands, EnvelopeRule)
{
    open();
    struct Case
    {
        qint64 labelType;
        const char* maker; // null: none
        bool envelope;
    };
    const Case cases[] = {{5, nullptr, true}, {6, "Avery", true},  {5, "Brother", false},
                          {6, "DYMO", false}, {5, "Seiko", false}, {1, nullptr, false}};
    for (const Case& c : cases) {
        QVariantMap& layout = document->dimensionInfo();
        layout[DimensionInfo::labelType] = c.labelType;
        if (c.maker)
            layout[DimensionInfo::paperManufacturer] = QString::fromLatin1(c.maker);
        else
            layout.remove(DimensionInfo::paperManufacturer);
        EXPECT_EQ(controller->isEnvelope(), c.envelope)
            << c.labelType << " " << (c.maker ? c.maker : "");
    }
}

TEST_F(WindowCommands, RoutingThroughTheChain)
{
    openInDesign();
    select(shape(false));
    const auto other = std::make_shared<LBRectangle>();
    document->undoManager()->beginUndoGrouping();
    document->insertGraphic(other, 0, 1);
    document->undoManager()->endUndoGrouping();

    // Without the focus on the canvas the window answers (and passes canvas commands on).
    canvas()->clearFocus();
    QList<platform::Responder*> chain = controller->responderChain();
    EXPECT_EQ(platform::Responder::targetForSelector(chain, QStringLiteral("bringForward:")),
              controller);
    EXPECT_EQ(platform::Responder::targetForSelector(chain, QStringLiteral("saveDocument:")),
              document.get());
    // The focused canvas comes first.
    canvas()->setFocus();
    chain = controller->responderChain();
    ASSERT_FALSE(chain.isEmpty());
    EXPECT_EQ(chain.first(), CanvasResponder::forWidget(canvas()));
    QAction selectAll;
    platform::setActionSelector(&selectAll, QStringLiteral("selectAll:"));
    EXPECT_TRUE(controller->performAction(&selectAll));
    EXPECT_EQ(canvas()->selectedGraphics(true).size(), 2);
    // Nobody answers: disabled, nothing runs.
    QAction unknown;
    platform::setActionSelector(&unknown, QStringLiteral("noSuchCommand:"));
    EXPECT_FALSE(platform::Responder::validateItem(chain, &unknown));
    EXPECT_FALSE(unknown.isEnabled());
    EXPECT_FALSE(controller->performAction(&unknown));
    // The document's own items.
    QAction undo;
    platform::setActionSelector(&undo, QStringLiteral("undo:"));
    EXPECT_TRUE(platform::Responder::validateItem(chain, &undo));
}

namespace {

// The merge's share of the window, recording the output commands it is sent.
class RecordingMergeServices : public MergeServices
{
public:
    explicit RecordingMergeServices(QStringList* log) : _log(log) {}
    qint64 numSelectedPeople() override { return 1; }
    QString contactUIDForIndex(qint64, const QString&) override { return {}; }
    std::shared_ptr<platform::Image> substituteImageForGraphic(const LBGraphic&, qint64) override
    {
        return nullptr;
    }
    bool checkRecordsForOutput() override { return true; }
    void openPrinterCalibrationSheet() override { _log->append(QStringLiteral("calibration")); }
    void printCalibrationSheet(qint64) override {}
    void printOpDidRun() override {}
    void savePrinterCalibration() override {}
    void cancelPrinterCalibration() override {}
    void openEnvelopeFeedSheet() override { _log->append(QStringLiteral("envelope feed")); }
    void exportAction() override { _log->append(QStringLiteral("export")); }
    QByteArray exportDataForResolution(qint64, qint64, qint64, double, bool, QString*) override
    {
        return {};
    }
    void importAction() override { _log->append(QStringLiteral("import")); }
    void printOnline() override { _log->append(QStringLiteral("print online")); }
    void doneOnlinePrinting() override {}
    void printOneCopy() override { _log->append(QStringLiteral("one copy")); }
    void processContactSearchStr(const QString& text) override
    {
        _log->append(QStringLiteral("search ") + text);
    }

private:
    QStringList* _log;
};

} // namespace

TEST_F(WindowCommands, MenuBarAndToolbarCommandsReachTheirHandlers)
{
    QStringList sent;
    MergeServices::setFactory(
        [&sent](LBWindowController&) { return std::make_unique<RecordingMergeServices>(&sent); });
    // An envelope prints with the panel through its feed sheet: a print the test can see.
    document->dimensionInfo()[DimensionInfo::labelType] = 5;
    open();
    // The menu bar's own item, validated as the menu shows it, then chosen.
    const auto choose = [this](const char* selector) {
        controller->validateMenus();
        QAction* item = controller->menuItemWithSelector(QLatin1String(selector));
        if (!item || !item->isEnabled())
            return false;
        item->trigger();
        return true;
    };
    struct Row
    {
        const char* selector;
        const char* reaches;
    };
    const Row outputs[] = {{"exportAction:", "export"},
                           {"printOneCopy:", "one copy"},
                           {"openPrinterCalibrationSheet:", "calibration"},
                           {"prePrintAction:", "envelope feed"}};
    for (qint64 mode : {LBWindowController::PreviewMode, LBWindowController::DesignMode}) {
        if (mode == LBWindowController::DesignMode)
            controller->switchToDesignMode(nullptr);
        for (const Row& row : outputs) {
            sent.clear();
            EXPECT_TRUE(choose(row.selector)) << row.selector << " mode " << mode;
            EXPECT_EQ(sent, QStringList{QLatin1String(row.reaches)}) << row.selector;
        }
        EXPECT_TRUE(controller->menuItemWithSelector(QStringLiteral("performClose:"))->isEnabled());
    }
    // The preview toolbar's Print reaches the document, which prints with the panel.
    controller->switchToViewMode(nullptr);
    QAction* print = toolbarItem("LBPrintID");
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(platform::Responder::targetForSelector(controller->responderChain(),
                                                     QStringLiteral("printDocument:")),
              document.get());
    sent.clear();
    print->trigger();
    EXPECT_EQ(sent, QStringList{"envelope feed"});
    // Its search field sends its text on Return.
    QLineEdit* search = controller->searchField();
    ASSERT_NE(search, nullptr);
    search->setText(QStringLiteral("Ann"));
    sent.clear();
    Q_EMIT search->returnPressed();
    EXPECT_EQ(sent, QStringList{"search Ann"});
    // Emptied, it searches at once: everyone shows again.
    sent.clear();
    search->clear();
    EXPECT_EQ(sent, QStringList{"search "});

    // Design: Image File… and the canvas's commands wherever the focus is.
    controller->switchToDesignMode(nullptr);
    sent.clear();
    EXPECT_TRUE(choose("importAction:"));
    EXPECT_EQ(sent, QStringList{"import"});
    select(shape(false));
    select(shape(false));
    canvas()->clearSelection();
    controller->window()->setFocus();
    ASSERT_NE(controller->responderChain().first(), CanvasResponder::forWidget(canvas()));
    EXPECT_TRUE(choose("selectAll:"));
    EXPECT_EQ(canvas()->selectedGraphics(true).size(), 2);
    EXPECT_TRUE(choose("bringForward:"));
    canvas()->clearSelection();
    controller->validateMenus();
    EXPECT_FALSE(controller->menuItemWithSelector(QStringLiteral("bringForward:"))->isEnabled());

    // Close asks about the changed document; without saving, the window goes.
    QPointer<QWidget> window = controller->window();
    alerts.answer = platform::Alert::SecondButtonReturn;
    EXPECT_TRUE(choose("performClose:"));
    QApplication::processEvents();
    EXPECT_EQ(alerts.messages.size(), 1);
    EXPECT_TRUE(!window || !window->isVisible());
    MergeServices::setFactory({});
}

TEST_F(WindowCommands, PageCommandsGoThroughTheLayersView)
{
    LayersPane::setFactory([this] { return std::make_unique<RecordingLayersPane>(&log); });
    openInDesign();
    QTemporaryDir folder;
    const QString picture = folder.filePath(QStringLiteral("back.png"));
    QImage pixels(8, 8, QImage::Format_RGB32);
    pixels.fill(Qt::red);
    ASSERT_TRUE(pixels.save(picture));
    document->setBackgroundImagePath(picture, true, 0);
    controller->validateMenus();
    // The picture's settings while the page has a picture and no placeholder.
    EXPECT_TRUE(controller->menuItemWithSelector(QStringLiteral("backgroundImageSheetAction:"))
                    ->isEnabled());
    document->setHasBackgroundPlaceholder(true, 0);
    controller->validateMenus();
    EXPECT_FALSE(controller->menuItemWithSelector(QStringLiteral("backgroundImageSheetAction:"))
                     ->isEnabled());
    struct Row
    {
        const char* selector;
        const char* reaches;
    };
    const Row rows[] = {{"clearBackgroundImageAction:", "L delete 10001"},
                        {"clearBackgroundPlaceholderAction:", "L delete 10000"},
                        {"defineBackgroundPlaceholderAction:", "L define background placeholder"}};
    for (const Row& row : rows) {
        QAction* item = controller->menuItemWithSelector(QLatin1String(row.selector));
        ASSERT_NE(item, nullptr) << row.selector;
        EXPECT_TRUE(item->isEnabled()) << row.selector;
        item->trigger();
        EXPECT_EQ(log.last(), QLatin1String(row.reaches));
    }
    // The layers view opened to show the change.
    EXPECT_NE(controller->layersController(), nullptr);
    LayersPane::setFactory({});
}

// The design/preview switch a user clicks: both halves show and name their mode, and a
// click on a half enters it, the new toolbar's switch showing that half chosen.
TEST_F(WindowCommands, TheToolbarSwitchShowsBothHalvesAndSwitchesModes)
{
    open();
    QMainWindow* main = controller->mainWindow();
    main->resize(1000, 700);
    main->show();
    QApplication::processEvents();
    const auto halves = [this] {
        QAction* item = toolbarItem("LBDesignPreviewID");
        QWidget* view = item ? controller->toolbar()->widgetForAction(item) : nullptr;
        return view ? view->findChildren<LBCompImageButton*>() : QList<LBCompImageButton*>();
    };
    const auto click = [](LBCompImageButton* half) {
        half->click();
        QApplication::processEvents();
    };
    struct Step
    {
        int half;
        qint64 mode;
    };
    for (const Step step :
         {Step{0, LBWindowController::DesignMode}, Step{1, LBWindowController::PreviewMode}}) {
        const QList<LBCompImageButton*> before = halves();
        ASSERT_EQ(before.size(), 2);
        for (LBCompImageButton* half : before) {
            EXPECT_TRUE(half->isVisible());
            EXPECT_GE(half->height(), 20);
            EXPECT_LE(half->titleWidth(), half->width()) << half->title().toStdString();
        }
        EXPECT_EQ(before[0]->title(), QStringLiteral("Design"));
        EXPECT_EQ(before[1]->title(), QStringLiteral("Preview"));
        click(before[step.half]);
        EXPECT_EQ(controller->mode(), step.mode);
        // The chosen half's title turns white on its blue face.
        const QList<LBCompImageButton*> after = halves();
        ASSERT_EQ(after.size(), 2);
        const auto colour = [](LBCompImageButton* half) {
            return half->attributedTitle()
                .attributesAtIndex(0)
                .value(platform::ForegroundColorAttributeName)
                .value<QColor>();
        };
        EXPECT_EQ(colour(after[step.half]), QColor(Qt::white));
        EXPECT_NE(colour(after[1 - step.half]), QColor(Qt::white));
    }
}

// Customise Toolbar…: an item added goes after the one chosen in the toolbar's list, shows
// chosen there, and the toolbar has it in that place once the dialog is accepted.
TEST_F(WindowCommands, CustomisingTheToolbarAddsAfterTheChosenItem)
{
    open();
    controller->mainWindow()->show();
    controller->switchToDesignMode(nullptr);
    QStringList before = controller->toolbar()->itemIdentifiers();
    ASSERT_EQ(before.value(0), QStringLiteral("LBDesignPreviewID"));
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        const QList<QListWidget*> lists = dialog->findChildren<QListWidget*>();
        ASSERT_EQ(lists.size(), 2);
        QListWidget* allowed = lists[0];
        QListWidget* current = lists[1];
        const QList<QListWidgetItem*> front = allowed->findItems("Front", Qt::MatchExactly);
        ASSERT_EQ(front.size(), 1);
        allowed->setCurrentItem(front[0]);
        current->setCurrentRow(0);
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text().startsWith(QStringLiteral("Add")))
                button->click();
        }
        shown.append(current->currentItem() ? current->currentItem()->text() : QString());
        shown.append(QString::number(current->currentRow()));
        dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    controller->tryToPerform(QStringLiteral("customizeToolbar:"), nullptr);
    EXPECT_EQ(shown, (QStringList{"Front", "1"}));
    before.insert(1, QStringLiteral("LBBringToFrontID"));
    EXPECT_EQ(controller->toolbar()->itemIdentifiers(), before);
}

TEST_F(WindowCommands, TheToolbarFollowsTheCommandsItRuns)
{
    openInDesign();
    const auto a = select(shape(false));
    select(shape(false));
    QAction* group = toolbarItem("LBGroupID");
    QAction* lock = toolbarItem("LBLockID");
    ASSERT_TRUE(group && lock);
    ASSERT_EQ(group->text(), "Group");
    // As after a click on the page: the canvas first in the chain, with its own one-way
    // group and lock commands.
    controller->window()->activateWindow();
    canvas()->setFocus();
    ASSERT_EQ(controller->responderChain().first(), CanvasResponder::forWidget(canvas()));
    // Each command leaves the selection as it was; the items must still follow.
    group->trigger();
    ASSERT_TRUE(a->isGrouped());
    EXPECT_EQ(group->text(), "Ungroup");
    EXPECT_EQ(LBWindowController::toolbarItemImageName(group), "TBUngroup");
    group->trigger();
    ASSERT_FALSE(a->isGrouped());
    EXPECT_EQ(group->text(), "Group");

    // The same through the menu bar, as its keys reach it, and undone there.
    controller->validateMenus();
    controller->menuItemWithSelector(QStringLiteral("group:"))->trigger();
    ASSERT_TRUE(a->isGrouped());
    EXPECT_EQ(group->text(), "Ungroup");
    QApplication::processEvents(); // the turn of the loop that closes the undo step
    controller->validateMenus();
    controller->menuItemWithSelector(QStringLiteral("undo:"))->trigger();
    ASSERT_FALSE(a->isGrouped());
    EXPECT_EQ(group->text(), "Group");

    // Unlock, on a locked graphic chosen alone, unlocks it.
    canvas()->clearSelection();
    canvas()->selectGraphic(a);
    lock->trigger();
    ASSERT_TRUE(a->locked());
    canvas()->selectGraphic(a);
    ASSERT_EQ(lock->text(), "Unlock");
    lock->trigger();
    EXPECT_FALSE(a->locked());
}
