#pragma once

// A view that shows and edits the text of a TextStorage in place. It lays the text out
// with its own LayoutManager and TextContainer (the same typesetter every other drawing of
// text uses, so the glyphs do not move when editing starts or ends) and draws the glyphs,
// the selection and the insertion point itself; keys, the mouse and input methods change
// the storage directly. The storage is the only copy of the text: edits made elsewhere
// show at once and move the selection along.
//
// Geometry: frame() is the view's rectangle in its superview (its parent widget), before
// any rotation, in the superview's own units: a superview that shows its content zoomed
// (a canvas at 495 %) tells the view its scale (superviewScale(), pixels a unit), and the
// view is placed and drawn at that scale while frames stay in the superview's units. frameRotation() turns the view about its frame origin, in degrees, the way
// the page view turns graphics (clockwise on screen, y growing downwards); the widget then
// covers the bounding box of the turned rectangle and draws and takes clicks in the turned
// coordinates. A resizable view fits its frame to the laid-out text after every change,
// keeping the frame origin, within minSize() and maxSize().
//
// The view draws no background.
//
// Clipboard and drags go through Pasteboard: copy() and dragging the selection out write
// writeSelectionToPasteboard() (rich text with plain text beside it); paste() and a drop
// read its rich text, or else its plain text. A press inside the selection that moves
// starts a drag of the selected text (a move, or a copy with Ctrl held); a drop of text
// onto the view inserts it at the drop point, as one undoable change.

#include "platform/core/Range.h"
#include "platform/ui/Responder.h"
#include "platform/ui/TextViewDelegate.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariantMap>
#include <QWidget>

#include <memory>
#include <optional>

class QDragEnterEvent;
class QDragLeaveEvent;
class QDragMoveEvent;
class QDropEvent;
class QFont;
class QInputMethodEvent;
class QKeyEvent;
class QMouseEvent;
class QTimer;
class QTransform;

namespace platform {

class LayoutManager;
class TextContainer;
class TextStorage;
class UndoManager;
class AttributedString;
class DraggingInfo;
class Pasteboard;

// Posted by a text view (object: the view) after its selection changed, with the range it
// had before under TextViewOldSelectedRangeKey (the range's string form, stringFromRange()).
inline const QString TextViewDidChangeSelectionNotification =
    QStringLiteral("TextViewDidChangeSelection");
inline const QString TextViewOldSelectedRangeKey = QStringLiteral("NSOldSelectedCharacterRange");

class TextView : public QWidget, public Responder
{
    Q_OBJECT
public:
    enum class SelectionGranularity { Character, Word, Paragraph };
    // Which way the user moved an insertion point: a subclass that forbids some positions
    // moves a forbidden one onward in that direction (None: to the nearer allowed one).
    enum class Direction { None, Backward, Forward };

    // Joins the view to container, which belongs to a layout manager the caller keeps.
    TextView(const QRectF& frame, TextContainer* container, QWidget* parent = nullptr);
    // Joins the view to the container of layoutManager and keeps the layout manager (and
    // through it the container): deleting the view frees the whole chain.
    TextView(const QRectF& frame, std::unique_ptr<LayoutManager> layoutManager,
             QWidget* parent = nullptr);
    // A view with a new layout manager and a new container of its own.
    explicit TextView(const QRectF& frame, QWidget* parent = nullptr);
    ~TextView() override;

    // --- The text system ---
    TextContainer* textContainer() const { return _textContainer; }
    LayoutManager* layoutManager() const;
    TextStorage* textStorage() const;
    // Where the container's origin lies in the view, unrotated: the inset, and for a
    // horizontally resizable view also left of the used text, so that text aligned to the
    // right or centre of a wide container still shows.
    QPointF textContainerOrigin() const;
    QSizeF textContainerInset() const { return _textContainerInset; }
    void setTextContainerInset(const QSizeF& inset);

    // --- Geometry ---
    // Leaves the superview: hidden and without a parent widget until one takes it in.
    void removeFromSuperview();
    QRectF frame() const { return _frame; }
    void setFrame(const QRectF& frame);
    void setFrameOrigin(const QPointF& origin);
    void setFrameSize(const QSizeF& size);
    // The size of the view's own coordinate space, drawn scaled into the frame (a view
    // shown zoomed); the frame's size until one is set. An empty size follows the frame
    // again.
    QSizeF boundsSize() const { return _boundsSize.isEmpty() ? _frame.size() : _boundsSize; }
    void setBoundsSize(const QSizeF& size);
    double frameRotation() const { return _frameRotation; }
    void setFrameRotation(double degrees);
    // The superview's pixels per unit of its coordinates (and of frame()); 1 until set.
    // Values of 0 or less count as 1.
    double superviewScale() const { return _superviewScale; }
    void setSuperviewScale(double scale);
    QSizeF minSize() const { return _minSize; }
    void setMinSize(const QSizeF& size);
    QSizeF maxSize() const { return _maxSize; }
    void setMaxSize(const QSizeF& size);
    bool isHorizontallyResizable() const { return _horizontallyResizable; }
    void setHorizontallyResizable(bool resizable);
    bool isVerticallyResizable() const { return _verticallyResizable; }
    void setVerticallyResizable(bool resizable);
    // Fits a resizable frame to the text now (it happens by itself after changes).
    void sizeToFit();
    // From the view's unrotated coordinates to its superview's (the superview's pixels, as
    // its events give them), and back.
    QTransform viewToSuperview() const;
    QPointF convertPointToSuperview(const QPointF& point) const;
    QPointF convertPointFromSuperview(const QPointF& point) const;

