#include "platform/ui/TextView.h"

#include "platform/core/NotificationCenter.h"
#include "platform/core/UndoManager.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/WindowController.h"

#include <QClipboard>
#include <QFocusEvent>
#include <QFont>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPointer>
#include <QPolygonF>
#include <QRegion>
#include <QStyleHints>
#include <QTextBoundaryFinder>
#include <QTimer>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform {

namespace {

bool isParagraphBreak(QChar c)
{
    return c == u'\n' || c == u'\r' || c == QChar(0x2029);
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == u'_';
}

// Angles as the transform takes them exactly: 90, 180 and 270 give exact quarter turns.
double normalizedDegrees(double degrees)
{
    double d = std::fmod(degrees, 360.0);
    if (d < 0)
        d += 360.0;
    return d;
}

bool isQuarterTurn(double degrees)
{
    return std::fmod(normalizedDegrees(degrees), 90.0) == 0.0;
}

std::unique_ptr<LayoutManager> newTextSystem()
{
    auto layoutManager = std::make_unique<LayoutManager>();
    layoutManager->setTextContainer(std::make_unique<TextContainer>());
    return layoutManager;
}

// The view that shows the storage's text, if any.
TextView* viewShowing(TextStorage* storage)
{
    for (LayoutManager* manager : storage->layoutManagers()) {
        if (manager->textContainer() && manager->textContainer()->textView())
            return manager->textContainer()->textView();
    }
    return nullptr;
}

constexpr QKeyCombination
    pasteAndMatchStyleKeys(Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier, Qt::Key_V);

bool yieldsToShortcuts(const QKeyEvent* event)
{
    return WindowController::menuKeyComesFirst(event)
           && event->keyCombination() != pasteAndMatchStyleKeys;
}

} // namespace

// --- Construction ---

TextView::TextView(const QRectF& frame, TextContainer* container, QWidget* parent)
    : QWidget(parent), _textContainer(container)
{
    init(frame);
}

TextView::TextView(const QRectF& frame, std::unique_ptr<LayoutManager> layoutManager,
                   QWidget* parent)
    : QWidget(parent), _ownedLayoutManager(std::move(layoutManager))
{
    if (_ownedLayoutManager) {
        if (!_ownedLayoutManager->textContainer())
            _ownedLayoutManager->setTextContainer(std::make_unique<TextContainer>());
        _textContainer = _ownedLayoutManager->textContainer();
    }
    init(frame);
}

TextView::TextView(const QRectF& frame, QWidget* parent) : TextView(frame, newTextSystem(), parent)
{}

TextView::~TextView()
{
    if (_grabbed)
        releaseMouse();
    if (_textContainer && _textContainer->_textView == this)
        _textContainer->_textView = nullptr;
    _textContainer = nullptr;
    // Frees the container too; nothing reports back to this view any more.
    _ownedLayoutManager.reset();
}

void TextView::init(const QRectF& frame)
{
    if (_textContainer) {
        if (TextView* previous = _textContainer->_textView)
            previous->_textContainer = nullptr;
        _textContainer->_textView = this;
    }
    setAttribute(Qt::WA_InputMethodEnabled);
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    _caretTimer = new QTimer(this);
    connect(_caretTimer, &QTimer::timeout, this, [this] {
        _caretVisible = !_caretVisible;
        update();
    });
    _frame = frame;
    updateGeometryFromFrame();
    textStorageChanged();
    addCommand(QStringLiteral("cut:"), [this](QObject*) { cut(); });
    addCommand(QStringLiteral("copy:"), [this](QObject*) { copy(); });
    addCommand(QStringLiteral("paste:"), [this](QObject*) { paste(); });
    addCommand(QStringLiteral("pasteAndMatchStyle:"), [this](QObject*) { pasteAndMatchStyle(); });
    addCommand(QStringLiteral("selectAll:"), [this](QObject*) { selectAll(); });
    addCommand(QStringLiteral("delete:"), [this](QObject*) {
        if (!selectedRange().isEmpty())
            replaceCharactersAsUser(rangeForUserTextChange(), AttributedString());
    });
}

// --- The text system ---

LayoutManager* TextView::layoutManager() const
{
    return _textContainer ? _textContainer->layoutManager() : nullptr;
}

TextStorage* TextView::textStorage() const
{
    LayoutManager* manager = layoutManager();
    return manager ? manager->textStorage() : nullptr;
}

QPointF TextView::textContainerOrigin() const
{
    QPointF origin(_textContainerInset.width(), _textContainerInset.height());
    LayoutManager* manager = layoutManager();
    if (_horizontallyResizable && manager && textStorage())
        origin.rx() -= manager->usedRectForTextContainer(_textContainer).left();
    return origin;
}

void TextView::setTextContainerInset(const QSizeF& inset)
{
    _textContainerInset = inset;
    sizeToFit();
    update();
}

void TextView::textStorageChanged()
{
    _preedit.clear();
    setSelection(_anchor, _focus, SelectionGranularity::Character, Direction::None, false);
    sizeToFit();
    update();
}

