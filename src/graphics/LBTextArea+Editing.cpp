// In-place editing of a text box as the model has it: the box's side of the edit (its
// text, the links to the editor and canvas, the rule by which it grows, its answers as
// the editor's delegate) and the operations it forwards to the canvas's editing
// controller (LBProcessState::textEditing()).

#include "graphics/LBTextArea.h"

#include "graphics/InPlaceTextEditing.h"
#include "graphics/LBProcessState.h"
#include "platform/core/UndoManager.h"
#include "platform/ui/TextView.h"

#include <QTimer>

#include <algorithm>

using platform::Range;

namespace {

// The width limit of text in a box that grows sideways.
constexpr double Unlimited = 1000000.0;

} // namespace

platform::TextView* LBTextArea::textAreaFieldEditor()
{
    InPlaceTextEditing* editing = LBProcessState::textEditing();
    return editing ? editing->textAreaFieldEditor() : nullptr;
}

bool LBTextArea::textAreaFieldEditorInUse()
{
    const InPlaceTextEditing* editing = LBProcessState::textEditing();
    return editing && editing->textAreaFieldEditorInUse();
}

void LBTextArea::startEditingWithEvent(QMouseEvent* event, CanvasView* view, bool selectContents)
{
    if (isImageCrop()) {
        LBGraphic::startEditingWithEvent(event, view, selectContents);
        return;
    }
    InPlaceTextEditing* editing = LBProcessState::textEditing();
    if (!view || !editing)
        return;
    // Text typed into a box that had none needs a storage to go to.
    if (!_contents) {
        platform::UndoManager* undo = undoManager();
        if (undo)
            undo->disableUndoRegistration();
        setContents(platform::AttributedString());
        if (undo)
            undo->enableUndoRegistration();
    }
    editing->startEditingWithEvent(*this, event, *view, selectContents);
}

platform::TextView* LBTextArea::textEditor() const
{
    return _editor;
}

void LBTextArea::setTextEditor(platform::TextView* editor, CanvasView* view)
{
    _editor = editor;
    _editingView = view;
}

void LBTextArea::setupEditor(platform::TextView* editor, CanvasView* view)
{
    if (InPlaceTextEditing* editing = LBProcessState::textEditing(); editing && editor && view)
        editing->setupEditor(*this, editor, *view);
}

void LBTextArea::endEditingInView(CanvasView* view)
{
    if (InPlaceTextEditing* editing = LBProcessState::textEditing())
        editing->endEditingInView(*this, view);
    _editor = nullptr;
    _editingView = nullptr;
    resetFieldRolloverArray();
}

LBTextArea::EditingCleanup::~EditingCleanup()
{
    // A box that goes away while it is edited lets go of its editor and its canvas.
    if (!box->_editor)
        return;
    if (InPlaceTextEditing* editing = LBProcessState::textEditing())
        editing->editedBoxWillBeDeleted(*box);
}

std::optional<LBTextArea::EditingGrowth>
LBTextArea::growthToFitEditedText(bool horizontallyResizable) const
{
    const QRectF b = bounds();
    const QSizeF s = requiredSize(horizontallyResizable ? Unlimited : b.width());
    // Editing never shrinks the box.
    if (s.width() <= b.width() && s.height() <= b.height())
        return std::nullopt;

    EditingGrowth growth;
    if (horizontallyResizable) {
        growth.widthGrowth = s.width() > b.width() ? s.width() - b.width() : 0;
        const qint64 alignment = textAlignment();
        growth.shift = alignment == 1   ? growth.widthGrowth
                       : alignment == 2 ? growth.widthGrowth / 2
                                        : 0;
    }
    const double width = horizontallyResizable && s.width() > b.width() ? s.width() : b.width();
    growth.bounds = QRectF(b.x() - growth.shift, b.y(), width, std::max(s.height(), b.height()));
    return growth;
}

void LBTextArea::cancelAutoResizeBounds()
{
    _autoResizeBoundsTimer.reset();
}

// --- The editor's delegate ---

Range LBTextArea::textViewWillChangeSelectionFromCharacterRangeToCharacterRange(
    platform::TextView*, const Range&, const Range& newRange)
{
    // A text placeholder is replaced as a whole by what is typed.
    if (isPlaceholder() && placeholderTypeString() == QLatin1String("RegularText"))
        return Range(0, _contents ? _contents->length() : 0);
    return newRange;
}

bool LBTextArea::textViewShouldChangeTextInRangeReplacementString(platform::TextView*, const Range&,
                                                                  const QString&)
{
    if (placeholderTypeString() == QLatin1String("RegularText"))
        setIsPlaceholder(false);
    return true;
}

void LBTextArea::textDidChange(platform::TextView* editor)
{
    if (InPlaceTextEditing* editing = LBProcessState::textEditing())
        editing->textDidChange(*this, editor);
}

platform::UndoManager* LBTextArea::undoManagerForTextView(platform::TextView*)
{
    return undoManager();
}
