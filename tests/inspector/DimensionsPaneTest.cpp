#include "PaneTestSupport.h"

#include "controls/LBCompImageButton.h"
#include "platform/ui/Beep.h"
#include "shapes/LBLine.h"

#include <cmath>
#include <functional>

namespace {

using H = HUDWindowController;

class DimensionsPaneTest : public PaneTest
{
protected:
    DimensionsPaneTest() { setUnits(2); }
    ~DimensionsPaneTest() override { setUnits(2); }
    static void setUnits(qint64 unit)
    {
        platform::UserDefaults::standardUserDefaults().setInteger(unit,
                                                                  QStringLiteral("Units Type"));
    }
    static bool finite(const QRectF& r)
    {
        return std::isfinite(r.x()) && std::isfinite(r.y()) && std::isfinite(r.width())
               && std::isfinite(r.height());
    }
    std::shared_ptr<LBLine> line(const QPointF& from, const QPointF& to)
    {
        auto graphic = std::make_shared<LBLine>();
        place(graphic, QRectF(from, to).normalized());
        return graphic;
    }
};

} // namespace

TEST_F(DimensionsPaneTest, LengthsShowInTheDisplayUnit)
{
    struct Case
    {
        qint64 unit;
        double points;
        const char* text;
    };
    for (const Case& c :
         {Case{0, 90.0, "1.25 in"}, Case{0, 72.0, "1 in"}, Case{1, 56.6929134, "2 cm"},
          Case{1, 10.0, "0.35 cm"}, Case{2, 56.69, "57 pt"}, Case{2, -0.2, "0 pt"}}) {
        setUnits(c.unit);
        EXPECT_EQ(H::lengthText(c.points), QLatin1String(c.text)) << c.unit << " " << c.points;
    }
    setUnits(1);
    EXPECT_NEAR(H::convertValueToPixels(2.0), 56.6929134, 1e-6);
    setUnits(0);
    EXPECT_DOUBLE_EQ(H::convertValueToPixels(1.5), 108.0);
}

TEST_F(DimensionsPaneTest, ATypedWidthInCentimetresResizesAndUndoes)
{
    setUnits(1);
    auto a = add(QStringLiteral("a"), QRectF(100, 100, 80, 60));
    showPane({a}, H::SizeTools);
    EXPECT_EQ(text("_widthField"), H::lengthText(80.0));
    type("_widthField", QStringLiteral("2"));
    EXPECT_NEAR(a->bounds().width(), 56.69, 0.01);
    EXPECT_EQ(a->bounds().height(), 60.0);
    EXPECT_EQ(text("_widthField"), QStringLiteral("2 cm"));
    undo()->undo();
    EXPECT_EQ(a->bounds(), QRectF(100, 100, 80, 60));

    // Nonsense and zero are refused.
    type("_widthField", QStringLiteral("abc"));
    type("_widthField", QStringLiteral("0"));
    EXPECT_EQ(a->bounds().width(), 80.0);
}

TEST_F(DimensionsPaneTest, PositionIsOnThePageAndSteppersMoveByPoints)
{
    auto a = add(QStringLiteral("a"), QRectF(100, 100, 80, 60));
    showPane({a}, H::SizeTools);
    EXPECT_EQ(text("_xLocField"), QStringLiteral("100 pt"));
    type("_xLocField", QStringLiteral("10"));
    EXPECT_EQ(a->bounds(), QRectF(10, 100, 80, 60));
    // No number: refused with a beep and shown again, not a move to the page's edge.
    const quint64 beeps = platform::beepCount();
    type("_xLocField", QStringLiteral("abc"));
    EXPECT_EQ(platform::beepCount(), beeps + 1);
    EXPECT_EQ(a->bounds(), QRectF(10, 100, 80, 60));
    EXPECT_EQ(text("_xLocField"), QStringLiteral("10 pt"));
    step("_yLocStepper", true);
    EXPECT_EQ(a->bounds(), QRectF(10, 101, 80, 60));
    EXPECT_EQ(text("_yLocField"), QStringLiteral("101 pt"));
}

