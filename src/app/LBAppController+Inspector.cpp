// The application's share of the inspector palettes: the Inspector menu, the smart
// palette that follows the selection, and the standalone palettes kept across launches.
//
// The smart palette keeps its pane items in a menu of the delegate's that no window shows;
// every window's Inspector menu (from the one menu table) shows copies of them, renewed
// whenever the palette changes them.

#include "app/LBAppController.h"
#include "graphics/LBProcessState.h"
#include "inspector/HUDStatusController.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/Strings.h"
#include "platform/core/TextForms.h"
#include "platform/core/UserDefaults.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QVariantMap>
#include <QWidget>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

const QString updateUtilityWindows = QStringLiteral("LBUpdateUtilityWindowsForSelection");

// The top-right corner of the main screen's visible frame less (285, 160), as the
// top-left corner of a window of that height.
QPointF topRightOrigin(double windowHeight)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRectF frame = screen ? QRectF(screen->availableGeometry()) : QRectF(0, 0, 1280, 800);
    return QPointF(frame.right() + 1 - 285, frame.top() + 160 - windowHeight);
}

bool onSomeScreen(const QPointF& point)
{
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(point.toPoint()))
            return true;
    return false;
}

} // namespace

namespace {

// Tells the delegate when the palette changes the pane items, once per turn of the loop.
class PaneItemsWatcher : public QObject
{
public:
    explicit PaneItemsWatcher(LBAppController* app) : QObject(app), _app(app) {}
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::ActionAdded:
        case QEvent::ActionRemoved:
        case QEvent::ActionChanged:
            if (!_pending) {
                _pending = true;
                QTimer::singleShot(0, this, [this] {
                    _pending = false;
                    _app->updateInspectorMenus();
                });
            }
            break;
        default: break;
        }
        return false;
    }

private:
    LBAppController* _app;
    bool _pending = false;
};

} // namespace

void LBAppController::buildInspectorMenu()
{
    _inspectorMenu = new QMenu(tr("&Inspector"));
    _inspectorMenu->installEventFilter(new PaneItemsWatcher(this));
}

HUDWindowController* LBAppController::smartInspector() const
{
    return dynamic_cast<HUDWindowController*>(LBProcessState::inspectorPalette());
}

QList<HUDWindowController*> LBAppController::standaloneInspectors() const
{
    QList<HUDWindowController*> palettes;
    for (InspectorPalette* palette : LBProcessState::standaloneInspectorPalettes())
        if (auto* hud = dynamic_cast<HUDWindowController*>(palette))
            palettes.append(hud);
    return palettes;
}

void LBAppController::makeInspectors()
{
    // 5. The smart palette, made when it is first asked for (a design canvas, the Inspector
    //    menu): the first window is drawn without it.
    LBProcessState::setInspectorPaletteMaker([this] { makeSmartInspector(); });
    HUDWindowController::setHelpHandler([] { myShowHelp(0); });
    // 6. The standalone palettes of the last session, in their order.
    makeStandaloneInspectors();
}

void LBAppController::makeSmartInspector()
{
    const bool shown = defaults().boolForKey(QStringLiteral("Show Contextual Inspector"));
    auto* smart = new HUDWindowController(
        shown ? HUDWindowController::SmartShown : HUDWindowController::SmartHidden, this);
    smart->setToolsMenu(_inspectorMenu);
    // Folded to its button at once: made at the launch, it folds half a second later, long
    // before a window could ask for it.
    smart->collapseButtonAction(false);
    LBProcessState::setInspectorPalette(smart);
    // The canvas's status window of point-by-point curve drawing.
    LBProcessState::setCurveStatusWindow(
        new HUDStatusController(HUDStatusController::PathWindow, this));
}

