#include "controls/LBSliderView.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Slider.h"

#include <QPainter>

using namespace platform;

namespace {
constexpr qreal RightImageInset = 14; // the right picture's left edge from the view's right
constexpr qreal SliderGap = 2;        // between a picture and the slider
} // namespace

LBSliderView::LBSliderView(QWidget* parent)
    : QWidget(parent),
      _leftImage(Image::imageNamed(QStringLiteral("ZoomLeft"))),
      _rightImage(Image::imageNamed(QStringLiteral("ZoomRight"))),
      _slider(new Slider(this))
{
    _slider->setMinValue(2.0);
    _slider->setMaxValue(10.0);
}

LBSliderView::~LBSliderView() = default;

QRectF LBSliderView::leftImageRect() const
{
    return _leftImage ? QRectF(QPointF(0, 5), _leftImage->size()) : QRectF();
}

QRectF LBSliderView::rightImageRect() const
{
    return _rightImage ? QRectF(QPointF(width() - RightImageInset, 3), _rightImage->size())
                       : QRectF();
}

QSize LBSliderView::sizeHint() const
{
    return QSize(120, 22);
}

void LBSliderView::resizeEvent(QResizeEvent*)
{
    const qreal left = (_leftImage ? _leftImage->size().width() : 0) + SliderGap;
    const qreal right = width() - RightImageInset - SliderGap;
    _slider->setGeometry(QRectF(left, 0, qMax<qreal>(0, right - left), height()).toRect());
}

void LBSliderView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    GraphicsContext context(&painter, true);
    GraphicsContext::Scope scope(context);
    if (_leftImage)
        _leftImage->drawInRect(leftImageRect());
    if (_rightImage)
        _rightImage->drawInRect(rightImageRect());
}
