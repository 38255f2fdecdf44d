// The wizard: which step shows, how the sheet is sized for it, the moves between steps,
// the split view of the template step, and the user's named custom layouts of the custom
// step.
//
// Sizes are of the sheet's client area; the sheet keeps its top edge and its horizontal
// centre when it is resized.

#include "layouts/LBLayoutSheetController.h"

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "layouts/LBPaperSizeController.h"
#include "layouts/LBTemplateObject.h"
#include "layouts/LayoutSheetHost.h"
#include "platform/core/PropertyList.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"

#include <QDateTime>
#include <QDebug>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cmath>
#include <utility>

namespace {

using Info = DimensionInfo;

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

constexpr double projectTypeHeight = 277;
constexpr double projectTypeWidth = 654;
constexpr double formatMinimumHeight = 497;

const QString customLayoutMaker = QStringLiteral("Quarn");

// Whether a saved custom layout is the one a document holds: the same kind, grid and
// lengths (in single precision, as they pass through the pane's fields), with the radius
// the document would have been given from it.
bool isSameCustomLayout(const QVariantMap& custom, const QVariantMap& layout)
{
    for (const QString& key : {Info::labelType, Info::numRows, Info::numColumns}) {
        if (Info::integer(custom, key) != Info::integer(layout, key))
            return false;
    }
    for (const QString& key : {Info::labelWidth, Info::labelHeight, Info::topMargin,
                               Info::leftMargin, Info::hLabelSpace, Info::vLabelSpace}) {
        if (float(Info::real(custom, key)) != float(Info::real(layout, key)))
            return false;
    }
    const auto radius = [](const QVariantMap& info) {
        return Info::hasRoundedCorners(Info::integer(info, Info::labelType))
                   ? float(Info::real(info, Info::cornerRadius))
                   : 0.0f;
    };
    return radius(custom) == radius(layout);
}

} // namespace

void LBLayoutSheetController::setFrameCentred(double width, double height, bool clampBottom)
{
    const double centre = _sheetFrame.center().x();
    QRectF frame(centre - width / 2, _sheetFrame.top(), width, height);
    if (clampBottom && _screenBottom > 0 && frame.bottom() > _screenBottom)
        frame.setHeight(std::max(0.0, frame.height() - (frame.bottom() - _screenBottom)));
    _sheetFrame = frame;
}

