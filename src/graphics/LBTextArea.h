#pragma once

// The text box of a design: a rectangle on a page holding rich text, laid out inside its
// bounds as ordinary lines, along a circle (curved text) or along an inward spiral. It is
// also the base of every shape, which may carry its text along its outline instead.
//
// A text area keeps only its text (a TextStorage, shared with an in-place editor while one
// is attached). Measuring and drawing borrow one process-wide layout manager
// (textAreaLayoutManager()), which is attached to the box's text for the time of one
// operation and detached again, so no box keeps a text system of its own; the text keeps
// its layouts until it changes, so a box measured or drawn again is not laid out again.
//
// Merge fields are runs of the text carrying LBQFieldAttributeName, whose value is the
// field's option dictionary; the renderer replaces them by a contact's values when it
// draws a label. A box may be an address box (return or delivery address) with a tab
// above it, and keeps the text the user typed over merged text per label or per contact.

#include "graphics/LBGraphic.h"

#include "platform/core/Range.h"
#include "platform/text/AttributedString.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/TextViewDelegate.h"

#include <QDeadlineTimer>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>

class CanvasView;
class QMouseEvent;
class QPainterPath;
class QTimer;

namespace platform {
class GraphicsContext;
class LayoutManager;
class TextContainer;
class TextView;
} // namespace platform

// The text attribute that marks a merge field; its value is the field's option dictionary.
inline const QString LBQFieldAttributeName = QStringLiteral("LBQFieldAttributeName");

// Posted by setEditedText() (object: the text area) with the text to edit for one label or
// contact: user info "EditedText" (platform::AttributedString) and "EditedTextArrayIndex"
// (qint64, the entry's position in editedTextArray()).
inline const QString LBEditedTextSavedNotification = QStringLiteral("EditedTextSaved");

// --- In-place editing ---
// Posted (object: the text area, no user info) when in-place editing of a box starts and
// when it ends.
inline const QString LBStartEditingText = QStringLiteral("LBStartEditingText");
inline const QString LBEndEditingTextNotification = QStringLiteral("LBEndEditingTextNotification");
// --- End of in-place editing ---

class LBTextArea : public LBGraphic, public platform::TextViewDelegate
{
public:
    using TextStoragePtr = std::shared_ptr<platform::TextStorage>;
    // Entries of the edited-text and address-index arrays (dictionaries of the keys below).
    using EntryArray = QList<QVariantMap>;

    // Text-box types.
    enum TextBoxType : qint64 { OrdinaryTextBox = 0, ReturnAddressBox = 1, DeliveryAddressBox = 2 };

    // Bits of textResizeMask(): how the renderer may fit merged text into the box.
    enum TextResizeBits : quint64 {
        ResizeLeftSide = 1,
        ResizeRightSide = 2,
        ResizeTopSide = 4,
        ResizeBottomSide = 8,
        ReduceFont = 16,
        IncreaseFont = 32,
        IncreaseSpacing = 64,
    };

    LBTextArea();
    ~LBTextArea() override;

    std::shared_ptr<LBGraphic> copy() const override;

    // The text, its fitting and alignment, the text-box type, the per-label texts, the
    // curve and the text gradient, after the graphic's keys. A text box stored before text
    // gradients existed (no "TextGradientType") gets its gradient fill moved to its text and
    // its old background colour as its fill.
    QVariantMap propertyListRepresentation() const override;
    void loadPropertyListRepresentation(const QVariantMap& dictionary) override;

    bool isTextBox() const override { return true; }
    bool isShape() const override { return false; }
    bool isShapeWithText() const override { return false; }
    bool canDrawStroke() const override { return true; }
    bool canDrawFill() const override { return true; }

