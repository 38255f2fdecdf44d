// The text view's clipboard, the selection notice, dragging the selection out and drops of
// text into it.

#include "EditorTestSupport.h"

#include "platform/core/NotificationCenter.h"
#include "platform/core/UndoManager.h"
#include "platform/ui/Drag.h"
#include "platform/ui/Pasteboard.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>

using platform::AttributedString;
using platform::Pasteboard;
using platform::Range;

namespace {

// A view that counts its drag hooks.
class HookedTextView : public platform::TextView
{
public:
    using TextView::TextView;
    void draggedImageBeganAt(const QPointF&) override { ++began; }
    void draggedImageEndedAt(const QPointF&, Qt::DropAction operation) override
    {
        ++ended;
        endedWith = operation;
    }
    int began = 0;
    int ended = 0;
    Qt::DropAction endedWith = Qt::IgnoreAction;
};

const QVariantMap Red{{platform::ForegroundColorAttributeName, QColor(Qt::red)}};

} // namespace

class TextViewPasteboard : public EditorTestOf<HookedTextView>
{
protected:
    TextViewPasteboard()
    {
        undo.setGroupsByEvent(false);
        delegate.undo = &undo;
        view->setAllowsUndo(true);
    }
    ~TextViewPasteboard() override { platform::Drag::setRunner({}); }

    // Sends a drop of data at a point of the view (its own coordinates); answers whether
    // the view took it and with which action.
    Qt::DropAction drop(QMimeData* data, const QPointF& viewPoint,
                        Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        const QPointF local = inHost(viewPoint) - QPointF(view->pos());
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(local.toPoint(), actions, data, Qt::LeftButton, modifiers);
        QCoreApplication::sendEvent(view, &enter);
        QDropEvent event(local, actions, data, Qt::LeftButton, modifiers);
        event.setDropAction(Qt::MoveAction);
        QCoreApplication::sendEvent(view, &event);
        return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
    }
    // One undo step of its own.
    void step(const std::function<void()>& action)
    {
        undo.beginUndoGrouping();
        action();
        undo.endUndoGrouping();
    }
    // Presses inside the selection at index and moves far enough to start a drag.
    void dragFrom(qsizetype index)
    {
        mouse(QEvent::MouseButtonPress, caretPoint(index));
        mouse(QEvent::MouseMove, caretPoint(index) + QPointF(0, 40));
        mouse(QEvent::MouseButtonRelease, caretPoint(index) + QPointF(0, 40));
    }

    platform::UndoManager undo;
};

TEST_F(TextViewPasteboard, SelectionChangesArePostedWithTheRangeBefore)
{
    setText(QStringLiteral("Hello world"));
    view->setSelectedRange(Range(1, 2));
    QStringList olds;
    platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        platform::TextViewDidChangeSelectionNotification, view,
        [&](const platform::Notification& n) {
            olds.append(n.userInfo.value(platform::TextViewOldSelectedRangeKey).toString());
        });
    view->setSelectedRange(Range(4, 0));
    key(Qt::Key_Right);
    view->setSelectedRange(Range(5, 0)); // no change, no notice
    EXPECT_EQ(olds, QStringList({QStringLiteral("{1, 2}"), QStringLiteral("{4, 0}")}));
}

TEST_F(TextViewPasteboard, CopyAndPasteCarryTheStyleAndPlainTextTakesTheTypingStyle)
{
    AttributedString text(QStringLiteral("ab"), plain());
    QVariantMap red = plain();
    red.insert(Red);
    text.appendAttributedString(AttributedString(QStringLiteral("RED"), red));
    storage.setAttributedString(text);
    view->setSelectedRange(Range(2, 3));
    key(Qt::Key_C, Qt::ControlModifier);
    Pasteboard& general = Pasteboard::generalPasteboard();
    EXPECT_EQ(general.stringForType(platform::StringPboardType), QStringLiteral("RED"));

    view->setSelectedRange(Range(0, 0));
    step([&] { key(Qt::Key_V, Qt::ControlModifier); });
    EXPECT_EQ(this->text(), QStringLiteral("REDabRED"));
    EXPECT_EQ(storage.attributedString().attributedSubstringFromRange(Range(0, 3)),
              AttributedString(QStringLiteral("RED"), red));
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Paste"));
    undo.undo();
    EXPECT_EQ(storage.attributedString(), text);

    // Another program's plain text is styled as typing would be; match style too.
    QGuiApplication::clipboard()->setText(QStringLiteral("xy"));
    view->setSelectedRange(Range(3, 0)); // after "R": typing would be red
    step([&] { key(Qt::Key_V, Qt::ControlModifier); });
    EXPECT_EQ(this->text(), QStringLiteral("abRxyED"));
    EXPECT_EQ(storage.attributedString().attribute(platform::ForegroundColorAttributeName, 3),
              QVariant(QColor(Qt::red)));

    view->setSelectedRange(Range(0, 3));
    key(Qt::Key_C, Qt::ControlModifier); // "abR", partly red
    view->setSelectedRange(Range(4, 1));
    EXPECT_TRUE(view->validateMenuItem(platform::TextView::MenuAction::PasteAndMatchStyle));
    step([&] { key(Qt::Key_V, Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier); });
    EXPECT_EQ(this->text(), QStringLiteral("abRxabRED"));
    EXPECT_EQ(undo.undoActionName(), QStringLiteral("Paste"));
    for (qsizetype i = 4; i < 7; ++i) // all in the replaced character's red
        EXPECT_EQ(storage.attributedString().attribute(platform::ForegroundColorAttributeName, i),
                  QVariant(QColor(Qt::red)));

    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(view->validateMenuItem(platform::TextView::MenuAction::PasteAndMatchStyle));
    EXPECT_TRUE(view->validateMenuItem(platform::TextView::MenuAction::Other));
}

