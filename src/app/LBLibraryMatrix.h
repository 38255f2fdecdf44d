#pragma once

// The grid of thumbnails of the favourites library and of the shapes palette: cells of one
// size in rows and columns, the scrolled view of a scroll area. The mouse selects cells (a
// click selects one and makes it the anchor, Shift selects the range from the anchor,
// Ctrl toggles one), a press dragged more than 4 points drags the graphics of the cell out
// (onto a canvas), and the matrix takes drops of graphics, image files and pictures, which
// also reorder favourites dragged within it. Everything about content goes to its
// controller.
//
// A cell's index is its row times the number of columns plus its column; indexes below
// the controller's graphicCount() hold items. Geometry is in widget pixels, one a point.

#include "app/LBLibraryCell.h"

#include <QList>
#include <QPointer>
#include <QSizeF>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class LBGraphic;
class QMouseEvent;

namespace platform {
class Image;
class Pasteboard;
} // namespace platform

using LBGraphicPtr = std::shared_ptr<LBGraphic>;

// What the matrix asks of the library that fills it.
class LBLibraryMatrixController
{
public:
    virtual ~LBLibraryMatrixController() = default;

    // The number of items shown.
    virtual qint64 graphicCount() const = 0;
    // New graphics of the item at the index; empty when none can be made (a linked file
    // that is gone).
    virtual QList<LBGraphicPtr> graphicsForCell(qint64 index) = 0;
    // The design's zoom factor (1.0 without a design).
    virtual double documentZoomFactor() const = 0;
    // Enables the button that removes the selected items.
    virtual void enableMinusButton(bool enable) = 0;
    // One picture of several graphics, at the design's zoom factor.
    virtual std::shared_ptr<platform::Image>
    createImageFromGraphics(const QList<LBGraphicPtr>& graphics, bool createSimpleDragImage) = 0;
    virtual void addImageFilesToLibrary(const QStringList& files, bool copyFiles) = 0;
    virtual void makeNewGraphicsFromPasteboard(platform::Pasteboard& pasteboard,
                                               qint64 atIndex) = 0;
    virtual void makeNewImageFromPasteboard(platform::Pasteboard& pasteboard, qint64 atIndex) = 0;
    virtual void moveGraphicAtIndex(qint64 fromIndex, qint64 toIndex) = 0;
    virtual void processDoubleClickAtRow(qint64 row, qint64 column) = 0;
};

class LBLibraryMatrix : public QWidget
{
    Q_OBJECT
public:
    using CellPrototype = std::function<std::unique_ptr<LBMatrixCell>()>;

    // Registered for file names, both graphics-list types and pictures; empty selection
    // allowed; no drag started; plain image cells.
    explicit LBLibraryMatrix(QWidget* parent = nullptr);
    ~LBLibraryMatrix() override;

    void setController(LBLibraryMatrixController* controller) { _controller = controller; }
    LBLibraryMatrixController* controller() const { return _controller; }
    // The favourites accept drops; the shapes palette does not (nor does the widget then
    // take part in drag and drop, so no drop is offered over it).
    void setAcceptsDrags(bool accepts)
    {
        _acceptsDrags = accepts;
        setAcceptDrops(accepts);
    }
    bool acceptsDrags() const { return _acceptsDrags; }
    // The kind of cell new rows are made of.
    void setPrototype(CellPrototype prototype) { _prototype = std::move(prototype); }

    // --- Cells ---
    qint64 numberOfRows() const { return _rows; }
    qint64 numberOfColumns() const { return _columns; }
    // Makes the matrix rows × columns, keeping the cells that stay where they are by index
    // of row and column.
    void renewRows(qint64 rows, qint64 columns);
    // Removes the last row.
    void removeLastRow();
    QSizeF cellSize() const { return _cellSize; }
    void setCellSize(const QSizeF& size);
    QSizeF intercellSpacing() const { return _intercellSpacing; }
    void setIntercellSpacing(const QSizeF& spacing);
    // The size of all the cells with their spacing.
    QSizeF cellsSize() const;
    LBMatrixCell* cellAtRow(qint64 row, qint64 column) const;
    LBMatrixCell* cellAtIndex(qint64 index) const;
    qint64 cellCount() const { return _rows * _columns; }
    QRectF cellFrameAtRow(qint64 row, qint64 column) const;
    // The row and column of the cell under the point (not in the spacing between cells).
    bool getRow(qint64* row, qint64* column, const QPointF& point) const;
    // The index of the cell under the point, -1 for none.
    qint64 indexOfCellAtPoint(const QPointF& point) const;

    void setBackgroundColor(const QColor& color);
    void setDrawsBackground(bool draws);

    // --- Selection ---
    // Indexes of the selected cells, in order.
    QList<qint64> selectedIndexes() const;
    // The first selected cell's index, -1 when none.
    qint64 selectedIndex() const;
    void selectCellAtIndex(qint64 index);
    void deselectAllCells();
    void highlightCellAtIndex(qint64 index, bool highlight);
    // The anchor of a Shift range, -1 for none.
    qint64 anchorIndex() const { return _anchorIndex; }

    // --- Dragging out ---
    // The cell a drag started from, -1 when no drag started here.
    qint64 dragCellIndex() const { return _dragCellIndex; }
    bool dragOriginatedInThisView() const { return _dragOriginatedInThisView; }
    // The pasteboard type a drag of the graphics is offered under.
    static QString pasteboardTypeForGraphics(const QList<LBGraphicPtr>& graphics);

    // --- Dropping in (the operations of a drag of `pasteboard` over the matrix) ---
    // Qt::IgnoreAction for none.
    Qt::DropAction dragOperationForPasteboard(const platform::Pasteboard& pasteboard,
                                              bool fromThisView) const;
    // The index a drop at the point goes to: the cell's index when it is at most the item
    // count, else the position after the last item.
    qint64 targetIndexForPoint(const QPointF& point) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void mouseDown(QMouseEvent* event, int clickCount);
    void startDrag(const QMouseEvent& event);
    // Accepts the drag event with its operation; false (ignored) for none.
    bool acceptDrag(QDropEvent* event);
    void showTarget(const QPointF& point);
    void concludeDrop(platform::Pasteboard& pasteboard, qint64 target);
    std::unique_ptr<LBMatrixCell> newCell() const;
    qint64 itemCount() const;

    LBLibraryMatrixController* _controller = nullptr;
    CellPrototype _prototype;
    QList<std::shared_ptr<LBMatrixCell>> _cells; // row by row
    qint64 _rows = 0;
    qint64 _columns = 0;
    QSizeF _cellSize{60, 60};
    QSizeF _intercellSpacing{0, 0};
    QColor _backgroundColor{Qt::white};
    bool _drawsBackground = true;

    std::unique_ptr<QMouseEvent> _downEvent;
    qint64 _dragCellIndex = -1;
    bool _dragOriginatedInThisView = false;
    bool _acceptsDrags = true;
    qint64 _anchorIndex = -1;
};
