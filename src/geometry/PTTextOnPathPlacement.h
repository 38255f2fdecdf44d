#pragma once

// What the text-on-path layout tells about every glyph it places: the helper handed to
// LBPathText::layoutStringOnPath decides what placing means (collecting outlines, drawing,
// measuring).

#include <QPointF>
#include <QtGlobal>

namespace platform {
class LayoutManager;
}

class PTTextOnPathPlacement
{
public:
    virtual ~PTTextOnPathPlacement() = default;

    // Glyph willPlaceGlyphAtIndex of the layout manager goes to atLocation, turned to
    // pathAngle (radians); yOffset is the caller's offset of the text from the path.
    virtual void layoutManager(platform::LayoutManager* layoutManager,
                               qsizetype willPlaceGlyphAtIndex, const QPointF& atLocation,
                               double pathAngle, double yOffset) = 0;
};
