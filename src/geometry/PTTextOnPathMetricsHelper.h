#pragma once

// Measures a range of characters in the line laid along a path: where its first placed
// glyph starts and how far it runs to the end of its last placed glyph, in the laid-out
// line's coordinates.

#include "geometry/PTTextOnPathPlacement.h"
#include "platform/core/Range.h"

class PTTextOnPathMetricsHelper : public PTTextOnPathPlacement
{
public:
    PTTextOnPathMetricsHelper() = default;

    void setCharacterRange(const platform::Range& characterRange)
    {
        mCharacterRange = characterRange;
    }
    double position() const { return mStartPosition; }
    double length() const { return mLength; }

    void layoutManager(platform::LayoutManager* layoutManager, qsizetype willPlaceGlyphAtIndex,
                       const QPointF& atLocation, double pathAngle, double yOffset) override;

private:
    double mStartPosition = 0;
    double mLength = 0;
    platform::Range mCharacterRange;
};
