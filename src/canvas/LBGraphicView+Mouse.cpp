// Mouse presses: what a press means (a double click, curve drawing, text editing, a handle,
// a curve point, a graphic, empty space), the selection it changes, the rubber band, hand
// scrolling, the move drag the canvas starts as its own source and the move step, and the
// menu of the graphics under a point with the kind names of graphics.

#include "canvas/LBGraphicView.h"

#include "canvas/LBGraphicViewTracker.h"
#include "graphics/LBTextArea.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/Drag.h"
#include "platform/ui/TextView.h"
#include "shapes/LBArrow.h"
#include "shapes/LBArrowHead.h"
#include "shapes/LBCircle.h"
#include "shapes/LBCloud.h"
#include "shapes/LBCross.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBDiamond.h"
#include "shapes/LBGear.h"
#include "shapes/LBImage.h"
#include "shapes/LBLine.h"
#include "shapes/LBOneRoundCorner.h"
#include "shapes/LBPolygon.h"
#include "shapes/LBRectangle.h"
#include "shapes/LBReverseRoundedRect.h"
#include "shapes/LBReverseTwoRoundCorner.h"
#include "shapes/LBRightTriangle.h"
#include "shapes/LBRoundedRect.h"
#include "shapes/LBStar.h"
#include "shapes/LBStarPolygon.h"
#include "shapes/LBThreeRoundCorner.h"
#include "shapes/LBTriangle.h"
#include "shapes/LBTwoRoundCorner.h"
#include "shapes/LBTwoRoundCorner2.h"

#include <QAction>
#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScopeGuard>

#include <cmath>

namespace {

// How far the pointer goes (window pixels) before a press on a graphic becomes a move.
constexpr double kDragThreshold = 3.0;
// How far a Shift move goes along one axis before it keeps to that axis.
constexpr double kAxisLockThreshold = 3.0;

QString graphicTypeName(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("Graphic Type Names"));
}

template <typename T>
bool is(const LBGraphic& graphic)
{
    return dynamic_cast<const T*>(&graphic) != nullptr;
}

} // namespace

// ==== Trackers of this Part ===============================================================

class LBGraphicView::PendingMoveTracker : public LBGraphicView::Tracker
{
public:
    explicit PendingMoveTracker(LBGraphicView& view) : Tracker(view, false) {}
    void step(const TrackingEvent& event) override { _view.mouseDragged(event); }
    void finish(const TrackingEvent&) override {}
};

class LBGraphicView::RubberbandTracker : public LBGraphicView::Tracker
{
public:
    RubberbandTracker(LBGraphicView& view, const TrackingEvent& press)
        : Tracker(view, true), _anchor(press.point)
    {
        view._gvFlags.rubberbandIsDeselecting = press.modifiers.testFlag(Qt::AltModifier);
    }

    void step(const TrackingEvent& event) override
    {
        if (event.point == _anchor) {
            redrawBand();
            _view._rubberbandRect = QRectF();
            _view._rubberbandGraphics.reset();
            return;
        }
        const QRectF r = rectFromPoints(_anchor, event.point);
        if (r == _view._rubberbandRect)
            return;
        redrawBand();
        _view._rubberbandRect = r;
        _view._rubberbandGraphics = _view.graphicsIntersectingRect(r, true);
        redrawBand();
    }

    void finish(const TrackingEvent& event) override
    {
        step(event);
        const QList<LBGraphicPtr> caught =
            _view._rubberbandGraphics.value_or(QList<LBGraphicPtr>());
        for (const LBGraphicPtr& graphic : caught) {
            _view.setUndoActionName(QStringLiteral("Selection Change"));
            if (_view._gvFlags.rubberbandIsDeselecting)
                _view.deselectGraphic(graphic);
            else
                _view.selectGraphic(graphic);
        }
        redrawBand();
        _view._rubberbandRect = QRectF();
        _view._rubberbandGraphics.reset();
        endUndoGrouping();
    }

private:
    void redrawBand()
    {
        _view.setNeedsDisplayInRect(_view._rubberbandRect);
        if (_view._rubberbandGraphics)
            _view.invalidateGraphics(*_view._rubberbandGraphics);
    }

    QPointF _anchor;
};

