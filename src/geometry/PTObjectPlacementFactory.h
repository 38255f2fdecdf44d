#pragma once

// Makes the objects that LBPathText::placeObjectsOnPathAtInterval sets along a path.

#include "platform/drawing/BezierPath.h"

#include <QPointF>
#include <QVariant>

class PTObjectPlacementFactory
{
public:
    virtual ~PTObjectPlacementFactory() = default;

    // The object for the point at distance `position` along onPath, where the path runs in
    // direction `slope` (radians); a null QVariant for none. An object that is a
    // platform::BezierPath joins LBPathText::bezierPathWithObjectsOnPathAtInterval's path.
    virtual QVariant placeObjectAtPoint(const QPointF& point, const platform::BezierPath& onPath,
                                        double position, double slope, void* userInfo) = 0;
};
