#include "inspector/HUDWindowController.h"

#include "canvas/LBGraphicView.h"
#include "controls/LBImageButton.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "inspector/HUDTextPanes.h"
#include "inspector/HUDWindow.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/TextView.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBGear.h"
#include "shapes/LBImage.h"
#include "shapes/LBModifiedShape.h"
#include "shapes/LBPolygon.h"
#include "shapes/LBStarPolygon.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QPropertyAnimation>
#include <QShortcut>
#include <QTimer>

namespace {

bool animationsEnabled = true;

const QString hudTools = QStringLiteral("HUD Tools");

// Marks the items the palette put into the Inspector menu.
const char* const paneItemProperty = "veltrinPaneItem";

QString hudText(const QString& key)
{
    return platform::LocalizedString(key, hudTools);
}

// The frame's row of every pane; pane files replace theirs.
QList<HUDWindowController::Pane>& mutablePaneTable()
{
    static QList<HUDWindowController::Pane> table = [] {
        using H = HUDWindowController;
        const QList<QPair<int, const char*>> rows = {
            {H::SizeTools, "Dimensions"},
            {H::RotateFlipTools, "Rotation"},
            {H::TransparencyTools, "Transparency"},
            {H::ShadowTools, "Shadow"},
            {H::ReflectionTools, "Reflection"},
            {H::ImageMaskTools, ""},
            {H::ImageAdjustTools, "Image"},
            {H::ImageEffectsTools, "Effects"},
            {H::FontTools, "Font"},
            {H::ShapeColorTools, "Color"},
            {H::LineColorTools, "Color"},
            {H::BarcodeTools, "Barcode"},
            {H::ArrangeTools, "Arrange"},
            {H::TypographyTools, "Typography"},
            {H::ContactFieldTools, "Contact Fields"},
            {H::ModifiedShapeTools, ""},
            {H::CropTools, "Crop"},
            {H::GroupTools, "Group"},
            {H::PlaceholderTools, "Image"},
            {H::CurvedTextTools, "Curved Text"},
            {H::FontPreviewTools, "Font Preview"},
            {H::ShapeWithTextTools, "Text Position"},
            {H::TextGradientTools, "Text Gradient"},
        };
        QList<HUDWindowController::Pane> panes;
        for (const auto& [tag, title] : rows) {
            HUDWindowController::Pane pane;
            pane.tag = tag;
            pane.titleKey = QLatin1String(title);
            // Fixed heights the frame sets before a pane is laid out.
            if (tag == H::SizeTools)
                pane.fixedSize = QSize(-1, 116);
            else if (tag == H::ImageEffectsTools)
                pane.fixedSize = QSize(-1, 40);
            else if (tag == H::ShapeColorTools)
                pane.fixedSize = QSize(-1, 69);
            else if (tag == H::CropTools)
                pane.fixedSize = QSize(-1, 144);
            panes.append(pane);
        }
        return panes;
    }();
    return table;
}

// An empty dark pane for a tag nothing has filled yet.
QWidget* emptyPane()
{
    auto* view = new QWidget;
    view->resize(230, 100);
    return view;
}

} // namespace

const QList<HUDWindowController::Pane>& HUDWindowController::paneTable()
{
    return mutablePaneTable();
}

void HUDWindowController::registerPane(const Pane& pane)
{
    for (Pane& row : mutablePaneTable()) {
        if (row.tag == pane.tag) {
            const QString title = row.titleKey;
            const QSize fixed = row.fixedSize;
            row = pane;
            if (row.titleKey.isEmpty())
                row.titleKey = title;
            if (!row.fixedSize.isValid() && row.fixedSize.height() < 0)
                row.fixedSize = fixed;
            return;
        }
    }
    mutablePaneTable().append(pane);
}

const HUDWindowController::Pane* HUDWindowController::paneForTag(int tag)
{
    for (const Pane& row : mutablePaneTable())
        if (row.tag == tag)
            return &row;
    return nullptr;
}

void HUDWindowController::setAnimationsEnabled(bool enabled)
{
    animationsEnabled = enabled;
}

// --- Life cycle ---

