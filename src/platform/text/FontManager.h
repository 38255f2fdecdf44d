#pragma once

// The program's font panel as the rest of the program sees it: the font the user chose
// there last, if any. Text typed into an empty text box starts in that font.
// Process-wide, main thread only.

#include <QFont>

#include <optional>

namespace platform {

class FontManager
{
public:
    static FontManager& sharedFontManager();

    // The font selected in the font panel; none until the user (or the program) picks one.
    std::optional<QFont> selectedFont() const { return _selectedFont; }
    void setSelectedFont(const std::optional<QFont>& font) { _selectedFont = font; }

private:
    FontManager() = default;
    std::optional<QFont> _selectedFont;
};

} // namespace platform
