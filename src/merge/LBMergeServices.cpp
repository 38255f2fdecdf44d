#include "merge/LBMergeServices.h"

#include "canvas/LBGraphicView.h"
#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "document/SheetRenderer.h"
#include "graphics/LBProcessState.h"
#include "merge/LBEnvelopeFeedSheet.h"
#include "merge/LBExportPanel.h"
#include "merge/LBPrintCalibrationController.h"
#include "merge/LBPrintOnlineController.h"
#include "merge/LBRenderingView.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "platform/ui/DocumentFileDialog.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBImage.h"
#include "window/LBWindowController.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

QString dialogString(const QString& key)
{
    return platform::LocalizedString(key, QStringLiteral("DialogStrings"));
}

void showAlert(QWidget* window, const QString& message, const QString& information)
{
    platform::Alert alert;
    alert.messageText = message;
    alert.informativeText = information;
    alert.buttons = {dialogString(QStringLiteral("OK"))};
    alert.beginSheetModalForWindow(window);
}

// The renderer's sheet drawn into a PDF of its size, one point a unit.
QByteArray pdfOfSheet(SheetRenderer& renderer)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    const QSizeF size = renderer.bounds().size();
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageLayout(QPageLayout(QPageSize(size, QPageSize::Point), QPageLayout::Portrait,
                                     QMarginsF(), QPageLayout::Point));
    QPainter painter(&writer);
    {
        platform::GraphicsContext context(&painter, false);
        platform::GraphicsContext::Scope scope(context);
        renderer.drawRect(renderer.bounds());
    }
    painter.end();
    return data;
}

// The sheet drawn into pixels at `scale` per point over white, stating `dpi`.
QImage bitmapOfSheet(SheetRenderer& renderer, double scale, qint64 dpi)
{
    const QSizeF size = renderer.bounds().size();
    const QSize pixels(std::max(1, int(std::lround(size.width() * scale))),
                       std::max(1, int(std::lround(size.height() * scale))));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    const int dpm = int(std::lround(double(dpi) / 0.0254));
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform
                           | QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    {
        platform::GraphicsContext context(&painter, false);
        context.setBaseTransform(painter.transform());
        platform::GraphicsContext::Scope scope(context);
        renderer.drawRect(renderer.bounds());
    }
    painter.end();
    return image;
}

} // namespace

LBMergeServices::LBMergeServices(LBWindowController& window) : _window(window)
{}

LBMergeServices::~LBMergeServices()
{
    // The contact tables read this model: they go first.
    delete _contactColumns;
    delete _calibrationController;
    delete _envelopeSheet;
    delete _exportPanel;
    delete _printOnlineController;
}

LBPrintCalibrationController* LBMergeServices::calibrationController() const
{
    return _calibrationController;
}

LBEnvelopeFeedSheet* LBMergeServices::envelopeFeedSheet() const
{
    return _envelopeSheet;
}

LBExportPanel* LBMergeServices::exportPanel() const
{
    return _exportPanel;
}

LBPrintOnlineController* LBMergeServices::printOnlineController() const
{
    return _printOnlineController;
}

LBDocument* LBMergeServices::document() const
{
    return _window.document();
}

// ==== Records ===========================================================================

qint64 LBMergeServices::numSelectedPeople()
{
    const LBDocument* doc = document();
    if (!doc)
        return 1;
    qint64 columns = 0;
    const QStringList records = doc->importTextArrayAndColumnCount(&columns);
    if (!records.isEmpty() && columns > 0)
        return records.size() / columns;
    return _window.foundOtherContactField() ? _selectedPeople.size() : 1;
}

QString LBMergeServices::contactUIDForIndex(qint64 index, const QString& currentUID)
{
    Q_UNUSED(currentUID); // a value: nothing is handed over
    if (!_window.foundOtherContactField())
        return QString();
    const platform::ContactPersonPtr person = contactAtIndex(index);
    return person ? person->uniqueId() : QString();
}

