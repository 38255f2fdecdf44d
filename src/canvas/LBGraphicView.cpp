// The canvas's life and links, its page geometry, the selection, hit testing, the undoable
// start and end of in-place editing and the echo of a moving rectangle on the rulers.

#include "canvas/LBGraphicView.h"

#include "canvas/LBGraphicViewTracker.h"
#include "canvas/TextEditingController.h"
#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/RulerView.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/TextView.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBImage.h"

#include <QEvent>
#include <QMouseEvent>
#include <QTimer>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

const QString kSetPageIndex = QStringLiteral("LBSetPageIndex");

double roundHalfUp(double v)
{
    return std::floor(v + 0.5);
}

} // namespace

LBGraphicView::LBGraphicView(QWidget* parent) : QWidget(parent)
{
    LBProcessState::setTextEditing(&TextEditingController::shared());
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);

    const platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    _gvFlags.snapsToGrid = defaults.boolForKey(QStringLiteral("Snap To Grid"));
    _gvFlags.showsGridAbove = defaults.boolForKey(QStringLiteral("Show Grid"));
    _gvFlags.showsGridBelow = defaults.boolForKey(QStringLiteral("Show Grid Below"));
    _trimToPage = defaults.boolForKey(QStringLiteral("Trim To Page"));
    _drawPostalGuidelines = defaults.boolForKey(QStringLiteral("DrawPostalGuidelines"));
    _gridColor = QColor::fromRgbF(0.8f, 0.8f, 0.8f, 1.0f);

    _unhideKnobsTimer = new QTimer(this);
    _unhideKnobsTimer->setSingleShot(true);
    _unhideKnobsTimer->setInterval(500);
    connect(_unhideKnobsTimer, &QTimer::timeout, this, &LBGraphicView::unhideKnobs);
    _hideDynamicGuidesTimer = new QTimer(this);
    _hideDynamicGuidesTimer->setSingleShot(true);
    _hideDynamicGuidesTimer->setInterval(150);
    connect(_hideDynamicGuidesTimer, &QTimer::timeout, this, &LBGraphicView::resetDynamicGuides);

    observeTextViewDrags();
    _favoritesObserver = platform::NotificationCenter::defaultCenter().addObserver(
        LBGraphicAddedToFavorites, nullptr, [this](const platform::Notification& notification) {
            graphicAddedToFavorites(notification);
        });
    setMouseTracking(true);
    _setPageIndexObserver = platform::NotificationCenter::defaultCenter().addObserver(
        kSetPageIndex, nullptr, [this](const platform::Notification& notification) {
            const LBDocument* doc = document();
            if (doc && notification.object == doc)
                setPageIndex(
                    notification.userInfo.value(QStringLiteral("LBPageIndex")).toLongLong());
        });
}

LBGraphicView::~LBGraphicView()
{
    // Crop mode and a placeholder fill leave no undo group open behind them.
    closeCropUndoGroups();
    _favoritesObserver.reset();
    _setPageIndexObserver.reset();
    _textDragStartedObserver.reset();
    _textDragEndedObserver.reset();
    _tracker.reset();
    endEditing();
    for (InspectorPalette* palette : LBProcessState::allInspectorPalettes()) {
        if (palette->selectedGraphicView() == this)
            palette->setSelectedGraphicView(nullptr);
    }
}

bool LBGraphicView::isDraggingOut()
{
    return LBProcessState::isDraggingOut();
}

void LBGraphicView::setDraggingOut(bool draggingOut)
{
    LBProcessState::setDraggingOut(draggingOut);
}

// ==== Links ===============================================================================

void LBGraphicView::setWindowController(CanvasHost* controller)
{
    if (controller != _windowController)
        closeCropUndoGroups();
    _windowController = controller;
    setCanvasSize(_canvasSize);
    update();
}

LBDocument* LBGraphicView::document() const
{
    return _windowController ? _windowController->document() : nullptr;
}

