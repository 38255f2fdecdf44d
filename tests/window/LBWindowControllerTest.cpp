// The window controller's seed: what a document gets when the window layer is installed.

#include "window/LBWindowController.h"
#include "document/LBDocument.h"
#include "platform/core/UndoManager.h"
#include "platform/ui/PrintInfo.h"
#include "window/WindowClasses.h"

#include <gtest/gtest.h>

#include <memory>

TEST(LBWindowController, IsTheDocumentsControllerWithTheStateItReads)
{
    platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
    registerWindowClasses();
    registerWindowClasses(); // once is enough, twice changes nothing

    struct Case
    {
        bool openedFromFile;
    };
    for (const Case& c : {Case{false}, Case{true}}) {
        LBDocument document;
        document.setAddsQuarnLabelControls(c.openedFromFile);
        document.makeWindowControllers();
        ASSERT_EQ(document.windowControllers().size(), 1);
        auto* controller = qobject_cast<LBWindowController*>(document.windowController());
        ASSERT_NE(controller, nullptr);
        EXPECT_EQ(controller->document(), &document);
        EXPECT_EQ(controller->addsQuarnLabelControls(), c.openedFromFile);
        EXPECT_EQ(controller->zoomFactor(), 1.0);
        EXPECT_EQ(controller->mode(), LBWindowController::PreviewMode);
        EXPECT_FALSE(controller->bezierMode());
        EXPECT_EQ(controller->window(), nullptr);

        // Without views there is nothing to redraw, and nothing breaks.
        auto graphic = std::make_shared<LBGraphic>();
        document.undoManager()->beginUndoGrouping();
        document.insertGraphic(graphic, 0, 1);
        document.undoManager()->endUndoGrouping();
        document.setDimensionInfo(document.dimensionInfo());
        document.imageQualityChanged(nullptr);

        // Removing a graphic ends point-by-point drawing.
        controller->setBezierMode(true);
        document.undoManager()->beginUndoGrouping();
        document.removeGraphic(graphic, 1);
        document.undoManager()->endUndoGrouping();
        EXPECT_FALSE(controller->bezierMode());

        document.close();
        EXPECT_EQ(document.windowController(), nullptr);
    }
}
