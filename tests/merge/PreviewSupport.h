#pragma once

// Shared pieces of the preview tests: a document window opened in preview mode, text boxes
// on the design, and waiting for the event loop.

#include "graphics/LBTextArea.h"
#include "layouts/LBPageView.h"
#include "merge/LBCreateController.h"
#include "merge/LBRenderingView.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/TextForms.h"
#include "platform/ui/Alert.h"
#include "window/LBWindowController.h"
#include "window/PreviewModeController.h"

#include "../graphics/TextAreaTestSupport.h"

#include <QApplication>
#include <QDeadlineTimer>

#include <functional>

// Runs the event loop until the condition holds or a few seconds pass.
inline bool waitFor(const std::function<bool()>& condition, int milliseconds = 5000)
{
    const QDeadlineTimer deadline(milliseconds);
    while (!condition() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return condition();
}

// Installs the preview for the windows a test opens, and answers alerts.
class PreviewScope
{
public:
    PreviewScope()
    {
        PreviewModeController::setFactory([] { return std::make_unique<LBCreateController>(); });
        platform::Alert::setResponder(
            [](const platform::Alert&, QWidget*) { return platform::Alert::Response(); });
    }
    ~PreviewScope()
    {
        PreviewModeController::setFactory({});
        platform::Alert::setResponder(nullptr);
    }

    // The window of the document's controller, shown at that size in preview mode.
    static LBCreateController* open(LBWindowController& controller, const QSize& size)
    {
        QWidget* window = controller.window();
        window->resize(size);
        window->show();
        QApplication::processEvents();
        return dynamic_cast<LBCreateController*>(controller.createController());
    }
};

// A text box of that text at the bounds (label coordinates), on the layer.
inline std::shared_ptr<LBTextArea> insertTextBox(LBDocument& document, const QRectF& bounds,
                                                 const platform::AttributedString& text,
                                                 qint64 type = LBTextArea::OrdinaryTextBox,
                                                 qint64 layer = 1)
{
    auto box = std::make_shared<LBTextArea>();
    box->setBoundsNoOtherChanges(bounds);
    box->setContents(text);
    box->setTextBoxType(type);
    document.undoManager()->disableUndoRegistration();
    document.insertGraphic(box, document.documentGraphics()[0][layer].size(), layer);
    document.undoManager()->enableUndoRegistration();
    return box;
}

// A press at the point of the page view (y downwards), as the page view reports it: with
// y upwards.
inline void pressInPageView(LBCreateController& preview, const QPointF& at)
{
    LBPageView* view = preview.pageView();
    platform::NotificationCenter::defaultCenter().post(
        LBPageViewMouseDown, view,
        QVariantMap{{QStringLiteral("MouseLocation"),
                     platform::stringFromPoint(QPointF(at.x(), view->height() - at.y()))}});
}
