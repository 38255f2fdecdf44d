#pragma once

// The per-label text editor of preview mode: a text view laid over one label's text box
// on the sheet, edged with a hairline, whose paste that matches style takes the plain
// text of the clipboard.

#include "platform/ui/TextView.h"

#include <memory>

namespace platform {
class TextStorage;
}

class LBTextEditorView : public platform::TextView
{
    Q_OBJECT
public:
    explicit LBTextEditorView(const QRectF& frame, QWidget* parent = nullptr);
    ~LBTextEditorView() override;

    // The plain text of the clipboard (plain text first, else the characters of its rich
    // text) in place of the selection, as one change named "Paste"; the ordinary paste
    // when the clipboard offers neither.
    void pasteAndMatchStyle() override;
    // Paste and Match Style only while the clipboard offers plain or rich text.
    bool validateMenuItem(MenuAction action) const override;

protected:
    // Draws as a text view over white, then its edge with the thinnest line.
    void paintEvent(QPaintEvent* event) override;

private:
    // The text being edited; the editor's own.
    std::unique_ptr<platform::TextStorage> _storage;
};
