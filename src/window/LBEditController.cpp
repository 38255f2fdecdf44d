#include "window/LBEditController.h"

#include "canvas/LBGraphicView.h"
#include "canvas/LBRulerView.h"
#include "document/LBDocument.h"
#include "graphics/InspectorPalette.h"
#include "graphics/LBGraphic.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "layouts/LBPageView.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextView.h"
#include "window/InstalledFactory.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cmath>

namespace {

// Notifications design mode answers that no lower layer declares (by their names, so that
// a poster's own declaration of a name does not clash with these).
const QString HideHUDNotification = QStringLiteral("LBHideHUD");
const QString ShowHUDNotification = QStringLiteral("LBShowHUD");
const QString UnitsTypeChangedNotification = QStringLiteral("LBUnitsTypeChanged");
const QString UpdateEditingViewNotification = QStringLiteral("LBUpdateEditingView");
const QString UpdateDpiPopupNotification = QStringLiteral("LBUpdateDpiPopup");

platform::UserDefaults& userDefaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

bool pageHolds(const LBGraphicView* view, const LBGraphicPtr& graphic)
{
    if (const LBDocument::Page* page = view->graphics()) {
        for (const LBDocument::Layer& layer : *page) {
            if (layer.contains(graphic))
                return true;
        }
    }
    return false;
}

} // namespace

void DesignDrawer::setFactory(Factory factory)
{
    InstalledFactory<DesignDrawer>::set(std::move(factory));
}

bool DesignDrawer::hasFactory()
{
    return InstalledFactory<DesignDrawer>::has();
}

std::unique_ptr<DesignDrawer> DesignDrawer::make()
{
    return InstalledFactory<DesignDrawer>::make();
}

void CounterSheet::setFactory(Factory factory)
{
    InstalledFactory<CounterSheet>::set(std::move(factory));
}

bool CounterSheet::hasFactory()
{
    return InstalledFactory<CounterSheet>::has();
}

std::unique_ptr<CounterSheet> CounterSheet::make()
{
    return InstalledFactory<CounterSheet>::make();
}

// ==== Life cycle ========================================================================

LBEditController::LBEditController(QObject* parent) : QObject(parent)
{
    _updateTimer = new QTimer(this);
    _updateTimer->setSingleShot(true);
    _updateTimer->setInterval(0);
    // The turn of the event loop after a selection change stands for the window's update.
    connect(_updateTimer, &QTimer::timeout, this, [this] { windowDidUpdate(designWindow()); });
    _paneReloadTimer = new QTimer(this);
    _paneReloadTimer->setSingleShot(true);
    _paneReloadTimer->setInterval(0);
    connect(_paneReloadTimer, &QTimer::timeout, this, [this] {
        for (InspectorPalette* palette : everyInspector()) {
            if (palette->selectedToolsTag() != 20)
                palette->updateSelectedTools();
        }
    });
    buildDesignArea();
    setRememberedSizesToStartValues();
    observe();
    changeDisplayUnits();
}

LBEditController::~LBEditController()
{
    _observers.clear();
    _textSelectionObserver.reset();
    _redrawObserver.reset();
    _counterController.reset();
    if (_drawerIsOpen && _drawerController) {
        storeDrawerWidth();
        userDefaults().synchronize();
    }
    _graphicViews.clear();
    _drawerController.reset();
    delete _mainView.data();
    delete _gridSettingsSheet.data();
    delete _moveGraphicsSheet.data();
    delete _backgroundImageSheet.data();
}

void LBEditController::buildDesignArea()
{
    _mainView = new QWidget;
    _mainView->setObjectName(QStringLiteral("Edit"));
    _scrollView = new platform::ScrollView(_mainView);
    _scrollView->setGeometry(_mainView->rect());
    _mainView->installEventFilter(this);
    _pageView = new LBPageView;
    _pageView->setPageSize(QSizeF(0, 0), 1, 1);
    _scrollView->setDocumentView(_pageView);
    _graphicView = new LBGraphicView(_pageView);
    _graphicView->move(0, 0);
    _graphicViews.append(_graphicView);
    _selectedGraphicView = _graphicView;

    // The scroll views' rulers are of our ruler class.
    LBRulerView::registerAsRulerViewClass();
    _scrollView->setHasHorizontalRuler(true);
    _scrollView->setHasVerticalRuler(true);
    // The rulers show from the start; the canvas is their client.
    _graphicView->toggleRuler(nullptr);

    QPalette palette = _scrollView->palette();
    palette.setColor(QPalette::Window, QColor(186, 192, 199));
    _scrollView->setPalette(palette);
    _scrollView->setBackgroundRole(QPalette::Window);
    _scrollView->setAutoFillBackground(true);

    buildGridSettingsSheet();
    buildMoveGraphicsSheet();
    buildBackgroundImageSheet();
}

