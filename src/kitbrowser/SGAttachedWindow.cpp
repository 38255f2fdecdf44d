#include "kitbrowser/SGAttachedWindow.h"

#include <QGuiApplication>
#include <QPainter>
#include <QRegion>
#include <QScreen>

#include <algorithm>

namespace {

bool arrowOnTop(int side)
{
    return side == 1 || side == 10 || side == 11;
}
bool arrowOnRight(int side)
{
    return side == 0 || side == 4 || side == 5;
}
bool arrowOnBottom(int side)
{
    return side == 3 || side == 8 || side == 9;
}
// The distance from the end of the arrow's edge to the arrow's middle.
qreal arrowInset(const SGAttachedWindow::Metrics& m)
{
    return m.scale * (m.arrowBaseWidth / 2 + (m.drawsRoundCornerBesideArrow ? m.cornerRadius : 0));
}

// Appends a quarter circle of radius r from the current point (r before `corner`, coming
// along `in`) to r after it along `out`; a square corner for r = 0.
void appendCorner(QPainterPath& path, const QPointF& corner, const QPointF& in, const QPointF& out,
                  qreal r)
{
    if (r <= 0) {
        path.lineTo(corner);
        return;
    }
    constexpr qreal kappa = 0.5522847498;
    const QPointF start = corner - in * r;
    const QPointF end = corner + out * r;
    path.lineTo(start);
    path.cubicTo(start + in * r * kappa, end - out * r * kappa, end);
}

} // namespace

QRectF SGAttachedWindow::flipped(const QRectF& rect)
{
    return QRectF(rect.x(), -(rect.y() + rect.height()), rect.width(), rect.height());
}

QPointF SGAttachedWindow::flipped(const QPointF& point)
{
    return QPointF(point.x(), -point.y());
}

void SGAttachedWindow::geometry(const Metrics& m, int side, const QPointF& point, qreal distance,
                                QRectF* windowFrame, QRectF* viewFrame)
{
    const qreal margin = m.viewMargin * m.scale;
    QRectF view(margin, margin, m.viewSize.width(), m.viewSize.height());
    QSizeF size(view.width() + 2 * margin, view.height() + 2 * margin);
    const qreal h = m.arrowHeight * m.scale;
    if (side == 0 || side == 2 || (side >= 4 && side <= 7))
        size.rwidth() += h;
    else
        size.rheight() += h;
    if (side == 2 || side == 6 || side == 7)
        view.translate(h, 0);
    else if (side == 3 || side == 8 || side == 9)
        view.translate(0, h);

    const qreal i = arrowInset(m);
    const qreal W = size.width();
    const qreal H = size.height();
    const qreal d = distance;
    const qreal px = point.x();
    const qreal py = point.y();
    QPointF origin;
    switch (side) {
    case 0: origin = {px - W - d, py - H / 2}; break;
    case 1: origin = {px - W / 2, py - H - d}; break;
    case 2: origin = {px + d, py - H / 2}; break;
    case 3: origin = {px - W / 2, py + d}; break;
    case 4: origin = {px - W - d, py - i}; break;
    case 5: origin = {px - W - d, py - (H - i)}; break;
    case 6: origin = {px + d, py - i}; break;
    case 7: origin = {px + d, py - (H - i)}; break;
    case 8: origin = {px - (W - i), py + d}; break;
    case 9: origin = {px - i, py + d}; break;
    case 10: origin = {px - (W - i), py - H - d}; break;
    default: origin = {px - i, py - H - d}; break; // 11
    }
    if (windowFrame)
        *windowFrame = QRectF(origin, size);
    if (viewFrame)
        *viewFrame = view;
}

int SGAttachedWindow::bestSide(const Metrics& m, const QPointF& point, qreal distance,
                               const QRectF& screen, const std::optional<QRectF>& parentFrame)
{
    const qreal margin = m.viewMargin * m.scale;
    const qreal W = m.viewSize.width() + 2 * margin;
    const qreal H = m.viewSize.height() + 2 * margin;
    const qreal A = m.arrowHeight * m.scale + distance;
    const qreal px = point.x();
    const qreal py = point.y();
    const QRectF& S = screen;

    // y-up: a rectangle's bottom is its lowest y (QRectF::top()), its top the highest.
    int side = 1;
    if (S.top() <= py - H - A)
        side = 1;
    else if (px + W + A < S.right())
        side = 2;
    else if (px - W - A >= S.left())
        side = 0;
    else if (py + H + A < S.bottom())
        side = 3;

    const QRectF F = parentFrame.value_or(S);
    const qreal i = arrowInset(m);
    if (side == 0 || side == 2) {
        if (F.top() <= py - H / 2) {
            if (F.bottom() <= py + H / 2 && S.top() <= py - H + i)
                side = side == 0 ? 5 : 7;
        } else if (py + H - i < S.bottom()) {
            side = side == 0 ? 4 : 6;
        }
    } else {
        if (F.left() <= px - W / 2) {
            if (F.right() <= px + W / 2 && S.left() <= px - W + i)
                side = side == 1 ? 10 : 8;
        } else if (px + W - i < S.right()) {
            side = side == 1 ? 11 : 9;
        }
    }
    return side;
}

