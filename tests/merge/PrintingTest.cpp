// Printing a document through the renderer into PDF files: pages, the calibration page and
// the printer's offset, envelopes fitted to their feed, the printer chosen, and
// everything put back however the job ends.

#include "MergeFieldsSupport.h"

#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "merge/LBPrintCalibrationController.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/Alert.h"
#include "platform/ui/PrintOperation.h"
#include "platform/ui/Printers.h"

#include <poppler-qt6.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

class FakePrinters : public platform::Printers::Source
{
public:
    explicit FakePrinters(QList<platform::Printers::Printer> list) : _list(std::move(list)) {}
    QList<platform::Printers::Printer> printers() const override { return _list; }
    QList<QPageSize> paperSizes(const QString&) const override { return {}; }

private:
    QList<platform::Printers::Printer> _list;
};

// The ink's bounding box of a picture (anything darker than light grey).
QRect inkBox(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0 && qGray(image.pixel(x, y)) < 160)
                box = box.united(QRect(x, y, 1, 1));
    return box;
}

} // namespace

class PrintingTest : public SheetTest
{
protected:
    ~PrintingTest() override
    {
        platform::PrintOperation::setPanelHandler({});
        platform::Printers::setSource(nullptr);
    }

    platform::PrintInfo pdfJob(const QString& name, const QString& printer = QString())
    {
        platform::PrintInfo info = document->printInfo();
        info.setJobDisposition(platform::PrintInfo::Save);
        info.setJobSavingPath(_folder.filePath(name));
        info.setPrinterName(printer);
        return info;
    }
    std::unique_ptr<Poppler::Document> readPdf(const QString& name)
    {
        return Poppler::Document::load(_folder.filePath(name));
    }

    QTemporaryDir _folder;
};

TEST_F(PrintingTest, EverySheetOfTheRecordsIsAPage)
{
    services->records = 14;
    square(QRectF(10, 10, 20, 20));
    ASSERT_EQ(document->runPrintJob(pdfJob("sheets.pdf"), false),
              platform::PrintOperation::Result::Printed);
    const auto pdf = readPdf("sheets.pdf");
    ASSERT_TRUE(pdf);
    EXPECT_EQ(pdf->numPages(), 3);
    // The pages are the paper of the print settings.
    const QSizeF page = pdf->page(0)->pageSizeF();
    EXPECT_NEAR(page.width(), 612, 0.5);
    EXPECT_NEAR(page.height(), 792, 0.5);
}

