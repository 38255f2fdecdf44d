// Editing a text box in place: the shared editor and a private one, the start and end
// with their notifications, the editor laid over the box (turned with it at right angles),
// the box growing as the user types, and what the box answers the editor.

#include "../graphics/TextAreaTestSupport.h"

#include "canvas/LBGraphicView.h"
#include "canvas/LBTextView.h"
#include "graphics/LBTextArea.h"
#include "platform/core/NotificationCenter.h"
#include "platform/text/FontManager.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextContainer.h"
#include "platform/ui/TextView.h"

#include <QCoreApplication>
#include <QLineF>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <ostream>

namespace platform {
inline void PrintTo(const Range& range, std::ostream* out)
{
    *out << "{" << range.location << ", " << range.length << "}";
}
} // namespace platform

using platform::AttributedString;
using platform::Range;

namespace {

// A canvas for the editor to live in: a shown widget that takes it as a child.
class TestCanvas : public LBGraphicView
{
public:
    TestCanvas()
    {
        resize(600, 400);
        show();
    }
};

LBTextAreaPtr newBox(const QRectF& bounds, const QString& text)
{
    auto box = std::make_shared<LBTextArea>();
    box->setBounds(bounds);
    box->setContents(testText(text));
    return box;
}

void deliverDeferredDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TextAreaEditing : public ::testing::Test
{
public:
    ~TextAreaEditing() override
    {
        for (const LBTextAreaPtr& b : {box, other})
            if (b)
                b->endEditingInView(&canvas);
        deliverDeferredDeletes();
    }

    TestCanvas canvas;
    LBTextAreaPtr box = newBox(QRectF(50, 60, 100, 40), QStringLiteral("Hello"));
    LBTextAreaPtr other;
};

TEST_F(TextAreaEditing, StartAttachesTheSharedEditorAndEndDetachesIt)
{
    NotificationCounter started(LBStartEditingText, box.get());
    NotificationCounter ended(LBEndEditingTextNotification, box.get());

    box->startEditingWithEvent(nullptr, &canvas, false);
    platform::TextView* editor = box->textEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_NE(dynamic_cast<LBTextView*>(editor), nullptr); // the editor that keeps fields whole
    EXPECT_EQ(started.count, 1);
    EXPECT_TRUE(LBTextArea::textAreaFieldEditorInUse());
    EXPECT_EQ(canvas.editingGraphic(), box.get());
    EXPECT_EQ(canvas.editorView(), editor);
    EXPECT_EQ(editor->parentWidget(), &canvas);
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->textStorage(), box->contents().get());
    EXPECT_EQ(editor->delegate(), box.get());
    EXPECT_EQ(editor->frame().topLeft(), QPointF(50, 60));
    EXPECT_EQ(editor->frame().width(), 100);
    EXPECT_FALSE(editor->isHorizontallyResizable());
    EXPECT_EQ(editor->textContainer()->containerSize(), QSizeF(100, 1000000));
    EXPECT_EQ(editor->selectedRange(), Range(0, 0));
    EXPECT_TRUE(editor->isFirstResponder());

    box->endEditingInView(&canvas);
    EXPECT_EQ(ended.count, 1);
    EXPECT_EQ(box->textEditor(), nullptr);
    EXPECT_EQ(canvas.editingGraphic(), nullptr);
    EXPECT_EQ(canvas.editorView(), nullptr);
    EXPECT_FALSE(LBTextArea::textAreaFieldEditorInUse());
    EXPECT_EQ(editor->parentWidget(), nullptr);
    EXPECT_EQ(editor->textStorage(), nullptr);
    EXPECT_EQ(editor->delegate(), nullptr);
    EXPECT_TRUE(box->contents()->layoutManagers().isEmpty());

    // The same editor serves the next box.
    other = newBox(QRectF(200, 60, 100, 40), QStringLiteral("Other"));
    other->startEditingWithEvent(nullptr, &canvas, true);
    EXPECT_EQ(other->textEditor(), editor);
    EXPECT_EQ(editor->selectedRange(), Range(0, 5));
}

