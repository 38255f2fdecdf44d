// The window's commands: what each does in which mode, the two-way commands, the text lock
// of the preview, the insert hint and the validation of the menu items the window answers.

#include "window/LBWindowController.h"

#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Toolbar.h"
#include "shapes/LBImage.h"
#include "window/CanvasResponder.h"
#include "window/LBEditController.h"
#include "window/LayersPane.h"
#include "window/PreviewModeController.h"

#include <QAction>
#include <QLineEdit>

#include <algorithm>
#include <initializer_list>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

QString dialogString(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("DialogStrings"));
}

QString toolbarString(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("Toolbar"));
}

bool isOneOf(const QString& selector, std::initializer_list<const char*> selectors)
{
    return std::any_of(selectors.begin(), selectors.end(),
                       [&selector](const char* s) { return selector == QLatin1String(s); });
}

// The old-style sheet code of an alert's button: default 1, alternate 0, other -1.
qint64 sheetReturnCode(int alertReturnCode)
{
    switch (alertReturnCode) {
    case platform::Alert::FirstButtonReturn: return LBWindowController::SheetDefaultReturn;
    case platform::Alert::SecondButtonReturn: return LBWindowController::SheetAlternateReturn;
    default: return LBWindowController::SheetOtherReturn;
    }
}

bool anyShapeWithText(const QList<LBGraphicPtr>& graphics)
{
    return std::any_of(graphics.cbegin(), graphics.cend(), [](const LBGraphicPtr& graphic) {
        return graphic->isShape() && graphic->isShapeWithText();
    });
}

} // namespace

LBEditController* LBWindowController::designController() const
{
    return dynamic_cast<LBEditController*>(_editController.get());
}

LBGraphicView* LBWindowController::commandCanvas() const
{
    if (const LBEditController* edit = designController())
        return edit->selectedGraphicView();
    return _selectedGraphicView;
}

platform::Responder* LBWindowController::responderForWidget(QWidget* widget) const
{
    if (CanvasResponder* canvas = CanvasResponder::forWidget(widget))
        return canvas;
    return DocumentWindowController::responderForWidget(widget);
}

void LBWindowController::forwardToCanvas(const QString& selector, QObject* sender)
{
    if (CanvasResponder* canvas = CanvasResponder::forWidget(commandCanvas()))
        canvas->tryToPerform(selector, sender);
}

