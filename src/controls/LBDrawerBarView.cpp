#include "controls/LBDrawerBarView.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

LBDrawerBarView::LBDrawerBarView(QWidget* parent) : QWidget(parent)
{}

LBDrawerBarView::~LBDrawerBarView() = default;

void LBDrawerBarView::setLabelString(const QString& label)
{
    _labelString = label;
    update();
}

QFont LBDrawerBarView::labelFont() const
{
    QFont font = QApplication::font();
    font.setPointSizeF(11);
    return font;
}

QRectF LBDrawerBarView::labelRect() const
{
    const QFontMetricsF metrics(labelFont());
    const QRectF bounds = metrics.boundingRect(QRectF(0, 0, width(), 0),
                                               Qt::AlignHCenter | Qt::TextWordWrap, _labelString);
    return QRectF(0, (height() - bounds.height()) / 2 + 1, width(), bounds.height());
}

void LBDrawerBarView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), barColor());
    const QColor halfBlack(0, 0, 0, 128), clear(0, 0, 0, 0);
    QLinearGradient top(0, 0, 0, 3);
    top.setColorAt(0, halfBlack);
    top.setColorAt(1, clear);
    painter.fillRect(QRectF(0, 0, width(), 3), top);
    QLinearGradient bottom(0, height(), 0, height() - 3);
    bottom.setColorAt(0, halfBlack);
    bottom.setColorAt(1, clear);
    painter.fillRect(QRectF(0, height() - 3, width(), 3), bottom);
    if (_labelString.isEmpty())
        return;
    painter.setFont(labelFont());
    const QRectF label = labelRect();
    const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    painter.setPen(QColor(0, 0, 0, 191));
    painter.drawText(label.translated(0, 1), flags, _labelString);
    painter.setPen(Qt::white);
    painter.drawText(label, flags, _labelString);
}
