// No dead command: in each state of the program, every command a user can reach (the menu
// bar's items, the toolbar's items and their pop-ups, the canvas's contextual menu, the
// design drawer's tabs and option menus) is answered by a responder of that state's chain,
// the application's controller last, and the items the program offers in that state are
// enabled. The items expected enabled are listed in one table below.

#include "app/LBAppController.h"

#include "canvas/LBGraphicView.h"
#include "controls/LBGradientButton.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "merge/LBFieldsController.h"
#include "platform/core/Error.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/PopUpButton.h"
#include "platform/ui/TextView.h"
#include "platform/ui/Toolbar.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBImage.h"
#include "shapes/LBLine.h"
#include "shapes/LBRectangle.h"
#include "window/LBDrawerController.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include "ProgramFixture.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QWidgetAction>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

namespace {

enum State : unsigned {
    NoWindow = 1u << 0,
    Preview = 1u << 1,
    DesignEmpty = 1u << 2,
    TextBoxSelected = 1u << 3,
    ShapeSelected = 1u << 4,
    LineSelected = 1u << 5,
    ImageSelected = 1u << 6,
    BarcodeSelected = 1u << 7,
    TextEditing = 1u << 8,
    CropMode = 1u << 9,
};

constexpr unsigned OneSelected =
    TextBoxSelected | ShapeSelected | LineSelected | ImageSelected | BarcodeSelected;
constexpr unsigned Design = DesignEmpty | OneSelected | TextEditing | CropMode;
constexpr unsigned DocumentWindow = Preview | Design;
constexpr unsigned Everywhere = NoWindow | DocumentWindow;

const char* stateName(unsigned state)
{
    switch (state) {
    case NoWindow: return "no document window";
    case Preview: return "preview";
    case DesignEmpty: return "design, nothing selected";
    case TextBoxSelected: return "design, a text box selected";
    case ShapeSelected: return "design, a rectangle selected";
    case LineSelected: return "design, a line selected";
    case ImageSelected: return "design, a picture selected";
    case BarcodeSelected: return "design, a barcode selected";
    case TextEditing: return "text editing";
    case CropMode: return "crop mode";
    }
    return "?";
}

// The items the program enables, by selector, and the states in which it does. Every item
// of that selector a state offers (menu bar, toolbar, pop-ups) must be enabled there.
struct Expected
{
    const char* selector;
    unsigned states;
};
const Expected expectedEnabled[] = {
    // The application's own commands.
    {"newDocument:", Everywhere},
    {"openDocument:", Everywhere},
    {"terminate:", Everywhere},
    {"showPreferences:", Everywhere},
    {"showHelp:", Everywhere},
    {"openWelcomeWindow:", Everywhere},
    {"preferredPrinterMenu:", Everywhere},
    {"preferredPrinterAction:", Everywhere},
    {"toggleContextualInspector:", Everywhere},
    {"newStandaloneInspector:", Everywhere},
    // The document window's, in both modes.
    {"performClose:", DocumentWindow},
    {"saveDocumentAs:", DocumentWindow},
    {"openLayoutSheet:", DocumentWindow},
    {"importText:", DocumentWindow},
    {"exportAction:", DocumentWindow},
    {"openPrinterCalibrationSheet:", DocumentWindow},
    {"printOneCopy:", DocumentWindow},
    {"prePrintAction:", DocumentWindow},
    {"zoomToActualSize:", DocumentWindow},
    {"zoomIn:", DocumentWindow},
    {"zoomOut:", DocumentWindow},
    {"toggleToolbar:", DocumentWindow},
    // Preview.
    {"switchToDesignMode:", Preview},
    {"printDocument:", Preview},
    {"lockTextAction:", Preview},
    // Design, whatever is selected.
    {"switchToViewMode:", Design},
    {"customizeToolbar:", Design},
    {"importAction:", Design},
    {"toggleTextPanel:", Design},
    {"createTextBoxAction:", Design},
    {"insertShapeAction:", Design},
    {"insertPhotoAction:", Design},
    {"insertiCorbeilImageAction:", Design},
    {"snapToGrid:", Design},
    {"drawAlignmentGuides:", Design},
    {"gridSettingsAction:", Design},
    {"toggleRulers:", Design},
    {"trimToPageAction:", Design},
    {"defineBackgroundPlaceholderAction:", Design},
    {"selectAll:", Design},
    {"deselectAll:", Design & ~TextEditing},
    // One graphic selected.
    {"cut:", OneSelected | TextEditing},
    {"copy:", OneSelected | TextEditing},
    {"delete:", OneSelected | TextEditing},
    {"duplicate:", OneSelected},
    {"lock:", OneSelected},
    {"bringForward:", OneSelected},
    {"sendBackward:", OneSelected},
    {"bringToFront:", OneSelected},
    {"sendToBack:", OneSelected},
    {"makeNaturalSize:", OneSelected},
    {"moveGraphicsAction:", OneSelected},
    {"defineAsPlaceholder:", TextBoxSelected | ShapeSelected | ImageSelected},
    {"shapeWithTextAction:", ShapeSelected},
    {"useSelectedImageAsBackgroundAction:", ImageSelected | BarcodeSelected},
    {"cropUncrop:", ImageSelected | BarcodeSelected},
    {"cropToolbarAction:", ImageSelected | BarcodeSelected},
    // The design drawer's photo options.
    {"changePhotoFolderSortCriteria:", Design},
    {"changePhotoFolderSortDirection:", Design},
    {"choosePhotoLibrary:", Design},
    {"reloadiPhotoLibrary:", Design},
    {"chooseMeAction:", Design},
};

bool expectedIn(const QString& selector, unsigned state)
{
    for (const Expected& row : expectedEnabled) {
        if (selector == QLatin1String(row.selector))
            return (row.states & state) != 0;
    }
    return false;
}

// An item a user can reach, the chain it goes through, and whether it shows enabled.
struct Reachable
{
    QString where;
    QAction* item;
    QList<platform::Responder*> chain;
    bool enabled;
};

class NoDeadCommand : public ProgramFixture
{
protected:
    // The contextual menus the canvas made for the test (a user's goes when it closes).
    std::vector<std::unique_ptr<QMenu>> _contextualMenus;

