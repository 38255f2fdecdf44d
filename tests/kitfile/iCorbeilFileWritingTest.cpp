#include "kitfile/iCorbeilFile.h"

#include "platform/core/Error.h"
#include "platform/drawing/Image.h"

#include "KitTestSupport.h"

#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

using namespace kittest;

namespace {

// Kits staged in a temporary folder of the test's own, so the staging packages can be
// watched coming and going.
class KitWriting : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(_folder.isValid());
        _savedTemporaryFolder = qgetenv("TMPDIR");
        ASSERT_TRUE(QDir().mkpath(stagingFolder()));
        qputenv("TMPDIR", stagingFolder().toLocal8Bit());
    }
    void TearDown() override { qputenv("TMPDIR", _savedTemporaryFolder); }

    QString path(const QString& name) const { return _folder.filePath(name); }
    QString kitPath() const { return path(QStringLiteral("Garden.icorbeil")); }
    QUrl kitURL() const { return QUrl::fromLocalFile(kitPath()); }
    QString stagingFolder() const { return path(QStringLiteral("staging")); }
    QStringList stagingPackages() const
    {
        return QDir(stagingFolder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }

    QVariantMap twoGraphics() const
    {
        QVariantMap leaf = graphic(QStringLiteral("Leaf"), VQEmbellishment);
        leaf.insert(VQSubType, VQLeaf);
        leaf.insert(VQSecondaryColors,
                    QVariantList{QVariantMap{{VQName, VQGreen},
                                             {VQColorActual, QStringLiteral("sRGB 0 1 0 1")}}});
        return manifest({graphic(QStringLiteral("Rose")), leaf});
    }

    // A graphic whose pictures are in memory, ready to be staged.
    static std::shared_ptr<iCorbeilImage> newGraphic(const QString& name, const QColor& color)
    {
        auto object = std::make_shared<iCorbeilImage>(graphic(name));
        object->setImage(platform::Image::fromData(tinyPicture(color)));
        object->setThumbnail(platform::Image::fromData(tinyPicture(color)));
        object->setImageChanged(true);
        return object;
    }

    static QVariantMap manifestOf(const iCorbeilFile& kit)
    {
        QVariantMap contents = kit.info()->props();
        QVariantList objects;
        for (const auto& object : kit.objects())
            objects.append(object->properties());
        contents.insert(VQObjects, objects);
        return contents;
    }

    QTemporaryDir _folder;
    QByteArray _savedTemporaryFolder;
};

} // namespace

TEST_F(KitWriting, FixtureKitRoundTripsWithStagedImages)
{
    ASSERT_TRUE(writeKit(kitPath(), twoGraphics()));
    iCorbeilFile kit;
    ASSERT_TRUE(kit.readFromURL(kitURL()));

    // A new graphic from pictures in memory, and the rose replaced from a file.
    const auto tulip = newGraphic(QStringLiteral("Tulip"), Qt::yellow);
    ASSERT_TRUE(kit.addImage(*tulip));
    EXPECT_FALSE(tulip->image());
    EXPECT_EQ(stagingPackages().size(), 1);
    const QByteArray newRose = tinyPicture(Qt::magenta);
    ASSERT_TRUE(writeFile(path("new rose.png"), newRose));
    iCorbeilImage& rose = *kit.objects()[0];
    rose.setOriginalPath(path("new rose.png"));
    rose.setImageChanged(true);
    ASSERT_TRUE(kit.updateImage(rose));
    kit.setObjects(iCorbeilFile::ImageList(kit.objects()) << tulip);
    QVariantList releases = *kit.releases();
    releases.append(kit.createNewRelease());
    kit.info()->setReleases(releases);

    platform::Error error;
    ASSERT_TRUE(kit.writeToURLForExistingFile(kitURL(), &error)) << error.description.toStdString();
    EXPECT_TRUE(stagingPackages().isEmpty());
    EXPECT_EQ(readFile(kitPath() + "/Images/Rose.png"), newRose);
    EXPECT_EQ(readFile(kitPath() + "/Images/Tulip.png"),
              platform::Image::fromData(tinyPicture(Qt::yellow))->pngData());

    iCorbeilFile readBack;
    ASSERT_TRUE(readBack.readFromURL(kitURL()));
    EXPECT_EQ(manifestOf(readBack), manifestOf(kit));
    EXPECT_EQ(readBack.releases()->last().toMap().value(VQReleaseSummary),
              QStringLiteral("New Release"));
    EXPECT_TRUE(readBack.objects()[2]->thumbnail());

    // Written again unchanged, the package stays the same to the byte.
    const auto before = snapshot(kitPath());
    ASSERT_TRUE(readBack.writeToURLForExistingFile(kitURL(), &error))
        << error.description.toStdString();
    EXPECT_EQ(snapshot(kitPath()), before);
}

