#include "app/LBLibraryMatrix.h"

#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "platform/core/Strings.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Drag.h"
#include "platform/ui/Pasteboard.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBImage.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

namespace {

// How far a press moves before it becomes a drag, in points.
constexpr double DragThreshold = 4.0;

} // namespace

LBLibraryMatrix::LBLibraryMatrix(QWidget* parent) : QWidget(parent)
{
    setAcceptDrops(true);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

LBLibraryMatrix::~LBLibraryMatrix() = default;

std::unique_ptr<LBMatrixCell> LBLibraryMatrix::newCell() const
{
    return _prototype ? _prototype() : std::make_unique<LBMatrixCell>();
}

qint64 LBLibraryMatrix::itemCount() const
{
    return _controller ? _controller->graphicCount() : 0;
}

// ==== Cells ===============================================================================

void LBLibraryMatrix::renewRows(qint64 rows, qint64 columns)
{
    rows = std::max<qint64>(rows, 0);
    columns = std::max<qint64>(columns, 0);
    if (rows == _rows && columns == _columns)
        return;
    QList<std::shared_ptr<LBMatrixCell>> cells;
    cells.reserve(rows * columns);
    for (qint64 r = 0; r < rows; ++r) {
        for (qint64 c = 0; c < columns; ++c) {
            if (r < _rows && c < _columns)
                cells.append(_cells[r * _columns + c]);
            else
                cells.append(newCell());
        }
    }
    _cells = std::move(cells);
    _rows = rows;
    _columns = columns;
    if (_anchorIndex >= cellCount())
        _anchorIndex = -1;
    update();
}

void LBLibraryMatrix::removeLastRow()
{
    if (_rows > 0)
        renewRows(_rows - 1, _columns);
}

void LBLibraryMatrix::setCellSize(const QSizeF& size)
{
    _cellSize = size;
    update();
}

void LBLibraryMatrix::setIntercellSpacing(const QSizeF& spacing)
{
    _intercellSpacing = spacing;
    update();
}

QSizeF LBLibraryMatrix::cellsSize() const
{
    const auto extent = [](qint64 n, double cell, double spacing) {
        return n > 0 ? double(n) * cell + double(n - 1) * spacing : 0.0;
    };
    return {extent(_columns, _cellSize.width(), _intercellSpacing.width()),
            extent(_rows, _cellSize.height(), _intercellSpacing.height())};
}

LBMatrixCell* LBLibraryMatrix::cellAtRow(qint64 row, qint64 column) const
{
    if (row < 0 || column < 0 || row >= _rows || column >= _columns)
        return nullptr;
    return _cells[row * _columns + column].get();
}

LBMatrixCell* LBLibraryMatrix::cellAtIndex(qint64 index) const
{
    return index >= 0 && index < _cells.size() ? _cells[index].get() : nullptr;
}

QRectF LBLibraryMatrix::cellFrameAtRow(qint64 row, qint64 column) const
{
    return QRectF(double(column) * (_cellSize.width() + _intercellSpacing.width()),
                  double(row) * (_cellSize.height() + _intercellSpacing.height()),
                  _cellSize.width(), _cellSize.height());
}

bool LBLibraryMatrix::getRow(qint64* row, qint64* column, const QPointF& point) const
{
    const double stepX = _cellSize.width() + _intercellSpacing.width();
    const double stepY = _cellSize.height() + _intercellSpacing.height();
    if (point.x() < 0 || point.y() < 0 || stepX <= 0 || stepY <= 0)
        return false;
    const qint64 c = qint64(std::floor(point.x() / stepX));
    const qint64 r = qint64(std::floor(point.y() / stepY));
    if (r >= _rows || c >= _columns)
        return false;
    // Not in the spacing after the cell.
    if (point.x() - double(c) * stepX >= _cellSize.width()
        || point.y() - double(r) * stepY >= _cellSize.height())
        return false;
    if (row)
        *row = r;
    if (column)
        *column = c;
    return true;
}

qint64 LBLibraryMatrix::indexOfCellAtPoint(const QPointF& point) const
{
    qint64 row = 0, column = 0;
    return getRow(&row, &column, point) ? row * _columns + column : -1;
}

void LBLibraryMatrix::setBackgroundColor(const QColor& color)
{
    _backgroundColor = color;
    update();
}

void LBLibraryMatrix::setDrawsBackground(bool draws)
{
    _drawsBackground = draws;
    update();
}

// ==== Selection ===========================================================================

QList<qint64> LBLibraryMatrix::selectedIndexes() const
{
    QList<qint64> indexes;
    for (qint64 i = 0; i < _cells.size(); ++i) {
        if (_cells[i]->isSelected())
            indexes.append(i);
    }
    return indexes;
}

qint64 LBLibraryMatrix::selectedIndex() const
{
    for (qint64 i = 0; i < _cells.size(); ++i) {
        if (_cells[i]->isSelected())
            return i;
    }
    return -1;
}

void LBLibraryMatrix::selectCellAtIndex(qint64 index)
{
    if (LBMatrixCell* cell = cellAtIndex(index)) {
        cell->setSelected(true);
        update();
    }
}

void LBLibraryMatrix::deselectAllCells()
{
    for (const std::shared_ptr<LBMatrixCell>& cell : std::as_const(_cells)) {
        cell->setSelected(false);
        cell->setHighlighted(false);
    }
    update();
}

void LBLibraryMatrix::highlightCellAtIndex(qint64 index, bool highlight)
{
    if (LBMatrixCell* cell = cellAtIndex(index)) {
        cell->setHighlighted(highlight);
        update();
    }
}

// ==== Drawing =============================================================================

void LBLibraryMatrix::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect dirty = event->rect();
    if (_drawsBackground)
        painter.fillRect(dirty, _backgroundColor);
    if (_rows == 0 || _columns == 0)
        return;
    // Only the cells in the dirty rectangle.
    const double stepX = _cellSize.width() + _intercellSpacing.width();
    const double stepY = _cellSize.height() + _intercellSpacing.height();
    if (stepX <= 0 || stepY <= 0)
        return;
    const qint64 firstRow = std::max<qint64>(0, qint64(std::floor(dirty.top() / stepY)));
    const qint64 lastRow = std::min<qint64>(_rows - 1, qint64(std::floor(dirty.bottom() / stepY)));
    const qint64 firstColumn = std::max<qint64>(0, qint64(std::floor(dirty.left() / stepX)));
    const qint64 lastColumn =
        std::min<qint64>(_columns - 1, qint64(std::floor(dirty.right() / stepX)));
    for (qint64 r = firstRow; r <= lastRow; ++r) {
        for (qint64 c = firstColumn; c <= lastColumn; ++c)
            _cells[r * _columns + c]->drawWithFrame(painter, cellFrameAtRow(r, c), this);
    }
}