    // --- The text ---
    // The text storage; nullptr until text is first set. Once made, the same storage is
    // edited in place by every later setContents() until setContents(nullptr) drops it.
    const TextStoragePtr& contents() const { return _contents; }
    // Replace the whole text, undoably. Undoing the first text of a box leaves empty
    // text, not none. A null QString, like nullptr, drops the text; the box's own storage
    // changes nothing.
    void setContents(const platform::AttributedString& text);
    void setContents(const QString& text);
    void setContents(const TextStoragePtr& storage);
    void setContents(std::nullptr_t);
    // The text of a copy that is only drawn (a label's merged text): a storage of its own,
    // with no undo, no edit reports and no change notice, since nothing shows or observes
    // such a copy. Any cached picture of the box goes.
    void setContentsForDrawing(const platform::AttributedString& text);
    // A string stays as it is; attributed text stays attributed; anything else that reads
    // as text becomes attributed text without attributes; anything else is null.
    static QVariant coerceValueForContents(const QVariant& value);

    // The foreground colour of the first character at full alpha when its alpha is the
    // graphic's alpha (below 1); black for empty text or a character without colour.
    QColor firstCharacterColor() const;
    // The paragraph alignment common to the whole text: 0 left, 1 right, 2 centre,
    // 3 justified; natural counts as right in right-to-left paragraphs, otherwise left;
    // text without a paragraph style counts as left; -2 when the runs differ; 0 for no or
    // empty text.
    qint64 textAlignment() const;

    // Also gives the text's colours (and the text gradient's) that alpha.
    void setGraphicAlpha(double alpha) override;
    // Scales font sizes and kerning after a resize; undoing restores the text exactly.
    void scaleOtherSettingsByFactor(double factor) override;
    // Every font at its size × factor (text without a font counts as the 12-point default
    // font). A factor that is not a finite positive number changes nothing.
    static void adjustFontSizeInString(platform::AttributedString& string, double factor);
    static void adjustFontSizeInString(platform::TextStorage& string, double factor);
    // Every kern k becomes k × factor, so a kern of 0 (no pair kerning) stays 0. Text
    // without a kern is left alone with ignoreStandardKerning, and gets kern = factor
    // without it.
    static void adjustKerningInString(platform::AttributedString& string, double factor,
                                      bool ignoreStandardKerning);
    static void adjustKerningInString(platform::TextStorage& string, double factor,
                                      bool ignoreStandardKerning);

    // --- Size ---
    static QSizeF minSize() { return {1.0, 1.0}; }
    static QSizeF maxSize() { return {1000000.0, 1000000.0}; }
    // The size the text needs with lines at most widthLimit wide: the used rectangle one
    // point wider, never below minSize().
    QSizeF requiredSize(double widthLimit) const;
    // The height of the text laid out at the bounds' width without a height limit; 0 for
    // no or empty text.
    double textHeight() const;
    void makeNaturalSize() override;
    // Never below minSize(); drops the rollover cache.
    void setBounds(const QRectF& bounds) override;
    void setZoomFactor(double zoomFactor) override;
    // 0 (no resize handles) while the box sizes itself, otherwise all eight.
    qint64 knobMask() const override;
    // Text boxes are edited in place.
    bool isEditable() const override { return true; }

    // --- Automatic sizing ---
    // With autoResizeTextBox on, each burst of text edits ends, 0.1 seconds after the last
    // one, in a resize to the text's natural size; edits in the first second of a box's
    // life never start it.
    bool autoResizeTextBox() const { return _autoResizeTextBox; }
    void setAutoResizeTextBox(bool autoResize) { _autoResizeTextBox = autoResize; }
    // Lets automatic sizing start now; it may start by itself once the box's first second
    // is over. No timer runs for that second (the box's deadline is read on the next edit):
    // a document of many boxes opens without a timer a box.
    void enableAutoResizeTimer() { _enableAutoResizeTimer = true; }
    // When the box's first second ends, for hosts and tests that drive it.
    QDeadlineTimer autoResizeEnablingDeadline() const { return _autoResizeEnablingDeadline; }
    void setAutoResizeEnablingDeadline(QDeadlineTimer deadline)
    {
        _autoResizeEnablingDeadline = deadline;
    }
    // The resize itself (the pending timer's action): right-aligned text keeps its right
    // edge, centred text its centre, other text its left edge. Undoable.
    void autoResizeBounds();
    // The resize timer, for hosts and tests that drive it: nullptr until the first edit
    // that starts it; active while a resize is pending.
    QTimer* autoResizeBoundsTimer() const { return _autoResizeBoundsTimer.get(); }

