// The entry to printing: the job's preparation (pictures at print resolution, zoom 1, page
// positions, an envelope fitted to the feed), the renderer over every graphic, the
// printer, and everything put back once the renderer goes.

#include "document/LBDocument.h"

#include "document/DimensionInfo.h"
#include "document/DocumentWindowController.h"
#include "document/SheetRenderer.h"
#include "graphics/LBProcessState.h"
#include "platform/core/Error.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Printers.h"

#include <QPainter>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

// The label printers' makers and the beginnings of their printers' types.
QStringList labelPrinterTypePrefixes(const QString& maker)
{
    if (maker == QLatin1String("DYMO"))
        return {QStringLiteral("DYMO")};
    if (maker == QLatin1String("Seiko"))
        return {QStringLiteral("SII")};
    if (maker == QLatin1String("Brother"))
        return {QStringLiteral("QL"), QStringLiteral("PT")};
    return {};
}

} // namespace

bool LBDocument::layerAtIndexIsVisible(qint64 index, qint64 onPage) const
{
    if (onPage < 0 || onPage >= _layerVisibility.size() || index < 0
        || index >= _layerVisibility[onPage].size())
        return true;
    return _layerVisibility[onPage][index];
}

bool LBDocument::layerAtIndexWillPrint(qint64 index, qint64 onPage) const
{
    if (onPage < 0 || onPage >= _layerPrinting.size() || index < 0
        || index >= _layerPrinting[onPage].size())
        return true;
    return _layerPrinting[onPage][index];
}

void LBDocument::printShowingPrintPanel(bool showPanels)
{
    _origPrintInfo.reset();
    DocumentWindowController* controller = windowController();
    if (showPanels && isEnvelope() && controller) {
        _origPrintInfo = printInfo();
        controller->openEnvelopeFeedSheet();
        return;
    }
    ourPrintShowingPrintPanel(showPanels);
}

double LBDocument::setZoomFactorForAllGraphics(double zoom)
{
    double previous = 1.0;
    for (const Page& page : _documentGraphics)
        for (const Layer& layer : page)
            for (const LBGraphicPtr& graphic : layer) {
                previous = graphic->zoomFactor();
                graphic->setZoomFactor(zoom);
            }
    return previous;
}

void LBDocument::setupForEnvelopePrinting()
{
    if (defaults().boolForKey(QStringLiteral("Envelope Automatic Alignment")))
        return;
    _origDimensionInfo = _dimensionInfo;
    const bool letter =
        DimensionInfo::text(_dimensionInfo, DimensionInfo::paperSize) == QLatin1String("Letter");
    const double shortSide = letter ? 612.0 : 595.2755907;
    const double longSide = letter ? 792.0 : 841.88976399;
    const qint64 kind = DimensionInfo::integer(_dimensionInfo, DimensionInfo::labelType);
    const bool vertical = kind == 6;
    _dimensionInfo.insert(DimensionInfo::pageWidth, vertical ? shortSide : longSide);
    _dimensionInfo.insert(DimensionInfo::pageHeight, vertical ? longSide : shortSide);

    const bool front = defaults().boolForKey(QStringLiteral("Printer Loads Envelopes From Front"));
    const bool faceUp = defaults().boolForKey(QStringLiteral("Envelopes Are Face Up"));
    const qint64 position = defaults().integerForKey(QStringLiteral("Envelope Feed Position"));
    const double envelope = DimensionInfo::real(
        _dimensionInfo, vertical ? DimensionInfo::labelWidth : DimensionInfo::labelHeight);
    const QString marginKey = vertical ? DimensionInfo::leftMargin : DimensionInfo::topMargin;
    if (position == 1) {
        _dimensionInfo.insert(marginKey, (shortSide - envelope) * 0.5);
        return;
    }
    const bool same = front == faceUp;
    const bool keeps = vertical ? (position == 0 && same) || (position == 2 && !same)
                                : (position == 2 && same) || (position == 0 && !same);
    if (!keeps)
        _dimensionInfo.insert(marginKey, shortSide - envelope);
}

