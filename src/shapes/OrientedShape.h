#pragma once

// What the shapes that are turned, never mirrored (the arrow head and the two triangles)
// share: an orientation of 0, 90, 180 or 270 degrees, stored under a key of the class's
// own, which the flips change while the graphic's flip flags stay as they are. A stored
// angle the shape does not know is kept and written back; its outline is empty, and
// building it beeps once in the life of the graphic, not at every drawing.
//
// The class derives from the base it is given (LBShape or LBModifiedShape) and answers the
// key and the corners of its outline for each known angle.

#include "graphics/GraphicDictionary.h"
#include "platform/ui/Beep.h"
#include "shapes/LBShape.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <array>

template <typename Base>
class OrientedShape : public Base
{
public:
    std::shared_ptr<LBGraphic> copy() const override
    {
        std::shared_ptr<LBGraphic> graphic = Base::copy();
        static_cast<OrientedShape&>(*graphic).setAngle(_angle);
        return graphic;
    }
    // The angle ("%ld") after the base class's keys.
    QVariantMap propertyListRepresentation() const override
    {
        QVariantMap dictionary = Base::propertyListRepresentation();
        GraphicDictionaryWriter(dictionary).setInteger(angleKey(), _angle);
        return dictionary;
    }
    void loadPropertyListRepresentation(const QVariantMap& dictionary) override
    {
        Base::loadPropertyListRepresentation(dictionary);
        const GraphicDictionaryReader r(dictionary, this->graphicType());
        if (const auto angle = r.intValue(angleKey()))
            setAngle(*angle);
    }

    // Degrees. Undoable and announced.
    qint64 angle() const { return _angle; }
    void setAngle(qint64 angle)
    {
        if (this->changeValue(_angle, angle, &OrientedShape::setAngle))
            this->markChanged();
    }

    static bool isKnownAngle(qint64 angle)
    {
        return angle == 0 || angle == 90 || angle == 180 || angle == 270;
    }

protected:
    // The property-list key of the angle.
    virtual QString angleKey() const = 0;
    // The outline's corners in bounds for a stroke of strokeWidth, at a known angle.
    virtual QList<QPointF> corners(const QRectF& bounds, double strokeWidth) const = 0;

    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const final
    {
        if (isKnownAngle(_angle))
            return this->closedPolygon(corners(bounds, strokeWidth), this->strokeLineWidth());
        if (!_beeped) {
            _beeped = true;
            platform::beep();
        }
        return this->closedPolygon({}, this->strokeLineWidth());
    }

    // A flip: the angle each known angle (0, 90, 180, 270 in that order) becomes; an
    // unknown angle stays.
    void turn(const std::array<qint64, 4>& to)
    {
        if (isKnownAngle(_angle))
            setAngle(to[std::size_t(_angle / 90)]);
    }

private:
    qint64 _angle = 0;
    mutable bool _beeped = false;
};
