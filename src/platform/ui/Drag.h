#pragma once

// Drag and drop. A Drag is a drag session a view starts: its pasteboard (the data dragged),
// its image and where the pointer holds the image. exec() runs the session and returns
// when the data was dropped or the drag given up. While it runs, Drag::current() is that
// session, so a destination in this process knows the source and where the dragged image
// lies; a DraggingInfo wraps one drag event for the destination.
//
// Drag operations: copy is Qt::CopyAction, move Qt::MoveAction, and generic (the
// platform's "use it as you like", offered for colours) Qt::CopyAction too.
//
// Tests: the offscreen platform ends a drag at once, so a test installs a runner that
// plays the drag instead (sending drag events to the destination) and answers the drop's
// action.

#include "platform/ui/Pasteboard.h"

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRectF>
#include <QSize>

#include <functional>
#include <memory>

class QDropEvent;
class QMimeData;
class QObject;
class QWidget;

namespace platform {

class Drag
{
public:
    // A drag from `source`; its data starts empty.
    explicit Drag(QWidget* source);
    ~Drag();
    Drag(const Drag&) = delete;
    Drag& operator=(const Drag&) = delete;

    QWidget* source() const { return _source; }
    Pasteboard& pasteboard() { return _pasteboard; }
    QMimeData* mimeData() const { return _mimeData; }

    // The image shown under the pointer, in device pixels, and the pixel of it the pointer
    // holds.
    void setImage(const QImage& image, const QPoint& hotSpot);
    QImage image() const { return _image; }
    QPoint hotSpot() const { return _hotSpot; }
    // The image's rectangle relative to the pointer: the pointer at (0, 0).
    QRect imageRectAroundPointer() const { return QRect(-_hotSpot, _image.size()); }

    // Runs the drag; returns the action the destination took (Qt::IgnoreAction when the
    // drop failed or was given up, in which case the image slides back).
    Qt::DropAction exec(Qt::DropActions supportedActions, Qt::DropAction defaultAction);

    // The drag under way in this process, nullptr when none.
    static Drag* current();

    using Runner = std::function<Qt::DropAction(Drag&)>;
    // Plays drags in place of the platform; an empty runner gives the platform back.
    static void setRunner(Runner runner);

private:
    QWidget* _source;
    QMimeData* _mimeData; // owned until exec() hands it to the platform's drag
    Pasteboard _pasteboard;
    QImage _image;
    QPoint _hotSpot;
    bool _handedOver = false;
};

// One drag event as its destination sees it. The destination gives the location in its
// own coordinates (a canvas: unzoomed points) and the scale from them to its pixels.
class DraggingInfo
{
public:
    DraggingInfo(const QDropEvent* event, const QPointF& location, double scale = 1.0);

    // Where the pointer is, in the destination's coordinates.
    QPointF draggingLocation() const { return _location; }
    Pasteboard& draggingPasteboard() { return _pasteboard; }
    // The object that started the drag when it lies in this process; nullptr otherwise.
    QObject* draggingSource() const { return _source; }
    Qt::DropActions draggingSourceOperationMask() const { return _actions; }
    Qt::KeyboardModifiers modifiers() const { return _modifiers; }

    // The dragged image, known for drags of this process: its size in device pixels
    // (empty when unknown) and its lower-left corner in the destination's coordinates (y
    // growing downwards, so the corner below the image's top-left; the dragging location
    // when unknown).
    QSize draggedImageSize() const { return _imageRect.size(); }
    QPointF draggedImageLocation() const;

private:
    QPointF _location;
    Pasteboard _pasteboard;
    QObject* _source = nullptr;
    Qt::DropActions _actions;
    Qt::KeyboardModifiers _modifiers;
    QRect _imageRect; // around the pointer, pixels
    double _scale;
};

} // namespace platform
