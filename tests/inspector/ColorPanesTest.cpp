#include "PaneTestSupport.h"

#include "platform/core/NotificationCenter.h"
#include "platform/core/TextForms.h"
#include "shapes/LBLine.h"

namespace {

using H = HUDWindowController;

class ColorPanesTest : public PaneTest
{
protected:
    std::shared_ptr<LBLine> line(const QRectF& bounds, double width = 1.0)
    {
        auto graphic = place(std::make_shared<LBLine>(), bounds);
        undo()->disableUndoRegistration();
        graphic->setStrokeLineWidth(width);
        undo()->enableUndoRegistration();
        return graphic;
    }
    // Changes made before the pane acts, outside any undo step.
    template <typename F>
    void setUp(F&& change)
    {
        undo()->disableUndoRegistration();
        change();
        undo()->enableUndoRegistration();
    }
    QString hudTools(const char* key) const
    {
        return platform::LocalizedString(QLatin1String(key), QStringLiteral("HUD Tools"));
    }
    QString selectedTitle(const char* popUp) const
    {
        QAction* item = control<HUDPopUpButton>(popUp)->selectedItem();
        return item ? item->text() : QString();
    }
};

} // namespace

// --- Pure rules ---

TEST_F(ColorPanesTest, FillKindsComeFromFillAndMaskTypes)
{
    struct Case
    {
        qint64 fill, mask, kind;
    };
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 50, 50));
    for (const Case& c : {Case{0, 0, 0}, Case{1, 0, 1}, Case{0, 1, 2}, Case{1, 2, 2}, Case{2, 0, 3},
                          Case{3, 1, 4}, Case{4, 0, 0}}) {
        setUp([&] {
            a->setFillType(c.fill);
            a->setColorMaskType(c.mask, -1, -1, -1, -1, -1);
        });
        EXPECT_EQ(H::fillKindForGraphic(*a), c.kind) << c.fill << " " << c.mask;
    }
}

TEST_F(ColorPanesTest, TheElevenStrokeStylesRoundTrip)
{
    for (qint64 style = 0; style <= 10; ++style) {
        LBGraphic::DashPattern pattern{};
        qint64 count = -1;
        H::valuesForStrokeStyle(style, &pattern, &count);
        EXPECT_EQ(H::strokeStyleForPattern(pattern, count), style);
    }
    EXPECT_EQ(H::strokeStyleForPattern({5, 2, 1, 2}, 4), 9);
    EXPECT_EQ(H::strokeStyleForPattern({5, 2, 1, 2}, 2), 5);
    EXPECT_EQ(H::strokeStyleForPattern({5, 3, 0, 0}, 2), 0);
    // Outside 0-10 a style is solid, never unset lengths.
    for (qint64 style : {-1, 11, 99}) {
        LBGraphic::DashPattern pattern{7, 7, 7, 7};
        qint64 count = -1;
        H::valuesForStrokeStyle(style, &pattern, &count);
        EXPECT_EQ(count, 0) << style;
    }
}

TEST_F(ColorPanesTest, StrokeWidthSteps)
{
    struct Case
    {
        double width;
        bool up;
        double result;
    };
    for (const Case& c : {Case{1, false, 0.75}, Case{0.25, false, 0}, Case{0.5, true, 0.75},
                          Case{1, true, 2}, Case{3, false, 2}, Case{0.75, true, 1}})
        EXPECT_DOUBLE_EQ(H::steppedStrokeWidth(c.width, c.up), c.result)
            << c.width << (c.up ? " up" : " down");
}

TEST_F(ColorPanesTest, AngleTexts)
{
    struct Case
    {
        double angle;
        const char* text;
    };
    for (const Case& c : {Case{90, "90º"}, Case{360, "0º"}, Case{450, "90º"}, Case{12.5, "12.5º"},
                          Case{0, "0º"}, Case{-5, "0º"}, Case{359.5, "0º"}, Case{358.5, "358.5º"}})
        EXPECT_EQ(H::angleText(c.angle), QString::fromUtf8(c.text)) << c.angle;
    EXPECT_TRUE(H::color(QColor(255, 0, 0), QColor::fromRgbF(1, 0, 0)));
    EXPECT_FALSE(H::color(QColor(255, 0, 0), QColor()));
}

