// The favourites library: its store, collections, items added from files and graphics,
// the order of items, deleting, graphics rebuilt from items, and a store that is damaged,
// locked or cannot be saved.

#include "FavoritesFixture.h"

#include "document/LBDocument.h"
#include "platform/core/Error.h"
#include "platform/core/PropertyList.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/ScrollView.h"
#include "shapes/LBImage.h"
#include "shapes/LBRectangle.h"
#include "shapes/ShapeClasses.h"
#include "window/DrawerBrowser.h"
#include "window/LBDrawerController.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include "canvas/LBGraphicView.h"
#include "platform/core/TextForms.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSlider>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTreeView>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

LBGraphicPtr imageGraphic(const QString& file)
{
    auto image = std::make_shared<LBImage>();
    image->setImageFilePath(file, true, false, 0);
    image->setBoundsNoOtherChanges(QRectF(10, 10, 40, 30));
    return image;
}

// A second connection to the store's file, as another program would hold it.
class OtherConnection
{
public:
    explicit OtherConnection(const QString& path)
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        database.setDatabaseName(path);
        database.open();
    }
    ~OtherConnection()
    {
        QSqlDatabase::database(name).close();
        QSqlDatabase::removeDatabase(name);
    }
    bool run(const QString& sql)
    {
        QSqlQuery query(QSqlDatabase::database(name));
        return query.exec(sql);
    }
    const QString name = QStringLiteral("favourites-test-other");
};

} // namespace

using Favorites = FavoritesFixture;

TEST_F(Favorites, ANewStoreHasOneCollectionWithOneCategoryAndNoChildren)
{
    TestLibraryController& favourites = open();
    ASSERT_EQ(favourites.collections().size(), 1);
    EXPECT_EQ(favourites.collections().first().name, QStringLiteral("My Favorites"));
    ASSERT_EQ(favourites.collections().first().categories.size(), 1);
    EXPECT_EQ(favourites.collections().first().categories.first().name, QStringLiteral("Standard"));
    EXPECT_EQ(favourites.numberOfRows(), 1);
    EXPECT_FALSE(favourites.isExpandable(0));
    EXPECT_EQ(favourites.selectedRow(), 0);
    EXPECT_EQ(favourites.graphicCount(), 0);

    // A second category makes the collection expandable, its categories by name.
    ASSERT_NE(favourites.store()->addCategory(favourites.collections().first().id,
                                              QStringLiteral("Birds")),
              0);
    favourites.loadCollections();
    favourites.reloadOutline();
    EXPECT_TRUE(favourites.isExpandable(0));
    favourites.expandRow(0, true);
    ASSERT_EQ(favourites.numberOfRows(), 3);
    EXPECT_EQ(favourites.nameOfRow(1), QStringLiteral("Birds"));
    EXPECT_EQ(favourites.nameOfRow(2), QStringLiteral("Standard"));
    EXPECT_FALSE(favourites.rowIsCollection(1));
    EXPECT_EQ(favourites.outlineView()->indentation(), 0);
}

