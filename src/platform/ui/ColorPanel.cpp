#include "platform/ui/ColorPanel.h"

#include <QColorDialog>
#include <QPointer>

namespace platform {

namespace {

bool alphaShown = false;
QPointer<QColorDialog> panel;

} // namespace

QColorDialog* ColorPanel::sharedColorPanel()
{
    if (!panel) {
        panel = new QColorDialog;
        panel->setOption(QColorDialog::NoButtons);
        panel->setOption(QColorDialog::ShowAlphaChannel, alphaShown);
    }
    return panel;
}

bool ColorPanel::showsAlpha()
{
    return alphaShown;
}

void ColorPanel::setShowsAlpha(bool shows)
{
    alphaShown = shows;
    if (panel)
        panel->setOption(QColorDialog::ShowAlphaChannel, shows);
}

} // namespace platform
