#pragma once

// A button drawn as one picture, with a second picture while it is pressed, and its title
// and own image over them. Its title may take another colour while pressed. The last three
// digits of the tag (t, with the tag's sign) push the title down and the image up t points.

#include "controls/LBTitledButton.h"

class LBImageButton : public LBTitledButton
{
    Q_OBJECT
public:
    explicit LBImageButton(QWidget* parent = nullptr);
    // A button with its pictures named at once.
    LBImageButton(const QString& componentImageString, QWidget* parent);
    ~LBImageButton() override;

    // Picture names separated by "|": two give the normal and the pressed picture; one
    // gives the normal picture and, as pressed picture, a copy of it darkened by black at
    // half opacity where it is not clear. Any other number leaves the button without
    // pictures.
    void setComponentImageString(const QString& names);
    std::shared_ptr<platform::Image> normalImage() const { return _normalImage; }
    std::shared_ptr<platform::Image> pressedImage() const { return _pressedImage; }

    // A copy of the picture overdrawn with black at half opacity, source-atop: only the
    // opaque parts darken. Made at twice the picture's size, so it stays crisp at 2×.
    static std::shared_ptr<platform::Image> darkenedCopy(const platform::Image& image);

    // Also remembered (non-empty titles), to come back after the pressed colour.
    void setTitleColor(const QColor& color) override;
    QColor titleColor() const { return _titleColor; }
    // The title's colour while pressed; invalid for none.
    void setAlternateTitleColor(const QColor& color) { _alternateTitleColor = color; }
    QColor alternateTitleColor() const { return _alternateTitleColor; }

    qreal titleTop() const;
    QRectF imageRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Swaps the title colour for the pressed state.
    void applyTitleColorForState();

    std::shared_ptr<platform::Image> _normalImage;
    std::shared_ptr<platform::Image> _pressedImage;
    QColor _titleColor;
    QColor _alternateTitleColor;
    bool _alternateTitleColorApplied = false;
};