// A text box of an import field printed over two sheets: each page shows the records of
// its own cells, and the next job prints the text the box has by then.
TEST_F(PrintingTest, EachSheetPrintsItsOwnRecordsAndTheNextJobTheBoxsNewText)
{
    loadShippedFieldLists();
    QStringList names;
    for (int r = 0; r < 8; ++r)
        names.append(QStringLiteral("Person%1").arg(r));
    document->setImportTextArray(names, 1);
    services->records = 8;
    const QVariantMap font{
        {platform::FontAttributeName, QFont(QStringLiteral("DejaVu Sans"), 10)}};
    const auto greeting = [&](const QString& word) {
        QVariantMap field = font;
        field.insert(LBQFieldAttributeName,
                     LBMergeServices::fieldAttributeForFieldString(QStringLiteral("Import 1")));
        platform::AttributedString text(word + QLatin1Char(' '), font);
        text.appendAttributedString(
            platform::AttributedString(QStringLiteral("Import 1"), field));
        return text;
    };
    auto box = std::make_shared<LBTextArea>();
    box->setBoundsNoOtherChanges(QRectF(5, 5, 90, 40));
    box->setContents(greeting(QStringLiteral("Hello")));
    document->undoManager()->disableUndoRegistration();
    document->insertGraphic(box, 0, 1);
    document->undoManager()->enableUndoRegistration();

    // The greetings and names on each page, by the PDF's text (the sheet's number and date
    // left out).
    static const QRegularExpression ours(QStringLiteral("^(Hello|Goodbye|Person\\d)$"));
    const auto pages = [&](const QString& name) {
        QList<QStringList> words;
        EXPECT_EQ(document->runPrintJob(pdfJob(name), false),
                  platform::PrintOperation::Result::Printed);
        const auto pdf = readPdf(name);
        for (int k = 0; pdf && k < pdf->numPages(); ++k) {
            QStringList page;
            for (const auto& word : pdf->page(k)->textList())
                if (ours.match(word->text()).hasMatch())
                    page.append(word->text());
            words.append(page);
        }
        return words;
    };
    const auto cellsOf = [&](const QString& word, int first, int last) {
        QStringList expected;
        for (int r = first; r <= last; ++r)
            expected << word << QStringLiteral("Person%1").arg(r);
        return expected;
    };
    const QList<QStringList> first = pages(QStringLiteral("first.pdf"));
    ASSERT_EQ(first.size(), 2);
    EXPECT_EQ(first.at(0), cellsOf(QStringLiteral("Hello"), 0, 5));
    EXPECT_EQ(first.at(1), cellsOf(QStringLiteral("Hello"), 6, 7));

    box->setContents(greeting(QStringLiteral("Goodbye")));
    const QList<QStringList> second = pages(QStringLiteral("second.pdf"));
    ASSERT_EQ(second.size(), 2);
    EXPECT_EQ(second.at(0), cellsOf(QStringLiteral("Goodbye"), 0, 5));
    EXPECT_EQ(second.at(1), cellsOf(QStringLiteral("Goodbye"), 6, 7));
}

TEST_F(PrintingTest, TheCalibrationPageMovesByThePrintersOffset)
{
    defaults().setObject(
        QVariantList{QVariantMap{{"printerName", "Office"}, {"printerAdjustment", "{-3, 2}"}}},
        QStringLiteral("Printer Calibration Array"));
    setSheet(1, 1, 200, 100);
    layout()[DimensionInfo::pageWidth] = 300;
    layout()[DimensionInfo::pageHeight] = 200;
    services->records = 40;
    QRect boxes[2];
    int i = 0;
    for (const char* printer : {"Elsewhere", "Office"}) {
        // Set for each job: the window clears it when the job has run.
        LBRenderingView::setPrintingCalibrationPage(true);
        const QString name = QStringLiteral("%1.pdf").arg(printer);
        ASSERT_EQ(document->runPrintJob(pdfJob(name, printer), false),
                  platform::PrintOperation::Result::Printed);
        const auto pdf = readPdf(name);
        ASSERT_TRUE(pdf);
        EXPECT_EQ(pdf->numPages(), 1);
        const QImage image = pdf->page(0)->renderToImage(288, 288);
        boxes[i++] = inkBox(image);
    }
    ASSERT_FALSE(boxes[0].isEmpty());
    // 3 points right and 2 points up, at 4 pixels a point.
    EXPECT_NEAR(boxes[1].left() - boxes[0].left(), 12, 1);
    EXPECT_NEAR(boxes[1].top() - boxes[0].top(), -8, 1);
    // The marks straddle the label's right and bottom edges.
    EXPECT_LT(boxes[0].left(), 210 * 4);
    EXPECT_GT(boxes[0].right(), 210 * 4);
    EXPECT_GT(boxes[0].bottom(), 110 * 4);
}

struct EnvelopeCase
{
    qint64 labelType;
    bool front;
    bool faceUp;
    qint64 position;
    const char* paper;
    QSizeF page;
    const char* marginKey;
    double margin; // -1: the layout's own
};

class EnvelopeFeedTest : public PrintingTest, public ::testing::WithParamInterface<EnvelopeCase>
{};

