// The document package: types and extensions, the document dictionary written and read
// back key by key, the package's entries, older forms of the file, and saving documents of
// the older extension.

#include "PackageTestSupport.h"

#include "document/DimensionInfo.h"
#include "graphics/InspectorPalette.h"
#include "graphics/LBTextArea.h"
#include "platform/core/Archive.h"
#include "platform/core/TextForms.h"
#include "platform/text/TextStorage.h"
#include "shapes/LBRectangle.h"

#include <QScopeGuard>

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

TEST_F(PackageTest, ThePackageHoldsContentsPicturesPreviewsLinksAndSearchText)
{
    for (const char* word : {"Hello", "World"}) {
        auto box = std::make_shared<LBTextArea>();
        box->setBoundsNoOtherChanges(QRectF(10, 10, 100, 30));
        box->setContents(QString::fromLatin1(word));
        document->insertGraphic(box, document->numGraphicsOnLayer(1), 1);
    }
    placeImage(writeFile("photo.png", picture(40, 20, "png")), QRectF(0, 50, 40, 20), 0);
    const QString package = path("Card.quarnlb");
    ASSERT_TRUE(saveAs(package));

    QStringList entries = QDir(package).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    EXPECT_EQ(entries.size(), 6) << entries.join(' ').toStdString();
    EXPECT_EQ(membersOf(package).size(), 1);
    for (const char* name :
         {"Contents.quarnd", "Preview.jpg", "Preview120.jpg", "QuickLook", "Spotlight"})
        EXPECT_TRUE(entries.contains(QString::fromLatin1(name))) << name;

    // Page 0 at 72 dpi (the label's size on a label sheet), and within 120 points.
    const QImage preview(QDir(package).filePath("Preview.jpg"), "JPEG");
    EXPECT_EQ(preview.size(), QSize(252, 144));
    const QImage small(QDir(package).filePath("Preview120.jpg"), "JPEG");
    EXPECT_EQ(small.size(), QSize(120, 69));
    EXPECT_EQ(QColor(preview.pixel(200, 130)), QColor(Qt::white));

    for (const char* link : {"QuickLook/Thumbnail.jpg", "QuickLook/Preview.jpg"}) {
        char target[64] = {};
        const QByteArray file = QFile::encodeName(QDir(package).filePath(link));
        ASSERT_GT(::readlink(file.constData(), target, sizeof target - 1), 0) << link;
        EXPECT_STREQ(target, "../Preview.jpg");
    }
    QFile spotlight(QDir(package).filePath("Spotlight"));
    ASSERT_TRUE(spotlight.open(QIODevice::ReadOnly));
    const QByteArray xml = spotlight.readAll();
    EXPECT_TRUE(xml.startsWith("<?xml"));
    const auto metadata = platform::PropertyList::fromXml(xml);
    ASSERT_TRUE(metadata);
    // Front to back: index 0 first.
    EXPECT_EQ(metadata->toMap().value("kMDItemTextContent"), "Hello World ");

    // A page spread fits 240 x 120; no text, no metadata.
    document->dimensionInfo().insert(DimensionInfo::isPageSpread, "YES");
    QImage spread;
    EXPECT_EQ(document->previewImageRepForPage(0, &spread).size(), QSize(252, 144));
    EXPECT_EQ(spread.size(), QSize(210, 120));
    EXPECT_TRUE(document->previewImageRepForPage(5).isNull());
    LBDocument empty;
    EXPECT_EQ(empty.metadataDictionary(), QVariantMap());
}

