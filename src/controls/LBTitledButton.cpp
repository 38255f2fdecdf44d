#include "controls/LBTitledButton.h"

#include "platform/drawing/Image.h"
#include "platform/text/ParagraphStyle.h"

#include <QPainter>

using namespace platform;

LBTitledButton::LBTitledButton(QWidget* parent) : QAbstractButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

LBTitledButton::~LBTitledButton() = default;

void LBTitledButton::setAttributedTitle(const AttributedString& title)
{
    _attributedTitle = title;
    QAbstractButton::setText(title.string());
    update();
}

void LBTitledButton::setTitle(const QString& title)
{
    ParagraphStyle style;
    style.alignment = ParagraphStyle::Alignment::Center;
    setAttributedTitle(AttributedString(
        title, {{FontAttributeName, QVariant::fromValue(font())},
                {ForegroundColorAttributeName, palette().color(QPalette::ButtonText)},
                {ParagraphStyleAttributeName, QVariant::fromValue(style)}}));
}

void LBTitledButton::setTitleColor(const QColor& color)
{
    if (_attributedTitle.isEmpty())
        return;
    QVariantMap attributes = _attributedTitle.attributesAtIndex(0);
    attributes.insert(ForegroundColorAttributeName, color);
    setAttributedTitle(AttributedString(_attributedTitle.string(), attributes));
}

qreal LBTitledButton::titleWidth() const
{
    return _attributedTitle.isEmpty() ? 0.0 : _attributedTitle.size().width();
}

qreal LBTitledButton::titleHeight() const
{
    return _attributedTitle.isEmpty() ? 0.0 : _attributedTitle.size().height();
}

void LBTitledButton::setImage(const std::shared_ptr<Image>& image)
{
    _image = image;
    update();
}

void LBTitledButton::drawTitle(QPainter& painter, qreal top, qreal left) const
{
    if (titleWidth() == 0)
        return;
    const auto style = _attributedTitle.attribute(ParagraphStyleAttributeName, 0);
    const auto alignment = style.canConvert<ParagraphStyle>()
                               ? style.value<ParagraphStyle>().alignment
                               : ParagraphStyle::Alignment::Natural;
    qreal x = left;
    if (alignment == ParagraphStyle::Alignment::Center)
        x += (width() - titleWidth()) / 2;
    else if (alignment == ParagraphStyle::Alignment::Right)
        x += width() - titleWidth();
    _attributedTitle.drawAtPoint(QPointF(x, top), painter);
}