void HUDWindowController::registerPaneFiles()
{
    static const bool registered = [] {
        registerDimensionsPane();
        registerRotationPane();
        registerShapeColorPane();
        registerLineColorPane();
        registerTransparencyPanes();
        registerTextGradientTools();
        registerImageAdjustTools();
        registerImageEffectsTools();
        registerCropPane();
        registerGroupPane();
        registerPlaceholderPane();
        registerCurvedTextPane();
        registerTextPanes();
        return true;
    }();
    (void)registered;
}

HUDWindowController::HUDWindowController(qint64 mode, QObject* parent) : QObject(parent)
{
    registerPaneFiles();
    _inspectorMode = mode;
    loadWindow();
    setInspectorMode(mode);
}

HUDWindowController::~HUDWindowController()
{
    stopAdjustingPerspectiveIfNecessary();
    _observers.clear();
    if (_textFieldTimer)
        _textFieldTimer->stop();
    if (LBProcessState::inspectorPalette() == this)
        LBProcessState::setInspectorPalette(nullptr);
    QList<InspectorPalette*> standalone = LBProcessState::standaloneInspectorPalettes();
    if (standalone.removeAll(this) > 0)
        LBProcessState::setStandaloneInspectorPalettes(standalone);
    delete _window;
}

void HUDWindowController::loadWindow()
{
    _window = new HUDWindow;
    _window->resize(230, 120);
    _mainView = new HUDContentView(_window);
    _mainView->resize(_window->size());
    _mainView->setAutoFillBackground(false);

    _collapsedView = new QWidget(_mainView);
    _collapsedView->resize(40, 19);
    _collapsedView->hide();

    _titleBarView = new QWidget(_mainView);
    _titleBarView->setGeometry(0, 0, _window->width(), 20);
    _toolsPopup = new HUDTextPopUpButton(false, _titleBarView);
    _toolsPopup->move(20, 2);
    _toolsPulldown = new HUDTextPopUpButton(true, _titleBarView);
    _toolsPulldown->setGeometry(_window->width() - 22, 2, 16, 16);
    _toolsPulldownMenu = _toolsPulldown->itemMenu();
    _closeHUDButton = new LBImageButton(_titleBarView);
    _closeHUDButton->setGeometry(4, 3, 14, 14);

    connect(_toolsPopup, &HUDTextPopUpButton::itemChosen, this,
            &HUDWindowController::dispatchMenuChoice);
    connect(_toolsPulldown, &HUDTextPopUpButton::itemChosen, this,
            &HUDWindowController::dispatchMenuChoice);
    connect(_closeHUDButton, &QAbstractButton::clicked, this,
            [this] { collapseButtonAction(true); });

    // Undo and redo in the panel act on the canvas's document.
    auto* undo = new QShortcut(QKeySequence::Undo, _window);
    connect(undo, &QShortcut::activated, this, [this] {
        if (platform::UndoManager* manager = undoManager())
            manager->undo();
    });
    auto* redo = new QShortcut(QKeySequence::Redo, _window);
    connect(redo, &QShortcut::activated, this, [this] {
        if (platform::UndoManager* manager = undoManager())
            manager->redo();
    });

    // Keys the panes' controls leave go to the canvas.
    _window->installEventFilter(this);

    _textFieldTimer = new QTimer(this);
    _textFieldTimer->setSingleShot(true);
    _textFieldTimer->setInterval(500);
    connect(_textFieldTimer, &QTimer::timeout, this, &HUDWindowController::textTimerFired);

    auto& center = platform::NotificationCenter::defaultCenter();
    _observers.push_back(center.addObserver(
        LBGraphicViewSelectionWillChangeNotification, nullptr,
        [this](const platform::Notification&) { graphicSelectionWillChange(); }));
    if (_inspectorMode != Standalone) {
        _observers.push_back(center.addObserver(LBCollapseInspectorNotification, _mainView,
                                                [this](const platform::Notification&) {
                                                    if (_inspectorMode != Standalone)
                                                        processDoubleClickInView();
                                                }));
        // The smart palette starts as its collapsed button.
        QTimer::singleShot(500, this, [this] {
            if (_startFoldPending && _currToolsTag != CollapsedTools
                && _inspectorMode != Standalone)
                collapseButtonAction(false);
        });
    }
}