void TextView::textStorageEdited(int mask, const Range& editedRange, qsizetype changeInLength)
{
    // A change the view makes itself sets the selection and fits the frame afterwards.
    if (_userEditDepth > 0) {
        update();
        return;
    }
    qsizetype anchor = _anchor;
    qsizetype focus = _focus;
    if (mask & TextStorage::EditedCharacters) {
        const qsizetype oldEnd = editedRange.end() - changeInLength;
        auto moved = [&](qsizetype index) {
            if (index <= editedRange.location)
                return index;
            if (index >= oldEnd)
                return index + changeInLength;
            return editedRange.end();
        };
        anchor = moved(anchor);
        focus = moved(focus);
    }
    setSelection(anchor, focus, SelectionGranularity::Character, Direction::None, false);
    sizeToFit();
    update();
}

void TextView::textContainerChangedGeometry()
{
    if (_userEditDepth == 0)
        sizeToFit();
    update();
}

void TextView::textContainerDestroyed()
{
    _textContainer = nullptr;
    update();
}

// --- Geometry ---

void TextView::removeFromSuperview()
{
    if (_grabbed) {
        releaseMouse();
        _grabbed = false;
    }
    _dragging = false;
    hide();
    setParent(nullptr);
}

void TextView::setFrame(const QRectF& frame)
{
    if (frame == _frame)
        return;
    _frame = frame;
    updateGeometryFromFrame();
}

void TextView::setFrameOrigin(const QPointF& origin)
{
    setFrame(QRectF(origin, _frame.size()));
}

void TextView::setFrameSize(const QSizeF& size)
{
    setFrame(QRectF(_frame.topLeft(), size));
}

void TextView::setBoundsSize(const QSizeF& size)
{
    if (size == _boundsSize)
        return;
    _boundsSize = size;
    updateGeometryFromFrame();
}

void TextView::setFrameRotation(double degrees)
{
    if (degrees == _frameRotation)
        return;
    _frameRotation = degrees;
    updateGeometryFromFrame();
}

void TextView::setSuperviewScale(double scale)
{
    scale = scale > 0 ? scale : 1;
    if (scale == _superviewScale)
        return;
    _superviewScale = scale;
    updateGeometryFromFrame();
}

void TextView::setMinSize(const QSizeF& size)
{
    _minSize = size;
    sizeToFit();
}

void TextView::setMaxSize(const QSizeF& size)
{
    _maxSize = size;
    sizeToFit();
}

void TextView::setHorizontallyResizable(bool resizable)
{
    _horizontallyResizable = resizable;
    sizeToFit();
    update();
}

void TextView::setVerticallyResizable(bool resizable)
{
    _verticallyResizable = resizable;
    sizeToFit();
}

void TextView::sizeToFit()
{
    LayoutManager* manager = layoutManager();
    if ((!_horizontallyResizable && !_verticallyResizable) || !manager || !textStorage())
        return;
    manager->ensureLayoutForTextContainer(_textContainer);
    const QRectF used = manager->usedRectForTextContainer(_textContainer);
    QSizeF size = boundsSize();
    if (_horizontallyResizable)
        size.setWidth(std::clamp(used.width() + 2 * _textContainerInset.width(), _minSize.width(),
                                 std::max(_minSize.width(), _maxSize.width())));
    if (_verticallyResizable)
        size.setHeight(std::clamp(used.bottom() + 2 * _textContainerInset.height(),
                                  _minSize.height(),
                                  std::max(_minSize.height(), _maxSize.height())));
    if (!_boundsSize.isEmpty()) {
        // A scaled view keeps its scale.
        const QSizeF frame(size.width() * _frame.width() / _boundsSize.width(),
                           size.height() * _frame.height() / _boundsSize.height());
        _boundsSize = size;
        _frame.setSize(frame);
        updateGeometryFromFrame();
        return;
    }
    setFrameSize(size);
}

QTransform TextView::viewToSuperview() const
{
    QTransform transform;
    transform.scale(_superviewScale, _superviewScale);
    transform.translate(_frame.x(), _frame.y());
    transform.rotate(normalizedDegrees(_frameRotation));
    const QSizeF bounds = boundsSize();
    if (bounds != _frame.size() && bounds.width() > 0 && bounds.height() > 0)
        transform.scale(_frame.width() / bounds.width(), _frame.height() / bounds.height());
    return transform;
}

QPointF TextView::convertPointToSuperview(const QPointF& point) const
{
    return viewToSuperview().map(point);
}

QPointF TextView::convertPointFromSuperview(const QPointF& point) const
{
    return viewToSuperview().inverted().map(point);
}

QTransform TextView::viewToWidget() const
{
    return viewToSuperview() * QTransform::fromTranslate(-x(), -y());
}

QTransform TextView::widgetToView() const
{
    return viewToWidget().inverted();
}

void TextView::updateGeometryFromFrame()
{
    const QRectF local(QPointF(0, 0), boundsSize());
    const QRectF covered = viewToSuperview().mapRect(local);
    QRect rect = covered.toAlignedRect();
    rect.setWidth(std::max(rect.width(), 1));
    rect.setHeight(std::max(rect.height(), 1));
    setGeometry(rect);
    // Away from quarter turns the widget's box is larger than the view: clicks in its
    // corners belong to what lies below.
    if (isQuarterTurn(_frameRotation))
        clearMask();
    else
        setMask(QRegion(viewToWidget().map(QPolygonF(local)).toPolygon()));
    update();
}

