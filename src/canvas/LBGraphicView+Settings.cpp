// The canvas's grid, snap, trim and postal-guideline settings, nudging the selection with
// the momentary hiding of its handles, and the space bar that scrolls by hand.

#include "canvas/LBGraphicView.h"

#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "platform/core/UserDefaults.h"
#include "shapes/LBCurvedLine.h"

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

void LBGraphicView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        _spaceKeyIsDown = true;
        setCursor(Qt::OpenHandCursor);
        return;
    }
    QWidget::keyPressEvent(event);
}

void LBGraphicView::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        _spaceKeyIsDown = false;
        unsetCursor();
        return;
    }
    QWidget::keyReleaseEvent(event);
}
