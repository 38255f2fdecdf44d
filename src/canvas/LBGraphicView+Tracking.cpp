// Handle tracking: resizing by a resize knob (a multi-selection as one temporary group),
// rotating with Ctrl held at the press, moving a shape's modifier knob or an effect's
// location knob, dragging a curve's points and handles, drawing a curve click by click,
// and the status window shown meanwhile. Each drag is one undo step, named at its end.

#include "canvas/LBGraphicView.h"

#include "canvas/LBGraphicViewTracker.h"
#include "graphics/CurveStatusWindow.h"
#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "shapes/LBCurvedLine.h"

#include <QMouseEvent>
#include <QTransform>

#include <cmath>
#include <numbers>

namespace {

// Stands for no minimum size, and for an angle not known yet.
constexpr double kNone = 65535.0;

// The point of a rectangle that stays put while knob k moves (its centre for other knobs).
// The rectangle may have a negative side in the middle of a drag.
QPointF anchorPoint(const QRectF& r, qint64 knob)
{
    const double x = r.x();
    const double y = r.y();
    const double w = r.width();
    const double h = r.height();
    switch (knob) {
    case 1: return {x + w, y + h};
    case 2: return {x + w / 2.0, y + h};
    case 3: return {x, y + h};
    case 4: return {x + w, y + h / 2.0};
    case 5: return {x, y + h / 2.0};
    case 6: return {x + w, y};
    case 7: return {x + w / 2.0, y};
    case 8: return {x, y};
    default: return {x + w / 2.0, y + h / 2.0};
    }
}

QPointF centerOf(const QRectF& r)
{
    return {r.x() + r.width() / 2.0, r.y() + r.height() / 2.0};
}

// The pointer on the grid measured from the page origin (whole points without snapping).
QPointF roundedToGrid(const QPointF& p, const QPointF& origin, double step)
{
    return {origin.x() + step * std::floor((p.x() - origin.x()) / step + 0.5),
            origin.y() + step * std::floor((p.y() - origin.y()) / step + 0.5)};
}

// Shift: the pointer keeps to the axis it moved most along since the press.
QPointF lockedToAxis(QPointF p, const QPointF& start)
{
    if (std::abs(p.x() - start.x()) > std::abs(p.y() - start.y()))
        p.setY(start.y());
    else
        p.setX(start.x());
    return p;
}

} // namespace

// ==== The handle loop =====================================================================

class LBGraphicView::KnobTracker : public LBGraphicView::Tracker
{
public:
    KnobTracker(LBGraphicView& view, qint64 knob, const LBGraphicPtr& graphic,
                const TrackingEvent& press)
        : Tracker(view, true), _knob(knob)
    {
        _gridStep = view.snapsToGrid() && view.gridSpacing() > 0.0 ? view.gridSpacing() : 1.0;
        _rulers = view.rulersVisible();
        _target = graphic;
        _pre = graphic->bounds();

        const QList<LBGraphicPtr> selection = view.selectedGraphics(true);
        const bool anyGrouped = std::any_of(selection.cbegin(), selection.cend(),
                                            [](const LBGraphicPtr& g) { return g->isGrouped(); });
        if (selection.size() >= 2 && !anyGrouped) {
            // The selection resizes as one group for the drag; the graphic in front leads.
            qsizetype lowest = view.indexInSelectedLayer(graphic.get());
            for (const LBGraphicPtr& g : selection) {
                const qsizetype index = view.indexInSelectedLayer(g.get());
                if (index >= 0 && (lowest < 0 || index < lowest)) {
                    lowest = index;
                    _target = g;
                }
            }
            if (const LBDocument::Layer* layer = view.selectedLayer())
                _layerOrder = *layer;
            view.group(nullptr);
            _temporaryGroup = true;
        }

        _target->startBoundsManipulation();
        if (_target->groupedChildrenCount() > 0) {
            _pre = _target->groupBounds();
            _children = view.groupMembers(_target);
            _children.removeFirst();
            for (const LBGraphicPtr& child : std::as_const(_children))
                child->startBoundsManipulation();
            _rotatedGroup =
                _target->rotation() != 0.0 || _target->groupRotation() != 0.0
                || std::any_of(_children.cbegin(), _children.cend(),
                               [](const LBGraphicPtr& g) { return g->rotation() != 0.0; });
        }
        if (_rulers)
            view.beginEchoingMoveToRulers(_target->rotatedBounds());

        _rotating = press.modifiers.testFlag(Qt::ControlModifier);
        if (_knob >= 1 && _knob <= 8)
            LBGraphicView::orderOutInspectorWindow();
        if (_knob >= 12 && _knob <= 15 && _target->effectLocationKnobType() != 3)
            _target->saveOriginalEffectLocations();
    }

