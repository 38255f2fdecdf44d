#pragma once

// A closed shape whose outline depends on one or two numbers the user sets with a slider
// or by dragging a modifier knob (knob 9 or 10): the sides of a polygon, the corner ratio
// of a rounded rectangle, the depth of a star, the angles of a wedge, the head of an arrow.
// Each subclass declares the range of each number; the setters clamp to it, so every value
// a slider, a drag, undo, loading or copying gives is in range. A variant number chooses
// another form of the outline where the class has one.
//
// Subclasses answer the ranges, titles and knob mask, place the knobs and turn a dragged
// point into a modifier value (the base class's drag changes nothing and answers 0). Knob
// points and dragged points are in the page coordinates of the unturned bounds; every drag
// goes on with the knob number it was given, whatever the constrain flag.

#include "shapes/LBShape.h"

#include <QString>

#include <memory>

class LBModifiedShape : public LBShape
{
public:
    LBModifiedShape() = default;

    std::shared_ptr<LBGraphic> copy() const override;
    // "ShapeModifier1", "ShapeModifier2" ("%f") and "AlternateShape" ("%ld"). Loading sets
    // the variant before the modifiers, as copying does, so a variant keeps the modifiers
    // it was stored with.
    QVariantMap propertyListRepresentation() const override;
    void loadPropertyListRepresentation(const QVariantMap& dictionary) override;

    double modifier1() const { return _modifier1; }
    double modifier2() const { return _modifier2; }
    // Undoable (the inverse restores the value before the call, not the clamped one):
    // stores the value clamped to the class's range (a value that is no number becomes
    // the minimum; where a minimum exceeds its maximum, the maximum wins), drops the cached
    // fill picture and announces the change.
    void setModifier1(double value);
    void setModifier2(double value);

    // The stored variant of the outline: the ordinary one, or another that only some
    // classes have (their own names for 1).
    enum AlternateShape : qint64 { OrdinaryShape = 0 };
    qint64 alternateShape() const { return _alternateShape; }
    // A plain store, neither undoable nor announced; classes with a variant then set its
    // modifiers through the setters.
    virtual void setAlternateShape(qint64 variant) { _alternateShape = variant; }

    // --- Per class ---
    virtual double minModifier1() const { return 0.0; }
    virtual double maxModifier1() const { return 0.0; }
    virtual double minModifier2() const { return 0.0; }
    virtual double maxModifier2() const { return 0.0; }
    // The slider titles, from the string table "ShapeSliders"; empty for most classes.
    QString modifier1Title() const;
    QString modifier2Title() const { return QString(""); }
    virtual bool hasModifier2() const { return false; }

protected:
    // A knob 9 on the top edge at modifier 1 × the width left of the right edge, and its
    // drag, which sets modifier 1 from the pointer's distance from the right edge.
    QPointF knobOnTopEdgeFromRight() const;
    qint64 moveKnobOnTopEdgeFromRight(qint64 knob, const QPointF& toPoint);
    // How far the point lies from the centre of the bounds, over their width: the knob
    // drags of the round shapes measure so.
    double distanceFromCentreOverWidth(const QPointF& point) const;

    // The untranslated title of the first slider ("Sides", "Points"); empty when none.
    virtual QString modifier1TitleKey() const { return QString(""); }

    double _modifier1 = 0.0;
    double _modifier2 = 0.0;
    qint64 _alternateShape = 0;
};

using LBModifiedShapePtr = std::shared_ptr<LBModifiedShape>;
