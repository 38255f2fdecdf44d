// The document's life: its defaults, change marking, window controllers, closing, the
// layout dictionary and the label-kind rule for auxiliary information.

#include "document/LBDocument.h"

#include "document/SheetRenderer.h"

#include "document/DimensionInfo.h"
#include "document/DocumentWindowController.h"
#include "graphics/LBProcessState.h"
#include "platform/core/Strings.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/PrintInfo.h"

#include <QFile>

#include <utility>

namespace {

QString selectionChangeName()
{
    return platform::LocalizedString(QStringLiteral("Selection Change"),
                                     QStringLiteral("UndoStrings"));
}

} // namespace

LBDocument::LBDocument(QObject* parent) : platform::Document(parent)
{
    const QString table = QStringLiteral("Miscellaneous");
    _documentGraphics = {Page{Layer(), Layer()}};
    _layerNames = {{platform::LocalizedString(QStringLiteral("Background"), table),
                    platform::LocalizedString(QStringLiteral("Foreground"), table)}};
    _selectedLayers = {1};
    _layerVisibility = {{true, true}};
    _layerPrinting = {{true, true}};
    bool printerAnswered = true;
    const platform::PrintInfo printInfo = platform::PrintInfo::sharedPrintInfo(&printerAnswered);
    _dimensionInfo = DimensionInfo::defaults(printInfo.paperSize());
    // A page made before the default printer answered keeps the print settings it was
    // made with, whatever the answer.
    if (!printerAnswered)
        _printInfo = printInfo;
    for (Face& f : _faces)
        f.backgroundColor = QColor::fromRgbF(0.5, 0.5, 0.5);
    _postnetBarcodeLocation = 0;
    _drawAuxiliaryInfo =
        static_cast<quint8>(platform::UserDefaults::standardUserDefaults().integerForKey(
            QStringLiteral("Draw Auxiliary Info")));
    createTemporaryFilePath();
    _temporaryFileExists = false;
    createTempFileTimer();
    _temporaryFileDirty = false;
    _makesPreviews = true;
    _labelRepeatCount = 1;
    _checkForOldFiles = true;
    _updateDocumentForPrintInfoChanges = true;
    // The toolbar's Print: through the print panel, as Print… does.
    addCommand(QStringLiteral("printDocument:"),
               [this](QObject*) { printShowingPrintPanel(true); });
    platform::NotificationCenter& center = platform::NotificationCenter::defaultCenter();
    _autoRecoverIntervalObserver =
        center.addObserver(LBAutoRecoverIntervalChanged, nullptr,
                           [this](const platform::Notification&) { createTempFileTimer(); });
    _imageQualityObserver = center.addObserver(
        LBImageQualityChanged, nullptr,
        [this](const platform::Notification& notification) { imageQualityChanged(&notification); });

    // Selection steps leave the document as it was, also when they are undone.
    connect(undoManager(), &platform::UndoManager::willCloseStep, this,
            [this](const QString& actionName) {
                if (actionName == selectionChangeName())
                    undoManager()->setCurrentGroupChangesDocument(false);
            });
}

LBDocument::~LBDocument()
{
    // A job's renderer going now must not complete the print on a document half gone.
    if (_printRenderingView) {
        _printRenderingView->setPrintingDocument(nullptr);
        _printRenderingView.reset();
    }
    _imageQualityObserver.reset();
    _autoRecoverIntervalObserver.reset();
    killTempFileTimer();
    deleteTemporaryFile();
    // The graphics may outlive the document (held by the pasteboard, say); they must not
    // reach it any more. The undo history goes first, with the graphics it holds.
    undoManager()->removeAllActions();
    for (Page& page : _documentGraphics) {
        for (Layer& layer : page) {
            for (const LBGraphicPtr& graphic : std::as_const(layer))
                graphic->setDocument(nullptr);
        }
    }
}

platform::UndoManager* LBDocument::undoManager() const
{
    return platform::Document::undoManager();
}

QString LBDocument::fileName() const
{
    return platform::Document::fileName();
}

void LBDocument::invalidateGraphic(LBGraphic* graphic)
{
    for (DocumentWindowController* controller : documentWindowControllers())
        controller->invalidateGraphic(graphic);
}

void LBDocument::registerUndo(std::function<void()> undo)
{
    undoManager()->registerUndo(this, std::move(undo));
}

// --- Change marking ---

void LBDocument::updateChangeCount(ChangeType change)
{
    if (change == ChangeCleared) {
        undoManager()->removeAllActions();
        _reallyChanged = false;
    } else if (change == ChangeDone) {
        if (!_reallyChanged && undoManager()->undoActionName() != selectionChangeName())
            _reallyChanged = true;
        ++_changeCount;
    }
    // Anything but a clearing is news for the AutoRecover copy.
    _temporaryFileDirty = change != ChangeCleared;
    platform::Document::updateChangeCount(change);
}

void LBDocument::makePassingChange(const std::function<void()>& change)
{
    undoManager()->disableUndoRegistration();
    const bool outer = std::exchange(_passingChange, true);
    change();
    _passingChange = outer;
    undoManager()->enableUndoRegistration();
}

bool LBDocument::isDocumentEdited() const
{
    return _reallyChanged && platform::Document::isDocumentEdited();
}

void LBDocument::resetChangeCount()
{
    updateChangeCount(ChangeCleared);
}

void LBDocument::resetThenSetChangeCount()
{
    updateChangeCount(ChangeCleared);
    updateChangeCount(ChangeDone);
}