// --- Font and typing ---

QFont TextView::font() const
{
    const TextStorage* storage = textStorage();
    QVariant value;
    if (storage && storage->length() > 0)
        value = storage->attributedString().attribute(FontAttributeName, 0);
    else
        value = _typingAttributes.value(FontAttributeName);
    if (value.metaType() == QMetaType::fromType<QFont>())
        return value.value<QFont>();
    return AttributedString::defaultFont();
}

void TextView::setFont(const QFont& font)
{
    if (TextStorage* storage = textStorage(); storage && storage->length() > 0)
        storage->addAttribute(FontAttributeName, font, Range(0, storage->length()));
    _typingAttributes.insert(FontAttributeName, font);
}

QVariantMap TextView::typingAttributes() const
{
    return _typingAttributes;
}

void TextView::setTypingAttributes(const QVariantMap& attributes)
{
    _typingAttributes = attributes;
}

void TextView::updateTypingAttributesFromText()
{
    const TextStorage* storage = textStorage();
    if (!storage || storage->length() == 0)
        return;
    const Range selection = selectedRange();
    qsizetype index = selection.location;
    if (selection.isEmpty() && index > 0)
        --index;
    _typingAttributes = storage->attributedString().attributesAtIndex(index);
}

// --- Selection ---

Range TextView::selectedRange() const
{
    return Range(std::min(_anchor, _focus), std::abs(_focus - _anchor));
}

void TextView::setSelectedRange(const Range& range)
{
    setSelection(range.location, range.end(), SelectionGranularity::Character, Direction::None,
                 true);
}

void TextView::selectAll()
{
    const TextStorage* storage = textStorage();
    setSelectedRange(Range(0, storage ? storage->length() : 0));
}

void TextView::setSelection(qsizetype anchor, qsizetype focus, SelectionGranularity granularity,
                            Direction direction, bool askDelegate)
{
    const TextStorage* storage = textStorage();
    const qsizetype length = storage ? storage->length() : 0;
    anchor = std::clamp(anchor, qsizetype(0), length);
    focus = std::clamp(focus, qsizetype(0), length);
    const bool caret = anchor == focus;
    if (caret || direction != Direction::None)
        focus = insertionPointForProposedIndex(focus, direction);
    if (caret)
        anchor = focus;
    const Range range = selectionRangeForProposedRange(
        Range(std::min(anchor, focus), std::abs(focus - anchor)), granularity);
    _typingRun.reset(); // typing after a click or a move is a new step
    applySelection(range, focus < anchor, askDelegate);
}

void TextView::applySelection(const Range& proposed, bool focusAtStart, bool askDelegate)
{
    const Range old = selectedRange();
    if (!_movingVertically)
        _goalX = -1;
    Range range = proposed;
    if (askDelegate && _delegate)
        range = _delegate->textViewWillChangeSelectionFromCharacterRangeToCharacterRange(this, old,
                                                                                         range);
    const TextStorage* storage = textStorage();
    range = range.clampedTo(storage ? storage->length() : 0);
    _anchor = focusAtStart ? range.end() : range.location;
    _focus = focusAtStart ? range.location : range.end();
    updateTypingAttributesFromText();
    resetCaretBlink();
    update();
    if (range != old) {
        if (_delegate)
            _delegate->textViewDidChangeSelection(this);
        NotificationCenter::defaultCenter().post(
            TextViewDidChangeSelectionNotification, this,
            {{TextViewOldSelectedRangeKey, stringFromRange(old)}});
    }
}

Range TextView::selectionRangeForProposedRange(const Range& proposedRange,
                                               SelectionGranularity granularity) const
{
    const TextStorage* storage = textStorage();
    if (!storage)
        return Range();
    const Range range = proposedRange.clampedTo(storage->length());
    switch (granularity) {
    case SelectionGranularity::Character: return range;
    case SelectionGranularity::Word: {
        const Range first = wordRange(range.location);
        const Range last = range.isEmpty() ? first : wordRange(range.end() - 1);
        return Range::unionRange(first, last);
    }
    case SelectionGranularity::Paragraph: {
        if (storage->length() == 0)
            return Range();
        const AttributedString& text = storage->attributedString();
        const Range first = text.paragraphRange(range.location);
        const Range last = text.paragraphRange(std::max(range.location, range.end() - 1));
        return Range::unionRange(first, last);
    }
    }
    return range;
}

qsizetype TextView::insertionPointForProposedIndex(qsizetype index, Direction) const
{
    const TextStorage* storage = textStorage();
    return std::clamp(index, qsizetype(0), storage ? storage->length() : 0);
}

Range TextView::rangeForUserTextChange() const
{
    return selectedRange();
}

Range TextView::wordRange(qsizetype index) const
{
    const TextStorage* storage = textStorage();
    const QString text = storage ? storage->string() : QString();
    if (text.isEmpty())
        return Range();
    qsizetype i = std::clamp(index, qsizetype(0), text.size() - 1);
    // A click just after a word selects that word.
    if (!isWordCharacter(text.at(i)) && i > 0 && i == index && isWordCharacter(text.at(i - 1)))
        --i;
    if (!isWordCharacter(text.at(i)))
        return Range(i, graphemeBoundary(i, true) - i);
    qsizetype start = i;
    while (start > 0 && isWordCharacter(text.at(start - 1)))
        --start;
    qsizetype end = i + 1;
    while (end < text.size() && isWordCharacter(text.at(end)))
        ++end;
    return Range(start, end - start);
}