void LBWindowController::registerCommands()
{
    const auto command = [this](const char* selector, Command run) {
        addCommand(QLatin1String(selector), std::move(run));
    };
    // Commands that act in any mode.
    command("switchToDesignMode:", [this](QObject* sender) { switchToDesignMode(sender); });
    command("switchToViewMode:", [this](QObject* sender) { switchToViewMode(sender); });
    command("zoomIn:", [this](QObject* sender) { zoomIn(sender); });
    command("zoomOut:", [this](QObject* sender) { zoomOut(sender); });
    command("zoomToActualSize:", [this](QObject* sender) { zoomToActualSize(sender); });
    command("openLayoutSheet:", [this](QObject* sender) { openLayoutSheet(sender); });
    command("toggleToolbar:", [this](QObject* sender) { toggleToolbar(sender); });
    command("customizeToolbar:", [this](QObject* sender) { customizeToolbar(sender); });
    command("lockTextAction:", [this](QObject* sender) { lockTextAction(sender); });
    // Undo and Redo take back and redo design steps, in design only: the preview shows the
    // graphics at their page positions, and a step recorded on the canvas would put them
    // back at the canvas's positions, moved by the page's offset there.
    for (const char* selector : {"undo:", "redo:"}) {
        command(selector, [this, selector](QObject* sender) {
            if (LBDocument* doc = document(); doc && _mode == DesignMode)
                doc->tryToPerform(QLatin1String(selector), sender);
        });
    }
    // Text records: tag 0 a tab-separated file, any other a comma-separated one.
    command("importText:", [this](QObject* sender) {
        if (MergeServices* services = mergeServices())
            services->importText(platform::actionTag(sender) != 0);
    });
    // The toolbar's search field sends its text.
    command("processContactSearchStr:", [this](QObject* sender) {
        auto* field = qobject_cast<QLineEdit*>(sender);
        if (MergeServices* services = mergeServices(); services && field)
            services->processContactSearchStr(field->text());
    });
    command("clearImportText:", [this](QObject*) {
        if (MergeServices* services = mergeServices())
            services->clearImportText();
    });
    // Printing and export, answered by the merge.
    const auto output = [this, &command](const char* selector,
                                         std::function<void(MergeServices&)> run) {
        command(selector, [this, run = std::move(run)](QObject*) {
            if (MergeServices* services = mergeServices())
                run(*services);
        });
    };
    output("exportAction:", [](MergeServices& services) { services.exportAction(); });
    output("printOneCopy:", [](MergeServices& services) { services.printOneCopy(); });
    output("openPrinterCalibrationSheet:",
           [](MergeServices& services) { services.openPrinterCalibrationSheet(); });
    output("printOnline:", [](MergeServices& services) { services.printOnline(); });
    output("importAction:", [](MergeServices& services) { services.importAction(); });
    // Print… goes through the print panel (an envelope through its feed sheet first).
    command("prePrintAction:", [this](QObject*) {
        if (LBDocument* doc = document())
            doc->printShowingPrintPanel(true);
    });
    command("backgroundImageSheetAction:",
            [this](QObject* sender) { backgroundImageSheetAction(sender); });
    command("cropToolbarAction:", [this](QObject* sender) {
        const CanvasResponder* canvas = CanvasResponder::forWidget(commandCanvas());
        if (!canvas)
            return;
        forwardToCanvas(canvas->cropUncropCommandType() > 0 ? QStringLiteral("cropUncrop:")
                                                            : QStringLiteral("cropWithShape:"),
                        sender);
    });

    // Design only: to the design controller.
    const auto design = [this, &command](const char* selector,
                                         std::function<void(LBEditController&, QObject*)> run) {
        command(selector, [this, run = std::move(run)](QObject* sender) {
            if (_mode != DesignMode)
                return;
            if (LBEditController* edit = designController())
                run(*edit, sender);
        });
    };
    design("toggleRulers:", [](LBEditController& edit, QObject*) { edit.toggleRulers(); });
    design("hideGrid:", [](LBEditController& edit, QObject*) { edit.hideGrid(); });
    design("toggleGridAbove:", [](LBEditController& edit, QObject*) { edit.toggleGridAbove(); });
    design("toggleGridBelow:", [](LBEditController& edit, QObject*) { edit.toggleGridBelow(); });
    design("snapToGrid:", [](LBEditController& edit, QObject* sender) { edit.snapToGrid(sender); });
    design("gridSettingsAction:",
           [](LBEditController& edit, QObject*) { edit.gridSettingsAction(); });
    design("drawAlignmentGuides:",
           [](LBEditController& edit, QObject*) { edit.drawAlignmentGuides(); });
    design("createTextBoxAction:", [](LBEditController& edit, QObject* sender) {
        edit.createTextBoxAction(platform::actionTag(sender));
    });
    design("moveGraphicsAction:",
           [](LBEditController& edit, QObject*) { edit.moveGraphicsAction(); });
    design("useSelectedImageAsBackgroundAction:",
           [](LBEditController& edit, QObject*) { edit.useSelectedImageAsBackgroundAction(true); });
    const auto insertFromDrawer = [this](LBEditController& edit, qint64 drawerMode) {
        edit.openDrawer(true, true, true);
        edit.setDrawerMode(drawerMode);
        openInsertMenuAlert();
    };
    design("insertShapeAction:",
           [insertFromDrawer](LBEditController& edit, QObject*) { insertFromDrawer(edit, 0); });
    design("insertPhotoAction:",
           [insertFromDrawer](LBEditController& edit, QObject*) { insertFromDrawer(edit, 2); });
    design("insertiCorbeilImageAction:",
           [insertFromDrawer](LBEditController& edit, QObject*) { insertFromDrawer(edit, 3); });

    design("toggleFaceLayout:", [](LBEditController& edit, QObject*) { edit.toggleFaceLayout(); });
    // The text library is a browser of the design drawer.
    design("toggleTextPanel:", [](LBEditController& edit, QObject*) {
        edit.openDrawer(true, true, true);
        edit.setDrawerMode(4);
    });
    // The page's background through the layers view, which shows the change.
    command("clearBackgroundImageAction:", [this](QObject*) {
        if (LayersPane* layers = openLayersPane())
            layers->deleteLayerAtIndex(LayersPane::BackgroundImageItem);
    });
    command("clearBackgroundPlaceholderAction:", [this](QObject*) {
        if (LayersPane* layers = openLayersPane())
            layers->deleteLayerAtIndex(LayersPane::BackgroundPlaceholderItem);
    });
    command("defineBackgroundPlaceholderAction:", [this](QObject*) {
        if (LayersPane* layers = openLayersPane())
            layers->defineBackgroundPlaceholderAction();
    });

    // Design only: on to the selected canvas, whichever widget has the focus.
    for (const QString& selector : CanvasResponder::canvasSelectors()) {
        if (selector == QLatin1String("group:") || selector == QLatin1String("lock:"))
            continue;
        addCommand(selector, [this, selector](QObject* sender) {
            if (_mode == DesignMode)
                forwardToCanvas(selector, sender);
        });
    }
    // The two-way commands pick their direction from the selection.
    command("group:", [this](QObject* sender) {
        const LBGraphicView* canvas = commandCanvas();
        if (_mode != DesignMode || !canvas)
            return;
        const bool ungroup = canvas->ungroupCommandEnabled() && !canvas->groupCommandEnabled();
        forwardToCanvas(ungroup ? QStringLiteral("ungroup:") : QStringLiteral("group:"), sender);
    });
    command("lock:", [this](QObject* sender) {
        const LBGraphicView* canvas = commandCanvas();
        if (_mode != DesignMode || !canvas)
            return;
        const bool unlock =
            canvas->selectedGraphics(false).isEmpty() && !canvas->selectedGraphics(true).isEmpty();
        forwardToCanvas(unlock ? QStringLiteral("unlock:") : QStringLiteral("lock:"), sender);
    });
    command("shapeWithTextAction:", [this](QObject* sender) {
        const LBGraphicView* canvas = commandCanvas();
        if (_mode != DesignMode || !canvas)
            return;
        forwardToCanvas(anyShapeWithText(canvas->selectedGraphics(false))
                            ? QStringLiteral("removeTextFromShape:")
                            : QStringLiteral("addTextToShape:"),
                        sender);
    });
}