    // --- Fitting merged text (read by the renderer) ---
    quint64 textResizeMask() const { return _textResizeMask; }
    void setTextResizeMask(quint64 mask);
    // The fitting factors the renderer found, by record: one factor per fitted line, in
    // line order. A record without an entry is measured again.
    using Multipliers = QHash<qint64, QList<double>>;
    Multipliers& shrinkMultipliers() { return _shrinkMultipliers; }
    Multipliers& expandMultipliers() { return _expandMultipliers; }
    void removeMultipliers();

    // --- Block alignment ---
    // Horizontal: 0 none, 1 centred, 2 moved to the side opposite the paragraph alignment.
    qint64 textBlockHorizontalAlignment() const { return _horizontalAlignment; }
    void setTextBlockHorizontalAlignment(qint64 alignment);
    // Vertical: 0 top, 1 middle, 2 bottom.
    qint64 textBlockVerticalAlignment() const { return _verticalAlignment; }
    void setTextBlockVerticalAlignment(qint64 alignment);
    // The offset of the drawn text from the bounds' origin found by the last drawing;
    // (0, 0) while both block alignments are 0.
    QSizeF blockAlignmentDelta() const;
    // The same offset for a text the box would show (a label's own text), measured now.
    QSizeF blockAlignmentDeltaForText(const platform::AttributedString& text) const;

    // --- Paths ---
    std::optional<platform::BezierPath> bezierPath() const override { return shapeBezierPath(); }
    // The bounds inset by half the stroke width, with the stroke width and dash.
    std::optional<platform::BezierPath> shapeBezierPath() const override;
    // The outlines of all shown glyphs in the box's own coordinates (origin at the bounds'
    // top left); nullopt for no or empty text.
    virtual std::optional<platform::BezierPath> textPath() const;

    // --- Merge fields ---
    bool containsFields() const;
    // The whole field runs overlapping the range, in text order. A zero-length range
    // inside a field gives that field; one at a field's first character gives nothing.
    QList<platform::Range> fieldsOverlappingRange(const platform::Range& range) const;
    // The same in any text.
    static QList<platform::Range> fieldsOverlappingRange(const platform::AttributedString& text,
                                                         const platform::Range& range);
    // Rollover entries of the fields that have options ("LBFieldDictionary",
    // "LBRolloverRectArray": rectangle texts in container coordinates, "LBFieldRange":
    // range text), built on first request and kept until resetFieldRolloverArray();
    // nullopt without text.
    std::optional<QList<QVariantMap>> fieldRolloverArray() const;
    void resetFieldRolloverArray();

    // --- Text-box type and address tab ---
    qint64 textBoxType() const { return _textBoxType; }
    // No undo, no redraw: the window's merge code sets it on the boxes it builds.
    void setTextBoxType(qint64 type);
    // The tab's caption ("Return Addr", "Delivery Addr"); null for ordinary boxes.
    QString addressTabStr() const { return _addressTabStr; }
    // The tab above an address box's top edge; the zero rectangle for other boxes.
    QRectF textTabBounds() const;
    void drawTab() const;
    QRectF shadowDrawingBoundsWithHandles(bool withHandles) const override;
    // The height of a delivery address's text at its last drawing; 0 for other boxes.
    double recipientTextHeight() const;
    double postnetBarcodeWidth() const { return _postnetBarcodeWidth; }
    void setPostnetBarcodeWidth(double width) { _postnetBarcodeWidth = width; }

