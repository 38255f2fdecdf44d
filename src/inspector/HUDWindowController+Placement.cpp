// Where the palette goes: just below the selection, inside the canvas's scroll view and
// the screen's visible frame, beside the selection when there is no room below.

#include "canvas/LBGraphicView.h"
#include "inspector/HUDWindow.h"
#include "inspector/HUDWindowController.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/ScrollView.h"
#include "shapes/LBImage.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// Qt's screen rectangles (y down) and the rule's (y up) mirror each other about y = 0.
QRectF flipped(const QRectF& r)
{
    return QRectF(r.x(), -r.y() - r.height(), r.width(), r.height());
}

QRectF globalRect(const QWidget* widget, const QRectF& local)
{
    const QPointF topLeft = widget->mapToGlobal(local.topLeft());
    return QRectF(topLeft, local.size());
}

} // namespace

QRectF HUDWindowController::constrainedWindowRect(QRectF rect,
                                                  const std::optional<QRectF>& selection,
                                                  const QRectF& scrollView,
                                                  const QRectF& visibleFrame, double gap)
{
    const QRectF& V = scrollView;
    const QRectF& F = visibleFrame;
    const double width = rect.width();
    const double height = rect.height();
    double x = rect.x();
    double y = rect.y();
    if (selection) {
        const QRectF& S = *selection;
        x = S.x() + S.width() / 2.0 - width / 2.0;
        y = S.y() - height - gap;
    }
    // The top edge at least 40 above V's bottom, at most 5 below its top.
    if (y + height < V.y() + 40.0)
        y = V.y() + 40.0 - height;
    if (y + height > V.y() + V.height() - 5.0)
        y = V.y() + V.height() - 5.0 - height;
    x = std::max(V.x() + 10.0, x);
    x = std::min(x, V.x() + V.width() - 26.0 - width);
    if (y < F.y()) {
        y = F.y() + 8.0;
        if (selection) {
            const QRectF& S = *selection;
            const double left = S.x() - width - gap;
            const double right = S.x() + S.width() + gap;
            if (left >= F.x() && left >= V.x() + 10.0)
                x = left;
            else if (right + width <= F.x() + F.width() - 26.0)
                x = right;
        }
    }
    if (x < F.x())
        x = F.x() + 8.0;
    if (x + width > F.x() + F.width())
        x = F.x() + F.width() - width - 8.0;
    return QRectF(x, y, width, height);
}

std::optional<QRectF> HUDWindowController::selectionScreenRect() const
{
    LBGraphicView* canvas = graphicView();
    if (!canvas || _selectedGraphics.isEmpty())
        return std::nullopt;
    QRectF bounds;
    if (const LBImage* photo = canvas->croppingImage()) {
        bounds = photo->shadowDrawingBoundsWithHandles(true);
    } else {
        for (const LBGraphicPtr& graphic : _selectedGraphics)
            bounds = bounds.united(graphic->shadowDrawingBoundsWithHandles(true));
    }
    const QPointF topLeft = canvas->mapToGlobal(canvas->convertToWidget(bounds.topLeft()));
    const QPointF bottomRight = canvas->mapToGlobal(canvas->convertToWidget(bounds.bottomRight()));
    return QRectF(topLeft, bottomRight).normalized();
}

QRectF HUDWindowController::constrainedWindowRect(const QRectF& rect) const
{
    LBGraphicView* canvas = graphicView();
    if (!canvas)
        return rect;
    const double gap = double(platform::UserDefaults::standardUserDefaults().integerForKey(
        QStringLiteral("Smart Inspector Window Gap")));
    QWidget* scroll = canvas->enclosingScrollView();
    if (!scroll)
        scroll = canvas;
    const QRectF V = globalRect(scroll, QRectF(QPointF(0, 0), QSizeF(scroll->size())));
    QScreen* screen = canvas->window()->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRectF F = screen ? QRectF(screen->availableGeometry()) : V;
    std::optional<QRectF> S = selectionScreenRect();
    if (S)
        S = flipped(*S);
    return flipped(constrainedWindowRect(flipped(rect), S, flipped(V), flipped(F), gap));
}

void HUDWindowController::centerWindowUnderSelectedGraphics()
{
    if (_selectedGraphics.isEmpty() || _freezeWindow || _inspectorMode == Standalone)
        return;
    const QRectF frame = windowFrame();
    const QRectF placed = constrainedWindowRect(frame);
    _window->move(placed.topLeft().toPoint());
}
