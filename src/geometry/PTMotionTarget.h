#pragma once

// An object moved along a path over time by LBPathText::moveObject.

#include <QPointF>
#include <QVariant>

class PTMotionTarget
{
public:
    virtual ~PTMotionTarget() = default;

    // Puts the object at `point`, `position` points along the path, where the path runs
    // in direction `slope` (radians). Answering false stops the motion.
    virtual bool moveObjectTo(const QPointF& point, double position, double slope,
                              const QVariant& userInfo) = 0;
};
