#include "shapes/LBCircle.h"

#include <QTransform>

QRectF LBCircle::rotatedBounds() const
{
    const double angle = _rotationDegrees + _groupRotationDegrees;
    if (angle == 0.0)
        return bounds();
    const std::optional<platform::BezierPath> path = shapeBezierPath();
    if (!path)
        return QRectF();
    const QPointF c = bounds().center();
    QTransform rotation;
    rotation.translate(c.x(), c.y());
    rotation.rotate(angle);
    rotation.translate(-c.x(), -c.y());
    return path->transformed(rotation).bounds();
}

std::optional<platform::BezierPath> LBCircle::outlineInBounds(const QRectF& bounds,
                                                              double strokeWidth) const
{
    platform::BezierPath path =
        platform::BezierPath::withOvalInRect(insetBounds(bounds, strokeWidth / 2.0));
    path.setLineWidth(strokeLineWidth());
    finishOutline(path);
    return path;
}