// --- The shape pane ---

TEST_F(ColorPanesTest, ASoftColourShowsItsLayoutAndItsDialTurnsTheMask)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 50, 50));
    setUp([&] { a->setColorMaskType(2, 80, 20, 90, 5, 270); });
    showPane({a}, H::ShapeColorTools);
    EXPECT_EQ(selectedTitle("_shapeFillStylePopup"), hudTools("Soft Color"));
    EXPECT_TRUE(control<QAbstractButton>("_softFillTypeMatrixColumn1")->isChecked());
    EXPECT_TRUE(control<QWidget>("_softFillControlsView")->isVisibleTo(palette->currentTools()));
    EXPECT_DOUBLE_EQ(windowHeight(), 220.0);
    EXPECT_EQ(text("_softFillSizeField"), QStringLiteral("80"));
    auto* dial = control<LBCircularSlider>("_softFillAngleSlider");
    EXPECT_NEAR(dial->angle(), 180.0, 1e-9);
    EXPECT_EQ(text("_softFillAngleField"), QStringLiteral("180º"));

    // The dial at 90 stores 360, which shows as 90.
    dial->setAngle(90.0, 1.0);
    dial->sendAction();
    qint64 angle = 0;
    a->colorMaskType(nullptr, nullptr, nullptr, nullptr, nullptr, &angle);
    EXPECT_EQ(angle, 360);
    EXPECT_EQ(text("_softFillAngleField"), QStringLiteral("90º"));
    palette->updateSelectedTools();
    EXPECT_NEAR(dial->angle(), 90.0, 1e-9);
    EXPECT_EQ(text("_softFillAngleField"), QStringLiteral("90º"));
    EXPECT_TRUE(undoNamed("Soft Fill Angle"));
    a->colorMaskType(nullptr, nullptr, nullptr, nullptr, nullptr, &angle);
    EXPECT_EQ(angle, 270);

    // Soft values through field, slider and stepper; the others are kept.
    type("_softFillSoftnessField", QStringLiteral("33"));
    control<HUDSlider>("_softFillOpacitySlider")->setValue(40);
    step("_softFillOffsetStepper", true);
    qint64 type = 0, size = 0, softness = 0, opacity = 0, offset = 0;
    a->colorMaskType(&type, &size, &softness, &opacity, &offset, &angle);
    EXPECT_EQ(std::vector<qint64>({type, size, softness, opacity, offset, angle}),
              std::vector<qint64>({2, 80, 33, 40, 6, 270}));
    EXPECT_TRUE(undoNamed("Soft Fill Offset"));

    // Back to a solid fill: the plain layout.
    choose("_shapeFillStylePopup", 2);
    EXPECT_EQ(a->fillType(), 1);
    EXPECT_EQ(a->colorMaskType(), 0);
    EXPECT_DOUBLE_EQ(windowHeight(), 89.0);
    EXPECT_TRUE(undoNamed("Fill Type"));
    EXPECT_EQ(a->colorMaskType(), 2);
}

