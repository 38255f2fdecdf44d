#pragma once

// An image well that takes a picture file dropped on it, remembers the file's path, and
// lets the user drag the picture out again: let go outside the well, the picture goes.
// The drag carries only a private type ("LBIgnoreImageDragType"), no picture and no file,
// so no other view takes it. Only a well that contains an image (set on a drop, or by its
// owner for a picture it shows) starts a drag. After every accepted drop and every removal
// it sends its action.

#include <QPointF>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class QMimeData;

namespace platform {
class Image;
}

inline const QString LBIgnoreImageDragType = QStringLiteral("LBIgnoreImageDragType");

class LBDragImageView : public QWidget
{
    Q_OBJECT
public:
    explicit LBDragImageView(QWidget* parent = nullptr);
    ~LBDragImageView() override;

    bool containsImage() const { return _containsImage; }
    void setContainsImage(bool contains) { _containsImage = contains; }
    QString imageFilePath() const { return _imageFilePath; }
    // An empty path clears it.
    void setImageFilePath(const QString& path) { _imageFilePath = path; }

    std::shared_ptr<platform::Image> image() const { return _image; }
    // Forgets the file path, unless a drop is in progress: then its path becomes the path.
    void setImage(const std::shared_ptr<platform::Image>& image);
    // The picture as shown: scaled down to fit the well, or the picture itself when it fits.
    std::shared_ptr<platform::Image> scaledImage() const;
    QRectF imageRect() const;

    using Action = std::function<void(LBDragImageView* sender)>;
    void setAction(Action action) { _action = std::move(action); }

    // A drop of files: the first one is read as a picture. False (nothing changed but the
    // pending path) when it is not one.
    bool dropFiles(const QStringList& paths);
    // Starts dragging the picture out (from the press location).
    void startDrag();
    // The drag ended with the pointer at a point of the screen (none known: the picture
    // stays). Outside the well's rectangle on the screen (its edges count as inside) the
    // picture goes and the action is sent.
    void dragEnded(std::optional<QPoint> globalPoint);
    // The well's rectangle on the screen.
    QRect globalRect() const;
    // What a drag carries: the private type, no data.
    static QMimeData* dragMimeData();

Q_SIGNALS:
    void actionSent();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void sendAction();

    bool _containsImage = false;
    QString _imageFilePath;
    std::optional<QString> _newImageFilePath;
    std::shared_ptr<platform::Image> _image;
    QPointF _startDragLocation;
    bool _mouseDown = false;
    Action _action;
};