TEST_F(TextAreaEditing, ABoxEditedWhileTheSharedEditorIsBusyGetsItsOwn)
{
    box->startEditingWithEvent(nullptr, &canvas, false);
    TestCanvas second;
    other = newBox(QRectF(200, 60, 100, 40), QStringLiteral("Other"));
    other->startEditingWithEvent(nullptr, &second, false);
    QPointer<platform::TextView> own = other->textEditor();
    ASSERT_NE(own, nullptr);
    EXPECT_NE(own.data(), box->textEditor());
    EXPECT_EQ(own->textStorage(), other->contents().get());

    other->endEditingInView(&second);
    deliverDeferredDeletes();
    EXPECT_TRUE(own.isNull());
    EXPECT_TRUE(LBTextArea::textAreaFieldEditorInUse()); // still with the first box
    box->endEditingInView(&canvas);
    EXPECT_FALSE(LBTextArea::textAreaFieldEditorInUse());
}

TEST_F(TextAreaEditing, EndingABoxTheCanvasIsNotEditingOnlyForgetsItsEditor)
{
    box->startEditingWithEvent(nullptr, &canvas, false);
    other = newBox(QRectF(200, 60, 100, 40), QStringLiteral("Other"));
    NotificationCounter ended(LBEndEditingTextNotification, other.get());
    other->endEditingInView(&canvas);
    other->endEditingInView(nullptr);
    EXPECT_EQ(ended.count, 0);
    EXPECT_EQ(canvas.editingGraphic(), box.get());
    EXPECT_NE(box->textEditor(), nullptr);
}

TEST_F(TextAreaEditing, RightAngledBoxesAreEditedTurnedObliqueOnesUpright)
{
    struct Case
    {
        double rotation;
        double groupRotation;
        double editorRotation;
    };
    const Case cases[] = {{90, 0, 90},   {45, 45, 90}, {-90, 0, -90},
                          {180, 0, 180}, {45, 0, 0},   {30, 0, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rotation + c.groupRotation);
        box->setRotation(c.rotation);
        box->setGroupRotation(c.groupRotation);
        box->startEditingWithEvent(nullptr, &canvas, false);
        platform::TextView* editor = box->textEditor();
        EXPECT_EQ(editor->frameRotation(), c.editorRotation);
        const QPointF origin =
            c.editorRotation != 0 ? box->rotatedPoint(QPointF(50, 60), false) : QPointF(50, 60);
        EXPECT_LT(QLineF(editor->frame().topLeft(), origin).length(), 1e-9);
        if (c.editorRotation != 0) {
            // The editor's corners are the turned box's corners.
            const QPointF farCorner =
                editor->convertPointToSuperview(QPointF(100, editor->frame().height()));
            EXPECT_LT(QLineF(farCorner,
                             box->rotatedPoint(QPointF(150, 60 + editor->frame().height()), false))
                          .length(),
                      1e-6);
        }
        box->endEditingInView(&canvas);
        EXPECT_EQ(editor->frameRotation(), 0);
        EXPECT_EQ(editor->frame().topLeft(), QPointF(50, 60));
    }
}