void LBLayoutSheetController::goToStep(qint64 step)
{
    const qint64 old = _stepIndex;
    const bool resize =
        (step == FormatStep && old != TemplateStep) || (step == TemplateStep && old != FormatStep);
    _stepIndex = step;

    // The step shown goes out.
    if (step != ProjectTypeStep && _shownStep == ProjectTypeStep) {
        _shownStep = -1;
    } else if ((step != FormatStep && _shownStep == FormatStep)
               || (step != TemplateStep && _shownStep == TemplateStep)) {
        _layoutSheetSize = _sheetFrame.size();
        _documentListWidth = _splitFirstPaneWidth;
        _shownStep = -1;
    } else if (step != CustomSizeStep && _shownStep == CustomSizeStep) {
        _shownStep = -1;
        // Leaving stores the pane's edits in the selected custom layout.
        _customLayoutPopup.selected = 0;
        customLayoutAction(0);
    }
    if (_shownStep == step) {
        Q_EMIT changed();
        return;
    }

    switch (step) {
    case ProjectTypeStep:
        setFrameCentred(projectTypeWidth, projectTypeHeight, false);
        _minimumSize = _maximumSize = QSizeF(projectTypeWidth, projectTypeHeight);
        _shownStep = ProjectTypeStep;
        break;
    case FormatStep: {
        // The sheet takes the format step's size.
        const auto showFormatStep = [&] {
            if (resize) {
                setFrameCentred(_layoutSheetSize.width(),
                                std::max(_layoutSheetSize.height(), formatMinimumHeight), true);
            }
            _minimumSize = QSizeF(578, formatMinimumHeight);
            _maximumSize = QSizeF();
            _shownStep = FormatStep;
        };
        if (std::exchange(_formatSelectionKept, false) && old == CustomSizeStep) {
            // Back from the custom size: the maker, label type, search and row the user chose
            // are still the controller's.
            showFormatStep();
            break;
        }
        if (_selectedProjectType == AddressLabelsProject)
            _labelTypePopup.selected = 0;
        const QString prefix = defaults().stringForKey(
            _selectedProjectType == EnvelopesProject
                ? QStringLiteral("Layout Sheet Selected Envelope Type String")
            : _selectedProjectType == DiscLabelsProject
                ? QStringLiteral("Layout Sheet Selected Disc Type String 2")
                : QStringLiteral("Layout Sheet Selected PaperCode 2"));
        qint64 makerIndex = defaults().integerForKey(
            _selectedProjectType == DiscLabelsProject
                ? QStringLiteral("Layout Sheet Selected Disc Manufacturer 2")
                : QStringLiteral("Layout Sheet Selected Manufacturer 2"));
        if (makerIndex > 10000)
            makerIndex = 0;
        selectProjectType(_selectedProjectType);
        showFormatStep();
        if (_selectedProjectType >= AddressLabelsProject
            || _selectedProjectType == DiscLabelsProject || isBusinessCard()) {
            // A saved index at a separator or past the pop-up counts as the first.
            if (makerIndex < 0 || makerIndex >= _manufacturerPopup.items.size()
                || _manufacturerPopup.isSeparator(makerIndex))
                makerIndex = 0;
            _manufacturerPopup.selected = makerIndex;
            manufacturerAction();
        }
        qint64 row = firstRowWithCode(prefix, true);
        if (row < 0 && _selectedProjectType == EnvelopesProject) {
            _formatUnitsColumn = 1;
            formatUnitsTypeAction();
            row = firstRowWithCode(prefix, true);
        }
        if (row >= 0)
            selectRow(row);
        break;
    }
    case TemplateStep:
        if (_selectedProjectType >= 1 && _selectedProjectType < AddressLabelsProject
            && _selectedProjectType != DiscLabelsProject && !isBusinessCard())
            selectProjectType(_selectedProjectType);
        processCardStockSelection();
        if (showsTemplateUnits())
            _pageOrientationColumn = 1;
        if (resize)
            setFrameCentred(_layoutSheetSize.width(), _layoutSheetSize.height(), true);
        _minimumSize = QSizeF(548, 342);
        _maximumSize = QSizeF();
        _shownStep = TemplateStep;
        break;
    case CustomSizeStep: {
        setFrameCentred(661, _customWindowHeight, false);
        _minimumSize = _maximumSize = QSizeF(662, _customWindowHeight);
        _shownStep = CustomSizeStep;
        loadPaperSizeController();
        const std::optional<QVariantMap> card = _newDocumentLayout && _hasCardArray
                                                    ? cardDictionaryAtIndex(_selectedRow)
                                                    : std::nullopt;
        if (card) {
            _paperSizeController->setDimensionInfo(
                expandDiscLabelsInDictionary(convertDimensionsToPoints(*card, false)));
        } else {
            const LBDocument* document = _host ? _host->document() : nullptr;
            const QVariantMap layout = document ? document->dimensionInfo() : QVariantMap();
            _paperSizeController->setDimensionInfo(layout);
            for (qsizetype i = 0; i < _customLayoutsArray.size(); ++i) {
                if (isSameCustomLayout(_customLayoutsArray.at(i).toMap(), layout)) {
                    _customLayoutPopup.selected = i + 2;
                    _customLayoutIndex = i;
                    break;
                }
            }
        }
        paperSizeDidChange();
        break;
    }
    default: break;
    }
    Q_EMIT changed();
}

qint64 LBLayoutSheetController::firstRowWithCode(const QString& code, bool prefix) const
{
    const qint64 rows = numberOfRows();
    for (qint64 row = 0; row < rows; ++row) {
        const std::optional<QVariantMap> card = cardDictionaryAtIndex(row);
        if (!card)
            continue;
        const QString rowCode = Info::text(*card, Info::paperCode);
        if (prefix ? rowCode.startsWith(code) : rowCode == code)
            return row;
    }
    return -1;
}

void LBLayoutSheetController::continueAction()
{
    if (!_newDocumentLayout) {
        chooseDesignAction();
        return;
    }
    switch (_stepIndex) {
    case ProjectTypeStep:
        goToStep(_selectedProjectType == EnvelopesProject
                         || _selectedProjectType == DiscLabelsProject
                         || _selectedProjectType >= AddressLabelsProject
                     ? FormatStep
                     : TemplateStep);
        break;
    case FormatStep:
    case CustomSizeStep:
    case TemplateStep: goToStep(TemplateStep); break;
    default: break;
    }
}

void LBLayoutSheetController::goBackAction()
{
    if (_stepIndex == TemplateStep && _selectedProjectType >= 1
        && _selectedProjectType < AddressLabelsProject && _selectedProjectType != DiscLabelsProject)
        goToStep(ProjectTypeStep);
    else if (_stepIndex == CustomSizeStep)
        goToStep(_preCustomSizeStepIndex);
    else if (_stepIndex > ProjectTypeStep)
        goToStep(_stepIndex - 1);
}

