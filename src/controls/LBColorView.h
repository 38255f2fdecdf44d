#pragma once

// A view filled with a colour (calibrated white 0.78 until set), or tiled with a picture
// from its top-left corner, each tile overlapping the one before by a point.

#include <QColor>
#include <QList>
#include <QRectF>
#include <QWidget>

#include <memory>

namespace platform {
class Image;
}

class LBColorView : public QWidget
{
    Q_OBJECT
public:
    explicit LBColorView(QWidget* parent = nullptr);
    ~LBColorView() override;

    QColor color() const { return _color; }
    void setColor(const QColor& color);
    std::shared_ptr<platform::Image> image() const { return _image; }
    void setImage(const std::shared_ptr<platform::Image>& image);

    // The tiles of a picture of `imageSize` over a view of `viewSize` (y down) that meet
    // `dirtyRect`. Each step is at least 1 point, so a picture 1 point wide still ends.
    static QList<QRectF> tilesForRect(const QSizeF& viewSize, const QSizeF& imageSize,
                                      const QRectF& dirtyRect);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor _color;
    std::shared_ptr<platform::Image> _image;
};
