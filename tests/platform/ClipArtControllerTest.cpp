// The folder photo browser: what it lists of a folder, its sorting, double-click and drag
// (one-bit pictures dragged in their own colours), the folder chooser and the note over an
// empty folder.

#include "platform/core/NotificationCenter.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Drag.h"
#include "platform/ui/ImageBrowserView.h"
#include "platform/ui/KXClipArtController.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>

namespace {

using platform::KXClipArtController;

// Answers the host's questions and records insertions.
class RecordingClipArt : public KXClipArtController
{
public:
    RecordingClipArt() : KXClipArtController(2) {}
    void insertImageAtPath(const QString& path) override { inserted.append(path); }
    double zoomFactor() const override { return zoom; }
    QRectF topPageRect() const override { return page; }
    QStringList inserted;
    double zoom = 0;
    QRectF page;
};

class ClipArtTest : public ::testing::Test
{
protected:
    ClipArtTest()
    {
        platform::UserDefaults::standardUserDefaults().removeObjectForKey(
            QStringLiteral("Photo Library Folder"));
        // Three pictures a day apart, in a subfolder too; a hidden folder's and a text file
        // stay out.
        picture("b Tree.png", 40, 30, -1);
        picture("a snow.jpg", 20, 20, -3);
        picture("Trips/c10.png", 60, 20, -2);
        picture(".cache/hidden.png", 10, 10, 0);
        QFile text(path("notes.txt"));
        EXPECT_TRUE(text.open(QIODevice::WriteOnly));
    }
    ~ClipArtTest() override
    {
        KXClipArtController::setFolderChooser({});
        platform::Drag::setRunner({});
        platform::UserDefaults::standardUserDefaults().removeObjectForKey(
            QStringLiteral("Photo Library Folder"));
    }

    QString path(const QString& name) const { return _folder.filePath(name); }

    void picture(const QString& name, int width, int height, int daysAgo)
    {
        QDir().mkpath(QFileInfo(path(name)).absolutePath());
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        ASSERT_TRUE(image.save(path(name)));
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        file.setFileTime(QDateTime::currentDateTime().addDays(daysAgo),
                         QFileDevice::FileModificationTime);
    }

    QStringList names(const KXClipArtController& browser) const
    {
        QStringList result;
        for (const QString& full : browser.picturePaths())
            result.append(QDir(_folder.path()).relativeFilePath(full));
        return result;
    }

    QTemporaryDir _folder;
};

} // namespace

TEST_F(ClipArtTest, ListsThePicturesOfTheFolderSortedByNameOrDate)
{
    RecordingClipArt browser;
    browser.setFolder(_folder.path());
    EXPECT_EQ(platform::UserDefaults::standardUserDefaults().stringForKey(
                  QStringLiteral("Photo Library Folder")),
              QDir::cleanPath(_folder.path()));
    struct Case
    {
        qint64 criteria;
        bool up;
        QStringList order;
    };
    for (const Case& c : {
             Case{KXClipArtController::SortByName,
                  true,
                  {"a snow.jpg", "b Tree.png", "Trips/c10.png"}},
             Case{KXClipArtController::SortByName,
                  false,
                  {"Trips/c10.png", "b Tree.png", "a snow.jpg"}},
             Case{KXClipArtController::SortByDate,
                  true,
                  {"a snow.jpg", "Trips/c10.png", "b Tree.png"}},
             Case{KXClipArtController::SortByDate,
                  false,
                  {"b Tree.png", "Trips/c10.png", "a snow.jpg"}},
         }) {
        browser.setFolderSortCriteria(c.criteria);
        browser.setFolderSortUp(c.up);
        EXPECT_EQ(names(browser), c.order) << c.criteria << c.up;
        EXPECT_EQ(browser.browserView()->numberOfItems(), 3);
        EXPECT_EQ(browser.browserView()->itemAtIndex(0).imageTitle,
                  QFileInfo(c.order.first()).fileName());
    }
    // An unknown criteria changes nothing.
    browser.setFolderSortCriteria(7);
    EXPECT_EQ(browser.folderSortCriteria(), KXClipArtController::SortByDate);
    // A new controller opens on the chosen folder, and reads it only once shown.
    RecordingClipArt again;
    EXPECT_EQ(again.folder(), QDir::cleanPath(_folder.path()));
    EXPECT_TRUE(again.picturePaths().isEmpty());
    again.cleanupAfterLoading();
    EXPECT_EQ(again.picturePaths().size(), 3);
}

