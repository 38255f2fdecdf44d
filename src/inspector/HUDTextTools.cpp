#include "inspector/HUDTextTools.h"

#include "platform/core/UndoManager.h"
#include "platform/text/AttributedString.h"
#include "platform/text/FontManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/TextView.h"

#include <QPointer>
#include <cmath>

#include <memory>

using platform::AttributedString;
using platform::ParagraphStyle;
using platform::Range;
using platform::TextStorage;

namespace {

platform::FontManager& fontManager()
{
    return platform::FontManager::sharedFontManager();
}

QFont fontOf(const QVariant& value)
{
    return HUDTextTools::fontFromAttribute(value);
}

double pointSize(const QFont& font)
{
    return platform::FontManager::pointSizeOfFont(font);
}

QString familyOf(const QFont& font)
{
    return platform::FontManager::familyOfFont(font);
}

ParagraphStyle styleOf(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<ParagraphStyle>()
               ? value.value<ParagraphStyle>()
               : ParagraphStyle::defaultParagraphStyle();
}

// Puts the attributes of `saved` back over the range it was taken from, recording the
// attributes replaced for redo.
void restoreAttributes(const std::weak_ptr<const void>& lifetime, TextStorage* text,
                       qsizetype location, const AttributedString& saved,
                       platform::UndoManager* undoManager)
{
    if (lifetime.expired())
        return;
    const Range range(location, saved.length());
    if (range.end() > text->length())
        return; // the characters changed since: nothing to put back onto
    HUDTextTools::changeAttributes(*text, range, undoManager, [&] {
        saved.enumerateAttributesInRange(
            Range(0, saved.length()), [&](const QVariantMap& attributes, const Range& run, bool&) {
                text->setAttributes(attributes, Range(location + run.location, run.length));
            });
    });
}

} // namespace

std::optional<QFont> HUDTextTools::fontFamilyName(QString* family, QString* faceName, double* size,
                                                  const AttributedString& forText)
{
    QString f, face;
    double s = 0;
    std::optional<QFont> font;
    bool first = true;
    forText.enumerateAttribute(platform::FontAttributeName, Range(0, forText.length()),
                               [&](const QVariant& value, const Range&, bool& stop) {
                                   const QFont runFont = fontOf(value);
                                   const QString runFamily = familyOf(runFont);
                                   const QString runFace = fontManager().faceNameForFont(runFont);
                                   const double runSize = pointSize(runFont);
                                   if (first) {
                                       f = runFamily;
                                       face = runFace;
                                       s = runSize;
                                       font = runFont;
                                       first = false;
                                       return;
                                   }
                                   if (runFamily != f)
                                       f = QStringLiteral("");
                                   if (runFace != face)
                                       face = QStringLiteral("");
                                   if (runSize != s)
                                       s = 0;
                                   if (font && runFont != *font)
                                       font.reset();
                                   if (f.isEmpty() && face.isEmpty() && s == 0)
                                       stop = true;
                               });
    if (family)
        *family = f.isNull() ? QStringLiteral("") : f;
    if (faceName)
        *faceName = face.isNull() ? QStringLiteral("") : face;
    if (size)
        *size = s;
    return font;
}

qint64 HUDTextTools::alignmentForText(const AttributedString& text, const Range& selectedRange)
{
    const qsizetype length = text.length();
    if (length == 0)
        return Mixed;
    qsizetype index = selectedRange.location >= length ? length - 1 : selectedRange.location;
    index = std::max<qsizetype>(index, 0);
    const qsizetype end = selectedRange.end();
    qint64 common = Mixed;
    bool first = true;
    while (index <= end && index < length) {
        Range run;
        const ParagraphStyle style =
            styleOf(text.attribute(platform::ParagraphStyleAttributeName, index, &run));
        qint64 alignment = qint64(style.alignment);
        if (style.alignment == ParagraphStyle::Alignment::Natural)
            alignment = style.baseWritingDirection == ParagraphStyle::WritingDirection::RightToLeft
                            ? Right
                            : Left;
        if (first) {
            common = alignment;
            first = false;
        } else if (alignment != common) {
            return Mixed;
        }
        index = std::max(run.end(), index + 1);
    }
    return common;
}