    // --- Font and typing ---
    // The font of the first character, or of the typing attributes for empty text (the
    // default font when neither has one).
    QFont font() const;
    // Gives all of the text, and what is typed next, this font.
    void setFont(const QFont& font);
    // The attributes typed text gets: those of the character before the insertion point
    // (or the first selected one), kept as they are while the text is empty.
    virtual QVariantMap typingAttributes() const;
    void setTypingAttributes(const QVariantMap& attributes);

    // --- Selection ---
    Range selectedRange() const;
    // Selects range (clipped to the text) after the subclass's adjustment and the
    // delegate's answer.
    void setSelectedRange(const Range& range);
    void selectAll();
    // The character index whose boundary lies nearest to point (view coordinates,
    // unrotated).
    qsizetype characterIndexForPoint(const QPointF& point) const;
    // Where the insertion point at index is drawn, in view coordinates (unrotated).
    QRectF insertionPointRect(qsizetype index) const;

    // Subclass hooks on every selection the user or the program asks for. The base widens
    // the range to whole words or paragraphs for those granularities; forbidding positions
    // is up to subclasses.
    virtual Range selectionRangeForProposedRange(const Range& proposedRange,
                                                 SelectionGranularity granularity) const;
    virtual qsizetype insertionPointForProposedIndex(qsizetype index, Direction direction) const;
    // The characters the next typed text replaces: the selection.
    virtual Range rangeForUserTextChange() const;

    // --- Delegate ---
    TextViewDelegate* delegate() const { return _delegate; }
    void setDelegate(TextViewDelegate* delegate) { _delegate = delegate; }

    // --- Editing as the user does it ---
    // Each goes through shouldChangeTextInRange, records the inverse for undo and ends
    // with didChangeText.
    void insertText(const QString& text);
    // One character (grapheme) before or after the insertion point, or the selection.
    void deleteBackward();
    void deleteForward();
    void cut();
    // The selection onto the general pasteboard (writeSelectionToPasteboard()).
    virtual void copy();
    // The general pasteboard's rich text (or else plain text) in place of the selection,
    // as one user change named "Paste".
    virtual void paste();
    // The general pasteboard's plain text (or else the characters of its rich text) in
    // place of the selection, taking the style of the text it replaces; named "Paste".
    virtual void pasteAndMatchStyle();
    // Declares the types and writes the selected text; false when nothing is selected.
    // The base writes rich text (with plain text beside it).
    virtual bool writeSelectionToPasteboard(Pasteboard& pasteboard) const;
    // The pasteboard's rich text, or else its plain text with the typing attributes;
    // std::nullopt when it offers neither or only empty text.
    std::optional<AttributedString> textFromPasteboard(const Pasteboard& pasteboard) const;
    // Which commands are on: Paste and Match Style while the general pasteboard offers
    // plain or rich text; every other command.
    enum class MenuAction { PasteAndMatchStyle, Other };
    virtual bool validateMenuItem(MenuAction action) const;
    // As the first responder of its window the view answers the Edit menu's commands on
    // its text (cut:, copy:, paste:, pasteAndMatchStyle:, delete:, selectAll:): cutting,
    // copying and deleting need a selection, pasting text on the pasteboard.
    bool validateMenuItem(QAction* item) override;
    // Replaces range with text as a user change; false when it was refused.
    bool replaceCharactersAsUser(const Range& range, const AttributedString& text);
    // Asks the delegate whether the user may change range; subclasses may refuse more.
    virtual bool shouldChangeTextInRange(const Range& range, const QString& replacementString);
    void didChangeText();
    bool allowsUndo() const { return _allowsUndo; }
    void setAllowsUndo(bool allowsUndo) { _allowsUndo = allowsUndo; }
    UndoManager* undoManager();

    // --- First responder and the mouse ---
    // Takes the keyboard focus (activating the view's window).
    void makeFirstResponder();
    bool isFirstResponder() const;
    // Starts a click or drag with an event received by the superview (its position in the
    // superview's coordinates); the rest of the drag comes to the view by itself.
    void mouseDown(QMouseEvent* event);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

    // --- Dragging the selection out ---
    // Writes the selection to a new drag's pasteboard and runs the drag from a press at
    // viewPoint (view coordinates). A move that ended in another destination deletes the
    // dragged text; a move within this view moves it as one change.
    void dragSelection(const QPointF& viewPoint);
    // Hooks of the drag's start and end (the drop action, Qt::IgnoreAction when it failed).
    virtual void draggedImageBeganAt(const QPointF& viewPoint);
    virtual void draggedImageEndedAt(const QPointF& viewPoint, Qt::DropAction operation);

