#include "window/CanvasResponder.h"

#include "canvas/LBGraphicView.h"

#include <initializer_list>
#include <utility>

CanvasResponder* CanvasResponder::forWidget(QWidget* widget)
{
    auto* canvas = qobject_cast<LBGraphicView*>(widget);
    if (!canvas)
        return nullptr;
    if (auto* existing = canvas->findChild<CanvasResponder*>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    return new CanvasResponder(canvas);
}

CanvasResponder::CanvasResponder(LBGraphicView* canvas) : QObject(canvas), _canvas(canvas)
{
    using Command = void (LBGraphicView::*)(QObject*);
    const std::initializer_list<std::pair<const char*, Command>> commands = {
        {"cut:", &LBGraphicView::cut},
        {"copy:", &LBGraphicView::copy},
        {"paste:", &LBGraphicView::paste},
        {"delete:", &LBGraphicView::delete_},
        {"duplicate:", &LBGraphicView::duplicate},
        {"selectAll:", &LBGraphicView::selectAll},
        {"deselectAll:", &LBGraphicView::deselectAll},
        {"bringToFront:", &LBGraphicView::bringToFront},
        {"sendToBack:", &LBGraphicView::sendToBack},
        {"bringForward:", &LBGraphicView::bringForward},
        {"sendBackward:", &LBGraphicView::sendBackward},
        {"group:", &LBGraphicView::group},
        {"ungroup:", &LBGraphicView::ungroup},
        {"lock:", &LBGraphicView::lock},
        {"unlock:", &LBGraphicView::unlock},
        {"alignLeftEdges:", &LBGraphicView::alignLeftEdges},
        {"alignRightEdges:", &LBGraphicView::alignRightEdges},
        {"alignTopEdges:", &LBGraphicView::alignTopEdges},
        {"alignBottomEdges:", &LBGraphicView::alignBottomEdges},
        {"alignHorizontalCenters:", &LBGraphicView::alignHorizontalCenters},
        {"alignVerticalCenters:", &LBGraphicView::alignVerticalCenters},
        {"makeSameWidth:", &LBGraphicView::makeSameWidth},
        {"makeSameHeight:", &LBGraphicView::makeSameHeight},
        {"makeNaturalSize:", &LBGraphicView::makeNaturalSize},
        {"distributeEvenly:", &LBGraphicView::distributeEvenly},
        {"addTextToShape:", &LBGraphicView::addTextToShape},
        {"removeTextFromShape:", &LBGraphicView::removeTextFromShape},
        {"trimToPageAction:", &LBGraphicView::trimToPageAction},
        {"postalGuidelinesAction:", &LBGraphicView::postalGuidelinesAction},
    };
    for (const auto& entry : commands) {
        const Command command = entry.second;
        addCommand(QLatin1String(entry.first),
                   [canvas, command](QObject* sender) { (canvas->*command)(sender); });
    }
}

bool CanvasResponder::validateMenuItem(QAction* item)
{
    Q_UNUSED(item);
    return true;
}