TEST_F(ColorPanesTest, StrokeStylesAndWidthsGoThroughThePopUpAndTheStepper)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 50, 50));
    auto b = add(QStringLiteral("b"), QRectF(80, 10, 50, 50));
    setUp([&] {
        for (const auto& g : {a, b}) {
            g->setDrawsStroke(true);
            g->setLineDash({5, 2, 1, 2}, 4);
        }
    });
    showPane({a, b}, H::ShapeColorTools);
    EXPECT_EQ(selectedIndex("_shapeStrokeStylePopup"), 10);
    EXPECT_EQ(control<HUDPopUpButton>("_shapeStrokeStylePopup")->selectedItem()->iconText(),
              QStringLiteral("StrokeStyle10"));
    choose("_shapeStrokeStylePopup", 3); // style 2: 1, 2
    for (const auto& g : {a, b}) {
        EXPECT_TRUE(g->drawsStroke());
        EXPECT_EQ(g->lineDashCount(), 2);
        EXPECT_EQ(g->getLineDashPattern()[1], 2.0);
    }
    choose("_shapeStrokeStylePopup", 0);
    EXPECT_FALSE(a->drawsStroke());
    EXPECT_TRUE(undoNamed("Stroke Style"));
    EXPECT_TRUE(a->drawsStroke());

    EXPECT_EQ(text("_shapeStrokeSizeField"), QStringLiteral("1 pt"));
    step("_shapeStrokeSizeStepper", false);
    EXPECT_DOUBLE_EQ(a->strokeLineWidth(), 0.75);
    EXPECT_DOUBLE_EQ(b->strokeLineWidth(), 0.75);
    EXPECT_EQ(text("_shapeStrokeSizeField"), QStringLiteral("0.75 pt"));
    EXPECT_TRUE(undoNamed("Set Stroke Width"));
    EXPECT_DOUBLE_EQ(a->strokeLineWidth(), 1.0);

    // Different widths read as mixed; a typed width sets both.
    setUp([&] { b->setStrokeLineWidth(3.0); });
    palette->updateSelectedTools();
    EXPECT_EQ(text("_shapeStrokeSizeField"), QString());
    type("_shapeStrokeSizeField", QStringLiteral("2.5"));
    EXPECT_DOUBLE_EQ(a->strokeLineWidth(), 2.5);
    EXPECT_DOUBLE_EQ(b->strokeLineWidth(), 2.5);
    type("_shapeStrokeSizeField", QStringLiteral("1000"));
    EXPECT_DOUBLE_EQ(a->strokeLineWidth(), 2.5);
}

TEST_F(ColorPanesTest, MixedFillKindsSelectNothing)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 50, 50));
    auto b = add(QStringLiteral("b"), QRectF(80, 10, 50, 50));
    setUp([&] { b->setFillType(0); });
    showPane({a, b}, H::ShapeColorTools);
    EXPECT_EQ(selectedIndex("_shapeFillStylePopup"), -1);
    // None, separator, Solid, Soft, separator, Linear, Radial.
    QStringList titles;
    for (QAction* item : control<HUDPopUpButton>("_shapeFillStylePopup")->itemMenu()->actions())
        titles << (item->isSeparator() ? QStringLiteral("-") : item->text());
    EXPECT_EQ(titles,
              QStringList({hudTools("None"), "-", hudTools("Solid Color"), hudTools("Soft Color"),
                           "-", hudTools("Linear Gradient"), hudTools("Radial Gradient")}));
    choose("_shapeFillStylePopup", 0);
    EXPECT_EQ(a->fillType(), 0);
    EXPECT_EQ(selectedTitle("_shapeFillStylePopup"), hudTools("None"));
}

TEST_F(ColorPanesTest, AHalfTransparentFillRecolouredTwiceKeepsItsAlpha)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 50, 50));
    setUp([&] {
        a->setFillColor(QColor(255, 0, 0, 200));
        a->setGraphicAlpha(0.5);
    });
    showPane({a}, H::ShapeColorTools);
    auto* well = control<platform::ColorWell>("_shapeFillColor");
    EXPECT_EQ(well->color(), QColor(255, 0, 0, 200));
    for (const QColor& hue : {QColor(0, 0, 255), QColor(0, 255, 0)}) {
        QColor picked = hue;
        picked.setAlpha(well->color().alpha()); // the panel keeps the well's opacity
        pick("_shapeFillColor", picked);
        closeStep();
    }
    EXPECT_EQ(a->storedFillColor(), QColor(0, 255, 0, 200));
    EXPECT_TRUE(undoNamed("Set Fill Color"));
    EXPECT_EQ(a->storedFillColor(), QColor(0, 0, 255, 200));
}

