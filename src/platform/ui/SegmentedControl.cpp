#include "platform/ui/SegmentedControl.h"

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QToolTip>

namespace platform {

SegmentedCell::SegmentedCell() = default;
SegmentedCell::~SegmentedCell() = default;

void SegmentedCell::setSegmentCount(int count)
{
    _segments.resize(std::max(count, 0));
    if (_selected >= count)
        _selected = -1;
}

QString SegmentedCell::labelForSegment(int segment) const
{
    return segment >= 0 && segment < segmentCount() ? _segments[segment].label : QString();
}

void SegmentedCell::setLabel(const QString& label, int forSegment)
{
    if (forSegment >= 0 && forSegment < segmentCount())
        _segments[forSegment].label = label;
}

qreal SegmentedCell::widthForSegment(int segment) const
{
    return segment >= 0 && segment < segmentCount() ? _segments[segment].width : 0;
}

void SegmentedCell::setWidth(qreal width, int forSegment)
{
    if (forSegment >= 0 && forSegment < segmentCount())
        _segments[forSegment].width = width;
}

QPixmap SegmentedCell::imageForSegment(int segment) const
{
    return segment >= 0 && segment < segmentCount() ? _segments[segment].image : QPixmap();
}

void SegmentedCell::setImage(const QPixmap& image, int forSegment)
{
    if (forSegment >= 0 && forSegment < segmentCount())
        _segments[forSegment].image = image;
}

QString SegmentedCell::toolTipForSegment(int segment) const
{
    return segment >= 0 && segment < segmentCount() ? _segments[segment].toolTip : QString();
}

void SegmentedCell::setToolTip(const QString& toolTip, int forSegment)
{
    if (forSegment >= 0 && forSegment < segmentCount())
        _segments[forSegment].toolTip = toolTip;
}

bool SegmentedCell::isEnabledForSegment(int segment) const
{
    return segment >= 0 && segment < segmentCount() && _segments[segment].enabled;
}

void SegmentedCell::setEnabled(bool enabled, int forSegment)
{
    if (forSegment >= 0 && forSegment < segmentCount())
        _segments[forSegment].enabled = enabled;
}

void SegmentedCell::setSelectedSegment(int segment)
{
    _selected = segment >= 0 && segment < segmentCount() ? segment : -1;
}

qreal SegmentedCell::effectiveWidth(int segment, const QWidget* view) const
{
    const qreal width = widthForSegment(segment);
    if (width > 0)
        return width;
    const QPixmap image = imageForSegment(segment);
    if (!image.isNull())
        return image.deviceIndependentSize().width() + 12;
    const QFontMetricsF metrics(view ? view->font() : QFont());
    return metrics.horizontalAdvance(labelForSegment(segment)) + 16;
}

int SegmentedCell::segmentAtX(qreal x, const QWidget* view) const
{
    qreal left = 0;
    for (int i = 0; i < segmentCount(); ++i) {
        const qreal width = effectiveWidth(i, view);
        if (x >= left && x < left + width)
            return i;
        left += width;
    }
    return -1;
}

void SegmentedCell::drawWithFrame(QPainter& painter, const QRectF& frame, QWidget* view)
{
    qreal x = frame.x();
    for (int i = 0; i < segmentCount(); ++i) {
        const qreal width = effectiveWidth(i, view);
        drawSegment(painter, i, QRectF(x, frame.y(), width, frame.height()), view);
        x += width;
    }
}

void SegmentedCell::drawSegment(QPainter& painter, int segment, const QRectF& frame, QWidget* view)
{
    const QPalette palette = view ? view->palette() : QPalette();
    const bool down =
        segment == _highlighted || (_tracking == Tracking::SelectOne && segment == _selected);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box = frame.adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(palette.color(QPalette::Mid));
    painter.setBrush(down ? palette.color(QPalette::Mid) : palette.color(QPalette::Button));
    painter.drawRoundedRect(box, 3, 3);
    if (!isEnabledForSegment(segment))
        painter.setOpacity(0.5);
    const QPixmap image = imageForSegment(segment);
    if (!image.isNull()) {
        const QSizeF size = image.deviceIndependentSize();
        painter.drawPixmap(QRectF(frame.center() - QPointF(size.width(), size.height()) / 2, size),
                           image, QRectF(image.rect()));
    } else {
        painter.setPen(palette.color(QPalette::ButtonText));
        painter.drawText(frame, Qt::AlignCenter, labelForSegment(segment));
    }
    painter.restore();
}

SegmentedControl::SegmentedControl(QWidget* parent, std::unique_ptr<SegmentedCell> cell)
    : QWidget(parent), _cell(cell ? std::move(cell) : std::make_unique<SegmentedCell>())
{}

SegmentedControl::~SegmentedControl() = default;

int SegmentedControl::selectedSegment() const
{
    return _cell->trackingMode() == SegmentedCell::Tracking::Momentary ? _clicked
                                                                       : _cell->selectedSegment();
}

void SegmentedControl::setSelectedSegment(int segment)
{
    _cell->setSelectedSegment(segment);
    update();
}

QSize SegmentedControl::sizeHint() const
{
    qreal width = 0;
    for (int i = 0; i < _cell->segmentCount(); ++i)
        width += _cell->effectiveWidth(i, this);
    return QSize(int(width), 22);
}

void SegmentedControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    _cell->drawWithFrame(painter, QRectF(rect()), this);
}

void SegmentedControl::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const int segment = _cell->segmentAtX(event->position().x(), this);
    if (segment < 0 || !_cell->isEnabledForSegment(segment))
        return;
    _cell->setHighlightedSegment(segment);
    update();
}

void SegmentedControl::mouseReleaseEvent(QMouseEvent* event)
{
    const int pressed = _cell->highlightedSegment();
    _cell->setHighlightedSegment(-1);
    update();
    if (event->button() != Qt::LeftButton || pressed < 0)
        return;
    if (_cell->segmentAtX(event->position().x(), this) != pressed
        || !rect().contains(event->position().toPoint()))
        return;
    _clicked = pressed;
    if (_cell->trackingMode() == SegmentedCell::Tracking::SelectOne)
        _cell->setSelectedSegment(pressed);
    Q_EMIT activated(pressed);
}

bool SegmentedControl::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int segment = _cell->segmentAtX(help->pos().x(), this);
        const QString tip = _cell->toolTipForSegment(segment);
        if (!tip.isEmpty())
            QToolTip::showText(help->globalPos(), tip, this);
        else if (!toolTip().isEmpty())
            QToolTip::showText(help->globalPos(), toolTip(), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

} // namespace platform