qsizetype TextView::graphemeBoundary(qsizetype index, bool forward) const
{
    const TextStorage* storage = textStorage();
    const QString text = storage ? storage->string() : QString();
    if (forward ? index >= text.size() : index <= 0)
        return std::clamp(index, qsizetype(0), text.size());
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(index);
    const qsizetype next = forward ? finder.toNextBoundary() : finder.toPreviousBoundary();
    return next < 0 ? (forward ? text.size() : 0) : next;
}

qsizetype TextView::wordBoundary(qsizetype index, bool forward) const
{
    const TextStorage* storage = textStorage();
    const QString text = storage ? storage->string() : QString();
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    finder.setPosition(std::clamp(index, qsizetype(0), text.size()));
    // Forward to the end of the next word, backward to the start of the previous one.
    const auto wanted = forward ? QTextBoundaryFinder::EndOfItem : QTextBoundaryFinder::StartOfItem;
    while (true) {
        const qsizetype next = forward ? finder.toNextBoundary() : finder.toPreviousBoundary();
        if (next < 0)
            return forward ? text.size() : 0;
        if (finder.boundaryReasons() & wanted)
            return next;
    }
}

// The end of the line holding the range's characters, as the insertion point stands
// there: before a paragraph break, and before the white space a wrapped line ends with.
static qsizetype lineEndIndex(const QString& text, const Range& line)
{
    qsizetype end = line.end();
    if (end > line.location && isParagraphBreak(text.at(end - 1))) {
        --end;
        if (end > line.location && text.at(end) == u'\n' && text.at(end - 1) == u'\r')
            --end;
        return end;
    }
    if (end < text.size()) {
        while (end > line.location + 1 && text.at(end - 1).isSpace())
            --end;
    }
    return end;
}

qsizetype TextView::lineBoundary(qsizetype index, bool end) const
{
    LayoutManager* manager = layoutManager();
    const TextStorage* storage = textStorage();
    if (!manager || !storage)
        return 0;
    const QString text = storage->string();
    if (index >= text.size() && (text.isEmpty() || isParagraphBreak(text.back())))
        return text.size(); // the empty line after a final break
    qsizetype glyph = manager->glyphIndexForCharacterAtIndex(std::min(index, text.size() - 1));
    Range lineGlyphs;
    manager->lineFragmentRectForGlyphAtIndex(glyph, &lineGlyphs);
    if (lineGlyphs.isEmpty())
        return end ? text.size() : 0;
    const Range line = manager->characterRangeForGlyphRange(lineGlyphs);
    return end ? lineEndIndex(text, line) : line.location;
}

qsizetype TextView::characterIndexForPoint(const QPointF& point) const
{
    LayoutManager* manager = layoutManager();
    const TextStorage* storage = textStorage();
    if (!manager || !storage || storage->length() == 0)
        return 0;
    const QString text = storage->string();
    const QPointF p = point - textContainerOrigin();
    const Range glyphs = manager->glyphRangeForTextContainer(_textContainer);
    const QRectF extra = manager->extraLineFragmentRect();
    if (extra.height() > 0 && p.y() >= extra.top())
        return text.size();
    if (glyphs.isEmpty())
        return 0;

    // The line at that height: the first one reaching below it, or the last.
    Range line;
    qsizetype glyph = glyphs.location;
    while (true) {
        const QRectF fragment = manager->lineFragmentRectForGlyphAtIndex(glyph, &line);
        if (line.isEmpty() || p.y() < fragment.bottom() || line.end() >= glyphs.end())
            break;
        glyph = line.end();
    }
    if (line.isEmpty())
        return 0;

    // The boundary before the first glyph whose middle lies right of the point.
    for (qsizetype g = line.location; g < line.end(); ++g) {
        const qsizetype character = manager->characterIndexForGlyphAtIndex(g);
        if (g > line.location && character == manager->characterIndexForGlyphAtIndex(g - 1))
            continue; // further glyphs of one cluster
        const QRectF box = manager->boundingRectForGlyphRange(Range(g, 1), _textContainer);
        if (p.x() < box.center().x())
            return character;
    }
    return lineEndIndex(text, manager->characterRangeForGlyphRange(line));
}

QRectF TextView::insertionPointRect(qsizetype index) const
{
    LayoutManager* manager = layoutManager();
    const TextStorage* storage = textStorage();
    const QPointF origin = textContainerOrigin();
    if (!manager || !storage)
        return QRectF(origin, QSizeF(0, 0));
    manager->ensureLayoutForTextContainer(_textContainer);
    const QRectF extra = manager->extraLineFragmentRect();
    if (index >= storage->length() && extra.height() > 0) {
        const QRectF used = manager->extraLineFragmentUsedRect();
        const qreal x = used.left() + _textContainer->lineFragmentPadding();
        return QRectF(x, extra.top(), 0, used.height()).translated(origin);
    }
    const qsizetype glyph = manager->glyphIndexForCharacterAtIndex(index);
    return manager->boundingRectForGlyphRange(Range(glyph, 0), _textContainer).translated(origin);
}

