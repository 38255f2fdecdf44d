#include "layouts/LBPageView.h"

#include "graphics/LBProcessState.h"
#include "layouts/PagePreviewController.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QtMath>

#include <algorithm>
#include <cmath>

namespace {

// The desk texture, read once and kept for the life of the program.
const QImage& pageBackground()
{
    static const QImage image = platform::readPngImage(QStringLiteral(":/images/PageBackground.png"));
    return image;
}

QFont systemFontOfSize(int size)
{
    QFont font = QGuiApplication::font();
    font.setPixelSize(size);
    return font;
}

const QColor DeskTextColor = QColor::fromRgbF(0.85f, 0.85f, 0.85f, 1.0f);

} // namespace

LBPageView::LBPageView(QWidget* parent) : QWidget(parent)
{
    // Four points straight down, softened by 7.
    _shadow.offset = QSizeF(0, 4);
    _shadow.blurRadius = 7.0;
    _shadow.color = QColor::fromRgbF(0.2f, 0.2f, 0.2f, 0.6f);
    _liveResizeTimer = new QTimer(this);
    _liveResizeTimer->setSingleShot(true);
    _liveResizeTimer->setInterval(LiveResizeSettleMilliseconds);
    connect(_liveResizeTimer, &QTimer::timeout, this, &LBPageView::endLiveResize);
}

LBPageView::~LBPageView() = default;

void LBPageView::setPageSize(const QSizeF& size, qint64 numPages, qint64 numColumns)
{
    _pageSize = QSizeF(std::trunc(size.width()), std::trunc(size.height()));
    _numPages = numPages;
    _numColumns = numColumns;
    update();
}

void LBPageView::setPageColor(const QColor& color)
{
    _pageColor = color;
    update();
}

void LBPageView::setBottomMessageStr(const QString& message)
{
    _bottomMessageStr = message;
    update();
}

QRectF LBPageView::pageRectForPageNum(qint64 pageNum, double pageGap) const
{
    const double W = width(), H = height();
    const double w = _pageSize.width(), h = _pageSize.height();
    const qint64 k = _numColumns;
    const qint64 rows = k == 0 ? 1 : (_numPages - 1) / k + 1;
    // The integer part of the room left, halved in whole numbers.
    const qint64 mx = qint64(W - double(k) * w - double(k - 1) * pageGap) / 2;
    const qint64 my = qint64(H - double(rows) * h - double(rows - 1) * pageGap) / 2;
    const qint64 column = k == 0 ? 0 : pageNum % k;
    const qint64 row = k == 0 ? 0 : pageNum / k;
    // From the top-left: at least 7 points in from the left and top edges.
    const double x = std::max(double(mx), 7.0) + double(column) * w + double(column) * pageGap;
    const double y = std::max(double(my), 7.0) + double(row) * h + double(row) * pageGap;
    return QRectF(x, y, w, h);
}

void LBPageView::startShadow(const QRectF& bounds)
{
    if (platform::GraphicsContext* context = platform::GraphicsContext::current())
        context->beginShadowedDrawing(_shadow, bounds);
}

void LBPageView::stopShadow()
{
    if (platform::GraphicsContext* context = platform::GraphicsContext::current())
        context->endShadowedDrawing();
}