TEST_F(Favorites, CollectionsAreAddedNamedRenamedAndRemoved)
{
    TestLibraryController& favourites = open();
    favourites.plusMinusCollectionAction(0);
    EXPECT_EQ(favourites.nameSheetField()->text(), QStringLiteral("New Collection"));
    favourites.nameSheetField()->setText(QStringLiteral("Animals"));
    favourites.nameSheetDidEnd(1);
    ASSERT_EQ(favourites.numberOfRows(), 2);
    EXPECT_EQ(favourites.nameOfRow(0), QStringLiteral("Animals"));
    // "Animals" took row 0: the old selection is found one row down.
    EXPECT_EQ(favourites.selectedRow(), 1);
    EXPECT_EQ(favourites.nameOfRow(favourites.selectedRow()), QStringLiteral("My Favorites"));
    // An empty name gives "New Collection"; Cancel adds nothing.
    favourites.nameSheetField()->setText(QString());
    favourites.plusMinusCollectionAction(0);
    favourites.nameSheetDidEnd(0);
    EXPECT_EQ(favourites.numberOfRows(), 2);
    favourites.nameSheetField()->setText(QString());
    favourites.nameSheetDidEnd(1);
    EXPECT_EQ(favourites.nameOfRow(2), QStringLiteral("New Collection"));

    favourites.renameRow(2, QStringLiteral("Zebras"));
    EXPECT_EQ(favourites.nameOfRow(2), QStringLiteral("Zebras"));
    // Renamed in the outline: sorted anew, still selected.
    favourites.selectRow(2);
    favourites.outlineView()->model()->setData(favourites.outlineView()->currentIndex(),
                                               QStringLiteral("Aardvarks"));
    QApplication::processEvents();
    EXPECT_EQ(favourites.nameOfRow(0), QStringLiteral("Aardvarks"));
    EXPECT_EQ(favourites.selectedRow(), 0);
    favourites.renameRow(0, QStringLiteral("Zebras"));

    // Removing asks first; "Delete without asking" deletes and stops asking.
    favourites.selectRow(2);
    answer = platform::Alert::ThirdButtonReturn; // Cancel
    favourites.plusMinusCollectionAction(1);
    EXPECT_EQ(favourites.numberOfRows(), 3);
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first().message,
              QStringLiteral("Are you sure you want to delete the selected Collection?"));
    answer = platform::Alert::SecondButtonReturn;
    favourites.plusMinusCollectionAction(1);
    EXPECT_EQ(favourites.numberOfRows(), 2);
    EXPECT_EQ(favourites.selectedRow(), 1); // the last row, r being beyond it
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("Confirm Delete Favorite Collection")));
    favourites.selectRow(0);
    favourites.plusMinusCollectionAction(1);
    EXPECT_EQ(alerts.size(), 2); // not asked again
    ASSERT_EQ(favourites.numberOfRows(), 1);
    EXPECT_EQ(favourites.nameOfRow(0), QStringLiteral("My Favorites"));
    EXPECT_EQ(favourites.selectedRow(), 0);
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("Favorites Collection Index")), 0);
}

TEST_F(Favorites, FilesAreCopiedOrLinkedAndNonPicturesReportedAsSkipped)
{
    TestLibraryController& favourites = open();
    const QString red = writeImage(QStringLiteral("red.png"), 30, 20);
    const QString blue = writeImage(QStringLiteral("blue.final.png"), 10, 10, Qt::blue);
    const QString text = writeText(QStringLiteral("notes.txt"));
    const QString fake = writeText(QStringLiteral("fake.png"));

    favourites.addImageFilesToLibrary({red, text}, true);
    ASSERT_EQ(favourites.graphicCount(), 1);
    EXPECT_EQ(favourites.objects()[0].type, LBLibraryStore::ImageDataObject);
    EXPECT_EQ(favourites.names()[0], QStringLiteral("red"));
    EXPECT_EQ(progressMessages, QStringList{QStringLiteral("Loading Files...")});
    EXPECT_EQ(progressValues, (QList<double>{1, 2}));
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0].message, QStringLiteral("Skipped File(s)"));

    favourites.addImageFilesToLibrary({blue}, false);
    ASSERT_EQ(favourites.graphicCount(), 2);
    EXPECT_EQ(favourites.objects()[1].type, LBLibraryStore::LinkedFileObject);
    EXPECT_EQ(favourites.objects()[1].filePath, blue);
    EXPECT_EQ(favourites.names()[1], QStringLiteral("blue.final"));
    EXPECT_EQ(indexes(), (QList<qint64>{0, 1}));

    // A copy lives on in the store: its graphic reads a working copy of the bytes.
    QFile::remove(red);
    const QList<LBGraphicPtr> copied = favourites.graphicsForCell(0);
    ASSERT_EQ(copied.size(), 1);
    ASSERT_TRUE(dynamic_cast<LBImage*>(copied[0].get()));
    EXPECT_EQ(copied[0]->bounds(), QRectF(0, 0, 30, 20));
    const QString working = copied[0]->imageFilePathOfType(0);
    EXPECT_TRUE(working.contains(QStringLiteral("/Temporary Files/")));
    // Each build writes a file of its own.
    EXPECT_NE(favourites.graphicsForCell(0)[0]->imageFilePathOfType(0), working);
    // A link needs its file.
    EXPECT_EQ(favourites.graphicsForCell(1).size(), 1);
    QFile::remove(blue);
    EXPECT_TRUE(favourites.graphicsForCell(1).isEmpty());

    // The skipped texts by how many were chosen and skipped.
    struct Case
    {
        QStringList files;
        QString text;
        qint64 added;
    };
    const QList<Case> cases = {
        {{text},
         QStringLiteral("The selected file couldn't be loaded because it doesn't appear to be a "
                        "valid image file."),
         0},
        {{text, writeImage(QStringLiteral("a.png"), 5, 5),
          writeImage(QStringLiteral("b.png"), 5, 5)},
         QStringLiteral("One of the selected files was skipped because it doesn't appear to be a "
                        "valid image file."),
         2},
        {{text, fake, writeImage(QStringLiteral("c.png"), 5, 5)},
         QStringLiteral("2 of the selected files were skipped because they don't appear to be "
                        "valid image files."),
         1},
    };
    for (const Case& c : cases) {
        alerts.clear();
        const qint64 before = favourites.graphicCount();
        favourites.addImageFilesToLibrary(c.files, true);
        ASSERT_EQ(alerts.size(), 1) << c.text.toStdString();
        EXPECT_EQ(alerts[0].informative, c.text);
        EXPECT_EQ(favourites.graphicCount(), before + c.added);
    }
}

