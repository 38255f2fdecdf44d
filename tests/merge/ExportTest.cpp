// Export: the picture formats at their resolution and compression, the panel's resolution
// rules, full sheets only for envelopes, files written whole or not at all, and PDF read
// back (text stays text, vector art and barcodes stay vector, a picture is held once).

#include "MergeTestSupport.h"

#include "graphics/LBTextArea.h"
#include "merge/LBExportPanel.h"
#include "merge/LBPrintOnlineController.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Beep.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBImage.h"

#include "../graphics/TextAreaTestSupport.h"

#include <poppler-qt6.h>

#include <QBuffer>
#include <QComboBox>
#include <QFile>
#include <QImageReader>
#include <QLabel>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSlider>
#include <QTemporaryDir>
#include <QWidget>
#include <QtEndian>

namespace {

// The value of a SHORT or LONG tag of a TIFF's first directory; -1 when absent.
qint64 tiffTag(const QByteArray& tiff, quint16 tag)
{
    if (tiff.size() < 8)
        return -1;
    const bool little = tiff.startsWith("II");
    const auto u16 = [&](qsizetype at) {
        const auto* p = reinterpret_cast<const uchar*>(tiff.constData() + at);
        return little ? qFromLittleEndian<quint16>(p) : qFromBigEndian<quint16>(p);
    };
    const auto u32 = [&](qsizetype at) {
        const auto* p = reinterpret_cast<const uchar*>(tiff.constData() + at);
        return little ? qFromLittleEndian<quint32>(p) : qFromBigEndian<quint32>(p);
    };
    const quint32 directory = u32(4);
    const quint16 count = u16(directory);
    for (quint16 i = 0; i < count; ++i) {
        const qsizetype entry = directory + 2 + 12 * i;
        if (u16(entry) != tag)
            continue;
        return u16(entry + 2) == 3 ? u16(entry + 8) : u32(entry + 8);
    }
    return -1;
}

// How often the pattern occurs in the PDF's bytes.
int countOf(const QByteArray& data, const char* pattern)
{
    int n = 0;
    auto it =
        QRegularExpression(QString::fromLatin1(pattern)).globalMatch(QString::fromLatin1(data));
    while (it.hasNext()) {
        it.next();
        ++n;
    }
    return n;
}

QByteArray vectorArtPdf()
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QSizeF(40, 40), QPageSize::Point));
    writer.setPageMargins(QMarginsF());
    QPainter painter(&writer);
    painter.fillRect(QRectF(5, 5, 30, 30), Qt::darkGreen);
    painter.end();
    return data;
}

} // namespace

class ExportTest : public SheetTest
{
protected:
    ExportTest()
    {
        setSheet(1, 1, 216, 144); // 3 x 2 inches
        services->records = 1;
        square(QRectF(10, 10, 50, 50));
    }
    ~ExportTest() override { platform::Alert::setResponder(nullptr); }

    QByteArray exported(qint64 dpi, qint64 format, qint64 compression = 5, bool full = false)
    {
        QString error;
        const QByteArray data =
            services->exportDataForResolution(dpi, format, compression, 0.8, full, &error);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return data;
    }
};

TEST_F(ExportTest, ATiffOfOneLabelAtItsResolutionAndCompression)
{
    for (const qint64 compression : {5, 32773, 1}) {
        const QByteArray tiff = exported(300, 1, compression);
        ASSERT_FALSE(tiff.isEmpty());
        EXPECT_EQ(tiffTag(tiff, 259), compression);
        const platform::ImagePtr image = platform::Image::fromData(tiff);
        ASSERT_TRUE(image) << "compression " << compression;
        EXPECT_EQ(QSize(image->pixelsWide(), image->pixelsHigh()), QSize(900, 600));
        EXPECT_NEAR(image->size().width(), 216.0, 0.01);
        EXPECT_NEAR(image->size().height(), 144.0, 0.01);
        // The square, red at its place.
        const QColor c =
            image->bitmap().pixelColor(QPointF(35 * 300 / 72.0, 35 * 300 / 72.0).toPoint());
        EXPECT_GT(c.red(), 200);
        EXPECT_LT(c.green(), 60);
    }
}

