// Speed and memory of printing every sheet of a merge to one PDF: a 30-up Letter sheet of
// 2.625 x 1 inch labels (3 x 10), a text box with three merge fields, the records imported
// text of three columns; 3,000 and 30,000 records, and 3,000 with a logo and a per-label
// Code 128 barcode of the first column on every label. Each case is paired with the same
// sheets drawn by plain QPainter calls into a PDF (the _Baseline), and reports the peak
// resident memory of the process (run one case a process to read it for that case).
// Goals: bench/targets.txt.
//
// The fields are merged from the imported records (the three import fields of the shipped
// field lists); the barcode's picture of each record comes through the merge services,
// cached by symbology and text.

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "merge/BarcodePictureCache.h"
#include "merge/LBMergeServices.h"
#include "merge/MergeClasses.h"
#include "platform/core/PropertyList.h"
#include "platform/core/UndoManager.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/PrintOperation.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBImage.h"
#include "window/LBWindowController.h"

#include <QFile>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "support/ImportedLabelSheet.h"
#include "support/PeakMemory.h"

#include <cstdio>
#include <cstring>

namespace {

// The records of the imported text, and the barcode of a record's first column.
class BenchServices : public LBMergeServices
{
public:
    using LBMergeServices::LBMergeServices;
    std::shared_ptr<platform::Image> substituteImageForGraphic(const LBGraphic& g,
                                                               qint64 record) override
    {
        const auto* barcode = dynamic_cast<const LBBarcodeImage*>(&g);
        if (!barcode || record < 0)
            return nullptr;
        return cache.picture(barcode->barcodeType(), document()->stringForImportColumn(
                                                         barcode->importFieldIndex(), record));
    }
    LBDocument* document() const { return window().document(); }
    BarcodePictureCache cache;
};

struct Sheet
{
    LBDocument document;
    LBWindowController* controller = nullptr;
    bool withLogoAndBarcode = false;

    Sheet(qint64 records, bool logoAndBarcode) : withLogoAndBarcode(logoAndBarcode)
    {
        platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
        registerMergeClasses();
        MergeServices::setFactory(
            [](LBWindowController& window) { return std::make_unique<BenchServices>(window); });
        controller = new LBWindowController;
        document.addWindowController(controller);
        setThirtyUpSheet(document.dimensionInfo());
        document.setImportTextArray(importedRecords(records), 3);
        loadShippedFieldLists();

        document.undoManager()->disableUndoRegistration();
        document.insertGraphic(importFieldsTextBox(), 0, 1);
        if (logoAndBarcode) {
            QImage logo(120, 120, QImage::Format_RGB32);
            logo.fill(QColor(30, 60, 140));
            QPainter painter(&logo);
            painter.fillRect(20, 20, 80, 80, QColor(240, 200, 40));
            painter.end();
            auto picture = std::make_shared<LBImage>();
            picture->setImage(platform::Image::fromBitmap(logo, QSizeF(30, 30)), 0);
            picture->setBoundsNoOtherChanges(QRectF(150, 6, 30, 30));
            document.insertGraphic(picture, 0, 1);
            auto barcode = LBBarcodeImage::withBarcodeType(LBCode128Barcode);
            barcode->setBarcodeDataSource(LBBarcodeImage::ImportField);
            barcode->setImportFieldIndex(0);
            barcode->setBoundsNoOtherChanges(QRectF(QPointF(110, 40), barcode->bounds().size()));
            document.insertGraphic(barcode, 0, 1);
        }
        document.undoManager()->enableUndoRegistration();
    }
};

void printAllSheets(benchmark::State& state, bool logoAndBarcode)
{
    Sheet sheet(state.range(0), logoAndBarcode);
    QTemporaryDir folder;
    platform::PrintInfo info = sheet.document.printInfo();
    info.setJobDisposition(platform::PrintInfo::Save);
    info.setJobSavingPath(folder.filePath(QStringLiteral("sheets.pdf")));
    for (auto _ : state) {
        const auto result = sheet.document.runPrintJob(info, false);
        if (result != platform::PrintOperation::Result::Printed)
            state.SkipWithError("the job failed");
    }
    state.counters["pages"] = double((state.range(0) + 29) / 30);
    state.counters["pdf_KiB"] = double(QFile(info.jobSavingPath()).size()) / 1024.0;
    state.counters["peak_MiB"] = peakResidentMiB();
}

// The same sheets by plain QPainter calls: the three lines of each label, the logo and a
// barcode picture of the record.
void printAllSheetsBaseline(benchmark::State& state, bool logoAndBarcode)
{
    const qint64 records = state.range(0);
    QTemporaryDir folder;
    QImage logo(120, 120, QImage::Format_RGB32);
    logo.fill(QColor(30, 60, 140));
    BarcodePictureCache cache;
    const QStringList texts = importedRecords(records);
    for (auto _ : state) {
        QPdfWriter writer(folder.filePath(QStringLiteral("plain.pdf")));
        writer.setResolution(72);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                         QMarginsF(), QPageLayout::Point));
        QPainter painter(&writer);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSizeF(12);
        painter.setFont(font);
        for (qint64 r = 0; r < records; ++r) {
            const qint64 cell = r % 30;
            if (r > 0 && cell == 0)
                writer.newPage();
            const QPointF origin(kLeft + (cell % 3) * (kLabelWidth + kGap),
                                 kTop + (cell / 3) * kLabelHeight);
            painter.drawText(QRectF(origin + QPointF(8, 6), QSizeF(120, 60)),
                             texts.at(r * 3) + QLatin1Char('\n') + texts.at(r * 3 + 1)
                                 + QLatin1Char('\n') + texts.at(r * 3 + 2));
            if (logoAndBarcode) {
                painter.drawImage(QRectF(origin + QPointF(150, 6), QSizeF(30, 30)), logo);
                if (const auto picture = cache.picture(LBCode128Barcode, texts.at(r * 3))) {
                    platform::GraphicsContext context(&painter, false);
                    platform::GraphicsContext::Scope scope(context);
                    picture->drawInRect(QRectF(origin + QPointF(110, 40), picture->size()));
                }
            }
        }
        painter.end();
    }
    state.counters["peak_MiB"] = peakResidentMiB();
}

void BM_PrintSheets(benchmark::State& state)
{
    printAllSheets(state, false);
}
void BM_PrintSheets_Baseline(benchmark::State& state)
{
    printAllSheetsBaseline(state, false);
}
void BM_PrintSheetsWithLogoAndBarcode(benchmark::State& state)
{
    printAllSheets(state, true);
}
void BM_PrintSheetsWithLogoAndBarcode_Baseline(benchmark::State& state)
{
    printAllSheetsBaseline(state, true);
}

} // namespace

BENCHMARK(BM_PrintSheets)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSheets_Baseline)->Arg(3000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSheetsWithLogoAndBarcode)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSheetsWithLogoAndBarcode_Baseline)->Arg(3000)->Unit(benchmark::kMillisecond);
