// What a host sees of the browser: double-clicks reaching its graphic builder, the
// pasteboard for copy and drag, the shift key, deleting kits to the Trash, the import
// panel, the kit information sheet, the cover flow, the previews, and the sample kit.

#include "FilePanelAnswer.h"
#include "KitBrowserTestSupport.h"

#include "kitbrowser/SGAttachedWindow.h"
#include "kitbrowser/SGImageBrowserView.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/CoverFlowView.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/UtilityWindow.h"

#include <QApplication>
#include <QBuffer>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QUrl>

using namespace kitbrowsertest;
using kitfixtures::Graphic;
using kitfixtures::Kit;

namespace {

Graphic graphic(const QString& name, const QString& type, const QString& filename, int pixels = 6)
{
    Graphic g;
    g.name = name;
    g.type = type;
    g.filename = filename;
    g.pixels = pixels;
    g.detailThumbnail = true;
    if (type == VQQuickPage)
        g.numberOfPictures = 2;
    if (type == VQEmbellishment)
        g.subtype = VQSticker;
    return g;
}

class KitHostInterface : public KitBrowserViewTest
{
public:
    void SetUp() override
    {
        KitBrowserViewTest::SetUp();
        startBrowser(QStringLiteral("Corbeils"), QSize(480, 560));
    }

    // Imports a kit and shows all its graphics (mode 3).
    void showGraphicsOf(const Kit& kit)
    {
        _controller->importCorbeil(writeKit(kit), 0, 1, false);
        _controller->tableViewSelectionDidChange(QStringLiteral("homeTable"), 0);
        const int index = int(kitNames(_controller->kitsArray()).indexOf(kit.name));
        ASSERT_GE(index, 0);
        outlet<platform::ImageBrowserView>("kitBrowser")->setSelectionIndexes({index});
        if (_controller->mode() == 2)
            _controller->tableViewSelectionDidChange(QStringLiteral("intermediateTable"), 0);
        ASSERT_EQ(_controller->mode(), 3);
    }

    Kit shapesKit()
    {
        Kit kit;
        kit.name = QStringLiteral("Shapes");
        kit.author = QStringLiteral("Ann");
        kit.graphics = {graphic("Sky Paper", VQPaper, "sky.png", 6),
                        graphic("Star", VQEmbellishment, "star.png", 8),
                        graphic("Photo Page", VQQuickPage, "page.png", 10)};
        return kit;
    }

    // The graphic browser's index of the graphic.
    int indexOf(const QString& name) const
    {
        return int(objectNames(_controller->graphicsArray()).indexOf(name));
    }

    SGImageBrowserView* graphicBrowser() { return outlet<SGImageBrowserView>("graphicBrowser"); }
};

} // namespace

TEST_F(KitHostInterface, DoubleClickHandsThePathsSizesAndFlagsToTheBuilder)
{
    showGraphicsOf(shapesKit());
    RecordingBuilder builder;
    _controller->setGraphicBuilder(&builder);
    int notified = 0;
    platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        SGGraphicsWereDoubleClickedNotification, _controller.get(),
        [&](const platform::Notification&) { ++notified; });
    const QString images = libraryPath() + QStringLiteral("/Kits/Shapes.icorbeil/Images/");
    struct Case
    {
        QStringList selected;
        QStringList files;
        QStringList sizes;
        bool paper;
        bool quickPage;
    };
    const Case cases[] = {
        {{"Sky Paper"}, {images + "sky.png"}, {"{6, 6}"}, true, false},
        {{"Photo Page"}, {images + "page.png"}, {"{10, 10}"}, false, true},
        {{"Star"}, {images + "star.png"}, {"{8, 8}"}, false, false},
        {{"Sky Paper", "Star"},
         {images + "star.png", images + "sky.png"},
         {"{8, 8}", "{6, 6}"},
         false,
         false},
    };
    for (const Case& c : cases) {
        QList<int> indexes;
        for (const QString& name : c.selected)
            indexes.append(indexOf(name));
        graphicBrowser()->setSelectionIndexes(indexes);
        builder.inserted.clear();
        _controller->imageBrowserCellWasDoubleClickedAtIndex(graphicBrowser(), indexes.first());
        ASSERT_EQ(builder.inserted.size(), 1) << c.selected.join(u',').toStdString();
        EXPECT_EQ(builder.inserted.first().files, c.files);
        EXPECT_EQ(builder.inserted.first().sizes, c.sizes);
        EXPECT_EQ(builder.inserted.first().isPaper, c.paper);
        EXPECT_EQ(builder.inserted.first().isQuickPage, c.quickPage);
    }
    EXPECT_EQ(notified, 4);
    EXPECT_EQ(_controller->selectedImageFilePaths(),
              (QStringList{images + "star.png", images + "sky.png"}));

    // A real double-click on an item reaches the builder too; without a builder only the
    // notification goes out.
    graphicBrowser()->setSelectionIndexes({indexOf("Star")});
    builder.inserted.clear();
    QTest::mouseClick(graphicBrowser()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      graphicBrowser()->itemFrameAtIndex(indexOf("Star")).center());
    QTest::mouseDClick(graphicBrowser()->viewport(), Qt::LeftButton, Qt::NoModifier,
                       graphicBrowser()->itemFrameAtIndex(indexOf("Star")).center());
    EXPECT_EQ(builder.inserted.size(), 1);
    _controller->setGraphicBuilder(nullptr);
    _controller->imageBrowserCellWasDoubleClickedAtIndex(graphicBrowser(), indexOf("Star"));
    EXPECT_EQ(builder.inserted.size(), 1);
    EXPECT_EQ(notified, 6);
    // Outside graphic modes there are no selected paths.
    _controller->switchToMode(1, _controller->mode(), true);
    EXPECT_TRUE(_controller->selectedImageFilePaths().isEmpty());
}