    void step(const TrackingEvent& event) override
    {
        invalidateAll();
        const QPointF q = roundedToGrid(event.point, _view._visiblePageRect.topLeft(), _gridStep);
        bool centre = event.modifiers.testFlag(Qt::AltModifier);
        if (const auto* box = dynamic_cast<const LBTextArea*>(_target.get());
            box && box->isTextBox() && box->isCurved())
            centre = true;
        bool constrain = _target->constrainProportions();
        if (_rotating || _knob == 9 || _knob == 10 || (_knob >= 12 && _knob <= 15))
            constrain = false;
        if (event.modifiers.testFlag(Qt::ShiftModifier))
            constrain = true;
        if (_rotatedGroup && !_rotating && _knob != 9 && _knob != 10)
            constrain = true;
        const bool resetStaticPoint = !centre && _centreBefore;
        _centreBefore = centre;

        if (_rotating) {
            _angle = _view.rotateGraphic(_target.get(), _knob, q, _angle, constrain);
        } else if (_knob >= 1 && _knob <= 8) {
            QSizeF minimum(kNone, kNone);
            if (_target->isGrouped())
                minimum = QSizeF(0.1, 0.1);
            else if (_target->isTextBox())
                minimum = LBTextArea::minSize();
            _knob = _view.resizeGraphic(_target.get(), _knob, q, &_pre, constrain, centre,
                                        resetStaticPoint, minimum);
        } else if (_knob == 9 || _knob == 10) {
            _knob = _target->moveModifierKnob(_knob, _target->unrotatedPoint(q, false), constrain);
        } else if (_knob >= 12 && _knob <= 15) {
            _knob = _target->moveEffectKnob(_knob, _target->unrotatedPoint(q, false), constrain);
        }

        invalidateAll();
        if (_rulers)
            _view.continueEchoingMoveToRulers(_target->rotatedBounds());
        platform::NotificationCenter::defaultCenter().post(LBDraggingGraphicNotification,
                                                           _target.get());
    }

    void finish(const TrackingEvent& event) override
    {
        step(event);
        if (_rulers)
            _view.stopEchoingMoveToRulers();
        _target->stopBoundsManipulation();
        if (_knob >= 1 && _knob <= 8)
            _view.updateInspectorFromCanvas();
        for (const LBGraphicPtr& child : std::as_const(_children))
            child->stopBoundsManipulation();
        if (_temporaryGroup)
            dissolveTemporaryGroup();

        if (_knob == 9 || _knob == 10)
            _view.setUndoActionName(QStringLiteral("Modify Shape"));
        else if (_target->effectLocationKnobType() == 2)
            _view.setUndoActionName(QStringLiteral("Perspective Change"));
        else if (_target->effectLocationKnobType() == 1)
            _view.setUndoActionName(QStringLiteral("Effect Location"));
        else if (_rotating)
            _view.setUndoActionName(QStringLiteral("Rotate"));
        else
            _view.setUndoActionName(QStringLiteral("Resize"));
        endUndoGrouping();
    }

private:
    void invalidateAll()
    {
        _view.invalidateGraphic(_target.get());
        for (const LBGraphicPtr& child : std::as_const(_children))
            _view.invalidateGraphic(child.get());
    }

    // Ungroups the temporary group and puts every graphic of the layer back where it stood,
    // so the resize leaves the stacking as it was.
    void dissolveTemporaryGroup()
    {
        _view.ungroup(nullptr);
        LBDocument* doc = _view.document();
        if (!doc)
            return;
        const qint64 layer = _view.selectedLayerIndex();
        for (qsizetype i = 0; i < _layerOrder.size(); ++i)
            doc->moveGraphic(_layerOrder.at(i), i, layer, _view._pageIndex);
    }