// ---- Text lock --------------------------------------------------------------------------

void LBWindowController::lockTextAction(QObject* sender)
{
    if (_mode != PreviewMode)
        return;
    if (_textIsLocked && sender
        && !defaults().boolForKey(QStringLiteral("LBDisableUnlockInfoSheetKey"))) {
        platform::Alert alert;
        alert.style = platform::Alert::Informational;
        alert.messageText = dialogString("Unlock Text");
        alert.informativeText = dialogString(
            "With text unlocked, you can change any of the text you see in this preview. Click "
            "a text box to change its contents. To discard your changes and return to the "
            "original text, click the Lock Text button again.\r\rTo make changes to the overall "
            "design of your document, you should switch to Design mode.\r\rADDRESSES & "
            "BARCODES\rIf you enable address barcodes, the barcode will be generated from the "
            "zip/postal code in the contact record (even if you change the unlocked text). If "
            "you need to modify the zip/postal code for a contact, you should create a new "
            "address for that contact.\r\rNote: the 'Live Addresses' feature allows you to "
            "choose which address to use for a particular contact.");
        alert.buttons = {dialogString("OK"), dialogString("Don't tell me again")};
        // The sheet only explains: the text is unlocked while it is up.
        QPointer<LBWindowController> self(this);
        alert.beginSheetModalForWindow(window(), [self](const platform::Alert::Response& response) {
            if (self)
                self->unlockInfoSheetDidEnd(sheetReturnCode(response.returnCode));
        });
        lockInfoSheetDidEnd(SheetDefaultReturn);
        return;
    }
    if (!_textIsLocked && defaults().boolForKey(QStringLiteral("Show Lock Info Sheet"))) {
        platform::Alert alert;
        alert.style = platform::Alert::Informational;
        alert.messageText = dialogString("Are you sure you want to lock the text?");
        alert.informativeText = dialogString(
            "Any changes you've made to the text will be discarded and your document will be "
            "locked in its original format.\r\rIf you're happy with the text as it now appears, "
            "you can leave the text unlocked. Your changes will be saved with the "
            "document.\r\rDo you want to discard your changes and lock the text?");
        alert.buttons = {dialogString("Lock text"), dialogString("Lock text without asking"),
                         dialogString("Cancel")};
        alert.cancelButton = 2;
        QPointer<LBWindowController> self(this);
        alert.beginSheetModalForWindow(window(), [self](const platform::Alert::Response& response) {
            if (self)
                self->lockInfoSheetDidEnd(sheetReturnCode(response.returnCode));
        });
        return;
    }
    lockInfoSheetDidEnd(SheetDefaultReturn);
}

void LBWindowController::unlockInfoSheetDidEnd(qint64 returnCode)
{
    if (returnCode == SheetAlternateReturn)
        defaults().setBool(true, QStringLiteral("LBDisableUnlockInfoSheetKey"));
}

