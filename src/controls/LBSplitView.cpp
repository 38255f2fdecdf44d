#include "controls/LBSplitView.h"

#include "platform/drawing/Image.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

using namespace platform;

namespace {

class LBSplitViewHandle : public QSplitterHandle
{
public:
    LBSplitViewHandle(Qt::Orientation orientation, LBSplitView* parent)
        : QSplitterHandle(orientation, parent), _splitView(parent)
    {}

protected:
    void paintEvent(QPaintEvent* event) override
    {
        if (_splitView->dividerThickness() != 1) {
            QSplitterHandle::paintEvent(event);
            return;
        }
        QPainter painter(this);
        painter.fillRect(rect(), LBSplitView::thinDividerColor());
    }

private:
    LBSplitView* _splitView;
};

} // namespace

LBSplitView::LBSplitView(QWidget* parent) : LBSplitView(true, parent)
{}

LBSplitView::LBSplitView(bool vertical, QWidget* parent)
    : QSplitter(vertical ? Qt::Horizontal : Qt::Vertical, parent)
{
    setChildrenCollapsible(false);
    setDividerThickness(1);
}

LBSplitView::~LBSplitView() = default;

void LBSplitView::setVertical(bool vertical)
{
    setOrientation(vertical ? Qt::Horizontal : Qt::Vertical);
}

QColor LBSplitView::thinDividerColor()
{
    return QColor::fromRgbF(0.60784313725f, 0.60784313725f, 0.60784313725f);
}

void LBSplitView::setDividerThickness(qreal thickness)
{
    _dividerThickness = thickness;
    setHandleWidth(qMax(0, int(std::lround(thickness))));
    update();
}

void LBSplitView::setBackgroundColor(const QColor& color)
{
    _backgroundColor = color;
    update();
}

void LBSplitView::setUseArtificialDivider(bool useArtificialDivider, bool drawDimple)
{
    _useArtificialDivider = useArtificialDivider;
    if (drawDimple)
        _dimpleImage = Image::imageNamed(QStringLiteral("SplitViewDimple"));
    update();
}

void LBSplitView::setViewMinWidth0(qreal minWidth0, qreal minWidth1, qreal minWidth2)
{
    _minWidths[0] = minWidth0;
    _minWidths[1] = minWidth1;
    _minWidths[2] = minWidth2;
}

qreal LBSplitView::viewMinWidth(int index) const
{
    return index >= 0 && index < 3 ? _minWidths[index] : 0;
}

QSplitterHandle* LBSplitView::createHandle()
{
    return new LBSplitViewHandle(orientation(), this);
}

void LBSplitView::paintEvent(QPaintEvent* event)
{
    if (_backgroundColor.isValid()) {
        QPainter painter(this);
        painter.fillRect(event->rect(), _backgroundColor);
    }
    QSplitter::paintEvent(event);
}