TEST_F(ExportTest, JpegAndPngAtTheResolution)
{
    for (const qint64 format : {2, 3}) {
        const QByteArray data = exported(144, format);
        QBuffer buffer;
        buffer.setData(data);
        QImageReader reader(&buffer);
        EXPECT_EQ(reader.size(), QSize(432, 288)) << "format " << format;
    }
}

// A label whose size at the resolution is no whole number of pixels: the pixels are
// rounded, and each picture still states the resolution chosen, not one bent to the
// label's exact size.
TEST_F(ExportTest, EachPictureStatesTheChosenResolutionThoughItsPixelsAreRounded)
{
    setSheet(1, 1, 100.3, 50.3);
    for (const qint64 format : {1, 2, 3}) {
        const platform::ImagePtr image = platform::Image::fromData(exported(120, format));
        ASSERT_TRUE(image) << "format " << format;
        EXPECT_EQ(QSize(image->pixelsWide(), image->pixelsHigh()), QSize(167, 84))
            << "format " << format;
        EXPECT_NEAR(image->pixelsWide() * 72.0 / image->size().width(), 120.0, 1e-6)
            << "format " << format;
        EXPECT_NEAR(image->pixelsHigh() * 72.0 / image->size().height(), 120.0, 1e-6)
            << "format " << format;
    }
}

TEST_F(ExportTest, ResolutionsAreClamped)
{
    const platform::ImagePtr image = platform::Image::fromData(exported(5, 3));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelsWide(), 30); // 10 dpi
}

TEST_F(ExportTest, TheFullSheetOfAnImageFormatIsItsFirstSheet)
{
    setSheet(1, 2, 100, 50);
    services->records = 5;
    const platform::ImagePtr image = platform::Image::fromData(exported(72, 3, 5, true));
    ASSERT_TRUE(image);
    EXPECT_EQ(QSize(image->pixelsWide(), image->pixelsHigh()), QSize(225, 70));
    EXPECT_TRUE(isRed(image->bitmap(), cellOrigin(0, 1) + QPointF(20, 20)));
}

TEST_F(ExportTest, APictureOfTheFullSheetSaysWhenTheJobHasMoreSheets)
{
    setSheet(1, 2, 100, 50);
    QStringList said;
    platform::Alert::setResponder([&said](const platform::Alert& alert, QWidget*) {
        said << alert.messageText + QLatin1Char('|') + alert.informativeText;
        return platform::Alert::Response{};
    });
    QTemporaryDir folder;
    // Five records on sheets of two: three sheets, of which the picture holds the first.
    // Two records: one sheet, nothing to say.
    for (const qint64 records : {5, 2}) {
        SCOPED_TRACE(records);
        services->records = records;
        said.clear();
        services->exportAction();
        auto* panel = controller->window()->findChild<LBExportPanel*>();
        ASSERT_NE(panel, nullptr);
        panel->formatPopup()->setCurrentIndex(LBExportPanel::PNG);
        Q_EMIT panel->formatPopup()->activated(LBExportPanel::PNG);
        const QList<QRadioButton*> sizes = panel->sizeView()->findChildren<QRadioButton*>();
        ASSERT_EQ(sizes.size(), 2);
        sizes.last()->click(); // Full Sheet
        ASSERT_TRUE(panel->fullSheet());
        const QString path = folder.filePath(QStringLiteral("sheet%1.png").arg(records));
        Q_EMIT panel->fileSelected(path); // as the panel's Export button does
        EXPECT_TRUE(QFile::exists(path));
        if (records == 5) {
            EXPECT_EQ(said, QStringList{QStringLiteral(
                                "The picture holds the first of 3 sheets.|To export every "
                                "sheet, choose PDF as the format.")});
        } else {
            EXPECT_TRUE(said.isEmpty()) << said.join(u'\n').toStdString();
        }
        delete panel;
    }
}