    qint64 _knob;
    LBGraphicPtr _target;
    QList<LBGraphicPtr> _children;
    QRectF _pre;
    double _gridStep = 1.0;
    double _angle = kNone;
    bool _rotating = false;
    bool _centreBefore = false;
    bool _rotatedGroup = false;
    bool _temporaryGroup = false;
    bool _rulers = false;
    LBDocument::Layer _layerOrder;
};

void LBGraphicView::trackKnob(qint64 knob, const LBGraphicPtr& graphic, QMouseEvent* event)
{
    if (!graphic || graphic->locked()) {
        _tracker = std::make_unique<SwallowTracker>(*this);
        return;
    }
    _tracker = std::make_unique<KnobTracker>(*this, knob, graphic, trackingEvent(event));
}

// ==== One resize step =====================================================================

qint64 LBGraphicView::resizeGraphic(LBGraphic* g, qint64 k, const QPointF& q,
                                    QRectF* preResizeBounds, bool constrain, bool centre,
                                    bool reset, const QSizeF& minimum)
{
    if (k < 1 || k > 8)
        return k;
    QRectF& P = *preResizeBounds;
    const bool grouped = g->isGrouped();
    const QRectF Q = grouped ? g->groupBounds() : g->bounds();
    const double r = P.width() / P.height();
    const double f = centre ? 2.0 : 1.0;
    const QPointF u = g->unrotatedPoint(q, P, grouped);

    const QPointF A = reset ? anchorPoint(P, k) : centre ? centerOf(P) : anchorPoint(Q, k);
    const QPointF anchorOnScreen = g->rotatedPoint(A, grouped);

    double dw = 0.0;
    double dh = 0.0;
    const bool left = k == 1 || k == 4 || k == 6;
    const bool right = k == 3 || k == 5 || k == 8;
    const bool top = k == 1 || k == 2 || k == 3;
    const bool bottom = k == 6 || k == 7 || k == 8;
    if (left)
        dw = P.x() - u.x();
    if (right)
        dw = u.x() - (P.x() + P.width());
    if (top)
        dh = P.y() - u.y();
    if (bottom)
        dh = u.y() - (P.y() + P.height());
    dw *= f;
    dh *= f;
    if (minimum.width() != kNone && P.width() + dw < minimum.width())
        dw = minimum.width() - P.width();
    if (minimum.height() != kNone && P.height() + dh < minimum.height())
        dh = minimum.height() - P.height();

    double W = P.width() + dw;
    double H = P.height() + dh;
    double x = centre ? P.x() - dw / 2.0 : (left ? P.x() - dw : P.x());
    double y = centre ? P.y() - dh / 2.0 : (top ? P.y() - dh : P.y());

    if (constrain) {
        const double oldW = W;
        if (k == 1 || k == 3 || k == 6 || k == 8) {
            if (W / H < r)
                H = W / r;
            if (W / H > r)
                W = r * H;
        } else if (k == 2 || k == 7) {
            W = r * H;
        } else {
            H = W / r;
        }
        if (k == 1 || k == 6)
            x = x + oldW - W;
        else if (k == 2 || k == 7)
            x = P.x() + P.width() - W;
        if (k == 1 || k == 3 || k == 4 || k == 5)
            y = P.y() + P.height() - H;
    }

    // The anchor keeps its place on screen, also for a turned graphic.
    QRectF N(x, y, W, H);
    const QPointF ownAnchor = centre ? centerOf(N) : anchorPoint(N, k);
    const QPointF turned =
        centre ? g->rotatedPoint(ownAnchor, grouped) : g->rotatedPoint(ownAnchor, N, grouped);
    N.translate(anchorOnScreen - turned);

    if (!grouped) {
        if (W < 0.0) {
            P.moveLeft(left ? P.x() + P.width() : P.x() - P.width());
            k = LBGraphic::flipKnob(k, true);
            N = QRectF(N.x() + N.width(), N.y(), -N.width(), N.height());
            g->flipHorizontally();
        }
        if (H < 0.0) {
            const bool topNow = k == 1 || k == 2 || k == 3;
            P.moveTop(topNow ? P.y() + P.height() : P.y() - P.height());
            k = LBGraphic::flipKnob(k, false);
            N = QRectF(N.x(), N.y() + N.height(), N.width(), -N.height());
            g->flipVertically();
        }
        g->setBounds(N);
        return k;
    }

    // A group: every member scales with the group's rectangle.
    const double sx = N.width() / Q.width();
    const double sy = N.height() / Q.height();
    for (const LBGraphicPtr& member : groupLedBy(g)) {
        const QRectF b = member->bounds();
        const QPointF origin(N.x() + (b.x() - Q.x()) * sx, N.y() + (b.y() - Q.y()) * sy);
        if (auto* text = dynamic_cast<LBTextArea*>(member.get()))
            text->scaleOtherSettingsByFactor(sx);
        member->setBounds(QRectF(origin, QSizeF(b.width() * sx, b.height() * sy)));
        member->setGroupBounds(N);
    }
    g->setGroupBounds(N);
    return k;
}

