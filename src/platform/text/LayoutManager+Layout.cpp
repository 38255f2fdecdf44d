// The typesetter: breaks the text into paragraphs, lays each out with QTextLayout, and
// turns the result into glyphs that know their characters.
//
// QTextLayout tells which glyphs a range of characters produced (QTextLine::glyphRuns with
// a character range) but not, glyph by glyph, which characters they came from. So the
// text is walked one grapheme cluster at a time and each cluster asks for its own glyphs:
// a cluster that gets glyphs no earlier cluster got owns them; a cluster that only gets
// the glyphs of the cluster before it is part of a ligature and joins that glyph; a
// cluster that gets none (tab, line separator, other controls) gets a glyph that is not
// shown. Each cluster's run also carries its bounding rectangle, whose width is the
// cluster's advance (including letter spacing and justification), which gives each
// glyph its span across the line.

#include "platform/text/LayoutManager+Layout.h"

#include "platform/text/AttributedString.h"

#include <QGlyphRun>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QTextOption>

#include <algorithm>
#include <cmath>
#include <limits>

namespace platform {

namespace {

// QTextLayout lines cannot be wider than its fixed-point numbers hold.
constexpr qreal MaximumLineWidth = 16000000;
// Tab stops every 28 points, as the documents were laid out with.
constexpr qreal TabStopDistance = 28;

// Fonts given to QTextLayout without a paint device are sized for this resolution. Letter
// spacing only works at that resolution (QTextLayout scales it by the integer quotient of
// the two resolutions), so instead of a 72-dpi device the point sizes are scaled so that
// one pixel of the layout is one point.
qreal layoutResolution()
{
    static const qreal resolution = [] {
        QFont probe;
        probe.setPointSizeF(720);
        const qreal pixels = QRawFont::fromFont(probe).pixelSize();
        if (pixels > 0)
            return pixels / 10;
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            return qreal(qRound(screen->logicalDotsPerInchY()));
        return qreal(96);
    }();
    return resolution;
}

bool isParagraphBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator;
}

// The paragraph's direction is decided here: the first strong character decides a
// natural direction.
QTextOption textOption(const ParagraphStyle& style, bool rightToLeft)
{
    QTextOption option;
    switch (style.alignment) {
    case ParagraphStyle::Alignment::Left:
        option.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
        break;
    case ParagraphStyle::Alignment::Right:
        option.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
        break;
    case ParagraphStyle::Alignment::Center: option.setAlignment(Qt::AlignHCenter); break;
    case ParagraphStyle::Alignment::Justified: option.setAlignment(Qt::AlignJustify); break;
    case ParagraphStyle::Alignment::Natural: // QTextLayout does not mirror alignment itself
        option.setAlignment(rightToLeft ? Qt::AlignRight : Qt::AlignLeft);
        break;
    }
    option.setTextDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    switch (style.lineBreakMode) {
    case ParagraphStyle::LineBreakMode::WordWrapping:
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        break;
    case ParagraphStyle::LineBreakMode::CharWrapping:
        option.setWrapMode(QTextOption::WrapAnywhere);
        break;
    default: option.setWrapMode(QTextOption::NoWrap); break;
    }
    option.setUseDesignMetrics(true);
    option.setTabStopDistance(TabStopDistance);
    return option;
}

bool isRightToLeft(const ParagraphStyle& style, const QString& text)
{
    switch (style.baseWritingDirection) {
    case ParagraphStyle::WritingDirection::LeftToRight: return false;
    case ParagraphStyle::WritingDirection::RightToLeft: return true;
    case ParagraphStyle::WritingDirection::Natural: break;
    }
    return text.isRightToLeft();
}

qreal baselineOffset(const QVariantMap& attributes)
{
    return LayoutManager::Layout::number(attributes, BaselineOffsetAttributeName,
                                         LayoutManager::Layout::MaximumPointSize);
}

// Lays out one paragraph (or the empty line after a final break) and appends its lines
// and glyphs to the layout.
class ParagraphTypesetter
{
public:
    ParagraphTypesetter(LayoutManager::Layout& layout, const AttributedString& text,
                        const QSizeF& containerSize, qreal padding, bool hasContainer, qreal& y,
                        bool& full)
        : _layout(layout),
          _text(text),
          _string(text.string()),
          _containerSize(containerSize),
          _padding(padding),
          _hasContainer(hasContainer),
          _y(y),
          _full(full)
    {}

