#pragma once

// Text laid along a path: every glyph of one laid-out line of text is placed, centred, on
// the point of the path at its distance along the line, and turned to the path's
// direction there. The glyphs come back as outlines or are drawn into the current
// graphics context. Around that: justified kerning to fit a path, a layout cache, the
// measurement of a character range along the path, underline pieces, objects and chain
// links placed along a path, an object moved along a path over time, and the horizontal
// slicing of a shape into line fragments for text set inside it.
//
// Free functions over platform::BezierPath; the first argument is the path the text (or
// the objects) follow, which is never changed. Coordinates are points, y down; angles are
// radians. The text sits on the left of the direction of travel (above a path running
// towards +x), its baseline about one descent off the path; a positive y offset lifts it
// further off.
//
// Broken preconditions throw LBPathToolkitException with the source file "LBPathText";
// a missing factory throws std::invalid_argument. Main thread only: the shared layout
// manager is process-wide state that every call rewrites.

#include "platform/core/Range.h"
#include "platform/drawing/BezierPath.h"
#include "platform/text/AttributedString.h"

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

class PTLinkPlacementFactory;
class PTMotionTarget;
class PTObjectPlacementFactory;
class PTTextOnPathPlacement;
class QFont;
class QTimer;

namespace platform {
class LayoutManager;
class TextStorage;
} // namespace platform

