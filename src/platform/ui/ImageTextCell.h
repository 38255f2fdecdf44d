#pragma once

// A table cell that shows an image beside its text: the item's decoration (a QImage,
// QPixmap or QIcon) scaled to fit a square of the row's height at the left, the text
// after it, elided to fit.

#include <QStyledItemDelegate>

namespace platform {

class ImageTextCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit ImageTextCell(QObject* parent = nullptr);

    // The gap between the image and the text, and around the image.
    static constexpr int Margin = 3;

    // Where the image and the text go in a cell of that rectangle.
    static QRect imageRect(const QRect& cell);
    static QRect textRect(const QRect& cell);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

} // namespace platform
