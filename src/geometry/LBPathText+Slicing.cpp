// Slicing a shape with horizontal lines, for text set inside it, and the fallback
// underline metrics.

#include "geometry/LBPathText.h"

#include "geometry/LBPathToolkitException.h"

#include <QFont>
#include <QRawFont>

#include <algorithm>
#include <array>
#include <cmath>

namespace LBPathText {

namespace {

constexpr double kSlicingFlatness = 5.0;

struct UnderlineMetrics
{
    double position = 0; // below the baseline, y down
    double thickness = 0;
};

// The font's underline metrics at `size` points. The font engine rounds its figures for
// the screen (a thickness is never below one pixel), so they are taken at a large size,
// where that does not matter, and scaled down.
UnderlineMetrics underlineMetrics(const QString& family, double size)
{
    constexpr double kReferenceSize = 1000;
    QRawFont raw = QRawFont::fromFont(QFont(family));
    raw.setPixelSize(kReferenceSize);
    const double scale = size / kReferenceSize;
    return {raw.underlinePosition() * scale, raw.lineThickness() * scale};
}

// The mean of "Helvetica"'s and "Times"'s metrics at the font's size. Neither family need
// be installed: font matching picks the system's substitute for each.
UnderlineMetrics fallbackMetrics(const QFont& font)
{
    const double size = font.pointSizeF() > 0  ? font.pointSizeF()
                        : font.pixelSize() > 0 ? double(font.pixelSize())
                                               : 12.0;
    const UnderlineMetrics sans = underlineMetrics(QStringLiteral("Helvetica"), size);
    const UnderlineMetrics serif = underlineMetrics(QStringLiteral("Times"), size);
    return {(sans.position + serif.position) / 2, (sans.thickness + serif.thickness) / 2};
}

// The crossings of the line at y with one subpath's polygon (no two neighbouring vertices
// equal), handed to `keep`. A segment from one side of the line to the other crosses it
// once. Where the polygon meets the line at vertices (one, or a run of them along the
// line), it crosses only when it arrives from one side and leaves to the other: then once,
// at the vertex next to the side below; arriving and leaving on the same side, a single
// vertex is a touch and no crossing, while a stretch along the line gives its two ends
// (the shape's edge there). An open subpath's end on the line counts as a crossing.
template <typename Keep>
void sliceSubpath(QList<QPointF> vertices, bool closed, double y, const Keep& keep)
{
    if (closed && vertices.size() > 1 && vertices.constFirst() == vertices.constLast())
        vertices.removeLast();
    const qsizetype n = vertices.size();
    if (n < 2)
        return;
    const auto side = [&](qsizetype i) {
        const double v = vertices.at(i).y();
        return v < y ? -1 : v > y ? 1 : 0;
    };
    const qsizetype segments = closed ? n : n - 1;
    for (qsizetype i = 0; i < segments; ++i) {
        const QPointF& a = vertices.at(i);
        const QPointF& b = vertices.at((i + 1) % n);
        if (side(i) * side((i + 1) % n) < 0) {
            const double t = (y - a.y()) / (b.y() - a.y());
            keep(QPointF(a.x() + t * (b.x() - a.x()), y));
        }
    }
    // Runs of vertices on the line. A closed polygon is walked from a vertex off the line,
    // so no run is cut in two; one lying wholly on the line has no inside to slice.
    qsizetype origin = 0;
    if (closed) {
        while (origin < n && side(origin) == 0)
            ++origin;
        if (origin == n)
            return;
    }
    const auto at = [&](qsizetype k) { return closed ? (origin + k) % n : k; };
    for (qsizetype k = 0; k < n; ++k) {
        if (side(at(k)) != 0)
            continue;
        qsizetype last = k;
        while (last + 1 < n && side(at(last + 1)) == 0)
            ++last;
        const bool hasBefore = closed || k > 0;
        const bool hasAfter = closed || last + 1 < n;
        const int before = hasBefore ? side(at(closed ? (k + n - 1) % n : k - 1)) : 0;
        const int after = hasAfter ? side(at(closed ? (last + 1) % n : last + 1)) : 0;
        const QPointF& first = vertices.at(at(k));
        const QPointF& end = vertices.at(at(last));
        if (hasBefore && hasAfter) {
            if (before != after)
                keep(after > 0 ? end : first);
            else if (last > k) {
                keep(first);
                keep(end);
            }
        } else if (hasBefore || hasAfter) {
            keep(hasBefore ? first : end);
        }
        k = last;
    }
}

} // namespace

std::optional<QList<QPointF>> intersectingPointsWithHorizontalLineAtY(const BezierPath& path,
                                                                      double y)
{
    if (!(y > 0))
        throw LBPathToolkitException(QStringLiteral("y value must be greater than 0"), kSourceFile);
    if (path.isEmpty())
        return std::nullopt;
    const QRectF bounds = path.bounds();
    if (y < bounds.top() || y > bounds.bottom())
        return std::nullopt;

    BezierPath flat = path;
    flat.setFlatness(kSlicingFlatness);
    flat = flat.bezierPathByFlatteningPath();
    const QRectF enlarged = bounds.adjusted(-1, -1, 1, 1);

    QList<QPointF> points;
    const auto keep = [&](const QPointF& point) {
        if (enlarged.contains(point))
            points.append(point);
    };
    // The polygon of each subpath, repeated vertices dropped, and whether it is closed.
    QList<QPointF> vertices;
    bool closed = false;
    const auto slice = [&] {
        sliceSubpath(vertices, closed, y, keep);
        vertices.clear();
        closed = false;
    };
    for (const BezierPath::Element& e : flat.elements()) {
        switch (e.type) {
        case BezierPath::ElementType::MoveTo:
            slice();
            vertices.append(e.points[0]);
            break;
        case BezierPath::ElementType::LineTo:
            if (vertices.isEmpty() || vertices.constLast() != e.points[0])
                vertices.append(e.points[0]);
            break;
        case BezierPath::ElementType::CurveTo: // none after flattening
            vertices.append(e.points[2]);
            break;
        case BezierPath::ElementType::ClosePath:
            // Drawing after a close goes on from the subpath's start.
            closed = true;
            {
                const QPointF start = vertices.isEmpty() ? QPointF() : vertices.constFirst();
                slice();
                vertices.append(start);
            }
            break;
        }
    }
    slice();
    std::stable_sort(points.begin(), points.end(),
                     [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    if (points.size() % 2)
        points.removeLast();
    if (points.isEmpty())
        return std::nullopt;
    return points;
}

QList<QRectF> lineFragmentRectsForFixedLineheight(const BezierPath& path, double lineheight)
{
    if (!(lineheight > 0))
        throw LBPathToolkitException(
            QStringLiteral("lineheight must be positive and greater than 0"), kSourceFile);
    QList<QRectF> rects;
    if (path.isEmpty())
        return rects;
    const QRectF bounds = path.bounds();
    const qint64 lines = qint64(std::floor(bounds.height() / lineheight));
    std::optional<QList<QPointF>> previous;
    double previousY = 0;
    for (qint64 j = 0; j <= lines; ++j) {
        const double y = j == 0 ? bounds.top() + 1 : bounds.top() + double(j) * lineheight;
        std::optional<QList<QPointF>> current = intersectingPointsWithHorizontalLineAtY(path, y);
        if (j >= 1 && previous && current) {
            const QList<QPointF>& above = *previous;
            const QList<QPointF>& below = *current;
            const qsizetype count = std::max(above.size(), below.size());
            double left = 0;
            for (qsizetype i = 0; i < count; ++i) {
                const double a = above.at(i % above.size()).x();
                const double b = below.at(i % below.size()).x();
                if (i % 2 == 0) {
                    left = std::max(a, b);
                    continue;
                }
                const double right = std::min(a, b);
                const QRectF rect = QRectF(left, previousY, right - left, lineheight).normalized();
                const QRectF inset = rect.adjusted(1, 1, -1, -1);
                const std::array<QPointF, 4> corners{inset.topLeft(), inset.topRight(),
                                                     inset.bottomLeft(), inset.bottomRight()};
                if (std::all_of(corners.begin(), corners.end(),
                                [&](const QPointF& c) { return path.containsPoint(c); }))
                    rects.append(rect);
            }
        }
        previous = std::move(current);
        previousY = y;
    }
    return rects;
}

QRectF lineFragmentRectForProposedRect(const BezierPath& path, const QRectF& proposedRect,
                                       QRectF* remainingRect, double datumOffset)
{
    const double fraction = std::clamp(datumOffset + 0.5, 0.0, 1.0);
    const double y = proposedRect.top() + fraction * proposedRect.height();
    if (const std::optional<QList<QPointF>> points =
            intersectingPointsWithHorizontalLineAtY(path, y)) {
        for (qsizetype k = 0; k + 1 < points->size(); k += 2) {
            const double left = points->at(k).x();
            const double right = points->at(k + 1).x();
            if (left < proposedRect.left())
                continue;
            if (remainingRect)
                *remainingRect =
                    QRectF(right, proposedRect.y(), proposedRect.width(), proposedRect.height());
            return QRectF(left, proposedRect.y(), right - left, proposedRect.height());
        }
    }
    if (remainingRect)
        *remainingRect = QRectF();
    return QRectF();
}

double valueForInvalidUnderlinePosition(const QFont& font)
{
    return fallbackMetrics(font).position;
}

double valueForInvalidUnderlineThickness(const QFont& font)
{
    return fallbackMetrics(font).thickness;
}

} // namespace LBPathText
