#include "controls/LBPopUpImageButton.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

using namespace platform;

LBPopUpImageButtonCell::LBPopUpImageButtonCell(const QString&, bool pullsDown)
    : _pullsDown(pullsDown)
{}

void LBPopUpImageButtonCell::setEnabled(bool enabled)
{
    _enabled = enabled;
    _buttonCell.enabled = enabled;
}

QRectF LBPopUpImageButtonCell::titleRectForFrame(const QRectF& frame) const
{
    const QRectF& o = _titleRectOffsets;
    return QRectF(o.x(), o.y(), frame.width() - o.x() - o.width(), frame.height());
}

QString LBPopUpImageButtonCell::fitString(const QString& string, qreal width, const QFont& font)
{
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(string) <= width || string.size() < 2)
        return string;
    // Each round the last two characters give way to one ellipsis: two of the string's
    // own the first time, then one and the ellipsis itself. One of its own always stays.
    qsizetype kept = qMax<qsizetype>(1, string.size() - 2);
    QString fitted = string.left(kept) + QChar(0x2026);
    while (metrics.horizontalAdvance(fitted) > width && kept > 1) {
        --kept;
        fitted = string.left(kept) + QChar(0x2026);
    }
    return fitted;
}

void LBPopUpImageButtonCell::drawWithFrame(QPainter& painter, const QRectF& frame,
                                           const QString& title, const QFont& font,
                                           const QColor& textColor) const
{
    const auto& picture = _buttonCell.highlighted && _buttonCell.alternateImage
                              ? _buttonCell.alternateImage
                              : _buttonCell.image;
    painter.save();
    painter.setOpacity(_buttonCell.enabled ? 1.0 : 0.5);
    if (picture)
        picture->drawInRect(frame);
    painter.restore();
    if (title.isEmpty())
        return;
    const QRectF titleRect = titleRectForFrame(frame);
    painter.setFont(font);
    painter.setPen(textColor);
    painter.drawText(titleRect, Qt::AlignLeft | Qt::AlignTop,
                     fitString(title, titleRect.width(), font));
}

LBPopUpImageButton::LBPopUpImageButton(QWidget* parent, bool pullsDown)
    : KXPopUpImageButton(parent, pullsDown),
      _cell(std::make_unique<LBPopUpImageButtonCell>(QString(), pullsDown))
{}

LBPopUpImageButton::~LBPopUpImageButton() = default;

void LBPopUpImageButton::setPopupImage(const std::shared_ptr<Image>& image)
{
    KXPopUpImageButton::setPopupImage(image);
    _cell->buttonCell().image = image;
}

void LBPopUpImageButton::setAlternatePopupImage(const std::shared_ptr<Image>& image)
{
    KXPopUpImageButton::setAlternatePopupImage(image);
    _cell->buttonCell().alternateImage = image;
}

void LBPopUpImageButton::setTitleRectOffsets(const QRectF& offsets)
{
    KXPopUpImageButton::setTitleRectOffsets(offsets);
    _cell->setTitleRectOffsets(offsets);
}

QRectF LBPopUpImageButton::titleRect() const
{
    return _cell->titleRectForFrame(rect());
}

QString LBPopUpImageButton::fittedTitle(const QString& title, qreal width) const
{
    return LBPopUpImageButtonCell::fitString(title, width, font());
}

void LBPopUpImageButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange)
        _cell->setEnabled(isEnabled());
    KXPopUpImageButton::changeEvent(event);
}

void LBPopUpImageButton::paintEvent(QPaintEvent*)
{
    _cell->setHighlighted(isDown());
    QPainter painter(this);
    GraphicsContext context(&painter, true);
    GraphicsContext::Scope scope(context);
    _cell->drawWithFrame(painter, rect(), displayedTitle(), font(),
                         palette().color(QPalette::ButtonText));
}