    // --- Per-label and per-contact text ---
    // The label whose text is to be edited next; -1 for none.
    qint64 labelIndexForNewTextEditor() const { return _labelIndexForNewTextEditor; }
    void setLabelIndexForNewTextEditor(qint64 index) { _labelIndexForNewTextEditor = index; }
    // With text: records it for the contact (when contactUID is not null) or for the label
    // to edit next. Without: finds the text already recorded for them. Then the label to
    // edit next becomes -1 and, when there is a text, LBEditedTextSavedNotification is
    // posted with it and its entry's position.
    void setEditedText(const std::optional<platform::AttributedString>& text,
                       const QString& contactUID);
    // Replaces the text of one entry, keeping its other keys; an index past the end is
    // ignored.
    void updateEditedText(const platform::AttributedString& text, qint64 atArrayIndex);
    // The text recorded for the contact (when contactUID is not null) or else the label;
    // the entry's position through arrayIndex (-1 when none).
    std::optional<platform::AttributedString>
    editedTextForLabelIndex(qint64 labelIndex, const QString& contactUID, qint64* arrayIndex) const;
    const std::optional<EntryArray>& editedTextArray() const { return _editedTextArray; }
    // nullopt drops every entry.
    void setEditedTextArray(const std::optional<EntryArray>& array) { _editedTextArray = array; }

    // Which of a contact's addresses the box shows.
    void setAddressIndex(qint64 addressIndex, const QString& contactUID);
    // The first entry's index for the contact, -1 when none; its position through
    // arrayIndex (-1 when none).
    qint64 addressIndexForContactUID(const QString& contactUID, qint64* arrayIndex) const;
    const std::optional<EntryArray>& addressIndexArray() const { return _addressIndexArray; }
    void setAddressIndexArray(const std::optional<EntryArray>& array)
    {
        _addressIndexArray = array;
    }

    // The preview's per-label editing lock.
    bool textIsLocked() const { return _textIsLocked; }
    void setTextIsLocked(bool locked) { _textIsLocked = locked; }
    // The live-address badge of an address box.
    bool drawsAddressPopup() const { return _drawAddressPopup; }
    void setDrawAddressPopup(bool draw) { _drawAddressPopup = draw; }
    // Draws the box's outline even when it would not be (off screen and locked).
    void forceDrawTextOutline(bool force) { _forceDrawTextOutline = force; }

    // --- Text gradient (type 0: none; otherwise an LBGradientFill type) ---
    qint64 textGradientType() const { return _textGradientType; }
    void setTextGradientType(qint64 type);
    QColor textGradientColor1() const { return _textGradientColor1; }
    void setTextGradientColor1(const QColor& color);
    QColor textGradientColor2() const { return _textGradientColor2; }
    void setTextGradientColor2(const QColor& color);
    double textGradientCenter() const { return _textGradientCenter; }
    void setTextGradientCenter(double center);
    double textGradientCenterSize() const; // never below 0.01
    void setTextGradientCenterSize(double size);
    double textGradientAngle() const { return _textGradientAngle; }
    void setTextGradientAngle(double angle);
    // The gradient painter's colours: both text gradient colours at the graphic's alpha.
    void updateTextGradientFillColors();

    // --- Curved and spiral text ---
    bool isCurved() const { return _isCurved; }
    void setIsCurved(bool curved);
    bool isSpiral() const { return _isSpiral; }
    void setIsSpiral(bool spiral);
    bool drawsOnInsideOfCurve() const { return _drawsOnInsideOfCurve; }
    void setDrawsOnInsideOfCurve(bool inside);
    // Whole degrees.
    qint64 curveStartingAngle() const { return _curveStartingAngle; }
    void setCurveStartingAngle(qint64 degrees);
    double spiralRate() const { return _spiralRate; }
    void setSpiralRate(double rate);

    // --- Drawing ---
    // Paints the box into the current context: its outline and fill, the selection
    // outline and address tab, then the text: block-aligned straight text, curved or
    // spiral text, or the glyph outlines filled with the fill image or text gradient; then
    // the live-address badge. The view is the canvas (nullptr when printing or rendering).
    void drawInView(CanvasView* view, bool isSelected) override;
    // Fills the glyph outlines with the fill image or the text gradient.
    void drawFillImageForGlyphRange();
    // The live-address badge in the box's top-left corner.
    void drawAddressPopup() const;

