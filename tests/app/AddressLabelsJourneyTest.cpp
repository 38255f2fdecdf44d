// A sheet of address labels from a new user's first steps to a PDF, through the program's
// own menus, keys and panels (AddressLabelsJourney.h): the chooser, the design, the
// records, the preview, the export read back with poppler, Save As, closing, opening
// again and exporting the same sheets once more.

#include "ProgramFixture.h"

#include "AddressLabelsJourney.h"

#include "document/DimensionInfo.h"
#include "graphics/LBTextArea.h"
#include "shapes/LBRectangle.h"

#include <poppler-qt6.h>

#include <QFile>
#include <QLabel>
#include <QSettings>

#include <memory>

namespace {

class AddressLabelsJourneyTest : public ProgramFixture
{
protected:
    // The journey starts the program, which counts its launches and keeps the chooser's and
    // the drawer's choices: the settings file is put back as it was for the next tests.
    void SetUp() override
    {
        defaults().synchronize();
        QFile file(settingsPath());
        _hadSettings = file.open(QIODevice::ReadOnly);
        if (_hadSettings)
            _settings = file.readAll();
        ProgramFixture::SetUp();
    }

    void TearDown() override
    {
        ProgramFixture::TearDown();
        defaults().synchronize();
        QFile::remove(settingsPath());
        if (_hadSettings) {
            QFile file(settingsPath());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(_settings);
        }
        defaults().reload();
    }

    // Where the settings are kept (the organisation and program names, else the program's
    // own).
    static QString settingsPath()
    {
        const QString organization = QCoreApplication::organizationName();
        const QString program = QCoreApplication::applicationName();
        return QSettings(QSettings::IniFormat, QSettings::UserScope,
                         organization.isEmpty() ? QStringLiteral("Orvane") : organization,
                         program.isEmpty() ? QStringLiteral("Veltrin") : program)
            .fileName();
    }

private:
    bool _hadSettings = false;
    QByteArray _settings;
};

// A label's cell on the sheet, in points from the page's top left.
QRectF labelCell(const QVariantMap& layout, qint64 label)
{
    const auto real = [&layout](const QString& key) { return DimensionInfo::real(layout, key); };
    const DimensionInfo::Cell cell = DimensionInfo::cellOfLabel(layout, label);
    return QRectF(
        real(DimensionInfo::leftMargin)
            + cell.column * (real(DimensionInfo::labelWidth) + real(DimensionInfo::hLabelSpace)),
        real(DimensionInfo::topMargin)
            + cell.row * (real(DimensionInfo::labelHeight) + real(DimensionInfo::vLabelSpace)),
        real(DimensionInfo::labelWidth), real(DimensionInfo::labelHeight));
}

// Each word of a page with where it lies, in reading order.
struct Word
{
    QString text;
    QRectF box;
    bool operator==(const Word&) const = default;
    friend void PrintTo(const Word& word, std::ostream* out)
    {
        *out << word.text.toStdString() << " at " << word.box.x() << ", " << word.box.y();
    }
};
QList<Word> wordsOf(Poppler::Page& page)
{
    QList<Word> words;
    for (const std::unique_ptr<Poppler::TextBox>& box : page.textList())
        words.append({box->text(), box->boundingBox()});
    return words;
}

// How often the colour changes between dark and light along the row of the image, between
// the two columns: a barcode's bars change it many times.
int darkLightChanges(const QImage& image, int y, int fromX, int toX)
{
    int changes = 0;
    bool dark = qGray(image.pixel(fromX, y)) < 128;
    for (int x = fromX + 1; x < toX; ++x) {
        const bool now = qGray(image.pixel(x, y)) < 128;
        changes += now != dark;
        dark = now;
    }
    return changes;
}

} // namespace

