#include "controls/LBSplitView.h"

#include "platform/core/NotificationCenter.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QChildEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <cmath>

using namespace platform;

namespace {

constexpr qreal DividerZoneThickness = 8;
constexpr qreal DefaultMinimumSize = 100;
constexpr qreal DefaultButtonMinimumSize = 15;

class LBSplitViewHandle : public QSplitterHandle
{
public:
    LBSplitViewHandle(Qt::Orientation orientation, LBSplitView* parent)
        : QSplitterHandle(orientation, parent), _splitView(parent)
    {}

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (_splitView->dividerThickness() != 1) {
            QSplitterHandle::paintEvent(event);
            return;
        }
        QPainter painter(this);
        painter.fillRect(rect(), LBSplitView::thinDividerColor());
    }
    // With the own divider, the platform's divider does not drag: a press on it lies
    // outside every zone of the own one.
    void mousePressEvent(QMouseEvent* event) override
    {
        if (!_splitView->usesArtificialDivider())
            return QSplitterHandle::mousePressEvent(event);
        _splitView->mouseDown(mapTo(_splitView, event->position()));
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (!_splitView->usesArtificialDivider())
            return QSplitterHandle::mouseMoveEvent(event);
        if (event->buttons() & Qt::LeftButton)
            _splitView->mouseDragged(mapTo(_splitView, event->position()));
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (!_splitView->usesArtificialDivider())
            return QSplitterHandle::mouseReleaseEvent(event);
        _splitView->mouseUp();
    }

private:
    LBSplitView* _splitView;
};

} // namespace

// The own divider's zone over the start of a pane: the resize cursor, the dimple, and the
// mouse for the split view's dragging.
class LBSplitView::DividerZone : public QWidget
{
public:
    DividerZone(LBSplitView* splitView, int index) : _splitView(splitView), _index(index)
    {
        setAttribute(Qt::WA_NoSystemBackground);
        setCursor(splitView->isVertical() ? Qt::SplitHCursor : Qt::SplitVCursor);
    }

    void setIndex(int index) { _index = index; }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        const QRectF dimple = _splitView->dimpleRectAtIndex(_index);
        if (dimple.isNull())
            return;
        const QRectF local = dimple.translated(-mapTo(_splitView, QPointF()));
        if (!local.intersects(QRectF(event->rect())))
            return;
        QPainter painter(this);
        GraphicsContext context(&painter, true);
        GraphicsContext::Scope scope(context);
        _splitView->dimpleImage()->drawInRect(local);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        _splitView->mouseDown(mapTo(_splitView, event->position()));
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (event->buttons() & Qt::LeftButton)
            _splitView->mouseDragged(mapTo(_splitView, event->position()));
    }
    void mouseReleaseEvent(QMouseEvent*) override { _splitView->mouseUp(); }

private:
    LBSplitView* _splitView;
    int _index;
};

LBSplitView::LBSplitView(QWidget* parent) : LBSplitView(true, parent)
{}

LBSplitView::LBSplitView(bool vertical, QWidget* parent)
    : QSplitter(vertical ? Qt::Horizontal : Qt::Vertical, parent)
{
    setChildrenCollapsible(false);
    setDividerThickness(1);
    connect(this, &QSplitter::splitterMoved, this, &LBSplitView::updateZones);
}

LBSplitView::~LBSplitView() = default;

void LBSplitView::setVertical(bool vertical)
{
    setOrientation(vertical ? Qt::Horizontal : Qt::Vertical);
    updateZones();
}

QColor LBSplitView::thinDividerColor()
{
    return QColor::fromRgbF(0.60784313725f, 0.60784313725f, 0.60784313725f);
}

void LBSplitView::setDividerThickness(qreal thickness)
{
    _dividerThickness = thickness;
    setHandleWidth(qMax(0, int(std::lround(thickness))));
    update();
}

void LBSplitView::setBackgroundColor(const QColor& color)
{
    _backgroundColor = color;
    update();
}

void LBSplitView::setUseArtificialDivider(bool useArtificialDivider, bool drawDimple)
{
    _useArtificialDivider = useArtificialDivider;
    if (drawDimple)
        _dimpleImage = Image::imageNamed(QStringLiteral("SplitViewDimple"));
    updateZones();
    update();
}

void LBSplitView::setViewMinWidth0(qreal minWidth0, qreal minWidth1, qreal minWidth2)
{
    _minWidths[0] = minWidth0;
    _minWidths[1] = minWidth1;
    _minWidths[2] = minWidth2;
}

qreal LBSplitView::viewMinWidth(int index) const
{
    return index >= 0 && index < 3 ? _minWidths[index] : 0;
}

void LBSplitView::setDividerEnabledArray(const std::optional<QList<int>>& dividers)
{
    _dividerEnabled = dividers;
    updateZones();
}