platform::PrintOperation::Result LBDocument::ourPrintShowingPrintPanel(bool showPanels,
                                                                       QString* error)
{
    if (error)
        return runPrintJob(printInfo(), showPanels, error);
    // A command: the user hears why nothing came out of the printer.
    QString reason;
    const platform::PrintOperation::Result result = runPrintJob(printInfo(), showPanels, &reason);
    if (result == platform::PrintOperation::Result::Failed)
        presentError(Failure::Printing, platform::Error{QString(), 0, reason});
    return result;
}

void LBDocument::prepareForPrinting(bool envelopeFeed, qint64 resolution)
{
    DocumentWindowController* controller = windowController();
    // No auxiliary information on single items; pictures at print resolution; the
    // graphics unselected at zoom 1, an envelope fitted to its feed, at page positions.
    resetDrawAuxiliaryInfoFlagIfNecessary();
    LBProcessState::setPrintResolution(resolution);
    LBProcessState::setUseFullResolutionImages(true);
    LBProcessState::setImageDisplayResolution(LBProcessState::printResolution());
    imageQualityChanged(nullptr);
    if (controller)
        controller->deselectAll();
    _prePrintZoomFactor = setZoomFactorForAllGraphics(1.0);
    if (envelopeFeed)
        setupForEnvelopePrinting();
    if (controller)
        controller->moveGraphicsToActualPosition();
    setPrinting(true);
}

std::unique_ptr<SheetRenderer> LBDocument::makePrintRenderer(const QRectF& frame, bool rotated)
{
    std::unique_ptr<SheetRenderer> renderer = SheetRenderer::make(frame, _documentGraphics);
    if (!renderer)
        return nullptr;
    DocumentWindowController* controller = windowController();
    if (rotated)
        renderer->rotateView();
    renderer->setPrintingDocument(this);
    if (controller)
        controller->deselectAll();
    renderer->setContactServer(controller);
    renderer->updateLabelSettings();
    renderer->setPostnetBarcodeLocation(_postnetBarcodeLocation);
    renderer->setFIMType(_FIMType);
    renderer->setDrawAuxiliaryInfo(_drawAuxiliaryInfo);
    renderer->setDrawLabelOutlines(defaults().boolForKey(QStringLiteral("Draw Label Outlines")));
    renderer->preloadHiResImages();
    return renderer;
}

platform::PrintOperation::Result LBDocument::runPrintJob(const platform::PrintInfo& printInfo,
                                                         bool showPanels, QString* error)
{
    using Result = platform::PrintOperation::Result;
    DocumentWindowController* controller = windowController();
    if (!SheetRenderer::hasFactory()) {
        if (error)
            *error = QStringLiteral("nothing draws the sheets");
        return Result::Failed;
    }
    if (controller && !controller->checkRecordsForOutput())
        return Result::Cancelled;

    const bool envelope = showPanels && isEnvelope();
    prepareForPrinting(envelope, 0);
    // The renderer, turned when the envelope prints the other way than the paper (the job
    // then prints in the other orientation).
    platform::PrintInfo jobInfo = printInfo;
    using Orientation = platform::PrintInfo::Orientation;
    const bool turned =
        envelope && _envelopePrintLandscape != (jobInfo.orientation() == Orientation::Landscape);
    _printRenderingView = makePrintRenderer(QRectF(QPointF(), documentSize()), turned);
    if (turned)
        jobInfo.setOrientation(jobInfo.orientation() == Orientation::Landscape
                                   ? Orientation::Portrait
                                   : Orientation::Landscape);

    jobInfo.setPrinterName(printerNameForPrinting(jobInfo.printerName()));
    if (jobInfo.resolution() <= 0)
        jobInfo.setResolution(int(LBProcessState::printResolution()));

    // The job; the window hears that it ran.
    platform::PrintOperation operation(*_printRenderingView, jobInfo);
    operation.setShowsPrintPanel(showPanels);
    operation.setWindow(controller ? controller->window() : nullptr);
    setPrintJobRunning(true);
    const Result result = operation.run();
    setPrintJobRunning(false);
    if (result == Result::Failed && error)
        *error = operation.errorString();
    if (controller)
        controller->printOpDidRun();

    // The settings before the envelope sheet; the renderer goes, which completes.
    if (_origPrintInfo) {
        ourSetPrintInfo(*_origPrintInfo);
        _origPrintInfo.reset();
    }
    std::unique_ptr<SheetRenderer> done = std::move(_printRenderingView);
    done.reset();
    return result;
}

