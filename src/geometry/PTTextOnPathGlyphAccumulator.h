#pragma once

// Collects the outline of every glyph placed along a path, each in its final place: one
// path per glyph, in placing order.

#include "geometry/PTTextOnPathPlacement.h"
#include "platform/drawing/BezierPath.h"

#include <QList>

class PTTextOnPathGlyphAccumulator : public PTTextOnPathPlacement
{
public:
    PTTextOnPathGlyphAccumulator() = default;

    const QList<platform::BezierPath>& glyphs() const { return mGlyphs; }

    // The glyph's outline with its baseline origin at (0, ly - yOffset) (ly: the baseline's
    // distance from its line fragment's top), turned by pathAngle and moved to atLocation.
    // Glyphs that are not shown add nothing.
    void layoutManager(platform::LayoutManager* layoutManager, qsizetype willPlaceGlyphAtIndex,
                       const QPointF& atLocation, double pathAngle, double yOffset) override;

private:
    QList<platform::BezierPath> mGlyphs;
};
