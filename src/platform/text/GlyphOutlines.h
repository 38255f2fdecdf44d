#pragma once

// Glyph outlines, cached: asking the font engine for an outline re-runs the font's hinting
// set-up each time, which dominates laying text along paths and turning text into shapes.

#include <QtGlobal>

class QPainterPath;
class QRawFont;

namespace platform {

// The outline of the glyph in the font's own coordinates (y down, baseline at 0).
QPainterPath glyphOutline(const QRawFont& font, quint32 glyphIndex);

} // namespace platform
