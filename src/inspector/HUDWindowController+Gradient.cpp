// The gradient controls (the colour pane's fill gradient and the Text Gradient pane).

#include "controls/LBCircularSlider.h"
#include "graphics/LBTextArea.h"
#include "inspector/HUDGradientControls.h"
#include "inspector/HUDPaneControls.h"
#include "inspector/HUDPaneViews.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/Strings.h"
#include "platform/ui/ColorWell.h"

#include <QAction>

#include <cmath>

namespace {

QString hudTools(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("HUD Tools"));
}

// The stored gradient codes: fill type 2 and text gradient type 2 are linear, 3 radial.
constexpr qint64 LinearGradientType = 2;
constexpr qint64 RadialGradientType = 3;

} // namespace

HUDTextGradientTools::HUDTextGradientTools(HUDWindowController& controller)
{
    resize(HUDGradientControls::preferredSize(true));
    _controls = new HUDGradientControls(controller, HUDGradientControls::TextGradient, this);
}

void HUDTextGradientTools::update()
{
    _controls->update();
}

void HUDTextGradientTools::action(QObject* sender)
{
    _controls->action(sender);
}

struct HUDGradientControls::Values
{
    qint64 type = 0;
    QColor left;
    QColor right;
    double center = 1.0;
    double size = 0.0;
    double angle = 0.0;
};

QSize HUDGradientControls::preferredSize(bool withOwnPopup)
{
    return QSize(230, withOwnPopup ? 112 : 86);
}

HUDGradientControls::HUDGradientControls(HUDWindowController& controller, Target target,
                                         QWidget* container, HUDPopUpButton* typePopup)
    : QObject(container), _controller(controller), _target(target), _typePopup(typePopup)
{
    int top = 0;
    if (!_typePopup) {
        _typePopup = new HUDPopUpButton(false, container);
        _typePopup->setGeometry(10, 6, 150, 20);
        top = 26;
        fillTypeMenu(_typePopup, _target == FillGradient);
        connect(_typePopup, &HUDPopUpButton::activated, this,
                [this](QAction* item) { applyType(item->data().toInt()); });
    }
    _leftColor = new platform::ColorWell(container);
    _leftColor->setGeometry(10, top + 8, 34, 22);
    _rightColor = new platform::ColorWell(container);
    _rightColor->setGeometry(50, top + 8, 34, 22);
    for (platform::ColorWell* well : {_leftColor, _rightColor})
        connect(well, &platform::ColorWell::colorChanged, this, [this, well] { action(well); });

    auto* centerLabel = new HUDLabel(hudTools("Center:"), container);
    centerLabel->setGeometry(10, top + 36, 50, 16);
    _centerSlider = new HUDSlider(container);
    _centerSlider->setGeometry(60, top + 36, 90, 16);
    auto* sizeLabel = new HUDLabel(hudTools("Size:"), container);
    sizeLabel->setGeometry(10, top + 58, 50, 16);
    _sizeSlider = new HUDSlider(container);
    _sizeSlider->setGeometry(60, top + 58, 90, 16);
    for (HUDSlider* slider : {_centerSlider, _sizeSlider}) {
        slider->setOrientation(Qt::Horizontal);
        slider->setRange(0, SliderScale);
        connect(slider, &QSlider::valueChanged, this, [this, slider] {
            // Only the user's moves act (update() sets values with signals blocked).
            action(slider);
        });
        controller.groupDragOfControl(slider);
    }

    _angleSlider = new LBCircularSlider(container);
    _angleSlider->setGeometry(160, top + 4, 56, 56);
    _angleSlider->setHUDAppearance(true);
    _angleSlider->setNumberOfSnapMarks(72);
    _angleSlider->setAction([this](LBCircularSlider* dial) { action(dial); });
    controller.groupDragOfControl(_angleSlider);
    _angleField = new HUDLabel(QString(), container);
    _angleField->setAlignment(Qt::AlignCenter);
    _angleField->setGeometry(160, top + 62, 56, 16);
}

