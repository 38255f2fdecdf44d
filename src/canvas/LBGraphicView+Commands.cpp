// The commands that act on the selection as a whole: select all, delete, duplicate, the
// stacking order, alignment, same size, natural size, even distribution, locking, the text
// of shapes and the rulers. Every change goes through the undoable setters of the graphics
// and the document; each command is one undo step, named last.

#include "canvas/LBGraphicView.h"

#include "platform/core/NotificationCenter.h"
#include "platform/ui/RulerView.h"
#include "platform/ui/ScrollView.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBShape.h"

#include <QTimer>

#include <algorithm>

namespace {

// Tags of the menu items that distribute horizontally.
constexpr qint64 kHorizontalDistributeTagFirst = 12000;
constexpr qint64 kHorizontalDistributeTagLast = 12999;

// Room the rulers keep for markers and for an accessory view once they were first shown.
constexpr double kRulerMarkerThickness = 8.0;
constexpr double kRulerAccessoryThickness = 10.0;

// The rectangle alignment compares: a group member's group, else the graphic itself.
QRectF alignmentRect(const LBGraphic& graphic)
{
    return graphic.isGrouped() ? graphic.groupBounds() : graphic.bounds();
}

} // namespace

LBGraphicPtr LBGraphicView::copyForThisPage(const LBGraphic& original) const
{
    LBGraphicPtr copy = original.copy();
    copy->setDocument(document());
    copy->setZoomFactor(original.zoomFactor());
    copy->copyImageFilePathsFromGraphic(original);
    setVisiblePageOriginForGraphic(copy.get());
    return copy;
}

void LBGraphicView::removeGraphicFromPage(const LBGraphicPtr& graphic)
{
    platform::NotificationCenter::defaultCenter().post(LBDeleteGraphicNotification, graphic.get());
    scheduleUpdateLayersView();
    deselectGraphic(graphic);
    if (LBDocument* doc = document())
        doc->removeGraphic(graphic, selectedLayerIndex(), _pageIndex);
}

// ==== Selection ===========================================================================

void LBGraphicView::selectAll(QObject* sender)
{
    Q_UNUSED(sender);
    setUndoActionName(QStringLiteral("Selection Change"));
    if (const LBDocument::Layer* layer = selectedLayer()) {
        const LBDocument::Layer graphics = *layer;
        for (const LBGraphicPtr& graphic : graphics)
            selectGraphic(graphic);
    }
}

void LBGraphicView::deselectAll(QObject* sender)
{
    Q_UNUSED(sender);
    clearSelection();
}

// ==== Delete and duplicate ================================================================

void LBGraphicView::delete_(QObject* sender)
{
    Q_UNUSED(sender);
    if (!document())
        return;
    if (_imageGraphicForCrop) {
        cancelCrop();
        return;
    }
    if (_windowController && _windowController->bezierMode() && _editingBezierGraphic) {
        // The curve being drawn loses its last point, or goes when it has no line yet.
        const std::shared_ptr<LBCurvedLine> curve = _editingBezierGraphic;
        if (curve->numControlPoints() < 2) {
            removeGraphicFromPage(curve);
            setEditingBezierGraphic(nullptr);
            _windowController->setBezierMode(false);
            unsetCursor();
        } else {
            curve->removeControlPointOrModifierAtIndex(curve->numControlPoints() - 1);
        }
        setUndoActionName(QStringLiteral("Delete"));
        return;
    }

    std::optional<QList<LBGraphicPtr>> regroup;
    std::swap(regroup, _graphicsToRegroup);
    // Deselecting a member deselects its whole group, so the walk goes over a copy.
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    for (const LBGraphicPtr& graphic : selection) {
        auto* curve = dynamic_cast<LBCurvedLine*>(graphic.get());
        if (curve && !curve->selectedControlPoints().isEmpty()) {
            const QList<qsizetype> points = curve->selectedControlPoints();
            for (qsizetype i = points.size() - 1; i >= 0; --i)
                curve->removeControlPointOrModifierAtIndex(points.at(i));
            continue;
        }
        removeGraphicFromPage(graphic);
    }
    if (!selection.isEmpty())
        setUndoActionName(QStringLiteral("Delete"));
    if (regroup)
        regroupGraphics(*regroup);
}