TEST_F(ClipArtTest, DoubleClickInsertsAndDragsOfferFileNames)
{
    RecordingClipArt browser;
    browser.setFolder(_folder.path());
    platform::ImageBrowserView* view = browser.browserView();
    browser.view()->resize(400, 300);
    browser.view()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(browser.view()));
    QCoreApplication::processEvents(); // the icon view lays its items out
    const QPoint first = view->itemFrameAtIndex(0).center();
    ASSERT_EQ(view->indexOfItemAtPoint(first), 0);
    // (the test's double-click event alone has no press before it)
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, first);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, first);
    EXPECT_EQ(browser.inserted, QStringList{path("a snow.jpg")});

    // Two selected pictures dragged: both file names, the picture sized for the page.
    QStringList dragged;
    QSize image;
    platform::Drag::setRunner([&](platform::Drag& drag) {
        dragged = drag.pasteboard().filenames();
        image = drag.image().size();
        return Qt::CopyAction;
    });
    browser.zoom = 2;
    browser.page = QRectF(0, 0, 30, 30);
    view->setSelectionIndexes({0, 1});
    QTest::mousePress(view->viewport(), Qt::LeftButton, {}, first);
    QTest::mouseMove(view->viewport(), first + QPoint(10, 10));
    EXPECT_EQ(dragged, (QStringList{path("a snow.jpg"), path("b Tree.png")}));
    EXPECT_EQ(image, QSize(40, 40)); // 20 x 20 at zoom 2, within the 60 x 60 page
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, first + QPoint(10, 10));

    // Drag pictures: at most 256 pixels on a side; without a host, at the cell size.
    browser.zoom = 10;
    browser.page = QRectF();
    EXPECT_EQ(browser.dragImageSize(QSize(100, 50)), QSize(256, 128));
    browser.zoom = 0;
    EXPECT_EQ(browser.dragImageSize(QSize(100, 50)), QSize(88, 44));
}

