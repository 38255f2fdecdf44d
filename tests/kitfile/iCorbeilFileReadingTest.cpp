#include "kitfile/iCorbeilFile.h"

#include "platform/core/Error.h"
#include "platform/drawing/Image.h"

#include "KitTestSupport.h"

#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <QBuffer>

#include <sys/inotify.h>
#include <unistd.h>

using namespace kittest;

namespace {

class KitReading : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(_folder.isValid()); }

    QString kitPath() const { return _folder.filePath(QStringLiteral("Garden.icorbeil")); }
    QUrl kitURL() const { return QUrl::fromLocalFile(kitPath()); }

    QVariantMap twoGraphics() const
    {
        QVariantMap leaf = graphic(QStringLiteral("Leaf"));
        leaf.insert(VQDetailThumbnailFilename, QStringLiteral("Leaf_detail.png"));
        return manifest({graphic(QStringLiteral("Rose")), leaf});
    }

    QTemporaryDir _folder;
};

// How many times anything in the folder (or the folder itself, as by listing it) was opened
// between its watch's start and now.
class OpenWatch
{
public:
    explicit OpenWatch(const QString& folder) : _fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        inotify_add_watch(_fd, QFile::encodeName(folder).constData(), IN_OPEN);
    }
    ~OpenWatch() { close(_fd); }
    int opens()
    {
        int count = 0;
        alignas(inotify_event) char buffer[4096];
        for (ssize_t n; (n = read(_fd, buffer, sizeof buffer)) > 0;)
            for (ssize_t at = 0; at < n; ++count)
                at += ssize_t(sizeof(inotify_event))
                      + reinterpret_cast<const inotify_event*>(buffer + at)->len;
        return count;
    }

private:
    int _fd;
};

QColor colorOf(const std::shared_ptr<platform::Image>& image)
{
    return image ? image->bitmap().pixelColor(0, 0) : QColor();
}

} // namespace

TEST_F(KitReading, ManifestThumbnailsAndPictures)
{
    ASSERT_TRUE(writeKit(kitPath(), twoGraphics()));
    ASSERT_TRUE(
        writeFile(kitPath() + "/Thumbnails_Detailed/Leaf_detail.png", tinyPicture(Qt::green)));
    ASSERT_TRUE(writeFile(kitPath() + "/Artist.jpg", tinyPicture(Qt::white, "JPEG")));

    iCorbeilFile kit;
    platform::Error error;
    ASSERT_TRUE(kit.readFromURL(kitURL(), &error)) << error.description.toStdString();
    EXPECT_EQ(kit.name(), QStringLiteral("Garden"));
    EXPECT_EQ(kit.info()->UUID(), QStringLiteral("11111111-2222-3333-4444-555555555555"));
    ASSERT_EQ(kit.objects().size(), 2);
    EXPECT_EQ(kit.filenames(), (QStringList{"Rose.png", "Leaf.png"}));
    const iCorbeilImage& leaf = *kit.objects()[1];
    EXPECT_EQ(colorOf(leaf.thumbnail()), QColor(Qt::blue));
    EXPECT_EQ(colorOf(leaf.detailThumbnail()), QColor(Qt::green));
    EXPECT_FALSE(kit.objects()[0]->detailThumbnail());
    EXPECT_FALSE(leaf.image()); // full images come on demand
    EXPECT_TRUE(kit.info()->designer());
    EXPECT_FALSE(kit.info()->preview());

    EXPECT_TRUE(kit.loadImageForObject(*kit.objects()[1], kitURL()));
    EXPECT_EQ(colorOf(leaf.image()), QColor(Qt::red));
}

TEST_F(KitReading, LargeThumbnailsAreReadScaledDownAtTheirSize)
{
    // A detailed thumbnail of 3000 x 1500 pixels at 144 dpi: 1500 x 750 points.
    ASSERT_TRUE(writeKit(kitPath(), twoGraphics()));
    QImage large(3000, 1500, QImage::Format_RGB32);
    large.fill(Qt::green);
    large.setDotsPerMeterX(qRound(144 / 0.0254));
    large.setDotsPerMeterY(qRound(144 / 0.0254));
    QByteArray png;
    QBuffer buffer(&png);
    ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && large.save(&buffer, "PNG"));
    ASSERT_TRUE(writeFile(kitPath() + "/Thumbnails_Detailed/Leaf_detail.png", png));

    iCorbeilFile kit;
    platform::Error error;
    ASSERT_TRUE(kit.readFromURL(kitURL(), &error)) << error.description.toStdString();
    const std::shared_ptr<platform::Image> detail = kit.objects()[1]->detailThumbnail();
    ASSERT_TRUE(detail);
    EXPECT_EQ(detail->pixelsWide(), iCorbeilFile::largestThumbnailPixels);
    EXPECT_EQ(detail->pixelsHigh(), iCorbeilFile::largestThumbnailPixels / 2);
    EXPECT_NEAR(detail->size().width(), 1500, 1);
    EXPECT_NEAR(detail->size().height(), 750, 1);
    EXPECT_EQ(colorOf(detail), QColor(Qt::green));
    // A small one is read as it is.
    EXPECT_EQ(kit.objects()[1]->thumbnail()->pixelsWide(), 2);
}