    // Puts the graphic on the page, alone in the selection, the canvas focused.
    void selectOnly(const LBGraphicPtr& graphic)
    {
        canvas()->clearSelection();
        document->undoManager()->beginUndoGrouping();
        document->insertGraphic(graphic, 0, 1);
        document->undoManager()->endUndoGrouping();
        canvas()->selectGraphic(graphic);
        canvas()->setFocus();
        settle();
    }

    static std::shared_ptr<LBImage> picture()
    {
        auto image = std::make_shared<LBImage>();
        QImage pixels(40, 30, QImage::Format_RGB32);
        pixels.fill(Qt::blue);
        image->setImage(platform::Image::fromBitmap(pixels, QSizeF(40, 30)), 0);
        image->setBounds(QRectF(60, 20, 40, 30));
        return image;
    }

    // Brings the window into the state.
    void enter(unsigned state)
    {
        if (state == Preview) {
            window->switchToViewMode(nullptr);
            settle();
            return;
        }
        window->switchToDesignMode(nullptr);
        settle();
        ASSERT_NE(canvas(), nullptr);
        canvas()->endEditing();
        // The fields pane makes its options menu when it first shows.
        if (auto* drawer =
                dynamic_cast<LBDrawerController*>(window->designController()->drawerController());
            drawer && !drawer->browser(6)) {
            drawer->setMode(6);
            drawer->setMode(0);
        }
        switch (state) {
        case DesignEmpty:
            canvas()->clearSelection();
            canvas()->setFocus();
            settle();
            break;
        case TextBoxSelected:
        case TextEditing: {
            auto box = std::make_shared<LBTextArea>();
            box->setContents(QStringLiteral("Ann Smith"));
            box->setBounds(QRectF(10, 10, 120, 30));
            selectOnly(box);
            if (state == TextEditing) {
                canvas()->startEditingGraphic(box, nullptr, true);
                settle();
                ASSERT_NE(canvas()->editorView(), nullptr);
            }
            break;
        }
        case ShapeSelected: {
            auto shape = std::make_shared<LBRectangle>();
            shape->setBounds(QRectF(10, 50, 40, 40));
            selectOnly(shape);
            break;
        }
        case LineSelected: {
            auto line = std::make_shared<LBLine>();
            line->setBounds(QRectF(10, 100, 60, 10));
            selectOnly(line);
            break;
        }
        case ImageSelected:
        case CropMode:
            selectOnly(picture());
            if (state == CropMode) {
                canvas()->cropUncrop(nullptr);
                settle();
                ASSERT_NE(canvas()->croppingImage(), nullptr);
            }
            break;
        case BarcodeSelected: {
            std::shared_ptr<LBBarcodeImage> barcode = LBBarcodeImage::withBarcodeType(1);
            barcode->setBoundsNoOtherChanges(QRectF(QPointF(20, 120), barcode->barcodeImageSize()));
            selectOnly(barcode);
            break;
        }
        default: break;
        }
    }

