#include "window/LBWindowController.h"

#include "canvas/LBGraphicView.h"
#include "controls/LBCompImageButton.h"
#include "controls/LBSliderView.h"
#include "controls/LBSplitView.h"
#include "document/LBDocument.h"
#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/ui/KXControlBar.h"
#include "platform/ui/KXPopUpImageButton.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/Slider.h"
#include "platform/ui/Toolbar.h"
#include "window/ApplicationServices.h"
#include "window/DesignModeController.h"
#include "window/LBEditController.h"
#include "window/LayersPane.h"
#include "window/PreviewModeController.h"
#include "window/WindowMenus.h"

#include <QAction>
#include <QDebug>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QMainWindow>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {
LBWindowController* currentController = nullptr;

bool defaultsBool(const QString& key)
{
    return platform::UserDefaults::standardUserDefaults().boolForKey(key);
}
} // namespace

LBWindowController::LBWindowController(QObject* parent)
    : DocumentWindowController(WindowName, parent)
{
    _selectionObserver = platform::NotificationCenter::defaultCenter().addObserver(
        LBGraphicViewSelectionDidChange, nullptr,
        [this](const platform::Notification& notification) {
            graphicSelectionChanged(notification);
        });
    if (ApplicationServices* services = ApplicationServices::shared())
        services->setDocumentWasOpened(true);
    registerCommands();
}

LBWindowController::~LBWindowController()
{
    _selectionObserver.reset();
    if (_previewSplitView)
        _previewSplitView->removeEventFilter(this);
    if (_designSplitView)
        _designSplitView->removeEventFilter(this);
    if (_drawerSplitView)
        _drawerSplitView->removeEventFilter(this);
    if (_contentView)
        _contentView->removeEventFilter(this);
    if (_mode == DesignMode)
        setMode(PreviewMode, true);
    if (_dpiPopupButton)
        delete std::exchange(_dpiPopupButton, nullptr);
    _layersController.reset();
    _editController.reset();
    if (_mode == PreviewMode && _createController)
        _createController->hidePage();
    _createController.reset();
    if (currentController == this)
        currentController = nullptr;
}

LBWindowController* LBWindowController::currentWindowController()
{
    return currentController;
}

// ---- Window set-up ------------------------------------------------------------------

void LBWindowController::buildWindowContent()
{
    QMainWindow* main = mainWindow();
    main->resize(1000, 700);
    _contentView = new QWidget;
    main->setCentralWidget(_contentView);
    _contentView->installEventFilter(this);

    _controlBar = new platform::KXControlBar(_contentView);
    _sliderView = new LBSliderView(_controlBar);
    _sliderView->resize(_sliderView->sizeHint());
    _zoomSlider = _sliderView->slider();
    _zoomSlider->setMinValue(MinZoomSliderValue);
    _zoomSlider->setMaxValue(MaxZoomSliderValue);
    _zoomSlider->setDoubleValue(_zoomSliderValue);
    connect(_zoomSlider, &platform::Slider::doubleValueChanged, this, [this] { zoomAction(); });
    _pageCountText = new QLabel(_controlBar);
    _pageCountText->setGeometry(0, 4, 100, 15);
    QFont small = _pageCountText->font();
    small.setPointSizeF(10);
    _pageCountText->setFont(small);
    auto barButton = [&](const QString& title) {
        auto* button = new QPushButton(title, _controlBar);
        button->setFlat(true);
        button->setFont(small);
        button->setFocusPolicy(Qt::NoFocus);
        button->setGeometry(0, 0, 96, ControlBarHeight);
        return button;
    };
    _layersButton = barButton(platform::LocalizedString(QStringLiteral("Show Layers"), {}));
    connect(_layersButton, &QPushButton::clicked, this,
            [this] { layersButtonAction(_layersButton); });
    _drawerButton = barButton(platform::LocalizedString(QStringLiteral("Hide Browsers"), {}));
    connect(_drawerButton, &QPushButton::clicked, this,
            [this] { drawerButtonAction(_drawerButton); });

    // Preview: the contact columns (group list, people list) beside the sheets.
    _previewSplitView = new LBSplitView(true, _contentView);
    auto column = [&](QLabel*& title) {
        auto* pane = new QWidget;
        title = new QLabel(pane);
        title->setFont(small);
        title->setGeometry(6, 2, 80, 18);
        auto* table = new QWidget(pane);
        table->setGeometry(0, 22, 80, 100);
        return pane;
    };
    _groupColumn = column(_addressBookButtonText);
    _peopleColumn = column(_selectedPeopleCount);
    _addressBookButtonText->setText(platform::LocalizedString(QStringLiteral("Contacts"), {}));
    _previewView = new QWidget;
    _previewSplitView->addWidget(_groupColumn);
    _previewSplitView->addWidget(_peopleColumn);
    _previewSplitView->addWidget(_previewView);
    _previewSplitView->setStretchFactor(0, 0);
    _previewSplitView->setStretchFactor(1, 0);
    _previewSplitView->setStretchFactor(2, 1);
    _previewSplitView->setChildrenCollapsible(false);
    // The sheets keep their width beside the columns.
    _previewView->setMinimumWidth(int(PreviewMinWidth + 11) - _previewSplitView->handleWidth());
    _previewSplitView->installEventFilter(this);
    connect(_previewSplitView, &QSplitter::splitterMoved, this,
            [this] { previewSplitViewDidResizeSubviews(); });
    _previewSplitView->hide();

    // Design: the design area beside the drawer pane.
    _designContainer = new QWidget(_contentView);
    _designSplitView = new LBSplitView(true, _designContainer);
    _designView = new QWidget;
    _drawerSuperview = new QWidget;
    _designSplitView->addWidget(_designView);
    _designSplitView->addWidget(_drawerSuperview);
    _designSplitView->setStretchFactor(0, 1);
    _designSplitView->setStretchFactor(1, 0);
    _designSplitView->setChildrenCollapsible(false);
    _designSplitView->installEventFilter(this);
    connect(_designSplitView, &QSplitter::splitterMoved, this,
            [this] { designSplitViewResized(); });
    _designContainer->hide();

    // The two halves of the design/preview switch; the toolbar shows them.
    _designButton = new LBCompImageButton(main);
    _previewButton = new LBCompImageButton(main);
    _designButton->setComponentImageString(switchImageString(DesignMode, false));
    _previewButton->setComponentImageString(switchImageString(PreviewMode, false));
    _designButton->hide();
    _previewButton->hide();
    connect(_designButton, &QAbstractButton::clicked, this,
            [this] { switchToDesignMode(_designButton); });
    connect(_previewButton, &QAbstractButton::clicked, this,
            [this] { switchToViewMode(_previewButton); });
    layOutContent();
}

