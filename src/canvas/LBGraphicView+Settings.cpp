// The canvas's grid, snap, trim and postal-guideline settings, nudging the selection with
// the momentary hiding of its handles, and the space bar that scrolls by hand.

#include "canvas/LBGraphicView.h"

#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "platform/core/UserDefaults.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBImage.h"

#include <QCursor>
#include <QKeyEvent>
#include <QTimer>

#include <cmath>

void LBGraphicView::setSnapsToGrid(bool snaps)
{
    _gvFlags.snapsToGrid = snaps;
}

qint64 LBGraphicView::showsGrid() const
{
    if (_gvFlags.showsGridAbove)
        return 1;
    return _gvFlags.showsGridBelow ? 2 : 0;
}

void LBGraphicView::setShowsGrid(qint64 mode)
{
    _gvFlags.showsGridAbove = mode == 1;
    _gvFlags.showsGridBelow = mode == 2;
    update();
}

double LBGraphicView::gridSpacing() const
{
    if (const LBDocument* doc = document())
        return doc->gridSpacing();
    return platform::UserDefaults::standardUserDefaults().floatForKey(
        QStringLiteral("Grid Spacing"));
}

qint64 LBGraphicView::guideSpacing() const
{
    if (const LBDocument* doc = document())
        return doc->guideSpacing();
    return platform::UserDefaults::standardUserDefaults().integerForKey(
        QStringLiteral("Grid Guide Spacing"));
}

QColor LBGraphicView::gridColor() const
{
    return _gridColor.isValid() ? _gridColor : QColor::fromRgbF(0.8f, 0.8f, 0.8f, 1.0f);
}

void LBGraphicView::setGridColor(const QColor& color)
{
    if (color == _gridColor)
        return;
    _gridColor = color;
    update();
}

void LBGraphicView::trimToPageAction(QObject* sender)
{
    Q_UNUSED(sender);
    toggleSetting(_trimToPage, QStringLiteral("Trim To Page"));
}

void LBGraphicView::postalGuidelinesAction(QObject* sender)
{
    Q_UNUSED(sender);
    toggleSetting(_drawPostalGuidelines, QStringLiteral("DrawPostalGuidelines"));
}

void LBGraphicView::toggleSetting(bool& setting, const QString& key)
{
    setting = !setting;
    platform::UserDefaults::standardUserDefaults().setBool(setting, key);
    update();
}

// ==== Nudging =============================================================================

void LBGraphicView::moveSelectedGraphicsByPoint(const QPointF& delta)
{
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (selection.isEmpty())
        return;
    hideKnobsMomentarily();
    for (const LBGraphicPtr& graphic : selection) {
        auto* curve = dynamic_cast<LBCurvedLine*>(graphic.get());
        if (curve && !curve->selectedControlPoints().isEmpty()) {
            const QList<qsizetype> points = curve->selectedControlPoints();
            for (qsizetype i = points.size() - 1; i >= 0; --i)
                curve->moveControlPointAtIndex(points.at(i), delta.x(), delta.y());
        } else {
            graphic->moveBy(delta);
        }
    }

    // Snap to the guides only by less than a point either way: a nudge stays a nudge. The
    // search takes the size on screen.
    const QRectF bounds = document() ? LBDocument::boundsForGraphics(selection) : QRectF();
    const QPointF snapped = checkDynamicGuidesAtPoint(
        bounds.topLeft(), QPointF(), bounds.size() * zoomFactor(), 0.99, selection);
    QPointF correction = snapped - bounds.topLeft();
    if (std::abs(correction.x()) >= 1.0)
        correction.setX(0.0);
    if (std::abs(correction.y()) >= 1.0)
        correction.setY(0.0);
    if (!correction.isNull()) {
        for (const LBGraphicPtr& graphic : selection)
            graphic->moveBy(correction);
    }

    if (platform::UserDefaults::standardUserDefaults().boolForKey(
            QStringLiteral("Draw Dynamic Guides")))
        _hideDynamicGuidesTimer->start();
    setUndoActionName(QStringLiteral("Nudge"));
}

void LBGraphicView::hideKnobsMomentarily()
{
    _unhideKnobsTimer->start();
    _gvFlags.knobsHidden = true;
    invalidateGraphics(selectedGraphics(false));
    orderOutInspectorWindow();
}

void LBGraphicView::unhideKnobs()
{
    _gvFlags.knobsHidden = false;
    invalidateGraphics(selectedGraphics(false));
    _unhideKnobsTimer->stop();
    updateInspectorFromCanvas();
}

void LBGraphicView::refreshSelectedGraphics()
{
    for (const LBGraphicPtr& graphic : selectedGraphics(false)) {
        graphic->refreshGraphic(true);
        graphic->didChange();
    }
}

// ==== Keys ================================================================================