// ==== Mouse ===============================================================================

void LBLibraryMatrix::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    mouseDown(event, 1);
}

void LBLibraryMatrix::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    mouseDown(event, 2);
}

void LBLibraryMatrix::mouseDown(QMouseEvent* event, int clickCount)
{
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    const bool toggle = !shift && event->modifiers().testFlag(Qt::ControlModifier);
    // With neither key down the press is kept for a drag, on a cell or not.
    if (!shift && !toggle)
        _downEvent.reset(event->clone());

    qint64 row = 0, column = 0;
    if (!getRow(&row, &column, event->position()))
        return;
    qint64 index = row * _columns + column;
    if (selectedIndex() >= 0 && !shift && !toggle) {
        deselectAllCells();
        if (_controller)
            _controller->enableMinusButton(false);
        _anchorIndex = -1;
    }
    const qint64 last = itemCount() - 1;
    if (index > last) {
        if (!shift || last < 0)
            return;
        index = last;
    }
    if (shift && _anchorIndex >= 0) {
        deselectAllCells();
        for (qint64 i = std::min(_anchorIndex, index); i <= std::max(_anchorIndex, index); ++i) {
            selectCellAtIndex(i);
            highlightCellAtIndex(i, true);
        }
    } else if (!toggle || _anchorIndex < 0) {
        highlightCellAtIndex(index, true);
        selectCellAtIndex(index);
        _anchorIndex = index;
    } else if (LBMatrixCell* cell = cellAtIndex(index)) {
        const bool select = !cell->isSelected();
        cell->setSelected(select);
        cell->setHighlighted(select);
        update();
    }
    if (!_controller)
        return;
    if (selectedIndex() >= 0)
        _controller->enableMinusButton(true);
    if (clickCount >= 2)
        _controller->processDoubleClickAtRow(index / _columns, index % _columns);
}

