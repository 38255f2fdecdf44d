// In-place editing of a text box: the editor laid over the box on the canvas, sharing its
// text, the start and end of an edit, and what the box answers as the editor's delegate.

#include "graphics/LBTextArea.h"

#include "app/LBAppController.h"
#include "canvas/LBTextView.h"
#include "graphics/CanvasView.h"
#include "inspector/InspectorPalette.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UndoManager.h"
#include "platform/text/FontManager.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"

#include <QMouseEvent>
#include <QPointer>
#include <QTimer>

#include <algorithm>

using platform::Range;

namespace {

constexpr double Unlimited = 1000000.0;

// The one editor every box borrows, made on first use.
QPointer<LBTextView>& sharedEditor()
{
    static QPointer<LBTextView> editor;
    return editor;
}

bool sharedEditorInUse = false;

// Turns other than the right angles leave the editor upright.
bool isObliqueAngle(double degrees)
{
    for (double right : {0.0, 90.0, 180.0, 270.0, -90.0, -180.0, -270.0})
        if (degrees == right)
            return false;
    return true;
}

} // namespace

LBTextView* LBTextArea::textAreaFieldEditor()
{
    auto layoutManager = std::make_unique<platform::LayoutManager>();
    layoutManager->setTextContainer(
        std::make_unique<platform::TextContainer>(QSizeF(Unlimited, Unlimited)));
    auto* editor = new LBTextView(QRectF(0, 0, 100, 100), std::move(layoutManager));
    editor->setTextContainerInset(QSizeF(0, 0));
    editor->setAllowsUndo(true);
    return editor;
}

bool LBTextArea::textAreaFieldEditorInUse()
{
    return sharedEditorInUse && sharedEditor();
}

void LBTextArea::startEditingWithEvent(QMouseEvent* event, CanvasView* view, bool selectContents)
{
    if (isImageCrop()) {
        LBGraphic::startEditingWithEvent(event, view, selectContents);
        return;
    }
    if (!view)
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

    LBTextView* editor = nullptr;
    if (textAreaFieldEditorInUse()) {
        editor = textAreaFieldEditor();
    } else {
        if (!sharedEditor()) {
            sharedEditor() = textAreaFieldEditor();
            // A canvas that goes away takes its subviews with it.
            QObject::connect(sharedEditor().data(), &QObject::destroyed,
                             [] { sharedEditorInUse = false; });
        }
        editor = sharedEditor();
        sharedEditorInUse = true;
    }
    _editor = editor;
    setupEditor(editor, view);

    if (const auto font = platform::FontManager::sharedFontManager().selectedFont();
        font && _contents->length() == 0)
        editor->setFont(*font);

    didChange();
    editor->makeFirstResponder();
    if (event)
        editor->mouseDown(event);
    platform::NotificationCenter::defaultCenter().post(LBStartEditingText, this);
    if (selectContents && _editor)
        _editor->setSelectedRange(Range(0, _contents->length()));
}

LBTextView* LBTextArea::textEditor() const
{
    return _editor;
}

void LBTextArea::setupEditor(LBTextView* editor, CanvasView* view)
{
    const QRectF b = bounds();
    platform::TextContainer* container = editor->textContainer();
    if (_autoResizeTextBox || b.width() <= minSize().width() + 1) {
        container->setContainerSize(QSizeF(Unlimited, Unlimited));
        editor->setHorizontallyResizable(true);
    } else {
        container->setContainerSize(QSizeF(b.width(), Unlimited));
        editor->setHorizontallyResizable(false);
    }
    editor->setMinSize(QSizeF(1, 1));
    editor->setMaxSize(QSizeF(Unlimited, Unlimited));
    editor->setVerticallyResizable(true);
    editor->setFrame(b);

    if (_contents)
        _contents->addLayoutManager(editor->layoutManager());
    view->addSubview(editor);
    view->setEditingGraphic(this, editor);
    _editingView = view;
    editor->setSelectedRange(Range(0, 0));
    editor->setDelegate(this);

    const double rho = rotation() + groupRotation();
    if (rho != 0 && !isObliqueAngle(rho)) {
        editor->setFrameOrigin(rotatedPoint(b.topLeft(), false));
        editor->setFrameRotation(rho);
    }
}

void LBTextArea::endEditingInView(CanvasView* view)
{
    if (view && view->editingGraphic() == this) {
        platform::NotificationCenter::defaultCenter().post(LBEndEditingTextNotification, this);
        if (LBTextView* editor = view->editorView())
            releaseEditor(editor);
        view->setEditingGraphic(nullptr, nullptr);
    }
    _editor = nullptr;
    _editingView = nullptr;
    resetFieldRolloverArray();
}

void LBTextArea::releaseEditor(LBTextView* editor)
{
    if (editor->frameRotation() != 0) {
        editor->setFrameOrigin(bounds().topLeft());
        editor->setFrameRotation(0);
    }
    editor->setDelegate(nullptr);
    editor->removeFromSuperview();
    if (_contents)
        _contents->removeLayoutManager(editor->layoutManager());
    if (editor != sharedEditor())
        editor->deleteLater(); // it may be the one handling the event that ends the edit
    else
        sharedEditorInUse = false;
}

LBTextArea::EditingCleanup::~EditingCleanup()
{
    // A box that goes away while it is edited lets go of its editor and its canvas.
    LBTextView* editor = box->_editor;
    if (!editor)
        return;
    CanvasView* view = box->_editingView;
    box->releaseEditor(editor);
    if (view && view->editingGraphic() == box)
        view->setEditingGraphic(nullptr, nullptr);
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
    const QRectF b = bounds();
    const bool horizontallyResizable = editor->isHorizontallyResizable();
    const QSizeF s = requiredSize(horizontallyResizable ? Unlimited : b.width());
    // Editing never shrinks the box.
    if (s.width() <= b.width() && s.height() <= b.height())
        return;

    double shift = 0;
    if (horizontallyResizable) {
        const double growth = s.width() > b.width() ? s.width() - b.width() : 0;
        const qint64 alignment = textAlignment();
        shift = alignment == 1 ? growth : alignment == 2 ? growth / 2 : 0;
        if (_editor && growth != 0) {
            const QRectF frame = editor->frame();
            editor->setFrame(
                QRectF(frame.x() - shift, frame.y(), frame.width() + growth, frame.height()));
            platform::TextContainer* container = editor->textContainer();
            container->setContainerSize(container->containerSize() + QSizeF(growth, 0));
        }
        _autoResizeBoundsTimer.reset();
    }
    const double width = horizontallyResizable && s.width() > b.width() ? s.width() : b.width();
    setBounds(QRectF(b.x() - shift, b.y(), width, std::max(s.height(), b.height())));

    // A turned box turns about its new centre: keep the editor on it.
    if (editor->frameRotation() != 0)
        editor->setFrameOrigin(rotatedPoint(bounds().topLeft(), false));

    if (InspectorPalette* palette = LBAppController::inspectorPalette())
        palette->centerWindowUnderSelectedGraphics();
}

platform::UndoManager* LBTextArea::undoManagerForTextView(platform::TextView*)
{
    return undoManager();
}
