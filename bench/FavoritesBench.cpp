// The favourites on a category of 1,000 items with 120-point photo thumbnails (PNG, as the
// library stores them): loading the category into the matrix (read, recount, fill and the
// first paint of what shows) and moving an item from the front to the back and again.
// The store is made once per run in a temporary support folder.

#include "app/LBLibraryController.h"
#include "app/LBLibraryStore.h"
#include "graphics/LBProcessState.h"
#include "platform/ui/ScrollView.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int Items = 1000;

// A photo-like thumbnail: gradients with noise, so it compresses as a photo does.
QByteArray thumbnail(int seed)
{
    QImage pixels(120, 120, QImage::Format_ARGB32);
    QRandomGenerator random{quint32(seed)};
    for (int y = 0; y < 120; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(pixels.scanLine(y));
        for (int x = 0; x < 120; ++x) {
            const int noise = int(random.bounded(24));
            line[x] = qRgba((x + seed + noise) % 256, (y * 2 + noise) % 256, (x + y) % 256, 255);
        }
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    pixels.save(&buffer, "PNG");
    return png;
}

struct Library
{
    Library()
    {
        qputenv("XDG_CONFIG_HOME", QByteArray(folder.path().toLocal8Bit() + "/config"));
        LBProcessState::setApplicationSupportPath(folder.path() + QStringLiteral("/"));
        LBLibraryStore store;
        store.open(folder.filePath(QStringLiteral("Favorites")));
        store.addCollection(QStringLiteral("My Favorites"), QStringLiteral("Standard"));
        const qint64 category = store.collections()->first().categories.first().id;
        store.begin();
        for (int i = 0; i < Items; ++i) {
            LBLibraryStore::Object object;
            object.name = QStringLiteral("Item %1").arg(i);
            object.thumbnail = thumbnail(i);
            object.index = i;
            object.category = category;
            store.insertObject(object, LBLibraryStore::ObjectData{object.thumbnail, {}});
        }
        store.save();
        store.close();
        controller = LBLibraryController::makeFavorites();
        controller->mainView()->resize(250, 600);
        controller->mainView()->show();
        controller->drawerResized();
    }

    QTemporaryDir folder;
    std::unique_ptr<LBLibraryController> controller;
};

// Made on first use; gone before the application is, with the widgets it made (and its
// temporary folder with it).
std::unique_ptr<Library> theLibrary;

void release()
{
    theLibrary.reset();
}

Library& library()
{
    if (!theLibrary) {
        theLibrary = std::make_unique<Library>();
        qAddPostRoutine(release);
    }
    return *theLibrary;
}

void BM_LoadCategoryIntoMatrix(benchmark::State& state)
{
    LBLibraryController& favourites = *library().controller;
    QImage screen(300, 700, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        favourites.loadObjects();
        favourites.adjustNumCellsInMatrix(false);
        favourites.populateMatrixCells();
        // The first paint of the cells that show.
        LBLibraryMatrix* matrix = favourites.matrix();
        const QRect visible = favourites.scrollView()->documentVisibleRect();
        QPainter painter(&screen);
        matrix->render(&painter, QPoint(), QRegion(visible));
    }
    if (favourites.graphicCount() != Items)
        state.SkipWithError("the category did not load");
}
BENCHMARK(BM_LoadCategoryIntoMatrix)->Unit(benchmark::kMillisecond);

void BM_ReorderInCategory(benchmark::State& state)
{
    LBLibraryController& favourites = *library().controller;
    favourites.loadObjects();
    favourites.refreshMatrix();
    bool forward = true;
    for (auto _ : state) {
        if (forward)
            favourites.moveGraphicAtIndex(0, Items);
        else
            favourites.moveGraphicAtIndex(Items - 1, 0);
        forward = !forward;
    }
}
BENCHMARK(BM_ReorderInCategory)->Unit(benchmark::kMillisecond);

} // namespace