TEST_F(ExportTest, ExportLeavesThePrintSettingsAndTheDesignAlone)
{
    setSheet(2, 3, 100, 50);
    services->records = 8;
    const platform::PrintInfo before = document->printInfo();
    const QByteArray pdf = exported(300, 0, 5, true);
    ASSERT_TRUE(pdf.startsWith("%PDF"));
    auto doc = Poppler::Document::loadFromData(pdf);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->numPages(), 2);
    EXPECT_EQ(document->printInfo(), before);
    EXPECT_FALSE(LBDocument::isPrinting());
    EXPECT_EQ(QDir(LBProcessState::temporaryFolderPath()).entryList(QDir::Files).filter("pdf"),
              QStringList());
}

TEST_F(ExportTest, ResolutionEntryWarnsOnceAboveThreeHundredAndStopsAtTwentyFourHundred)
{
    int alerts = 0;
    platform::Alert::setResponder([&alerts](const platform::Alert& alert, QWidget*) {
        ++alerts;
        EXPECT_TRUE(alert.messageText.contains(QStringLiteral("600 dpi")));
        return platform::Alert::Response{};
    });
    LBExportPanel panel(false);
    panel.resolutionBox()->setEditText(QStringLiteral("3000"));
    EXPECT_EQ(panel.resolutionBox()->currentText(), QStringLiteral("2400 dpi"));
    EXPECT_EQ(alerts, 0);
    panel.resolutionBox()->setEditText(QStringLiteral("600"));
    EXPECT_EQ(alerts, 1);
    panel.resolutionBox()->setEditText(QStringLiteral("700"));
    EXPECT_EQ(alerts, 1);
    EXPECT_EQ(panel.resolution(), 700);
    panel.resolutionBox()->setEditText(QStringLiteral("4"));
    panel.exportPanelAccessoryAction(panel.resolutionBox());
    EXPECT_EQ(panel.resolutionBox()->currentText(), QStringLiteral("10 dpi"));
    // A box emptied or mistyped stands for the resolution it last showed, not for 10 dpi.
    panel.resolutionBox()->setEditText(QStringLiteral("150"));
    panel.exportPanelAccessoryAction(panel.resolutionBox());
    for (const QString& typed : {QString(), QStringLiteral("abc"), QStringLiteral("-5")}) {
        panel.resolutionBox()->setEditText(typed);
        EXPECT_EQ(panel.resolution(), 150) << typed.toStdString();
    }
    const quint64 beeps = platform::beepCount();
    panel.exportPanelAccessoryAction(panel.resolutionBox());
    EXPECT_EQ(panel.resolutionBox()->currentText(), QStringLiteral("150 dpi"));
    EXPECT_EQ(platform::beepCount(), beeps + 1);
}

TEST_F(ExportTest, TheFormatChoosesTheOptionsShown)
{
    LBExportPanel panel(false);
    struct Case
    {
        int format;
        bool compression, quality, label, resolution;
        const char* labelText;
    };
    for (const Case& c :
         {Case{0, false, false, false, false, ""}, Case{1, true, false, true, true, "Compression:"},
          Case{2, false, true, true, true, "Quality:"}, Case{3, false, false, false, true, ""}}) {
        panel.formatPopup()->setCurrentIndex(c.format);
        panel.exportPanelAccessoryAction(panel.formatPopup());
        EXPECT_EQ(!panel.compressionPopup()->isHidden(), c.compression) << c.format;
        EXPECT_EQ(!panel.qualitySlider()->isHidden(), c.quality) << c.format;
        EXPECT_EQ(!panel.compressionLabel()->isHidden(), c.label) << c.format;
        EXPECT_EQ(!panel.resolutionBox()->isHidden(), c.resolution) << c.format;
        if (c.label) {
            EXPECT_EQ(panel.compressionLabel()->text(), QString::fromLatin1(c.labelText));
        }
    }
}