LBDocument::Page* LBGraphicView::graphics() const
{
    LBDocument* doc = document();
    return doc ? doc->graphicsOnPage(_pageIndex) : nullptr;
}

void LBGraphicView::setPageIndex(qint64 index)
{
    _pageIndex = index;
}

double LBGraphicView::zoomFactor() const
{
    const double z = _windowController ? _windowController->zoomFactor() : 1.0;
    return z > 0.0 ? z : 1.0;
}

platform::UndoManager* LBGraphicView::undoManager() const
{
    LBDocument* doc = document();
    return doc ? doc->undoManager() : nullptr;
}

void LBGraphicView::setUndoActionName(const QString& key) const
{
    if (platform::UndoManager* undo = undoManager())
        undo->setActionName(platform::LocalizedString(key, QStringLiteral("UndoStrings")));
}

qint64 LBGraphicView::selectedLayerIndex() const
{
    LBDocument* doc = document();
    return doc ? doc->selectedLayerIndex() : 0;
}

LBDocument::Layer* LBGraphicView::selectedLayer() const
{
    LBDocument::Page* page = graphics();
    const qint64 index = selectedLayerIndex();
    return page && index >= 0 && index < page->size() ? &(*page)[index] : nullptr;
}

bool LBGraphicView::selectedLayerIsVisible() const
{
    LBDocument* doc = document();
    return doc && doc->layerAtIndexIsVisible(doc->selectedLayerIndex());
}

qsizetype LBGraphicView::indexInSelectedLayer(const LBGraphic* graphic) const
{
    const LBDocument::Layer* layer = selectedLayer();
    if (!layer || !graphic)
        return -1;
    for (qsizetype i = 0; i < layer->size(); ++i) {
        if (layer->at(i).get() == graphic)
            return i;
    }
    return -1;
}

LBGraphicPtr LBGraphicView::sharedGraphic(LBGraphic* graphic) const
{
    return graphic ? graphic->weak_from_this().lock() : nullptr;
}

// ==== Page geometry =======================================================================

void LBGraphicView::setVisiblePageRect(const QRectF& rect)
{
    const double z = zoomFactor();
    const QRectF r(roundHalfUp(rect.x() / z), roundHalfUp(rect.y() / z),
                   roundHalfUp(rect.width() / z), roundHalfUp(rect.height() / z));
    setVisiblePageOriginForGraphics(
        QPointF(r.x() + _faceOffset.width(), r.y() + _faceOffset.height()));
    _visiblePageRect = r;
}

void LBGraphicView::setVisiblePageOriginForGraphics(const QPointF& origin)
{
    LBDocument::Page* page = graphics();
    if (!page)
        return;
    for (const LBDocument::Layer& layer : std::as_const(*page)) {
        for (qsizetype i = layer.size() - 1; i >= 0; --i) {
            LBGraphic& graphic = *layer.at(i);
            const QPointF delta = origin - graphic.visiblePageOrigin();
            graphic.setBoundsNoOtherChanges(graphic.bounds().translated(delta));
            graphic.setVisiblePageOrigin(origin);
            if (&graphic == _editingGraphic && _editorView)
                _editorView->setFrame(graphic.bounds());
        }
    }
}

QPointF LBGraphicView::pageOriginForGraphics() const
{
    return _visiblePageRect.topLeft() + QPointF(_faceOffset.width(), _faceOffset.height());
}

void LBGraphicView::setVisiblePageOriginForGraphic(LBGraphic* graphic) const
{
    if (graphic)
        graphic->setVisiblePageOrigin(pageOriginForGraphics());
}

// ==== Size and scrolling ==================================================================

void LBGraphicView::setCanvasSize(const QSizeF& size)
{
    _canvasSize = size;
    const double z = zoomFactor();
    resize(int(std::ceil(size.width() * z)), int(std::ceil(size.height() * z)));
    // An editor laid over a box follows the zoom with it.
    for (platform::TextView* editor :
         findChildren<platform::TextView*>(QString(), Qt::FindDirectChildrenOnly))
        editor->setSuperviewScale(z);
}

