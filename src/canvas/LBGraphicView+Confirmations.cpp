// Quick pages and papers from a kit: how to place them is asked (or answered from the
// user's remembered choice) before they are inserted. Beside them: the reaction to graphics
// dropped into the favourites during a drag of this canvas, and the kept mouse-down event.

#include "canvas/LBGraphicView.h"

#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "shapes/LBImage.h"

#include <QMouseEvent>

namespace {

QString dialogString(const char* key)
{
    return platform::LocalizedString(QString::fromUtf8(key), QStringLiteral("DialogStrings"));
}

const QString kDisableQuickPageConfirmation = QStringLiteral("DisableQuickPageConfirmation");
// The remembered answer, under the key the program has always used.
const QString kAutoQuickPageConfirmation = QStringLiteral("AutoQuickPageConformation");

} // namespace

void LBGraphicView::confirmInsertSpecialGraphic(const LBGraphicPtr& graphic)
{
    confirmInsertSpecialGraphic(graphic, QPointF(0.0, 0.0));
}

void LBGraphicView::confirmInsertSpecialGraphic(const LBGraphicPtr& graphic, const QPointF& atPoint)
{
    auto* image = dynamic_cast<LBImage*>(graphic.get());
    LBDocument* doc = document();
    if (!image || !doc)
        return;
    QWidget* sheetWindow = _windowController ? _windowController->window() : nullptr;
    // The answer comes back to the point and the drop point of this call.
    const QPointF dropPoint = _dropPoint;
    const QPointer<LBGraphicView> view(this);

    if (image->specialImageType() == LBImage::QuickPageToConfirm) {
        const platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
        if (defaults.boolForKey(kDisableQuickPageConfirmation)) {
            insertQuickPageSheetDidEnd(false,
                                       defaults.boolForKey(kAutoQuickPageConfirmation)
                                           ? platform::Alert::FirstButtonReturn
                                           : platform::Alert::SecondButtonReturn,
                                       graphic, atPoint);
            return;
        }
        platform::Alert alert;
        alert.messageText = dialogString(
            "Do you want to insert the Quick Page on a new layer above all other graphics?");
        alert.informativeText = dialogString(
            "This ensures that the Quick Page image isn't obscured by other graphics on the "
            "scrapbook page. You can then drag photos onto the scrapbook page and they will "
            "appear through the \"holes\" in the Quick Page Image. If you choose not to insert "
            "the Quick Page on a new layer, it will simply be added to the current layer. ");
        alert.buttons = {dialogString("Insert On New Layer"), dialogString("Add To Current Layer")};
        alert.showsSuppressionButton = true;
        alert.beginSheetModalForWindow(
            sheetWindow, [view, graphic, atPoint, dropPoint](const platform::Alert::Response& r) {
                if (!view)
                    return;
                view->_dropPoint = dropPoint;
                view->insertQuickPageSheetDidEnd(r.suppressed, r.returnCode, graphic, atPoint);
            });
        return;
    }

    if (image->specialImageType() == LBImage::PaperToConfirm) {
        if (doc->hasBackgroundPlaceholder(_pageIndex)
            && doc->drawBackgroundPlaceholder(_pageIndex)) {
            insertPaperSheetDidEnd(platform::Alert::FirstButtonReturn, graphic, atPoint);
            return;
        }
        platform::Alert alert;
        alert.messageText = dialogString("Do you want to use this paper as the background image?");
        alert.informativeText = dialogString(
            "The paper will appear behind all other graphics. To clear the background image, "
            "delete the \"Background Image\" layer in the Layers pane. If you choose not to make "
            "the paper the background image, it will be inserted as a regular graphic that you "
            "can move and resize.");
        alert.buttons = {dialogString("Use As Background"), dialogString("Insert As Graphic")};
        alert.beginSheetModalForWindow(
            sheetWindow, [view, graphic, atPoint, dropPoint](const platform::Alert::Response& r) {
                if (!view)
                    return;
                view->_dropPoint = dropPoint;
                view->insertPaperSheetDidEnd(r.returnCode, graphic, atPoint);
            });
    }
}

void LBGraphicView::insertQuickPageSheetDidEnd(bool suppress, int returnCode,
                                               const LBGraphicPtr& graphic, const QPointF& atPoint)
{
    auto* image = dynamic_cast<LBImage*>(graphic.get());
    LBDocument* doc = document();
    if (!image || !doc)
        return;
    const bool newLayer = returnCode == platform::Alert::FirstButtonReturn;
    if (suppress) {
        platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
        defaults.setBool(true, kDisableQuickPageConfirmation);
        defaults.setBool(newLayer, kAutoQuickPageConfirmation);
    }
    image->setSpecialImageType(newLayer ? LBImage::QuickPageOnNewLayer
                                        : LBImage::QuickPageOnCurrentLayer);
    if (newLayer) {
        // A layer above all others, named as the document names a layer it adds.
        const qint64 top = doc->layerCount();
        doc->insertLayerWithName(QStringLiteral("New Layer"), top);
        doc->selectLayerAtIndex(top);
        updateLayersView();
    }
    insertGraphic(graphic, atPoint, false, 1);
}

void LBGraphicView::insertPaperSheetDidEnd(int returnCode, const LBGraphicPtr& graphic,
                                           const QPointF& atPoint)
{
    auto* image = dynamic_cast<LBImage*>(graphic.get());
    if (!image || !document())
        return;
    if (returnCode == platform::Alert::FirstButtonReturn) {
        image->setSpecialImageType(LBImage::PaperAsBackground);
        scheduleUpdateLayersView();
    } else {
        image->setSpecialImageType(LBImage::PaperAsGraphic);
    }
    insertGraphic(graphic, atPoint, false, 1);
}

void LBGraphicView::graphicAddedToFavorites(const platform::Notification& notification)
{
    Q_UNUSED(notification);
    // Only the canvas whose drag runs: the copies an Alt-drag put on the page go again,
    // inside the drag's own step, so the page is left as it was.
    if (!_dragOriginatedInThisView || _dragCopies.isEmpty())
        return;
    const QList<LBGraphicPtr> copies = std::exchange(_dragCopies, {});
    for (const LBGraphicPtr& copy : copies)
        removeGraphicFromPage(copy);
}

void LBGraphicView::setDownEvent(const QMouseEvent* event)
{
    _downEvent.reset(event ? event->clone() : nullptr);
}
