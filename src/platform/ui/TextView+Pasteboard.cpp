// The text view's clipboard, its drags of the selection and drops of text into it.

#include "platform/ui/TextView.h"

#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/Drag.h"
#include "platform/ui/Pasteboard.h"

#include <QCursor>
#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QImage>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>

namespace platform {

QString TextView::pasteActionName()
{
    return LocalizedString(QStringLiteral("Paste"), QStringLiteral("UndoStrings"));
}

// --- Clipboard ---

bool TextView::writeSelectionToPasteboard(Pasteboard& pasteboard) const
{
    const TextStorage* storage = textStorage();
    const Range selection = selectedRange();
    if (!storage || selection.isEmpty())
        return false;
    pasteboard.declareTypes({RTFDPboardType, StringPboardType});
    pasteboard.setAttributedString(
        storage->attributedString().attributedSubstringFromRange(selection));
    return true;
}

void TextView::copy()
{
    writeSelectionToPasteboard(Pasteboard::generalPasteboard());
}

void TextView::cut()
{
    if (selectedRange().isEmpty())
        return;
    copy();
    replaceCharactersAsUser(rangeForUserTextChange(), AttributedString());
}

std::optional<AttributedString> TextView::textFromPasteboard(const Pasteboard& pasteboard) const
{
    bool rich = false;
    std::optional<AttributedString> text = pasteboard.attributedString(&rich);
    if (!text || text->isEmpty())
        return std::nullopt;
    if (!rich) // plain text takes the style typed text would have
        return AttributedString(text->string(), typingAttributes());
    return text;
}

void TextView::paste()
{
    const std::optional<AttributedString> text =
        textFromPasteboard(Pasteboard::generalPasteboard());
    if (text && replaceCharactersAsUser(rangeForUserTextChange(), *text))
        setUndoActionName(pasteActionName());
}

void TextView::pasteAndMatchStyle()
{
    const Pasteboard& pasteboard = Pasteboard::generalPasteboard();
    if (!pasteboardOffersText(pasteboard)) {
        paste();
        return;
    }
    QString string;
    if (!pasteboard.availableTypeFromArray({StringPboardType}).isNull())
        string = pasteboard.stringForType(StringPboardType);
    else if (const std::optional<AttributedString> rich = pasteboard.attributedString())
        string = rich->string();
    if (string.isEmpty())
        return;
    if (replaceCharactersAsUser(rangeForUserTextChange(),
                                AttributedString(string, typingAttributes())))
        setUndoActionName(pasteActionName());
}

bool TextView::pasteboardOffersText(const Pasteboard& pasteboard)
{
    return !pasteboard.availableTypeFromArray({StringPboardType, RTFDPboardType}).isNull();
}

bool TextView::validateMenuItem(MenuAction action) const
{
    if (action == MenuAction::PasteAndMatchStyle)
        return pasteboardOffersText(Pasteboard::generalPasteboard());
    return true;
}

bool TextView::validateMenuItem(QAction* item)
{
    const QString selector = actionSelector(item);
    if (selector == QLatin1String("cut:") || selector == QLatin1String("copy:")
        || selector == QLatin1String("delete:"))
        return !selectedRange().isEmpty();
    if (selector == QLatin1String("paste:"))
        return pasteboardOffersText(Pasteboard::generalPasteboard());
    if (selector == QLatin1String("pasteAndMatchStyle:"))
        return validateMenuItem(MenuAction::PasteAndMatchStyle);
    return true;
}

void TextView::setUndoActionName(const QString& actionName)
{
    if (!_allowsUndo)
        return;
    if (UndoManager* manager = const_cast<TextView*>(this)->undoManager())
        manager->setActionName(actionName);
}

void TextView::replaceCharactersWithoutChecks(const Range& proposed, const AttributedString& text,
                                              const QString& actionName)
{
    TextStorage* storage = textStorage();
    if (!storage)
        return;
    const Range range = proposed.clampedTo(storage->length());
    const AttributedString old = storage->attributedString().attributedSubstringFromRange(range);
    _typingRun.reset();
    ++_userEditDepth;
    storage->replaceCharactersInRange(range, text);
    --_userEditDepth;
    if (_allowsUndo) {
        if (UndoManager* manager = undoManager()) {
            registerReplacementUndo(manager, storage, Range(range.location, text.length()), old);
            manager->setActionName(actionName);
        }
    }
    applySelection(Range(range.location + text.length(), 0), false, true);
    didChangeText();
}

// --- Dragging the selection out ---

void TextView::draggedImageBeganAt(const QPointF&)
{}

void TextView::draggedImageEndedAt(const QPointF&, Qt::DropAction)
{}

void TextView::dragSelection(const QPointF& viewPoint)
{
    TextStorage* storage = textStorage();
    LayoutManager* manager = layoutManager();
    const Range selection = selectedRange();
    if (!storage || !manager || selection.isEmpty())
        return;
    Drag drag(this);
    if (!writeSelectionToPasteboard(drag.pasteboard()))
        return;
    const AttributedString dragged =
        storage->attributedString().attributedSubstringFromRange(selection);

    // The image: the selected text, half transparent, where it lies under the pointer.
    const QRectF bounds = manager
                              ->boundingRectForGlyphRange(
                                  manager->glyphRangeForCharacterRange(selection), _textContainer)
                              .translated(textContainerOrigin());
    const QSize size(std::clamp(int(std::ceil(bounds.width())), 1, 2000),
                     std::clamp(int(std::ceil(bounds.height())), 1, 2000));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setOpacity(0.5);
        dragged.drawAtPoint(QPointF(0, 0), painter);
    }
    const QPointF hot = viewPoint - bounds.topLeft();
    drag.setImage(image, QPoint(std::clamp(int(hot.x()), 0, size.width()),
                                std::clamp(int(hot.y()), 0, size.height())));

