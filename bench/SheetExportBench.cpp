// Speed and memory of printing every sheet of a merge to one PDF, the job a user runs: a
// 30-up Letter sheet of 2.625 x 1 inch labels (3 x 10) merged with the records of a
// comma-separated file of six columns (name, two address lines, city, state, zip; the
// second address line is often empty and its line is then left out; some names are not
// ASCII), read as an import does. Each label holds a 10-point Liberation Sans text box
// whose three or four lines fit inside it; the rich case adds a 256 x 256 PNG logo and a
// QR code of the name and zip beside the text. 300, 3,000 and 30,000 records, so the cost
// per record (s_per_record) shows whether anything grows faster than the work. Each case is
// paired with the same sheets drawn by plain QPainter calls into a PDF (the _Baseline), and
// reports the peak resident memory of the process (run one case a process to read it for
// that case). Goals: bench/targets.txt.
//
// The QR code's picture of each record comes through the merge services (the program has
// no QR symbology of its own), drawn like a barcode picture.

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "merge/LBMergeServices.h"
#include "merge/LBRenderingView.h"
#include "merge/MergeClasses.h"
#include "platform/core/DelimitedText.h"
#include "platform/core/PropertyList.h"
#include "platform/core/UndoManager.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/PrintOperation.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBImage.h"
#include "window/LBWindowController.h"

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <zint.h>

#include "support/ImportedLabelSheet.h"
#include "support/PeakMemory.h"

#include <memory>

namespace {

// Where things stand on a label.
const QRectF kTextBox(6, 6, 144, 60);
const QRectF kLogo(156, 6, 26, 26);
const QPointF kQRCode(156, 38);
constexpr double kPointSize = 10.0;

// The comma-separated file of the records: name, address 1, address 2 (on every third
// record), city, state, zip; one name in seven is not ASCII, and a city with a comma is
// quoted.
QByteArray addressFile(qint64 count)
{
    static const char* const first[] = {"Jordan", "Avery",  "Morgan", "Riley", "Casey",
                                        "Quinn",  "Taylor", "Robin",  "Jamie", "Alex"};
    static const char* const last[] = {"Example", "Sample",  "Fielding", "Marsh",    "Holloway",
                                       "Brooks",  "Kendall", "Pryor",    "Whitmore", "Lane"};
    static const char* const foreign[] = {"Zoë Ångström",    "Jiří Dvořák", "Søren Kråkenes",
                                          "Łukasz Wójcik",   "Inés Núñez",  "François Lefèvre",
                                          "Dagný Þórsdóttir"};
    static const char* const cities[] = {"Springfield", "Riverside", "\"Fairview, North\"",
                                         "Greenville",  "Madison",   "Clinton"};
    static const char* const states[] = {"IL", "CA", "OR", "NC", "WI", "NY"};
    QByteArray data;
    data.reserve(count * 64);
    for (qint64 r = 0; r < count; ++r) {
        const QByteArray name = r % 7 == 3 ? QByteArray(foreign[(r / 7) % 7])
                                           : QByteArray(first[r % 10]) + ' ' + last[(r / 10) % 10];
        data += name + ',' + QByteArray::number(r % 9973 + 1) + " Market Street,"
                + (r % 3 == 0 ? "Suite " + QByteArray::number(r % 400 + 100) : QByteArray()) + ','
                + cities[r % 6] + ',' + states[r % 6] + ','
                + QByteArray::number(10000 + (r * 37) % 89999) + '\n';
    }
    return data;
}

// The records as an import reads them: the flat array and its column count.
platform::DelimitedText readAddressFile(qint64 count)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("addresses.csv"));
    QFile out(path);
    out.open(QIODevice::WriteOnly);
    out.write(addressFile(count));
    out.close();
    QFile in(path);
    in.open(QIODevice::ReadOnly);
    return platform::DelimitedText::read(in.readAll(), QLatin1Char(','))
        .value_or(platform::DelimitedText());
}

// The logo as its PNG file holds it.
QByteArray logoPNG()
{
    QImage logo(256, 256, QImage::Format_ARGB32);
    logo.fill(QColor(30, 60, 140));
    QPainter painter(&logo);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(QColor(240, 200, 40));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QRectF(40, 40, 176, 176));
    painter.end();
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    logo.save(&buffer, "PNG");
    return data;
}

