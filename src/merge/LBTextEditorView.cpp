#include "merge/LBTextEditorView.h"

LBTextEditorView::LBTextEditorView(const QRectF& frame, QWidget* parent)
    : platform::TextView(frame, parent)
{}

LBTextEditorView::~LBTextEditorView() = default;

void LBTextEditorView::pasteAndMatchStyle()
{
    platform::TextView::pasteAndMatchStyle();
}

bool LBTextEditorView::validateMenuItem(MenuAction action) const
{
    return platform::TextView::validateMenuItem(action);
}

void LBTextEditorView::paintEvent(QPaintEvent* event)
{
    platform::TextView::paintEvent(event);
}
