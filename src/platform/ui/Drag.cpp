#include "platform/ui/Drag.h"

#include <QDrag>
#include <QDropEvent>
#include <QMimeData>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <utility>

namespace platform {

namespace {

Drag* currentDrag = nullptr;

Drag::Runner& runner()
{
    static Drag::Runner r;
    return r;
}

} // namespace

Drag::Drag(QWidget* source) : _source(source), _mimeData(new QMimeData), _pasteboard(_mimeData)
{}

Drag::~Drag()
{
    if (currentDrag == this)
        currentDrag = nullptr;
    if (!_handedOver)
        delete _mimeData;
}

void Drag::setImage(const QImage& image, const QPoint& hotSpot)
{
    _image = image;
    _hotSpot = hotSpot;
}

Drag* Drag::current()
{
    return currentDrag;
}

void Drag::setRunner(Runner r)
{
    runner() = std::move(r);
}

Qt::DropAction Drag::exec(Qt::DropActions supportedActions, Qt::DropAction defaultAction)
{
    Drag* const previous = currentDrag;
    currentDrag = this;
    Qt::DropAction result = Qt::IgnoreAction;
    if (runner()) {
        result = runner()(*this);
    } else {
        // QDrag owns the data from here and deletes it with itself.
        auto* drag = new QDrag(_source);
        drag->setMimeData(_mimeData);
        _handedOver = true;
        if (!_image.isNull()) {
            drag->setPixmap(QPixmap::fromImage(_image));
            drag->setHotSpot(_hotSpot);
        }
        QPointer<QDrag> guard(drag);
        result = drag->exec(supportedActions, defaultAction);
        if (guard)
            guard->deleteLater();
    }
    currentDrag = previous;
    return result;
}

DraggingInfo::DraggingInfo(const QDropEvent* event, const QPointF& location, double scale)
    : _location(location),
      _pasteboard(const_cast<QMimeData*>(event->mimeData())),
      _actions(event->possibleActions()),
      _modifiers(event->modifiers()),
      _scale(scale > 0.0 ? scale : 1.0)
{
    const Drag* drag = Drag::current();
    if (drag && drag->mimeData() == event->mimeData()) {
        _source = drag->source();
        _imageRect = drag->imageRectAroundPointer();
    } else {
        _source = event->source();
    }
}

QPointF DraggingInfo::draggedImageLocation() const
{
    if (_imageRect.isEmpty())
        return _location;
    // The image's lower-left corner, from the pointer, in the destination's units.
    return _location + QPointF(_imageRect.left(), _imageRect.top() + _imageRect.height()) / _scale;
}

} // namespace platform
