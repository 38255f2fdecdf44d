#include "canvas/LBTextView.h"

#include "platform/text/AttributedString.h"
#include "platform/text/TextStorage.h"

using platform::Range;

Range LBTextView::fieldRangeAtIndex(qsizetype index) const
{
    const platform::TextStorage* storage = textStorage();
    if (!storage || index < 0 || index >= storage->length())
        return Range();
    Range field;
    const QVariant value =
        storage->attributedString().attribute(LBQFieldAttributeName, index, &field);
    return value.isValid() ? field : Range();
}

QVariantMap LBTextView::typingAttributes() const
{
    QVariantMap attributes = TextView::typingAttributes();
    attributes.remove(LBQFieldAttributeName);
    return attributes;
}

Range LBTextView::selectionRangeForProposedRange(const Range& proposedRange,
                                                 SelectionGranularity granularity) const
{
    const Range range = TextView::selectionRangeForProposedRange(proposedRange, granularity);
    if (range.isEmpty())
        return Range(insertionPointForProposedIndex(range.location, Direction::None), 0);
    qsizetype start = range.location;
    qsizetype end = range.end();
    if (const Range first = fieldRangeAtIndex(start); !first.isEmpty())
        start = first.location;
    if (const Range last = fieldRangeAtIndex(end - 1); !last.isEmpty())
        end = last.end();
    return Range(start, end - start);
}

qsizetype LBTextView::insertionPointForProposedIndex(qsizetype index, Direction direction) const
{
    const qsizetype proposed = TextView::insertionPointForProposedIndex(index, direction);
    const Range field = fieldRangeAtIndex(proposed);
    if (field.isEmpty() || field.location == proposed)
        return proposed;
    switch (direction) {
    case Direction::Backward: return field.location;
    case Direction::Forward: return field.end();
    case Direction::None: break;
    }
    return proposed - field.location <= field.end() - proposed ? field.location : field.end();
}

Range LBTextView::rangeForUserTextChange() const
{
    return selectionRangeForProposedRange(TextView::rangeForUserTextChange(),
                                          SelectionGranularity::Character);
}
