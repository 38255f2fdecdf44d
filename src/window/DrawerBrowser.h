#pragma once

// A browser the design drawer shows under one of its tabs (shapes palette, text library,
// favourites, fields drawer): the classes above the window implement it and install a
// factory per drawer mode at start-up. Without a factory the mode's pane stays empty under
// its tab and title.

#include <QString>

#include <functional>
#include <memory>

class LBEditController;
class QWidget;

class DrawerBrowser
{
public:
    using Factory = std::function<std::unique_ptr<DrawerBrowser>()>;
    virtual ~DrawerBrowser() = default;

    // The browser's view; owned by the browser.
    virtual QWidget* mainView() = 0;
    virtual void setEditController(LBEditController* controller) { (void)controller; }
    // The drawer changed size (nothing is passed on).
    virtual void drawerResized() {}
    // The outline's height from the user default of that name.
    virtual void setOutlineHeightFromPrefs(const QString& key) { (void)key; }
    virtual void setZoomFactor(double zoomFactor) { (void)zoomFactor; }

    // The factory of a drawer mode (0, 4, 5 or 6); an empty one removes it.
    static void setFactory(qint64 mode, Factory factory);
    static bool hasFactory(qint64 mode);
    // A new browser of the mode; nullptr without a factory.
    static std::unique_ptr<DrawerBrowser> make(qint64 mode);
};
