#include "platform/ui/Slider.h"

#include <cmath>

namespace platform {

Slider::Slider(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setRange(0, Steps);
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QSlider::valueChanged, this, &Slider::knobMoved);
}

Slider::~Slider() = default;

void Slider::setMinValue(double value)
{
    _minValue = value;
    _maxValue = qMax(_maxValue, value);
    setDoubleValue(_value);
}

void Slider::setMaxValue(double value)
{
    _maxValue = value;
    _minValue = qMin(_minValue, value);
    setDoubleValue(_value);
}

void Slider::setDoubleValue(double value)
{
    _value = qBound(_minValue, value, _maxValue);
    showValue();
}

void Slider::showValue()
{
    const double range = _maxValue - _minValue;
    const int position = range > 0 ? int(std::lround((_value - _minValue) / range * Steps)) : 0;
    _showing = true;
    setValue(position);
    _showing = false;
}

void Slider::knobMoved(int position)
{
    if (_showing)
        return;
    _value = _minValue + (_maxValue - _minValue) * position / Steps;
    Q_EMIT doubleValueChanged(_value);
}

} // namespace platform
