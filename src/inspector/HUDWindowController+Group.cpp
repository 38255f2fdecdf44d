// The Group pane: the members of the selected group, one of which can be selected
// alone, and whether selecting a group brings this pane up by itself.

#include "canvas/LBGraphicView.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/UserDefaults.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace {

const QString showGroupKey = QStringLiteral("Show Group HUD Window");
// The pull-down's own items before the members.
constexpr int fixedItems = 2;

HUDPopUpButton* groupPopup(HUDWindowController& controller)
{
    return controller.toolsView(HUDWindowController::GroupTools)
        ->findChild<HUDPopUpButton*>(QStringLiteral("_groupSelectPopup"));
}

HUDCheckbox* groupCheckbox(HUDWindowController& controller)
{
    return controller.toolsView(HUDWindowController::GroupTools)
        ->findChild<HUDCheckbox*>(QStringLiteral("_groupSelectCheckbox"));
}

QWidget* makeGroupTools(HUDWindowController& controller)
{
    auto* view = new QWidget;
    view->resize(230, 64);
    auto* label = new HUDLabel(QObject::tr("Select alone:"), view);
    label->setGeometry(10, 10, 90, 16);
    auto* popup = new HUDPopUpButton(true, view);
    popup->setObjectName(QStringLiteral("_groupSelectPopup"));
    popup->setGeometry(100, 7, 120, 22);
    // The title item (hidden, as a pull-down's first item is) and a heading.
    popup->addItem(QStringLiteral(" "), 0)->setVisible(false);
    popup->addItem(QObject::tr("Members"), 0)->setEnabled(false);
    auto* box = new HUDCheckbox(QObject::tr("Don't show when a group is selected"), view);
    box->setObjectName(QStringLiteral("_groupSelectCheckbox"));
    // As wide as its text at the palette's font: this pane alone grows to hold it rather
    // than cutting the text off.
    box->setGeometry(10, 38, box->sizeHint().width(), 18);
    view->resize(std::max(view->width(), box->x() + box->width() + 10), view->height());
    box->setChecked(!platform::UserDefaults::standardUserDefaults().boolForKey(showGroupKey));
    QObject::connect(popup, &HUDPopUpButton::activated, &controller, [&controller](QAction* item) {
        if (const auto* pane = HUDWindowController::paneForTag(HUDWindowController::GroupTools))
            pane->action(controller, item);
    });
    QObject::connect(box, &QAbstractButton::clicked, &controller, [&controller, box] {
        HUDWindowController::paneForTag(HUDWindowController::GroupTools)->action(controller, box);
    });
    return view;
}

void updateGroupTools(HUDWindowController& controller)
{
    if (controller.ignoreUpdates())
        return;
    HUDPopUpButton* popup = groupPopup(controller);
    QMenu* menu = popup->itemMenu();
    const QList<QAction*> items = menu->actions();
    for (qsizetype i = fixedItems; i < items.size(); ++i) {
        menu->removeAction(items.at(i));
        items.at(i)->deleteLater();
    }
    const QList<LBGraphicPtr>& selection = controller.selectedGraphics();
    for (qsizetype i = 0; i < selection.size(); ++i)
        popup->addItem(LBGraphicView::nameForGraphic(*selection.at(i)), int(i + 1));
    groupCheckbox(controller)
        ->setChecked(!platform::UserDefaults::standardUserDefaults().boolForKey(showGroupKey));
}

void groupToolsAction(HUDWindowController& controller, QObject* sender)
{
    if (auto* box = qobject_cast<HUDCheckbox*>(sender)) {
        // The box asks not to show the pane.
        platform::UserDefaults::standardUserDefaults().setBool(!box->isChecked(), showGroupKey);
        return;
    }
    const auto* item = qobject_cast<QAction*>(sender);
    const int tag = item ? item->data().toInt() : 0;
    const QList<LBGraphicPtr> selection = controller.selectedGraphics();
    LBGraphicView* canvas = controller.graphicView();
    if (tag > 0 && tag <= selection.size() && canvas)
        canvas->selectSubGraphicInGroup(selection.at(tag - 1));
}

} // namespace

void HUDWindowController::registerGroupPane()
{
    Pane pane;
    pane.tag = GroupTools;
    pane.titleKey = QStringLiteral("Group");
    pane.factory = makeGroupTools;
    pane.update = updateGroupTools;
    pane.action = groupToolsAction;
    registerPane(pane);
}