    if (_grabbed) {
        releaseMouse();
        _grabbed = false;
    }
    _dragging = false;
    _draggingOut = true;
    _movedWithinDuringDrag = false;
    const QPointer<TextView> alive(this);
    draggedImageBeganAt(viewPoint);
    const Qt::DropAction action = drag.exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    if (!alive)
        return;
    _draggingOut = false;
    // Moved to another destination: the text leaves here (unless it changed meanwhile).
    if (action == Qt::MoveAction && !_movedWithinDuringDrag && textStorage() == storage
        && selection.end() <= storage->length()
        && storage->attributedString().attributedSubstringFromRange(selection) == dragged)
        replaceCharactersAsUser(selection, AttributedString());
    if (!alive)
        return;
    draggedImageEndedAt(convertPointFromSuperview(mapToParent(mapFromGlobal(QCursor::pos()))),
                        action);
}

// --- Drops into the text ---

bool TextView::concludeDragOperation(DraggingInfo& info)
{
    TextStorage* storage = textStorage();
    const std::optional<AttributedString> text = textFromPasteboard(info.draggingPasteboard());
    if (!storage || !text)
        return false;
    const qsizetype index =
        selectionRangeForProposedRange(Range(characterIndexForPoint(info.draggingLocation()), 0),
                                       SelectionGranularity::Character)
            .location;
    const bool fromHere = info.draggingSource() == this && _draggingOut;
    const Range source = selectedRange();
    if (fromHere && !info.modifiers().testFlag(Qt::ControlModifier)) {
        // A move within the text: the covering range rearranged, as one change.
        if (index >= source.location && index <= source.end())
            return false;
        const AttributedString& all = storage->attributedString();
        AttributedString moved;
        Range covering;
        Range landed;
        if (index > source.end()) {
            covering = Range(source.location, index - source.location);
            moved = all.attributedSubstringFromRange(Range(source.end(), index - source.end()));
            moved.appendAttributedString(all.attributedSubstringFromRange(source));
            landed = Range(index - source.length, source.length);
        } else {
            covering = Range(index, source.end() - index);
            moved = all.attributedSubstringFromRange(source);
            moved.appendAttributedString(
                all.attributedSubstringFromRange(Range(index, source.location - index)));
            landed = Range(index, source.length);
        }
        if (!replaceCharactersAsUser(covering, moved))
            return false;
        _movedWithinDuringDrag = true;
        applySelection(landed, false, true);
        return true;
    }
    if (!replaceCharactersAsUser(Range(index, 0), *text))
        return false;
    applySelection(Range(index, text->length()), false, true);
    return true;
}

void TextView::dragEnterEvent(QDragEnterEvent* event)
{
    const Pasteboard pasteboard(const_cast<QMimeData*>(event->mimeData()));
    if (!textStorage() || !pasteboardOffersText(pasteboard)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    dragMoveEvent(event);
}

void TextView::dragMoveEvent(QDragMoveEvent* event)
{
    const qsizetype index =
        selectionRangeForProposedRange(
            Range(characterIndexForPoint(widgetToView().map(event->position())), 0),
            SelectionGranularity::Character)
            .location;
    if (index != _dropIndex) {
        _dropIndex = index;
        update();
    }
    event->acceptProposedAction();
}

void TextView::dragLeaveEvent(QDragLeaveEvent*)
{
    _dropIndex = -1;
    update();
}

void TextView::dropEvent(QDropEvent* event)
{
    _dropIndex = -1;
    update();
    DraggingInfo info(event, widgetToView().map(event->position()));
    const bool fromHere = info.draggingSource() == this && _draggingOut;
    const QPointer<TextView> alive(this);
    const bool done = concludeDragOperation(info);
    if (!alive)
        return;
    if (!done) {
        event->ignore(); // the source sees a failed drop
        return;
    }
    // A move within this view is finished: the source has nothing left to delete.
    if (fromHere && _movedWithinDuringDrag) {
        event->setDropAction(Qt::MoveAction);
        event->accept();
        return;
    }
    event->acceptProposedAction();
    makeFirstResponder();
}

} // namespace platform
