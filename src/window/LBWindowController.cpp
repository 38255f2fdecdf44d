#include "window/LBWindowController.h"

#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "platform/drawing/GraphicsContext.h"

LBWindowController::LBWindowController(QObject* parent) : DocumentWindowController(parent)
{}

LBWindowController::~LBWindowController() = default;

void LBWindowController::invalidateGraphic(LBGraphic* graphic)
{
    if (_mode != DesignMode || !_selectedGraphicView)
        return;
    const platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (context && !context->isDrawingToScreen())
        return;
    _selectedGraphicView->invalidateGraphic(graphic);
}

void LBWindowController::setupForDocument()
{}

void LBWindowController::refreshWindow()
{}

void LBWindowController::setBezierMode(bool bezierMode)
{
    _bezierMode = bezierMode;
    if (!bezierMode && _selectedGraphicView)
        _selectedGraphicView->setEditingBezierGraphic(nullptr);
}

void LBWindowController::switchToDesignMode(QObject* sender)
{
    Q_UNUSED(sender);
    if (_mode != DesignMode)
        _mode = DesignMode;
}

LBDocument* LBWindowController::document() const
{
    return qobject_cast<LBDocument*>(DocumentWindowController::document());
}

bool LBWindowController::isEnvelope() const
{
    const LBDocument* doc = document();
    return doc && doc->isEnvelope();
}

void LBWindowController::backgroundImageSheetAction(QObject* sender)
{
    Q_UNUSED(sender);
}

void LBWindowController::customizeCounterField(const QVariantMap& rolloverEntry,
                                               LBTextArea* inTextObject)
{
    Q_UNUSED(rolloverEntry);
    Q_UNUSED(inTextObject);
}

void LBWindowController::drawBackgroundColorForPage(qint64 page, const QRectF& inRect,
                                                    bool usePrintSettings)
{
    Q_UNUSED(page);
    Q_UNUSED(inRect);
    Q_UNUSED(usePrintSettings);
}

void LBWindowController::drawUnderlay(const QRectF& rect, const QRectF& viewBounds,
                                      bool usePrintSettings)
{
    Q_UNUSED(rect);
    Q_UNUSED(viewBounds);
    Q_UNUSED(usePrintSettings);
}

void LBWindowController::drawBackgroundImageForPage(qint64 page, const QRectF& inRect,
                                                    const QRectF& viewBounds)
{
    Q_UNUSED(page);
    Q_UNUSED(inRect);
    Q_UNUSED(viewBounds);
}

void LBWindowController::drawOverlay(const QRectF& rect, const QRectF& viewBounds, bool printing)
{
    Q_UNUSED(rect);
    Q_UNUSED(viewBounds);
    Q_UNUSED(printing);
}