void LBLayoutSheetController::customSizeAction()
{
    if (_selectedProjectType == DiscLabelsProject) {
        platform::Alert alert;
        alert.messageText =
            dialogString(QStringLiteral("Media labels don't support custom sizes."));
        alert.buttons = {dialogString(QStringLiteral("OK"))};
        alert.beginSheetModalForWindow(_sheet && _sheet->isVisible() ? _sheet.data() : nullptr);
        return;
    }
    _preCustomSizeStepIndex = _stepIndex;
    _formatSelectionKept = _stepIndex == FormatStep && _shownStep == FormatStep;
    goToStep(CustomSizeStep);
}

void LBLayoutSheetController::projectTypeAction(qint64 buttonType)
{
    switch (buttonType) {
    case AddressLabelsProject:
    case EnvelopesProject:
    case LetterheadProject:
    case MatchedSetsProject:
    case DiscLabelsProject: _selectedProjectType = buttonType; break;
    default: break;
    }
    Q_EMIT changed();
}

QString LBLayoutSheetController::projectButtonImages(qint64 buttonType) const
{
    const qint64 chosen =
        _selectedProjectType >= AddressLabelsProject ? AddressLabelsProject : _selectedProjectType;
    return chosen == buttonType ? QStringLiteral("Project1|Project1")
                                : QStringLiteral("Project0|Project1");
}

LBLayoutSheetController::SplitWidths
LBLayoutSheetController::splitViewResizeSubviews(double width, double dividerThickness)
{
    const double right = std::floor(width - _documentListWidth - dividerThickness);
    if (right >= 0)
        return {_documentListWidth, right};
    _ignoreNewDocumentListWidth = true;
    return {width - dividerThickness, 0};
}

void LBLayoutSheetController::splitViewDidResizeSubviews(double firstWidth)
{
    _splitFirstPaneWidth = firstWidth;
    if (!_ignoreNewDocumentListWidth)
        _documentListWidth = firstWidth;
    _ignoreNewDocumentListWidth = false;
}

// ---- Custom layouts ----

QString LBLayoutSheetController::customLayoutsPath()
{
    return QStringLiteral("%1Custom.plist").arg(LBProcessState::applicationSupportPath());
}

void LBLayoutSheetController::readCustomLayouts()
{
    _customLayoutsArray.clear();
    _customLayoutsLoaded = true;
    _customLayoutsReadable = true;
    QFile file(customLayoutsPath());
    if (!file.exists())
        return;
    QString error;
    std::optional<QVariant> list;
    if (file.open(QIODevice::ReadOnly))
        list = platform::PropertyList::read(file.readAll(), &error);
    if (!list || list->typeId() != QMetaType::QVariantList) {
        // Kept as it is until the user changes the list.
        _customLayoutsReadable = false;
        qWarning().noquote() << QStringLiteral("The custom layouts \"%1\" cannot be read%2")
                                    .arg(file.fileName(), error.isEmpty()
                                                              ? QString()
                                                              : QStringLiteral(": ") + error);
        return;
    }
    for (const QVariant& layout : list->toList()) {
        if (layout.typeId() == QMetaType::QVariantMap)
            _customLayoutsArray.append(layout);
    }
}

void LBLayoutSheetController::writeCustomLayouts()
{
    if (!_customLayoutsLoaded || !_customLayoutsReadable)
        return;
    const QString path = customLayoutsPath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(platform::PropertyList::toXml(_customLayoutsArray)) < 0 || !file.commit())
        qWarning().noquote() << QStringLiteral("The custom layouts cannot be written to \"%1\": %2")
                                    .arg(path, file.errorString());
}

void LBLayoutSheetController::paperSizeDidChange()
{
    if (!_paperSizeController)
        return;
    // A grid that runs off its page cannot be chosen.
    _chooseCustomDesignEnabled = !_paperSizeController->labelsOverflow();
    updateCustomPreviewImage(_paperSizeController->previewImage(),
                             _paperSizeController->landscapeOrientation());
}

void LBLayoutSheetController::loadPaperSizeController()
{
    if (_paperSizeController)
        return;
    _paperSizeController = std::make_unique<LBPaperSizeController>(this);
    readCustomLayouts();
    if (_customLayoutsArray.isEmpty()) {
        _customLayoutPopup.items.removeAt(2);
    } else {
        for (qsizetype i = 0; i < _customLayoutsArray.size(); ++i)
            _customLayoutPopup.items.insert(
                i + 2, Info::text(_customLayoutsArray.at(i).toMap(), Info::paperCode));
    }
    _oldMainViewHeight = 0;
}