void LBPageView::drawPageBackgroundForUpdateRect(const QRectF& rect)
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !context->painter())
        return;
    QPainter& painter = *context->painter();
    const double W = width(), H = height();

    // Tiles from the top-left corner, each a pixel over the last, down to the bottom.
    const QImage& tile = pageBackground();
    if (tile.width() > 1 && tile.height() > 1) {
        const double stepX = tile.width() - 1, stepY = tile.height() - 1;
        for (double y = 0; y <= H; y += stepY) {
            for (double x = 0; x <= W; x += stepX) {
                const QRectF place(x, y, tile.width(), tile.height());
                if (place.intersects(rect))
                    painter.drawImage(place, tile);
            }
        }
    }

    // The edges darken towards the border.
    const double band = 0.2 * std::min(W, H);
    const QColor dark = QColor::fromRgbF(0, 0, 0, 0.15f);
    const auto shade = [&](const QRectF& area, const QPointF& from, const QPointF& to) {
        QLinearGradient gradient(from, to);
        gradient.setColorAt(0, dark);
        gradient.setColorAt(1, Qt::transparent);
        painter.fillRect(area, gradient);
    };
    shade(QRectF(0, 0, band, H), QPointF(0, 0), QPointF(band, 0));
    shade(QRectF(W - band, 0, band, H), QPointF(W, 0), QPointF(W - band, 0));
    shade(QRectF(0, H - band, W, band), QPointF(0, H), QPointF(0, H - band));
    shade(QRectF(0, 0, W, band), QPointF(0, 0), QPointF(0, band));

    if (!_bottomMessageStr.isNull()) {
        const QFont font = systemFontOfSize(11);
        const QRectF needed = QFontMetricsF(font).boundingRect(
            QRectF(0, 0, W, 1e6), Qt::AlignHCenter | Qt::TextWordWrap, _bottomMessageStr);
        const double height = std::trunc(needed.height());
        painter.setFont(font);
        painter.setPen(DeskTextColor);
        painter.drawText(QRectF(0, H - 12.0 - height, std::trunc(W), height),
                         Qt::AlignHCenter | Qt::TextWordWrap, _bottomMessageStr);
    }

    if (LBProcessState::isPrinting() && !_createController) {
        const QString text = platform::LocalizedString(QStringLiteral("Printing..."),
                                                       QStringLiteral("Miscellaneous"));
        const QFont font = systemFontOfSize(16);
        const QFontMetricsF metrics(font);
        const QRectF visible = visibleRegion().isEmpty() ? QRectF(this->rect())
                                                         : QRectF(visibleRegion().boundingRect());
        // The text stands on the visible centre line, starting half its width left of
        // the centre.
        const QPointF origin(visible.center().x() - metrics.horizontalAdvance(text) / 2,
                             visible.center().y() - metrics.descent());
        painter.setFont(font);
        painter.setPen(DeskTextColor);
        painter.drawText(origin, text);
    }
}

void LBPageView::drawPageAtPoint(const QPointF& point, const QRectF& forDrawRect, qint64 pageNum)
{
    Q_UNUSED(forDrawRect);
    Q_UNUSED(pageNum);
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !context->painter())
        return;
    const QRectF page(point, _pageSize);
    if (drawKeptPage(*context, page))
        return;
    startShadow(page);
    context->painter()->fillRect(page, _pageColor);
    stopShadow();
}