TEST_F(Favorites, ItemsGoToTheSelectedCategoryAtTheSelectedCell)
{
    TestLibraryController& favourites = open();
    const qint64 collection = favourites.collections().first().id;
    const qint64 birds = favourites.store()->addCategory(collection, QStringLiteral("Birds"));
    favourites.loadCollections();
    favourites.reloadOutline();
    favourites.expandRow(0, true);
    favourites.selectRow(1); // the category "Birds"
    ASSERT_EQ(favourites.categoryForRow(1), birds);

    favourites.addImageFilesToLibrary(
        {writeImage(QStringLiteral("a.png"), 5, 5), writeImage(QStringLiteral("b.png"), 5, 5)},
        true);
    ASSERT_EQ(favourites.graphicCount(), 2);
    EXPECT_EQ(favourites.objects()[0].category, birds);
    // A selected cell is where the next ones go.
    favourites.matrix()->selectCellAtIndex(1);
    favourites.addImageFilesToLibrary({writeImage(QStringLiteral("c.png"), 5, 5)}, true);
    EXPECT_EQ(favourites.names(),
              (QStringList{QStringLiteral("a"), QStringLiteral("c"), QStringLiteral("b")}));
    EXPECT_EQ(indexes(), (QList<qint64>{0, 1, 2}));

    // The collection row shows its categories' items one after the other, by name.
    favourites.selectRow(2); // "Standard"
    favourites.addImageFilesToLibrary({writeImage(QStringLiteral("d.png"), 5, 5)}, true);
    favourites.selectRow(0);
    EXPECT_EQ(favourites.names(), (QStringList{QStringLiteral("a"), QStringLiteral("c"),
                                               QStringLiteral("b"), QStringLiteral("d")}));
    // A collection row's items go to its first category by name.
    EXPECT_EQ(favourites.categoryForRow(0), birds);
}

