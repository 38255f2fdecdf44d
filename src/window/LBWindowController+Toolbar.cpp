// The window's two toolbars: the item factory, the default and allowed sets, validation
// and retitling by the design selection, showing, hiding and customising.

#include "window/LBWindowController.h"

#include "canvas/LBGraphicView.h"
#include "controls/LBCompImageButton.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Bundle.h"
#include "platform/ui/KXImagePopUpButton.h"
#include "platform/ui/Toolbar.h"
#include "window/CanvasResponder.h"
#include "window/LBEditController.h"

#include <QAction>
#include <QColor>
#include <QHBoxLayout>
#include <QIcon>
#include <QLineEdit>
#include <QMainWindow>
#include <QPalette>
#include <QPointer>

#include <QWidgetAction>
#include <utility>

namespace {

qint64 theToolbarSerial = 0;

QString toolbarString(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("Toolbar"));
}

// An item whose view belongs to the item (a pop-up).
class ViewItem : public QWidgetAction
{
public:
    ViewItem(QWidget* view, QObject* parent) : QWidgetAction(parent) { setDefaultWidget(view); }
};

struct PlainRow
{
    const char* identifier;
    const char* label;
    const char* tooltip;
    const char* action;
    const char* image;
};

// The height of each half of the design/preview switch: its pictures' height.
constexpr int SwitchHalfHeight = 24;

// The plain items (the switch, the pop-ups, the lock-text, search and print items are made
// apart).
const PlainRow plainRows[] = {
    {"LBTrimToPageID", "Trim To Page", "Show/hide graphics that lie outside of the card boundaries",
     "trimToPageAction:", "TBTrimOn"},
    {"LBShowRulersID", "Rulers", "Toggle the text rulers", "toggleRulers:", "TBRulers"},
    {"LBBringForwardID", "Forward", "Bring the selected object(s) forward",
     "bringForward:", "TBBringForward"},
    {"LBSendBackwardID", "Backward", "Send the selected object(s) backward",
     "sendBackward:", "TBSendBackward"},
    {"LBBringToFrontID", "Front", "Bring the selected object(s) to the front (top)",
     "bringToFront:", "TBBringToFront"},
    {"LBSendToBackID", "Back", "Send the selected object(s) to the back (bottom)",
     "sendToBack:", "TBSendToBack"},
    {"LBGroupID", "Group",
     "Group the selected objects into one item - or ungroup the selected group",
     "group:", "TBGroup"},
    {"LBUngroupID", "Ungroup", "Separate grouped objects into separate objects",
     "ungroup:", "TBUngroup"},
    {"LBLockID", "Lock",
     "Lock the selected object(s) so they can't be modified - or unlock the selected object(s)",
     "lock:", "TBLock"},
    {"LBUnlockID", "Unlock", "Unlock the selected object(s)", "unlock:", "TBUnlock"},
    {"LBCropID", "Crop", "Crop or uncrop the selected image", "cropToolbarAction:", "TBCrop"},
    {"LBPostalGuidelinesID", "Show Postal Guidelines",
     "Show/hide the USPS recommended address layout regions.",
     "postalGuidelinesAction:", "TBPostalGuidelines"},
};

struct PopUpEntry
{
    const char* title; // null: a separator
    const char* action;
    qint64 tag;
};

} // namespace

QAction* LBWindowController::lockTextToolbarItem() const
{
    return _lockTextToolbarItem;
}

QAction* LBWindowController::searchFieldToolbarItem() const
{
    return _searchFieldToolbarItem;
}

qint64 LBWindowController::previewToolbarSerial()
{
    return theToolbarSerial;
}

QIcon LBWindowController::toolbarIcon(const QString& imageName)
{
    const platform::Bundle bundle;
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) {
        const QPixmap pixmap = bundle.pixmapNamed(imageName, ratio);
        if (!pixmap.isNull())
            icon.addPixmap(pixmap);
    }
    return icon;
}

void LBWindowController::setToolbarItemImage(QAction* item, const QString& imageName)
{
    item->setProperty("imageName", imageName);
    item->setIcon(toolbarIcon(imageName));
}

QString LBWindowController::toolbarItemImageName(const QAction* item)
{
    return item ? item->property("imageName").toString() : QString();
}

void LBWindowController::setupToolbars()
{
    if (!_searchField)
        _searchField = makeSearchField();
}

QLineEdit* LBWindowController::searchField() const
{
    return _searchField;
}