void HUDTextTools::changeAttributes(TextStorage& text, const Range& range,
                                    platform::UndoManager* undoManager,
                                    const std::function<void()>& change)
{
    const Range clipped = range.clampedTo(text.length());
    const AttributedString saved = text.attributedString().attributedSubstringFromRange(clipped);
    text.beginEditing();
    change();
    text.endEditing();
    // Only a real change is recorded: a step that changes nothing would be a dead undo.
    if (!undoManager || !undoManager->isUndoRegistrationEnabled()
        || text.attributedString().attributedSubstringFromRange(clipped) == saved)
        return;
    const std::weak_ptr<const void> lifetime = text.lifetime();
    TextStorage* storage = &text;
    const qsizetype location = clipped.location;
    QPointer<platform::UndoManager> manager(undoManager);
    undoManager->registerUndo(storage, [lifetime, storage, location, saved, manager] {
        restoreAttributes(lifetime, storage, location, saved, manager);
    });
}

QFont HUDTextTools::fontFromAttribute(const QVariant& value)
{
    return value.metaType() == QMetaType::fromType<QFont>() ? value.value<QFont>()
                                                            : AttributedString::defaultFont();
}

QFont HUDTextTools::fontAtIndex(const AttributedString& text, qsizetype index)
{
    return fontOf(text.attribute(platform::FontAttributeName, index));
}

void HUDTextTools::setFontForText(TextStorage& text, const Range& inRange,
                                  const std::optional<QFont>& toFont,
                                  platform::UndoManager* undoManager)
{
    changeAttributes(text, inRange, undoManager, [&] {
        if (toFont)
            text.addAttribute(platform::FontAttributeName, QVariant::fromValue(*toFont), inRange);
        else
            text.removeAttribute(platform::FontAttributeName, inRange);
    });
}

QFont HUDTextTools::convertFont(const QFont& font, const QString& toFamily, const QString& toFace,
                                double toSize)
{
    QFont converted = font;
    if (!toFamily.isEmpty())
        converted = fontManager().convertFontToFamily(converted, toFamily);
    if (!toFace.isEmpty())
        converted = fontManager().convertFontToFace(converted, toFace);
    if (toSize != 0)
        converted = fontManager().convertFontToSize(converted, toSize);
    return converted;
}

QFont HUDTextTools::setFontForTextToFamily(TextStorage& text, const Range& inRange,
                                           const QString& toFamily, const QString& toFace,
                                           double toSize, platform::UndoManager* undoManager)
{
    return convertFontsInText(
        text, inRange,
        [&](const QFont& font) { return convertFont(font, toFamily, toFace, toSize); },
        undoManager);
}

QFont HUDTextTools::convertFontsInText(TextStorage& text, const Range& inRange,
                                       const std::function<QFont(const QFont&)>& convert,
                                       platform::UndoManager* undoManager)
{
    const Range range = inRange.clampedTo(text.length());
    changeAttributes(text, range, undoManager, [&] {
        // Runs first, then the changes: a change joins neighbouring runs.
        QList<QPair<Range, QFont>> runs;
        text.attributedString().enumerateAttribute(
            platform::FontAttributeName, range,
            [&](const QVariant& value, const Range& run, bool&) {
                runs.append({run, fontOf(value)});
            });
        for (const auto& [run, font] : runs)
            text.addAttribute(platform::FontAttributeName, QVariant::fromValue(convert(font)), run);
    });
    return fontAtIndex(text.attributedString(), range.location);
}

void HUDTextTools::setColorForText(TextStorage& text, const Range& inRange, const QColor& toColor,
                                   bool setBackgroundColor, platform::UndoManager* undoManager)
{
    const QString name = setBackgroundColor ? QStringLiteral("BackgroundColor")
                                            : platform::ForegroundColorAttributeName;
    changeAttributes(text, inRange, undoManager, [&] {
        if (toColor.isValid())
            text.addAttribute(name, toColor, inRange);
        else
            text.removeAttribute(name, inRange);
    });
}