TEST_F(KitReading, PreviewIsThePNGElseTheJPEG)
{
    struct Case
    {
        bool png;
        bool jpeg;
        QColor preview;
    };
    const Case cases[] = {
        {true, true, Qt::blue},
        {false, true, Qt::white},
        {true, false, Qt::blue},
        {false, false, QColor()},
    };
    for (const Case& c : cases) {
        QTemporaryDir folder;
        const QString path = folder.filePath("Kit.icorbeil");
        ASSERT_TRUE(writeKit(path, manifest({})));
        if (c.png) {
            ASSERT_TRUE(writeFile(path + "/Kit_Preview.png", tinyPicture(Qt::blue)));
        }
        if (c.jpeg) {
            ASSERT_TRUE(writeFile(path + "/Kit_Preview.jpg", tinyPicture(Qt::white, "JPEG")));
        }
        iCorbeilFile kit;
        ASSERT_TRUE(kit.readFromURL(QUrl::fromLocalFile(path)));
        EXPECT_EQ(colorOf(kit.info()->preview()), c.preview) << c.png << c.jpeg;
    }
}

TEST_F(KitReading, NamesMatchIgnoringLetterCaseWhenTheExactOneIsMissing)
{
    QVariantMap rose = graphic(QStringLiteral("Rose"));
    rose.insert(VQThumbnailFilename, QStringLiteral("ROSE_Thumbnail.PNG"));
    ASSERT_TRUE(writeKit(kitPath(), manifest({rose})));
    ASSERT_TRUE(QFile::rename(kitPath() + "/Thumbnails/ROSE_Thumbnail.PNG",
                              kitPath() + "/Thumbnails/rose_thumbnail.png"));
    ASSERT_TRUE(QFile::rename(kitPath() + "/Images/Rose.png", kitPath() + "/Images/rose.PNG"));
    ASSERT_TRUE(writeFile(kitPath() + "/kit_preview.JPG", tinyPicture(Qt::white, "JPEG")));

    iCorbeilFile kit;
    ASSERT_TRUE(kit.readFromURL(kitURL()));
    EXPECT_EQ(colorOf(kit.objects()[0]->thumbnail()), QColor(Qt::blue));
    EXPECT_TRUE(kit.info()->preview());
    EXPECT_TRUE(kit.loadImageForObject(*kit.objects()[0], kitURL()));

    // The exact name wins when both are there.
    ASSERT_TRUE(writeFile(kitPath() + "/Thumbnails/ROSE_Thumbnail.PNG", tinyPicture(Qt::yellow)));
    ASSERT_TRUE(kit.readFromURL(kitURL()));
    EXPECT_EQ(colorOf(kit.objects()[0]->thumbnail()), QColor(Qt::yellow));
}

