// The image browser: items asked for only as they show, pictures read a few per turn of
// the event loop and kept by identifier and version, one-bit pictures shown in their own
// colours, selection and item frames; and bundle pictures drawn for dense screens.

#include "platform/ui/ImageBrowserView.h"
#include "platform/drawing/Bundle.h"

#include <QBuffer>
#include <QImage>
#include <QSet>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

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

// One picture: a one-bit file whose colour table holds white and an ink, inked all over.
class OneBitSource : public platform::ImageBrowserDataSource
{
public:
    OneBitSource(QRgb ink, const QSize& size, const char* format)
    {
        QImage image(size, QImage::Format_Mono);
        image.setColorTable({qRgb(255, 255, 255), ink});
        image.fill(1);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, format);
    }
    int numberOfItemsInImageBrowser(platform::ImageBrowserView*) override { return 1; }
    platform::ImageBrowserItem imageBrowserItemAtIndex(platform::ImageBrowserView*, int) override
    {
        return {QStringLiteral("one-bit"), 1, QStringLiteral("one-bit"), QString()};
    }
    QByteArray imageRepresentationAtIndex(platform::ImageBrowserView*, int) override
    {
        return bytes;
    }
    QByteArray bytes;
};

} // namespace

TEST(ImageBrowserView, OneBitPicturesKeepTheirInkWhenScaledDown)
{
    struct Case
    {
        const char* name;
        QRgb ink;
        QSize size;
        const char* format;
    } cases[] = {
        {"red png", qRgb(200, 0, 0), QSize(200, 100), "PNG"},
        {"grey png", qRgb(128, 128, 128), QSize(200, 100), "PNG"},
        {"tall blue png", qRgb(0, 0, 160), QSize(64, 400), "PNG"},
        {"red bmp", qRgb(200, 0, 0), QSize(200, 100), "BMP"},
        {"red png smaller than the cell", qRgb(200, 0, 0), QSize(40, 20), "PNG"},
    };
    for (const Case& c : cases) {
        OneBitSource source(c.ink, c.size, c.format);
        ASSERT_FALSE(source.bytes.isEmpty()) << c.name;
        platform::ImageBrowserView view;
        view.setDataSource(&source);
        view.setCellSize(QSize(88, 88));
        view.resize(300, 200);
        view.reloadData();
        view.show();
        view.loadVisiblePictures();
        ASSERT_TRUE(view.hasLoadedPictureAtIndex(0)) << c.name;
        const QImage shown = view.viewport()->grab().toImage();
        const QPoint middle = view.itemFrameAtIndex(0).topLeft()
                              + QPoint(view.cellSize().width() / 2, view.cellSize().height() / 2);
        // A dithered picture shows black and white dots here instead of the ink.
        int off = 0;
        for (int dy = -3; dy <= 3; ++dy) {
            for (int dx = -3; dx <= 3; ++dx) {
                const QRgb pixel = shown.pixel(middle + QPoint(dx, dy));
                if (std::abs(qRed(pixel) - qRed(c.ink)) > 24
                    || std::abs(qGreen(pixel) - qGreen(c.ink)) > 24
                    || std::abs(qBlue(pixel) - qBlue(c.ink)) > 24)
                    ++off;
            }
        }
        EXPECT_EQ(off, 0) << c.name;
    }
}

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