void HUDWindowController::setInspectorMode(qint64 mode)
{
    _inspectorMode = mode;
    _closeHUDButton->setComponentImageString(
        mode == SmartShown ? QStringLiteral("HUDMinimizeButton|HUDMinimizeButton1")
                           : QStringLiteral("HUDCloseButton|HUDCloseButton1"));
}

void HUDWindowController::setToolsMenu(QMenu* menu)
{
    _toolsMenu = menu;
}

QMenu* HUDWindowController::toolsMenu() const
{
    return _toolsMenu;
}

QWidget* HUDWindowController::window() const
{
    return _window;
}

LBGraphicView* HUDWindowController::graphicView() const
{
    return _selectedGraphicViewObject ? _selectedGraphicView : nullptr;
}

CanvasView* HUDWindowController::selectedGraphicView() const
{
    return graphicView();
}

void HUDWindowController::setSelectedGraphicView(CanvasView* view)
{
    auto* canvas = dynamic_cast<LBGraphicView*>(view);
    _selectedGraphicView = canvas;
    _selectedGraphicViewObject = canvas;
    if (_window && canvas)
        _window->setTransientParentWidget(canvas->window());
}

void HUDWindowController::resetAndHide()
{
    setSelectedGraphicView(nullptr);
    _selectedGraphics.clear();
    orderOut();
}

// --- Window ---

QRectF HUDWindowController::windowFrame() const
{
    // While the frame moves, it is where it is going.
    if (_frameAnimation)
        return QRectF(_frameAnimation->endValue().toRect());
    return QRectF(_window->geometry());
}

void HUDWindowController::setWindowFrame(const QRectF& frame, bool animate)
{
    const QRect target = frame.toRect();
    _mainView->resize(target.size());
    // The last frame asked for is the one kept: a move still running would otherwise end
    // on the frame asked for before (a pane's height after the crop tools' own).
    if (_frameAnimation)
        _frameAnimation->stop();
    if (animate && animationsEnabled && _window->isVisible()) {
        _frameAnimation = new QPropertyAnimation(_window, "geometry", _window);
        _frameAnimation->setDuration(150);
        _frameAnimation->setEndValue(target);
        _frameAnimation->start(QAbstractAnimation::DeleteWhenStopped);
    } else {
        _window->setGeometry(target);
    }
    _window->update();
}

void HUDWindowController::orderFront()
{
    _window->show();
    _window->raise();
}

void HUDWindowController::orderOut()
{
    if (_window)
        _window->hide();
}

bool HUDWindowController::isWindowVisible() const
{
    return _window && _window->isVisible();
}

// --- Selection kind and menus ---

qint64 HUDWindowController::graphicKind(const QList<LBGraphicPtr>& graphics,
                                        bool* allowsTransparency)
{
    qint64 kind = NoKind;
    bool allow = true;
    bool first = true;
    for (const LBGraphicPtr& graphic : graphics) {
        const LBGraphic* g = graphic.get();
        qint64 own;
        if (dynamic_cast<const LBBarcodeImage*>(g))
            own = BarcodeKind;
        else if (dynamic_cast<const LBImage*>(g))
            own = ImageKind;
        else if (g->isTextBox())
            own = TextBoxKind;
        else if (g->isShapeWithText())
            own = ShapeWithTextKind;
        else if (auto* curve = dynamic_cast<const LBCurvedLine*>(g); curve && !curve->closedPath())
            own = LineKind;
        else if (!dynamic_cast<const LBCurvedLine*>(g) && dynamic_cast<const LBLine*>(g))
            own = LineKind;
        else if (dynamic_cast<const LBPolygon*>(g))
            own = PolygonOrGearKind;
        else if (dynamic_cast<const LBStarPolygon*>(g))
            own = StarPolygonKind;
        else if (dynamic_cast<const LBGear*>(g))
            own = PolygonOrGearKind;
        else
            own = ShapeKind;
        if (own == BarcodeKind)
            allow = false;
        if (first) {
            kind = own;
            first = false;
        } else if (own != kind) {
            const auto shapeLike = [](qint64 k) { return k >= ShapesKind && k <= 13; };
            if (shapeLike(own) && shapeLike(kind)) {
                kind = ShapesKind;
            } else {
                kind = MixedKind;
                break;
            }
        }
    }
    if (kind == PolygonOrGearKind || kind == StarPolygonKind || kind == 13)
        kind = ModifiedShapeKind;
    if (allowsTransparency)
        *allowsTransparency = allow;
    return kind;
}

