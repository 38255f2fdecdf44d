// The menu keys while an inspector palette has the keyboard: a user typing in a palette's
// field and pressing Ctrl+R, Ctrl+E or Ctrl+Q means the document window's command, which
// the palette's own fields do not take, even where the platform binds the key to a move in
// a field (Ctrl+E to the end of the line); the field's editing keys stay its own.

#include "ProgramFixture.h"

#include "canvas/LBGraphicView.h"
#include "inspector/HUDWindowController.h"
#include "merge/LBExportPanel.h"
#include "shapes/ShapeClasses.h"
#include "window/LBEditController.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QTest>

namespace {

class PaletteKeys : public ProgramFixture
{
protected:
    void TearDown() override
    {
        ProgramFixture::TearDown();
        defaults().removeObjectForKey(QStringLiteral("Standalone Inspector Array"));
    }

    // A standalone inspector palette over a design window, made as Inspector > New
    // Standalone Inspector makes it.
    HUDWindowController* paletteOverDesign()
    {
        openDocument();
        enterDesign();
        window->window()->activateWindow();
        settle();
        return app->newStandaloneInspector();
    }

    // The palette takes the keyboard, as when the user clicks it.
    static void activate(HUDWindowController* palette)
    {
        const QDeadlineTimer deadline(3000);
        do {
            palette->window()->activateWindow();
            settle();
        } while (QApplication::activeWindow() != palette->window() && !deadline.hasExpired());
    }
};

} // namespace

TEST_F(PaletteKeys, TheWindowsMenuKeysWorkFromAPalettesField)
{
    HUDWindowController* palette = paletteOverDesign();
    ASSERT_NE(palette, nullptr);
    QWidget* paletteWindow = palette->window();
    ASSERT_NE(paletteWindow, nullptr);
    auto* field = paletteWindow->findChild<QLineEdit*>();
    ASSERT_NE(field, nullptr);

    // View > Rulers by its keys, typed into the palette's field.
    const bool rulers = canvas()->rulersVisible();
    QTest::keyClick(field, Qt::Key_R, Qt::ControlModifier);
    settle();
    EXPECT_NE(canvas()->rulersVisible(), rulers);
    // A plain key is typing, never a command.
    QTest::keyClick(field, Qt::Key_R);
    settle();
    EXPECT_NE(canvas()->rulersVisible(), rulers);
    QTest::keyClick(field, Qt::Key_R, Qt::ControlModifier);
    settle();
    EXPECT_EQ(canvas()->rulersVisible(), rulers);
}

TEST_F(PaletteKeys, AFieldGivesUpItsMovesToTheMenusButKeepsItsEditingKeys)
{
    registerShapeClasses();
    openDocument();
    enterDesign();
    // A rectangle selected: the palette's dimension fields take input.
    auto* edit = dynamic_cast<LBEditController*>(window->editController());
    ASSERT_NE(edit, nullptr);
    edit->insertGraphic(edit->createShapeOfClass(QStringLiteral("LBRectangle"), 0), true);
    settle();
    window->window()->activateWindow();
    settle();
    HUDWindowController* palette = app->newStandaloneInspector();
    ASSERT_NE(palette, nullptr);
    palette->toolsPopupAction(HUDWindowController::SizeTools);
    settle();
    QLineEdit* field = nullptr;
    for (QLineEdit* each : palette->window()->findChildren<QLineEdit*>())
        field = field || !each->isVisible() ? field : each;
    ASSERT_NE(field, nullptr) << "no field shows in the palette";
    // The user clicks into the field and types.
    activate(palette);
    QTest::mouseClick(field, Qt::LeftButton);
    field->setFocus();
    settle();
    ASSERT_EQ(QApplication::focusWidget(), field) << "the field took no focus";
    field->setText(QStringLiteral("12"));
    field->setCursorPosition(0);

    // File > Export… by its keys, which the platform also binds to the end of the line.
    QTest::keyClick(field, Qt::Key_E, Qt::ControlModifier);
    auto* panel = openPanel<LBExportPanel>();
    ASSERT_NE(panel, nullptr) << "Ctrl+E in a palette's field opened no export panel";
    EXPECT_EQ(field->cursorPosition(), 0);
    panel->reject();
    settle();

    // Select All selects the field's text, not the canvas's graphics.
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    settle();
    EXPECT_EQ(field->selectedText(), QStringLiteral("12"));
}

// After a click on one of the palette's buttons or sliders the palette keeps the keyboard;
// the menu keys still reach the document window.
TEST_F(PaletteKeys, TheMenuKeysWorkAfterAClickOnAPalettesControl)
{
    HUDWindowController* palette = paletteOverDesign();
    ASSERT_NE(palette, nullptr);
    activate(palette);
    for (QAbstractButton* control : palette->window()->findChildren<QAbstractButton*>()) {
        if (!control->isVisible() || !control->isEnabled())
            continue;
        control->setFocus(Qt::MouseFocusReason);
        settle();
        const bool rulers = canvas()->rulersVisible();
        QTest::keyClick(control, Qt::Key_R, Qt::ControlModifier);
        settle();
        EXPECT_NE(canvas()->rulersVisible(), rulers)
            << "Ctrl+R did nothing from " << control->metaObject()->className();
    }
}
