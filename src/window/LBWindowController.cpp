#include "window/LBWindowController.h"

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"

LBWindowController::LBWindowController(QObject* parent) : DocumentWindowController(parent)
{}

LBWindowController::~LBWindowController() = default;

void LBWindowController::invalidateGraphic(LBGraphic* graphic)
{
    Q_UNUSED(graphic);
}

void LBWindowController::setupForDocument()
{}

void LBWindowController::refreshWindow()
{}

void LBWindowController::switchToDesignMode(QObject* sender)
{
    Q_UNUSED(sender);
    if (_mode != DesignMode)
        _mode = DesignMode;
}

LBDocument* LBWindowController::lbDocument() const
{
    return qobject_cast<LBDocument*>(document());
}

bool LBWindowController::isEnvelope() const
{
    const LBDocument* document = lbDocument();
    if (!document)
        return false;
    const QVariantMap& layout = document->dimensionInfo();
    const qint64 type = DimensionInfo::integer(layout, DimensionInfo::labelType);
    const QString maker = DimensionInfo::text(layout, DimensionInfo::paperManufacturer);
    return (type == 5 || type == 6) && maker != QLatin1String("DYMO")
           && maker != QLatin1String("Seiko") && maker != QLatin1String("Brother");
}