TEST_F(KitWriting, NewKitFromStagedImages)
{
    iCorbeilFile kit;
    kit.info()->setName(QStringLiteral("Spring"));
    kit.info()->setReleases(QVariantList{kit.createNewRelease()});
    kit.info()->setCopyright(QStringLiteral("\u00a9 Ann"));
    const QByteArray preview = tinyPicture(Qt::white, "JPEG");
    ASSERT_TRUE(writeFile(path("cover.jpg"), preview));
    kit.info()->setPreviewPath(path("cover.jpg"));
    ASSERT_TRUE(writeFile(path("me.png"), tinyPicture(Qt::gray)));
    kit.info()->setDesignerPath(path("me.png"));
    const auto tulip = newGraphic(QStringLiteral("Tulip"), Qt::yellow);
    tulip->setDetailThumbnailFilename(QStringLiteral("Tulip_detail.png"));
    tulip->setDetailThumbnail(platform::Image::fromData(tinyPicture(Qt::cyan)));
    tulip->setDetailThumbnailChanged(true);
    ASSERT_TRUE(kit.addImage(*tulip));
    kit.setObjects({tulip});

    const QString newPath = path("Spring.icorbeil");
    platform::Error error;
    ASSERT_TRUE(kit.writeToURLForNewFile(QUrl::fromLocalFile(newPath), &error))
        << error.description.toStdString();
    EXPECT_TRUE(stagingPackages().isEmpty());
    EXPECT_EQ(fileNames(newPath),
              (QStringList{"Artist.jpg", "Copyright.txt", "Images/Tulip.png", "Kit_Preview.jpg",
                           "License.pdf", "License.png", "Thumbnails/Tulip_thumbnail.png",
                           "Thumbnails_Detailed/Tulip_detail.png", "contents.xml"}));
    EXPECT_EQ(readFile(newPath + "/Kit_Preview.jpg"), preview);
    EXPECT_EQ(readFile(newPath + "/Copyright.txt"), QStringLiteral("\u00a9 Ann").toUtf8());

    iCorbeilFile readBack;
    ASSERT_TRUE(readBack.readFromURL(QUrl::fromLocalFile(newPath)));
    EXPECT_EQ(manifestOf(readBack), manifestOf(kit));
    EXPECT_TRUE(readBack.objects()[0]->detailThumbnail());

    // A new kit never replaces what is there.
    iCorbeilFile again;
    again.info()->setName(QStringLiteral("Other"));
    EXPECT_FALSE(again.writeToURLForNewFile(QUrl::fromLocalFile(newPath), &error));
    EXPECT_TRUE(error.description.contains("already exists"));
    EXPECT_EQ(readFile(newPath + "/Kit_Preview.jpg"), preview);
}