bool LBEditController::eventFilter(QObject* watched, QEvent* event)
{
    // The design area keeps its distances from the edges of the view it was put in.
    if (_mainView && watched == _mainView->parentWidget() && event->type() == QEvent::Resize)
        _mainView->setGeometry(_mainView->parentWidget()->rect().marginsRemoved(_containerMargins));
    if (watched == _mainView && event->type() == QEvent::Resize) {
        _scrollView->setGeometry(_mainView->rect());
        scrollerFrameChanged();
        centerInspectorWindow();
    }
    return QObject::eventFilter(watched, event);
}

void LBEditController::observe()
{
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    const auto add = [&](const QString& name, platform::NotificationCenter::Handler handler) {
        _observers.push_back(center.addObserver(name, nullptr, std::move(handler)));
    };
    add(LBGraphicViewSelectionDidChange,
        [this](const platform::Notification& n) { graphicSelectionChanged(n); });
    add(LBStartEditingText, [this](const platform::Notification& n) { startEditingText(&n); });
    add(LBEndEditingTextNotification,
        [this](const platform::Notification& n) { stopEditingText(n); });
    add(LBStopEditingTextDuringDrag,
        [this](const platform::Notification& n) { stopEditingTextDuringDrag(n); });
    add(LBDraggingGraphicNotification, [this](const platform::Notification& n) { updateHUD(n); });
    add(LBGraphicDidChange, [this](const platform::Notification& n) { selectedGraphicChanged(n); });
    add(HideHUDNotification, [this](const platform::Notification&) { hideHUD(); });
    add(ShowHUDNotification, [this](const platform::Notification&) { showHUD(); });
    add(LBMouseDownInGraphicViewNotification,
        [this](const platform::Notification& n) { mouseDownInGraphicView(n); });
    add(LBUpdateUtilityWindowsForSelection,
        [this](const platform::Notification&) { updateUtilityWindowsForSelection(); });
    add(LBStopBoundsManipulationNotification,
        [this](const platform::Notification&) { centerInspectorWindow(); });
    add(UnitsTypeChangedNotification,
        [this](const platform::Notification&) { changeDisplayUnits(); });
    add(LBRefreshEditView, [this](const platform::Notification&) { scrollerFrameChanged(); });
    add(UpdateEditingViewNotification,
        [this](const platform::Notification& n) { updateViewFromNotification(n); });
    add(UpdateDpiPopupNotification, [this](const platform::Notification&) { updateDpiPopup(); });
    add(LBPlaceholderDoubleClicked, [this](const platform::Notification& n) {
        placeholderDoubleClicked(n.userInfo.value(QStringLiteral("placeholderTypeStr")).toString());
    });
    // Scrolling moves the selection on screen: the palette follows.
    connect(_scrollView->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { centerInspectorWindow(); });
    connect(_scrollView->verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this] { centerInspectorWindow(); });
}