QRect LBWindowController::modeContentFrame() const
{
    // (0, 23, width, height - 23 + 1) with y upwards: the bar's strip stays free below.
    const QSize size = _contentView->size();
    return QRect(0, -1, size.width(), size.height() - ControlBarHeight + 1);
}

void LBWindowController::layOutContent()
{
    if (!_contentView)
        return;
    const QSize size = _contentView->size();
    _controlBar->setGeometry(0, size.height() - ControlBarHeight, size.width(), ControlBarHeight);
    const QRect content = modeContentFrame();
    if (_previewSplitView->isVisible() || _mode == PreviewMode)
        previewContent()->setGeometry(content);
    _designContainer->setGeometry(content);
    layOutDesignSplitView();
}

void LBWindowController::windowDidLoad()
{
    buildWindowContent();
    if (!WindowMenus::table().isEmpty())
        setMenuTable(WindowMenus::table());
    // 1. The bar's picture; the search field.
    _controlBar->setBarImage(platform::Image::imageNamed(QStringLiteral("ControlBar")));
    setupToolbars();
    // 2. The design split: no divider of its own, the drawer at least 215 wide.
    _designSplitView->setDividerThickness(0);
    _designSplitView->setUseArtificialDivider(true, false);
    _designSplitView->setViewMinWidth0(0, DrawerMinWidth, 0);
    _drawerSuperview->setMinimumWidth(int(DrawerMinWidth));
    _designSplitView->setBackgroundColor(
        QColor::fromRgbF(0.90196078431, 0.90196078431, 0.90196078431, 1.0));
    // 3.-4. The contacts: read, and their tables made (the merge's).
    if (MergeServices* services = mergeServices())
        services->setUpContacts();
    // 5. The contact columns show; their widths are not known yet.
    _showColumns = true;
    _groupViewWidth = 0;
    _personViewWidth = 0;
    updateAddressBookButtonTitleWidth();
    updateSelectedPeopleCountPosition();
    updateButtonBarPosition();
    // 6.-7. The first mode: preview, or design while there is no preview.
    _mode = NoMode;
    const LBDocument* doc = document();
    const bool openedFromFile = doc && doc->openedExistingFile();
    if (openedFromFile)
        scanGraphicsForContactFields();
    const bool foundOtherContactField = _foundOtherContactField;
    _foundOtherContactField = true;
    setMode(canSwitchToViewMode() ? PreviewMode : DesignMode, false);
    _foundOtherContactField = false;
    // 8. The bar follows both mode views.
    _previewView->installEventFilter(this);
    _designView->installEventFilter(this);
    // 9.
    if (openedFromFile) {
        zoomToFit();
        _zoomToFitOnModeChange = true;
    } else {
        QTimer::singleShot(250, this, [this] { openLayoutSheet(this); });
    }
    // 10.
    setWindowFrameAutosaveName(QStringLiteral("DocumentWindow"));
    // 11. Lays the columns out once.
    if (!_columnWidthsInitialized && _showColumns) {
        _previewSplitView->resize(_previewSplitView->width() + 1, _previewSplitView->height());
        _previewSplitView->resize(_previewSplitView->width() - 1, _previewSplitView->height());
    }
    // 12.
    if (openedFromFile) {
        _foundOtherContactField = foundOtherContactField;
        showOrHideColumnsAsNecessary(_mode);
    }
    // 13. A first run centres the window.
    if (defaultsBool(QStringLiteral("New Preferences"))) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = window()->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            window()->move(frame.topLeft());
        }
    }
    // 14. Per-label edits show only with the text unlocked.
    if (designHasEditedText())
        lockTextAction(nullptr);
    // 15. The search field takes the keyboard, once the window shows (whoever shows it
    //     does so after the load). Full-screen behaviour is the window manager's.
    if (_searchField) {
        _searchField->setEnabled(true);
        QTimer::singleShot(0, this, [this] {
            if (_searchField && _searchField->isVisible())
                _searchField->setFocus(Qt::OtherFocusReason);
        });
    }
    _windowIsLoaded = true;
}