TEST_F(TextViewPasteboard, DraggingTheSelectionOutMovesOrCopiesIt)
{
    struct Case
    {
        const char* name;
        Qt::DropAction answer; // what the destination did
        QString expectedText;
    };
    const Case cases[] = {
        {"moved elsewhere", Qt::MoveAction, QStringLiteral("Hello ")},
        {"copied elsewhere", Qt::CopyAction, QStringLiteral("Hello world")},
        {"given up", Qt::IgnoreAction, QStringLiteral("Hello world")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setText(QStringLiteral("Hello world"));
        view->setSelectedRange(Range(6, 5));
        view->began = view->ended = 0;
        QString dragged;
        platform::Drag::setRunner([&](platform::Drag& drag) {
            EXPECT_EQ(view->began, 1);
            EXPECT_FALSE(drag.image().isNull());
            dragged = drag.pasteboard().attributedString()->string();
            return c.answer;
        });
        step([&] { dragFrom(8); });
        EXPECT_EQ(dragged, QStringLiteral("world"));
        EXPECT_EQ(text(), c.expectedText);
        EXPECT_EQ(view->ended, 1);
        EXPECT_EQ(view->endedWith, c.answer);
    }

    // A click in the selection without moving places the insertion point.
    setText(QStringLiteral("Hello world"));
    view->setSelectedRange(Range(6, 5));
    click(caretPoint(8));
    EXPECT_EQ(view->selectedRange(), Range(8, 0));
}

TEST_F(TextViewPasteboard, AMoveWithinTheTextIsOneChange)
{
    setText(QStringLiteral("one two three"));
    view->setSelectedRange(Range(0, 4)); // "one "
    Qt::DropAction answered = Qt::IgnoreAction;
    platform::Drag::setRunner([&](platform::Drag& drag) {
        // Dropped onto itself first (refused), then after "three".
        EXPECT_EQ(drop(drag.mimeData(), caretPoint(2)), Qt::IgnoreAction);
        answered = drop(drag.mimeData(), caretPoint(13));
        return answered;
    });
    step([&] { dragFrom(1); });
    EXPECT_EQ(answered, Qt::MoveAction);
    EXPECT_EQ(text(), QStringLiteral("two threeone "));
    EXPECT_EQ(view->selectedRange(), Range(9, 4));
    undo.undo();
    EXPECT_EQ(text(), QStringLiteral("one two three"));
}

TEST_F(TextViewPasteboard, DropsInsertTextAtThePointAndRefuseAnythingElse)
{
    setText(QStringLiteral("Hello world"));
    QMimeData rich;
    Pasteboard pasteboard(&rich);
    pasteboard.declareTypes({platform::RTFDPboardType});
    pasteboard.setAttributedString(AttributedString(QStringLiteral("big "), Red));
    EXPECT_NE(drop(&rich, caretPoint(6)), Qt::IgnoreAction);
    EXPECT_EQ(text(), QStringLiteral("Hello big world"));
    EXPECT_EQ(view->selectedRange(), Range(6, 4));
    EXPECT_EQ(storage.attributedString().attribute(platform::ForegroundColorAttributeName, 6),
              QVariant(QColor(Qt::red)));

    QMimeData picture;
    picture.setData(QStringLiteral("image/png"), "png");
    EXPECT_EQ(drop(&picture, caretPoint(2)), Qt::IgnoreAction);
    QMimeData empty;
    empty.setText(QString());
    EXPECT_EQ(drop(&empty, caretPoint(2)), Qt::IgnoreAction);
    EXPECT_EQ(text(), QStringLiteral("Hello big world"));
}