QKeySequence HUDWindowController::keyEquivalentForTitle(const QString& title)
{
    static const QList<QPair<QStringList, QKeyCombination>> keys = {
        {{QStringLiteral("Dimensions")}, Qt::CTRL | Qt::Key_1},
        {{QStringLiteral("Crop"), QStringLiteral("Barcode")}, Qt::CTRL | Qt::SHIFT | Qt::Key_1},
        {{QStringLiteral("Rotation")}, Qt::CTRL | Qt::Key_2},
        {{QStringLiteral("Curved Text"), QStringLiteral("Text Position")},
         Qt::CTRL | Qt::SHIFT | Qt::Key_2},
        {{QStringLiteral("Color")}, Qt::CTRL | Qt::Key_3},
        {{QStringLiteral("Image")}, Qt::CTRL | Qt::Key_4},
        {{QStringLiteral("Effects")}, Qt::CTRL | Qt::Key_5},
        {{QStringLiteral("Font")}, Qt::CTRL | Qt::Key_6},
        {{QStringLiteral("Font Preview")}, Qt::CTRL | Qt::ALT | Qt::Key_6},
        {{QStringLiteral("Typography")}, Qt::CTRL | Qt::SHIFT | Qt::Key_6},
        {{QStringLiteral("Contact Fields")}, Qt::CTRL | Qt::SHIFT | Qt::Key_7},
        {{QStringLiteral("Transparency")}, Qt::CTRL | Qt::Key_8},
        {{QStringLiteral("Shadow")}, Qt::CTRL | Qt::Key_9},
        {{QStringLiteral("Reflection")}, Qt::CTRL | Qt::ALT | Qt::Key_9},
        {{QStringLiteral("Arrange")}, Qt::CTRL | Qt::Key_0},
    };
    for (const auto& [titles, combination] : keys)
        for (const QString& t : titles)
            if (title == t || title == hudText(t))
                return QKeySequence(combination);
    return QKeySequence();
}

QString HUDWindowController::titleForTag(int tag, const QString& suffix) const
{
    const Pane* pane = paneForTag(tag);
    return hudText(pane ? pane->titleKey : QString()) + suffix;
}

int HUDWindowController::preferredTagForKind(qint64 kind, bool crop) const
{
    switch (kind) {
    case ImageKind: return _preferredImageToolsTag;
    case TextBoxKind: return crop ? _preferredTextCropToolsTag : _preferredTextToolsTag;
    case ShapeWithTextKind: return _preferredShapeWithTextToolsTag;
    case LineKind: return _preferredLineToolsTag;
    case BarcodeKind: return _preferredBarcodeToolsTag;
    case MixedKind: return _preferredMixedToolsTag;
    case ShapesKind:
    case ShapeKind:
    case ModifiedShapeKind: return crop ? _preferredShapeCropToolsTag : _preferredShapeToolsTag;
    default: return SizeTools;
    }
}