TEST_F(Favorites, ReorderingAndDeletingKeepIndexesContiguous)
{
    TestLibraryController& favourites = open();
    QStringList files;
    for (const char* name : {"a", "b", "c", "d"})
        files.append(writeImage(QString::fromLatin1(name) + QStringLiteral(".png"), 5, 5));
    favourites.addImageFilesToLibrary(files, true);
    ASSERT_EQ(favourites.graphicCount(), 4);

    struct Move
    {
        qint64 from, to;
        QString order;
    };
    const QList<Move> moves = {
        {0, 3, QStringLiteral("bcad")}, // the item at 0 gets index 2
        {2, 0, QStringLiteral("abcd")}, {1, 1, QStringLiteral("abcd")}, // onto itself: nothing
        {1, 2, QStringLiteral("abcd")}, // just behind itself: nothing
        {0, 4, QStringLiteral("bcda")}, // after the last
    };
    for (const Move& move : moves) {
        favourites.moveGraphicAtIndex(move.from, move.to);
        EXPECT_EQ(favourites.names().join(QString()), move.order);
        EXPECT_EQ(indexes(), (QList<qint64>{0, 1, 2, 3}));
        // What is in memory is what the store holds.
        const QStringList shown = favourites.names();
        favourites.loadObjects();
        EXPECT_EQ(favourites.names(), shown);
    }

    // Deleting the selected items closes the gaps; asked first.
    favourites.matrix()->selectCellAtIndex(1);
    favourites.matrix()->selectCellAtIndex(3);
    favourites.plusMinusGraphicAction(0);
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0].message,
              QStringLiteral("Are you sure you want to delete the selected item(s)?"));
    EXPECT_EQ(favourites.names(), (QStringList{QStringLiteral("b"), QStringLiteral("d")}));
    EXPECT_EQ(indexes(), (QList<qint64>{0, 1}));
    EXPECT_TRUE(favourites.matrix()->selectedIndexes().isEmpty());
}