QLineEdit* LBWindowController::makeSearchField()
{
    auto* field = new QLineEdit(mainWindow());
    field->setGeometry(0, 0, 160, 32);
    field->setClearButtonEnabled(true);
    field->setPlaceholderText(platform::LocalizedString(QStringLiteral("Search"), {}));
    field->setEnabled(true);
    field->hide();
    connect(field, &QLineEdit::returnPressed, this,
            [this, field] { tryToPerform(QStringLiteral("processContactSearchStr:"), field); });
    // Emptied (its clear button, or the text deleted), it searches at once: every person
    // shows again without a Return.
    connect(field, &QLineEdit::textChanged, this, [this, field](const QString& text) {
        if (text.isEmpty())
            tryToPerform(QStringLiteral("processContactSearchStr:"), field);
    });
    return field;
}

QWidget* LBWindowController::makeSwitchView()
{
    auto* view = new QWidget;
    auto* layout = new QHBoxLayout(view);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* design = new LBCompImageButton(view);
    auto* preview = new LBCompImageButton(view);
    // The halves share the switch's width and stand as tall as their pictures (their caps
    // and middles are drawn at that height); each names its mode, since a toolbar shows no
    // label under a view item.
    for (auto [half, title] : {std::pair{design, "Design"}, std::pair{preview, "Preview"}}) {
        half->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        half->setFixedHeight(SwitchHalfHeight);
        half->setTitle(toolbarString(title));
        half->setToolTip(toolbarString("Design/Preview your document"));
        layout->addWidget(half);
    }
    connect(design, &QAbstractButton::clicked, this,
            [this, design] { switchToDesignMode(design); });
    connect(preview, &QAbstractButton::clicked, this,
            [this, preview] { switchToViewMode(preview); });
    _switchCopies.append(SwitchCopy{design, preview});
    updateSwitchCopies(_switchMode);
    view->setMinimumSize(100, 31);
    view->setMaximumSize(100, 32);
    return view;
}

void LBWindowController::updateSwitchCopies(qint64 mode)
{
    _switchMode = mode;
    // The chosen half is blue: its title is white there.
    const auto show = [](LBCompImageButton* half, qint64 halfMode, bool chosen) {
        half->setComponentImageString(switchImageString(halfMode, chosen));
        half->setTitleColor(chosen ? QColor(Qt::white)
                                   : half->palette().color(QPalette::ButtonText));
    };
    for (const SwitchCopy& copy : std::as_const(_switchCopies)) {
        if (copy.design)
            show(copy.design, DesignMode, mode == DesignMode);
        if (copy.preview)
            show(copy.preview, PreviewMode, mode == PreviewMode);
    }
}

// The toolbar replaced stays, hidden, until the window goes: the views it shares with
// the new one (the switch, the search field) move over while both are intact, and a
// toolbar whose button started the switch is never deleted under it.
static void installToolbar(QMainWindow* main, platform::Toolbar*& current,
                           platform::Toolbar* toolbar)
{
    if (current) {
        main->removeToolBar(current);
        current->hide();
    }
    current = toolbar;
    main->addToolBar(Qt::TopToolBarArea, toolbar);
}

void LBWindowController::showDesignModeToolbar()
{
    auto* toolbar = new platform::Toolbar(EditModeToolbarID, this);
    toolbar->setAllowsUserCustomization(true);
    toolbar->setAutosavesConfiguration(true);
    QMainWindow* main = mainWindow();
    installToolbar(main, _toolbar, toolbar);
    toolbar->loadItems();
    toolbar->validateVisibleItems();
}

void LBWindowController::showPreviewModeToolbar()
{
    ++theToolbarSerial;
    auto* toolbar = new platform::Toolbar(
        QStringLiteral("%1%2").arg(ViewModeToolbarID).arg(theToolbarSerial), this);
    toolbar->setAllowsUserCustomization(false);
    toolbar->setAutosavesConfiguration(false);
    installToolbar(mainWindow(), _toolbar, toolbar);
    toolbar->loadItems();
    toolbar->validateVisibleItems();
}

void LBWindowController::updateToolbarForMode(qint64 mode)
{
    if (mode != DesignMode && mode != PreviewMode)
        return;
    const QString key = mode == DesignMode ? QStringLiteral("DesignModeToolbarIsHidden")
                                           : QStringLiteral("PreviewModeToolbarIsHidden");
    if (platform::UserDefaults::standardUserDefaults().boolForKey(key)) {
        if (_toolbar && _toolbar->isVisible())
            _toolbar->hide();
        return;
    }
    if (mode == DesignMode)
        showDesignModeToolbar();
    else
        showPreviewModeToolbar();
    if (_toolbar->isHidden())
        _toolbar->show();
}