namespace LBPathText {

using platform::AttributedString;
using platform::BezierPath;
using platform::LayoutManager;
using platform::Range;
using platform::TextStorage;

inline const QString kSourceFile = QStringLiteral("LBPathText");

// --- The layout cache ------------------------------------------------------------------
// A QVariantMap owned by the caller. The stored glyph positions are replayed only for the
// same path (checksum), the same text and the same x offset; anything else lays out anew.

// quint32: LBPathEditing::checksum of the path the entries belong to.
inline const QString PTTextOnPathChecksum = QStringLiteral("PTTextOnPathChecksum");
// QList<PTPathGlyphInfo>: the glyphs placed by the last layout, in placing order.
inline const QString PTTextOnPathGlyphPositions = QStringLiteral("PTTextOnPathGlyphPositions");
// bool: whether the last layout placed the whole text.
inline const QString PTTextOnPathTextFitted = QStringLiteral("PTTextOnPathTextFitted");
// AttributedString: the text the positions were laid out for.
inline const QString PTTextOnPathText = QStringLiteral("PTTextOnPathText");
// double: the x offset the positions were laid out with.
inline const QString PTTextOnPathXOffset = QStringLiteral("PTTextOnPathXOffset");

// --- Laying text along a path ---------------------------------------------------------------

// The layout manager used when none is given: created on first use with one text
// container of 1,000,000 × 1,000,000 points, and kept for the life of the process.
LayoutManager* textOnPathLayoutManager();

// The outlines of all placed glyphs in one path (empty when nothing was placed).
BezierPath bezierPathWithTextOnPath(const BezierPath& path, const AttributedString& text,
                                    double xOffset, double yOffset);
// One outline path per placed glyph, in placing order.
QList<BezierPath> bezierPathsWithGlyphsOnPath(const BezierPath& path, const AttributedString& text,
                                              double xOffset, double yOffset);
// bezierPathWithTextOnPath of the string with the attributes, at offsets 0 and 0.
BezierPath bezierPathWithStringOnPath(const BezierPath& path, const QString& string,
                                      const QVariantMap& attributes = {});

// Draws the text along the path into the current graphics context, without underline or
// strikethrough; answers whether the whole text was placed. Without a layout manager the
// shared one is used; the cache may be null.
bool drawTextOnPath(const BezierPath& path, const AttributedString& text, double xOffset,
                    double yOffset, LayoutManager* layoutManager = nullptr,
                    QVariantMap* cache = nullptr);
// drawTextOnPath at offsets 0 and 0; no attributes means the font "Helvetica" at 12 points.
bool drawStringOnPath(const BezierPath& path, const QString& string,
                      const std::optional<QVariantMap>& attributes = std::nullopt);

// The glyph layout: places the glyphs of the first line of `string` (attached to
// layoutManager) along the path one by one, telling usingLayoutHelper about each, until
// the text ends (true), or a glyph would pass the path's end or lies on a second line
// (false). Glyphs of zero width are skipped. A path of fewer than two elements or an
// empty text places nothing and answers false.
bool layoutStringOnPath(const BezierPath& path, TextStorage* string, double xOffset, double yOffset,
                        PTTextOnPathPlacement* usingLayoutHelper, LayoutManager* layoutManager,
                        QVariantMap* cache);

// A new text storage holding a copy of the string, attached to the layout manager, whose
// container is set to the path's length by 50,000 points; a justified text is kerned to
// fit the path's length. The storage must outlive the use of the layout manager.
std::unique_ptr<TextStorage> preadjustedTextStorageWithString(const BezierPath& path,
                                                              const AttributedString* string,
                                                              LayoutManager* layoutManager);

// Spreads the text of the storage's layout manager evenly over `toFitLength` (points
// between the line fragment's padding), or squeezes an over-long text by at most 0.15
// times its height per gap, through a kerning attribute between the glyphs. A single
// glyph is left unkerned.
void kernText(TextStorage* text, double toFitLength);

// --- Underline and strikethrough hooks -------------------------------------------------------
// Text along a path is drawn without underline and strikethrough: these are the places
// where such lines would be drawn, and they draw nothing.

// Calls the per-range form for every run of the layout manager's text that is underlined.
void drawUnderlinePathForLayoutManager(const BezierPath& path, LayoutManager* layoutManager,
                                       double yOffset, QVariantMap* cache);
void drawUnderlinePathForLayoutManager(const BezierPath& path, LayoutManager* layoutManager,
                                       const Range& range, double yOffset, QVariantMap* cache);
void drawStrikethroughPathForLayoutManager(const BezierPath& path, LayoutManager* layoutManager,
                                           double yOffset, QVariantMap* cache);
void drawStrikethroughPathForLayoutManager(const BezierPath& path, LayoutManager* layoutManager,
                                           const Range& range, double yOffset, QVariantMap* cache);

// --- Pieces for text lines along a path -------------------------------------------------------

// Where the characters of inRange start in the line laid along the path, and how long
// they run (in the laid-out line's coordinates, from its glyphs' locations). Nothing is
// written unless both pointers are given.
void pathPosition(const BezierPath& path, double* position, double* andLength,
                  const AttributedString& forCharactersOfString, const Range& inRange);
// Where a horizontal line underlineOffset below the baseline crosses the outlines of the
// range's glyphs, laid out on their own from x = 5 (the padding of the line); pairs of
// points sorted by x. None when nothing crosses it.
std::optional<QList<QPointF>> descenderBreaksForString(const BezierPath& path,
                                                       const AttributedString& string,
                                                       const Range& range, double underlineOffset);
// A line along the path from startPosition for `length`, offset from the path by
// -offset, in the style of an underline style mask: bits 0-3 the line (0 none, 2 thick,
// 8 double: two thinner lines 2 × thickness apart), bits 8-11 the dash (0x100 dotted,
// 0x200 dashed, 0x300 dash-dot, 0x400 dash-dot-dot). With descender breaks, the stretches
// around each pair of break x positions (measured from startPosition) are left out with a
// margin of grotThreshold × 0.3 + 5 on each side, and pieces no longer than grotThreshold
// are dropped (the first piece is always kept). None when the mask has no line.
std::optional<BezierPath> textLinePathWithMask(const BezierPath& path, int mask,
                                               double startPosition, double length, double offset,
                                               double lineThickness,
                                               const std::optional<QList<QPointF>>& descenderBreaks,
                                               double grotThreshold);

// --- Objects along a path -----------------------------------------------------------------

// Asks the factory for an object at every distance 0, interval, 2 × interval, ... up to and
// including the path's length; the objects it made. None for a path of fewer than two
// elements or an interval not above 0. Throws std::invalid_argument without a factory.
std::optional<QVariantList> placeObjectsOnPathAtInterval(const BezierPath& path, double interval,
                                                         PTObjectPlacementFactory* factoryObject,
                                                         void* userInfo);
// The objects of placeObjectsOnPathAtInterval that are paths, joined in one path; none when
// no object was made.
std::optional<BezierPath>
bezierPathWithObjectsOnPathAtInterval(const BezierPath& path, double interval,
                                      PTObjectPlacementFactory* factoryObject, void* userInfo);
// Copies of `other` turned to the path's direction about the centre of their bounds, that
// centre placed on the path at every distance 0, atInterval, ... up to the path's length.
BezierPath bezierPathWithPath(const BezierPath& path, const BezierPath& other, double atInterval);
// A chain of straight links from the path's first point, each aimed at the path's point
// at the chain's length so far; even links (from link 0) are evenLinkLength long, odd
// ones oddLinkLength. Stops before the chain would pass the path's length. None for a
// path of fewer than two elements or a length not above 0. Throws std::invalid_argument
// without a factory.
std::optional<QVariantList>
placeLinksOnPathWithEvenLinkLength(const BezierPath& path, double evenLinkLength,
                                   double oddLinkLength, PTLinkPlacementFactory* factoryObject,
                                   void* userInfo);
std::optional<QVariantList> placeLinksOnPathWithLinkLength(const BezierPath& path,
                                                           double linkLength,
                                                           PTLinkPlacementFactory* factoryObject,
                                                           void* userInfo);

// --- Motion along a path --------------------------------------------------------------------

// Moves the object to the path's start and, when it agrees, along the path at `atSpeed`
// points per second, 30 times a second, from the start again after the end when `loop` is
// set, otherwise stopping at the end. Answers the timer that drives the motion (it
// deletes itself when the motion ends), or null when no motion started (speed not above
// 0, a path of fewer than two elements, or the object declined). The motion's state
// (the keys "path", "speed", "userinfo", "target", "path_length", "loop", "start_time")
// is the timer's "userInfo" property. Throws for a null object.
QTimer* moveObject(const BezierPath& path, std::shared_ptr<PTMotionTarget> object, double atSpeed,
                   bool loop, const QVariant& userInfo = QVariant());
// One step of a motion: moves its target to where it should be now; stops and deletes
// the timer when the target declines or the end is reached.
void motionCallback(QTimer* timer);
// The clock motions read: seconds, in double precision. A null function restores the
// system clock (seconds since 2001-01-01 UTC).
void setMotionClock(std::function<double()> clock);
double motionClockNow();

// --- Slicing shapes for text set inside them ---------------------------------------------------

// The points where the horizontal line at y (which must be above 0) crosses the path
// flattened with flatness 5, sorted by x and even in number (an odd last one is
// dropped). None for an empty path, a y outside the path's bounds, or no crossing.
std::optional<QList<QPointF>> intersectingPointsWithHorizontalLineAtY(const BezierPath& path,
                                                                      double y);
// Rectangles of height `lineheight` (above 0) between consecutive slices of the path's
// bounds that lie wholly inside the path (their corners inset by 1 point).
QList<QRectF> lineFragmentRectsForFixedLineheight(const BezierPath& path, double lineheight);
// The part of the proposed rectangle inside the path at the height datumOffset + 0.5
// (0..1) through it: between the first pair of crossings whose left one is not left of
// the proposed rectangle. remainingRect, when given, receives the proposed rectangle moved
// to that pair's right end. Both are the zero rectangle when there is no such pair.
QRectF lineFragmentRectForProposedRect(const BezierPath& path, const QRectF& proposedRect,
                                       QRectF* remainingRect, double datumOffset = 0);

// --- Fallback underline metrics ------------------------------------------------------------
// The mean underline position (distance below the baseline, y down) / thickness of the
// font families "Helvetica" and "Times" (or the fonts the system substitutes for them)
// at the font's point size.
double valueForInvalidUnderlinePosition(const QFont& font);
double valueForInvalidUnderlineThickness(const QFont& font);

} // namespace LBPathText
