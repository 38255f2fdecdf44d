#pragma once

// A button drawn from three pictures, left cap, stretched middle and right cap, with a
// second set of three for the pressed state; its title and its own image go over them.
// The last three digits of the tag (t, with the tag's sign) nudge the content: with both
// a title and an image the title moves down t mod 10 points and the image down |t| / 10
// (|t| < 100) or up |t| / 100 points; with only one of them it moves down t points.

#include "controls/LBTitledButton.h"

#include <array>

class LBCompImageButton : public LBTitledButton
{
    Q_OBJECT
public:
    explicit LBCompImageButton(QWidget* parent = nullptr);
    // A button with its pictures named at once.
    LBCompImageButton(const QString& componentImageString, QWidget* parent);
    ~LBCompImageButton() override;

    // Six picture names separated by "|": normal left, middle, right, then pressed left,
    // middle, right. Any other number of names is ignored.
    void setComponentImageString(const QString& names);
    // Normal left, middle, right, pressed left, middle, right (null where a picture is
    // missing).
    using ComponentImages = std::array<std::shared_ptr<platform::Image>, 6>;
    const ComponentImages& componentImages() const { return _images; }

    // Where the content goes, in the button (y down).
    qreal titleTop() const;
    QRectF imageRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    struct Shifts
    {
        qreal title = 0, image = 0; // down is positive
    };
    Shifts shifts() const;

    ComponentImages _images;
};
