// Flat groups: a group is a run of adjacent graphics of one layer led by its front-most
// member, the parent, which counts the others. Grouping the selection, dissolving the
// groups in it, forming a group again after it was dissolved for a while, and finding a
// graphic's parent.

#include "canvas/LBGraphicView.h"

#include "platform/core/UndoManager.h"

#include <algorithm>

void LBGraphicView::group(QObject* sender)
{
    LBDocument* doc = document();
    const QList<LBGraphicPtr> selection = orderedSelectedGraphics();
    if (!doc || selection.isEmpty())
        return;
    if (sender)
        registerGroupingRefresh(true);
    const LBGraphicPtr& parent = selection.first();
    QRectF groupRect = parent->rotatedBounds();
    parent->setGroupedChildrenCount(selection.size() - 1);
    parent->setIsGrouped(true);
    const qsizetype parentIndex = indexInSelectedLayer(parent.get());
    const qint64 layer = selectedLayerIndex();
    for (qsizetype i = 1; i < selection.size(); ++i) {
        const LBGraphicPtr& member = selection.at(i);
        member->setGroupedChildrenCount(0);
        groupRect = groupRect.united(member->rotatedBounds());
        member->setIsGrouped(true);
        doc->moveGraphic(member, parentIndex + i, layer, _pageIndex);
    }
    for (const LBGraphicPtr& member : selection)
        member->setGroupBounds(groupRect);
    invalidateGraphic(parent.get());
    setUndoActionName(QStringLiteral("Group"));
    // The same graphics stay selected, so no selection change tells the palette that they
    // are a group now (the Group pane, the group's frame).
    if (sender) {
        registerGroupingRefresh(false);
        updateInspectorFromCanvas();
    }
}

void LBGraphicView::ungroup(QObject* sender)
{
    const QList<LBGraphicPtr> selection = orderedSelectedGraphics();
    if (selection.isEmpty())
        return;
    bool redrawn = false;
    for (qsizetype i = selection.size() - 1; i >= 0; --i) {
        const LBGraphicPtr& graphic = selection.at(i);
        if (!graphic->isGrouped())
            continue;
        if (!redrawn) {
            if (const LBGraphicPtr parent = groupParentOfGraphic(graphic.get(), false))
                setNeedsDisplayInRect(parent->groupDrawingBounds());
            redrawn = true;
            if (sender)
                registerGroupingRefresh(true);
        }
        graphic->setGroupedChildrenCount(0);
        graphic->setIsGrouped(false);
        invalidateGraphic(graphic.get());
    }
    setUndoActionName(QStringLiteral("Ungroup"));
    // The same graphics stay selected, so no selection change tells the palette that the
    // group is gone: it would go on offering the Group pane and showing the group's frame.
    if (sender) {
        if (redrawn)
            registerGroupingRefresh(false);
        updateInspectorFromCanvas();
    }
}

void LBGraphicView::registerGroupingRefresh(bool whenRun)
{
    platform::UndoManager* undo = undoManager();
    if (!undo)
        return;
    // Undoing or redoing Group and Ungroup only sets the graphics' group fields back, with
    // the same graphics selected: nothing redraws their knobs (a group's frame or each
    // member's) or tells the palette. The command registers this once before its changes
    // (run last when undone) and once after them (run last when redone); each run registers
    // the opposite, so the refresh keeps following the group fields however often the step
    // goes back and forth.
    undo->registerUndo(this, [view = QPointer<LBGraphicView>(this), whenRun] {
        if (!view)
            return;
        if (whenRun) {
            view->update();
            view->updateInspectorFromCanvas();
        }
        view->registerGroupingRefresh(!whenRun);
    });
}

void LBGraphicView::regroupGraphics(const QList<LBGraphicPtr>& graphics)
{
    // Working on a copy with the pending list gone keeps the selection changes below from
    // regrouping again.
    const QList<LBGraphicPtr> list = graphics;
    if (_graphicsToRegroup && *_graphicsToRegroup == list)
        _graphicsToRegroup.reset();
    clearSelection();
    const LBDocument::Layer* layer = selectedLayer();
    for (const LBGraphicPtr& graphic : list) {
        if (layer && layer->contains(graphic))
            selectGraphic(graphic);
    }
    if (selectedGraphics(false).size() >= 2)
        group(nullptr);
}

LBGraphicPtr LBGraphicView::groupParentOfGraphic(const LBGraphic* graphic,
                                                 bool checkSelectedLayerOnly) const
{
    if (!graphic)
        return nullptr;
    if (graphic->groupedChildrenCount() != 0)
        return const_cast<LBGraphic*>(graphic)->weak_from_this().lock();
    QList<const LBDocument::Layer*> layers;
    if (checkSelectedLayerOnly) {
        if (const LBDocument::Layer* layer = selectedLayer())
            layers.append(layer);
    } else if (const LBDocument::Page* page = graphics()) {
        for (const LBDocument::Layer& layer : *page)
            layers.append(&layer);
    }
    for (const LBDocument::Layer* layer : std::as_const(layers)) {
        qsizetype index = -1;
        for (qsizetype i = 0; i < layer->size(); ++i) {
            if (layer->at(i).get() == graphic) {
                index = i;
                break;
            }
        }
        if (index < 0)
            continue;
        for (qsizetype i = index - 1; i >= 0; --i) {
            if (layer->at(i)->groupedChildrenCount() != 0)
                return layer->at(i);
        }
        return nullptr;
    }
    return nullptr;
}

bool LBGraphicView::groupCommandEnabled() const
{
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (selection.size() <= 1)
        return false;
    for (const LBGraphicPtr& graphic : selection) {
        if (!graphic->isGrouped())
            continue;
        const LBGraphicPtr parent = groupParentOfGraphic(graphic.get(), true);
        return !(parent && parent->groupedChildrenCount() == selection.size() - 1);
    }
    return true;
}

bool LBGraphicView::ungroupCommandEnabled() const
{
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    return std::any_of(selection.cbegin(), selection.cend(),
                       [](const LBGraphicPtr& g) { return g->isGrouped(); });
}
