// The Transparency, Shadow and Reflection panes. Percent read-outs round to the nearest
// whole percent: truncating a computed double shows one less for many values (an alpha
// of 0.80 would read "19%").

#include "canvas/LBGraphicView.h"
#include "controls/LBCircularSlider.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDPaneBuilder.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/ui/ColorWell.h"

#include <algorithm>
#include <cmath>

namespace {

QString hudText(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("HUD Tools"));
}

qint64 percent(double fraction)
{
    return qint64(std::llround(fraction * 100.0));
}

QString percentText(double fraction)
{
    return QString::number(percent(fraction)) + QLatin1Char('%');
}

// A slider over 0..1 (or -1..1) in hundredths.
constexpr double sliderScale = 100.0;

struct TransparencyToolsView : QWidget
{
    HUDSlider* transparencySlider = nullptr;
    HUDLabel* transparencyField = nullptr;
};

struct ShadowToolsView : QWidget
{
    HUDCheckbox* shadowCheckbox = nullptr;
    HUDLabel* shadowColorText = nullptr;
    HUDValueControls offset, blur, transparency;
    LBCircularSlider* shadowAngleSlider = nullptr;
    HUDLabel* shadowAngleField = nullptr;
    platform::ColorWell* shadowColor = nullptr;
};

struct ReflectionToolsView : QWidget
{
    HUDCheckbox* reflectionCheckbox = nullptr;
    HUDSlider* sliders[4] = {};
    HUDLabel* labels[4] = {};
};

QWidget* makeTransparencyTools(HUDWindowController& controller)
{
    auto* view = new TransparencyToolsView;
    view->resize(230, 36);
    HUDPaneBuilder build(controller, view, [&controller](QObject* sender) {
        controller.transparencyToolsAction(sender);
    });
    view->transparencySlider =
        build.slider(QStringLiteral("_transparencySlider"), 10, 11, 160, 0, int(sliderScale));
    view->transparencyField =
        build.label(QString(), 178, 9, 44, QStringLiteral("_transparencyField"));
    return view;
}

HUDValueControls shadowRow(HUDPaneBuilder& build, const char* name, const char* title, int y,
                           int sliderMaximum, double stepperMaximum)
{
    return build.valueRow(QStringLiteral("_shadow") + QLatin1String(name), hudText(title), y, 74,
                          62, 42, sliderMaximum, stepperMaximum);
}

QWidget* makeShadowTools(HUDWindowController& controller)
{
    auto* view = new ShadowToolsView;
    view->resize(230, 150);
    HUDPaneBuilder build(controller, view,
                         [&controller](QObject* sender) { controller.shadowToolsAction(sender); });
    view->shadowCheckbox =
        build.checkbox(QStringLiteral("_shadowCheckbox"), hudText("Shadow"), 8, 8, 110);
    view->shadowColorText =
        build.label(hudText("Text Shadow"), 8, 8, 110, QStringLiteral("_shadowColorText"));
    view->shadowColorText->hide();
    view->shadowColor = build.colorWell(QStringLiteral("_shadowColor"), 8, 34, 38);
    view->shadowColor->setColor(Qt::black);
    view->shadowAngleSlider = build.dial(QStringLiteral("_shadowAngleSlider"), 166, 2, 56, 72);
    view->shadowAngleField =
        build.label(QString(), 166, 58, 56, QStringLiteral("_shadowAngleField"));
    view->shadowAngleField->setAlignment(Qt::AlignCenter);
    view->offset = shadowRow(build, "Offset", "Offset", 80, 30, 1000);
    view->blur = shadowRow(build, "Blur", "Blur", 104, 100, 1000);
    view->transparency = shadowRow(build, "Transparency", "Transparency", 128, 100, 100);
    return view;
}

const char* const reflectionNames[4] = {"Transparency", "Height", "HOffset", "VOffset"};

QWidget* makeReflectionTools(HUDWindowController& controller)
{
    auto* view = new ReflectionToolsView;
    view->resize(230, 134);
    HUDPaneBuilder build(controller, view, [&controller](QObject* sender) {
        controller.reflectionToolsAction(sender);
    });
    view->reflectionCheckbox =
        build.checkbox(QStringLiteral("_reflectionCheckbox"), hudText("Reflection"), 8, 8, 200);
    const char* titles[4] = {"Transparency", "Height", "Horizontal Offset", "Vertical Offset"};
    const int minimum[4] = {0, 0, -int(sliderScale), 0};
    for (int i = 0; i < 4; ++i) {
        const QString name = QStringLiteral("_reflection") + QLatin1String(reflectionNames[i]);
        const int y = 34 + i * 24;
        build.label(hudText(titles[i]), 8, y, 96);
        view->sliders[i] = build.slider(name + QStringLiteral("Slider"), 104, y + 1, 76, minimum[i],
                                        int(sliderScale));
        view->labels[i] = build.label(QString(), 184, y, 40, name + QStringLiteral("Label"));
    }
    return view;
}

} // namespace