    // --- The shared layout ---
    // The one layout manager every text area borrows; its container is 1,000,000 points
    // square until an operation sizes it. Made on first use, kept for the process.
    static platform::LayoutManager& textAreaLayoutManager();

protected:
    // Attaches the shared layout manager to a text for one operation, with its container
    // set to a size, and puts back whatever it was attached to, and the container's size,
    // when it ends; so operations nest.
    class SharedLayout
    {
    public:
        SharedLayout(platform::TextStorage& storage, const QSizeF& containerSize);
        ~SharedLayout();
        SharedLayout(const SharedLayout&) = delete;
        SharedLayout& operator=(const SharedLayout&) = delete;

        platform::LayoutManager& layoutManager() const { return _layoutManager; }
        platform::TextContainer* container() const { return _container; }
        const platform::TextStorage& storage() const { return *_storage; }
        platform::Range glyphRange() const;

    private:
        platform::LayoutManager& _layoutManager;
        platform::TextContainer* _container;
        platform::TextStorage* _storage;
        platform::TextStorage* _previousStorage;
        QSizeF _previousSize;
    };

    bool hasText() const { return _contents && _contents->length() > 0; }
    // Makes the storage when there is none and records the text as it is for undo.
    void prepareContentsReplacement();
    // The text's edits: redraw, and with automatic sizing on, (re)start the resize timer.
    void contentsChanged();
    // Where straight text is drawn from (block alignment applied) and the height used for
    // vertical alignment; the layout must be attached with the drawing's container.
    QPointF blockAlignedOrigin(const SharedLayout& layout, double* textBlockHeight) const;
    // The address tab's caption in the 9-point label font, dark grey.
    platform::AttributedString tabCaption() const;
    // The text (and the selection outline and tab) inside the box's transform.
    void drawTextContent(CanvasView* view, bool isSelected);
    // The glyph outlines of textPath(), one path per shown glyph, in text order, moved by
    // origin; nullopt for no or empty text.
    std::optional<QList<QPainterPath>> glyphOutlines(const QPointF& origin = QPointF()) const;
    // Fills the paths with what paint() draws (in the current coordinates) into a layer
    // covering extent.
    static void fillPathsWithPainting(const QList<QPainterPath>& paths, const QRectF& extent,
                                      const std::function<void(platform::GraphicsContext&)>& paint);
    // Curved or spiral text around the centre of the bounds.
    void drawCurvedText() const;
    // Gives every colour of the text that alpha (text without colour becomes black).
    void applyAlphaToText(double alpha);
    // Copies this box's own fields onto a copy made by the base class.
    void copyTextAreaFields(LBTextArea& copy) const;

    TextStoragePtr _contents;
    platform::TextStorage::Observation _contentsObservation;
    // Not owned; set while the box is edited in place, cleared if the canvas deletes it.
    QPointer<platform::TextView> _editor;
    quint64 _textResizeMask = 0;
    Multipliers _shrinkMultipliers;
    Multipliers _expandMultipliers;
    qint64 _horizontalAlignment = 0;
    qint64 _verticalAlignment = 0;
    double _postnetBarcodeWidth = 0.0;
    QSizeF _blockAlignmentDelta{0.0, 0.0};
    double _recipientTextHeight = 0.0;
    mutable std::optional<QList<QVariantMap>> _fieldRolloverArray;
    qint64 _textBoxType = 0;
    QString _addressTabStr;
    qint64 _labelIndexForNewTextEditor = -1;
    std::optional<EntryArray> _editedTextArray;
    std::optional<EntryArray> _addressIndexArray;
    bool _textIsLocked = true;
    bool _forceDrawTextOutline = false;
    bool _drawAddressPopup = false;
    bool _isCurved = false;
    bool _isSpiral = false;
    bool _drawsOnInsideOfCurve = false;
    qint64 _curveStartingAngle = 270;
    double _spiralRate = 0.2;
    std::shared_ptr<LBGradientFill> _textGradientFill;
    std::unique_ptr<QTimer> _autoResizeBoundsTimer;
    QDeadlineTimer _autoResizeEnablingDeadline;
    bool _enableAutoResizeTimer = false;
    bool _autoResizeTextBox = false;
    qint64 _textGradientType = 0;
    QColor _textGradientColor1;
    QColor _textGradientColor2;
    double _textGradientCenter = 1.0;
    double _textGradientCenterSize = 0.0;
    double _textGradientAngle = 0.0;

