#pragma once

// The canvas's in-place editing of text boxes: the editor laid over a box, sharing its
// text, the start and end of an edit, and the editor following the box as it grows. One
// editor (LBTextView) is shared by every box and kept for the life of the process; a box
// edited while it is busy gets one of its own, freed when its edit ends. The box stays
// the editor's delegate and keeps its text, its layout and the rule by which it grows;
// the controller calls them. Main thread only.

#include "canvas/LBTextView.h"
#include "graphics/InPlaceTextEditing.h"

class TextEditingController : public InPlaceTextEditing
{
public:
    // The one controller of the process; every canvas sets it as the model's
    // (LBProcessState::textEditing()).
    static TextEditingController& shared();

    LBTextView* textAreaFieldEditor() override;
    bool textAreaFieldEditorInUse() const override;

    // Takes the shared editor (or a new one while it is busy), sets it up over the box,
    // gives an empty box the font panel's selected font, makes it first responder, passes
    // it the click when there is one, posts LBStartEditingText and, with selectContents,
    // selects the whole text.
    void startEditingWithEvent(LBTextArea& box, QMouseEvent* event, CanvasView& view,
                               bool selectContents) override;
    // Sizes the editor to the box (growing sideways for self-sizing and very narrow boxes),
    // joins it to the box's text, adds it to view, tells view and the box which editor
    // edits which box and makes the box its delegate. A box at a right angle (own plus
    // group rotation) gets its editor turned with it about the turned origin; an oblique
    // one is edited upright.
    void setupEditor(LBTextArea& box, platform::TextView* editor, CanvasView& view) override;
    // When view is editing the box: posts LBEndEditingTextNotification, detaches the
    // editor (a private one is freed) and tells view nothing is edited.
    void endEditingInView(LBTextArea& box, CanvasView* view) override;
    // Grows the box by its rule (LBTextArea::growthToFitEditedText()); the editor's frame
    // and container widen and move with it, a turned editor stays on the turned box, and
    // the inspector palette moves under the selection.
    void textDidChange(LBTextArea& box, platform::TextView* editor) override;
    void editedBoxWillBeDeleted(LBTextArea& box) override;

private:
    TextEditingController() = default;

    // Puts the editor back upright, takes it off its canvas and away from the box's text;
    // frees it unless it is the shared editor, which becomes free again.
    void releaseEditor(LBTextArea& box, platform::TextView* editor);

    QPointer<LBTextView> _sharedEditor;
    bool _sharedEditorInUse = false;
};