TEST_F(AddressLabelsJourneyTest, AnAddressSheetFromTheChooserToThePdfAndBack)
{
    AddressLabelsJourney journey;
    const QString picture = pictureFile("Logo.png", QSize(24, 24), Qt::red);
    const QString records = textFile("People.csv", AddressLabelsJourney::recordsText(35));
    const QString pdfPath = folder.filePath(QStringLiteral("Labels.pdf"));
    const QString savedPath = folder.filePath(QStringLiteral("Addresses.quarnlb"));

    // The chooser: Labels, the 30-up sheet, the blank design.
    ASSERT_TRUE(journey.newDocument(*app)) << journey.failure.toStdString();
    ASSERT_TRUE(journey.chooseSheet(QStringLiteral("5160"))) << journey.failure.toStdString();
    document = journey.document;
    window = journey.window;
    const QVariantMap layout = document->dimensionInfo();
    ASSERT_EQ(DimensionInfo::integer(layout, DimensionInfo::numRows)
                  * DimensionInfo::integer(layout, DimensionInfo::numColumns),
              30);

    // The design: a border, the address box, the picture and the barcode.
    ASSERT_TRUE(journey.addRectangle()) << journey.failure.toStdString();
    ASSERT_TRUE(journey.addAddressBox()) << journey.failure.toStdString();
    ASSERT_TRUE(journey.addPicture(picture)) << journey.failure.toStdString();
    ASSERT_TRUE(journey.addBarcode(*app)) << journey.failure.toStdString();
    const QList<LBGraphicPtr> design = layer();
    ASSERT_EQ(design.size(), 4);
    const auto* barcode = dynamic_cast<const LBBarcodeImage*>(design.at(0).get());
    const auto* image = dynamic_cast<const LBImage*>(design.at(1).get());
    const auto* box = dynamic_cast<const LBTextArea*>(design.at(2).get());
    ASSERT_NE(barcode, nullptr);
    ASSERT_NE(image, nullptr);
    ASSERT_NE(dynamic_cast<const LBRectangle*>(design.at(3).get()), nullptr);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->contents()->string(), QStringLiteral("Import 1\nImport 2\nImport 3"));
    EXPECT_EQ(barcode->barcodeType(), LBCode128Barcode);

    // 35 records after the line of titles: two sheets in preview.
    ASSERT_TRUE(journey.importRecords(records)) << journey.failure.toStdString();
    qint64 columns = 0;
    const QStringList imported = document->importTextArrayAndColumnCount(&columns);
    EXPECT_EQ(columns, 3);
    ASSERT_EQ(imported.size(), 35 * 3);
    EXPECT_EQ(imported.first(), QStringLiteral("Person 1"));
    ASSERT_TRUE(journey.preview()) << journey.failure.toStdString();
    ASSERT_NE(window->pageCountText(), nullptr);
    EXPECT_EQ(window->pageCountText()->text(), QStringLiteral("2 pages"));
    // No bar says every label looks the same: the records fill them.
    auto* warning =
        window->mainWindow()->findChild<QWidget*>(QStringLiteral("ContactListWarningBar"));
    EXPECT_TRUE(!warning || !warning->isVisible());

    // The PDF: two pages; on the first each name in its own label's cell; the picture and
    // a barcode of the name on every label.
    ASSERT_TRUE(journey.exportPdf(pdfPath)) << journey.failure.toStdString();
    std::unique_ptr<Poppler::Document> pdf = Poppler::Document::load(pdfPath);
    ASSERT_NE(pdf, nullptr);
    ASSERT_EQ(pdf->numPages(), 2);
    std::unique_ptr<Poppler::Page> first = pdf->page(0);
    const QList<Word> words = wordsOf(*first);
    QSet<int> placed;
    for (qsizetype w = 0; w + 1 < words.size(); ++w) {
        if (words[w].text != QLatin1String("Person"))
            continue;
        const int record = words[w + 1].text.toInt();
        const QRectF cell = labelCell(layout, record);
        EXPECT_TRUE(cell.contains(words[w].box)) << "Person " << record;
        EXPECT_TRUE(cell.contains(words[w + 1].box)) << "Person " << record;
        placed.insert(record);
    }
    EXPECT_EQ(placed.size(), 30);
    // The address lines too (the street wraps in the box the field names fitted): every
    // word on the labels' rows in a label's cell (the page number and date go below them).
    EXPECT_TRUE(first->text(QRectF()).contains(QStringLiteral("30 Main")));
    const double lastRowBottom = labelCell(layout, 30).bottom();
    for (const Word& word : words) {
        if (word.box.top() > lastRowBottom)
            continue;
        bool inCell = false;
        for (int label = 1; label <= 30 && !inCell; ++label)
            inCell = labelCell(layout, label).contains(word.box);
        EXPECT_TRUE(inCell) << word.text.toStdString() << " at " << word.box.x() << ", "
                            << word.box.y();
    }
    EXPECT_FALSE(first->text(QRectF()).contains(QStringLiteral("Person 31")));
    EXPECT_TRUE(pdf->page(1)->text(QRectF()).contains(QStringLiteral("Person 35")));

    const double scale = 2.0; // 144 dpi
    const QImage sheet = first->renderToImage(72 * scale, 72 * scale);
    ASSERT_FALSE(sheet.isNull());
    QList<QImage> barcodes;
    for (int label = 1; label <= 30; ++label) {
        const QPointF origin = labelCell(layout, label).topLeft();
        const QPointF logo = (origin + image->bounds().center()) * scale;
        const QColor pixel = sheet.pixelColor(logo.toPoint());
        EXPECT_TRUE(pixel.red() > 240 && pixel.green() < 16 && pixel.blue() < 16)
            << "label " << label << ": " << pixel.name().toStdString();
        const QRectF bars = barcode->bounds().translated(origin);
        EXPECT_GT(darkLightChanges(sheet, int(bars.center().y() * scale), int(bars.left() * scale),
                                   int(bars.right() * scale)),
                  20)
            << "label " << label;
        barcodes << sheet.copy(QRectF(bars.topLeft() * scale, bars.size() * scale).toRect());
    }
    // The barcodes carry each label's own name.
    EXPECT_NE(barcodes.at(0), barcodes.at(1));

    // Save As, close, open again: the same design, records and layout.
    ASSERT_TRUE(journey.saveAs(savedPath)) << journey.failure.toStdString();
    EXPECT_EQ(window->mainWindow()->windowTitle().remove(QStringLiteral("[*]")),
              QStringLiteral("Addresses.quarnlb"));
    ASSERT_TRUE(journey.close()) << journey.failure.toStdString();
    ASSERT_TRUE(journey.reopen(*app, savedPath)) << journey.failure.toStdString();
    document = journey.document;
    window = journey.window;
    EXPECT_EQ(document->dimensionInfo(), layout);
    EXPECT_EQ(document->importTextArrayAndColumnCount(&columns), imported);
    const QList<LBGraphicPtr> reopened = layer();

    ASSERT_EQ(reopened.size(), design.size());
    for (qsizetype i = 0; i < design.size(); ++i) {
        EXPECT_EQ(reopened.at(i)->graphicType(), design.at(i)->graphicType()) << i;
        EXPECT_EQ(reopened.at(i)->bounds(), design.at(i)->bounds()) << i;
    }

    // Exported again: the same words at the same places.
    const QString againPath = folder.filePath(QStringLiteral("Again.pdf"));
    ASSERT_TRUE(journey.exportPdf(againPath)) << journey.failure.toStdString();
    std::unique_ptr<Poppler::Document> again = Poppler::Document::load(againPath);
    ASSERT_NE(again, nullptr);
    ASSERT_EQ(again->numPages(), 2);
    EXPECT_EQ(wordsOf(*again->page(0)), words);
    EXPECT_TRUE(journey.alerts.filter(QStringLiteral("could not")).isEmpty())
        << journey.alerts.join(u'\n').toStdString();
}
