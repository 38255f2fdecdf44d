#include "inspector/HUDPaneBuilder.h"

#include "controls/LBCircularSlider.h"
#include "controls/LBCompImageButton.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/TextForms.h"
#include "platform/ui/ColorWell.h"

#include <QLineEdit>
#include <QSignalBlocker>

#include <algorithm>

HUDPaneBuilder::HUDPaneBuilder(HUDWindowController& controller, QWidget* view, Action action)
    : _controller(controller), _root(view), _target(view), _action(std::move(action))
{}

QWidget* HUDPaneBuilder::group(const QString& name, int x, int y, int width, int height)
{
    auto* view = new QWidget(_root);
    view->setObjectName(name);
    view->setGeometry(x, y, width, height);
    return view;
}

HUDLabel* HUDPaneBuilder::label(const QString& text, int x, int y, int width, const QString& name)
{
    auto* label = new HUDLabel(text, _target);
    label->setObjectName(name);
    label->setGeometry(x, y, width, 18);
    return label;
}

HUDTextField* HUDPaneBuilder::field(const QString& name, int x, int y, int width)
{
    auto* field = new HUDTextField(_target);
    field->setObjectName(name);
    field->setGeometry(x, y, width, 19);
    _controller.watchTextField(field, [action = _action, field] { action(field); });
    return field;
}

HUDStepper* HUDPaneBuilder::stepper(const QString& name, int x, int y, double minimum,
                                    double maximum, double increment)
{
    auto* stepper = new HUDStepper(_target);
    stepper->setObjectName(name);
    stepper->move(x, y);
    stepper->setRange(minimum, maximum);
    stepper->setIncrement(increment);
    QObject::connect(stepper, &HUDStepper::valueChanged, stepper,
                     [action = _action, stepper] { action(stepper); });
    return stepper;
}

HUDSlider* HUDPaneBuilder::slider(const QString& name, int x, int y, int width, int minimum,
                                  int maximum)
{
    auto* slider = new HUDSlider(_target);
    slider->setObjectName(name);
    slider->setGeometry(x, y, width, 16);
    slider->setRange(minimum, maximum);
    // Panes set their sliders with the signals blocked (HUDPaneBuilder::setValue), so
    // every change reported here is the user's.
    QObject::connect(slider, &QSlider::valueChanged, slider,
                     [action = _action, slider] { action(slider); });
    _controller.groupDragOfControl(slider);
    return slider;
}

HUDCheckbox* HUDPaneBuilder::checkbox(const QString& name, const QString& title, int x, int y,
                                      int width)
{
    auto* box = new HUDCheckbox(title, _target);
    box->setObjectName(name);
    box->setGeometry(x, y, width, 18);
    box->setTristate(false);
    QObject::connect(box, &QAbstractButton::clicked, box, [action = _action, box] { action(box); });
    return box;
}

HUDPopUpButton* HUDPaneBuilder::popUp(const QString& name, int x, int y, int width)
{
    auto* popUp = new HUDPopUpButton(false, _target);
    popUp->setObjectName(name);
    popUp->setGeometry(x, y, width, 18);
    QObject::connect(popUp, &HUDPopUpButton::activated, popUp,
                     [action = _action, popUp] { action(popUp); });
    return popUp;
}

HUDComboBox* HUDPaneBuilder::comboBox(const QString& name, int x, int y, int width)
{
    auto* box = new HUDComboBox(_target);
    box->setObjectName(name);
    box->setGeometry(x, y, width, 20);
    box->setInsertPolicy(QComboBox::NoInsert);
    _controller.watchTextField(box->lineEdit(), [action = _action, box] { action(box); });
    QObject::connect(box, &QComboBox::activated, box, [action = _action, box] { action(box); });
    return box;
}

platform::ColorWell* HUDPaneBuilder::colorWell(const QString& name, int x, int y, int width)
{
    auto* well = new platform::ColorWell(_target);
    well->setObjectName(name);
    well->setGeometry(x, y, width, 20);
    QObject::connect(well, &platform::ColorWell::colorChanged, well,
                     [action = _action, well](const QColor& color) {
                         well->setColor(color);
                         action(well);
                     });
    return well;
}

