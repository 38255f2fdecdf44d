#pragma once

// Receives every element of a path walked by LBPathGeometry::bezierPathByIteratingWithDelegate
// and appends whatever it likes to the result path.

#include "platform/drawing/BezierPath.h"

#include <QPointF>

#include <array>

class LBPathIterationDelegate
{
public:
    virtual ~LBPathIterationDelegate() = default;

    // points[0..2]: for a curve its end point, control point 1 and control point 2; for
    // any other element its point three times (a close: the start of its subpath).
    // points[3]: the end point of the subpath's last drawing element. subPathIndex counts
    // the moves seen so far from 0 (-1 before the first).
    virtual void path(platform::BezierPath& result, int elementIndex,
                      platform::BezierPath::ElementType type, const std::array<QPointF, 4>& points,
                      int subPathIndex, bool subPathClosed, void* contextInfo) = 0;
};