std::shared_ptr<platform::Image>
LBMergeServices::substituteImageForGraphic(const LBGraphic& graphic, qint64 fromContact)
{
    const auto picture = [](const platform::ContactPersonPtr& person) {
        const QByteArray data = person ? person->imageData() : QByteArray();
        return data.isEmpty() ? nullptr : platform::Image::fromData(data);
    };
    const auto userImage = [](const char* key) {
        const QByteArray data = defaults().dataForKey(QLatin1String(key));
        return data.isEmpty() ? nullptr : platform::Image::fromData(data);
    };
    switch (graphic.specialImageType()) {
    case LBImage::ContactPicture:
        return fromContact >= 0 ? picture(contactAtIndex(fromContact)) : nullptr;
    case LBImage::MyPicture: return picture(mePerson());
    case LBImage::LogoPicture: return userImage("My Logo");
    case LBImage::SignaturePicture: return userImage("My Signature");
    case LBImage::BarcodePicture: {
        const auto* barcode = dynamic_cast<const LBBarcodeImage*>(&graphic);
        if (!barcode || fromContact < 0)
            return nullptr;
        // The record's text as the barcode's own; the design's barcode stays as it is.
        QString text;
        if (barcode->barcodeDataSource() == LBBarcodeImage::ImportField) {
            if (const auto field = fieldForFieldName(barcode->importFieldStr(), nullptr))
                text = stringForImportField(*field, fromContact);
        } else if (barcode->barcodeDataSource() == LBBarcodeImage::ContactCodeField) {
            if (const auto field = fieldForFieldName(barcode->addressBookFieldStr(), nullptr))
                for (const QChar c : stringForStandardField(*field, fromContact))
                    if (c.isDigit())
                        text.append(c);
        } else {
            return nullptr;
        }
        return _barcodePictures.picture(barcode->barcodeType(), text);
    }
    default: return nullptr;
    }
}

bool LBMergeServices::checkRecordsForOutput()
{
    if (!_window.foundOtherContactField() || numSelectedPeople() > 0)
        return true;
    showAlert(_window.window(), dialogString(QStringLiteral("There are no records to print.")),
              dialogString(QStringLiteral("Select the contacts or import the records to fill the "
                                          "labels with, then try again.")));
    return false;
}

// ==== Printer calibration ===============================================================

void LBMergeServices::openPrinterCalibrationSheet()
{
    if (!_keptCalibrationArray)
        _keptCalibrationArray =
            defaults().arrayForKey(LBPrintCalibrationController::CalibrationArrayKey);
    // The sheet before may be the one whose button got here: it goes once that is done.
    if (_calibrationController)
        _calibrationController->deleteLater();
    _calibrationController = new LBPrintCalibrationController(this);
    _calibrationController->beginSheetForWindowController(this, _window.window());
    _calibrationController->selectPrinterAtIndex(_selectedPrinterIndex);
}

void LBMergeServices::printCalibrationSheet(qint64 printerIndex)
{
    _selectedPrinterIndex = printerIndex;
    if (_calibrationController)
        _calibrationController->deleteLater();
    LBRenderingView::setPrintingCalibrationPage(true);
    if (LBDocument* doc = document())
        doc->printShowingPrintPanel(true);
    else
        printOpDidRun();
}

void LBMergeServices::printOpDidRun()
{
    if (!LBRenderingView::printingCalibrationPage())
        return;
    LBRenderingView::setPrintingCalibrationPage(false);
    openPrinterCalibrationSheet();
}

void LBMergeServices::savePrinterCalibration()
{
    _keptCalibrationArray.reset();
    if (_calibrationController) {
        _selectedPrinterIndex = _calibrationController->indexOfSelectedPrinter();
        _calibrationController->deleteLater();
    }
}

void LBMergeServices::cancelPrinterCalibration()
{
    if (_keptCalibrationArray)
        defaults().setObject(*_keptCalibrationArray,
                             LBPrintCalibrationController::CalibrationArrayKey);
    _keptCalibrationArray.reset();
    if (_calibrationController) {
        _selectedPrinterIndex = _calibrationController->indexOfSelectedPrinter();
        _calibrationController->deleteLater();
    }
}

// ==== Envelope feed =====================================================================

