// The in-place editor keeps merge fields whole. The text is "Dear Name, hi" with the field
// "Name" at characters 5 to 8.

#include "FieldEditorTestSupport.h"

#include "canvas/LBFieldRanges.h"
#include "platform/core/Archive.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UndoManager.h"
#include "platform/ui/Drag.h"
#include "platform/ui/Pasteboard.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMimeData>

using platform::AttributedString;
using platform::Pasteboard;
using platform::Range;

namespace {

const Range Field(5, 4);

} // namespace

class LBTextViewFields : public FieldEditorTest
{
protected:
    LBTextViewFields() { setTextWithField(); }
    ~LBTextViewFields() override { platform::Drag::setRunner({}); }

    // The field is still one run with its options.
    void expectFieldWhole(qsizetype start)
    {
        EXPECT_EQ(view->fieldRangeAtIndex(start), Range(start, 4));
        EXPECT_EQ(text().mid(start, 4), QStringLiteral("Name"));
    }
    void useUndo()
    {
        undo.setGroupsByEvent(false);
        delegate.undo = &undo;
        view->setAllowsUndo(true);
    }
    void step(const std::function<void()>& action)
    {
        undo.beginUndoGrouping();
        action();
        undo.endUndoGrouping();
    }
    // A drag entering the view and dropped at a point of it (the view's coordinates).
    bool drop(QMimeData* data, const QPointF& viewPoint)
    {
        const QPointF local = inHost(viewPoint) - QPointF(view->pos());
        QDragEnterEvent enter(local.toPoint(), Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view, &enter);
        QDropEvent event(local, Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(view, &event);
        return event.isAccepted();
    }

    platform::UndoManager undo;
};

struct SelectionCase
{
    const char* name;
    Range start;
    std::function<void(LBTextViewFields&)> action;
    Range expected;
};

static std::function<void(LBTextViewFields&)> keys(std::vector<Qt::Key> list,
                                                   Qt::KeyboardModifiers modifiers = {})
{
    return [list, modifiers](LBTextViewFields& t) {
        for (Qt::Key k : list)
            t.key(k, modifiers);
    };
}

TEST_F(LBTextViewFields, SelectionsNeverCutAField)
{
    const Qt::KeyboardModifiers shift = Qt::ShiftModifier;
    const SelectionCase cases[] = {
        {"shift+right from just before it", Range(5, 0), keys({Qt::Key_Right}, shift), Field},
        {"shift+left from after it ends before it", Range(2, 8),
         keys({Qt::Key_Left, Qt::Key_Left}, shift), Range(2, 3)},
        {"shift+left once keeps it whole", Range(2, 8), keys({Qt::Key_Left}, shift), Range(2, 7)},
        {"shift+left back to the caret", Range(5, 0),
         keys({Qt::Key_Right, Qt::Key_Right, Qt::Key_Left, Qt::Key_Left}, shift), Range(5, 0)},
        {"shift+left into it from after", Range(11, 0),
         keys({Qt::Key_Left, Qt::Key_Left, Qt::Key_Left}, shift), Range(5, 6)},
        {"start moved right into it goes past it", Range(11, 0),
         [](LBTextViewFields& t) {
             keys({Qt::Key_Left, Qt::Key_Left, Qt::Key_Left}, Qt::ShiftModifier)(t);
             t.key(Qt::Key_Right, Qt::ShiftModifier);
         },
         Range(9, 2)},
        {"right from its start selects it", Range(5, 0), keys({Qt::Key_Right}), Field},
        {"left from its end selects it", Range(9, 0), keys({Qt::Key_Left}), Field},
        {"right twice passes it", Range(5, 0), keys({Qt::Key_Right, Qt::Key_Right}), Range(9, 0)},
        {"a click inside selects it", Range(0, 0),
         [](LBTextViewFields& t) { t.click(t.caretPoint(7)); }, Field},
        {"a click at its edge is a caret", Range(0, 0),
         [](LBTextViewFields& t) { t.click(t.caretPoint(9)); }, Range(9, 0)},
        {"drag from inside to after", Range(0, 0),
         [](LBTextViewFields& t) {
             t.mouse(QEvent::MouseButtonPress, t.caretPoint(7));
             t.mouse(QEvent::MouseMove, t.caretPoint(11));
             t.mouse(QEvent::MouseButtonRelease, t.caretPoint(11));
         },
         Range(5, 6)},
        {"drag from before to inside", Range(0, 0),
         [](LBTextViewFields& t) {
             t.mouse(QEvent::MouseButtonPress, t.caretPoint(2));
             t.mouse(QEvent::MouseMove, t.caretPoint(6));
             t.mouse(QEvent::MouseButtonRelease, t.caretPoint(6));
         },
         Range(2, 7)},
        {"set inside by the program", Range(0, 0),
         [](LBTextViewFields& t) { t.view->setSelectedRange(Range(8, 0)); }, Field},
        {"set partly over it by the program", Range(0, 0),
         [](LBTextViewFields& t) { t.view->setSelectedRange(Range(7, 4)); }, Range(5, 6)},
    };
    for (const SelectionCase& c : cases) {
        SCOPED_TRACE(c.name);
        view->setSelectedRange(c.start);
        ASSERT_EQ(view->selectedRange(), c.start);
        c.action(*this);
        EXPECT_EQ(view->selectedRange(), c.expected);
    }
}

TEST_F(LBTextViewFields, TwoFieldsSideBySide)
{
    // "Dear " + "Name" + "Last" + ", hi": two fields back to back.
    AttributedString text(QStringLiteral("Dear "), plain());
    text.appendAttributedString(AttributedString(QStringLiteral("Name"), field()));
    text.appendAttributedString(AttributedString(QStringLiteral("Last"), field("Last")));
    text.appendAttributedString(AttributedString(QStringLiteral(", hi"), plain()));
    storage.setAttributedString(text);
    EXPECT_EQ(view->fieldsOverlappingRange(Range(8, 2)), QList<Range>({Field, Range(9, 4)}));
    view->setSelectedRange(Range(7, 3));
    EXPECT_EQ(view->selectedRange(), Range(5, 8)); // both whole
    // Shrinking from the end stops before the last field.
    view->setSelectedRange(Range(2, 12));
    key(Qt::Key_Left, Qt::ShiftModifier);
    key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(view->selectedRange(), Range(2, 7));
}

TEST_F(LBTextViewFields, DeletingSelectsAFieldFirst)
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
        {"backspace after it selects it", Range(9, 0),
         [](LBTextViewFields& t) { t.key(Qt::Key_Backspace); }, "Dear Name, hi", Field},
        {"backspace twice deletes it whole", Range(9, 0),
         keys({Qt::Key_Backspace, Qt::Key_Backspace}), "Dear , hi", Range(5, 0)},
        {"delete before it, twice", Range(5, 0), keys({Qt::Key_Delete, Qt::Key_Delete}),
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

    // A field of one character goes at once.
    AttributedString text(QStringLiteral("a"), plain());
    text.appendAttributedString(AttributedString(QStringLiteral("F"), field()));
    storage.setAttributedString(text);
    view->setSelectedRange(Range(2, 0));
    key(Qt::Key_Backspace);
    EXPECT_EQ(this->text(), QStringLiteral("a"));
}

TEST_F(LBTextViewFields, TextTypedAtAFieldsEdgeStaysOutOfIt)
{
    view->setSelectedRange(Range(9, 0));
    type(QStringLiteral("XY"));
    EXPECT_EQ(text(), QStringLiteral("Dear NameXY, hi"));
    expectFieldWhole(5);
    EXPECT_FALSE(isField(9));
    EXPECT_FALSE(isField(10));
    EXPECT_FALSE(view->typingAttributes().contains(LBQFieldAttributeName));
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

TEST_F(LBTextViewFields, AFieldMadeAroundTheInsertionPointIsSelected)
{
    setText(QStringLiteral("Dear Name, hi"));
    view->setSelectedRange(Range(7, 0));
    storage.addAttribute(LBQFieldAttributeName, QVariantMap{{QStringLiteral("Key"), 1}}, Field);
    EXPECT_EQ(view->selectedRange(), Field);

    view->setSelectedRange(Range(2, 5));
    storage.addAttribute(LBQFieldAttributeName, QVariantMap{{QStringLiteral("Key"), 2}},
                         Range(0, 4));
    EXPECT_EQ(view->selectedRange(), Range(0, 9));
}

TEST_F(LBTextViewFields, UndoPutsAFieldBackWhole)
{
    useUndo();
    view->setSelectedRange(Range(9, 0));
    step([&] { keys({Qt::Key_Backspace, Qt::Key_Backspace})(*this); });
    EXPECT_EQ(text(), QStringLiteral("Dear , hi"));
    undo.undo();
    expectFieldWhole(5);
    EXPECT_EQ(view->selectedRange(), Field);
}

TEST_F(LBTextViewFields, CopiedFieldsPasteBackWhole)
{
    useUndo();
    // Five plain characters and a field of six.
    AttributedString text(QStringLiteral("abcde"), plain());
    text.appendAttributedString(AttributedString(QStringLiteral("FIELD!"), field()));
    text.appendAttributedString(AttributedString(QStringLiteral(" end"), plain()));
    storage.setAttributedString(text);
    view->setSelectedRange(Range(0, 11));
    key(Qt::Key_C, Qt::ControlModifier);
    Pasteboard& general = Pasteboard::generalPasteboard();
    const QByteArray list = general.dataForType(LBQFieldPboardType);
    EXPECT_TRUE(list.contains("\"{5, 6}\"")) << list.constData();
    EXPECT_EQ(general.stringForType(platform::StringPboardType), QStringLiteral("abcdeFIELD!"));

    view->setSelectedRange(Range(15, 0));
    step([&] { key(Qt::Key_V, Qt::ControlModifier); });
    EXPECT_EQ(this->text(), QStringLiteral("abcdeFIELD! endabcdeFIELD!"));
    EXPECT_EQ(view->fieldRangeAtIndex(22), Range(20, 6));
    EXPECT_EQ(storage.attributedString().attribute(LBQFieldAttributeName, 20),
              field().value(LBQFieldAttributeName));
    EXPECT_EQ(view->selectedRange(), Range(26, 0));
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Paste"));
    undo.undo();
    EXPECT_EQ(storage.attributedString(), text);

    // Without a field the plain copy stays: no field list.
    view->setSelectedRange(Range(0, 3));
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(general.availableTypeFromArray({LBQFieldPboardType}).isNull());
}

TEST_F(LBTextViewFields, BadFieldListsPasteTheTextSafely)
{
    const QString entry =
        QStringLiteral("{ LBFieldRangeKey = \"%1\"; LBFieldDictKey = { Key = X; }; }");
    struct Case
    {
        const char* name;
        QByteArray list;
        bool withRichText;
        QString expectedText;
        QList<Range> expectedFields;
    };
    const Case cases[] = {
        {"good",
         ("( " + entry.arg(QStringLiteral("{1, 2}")) + " )").toUtf8(),
         true,
         QStringLiteral("abcdDear Name, hi"),
         {Range(1, 2), Range(9, 4)}},
        {"bad range",
         ("( " + entry.arg(QStringLiteral("{1,")) + " )").toUtf8(),
         true,
         QStringLiteral("abcdDear Name, hi"),
         {Range(9, 4)}},
        {"past the end",
         ("( " + entry.arg(QStringLiteral("{3, 2}")) + " )").toUtf8(),
         true,
         QStringLiteral("abcdDear Name, hi"),
         {Range(9, 4)}},
        {"not an array",
         QByteArray("{ a = b; }"),
         true,
         QStringLiteral("abcdDear Name, hi"),
         {Range(9, 4)}},
        {"no rich text",
         ("( " + entry.arg(QStringLiteral("{1, 2}")) + " )").toUtf8(),
         false,
         QStringLiteral("Dear Name, hi"),
         {Field}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setTextWithField();
        auto* data = new QMimeData;
        if (c.withRichText) {
            // Rich text that itself carries a stray field: only the list's fields count.
            AttributedString rich(QStringLiteral("abcd"), field(QStringLiteral("Stray")));
            data->setData(platform::mimeTypeForPasteboardType(platform::RTFDPboardType),
                          platform::Archive::archivedDataWithAttributedString(rich));
        }
        data->setText(QStringLiteral("abcd"));
        data->setData(platform::mimeTypeForPasteboardType(LBQFieldPboardType), c.list);
        QGuiApplication::clipboard()->setMimeData(data);
        view->setSelectedRange(Range(0, 0));
        key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(text(), c.expectedText);
        EXPECT_EQ(view->fieldsOverlappingRange(Range(0, storage.length())), c.expectedFields);
    }
}

TEST_F(LBTextViewFields, DraggingFieldTextOutCarriesTheFieldsAndIsAnnounced)
{
    QStringList posted;
    auto& center = platform::NotificationCenter::defaultCenter();
    platform::ObserverToken started = center.addObserver(
        LBDragStartedInTextViewNotification, view,
        [&](const platform::Notification&) { posted.append(QStringLiteral("started")); });
    platform::ObserverToken ended = center.addObserver(
        LBDragEndedInTextViewNotification, view,
        [&](const platform::Notification&) { posted.append(QStringLiteral("ended")); });
    QByteArray list;
    platform::Drag::setRunner([&](platform::Drag& drag) {
        list = drag.pasteboard().dataForType(LBQFieldPboardType);
        return Qt::CopyAction;
    });
    view->setSelectedRange(Range(3, 8)); // "r Name, "
    mouse(QEvent::MouseButtonPress, caretPoint(6));
    mouse(QEvent::MouseMove, caretPoint(6) + QPointF(0, 40));
    mouse(QEvent::MouseButtonRelease, caretPoint(6) + QPointF(0, 40));
    EXPECT_EQ(posted, QStringList({QStringLiteral("started"), QStringLiteral("ended")}));
    EXPECT_TRUE(list.contains("\"{2, 4}\"")) << list.constData();
}

TEST_F(LBTextViewFields, DroppedFieldTextKeepsItsFieldsAndNeverLandsInAField)
{
    setText(QStringLiteral("Hello world"));
    QMimeData data;
    Pasteboard pasteboard(&data);
    pasteboard.declareTypes({LBQFieldPboardType, platform::StringPboardType});
    pasteboard.setString(QStringLiteral("Mr Name "), platform::StringPboardType);
    pasteboard.setData("( { LBFieldRangeKey = \"{3, 4}\"; LBFieldDictKey = { Key = Drop; }; } )",
                       LBQFieldPboardType);
    ASSERT_TRUE(drop(&data, caretPoint(6)));
    EXPECT_EQ(text(), QStringLiteral("Hello Mr Name world"));
    EXPECT_EQ(view->fieldRangeAtIndex(10), Range(9, 4));
    EXPECT_EQ(view->selectedRange(), Range(6, 8));

    // Dropped inside that field: the text goes before it.
    ASSERT_TRUE(drop(&data, caretPoint(11)));
    EXPECT_EQ(text(), QStringLiteral("Hello Mr Mr Name Name world"));
    EXPECT_EQ(view->fieldsOverlappingRange(Range(0, storage.length())),
              QList<Range>({Range(12, 4), Range(17, 4)}));

    // A bad list drops the text without fields; no text at all is refused.
    pasteboard.declareTypes({LBQFieldPboardType, platform::StringPboardType});
    pasteboard.setString(QStringLiteral("x"), platform::StringPboardType);
    pasteboard.setData("( { LBFieldRangeKey = \"{0, 9}\"; LBFieldDictKey = { }; } )",
                       LBQFieldPboardType);
    ASSERT_TRUE(drop(&data, caretPoint(0)));
    EXPECT_FALSE(isField(0));
    QMimeData listOnly;
    listOnly.setData(platform::mimeTypeForPasteboardType(LBQFieldPboardType), "( )");
    EXPECT_FALSE(drop(&listOnly, caretPoint(0)));
}
