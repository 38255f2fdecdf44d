#include "PaneTestSupport.h"

#include "platform/drawing/Image.h"

namespace {

using H = HUDWindowController;

class TransparencyPanesTest : public PaneTest
{
protected:
    template <typename F>
    void setUp(F&& change)
    {
        undo()->disableUndoRegistration();
        change();
        undo()->enableUndoRegistration();
    }
    static double shadowAlpha(const LBGraphic& g)
    {
        double alpha = 0.0;
        g.shadowInfo(nullptr, nullptr, nullptr, &alpha, nullptr);
        return alpha;
    }
};

} // namespace

TEST_F(TransparencyPanesTest, ThePercentRoundsAndTheSliderSetsTheAlpha)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 50, 50));
    struct Case
    {
        double alpha;
        const char* text;
    };
    for (const Case& c : {Case{0.75, "25%"}, Case{0.80, "20%"}, Case{0.90, "10%"},
                          Case{0.34, "66%"}, Case{1.0, "0%"}}) {
        setUp([&] { a->setGraphicAlpha(c.alpha); });
        showPane({a}, H::TransparencyTools);
        palette->updateSelectedTools();
        EXPECT_EQ(text("_transparencyField"), QLatin1String(c.text)) << c.alpha;
    }
    control<HUDSlider>("_transparencySlider")->setValue(40);
    EXPECT_DOUBLE_EQ(a->graphicAlpha(), 0.6);
    EXPECT_EQ(text("_transparencyField"), QStringLiteral("40%"));
    EXPECT_TRUE(undoNamed("Change Transparency"));
    EXPECT_DOUBLE_EQ(a->graphicAlpha(), 1.0);

    // Two alphas: mixed shows 0; the slider gives both the same.
    auto b = add(QStringLiteral("b"), QRectF(80, 10, 50, 50));
    setUp([&] { b->setGraphicAlpha(0.5); });
    showPane({a, b}, H::TransparencyTools);
    EXPECT_EQ(control<HUDSlider>("_transparencySlider")->value(), 0);
    control<HUDSlider>("_transparencySlider")->setValue(25);
    EXPECT_DOUBLE_EQ(a->graphicAlpha(), 0.75);
    EXPECT_DOUBLE_EQ(b->graphicAlpha(), 0.75);
}

TEST_F(TransparencyPanesTest, AnImageCropShowsItsPictureTransparency)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 50, 50));
    setUp([&] {
        QImage picture(8, 8, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::blue);
        a->setImage(platform::Image::fromBitmap(picture, QSizeF(8, 8)), LBGraphic::FillImageType);
        a->setFillImageTransparency(0.5);
    });
    ASSERT_TRUE(a->isImageCrop());
    showPane({a}, H::TransparencyTools);
    EXPECT_EQ(text("_transparencyField"), QStringLiteral("50%"));
    control<HUDSlider>("_transparencySlider")->setValue(30);
    EXPECT_DOUBLE_EQ(a->fillImageTransparency(), 0.7);
    EXPECT_DOUBLE_EQ(a->graphicAlpha(), 0.7);
}

