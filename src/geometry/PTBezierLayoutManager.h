#pragma once

// A layout manager that collects glyph outlines instead of drawing them: drawing a glyph
// range through it appends the glyphs' outlines, in container coordinates moved to the
// drawing origin, to textPath(). Underline and strikethrough are never collected.
//
// The drawing operations hide LayoutManager's (they are not virtual there): call them
// through a PTBezierLayoutManager.

#include "platform/drawing/BezierPath.h"
#include "platform/text/LayoutManager.h"

#include <QList>

class QPainter;
class QSizeF;

namespace platform {
class TextContainer;
}

class PTBezierLayoutManager : public platform::LayoutManager
{
public:
    PTBezierLayoutManager() = default;

    // Everything collected so far.
    const platform::BezierPath& textPath() const { return mPath; }

    // Appends the outlines of the shown glyphs of the range that lie in the container,
    // the container's origin placed at origin.
    void drawGlyphsForGlyphRange(const platform::Range& glyphRange, const QPointF& origin);
    // The same; the painter is not drawn into.
    void drawGlyphsForGlyphRange(const platform::Range& glyphRange, const QPointF& origin,
                                 QPainter& painter);

    // One path per glyph of the container (glyphs that are not shown give empty paths),
    // each outline in its place in the container, y down. usedSize, when given, receives
    // the size of the container's used rect.
    QList<platform::BezierPath> glyphPathsForContainer(const platform::TextContainer* container,
                                                       QSizeF* usedSize) const;

private:
    platform::BezierPath mPath;
};