// The page point under the pointer stays under it.
class LBGraphicView::HandScrollTracker : public LBGraphicView::Tracker
{
public:
    HandScrollTracker(LBGraphicView& view, const TrackingEvent& press)
        : Tracker(view, false),
          _start(press.globalPoint),
          _visibleOrigin(view.visibleRect().topLeft())
    {}

    void step(const TrackingEvent& event) override
    {
        const QPointF moved(std::trunc(event.globalPoint.x() - _start.x()),
                            std::trunc(event.globalPoint.y() - _start.y()));
        if (moved == _lastMove)
            return;
        _lastMove = moved;
        _view.scrollPoint(_visibleOrigin - moved / _view.zoomFactor());
    }

    void finish(const TrackingEvent& event) override
    {
        step(event);
        _view.unsetCursor();
    }

private:
    QPointF _start;
    QPointF _visibleOrigin;
    QPointF _lastMove;
};

// ==== Events ==============================================================================

LBGraphicView::TrackingEvent LBGraphicView::trackingEvent(const QMouseEvent* event) const
{
    if (!event)
        return {};
    return {convertFromWidget(event->position()), event->globalPosition(), event->modifiers()};
}

void LBGraphicView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    mouseDown(event, 1);
}

void LBGraphicView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    mouseDown(event, 2);
}

void LBGraphicView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() == Qt::NoButton)
        updateCursorFromZones(convertFromWidget(event->position()));
    if (_tracker && event->buttons().testFlag(Qt::LeftButton))
        _tracker->step(trackingEvent(event));
}

void LBGraphicView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    finishTracking(event);
    _downEvent.reset();
    _cropDrag.reset();
}

void LBGraphicView::finishTracking(QMouseEvent* event)
{
    // The tracker is done before its after-work runs, so that work may start another.
    if (std::unique_ptr<Tracker> tracker = std::move(_tracker))
        tracker->finish(trackingEvent(event));
}

void LBGraphicView::mouseDown(QMouseEvent* event, int clickCount)
{
    _tracker.reset();
    _downEvent.reset();
    LBDocument* doc = document();
    if (!_windowController || !doc)
        return;
    if (!selectedLayerIsVisible())
        return;
    platform::NotificationCenter::defaultCenter().post(LBMouseDownInGraphicViewNotification, this);
    const QPointF p = convertFromWidget(event->position());

    if (clickCount >= 2 && !_windowController->textMode()) {
        if (_windowController->bezierMode()) {
            finishBezierCurve();
            return;
        }
        const LBGraphicPtr g = graphicUnderPoint(p, false);
        if (g && g->isPlaceholder() && !g->isTextBox()) {
            const QString type = g->placeholderTypeString();
            platform::NotificationCenter::defaultCenter().post(
                LBPlaceholderDoubleClicked, this,
                {{QStringLiteral("placeholderTypeStr"),
                  type.isNull() ? QStringLiteral("Photo") : type}});
            return;
        }
        if (g) {
            if (g->isEditable() && !g->isGrouped()) {
                startEditingGraphic(g, event, false);
                _downEvent.reset();
            } else if (QMenu* menu = buildMenuOfGraphicsUnderPoint(p)) {
                popUpMenu(menu, p);
            }
            return;
        }
        if ((doc->hasBackgroundPlaceholder(_pageIndex)
             && doc->drawBackgroundPlaceholder(_pageIndex))
            || doc->backgroundImage(_pageIndex))
            platform::NotificationCenter::defaultCenter().post(
                LBPlaceholderDoubleClicked, this,
                {{QStringLiteral("placeholderTypeStr"), QStringLiteral("Paper")}});
        return;
    }

    if (_windowController->textMode()) {
        LBGraphic* edited = _editingGraphic;
        const LBGraphicPtr hit = graphicUnderPoint(p, false);
        if (edited && hit.get() == edited) {
            if (auto* box = dynamic_cast<LBTextArea*>(edited); box && box->textEditor()) {
                const qsizetype length = box->contents() ? box->contents()->length() : 0;
                box->textEditor()->setSelectedRange(platform::Range(length, 0));
                box->textEditor()->setFocus();
            }
            return;
        }
        endEditing();
        clearSelection();
        invalidateGraphic(edited);
        platform::NotificationCenter::defaultCenter().post(LBStopEditingTextDuringDrag, this);
        selectAndTrackMouseWithEvent(event);
        return;
    }

    if (_windowController->bezierMode()) {
        trackBezierMouseWithEvent(event);
        return;
    }
    selectAndTrackMouseWithEvent(event);
}