TEST_F(KitWriting, ExistingKitKeepsItsPicturesAndLosesFilesNoGraphicNames)
{
    ASSERT_TRUE(writeKit(kitPath(), twoGraphics()));
    const QByteArray preview = tinyPicture(Qt::white, "JPEG");
    const QByteArray artist = tinyPicture(Qt::gray, "JPEG");
    ASSERT_TRUE(writeFile(kitPath() + "/Kit_Preview.jpg", preview));
    ASSERT_TRUE(writeFile(kitPath() + "/Artist.jpg", artist));
    ASSERT_TRUE(writeFile(kitPath() + "/Copyright.txt", "old line"));
    ASSERT_TRUE(writeFile(kitPath() + "/Images/stray.png", tinyPicture(Qt::black)));
    ASSERT_TRUE(writeFile(kitPath() + "/Thumbnails/Old/old.png", tinyPicture(Qt::black)));
    // Made on a disk that ignores letter case: the leaf's image under another case is its
    // file; beside an exact name, another case is a stray.
    ASSERT_TRUE(QFile::rename(kitPath() + "/Images/Leaf.png", kitPath() + "/Images/LEAF.PNG"));
    ASSERT_TRUE(writeFile(kitPath() + "/Images/ROSE.png", tinyPicture(Qt::black)));

    iCorbeilFile kit;
    ASSERT_TRUE(kit.readFromURL(kitURL()));
    platform::Error error;
    ASSERT_TRUE(kit.writeToURLForExistingFile(kitURL(), &error)) << error.description.toStdString();

    EXPECT_EQ(fileNames(kitPath()),
              (QStringList{"Artist.jpg", "Copyright.txt", "Images/LEAF.PNG", "Images/Rose.png",
                           "Kit_Preview.jpg", "License.pdf", "License.png",
                           "Thumbnails/Leaf_thumbnail.png", "Thumbnails/Rose_thumbnail.png",
                           "contents.xml"}));
    EXPECT_EQ(readFile(kitPath() + "/Kit_Preview.jpg"), preview);
    EXPECT_EQ(readFile(kitPath() + "/Artist.jpg"), artist);
    EXPECT_EQ(readFile(kitPath() + "/Copyright.txt"), QByteArray("(c) Ann"));
    EXPECT_EQ(readFile(kitPath() + "/License.png"), readFile(":/iCorbeil/License.png"));
}

TEST_F(KitWriting, IncompleteContentsAreRefusedBeforeTheKitIsTouched)
{
    using Change = std::function<void(iCorbeilFile&)>;
    struct Case
    {
        const char* says;
        int code;
        Change change;
    };
    const auto onRose = [](std::function<void(iCorbeilImage&)> change) {
        return [change](iCorbeilFile& kit) { change(*kit.objects()[0]); };
    };
    const Case cases[] = {
        {"The kit has no name.", iCorbeilIncompleteContentsError,
         [](iCorbeilFile& kit) { kit.info()->setName(QString()); }},
        {"The kit has no release history.", iCorbeilIncompleteContentsError,
         [](iCorbeilFile& kit) { kit.info()->setReleases(std::nullopt); }},
        {"The kit has no identifier.", iCorbeilIncompleteContentsError,
         [](iCorbeilFile& kit) { kit.info()->setUUID(QString()); }},
        {"The graphic \u201cRose\u201d (1) has no orientation.", iCorbeilIncompleteContentsError,
         onRose([](iCorbeilImage& rose) { rose.setOrientation(QString()); })},
        {"has no tags.", iCorbeilIncompleteContentsError,
         onRose([](iCorbeilImage& rose) { rose.setTags(std::nullopt); })},
        {"has no primary colour.", iCorbeilIncompleteContentsError,
         onRose([](iCorbeilImage& rose) { rose.setPrimaryColor(QColor()); })},
        {"has no paper style.", iCorbeilIncompleteContentsError,
         onRose([](iCorbeilImage& rose) { rose.setType(VQPaper); })},
        {"has no number of pictures.", iCorbeilIncompleteContentsError,
         onRose([](iCorbeilImage& rose) { rose.setType(VQQuickPage); })},
        {"The graphic 1 has no name.", iCorbeilIncompleteContentsError,
         onRose([](iCorbeilImage& rose) { rose.setName(QString()); })},
        {"names the file \u201c../Rose.png\u201d, which is not a plain file name",
         iCorbeilUnsafeFilenameError,
         onRose([](iCorbeilImage& rose) { rose.setFilename(QStringLiteral("../Rose.png")); })},
        {"\u201c/etc/x\u201d", iCorbeilUnsafeFilenameError, onRose([](iCorbeilImage& rose) {
             rose.setDetailThumbnailFilename(QStringLiteral("/etc/x"));
         })},
    };
    ASSERT_TRUE(writeKit(kitPath(), twoGraphics()));
    ASSERT_TRUE(writeFile(kitPath() + "/Images/stray.png", tinyPicture(Qt::black)));
    const auto before = snapshot(kitPath());
    for (const Case& c : cases) {
        iCorbeilFile kit;
        ASSERT_TRUE(kit.readFromURL(kitURL()));
        const auto tulip = newGraphic(QStringLiteral("Tulip"), Qt::yellow);
        ASSERT_TRUE(kit.addImage(*tulip));
        kit.setObjects(iCorbeilFile::ImageList(kit.objects()) << tulip);
        c.change(kit);

        for (const bool existing : {true, false}) {
            platform::Error error;
            const QUrl url = existing ? kitURL() : QUrl::fromLocalFile(path("New.icorbeil"));
            EXPECT_FALSE(existing ? kit.writeToURLForExistingFile(url, &error)
                                  : kit.writeToURLForNewFile(url, &error));
            EXPECT_EQ(error.domain, iCorbeilErrorDomain);
            EXPECT_EQ(error.code, c.code) << c.says;
            EXPECT_TRUE(error.description.contains(QString::fromUtf8(c.says)))
                << error.description.toStdString();
        }
        EXPECT_FALSE(kit.writeContentsToURL(kitURL()));
        EXPECT_EQ(snapshot(kitPath()), before) << c.says;
        EXPECT_FALSE(QFileInfo::exists(path("New.icorbeil")));
        EXPECT_TRUE(kit.temporaryFileExists()); // the staged image is still there
    }
}

