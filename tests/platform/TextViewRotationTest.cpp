// A turned editor: the widget covers the turned frame, draws the text turned and maps
// clicks back into the text.

#include "EditorTestSupport.h"

using platform::Range;

class TextViewRotation : public EditorTest
{
protected:
    TextViewRotation()
    {
        view->setVerticallyResizable(false);
        setText(QStringLiteral("Hello"));
        view->setFrame(QRectF(100, 100, 80, 20));
        view->clearFocus();
    }
};

TEST_F(TextViewRotation, TheWidgetCoversTheTurnedFrame)
{
    struct Case
    {
        double degrees;
        QRect geometry;
    };
    const Case cases[] = {
        {0, QRect(100, 100, 80, 20)},  {90, QRect(80, 100, 20, 80)},  {180, QRect(20, 80, 80, 20)},
        {270, QRect(100, 20, 20, 80)}, {-90, QRect(100, 20, 20, 80)}, {450, QRect(80, 100, 20, 80)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        view->setFrameRotation(c.degrees);
        EXPECT_EQ(view->frameRotation(), c.degrees);
        EXPECT_EQ(view->frame(), QRectF(100, 100, 80, 20));
        EXPECT_EQ(view->geometry(), c.geometry);
        EXPECT_TRUE(view->mask().isEmpty());
    }

    // Away from quarter turns the corners of the widget are not the view's.
    view->setFrameRotation(45);
    const QRectF turned = view->viewToSuperview().mapRect(QRectF(0, 0, 80, 20));
    EXPECT_EQ(view->geometry(), turned.toAlignedRect());
    EXPECT_FALSE(view->mask().isEmpty());
    EXPECT_FALSE(view->mask().contains(QPoint(1, 1)));
    EXPECT_TRUE(view->mask().contains(
        (view->convertPointToSuperview(QPointF(40, 10)) - QPointF(view->pos())).toPoint()));
}

TEST_F(TextViewRotation, ClicksLandOnTheTurnedText)
{
    // Where view point p appears in the host, worked out by hand for each turn.
    struct Case
    {
        double degrees;
        std::function<QPointF(const QPointF&)> toHost;
    };
    const Case cases[] = {
        {90, [](const QPointF& p) { return QPointF(100 - p.y(), 100 + p.x()); }},
        {180, [](const QPointF& p) { return QPointF(100 - p.x(), 100 - p.y()); }},
        {270, [](const QPointF& p) { return QPointF(100 + p.y(), 100 - p.x()); }},
        {45,
         [](const QPointF& p) {
             const double c = std::sqrt(0.5);
             return QPointF(100 + c * (p.x() - p.y()), 100 + c * (p.x() + p.y()));
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        view->setFrameRotation(c.degrees);
        for (qsizetype index : {1, 3, 5}) {
            const QPointF host = c.toHost(caretPoint(index));
            EXPECT_LT(QLineF(view->convertPointToSuperview(caretPoint(index)), host).length(),
                      1e-9);
            const QPointF local = host - QPointF(view->pos());
            QMouseEvent press(QEvent::MouseButtonPress, local, view->mapToGlobal(local),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(view, &press);
            QMouseEvent release(QEvent::MouseButtonRelease, local, view->mapToGlobal(local),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(view, &release);
            EXPECT_EQ(view->selectedRange(), Range(index, 0));
        }
    }
}

TEST_F(TextViewRotation, TheTextIsDrawnTurned)
{
    const QRect upright = inkBounds(renderView());
    ASSERT_FALSE(upright.isNull());
    const int h = 20; // the frame's height: view (x, y) shows at widget (h - y, x) at 90 degrees
    struct Case
    {
        double degrees;
        QRect expected;
    };
    const Case cases[] = {
        {90, QRect(QPoint(h - 1 - upright.bottom(), upright.left()),
                   QPoint(h - 1 - upright.top(), upright.right()))},
        {180, QRect(QPoint(80 - 1 - upright.right(), h - 1 - upright.bottom()),
                    QPoint(80 - 1 - upright.left(), h - 1 - upright.top()))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.degrees);
        view->setFrameRotation(c.degrees);
        const QRect turned = inkBounds(renderView());
        EXPECT_NEAR(turned.left(), c.expected.left(), 1);
        EXPECT_NEAR(turned.right(), c.expected.right(), 1);
        EXPECT_NEAR(turned.top(), c.expected.top(), 1);
        EXPECT_NEAR(turned.bottom(), c.expected.bottom(), 1);
    }
}

TEST_F(TextViewRotation, ATurnedViewGrowsAlongItsOwnAxes)
{
    view->setVerticallyResizable(true);
    view->setFrameRotation(90);
    const double oneLine = view->frame().height();
    view->setSelectedRange(Range(5, 0));
    type(QStringLiteral("\rmore"));
    EXPECT_NEAR(view->frame().height(), 2 * oneLine, 1.0);
    EXPECT_EQ(view->frame().topLeft(), QPointF(100, 100));
    // Its lines stack leftwards on the page; the frame origin's edge stays put.
    EXPECT_EQ(view->geometry().right(), 99);
    EXPECT_NEAR(view->geometry().left(), 100 - 2 * oneLine, 1.0);
    EXPECT_EQ(view->geometry().height(), 80);
}
