#pragma once

// Lays out a pane's controls at fixed places, as an interface file would, and wires each
// one to the pane's action with the control as the sender: fields commit while the user
// types (0.5 s after the last key, at once on Return), steppers, sliders and dials make
// one undo step of a press-drag-release, wells report the colour the user chose.
// Every control gets its outlet name as object name, so tests find it by that name.

#include <QObject>
#include <QString>

#include <functional>

class HUDCheckbox;
class HUDComboBox;
class HUDLabel;
class HUDPopUpButton;
class HUDSlider;
class HUDStepper;
class HUDTextField;
class HUDWindowController;
class LBCircularSlider;
class LBCompImageButton;
class QWidget;

namespace platform {
class ColorWell;
}

// A value shown by a slider, a field and a stepper side by side.
struct HUDValueControls
{
    HUDSlider* slider = nullptr;
    HUDTextField* field = nullptr;
    HUDStepper* stepper = nullptr;
    bool owns(QObject* control) const;
    // The whole number the control that sent gives; -1 for a field that holds no number.
    qint64 value(QObject* sender) const;
    // Shows the value (the slider at most `sliderMaximum`); mixed empties the field.
    void show(qint64 value, const QString& text, bool mixed) const;
};

class HUDPaneBuilder
{
public:
    using Action = std::function<void(QObject* sender)>;

    HUDPaneBuilder(HUDWindowController& controller, QWidget* view, Action action);

    // A sub-view of the pane (never of another sub-view); controls made while it is the
    // target go into it.
    QWidget* group(const QString& name, int x, int y, int width, int height);
    void setTarget(QWidget* view) { _target = view; }
    QWidget* target() const { return _target; }

    HUDLabel* label(const QString& text, int x, int y, int width, const QString& name = {});
    HUDTextField* field(const QString& name, int x, int y, int width);
    HUDStepper* stepper(const QString& name, int x, int y, double minimum, double maximum,
                        double increment);
    // An integer slider; values are the slider's own (callers scale them).
    HUDSlider* slider(const QString& name, int x, int y, int width, int minimum, int maximum);
    HUDCheckbox* checkbox(const QString& name, const QString& title, int x, int y, int width);
    HUDPopUpButton* popUp(const QString& name, int x, int y, int width);
    HUDComboBox* comboBox(const QString& name, int x, int y, int width);
    platform::ColorWell* colorWell(const QString& name, int x, int y, int width = 38);
    // A dial in the HUD look; `snapMarks` 0 for none.
    LBCircularSlider* dial(const QString& name, int x, int y, int size, int snapMarks);
    // A row at y: the title, then `name`Slider (0 to sliderMaximum), `name`Field and
    // `name`Stepper (0 to stepperMaximum, whole steps).
    HUDValueControls valueRow(const QString& name, const QString& title, int y, int labelWidth,
                              int sliderWidth, int fieldWidth, int sliderMaximum,
                              double stepperMaximum);
    // A small three-part button ("HUDSm…" pictures) with a title.
    LBCompImageButton* button(const QString& name, const QString& title, int x, int y, int width,
                              int tag = 0);

    // Sets a slider without reporting it as the user's move.
    static void setValue(HUDSlider* slider, int value);
    // Shows a check box on, off or mixed.
    static void setState(HUDCheckbox* box, bool on, bool mixed);
    // A clicked check box's state, a mixed one becoming on: whether it is on.
    static bool clickedState(HUDCheckbox* box);

    // The normal and the pressed look of the small buttons.
    static QString smallButtonImages();
    static QString smallButtonPressedImages();

private:
    HUDWindowController& _controller;
    QWidget* _root;
    QWidget* _target;
    Action _action;
};
