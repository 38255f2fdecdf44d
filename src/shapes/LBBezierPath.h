#pragma once

// A shape whose outline is a free path, kept at the size the shape had when the path was
// taken and drawn stretched to the current bounds: what converting a text to outlines
// makes. It is hit anywhere in the outline's bounding box and cannot be edited as text.

#include "shapes/LBShape.h"

#include <optional>

class LBBezierPath : public LBShape
{
public:
    std::shared_ptr<LBGraphic> copy() const override;
    // "LBBezierPath" (the archived path, when there is one) and "OrigBounds" after the
    // shape's keys.
    QVariantMap propertyListRepresentation() const override;
    void loadPropertyListRepresentation(const QVariantMap& dictionary) override;

    // The outline relative to the shape's top-left corner at the original size; none until
    // set. Plain stores, neither undoable nor announced.
    const std::optional<platform::BezierPath>& path() const { return _path; }
    void setPath(const std::optional<platform::BezierPath>& path) { _path = path; }
    // The bounds the shape had when the path was taken; only the size counts. (Not the
    // bounds at the start of a handle drag, which LBGraphic::origBounds() answers.)
    QRectF origBounds() const { return _pathOrigBounds; }
    void setOrigBounds(const QRectF& bounds) { _pathOrigBounds = bounds; }

    bool isEditable() const override { return false; }
    // Inside the bounding box of the outline (of the bounds without a path), turned with
    // the graphic when it is turned; on a knob when selected.
    bool hitTest(const QPointF& point, bool isSelected, LBGraphic* shapeGraphicForCrop) override;

protected:
    // The path moved to the bounds' origin and, where the size differs from the original
    // one, stretched about it; an original side of 0 is not stretched. Not inset for the
    // stroke.
    std::optional<platform::BezierPath> outlineInBounds(const QRectF& bounds,
                                                        double strokeWidth) const override;

private:
    std::optional<platform::BezierPath> _path;
    QRectF _pathOrigBounds;
};