    // --- Drops into the text ---
    // Whether a drop can bring text: rich or plain text on its pasteboard.
    static bool pasteboardOffersText(const Pasteboard& pasteboard);
    // Inserts the dropped text at the drop point (the insertion point the subclass allows
    // there), selects it and answers whether it inserted anything. A drop from this view
    // itself moves the text. Subclasses add to it.
    virtual bool concludeDragOperation(DraggingInfo& info);

protected:
    // Replaces range in the storage directly, without asking shouldChangeTextInRange (for
    // text the view itself has checked), records the inverse for undo under actionName,
    // puts the insertion point after the new text and ends with didChangeText.
    void replaceCharactersWithoutChecks(const Range& range, const AttributedString& text,
                                        const QString& actionName);
    // Names the change just recorded, when the view records undo.
    void setUndoActionName(const QString& actionName);
    // The name of a paste's step: "Paste" in the program's table "UndoStrings".
    static QString pasteActionName();
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class LayoutManager;
    friend class TextContainer;
    // Called by the text system.
    void textStorageChanged();
    void textStorageEdited(int mask, const Range& editedRange, qsizetype changeInLength);
    void textContainerChangedGeometry();
    void textContainerDestroyed();

    void init(const QRectF& frame);
    void updateGeometryFromFrame();
    QTransform widgetToView() const;
    // Selection with the end that moves (focus) and the end that stays (anchor).
    void setSelection(qsizetype anchor, qsizetype focus, SelectionGranularity granularity,
                      Direction direction, bool askDelegate);
    void applySelection(const Range& range, bool focusAtStart, bool askDelegate);
    void updateTypingAttributesFromText();
    bool handleKey(QKeyEvent* event, bool test);
    void moveInsertionPoint(qsizetype focus, Direction direction, bool extend);
    qsizetype lineBoundary(qsizetype index, bool end) const;
    qsizetype verticalNeighbour(qsizetype index, bool down);
    qsizetype graphemeBoundary(qsizetype index, bool forward) const;
    qsizetype wordBoundary(qsizetype index, bool forward) const;
    Range wordRange(qsizetype index) const;
    // Deletes [from, to) as a user change; with adjust, the range the subclass allows
    // (a word); without, exactly those characters (one character, for the subclass to judge
    // in shouldChangeTextInRange).
    void deleteRange(qsizetype from, qsizetype to, bool adjust);
    void startDrag(const QPointF& viewPoint, int clickCount);
    // Whether a press lies in the selection, where a drag out of the text may start.
    bool pressStartsDragOut(const QPointF& viewPoint, const QMouseEvent* event);
    void dragTo(const QPointF& viewPoint);
    void resetCaretBlink();
    QTransform viewToWidget() const;
    // Undo of a user change: puts replacement back over range, through the view that
    // shows the storage when there is one, and records the redo.
    static void registerReplacementUndo(UndoManager* undoManager, TextStorage* storage,
                                        const Range& range, const AttributedString& replacement);
    static void replaceForUndo(UndoManager* undoManager, TextStorage* storage, const Range& range,
                               const AttributedString& replacement);
    // Typing: characters typed one after another at the insertion point are one undo
    // step. The run's undo closure reads the record, whose range grows while the typing
    // goes on; any other change, selection or step ends the run.
    struct TypingRun;
    bool replaceCharacters(const Range& range, const AttributedString& text, bool typing);
    static void registerTypingUndo(UndoManager* undoManager, TextStorage* storage,
                                   const std::shared_ptr<const TypingRun>& run);

    TextContainer* _textContainer = nullptr;
    std::unique_ptr<LayoutManager> _ownedLayoutManager;
    TextStorage* _observedStorage = nullptr;
    TextViewDelegate* _delegate = nullptr;

    QRectF _frame;
    QSizeF _boundsSize;
    double _frameRotation = 0;
    double _superviewScale = 1;
    QSizeF _minSize{1, 1};
    QSizeF _maxSize{1000000, 1000000};
    QSizeF _textContainerInset{0, 0};
    bool _horizontallyResizable = false;
    bool _verticallyResizable = true;

    qsizetype _anchor = 0;
    qsizetype _focus = 0;
    QVariantMap _typingAttributes;
    qreal _goalX = -1; // kept across up and down moves
    bool _movingVertically = false;
    bool _allowsUndo = false;
    bool _didBeginEditing = false;
    int _userEditDepth = 0;
    std::shared_ptr<TypingRun> _typingRun; // the run typing may still extend

    // Mouse tracking.
    bool _pressInSelection = false; // a press inside the selection may start a drag out
    QPointF _pressPoint;
    bool _draggingOut = false;
    bool _movedWithinDuringDrag = false;
    qsizetype _dropIndex = -1; // where a drag over the view would insert; -1 when none
    bool _dragging = false;
    bool _grabbed = false;
    qsizetype _dragAnchor = 0;
    SelectionGranularity _dragGranularity = SelectionGranularity::Character;

    // Input method composition, shown at the insertion point until committed.
    QString _preedit;
    bool _caretVisible = true;
    QTimer* _caretTimer = nullptr;
};

} // namespace platform
