// The text view over a text storage: typing, deleting, selecting, the storage and the view
// following each other, growing with the text, the delegate, undo, input methods and who
// frees what.

#include "EditorTestSupport.h"

#include "platform/core/Error.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/Document.h"

#include <QApplication>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

using platform::AttributedString;
using platform::Range;
using platform::TextStorage;

namespace {

struct KeyCase
{
    const char* name;
    QString text;
    Range selection;
    std::function<void(EditorTest&)> action;
    QString expectedText;
    Range expectedSelection;
};

} // namespace

class TextViewEditing : public EditorTest
{
protected:
    void run(const std::vector<KeyCase>& cases)
    {
        for (const KeyCase& c : cases) {
            SCOPED_TRACE(c.name);
            setText(c.text);
            view->setSelectedRange(c.selection);
            c.action(*this);
            EXPECT_EQ(text(), c.expectedText);
            EXPECT_EQ(view->selectedRange(), c.expectedSelection);
        }
    }
    static std::function<void(EditorTest&)> press(Qt::Key k,
                                                  Qt::KeyboardModifiers m = Qt::NoModifier)
    {
        return [k, m](EditorTest& t) { QTest::keyClick(t.view, k, m); };
    }
    static std::function<void(EditorTest&)> typing(const QString& s)
    {
        return [s](EditorTest& t) { QTest::keyClicks(t.view, s); };
    }
};

TEST_F(TextViewEditing, TypingTakesTheTypingFontAndReportsEachChange)
{
    setText(QString());
    view->setFont(testFont(20));
    type(QStringLiteral("Hi"));

    EXPECT_EQ(text(), QStringLiteral("Hi"));
    EXPECT_EQ(view->selectedRange(), Range(2, 0));
    EXPECT_EQ(storage.attributedString().attribute(platform::FontAttributeName, 1).value<QFont>(),
              testFont(20));
    EXPECT_EQ(delegate.began, 1);
    EXPECT_EQ(delegate.changed, 2);
}

TEST_F(TextViewEditing, KeysChangeTheTextAtTheSelection)
{
    run({
        {"typing replaces the selection", "hello world", Range(0, 5), typing("bye"), "bye world",
         Range(3, 0)},
        {"backspace", "hello", Range(5, 0), press(Qt::Key_Backspace), "hell", Range(4, 0)},
        {"backspace at the start", "hello", Range(0, 0), press(Qt::Key_Backspace), "hello",
         Range(0, 0)},
        {"backspace removes the selection", "hello", Range(1, 3), press(Qt::Key_Backspace), "ho",
         Range(1, 0)},
        {"backspace takes CR LF as one", "a\r\nb", Range(3, 0), press(Qt::Key_Backspace), "ab",
         Range(1, 0)},
        {"delete", "hello", Range(0, 0), press(Qt::Key_Delete), "ello", Range(0, 0)},
        {"delete at the end", "hello", Range(5, 0), press(Qt::Key_Delete), "hello", Range(5, 0)},
        {"return", "ab", Range(1, 0), press(Qt::Key_Return), "a\nb", Range(2, 0)},
        {"tab is typed", "ab", Range(1, 0), press(Qt::Key_Tab), "a\tb", Range(2, 0)},
        {"word backward", "hello world", Range(11, 0),
         press(Qt::Key_Backspace, Qt::ControlModifier), "hello ", Range(6, 0)},
        {"control letters are not typed", "ab", Range(1, 0), press(Qt::Key_B, Qt::ControlModifier),
         "ab", Range(1, 0)},
    });
}