Range HUDTextTools::paragraphRangeForRange(const AttributedString& text, const Range& range)
{
    if (text.length() == 0)
        return Range(0, 0);
    const Range first = text.paragraphRange(std::min(range.location, text.length() - 1));
    const qsizetype lastIndex =
        range.isEmpty() ? range.location : std::min(range.end() - 1, text.length() - 1);
    const Range last = text.paragraphRange(std::max<qsizetype>(lastIndex, 0));
    return Range::unionRange(first, last);
}

namespace {

// Each paragraph-style run of the range gets its own style, changed by `edit`.
void editParagraphStyles(TextStorage& text, const Range& range,
                         const std::function<void(ParagraphStyle&)>& edit)
{
    QList<QPair<Range, ParagraphStyle>> runs;
    text.attributedString().enumerateAttribute(platform::ParagraphStyleAttributeName, range,
                                               [&](const QVariant& value, const Range& run, bool&) {
                                                   runs.append({run, styleOf(value)});
                                               });
    for (auto& [run, style] : runs) {
        edit(style);
        text.addAttribute(platform::ParagraphStyleAttributeName, QVariant::fromValue(style), run);
    }
}

} // namespace

void HUDTextTools::setAlignmentForText(TextStorage& text, const Range& range, qint64 alignment,
                                       platform::UndoManager* undoManager)
{
    const Range paragraphs = paragraphRangeForRange(text.attributedString(), range);
    if (paragraphs.isEmpty())
        return;
    changeAttributes(text, paragraphs, undoManager, [&] {
        editParagraphStyles(text, paragraphs, [alignment](ParagraphStyle& style) {
            style.alignment = ParagraphStyle::Alignment(alignment);
        });
    });
}

void HUDTextTools::adjustKerning(int direction, TextStorage& forText, const Range& range)
{
    const Range clipped = range.clampedTo(forText.length());
    if (clipped.isEmpty())
        return;
    QList<QPair<Range, double>> changes;
    forText.attributedString().enumerateAttribute(
        platform::KernAttributeName, clipped, [&](const QVariant& value, const Range& run, bool&) {
            double step = pointSize(fontAtIndex(forText.attributedString(), run.location)) / 72.0;
            if (direction < 0)
                step = -step;
            const double old = value.isValid() ? value.toDouble() : 0.0;
            const double kern = old + step;
            if (kern != old || !value.isValid())
                changes.append({run, kern});
        });
    forText.beginEditing();
    for (const auto& [run, kern] : changes)
        forText.addAttribute(platform::KernAttributeName, kern, run);
    forText.endEditing();
}

HUDTextTools::ParagraphValues HUDTextTools::getParagraphValuesForText(const AttributedString& text,
                                                                      const Range& selectedRange)
{
    ParagraphValues result;
    const Range range = selectedRange.clampedTo(text.length());
    if (range.isEmpty())
        return result;
    bool first = true;
    text.enumerateAttribute(
        platform::ParagraphStyleAttributeName, range,
        [&](const QVariant& value, const Range&, bool&) {
            std::array<double, 5> values{1.0, 0.0, 0.0, 0.0, 0.0};
            if (value.metaType() == QMetaType::fromType<ParagraphStyle>()) {
                const auto style = value.value<ParagraphStyle>();
                values = {style.lineHeightMultiple == 0 ? 1.0 : double(style.lineHeightMultiple),
                          double(style.lineSpacing), double(style.paragraphSpacing),
                          double(style.firstLineHeadIndent), double(style.headIndent)};
            }
            if (first) {
                result.values = values;
                first = false;
                return;
            }
            for (size_t i = 0; i < values.size(); ++i)
                if (values[i] != result.values[i])
                    result.mixed[i] = true;
        });
    return result;
}