platform::ScrollView* LBGraphicView::enclosingScrollView() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget()) {
        if (auto* scrollView = qobject_cast<platform::ScrollView*>(w))
            return scrollView;
    }
    return nullptr;
}

QRectF LBGraphicView::visibleRect() const
{
    const double z = zoomFactor();
    const platform::ScrollView* scrollView = enclosingScrollView();
    QRectF pixels(rect());
    if (const QWidget* documentView = scrollView ? scrollView->documentView() : nullptr) {
        // The canvas may lie on the document view (the page view in design mode).
        const QRect visible = scrollView->documentVisibleRect();
        pixels = documentView == this
                     ? QRectF(visible)
                     : QRectF(visible.translated(-mapTo(documentView, QPoint(0, 0))))
                           .intersected(QRectF(rect()));
    }
    return {pixels.x() / z, pixels.y() / z, pixels.width() / z, pixels.height() / z};
}

void LBGraphicView::scrollPoint(const QPointF& point)
{
    if (platform::ScrollView* scrollView = enclosingScrollView())
        scrollView->scrollToPoint(convertToWidget(point).toPoint());
}

void LBGraphicView::viewDidScroll()
{
    if (_dragOriginatedInThisView)
        performMoveLoop(QPointF(-1.0, -1.0));
}

void LBGraphicView::setNeedsDisplayInRect(const QRectF& rect)
{
    const double z = zoomFactor();
    const QRectF pixels(rect.x() * z, rect.y() * z, rect.width() * z, rect.height() * z);
    update(pixels.toAlignedRect().adjusted(-1, -1, 1, 1));
}

QPointF LBGraphicView::convertFromWidget(const QPointF& position) const
{
    return position / zoomFactor();
}

QPointF LBGraphicView::convertToWidget(const QPointF& point) const
{
    return point * zoomFactor();
}

bool LBGraphicView::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange) {
        // Scrolling while this canvas moves its selection moves the selection along.
        platform::ScrollView* scrollView = enclosingScrollView();
        if (scrollView != _observedScrollView) {
            disconnect(_scrollConnection);
            _observedScrollView = scrollView;
            if (scrollView) {
                _scrollConnection = connect(scrollView, &platform::ScrollView::boundsDidChange,
                                            this, &LBGraphicView::viewDidScroll);
            }
        }
    }
    return QWidget::event(event);
}

void LBGraphicView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    updateRulers();
}

void LBGraphicView::addSubview(QWidget* view)
{
    if (!view)
        return;
    view->setParent(this);
    // Frames of editors are in page points, as the graphics' bounds; the canvas shows them
    // zoomed.
    if (auto* editor = qobject_cast<platform::TextView*>(view))
        editor->setSuperviewScale(zoomFactor());
    view->show();
}

// ==== Invalidation ========================================================================

void LBGraphicView::invalidateGraphic(LBGraphic* graphic)
{
    if (!graphic)
        return;
    const double margin = 16.0 / zoomFactor();
    const QRectF area = graphic->isGrouped() ? graphic->groupDrawingBounds()
                                             : graphic->shadowDrawingBoundsWithHandles(true);
    setNeedsDisplayInRect(area.adjusted(-margin, -margin, margin, margin));
    if (graphicIsSelected(graphic) && indexInSelectedLayer(graphic) < 0) {
        if (LBGraphicPtr shared = sharedGraphic(graphic)) {
            deselectGraphic(shared);
            // A member of a group that left the layer is no group member here any more:
            // it leaves the selection alone.
            deselectGraphic2(shared);
        }
    }
}

void LBGraphicView::invalidateGraphics(const QList<LBGraphicPtr>& list)
{
    for (const LBGraphicPtr& graphic : list)
        invalidateGraphic(graphic.get());
}

// ==== Selection ===========================================================================

