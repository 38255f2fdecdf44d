#pragma once

// Outlines of the label shapes that are not plain rectangles, shared by the document's
// page and the layout chooser's miniatures so both draw from one geometry. Lengths are in
// the caller's units: the fixed steps of the tray inserts are points times `scale`.
//
// Every outline runs like a rectangle path from the top-left corner to the right (as the
// platform's ovals do), so an outline appended reversed cuts a hole under the non-zero
// rule. Arcs are the platform path's, whose angles grow from +x towards +y in page
// coordinates.

#include "platform/drawing/BezierPath.h"

#include <QRectF>

namespace LabelOutlines {

// The rectangle with quarter-circle corners of radius r (0 gives the plain rectangle),
// running like a rectangle path; line width 0.
platform::BezierPath roundedRect(const QRectF& rect, double cornerRadius);
// The slim case insert in the rectangle: its notches are fractions of `width`, the
// insert's width before any quarter turn. Turned, the notched edge is at the bottom.
platform::BezierPath slimCaseInsert(const QRectF& rect, double width, bool rotated);
// The jewel-box tray insert in the rectangle, the inside one or its mirror image.
platform::BezierPath trayInsert(const QRectF& rect, bool outside, double scale, bool rotated);

} // namespace LabelOutlines
