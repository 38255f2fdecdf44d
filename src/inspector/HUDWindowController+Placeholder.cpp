// The image-placeholder pane of text boxes: one check box that makes the selected text
// box a placeholder (the canvas asks which kind) or a plain text box again.

#include "canvas/LBGraphicView.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDWindowController.h"

namespace {

HUDCheckbox* placeholderCheckbox(HUDWindowController& controller)
{
    return controller.toolsView(HUDWindowController::PlaceholderTools)
        ->findChild<HUDCheckbox*>(QStringLiteral("_placeholderCheckbox"));
}

QWidget* makePlaceholderTools(HUDWindowController& controller)
{
    auto* view = new QWidget;
    view->resize(230, 36);
    auto* box = new HUDCheckbox(QObject::tr("Image placeholder"), view);
    box->setObjectName(QStringLiteral("_placeholderCheckbox"));
    box->setGeometry(10, 9, 210, 18);
    QObject::connect(box, &QAbstractButton::clicked, &controller, [&controller, box] {
        HUDWindowController::paneForTag(HUDWindowController::PlaceholderTools)
            ->action(controller, box);
    });
    return view;
}

void updatePlaceholderTools(HUDWindowController& controller)
{
    if (controller.ignoreUpdates() || controller.selectedGraphics().isEmpty())
        return;
    placeholderCheckbox(controller)
        ->setChecked(controller.selectedGraphics().first()->isPlaceholder());
}

void placeholderToolsAction(HUDWindowController& controller, QObject* sender)
{
    auto* box = qobject_cast<HUDCheckbox*>(sender);
    LBGraphicView* canvas = controller.graphicView();
    if (!box || !canvas)
        return;
    // The canvas reads the box as it was before the click: on means "is a placeholder".
    const bool newState = box->isChecked();
    box->setChecked(!newState);
    box->setProperty("state", newState ? 0 : 1);
    canvas->defineAsPlaceholder(box);
    box->setChecked(newState);
}

} // namespace

void HUDWindowController::registerPlaceholderPane()
{
    Pane pane;
    pane.tag = PlaceholderTools;
    pane.titleKey = QStringLiteral("Image");
    pane.factory = makePlaceholderTools;
    pane.update = updatePlaceholderTools;
    pane.action = placeholderToolsAction;
    registerPane(pane);
}
