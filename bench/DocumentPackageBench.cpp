// Speed of saving and opening a document package: two pages of 1,000 graphics (the mixed
// graphics of support/MixedGraphics.h, a tenth of them image graphics sharing five photos of
// 1600 × 1200 pixels, each shown at about 200 × 150 points, so downsampled). Saving writes
// the whole package with its previews over the last one; opening reads it with its
// pictures. Goals: bench/targets.txt.

#include "support/MixedGraphics.h"

#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "platform/core/Error.h"
#include "shapes/LBImage.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

struct Fixture
{
    Fixture()
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
        const QList<LBGraphicPtr> graphics = mixedGraphics();
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

void BM_SavePackage(benchmark::State& state)
{
    Fixture fixture;
    for (auto _ : state)
        fixture.save();
    state.counters["contents_bytes"] =
        double(QFileInfo(QDir(fixture.package).filePath("Contents.quarnd")).size());
}

void BM_OpenPackage(benchmark::State& state)
{
    Fixture fixture;
    for (auto _ : state) {
        platform::Error error;
        std::unique_ptr<LBDocument> opened = LBDocument::initWithContentsOfFile(
            fixture.package, LBDocument::LabelDocumentType, &error);
        if (!opened)
            state.SkipWithError(qPrintable(error.description));
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(opened.get());
    }
}

} // namespace

BENCHMARK(BM_SavePackage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenPackage)->Unit(benchmark::kMillisecond);