TEST_F(Favorites, DeletingTheMiddleOfThreeLeavesIndexesZeroAndOne)
{
    TestLibraryController& favourites = open();
    favourites.addImageFilesToLibrary({writeImage(QStringLiteral("a.png"), 5, 5),
                                       writeImage(QStringLiteral("b.png"), 5, 5),
                                       writeImage(QStringLiteral("c.png"), 5, 5)},
                                      true);
    favourites.matrix()->selectCellAtIndex(1);
    answer = platform::Alert::SecondButtonReturn; // Delete without asking
    favourites.removeSelectedItems();
    EXPECT_EQ(indexes(), (QList<qint64>{0, 1}));
    EXPECT_EQ(favourites.names(), (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
    EXPECT_FALSE(defaults().boolForKey(QStringLiteral("Confirm Delete Favorite")));
}

TEST_F(Favorites, ThumbnailsAndPageFit)
{
    // 60 × 200 becomes 36 × 120, centred in 120 × 120.
    QImage tall(60, 200, QImage::Format_ARGB32);
    tall.fill(Qt::black);
    const auto thumbnail =
        LBLibraryController::thumbnailFromImage(platform::Image::fromBitmap(tall, QSizeF(60, 200)));
    ASSERT_TRUE(thumbnail);
    EXPECT_EQ(thumbnail->size(), QSizeF(120, 120));
    const QImage pixels = thumbnail->forcedBitmapImageRep();
    EXPECT_EQ(qAlpha(pixels.pixel(41, 60)), 0);
    EXPECT_EQ(qAlpha(pixels.pixel(43, 60)), 255);
    EXPECT_EQ(qAlpha(pixels.pixel(76, 60)), 255);
    EXPECT_EQ(qAlpha(pixels.pixel(78, 60)), 0);
    // A small picture is its own thumbnail.
    const auto small = platform::Image::fromBitmap(tall.scaled(20, 50), QSizeF(20, 50));
    EXPECT_EQ(LBLibraryController::thumbnailFromImage(small), small);

    // An image larger than the page shrinks to 90 % of it in its constraining dimension.
    TestLibraryController& favourites = open();
    favourites.page = QRectF(10, 10, 200, 100); // at zoom 2: a page of 100 × 50
    favourites.zoom = 2.0;
    favourites.addImageFilesToLibrary({writeImage(QStringLiteral("wide.png"), 300, 60),
                                       writeImage(QStringLiteral("fits.png"), 80, 40)},
                                      true);
    const QList<LBGraphicPtr> wide = favourites.graphicsForCell(0);
    ASSERT_EQ(wide.size(), 1);
    EXPECT_DOUBLE_EQ(wide[0]->bounds().width(), 90.0);
    EXPECT_DOUBLE_EQ(wide[0]->bounds().height(), 18.0);
    EXPECT_EQ(favourites.graphicsForCell(1)[0]->bounds(), QRectF(0, 0, 80, 40));
}

TEST_F(Favorites, GraphicsComeBackWithAndWithoutTheirPictureFiles)
{
    TestLibraryController& favourites = open();
    const QString picture = writeImage(QStringLiteral("photo.png"), 40, 30, Qt::green);
    const qint64 category = favourites.categoryForRow(0);
    const QList<QList<LBGraphicPtr>> sets = {
        {rectangle(QRectF(0, 0, 20, 10))},                                 // one, no file
        {imageGraphic(picture)},                                           // one with a file
        {rectangle(QRectF(0, 0, 20, 10)), rectangle(QRectF(30, 0, 5, 5))}, // a group, no files
        {rectangle(QRectF(0, 0, 20, 10)), imageGraphic(picture)},          // a group, one file
    };
    ASSERT_TRUE(favourites.store()->begin());
    for (const QList<LBGraphicPtr>& set : sets)
        ASSERT_EQ(favourites.addGraphics(set, category, set.size() > 1, favourites.graphicCount()),
                  1);
    ASSERT_TRUE(favourites.saveChanges());
    favourites.loadObjects();
    ASSERT_EQ(favourites.graphicCount(), 4);

    for (qsizetype i = 0; i < sets.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(favourites.objects()[i].type, LBLibraryStore::GraphicsObject);
        const QList<LBGraphicPtr> back = favourites.graphicsForCell(i);
        ASSERT_EQ(back.size(), sets[i].size());
        for (qsizetype g = 0; g < back.size(); ++g) {
            EXPECT_EQ(back[g]->bounds(), sets[i][g]->bounds());
            const QString file = back[g]->imageFilePathOfType(0);
            if (sets[i][g]->imageFilePathOfType(0).isEmpty()) {
                EXPECT_TRUE(file.isEmpty());
            } else {
                EXPECT_NE(file, picture); // a working copy, named apart
                // Named with the extension of the first graphic's file.
                if (g == 0) {
                    EXPECT_TRUE(file.endsWith(QStringLiteral(".png")));
                }
                EXPECT_EQ(bytesOf(file), bytesOf(picture));
            }
        }
    }
    // The group's pictures are kept as {"array": (data or "No File")}.
    const auto data = favourites.store()->objectData(favourites.objects()[3].id);
    ASSERT_TRUE(data);
    const auto list = platform::PropertyList::fromText(data->imageData);
    ASSERT_TRUE(list);
    const QVariantList array = list->toMap().value(QStringLiteral("array")).toList();
    ASSERT_EQ(array.size(), 2);
    EXPECT_EQ(array[0].toString(), QStringLiteral("No File"));
    EXPECT_FALSE(favourites.store()->objectData(favourites.objects()[2].id)->imageData.size() > 0);
}

TEST_F(Favorites, DroppedGraphicsAreAddedGroupedAndAnnounced)
{
    TestLibraryController& favourites = open();
    int announced = 0;
    const platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        LBGraphicAddedToFavorites, nullptr, [&](const platform::Notification&) { ++announced; });
    QMimeData mime;
    setDraggedGraphics(mime, {rectangle(QRectF(0, 0, 10, 10)), rectangle(QRectF(20, 0, 10, 10))});
    platform::Pasteboard pasteboard(&mime);
    favourites.makeNewGraphicsFromPasteboard(pasteboard, 0);
    EXPECT_EQ(announced, 1);
    ASSERT_EQ(favourites.graphicCount(), 1);
    EXPECT_EQ(favourites.graphicsForCell(0).size(), 2);

    // Nothing readable: nothing added.
    pasteboard.declareTypes({QStringLiteral("Quarn Print Line")});
    pasteboard.setData("garbage(", QStringLiteral("Quarn Print Line"));
    favourites.makeNewGraphicsFromPasteboard(pasteboard, 0);
    EXPECT_EQ(favourites.graphicCount(), 1);
}

TEST_F(Favorites, ZoomSliderSetsTheCellSizeAndColumnsFollowTheWidth)
{
    TestLibraryController& favourites = open();
    EXPECT_EQ(favourites.matrix()->cellSize(), QSizeF(60, 60));
    EXPECT_EQ(favourites.zoomSlider()->value(), 60);
    const qint64 columns = favourites.matrix()->numberOfColumns();
    EXPECT_GE(columns, 3);
    favourites.zoomSlider()->setValue(100);
    EXPECT_EQ(favourites.matrix()->cellSize(), QSizeF(100, 100));
    EXPECT_LT(favourites.matrix()->numberOfColumns(), columns);
    EXPECT_EQ(defaults().stringForKey(QStringLiteral("Scrapbook Cell Size")),
              platform::stringFromSize(QSizeF(100, 100)));
    // Columns and spacing fill the width without passing it.
    const double available = favourites.scrollView()->width() - 2;
    const qint64 n = favourites.matrix()->numberOfColumns();
    EXPECT_LE(double(n) * 100 + double(n - 1) * favourites.matrix()->intercellSpacing().width(),
              available);
    // One more row than full rows of items.
    EXPECT_EQ(favourites.matrix()->numberOfRows(), 1);

    // The divider's rules: the outline at least 104 high, the matrix pane at least 72.
    struct Case
    {
        double proposed, height, allowed;
    };
    for (const Case& c : {Case{50, 400, 104}, Case{200, 400, 200}, Case{390, 400, 328}})
        EXPECT_EQ(LBLibraryController::constrainedDividerPosition(c.proposed, c.height), c.allowed);
}

// ==== The store's troubles =================================================================

TEST_F(Favorites, AFailingMigrationLeavesTheStoreAsItWas)
{
    {
        LBLibraryStore store;
        ASSERT_EQ(store.open(storePath()), LBLibraryStore::OpenResult::Created);
        ASSERT_NE(store.addCollection(QStringLiteral("Kept"), QStringLiteral("Standard")), 0);
    }
    const QByteArray before = bytesOf(storePath());
    LBLibraryStore store;
    platform::Error error;
    const QList<platform::SqlStore::Migration> failing = {
        {QStringLiteral("ALTER TABLE Object ADD COLUMN extra TEXT"),
         QStringLiteral("THIS IS NOT SQL")}};
    EXPECT_EQ(store.open(storePath(), &error, nullptr, failing),
              LBLibraryStore::OpenResult::Failed);
    EXPECT_FALSE(error.description.isEmpty());
    store.close();
    EXPECT_EQ(bytesOf(storePath()), before);
    ASSERT_EQ(store.open(storePath()), LBLibraryStore::OpenResult::Opened);
    EXPECT_EQ(store.collections()->first().name, QStringLiteral("Kept"));
}

TEST_F(Favorites, AFailedSaveRollsBackAndSaysWhy)
{
    TestLibraryController& favourites = open();
    favourites.addImageFilesToLibrary({writeImage(QStringLiteral("a.png"), 5, 5)}, true);
    ASSERT_EQ(favourites.graphicCount(), 1);
    {
        OtherConnection other(storePath());
        ASSERT_TRUE(other.run(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Object "
                                             "BEGIN SELECT RAISE(ABORT, 'disk is full'); END")));
    }
    alerts.clear();
    favourites.addImageFilesToLibrary(
        {writeImage(QStringLiteral("b.png"), 5, 5), writeImage(QStringLiteral("c.png"), 5, 5)},
        true);
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0].message, QStringLiteral("Your Favorites file couldn't be updated."));
    EXPECT_TRUE(alerts[0].informative.contains(QStringLiteral("disk is full")));
    EXPECT_EQ(favourites.names(), QStringList{QStringLiteral("a")});
    EXPECT_EQ(indexes(), QList<qint64>{0});
    EXPECT_FALSE(favourites.store()->inTransaction());
}

