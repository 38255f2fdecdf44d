#pragma once

// Small pieces the panes share: the items of a HUD pop-up told apart by integer tags
// (separators included), and a pop-up whose face shows the chosen item's picture.

#include "inspector/HUDControls.h"

#include <QIcon>
#include <QList>

class QAction;

namespace hudpopup {

// Every item in order, separators included.
QList<QAction*> items(const HUDPopUpButton* popup);
void removeAllItems(HUDPopUpButton* popup);
QAction* addItem(HUDPopUpButton* popup, const QString& title, int tag, const QIcon& icon = QIcon());
void addSeparator(HUDPopUpButton* popup);
// The first item of the tag (never a separator); nullptr for none.
QAction* itemWithTag(const HUDPopUpButton* popup, int tag);
// Selects the item of the tag; false (and the selection kept) when there is none.
bool selectItemWithTag(HUDPopUpButton* popup, int tag);
// The selected item's tag; -1 without a selection.
int selectedTag(const HUDPopUpButton* popup);

} // namespace hudpopup

// A HUD pop-up whose face shows the chosen item's picture before its title.
class HUDImagePopUpButton : public HUDPopUpButton
{
    Q_OBJECT
public:
    explicit HUDImagePopUpButton(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
