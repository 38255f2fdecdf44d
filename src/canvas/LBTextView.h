#pragma once

// The in-place editor of text boxes. A text view that keeps merge fields whole: a merge
// field is a run of the text carrying LBQFieldAttributeName (its value is the field's
// option dictionary), and the user edits it only as one piece.
// - The insertion point never stands inside a field: a click inside one puts it at the
//   nearer edge, and moving across one jumps over it.
// - A selection that takes in part of a field takes in all of it.
// - Typing or deleting that touches a field replaces or removes the whole field; deleting
//   backward at a field's end, or forward at its start, removes the field.
// - Typed, pasted and composed text never becomes part of a field, also when typed right
//   after one.

#include "graphics/LBTextArea.h" // LBQFieldAttributeName, the merge-field attribute
#include "platform/ui/TextView.h"

class LBTextView : public platform::TextView
{
    Q_OBJECT
public:
    using platform::TextView::TextView;

    // The whole field that holds the character at index, or an empty range when none does.
    platform::Range fieldRangeAtIndex(qsizetype index) const;

    QVariantMap typingAttributes() const override;
    platform::Range selectionRangeForProposedRange(const platform::Range& proposedRange,
                                                   SelectionGranularity granularity) const override;
    qsizetype insertionPointForProposedIndex(qsizetype index, Direction direction) const override;
    platform::Range rangeForUserTextChange() const override;
};
