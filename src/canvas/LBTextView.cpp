#include "canvas/LBTextView.h"

#include "canvas/LBFieldRanges.h"

#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/Drag.h"
#include "platform/ui/Pasteboard.h"

#include <QKeyEvent>

using platform::AttributedString;
using platform::Range;

namespace {

// The rich text of a pasteboard with the fields of its field list, and only those.
std::optional<AttributedString> textWithFields(const platform::Pasteboard& pasteboard,
                                               std::optional<AttributedString> text)
{
    if (!text)
        return std::nullopt;
    text->removeAttribute(LBQFieldAttributeName, Range(0, text->length()));
    LBApplyFieldRangeData(pasteboard.dataForType(LBQFieldPboardType), *text);
    return text;
}

} // namespace

LBTextView::LBTextView(const QRectF& frame, platform::TextContainer* container, QWidget* parent)
    : TextView(frame, container, parent)
{
    initCommon();
}

LBTextView::LBTextView(const QRectF& frame, std::unique_ptr<platform::LayoutManager> layoutManager,
                       QWidget* parent)
    : TextView(frame, std::move(layoutManager), parent)
{
    initCommon();
}

LBTextView::LBTextView(const QRectF& frame, QWidget* parent) : TextView(frame, parent)
{
    initCommon();
}

void LBTextView::initCommon()
{
    _selectionObserver = platform::NotificationCenter::defaultCenter().addObserver(
        platform::TextViewDidChangeSelectionNotification, this,
        [this](const platform::Notification& notification) { updateSelection(notification); });
}

// --- Fields ---

Range LBTextView::fieldRangeAtIndex(qsizetype index) const
{
    const platform::TextStorage* storage = textStorage();
    if (!storage || index < 0 || index >= storage->length())
        return Range();
    Range field;
    const QVariant value = storage->attributedString().attribute(
        LBQFieldAttributeName, index, &field, Range(0, storage->length()));
    return value.isValid() ? field : Range();
}

QList<Range> LBTextView::fieldsOverlappingRange(const Range& range) const
{
    const platform::TextStorage* storage = textStorage();
    return storage ? LBTextArea::fieldsOverlappingRange(storage->attributedString(), range)
                   : QList<Range>();
}

Range LBTextView::adjustRangeToFieldBoundaries(const Range& newRange, const Range& oldRange) const
{
    const QList<Range> fields = fieldsOverlappingRange(newRange);
    if (fields.isEmpty())
        return newRange;
    const Range& first = fields.first();
    const Range& last = fields.last();
    const qsizetype end = newRange.end();
    const qsizetype oldEnd = oldRange.end();
    if (_doingDrop)
        return Range(first.location, 0);
    if (newRange.isEmpty() && fields.size() == 1)
        return first; // a caret inside a field selects it

    Range result;
    if (_keyWasPressed) {
        if (oldEnd == end && oldRange.location < newRange.location
            && first.location < newRange.location) {
            // The start moved right into a field: past it.
            result = Range(first.end(), std::max(qsizetype(0), oldEnd - first.end()));
        } else if (fields.size() == 1 && oldRange.location == newRange.location && end < oldEnd
                   && end < first.end()) {
            // The end moved left into a field: just before it.
            result = Range(oldRange.location, first.location - oldRange.location);
        } else {
            result = Range::unionRange(newRange, first);
        }
    } else {
        result = Range::unionRange(newRange, first);
    }
    if (fields.size() >= 2) {
        if (_keyWasPressed && oldRange.location == newRange.location && end < oldEnd
            && result.end() < last.end())
            result.length = last.location - result.location;
        else
            result = Range::unionRange(result, last);
    }
    return result;
}

QByteArray LBTextView::fieldRangeDataForPasteboard() const
{
    const platform::TextStorage* storage = textStorage();
    return storage ? LBFieldRangeData(storage->attributedString(), selectedRange()) : QByteArray();
}

// --- Selection ---

Range LBTextView::selectionRangeForProposedRange(const Range& proposedRange,
                                                 SelectionGranularity granularity) const
{
    const Range range = TextView::selectionRangeForProposedRange(proposedRange, granularity);
    if (!_checkSelection)
        return range;
    return adjustRangeToFieldBoundaries(range, selectedRange());
}

void LBTextView::selectUnchecked(const Range& range)
{
    _checkSelection = false;
    setSelectedRange(range);
    _checkSelection = true;
}