TEST_F(TextViewEditing, KeysMoveAndExtendTheSelection)
{
    const QString lines = QStringLiteral("one\ntwo");
    run({
        {"right", "hello", Range(1, 0), press(Qt::Key_Right), "hello", Range(2, 0)},
        {"left", "hello", Range(1, 0), press(Qt::Key_Left), "hello", Range(0, 0)},
        {"right collapses to the end", "hello", Range(1, 3), press(Qt::Key_Right), "hello",
         Range(4, 0)},
        {"left collapses to the start", "hello", Range(1, 3), press(Qt::Key_Left), "hello",
         Range(1, 0)},
        {"shift right", "hello", Range(1, 0), press(Qt::Key_Right, Qt::ShiftModifier), "hello",
         Range(1, 1)},
        {"shift right twice, shift left", "hello", Range(1, 0),
         [](EditorTest& t) {
             QTest::keyClick(t.view, Qt::Key_Right, Qt::ShiftModifier);
             QTest::keyClick(t.view, Qt::Key_Right, Qt::ShiftModifier);
             QTest::keyClick(t.view, Qt::Key_Left, Qt::ShiftModifier);
         },
         "hello", Range(1, 1)},
        {"home", lines, Range(5, 0), press(Qt::Key_Home), lines, Range(4, 0)},
        {"end", lines, Range(1, 0), press(Qt::Key_End), lines, Range(3, 0)},
        {"down", lines, Range(1, 0), press(Qt::Key_Down), lines, Range(5, 0)},
        {"up", lines, Range(6, 0), press(Qt::Key_Up), lines, Range(2, 0)},
        {"up on the first line", lines, Range(2, 0), press(Qt::Key_Up), lines, Range(0, 0)},
        {"down on the last line", lines, Range(5, 0), press(Qt::Key_Down), lines, Range(7, 0)},
        {"next word", "hello world", Range(0, 0), press(Qt::Key_Right, Qt::ControlModifier),
         "hello world", Range(5, 0)},
        {"end of text", lines, Range(0, 0), press(Qt::Key_End, Qt::ControlModifier), lines,
         Range(7, 0)},
        {"select all", lines, Range(2, 0), press(Qt::Key_A, Qt::ControlModifier), lines,
         Range(0, 7)},
    });
}

