// Around the text layout: the underline and strikethrough hooks, measuring a character
// range along the path, the pieces of a text line (descender breaks, the styled line),
// and objects and chain links placed along a path.

#include "geometry/LBPathText.h"

#include "geometry/LBPathGeometry.h"
#include "geometry/PTBezierLayoutManager.h"
#include "geometry/PTLinkPlacementFactory.h"
#include "geometry/PTObjectPlacementFactory.h"
#include "geometry/PTTextOnPathMetricsHelper.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"

#include <QTransform>

#include <cmath>
#include <stdexcept>
#include <utility>

namespace LBPathText {

namespace {

const char* const kFactoryWithoutProtocol =
    "Factory object (null) does not implement the required protocol";

} // namespace

// --- Underline and strikethrough hooks --------------------------------------------------------

void drawUnderlinePathForLayoutManager(const BezierPath& path, LayoutManager* layoutManager,
                                       double yOffset, QVariantMap* cache)
{
    const TextStorage* storage = layoutManager ? layoutManager->textStorage() : nullptr;
    if (!storage)
        return;
    storage->attributedString().enumerateAttribute(
        platform::UnderlineStyleAttributeName, Range(0, storage->length()),
        [&](const QVariant& value, const Range& range, bool&) {
            if (value.toInt() > 0)
                drawUnderlinePathForLayoutManager(path, layoutManager, range, yOffset, cache);
        });
}

void drawUnderlinePathForLayoutManager(const BezierPath&, LayoutManager*, const Range&, double,
                                       QVariantMap*)
{}

void drawStrikethroughPathForLayoutManager(const BezierPath&, LayoutManager*, double, QVariantMap*)
{}

void drawStrikethroughPathForLayoutManager(const BezierPath&, LayoutManager*, const Range&, double,
                                           QVariantMap*)
{}

// --- Pieces for text lines ----------------------------------------------------------------------

void pathPosition(const BezierPath& path, double* position, double* andLength,
                  const AttributedString& forCharactersOfString, const Range& inRange)
{
    if (!position || !andLength)
        return;
    PTTextOnPathMetricsHelper helper;
    helper.setCharacterRange(inRange);
    LayoutManager* manager = textOnPathLayoutManager();
    const std::unique_ptr<TextStorage> storage =
        preadjustedTextStorageWithString(path, &forCharactersOfString, manager);
    layoutStringOnPath(path, storage.get(), 0, 0, &helper, manager, nullptr);
    *position = helper.position();
    *andLength = helper.length();
}

std::optional<QList<QPointF>> descenderBreaksForString(const BezierPath&,
                                                       const AttributedString& string,
                                                       const Range& range, double underlineOffset)
{
    AttributedString text = string.attributedSubstringFromRange(range);
    if (text.isEmpty())
        return std::nullopt;
    // Left aligned, whatever the paragraphs say otherwise.
    QList<std::pair<Range, platform::ParagraphStyle>> styles;
    text.enumerateAttribute(platform::ParagraphStyleAttributeName, Range(0, text.length()),
                            [&](const QVariant& value, const Range& run, bool&) {
                                platform::ParagraphStyle style;
                                if (value.metaType()
                                    == QMetaType::fromType<platform::ParagraphStyle>())
                                    style = value.value<platform::ParagraphStyle>();
                                style.alignment = platform::ParagraphStyle::Alignment::Left;
                                styles.append({run, style});
                            });
    for (const auto& [run, style] : std::as_const(styles))
        text.addAttribute(platform::ParagraphStyleAttributeName, QVariant::fromValue(style), run);

    TextStorage storage(text);
    PTBezierLayoutManager manager;
    manager.setTextContainer(std::make_unique<platform::TextContainer>(QSizeF(1000000, 1000000)));
    storage.addLayoutManager(&manager);
    const Range glyphs = manager.glyphRangeForTextContainer(manager.textContainer());
    manager.drawGlyphsForGlyphRange(glyphs, QPointF(0, 0));
    // The outlines are y down, so the underline lies its offset below the first line's
    // baseline.
    const double baseline =
        manager.lineFragmentRectForGlyphAtIndex(0).y() + manager.locationForGlyphAtIndex(0).y();
    const double y = std::abs(underlineOffset) + baseline;
    storage.removeLayoutManager(&manager);
    if (!(y > 0))
        return std::nullopt;
    return intersectingPointsWithHorizontalLineAtY(manager.textPath(), y);
}

std::optional<BezierPath> textLinePathWithMask(const BezierPath& path, int mask,
                                               double startPosition, double length, double offset,
                                               double lineThickness,
                                               const std::optional<QList<QPointF>>& descenderBreaks,
                                               double grotThreshold)
{
    if ((mask & 0xF) == 0)
        return std::nullopt;
    double thickness = lineThickness;
    if (mask & 2)
        thickness *= 2;
    const bool doubleLine = mask & 8;
    if (doubleLine) {
        thickness *= 0.75;
        offset += thickness * 0.5;
    }

    BezierPath base;
    if (!descenderBreaks) {
        base = LBPathGeometry::bezierPathByTrimmingFromLengthToLength(path, startPosition, length);
    } else {
        const QList<QPointF>& breaks = *descenderBreaks;
        const double gap = grotThreshold * 0.3 + 5.0;
        bool first = true;
        auto appendPiece = [&](double from, double to) {
            if (first || to - from > grotThreshold)
                base.appendBezierPath(
                    LBPathGeometry::bezierPathByTrimmingFromLengthToLength(path, from, to - from));
            first = false;
        };
        double from = startPosition;
        for (qsizetype i = 0; i + 1 < breaks.size(); i += 2) {
            appendPiece(from, startPosition + breaks.at(i).x() - gap);
            from = startPosition + breaks.at(i + 1).x() + gap;
        }
        appendPiece(from, startPosition + length);
    }

    base.setFlatness(0.1);
    BezierPath line = LBPathGeometry::paralleloidPathWithOffset2(base, -offset);
    if (doubleLine)
        line.appendBezierPath(
            LBPathGeometry::paralleloidPathWithOffset2(base, -offset + 2 * thickness));
    line.setLineWidth(thickness);
    switch (mask & 0xF00) {
    case 0x100: line.setLineDash({1, 1}, 0); break;
    case 0x200: line.setLineDash({4, 2}, 0); break;
    case 0x300: line.setLineDash({4, 2, 1, 2}, 0); break;
    case 0x400: line.setLineDash({4, 2, 1, 2, 1, 2}, 0); break;
    default: break;
    }
    return line;
}

// --- Objects along a path ------------------------------------------------------------------------

std::optional<QVariantList> placeObjectsOnPathAtInterval(const BezierPath& path, double interval,
                                                         PTObjectPlacementFactory* factoryObject,
                                                         void* userInfo)
{
    if (!factoryObject)
        throw std::invalid_argument(kFactoryWithoutProtocol);
    if (path.elementCount() < 2 || !(interval > 0))
        return std::nullopt;
    const double total = LBPathGeometry::length(path);
    QVariantList objects;
    // Distances as multiples, so a sum of rounded steps cannot miss the path's end.
    for (qint64 i = 0; double(i) * interval <= total; ++i) {
        const double distance = double(i) * interval;
        double slope = 0;
        const QPointF point = LBPathGeometry::pointOnPathAtLength(path, distance, &slope);
        const QVariant object =
            factoryObject->placeObjectAtPoint(point, path, distance, slope, userInfo);
        if (object.isValid())
            objects.append(object);
    }
    return objects;
}

std::optional<BezierPath>
bezierPathWithObjectsOnPathAtInterval(const BezierPath& path, double interval,
                                      PTObjectPlacementFactory* factoryObject, void* userInfo)
{
    const std::optional<QVariantList> objects =
        placeObjectsOnPathAtInterval(path, interval, factoryObject, userInfo);
    if (!objects || objects->isEmpty())
        return std::nullopt;
    BezierPath joined;
    for (const QVariant& object : *objects) {
        if (object.metaType() == QMetaType::fromType<BezierPath>())
            joined.appendBezierPath(object.value<BezierPath>());
    }
    return joined;
}

BezierPath bezierPathWithPath(const BezierPath& path, const BezierPath& other, double atInterval)
{
    BezierPath result;
    if (path.elementCount() < 2 || !(atInterval > 0))
        return result;
    const double total = LBPathGeometry::length(path);
    const QPointF centre = LBPathGeometry::centreOfBounds(other);
    for (qint64 i = 0; double(i) * atInterval <= total; ++i) {
        double slope = 0;
        const QPointF point =
            LBPathGeometry::pointOnPathAtLength(path, double(i) * atInterval, &slope);
        const QPointF shift = point - centre;
        result.appendBezierPath(LBPathGeometry::rotatedPath(other, slope, centre)
                                    .transformed(QTransform::fromTranslate(shift.x(), shift.y())));
    }
    return result;
}

std::optional<QVariantList>
placeLinksOnPathWithEvenLinkLength(const BezierPath& path, double evenLinkLength,
                                   double oddLinkLength, PTLinkPlacementFactory* factoryObject,
                                   void* userInfo)
{
    if (!factoryObject)
        throw std::invalid_argument(kFactoryWithoutProtocol);
    if (path.elementCount() < 2 || !(evenLinkLength > 0) || !(oddLinkLength > 0))
        return std::nullopt;
    const double total = LBPathGeometry::length(path);
    QVariantList links;
    QPointF previous = LBPathGeometry::firstPoint(path);
    double distance = 0;
    for (int number = 0;; ++number) {
        const double linkLength = number % 2 ? oddLinkLength : evenLinkLength;
        distance += linkLength;
        if (distance > total)
            break;
        const QPointF target = LBPathGeometry::pointOnPathAtLength(path, distance);
        const double aim = std::atan2(target.y() - previous.y(), target.x() - previous.x());
        const QPointF end = previous + linkLength * QPointF(std::cos(aim), std::sin(aim));
        const QVariant link =
            factoryObject->placeLinkFromPoint(previous, end, path, number, userInfo);
        if (link.isValid())
            links.append(link);
        previous = end;
    }
    return links;
}

std::optional<QVariantList> placeLinksOnPathWithLinkLength(const BezierPath& path,
                                                           double linkLength,
                                                           PTLinkPlacementFactory* factoryObject,
                                                           void* userInfo)
{
    return placeLinksOnPathWithEvenLinkLength(path, linkLength, linkLength, factoryObject,
                                              userInfo);
}

} // namespace LBPathText
