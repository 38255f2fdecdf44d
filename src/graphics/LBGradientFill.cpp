#include "graphics/LBGradientFill.h"

#include "platform/drawing/GraphicsContext.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>
#include <QRadialGradient>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 kLinear = 2;
constexpr qint64 kRadial = 3;

// The colour as calibrated RGB components; nothing convertible reads as transparent black.
QColor shadingColor(const QColor& color)
{
    return color.isValid() ? color.toRgb() : QColor(0, 0, 0, 0);
}

// The area drawing can reach: the device, within the clip when there is one, in the
// painter's logical coordinates. Shadings are not limited to the rectangle; the clip
// the caller set limits them.
QRectF reachOf(const QPainter& painter)
{
    const QPaintDevice* device = painter.device();
    QRectF reach;
    bool invertible = false;
    const QTransform toLogical = painter.combinedTransform().inverted(&invertible);
    if (device && invertible)
        reach = toLogical.mapRect(QRectF(0, 0, device->width(), device->height()));
    if (painter.hasClipping())
        reach = reach.isEmpty() ? painter.clipBoundingRect()
                                : reach.intersected(painter.clipBoundingRect());
    return reach;
}

// The strip of everything between the lines across from→to through its two ends.
QPolygonF slab(const QPointF& from, const QPointF& to, const QRectF& reach)
{
    const QPointF axis = to - from;
    const double length = std::hypot(axis.x(), axis.y());
    if (!(length > 1e-9))
        return {};
    const QPointF normal(-axis.y() / length, axis.x() / length);
    double extent = 1.0;
    for (const QPointF& corner :
         {reach.topLeft(), reach.topRight(), reach.bottomLeft(), reach.bottomRight()})
        extent = std::max(extent,
                          std::hypot(corner.x() - from.x(), corner.y() - from.y()) + length + 1.0);
    const QPointF side = normal * extent;
    return QPolygonF({from + side, to + side, to - side, from - side});
}

} // namespace

LBGradientFill::LBGradientFill() = default;

void LBGradientFill::setGradientType(qint64 gradientType, double gradientCenter,
                                     double gradientCenterSize, double gradientAngle)
{
    _gradientType = gradientType;
    _gradientCenter = gradientCenter;
    _gradientCenterSize = gradientCenterSize;
    _gradientAngle = gradientAngle;
}

void LBGradientFill::setStartColor(const QColor& startColor, const QColor& endColor)
{
    _startColor = startColor;
    _endColor = endColor;
}

LBGradientFill::AngleReduction LBGradientFill::reduceAngle(double angle)
{
    if (!std::isfinite(angle))
        angle = 0.0;
    // The table below covers 0 to 360 degrees. A negative angle is drawn as its absolute
    // value, and angles beyond 360 as the same angle one turn less; both agree with the
    // table's own rules wherever those give θ below 90, and keep larger angles from
    // reaching θ = 90 (cos θ = 0) or beyond.
    angle = std::abs(angle);
    if (angle > 360.0) {
        angle = std::fmod(angle, 360.0);
        if (angle == 0.0)
            angle = 360.0;
    }

    if (angle == 0.0)
        return {0.0, false, false};
    if (angle < 90.0)
        return {angle, false, true};
    if (angle == 90.0)
        return {89.95, false, true};
    if (angle <= 180.0)
        return {180.0 - angle, true, false};
    if (angle < 270.0)
        return {angle - 180.0, true, true};
    if (angle == 270.0)
        return {89.95, false, false};
    return {360.0 - angle, false, false};
}

LBGradientFill::Shading LBGradientFill::shadingGeometry(qint64 gradientType, double gradientAngle,
                                                        double position, const QRectF& bounds)
{
    const AngleReduction reduction = reduceAngle(gradientAngle);
    const double p = reduction.reversed ? 1.0 - position : position;
    const double theta = reduction.theta / 180.0 * M_PI;
    const double co = std::cos(theta);
    const double si = std::sin(theta);
    const double x = bounds.x();
    const double y = bounds.y();
    const double w = bounds.width();
    const double h = bounds.height();

    // The axis runs through the rectangle's centre in the direction (si, co); position 0
    // is where the perpendicular through the top-left corner meets it, position 1 the
    // one through the bottom-right corner.
    const double k = (h / 2.0) / co;
    const double q = w / 2.0 - k * si;
    const double v = 2.0 * p * (k + si * q) - si * q;

    Shading shading;
    shading.startPoint = QPointF(x + co * co * q, y - co * si * q);
    shading.centerPoint = QPointF(x + q + si * v, y + co * v);
    if (gradientType != kLinear) {
        // Every kind but the linear one paints a radial shading, which needs its radius.
        const double shorter = std::min(w, h);
        shading.radius = p > 0.5 ? shorter * (0.5 * p + 0.25) : shorter * (0.75 - 0.5 * p);
    }
    if (reduction.mirrored) {
        shading.startPoint.setX(2.0 * x + w - shading.startPoint.x());
        shading.centerPoint.setX(2.0 * x + w - shading.centerPoint.x());
    }
    return shading;
}

