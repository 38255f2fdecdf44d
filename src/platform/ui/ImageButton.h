#pragma once

// A button drawn from two pictures: the normal one, and the pressed one while it is held
// down. A disabled button draws at half opacity. Without pictures it draws nothing.

#include <QAbstractButton>
#include <QImage>

namespace platform {

class ImageButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit ImageButton(QWidget* parent = nullptr);

    void setNormalImage(const QImage& normal, const QImage& pressed);
    QImage normalImage() const { return _normal; }
    QImage pressedImage() const { return _pressed; }
    // The picture shown now: the pressed one while down (the normal one without it).
    QImage currentImage() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Draws the current picture at the button's opacity; subclasses draw over it.
    void drawImage(QPainter& painter) const;

private:
    QImage _normal;
    QImage _pressed;
};

} // namespace platform