void LBMergeServices::openEnvelopeFeedSheet()
{
    if (!_envelopeSheet)
        _envelopeSheet = new LBEnvelopeFeedSheet(_window);
    _envelopeSheet->openEnvelopeFeedSheet();
}

// ==== Export ============================================================================

bool LBMergeServices::exportsFullSheetOnly() const
{
    const LBDocument* doc = document();
    if (!doc)
        return false;
    const qint64 kind = DimensionInfo::integer(doc->dimensionInfo(), DimensionInfo::labelType);
    return kind == 5 || kind == 6 || kind == 7 || kind == 8 || kind == 17 || kind == 18;
}

void LBMergeServices::exportAction()
{
    if (_exportPanel)
        _exportPanel->deleteLater();
    // Beside the document once it has a file.
    const LBDocument* doc = document();
    const QString folder = doc && !doc->fileName().isEmpty()
                               ? QFileInfo(doc->fileName()).absolutePath()
                               : QString();
    _exportPanel = new LBExportPanel(exportsFullSheetOnly(), _window.window(), folder);
    _exportPanel->setWindowModality(_window.window() ? Qt::WindowModal : Qt::ApplicationModal);
    LBExportPanel* panel = _exportPanel;
    connect(panel, &QFileDialog::fileSelected, this, [this, panel](const QString& path) {
        QString error;
        const QByteArray data = exportDataForResolution(
            panel->resolution(), panel->formatType(), panel->tiffCompression(), panel->jpgQuality(),
            panel->fullSheet(), &error);
        if (!data.isEmpty() && writeExportFile(path, data, &error)) {
            // A picture holds one sheet: the user learns that the others are not in it.
            if (_sheetsOfLastPicture > 1) {
                platform::Alert alert;
                alert.style = platform::Alert::Informational;
                alert.messageText =
                    dialogString(QStringLiteral("The picture holds the first of %1 sheets."))
                        .arg(_sheetsOfLastPicture);
                alert.informativeText = dialogString(
                    QStringLiteral("To export every sheet, choose PDF as the format."));
                alert.buttons = {dialogString(QStringLiteral("OK"))};
                alert.beginSheetModalForWindow(_window.window());
            }
            return;
        }
        if (error.isEmpty())
            return; // cancelled (no records)
        QString message = dialogString(QStringLiteral("The file \"%@\" could not be exported."));
        message.replace(QStringLiteral("%@"), QFileInfo(path).fileName());
        showAlert(_window.window(), message, error);
    });
    panel->open();
}