TEST_F(KitHostInterface, PasteboardHoldsTheBuildersDataAndTheFileNames)
{
    showGraphicsOf(shapesKit());
    RecordingBuilder builder;
    _controller->setGraphicBuilder(&builder);
    graphicBrowser()->setSelectionIndexes({indexOf("Sky Paper")});
    QMimeData data;
    platform::Pasteboard pasteboard(&data);
    _controller->placeSelectedGraphicsOnPasteboard(pasteboard);
    EXPECT_EQ(builder.typeOnEntry, QString(QLatin1String("")));
    ASSERT_EQ(builder.pasted.size(), 1);
    EXPECT_TRUE(builder.pasted.first().isPaper);
    EXPECT_EQ(builder.pasted.first().sizes, QStringList{"{6, 6}"});
    EXPECT_EQ(pasteboard.types(),
              (QStringList{"Quarn Print Line 1", platform::FilenamesPboardType}));
    EXPECT_EQ(data.data(QStringLiteral("application/x-quarn-print-line-1")),
              QByteArrayLiteral("graphics list"));
    ASSERT_EQ(data.urls().size(), 1);
    EXPECT_EQ(data.urls().first().toLocalFile(), builder.pasted.first().files.first());
}

TEST_F(KitHostInterface, PasteboardWithoutABuilderTypesTheFileByItsExtension)
{
    Kit kit;
    kit.name = QStringLiteral("Files");
    kit.graphics = {graphic("a", VQFrame, "a.png"), graphic("b", VQFrame, "b.PNG"),
                    graphic("c", VQFrame, "c.pdf"), graphic("d", VQFrame, "d.eps"),
                    graphic("e", VQFrame, "e.jpg")};
    QImage photo(4, 4, QImage::Format_RGB32);
    photo.fill(Qt::blue);
    QBuffer jpeg;
    jpeg.open(QIODevice::WriteOnly);
    photo.save(&jpeg, "JPEG");
    kit.graphics[2].fileData = "%PDF-1.4 not really";
    kit.graphics[3].fileData = "%!PS-Adobe-3.0 EPSF-3.0";
    kit.graphics[4].fileData = jpeg.data();
    showGraphicsOf(kit);
    const std::pair<QString, QString> cases[] = {{"a", "image/png"},
                                                 {"b", "image/png"},
                                                 {"c", "application/pdf"},
                                                 {"d", "application/postscript"},
                                                 {"e", "image/tiff"}};
    for (const auto& [name, mime] : cases) {
        graphicBrowser()->setSelectionIndexes({indexOf(name)});
        QMimeData data;
        platform::Pasteboard pasteboard(&data);
        _controller->placeSelectedGraphicsOnPasteboard(pasteboard);
        EXPECT_EQ(platform::mimeTypeForPasteboardType(pasteboard.types().value(0)), mime)
            << name.toStdString();
        EXPECT_EQ(pasteboard.types().value(1), platform::FilenamesPboardType);
        EXPECT_EQ(data.urls().size(), 1);
        const QByteArray bytes = data.data(mime);
        if (mime == QLatin1String("image/tiff")) {
            // Converted, so the data is what its type says.
            EXPECT_TRUE(bytes.startsWith("II*") || bytes.startsWith("MM"))
                << bytes.left(4).toHex().toStdString();
        } else {
            EXPECT_EQ(bytes, _controller->imageDataForObjectAtIndex(indexOf(name)));
        }
    }
    EXPECT_EQ(platform::mimeTypeForPasteboardType(platform::PNGPboardType),
              QStringLiteral("image/png"));
}