TEST_F(PackageTest, SettingsAreWrittenOnlyWhenTheyApply)
{
    // No grid of its own: no grid keys.
    QVariantMap d = LBDocument::dictionaryForGraphics(document->documentGraphics());
    document->addAuxiliaryDocumentInfoToDict(d);
    for (const char* key : {"GridSpacing", "GuideSpacing", "PrintGrid", "BackgroundImageName",
                            "HasBackgroundPlaceholder", "ProjectDescription", "ImportTextArray"})
        EXPECT_FALSE(d.contains(QString::fromLatin1(key))) << key;
    for (const char* key : {"HasBackgroundColor", "HasBackgroundColor1", "BackgroundColor1",
                            "LayerPrintingArray", "SelectedLayerArray", "LBDownsampledImageDPI"})
        EXPECT_TRUE(d.contains(QString::fromLatin1(key))) << key;

    // A face with a picture and a placeholder: the keys are shared, and the placeholder's
    // flags, written last, stand for both.
    document->setBackgroundImagePath(writeFile("paper.png", picture(30, 30, "png")), true, 0);
    document->setDrawBackgroundImage(true, 0);
    document->setPrintBackgroundImage(true, 0);
    document->setHasBackgroundPlaceholder(true, 0);
    document->setDrawBackgroundPlaceholder(false, 0);
    document->setPrintBackgroundPlaceholder(true, 0);
    const QString package = path("Both.quarnlb");
    ASSERT_TRUE(saveAs(package));
    EXPECT_EQ(contentsOf(package).value("DrawBackgroundImage"), "NO");
    const std::unique_ptr<LBDocument> opened = open(package);
    ASSERT_NE(opened, nullptr);
    EXPECT_FALSE(opened->drawBackgroundImage(0));
    EXPECT_TRUE(opened->printBackgroundImage(0));
    EXPECT_FALSE(opened->drawBackgroundPlaceholder(0));
    EXPECT_TRUE(opened->printBackgroundPlaceholder(0));
    // A placeholder without a pattern leaves the face its own picture.
    EXPECT_EQ(contentsOf(package).value("BackgroundPlaceholderPatternIndex"), "0");
    ASSERT_NE(opened->backgroundImage(0), nullptr);
    EXPECT_EQ(opened->backgroundImage(0)->pixelsWide(), 30);
    EXPECT_TRUE(opened->hasBackgroundPlaceholder(0));
    LBDocument loaded;
    ASSERT_TRUE(loaded.loadDataRepresentation(bytesOf(package + "/Contents.quarnd"),
                                              LBDocument::LabelDocumentType));
    EXPECT_EQ(loaded.backgroundImagePath(0),
              QFileInfo(contentsOf(package).value("BackgroundImageName").toString()).fileName());
}

TEST_F(PackageTest, OlderFormsOfTheFileRead)
{
    // Pages of graphics (no layers), one selected layer for all pages, the background
    // picture's bytes in the dictionary, no printing list, the visibility of page 0 alone as
    // a plain list.
    QVariantMap page = LBDocument::dictionaryForGraphics(
        LBDocument::Layer{std::make_shared<LBRectangle>(), std::make_shared<LBRectangle>()});
    QVariantMap d{
        {"GraphicsList", QVariantList{page.value("GraphicsList"),
                                      QVariantList{page.value("GraphicsList").toList().first()}}},
        {"SelectedLayerIndex", "3"},
        {"BackgroundImage", picture(24, 12, "png")},
        {"LayerVisibilityArray", QVariantList{"YES", "NO"}},
        {"LayerNameArray",
         Archive::archivedDataWithArray({QVariantList{"Under", "Over"}, QVariantList{"A", "B"}})},
    };
    const QString package = path("Old.quarnl");
    QDir().mkpath(package);
    writeFile("Old.quarnl/Contents.quarnd", platform::PropertyList::toText(d));

    alertAnswer = platform::Alert::SecondButtonReturn; // Cancel the older-format question
    platform::Error error;
    std::unique_ptr<LBDocument> opened =
        LBDocument::initWithContentsOfFile(package, LBDocument::OldDocumentType, &error);
    ASSERT_NE(opened, nullptr) << error.description.toStdString();
    document = std::move(opened);
    EXPECT_EQ(document->numPages(), 2);
    EXPECT_EQ(snapshot(), "selected 1: Under[] | Over hidden[? ?] / selected 1: A[] | B[?]")
        << "a page of graphics is an empty layer under a layer of them";
    // Every layer prints; missing picture flags read as set.
    EXPECT_TRUE(document->drawBackgroundImage(0));
    EXPECT_TRUE(document->printBackgroundImage(1));
    // The picture was taken out of the dictionary into a file, which the document must
    // keep: after reading it is edited and saving is asked for (here the older-format
    // question, answered Cancel).
    ASSERT_NE(document->backgroundImage(0), nullptr);
    EXPECT_EQ(document->backgroundImage(0)->pixelsWide(), 24);
    EXPECT_TRUE(alerts.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_TRUE(document->isDocumentEdited());
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().startsWith("This document was created with an older version"));
    EXPECT_TRUE(QFileInfo::exists(package));
}

