#pragma once

// Small builders and comparisons shared by the path geometry tests.

#include "platform/drawing/BezierPath.h"

#include <QList>
#include <QPointF>

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

namespace pathtest {

using platform::BezierPath;
using Type = BezierPath::ElementType;

// An open polyline through the points.
inline BezierPath polyline(std::initializer_list<QPointF> points)
{
    BezierPath path;
    path.appendBezierPathWithPoints(QList<QPointF>(points));
    return path;
}

inline BezierPath closedPolygon(std::initializer_list<QPointF> points)
{
    BezierPath path = polyline(points);
    path.closePath();
    return path;
}

inline QList<Type> typesOf(const BezierPath& path)
{
    QList<Type> types;
    for (const BezierPath::Element& e : path.elements())
        types.append(e.type);
    return types;
}

// End points of the elements (a close repeats the previous one, so lists stay aligned).
inline QList<QPointF> endPointsOf(const BezierPath& path)
{
    QList<QPointF> points;
    for (const BezierPath::Element& e : path.elements()) {
        if (e.type == Type::ClosePath)
            points.append(points.isEmpty() ? QPointF() : points.last());
        else
            points.append(e.type == Type::CurveTo ? e.points[2] : e.points[0]);
    }
    return points;
}

// The toolkit turns by its own quarter turn, a hair below π/2, so offsets along normals
// are exact only to about 1e-8.
inline ::testing::AssertionResult pointsNear(const QPointF& actual, const QPointF& expected,
                                             double tolerance = 1e-7)
{
    if (std::abs(actual.x() - expected.x()) <= tolerance
        && std::abs(actual.y() - expected.y()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << actual.x() << ", " << actual.y() << ") is not within " << tolerance << " of ("
           << expected.x() << ", " << expected.y() << ")";
}

inline bool hasNaN(const BezierPath& path)
{
    for (const BezierPath::Element& e : path.elements()) {
        for (const QPointF& p : e.points) {
            if (std::isnan(p.x()) || std::isnan(p.y()) || std::isinf(p.x()) || std::isinf(p.y()))
                return true;
        }
    }
    return false;
}

} // namespace pathtest