// --- Window controllers and closing ---

void LBDocument::makeWindowControllers()
{
    DocumentWindowController* controller = DocumentWindowController::make();
    if (!controller)
        return;
    addWindowController(controller);
    if (_addQuarnLabelControls)
        controller->shouldAddQuarnLabelControls(true);
}

DocumentWindowController* LBDocument::windowController() const
{
    const QList<platform::WindowController*>& controllers = windowControllers();
    return controllers.isEmpty() ? nullptr
                                 : qobject_cast<DocumentWindowController*>(controllers.first());
}

QList<DocumentWindowController*> LBDocument::documentWindowControllers() const
{
    QList<DocumentWindowController*> controllers;
    for (platform::WindowController* controller : windowControllers()) {
        if (auto* documentController = qobject_cast<DocumentWindowController*>(controller))
            controllers.append(documentController);
    }
    return controllers;
}

void LBDocument::close()
{
    removeRetainers();
    platform::Document::close();
}

void LBDocument::removeRetainers()
{
    killTempFileTimer();
    undoManager()->removeAllActionsWithTarget(this);
    _imageQualityObserver.reset();
    _autoRecoverIntervalObserver.reset();
    cancelPreviousPerformRequests();
    _forcedTemporarySavePending = false;
}

void LBDocument::resetDrawAuxiliaryInfoFlagIfNecessary()
{
    qint64 kind = DimensionInfo::integer(_dimensionInfo, DimensionInfo::labelType);
    const QString maker = DimensionInfo::text(_dimensionInfo, DimensionInfo::paperManufacturer);
    if (maker == QLatin1String("DYMO"))
        kind = 99;
    else if (maker == QLatin1String("Seiko"))
        kind = 98;
    else if (maker == QLatin1String("Brother"))
        return;
    if (kind >= 5 && !(kind >= 97 && kind <= 99))
        _drawAuxiliaryInfo = 0;
}

// --- Layout dictionary ---

void LBDocument::setDimensionInfo(const QVariantMap& info)
{
    const QVariantMap previous = _dimensionInfo;
    registerUndo([this, previous] { setDimensionInfo(previous); });
    _dimensionInfo = info;
    undoManager()->setActionName(platform::LocalizedString(QStringLiteral("Change Dimensions"),
                                                           QStringLiteral("UndoStrings")));
    for (DocumentWindowController* controller : documentWindowControllers())
        controller->setupForDocument();
}

qint64 LBDocument::dimensionType() const
{
    return DimensionInfo::integer(_dimensionInfo, DimensionInfo::documentType);
}

QSizeF LBDocument::documentSize() const
{
    return QSizeF(DimensionInfo::real(_dimensionInfo, DimensionInfo::pageWidth),
                  DimensionInfo::real(_dimensionInfo, DimensionInfo::pageHeight));
}

QSizeF LBDocument::editableDocumentSize() const
{
    if (dimensionType() != 1)
        return documentSize();
    return QSizeF(DimensionInfo::real(_dimensionInfo, DimensionInfo::labelWidth),
                  DimensionInfo::real(_dimensionInfo, DimensionInfo::labelHeight));
}

// --- Print settings ---

platform::PrintInfo LBDocument::printInfo()
{
    if (!_printInfo)
        _printInfo = platform::PrintInfo::sharedPrintInfo();
    return *_printInfo;
}

void LBDocument::setPrintInfo(const platform::PrintInfo& printInfo)
{
    for (DocumentWindowController* controller : documentWindowControllers())
        controller->setupForDocument();
    using Orientation = platform::PrintInfo::Orientation;
    const Orientation oldOrientation = this->printInfo().orientation();
    _printInfo = printInfo;

    DocumentWindowController* controller = windowController();
    if (!controller || !_updateDocumentForPrintInfoChanges)
        return;
    // The orientation the label kind expects, and whether its labels turn with the paper.
    const qint64 kind = DimensionInfo::integer(_dimensionInfo, DimensionInfo::labelType);
    Orientation expected = oldOrientation;
    bool turns = false;
    switch (kind) {
    case 6:
        expected = Orientation::Portrait;
        turns = true;
        break;
    case 2:
    case 4:
    case 8:
    case 10:
    case 12:
    case 14:
    case 18:
        expected = Orientation::Landscape;
        turns = true;
        break;
    case 5: expected = Orientation::Landscape; break;
    case 7:
    case 17: turns = true; break;
    default: break;
    }
    const Orientation chosen = printInfo.orientation();
    if (chosen == expected)
        return;
    if (turns)
        controller->swapDimensionsInDict(_dimensionInfo, chosen == Orientation::Landscape);
    controller->chooseBlankLayout(_dimensionInfo, false, _multipageType, !turns, false, false,
                                  false);
}

void LBDocument::ourSetPrintInfo(const platform::PrintInfo& printInfo)
{
    const bool update = std::exchange(_updateDocumentForPrintInfoChanges, false);
    setPrintInfo(printInfo);
    _updateDocumentForPrintInfoChanges = update;
}

// --- Process-wide states ---

bool LBDocument::isPrinting()
{
    return LBProcessState::isPrinting();
}

void LBDocument::setPrinting(bool printing)
{
    LBProcessState::setPrinting(printing);
}

bool LBDocument::isPrintJobRunning()
{
    return LBProcessState::isPrintJobRunning();
}

void LBDocument::setPrintJobRunning(bool running)
{
    LBProcessState::setPrintJobRunning(running);
}
