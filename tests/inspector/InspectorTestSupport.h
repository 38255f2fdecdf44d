#pragma once

// The inspector's tests: a real document and canvas (the canvas tests' fixture) with a
// palette following it, frame animations off.

#include "../canvas/CanvasTestSupport.h"

#include "inspector/HUDWindowController.h"
#include "shapes/LBBarcodeImage.h"
#include "shapes/LBGear.h"
#include "shapes/LBImage.h"
#include "shapes/LBPolygon.h"
#include "shapes/LBStarPolygon.h"

class InspectorTest : public CanvasTest
{
protected:
    InspectorTest()
    {
        HUDWindowController::setAnimationsEnabled(false);
        platform::UserDefaults::standardUserDefaults().registerDefaults(
            {{QStringLiteral("Smart Inspector Window Gap"), 5}});
        palette = std::make_unique<HUDWindowController>(HUDWindowController::SmartShown);
    }
    ~InspectorTest() override { palette.reset(); }

    // Puts the graphic on the page (without undo) and returns it.
    template <typename T>
    std::shared_ptr<T> place(std::shared_ptr<T> graphic,
                             const QRectF& bounds = QRectF(100, 100, 80, 60))
    {
        graphic->setBounds(bounds);
        undo()->disableUndoRegistration();
        document->insertGraphic(graphic, 0, 1);
        undo()->enableUndoRegistration();
        return graphic;
    }
    // Selects exactly these graphics and refreshes the palette from the canvas.
    void selectOnly(const QList<LBGraphicPtr>& graphics)
    {
        canvas->clearSelection();
        for (const LBGraphicPtr& graphic : graphics)
            canvas->selectGraphic(graphic);
        palette->updateFromGraphicView(canvas);
    }

    std::unique_ptr<HUDWindowController> palette;
};
