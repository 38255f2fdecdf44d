// The canvas as drag destination. Its own selection dragged onto itself moves at every drag
// update (after the alignment guides had their say) and snaps to the first guides when
// dropped; graphics dragged from elsewhere are inserted where their image was let go;
// picture files become images centred on the drop (several cascade by 10 points); text
// becomes a new text box, or is added to the box being edited; a colour fills the graphic
// under the drop; any other picture data becomes an image in the middle of the page. While
// text or files are dragged over a text box, its in-place editor opens so the text can
// land in it. A picture dragged over a placeholder targets it, and dropped there fills it.
// A drop that inserts or changes nothing is refused.

#include "canvas/LBGraphicView.h"

#include "canvas/LBFieldRanges.h"
#include "canvas/LBTextView.h"
#include "graphics/LBTextArea.h"
#include "platform/core/NotificationCenter.h"
#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/Drag.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QTimer>

#include <cmath>

namespace {

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

bool holdsText(const LBGraphic* graphic)
{
    return graphic && (graphic->isTextBox() || graphic->isShapeWithText());
}

} // namespace

QStringList LBGraphicView::registeredDraggedTypes()
{
    QStringList types{platform::ColorPboardType, platform::FilenamesPboardType,
                      LBPrintLinePboardType,     LBPrintLine1PboardType,
                      platform::RTFDPboardType,  platform::StringPboardType};
    for (const QString& type : platform::imagePasteboardTypes()) {
        if (!types.contains(type))
            types.append(type);
    }
    return types;
}

bool LBGraphicView::isLibraryDragSource(const QObject* source)
{
    // The favourites and shapes library and the text drawer live in higher layers; they
    // are known by their class names.
    return source
           && (source->inherits("LBLibraryMatrix") || source->inherits("LBTextDrawerTableView"));
}

void LBGraphicView::observeTextViewDrags()
{
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    const auto observer = [this](const platform::Notification& n) { draggingTextFromTextView(n); };
    _textDragStartedObserver =
        center.addObserver(LBDragStartedInTextViewNotification, nullptr, observer);
    _textDragEndedObserver =
        center.addObserver(LBDragEndedInTextViewNotification, nullptr, observer);
}

void LBGraphicView::draggingTextFromTextView(const platform::Notification& notification)
{
    _draggingTextFromTextView = notification.name == LBDragStartedInTextViewNotification;
}

