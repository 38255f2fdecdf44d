#include "inspector/LBTextDrawerTableView.h"

#include "inspector/LBTextDrawerController.h"

#include "graphics/LBTextArea.h"
#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/Drag.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cmath>

// ---- The rows as the view asks for them (the controller draws their texts) ----

class LBTextDrawerTableView::Model : public QAbstractTableModel
{
public:
    explicit Model(LBTextDrawerTableView* view) : QAbstractTableModel(view), _view(view) {}

    int rowCount(const QModelIndex& parent) const override
    {
        const LBTextDrawerController* controller = _view->controller();
        return parent.isValid() || !controller ? 0 : int(controller->numberOfRows());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex&, int) const override { return QVariant(); }
    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }
    void reset()
    {
        beginResetModel();
        endResetModel();
    }

private:
    LBTextDrawerTableView* _view;
};

class LBTextDrawerTableView::Delegate : public QStyledItemDelegate
{
public:
    explicit Delegate(LBTextDrawerTableView* view) : QStyledItemDelegate(view), _view(view) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index); // background and selection
        const LBTextDrawerController* controller = _view->controller();
        if (!controller)
            return;
        const std::optional<platform::AttributedString> text =
            controller->objectValueForRow(index.row(), option.rect.width());
        if (!text)
            return;
        const double height = controller->heightOfRow(index.row()) - 6.0;
        painter->save();
        painter->setClipRect(option.rect);
        text->drawAtPoint(
            QPointF(option.rect.x() + 2.0, option.rect.y() + (option.rect.height() - height) / 2.0),
            *painter);
        painter->restore();
    }

private:
    LBTextDrawerTableView* _view;
};

// ---- The view ----

LBTextDrawerTableView::LBTextDrawerTableView(QWidget* parent) : QTableView(parent)
{
    _model = new Model(this);
    setModel(_model);
    setItemDelegate(new Delegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(false);
    setWordWrap(false);
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(false); // the gap is marked by paintEvent()
}

LBTextDrawerTableView::~LBTextDrawerTableView() = default;

void LBTextDrawerTableView::setController(LBTextDrawerController* controller)
{
    _controller = controller;
    reloadData();
}

void LBTextDrawerTableView::setDraggedTextObject(const std::shared_ptr<LBGraphic>& graphic)
{
    _draggedTextObj = graphic;
}

void LBTextDrawerTableView::reloadData()
{
    const qint64 selected = selectedRow();
    _model->reset();
    if (!_controller)
        return;
    QHeaderView* rows = verticalHeader();
    const qint64 count = _controller->numberOfRows();
    for (qint64 row = 0; row < count; ++row)
        rows->resizeSection(int(row), sectionSizeFor(_controller->shownHeightOfRow(row)));
    if (selected >= 0 && selected < count)
        selectRow(selected);
}

int LBTextDrawerTableView::sectionSizeFor(double rowHeight)
{
    // The rows lie 6 points apart.
    return int(std::ceil(rowHeight + 6.0));
}

void LBTextDrawerTableView::setHeightOfRow(qint64 row, double height)
{
    if (row >= 0 && row < _model->rowCount(QModelIndex()))
        verticalHeader()->resizeSection(int(row), sectionSizeFor(height));
}

qint64 LBTextDrawerTableView::selectedRow() const
{
    const QModelIndexList rows =
        selectionModel() ? selectionModel()->selectedRows() : QModelIndexList();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void LBTextDrawerTableView::selectRow(qint64 row)
{
    if (row < 0 || row >= _model->rowCount(QModelIndex()))
        clearSelection();
    else
        QTableView::selectRow(int(row));
}

// ---- Keys ----

void LBTextDrawerTableView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Delete: deleteForward(); return;
    case Qt::Key_Backspace: deleteBackward(); return;
    default: QTableView::keyPressEvent(event);
    }
}

void LBTextDrawerTableView::deleteForward()
{
    if (_controller)
        _controller->deleteTextAtIndex(selectedRow());
}

void LBTextDrawerTableView::deleteBackward()
{
    if (_controller)
        _controller->deleteTextAtIndex(selectedRow());
}

// ---- Clicks and dragging out ----

void LBTextDrawerTableView::mousePressEvent(QMouseEvent* event)
{
    QTableView::mousePressEvent(event);
    _pressPoint = event->position().toPoint();
    _pressRow = event->button() == Qt::LeftButton ? rowAt(_pressPoint.y()) : -1;
}

