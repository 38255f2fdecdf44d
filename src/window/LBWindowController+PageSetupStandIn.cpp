// Stand-in for the page set-up until it lands: the layout's page size, else its label
// size; print settings left as they are.

#include "window/LBWindowController.h"

#include "document/DimensionInfo.h"

QSizeF LBWindowController::pixelDimensionsForPaper(const QVariantMap& layout)
{
    const QSizeF page(DimensionInfo::real(layout, DimensionInfo::pageWidth),
                      DimensionInfo::real(layout, DimensionInfo::pageHeight));
    if (!page.isEmpty())
        return page;
    return QSizeF(DimensionInfo::real(layout, DimensionInfo::labelWidth),
                  DimensionInfo::real(layout, DimensionInfo::labelHeight));
}

void LBWindowController::initializePageSetup(bool forEnvelopeFeed)
{
    Q_UNUSED(forEnvelopeFeed);
}