void LBWindowController::lockInfoSheetDidEnd(qint64 returnCode)
{
    if (returnCode == SheetAlternateReturn)
        defaults().setBool(false, QStringLiteral("Show Lock Info Sheet"));
    else if (returnCode != SheetDefaultReturn)
        return;
    proceedWithTextLock();
}

void LBWindowController::proceedWithTextLock()
{
    // 1. The toolbar item offers the other state.
    if (_textIsLocked && _createController)
        _createController->closeTextEditor();
    if (_lockTextToolbarItem) {
        const bool wasLocked = _textIsLocked;
        // The toolbar shows the icon text, which was set apart from the text.
        const QString label = toolbarString(wasLocked ? "Lock Text" : "Unlock Text");
        _lockTextToolbarItem->setText(label);
        _lockTextToolbarItem->setIconText(label);
        setToolbarItemImage(_lockTextToolbarItem, wasLocked ? QStringLiteral("TBUnlockText")
                                                            : QStringLiteral("TBLockText"));
    }
    // 2.
    _textIsLocked = !_textIsLocked;
    if (_textIsLocked && _createController)
        _createController->closeTextEditor();
    // 3. Every text graphic follows; locking discards the per-label edits.
    if (LBDocument* doc = document()) {
        for (LBDocument::Page& page : doc->documentGraphics()) {
            for (LBDocument::Layer& layer : page) {
                for (const LBGraphicPtr& graphic : layer) {
                    if (!graphic->isTextBox() && !graphic->isShapeWithText())
                        continue;
                    auto* text = dynamic_cast<LBTextArea*>(graphic.get());
                    if (!text)
                        continue;
                    text->setTextIsLocked(_textIsLocked);
                    if (_textIsLocked && text->editedTextArray().has_value())
                        text->setEditedTextArray(std::nullopt);
                }
            }
        }
    }
    // 4.-5.
    if (_createController) {
        if (!defaults().boolForKey(QStringLiteral("DisableLiveAddresses")))
            _createController->showLiveAddressIcons(_textIsLocked);
        _createController->setLiveAddressCheckboxEnabled(_textIsLocked);
        _createController->refreshRenderingView();
    }
}

// ---- Insert hint ------------------------------------------------------------------------

void LBWindowController::openInsertMenuAlert()
{
    if (defaults().boolForKey(QStringLiteral("DisableInsertMenuAlert")))
        return;
    platform::Alert alert;
    alert.messageText = dialogString("Insert");
    alert.informativeText = dialogString(
        "To insert a shape, photo or iCorbeil image, drag an item from the browser on the right "
        "side of the window and drop it on the design canvas.");
    alert.buttons = {dialogString("OK")};
    alert.showsSuppressionButton = true;
    QPointer<LBWindowController> self(this);
    alert.beginSheetModalForWindow(window(), [self](const platform::Alert::Response& response) {
        if (self)
            self->insertMenuAlertDidEnd(response.suppressed);
    });
}

void LBWindowController::insertMenuAlertDidEnd(bool suppress)
{
    if (suppress)
        defaults().setBool(true, QStringLiteral("DisableInsertMenuAlert"));
}

// ---- Menu validation --------------------------------------------------------------------