// A fast typist: values typed one field after the other, with no pause and no Return,
// each arrive: leaving a field or typing in the next applies what was typed, rather than
// the next field's edit taking the place of the one still waiting for its timer.
TEST_F(DimensionsPaneTest, ValuesTypedQuicklyInSeveralFieldsAllArrive)
{
    auto a = add(QStringLiteral("a"), QRectF(100, 100, 80, 60));
    showPane({a}, H::SizeTools);
    QWidget* window = palette->currentTools()->window();
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    auto typeIn = [&](const char* name, const char* keys) {
        auto* field = control<QLineEdit>(name);
        field->setFocus(Qt::TabFocusReason);
        field->selectAll();
        QTest::keyClicks(field, QString::fromLatin1(keys));
    };
    typeIn("_xLocField", "10");
    typeIn("_yLocField", "20");
    typeIn("_widthField", "30");
    EXPECT_EQ(a->bounds(), QRectF(10, 20, 80, 60));
    // Tab out of the last one.
    QTest::keyClick(control<QLineEdit>("_widthField"), Qt::Key_Tab);
    EXPECT_EQ(a->bounds(), QRectF(10, 20, 30, 60));
    EXPECT_EQ(text("_xLocField"), QStringLiteral("10 pt"));
    EXPECT_EQ(text("_widthField"), QStringLiteral("30 pt"));
}

TEST_F(DimensionsPaneTest, ThreeLinesShowLengthAndTypingSetsOnlyTheirLengths)
{
    auto l1 = line({10, 10}, {110, 10});
    auto l2 = line({10, 40}, {10, 140});
    auto l3 = line({200, 40}, {260, 120});
    showPane({l1, l2, l3}, H::SizeTools);
    EXPECT_EQ(text("_widthLabel"),
              platform::LocalizedString(QStringLiteral("Length"), QStringLiteral("HUD Tools")));
    EXPECT_TRUE(control<QWidget>("_heightControls")->isHidden());
    EXPECT_EQ(text("_widthField"), QString()); // 100, 100 and 100: equal
    type("_widthField", QStringLiteral("50"));
    for (const auto& l : {l1, l2, l3})
        EXPECT_NEAR(l->lineLength(), 50.0, 1e-9);
    EXPECT_EQ(l1->bounds().topLeft(), QPointF(10, 10));
}

TEST_F(DimensionsPaneTest, MixedValuesShowEmptyAndTheMixedCheckBoxTurnsOn)
{
    auto a = add(QStringLiteral("a"), QRectF(100, 100, 80, 60));
    auto b = add(QStringLiteral("b"), QRectF(100, 200, 40, 60));
    a->setConstrainProportions(true);
    closeStep();
    showPane({a, b}, H::SizeTools);
    EXPECT_EQ(text("_xLocField"), QStringLiteral("100 pt"));
    EXPECT_EQ(text("_yLocField"), QString());
    EXPECT_EQ(text("_widthField"), QString());
    EXPECT_EQ(text("_heightField"), QStringLiteral("60 pt"));
    auto* box = control<HUDCheckbox>("_constrainProportionsCheckbox");
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    click("_constrainProportionsCheckbox");
    EXPECT_TRUE(a->constrainProportions());
    EXPECT_TRUE(b->constrainProportions());
    EXPECT_EQ(box->checkState(), Qt::Checked);
    EXPECT_TRUE(undoNamed("Constrain Proportions"));
    EXPECT_FALSE(b->constrainProportions());

    // A typed height keeps the proportions of the graphic that keeps them.
    ASSERT_TRUE(a->constrainProportions());
    type("_heightField", QStringLiteral("30"));
    EXPECT_EQ(a->bounds().size(), QSizeF(40, 30));
    EXPECT_EQ(b->bounds().size(), QSizeF(40, 30));
}

TEST_F(DimensionsPaneTest, AFlatGroupResizedAndATurnedGraphicMovedKeepFiniteSizedBounds)
{
    // Two horizontal lines grouped: the group has no height.
    auto l1 = line({10, 50}, {110, 50});
    auto l2 = line({10, 50}, {60, 50});
    selectOnly({l1, l2});
    canvas->group(nullptr);
    showPane({l1, l2}, H::SizeTools);
    auto* box = control<HUDCheckbox>("_constrainProportionsCheckbox");
    box->setCheckState(Qt::Checked);
    type("_widthField", QStringLiteral("200"));
    type("_heightField", QStringLiteral("20"));
    for (const auto& l : {l1, l2}) {
        EXPECT_TRUE(finite(l->bounds())) << l->bounds().width();
        EXPECT_TRUE(finite(l->groupBounds()));
    }
    EXPECT_NEAR(l1->bounds().width(), 200.0, 1e-9);
    EXPECT_NEAR(l2->bounds().width(), 100.0, 1e-9);

    // Turned by 30 degrees: a typed x moves it and keeps its size.
    auto a = add(QStringLiteral("a"), QRectF(300, 300, 80, 40));
    a->setRotation(30.0);
    showPane({a}, H::SizeTools);
    type("_xLocField", QStringLiteral("250"));
    EXPECT_EQ(a->bounds().size(), QSizeF(80, 40));
    EXPECT_NEAR(a->rotatedBounds().x(), 250.0, 1e-9);
    EXPECT_EQ(a->bounds().y(), 300.0);
}

