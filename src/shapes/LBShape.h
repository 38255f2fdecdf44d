#pragma once

// The base of every closed shape, line and free path: a text area whose outline a subclass
// supplies, and which may carry text along that outline instead of inside a box.
//
// A subclass builds its outline in outlineInBounds(): in a rectangle it is given (the
// bounds, or the bounds inset for text), for a stroke of a given width, so nothing needs to
// move the graphic to build an outline elsewhere. Every closed outline follows one frame:
// the rectangle inset so that a stroke centred on the outline stays inside it, a new path
// with its line width, the class's segments, closed, and the drawing dash (insetBounds(),
// finishOutline()).
//
// A shape carries text exactly when its text storage exists (an empty storage counts); it
// is then drawn as the glyphs of the text laid along its outline, and the outline itself is
// not drawn.

#include "graphics/LBTextArea.h"

#include <QList>
#include <QPointF>
#include <QRectF>

#include <memory>
#include <optional>

class LBShape : public LBTextArea
{
public:
    LBShape() = default;

    std::shared_ptr<LBGraphic> copy() const override;
    // "ShapeWithTextXLoc" and "ShapeWithTextReverse" after the text area's keys.
    QVariantMap propertyListRepresentation() const override;
    void loadPropertyListRepresentation(const QVariantMap& dictionary) override;

    // --- Kinds ---
    bool isTextBox() const override { return false; }
    bool isShape() const override { return true; }
    bool isShapeWithText() const override { return _contents != nullptr; }
    // A shape holding a cropped picture or carrying text is edited in place.
    bool isEditable() const override;

    // --- Outlines ---
    // The outline in the bounds for a stroke of that width (the subclass's outline).
    std::optional<platform::BezierPath> bezierPathForStrokeWidth(double width) const final;
    // The outline for the graphic's own stroke: its width when it draws one, else 0.
    std::optional<platform::BezierPath> shapeBezierPath() const override;
    // Without text, the outline. With text, the outlines of the glyphs laid along the
    // outline built in the bounds inset by the text's height (so the glyphs standing on it
    // stay inside the bounds), from shapeWithTextXLoc() of its length on, along the
    // reversed outline when shapeWithTextReverse(); an empty path when no glyph fits.
    std::optional<platform::BezierPath> bezierPath() const override;
    // With text, bezierPath() in the shape's own coordinates (origin at the bounds' top
    // left); without, the text area's.
    std::optional<platform::BezierPath> textPath() const override;

    // --- Hit testing ---
    // A filled shape (or one with a picture, a colour mask, or a placeholder, or the shape
    // being cropped) is hit as every graphic is. An unfilled one is hit only where its
    // stroked outline is drawn within 6 points of the point.
    bool hitTest(const QPointF& point, bool isSelected, LBGraphic* shapeGraphicForCrop) override;

    // --- Text along the outline ---
    // Sets the text, undoably; undoing removes it again.
    void addTextToShape(const platform::AttributedString& text);
    // "Text" in the user's font at 12 points, black.
    void addTextToShape();
    // Removes the text, undoably; undoing puts it back.
    void removeTextFromShape();
    // Where the text starts, as a fraction of the outline's length from its first point.
    double shapeWithTextXLoc() const { return _shapeWithTextXLoc; }
    void setShapeWithTextXLoc(double location);
    // Whether the text runs along the reversed outline.
    bool shapeWithTextReverse() const { return _shapeWithTextReverse; }
    void setShapeWithTextReverse(bool reverse);

protected:
    // Runs the registration of every shape class first, so copies of any shape can be made.
    std::shared_ptr<LBGraphic> newInstance() const override;

    // The class's outline built in `bounds` for a stroke of `strokeWidth`; none for a
    // class without one (the base class).
    virtual std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                                double strokeWidth) const;
    // The stroke width outlines are built for: the graphic's own when it draws a stroke,
    // else 0.
    double frameStrokeWidth() const { return drawsStroke() ? strokeLineWidth() : 0.0; }
    // The rectangle inset on every side by `inset`.
    static QRectF insetBounds(const QRectF& bounds, double inset);
    // Closes the path (unless it ends closed) and gives it the drawing dash.
    void finishOutline(platform::BezierPath& path) const;

    // The closed outline through the corners (none: an empty one) with that line width and
    // the drawing dash.
    platform::BezierPath closedPolygon(const QList<QPointF>& corners, double lineWidth) const;

private:
    // The pixel test of an unfilled shape's stroked outline near the point.
    bool strokeHit(const QPointF& point) const;

    double _shapeWithTextXLoc = 0.0;
    bool _shapeWithTextReverse = false;
};

using LBShapePtr = std::shared_ptr<LBShape>;