QList<LBGraphicPtr> LBGraphicView::selectedGraphics(bool includeLocked) const
{
    if (includeLocked)
        return _selectedGraphics;
    QList<LBGraphicPtr> list;
    for (const LBGraphicPtr& graphic : _selectedGraphics) {
        if (!graphic->locked())
            list.append(graphic);
    }
    return list;
}

QList<LBGraphicPtr> LBGraphicView::orderedSelectedGraphics() const
{
    QList<LBGraphicPtr> list = selectedGraphics(false);
    std::stable_sort(list.begin(), list.end(),
                     [this](const LBGraphicPtr& a, const LBGraphicPtr& b) {
                         return indexInSelectedLayer(a.get()) < indexInSelectedLayer(b.get());
                     });
    return list;
}

bool LBGraphicView::graphicIsSelected(const LBGraphic* graphic) const
{
    return std::any_of(_selectedGraphics.cbegin(), _selectedGraphics.cend(),
                       [graphic](const LBGraphicPtr& g) { return g.get() == graphic; });
}

void LBGraphicView::postSelectionWillChange()
{
    platform::NotificationCenter::defaultCenter().post(LBGraphicViewSelectionWillChangeNotification,
                                                       this);
}

void LBGraphicView::postSelectionDidChange()
{
    invalidateCursorRects();
    platform::NotificationCenter::defaultCenter().post(LBGraphicViewSelectionDidChange, this);
}

void LBGraphicView::selectGraphic2(const LBGraphicPtr& graphic)
{
    if (!graphic || graphicIsSelected(graphic.get()))
        return;
    postSelectionWillChange();
    if (platform::UndoManager* undo = undoManager()) {
        undo->registerUndo(this, [view = QPointer<LBGraphicView>(this), graphic] {
            if (view)
                view->deselectGraphic(graphic);
        });
    }
    _selectedGraphics.append(graphic);
    invalidateGraphic(graphic.get());
    _pasteCascadeDelta = QPointF(10.0, 10.0);
    postSelectionDidChange();
    updateRulers();
}

void LBGraphicView::deselectGraphic2(const LBGraphicPtr& graphic)
{
    if (!graphic || !graphicIsSelected(graphic.get()))
        return;
    if (graphic.get() == _editingGraphic)
        endEditing();
    postSelectionWillChange();
    if (platform::UndoManager* undo = undoManager()) {
        undo->registerUndo(this, [view = QPointer<LBGraphicView>(this), graphic] {
            if (view)
                view->selectGraphic(graphic);
        });
    }
    _selectedGraphics.removeIf([&graphic](const LBGraphicPtr& g) { return g == graphic; });
    invalidateGraphic(graphic.get());
    _pasteCascadeDelta = QPointF(10.0, 10.0);
    postSelectionDidChange();
    updateRulers();
    if (auto* curve = dynamic_cast<LBCurvedLine*>(graphic.get()))
        curve->selectControlPointAtIndex(-1, true, false);
    graphic->downsampleFillImage(false);
}

QList<LBGraphicPtr> LBGraphicView::groupMembers(const LBGraphicPtr& parent) const
{
    QList<LBGraphicPtr> members;
    const LBDocument::Layer* layer = selectedLayer();
    const qsizetype index = indexInSelectedLayer(parent.get());
    if (!layer || index < 0)
        return members;
    const qsizetype last =
        std::min<qsizetype>(index + parent->groupedChildrenCount(), layer->size() - 1);
    for (qsizetype i = index; i <= last; ++i)
        members.append(layer->at(i));
    return members;
}

QList<LBGraphicPtr> LBGraphicView::groupLedBy(LBGraphic* parent) const
{
    const LBGraphicPtr shared = sharedGraphic(parent);
    if (!shared)
        return {};
    return shared->groupedChildrenCount() > 0 ? groupMembers(shared) : QList<LBGraphicPtr>{shared};
}

