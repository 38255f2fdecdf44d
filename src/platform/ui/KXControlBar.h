#pragma once

// A bar under a window's content or above a list that holds controls (buttons, pop-ups, a
// slider, text fields) added to it as child widgets. It draws its bar image stretched in
// three slices: the left and right thirds of the image keep their width at either end,
// the middle third stretches across the rest; all three fill the bar's height.

#include <QWidget>

#include <memory>

namespace platform {

class Image;

class KXControlBar : public QWidget
{
    Q_OBJECT
public:
    explicit KXControlBar(QWidget* parent = nullptr);
    ~KXControlBar() override;

    std::shared_ptr<Image> barImage() const { return _barImage; }
    void setBarImage(const std::shared_ptr<Image>& image);

    // The three rectangles, in the bar, that the left, middle and right slices of an image
    // `imageWidth` wide are drawn into when stretched across `rect`. Narrower than the two
    // end slices, the whole image stretches (all in the middle one).
    struct Slices
    {
        QRectF left, middle, right;
        qreal capWidth = 0; // the width of each end slice, in the image
    };
    static Slices slicesForRect(const QRectF& rect, qreal imageWidth);
    // Draws the image so in the current graphics context.
    static void drawImageStretchedInThreeSlices(const Image& image, const QRectF& rect);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::shared_ptr<Image> _barImage;
};

} // namespace platform
