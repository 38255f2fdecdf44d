#pragma once

// The application's image pop-up button: its cell draws the inner button cell's picture
// (the pressed one while held down) as the whole look, then the title (the first item's
// when it pulls down, else the selected item's) in the rectangle left of the right offset
// and below the top offset, shortened with an ellipsis to fit. The offsets rectangle is
// read as left (x), top (y) and right (width); its height is not used.

#include "platform/ui/KXPopUpImageButton.h"

#include <QFont>

#include <memory>

namespace platform {
class Image;
}

class LBPopUpImageButtonCell
{
public:
    // The cell of a pop-up whose title comes from its items, not the menu.
    LBPopUpImageButtonCell(const QString& title, bool pullsDown);

    bool pullsDown() const { return _pullsDown; }
    // The inner cell's pictures: normal and pressed.
    struct ButtonCell
    {
        std::shared_ptr<platform::Image> image;
        std::shared_ptr<platform::Image> alternateImage;
        bool enabled = true;
        bool highlighted = false;
    };
    ButtonCell& buttonCell() { return _buttonCell; }
    const ButtonCell& buttonCell() const { return _buttonCell; }
    bool isEnabled() const { return _enabled; }
    // Also enables or disables the inner cell.
    void setEnabled(bool enabled);
    // Passed on to the inner cell.
    void setHighlighted(bool highlighted) { _buttonCell.highlighted = highlighted; }

    QRectF titleRectOffsets() const { return _titleRectOffsets; }
    void setTitleRectOffsets(const QRectF& offsets) { _titleRectOffsets = offsets; }
    QRectF titleRectForFrame(const QRectF& frame) const;

    // The string unchanged when it fits the width in the font; otherwise, while it is wider,
    // its last two characters give way to one ellipsis (U+2026), keeping at least one
    // character before it.
    static QString fitString(const QString& string, qreal width, const QFont& font);

    // The inner cell's picture over the frame (half opacity when disabled), then the title.
    void drawWithFrame(QPainter& painter, const QRectF& frame, const QString& title,
                       const QFont& font, const QColor& textColor) const;

private:
    ButtonCell _buttonCell;
    QRectF _titleRectOffsets;
    bool _pullsDown;
    bool _enabled = true;
};

class LBPopUpImageButton : public platform::KXPopUpImageButton
{
    Q_OBJECT
public:
    explicit LBPopUpImageButton(QWidget* parent = nullptr, bool pullsDown = false);
    ~LBPopUpImageButton() override;

    LBPopUpImageButtonCell* cell() const { return _cell.get(); }

    // The same three operations, onto the cell.
    void setPopupImage(const std::shared_ptr<platform::Image>& image);
    void setAlternatePopupImage(const std::shared_ptr<platform::Image>& image);
    void setTitleRectOffsets(const QRectF& offsets);

    QRectF titleRect() const override;
    QString fittedTitle(const QString& title, qreal width) const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    std::unique_ptr<LBPopUpImageButtonCell> _cell;
};
