// The Rotation pane: the angle of the selection on a dial and in a box, and flips.
// Several ungrouped graphics turn and flip as one temporary group about their common
// centre; the group is dissolved when the action ends (for the dial, at the release).

#include "canvas/LBGraphicView.h"
#include "controls/LBCircularSlider.h"
#include "controls/LBCompImageButton.h"
#include "document/LBDocument.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDPaneBuilder.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UndoManager.h"
#include "platform/ui/Beep.h"

#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace {

const QChar degreeSign(0x00BA);

struct RotateFlipToolsView : QWidget
{
    LBCircularSlider* rotateSlider = nullptr;
    HUDComboBox* rotateComboBox = nullptr;
    QList<LBCompImageButton*> flipButtons;
};

QString hudText(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("HUD Tools"));
}

QWidget* makeRotateFlipTools(HUDWindowController& controller)
{
    auto* view = new RotateFlipToolsView;
    view->resize(230, 70);
    HUDPaneBuilder build(controller, view, [&controller](QObject* sender) {
        controller.rotateFlipToolsAction(sender);
    });
    view->rotateSlider = build.dial(QStringLiteral("_rotateSlider"), 8, 6, 58, 0);
    // Every step of a drag turns the graphics, not only the release.
    view->rotateSlider->setContinuous(true);
    view->rotateComboBox = build.comboBox(QStringLiteral("_rotateComboBox"), 78, 10, 90);
    for (int angle : {0, 45, 90, 180, 270})
        view->rotateComboBox->addItem(QString::number(angle) + degreeSign);
    view->flipButtons = {build.button(QStringLiteral("_flipHorizontalButton"),
                                      hudText("Flip Horizontal"), 78, 40, 70, 1),
                         build.button(QStringLiteral("_flipVerticalButton"),
                                      hudText("Flip Vertical"), 152, 40, 70, 2)};
    return view;
}

} // namespace

void HUDWindowController::registerRotationPane()
{
    registerPane(paneRow(RotateFlipTools, makeRotateFlipTools,
                         &HUDWindowController::updateRotateFlipTools,
                         &HUDWindowController::rotateFlipToolsAction));
}

double HUDWindowController::snappedRotationAngle(double angle)
{
    if (angle > 350.0 || angle < 10.0)
        return 0.0;
    if (angle > 80.0 && angle < 100.0)
        return 90.0;
    if (angle > 170.0 && angle < 190.0)
        return 180.0;
    if (angle > 260.0 && angle < 280.0)
        return 270.0;
    return angle;
}

void HUDWindowController::updateRotateFlipTools()
{
    if (_currToolsTag != RotateFlipTools || !graphicView() || _selectedGraphics.isEmpty()
        || _temporaryGroup || _ignoreUpdates)
        return;
    auto* view = paneOutlets<RotateFlipToolsView>(RotateFlipTools);
    const auto angleOf = [](const LBGraphic& graphic) {
        return graphic.isGrouped() ? graphic.groupRotation() : graphic.rotation();
    };
    const double angle = angleOf(*_selectedGraphics.first());
    bool groupPresent = _selectedGraphics.first()->isGrouped();
    bool mixed = false;
    for (qsizetype i = 1; i < _selectedGraphics.size(); ++i) {
        const LBGraphic& graphic = *_selectedGraphics.at(i);
        groupPresent |= graphic.isGrouped();
        mixed |= angleOf(graphic) != angle;
    }
    QLineEdit* box = view->rotateComboBox->lineEdit();
    if (mixed || (_selectedGraphics.size() > 1 && !groupPresent)) {
        // Several graphics turn as a group that starts at 0.
        box->clear();
        _origFloatValue = 0.0;
        view->rotateSlider->setAngle(0.0, view->rotateSlider->distance());
        return;
    }
    _origFloatValue = angle;
    box->setText(angle == 0.0
                     ? QStringLiteral("0") + degreeSign
                     : stripTrailingZerosFromString(QString::asprintf("%f", angle)) + degreeSign);
    view->rotateSlider->setAngle(angle, 1.0);
}

