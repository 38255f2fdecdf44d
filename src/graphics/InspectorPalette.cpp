#include "graphics/InspectorPalette.h"

#include <QWidget>

void InspectorPalette::resetAndHide()
{
    setSelectedGraphicView(nullptr);
    if (QWidget* w = window())
        w->hide();
}
