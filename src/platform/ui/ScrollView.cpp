#include "platform/ui/ScrollView.h"

#include "platform/ui/RulerView.h"

#include <QResizeEvent>
#include <QScrollBar>

#include <cmath>
#include <utility>

namespace platform {

namespace {

ScrollView::RulerViewFactory& rulerViewFactory()
{
    static ScrollView::RulerViewFactory factory;
    return factory;
}

int thicknessOf(const RulerView* ruler)
{
    return ruler ? int(std::ceil(ruler->requiredThickness())) : 0;
}

} // namespace

ScrollView::ScrollView(QWidget* parent) : QScrollArea(parent)
{
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    for (QScrollBar* bar : {horizontalScrollBar(), verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, &ScrollView::boundsDidChange);
}

ScrollView::~ScrollView() = default;

void ScrollView::setRulerViewFactory(RulerViewFactory factory)
{
    rulerViewFactory() = std::move(factory);
}

void ScrollView::setDocumentView(QWidget* view)
{
    setWidget(view);
}

QWidget* ScrollView::documentView() const
{
    return widget();
}

QRect ScrollView::documentVisibleRect() const
{
    const QWidget* view = widget();
    if (!view)
        return {};
    const QRect shown(view->mapFrom(viewport(), QPoint(0, 0)), viewport()->size());
    return shown.intersected(view->rect());
}

void ScrollView::scrollToPoint(const QPoint& point)
{
    horizontalScrollBar()->setValue(point.x());
    verticalScrollBar()->setValue(point.y());
}

RulerView* ScrollView::makeRuler(Qt::Orientation orientation)
{
    RulerView* ruler = rulerViewFactory() ? rulerViewFactory()(this, orientation) : nullptr;
    if (!ruler)
        ruler = new RulerView(this, orientation);
    ruler->setParent(this);
    ruler->setVisible(_rulersVisible);
    return ruler;
}

RulerView* ScrollView::horizontalRulerView()
{
    if (!_horizontalRuler) {
        _horizontalRuler = makeRuler(Qt::Horizontal);
        tile();
    }
    return _horizontalRuler;
}

RulerView* ScrollView::verticalRulerView()
{
    if (!_verticalRuler) {
        _verticalRuler = makeRuler(Qt::Vertical);
        tile();
    }
    return _verticalRuler;
}

void ScrollView::setHasHorizontalRuler(bool has)
{
    _hasHorizontalRuler = has;
    if (has)
        horizontalRulerView();
    tile();
}

void ScrollView::setHasVerticalRuler(bool has)
{
    _hasVerticalRuler = has;
    if (has)
        verticalRulerView();
    tile();
}

void ScrollView::setRulersVisible(bool visible)
{
    _rulersVisible = visible;
    tile();
}

void ScrollView::tile()
{
    const bool showsHorizontal = _rulersVisible && _hasHorizontalRuler && _horizontalRuler;
    const bool showsVertical = _rulersVisible && _hasVerticalRuler && _verticalRuler;
    const int top = showsHorizontal ? thicknessOf(_horizontalRuler) : 0;
    const int left = showsVertical ? thicknessOf(_verticalRuler) : 0;
    setViewportMargins(left, top, 0, 0);
    const QRect area = contentsRect();
    if (_horizontalRuler) {
        _horizontalRuler->setVisible(showsHorizontal);
        _horizontalRuler->setGeometry(area.left(), area.top(), left + viewport()->width(), top);
    }
    if (_verticalRuler) {
        _verticalRuler->setVisible(showsVertical);
        _verticalRuler->setGeometry(area.left(), area.top() + top, left, viewport()->height());
    }
}

void ScrollView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    tile();
    Q_EMIT boundsDidChange();
}

void ScrollView::scrollContentsBy(int dx, int dy)
{
    QScrollArea::scrollContentsBy(dx, dy);
    if (_horizontalRuler && dx != 0)
        _horizontalRuler->update();
    if (_verticalRuler && dy != 0)
        _verticalRuler->update();
}

} // namespace platform