TEST_F(KitHostInterface, ShiftShowsArtistsAndDetailedThumbnails)
{
    Kit kit = shapesKit();
    kit.artist = true;
    showGraphicsOf(kit);
    const SGObjectRecord star = _controller->graphicsArray().at(indexOf("Star"));
    EXPECT_TRUE(_controller->imageRepresentationPath(star).endsWith(
        QStringLiteral("/Thumbnails/star_thumbnail.png")));
    EXPECT_EQ(SGCorbeilController::imageVersion(), 1u);
    _controller->setShiftKeyDown(true);
    EXPECT_TRUE(SGCorbeilController::shiftKeyDown());
    EXPECT_EQ(SGCorbeilController::imageVersion(), 2u);
    EXPECT_TRUE(_controller->imageRepresentationPath(star).endsWith(
        QStringLiteral("/Thumbnails_Detailed/star_detail.png")));
    const SGKitRecord shapes = _controller->allKits().first();
    EXPECT_TRUE(_controller->imageRepresentationPath(shapes).endsWith(
        QStringLiteral("/Shapes.icorbeil/Artist.jpg")));
    EXPECT_FALSE(_controller->imageRepresentation(shapes).isEmpty());
    _controller->setShiftKeyDown(false);
    EXPECT_TRUE(
        _controller->imageRepresentationPath(shapes).endsWith(QStringLiteral("/Kit_Preview.png")));
    // Outside kit and graphic modes the key is not taken.
    _controller->switchToMode(0, _controller->mode(), true);
    _controller->setShiftKeyDown(true);
    EXPECT_FALSE(SGCorbeilController::shiftKeyDown());
}

TEST_F(KitHostInterface, DeletingKitsMovesThemToTheTrash)
{
    for (const char* name : {"A", "B", "C", "D", "E"})
        _controller->importCorbeil(writeKit(kitfixtures::tinyKit(QString::fromLatin1(name), 1)), 0,
                                   1, false);
    _alerts.clear();
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                          + QStringLiteral("/Trash/files");
    const auto deleteKits = [&](const QStringList& names) {
        _controller->deleteKitsAction();
        auto* button = outlet<QPushButton>("deleteButton");
        EXPECT_FALSE(button->isEnabled());
        for (const QString& name : names) {
            const int row = int(kitNames(_controller->allKits()).indexOf(name));
            _controller->tableViewSetObjectValue(QStringLiteral("deleteTable"), true,
                                                 QStringLiteral("checkbox"), row);
        }
        EXPECT_EQ(button->isEnabled(), !names.isEmpty());
        _controller->deleteCheckedKits();
    };
    deleteKits({"B"});
    EXPECT_EQ(kitNames(_controller->allKits()), (QStringList{"A", "C", "D", "E"}));
    EXPECT_FALSE(QFileInfo::exists(kitsFolder() + QStringLiteral("/B.icorbeil")));
    EXPECT_TRUE(QFileInfo::exists(trash + QStringLiteral("/B.icorbeil/contents.xml")));
    ASSERT_EQ(_alerts.size(), 1);
    EXPECT_EQ(_alerts[0].messageText, QStringLiteral("The selected kit was deleted."));
    EXPECT_EQ(_alerts[0].informativeText,
              QStringLiteral("The kit file has been moved to the Trash."));
    EXPECT_TRUE(_alerts[0].showsSuppressionButton);
    EXPECT_EQ(_controller->mode(), 0);

    _suppressAlerts = true;
    deleteKits({"C", "D"});
    EXPECT_EQ(kitNames(_controller->allKits()), (QStringList{"A", "E"}));
    ASSERT_EQ(_alerts.size(), 2);
    EXPECT_EQ(_alerts[1].messageText, QStringLiteral("The selected kits were deleted."));
    EXPECT_EQ(_alerts[1].informativeText,
              QStringLiteral("The kit files have been moved to the Trash."));
    EXPECT_TRUE(platform::UserDefaults::standardUserDefaults().boolForKey(
        QStringLiteral("DisableDeleteConfirmation")));
    deleteKits({"E"});
    EXPECT_EQ(_alerts.size(), 2); // asked not to confirm again
    EXPECT_EQ(kitNames(_controller->allKits()), QStringList{"A"});
}

