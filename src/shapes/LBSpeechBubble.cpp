#include "shapes/LBSpeechBubble.h"

platform::BezierPath LBSpeechBubble::leftSpeechBubbleAroundRect(const QRectF& rect, bool flipped)
{
    const QRectF q = rect.adjusted(-1.0, -3.0, 1.0, 3.0);
    const double f = flipped ? 1.0 : -1.0;
    const double a = flipped ? q.top() : q.bottom(); // the edge with the tail
    const double b = flipped ? q.bottom() : q.top(); // the opposite edge
    const double l = q.left(), r = q.right();
    platform::BezierPath path;
    path.moveTo({l, a + 9.0 * f});
    path.appendBezierPathWithArcFromPoint({l, a}, {l - 9.0, a}, 9.0);
    path.lineTo({l - 9.0, b});
    path.appendBezierPathWithArcFromPoint({l, b}, {l, b - 9.0 * f}, 9.0);
    path.lineTo({r, b - 9.0 * f});
    path.appendBezierPathWithArcFromPoint({r, b}, {r + 9.0, b}, 9.0);
    path.lineTo({r + 9.0, a});
    path.appendBezierPathWithArcWithCenter({r, a}, 9.0, 0.0, 298.0, true);
    // The tail.
    path.relativeCurveTo({7.5, 8.5 * f}, {-1.0, 4.0 * f}, {7.5, 8.5 * f});
    path.curveTo({r - 5.0, a + 9.0 * f}, {r + 2.5, a + 18.0 * f}, {r - 5.0, a + 9.0 * f});
    path.closePath();
    return path;
}

std::optional<platform::BezierPath> LBSpeechBubble::outlineInBounds(const QRectF& bounds,
                                                                    double strokeWidth) const
{
    platform::BezierPath path =
        leftSpeechBubbleAroundRect(insetBounds(bounds, strokeWidth / 2.0), false);
    // Drawn with the graphic's own stroke width and dash, like every other outline.
    path.setLineWidth(strokeLineWidth());
    applyDrawingDash(path);
    return path;
}
