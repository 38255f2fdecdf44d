// The library matrix driven by sent events: selection with anchor, Shift and Ctrl, the
// threshold of a drag and what a drag carries, drops of graphics, files and pictures, and
// the cell that cannot be dragged because its file is gone.

#include "FavoritesFixture.h"

#include "document/LBDocument.h"
#include "platform/ui/Beep.h"
#include "platform/ui/Drag.h"
#include "platform/ui/Pasteboard.h"
#include "platform/ui/SegmentedControl.h"
#include "shapes/LBRectangle.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

namespace {

void click(LBLibraryMatrix* matrix, qint64 index, Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    const qint64 columns = matrix->numberOfColumns();
    const QPointF at = matrix->cellFrameAtRow(index / columns, index % columns).center();
    send(matrix, QEvent::MouseButtonPress, at, keys);
    send(matrix, QEvent::MouseButtonRelease, at, keys, Qt::NoButton);
}

QByteArray bytesOfPicture(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct SeenDrag
{
    QStringList formats;
    QByteArray tiff;
};

} // namespace

class LibraryMatrix : public FavoritesFixture
{
protected:
    void TearDown() override
    {
        platform::Drag::setRunner(nullptr);
        FavoritesFixture::TearDown();
    }

    // Five pictures "a" to "e", copied in.
    TestLibraryController& openWithFive()
    {
        TestLibraryController& favourites = open();
        QStringList files;
        for (const char* name : {"a", "b", "c", "d", "e"})
            files.append(writeImage(QString::fromLatin1(name) + QStringLiteral(".png"), 20, 10));
        favourites.addImageFilesToLibrary(files, true);
        return favourites;
    }

    QPointF centreOf(qint64 index) const
    {
        LBLibraryMatrix* matrix = library->matrix();
        const qint64 columns = matrix->numberOfColumns();
        return matrix->cellFrameAtRow(index / columns, index % columns).center();
    }

    // Presses on the cell and moves the pointer by `by`; the drags that started.
    QList<SeenDrag> pressAndMove(qint64 index, const QPointF& by,
                                 const std::function<Qt::DropAction(platform::Drag&)>& play = {})
    {
        QList<SeenDrag> drags;
        platform::Drag::setRunner([&](platform::Drag& drag) {
            drags.append({drag.mimeData()->formats(),
                          drag.mimeData()->data(
                              platform::mimeTypeForPasteboardType(platform::TIFFPboardType))});
            return play ? play(drag) : Qt::IgnoreAction;
        });
        LBLibraryMatrix* matrix = library->matrix();
        send(matrix, QEvent::MouseButtonPress, centreOf(index), Qt::NoModifier);
        send(matrix, QEvent::MouseMove, centreOf(index) + by, Qt::NoModifier);
        send(matrix, QEvent::MouseButtonRelease, centreOf(index) + by, Qt::NoModifier,
             Qt::NoButton);
        platform::Drag::setRunner(nullptr);
        return drags;
    }