// The view keeps its editing keys from the window's shortcuts; other command keys on
// characters (bound to moves on some platforms: Ctrl+E to the end of the line) reach the
// menus first.
TEST_F(TextViewEditing, OnlyItsEditingKeysAreKeptFromTheShortcuts)
{
    setText(QStringLiteral("hello"));
    const struct
    {
        const char* name;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        bool kept;
    } cases[] = {
        {"typing", Qt::Key_A, Qt::NoModifier, QStringLiteral("a"), true},
        {"left", Qt::Key_Left, Qt::NoModifier, QString(), true},
        {"word left", Qt::Key_Left, Qt::ControlModifier, QString(), true},
        {"backspace", Qt::Key_Backspace, Qt::NoModifier, QString(), true},
        {"select all", Qt::Key_A, Qt::ControlModifier, QString(), true},
        {"copy", Qt::Key_C, Qt::ControlModifier, QString(), true},
        {"cut", Qt::Key_X, Qt::ControlModifier, QString(), true},
        {"paste", Qt::Key_V, Qt::ControlModifier, QString(), true},
        {"save", Qt::Key_S, Qt::ControlModifier, QString(), false},
        {"export", Qt::Key_E, Qt::ControlModifier, QString(), false},
        {"duplicate", Qt::Key_D, Qt::ControlModifier, QString(), false},
        {"delete to the end of the line", Qt::Key_K, Qt::ControlModifier, QString(), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QKeyEvent override(QEvent::ShortcutOverride, c.key, c.modifiers, c.text);
        override.ignore();
        QApplication::sendEvent(view, &override);
        EXPECT_EQ(override.isAccepted(), c.kept);
    }
}

TEST_F(TextViewEditing, ClicksAndDragsSelectByCharacterBoundaries)
{
    setText(QStringLiteral("hello world"));
    auto between = [&](qsizetype i, double fraction) {
        const QPointF a = caretPoint(i);
        const QPointF b = caretPoint(i + 1);
        return a + (b - a) * fraction;
    };
    click(between(2, 0.3));
    EXPECT_EQ(view->selectedRange(), Range(2, 0));
    click(between(2, 0.7));
    EXPECT_EQ(view->selectedRange(), Range(3, 0));
    click(caretPoint(11) + QPointF(50, 0));
    EXPECT_EQ(view->selectedRange(), Range(11, 0));

    // A drag backwards keeps its anchor: extending moves the other end.
    mouse(QEvent::MouseButtonPress, caretPoint(4));
    mouse(QEvent::MouseMove, caretPoint(1));
    mouse(QEvent::MouseButtonRelease, caretPoint(1));
    EXPECT_EQ(view->selectedRange(), Range(1, 3));
    key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(view->selectedRange(), Range(0, 4));

    click(caretPoint(2));
    click(caretPoint(8), Qt::ShiftModifier);
    EXPECT_EQ(view->selectedRange(), Range(2, 6));

    mouse(QEvent::MouseButtonDblClick, between(7, 0.5));
    mouse(QEvent::MouseButtonRelease, between(7, 0.5));
    EXPECT_EQ(view->selectedRange(), Range(6, 5));
}

TEST_F(TextViewEditing, ClicksOnLaterLinesFindTheirLine)
{
    setText(QStringLiteral("one\ntwo\n"));
    click(caretPoint(5));
    EXPECT_EQ(view->selectedRange(), Range(5, 0));
    click(caretPoint(0) + QPointF(150, 0));
    EXPECT_EQ(view->selectedRange(), Range(3, 0)); // before the break
    click(caretPoint(8) + QPointF(0, 5));
    EXPECT_EQ(view->selectedRange(), Range(8, 0)); // the empty last line
}

// --- The storage and the view follow each other ---

TEST_F(TextViewEditing, EditsOfTheStorageMoveTheSelection)
{
    struct Case
    {
        const char* name;
        Range selection;
        Range replaced;
        QString with;
        Range expected;
    };
    const Case cases[] = {
        {"insert before", Range(3, 0), Range(0, 0), "XX", Range(5, 0)},
        {"insert after", Range(3, 0), Range(4, 0), "XX", Range(3, 0)},
        {"delete before", Range(3, 1), Range(0, 2), "", Range(1, 1)},
        {"delete around the caret", Range(3, 0), Range(1, 3), "", Range(1, 0)},
        {"replace inside the selection", Range(1, 3), Range(2, 1), "XYZ", Range(1, 5)},
        {"clear", Range(2, 2), Range(0, 5), "", Range(0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setText(QStringLiteral("hello"));
        view->setSelectedRange(c.selection);
        storage.replaceCharactersInRange(c.replaced, c.with);
        EXPECT_EQ(view->selectedRange(), c.expected);
    }
}

TEST_F(TextViewEditing, TheViewLaysOutWhatTheStorageHolds)
{
    setText(QStringLiteral("ab"));
    const double small = view->insertionPointRect(1).height();
    storage.addAttribute(platform::FontAttributeName, testFont(24), Range(0, 2));
    EXPECT_GT(view->insertionPointRect(1).height(), 1.5 * small);
    EXPECT_EQ(view->font(), testFont(24));

    // The typing attributes come from the text at the insertion point.
    view->setSelectedRange(Range(2, 0));
    type(QStringLiteral("c"));
    EXPECT_EQ(storage.attributedString().attribute(platform::FontAttributeName, 2).value<QFont>(),
              testFont(24));

    // What the view draws is what a layout manager of the same text draws.
    platform::LayoutManager reference;
    reference.setTextContainer(std::make_unique<platform::TextContainer>(QSizeF(200, 1000000)));
    storage.addLayoutManager(&reference);
    view->setSelectedRange(Range(0, 0));
    view->clearFocus();
    QImage expected(view->size(), QImage::Format_ARGB32);
    expected.fill(Qt::white);
    {
        QPainter painter(&expected);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        reference.drawGlyphsForGlyphRange(Range(0, reference.numberOfGlyphs()), QPointF(0, 0),
                                          painter);
    }
    EXPECT_EQ(renderView(), expected);
    storage.removeLayoutManager(&reference);
}

TEST_F(TextViewEditing, ChangesInTheViewReachTheStorageObservers)
{
    setText(QStringLiteral("ab"));
    QList<TextStorage::Edit> edits;
    const auto observation = storage.observeEditing(
        [&](TextStorage&, const TextStorage::Edit& edit) { edits.append(edit); });
    view->setSelectedRange(Range(1, 0));
    type(QStringLiteral("X"));
    key(Qt::Key_Backspace);
    ASSERT_EQ(edits.size(), 2);
    EXPECT_EQ(edits.at(0).editedRange, Range(1, 1));
    EXPECT_EQ(edits.at(0).changeInLength, 1);
    EXPECT_EQ(edits.at(1).editedRange, Range(1, 0));
    EXPECT_EQ(edits.at(1).changeInLength, -1);
}

// --- Growing with the text ---

TEST_F(TextViewEditing, AVerticallyResizableViewFitsItsHeightToTheLines)
{
    setText(QStringLiteral("one"));
    EXPECT_EQ(view->frame().topLeft(), QPointF(20, 30));
    EXPECT_NEAR(view->frame().height(), TestLineHeight, 0.5);
    EXPECT_EQ(view->frame().width(), 200);

    view->setSelectedRange(Range(3, 0));
    type(QStringLiteral("\rtwo"));
    EXPECT_NEAR(view->frame().height(), 2 * TestLineHeight, 1.0);
    EXPECT_EQ(view->frame().width(), 200);
    EXPECT_EQ(view->geometry(), view->frame().toAlignedRect());

    view->setMaxSize(QSizeF(1000, 20));
    EXPECT_EQ(view->frame().height(), 20);
    view->setVerticallyResizable(false);
    view->setFrameSize(QSizeF(200, 5));
    type(QStringLiteral("\rthree"));
    EXPECT_EQ(view->frame().height(), 5);
}

TEST_F(TextViewEditing, AHorizontallyResizableViewGrowsWithTheLineAfterItsDelegateMovedIt)
{
    view->textContainer()->setContainerSize(QSizeF(1000000, 1000000));
    view->setHorizontallyResizable(true);
    setText(QString());
    const double empty = view->frame().width();

    // As a box does that grows to the left: move the frame, the fit follows.
    delegate.onChange = [](platform::TextView* v) {
        v->setFrameOrigin(v->frame().topLeft() - QPointF(3, 0));
    };
    type(QStringLiteral("wide text"));
    const QRectF used = view->layoutManager()->usedRectForTextContainer(view->textContainer());
    EXPECT_GT(view->frame().width(), empty + 40);
    EXPECT_NEAR(view->frame().width(), used.width(), 0.01);
    EXPECT_EQ(view->frame().topLeft(), QPointF(20 - 3 * 9, 30));

    view->setMaxSize(QSizeF(30, 1000000));
    EXPECT_EQ(view->frame().width(), 30);
}

TEST_F(TextViewEditing, RightAlignedTextInAWideContainerShowsInAResizableView)
{
    view->textContainer()->setContainerSize(QSizeF(1000000, 1000000));
    view->setHorizontallyResizable(true);
    platform::ParagraphStyle style;
    style.alignment = platform::ParagraphStyle::Alignment::Right;
    QVariantMap attributes = plain();
    attributes.insert(platform::ParagraphStyleAttributeName, QVariant::fromValue(style));
    storage.setAttributedString(AttributedString(QStringLiteral("right"), attributes));

    view->clearFocus();
    const QRect ink = inkBounds(renderView());
    ASSERT_FALSE(ink.isNull());
    EXPECT_LE(ink.left(), 7);
    EXPECT_GE(ink.right(), view->width() - 8);
    click(caretPoint(5));
    EXPECT_EQ(view->selectedRange(), Range(5, 0));
}

// --- Delegate ---

TEST_F(TextViewEditing, TheDelegateDecidesChangesAndSelections)
{
    setText(QStringLiteral("hello"));
    view->setSelectedRange(Range(5, 0));
    delegate.allowChanges = false;
    type(QStringLiteral("x"));
    key(Qt::Key_Backspace);
    EXPECT_EQ(text(), QStringLiteral("hello"));
    EXPECT_EQ(delegate.changed, 0);

    delegate.selectionRule = [this](const Range&, const Range&) {
        return Range(0, storage.length());
    };
    click(caretPoint(2));
    EXPECT_EQ(view->selectedRange(), Range(0, 5));
    key(Qt::Key_Right);
    EXPECT_EQ(view->selectedRange(), Range(0, 5));
}

TEST_F(TextViewEditing, LeavingTheViewAfterAChangeEndsEditing)
{
    QLineEdit other(&host);
    other.show();
    host.activateWindow();
    QApplication::setActiveWindow(&host);
    view->makeFirstResponder();
    ASSERT_TRUE(view->isFirstResponder());

    other.setFocus(Qt::OtherFocusReason);
    EXPECT_EQ(delegate.ended, 0); // nothing was changed

    view->makeFirstResponder();
    setText(QStringLiteral("a"));
    type(QStringLiteral("b"));
    other.setFocus(Qt::OtherFocusReason);
    EXPECT_FALSE(view->isFirstResponder());
    EXPECT_EQ(delegate.began, 1);
    EXPECT_EQ(delegate.ended, 1);
}

// --- Undo ---

TEST_F(TextViewEditing, UserChangesAreUndoneThroughTheView)
{
    platform::UndoManager undo;
    undo.setGroupsByEvent(false);
    delegate.undo = &undo;
    view->setAllowsUndo(true);
    setText(QStringLiteral("ab"));
    view->setSelectedRange(Range(1, 0));

    undo.beginUndoGrouping();
    type(QStringLiteral("XY"));
    undo.endUndoGrouping();
    undo.beginUndoGrouping();
    key(Qt::Key_Backspace);
    undo.endUndoGrouping();
    EXPECT_EQ(text(), QStringLiteral("aXb"));

    const int changes = delegate.changed;
    undo.undo();
    EXPECT_EQ(text(), QStringLiteral("aXYb"));
    EXPECT_EQ(view->selectedRange(), Range(2, 1));
    EXPECT_EQ(delegate.changed, changes + 1);
    undo.undo();
    EXPECT_EQ(text(), QStringLiteral("ab"));
    EXPECT_EQ(storage.attributedString(), AttributedString(QStringLiteral("ab"), plain()));
    undo.redo();
    EXPECT_EQ(text(), QStringLiteral("aXYb"));

    view->setAllowsUndo(false);
    undo.removeAllActions();
    type(QStringLiteral("Z"));
    EXPECT_FALSE(undo.canUndo());
}

TEST_F(TextViewEditing, UndoAfterTheStorageIsGoneDoesNothing)
{
    platform::UndoManager undo;
    undo.setGroupsByEvent(false);
    delegate.undo = &undo;
    view->setAllowsUndo(true);
    auto other = std::make_unique<TextStorage>(QStringLiteral("ab"), plain());
    other->addLayoutManager(view->layoutManager());
    undo.beginUndoGrouping();
    type(QStringLiteral("X"));
    undo.endUndoGrouping();
    other.reset();
    EXPECT_EQ(view->textStorage(), nullptr);
    undo.undo(); // must not touch the freed storage
    type(QStringLiteral("Y"));
    EXPECT_EQ(view->selectedRange(), Range(0, 0));
}

// --- Typing as one undo step ---

namespace {

// A document that saves its name into the file, so that saving succeeds.
class SavingDocument : public platform::Document
{
public:
    bool writeToFile(const QString& path, const QString&, SaveOperationType,
                     platform::Error*) override
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write("saved") == 5;
    }
};

// A value whose setter records its own inverse.
struct Recorded
{
    platform::UndoManager* undo = nullptr;
    int value = 0;

    void set(int v)
    {
        const int old = value;
        undo->registerUndo(this, [this, old] { set(old); });
        value = v;
    }
};

} // namespace

class TextViewTyping : public TextViewEditing
{
public:
    TextViewTyping()
    {
        delegate.undo = &undo;
        view->setAllowsUndo(true);
    }
    // Each key is an event of its own, after which the undo manager closes the event's
    // group, as in the running program.
    void typeKeys(const QString& s)
    {
        for (const QChar c : s)
            hit([this, c] { QTest::keyClicks(view, QString(c)); });
    }
    void hit(const std::function<void()>& action)
    {
        action();
        QCoreApplication::processEvents();
    }
    void hit(Qt::Key k)
    {
        hit([this, k] { key(k); });
    }
    // Undoes once and answers the text left.
    QString undoOnce()
    {
        hit([this] { undo.undo(); });
        return text();
    }

    platform::UndoManager undo;
};

TEST_F(TextViewTyping, ARunOfTypingIsOneStepThatReplacedTheSelection)
{
    setText(QStringLiteral("First Last"));
    view->selectAll();
    typeKeys(QStringLiteral("Hello"));
    hit(Qt::Key_Tab);
    typeKeys(QStringLiteral("there"));
    hit(Qt::Key_Return);
    ASSERT_EQ(text(), QStringLiteral("Hello\tthere\n"));
    EXPECT_EQ(undo.undoCount(), 1);

    EXPECT_EQ(undoOnce(), QStringLiteral("First Last"));
    EXPECT_EQ(view->selectedRange(), Range(0, 10));
    EXPECT_EQ(storage.attributedString(), AttributedString(QStringLiteral("First Last"), plain()));
    EXPECT_FALSE(undo.canUndo());

    hit([this] { undo.redo(); });
    EXPECT_EQ(text(), QStringLiteral("Hello\tthere\n"));
    EXPECT_EQ(undo.undoCount(), 1);
    EXPECT_FALSE(undo.canRedo());

    // Typing after an undo or a redo is a step of its own.
    typeKeys(QStringLiteral("!"));
    EXPECT_EQ(undoOnce(), QStringLiteral("Hello\tthere\n"));
}

TEST_F(TextViewTyping, WhatComesBetweenTwoRunsMakesThemTwoSteps)
{
    Recorded other{&undo, 0};
    struct Case
    {
        const char* name;
        std::function<void(TextViewTyping&)> between;
        QStringList afterEachUndo;
    };
    const QString ab = QStringLiteral("ab"), abcd = QStringLiteral("abcd");
    const std::vector<Case> cases = {
        {"arrow keys back to the same place",
         [](TextViewTyping& t) {
             t.hit(Qt::Key_Left);
             t.hit(Qt::Key_Right);
         },
         {abcd, ab}},
        {"a click at the insertion point",
         [](TextViewTyping& t) { t.hit([&t] { t.click(t.caretPoint(4)); }); },
         {abcd, ab}},
        {"backspace, its own step",
         [](TextViewTyping& t) { t.hit(Qt::Key_Backspace); },
         {QStringLiteral("abc"), abcd, ab}},
        {"another change recorded",
         [&other](TextViewTyping& t) { t.hit([&other] { other.set(1); }); },
         {abcd, abcd, ab}},
        {"the view losing the focus",
         [](TextViewTyping& t) {
             t.hit([&t] { t.view->clearFocus(); });
             t.hit([&t] { t.view->makeFirstResponder(); });
         },
         {abcd, ab}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        undo.removeAllActions();
        other.value = 0;
        view->makeFirstResponder();
        setText(ab);
        view->setSelectedRange(Range(2, 0));
        typeKeys(QStringLiteral("cd"));
        c.between(*this);
        typeKeys(QStringLiteral("x"));
        for (const QString& expected : c.afterEachUndo)
            EXPECT_EQ(undoOnce(), expected);
        EXPECT_FALSE(undo.canUndo());
        EXPECT_EQ(other.value, 0);
    }
}

TEST_F(TextViewTyping, WhatTheDelegateRecordsForEachCharacterJoinsTheRun)
{
    // The canvas grows the edited box as the text grows, recording the old size; the box
    // starts fitting its text.
    Recorded size{&undo, 1};
    delegate.onChange = [&size](platform::TextView* v) {
        if (const int length = int(v->textStorage()->length()); length > size.value)
            size.set(length);
    };
    setText(QStringLiteral("a"));
    view->setSelectedRange(Range(1, 0));
    typeKeys(QStringLiteral("bcd"));
    EXPECT_EQ(size.value, 4);
    EXPECT_EQ(undo.undoCount(), 1);
    EXPECT_EQ(undoOnce(), QStringLiteral("a"));
    EXPECT_EQ(size.value, 1);
    hit([this] { undo.redo(); });
    EXPECT_EQ(text(), QStringLiteral("abcd"));
    EXPECT_EQ(size.value, 4);
}

TEST_F(TextViewTyping, TypingAfterASaveIsAStepThatMarksTheDocumentEdited)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    SavingDocument document;
    platform::UndoManager* documentUndo = document.undoManager();
    delegate.undo = documentUndo;
    setText(QStringLiteral("ab"));
    view->setSelectedRange(Range(2, 0));
    typeKeys(QStringLiteral("cd"));
    EXPECT_TRUE(document.isDocumentEdited());

    platform::Error error;
    ASSERT_TRUE(document.saveToFile(dir.filePath(QStringLiteral("a.note")), QStringLiteral("Note"),
                                    platform::Document::SaveOperation, &error));
    EXPECT_FALSE(document.isDocumentEdited());
    typeKeys(QStringLiteral("ef"));
    EXPECT_TRUE(document.isDocumentEdited());

    hit([documentUndo] { documentUndo->undo(); });
    EXPECT_EQ(text(), QStringLiteral("abcd"));
    EXPECT_FALSE(document.isDocumentEdited());
    hit([documentUndo] { documentUndo->undo(); });
    EXPECT_EQ(text(), QStringLiteral("ab"));
    EXPECT_TRUE(document.isDocumentEdited());
}

// --- Input methods ---

TEST_F(TextViewEditing, InputMethodsCommitAndCompose)
{
    setText(QStringLiteral("abc"));
    view->setSelectedRange(Range(3, 0));

    QInputMethodEvent compose(QStringLiteral("ka"), {});
    QCoreApplication::sendEvent(view, &compose);
    EXPECT_EQ(text(), QStringLiteral("abc"));
    EXPECT_EQ(view->inputMethodQuery(Qt::ImSurroundingText).toString(), QStringLiteral("abc"));
    EXPECT_EQ(view->inputMethodQuery(Qt::ImCursorPosition).toInt(), 3);

    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("\u304b"));
    QCoreApplication::sendEvent(view, &commit);
    EXPECT_EQ(text(), QStringLiteral("abc\u304b"));
    EXPECT_EQ(view->selectedRange(), Range(4, 0));

    // A replacement is placed relative to the insertion point.
    QInputMethodEvent replace;
    replace.setCommitString(QStringLiteral("X"), -2, 1);
    QCoreApplication::sendEvent(view, &replace);
    EXPECT_EQ(text(), QStringLiteral("abX\u304b"));

    const QRect caret = view->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_NEAR(caret.left(), view->insertionPointRect(3).left(), 1);
}

// --- Who frees what ---

TEST(TextViewLifetime, TheViewAndItsTextSystemLetGoOfEachOther)
{
    TextStorage storage(QStringLiteral("text"));
    {
        auto* view = new platform::TextView(QRectF(0, 0, 50, 20));
        storage.addLayoutManager(view->layoutManager());
        EXPECT_EQ(storage.layoutManagers().size(), 1);
        delete view; // frees its own layout manager, which leaves the storage
        EXPECT_TRUE(storage.layoutManagers().isEmpty());
    }
    {
        auto manager = std::make_unique<platform::LayoutManager>();
        manager->setTextContainer(std::make_unique<platform::TextContainer>());
        platform::TextView view(QRectF(0, 0, 50, 20), manager->textContainer());
        EXPECT_EQ(view.layoutManager(), manager.get());
        storage.addLayoutManager(manager.get());
        manager.reset();
        EXPECT_EQ(view.textContainer(), nullptr);
        EXPECT_EQ(view.textStorage(), nullptr);
        view.insertText(QStringLiteral("x"));
        view.selectAll();
        EXPECT_EQ(view.selectedRange(), Range(0, 0));
    }
    {
        // A second view on a container takes it over from the first.
        platform::TextView first(QRectF(0, 0, 50, 20));
        platform::TextView second(QRectF(0, 0, 50, 20), first.textContainer());
        EXPECT_EQ(first.textContainer(), nullptr);
        EXPECT_EQ(second.textContainer()->textView(), &second);
    }
    EXPECT_EQ(storage.string(), QStringLiteral("text"));
}