void HUDWindowController::rotateFlipToolsAction(QObject* sender)
{
    auto* view = paneOutlets<RotateFlipToolsView>(RotateFlipTools);
    LBGraphicView* canvas = graphicView();
    if (!view || !canvas || _selectedGraphics.isEmpty())
        return;
    LBCircularSlider* dial = view->rotateSlider;
    const bool fromDial = sender == dial;
    auto* flip = dynamic_cast<LBCompImageButton*>(sender);
    if (flip && !view->flipButtons.contains(flip))
        flip = nullptr;
    LBDocument* document = canvas->document();

    // One temporary group for several ungrouped graphics.
    if (_selectedGraphics.size() >= 2
        && (!fromDial || (dial->mouseIsDown() && !_performedGroupRotationCheck))) {
        const bool anyGrouped =
            std::any_of(_selectedGraphics.begin(), _selectedGraphics.end(),
                        [](const LBGraphicPtr& graphic) { return graphic->isGrouped(); });
        if (!anyGrouped) {
            _temporaryGroup = true;
            if (document)
                _temporaryGroupOrder =
                    document->pageGraphics().value(document->selectedLayerIndex());
            canvas->setKnobsHidden(true);
            canvas->group(nullptr);
        } else if (_selectedGraphics.first()->isGrouped() && flip) {
            canvas->ungroup(nullptr);
            canvas->group(nullptr);
        }
        _performedGroupRotationCheck = true;
    }
    const bool keepGroup = fromDial && dial->mouseIsDown();
    if (!keepGroup)
        _performedGroupRotationCheck = false;
    QString undoKey;
    const auto dissolveTemporaryGroup = [&] {
        if (keepGroup || !_temporaryGroup)
            return;
        canvas->ungroup(nullptr);
        // Back at their places in the stacking order.
        if (document) {
            const qint64 layerIndex = document->selectedLayerIndex();
            const LBDocument::Layer now = document->pageGraphics().value(layerIndex);
            const LBDocument::Layer before = _temporaryGroupOrder;
            if (now.size() == before.size())
                for (qsizetype i = 0; i < before.size(); ++i)
                    if (document->pageGraphics().value(layerIndex).value(i) != before.at(i))
                        document->moveGraphic(before.at(i), i, layerIndex);
        }
        _temporaryGroupOrder.clear();
        _temporaryGroup = false;
        canvas->setKnobsHidden(false);
        // The step is the turn or the flip, not the grouping.
        if (platform::UndoManager* manager = undoManager())
            manager->setActionName(undoKey.isEmpty() ? QString()
                                                     : platform::LocalizedString(
                                                         undoKey, QStringLiteral("UndoStrings")));
        updateRotateFlipTools();
    };

    const QList<LBGraphicPtr> graphics = _selectedGraphics;
    const auto forEachGraphic = [&](const std::function<void(LBGraphic&)>& change) {
        beginPaneAction();
        for (qsizetype i = 0; i < graphics.size(); ++i) {
            LBGraphic& graphic = *graphics.at(i);
            if (i == graphics.size() - 1)
                willChangeLastGraphic();
            if (graphic.isTextBox() || graphic.isShapeWithText())
                endInPlaceEditing();
            canvas->invalidateGraphic(&graphic);
            if (graphic.isGrouped() && graphic.groupedChildrenCount() == 0)
                continue; // turned or flipped with its group's parent
            change(graphic);
        }
        _ignoreUpdates = false;
    };

    if (flip) {
        const bool horizontally = flip->tag() == 1;
        forEachGraphic([&](LBGraphic& graphic) {
            if (graphic.groupedChildrenCount() != 0)
                canvas->flipHorizontally(horizontally, &graphic);
            else if (horizontally)
                graphic.flipHorizontally();
            else
                graphic.flipVertically();
        });
        dissolveTemporaryGroup();
        return;
    }

    double angle = 0.0;
    if (fromDial) {
        angle = std::trunc(dial->angle());
        const double snapped = snappedRotationAngle(angle);
        if (snapped != angle) {
            angle = snapped;
            dial->setAngle(angle, dial->distance());
        }
    } else if (sender == view->rotateComboBox) {
        const std::optional<double> typed =
            platform::typedDouble(view->rotateComboBox->currentText());
        angle = typed.value_or(0.0);
        if (!typed || !std::isfinite(angle) || angle < -360.0 || angle > 360.0) {
            // Refused, not taken as 0 (which would turn the graphic upright). While typing
            // the field is left alone: the user may be half-way through "-30".
            if (_textChangeInvokedByTimer) {
                dissolveTemporaryGroup();
                return;
            }
            platform::beep();
            dissolveTemporaryGroup();
            updateRotateFlipTools();
            return;
        }
    } else {
        return;
    }
    if (angle != _origFloatValue) {
        forEachGraphic([&](LBGraphic& graphic) {
            if (graphic.groupedChildrenCount() != 0)
                canvas->setRotation(angle, &graphic);
            else
                graphic.setRotation(angle);
        });
        undoKey = QStringLiteral("Set Rotation");
        nameUndoStep(undoKey);
        if (!_textChangeInvokedByTimer)
            updateRotateFlipTools();
    } else if (_temporaryGroup) {
        undoKey = QStringLiteral("Set Rotation");
    }
    dissolveTemporaryGroup();
}