bool LBPageView::drawKeptPage(platform::GraphicsContext& context, const QRectF& page)
{
    QPainter* painter = context.painter();
    const QTransform device = painter->deviceTransform();
    if (device.type() > QTransform::TxScale || page.isEmpty())
        return false;
    const QRectF onDevice = device.mapRect(page);
    const QPoint corner(qFloor(onDevice.left()), qFloor(onDevice.top()));
    const QPointF fraction = onDevice.topLeft() - QPointF(corner);
    const QTransform scale = QTransform::fromScale(device.m11(), device.m22());
    const int hints = int(painter->renderHints());
    KeptPage& kept = _keptPage;
    if (kept.image.isNull() || kept.pageSize != page.size() || kept.pageColor != _pageColor
        || kept.scale != scale || kept.fraction != fraction || kept.renderHints != hints) {
        if (!(scale.m11() > 0.0) || !(scale.m22() > 0.0))
            return false;
        // Room for the shadow: its offset and a blur that reaches well within twice its
        // radius, in device pixels (the context measures shadows in its base units).
        const QTransform base = context.baseTransform();
        const double baseScale = std::sqrt(std::abs(base.determinant()));
        const double reach = (2.0 * _shadow.blurRadius + std::abs(_shadow.offset.width())
                              + std::abs(_shadow.offset.height()))
                             * std::max(baseScale, 1.0);
        const int margin = int(std::ceil(reach)) + 2;
        // Far from its edges a page and its shadow are the same all along, so the picture
        // is made for a page shorter by whole device pixels each way, which keeps every
        // edge where it falls within its pixel, and its middle row and column are then
        // repeated to the page's length: the blur runs over a small square, not the page.
        const int room = 4 * margin;
        const int cutX = onDevice.width() > room ? int(std::floor(onDevice.width() - room)) : 0;
        const int cutY = onDevice.height() > room ? int(std::floor(onDevice.height() - room)) : 0;
        const QRectF small(page.topLeft(), QSizeF((onDevice.width() - cutX) / scale.m11(),
                                                  (onDevice.height() - cutY) / scale.m22()));
        const QSize smallSize(int(std::ceil(onDevice.width() - cutX + fraction.x())) + 2 * margin,
                              int(std::ceil(onDevice.height() - cutY + fraction.y())) + 2 * margin);
        // Beyond some 4 million pixels (16 MB) a page is drawn each time instead.
        if (qint64(smallSize.width()) * smallSize.height() > 4 * 1024 * 1024)
            return false;
        QImage corners(smallSize, QImage::Format_ARGB32_Premultiplied);
        if (corners.isNull())
            return false;
        corners.fill(Qt::transparent);
        {
            QPainter smallPainter(&corners);
            smallPainter.setRenderHints(painter->renderHints());
            smallPainter.setWorldTransform(
                QTransform::fromTranslate(-page.left(), -page.top()) * scale
                * QTransform::fromTranslate(margin + fraction.x(), margin + fraction.y()));
            platform::GraphicsContext smallContext(&smallPainter, context.isDrawingToScreen());
            smallContext.setBaseTransform(base);
            smallContext.beginShadowedDrawing(_shadow, small);
            smallContext.painter()->fillRect(small, _pageColor);
            smallContext.endShadowedDrawing();
        }
        kept = {corners, margin, QSize(cutX, cutY), page.size(), _pageColor, scale, fraction, hints};
    }
    // Placed pixel for pixel, in the device's own pixels: the columns and rows before the
    // picture's middle ones as they are, its middle ones repeated over the cut, the rest
    // shifted by the cut.
    painter->save();
    painter->setWorldTransform(QTransform());
    painter->setWorldTransform(painter->deviceTransform().inverted());
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QPoint origin = corner - QPoint(kept.margin, kept.margin);
    const int width = kept.image.width(), height = kept.image.height();
    const int middleX = width / 2, middleY = height / 2;
    const int cutX = kept.cut.width(), cutY = kept.cut.height();
    // Spans along one side: (from, length in the picture, to, length on the device).
    struct Span
    {
        int from, length, to, drawn;
    };
    const Span columns[] = {{0, middleX, 0, middleX},
                            {middleX, 1, middleX, cutX},
                            {middleX, width - middleX, middleX + cutX, width - middleX}};
    const Span rows[] = {{0, middleY, 0, middleY},
                         {middleY, 1, middleY, cutY},
                         {middleY, height - middleY, middleY + cutY, height - middleY}};
    for (const Span& row : rows) {
        for (const Span& column : columns) {
            if (row.drawn <= 0 || column.drawn <= 0)
                continue;
            painter->drawImage(QRect(origin + QPoint(column.to, row.to),
                                     QSize(column.drawn, row.drawn)),
                               kept.image, QRect(column.from, row.from, column.length, row.length));
        }
    }
    painter->restore();
    return true;
}

void LBPageView::drawRect(const QRectF& rect)
{
    if (_numColumns == 0)
        return;
    drawPageBackgroundForUpdateRect(rect);
    if (!_createController)
        return;
    // Pages whose shadow cannot reach the update rectangle are left out.
    const double reach = _shadow.blurRadius + _shadow.offset.height();
    for (qint64 n = 0; n < _numPages; ++n) {
        const QRectF page = pageRectForPageNum(n, PageGap);
        if (page.adjusted(-reach, -reach, reach, reach).intersects(rect))
            drawPageAtPoint(page.topLeft(), rect, n);
    }
    _updateRect = rect;
    _createController->drawGraphicsInRect(_updateRect);
}

void LBPageView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    platform::GraphicsContext context(&painter, true);
    platform::GraphicsContext::Scope scope(context);
    drawRect(QRectF(event->rect()));
}

void LBPageView::mousePressEvent(QMouseEvent* event)
{
    // Measured up from the bottom edge.
    const QPointF location(event->position().x(), height() - event->position().y());
    platform::NotificationCenter::defaultCenter().post(
        LBPageViewMouseDown, this,
        {{QStringLiteral("MouseLocation"), platform::stringFromPoint(location)}});
    event->accept();
}

void LBPageView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The platform tells no start or end of a live resize: the first change of size
    // starts one, and one that has settled ends it.
    if (!_liveResizing) {
        _liveResizing = true;
        platform::NotificationCenter::defaultCenter().post(LBPageViewToggleLiveResize,
                                                           &LiveResizeStarted);
    }
    _liveResizeTimer->start();
}

void LBPageView::endLiveResize()
{
    _liveResizing = false;
    platform::NotificationCenter::defaultCenter().post(LBPageViewToggleLiveResize,
                                                       &LiveResizeEnded);
    update();
}