qsizetype TextView::verticalNeighbour(qsizetype index, bool down)
{
    LayoutManager* manager = layoutManager();
    const TextStorage* storage = textStorage();
    if (!manager || !storage)
        return 0;
    const qsizetype length = storage->length();
    const QRectF caret = insertionPointRect(index);
    if (_goalX < 0)
        _goalX = caret.x();

    QRectF fragment;
    const QRectF extra = manager->extraLineFragmentRect();
    if (index >= length && extra.height() > 0) {
        fragment = extra;
    } else {
        const qsizetype glyph = manager->glyphIndexForCharacterAtIndex(std::min(index, length - 1));
        fragment = manager->lineFragmentRectForGlyphAtIndex(glyph);
    }
    const QPointF origin = textContainerOrigin();
    if (!down && fragment.top() <= 0)
        return 0;
    const QRectF used = manager->usedRectForTextContainer(_textContainer);
    const qreal y = down ? fragment.bottom() + 1 : fragment.top() - 1;
    if (down && y >= used.bottom())
        return length;
    return characterIndexForPoint(QPointF(_goalX, y + origin.y()));
}

// --- Editing ---

UndoManager* TextView::undoManager()
{
    return _delegate ? _delegate->undoManagerForTextView(this) : nullptr;
}

bool TextView::shouldChangeTextInRange(const Range& range, const QString& replacementString)
{
    if (!textStorage())
        return false;
    if (!_didBeginEditing) {
        _didBeginEditing = true;
        if (_delegate)
            _delegate->textDidBeginEditing(this);
    }
    return !_delegate
           || _delegate->textViewShouldChangeTextInRangeReplacementString(this, range,
                                                                          replacementString);
}

void TextView::didChangeText()
{
    // What the delegate does to the frame and the container now is fitted afterwards.
    ++_userEditDepth;
    if (_delegate)
        _delegate->textDidChange(this);
    --_userEditDepth;
    sizeToFit();
    update();
}

struct TextView::TypingRun
{
    std::weak_ptr<const void> storageAlive;
    const TextStorage* storage = nullptr;
    QPointer<UndoManager> manager;
    quint64 step = 0;          // the undo step that holds the run (UndoManager::extensibleStep())
    Range range;               // the typed text
    AttributedString replaced; // the text the first character replaced
};

bool TextView::replaceCharactersAsUser(const Range& proposed, const AttributedString& text)
{
    return replaceCharacters(proposed, text, false);
}

bool TextView::replaceCharacters(const Range& proposed, const AttributedString& text, bool typing)
{
    // Any change but typing that goes on where the run ends starts afresh.
    std::shared_ptr<TypingRun> run = std::exchange(_typingRun, nullptr);
    if (!typing)
        run.reset();
    TextStorage* storage = textStorage();
    if (!storage)
        return false;
    const Range range = proposed.clampedTo(storage->length());
    if (range.isEmpty() && text.isEmpty())
        return false;
    if (!shouldChangeTextInRange(range, text.string()))
        return false;
    // The delegate may have changed the text meanwhile.
    const Range target = range.clampedTo(storage->length());
    const AttributedString old = storage->attributedString().attributedSubstringFromRange(target);
    UndoManager* manager = _allowsUndo ? undoManager() : nullptr;
    const bool extending = run && manager && run->manager == manager && run->storage == storage
                           && !run->storageAlive.expired() && target.isEmpty()
                           && target.location == run->range.end() && manager->reopenStep(run->step);
    ++_userEditDepth;
    storage->replaceCharactersInRange(target, text);
    --_userEditDepth;
    if (extending) {
        run->range.length += text.length();
    } else if (manager && typing) {
        run = std::make_shared<TypingRun>();
        run->storageAlive = storage->lifetime();
        run->storage = storage;
        run->manager = manager;
        run->range = Range(target.location, text.length());
        run->replaced = old;
        registerTypingUndo(manager, storage, run);
        run->step = manager->extensibleStep();
    } else if (manager) {
        registerReplacementUndo(manager, storage, Range(target.location, text.length()), old);
    }
    applySelection(Range(target.location + text.length(), 0), false, true);
    didChangeText();
    // What the delegate recorded for the change (a box growing to fit) joins the run's
    // step; a step of its own ends the run.
    if (typing && manager && run && manager == undoManager()
        && manager->extensibleStep() == run->step)
        _typingRun = std::move(run);
    return true;
}

void TextView::registerTypingUndo(UndoManager* undoManager, TextStorage* storage,
                                  const std::shared_ptr<const TypingRun>& run)
{
    const std::weak_ptr<const void> alive = storage->lifetime();
    const QPointer<UndoManager> manager(undoManager);
    undoManager->registerUndo(storage, [manager, alive, storage, run] {
        if (!manager || alive.expired())
            return;
        replaceForUndo(manager, storage, run->range, run->replaced);
    });
}

void TextView::registerReplacementUndo(UndoManager* undoManager, TextStorage* storage,
                                       const Range& range, const AttributedString& replacement)
{
    const std::weak_ptr<const void> alive = storage->lifetime();
    const QPointer<UndoManager> manager(undoManager);
    undoManager->registerUndo(storage, [manager, alive, storage, range, replacement] {
        if (!manager || alive.expired())
            return;
        replaceForUndo(manager, storage, range, replacement);
    });
}

