#pragma once

// What the image buttons share: an attributed title drawn over the button's pictures, the
// button's own image, a tag whose last three digits shift the title and the image, and
// the half opacity of a disabled button. Subclasses draw the pictures.

#include "platform/text/AttributedString.h"

#include <QAbstractButton>
#include <QColor>

#include <memory>

namespace platform {
class Image;
}

class LBTitledButton : public QAbstractButton
{
    Q_OBJECT
public:
    explicit LBTitledButton(QWidget* parent = nullptr);
    ~LBTitledButton() override;

    // The title, drawn with its own attributes. setTitle() makes it in the button's font,
    // centred, in the button text colour.
    platform::AttributedString attributedTitle() const { return _attributedTitle; }
    void setAttributedTitle(const platform::AttributedString& title);
    void setTitle(const QString& title);
    QString title() const { return _attributedTitle.string(); }
    // Rebuilds the title in that colour, keeping its first character's other attributes;
    // nothing for an empty title.
    virtual void setTitleColor(const QColor& color);
    qreal titleWidth() const;
    qreal titleHeight() const;

    // The button's own picture, drawn over its background pictures.
    std::shared_ptr<platform::Image> image() const { return _image; }
    void setImage(const std::shared_ptr<platform::Image>& image);

    qint64 tag() const { return _tag; }
    void setTag(qint64 tag) { _tag = tag; }
    // The tag modulo 1000, with the tag's sign.
    static qint64 tagOffset(qint64 tag) { return tag % 1000; }

    // "Pressed" is the button held down, or a toggle button that is on.
    bool isPressed() const { return isDown() || isChecked(); }

protected:
    // Draws the title with its top at `top`, placed across the button's width (from
    // `left`) by its paragraph alignment.
    void drawTitle(QPainter& painter, qreal top, qreal left = 0) const;
    // The opacity of everything the button draws.
    qreal drawingOpacity() const { return isEnabled() ? 1.0 : 0.5; }

private:
    platform::AttributedString _attributedTitle;
    std::shared_ptr<platform::Image> _image;
    qint64 _tag = 0;
};