QRectF LBSplitView::paneFrame(int index) const
{
    const QWidget* pane = widget(index);
    return pane ? QRectF(pane->geometry()) : QRectF();
}

QRectF LBSplitView::dividerRectAtIndex(int index) const
{
    if (_dividerEnabled && !_dividerEnabled->contains(index))
        return QRectF();
    if (index < 0 || index + 1 >= count())
        return QRectF();
    const QRectF pane = paneFrame(index + 1);
    return isVertical() ? QRectF(pane.x(), pane.y(), DividerZoneThickness, pane.height())
                        : QRectF(pane.x(), pane.y(), pane.width(), DividerZoneThickness);
}

QList<QRectF> LBSplitView::cursorRects() const
{
    QList<QRectF> rects;
    if (!_useArtificialDivider)
        return rects;
    for (int i = 0; i + 1 < count(); ++i) {
        const QRectF zone = dividerRectAtIndex(i) & QRectF(rect());
        if (!zone.isEmpty())
            rects.append(zone);
    }
    return rects;
}

QRectF LBSplitView::dimpleRectAtIndex(int index) const
{
    if (!_useArtificialDivider || !_dimpleImage)
        return QRectF();
    const QRectF zone = dividerRectAtIndex(index);
    if (zone.isNull())
        return QRectF();
    const QSizeF size = _dimpleImage->size();
    // Its lower left corner half its height below the zone's middle, a point left of centre.
    const QPointF bottomLeft(zone.x() + zone.width() / 2 - size.width() / 2 - 1,
                             zone.y() + zone.height() / 2 + size.height() / 2);
    return QRectF(bottomLeft - QPointF(0, size.height()), size);
}

void LBSplitView::updateZones()
{
    // Each zone lies over the start of the pane after its divider, as a child of that
    // pane (a child of the split view would become a pane itself).
    const int wanted = _useArtificialDivider ? qMax(0, count() - 1) : 0;
    _zones.removeAll(nullptr);
    while (_zones.size() > wanted)
        delete _zones.takeLast();
    while (_zones.size() < wanted)
        _zones.append(new DividerZone(this, int(_zones.size())));
    for (int i = 0; i < _zones.size(); ++i) {
        QWidget* pane = widget(i + 1);
        DividerZone* zone = _zones[i];
        zone->setIndex(i);
        if (zone->parentWidget() != pane)
            zone->setParent(pane);
        const QRectF area = dividerRectAtIndex(i) & QRectF(rect());
        zone->setGeometry(area.translated(-QPointF(pane->pos())).toAlignedRect());
        zone->setVisible(!area.isEmpty());
        zone->raise();
    }
}

void LBSplitView::resizeEvent(QResizeEvent* event)
{
    QSplitter::resizeEvent(event);
    updateZones();
}

void LBSplitView::childEvent(QChildEvent* event)
{
    QSplitter::childEvent(event);
    // Panes come and go; the zones, children themselves, are left out.
    if (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved) {
        QMetaObject::invokeMethod(this, &LBSplitView::updateZones, Qt::QueuedConnection);
    }
}

QSplitterHandle* LBSplitView::createHandle()
{
    return new LBSplitViewHandle(orientation(), this);
}

void LBSplitView::paintEvent(QPaintEvent* event)
{
    if (_backgroundColor.isValid()) {
        QRectF dirty = event->rect();
        // One point short at the bottom edge.
        if (dirty.bottom() >= height())
            dirty.setBottom(height() - 1);
        QPainter painter(this);
        painter.fillRect(dirty, _backgroundColor);
    }
    QSplitter::paintEvent(event);
}

void LBSplitView::mouseDown(const QPointF& point)
{
    if (!_useArtificialDivider)
        return;
    _mouseDownPoint = point;
    _initializeLimits = true;
    _dragStopped = false;
}

void LBSplitView::mouseDragged(const QPointF& point)
{
    if (!_useArtificialDivider || _dragStopped)
        return;
    if (_initializeLimits) {
        _previousPosition = along(point);
        _initializeLimits = false;
        _dividerIndex = -1;
        const QPointF probe = _mouseDownPoint.value_or(point);
        for (int i = 0; i + 1 < count(); ++i) {
            if ((dividerRectAtIndex(i) & QRectF(rect())).contains(probe)) {
                _dividerIndex = i;
                break;
            }
        }
        if (_dividerIndex < 0) {
            _dragStopped = true;
            return;
        }
        const auto minimum = [](qreal value) { return value == 0 ? DefaultMinimumSize : value; };
        const int i = _dividerIndex;
        const qreal before = minimum(i <= 1 ? _minWidths[i] : 0);
        const qreal after = minimum(i <= 1 ? _minWidths[i + 1] : 0);
        const QRectF pane = paneFrame(i), next = paneFrame(i + 1);
        // The limits are where the pane after the divider may start, moved by where the
        // pointer is in the zone, so that neither pane falls below its minimum.
        const qreal grab = along(probe) - along(next.topLeft());
        _lowerLimit = along(pane.topLeft()) + before + handleWidth() + grab;
        _upperLimit = along(next.bottomRight()) - after + grab;
    }
    // The upper limit first, then the lower one, which wins when they cross.
    const qreal position = qMax(qMin(along(point), _upperLimit), _lowerLimit);
    const qreal change = position - _previousPosition;
    _previousPosition = position;
    if (change != 0)
        moveDivider(_dividerIndex, change);
}

