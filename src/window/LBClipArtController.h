#pragma once

// The design drawer's photo browser: the folder photo browser, answering it with the design
// controller it was given: a double-clicked picture goes into the design, dragged pictures
// are sized for the design's zoom factor and page.

#include "platform/ui/KXClipArtController.h"
#include "window/DrawerBrowser.h"

#include <QPointer>

class LBClipArtController : public platform::KXClipArtController, public DrawerBrowser
{
    Q_OBJECT
public:
    explicit LBClipArtController(qint64 type = 2, QObject* parent = nullptr);
    ~LBClipArtController() override;

    // --- DrawerBrowser ---
    QWidget* mainView() override { return view(); }
    void setEditController(LBEditController* controller) override;
    void drawerResized() override { KXClipArtController::drawerResized(); }

    LBEditController* editController() const;

    // The design controller's zoom factor, 0 without one.
    double zoomFactor() const override;
    // The design controller's first page, the zero rectangle without one.
    QRectF topPageRect() const override;
    // Through the design controller (a selected photo placeholder takes the picture).
    void insertImageAtPath(const QString& path) override;
    // Saved documents and kits.
    bool isPackageFolder(const QString& path) const override;

private:
    QPointer<LBEditController> _editController;
};
