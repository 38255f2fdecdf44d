#pragma once

// A round dial with a knob that gives an angle and, optionally, a distance from the
// centre. Angles are kept in radians, counter-clockwise from the positive x axis (y up);
// with compass units (the default) they are given and read as degrees, 0 at the top,
// clockwise. Every position set is constrained: the distance within the maximum, on the
// edge unless positions inside are allowed, at the centre only when allowed, the angle on
// the nearest snap mark.
//
// Dragging the knob (or a press that makes it jump) places it at the pointer; with Alt
// held it follows at a tenth of the pointer's motion. While continuous it sends its action
// at every step; on release it always sends it once.

#include <QPointF>
#include <QRectF>
#include <QWidget>

#include <functional>
#include <memory>

namespace platform {
class Image;
}

class LBCircularSlider : public QWidget
{
    Q_OBJECT
public:
    enum Appearance : qint32 {
        AutomaticAppearance = 0,
        BlueAppearance = 1,
        GraphiteAppearance = 2,
        HUDAppearance = 4,
        InactiveAppearance = -1
    };
    enum SnapBehavior : qint32 { SnapNever = 0, SnapAlways = 1, SnapWithShift = 2 };
    enum DrawTicksBehavior : qint32 {
        TicksNever = 0,
        TicksAlways = 1,
        TicksWhileShiftDragging = 2
    };
    enum AngleUnits : qint32 { RadianUnits = 0, CompassDegreeUnits = 1 };

    explicit LBCircularSlider(QWidget* parent = nullptr);
    ~LBCircularSlider() override;

    // --- Position ---
    void setAngle(double angle, double distance);
    void getAngle(double* angle, double* distance) const;
    double angle() const;
    double distance() const { return _distance; }
    // The stored angle, in radians.
    double radianAngle() const { return _angle; }
    // x = cos(angle) × distance, y = sin(angle) × distance (y up).
    void setXOffset(double x, double y);
    void getXOffset(double* x, double* y) const;

    // --- Settings ---
    // Enabled as a widget is (setEnabled, isEnabled).
    qint32 appearance() const { return _appearance; }
    // -1 is stored as 0 (automatic).
    void setAppearance(qint32 appearance);
    void setHUDAppearance(bool hud) { _hudAppearance = hud; }
    bool allowsCenterPoint() const { return _allowsCenterPoint; }
    void setAllowsCenterPoint(bool allows);
    bool allowsNonEdgePositions() const { return _allowsNonEdgePositions; }
    void setAllowsNonEdgePositions(bool allows);
    double maximumDistance() const { return _maximumDistance; }
    void setMaximumDistance(double maximum);
    qint32 angleUnits() const { return _angleUnits; }
    void setAngleUnits(qint32 units) { _angleUnits = units; }
    qint32 snapBehavior() const { return _snapBehavior; }
    void setSnapBehavior(qint32 behavior);
    qint64 numberOfSnapMarks() const { return _numberOfSnapMarks; }
    void setNumberOfSnapMarks(qint64 marks);
    qint32 drawTicksBehavior() const { return _drawTicksBehavior; }
    void setDrawTicksBehavior(qint32 behavior);

    // --- Action ---
    using Action = std::function<void(LBCircularSlider* sender)>;
    void setAction(Action action) { _action = std::move(action); }
    bool isContinuous() const { return _continuous; }
    void setContinuous(bool continuous) { _continuous = continuous; }
    // Calls the action and sends actionSent; false when there is no action.
    bool sendAction();
    bool mouseIsDown() const { return _mouseIsDown; }
    void setMouseIsDown(bool down) { _mouseIsDown = down; }

    // --- Constraining ---
    // In place; whether anything changed.
    bool constrainAngle(double* angle, double* distance) const;
    void snapAngle(double* angle, double* distance) const;
    // Constrains the stored position, redrawing when it changes.
    void constrainState();

    // --- Geometry (y down) ---
    QRectF dialRect() const;   // the bounds inset by 10.5
    double dialRadius() const; // half the dial's width
    QPointF dialCenter() const;
    QPointF knobCenter() const;
    qint64 knobRadius() const { return _knobRadius; }
    // The knob's drawn square: 20 points (12 in the HUD look).
    QRectF knobRect() const;
    // The look drawn now: HUD, blue, graphite or inactive.
    qint32 effectiveAppearance() const;
    bool knobHighlighted() const { return _knobHighlighted; }

    // Places the knob at the position nearest to a point of the window.
    void setBallToClosestFitForLocationInWindow(const QPointF& windowPoint);

    // --- Tracking, in the slider's coordinates ---
    void trackMouseDown(const QPointF& point, Qt::KeyboardModifiers modifiers);
    void trackMouseDragged(const QPointF& point, Qt::KeyboardModifiers modifiers);
    void trackMouseUp(const QPointF& point);
    bool isTracking() const { return _tracking; }

Q_SIGNALS:
    void actionSent();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void storeConstrained(double angle, double distance);
    // Sets a setting that redraws when it changes (and re-constrains the position).
    template <typename T>
    void changeSetting(T& field, T value, bool constrain);
    void placeKnobAt(const QPointF& point);
    bool shiftHeld() const;
    bool ticksShown() const;

    Action _action;
    bool _continuous = true;
    bool _allowsCenterPoint = false;
    bool _allowsNonEdgePositions = false;
    double _maximumDistance = 1.0;
    qint64 _knobRadius = 6;
    qint32 _appearance = AutomaticAppearance;
    double _angle = 0.0;
    double _distance = 1.0;
    qint64 _numberOfSnapMarks = 360;
    qint32 _snapBehavior = SnapAlways;
    qint32 _drawTicksBehavior = TicksNever;
    qint32 _angleUnits = CompassDegreeUnits;
    bool _hudAppearance = false;
    bool _knobHighlighted = false;
    bool _mouseIsDown = false;

    // Tracking.
    bool _tracking = false;
    QPointF _grabOffset;
    bool _fineAdjusting = false;
    QPointF _fineAnchor;
};