TEST_P(EnvelopeFeedTest, TheEnvelopeSitsWhereThePrinterFeedsIt)
{
    const EnvelopeCase& c = GetParam();
    QVariantMap& info = layout();
    info[DimensionInfo::labelType] = c.labelType;
    info[DimensionInfo::paperSize] = c.paper;
    info[DimensionInfo::labelWidth] = c.labelType == 6 ? 297 : 684;
    info[DimensionInfo::labelHeight] = c.labelType == 6 ? 684 : 297;
    info[DimensionInfo::topMargin] = 11;
    info[DimensionInfo::leftMargin] = 13;
    const QVariantMap before = info;
    defaults().setObject(false, QStringLiteral("Envelope Automatic Alignment"));
    defaults().setObject(c.front, QStringLiteral("Printer Loads Envelopes From Front"));
    defaults().setObject(c.faceUp, QStringLiteral("Envelopes Are Face Up"));
    defaults().setObject(c.position, QStringLiteral("Envelope Feed Position"));

    document->setupForEnvelopePrinting();
    EXPECT_NEAR(DimensionInfo::real(info, DimensionInfo::pageWidth), c.page.width(), 1e-3);
    EXPECT_NEAR(DimensionInfo::real(info, DimensionInfo::pageHeight), c.page.height(), 1e-3);
    const double own = DimensionInfo::real(before, QString::fromLatin1(c.marginKey));
    EXPECT_NEAR(DimensionInfo::real(info, QString::fromLatin1(c.marginKey)),
                c.margin < 0 ? own : c.margin, 1e-3);
    document->printingComplete();
    EXPECT_EQ(info, before);
}

INSTANTIATE_TEST_SUITE_P(
    Feeds, EnvelopeFeedTest,
    ::testing::Values(
        EnvelopeCase{5, true, true, 1, "Letter", {792, 612}, "topMargin", (612 - 297) / 2.0},
        EnvelopeCase{5, true, true, 2, "Letter", {792, 612}, "topMargin", -1},
        EnvelopeCase{5, true, true, 0, "Letter", {792, 612}, "topMargin", 612 - 297},
        EnvelopeCase{5, true, false, 0, "Letter", {792, 612}, "topMargin", -1},
        EnvelopeCase{6, true, true, 0, "Letter", {612, 792}, "leftMargin", -1},
        EnvelopeCase{
            6, true, true, 2, "A4", {595.2755907, 841.88976399}, "leftMargin", 595.2755907 - 297}));

TEST_F(PrintingTest, AutomaticAlignmentLeavesTheEnvelopeAlone)
{
    layout()[DimensionInfo::labelType] = 5;
    const QVariantMap before = layout();
    defaults().setObject(true, QStringLiteral("Envelope Automatic Alignment"));
    document->setupForEnvelopePrinting();
    EXPECT_EQ(layout(), before);
}

TEST_F(PrintingTest, ACancelledPanelPutsEverythingBack)
{
    layout()[DimensionInfo::labelType] = 5;
    layout()[DimensionInfo::paperSize] = "Letter";
    layout()[DimensionInfo::labelHeight] = 297;
    defaults().setObject(false, QStringLiteral("Envelope Automatic Alignment"));
    defaults().setObject(qint64(1), QStringLiteral("Envelope Feed Position"));
    const auto shape = square(QRectF(10, 10, 20, 20));
    shape->setZoomFactor(2.0);
    const QVariantMap before = layout();
    QVariantMap during;
    bool printingDuring = false;
    platform::PrintOperation::setPanelHandler([&](QPrinter&) {
        during = document->dimensionInfo();
        printingDuring = LBDocument::isPrinting();
        return false;
    });
    EXPECT_EQ(document->ourPrintShowingPrintPanel(true),
              platform::PrintOperation::Result::Cancelled);
    EXPECT_TRUE(printingDuring);
    EXPECT_DOUBLE_EQ(DimensionInfo::real(during, DimensionInfo::pageWidth), 792);
    EXPECT_DOUBLE_EQ(DimensionInfo::real(during, DimensionInfo::topMargin), (612 - 297) / 2.0);
    EXPECT_EQ(document->dimensionInfo(), before);
    EXPECT_DOUBLE_EQ(shape->zoomFactor(), 2.0);
    EXPECT_FALSE(LBDocument::isPrinting());
    EXPECT_FALSE(LBProcessState::useFullResolutionImages());
    EXPECT_EQ(LBProcessState::imageDisplayResolution(), 150);
    EXPECT_FALSE(document->printRenderingView());
}