    // Characters [start, contentEnd) are the paragraph, [contentEnd, end) its break.
    void typeset(qsizetype start, qsizetype contentEnd, qsizetype end)
    {
        // The paragraph's first character decides its style and, for an empty paragraph,
        // the break does.
        const QVariantMap first = _text.attributesAtIndex(start);
        const ParagraphStyle style = LayoutManager::Layout::paragraphStyle(first);
        const QString content = _string.mid(start, contentEnd - start);

        QTextLayout textLayout(content, LayoutManager::Layout::layoutFont(first));
        QList<QTextLayout::FormatRange> formats;
        auto addFormat = [&](const QVariantMap& attributes, const Range& run, bool&) {
            QTextLayout::FormatRange format;
            format.start = int(run.location - start);
            format.length = int(run.length);
            format.format.setFont(LayoutManager::Layout::layoutFont(attributes),
                                  QTextCharFormat::FontPropertiesAll);
            formats.append(format);
        };
        _text.enumerateAttributesInRange(Range(start, contentEnd - start), addFormat);
        const bool rightToLeft = isRightToLeft(style, content);
        textLayout.setFormats(formats);
        textLayout.setTextOption(textOption(style, rightToLeft));

        QList<qreal> lineOrigins; // x of each QTextLine's origin in the container
        textLayout.beginLayout();
        for (;;) {
            QTextLine line = textLayout.createLine();
            if (!line.isValid())
                break;
            const qreal available = _containerSize.width() - 2 * _padding;
            const qreal head =
                line.lineNumber() == 0 ? style.firstLineHeadIndent : style.headIndent;
            const qreal trailingEdge =
                style.tailIndent > 0 ? style.tailIndent : available + style.tailIndent;
            const qreal width = std::clamp(trailingEdge - head, qreal(0), MaximumLineWidth);
            line.setLineWidth(width);
            line.setPosition(QPointF(0, 0));
            // The leading margin is on the right in right-to-left paragraphs.
            lineOrigins.append(_padding + (rightToLeft ? available - trailingEdge : head));
        }
        textLayout.endLayout();

        _clusters = QTextBoundaryFinder(QTextBoundaryFinder::Grapheme, content);
        for (int i = 0; i < textLayout.lineCount(); ++i) {
            QTextLine line = textLayout.lineAt(i);
            const bool last = i + 1 == textLayout.lineCount();
            addLine(line, lineOrigins.at(i), start, content.size(), last ? contentEnd : -1,
                    last ? end : -1);
        }
    }

    // The line for the insertion point after a final break or in empty text.
    void typesetExtraLine(const QVariantMap& attributes)
    {
        const ParagraphStyle style = LayoutManager::Layout::paragraphStyle(attributes);
        QTextLayout textLayout(QString(), LayoutManager::Layout::layoutFont(attributes));
        textLayout.setTextOption(textOption(style, isRightToLeft(style, QString())));
        textLayout.beginLayout();
        QTextLine line = textLayout.createLine();
        const qreal available = _containerSize.width() - 2 * _padding;
        const qreal trailingEdge =
            style.tailIndent > 0 ? style.tailIndent : available + style.tailIndent;
        line.setLineWidth(
            std::clamp(trailingEdge - style.firstLineHeadIndent, qreal(0), MaximumLineWidth));
        line.setPosition(QPointF(0, 0));
        textLayout.endLayout();

        const qreal height = line.ascent() + line.descent() + line.leading();
        if (_full || !_hasContainer || _y + height > _containerSize.height())
            return;
        const qreal x = _padding + style.firstLineHeadIndent + line.cursorToX(0);
        _layout.hasExtraFragment = true;
        _layout.extraFragment = QRectF(0, _y, _containerSize.width(), height + style.lineSpacing);
        _layout.extraUsed = QRectF(x - _padding, _y, 2 * _padding, height);
        _y += height + style.lineSpacing;
    }

private:
    struct Key
    {
        int font;
        quint32 glyph;
        QPointF position;
        bool operator==(const Key& other) const
        {
            return font == other.font && glyph == other.glyph
                   && qAbs(position.x() - other.position.x()) < 1e-4
                   && qAbs(position.y() - other.position.y()) < 1e-4;
        }
    };

