// The document package: types and extensions, the document dictionary written and read
// back key by key, the package's entries, older forms of the file, and saving documents of
// the older extension.

#include "PackageTestSupport.h"

#include "document/DimensionInfo.h"
#include "graphics/LBTextArea.h"
#include "platform/core/Archive.h"
#include "platform/core/TextForms.h"
#include "platform/text/TextStorage.h"
#include "shapes/LBRectangle.h"

#include <unistd.h>

using platform::Archive;

namespace {

// Every setting the dictionary carries, as text, so two documents compare in one line each.
QStringList settingsOf(LBDocument& d)
{
    QStringList lines;
    const auto color = [](const QColor& c) {
        return c.isValid() ? c.name(QColor::HexArgb) : "none";
    };
    for (qint64 f = 0; f < 2; ++f) {
        lines << QStringLiteral("face %1: colour %2 has %3 draw %4 print %5")
                     .arg(f)
                     .arg(color(d.backgroundColor(f)))
                     .arg(d.hasBackgroundColor(f))
                     .arg(d.drawBackgroundColor(f))
                     .arg(d.printBackgroundColor(f));
        // A face's picture flags count with a picture, its placeholder's with a placeholder.
        if (!d.backgroundImagePath(f).isEmpty())
            lines << QStringLiteral("face %1: picture %2 scaling %3 transparency %4 draw %5 "
                                    "print %6")
                         .arg(f)
                         .arg(d.backgroundImage(f) ? d.backgroundImage(f)->pixelsWide() : -1)
                         .arg(d.backgroundImageScaling(f))
                         .arg(d.backgroundImageTransparency(f))
                         .arg(d.drawBackgroundImage(f))
                         .arg(d.printBackgroundImage(f));
        if (d.hasBackgroundPlaceholder(f))
            lines << QStringLiteral("face %1: placeholder \"%2\" at %3 vertical %4 colours %5 %6 "
                                    "pattern %7 draw %8 print %9")
                         .arg(f)
                         .arg(d.placeholderLabel(f))
                         .arg(d.placeholderLabelPosition(f))
                         .arg(d.placeholderLabelIsVertical(f))
                         .arg(color(d.placeholderColor(f)), color(d.placeholderLabelColor(f)))
                         .arg(d.placeholderPatternIndex(f))
                         .arg(d.drawBackgroundPlaceholder(f))
                         .arg(d.printBackgroundPlaceholder(f));
    }
    lines << QStringLiteral("grid %1 guides %2 print %3")
                 .arg(d.gridSpacing())
                 .arg(d.guideSpacing())
                 .arg(d.printGrid());
    QStringList project;
    const QVariantMap description = d.projectDescription();
    for (auto i = description.cbegin(); i != description.cend(); ++i)
        project << i.key() + QLatin1Char('=') + i.value().toString();
    lines << QStringLiteral("project ") + project.join(',');
    qint64 columns = 0;
    const QStringList rows = d.importTextArrayAndColumnCount(&columns);
    lines << QStringLiteral("import %1 columns: %2").arg(columns).arg(rows.join('|'));
    lines << QStringLiteral("postnet %1 fim %2 aux %3 repeat %4")
                 .arg(d.postnetBarcodeLocation())
                 .arg(d.FIMType())
                 .arg(d.drawAuxiliaryInfo())
                 .arg(d.labelRepeatCount());
    QStringList layout;
    for (auto i = d.dimensionInfo().cbegin(); i != d.dimensionInfo().cend(); ++i)
        layout << i.key() + QLatin1Char('=') + i.value().toString();
    lines << QStringLiteral("layout ") + layout.join(',');
    const platform::PrintInfo print = d.printInfo();
    lines << QStringLiteral("print %1 %2x%3 %4 %5")
                 .arg(print.paperName())
                 .arg(print.paperSize().width())
                 .arg(print.paperSize().height())
                 .arg(print.orientation())
                 .arg(print.printerName());
    // The pages, layers and graphics with every list.
    const qint64 current = d.pageIndex();
    for (qint64 p = 0; p < d.numPages(); ++p) {
        d.setPageIndex(p, false);
        for (qint64 l = 0; l < d.layerCount(); ++l)
            lines << QStringLiteral("page %1 layer %2 \"%3\" shown %4 prints %5 graphics %6")
                         .arg(p)
                         .arg(l)
                         .arg(d.layerNameAtIndex(l))
                         .arg(d.layerAtIndexIsVisible(l))
                         .arg(d.layerAtIndexWillPrint(l))
                         .arg(d.pageGraphics()[l].size());
        lines << QStringLiteral("page %1 selected %2").arg(p).arg(d.selectedLayerIndex());
    }
    d.setPageIndex(current, false);
    lines << QString::fromLatin1(LBDocument::dataForGraphics(d.documentGraphics()));
    return lines;
}

} // namespace

