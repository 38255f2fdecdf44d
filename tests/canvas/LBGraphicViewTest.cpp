// The process-wide flags the canvas and the document are known by are the ones the
// graphics read.

#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"

#include <gtest/gtest.h>

#include <functional>

TEST(ProcessWideFlags, SetThroughTheCanvasOrDocumentAndReadByTheModel)
{
    struct Case
    {
        const char* name;
        std::function<void(bool)> set;
        std::function<bool()> owner;
        std::function<bool()> model;
    };
    const Case cases[] = {
        {"dragging out", LBGraphicView::setDraggingOut, LBGraphicView::isDraggingOut,
         LBProcessState::isDraggingOut},
        {"printing", LBDocument::setPrinting, LBDocument::isPrinting, LBProcessState::isPrinting},
        {"print job", LBDocument::setPrintJobRunning, LBDocument::isPrintJobRunning,
         LBProcessState::isPrintJobRunning},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(c.model());
        c.set(true);
        EXPECT_TRUE(c.owner());
        EXPECT_TRUE(c.model());
        c.set(false);
        EXPECT_FALSE(c.owner());
        EXPECT_FALSE(c.model());
    }
}
