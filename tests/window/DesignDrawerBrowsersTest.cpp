// The design drawer's own browsers in a real design window: the photo browser on a fixture
// folder and its commands, and the kit browser with the sample kit and the graphic builder.

#include "WindowTestSupport.h"

#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "kitbrowser/SGCorbeilController.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ImageBrowserView.h"
#include "platform/ui/Responder.h"
#include "shapes/LBImage.h"
#include "shapes/LBRectangle.h"
#include "shapes/ShapeClasses.h"
#include "window/ApplicationServices.h"
#include "window/LBClipArtController.h"
#include "window/LBDrawerController.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMenu>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

platform::UserDefaults& settings()
{
    return platform::UserDefaults::standardUserDefaults();
}

struct RecordedAlert
{
    QString message;
    QString informative;
    QStringList buttons;
};

// The shell's kit download page.
class DownloadPageServices : public ApplicationServices
{
public:
    void setDocumentWasOpened(bool) override {}
    QString kitDownloadURL() const override { return QStringLiteral("https://example.org/kits"); }
};

class DesignDrawerBrowsers : public DocumentTest
{
protected:
    DesignDrawerBrowsers()
    {
        registerShapeClasses();
        forgetSettings();
        settings().setBool(true, QStringLiteral("LayersViewIsClosed"));
        DesignModeController::setFactory([] { return std::make_unique<LBEditController>(); });
        DesignDrawer::setFactory([] { return std::make_unique<LBDrawerController>(); });
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts.append({alert.messageText, alert.informativeText, alert.buttons});
            return platform::Alert::Response{};
        });
        document->setOpenedExistingFile(true); // no layout chooser
        window = showWindowOnDocument(*document);
        edit = static_cast<LBEditController*>(window->editController());
        edit->openDrawer(false, true, false);
        drawer = static_cast<LBDrawerController*>(edit->drawerController());
    }
    ~DesignDrawerBrowsers() override
    {
        if (document)
            document->close();
        document.reset();
        DesignModeController::setFactory({});
        DesignDrawer::setFactory({});
        platform::Alert::setResponder(nullptr);
        ApplicationServices::setShared(nullptr);
        forgetSettings();
    }

    static void forgetSettings()
    {
        for (const char* key : {"LBDrawerIsClosed", "LayersViewIsClosed", "Graphics Drawer Width",
                                "Graphics Drawer Selection", "Graphics Drawer Open",
                                "SkipKitCheck3", "Photo Library Folder"})
            settings().removeObjectForKey(QString::fromLatin1(key));
    }

    std::shared_ptr<LBRectangle> addPlaceholder(const QString& type)
    {
        auto placeholder = std::make_shared<LBRectangle>();
        placeholder->setBoundsNoOtherChanges(QRectF(10, 10, 100, 100));
        placeholder->setIsPlaceholder(true);
        placeholder->setPlaceholderTypeString(type);
        placeholder->setDrawPlaceholderText(true);
        document->insertGraphic(placeholder, 0, document->selectedLayerIndex());
        return placeholder;
    }

    QList<LBGraphicPtr> layerGraphics() const
    {
        return edit->selectedGraphicView()->graphics()->value(document->selectedLayerIndex());
    }

    QString writePicture(const QString& name)
    {
        const QString path = _pictures.filePath(name);
        QImage pixels(40, 30, QImage::Format_RGB32);
        pixels.fill(Qt::darkGreen);
        EXPECT_TRUE(pixels.save(path));
        return path;
    }

    QAction* photoOption(const char* selector, qint64 tag) const
    {
        for (QAction* item : drawer->photoOptionsMenu()->actions()) {
            if (platform::actionSelector(item) == QLatin1String(selector)
                && platform::actionTag(item) == tag)
                return item;
        }
        return nullptr;
    }

    QList<RecordedAlert> alerts;
    LBWindowController* window = nullptr; // owned by the document
    LBEditController* edit = nullptr;     // owned by the window controller
    LBDrawerController* drawer = nullptr; // owned by the design controller
    QTemporaryDir _pictures;
};

} // namespace

