// The typesetter: breaks the text into paragraphs, lays each out with QTextLayout, and
// turns the result into glyphs that know their characters.
//
// QTextLayout tells which glyphs a range of characters produced (QTextLine::glyphRuns with
// a character range) but not, glyph by glyph, which characters they came from, and every
// such question walks the paragraph from its start. So glyphs are fetched as seldom as can
// be. Most text is plain: left-to-right, each character a cluster of its own drawn with the
// glyph its font maps it to, so that glyphs and characters pair up in order. A plain
// paragraph that is not justified is fetched once, laid out on one line, and each of its
// lines takes its glyphs from there, moved to the line's start and alignment. Other
// paragraphs fetch each line's glyph runs once; a plain line pairs them with its
// characters, any other line is walked one grapheme cluster at a time, each cluster asking
// for its own glyphs: a cluster that gets glyphs no earlier cluster got owns them; a
// cluster that only gets the glyphs of the cluster before it is part of a ligature and
// joins that glyph; a cluster that gets none (tab, line separator, other controls, white
// space at the end of a line) gets a glyph that is not shown. A glyph spans its cluster's
// advance across the line (including letter spacing and justification).
//
// Lines break where their advances fill the width, as the used rect measures them. Qt
// breaks where the ink of a line's last glyph would pass the width, which keeps a glyph
// that overhangs its advance (a final "f") off a line its advances fit; a paragraph where
// that happened is laid out again, each line given the room of its overhang.

#include "platform/text/LayoutManager+Layout.h"

#include "platform/text/AttributedString.h"
#include "platform/text/GlyphOutlines.h"

