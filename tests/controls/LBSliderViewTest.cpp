// The zoom slider's holder: the exact value, its range, and where its pictures go.

#include "controls/LBSliderView.h"
#include "platform/ui/Slider.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

TEST(LBSliderViewTest, SliderKeepsTheExactValueWithinItsRange)
{
    LBSliderView view;
    platform::Slider* slider = view.slider();
    QSignalSpy changed(slider, &platform::Slider::doubleValueChanged);
    const std::pair<double, double> cases[] = {{9.7865, 9.7865}, {6.0, 6.0}, {2.0, 2.0},
                                               {12.0, 10.0},     {1.5, 2.0}, {10.0, 10.0}};
    for (const auto& [set, read] : cases) {
        slider->setDoubleValue(set);
        EXPECT_EQ(slider->doubleValue(), read) << set;
    }
    EXPECT_TRUE(changed.isEmpty()); // setting in code sends no action
    // Moving the knob sends the value at the knob's step.
    slider->setValue(slider->maximum() / 2);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 6.0);
}

TEST(LBSliderViewTest, PicturesSitAtBothEnds)
{
    LBSliderView view;
    view.resize(120, 22);
    view.show();
    ASSERT_FALSE(view.leftImageRect().isNull());
    EXPECT_EQ(view.leftImageRect().topLeft(), QPointF(0, 5));
    EXPECT_EQ(view.rightImageRect().topLeft(), QPointF(106, 3));
    EXPECT_GE(view.slider()->geometry().left(), view.leftImageRect().right());
    EXPECT_LE(view.slider()->geometry().right(), 106);
}