void HUDGradientControls::setOtherTypeHandler(std::function<void(int)> handler)
{
    _otherTypeHandler = std::move(handler);
}

void HUDGradientControls::rebuildFillTypeMenu(HUDPopUpButton* popup)
{
    fillTypeMenu(popup, true);
}

void HUDGradientControls::fillTypeMenu(HUDPopUpButton* popup, bool withColorKinds)
{
    // Separators have no title.
    static const QList<QPair<const char*, int>> entries = {
        {"None", NoneTag},
        {nullptr, 0},
        {"Solid Color", SolidColorTag},
        {"Soft Color", SoftColorTag},
        {nullptr, 0},
        {"Linear Gradient", LinearTag},
        {"Radial Gradient", RadialTag},
        {nullptr, 0},
        {"Swap Colors", SwapColorsTag},
    };
    hudpopup::removeAllItems(popup);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const auto& [title, tag] = entries.at(i);
        // The text gradient has no plain or soft colour (nor the separator after them).
        if (!withColorKinds && i >= 2 && i <= 4)
            continue;
        if (title)
            hudpopup::addItem(popup, hudTools(title), tag);
        else
            hudpopup::addSeparator(popup);
    }
}

double HUDGradientControls::snappedAngle(double degrees)
{
    if (degrees >= 355.0 || degrees <= 5.0)
        return 0.0;
    for (int multiple = 45; multiple < 360; multiple += 45)
        if (std::abs(degrees - multiple) <= 5.0)
            return multiple;
    return degrees;
}

QString HUDGradientControls::angleText(double degrees)
{
    if (degrees > 359.0)
        degrees -= 360.0;
    const QString degreeSign(QChar(0x00BA));
    if (degrees > 0.0 && degrees < 360.0)
        return HUDWindowController::stripTrailingZerosFromString(QString::asprintf("%f", degrees))
               + degreeSign;
    return QStringLiteral("0") + degreeSign;
}

void HUDGradientControls::updateAngleText(double degrees)
{
    _angleField->setText(angleText(degrees));
}

HUDGradientControls::Values HUDGradientControls::valuesOf(const LBGraphic& graphic) const
{
    Values v;
    if (_target == FillGradient) {
        v.type = graphic.fillType();
        v.left = graphic.storedFillColor();
        v.right = graphic.storedFillColor1();
        v.center = graphic.gradientCenter();
        v.size = graphic.gradientCenterSize();
        v.angle = graphic.gradientAngle();
    } else if (const auto* text = dynamic_cast<const LBTextArea*>(&graphic)) {
        v.type = text->textGradientType();
        v.left = text->textGradientColor1();
        v.right = text->textGradientColor2();
        v.center = text->textGradientCenter();
        v.size = text->textGradientCenterSize();
        v.angle = text->textGradientAngle();
    }
    return v;
}

void HUDGradientControls::update()
{
    if (_controller.ignoreUpdates() || _controller.selectedGraphics().isEmpty())
        return;
    if (_target == TextGradient
        && (_controller.toolTag() != HUDWindowController::TextGradientTools
            || !_controller.graphicView()))
        return;
    const Values v = valuesOf(*_controller.selectedGraphics().first());
    if (_target == FillGradient)
        rebuildFillTypeMenu(_typePopup);
    const int tag = v.type == LinearGradientType   ? LinearTag
                    : v.type == RadialGradientType ? RadialTag
                                                   : NoneTag;
    if (_target == FillGradient && tag == NoneTag)
        _typePopup->selectItem(hudpopup::items(_typePopup).value(0));
    else
        hudpopup::selectItemWithTag(_typePopup, tag);
    _leftColor->setColor(v.left);
    _rightColor->setColor(v.right);
    const QSignalBlocker blockCenter(_centerSlider);
    const QSignalBlocker blockSize(_sizeSlider);
    _centerSlider->setValue(qRound((1.0 - v.center) * SliderScale));
    _sizeSlider->setValue(qRound(v.size * SliderScale));
    _angleSlider->setAngle(v.angle, 1.0);
    updateAngleText(v.angle);
}

