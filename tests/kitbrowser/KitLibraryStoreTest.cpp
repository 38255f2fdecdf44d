// The kit library: where it lives, importing kits into its store and "Kits" folder (whole
// or not at all), older copies, the confirmation, the check against "Kits", and a store
// that is damaged or locked.

#include "KitBrowserTestSupport.h"

#include "kitbrowser/SGCorbeilController.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QUrl>

using namespace kitbrowsertest;
using kitfixtures::Graphic;
using kitfixtures::Kit;

namespace {

class KitLibraryStore : public KitBrowserTest
{
protected:
    static QByteArray readAll(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

Kit gardenKit()
{
    Kit kit;
    kit.UUID = QStringLiteral("11111111-2222-3333-4444-555555555555");
    kit.name = QStringLiteral("Garden");
    kit.author = QStringLiteral("Ann");
    kit.kitType = VQPaperKitType;
    kit.kitSize = VQ12x12KitSize;
    kit.description = QStringLiteral("Flowers and leaves");
    kit.tags = {QStringLiteral("spring"), QStringLiteral("flowers")};
    Graphic rose;
    rose.name = QStringLiteral("Rose Paper");
    rose.type = VQPaper;
    rose.paperType = VQPlaid;
    rose.primaryColor = VQRed;
    rose.secondaryColors = {VQGreen, VQWhite};
    rose.tags = {QStringLiteral("rose")};
    Graphic bow;
    bow.name = QStringLiteral("Bow");
    bow.type = VQEmbellishment;
    bow.subtype = VQPhotoCorner;
    bow.primaryColor = VQPink;
    bow.orientation = VQPortrait;
    Graphic page;
    page.name = QStringLiteral("Album Page");
    page.type = VQQuickPage;
    page.numberOfPictures = 3;
    page.primaryColor = VQRed;
    kit.graphics = {rose, bow, page};
    return kit;
}

} // namespace

TEST_F(KitLibraryStore, LibraryLivesInTheDataFolderForTheWholeProcess)
{
    SGCorbeilController first(QStringLiteral("iCorbeil View"));
    EXPECT_EQ(first.libraryPath(), libraryPath());
    EXPECT_TRUE(QFileInfo(kitsFolder()).isDir());
    QDir(libraryPath()).removeRecursively();
    SGCorbeilController second(QStringLiteral("Corbeils"));
    EXPECT_EQ(second.libraryPath(), first.libraryPath());
    EXPECT_TRUE(QFileInfo(kitsFolder()).isDir()); // made again
    EXPECT_EQ(second.colorNames().size(), 16);
    EXPECT_EQ(second.colorNames().first(), QStringLiteral("Black"));
}

TEST_F(KitLibraryStore, ImportRecordsTheKitAndEveryGraphic)
{
    const QString source = writeKit(gardenKit());
    SGCorbeilController controller(QStringLiteral("iCorbeil View"));
    controller.importCorbeil(source, 0, 1, false);

    const QList<SGKitRecord> kits = controller.allKits();
    ASSERT_EQ(kits.size(), 1);
    const SGKitRecord& kit = kits.first();
    EXPECT_EQ(kit.UID, QStringLiteral("11111111-2222-3333-4444-555555555555"));
    EXPECT_EQ(kit.name, QStringLiteral("Garden"));
    EXPECT_EQ(kit.filename, QStringLiteral("Garden.icorbeil"));
    EXPECT_EQ(kit.author, QStringLiteral("Ann"));
    EXPECT_EQ(kit.kitType, QStringLiteral("Paper"));
    EXPECT_EQ(kit.kitSize, QStringLiteral("12x12 inches"));
    EXPECT_EQ(kit.kitDescription, QStringLiteral("Flowers and leaves"));
    EXPECT_EQ(kit.tagString, QStringLiteral("spring|flowers"));
    EXPECT_EQ(kit.typeString, QStringLiteral("Paper|Embellishment|Quick Page"));
    EXPECT_EQ(kit.subtypeString, QStringLiteral("Photo Corner"));
    EXPECT_EQ(kit.primaryColorString, QStringLiteral("Red|Pink"));
    EXPECT_EQ(kit.secondaryColorString, QStringLiteral("Green|White"));
    EXPECT_TRUE(QFileInfo::exists(kitsFolder() + QStringLiteral("/Garden.icorbeil/contents.xml")));
    EXPECT_TRUE(QFileInfo::exists(source)); // the original stays

    const QList<SGObjectRecord> objects = controller.objectsMatchingWords(
        {}, std::nullopt, QString(), QStringLiteral("ALL TYPES"), QString(), QString(), {}, false,
        QString(), QString(), QString());
    ASSERT_EQ(objects.size(), 3);
    // By type, subtype and name.
    EXPECT_EQ(objectNames(objects), (QStringList{"Bow", "Rose Paper", "Album Page"}));
    const SGObjectRecord& rose = objects[1];
    EXPECT_EQ(rose.UID.size(), 36);
    EXPECT_EQ(rose.filename, QStringLiteral("Rose Paper.png"));
    EXPECT_EQ(rose.type, QStringLiteral("Paper"));
    EXPECT_EQ(rose.subtype, QString());
    EXPECT_EQ(rose.orientation, QStringLiteral("Square"));
    EXPECT_EQ(rose.paperType, QStringLiteral("Plaid"));
    EXPECT_EQ(rose.tagString, QStringLiteral("rose"));
    EXPECT_EQ(rose.primaryColorName, QStringLiteral("Red"));
    EXPECT_FALSE(rose.primaryColorValue.isEmpty());
    EXPECT_EQ(rose.secondaryColorNames, QStringLiteral("Green|White"));
    EXPECT_EQ(rose.secondaryColorValues.split(u'|').size(), 2);
    EXPECT_EQ(rose.thumbnailFilename, QStringLiteral("Rose Paper_thumbnail.png"));
    EXPECT_EQ(rose.kit.filename, QStringLiteral("Garden.icorbeil"));
    EXPECT_EQ(objects[0].subtype, QStringLiteral("Photo Corner"));
    EXPECT_EQ(objects[0].orientation, QStringLiteral("Portrait"));
    // A graphic without secondary colours keeps both texts empty.
    EXPECT_EQ(objects[2].secondaryColorNames, QString(QLatin1String("")));
    EXPECT_EQ(objects[2].secondaryColorValues, QString(QLatin1String("")));
    EXPECT_EQ(objects[2].numberOfPictures, QStringLiteral("3"));

    // Progress of the import: n + 2 steps, the message with the kit's name.
    EXPECT_EQ(_progressMaxima, QList<double>{5});
    EXPECT_EQ(_progressMessages, QStringList{QStringLiteral("Importing Garden\u2026")});
    EXPECT_TRUE(_alerts.isEmpty()); // no confirmation asked for
    EXPECT_EQ(platform::UserDefaults::standardUserDefaults().stringForKey(
                  QStringLiteral("LastImportString")),
              QStringLiteral("Garden.icorbeil"));
    EXPECT_EQ(controller.mode(), 1);
    EXPECT_TRUE(controller.showsLastImport());
}

TEST_F(KitLibraryStore, AuthorFallsBackToTheContactNameThenEmpty)
{
    Kit kit = kitfixtures::tinyKit(QStringLiteral("Plain"), 1);
    kit.author.clear();
    SGCorbeilController controller(QStringLiteral("iCorbeil View"));
    controller.importCorbeil(writeKit(kit), 0, 1, false);
    ASSERT_EQ(controller.allKits().size(), 1);
    EXPECT_EQ(controller.allKits().first().author, QString(QLatin1String("")));
}

TEST_F(KitLibraryStore, KitTypeAndSizeNames)
{
    const std::pair<QString, QString> types[] = {
        {VQAlphabetKitType, "Alphabet"},
        {VQCompleteKitType, "Complete Kit"},
        {VQEmbellishmentKitType, "Embellishments"},
        {VQOverlayKitType, "Overlays"},
        {VQPaperKitType, "Paper"},
        {VQQuickAlbumKitType, "Quick Album"},
        {VQQuickPageKitType, "Quick Page"},
        {VQStampKitType, "Stamps"},
        {VQTextureKitType, "Textures"},
        {VQWordArtKitType, "Word Art"},
        {QStringLiteral("Other"), ""},
        {QString(), ""},
    };
    for (const auto& [key, name] : types)
        EXPECT_EQ(SGCorbeilController::englishNameForKitType(key), name) << key.toStdString();
    const std::pair<QString, QString> sizes[] = {
        {VQ12x12KitSize, "12x12 inches"},
        {VQLetterKitSize, "8.5x11 inches"},
        {VQ4x6KitSize, "4x6 inches"},
        {VQNotApplicableKitSize, "Other"},
        {VQ5x7KitSize, ""},
        {QString(), ""},
    };
    for (const auto& [key, name] : sizes)
        EXPECT_EQ(SGCorbeilController::englishNameForKitSize(key), name) << key.toStdString();
}

TEST_F(KitLibraryStore, CombinedStringFromArray)
{
    EXPECT_EQ(SGCorbeilController::combinedStringFromArray({}), QString(QLatin1String("")));
    EXPECT_FALSE(SGCorbeilController::combinedStringFromArray({}).isNull());
    EXPECT_EQ(SGCorbeilController::combinedStringFromArray({"a"}), QStringLiteral("a"));
    EXPECT_EQ(SGCorbeilController::combinedStringFromArray({"a", "b"}), QStringLiteral("a|b"));
}

TEST_F(KitLibraryStore, ImportingAKitAgainReplacesTheOlderCopy)
{
    Kit kit = gardenKit();
    const QString first = writeKit(kit, QStringLiteral("Garden old.icorbeil"));
    kit.name = QStringLiteral("Garden 2nd edition");
    const QString second = writeKit(kit, QStringLiteral("Garden new.icorbeil"));
    SGCorbeilController controller(QStringLiteral("iCorbeil View"));
    controller.importCorbeil(first, 0, 1, false);
    controller.importCorbeil(second, 0, 1, false);
    const QList<SGKitRecord> kits = controller.allKits();
    ASSERT_EQ(kits.size(), 1);
    EXPECT_EQ(kits.first().name, QStringLiteral("Garden 2nd edition"));
    EXPECT_EQ(entriesOf(kitsFolder()), QStringList{QStringLiteral("Garden new.icorbeil")});
    EXPECT_EQ(controller
                  .objectsMatchingWords({}, std::nullopt, QString(), QStringLiteral("ALL TYPES"),
                                        QString(), QString(), {}, false, QString(), QString(),
                                        QString())
                  .size(),
              3);
}

TEST_F(KitLibraryStore, ImportingAPackageFromTheLibraryItselfKeepsTheKit)
{
    SGCorbeilController controller(QStringLiteral("iCorbeil View"));
    controller.importCorbeil(writeKit(gardenKit()), 0, 1, false);
    controller.importCorbeil(kitsFolder() + QStringLiteral("/Garden.icorbeil"), 0, 1, false);
    const QList<SGKitRecord> kits = controller.allKits();
    ASSERT_EQ(kits.size(), 1);
    EXPECT_EQ(kits.first().filename, QStringLiteral("Garden 2.icorbeil"));
    EXPECT_EQ(entriesOf(kitsFolder()), QStringList{QStringLiteral("Garden 2.icorbeil")});
}

TEST_F(KitLibraryStore, ATakenFileNameGetsAUniqueOne)
{
    Kit other = kitfixtures::tinyKit(QStringLiteral("Garden"), 1);
    const QString firstPath = writeKit(other);
    QTemporaryDir elsewhere;
    const QString secondPath = elsewhere.filePath(QStringLiteral("Garden.icorbeil"));
    ASSERT_TRUE(
        kitfixtures::writeKit(secondPath, kitfixtures::tinyKit(QStringLiteral("Garden"), 2)));
    SGCorbeilController controller(QStringLiteral("iCorbeil View"));
    controller.importCorbeil(firstPath, 0, 1, false);
    controller.importCorbeil(secondPath, 0, 1, false);
    QStringList filenames;
    for (const SGKitRecord& kit : controller.allKits())
        filenames.append(kit.filename);
    filenames.sort();
    EXPECT_EQ(filenames, (QStringList{"Garden 2.icorbeil", "Garden.icorbeil"}));
    EXPECT_EQ(entriesOf(kitsFolder()), (QStringList{"Garden 2.icorbeil", "Garden.icorbeil"}));
}

TEST_F(KitLibraryStore, BatchOfThreeConfirmsOnceAfterTheLast)
{
    const QStringList paths = {writeKit(kitfixtures::tinyKit("a", 1)),
                               writeKit(kitfixtures::tinyKit("b", 2)),
                               writeKit(kitfixtures::tinyKit("c", 1))};
    SGCorbeilController controller(QStringLiteral("iCorbeil View"));
    for (int i = 0; i < 3; ++i) {
        controller.importCorbeil(paths[i], i, 3, i == 2);
        EXPECT_EQ(_alerts.size(), i == 2 ? 1 : 0);
    }
    EXPECT_EQ(platform::UserDefaults::standardUserDefaults().stringForKey(
                  QStringLiteral("LastImportString")),
              QStringLiteral("a.icorbeil|||b.icorbeil|||c.icorbeil"));
    ASSERT_EQ(_alerts.size(), 1);
    EXPECT_EQ(
        _alerts.first().messageText,
        QStringLiteral("The kits were successfully imported. WARNING: please back up your original "
                       "kit files."));
    EXPECT_EQ(_alerts.first().buttons, QStringList{QStringLiteral("OK")});
    EXPECT_TRUE(_alerts.first().informativeText.contains(QStringLiteral("\r\r")));
    EXPECT_EQ(_progressMessages,
              (QStringList{"Importing a (1 of 3)\u2026", "Importing b (2 of 3)\u2026",
                           "Importing c (3 of 3)\u2026"}));
    // The browser shows the last import.
    EXPECT_EQ(controller.mode(), 1);
    EXPECT_EQ(kitNames(controller.kitsArray()), (QStringList{"All Kits", "a", "b", "c"}));
}

TEST_F(KitLibraryStore, AnUnreadablePackageInABatchIsReportedAndChangesNothing)
{
    const QString broken = _sources.filePath(QStringLiteral("broken.icorbeil"));
    QDir().mkpath(broken);
    QFile contents(broken + QStringLiteral("/contents.xml"));
    ASSERT_TRUE(contents.open(QIODevice::WriteOnly));
    contents.write("<plist><dict><key>VQName</key>");
    contents.close();
    const QStringList paths = {writeKit(kitfixtures::tinyKit("a", 1)), broken,
                               writeKit(kitfixtures::tinyKit("c", 1))};
    SGCorbeilController controller(QStringLiteral("iCorbeil View"));
    controller.importCorbeils(paths);

    EXPECT_EQ(kitNames(controller.allKits()), (QStringList{"a", "c"}));
    EXPECT_EQ(entriesOf(kitsFolder()), (QStringList{"a.icorbeil", "c.icorbeil"}));
    EXPECT_EQ(platform::UserDefaults::standardUserDefaults().stringForKey(
                  QStringLiteral("LastImportString")),
              QStringLiteral("a.icorbeil|||c.icorbeil"));
    // One confirmation, of the kits that arrived, naming the one that did not.
    ASSERT_EQ(_alerts.size(), 1);
    EXPECT_TRUE(_alerts.first().messageText.startsWith(
        QStringLiteral("The kits were successfully imported.")));
    EXPECT_TRUE(_alerts.first().informativeText.contains(QStringLiteral("broken.icorbeil")));
}

TEST_F(KitLibraryStore, ABatchWhereNothingArrivesSaysSoAndKeepsTheLastImport)
{
    platform::UserDefaults::standardUserDefaults().setObject(QStringLiteral("earlier.icorbeil"),
                                                             QStringLiteral("LastImportString"));
    SGCorbeilController controller(QStringLiteral("iCorbeil View"));
    controller.importCorbeil(_sources.filePath(QStringLiteral("missing.icorbeil")), 0, 1, true);
    controller.importCorbeil(QString(), 0, 1, true);
    ASSERT_EQ(_alerts.size(), 2);
    for (const RecordedAlert& alert : _alerts) {
        EXPECT_EQ(alert.messageText, QStringLiteral("The kit could not be imported."));
        EXPECT_FALSE(alert.messageText.contains(QStringLiteral("successfully")));
    }
    EXPECT_EQ(platform::UserDefaults::standardUserDefaults().stringForKey(
                  QStringLiteral("LastImportString")),
              QStringLiteral("earlier.icorbeil"));
    EXPECT_TRUE(entriesOf(kitsFolder()).isEmpty());
    EXPECT_EQ(controller.mode(), 0);
}

TEST_F(KitLibraryStore, ValuesThatLookLikePatternsMatchOnlyThemselves)
{
    // Identifiers, names and authors with quotes, wildcards and SQL pattern characters.
    const QStringList specials = {QStringLiteral("a'b"), QStringLiteral("*"), QStringLiteral("%"),
                                  QStringLiteral("_"), QStringLiteral("a%")};
    SGCorbeilController controller(QStringLiteral("iCorbeil View"));
    for (int i = 0; i < specials.size(); ++i) {
        Kit kit = kitfixtures::tinyKit(QStringLiteral("Kit%1").arg(i), 1);
        kit.UUID = specials[i];
        kit.author = specials[i];
        kit.graphics.first().name = QStringLiteral("name ") + specials[i];
        controller.importCorbeil(writeKit(kit), 0, 1, false);
    }
    ASSERT_EQ(controller.allKits().size(), specials.size());

    // Importing the kit "*" again replaces that kit alone.
    Kit star = kitfixtures::tinyKit(QStringLiteral("Star again"), 1);
    star.UUID = QStringLiteral("*");
    controller.importCorbeil(writeKit(star), 0, 1, false);
    EXPECT_EQ(controller.allKits().size(), specials.size());
    EXPECT_TRUE(kitNames(controller.allKits()).contains(QStringLiteral("Star again")));
    EXPECT_FALSE(kitNames(controller.allKits()).contains(QStringLiteral("Kit1")));
    EXPECT_TRUE(kitNames(controller.allKits()).contains(QStringLiteral("Kit3")));

    controller.deleteDuplicateKitWithUID(QStringLiteral("%"));
    EXPECT_EQ(controller.allKits().size(), specials.size() - 1);
    EXPECT_TRUE(kitNames(controller.allKits()).contains(QStringLiteral("Kit4"))); // "a%" stays

    // Searches and filters take them literally (a browser that does not show the last import).
    SGCorbeilController browser(QStringLiteral("iCorbeil View"));
    const auto graphicsFor = [&](const QStringList& words, const QString& author) {
        return objectNames(browser.objectsMatchingWords(
            words, std::nullopt, QString(), QStringLiteral("ALL TYPES"), author, QString(), {},
            false, QString(), QString(), QString()));
    };
    EXPECT_EQ(graphicsFor({QStringLiteral("_")}, QString()), QStringList{QStringLiteral("name _")});
    EXPECT_EQ(graphicsFor({QStringLiteral("a%")}, QString()),
              QStringList{QStringLiteral("name a%")});
    EXPECT_EQ(graphicsFor({}, QStringLiteral("a'b")), QStringList{QStringLiteral("name a'b")});
    EXPECT_TRUE(graphicsFor({}, QStringLiteral("a")).isEmpty());
    EXPECT_EQ(kitNames(controller.allAuthorsFilteredByWords({QStringLiteral("'")})),
              QStringList{"Kit0"});
}

TEST_F(KitLibraryStore, ACopyFailingMidwayKeepsTheOlderKit)
{
    SGCorbeilController controller(QStringLiteral("iCorbeil View"));
    Kit kit = gardenKit();
    controller.importCorbeil(writeKit(kit, QStringLiteral("Garden.icorbeil")), 0, 1, false);
    const QByteArray before =
        readAll(kitsFolder() + QStringLiteral("/Garden.icorbeil/contents.xml"));

    kit.name = QStringLiteral("Garden again");
    const QString again = writeKit(kit, QStringLiteral("Garden again.icorbeil"));
    int copied = 0;
    platform::FileOperationHooks hooks;
    hooks.copyFile = [&copied](const QString& from, const QString& to) {
        return ++copied < 3 && QFile::copy(from, to);
    };
    platform::setFileOperationHooks(hooks);
    controller.importCorbeil(again, 0, 1, true);
    platform::setFileOperationHooks({});

    EXPECT_GE(copied, 3);
    const QList<SGKitRecord> kits = controller.allKits();
    ASSERT_EQ(kits.size(), 1);
    EXPECT_EQ(kits.first().name, QStringLiteral("Garden"));
    EXPECT_EQ(entriesOf(kitsFolder()), QStringList{QStringLiteral("Garden.icorbeil")});
    EXPECT_EQ(readAll(kitsFolder() + QStringLiteral("/Garden.icorbeil/contents.xml")), before);
    // Its graphics are still there, once each.
    EXPECT_EQ(objectNames(controller.objectsMatchingWords(
                  {}, kits.first(), QString(), QStringLiteral("ALL TYPES"), QString(), QString(),
                  {}, false, QString(), QString(), QString())),
              (QStringList{"Bow", "Rose Paper", "Album Page"}));
    ASSERT_EQ(_alerts.size(), 1);
    EXPECT_EQ(_alerts.first().messageText, QStringLiteral("The kit could not be imported."));
    EXPECT_TRUE(_alerts.first().informativeText.contains(QStringLiteral("Garden again.icorbeil")));
}

TEST_F(KitLibraryStore, TheCheckRecordsPackagesAddedByHandAndDropsRecordsOfRemovedOnes)
{
    {
        SGCorbeilController controller(QStringLiteral("iCorbeil View"));
        controller.importCorbeil(writeKit(kitfixtures::tinyKit("Gone", 1)), 0, 1, false);
        ASSERT_EQ(controller.allKits().size(), 1);
    }
    QDir(kitsFolder() + QStringLiteral("/Gone.icorbeil")).removeRecursively();
    // Two packages of one kit put in by hand: both are recorded, neither is deleted.
    Kit twin = kitfixtures::tinyKit(QStringLiteral("Twin"), 2);
    twin.UUID = QStringLiteral("TWIN");
    ASSERT_TRUE(kitfixtures::writeKit(kitsFolder() + QStringLiteral("/Twin.icorbeil"), twin));
    ASSERT_TRUE(kitfixtures::writeKit(kitsFolder() + QStringLiteral("/Twin copy.icorbeil"), twin));
    // A leftover of an interrupted import goes.
    QDir().mkpath(kitsFolder() + QStringLiteral("/.importing-leftover/Images"));
    _progressMessages.clear();

    SGCorbeilController controller(QStringLiteral("iCorbeil View"));
    const QList<SGKitRecord> kits = controller.allKits();
    EXPECT_EQ(kitNames(kits), (QStringList{"Twin", "Twin"}));
    EXPECT_EQ(entriesOf(kitsFolder()), (QStringList{"Twin copy.icorbeil", "Twin.icorbeil"}));
    EXPECT_EQ(_progressMessages, (QStringList{"Rebuilding iCorbeil Library (Kit 1)\u2026",
                                              "Rebuilding iCorbeil Library (Kit 2)\u2026"}));
    // Each package's graphics stay with their own record.
    EXPECT_EQ(controller
                  .objectsMatchingWords({}, kits.first(), QString(), QStringLiteral("ALL TYPES"),
                                        QString(), QString(), {}, false, QString(), QString(),
                                        QString())
                  .size(),
              2);
}

TEST_F(KitLibraryStore, AGarbageStoreIsSetAsideAndRebuiltFromKits)
{
    {
        SGCorbeilController controller(QStringLiteral("iCorbeil View"));
        controller.importCorbeils(
            {writeKit(kitfixtures::tinyKit("One", 1)), writeKit(kitfixtures::tinyKit("Two", 3))});
    }
    const QString data = libraryPath() + QStringLiteral("/data");
    QFile garbage(data);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly | QIODevice::Truncate));
    const QByteArray junk(4096, 'x');
    garbage.write(junk);
    garbage.close();