void LBGraphicView::selectAndTrackMouseWithEvent(QMouseEvent* event)
{
    if (_spaceKeyIsDown) {
        _spaceKeyIsDown = false;
        setCursor(Qt::ClosedHandCursor);
        handDragWithEvent(event);
        return;
    }
    const QPointF p = convertFromWidget(event->position());
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);
    const LBGraphicPtr g = graphicUnderPoint(p, false);
    const bool wasSelected = g && graphicIsSelected(g.get());
    // A press on the tab of the selected address box opens its menu and nothing else.
    if (textTabUnderPoint(p))
        return;

    // In crop mode a press on the photo or its crop graphic keeps the crop going while the
    // rest of the selection clears; a press anywhere else ends it.
    if (!shift && !wasSelected) {
        _keepCropOnSelection =
            _imageGraphicForCrop && g && (g == _imageGraphicForCrop || g == _shapeGraphicForCrop);
        clearSelection();
        _keepCropOnSelection = false;
    }
    if (!g) {
        rubberbandSelectWithEvent(event);
        return;
    }
    const bool resetModifiers = modifiers.testFlag(Qt::ControlModifier);
    const bool locked = g->locked();
    auto* curve = dynamic_cast<LBCurvedLine*>(g.get());

    // A curve's handle or point, or a resize handle: each starts its own drag.
    const auto trackedCurvePart = [&](bool clearPointSelection) {
        if (!curve)
            return false;
        const auto shared = std::static_pointer_cast<LBCurvedLine>(g);
        bool first = false;
        if (const qsizetype m = curve->modifierPointUnderPoint(p, &first); m >= 0) {
            curve->selectModifier(first ? 0 : 1);
            trackBezierModifierPointAtIndex(m, first, shared, event);
            return true;
        }
        if (const qsizetype c = curve->controlPointUnderPoint(p); c >= 0) {
            const bool pointWasSelected = curve->selectedControlPoints().contains(c);
            curve->selectControlPointAtIndex(c, clearPointSelection, resetModifiers);
            trackBezierControlPointAtIndex(c, shared, event, pointWasSelected);
            return true;
        }
        return false;
    };
    const auto trackedHandle = [&] {
        const LBGraphicPtr owner = g->isGrouped() ? groupParentOfGraphic(g.get(), true) : g;
        const qint64 knob = owner ? owner->knobUnderPoint(p) : 0;
        if (knob == 0)
            return false;
        trackKnob(knob, owner, event);
        return true;
    };

    bool selected = true;
    if (shift) {
        if (!wasSelected) {
            setUndoActionName(QStringLiteral("Selection Change"));
            selectGraphic(g);
        } else {
            if (trackedCurvePart(false) || trackedHandle())
                return;
            setUndoActionName(QStringLiteral("Selection Change"));
            deselectGraphic(g);
            selected = false;
        }
    } else if (wasSelected) {
        if ((!locked && trackedCurvePart(true)) || trackedHandle())
            return;
    } else {
        setUndoActionName(QStringLiteral("Selection Change"));
        selectGraphic(g);
    }

    // A press on a merge field's run opens its menu (or the counter sheet) and ends there.
    if (!shift && handleFieldClick(g, p))
        return;

    if (locked) {
        rubberbandSelectWithEvent(event);
    } else if (selected) {
        _downEvent.reset(event->clone());
        _tracker = std::make_unique<PendingMoveTracker>(*this);
    } else {
        _tracker = std::make_unique<SwallowTracker>(*this);
    }
}

void LBGraphicView::rubberbandSelectWithEvent(QMouseEvent* event)
{
    _tracker = std::make_unique<RubberbandTracker>(*this, trackingEvent(event));
}

void LBGraphicView::handDragWithEvent(QMouseEvent* event)
{
    _tracker = std::make_unique<HandScrollTracker>(*this, trackingEvent(event));
}

// ==== Moving: the canvas drags its selection onto itself ==================================

