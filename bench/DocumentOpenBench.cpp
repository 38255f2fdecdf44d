// Opening a document of many graphics and closing it again: 10,000 and 100,000 graphics of
// every registered class in turn (all but lines and pictures can hold text; every other one
// has some), read from the document's text into a new document; the events that fall due
// in the first second after opening handled (the wait itself not timed); the document
// deleted. All of it grows in a straight line with the graphics: 100,000 take about ten
// times what 10,000 take.

#include "document/LBDocument.h"
#include "graphics/LBGraphic.h"
#include "graphics/LBTextArea.h"
#include "platform/core/ClassRegistry.h"
#include "platform/text/AttributedString.h"
#include "shapes/ShapeClasses.h"

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QThread>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

QByteArray documentText(int count)
{
    registerShapeClasses();
    const QStringList classes = platform::ClassRegistry<LBGraphic>::classNames();
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSizeF(12);
    LBDocument::Layer graphics;
    graphics.reserve(count);
    for (int i = 0; i < count; ++i) {
        const auto g = platform::ClassRegistry<LBGraphic>::create(classes[i % classes.size()]);
        g->setBounds(QRectF(10 + i % 400, 20 + i % 300, 80 + i % 50, 40 + i % 30));
        g->setFillType(1);
        g->setFillColor(QColor::fromHsv(i % 360, 200, 220));
        if (auto* text = dynamic_cast<LBTextArea*>(g.get()); text && i % 2 == 0)
            text->setContents(platform::AttributedString(
                QStringLiteral("Label text %1").arg(i),
                {{platform::FontAttributeName, font},
                 {platform::ForegroundColorAttributeName, QColor(Qt::black)}}));
        graphics.append(g);
    }
    return LBDocument::dataForGraphics(graphics);
}

void BM_OpenAndClose(benchmark::State& state)
{
    const QByteArray data = documentText(int(state.range(0)));
    for (auto _ : state) {
        auto document = std::make_unique<LBDocument>();
        if (!document->loadDataRepresentation(data, LBDocument::LabelDocumentType))
            state.SkipWithError("the document does not open");
        // The boxes' first second passes (not timed), and what fell due then is handled.
        state.PauseTiming();
        QThread::msleep(1100);
        state.ResumeTiming();
        QCoreApplication::processEvents();
        document.reset();
    }
}

} // namespace

BENCHMARK(BM_OpenAndClose)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(2);
