#include "platform/ui/ImageTextCell.h"

#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QPixmap>

namespace platform {

ImageTextCell::ImageTextCell(QObject* parent) : QStyledItemDelegate(parent)
{}

QRect ImageTextCell::imageRect(const QRect& cell)
{
    const int side = qMax(0, cell.height() - 2 * Margin);
    return QRect(cell.left() + Margin, cell.top() + Margin, side, side);
}

QRect ImageTextCell::textRect(const QRect& cell)
{
    const QRect image = imageRect(cell);
    return QRect(image.right() + 1 + Margin, cell.top(),
                 qMax(0, cell.right() - image.right() - Margin), cell.height());
}

void ImageTextCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    // The selection and focus background of the style, without its own icon and text.
    item.text.clear();
    item.icon = QIcon();
    item.features &= ~QStyleOptionViewItem::HasDecoration;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

    const QVariant decoration = index.data(Qt::DecorationRole);
    QImage image;
    if (decoration.canConvert<QImage>())
        image = decoration.value<QImage>();
    else if (decoration.canConvert<QPixmap>())
        image = decoration.value<QPixmap>().toImage();
    else if (decoration.canConvert<QIcon>())
        image = decoration.value<QIcon>().pixmap(imageRect(option.rect).size()).toImage();
    painter->save();
    if (!image.isNull()) {
        const QRect square = imageRect(option.rect);
        const QSize fitted = image.size().scaled(square.size(), Qt::KeepAspectRatio);
        const QRect target(square.center().x() - fitted.width() / 2 + 1,
                           square.center().y() - fitted.height() / 2 + 1, fitted.width(),
                           fitted.height());
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawImage(target, image);
    }
    const QRect text = textRect(option.rect);
    const QString shown = option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(),
                                                        Qt::ElideRight, text.width());
    painter->setPen(option.palette.color(
        option.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    painter->drawText(text, Qt::AlignLeft | Qt::AlignVCenter, shown);
    painter->restore();
}

QSize ImageTextCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const int height = qMax(option.fontMetrics.height() + 2 * Margin, 16 + 2 * Margin);
    const int textWidth = option.fontMetrics.horizontalAdvance(index.data().toString());
    return QSize(height + Margin + textWidth + Margin, height);
}

} // namespace platform