QStringList LBWindowController::toolbarAllowedItemIdentifiers(const platform::Toolbar*) const
{
    return {QStringLiteral("LBDesignPreviewID"),
            QStringLiteral("LBInsertTextID"),
            QStringLiteral("LBCropID"),
            QStringLiteral("LBBringForwardID"),
            QStringLiteral("LBSendBackwardID"),
            QStringLiteral("LBBringToFrontID"),
            QStringLiteral("LBSendToBackID"),
            QStringLiteral("LBGroupID"),
            QStringLiteral("LBUngroupID"),
            QStringLiteral("LBLockID"),
            QStringLiteral("LBUnlockID"),
            QStringLiteral("LBShowRulersID"),
            QStringLiteral("LBShowGridID"),
            QStringLiteral("LBTrimToPageID"),
            platform::Toolbar::SeparatorItemIdentifier,
            platform::Toolbar::SpaceItemIdentifier,
            platform::Toolbar::FlexibleSpaceItemIdentifier};
}

QStringList
LBWindowController::toolbarDefaultItemIdentifiers(const platform::Toolbar* toolbar) const
{
    const QString space = platform::Toolbar::SpaceItemIdentifier;
    if (toolbar && toolbar->identifier().startsWith(ViewModeToolbarID))
        return {QStringLiteral("LBSearchID"),
                QStringLiteral("LBDesignPreviewID"),
                space,
                QStringLiteral("LBPrintID"),
                platform::Toolbar::FlexibleSpaceItemIdentifier,
                QStringLiteral("LBUnlockTextID")};
    return {QStringLiteral("LBDesignPreviewID"),
            space,
            QStringLiteral("LBInsertTextID"),
            QStringLiteral("LBCropID"),
            space,
            QStringLiteral("LBBringForwardID"),
            QStringLiteral("LBSendBackwardID"),
            space,
            QStringLiteral("LBGroupID"),
            QStringLiteral("LBLockID"),
            space,
            QStringLiteral("LBShowRulersID"),
            QStringLiteral("LBShowGridID"),
            QStringLiteral("LBTrimToPageID"),
            QStringLiteral("LBPostalGuidelinesID")};
}

