// The split view's divider: a grey line at thickness 1, the platform's otherwise.

#include "controls/LBSplitView.h"

#include <QImage>

#include <gtest/gtest.h>

TEST(LBSplitViewTest, ThinDividerIsAGreyLine)
{
    for (const qreal thickness : {1.0, 2.0}) {
        LBSplitView split(true, nullptr);
        split.addWidget(new QWidget);
        split.addWidget(new QWidget);
        split.setDividerThickness(thickness);
        split.resize(200, 100);
        split.setSizes({100, 99});
        EXPECT_EQ(split.handleWidth(), int(thickness));
        QImage shot(split.size(), QImage::Format_ARGB32);
        shot.fill(Qt::transparent);
        split.render(&shot);
        const QColor line = shot.pixelColor(split.handle(1)->geometry().center());
        if (thickness == 1)
            EXPECT_EQ(line, QColor(155, 155, 155));
        else
            EXPECT_NE(line, QColor(155, 155, 155));
    }
}

TEST(LBSplitViewTest, KeepsMinimumWidthsAndFlags)
{
    LBSplitView split;
    EXPECT_TRUE(split.isVertical());
    EXPECT_EQ(split.dividerThickness(), 1);
    split.setViewMinWidth0(150, 0, 300);
    EXPECT_EQ(split.viewMinWidth(0), 150);
    EXPECT_EQ(split.viewMinWidth(2), 300);
    EXPECT_EQ(split.viewMinWidth(3), 0);
    split.setUseArtificialDivider(true, true);
    EXPECT_TRUE(split.usesArtificialDivider());
    EXPECT_TRUE(split.dimpleImage());
}