Qt::DropAction LBGraphicView::draggingEntered(platform::DraggingInfo& info)
{
    _fieldTextSize = QSizeF(0.0, 0.0);
    if (!info.draggingPasteboard().availableTypeFromArray({LBQFieldPboardType}).isNull()
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

bool LBGraphicView::isOwnDrag(const platform::DraggingInfo& info) const
{
    return _dragOriginatedInThisView && info.draggingSource() == this;
}

Qt::DropAction LBGraphicView::dragOperationForDraggingInfo(platform::DraggingInfo& info)
{
    const platform::Pasteboard& pasteboard = info.draggingPasteboard();
    const QPointF p = info.draggingLocation();
    // A picture dragged over a placeholder targets it: it alone is selected and marked.
    const PlaceholderHit hit = placeholderTest(pasteboard, p, &info);
    if (hit.target) {
        hit.graphic->setIsDragTarget(true);
        if (hit.graphic == _dragImageTarget)
            return Qt::CopyAction;
        resetDynamicGuides();
        if (rulersVisible())
            stopEchoingMoveToRulers();
        clearSelection();
        selectGraphic2(hit.graphic);
        _dragImageTarget = hit.graphic;
        invalidateGraphic(hit.graphic.get());
        return Qt::CopyAction;
    }
    if (_dragImageTarget) {
        deselectGraphic(_dragImageTarget);
        _dragImageTarget.reset();
    }
    const QString type = pasteboard.availableTypeFromArray(
        {platform::ColorPboardType, platform::FilenamesPboardType, platform::RTFDPboardType,
         LBPrintLinePboardType, LBPrintLine1PboardType, platform::StringPboardType,
         platform::TIFFPboardType});
    if (type.isNull()) {
        return pasteboard.availableTypeFromArray(platform::imagePasteboardTypes()).isNull()
                   ? Qt::IgnoreAction
                   : Qt::CopyAction;
    }
    if (type == platform::ColorPboardType) {
        if (graphicUnderPoint(p, false))
            return Qt::CopyAction; // generic: the colour is the destination's to use
        return pasteboard.availableTypeFromArray(platform::imagePasteboardTypes()).isNull()
                   ? Qt::IgnoreAction
                   : Qt::CopyAction;
    }
    if (type == LBPrintLinePboardType || type == LBPrintLine1PboardType)
        return isOwnDrag(info) ? Qt::MoveAction : Qt::CopyAction;

    // Text, files or a picture: over a text box its editor opens, so the drop lands in it.
    if (_draggingTextFromTextView)
        return Qt::CopyAction;
    const LBGraphicPtr g = graphicUnderPoint(p, false);
    LBGraphic* e = _editingGraphic;
    if (e && e != g.get()) {
        endEditing();
        clearSelection();
        invalidateGraphic(e);
        if (holdsText(e))
            platform::NotificationCenter::defaultCenter().post(LBStopEditingTextDuringDrag, this);
        e = nullptr;
    }
    if (!holdsText(g.get()) || g.get() == e)
        return Qt::CopyAction;
    selectGraphic(g);
    QWidget* focus = window() ? window()->focusWidget() : nullptr;
    startEditingGraphic(g, nullptr, false);
    if (focus)
        focus->setFocus();
    resetDynamicGuides();
    if (rulersVisible())
        stopEchoingMoveToRulers();
    return Qt::CopyAction;
}

LBGraphicView::PlaceholderHit
LBGraphicView::placeholderTest(const platform::Pasteboard& pasteboard, const QPointF& point,
                               const platform::DraggingInfo* whileDragging)
{
    PlaceholderHit hit;
    hit.checkForPlaceholder =
        !pasteboard.availableTypeFromArray({LBPrintLine1PboardType}).isNull()
        || (pasteboard.availableTypeFromArray({LBPrintLinePboardType}).isNull()
            && !pasteboard
                    .availableTypeFromArray(
                        {platform::TIFFPboardType, platform::FilenamesPboardType})
                    .isNull());
    hit.graphic = graphicUnderPoint(point, hit.checkForPlaceholder);
    const LBGraphic* g = hit.graphic.get();
    const bool textOnly =
        g && g->isTextBox() && g->placeholderTypeString() != QLatin1String("Text+Image");
    hit.target = g && g->isPlaceholder() && !textOnly && hit.checkForPlaceholder
                 && !(whileDragging && isOwnDrag(*whileDragging));
    return hit;
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
    platform::Pasteboard& pasteboard = info.draggingPasteboard();
    _dropPoint = info.draggingLocation();
    const QPointF L = info.draggedImageLocation();
    const QPointF k = draggedImageCorrectionForPoint(_dropPoint, L);
    const double e = _fieldTextSize.height() != 0.0 ? _fieldTextSize.height() + 2.0 : 0.0;
    const QPointF q(L.x() + k.x(), L.y() + k.y() + e);
    const bool fromLibrary = isLibraryDragSource(info.draggingSource());
    if (rulersVisible())
        stopEchoingMoveToRulers();

    // A picture dropped on a placeholder fills it.
    const PlaceholderHit hit = placeholderTest(pasteboard, _dropPoint, nullptr);
    if (hit.target) {
        const LBGraphicPtr g = hit.graphic;
        const QString path = pasteboard.filenames().value(0);
        LBGraphic::ImagePtr image;
        if (path.isEmpty()
            && pasteboard.availableTypeFromArray(
                   {platform::TIFFPboardType, platform::FilenamesPboardType})
                   == platform::TIFFPboardType)
            image = platform::Image::fromData(pasteboard.dataForType(platform::TIFFPboardType));
        _dragImageTarget.reset();
        g->setIsDragTarget(false);
        // A picture that does not read changes nothing, not even the prompt.
        if (!image && (path.isEmpty() || !platform::Image::fromFile(path)))
            return false;
        setUndoActionName(QStringLiteral("Replace Placeholder Image"));
        if (!replacePlaceholderGraphic(g, image, path, _dropPoint))
            return true; // it goes on by itself, or after the user's answer
        if (g->drawsPlaceholderText())
            g->setDrawPlaceholderText(false);
        recropFilledPlaceholder(g);
        return true;
    }

    const QString type = pasteboard.availableTypeFromArray(
        {LBPrintLinePboardType, LBPrintLine1PboardType, platform::ColorPboardType,
         platform::FilenamesPboardType, platform::RTFDPboardType, platform::StringPboardType});
    const bool textDrop = type == platform::RTFDPboardType || type == platform::StringPboardType;

    // Editing ends unless text lands in the box being edited.
    if (LBGraphic* edited = _editingGraphic; holdsText(edited)) {
        if (!(textDrop && _editorView && graphicUnderPoint(_dropPoint, false).get() == edited)) {
            endEditing();
            clearSelection();
            invalidateGraphic(edited);
            platform::NotificationCenter::defaultCenter().post(LBStopEditingTextDuringDrag, this);
            setFocus();
        }
    }

    bool changed = false;
    if (type.isNull()) {
        changed = makeNewImageFromPasteboard(pasteboard, q);
        setFocus();
        _origPoint = QPointF();
        return changed;
    }
    if (type == platform::ColorPboardType) {
        if (const LBGraphicPtr g = graphicUnderPoint(_dropPoint, false)) {
            QColor color = pasteboard.color();
            if (color.isValid()) {
                color.setAlphaF(1.0f);
                g->setFillColor(color);
                setUndoActionName(QStringLiteral("Set Fill Color"));
                changed = true;
            }
        }
    } else if (type == platform::FilenamesPboardType) {
        const QStringList paths = pasteboard.filenames();
        QStringList refused;
        for (qsizetype i = 0; i < paths.size(); ++i) {
            const QPointF at = _dropPoint + QPointF(10.0 * i, 10.0 * i);
            if (makeNewImageFromContentsOfFile(paths.at(i), at, QSizeF(0.0, 0.0)))
                changed = true;
            else
                refused << QFileInfo(paths.at(i)).fileName();
        }
        setFocus();
        // The files the design could take are placed; the user hears of the first it could
        // not, once the drop is over.
        if (!refused.isEmpty())
            QTimer::singleShot(
                0, this, [this, name = refused.first()] { alertFileIsNoPicture(name, window()); });
    } else if (textDrop) {
        changed = makeNewTextObjectFromPasteboard(pasteboard, q);
        setFocus();
    } else {
        if (isOwnDrag(info)) {
            _dragDroppedHere = true;
            snapMovedSelectionToGuides();
            changed = true;
        } else {
            changed = makeNewGraphicsFromPasteboard(pasteboard, q, fromLibrary);
        }
        setFocus();
    }
    QTimer::singleShot(50, this, &LBGraphicView::refreshSelectedGraphics);
    return changed;
}

std::optional<platform::AttributedString>
LBGraphicView::textFromPasteboard(const platform::Pasteboard& pasteboard)
{
    std::optional<platform::AttributedString> text = pasteboard.attributedString();
    if (text && !pasteboard.availableTypeFromArray({LBQFieldPboardType}).isNull())
        LBApplyFieldRangeData(pasteboard.dataForType(LBQFieldPboardType), *text);
    return text;
}

bool LBGraphicView::makeNewTextObjectFromPasteboard(platform::Pasteboard& pasteboard,
                                                    const QPointF& atPoint)
{
    std::optional<platform::AttributedString> read = textFromPasteboard(pasteboard);
    if (!read || read->isEmpty())
        return false;
    const platform::AttributedString& text = *read;

    const LBGraphicPtr under = graphicUnderPoint(_dropPoint, false);
    if (_editorView && under && under.get() == _editingGraphic && holdsText(under.get())) {
        const auto* box = dynamic_cast<const LBTextArea*>(under.get());
        if (!box || !box->contents())
            return false;
        platform::TextStorage& storage = *box->contents();
        storage.replaceCharactersInRange(platform::Range(storage.length(), 0), text);
        return true;
    }
    if (!pasteboard.availableTypeFromArray({LBPrintLinePboardType, LBPrintLine1PboardType})
             .isNull())
        return makeNewGraphicsFromPasteboard(pasteboard, atPoint, false);

    LBDocument* doc = document();
    if (!doc)
        return false;
    auto box = std::make_shared<LBTextArea>();
    box->setZoomFactor(zoomFactor());
    const QSizeF size = _fieldTextSize;
    box->setBounds(QRectF(atPoint.x(), atPoint.y() - size.height(), size.width(), size.height()));
    box->setContents(text);
    setVisiblePageOriginForGraphic(box.get());
    insertAtFrontOfSelectedLayer(box);
    const QSizeF s = box->requiredSize(1000000.0);
    box->setBounds(QRectF(atPoint.x(), atPoint.y() - size.height(), s.width() * 1.5, s.height()));
    clearSelection();
    selectGraphic(box);
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
    if (info.draggingPasteboard().availableTypeFromArray(registeredDraggedTypes()).isNull())
        return event->ignore();
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
    if (!_windowController)
        return event->ignore();
    platform::DraggingInfo info(event, convertFromWidget(event->position()), zoomFactor());
    const Qt::DropAction action = isOwnDrag(info) ? Qt::MoveAction : Qt::CopyAction;
    if (!prepareForDragOperation(info) || !performDragOperation(info)) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}
