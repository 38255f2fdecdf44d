#pragma once

// The document window's split view. A divider of thickness 1 (the thickness it starts
// with) is a grey line; another thickness draws the platform's divider. It may fill its
// background with a colour, restrict dragging to chosen dividers, and run a divider of its
// own: an 8-point zone over the start of the pane after each divider, with the resize
// cursor and a dimple, dragged within the minimum sizes of its first three panes (0 means
// the default, 100 points). Each step of its own dragging posts
// "NSSplitViewWillResizeSubviewsNotification" and "NSSplitViewDidResizeSubviewsNotification"
// (the split view as object), as the platform's dragging tells the delegate.
//
// "Vertical" is the platform's sense: panes side by side, divided by vertical lines.

#include <QColor>
#include <QList>
#include <QPointer>
#include <QSplitter>

#include <memory>
#include <optional>

namespace platform {
class Image;
}

inline const QString NSSplitViewWillResizeSubviewsNotification =
    QStringLiteral("NSSplitViewWillResizeSubviewsNotification");
inline const QString NSSplitViewDidResizeSubviewsNotification =
    QStringLiteral("NSSplitViewDidResizeSubviewsNotification");

class LBSplitView : public QSplitter
{
    Q_OBJECT
public:
    explicit LBSplitView(QWidget* parent = nullptr);
    LBSplitView(bool vertical, QWidget* parent);
    ~LBSplitView() override;

    bool isVertical() const { return orientation() == Qt::Horizontal; }
    void setVertical(bool vertical);

    qreal dividerThickness() const { return _dividerThickness; }
    void setDividerThickness(qreal thickness);

    // Invalid for none.
    QColor backgroundColor() const { return _backgroundColor; }
    void setBackgroundColor(const QColor& color);

    bool usesArtificialDivider() const { return _useArtificialDivider; }
    // Keeps the flag; drawDimple loads the dimple picture ("SplitViewDimple").
    void setUseArtificialDivider(bool useArtificialDivider, bool drawDimple);
    std::shared_ptr<platform::Image> dimpleImage() const { return _dimpleImage; }

    // Minimum sizes along the split of panes 0, 1 and 2 (0: the default).
    void setViewMinWidth0(qreal minWidth0, qreal minWidth1, qreal minWidth2);
    // The minimum size of pane `index` as set (0 when not set, or beyond pane 2).
    qreal viewMinWidth(int index) const;

    // The dividers that can be dragged; none set: all of them; an empty list: none.
    void setDividerEnabledArray(const std::optional<QList<int>>& dividers);
    std::optional<QList<int>> dividerEnabledArray() const { return _dividerEnabled; }

    // The own divider's zone of divider i: 8 points along the split from the start of pane
    // i + 1, as long as that pane across it; the zero rectangle for a divider that cannot
    // be dragged or does not exist.
    QRectF dividerRectAtIndex(int index) const;
    // The zones with the resize cursor (the visible part of each), with the own divider.
    QList<QRectF> cursorRects() const;
    // Where the dimple of divider i is drawn; the zero rectangle without a dimple.
    QRectF dimpleRectAtIndex(int index) const;

    // The colour of the line of a divider 1 point thick: 155 of 255.
    static QColor thinDividerColor();

    // The own divider's dragging, in the split view's coordinates: a press, each step of
    // the drag, and the release. Without the own divider they do nothing.
    void mouseDown(const QPointF& point);
    void mouseDragged(const QPointF& point);
    void mouseUp();

    // The frames of the panes, as the split view lays them out now.
    QRectF paneFrame(int index) const;

protected:
    QSplitterHandle* createHandle() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    class DividerZone;
    // The zone widgets of the own divider follow the panes.
    void updateZones();
    // Moves divider i by `change` points (pane i grows, pane i + 1 shrinks).
    void moveDivider(int index, qreal change);
    qreal along(const QPointF& point) const { return isVertical() ? point.x() : point.y(); }

    qreal _dividerThickness = 1;
    QColor _backgroundColor;
    bool _useArtificialDivider = false;
    std::shared_ptr<platform::Image> _dimpleImage;
    qreal _minWidths[3] = {0, 0, 0};
    std::optional<QList<int>> _dividerEnabled;
    QList<QPointer<DividerZone>> _zones;

    // The own divider's drag.
    bool _initializeLimits = true;
    bool _dragStopped = false;
    qreal _lowerLimit = 0;
    qreal _upperLimit = 0;
    qreal _previousPosition = 0;
    int _dividerIndex = -1;
    std::optional<QPointF> _mouseDownPoint;

    friend class LBSplitViewSizeButton;
};

// A small button (under the layers table) that drags divider `tag` of its split view when
// the pointer is dragged from it, within the minimum sizes of the panes on either side (0
// means the default, 15 points). Pressing it does nothing else.
class LBSplitViewSizeButton : public QWidget
{
    Q_OBJECT
public:
    explicit LBSplitViewSizeButton(QWidget* parent = nullptr);
    ~LBSplitViewSizeButton() override;

    LBSplitView* splitter() const { return _splitter; }
    void setSplitter(LBSplitView* splitter);
    // The divider it drags.
    int tag() const { return _tag; }
    void setTag(int tag) { _tag = tag; }
    void setViewMinWidth0(qreal minWidth0, qreal minWidth1);

    // A drag step with the pointer at `point` in the window's coordinates; the limits are
    // taken at the first step after a press.
    void mouseDragged(const QPointF& windowPoint);
    // Press and release only start the limits again.
    void resetLimits() { _initializeLimits = true; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void updateCursor();

    LBSplitView* _splitter = nullptr;
    int _tag = 0;
    qreal _minWidths[2] = {0, 0};
    bool _initializeLimits = true;
    qreal _lowerLimit = 0;
    qreal _upperLimit = 0;
    qreal _previousPosition = 0;
};
