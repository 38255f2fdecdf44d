// The Image pane: the six picture adjustments, their reset and the placeholder box.

#include "canvas/LBGraphicView.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDPaneViews.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/ui/Beep.h"

#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace {

struct AdjustmentRow
{
    const char* label; // in "HUD Tools"
    const char* undoKey;
    double (LBGraphic::*get)() const;
    void (LBGraphic::*set)(double);
};

const std::array<AdjustmentRow, HUDImageAdjustTools::AdjustmentCount>& adjustmentRows()
{
    static const std::array<AdjustmentRow, HUDImageAdjustTools::AdjustmentCount> rows = {{
        {"Brightness:", "Brightness", &LBGraphic::brightness, &LBGraphic::setBrightness},
        {"Contrast:", "Contrast", &LBGraphic::contrast, &LBGraphic::setContrast},
        {"Hue:", "Hue", &LBGraphic::hue, &LBGraphic::setHue},
        {"Saturation:", "Saturation", &LBGraphic::saturation, &LBGraphic::setSaturation},
        {"Sharpness:", "Sharpness", &LBGraphic::sharpness, &LBGraphic::setSharpness},
        {"Exposure:", "Exposure", &LBGraphic::exposure, &LBGraphic::setExposure},
    }};
    return rows;
}

QString hudTools(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("HUD Tools"));
}

// The dead zone around 0: a value this close to it is 0.
constexpr double DeadZone = 5.0;

} // namespace

HUDImageAdjustTools::HUDImageAdjustTools(HUDWindowController& controller) : _controller(controller)
{
    resize(250, 24 * AdjustmentCount + 44);
    for (int a = 0; a < AdjustmentCount; ++a) {
        const int y = 8 + 24 * a;
        auto* label = new HUDLabel(hudTools(adjustmentRows()[std::size_t(a)].label), this);
        label->setGeometry(6, y, 70, 18);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto* slider = new HUDSlider(this);
        slider->setOrientation(Qt::Horizontal);
        slider->setRange(-100, 100);
        slider->setGeometry(80, y + 1, 96, 16);
        auto* field = new HUDTextField(this);
        field->setGeometry(180, y, 34, 18);
        auto* down = new QPushButton(QStringLiteral("\u2212"), this);
        auto* up = new QPushButton(QStringLiteral("+"), this);
        down->setGeometry(216, y, 14, 18);
        up->setGeometry(231, y, 14, 18);
        down->setProperty("tag", stepDownTag(a));
        up->setProperty("tag", stepUpTag(a));
        for (QPushButton* button : {down, up}) {
            installHUDStyle(button);
            button->setFlat(true);
            connect(button, &QPushButton::clicked, this, [this, button] { action(button); });
        }
        connect(slider, &QSlider::valueChanged, this, [this, slider] { action(slider); });
        controller.groupDragOfControl(slider);
        controller.watchTextField(field, [this, field] { action(field); });
        _sliders[std::size_t(a)] = slider;
        _fields[std::size_t(a)] = field;
        _stepDownButtons[std::size_t(a)] = down;
        _stepUpButtons[std::size_t(a)] = up;
    }
    const int y = 12 + 24 * AdjustmentCount;
    _imagePlaceholderCheckbox = new HUDCheckbox(hudTools("Placeholder"), this);
    _imagePlaceholderCheckbox->setGeometry(8, y, 110, 20);
    connect(_imagePlaceholderCheckbox, &QCheckBox::clicked, this,
            [this] { action(_imagePlaceholderCheckbox); });
    _originalImageButton = new QPushButton(hudTools("Original Image"), this);
    installHUDStyle(_originalImageButton);
    _originalImageButton->setGeometry(130, y, 112, 20);
    connect(_originalImageButton, &QPushButton::clicked, this,
            [this] { action(_originalImageButton); });
}

void HUDImageAdjustTools::update()
{
    if (_controller.toolTag() != HUDWindowController::ImageAdjustTools || !_controller.graphicView()
        || _controller.selectedGraphics().isEmpty() || _controller.ignoreUpdates())
        return;
    const LBGraphic& graphic = *_controller.selectedGraphics().first();
    for (int a = 0; a < AdjustmentCount; ++a) {
        const double value = (graphic.*adjustmentRows()[std::size_t(a)].get)();
        const QSignalBlocker block(_sliders[std::size_t(a)]);
        _sliders[std::size_t(a)]->setValue(int(std::trunc(value)));
        _fields[std::size_t(a)]->setText(QString::number(qint64(std::trunc(value))));
    }
    _imagePlaceholderCheckbox->setChecked(graphic.isPlaceholder());
}

