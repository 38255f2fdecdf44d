// The split view's divider: a grey line at thickness 1, the platform's otherwise.

#include "controls/LBSplitView.h"

#include "platform/core/NotificationCenter.h"

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

namespace {

// A split view 400 × 100 of three panes, 100, 150 and 148 points wide (dividers 1).
struct ThreePanes
{
    QWidget window;
    LBSplitView* split;
    int willResize = 0, didResize = 0;
    platform::ObserverToken will, did;

    explicit ThreePanes(bool vertical = true)
    {
        split = new LBSplitView(vertical, &window);
        for (int i = 0; i < 3; ++i)
            split->addWidget(new QWidget);
        window.resize(vertical ? 400 : 100, vertical ? 100 : 400);
        split->setGeometry(window.rect());
        split->setSizes({100, 150, 148});
        split->setUseArtificialDivider(true, true);
        auto& center = platform::NotificationCenter::defaultCenter();
        will = center.addObserver(NSSplitViewWillResizeSubviewsNotification, split,
                                  [this](const platform::Notification&) { ++willResize; });
        did = center.addObserver(NSSplitViewDidResizeSubviewsNotification, split,
                                 [this](const platform::Notification&) {
                                     ++didResize;
                                     EXPECT_EQ(didResize, willResize);
                                 });
    }
};

} // namespace

TEST(LBSplitViewTest, DividerZonesFollowTheEnabledList)
{
    ThreePanes panes;
    LBSplitView& split = *panes.split;
    EXPECT_EQ(split.dividerRectAtIndex(0), QRectF(101, 0, 8, 100));
    EXPECT_EQ(split.dividerRectAtIndex(1), QRectF(252, 0, 8, 100));
    EXPECT_EQ(split.cursorRects().size(), 2);
    EXPECT_FALSE(split.dimpleRectAtIndex(0).isNull());
    split.setDividerEnabledArray(QList<int>{1});
    EXPECT_TRUE(split.dividerRectAtIndex(0).isNull());
    EXPECT_EQ(split.cursorRects(), QList<QRectF>{QRectF(252, 0, 8, 100)});
    EXPECT_TRUE(split.dimpleRectAtIndex(0).isNull());
    // Divider 0 cannot be dragged: its zone is gone.
    split.mouseDown(QPointF(104, 50));
    split.mouseDragged(QPointF(104, 50));
    split.mouseDragged(QPointF(150, 50));
    split.mouseUp();
    EXPECT_EQ(split.sizes(), (QList<int>{100, 150, 148}));
    split.setDividerEnabledArray(QList<int>{});
    EXPECT_TRUE(split.cursorRects().isEmpty());
}

TEST(LBSplitViewTest, OwnDividerDragsWithinTheMinimums)
{
    ThreePanes panes;
    LBSplitView& split = *panes.split;
    split.setViewMinWidth0(50, 0, 0); // pane 1's 0 means 100
    // A press outside every zone moves nothing.
    split.mouseDown(QPointF(180, 50));
    split.mouseDragged(QPointF(180, 50));
    split.mouseDragged(QPointF(220, 50));
    split.mouseUp();
    EXPECT_EQ(split.sizes(), (QList<int>{100, 150, 148}));
    EXPECT_EQ(panes.willResize, 0);
    // Divider 0, pressed 3 points into its zone: 20 points right, then far left.
    split.mouseDown(QPointF(104, 50));
    split.mouseDragged(QPointF(104, 50));
    split.mouseDragged(QPointF(124, 50));
    EXPECT_EQ(split.sizes(), (QList<int>{120, 130, 148}));
    EXPECT_EQ(panes.willResize, 1);
    EXPECT_EQ(panes.didResize, 1);
    split.mouseDragged(QPointF(0, 50)); // stops at pane 0's minimum, 50
    EXPECT_EQ(split.sizes(), (QList<int>{50, 200, 148}));
    split.mouseDragged(QPointF(400, 50)); // and at pane 1's, 100
    split.mouseUp();
    EXPECT_EQ(split.sizes(), (QList<int>{150, 100, 148}));
    EXPECT_EQ(panes.didResize, 3);
    // Limits come from the panes at the start of each drag.
    split.mouseDown(QPointF(154, 50));
    split.mouseDragged(QPointF(154, 50));
    split.mouseDragged(QPointF(144, 50));
    split.mouseUp();
    EXPECT_EQ(split.sizes(), (QList<int>{140, 110, 148}));
}

TEST(LBSplitViewTest, SizeButtonDragsItsDividerOnBothAxes)
{
    for (const bool vertical : {true, false}) {
        ThreePanes panes(vertical);
        LBSplitViewSizeButton button(&panes.window);
        button.setSplitter(panes.split);
        button.setTag(1);
        button.setViewMinWidth0(0, 120); // before: 15
        const auto at = [&](qreal along) {
            return vertical ? QPointF(along, 50) : QPointF(50, along);
        };
        button.resetLimits();
        button.mouseDragged(at(300));
        button.mouseDragged(at(280)); // the divider moves with the pointer
        EXPECT_EQ(panes.split->sizes(), (QList<int>{100, 130, 168})) << vertical;
        button.mouseDragged(at(390)); // after-pane keeps 120
        EXPECT_EQ(panes.split->sizes(), (QList<int>{100, 178, 120})) << vertical;
        button.mouseDragged(at(0)); // before-pane keeps 15
        EXPECT_EQ(panes.split->sizes(), (QList<int>{100, 15, 283})) << vertical;
        EXPECT_EQ(panes.didResize, 3) << vertical;
    }
}
