// The canvas as drag destination, for graphics: its own selection dragged onto itself moves
// at every drag update (after the alignment guides had their say) and snaps to the first
// guides when dropped; graphics dragged from elsewhere are inserted where their image was
// let go.

#include "canvas/LBGraphicView.h"

#include "platform/ui/Drag.h"

#include <QDropEvent>
#include <QTimer>

#include <cmath>

namespace {

const QString kPrintLine = QStringLiteral("Quarn Print Line");
const QString kPrintLine1 = QStringLiteral("Quarn Print Line 1");

// Within this many points of a guide a dropped selection's edge or middle lands on it.
constexpr double kDropSnapDistance = 4.0;

// The moved rectangle's new position along one axis, by the first guide: the start edge,
// the middle or the end edge, whichever is closest and close enough; unchanged otherwise.
double snappedToGuide(double start, double length, double guide)
{
    const double dStart = std::abs(start - guide);
    const double dMiddle = std::abs(start + length / 2.0 - guide);
    const double dEnd = std::abs(start + length - guide);
    if (dStart <= kDropSnapDistance && dStart < dMiddle && dStart < dEnd)
        return guide;
    if (dMiddle <= kDropSnapDistance && dMiddle < dStart && dMiddle < dEnd)
        return guide - length / 2.0;
    if (dEnd <= kDropSnapDistance)
        return guide - length;
    return start;
}

} // namespace

Qt::DropAction LBGraphicView::draggingEntered(platform::DraggingInfo& info)
{
    _fieldTextSize = QSizeF(0.0, 0.0);
    if (!info.draggingPasteboard()
             .availableTypeFromArray({QStringLiteral("LBQFieldPboardType")})
             .isNull()
        && !info.draggedImageSize().isEmpty())
        _fieldTextSize = QSizeF(info.draggedImageSize());
    return dragOperationForDraggingInfo(info);
}

Qt::DropAction LBGraphicView::draggingUpdated(platform::DraggingInfo& info)
{
    if (!_editorView && _dragOriginatedInThisView) {
        const QPointF p = info.draggingLocation();
        const QPointF guided = checkDynamicGuidesAtPoint(
            p, _selOriginOffset, QSizeF(info.draggedImageSize().expandedTo(QSize(0, 0))), 4.0,
            selectedGraphics(true));
        performMoveLoop(guided, info.modifiers());
    }
    return dragOperationForDraggingInfo(info);
}

void LBGraphicView::draggingExited(platform::DraggingInfo* info)
{
    Q_UNUSED(info);
    if (_dragImageTarget) {
        deselectGraphic(_dragImageTarget);
        _dragImageTarget.reset();
    }
    resetDynamicGuides();
    if (rulersVisible())
        stopEchoingMoveToRulers();
}

bool LBGraphicView::prepareForDragOperation(platform::DraggingInfo& info)
{
    Q_UNUSED(info);
    return true;
}

Qt::DropAction LBGraphicView::dragOperationForDraggingInfo(platform::DraggingInfo& info)
{
    const QString type =
        info.draggingPasteboard().availableTypeFromArray({kPrintLine, kPrintLine1});
    if (type.isNull())
        return Qt::IgnoreAction;
    return _dragOriginatedInThisView ? Qt::MoveAction : Qt::CopyAction;
}

QPointF LBGraphicView::draggedImageCorrectionForPoint(const QPointF& point,
                                                      const QPointF& draggedImageLocation) const
{
    if (_fieldTextSize.isNull())
        return {};
    return {point.x() - _fieldTextSize.width() / 2.0 - 4.0 - draggedImageLocation.x(),
            point.y() - _fieldTextSize.height() / 2.0 - 1.0 - draggedImageLocation.y()};
}

bool LBGraphicView::performDragOperation(platform::DraggingInfo& info)
{
    _dropPoint = info.draggingLocation();
    const QPointF L = info.draggedImageLocation();
    const QPointF k = draggedImageCorrectionForPoint(_dropPoint, L);
    const double e = _fieldTextSize.height() != 0.0 ? _fieldTextSize.height() + 2.0 : 0.0;
    const QPointF q(L.x() + k.x(), L.y() + k.y() + e);
    if (rulersVisible())
        stopEchoingMoveToRulers();

    const QString type =
        info.draggingPasteboard().availableTypeFromArray({kPrintLine, kPrintLine1});
    if (type.isNull())
        return false;
    if (_dragOriginatedInThisView && info.draggingSource() == this)
        snapMovedSelectionToGuides();
    else
        makeNewGraphicsFromPasteboard(info.draggingPasteboard(), q, false);
    setFocus();
    QTimer::singleShot(50, this, &LBGraphicView::refreshSelectedGraphics);
    return true;
}

void LBGraphicView::snapMovedSelectionToGuides()
{
    if (_horizontalDynamicGuides.isEmpty() && _verticalDynamicGuides.isEmpty())
        return;
    const QRectF r = document() ? LBDocument::boundsForGraphics(selectedGraphics(false)) : QRectF();
    QPointF moved = r.topLeft();
    if (!_horizontalDynamicGuides.isEmpty())
        moved.setY(snappedToGuide(r.y(), r.height(), _horizontalDynamicGuides.first().y()));
    if (!_verticalDynamicGuides.isEmpty())
        moved.setX(snappedToGuide(r.x(), r.width(), _verticalDynamicGuides.first().x()));
    const QPointF delta = moved - r.topLeft();
    if (!delta.isNull())
        moveSelectedGraphicsByPoint(delta);
    resetDynamicGuides();
}

// ==== Qt's drag events ====================================================================

void LBGraphicView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!_windowController)
        return event->ignore();
    platform::DraggingInfo info(event, convertFromWidget(event->position()), zoomFactor());
    answerDrag(event, draggingEntered(info));
}

void LBGraphicView::dragMoveEvent(QDragMoveEvent* event)
{
    platform::DraggingInfo info(event, convertFromWidget(event->position()), zoomFactor());
    answerDrag(event, draggingUpdated(info));
}

void LBGraphicView::answerDrag(QDragMoveEvent* event, Qt::DropAction action)
{
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void LBGraphicView::dragLeaveEvent(QDragLeaveEvent* event)
{
    Q_UNUSED(event);
    draggingExited(nullptr);
}

void LBGraphicView::dropEvent(QDropEvent* event)
{
    platform::DraggingInfo info(event, convertFromWidget(event->position()), zoomFactor());
    const Qt::DropAction action = dragOperationForDraggingInfo(info);
    if (!prepareForDragOperation(info) || !performDragOperation(info)) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}