void LBGraphicView::setGroupSelected(const LBGraphicPtr& graphic, bool select)
{
    if (_imageGraphicForCrop && !_keepCropOnSelection && graphic != _imageGraphicForCrop
        && graphic != _shapeGraphicForCrop)
        finishCroppingImage();
    if (_graphicsToRegroup && !_recropping) {
        const QList<LBGraphicPtr> pending = *_graphicsToRegroup;
        regroupGraphics(pending);
    }
    if (graphicIsSelected(graphic.get()) == select)
        return;
    if (!graphic->isGrouped()) {
        select ? selectGraphic2(graphic) : deselectGraphic2(graphic);
        return;
    }
    const LBDocument::Layer* layer = selectedLayer();
    const qsizetype index = indexInSelectedLayer(graphic.get());
    if (!layer || index < 0)
        return;
    qsizetype parentIndex = -1;
    for (qsizetype i = index; i >= 0; --i) {
        if (layer->at(i)->groupedChildrenCount() > 0) {
            parentIndex = i;
            break;
        }
    }
    const QList<LBGraphicPtr> members =
        parentIndex < 0 ? QList<LBGraphicPtr>{graphic} : groupMembers(layer->at(parentIndex));
    for (const LBGraphicPtr& member : members)
        select ? selectGraphic2(member) : deselectGraphic2(member);
    if (select
        && platform::UserDefaults::standardUserDefaults().boolForKey(
            QStringLiteral("Show Group HUD Window"))) {
        if (InspectorPalette* palette = LBProcessState::inspectorPalette())
            palette->forceSelectGroupTools(true);
    }
}

void LBGraphicView::selectGraphic(const LBGraphicPtr& graphic)
{
    if (graphic)
        setGroupSelected(graphic, true);
}

void LBGraphicView::deselectGraphic(const LBGraphicPtr& graphic)
{
    if (graphic)
        setGroupSelected(graphic, false);
}

void LBGraphicView::clearSelection()
{
    if (_imageGraphicForCrop && !_keepCropOnSelection)
        finishCroppingImage();
    if (_graphicsToRegroup && !_recropping) {
        const QList<LBGraphicPtr> pending = *_graphicsToRegroup;
        regroupGraphics(pending);
    }
    if (_selectedGraphics.isEmpty())
        return;
    postSelectionWillChange();
    platform::UndoManager* undo = undoManager();
    const QList<LBGraphicPtr> selection = _selectedGraphics;
    for (qsizetype i = selection.size() - 1; i >= 0; --i) {
        const LBGraphicPtr& graphic = selection.at(i);
        if (undo) {
            undo->registerUndo(this, [view = QPointer<LBGraphicView>(this), graphic] {
                if (view)
                    view->selectGraphic(graphic);
            });
        }
        invalidateGraphic(graphic.get());
        graphic->downsampleFillImage(false);
        if (auto* curve = dynamic_cast<LBCurvedLine*>(graphic.get()))
            curve->selectControlPointAtIndex(-1, true, false);
    }
    setUndoActionName(QStringLiteral("Selection Change"));
    _selectedGraphics.clear();
    _pasteCascadeDelta = QPointF(10.0, 10.0);
    postSelectionDidChange();
    updateRulers();
}

// ==== Hit testing =========================================================================