bool LBMergeServices::writeExportFile(const QString& path, const QByteArray& data, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QByteArray LBMergeServices::exportDataForResolution(qint64 resolution, qint64 formatType,
                                                    qint64 tiffCompression, double jpgQuality,
                                                    bool fullSheet, QString* error)
{
    LBDocument* doc = document();
    if (!doc || !SheetRenderer::hasFactory()) {
        if (error)
            *error = QStringLiteral("nothing draws the sheets");
        return {};
    }
    if (!checkRecordsForOutput())
        return {};
    fullSheet = fullSheet || exportsFullSheetOnly();
    const double keptZoom = _window.zoomSliderValue();
    _window.setZoomSliderValue(DocumentWindowController::ActualSizeZoomSliderValue);
    const qint64 r = std::clamp<qint64>(resolution, 10, 2400);
    const double scale = double(r) / LBProcessState::imageScaleFactor() / 72.0;

    QByteArray result;
    _sheetsOfLastPicture = 0;
    if (fullSheet && formatType == LBExportPanel::PDF) {
        // The print road into a PDF file of the temporary folder, read and removed; the
        // document's own print settings stay as they are.
        const QString path =
            LBProcessState::temporaryFolderPath()
            + QString::number(QDateTime::currentMSecsSinceEpoch() / 1000.0, 'f', 6);
        platform::PrintInfo info = doc->printInfo();
        info.setJobDisposition(platform::PrintInfo::Save);
        info.setJobSavingPath(path);
        const auto outcome = doc->runPrintJob(info, false, error);
        if (outcome == platform::PrintOperation::Result::Printed) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                result = file.readAll();
            else if (error)
                *error = file.errorString();
        }
        QFile::remove(path);
    } else {
        // One label, or the first sheet as a picture: drawn straight into the output.
        const bool picture = formatType != LBExportPanel::PDF;
        doc->prepareForPrinting(false, picture ? r : 0);
        const QSizeF size = fullSheet ? doc->documentSize() : doc->editableDocumentSize();
        std::unique_ptr<SheetRenderer> renderer =
            doc->makePrintRenderer(QRectF(QPointF(), size), false);
        if (!fullSheet && (doc->dimensionType() == 1 || doc->dimensionType() == 2))
            renderer->setZeroMargins();
        renderer->setPageNum(0);
        if (picture && fullSheet)
            _sheetsOfLastPicture = renderer->numberOfPages();
        LBProcessState::setPrintJobRunning(true);
        if (!picture) {
            result = pdfOfSheet(*renderer);
        } else {
            const QImage bitmap = bitmapOfSheet(*renderer, scale, r);
            // The size the whole pixels make at the scale, not the sheet's own: the file's
            // resolution is then exactly the one chosen, not one bent by the rounding of the
            // pixel count.
            const platform::ImagePtr image =
                bitmap.isNull()
                    ? nullptr
                    : platform::Image::fromBitmap(
                        bitmap, QSizeF(bitmap.width() / scale, bitmap.height() / scale));
            if (image) {
                if (formatType == LBExportPanel::TIFF)
                    result = image->TIFFRepresentationUsingCompression(int(tiffCompression));
                else if (formatType == LBExportPanel::JPEG)
                    result = image->jpegData(jpgQuality);
                else
                    result = image->pngData();
            }
            if (result.isEmpty() && error)
                *error = QStringLiteral("the picture of %1 x %2 points at %3 dpi could not be made")
                             .arg(size.width())
                             .arg(size.height())
                             .arg(r);
        }
        LBProcessState::setPrintJobRunning(false);
        renderer.reset(); // completes the output: positions, zoom and resolution come back
    }
    _window.setZoomSliderValue(keptZoom);
    return result;
}

void LBMergeServices::importAction()
{
    auto* panel = new QFileDialog(_window.window());
    platform::openInUsersFolder(panel);
    platform::keepOutOfDocuments(panel);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    panel->setOption(QFileDialog::DontUseNativeDialog, true);
    panel->setFileMode(QFileDialog::ExistingFiles);
    panel->setAcceptMode(QFileDialog::AcceptOpen);
    panel->setNameFilter(platform::imagesNameFilter(LBGraphicView::imageFileTypes()));
    panel->setWindowModality(_window.window() ? Qt::WindowModal : Qt::ApplicationModal);
    connect(panel, &QFileDialog::filesSelected, this,
            [this](const QStringList& paths) { importFiles(paths); });
    panel->open();
}

void LBMergeServices::importFiles(const QStringList& paths)
{
    LBGraphicView* canvas = _window.commandCanvas();
    if (!canvas || _window.mode() != LBWindowController::DesignMode)
        return;
    QStringList refused;
    for (const QString& path : paths) {
        if (!canvas->makeNewImageFromContentsOfFile(path, QPointF(-1.0, -1.0), QSizeF(0.0, 0.0)))
            refused.append(QFileInfo(path).fileName());
    }
    if (refused.isEmpty())
        return;
    // The files the design could take are placed; the user hears of the first it could not.
    LBGraphicView::alertFileIsNoPicture(refused.first(), _window.window());
}

// ==== Online printing, one copy ==========================================================

void LBMergeServices::printOnline()
{
    if (_printOnlineController)
        _printOnlineController->deleteLater();
    _printOnlineController = new LBPrintOnlineController(this);
    _printOnlineController->beginSheetForWindowController(this, _window.window());
}

void LBMergeServices::doneOnlinePrinting()
{
    if (_printOnlineController)
        _printOnlineController->deleteLater();
}

void LBMergeServices::printOneCopy()
{
    if (LBDocument* doc = document())
        doc->printShowingPrintPanel(false);
}
