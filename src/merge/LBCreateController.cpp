#include "merge/LBCreateController.h"

#include "document/LBDocument.h"
#include "layouts/LBPageView.h"
#include "merge/LBRenderingView.h"
#include "merge/LBTextEditorView.h"
#include "platform/ui/KXControlBar.h"
#include "platform/ui/ScrollView.h"
#include "window/LBWindowController.h"

#include <QDialog>
#include <QLabel>
#include <QTimer>

LBCreateController::LBCreateController(QObject* parent) : QObject(parent)
{
    buildViews();
}

LBCreateController::~LBCreateController() = default;

void LBCreateController::buildViews()
{
    buildControlBarSections();
}

void LBCreateController::observe()
{}

void LBCreateController::setWindowController(LBWindowController* controller)
{
    _windowController = controller;
}

void LBCreateController::showPageInView(QWidget* view, const QRectF& viewFrame)
{
    Q_UNUSED(view);
    Q_UNUSED(viewFrame);
}

QRectF LBCreateController::hidePage()
{
    return {};
}

void LBCreateController::saveState(double zoomSliderValue)
{
    _savedZoomSliderVal = zoomSliderValue;
}

void LBCreateController::restoreState()
{}

void LBCreateController::updateViewWithNewRenderingView(bool discardExisting)
{
    Q_UNUSED(discardExisting);
}

void LBCreateController::updatePageCountText(QLabel* field)
{
    Q_UNUSED(field);
}

void LBCreateController::setZoomFactor(double zoomFactor)
{
    Q_UNUSED(zoomFactor);
}

void LBCreateController::scrollerFrameChanged()
{}

void LBCreateController::refreshRenderingView()
{}

void LBCreateController::closeTextEditor()
{}

void LBCreateController::drawGraphicsInRect(const QRectF& updateRect)
{
    renderGraphicsInRect(updateRect);
}

void LBCreateController::renderGraphicsInRect(const QRectF& rect)
{
    Q_UNUSED(rect);
}

void LBCreateController::updateLabelSettings()
{}

qint64 LBCreateController::numberOfPages() const
{
    return 1;
}

QSizeF LBCreateController::paperSize() const
{
    return {};
}

QList<LBRenderingView*> LBCreateController::renderingViews() const
{
    return {};
}

QRectF LBCreateController::sheetRect(qint64 sheet) const
{
    Q_UNUSED(sheet);
    return {};
}

QSizeF LBCreateController::pageViewSizeForZoom(double zoomFactor) const
{
    Q_UNUSED(zoomFactor);
    return {};
}

void LBCreateController::zoomPopupAction(qint64 index)
{
    Q_UNUSED(index);
}

void LBCreateController::mouseDownInPageView(const platform::Notification& notification)
{
    Q_UNUSED(notification);
}

void LBCreateController::clickAtPoint(const QPointF& point)
{
    Q_UNUSED(point);
}

void LBCreateController::loadTextEditor(const platform::Notification& notification)
{
    Q_UNUSED(notification);
}

void LBCreateController::showContactListWarningBarIfNecessary(QWidget* container)
{
    Q_UNUSED(container);
}

void LBCreateController::contactListHelpAction()
{}

void LBCreateController::dismissContactListHelpPanel()
{}

void LBCreateController::mePersonChanged()
{}

void LBCreateController::controlTextDidChange(QLineEdit* field)
{
    Q_UNUSED(field);
}

void LBCreateController::textTimerFired()
{}

LBTextEditorView* LBCreateController::textEditor() const
{
    return _textEditor;
}

LBDocument* LBCreateController::document() const
{
    return _windowController ? _windowController->document() : nullptr;
}

double LBCreateController::zoomFactor() const
{
    return _windowController ? _windowController->zoomFactor() : 1.0;
}

QRectF LBCreateController::firstSheetRect() const
{
    return sheetRect(0);
}

double LBCreateController::sheetPitch() const
{
    return 0.0;
}

QVariantMap LBCreateController::layout() const
{
    return {};
}

void LBCreateController::placeEditor()
{}

void LBCreateController::queueRebuild()
{}