    int fontIndex(const QRawFont& font)
    {
        const qsizetype found = _layout.fonts.indexOf(font);
        if (found >= 0)
            return int(found);
        _layout.fonts.append(font);
        return int(_layout.fonts.size() - 1);
    }

    qsizetype addGlyph(quint32 glyph, int font, qsizetype character, qreal x, qreal relativeY,
                       qreal left, qreal right, bool shown)
    {
        LayoutManager::Layout::Glyph entry;
        entry.glyph = glyph;
        entry.font = font;
        entry.character = character;
        entry.line = int(_layout.lines.size());
        // y relative to the baseline for now; the line's ascent is added at the end.
        entry.location = QPointF(x, relativeY);
        entry.left = left;
        entry.right = right;
        entry.shown = shown;
        _layout.glyphs.append(entry);
        return _layout.glyphs.size() - 1;
    }

    // paragraphStart: the paragraph's first character in the text; breakStart/breakEnd:
    // the paragraph's break when this is its last line (-1 otherwise).
    void addLine(QTextLine& line, qreal origin, qsizetype paragraphStart, qsizetype contentLength,
                 qsizetype breakStart, qsizetype breakEnd)
    {
        const qsizetype firstGlyph = _layout.glyphs.size();
        const int lineStart = line.textStart();
        const int lineEnd = lineStart + line.textLength();
        const qreal qtBaseline = line.y() + line.ascent();

        qreal ascent = line.ascent();
        qreal descent = line.descent();

        QList<std::pair<Key, qsizetype>> previous; // the glyphs the last cluster got
        int clusterStart = lineStart;
        while (clusterStart < lineEnd) {
            _clusters.setPosition(clusterStart);
            int clusterEnd = int(_clusters.toNextBoundary());
            if (clusterEnd < 0 || clusterEnd > lineEnd)
                clusterEnd = lineEnd;
            const qsizetype character = paragraphStart + clusterStart;
            const QVariantMap attributes = _text.attributesAtIndex(character);
            const qreal offset = baselineOffset(attributes);

            QList<Key> keys;
            qreal left = std::numeric_limits<qreal>::max();
            qreal right = std::numeric_limits<qreal>::lowest();
            const QList<QGlyphRun> runs = line.glyphRuns(clusterStart, clusterEnd - clusterStart);
            for (const QGlyphRun& run : runs) {
                const QList<quint32> ids = run.glyphIndexes();
                if (ids.isEmpty())
                    continue;
                const int font = fontIndex(run.rawFont());
                const QList<QPointF> positions = run.positions();
                for (qsizetype k = 0; k < ids.size(); ++k)
                    keys.append(Key{font, ids.at(k), positions.value(k)});
                left = std::min(left, run.boundingRect().left());
                right = std::max(right, run.boundingRect().right());
                if (offset != 0) {
                    ascent = std::max(ascent, run.rawFont().ascent() + offset);
                    descent = std::max(descent, run.rawFont().descent() - offset);
                }
            }

            qsizetype owner = -1;
            if (keys.isEmpty()) {
                // Nothing drawn for these characters: a glyph that is not shown, as wide
                // as the room they take (a tab's advance, nothing for a break).
                const qreal x0 = line.cursorToX(clusterStart);
                const qreal x1 = line.cursorToX(clusterEnd);
                owner = addGlyph(0, -1, character, origin + std::min(x0, x1), 0,
                                 origin + std::min(x0, x1), origin + std::max(x0, x1), false);
                previous.clear();
            } else {
                QList<std::pair<Key, qsizetype>> current;
                for (const Key& key : keys) {
                    const auto seen =
                        std::find_if(previous.cbegin(), previous.cend(),
                                     [&](const auto& entry) { return entry.first == key; });
                    if (seen != previous.cend()) {
                        current.append(*seen);
                        continue;
                    }
                    const bool firstNew = owner < 0;
                    const qreal x = origin + key.position.x();
                    const qsizetype index = addGlyph(
                        key.glyph, key.font, character, x, key.position.y() - qtBaseline - offset,
                        firstNew ? origin + left : x, firstNew ? origin + right : x, true);
                    if (firstNew)
                        owner = index;
                    current.append({key, index});
                }
                if (owner < 0) {
                    // Only glyphs of the cluster before: part of the same ligature.
                    owner = current.constFirst().second;
                    auto& glyph = _layout.glyphs[owner];
                    glyph.left = std::min(glyph.left, origin + left);
                    glyph.right = std::max(glyph.right, origin + right);
                }
                previous = current;
            }
            for (int c = clusterStart; c < clusterEnd; ++c)
                _layout.glyphForCharacter[paragraphStart + c] = owner;
            clusterStart = clusterEnd;
        }

        if (breakStart >= 0) {
            const qreal x = origin + line.cursorToX(int(contentLength));
            for (qsizetype c = breakStart; c < breakEnd; ++c)
                _layout.glyphForCharacter[c] = addGlyph(0, -1, c, x, 0, x, x, false);
        }

        // The line's place in the container.
        const ParagraphStyle style =
            LayoutManager::Layout::paragraphStyle(_text.attributesAtIndex(paragraphStart));
        const qreal height = ascent + descent + line.leading();
        LayoutManager::Layout::Line entry;
        entry.glyphs = Range(firstGlyph, _layout.glyphs.size() - firstGlyph);
        entry.baseline = ascent;
        entry.inContainer = _hasContainer && !_full && _y + height <= _containerSize.height();
        if (!entry.inContainer)
            _full = true;
        entry.fragment = QRectF(0, _y, _containerSize.width(), height + style.lineSpacing);

        // Used: the glyphs up to the last one that is not trailing white space.
        qsizetype lastUsed = entry.glyphs.end() - 1;
        while (lastUsed >= firstGlyph) {
            const auto& glyph = _layout.glyphs.at(lastUsed);
            if (glyph.shown && !_string.at(glyph.character).isSpace())
                break;
            --lastUsed;
        }
        qreal usedLeft = std::numeric_limits<qreal>::max();
        qreal usedRight = std::numeric_limits<qreal>::lowest();
        for (qsizetype g = firstGlyph; g <= lastUsed; ++g) {
            usedLeft = std::min(usedLeft, _layout.glyphs.at(g).left);
            usedRight = std::max(usedRight, _layout.glyphs.at(g).right);
        }
        if (usedLeft > usedRight) // nothing drawn: the insertion point's place
            usedLeft = usedRight = origin + line.cursorToX(lineStart);
        entry.used = QRectF(usedLeft - _padding, _y, usedRight - usedLeft + 2 * _padding, height);

        for (qsizetype g = firstGlyph; g < _layout.glyphs.size(); ++g)
            _layout.glyphs[g].location.ry() += ascent;
        _layout.lines.append(entry);
        if (entry.inContainer)
            _y += entry.fragment.height();
    }

