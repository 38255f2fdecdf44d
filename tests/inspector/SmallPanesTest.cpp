// The Group, image-placeholder and Curved Text panes, and the keys typed while the palette
// is the key window.

#include "InspectorTestSupport.h"

#include "controls/LBCircularSlider.h"
#include "inspector/HUDControls.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"

#include <QAction>
#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

class SmallPanes : public InspectorTest
{
protected:
    SmallPanes()
    {
        HUDWindowController::registerGroupPane();
        HUDWindowController::registerPlaceholderPane();
        HUDWindowController::registerCurvedTextPane();
        HUDWindowController::registerCropPane();
        LBProcessState::setInspectorPalette(palette.get());
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts.append(alert.messageText);
            return platform::Alert::Response{};
        });
    }
    ~SmallPanes() override
    {
        platform::Alert::setResponder({});
        LBProcessState::setInspectorPalette(nullptr);
        defaults().removeObjectForKey(QStringLiteral("Show Group HUD Window"));
    }
    template <typename T>
    T* control(const char* name) const
    {
        return palette->currentTools()->findChild<T*>(QLatin1String(name));
    }
    std::shared_ptr<LBTextArea> curvedText()
    {
        auto box = addTextBox(QRectF(100, 100, 120, 120), QStringLiteral("Around"));
        undo()->disableUndoRegistration();
        box->setIsCurved(true);
        undo()->enableUndoRegistration();
        return box;
    }
    QStringList alerts;
};

} // namespace

TEST_F(SmallPanes, TheGroupPaneListsTheMembersAndSelectsOneAlone)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 20, 20));
    auto b = add(QStringLiteral("b"), QRectF(40, 10, 20, 20));
    auto c = add(QStringLiteral("c"), QRectF(70, 10, 20, 20));
    selectOnly({a, b, c});
    canvas->group(nullptr);
    palette->updateFromGraphicView(canvas);
    ASSERT_TRUE(palette->toolTags().contains(HUDWindowController::GroupTools));
    palette->toolsPopupAction(HUDWindowController::GroupTools);
    auto* popup = control<HUDPopUpButton>("_groupSelectPopup");
    ASSERT_NE(popup, nullptr);
    const QList<QAction*> items = popup->itemMenu()->actions();
    ASSERT_EQ(items.size(), 5);
    for (int i = 2; i < 5; ++i) {
        EXPECT_EQ(items.at(i)->data().toInt(), i - 1);
        EXPECT_EQ(items.at(i)->text(), "Rectangle");
    }
    // A fixed item selects nothing.
    items.at(1)->trigger();
    EXPECT_EQ(canvas->selectedGraphics(true).size(), 3);
    const LBGraphicPtr third = palette->selectedGraphics().at(2);
    items.at(4)->trigger();
    EXPECT_EQ(canvas->selectedGraphics(true), QList<LBGraphicPtr>{third});

    // Reloading lists the members again, not twice.
    selectOnly({a, b, c});
    palette->updateSelectedTools();
    EXPECT_EQ(popup->itemMenu()->actions().size(), 5);

    auto* box = control<HUDCheckbox>("_groupSelectCheckbox");
    ASSERT_NE(box, nullptr);
    // Its whole text shows: the box is as wide as the text needs, within the pane.
    EXPECT_GE(box->width(), box->sizeHint().width());
    EXPECT_LE(box->x() + box->width(), palette->currentTools()->width());
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("Show Group HUD Window")));
    QTest::mouseClick(box, Qt::LeftButton);
    EXPECT_TRUE(defaults().boolForKey(QStringLiteral("Show Group HUD Window")));
}

TEST_F(SmallPanes, GroupAndUngroupCommandsBringThePaletteUpToDate)
{
    using H = HUDWindowController;
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 20, 20));
    auto b = add(QStringLiteral("b"), QRectF(60, 10, 20, 20));
    selectOnly({a, b});
    palette->toolsPopupAction(H::SizeTools);
    const auto field = [this](const char* name) { return control<QLineEdit>(name)->text(); };
    const QPointF page = canvas->visiblePageRect().topLeft();
    // The menu item, key or toolbar button the user chose. The same two graphics stay
    // selected throughout, so no selection change refreshes the palette.
    QAction command;

    canvas->group(&command);
    EXPECT_TRUE(palette->toolTags().contains(H::GroupTools));
    EXPECT_EQ(field("_xLocField"), H::lengthText(a->groupBounds().x() - page.x()));
    EXPECT_EQ(field("_widthField"), H::lengthText(a->groupBounds().width()));

    canvas->ungroup(&command);
    EXPECT_FALSE(palette->toolTags().contains(H::GroupTools));
    EXPECT_EQ(field("_xLocField"), QString()); // two places
    EXPECT_EQ(field("_widthField"), H::lengthText(20.0));

    // The Group pane, chosen while the group was there, gives way to the pane last chosen
    // for the shapes.
    canvas->group(&command);
    palette->toolsPopupAction(H::GroupTools);
    canvas->ungroup(&command);
    ASSERT_EQ(palette->toolTag(), H::SizeTools);
    EXPECT_EQ(field("_widthField"), H::lengthText(20.0));
}