void LBGraphicView::duplicate(QObject* sender)
{
    Q_UNUSED(sender);
    LBDocument* doc = document();
    const LBDocument::Layer* layer = selectedLayer();
    if (!doc || !layer)
        return;
    const QList<LBGraphicPtr> sources = orderedSelectedGraphics();
    QList<LBGraphicPtr> copies;
    qsizetype first = -1;
    for (qsizetype i = 0; i < sources.size(); ++i) {
        const LBGraphicPtr& source = sources.at(i);
        const qsizetype index = layer->indexOf(source);
        if (index < 0)
            continue;
        if (first < 0)
            first = index;
        LBGraphicPtr copy = copyForThisPage(*source);
        // A member's group rectangle moves with it, so a duplicated group stays whole.
        copy->setBoundsNoOtherChanges(source->bounds().translated(5.0, 5.0));
        doc->insertGraphic(copy, first + i, selectedLayerIndex(), _pageIndex);
        copies.append(copy);
    }
    clearSelection();
    for (qsizetype i = copies.size() - 1; i >= 0; --i)
        selectGraphic(copies.at(i));
    setUndoActionName(QStringLiteral("Duplicate"));
}

// ==== Stacking order ======================================================================

void LBGraphicView::moveSelectionInLayer(bool backToFront, qint64 toIndex)
{
    LBDocument* doc = document();
    const QList<LBGraphicPtr> selection = orderedSelectedGraphics();
    const qint64 layer = selectedLayerIndex();
    const qsizetype n = selection.size();
    for (qsizetype k = 0; k < n; ++k) {
        const LBGraphicPtr& graphic = selection.at(backToFront ? n - 1 - k : k);
        doc->moveGraphic(graphic, toIndex, layer, _pageIndex);
    }
}

void LBGraphicView::bringToFront(QObject* sender)
{
    Q_UNUSED(sender);
    if (!document() || !selectedLayer() || orderedSelectedGraphics().isEmpty())
        return;
    moveSelectionInLayer(true, 0);
    setUndoActionName(QStringLiteral("Bring To Front"));
}

void LBGraphicView::sendToBack(QObject* sender)
{
    Q_UNUSED(sender);
    const LBDocument::Layer* layer = selectedLayer();
    if (!document() || !layer || orderedSelectedGraphics().isEmpty())
        return;
    moveSelectionInLayer(false, layer->size());
    setUndoActionName(QStringLiteral("Send To Back"));
}

void LBGraphicView::bringForward(QObject* sender)
{
    Q_UNUSED(sender);
    const LBDocument::Layer* layer = selectedLayer();
    const QList<LBGraphicPtr> selection = orderedSelectedGraphics();
    if (!document() || !layer || selection.isEmpty())
        return;
    const qsizetype front = layer->indexOf(selection.first());
    qsizetype target = 0;
    if (front > 0) {
        target = front - 1;
        const LBGraphicPtr& before = layer->at(target);
        if (before->isGrouped()) {
            if (const LBGraphicPtr parent = groupParentOfGraphic(before.get(), true))
                target = layer->indexOf(parent);
        }
    }
    moveSelectionInLayer(true, target);
    setUndoActionName(QStringLiteral("Bring Forward"));
}

void LBGraphicView::sendBackward(QObject* sender)
{
    Q_UNUSED(sender);
    const LBDocument::Layer* layer = selectedLayer();
    const QList<LBGraphicPtr> selection = orderedSelectedGraphics();
    if (!document() || !layer || selection.isEmpty())
        return;
    const qsizetype back = layer->indexOf(selection.last());
    qsizetype target = layer->size() - 1;
    if (back >= 0 && back < layer->size() - 1) {
        target = back + 1;
        const LBGraphicPtr& behind = layer->at(target);
        if (behind->isGrouped()) {
            if (const LBGraphicPtr parent = groupParentOfGraphic(behind.get(), true))
                target = layer->indexOf(parent) + parent->groupedChildrenCount();
        }
    }
    moveSelectionInLayer(false, std::min<qsizetype>(target + 1, layer->size()));
    setUndoActionName(QStringLiteral("Send Backward"));
}

// ==== Alignment and size ==================================================================