void HUDImageAdjustTools::apply(int adjustment, double value, QObject* sender)
{
    const AdjustmentRow& row = adjustmentRows()[std::size_t(adjustment)];
    const bool stepDown = sender == _stepDownButtons[std::size_t(adjustment)];
    const bool stepUp = sender == _stepUpButtons[std::size_t(adjustment)];
    const bool sharpnessSlider = adjustment == Sharpness && !stepDown && !stepUp;
    const QList<LBGraphicPtr> graphics = _controller.selectedGraphics();
    _controller.beginPaneAction();
    _controller.endInPlaceEditing();
    for (qsizetype i = 0; i < graphics.size(); ++i) {
        if (i == graphics.size() - 1)
            _controller.willChangeLastGraphic();
        LBGraphic& graphic = *graphics.at(i);
        const double current = (graphic.*row.get)();
        // Moving sharpness within one whole number rebuilds nothing.
        if (sharpnessSlider && std::trunc(value) == std::trunc(current))
            continue;
        const QSlider& slider = *_sliders[std::size_t(adjustment)];
        const double newValue = std::clamp(stepDown ? current - 1.0
                                           : stepUp ? current + 1.0
                                                    : value,
                                           double(slider.minimum()), double(slider.maximum()));
        (graphic.*row.set)(newValue);
        _controller.nameUndoStep(QLatin1String(row.undoKey));
        const QSignalBlocker block(_sliders[std::size_t(adjustment)]);
        _sliders[std::size_t(adjustment)]->setValue(int(std::trunc(newValue)));
        _fields[std::size_t(adjustment)]->setText(QString::number(qint64(std::trunc(newValue))));
    }
    _controller.setIgnoreUpdates(false);
}

void HUDImageAdjustTools::action(QObject* sender)
{
    if (sender == _imagePlaceholderCheckbox) {
        // The canvas reads the box's state from before the click: on, the pictures stop
        // being placeholders; off, it asks how to make them placeholders. Once for the
        // whole selection.
        const bool clicked = _imagePlaceholderCheckbox->isChecked();
        _imagePlaceholderCheckbox->setChecked(!clicked);
        _imagePlaceholderCheckbox->setProperty("state", clicked ? 0 : 1);
        if (LBGraphicView* canvas = _controller.graphicView())
            canvas->defineAsPlaceholder(_imagePlaceholderCheckbox);
        _imagePlaceholderCheckbox->setChecked(clicked);
        _imagePlaceholderCheckbox->setProperty("state", clicked ? 1 : 0);
        return;
    }
    if (sender == _originalImageButton) {
        _controller.applyToSelection(
            [](LBGraphic& graphic) {
                for (const AdjustmentRow& row : adjustmentRows())
                    (graphic.*row.set)(0.0);
            },
            QStringLiteral("Original Image"));
        update();
        return;
    }
    for (int a = 0; a < AdjustmentCount; ++a) {
        const std::size_t i = std::size_t(a);
        if (sender == _stepDownButtons[i] || sender == _stepUpButtons[i]) {
            apply(a, 0.0, sender);
            return;
        }
        if (sender != _sliders[i] && sender != _fields[i])
            continue;
        // A typed text that is no number leaves the adjustment as it is (not at 0).
        const std::optional<double> typed = sender == _sliders[i]
                                                ? std::optional<double>(_sliders[i]->value())
                                                : platform::typedDouble(_fields[i]->text());
        // The field takes what the slider can show: a typed value beyond it is brought
        // to the nearest end (9999 would turn the picture white, with the slider at 100),
        // and a text that is no number shows the adjustment again; each with a beep.
        if (!typed) {
            platform::beep();
            update();
            return;
        }
        double value =
            std::clamp(*typed, double(_sliders[i]->minimum()), double(_sliders[i]->maximum()));
        if (value != *typed)
            platform::beep();
        if (value >= -DeadZone && value <= DeadZone) {
            value = 0.0;
            const QSignalBlocker block(_sliders[i]);
            if (sender == _sliders[i])
                _sliders[i]->setValue(0);
            else
                _fields[i]->setText(QStringLiteral("0"));
        }
        apply(a, value, sender);
        return;
    }
}

void HUDWindowController::registerImageAdjustTools()
{
    registerPane(paneOfView<HUDImageAdjustTools>(ImageAdjustTools));
}
