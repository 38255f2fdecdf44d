// The Curved Text pane: where text laid along a circle starts, whether it runs outside or
// inside the circle, circle or spiral, and how fast the spiral opens.

#include "controls/LBCircularSlider.h"
#include "graphics/LBTextArea.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDWindowController.h"

#include <QButtonGroup>

#include <cmath>

namespace {

constexpr double rateScale = 100.0; // the rate slider counts hundredths

template <typename T>
T* control(HUDWindowController& controller, const char* name)
{
    return controller.toolsView(HUDWindowController::CurvedTextTools)
        ->findChild<T*>(QLatin1String(name));
}

void sendAction(HUDWindowController& controller, QObject* sender)
{
    HUDWindowController::paneForTag(HUDWindowController::CurvedTextTools)
        ->action(controller, sender);
}

// Two radio buttons as one matrix: its id is the selected row or column.
QButtonGroup* matrix(QWidget* view, const char* name, const QString& first, const QString& second,
                     const QRect& firstFrame, const QRect& secondFrame)
{
    auto* group = new QButtonGroup(view);
    group->setObjectName(QLatin1String(name));
    auto* a = new HUDRadioButton(first, view);
    a->setGeometry(firstFrame);
    auto* b = new HUDRadioButton(second, view);
    b->setGeometry(secondFrame);
    group->addButton(a, 0);
    group->addButton(b, 1);
    return group;
}

QWidget* makeCurvedTextTools(HUDWindowController& controller)
{
    auto* view = new QWidget;
    view->resize(230, 96);
    auto* dial = new LBCircularSlider(view);
    dial->setObjectName(QStringLiteral("_curvedTextSlider"));
    dial->setGeometry(8, 8, 56, 56);
    dial->setAppearance(LBCircularSlider::HUDAppearance);
    dial->setHUDAppearance(true);
    dial->setAngleUnits(LBCircularSlider::CompassDegreeUnits);
    dial->setContinuous(true);
    dial->setAction([&controller](LBCircularSlider* sender) { sendAction(controller, sender); });
    controller.groupDragOfControl(dial);
    auto* text = new HUDLabel(QString(), view);
    text->setObjectName(QStringLiteral("_curvedTextSliderValueText"));
    text->setAlignment(Qt::AlignCenter);
    text->setGeometry(8, 68, 56, 16);

    QButtonGroup* side = matrix(view, "_curvedTextMatrix", QObject::tr("Outside"),
                                QObject::tr("Inside"), QRect(76, 8, 70, 18), QRect(76, 28, 70, 18));
    QButtonGroup* form =
        matrix(view, "_circularSpiralMatrix", QObject::tr("Circle"), QObject::tr("Spiral"),
               QRect(150, 8, 70, 18), QRect(150, 28, 70, 18));
    for (QButtonGroup* group : {side, form})
        QObject::connect(group, &QButtonGroup::idClicked, &controller,
                         [&controller, group] { sendAction(controller, group); });

    auto* rateLabel = new HUDLabel(QObject::tr("Rate"), view);
    rateLabel->setGeometry(76, 56, 36, 16);
    auto* rate = new HUDSlider(view);
    rate->setObjectName(QStringLiteral("_spiralRateSlider"));
    rate->setOrientation(Qt::Horizontal);
    rate->setRange(1, int(rateScale));
    rate->setGeometry(112, 54, 108, 20);
    QObject::connect(rate, &QSlider::valueChanged, &controller,
                     [&controller, rate] { sendAction(controller, rate); });
    controller.groupDragOfControl(rate);
    return view;
}

// The angle as the pane shows it: whole degrees 1 to 359 with the degree sign, else 0.
QString curvedTextAngleText(qint64 angle)
{
    if (angle >= 360)
        angle -= 360;
    const qint64 shown = angle >= 1 && angle <= 359 ? angle : 0;
    return QString::number(shown) + QChar(0x00BA);
}

void updateCurvedTextTools(HUDWindowController& controller)
{
    if (controller.ignoreUpdates() || controller.selectedGraphics().isEmpty())
        return;
    const auto* text = dynamic_cast<const LBTextArea*>(controller.selectedGraphics().first().get());
    if (!text)
        return;
    control<QLabel>(controller, "_curvedTextSliderValueText")
        ->setText(curvedTextAngleText(text->curveStartingAngle()));
    control<LBCircularSlider>(controller, "_curvedTextSlider")
        ->setAngle(double(text->curveStartingAngle()), 1.0);
    control<QButtonGroup>(controller, "_curvedTextMatrix")
        ->button(text->drawsOnInsideOfCurve() ? 1 : 0)
        ->setChecked(true);
    control<QButtonGroup>(controller, "_circularSpiralMatrix")
        ->button(text->isSpiral() ? 1 : 0)
        ->setChecked(true);
    auto* rate = control<HUDSlider>(controller, "_spiralRateSlider");
    const QSignalBlocker blocker(rate);
    rate->setValue(int(std::lround(text->spiralRate() * rateScale)));
}

void curvedTextToolsAction(HUDWindowController& controller, QObject* sender)
{
    std::function<void(LBTextArea&)> change;
    if (auto* dial = qobject_cast<LBCircularSlider*>(sender)) {
        const auto angle = qint64(std::trunc(dial->angle()));
        change = [angle](LBTextArea& text) { text.setCurveStartingAngle(angle); };
        control<QLabel>(controller, "_curvedTextSliderValueText")
            ->setText(curvedTextAngleText(angle));
    } else if (auto* group = qobject_cast<QButtonGroup*>(sender)) {
        const bool second = group->checkedId() == 1;
        if (group->objectName() == QLatin1String("_curvedTextMatrix"))
            change = [second](LBTextArea& text) { text.setDrawsOnInsideOfCurve(second); };
        else
            change = [second](LBTextArea& text) { text.setIsSpiral(second); };
    } else if (auto* rate = qobject_cast<HUDSlider*>(sender)) {
        const double value = rate->value() / rateScale;
        change = [value](LBTextArea& text) { text.setSpiralRate(value); };
    }
    if (!change)
        return;
    controller.applyToSelection(
        [&change](LBGraphic& graphic) {
            if (auto* text = dynamic_cast<LBTextArea*>(&graphic))
                change(*text);
        },
        QStringLiteral("Curved Text Settings"));
}

} // namespace

void HUDWindowController::registerCurvedTextPane()
{
    Pane pane;
    pane.tag = CurvedTextTools;
    pane.titleKey = QStringLiteral("Curved Text");
    pane.factory = makeCurvedTextTools;
    pane.update = updateCurvedTextTools;
    pane.action = curvedTextToolsAction;
    registerPane(pane);
}
