#pragma once

// A row of segments, each with a label or a picture, a width and a tool tip; clicking one
// selects it (or, momentary, only while the button is down) and sends the control's action
// (the activated signal). The segments and their drawing belong to the control's cell, so a
// control with a look of its own draws through a cell class of its own
// (SegmentedControl(parent, std::make_unique<MyCell>())).

#include <QList>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QWidget>

#include <memory>

class QPainter;

namespace platform {

class SegmentedCell
{
public:
    enum class Tracking { SelectOne, Momentary };

    SegmentedCell();
    virtual ~SegmentedCell();

    int segmentCount() const { return int(_segments.size()); }
    void setSegmentCount(int count);
    QString labelForSegment(int segment) const;
    void setLabel(const QString& label, int forSegment);
    // 0 means as wide as its content.
    qreal widthForSegment(int segment) const;
    void setWidth(qreal width, int forSegment);
    QPixmap imageForSegment(int segment) const;
    void setImage(const QPixmap& image, int forSegment);
    QString toolTipForSegment(int segment) const;
    void setToolTip(const QString& toolTip, int forSegment);
    bool isEnabledForSegment(int segment) const;
    void setEnabled(bool enabled, int forSegment);

    // -1 for none.
    int selectedSegment() const { return _selected; }
    void setSelectedSegment(int segment);
    Tracking trackingMode() const { return _tracking; }
    void setTrackingMode(Tracking mode) { _tracking = mode; }
    // The segment being pressed (momentary tracking), -1 for none.
    int highlightedSegment() const { return _highlighted; }
    void setHighlightedSegment(int segment) { _highlighted = segment; }

    // The width a segment takes: its own, else its content's.
    virtual qreal effectiveWidth(int segment, const QWidget* view) const;
    // The segment at x in a frame starting at 0; -1 for none.
    int segmentAtX(qreal x, const QWidget* view) const;

    // Draws the segments in the frame.
    virtual void drawWithFrame(QPainter& painter, const QRectF& frame, QWidget* view);
    virtual void drawSegment(QPainter& painter, int segment, const QRectF& frame, QWidget* view);

private:
    struct Segment
    {
        QString label;
        qreal width = 0;
        QPixmap image;
        QString toolTip;
        bool enabled = true;
    };
    QList<Segment> _segments;
    int _selected = -1;
    int _highlighted = -1;
    Tracking _tracking = Tracking::SelectOne;
};

class SegmentedControl : public QWidget
{
    Q_OBJECT
public:
    explicit SegmentedControl(QWidget* parent = nullptr,
                              std::unique_ptr<SegmentedCell> cell = nullptr);
    ~SegmentedControl() override;

    SegmentedCell* cell() const { return _cell.get(); }
    // The cell's selection, or the segment last clicked of a momentary control.
    int selectedSegment() const;
    void setSelectedSegment(int segment);

    QSize sizeHint() const override;

Q_SIGNALS:
    // The action: a segment was clicked.
    void activated(int segment);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    std::unique_ptr<SegmentedCell> _cell;
    int _clicked = -1;
};

} // namespace platform