QPainterPath SGAttachedWindow::backgroundPath(const Metrics& m, int side, const QRectF& viewFrame,
                                              qreal delta)
{
    const qreal margin = m.viewMargin * m.scale;
    const QRectF R = viewFrame.adjusted(-margin, -margin, margin, margin);
    const qreal r = m.cornerRadius * m.scale;
    const qreal b = m.arrowBaseWidth * m.scale;
    const qreal h = m.arrowHeight * m.scale;
    // y-up: R.top() is the lowest y, R.bottom() the highest.
    const qreal minX = R.left(), maxX = R.right(), minY = R.top(), maxY = R.bottom();
    const bool square = !m.drawsRoundCornerBesideArrow;
    const qreal rTL = (square && (side == 7 || side == 11)) ? 0 : r;
    const qreal rTR = (square && (side == 5 || side == 10)) ? 0 : r;
    const qreal rBR = (square && (side == 4 || side == 8)) ? 0 : r;
    const qreal rBL = (square && (side == 6 || side == 9)) ? 0 : r;

    QPainterPath path;
    const auto arrow = [&](const QPointF& at) {
        path.lineTo(at);
        if (!m.hasArrow)
            return;
        const qreal cx = at.x(), cy = at.y();
        if (arrowOnTop(side)) {
            path.lineTo(cx + b / 2, cy + h);
            path.lineTo(cx + b, cy);
        } else if (arrowOnRight(side)) {
            path.lineTo(cx + h, cy - b / 2);
            path.lineTo(cx, cy - b);
        } else if (arrowOnBottom(side)) {
            path.lineTo(cx - b / 2, cy - h);
            path.lineTo(cx - b, cy);
        } else {
            path.lineTo(cx - h, cy + b / 2);
            path.lineTo(cx, cy + b);
        }
    };

    const qreal midX = R.center().x();
    const qreal midY = R.center().y();
    path.moveTo(minX + rTL, maxY);
    // Top edge, to the right.
    if (side == 1)
        arrow({midX - b / 2, maxY});
    else if (side == 10)
        arrow({maxX - rTR - b, maxY});
    else if (side == 11)
        arrow({minX + rTL, maxY});
    appendCorner(path, {maxX, maxY}, {1, 0}, {0, -1}, rTR);
    // Right edge, downward.
    if (side == 0)
        arrow({maxX, midY + b / 2 + delta});
    else if (side == 4)
        arrow({maxX, minY + rBR + b});
    else if (side == 5)
        arrow({maxX, maxY - rTR});
    appendCorner(path, {maxX, minY}, {0, -1}, {-1, 0}, rBR);
    // Bottom edge, to the left.
    if (side == 3)
        arrow({midX + b / 2, minY});
    else if (side == 8)
        arrow({maxX - rBR, minY});
    else if (side == 9)
        arrow({minX + rBL + b, minY});
    appendCorner(path, {minX, minY}, {-1, 0}, {0, 1}, rBL);
    // Left edge, upward.
    if (side == 2)
        arrow({minX, midY - b / 2 + delta});
    else if (side == 6)
        arrow({minX, minY + rBL});
    else if (side == 7)
        arrow({minX, maxY - rTL - b});
    appendCorner(path, {minX, maxY}, {0, 1}, {1, 0}, rTL);
    path.closeSubpath();
    return path;
}

SGAttachedWindow* SGAttachedWindow::withView(QWidget* view, const QPointF& attachedToPoint,
                                             const QPointF& originalPoint, QWidget* inWindow,
                                             int onSide, qreal atDistance)
{
    if (!view)
        return nullptr;
    return new SGAttachedWindow(view, attachedToPoint, originalPoint, inWindow, onSide, atDistance);
}

SGAttachedWindow::SGAttachedWindow(QWidget* view, const QPointF& point,
                                   const QPointF& originalPoint, QWidget* window, int side,
                                   qreal distance)
    : QWidget(window ? window->window() : nullptr, Qt::Tool | Qt::FramelessWindowHint),
      _view(view),
      _window(window ? window->window() : nullptr),
      _point(point),
      _origPoint(originalPoint),
      _side(side),
      _distance(distance)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    _viewFrame = QRectF(QPointF(_viewMargin, _viewMargin), QSizeF(view->size()));
    if (_side < 0 || _side >= AutomaticSide) {
        const QPointF at = screenPoint(_point);
        QScreen* screen =
            _window && _window->screen() ? _window->screen() : QGuiApplication::primaryScreen();
        const QRectF visible =
            screen ? flipped(QRectF(screen->availableGeometry())) : QRectF(-1e6, -1e6, 2e6, 2e6);
        std::optional<QRectF> parent;
        if (_window)
            parent = flipped(QRectF(_window->frameGeometry()));
        _side = bestSide(metrics(), at, _distance, visible, parent);
    }
    view->setParent(this);
    updateGeometry();
    view->show();
}