TEST_F(ClipArtTest, DraggedOneBitPicturesKeepTheirInkAndTransparency)
{
    // One-bit pictures of paper and ink, shrunk to the 88-pixel cell when dragged. Scaled as
    // read they would come out dithered to black and white dots, or opaque.
    enum Pattern { Solid, Hairlines, LeftHalfInked };
    const QRgb white = qRgb(255, 255, 255), clear = qRgba(0, 0, 0, 0), black = qRgb(0, 0, 0);
    const QRgb red = qRgb(200, 0, 0), grey = qRgb(128, 128, 128);
    struct Case
    {
        const char* name;
        QRgb paper;
        QRgb ink;
        Pattern pattern;
        const char* format;
        // What the dragged picture shows in the middle of its left and right halves.
        QRgb left;
        QRgb right;
    } cases[] = {
        {"red ink png", white, red, Solid, "PNG", red, red},
        {"grey ink bmp", white, grey, Solid, "BMP", grey, grey},
        {"hairlines on every other column", white, black, Hairlines, "PNG", grey, grey},
        {"ink on transparent paper", clear, black, LeftHalfInked, "PNG", black, clear},
    };
    RecordingClipArt browser;
    platform::ImageBrowserView* view = browser.browserView();
    browser.view()->resize(400, 300);
    browser.view()->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(browser.view()));
    QImage dragged;
    platform::Drag::setRunner([&](platform::Drag& drag) {
        dragged = drag.image();
        return Qt::CopyAction;
    });
    for (const Case& c : cases) {
        const QString folder = path(QStringLiteral("one-bit/%1").arg(c.name));
        ASSERT_TRUE(QDir().mkpath(folder)) << c.name;
        QImage picture(400, 200, QImage::Format_Mono);
        picture.setColorTable({c.paper, c.ink});
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const bool inked = c.pattern == Solid || (c.pattern == Hairlines && x % 2 == 0)
                                   || (c.pattern == LeftHalfInked && x < picture.width() / 2);
                picture.setPixel(x, y, inked ? 1 : 0);
            }
        }
        const QString file =
            folder + QStringLiteral("/picture.") + QString::fromLatin1(c.format).toLower();
        ASSERT_TRUE(picture.save(file, c.format)) << c.name;
        browser.setFolder(folder);
        ASSERT_EQ(browser.picturePaths().size(), 1) << c.name;
        QCoreApplication::processEvents();
        const QPoint at = view->itemFrameAtIndex(0).center();
        dragged = QImage();
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseMove(view->viewport(), at + QPoint(10, 10));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at + QPoint(10, 10));
        const QImage shown = dragged.convertToFormat(QImage::Format_ARGB32);
        ASSERT_EQ(shown.size(), QSize(88, 44)) << c.name;
        for (const auto& [where, expected] :
             {std::pair{QPoint(22, 22), c.left}, std::pair{QPoint(66, 22), c.right}}) {
            int off = 0;
            for (int dy = -2; dy <= 2; ++dy) {
                for (int dx = -2; dx <= 2; ++dx) {
                    const QRgb pixel = shown.pixel(where + QPoint(dx, dy));
                    if (std::abs(qRed(pixel) - qRed(expected)) > 40
                        || std::abs(qGreen(pixel) - qGreen(expected)) > 40
                        || std::abs(qBlue(pixel) - qBlue(expected)) > 40
                        || std::abs(qAlpha(pixel) - qAlpha(expected)) > 40)
                        ++off;
                }
            }
            EXPECT_EQ(off, 0) << c.name << " at " << where.x() << "," << where.y();
        }
    }
}

TEST_F(ClipArtTest, TheChooserPicksAFolderAndAnEmptyOneSaysSo)
{
    RecordingClipArt browser;
    browser.setFolder(_folder.path());
    QString offered;
    QString answer; // cancelled
    KXClipArtController::setFolderChooser([&](QWidget*, const QString& current) {
        offered = current;
        return answer;
    });
    browser.openPhotoLibraryChooser();
    EXPECT_EQ(offered, QDir::cleanPath(_folder.path()));
    EXPECT_EQ(browser.picturePaths().size(), 3);

    answer = path("Trips");
    browser.openPhotoLibraryChooser();
    EXPECT_EQ(names(browser), QStringList{"Trips/c10.png"});

    // An empty folder: a note with a button that asks for the chooser.
    const QString empty = path("Empty");
    QDir().mkpath(empty);
    answer = empty;
    browser.openPhotoLibraryChooser();
    EXPECT_TRUE(browser.picturePaths().isEmpty());
    const QList<QLabel*> labels = browser.view()->findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_FALSE(labels.first()->parentWidget()->isHidden());
    EXPECT_TRUE(labels.first()->text().contains(QStringLiteral("Empty")));
    int asked = 0;
    const platform::ObserverToken token = platform::NotificationCenter::defaultCenter().addObserver(
        platform::KXChoosePhotoLibraryNotification, &browser,
        [&](const platform::Notification&) { ++asked; });
    const QList<QPushButton*> buttons = browser.view()->findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    buttons.first()->click();
    EXPECT_EQ(asked, 1);
    // A folder that went away is not taken.
    browser.setFolder(path("Missing"));
    EXPECT_EQ(browser.folder(), empty);
}
