// Dynamic alignment guides: while graphics are dragged or nudged, and while a curve point
// is dragged, the moving edges and centres are pulled onto those of the other graphics
// (and of the page) they nearly line up with, and a thin guide shows each match. All of it
// is off while "Draw Dynamic Guides" is.

#include "canvas/LBGraphicView.h"

#include "platform/core/UserDefaults.h"
#include "shapes/LBCurvedLine.h"

#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

bool guidesEnabled()
{
    return platform::UserDefaults::standardUserDefaults().boolForKey(
        QStringLiteral("Draw Dynamic Guides"));
}

// Two matches closer than this to each other both snap.
constexpr double tieMargin = 0.15;

// Whether a candidate at distance d is taken: within the sensitivity for the first match,
// else no more than the margin farther than the last one taken (`inclusive` lets the
// margin itself pass).
bool accepts(bool found, double lastDistance, double d, double sensitivity, bool inclusive)
{
    if (!found)
        return d <= sensitivity;
    return inclusive ? d - lastDistance <= tieMargin : d - lastDistance < tieMargin;
}

} // namespace

QPointF LBGraphicView::checkDynamicGuidesAtPoint(const QPointF& point,
                                                 const QPointF& selOriginOffset,
                                                 const QSizeF& draggedImageSize, double sensitivity,
                                                 const QList<LBGraphicPtr>& ignoreGraphics)
{
    if (!guidesEnabled())
        return point;
    resetDynamicGuides();
    GuideMatch match;
    const QSizeF size = draggedImageSize / zoomFactor();
    QPointF p = point;
    LBDocument* doc = document();
    if (LBDocument::Page* page = graphics()) {
        for (qsizetype l = 0; l < page->size(); ++l) {
            if (!doc->layerAtIndexIsVisible(l))
                continue;
            for (const LBGraphicPtr& graphic : page->at(l)) {
                if (ignoreGraphics.contains(graphic))
                    continue;
                p = checkPoint(p, selOriginOffset, size, sensitivity, graphic->bounds(), match);
            }
        }
    }
    if (match.foundH && match.foundV)
        return p;
    return checkPoint(p, selOriginOffset, size, sensitivity, pageRect(), match);
}

QPointF LBGraphicView::checkPoint(const QPointF& point, const QPointF& o, const QSizeF& s,
                                  double sensitivity, const QRectF& b, GuideMatch& match)
{
    QPointF p = point;
    double left = p.x() - o.x();
    const double xa = std::trunc(std::min(b.x(), left));
    const double xb = std::trunc(std::max(left + s.width(), b.x() + b.width()));

    // Rows: top with top, centre with centre, bottom with bottom.
    struct Edge
    {
        double candidate; // the candidate's edge
        double offset;    // the moving edge's distance from the moving origin
    };
    const Edge rows[3] = {{b.y(), 0.0},
                          {b.y() + b.height() / 2.0, s.height() / 2.0},
                          {b.y() + b.height(), s.height()}};
    for (int i = 0; i < 3; ++i) {
        const double top = p.y() - o.y();
        const double d = std::abs(rows[i].candidate - (top + rows[i].offset));
        if (!accepts(match.foundH, match.hDistance, d, sensitivity, i == 0))
            continue;
        p.setY(rows[i].candidate - rows[i].offset + o.y());
        addDynamicGuide(QRectF(xa, rows[i].candidate, xb - xa, 1.0), true);
        match.foundH = true;
        match.hDistance = d;
    }

    const double top = p.y() - o.y();
    const double ya = std::trunc(std::min(b.y(), top));
    const double yb = std::trunc(std::max(top + s.height(), b.y() + b.height()));
    const Edge columns[3] = {
        {b.x(), 0.0}, {b.x() + b.width() / 2.0, s.width() / 2.0}, {b.x() + b.width(), s.width()}};
    for (const Edge& column : columns) {
        left = p.x() - o.x();
        const double d = std::abs(column.candidate - (left + column.offset));
        if (!accepts(match.foundV, match.vDistance, d, sensitivity, false))
            continue;
        p.setX(column.candidate - column.offset + o.x());
        addDynamicGuide(QRectF(column.candidate, ya, 1.0, yb - ya), false);
        match.foundV = true;
        match.vDistance = d;
    }
    return p;
}

QPointF LBGraphicView::checkBezierGuidesAtPoint(const QPointF& point, double sensitivity,
                                                const LBCurvedLine* ignoreGraphic,
                                                qsizetype ignorePointIndex)
{
    if (!guidesEnabled())
        return point;
    resetDynamicGuides();
    bool foundH = false;
    bool foundV = false;
    QPointF p = point;
    for (const LBGraphicPtr& graphic : selectedGraphics(false)) {
        const auto* curve = dynamic_cast<const LBCurvedLine*>(graphic.get());
        if (!curve || curve->rotation() != 0.0)
            continue;
        for (qsizetype k = 0; k < curve->numControlPoints(); ++k) {
            if (curve == ignoreGraphic && k == ignorePointIndex)
                continue;
            const QPointF c = curve->controlPointAtIndex(k, true);
            if ((!foundH && std::abs(p.y() - c.y()) <= sensitivity) || (foundH && p.y() == c.y())) {
                const double a = std::trunc(std::min(c.x(), p.x()));
                addDynamicGuide(QRectF(a, c.y(), std::trunc(std::max(p.x(), c.x())) - a, 1.0),
                                true);
                foundH = true;
                p.setY(c.y());
            }
            if ((!foundV && std::abs(p.x() - c.x()) <= sensitivity) || (foundV && p.x() == c.x())) {
                const double a = std::trunc(std::min(p.y(), c.y()));
                addDynamicGuide(QRectF(c.x(), a, 1.0, std::trunc(std::max(p.y(), c.y())) - a),
                                false);
                foundV = true;
                p.setX(c.x());
            }
        }
    }
    return p;
}

void LBGraphicView::addDynamicGuide(const QRectF& rect, bool horizontal)
{
    QList<QRectF>& guides = horizontal ? _horizontalDynamicGuides : _verticalDynamicGuides;
    QRectF shown = rect;
    bool merged = false;
    for (QRectF& guide : guides) {
        if (horizontal && guide.y() == rect.y()) {
            const double left = std::min(guide.left(), rect.left());
            const double right = std::max(guide.right(), rect.right());
            guide = QRectF(left, guide.y(), right - left, guide.height());
        } else if (!horizontal && guide.x() == rect.x()) {
            const double top = std::min(guide.top(), rect.top());
            const double bottom = std::max(guide.bottom(), rect.bottom());
            guide = QRectF(guide.x(), top, guide.width(), bottom - top);
        } else {
            continue;
        }
        shown = guide;
        merged = true;
        break;
    }
    if (!merged)
        guides.append(rect);
    setNeedsDisplayInRect(shown);
    invalidateGraphics(graphicsIntersectingRect(shown, false));
}

void LBGraphicView::resetDynamicGuides()
{
    _hideDynamicGuidesTimer->stop();
    for (const QRectF& r : std::as_const(_horizontalDynamicGuides)) {
        const QRectF band(r.x(), r.y() - 1.0, r.width(), 3.0);
        setNeedsDisplayInRect(band);
        invalidateGraphics(graphicsIntersectingRect(band, false));
    }
    _horizontalDynamicGuides.clear();
    for (const QRectF& r : std::as_const(_verticalDynamicGuides)) {
        const QRectF band(r.x() - 1.0, r.y(), 3.0, r.height());
        setNeedsDisplayInRect(band);
        invalidateGraphics(graphicsIntersectingRect(band, false));
    }
    _verticalDynamicGuides.clear();
}