    // --- In-place editing ---
    // The editing itself (the editors, laying one over the box, the editor following the
    // box as it grows) is the canvas's editing controller's, LBProcessState::textEditing();
    // these operations forward to it. While there is none (no canvas in the process) no box
    // is edited. The box keeps its text, its links to the editor and canvas, the rule by
    // which it grows, and its answers as the editor's delegate.
public:
    // Starts editing the box in view: attaches an editor (the shared one, or one of the
    // box's own while the shared one is busy) over the box, sharing its text, makes it
    // first responder, passes it the click (event, in view coordinates) when there is one,
    // posts LBStartEditingText and, with selectContents, selects the whole text. A box
    // holding a cropped picture does what every graphic does instead. A box without text
    // gets an empty one first (not undoable).
    void startEditingWithEvent(QMouseEvent* event, CanvasView* view, bool selectContents) override;
    // When view is editing this box: posts LBEndEditingTextNotification and detaches the
    // editor (a private one is freed). Always forgets the editor and the rollover cache.
    void endEditingInView(CanvasView* view) override;
    // The editor editing this box; nullptr when none.
    platform::TextView* textEditor() const;
    // Sizes editor to the box, joins it to the box's text, adds it to view, tells view
    // which box it edits and becomes its delegate. A box at a right angle (own plus group
    // rotation) gets its editor turned with it about the turned origin; an oblique one is
    // edited upright.
    void setupEditor(platform::TextView* editor, CanvasView* view);

    // A new editor: its own layout manager and a 1,000,000-point square container, no
    // inset, undo allowed. Deleting it frees the whole chain. nullptr without a canvas.
    static platform::TextView* textAreaFieldEditor();
    // Whether the shared editor is attached to a box now.
    static bool textAreaFieldEditorInUse();

    // The editor's delegate: a "RegularText" placeholder is selected whole and stops being
    // a placeholder at the first change; the box grows (never shrinks) to the typed text.
    platform::Range textViewWillChangeSelectionFromCharacterRangeToCharacterRange(
        platform::TextView* textView, const platform::Range& oldRange,
        const platform::Range& newRange) override;
    bool
    textViewShouldChangeTextInRangeReplacementString(platform::TextView* textView,
                                                     const platform::Range& range,
                                                     const QString& replacementString) override;
    void textDidChange(platform::TextView* textView) override;
    // Typing is undone with the document's other changes.
    platform::UndoManager* undoManagerForTextView(platform::TextView* textView) override;

    // How the box grows to its edited text: the size the text needs (at most 1,000,000
    // points wide when the editor grows sideways, else at the bounds' width); nothing when
    // that fits the bounds, since editing never shrinks the box. Otherwise the new bounds:
    // as tall as the text needs; growing sideways, as wide, its left edge moved left by
    // the whole widening for right-aligned text, half of it for centred text.
    struct EditingGrowth
    {
        QRectF bounds;
        double widthGrowth = 0.0; // how much wider than now
        double shift = 0.0;       // how far the left edge moves left
    };
    std::optional<EditingGrowth> growthToFitEditedText(bool horizontallyResizable) const;
    // Drops the pending automatic resize: editing that widens the box takes its place.
    void cancelAutoResizeBounds();

    // The links the editing controller keeps on the box while it is edited: the editor
    // and its canvas. Neither is owned; the editor link clears itself when the editor goes.
    CanvasView* editingView() const { return _editingView; }
    void setTextEditor(platform::TextView* editor, CanvasView* view);

private:
    // A box that goes away mid-edit lets go of its editor and canvas. Declared last, so it
    // runs while the other fields still exist.
    struct EditingCleanup
    {
        LBTextArea* box;
        ~EditingCleanup();
    };
    CanvasView* _editingView = nullptr; // not owned; the canvas of the current edit
    EditingCleanup _editingCleanup{this};
    // --- End of in-place editing ---
};

using LBTextAreaPtr = std::shared_ptr<LBTextArea>;
