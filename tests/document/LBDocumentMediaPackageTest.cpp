// Picture files in the package: each source stored once, members kept from save to save,
// downsampled copies, pictures converted after opening, and where a graphic's file is.

#include "PackageTestSupport.h"

#include "MessageLog.h"
#include "platform/core/FileWrapper.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

TEST_F(PackageTest, EachSourceFileIsStoredOnceAndKeptFromSaveToSave)
{
    const QString photo = writeFile("photo.png", picture(40, 30, "png"));
    const auto a = placeImage(photo, QRectF(0, 0, 40, 30));
    const auto b = placeImage(photo, QRectF(50, 0, 40, 30));
    const QString package = path("Card.quarnlb");
    ASSERT_TRUE(saveAs(package));

    QStringList members = membersOf(package);
    ASSERT_EQ(members.size(), 1);
    EXPECT_TRUE(QRegularExpression("^\\d+\\.\\d{6}\\.png$").match(members.first()).hasMatch())
        << members.first().toStdString();
    const QString member = QDir(package).filePath(members.first());
    EXPECT_EQ(a->imageFilePathOfType(0), member);
    EXPECT_EQ(b->imageFilePathOfType(0), member);
    EXPECT_EQ(document->originalImageFilePaths(), QStringList{photo});
    EXPECT_EQ(bytesOf(member), bytesOf(photo));
    // A copy, not a link: the user's file may change in place.
    EXPECT_NE(inodeOf(member), inodeOf(photo));

    // Saved again: the same member, no new name.
    const ino_t stored = inodeOf(member);
    fill(0, {"x"});
    document->saveDocument();
    EXPECT_EQ(membersOf(package), members);
    EXPECT_EQ(inodeOf(member), stored) << "kept by a link, not copied again";
    EXPECT_EQ(document->newImageFilePaths().size(), 1);

    // A file of another folder that happens to have a member's name is a file of its own.
    QDir().mkpath(path("other"));
    const QString namesake = writeFile("other/" + members.first(), picture(10, 10, "png"));
    placeImage(namesake, QRectF(0, 40, 10, 10));
    document->saveDocument();
    EXPECT_EQ(membersOf(package).size(), 2);
    EXPECT_EQ(bytesOf(member), bytesOf(photo));

    // Saved elsewhere (Save As) and again there: the members travel, no new names.
    const QString copy = path("Copy.quarnlb");
    ASSERT_TRUE(saveAs(copy));
    const QStringList copied = membersOf(copy);
    EXPECT_EQ(copied, membersOf(package));
    document->saveDocument();
    EXPECT_EQ(membersOf(copy), copied);
    EXPECT_TRUE(a->imageFilePathOfType(0).startsWith(copy + "/"));
}

TEST_F(PackageTest, UnreadableFilesAreLoggedAndTheSaveGoesOn)
{
    const auto image = placeImage(writeFile("photo.png", picture(8, 8, "png")), QRectF(0, 0, 8, 8));
    const QString gone = path("gone.png");
    image->updateImageFileName(gone, LBGraphic::FillImageType);
    document->setBackgroundImagePath(writeFile("back.png", picture(8, 8, "png")), true, 1);
    QFile::remove(path("back.png"));
    MessageLog log;
    const QString package = path("Card.quarnlb");
    ASSERT_TRUE(saveAs(package));
    EXPECT_TRUE(log.contains("Couldn't copy image file into document package: " + gone));
    EXPECT_EQ(membersOf(package), QStringList());
    // Both still name their files.
    EXPECT_EQ(image->imageFilePathOfType(0), gone);
    EXPECT_EQ(document->backgroundImagePath(1), path("back.png"));
    EXPECT_EQ(contentsOf(package).value("BackgroundImageName1"), path("back.png"));
}