// ==== One rotation step ===================================================================

double LBGraphicView::rotateGraphic(LBGraphic* g, qint64 knob, const QPointF& q, double a0,
                                    bool snap)
{
    Q_UNUSED(knob);
    const bool grouped = g->isGrouped();
    const QRectF B = grouped ? g->groupBounds() : g->bounds();
    const QPointF K = B.center();
    const QPointF u = g->unrotatedPoint(q, grouped);
    const double dx = u.x() - K.x();
    const double dy = u.y() - K.y();
    const double toDegrees = 180.0 / std::numbers::pi;
    double a;
    if (dx == 0.0)
        a = dy > 0.0 ? 180.0 : 0.0;
    else if (dy == 0.0)
        a = dx >= 0.0 ? 90.0 : 270.0;
    else if (dx > 0.0 && dy < 0.0)
        a = std::atan(dx / -dy) * toDegrees;
    else if (dx > 0.0)
        a = std::atan(dy / dx) * toDegrees + 90.0;
    else if (dy > 0.0)
        a = std::atan(-dx / dy) * toDegrees + 180.0;
    else
        a = std::atan(dy / dx) * toDegrees + 270.0;

    if (a0 == kNone)
        a0 = a;
    double v = (a - a0) + (grouped ? g->groupRotation() : g->rotation());
    if (v < 0.0)
        v += 360.0;
    if (v > 360.0)
        v -= 360.0;
    if (snap) {
        const double nearest = 45.0 * std::round(v / 45.0);
        if (std::abs(v - nearest) < 22.5)
            v = nearest >= 360.0 ? 0.0 : nearest;
    }
    v = std::trunc(v);
    if (grouped)
        setRotation(v, g);
    else
        g->setRotation(v);
    for (InspectorPalette* palette : LBProcessState::allInspectorPalettes())
        palette->updateRotateFlipTools();
    return a0;
}

void LBGraphicView::setRotation(double rotation, LBGraphic* parent)
{
    if (!parent)
        return;
    const QTransform turn = LBGraphic::rotationAbout(parent->groupBounds().center(),
                                                     rotation - parent->groupRotation());
    for (const LBGraphicPtr& member : groupLedBy(parent)) {
        const QRectF b = member->bounds();
        member->setBounds(b.translated(turn.map(b.center()) - b.center()));
        member->setGroupRotation(rotation);
    }
}

void LBGraphicView::flipHorizontally(bool horizontally, LBGraphic* parent)
{
    if (!parent)
        return;
    const QRectF G = parent->groupBounds();
    const double groupRotation = parent->groupRotation();
    for (const LBGraphicPtr& member : groupLedBy(parent)) {
        QRectF b = member->bounds();
        const double rotation = -member->rotation() - groupRotation;
        member->setRotation(rotation);
        if (horizontally) {
            b.moveLeft(G.x() + G.width() - b.width() - (b.x() - G.x()));
            member->setBounds(b);
            member->flipHorizontally();
        } else {
            b.moveTop(G.y() + G.height() - b.height() - (b.y() - G.y()));
            member->setBounds(b);
            member->flipVertically();
        }
        member->setRotation(rotation);
    }
}

// ==== Curve points and handles ============================================================