void LBAppController::makeStandaloneInspectors()
{
    QList<InspectorPalette*> standalone;
    for (const QVariant& entry :
         defaults().arrayForKey(QStringLiteral("Standalone Inspector Array"))) {
        const QVariantMap values = entry.toMap();
        const int tag = values.value(QStringLiteral("ToolTag")).toInt();
        HUDWindowController::registerPaneFiles(); // (once) the table paneForTag reads
        const HUDWindowController::Pane* pane = HUDWindowController::paneForTag(tag);
        if (!pane || tag < HUDWindowController::SizeTools)
            continue; // names no pane
        QPointF origin(values.value(QStringLiteral("XLoc")).toDouble(),
                       values.value(QStringLiteral("YLoc")).toDouble());
        auto* palette = new HUDWindowController(HUDWindowController::Standalone, this);
        if (!onSomeScreen(origin))
            origin = topRightOrigin(palette->window()->height());
        palette->setStandaloneToolTag(tag, origin);
        standalone.append(palette);
    }
    LBProcessState::setStandaloneInspectorPalettes(standalone);
}

void LBAppController::toggleContextualInspector()
{
    const bool shown = !defaults().boolForKey(QStringLiteral("Show Contextual Inspector"));
    defaults().setBool(shown, QStringLiteral("Show Contextual Inspector"));
    HUDWindowController* smart = smartInspector();
    if (!shown) {
        if (smart && smart->window())
            smart->window()->hide();
        if (smart)
            smart->setInspectorMode(HUDWindowController::SmartHidden);
    } else {
        if (smart)
            smart->setInspectorMode(HUDWindowController::SmartShown);
        platform::NotificationCenter::defaultCenter().post(updateUtilityWindows, this);
    }
    // The toggle's title follows.
    updateInspectorMenus();
}

HUDWindowController* LBAppController::newStandaloneInspector()
{
    auto* palette = new HUDWindowController(HUDWindowController::Standalone, this);
    const QList<HUDWindowController*> existing = standaloneInspectors();
    const QPointF stored = platform::pointFromString(
        defaults().stringForKey(QStringLiteral("Standalone Inspector Location")));
    // Shown with its first pane before it is placed, so its height is known.
    palette->setStandaloneToolTag(HUDWindowController::SizeTools, QPointF());
    QPointF origin;
    if (stored == QPointF(-1, -1))
        origin = topRightOrigin(palette->window()->height());
    else if (!existing.isEmpty())
        origin = QPointF(existing.last()->window()->pos()) + QPointF(0, 147 + 2);
    else
        origin = stored;
    if (!onSomeScreen(origin))
        origin = topRightOrigin(palette->window()->height());
    palette->window()->move(origin.toPoint());
    QList<InspectorPalette*> standalone = LBProcessState::standaloneInspectorPalettes();
    standalone.append(palette);
    LBProcessState::setStandaloneInspectorPalettes(standalone);
    platform::NotificationCenter::defaultCenter().post(updateUtilityWindows, this);
    return palette;
}

void LBAppController::inspectorToolsAction(QAction* item)
{
    const int tag = item->data().toInt();
    HUDWindowController* smart = smartInspector();
    const QList<HUDWindowController*> standalone = standaloneInspectors();
    const bool smartVisible = smart && smart->window() && smart->window()->isVisible();
    if (!standalone.isEmpty() && !smartVisible) {
        for (HUDWindowController* palette : standalone)
            palette->toolsPopupAction(tag);
        return;
    }
    if (!smart)
        return;
    if (smart->selectedToolsTag() == tag && smartVisible) {
        smart->collapseButtonAction(true);
    } else {
        smart->forceOpen();
        smart->toolsPopupAction(tag);
    }
}

void LBAppController::saveStandaloneInspectors() const
{
    // Always written: an empty array once the last standalone palette was closed.
    QVariantList entries;
    for (HUDWindowController* palette : standaloneInspectors()) {
        const QPoint origin = palette->window()->pos();
        entries.append(QVariantMap{{QStringLiteral("ToolTag"), palette->toolTag()},
                                   {QStringLiteral("XLoc"), double(origin.x())},
                                   {QStringLiteral("YLoc"), double(origin.y())}});
    }
    defaults().setObject(entries, QStringLiteral("Standalone Inspector Array"));
}