void LBLibraryMatrix::mouseMoveEvent(QMouseEvent* event)
{
    const Qt::KeyboardModifiers keys = event->modifiers();
    if (!_downEvent || keys.testFlag(Qt::ShiftModifier) || keys.testFlag(Qt::ControlModifier)
        || !event->buttons().testFlag(Qt::LeftButton))
        return;
    const QPointF moved = event->position() - _downEvent->position();
    if (std::abs(moved.x()) <= DragThreshold && std::abs(moved.y()) <= DragThreshold)
        return;
    const qint64 index = indexOfCellAtPoint(event->position());
    if (index >= 0 && index < itemCount()) {
        _dragOriginatedInThisView = true;
        startDrag(*_downEvent);
    }
    _dragCellIndex = -1;
    _downEvent.reset();
    _dragOriginatedInThisView = false;
    if (_controller)
        _controller->enableMinusButton(false);
}

void LBLibraryMatrix::mouseReleaseEvent(QMouseEvent* event)
{
    (void)event;
    _downEvent.reset();
}

QString LBLibraryMatrix::pasteboardTypeForGraphics(const QList<LBGraphicPtr>& graphics)
{
    return graphics.size() == 1 && dynamic_cast<const LBImage*>(graphics.first().get())
               ? LBPrintLine1PboardType
               : LBPrintLinePboardType;
}

void LBLibraryMatrix::startDrag(const QMouseEvent& event)
{
    qint64 row = 0, column = 0;
    if (!_controller || !getRow(&row, &column, event.position()))
        return;
    _dragCellIndex = row * _columns + column;
    const QList<LBGraphicPtr> graphics = _controller->graphicsForCell(_dragCellIndex);
    if (graphics.isEmpty()) {
        platform::Alert alert;
        alert.messageText = platform::LocalizedString(QStringLiteral("Missing File"),
                                                      QStringLiteral("DialogStrings"));
        alert.informativeText = platform::LocalizedString(
            QStringLiteral("This image was created by linking to a file which has since been "
                           "moved or deleted. You must restore the original file in order to "
                           "use this image."),
            QStringLiteral("DialogStrings"));
        alert.buttons = {
            platform::LocalizedString(QStringLiteral("OK"), QStringLiteral("DialogStrings"))};
        alert.runModal();
        return;
    }

    const QByteArray data = LBDocument::dataForGraphics(graphics);
    const QString type = pasteboardTypeForGraphics(graphics);
    std::shared_ptr<platform::Image> image;
    QPointF pointerOffset; // where the pointer holds the image, when not centred on the cell
    bool centred = true;
    if (graphics.size() == 1) {
        const LBGraphicPtr copy = graphics.first()->copy();
        copy->copyImageFilePathsFromGraphic(*graphics.first());
        if (copy->isTextBox()) {
            auto* text = static_cast<LBTextArea*>(copy.get());
            text->forceDrawTextOutline(true);
            image = copy->copyToImageWithScale(_controller->documentZoomFactor(), 1.0, false, true);
            text->forceDrawTextOutline(false);
        } else {
            image = copy->copyToImageWithScale(_controller->documentZoomFactor(), 1.0, true, false);
        }
        const auto* curve = dynamic_cast<const LBCurvedLine*>(graphics.first().get());
        if (curve && curve->numControlPoints() == 1) {
            centred = false;
            pointerOffset = QPointF(4, 2);
        }
    } else {
        image = _controller->createImageFromGraphics(graphics, true);
    }
    const QImage picture = image ? image->forcedBitmapImageRep() : QImage();

    platform::Drag drag(this);
    drag.pasteboard().declareTypes({type, platform::TIFFPboardType});
    drag.pasteboard().setData(data, type);
    if (image)
        drag.pasteboard().setData(image->TIFFRepresentationUsingLZW(), platform::TIFFPboardType);
    // The image starts centred on the cell (a one-point curve: at the pointer less (4, 2)).
    const QRectF frame = cellFrameAtRow(row, column);
    const QPointF pointer = event.position();
    QPointF imageTopLeft;
    if (centred)
        imageTopLeft = QPointF(frame.left() + (frame.width() - picture.width()) / 2.0,
                               frame.top() + (frame.height() - picture.height()) / 2.0);
    else
        imageTopLeft = pointer - pointerOffset;
    drag.setImage(picture, (pointer - imageTopLeft).toPoint());
    drag.exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

// ==== Dropping ============================================================================

Qt::DropAction LBLibraryMatrix::dragOperationForPasteboard(const platform::Pasteboard& pasteboard,
                                                           bool fromThisView) const
{
    if (!_acceptsDrags)
        return Qt::IgnoreAction;
    if (!pasteboard
             .availableTypeFromArray(
                 {LBPrintLinePboardType, LBPrintLine1PboardType, platform::FilenamesPboardType})
             .isNull())
        return fromThisView ? Qt::MoveAction : Qt::CopyAction;
    if (!pasteboard.availableImageType().isNull())
        return Qt::CopyAction;
    return Qt::IgnoreAction;
}

qint64 LBLibraryMatrix::targetIndexForPoint(const QPointF& point) const
{
    const qint64 count = itemCount();
    const qint64 index = indexOfCellAtPoint(point);
    return index >= 0 && index <= count ? index : count;
}

void LBLibraryMatrix::showTarget(const QPointF& point)
{
    const qint64 target = targetIndexForPoint(point);
    if (selectedIndexes() == QList<qint64>{target} && cellAtIndex(target)
        && cellAtIndex(target)->isHighlighted())
        return;
    deselectAllCells();
    selectCellAtIndex(target);
    highlightCellAtIndex(target, true);
}

namespace {

bool dragIsFrom(const QWidget* view)
{
    const platform::Drag* drag = platform::Drag::current();
    return drag && drag->source() == view;
}

} // namespace

bool LBLibraryMatrix::acceptDrag(QDropEvent* event)
{
    const platform::Pasteboard pasteboard(const_cast<QMimeData*>(event->mimeData()));
    const Qt::DropAction action = dragOperationForPasteboard(pasteboard, dragIsFrom(this));
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return false;
    }
    event->setDropAction(action);
    event->accept();
    return true;
}

