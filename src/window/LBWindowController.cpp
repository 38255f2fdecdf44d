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
