#include "canvas/TextEditingController.h"

#include "graphics/CanvasView.h"
#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "platform/core/NotificationCenter.h"
#include "platform/text/FontManager.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"

#include <QMouseEvent>

using platform::Range;

namespace {

constexpr double Unlimited = 1000000.0;

// Turns other than the right angles leave the editor upright.
bool isObliqueAngle(double degrees)
{
    for (double right : {0.0, 90.0, 180.0, 270.0, -90.0, -180.0, -270.0})
        if (degrees == right)
            return false;
    return true;
}

} // namespace

TextEditingController& TextEditingController::shared()
{
    static TextEditingController controller;
    return controller;
}

LBTextView* TextEditingController::textAreaFieldEditor()
{
    auto layoutManager = std::make_unique<platform::LayoutManager>();
    layoutManager->setTextContainer(
        std::make_unique<platform::TextContainer>(QSizeF(Unlimited, Unlimited)));
    auto* editor = new LBTextView(QRectF(0, 0, 100, 100), std::move(layoutManager));
    editor->setTextContainerInset(QSizeF(0, 0));
    editor->setAllowsUndo(true);
    return editor;
}

bool TextEditingController::textAreaFieldEditorInUse() const
{
    return _sharedEditorInUse && _sharedEditor;
}

void TextEditingController::startEditingWithEvent(LBTextArea& box, QMouseEvent* event,
                                                  CanvasView& view, bool selectContents)
{
    LBTextView* editor = nullptr;
    if (textAreaFieldEditorInUse()) {
        editor = textAreaFieldEditor();
    } else {
        if (!_sharedEditor) {
            _sharedEditor = textAreaFieldEditor();
            // A canvas that goes away takes its subviews with it.
            QObject::connect(_sharedEditor.data(), &QObject::destroyed,
                             [this] { _sharedEditorInUse = false; });
        }
        editor = _sharedEditor;
        _sharedEditorInUse = true;
    }
    setupEditor(box, editor, view);

    if (const auto font = platform::FontManager::sharedFontManager().selectedFont();
        font && box.contents()->length() == 0)
        editor->setFont(*font);

    box.didChange();
    editor->makeFirstResponder();
    if (event)
        editor->mouseDown(event);
    platform::NotificationCenter::defaultCenter().post(LBStartEditingText, &box);
    if (selectContents && box.textEditor())
        box.textEditor()->setSelectedRange(Range(0, box.contents()->length()));
}

void TextEditingController::setupEditor(LBTextArea& box, platform::TextView* editor,
                                        CanvasView& view)
{
    const QRectF b = box.bounds();
    platform::TextContainer* container = editor->textContainer();
    if (box.autoResizeTextBox() || b.width() <= LBTextArea::minSize().width() + 1) {
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

    if (box.contents())
        box.contents()->addLayoutManager(editor->layoutManager());
    view.addSubview(editor);
    view.setEditingGraphic(&box, editor);
    box.setTextEditor(editor, &view);
    editor->setSelectedRange(Range(0, 0));
    editor->setDelegate(&box);

    const double rho = box.rotation() + box.groupRotation();
    if (rho != 0 && !isObliqueAngle(rho)) {
        editor->setFrameOrigin(box.rotatedPoint(b.topLeft(), false));
        editor->setFrameRotation(rho);
    }
}

void TextEditingController::endEditingInView(LBTextArea& box, CanvasView* view)
{
    if (!view || view->editingGraphic() != &box)
        return;
    platform::NotificationCenter::defaultCenter().post(LBEndEditingTextNotification, &box);
    if (platform::TextView* editor = view->editorView())
        releaseEditor(box, editor);
    view->setEditingGraphic(nullptr, nullptr);
}

void TextEditingController::releaseEditor(LBTextArea& box, platform::TextView* editor)
{
    if (editor->frameRotation() != 0) {
        editor->setFrameOrigin(box.bounds().topLeft());
        editor->setFrameRotation(0);
    }
    editor->setDelegate(nullptr);
    editor->removeFromSuperview();
    if (box.contents())
        box.contents()->removeLayoutManager(editor->layoutManager());
    if (editor != _sharedEditor)
        editor->deleteLater(); // it may be the one handling the event that ends the edit
    else
        _sharedEditorInUse = false;
}

void TextEditingController::editedBoxWillBeDeleted(LBTextArea& box)
{
    platform::TextView* editor = box.textEditor();
    if (!editor)
        return;
    CanvasView* view = box.editingView();
    releaseEditor(box, editor);
    if (view && view->editingGraphic() == &box)
        view->setEditingGraphic(nullptr, nullptr);
}

void TextEditingController::textDidChange(LBTextArea& box, platform::TextView* editor)
{
    const bool horizontallyResizable = editor->isHorizontallyResizable();
    const std::optional<LBTextArea::EditingGrowth> growth =
        box.growthToFitEditedText(horizontallyResizable);
    if (!growth)
        return;

    if (horizontallyResizable) {
        if (box.textEditor() && growth->widthGrowth != 0) {
            const QRectF frame = editor->frame();
            editor->setFrame(QRectF(frame.x() - growth->shift, frame.y(),
                                    frame.width() + growth->widthGrowth, frame.height()));
            platform::TextContainer* container = editor->textContainer();
            container->setContainerSize(container->containerSize()
                                        + QSizeF(growth->widthGrowth, 0));
        }
        box.cancelAutoResizeBounds();
    }
    box.setBounds(growth->bounds);

    // A turned box turns about its new centre: keep the editor on it.
    if (editor->frameRotation() != 0)
        editor->setFrameOrigin(box.rotatedPoint(box.bounds().topLeft(), false));

    if (InspectorPalette* palette = LBProcessState::inspectorPalette())
        palette->centerWindowUnderSelectedGraphics();
}