TEST_F(ExportTest, EnvelopesExportTheirFullSheet)
{
    layout()[DimensionInfo::labelType] = 5;
    EXPECT_TRUE(services->exportsFullSheetOnly());
    LBExportPanel panel(services->exportsFullSheetOnly());
    EXPECT_TRUE(panel.sizeView()->isHidden());
    EXPECT_TRUE(panel.fullSheet());
    layout()[DimensionInfo::labelType] = 1;
    EXPECT_FALSE(services->exportsFullSheetOnly());
}

TEST_F(ExportTest, AnExportFileIsWrittenWholeOrNotAtAll)
{
    QTemporaryDir folder;
    const QString good = folder.filePath("label.png");
    QString error;
    EXPECT_TRUE(LBMergeServices::writeExportFile(good, "data", &error));
    // A folder that is a file: nothing can be written below it.
    const QString refused = good + QStringLiteral("/other.png");
    EXPECT_FALSE(LBMergeServices::writeExportFile(refused, "data", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(refused));
    QFile written(good);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), QByteArray("data"));
}

TEST_F(ExportTest, TextStaysTextWithItsFontEmbedded)
{
    auto box = std::make_shared<LBTextArea>();
    box->setBoundsNoOtherChanges(QRectF(10, 80, 180, 40));
    box->setContents(testText(QStringLiteral("Hello Sheets")));
    document->undoManager()->disableUndoRegistration();
    document->insertGraphic(box, 0, 1);
    document->undoManager()->enableUndoRegistration();
    const auto pdf = Poppler::Document::loadFromData(exported(300, 0, 5, true));
    ASSERT_TRUE(pdf);
    EXPECT_TRUE(pdf->page(0)->text(QRectF()).contains(QStringLiteral("Hello Sheets")));
    const QList<Poppler::FontInfo> fonts = pdf->fonts();
    ASSERT_FALSE(fonts.isEmpty());
    for (const Poppler::FontInfo& font : fonts)
        EXPECT_TRUE(font.isEmbedded()) << font.name().toStdString();
}

TEST_F(ExportTest, BarcodesAndPlacedArtStayVectorAndAPictureIsHeldOnce)
{
    auto barcode = LBBarcodeImage::withBarcodeType(LBCode128Barcode);
    barcode->setBoundsNoOtherChanges(
        QRectF(70, 10, barcode->bounds().width(), barcode->bounds().height()));
    auto art = std::make_shared<LBImage>();
    art->setImage(platform::Image::fromData(vectorArtPdf()), 0);
    art->setBoundsNoOtherChanges(QRectF(150, 10, 40, 40));
    document->undoManager()->disableUndoRegistration();
    document->insertGraphic(barcode, 0, 1);
    document->insertGraphic(art, 0, 1);
    document->undoManager()->enableUndoRegistration();
    const QByteArray vector = exported(300, 0, 5, true);
    EXPECT_EQ(countOf(vector, "/Subtype\\s*/Image"), 0);

    // A logo on every label of a 30-up sheet.
    setSheet(10, 3, 189, 72);
    services->records = 30;
    QImage logo(64, 32, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    auto picture = std::make_shared<LBImage>();
    picture->setImage(platform::Image::fromBitmap(logo, QSizeF(32, 16)), 0);
    picture->setBoundsNoOtherChanges(QRectF(4, 4, 32, 16));
    document->undoManager()->disableUndoRegistration();
    document->insertGraphic(picture, 0, 1);
    document->undoManager()->enableUndoRegistration();
    const QByteArray sheet = exported(300, 0, 5, true);
    EXPECT_EQ(countOf(sheet, "/Subtype\\s*/Image"), 1);
}

TEST_F(ExportTest, OnlinePrintingHasNoPageToOpenAndSavesAsPdf)
{
    services->printOnline();
    LBPrintOnlineController* sheet = services->printOnlineController();
    ASSERT_TRUE(sheet);
    EXPECT_FALSE(sheet->onlinePageButton()->isEnabled());
    sheet->saveAsPDFAction();
    ASSERT_TRUE(services->exportPanel());
    EXPECT_TRUE(services->exportPanel()->isVisible());
    services->exportPanel()->reject();
}