TEST_F(SmallPanes, UndoAndRedoOfGroupAndUngroupBringThePaletteUpToDate)
{
    using H = HUDWindowController;
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 20, 20));
    auto b = add(QStringLiteral("b"), QRectF(60, 10, 20, 20));
    const auto expectPalette = [&](bool grouped) {
        EXPECT_EQ(a->isGrouped(), grouped);
        EXPECT_EQ(palette->toolTags().contains(H::GroupTools), grouped);
        ASSERT_EQ(palette->toolTag(), H::SizeTools);
        EXPECT_EQ(control<QLineEdit>("_widthField")->text(),
                  H::lengthText(grouped ? 70.0 : 20.0)); // the group's width or each shape's
    };
    // The command from the menu; undo and redo send no command, and the same two graphics
    // stay selected throughout.
    QAction command;
    for (const bool grouping : {true, false}) {
        SCOPED_TRACE(grouping ? "Group" : "Ungroup");
        selectOnly({a, b});
        if (!grouping) {
            undo()->disableUndoRegistration();
            canvas->group(nullptr);
            undo()->enableUndoRegistration();
            palette->updateFromGraphicView(canvas);
        }
        palette->toolsPopupAction(H::SizeTools);
        if (!grouping)
            palette->toolsPopupAction(H::GroupTools);
        closeStep();
        undo()->removeAllActions();

        grouping ? canvas->group(&command) : canvas->ungroup(&command);
        closeStep();
        // Back and forth twice, the Group pane chosen while the group is there: it gives
        // way to the shapes' pane when the group goes.
        for (int round = 0; round < 2; ++round) {
            SCOPED_TRACE(round);
            if (grouping)
                palette->toolsPopupAction(H::GroupTools);
            undo()->undo();
            expectPalette(!grouping);
            undo()->redo();
            expectPalette(grouping);
        }
    }
}

TEST_F(SmallPanes, ThePlaceholderBoxLetsTheCanvasDefineAPlaceholder)
{
    auto box = addTextBox(QRectF(100, 100, 120, 40), QStringLiteral("Name"));
    selectOnly({box});
    palette->toolsPopupAction(HUDWindowController::PlaceholderTools);
    auto* check = control<HUDCheckbox>("_placeholderCheckbox");
    ASSERT_NE(check, nullptr);
    EXPECT_FALSE(check->isChecked());
    QTest::mouseClick(check, Qt::LeftButton);
    // The canvas asked which kind (the first answer: plain text) and made it one.
    EXPECT_EQ(alerts.size(), 1);
    EXPECT_TRUE(box->isPlaceholder());
    EXPECT_TRUE(check->isChecked());
}

TEST_F(SmallPanes, CurvedTextShowsItsAngleAndChangesEveryCurvedBoxAsOneStep)
{
    auto first = curvedText();
    auto second = curvedText();
    selectOnly({first, second});
    palette->toolsPopupAction(HUDWindowController::CurvedTextTools);
    auto* text = control<QLabel>("_curvedTextSliderValueText");
    ASSERT_NE(text, nullptr);
    const QString degree(QChar(0x00BA));
    for (const auto& [angle, shown] : QList<QPair<qint64, QString>>{
             {0, "0"}, {270, "270"}, {360, "0"}, {450, "90"}, {-30, "0"}}) {
        first->setCurveStartingAngle(angle);
        palette->updateSelectedTools();
        EXPECT_EQ(text->text(), shown + degree) << angle;
    }
    undo()->removeAllActions();
    first->setCurveStartingAngle(270);
    second->setCurveStartingAngle(270);
    closeStep();
    undo()->removeAllActions();

    auto* dial = control<LBCircularSlider>("_curvedTextSlider");
    dial->setAngle(45, 1);
    dial->sendAction();
    EXPECT_EQ(first->curveStartingAngle(), 45);
    EXPECT_EQ(second->curveStartingAngle(), 45);
    EXPECT_EQ(text->text(), "45" + degree);
    EXPECT_EQ(undoName(), undoStrings("Curved Text Settings"));

    auto* side = control<QButtonGroup>("_curvedTextMatrix");
    QTest::mouseClick(side->button(1), Qt::LeftButton);
    EXPECT_TRUE(first->drawsOnInsideOfCurve());
    EXPECT_TRUE(second->drawsOnInsideOfCurve());
    auto* form = control<QButtonGroup>("_circularSpiralMatrix");
    QTest::mouseClick(form->button(1), Qt::LeftButton);
    EXPECT_TRUE(second->isSpiral());
    control<HUDSlider>("_spiralRateSlider")->setValue(50);
    EXPECT_DOUBLE_EQ(second->spiralRate(), 0.5);
    EXPECT_EQ(undoName(), undoStrings("Curved Text Settings"));

    for (int i = 0; i < 4; ++i)
        undo()->undo();
    EXPECT_EQ(first->curveStartingAngle(), 270);
    EXPECT_FALSE(first->drawsOnInsideOfCurve());
    EXPECT_FALSE(second->isSpiral());
    EXPECT_DOUBLE_EQ(second->spiralRate(), 0.2);
}

TEST_F(SmallPanes, ReturnInThePaletteEndsAForcedCropOnlyAndOtherKeysActOnTheCanvas)
{
    auto shape = add(QStringLiteral("r"), QRectF(100, 100, 50, 50));
    selectOnly({shape});
    QWidget* window = palette->window();
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_EQ(document->pageGraphics().at(1).size(), 1);

    // Keys the controls leave go to the canvas: an arrow nudges the selection.
    closeStep();
    undo()->removeAllActions();
    QTest::keyClick(window, Qt::Key_Right);
    EXPECT_EQ(shape->bounds().x(), 101.0);

    QImage bitmap(200, 100, QImage::Format_RGB32);
    bitmap.fill(Qt::red);
    auto image = std::make_shared<LBImage>();
    image->setImage(platform::Image::fromBitmap(bitmap, QSizeF(200, 100)),
                    LBGraphic::FillImageType);
    image->setDocument(document.get());
    place(image, QRectF(200, 200, 200, 100));
    selectOnly({image});
    canvas->crop();
    ASSERT_NE(canvas->croppingImage(), nullptr);
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_EQ(canvas->croppingImage(), nullptr);
    EXPECT_EQ(undoName(), undoStrings("Crop"));
}
