#include "platform/ui/CoverFlowView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// How far the turned items stand apart, as a share of the selected item's side.
constexpr qreal SideSpacing = 0.28;
// The gap between the selected item and its first neighbours, likewise.
constexpr qreal CentreGap = 0.62;
constexpr qreal TurnAngle = 55;

} // namespace

CoverFlowViewDataSource::~CoverFlowViewDataSource() = default;

CoverFlowView::CoverFlowView(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(200, 150);
}

CoverFlowView::~CoverFlowView() = default;

void CoverFlowView::reloadData()
{
    _items.clear();
    const int count =
        _dataSource ? std::max(_dataSource->numberOfItemsInCoverFlowView(this), 0) : 0;
    _items.reserve(count);
    for (int i = 0; i < count; ++i)
        _items.append(_dataSource->coverFlowViewItemAtIndex(this, i));
    _selected = count == 0 ? -1 : std::clamp(_selected, 0, count - 1);
    update();
}

void CoverFlowView::setSelectedIndex(int index)
{
    if (_items.isEmpty())
        return;
    index = std::clamp(index, 0, int(_items.size()) - 1);
    if (index == _selected)
        return;
    _selected = index;
    update();
    Q_EMIT selectionChanged(index);
}

void CoverFlowView::setTitleGradientHeight(qreal height)
{
    _titleGradientHeight = height;
    update();
}

void CoverFlowView::setTitleGradient(const QColor& from, const QColor& to)
{
    _titleFrom = from;
    _titleTo = to;
    update();
}

void CoverFlowView::setBottomGradientHeight(qreal height)
{
    _bottomGradientHeight = height;
    update();
}

void CoverFlowView::setBottomGradient(const QColor& from, const QColor& to)
{
    _bottomFrom = from;
    _bottomTo = to;
    update();
}

void CoverFlowView::setHorizontalArrowColor(const QColor& color)
{
    _arrowColor = color;
    update();
}

void CoverFlowView::setBottomHighlightLineColor(const QColor& color)
{
    _bottomLineColor = color;
    update();
}

QRectF CoverFlowView::itemRect(int index, qreal* turn) const
{
    const qreal top = _titleGradientHeight;
    const qreal stage = height() - top - _bottomGradientHeight;
    const qreal side = std::max(10.0, std::min(stage * 0.6, width() * 0.4));
    const qreal baseline = top + stage * 0.1 + side;
    const int offset = index - _selected;
    qreal x = width() / 2.0;
    if (offset != 0) {
        const qreal direction = offset < 0 ? -1 : 1;
        x += direction * side * (CentreGap + SideSpacing * (std::abs(offset) - 1));
    }
    if (turn)
        *turn = offset < 0 ? -1 : offset > 0 ? 1 : 0;
    return QRectF(x - side / 2, baseline - side, side, side);
}

int CoverFlowView::indexAt(const QPointF& point) const
{
    // The selected item lies in front; then the neighbours nearest to it.
    for (int distance = 0; distance < _items.size(); ++distance) {
        for (int index : {_selected - distance, _selected + distance}) {
            if (index < 0 || index >= _items.size())
                continue;
            qreal turn = 0;
            QRectF rect = itemRect(index, &turn);
            if (turn != 0)
                rect.setWidth(rect.width() * 0.6);
            if (turn < 0)
                rect.moveLeft(itemRect(index, nullptr).left());
            if (rect.contains(point))
                return index;
        }
    }
    return -1;
}

