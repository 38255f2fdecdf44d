#pragma once

// The zoom slider's holder in a window's button bar: the small "ZoomLeft" picture at its
// left end, the large "ZoomRight" picture at its right end and the slider between them.
// The slider keeps the value set exactly, within 2.0 to 10.0 unless its owner sets
// another range.

#include <QWidget>

#include <memory>

namespace platform {
class Image;
class Slider;
} // namespace platform

class LBSliderView : public QWidget
{
    Q_OBJECT
public:
    explicit LBSliderView(QWidget* parent = nullptr);
    ~LBSliderView() override;

    platform::Slider* slider() const { return _slider; }

    // Where the two pictures are drawn (y down).
    QRectF leftImageRect() const;
    QRectF rightImageRect() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    std::shared_ptr<platform::Image> _leftImage;
    std::shared_ptr<platform::Image> _rightImage;
    platform::Slider* _slider;
};
