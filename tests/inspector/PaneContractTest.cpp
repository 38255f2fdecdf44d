#include "InspectorTestSupport.h"

#include "controls/LBCircularSlider.h"
#include "inspector/HUDControls.h"

#include <QTest>

namespace {

// A pane filled for the test: a field and a dial changing the transparency of the
// selection; it counts its reloads and its commits.
struct TestPane
{
    int updates = 0;
    QList<bool> commitsByTimer;
    HUDTextField* field = nullptr;
    LBCircularSlider* dial = nullptr;
    std::function<void()> refresher; // the design window's refresh after each change
};

class PaneContractTest : public InspectorTest
{
protected:
    PaneContractTest()
    {
        original = *HUDWindowController::paneForTag(HUDWindowController::TransparencyTools);
        HUDWindowController::Pane row = original;
        row.factory = [this](HUDWindowController& controller) {
            auto* view = new QWidget;
            view->resize(230, 60);
            pane.field = new HUDTextField(view);
            pane.field->setGeometry(10, 10, 80, 18);
            controller.watchTextField(pane.field, [this, &controller] {
                pane.commitsByTimer << controller.textChangeInvokedByTimer();
                change(controller, pane.field->text().toDouble() / 100.0);
            });
            pane.dial = new LBCircularSlider(view);
            pane.dial->setGeometry(120, 5, 50, 50);
            pane.dial->setAction([this, &controller](LBCircularSlider* dial) {
                change(controller, dial->angle() / 360.0);
            });
            controller.groupDragOfControl(pane.dial);
            return view;
        };
        row.update = [this](HUDWindowController& controller) {
            if (controller.ignoreUpdates())
                return;
            ++pane.updates;
        };
        HUDWindowController::registerPane(row);
    }
    ~PaneContractTest() override { HUDWindowController::registerPane(original); }

    void change(HUDWindowController& controller, double alpha)
    {
        controller.applyToSelection(
            [this, alpha](LBGraphic& graphic) {
                graphic.setGraphicAlpha(alpha);
                palette->updateSelectedTools(); // a synchronous refresher
            },
            QStringLiteral("Change Transparency"));
    }

    HUDWindowController::Pane original;
    TestPane pane;
};

} // namespace

TEST_F(PaneContractTest, AnActionOverThreeGraphicsReloadsThePaneOnceAndNamesTheStep)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 20, 20));
    auto b = add(QStringLiteral("b"), QRectF(40, 10, 20, 20));
    auto c = add(QStringLiteral("c"), QRectF(70, 10, 20, 20));
    selectOnly({a, b, c});
    palette->toolsPopupAction(HUDWindowController::TransparencyTools);
    pane.updates = 0;
    change(*palette, 0.25);
    EXPECT_EQ(pane.updates, 1);
    for (const auto& g : {a, b, c})
        EXPECT_DOUBLE_EQ(g->graphicAlpha(), 0.25);
    EXPECT_EQ(undoName(), undoStrings("Change Transparency"));
}

TEST_F(PaneContractTest, TypingCommitsOnceAfterAPauseAndReturnAtOnce)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 20, 20));
    selectOnly({a});
    palette->toolsPopupAction(HUDWindowController::TransparencyTools);
    pane.field->clear();
    QTest::keyClicks(pane.field, QStringLiteral("40"));
    EXPECT_TRUE(pane.commitsByTimer.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(pane.commitsByTimer.size(), 1, 2000);
    EXPECT_TRUE(pane.commitsByTimer.first());
    EXPECT_DOUBLE_EQ(a->graphicAlpha(), 0.4);
    EXPECT_FALSE(palette->textChangeInvokedByTimer());
    QTest::qWait(600);
    EXPECT_EQ(pane.commitsByTimer.size(), 1);

    // Return: at once, not by the timer, and no timer left to fire.
    QTest::keyClicks(pane.field, QStringLiteral("5"));
    QTest::keyClick(pane.field, Qt::Key_Return);
    ASSERT_EQ(pane.commitsByTimer.size(), 2);
    EXPECT_FALSE(pane.commitsByTimer.last());
    QTest::qWait(600);
    EXPECT_EQ(pane.commitsByTimer.size(), 2);
}

TEST_F(PaneContractTest, APendingCommitLandsBeforeTheSelectionChanges)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 20, 20));
    auto b = add(QStringLiteral("b"), QRectF(40, 10, 20, 20));
    selectOnly({a});
    palette->toolsPopupAction(HUDWindowController::TransparencyTools);
    pane.field->clear();
    QTest::keyClicks(pane.field, QStringLiteral("30"));
    selectOnly({b}); // the canvas posts its will-change first
    EXPECT_DOUBLE_EQ(a->graphicAlpha(), 0.3);
    EXPECT_DOUBLE_EQ(b->graphicAlpha(), 1.0);
}

TEST_F(PaneContractTest, ADialDragIsOneUndoStep)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 20, 20));
    auto b = add(QStringLiteral("b"), QRectF(40, 10, 20, 20));
    selectOnly({a, b});
    palette->toolsPopupAction(HUDWindowController::TransparencyTools);
    palette->window()->show();
    closeStep();
    QTest::mousePress(pane.dial, Qt::LeftButton, {}, QPoint(38, 25));
    closeStep();
    QTest::mouseMove(pane.dial, QPoint(25, 12));
    closeStep();
    QTest::mouseMove(pane.dial, QPoint(12, 25));
    closeStep();
    QTest::mouseRelease(pane.dial, Qt::LeftButton, {}, QPoint(12, 25));
    closeStep();
    ASSERT_NE(a->graphicAlpha(), 1.0);
    undo()->undo();
    EXPECT_DOUBLE_EQ(a->graphicAlpha(), 1.0);
    EXPECT_DOUBLE_EQ(b->graphicAlpha(), 1.0);
}
