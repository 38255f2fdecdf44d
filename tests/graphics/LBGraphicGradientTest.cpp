// The gradient painter a graphic keeps: made at the first drawing of a gradient, then kept
// current by the fill type, colour, opacity and gradient setters.

#include "GraphicTestSupport.h"

#include "graphics/LBGradientFill.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

QColor withAlpha(QColor color, float alpha)
{
    color.setAlphaF(alpha);
    return color;
}

// The painter's values as one comparable text.
QString painterText(const LBGradientFill& fill)
{
    return QStringLiteral("type %1 centre %2 size %3 angle %4 from %5 to %6")
        .arg(fill.gradientType())
        .arg(fill.gradientCenter())
        .arg(fill.gradientCenterSize())
        .arg(fill.gradientAngle())
        .arg(fill.startColor().name(QColor::HexArgb), fill.endColor().name(QColor::HexArgb));
}

struct PainterCase
{
    const char* name;
    std::function<void(LBGraphic&)> change;
    const char* expected;
};

void PrintTo(const PainterCase& c, std::ostream* os)
{
    *os << c.name;
}

class GradientPainter : public ::testing::TestWithParam<PainterCase>
{
protected:
    void SetUp() override
    {
        graphic->setDocument(&doc);
        doc.quietly([&] {
            graphic->setFillType(2);
            graphic->setGraphicAlpha(0.5);
        });
    }

    RecordingDocument doc;
    std::shared_ptr<LBGraphic> graphic = std::make_shared<LBGraphic>();
};

} // namespace

TEST_F(GradientPainter, IsMadeAtTheFirstDrawingWithTheGraphicsValues)
{
    doc.quietly([&] {
        graphic->setGradientAngle(30);
        graphic->setGradientCenter(0.25);
    });
    EXPECT_EQ(graphic->gradientFill(), nullptr); // setters never make it

    LBGradientFill& fill = graphic->gradientFillForDrawing();
    EXPECT_EQ(&fill, graphic->gradientFill());
    EXPECT_EQ(&graphic->gradientFillForDrawing(), &fill); // made once
    EXPECT_EQ(fill.gradientType(), 2);
    EXPECT_EQ(fill.gradientCenter(), 0.25);
    EXPECT_EQ(fill.gradientCenterSize(), 0.01);
    EXPECT_EQ(fill.gradientAngle(), 30.0);
    // Both colours with the graphic's opacity.
    EXPECT_EQ(fill.startColor(), withAlpha(Qt::black, 0.5f));
    EXPECT_EQ(fill.endColor(), withAlpha(Qt::white, 0.5f));

    // A copy has its own painter, made at its own first drawing.
    EXPECT_EQ(graphic->copy()->gradientFill(), nullptr);
}

TEST_P(GradientPainter, SettersPassTheirValuesOnAndUndoPassesTheOldOnes)
{
    const PainterCase& c = GetParam();
    const LBGradientFill& fill = graphic->gradientFillForDrawing();
    const QString before = painterText(fill);

    doc.step([&] { c.change(*graphic); });
    EXPECT_EQ(painterText(fill), QString::fromLatin1(c.expected));

    doc.undo();
    // Undoing a centre change passes the stored centre size (0) on, as the centre setter
    // always does; everything else comes back exactly.
    if (QByteArray(c.name) == "setGradientCenter")
        EXPECT_EQ(painterText(fill), QString(before).replace("size 0.01", "size 0"));
    else
        EXPECT_EQ(painterText(fill), before);
}

INSTANTIATE_TEST_SUITE_P(
    LBGraphicGradient, GradientPainter,
    ::testing::Values(
        PainterCase{"setFillType", [](LBGraphic& g) { g.setFillType(3); },
                    "type 3 centre 1 size 0.01 angle 0 from #80000000 to #80ffffff"},
        // An out-of-range type reaches the painter as the graphic keeps it (three bits).
        PainterCase{"setFillTypeMasked", [](LBGraphic& g) { g.setFillType(11); },
                    "type 3 centre 1 size 0.01 angle 0 from #80000000 to #80ffffff"},
        // The angle setter passes the centre size as the getter gives it (at least 0.01).
        PainterCase{"setGradientAngle", [](LBGraphic& g) { g.setGradientAngle(45); },
                    "type 2 centre 1 size 0.01 angle 45 from #80000000 to #80ffffff"},
        // The centre setter passes the stored centre size, 0 until one has been set.
        PainterCase{"setGradientCenter", [](LBGraphic& g) { g.setGradientCenter(0.4); },
                    "type 2 centre 0.4 size 0 angle 0 from #80000000 to #80ffffff"},
        PainterCase{"setGradientCenterSize", [](LBGraphic& g) { g.setGradientCenterSize(0.2); },
                    "type 2 centre 1 size 0.2 angle 0 from #80000000 to #80ffffff"},
        PainterCase{"setGradientCenterSizeRaised",
                    [](LBGraphic& g) { g.setGradientCenterSize(0.001); },
                    "type 2 centre 1 size 0.01 angle 0 from #80000000 to #80ffffff"},
        // Colours reach the painter with the graphic's opacity, whichever one changes.
        PainterCase{"setFillColor", [](LBGraphic& g) { g.setFillColor(Qt::red); },
                    "type 2 centre 1 size 0.01 angle 0 from #80ff0000 to #80ffffff"},
        PainterCase{"setFillColor1", [](LBGraphic& g) { g.setFillColor1(Qt::blue); },
                    "type 2 centre 1 size 0.01 angle 0 from #80000000 to #800000ff"},
        PainterCase{"setGraphicAlpha", [](LBGraphic& g) { g.setGraphicAlpha(1.0); },
                    "type 2 centre 1 size 0.01 angle 0 from #ff000000 to #ffffffff"}),
    [](const ::testing::TestParamInfo<PainterCase>& info) { return info.param.name; });