void LBLibraryMatrix::dragEnterEvent(QDragEnterEvent* event)
{
    if (acceptDrag(event))
        showTarget(event->position());
}

void LBLibraryMatrix::dragMoveEvent(QDragMoveEvent* event)
{
    if (acceptDrag(event))
        showTarget(event->position());
}

void LBLibraryMatrix::dragLeaveEvent(QDragLeaveEvent* event)
{
    (void)event;
    const qint64 selected = selectedIndex();
    if (selected >= 0) {
        highlightCellAtIndex(selected, false);
        if (LBMatrixCell* cell = cellAtIndex(selected))
            cell->setSelected(false);
    }
}

void LBLibraryMatrix::dropEvent(QDropEvent* event)
{
    if (!acceptDrag(event))
        return;
    platform::Pasteboard pasteboard(const_cast<QMimeData*>(event->mimeData()));
    concludeDrop(pasteboard, targetIndexForPoint(event->position()));
}

void LBLibraryMatrix::concludeDrop(platform::Pasteboard& pasteboard, qint64 target)
{
    if (_controller) {
        const QStringList types = pasteboard.types();
        const QString printLine =
            pasteboard.availableTypeFromArray({LBPrintLinePboardType, LBPrintLine1PboardType});
        if (types.contains(platform::FilenamesPboardType)) {
            _controller->addImageFilesToLibrary(pasteboard.filenames(), true);
        } else if (!printLine.isNull()) {
            if (_dragCellIndex != target) {
                if (_dragCellIndex == -1)
                    _controller->makeNewGraphicsFromPasteboard(pasteboard, target);
                else
                    _controller->moveGraphicAtIndex(_dragCellIndex, target);
            }
        } else if (!pasteboard.availableImageType().isNull()) {
            _controller->makeNewImageFromPasteboard(pasteboard, target);
        }
    }
    const qint64 selected = selectedIndex();
    if (selected >= 0) {
        if (LBMatrixCell* cell = cellAtIndex(selected)) {
            cell->setSelected(false);
            cell->setHighlighted(false);
        }
        update();
    }
    if (_controller)
        _controller->enableMinusButton(false);
}