TEST_F(KitHostInterface, AKitTheTrashRefusesStaysAndIsReported)
{
    for (const char* name : {"A", "B"})
        _controller->importCorbeil(writeKit(kitfixtures::tinyKit(QString::fromLatin1(name), 1)), 0,
                                   1, false);
    _alerts.clear();
    // The Trash cannot be made: a file stands where its folder would go (and the item does
    // not land anywhere else instead).
    const QString trash = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                          + QStringLiteral("/Trash");
    QFile blocker(trash);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QTemporaryDir elsewhere;
    const QString folder = QDir::currentPath();
    QDir::setCurrent(elsewhere.path());
    _controller->deleteKitsAction();
    _controller->tableViewSetObjectValue(QStringLiteral("deleteTable"), true,
                                         QStringLiteral("checkbox"), 1);
    _controller->deleteCheckedKits();
    QDir::setCurrent(folder);
    QFile::remove(trash);
    EXPECT_TRUE(entriesOf(elsewhere.path()).isEmpty());
    EXPECT_EQ(kitNames(_controller->allKits()), (QStringList{"A", "B"}));
    EXPECT_TRUE(QFileInfo::exists(kitsFolder() + QStringLiteral("/B.icorbeil/contents.xml")));
    ASSERT_EQ(_alerts.size(), 1);
    EXPECT_FALSE(_alerts[0].messageText.contains(QStringLiteral("deleted")));
    EXPECT_TRUE(_alerts[0].informativeText.contains(QStringLiteral("B")));

    // Of two kits, the one the Trash takes goes; the other is listed.
    platform::FileOperationHooks hooks;
    hooks.moveToTrash = [](const QString& path) {
        return !path.endsWith(QLatin1String("/B.icorbeil")) && QFile::moveToTrash(path);
    };
    platform::setFileOperationHooks(hooks);
    _controller->deleteKitsAction();
    _controller->tableViewSetObjectValue(QStringLiteral("deleteTable"), true,
                                         QStringLiteral("checkbox"), 0);
    _controller->tableViewSetObjectValue(QStringLiteral("deleteTable"), true,
                                         QStringLiteral("checkbox"), 1);
    _controller->deleteCheckedKits();
    EXPECT_EQ(kitNames(_controller->allKits()), QStringList{"B"});
    ASSERT_EQ(_alerts.size(), 2);
    EXPECT_EQ(_alerts[1].messageText, QStringLiteral("The selected kit was deleted."));
    EXPECT_TRUE(_alerts[1].informativeText.contains(QStringLiteral("still in the library")));
}

TEST_F(KitHostInterface, TheImportPanelTakesKitPackagesLikeFiles)
{
    const QString a = writeKit(kitfixtures::tinyKit(QStringLiteral("Alpha"), 1));
    const QString b = writeKit(kitfixtures::tinyKit(QStringLiteral("Beta"), 1));
    _controller->plusMinusAction(0);
    QFileDialog* panel = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible())
            panel = dialog;
    }
    ASSERT_TRUE(panel);
    panel->setDirectory(_sources.path());
    ASSERT_TRUE(typeIntoFilePanel(
        panel,
        QStringLiteral("\"%1\" \"%2\"").arg(QFileInfo(a).fileName(), QFileInfo(b).fileName())));
    QMetaObject::invokeMethod(panel, "accept");
    // The import runs on the next turn of the event loop.
    EXPECT_TRUE(_controller->allKits().isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return _controller->allKits().size() == 2; }));
    EXPECT_EQ(kitNames(_controller->allKits()), (QStringList{"Alpha", "Beta"}));
    ASSERT_EQ(_alerts.size(), 1);
    EXPECT_TRUE(
        _alerts[0].messageText.startsWith(QStringLiteral("The kits were successfully imported.")));
}