bool LBWindowController::validateMenuItem(QAction* item)
{
    const QString action = platform::actionSelector(item);
    const bool design = _mode == DesignMode;
    LBDocument* doc = document();

    // The window's own close command, in every mode.
    if (action == QLatin1String("performClose:"))
        return DocumentWindowController::validateMenuItem(item);
    if (isOneOf(action, {"openPrinterCalibrationSheet:", "printOnline:", "prePrintAction:",
                         "exportAction:", "printOneCopy:", "exportPanelAccessoryAction:",
                         "zoomToActualSize:", "zoomIn:", "zoomOut:", "importText:"}))
        return true;
    if (action == QLatin1String("clearImportText:"))
        return doc && !doc->importTextArrayAndColumnCount(nullptr).isEmpty();
    if (action == QLatin1String("toggleToolbar:")) {
        const bool visible = _toolbar && !_toolbar->isHidden();
        item->setText(toolbarString(visible ? "Hide Toolbar" : "Show Toolbar"));
        return true;
    }
    if (action == QLatin1String("customizeToolbar:") && design && _toolbar && !_toolbar->isHidden())
        return true;
    if (action == QLatin1String("switchToViewMode:") && design)
        return true;
    if (action == QLatin1String("openLayoutSheet:"))
        return true;
    if (action == QLatin1String("switchToDesignMode:") && _mode == PreviewMode)
        return true;
    if (action == QLatin1String("undo:") || action == QLatin1String("redo:")) {
        if (doc && design)
            return doc->validateMenuItem(item);
        item->setText(action == QLatin1String("undo:") ? QStringLiteral("Undo")
                                                       : QStringLiteral("Redo"));
        return false;
    }
    if (!design)
        return false;

    const LBEditController* edit = designController();
    const LBGraphicView* canvas = commandCanvas();
    const QList<LBGraphicPtr> unlocked =
        canvas ? canvas->selectedGraphics(false) : QList<LBGraphicPtr>();
    if (isOneOf(action, {"importAction:", "toggleTextPanel:"}))
        return true;
    if (action == QLatin1String("shapeWithTextAction:")) {
        if (anyShapeWithText(unlocked)) {
            item->setText(toolbarString("Remove Text From Shape"));
            return true;
        }
        item->setText(toolbarString("Add Text to Shape"));
        return unlocked.size() == 1 && unlocked.first()->isShape();
    }
    if (action == QLatin1String("snapToGrid:")) {
        platform::setActionState(item, edit && edit->snapToGrid());
        return true;
    }
    if (action == QLatin1String("drawAlignmentGuides:")) {
        item->setText(defaults().boolForKey(QStringLiteral("Draw Dynamic Guides"))
                          ? QStringLiteral("Hide Alignment Guides")
                          : QStringLiteral("Show Alignment Guides"));
        return true;
    }
    const qint64 grid = edit ? edit->showsGrid() : 0;
    if (action == QLatin1String("hideGrid:"))
        return grid != 0;
    if (action == QLatin1String("toggleGridAbove:"))
        return grid != 1;
    if (action == QLatin1String("toggleGridBelow:"))
        return grid != 2;
    if (action == QLatin1String("gridSettingsAction:"))
        return true;
    if (action == QLatin1String("toggleRulers:")) {
        platform::setActionState(item, edit && edit->rulersAreVisible());
        return true;
    }
    if (action == QLatin1String("trimToPageAction:")) {
        platform::setActionState(item, canvas && canvas->trimToPageIsOn());
        return true;
    }
    if (isOneOf(action, {"createTextBoxAction:", "insertShapeAction:", "insertPhotoAction:",
                         "insertiCorbeilImageAction:"}))
        return true;
    if (action == QLatin1String("moveGraphicsAction:"))
        return !unlocked.isEmpty();
    if (action == QLatin1String("toggleFaceLayout:")) {
        const bool enabled = doc && doc->multipageType() != 0;
        item->setText(enabled && !defaults().boolForKey(QStringLiteral("LBHideFaceLayout"))
                          ? QStringLiteral("Hide Folded Document Layout")
                          : QStringLiteral("Show Folded Document Layout"));
        return enabled;
    }
    if (action == QLatin1String("useSelectedImageAsBackgroundAction:"))
        return unlocked.size() == 1 && dynamic_cast<const LBImage*>(unlocked.first().get());
    if (action == QLatin1String("clearBackgroundImageAction:"))
        return doc && doc->backgroundImage(doc->pageIndex()) != nullptr;
    // The picture's settings, as the layers view offers them: a picture and no placeholder.
    if (action == QLatin1String("backgroundImageSheetAction:"))
        return doc && doc->backgroundImage(doc->pageIndex()) != nullptr
               && !doc->hasBackgroundPlaceholder(doc->pageIndex());
    if (action == QLatin1String("cropWithShape:")) {
        const CanvasResponder* responder =
            CanvasResponder::forWidget(const_cast<LBGraphicView*>(canvas));
        return responder && responder->cropWithShapeCommandType() > 0;
    }
    if (action == QLatin1String("defineBackgroundPlaceholderAction:"))
        return true;
    if (action == QLatin1String("clearBackgroundPlaceholderAction:"))
        return doc && doc->hasBackgroundPlaceholder(doc->pageIndex());
    // The canvas's own commands validate at the selected canvas, as when it has the focus.
    if (CanvasResponder::canvasSelectors().contains(action)) {
        CanvasResponder* responder = CanvasResponder::forWidget(const_cast<LBGraphicView*>(canvas));
        return responder && responder->validateMenuItem(item);
    }
    return false;
}

LayersPane* LBWindowController::openLayersPane()
{
    if (!_layersController && _mode == DesignMode)
        layersButtonAction(nullptr);
    return _layersController.get();
}