void LBTextView::updateSelection(const platform::Notification& notification)
{
    // A drop sets the selection itself once the text is in.
    if (_checkSelection && !_doingDrop) {
        const Range old = platform::rangeFromString(
            notification.userInfo.value(platform::TextViewOldSelectedRangeKey).toString());
        const Range selection = selectedRange();
        const Range adjusted = adjustRangeToFieldBoundaries(selection, old);
        if (adjusted != selection)
            selectUnchecked(adjusted);
    }
    // Typing next to a field never extends it (typingAttributes() leaves it out too).
    QVariantMap attributes = TextView::typingAttributes();
    if (attributes.contains(LBQFieldAttributeName)) {
        attributes.remove(LBQFieldAttributeName);
        setTypingAttributes(attributes);
    }
}

QVariantMap LBTextView::typingAttributes() const
{
    QVariantMap attributes = TextView::typingAttributes();
    attributes.remove(LBQFieldAttributeName);
    return attributes;
}

void LBTextView::keyPressEvent(QKeyEvent* event)
{
    _keyWasPressed = true;
    TextView::keyPressEvent(event);
    _keyWasPressed = false;
}

// --- Editing ---

Range LBTextView::rangeForUserTextChange() const
{
    Range range = TextView::rangeForUserTextChange();
    for (const Range& field : fieldsOverlappingRange(range)) {
        if (!range.isEmpty())
            range = Range::unionRange(range, field);
    }
    return range;
}

bool LBTextView::shouldChangeTextInRange(const Range& range, const QString& replacementString)
{
    if (!TextView::shouldChangeTextInRange(range, replacementString))
        return false;
    if (range.length == 1) {
        // One character of a field: the first delete selects the field.
        const QList<Range> fields = fieldsOverlappingRange(range);
        if (!fields.isEmpty() && fields.first().length >= 2) {
            selectUnchecked(fields.first());
            return false;
        }
    }
    return true;
}

// --- Clipboard and drags ---

bool LBTextView::writeSelectionToPasteboard(platform::Pasteboard& pasteboard) const
{
    const QByteArray fields = fieldRangeDataForPasteboard();
    if (fields.isNull())
        return TextView::writeSelectionToPasteboard(pasteboard);
    pasteboard.declareTypes({LBQFieldPboardType, platform::RTFDPboardType});
    pasteboard.setAttributedString(
        textStorage()->attributedString().attributedSubstringFromRange(selectedRange()));
    pasteboard.setData(fields, LBQFieldPboardType);
    return true;
}

void LBTextView::paste()
{
    const platform::Pasteboard& pasteboard = platform::Pasteboard::generalPasteboard();
    if (pasteboard.availableTypeFromArray({LBQFieldPboardType}).isNull()) {
        TextView::paste();
        return;
    }
    // Field text needs its rich text; without it nothing is pasted.
    if (pasteboard.availableTypeFromArray({platform::RTFDPboardType}).isNull())
        return;
    bool rich = false;
    std::optional<AttributedString> text = pasteboard.attributedString(&rich);
    if (!rich)
        return;
    text = textWithFields(pasteboard, std::move(text));
    // Straight into the storage, so the view's own field rules cannot cut the new fields.
    replaceCharactersWithoutChecks(selectedRange(), *text, pasteActionName());
}

void LBTextView::draggedImageBeganAt(const QPointF&)
{
    platform::NotificationCenter::defaultCenter().post(LBDragStartedInTextViewNotification, this);
}

void LBTextView::draggedImageEndedAt(const QPointF&, Qt::DropAction)
{
    platform::NotificationCenter::defaultCenter().post(LBDragEndedInTextViewNotification, this);
}

bool LBTextView::concludeDragOperation(platform::DraggingInfo& info)
{
    platform::Pasteboard& pasteboard = info.draggingPasteboard();
    const bool carriesFields =
        !pasteboard.availableTypeFromArray({LBQFieldPboardType}).isNull()
        && !pasteboard
                .availableTypeFromArray({platform::RTFDPboardType, platform::StringPboardType})
                .isNull();
    _doingDrop = true;
    if (!carriesFields) {
        const bool done = TextView::concludeDragOperation(info);
        _doingDrop = false;
        return done;
    }
    const std::optional<AttributedString> text =
        textWithFields(pasteboard, textFromPasteboard(pasteboard));
    const bool done = text && TextView::concludeDragOperation(info);
    _doingDrop = false;
    if (!done)
        return false;
    // The inherited drop inserted the characters; put the fields on them.
    Range dropped = selectedRange();
    if (dropped.isEmpty())
        dropped = Range(std::max(qsizetype(0), dropped.location - text->length()), text->length());
    platform::TextStorage* storage = textStorage();
    dropped = dropped.clampedTo(storage->length());
    storage->replaceCharactersInRange(dropped, *text);
    selectUnchecked(Range(dropped.location, text->length()));
    return true;
}
