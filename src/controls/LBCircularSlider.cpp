#include "controls/LBCircularSlider.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <map>
#include <numbers>

using namespace platform;

namespace {

constexpr double Pi = std::numbers::pi;

const std::shared_ptr<Image>& pictureNamed(const char* name)
{
    // Class-wide, read once.
    static std::map<QString, std::shared_ptr<Image>> pictures;
    const QString key = QString::fromLatin1(name);
    auto found = pictures.find(key);
    if (found == pictures.end())
        found = pictures.emplace(key, Image::imageNamed(key)).first;
    return found->second;
}

} // namespace

LBCircularSlider::LBCircularSlider(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::ClickFocus);
}

LBCircularSlider::~LBCircularSlider() = default;

// --- Position ---

void LBCircularSlider::setAngle(double angle, double distance)
{
    if (_angleUnits == CompassDegreeUnits) {
        angle = -angle / 180.0 * Pi + Pi / 2;
        if (angle < -Pi)
            angle += 2 * Pi;
    }
    storeConstrained(angle, distance);
}

void LBCircularSlider::getAngle(double* angle, double* distance) const
{
    if (angle)
        *angle = this->angle();
    if (distance)
        *distance = _distance;
}

double LBCircularSlider::angle() const
{
    if (_angleUnits != CompassDegreeUnits)
        return _angle;
    double degrees = -_angle / Pi * 180.0 + 90.0;
    if (degrees < 0)
        degrees += 360.0;
    return degrees;
}

void LBCircularSlider::setXOffset(double x, double y)
{
    storeConstrained(std::atan2(y, x), std::hypot(x, y));
}

void LBCircularSlider::getXOffset(double* x, double* y) const
{
    if (x)
        *x = std::cos(_angle) * _distance;
    if (y)
        *y = std::sin(_angle) * _distance;
}

void LBCircularSlider::storeConstrained(double angle, double distance)
{
    constrainAngle(&angle, &distance);
    if (angle == _angle && distance == _distance)
        return;
    _angle = angle;
    _distance = distance;
    update();
}

// --- Settings ---

template <typename T>
void LBCircularSlider::changeSetting(T& field, T value, bool constrain)
{
    if (value == field)
        return;
    field = value;
    if (constrain)
        constrainState();
    update();
}

void LBCircularSlider::setAppearance(qint32 appearance)
{
    if (appearance == InactiveAppearance)
        appearance = AutomaticAppearance;
    if (appearance != _appearance) {
        _appearance = appearance;
        update();
    }
}

void LBCircularSlider::setAllowsCenterPoint(bool allows)
{
    changeSetting(_allowsCenterPoint, allows, true);
}

void LBCircularSlider::setAllowsNonEdgePositions(bool allows)
{
    changeSetting(_allowsNonEdgePositions, allows, true);
}

void LBCircularSlider::setMaximumDistance(double maximum)
{
    changeSetting(_maximumDistance, maximum, true);
}

void LBCircularSlider::setSnapBehavior(qint32 behavior)
{
    changeSetting(_snapBehavior, behavior, false);
}

void LBCircularSlider::setNumberOfSnapMarks(qint64 marks)
{
    changeSetting(_numberOfSnapMarks, marks, false);
}

void LBCircularSlider::setDrawTicksBehavior(qint32 behavior)
{
    changeSetting(_drawTicksBehavior, behavior, false);
}

bool LBCircularSlider::sendAction()
{
    Q_EMIT actionSent();
    if (!_action)
        return false;
    _action(this);
    return true;
}

// --- Constraining ---

bool LBCircularSlider::shiftHeld() const
{
    return QGuiApplication::keyboardModifiers() & Qt::ShiftModifier;
}

bool LBCircularSlider::constrainAngle(double* angle, double* distance) const
{
    const double a = *angle, d = *distance;
    if (*distance > _maximumDistance)
        *distance = _maximumDistance;
    if (!_allowsNonEdgePositions && *distance < _maximumDistance) {
        if (_allowsCenterPoint && *distance < _maximumDistance / 2) {
            *angle = 0;
            *distance = 0;
        } else {
            *distance = _maximumDistance;
        }
    }
    if (*distance == 0 && !_allowsCenterPoint) {
        *angle = 0;
        *distance = 0.01;
    }
    snapAngle(angle, distance);
    return *angle != a || *distance != d;
}

