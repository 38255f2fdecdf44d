#include "inspector/HUDPaneControls.h"

#include <QAction>
#include <QMenu>
#include <QPainter>

namespace hudpopup {

QList<QAction*> items(const HUDPopUpButton* popup)
{
    return popup->itemMenu()->actions();
}

void removeAllItems(HUDPopUpButton* popup)
{
    // The button keeps a plain pointer to its selection: forget it before the items go.
    popup->selectItem(nullptr);
    popup->itemMenu()->clear();
}

QAction* addItem(HUDPopUpButton* popup, const QString& title, int tag, const QIcon& icon)
{
    QAction* item = popup->addItem(title, tag);
    if (!icon.isNull())
        item->setIcon(icon);
    return item;
}

void addSeparator(HUDPopUpButton* popup)
{
    popup->itemMenu()->addSeparator();
}

QAction* itemWithTag(const HUDPopUpButton* popup, int tag)
{
    for (QAction* item : items(popup))
        if (!item->isSeparator() && item->data().isValid() && item->data().toInt() == tag)
            return item;
    return nullptr;
}

bool selectItemWithTag(HUDPopUpButton* popup, int tag)
{
    QAction* item = itemWithTag(popup, tag);
    if (!item)
        return false;
    popup->selectItem(item);
    return true;
}

int selectedTag(const HUDPopUpButton* popup)
{
    const QAction* item = popup->selectedItem();
    return item ? item->data().toInt() : -1;
}

} // namespace hudpopup

HUDImagePopUpButton::HUDImagePopUpButton(QWidget* parent) : HUDPopUpButton(false, parent)
{}

void HUDImagePopUpButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const HUDThreePart parts = HUDPopUpButtonCell::buttonImages(false, isDown());
    drawHUDThreePart(painter, parts, rect());
    const QAction* item = selectedItem();
    if (!item)
        return;
    double left = hudImageSize(parts.left).width() + 2;
    const double right = hudImageSize(parts.right).width();
    if (!item->icon().isNull()) {
        const int side = height() - 6;
        const QSize picture(side * 3 / 2, side);
        item->icon().paint(&painter, QRect(int(left), 3, picture.width(), picture.height()));
        left += picture.width() + 4;
    }
    const QRectF room(left, 0, width() - left - right, height());
    painter.setPen(Qt::white);
    painter.setFont(font());
    painter.drawText(
        room, Qt::AlignLeft | Qt::AlignVCenter,
        painter.fontMetrics().elidedText(item->text(), Qt::ElideRight, int(room.width())));
}
