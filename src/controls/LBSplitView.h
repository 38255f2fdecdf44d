#pragma once

// The document window's split view. A divider of thickness 1 (the thickness it starts
// with) is a grey line; another thickness draws the platform's divider. It may fill its
// background with a colour, and keeps the minimum sizes of its first three panes (0 means
// the default, 100 points) and whether it draws a divider of its own with a dimple.
//
// "Vertical" is the platform's sense: panes side by side, divided by vertical lines.

#include <QColor>
#include <QSplitter>

#include <memory>

namespace platform {
class Image;
}

class LBSplitView : public QSplitter
{
    Q_OBJECT
public:
    explicit LBSplitView(QWidget* parent = nullptr);
    LBSplitView(bool vertical, QWidget* parent);
    ~LBSplitView() override;

    bool isVertical() const { return orientation() == Qt::Horizontal; }
    void setVertical(bool vertical);

    qreal dividerThickness() const { return _dividerThickness; }
    void setDividerThickness(qreal thickness);

    // Invalid for none.
    QColor backgroundColor() const { return _backgroundColor; }
    void setBackgroundColor(const QColor& color);

    bool usesArtificialDivider() const { return _useArtificialDivider; }
    // Keeps the flag; drawDimple loads the dimple picture ("SplitViewDimple").
    void setUseArtificialDivider(bool useArtificialDivider, bool drawDimple);
    std::shared_ptr<platform::Image> dimpleImage() const { return _dimpleImage; }

    // Minimum sizes along the split of panes 0, 1 and 2 (0: the default).
    void setViewMinWidth0(qreal minWidth0, qreal minWidth1, qreal minWidth2);
    // The minimum size of pane `index` as set (0 when not set, or beyond pane 2).
    qreal viewMinWidth(int index) const;

    // The colour of the line of a divider 1 point thick: 155 of 255.
    static QColor thinDividerColor();

protected:
    QSplitterHandle* createHandle() override;
    void paintEvent(QPaintEvent* event) override;

private:
    qreal _dividerThickness = 1;
    QColor _backgroundColor;
    bool _useArtificialDivider = false;
    std::shared_ptr<platform::Image> _dimpleImage;
    qreal _minWidths[3] = {0, 0, 0};
};
