#pragma once

// A pop-up button drawn as an image instead of a bezel: the pop-up image stretched over the
// button (the alternate image while it is pressed), with the displayed title (the selected
// item's, or the first item's for a pull-down) drawn over it in the title rectangle, that
// is, the button's bounds inset by the four title offsets: left, top, right and bottom, in
// that order, given as one rectangle (x, y, width, height). Every other operation is the
// pop-up button's.

#include "platform/ui/PopUpButton.h"

#include <QRectF>

#include <memory>

namespace platform {

class Image;

class KXPopUpImageButton : public PopUpButton
{
    Q_OBJECT
public:
    explicit KXPopUpImageButton(QWidget* parent = nullptr, bool pullsDown = false);
    ~KXPopUpImageButton() override;

    std::shared_ptr<Image> popupImage() const { return _popupImage; }
    void setPopupImage(const std::shared_ptr<Image>& image);
    std::shared_ptr<Image> alternatePopupImage() const { return _alternatePopupImage; }
    void setAlternatePopupImage(const std::shared_ptr<Image>& image);

    // x = left, y = top, width = right, height = bottom.
    QRectF titleRectOffsets() const { return _titleRectOffsets; }
    void setTitleRectOffsets(const QRectF& offsets);

    // Where the title is drawn, in the button.
    virtual QRectF titleRect() const;
    // The title as drawn in a rectangle `width` wide.
    virtual QString fittedTitle(const QString& title, qreal width) const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::shared_ptr<Image> _popupImage;
    std::shared_ptr<Image> _alternatePopupImage;
    QRectF _titleRectOffsets;
};

} // namespace platform
