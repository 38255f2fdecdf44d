#pragma once

// A pull-down button drawn as an icon (a toolbar item's picture) with a small arrow at its
// lower right; pressing it shows its commands, the items after the first (the title item).
// The icon is the whole look whatever is chosen; whether the button would take its title
// from the menu is kept for callers that set it.

#include "platform/ui/PopUpButton.h"

#include <memory>

namespace platform {

class Image;

class KXImagePopUpButton : public PopUpButton
{
    Q_OBJECT
public:
    explicit KXImagePopUpButton(QWidget* parent = nullptr);
    ~KXImagePopUpButton() override;

    std::shared_ptr<Image> iconImage() const { return _iconImage; }
    void setIconImage(const std::shared_ptr<Image>& image);

    bool usesItemFromMenu() const { return _usesItemFromMenu; }
    void setUsesItemFromMenu(bool uses);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::shared_ptr<Image> _iconImage;
    bool _usesItemFromMenu = false;
};

} // namespace platform
