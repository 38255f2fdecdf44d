// The image browser: items asked for only as they show, pictures read a few per turn of
// the event loop and kept by identifier and version, selection and item frames; and
// bundle pictures drawn for dense screens.

#include "platform/ui/ImageBrowserView.h"
#include "platform/drawing/Bundle.h"

#include <QBuffer>
#include <QImage>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class CountingSource : public platform::ImageBrowserDataSource
{
public:
    int numberOfItemsInImageBrowser(platform::ImageBrowserView*) override { return count; }
    platform::ImageBrowserItem imageBrowserItemAtIndex(platform::ImageBrowserView*,
                                                       int index) override
    {
        itemsAsked.insert(index);
        return {QStringLiteral("uid%1").arg(index), version, QStringLiteral("Item %1").arg(index),
                QString()};
    }
    QByteArray imageRepresentationAtIndex(platform::ImageBrowserView*, int index) override
    {
        ++picturesRead;
        QImage image(64, 64, QImage::Format_RGB32);
        image.fill(index % 2 ? Qt::red : Qt::blue);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }
    int count = 20000;
    quint64 version = 1;
    QSet<int> itemsAsked;
    int picturesRead = 0;
};

} // namespace

TEST(ImageBrowserView, AsksOnlyForWhatShowsAndKeepsPicturesByVersion)
{
    CountingSource source;
    platform::ImageBrowserView view;
    view.setDataSource(&source);
    view.setCellSize(QSize(80, 80));
    view.resize(400, 300);
    view.reloadData();
    view.show();
    QTest::qWait(0);
    EXPECT_EQ(view.numberOfItems(), 20000);
    EXPECT_FALSE(source.itemsAsked.isEmpty());
    EXPECT_LT(source.itemsAsked.size(), 100); // the visible ones, not all 20,000
    // Pictures come a few per turn, not at once.
    EXPECT_LT(source.picturesRead, 8);
    view.loadVisiblePictures();
    const int visible = source.picturesRead;
    EXPECT_GT(visible, 4);
    EXPECT_TRUE(view.hasLoadedPictureAtIndex(0));
    // A reload with the same versions reads nothing again; a new version does.
    view.reloadData();
    view.loadVisiblePictures();
    EXPECT_EQ(source.picturesRead, visible);
    source.version = 2;
    view.reloadData();
    EXPECT_FALSE(view.hasLoadedPictureAtIndex(0));
    view.loadVisiblePictures();
    EXPECT_EQ(source.picturesRead, 2 * visible);
}

TEST(ImageBrowserView, SelectionAndItemFrames)
{
    CountingSource source;
    source.count = 10;
    platform::ImageBrowserView view;
    view.setDataSource(&source);
    view.setCellSize(QSize(60, 60));
    view.resize(400, 300);
    view.reloadData();
    view.show();
    int changes = 0;
    QObject::connect(&view, &platform::ImageBrowserView::selectionDidChange, [&] { ++changes; });
    view.setSelectionIndexes({3, 1});
    EXPECT_EQ(view.selectionIndexes(), (QList<int>{1, 3}));
    view.setSelectionIndexes({5}, true);
    EXPECT_EQ(view.selectionIndexes(), (QList<int>{1, 3, 5}));
    EXPECT_GE(changes, 2);
    const QRect frame = view.itemFrameAtIndex(4);
    EXPECT_FALSE(frame.isEmpty());
    EXPECT_EQ(view.indexOfItemAtPoint(frame.center()), 4);
    EXPECT_EQ(view.indexOfItemAtPoint(QPoint(399, 299)), -1);
    EXPECT_EQ(view.itemAtIndex(4).imageTitle, QStringLiteral("Item 4"));
}

TEST(Bundle, PicturesAreDrawnAtThePixelRatio)
{
    // The kit browser's bundle is not linked here; the program's own pictures stand in.
    const platform::Bundle program;
    const platform::ImagePtr picture = program.imageNamed(QStringLiteral("no such picture"));
    EXPECT_FALSE(picture);
    EXPECT_TRUE(program.pixmapNamed(QStringLiteral("no such picture"), 2).isNull());
    EXPECT_EQ(program.pathForResource(QStringLiteral("x.png")), QStringLiteral(":/x.png"));
    EXPECT_EQ(platform::Bundle(QStringLiteral("Lib")).pathForResource(QStringLiteral("x.png")),
              QStringLiteral(":/Lib/x.png"));
}