void HUDWindowController::registerTransparencyPanes()
{
    registerPane(paneRow(TransparencyTools, makeTransparencyTools,
                         &HUDWindowController::updateTransparencyTools,
                         &HUDWindowController::transparencyToolsAction));
    registerPane(paneRow(ShadowTools, makeShadowTools, &HUDWindowController::updateShadowTools,
                         &HUDWindowController::shadowToolsAction));
    registerPane(paneRow(ReflectionTools, makeReflectionTools,
                         &HUDWindowController::updateReflectionTools,
                         &HUDWindowController::reflectionToolsAction));
}

// --- Transparency ---

void HUDWindowController::updateTransparencyTools()
{
    if (_ignoreUpdates || _currToolsTag != TransparencyTools || _selectedGraphics.isEmpty())
        return;
    auto* view = paneOutlets<TransparencyToolsView>(TransparencyTools);
    const auto valueOf = [](const LBGraphic& g) {
        return g.isImageCrop() ? g.fillImageTransparency() : g.graphicAlpha();
    };
    const LBGraphic& first = *_selectedGraphics.first();
    const double alpha = first.isImageCrop()
                             ? std::min(first.fillImageTransparency(), first.graphicAlpha())
                             : first.graphicAlpha();
    bool mixed = false;
    for (qsizetype i = 1; i < _selectedGraphics.size(); ++i)
        mixed |= valueOf(*_selectedGraphics.at(i)) != alpha;
    const double transparency = mixed ? 0.0 : 1.0 - alpha;
    HUDPaneBuilder::setValue(view->transparencySlider,
                             int(std::lround(transparency * sliderScale)));
    view->transparencyField->setText(percentText(transparency));
}

void HUDWindowController::transparencyToolsAction(QObject* sender)
{
    auto* view = paneOutlets<TransparencyToolsView>(TransparencyTools);
    if (!view || sender != view->transparencySlider || _selectedGraphics.isEmpty())
        return;
    const double v = view->transparencySlider->value() / sliderScale;
    applyToSelection(
        [v](LBGraphic& g) {
            if (g.isImageCrop())
                g.setFillImageTransparency(1.0 - v);
            g.setGraphicAlpha(1.0 - v);
        },
        QStringLiteral("Change Transparency"));
    view->transparencyField->setText(percentText(v));
}

// --- Shadow ---

void HUDWindowController::updateShadowAngleText(double angle)
{
    if (auto* view = paneOutlets<ShadowToolsView>(ShadowTools))
        view->shadowAngleField->setText(angleText(angle));
}

void HUDWindowController::updateShadowTools()
{
    if (_ignoreUpdates || _currToolsTag != ShadowTools || _selectedGraphics.isEmpty())
        return;
    auto* view = paneOutlets<ShadowToolsView>(ShadowTools);
    struct Values
    {
        qint64 type = 0, height = 0, radius = 0, azimuth = 0;
        double alpha = 0.0;
        QColor color;
    };
    const auto valuesOf = [](const LBGraphic& g) {
        Values v;
        v.type = g.shadowInfo(&v.height, &v.radius, &v.azimuth, &v.alpha, &v.color);
        if (!v.color.isValid())
            v.color = Qt::black;
        return v;
    };
    const Values first = valuesOf(*_selectedGraphics.first());
    const qint64 transparency = percent(1.0 - first.alpha);
    bool anyType2 = first.type == 2;
    bool typeMixed = false, heightMixed = false, radiusMixed = false, alphaMixed = false;
    for (qsizetype i = 1; i < _selectedGraphics.size(); ++i) {
        const Values v = valuesOf(*_selectedGraphics.at(i));
        anyType2 |= v.type == 2;
        typeMixed |= v.type != first.type;
        heightMixed |= v.height != first.height;
        radiusMixed |= v.radius != first.radius;
        alphaMixed |= percent(1.0 - v.alpha) != transparency;
    }
    view->shadowCheckbox->setVisible(!anyType2);
    view->shadowColorText->setVisible(anyType2);
    HUDPaneBuilder::setState(view->shadowCheckbox, first.type != 0, typeMixed);
    view->offset.show(first.height, QString::number(first.height) + QStringLiteral(" pt"),
                      heightMixed);
    view->blur.show(first.radius, QString::number(first.radius) + QStringLiteral(" pt"),
                    radiusMixed);
    view->transparency.show(transparency, QString::number(transparency) + QLatin1Char('%'),
                            alphaMixed);
    _origFloatValue = first.alpha;
    view->shadowAngleSlider->setAngle(450.0 - double(first.azimuth), 1.0);
    updateShadowAngleText(450.0 - double(first.azimuth));
    if (!color(view->shadowColor->color(), first.color))
        view->shadowColor->setColor(first.color);
}