    SGCorbeilController controller(QStringLiteral("iCorbeil View"));
    EXPECT_EQ(kitNames(controller.allKits()), (QStringList{"One", "Two"}));
    QStringList aside =
        QDir(libraryPath()).entryList({QStringLiteral("data (damaged*")}, QDir::Files);
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(readAll(libraryPath() + u'/' + aside.first()), junk);
}

TEST_F(KitLibraryStore, ALockedStoreIsLeftAlone)
{
    {
        SGCorbeilController controller(QStringLiteral("iCorbeil View"));
        controller.importCorbeil(writeKit(kitfixtures::tinyKit("Kept", 1)), 0, 1, false);
    }
    const QString data = libraryPath() + QStringLiteral("/data");
    const QByteArray before = readAll(data);
    {
        QSqlDatabase other =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("locker"));
        other.setDatabaseName(data);
        ASSERT_TRUE(other.open());
        QSqlQuery lock(other);
        ASSERT_TRUE(lock.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        {
            _alerts.clear();
            SGCorbeilController controller(QStringLiteral("iCorbeil View"));
            EXPECT_TRUE(controller.allKits().isEmpty());
            EXPECT_FALSE(controller.storeIsOpen());
            controller.importCorbeil(writeKit(kitfixtures::tinyKit("Blocked", 1)), 0, 1, false);
            EXPECT_FALSE(_alerts.isEmpty());
        }
        lock.exec(QStringLiteral("ROLLBACK"));
        lock.finish();
        other.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("locker"));
    EXPECT_EQ(readAll(data), before);
    EXPECT_TRUE(QDir(libraryPath()).entryList({QStringLiteral("data (damaged*")}).isEmpty());
    EXPECT_EQ(entriesOf(kitsFolder()), QStringList{QStringLiteral("Kept.icorbeil")});
    SGCorbeilController controller(QStringLiteral("iCorbeil View"));
    EXPECT_EQ(kitNames(controller.allKits()), QStringList{QStringLiteral("Kept")});
}