#include <QGlyphRun>
#include <QGuiApplication>
#include <QScreen>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <QTextOption>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

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
    {
        _plain.swap(sparePlainGlyphs());
    }

    ParagraphTypesetter(const ParagraphTypesetter&) = delete;
    ParagraphTypesetter& operator=(const ParagraphTypesetter&) = delete;

    // The paragraph glyphs' memory is kept for the next layout on the thread, as the glyph
    // tables are (see SpareGlyphTables below).
    ~ParagraphTypesetter()
    {
        if (_plain.capacity() <= MaximumSparePlainGlyphs) {
            _plain.clear();
            _plain.swap(sparePlainGlyphs());
        }
    }

    // Characters [start, contentEnd) are the paragraph, [contentEnd, end) its break.
    void typeset(qsizetype start, qsizetype contentEnd, qsizetype end)
    {
        // The paragraph's first character decides its style and, for an empty paragraph,
        // the break does.
        const QVariantMap first = _text.attributesAtIndex(start);
        {
            Reading& reading = readingOf(first);
            _style = reading.style;
            _start = start;
            _content = _string.mid(start, contentEnd - start);
            _rightToLeft = isRightToLeft(_style, _content);
            std::optional<QTextOption>& option = reading.options[_rightToLeft ? 1 : 0];
            if (!option)
                option = textOption(_style, _rightToLeft);
            _option = *option;
        }

        _offsets.clear();
        _largestSize = 0;
        // The paragraph's attribute runs (read in a plain loop: a paragraph is laid out for
        // every label of a sheet, and most are one run).
        QVarLengthArray<std::pair<Range, QVariantMap>, 4> runs;
        const Range paragraph(start, contentEnd - start);
        for (qsizetype at = start; at < contentEnd;) {
            Range run;
            QVariantMap attributes = _text.attributesAtIndex(at, &run, paragraph);
            if (run.isEmpty())
                break;
            const Reading& reading = readingOf(attributes);
            _offsets.append({int(run.end() - start), reading.baselineOffset});
            _largestSize = std::max(_largestSize, reading.pointSize);
            runs.append({run, std::move(attributes)});
            at = run.end();
        }
        // A paragraph of one run is all in the layout's own font.
        QList<QTextLayout::FormatRange> formats;
        if (runs.size() > 1) {
            for (const auto& [run, attributes] : std::as_const(runs)) {
                QTextLayout::FormatRange format;
                format.start = int(run.location - start);
                format.length = int(run.length);
                format.format.setFont(fontFor(attributes), QTextCharFormat::FontPropertiesAll);
                formats.append(format);
            }
        }

        // What to take back when the paragraph is laid out again.
        const qsizetype glyphCount = _layout.glyphs.size();
        const qsizetype lineCount = _layout.lines.size();
        const qreal y = _y;
        const bool full = _full;
        for (bool byAdvances : {false, true}) {
            QTextLayout textLayout(_content, fontFor(first));
            // Keeps the shaped glyphs after endLayout(), which the glyph runs read.
            textLayout.setCacheEnabled(true);
            textLayout.setFormats(formats);
            textLayout.setTextOption(_option);
            const PlacedLines placed = placeLines(textLayout, byAdvances);

            _clusters.reset();
            for (qsizetype i = 0; i < placed.size(); ++i) {
                const bool last = i + 1 == placed.size();
                addLine(placed.at(i), last ? contentEnd : -1, last ? end : -1);
            }
            if (byAdvances || !brokeBeforeFittingText(placed, lineCount))
                break;
            _layout.glyphs.resize(glyphCount);
            _layout.lines.resize(lineCount);
            _y = y;
            _full = full;
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

        const qreal natural = line.ascent() + line.descent() + line.leading();
        const qreal height =
            style.lineHeightMultiple > 0 ? natural * style.lineHeightMultiple : natural;
        if (_full || !_hasContainer || _y + height > _containerSize.height())
            return;
        const qreal x = _padding + style.firstLineHeadIndent + line.cursorToX(0);
        _layout.hasExtraFragment = true;
        _layout.extraFragment = QRectF(0, _y, _containerSize.width(), height + style.lineSpacing);
        _layout.extraUsed = QRectF(x - _padding, _y, 2 * _padding, height);
        _y += height + style.lineSpacing;
    }

private:
    // A line QTextLayout made: where its origin lies in the container and how wide it is.
    struct PlacedLine
    {
        QTextLine line;
        qreal origin = 0;
        qreal width = 0;
        // A justified line given more width than its own, to be brought back to it.
        bool widened = false;
    };
    // (Most paragraphs of a label are a line or two: kept off the heap.)
    using PlacedLines = QVarLengthArray<PlacedLine, 4>;

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

    // Fixed-point rounding of QTextLayout's widths.
    static constexpr qreal WidthEpsilon = 1.0 / 64;

    // A width as QTextLayout takes it: in its fixed-point units, cut towards zero.
    static qreal fixed(qreal value) { return std::trunc(value * 64) / 64; }

    // Breaks the paragraph into lines; byAdvances lets each line take what its advances
    // fit (see fitByAdvances).
    PlacedLines placeLines(QTextLayout& textLayout, bool byAdvances)
    {
        PlacedLines placed;
        const bool wraps = _option.wrapMode() != QTextOption::NoWrap;
        // Lines below the container are not shown. Once one is surely there (the line
        // heights only grow when the line is added), the rest of the paragraph goes on
        // lines as wide as can be: breaking a long run without break opportunities into
        // lines of the box's width costs QTextLayout the rest of the run on every line,
        // which a record of a few hundred thousand letters made minutes.
        bool below = _hasContainer && _full;
        qreal y = _y;
        textLayout.beginLayout();
        for (;;) {
            QTextLine line = textLayout.createLine();
            if (!line.isValid())
                break;
            if (below) {
                line.setLineWidth(MaximumLineWidth);
                line.setPosition(QPointF(0, 0));
                placed.append({line, _padding, MaximumLineWidth});
                continue;
            }
            const qreal available = _containerSize.width() - 2 * _padding;
            const qreal head =
                line.lineNumber() == 0 ? _style.firstLineHeadIndent : _style.headIndent;
            const qreal trailingEdge =
                _style.tailIndent > 0 ? _style.tailIndent : available + _style.tailIndent;
            const qreal width = std::clamp(trailingEdge - head, qreal(0), MaximumLineWidth);
            line.setLineWidth(width);
            // A paragraph of more than one line is read on one line first.
            if (line.lineNumber() == 0) {
                _plain.clear();
                if (line.textLength() < _content.size()) {
                    readParagraphGlyphs(line);
                    line.setLineWidth(width);
                }
            }
            // The leading margin is on the right in right-to-left paragraphs.
            PlacedLine entry{line, _padding + (_rightToLeft ? available - trailingEdge : head),
                             width};
            if (byAdvances && wraps && line.textStart() + line.textLength() < _content.size())
                entry.origin -= fitByAdvances(line, width, entry.widened);
            line.setPosition(QPointF(0, 0));
            placed.append(entry);
            if (_hasContainer) {
                const qreal natural = line.ascent() + line.descent() + line.leading();
                const qreal height =
                    _style.lineHeightMultiple > 0 ? natural * _style.lineHeightMultiple : natural;
                below = y + height > _containerSize.height();
                y += height + _style.lineSpacing;
            }
        }
        textLayout.endLayout();
        return placed;
    }

    // Lets the line take all the text whose advances fit width, giving Qt the least width
    // above it that keeps that text on the line. Answers how far the extra width moved the
    // line's text (right-aligned and centred lines are aligned to the wider line); a
    // justified line that Qt spreads over the wider line is widened.
    qreal fitByAdvances(QTextLine& line, qreal width, bool& widened)
    {
        const int fitted = line.textLength();
        const auto lengthAt = [&line](qreal lineWidth) {
            line.setLineWidth(lineWidth);
            return line.textLength();
        };
        const auto fits = [&] { return line.horizontalAdvance() <= width + WidthEpsilon; };
        // The widest line whose advances fit: no glyph overhangs its advance by more than
        // its size. The lines only grow with the width, so the widths halve down to it.
        qreal low = width;
        qreal high = std::min(width + std::max(_largestSize, qreal(1)), MaximumLineWidth);
        if (lengthAt(high) > fitted && !fits()) {
            while (high - low > WidthEpsilon) {
                const qreal middle = (low + high) / 2;
                lengthAt(middle);
                (fits() ? low : high) = middle;
            }
        } else {
            low = high;
        }
        const int length = lengthAt(low);
        if (length <= fitted) {
            lengthAt(width);
            return 0;
        }
        // The least width that keeps it.
        high = low;
        low = width;
        while (high - low > WidthEpsilon) {
            const qreal middle = (low + high) / 2;
            (lengthAt(middle) >= length ? high : low) = middle;
        }
        high = fixed(high);
        if (high - WidthEpsilon > width && lengthAt(high - WidthEpsilon) >= length)
            high -= WidthEpsilon;
        lengthAt(high);
        const bool last = line.textStart() + line.textLength() >= _content.size();
        widened = (_option.alignment() & Qt::AlignJustify) && !last && high > width;
        return (high - fixed(width)) * alignmentShare(last);
    }

    // How much of a line's extra width its alignment puts before the text.
    qreal alignmentShare(bool lastLine) const
    {
        const Qt::Alignment alignment = _option.alignment();
        if (alignment & Qt::AlignJustify) // justified lines fill the width; the last aligns
            return lastLine && _rightToLeft ? 1 : 0;
        if (alignment & Qt::AlignRight)
            return 1;
        if (alignment & Qt::AlignHCenter)
            return 0.5;
        return 0;
    }

    // Whether QTextLayout ended a line before a piece of text that fits it by advances:
    // it counted the ink of that piece's last glyph. firstLine: the paragraph's first
    // line in the layout.
    bool brokeBeforeFittingText(const PlacedLines& placed, qsizetype firstLine)
    {
        if (_option.wrapMode() == QTextOption::NoWrap)
            return false;
        std::optional<QTextBoundaryFinder> breaks;
        for (qsizetype i = 0; i + 1 < placed.size(); ++i) {
            const QTextLine& line = placed.at(i).line;
            const int end = line.textStart() + line.textLength();
            if (end <= 0 || _content.at(end - 1) == QChar::LineSeparator)
                continue; // a break of its own
            const LayoutManager::Layout::Line& laid = _layout.lines.at(firstLine + i);
            // The room after the line's text and its trailing white space.
            qreal room = placed.at(i).width - line.horizontalAdvance();
            for (qsizetype g = laid.glyphs.end() - 1; g >= laid.glyphs.location; --g) {
                const LayoutManager::Layout::Glyph& glyph = _layout.glyphs.at(g);
                if (!_string.at(glyph.character).isSpace())
                    break;
                room -= glyph.right - glyph.left;
            }
            const Range next = _layout.lines.at(firstLine + i + 1).glyphs;
            if (next.isEmpty() || room <= 0)
                continue;
            const LayoutManager::Layout::Glyph& lead = _layout.glyphs.at(next.location);
            if (lead.right - lead.left > room + WidthEpsilon)
                continue;
            // The advance of the next line's text up to pieceEnd.
            const auto advanceTo = [&](int pieceEnd) {
                qreal left = std::numeric_limits<qreal>::max();
                qreal right = std::numeric_limits<qreal>::lowest();
                for (qsizetype g = next.location; g < next.end(); ++g) {
                    const LayoutManager::Layout::Glyph& glyph = _layout.glyphs.at(g);
                    if (glyph.character >= _start + pieceEnd)
                        break;
                    left = std::min(left, glyph.left);
                    right = std::max(right, glyph.right);
                }
                return left <= right ? right - left : qreal(0);
            };
            // A line that broke inside a word could have taken the next cluster, which fits.
            const auto isLetterOrDigit = [](QChar c) {
                return c.unicode() < 0x250 && c.isLetterOrNumber();
            };
            if (_option.wrapMode() == QTextOption::WrapAnywhere
                || isLetterOrDigit(_content.at(end - 1)))
                return true;
            // Otherwise the piece the next line starts with runs to its first break
            // opportunity, past any letters and digits (nothing breaks between those).
            // (The next line's glyphs are all the advance counts: the scan stops at its end,
            // not at the end of a run of letters that may fill many lines.)
            const QTextLine& nextLine = placed.at(i + 1).line;
            const int nextEnd = nextLine.textStart() + nextLine.textLength();
            int letters = end;
            while (letters < nextEnd && isLetterOrDigit(_content.at(letters)))
                ++letters;
            if (letters > end && advanceTo(letters) > room + WidthEpsilon)
                continue;
            if (!breaks)
                breaks.emplace(QTextBoundaryFinder::Line, _content);
            breaks->setPosition(end);
            int pieceEnd =
                breaks->isAtBoundary() ? int(breaks->toNextBoundary()) : nextCluster(end);
            if (pieceEnd < 0)
                pieceEnd = int(_content.size());
            while (pieceEnd > end && _content.at(pieceEnd - 1).isSpace())
                --pieceEnd;
            if (advanceTo(pieceEnd) <= room + WidthEpsilon)
                return true;
        }
        return false;
    }

    // What the typesetter reads from a map of attributes, read once for the map. Runs that
    // go on from one paragraph into the next share their map, and texts made from one
    // another (the labels of a merge) share theirs too: the readings of the last few maps
    // are kept, so a label's paragraphs read nothing again, and Qt finds the font engines
    // it resolved for their fonts rather than resolving a new font's for every label. (A
    // kept map is held, so its data cannot come back as another's.)
    struct Reading
    {
        QVariantMap attributes;
        QFont font; // the layout font
        ParagraphStyle style;
        qreal pointSize = 0;
        qreal baselineOffset = 0;
        // The paragraph's text option, left-to-right and right-to-left, made when asked.
        std::optional<QTextOption> options[2];
    };

    Reading& readingOf(const QVariantMap& attributes)
    {
        if (_reading && attributes.isSharedWith(_reading->attributes))
            return *_reading;
        thread_local QList<std::shared_ptr<Reading>> recent;
        const auto kept = std::find_if(recent.cbegin(), recent.cend(), [&](const auto& entry) {
            return entry->attributes.isSharedWith(attributes);
        });
        if (kept != recent.cend()) {
            _reading = *kept;
        } else {
            auto made = std::make_shared<Reading>();
            made->attributes = attributes;
            made->font = LayoutManager::Layout::layoutFont(attributes);
            made->style = LayoutManager::Layout::paragraphStyle(attributes);
            made->pointSize = LayoutManager::Layout::pointSize(attributes);
            made->baselineOffset = baselineOffset(attributes);
            if (recent.size() >= 16)
                recent.removeFirst();
            recent.append(made);
            _reading = std::move(made);
        }
        return *_reading;
    }

    QFont fontFor(const QVariantMap& attributes) { return readingOf(attributes).font; }

    // The end of the grapheme cluster that starts at c, -1 at the end.
    int nextCluster(int c)
    {
        if (!_clusters)
            _clusters.emplace(QTextBoundaryFinder::Grapheme, _content);
        _clusters->setPosition(c);
        return int(_clusters->toNextBoundary());
    }

    int fontIndex(const QRawFont& font)
    {
        const qsizetype found = _layout.fonts.indexOf(font);
        if (found >= 0)
            return int(found);
        _layout.fonts.append(font);
        return int(_layout.fonts.size() - 1);
    }

    // The baseline offset of the paragraph's character c; c only grows between calls
    // made for one line.
    qreal offsetAt(int c, qsizetype& run) const
    {
        while (run + 1 < _offsets.size() && _offsets.at(run).first <= c)
            ++run;
        return run < _offsets.size() ? _offsets.at(run).second : 0;
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

    // breakStart/breakEnd: the paragraph's break when this is its last line (-1 otherwise).
    void addLine(const PlacedLine& placed, qsizetype breakStart, qsizetype breakEnd)
    {
        const QTextLine& line = placed.line;
        const qreal origin = placed.origin;
        const qsizetype firstGlyph = _layout.glyphs.size();
        const int lineStart = line.textStart();
        qreal ascent = line.ascent();
        qreal descent = line.descent();

        // Where the line's text ends.
        std::optional<qreal> end = addPlainLine(line, origin, ascent, descent);
        if (!end) {
            _layout.glyphs.resize(firstGlyph);
            end = addPlainClusters(line, line.glyphRuns(), origin, ascent, descent);
        }
        if (!end) {
            _layout.glyphs.resize(firstGlyph);
            addClusters(line, origin, ascent, descent);
        }

        if (placed.widened && !_rightToLeft)
            narrowJustifiedLine(firstGlyph, origin + placed.width);

        if (breakStart >= 0) {
            const qreal x = end ? *end : origin + line.cursorToX(int(_content.size()));
            for (qsizetype c = breakStart; c < breakEnd; ++c)
                _layout.glyphForCharacter[c] = addGlyph(0, -1, c, x, 0, x, x, false);
        }

        // The line's place in the container; a line height multiple adds (or takes) its
        // share above the baseline.
        const qreal natural = ascent + descent + line.leading();
        const qreal height =
            _style.lineHeightMultiple > 0 ? natural * _style.lineHeightMultiple : natural;
        ascent += height - natural;
        LayoutManager::Layout::Line entry;
        entry.glyphs = Range(firstGlyph, _layout.glyphs.size() - firstGlyph);
        entry.baseline = ascent;
        entry.inContainer = _hasContainer && !_full && _y + height <= _containerSize.height();
        if (!entry.inContainer)
            _full = true;
        const qreal after = breakStart >= 0 ? _style.paragraphSpacing : 0;
        entry.fragment = QRectF(0, _y, _containerSize.width(), height + _style.lineSpacing + after);

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

        LayoutManager::Layout::Glyph* glyphs = _layout.glyphs.data();
        for (qsizetype g = firstGlyph; g < _layout.glyphs.size(); ++g)
            glyphs[g].location.ry() += ascent;
        _layout.lines.append(entry);
        if (entry.inContainer)
            _y += entry.fragment.height();
    }

    // Takes back what a justified line's spaces got beyond edge, evenly, as justifying it
    // to edge would have given them.
    void narrowJustifiedLine(qsizetype firstGlyph, qreal edge)
    {
        qsizetype lastUsed = _layout.glyphs.size() - 1;
        while (lastUsed >= firstGlyph
               && (!_layout.glyphs.at(lastUsed).shown
                   || _string.at(_layout.glyphs.at(lastUsed).character).isSpace()))
            --lastUsed;
        if (lastUsed < firstGlyph)
            return;
        const qreal excess = _layout.glyphs.at(lastUsed).right - edge;
        qsizetype spaces = 0;
        for (qsizetype g = firstGlyph; g < lastUsed; ++g)
            spaces += _string.at(_layout.glyphs.at(g).character).isSpace() ? 1 : 0;
        if (excess <= 0 || spaces == 0)
            return;
        const qreal share = excess / qreal(spaces);
        qreal shift = 0;
        for (qsizetype g = firstGlyph; g < _layout.glyphs.size(); ++g) {
            LayoutManager::Layout::Glyph& glyph = _layout.glyphs[g];
            glyph.location.rx() -= shift;
            glyph.left -= shift;
            if (g < lastUsed && _string.at(glyph.character).isSpace())
                shift += share;
            glyph.right -= shift;
        }
    }

    // A character that is a cluster of its own and gets its font's glyph for it, in a
    // left-to-right line, unless the shaper joins or replaces it.
    static bool isPlain(char32_t c)
    {
        // Printable ASCII and Latin-1 (but the soft hyphen, a format character).
        if (c < 0x100)
            return (c >= 0x20 && c < 0x7F) || (c >= 0xA0 && c != 0xAD);
        switch (QChar::category(c)) {
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph: return false;
        default: break;
        }
        switch (QChar::direction(c)) {
        case QChar::DirR:
        case QChar::DirAL:
        case QChar::DirAN: return false;
        default: break;
        }
        // Letters and symbols that join their neighbours into one grapheme cluster: Hangul
        // jamo, regional indicators, emoji modifiers, halfwidth sound marks, the vowels
        // that extend a Thai or Lao cluster, and the prepended letters.
        const auto in = [c](char32_t first, char32_t last) { return c >= first && c <= last; };
        return !(in(0x1100, 0x11FF) || in(0xA960, 0xA97F) || in(0xD7B0, 0xD7FF)
                 || in(0x1F1E6, 0x1F1FF) || in(0x1F3FB, 0x1F3FF) || in(0xFF9E, 0xFF9F)
                 || c == 0x0E33 || c == 0x0EB3 || c == 0x0D4E || in(0x111C2, 0x111C3)
                 || c == 0x1193F || c == 0x11941 || c == 0x11A3A || in(0x11A84, 0x11A89)
                 || c == 0x11D46);
    }

    // The glyphs of a plain paragraph, one per character, where the paragraph laid out on
    // one line puts them (see readParagraphGlyphs).
    struct PlainGlyph
    {
        qreal x = 0; // the origin along the paragraph's line
        qreal y = 0; // off the baseline
        quint32 glyph = 0;
        int font = -1;
    };

    // A left-to-right paragraph that is not justified takes its glyphs from one fetch of
    // glyph runs for the whole paragraph on one line: a line's glyphs lie as they lie
    // there, moved to the line's start and by its alignment. (Each QTextLine query walks
    // the paragraph from its start, so a query per line grows with the square of the
    // paragraph's length.) line: the paragraph's first line (laid out again afterwards).
    void readParagraphGlyphs(QTextLine& line)
    {
        if (_rightToLeft || (_option.alignment() & Qt::AlignJustify) || _content.isEmpty())
            return;
        line.setLineWidth(MaximumLineWidth);
        if (line.textLength() != _content.size())
            return;
        const QList<QGlyphRun> runs = line.glyphRuns();
        const qreal baseline = line.y() + line.ascent();
        int c = 0;
        qreal previousX = std::numeric_limits<qreal>::lowest();
        _plain.reserve(std::size_t(_content.size()) + 1);
        for (const QGlyphRun& run : runs) {
            const QList<quint32> ids = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            const QRawFont font = run.rawFont();
            const int fontNumber = fontIndex(font);
            const int runStart = c;
            for (qsizetype k = 0; k < ids.size() && k < positions.size(); ++k) {
                if (c >= _content.size())
                    return fail();
                const QChar unit = _content.at(c);
                const bool pair = unit.isHighSurrogate() && c + 1 < _content.size()
                                  && _content.at(c + 1).isLowSurrogate();
                if (!isPlain(pair ? QChar::surrogateToUcs4(unit, _content.at(c + 1))
                                  : char32_t(unit.unicode())))
                    return fail();
                const QPointF position = positions.at(k);
                if (position.x() < previousX)
                    return fail();
                previousX = position.x();
                const PlainGlyph glyph{position.x(), position.y() - baseline, ids.at(k),
                                       fontNumber};
                _plain.push_back(glyph);
                if (pair) {
                    _plain.push_back(glyph);
                    ++c;
                }
                ++c;
            }
            if (ids.size() != positions.size() || !fontKeeps(font, runStart, c, ids))
                return fail();
        }
        // Where the paragraph's text ends; white space after it has no glyphs.
        const qreal end = runs.isEmpty() ? 0 : runs.last().boundingRect().right();
        for (int w = c; w < _content.size(); ++w) {
            if (_content.at(w).category() != QChar::Separator_Space)
                return fail();
        }
        _plain.push_back(PlainGlyph{end, 0, 0, -1});
        _plainEnd = c;
    }

    void fail() { _plain.clear(); }

    // Whether the shaper kept the font's own glyph for every character of [start, end).
    bool fontKeeps(const QRawFont& font, int start, int end, const QList<quint32>& ids) const
    {
        QVarLengthArray<quint32, 256> mapped(end - start);
        int count = int(mapped.size());
        return font.glyphIndexesForChars(_content.constData() + start, end - start, mapped.data(),
                                         &count)
               && count == ids.size() && std::equal(ids.cbegin(), ids.cend(), mapped.cbegin());
    }

    // How far QTextLayout's alignment moves the text of a line of its own width (in its
    // fixed-point units, as it aligns it).
    qreal alignmentOffset(const QTextLine& line) const
    {
        const qreal share = alignmentShare(line.textStart() + line.textLength() >= _content.size());
        if (share == 0)
            return 0;
        const qint64 room = qint64(line.width() * 64) - qRound64(line.horizontalAdvance() * 64);
        return qreal(share == 1 ? room : room / 2) / 64;
    }

    // A line of a plain paragraph from the paragraph's glyphs (see readParagraphGlyphs).
    // Answers where the line's text ends; nothing when the paragraph is not plain or the
    // line does not end where its glyphs say it does.
    std::optional<qreal> addPlainLine(const QTextLine& line, qreal origin, qreal& ascent,
                                      qreal& descent)
    {
        if (_plain.empty())
            return std::nullopt;
        const int start = line.textStart();
        const int end = start + line.textLength();
        // White space at the end of a line is its own: glyphs that are not shown.
        int textEnd = end;
        while (textEnd > start && _content.at(textEnd - 1).isSpace())
            --textEnd;
        if (end > _plainEnd && textEnd < end)
            return std::nullopt; // the paragraph's own trailing white space
        const auto xAt = [&](int c) { return _plain[std::size_t(std::min(c, _plainEnd))].x; };
        const qreal lineX = xAt(start);
        if (xAt(textEnd) - lineX != line.horizontalAdvance())
            return std::nullopt;
        const qreal shift = origin + alignmentOffset(line) - lineX;
        // Where a caret would go: QTextLayout keeps a wrapping line's carets on the line.
        const bool wraps = _option.wrapMode() != QTextOption::NoWrap;
        const auto caret = [&](int c) {
            const qreal x = shift + xAt(c);
            return wraps ? std::clamp(x, origin, origin + line.width()) : x;
        };
        // The glyphs are made in one go: one per code point.
        qsizetype count = 0;
        for (int c = start; c < end; ++c)
            count += _content.at(c).isLowSurrogate() && c > start ? 0 : 1;
        const qsizetype first = _layout.glyphs.size();
        _layout.glyphs.resize(first + count);
        LayoutManager::Layout::Glyph* glyph = _layout.glyphs.data() + first;
        qsizetype* glyphOfCharacter = _layout.glyphForCharacter.data() + _start;
        const int lineNumber = int(_layout.lines.size());
        qsizetype offsetRun = 0;
        for (int c = start; c < end; ++glyph) {
            const PlainGlyph& plain = _plain[std::size_t(c)];
            const bool pair = _content.at(c).isHighSurrogate() && c + 1 < end
                              && _content.at(c + 1).isLowSurrogate();
            const int next = c + (pair ? 2 : 1);
            glyph->character = _start + c;
            glyph->line = lineNumber;
            if (c < textEnd) {
                const qreal offset = offsetAt(c, offsetRun);
                glyph->glyph = plain.glyph;
                glyph->font = plain.font;
                glyph->shown = true;
                // y relative to the baseline for now, as addGlyph() puts it.
                glyph->location = QPointF(shift + plain.x, plain.y - offset);
                glyph->left = shift + plain.x;
                glyph->right = shift + xAt(next);
                if (offset != 0) {
                    const QRawFont& font = _layout.fonts.at(plain.font);
                    ascent = std::max(ascent, font.ascent() + offset);
                    descent = std::max(descent, font.descent() - offset);
                }
            } else {
                glyph->left = caret(c);
                glyph->right = caret(next);
                glyph->location = QPointF(glyph->left, 0);
            }
            const qsizetype index = first + (glyph - (_layout.glyphs.data() + first));
            glyphOfCharacter[c] = index;
            if (pair)
                glyphOfCharacter[c + 1] = index;
            c = next;
        }
        return caret(end);
    }

    // The plain line (see the top of this file) from its glyph runs alone: the n-th
    // glyph shows the n-th character and spans from its origin to the next glyph's.
    // Answers where the line's text ends; nothing for any other line, with whatever it
    // added to be taken back.
    std::optional<qreal> addPlainClusters(const QTextLine& line, const QList<QGlyphRun>& runs,
                                          qreal origin, qreal& ascent, qreal& descent)
    {
        if (_rightToLeft)
            return std::nullopt;
        const int lineStart = line.textStart();
        const int lineEnd = lineStart + line.textLength();
        const qreal qtBaseline = line.y() + line.ascent();
        qsizetype offsetRun = 0;
        int c = lineStart; // the next character to pair with a glyph
        qreal previousX = std::numeric_limits<qreal>::lowest();
        qsizetype previous = -1; // the line's last glyph so far
        // One glyph a character: the glyphs are made in one go (the caller takes them back
        // when the line is not plain).
        qsizetype count = 0;
        for (const QGlyphRun& run : runs)
            count += run.glyphIndexes().size();
        if (count > lineEnd - lineStart)
            return std::nullopt;
        const qsizetype firstGlyph = _layout.glyphs.size();
        _layout.glyphs.resize(firstGlyph + count);
        LayoutManager::Layout::Glyph* const made = _layout.glyphs.data() + firstGlyph;
        const int lineNumber = int(_layout.lines.size());
        qsizetype madeCount = 0; // the glyphs made so far
        for (const QGlyphRun& run : runs) {
            const QList<quint32> ids = run.glyphIndexes();
            const QList<QPointF> positions = run.positions();
            if (ids.size() != positions.size())
                return std::nullopt;
            const QRawFont font = run.rawFont();
            const int fontNumber = fontIndex(font);
            const int runStart = c;
            for (qsizetype k = 0; k < ids.size(); ++k) {
                if (c >= lineEnd)
                    return std::nullopt;
                // One code point, a cluster of its own (no character of the line joins
                // another).
                const QChar unit = _content.at(c);
                const bool pair = unit.isHighSurrogate() && c + 1 < lineEnd
                                  && _content.at(c + 1).isLowSurrogate();
                const int next = c + (pair ? 2 : 1);
                if (!isPlain(pair ? QChar::surrogateToUcs4(unit, _content.at(c + 1))
                                  : char32_t(unit.unicode())))
                    return std::nullopt;
                const QPointF position = positions.at(k);
                if (position.x() < previousX)
                    return std::nullopt;
                previousX = position.x();
                const qreal offset = offsetAt(c, offsetRun);
                const qsizetype character = _start + c;
                const qreal x = origin + position.x();
                // The glyph before reaches this one's origin.
                if (previous >= 0)
                    made[previous - firstGlyph].right = x;
                LayoutManager::Layout::Glyph& entry = made[madeCount];
                entry.glyph = ids.at(k);
                entry.font = fontNumber;
                entry.character = character;
                entry.line = lineNumber;
                // y relative to the baseline for now, as addGlyph() puts it.
                entry.location = QPointF(x, position.y() - qtBaseline - offset);
                entry.left = x;
                entry.right = x;
                entry.shown = true;
                previous = firstGlyph + madeCount++;
                if (offset != 0) {
                    ascent = std::max(ascent, font.ascent() + offset);
                    descent = std::max(descent, font.descent() - offset);
                }
                _layout.glyphForCharacter[character] = previous;
                if (pair)
                    _layout.glyphForCharacter[character + 1] = previous;
                c = next;
            }
            if (!fontKeeps(font, runStart, c, ids))
                return std::nullopt;
        }
        // The last one reaches the end of its run's text.
        qreal x = origin;
        if (previous >= 0) {
            x += runs.last().boundingRect().right();
            _layout.glyphs[previous].right = x;
        } else {
            x += line.cursorToX(c);
        }
        // White space at the end of a line gets no glyphs: glyphs that are not shown, as
        // wide as the room it takes.
        for (; c < lineEnd; ++c) {
            if (_content.at(c).category() != QChar::Separator_Space)
                return std::nullopt;
            const qreal right = origin + line.cursorToX(c + 1);
            const qsizetype character = _start + c;
            _layout.glyphForCharacter[character] =
                addGlyph(0, -1, character, std::min(x, right), 0, std::min(x, right),
                         std::max(x, right), false);
            x = right;
        }
        return x;
    }

    // Any line: each grapheme cluster asks for its own glyphs (see the top of this file).
    void addClusters(const QTextLine& line, qreal origin, qreal& ascent, qreal& descent)
    {
        const int lineStart = line.textStart();
        const int lineEnd = lineStart + line.textLength();
        const qreal qtBaseline = line.y() + line.ascent();
        qsizetype offsetRun = 0;

        QList<std::pair<Key, qsizetype>> previous; // the glyphs the last cluster got
        int clusterStart = lineStart;
        while (clusterStart < lineEnd) {
            int clusterEnd = nextCluster(clusterStart);
            if (clusterEnd < 0 || clusterEnd > lineEnd)
                clusterEnd = lineEnd;
            const qsizetype character = _start + clusterStart;
            const qreal offset = offsetAt(clusterStart, offsetRun);

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
                _layout.glyphForCharacter[_start + c] = owner;
            clusterStart = clusterEnd;
        }
    }

    LayoutManager::Layout& _layout;
    const AttributedString& _text;
    const QString _string;
    QSizeF _containerSize;
    qreal _padding;
    bool _hasContainer;
    qreal& _y;
    bool& _full;

    // The paragraph being laid out.
    qsizetype _start = 0;
    QString _content;
    ParagraphStyle _style;
    bool _rightToLeft = false;
    QTextOption _option;
    // Baseline offsets by run: the end of the run (in the paragraph) and its offset.
    QList<std::pair<int, qreal>> _offsets;
    qreal _largestSize = 0;
    std::optional<QTextBoundaryFinder> _clusters; // made when first needed
    // The reading of the last map asked for (see readingOf()).
    std::shared_ptr<Reading> _reading;
    static constexpr std::size_t MaximumSparePlainGlyphs = 1 << 14;
    static std::vector<PlainGlyph>& sparePlainGlyphs()
    {
        thread_local std::vector<PlainGlyph> spare;
        return spare;
    }

    // The glyphs of a plain paragraph by character, and one more entry for where its text
    // ends (see readParagraphGlyphs); empty for any other paragraph.
    std::vector<PlainGlyph> _plain;
    int _plainEnd = 0; // the characters before it have glyphs
};

// The glyph tables of layouts that were dropped, kept for the next layouts made on the
// thread. A text being edited is laid out again after every change, in each size it is
// measured and drawn at: a long text's tables are large enough for the allocator to hand
// their memory back to the system when they are freed, and to fault every page of it in
// again for the next layout, which took about as long as laying the text out.
class SpareGlyphTables
{
public:
    // The tables' memory is kept for as many layouts as a text keeps, each up to this many
    // glyphs.
    static constexpr qsizetype Count = TextLayoutCache::Capacity;
    static constexpr qsizetype MaximumGlyphs = 1 << 14;

    // Null once the thread's tables are gone (layouts freed while the thread ends).
    static SpareGlyphTables* ofThisThread()
    {
        if (gone)
            return nullptr;
        thread_local SpareGlyphTables tables;
        return &tables;
    }

    ~SpareGlyphTables() { gone = true; }

    void keep(QList<LayoutManager::Layout::Glyph>& glyphs, QList<qsizetype>& glyphForCharacter)
    {
        keep(_glyphs, glyphs);
        keep(_characters, glyphForCharacter);
    }

    // Empty tables with room for at least count entries: kept ones when one fits (and is
    // not much larger), new ones with room to grow a little otherwise.
    template <typename T>
    static QList<T> take(QList<QList<T>>& kept, qsizetype count)
    {
        for (qsizetype i = kept.size() - 1; i >= 0; --i) {
            const qsizetype capacity = kept.at(i).capacity();
            if (capacity >= count && capacity <= 2 * count + 256)
                return kept.takeAt(i);
        }
        QList<T> table;
        table.reserve(count + count / 8);
        return table;
    }
    QList<LayoutManager::Layout::Glyph> takeGlyphs(qsizetype count) { return take(_glyphs, count); }
    QList<qsizetype> takeCharacters(qsizetype count) { return take(_characters, count); }

private:
    template <typename T>
    static void keep(QList<QList<T>>& kept, QList<T>& table)
    {
        // Small tables cost little to make; shared ones are still another's.
        if (table.capacity() < 1024 || table.capacity() > MaximumGlyphs || !table.isDetached())
            return;
        table.clear(); // keeps the memory
        if (kept.size() >= Count)
            kept.removeFirst();
        kept.append(std::move(table));
    }

    QList<QList<LayoutManager::Layout::Glyph>> _glyphs;
    QList<QList<qsizetype>> _characters;
    static thread_local bool gone;
};

thread_local bool SpareGlyphTables::gone = false;

} // namespace

