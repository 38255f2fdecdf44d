// A scroll view: the visible part of its document view, scrolling to a point, and its
// rulers in the viewport's margins.

#include "platform/ui/ScrollView.h"
#include "platform/ui/RulerView.h"

#include <QSignalSpy>
#include <QWidget>

#include <gtest/gtest.h>

TEST(ScrollView, ScrollsItsDocumentViewAndPlacesItsRulersBesideIt)
{
    platform::ScrollView scrollView;
    scrollView.setFrameShape(QFrame::NoFrame);
    scrollView.resize(300, 200);
    auto* document = new QWidget;
    document->resize(1000, 800);
    scrollView.setDocumentView(document);
    scrollView.show();
    EXPECT_EQ(scrollView.documentView(), document);
    const QRect visible = scrollView.documentVisibleRect();
    EXPECT_EQ(visible.topLeft(), QPoint(0, 0));

    QSignalSpy moved(&scrollView, &platform::ScrollView::boundsDidChange);
    scrollView.scrollToPoint(QPoint(120, 70));
    EXPECT_EQ(scrollView.documentVisibleRect().topLeft(), QPoint(120, 70));
    EXPECT_GE(moved.count(), 1);
    scrollView.scrollToPoint(QPoint(5000, 5000)); // as far as the bars go
    EXPECT_EQ(scrollView.documentVisibleRect().bottomRight(), QPoint(999, 799));

    // Rulers: the horizontal one across the top, over the corner; the vertical one below
    // it on the left; the document view beside both.
    scrollView.setHasHorizontalRuler(true);
    scrollView.setHasVerticalRuler(true);
    EXPECT_FALSE(scrollView.horizontalRulerView()->isVisible());
    scrollView.setRulersVisible(true);
    platform::RulerView* h = scrollView.horizontalRulerView();
    platform::RulerView* v = scrollView.verticalRulerView();
    EXPECT_TRUE(h->isVisible());
    EXPECT_EQ(h->geometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(h->width(), scrollView.viewport()->width() + v->width());
    EXPECT_EQ(v->geometry().topLeft(), QPoint(0, h->height()));
    EXPECT_EQ(scrollView.viewport()->geometry().topLeft(), QPoint(v->width(), h->height()));

    // More room reserved makes the ruler thicker.
    h->setReservedThicknessForMarkers(10.0);
    EXPECT_EQ(h->height(), int(h->ruleThickness()) + 10);
    EXPECT_EQ(h->ruleRect(), QRectF(0, 10, h->width(), h->ruleThickness()));

    // Ruler lines: -1 stands for none.
    h->moveRulerline(-1.0, 40.0);
    h->moveRulerline(-1.0, 60.0);
    h->moveRulerline(40.0, 45.0);
    EXPECT_EQ(h->rulerlineLocations(), QList<double>({60.0, 45.0}));
    h->moveRulerline(60.0, -1.0);
    EXPECT_EQ(h->rulerlineLocations(), QList<double>({45.0}));
    // A new client starts without lines and markers.
    h->setClientView(document);
    EXPECT_TRUE(h->rulerlineLocations().isEmpty());
}