void LBEditController::setWindowController(LBWindowController* controller)
{
    if (controller && !_redrawObserver.isActive() && controller->document()) {
        _redrawObserver = platform::NotificationCenter::defaultCenter().addObserver(
            LBRedrawGraphicViews, controller->document(),
            [this](const platform::Notification&) { redrawGraphicViews(); });
    }
    // A command (Natural Size, the align and size commands, a value typed into a pane) or
    // a step undone or redone moves or changes the selected graphics without the canvas's
    // own notice: the palette follows them to where they are now.
    if (controller && !_undoConnection && controller->document()) {
        platform::UndoManager* undo = controller->document()->undoManager();
        _undoConnection = connect(undo, &platform::UndoManager::changed, this,
                                  [this] { centerInspectorWindow(); });
        // Undoing or redoing a change of the edited text's attributes (a font chosen in the
        // palette) leaves the editor's selection where it was, so the editor tells the text
        // panes nothing: they reload here.
        const auto reloadTextPanes = [this] {
            if (_textMode)
                updateTextControlsForSelection();
        };
        connect(undo, &platform::UndoManager::didUndoStep, this, reloadTextPanes);
        connect(undo, &platform::UndoManager::didRedoStep, this, reloadTextPanes);
    }
    _windowController = controller;
    for (qsizetype i = _graphicViews.size() - 1; i >= 0; --i)
        _graphicViews[i]->setWindowController(controller);
    if (controller) {
        controller->setSelectedGraphicView(_selectedGraphicView);
        updateDpiPopup();
        connectPopups();
    }
}

LBDocument* LBEditController::document() const
{
    return _windowController ? _windowController->document() : nullptr;
}

QWidget* LBEditController::mainView() const
{
    return _mainView;
}

LBGraphicView* LBEditController::selectedGraphicView() const
{
    return _selectedGraphicView;
}

QWidget* LBEditController::designWindow() const
{
    return _mainView ? _mainView->window() : nullptr;
}

LBRulerView* LBEditController::horizontalRuler() const
{
    return qobject_cast<LBRulerView*>(_scrollView->horizontalRulerView());
}

LBRulerView* LBEditController::verticalRuler() const
{
    return qobject_cast<LBRulerView*>(_scrollView->verticalRulerView());
}

void LBEditController::showPageInView(QWidget* view, const QRectF& viewFrame)
{
    if (QWidget* previous = _mainView->parentWidget())
        previous->removeEventFilter(this);
    _mainView->setParent(view);
    _mainView->setGeometry(viewFrame.toRect());
    if (view) {
        const QRect frame = viewFrame.toRect();
        _containerMargins = QMargins(frame.left(), frame.top(), view->width() - frame.right() - 1,
                                     view->height() - frame.bottom() - 1);
        view->installEventFilter(this);
    }
    _mainView->show();
    if (_selectedGraphicView)
        _selectedGraphicView->setFocus();
}

void LBEditController::hidePage(bool closing)
{
    _hiddenFrame = QRectF(_mainView->geometry());
    resetAllControls(closing);
    if (!closing) {
        deselectAll();
        _needsUpdate = false;
        openDrawer(false, false, true);
    } else {
        _needsUpdate = false;
    }
    // The window's pop-ups serve the preview while design is away.
    disconnect(_zoomPopupConnection);
    disconnect(_dpiPopupConnection);
    _mainView->hide();
    if (QWidget* container = _mainView->parentWidget())
        container->removeEventFilter(this);
    _mainView->setParent(nullptr);
}

void LBEditController::resetAllControls(bool closing)
{
    if (!closing) {
        setTextMode(false);
    } else if (_selectedGraphicView && _selectedGraphicView->editingGraphic()) {
        _selectedGraphicView->endEditing();
    }
}

void LBEditController::saveState(double zoomSliderValue)
{
    resetAllControls(false);
    _savedZoomSliderVal = zoomSliderValue;
    _savedSelectedGraphicView = _selectedGraphicView;
    _savedGraphicSelection.clear();
    if (_selectedGraphicView) {
        for (const LBGraphicPtr& graphic : _selectedGraphicView->selectedGraphics(false))
            _savedGraphicSelection.append(graphic);
    }
    QWidget* window = designWindow();
    _savedFirstResponder = window ? window->focusWidget() : nullptr;
    _savedVisibleRect = QRectF(_scrollView->documentVisibleRect());
}

