#include "merge/LBFieldOutlineView.h"

#include "controls/LBFieldCell.h"
#include "merge/LBFieldsController.h"
#include "platform/ui/Drag.h"

#include <QApplication>
#include <QMouseEvent>

#include <algorithm>

LBFieldOutlineView::LBFieldOutlineView(QWidget* parent) : QTreeView(parent)
{
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setIndentation(14);
    setExpandsOnDoubleClick(true);
    // Drags are started here (the controller fills them); nothing is dropped on the outline.
    setDragDropMode(QAbstractItemView::NoDragDrop);
}

LBFieldOutlineView::~LBFieldOutlineView() = default;

void LBFieldOutlineView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const
{
    if (_controller) {
        if (auto* cell = qobject_cast<LBFieldCell*>(itemDelegateForColumn(0)))
            _controller->willDisplayCell(cell, index,
                                         selectionModel() && selectionModel()->isSelected(index));
    }
    QTreeView::drawRow(painter, option, index);
}

// ---- Dragging out ----

void LBFieldOutlineView::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    _pressPoint = event->position().toPoint();
    _pressIndex = event->button() == Qt::LeftButton ? QPersistentModelIndex(indexAt(_pressPoint))
                                                    : QPersistentModelIndex();
}

void LBFieldOutlineView::mouseMoveEvent(QMouseEvent* event)
{
    if (!_pressIndex.isValid() || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - _pressPoint).manhattanLength()
        < QApplication::startDragDistance())
        return;
    _pressIndex = QPersistentModelIndex();
    startRowDrag(_pressPoint);
}

void LBFieldOutlineView::mouseReleaseEvent(QMouseEvent* event)
{
    _pressIndex = QPersistentModelIndex();
    QTreeView::mouseReleaseEvent(event);
}

void LBFieldOutlineView::startRowDrag(const QPoint& at)
{
    const QModelIndex index = indexAt(at);
    if (!_controller || !index.isValid())
        return;
    platform::Drag drag(this);
    if (!_controller->writeItems({_controller->nodeForIndex(index)}, drag.pasteboard()))
        return;
    QPoint hotSpot;
    const QImage image = dragImageForRowsWithIndexes({index}, at, &hotSpot);
    if (!image.isNull())
        drag.setImage(image, hotSpot);
    drag.exec(Qt::CopyAction, Qt::CopyAction);
    viewport()->update();
}

QImage LBFieldOutlineView::dragImageForRowsWithIndexes(const QModelIndexList& rows,
                                                       const QPoint& mouse, QPoint* hotSpot) const
{
    if (!_controller || rows.isEmpty())
        return QImage();
    const QImage image = _controller->dragImageForNode(_controller->nodeForIndex(rows.first()));
    if (hotSpot && !image.isNull()) {
        // The pointer holds the picture where it held the row, inside the picture.
        const QRect row = visualRect(rows.first());
        const double ratio = image.devicePixelRatio();
        const QSize size = image.size();
        *hotSpot = QPoint(std::clamp(int((mouse.x() - row.x()) * ratio), 0, size.width() - 1),
                          std::clamp(int((mouse.y() - row.y()) * ratio), 0, size.height() - 1));
    }
    return image;
}