void HUDWindowController::rebuildToolMenus()
{
    bool allowTransparency = true;
    _selectedGraphicType = graphicKind(_selectedGraphics, &allowTransparency);
    _selectedGraphicIsCrop = false;
    _toolsPopup->removeAllItems();
    _toolsPulldown->removeAllItems();
    if (_selectedGraphics.isEmpty())
        return;
    const LBGraphic* first = _selectedGraphics.first().get();
    const bool single = _selectedGraphics.size() == 1;
    const QString suffix =
        _selectedGraphics.size() >= 2 ? hudText(QStringLiteral(" (group)")) : QString();
    QList<QPair<int, QString>> items;
    const auto add = [&](int tag) { items.append({tag, titleForTag(tag, suffix)}); };
    const qint64 kind = _selectedGraphicType;
    switch (kind) {
    case ImageKind:
        for (int tag :
             {SizeTools, RotateFlipTools, ShapeColorTools, ImageAdjustTools, ImageEffectsTools,
              TransparencyTools, ShadowTools, ReflectionTools, ArrangeTools})
            add(tag);
        break;
    case TextBoxKind:
    case ShapeWithTextKind: {
        _selectedGraphicIsCrop = single && first->isImageCrop();
        const auto* text = dynamic_cast<const LBTextArea*>(first);
        const bool curved = text && text->isCurved();
        add(SizeTools);
        add(RotateFlipTools);
        if (kind != ShapeWithTextKind)
            add(ShapeColorTools);
        if (_selectedGraphicIsCrop) {
            add(ImageAdjustTools);
            add(ImageEffectsTools);
        } else if (!curved) {
            add(PlaceholderTools);
        }
        add(FontTools);
        add(FontPreviewTools);
        add(TypographyTools);
        if (!_selectedGraphicIsCrop && kind != ShapeWithTextKind && !curved)
            add(TextGradientTools);
        for (int tag : {TransparencyTools, ShadowTools, ReflectionTools, ArrangeTools})
            add(tag);
        if (curved)
            add(CurvedTextTools);
        else if (kind == ShapeWithTextKind)
            add(ShapeWithTextTools);
        add(ContactFieldTools);
        break;
    }
    case LineKind:
        for (int tag : {SizeTools, RotateFlipTools, LineColorTools, TransparencyTools, ShadowTools,
                        ReflectionTools, ArrangeTools})
            add(tag);
        break;
    case BarcodeKind:
        for (int tag : {SizeTools, RotateFlipTools, ArrangeTools, BarcodeTools})
            add(tag);
        break;
    case MixedKind:
        add(SizeTools);
        add(RotateFlipTools);
        if (allowTransparency) {
            add(TransparencyTools);
            add(ShadowTools);
        }
        add(ArrangeTools);
        break;
    case ShapesKind:
    case ShapeKind:
    case ModifiedShapeKind:
        _selectedGraphicIsCrop = single && kind != ShapesKind && first->isImageCrop();
        add(SizeTools);
        add(RotateFlipTools);
        add(ShapeColorTools);
        add(ImageAdjustTools);
        if (_selectedGraphicIsCrop)
            add(ImageEffectsTools);
        for (int tag : {TransparencyTools, ShadowTools, ReflectionTools, ArrangeTools})
            add(tag);
        if (kind == ModifiedShapeKind) {
            const auto* shape = dynamic_cast<const LBModifiedShape*>(first);
            items.append({ModifiedShapeTools, shape ? shape->modifier1Title() : QString()});
        }
        break;
    default: break;
    }
    if (first->isGrouped())
        items.append({GroupTools, hudText(QStringLiteral("Group"))});
    LBGraphicView* canvas = graphicView();
    const bool canvasCrops = canvas && canvas->croppingImage();
    bool cropWhileCropping = false;
    if ((canvasCrops && _inspectorMode != Standalone)
        || (single && first->isImageCrop() && first->fillImageScaling() != 1)) {
        items.append({CropTools, titleForTag(CropTools, suffix)});
        cropWhileCropping = canvasCrops;
    }

    int preferred = preferredTagForKind(kind, _selectedGraphicIsCrop);
    if (cropWhileCropping)
        preferred = CropTools;

    clearToolsMenu();
    _toolsPulldown->addItem(QStringLiteral(" "), 0);
    bool currentOffered = false;
    for (const auto& [tag, title] : items) {
        const bool suffixed = !suffix.isEmpty() && title.endsWith(suffix);
        const QKeySequence key =
            keyEquivalentForTitle(suffixed ? title.chopped(suffix.size()) : title);
        QAction* item = _toolsPopup->addItem(title, tag);
        item->setShortcut(key);
        if (_toolsMenu) {
            QAction* menuItem = _toolsMenu->addAction(title);
            menuItem->setProperty(paneItemProperty, true);
            menuItem->setData(tag);
            menuItem->setShortcut(key);
            menuItem->setEnabled(true);
        }
        QAction* copy = _toolsPulldown->addItem(title, tag);
        copy->setShortcut(key);
        if (tag == _currToolsTag && tag != CropTools)
            currentOffered = true;
    }
    if (currentOffered && _currToolsTag >= SizeTools) {
        _toolsPopup->selectItemWithTag(_currToolsTag);
    } else if (_currToolsTag >= SizeTools) {
        _toolsPopup->selectItemWithTag(preferred);
        selectToolsWithTag(preferred);
    }
}

