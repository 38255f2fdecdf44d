#include "MaskFixtures.h"

#include "inspector/HUDMasksLibrary.h"
#include "platform/core/Error.h"
#include "platform/ui/Alert.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QStringList namesOf(const QList<HUDMaskRecord>& masks)
{
    QStringList names;
    for (const HUDMaskRecord& mask : masks)
        names.append(mask.name);
    return names;
}

class MasksLibraryTest : public ::testing::Test
{
protected:
    MasksLibraryTest()
    {
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts.append(alert.informativeText);
            return platform::Alert::Response{};
        });
    }
    ~MasksLibraryTest() override
    {
        platform::Alert::setResponder(nullptr);
        HUDMasksLibrary::setPath(QString());
    }

    QTemporaryDir folder;
    QStringList alerts;
};

} // namespace

TEST_F(MasksLibraryTest, MasksComeSortedByIndexKeepingTheFileOrderOfEqualIndexes)
{
    QList<MaskSource> masks;
    for (const auto& [name, index] : QList<QPair<QString, int>>{{QStringLiteral("c"), 3},
                                                                {QStringLiteral("a1"), 1},
                                                                {QStringLiteral("b1"), 2},
                                                                {QStringLiteral("a2"), 1},
                                                                {QStringLiteral("b2"), 2},
                                                                {QStringLiteral("a3"), 1}})
        masks.append(maskSourceFromArt(name, index, 7, discArt()));
    const QString path = writeMasksFixture(folder, masks);
    const auto read = HUDMasksLibrary::readMasks(path);
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(namesOf(*read), QStringList({"a1", "a2", "a3", "b1", "b2", "c"}));
    const HUDMaskRecord& first = read->first();
    EXPECT_EQ(first.defaultSoftness, 7);
    EXPECT_FALSE(first.thumbnail.isNull());
    ASSERT_FALSE(first.picture.isNull());
    // White inside the shape, black outside.
    EXPECT_EQ(qGray(first.picture.pixel(first.picture.width() / 2, first.picture.height() / 2)),
              255);
    EXPECT_EQ(qGray(first.picture.pixel(0, 0)), 0);
}

TEST_F(MasksLibraryTest, AMaskWhosePictureCannotBeReadIsLeftOut)
{
    QList<MaskSource> masks = numberedMasks(3);
    masks[1].pictureData = QByteArrayLiteral("not a picture");
    masks[2].thumbnailData = QByteArrayLiteral("nor this");
    const auto read = HUDMasksLibrary::readMasks(writeMasksFixture(folder, masks));
    ASSERT_TRUE(read.has_value());
    EXPECT_EQ(namesOf(*read), QStringList({"Mask 1", "Mask 3"}));
    EXPECT_TRUE(read->last().thumbnail.isNull()); // kept, without its menu picture
}

TEST_F(MasksLibraryTest, TheFileIsOnlyRead)
{
    const QString path = writeMasksFixture(folder, numberedMasks(2));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    const QDateTime modified = QFileInfo(path).lastModified();
    ASSERT_TRUE(HUDMasksLibrary::readMasks(path).has_value());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(QFileInfo(path).lastModified(), modified);

    // A missing library is not made.
    platform::Error error;
    const QString missing = folder.filePath(QStringLiteral("missing"));
    EXPECT_FALSE(HUDMasksLibrary::readMasks(missing, &error).has_value());
    EXPECT_FALSE(QFileInfo::exists(missing));
    EXPECT_TRUE(error.description.contains(missing));
}

TEST_F(MasksLibraryTest, ALibraryThatCannotBeReadIsReportedOncePerRunAndGivesNoMasks)
{
    const QString damaged = folder.filePath(QStringLiteral("damaged"));
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(4096, 'x'));
    file.close();
    for (const QString& path : {damaged, folder.filePath(QStringLiteral("missing"))}) {
        alerts.clear();
        HUDMasksLibrary::setPath(path);
        EXPECT_TRUE(HUDMasksLibrary::masks().isEmpty());
        EXPECT_TRUE(HUDMasksLibrary::masks().isEmpty());
        ASSERT_EQ(alerts.size(), 1) << path.toStdString();
        EXPECT_TRUE(alerts.first().contains(path));
    }
}

TEST_F(MasksLibraryTest, TheProgramsLibraryHasItsMasks)
{
    HUDMasksLibrary::setPath(QString());
    const QList<HUDMaskRecord>& masks = HUDMasksLibrary::masks();
    EXPECT_TRUE(alerts.isEmpty()) << alerts.join(QLatin1Char(' ')).toStdString();
    ASSERT_EQ(masks.size(), 10);
    EXPECT_EQ(masks.first().name, QStringLiteral("Star"));
    for (const HUDMaskRecord& mask : masks) {
        EXPECT_FALSE(mask.thumbnail.isNull()) << mask.name.toStdString();
        EXPECT_EQ(mask.picture.size(), QSize(512, 512)) << mask.name.toStdString();
    }
}
