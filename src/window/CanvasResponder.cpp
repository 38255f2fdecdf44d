#include "window/CanvasResponder.h"

#include "canvas/LBGraphicView.h"

#include <utility>

namespace {

using CanvasCommand = void (LBGraphicView::*)(QObject*);

// The canvas's commands by selector.
const std::pair<const char*, CanvasCommand> commands[] = {
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
    {"defineAsPlaceholder:", &LBGraphicView::defineAsPlaceholder},
    {"editPlaceholderSettings:", &LBGraphicView::editPlaceholderSettings},
    {"cropUncrop:", &LBGraphicView::cropUncrop},
    {"cropWithShape:", &LBGraphicView::cropWithShape},
    {"maskImage:", &LBGraphicView::maskImage},
};

} // namespace

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
    for (const auto& entry : commands) {
        const CanvasCommand command = entry.second;
        addCommand(QLatin1String(entry.first),
                   [canvas, command](QObject* sender) { (canvas->*command)(sender); });
    }
}

const QStringList& CanvasResponder::canvasSelectors()
{
    static const QStringList selectors = [] {
        QStringList all;
        for (const auto& entry : commands)
            all.append(QLatin1String(entry.first));
        return all;
    }();
    return selectors;
}

bool CanvasResponder::validateMenuItem(QAction* item)
{
    return _canvas->validateMenuItem(item);
}

qint64 CanvasResponder::cropUncropCommandType() const
{
    return _canvas->cropUncropCommandType();
}

qint64 CanvasResponder::cropWithShapeCommandType() const
{
    return _canvas->cropWithShapeCommandType();
}