TEST_F(PackageTest, DownsampledCopiesFollowTheirSource)
{
    // 600 x 400 pixels shown at 60 x 40 points: 720 dpi, kept at 150 dpi (125 pixels).
    struct Case
    {
        const char* format;
        QByteArray magic;
    };
    const QString package = path("Card.quarnlb");
    QList<std::shared_ptr<LBImage>> images;
    for (const Case& c : {Case{"jpg", QByteArray("\xFF\xD8\xFF")}, Case{"png", "II*"}}) {
        const QString source =
            writeFile(QStringLiteral("photo.%1").arg(c.format), picture(600, 400, c.format));
        images.append(placeImage(source, QRectF(0, 0, 60, 40)));
        ASSERT_TRUE(images.last()->imageWasDownsampled());
        ASSERT_EQ(images.last()->imageOfType(0)->pixelsWide(), 125);
    }
    ASSERT_TRUE(saveAs(package));
    for (const auto& image : images) {
        const QString member = QFileInfo(image->imageFilePathOfType(0)).fileName();
        const QByteArray copy = bytesOf(QDir(package).filePath("D" + member));
        const bool jpeg = member.endsWith(".jpg");
        EXPECT_TRUE(copy.startsWith(jpeg ? QByteArray("\xFF\xD8\xFF") : QByteArray("II*")))
            << member.toStdString();
        EXPECT_FALSE(image->downSampledImageWasResampled());
    }
    EXPECT_EQ(membersOf(package).size(), 4);

    // Opened: the downsampled copy is the picture.
    const std::unique_ptr<LBDocument> opened = open(package);
    ASSERT_NE(opened, nullptr);
    for (const LBGraphicPtr& graphic : opened->documentGraphics()[0][1]) {
        EXPECT_TRUE(graphic->imageWasDownsampled());
        EXPECT_EQ(graphic->imageOfType(0)->pixelsWide(), 125);
        EXPECT_TRUE(
            graphic->imageFilePathOfType(0).startsWith(QFileInfo(package).canonicalFilePath()));
    }
    // Saved again unchanged: the copies are kept, not made again.
    const QMap<QString, QByteArray> before = treeOf(package);
    const ino_t copy = inodeOf(
        QDir(package).filePath("D" + QFileInfo(images.first()->imageFilePathOfType(0)).fileName()));
    document->saveDocument();
    EXPECT_EQ(inodeOf(QDir(package).filePath(
                  "D" + QFileInfo(images.first()->imageFilePathOfType(0)).fileName())),
              copy);
}

TEST_F(PackageTest, AMaskedPictureIsMaskedOnceAfterOpening)
{
    // A grey object mask halves the picture's alpha; the copy kept for opening is the
    // picture before the mask, so opening masks it once.
    QImage grey(600, 400, QImage::Format_RGB32);
    grey.fill(QColor(128, 128, 128));
    const QString mask = path("mask.png");
    grey.save(mask);
    const auto image =
        placeImage(writeFile("photo.png", picture(600, 400, "png")), QRectF(0, 0, 60, 40));
    image->setImageFilePath(mask, true, false, LBGraphic::ObjectMaskType);
    const int alpha = qAlpha(image->imageOfType(0)->bitmapImageRep().pixel(10, 10));
    ASSERT_NEAR(alpha, 128, 2);
    const QString package = path("Card.quarnlb");
    ASSERT_TRUE(saveAs(package));
    const std::unique_ptr<LBDocument> opened = open(package);
    ASSERT_NE(opened, nullptr);
    const LBGraphicPtr& graphic = opened->documentGraphics()[0][1].first();
    EXPECT_NE(graphic->imageOfType(LBGraphic::ObjectMaskType), nullptr);
    EXPECT_NEAR(qAlpha(graphic->imageOfType(0)->bitmapImageRep().pixel(10, 10)), alpha, 2);
}