TEST_F(PackageTest, OlderExtensionMovesToTheLayoutsOnReplace)
{
    auto panel = std::make_unique<PanelDocument>();
    document = std::move(panel);
    auto* doc = static_cast<PanelDocument*>(document.get());
    const QString old = path("Card.quarnl");
    ASSERT_TRUE(document->saveToFile(old, LBDocument::OldDocumentType,
                                     platform::Document::SaveAsOperation, nullptr));
    // The save moved it already: bring it back to the older name for the cases.
    const QString first = document->fileName();
    EXPECT_EQ(first, path("Card.quarnlb"));
    ASSERT_TRUE(QFile::rename(first, old));
    const QMap<QString, QByteArray> oldTree = treeOf(old);

    const auto reset = [&] {
        document->setFileName(old);
        document->setFileType(LBDocument::OldDocumentType);
        alerts.clear();
        doc->proposals.clear();
    };
    // Cancel: nothing.
    reset();
    alertAnswer = platform::Alert::SecondButtonReturn;
    document->saveDocument();
    EXPECT_EQ(alerts.size(), 1);
    EXPECT_EQ(document->fileName(), old);
    EXPECT_EQ(treeOf(old), oldTree);

    // New File...: Save As proposing the layout's extension; cancelling that keeps the
    // document on its file.
    reset();
    alertAnswer = platform::Alert::FirstButtonReturn;
    document->saveDocument();
    EXPECT_EQ(doc->proposals, QStringList{path("Card.quarnlb")});
    EXPECT_EQ(document->fileName(), old);
    EXPECT_EQ(document->fileType(), LBDocument::OldDocumentType);
    // ... and choosing a name saves there, as a label document.
    doc->panel = [&](const QString&) { return path("Copy.quarnlb"); };
    document->saveDocument();
    EXPECT_EQ(document->fileName(), path("Copy.quarnlb"));
    EXPECT_EQ(document->fileType(), LBDocument::LabelDocumentType);
    EXPECT_EQ(treeOf(old), oldTree);
    // Save As of an older file proposes the new extension too.
    reset();
    doc->panel = {};
    document->saveDocumentAs();
    EXPECT_EQ(doc->proposals, QStringList{path("Card.quarnlb")});
    EXPECT_EQ(document->fileName(), old);

    // An untitled document is saved as its layout's type.
    doc->proposals.clear();
    auto fresh = std::make_unique<PanelDocument>();
    fresh->dimensionInfo().insert(DimensionInfo::labelType, 7);
    fresh->panel = [&](const QString&) { return path("Page.quarnpg"); };
    fresh->saveDocument();
    ASSERT_EQ(fresh->proposals.size(), 1);
    EXPECT_EQ(QFileInfo(fresh->proposals.first()).fileName(), "Untitled.quarnpg");
    EXPECT_EQ(fresh->fileName(), path("Page.quarnpg"));
    EXPECT_EQ(fresh->fileType(), LBDocument::PageDocumentType);

    // Replace Old File while Card.quarnlb exists: Card[1].quarnlb, and the document there.
    reset();
    QDir().mkpath(path("Card.quarnlb"));
    alertAnswer = platform::Alert::ThirdButtonReturn;
    document->saveDocument();
    EXPECT_EQ(document->fileName(), path("Card[1].quarnlb"));
    EXPECT_EQ(document->fileType(), LBDocument::LabelDocumentType);
    EXPECT_FALSE(QFileInfo::exists(old));
    EXPECT_TRUE(QFileInfo::exists(path("Card[1].quarnlb/Contents.quarnd")));
    EXPECT_TRUE(QDir(path("Card.quarnlb")).isEmpty());
    EXPECT_TRUE(document->checkForOldFiles());
    // A later save is a plain one.
    alerts.clear();
    document->saveDocument();
    EXPECT_TRUE(alerts.isEmpty());
}