LayoutManager::Layout::~Layout()
{
    if (glyphs.capacity() < 1024 && glyphForCharacter.capacity() < 1024)
        return;
    if (SpareGlyphTables* spares = SpareGlyphTables::ofThisThread())
        spares->keep(glyphs, glyphForCharacter);
}

void LayoutManager::Layout::typeset(const AttributedString& text, const QSizeF& containerSize,
                                    qreal padding, bool hasContainer)
{
    *this = Layout();
    // Any height goes (lines stop at it); the width must stay within what QTextLayout can
    // lay out.
    const qreal width = containerSize.width();
    const qreal height = containerSize.height();
    const QSizeF size(std::isnan(width) ? 0 : std::clamp(width, qreal(0), MaximumLineWidth),
                      std::isnan(height) ? 0 : std::max(height, qreal(0)));
    padding = std::max(sane(padding, MaximumLength), qreal(0));
    const QString string = text.string();
    const qsizetype length = string.size();
    if (SpareGlyphTables* spares = length >= 1024 ? SpareGlyphTables::ofThisThread() : nullptr) {
        glyphForCharacter = spares->takeCharacters(length);
        glyphs = spares->takeGlyphs(length + 1);
    } else {
        glyphs.reserve(length + 1);
    }
    glyphForCharacter.resize(length);
    // Room for the lines of a short text at once (a label's lines grew the list one by one).
    lines.reserve(std::min<qsizetype>(length, 7) + 1);

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

QPainterPath LayoutManager::Layout::outline(qsizetype g) const
{
    const Glyph& glyph = glyphs.at(g);
    if (glyph.font < 0)
        return QPainterPath();
    const quint64 key = (quint64(quint32(glyph.font)) << 32) | glyph.glyph;
    const auto found = _outlines.constFind(key);
    if (found != _outlines.cend())
        return *found;
    return *_outlines.insert(key, glyphOutline(fonts.at(glyph.font), glyph.glyph));
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
    // Read in place: asked for every run laid out and drawn.
    const auto value = attributes.constFind(FontAttributeName);
    if (value == attributes.cend() || value->metaType() != QMetaType::fromType<QFont>())
        return 12;
    const QFont& font = *static_cast<const QFont*>(value->constData());
    if (font.pointSizeF() > 0)
        return std::min(font.pointSizeF(), MaximumPointSize);
    if (font.pixelSize() > 0)
        return std::min(qreal(font.pixelSize()), MaximumPointSize);
    return 12;
}

ParagraphStyle LayoutManager::Layout::paragraphStyle(const QVariantMap& attributes)
{
    const auto value = attributes.constFind(ParagraphStyleAttributeName);
    if (value == attributes.cend() || value->metaType() != QMetaType::fromType<ParagraphStyle>())
        return ParagraphStyle::defaultParagraphStyle();
    ParagraphStyle style = *static_cast<const ParagraphStyle*>(value->constData());
    for (qreal* length : {&style.lineSpacing, &style.firstLineHeadIndent, &style.headIndent,
                          &style.tailIndent, &style.paragraphSpacing})
        *length = sane(*length, MaximumLength);
    style.lineHeightMultiple =
        std::clamp(sane(style.lineHeightMultiple, 100), qreal(0), qreal(100));
    return style;
}

qreal LayoutManager::Layout::number(const QVariantMap& attributes, const QString& name, qreal limit)
{
    const auto found = attributes.constFind(name);
    if (found == attributes.cend())
        return 0;
    bool ok = false;
    const qreal value = found->toDouble(&ok);
    return ok ? sane(value, limit) : 0;
}

qreal LayoutManager::Layout::sane(qreal value, qreal limit)
{
    return std::isfinite(value) ? std::clamp(value, -limit, limit) : 0;
}

} // namespace platform