LBGraphicPtr LBGraphicView::graphicUnderPoint(const QPointF& point, bool checkForPlaceholder)
{
    if (!checkForPlaceholder) {
        for (const LBGraphicPtr& graphic : selectedGraphics(false)) {
            if (auto* curve = dynamic_cast<LBCurvedLine*>(graphic.get())) {
                bool first = false;
                if (curve->controlPointUnderPoint(point) >= 0
                    || curve->modifierPointUnderPoint(point, &first) >= 0)
                    return graphic;
            }
            const QRectF b = graphic->groupedChildrenCount() > 0 ? graphic->groupDrawingBounds()
                                                                 : graphic->drawingBounds();
            if (platform::pointInRect(point, b)
                && graphic->hitTest(point, true, _shapeGraphicForCrop.get())
                && graphic->knobUnderPoint(point) != 0)
                return graphic;
        }
    }
    // While a re-crop runs, its photo takes clicks wherever it shows.
    if (_recropping && _imageGraphicForCrop
        && platform::pointInRect(point, _imageGraphicForCrop->drawingBounds())
        && _imageGraphicForCrop->hitTest(point, true, _shapeGraphicForCrop.get()))
        return _imageGraphicForCrop;
    if (!selectedLayerIsVisible())
        return nullptr;
    const LBDocument::Layer* layer = selectedLayer();
    if (!layer)
        return nullptr;
    LBGraphicPtr front;
    for (const LBGraphicPtr& graphic : *layer) {
        // A turned graphic is hit where it is drawn: its drawing bounds, not its bounds,
        // come first.
        const QRectF b = graphic->groupedChildrenCount() > 0 ? graphic->groupDrawingBounds()
                                                             : graphic->drawingBounds();
        if (!platform::pointInRect(point, b)
            || !graphic->hitTest(point, graphicIsSelected(graphic.get()),
                                 _shapeGraphicForCrop.get()))
            continue;
        if (!checkForPlaceholder)
            return graphic;
        if (!front)
            front = graphic;
        const bool textOnly =
            graphic->isTextBox() && graphic->placeholderTypeString() != QLatin1String("Text+Image");
        if (graphic->isPlaceholder() && !textOnly)
            return graphic;
    }
    return front;
}

QList<LBGraphicPtr> LBGraphicView::graphicsIntersectingRect(const QRectF& rect,
                                                            bool checkSelectedLayerOnly)
{
    QList<LBGraphicPtr> result;
    LBDocument* doc = document();
    LBDocument::Page* page = graphics();
    if (!doc || !page)
        return result;
    const auto addFrom = [&](const LBDocument::Layer& layer) {
        for (const LBGraphicPtr& graphic : layer) {
            const QRectF b =
                rect.width() != 0.0 ? graphic->rotatedBounds() : graphic->drawingBounds();
            if (!b.intersects(rect))
                continue;
            LBGraphicPtr entry = graphic;
            if (graphic->isGrouped()) {
                entry = groupParentOfGraphic(graphic.get(), checkSelectedLayerOnly);
                if (!entry)
                    continue;
            }
            if (!result.contains(entry))
                result.append(entry);
        }
    };
    if (checkSelectedLayerOnly) {
        if (const LBDocument::Layer* layer = selectedLayer())
            addFrom(*layer);
    } else {
        for (qsizetype i = 0; i < page->size(); ++i) {
            if (doc->layerAtIndexIsVisible(i))
                addFrom(page->at(i));
        }
    }
    return result;
}

// ==== In-place editing ====================================================================

void LBGraphicView::startEditingGraphic(const LBGraphicPtr& graphic, QMouseEvent* event,
                                        bool selectContents)
{
    if (!graphic)
        return;
    if (platform::UndoManager* undo = undoManager()) {
        undo->registerUndo(this, [view = QPointer<LBGraphicView>(this)] {
            if (view)
                view->endEditing();
        });
    }
    setUndoActionName(QStringLiteral("Start Editing"));
    if (auto curve = std::dynamic_pointer_cast<LBCurvedLine>(graphic);
        curve && !curve->isShapeWithText()) {
        if (!curve->closedPath()) {
            if (_windowController)
                _windowController->setBezierMode(true);
            setEditingBezierGraphic(curve);
        }
        return;
    }
    graphic->startEditingWithEvent(event, this, selectContents);
}

void LBGraphicView::endEditing()
{
    if (!_editingGraphic)
        return;
    LBGraphicPtr graphic = sharedGraphic(_editingGraphic);
    if (platform::UndoManager* undo = undoManager(); undo && graphic) {
        undo->registerUndo(this, [view = QPointer<LBGraphicView>(this), graphic] {
            if (view)
                view->startEditingGraphic(graphic, nullptr, false);
        });
    }
    setUndoActionName(QStringLiteral("End Editing"));
    _editingGraphic->endEditingInView(this);
    _editingGraphic = nullptr;
    _editorView = nullptr;
}

