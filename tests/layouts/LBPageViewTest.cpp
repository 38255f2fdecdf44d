// The page grid view under the offscreen platform: page rectangles, what it draws (the
// recording device, grabs probed by pixel), clicks and resizes as notifications.

#include "layouts/LBPageView.h"

#include "../graphics/RecordingPaintDevice.h"

#include "graphics/LBProcessState.h"
#include "layouts/PagePreviewController.h"
#include "platform/core/NotificationCenter.h"
#include "platform/drawing/GraphicsContext.h"

#include <QElapsedTimer>
#include <QImage>
#include <QList>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class FakePreviewController : public PagePreviewController
{
public:
    void drawGraphicsInRect(const QRectF& rect) override { drawn.append(rect); }
    QList<QRectF> drawn;
};

// Whether any pixel of the area is as light as the desk's texts (the desk is dark).
bool hasLightText(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) > 180)
                return true;
        }
    }
    return false;
}

QImage grab(LBPageView& view)
{
    return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(LBPageView, PagesLieInACentredGridAtLeastSevenPointsFromTheTopLeft)
{
    LBPageView view;
    struct Case
    {
        QSize bounds;
        QSizeF pageSize;
        qint64 pages, columns, page;
        QRectF expected;
    };
    // (The rectangles are in the widget's y-down coordinates: a page that lies 54 points
    // above the bottom edge of a view 900 high, 792 high itself, has its top at 54.)
    const Case cases[] = {
        // The integer part of 600 - 612 = -12 is halved to -6: 7 from the left.
        {{600, 900}, {612, 792}, 1, 1, 0, {7, 54, 612, 792}},
        // Three rows of 200 with gaps of 7 in 800: (800 - 600 - 14) / 2 = 93 above.
        {{300, 800}, {200, 200}, 3, 1, 0, {50, 93, 200, 200}},
        {{300, 800}, {200, 200}, 3, 1, 2, {50, 507, 200, 200}},
        // Left to right, then down: 5 pages in 2 columns make 3 rows.
        {{500, 800}, {200, 200}, 5, 2, 1, {253, 93, 200, 200}},
        {{500, 800}, {200, 200}, 5, 2, 4, {46, 507, 200, 200}},
        // Too tall for the view: 7 from the top, running past the bottom.
        {{300, 300}, {200, 200}, 3, 1, 1, {50, 214, 200, 200}},
        // Each side of the size cut to whole points.
        {{700, 900}, {612.7, 792.9}, 1, 1, 0, {44, 54, 612, 792}},
    };
    for (const Case& c : cases) {
        view.resize(c.bounds);
        view.setPageSize(c.pageSize, c.pages, c.columns);
        EXPECT_EQ(view.pageRectForPageNum(c.page, 7.0), c.expected)
            << c.bounds.width() << "x" << c.bounds.height() << " page " << c.page;
    }
    EXPECT_EQ(view.pageSize(), QSizeF(612, 792));
    EXPECT_EQ(view.numPages(), 1);
}

TEST(LBPageView, DrawsTheDeskThePagesAndThenThePreview)
{
    LBPageView view;
    view.resize(400, 500);
    const auto record = [&] {
        RecordingPaintDevice device(QSize(400, 500));
        view.render(&device, QPoint(), QRegion(), QWidget::RenderFlags());
        return device.calls();
    };

    // No columns: nothing at all, not even the desk.
    view.setPageSize(QSizeF(200, 300), 1, 0);
    EXPECT_TRUE(record().isEmpty());

    // Design mode (no preview controller): the desk alone.
    view.setPageSize(QSizeF(200, 300), 1, 1);
    QStringList names = callNames(record());
    ASSERT_FALSE(names.isEmpty());
    EXPECT_TRUE(names.first().startsWith("image"));
    EXPECT_FALSE(names.contains("fill #ff0000"));

    FakePreviewController preview;
    view.setCreateController(&preview);
    view.setPageColor(QColor(255, 0, 0));
    names = callNames(record());
    EXPECT_EQ(names.last(), "image #ff0000"); // the page over its shadow
    ASSERT_EQ(preview.drawn.size(), 1);
    EXPECT_EQ(preview.drawn.first(), QRectF(0, 0, 400, 500));
    EXPECT_EQ(view.updateRect(), QRectF(0, 0, 400, 500));

    const QImage image = grab(view);
    const QRectF page = view.pageRectForPageNum(0, LBPageView::PageGap);
    EXPECT_EQ(image.pixelColor(page.center().toPoint()), QColor(255, 0, 0));
    // The shadow falls below the page, darker than the desk beside it.
    const QPoint below(int(page.center().x()), int(page.bottom()) + 3);
    const QPoint beside(int(page.right()) + 40, int(page.bottom()) + 3);
    EXPECT_LT(qGray(image.pixel(below)), qGray(image.pixel(beside)));
}

// The page and its shadow drawn from the view's kept picture, first made and then reused,
// against the same drawn anew through the context's shadow, at several device scales,
// page sizes (small ones below the size the picture is stretched from) and positions
// within a pixel.
TEST(LBPageView, KeptPagePictureMatchesThePageDrawnAnew)
{
    LBPageView view;
    view.setPageColor(QColor(250, 240, 200));
    const QColor desk(60, 70, 80);
    struct Case
    {
        qreal scale;
        QSizeF page;
        QPointF at;
    };
    const Case cases[] = {
        {1.0, {200, 300}, {20, 15}},   {2.0, {200, 300}, {20, 15}},
        {1.5, {612, 792}, {7, 54}},    {1.25, {150, 90}, {10.4, 12.7}},
        {1.0, {30, 20}, {40, 40}},     {3.0, {12, 300}, {20.5, 9}},
    };
    const auto paint = [&](const Case& c, bool kept) {
        const QSize pixels = (QSizeF(c.at.x() * 2 + c.page.width() + 40,
                                     c.at.y() * 2 + c.page.height() + 40)
                              * c.scale).toSize();
        QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
        image.fill(desk);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(c.scale, c.scale);
        platform::GraphicsContext context(&painter, true);
        platform::GraphicsContext::Scope scope(context);
        const QRectF page(c.at, c.page);
        if (kept) {
            view.drawPageAtPoint(c.at, page, 0);
        } else {
            view.startShadow(page);
            context.painter()->fillRect(page, view.pageColor());
            view.stopShadow();
        }
        painter.end();
        return image;
    };
    for (const Case& c : cases) {
        view.setPageSize(c.page, 1, 1);
        const QImage anew = paint(c, false);
        for (int time = 0; time < 2; ++time) {
            const QImage kept = paint(c, true);
            ASSERT_EQ(kept.size(), anew.size());
            int worst = 0;
            QPoint where;
            for (int y = 0; y < anew.height(); ++y) {
                for (int x = 0; x < anew.width(); ++x) {
                    const QRgb a = anew.pixel(x, y), b = kept.pixel(x, y);
                    const int d = std::max({std::abs(qRed(a) - qRed(b)),
                                            std::abs(qGreen(a) - qGreen(b)),
                                            std::abs(qBlue(a) - qBlue(b))});
                    if (d > worst) {
                        worst = d;
                        where = QPoint(x, y);
                    }
                }
            }
            EXPECT_LE(worst, 2) << "scale " << c.scale << " page " << c.page.width() << "x"
                                << c.page.height() << " time " << time << " at " << where.x()
                                << "," << where.y();
        }
    }
}

TEST(LBPageView, WritesItsMessagesOnTheDesk)
{
    LBPageView view;
    view.resize(400, 300);
    view.setPageSize(QSizeF(100, 100), 1, 1);
    const QRect middle(140, 125, 120, 30);
    const QRect bottom(100, 260, 200, 28);
    EXPECT_FALSE(hasLightText(grab(view), middle));
    EXPECT_FALSE(hasLightText(grab(view), bottom));

    view.setBottomMessageStr("Avery 5160 Address Labels");
    EXPECT_TRUE(hasLightText(grab(view), bottom));

    LBProcessState::setPrinting(true);
    EXPECT_TRUE(hasLightText(grab(view), middle));
    // Preview mode draws its own pages while printing (a dark one here).
    FakePreviewController preview;
    view.setCreateController(&preview);
    view.setPageColor(Qt::black);
    EXPECT_FALSE(hasLightText(grab(view), middle));
    LBProcessState::setPrinting(false);
}

TEST(LBPageView, ClicksAndResizesAreAnnounced)
{
    LBPageView view;
    view.resize(300, 200);
    view.show();
    QList<QString> locations;
    QList<bool> resizes;
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    const platform::ObserverToken clicks =
        center.addObserver(LBPageViewMouseDown, &view, [&](const platform::Notification& n) {
            locations.append(n.userInfo.value("MouseLocation").toString());
        });
    const platform::ObserverToken sizes = center.addObserver(
        LBPageViewToggleLiveResize, nullptr,
        [&](const platform::Notification& n) { resizes.append(*n.objectAs<const bool>()); });
    // Waits until the resizes announced so far have settled.
    const auto settle = [&] {
        QElapsedTimer waited;
        waited.start();
        while ((resizes.isEmpty() || resizes.last()) && waited.elapsed() < 3000)
            QTest::qWait(20);
        return waited.elapsed();
    };
    QCoreApplication::processEvents();
    settle(); // showing sized it

    // y measured up from the bottom edge.
    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(30, 40));
    EXPECT_EQ(locations, QList<QString>({"{30, 160}"}));

    resizes.clear();
    view.resize(320, 220);
    view.resize(340, 240);
    QCoreApplication::processEvents();
    EXPECT_EQ(resizes, QList<bool>({true}));
    EXPECT_GE(settle(), LBPageView::LiveResizeSettleMilliseconds - 20);
    EXPECT_EQ(resizes, QList<bool>({true, false}));
}