void HUDGradientControls::applyToGraphics(const std::function<void(LBGraphic&)>& change,
                                          const char* fillUndoKey, const char* textUndoKey)
{
    const bool fill = _target == FillGradient;
    _controller.applyToSelection(
        [&](LBGraphic& graphic) {
            if (fill || dynamic_cast<LBTextArea*>(&graphic))
                change(graphic);
        },
        QLatin1String(fill ? fillUndoKey : textUndoKey));
}

void HUDGradientControls::applyType(int tag)
{
    const bool fill = _target == FillGradient;
    const auto text = [](LBGraphic& g) -> LBTextArea& { return static_cast<LBTextArea&>(g); };
    switch (tag) {
    case NoneTag:
    case SolidColorTag:
    case SoftColorTag:
        if (fill) {
            if (_otherTypeHandler)
                _otherTypeHandler(tag);
        } else if (tag == NoneTag) {
            applyToGraphics([&](LBGraphic& g) { text(g).setTextGradientType(0); }, "",
                            "Text Gradient Type");
        }
        return;
    case LinearTag:
    case RadialTag: {
        const qint64 type = tag == LinearTag ? LinearGradientType : RadialGradientType;
        applyToGraphics(
            [&](LBGraphic& g) {
                if (fill) {
                    g.setColorMaskType(0, -1, -1, -1, -1, -1);
                    g.setFillType(type);
                } else {
                    text(g).setTextGradientType(type);
                }
            },
            "Gradient Type", "Text Gradient Type");
        return;
    }
    case SwapColorsTag:
        applyToGraphics(
            [&](LBGraphic& g) {
                if (fill) {
                    const QColor left = g.storedFillColor();
                    g.setFillColor(g.storedFillColor1());
                    g.setFillColor1(left);
                } else {
                    const QColor left = text(g).textGradientColor1();
                    text(g).setTextGradientColor1(text(g).textGradientColor2());
                    text(g).setTextGradientColor2(left);
                }
            },
            "Gradient Color", "Text Gradient Color");
        update();
        return;
    default: return;
    }
}

void HUDGradientControls::action(QObject* sender)
{
    const bool fill = _target == FillGradient;
    const auto text = [](LBGraphic& g) -> LBTextArea& { return static_cast<LBTextArea&>(g); };
    if (sender == _typePopup) {
        applyType(hudpopup::selectedTag(_typePopup));
    } else if (sender == _leftColor || sender == _rightColor) {
        const QColor color = static_cast<platform::ColorWell*>(sender)->color();
        const bool left = sender == _leftColor;
        applyToGraphics(
            [&](LBGraphic& g) {
                if (fill)
                    left ? g.setFillColor(color) : g.setFillColor1(color);
                else
                    left ? text(g).setTextGradientColor1(color)
                         : text(g).setTextGradientColor2(color);
            },
            "Gradient Color", "Text Gradient Color");
    } else if (sender == _centerSlider) {
        const double center = 1.0 - double(_centerSlider->value()) / SliderScale;
        applyToGraphics(
            [&](LBGraphic& g) {
                fill ? g.setGradientCenter(center) : text(g).setTextGradientCenter(center);
            },
            "Gradient Center", "Text Gradient Center");
    } else if (sender == _sizeSlider) {
        const double size = double(_sizeSlider->value()) / SliderScale;
        applyToGraphics(
            [&](LBGraphic& g) {
                fill ? g.setGradientCenterSize(size) : text(g).setTextGradientCenterSize(size);
            },
            "Gradient Size", "Text Gradient Size");
    } else if (sender == _angleSlider) {
        const double angle = snappedAngle(_angleSlider->angle());
        _angleSlider->setAngle(angle, _angleSlider->distance());
        applyToGraphics(
            [&](LBGraphic& g) {
                fill ? g.setGradientAngle(angle) : text(g).setTextGradientAngle(angle);
            },
            "Gradient Angle", "Text Gradient Angle");
        updateAngleText(angle);
    }
}

void HUDWindowController::registerTextGradientTools()
{
    registerPane(paneOfView<HUDTextGradientTools>(TextGradientTools));
}