// QR codes as vector pictures (one module a point), each distinct text encoded once while
// it is among the last few hundred.
class QRCodes
{
public:
    void clear() { _pictures.clear(); }
    platform::ImagePtr picture(const QString& text)
    {
        if (const auto it = _pictures.constFind(text); it != _pictures.cend())
            return *it;
        if (_pictures.size() >= 512)
            _pictures.clear();
        platform::ImagePtr made = encode(text);
        _pictures.insert(text, made);
        return made;
    }

private:
    static platform::ImagePtr encode(const QString& text)
    {
        zint_symbol* symbol = ZBarcode_Create();
        symbol->symbology = BARCODE_QRCODE;
        symbol->input_mode = UNICODE_MODE;
        const QByteArray bytes = text.toUtf8();
        platform::ImagePtr made;
        if (ZBarcode_Encode(symbol, reinterpret_cast<const unsigned char*>(bytes.constData()),
                            int(bytes.size()))
                < ZINT_ERROR
            && ZBarcode_Buffer_Vector(symbol, 0) < ZINT_ERROR && symbol->vector) {
            // One rectangle a run of modules, as the program's barcodes draw.
            const double k = double(symbol->width) / symbol->vector->width;
            const QByteArray side = QByteArray::number(symbol->vector->width * k);
            QByteArray svg = R"(<svg xmlns="http://www.w3.org/2000/svg" width=")" + side
                             + R"(" height=")" + side + R"(" viewBox="0 0 )" + side + ' ' + side
                             + R"("><g fill="#000000">)";
            for (const zint_vector_rect* r = symbol->vector->rectangles; r; r = r->next)
                svg += R"(<rect x=")" + QByteArray::number(r->x * k) + R"(" y=")"
                       + QByteArray::number(r->y * k) + R"(" width=")"
                       + QByteArray::number(r->width * k) + R"(" height=")"
                       + QByteArray::number(r->height * k) + R"("/>)";
            svg += "</g></svg>";
            made = platform::Image::withSVGData(svg);
        }
        ZBarcode_Delete(symbol);
        return made;
    }

    QHash<QString, platform::ImagePtr> _pictures;
};

QString qrText(const QString& name, const QString& zip)
{
    return name + QLatin1Char('\n') + zip;
}

// The records of the file, and a record's QR code in place of the barcode graphic.
class BenchServices : public LBMergeServices
{
public:
    using LBMergeServices::LBMergeServices;
    std::shared_ptr<platform::Image> substituteImageForGraphic(const LBGraphic& g,
                                                               qint64 record) override
    {
        if (!dynamic_cast<const LBBarcodeImage*>(&g) || record < 0)
            return nullptr;
        const LBDocument* doc = window().document();
        return codes.picture(
            qrText(doc->stringForImportColumn(0, record), doc->stringForImportColumn(5, record)));
    }
    QRCodes codes;
};

// Name; address 1; address 2; "city, state zip": import fields 1 to 6 in 10-point
// Liberation Sans.
std::shared_ptr<LBTextArea> addressTextBox()
{
    const QVariantMap font{
        {platform::FontAttributeName, QFont(QStringLiteral("Liberation Sans"), int(kPointSize))}};
    platform::AttributedString text;
    const auto field = [&](int number) {
        const QString name = QStringLiteral("Import %1").arg(number);
        QVariantMap attributes = font;
        attributes.insert(LBQFieldAttributeName,
                          LBMergeServices::fieldAttributeForFieldString(name));
        text.appendAttributedString(platform::AttributedString(name, attributes));
    };
    const auto plain = [&](const QString& s) {
        text.appendAttributedString(platform::AttributedString(s, font));
    };
    field(1);
    plain(QStringLiteral("\n"));
    field(2);
    plain(QStringLiteral("\n"));
    field(3);
    plain(QStringLiteral("\n"));
    field(4);
    plain(QStringLiteral(", "));
    field(5);
    plain(QStringLiteral(" "));
    field(6);
    auto box = std::make_shared<LBTextArea>();
    box->setBoundsNoOtherChanges(kTextBox);
    box->setContents(text);
    return box;
}

struct Sheet
{
    LBDocument document;
    LBWindowController* controller = nullptr;
    std::shared_ptr<LBTextArea> box;

    Sheet(qint64 records, bool logoAndQRCode)
    {
        platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
        platform::UserDefaults::standardUserDefaults().registerDefaults(
            {{QStringLiteral("Auto Delete Blank Lines"), true}});
        registerMergeClasses();
        MergeServices::setFactory(
            [](LBWindowController& window) { return std::make_unique<BenchServices>(window); });
        controller = new LBWindowController;
        document.addWindowController(controller);
        setThirtyUpSheet(document.dimensionInfo());
        const platform::DelimitedText file = readAddressFile(records);
        document.setImportTextArray(file.flattened(), file.columns());
        loadShippedFieldLists();

        document.undoManager()->disableUndoRegistration();
        box = addressTextBox();
        document.insertGraphic(box, 0, 1);
        if (logoAndQRCode) {
            auto logo = std::make_shared<LBImage>();
            logo->setImage(platform::Image::fromData(logoPNG()), 0);
            logo->setBoundsNoOtherChanges(kLogo);
            document.insertGraphic(logo, 0, 1);
            auto code = LBBarcodeImage::withBarcodeType(LBCode128Barcode);
            code->setBarcodeDataSource(LBBarcodeImage::ImportField);
            code->setImportFieldIndex(0);
            code->setBoundsNoOtherChanges(QRectF(kQRCode, code->bounds().size()));
            document.insertGraphic(code, 0, 1);
        }
        document.undoManager()->enableUndoRegistration();
    }