bool LBWindowController::designHasEditedText() const
{
    const LBDocument* doc = document();
    if (!doc)
        return false;
    for (const LBDocument::Page& page : doc->documentGraphics()) {
        for (const LBDocument::Layer& layer : page) {
            for (const LBGraphicPtr& graphic : layer) {
                if (!graphic->isTextBox() && !graphic->isShapeWithText())
                    continue;
                const auto* text = dynamic_cast<const LBTextArea*>(graphic.get());
                if (text && text->editedTextArray().has_value())
                    return true;
            }
        }
    }
    return false;
}

// ---- Forwards ---------------------------------------------------------------------------

void LBWindowController::invalidateGraphic(LBGraphic* graphic)
{
    const platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (context && !context->isDrawingToScreen())
        return;
    if (_editController) {
        _editController->invalidateGraphic(graphic);
        return;
    }
    if (_mode == DesignMode && _selectedGraphicView)
        _selectedGraphicView->invalidateGraphic(graphic);
}

void LBWindowController::refreshWindow()
{
    if (_mode == DesignMode) {
        if (_editController)
            _editController->scrollerFrameChanged();
    } else if (_createController) {
        _createController->refreshRenderingView();
    }
}

void LBWindowController::refreshWindow2()
{
    if (_mode == DesignMode) {
        if (_editController) {
            _editController->setZoomFactor(zoomFactor());
            _editController->scrollerFrameChanged();
        }
    } else if (_createController) {
        _createController->setZoomFactor(zoomFactor());
        _createController->scrollerFrameChanged();
    }
}

void LBWindowController::deselectAll()
{
    if (_mode == PreviewMode && _createController)
        _createController->closeTextEditor();
    else if (_mode == DesignMode && _editController)
        _editController->deselectAll();
}

void LBWindowController::commitEditing()
{
    // A label's text being edited in preview reaches its box only when its editor closes;
    // the canvas's editors write into their boxes as the user types.
    if (_mode == PreviewMode && _createController)
        _createController->closeTextEditor();
}

void LBWindowController::letGoOfGraphics()
{
    if (_createController)
        _createController->closeTextEditor();
    if (_editController) {
        for (LBGraphicView* view : _editController->graphicViews()) {
            view->endEditing();
            view->deselectAll(nullptr);
        }
    }
}

QImage LBWindowController::previewImageFromGraphicView()
{
    return _editController ? _editController->previewImageFromGraphicView() : QImage();
}

void LBWindowController::importCorbeil(const QString& path, qint64 currentIndex, qint64 numFiles)
{
    if (_editController)
        _editController->importCorbeil(path, currentIndex, numFiles);
    else
        qWarning().noquote()
            << QStringLiteral("Kit %1 not imported: the window has no kit browser").arg(path);
}

QSizeF LBWindowController::documentSize() const
{
    if (const LBDocument* doc = document())
        return doc->documentSize();
    return platform::PrintInfo::sharedPrintInfo().paperSize();
}

bool LBWindowController::layerAtIndexIsVisible(qint64 index) const
{
    LBDocument* doc = document();
    return doc && doc->layerAtIndexIsVisible(index);
}

bool LBWindowController::layerAtIndexWillPrint(qint64 index) const
{
    LBDocument* doc = document();
    return doc && doc->layerAtIndexWillPrint(index);
}