TEST_F(PrintingTest, AFailedJobPutsEverythingBackAndSaysWhy)
{
    const auto shape = square(QRectF(10, 10, 20, 20));
    shape->setZoomFactor(3.0);
    platform::PrintInfo info = pdfJob("x.pdf");
    info.setJobSavingPath(_folder.filePath("missing/folder/x.pdf"));
    QString error;
    EXPECT_EQ(document->runPrintJob(info, false, &error), platform::PrintOperation::Result::Failed);
    EXPECT_FALSE(error.isEmpty());
    EXPECT_DOUBLE_EQ(shape->zoomFactor(), 3.0);
    EXPECT_FALSE(LBDocument::isPrinting());
}

TEST_F(PrintingTest, LabelPrintersAndThePreferredPrinter)
{
    platform::Printers::setSource(std::make_shared<FakePrinters>(QList<platform::Printers::Printer>{
        {"Office", "HP LaserJet"}, {"Desk Labels", "DYMO LabelWriter 450"}}));
    defaults().setObject(qint64(1), QStringLiteral("Preferred Printer"));
    layout()[DimensionInfo::paperManufacturer] = "DYMO";
    EXPECT_EQ(document->printerNameForPrinting("Current"), "Desk Labels");
    layout()[DimensionInfo::paperManufacturer] = "Brother";
    EXPECT_EQ(document->printerNameForPrinting("Current"), "Office");
    layout()[DimensionInfo::paperManufacturer] = "Avery";
    EXPECT_EQ(document->printerNameForPrinting("Current"), "Office");
    defaults().setObject(qint64(3), QStringLiteral("Preferred Printer"));
    EXPECT_EQ(document->printerNameForPrinting("Current"), "Current");
    defaults().setObject(qint64(0), QStringLiteral("Preferred Printer"));
    EXPECT_EQ(document->printerNameForPrinting("Current"), "Current");
}

TEST_F(PrintingTest, CalibrationSheetStoresOffsetsInPlaceAndOnlyWhenNotZero)
{
    platform::Printers::setSource(std::make_shared<FakePrinters>(QList<platform::Printers::Printer>{
        {"Office", "HP"}, {"Desk", "Epson"}, {"Hall", "Canon"}}));
    defaults().setObject(
        QVariantList{QVariantMap{{"printerName", "Desk"}, {"printerAdjustment", "{4, -1}"}}},
        QStringLiteral("Printer Calibration Array"));
    LBPrintCalibrationController sheet;
    sheet.selectPrinterAtIndex(1);
    EXPECT_DOUBLE_EQ(sheet.horizontalField()->value(), -4.0);
    EXPECT_DOUBLE_EQ(sheet.verticalField()->value(), 1.0);
    // Desk to 0, 0: kept in place; Office with 0, 0: no entry; Hall 2, 3: appended.
    sheet.horizontalField()->setValue(0);
    sheet.verticalField()->setValue(0);
    sheet.selectPrinterAtIndex(0);
    sheet.selectPrinterAtIndex(2);
    sheet.horizontalField()->setValue(2);
    sheet.verticalField()->setValue(3);
    sheet.saveCurrentAdjustments();
    const QVariantList expected{
        QVariantMap{{"printerName", "Desk"}, {"printerAdjustment", "{0, 0}"}},
        QVariantMap{{"printerName", "Hall"}, {"printerAdjustment", "{-2, -3}"}}};
    EXPECT_EQ(sheet.calibrationArray(), expected);
    sheet.selectPrinterAtIndex(9);
    EXPECT_EQ(sheet.indexOfSelectedPrinter(), 0);
}

