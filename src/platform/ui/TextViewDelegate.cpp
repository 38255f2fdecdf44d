#include "platform/ui/TextViewDelegate.h"

namespace platform {

Range TextViewDelegate::textViewWillChangeSelectionFromCharacterRangeToCharacterRange(
    TextView*, const Range&, const Range& newRange)
{
    return newRange;
}

bool TextViewDelegate::textViewShouldChangeTextInRangeReplacementString(TextView*, const Range&,
                                                                        const QString&)
{
    return true;
}

void TextViewDelegate::textViewDidChangeSelection(TextView*)
{}
void TextViewDelegate::textDidBeginEditing(TextView*)
{}
void TextViewDelegate::textDidChange(TextView*)
{}
void TextViewDelegate::textDidEndEditing(TextView*)
{}

UndoManager* TextViewDelegate::undoManagerForTextView(TextView*)
{
    return nullptr;
}

} // namespace platform