void LBLayoutSheetController::saveSelectedLayoutWithName(const std::optional<QString>& name)
{
    if (_customLayoutIndex < 0 || _customLayoutIndex >= _customLayoutsArray.size()
        || !_paperSizeController)
        return;
    QVariantMap layout = _paperSizeController->dimensionInfo();
    // The pane may still hold the catalogue sheet the layout was made from.
    layout.insert(Info::paperManufacturer, customLayoutMaker);
    layout.insert(
        Info::paperCode,
        name ? *name
             : Info::text(_customLayoutsArray.at(_customLayoutIndex).toMap(), Info::paperCode));
    _customLayoutsArray[_customLayoutIndex] = layout;
}

void LBLayoutSheetController::customLayoutAction(qint64 index)
{
    _creatingNewCustomLayout = false;
    saveSelectedLayoutWithName(std::nullopt);
    const qint64 n = _customLayoutPopup.items.size();
    if (index == n - 3) {
        _creatingNewCustomLayout = true;
        _nameSheetText.clear();
        _nameSheetOpen = true;
    } else if (index == n - 2) {
        if (_customLayoutIndex >= 0) {
            _nameSheetText = _customLayoutPopup.items.value(_customLayoutIndex + 2);
            _nameSheetOpen = true;
        }
    } else if (index == n - 1) {
        if (_customLayoutIndex >= 0 && _customLayoutIndex < _customLayoutsArray.size()) {
            _customLayoutsArray.removeAt(_customLayoutIndex);
            _customLayoutPopup.items.removeAt(_customLayoutIndex + 2);
            if (_customLayoutsArray.isEmpty())
                _customLayoutPopup.items.removeAt(_customLayoutIndex + 2);
            _customLayoutsReadable = true;
        }
        _customLayoutIndex = -2;
        _customLayoutPopup.selected = 0;
    } else {
        _customLayoutPopup.selected = index;
        _customLayoutIndex = index - 2;
        if (_customLayoutIndex >= 0 && _customLayoutIndex < _customLayoutsArray.size()
            && _paperSizeController)
            _paperSizeController->setDimensionInfo(
                _customLayoutsArray.at(_customLayoutIndex).toMap());
        paperSizeDidChange();
    }
    Q_EMIT changed();
}

void LBLayoutSheetController::saveCustomNameAction(const QString& text)
{
    const QString name = text;
    _nameSheetOpen = false;
    _customLayoutsReadable = true;
    if (!_creatingNewCustomLayout) {
        if (_customLayoutIndex >= 0 && _customLayoutIndex < _customLayoutsArray.size()) {
            saveSelectedLayoutWithName(name);
            _customLayoutPopup.items[_customLayoutIndex + 2] = name;
            _customLayoutPopup.selected = _customLayoutIndex + 2;
        }
    } else if (_paperSizeController) {
        QVariantMap layout = _paperSizeController->dimensionInfo();
        layout.insert(Info::paperManufacturer, customLayoutMaker);
        layout.insert(Info::paperCode, name);
        _customLayoutsArray.append(layout);
        if (_customLayoutsArray.size() == 1)
            _customLayoutPopup.items.insert(2, QStringLiteral("-"));
        const qint64 at = _customLayoutPopup.items.size() - 4;
        _customLayoutPopup.items.insert(at, name);
        _customLayoutPopup.selected = at;
        _customLayoutIndex = _customLayoutsArray.size() - 1;
    }
    Q_EMIT changed();
}

void LBLayoutSheetController::cancelCustomNameAction()
{
    _customLayoutPopup.selected = _customLayoutIndex >= 0 ? _customLayoutIndex + 2 : 0;
    _nameSheetOpen = false;
    Q_EMIT changed();
}

bool LBLayoutSheetController::validateMenuItem(qint64 index) const
{
    if (_customLayoutIndex >= 0)
        return true;
    const qint64 n = _customLayoutPopup.items.size();
    return index != n - 1 && index != n - 2;
}

void LBLayoutSheetController::mainViewChangedSize(double newHeight)
{
    // Before the pane is in the sheet there is nothing to resize.
    const double change = _oldMainViewHeight - newHeight;
    if (_oldMainViewHeight == 0 || change == 0)
        return;
    _oldMainViewHeight = newHeight;
    QRectF frame = _sheetFrame;
    frame.setHeight(frame.height() - change);
    _sheetFrame = frame;
    _customWindowHeight = frame.height();
    _minimumSize = _maximumSize = frame.size();
    Q_EMIT changed();
}