TEST_F(TransparencyPanesTest, ShadowValuesRoundTrip)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 50, 50));
    setUp([&] { a->setShadowInfo(1, 45, 3, 90, 0.5, QColor(Qt::black)); });
    showPane({a}, H::ShadowTools);
    EXPECT_EQ(text("_shadowOffsetField"), QStringLiteral("45 pt"));
    EXPECT_EQ(control<HUDSlider>("_shadowOffsetSlider")->value(), 30);
    EXPECT_EQ(control<HUDCheckbox>("_shadowCheckbox")->checkState(), Qt::Checked);
    EXPECT_EQ(text("_shadowAngleField"), QStringLiteral("0º")); // 450 - 90 = 360

    for (int v : {42, 70, 71, 0, 100}) {
        type("_shadowTransparencyField", QString::number(v));
        EXPECT_DOUBLE_EQ(shadowAlpha(*a), (100 - v) / 100.0) << v;
        EXPECT_EQ(text("_shadowTransparencyField"), QString::number(v) + QLatin1Char('%'));
        EXPECT_EQ(control<HUDSlider>("_shadowTransparencySlider")->value(), v);
    }
    // Beyond 100, or no number at all (not 0 % then): the shadow keeps its transparency.
    const double before = shadowAlpha(*a);
    for (const char* typed : {"101", "abc"}) {
        type("_shadowTransparencyField", QString::fromUtf8(typed));
        EXPECT_EQ(shadowAlpha(*a), before) << typed;
        EXPECT_EQ(text("_shadowTransparencyField"), QStringLiteral("100%")) << typed;
    }

    type("_shadowBlurField", QStringLiteral("12"));
    qint64 radius = 0, height = 0, azimuth = 0;
    a->shadowInfo(&height, &radius, &azimuth, nullptr, nullptr);
    EXPECT_EQ(radius, 12);
    EXPECT_EQ(height, 45);
    EXPECT_TRUE(undoNamed("Shadow Blur"));

    auto* dial = control<LBCircularSlider>("_shadowAngleSlider");
    dial->setAngle(135.0, 1.0);
    dial->sendAction();
    a->shadowInfo(nullptr, nullptr, &azimuth, nullptr, nullptr);
    EXPECT_EQ(azimuth, 315);
    EXPECT_EQ(text("_shadowAngleField"), QStringLiteral("135º"));
    EXPECT_TRUE(undoNamed("Shadow Angle"));

    click("_shadowCheckbox");
    EXPECT_EQ(a->shadowType(), 0);
    EXPECT_TRUE(undoNamed("Shadow On"));
    EXPECT_EQ(a->shadowType(), 1);
}

TEST_F(TransparencyPanesTest, MixedShadowsAndTheKindTheCheckBoxDoesNotToggle)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 50, 50));
    auto b = add(QStringLiteral("b"), QRectF(80, 10, 50, 50));
    setUp([&] { a->setShadowInfo(1, 5, 3, 90, 0.5, QColor(Qt::black)); });
    showPane({a, b}, H::ShadowTools);
    auto* box = control<HUDCheckbox>("_shadowCheckbox");
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    click("_shadowCheckbox");
    EXPECT_EQ(a->shadowType(), 1);
    EXPECT_EQ(b->shadowType(), 1);
    EXPECT_EQ(box->checkState(), Qt::Checked);

    setUp([&] { b->setShadowInfo(2, -1, -1, -1, -1.0, QColor()); });
    palette->updateSelectedTools();
    EXPECT_TRUE(box->isHidden());
    EXPECT_FALSE(control<QWidget>("_shadowColorText")->isHidden());
}

TEST_F(TransparencyPanesTest, AMixedReflectionTurnsOnForBoth)
{
    auto a = add(QStringLiteral("a"), QRectF(10, 10, 50, 50));
    auto b = add(QStringLiteral("b"), QRectF(80, 10, 50, 50));
    setUp([&] {
        a->setReflectionEnabled(true);
        a->setReflectionTransparency(0.8);
        a->setReflectionHeight(0.5);
    });
    showPane({a, b}, H::ReflectionTools);
    auto* box = control<HUDCheckbox>("_reflectionCheckbox");
    EXPECT_EQ(box->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(text("_reflectionTransparencyLabel"), QStringLiteral("20%"));
    EXPECT_EQ(text("_reflectionHeightLabel"), QStringLiteral("50%"));
    click("_reflectionCheckbox");
    EXPECT_TRUE(a->reflectionEnabled());
    EXPECT_TRUE(b->reflectionEnabled());
    EXPECT_EQ(box->checkState(), Qt::Checked);
    EXPECT_TRUE(undoNamed("Reflection"));
    EXPECT_FALSE(b->reflectionEnabled());
    EXPECT_TRUE(a->reflectionEnabled());

    control<HUDSlider>("_reflectionHOffsetSlider")->setValue(-25);
    EXPECT_DOUBLE_EQ(b->reflectionHOffset(), -0.25);
    EXPECT_EQ(text("_reflectionHOffsetLabel"), QStringLiteral("-25%"));
    EXPECT_TRUE(undoNamed("Reflection Horizontal Offset"));
    control<HUDSlider>("_reflectionTransparencySlider")->setValue(60);
    EXPECT_DOUBLE_EQ(a->reflectionTransparency(), 0.4);
}
