// Text carried along a shape's outline: the glyph path that replaces the outline, adding
// and removing the text, and where along the outline it starts.

#include "shapes/LBShape.h"

#include "geometry/LBPathGeometry.h"
#include "geometry/LBPathText.h"

#include <QColor>
#include <QFont>
#include <QSizeF>
#include <QTransform>

#include <algorithm>

using platform::AttributedString;
using platform::BezierPath;

std::optional<BezierPath> LBShape::bezierPath() const
{
    if (!_contents)
        return shapeBezierPath();
    const AttributedString text = _contents->attributedString();

    // The glyphs stand on the outline, their baseline a line's descent off it, so the
    // outline is built as far inside the bounds as they reach out: that descent and the
    // glyphs' inked height above the baseline (or their whole inked height, if more). The
    // bounds themselves never move: the inset rectangle, kept at least a point wide and high
    // as bounds are, would not grow back to them when clamped.
    const QRectF ink = text.boundingRectWithSize(QSizeF(), AttributedString::UsesDeviceMetrics);
    const QRectF line = text.boundingRectWithSize(QSizeF(), 0);
    const double height = std::max(ink.height(), line.bottom() - ink.top());
    QRectF inset = insetBounds(bounds(), height);
    inset.setWidth(std::max(inset.width(), 1.0));
    inset.setHeight(std::max(inset.height(), 1.0));

    std::optional<BezierPath> outline = outlineInBounds(inset, frameStrokeWidth());
    if (!outline || outline->elementCount() < 2)
        return BezierPath();
    if (_shapeWithTextReverse)
        outline = outline->bezierPathByReversingPath();
    return LBPathText::bezierPathWithTextOnPath(
        *outline, text, _shapeWithTextXLoc * LBPathGeometry::length(*outline), 0.0);
}

std::optional<BezierPath> LBShape::textPath() const
{
    if (!_contents)
        return LBTextArea::textPath();
    std::optional<BezierPath> path = bezierPath();
    const QPointF origin = bounds().topLeft();
    if (path)
        path->transformUsingAffineTransform(QTransform::fromTranslate(-origin.x(), -origin.y()));
    return path;
}

void LBShape::addTextToShape(const AttributedString& text)
{
    registerUndo([](LBGraphic& g) { static_cast<LBShape&>(g).removeTextFromShape(); });
    setContents(text);
}

void LBShape::addTextToShape()
{
    AttributedString text(QStringLiteral("Text"));
    text.addAttribute(platform::FontAttributeName, AttributedString::defaultFont(),
                      platform::Range(0, text.length()));
    text.addAttribute(platform::ForegroundColorAttributeName, QColor(Qt::black),
                      platform::Range(0, text.length()));
    addTextToShape(text);
}

void LBShape::removeTextFromShape()
{
    std::optional<AttributedString> old;
    if (_contents)
        old = _contents->attributedString();
    registerUndo([old](LBGraphic& g) {
        auto& shape = static_cast<LBShape&>(g);
        if (old)
            shape.addTextToShape(*old);
        else
            shape.removeTextFromShape();
    });
    setContents(nullptr);
}

void LBShape::setShapeWithTextXLoc(double location)
{
    if (changeValue(_shapeWithTextXLoc, location, &LBShape::setShapeWithTextXLoc))
        markChanged();
}

void LBShape::setShapeWithTextReverse(bool reverse)
{
    if (changeValue(_shapeWithTextReverse, reverse, &LBShape::setShapeWithTextReverse))
        markChanged();
}