TEST_F(KitWriting, StagingReplacesRemovesAndCleansUp)
{
    {
        iCorbeilFile kit;
        const auto rose = newGraphic(QStringLiteral("Rose"), Qt::red);
        for (const QColor& color : {QColor(Qt::red), QColor(Qt::blue)}) {
            const QString source = path(color.name() + ".png");
            ASSERT_TRUE(writeFile(source, tinyPicture(color)));
            rose->setOriginalPath(source);
            ASSERT_TRUE(kit.updateImage(*rose)) << color.name().toStdString();
        }
        const QString staged = stagingFolder() + u'/' + stagingPackages().value(0);
        EXPECT_EQ(readFile(staged + "/Images/Rose.png"), tinyPicture(Qt::blue));

        // A thumbnail that is not PNG is not staged, and the image stays in memory.
        const auto leaf = newGraphic(QStringLiteral("Leaf"), Qt::green);
        leaf->setThumbnailFilename(QStringLiteral("Leaf.jpg"));
        EXPECT_FALSE(kit.addImage(*leaf));
        EXPECT_TRUE(leaf->image());

        EXPECT_TRUE(kit.removeImage(*rose));
        EXPECT_TRUE(kit.removeImage(*rose)); // missing files count as deleted
        EXPECT_EQ(fileNames(staged), QStringList{"Images/Leaf.png"});
        EXPECT_EQ(stagingPackages().size(), 1);
    }
    EXPECT_TRUE(stagingPackages().isEmpty()); // gone with the kit
}

TEST_F(KitWriting, PreviewFollowsItsSourceAndStaysReadable)
{
    struct Case
    {
        const char* source; // file name of the new preview, "" for none, "package" for its own
        const char* format;
        bool picture;       // a preview picture in memory
        QStringList before; // preview files in the package
        QStringList after;
    };
    const Case cases[] = {
        {"cover.jpeg", "JPEG", false, {"Kit_Preview.png"}, {"Kit_Preview.jpg"}},
        {"cover.png", "PNG", false, {"Kit_Preview.jpg"}, {"Kit_Preview.png"}},
        {"cover.tif", "TIFF", false, {}, {"Kit_Preview.png"}},
        {"package", "PNG", false, {"Kit_Preview.png"}, {"Kit_Preview.png"}},
        {"", "PNG", true, {"Kit_Preview.jpg"}, {"Kit_Preview.jpg"}},
        {"", "PNG", true, {}, {"Kit_Preview.png"}},
        {"", "PNG", false, {"Kit_Preview.jpg", "Kit_Preview.png"}, {}},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        const QString package = folder.filePath("Kit.icorbeil");
        ASSERT_TRUE(QDir().mkpath(package));
        for (const QString& name : c.before)
            ASSERT_TRUE(writeFile(package + u'/' + name, tinyPicture(Qt::black)));
        iCorbeilFile kit;
        QString source = QString::fromLatin1(c.source);
        if (source == "package") {
            source = package + "/Kit_Preview.png";
        } else if (!source.isEmpty()) {
            source = folder.filePath(source);
            ASSERT_TRUE(writeFile(source, tinyPicture(Qt::white, c.format)));
        }
        kit.info()->setPreviewPath(source);
        if (c.picture)
            kit.info()->setPreview(platform::Image::fromData(tinyPicture(Qt::white)));
        platform::Error error;
        ASSERT_TRUE(kit.writePreviewImageFile(QUrl::fromLocalFile(package), &error))
            << c.source << error.description.toStdString();
        EXPECT_EQ(fileNames(package), c.after) << c.source;
        if (!c.after.isEmpty() && c.before != c.after) {
            const auto written = platform::Image::fromFile(package + u'/' + c.after.first());
            ASSERT_TRUE(written) << c.source;
            EXPECT_EQ(written->bitmap().pixelColor(0, 0).lightness(), 255) << c.source;
        }
    }
}

