#pragma once

// A horizontal slider whose value is a double between a minimum and a maximum. The value
// set is kept exactly (the knob shows the nearest of its steps); values outside the range
// are clamped to it. Moving the knob sets the value at the knob's step and sends the
// action (doubleValueChanged); setting it in code sends nothing.

#include <QSlider>

namespace platform {

class Slider : public QSlider
{
    Q_OBJECT
public:
    explicit Slider(QWidget* parent = nullptr);
    ~Slider() override;

    double minValue() const { return _minValue; }
    double maxValue() const { return _maxValue; }
    // Keeps the value within the new range.
    void setMinValue(double value);
    void setMaxValue(double value);

    double doubleValue() const { return _value; }
    void setDoubleValue(double value);

Q_SIGNALS:
    void doubleValueChanged(double value);

private:
    static constexpr int Steps = 10000;
    void showValue();
    void knobMoved(int position);

    double _minValue = 0.0;
    double _maxValue = 1.0;
    double _value = 0.0;
    bool _showing = false;
};

} // namespace platform