QString LBDocument::printerNameForPrinting(const QString& current) const
{
    const QList<platform::Printers::Printer> printers = platform::Printers::printers();
    const QStringList prefixes = labelPrinterTypePrefixes(
        DimensionInfo::text(_dimensionInfo, DimensionInfo::paperManufacturer));
    for (const platform::Printers::Printer& printer : printers)
        if (std::any_of(prefixes.cbegin(), prefixes.cend(),
                        [&](const QString& p) { return printer.type.startsWith(p); }))
            return printer.name;
    const qint64 preferred = defaults().integerForKey(QStringLiteral("Preferred Printer"));
    if (preferred > 0 && preferred <= printers.size())
        return printers.at(preferred - 1).name;
    return current;
}

void LBDocument::printingComplete()
{
    if (_origDimensionInfo) {
        _dimensionInfo = *_origDimensionInfo;
        _origDimensionInfo.reset();
        for (DocumentWindowController* controller : documentWindowControllers())
            controller->setupForDocument();
    }
    setZoomFactorForAllGraphics(_prePrintZoomFactor);
    if (DocumentWindowController* controller = windowController())
        controller->moveGraphicsToDisplayPosition();
    setPrinting(false);
    LBProcessState::setPrintResolution(0);
    LBProcessState::setImageDisplayResolution(
        defaults().integerForKey(QStringLiteral("Image Quality")));
    LBProcessState::setUseFullResolutionImages(false);
    imageQualityChanged(nullptr);
}

QByteArray LBDocument::TIFFRepresentationForPage(qint64 page)
{
    DocumentWindowController* controller = windowController();
    std::unique_ptr<SheetRenderer> renderer =
        controller
            ? SheetRenderer::make(QRectF(QPointF(), editableDocumentSize()), _documentGraphics)
            : nullptr;
    if (!renderer)
        return plainTIFFRepresentationForPage(page);
    if (page < 0 || page >= numPages())
        return QByteArray();
    // The page from its first label on.
    const std::optional<QVariant> startLabel =
        _dimensionInfo.contains(DimensionInfo::startLabel)
            ? std::optional<QVariant>(_dimensionInfo.value(DimensionInfo::startLabel))
            : std::nullopt;
    if (startLabel)
        _dimensionInfo.insert(DimensionInfo::startLabel, 1);
    renderer->setContactServer(controller);
    renderer->updateLabelSettings();
    renderer->preloadHiResImages();
    renderer->setPostnetBarcodeLocation(_postnetBarcodeLocation);
    renderer->setFIMType(_FIMType);
    renderer->setDrawAuxiliaryInfo(_drawAuxiliaryInfo);
    renderer->setDrawLabelOutlines(defaults().boolForKey(QStringLiteral("Draw Label Outlines")));
    const qint64 type = dimensionType();
    if (type == 1 || type == 2)
        renderer->setZeroMargins();
    renderer->setPageNum(page);

    const QSizeF size = renderer->bounds().size();
    platform::OffscreenContext offscreen(platform::OffscreenContext::pixelsFor(size, 1.0), 1.0);
    if (offscreen.isActive()) {
        offscreen.painter()->setRenderHints(QPainter::Antialiasing
                                            | QPainter::SmoothPixmapTransform);
        renderer->drawRect(renderer->bounds());
    }
    if (startLabel)
        _dimensionInfo.insert(DimensionInfo::startLabel, *startLabel);
    const QImage image = offscreen.image();
    const platform::ImagePtr picture =
        image.isNull() ? nullptr : platform::Image::fromBitmap(image, size);
    return picture ? picture->TIFFRepresentationUsingLZW() : QByteArray();
}