void LBEditController::restoreState()
{
    if (_windowController)
        _windowController->setZoomSliderValue(_savedZoomSliderVal);
    if (LBGraphicView* saved = _savedSelectedGraphicView.data()) {
        selectGraphicView(saved);
        // The selection put back is no step of the user's: nothing for Undo to take back.
        platform::UndoManager* undo = document() ? document()->undoManager() : nullptr;
        if (undo)
            undo->disableUndoRegistration();
        for (const std::weak_ptr<LBGraphic>& weak : std::as_const(_savedGraphicSelection)) {
            const LBGraphicPtr graphic = weak.lock();
            // Only graphics still on the page come back into the selection.
            if (graphic && pageHolds(saved, graphic))
                saved->selectGraphic(graphic);
        }
        if (undo)
            undo->enableUndoRegistration();
    }
    _savedSelectedGraphicView = nullptr;
    _savedGraphicSelection.clear();
    if (_savedFirstResponder)
        _savedFirstResponder->setFocus();
    _savedFirstResponder = nullptr;
    if (_savedVisibleRect.width() > -1.0) {
        _scrollView->scrollToPoint(_savedVisibleRect.topLeft().toPoint());
        _pageView->update();
    }
}

// ==== Canvases and selection =============================================================

QList<LBGraphicView*> LBEditController::graphicViews() const
{
    return _graphicViews;
}

bool LBEditController::isOurDocument(const LBDocument* document) const
{
    return document && document == this->document();
}

bool LBEditController::isOurs(const LBGraphicView* view) const
{
    return view && isOurDocument(view->document());
}

void LBEditController::selectGraphicView(LBGraphicView* view)
{
    if (!view || view == _selectedGraphicView)
        return;
    LBGraphicView* previous = _selectedGraphicView;
    if (LBDocument* document = this->document()) {
        if (platform::UndoManager* undo = document->undoManager()) {
            QPointer<LBGraphicView> back = previous;
            undo->registerUndo(this, [this, back] {
                if (back)
                    selectGraphicView(back);
            });
            undo->setActionName(platform::LocalizedString(QStringLiteral("Select Page"),
                                                          QStringLiteral("UndoStrings")));
        }
    }
    if (previous)
        previous->deselectAll(nullptr);
    _selectedGraphicView = view;
    if (_windowController)
        _windowController->setSelectedGraphicView(view);
    view->setFocus();
}

void LBEditController::mouseDownInGraphicView(const platform::Notification& notification)
{
    auto* view = notification.objectAs<LBGraphicView>();
    if (view && _graphicViews.contains(view) && isOurs(view))
        selectGraphicView(view);
}

void LBEditController::deselectAll()
{
    for (qsizetype i = _graphicViews.size() - 1; i >= 0; --i)
        _graphicViews[i]->deselectAll(nullptr);
}

QList<LBGraphicPtr> LBEditController::selectedGraphics(bool includeLocked) const
{
    return _selectedGraphicView ? _selectedGraphicView->selectedGraphics(includeLocked)
                                : QList<LBGraphicPtr>();
}

platform::TextView* LBEditController::editorView() const
{
    return _selectedGraphicView ? _selectedGraphicView->editorView() : nullptr;
}

void LBEditController::invalidateGraphic(LBGraphic* graphic)
{
    for (LBGraphicView* view : std::as_const(_graphicViews))
        view->invalidateGraphic(graphic);
}

void LBEditController::setTextMode(bool textMode)
{
    if (textMode == _textMode)
        return;
    if (!textMode)
        endEditingAndSelect();
    _textMode = textMode;
    // The cursor over the canvas follows the mode.
    if (_selectedGraphicView)
        _selectedGraphicView->unsetCursor();
}

void LBEditController::endEditingAndSelect()
{
    LBGraphicView* view = _selectedGraphicView;
    if (!view || !view->editingGraphic())
        return;
    LBGraphic* editing = view->editingGraphic();
    LBGraphicPtr shared;
    if (LBDocument::Page* page = view->graphics()) {
        for (const auto& layer : *page) {
            for (const LBGraphicPtr& graphic : layer) {
                if (graphic.get() == editing)
                    shared = graphic;
            }
        }
    }
    view->endEditing();
    view->invalidateGraphic(editing);
    if (shared)
        view->selectGraphic(shared);
    view->setFocus();
}

void LBEditController::bringForward(QObject* sender)
{
    if (_selectedGraphicView)
        _selectedGraphicView->bringForward(sender);
}

