#include "merge/MergeClasses.h"

#include "merge/LBCounterController.h"
#include "merge/LBMergeServices.h"
#include "merge/LBRenderingView.h"

void registerMergeClasses()
{
    MergeServices::setFactory(
        [](LBWindowController& window) { return std::make_unique<LBMergeServices>(window); });
    CounterSheet::setFactory([] { return std::make_unique<LBCounterController>(); });
    SheetRenderer::setFactory([](const QRectF& frame, const LBDocument::Pages& pages) {
        return std::make_unique<LBRenderingView>(frame, pages);
    });
}
