#include "platform/ui/ColorWell.h"

#include "platform/ui/ColorPanel.h"

#include <QColorDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>

namespace platform {

namespace {

QPointer<ColorWell> active;
QMetaObject::Connection panelConnection;

} // namespace

ColorWell::ColorWell(QWidget* parent) : QWidget(parent)
{
    setMinimumSize(16, 12);
    setFocusPolicy(Qt::NoFocus);
}

ColorWell::~ColorWell()
{
    if (active == this)
        deactivate();
}

ColorWell* ColorWell::activeWell()
{
    return active;
}

bool ColorWell::isActive() const
{
    return active == this;
}

void ColorWell::setColor(const QColor& color)
{
    _color = color;
    if (isActive()) {
        QColorDialog* panel = ColorPanel::sharedColorPanel();
        const QSignalBlocker blocker(panel);
        panel->setCurrentColor(color);
    }
    update();
}

void ColorWell::activate()
{
    if (isActive())
        return;
    if (active)
        active->deactivate();
    active = this;
    QColorDialog* panel = ColorPanel::sharedColorPanel();
    {
        const QSignalBlocker blocker(panel);
        panel->setCurrentColor(_color);
    }
    panelConnection =
        connect(panel, &QColorDialog::currentColorChanged, this, &ColorWell::panelColorChanged);
    panel->show();
    panel->raise();
    update();
}

void ColorWell::deactivate()
{
    if (!isActive())
        return;
    QObject::disconnect(panelConnection);
    active = nullptr;
    update();
}

void ColorWell::panelColorChanged(const QColor& color)
{
    if (!isActive() || color == _color)
        return;
    _color = color;
    update();
    Q_EMIT colorChanged(color);
}

void ColorWell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    // A checkerboard under a translucent colour.
    if (_color.alpha() < 255) {
        const int cell = 4;
        for (int y = 0; y < height(); y += cell)
            for (int x = 0; x < width(); x += cell)
                painter.fillRect(x, y, cell, cell,
                                 ((x + y) / cell) % 2 ? Qt::lightGray : Qt::white);
    }
    painter.fillRect(frame.adjusted(2, 2, -2, -2), _color);
    painter.setPen(isActive() ? QPen(Qt::white, 1.0) : QPen(QColor(0x8a, 0x8a, 0x8a), 1.0));
    if (!isEnabled())
        painter.setOpacity(0.5);
    painter.drawRect(frame);
}

void ColorWell::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    isActive() ? deactivate() : activate();
}

} // namespace platform
