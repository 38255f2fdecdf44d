// The attached window: its layout rules (y-up), the best side, the clamped setters and the
// outline with and without its arrow.

#include "kitbrowser/SGAttachedWindow.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

SGAttachedWindow::Metrics metrics(qreal width = 200, qreal height = 100)
{
    SGAttachedWindow::Metrics m;
    m.viewSize = QSizeF(width, height);
    return m;
}

} // namespace

TEST(AttachedWindow, WindowFramePerSide)
{
    // View 200 x 100, margin 2, arrow 16 high, base 20, radius 8: W or H grows by the arrow;
    // the inset of the off-centre arrows is 20 / 2 + 8 = 18.
    const QPointF p(500, 400);
    const qreal d = 5;
    struct Case
    {
        int side;
        QRectF frame;
        QPointF viewOrigin;
    };
    const Case cases[] = {
        {0, {500 - 220 - 5, 400 - 52, 220, 104}, {2, 2}},
        {1, {500 - 102, 400 - 120 - 5, 204, 120}, {2, 2}},
        {2, {505, 400 - 52, 220, 104}, {18, 2}},
        {3, {500 - 102, 405, 204, 120}, {2, 18}},
        {4, {275, 400 - 18, 220, 104}, {2, 2}},
        {5, {275, 400 - (104 - 18), 220, 104}, {2, 2}},
        {6, {505, 382, 220, 104}, {18, 2}},
        {7, {505, 400 - 86, 220, 104}, {18, 2}},
        {8, {500 - (204 - 18), 405, 204, 120}, {2, 18}},
        {9, {500 - 18, 405, 204, 120}, {2, 18}},
        {10, {500 - 186, 400 - 125, 204, 120}, {2, 2}},
        {11, {482, 275, 204, 120}, {2, 2}},
    };
    for (const Case& c : cases) {
        QRectF frame, view;
        SGAttachedWindow::geometry(metrics(), c.side, p, d, &frame, &view);
        EXPECT_EQ(frame, c.frame) << "side " << c.side;
        EXPECT_EQ(view, QRectF(c.viewOrigin, QSizeF(200, 100))) << "side " << c.side;
    }
}

TEST(AttachedWindow, BestSide)
{
    const QRectF screen(0, 0, 1000, 800); // y-up: bottom at 0, top at 800
    const SGAttachedWindow::Metrics m = metrics(200, 200);
    // Room below: below, whatever the room elsewhere.
    EXPECT_EQ(SGAttachedWindow::bestSide(m, {500, 600}, 0, screen, std::nullopt), 1);
    // Near the bottom right with room on the left: left.
    EXPECT_EQ(SGAttachedWindow::bestSide(m, {950, 150}, 0, screen, std::nullopt), 0);
    // Near the bottom left: right.
    EXPECT_EQ(SGAttachedWindow::bestSide(m, {50, 150}, 0, screen, std::nullopt), 2);
    // Left, but centring would leave the screen at the bottom: reaching upward.
    EXPECT_EQ(SGAttachedWindow::bestSide(m, {950, 60}, 0, screen, std::nullopt), 4);
    // No room below, left or right, room above: above.
    const SGAttachedWindow::Metrics wide = metrics(900, 100);
    EXPECT_EQ(SGAttachedWindow::bestSide(wide, {500, 50}, 0, screen, std::nullopt), 3);
    // Below, beside a parent window whose right edge the window would pass: reaching left.
    EXPECT_EQ(SGAttachedWindow::bestSide(m, {700, 600}, 0, screen, QRectF(100, 100, 650, 700)), 10);
}

TEST(AttachedWindow, OutlineAndArrow)
{
    SGAttachedWindow::Metrics m = metrics();
    QRectF frame, view;
    SGAttachedWindow::geometry(m, 1, QPointF(500, 400), 0, &frame, &view);
    const QPainterPath outline = SGAttachedWindow::backgroundPath(m, 1, view, 0);
    // The arrow's tip on the top edge, in the middle, the arrow's height above the body.
    EXPECT_EQ(outline.boundingRect(), QRectF(0, 0, 204, 120));
    EXPECT_TRUE(outline.contains(QPointF(102, 119)));
    EXPECT_FALSE(outline.contains(QPointF(20, 119)));
    // Without the arrow the outline is the rounded rectangle alone; the strip stays.
    m.hasArrow = false;
    const QPainterPath plain = SGAttachedWindow::backgroundPath(m, 1, view, 0);
    EXPECT_EQ(plain.boundingRect(), QRectF(0, 0, 204, 104));
    EXPECT_EQ(frame.height(), 120);
    // A square corner beside an off-centre arrow when asked.
    m.hasArrow = true;
    m.drawsRoundCornerBesideArrow = false;
    SGAttachedWindow::geometry(m, 11, QPointF(500, 400), 0, &frame, &view);
    const QPainterPath square = SGAttachedWindow::backgroundPath(m, 11, view, 0);
    EXPECT_TRUE(square.contains(QPointF(0.5, 103.5)));    // top left: square
    EXPECT_FALSE(square.contains(QPointF(203.5, 103.5))); // top right: round
    // Sides 0 and 2: the arrow follows the original point.
    SGAttachedWindow::geometry(m, 0, QPointF(500, 400), 0, &frame, &view);
    const QPainterPath shifted = SGAttachedWindow::backgroundPath(m, 0, view, 30);
    EXPECT_TRUE(shifted.contains(QPointF(217, 52 + 30)));
    EXPECT_FALSE(shifted.contains(QPointF(217, 52)));
}

TEST(AttachedWindow, SettersClampAndSideTwelveNeverStays)
{
    QWidget parent;
    parent.resize(400, 300);
    auto* view = new QWidget;
    view->resize(100, 60);
    SGAttachedWindow* window =
        SGAttachedWindow::withView(view, QPointF(200, 150), QPointF(200, 150), &parent, 12, 0);
    ASSERT_TRUE(window);
    EXPECT_GE(window->side(), 0);
    EXPECT_LT(window->side(), 12);
    EXPECT_EQ(view->parentWidget(), window);
    EXPECT_EQ(window->borderColor(), QColor(Qt::white));
    EXPECT_EQ(window->windowBackgroundColor(), QColor::fromRgbF(0.1, 0.1, 0.1, 0.75));

    window->setBorderWidth(5);
    EXPECT_EQ(window->borderWidth(), 2); // at most the margin
    // Radius at most (2 x margin + min(view) - base) / 2 = (4 + 60 - 20) / 2.
    window->setCornerRadius(100);
    EXPECT_EQ(window->cornerRadius(), 22);
    window->setCornerRadius(-3);
    EXPECT_EQ(window->cornerRadius(), 0);
    // The base at most 2 x margin + min(view) - radius (twice with the round corner).
    window->setCornerRadius(8);
    window->setArrowBaseWidth(500);
    EXPECT_EQ(window->arrowBaseWidth(), 4 + 60 - 16);
    window->setViewMargin(-4);
    EXPECT_EQ(window->viewMargin(), 0);
    EXPECT_FALSE(SGAttachedWindow::withView(nullptr, QPointF(), QPointF(), nullptr, 1, 0));
    delete window;
}