void HUDWindowController::shadowToolsAction(QObject* sender)
{
    auto* view = paneOutlets<ShadowToolsView>(ShadowTools);
    if (!view || _selectedGraphics.isEmpty())
        return;
    const auto apply = [this](qint64 type, qint64 height, qint64 radius, qint64 azimuth,
                              double alpha, const QColor& color, const char* undoKey) {
        applyToSelection(
            [&](LBGraphic& g) { g.setShadowInfo(type, height, radius, azimuth, alpha, color); },
            QLatin1String(undoKey));
    };
    if (sender == view->shadowCheckbox) {
        const bool on = HUDPaneBuilder::clickedState(view->shadowCheckbox);
        apply(on ? 1 : 0, -1, -1, -1, -1.0, QColor(), "Shadow On");
    } else if (view->offset.owns(sender)) {
        // A value refused (none, or out of range) is shown again, below.
        if (const qint64 v = view->offset.value(sender); v >= 0)
            apply(-1, v, -1, -1, -1.0, QColor(), "Shadow Offset");
    } else if (view->blur.owns(sender)) {
        if (const qint64 v = view->blur.value(sender); v >= 0)
            apply(-1, -1, v, -1, -1.0, QColor(), "Shadow Blur");
    } else if (view->transparency.owns(sender)) {
        // Stored as typed: the read-out rounds, so 71 comes back as 71.
        if (const qint64 v = view->transparency.value(sender); v >= 0 && v <= 100)
            apply(-1, -1, -1, -1, double(100 - v) / 100.0, QColor(), "Shadow Transparency");
    } else if (sender == view->shadowAngleSlider) {
        const double a = view->shadowAngleSlider->angle();
        apply(-1, -1, -1, qint64(std::trunc(450.0 - a)), -1.0, QColor(), "Shadow Angle");
        updateShadowAngleText(a);
    } else if (sender == view->shadowColor) {
        apply(-1, -1, -1, -1, -1.0, view->shadowColor->color(), "Shadow Color");
    } else {
        return;
    }
    if (!_textChangeInvokedByTimer)
        updateShadowTools();
}

// --- Reflection ---

void HUDWindowController::updateReflectionTools()
{
    if (_ignoreUpdates || _currToolsTag != ReflectionTools || _selectedGraphics.isEmpty())
        return;
    auto* view = paneOutlets<ReflectionToolsView>(ReflectionTools);
    const LBGraphic& first = *_selectedGraphics.first();
    bool mixed = false;
    for (const LBGraphicPtr& g : _selectedGraphics)
        mixed |= g->reflectionEnabled() != first.reflectionEnabled();
    HUDPaneBuilder::setState(view->reflectionCheckbox, first.reflectionEnabled(), mixed);
    const double values[4] = {1.0 - first.reflectionTransparency(), first.reflectionHeight(),
                              first.reflectionHOffset(), first.reflectionVOffset()};
    for (int i = 0; i < 4; ++i) {
        HUDPaneBuilder::setValue(view->sliders[i], int(std::lround(values[i] * sliderScale)));
        view->labels[i]->setText(percentText(values[i]));
    }
}

void HUDWindowController::reflectionToolsAction(QObject* sender)
{
    auto* view = paneOutlets<ReflectionToolsView>(ReflectionTools);
    if (!view || _selectedGraphics.isEmpty())
        return;
    if (sender == view->reflectionCheckbox) {
        const bool on = HUDPaneBuilder::clickedState(view->reflectionCheckbox);
        applyToSelection([on](LBGraphic& g) { g.setReflectionEnabled(on); },
                         QStringLiteral("Reflection"));
    } else {
        const int i = int(std::find(std::begin(view->sliders), std::end(view->sliders), sender)
                          - std::begin(view->sliders));
        if (i >= 4)
            return;
        const double v = view->sliders[i]->value() / sliderScale;
        switch (i) {
        case 0:
            applyToSelection([v](LBGraphic& g) { g.setReflectionTransparency(1.0 - v); },
                             QStringLiteral("Reflection Transparency"));
            break;
        case 1:
            applyToSelection([v](LBGraphic& g) { g.setReflectionHeight(v); },
                             QStringLiteral("Reflection Height"));
            break;
        case 2:
            applyToSelection([v](LBGraphic& g) { g.setReflectionHOffset(v); },
                             QStringLiteral("Reflection Horizontal Offset"));
            break;
        default:
            applyToSelection([v](LBGraphic& g) { g.setReflectionVOffset(v); },
                             QStringLiteral("Reflection Vertical Offset"));
            break;
        }
    }
    updateReflectionTools();
}
