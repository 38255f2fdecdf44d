// Picture files of a graphic: finding them again, loading them as one undo step, keeping
// their paths current, copying them with a graphic, and downsampling the fill image.

#include "GraphicTestSupport.h"
#include "MessageLog.h"

#include "platform/core/ClassRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

// A graphic that shows its fill image whole, as image graphics do, so it is drawn at the
// size of its bounds rather than of a crop rectangle.
class UncroppedGraphic : public ProbeGraphic
{
public:
    bool isImageCrop() const override { return false; }
};

namespace {

const bool uncroppedRegistered =
    platform::ClassRegistry<LBGraphic>::registerClass<UncroppedGraphic>(
        QStringLiteral("UncroppedGraphic"));

constexpr qreal kMetersPerInch = 0.0254;

QImage filled(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::gray);
    return image;
}

// Writes a PNG of that many pixels that states 72 dpi, so its size in points equals its
// pixels.
void writePicture(const QString& path, int width, int height = 10)
{
    QImage picture(width, height, QImage::Format_ARGB32);
    picture.fill(Qt::darkCyan);
    picture.setDotsPerMeterX(qRound(72 / kMetersPerInch));
    picture.setDotsPerMeterY(qRound(72 / kMetersPerInch));
    ASSERT_TRUE(picture.save(path, "PNG")) << path.toStdString();
}

// A document with a temporary folder and a package, which counts its autosaves and
// downsamples as a test tells it.
class FileDocument : public RecordingDocument
{
public:
    QString temporaryFilePath() const override { return temporaryFolder; }
    bool temporaryFileExists() const override
    {
        return !temporaryFolder.isEmpty() && QDir(temporaryFolder).exists();
    }
    QString fileName() const override { return package; }
    void forceSaveTemporaryFile() override { ++autosaves; }
    LBGraphic::ImagePtr downsampleImage(const LBGraphic::ImagePtr& image,
                                        const QSizeF& drawingSize) override
    {
        asked.push_back({image, drawingSize});
        return downsample ? downsample(image) : image;
    }

    QString temporaryFolder;
    QString package;
    int autosaves = 0;
    std::vector<std::pair<LBGraphic::ImagePtr, QSizeF>> asked;
    std::function<LBGraphic::ImagePtr(const LBGraphic::ImagePtr&)> downsample;
};

class LBGraphicImageFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(uncroppedRegistered);
        ASSERT_TRUE(root.isValid());
        for (const char* folder : {"photos", "temp", "package"})
            ASSERT_TRUE(QDir(root.path()).mkpath(QString::fromLatin1(folder)));
        doc.temporaryFolder = path("temp");
        doc.package = path("package");
        graphic->setDocument(&doc);
        graphic->setBoundsNoOtherChanges(QRectF(0, 0, 100, 100));
    }

    QString path(const QString& relative) const { return QDir(root.path()).filePath(relative); }

    QTemporaryDir root;
    FileDocument doc;
    std::shared_ptr<ProbeGraphic> graphic = std::make_shared<UncroppedGraphic>();
};

} // namespace

TEST_F(LBGraphicImageFiles, TheFileIsLookedForInSixPlacesInOrder)
{
    // The six places, each file a different number of pixels wide so the one loaded
    // tells where it came from.
    const QStringList places = {"photos/rose.png",  "temp/rose.png",  "package/rose.png",
                                "photos/Drose.png", "temp/Drose.png", "package/Drose.png"};
    struct Case
    {
        std::vector<int> present;
        int loaded;
    };
    const Case cases[] = {
        {{0, 1, 2, 3, 4, 5}, 0},
        {{1, 2, 3, 4, 5}, 1},
        {{2, 3, 4, 5}, 2},
        {{3, 4, 5}, 3},
        {{4, 5}, 4},
        {{5}, 5},
        {{1, 3}, 1}, // an original anywhere wins over a downsampled twin
    };
    for (const Case& c : cases) {
        for (const QString& place : places)
            QFile::remove(path(place));
        for (int index : c.present)
            writePicture(path(places[index]), index + 1);

        auto g = std::make_shared<LBGraphic>();
        g->setDocument(&doc);
        MessageLog log;
        ASSERT_TRUE(g->setImageFile(path("photos/rose.png"), LBGraphic::FillImageType));
        ASSERT_TRUE(g->imageOfType(LBGraphic::FillImageType));
        EXPECT_EQ(g->imageOfType(LBGraphic::FillImageType)->pixelsWide(), c.loaded + 1) << c.loaded;
        EXPECT_EQ(g->imageFilePathOfType(LBGraphic::FillImageType), path(places[c.loaded]));
        EXPECT_EQ(log.contains("Couldn't find original image, using downsampled image."),
                  c.loaded >= 3)
            << c.loaded;
    }
}

