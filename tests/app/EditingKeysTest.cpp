// The menus' keys while a text box is being edited on the canvas: the keys the text view
// does not use itself still reach the window's menus (File > Save, File > Export…), typed
// into the editor as a user types them.

#include "ProgramFixture.h"

#include "graphics/LBTextArea.h"
#include "merge/LBExportPanel.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/TextView.h"

#include <QApplication>
#include <QTest>

#include <memory>

namespace {

class EditingKeys : public ProgramFixture
{
protected:
    // A saved design with one text box, in design, that box being edited in place with its
    // text typed into: the document edited.
    void editTextBox()
    {
        LBDocument design;
        auto box = std::make_shared<LBTextArea>();
        box->setContents(QStringLiteral("Ann Smith"));
        box->setBounds(QRectF(12, 12, 200, 40));
        design.undoManager()->beginUndoGrouping();
        design.insertGraphic(box, 0, 1);
        design.undoManager()->endUndoGrouping();
        openDocument(&design);
        enterDesign();
        window->window()->activateWindow();
        settle();
        canvas()->startEditingGraphic(layer().value(0), nullptr, true);
        settle();
        ASSERT_NE(canvas()->editorView(), nullptr);
        type(Qt::Key_X);
        ASSERT_EQ(QApplication::focusWidget(), canvas()->editorView());
        ASSERT_TRUE(document->isDocumentEdited());
    }

    // A key typed into the widget with the focus, as the keyboard does.
    static void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, key, modifiers);
        settle();
    }
};

TEST_F(EditingKeys, SaveByItsKeysWhileEditingText)
{
    editTextBox();
    // The keys go down in the editor; the save ends the editing, so they come up on the
    // canvas (Ctrl first, as a hand often lets go), which must not take the S as typing
    // that starts editing the box again.
    QTest::keyPress(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
    settle();
    EXPECT_EQ(canvas()->editingGraphic(), nullptr);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Control);
    QTest::keyRelease(QApplication::focusWidget(), Qt::Key_S);
    settle();
    EXPECT_EQ(canvas()->editingGraphic(), nullptr);

    EXPECT_FALSE(document->isDocumentEdited()) << "Ctrl+S did not save";
    // The file holds the text typed.
    const std::unique_ptr<LBDocument> saved =
        LBDocument::initWithContentsOfFile(document->fileName(), LBDocument::LabelDocumentType);
    ASSERT_NE(saved, nullptr);
    const QList<LBGraphicPtr> graphics = saved->graphicsOnPage(0)->value(1);
    ASSERT_EQ(graphics.size(), 1);
    auto* box = dynamic_cast<LBTextArea*>(graphics.first().get());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->contents()->string(), QStringLiteral("x"));
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join(u'\n').toStdString();
}

TEST_F(EditingKeys, ExportByItsKeysWhileEditingText)
{
    editTextBox();

    type(Qt::Key_E, Qt::ControlModifier);

    auto* panel = openPanel<LBExportPanel>();
    ASSERT_NE(panel, nullptr) << "Ctrl+E opened no export panel";
    panel->reject();
    settle();
}

// The text view's own keys stay its own: Select All selects the box's text, not the
// canvas's graphics, and Undo takes back the typing.
TEST_F(EditingKeys, TheTextViewsOwnKeysStayItsOwn)
{
    editTextBox();
    platform::TextView* editor = canvas()->editorView();

    type(Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(editor->selectedRange(), platform::Range(0, editor->textStorage()->length()));

    type(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(editor->textStorage()->string(), QStringLiteral("Ann Smith"));
}

// File > Revert to Saved puts the saved design back as it stands: the box being edited or
// moved is the saved one again, and nothing stays selected, so Edit > Delete has nothing to
// take away.
TEST_F(EditingKeys, RevertToSavedLeavesTheSavedDesignAndNothingSelected)
{
    editTextBox();
    const QPointF shown = layer().value(0)->bounds().topLeft();
    ASSERT_TRUE(choose("revertDocumentToSaved:"));
    settle();
    EXPECT_EQ(canvas()->editorView(), nullptr) << "still editing the box the revert replaced";
    ASSERT_EQ(layer().size(), 1);
    auto* box = dynamic_cast<LBTextArea*>(layer().first().get());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->contents()->string(), QStringLiteral("Ann Smith"));

    // The box selected and moved by its keys, then the revert again.
    window->window()->activateWindow();
    canvas()->setFocus();
    settle();
    type(Qt::Key_A, Qt::ControlModifier);
    ASSERT_EQ(canvas()->selectedGraphics(true).size(), 1);
    type(Qt::Key_Right);
    ASSERT_TRUE(document->isDocumentEdited());
    // Asked first: Cancel keeps the change.
    alerts.clear();
    platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
        alerts << alert.messageText + QLatin1Char('|') + alert.informativeText;
        return platform::Alert::Response{platform::Alert::SecondButtonReturn, false};
    });
    ASSERT_TRUE(choose("revertDocumentToSaved:"));
    settle();
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().startsWith(
        QStringLiteral("Do you want to revert to the most recently saved version of the document")))
        << alerts.first().toStdString();
    EXPECT_TRUE(alerts.first().endsWith(QStringLiteral("|Your current changes will be lost.")));
    EXPECT_TRUE(document->isDocumentEdited());
    EXPECT_NE(layer().first()->bounds().topLeft(), shown);
    platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
        alerts << alert.messageText;
        return platform::Alert::Response{};
    });
    ASSERT_TRUE(choose("revertDocumentToSaved:"));
    settle();
    EXPECT_TRUE(canvas()->selectedGraphics(true).isEmpty());
    EXPECT_FALSE(choose("delete:")) << "Edit > Delete offered with nothing shown selected";
    ASSERT_EQ(layer().size(), 1);
    EXPECT_EQ(layer().first()->bounds().topLeft(), shown);
    EXPECT_FALSE(document->isDocumentEdited());
}

// Undo and Redo act in design only: in preview the graphics stand at their page positions,
// and a move taken back there put the box at its canvas position, off by the page's offset.
TEST_F(EditingKeys, UndoTakesBackADesignStepInDesignOnly)
{
    editTextBox();
    canvas()->endEditing();
    window->window()->activateWindow();
    canvas()->setFocus();
    settle();
    type(Qt::Key_A, Qt::ControlModifier);
    const QPointF before = layer().value(0)->bounds().topLeft();
    type(Qt::Key_Right);
    const QPointF moved = layer().value(0)->bounds().topLeft();
    ASSERT_EQ(moved, before + QPointF(1, 0));

    ASSERT_TRUE(choose("switchToViewMode:"));
    EXPECT_FALSE(choose("undo:")) << "Edit > Undo offered in preview";
    QTest::keyClick(window->window(), Qt::Key_Z, Qt::ControlModifier);
    settle();
    ASSERT_TRUE(choose("switchToDesignMode:"));
    EXPECT_EQ(layer().value(0)->bounds().topLeft(), moved) << "the preview's Ctrl+Z moved it";

    // Back in design the move is taken back and done again.
    ASSERT_TRUE(choose("undo:"));
    EXPECT_EQ(layer().value(0)->bounds().topLeft(), before);
    ASSERT_TRUE(choose("redo:"));
    EXPECT_EQ(layer().value(0)->bounds().topLeft(), moved);
}

} // namespace
