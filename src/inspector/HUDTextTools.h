#pragma once

// What the text panes of the inspector (font, typography) do to attributed text, apart
// from any control: reading the font, alignment and paragraph values common to a text or
// a part of it, and changing fonts, colours, alignment, kerning, paragraph values and
// letter case run by run, so that each run keeps what the change does not touch.
//
// Operations on a TextStorage that take an undo manager record one inverse for what they
// changed (the attributes the range had before) on it; the inverse holds the storage only
// weakly, so it does nothing once the text is gone, and never refers to a palette.

#include "platform/core/Range.h"

#include <QColor>
#include <QFont>
#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace platform {
class AttributedString;
class TextStorage;
class TextView;
class UndoManager;
} // namespace platform

class HUDTextTools
{
public:
    // Alignment codes: the text system's, and -1 for text whose paragraphs differ.
    enum Alignment : qint64 {
        Left = 0,
        Right = 1,
        Center = 2,
        Justified = 3,
        Natural = 4,
        Mixed = -1
    };

    // --- Reading ---
    // The font common to the whole text (none when runs differ or the text is empty).
    // family and faceName become empty where runs differ, size 0; text without a font
    // reads as the default font.
    static std::optional<QFont> fontFamilyName(QString* family, QString* faceName, double* size,
                                               const platform::AttributedString& forText);
    // The alignment of the paragraph-style runs the range touches (natural counts as
    // right in right-to-left paragraphs, else left); -1 when they differ or the text is
    // empty. An insertion point at or past the end reads the last character's paragraph.
    static qint64 alignmentForText(const platform::AttributedString& text,
                                   const platform::Range& selectedRange);

    // --- Changing runs ---
    // Runs change(), which changes attributes only (no characters) within range, and
    // records the inverse on undoManager (nothing when it is null).
    static void changeAttributes(platform::TextStorage& text, const platform::Range& range,
                                 platform::UndoManager* undoManager,
                                 const std::function<void()>& change);
    // The font over the range (nullopt removes it).
    static void setFontForText(platform::TextStorage& text, const platform::Range& inRange,
                               const std::optional<QFont>& toFont,
                               platform::UndoManager* undoManager);
    // Each font run within the range converted to the family (when not empty), then the
    // face (when not empty), then the size (when not 0). Returns the font at the range's
    // start afterwards.
    static QFont setFontForTextToFamily(platform::TextStorage& text, const platform::Range& inRange,
                                        const QString& toFamily, const QString& toFace,
                                        double toSize, platform::UndoManager* undoManager);
    // Each font run within the range gets convert(its font); returns the font at the
    // range's start afterwards.
    static QFont convertFontsInText(platform::TextStorage& text, const platform::Range& inRange,
                                    const std::function<QFont(const QFont&)>& convert,
                                    platform::UndoManager* undoManager);
    // A font converted the same way.
    static QFont convertFont(const QFont& font, const QString& toFamily, const QString& toFace,
                             double toSize);
    // The foreground (or background) colour over every colour run of the range.
    static void setColorForText(platform::TextStorage& text, const platform::Range& inRange,
                                const QColor& toColor, bool setBackgroundColor,
                                platform::UndoManager* undoManager);
    // The paragraphs the range lies in, whole (an insertion point: its paragraph).
    static platform::Range paragraphRangeForRange(const platform::AttributedString& text,
                                                  const platform::Range& range);
    // Every paragraph-style run of the range gets its own style with this alignment.
    static void setAlignmentForText(platform::TextStorage& text, const platform::Range& range,
                                    qint64 alignment, platform::UndoManager* undoManager);
    // The font an attribute value holds (the default font for none).
    static QFont fontFromAttribute(const QVariant& value);
    // The font at index (the default font where there is none).
    static QFont fontAtIndex(const platform::AttributedString& text, qsizetype index);

    // --- Kerning ---
    // Each kern run of the range moves by the point size of the font at its start / 72,
    // tighter for a negative direction.
    static void adjustKerning(int direction, platform::TextStorage& forText,
                              const platform::Range& range);

    // --- Paragraph values ---
    enum ParagraphField { LineMultiple = 0, LineSpacing, SpaceAfter, Indent1, Indent2 };
    struct ParagraphValues
    {
        std::array<double, 5> values{1.0, 0.0, 0.0, 0.0, 0.0};
        std::array<bool, 5> mixed{false, false, false, false, false};
    };
    // The paragraph-style runs of the range: the first gives the values (no style: line
    // multiple 1 and 0 for the rest; a multiple of 0 reads as 1), a later differing one
    // marks its value mixed. An empty range reads nothing (the defaults, unmixed).
    static ParagraphValues getParagraphValuesForText(const platform::AttributedString& text,
                                                     const platform::Range& selectedRange);
    // Each paragraph-style run of the paragraphs the range lies in gets its own style with
    // the field's value. An empty range changes nothing.
    static void typoFieldActionForText(platform::TextStorage& text, const platform::Range& range,
                                       ParagraphField field, double value,
                                       platform::UndoManager* undoManager);

    // --- Letter case ---
    // -1 lower case, 1 upper case, anything else capitalised (a capital at the start of
    // every word, the rest small).
    static QString convertCase(const QString& string, int toCase);
    // The range's text in that case, converted as one string (so words, not runs, get
    // their capitals) and written back with each run's attributes. Through the view (one
    // user change, undone by its undo manager) when there is one, the range selected
    // again afterwards; else straight into the text. Nothing for an empty range.
    static void forceCaseInText(platform::TextStorage& text, platform::TextView* textView,
                                const platform::Range& selectedRange, int toCase);

    // --- Contact fields ---
    // The fitting options' check boxes: left, right, top, bottom, reduce font, increase
    // font, increase spacing (states 1 on, 0 off, -1 mixed) and their bits.
    using ContactSwitches = std::array<int, 7>;
    static constexpr std::array<quint64, 7> contactFieldBits{1, 2, 4, 8, 16, 32, 64};
    // The rule for a click on box `sender`: a mixed sender goes on; the options that
    // exclude it go off; increase-font needs top or bottom. Returns the mask of the boxes
    // on (mixed ones count as off).
    static quint64 contactFieldRule(ContactSwitches& switches, int sender);
};
