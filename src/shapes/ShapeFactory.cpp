#include "shapes/ShapeFactory.h"

#include "platform/core/ClassRegistry.h"
#include "shapes/LBModifiedShape.h"
#include "shapes/ShapeClasses.h"

#include <QtDebug>

LBShapePtr createShapeOfClass(const QString& className, qint64 alternateShape,
                              const ShapeSettings& settings)
{
    registerShapeClasses();
    const LBShapePtr shape =
        std::dynamic_pointer_cast<LBShape>(platform::ClassRegistry<LBGraphic>::create(className));
    if (!shape) {
        qWarning("createShapeOfClass: \"%s\" is no shape class", qPrintable(className));
        return nullptr;
    }
    if (auto* adjustable = dynamic_cast<LBModifiedShape*>(shape.get()))
        adjustable->setAlternateShape(alternateShape);
    shape->setDrawsStroke(settings.drawsStroke);
    shape->setStrokeColor(settings.strokeColor);
    shape->setStrokeLineWidth(settings.strokeLineWidth);
    shape->setFillType(settings.fillType);
    shape->setFillColor(settings.fillColor);
    shape->setZoomFactor(settings.zoomFactor);
    shape->setBoundsNoOtherChanges(settings.bounds);
    return shape;
}
