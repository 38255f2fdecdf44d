#pragma once

// One glyph placed along a path by the text-on-path layout: which glyph, the location
// handed to the placement helper, and the path's direction there. Kept in a layout cache
// so later drawings of the same text on the same path replay the placement.

#include <QPointF>
#include <QtGlobal>

class PTPathGlyphInfo
{
public:
    PTPathGlyphInfo() = default;
    PTPathGlyphInfo(qsizetype glyphIndex, const QPointF& position, double slope)
        : mGlyphIndex(glyphIndex), mPoint(position), mSlope(slope)
    {}

    qsizetype glyphIndex() const { return mGlyphIndex; }
    QPointF point() const { return mPoint; }
    // Radians.
    double slope() const { return mSlope; }

    bool operator==(const PTPathGlyphInfo&) const = default;

private:
    qsizetype mGlyphIndex = 0;
    QPointF mPoint;
    double mSlope = 0;
};