namespace {

class FreezingPalette : public InspectorPalette
{
public:
    void forceSelectCropTools(bool, bool) override {}
    void centerWindowUnderSelectedGraphics() override {}
    void setFreezeWindow(bool freeze) override { calls->append(freeze ? "freeze" : "thaw"); }
    QStringList* calls = nullptr;
};

} // namespace

TEST_F(PackageTest, WritingAnnouncesItselfAndPutsTheWindowBack)
{
    auto* controller = new FakeWindowController;
    FreezingPalette palette;
    palette.calls = &controller->calls;
    LBProcessState::setInspectorPalette(&palette);
    const auto noPalette = qScopeGuard([] { LBProcessState::setInspectorPalette(nullptr); });
    document->addWindowController(controller);
    controller->zoomSlider = 3.0;
    QStringList posted;
    const platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        QString(), nullptr, [&](const platform::Notification& n) {
            if (n.name == LBWritingToFile || n.name == LBFinishedWritingToFile)
                posted.append(n.name);
            if (n.name == LBSetPageIndex)
                posted.append(
                    QStringLiteral("page %1").arg(n.userInfo.value("LBPageIndex").toInt()));
        });
    struct Case
    {
        const char* what;
        qint64 multipage;
        bool previews;
        bool fails;
        QStringList calls;
        QStringList notifications;
    };
    // The preview of the current page is drawn with the graphics at their page positions,
    // inside the writing's own bracket.
    const QStringList zoomed{"freeze",  "saveState", "zoom 6",       "actual", "actual",
                             "display", "display",   "restoreState", "thaw"};
    const Case cases[] = {
        {"single page", 0, true, false, zoomed, {"page 0", "page 0"}},
        {"several pages",
         1,
         true,
         false,
         zoomed,
         {LBWritingToFile, "page 0", "page 0", LBFinishedWritingToFile}},
        {"a copy: no previews, no zoom",
         1,
         false,
         false,
         {"actual", "display"},
         {LBWritingToFile, LBFinishedWritingToFile}},
        {"failing",
         1,
         true,
         true,
         zoomed,
         {LBWritingToFile, "page 0", "page 0", LBFinishedWritingToFile}},
    };
    int n = 0;
    for (const Case& c : cases) {
        controller->calls.clear();
        controller->zoomSlider = 3.0;
        posted.clear();
        document->setMultipageType(c.multipage);
        document->setMakesPreviews(c.previews);
        const QString package = path(QStringLiteral("w%1.quarnlb").arg(++n));
        if (c.fails) // a folder where the dictionary goes
            QDir().mkpath(package + "/Contents.quarnd");
        platform::Error error;
        EXPECT_EQ(document->writeToFile(package, LBDocument::LabelDocumentType,
                                        platform::Document::SaveOperation, &error),
                  !c.fails)
            << c.what;
        EXPECT_EQ(controller->calls, c.calls) << c.what;
        EXPECT_EQ(posted, c.notifications) << c.what;
        if (c.fails) {
            EXPECT_EQ(error.domain, LBDocumentErrorDomain);
        }
    }
    document->setMakesPreviews(true);
    // A type the document does not write fails at once, announced all the same.
    posted.clear();
    platform::Error error;
    EXPECT_FALSE(
        document->writeToFile(path("x.txt"), "Text", platform::Document::SaveOperation, &error));
    EXPECT_EQ(error.code, LBDocument::UnknownTypeError);
    EXPECT_EQ(posted, (QStringList{LBWritingToFile, LBFinishedWritingToFile}));
    EXPECT_TRUE(document->dataRepresentationOfType("NSTIFFPboardType").isEmpty());
}
