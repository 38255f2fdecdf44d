// Restoring a chooser from a document's project description, handing the chosen layout to
// the window (with the address prompts), writing the new description, closing the
// chooser and opening existing documents from it.

#include "layouts/LBLayoutSheetController.h"

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "layouts/LBPaperSizeController.h"
#include "layouts/LBTemplateObject.h"
#include "layouts/LayoutSheetHost.h"
#include "platform/core/Error.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentController.h"
#include "platform/ui/DocumentFileDialog.h"

#include <QDialog>
#include <QFileInfo>

#include <vector>

namespace {

using Info = DimensionInfo;

const QString projectTypeKey = QStringLiteral("ProjectType");
const QString manufacturerNameKey = QStringLiteral("ManufacturerName");
const QString cardStockNameKey = QStringLiteral("CardStockName");
const QString horizontalKey = QStringLiteral("IsHorizontalDocType");

QString noteText()
{
    return LBLayoutSheetController::dialogString(
        QStringLiteral("Note: in order for your contact list to appear, your design must "
                       "contain at least one DELIVERY address field."));
}

} // namespace

qint64 LBLayoutSheetController::projectTypeForMatchedSetLabelType(qint64 labelType)
{
    if (labelType < 5 || (labelType >= 97 && labelType <= 99))
        return AddressLabelsProject;
    if (labelType == 5 || labelType == 6)
        return EnvelopesProject;
    if (labelType == 7 || labelType == 8)
        return LetterheadProject;
    return MatchedSetsProject;
}

void LBLayoutSheetController::setFromProjectDescription(const QVariantMap& description)
{
    const qint64 type = projectTypeOfDescription(description);
    _selectedProjectType = type;
    const QString name = projectNameForType(type);
    const QString maker = Info::text(description, manufacturerNameKey);
    const QString code = Info::text(description, cardStockNameKey);
    _sheetMode =
        (!maker.isEmpty() || !code.isEmpty())
        && (type >= AddressLabelsProject || type == EnvelopesProject || type == DiscLabelsProject);
    selectProjectType(type);
    if (!_sheetMode) {
        goToStep(CustomSizeStep);
        return;
    }
    goToStep(FormatStep);

    if (maker.isEmpty()) {
        _manufacturerPopup.selected = 0;
    } else {
        populateManufacturerPopupMenu();
        QString title = maker;
        if (title.endsWith(QLatin1String("(US Letter)")))
            title = title.chopped(11) + QStringLiteral("(US)");
        const qint64 index = _manufacturerPopup.items.indexOf(title);
        _manufacturerPopup.selected = index >= 0 ? index : 0;
    }
    manufacturerAction();
    if (type >= AddressLabelsProject) {
        for (qsizetype i = 0; i < _labelTypePopup.items.size(); ++i) {
            if (!_labelTypePopup.isSeparator(i) && name.startsWith(_labelTypePopup.items.at(i))) {
                _labelTypePopup.selected = i;
                break;
            }
        }
        labelTypeAction();
    }
    qint64 row = firstRowWithCode(code, false);
    if (row < 0) {
        if (type != EnvelopesProject) {
            _labelTypePopup.selected = 0;
            labelTypeAction();
        } else {
            _formatUnitsColumn = _formatUnitsColumn == 0 ? 1 : 0;
            formatUnitsTypeAction();
        }
        row = firstRowWithCode(code, false);
    }
    if (row >= 0)
        selectRow(row);
    _pageOrientationColumn = Info::text(description, horizontalKey) == QLatin1String("YES") ? 0 : 1;
    Q_EMIT changed();
}

void LBLayoutSheetController::endSheet()
{
    _ended = true;
    if (_sheet)
        _sheet->hide();
}

void LBLayoutSheetController::writeProjectDescription(qint64 projectType, bool withNames,
                                                      bool horizontal)
{
    LBDocument* document = _host ? _host->document() : nullptr;
    if (document) {
        document->setProjectDescription({
            {projectTypeKey, projectType},
            {manufacturerNameKey, withNames ? _selectedManufacturerName : QString()},
            {cardStockNameKey, withNames ? _selectedCardStockName : QString()},
            {horizontalKey, horizontal ? QStringLiteral("YES") : QStringLiteral("NO")},
        });
    }
    if (_host)
        _host->updateDescriptionText();
}