// ==== Rulers ==============================================================================

bool LBGraphicView::rulersVisible() const
{
    const platform::ScrollView* scrollView = enclosingScrollView();
    return scrollView && scrollView->rulersVisible();
}

void LBGraphicView::updateRulers()
{
    if (!rulersVisible())
        return;
    platform::ScrollView* scrollView = enclosingScrollView();
    if (scrollView->hasVerticalRuler())
        scrollView->verticalRulerView()->setMarkers({});
    if (scrollView->hasHorizontalRuler())
        scrollView->horizontalRulerView()->setMarkers({});
}

QPointF LBGraphicView::rulerPoint(platform::RulerView* ruler, const QPointF& point) const
{
    const platform::ScrollView* scrollView = enclosingScrollView();
    return ruler->mapFrom(scrollView, mapTo(scrollView, convertToWidget(point)));
}

void LBGraphicView::echoToRulers(const QRectF& rect, bool begin)
{
    platform::ScrollView* scrollView = enclosingScrollView();
    if (!scrollView)
        return;
    const auto locations = [](double min, double max) {
        return std::array<double, 3>{min, (min + max) / 2.0, max};
    };
    if (scrollView->hasHorizontalRuler()) {
        platform::RulerView* ruler = scrollView->horizontalRulerView();
        const QRectF r(rulerPoint(ruler, rect.topLeft()), rulerPoint(ruler, rect.bottomRight()));
        const auto from =
            locations(_horizontalRulerLineRect.left(), _horizontalRulerLineRect.right());
        const auto to = locations(r.left(), r.right());
        for (int i = 0; i < 3; ++i)
            ruler->moveRulerline(begin ? -1.0 : from[i], to[i]);
        _horizontalRulerLineRect = r;
    }
    if (scrollView->hasVerticalRuler()) {
        platform::RulerView* ruler = scrollView->verticalRulerView();
        const QRectF r(rulerPoint(ruler, rect.topLeft()), rulerPoint(ruler, rect.bottomRight()));
        const auto from = locations(_verticalRulerLineRect.top(), _verticalRulerLineRect.bottom());
        const auto to = locations(r.top(), r.bottom());
        for (int i = 0; i < 3; ++i)
            ruler->moveRulerline(begin ? -1.0 : from[i], to[i]);
        _verticalRulerLineRect = r;
    }
}

void LBGraphicView::beginEchoingMoveToRulers(const QRectF& rect)
{
    echoToRulers(rect, true);
}

void LBGraphicView::continueEchoingMoveToRulers(const QRectF& rect)
{
    echoToRulers(rect, false);
}

void LBGraphicView::stopEchoingMoveToRulers()
{
    platform::ScrollView* scrollView = enclosingScrollView();
    if (scrollView && scrollView->hasHorizontalRuler()) {
        const QRectF& r = _horizontalRulerLineRect;
        for (double x : {r.left(), (r.left() + r.right()) / 2.0, r.right()})
            scrollView->horizontalRulerView()->moveRulerline(x, -1.0);
    }
    if (scrollView && scrollView->hasVerticalRuler()) {
        const QRectF& r = _verticalRulerLineRect;
        for (double y : {r.top(), (r.top() + r.bottom()) / 2.0, r.bottom()})
            scrollView->verticalRulerView()->moveRulerline(y, -1.0);
    }
    _horizontalRulerLineRect = QRectF();
    _verticalRulerLineRect = QRectF();
}

// ==== Inspector palettes ==================================================================

void LBGraphicView::orderOutInspectorWindow()
{
    if (InspectorPalette* palette = LBProcessState::inspectorPalette()) {
        if (QWidget* window = palette->window())
            window->hide();
    }
}

void LBGraphicView::updateInspectorFromCanvas()
{
    if (InspectorPalette* palette = LBProcessState::inspectorPalette())
        palette->updateFromGraphicView(this);
}