void LBGraphicView::alignSelection(double (*coordinate)(const QRectF&), bool horizontal,
                                   const QString& actionName)
{
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (selection.size() < 2)
        return;
    const double reference = coordinate(alignmentRect(*selection.first()));
    for (qsizetype i = 1; i < selection.size(); ++i) {
        LBGraphic& graphic = *selection.at(i);
        const double d = reference - coordinate(alignmentRect(graphic));
        if (d == 0.0)
            continue;
        const QPointF delta = horizontal ? QPointF(d, 0.0) : QPointF(0.0, d);
        graphic.setBounds(graphic.bounds().translated(delta));
        if (graphic.isGrouped())
            graphic.setGroupBounds(graphic.groupBounds().translated(delta));
    }
    setUndoActionName(actionName);
}

void LBGraphicView::alignLeftEdges(QObject* sender)
{
    Q_UNUSED(sender);
    alignSelection([](const QRectF& r) { return r.x(); }, true, QStringLiteral("Align Left Edges"));
}

void LBGraphicView::alignRightEdges(QObject* sender)
{
    Q_UNUSED(sender);
    alignSelection([](const QRectF& r) { return r.x() + r.width(); }, true,
                   QStringLiteral("Align Right Edges"));
}

void LBGraphicView::alignTopEdges(QObject* sender)
{
    Q_UNUSED(sender);
    alignSelection([](const QRectF& r) { return r.y(); }, false, QStringLiteral("Align Top Edges"));
}

void LBGraphicView::alignBottomEdges(QObject* sender)
{
    Q_UNUSED(sender);
    alignSelection([](const QRectF& r) { return r.y() + r.height(); }, false,
                   QStringLiteral("Align Bottom Edges"));
}

void LBGraphicView::alignHorizontalCenters(QObject* sender)
{
    Q_UNUSED(sender);
    alignSelection([](const QRectF& r) { return r.x() + r.width() / 2.0; }, true,
                   QStringLiteral("Align Horizontal Centers"));
}

void LBGraphicView::alignVerticalCenters(QObject* sender)
{
    Q_UNUSED(sender);
    alignSelection([](const QRectF& r) { return r.y() + r.height() / 2.0; }, false,
                   QStringLiteral("Align Vertical Centers"));
}

void LBGraphicView::makeSameSize(bool width, const QString& actionName)
{
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (selection.size() < 2)
        return;
    // Every graphic's own bounds, group members too: the menu offers neither command for
    // groups, and the inspector's arrange tools size members one by one.
    const QSizeF reference = selection.first()->bounds().size();
    for (qsizetype i = 1; i < selection.size(); ++i) {
        LBGraphic& graphic = *selection.at(i);
        QRectF b = graphic.bounds();
        if (width && b.width() != reference.width())
            b.setWidth(reference.width());
        else if (!width && b.height() != reference.height())
            b.setHeight(reference.height());
        else
            continue;
        graphic.setBounds(b);
    }
    setUndoActionName(actionName);
}

void LBGraphicView::makeSameWidth(QObject* sender)
{
    Q_UNUSED(sender);
    makeSameSize(true, QStringLiteral("Make Same Width"));
}

void LBGraphicView::makeSameHeight(QObject* sender)
{
    Q_UNUSED(sender);
    makeSameSize(false, QStringLiteral("Make Same Height"));
}

void LBGraphicView::makeNaturalSize(QObject* sender)
{
    Q_UNUSED(sender);
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (selection.isEmpty())
        return;
    for (const LBGraphicPtr& graphic : selection)
        graphic->makeNaturalSize();
    setUndoActionName(QStringLiteral("Make Natural Size"));
}

