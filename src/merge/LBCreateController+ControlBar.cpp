// The label-sheet control bar at the foot of the preview (repeat count, start label,
// sheet options) and the live-address badges and menu.

#include "merge/LBCreateController.h"

#include <QVariantMap>

qint64 LBCreateController::controlsType(const QVariantMap& layout)
{
    Q_UNUSED(layout);
    return 0;
}

LBCreateController::ControlFlags LBCreateController::controlFlagsForType(qint64 controlsType,
                                                                         bool foundDeliveryAddress,
                                                                         bool foundReturnAddress)
{
    Q_UNUSED(controlsType);
    Q_UNUSED(foundDeliveryAddress);
    Q_UNUSED(foundReturnAddress);
    return {};
}

LBCreateController::ControlFlags LBCreateController::controlFlags() const
{
    return {};
}

void LBCreateController::buildControlBarSections()
{}

void LBCreateController::addQuarnLabelControls(QWidget* container)
{
    Q_UNUSED(container);
}

void LBCreateController::setupRepeatPopupButton()
{}

void LBCreateController::insertNumLabelsInRepeatPopup(qint64 n)
{
    Q_UNUSED(n);
}

void LBCreateController::numLabelsAction(QComboBox* sender)
{
    Q_UNUSED(sender);
}

void LBCreateController::numLabelsPanelAction(qint64 buttonTag)
{
    Q_UNUSED(buttonTag);
}

void LBCreateController::startLabelAction(QObject* sender)
{
    Q_UNUSED(sender);
}

void LBCreateController::optionsAction(QAction* item)
{
    Q_UNUSED(item);
}

void LBCreateController::liveAddressAction(QCheckBox* checkbox)
{
    Q_UNUSED(checkbox);
}

void LBCreateController::showLiveAddressIcons(bool show)
{
    Q_UNUSED(show);
}

void LBCreateController::setLiveAddressCheckboxEnabled(bool enabled)
{
    Q_UNUSED(enabled);
}

void LBCreateController::displayAddressMenuAtPoint(const QPointF& point)
{
    Q_UNUSED(point);
}

void LBCreateController::addressMenuAction(qint64 index)
{
    Q_UNUSED(index);
}

void LBCreateController::removeTextPopupButton()
{}