TEST_F(KitHostInterface, KitInformation)
{
    Kit paper = kitfixtures::tinyKit(QStringLiteral("Exclusive"), 1);
    paper.licenseType = VQCommercialExclusiveLicense;
    Kit free = kitfixtures::tinyKit(QStringLiteral("Free"), 1);
    free.licenseType = VQPublicDomainLicense;
    free.kitType = VQStampKitType;
    free.kitSize = VQ4x6KitSize;
    _controller->importCorbeils({writeKit(paper), writeKit(free)});
    _controller->corbeilInfoAction();
    const auto field = [&](const char* name) { return outlet<QLabel>(name); };
    EXPECT_EQ(field("infoLicenseField")->text(), QStringLiteral("Commercial"));
    EXPECT_EQ(field("infoKitTypeField")->text(), QStringLiteral("Paper, 12x12 inches"));
    EXPECT_EQ(field("infoDesignerNameField")->text(), QStringLiteral("Fixture Artist"));
    outlet<QTableView>("infoKitTable")->selectRow(1);
    EXPECT_EQ(field("infoLicenseField")->text(), QStringLiteral("Public Domain"));
    EXPECT_EQ(field("infoKitTypeField")->text(), QStringLiteral("Stamps, 4x6 inches (brag)"));
    EXPECT_EQ(_controller->tableViewObjectValue(QStringLiteral("infoReleaseTable"),
                                                QStringLiteral("version"), 0),
              QStringLiteral("1.0"));
    EXPECT_EQ(_controller->tableViewObjectValue(QStringLiteral("infoKitTable"),
                                                QStringLiteral("name"), 0),
              QStringLiteral("Exclusive (Fixture Artist)"));
}

TEST_F(KitHostInterface, CoverFlowChoosesAKit)
{
    _controller->importCorbeils({writeKit(kitfixtures::tinyKit(QStringLiteral("One"), 1)),
                                 writeKit(kitfixtures::tinyKit(QStringLiteral("Two"), 1))});
    _controller->showPreviewButton();
    _controller->tableViewSelectionDidChange(QStringLiteral("homeTable"), 0);
    _controller->coverFlowButtonAction();
    auto* window = outlet<platform::UtilityWindow>("coverFlowWindow");
    ASSERT_TRUE(window->isVisible());
    EXPECT_EQ(outlet<QLabel>("coverFlowCountField")->text(), QStringLiteral("2 kit(s)"));
    auto* view = outlet<platform::CoverFlowView>("coverFlowView");
    EXPECT_EQ(view->numberOfItems(), 3);
    view->setSelectedIndex(2);
    _controller->coverFlowChooseAction();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(_controller->mode(), 3);
    EXPECT_EQ(_controller->selectedKit()->name, QStringLiteral("Two"));
}

