#include "platform/ui/UtilityWindow.h"

#include "platform/ui/WindowController.h"

#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace platform {

UtilityWindow::UtilityWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint), _contentView(new QWidget(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(_contentView);
    WindowController::forwardMenuKeysFromFields(this);
}

UtilityWindow::~UtilityWindow() = default;

void UtilityWindow::setFrame(const QRect& frame)
{
    setGeometry(frame);
}

void UtilityWindow::attachToWindow(QWidget* parent)
{
    QWidget* window = parent ? parent->window() : nullptr;
    if (window && parentWidget() != window) {
        const QRect frame = geometry();
        setParent(window, windowFlags());
        setGeometry(frame);
    }
    show();
    raise();
}

void UtilityWindow::detachFromWindow()
{
    hide();
}

void UtilityWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void UtilityWindow::keyPressEvent(QKeyEvent* event)
{
    if (WindowController::performKeyEquivalentInMainWindow(event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

} // namespace platform
