#include "controls/LBFieldCell.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QAbstractScrollArea>
#include <QPainter>
#include <QScrollBar>
#include <cmath>

using namespace platform;

LBFieldCell::LBFieldCell(QObject* parent) : QStyledItemDelegate(parent)
{}

LBFieldCell::~LBFieldCell() = default;

void LBFieldCell::setImageLeft(const std::shared_ptr<Image>& left,
                               const std::shared_ptr<Image>& middle,
                               const std::shared_ptr<Image>& right)
{
    if (left != _left)
        _left = left;
    if (middle != _middle)
        _middle = middle;
    if (right != _right)
        _right = right;
}

LBFieldCell::Background LBFieldCell::backgroundForCellFrame(const QRectF& cellFrame,
                                                            qreal viewWidth,
                                                            std::optional<qreal> scrollViewWidth,
                                                            const QSizeF& leftImageSize)
{
    const qreal reduction = scrollViewWidth ? viewWidth - (*scrollViewWidth - 13) : viewWidth + 13;
    const qreal width = cellFrame.width() - reduction;
    const qreal capWidth = leftImageSize.width(), imageHeight = leftImageSize.height();
    Background background;
    // A background narrower than its two caps is not drawn.
    if (width < 2 * capWidth)
        return background;
    // y is the pictures' lower edge, centred down the cell (a point lower for tall ones).
    qreal y = cellFrame.y() + std::ceil((cellFrame.height() + imageHeight) / 2);
    if (imageHeight > 15)
        y += 1;
    const qreal x = cellFrame.x();
    background.left = QRectF(x - 8, y - imageHeight, capWidth, imageHeight);
    background.right = QRectF(x - 8 + width - capWidth + 4, y - imageHeight, capWidth, imageHeight);
    background.middle =
        QRectF(x + capWidth - 8, y - cellFrame.height(), width - 2 * capWidth + 4, imageHeight);
    background.drawn = true;
    return background;
}

void LBFieldCell::paint(QPainter* painter, const QStyleOptionViewItem& option,
                        const QModelIndex& index) const
{
    if (_showImages && _left) {
        // The outline is a scroll view itself: its content is as wide as the visible part
        // and what it scrolls across.
        qreal viewWidth = option.widget ? option.widget->width() : option.rect.width();
        std::optional<qreal> scrollViewWidth;
        if (const auto* scrollArea = qobject_cast<const QAbstractScrollArea*>(option.widget)) {
            viewWidth =
                scrollArea->viewport()->width() + scrollArea->horizontalScrollBar()->maximum();
            scrollViewWidth = scrollArea->viewport()->width();
        }
        const Background background =
            backgroundForCellFrame(option.rect, viewWidth, scrollViewWidth, _left->size());
        if (background.drawn) {
            GraphicsContext context(painter, true);
            GraphicsContext::Scope scope(context);
            _left->drawInRect(background.left);
            if (_right)
                _right->drawInRect(background.right);
            if (_middle)
                _middle->drawInRect(background.middle);
        }
    }
    QStyledItemDelegate::paint(painter, option, index);
}