TEST_F(Favorites, ALockedStoreIsLeftAloneUntilItOpens)
{
    {
        LBLibraryStore store;
        ASSERT_EQ(store.open(storePath()), LBLibraryStore::OpenResult::Created);
    }
    const QByteArray before = bytesOf(storePath());
    auto other = std::make_unique<OtherConnection>(storePath());
    ASSERT_TRUE(other->run(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")));
    ASSERT_TRUE(other->run(QStringLiteral("BEGIN EXCLUSIVE")));
    TestLibraryController& favourites = open();
    EXPECT_TRUE(favourites.collections().isEmpty());
    EXPECT_TRUE(alerts.isEmpty());
    other.reset();
    EXPECT_EQ(bytesOf(storePath()), before);
    EXPECT_EQ(QDir(QFileInfo(storePath()).absolutePath()).entryList(QDir::Files),
              QStringList{QStringLiteral("Favorites")});
    // Once free, it opens when the pane shows again.
    favourites.setEditController(nullptr);
    EXPECT_EQ(favourites.collections().size(), 1);
    EXPECT_EQ(favourites.numberOfRows(), 1);
    EXPECT_EQ(favourites.selectedRow(), 0);
}

TEST_F(Favorites, ADamagedStoreIsSetAsideAndWhatItHoldsIsKept)
{
    {
        LBLibraryStore store;
        ASSERT_EQ(store.open(storePath()), LBLibraryStore::OpenResult::Created);
        const qint64 collection =
            store.addCollection(QStringLiteral("Mine"), QStringLiteral("Standard"));
        const qint64 category = store.collections()->first().categories.first().id;
        ASSERT_NE(collection, 0);
        // Enough items, each with a large thumbnail, to spread over many pages.
        for (int i = 0; i < 60; ++i) {
            LBLibraryStore::Object object;
            object.name = QStringLiteral("item %1").arg(i);
            object.thumbnail = QByteArray(3000, char('a' + i % 26));
            object.index = i;
            object.category = category;
            ASSERT_NE(store.insertObject(object, LBLibraryStore::ObjectData{QByteArray("x"), {}}),
                      0);
        }
    }
    // One page in the middle overwritten.
    {
        QFile file(storePath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const qint64 pages = file.size() / 4096;
        ASSERT_GT(pages, 20);
        file.seek(4096 * (pages / 2));
        file.write(QByteArray(4096, '\xff'));
    }
    TestLibraryController& favourites = open();
    const QStringList kept = QDir(QFileInfo(storePath()).absolutePath())
                                 .entryList({QStringLiteral("Favorites.damaged-*")}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    ASSERT_FALSE(alerts.isEmpty());
    EXPECT_EQ(alerts[0].message, QStringLiteral("Your Favorites file was damaged."));
    EXPECT_TRUE(alerts[0].informative.contains(kept[0]));
    ASSERT_EQ(favourites.collections().size(), 1);
    EXPECT_EQ(favourites.collections()[0].name, QStringLiteral("Mine"));
    EXPECT_GT(favourites.graphicCount(), 30);
    EXPECT_LT(favourites.graphicCount(), 60);
    QList<qint64> contiguous;
    for (qint64 i = 0; i < favourites.graphicCount(); ++i)
        contiguous.append(i);
    EXPECT_EQ(indexes(), contiguous);

    // A file that is no database at all: set aside too, the library starts afresh.
    library.reset();
    alerts.clear();
    QFile::remove(storePath());
    {
        QFile file(storePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(8192, 'z'));
    }
    TestLibraryController& fresh = open();
    EXPECT_EQ(QDir(QFileInfo(storePath()).absolutePath())
                  .entryList({QStringLiteral("Favorites.damaged-*")}, QDir::Files)
                  .size(),
              2);
    EXPECT_EQ(fresh.collections().size(), 1);
    EXPECT_EQ(fresh.graphicCount(), 0);
}

TEST_F(Favorites, PostScriptIsKeptAsPDFWhenCopiedAndAsItIsWhenLinked)
{
    if (QStandardPaths::findExecutable(QStringLiteral("gs")).isEmpty())
        GTEST_SKIP() << "needs the gs command";
    TestLibraryController& favourites = open();
    QFile eps(path(QStringLiteral("box.eps")));
    ASSERT_TRUE(eps.open(QIODevice::WriteOnly));
    eps.write("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 50 40\n"
              "newpath 0 0 moveto 50 0 lineto 50 40 lineto closepath 1 0 0 setrgbcolor fill\n"
              "showpage\n%%EOF\n");
    eps.close();
    favourites.addImageFilesToLibrary({eps.fileName()}, true);
    favourites.addImageFilesToLibrary({eps.fileName()}, false);
    ASSERT_EQ(favourites.graphicCount(), 2);
    EXPECT_TRUE(alerts.isEmpty());
    const auto copied = favourites.store()->objectData(favourites.objects()[0].id);
    ASSERT_TRUE(copied);
    EXPECT_TRUE(copied->imageData.startsWith("%PDF"));
    EXPECT_EQ(favourites.objects()[1].filePath, eps.fileName());
    const QList<LBGraphicPtr> back = favourites.graphicsForCell(0);
    ASSERT_EQ(back.size(), 1);
    EXPECT_EQ(back[0]->bounds().size(), QSizeF(50, 40));
}

TEST_F(Favorites, TheOpenPanelOffersCopyingOrLinking)
{
    TestLibraryController& favourites = open();
    const QString file = writeImage(QStringLiteral("a.png"), 5, 5);
    LBLibraryController::setOpenPanelAnswer([&] {
        return std::optional<std::pair<QStringList, bool>>({QStringList{file}, false});
    });
    favourites.plusMinusGraphicAction(1);
    ASSERT_EQ(favourites.graphicCount(), 1);
    EXPECT_EQ(favourites.objects()[0].type, LBLibraryStore::LinkedFileObject);

    // The panel itself: not the platform's own, with the choice below the files.
    LBLibraryController::setOpenPanelAnswer(nullptr);
    favourites.plusMinusGraphicAction(1);
    QFileDialog* panel = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible())
            panel = dialog;
    }
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->testOption(QFileDialog::DontUseNativeDialog));
    EXPECT_EQ(panel->fileMode(), QFileDialog::ExistingFiles);
    const QList<QRadioButton*> choices = panel->findChildren<QRadioButton*>();
    ASSERT_EQ(choices.size(), 2);
    EXPECT_TRUE(choices[0]->isChecked());
    panel->reject();
    QApplication::processEvents();
    EXPECT_EQ(favourites.graphicCount(), 1);
}

TEST_F(Favorites, TheOldLibraryIsImportedIntoANewStoreOnce)
{
    {
        LBDocument old;
        LBDocument::Layer layer{rectangle(QRectF(0, 0, 30, 20)), rectangle(QRectF(5, 5, 10, 10))};
        for (const LBGraphicPtr& graphic : layer)
            old.insertGraphic(graphic, old.pageGraphics().first().size(), 0);
        QDir().mkpath(path(QStringLiteral("Support/Shapes")));
        platform::Error error;
        ASSERT_TRUE(old.saveToFile(path(QStringLiteral("Support/Shapes/Scrapbook.quarnl")),
                                   LBDocument::LabelDocumentType,
                                   platform::Document::SaveToOperation, &error))
            << error.description.toStdString();
    }
    TestLibraryController& favourites = open();
    ASSERT_EQ(favourites.graphicCount(), 2);
    EXPECT_EQ(indexes(), (QList<qint64>{0, 1}));
    EXPECT_EQ(favourites.graphicsForCell(1)[0]->bounds(), QRectF(5, 5, 10, 10));
    library.reset();
    EXPECT_EQ(open().graphicCount(), 2); // the store exists now: not again
}

TEST_F(Favorites, TheDesignDrawerShowsThemAndADoubleClickInsertsIntoTheDesign)
{
    {
        LBDocument document;
        const auto [edit, drawer] =
            showDesignDrawer(document, 5, [] { return LBLibraryController::makeFavorites(); });
        ASSERT_NE(edit, nullptr);
        ASSERT_NE(drawer, nullptr);
        auto* favourites = dynamic_cast<LBLibraryController*>(drawer->browser(5));
        ASSERT_NE(favourites, nullptr);
        EXPECT_EQ(favourites->editController(), edit);
        EXPECT_TRUE(favourites->mainView()->isVisible());

        favourites->addImageFilesToLibrary({writeImage(QStringLiteral("a.png"), 30, 20)}, true);
        ASSERT_EQ(favourites->graphicCount(), 1);
        const qint64 before = document.pageGraphics()[document.selectedLayerIndex()].size();
        favourites->processDoubleClickAtRow(0, 0);
        const LBDocument::Layer& layer = document.pageGraphics()[document.selectedLayerIndex()];
        ASSERT_EQ(layer.size(), before + 1);
        EXPECT_TRUE(dynamic_cast<LBImage*>(layer.first().get()));
        EXPECT_EQ(layer.first()->bounds().size(), QSizeF(30, 20));
        document.close();
    }
    QApplication::processEvents();
}