TEST_F(LBGraphicImageFiles, AMissingOrUnreadableFileChangesNothingAndRecordsNothing)
{
    const auto before = fakeImage();
    doc.quietly([&] {
        graphic->setImage(before, LBGraphic::FillImageType);
        graphic->setImageFilePath(path("photos/old.png"), LBGraphic::FillImageType);
    });
    QFile broken(path("photos/broken.png"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("this is not a picture");
    broken.close();

    for (const QString& file : {path("photos/missing.png"), path("photos/broken.png")}) {
        MessageLog log;
        doc.step([&] { EXPECT_FALSE(graphic->setImageFile(file, LBGraphic::FillImageType)); });
        EXPECT_EQ(graphic->imageOfType(LBGraphic::FillImageType), before);
        EXPECT_EQ(graphic->imageFilePathOfType(LBGraphic::FillImageType), path("photos/old.png"));
        EXPECT_FALSE(doc.canUndo());
        // Reported once, not silently dropped.
        EXPECT_EQ(std::count_if(log.messages.cbegin(), log.messages.cend(),
                                [&](const QString& m) { return m.contains(file); }),
                  1)
            << file.toStdString();
    }

    // A copy of a graphic whose file is missing still names the file.
    auto copy = graphic->copy();
    copy->copyImageFilePathsFromGraphic(*graphic);
    EXPECT_EQ(copy->imageFilePathOfType(LBGraphic::FillImageType), path("photos/old.png"));
    EXPECT_EQ(copy->imageOfType(LBGraphic::FillImageType), nullptr);
    // Other image types are ignored.
    writePicture(path("photos/rose.png"), 5);
    EXPECT_FALSE(graphic->setImageFile(path("photos/rose.png"), 3));
    EXPECT_FALSE(doc.canUndo());
}

TEST_F(LBGraphicImageFiles, LoadingIsOneUndoStepForPictureAndPath)
{
    writePicture(path("photos/old.png"), 3);
    writePicture(path("photos/new.png"), 7);
    const auto start = fakeImage();

    // From a picture without a file: undo brings the picture back and forgets the path.
    doc.quietly([&] { graphic->setImage(start, LBGraphic::FillImageType); });
    doc.step([&] { graphic->setImageFile(path("photos/new.png"), LBGraphic::FillImageType); });
    const auto loaded = graphic->imageOfType(LBGraphic::FillImageType);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->pixelsWide(), 7);
    EXPECT_TRUE(loaded->dataRetained());
    doc.undo();
    EXPECT_EQ(graphic->imageOfType(LBGraphic::FillImageType), start);
    EXPECT_TRUE(graphic->imageFilePathOfType(LBGraphic::FillImageType).isNull());
    doc.redo();
    EXPECT_EQ(graphic->imageOfType(LBGraphic::FillImageType)->pixelsWide(), 7);
    EXPECT_EQ(graphic->imageFilePathOfType(LBGraphic::FillImageType), path("photos/new.png"));

    // From a picture file: undo loads the old file again.
    doc.undoManager()->removeAllActions();
    doc.quietly([&] { graphic->setImageFile(path("photos/old.png"), LBGraphic::ObjectMaskType); });
    doc.step([&] { graphic->setImageFile(path("photos/new.png"), LBGraphic::ObjectMaskType); });
    doc.undo();
    EXPECT_EQ(graphic->imageOfType(LBGraphic::ObjectMaskType)->pixelsWide(), 3);
    EXPECT_EQ(graphic->imageFilePathOfType(LBGraphic::ObjectMaskType), path("photos/old.png"));

    // A null path forgets only the path.
    doc.step([&] { EXPECT_TRUE(graphic->setImageFile(QString(), LBGraphic::ObjectMaskType)); });
    EXPECT_TRUE(graphic->imageFilePathOfType(LBGraphic::ObjectMaskType).isEmpty());
    EXPECT_EQ(graphic->imageOfType(LBGraphic::ObjectMaskType)->pixelsWide(), 3);
    doc.undo();
    EXPECT_EQ(graphic->imageFilePathOfType(LBGraphic::ObjectMaskType), path("photos/old.png"));
}

TEST_F(LBGraphicImageFiles, ANewFileReachesTheAutosavedCopyOnTheNextPass)
{
    writePicture(path("photos/rose.png"), 4);
    doc.step([&] { graphic->setImageFile(path("photos/rose.png"), LBGraphic::FillImageType); });
    EXPECT_EQ(doc.autosaves, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(doc.autosaves, 1);

    // A document closed before the next pass is not asked.
    auto closing = std::make_unique<FileDocument>();
    auto other = std::make_shared<LBGraphic>();
    other->setDocument(closing.get());
    closing->quietly(
        [&] { other->setImageFile(path("photos/rose.png"), LBGraphic::FillImageType); });
    other->setDocument(nullptr);
    closing.reset();
    QCoreApplication::processEvents();
}

TEST_F(LBGraphicImageFiles, PathsAreStandardisedAndLoadedOnlyWhenAskedTo)
{
    struct Case
    {
        QString given;
        QString standard;
    };
    const Case cases[] = {
        {"~", QDir::homePath()},
        {"~/pictures/../rose.png", QDir::homePath() + "/rose.png"},
        {"/a//b/./c.png", "/a/b/c.png"},
        {"/a/b/", "/a/b"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LBGraphic::standardizedPath(c.given), c.standard) << c.given.toStdString();

    writePicture(path("photos/rose.png"), 6);
    const QString roundabout = path("photos/../photos/./rose.png");
    doc.step(
        [&] { graphic->setImageFilePath(roundabout, false, false, LBGraphic::FillImageType); });
    EXPECT_EQ(graphic->imageFilePathOfType(LBGraphic::FillImageType), path("photos/rose.png"));
    EXPECT_EQ(graphic->imageOfType(LBGraphic::FillImageType), nullptr);
    EXPECT_TRUE(doc.canUndo());

    doc.step([&] { graphic->setImageFilePath(roundabout, true, true, LBGraphic::FillImageType); });
    ASSERT_TRUE(graphic->imageOfType(LBGraphic::FillImageType));
    EXPECT_EQ(graphic->imageOfType(LBGraphic::FillImageType)->pixelsWide(), 6);
}

TEST_F(LBGraphicImageFiles, FullPathsPointWhereTheFilesLieNow)
{
    writePicture(path("package/inpackage.png"), 2);
    writePicture(path("temp/intemp.png"), 2);
    writePicture(path("package/both.png"), 2);
    writePicture(path("temp/both.png"), 2);
    struct Case
    {
        const char* stored;
        QString expected;
    };
    const Case cases[] = {
        {"/elsewhere/inpackage.png", path("package/inpackage.png")},
        {"/elsewhere/intemp.png", path("temp/intemp.png")},
        {"/elsewhere/both.png", path("package/both.png")}, // the package first
        // Not in the temporary folder: the path stays, so the picture is still found.
        {"/elsewhere/nowhere.png", "/elsewhere/nowhere.png"},
    };
    for (const Case& c : cases) {
        graphic->updateImageFileName(QString::fromLatin1(c.stored), LBGraphic::ExternalMaskType);
        graphic->createFullImagePaths();
        EXPECT_EQ(graphic->imageFilePathOfType(LBGraphic::ExternalMaskType), c.expected)
            << c.stored;
    }
    EXPECT_FALSE(doc.canUndo()); // neither records anything

    // Without a document the paths stay as they are.
    auto loose = std::make_shared<LBGraphic>();
    loose->updateImageFileName(QStringLiteral("/elsewhere/intemp.png"), LBGraphic::FillImageType);
    loose->createFullImagePaths();
    EXPECT_EQ(loose->imageFilePathOfType(LBGraphic::FillImageType), "/elsewhere/intemp.png");
}

TEST_F(LBGraphicImageFiles, CopiesSharePicturesAndLoadTheFilesAgain)
{
    writePicture(path("photos/rose.png"), 8);
    writePicture(path("photos/frame.png"), 5);
    const auto objectMask = fakeImage();
    doc.quietly([&] {
        graphic->setImageFile(path("photos/rose.png"), LBGraphic::FillImageType);
        graphic->setImage(objectMask, LBGraphic::ObjectMaskType);
        graphic->setImageFile(path("photos/frame.png"), LBGraphic::ExternalMaskType);
    });

    auto copy = graphic->copy();
    // The picture without a file is shared; the ones from files wait for their files.
    EXPECT_EQ(copy->imageOfType(LBGraphic::ObjectMaskType), objectMask);
    EXPECT_EQ(copy->imageOfType(LBGraphic::FillImageType), nullptr);
    EXPECT_EQ(copy->imageOfType(LBGraphic::ExternalMaskType), nullptr);
    EXPECT_TRUE(copy->imageFilePathOfType(LBGraphic::FillImageType).isNull());

    copy->copyImageFilePathsFromGraphic(*graphic);
    for (qint64 type : {LBGraphic::FillImageType, LBGraphic::ExternalMaskType}) {
        EXPECT_EQ(copy->imageFilePathOfType(type), graphic->imageFilePathOfType(type));
        ASSERT_TRUE(copy->imageOfType(type));
        EXPECT_EQ(copy->imageOfType(type)->pixelsWide(), graphic->imageOfType(type)->pixelsWide());
    }
    EXPECT_EQ(copy->imageOfType(LBGraphic::ObjectMaskType), objectMask);
}

TEST_F(LBGraphicImageFiles, DownsamplingAsksTheDocumentOnlyWhenItMayAndCan)
{
    writePicture(path("photos/rose.png"), 40);
    struct Case
    {
        const char* name;
        bool crop;
        std::function<void(ProbeGraphic&)> setUp;
        bool asked;
        QSizeF drawingSize;
    };
    const Case cases[] = {
        {"whole picture", false, [](ProbeGraphic&) {}, true, QSizeF(100, 100)},
        {"switched off",
         false,
         [](ProbeGraphic& g) { g.setDownsampleFillImage(false); },
         false,
         {}},
        {"no file", false, [](ProbeGraphic& g) { g._imageFilePath.clear(); }, false, {}},
        {"one point wide",
         false,
         [](ProbeGraphic& g) { g.setBoundsNoOtherChanges(QRectF(0, 0, 1, 100)); },
         false,
         {}},
        {"1.5 points high", false,
         [](ProbeGraphic& g) { g.setBoundsNoOtherChanges(QRectF(0, 0, 100, 1.5)); }, true,
         QSizeF(100, 1.5)},
        // A picture cropped into a shape is drawn at the size of its crop rectangle.
        {"crop", true, [](ProbeGraphic& g) { g._origCropImageBounds = QRectF(0, 0, 30, 20); }, true,
         QSizeF(30, 20)},
        {"crop not placed yet", true, [](ProbeGraphic&) {}, false, {}},
    };
    for (const Case& c : cases) {
        std::shared_ptr<ProbeGraphic> g =
            c.crop ? std::make_shared<ProbeGraphic>() : std::make_shared<UncroppedGraphic>();
        g->setDocument(&doc);
        g->setBoundsNoOtherChanges(QRectF(0, 0, 100, 100));
        doc.quietly([&] { g->setImageFile(path("photos/rose.png"), LBGraphic::FillImageType); });
        c.setUp(*g);
        doc.asked.clear();
        g->downsampleFillImage(false);
        ASSERT_EQ(doc.asked.size(), c.asked ? 1u : 0u) << c.name;
        if (c.asked) {
            EXPECT_EQ(doc.asked.front().second, c.drawingSize) << c.name;
        }
    }
}

TEST_F(LBGraphicImageFiles, DownsampledPicturesReplaceTheFillImageAndForceStartsFromTheFile)
{
    writePicture(path("photos/rose.png"), 40);
    writePicture(path("temp/rose.png"), 30);
    doc.quietly([&] { graphic->setImageFile(path("photos/rose.png"), LBGraphic::FillImageType); });
    const auto original = graphic->imageOfType(LBGraphic::FillImageType);
    const auto smaller = platform::Image::fromBitmap(filled(10, 10), QSizeF(40, 10));

    // The document answers the same picture: nothing changes.
    graphic->_cachedImage = original;
    graphic->downsampleFillImage(false);
    EXPECT_EQ(graphic->imageOfType(LBGraphic::FillImageType), original);
    EXPECT_FALSE(graphic->imageWasDownsampled());
    EXPECT_EQ(graphic->_cachedImage, nullptr); // the cache is dropped either way

    // A smaller one replaces the picture, also where the cache showed it unprocessed.
    doc.downsample = [&](const LBGraphic::ImagePtr&) { return smaller; };
    doc.undoManager()->removeAllActions();
    graphic->downsampleFillImage(false);
    EXPECT_EQ(graphic->imageOfType(LBGraphic::FillImageType), smaller);
    EXPECT_TRUE(smaller->dataRetained());
    EXPECT_TRUE(graphic->imageWasDownsampled());
    EXPECT_FALSE(graphic->downSampledImageWasResampled());
    EXPECT_FALSE(doc.canUndo());

    // Forced, it starts again from the original file.
    doc.downsample = nullptr;
    graphic->downsampleFillImage(true);
    EXPECT_EQ(doc.asked.back().first->pixelsWide(), 40);
    EXPECT_EQ(graphic->imageOfType(LBGraphic::FillImageType)->pixelsWide(), 40);
    EXPECT_TRUE(graphic->downSampledImageWasResampled());

    // A file that went away is taken from the temporary folder instead.
    ASSERT_TRUE(QFile::remove(path("photos/rose.png")));
    graphic->downsampleFillImage(true);
    EXPECT_EQ(graphic->imageOfType(LBGraphic::FillImageType)->pixelsWide(), 30);

    // Found nowhere, the picture in memory is kept.
    ASSERT_TRUE(QFile::remove(path("temp/rose.png")));
    graphic->downsampleFillImage(true);
    EXPECT_EQ(graphic->imageOfType(LBGraphic::FillImageType)->pixelsWide(), 30);
}

TEST_F(LBGraphicImageFiles, AResizeDuringADragMakesTheNextDownsamplingStartFromTheFile)
{
    writePicture(path("photos/rose.png"), 40);
    doc.quietly([&] { graphic->setImageFile(path("photos/rose.png"), LBGraphic::FillImageType); });
    const auto smaller = platform::Image::fromBitmap(filled(10, 10), QSizeF(40, 10));
    doc.downsample = [&](const LBGraphic::ImagePtr& image) {
        return image->pixelsWide() == 40 ? smaller : image;
    };
    graphic->downsampleFillImage(false);
    ASSERT_EQ(graphic->imageOfType(LBGraphic::FillImageType), smaller);

    // Without a resize the downsampled picture is what the document sees again.
    graphic->downsampleFillImage(false);
    EXPECT_EQ(doc.asked.back().first, smaller);

    graphic->startBoundsManipulation();
    graphic->setBounds(QRectF(0, 0, 300, 300));
    doc.step([&] { graphic->stopBoundsManipulation(); });
    graphic->downsampleFillImage(false);
    EXPECT_EQ(doc.asked.back().first->pixelsWide(), 40);
    EXPECT_EQ(doc.asked.back().second, QSizeF(300, 300));
    EXPECT_TRUE(graphic->downSampledImageWasResampled());
}

TEST(LBGraphicImageResolution, DpiOfImage)
{
    const auto bitmap = [](int w, int h) {
        return platform::Image::fromBitmap(filled(w, h), QSizeF(w, h));
    };
    struct Case
    {
        LBGraphic::ImagePtr image;
        QSizeF drawingSize;
        double dpi;
    };
    const Case cases[] = {
        {bitmap(600, 300), QSizeF(200, 200), 108}, // min(3, 1.5) × 72
        {bitmap(600, 300), QSizeF(100, 50), 432},
        {bitmap(100, 100), QSizeF(200, 200), 36},
        {platform::Image::withSize(QSizeF(50, 50)), QSizeF(10, 10), 72}, // no bitmap
        {nullptr, QSizeF(10, 10), 72},
        {bitmap(100, 100), QSizeF(0, 10), 72}, // nothing drawn: no meaningful resolution
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(LBGraphic::dpiOfImage(c.image, c.drawingSize), c.dpi)
            << c.drawingSize.width() << " x " << c.drawingSize.height();
}

TEST_F(LBGraphicImageFiles, DownsamplingUnderAnExternalMaskWorksOnTheOriginalAndMasksItAgain)
{
    writePicture(path("photos/rose.png"), 40);
    QImage half(2, 2, QImage::Format_Grayscale8);
    half.fill(128);
    doc.quietly([&] {
        graphic->setImageFile(path("photos/rose.png"), LBGraphic::FillImageType);
        graphic->setImage(platform::Image::fromBitmap(half, QSizeF(2, 2)),
                          LBGraphic::ExternalMaskType);
    });
    const auto original = graphic->_origImage;
    const auto masked = graphic->imageOfType(LBGraphic::FillImageType);
    ASSERT_TRUE(original);
    ASSERT_EQ(qAlpha(masked->bitmap().pixel(0, 0)), 128);

    // Nothing to do: the masked picture stays.
    graphic->downsampleFillImage(false);
    EXPECT_EQ(doc.asked.back().first, original);
    EXPECT_EQ(graphic->imageOfType(LBGraphic::FillImageType), masked);
    EXPECT_EQ(graphic->_origImage, original);

    // A smaller picture: it becomes the original and is masked once.
    const auto smaller = platform::Image::fromBitmap(filled(10, 10), QSizeF(40, 10));
    doc.downsample = [&](const LBGraphic::ImagePtr&) { return smaller; };
    graphic->downsampleFillImage(true);
    EXPECT_EQ(graphic->_origImage, smaller);
    const auto shown = graphic->imageOfType(LBGraphic::FillImageType);
    EXPECT_EQ(shown->pixelsWide(), 10);
    EXPECT_EQ(qAlpha(shown->bitmap().pixel(5, 5)), 128);
}