void LBTextDrawerTableView::mouseMoveEvent(QMouseEvent* event)
{
    if (_pressRow < 0 || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint at = event->position().toPoint();
    if ((at - _pressPoint).manhattanLength() < QApplication::startDragDistance())
        return;
    const qint64 row = _pressRow;
    _pressRow = -1;
    selectRow(row);
    startRowDrag(_pressPoint);
}

void LBTextDrawerTableView::mouseReleaseEvent(QMouseEvent* event)
{
    _pressRow = -1;
    QTableView::mouseReleaseEvent(event);
}

void LBTextDrawerTableView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTableView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && _controller
        && rowAt(event->position().toPoint().y()) >= 0)
        _controller->doubleClickAction();
}

void LBTextDrawerTableView::startRowDrag(const QPoint& at)
{
    const qint64 row = rowAt(at.y());
    if (!_controller || row < 0)
        return;
    platform::Drag drag(this);
    if (!_controller->writeRowsWithIndexes({row}, drag.pasteboard()))
        return;
    QPoint hotSpot;
    const QImage image = dragImageForRows(row, at, &hotSpot);
    if (!image.isNull())
        drag.setImage(image, hotSpot);
    drag.exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
    _draggedTextObj.reset();
}

QImage LBTextDrawerTableView::dragImageForRows(qint64 firstRow, const QPoint& mouse,
                                               QPoint* hotSpot) const
{
    if (!_draggedTextObj)
        return QImage();
    // The picture changes the graphic it is made of: a copy of it.
    const std::shared_ptr<LBGraphic> graphic = _draggedTextObj->copy();
    auto* text = dynamic_cast<LBTextArea*>(graphic.get());
    if (text)
        text->forceDrawTextOutline(true);
    const platform::ImagePtr picture = graphic->copyToImageWithScale(_zoomFactor, 1.0, false, true);
    if (text)
        text->forceDrawTextOutline(false);
    const QImage image = picture ? picture->forcedBitmapImageRep() : QImage();
    if (hotSpot) {
        // The picture lies where the row's text lies, at the design's zoom around the
        // pointer.
        const double z = _zoomFactor;
        const double y0 = rowViewportPosition(int(firstRow));
        *hotSpot = QPoint(int(std::lround(mouse.x() * z + 5.0 * z)),
                          int(std::lround((mouse.y() - y0) * z)));
    }
    return image;
}

// ---- Drops ----

qint64 LBTextDrawerTableView::dropRowAtPoint(const QPoint& point) const
{
    const qint64 count = _model->rowCount(QModelIndex());
    const int row = rowAt(point.y());
    if (row < 0)
        return point.y() < 0 ? 0 : count;
    const int top = rowViewportPosition(row);
    return point.y() < top + rowHeight(row) / 2 ? row : row + 1;
}

Qt::DropAction LBTextDrawerTableView::dropActionFor(QDropEvent* event)
{
    if (!_controller)
        return Qt::IgnoreAction;
    platform::DraggingInfo info(event, event->position());
    return _controller->validateDrop(info.draggingPasteboard(),
                                     dropRowAtPoint(event->position().toPoint()), false);
}

void LBTextDrawerTableView::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void LBTextDrawerTableView::dragMoveEvent(QDragMoveEvent* event)
{
    const Qt::DropAction action = dropActionFor(event);
    const qint64 row =
        action == Qt::IgnoreAction ? -1 : dropRowAtPoint(event->position().toPoint());
    if (row != _dropRow) {
        _dropRow = row;
        viewport()->update();
    }
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void LBTextDrawerTableView::dragLeaveEvent(QDragLeaveEvent* event)
{
    _dropRow = -1;
    viewport()->update();
    event->accept();
}

void LBTextDrawerTableView::dropEvent(QDropEvent* event)
{
    const Qt::DropAction action = dropActionFor(event);
    const qint64 row = dropRowAtPoint(event->position().toPoint());
    _dropRow = -1;
    viewport()->update();
    platform::DraggingInfo info(event, event->position());
    if (action == Qt::IgnoreAction || !_controller->acceptDrop(info.draggingPasteboard(), row)) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void LBTextDrawerTableView::paintEvent(QPaintEvent* event)
{
    QTableView::paintEvent(event);
    if (_dropRow < 0)
        return;
    const qint64 count = _model->rowCount(QModelIndex());
    int y = 0;
    if (count > 0) {
        y = _dropRow < count ? rowViewportPosition(int(_dropRow))
                             : rowViewportPosition(int(count - 1)) + rowHeight(int(count - 1));
    }
    QPainter painter(viewport());
    painter.setPen(QPen(palette().highlight().color(), 2.0));
    painter.drawLine(QPointF(2, y), QPointF(viewport()->width() - 2, y));
}

void LBTextDrawerTableView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    viewport()->update(); // the texts are cut to the new width
}