TEST_F(ColorPanesTest, AFillColourOnThreeShapesReloadsThePaneOnceAllChanged)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 20, 20));
    auto b = add(QStringLiteral("b"), QRectF(40, 10, 20, 20));
    auto c = add(QStringLiteral("c"), QRectF(70, 10, 20, 20));
    showPane({a, b, c}, H::ShapeColorTools);
    // The design window refreshes the palette after every change of a graphic.
    int staleReloads = 0;
    int reloads = 0;
    const QColor blue(0, 0, 255);
    const platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        LBGraphicDidChange, nullptr, [&](const platform::Notification&) {
            if (palette->ignoreUpdates())
                return;
            ++reloads;
            staleReloads += a->storedFillColor() != blue || c->storedFillColor() != blue;
            palette->updateSelectedTools();
        });
    pick("_shapeFillColor", blue);
    EXPECT_EQ(staleReloads, 0);
    EXPECT_GE(reloads, 1);
    EXPECT_TRUE(undoNamed("Set Fill Color"));
    for (const auto& g : {a, b, c})
        EXPECT_EQ(g->storedFillColor(), QColor(Qt::white));
}

TEST_F(ColorPanesTest, TwoImagesShowTheTintAndItsSliderAddsAndRemovesTheEffect)
{
    auto i1 = place(std::make_shared<LBImage>(), QRectF(10, 10, 50, 50));
    auto i2 = place(std::make_shared<LBImage>(), QRectF(80, 10, 50, 50));
    showPane({i1, i2}, H::ShapeColorTools);
    EXPECT_TRUE(control<QWidget>("_imageTintControlsView")->isVisibleTo(palette->currentTools()));
    EXPECT_FALSE(control<QWidget>("_shapeFillControlsView")->isVisibleTo(palette->currentTools()));
    EXPECT_DOUBLE_EQ(windowHeight(), 89.0);
    pick("_imageTintColor", QColor(0, 128, 0));
    auto* slider = control<HUDSlider>("_imageTintSlider");
    slider->setValue(40);
    for (const auto& image : {i1, i2}) {
        const qint64 index = image->indexOfEffect(3);
        ASSERT_GE(index, 0);
        const QVariantMap entry = image->effectDictionaryAtIndex(index);
        EXPECT_EQ(platform::integerValue(entry.value(QStringLiteral("modifier0"))), 40);
    }
    EXPECT_EQ(text("_imageTintField"), QStringLiteral("40"));
    slider->setValue(55);
    EXPECT_EQ(
        platform::integerValue(
            i2->effectDictionaryAtIndex(i2->indexOfEffect(3)).value(QStringLiteral("modifier0"))),
        55);
    slider->setValue(0);
    EXPECT_LT(i1->indexOfEffect(3), 0);
    EXPECT_LT(i2->indexOfEffect(3), 0);
    EXPECT_EQ(text("_imageTintField"), QStringLiteral("0"));
}

// --- The line pane ---