TEST_F(KitHostInterface, PreviewsOnRightClick)
{
    showGraphicsOf(shapesKit());
    SGImageBrowserView* browser = graphicBrowser();
    const int star = indexOf("Star");
    QTest::mouseClick(browser->viewport(), Qt::RightButton, Qt::NoModifier,
                      browser->itemFrameAtIndex(star).center());
    auto* preview = qobject_cast<SGAttachedWindow*>(_controller->previewWindow());
    ASSERT_TRUE(preview);
    EXPECT_TRUE(preview->side() == 0 || preview->side() == 2);
    EXPECT_EQ(outlet<QLabel>("graphicPreviewTitleField")->text(), QStringLiteral("Star"));
    EXPECT_EQ(outlet<QLabel>("graphicPreviewKitField")->text(), QStringLiteral("Shapes (Ann)"));
    EXPECT_EQ(outlet<QLabel>("graphicPreviewTagsField")->text(), QStringLiteral("none"));
    // Any selection change closes it (and is announced); the kit link shows the graphic's
    // kit alone.
    int announced = 0;
    platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        SGGraphicSelectionChangedNotification, _controller.get(),
        [&](const platform::Notification&) { ++announced; });
    browser->setSelectionIndexes({0});
    EXPECT_FALSE(_controller->previewWindow());
    EXPECT_EQ(announced, 1);
    _controller->showPreviewForGraphicAtIndex(star, QRect(10, 10, 50, 50));
    _controller->kitLinkAction();
    EXPECT_FALSE(_controller->previewWindow());
    EXPECT_EQ(_controller->mode(), 1);
    EXPECT_EQ(kitNames(_controller->kitsArray()), QStringList{"Shapes"});
    // Artists show no preview; kits do, with their texts.
    _controller->showPreviewForKitAtIndex(0, QRect(10, 10, 50, 50));
    ASSERT_TRUE(_controller->previewWindow());
    EXPECT_EQ(outlet<QLabel>("kitPreviewTitleField")->text(), QStringLiteral("Shapes (Ann)"));
    EXPECT_EQ(outlet<QLabel>("kitPreviewDescriptionField")->text(), QStringLiteral("none"));
    _controller->closePreviewWindow();
    _controller->tableViewSelectionDidChange(QStringLiteral("homeTable"), 1);
    ASSERT_EQ(_controller->mode(), 4);
    _controller->imageBrowserCellWasRightClickedAtIndex(
        outlet<platform::ImageBrowserView>("kitBrowser"), 0);
    EXPECT_FALSE(_controller->previewWindow());
}

TEST_F(KitHostInterface, AKitPreviewLowerThan400IsSizedAs400)
{
    const auto previewOfHeight = [&](const QString& name, int height) {
        const QString source = writeKit(kitfixtures::tinyKit(name, 1));
        QImage picture(height, height, QImage::Format_RGB32);
        picture.fill(Qt::gray);
        EXPECT_TRUE(picture.save(source + QStringLiteral("/Kit_Preview.png")));
        _controller->importCorbeil(source, 0, 1, false);
    };
    previewOfHeight(QStringLiteral("Low"), 300);
    previewOfHeight(QStringLiteral("Four"), 400);
    previewOfHeight(QStringLiteral("High"), 500);
    _controller->tableViewSelectionDidChange(QStringLiteral("homeTable"), 0);
    QList<QSize> sizes;
    for (const QString& name :
         {QStringLiteral("Low"), QStringLiteral("Four"), QStringLiteral("High")}) {
        _controller->showPreviewForKitAtIndex(int(kitNames(_controller->kitsArray()).indexOf(name)),
                                              QRect(300, 200, 40, 40));
        ASSERT_TRUE(_controller->previewWindow());
        sizes.append(outlet<QWidget>("kitPreviewView")->size());
        _controller->closePreviewWindow();
    }
    EXPECT_EQ(sizes[0], sizes[1]);
    EXPECT_GT(sizes[2].height(), sizes[1].height());
}

TEST_F(KitHostInterface, PreviewPlacementAndSize)
{
    QWidget view;
    view.resize(200, 300);
    QWidget image(&view);
    image.setGeometry(0, 0, 200, 200);
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect visible = screen->availableGeometry().adjusted(10, 10, -10, -10);
    QWidget* window = _host.window();
    const QPoint origin = window->mapToGlobal(QPoint(0, 0));
    // A picture lower than the picture area shrinks the preview to it; a 300-point picture is
    // given as 400 by the previews, so both are sized alike.
    QPointF point, orig;
    _controller->resizePreviewView(&view, &image, QRect(200, 100, 40, 40), &point, &orig, 100);
    EXPECT_EQ(view.height(), 150); // scale 0.5
    EXPECT_EQ(view.width(), 50 + 40);
    // An item near the screen's left edge gets the preview on its right (side 2).
    view.resize(200, 300);
    const QRect nearLeft(visible.left() - origin.x() + 5, 100, 40, 40);
    const int side = _controller->resizePreviewView(&view, &image, nearLeft, &point, &orig, 1000);
    EXPECT_EQ(side, 2);
    EXPECT_DOUBLE_EQ(orig.x(), nearLeft.x());
    EXPECT_DOUBLE_EQ(point.x(), nearLeft.x() + nearLeft.width());
    // Kept on screen vertically, the original point still on the item.
    view.resize(200, 300);
    const QRect low(300, visible.bottom() - origin.y() - 10, 40, 20);
    _controller->resizePreviewView(&view, &image, low, &point, &orig, 1000);
    EXPECT_LE(point.y() + origin.y() + view.height() / 2.0, visible.bottom() + 1);
    EXPECT_DOUBLE_EQ(orig.y(), low.y() + 10);
}