TEST(LBDocumentTypes, ExtensionsFollowTheLayoutAndTypesTheExtension)
{
    struct Layout
    {
        qint64 labelType;
        const char* maker;
        const char* extension;
    };
    for (const Layout& c :
         {Layout{1, "Quarn", "quarnlb"}, Layout{5, "DYMO", "quarnlb"},
          Layout{5, "Seiko", "quarnlb"}, Layout{6, "Brother", "quarnlb"}, Layout{6, "", "quarnev"},
          Layout{5, "Quarn", "quarnev"}, Layout{7, "", "quarnpg"}, Layout{8, "DYMO", "quarnpg"},
          Layout{18, "", "quarnlb"}}) {
        const QVariantMap layout{{DimensionInfo::labelType, c.labelType},
                                 {DimensionInfo::paperManufacturer, c.maker}};
        EXPECT_EQ(LBDocument::docExtensionForLayout(layout), c.extension)
            << c.labelType << ' ' << c.maker;
        EXPECT_EQ(LBDocument::isEnvelopeLayout(layout), QString(c.extension) == "quarnev");
    }
    struct Type
    {
        const char* extension;
        QString type;
    };
    for (const Type& c :
         {Type{"quarnl", LBDocument::OldDocumentType},
          Type{"quarnev", LBDocument::EnvelopeDocumentType},
          Type{"quarnpg", LBDocument::PageDocumentType},
          Type{"quarnlb", LBDocument::LabelDocumentType},
          Type{"txt", LBDocument::LabelDocumentType}, Type{"", LBDocument::LabelDocumentType}}) {
        EXPECT_EQ(LBDocument::documentTypeStringForExtension(c.extension), c.type) << c.extension;
    }
    LBDocument document;
    EXPECT_EQ(document.typeForFileName("/a/Card.quarnev"), LBDocument::EnvelopeDocumentType);
    EXPECT_EQ(document.typeForFileName("/a/notes.txt"), QString());
    EXPECT_EQ(document.fileNameExtensionForType(LBDocument::PageDocumentType), "quarnpg");
    EXPECT_FALSE(document.shouldRunSavePanelWithAccessoryView());
}

TEST_F(PackageTest, EveryKeyReadsBackAsWritten)
{
    // Two pages of layers with their names, flags and selections.
    fill(1, {"a", "b"});
    document->insertLayerWithName(QStringLiteral("Top"), 2);
    document->showLayerAtIndex(0, false);
    document->printLayerAtIndex(2, false);
    document->selectLayerAtIndex(2);
    document->insertPageWithGraphics({LBDocument::Layer{std::make_shared<LBRectangle>()}},
                                     {QStringLiteral("Only")}, 1);
    // Every setting.
    const QString background = writeFile("paper.png", picture(60, 40, "png"));
    document->setBackgroundImagePath(background, true, 0);
    document->setBackgroundImageScaling(3, 0);
    document->setBackgroundImageTransparency(0.25, 0);
    document->setDrawBackgroundImage(true, 0);
    document->setPrintBackgroundImage(false, 0);
    document->setBackgroundColor(QColor(10, 20, 30), 0);
    document->setHasBackgroundColor(true, 0);
    document->setDrawBackgroundColor(true, 0);
    document->setBackgroundColor(QColor(200, 100, 50, 128), 1);
    document->setHasBackgroundPlaceholder(true, 1);
    document->setPlaceholderLabel(QStringLiteral("Your photo \u00e9"), 1);
    document->setPlaceholderLabelPosition(7, 1);
    document->setPlaceholderLabelIsVertical(true, 1);
    document->setPlaceholderColor(QColor(1, 2, 3), 1);
    document->setPlaceholderLabelColor(QColor(4, 5, 6), 1);
    document->setDrawBackgroundPlaceholder(true, 1);
    document->setPrintBackgroundPlaceholder(false, 1);
    document->setGridSpacing(12.5, false);
    document->setGuideSpacing(4, false);
    document->setPrintGrid(true);
    document->setProjectDescription(
        {{QStringLiteral("ProjectType"), QStringLiteral("12")},
         {QStringLiteral("ManufacturerName"), QStringLiteral("Quarn")}});
    document->setImportTextArray({"Ann", "Bo", "Cy", "Di"}, 2);
    document->setPostnetBarcodeLocation(2);
    document->setFIMType(3);
    document->setDrawAuxiliaryInfo(1, false);
    document->setLabelRepeatCount(4);
    QVariantMap layout = document->dimensionInfo();
    layout.insert(DimensionInfo::labelType, qint64(3));
    layout.insert(DimensionInfo::cornerRadius, 9.5);
    layout.insert(DimensionInfo::paperSize, QStringLiteral("A4"));
    document->setDimensionInfo(layout);
    platform::PrintInfo print;
    print.setPaperBySize({595.2755907, 841.88976399});
    print.setOrientation(platform::PrintInfo::Landscape);
    print.setPrinterName(QStringLiteral("Office"));
    document->ourSetPrintInfo(print);

    const QStringList settings = settingsOf(*document);
    const QString package = path("Card.quarnlb");
    ASSERT_TRUE(saveAs(package));
    EXPECT_EQ(document->fileName(), package);
    EXPECT_FALSE(document->isDocumentEdited());

    const QVariantMap contents = contentsOf(package);
    EXPECT_EQ(contents.value("DocumentVersion"), "2410");
    EXPECT_EQ(contents.value("BackgroundImageTransparency"), "0.250000");
    EXPECT_EQ(contents.value("GridSpacing"), "12.500000");

    platform::Error error;
    std::unique_ptr<LBDocument> opened = open(package, &error);
    ASSERT_NE(opened, nullptr) << error.description.toStdString();
    document = std::move(opened);
    EXPECT_EQ(settingsOf(*document), settings);
    EXPECT_TRUE(document->openedExistingFile());
    EXPECT_TRUE(document->addsQuarnLabelControls());
    EXPECT_EQ(document->fileName(), package);
    EXPECT_FALSE(document->isDocumentEdited());
    EXPECT_FALSE(document->undoManager()->canUndo());
    // The background picture is the package's member.
    EXPECT_EQ(QFileInfo(document->backgroundImagePath(0)).absolutePath(), package);
}