TEST_F(PrintingTest, WithoutAPrinterTheCalibrationSheetSaysSoAndTakesNoValues)
{
    for (const bool withPrinter : {false, true}) {
        SCOPED_TRACE(withPrinter ? "a printer" : "no printer");
        platform::Printers::setSource(std::make_shared<FakePrinters>(
            withPrinter ? QList<platform::Printers::Printer>{{"Office", "HP"}}
                        : QList<platform::Printers::Printer>{}));
        LBPrintCalibrationController sheet;
        EXPECT_EQ(sheet.noPrinterNote()->isHidden(), withPrinter);
        for (QWidget* control : std::initializer_list<QWidget*>{
                 sheet.printerPopup(), sheet.horizontalField(), sheet.verticalField(),
                 sheet.saveButton(), sheet.printButton()})
            EXPECT_EQ(control->isEnabled(), withPrinter) << control->metaObject()->className();
    }
}

TEST_F(PrintingTest, CancellingAfterATestPrintRestoresWhatTheSheetFirstFound)
{
    platform::Printers::setSource(std::make_shared<FakePrinters>(
        QList<platform::Printers::Printer>{{"Office", "HP"}, {"Desk", "Epson"}}));
    const QVariantList original{
        QVariantMap{{"printerName", "Desk"}, {"printerAdjustment", "{1, 1}"}}};
    defaults().setObject(original, QStringLiteral("Printer Calibration Array"));
    platform::PrintOperation::setPanelHandler([](QPrinter&) { return false; });

    services->openPrinterCalibrationSheet();
    LBPrintCalibrationController* sheet = services->calibrationController();
    ASSERT_TRUE(sheet);
    sheet->selectPrinterAtIndex(1);
    sheet->horizontalField()->setValue(7);
    sheet->printAction(); // writes the array, prints the test page, reopens the sheet
    EXPECT_FALSE(LBRenderingView::printingCalibrationPage());
    QCoreApplication::processEvents();
    ASSERT_TRUE(services->calibrationController());
    EXPECT_EQ(services->calibrationController()->indexOfSelectedPrinter(), 1);
    EXPECT_NE(defaults().arrayForKey(QStringLiteral("Printer Calibration Array")), original);
    services->calibrationController()->cancelAction();
    EXPECT_EQ(defaults().arrayForKey(QStringLiteral("Printer Calibration Array")), original);
}

TEST_F(PrintingTest, ADesignWithContactFieldsAndNoRecordAlertsInsteadOfPrintingBlankSheets)
{
    controller->_foundOtherContactField = true;
    services->records = 0;
    QStringList alerts;
    platform::Alert::setResponder([&alerts](const platform::Alert& alert, QWidget*) {
        alerts.append(alert.messageText);
        return platform::Alert::Response{};
    });
    EXPECT_EQ(document->runPrintJob(pdfJob("none.pdf"), false),
              platform::PrintOperation::Result::Cancelled);
    EXPECT_FALSE(QFile::exists(_folder.filePath("none.pdf")));
    QString error;
    controller->_foundOtherContactField = true; // the window scans again as it loads
    EXPECT_TRUE(services->exportDataForResolution(300, 1, 5, 1.0, false, &error).isEmpty());
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(alerts, QStringList(2, QStringLiteral("There are no records to print.")));
    EXPECT_FALSE(LBDocument::isPrinting());

    // With a record it prints.
    services->records = 1;
    EXPECT_EQ(document->runPrintJob(pdfJob("one.pdf"), false),
              platform::PrintOperation::Result::Printed);
    platform::Alert::setResponder(nullptr);
}
