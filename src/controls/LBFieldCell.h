#pragma once

// The merge-field rows of the fields outline: a text cell that, when showing its pictures,
// first draws a stretched background from three pictures (left cap, middle, right cap)
// under its text. The background ends 13 points inside the visible width of the outline's
// scroll view.

#include <QStyledItemDelegate>

#include <memory>
#include <optional>

namespace platform {
class Image;
}

class LBFieldCell : public QStyledItemDelegate
{
    Q_OBJECT
public:
    explicit LBFieldCell(QObject* parent = nullptr);
    ~LBFieldCell() override;

    // Each picture is replaced only when it differs from the one held.
    void setImageLeft(const std::shared_ptr<platform::Image>& left,
                      const std::shared_ptr<platform::Image>& middle,
                      const std::shared_ptr<platform::Image>& right);
    std::shared_ptr<platform::Image> imageLeft() const { return _left; }
    std::shared_ptr<platform::Image> imageMiddle() const { return _middle; }
    std::shared_ptr<platform::Image> imageRight() const { return _right; }
    bool showImages() const { return _showImages; }
    void setShowImages(bool show) { _showImages = show; }

    // Where the three pictures go for a cell frame (y down), in a view `viewWidth` wide
    // within a scroll view `scrollViewWidth` wide (none: the view stands alone). The left
    // picture's size serves for both caps. `drawn` is false when the background would be
    // narrower than its two caps.
    struct Background
    {
        QRectF left, middle, right;
        bool drawn = false;
    };
    static Background backgroundForCellFrame(const QRectF& cellFrame, qreal viewWidth,
                                             std::optional<qreal> scrollViewWidth,
                                             const QSizeF& leftImageSize);

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

private:
    std::shared_ptr<platform::Image> _left, _middle, _right;
    bool _showImages = false;
};
