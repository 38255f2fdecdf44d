// What every pane action shares: changing the selected graphics as one named step,
// reloading the pane once, committing typed values while the user types.

#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPointer>
#include <QTimer>

namespace {

std::function<void()> helpHandler;

} // namespace

// Makes one undo group of a press, drag and release on a control (a slider, a dial, a
// stepper), on the undo manager the press began on.
class DragUndoGroup : public QObject
{
public:
    DragUndoGroup(HUDWindowController* controller, QObject* control)
        : QObject(control), _controller(controller)
    {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress && !_manager) {
            _manager = _controller->undoManager();
            if (_manager)
                _manager->beginUndoGrouping();
        } else if (event->type() == QEvent::MouseButtonRelease && _manager) {
            // After the control handled the release (its last change lands in the group).
            watched->removeEventFilter(this);
            QCoreApplication::sendEvent(watched, event);
            watched->installEventFilter(this);
            if (_manager)
                _manager->endUndoGrouping();
            _manager = nullptr;
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    HUDWindowController* _controller;
    QPointer<platform::UndoManager> _manager;
};

platform::UndoManager* HUDWindowController::undoManager() const
{
    LBGraphicView* canvas = graphicView();
    return canvas && canvas->document() ? canvas->document()->undoManager() : nullptr;
}

void HUDWindowController::beginPaneAction()
{
    _ignoreUpdates = _selectedGraphics.size() > 1;
}

void HUDWindowController::endInPlaceEditing()
{
    LBGraphicView* canvas = graphicView();
    if (!canvas || !canvas->editingGraphic())
        return;
    for (const LBGraphicPtr& graphic : _selectedGraphics)
        if ((graphic->isTextBox() || graphic->isShapeWithText())
            && canvas->editingGraphic() == graphic.get()) {
            canvas->endEditing();
            return;
        }
}

void HUDWindowController::nameUndoStep(const QString& undoKey)
{
    if (platform::UndoManager* manager = undoManager())
        manager->setActionName(platform::LocalizedString(undoKey, QStringLiteral("UndoStrings")));
}

void HUDWindowController::applyToSelection(const std::function<void(LBGraphic&)>& change,
                                           const QString& undoKey)
{
    // A copy: a refresh during the changes replaces the selection list.
    const QList<LBGraphicPtr> graphics = _selectedGraphics;
    beginPaneAction();
    endInPlaceEditing();
    for (qsizetype i = 0; i < graphics.size(); ++i) {
        if (i == graphics.size() - 1)
            willChangeLastGraphic();
        change(*graphics.at(i));
    }
    _ignoreUpdates = false;
    nameUndoStep(undoKey);
}

void HUDWindowController::watchTextField(QLineEdit* field, const std::function<void()>& commit)
{
    // One edit waits for the timer at a time: a value typed in one field is applied when
    // the user leaves the field (Tab, a click elsewhere) or starts typing in another, so
    // that values typed quickly one after the other all arrive.
    connect(field, &QLineEdit::textEdited, this, [this, field, commit] {
        if (_pendingTextField != field)
            flushPendingTextCommit();
        _textFieldTimer->stop();
        _pendingTextCommit = commit;
        _pendingTextField = field;
        _textFieldTimer->start();
    });
    // Leaving the field ends its edit as Return does (the field then shows the value taken).
    const auto commitNow = [this, commit] {
        _textFieldTimer->stop();
        _pendingTextCommit = nullptr;
        _pendingTextField = nullptr;
        commit();
    };
    connect(field, &QLineEdit::editingFinished, this, [this, field, commitNow] {
        if (_pendingTextField == field)
            commitNow();
    });
    connect(field, &QLineEdit::returnPressed, this, commitNow);
}

void HUDWindowController::flushPendingTextCommit()
{
    if (!_textFieldTimer->isActive())
        return;
    _textFieldTimer->stop();
    textTimerFired();
}

void HUDWindowController::textTimerFired()
{
    const std::function<void()> commit = std::move(_pendingTextCommit);
    _pendingTextCommit = nullptr;
    _pendingTextField = nullptr;
    if (!commit)
        return;
    _textChangeInvokedByTimer = true;
    commit();
    _textChangeInvokedByTimer = false;
}

void HUDWindowController::groupDragOfControl(QWidget* control)
{
    control->installEventFilter(new DragUndoGroup(this, control));
}

void HUDWindowController::setWindowHeightForPane(int paneHeight, bool animate)
{
    if (!_currTools)
        return;
    _currTools->resize(_currTools->width(), paneHeight);
    const QRectF frame = windowFrame();
    QRectF newFrame(frame.x(), frame.y(), _currTools->width(), paneHeight + 20);
    if (_inspectorMode != Standalone)
        newFrame = constrainedWindowRect(newFrame);
    setWindowFrame(newFrame, animate);
}

QString HUDWindowController::stripTrailingZerosFromString(const QString& string)
{
    // Only a fraction loses its zeros ("100" stays a hundred).
    if (!string.contains(QLatin1Char('.')))
        return string;
    qsizetype end = string.size();
    while (end > 0 && string.at(end - 1) == QLatin1Char('0'))
        --end;
    if (end == 0)
        return string; // zeros only
    if (string.at(end - 1) == QLatin1Char('.'))
        --end;
    return string.left(end);
}

void HUDWindowController::setHelpHandler(const std::function<void()>& handler)
{
    helpHandler = handler;
}

void HUDWindowController::showHelp()
{
    if (helpHandler)
        helpHandler();
}

HUDWindowController::Pane
HUDWindowController::paneRow(int tag, const std::function<QWidget*(HUDWindowController&)>& factory,
                             void (HUDWindowController::*update)(),
                             void (HUDWindowController::*action)(QObject*))
{
    Pane pane;
    pane.tag = tag;
    pane.factory = factory;
    pane.update = [update](HUDWindowController& c) { (c.*update)(); };
    pane.action = [action](HUDWindowController& c, QObject* sender) { (c.*action)(sender); };
    return pane;
}