LBGradientFill::Plan LBGradientFill::planForRect(qint64 gradientType, double gradientCenter,
                                                 double gradientCenterSize, double gradientAngle,
                                                 const QRectF& rect)
{
    Plan plan;
    double pc = gradientCenter;
    if (pc == -1.0) {
        if (gradientType == kLinear)
            pc = 1.0;
        else if (gradientType == kRadial)
            pc = 0.5;
    }
    const double s = gradientCenterSize;

    if (gradientType != kLinear) {
        // Radial (any other type draws the radial kind too).
        if (pc >= 0.0)
            plan.shadings.append(shadingGeometry(gradientType, gradientAngle, pc, rect));
        return plan;
    }

    // Linear, described by positions along the gradient: the start colour at position 0
    // runs to the end colour at pc - s/2, the end colour holds up to pc + s/2 (the centre
    // band), and the reflected half runs from position 1 back to there. Each position is
    // placed on the rectangle by the shading geometry, so the angle's reversal applies to
    // the band's edges as to the rest and the band stays centred on pc at every angle.
    const auto at = [&](double position) {
        return shadingGeometry(kLinear, gradientAngle, position, rect).centerPoint;
    };
    const double p1 = s > 0.0 ? std::max(pc - s / 2.0, 0.0) : pc;
    if (pc >= 0.0)
        plan.shadings.append({at(0.0), at(p1), 0.0});
    if (pc <= 1.0) {
        // Where the reflected half reaches the end colour; at pc = 0.5 it is the mirror
        // image of the first half.
        const double p2 = pc == 0.5 ? 1.0 - p1 : (s > 0.0 ? std::max(pc + s / 2.0, 0.0) : pc);
        plan.shadings.append({at(1.0), at(p2), 0.0});
    }
    if (s > 0.0) {
        const double from = std::max(pc - s / 2.0, 0.0);
        const double to = std::min(pc + s / 2.0, 1.0);
        if (from < to)
            plan.centerBand = Band{at(from), at(to)};
    }
    return plan;
}

void LBGradientFill::calculateGradientStartPoint(QPointF& startPoint, QPointF& centerPoint,
                                                 double& radius, double center,
                                                 const QRectF& bounds) const
{
    const Shading shading = shadingGeometry(_gradientType, _gradientAngle, center, bounds);
    startPoint = shading.startPoint;
    centerPoint = shading.centerPoint;
    radius = shading.radius;
}

void LBGradientFill::drawGradientInRect(const QRectF& rect) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !context->painter() || !context->painter()->isActive())
        return;
    const Plan plan =
        planForRect(_gradientType, _gradientCenter, _gradientCenterSize, _gradientAngle, rect);
    for (const Shading& shading : plan.shadings)
        drawGradientFromStartPoint(shading.startPoint, shading.centerPoint, shading.radius);

    if (plan.centerBand) {
        QPainter* painter = context->painter();
        const QPolygonF band = slab(plan.centerBand->from, plan.centerBand->to, reachOf(*painter));
        if (!band.isEmpty()) {
            context->saveGraphicsState();
            painter->setRenderHint(QPainter::Antialiasing, false);
            painter->setPen(Qt::NoPen);
            painter->setBrush(shadingColor(_endColor));
            painter->drawPolygon(band);
            context->restoreGraphicsState();
        }
    }
}

void LBGradientFill::drawGradientFromStartPoint(const QPointF& startPoint,
                                                const QPointF& toCenterPoint, double radius) const
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !context->painter() || !context->painter()->isActive())
        return;
    QPainter* painter = context->painter();
    const QColor start = shadingColor(_startColor);
    const QColor end = shadingColor(_endColor);
    const QRectF reach = reachOf(*painter);

    context->saveGraphicsState();
    // Shadings and the band meet edge to edge; without antialiasing their shared edges
    // neither overlap nor leave a seam. The clip keeps the outline's own edge.
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(Qt::NoPen);

    if (_gradientType == kLinear) {
        const QPolygonF area = slab(startPoint, toCenterPoint, reach);
        if (!area.isEmpty()) {
            QLinearGradient gradient(startPoint, toCenterPoint);
            gradient.setInterpolationMode(QGradient::ComponentInterpolation);
            gradient.setColorAt(0.0, start);
            gradient.setColorAt(1.0, end);
            painter->setBrush(gradient);
            painter->drawPolygon(area);
        }
    } else if (radius > 0.0) {
        // Start colour on the circle of the radius and outside it, end colour within
        // the circle of centre size × radius, blended linearly between the two.
        const double innerRadius = radius * std::max(_gradientCenterSize, 0.0);
        const double outer = std::max(radius, innerRadius);
        QRadialGradient gradient(toCenterPoint, outer, toCenterPoint);
        gradient.setInterpolationMode(QGradient::ComponentInterpolation);
        gradient.setSpread(QGradient::PadSpread);
        gradient.setColorAt(radius / outer, start);
        gradient.setColorAt(innerRadius / outer, end);
        painter->setBrush(gradient);
        painter->drawRect(reach.united(QRectF(toCenterPoint, QSizeF(0, 0))));
    }
    context->restoreGraphicsState();
}
