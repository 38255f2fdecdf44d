#include "platform/text/LayoutManager.h"

#include "platform/drawing/Shadow.h"
#include "platform/text/GlyphOutlines.h"
#include "platform/text/LayoutManager+Layout.h"
#include "platform/text/TextStorage.h"

#include <QColor>
#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QRawFont>
#include <QTransform>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <optional>

namespace platform {

namespace {

// How a stretch of glyphs is drawn; glyphs in a row with the same style are drawn as one.
struct GlyphStyle
{
    int font = -1;
    int line = -1; // -1 for a style that draws nothing along its lines (see lineOf())
    QColor color;
    bool underline = false;
    bool strikethrough = false;
    qreal strokeWidth = 0; // percent of the point size, as the attribute gives it
    QColor strokeColor;
    qreal pointSize = 12;
    std::optional<Shadow> shadow;

    bool operator==(const GlyphStyle&) const = default;

    // The line of a stretch in this style. Underline, strikethrough and shadow are drawn
    // along each line of their own; glyphs without them go on from one line to the next
    // as one stretch (a label's lines are drawn at once, and a PDF writes one text object
    // for them instead of one a line).
    int lineOf(int glyphLine) const
    {
        return underline || strikethrough || shadow || strokeWidth != 0 ? glyphLine : -1;
    }
};

QColor colorValue(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<QColor>() ? value.value<QColor>() : QColor();
}

// One pass of a box blur of the given radius along rows (or columns) of a premultiplied
// image, with the edges treated as transparent.
void boxBlurPass(QImage& image, int radius, bool vertical)
{
    const int width = image.width();
    const int height = image.height();
    const int lines = vertical ? width : height;
    const int length = vertical ? height : width;
    const int window = 2 * radius + 1;
    QList<QRgb> source(length);
    for (int lineIndex = 0; lineIndex < lines; ++lineIndex) {
        auto pixel = [&](int i) -> QRgb& {
            return vertical ? reinterpret_cast<QRgb*>(image.scanLine(i))[lineIndex]
                            : reinterpret_cast<QRgb*>(image.scanLine(lineIndex))[i];
        };
        for (int i = 0; i < length; ++i)
            source[i] = pixel(i);
        int sum[4] = {0, 0, 0, 0};
        auto add = [&](int i, int sign) {
            if (i < 0 || i >= length)
                return;
            const QRgb p = source.at(i);
            sum[0] += sign * qAlpha(p);
            sum[1] += sign * qRed(p);
            sum[2] += sign * qGreen(p);
            sum[3] += sign * qBlue(p);
        };
        for (int i = -radius; i <= radius; ++i)
            add(i, 1);
        for (int i = 0; i < length; ++i) {
            pixel(i) = qRgba(sum[1] / window, sum[2] / window, sum[3] / window, sum[0] / window);
            add(i - radius, -1);
            add(i + radius + 1, 1);
        }
    }
}

// Paints the shadow of shape: offset, blurred and in the shadow's colour, under whatever
// is drawn next. The blur is made at the painter's device resolution.
void drawShadow(QPainter& painter, const QPainterPath& shape, const Shadow& shadow)
{
    const QPainterPath moved = shape.translated(shadow.offset.width(), shadow.offset.height());
    if (shadow.blurRadius <= 0) {
        painter.fillPath(moved, shadow.color);
        return;
    }
    const QTransform toDevice = painter.worldTransform();
    const qreal scale = std::sqrt(std::abs(toDevice.determinant()));
    // Three box passes approximate a Gaussian whose deviation is half the blur radius.
    const qreal sigma = shadow.blurRadius * scale / 2;
    const int box = std::max(1, qRound((std::sqrt(4 * sigma * sigma + 1) - 1) / 2));
    const int margin = 3 * box + 2;
    const QRect area = toDevice.map(moved).boundingRect().toAlignedRect().adjusted(-margin, -margin,
                                                                                   margin, margin);
    if (area.isEmpty() || qint64(area.width()) * area.height() > 64 * 1024 * 1024)
        return;
    QImage layer(area.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter layerPainter(&layer);
        layerPainter.setRenderHint(QPainter::Antialiasing);
        layerPainter.translate(-area.topLeft());
        layerPainter.setTransform(toDevice, true);
        layerPainter.fillPath(moved, shadow.color);
    }
    for (int pass = 0; pass < 3; ++pass) {
        boxBlurPass(layer, box, false);
        boxBlurPass(layer, box, true);
    }
    painter.save();
    painter.setWorldTransform(QTransform());
    painter.drawImage(area.topLeft(), layer);
    painter.restore();
}

// The style of the glyphs of a run with these attributes. It is read once for a map: the
// labels of a printed sheet draw runs that share theirs. (The map is held, so its data
// cannot come back as another's.)
GlyphStyle styleOf(const QVariantMap& attributes)
{
    using Layout = LayoutManager::Layout;
    thread_local std::optional<std::pair<QVariantMap, GlyphStyle>> last;
    if (last && last->first.isSharedWith(attributes))
        return last->second;
    GlyphStyle style;
    style.color = colorValue(attributes.value(ForegroundColorAttributeName));
    if (!style.color.isValid())
        style.color = Qt::black;
    style.underline = attributes.value(UnderlineStyleAttributeName).toInt() != 0;
    style.strikethrough = attributes.value(StrikethroughStyleAttributeName).toInt() != 0;
    style.strokeWidth = Layout::number(attributes, StrokeWidthAttributeName, 1000);
    style.strokeColor = colorValue(attributes.value(StrokeColorAttributeName));
    style.pointSize = Layout::pointSize(attributes);
    const QVariant shadow = attributes.value(ShadowAttributeName);
    if (shadow.metaType() == QMetaType::fromType<Shadow>()) {
        Shadow sane = shadow.value<Shadow>();
        sane.offset = QSizeF(Layout::sane(sane.offset.width(), Layout::MaximumLength),
                             Layout::sane(sane.offset.height(), Layout::MaximumLength));
        sane.blurRadius = Layout::sane(sane.blurRadius, 1000);
        style.shadow = sane;
    }
    last.emplace(attributes, style);
    return style;
}

} // namespace

void LayoutManager::drawGlyphsForGlyphRange(const Range& glyphRange, const QPointF& origin,
                                            QPainter& painter) const
{
    const Layout& l = layout();
    if (!_textStorage)
        return;
    const Range glyphs = glyphRange.clampedTo(l.glyphsInContainer);
    if (glyphs.isEmpty())
        return;
    const AttributedString& text = _textStorage->attributedString();

    GlyphStyle style;
    // The stretch's glyphs, drawn from here (a label's lines fit without an allocation).
    QVarLengthArray<quint32, 128> ids;
    QVarLengthArray<QPointF, 128> positions;
    QGlyphRun run;
    qreal runLeft = 0;
    qreal runRight = 0;
    qreal baseline = 0;
    std::optional<QColor> penColor; // the colour of the pen this has set

    auto flush = [&] {
        if (ids.isEmpty())
            return;
        const QRawFont& font = l.fonts.at(style.font);
        QPainterPath outlines;
        if (style.shadow || style.strokeWidth != 0) {
            for (qsizetype k = 0; k < ids.size(); ++k)
                outlines.addPath(glyphOutline(font, ids.at(k)).translated(positions.at(k)));
        }
        // Underline and strikethrough as rectangles, so they take shadow and stroke too.
        QPainterPath lines;
        const qreal thickness = std::max(font.lineThickness(), qreal(0.05));
        if (style.underline)
            lines.addRect(QRectF(runLeft, baseline + font.underlinePosition() - thickness / 2,
                                 runRight - runLeft, thickness));
        if (style.strikethrough)
            lines.addRect(QRectF(runLeft, baseline - font.xHeight() / 2 - thickness / 2,
                                 runRight - runLeft, thickness));
        if (style.shadow)
            drawShadow(painter, outlines.united(lines), *style.shadow);
        if (style.strokeWidth == 0) {
            run.setRawFont(font);
            run.setRawData(ids.constData(), positions.constData(), int(ids.size()));
            // (A pen made for every stretch would cost as much as the stretch's glyphs.)
            if (!penColor || *penColor != style.color) {
                painter.setPen(style.color);
                penColor = style.color;
            }
            painter.drawGlyphRun(QPointF(0, 0), run);
            // (An empty fill would still set the pen and brush of a PDF page twice.)
            if (!lines.isEmpty())
                painter.fillPath(lines, style.color);
        } else {
            QPainterPath shape = outlines;
            shape.addPath(lines);
            if (style.strokeWidth < 0)
                painter.fillPath(shape, style.color);
            const QColor strokeColor =
                style.strokeColor.isValid() ? style.strokeColor : style.color;
            painter.strokePath(
                shape, QPen(strokeColor, std::abs(style.strokeWidth) * style.pointSize / 100));
        }
        ids.clear();
        positions.clear();
    };

    // The pen and the smoothing are all this changes of the painter (shadows keep their
    // own state): they are put back by hand, which spares a label on a printed sheet a
    // save and restore of the whole painter state for each text box.
    const QPen keptPen = painter.pen();
    const bool keptSmoothing = painter.testRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::Antialiasing);
    // The attributes change by runs of characters, and glyphs come in character order:
    // the style is worked out once per run.
    GlyphStyle runStyle;
    qsizetype runEnd = -1;       // the end of the characters runStyle holds for
    qsizetype temporaryEnd = -1; // ... and of the temporary colour it took
    // Whether runStyle may differ from the style of the glyphs gathered: only then are the
    // whole styles compared (a glyph of the same run differs by font and line alone).
    bool runStyleChanged = true;
    const Layout::Glyph* const all = l.glyphs.constData();
    for (qsizetype g = glyphs.location; g < glyphs.end(); ++g) {
        const Layout::Glyph& glyph = all[g];
        if (!glyph.shown)
            continue;
        const Layout::Line& line = l.lines.at(glyph.line);
        if (glyph.character >= runEnd || glyph.character >= temporaryEnd) {
            runStyleChanged = true;
            Range attributesRange;
            Range temporaryRange;
            const QVariantMap attributes =
                text.attributesAtIndex(glyph.character, &attributesRange);
            const QVariantMap temporary =
                temporaryAttributesAtCharacterIndex(glyph.character, &temporaryRange);
            runEnd = std::max(attributesRange.end(), glyph.character + 1);
            temporaryEnd = std::max(temporaryRange.end(), glyph.character + 1);
            runStyle = styleOf(attributes);
            const QColor temporaryColor = colorValue(temporary.value(ForegroundColorAttributeName));
            if (temporaryColor.isValid())
                runStyle.color = temporaryColor;
        }
        const QPointF lineOrigin = origin + line.fragment.topLeft();
        const QPointF position = lineOrigin + glyph.location;
        const int stretchLine = runStyle.lineOf(glyph.line);
        bool sameStyle = !ids.isEmpty() && glyph.font == style.font && stretchLine == style.line;
        if (sameStyle && runStyleChanged) {
            GlyphStyle next = runStyle;
            next.font = glyph.font;
            next.line = stretchLine;
            sameStyle = next == style;
        }
        if (!sameStyle) {
            flush();
            style = runStyle;
            style.font = glyph.font;
            style.line = stretchLine;
            runLeft = lineOrigin.x() + glyph.left;
            runRight = lineOrigin.x() + glyph.right;
            baseline = lineOrigin.y() + line.baseline;
        }
        runStyleChanged = false;
        runLeft = std::min(runLeft, lineOrigin.x() + glyph.left);
        runRight = std::max(runRight, lineOrigin.x() + glyph.right);
        ids.append(glyph.glyph);
        positions.append(position);
    }
    flush();
    painter.setPen(keptPen);
    if (!keptSmoothing)
        painter.setRenderHint(QPainter::Antialiasing, false);
}

} // namespace platform