    // Everything a user can reach in the window's current state.
    QList<Reachable> reachableItems()
    {
        QList<Reachable> items;
        const QList<platform::Responder*> chain = window->responderChain();
        // The menu bar, each menu validated as it opens (submenus filled).
        for (QMenu* menu : window->mainWindow()->menuBar()->findChildren<QMenu*>())
            Q_EMIT menu->aboutToShow();
        for (QMenu* menu : window->mainWindow()->menuBar()->findChildren<QMenu*>()) {
            for (QAction* item : menu->actions()) {
                if (!platform::actionSelector(item).isEmpty())
                    items.append({QStringLiteral("menu %1").arg(menu->title()), item, chain,
                                  item->isEnabled()});
            }
        }
        // The toolbar: plain items and the entries of its pop-ups.
        if (platform::Toolbar* toolbar = window->toolbar()) {
            toolbar->validateVisibleItems();
            for (QAction* item : toolbar->items()) {
                if (!platform::actionSelector(item).isEmpty())
                    items.append({QStringLiteral("toolbar"), item, chain, item->isEnabled()});
                auto* view = qobject_cast<QWidgetAction*>(item);
                auto* popUp =
                    view ? qobject_cast<platform::PopUpButton*>(view->defaultWidget()) : nullptr;
                if (!popUp)
                    continue;
                for (QAction* entry : popUp->findChildren<QAction*>()) {
                    if (platform::actionSelector(entry).isEmpty())
                        continue;
                    platform::Responder* target = platform::Responder::targetForSelector(
                        chain, platform::actionSelector(entry));
                    items.append({QStringLiteral("toolbar pop-up %1").arg(item->text()), entry,
                                  chain, target && target->validateMenuItem(entry)});
                }
            }
        }
        // The canvas's contextual menu over the selection.
        if (window->mode() == LBWindowController::DesignMode && canvas()) {
            const QList<LBGraphicPtr> selection = canvas()->selectedGraphics(true);
            const QPointF point =
                selection.isEmpty() ? QPointF(1, 1) : selection.first()->bounds().center();
            if (QMenu* menu = canvas()->menuForEvent(point)) {
                if (!menu->parent())
                    _contextualMenus.emplace_back(menu);
                for (QAction* item : menu->actions()) {
                    if (!platform::actionSelector(item).isEmpty())
                        items.append(
                            {QStringLiteral("contextual menu"), item, chain, item->isEnabled()});
                }
            }
        }
        // The design drawer's option menus, answered by their panes.
        auto* drawer =
            window->designController()
                ? dynamic_cast<LBDrawerController*>(window->designController()->drawerController())
                : nullptr;
        if (window->mode() == LBWindowController::DesignMode && drawer) {
            const auto addMenu = [&items](const QString& where, QMenu* menu,
                                          platform::Responder* pane) {
                if (!menu)
                    return;
                Q_EMIT menu->aboutToShow();
                for (QAction* item : menu->actions()) {
                    if (!platform::actionSelector(item).isEmpty())
                        items.append({where, item, {pane}, item->isEnabled()});
                }
            };
            addMenu(QStringLiteral("drawer photo options"), drawer->photoOptionsMenu(), drawer);
            if (auto* fields = dynamic_cast<LBFieldsController*>(drawer->browser(6)))
                addMenu(QStringLiteral("drawer field options"), fields->optionsMenu(), fields);
        }
        return items;
    }