TEST_F(DimensionsPaneTest, ImagesAdjustAndResetTheirPerspective)
{
    auto image = place(std::make_shared<LBImage>());
    showPane({image}, H::SizeTools);
    EXPECT_DOUBLE_EQ(windowHeight(), 180.0);
    auto* adjust = control<LBCompImageButton>("_adjustPerspectiveButton");
    ASSERT_TRUE(adjust->isVisibleTo(palette->currentTools()));
    adjust->click();
    EXPECT_TRUE(palette->adjustingPerspective());
    ASSERT_GE(image->indexOfEffect(32), 0);
    EXPECT_EQ(image->effectLocationKnobType(), 2);
    EXPECT_EQ(image->effectIndexForEffectKnob(), image->indexOfEffect(32));

    // Another selection stops the adjustment; the effect stays.
    auto other = add(QStringLiteral("b"), QRectF(300, 300, 20, 20));
    selectOnly({other});
    EXPECT_FALSE(palette->adjustingPerspective());
    EXPECT_EQ(image->effectLocationKnobType(), 0);
    EXPECT_DOUBLE_EQ(windowHeight(), 136.0);

    showPane({image}, H::SizeTools);
    control<LBCompImageButton>("_resetPerspectiveButton")->click();
    EXPECT_LT(image->indexOfEffect(32), 0);
    EXPECT_EQ(image->effectLocationKnobType(), 0);
}

// --- Rotation ---

TEST_F(DimensionsPaneTest, TheDialSnapsToQuarterTurns)
{
    struct Case
    {
        double in, out;
    };
    for (const Case& c : {Case{97, 90}, Case{45, 45}, Case{351, 0}, Case{9, 0}, Case{10, 10},
                          Case{175, 180}, Case{265, 270}, Case{80, 80}, Case{100, 100}})
        EXPECT_EQ(H::snappedRotationAngle(c.in), c.out) << c.in;

    auto a = add(QStringLiteral("a"), QRectF(100, 100, 80, 60));
    showPane({a}, H::RotateFlipTools);
    auto* dial = control<LBCircularSlider>("_rotateSlider");
    dial->setAngle(97.4, 1.0);
    dial->sendAction();
    EXPECT_EQ(a->rotation(), 90.0);
    EXPECT_NEAR(dial->angle(), 90.0, 1e-9);
    EXPECT_EQ(control<HUDComboBox>("_rotateComboBox")->currentText(), QStringLiteral("90º"));
    EXPECT_TRUE(undoNamed("Set Rotation"));
    EXPECT_EQ(a->rotation(), 0.0);
}

TEST_F(DimensionsPaneTest, TheBoxRefusesAnglesBeyondAFullTurn)
{
    auto a = add(QStringLiteral("a"), QRectF(100, 100, 80, 60));
    showPane({a}, H::RotateFlipTools);
    type("_rotateComboBox", QStringLiteral("-90"));
    EXPECT_EQ(a->rotation(), -90.0);
    EXPECT_EQ(control<HUDComboBox>("_rotateComboBox")->currentText(), QStringLiteral("-90º"));
    // Beyond a turn, or no number at all: refused with a beep, the angle kept and shown
    // again (a text that is no number is not a turn to 0).
    for (const char* typed : {"400", "abc", "-"}) {
        const quint64 beeps = platform::beepCount();
        type("_rotateComboBox", QString::fromUtf8(typed));
        EXPECT_EQ(platform::beepCount(), beeps + 1) << typed;
        EXPECT_EQ(a->rotation(), -90.0) << typed;
        EXPECT_EQ(control<HUDComboBox>("_rotateComboBox")->currentText(), QStringLiteral("-90º"))
            << typed;
    }
}

