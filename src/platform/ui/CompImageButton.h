#pragma once

// An image button with its title drawn over the picture, centred, in the title colour
// (black unless set).

#include "platform/ui/ImageButton.h"

#include <QColor>

namespace platform {

class CompImageButton : public ImageButton
{
    Q_OBJECT
public:
    explicit CompImageButton(QWidget* parent = nullptr);

    void setTitleColor(const QColor& color);
    QColor titleColor() const { return _titleColor; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor _titleColor = Qt::black;
};

} // namespace platform