TEST_F(DesignDrawerBrowsers, ThePhotoBrowserListsSortsAndInsertsFromItsFolder)
{
    ASSERT_NE(drawer, nullptr);
    writePicture(QStringLiteral("beach.png"));
    writePicture(QStringLiteral("Alps.png"));
    // A saved document and a kit are files to the user: their own pictures are not listed.
    for (const char* package : {"Card.quarnlb", "Wedding.icorbeil"}) {
        QDir(_pictures.path()).mkdir(QLatin1String(package));
        writePicture(QLatin1String(package) + QStringLiteral("/Preview.png"));
    }
    settings().setObject(_pictures.path(), QStringLiteral("Photo Library Folder"));
    drawer->setMode(2);
    LBClipArtController* photos = drawer->photoBrowser();
    ASSERT_NE(photos, nullptr);
    EXPECT_EQ(photos->editController(), edit);
    EXPECT_EQ(photos->view()->parentWidget(), drawer->view());
    // Shown at once and read: by name, ignoring case.
    EXPECT_EQ(photos->picturePaths(),
              (QStringList{_pictures.filePath("Alps.png"), _pictures.filePath("beach.png")}));
    EXPECT_EQ(photos->zoomFactor(), edit->zoomFactor());
    EXPECT_EQ(photos->topPageRect(), edit->topPageRect());

    // The options: descending, with the check marks on the current settings.
    photoOption("changePhotoFolderSortDirection:", 0)->trigger();
    EXPECT_FALSE(photos->folderSortUp());
    EXPECT_EQ(photos->picturePaths().first(), _pictures.filePath("beach.png"));
    Q_EMIT drawer->photoOptionsMenu()->aboutToShow();
    EXPECT_TRUE(photoOption("changePhotoFolderSortDirection:", 0)->isChecked());
    EXPECT_FALSE(photoOption("changePhotoFolderSortDirection:", 1)->isChecked());
    EXPECT_TRUE(photoOption("changePhotoFolderSortCriteria:", 0)->isChecked());
    photoOption("changePhotoFolderSortCriteria:", 1)->trigger();
    EXPECT_EQ(photos->folderSortCriteria(), platform::KXClipArtController::SortByDate);
    // A new picture shows after a reload.
    writePicture(QStringLiteral("cove.png"));
    photoOption("reloadiPhotoLibrary:", 0)->trigger();
    EXPECT_EQ(photos->picturePaths().size(), 3);

    // A double-click makes a new image in the design...
    const qsizetype before = layerGraphics().size();
    const int alps = int(photos->picturePaths().indexOf(_pictures.filePath("Alps.png")));
    Q_EMIT photos->browserView()->cellWasDoubleClicked(alps);
    ASSERT_EQ(layerGraphics().size(), before + 1);
    const auto* image = dynamic_cast<const LBImage*>(layerGraphics().first().get());
    ASSERT_NE(image, nullptr);
    EXPECT_DOUBLE_EQ(image->bounds().width() / image->bounds().height(), 40.0 / 30.0);
    // ...and the same browser shows again after another mode.
    drawer->setMode(0);
    EXPECT_EQ(photos->view()->parentWidget(), nullptr);
    drawer->setMode(2);
    EXPECT_EQ(drawer->photoBrowser(), photos);

    // The empty-folder button runs the drawer's chooser.
    platform::KXClipArtController::setFolderChooser(
        [](QWidget*, const QString& current) { return current + QStringLiteral("/Trips"); });
    QDir(_pictures.path()).mkdir(QStringLiteral("Trips"));
    platform::NotificationCenter::defaultCenter().post(platform::KXChoosePhotoLibraryNotification,
                                                       photos);
    platform::KXClipArtController::setFolderChooser({});
    EXPECT_EQ(photos->folder(), _pictures.filePath("Trips"));
    EXPECT_TRUE(photos->picturePaths().isEmpty());
}