void LBLayoutSheetController::chooseDesignAction()
{
    const qint64 step = _stepIndex;
    const qint64 project = _selectedProjectType;
    if (_newDocumentLayout && step == TemplateStep) {
        _layoutSheetSize = _sheetFrame.size();
        _documentListWidth = _splitFirstPaneWidth;
    }
    const qint64 row = _selectedRow;
    const std::shared_ptr<LBTemplateObject> chosenTemplate =
        _templateArray.isEmpty()
            ? nullptr
            : _templateArray.value(_selectedTemplate >= 0 ? _selectedTemplate : 0,
                                   _templateArray.first());
    const bool blankTemplate = chosenTemplate && chosenTemplate->blankPaperSize().width() > 0;

    enum class HandOff { Sheet, Design, CustomSize } handOff = HandOff::CustomSize;
    if ((!_newDocumentLayout && step == FormatStep && row >= 0)
        || (step == TemplateStep && blankTemplate))
        handOff = HandOff::Sheet;
    else if (step == TemplateStep && chosenTemplate)
        handOff = HandOff::Design;

    // What there is to hand over is decided before the sheet ends: without it, the sheet
    // stays.
    if (handOff == HandOff::Sheet && !_newDocumentLayout)
        processCardStockSelection();
    const std::optional<QVariantMap> card = cardDictionaryAtIndex(row);
    std::optional<QVariantMap> layout;
    if (card)
        layout = expandDiscLabelsInDictionary(convertDimensionsToPoints(*card, false));
    if ((handOff == HandOff::Sheet && !layout)
        || (handOff == HandOff::CustomSize && !_paperSizeController) || !_host)
        return;
    endSheet();

    bool horizontal = false;
    qint64 recordedType = project;
    bool withNames = true;
    switch (handOff) {
    case HandOff::Design: {
        platform::UserDefaults::standardUserDefaults().setObject(
            chosenTemplate->path(), QStringLiteral("Layout Sheet Design File Path"));
        if (!layout && project == DiscLabelsProject)
            layout = QVariantMap{{QStringLiteral("labels"), QVariantList()}};
        const qint64 labelType =
            _host->chooseLayout(chosenTemplate->path(), layout, true,
                                designOffsetForTemplate(chosenTemplate->path()), project);
        horizontal = isHorizontalLabelType(labelType);
        if (project == MatchedSetsProject)
            recordedType = projectTypeForMatchedSetLabelType(labelType);
        break;
    }
    case HandOff::Sheet: {
        const QString category = Info::text(*layout, Info::category);
        const bool labels = category == layoutSheetString(QStringLiteral("Address Labels"));
        const bool envelopes = category == layoutSheetString(QStringLiteral("Envelopes"));
        if (_newDocumentLayout && (labels || envelopes)) {
            _savedLabelDict = *layout;
            _savedBlankVertical = _landscapeOrientationSelected;
            if (labels)
                promptToInsertAddress();
            else
                promptToInsertEnvelopeAddresses();
        } else {
            _host->chooseBlankLayout(*layout, false, project, _landscapeOrientationSelected,
                                     _newDocumentLayout, false, false);
        }
        horizontal = !_landscapeOrientationSelected;
        break;
    }
    case HandOff::CustomSize: {
        const QVariantMap custom = _paperSizeController->dimensionInfo();
        horizontal = isHorizontalLabelType(Info::integer(custom, Info::labelType));
        withNames = false;
        _host->chooseBlankLayout(custom, true, project, false, _newDocumentLayout, false, false);
        break;
    }
    }
    writeProjectDescription(recordedType, withNames, horizontal);
}

void LBLayoutSheetController::promptToInsertAddress()
{
    platform::Alert alert;
    alert.messageText =
        dialogString(QStringLiteral("Do you want to add a pre-formatted address to your label?"));
    alert.informativeText =
        dialogString(QStringLiteral("If you add a DELIVERY address, your contact list will appear "
                                    "in Preview mode and a label will automatically be created "
                                    "for every contact you select."))
        + QStringLiteral("\r\r") + noteText();
    alert.buttons = {dialogString(QStringLiteral("Add Delivery Address")),
                     dialogString(QStringLiteral("Add Return Address")),
                     dialogString(QStringLiteral("Leave Blank"))};
    QPointer<LBLayoutSheetController> self(this);
    alert.beginSheetModalForWindow(_host ? _host->window() : nullptr,
                                   [self](const platform::Alert::Response& response) {
                                       if (self)
                                           self->insertAddressPromptDidEnd(response.returnCode);
                                   });
}

