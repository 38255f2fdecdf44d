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
    auto cross = [&](const QPointF& a, const QPointF& b) {
        if (a.y() == b.y())
            return;
        const double t = (y - a.y()) / (b.y() - a.y());
        if (t < 0 || t > 1)
            return;
        const QPointF point(a.x() + t * (b.x() - a.x()), y);
        if (enlarged.contains(point))
            points.append(point);
    };
    QPointF current;
    QPointF subpathStart;
    for (const BezierPath::Element& e : flat.elements()) {
        switch (e.type) {
        case BezierPath::ElementType::MoveTo: current = subpathStart = e.points[0]; break;
        case BezierPath::ElementType::LineTo:
            cross(current, e.points[0]);
            current = e.points[0];
            break;
        case BezierPath::ElementType::CurveTo: // none after flattening
            current = e.points[2];
            break;
        case BezierPath::ElementType::ClosePath:
            cross(current, subpathStart);
            current = subpathStart;
            break;
        }
    }
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