void LBSplitView::mouseUp()
{
    _initializeLimits = true;
    _dragStopped = false;
    _mouseDownPoint.reset();
    updateZones();
}

void LBSplitView::moveDivider(int index, qreal change)
{
    auto& center = NotificationCenter::defaultCenter();
    center.post(NSSplitViewWillResizeSubviewsNotification, this);
    QList<int> panes = sizes();
    panes[index] += int(std::lround(change));
    panes[index + 1] -= int(std::lround(change));
    setSizes(panes);
    updateZones();
    center.post(NSSplitViewDidResizeSubviewsNotification, this);
}

LBSplitViewSizeButton::LBSplitViewSizeButton(QWidget* parent) : QWidget(parent)
{
    updateCursor();
}

LBSplitViewSizeButton::~LBSplitViewSizeButton() = default;

void LBSplitViewSizeButton::setSplitter(LBSplitView* splitter)
{
    _splitter = splitter;
    updateCursor();
}

void LBSplitViewSizeButton::setViewMinWidth0(qreal minWidth0, qreal minWidth1)
{
    _minWidths[0] = minWidth0;
    _minWidths[1] = minWidth1;
}

void LBSplitViewSizeButton::updateCursor()
{
    setCursor(!_splitter || _splitter->isVertical() ? Qt::SplitHCursor : Qt::SplitVCursor);
}

void LBSplitViewSizeButton::mouseDragged(const QPointF& windowPoint)
{
    if (!_splitter || _tag < 0 || _tag + 1 >= _splitter->count())
        return;
    const bool vertical = _splitter->isVertical();
    const QPointF origin = _splitter->mapTo(_splitter->window(), QPointF());
    const QRectF before = _splitter->paneFrame(_tag).translated(origin);
    const QRectF after = _splitter->paneFrame(_tag + 1).translated(origin);
    const qreal pointer = vertical ? windowPoint.x() : windowPoint.y();
    if (_initializeLimits) {
        _previousPosition = pointer;
        _initializeLimits = false;
        const auto minimum = [](qreal value) {
            return value == 0 ? DefaultButtonMinimumSize : value;
        };
        // As the split view's own dragging: limits for the start of the pane after, moved
        // by how far the pointer lies from it.
        const qreal grab = pointer - (vertical ? after.x() : after.y());
        _lowerLimit = (vertical ? before.x() : before.y()) + minimum(_minWidths[0])
                      + _splitter->handleWidth() + grab;
        _upperLimit = (vertical ? after.x() + after.width() : after.y() + after.height())
                      - minimum(_minWidths[1]) + grab;
    }
    const qreal position = qMax(qMin(pointer, _upperLimit), _lowerLimit);
    // Window coordinates grow downwards as the panes do, so the change is the motion on
    // both axes.
    const qreal change = position - _previousPosition;
    _previousPosition = position;
    if (change != 0)
        _splitter->moveDivider(_tag, change);
}

void LBSplitViewSizeButton::mousePressEvent(QMouseEvent*)
{
    _initializeLimits = true;
}

void LBSplitViewSizeButton::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        mouseDragged(mapTo(window(), event->position()));
}

void LBSplitViewSizeButton::mouseReleaseEvent(QMouseEvent*)
{
    _initializeLimits = true;
}

void LBSplitViewSizeButton::paintEvent(QPaintEvent*)
{
    // A grip: three short lines across the direction of dragging.
    QPainter painter(this);
    painter.setPen(QColor(120, 120, 120));
    const bool vertical = !_splitter || _splitter->isVertical();
    const QPointF c = QRectF(rect()).center();
    for (int k = -1; k <= 1; ++k) {
        if (vertical)
            painter.drawLine(QPointF(c.x() + 3 * k, c.y() - 4), QPointF(c.x() + 3 * k, c.y() + 4));
        else
            painter.drawLine(QPointF(c.x() - 4, c.y() + 3 * k), QPointF(c.x() + 4, c.y() + 3 * k));
    }
}