SGAttachedWindow::~SGAttachedWindow() = default;

SGAttachedWindow::Metrics SGAttachedWindow::metrics() const
{
    Metrics m;
    m.viewSize = _view ? QSizeF(_view->size()) : _viewFrame.size();
    m.viewMargin = _viewMargin;
    m.arrowBaseWidth = _arrowBaseWidth;
    m.arrowHeight = _arrowHeight;
    m.cornerRadius = _cornerRadius;
    m.drawsRoundCornerBesideArrow = _drawsRoundCornerBesideArrow;
    m.hasArrow = _hasArrow;
    return m;
}

QPointF SGAttachedWindow::screenPoint(const QPointF& point) const
{
    const QPointF global = _window ? QPointF(_window->mapToGlobal(QPoint(0, 0))) + point : point;
    return flipped(global);
}

void SGAttachedWindow::updateGeometry()
{
    QRectF frame;
    geometry(metrics(), _side, screenPoint(_point), _distance, &frame, &_viewFrame);
    const QRectF qtFrame = flipped(frame);
    QRect rounded = qtFrame.toAlignedRect();
    if (parentWidget())
        rounded.moveTopLeft(parentWidget()->mapFromGlobal(rounded.topLeft()));
    setGeometry(rounded);
    // Outside its outline the window is not there, also where no compositor blends its
    // transparent parts.
    setMask(QRegion(outline().toFillPolygon().toPolygon()));
    if (_view) {
        // The view frame is y-up inside the window; the widget's rows run down.
        const QRectF viewRect(_viewFrame.x(), frame.height() - _viewFrame.y() - _viewFrame.height(),
                              _viewFrame.width(), _viewFrame.height());
        _view->setGeometry(viewRect.toRect());
    }
}

void SGAttachedWindow::redisplay()
{
    if (_resizing)
        return;
    _resizing = true;
    updateGeometry();
    update();
    _resizing = false;
}

QPainterPath SGAttachedWindow::outline() const
{
    const QPointF delta = screenPoint(_origPoint) - screenPoint(_point);
    const QPainterPath path = backgroundPath(metrics(), _side, _viewFrame, delta.y());
    // From y-up window coordinates to the widget's.
    return QTransform(1, 0, 0, -1, 0, height()).map(path);
}

void SGAttachedWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPainterPath path = outline();
    painter.setClipPath(path);
    painter.fillPath(path, _fill);
    if (_borderWidth > 0) {
        // Twice the width inside the clip: half falls outside, so the border shows its width.
        QPen pen(_borderColor, _borderWidth * 2);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.strokePath(path, pen);
    }
}

void SGAttachedWindow::setBorderColor(const QColor& color)
{
    if (color == _borderColor)
        return;
    _borderColor = color;
    update();
}

void SGAttachedWindow::setBorderWidth(qreal width)
{
    const qreal bounded = std::min(width, _viewMargin);
    if (bounded == _borderWidth)
        return;
    _borderWidth = bounded;
    update();
}

void SGAttachedWindow::setViewMargin(qreal margin)
{
    const qreal bounded = std::max(margin, qreal(0));
    if (bounded == _viewMargin)
        return;
    _viewMargin = bounded;
    setCornerRadius(_cornerRadius);
}

void SGAttachedWindow::setCornerRadius(qreal radius)
{
    const qreal side = 2 * _viewMargin + std::min(_viewFrame.width(), _viewFrame.height());
    const qreal limit = std::max(qreal(0), (side - _arrowBaseWidth) / 2);
    _cornerRadius = std::clamp(radius, qreal(0), limit);
    setArrowBaseWidth(_arrowBaseWidth);
}

void SGAttachedWindow::setArrowBaseWidth(qreal width)
{
    qreal limit =
        2 * _viewMargin + std::min(_viewFrame.width(), _viewFrame.height()) - _cornerRadius;
    if (_drawsRoundCornerBesideArrow)
        limit -= _cornerRadius;
    // Never negative: a tiny view gets no arrow base rather than an arrow turned inside out.
    _arrowBaseWidth = std::max(qreal(0), std::min(width, limit));
    redisplay();
}

void SGAttachedWindow::setArrowHeight(qreal height)
{
    if (height == _arrowHeight)
        return;
    _arrowHeight = height;
    redisplay();
}

void SGAttachedWindow::setHasArrow(bool hasArrow)
{
    if (hasArrow == _hasArrow)
        return;
    _hasArrow = hasArrow;
    update();
}

void SGAttachedWindow::setDrawsRoundCornerBesideArrow(bool draws)
{
    if (draws == _drawsRoundCornerBesideArrow)
        return;
    _drawsRoundCornerBesideArrow = draws;
    redisplay();
}

void SGAttachedWindow::setBackgroundColor(const QColor& color)
{
    if (_fill.style() == Qt::SolidPattern && color == _fill.color())
        return;
    _fill = QBrush(color);
    update();
}

void SGAttachedWindow::setBackgroundImage(const QPixmap& image)
{
    if (image.isNull())
        return;
    _fill = QBrush(image);
    update();
}