void LBGraphicView::mouseDragged(const TrackingEvent& event)
{
    if (!_downEvent)
        return;
    const QPointF down = _downEvent->globalPosition();
    if (!_cropDrag && std::abs(event.globalPoint.x() - down.x()) <= kDragThreshold
        && std::abs(event.globalPoint.y() - down.y()) <= kDragThreshold)
        return;

    // In crop mode the photo or its crop graphic alone moves with the pointer, no drag.
    const QList<LBGraphicPtr> ordered = orderedSelectedGraphics();
    if (_imageGraphicForCrop && ordered.size() == 1
        && (ordered.first() == _imageGraphicForCrop || ordered.first() == _shapeGraphicForCrop)) {
        const LBGraphicPtr& g = ordered.first();
        if (!_cropDrag)
            _cropDrag.emplace(convertFromWidget(_downEvent->position()), g->bounds());
        invalidateGraphic(g.get());
        g->setBounds(QRectF(_cropDrag->second.topLeft() + (event.point - _cropDrag->first),
                            g->bounds().size()));
        invalidateGraphic(g.get());
        return;
    }

    // The whole move, copies included, is one undo step of its own.
    platform::UndoManager* undo = undoManager();
    int stepsBefore = 0;
    if (undo) {
        undo->endAutomaticGroup();
        stepsBefore = undo->undoCount();
        undo->beginUndoGrouping();
    }
    _dragOriginatedInThisView = true;
    _gvFlags.knobsHidden = true;
    orderOutInspectorWindow();
    setDraggingOut(true);

    const std::unique_ptr<QMouseEvent> press = std::move(_downEvent);
    _dragDroppedHere = false;
    startDrag(press.get());

    _downEvent.reset();
    _dragOriginatedInThisView = false;
    _gvFlags.knobsHidden = false;
    invalidateGraphics(selectedGraphics(false));
    updateInspectorFromCanvas();
    setUndoActionName(QStringLiteral("Move"));
    setDraggingOut(false);
    if (undo)
        undo->endUndoGrouping();
    // Dropped elsewhere (a library, another window) or given up: the graphics followed the
    // pointer to the canvas's edge, and go back where they were; the drop copied them.
    // Only the drag's own step goes: a drag that moved nothing made none.
    if (!_dragDroppedHere && undo && undo->undoCount() > stepsBefore) {
        undo->undo();
        updateInspectorFromCanvas();
    }
}

void LBGraphicView::startDrag(QMouseEvent* event)
{
    LBDocument* doc = document();
    QList<LBGraphicPtr> dragged = orderedSelectedGraphics();
    if (!doc || dragged.isEmpty())
        return;

    if (event->modifiers().testFlag(Qt::AltModifier)) {
        // Copies are moved, in front of everything, in the same order among themselves.
        QList<LBGraphicPtr> copies;
        for (qsizetype i = dragged.size() - 1; i >= 0; --i) {
            const LBGraphicPtr& original = dragged.at(i);
            LBGraphicPtr copy = copyForThisPage(*original);
            doc->insertGraphic(copy, 0, selectedLayerIndex(), _pageIndex);
            copies.prepend(copy);
        }
        clearSelection();
        for (qsizetype i = copies.size() - 1; i >= 0; --i)
            selectGraphic(copies.at(i));
        dragged = copies;
        _dragCopies = copies;
    }
    const auto forgetCopies = qScopeGuard([this] { _dragCopies.clear(); });

    _selBounds = LBDocument::boundsForGraphics(dragged);
    _selShadowBounds = LBDocument::shadowBoundsForGraphics(dragged);
    _lastPoint = _origPoint = convertFromWidget(event->position());
    _selOriginOffset = _lastPoint - _selBounds.topLeft();
    _constrainedH = _constrainedV = false;
    if (rulersVisible())
        beginEchoingMoveToRulers(_selBounds);

    // The image: a frame of the selection's size, half transparent.
    const double z = zoomFactor();
    const QSize size(int(std::trunc(z * _selBounds.width())) + 1,
                     int(std::trunc(z * _selBounds.height())) + 1);
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setOpacity(0.5);
        const QRectF frame(0.0, 0.0, z * _selBounds.width(), z * _selBounds.height());
        const QColor color = QColor::fromRgbF(0.45f, 0.45f, 0.45f);
        painter.fillRect(QRectF(frame.left(), frame.top(), frame.width(), 1.0), color);
        painter.fillRect(QRectF(frame.left(), frame.bottom() - 1.0, frame.width(), 1.0), color);
        painter.fillRect(QRectF(frame.left(), frame.top() + 1.0, 1.0, frame.height() - 2.0), color);
        painter.fillRect(QRectF(frame.right() - 1.0, frame.top() + 1.0, 1.0, frame.height() - 2.0),
                         color);
    }

    platform::Drag drag(this);
    const QString& printLine = LBPrintLinePboardType;
    drag.pasteboard().declareTypes({printLine, platform::TIFFPboardType});
    drag.pasteboard().setData(LBDocument::dataForGraphics(dragged), printLine);
    if (dragged.size() == 1)
        drag.pasteboard().setData(LBDocument::TIFFRepresentationForGraphics(dragged),
                                  platform::TIFFPboardType);
    // The image covers the selection's bounds; the pointer holds it where it pressed.
    const QPointF imageTopLeft = convertToWidget(_selBounds.topLeft());
    drag.setImage(image, (event->position() - imageTopLeft).toPoint());
    drag.exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
}