TEST_F(PackageTest, PostScriptAndPhotoshopPicturesAreConvertedAndSavedAfterOpening)
{
    const QByteArray eps = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 100 50\n"
                           "0 0 1 setrgbcolor 0 0 100 50 rectfill\nshowpage\n";
    // A 2 x 1 RGB picture: red, then blue; raw planes.
    const QByteArray psd = QByteArray::fromHex("3842505300010000000000000003"
                                               "000000010000000200080003000000000000000000000000"
                                               "0000ff0000000000ff");
    struct Case
    {
        const char* name;
        QByteArray bytes;
        const char* extension;
        QByteArray magic;
    };
    for (const Case& c :
         {Case{"logo.eps", eps, "pdf", "%PDF-"}, Case{"photo.psd", psd, "png", "\x89PNG"}}) {
        document = std::make_unique<LBDocument>();
        placeImage(writeFile(c.name, c.bytes), QRectF(0, 0, 100, 50));
        const QString package = path(QStringLiteral("%1.quarnlb").arg(c.name));
        ASSERT_TRUE(saveAs(package));
        const QMap<QString, QByteArray> saved = treeOf(package);

        // Opened as a template into an untitled document: converted into working files,
        // the package untouched, and the document edited instead of saved.
        platform::Error error;
        ASSERT_TRUE(document->revertToSavedFromFile(package, LBDocument::LabelDocumentType, &error))
            << error.description.toStdString();
        document->setFileName(QString());
        const QString working = document->pageGraphics()[1].first()->imageFilePathOfType(0);
        EXPECT_EQ(QFileInfo(working).suffix(), c.extension) << c.name;
        EXPECT_TRUE(bytesOf(working).startsWith(c.magic)) << c.name;
        EXPECT_TRUE(document->temporaryFileIsInUse(working)) << c.name;
        EXPECT_EQ(treeOf(package), saved) << c.name;
        QCoreApplication::processEvents();
        EXPECT_TRUE(document->isDocumentEdited()) << c.name;
        EXPECT_EQ(treeOf(package), saved) << c.name;

        // Opened: saved right away, with the converted member in place of the source.
        const std::unique_ptr<LBDocument> opened = open(package);
        ASSERT_NE(opened, nullptr) << c.name;
        EXPECT_FALSE(opened->isDocumentEdited()) << c.name;
        const QStringList members = membersOf(package);
        ASSERT_EQ(members.size(), 1) << c.name;
        EXPECT_EQ(QFileInfo(members.first()).suffix(), c.extension) << c.name;
        EXPECT_TRUE(bytesOf(QDir(package).filePath(members.first())).startsWith(c.magic));
        EXPECT_EQ(opened->documentGraphics()[0][1].first()->imageFilePathOfType(0),
                  QDir(package).filePath(members.first()));
    }

    // PostScript that cannot be converted keeps its file.
    document = std::make_unique<LBDocument>();
    MessageLog log;
    placeImage(writeFile("broken.eps", "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 40 30\n"
                                       "this is no postscript\n"),
               QRectF(0, 0, 40, 30));
    const QString package = path("broken.quarnlb");
    ASSERT_TRUE(saveAs(package));
    const std::unique_ptr<LBDocument> opened = open(package);
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(QFileInfo(opened->documentGraphics()[0][1].first()->imageFilePathOfType(0)).suffix(),
              "eps");
    EXPECT_EQ(membersOf(package).size(), 1);
    EXPECT_TRUE(log.contains("cannot be converted"));
}