void HUDTextTools::typoFieldActionForText(TextStorage& text, const Range& range,
                                          ParagraphField field, double value,
                                          platform::UndoManager* undoManager)
{
    if (range.clampedTo(text.length()).isEmpty())
        return;
    const Range paragraphs = paragraphRangeForRange(text.attributedString(), range);
    changeAttributes(text, paragraphs, undoManager, [&] {
        editParagraphStyles(text, paragraphs, [field, value](ParagraphStyle& style) {
            switch (field) {
            case LineMultiple: style.lineHeightMultiple = value; break;
            case LineSpacing: style.lineSpacing = value; break;
            case SpaceAfter: style.paragraphSpacing = value; break;
            case Indent1: style.firstLineHeadIndent = value; break;
            case Indent2: style.headIndent = value; break;
            }
        });
    });
}

QString HUDTextTools::convertCase(const QString& string, int toCase)
{
    if (toCase == -1)
        return string.toLower();
    if (toCase == 1)
        return string.toUpper();
    QString result;
    result.reserve(string.size());
    bool inWord = false;
    for (qsizetype i = 0; i < string.size(); ++i) {
        const QChar c = string.at(i);
        // A letter after an apostrophe inside a word ("don't") stays in the word.
        const bool wordCharacter =
            c.isLetterOrNumber() || (inWord && (c == QLatin1Char('\'') || c == QChar(0x2019)));
        if (c.isLetter())
            result += inWord ? QString(c).toLower() : QString(c).toUpper();
        else
            result += c;
        inWord = wordCharacter;
    }
    return result;
}

void HUDTextTools::forceCaseInText(TextStorage& text, platform::TextView* textView,
                                   const Range& selectedRange, int toCase)
{
    const Range range = selectedRange.clampedTo(text.length());
    if (range.isEmpty())
        return;
    const AttributedString original = text.attributedString().attributedSubstringFromRange(range);
    const QString converted = convertCase(original.string(), toCase);
    AttributedString result;
    original.enumerateAttributesInRange(
        Range(0, original.length()), [&](const QVariantMap& attributes, const Range& run, bool&) {
            // Whole-string conversion keeps the runs' places unless it changed the length
            // (a letter that turns into two); then each run is converted by itself.
            const QString piece =
                converted.size() == original.length()
                    ? converted.mid(run.location, run.length)
                    : convertCase(original.string().mid(run.location, run.length), toCase);
            result.appendAttributedString(AttributedString(piece, attributes));
        });
    if (result == original)
        return;
    if (textView) {
        if (textView->replaceCharactersAsUser(range, result))
            textView->setSelectedRange(Range(range.location, result.length()));
        return;
    }
    text.replaceCharactersInRange(range, result);
}

quint64 HUDTextTools::contactFieldRule(ContactSwitches& s, int sender)
{
    enum { LeftSide, RightSide, TopSide, BottomSide, ReduceFont, IncreaseFont, IncreaseSpacing };
    constexpr int on = 1, off = 0;
    if (sender < 0 || sender >= int(s.size()))
        return 0;
    if (s[sender] == -1)
        s[sender] = on;
    const bool senderOn = s[sender] == on;
    if (senderOn && (sender == LeftSide || sender == RightSide)) {
        s[ReduceFont] = s[IncreaseFont] = s[IncreaseSpacing] = off;
    } else if (senderOn
               && (sender == ReduceFont || sender == IncreaseFont || sender == IncreaseSpacing)) {
        s[LeftSide] = s[RightSide] = off;
        if (sender == IncreaseFont) {
            s[IncreaseSpacing] = off;
            if (s[TopSide] == off)
                s[BottomSide] = on;
        } else if (sender == IncreaseSpacing) {
            s[IncreaseFont] = off;
        }
    } else if (s[IncreaseFont] == on && s[TopSide] == off && s[BottomSide] == off) {
        s[IncreaseFont] = off;
    }
    quint64 mask = 0;
    for (size_t i = 0; i < s.size(); ++i)
        if (s[i] == on)
            mask += contactFieldBits[i];
    return mask;
}
