#pragma once

// The program's one colour panel: a colour dialog shared by every colour well, made on
// first use. Whether it offers an alpha (opacity) control is the program's choice, made
// once at start-up.

class QColorDialog;

namespace platform {

class ColorPanel
{
public:
    ColorPanel() = delete;

    // The shared panel; made on first use, never closed for good.
    static QColorDialog* sharedColorPanel();
    // Whether the panel shows an alpha control (off until the program turns it on).
    static bool showsAlpha();
    static void setShowsAlpha(bool shows);
};

} // namespace platform
