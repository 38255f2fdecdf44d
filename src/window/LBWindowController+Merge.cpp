// The window's merge, print and export share, forwarded to its merge services.

#include "window/LBWindowController.h"

#include "controls/LBSplitView.h"
#include "document/LBDocument.h"
#include "graphics/LBTextArea.h"
#include "platform/ui/Toolbar.h"

#include "platform/text/AttributedString.h"
#include <QWidget>

#include <algorithm>

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

// ==== Contacts and merge fields, answered by the merge ==================================

void LBWindowController::scanGraphicsForContactFields()
{
    MergeServices* services = mergeServices();
    const MergeServices::ContactFieldScan scan =
        services ? services->scanGraphicsForContactFields() : MergeServices::ContactFieldScan();
    _foundDeliveryAddress = scan.deliveryAddress;
    _foundReturnAddress = scan.returnAddress;
    _foundOtherContactField = scan.otherContactField;
    _foundActivityField = scan.activityField;
}

void LBWindowController::showOrHideColumnsAsNecessary(qint64 mode)
{
    if (MergeServices* services = mergeServices())
        services->showOrHideColumnsAsNecessary(mode);
}

std::shared_ptr<LBTextArea>
LBWindowController::textObjForPreformattedFieldStr(const QString& fieldStr)
{
    MergeServices* services = mergeServices();
    return services ? services->textObjForPreformattedFieldStr(fieldStr) : nullptr;
}

QString LBWindowController::dateStringForDate(const QDateTime& date, qint64 formatIndex) const
{
    MergeServices* services = const_cast<LBWindowController*>(this)->mergeServices();
    return services ? services->dateStringForDate(date, formatIndex)
                    : CanvasHost::dateStringForDate(date, formatIndex);
}

QString LBWindowController::timeStringForDate(const QDateTime& date, qint64 formatIndex) const
{
    MergeServices* services = const_cast<LBWindowController*>(this)->mergeServices();
    return services ? services->timeStringForDate(date, formatIndex)
                    : CanvasHost::timeStringForDate(date, formatIndex);
}

QString LBWindowController::phoneFormatStringAtIndex(qint64 index) const
{
    MergeServices* services = const_cast<LBWindowController*>(this)->mergeServices();
    return services ? services->phoneFormatStringAtIndex(index)
                    : CanvasHost::phoneFormatStringAtIndex(index);
}

std::optional<platform::AttributedString>
LBWindowController::preformattedAddressStringForFieldStr(const QString& fieldStr, bool isMyField)
{
    MergeServices* services = mergeServices();
    return services ? services->preformattedAddressStringForFieldStr(fieldStr, isMyField)
                    : std::nullopt;
}

// ==== The contact columns ===============================================================

void LBWindowController::showColumns()
{
    _showColumns = true;
    if (!_previewSplitView || !_previewView)
        return;
    if (_previewView->parentWidget() != _previewSplitView) {
        _previewSplitView->insertWidget(2, _previewView);
        // Design mode hid the preview; a hidden pane gets no room in the split.
        _previewView->show();
        // The columns come back as wide as they were; the preview takes the rest.
        if (_groupViewWidth > 0 && _personViewWidth > 0) {
            const int group = int(_groupViewWidth);
            const int people = int(_personViewWidth);
            const int rest =
                _previewSplitView->width() - 2 * _previewSplitView->handleWidth() - group - people;
            _previewSplitView->setSizes({group, people, std::max(rest, 0)});
        }
    }
    _groupColumn->show();
    _peopleColumn->show();
    if (_mode == PreviewMode)
        _previewSplitView->show();
    layOutContent();
}

void LBWindowController::hideColumns()
{
    _showColumns = false;
    if (!_previewSplitView || !_previewView)
        return;
    _groupViewWidth = _groupColumn->width();
    _personViewWidth = _peopleColumn->width();
    const bool visible = _previewSplitView->isVisible();
    _previewView->setParent(_contentView);
    _previewSplitView->hide();
    if (visible || _mode == PreviewMode)
        _previewView->show();
    layOutContent();
    // The room the columns took is no longer kept.
    updateMinimumWindowSize();
}

void LBWindowController::setSearchItemShown(bool shown)
{
    if (!_toolbar || !_toolbar->identifier().startsWith(QLatin1String("LBViewModeToolbarID")))
        return;
    const bool first = !_toolbar->itemIdentifiers().isEmpty()
                       && _toolbar->itemIdentifiers().first() == QLatin1String("LBSearchID");
    if (shown && !first)
        _toolbar->insertItemWithItemIdentifier(QStringLiteral("LBSearchID"), 0);
    else if (!shown && first)
        _toolbar->removeItemAtIndex(0);
}
