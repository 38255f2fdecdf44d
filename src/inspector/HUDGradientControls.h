#pragma once

// The gradient controls of the palette: a type pop-up, two colour wells, a centre slider
// (showing 1 − the centre), a centre-size slider, an angle dial with 72 marks and the
// angle's text. One class serves both gradients a graphic has: the fill gradient, whose
// controls sit inside the colour pane, and the gradient painted inside the glyphs of text,
// the Text Gradient pane's.
//
// The colour pane hosts the fill gradient's controls: it makes this object on a container
// of its own (the controls are laid out inside it, preferredSize() big), calls update()
// from its own update, and forwards its fill style pop-up's choices to applyType(). The
// pop-up's "None", "Solid Color" and "Soft Color" belong to the colour pane: it sets
// setOtherTypeHandler() to take them.

#include <QObject>
#include <QSize>
#include <QString>

#include <functional>

class HUDLabel;
class HUDPopUpButton;
class HUDSlider;
class HUDWindowController;
class LBCircularSlider;
class LBGraphic;
class QWidget;

namespace platform {
class ColorWell;
}

class HUDGradientControls : public QObject
{
    Q_OBJECT
public:
    enum Target { FillGradient, TextGradient };
    // The type pop-up's tags.
    enum TypeTag : int {
        NoneTag = 0,
        SolidColorTag = 1,
        SoftColorTag = 2,
        LinearTag = 3,
        RadialTag = 4,
        SwapColorsTag = 5
    };

    // Makes the controls inside the container; the type pop-up is `typePopup` when one is
    // given (the colour pane's fill style pop-up), else one of its own at the top.
    HUDGradientControls(HUDWindowController& controller, Target target, QWidget* container,
                        HUDPopUpButton* typePopup = nullptr);

    static QSize preferredSize(bool withOwnPopup);

    // updateGradientTools / updateTextGradientTools: the controls from the first selected
    // graphic (nothing while the palette ignores updates).
    void update();
    // gradientToolsAction: / textGradientToolsAction: for one of the controls.
    void action(QObject* sender);
    // A choice of the type pop-up (or of the colour pane's fill style pop-up).
    void applyType(int tag);
    void setOtherTypeHandler(std::function<void(int tag)> handler);

    // The fill gradient pop-up's nine entries, in order.
    static void rebuildFillTypeMenu(HUDPopUpButton* popup);
    // The dial's angle snapped: to 0 within 5 degrees of it, else to a multiple of 45
    // within 5 degrees (bounds included), else unchanged.
    static double snappedAngle(double degrees);
    // The angle's text: "%f" without trailing zeros and "º"; "0º" outside 0 to 360.
    static QString angleText(double degrees);

    // --- Controls ---
    HUDPopUpButton* typePopup() const { return _typePopup; }
    platform::ColorWell* leftColor() const { return _leftColor; }
    platform::ColorWell* rightColor() const { return _rightColor; }
    HUDSlider* centerSlider() const { return _centerSlider; }
    HUDSlider* sizeSlider() const { return _sizeSlider; }
    LBCircularSlider* angleSlider() const { return _angleSlider; }
    HUDLabel* angleField() const { return _angleField; }
    // Slider positions are thousandths.
    static constexpr int SliderScale = 1000;

private:
    struct Values;
    Values valuesOf(const LBGraphic& graphic) const;
    void applyToGraphics(const std::function<void(LBGraphic&)>& change, const char* fillUndoKey,
                         const char* textUndoKey);
    void updateAngleText(double degrees);
    // The type entries: the fill gradient's nine, or the text gradient's without the plain
    // and soft colours.
    static void fillTypeMenu(HUDPopUpButton* popup, bool withColorKinds);

    HUDWindowController& _controller;
    Target _target;
    HUDPopUpButton* _typePopup = nullptr;
    platform::ColorWell* _leftColor = nullptr;
    platform::ColorWell* _rightColor = nullptr;
    HUDSlider* _centerSlider = nullptr;
    HUDSlider* _sizeSlider = nullptr;
    LBCircularSlider* _angleSlider = nullptr;
    HUDLabel* _angleField = nullptr;
    std::function<void(int)> _otherTypeHandler;
};