QSizeF LBWindowController::scaleImage(const QSizeF& size, double toMaxWidth, double maxHeight)
{
    const double width = size.width();
    const double height = size.height();
    if ((width <= toMaxWidth && height <= maxHeight) || width <= 0 || height <= 0)
        return size;
    if (maxHeight / height > toMaxWidth / width)
        return QSizeF(toMaxWidth, height * toMaxWidth / width);
    return QSizeF(width * maxHeight / height, maxHeight);
}

void LBWindowController::scaleImage(platform::Image& image, double toMaxWidth, double maxHeight)
{
    image.setSize(scaleImage(image.size(), toMaxWidth, maxHeight));
}

void LBWindowController::customizeCounterField(const QVariantMap& rolloverEntry,
                                               LBTextArea* inTextObject)
{
    if (_editController)
        _editController->customizeCounterField(rolloverEntry, inTextObject);
}

bool LBWindowController::textMode() const
{
    return _mode == DesignMode && _editController && _editController->textMode();
}

void LBWindowController::setBezierMode(bool bezierMode)
{
    _bezierMode = bezierMode;
    if (!bezierMode && _selectedGraphicView)
        _selectedGraphicView->setEditingBezierGraphic(nullptr);
}

void LBWindowController::setDocument(platform::Document* document)
{
    DocumentWindowController::setDocument(document);
    if (document)
        setupForDocument();
    if (_layersController)
        _layersController->setDocument(this->document());
}

LBDocument* LBWindowController::document() const
{
    return qobject_cast<LBDocument*>(DocumentWindowController::document());
}

bool LBWindowController::isEnvelope() const
{
    const LBDocument* doc = document();
    return doc && doc->isEnvelope();
}

void LBWindowController::backgroundImageSheetAction(QObject* sender)
{
    Q_UNUSED(sender);
    // The sheet is design mode's; a stand-in design controller has none.
    if (auto* edit = dynamic_cast<LBEditController*>(_editController.get()))
        edit->backgroundImageSheetAction();
}

// ---- Window events -------------------------------------------------------------------

void LBWindowController::windowDidBecomeKey()
{
    currentController = this;
}

void LBWindowController::windowDidBecomeMain()
{
    platform::NotificationCenter::defaultCenter().post(LBUpdateUtilityWindowsForSelection, this);
    if (_layersController)
        _layersController->setEditController(_editController.get());
}

void LBWindowController::windowDidResignMain()
{
    if (_mode != DesignMode)
        return;
    if (InspectorPalette* inspector = LBProcessState::inspectorPalette()) {
        if (QWidget* palette = inspector->window())
            palette->hide();
    }
}

void LBWindowController::windowWillClose()
{
    // Only this window's own key state ends here: closing a window in the background
    // leaves the key window's controller current.
    if (currentController == this)
        currentController = nullptr;
}

void LBWindowController::windowDidMove()
{
    if (_editController)
        _editController->centerInspectorWindow();
}

void LBWindowController::flagsChanged(Qt::KeyboardModifiers modifiers)
{
    processFlagsChanged(modifiers);
}

void LBWindowController::processFlagsChanged(Qt::KeyboardModifiers modifiers)
{
    if (!_editController)
        return;
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        _showingDetailThumbnails = true;
        _editController->setShiftKeyDown(true);
    } else if (_showingDetailThumbnails) {
        _showingDetailThumbnails = false;
        _editController->setShiftKeyDown(false);
    }
}

void LBWindowController::graphicSelectionChanged(const platform::Notification& notification)
{
    const auto* canvas = notification.objectAs<LBGraphicView>();
    if (!canvas || _mode != DesignMode || canvas->document() != document())
        return;
    if (_toolbar)
        _toolbar->validateVisibleItems();
    validateMenus();
}

bool LBWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        const QSize oldSize = static_cast<QResizeEvent*>(event)->oldSize();
        if (watched == _contentView) {
            layOutContent();
        } else if (watched == _previewView || watched == _designView) {
            QTimer::singleShot(0, this, [this] { updateButtonBarPosition(); });
        } else if (watched == _previewSplitView) {
            // After the split view laid its panes out itself.
            QTimer::singleShot(0, this, [this, oldSize] { previewSplitViewResized(oldSize); });
        } else if (watched == _designSplitView || watched == _drawerSuperview) {
            QTimer::singleShot(0, this, [this] { designSplitViewResized(); });
        } else if (watched == _drawerSplitView) {
            QTimer::singleShot(0, this, [this, oldSize] { drawerSplitViewResized(oldSize); });
        }
    } else if (event->type() == QEvent::Move
               && (watched == _previewView || watched == _designView)) {
        QTimer::singleShot(0, this, [this] { updateButtonBarPosition(); });
    }
    return DocumentWindowController::eventFilter(watched, event);
}