    void checkState(unsigned state)
    {
        SCOPED_TRACE(stateName(state));
        // The application's controller answers last.
        EXPECT_EQ(window->responderChain().last(), app.get());
        QStringList enabled;
        for (const Reachable& reachable : reachableItems()) {
            const QString selector = platform::actionSelector(reachable.item);
            const QString what = QStringLiteral("%1 (%2, \"%3\") in %4")
                                     .arg(selector, reachable.where, reachable.item->text(),
                                          QLatin1String(stateName(state)));
            EXPECT_NE(platform::Responder::targetForSelector(reachable.chain, selector), nullptr)
                << "nobody answers " << what.toStdString();
            if (expectedIn(selector, state)) {
                EXPECT_TRUE(reachable.enabled) << "disabled: " << what.toStdString();
            }
            if (reachable.enabled)
                enabled << selector;
        }
        // Every command the table expects in a document window is offered somewhere.
        for (const Expected& row : expectedEnabled) {
            if ((row.states & state) && state != NoWindow) {
                EXPECT_TRUE(enabled.contains(QLatin1String(row.selector)))
                    << row.selector << " is not offered enabled in " << stateName(state);
            }
        }
    }
};

} // namespace

TEST_F(NoDeadCommand, EveryReachableCommandIsAnsweredAndTheOfferedOnesAreEnabled)
{
    // Without a document window only the application answers; its items are enabled.
    {
        SCOPED_TRACE(stateName(NoWindow));
        const QList<platform::Responder*> chain{platform::Responder::lastResponder()};
        ASSERT_EQ(chain.first(), app.get());
        for (const Expected& row : expectedEnabled) {
            if (!(row.states & NoWindow))
                continue;
            QAction item;
            platform::setActionSelector(&item, QLatin1String(row.selector));
            EXPECT_NE(platform::Responder::targetForSelector(chain, QLatin1String(row.selector)),
                      nullptr)
                << row.selector;
            EXPECT_TRUE(platform::Responder::validateItem(chain, &item)) << row.selector;
        }
    }

    openDocument();
    ASSERT_EQ(window->mode(), LBWindowController::PreviewMode);
    checkState(Preview);
    for (unsigned state : {DesignEmpty, TextBoxSelected, ShapeSelected, LineSelected, ImageSelected,
                           BarcodeSelected, TextEditing, CropMode}) {
        enter(state);
        checkState(state);
    }
    enter(Preview);
    checkState(Preview);
}

TEST_F(NoDeadCommand, EveryTabOfTheDesignDrawerShowsItsBrowser)
{
    openDocument();
    enter(DesignEmpty);
    auto* drawer =
        dynamic_cast<LBDrawerController*>(window->designController()->drawerController());
    ASSERT_NE(drawer, nullptr);
    for (qint64 mode : {0, 3, 2, 4, 5, 6}) {
        LBGradientButton* tab = drawer->tabButton(mode);
        ASSERT_NE(tab, nullptr) << mode;
        tab->click();
        settle();
        EXPECT_EQ(drawer->mode(), mode);
        if (mode == 2)
            EXPECT_NE(drawer->photoBrowser(), nullptr);
        else if (mode == 3)
            EXPECT_NE(drawer->corbeilController(), nullptr);
        else
            EXPECT_NE(drawer->browser(mode), nullptr) << mode;
    }
}

TEST_F(NoDeadCommand, TheEditMenuWorksOnTheTextBeingEdited)
{
    openDocument();
    enter(TextEditing);
    platform::TextView* editor = canvas()->editorView();
    ASSERT_NE(editor, nullptr);
    const qsizetype graphics = document->graphicsOnPage(document->pageIndex())->value(1).size();
    // The whole text is selected as editing starts: Cut takes the text, not the box.
    ASSERT_TRUE(choose("cut:"));
    EXPECT_TRUE(editor->textStorage()->string().isEmpty());
    EXPECT_EQ(document->graphicsOnPage(document->pageIndex())->value(1).size(), graphics);
    // Nothing selected is left to cut; the text comes back with Paste.
    window->validateMenus();
    EXPECT_FALSE(window->menuItemWithSelector(QStringLiteral("cut:"))->isEnabled());
    ASSERT_TRUE(choose("paste:"));
    EXPECT_EQ(editor->textStorage()->string(), "Ann Smith");
    ASSERT_TRUE(choose("selectAll:"));
    EXPECT_EQ(editor->selectedRange().length, 9);
}
