#include "ShotSupport.h"
#include "canvas/LBGraphicView.h"
#include "document/LBDocument.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/PrintInfo.h"
#include "platform/ui/ScrollView.h"
#include "shapes/ShapeClasses.h"
#include "window/LBDrawerController.h"
#include "window/LBEditController.h"
#include "window/LBWindowController.h"

#include <QMainWindow>
#include <QRectF>
#include <QSize>
#include <QSizeF>

namespace shots {

void setUpDesignWindows(const QVariantMap& moreDefaults)
{
    registerShapeClasses();
    platform::PrintInfo::setSharedPrintInfo(platform::PrintInfo());
    QVariantMap defaults{
        {QStringLiteral("Graphics Drawer Width"), 250.0},
        {QStringLiteral("Graphics Drawer Open"), -1},
        {QStringLiteral("Grid Spacing"), 9.0},
        {QStringLiteral("Grid Guide Spacing"), 8},
        {QStringLiteral("Units Type"), 0},
    };
    defaults.insert(moreDefaults);
    platform::UserDefaults& settings = platform::UserDefaults::standardUserDefaults();
    settings.registerDefaults(defaults);
    settings.setBool(true, QStringLiteral("LayersViewIsClosed"));
    DesignModeController::setFactory([] { return std::make_unique<LBEditController>(); });
    DesignDrawer::setFactory([] { return std::make_unique<LBDrawerController>(); });
}

DesignCanvas::DesignCanvas(const QSize& windowSize, Opening opening)
    : _document(std::make_unique<LBDocument>())
{
    if (opening == ExistingFile)
        _document->setOpenedExistingFile(true); // no layout chooser
    _document->makeWindowControllers();
    _controller = qobject_cast<LBWindowController*>(_document->windowController());
    _controller->switchToDesignMode(nullptr);
    _window = std::make_unique<platform::ScrollView>();
    _window->setWindowTitle(QStringLiteral("Veltrin"));
    _window->setGeometry(40, 40, windowSize.width(), windowSize.height());
    _canvas = new LBGraphicView;
    _canvas->setWindowController(_controller);
    _controller->setSelectedGraphicView(_canvas);
    _canvas->setCanvasSize(QSizeF(700, 800));
    _window->setDocumentView(_canvas);
    _canvas->setVisiblePageRect(QRectF(30, 30, 612, 792));
}

// The window, and with it the canvas, goes before the document it shows.
DesignCanvas::~DesignCanvas()
{
    _window.reset();
}

DesignWindow showDesignWindow(LBDocument& document, const QSize& size)
{
    DesignWindow design;
    design.controller = new LBWindowController;
    document.addWindowController(design.controller);
    design.window = design.controller->mainWindow();
    design.window->resize(size);
    design.window->show();
    pump(400);
    design.edit = static_cast<LBEditController*>(design.controller->editController());
    return design;
}

} // namespace shots
