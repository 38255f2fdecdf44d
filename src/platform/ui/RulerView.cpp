#include "platform/ui/RulerView.h"

#include "platform/ui/ScrollView.h"

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
        if (marker.image.isNull())
            continue;
        const QRectF rule = ruleRect();
        const QPointF at = isHorizontal()
                               ? QPointF(marker.location, rule.top()) - marker.imageOrigin
                               : QPointF(rule.left(), marker.location) - marker.imageOrigin;
        painter.drawImage(at, marker.image);
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
