#include "controls/LBDragImageView.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Pasteboard.h"

#include <QCursor>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

using namespace platform;

namespace {
constexpr qreal WellInset = 4; // the picture stays inside the well's bezel
}

LBDragImageView::LBDragImageView(QWidget* parent) : QWidget(parent)
{
    // A press in a background window reaches the well as any press does, so a drag can
    // start from there at once.
    setAcceptDrops(true);
}

LBDragImageView::~LBDragImageView() = default;

void LBDragImageView::setImage(const std::shared_ptr<Image>& image)
{
    _image = image;
    _imageFilePath.clear();
    if (_newImageFilePath) {
        _imageFilePath = *_newImageFilePath;
        _newImageFilePath.reset();
    }
    update();
}

std::shared_ptr<Image> LBDragImageView::scaledImage() const
{
    if (!_image)
        return nullptr;
    const QSizeF room =
        QRectF(rect()).adjusted(WellInset, WellInset, -WellInset, -WellInset).size();
    if (room.isEmpty())
        return _image;
    return _image->imageScaledToSize(room, true, true);
}

QRectF LBDragImageView::imageRect() const
{
    const auto shown = scaledImage();
    if (!shown)
        return QRectF();
    const QSizeF size = shown->size();
    return QRectF(QPointF((width() - size.width()) / 2, (height() - size.height()) / 2), size);
}

void LBDragImageView::sendAction()
{
    Q_EMIT actionSent();
    if (_action)
        _action(this);
}

bool LBDragImageView::dropFiles(const QStringList& paths)
{
    if (paths.isEmpty())
        return false;
    const QString path = paths.first();
    _newImageFilePath = path;
    const auto picture = Image::fromFile(path);
    if (!picture)
        return false;
    setImage(picture);
    setContainsImage(true);
    setImageFilePath(path);
    sendAction();
    return true;
}

QMimeData* LBDragImageView::dragMimeData()
{
    auto* data = new QMimeData;
    data->setData(mimeTypeForPasteboardType(LBIgnoreImageDragType), QByteArray());
    return data;
}

void LBDragImageView::startDrag()
{
    const auto shown = scaledImage();
    if (!shown)
        return;
    // The picture at half opacity, held where it lies in the well.
    const QRectF where = imageRect();
    QImage picture(shown->forcedBitmapImageRep());
    QImage faded(picture.size(), QImage::Format_ARGB32_Premultiplied);
    faded.fill(Qt::transparent);
    {
        QPainter painter(&faded);
        painter.setOpacity(0.5);
        painter.drawImage(0, 0, picture);
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(dragMimeData());
    drag->setPixmap(QPixmap::fromImage(faded.scaled(where.size().toSize())));
    drag->setHotSpot((_startDragLocation - where.topLeft()).toPoint());
    drag->exec(Qt::MoveAction | Qt::CopyAction);
    // Where the pointer is known, the drag ended there.
    std::optional<QPoint> end;
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        end = QCursor::pos();
    dragEnded(end);
}

QRect LBDragImageView::globalRect() const
{
    return QRect(mapToGlobal(QPoint(0, 0)), size());
}

void LBDragImageView::dragEnded(std::optional<QPoint> globalPoint)
{
    if (!globalPoint)
        return;
    const QRect well = globalRect();
    // Edges count as inside.
    const bool inside =
        globalPoint->x() >= well.left() && globalPoint->x() <= well.left() + well.width()
        && globalPoint->y() >= well.top() && globalPoint->y() <= well.top() + well.height();
    if (inside)
        return;
    setImage(nullptr);
    sendAction();
}

void LBDragImageView::mousePressEvent(QMouseEvent* event)
{
    _startDragLocation = event->position();
    _mouseDown = true;
}

void LBDragImageView::mouseMoveEvent(QMouseEvent* event)
{
    if (!_mouseDown || !(event->buttons() & Qt::LeftButton))
        return;
    _mouseDown = false;
    if (_image && _containsImage)
        startDrag();
}

void LBDragImageView::dragEnterEvent(QDragEnterEvent* event)
{
    const QMimeData* data = event->mimeData();
    if (data->hasUrls() && !data->urls().isEmpty() && data->urls().first().isLocalFile())
        event->acceptProposedAction();
}

void LBDragImageView::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    if (dropFiles(paths))
        event->acceptProposedAction();
    else
        event->ignore();
}

void LBDragImageView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = 1;
    frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
    if (const auto shown = scaledImage()) {
        GraphicsContext context(&painter, true);
        GraphicsContext::Scope scope(context);
        shown->drawInRect(imageRect());
    }
}
