// The in-place editor keeps merge fields whole. The text is "Dear Name, hi" with the field
// "Name" at characters 5 to 8.

#include "FieldEditorTestSupport.h"

#include <QInputMethodEvent>

using platform::Range;

namespace {

const Range Field(5, 4);

} // namespace

class LBTextViewFields : public FieldEditorTest
{
protected:
    LBTextViewFields() { setTextWithField(); }

    // The field is still one run with its options.
    void expectFieldWhole(qsizetype start)
    {
        EXPECT_EQ(view->fieldRangeAtIndex(start), Range(start, 4));
        EXPECT_EQ(text().mid(start, 4), QStringLiteral("Name"));
    }
};

TEST_F(LBTextViewFields, TheInsertionPointNeverStandsInsideAField)
{
    struct Case
    {
        const char* name;
        std::function<void(LBTextViewFields&)> action;
        Range expected;
    };
    const Case cases[] = {
        {"click in the left half", [](LBTextViewFields& t) { t.click(t.caretPoint(6)); },
         Range(5, 0)},
        {"click in the right half", [](LBTextViewFields& t) { t.click(t.caretPoint(8)); },
         Range(9, 0)},
        {"right from the field's start",
         [](LBTextViewFields& t) {
             t.view->setSelectedRange(Range(5, 0));
             t.key(Qt::Key_Right);
         },
         Range(9, 0)},
        {"left from the field's end",
         [](LBTextViewFields& t) {
             t.view->setSelectedRange(Range(9, 0));
             t.key(Qt::Key_Left);
         },
         Range(5, 0)},
        {"set inside by the program",
         [](LBTextViewFields& t) { t.view->setSelectedRange(Range(8, 0)); }, Range(9, 0)},
        {"end of line then back",
         [](LBTextViewFields& t) {
             t.view->setSelectedRange(Range(13, 0));
             for (int i = 0; i < 5; ++i)
                 t.key(Qt::Key_Left);
         },
         Range(5, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.action(*this);
        EXPECT_EQ(view->selectedRange(), c.expected);
    }
}

TEST_F(LBTextViewFields, SelectionsTakeInWholeFields)
{
    struct Case
    {
        const char* name;
        std::function<void(LBTextViewFields&)> action;
        Range expected;
    };
    const Case cases[] = {
        {"shift right at the start",
         [](LBTextViewFields& t) {
             t.view->setSelectedRange(Range(5, 0));
             t.key(Qt::Key_Right, Qt::ShiftModifier);
         },
         Field},
        {"shift left back out",
         [](LBTextViewFields& t) {
             t.view->setSelectedRange(Range(5, 0));
             t.key(Qt::Key_Right, Qt::ShiftModifier);
             t.key(Qt::Key_Right, Qt::ShiftModifier);
             t.key(Qt::Key_Left, Qt::ShiftModifier);
             t.key(Qt::Key_Left, Qt::ShiftModifier);
         },
         Range(5, 0)},
        {"shift left into it from after",
         [](LBTextViewFields& t) {
             t.view->setSelectedRange(Range(10, 0));
             t.key(Qt::Key_Left, Qt::ShiftModifier);
             t.key(Qt::Key_Left, Qt::ShiftModifier);
         },
         Range(5, 5)},
        {"drag from inside to after",
         [](LBTextViewFields& t) {
             t.mouse(QEvent::MouseButtonPress, t.caretPoint(7));
             t.mouse(QEvent::MouseMove, t.caretPoint(11));
             t.mouse(QEvent::MouseButtonRelease, t.caretPoint(11));
         },
         Range(5, 6)},
        {"drag from before to inside",
         [](LBTextViewFields& t) {
             t.mouse(QEvent::MouseButtonPress, t.caretPoint(2));
             t.mouse(QEvent::MouseMove, t.caretPoint(6));
             t.mouse(QEvent::MouseButtonRelease, t.caretPoint(6));
         },
         Range(2, 7)},
        {"double click inside",
         [](LBTextViewFields& t) {
             t.mouse(QEvent::MouseButtonDblClick, t.caretPoint(7));
             t.mouse(QEvent::MouseButtonRelease, t.caretPoint(7));
         },
         Field},
        {"set partly over it by the program",
         [](LBTextViewFields& t) { t.view->setSelectedRange(Range(7, 4)); }, Range(5, 6)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.action(*this);
        EXPECT_EQ(view->selectedRange(), c.expected);
    }
}

TEST_F(LBTextViewFields, TypingAndDeletingActOnWholeFields)
{
    struct Case
    {
        const char* name;
        Range selection;
        std::function<void(LBTextViewFields&)> action;
        QString expectedText;
        Range expectedSelection;
    };
    const Case cases[] = {
        {"backspace at the end", Range(9, 0), [](LBTextViewFields& t) { t.key(Qt::Key_Backspace); },
         "Dear , hi", Range(5, 0)},
        {"delete at the start", Range(5, 0), [](LBTextViewFields& t) { t.key(Qt::Key_Delete); },
         "Dear , hi", Range(5, 0)},
        {"typing over the whole field", Range(5, 4),
         [](LBTextViewFields& t) { t.type(QStringLiteral("X")); }, "Dear X, hi", Range(6, 0)},
        {"word backward after it", Range(9, 0),
         [](LBTextViewFields& t) { t.key(Qt::Key_Backspace, Qt::ControlModifier); }, "Dear , hi",
         Range(5, 0)},
        {"cut of a selection ending in it", Range(3, 2),
         [](LBTextViewFields& t) {
             // A selection the program could not widen (the delegate cut it short).
             t.delegate.selectionRule = [](const Range&, const Range&) { return Range(3, 4); };
             t.view->setSelectedRange(Range(3, 4));
             t.delegate.selectionRule = nullptr;
             t.key(Qt::Key_X, Qt::ControlModifier);
         },
         "Dea, hi", Range(3, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setTextWithField();
        view->setSelectedRange(c.selection);
        c.action(*this);
        EXPECT_EQ(text(), c.expectedText);
        EXPECT_EQ(view->selectedRange(), c.expectedSelection);
    }
}

TEST_F(LBTextViewFields, TextTypedAtAFieldsEdgeStaysOutOfIt)
{
    view->setSelectedRange(Range(9, 0));
    type(QStringLiteral("XY"));
    EXPECT_EQ(text(), QStringLiteral("Dear NameXY, hi"));
    expectFieldWhole(5);
    EXPECT_FALSE(isField(9));
    EXPECT_FALSE(isField(10));
    // The rest of the field's look goes on.
    EXPECT_EQ(storage.attributedString().attribute(platform::FontAttributeName, 9).value<QFont>(),
              testFont());

    view->setSelectedRange(Range(5, 0));
    type(QStringLiteral("Z"));
    EXPECT_EQ(text(), QStringLiteral("Dear ZNameXY, hi"));
    EXPECT_FALSE(isField(5));
    expectFieldWhole(6);

    // Composed text too.
    view->setSelectedRange(Range(10, 0));
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("\u00e9"));
    QCoreApplication::sendEvent(view, &commit);
    EXPECT_FALSE(isField(10));
    expectFieldWhole(6);
}

TEST_F(LBTextViewFields, AFieldMadeAroundTheInsertionPointPushesItOut)
{
    setText(QStringLiteral("Dear Name, hi"));
    view->setSelectedRange(Range(7, 0));
    storage.addAttribute(LBQFieldAttributeName, QVariantMap{{QStringLiteral("Key"), 1}}, Field);
    EXPECT_EQ(view->selectedRange(), Range(5, 0));

    view->setSelectedRange(Range(2, 5));
    storage.addAttribute(LBQFieldAttributeName, QVariantMap{{QStringLiteral("Key"), 2}},
                         Range(0, 4));
    EXPECT_EQ(view->selectedRange(), Range(0, 9));
}

TEST_F(LBTextViewFields, UndoPutsAFieldBackWhole)
{
    platform::UndoManager undo;
    undo.setGroupsByEvent(false);
    delegate.undo = &undo;
    view->setAllowsUndo(true);
    view->setSelectedRange(Range(9, 0));
    undo.beginUndoGrouping();
    key(Qt::Key_Backspace);
    undo.endUndoGrouping();
    EXPECT_EQ(text(), QStringLiteral("Dear , hi"));
    undo.undo();
    expectFieldWhole(5);
    EXPECT_EQ(view->selectedRange(), Field);
}
