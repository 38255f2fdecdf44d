#include "geometry/PTTextOnPathGlyphAccumulator.h"

#include "platform/text/LayoutManager.h"

#include <QPainterPath>
#include <QTransform>

void PTTextOnPathGlyphAccumulator::layoutManager(platform::LayoutManager* layoutManager,
                                                 qsizetype willPlaceGlyphAtIndex,
                                                 const QPointF& atLocation, double pathAngle,
                                                 double yOffset)
{
    if (!layoutManager || layoutManager->notShownAttributeForGlyphAtIndex(willPlaceGlyphAtIndex))
        return;
    // Outlines come y-down with the baseline origin at (0, 0), as the page is, so the
    // glyph only needs lowering to its baseline, turning and moving.
    const double baseline = layoutManager->locationForGlyphAtIndex(willPlaceGlyphAtIndex).y();
    QTransform transform;
    transform.translate(atLocation.x(), atLocation.y());
    transform.rotateRadians(pathAngle);
    transform.translate(0, baseline - yOffset);
    const QPainterPath outline = layoutManager->outlineForGlyphAtIndex(willPlaceGlyphAtIndex);
    mGlyphs.append(platform::BezierPath::fromPainterPath(transform.map(outline)));
}
