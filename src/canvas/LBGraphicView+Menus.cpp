// Which commands the menus offer for the selection, with their titles and check marks, and
// the canvas's contextual menu.

#include "canvas/LBGraphicView.h"

#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "platform/core/Strings.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBImage.h"
#include "shapes/LBLine.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>

#include <algorithm>

namespace {

QString menuString(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("MenuStrings"));
}

// Graphics that cannot become placeholders: barcodes, the sample pictures, and lines other
// than closed curves.
bool cannotBePlaceholder(const LBGraphic& graphic)
{
    if (dynamic_cast<const LBBarcodeImage*>(&graphic))
        return true;
    if (const auto* image = dynamic_cast<const LBImage*>(&graphic)) {
        const qint64 type = image->specialImageType();
        if (type >= 1 && type <= 5)
            return true;
    }
    if (dynamic_cast<const LBLine*>(&graphic)) {
        const auto* curve = dynamic_cast<const LBCurvedLine*>(&graphic);
        return !curve || !curve->closedPath();
    }
    return false;
}

} // namespace

bool LBGraphicView::validateMenuItem(QAction* item)
{
    if (!item)
        return false;
    const QString action = item->objectName();
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    const qsizetype count = selection.size();
    const bool anyGrouped = std::any_of(selection.cbegin(), selection.cend(),
                                        [](const LBGraphicPtr& g) { return g->isGrouped(); });
    const auto is = [&action](std::initializer_list<const char*> names) {
        return std::any_of(names.begin(), names.end(),
                           [&action](const char* name) { return action == QLatin1String(name); });
    };

    bool enabled = true;
    if (is({"delete:", "cut:", "copy:", "lock:", "duplicate:", "bringForward:", "sendBackward:",
            "bringToFront:", "sendToBack:"})) {
        enabled = count > 0;
    } else if (is({"alignLeftEdges:", "alignRightEdges:", "alignTopEdges:", "alignBottomEdges:",
                   "alignHorizontalCenters:", "alignVerticalCenters:", "alignTextBaselines:",
                   "group:"})) {
        enabled = groupCommandEnabled();
    } else if (is({"makeNaturalSize:"})) {
        enabled = !anyGrouped && count >= 1;
    } else if (is({"makeSameWidth:", "makeSameHeight:"})) {
        enabled = !anyGrouped && count >= 2;
    } else if (is({"distributeEvenly:"})) {
        enabled = !anyGrouped && count >= 3;
    } else if (is({"ungroup:"})) {
        enabled = ungroupCommandEnabled();
    } else if (is({"cropUncrop:"})) {
        const qint64 type = cropUncropCommandType();
        enabled = type == 1 || type == 2;
        if (enabled)
            item->setText(menuString(type == 1 ? "Crop Image" : "Uncrop Image"));
    } else if (is({"cropWithShape:"})) {
        enabled = cropWithShapeCommandType() > 0;
    } else if (is({"maskImage:"})) {
        enabled = count > 0 && std::all_of(selection.cbegin(), selection.cend(), [](const auto& g) {
                      return dynamic_cast<const LBImage*>(g.get()) || g->isImageCrop();
                  });
    } else if (is({"unlock:"})) {
        const QList<LBGraphicPtr> all = selectedGraphics(true);
        enabled = std::any_of(all.cbegin(), all.cend(), [](const auto& g) { return g->locked(); });
    } else if (is({"defineAsPlaceholder:"})) {
        enabled = count > 0
                  && std::none_of(selection.cbegin(), selection.cend(),
                                  [](const auto& g) { return cannotBePlaceholder(*g); });
        const bool on = count > 0 && selection.first()->isPlaceholder();
        // Defining anything but a text box needs the settings sheet; undefining does not.
        if (enabled && !on && !selection.first()->isTextBox())
            enabled = LBPlaceholderSettings::hasFactory();
        item->setCheckable(true);
        item->setChecked(on);
    } else if (is({"editPlaceholderSettings:"})) {
        enabled = count == 1 && selection.first()->isPlaceholder()
                  && (selection.first()->isTextBox() || LBPlaceholderSettings::hasFactory());
    } else if (is({"postalGuidelinesAction:"})) {
        const bool envelope = _windowController && _windowController->isEnvelope();
        enabled = envelope;
        item->setText(envelope && drawPostalGuidelines()
                          ? QStringLiteral("Hide Postal Guidelines")
                          : QStringLiteral("Show Postal Guidelines"));
    } else if (is({"trimToPageAction:"})) {
        item->setCheckable(true);
        item->setChecked(trimToPageIsOn());
    }
    item->setEnabled(enabled);
    return enabled;
}

QMenu* LBGraphicView::menuForEvent(const QPointF& point)
{
    InspectorPalette* palette = LBProcessState::inspectorPalette();
    QMenu* base = palette ? palette->contextualMenuForView(this) : nullptr;
    QMenu* graphicsMenu = buildMenuOfGraphicsUnderPoint(point);
    if (selectedGraphics(false).isEmpty())
        return graphicsMenu;
    if (!base)
        return graphicsMenu; // without a palette there is no base menu to add to
    if (!graphicsMenu)
        return base;
    base->addSeparator();
    graphicsMenu->setTitle(menuString("Graphics Under Mouse"));
    base->addMenu(graphicsMenu);
    graphicsMenu->setParent(base, graphicsMenu->windowFlags());
    // The palette's menu is kept and filled again for every click: the list made for this
    // click goes when the menu closes (later, so a choice in it is carried out first).
    QObject::connect(base, &QMenu::aboutToHide, graphicsMenu, &QObject::deleteLater,
                     Qt::SingleShotConnection);
    return base;
}

void LBGraphicView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = menuForEvent(convertFromWidget(event->pos()));
    if (!menu)
        return;
    // The palette keeps its own menu; a menu made here goes when it closes.
    InspectorPalette* palette = LBProcessState::inspectorPalette();
    if (!palette || menu != palette->contextualMenuForView(this))
        menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}
