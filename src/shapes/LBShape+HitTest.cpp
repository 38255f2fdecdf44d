// Hit testing of shapes: an unfilled shape is hit only where its stroked outline is drawn
// near the point, tested on the pixels of the drawn stroke.

#include "shapes/LBShape.h"

#include "platform/core/TextForms.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>

namespace {

// Half the side of the square around the point that a stroke must reach, in points.
constexpr double kReach = 6.0;

} // namespace

bool LBShape::hitTest(const QPointF& point, bool isSelected, LBGraphic* shapeGraphicForCrop)
{
    if (isSelected && knobUnderPoint(point) != 0)
        return true;
    // Anything painted inside the outline makes the whole inside hit.
    if (!isShape() || fillType() != 0 || imageOfType(FillImageType) || colorMaskType() != 0
        || shapeGraphicForCrop == this || isPlaceholder())
        return LBTextArea::hitTest(point, isSelected, shapeGraphicForCrop);
    return strokeHit(point);
}

bool LBShape::strokeHit(const QPointF& point) const
{
    std::optional<platform::BezierPath> outline = shapeBezierPath();
    if (!outline)
        return false;
    const double angle = _rotationDegrees + _groupRotationDegrees;
    const QRectF reach =
        (angle != 0.0 ? rotatedPathFromRect(bounds(), nullptr).bounds() : outline->bounds())
            .adjusted(-kReach, -kReach, kReach, kReach);
    if (!platform::pointInRect(point, reach))
        return false;
    if (angle != 0.0) {
        const QPointF c = bounds().center();
        QTransform rotation;
        rotation.translate(c.x(), c.y());
        rotation.rotate(angle);
        rotation.translate(-c.x(), -c.y());
        outline->transformUsingAffineTransform(rotation);
    }

    // Only the square around the point is drawn: whether any pixel of the stroke lands
    // there is all the test asks.
    constexpr int side = int(2 * kReach);
    QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    {
        QPainter painter(&square);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.translate(kReach - point.x(), kReach - point.y());
        painter.strokePath(outline->toPainterPath(), outline->strokePen(Qt::black));
    }
    for (int y = 0; y < side; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(square.constScanLine(y));
        for (int x = 0; x < side; ++x) {
            if (qAlpha(row[x]) != 0)
                return true;
        }
    }
    return false;
}