void LBLayoutSheetController::promptToInsertEnvelopeAddresses()
{
    platform::Alert alert;
    alert.messageText = dialogString(
        QStringLiteral("Do you want to add pre-formatted address fields to your envelope?"));
    alert.informativeText =
        dialogString(QStringLiteral("RETURN and DELIVERY address fields will be added to the "
                                    "envelope. When you switch to Preview mode, your contact "
                                    "list will appear and an envelope will automatically be "
                                    "created for every contact you select."))
        + QStringLiteral("\r\r") + noteText();
    alert.buttons = {dialogString(QStringLiteral("Add Address Fields")),
                     dialogString(QStringLiteral("Leave Envelope Blank"))};
    QPointer<LBLayoutSheetController> self(this);
    alert.beginSheetModalForWindow(
        _host ? _host->window() : nullptr, [self](const platform::Alert::Response& response) {
            if (self)
                self->insertEnvelopeAddressesPromptDidEnd(response.returnCode);
        });
}

void LBLayoutSheetController::insertAddressPromptDidEnd(int returnCode)
{
    const QVariantMap layout = std::exchange(_savedLabelDict, QVariantMap());
    if (_host)
        _host->chooseBlankLayout(layout, false, _selectedProjectType, _savedBlankVertical,
                                 _newDocumentLayout,
                                 returnCode == platform::Alert::FirstButtonReturn,
                                 returnCode == platform::Alert::SecondButtonReturn);
}

void LBLayoutSheetController::insertEnvelopeAddressesPromptDidEnd(int returnCode)
{
    const QVariantMap layout = std::exchange(_savedLabelDict, QVariantMap());
    const bool both = returnCode == platform::Alert::FirstButtonReturn;
    if (_host)
        _host->chooseBlankLayout(layout, false, _selectedProjectType, _savedBlankVertical,
                                 _newDocumentLayout, both, both);
}

void LBLayoutSheetController::closeDocumentAction()
{
    if (_newDocumentLayout && _stepIndex == FormatStep)
        _layoutSheetSize = _sheetFrame.size();
    if (_newDocumentLayout && _stepIndex == FormatStep)
        _documentListWidth = _splitFirstPaneWidth;
    LayoutSheetHost* host = _host;
    LBDocument* document = host ? host->document() : nullptr;
    if (host) {
        host->removeLayoutSheetController();
    } else {
        removeFromOpenControllers(this);
        deleteLater();
    }
    endSheet();
    if (_newDocumentLayout && document)
        document->close();
}

void LBLayoutSheetController::openFileAction()
{
    platform::DocumentFileDialog dialog(sheet(), platform::DocumentFileDialog::Open,
                                        {QStringLiteral("quarnl"), QStringLiteral("quarnlb"),
                                         QStringLiteral("quarnev"), QStringLiteral("quarnpg")});
    dialog.setWindowModality(Qt::WindowModal);
    if (dialog.exec() != QDialog::Accepted)
        return;
    openFiles(dialog.selectedDocumentPaths());
}

qint64 LBLayoutSheetController::openFiles(const QStringList& paths)
{
    // Through the document controller like every other way of opening a file: a document
    // already open comes forward instead of a second copy that would save over it, and a
    // save cut short is mended first.
    platform::DocumentController& documents =
        platform::DocumentController::sharedDocumentController();
    qint64 count = 0;
    QStringList failures;
    for (const QString& path : paths) {
        platform::Error error;
        if (documents.readDocument(path, &error))
            ++count;
        else
            failures.append(
                QStringLiteral("%1: %2").arg(QFileInfo(path).fileName(), error.description));
    }
    if (!failures.isEmpty()) {
        platform::Alert alert;
        alert.messageText = dialogString(QStringLiteral("The document could not be opened."));
        alert.informativeText = failures.join(QLatin1Char('\r'));
        alert.beginSheetModalForWindow(_sheet && _sheet->isVisible() ? _sheet.data() : nullptr);
    }
    if (count > 0)
        closeDocumentAction();
    return count;
}