void LBCircularSlider::snapAngle(double* angle, double*) const
{
    const bool snap =
        _snapBehavior == SnapAlways || (_snapBehavior == SnapWithShift && shiftHeld());
    if (!snap || _numberOfSnapMarks <= 0)
        return;
    double a = *angle;
    if (a < 0)
        a += 2 * Pi;
    const double step = 2 * Pi / double(_numberOfSnapMarks);
    const double lower = std::floor(a / step) * step;
    const double upper = lower + step;
    // The lower mark only when strictly nearer: a tie goes up.
    double snapped = (a - lower < upper - a) ? lower : upper;
    if (snapped > Pi)
        snapped -= 2 * Pi;
    *angle = snapped;
}

void LBCircularSlider::constrainState()
{
    storeConstrained(_angle, _distance);
}

// --- Geometry ---

QRectF LBCircularSlider::dialRect() const
{
    return QRectF(rect()).adjusted(10.5, 10.5, -10.5, -10.5);
}

double LBCircularSlider::dialRadius() const
{
    return dialRect().width() / 2;
}

QPointF LBCircularSlider::dialCenter() const
{
    const QRectF dial = dialRect();
    const double h = dialRadius();
    return dial.topLeft() + QPointF(h, h);
}

QPointF LBCircularSlider::knobCenter() const
{
    double x = 0, y = 0;
    getXOffset(&x, &y);
    const double scale = (dialRadius() - 3) / _maximumDistance;
    const QPointF centre = dialCenter();
    // The offsets are y up; the view is y down.
    return QPointF(std::round(centre.x() + x * scale), std::round(centre.y() - y * scale));
}

QRectF LBCircularSlider::knobRect() const
{
    const bool hud = effectiveAppearance() == HUDAppearance;
    const double side = hud ? 2.0 * _knobRadius : 2.0 * (_knobRadius + 4);
    const QPointF centre = knobCenter();
    return QRectF(centre.x() - side / 2, centre.y() - side / 2, side, side);
}

qint32 LBCircularSlider::effectiveAppearance() const
{
    if (_hudAppearance)
        return HUDAppearance;
    qint32 look = _appearance == AutomaticAppearance ? BlueAppearance : _appearance;
    if ((look == BlueAppearance || look == GraphiteAppearance)
        && (!isEnabled() || !isActiveWindow()))
        look = InactiveAppearance;
    return look;
}

void LBCircularSlider::setBallToClosestFitForLocationInWindow(const QPointF& windowPoint)
{
    placeKnobAt(mapFrom(window(), windowPoint));
}

void LBCircularSlider::placeKnobAt(const QPointF& point)
{
    const QPointF centre = dialCenter();
    const double scale = _maximumDistance / (dialRadius() - 3);
    setXOffset((point.x() - centre.x()) * scale, (centre.y() - point.y()) * scale);
}

// --- Drawing ---

bool LBCircularSlider::ticksShown() const
{
    if (_numberOfSnapMarks <= 0)
        return false;
    return _drawTicksBehavior == TicksAlways
           || (_drawTicksBehavior == TicksWhileShiftDragging && shiftHeld() && _knobHighlighted);
}