namespace {

// A key that types: a letter or digit, punctuation or a symbol.
bool isTypingKey(const QKeyEvent* event)
{
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    const QChar c = text.at(0);
    return c.isLetterOrNumber() || c.isPunct() || c.isSymbol();
}

} // namespace

void LBGraphicView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Control) {
        flagsChanged(event->modifiers() | Qt::ControlModifier);
        return;
    }
    keyDown(event);
}

void LBGraphicView::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Control) {
        flagsChanged(event->modifiers() & ~Qt::ControlModifier);
        return;
    }
    keyUp(event);
}

void LBGraphicView::keyDown(QKeyEvent* event)
{
    const QList<LBGraphicPtr> selection = selectedGraphics(true);
    _typingKeyDown = selection.size() == 1 && selection.first()->isTextBox() && !_editingGraphic
                     && isTypingKey(event);
    if (_typingKeyDown)
        return; // the key up starts the editing
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) {
            _spaceKeyIsDown = true;
            invalidateCursorRects();
            setCursor(Qt::OpenHandCursor);
        }
        return;
    }
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    switch (event->key()) {
    case Qt::Key_Left: return shift ? moveLeftAndModifySelection(this) : moveLeft(this);
    case Qt::Key_Right: return shift ? moveRightAndModifySelection(this) : moveRight(this);
    case Qt::Key_Up: return shift ? moveUpAndModifySelection(this) : moveUp(this);
    case Qt::Key_Down: return shift ? moveDownAndModifySelection(this) : moveDown(this);
    case Qt::Key_Backspace: return deleteBackward(this);
    case Qt::Key_Delete: return deleteForward(this);
    case Qt::Key_Escape: return cancelOperation(this);
    case Qt::Key_Return:
    case Qt::Key_Enter: return insertNewline(this);
    default: QWidget::keyPressEvent(event);
    }
}

void LBGraphicView::keyUp(QKeyEvent* event)
{
    const QList<LBGraphicPtr> selection = selectedGraphics(true);
    // Only the release of a key this canvas took as typing: the release of a key pressed
    // while a box was being edited (a menu's key that ended the editing) starts nothing.
    if (_typingKeyDown && selection.size() == 1 && selection.first()->isTextBox()
        && !_editingGraphic && isTypingKey(event)) {
        _typingKeyDown = false;
        startEditingGraphic(selection.first(), nullptr, true);
        invalidateCursorRects();
        return;
    }
    if (event->key() == Qt::Key_Space) {
        if (!event->isAutoRepeat()) {
            _spaceKeyIsDown = false;
            invalidateCursorRects();
            updateCursorFromZones(convertFromWidget(mapFromGlobal(QCursor::pos())));
        }
        return;
    }
    QWidget::keyReleaseEvent(event);
}

namespace {

double shiftStep(double gridSpacing)
{
    return gridSpacing <= 1.0 ? 10.0 : gridSpacing;
}

} // namespace

void LBGraphicView::moveLeft(QObject*)
{
    moveSelectedGraphicsByPoint(QPointF(-1.0, 0.0));
}

void LBGraphicView::moveRight(QObject*)
{
    moveSelectedGraphicsByPoint(QPointF(1.0, 0.0));
}

void LBGraphicView::moveUp(QObject*)
{
    moveSelectedGraphicsByPoint(QPointF(0.0, -1.0));
}

void LBGraphicView::moveDown(QObject*)
{
    moveSelectedGraphicsByPoint(QPointF(0.0, 1.0));
}

void LBGraphicView::moveLeftAndModifySelection(QObject*)
{
    moveSelectedGraphicsByPoint(QPointF(-shiftStep(gridSpacing()), 0.0));
}

void LBGraphicView::moveRightAndModifySelection(QObject*)
{
    moveSelectedGraphicsByPoint(QPointF(shiftStep(gridSpacing()), 0.0));
}

void LBGraphicView::moveUpAndModifySelection(QObject*)
{
    moveSelectedGraphicsByPoint(QPointF(0.0, -shiftStep(gridSpacing())));
}

void LBGraphicView::moveDownAndModifySelection(QObject*)
{
    moveSelectedGraphicsByPoint(QPointF(0.0, shiftStep(gridSpacing())));
}

void LBGraphicView::deleteForward(QObject* sender)
{
    delete_(sender);
}

void LBGraphicView::deleteBackward(QObject* sender)
{
    delete_(sender);
}

void LBGraphicView::cancelOperation(QObject*)
{
    // A re-crop is taken back whole by cancelCrop().
    if (_imageGraphicForCrop)
        cancelCrop();
    if (_windowController && _windowController->bezierMode()) {
        // A curve of fewer than two points goes without a redo step.
        finishBezierCurve();
        invalidateCursorRects();
    }
}

void LBGraphicView::insertNewline(QObject*)
{
    if (_imageGraphicForCrop)
        finishCroppingImage();
}