class LBGraphicView::BezierPointTracker : public LBGraphicView::Tracker
{
public:
    BezierPointTracker(LBGraphicView& view, qsizetype index, std::shared_ptr<LBCurvedLine> curve,
                       const TrackingEvent& press, bool isModifier, bool isFirstModifier)
        : Tracker(view, true),
          _index(index),
          _curve(std::move(curve)),
          _start(press.point),
          _isModifier(isModifier),
          _isFirstModifier(isFirstModifier),
          _threshold(3.0 / view.zoomFactor())
    {
        LBGraphicView::orderOutInspectorWindow();
        _curve->setMovingBezierPoint(true);
    }

    void step(const TrackingEvent& event) override
    {
        QPointF p = event.point;
        _view.invalidateGraphic(_curve.get());
        if (event.modifiers.testFlag(Qt::ShiftModifier))
            p = lockedToAxis(p, _start);
        if (_isModifier) {
            _curve->moveModifier(_isFirstModifier ? 0 : 1, _index, _curve->unrotatedPoint(p, false),
                                 false);
            _moved = true;
        } else {
            if (!_moved && std::abs(p.x() - _start.x()) <= _threshold
                && std::abs(p.y() - _start.y()) <= _threshold)
                return;
            _moved = true;
            if (_curve->rotation() == 0.0)
                p = _view.checkBezierGuidesAtPoint(p, 4.0, _curve.get(), _index);
            _curve->moveControlPointAtIndex(_index, _curve->unrotatedPoint(p, false));
        }
        _view.invalidateGraphic(_curve.get());
    }

    void finish(const TrackingEvent& event) override
    {
        step(event);
        _curve->setMovingBezierPoint(false);
        _view.resetDynamicGuides();
        _view.updateInspectorFromCanvas();
        if (_moved || _isModifier)
            _view.setUndoActionName(QStringLiteral("Move"));
        endUndoGrouping();
    }

private:
    qsizetype _index;
    std::shared_ptr<LBCurvedLine> _curve;
    QPointF _start;
    bool _isModifier;
    bool _isFirstModifier;
    double _threshold;
    bool _moved = false;
};

void LBGraphicView::trackBezierControlPointAtIndex(qsizetype index,
                                                   const std::shared_ptr<LBCurvedLine>& graphic,
                                                   QMouseEvent* event, bool wasSelected)
{
    Q_UNUSED(wasSelected);
    _tracker = std::make_unique<BezierPointTracker>(*this, index, graphic, trackingEvent(event),
                                                    false, false);
}

void LBGraphicView::trackBezierModifierPointAtIndex(qsizetype index, bool isFirstModifier,
                                                    const std::shared_ptr<LBCurvedLine>& graphic,
                                                    QMouseEvent* event)
{
    _tracker = std::make_unique<BezierPointTracker>(*this, index, graphic, trackingEvent(event),
                                                    true, isFirstModifier);
}

// ==== Drawing a curve click by click ======================================================

class LBGraphicView::BezierClickTracker : public LBGraphicView::Tracker
{
public:
    BezierClickTracker(LBGraphicView& view, std::shared_ptr<LBCurvedLine> curve,
                       const TrackingEvent& press)
        : Tracker(view, true), _curve(std::move(curve)), _start(press.point)
    {
        const qsizetype count = _curve->numControlPoints();
        const qsizetype under = _curve->controlPointUnderPoint(_start);
        if (under == 0 && count >= 2) {
            _curve->setClosedPath(true);
        } else if (under == -1 || under == count) {
            _curve->addControlPointAndModifiersAtPoint(_start);
            _curve->selectControlPointAtIndex(_curve->numControlPoints() - 1, true, false);
        }
        _view.invalidateGraphic(_curve.get());
    }

    void step(const TrackingEvent& event) override
    {
        const QPointF p = event.point;
        if (!_dragging && std::abs(p.x() - _start.x()) <= 2.0
            && std::abs(p.y() - _start.y()) <= 2.0)
            return;
        _dragging = true;
        _view.invalidateGraphic(_curve.get());
        if (!_curve->closedPath()) {
            _curve->moveModifier(1, _curve->numControlPoints() - 1, p, true);
        } else {
            _curve->selectControlPointAtIndex(0, true, false);
            const QPointF point = _curve->controlPointAtIndex(0, true);
            const QRectF handles = _curve->modifierRectAtIndex(0, true);
            if (QPointF(handles.width(), handles.height()) == point)
                _curve->moveModifier(0, 0, p, false);
            else
                _curve->moveModifier(1, 0, p, true);
        }
        _view.invalidateGraphic(_curve.get());
    }

