#include "platform/ui/RulerView.h"

#include "platform/ui/ScrollView.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPalette>

namespace platform {

RulerView::RulerView(ScrollView* scrollView, Qt::Orientation orientation)
    : QWidget(scrollView), _scrollView(scrollView), _orientation(orientation)
{
    setAutoFillBackground(false);
}

RulerView::~RulerView() = default;

void RulerView::setRuleThickness(double thickness)
{
    _ruleThickness = thickness;
    if (_scrollView)
        _scrollView->tile();
    update();
}

void RulerView::setReservedThicknessForMarkers(double thickness)
{
    _reservedThicknessForMarkers = thickness;
    if (_scrollView)
        _scrollView->tile();
    update();
}

void RulerView::setReservedThicknessForAccessoryView(double thickness)
{
    _reservedThicknessForAccessoryView = thickness;
    if (_scrollView)
        _scrollView->tile();
    update();
}

double RulerView::requiredThickness() const
{
    return _ruleThickness + _reservedThicknessForMarkers + _reservedThicknessForAccessoryView;
}

void RulerView::setOriginOffset(double offset)
{
    _originOffset = offset;
    update();
}

void RulerView::setMeasurementUnits(const QString& unitName)
{
    _measurementUnits = unitName;
    update();
}

void RulerView::setClientView(QWidget* client)
{
    if (_clientView == client)
        return;
    _clientView = client;
    _markers.clear();
    _rulerlines.clear();
    update();
}

void RulerView::setAccessoryView(QWidget* view)
{
    if (_accessoryView == view)
        return;
    if (_accessoryView)
        _accessoryView->hide();
    _accessoryView = view;
    if (view) {
        view->setParent(this);
        const double depth = _reservedThicknessForAccessoryView;
        view->setGeometry(isHorizontal() ? QRect(0, 0, width(), int(depth))
                                         : QRect(0, 0, int(depth), height()));
        view->show();
    }
}

void RulerView::setMarkers(const QList<RulerMarker>& markers)
{
    _markers = markers;
    update();
}

void RulerView::addMarker(const RulerMarker& marker)
{
    _markers.append(marker);
    update();
}

void RulerView::moveRulerline(double fromLocation, double toLocation)
{
    if (fromLocation >= 0.0)
        _rulerlines.removeOne(fromLocation);
    if (toLocation >= 0.0)
        _rulerlines.append(toLocation);
    update();
}

QRectF RulerView::ruleRect() const
{
    const QRectF bounds = rect();
    if (isHorizontal())
        return {0.0, bounds.height() - _ruleThickness, bounds.width(), _ruleThickness};
    return {bounds.width() - _ruleThickness, 0.0, _ruleThickness, bounds.height()};
}

QRectF RulerView::markerImageRect(const RulerMarker& marker) const
{
    const QRectF rule = ruleRect();
    const QPointF at = isHorizontal() ? QPointF(marker.location, rule.top()) - marker.imageOrigin
                                      : QPointF(rule.left(), marker.location) - marker.imageOrigin;
    return {at, QSizeF(marker.image.size())};
}

RulerClient* RulerView::client() const
{
    return dynamic_cast<RulerClient*>(_clientView.data());
}

void RulerView::mousePressEvent(QMouseEvent* event)
{
    _draggedMarker = -1;
    RulerClient* ruler = client();
    for (qsizetype i = _markers.size() - 1; ruler && i >= 0; --i) {
        if (markerImageRect(_markers.at(i)).contains(event->position())) {
            if (ruler->rulerViewShouldMoveMarker(this, _markers.at(i)))
                _draggedMarker = i;
            return event->accept();
        }
    }
    QWidget::mousePressEvent(event);
}

void RulerView::mouseMoveEvent(QMouseEvent* event)
{
    RulerClient* ruler = client();
    if (_draggedMarker < 0 || _draggedMarker >= _markers.size() || !ruler)
        return QWidget::mouseMoveEvent(event);
    RulerMarker& marker = _markers[_draggedMarker];
    marker.location = ruler->rulerViewWillMoveMarker(this, marker, locationOf(event->position()));
    update();
}

void RulerView::mouseReleaseEvent(QMouseEvent* event)
{
    RulerClient* ruler = client();
    const qsizetype index = _draggedMarker;
    _draggedMarker = -1;
    if (index < 0 || index >= _markers.size() || !ruler)
        return QWidget::mouseReleaseEvent(event);
    const RulerMarker marker = _markers.at(index);
    if (!rect().contains(event->position().toPoint())
        && ruler->rulerViewShouldRemoveMarker(this, marker)) {
        _markers.removeAt(index);
        update();
        return;
    }
    ruler->rulerViewDidMoveMarker(this, marker);
}

void RulerView::drawHashMarksAndLabelsInRect(QPainter& painter, const QRectF& rect)
{
    Q_UNUSED(painter);
    Q_UNUSED(rect);
}

void RulerView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRectF dirty = event->rect();
    painter.fillRect(dirty, palette().color(QPalette::Window));
    painter.save();
    drawHashMarksAndLabelsInRect(painter, dirty);
    painter.restore();

    for (const RulerMarker& marker : std::as_const(_markers)) {
        if (!marker.image.isNull())
            painter.drawImage(markerImageRect(marker).topLeft(), marker.image);
    }

    painter.setPen(QPen(Qt::black, 0));
    const QRectF bounds = rect();
    for (double location : std::as_const(_rulerlines)) {
        if (isHorizontal())
            painter.drawLine(QPointF(location, 0.0), QPointF(location, bounds.height()));
        else
            painter.drawLine(QPointF(0.0, location), QPointF(bounds.width(), location));
    }
}

} // namespace platform