void TextView::replaceForUndo(UndoManager* undoManager, TextStorage* storage, const Range& range,
                              const AttributedString& replacement)
{
    const Range target = range.clampedTo(storage->length());
    const AttributedString old = storage->attributedString().attributedSubstringFromRange(target);
    TextView* view = viewShowing(storage);
    if (view)
        ++view->_userEditDepth;
    storage->replaceCharactersInRange(target, replacement);
    if (view)
        --view->_userEditDepth;
    registerReplacementUndo(undoManager, storage, Range(target.location, replacement.length()),
                            old);
    if (view) {
        view->applySelection(Range(target.location, replacement.length()), false, false);
        view->didChangeText();
    }
}

void TextView::insertText(const QString& text)
{
    replaceCharacters(rangeForUserTextChange(), AttributedString(text, typingAttributes()), true);
}

void TextView::deleteRange(qsizetype from, qsizetype to, bool adjust)
{
    if (to <= from)
        return;
    const Range range(from, to - from);
    replaceCharactersAsUser(
        adjust ? selectionRangeForProposedRange(range, SelectionGranularity::Character) : range,
        AttributedString());
}

void TextView::deleteBackward()
{
    const Range selection = selectedRange();
    if (!selection.isEmpty()) {
        replaceCharactersAsUser(rangeForUserTextChange(), AttributedString());
        return;
    }
    deleteRange(graphemeBoundary(selection.location, false), selection.location, false);
}

void TextView::deleteForward()
{
    const Range selection = selectedRange();
    if (!selection.isEmpty()) {
        replaceCharactersAsUser(rangeForUserTextChange(), AttributedString());
        return;
    }
    deleteRange(selection.location, graphemeBoundary(selection.location, true), false);
}

// --- Keys ---

bool TextView::handleKey(QKeyEvent* event, bool test)
{
    using Key = QKeySequence;
    enum Kind { Character, Word, Line, Vertical, Document };
    struct Move
    {
        Key::StandardKey key;
        Kind kind;
        bool forward;
        bool extend;
    };
    static const Move moves[] = {
        {Key::MoveToNextChar, Character, true, false},
        {Key::MoveToPreviousChar, Character, false, false},
        {Key::SelectNextChar, Character, true, true},
        {Key::SelectPreviousChar, Character, false, true},
        {Key::MoveToNextWord, Word, true, false},
        {Key::MoveToPreviousWord, Word, false, false},
        {Key::SelectNextWord, Word, true, true},
        {Key::SelectPreviousWord, Word, false, true},
        {Key::MoveToStartOfLine, Line, false, false},
        {Key::MoveToEndOfLine, Line, true, false},
        {Key::SelectStartOfLine, Line, false, true},
        {Key::SelectEndOfLine, Line, true, true},
        {Key::MoveToNextLine, Vertical, true, false},
        {Key::MoveToPreviousLine, Vertical, false, false},
        {Key::SelectNextLine, Vertical, true, true},
        {Key::SelectPreviousLine, Vertical, false, true},
        {Key::MoveToStartOfDocument, Document, false, false},
        {Key::MoveToEndOfDocument, Document, true, false},
        {Key::SelectStartOfDocument, Document, false, true},
        {Key::SelectEndOfDocument, Document, true, true},
    };
    const TextStorage* storage = textStorage();
    if (!storage)
        return false;

    for (const Move& move : moves) {
        if (!event->matches(move.key))
            continue;
        if (test)
            return true;
        const Range selection = selectedRange();
        const Direction direction = move.forward ? Direction::Forward : Direction::Backward;
        if (move.kind == Character && !move.extend && !selection.isEmpty()) {
            const qsizetype edge = move.forward ? selection.end() : selection.location;
            setSelection(edge, edge, SelectionGranularity::Character, direction, true);
            return true;
        }
        const qsizetype from =
            move.extend ? _focus : (move.forward ? selection.end() : selection.location);
        qsizetype to = from;
        switch (move.kind) {
        case Character: to = graphemeBoundary(from, move.forward); break;
        case Word: to = wordBoundary(from, move.forward); break;
        case Line: to = lineBoundary(from, move.forward); break;
        case Vertical: to = verticalNeighbour(from, move.forward); break;
        case Document: to = move.forward ? storage->length() : 0; break;
        }
        _movingVertically = move.kind == Vertical;
        moveInsertionPoint(to, direction, move.extend);
        _movingVertically = false;
        return true;
    }

    auto handled = [&](auto&& action) {
        if (!test)
            action();
        return true;
    };
    if (event->matches(Key::SelectAll))
        return handled([this] { selectAll(); });
    if (event->matches(Key::Copy))
        return handled([this] { copy(); });
    if (event->matches(Key::Cut))
        return handled([this] { cut(); });
    if (event->matches(Key::Paste))
        return handled([this] { paste(); });
    if (event->keyCombination() == pasteAndMatchStyleKeys)
        return handled([this] { pasteAndMatchStyle(); });
    if (event->matches(Key::Undo) || event->matches(Key::Redo)) {
        UndoManager* manager = _allowsUndo ? undoManager() : nullptr;
        if (!manager)
            return false;
        const bool redo = event->matches(Key::Redo);
        return handled([manager, redo] { redo ? manager->redo() : manager->undo(); });
    }
    if (event->matches(Key::DeleteStartOfWord)) {
        return handled([this] {
            const Range selection = selectedRange();
            if (!selection.isEmpty())
                deleteBackward();
            else
                deleteRange(wordBoundary(selection.location, false), selection.location, true);
        });
    }
    if (event->matches(Key::DeleteEndOfWord)) {
        return handled([this] {
            const Range selection = selectedRange();
            if (!selection.isEmpty())
                deleteForward();
            else
                deleteRange(selection.location, wordBoundary(selection.location, true), true);
        });
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_Backspace && (modifiers & ~Qt::ShiftModifier) == 0)
        return handled([this] { deleteBackward(); });
    if (event->matches(Key::Delete))
        return handled([this] { deleteForward(); });
    if (event->matches(Key::InsertParagraphSeparator) || event->matches(Key::InsertLineSeparator))
        return handled([this] { insertText(QStringLiteral("\n")); });
    if (event->key() == Qt::Key_Tab && (modifiers & ~Qt::ShiftModifier) == 0)
        return handled([this] { insertText(QStringLiteral("\t")); });

    const QString text = event->text();
    const bool commandKey = modifiers & (Qt::ControlModifier | Qt::MetaModifier);
    if (!text.isEmpty() && !commandKey && text.at(0).isPrint())
        return handled([this, text] { insertText(text); });
    return false;
}

