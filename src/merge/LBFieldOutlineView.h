#pragma once

// The outline of the fields pane. Its controller supplies what it shows (a model over the
// field lists), the backgrounds of its rows (through an LBFieldCell delegate, set just
// before each row is drawn), what a drag of a row carries and the picture dragged with it.
// A field row dragged out goes as a copy; a group row does not move.

#include <QImage>
#include <QPoint>
#include <QTreeView>

class LBFieldsController;

class LBFieldOutlineView : public QTreeView
{
    Q_OBJECT
public:
    explicit LBFieldOutlineView(QWidget* parent = nullptr);
    ~LBFieldOutlineView() override;

    // Not owned.
    void setController(LBFieldsController* controller) { _controller = controller; }
    LBFieldsController* controller() const { return _controller; }

    // The picture dragged with the rows, the first of them counting: the controller's
    // (half transparent); the hot spot gets where the pointer holds it.
    QImage dragImageForRowsWithIndexes(const QModelIndexList& rows, const QPoint& mouse,
                                       QPoint* hotSpot) const;
    // Runs the drag of the row under the point (nothing for a group or no row).
    void startRowDrag(const QPoint& at);

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    LBFieldsController* _controller = nullptr; // not owned
    QPoint _pressPoint;
    QPersistentModelIndex _pressIndex;
};