TEST_F(ColorPanesTest, LinesShowMixedWidthsStylesAndArrows)
{
    auto l1 = line(QRectF(10, 10, 100, 0), 1.0);
    auto l2 = line(QRectF(10, 40, 100, 0), 2.0);
    setUp([&] {
        for (const auto& l : {l1, l2})
            l->setLineDash({5, 5, 0, 0}, 2);
        l1->setArrow1Type(1);
        l2->setArrow1Type(4);
        l1->setArrow2Type(2);
        l2->setArrow2Type(2);
        l1->setArrow2Size(1.5);
        l2->setArrow2Size(1.5);
        l2->setArrow1Size(2.0);
    });
    showPane({l1, l2}, H::LineColorTools);
    EXPECT_EQ(text("_lineStrokeSizeField"), QString());
    EXPECT_EQ(selectedIndex("_lineStrokeStylePopup"), 6);
    EXPECT_EQ(selectedIndex("_endpoint1Popup"), -1);
    EXPECT_EQ(selectedIndex("_endpoint2Popup"), 2);
    EXPECT_EQ(control<HUDPopUpButton>("_endpoint2Popup")->selectedItem()->iconText(),
              QStringLiteral("ArrowRight2"));
    EXPECT_EQ(text("_endpoint1SizeField"), QStringLiteral("-"));
    EXPECT_EQ(text("_endpoint2SizeField"), QStringLiteral("6"));

    // Equal widths, different styles: index 0.
    setUp([&] {
        l2->setStrokeLineWidth(1.0);
        l2->setLineDash({1, 1, 0, 0}, 2);
    });
    palette->updateSelectedTools();
    EXPECT_EQ(text("_lineStrokeSizeField"), QStringLiteral("1 pt"));
    EXPECT_EQ(selectedIndex("_lineStrokeStylePopup"), 0);

    choose("_endpoint1Popup", 9);
    EXPECT_EQ(l1->arrow1Type(), 9);
    EXPECT_EQ(l2->arrow1Type(), 9);
    EXPECT_TRUE(undoNamed("Set Arrow Type"));
    EXPECT_EQ(l2->arrow1Type(), 4);

    const bool draws = l2->drawsStroke();
    choose("_lineStrokeStylePopup", 8);
    EXPECT_EQ(l1->getLineDashPattern()[0], 9.0);
    EXPECT_EQ(l2->drawsStroke(), draws);
    EXPECT_TRUE(undoNamed("Line Style"));

    step("_endpoint2Stepper", true);
    EXPECT_DOUBLE_EQ(l1->arrow2Size(), 1.75);
    EXPECT_EQ(text("_endpoint2SizeField"), QStringLiteral("7"));
    EXPECT_TRUE(undoNamed("Set Arrow Size"));

    step("_lineStrokeSizeStepper", true);
    EXPECT_DOUBLE_EQ(l1->strokeLineWidth(), 2.0);
    EXPECT_DOUBLE_EQ(l2->strokeLineWidth(), 2.0);
    closeStep();
    pick("_lineStrokeColor", QColor(0, 0, 255));
    EXPECT_EQ(l2->storedStrokeColor(), QColor(0, 0, 255));
    EXPECT_TRUE(undoNamed("Set Stroke Color"));
    EXPECT_TRUE(undoNamed("Set Stroke Width"));
    EXPECT_DOUBLE_EQ(l2->strokeLineWidth(), 1.0);
}

TEST_F(ColorPanesTest, AGradientShowsTheGradientControlsWhichHandPlainKindsBack)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 50, 50));
    showPane({a}, H::ShapeColorTools);
    choose("_shapeFillStylePopup", 5); // Linear Gradient
    EXPECT_EQ(a->fillType(), 2);
    EXPECT_DOUBLE_EQ(windowHeight(), 157.0);
    auto* gradient = control<QWidget>("_gradientControlsView");
    EXPECT_TRUE(gradient->isVisibleTo(palette->currentTools()));
    EXPECT_FALSE(control<QWidget>("_shapeFillControlsView")->isVisibleTo(palette->currentTools()));
    EXPECT_TRUE(undoNamed("Fill Type"));
    EXPECT_EQ(a->fillType(), 1);

    setUp([&] { a->setFillType(3); });
    palette->updateSelectedTools();
    auto* typePopUp = gradient->findChild<HUDPopUpButton*>();
    ASSERT_NE(typePopUp, nullptr);
    EXPECT_EQ(typePopUp->selectedItem()->text(), hudTools("Radial Gradient"));
    for (QAction* item : typePopUp->itemMenu()->actions())
        if (item->text() == hudTools("Solid Color"))
            item->trigger();
    EXPECT_EQ(a->fillType(), 1);
    EXPECT_DOUBLE_EQ(windowHeight(), 89.0);
    EXPECT_TRUE(undoNamed("Fill Type"));
    EXPECT_EQ(a->fillType(), 3);
}