void TextView::moveInsertionPoint(qsizetype focus, Direction direction, bool extend)
{
    if (extend)
        setSelection(_anchor, focus, SelectionGranularity::Character, direction, true);
    else
        setSelection(focus, focus, SelectionGranularity::Character, direction, true);
}

bool TextView::event(QEvent* event)
{
    // Keys the view edits with are not application shortcuts while it has the focus.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (handleKey(key, true) && !yieldsToShortcuts(key)) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void TextView::keyPressEvent(QKeyEvent* event)
{
    if (handleKey(event, false))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

bool TextView::focusNextPrevChild(bool)
{
    return false; // a tab is typed, not a move to the next widget
}

// --- Mouse ---

void TextView::startDrag(const QPointF& viewPoint, int clickCount)
{
    _dragging = true;
    _dragGranularity =
        clickCount >= 2 ? SelectionGranularity::Word : SelectionGranularity::Character;
    const qsizetype index = characterIndexForPoint(viewPoint);
    _dragAnchor = index;
    setSelection(index, index, _dragGranularity, Direction::None, true);
}

void TextView::dragTo(const QPointF& viewPoint)
{
    if (!_dragging)
        return;
    setSelection(_dragAnchor, characterIndexForPoint(viewPoint), _dragGranularity, Direction::None,
                 true);
}

bool TextView::pressStartsDragOut(const QPointF& viewPoint, const QMouseEvent* event)
{
    _pressInSelection = false;
    const Range selection = selectedRange();
    LayoutManager* manager = layoutManager();
    if (selection.isEmpty() || !manager || (event->modifiers() & Qt::ShiftModifier)
        || event->type() == QEvent::MouseButtonDblClick)
        return false;
    const QPointF origin = textContainerOrigin();
    for (const QRectF& rect : manager->rectArrayForCharacterRange(selection, _textContainer)) {
        if (rect.translated(origin).contains(viewPoint)) {
            _pressInSelection = true;
            _pressPoint = viewPoint;
            return true;
        }
    }
    return false;
}

void TextView::mouseDown(QMouseEvent* event)
{
    const QPointF point = convertPointFromSuperview(event->position());
    if (pressStartsDragOut(point, event)) {
        // Whether it is a drag or a click shows when the pointer moves or is released.
    } else if (event->modifiers() & Qt::ShiftModifier) {
        _dragging = true;
        _dragGranularity = SelectionGranularity::Character;
        _dragAnchor = _anchor;
        dragTo(point);
    } else {
        startDrag(point, event->type() == QEvent::MouseButtonDblClick ? 2 : 1);
    }
    // The press went to the superview; the rest of the drag comes here.
    if (isVisible() && !_grabbed) {
        grabMouse();
        _grabbed = true;
    }
}

void TextView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPointF point = widgetToView().map(event->position());
    if (pressStartsDragOut(point, event))
        return;
    if (event->modifiers() & Qt::ShiftModifier) {
        _dragging = true;
        _dragGranularity = SelectionGranularity::Character;
        _dragAnchor = _anchor;
        dragTo(point);
    } else {
        startDrag(point, 1);
    }
}

void TextView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    startDrag(widgetToView().map(event->position()), 2);
}

void TextView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF point = widgetToView().map(event->position());
    if (_pressInSelection) {
        const QPointF moved = point - _pressPoint;
        if (std::hypot(moved.x(), moved.y())
            >= QGuiApplication::styleHints()->startDragDistance()) {
            _pressInSelection = false;
            dragSelection(_pressPoint);
        }
        return;
    }
    dragTo(point);
}

void TextView::mouseReleaseEvent(QMouseEvent* event)
{
    if (_pressInSelection) {
        // A click in the selection without a drag places the insertion point there.
        _pressInSelection = false;
        startDrag(_pressPoint, 1);
    }
    dragTo(widgetToView().map(event->position()));
    _dragging = false;
    if (_grabbed) {
        releaseMouse();
        _grabbed = false;
    }
}

