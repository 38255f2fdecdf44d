#include "geometry/PTTextOnPathGlyphDrawer.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/text/LayoutManager.h"

#include <QPainter>
#include <QTransform>

namespace {

// Saves the context's state and restores it on every way out.
class SavedGraphicsState
{
public:
    explicit SavedGraphicsState(platform::GraphicsContext& context) : _context(context)
    {
        _context.saveGraphicsState();
    }
    ~SavedGraphicsState() { _context.restoreGraphicsState(); }
    SavedGraphicsState(const SavedGraphicsState&) = delete;
    SavedGraphicsState& operator=(const SavedGraphicsState&) = delete;

private:
    platform::GraphicsContext& _context;
};

} // namespace

void PTTextOnPathGlyphDrawer::layoutManager(platform::LayoutManager* layoutManager,
                                            qsizetype willPlaceGlyphAtIndex,
                                            const QPointF& atLocation, double pathAngle,
                                            double yOffset)
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!layoutManager || !context || !context->painter())
        return;
    QPainter& painter = *context->painter();
    const SavedGraphicsState saved(*context);
    const double x = layoutManager->locationForGlyphAtIndex(willPlaceGlyphAtIndex).x();
    QTransform place;
    place.translate(atLocation.x(), atLocation.y());
    place.rotateRadians(pathAngle);
    painter.setTransform(place, true);
    // The glyph sits on the first line, whose fragment starts at the container's origin:
    // with the origin at (-x, -yOffset) its baseline origin comes to (0, ly - yOffset).
    layoutManager->drawGlyphsForGlyphRange(platform::Range(willPlaceGlyphAtIndex, 1),
                                           QPointF(-x, -yOffset), painter);
}