    LayoutManager::Layout& _layout;
    const AttributedString& _text;
    const QString _string;
    QSizeF _containerSize;
    qreal _padding;
    bool _hasContainer;
    qreal& _y;
    bool& _full;
    QTextBoundaryFinder _clusters;
};

} // namespace

void LayoutManager::Layout::typeset(const AttributedString& text, const QSizeF& containerSize,
                                    qreal padding, bool hasContainer)
{
    *this = Layout();
    valid = true;
    // Any height goes (lines stop at it); the width must stay within what QTextLayout can
    // lay out.
    const qreal width = containerSize.width();
    const qreal height = containerSize.height();
    const QSizeF size(std::isnan(width) ? 0 : std::clamp(width, qreal(0), MaximumLineWidth),
                      std::isnan(height) ? 0 : std::max(height, qreal(0)));
    padding = std::max(sane(padding, MaximumLength), qreal(0));
    const QString string = text.string();
    const qsizetype length = string.size();
    glyphForCharacter.resize(length);

    qreal y = 0;
    bool full = false;
    ParagraphTypesetter typesetter(*this, text, size, padding, hasContainer, y, full);
    qsizetype start = 0;
    while (start < length) {
        const Range paragraph = text.paragraphRange(start);
        qsizetype contentEnd = paragraph.end();
        while (contentEnd > paragraph.location && isParagraphBreak(string.at(contentEnd - 1)))
            --contentEnd;
        typesetter.typeset(paragraph.location, contentEnd, paragraph.end());
        start = paragraph.end();
    }
    if (length == 0 || isParagraphBreak(string.at(length - 1)))
        typesetter.typesetExtraLine(length > 0 ? text.attributesAtIndex(length - 1)
                                               : QVariantMap());

    for (const Line& line : std::as_const(lines)) {
        if (!line.inContainer)
            break;
        glyphsInContainer = line.glyphs.end();
        usedRect = usedRect.isNull() ? line.used : usedRect.united(line.used);
    }
    if (hasExtraFragment)
        usedRect = usedRect.isNull() ? extraUsed : usedRect.united(extraUsed);
}