void LBCircularSlider::paintEvent(QPaintEvent*)
{
    _knobRadius = 6;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    GraphicsContext context(&painter, true);
    GraphicsContext::Scope scope(context);
    const qint32 look = effectiveAppearance();
    painter.setOpacity(isEnabled() ? 1.0 : 0.6);
    if (const auto& dial =
            pictureNamed(look == HUDAppearance ? "HUDCircularSlider" : "CircularSlider")) {
        const double side = std::floor(width());
        dial->drawInRect(rect(), QRectF(0, 0, qMin(side, dial->size().width()),
                                        qMin(side, dial->size().height())));
    }
    if (ticksShown()) {
        const QRectF dial = dialRect();
        const double rx = (dial.width() + 10) / 2, ry = (dial.height() + 10) / 2;
        const QPointF centre = dialCenter();
        painter.setPen(QPen(QColor::fromRgbF(0, 0, 0, isEnabled() ? 0.52f : 0.25f), 1));
        for (qint64 k = 0; k < _numberOfSnapMarks; ++k) {
            const double a = k * 2 * Pi / double(_numberOfSnapMarks);
            const double c = std::cos(a), s = std::sin(a);
            painter.drawLine(QPointF(centre.x() + rx * c, centre.y() - ry * s),
                             QPointF(centre.x() + (rx + 5) * c, centre.y() - (ry + 5) * s));
        }
    }
    const char* knob = nullptr;
    switch (look) {
    case HUDAppearance:
        knob = _knobHighlighted ? "HUDSliderKnobRoundH" : "HUDSliderKnobRound";
        break;
    case InactiveAppearance: knob = "SKnobLite"; break;
    default: knob = _knobHighlighted ? "SKnobDark" : "SKnob"; break;
    }
    if (const auto& picture = pictureNamed(knob))
        picture->drawInRect(knobRect());
}

// --- Tracking ---

void LBCircularSlider::trackMouseDown(const QPointF& point, Qt::KeyboardModifiers modifiers)
{
    if (!isEnabled())
        return;
    const QPointF knob = knobCenter();
    const QPointF offset = point - knob;
    const double fromCentre =
        std::hypot(point.x() - dialCenter().x(), point.y() - dialCenter().y());
    const double h = dialRadius();
    const bool onKnob = std::hypot(offset.x(), offset.y()) <= double(_knobRadius) + 1;
    _grabOffset = onKnob ? offset : QPointF();
    if (!onKnob) {
        bool jump = false;
        if (fromCentre <= h + 1) {
            if (fromCentre <= 4)
                jump = _allowsCenterPoint;
            else
                jump = _allowsNonEdgePositions || fromCentre >= h - 6;
        }
        if (!jump)
            return;
        placeKnobAt(point);
        if (_continuous) {
            _mouseIsDown = true;
            sendAction();
        }
    }
    _tracking = true;
    _knobHighlighted = true;
    _fineAdjusting = modifiers & Qt::AltModifier;
    _fineAnchor = point;
    update();
}

void LBCircularSlider::trackMouseDragged(const QPointF& point, Qt::KeyboardModifiers modifiers)
{
    if (!_tracking)
        return;
    const bool fine = modifiers & Qt::AltModifier;
    if (fine && !_fineAdjusting)
        _fineAnchor = point; // from where Alt went down
    _fineAdjusting = fine;
    const QPointF pointer = fine ? _fineAnchor + (point - _fineAnchor) / 10.0 : point;
    placeKnobAt(pointer - _grabOffset);
    if (_continuous) {
        _mouseIsDown = true;
        sendAction();
    }
}

void LBCircularSlider::trackMouseUp(const QPointF& point)
{
    if (!_tracking)
        return;
    Q_UNUSED(point);
    _tracking = false;
    _mouseIsDown = false;
    sendAction();
    _knobHighlighted = false;
    update();
}

void LBCircularSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        trackMouseDown(event->position(), event->modifiers());
}

void LBCircularSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() & Qt::LeftButton)
        trackMouseDragged(event->position(), event->modifiers());
}

void LBCircularSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        trackMouseUp(event->position());
}

void LBCircularSlider::keyPressEvent(QKeyEvent* event)
{
    // A modifier change only redraws: the snap marks may come or go.
    if (event->key() == Qt::Key_Shift || event->key() == Qt::Key_Alt)
        update();
    QWidget::keyPressEvent(event);
}

void LBCircularSlider::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Shift || event->key() == Qt::Key_Alt)
        update();
    QWidget::keyReleaseEvent(event);
}

void LBCircularSlider::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::ActivationChange)
        update();
    QWidget::changeEvent(event);
}