    bool minusEnabled() const { return library->graphicControl()->cell()->isEnabledForSegment(0); }
};

TEST_F(LibraryMatrix, ClicksSelectWithAnAnchorShiftRangesAndCtrlToggles)
{
    TestLibraryController& favourites = openWithFive();
    LBLibraryMatrix* matrix = favourites.matrix();
    ASSERT_GE(matrix->numberOfColumns(), 3);
    ASSERT_GT(matrix->cellCount(), 5);

    struct Step
    {
        qint64 cell;
        Qt::KeyboardModifiers keys;
        QList<qint64> selected;
        qint64 anchor;
    };
    const QList<Step> steps = {
        {1, Qt::NoModifier, {1}, 1},
        {3, Qt::ShiftModifier, {1, 2, 3}, 1},
        {2, Qt::ControlModifier, {1, 3}, 1},
        {0, Qt::ControlModifier, {0, 1, 3}, 1},
        {4, Qt::NoModifier, {4}, 4},
        {1, Qt::ShiftModifier, {1, 2, 3, 4}, 4},
        // Below the last thumbnail: Shift extends to the last item...
        {matrix->cellCount() - 1, Qt::ShiftModifier, {4}, 4},
        {0, Qt::NoModifier, {0}, 0},
        {matrix->cellCount() - 1, Qt::ShiftModifier, {0, 1, 2, 3, 4}, 0},
        // ...a plain click there selects nothing.
        {5, Qt::NoModifier, {}, -1},
    };
    for (const Step& step : steps) {
        click(matrix, step.cell, step.keys);
        EXPECT_EQ(matrix->selectedIndexes(), step.selected) << step.cell;
        EXPECT_EQ(matrix->anchorIndex(), step.anchor) << step.cell;
        EXPECT_EQ(minusEnabled(), !step.selected.isEmpty()) << step.cell;
        for (qint64 i = 0; i < matrix->cellCount(); ++i)
            EXPECT_EQ(matrix->cellAtIndex(i)->isHighlighted(), step.selected.contains(i));
    }

    // A double click asks the library for the cell's row and column.
    const QPointF at =
        centreOf(matrix->numberOfColumns() + 1 < 5 ? matrix->numberOfColumns() + 1 : 2);
    send(matrix, QEvent::MouseButtonDblClick, at, Qt::NoModifier);
    ASSERT_EQ(favourites.doubleClicks.size(), 1);
    qint64 row = -1, column = -1;
    ASSERT_TRUE(matrix->getRow(&row, &column, at));
    EXPECT_EQ(favourites.doubleClicks[0], qMakePair(row, column));
}

TEST_F(LibraryMatrix, ADragStartsPastFourPointsAndCarriesItsKindOfGraphic)
{
    TestLibraryController& favourites = open();
    favourites.addImageFilesToLibrary({writeImage(QStringLiteral("photo.png"), 30, 20)}, true);
    auto shape = std::make_shared<LBRectangle>();
    shape->setBoundsNoOtherChanges(QRectF(0, 0, 20, 10));
    auto other = std::make_shared<LBRectangle>();
    other->setBoundsNoOtherChanges(QRectF(30, 0, 20, 10));
    ASSERT_TRUE(favourites.store()->begin());
    favourites.addGraphics({shape}, favourites.categoryForRow(0), false, 1);
    favourites.addGraphics({shape, other}, favourites.categoryForRow(0), true, 2);
    ASSERT_TRUE(favourites.saveChanges());
    favourites.loadObjects();
    favourites.refreshMatrix();
    ASSERT_EQ(favourites.graphicCount(), 3);

    EXPECT_TRUE(pressAndMove(0, QPointF(4, 4)).isEmpty());
    EXPECT_TRUE(pressAndMove(0, QPointF(-4, 0)).isEmpty());
    const QString tiff = platform::mimeTypeForPasteboardType(platform::TIFFPboardType);
    struct Case
    {
        qint64 cell;
        QString type;
    };
    for (const Case& c : {Case{0, QStringLiteral("Quarn Print Line 1")},
                          Case{1, QStringLiteral("Quarn Print Line")},
                          Case{2, QStringLiteral("Quarn Print Line")}}) {
        const QList<SeenDrag> drags = pressAndMove(c.cell, QPointF(5, 0));
        ASSERT_EQ(drags.size(), 1) << c.cell;
        EXPECT_EQ(drags[0].formats,
                  (QStringList{platform::mimeTypeForPasteboardType(c.type), tiff}));
        EXPECT_FALSE(drags[0].tiff.isEmpty());
        EXPECT_FALSE(minusEnabled());
        EXPECT_EQ(favourites.matrix()->dragCellIndex(), -1);
    }
}

TEST_F(LibraryMatrix, DraggingWithinTheMatrixMovesAndOntoItsOwnCellChangesNothing)
{
    TestLibraryController& favourites = openWithFive();
    LBLibraryMatrix* matrix = favourites.matrix();
    const auto dropAt = [&](qint64 target) {
        return [this, matrix, target](platform::Drag& drag) {
            return drop(matrix, drag.mimeData(), centreOf(target));
        };
    };
    ASSERT_EQ(pressAndMove(1, QPointF(0, 6), dropAt(1)).size(), 1);
    EXPECT_EQ(favourites.names().join(QString()), QStringLiteral("abcde"));
    pressAndMove(0, QPointF(6, 0), dropAt(3));
    EXPECT_EQ(favourites.names().join(QString()), QStringLiteral("bcade"));
    // The empty cell after the last one: to the end.
    pressAndMove(0, QPointF(6, 0), dropAt(5));
    EXPECT_EQ(favourites.names().join(QString()), QStringLiteral("cadeb"));
    EXPECT_TRUE(matrix->selectedIndexes().isEmpty());
}

TEST_F(LibraryMatrix, DropsOfFilesGraphicsAndPictures)
{
    TestLibraryController& favourites = openWithFive();
    LBLibraryMatrix* matrix = favourites.matrix();

    // A file that is no picture: nothing added, reported as skipped.
    QMimeData notes;
    notes.setUrls({QUrl::fromLocalFile(writeText(QStringLiteral("notes.txt")))});
    EXPECT_EQ(drop(matrix, &notes, centreOf(1)), Qt::CopyAction);
    EXPECT_EQ(favourites.graphicCount(), 5);
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0].message, QStringLiteral("Skipped File(s)"));
    // A picture file is copied in at the cell it is dropped on.
    QMimeData photo;
    photo.setUrls({QUrl::fromLocalFile(writeImage(QStringLiteral("f.png"), 8, 8))});
    EXPECT_EQ(drop(matrix, &photo, centreOf(1)), Qt::CopyAction);
    EXPECT_EQ(favourites.names().join(QString()), QStringLiteral("afbcde"));
    EXPECT_EQ(favourites.objects()[1].type, LBLibraryStore::ImageDataObject);
    EXPECT_TRUE(matrix->selectedIndexes().isEmpty());

    // Graphics from elsewhere (a canvas): added where they are dropped.
    QMimeData graphics;
    setDraggedGraphics(graphics, {rectangle(QRectF(0, 0, 20, 10))});
    EXPECT_EQ(drop(matrix, &graphics, centreOf(0)), Qt::CopyAction);
    ASSERT_EQ(favourites.graphicCount(), 7);
    EXPECT_EQ(favourites.objects()[0].type, LBLibraryStore::GraphicsObject);

    // A picture alone is refused with a beep.
    QMimeData picture;
    picture.setData(QStringLiteral("image/png"),
                    bytesOfPicture(writeImage(QStringLiteral("g.png"), 4, 4, Qt::blue)));
    const quint64 beeps = platform::beepCount();
    const QString imageType = platform::Pasteboard(&picture).availableImageType();
    ASSERT_FALSE(imageType.isNull());
    EXPECT_EQ(drop(matrix, &picture, centreOf(0)), Qt::CopyAction);
    EXPECT_EQ(platform::beepCount(), beeps + 1);
    EXPECT_EQ(favourites.graphicCount(), 7);

    // Over the matrix the target shows selected: the cell under the pointer, or the place
    // after the last item; leaving clears it.
    QDragEnterEvent enter(centreOf(2).toPoint(), Qt::CopyAction, &graphics, Qt::LeftButton,
                          Qt::NoModifier);
    QApplication::sendEvent(matrix, &enter);
    EXPECT_EQ(matrix->selectedIndexes(), QList<qint64>{2});
    EXPECT_TRUE(matrix->cellAtIndex(2)->isHighlighted());
    const QPointF beyond = centreOf(matrix->cellCount() - 1);
    QDragMoveEvent move(beyond.toPoint(), Qt::CopyAction, &graphics, Qt::LeftButton,
                        Qt::NoModifier);
    QApplication::sendEvent(matrix, &move);
    EXPECT_EQ(matrix->selectedIndexes(), QList<qint64>{favourites.graphicCount()});
    QDragLeaveEvent leave;
    QApplication::sendEvent(matrix, &leave);
    EXPECT_TRUE(matrix->selectedIndexes().isEmpty());

    // Text is no drop; a matrix that takes no drops takes none.
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    EXPECT_EQ(drop(matrix, &text, centreOf(0)), Qt::IgnoreAction);
    matrix->setAcceptsDrags(false);
    EXPECT_EQ(drop(matrix, &graphics, centreOf(0)), Qt::IgnoreAction);
    EXPECT_EQ(favourites.graphicCount(), 7);
}

TEST_F(LibraryMatrix, ALinkedFileThatIsGoneCannotBeDragged)
{
    TestLibraryController& favourites = open();
    const QString file = writeImage(QStringLiteral("linked.png"), 20, 20);
    favourites.addImageFilesToLibrary({file}, false);
    ASSERT_EQ(favourites.graphicCount(), 1);
    QFile::remove(file);
    EXPECT_TRUE(pressAndMove(0, QPointF(8, 8)).isEmpty());
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts[0].message, QStringLiteral("Missing File"));
    EXPECT_EQ(alerts[0].informative,
              QStringLiteral("This image was created by linking to a file which has since been "
                             "moved or deleted. You must restore the original file in order to use "
                             "this image."));
}
