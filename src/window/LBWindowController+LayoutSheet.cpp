// The layout chooser on the window: opening it for a new document or to change the
// layout, and letting it go.

#include "window/LBWindowController.h"

#include "document/LBDocument.h"
#include "layouts/LBLayoutSheetController.h"

LBLayoutSheetController* LBWindowController::layoutSheetController() const
{
    return static_cast<LBLayoutSheetController*>(_layoutSheetController.data());
}

bool LBWindowController::isSmartTemplate() const
{
    const LBLayoutSheetController* chooser = layoutSheetController();
    return chooser && chooser->isSmartTemplate();
}

void LBWindowController::openLayoutSheet(QObject* sender)
{
    removeLayoutSheetController();
    LBDocument* document = this->document();
    if (sender == this) {
        auto* chooser =
            new LBLayoutSheetController(true, LBLayoutSheetController::AddressLabelsProject, this);
        _layoutSheetController = chooser;
        chooser->beginSheetForController(this);
        return;
    }
    deselectAll();
    const QVariantMap description = document ? document->projectDescription() : QVariantMap();
    auto* chooser = new LBLayoutSheetController(
        false, LBLayoutSheetController::projectTypeOfDescription(description), this);
    _layoutSheetController = chooser;
    chooser->beginSheetForController(this);
    chooser->setFromProjectDescription(description);
    if (document)
        document->updateChangeCount(platform::Document::ChangeDone);
}

void LBWindowController::removeLayoutSheetController()
{
    LBLayoutSheetController* chooser = layoutSheetController();
    if (!chooser)
        return;
    LBLayoutSheetController::removeFromOpenControllers(chooser);
    // Its own button may have asked for this: it goes once that event is handled, even
    // when the window goes first.
    chooser->setParent(nullptr);
    chooser->deleteLater();
    _layoutSheetController = nullptr;
}