QAction* LBWindowController::toolbarItemForItemIdentifier(const platform::Toolbar*,
                                                          const QString& identifier,
                                                          bool willBeInserted)
{
    // Regular size only: the pop-ups are 32 high either way.
    // A plain item: its label as label and palette label, the tooltip, the picture; the
    // trigger goes through the window's responder chain as a menu item's does (printing
    // reaches the document).
    const auto plain = [this, &identifier](const QString& label, const QString& tooltip,
                                           const QString& action, const QString& image) {
        auto* item = new QAction(label);
        platform::Toolbar::setItemIdentifier(item, identifier);
        item->setIconText(label);
        item->setToolTip(tooltip);
        platform::setActionSelector(item, action);
        setToolbarItemImage(item, image);
        connect(item, &QAction::triggered, this, [this, item] { performToolbarAction(item); });
        return item;
    };
    const auto popUp = [this, &identifier](const QString& label, const QString& tooltip,
                                           const QString& icon,
                                           std::initializer_list<PopUpEntry> entries) {
        auto* button = new platform::KXImagePopUpButton;
        button->setPullsDown(true);
        button->setUsesItemFromMenu(false);
        button->setIconImage(platform::Image::imageNamed(icon));
        QFont font = button->font();
        font.setPointSizeF(11);
        button->setFont(font);
        button->setFixedSize(38, 32);
        button->addItemWithTitle(QStringLiteral("(dummy)"));
        button->setItemTag(0, 9999);
        // Each entry is an action carrying its selector and tag, validated by this
        // controller before the menu shows.
        QList<QAction*> actions{nullptr};
        for (const PopUpEntry& entry : entries) {
            const int index = button->numberOfItems();
            if (!entry.title) {
                button->addSeparatorItem();
                actions.append(nullptr);
                continue;
            }
            button->addItemWithTitle(toolbarString(entry.title));
            auto* action = new QAction(button);
            platform::setActionSelector(action, QLatin1String(entry.action));
            if (entry.tag) {
                button->setItemTag(index, entry.tag);
                platform::setActionTag(action, entry.tag);
            }
            actions.append(action);
        }
        button->setItemValidator([this, actions](int index) {
            QAction* action = actions.value(index);
            platform::Responder* target =
                action ? toolbarTarget(platform::actionSelector(action)) : nullptr;
            return target && target->validateMenuItem(action);
        });
        connect(button, &platform::PopUpButton::activated, this, [this, actions](int index) {
            if (QAction* action = actions.value(index))
                performToolbarAction(action);
        });
        auto* item = new ViewItem(button, nullptr);
        platform::Toolbar::setItemIdentifier(item, identifier);
        item->setText(label);
        item->setIconText(label);
        item->setToolTip(tooltip);
        button->setToolTip(tooltip);
        item->setProperty("imageName", icon);
        return static_cast<QAction*>(item);
    };

    if (identifier == QLatin1String("LBDesignPreviewID")) {
        // Each toolbar shows a switch of its own that follows the window's mode.
        auto* item = new ViewItem(makeSwitchView(), nullptr);
        platform::Toolbar::setItemIdentifier(item, identifier);
        const QString label = toolbarString(" Design   Preview");
        item->setText(label);
        item->setIconText(label);
        item->setToolTip(toolbarString("Design/Preview your document"));
        return item;
    }
    if (identifier == QLatin1String("LBShowGridID")) {
        return popUp(toolbarString("Grid"), toolbarString("Show or hide the grid"),
                     QStringLiteral("TBGrid"),
                     {{"Hide Grid", "hideGrid:", 0},
                      {"Show Grid ABOVE Artwork", "toggleGridAbove:", 0},
                      {"Show Grid BELOW Artwork", "toggleGridBelow:", 0},
                      {nullptr, nullptr, 0},
                      {"Grid Settings...", "gridSettingsAction:", 0}});
    }
    if (identifier == QLatin1String("LBInsertTextID")) {
        return popUp(toolbarString("Text Box"), toolbarString("Insert a text box"),
                     QStringLiteral("TBInsertTextNew"),
                     {{"Insert Text Box", "createTextBoxAction:", 1},
                      {"Insert Curved Text Box", "createTextBoxAction:", 2},
                      {"Add Text to Shape", "shapeWithTextAction:", 0}});
    }
    for (const PlainRow& row : plainRows) {
        if (identifier == QLatin1String(row.identifier))
            return plain(toolbarString(row.label), toolbarString(row.tooltip),
                         QLatin1String(row.action), QLatin1String(row.image));
    }
    if (identifier == QLatin1String("LBUnlockTextID")) {
        QAction* item = plain(
            toolbarString(_textIsLocked ? "Unlock Text" : "Lock Text"),
            toolbarString("Unlock text so it can be modified"), QStringLiteral("lockTextAction:"),
            _textIsLocked ? QStringLiteral("TBLockText") : QStringLiteral("TBUnlockText"));
        if (willBeInserted)
            _lockTextToolbarItem = item;
        return item;
    }
    if (identifier == QLatin1String("LBSearchID")) {
        // The field made at set-up goes into the first search item; a later toolbar gets
        // a field of its own that carries the search on.
        setupToolbars();
        if (_searchField->property("inToolbar").toBool()) {
            QLineEdit* field = makeSearchField();
            field->setText(_searchField->text());
            _searchField = field;
        }
        _searchField->setProperty("inToolbar", true);
        _searchField->setFixedSize(128, 32);
        _searchField->setEnabled(true);
        auto* item = new ViewItem(_searchField, nullptr);
        // The field waits hidden until a toolbar takes it; the item itself shows.
        item->setVisible(true);
        platform::Toolbar::setItemIdentifier(item, identifier);
        item->setText(toolbarString("Search Contacts"));
        item->setIconText(toolbarString("Search Contacts"));
        item->setToolTip(toolbarString("Search the contact list"));
        if (willBeInserted)
            _searchFieldToolbarItem = item;
        return item;
    }
    if (identifier == QLatin1String("LBPrintID"))
        return plain(toolbarString("Print"), toolbarString("Print the document"),
                     QStringLiteral("printDocument:"), QStringLiteral("TBPrint"));
    // Any other identifier ("LBFontPanelID", "LBColorPanelID" among them): an empty item.
    auto* item = new QAction;
    platform::Toolbar::setItemIdentifier(item, identifier);
    return item;
}

platform::Responder* LBWindowController::toolbarTarget(const QString& selector) const
{
    // The toolbar's commands are the window's own: Group and Lock turn into Ungroup and
    // Unlock here, where the canvas's commands of those names only group and lock. Others
    // (Print: the document's) go to whoever answers them first.
    if (respondsToSelector(selector))
        return const_cast<LBWindowController*>(this);
    return platform::Responder::targetForSelector(responderChain(), selector);
}

void LBWindowController::performToolbarAction(QAction* item)
{
    const QString selector = platform::actionSelector(item);
    // A command may close the window and let go of its controller.
    const QPointer<LBWindowController> self(this);
    if (platform::Responder* target = toolbarTarget(selector))
        target->tryToPerform(selector, item);
    if (self)
        actionPerformed(item);
}