TEST_F(PackageTest, AGraphicsFileIsFoundWhereTheDocumentKeepsIt)
{
    const QString photo = writeFile("photo.png", picture(8, 8, "png"));
    const auto image = placeImage(photo, QRectF(0, 0, 8, 8));
    EXPECT_EQ(document->imageFilePathForGraphic(*image), photo);
    const QString package = path("Card.quarnlb");
    ASSERT_TRUE(saveAs(package));
    const QString member = image->imageFilePathOfType(0);
    const QString name = QFileInfo(member).fileName();
    // The graphic names a file that moved: its name in the saved package.
    image->updateImageFileName(path("moved/") + name, 0);
    EXPECT_EQ(document->imageFilePathForGraphic(*image), member);
    // A package beside it named like it with "~" is another document of the user's.
    ASSERT_TRUE(QFile::rename(package, path("Card~.quarnlb")));
    EXPECT_EQ(document->imageFilePathForGraphic(*image), QString());
    QDir(path("Card~.quarnlb")).removeRecursively();
    // ... or in the AutoRecover copy.
    QDir().mkpath(document->temporaryFilePath());
    QFile::copy(photo, QDir(document->temporaryFilePath()).filePath(name));
    EXPECT_EQ(document->imageFilePathForGraphic(*image),
              QDir(document->temporaryFilePath()).filePath(name));
    QDir(document->temporaryFilePath()).removeRecursively();
    EXPECT_EQ(document->imageFilePathForGraphic(*image), QString());
    image->updateImageFileName(QString(), 0);
    EXPECT_EQ(document->imageFilePathForGraphic(*image), QString());

    // Members by the path's last component, in the first folder that has one.
    platform::FileWrapper a = platform::FileWrapper::directory();
    platform::FileWrapper b = platform::FileWrapper::directory();
    b.addFileWrapper("x.png", platform::FileWrapper::regularFileWithContents("b"));
    platform::FileWrapper c = platform::FileWrapper::directory();
    c.addFileWrapper("x.png", platform::FileWrapper::regularFileWithContents("c"));
    c.addFileWrapper("y.png", platform::FileWrapper::directory());
    EXPECT_EQ(LBDocument::findWrapperForFile("/a/x.png", &a, &b, &c), b.fileWrapper("x.png"));
    EXPECT_EQ(LBDocument::findWrapperForFile("x.png", nullptr, nullptr, &c),
              c.fileWrapper("x.png"));
    EXPECT_EQ(LBDocument::findWrapperForFile("/a/y.png", &a, &b, &c), nullptr);
    EXPECT_EQ(LBDocument::findWrapperForFile("/a/z.png", &a, &b, &c), nullptr);
}

TEST(LBDocumentNames, TimeStampedNamesMoveOnToTheNextFreeOne)
{
    QStringList asked;
    const QString name = LBDocument::timeStampedName("png", [&](const QString& candidate) {
        asked.append(candidate);
        return asked.size() < 3; // the first two are taken
    });
    ASSERT_EQ(asked.size(), 3);
    EXPECT_EQ(name, asked.last());
    const QRegularExpression form("^(\\d+\\.\\d{6})\\.png$");
    const auto seconds = [&](const QString& n) { return form.match(n).captured(1).toDouble(); };
    ASSERT_TRUE(form.match(asked[0]).hasMatch());
    EXPECT_NEAR(seconds(asked[1]) - seconds(asked[0]), 0.000001, 1e-7);
    EXPECT_NEAR(seconds(asked[2]) - seconds(asked[1]), 0.000001, 1e-7);
    // The reference date is 1 January 2001.
    EXPECT_NEAR(seconds(name),
                QDateTime(QDate(2001, 1, 1), QTime(0, 0), QTimeZone::utc())
                    .secsTo(QDateTime::currentDateTimeUtc()),
                5);
    EXPECT_TRUE(
        QRegularExpression("^\\d+\\.\\d{6}$")
            .match(LBDocument::timeStampedName(QString(), [](const QString&) { return false; }))
            .hasMatch());
}

TEST_F(PackageTest, OpeningDropsLazyPathsAndNotesTheResolution)
{
    auto kit = std::make_shared<LBImage>();
    kit->setBoundsNoOtherChanges(QRectF(0, 0, 10, 10));
    kit->setLazyImagePath(path("kit.png"));
    document->insertGraphic(kit, 0, 1);
    LBProcessState::setImageDisplayResolution(300);
    const QString package = path("Card.quarnlb");
    ASSERT_TRUE(saveAs(package));
    EXPECT_EQ(contentsOf(package).value("LBDownsampledImageDPI"), "300");
    LBProcessState::setImageDisplayResolution(120);
    const std::unique_ptr<LBDocument> opened = open(package);
    LBProcessState::setImageDisplayResolution(150);
    ASSERT_NE(opened, nullptr);
    const auto* image = dynamic_cast<LBImage*>(opened->documentGraphics()[0][1].first().get());
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->lazyImagePath().isNull());
    // The pictures were loaded at the resolution of now.
    EXPECT_EQ(opened->downsampledImageDPI(), 120);
}