Range LayoutManager::Layout::characterRangeOfGlyph(qsizetype g, qsizetype textLength) const
{
    const qsizetype first = glyphs.at(g).character;
    qsizetype next = g + 1;
    while (next < glyphs.size() && glyphs.at(next).character == first)
        ++next;
    const qsizetype end = next < glyphs.size() ? glyphs.at(next).character : textLength;
    return Range(first, end - first);
}

QFont LayoutManager::Layout::layoutFont(const QVariantMap& attributes)
{
    const QVariant value = attributes.value(FontAttributeName);
    QFont font = value.canConvert<QFont>() && value.metaType() == QMetaType::fromType<QFont>()
                     ? value.value<QFont>()
                     : AttributedString::defaultFont();
    font.setPointSizeF(pointSize(attributes) * 72 / layoutResolution());
    font.setHintingPreference(QFont::PreferNoHinting);
    if (attributes.contains(KernAttributeName)) {
        const qreal amount = number(attributes, KernAttributeName, MaximumPointSize);
        if (amount == 0)
            font.setKerning(false);
        else
            font.setLetterSpacing(QFont::AbsoluteSpacing, amount);
    }
    return font;
}

qreal LayoutManager::Layout::pointSize(const QVariantMap& attributes)
{
    const QVariant value = attributes.value(FontAttributeName);
    if (value.metaType() != QMetaType::fromType<QFont>())
        return 12;
    const QFont font = value.value<QFont>();
    if (font.pointSizeF() > 0)
        return std::min(font.pointSizeF(), MaximumPointSize);
    if (font.pixelSize() > 0)
        return std::min(qreal(font.pixelSize()), MaximumPointSize);
    return 12;
}

ParagraphStyle LayoutManager::Layout::paragraphStyle(const QVariantMap& attributes)
{
    const QVariant value = attributes.value(ParagraphStyleAttributeName);
    if (value.metaType() != QMetaType::fromType<ParagraphStyle>())
        return ParagraphStyle::defaultParagraphStyle();
    ParagraphStyle style = value.value<ParagraphStyle>();
    for (qreal* length :
         {&style.lineSpacing, &style.firstLineHeadIndent, &style.headIndent, &style.tailIndent})
        *length = sane(*length, MaximumLength);
    return style;
}

qreal LayoutManager::Layout::number(const QVariantMap& attributes, const QString& name, qreal limit)
{
    bool ok = false;
    const qreal value = attributes.value(name).toDouble(&ok);
    return ok ? sane(value, limit) : 0;
}

qreal LayoutManager::Layout::sane(qreal value, qreal limit)
{
    return std::isfinite(value) ? std::clamp(value, -limit, limit) : 0;
}

} // namespace platform