TEST_F(KitWriting, NothingIsWrittenOrDeletedThroughLinksLeadingOut)
{
    ASSERT_TRUE(writeKit(kitPath(), twoGraphics()));
    const QString outside = path("outside");
    const QByteArray secret = "secret";
    for (const char* name : {"secret.png", "contents.xml", "Copyright.txt", "Images/x.png"})
        ASSERT_TRUE(writeFile(outside + u'/' + name, secret));
    const auto outsideBefore = snapshot(outside);
    // An unreferenced link to a file outside, the manifest and the copyright linked out,
    // and the images folder linked to a folder outside.
    ASSERT_TRUE(QFile::link(outside + "/secret.png", kitPath() + "/Thumbnails/stray.png"));
    ASSERT_TRUE(QFile::remove(kitPath() + "/contents.xml"));
    ASSERT_TRUE(QFile::link(outside + "/contents.xml", kitPath() + "/contents.xml"));
    ASSERT_TRUE(QFile::link(outside + "/Copyright.txt", kitPath() + "/Copyright.txt"));
    ASSERT_TRUE(QDir(kitPath() + "/Images").removeRecursively());
    ASSERT_TRUE(QFile::link(outside + "/Images", kitPath() + "/Images"));

    iCorbeilFile kit;
    ASSERT_TRUE(kit.readContents(platform::PropertyList::toXml(twoGraphics())));
    const auto tulip = newGraphic(QStringLiteral("Tulip"), Qt::yellow);
    ASSERT_TRUE(kit.addImage(*tulip));
    kit.setObjects(iCorbeilFile::ImageList(kit.objects()) << tulip);
    platform::Error error;
    ASSERT_TRUE(kit.writeToURLForExistingFile(kitURL(), &error)) << error.description.toStdString();

    EXPECT_EQ(snapshot(outside), outsideBefore);
    for (const char* name : {"contents.xml", "Copyright.txt", "Images"})
        EXPECT_FALSE(QFileInfo(kitPath() + u'/' + name).isSymLink()) << name;
    EXPECT_FALSE(QFileInfo(kitPath() + "/Thumbnails/stray.png").isSymLink());
    EXPECT_TRUE(QFileInfo::exists(kitPath() + "/Images/Tulip.png"));
    iCorbeilFile readBack;
    ASSERT_TRUE(readBack.readFromURL(kitURL()));
    EXPECT_EQ(readBack.objects().size(), 3);
}

TEST_F(KitWriting, AManifestThatCannotBeWrittenIsReported)
{
    ASSERT_TRUE(writeKit(kitPath(), twoGraphics()));
    iCorbeilFile kit;
    ASSERT_TRUE(kit.readFromURL(kitURL()));
    // Something that is not a file stands where the manifest goes.
    ASSERT_TRUE(QFile::remove(kitPath() + "/contents.xml"));
    ASSERT_TRUE(QDir().mkpath(kitPath() + "/contents.xml/inside"));

    platform::Error error;
    EXPECT_FALSE(kit.writeToURLForExistingFile(kitURL(), &error));
    EXPECT_EQ(error, (platform::Error{iCorbeilErrorDomain, iCorbeilSerializationError,
                                      QStringLiteral("Unable to serialize contents.xml")}));
    EXPECT_TRUE(QFileInfo::exists(kitPath() + "/Images/Rose.png")); // nothing deleted
}
