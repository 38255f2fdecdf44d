#pragma once

// The text library's list: one column of rows whose texts its controller gives, each row
// as high as its text needs. A row dragged out carries its graphic as "Quarn Print Line"
// (the editing canvas recognises this class as a library source) and its row number; the
// drag image is the graphic drawn at the design's zoom. Drops land between rows: the gap
// under the pointer is marked with a line. Delete and forward delete remove the selected
// row through the controller.

#include <QPoint>
#include <QTableView>

#include <memory>

class LBGraphic;
class LBTextArea;
class LBTextDrawerController;
class QImage;

class LBTextDrawerTableView : public QTableView
{
    Q_OBJECT
public:
    explicit LBTextDrawerTableView(QWidget* parent = nullptr);
    ~LBTextDrawerTableView() override;

    void setController(LBTextDrawerController* controller);
    LBTextDrawerController* controller() const { return _controller; }
    // The graphic being dragged out, for its drag image.
    void setDraggedTextObject(const std::shared_ptr<LBGraphic>& graphic);
    std::shared_ptr<LBGraphic> draggedTextObject() const { return _draggedTextObj; }
    void setZoomFactor(double zoomFactor) { _zoomFactor = zoomFactor; }
    double zoomFactor() const { return _zoomFactor; }

    // Rows and their heights again from the controller.
    void reloadData();
    // A row's height changed (the row lies 6 points below the one above it).
    void setHeightOfRow(qint64 row, double height);
    // The selected row, -1 for none.
    qint64 selectedRow() const;
    void selectRow(qint64 row);

    // The drag image of the dragged graphic and where the pointer holds it, for a drag
    // that starts at `mouse` (view coordinates) on the first dragged row.
    QImage dragImageForRows(qint64 firstRow, const QPoint& mouse, QPoint* hotSpot) const;
    // The gap a drop at the point goes into: above that row (the row count for below the
    // last).
    qint64 dropRowAtPoint(const QPoint& point) const;
    // The gap marked while something is dragged over the list; -1 for none.
    qint64 dropIndicatorRow() const { return _dropRow; }

    void deleteForward();
    void deleteBackward();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class Model;
    class Delegate;

    static int sectionSizeFor(double rowHeight);
    void startRowDrag(const QPoint& at);
    Qt::DropAction dropActionFor(QDropEvent* event);

    LBTextDrawerController* _controller = nullptr;
    std::shared_ptr<LBGraphic> _draggedTextObj;
    double _zoomFactor = 1.0;
    Model* _model = nullptr;
    QPoint _pressPoint;
    qint64 _pressRow = -1;
    qint64 _dropRow = -1;
};
