#pragma once

// A document with a 2000 x 2000 design canvas on a stub window, as the inspector's
// benchmarks drive it: the shape classes registered, the shared print settings and the
// palette's window-gap default set.

#include "../../tests/canvas/CanvasHostStub.h"

#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/PrintInfo.h"
#include "shapes/ShapeClasses.h"

#include <memory>

struct PaletteCanvas
{
    PaletteCanvas()
    {
        registerShapeClasses();
        platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
        platform::UserDefaults::standardUserDefaults().registerDefaults(
            {{QStringLiteral("Smart Inspector Window Gap"), 5}});
        auto* host = new CanvasHostStub;
        host->doc = document.get();
        document->addWindowController(host);
        host->canvas = canvas.get();
        canvas->setWindowController(host);
        canvas->setCanvasSize(QSizeF(2000, 2000));
    }

    std::unique_ptr<LBDocument> document = std::make_unique<LBDocument>();
    std::unique_ptr<LBGraphicView> canvas = std::make_unique<LBGraphicView>();
};