TEST_F(DesignDrawerBrowsers, TheKitBrowserImportsTheSampleKitOnceAndBuildsGraphics)
{
    ASSERT_NE(drawer, nullptr);
    ASSERT_FALSE(LBDrawerController::sampleKitPath().isEmpty());
    drawer->setMode(3);
    SGCorbeilController* kits = drawer->corbeilController();
    ASSERT_NE(kits, nullptr);
    EXPECT_EQ(kits->graphicBuilder(), drawer);
    EXPECT_EQ(kits->view()->parentWidget()->parentWidget(), drawer->view());
    EXPECT_TRUE(settings().boolForKey(QStringLiteral("SkipKitCheck3")));
    // The import waits for the next turn of the event loop.
    EXPECT_TRUE(alerts.isEmpty());
    QApplication::processEvents();
    const QString sampleInLibrary =
        kits->libraryPath() + QStringLiteral("/Kits/") + LBDrawerController::SampleKitFileName;
    EXPECT_TRUE(QFileInfo::exists(sampleInLibrary));
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0].message, "A sample iCorbeil has been added to your library.");
    // Without a download page: the first sentence and OK.
    EXPECT_EQ(alerts[0].informative,
              "You can use the images in this kit to design labels and envelopes.");
    EXPECT_EQ(alerts[0].buttons, QStringList{"OK"});

    // Shown again, or with the check forgotten while the kit is there: nothing imported.
    drawer->setMode(0);
    drawer->setMode(3);
    settings().removeObjectForKey(QStringLiteral("SkipKitCheck3"));
    drawer->setMode(0);
    drawer->setMode(3);
    QApplication::processEvents();
    EXPECT_EQ(alerts.size(), 1);
    EXPECT_TRUE(settings().boolForKey(QStringLiteral("SkipKitCheck3")));
    EXPECT_EQ(drawer->corbeilController(), kits);

    // With a download page the sheet offers it.
    DownloadPageServices services;
    ApplicationServices::setShared(&services);
    drawer->importLabelKits();
    ASSERT_EQ(alerts.size(), 3);
    EXPECT_EQ(alerts[1].buttons, (QStringList{"Go to Download Page", "No Thanks"}));
    EXPECT_TRUE(alerts[1].informative.endsWith("visit the Download Page now?"));
    // Going there with no browser (as here) says so.
    EXPECT_EQ(alerts[2].message, "The page could not be opened.");

    // A placeholder's type shows its kit graphics; a double-click puts one in the design.
    drawer->selectCorbeilImageType(QStringLiteral("Sticker"));
    int snowman = -1;
    const QList<SGObjectRecord> graphics = kits->graphicsArray();
    for (int i = 0; i < graphics.size(); ++i) {
        if (graphics[i].name == QLatin1String("Snowman"))
            snowman = i;
    }
    ASSERT_GE(snowman, 0);
    auto* browser = qobject_cast<platform::ImageBrowserView*>(kits->outlet("graphicBrowser"));
    ASSERT_NE(browser, nullptr);
    browser->setSelectionIndexes({snowman});
    const qsizetype before = layerGraphics().size();
    kits->imageBrowserCellWasDoubleClickedAtIndex(browser, snowman);
    ASSERT_EQ(layerGraphics().size(), before + 1);
    EXPECT_NE(dynamic_cast<const LBImage*>(layerGraphics().first().get()), nullptr);

    // Shift reaches the kit browser only while it shows.
    drawer->setMode(2);
    drawer->setShiftKeyDown(true);
    EXPECT_FALSE(SGCorbeilController::shiftKeyDown());
    drawer->setMode(3);
    // (passed on; the kit browser keeps it only in its kit and graphic lists)
    drawer->setShiftKeyDown(false);
}

TEST_F(DesignDrawerBrowsers, OneKitFileFillsOneSelectedPlaceholder)
{
    ASSERT_NE(drawer, nullptr);
    const QString a = writePicture(QStringLiteral("a.png"));
    const QString b = writePicture(QStringLiteral("b.png"));
    auto placeholder = addPlaceholder(QStringLiteral("Logo"));
    LBGraphicView* canvas = edit->selectedGraphicView();
    const qsizetype before = layerGraphics().size();

    // Two files: two new images, the placeholder stays as it was.
    canvas->selectGraphic(placeholder);
    drawer->insertCorbeilFiles({a, b}, {"{40, 30}", "{40, 30}"}, false, false);
    EXPECT_EQ(layerGraphics().size(), before + 2);
    EXPECT_TRUE(placeholder->drawsPlaceholderText());

    // One file for the one selected placeholder: it is filled, nothing is added.
    canvas->clearSelection();
    canvas->selectGraphic(placeholder);
    drawer->insertCorbeilFiles({a}, {"{40, 30}"}, false, false);
    EXPECT_FALSE(placeholder->drawsPlaceholderText());
    if (canvas->croppingImage())
        canvas->insertNewline(nullptr);
    EXPECT_EQ(layerGraphics().size(), before + 2);
}