QStringList HUDWindowController::toolTitles() const
{
    QStringList titles;
    for (QAction* item : _toolsPopup->items())
        titles.append(item->text());
    return titles;
}

QList<int> HUDWindowController::toolTags() const
{
    QList<int> tags;
    for (QAction* item : _toolsPopup->items())
        tags.append(item->data().toInt());
    return tags;
}

void HUDWindowController::setToolsMenuNoSelection()
{
    if (!_toolsMenu)
        return;
    clearToolsMenu();
    QAction* none = _toolsMenu->addAction(QStringLiteral("No Selection"));
    none->setProperty(paneItemProperty, true);
    none->setEnabled(false);
}

void HUDWindowController::clearToolsMenu()
{
    // The menu may hold the application's own items too: only the pane items go.
    if (!_toolsMenu)
        return;
    for (QAction* item : _toolsMenu->actions())
        if (item->property(paneItemProperty).toBool()) {
            _toolsMenu->removeAction(item);
            item->deleteLater();
        }
}

QMenu* HUDWindowController::contextualMenuForView(CanvasView* view)
{
    (void)view;
    rebuildToolMenus();
    return _toolsPulldownMenu;
}

void HUDWindowController::dispatchMenuChoice(QAction* item)
{
    if (item && item->data().toInt() >= SizeTools)
        toolsPopupAction(item->data().toInt());
}

bool HUDWindowController::anyForceFlag() const
{
    return _forceSelectModifiedShapeTools || _forceSelectCropTools || _forceSelectMaskTools
           || _forceSelectGroupTools;
}

// --- Refresh ---

void HUDWindowController::updateFromGraphicView(CanvasView* view)
{
    setSelectedGraphicView(view);
    LBGraphicView* canvas = graphicView();
    const QList<LBGraphicPtr> selection =
        canvas ? canvas->selectedGraphics(false) : QList<LBGraphicPtr>();
    if (selection != _selectedGraphics)
        _removeEffectWhenSwitching = false;
    _selectedGraphics = selection;
    const bool any = !_selectedGraphics.isEmpty();

    if (_inspectorMode == Standalone) {
        if (any) {
            rebuildToolMenus();
            enableControlsInView(_mainView, true, _closeHUDButton);
            updateSelectedTools();
        } else {
            enableControlsInView(_mainView, false, _closeHUDButton);
        }
        return;
    }
    if (_inspectorMode == SmartShown || anyForceFlag()) {
        if (any) {
            centerWindowUnderSelectedGraphics();
            orderFront();
            rebuildToolMenus();
            if (_forceSelectModifiedShapeTools && _toolsPopup->itemWithTag(ModifiedShapeTools)) {
                selectToolsWithTag(ModifiedShapeTools);
                _forceSelectModifiedShapeTools = false;
            } else if (_forceSelectCropTools && _toolsPopup->itemWithTag(CropTools)) {
                selectToolsWithTag(CropTools);
            } else if (_forceSelectMaskTools) {
                selectToolsWithTag(ImageEffectsTools);
            }
            updateSelectedTools();
            if (_forceSelectMaskTools) {
                // The effects pane selects its mask effect (item tag 34) when it comes.
                if (const Pane* pane = paneForTag(ImageEffectsTools); pane && pane->action) {
                    QAction mask;
                    mask.setData(34);
                    pane->action(*this, &mask);
                }
                _forceSelectMaskTools = false;
            }
        } else {
            orderOut();
        }
    } else {
        orderOut();
    }
    if (any) {
        if (_forceSelectGroupTools) {
            _forceSelectGroupTools = false;
            return;
        }
        rebuildToolMenus();
        _forceSelectGroupTools = false;
    } else {
        setToolsMenuNoSelection();
    }
}

void HUDWindowController::updateSelectedTools()
{
    if (_selectedGraphics.isEmpty() || _currToolsTag < SizeTools || _currToolsTag > 27)
        return;
    if (const Pane* pane = paneForTag(_currToolsTag); pane && pane->update)
        pane->update(*this);
}