TEST_F(KitHostInterface, TheSampleKitIsCheckedOnceImportedOnceAndPlacedByDoubleClick)
{
    // What the design drawer does the first time it shows the kit browser: import the
    // sample kit unless "Kits" holds it, and never check again.
    const QString sample = QStringLiteral(VELTRIN_SAMPLE_KIT);
    ASSERT_TRUE(QFileInfo::exists(sample + QStringLiteral("/contents.xml")));
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(QStringLiteral("SkipKitCheck3"));
    int imported = 0;
    const auto check = [&] {
        if (defaults.boolForKey(QStringLiteral("SkipKitCheck3")))
            return;
        if (!QFileInfo::exists(_controller->libraryPath()
                               + QStringLiteral("/Kits/Veltrin Winter.icorbeil"))) {
            _controller->importCorbeil(sample, 0, 1, false);
            ++imported;
        }
        defaults.setBool(true, QStringLiteral("SkipKitCheck3"));
    };
    check();
    check();
    defaults.removeObjectForKey(QStringLiteral("SkipKitCheck3"));
    check(); // the kit is there now: nothing imported
    EXPECT_EQ(imported, 1);
    EXPECT_TRUE(_alerts.isEmpty()); // no confirmation for the sample
    const QList<SGKitRecord> kits = _controller->allKits();
    ASSERT_EQ(kitNames(kits), QStringList{"Veltrin Winter"});
    EXPECT_EQ(kits.first().filename, QStringLiteral("Veltrin Winter.icorbeil"));
    EXPECT_EQ(kits.first().typeString, QStringLiteral("Paper|Embellishment|Frame"));
    EXPECT_EQ(kits.first().subtypeString, QStringLiteral("Sticker|Tag"));

    // It shows as the last import; a double-click on a picture puts it in the design.
    RecordingBuilder builder;
    _controller->setGraphicBuilder(&builder);
    ASSERT_EQ(_controller->mode(), 1);
    outlet<platform::ImageBrowserView>("kitBrowser")->setSelectionIndexes({0});
    ASSERT_EQ(_controller->mode(), 2);
    EXPECT_EQ(_controller->namesArray(), (QStringList{"ALL TYPES", "Frame", "Paper",
                                                      "Embellishment", "   Sticker", "   Tag"}));
    _controller->tableViewSelectionDidChange(QStringLiteral("intermediateTable"), 4);
    ASSERT_EQ(_controller->mode(), 3);
    EXPECT_EQ(objectNames(_controller->graphicsArray()),
              (QStringList{"Mitten", "Pine Tree", "Snowflake", "Snowman"}));
    graphicBrowser()->setSelectionIndexes({indexOf("Snowman")});
    _controller->imageBrowserCellWasDoubleClickedAtIndex(graphicBrowser(), indexOf("Snowman"));
    ASSERT_EQ(builder.inserted.size(), 1);
    EXPECT_EQ(builder.inserted.first().files,
              QStringList{_controller->libraryPath()
                          + QStringLiteral("/Kits/Veltrin Winter.icorbeil/Images/Snowman.png")});
    EXPECT_EQ(builder.inserted.first().sizes, QStringList{"{300, 300}"});
    EXPECT_FALSE(builder.inserted.first().isPaper);
    _controller->setGraphicBuilder(nullptr);
}

TEST_F(KitHostInterface, TheViewGoesWithTheController)
{
    QWidget host;
    host.resize(300, 400);
    host.show();
    auto controller = std::make_unique<SGCorbeilController>(QStringLiteral("iCorbeil View"));
    controller->importCorbeil(writeKit(kitfixtures::tinyKit(QStringLiteral("One"), 2)), 0, 1,
                              false);
    controller->setView(&host);
    controller->tableViewSelectionDidChange(QStringLiteral("homeTable"), 0);
    QPointer<QWidget> view = controller->view();
    ASSERT_EQ(view->parentWidget(), &host);
    controller->cleanup();
    controller.reset();
    EXPECT_TRUE(view.isNull());
    host.resize(320, 420); // nothing of the browser is left to answer
    host.repaint();
}
