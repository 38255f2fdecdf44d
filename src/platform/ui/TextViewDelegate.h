#pragma once

// What the owner of a text view's text answers and learns while the view edits it. Every
// operation has a default, so a delegate implements only what it needs.

#include "platform/core/Range.h"

#include <QString>

namespace platform {

class TextView;
class UndoManager;

class TextViewDelegate
{
public:
    virtual ~TextViewDelegate() = default;
    // The selection the view takes instead of newRange (default: newRange).
    virtual Range textViewWillChangeSelectionFromCharacterRangeToCharacterRange(
        TextView* textView, const Range& oldRange, const Range& newRange);
    // Whether the user may replace range with replacementString (default: yes).
    virtual bool textViewShouldChangeTextInRangeReplacementString(TextView* textView,
                                                                  const Range& range,
                                                                  const QString& replacementString);
    virtual void textViewDidChangeSelection(TextView* textView);
    // Before the first change the user makes after the view became first responder.
    virtual void textDidBeginEditing(TextView* textView);
    // After each change the user made (typing, deleting, pasting, undo of those).
    virtual void textDidChange(TextView* textView);
    // When the view stops being first responder after the user changed the text.
    virtual void textDidEndEditing(TextView* textView);
    // Where the view records the inverse of the user's changes (default: nowhere).
    virtual UndoManager* undoManagerForTextView(TextView* textView);
};

} // namespace platform