// --- Panes ---

QWidget* HUDWindowController::paneView(int tag)
{
    for (const auto& [t, view] : _paneViews)
        if (t == tag)
            return view;
    const Pane* pane = paneForTag(tag);
    QWidget* view = pane && pane->factory ? pane->factory(*this) : emptyPane();
    watchKeysOfTextFields(view);
    view->setParent(_mainView);
    view->hide();
    _paneViews.append({tag, view});
    return view;
}

void HUDWindowController::selectToolsWithTag(int tag)
{
    _startFoldPending = false;
    if (tag == _currToolsTag)
        return;
    const int oldTag = _currToolsTag;
    QWidget* pane = paneView(tag);
    const QRectF frame = windowFrame();
    QSize paneSize = pane->size();
    if (const Pane* row = paneForTag(tag); row && row->fixedSize.height() > 0)
        paneSize.setHeight(row->fixedSize.height());
    if (tag == FontPreviewTools) {
        platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
        const double width = defaults.floatForKey(QStringLiteral("LBFontPreviewWindowWidth"));
        if (width != 0.0)
            paneSize = QSize(
                qRound(width),
                qRound(defaults.floatForKey(QStringLiteral("LBFontPreviewWindowHeight")) - 22));
        else
            paneSize = QSize(495, 350);
    }
    pane->resize(paneSize);
    // Top edge kept, centred on the old frame.
    QRectF newFrame(frame.x() + (frame.width() - paneSize.width()) / 2.0, frame.y(),
                    paneSize.width(), paneSize.height() + 20);
    if (_inspectorMode != Standalone)
        newFrame = constrainedWindowRect(newFrame);
    if (oldTag < SizeTools) {
        _collapsedView->hide();
        _mainView->setCollapsed(false);
    }
    if (_currTools) {
        _currTools->hide();
        if (const Pane* old = paneForTag(oldTag); old && old->paneLeft)
            old->paneLeft(*this);
    }
    setWindowFrame(newFrame, true);
    _titleBarView->setGeometry(0, 0, qRound(newFrame.width()), 20);
    _titleBarView->show();
    _titleBarView->raise();
    _toolsPulldown->move(_titleBarView->width() - 22, 2);
    _toolsPopup->move(int((_titleBarView->width() - _toolsPopup->width()) / 2), 2);
    pane->move(0, 20);
    pane->show();
    _currTools = pane;
    _currToolsTag = tag;
    updateSelectedTools();
    if (_inspectorMode == Standalone)
        enableControlsInView(_mainView, true, _closeHUDButton);
    _toolsPopup->selectItemWithTag(tag);
    _toolsPopup->move(int((_titleBarView->width() - _toolsPopup->width()) / 2), 2);
}

void HUDWindowController::rememberTagForKind(int tag)
{
    // The Group pane is offered only while a group is selected: remembered for the kind, it
    // would come back for graphics that are in no group (after Ungroup, say).
    if (tag == GroupTools)
        return;
    switch (_selectedGraphicType) {
    case ImageKind: _preferredImageToolsTag = tag; break;
    case TextBoxKind:
        (_selectedGraphicIsCrop ? _preferredTextCropToolsTag : _preferredTextToolsTag) = tag;
        break;
    case LineKind: _preferredLineToolsTag = tag; break;
    case BarcodeKind: _preferredBarcodeToolsTag = tag; break;
    case MixedKind: _preferredMixedToolsTag = tag; break;
    case ShapeKind:
        if (!_selectedGraphicIsCrop)
            _preferredShapeToolsTag = tag;
        else if (tag != CropTools)
            _preferredShapeCropToolsTag = tag;
        break;
    case ShapeWithTextKind: _preferredShapeWithTextToolsTag = tag; break;
    default: // several shape kinds, modified shapes: nothing remembered
        break;
    }
}

void HUDWindowController::toolsPopupAction(int tag)
{
    stopAdjustingPerspectiveIfNecessary();
    if (!isWindowVisible())
        forceOpen();
    _toolsPopup->selectItemWithTag(tag);
    selectToolsWithTag(tag);
    rememberTagForKind(tag);
}

