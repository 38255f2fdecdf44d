#include "geometry/PTBezierLayoutManager.h"

#include "platform/text/TextContainer.h"

#include <QPainterPath>
#include <QSizeF>

using platform::BezierPath;
using platform::Range;

void PTBezierLayoutManager::drawGlyphsForGlyphRange(const Range& glyphRange, const QPointF& origin)
{
    const Range glyphs =
        Range::intersection(glyphRange, glyphRangeForTextContainer(textContainer()));
    for (qsizetype g = glyphs.location; g < glyphs.end(); ++g) {
        if (notShownAttributeForGlyphAtIndex(g))
            continue;
        const QPointF place =
            origin + lineFragmentRectForGlyphAtIndex(g).topLeft() + locationForGlyphAtIndex(g);
        mPath.appendBezierPath(
            BezierPath::fromPainterPath(outlineForGlyphAtIndex(g).translated(place)));
    }
}

void PTBezierLayoutManager::drawGlyphsForGlyphRange(const Range& glyphRange, const QPointF& origin,
                                                    QPainter&)
{
    drawGlyphsForGlyphRange(glyphRange, origin);
}

QList<BezierPath>
PTBezierLayoutManager::glyphPathsForContainer(const platform::TextContainer* container,
                                              QSizeF* usedSize) const
{
    if (usedSize)
        *usedSize = usedRectForTextContainer(container).size();
    QList<BezierPath> paths;
    const Range glyphs = glyphRangeForTextContainer(container);
    for (qsizetype g = glyphs.location; g < glyphs.end(); ++g) {
        // The glyph's own font (fallback fonts and ligatures included), at the glyph's
        // place in the container: its line fragment's origin plus its location there.
        const QPointF place =
            lineFragmentRectForGlyphAtIndex(g).topLeft() + locationForGlyphAtIndex(g);
        paths.append(BezierPath::fromPainterPath(outlineForGlyphAtIndex(g).translated(place)));
    }
    return paths;
}
