#pragma once

// A row of pictures seen in perspective: the selected one faces the viewer in the middle,
// the others stand turned and overlapping on either side, each above its reflection, with
// the selected item's title below. Arrow keys, clicks and the wheel move the selection.
// Items come from a data source, asked again on reloadData().

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QString>
#include <QWidget>

namespace platform {

class CoverFlowView;

struct CoverFlowItem
{
    QImage image;
    QString title;
};

class CoverFlowViewDataSource
{
public:
    virtual ~CoverFlowViewDataSource();
    virtual int numberOfItemsInCoverFlowView(CoverFlowView* view) = 0;
    virtual CoverFlowItem coverFlowViewItemAtIndex(CoverFlowView* view, int index) = 0;
};

class CoverFlowView : public QWidget
{
    Q_OBJECT
public:
    explicit CoverFlowView(QWidget* parent = nullptr);
    ~CoverFlowView() override;

    void setDataSource(CoverFlowViewDataSource* dataSource) { _dataSource = dataSource; }
    void reloadData();
    int numberOfItems() const { return int(_items.size()); }
    // -1 when there are no items.
    int selectedIndex() const { return _selected; }
    void setSelectedIndex(int index);

    // Appearance: the band behind the title at the top and the one along the bottom, the
    // arrows' colour and the line above the bottom band.
    void setTitleGradientHeight(qreal height);
    void setTitleGradient(const QColor& from, const QColor& to);
    void setBottomGradientHeight(qreal height);
    void setBottomGradient(const QColor& from, const QColor& to);
    void setHorizontalArrowColor(const QColor& color);
    void setBottomHighlightLineColor(const QColor& color);

Q_SIGNALS:
    void selectionChanged(int index);
    void itemActivated(int index); // double-click or Return

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Where item i stands: its rectangle before turning and its turn (-1 left, 0, 1 right).
    QRectF itemRect(int index, qreal* turn) const;
    int indexAt(const QPointF& point) const;

    CoverFlowViewDataSource* _dataSource = nullptr;
    QList<CoverFlowItem> _items;
    int _selected = -1;
    qreal _titleGradientHeight = 24;
    QColor _titleFrom = QColor::fromRgbF(0.25, 0.25, 0.25);
    QColor _titleTo = QColor::fromRgbF(0.4, 0.4, 0.4);
    qreal _bottomGradientHeight = 24;
    QColor _bottomFrom = QColor::fromRgbF(0.4, 0.4, 0.4);
    QColor _bottomTo = QColor::fromRgbF(0.25, 0.25, 0.25);
    QColor _arrowColor = Qt::black;
    QColor _bottomLineColor = QColor::fromRgbF(0.45, 0.45, 0.45);
};

} // namespace platform
