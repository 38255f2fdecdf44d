#include "shapes/LBBezierPath.h"

#include "graphics/GraphicDictionary.h"
#include "platform/core/TextForms.h"

#include <QTransform>

std::shared_ptr<LBGraphic> LBBezierPath::copy() const
{
    std::shared_ptr<LBGraphic> graphic = LBShape::copy();
    auto& shape = static_cast<LBBezierPath&>(*graphic);
    shape.setPath(_path);
    shape.setOrigBounds(_pathOrigBounds);
    return graphic;
}

QVariantMap LBBezierPath::propertyListRepresentation() const
{
    QVariantMap dictionary = LBShape::propertyListRepresentation();
    GraphicDictionaryWriter w(dictionary);
    if (_path)
        w.setBezierPath(QStringLiteral("LBBezierPath"), *_path);
    w.setRect(QStringLiteral("OrigBounds"), _pathOrigBounds);
    return dictionary;
}

void LBBezierPath::loadPropertyListRepresentation(const QVariantMap& dictionary)
{
    LBShape::loadPropertyListRepresentation(dictionary);
    const GraphicDictionaryReader r(dictionary, graphicType());
    if (auto path = r.bezierPath(QStringLiteral("LBBezierPath")))
        setPath(std::move(path));
    if (const auto bounds = r.rect(QStringLiteral("OrigBounds")))
        setOrigBounds(*bounds);
}

std::optional<platform::BezierPath> LBBezierPath::outlineInBounds(const QRectF& bounds,
                                                                  double strokeWidth) const
{
    Q_UNUSED(strokeWidth);
    if (!_path)
        return std::nullopt;
    platform::BezierPath path = *_path;
    path.setLineWidth(strokeLineWidth());
    applyDrawingDash(path);
    QTransform transform;
    transform.translate(bounds.x(), bounds.y());
    const QSizeF original = _pathOrigBounds.size();
    if (bounds.size() != original) {
        // Without an original width or height there is nothing to stretch from.
        transform.scale(original.width() != 0.0 ? bounds.width() / original.width() : 1.0,
                        original.height() != 0.0 ? bounds.height() / original.height() : 1.0);
    }
    path.transformUsingAffineTransform(transform);
    return path;
}

bool LBBezierPath::hitTest(const QPointF& point, bool isSelected, LBGraphic* shapeGraphicForCrop)
{
    Q_UNUSED(shapeGraphicForCrop);
    if (isSelected && knobUnderPoint(point) != 0)
        return true;
    const std::optional<platform::BezierPath> outline = shapeBezierPath();
    QRectF box = outline ? outline->bounds() : bounds();
    if (_rotationDegrees != 0.0 || _groupRotationDegrees != 0.0)
        box = rotatedPathFromRect(box, nullptr).bounds();
    return platform::pointInRect(point, box);
}