    void finish(const TrackingEvent& event) override
    {
        step(event);
        if (_curve->closedPath()) {
            _curve->selectControlPointAtIndex(-1, true, false);
            _view.selectGraphic(_curve);
            _view.setNeedsDisplayInRect(_curve->bezierPathBoundsWithModifierRects(true));
            _view.endBezierMode();
        }
        _view.setUndoActionName(QStringLiteral("Add Point"));
        endUndoGrouping();
    }

private:
    std::shared_ptr<LBCurvedLine> _curve;
    QPointF _start;
    bool _dragging = false;
};

void LBGraphicView::trackBezierMouseWithEvent(QMouseEvent* event)
{
    if (!_editingBezierGraphic) {
        _tracker = std::make_unique<SwallowTracker>(*this);
        return;
    }
    _tracker =
        std::make_unique<BezierClickTracker>(*this, _editingBezierGraphic, trackingEvent(event));
}

void LBGraphicView::endBezierMode()
{
    if (_windowController)
        _windowController->setBezierMode(false);
    setEditingBezierGraphic(nullptr);
}

void LBGraphicView::finishBezierCurve()
{
    const std::shared_ptr<LBCurvedLine> curve = _editingBezierGraphic;
    if (curve) {
        curve->selectControlPointAtIndex(-1, true, false);
        if (curve->numControlPoints() > 1) {
            selectGraphic(curve);
            setNeedsDisplayInRect(curve->bezierPathBoundsWithModifierRects(true));
        } else {
            removeUnfinishedCurve(curve);
        }
    }
    endBezierMode();
}

void LBGraphicView::removeUnfinishedCurve(const std::shared_ptr<LBCurvedLine>& curve)
{
    LBDocument* doc = document();
    platform::UndoManager* undo = undoManager();
    if (!doc || !undo)
        return;
    // Only the curve's own insertion is taken back through undo; when anything came after
    // it, the curve alone goes, and no other step is undone.
    undo->endAutomaticGroup();
    const bool insertionOnTop = _bezierInsertion.curve.lock() == curve && undo->canUndo()
                                && undo->documentState() == _bezierInsertion.state
                                && undo->undoActionName() == _bezierInsertion.actionName;
    _bezierInsertion = {};
    invalidateGraphic(curve.get());
    undo->disableUndoRegistration();
    if (insertionOnTop) {
        undo->undo();
    } else {
        deselectGraphic2(curve);
        LBDocument::Page* page = graphics();
        for (qsizetype l = 0; page && l < page->size(); ++l)
            doc->removeGraphic(curve, l, _pageIndex);
    }
    undo->enableUndoRegistration();
}

void LBGraphicView::setEditingBezierGraphic(const std::shared_ptr<LBCurvedLine>& graphic)
{
    _editingBezierGraphic = graphic;
    _triggerBezierToolCursor = bool(graphic);
    invalidateCursorRects();
    CurveStatusWindow* window = LBProcessState::curveStatusWindow();
    if (!graphic) {
        if (window)
            window->close();
        return;
    }
    if (!window)
        return;
    const QRectF V = visibleRect();
    const double z = graphic->zoomFactor() > 0.0 ? graphic->zoomFactor() : 1.0;
    const QSizeF W = window->frameSize();
    const double x = V.x() + (V.width() - W.width() / z) * 0.5;
    // The window stays clear of the curve: at the bottom of the visible part when the
    // curve's top lies in its upper half, else at the top.
    const double bottom = V.y() + V.height() / 2.0 > graphic->bounds().y() ? V.y() + V.height()
                                                                           : V.y() + W.height() / z;
    const QPointF topLeft(x, bottom - W.height() / z);
    window->showAtScreenPoint(mapToGlobal(convertToWidget(topLeft)).toPoint());
}