void LBWindowController::actionPerformed(QAction* action)
{
    Q_UNUSED(action);
    // Group turns its item into Ungroup, Lock into Unlock, with the selection unchanged.
    if (_toolbar)
        _toolbar->validateVisibleItems();
}

bool LBWindowController::validateToolbarItem(QAction* item)
{
    // An item whose command nobody in the window's chain answers cannot work.
    const QString selector = platform::actionSelector(item);
    if (!selector.isEmpty() && !toolbarTarget(selector))
        return false;
    if (_mode != DesignMode)
        return true;
    const QString identifier = platform::Toolbar::itemIdentifier(item);
    const LBGraphicView* canvas = commandCanvas();
    const qsizetype unlocked = canvas ? canvas->selectedGraphics(false).size() : 0;
    const qsizetype all = canvas ? canvas->selectedGraphics(true).size() : 0;
    const auto retitle = [item](const char* label, const QString& image) {
        item->setText(toolbarString(label));
        item->setIconText(toolbarString(label));
        setToolbarItemImage(item, image);
    };
    if (identifier == QLatin1String("LBBringForwardID")
        || identifier == QLatin1String("LBSendBackwardID")
        || identifier == QLatin1String("LBBringToFrontID")
        || identifier == QLatin1String("LBSendToBackID"))
        return unlocked > 0;
    if (identifier == QLatin1String("LBGroupID")) {
        const bool group = canvas && canvas->groupCommandEnabled();
        const bool ungroup = canvas && canvas->ungroupCommandEnabled();
        if (ungroup && !group)
            retitle("Ungroup", QStringLiteral("TBUngroup"));
        else
            retitle("Group", QStringLiteral("TBGroup"));
        return group || ungroup;
    }
    if (identifier == QLatin1String("LBUngroupID"))
        return canvas && canvas->ungroupCommandEnabled();
    if (identifier == QLatin1String("LBLockID")) {
        if (unlocked == 0 && all > unlocked)
            retitle("Unlock", QStringLiteral("TBUnlock"));
        else
            retitle("Lock", QStringLiteral("TBLock"));
        return unlocked > 0 || all > unlocked;
    }
    if (identifier == QLatin1String("LBUnlockID"))
        return all > unlocked;
    if (identifier == QLatin1String("LBCropID")) {
        const CanvasResponder* responder =
            CanvasResponder::forWidget(const_cast<LBGraphicView*>(canvas));
        const qint64 k = responder ? responder->cropUncropCommandType() : 0;
        const qint64 w = responder ? responder->cropWithShapeCommandType() : 0;
        const auto label = [item](const char* text) {
            item->setText(toolbarString(text));
            item->setIconText(toolbarString(text));
        };
        if (k < 2 && w == 0) {
            label("Crop");
            return k == 1;
        }
        if (k == 2)
            label("Uncrop");
        else if (w == 2)
            label("Crop w/ Text");
        else if (w == 1)
            label("Crop w/ Shape");
        else
            return false;
        return true;
    }
    if (identifier == QLatin1String("LBPostalGuidelinesID")) {
        const bool envelope = isEnvelope();
        const char* label = envelope && canvas && canvas->drawPostalGuidelines()
                                ? "Hide Postal Guidelines"
                                : "Show Postal Guidelines";
        item->setText(toolbarString(label));
        item->setIconText(toolbarString(label));
        return envelope;
    }
    if (identifier == QLatin1String("LBTrimToPageID")) {
        if (canvas && canvas->trimToPageIsOn())
            retitle("Trim Off       ", QStringLiteral("TBTrimOff"));
        else
            retitle("Trim To Page", QStringLiteral("TBTrimOn"));
        return true;
    }
    return true;
}

void LBWindowController::toggleToolbar(QObject* sender)
{
    Q_UNUSED(sender);
    const bool wasHidden = !_toolbar || _toolbar->isHidden();
    if (wasHidden) {
        if (_mode == PreviewMode)
            showPreviewModeToolbar();
        else if (_mode == DesignMode)
            showDesignModeToolbar();
        if (_toolbar && _toolbar->isHidden())
            _toolbar->show();
    } else {
        _toolbar->hide();
    }
    const QString key = _mode == DesignMode ? QStringLiteral("DesignModeToolbarIsHidden")
                                            : QStringLiteral("PreviewModeToolbarIsHidden");
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    defaults.setBool(!defaults.boolForKey(key), key);
}

void LBWindowController::customizeToolbar(QObject* sender)
{
    Q_UNUSED(sender);
    if (_toolbar)
        _toolbar->runCustomizationPalette();
}