void HUDWindowController::collapseButtonAction(bool animate)
{
    _startFoldPending = false;
    if (_inspectorMode == SmartHidden) {
        orderOut();
        return;
    }
    if (_inspectorMode == Standalone) {
        platform::UserDefaults::standardUserDefaults().setObject(
            platform::stringFromPoint(QPointF(_window->pos())),
            QStringLiteral("Standalone Inspector Location"));
        orderOut();
        QList<InspectorPalette*> standalone = LBProcessState::standaloneInspectorPalettes();
        standalone.removeAll(this);
        LBProcessState::setStandaloneInspectorPalettes(standalone);
        // Not inside its own action: the button's click is still on the stack.
        deleteLater();
        return;
    }
    const QRectF frame = windowFrame();
    const QPointF origin(frame.x() + (frame.width() - 40) / 2.0, frame.y());
    // The button shows no title bar, also when no pane was shown yet.
    _titleBarView->hide();
    if (_currTools) {
        _currTools->hide();
        if (const Pane* old = paneForTag(_currToolsTag); old && old->paneLeft)
            old->paneLeft(*this);
        _currTools = nullptr;
    }
    setWindowFrame(constrainedWindowRect(QRectF(origin, QSizeF(41, 20))), animate);
    _mainView->setCollapsed(true);
    _collapsedView->move(0, 0);
    _collapsedView->show();
    setWindowFrame(constrainedWindowRect(QRectF(origin, QSizeF(40, 19))), animate);
    _currToolsTag = CollapsedTools;
}

void HUDWindowController::processDoubleClickInView()
{
    if (_currToolsTag == CollapsedTools) {
        const int tag = preferredTagForKind(graphicKind(_selectedGraphics), _selectedGraphicIsCrop);
        selectToolsWithTag(tag);
        _toolsPopup->selectItemWithTag(tag);
    } else {
        collapseButtonAction(true);
    }
}

void HUDWindowController::forceOpen()
{
    if (_inspectorMode != SmartHidden)
        return;
    updateSelectedTools();
    centerWindowUnderSelectedGraphics();
    orderFront();
    _window->activateWindow();
}

void HUDWindowController::setStandaloneToolTag(int tag, const QPointF& windowOrigin)
{
    selectToolsWithTag(tag);
    enableControlsInView(_mainView, false, _closeHUDButton);
    _window->move(windowOrigin.toPoint());
    orderFront();
}

void HUDWindowController::enableControlsInView(QWidget* view, bool enable, QWidget* except)
{
    for (QWidget* child : view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child == except) {
            child->setEnabled(true);
            continue;
        }
        // Containers stay enabled so the close button inside them can be used.
        if (except && child->isAncestorOf(except))
            enableControlsInView(child, enable, except);
        else
            child->setEnabled(enable);
        child->update();
    }
}

// --- Text views ---

void HUDWindowController::addTextView(platform::TextView* view)
{
    if (!_textViewArray) {
        _textViewArray.emplace();
        _textViewArray->reserve(1);
    }
    _textViewArray->append(view);
}

void HUDWindowController::clearTextViews()
{
    _textViewArray.reset();
}

QList<platform::TextView*> HUDWindowController::textViews() const
{
    QList<platform::TextView*> views;
    if (_textViewArray)
        for (const QPointer<platform::TextView>& view : *_textViewArray)
            if (view)
                views.append(view);
    return views;
}

void HUDWindowController::updateFontTools()
{
    if (_currToolsTag == FontTools)
        updateSelectedTools();
}

void HUDWindowController::updateFontPreviewTools()
{
    if (_currToolsTag == FontPreviewTools)
        updateSelectedTools();
}

void HUDWindowController::updateTypographyTools()
{
    if (_currToolsTag == TypographyTools)
        updateSelectedTools();
}

// --- Observers, help ---

void HUDWindowController::graphicSelectionWillChange()
{
    // A pending typing commit lands on the graphics it was typed for.
    flushPendingTextCommit();
    if (QWidget* focus = _window->focusWidget())
        focus->clearFocus();
    if (const Pane* pane = paneForTag(_currToolsTag); pane && pane->selectionWillChange)
        pane->selectionWillChange(*this);
    _reloadFontPreviewString = true;
}
