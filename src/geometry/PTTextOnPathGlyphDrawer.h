#pragma once

// Draws every glyph placed along a path into the current graphics context (nothing when
// no context is current).

#include "geometry/PTTextOnPathPlacement.h"

class PTTextOnPathGlyphDrawer : public PTTextOnPathPlacement
{
public:
    PTTextOnPathGlyphDrawer() = default;

    // Draws the glyph with the same placement as PTTextOnPathGlyphAccumulator's outline.
    // The context's state is restored afterwards, also when drawing throws.
    void layoutManager(platform::LayoutManager* layoutManager, qsizetype willPlaceGlyphAtIndex,
                       const QPointF& atLocation, double pathAngle, double yOffset) override;
};