    // Whether the merged text of the first records stays inside its box.
    bool textFits()
    {
        LBRenderingView view(QRectF(0, 0, 612, 792), document.documentGraphics());
        view.setContactServer(controller);
        const qint64 records = std::min<qint64>(70, controller->numSelectedPeople());
        for (qint64 r = 0; r < records; ++r) {
            view.setContactIndex(r);
            view.setCounter(r);
            const auto drawn =
                std::dynamic_pointer_cast<LBTextArea>(view.textObjectForDrawing(box));
            if (!drawn || drawn->textHeight() > kTextBox.height())
                return false;
        }
        return true;
    }
};

void recordCounters(benchmark::State& state)
{
    state.counters["s_per_record"] =
        benchmark::Counter(double(state.range(0)), benchmark::Counter::kIsIterationInvariantRate
                                                       | benchmark::Counter::kInvert);
    state.counters["peak_MiB"] = peakResidentMiB();
}

void printAllSheets(benchmark::State& state, bool logoAndQRCode)
{
    Sheet sheet(state.range(0), logoAndQRCode);
    if (!sheet.textFits()) {
        state.SkipWithError("the merged text overflows its box");
        return;
    }
    QTemporaryDir folder;
    platform::PrintInfo info = sheet.document.printInfo();
    info.setJobDisposition(platform::PrintInfo::Save);
    info.setJobSavingPath(folder.filePath(QStringLiteral("sheets.pdf")));
    auto* services = dynamic_cast<BenchServices*>(sheet.controller->mergeServices());
    for (auto _ : state) {
        // Every job encodes its codes (a short run would otherwise keep them all).
        if (services)
            services->codes.clear();
        const auto result = sheet.document.runPrintJob(info, false);
        if (result != platform::PrintOperation::Result::Printed)
            state.SkipWithError("the job failed");
    }
    state.counters["pages"] = double((state.range(0) + 29) / 30);
    state.counters["pdf_KiB"] = double(QFile(info.jobSavingPath()).size()) / 1024.0;
    recordCounters(state);
}

// The same sheets by plain QPainter calls: the lines of each label (the empty address line
// left out), the logo and the record's QR code.
void printAllSheetsBaseline(benchmark::State& state, bool logoAndQRCode)
{
    const qint64 records = state.range(0);
    QTemporaryDir folder;
    const QImage logo = QImage::fromData(logoPNG(), "PNG");
    const QList<QStringList> rows = readAddressFile(records).records();
    for (auto _ : state) {
        QRCodes codes;
        QPdfWriter writer(folder.filePath(QStringLiteral("plain.pdf")));
        writer.setResolution(72);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                         QMarginsF(), QPageLayout::Point));
        QPainter painter(&writer);
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPointSizeF(kPointSize);
        painter.setFont(font);
        for (qint64 r = 0; r < records; ++r) {
            const qint64 cell = r % 30;
            if (r > 0 && cell == 0)
                writer.newPage();
            const QPointF origin(kLeft + (cell % 3) * (kLabelWidth + kGap),
                                 kTop + (cell / 3) * kLabelHeight);
            const QStringList& f = rows.at(r);
            QString text = f.at(0) + QLatin1Char('\n') + f.at(1) + QLatin1Char('\n');
            if (!f.at(2).isEmpty())
                text += f.at(2) + QLatin1Char('\n');
            text += f.at(3) + QStringLiteral(", ") + f.at(4) + QLatin1Char(' ') + f.at(5);
            painter.drawText(kTextBox.translated(origin), Qt::TextWordWrap, text);
            if (logoAndQRCode) {
                painter.drawImage(kLogo.translated(origin), logo);
                if (const auto picture = codes.picture(qrText(f.at(0), f.at(5)))) {
                    platform::GraphicsContext context(&painter, false);
                    platform::GraphicsContext::Scope scope(context);
                    picture->drawInRect(QRectF(origin + kQRCode, picture->size()));
                }
            }
        }
        painter.end();
    }
    state.counters["pdf_KiB"] =
        double(QFile(folder.filePath(QStringLiteral("plain.pdf"))).size()) / 1024.0;
    recordCounters(state);
}

void BM_PrintSheets(benchmark::State& state)
{
    printAllSheets(state, false);
}
void BM_PrintSheets_Baseline(benchmark::State& state)
{
    printAllSheetsBaseline(state, false);
}
void BM_PrintSheetsWithLogoAndQRCode(benchmark::State& state)
{
    printAllSheets(state, true);
}
void BM_PrintSheetsWithLogoAndQRCode_Baseline(benchmark::State& state)
{
    printAllSheetsBaseline(state, true);
}

} // namespace

// Each case beside its baseline, so the two meet the same load.
BENCHMARK(BM_PrintSheets)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSheets_Baseline)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSheets)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSheets_Baseline)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSheets)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSheets_Baseline)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSheetsWithLogoAndQRCode)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSheetsWithLogoAndQRCode_Baseline)->Arg(300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSheetsWithLogoAndQRCode)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSheetsWithLogoAndQRCode_Baseline)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSheetsWithLogoAndQRCode)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PrintSheetsWithLogoAndQRCode_Baseline)->Arg(30000)->Unit(benchmark::kMillisecond);
