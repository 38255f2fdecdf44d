// The menu keys while an inspector palette has the keyboard: a user typing in a palette's
// field and pressing Ctrl+R, Ctrl+S or Ctrl+Q means the document window's command, which
// the palette's own fields do not take.

#include "ProgramFixture.h"

#include "canvas/LBGraphicView.h"
#include "inspector/HUDWindowController.h"

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
};

} // namespace

TEST_F(PaletteKeys, TheWindowsMenuKeysWorkFromAPalettesField)
{
    openDocument();
    enterDesign();
    window->window()->activateWindow();
    settle();
    HUDWindowController* palette = app->newStandaloneInspector();
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