void CoverFlowView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    painter.fillRect(rect(), Qt::black);

    // Farthest first, so nearer items cover them; the selected one last.
    QList<int> order;
    for (int i = 0; i < _items.size(); ++i)
        order.append(i);
    std::sort(order.begin(), order.end(),
              [this](int a, int b) { return std::abs(a - _selected) > std::abs(b - _selected); });
    for (int index : order) {
        qreal turn = 0;
        const QRectF rect = itemRect(index, &turn);
        if (rect.right() < -rect.width() || rect.left() > width() + rect.width())
            continue;
        const QImage& image = _items[index].image;
        QSizeF fitted = image.isNull() ? rect.size() : QSizeF(image.size());
        fitted.scale(rect.size(), Qt::KeepAspectRatio);
        const QRectF target(rect.center().x() - fitted.width() / 2, rect.bottom() - fitted.height(),
                            fitted.width(), fitted.height());
        QTransform transform;
        transform.translate(target.center().x(), target.bottom());
        transform.rotate(-turn * TurnAngle, Qt::YAxis);
        transform.translate(-target.center().x(), -target.bottom());
        painter.save();
        painter.setTransform(transform);
        if (image.isNull()) {
            painter.fillRect(target, QColor(60, 60, 60));
        } else {
            painter.drawImage(target, image);
            // The reflection: the picture upside down below it, fading out.
            QImage reflection =
                image.mirrored(false, true).convertToFormat(QImage::Format_ARGB32_Premultiplied);
            QPainter fade(&reflection);
            fade.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            QLinearGradient gradient(0, 0, 0, reflection.height() / 2.0);
            gradient.setColorAt(0, QColor(0, 0, 0, 90));
            gradient.setColorAt(1, QColor(0, 0, 0, 0));
            fade.fillRect(reflection.rect(), gradient);
            fade.end();
            painter.drawImage(target.translated(0, target.height()), reflection);
        }
        painter.restore();
    }

    // The title band with the selected item's title, the bottom band with its arrows.
    QLinearGradient title(0, 0, 0, _titleGradientHeight);
    title.setColorAt(0, _titleFrom);
    title.setColorAt(1, _titleTo);
    painter.fillRect(QRectF(0, 0, width(), _titleGradientHeight), title);
    if (_selected >= 0) {
        painter.setPen(Qt::white);
        painter.drawText(QRectF(8, 0, width() - 16, _titleGradientHeight), Qt::AlignCenter,
                         _items[_selected].title);
    }
    const qreal bottom = height() - _bottomGradientHeight;
    QLinearGradient band(0, bottom, 0, height());
    band.setColorAt(0, _bottomFrom);
    band.setColorAt(1, _bottomTo);
    painter.fillRect(QRectF(0, bottom, width(), _bottomGradientHeight), band);
    painter.setPen(_bottomLineColor);
    painter.drawLine(QPointF(0, bottom + 0.5), QPointF(width(), bottom + 0.5));
    const qreal middle = bottom + _bottomGradientHeight / 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(_arrowColor);
    QPainterPath arrows;
    arrows.addPolygon(
        QPolygonF({QPointF(12, middle), QPointF(20, middle - 5), QPointF(20, middle + 5)}));
    arrows.addPolygon(
        QPolygonF({QPointF(width() - 12.0, middle), QPointF(width() - 20.0, middle - 5),
                   QPointF(width() - 20.0, middle + 5)}));
    painter.drawPath(arrows);
}

void CoverFlowView::mousePressEvent(QMouseEvent* event)
{
    setFocus();
    const qreal bottom = height() - _bottomGradientHeight;
    if (event->position().y() >= bottom) {
        if (event->position().x() < 30)
            setSelectedIndex(_selected - 1);
        else if (event->position().x() > width() - 30)
            setSelectedIndex(_selected + 1);
        return;
    }
    const int index = indexAt(event->position());
    if (index >= 0)
        setSelectedIndex(index);
}

void CoverFlowView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const int index = indexAt(event->position());
    if (index >= 0 && index == _selected)
        Q_EMIT itemActivated(index);
}

void CoverFlowView::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left: setSelectedIndex(_selected - 1); break;
    case Qt::Key_Right: setSelectedIndex(_selected + 1); break;
    case Qt::Key_Home: setSelectedIndex(0); break;
    case Qt::Key_End: setSelectedIndex(int(_items.size()) - 1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (_selected >= 0)
            Q_EMIT itemActivated(_selected);
        break;
    default: QWidget::keyPressEvent(event);
    }
}

void CoverFlowView::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    const int step = std::abs(delta.x()) > std::abs(delta.y()) ? delta.x() : delta.y();
    if (step != 0)
        setSelectedIndex(_selected + (step < 0 ? 1 : -1));
}

} // namespace platform
