// The window's merge, print and export share, forwarded to its merge services.

#include "window/LBWindowController.h"

#include "document/LBDocument.h"

MergeServices* LBWindowController::mergeServices()
{
    if (!_mergeServices)
        _mergeServices = MergeServices::make(*this);
    return _mergeServices.get();
}

qint64 LBWindowController::numSelectedPeople()
{
    MergeServices* services = mergeServices();
    return services ? services->numSelectedPeople() : 1;
}

qint64 LBWindowController::labelRepeatCount() const
{
    const LBDocument* doc = document();
    return doc ? doc->labelRepeatCount() : 1;
}

QString LBWindowController::contactUIDForIndex(qint64 index, const QString& currentUID)
{
    MergeServices* services = mergeServices();
    return services ? services->contactUIDForIndex(index, currentUID) : QString();
}

void LBWindowController::openEnvelopeFeedSheet()
{
    if (MergeServices* services = mergeServices())
        services->openEnvelopeFeedSheet();
}

void LBWindowController::printOpDidRun()
{
    if (MergeServices* services = mergeServices())
        services->printOpDidRun();
}

bool LBWindowController::checkRecordsForOutput()
{
    MergeServices* services = mergeServices();
    return !services || services->checkRecordsForOutput();
}