TEST_F(KitReading, NameForImageAvoidsEveryNameInAnyLetterCase)
{
    iCorbeilFile kit;
    auto rose = std::make_shared<iCorbeilImage>(graphic(QStringLiteral("Rose")));
    auto plain = std::make_shared<iCorbeilImage>(graphic(QStringLiteral("Plain")));
    plain->setFilename(QStringLiteral("notes"));
    kit.setObjects({rose, plain});
    EXPECT_EQ(kit.allImageFilenames(),
              (QStringList{"Rose.png", "Rose_thumbnail.png", "notes", "Plain_thumbnail.png"}));

    struct Case
    {
        QString name;
        QString answer;
    };
    const Case cases[] = {
        {"Tulip.png", "Tulip.png"},
        {"rose.PNG", "rose-1.PNG"},
        {"ROSE_THUMBNAIL.png", "ROSE_THUMBNAIL-1.png"},
        {"Notes", "Notes-1"},
        {"../Rose.png", QString()},
        {"", QString()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kit.nameForImage(c.name), c.answer) << c.name.toStdString();

    auto taken = std::make_shared<iCorbeilImage>(graphic(QStringLiteral("Rose-1")));
    kit.setObjects({rose, taken});
    EXPECT_EQ(kit.nameForImage(QStringLiteral("ROSE.png")), QStringLiteral("ROSE-2.png"));
}

TEST_F(KitReading, MalformedManifestsAreRefusedSayingWhatAndWhere)
{
    const auto withGraphicValue = [](const QString& key, const QVariant& value) {
        QVariantMap rose = graphic(QStringLiteral("Rose"));
        rose.insert(key, value);
        return platform::PropertyList::toXml(manifest({rose}));
    };
    const auto withValue = [](const QString& key, const QVariant& value) {
        QVariantMap contents = manifest({graphic(QStringLiteral("Rose"))});
        contents.insert(key, value);
        return platform::PropertyList::toXml(contents);
    };
    QVariantMap badLicense = manifest({}).value(VQLicense).toMap();
    badLicense.insert(VQLicenseManufacturerSuggestedRetailPrice, QStringLiteral("cheap"));
    QVariantMap badRelease = release();
    badRelease.insert(VQReleaseDate, QStringLiteral("yesterday"));

    struct Case
    {
        QByteArray contents;
        iCorbeilErrorCode code;
        QString says;
    };
    const Case cases[] = {
        {"not a property list", iCorbeilUnreadableContentsError, "not an XML property list"},
        {"{ VQName = Garden; }", iCorbeilUnreadableContentsError, "not an XML property list"},
        {platform::PropertyList::toXml(QVariantList{1}), iCorbeilMalformedContentsError,
         "does not hold a dictionary"},
        {withValue(VQObjects, QStringLiteral("none")), iCorbeilMalformedContentsError,
         "VQObjects is not a list of dictionaries"},
        {withValue(VQObjects, QVariantList{graphic("Rose"), 7}), iCorbeilMalformedContentsError,
         "VQObjects item 2 is not a dictionary"},
        {withValue(VQReleaseHistory, QVariantMap()), iCorbeilMalformedContentsError,
         "VQReleaseHistory is not a list of dictionaries"},
        {withValue(VQReleaseHistory, QVariantList{badRelease}), iCorbeilMalformedContentsError,
         "VQReleaseHistory item 1, VQReleaseDate is not a date"},
        {withValue(VQName, 12), iCorbeilMalformedContentsError, "VQName is not a text"},
        {withValue(VQDesigner, QVariantList()), iCorbeilMalformedContentsError,
         "VQDesigner is not a dictionary"},
        {withValue(VQLicense, badLicense), iCorbeilMalformedContentsError,
         "VQLicense, VQLicenseManufacturerSuggestedRetailPrice is not a number"},
        {withGraphicValue(VQTags, 3), iCorbeilMalformedContentsError,
         "VQObjects item 1 (\u201cRose\u201d), VQTags is not a list of texts"},
        {withGraphicValue(VQSecondaryColors, QVariantList{QVariantMap{{VQName, 1}}}),
         iCorbeilMalformedContentsError, "VQSecondaryColors item 1, VQName is not a text"},
        {withGraphicValue(VQFilename, QStringLiteral("../x.png")), iCorbeilUnsafeFilenameError,
         "VQObjects item 1 (\u201cRose\u201d), VQFilename \u201c../x.png\u201d is not a plain file "
         "name"},
        {withGraphicValue(VQFilename, QStringLiteral("/etc/x")), iCorbeilUnsafeFilenameError,
         "\u201cRose\u201d), VQFilename"},
        {withGraphicValue(VQThumbnailFilename, QStringLiteral("..")), iCorbeilUnsafeFilenameError,
         "\u201cRose\u201d), VQThumbnailFilename"},
        {withGraphicValue(VQDetailThumbnailFilename, QStringLiteral("a/b.png")),
         iCorbeilUnsafeFilenameError, "\u201cRose\u201d), VQDetailThumbnailFilename"},
        {withGraphicValue(VQFilename, QString("")), iCorbeilUnsafeFilenameError, "VQFilename"},
    };

    for (const Case& c : cases) {
        ASSERT_TRUE(writeKit(kitPath(), twoGraphics()));
        iCorbeilFile kit;
        ASSERT_TRUE(kit.readFromURL(kitURL()));
        const QVariantMap before = kit.info()->props();
        ASSERT_TRUE(writeFile(kitPath() + "/contents.xml", c.contents));

        platform::Error error;
        EXPECT_FALSE(kit.readFromURL(kitURL(), &error)) << c.says.toStdString();
        EXPECT_EQ(error.domain, iCorbeilErrorDomain);
        EXPECT_EQ(error.code, c.code) << c.says.toStdString();
        EXPECT_TRUE(error.description.contains(c.says)) << error.description.toStdString();
        EXPECT_TRUE(error.description.contains(QStringLiteral("Garden.icorbeil")));
        // Nothing read is lost.
        EXPECT_EQ(kit.info()->props(), before);
        EXPECT_EQ(kit.objects().size(), 2);
    }

    platform::Error error;
    iCorbeilFile kit;
    EXPECT_FALSE(kit.readFromURL(QUrl::fromLocalFile(_folder.filePath("None.icorbeil")), &error));
    EXPECT_EQ(error.code, iCorbeilUnreadableContentsError);
    EXPECT_TRUE(error.description.contains("no readable contents.xml"));
}

TEST_F(KitReading, NumbersMayComeAsNumericText)
{
    QVariantMap license = manifest({}).value(VQLicense).toMap();
    license.insert(VQLicenseManufacturerSuggestedRetailPrice, QStringLiteral(" 4.50 "));
    QVariantMap page = graphic(QStringLiteral("Page"), VQQuickPage);
    page.insert(VQNumberOfPictures, QStringLiteral("3"));
    QVariantMap contents = manifest({page});
    contents.insert(VQLicense, license);

    iCorbeilFile kit;
    ASSERT_TRUE(kit.readContents(platform::PropertyList::toXml(contents)));
    EXPECT_EQ(kit.info()->suggestedRetailPrice(), QVariant(4.5));
    EXPECT_EQ(kit.objects()[0]->numberOfPictures(), QVariant(qint64(3)));
}

TEST_F(KitReading, EmptyTextsAreValuesNotGaps)
{
    QVariantMap contents = manifest({graphic(QStringLiteral("Rose"))});
    contents.insert(QStringLiteral("UUID"), QString(""));
    contents.insert(VQName, QString(""));
    iCorbeilFile kit;
    ASSERT_TRUE(kit.readContents(platform::PropertyList::toXml(contents)));
    EXPECT_FALSE(kit.name().isNull());
    EXPECT_TRUE(kit.name().isEmpty());
    EXPECT_EQ(kit.info()->props().value(QStringLiteral("UUID")), QString(""));
}

TEST_F(KitReading, FilesLinkedFromOutsideCountAsMissing)
{
    ASSERT_TRUE(writeKit(kitPath(), twoGraphics()));
    const QString outside = _folder.filePath("outside");
    ASSERT_TRUE(writeFile(outside + "/secret.png", tinyPicture(Qt::black)));
    ASSERT_TRUE(writeFile(outside + "/Leaf_detail.png", tinyPicture(Qt::black)));
    ASSERT_TRUE(writeFile(outside + "/contents.xml", platform::PropertyList::toXml(manifest({}))));
    // A thumbnail linked to a file outside, a folder linked outside, the preview too.
    ASSERT_TRUE(QFile::remove(kitPath() + "/Thumbnails/Rose_thumbnail.png"));
    ASSERT_TRUE(QFile::link(outside + "/secret.png", kitPath() + "/Thumbnails/Rose_thumbnail.png"));
    ASSERT_TRUE(QFile::link(outside, kitPath() + "/Thumbnails_Detailed"));
    ASSERT_TRUE(QFile::link(outside + "/secret.png", kitPath() + "/Kit_Preview.png"));
    // A link inside the package is followed.
    ASSERT_TRUE(
        QFile::link(kitPath() + "/Thumbnails/Leaf_thumbnail.png", kitPath() + "/Artist.jpg"));

    iCorbeilFile kit;
    ASSERT_TRUE(kit.readFromURL(kitURL()));
    EXPECT_FALSE(kit.objects()[0]->thumbnail());
    EXPECT_FALSE(kit.objects()[1]->detailThumbnail());
    EXPECT_FALSE(kit.info()->preview());
    EXPECT_TRUE(kit.info()->designer());
    EXPECT_TRUE(kit.objects()[1]->thumbnail());

    ASSERT_TRUE(QFile::remove(kitPath() + "/contents.xml"));
    ASSERT_TRUE(QFile::link(outside + "/contents.xml", kitPath() + "/contents.xml"));
    platform::Error error;
    EXPECT_FALSE(iCorbeilFile().readFromURL(kitURL(), &error));
    EXPECT_EQ(error.code, iCorbeilUnreadableContentsError);
}

TEST_F(KitReading, FoldersLinkedOutsideAreNotEvenListed)
{
    // The graphic's detailed thumbnail is missing under its exact name, and its folder
    // leads out: looking for the name in another letter case must not list that folder.
    ASSERT_TRUE(writeKit(kitPath(), twoGraphics()));
    const QString outside = _folder.filePath("outside");
    ASSERT_TRUE(writeFile(outside + "/leaf_DETAIL.png", tinyPicture(Qt::black)));
    ASSERT_TRUE(QFile::link(outside, kitPath() + "/Thumbnails_Detailed"));

    OpenWatch watch(outside);
    iCorbeilFile kit;
    ASSERT_TRUE(kit.readFromURL(kitURL()));
    EXPECT_FALSE(kit.objects()[1]->detailThumbnail());
    EXPECT_EQ(watch.opens(), 0);
}
