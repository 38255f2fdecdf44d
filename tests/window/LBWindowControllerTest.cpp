// The window controller's seed: what a document gets when the window layer is installed.

#include "window/LBWindowController.h"

#include "canvas/LBGraphicView.h"
#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "platform/core/UndoManager.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/ui/PrintInfo.h"
#include "shapes/LBCurvedLine.h"
#include "window/WindowClasses.h"

#include <QImage>
#include <QPainter>

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
        // No mode until the window loads, on first use.
        EXPECT_EQ(controller->mode(), LBWindowController::NoMode);
        EXPECT_FALSE(controller->bezierMode());
        EXPECT_FALSE(controller->isWindowLoaded());

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

TEST(LBWindowController, HostsTheSelectedCanvasInDesignMode)
{
    platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
    registerWindowClasses();
    LBDocument document;
    document.makeWindowControllers();
    auto* controller = qobject_cast<LBWindowController*>(document.windowController());
    ASSERT_NE(controller, nullptr);
    CanvasHost* host = controller;
    EXPECT_EQ(host->document(), &document);
    EXPECT_FALSE(host->textMode());
    EXPECT_FALSE(host->isEnvelope());
    document.dimensionInfo()[DimensionInfo::labelType] = 5;
    EXPECT_TRUE(host->isEnvelope());
    document.dimensionInfo()[DimensionInfo::paperManufacturer] = QStringLiteral("DYMO");
    EXPECT_FALSE(host->isEnvelope());

    LBGraphicView canvas;
    canvas.setWindowController(controller);
    canvas.setCanvasSize(QSizeF(400, 400));
    controller->setSelectedGraphicView(&canvas);
    auto graphic = std::make_shared<LBGraphic>();
    graphic->setBounds(QRectF(10, 10, 20, 20));
    document.undoManager()->disableUndoRegistration();
    document.insertGraphic(graphic, 0, 1);
    document.undoManager()->enableUndoRegistration();

    // Redraws reach the canvas only in design mode and only when drawing for the screen.
    canvas.selectGraphic(graphic);
    document.undoManager()->disableUndoRegistration();
    document.removeGraphic(graphic, 1);
    document.undoManager()->enableUndoRegistration();
    document.invalidateGraphic(graphic.get()); // not in design mode: the canvas hears nothing
    EXPECT_TRUE(canvas.graphicIsSelected(graphic.get()));
    controller->switchToDesignMode(nullptr);
    EXPECT_EQ(controller->mode(), LBWindowController::DesignMode);
    {
        QImage image(10, 10, QImage::Format_ARGB32);
        QPainter painter(&image);
        platform::GraphicsContext offscreen(&painter, false);
        platform::GraphicsContext::Scope scope(offscreen);
        document.invalidateGraphic(graphic.get());
        EXPECT_TRUE(canvas.graphicIsSelected(graphic.get()));
    }
    document.invalidateGraphic(graphic.get()); // gone from the layer: leaves the selection
    EXPECT_FALSE(canvas.graphicIsSelected(graphic.get()));

    // Leaving point-by-point drawing ends the canvas's curve.
    auto curve = std::make_shared<LBCurvedLine>();
    canvas.setEditingBezierGraphic(curve);
    controller->setBezierMode(true);
    controller->setBezierMode(false);
    EXPECT_EQ(canvas.editingBezierGraphic(), nullptr);
    controller->setSelectedGraphicView(nullptr);
}