TEST_F(TextAreaEditing, AClickThatStartsTheEditPlacesTheInsertionPoint)
{
    canvas.setEditingGraphic(nullptr, nullptr);
    box->startEditingWithEvent(nullptr, &canvas, false);
    platform::TextView* editor = box->textEditor();
    const QPointF at = editor->convertPointToSuperview(editor->insertionPointRect(3).center());
    box->endEditingInView(&canvas);

    QMouseEvent press(QEvent::MouseButtonPress, at, canvas.mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    box->startEditingWithEvent(&press, &canvas, false);
    EXPECT_EQ(box->textEditor()->selectedRange(), Range(3, 0));
}

TEST_F(TextAreaEditing, TypingIntoAFixedWidthBoxGrowsItsHeightOnly)
{
    box->startEditingWithEvent(nullptr, &canvas, false);
    platform::TextView* editor = box->textEditor();
    editor->setSelectedRange(Range(5, 0));
    QTest::keyClicks(editor, QStringLiteral(" and a long line that wraps more than once"));
    const QRectF b = box->bounds();
    EXPECT_EQ(b.topLeft(), QPointF(50, 60));
    EXPECT_EQ(b.width(), 100);
    EXPECT_GT(b.height(), 2 * QFontMetricsF(testFont()).lineSpacing()); // three lines or more
    EXPECT_NEAR(b.height(), box->requiredSize(100).height(), 0.01);
    EXPECT_NEAR(editor->frame().height(), b.height(), 0.01);

    // Deleting never shrinks the box.
    editor->selectAll();
    QTest::keyClick(editor, Qt::Key_Backspace);
    EXPECT_EQ(box->bounds(), b);
}

TEST_F(TextAreaEditing, ANarrowBoxGrowsInWidthByItsAlignment)
{
    struct Case
    {
        const char* name;
        platform::ParagraphStyle::Alignment alignment;
        double shiftFraction;
    };
    const Case cases[] = {
        {"left", platform::ParagraphStyle::Alignment::Left, 0},
        {"right", platform::ParagraphStyle::Alignment::Right, 1},
        {"centre", platform::ParagraphStyle::Alignment::Center, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        box = std::make_shared<LBTextArea>();
        box->setBounds(QRectF(300, 60, 2, 20));
        box->setContents(alignedText(QStringLiteral("a"), c.alignment));

        box->startEditingWithEvent(nullptr, &canvas, false);
        platform::TextView* editor = box->textEditor();
        EXPECT_TRUE(editor->isHorizontallyResizable());
        editor->setSelectedRange(Range(1, 0));
        QTest::keyClicks(editor, QStringLiteral("bcdef"));

        const QSizeF needed = box->requiredSize(1000000);
        const double growth = needed.width() - 2;
        EXPECT_GT(growth, 20);
        EXPECT_NEAR(box->bounds().width(), needed.width(), 0.01);
        EXPECT_NEAR(box->bounds().x(), 300 - c.shiftFraction * growth, 0.01);
        EXPECT_EQ(box->bounds().height(), 20);
        // The editor stays over the box and shows the whole line.
        EXPECT_NEAR(editor->frame().x(), box->bounds().x(), 0.01);
        EXPECT_NEAR(editor->frame().width(), needed.width(), 1.01);
        box->endEditingInView(&canvas);
    }
}

TEST_F(TextAreaEditing, ATurnedBoxKeepsItsEditorOnItWhileGrowing)
{
    box->setRotation(90);
    box->startEditingWithEvent(nullptr, &canvas, false);
    platform::TextView* editor = box->textEditor();
    editor->setSelectedRange(Range(5, 0));
    QTest::keyClicks(editor, QStringLiteral(" and a long line that wraps more than once"));
    EXPECT_GT(box->bounds().height(), 40);
    EXPECT_LT(QLineF(editor->frame().topLeft(), box->rotatedPoint(box->bounds().topLeft(), false))
                  .length(),
              1e-6);
}

TEST_F(TextAreaEditing, AnEmptyBoxTypesInTheFontPanelsFont)
{
    platform::FontManager::sharedFontManager().setSelectedFont(testFont(30));
    box->setContents(AttributedString());
    box->startEditingWithEvent(nullptr, &canvas, false);
    QTest::keyClicks(box->textEditor(), QStringLiteral("Big"));
    platform::FontManager::sharedFontManager().setSelectedFont(std::nullopt);
    EXPECT_EQ(box->contents()->string(), QStringLiteral("Big"));
    EXPECT_EQ(box->contents()
                  ->attributedString()
                  .attribute(platform::FontAttributeName, 0)
                  .value<QFont>(),
              testFont(30));

    // A box with text keeps its own.
    box->endEditingInView(&canvas);
    platform::FontManager::sharedFontManager().setSelectedFont(testFont(8));
    other = newBox(QRectF(200, 60, 100, 40), QStringLiteral("x"));
    other->startEditingWithEvent(nullptr, &canvas, false);
    platform::FontManager::sharedFontManager().setSelectedFont(std::nullopt);
    EXPECT_EQ(other->contents()
                  ->attributedString()
                  .attribute(platform::FontAttributeName, 0)
                  .value<QFont>(),
              testFont());
}

TEST_F(TextAreaEditing, ABoxWithoutTextGetsAnEmptyTextToEdit)
{
    box = std::make_shared<LBTextArea>();
    box->setBounds(QRectF(50, 60, 100, 40));
    box->startEditingWithEvent(nullptr, &canvas, false);
    ASSERT_NE(box->contents(), nullptr);
    QTest::keyClicks(box->textEditor(), QStringLiteral("new"));
    EXPECT_EQ(box->contents()->string(), QStringLiteral("new"));
}

TEST_F(TextAreaEditing, ATextPlaceholderIsReplacedWhole)
{
    box->setPlaceholderTypeString(QStringLiteral("RegularText"));
    box->setIsPlaceholder(true);
    box->startEditingWithEvent(nullptr, &canvas, false);
    platform::TextView* editor = box->textEditor();
    // Clicks select all of it while it is a placeholder.
    const QPointF at = editor->insertionPointRect(2).center();
    QMouseEvent press(QEvent::MouseButtonPress, editor->convertPointToSuperview(at), QPointF(),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    editor->mouseDown(&press);
    EXPECT_EQ(editor->selectedRange(), Range(0, 5));

    QTest::keyClicks(editor, QStringLiteral("Hi"));
    EXPECT_FALSE(box->isPlaceholder());
    EXPECT_EQ(box->contents()->string(), QStringLiteral("Hi"));
    editor->setSelectedRange(Range(1, 0));
    EXPECT_EQ(editor->selectedRange(), Range(1, 0));
}

TEST_F(TextAreaEditing, TypingIsUndoneThroughTheDocument)
{
    RecordingDocument document;
    box->setDocument(&document);
    box->startEditingWithEvent(nullptr, &canvas, false);
    platform::TextView* editor = box->textEditor();
    editor->setSelectedRange(Range(5, 0));
    document.undoManager()->beginUndoGrouping();
    QTest::keyClicks(editor, QStringLiteral("!"));
    document.undoManager()->endUndoGrouping();
    EXPECT_EQ(box->contents()->string(), QStringLiteral("Hello!"));
    box->endEditingInView(&canvas);

    document.undoManager()->undo();
    EXPECT_EQ(box->contents()->string(), QStringLiteral("Hello"));
    box->setDocument(nullptr);
}

TEST_F(TextAreaEditing, ARunOfTypingThatGrowsTheBoxIsOneUndoStep)
{
    RecordingDocument document;
    document.undoManager()->setGroupsByEvent(true); // each event a step, as in the program
    box = std::make_shared<LBTextArea>();
    box->setBounds(QRectF(300, 60, 2, 20));
    box->setContents(alignedText(QStringLiteral("a"), platform::ParagraphStyle::Alignment::Left));
    box->setDocument(&document);
    const QRectF before = box->bounds();
    box->startEditingWithEvent(nullptr, &canvas, false);
    platform::TextView* editor = box->textEditor();
    editor->setSelectedRange(Range(1, 0));
    QCoreApplication::processEvents();
    platform::UndoManager* undo = document.undoManager();
    const int steps = undo->undoCount();

    // Each key an event of its own, the box growing with most of them.
    for (const QChar c : QStringLiteral("bcdef")) {
        QTest::keyClicks(editor, QString(c));
        QCoreApplication::processEvents();
    }
    ASSERT_GT(box->bounds().width(), before.width() + 20);
    EXPECT_EQ(undo->undoCount(), steps + 1);

    undo->undo();
    EXPECT_EQ(box->contents()->string(), QStringLiteral("a"));
    // Back to the box before the run, which the editor then fits to the "a" it shows.
    EXPECT_EQ(box->bounds().topLeft(), before.topLeft());
    EXPECT_NEAR(box->bounds().width(), box->requiredSize(1000000).width(), 0.01);
    undo->redo();
    EXPECT_EQ(box->contents()->string(), QStringLiteral("abcdef"));
    EXPECT_GT(box->bounds().width(), before.width() + 20);
    box->endEditingInView(&canvas);
    box->setDocument(nullptr);
}

TEST_F(TextAreaEditing, ABoxThatGoesAwayWhileEditedLetsGoOfItsEditor)
{
    box->startEditingWithEvent(nullptr, &canvas, false);
    QPointer<platform::TextView> editor = box->textEditor();
    box.reset();
    ASSERT_FALSE(editor.isNull());
    EXPECT_EQ(editor->delegate(), nullptr);
    EXPECT_EQ(editor->textStorage(), nullptr);
    EXPECT_EQ(canvas.editingGraphic(), nullptr);
    EXPECT_FALSE(LBTextArea::textAreaFieldEditorInUse());
    QTest::keyClicks(editor, QStringLiteral("x")); // nothing to type into, nothing breaks
}

TEST_F(TextAreaEditing, ACanvasThatGoesAwayEndsItsEditing)
{
    auto doomed = std::make_unique<TestCanvas>();
    box->startEditingWithEvent(nullptr, doomed.get(), false);
    QPointer<platform::TextView> editor = box->textEditor();
    doomed.reset();
    ASSERT_FALSE(editor.isNull()); // the shared editor stays, off every canvas
    EXPECT_EQ(editor->parentWidget(), nullptr);
    EXPECT_EQ(box->textEditor(), nullptr);
    EXPECT_FALSE(LBTextArea::textAreaFieldEditorInUse());
    box->startEditingWithEvent(nullptr, &canvas, false);
    EXPECT_NE(box->textEditor(), nullptr);
}
