#include "kitbrowser/SGImageBrowserView.h"

#include "kitbrowser/SGCorbeilController.h"
#include "platform/drawing/Bundle.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Pasteboard.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>

namespace {

// A drag starts once the pointer has moved more than this from where it went down.
constexpr qreal DragThreshold = 4;

bool keepsOwnDrag(Qt::KeyboardModifiers modifiers)
{
    // Shift and the command key (Control here) extend the selection instead.
    return !(modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::MetaModifier));
}

} // namespace

SGImageBrowserView::SGImageBrowserView(QWidget* parent) : platform::ImageBrowserView(parent)
{}

SGImageBrowserView::~SGImageBrowserView() = default;

void SGImageBrowserView::setController(SGCorbeilController* controller)
{
    _controller = controller;
}

void SGImageBrowserView::setMouseDownEvent(const QMouseEvent* event)
{
    _mouseDownEvent.reset(event ? static_cast<QMouseEvent*>(event->clone()) : nullptr);
}

void SGImageBrowserView::copy()
{
    if (!_controller)
        return;
    auto* data = new QMimeData;
    platform::Pasteboard pasteboard(data);
    _controller->placeSelectedGraphicsOnPasteboard(pasteboard);
    QApplication::clipboard()->setMimeData(data);
}

bool SGImageBrowserView::validateMenuItem(MenuAction action)
{
    return action != MenuAction::Cut && action != MenuAction::Paste;
}

Qt::DropActions SGImageBrowserView::draggingSourceOperationMask()
{
    return Qt::CopyAction;
}

QString SGImageBrowserView::dragBadgeNameForCount(quint64 count)
{
    if (count < 100)
        return QStringLiteral("DragBadge1-2.tiff");
    if (count < 1000)
        return QStringLiteral("DragBadge3.tiff");
    if (count < 10000)
        return QStringLiteral("DragBadge4.tiff");
    return QStringLiteral("DragBadge5.tiff");
}

QImage SGImageBrowserView::dragBadgeWithCount(quint64 count)
{
    const platform::Bundle bundle(SGCorbeilController::bundleName());
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    const QPixmap picture = bundle.pixmapNamed(dragBadgeNameForCount(count), ratio);
    if (picture.isNull())
        return QImage();
    QImage badge(picture.size(), QImage::Format_ARGB32_Premultiplied);
    badge.setDevicePixelRatio(picture.devicePixelRatio());
    badge.fill(Qt::transparent);
    QPainter painter(&badge);
    painter.drawPixmap(0, 0, picture);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPixelSize(11);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QString text = QString::number(count);
    const QFontMetricsF metrics(font);
    const QSizeF size = picture.deviceIndependentSize();
    const qreal width = metrics.horizontalAdvance(text);
    const qreal height = metrics.height();
    // Centred, the text's height taken as 2 points less than its line.
    const qreal bottom = (size.height() - (height - 2)) / 2;
    const QRectF rect((size.width() - width) / 2, size.height() - bottom - height, width, height);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignTop, text);
    return badge;
}

QImage SGImageBrowserView::dragImageForIndex(int index) const
{
    if (!_controller || index < 0)
        return QImage();
    const std::shared_ptr<platform::Image> thumbnail = _controller->thumbnailAtIndex(index);
    const QImage picture = thumbnail ? thumbnail->forcedBitmapImageRep() : QImage();
    const int w = std::max(1, itemFrameAtIndex(index).width());
    const int h = picture.isNull() || picture.width() == 0
                      ? w
                      : std::max(1, int(qint64(picture.height()) * w / picture.width()));
    QImage whole(w, h, QImage::Format_ARGB32_Premultiplied);
    whole.fill(Qt::transparent);
    {
        QPainter painter(&whole);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        if (!picture.isNull())
            painter.drawImage(QRect(0, 0, w, h), picture);
        const qsizetype selected = selectionIndexes().size();
        if (selected > 1) {
            const QImage badge = dragBadgeWithCount(quint64(selected));
            const QSizeF size = badge.deviceIndependentSize();
            painter.drawImage(QPointF(w - size.width(), h - size.height()), badge);
        }
    }
    QImage dissolved(w, h, QImage::Format_ARGB32_Premultiplied);
    dissolved.fill(Qt::transparent);
    QPainter painter(&dissolved);
    painter.setOpacity(0.5);
    painter.drawImage(0, 0, whole);
    return dissolved;
}

void SGImageBrowserView::startDrag(const QMouseEvent& mouseDown)
{
    const QPoint at = mouseDown.position().toPoint();
    const int index = indexOfItemAtPoint(at);
    if (index < 0 || !_controller)
        return;
    const QImage picture = dragImageForIndex(index);
    auto* data = new QMimeData;
    platform::Pasteboard pasteboard(data);
    _controller->placeSelectedGraphicsOnPasteboard(pasteboard);
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->setPixmap(QPixmap::fromImage(picture));
    drag->setHotSpot(QPoint(picture.width() / 2, picture.height() / 2));
    drag->exec(draggingSourceOperationMask(), Qt::CopyAction);
}

void SGImageBrowserView::mousePressEvent(QMouseEvent* event)
{
    platform::ImageBrowserView::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && keepsOwnDrag(event->modifiers()))
        setMouseDownEvent(event);
    else
        setMouseDownEvent(nullptr);
}

void SGImageBrowserView::mouseMoveEvent(QMouseEvent* event)
{
    if (_controller)
        _controller->closePreviewWindow();
    if (!keepsOwnDrag(event->modifiers()) || !_mouseDownEvent)
        return;
    const QPointF start = _mouseDownEvent->position();
    const QPointF now = event->position();
    // Pressed on the background: the rubber band of the list underneath selects.
    if (indexOfItemAtPoint(start.toPoint()) < 0)
        return platform::ImageBrowserView::mouseMoveEvent(event);
    if (std::abs(now.x() - start.x()) > DragThreshold
        || std::abs(now.y() - start.y()) > DragThreshold) {
        const std::unique_ptr<QMouseEvent> mouseDown = std::move(_mouseDownEvent);
        startDrag(*mouseDown);
    }
}

void SGImageBrowserView::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Cut) || event->matches(QKeySequence::Paste)) {
        event->ignore();
        return;
    }
    platform::ImageBrowserView::keyPressEvent(event);
}
