// Laying text along a path: the pre-adjusted text storage, justified kerning, the glyph
// layout with its cache, and the entry points that collect or draw the glyphs.

#include "geometry/LBPathText.h"

#include "geometry/LBPathEditing.h"
#include "geometry/LBPathGeometry.h"
#include "geometry/LBPathToolkitException.h"
#include "geometry/PTPathGlyphInfo.h"
#include "geometry/PTTextOnPathGlyphAccumulator.h"
#include "geometry/PTTextOnPathGlyphDrawer.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"

#include <QFont>
#include <QSizeF>

#include <algorithm>
#include <cmath>

namespace LBPathText {

namespace {

using platform::ParagraphStyle;

// Height of the container the text is laid into: far more than one line needs.
constexpr double kContainerHeight = 50000;
constexpr double kSharedContainerSide = 1000000;

[[noreturn]] void fail(const char* message)
{
    throw LBPathToolkitException(QString::fromLatin1(message), kSourceFile);
}

std::optional<ParagraphStyle> paragraphStyleAt(const AttributedString& text, qsizetype index)
{
    const QVariant value = text.attribute(platform::ParagraphStyleAttributeName, index);
    if (value.metaType() != QMetaType::fromType<ParagraphStyle>())
        return std::nullopt;
    return value.value<ParagraphStyle>();
}

// Whether the cache holds a placement made for this path, text and x offset.
bool cacheMatches(const QVariantMap& cache, quint32 checksum, const AttributedString& text,
                  double xOffset)
{
    if (!cache.contains(PTTextOnPathGlyphPositions))
        return false;
    const QVariant storedText = cache.value(PTTextOnPathText);
    return cache.value(PTTextOnPathChecksum).toUInt() == checksum
           && storedText.metaType() == QMetaType::fromType<AttributedString>()
           && storedText.value<AttributedString>() == text
           && cache.value(PTTextOnPathXOffset).toDouble() == xOffset;
}

// Whether the text's first line ends where the layout broke a paragraph (rather than at
// a paragraph break or the end of the laid-out glyphs).
bool wrapsAfterFirstLine(const LayoutManager& manager, const QString& string,
                         const Range& firstLine, const Range& glyphs)
{
    if (firstLine.isEmpty() || firstLine.end() >= glyphs.end())
        return false;
    const qsizetype last = manager.characterIndexForGlyphAtIndex(firstLine.end() - 1);
    const QChar c = string.at(last);
    return c != u'\n' && c != u'\r' && c != QChar::ParagraphSeparator;
}

} // namespace

// --- Layout manager, pre-adjusting and kerning ----------------------------------------------

LayoutManager* textOnPathLayoutManager()
{
    // Kept for the life of the process: it holds fonts, which must not be released after
    // the application object is gone.
    static LayoutManager* const manager = [] {
        auto* created = new LayoutManager;
        created->setTextContainer(std::make_unique<platform::TextContainer>(
            QSizeF(kSharedContainerSide, kSharedContainerSide)));
        return created;
    }();
    return manager;
}

std::unique_ptr<TextStorage> preadjustedTextStorageWithString(const BezierPath& path,
                                                              const AttributedString* string,
                                                              LayoutManager* layoutManager)
{
    if (!layoutManager)
        fail("nil layout manager passed while processing text on path");
    if (!string)
        fail("nil string passed while processing text on path");
    platform::TextContainer* container = layoutManager->textContainer();
    if (!container)
        fail(" no text container was present in the layout manager");

    const std::optional<ParagraphStyle> style = paragraphStyleAt(*string, 0);
    auto storage = std::make_unique<TextStorage>(*string);
    storage->addLayoutManager(layoutManager);
    const double length = LBPathGeometry::length(path);
    container->setContainerSize(QSizeF(length, kContainerHeight));
    if (style && style->alignment == ParagraphStyle::Alignment::Justified)
        kernText(storage.get(), length);
    return storage;
}

void kernText(TextStorage* text, double toFitLength)
{
    if (!text)
        fail("oops, text storage was nil");
    const QList<LayoutManager*> managers = text->layoutManagers();
    LayoutManager* manager = managers.isEmpty() ? nullptr : managers.last();
    platform::TextContainer* container = manager ? manager->textContainer() : nullptr;
    if (!container)
        return;
    const double length = toFitLength;
    container->setContainerSize(QSizeF(length, kContainerHeight));

    const Range glyphs =
        manager->glyphRangeForBoundingRect(QRectF(0, 0, length, kContainerHeight), container);
    const qsizetype n = glyphs.length;
    // One glyph has no gap to spread into: it stays as it is.
    if (n < 2)
        return;
    const qsizetype gaps = n - 1;
    Range firstLine;
    const double used = manager->lineFragmentUsedRectForGlyphAtIndex(0, &firstLine).width();
    double kern = (length - used) / double(gaps);
    // A paragraph wrapped onto more lines does not fit either: squeeze it.
    if (kern <= 0 || wrapsAfterFirstLine(*manager, text->string(), firstLine, glyphs)) {
        const QSizeF natural = text->attributedString().size();
        kern = (length - natural.width()) / double(gaps);
        kern = std::max(kern, -0.15 * natural.height());
    }
    // The layout adds the kerning after each character it is set on; leaving it off the
    // last glyph's characters puts it in the n - 1 gaps only, so the last glyph ends
    // where the line does.
    const Range characters = manager->characterRangeForGlyphRange(Range(glyphs.location, gaps));
    text->addAttribute(platform::KernAttributeName, double(float(kern)), characters);
}

// --- The glyph layout ------------------------------------------------------------------

bool layoutStringOnPath(const BezierPath& path, TextStorage* string, double xOffset, double yOffset,
                        PTTextOnPathPlacement* usingLayoutHelper, LayoutManager* layoutManager,
                        QVariantMap* cache)
{
    if (path.elementCount() < 2 || !string || string->length() == 0)
        return false;
    if (!usingLayoutHelper)
        fail(" cannot proceed without a valid helper object");
    if (!layoutManager)
        fail("cannot proceed without a valid layout manager");
    PTTextOnPathPlacement& helper = *usingLayoutHelper;

    // One line only: whatever does not fit the path is clipped, not wrapped.
    if (std::optional<ParagraphStyle> style = paragraphStyleAt(string->attributedString(), 0)) {
        style->lineBreakMode = ParagraphStyle::LineBreakMode::Clipping;
        string->addAttribute(platform::ParagraphStyleAttributeName, QVariant::fromValue(*style),
                             Range(0, string->length()));
    }

    const platform::TextContainer* container = layoutManager->textContainer();
    const QSizeF containerSize = container ? container->containerSize() : QSizeF();
    const Range glyphs =
        layoutManager->glyphRangeForBoundingRect(QRectF(QPointF(0, 0), containerSize), container);

    const quint32 checksum = LBPathEditing::checksum(path);
    const AttributedString text = string->attributedString();
    if (cache && cacheMatches(*cache, checksum, text, xOffset)) {
        const QList<PTPathGlyphInfo> placed =
            cache->value(PTTextOnPathGlyphPositions).value<QList<PTPathGlyphInfo>>();
        for (const PTPathGlyphInfo& info : placed)
            helper.layoutManager(layoutManager, info.glyphIndex(), info.point(), info.slope(),
                                 yOffset);
        return cache->value(PTTextOnPathTextFitted).toBool();
    }

    QList<PTPathGlyphInfo> placed;
    bool fitted = true;
    for (qsizetype g = glyphs.location; g < glyphs.end(); ++g) {
        const QRectF fragment = layoutManager->lineFragmentRectForGlyphAtIndex(g);
        const QPointF location = layoutManager->locationForGlyphAtIndex(g);
        if (fragment.y() > 0) { // a second line
            fitted = false;
            break;
        }
        const QRectF bounds = layoutManager->boundingRectForGlyphRange(Range(g, 1), container);
        const double half = bounds.width() * 0.5;
        const double height = bounds.height();
        if (half <= 0)
            continue;
        // The distance along the path of the glyph's horizontal centre, and the path from
        // there on.
        const double centre = location.x() + fragment.x() + half + xOffset;
        const std::optional<LBPathGeometry::PathCut> rest =
            LBPathGeometry::cutAtLength(path, centre, 0.1);
        double remaining = rest ? rest->remainingLength : 0.0;
        if (rest && std::abs(half - remaining) <= 1e-6 * std::max(remaining, 1.0)) {
            // Too close to tell apart from rounding: the rest of the path measured itself.
            remaining = LBPathGeometry::length(
                LBPathGeometry::bezierPathByTrimmingFromLength(path, centre, 0.1));
        }
        if (half > remaining) { // it would run past the path's end
            fitted = false;
            break;
        }
        const QPointF point = rest->point;
        const double slope = rest->slope;
        // Back by half the glyph along the path and off it by the glyph's height.
        const float normal = float(slope + LBPathGeometry::kQuarterTurn);
        const float along = float(slope);
        const QPointF place = point - height * QPointF(std::cos(normal), std::sin(normal))
                              - half * QPointF(std::cos(along), std::sin(along));
        placed.append(PTPathGlyphInfo(g, place, slope));
        helper.layoutManager(layoutManager, g, place, slope, yOffset);
    }

    if (cache) {
        cache->insert(PTTextOnPathChecksum, checksum);
        cache->insert(PTTextOnPathText, QVariant::fromValue(text));
        cache->insert(PTTextOnPathXOffset, xOffset);
        cache->insert(PTTextOnPathGlyphPositions, QVariant::fromValue(placed));
        cache->insert(PTTextOnPathTextFitted, fitted);
    }
    return fitted;
}

// --- Entry points ----------------------------------------------------------------------------

QList<BezierPath> bezierPathsWithGlyphsOnPath(const BezierPath& path, const AttributedString& text,
                                              double xOffset, double yOffset)
{
    PTTextOnPathGlyphAccumulator accumulator;
    LayoutManager* manager = textOnPathLayoutManager();
    const std::unique_ptr<TextStorage> storage =
        preadjustedTextStorageWithString(path, &text, manager);
    layoutStringOnPath(path, storage.get(), xOffset, yOffset, &accumulator, manager, nullptr);
    return accumulator.glyphs();
}

BezierPath bezierPathWithTextOnPath(const BezierPath& path, const AttributedString& text,
                                    double xOffset, double yOffset)
{
    BezierPath result;
    for (const BezierPath& glyph : bezierPathsWithGlyphsOnPath(path, text, xOffset, yOffset))
        result.appendBezierPath(glyph);
    return result;
}

BezierPath bezierPathWithStringOnPath(const BezierPath& path, const QString& string,
                                      const QVariantMap& attributes)
{
    return bezierPathWithTextOnPath(path, AttributedString(string, attributes), 0, 0);
}

bool drawTextOnPath(const BezierPath& path, const AttributedString& text, double xOffset,
                    double yOffset, LayoutManager* layoutManager, QVariantMap* cache)
{
    if (cache) {
        const quint32 stored = cache->value(PTTextOnPathChecksum).toUInt();
        const quint32 checksum = LBPathEditing::checksum(path);
        if (stored != checksum) {
            if (cache->contains(PTTextOnPathChecksum))
                cache->clear();
            cache->insert(PTTextOnPathChecksum, checksum);
        }
    }
    LayoutManager* shared = textOnPathLayoutManager();
    LayoutManager* manager = layoutManager ? layoutManager : shared;
    std::unique_ptr<TextStorage> storage = preadjustedTextStorageWithString(path, &text, manager);
    drawUnderlinePathForLayoutManager(path, manager, yOffset, cache);
    // The glyphs themselves are drawn without underline.
    storage->removeAttribute(platform::UnderlineStyleAttributeName, Range(0, storage->length()));

    PTTextOnPathGlyphDrawer drawer;
    const bool fitted =
        layoutStringOnPath(path, storage.get(), xOffset, yOffset, &drawer, manager, cache);

    if (manager == shared) {
        // The text as the caller gave it, underline included, for the strikethrough hook.
        storage = preadjustedTextStorageWithString(path, &text, manager);
        drawStrikethroughPathForLayoutManager(path, manager, yOffset, cache);
    }
    return fitted;
}

bool drawStringOnPath(const BezierPath& path, const QString& string,
                      const std::optional<QVariantMap>& attributes)
{
    QVariantMap used;
    if (attributes) {
        used = *attributes;
    } else {
        QFont font(QStringLiteral("Helvetica"));
        font.setPointSizeF(12);
        used.insert(platform::FontAttributeName, font);
    }
    return drawTextOnPath(path, AttributedString(string, used), 0, 0);
}

} // namespace LBPathText