LBCircularSlider* HUDPaneBuilder::dial(const QString& name, int x, int y, int size, int snapMarks)
{
    auto* dial = new LBCircularSlider(_target);
    dial->setObjectName(name);
    dial->setGeometry(x, y, size, size);
    dial->setAppearance(LBCircularSlider::HUDAppearance);
    dial->setHUDAppearance(true);
    if (snapMarks > 0)
        dial->setNumberOfSnapMarks(snapMarks);
    dial->setAction([action = _action](LBCircularSlider* sender) { action(sender); });
    _controller.groupDragOfControl(dial);
    return dial;
}

LBCompImageButton* HUDPaneBuilder::button(const QString& name, const QString& title, int x, int y,
                                          int width, int tag)
{
    auto* button = new LBCompImageButton(smallButtonImages(), _target);
    button->setObjectName(name);
    button->setGeometry(x, y, width, 18);
    button->setTitle(title);
    button->setTitleColor(Qt::white);
    button->setTag(tag);
    QObject::connect(button, &QAbstractButton::clicked, button,
                     [action = _action, button] { action(button); });
    return button;
}

QString HUDPaneBuilder::smallButtonImages()
{
    return QStringLiteral("HUDSmCapLeft0|HUDSmMiddle0|HUDSmDividerRight0|HUDSmCapLeftH|"
                          "HUDSmMiddleH|HUDSmDividerRightH");
}

QString HUDPaneBuilder::smallButtonPressedImages()
{
    return QStringLiteral("HUDSmCapLeft1|HUDSmMiddle1|HUDSmDividerRight1|HUDSmCapLeftH|"
                          "HUDSmMiddleH|HUDSmDividerRightH");
}

void HUDPaneBuilder::setValue(HUDSlider* slider, int value)
{
    const QSignalBlocker blocker(slider);
    slider->setValue(value);
}

void HUDPaneBuilder::setState(HUDCheckbox* box, bool on, bool mixed)
{
    box->setTristate(mixed);
    box->setCheckState(mixed ? Qt::PartiallyChecked : on ? Qt::Checked : Qt::Unchecked);
}

bool HUDPaneBuilder::clickedState(HUDCheckbox* box)
{
    if (box->checkState() == Qt::PartiallyChecked)
        box->setCheckState(Qt::Checked);
    box->setTristate(false);
    return box->checkState() == Qt::Checked;
}

HUDValueControls HUDPaneBuilder::valueRow(const QString& name, const QString& title, int y,
                                          int labelWidth, int sliderWidth, int fieldWidth,
                                          int sliderMaximum, double stepperMaximum)
{
    label(title, 8, y + 1, labelWidth);
    HUDValueControls row;
    const int sliderX = 8 + labelWidth;
    row.slider =
        slider(name + QStringLiteral("Slider"), sliderX, y + 2, sliderWidth, 0, sliderMaximum);
    const int fieldX = sliderX + sliderWidth + 4;
    row.field = field(name + QStringLiteral("Field"), fieldX, y, fieldWidth);
    row.stepper = stepper(name + QStringLiteral("Stepper"), fieldX + fieldWidth + 2, y - 2, 0.0,
                          stepperMaximum, 1.0);
    return row;
}

bool HUDValueControls::owns(QObject* control) const
{
    return control == slider || control == field || control == stepper;
}

qint64 HUDValueControls::value(QObject* sender) const
{
    if (sender == slider)
        return slider->value();
    if (sender == field) {
        // A text that is no number is no value (not 0): the caller keeps what was there.
        const QString text = field->text();
        return platform::startsWithNumber(text) ? platform::integerValue(text) : -1;
    }
    return qint64(stepper->value());
}

void HUDValueControls::show(qint64 value, const QString& text, bool mixed) const
{
    field->setText(mixed ? QString() : text);
    stepper->setValue(double(value));
    HUDPaneBuilder::setValue(slider, int(std::min<qint64>(value, slider->maximum())));
}