// --- First responder ---

void TextView::makeFirstResponder()
{
    if (QWidget* top = window(); top && top->isVisible())
        top->activateWindow();
    setFocus(Qt::OtherFocusReason);
}

bool TextView::isFirstResponder() const
{
    const QWidget* top = window();
    return top && top->focusWidget() == this;
}

void TextView::focusInEvent(QFocusEvent* event)
{
    resetCaretBlink();
    QWidget::focusInEvent(event);
}

void TextView::focusOutEvent(QFocusEvent* event)
{
    _caretTimer->stop();
    update();
    // Losing the active window keeps the editing going; the focus moving elsewhere ends it.
    const bool elsewhere =
        event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
    if (elsewhere)
        _typingRun.reset();
    if (elsewhere && _didBeginEditing) {
        _didBeginEditing = false;
        if (_delegate)
            _delegate->textDidEndEditing(this);
    }
    QWidget::focusOutEvent(event);
}

void TextView::resetCaretBlink()
{
    _caretVisible = true;
    const int flash = QGuiApplication::styleHints()->cursorFlashTime();
    if (hasFocus() && flash > 0)
        _caretTimer->start(flash / 2);
    else
        _caretTimer->stop();
}

// --- Input methods ---

void TextView::inputMethodEvent(QInputMethodEvent* event)
{
    if (!textStorage()) {
        event->ignore();
        return;
    }
    if (!event->commitString().isEmpty() || event->replacementLength() > 0) {
        Range range = rangeForUserTextChange();
        if (event->replacementLength() > 0 || event->replacementStart() != 0) {
            // The replacement is placed relative to the insertion point.
            range = selectionRangeForProposedRange(
                Range(std::max(qsizetype(0), _focus + event->replacementStart()),
                      event->replacementLength()),
                SelectionGranularity::Character);
        }
        replaceCharactersAsUser(range, AttributedString(event->commitString(), typingAttributes()));
    }
    _preedit = event->preeditString();
    update();
    event->accept();
}

QVariant TextView::inputMethodQuery(Qt::InputMethodQuery query) const
{
    const TextStorage* storage = textStorage();
    const QString text = storage ? storage->string() : QString();
    const Range paragraph =
        storage && storage->length() > 0
            ? storage->attributedString().paragraphRange(std::min(_focus, text.size() - 1))
            : Range();
    switch (query) {
    case Qt::ImEnabled: return true;
    case Qt::ImCursorRectangle:
        return viewToWidget().mapRect(insertionPointRect(_focus)).toAlignedRect();
    case Qt::ImFont: return font();
    case Qt::ImCursorPosition: return int(_focus - paragraph.location);
    case Qt::ImAnchorPosition:
        return int(std::clamp(_anchor, paragraph.location, paragraph.end()) - paragraph.location);
    case Qt::ImAbsolutePosition: return int(_focus);
    case Qt::ImSurroundingText: return text.mid(paragraph.location, paragraph.length);
    case Qt::ImCurrentSelection: {
        const Range selection = selectedRange();
        return text.mid(selection.location, selection.length);
    }
    case Qt::ImHints: return int(Qt::ImhMultiLine);
    default: return QWidget::inputMethodQuery(query);
    }
}

// --- Drawing ---

void TextView::paintEvent(QPaintEvent*)
{
    LayoutManager* manager = layoutManager();
    if (!manager || !textStorage())
        return;
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    painter.setTransform(viewToWidget());
    painter.setClipRect(QRectF(QPointF(0, 0), boundsSize()));
    const QPointF origin = textContainerOrigin();

    const Range selection = selectedRange();
    if (!selection.isEmpty()) {
        const QColor highlight = palette().color(hasFocus() ? QPalette::Active : QPalette::Inactive,
                                                 QPalette::Highlight);
        for (const QRectF& rect : manager->rectArrayForCharacterRange(selection, _textContainer))
            painter.fillRect(rect.translated(origin), highlight);
    }

    painter.save();
    manager->drawGlyphsForGlyphRange(manager->glyphRangeForTextContainer(_textContainer), origin,
                                     painter);
    painter.restore();

    const QRectF caret = insertionPointRect(_focus);
    if (!_preedit.isEmpty()) {
        // The composition floats at the insertion point, underlined, over what follows.
        QFont preeditFont = font();
        preeditFont.setUnderline(true);
        painter.setFont(preeditFont);
        const QRectF box =
            painter.boundingRect(QRectF(caret.topLeft(), QSizeF(0, caret.height())),
                                 Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, _preedit);
        painter.fillRect(box, palette().color(QPalette::Base));
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, _preedit);
    } else if (selection.isEmpty() && hasFocus() && _caretVisible) {
        painter.fillRect(QRectF(caret.x(), caret.y(), 1, caret.height()),
                         palette().color(QPalette::Text));
    }
    if (_dropIndex >= 0) {
        // Where a drop would insert.
        const QRectF drop = insertionPointRect(_dropIndex);
        painter.fillRect(QRectF(drop.x(), drop.y(), 1, drop.height()),
                         palette().color(QPalette::Text));
    }
}

} // namespace platform