void LBGraphicView::performMoveLoop(const QPointF& point, Qt::KeyboardModifiers modifiers)
{
    const double spacing = gridSpacing();
    const double s = snapsToGrid() && spacing > 0.0 ? spacing : 1.0;
    QPointF p = point;
    if (p.x() == -1.0) {
        p = convertFromWidget(mapFromGlobal(QCursor::pos()));
        modifiers = QGuiApplication::queryKeyboardModifiers();
    }
    if (modifiers.testFlag(Qt::ShiftModifier)) {
        const double dx = std::abs(p.x() - _origPoint.x());
        const double dy = std::abs(p.y() - _origPoint.y());
        if (_constrainedH && dx < kAxisLockThreshold)
            _constrainedH = false;
        if (_constrainedV && dy < kAxisLockThreshold)
            _constrainedV = false;
        if (!_constrainedH && !_constrainedV) {
            if (dx >= dy && dx >= kAxisLockThreshold)
                _constrainedH = true;
            else if (dy > dx && dy >= kAxisLockThreshold)
                _constrainedV = true;
        }
        if (_constrainedH)
            p.setY(_origPoint.y());
        if (_constrainedV)
            p.setX(_origPoint.x());
    } else {
        _constrainedH = _constrainedV = false;
    }

    const QPointF O = _visiblePageRect.topLeft();
    const QPointF& off = _selOriginOffset;
    const QPointF t(off.x() + O.x() + s * std::floor((p.x() - off.x() - O.x()) / s + 0.5),
                    off.y() + O.y() + s * std::floor((p.y() - off.y() - O.y()) / s + 0.5));
    if (t != _lastPoint) {
        const QPointF delta = t - _lastPoint;
        for (const LBGraphicPtr& graphic : selectedGraphics(false)) {
            invalidateGraphic(graphic.get());
            graphic->moveBy(delta);
            invalidateGraphic(graphic.get());
            platform::NotificationCenter::defaultCenter().post(LBDraggingGraphicNotification,
                                                               graphic.get());
        }
        if (rulersVisible())
            continueEchoingMoveToRulers(QRectF(t - off, _selBounds.size()));
    }
    _lastPoint = t;
}

// ==== The menu of graphics under a point ==================================================

QList<LBGraphicView::MenuEntry> LBGraphicView::graphicsMenuEntries(const QPointF& point)
{
    QList<MenuEntry> entries;
    const LBDocument::Layer* layer = selectedLayer();
    if (!layer)
        return entries;
    QList<const LBGraphic*> listed;
    const LBDocument::Layer graphicsOfLayer = *layer;
    for (const LBGraphicPtr& g : graphicsOfLayer) {
        if (listed.contains(g.get()))
            continue;
        const QRectF b =
            g->groupedChildrenCount() > 0 ? g->groupDrawingBounds() : g->drawingBounds();
        if (!platform::pointInRect(point, b)
            || !g->hitTest(point, graphicIsSelected(g.get()), _shapeGraphicForCrop.get()))
            continue;
        if (!g->isGrouped()) {
            entries.append({g, MenuEntry::Single});
            continue;
        }
        entries.append({g, MenuEntry::Group});
        const LBGraphicPtr parent = groupParentOfGraphic(g.get(), true);
        for (const LBGraphicPtr& member : parent ? groupMembers(parent) : QList<LBGraphicPtr>{g}) {
            entries.append({member, MenuEntry::Member});
            listed.append(member.get());
        }
    }
    return entries;
}

