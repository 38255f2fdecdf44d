// Address labels from imported records, exported as a user does it: File > Import
// Comma-Separated Records… with its panel, then File > Export… in preview with the full
// sheet chosen in the export panel, and the PDF read back: one page per sheet of records,
// each record's name on its sheet.

#include "ProgramFixture.h"

#include "document/DimensionInfo.h"
#include "graphics/LBTextArea.h"
#include "merge/LBExportPanel.h"
#include "merge/LBMergeServices.h"
#include "platform/text/AttributedString.h"

#include <poppler-qt6.h>

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QFile>
#include <QFont>
#include <QTest>

#include <memory>

namespace {

class ExportJourney : public ProgramFixture
{
protected:
    // A label design holding a text box with the first column of the imported records.
    static std::unique_ptr<LBDocument> addressLabels()
    {
        auto design = std::make_unique<LBDocument>();
        QVariantMap attributes{
            {platform::FontAttributeName, QFont(QStringLiteral("DejaVu Sans"), 12)}};
        platform::AttributedString text(QStringLiteral("Import 1"), attributes);
        text.addAttribute(LBQFieldAttributeName,
                          LBMergeServices::fieldAttributeForFieldString(QStringLiteral("Import 1")),
                          platform::Range(0, text.length()));
        auto box = std::make_shared<LBTextArea>();
        box->setContents(text);
        box->setBounds(QRectF(12, 12, 200, 40));
        design->undoManager()->beginUndoGrouping();
        design->insertGraphic(box, 0, 1);
        design->undoManager()->endUndoGrouping();
        return design;
    }
};

} // namespace

TEST_F(ExportJourney, ImportedRecordsExportAsASheetPerTenRecords)
{
    std::unique_ptr<LBDocument> design = addressLabels();
    openDocument(design.get());
    ASSERT_EQ(window->mode(), LBWindowController::PreviewMode);
    const qint64 perSheet =
        DimensionInfo::integer(document->dimensionInfo(), DimensionInfo::numRows)
        * DimensionInfo::integer(document->dimensionInfo(), DimensionInfo::numColumns);
    ASSERT_EQ(perSheet, 10);

    // Twelve records, one name each, through the File menu and its panel.
    QByteArray names;
    for (int i = 1; i <= 12; ++i)
        names += "Person " + QByteArray::number(i) + "\n";
    ASSERT_TRUE(choose("importText:", 1));
    QFileDialog* importPanel = openPanel();
    ASSERT_NE(importPanel, nullptr);
    answerPanel(importPanel, textFile("People.csv", names));
    qint64 columns = 0;
    ASSERT_EQ(document->importTextArrayAndColumnCount(&columns).size(), 12);

    // File > Export… by its keys, back in the window: a PDF of the full sheets.
    window->window()->activateWindow();
    settle();
    QTest::keyClick(window->window(), Qt::Key_E, Qt::ControlModifier);
    settle();
    auto* exportPanel = openPanel<LBExportPanel>();
    ASSERT_NE(exportPanel, nullptr);
    EXPECT_EQ(exportPanel->formatPopup()->currentIndex(), LBExportPanel::PDF);
    // Beside the document, with the proposed name.
    EXPECT_EQ(QFileInfo(exportPanel->directory().absolutePath()).canonicalFilePath(),
              QFileInfo(document->fileName()).canonicalPath());
    EXPECT_EQ(exportPanel->selectedFiles().value(0).section(u'/', -1),
              QStringLiteral("My Project.pdf"));
    exportPanel->sizeMatrix()->button(1)->click();
    const QString pdfPath = folder.filePath(QStringLiteral("Labels.pdf"));
    answerPanel(exportPanel, pdfPath);
    EXPECT_TRUE(alerts.filter(QStringLiteral("could not be exported")).isEmpty())
        << alerts.join(u'\n').toStdString();

    const std::unique_ptr<Poppler::Document> pdf = Poppler::Document::load(pdfPath);
    ASSERT_NE(pdf, nullptr);
    ASSERT_EQ(pdf->numPages(), 2);
    const std::unique_ptr<Poppler::Page> first = pdf->page(0);
    const QString firstText = first->text(QRectF());
    for (int i = 1; i <= 10; ++i)
        EXPECT_TRUE(firstText.contains(QStringLiteral("Person %1").arg(i))) << i;
    EXPECT_FALSE(firstText.contains(QStringLiteral("Person 11")));
    // Each name lies in its own label's cell.
    const QVariantMap& layout = document->dimensionInfo();
    const auto real = [&layout](const QString& key) { return DimensionInfo::real(layout, key); };
    const std::vector<std::unique_ptr<Poppler::TextBox>> boxes = first->textList();
    int placed = 0;
    for (std::size_t w = 0; w + 1 < boxes.size(); ++w) {
        if (boxes[w]->text() != QLatin1String("Person"))
            continue;
        const int record = boxes[w + 1]->text().toInt();
        const DimensionInfo::Cell cell = DimensionInfo::cellOfLabel(layout, record);
        const QRectF label(
            real(DimensionInfo::leftMargin)
                + cell.column
                      * (real(DimensionInfo::labelWidth) + real(DimensionInfo::hLabelSpace)),
            real(DimensionInfo::topMargin)
                + cell.row * (real(DimensionInfo::labelHeight) + real(DimensionInfo::vLabelSpace)),
            real(DimensionInfo::labelWidth), real(DimensionInfo::labelHeight));
        EXPECT_TRUE(label.contains(boxes[w]->boundingBox())) << "Person " << record;
        ++placed;
    }
    EXPECT_EQ(placed, 10);
    const QString secondText = pdf->page(1)->text(QRectF());
    EXPECT_TRUE(secondText.contains(QStringLiteral("Person 11")));
    EXPECT_TRUE(secondText.contains(QStringLiteral("Person 12")));
}