void LBGraphicView::distributeEvenly(QObject* sender)
{
    const qint64 tag = sender ? sender->property("tag").toLongLong() : 0;
    const bool horizontal =
        tag >= kHorizontalDistributeTagFirst && tag <= kHorizontalDistributeTagLast;
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (selection.isEmpty())
        return;
    const auto origin = [horizontal](const LBGraphic& g) {
        return horizontal ? g.bounds().x() : g.bounds().y();
    };
    const auto length = [horizontal](const LBGraphic& g) {
        return horizontal ? g.bounds().width() : g.bounds().height();
    };
    const qsizetype n = selection.size();
    // With fewer than three there is nothing between the outer two to space.
    if (n >= 3) {
        // Sorted by origin; equal origins keep the selection order.
        QList<LBGraphicPtr> sorted = selection;
        std::stable_sort(sorted.begin(), sorted.end(),
                         [&origin](const LBGraphicPtr& a, const LBGraphicPtr& b) {
                             return origin(*a) < origin(*b);
                         });
        const LBGraphic& first = *sorted.first();
        double free = origin(*sorted.last()) - (origin(first) + length(first));
        for (qsizetype i = 1; i < n - 1; ++i)
            free -= length(*sorted.at(i));
        const double gap = free / double(n - 1);
        double p = origin(first) + length(first);
        for (qsizetype i = 1; i < n - 1; ++i) {
            LBGraphic& graphic = *sorted.at(i);
            p += gap;
            QRectF b = graphic.bounds();
            horizontal ? b.moveLeft(p) : b.moveTop(p);
            graphic.setBounds(b);
            p += length(graphic);
        }
    }
    setUndoActionName(horizontal ? QStringLiteral("Distribute Horizontally")
                                 : QStringLiteral("Distribute Vertically"));
}

// ==== Locking =============================================================================

void LBGraphicView::lock(QObject* sender)
{
    Q_UNUSED(sender);
    for (const LBGraphicPtr& graphic : selectedGraphics(false))
        graphic->setLocked(true);
    clearSelection();
    setUndoActionName(QStringLiteral("Lock"));
}

void LBGraphicView::unlock(QObject* sender)
{
    Q_UNUSED(sender);
    bool cleared = false;
    for (const LBGraphicPtr& graphic : selectedGraphics(true)) {
        if (!graphic->locked())
            continue;
        if (!cleared) {
            clearSelection();
            cleared = true;
        }
        graphic->setLocked(false);
        selectGraphic(graphic);
    }
    setUndoActionName(QStringLiteral("Unlock"));
}

// ==== Text of shapes ======================================================================

void LBGraphicView::addTextToShape(QObject* sender)
{
    Q_UNUSED(sender);
    for (const LBGraphicPtr& graphic : selectedGraphics(false)) {
        auto* shape = dynamic_cast<LBShape*>(graphic.get());
        if (!shape || shape->isShapeWithText())
            continue;
        shape->addTextToShape();
        startEditingGraphic(graphic, nullptr, true);
    }
    clearSelection();
    setUndoActionName(QStringLiteral("Add Text to Shape"));
}

void LBGraphicView::removeTextFromShape(QObject* sender)
{
    Q_UNUSED(sender);
    for (const LBGraphicPtr& graphic : selectedGraphics(false)) {
        auto* shape = dynamic_cast<LBShape*>(graphic.get());
        if (shape && shape->isShapeWithText())
            shape->removeTextFromShape();
    }
    clearSelection();
    setUndoActionName(QStringLiteral("Remove Text From Shape"));
}

// ==== Rulers ==============================================================================

void LBGraphicView::toggleRuler(QObject* sender)
{
    Q_UNUSED(sender);
    platform::ScrollView* scrollView = enclosingScrollView();
    if (!scrollView)
        return;
    if (scrollView->rulersVisible()) {
        scrollView->setRulersVisible(false);
        return;
    }
    scrollView->setHasHorizontalRuler(true);
    scrollView->setHasVerticalRuler(true);
    for (platform::RulerView* ruler :
         {scrollView->horizontalRulerView(), scrollView->verticalRulerView()})
        ruler->setClientView(this);
    if (!_gvFlags.initedRulers) {
        for (platform::RulerView* ruler :
             {scrollView->horizontalRulerView(), scrollView->verticalRulerView()}) {
            ruler->setReservedThicknessForMarkers(kRulerMarkerThickness);
            ruler->setReservedThicknessForAccessoryView(kRulerAccessoryThickness);
        }
        _gvFlags.initedRulers = 1;
    }
    scrollView->setRulersVisible(true);
    updateRulers();
}

bool LBGraphicView::rulerViewShouldMoveMarker(platform::RulerView*, const platform::RulerMarker&)
{
    return true;
}

double LBGraphicView::rulerViewWillMoveMarker(platform::RulerView*, const platform::RulerMarker&,
                                              double toLocation)
{
    return toLocation;
}

void LBGraphicView::rulerViewDidMoveMarker(platform::RulerView*, const platform::RulerMarker&)
{}

bool LBGraphicView::rulerViewShouldRemoveMarker(platform::RulerView*, const platform::RulerMarker&)
{
    return false;
}
