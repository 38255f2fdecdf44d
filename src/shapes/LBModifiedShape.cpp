#include "shapes/LBModifiedShape.h"

#include "graphics/GraphicDictionary.h"
#include "platform/core/Strings.h"

#include <cmath>

namespace {

// The value brought into [minimum, maximum]; where minimum exceeds maximum, the maximum
// wins. A value that is no number becomes the minimum.
double clamped(double value, double minimum, double maximum)
{
    double stored = std::isnan(value) || value < minimum ? minimum : value;
    if (stored > maximum)
        stored = maximum;
    return stored;
}

} // namespace

std::shared_ptr<LBGraphic> LBModifiedShape::copy() const
{
    std::shared_ptr<LBGraphic> graphic = LBShape::copy();
    auto& shape = static_cast<LBModifiedShape&>(*graphic);
    // The variant first: the source's modifiers then replace any the variant sets.
    shape.setAlternateShape(_alternateShape);
    shape.setModifier1(_modifier1);
    shape.setModifier2(_modifier2);
    return graphic;
}

QVariantMap LBModifiedShape::propertyListRepresentation() const
{
    QVariantMap dictionary = LBShape::propertyListRepresentation();
    GraphicDictionaryWriter w(dictionary);
    w.setReal6(QStringLiteral("ShapeModifier1"), _modifier1);
    w.setReal6(QStringLiteral("ShapeModifier2"), _modifier2);
    w.setInteger(QStringLiteral("AlternateShape"), _alternateShape);
    return dictionary;
}

void LBModifiedShape::loadPropertyListRepresentation(const QVariantMap& dictionary)
{
    LBShape::loadPropertyListRepresentation(dictionary);
    const GraphicDictionaryReader r(dictionary, graphicType());
    // The variant before the modifiers, so a variant keeps the modifiers stored with it.
    if (const auto variant = r.intValue(QStringLiteral("AlternateShape")))
        setAlternateShape(*variant);
    if (const auto value = r.floatValue(QStringLiteral("ShapeModifier1")))
        setModifier1(*value);
    if (const auto value = r.floatValue(QStringLiteral("ShapeModifier2")))
        setModifier2(*value);
}

void LBModifiedShape::setModifier1(double value)
{
    // The range is asked at every set: a variant may have changed it.
    recordValue(_modifier1, clamped(value, minModifier1(), maxModifier1()),
                &LBModifiedShape::setModifier1);
    clearCachedFillImage();
    didChange();
}

void LBModifiedShape::setModifier2(double value)
{
    recordValue(_modifier2, clamped(value, minModifier2(), maxModifier2()),
                &LBModifiedShape::setModifier2);
    clearCachedFillImage();
    didChange();
}

QPointF LBModifiedShape::knobOnTopEdgeFromRight() const
{
    const QRectF b = bounds();
    return {b.right() - _modifier1 * b.width(), b.top()};
}

qint64 LBModifiedShape::moveKnobOnTopEdgeFromRight(qint64 knob, const QPointF& toPoint)
{
    const QRectF b = bounds();
    setModifier1((b.right() - toPoint.x()) / b.width());
    return knob;
}

double LBModifiedShape::distanceFromCentreOverWidth(const QPointF& point) const
{
    const QRectF b = bounds();
    const QPointF d = point - b.center();
    return std::hypot(d.x(), d.y()) / b.width();
}

QString LBModifiedShape::modifier1Title() const
{
    const QString key = modifier1TitleKey();
    return key.isEmpty() ? key : platform::LocalizedString(key, QStringLiteral("ShapeSliders"));
}
