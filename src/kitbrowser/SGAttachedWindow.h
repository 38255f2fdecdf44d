#pragma once

// A borderless, translucent window that holds one view and points at a spot with a
// triangular arrow, like a speech bubble: the kit browser's previews. It works out on which
// side of the spot it fits, sizes itself around the view, and paints its rounded outline,
// border and arrow itself.
//
// Sides: where the window lies relative to the point and where its arrow sits.
//   0 left (arrow on the right edge, middle)     1 below (top edge, middle)
//   2 right (left edge, middle)                  3 above (bottom edge, middle)
//   4 left, reaching upward (right edge, low)    5 left, reaching downward (right edge, high)
//   6 right, reaching upward (left edge, low)    7 right, reaching downward (left edge, high)
//   8 above, reaching leftward (bottom, right)   9 above, reaching rightward (bottom, left)
//   10 below, reaching leftward (top, right)     11 below, reaching rightward (top, left)
//   12 automatic: replaced at creation by the best side.
//
// The geometry is worked out by pure functions in y-up screen coordinates (origin at the
// bottom left, as the layout rules are written), converted once from and to Qt's y-down
// coordinates. Lengths are in points; the display scale is 1 in Qt's device-independent
// coordinates.

#include "kitbrowser/iCorbeilGUIExport.h"

#include <QBrush>
#include <QColor>
#include <QPainterPath>
#include <QPixmap>
#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QWidget>

#include <optional>

class ICORBEILGUI_EXPORT SGAttachedWindow : public QWidget
{
    Q_OBJECT

public:
    enum { AutomaticSide = 12 };

    // The sizes the layout uses, in points.
    struct Metrics
    {
        QSizeF viewSize;
        qreal viewMargin = 2;
        qreal arrowBaseWidth = 20;
        qreal arrowHeight = 16;
        qreal cornerRadius = 8;
        bool drawsRoundCornerBesideArrow = true;
        bool hasArrow = true;
        qreal scale = 1;
    };

    // --- The layout rules (y-up coordinates) ---
    // The window's frame on screen and the view's frame inside the window, for the side.
    static void geometry(const Metrics& metrics, int side, const QPointF& point, qreal distance,
                         QRectF* windowFrame, QRectF* viewFrame);
    // The side that fits on the screen's visible frame (and, refined, beside the parent
    // window's frame, the screen's when there is none).
    static int bestSide(const Metrics& metrics, const QPointF& point, qreal distance,
                        const QRectF& screen, const std::optional<QRectF>& parentFrame);
    // The outline in the window's coordinates, `delta` the original point's height above
    // the point (shifting the arrow of sides 0 and 2).
    static QPainterPath backgroundPath(const Metrics& metrics, int side, const QRectF& viewFrame,
                                       qreal delta);
    // Qt's y-down rectangles and points to y-up ones and back (the same flip both ways).
    static QRectF flipped(const QRectF& rect);
    static QPointF flipped(const QPointF& point);

    // A window showing `view` that points at `point` (in the coordinates of `window`, or of
    // the screen without one) from `side` at `distance`; nullptr without a view. The view
    // becomes the window's child. `originalPoint` is where the caller first aimed.
    static SGAttachedWindow* withView(QWidget* view, const QPointF& attachedToPoint,
                                      const QPointF& originalPoint, QWidget* inWindow, int onSide,
                                      qreal atDistance);
    ~SGAttachedWindow() override;

    QColor borderColor() const { return _borderColor; }
    void setBorderColor(const QColor& color);
    qreal borderWidth() const { return _borderWidth; }
    // At most the margin.
    void setBorderWidth(qreal width);
    qreal viewMargin() const { return _viewMargin; }
    // At least 0; the corner radius and arrow are clamped to it again.
    void setViewMargin(qreal margin);
    qreal arrowBaseWidth() const { return _arrowBaseWidth; }
    void setArrowBaseWidth(qreal width);
    qreal arrowHeight() const { return _arrowHeight; }
    void setArrowHeight(qreal height);
    bool hasArrow() const { return _hasArrow; }
    void setHasArrow(bool hasArrow);
    qreal cornerRadius() const { return _cornerRadius; }
    void setCornerRadius(qreal radius);
    bool drawsRoundCornerBesideArrow() const { return _drawsRoundCornerBesideArrow; }
    void setDrawsRoundCornerBesideArrow(bool draws);
    // The fill colour (the window's own background stays transparent).
    QColor windowBackgroundColor() const { return _fill.color(); }
    void setBackgroundColor(const QColor& color);
    // Fills with the picture, tiled; a null picture changes nothing.
    void setBackgroundImage(const QPixmap& image);

    int side() const { return _side; }
    // The view's frame in the window (y-up window coordinates).
    QRectF viewFrame() const { return _viewFrame; }
    // The outline as painted (widget coordinates).
    QPainterPath outline() const;
    Metrics metrics() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SGAttachedWindow(QWidget* view, const QPointF& point, const QPointF& originalPoint,
                     QWidget* window, int side, qreal distance);
    void updateGeometry();
    void redisplay();
    // The point and the original point in y-up screen coordinates.
    QPointF screenPoint(const QPointF& point) const;

    QColor _borderColor = Qt::white;
    qreal _borderWidth = 2;
    qreal _viewMargin = 2;
    qreal _arrowBaseWidth = 20;
    qreal _arrowHeight = 16;
    bool _hasArrow = true;
    qreal _cornerRadius = 8;
    bool _drawsRoundCornerBesideArrow = true;
    QBrush _fill = QBrush(QColor::fromRgbF(0.1, 0.1, 0.1, 0.75));
    QPointer<QWidget> _view;
    QPointer<QWidget> _window;
    QPointF _point;
    QPointF _origPoint;
    int _side = AutomaticSide;
    qreal _distance = 0;
    QRectF _viewFrame;
    bool _resizing = false;
};
