// Speed of saving and opening a document package: two pages of 1,000 graphics (the mixed
// graphics of support/MixedGraphics.h, a tenth of them image graphics sharing five photos of
// 1600 × 1200 pixels, each shown at about 200 × 150 points, so downsampled), and of 2,000,
// 4,000 and 8,000 to show the cost grows with the graphics and no faster. Saving writes the
// whole package with its previews over the last one; opening reads it with its pictures.
// Each reports the contents file's size and the memory its runs took at their peak above
// what the process held before them, also as a multiple of the contents file. Goals:
// bench/targets.txt.

#include "support/MixedGraphics.h"
#include "support/PeakMemory.h"

#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "platform/core/Error.h"
#include "shapes/LBImage.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <memory>

namespace {

struct Fixture
{
    explicit Fixture(int count)
    {
        LBProcessState::setTemporaryFolderPath(folder.filePath("Temporary Files") + '/');
        LBProcessState::setImageDisplayResolution(150);
        QStringList photos;
        for (int p = 0; p < 5; ++p) {
            QImage photo(1600, 1200, QImage::Format_RGB32);
            for (int y = 0; y < photo.height(); ++y) {
                QRgb* line = reinterpret_cast<QRgb*>(photo.scanLine(y));
                for (int x = 0; x < photo.width(); ++x)
                    line[x] = qRgb((x / 7 + p * 40) % 256, (y / 5) % 256, ((x + y) / 11) % 256);
            }
            photos.append(folder.filePath(QStringLiteral("photo%1.jpg").arg(p)));
            photo.save(photos.last(), "JPEG", 85);
        }
        document = std::make_unique<LBDocument>();
        document->addPageWithGraphics({LBDocument::Layer(), LBDocument::Layer()},
                                      {QStringLiteral("Background"), QStringLiteral("Foreground")});
        const QList<LBGraphicPtr> graphics = mixedGraphics(count);
        for (int i = 0; i < graphics.size(); ++i) {
            LBGraphicPtr graphic = graphics[i];
            const qint64 page = i % 2;
            if (i % 10 == 0) {
                auto image = std::make_shared<LBImage>();
                image->setBoundsNoOtherChanges(QRectF(i % 300, i % 500, 200, 150));
                graphic = image;
            }
            document->insertGraphic(graphic, 0, 1, page);
            if (i % 10 == 0)
                graphic->setImageFilePath(photos[(i / 10) % photos.size()], true, false,
                                          LBGraphic::FillImageType);
        }
        QCoreApplication::processEvents();
        package = folder.filePath(QStringLiteral("Bench.quarnlb"));
        save();
    }

    void save()
    {
        platform::Error error;
        if (!document->saveToFile(package, LBDocument::LabelDocumentType,
                                  platform::Document::SaveOperation, &error))
            qFatal("The benchmark document cannot be saved: %s", qPrintable(error.description));
    }

    QTemporaryDir folder;
    std::unique_ptr<LBDocument> document;
    QString package;
};

// The resident set now, MiB.
double residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0.0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0.0;
}

// Hands the memory freed so far back to the system and sets the peak resident set back to
// the resident set now (Linux), so the peak read after the runs is theirs.
void resetPeakResident()
{
    malloc_trim(0);
    QFile clearRefs(QStringLiteral("/proc/self/clear_refs"));
    if (clearRefs.open(QIODevice::WriteOnly))
        clearRefs.write("5");
}

void reportSizes(benchmark::State& state, const Fixture& fixture, double residentBefore)
{
    const double contents =
        double(QFileInfo(QDir(fixture.package).filePath("Contents.quarnd")).size());
    const double peak = std::max(0.0, peakResidentMiB() - residentBefore);
    state.counters["contents_bytes"] = contents;
    state.counters["peak_MiB"] = peak;
    state.counters["peak_per_contents"] = contents > 0 ? peak * 1024.0 * 1024.0 / contents : 0.0;
}

void BM_SavePackage(benchmark::State& state)
{
    Fixture fixture(int(state.range(0)));
    resetPeakResident();
    const double before = residentMiB();
    for (auto _ : state)
        fixture.save();
    reportSizes(state, fixture, before);
}

void BM_OpenPackage(benchmark::State& state)
{
    Fixture fixture(int(state.range(0)));
    resetPeakResident();
    const double before = residentMiB();
    for (auto _ : state) {
        platform::Error error;
        std::unique_ptr<LBDocument> opened = LBDocument::initWithContentsOfFile(
            fixture.package, LBDocument::LabelDocumentType, &error);
        if (!opened)
            state.SkipWithError(qPrintable(error.description));
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(opened.get());
    }
    reportSizes(state, fixture, before);
}

} // namespace

BENCHMARK(BM_SavePackage)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPackage)
    ->Arg(1000)
    ->Arg(2000)
    ->Arg(4000)
    ->Arg(8000)
    ->Unit(benchmark::kMillisecond);
