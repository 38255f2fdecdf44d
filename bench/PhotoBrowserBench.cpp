// The drawer's photo browser over a folder of 2,000 pictures in 20 subfolders: reading the
// folder (listing, sorting, the icon view told), and sorting it again by date.

#include "platform/ui/ImageBrowserView.h"
#include "platform/ui/KXClipArtController.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// The folder, written once per run: one small picture copied 2,000 times.
const QString& pictureFolder()
{
    static QTemporaryDir folder;
    static const bool written = [] {
        QImage image(32, 24, QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        const QString first = folder.filePath(QStringLiteral("first.png"));
        image.save(first);
        for (int sub = 0; sub < 20; ++sub) {
            const QString dir = folder.filePath(QStringLiteral("Album %1").arg(sub));
            QDir().mkpath(dir);
            for (int i = 0; i < 100; ++i)
                QFile::copy(first, QStringLiteral("%1/Photo %2.png").arg(dir).arg(i));
        }
        QFile::remove(first);
        return true;
    }();
    (void)written;
    static const QString path = folder.path();
    return path;
}

void BM_ReadFolder(benchmark::State& state)
{
    platform::KXClipArtController browser(2);
    browser.setFolder(pictureFolder());
    for (auto _ : state) {
        browser.loadClipArt();
        benchmark::DoNotOptimize(browser.browserView()->numberOfItems());
    }
    state.counters["pictures"] = double(browser.picturePaths().size());
}
BENCHMARK(BM_ReadFolder)->Unit(benchmark::kMillisecond);

void BM_SortByDate(benchmark::State& state)
{
    platform::KXClipArtController browser(2);
    browser.setFolder(pictureFolder());
    bool up = true;
    for (auto _ : state) {
        browser.setFolderSortCriteria(platform::KXClipArtController::SortByDate);
        browser.setFolderSortUp(up = !up);
    }
}
BENCHMARK(BM_SortByDate)->Unit(benchmark::kMillisecond);

} // namespace
