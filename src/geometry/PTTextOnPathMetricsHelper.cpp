#include "geometry/PTTextOnPathMetricsHelper.h"

#include "platform/text/LayoutManager.h"

void PTTextOnPathMetricsHelper::layoutManager(platform::LayoutManager* layoutManager,
                                              qsizetype willPlaceGlyphAtIndex, const QPointF&,
                                              double, double)
{
    if (!layoutManager)
        return;
    const qsizetype g = willPlaceGlyphAtIndex;
    if (!mCharacterRange.contains(layoutManager->characterIndexForGlyphAtIndex(g)))
        return;
    if (mLength == 0)
        mStartPosition = layoutManager->locationForGlyphAtIndex(g).x();
    double end = 0;
    if (g + 1 < layoutManager->numberOfGlyphs()) {
        end = layoutManager->locationForGlyphAtIndex(g + 1).x();
    } else {
        const QRectF used = layoutManager->lineFragmentUsedRectForGlyphAtIndex(g);
        end = used.x() + used.width();
    }
    mLength = end - mStartPosition;
}