void LBEditController::sendBackward(QObject* sender)
{
    if (_selectedGraphicView)
        _selectedGraphicView->sendBackward(sender);
}

void LBEditController::bringToFront(QObject* sender)
{
    if (_selectedGraphicView)
        _selectedGraphicView->bringToFront(sender);
}

void LBEditController::sendToBack(QObject* sender)
{
    if (_selectedGraphicView)
        _selectedGraphicView->sendToBack(sender);
}

void LBEditController::makeNaturalSize(QObject* sender)
{
    if (_selectedGraphicView)
        _selectedGraphicView->makeNaturalSize(sender);
}

void LBEditController::distributeEvenly(QObject* sender)
{
    if (_selectedGraphicView)
        _selectedGraphicView->distributeEvenly(sender);
}

void LBEditController::destructiveDownsample()
{
    // From code, not a menu: no report.
    if (_selectedGraphicView)
        _selectedGraphicView->applyDestructiveDownsample(false);
}

void LBEditController::setDimensionInfo(const QVariantMap& layout)
{
    if (_windowController)
        _windowController->zoomToActualSize(nullptr);
    if (LBDocument* document = this->document())
        document->setDimensionInfo(layout);
}

QImage LBEditController::previewImageFromGraphicView()
{
    LBGraphicView* view = _graphicViews.value(0);
    if (!view)
        return QImage();
    // The page in points, whatever the zoom.
    const QRectF page = view->visiblePageRect();
    const double z = view->zoomFactor();
    QImage image(QSize(qMax(1, int(page.width())), qMax(1, int(page.height()))),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(1.0 / z, 1.0 / z);
    painter.translate(-page.x() * z, -page.y() * z);
    view->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QString LBEditController::documentDescription(const QString& cardStockName, qint64 labelType)
{
    const auto word = [](const char* key) {
        return platform::LocalizedString(QString::fromLatin1(key), QStringLiteral("Miscellaneous"));
    };
    const bool envelope = labelType == 5 || labelType == 6;
    if (!cardStockName.isEmpty())
        return envelope ? QStringLiteral("%1 - %2").arg(word("Envelope"), cardStockName)
                        : cardStockName;
    QString kind;
    if (labelType < 5)
        kind = word("Label");
    else if (envelope)
        kind = word("Envelope");
    else if (labelType == 7 || labelType == 8)
        kind = word("Letterhead");
    return QStringLiteral("%1 %2").arg(kind, word("(custom size)"));
}

QString LBEditController::documentDescriptionStr() const
{
    const LBDocument* document = this->document();
    if (!document)
        return QString();
    return documentDescription(
        document->projectDescription().value(QStringLiteral("CardStockName")).toString(),
        document->dimensionInfo().value(QStringLiteral("labelType")).toLongLong());
}

void LBEditController::customizeCounterField(const QVariantMap& rolloverEntry,
                                             LBTextArea* inTextObject)
{
    if (!_counterController)
        _counterController = CounterSheet::make();
    if (_counterController)
        _counterController->customizeCounterField(rolloverEntry, inTextObject, designWindow());
}

// ==== Inspector hand-off =================================================================

QList<InspectorPalette*> LBEditController::everyInspector()
{
    return LBProcessState::allInspectorPalettes();
}

InspectorPalette* LBEditController::hiddenInspector()
{
    return LBProcessState::hiddenInspectorPalette();
}

void LBEditController::refreshInspectors()
{
    for (InspectorPalette* palette : everyInspector())
        palette->updateFromGraphicView(_selectedGraphicView);
}

void LBEditController::graphicSelectionChanged(const platform::Notification& notification)
{
    auto* view = notification.objectAs<LBGraphicView>();
    if (!view || !_graphicViews.contains(view) || !isOurs(view))
        return;
    _needsUpdate = true;
    if (_selectedGraphicView)
        _selectedGraphicView->unsetCursor();
    _updateTimer->start();
}

void LBEditController::windowDidUpdate(const QWidget* window)
{
    if (!_needsUpdate)
        return;
    if (window && window != designWindow())
        return;
    _needsUpdate = false;
    refreshInspectors();
    if (!_selectedGraphicView)
        return;
    const QList<LBGraphicPtr> selection = _selectedGraphicView->selectedGraphics(false);
    if (selection.size() == 1)
        learnDefaultsFromGraphic(*selection.first());
}

void LBEditController::updateHUD(const platform::Notification& notification)
{
    const auto* graphic = notification.objectAs<LBGraphic>();
    if (!graphic || !document() || graphic->document() != document())
        return;
    for (InspectorPalette* palette : everyInspector()) {
        if (palette->selectedToolsTag() != 20)
            palette->updateSelectedTools();
    }
}

void LBEditController::selectedGraphicChanged(const platform::Notification& notification)
{
    // While text is edited in place the palettes follow the editor's selection instead.
    const auto* graphic = notification.objectAs<LBGraphic>();
    if (_textMode || !graphic || !document() || graphic->document() != document()
        || !_selectedGraphicView || !_selectedGraphicView->graphicIsSelected(graphic))
        return;
    _paneReloadTimer->start();
}

void LBEditController::hideHUD()
{
    InspectorPalette* shared = LBProcessState::inspectorPalette();
    if (!shared)
        return;
    if (QWidget* window = shared->window())
        window->hide();
    // One for the program, whichever window hid it; a palette that goes away meanwhile
    // takes itself out of that slot.
    LBProcessState::setHiddenInspectorPalette(shared);
    LBProcessState::setInspectorPalette(nullptr);
}

void LBEditController::showHUD()
{
    if (InspectorPalette* kept = LBProcessState::hiddenInspectorPalette()) {
        LBProcessState::setInspectorPalette(kept);
        LBProcessState::setHiddenInspectorPalette(nullptr);
    }
    if (InspectorPalette* shared = LBProcessState::inspectorPalette())
        shared->updateFromGraphicView(_selectedGraphicView);
}

void LBEditController::startEditingText(const platform::Notification* notification)
{
    if (!notification) {
        setTextMode(true);
        return;
    }
    const auto* textArea = notification->objectAs<LBTextArea>();
    if (!textArea || !document() || textArea->document() != document())
        return;
    setTextMode(true);
    platform::TextView* editor = textArea->textEditor();
    _observedTextEditor = editor;
    _textSelectionObserver.reset();
    if (editor) {
        _textSelectionObserver = platform::NotificationCenter::defaultCenter().addObserver(
            platform::TextViewDidChangeSelectionNotification, editor,
            [this](const platform::Notification&) { updateTextControlsForSelection(); });
    }
    for (InspectorPalette* palette : everyInspector())
        palette->addTextView(editor);
}

void LBEditController::stopEditingText(const platform::Notification& notification)
{
    const auto* textArea = notification.objectAs<LBTextArea>();
    if (!textArea || !document() || textArea->document() != document())
        return;
    for (InspectorPalette* palette : everyInspector())
        palette->clearTextViews();
    _textSelectionObserver.reset();
    _observedTextEditor = nullptr;
    refreshInspectors();
}

void LBEditController::stopEditingTextDuringDrag(const platform::Notification& notification)
{
    // The sender is a document or one of its canvases.
    const LBDocument* sender = nullptr;
    if (notification.object) {
        for (LBGraphicView* view : std::as_const(_graphicViews)) {
            if (notification.object == view)
                sender = view->document();
        }
        if (!sender && notification.object == document())
            sender = document();
        if (!sender) {
            // A canvas of another window, or another document.
            return;
        }
    }
    if (!_textMode)
        return;
    for (InspectorPalette* palette : everyInspector())
        palette->clearTextViews();
    setTextMode(false);
    refreshInspectors();
}

void LBEditController::updateTextControlsForSelection()
{
    for (InspectorPalette* palette : everyInspector()) {
        palette->updateFontTools();
        palette->updateFontPreviewTools();
        palette->updateTypographyTools();
    }
}

void LBEditController::centerInspectorWindow()
{
    if (InspectorPalette* shared = LBProcessState::inspectorPalette())
        shared->centerWindowUnderSelectedGraphics();
}

void LBEditController::updateUtilityWindowsForSelection()
{
    QWidget* window = designWindow();
    if (!window || window != QApplication::activeWindow())
        return;
    refreshInspectors();
}

// ==== Design drawer ======================================================================

void LBEditController::storeDrawerWidth()
{
    if (QWidget* view = _drawerController ? _drawerController->view() : nullptr)
        userDefaults().setInteger(qint64(view->width()), QStringLiteral("Graphics Drawer Width"));
}

void LBEditController::storeDrawerIsClosed(bool closed)
{
    // Only a change reaches the settings file.
    const QString key = QStringLiteral("LBDrawerIsClosed");
    if (userDefaults().boolForKey(key) != closed)
        userDefaults().setBool(closed, key);
}

void LBEditController::openDrawer(bool open, bool updatePrefs, bool toggleLayersView)
{
    const bool layersOpen = !userDefaults().boolForKey(QStringLiteral("LayersViewIsClosed"));
    if (!open && _drawerIsOpen) {
        if (_drawerController) {
            storeDrawerWidth();
            if (QWidget* view = _drawerController->view()) {
                view->hide();
                view->setParent(nullptr);
                _drawerViewAdded = false;
            }
            if (toggleLayersView && layersOpen && _windowController)
                _windowController->layersButtonAction(nullptr);
        }
        if (_windowController)
            _windowController->openDesignDrawer(false);
        _drawerIsOpen = false;
        if (updatePrefs)
            storeDrawerIsClosed(true);
        if (_windowController) {
            _windowController->updateDrawerButton();
            _windowController->repositionLayersButton();
        }
        if (_drawerController)
            _drawerController->removeDarkLine();
        return;
    }
    if (_windowController)
        _windowController->openDesignDrawer(open);
    _drawerIsOpen = open;
    if (_windowController)
        _windowController->updateDrawerButton();
    if (!open) {
        if (_windowController)
            _windowController->repositionLayersButton();
        return;
    }
    if (!_drawerController) {
        _drawerController = DesignDrawer::make();
        if (_drawerController)
            _drawerController->setEditController(this);
    }
    bool justAdded = false;
    QWidget* top = _windowController ? _windowController->drawerTopView() : nullptr;
    QWidget* view = _drawerController ? _drawerController->view() : nullptr;
    if (view && top && view->parentWidget() != top) {
        // The drawer fills its pane at whatever size the window gives the pane.
        if (!top->layout()) {
            auto* layout = new QVBoxLayout(top);
            layout->setContentsMargins(0, 0, 0, 0);
            layout->setSpacing(0);
        }
        top->layout()->addWidget(view);
        view->show();
        _drawerViewAdded = true;
        justAdded = true;
    }
    if (view && top)
        view->setGeometry(0, 0, top->width(), top->height());
    if (_windowController)
        _windowController->updateDrawerWidth();
    if (justAdded && toggleLayersView && layersOpen && _windowController)
        _windowController->layersButtonAction(nullptr);
    if (_drawerController)
        _drawerController->setOutlineHeightFromPreferences();
    if (_windowController)
        _windowController->repositionLayersButton();
    if (updatePrefs)
        storeDrawerIsClosed(false);
}

void LBEditController::setDrawerMode(qint64 mode)
{
    if (_drawerController)
        _drawerController->setMode(mode);
}

void LBEditController::importCorbeil(const QString& path, qint64 currentIndex, qint64 numFiles)
{
    if (!_drawerController)
        return;
    _drawerController->setMode(3);
    _drawerController->importCorbeil(path, currentIndex, numFiles);
}

void LBEditController::placeholderDoubleClicked(const QString& placeholderType)
{
    if (!_drawerController)
        openDrawer(true, true, true);
    if (!placeholderType.isEmpty() && placeholderType != QStringLiteral("Photo")) {
        setDrawerMode(3);
        if (_drawerController)
            _drawerController->selectCorbeilImageType(placeholderType);
    } else {
        setDrawerMode(2);
    }
}

void LBEditController::setShiftKeyDown(bool down)
{
    if (_drawerController)
        _drawerController->setShiftKeyDown(down);
}

void LBEditController::setTextDrawerController(QObject* controller,
                                               std::function<void(double)> setZoom)
{
    _textDrawerController = controller;
    _textDrawerSetZoom = controller ? std::move(setZoom) : std::function<void(double)>();
}
