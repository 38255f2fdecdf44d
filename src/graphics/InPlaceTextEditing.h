#pragma once

// In-place editing of text boxes as the model sees it: the canvas's editing controller
// (TextEditingController) implements it and sets it in LBProcessState::textEditing(). A
// text area forwards its editing operations here, under the names the box is known by;
// the controller owns the editors, lays them over the box and keeps them there while the
// box grows, and reads and sets the box only through its public operations.

class CanvasView;
class LBTextArea;
class QMouseEvent;

namespace platform {
class TextView;
} // namespace platform

class InPlaceTextEditing
{
public:
    virtual ~InPlaceTextEditing() = default;

    // A new editor: its own layout manager and a 1,000,000-point square container, no
    // inset, undo allowed. Deleting it frees the whole chain.
    virtual platform::TextView* textAreaFieldEditor() = 0;
    // Whether the shared editor is attached to a box now.
    virtual bool textAreaFieldEditorInUse() const = 0;

    // Attaches an editor (the shared one, or a new one while the shared one is busy) to
    // the box, which has text, in view; see LBTextArea::startEditingWithEvent().
    virtual void startEditingWithEvent(LBTextArea& box, QMouseEvent* event, CanvasView& view,
                                       bool selectContents) = 0;
    // See LBTextArea::setupEditor().
    virtual void setupEditor(LBTextArea& box, platform::TextView* editor, CanvasView& view) = 0;
    // When view is editing the box: posts the end of editing and detaches the editor; the
    // box then forgets its own links.
    virtual void endEditingInView(LBTextArea& box, CanvasView* view) = 0;
    // The box's text changed in editor: the box grows (never shrinks) to it and the editor
    // follows.
    virtual void textDidChange(LBTextArea& box, platform::TextView* editor) = 0;
    // The box is going away while an editor is attached to it: the editor lets go of it
    // and its canvas.
    virtual void editedBoxWillBeDeleted(LBTextArea& box) = 0;
};