TEST_F(DimensionsPaneTest, TwoGraphicsTurnTogetherAndComeBackUngroupedInTheirOrder)
{
    auto a = add(QStringLiteral("a"), QRectF(100, 100, 40, 40));
    auto middle = add(QStringLiteral("m"), QRectF(400, 400, 10, 10));
    auto b = add(QStringLiteral("b"), QRectF(200, 100, 40, 40));
    const QStringList order = layer();
    showPane({a, b}, H::RotateFlipTools);
    EXPECT_EQ(control<HUDComboBox>("_rotateComboBox")->currentText(), QString());
    palette->window()->show();
    auto* dial = control<LBCircularSlider>("_rotateSlider");
    closeStep();
    const QPoint center = dial->dialCenter().toPoint();
    const int r = int(dial->dialRadius());
    QTest::mousePress(dial, Qt::LeftButton, {}, center + QPoint(0, -r));
    QTest::mouseMove(dial, center + QPoint(r, 0));
    EXPECT_TRUE(a->isGrouped()); // while the dial is held
    QTest::mouseMove(dial, center + QPoint(0, r));
    QTest::mouseRelease(dial, Qt::LeftButton, {}, center + QPoint(0, r));
    EXPECT_FALSE(a->isGrouped());
    EXPECT_FALSE(b->isGrouped());
    EXPECT_EQ(a->rotation(), 180.0);
    EXPECT_EQ(b->rotation(), 180.0);
    // About their common centre: the two swapped places.
    EXPECT_NEAR(a->bounds().x(), 200.0, 1e-6);
    EXPECT_NEAR(b->bounds().x(), 100.0, 1e-6);
    EXPECT_EQ(layer(), order);
    EXPECT_FALSE(canvas->knobsHidden());
    EXPECT_EQ(undoName(), undoStrings("Set Rotation"));
    undo()->undo();
    EXPECT_EQ(a->rotation(), 0.0);
    EXPECT_EQ(a->bounds(), QRectF(100, 100, 40, 40));
    EXPECT_EQ(b->bounds(), QRectF(200, 100, 40, 40));
    EXPECT_EQ(layer(), order);
}

TEST_F(DimensionsPaneTest, FlipsMirrorOneGraphicOrSeveralAsOne)
{
    auto a = add(QStringLiteral("a"), QRectF(100, 100, 40, 40));
    auto b = add(QStringLiteral("b"), QRectF(200, 100, 20, 40));
    showPane({a}, H::RotateFlipTools);
    control<LBCompImageButton>("_flipHorizontalButton")->click();
    EXPECT_TRUE(a->flippedHorizontally());
    undo()->undo();
    EXPECT_FALSE(a->flippedHorizontally());

    showPane({a, b}, H::RotateFlipTools);
    control<LBCompImageButton>("_flipHorizontalButton")->click();
    EXPECT_FALSE(a->isGrouped());
    EXPECT_EQ(a->bounds().x(), 180.0);
    EXPECT_EQ(b->bounds().x(), 100.0);
    EXPECT_NE(undoName(), undoStrings("Ungroup"));
}

TEST_F(DimensionsPaneTest, AGroupShowsItsBoundsAsOneItem)
{
    auto a = add(QStringLiteral("a"), QRectF(100, 100, 80, 60));
    auto b = add(QStringLiteral("b"), QRectF(220, 140, 40, 90));
    selectOnly({b, a});
    canvas->group(nullptr);
    // Just grouped, then clicked on either member, then all selected: the group is one item.
    const std::function<void()> selections[] = {
        [] {},
        [&] { CanvasTest::click(QPointF(240, 200)); },
        [&] { CanvasTest::click(QPointF(120, 120)); },
        [&] { canvas->selectAll(nullptr); },
    };
    for (const auto& select : selections) {
        select();
        palette->updateFromGraphicView(canvas);
        palette->toolsPopupAction(H::SizeTools);
        const QRectF group = a->groupBounds();
        const QPointF page = canvas->visiblePageRect().topLeft();
        EXPECT_EQ(text("_xLocField"), H::lengthText(group.x() - page.x()));
        EXPECT_EQ(text("_yLocField"), H::lengthText(group.y() - page.y()));
        EXPECT_EQ(text("_widthField"), H::lengthText(160.0));
        EXPECT_EQ(text("_heightField"), H::lengthText(130.0));
    }
}
