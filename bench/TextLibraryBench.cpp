// Speed of opening the text library: a library of 1,000 text boxes (each a few words in a
// font of its own size) opened by a new drawer controller and its list drawn to the first
// screen (250 by 600 points), as when the drawer's "Text" tab is first chosen. (The rows
// below the first screen are measured afterwards, while the list is idle.)
// Goal: bench/targets.txt.

#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "inspector/LBTextDrawerController.h"
#include "platform/core/SqlStore.h"
#include "platform/text/AttributedString.h"
#include "shapes/ShapeClasses.h"

#include <QFont>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

void BM_OpenTextLibraryToFirstScreen(benchmark::State& state)
{
    registerShapeClasses();
    QTemporaryDir support;
    LBProcessState::setApplicationSupportPath(support.path() + QStringLiteral("/"));
    {
        LBTextDrawerController maker;
        platform::SqlStore* store = maker.store();
        platform::SqlStore::Transaction transaction(*store);
        store->execute(QStringLiteral("DELETE FROM TextObject"));
        for (qint64 i = 0; i < 1000; ++i) {
            QFont font(QStringLiteral("DejaVu Sans"));
            font.setPointSizeF(10 + i % 40);
            auto box = std::make_shared<LBTextArea>();
            box->setContents(platform::AttributedString(
                QStringLiteral("Sample text number %1 of the library").arg(i),
                {{platform::FontAttributeName, QVariant::fromValue(font)}}));
            box->setBoundsNoOtherChanges(QRectF(0, 0, 300, 40));
            store->execute(
                QStringLiteral("INSERT INTO TextObject (\"index\", textData) VALUES (?, ?)"),
                {i, LBDocument::dataForGraphics(LBDocument::Layer{box})});
        }
        transaction.commit();
    }
    for (auto _ : state) {
        LBTextDrawerController controller;
        controller.mainView()->resize(250, 600);
        const QPixmap screen = controller.mainView()->grab();
        benchmark::DoNotOptimize(screen);
        if (controller.numberOfRows() != 1000)
            state.SkipWithError("the library did not open");
    }
    LBProcessState::setApplicationSupportPath(QString());
}
BENCHMARK(BM_OpenTextLibraryToFirstScreen)->Unit(benchmark::kMillisecond);

} // namespace