QMenu* LBGraphicView::buildMenuOfGraphicsUnderPoint(const QPointF& point)
{
    _hitGraphicsMenuPoint = point;
    const QList<MenuEntry> entries = graphicsMenuEntries(point);
    if (entries.size() < 2)
        return nullptr;
    auto* menu = new QMenu(QStringLiteral("Contextual Menu"));
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const MenuEntry& entry = entries.at(i);
        const QString title = entry.kind == MenuEntry::Group ? graphicTypeName("GROUP")
                              : entry.kind == MenuEntry::Member
                                  ? QStringLiteral("   ") + nameForGraphic(*entry.graphic)
                                  : nameForGraphic(*entry.graphic);
        QAction* item = menu->addAction(title);
        item->setData(qint64(i));
        connect(item, &QAction::triggered, this, [this, item] { hitGraphicsMenuAction(item); });
    }
    return menu;
}

void LBGraphicView::popUpMenu(QMenu* menu, const QPointF& atPoint)
{
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(mapToGlobal(convertToWidget(atPoint)).toPoint());
}

void LBGraphicView::hitGraphicsMenuAction(QAction* item)
{
    if (!item)
        return;
    const qsizetype index = item->data().toLongLong();
    const QList<MenuEntry> entries = graphicsMenuEntries(_hitGraphicsMenuPoint);
    if (index < 0 || index >= entries.size())
        return;
    const MenuEntry& entry = entries.at(index);
    clearSelection();
    selectGraphic(entry.graphic);
    if (entry.kind == MenuEntry::Member)
        selectSubGraphicInGroup(entry.graphic);
}

void LBGraphicView::selectSubGraphicInGroup(const LBGraphicPtr& graphic)
{
    ungroup(nullptr);
    // The pending list is kept only once the selection is clear: clearing it with the list
    // pending would group the members again at once.
    const QList<LBGraphicPtr> members = selectedGraphics(true);
    clearSelection();
    _graphicsToRegroup = members;
    selectGraphic2(graphic);
}

QString LBGraphicView::nameForGraphic(const LBGraphic& graphic)
{
    if (graphic.isPlaceholder())
        return graphicTypeName(graphic.isTextBox() ? "Text Placeholder" : "Image Placeholder");
    if (is<LBImage>(graphic))
        return graphicTypeName("Image");
    if (graphic.isTextBox())
        return graphicTypeName("Text Box");
    if (graphic.isShapeWithText())
        return graphicTypeName("Shape + Text");
    if (is<LBRectangle>(graphic))
        return graphicTypeName("Rectangle");
    if (is<LBCircle>(graphic))
        return graphicTypeName("Circle");
    if (is<LBTriangle>(graphic) || is<LBRightTriangle>(graphic))
        return graphicTypeName("Triangle");
    if (is<LBArrow>(graphic) || is<LBArrowHead>(graphic))
        return graphicTypeName("Arrow");
    if (is<LBOneRoundCorner>(graphic))
        return graphicTypeName("One Round Corner Rectangle");
    if (is<LBTwoRoundCorner>(graphic) || is<LBTwoRoundCorner2>(graphic))
        return graphicTypeName("Two Round Corner Rectangle");
    if (is<LBThreeRoundCorner>(graphic))
        return graphicTypeName("Three Round Corner Rectangle");
    if (is<LBReverseTwoRoundCorner>(graphic))
        return graphicTypeName("Reverse Two Round Corner Rectangle");
    if (is<LBReverseRoundedRect>(graphic))
        return graphicTypeName("Reverse Rounded Rectangle");
    if (is<LBRoundedRect>(graphic))
        return graphicTypeName("Rounded Rectangle");
    if (is<LBDiamond>(graphic))
        return graphicTypeName("Diamond");
    if (is<LBPolygon>(graphic))
        return graphicTypeName("Polygon");
    if (is<LBStar>(graphic))
        return graphicTypeName("Star");
    if (is<LBCurvedLine>(graphic))
        return graphicTypeName("Bezier Shape");
    if (is<LBStarPolygon>(graphic))
        return graphicTypeName("Starburst");
    if (is<LBCloud>(graphic))
        return graphicTypeName("Cloud");
    if (is<LBCross>(graphic))
        return graphicTypeName("Cross");
    if (is<LBGear>(graphic))
        return graphicTypeName("Gear");
    if (is<LBLine>(graphic))
        return graphicTypeName("Line");
    return graphicTypeName("Shape");
}
