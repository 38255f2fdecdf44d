// The page decorations: a face's background colour, background picture and placeholder
// caption, the shaded label faces under the graphics and the overlay of outlines,
// guides, shading and postal regions over them. They keep no state: every call reads the
// document's face settings, its layout and the window's zoom and mode afresh.

#include "window/LBWindowController.h"

#include "canvas/LBGraphicView.h"
#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "graphics/LBGraphic.h"
#include "platform/core/Strings.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QDataStream>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QIODevice>
#include <QList>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace {

using platform::BezierPath;

// The platform's grey: half white.
const QColor Grey = QColor::fromRgbF(0.5, 0.5, 0.5);
// Grey at alpha 0.5 with white at alpha 0.5 over it, composited in advance: alpha
// 0.5 + 0.5 × 0.5 = 0.75, and 0.5 × 1 + 0.25 × 0.5 = 0.625 of white in that alpha.
const QColor Shading = QColor::fromRgbF(0.625f / 0.75f, 0.625f / 0.75f, 0.625f / 0.75f, 0.75f);

// How an outline or guide is stroked: colour, line width (0 the thinnest line the device
// draws) and dash lengths (none: solid).
struct StrokeStyle
{
    QColor color;
    double width = 0;
    QList<qreal> dash;
};

const StrokeStyle& printedOutlineStyle()
{
    static const StrokeStyle style{Qt::black, 0.2, {1, 5}};
    return style;
}
const StrokeStyle& guideStyle()
{
    static const StrokeStyle style{Grey, 0, {3, 3}};
    return style;
}
const StrokeStyle& safeCircleStyle()
{
    static const StrokeStyle style{QColor::fromRgbF(0.75, 0.75, 1.0, 1.0), 0, {3, 3}};
    return style;
}
const StrokeStyle& shadedEdgeStyle()
{
    static const StrokeStyle style{Grey, 0.2, {}};
    return style;
}

void stroke(QPainter& painter, BezierPath path, const StrokeStyle& style)
{
    if (path.isEmpty())
        return;
    path.setLineWidth(style.width);
    path.setLineDash(style.dash);
    painter.strokePath(path.toPainterPath(), path.strokePen(style.color));
}

void fill(QPainter& painter, const BezierPath& path, const QColor& color)
{
    painter.fillPath(path.toPainterPath(), color);
}

QColor withAlpha(QColor color, double alpha)
{
    color.setAlphaF(float(alpha));
    return color;
}

BezierPath reversedOval(const QRectF& rect)
{
    return BezierPath::withOvalInRect(rect).bezierPathByReversingPath();
}

BezierPath reversedRect(const QRectF& rect)
{
    return BezierPath::withRect(rect).bezierPathByReversingPath();
}

// Saves the graphics state, clips to the rectangle and smooths edges; restores on leaving.
class ClippedDrawing
{
public:
    ClippedDrawing(platform::GraphicsContext& context, const QRectF& clip) : _context(context)
    {
        _context.saveGraphicsState();
        _context.painter()->setClipRect(clip, Qt::IntersectClip);
        _context.painter()->setRenderHint(QPainter::Antialiasing);
    }
    ~ClippedDrawing() { _context.restoreGraphicsState(); }
    ClippedDrawing(const ClippedDrawing&) = delete;
    ClippedDrawing& operator=(const ClippedDrawing&) = delete;

    QPainter& painter() { return *_context.painter(); }

private:
    platform::GraphicsContext& _context;
};

platform::GraphicsContext* drawingContext()
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    return context && context->painter() ? context : nullptr;
}

// The quarter-turn form of a line across the entry rectangle: a horizontal line at
// distance `at` from the top becomes a vertical one at that distance from the left.
void addGuide(BezierPath& path, const QRectF& r, bool rotated, double at)
{
    if (rotated) {
        path.moveTo(QPointF(r.x() + at, r.y()));
        path.lineTo(QPointF(r.x() + at, r.y() + r.height()));
    } else {
        path.moveTo(QPointF(r.x(), r.y() + at));
        path.lineTo(QPointF(r.x() + r.width(), r.y() + at));
    }
}

// The fold guides that rectangular entries of known kinds show on screen; z moves the
// tray insert's guides onto whole pixels at 100 %.
BezierPath builtInFoldGuides(const QString& description, const QRectF& r, bool rotated, double z)
{
    BezierPath path;
    if (description == QLatin1String("CDTrayInsert")) {
        // Across the other way: the spine folds run along the insert's height.
        if (rotated) {
            path.moveTo(QPointF(r.x(), r.y() + 18 + z));
            path.lineTo(QPointF(r.x() + r.width(), r.y() + 18 + z));
            path.moveTo(QPointF(r.x(), r.y() + r.height() - 18 + z));
            path.lineTo(QPointF(r.x() + r.width(), r.y() + r.height() - 18 + z));
        } else {
            path.moveTo(QPointF(r.x() + 18 + z, r.y()));
            path.lineTo(QPointF(r.x() + 18 + z, r.y() + r.height()));
            path.moveTo(QPointF(r.x() + r.width() - 18 + z, r.y()));
            path.lineTo(QPointF(r.x() + r.width() - 18 + z, r.y() + r.height()));
        }
        return path;
    }
    const double half = rotated ? r.width() / 2 : r.height() / 2;
    if (description == QLatin1String("CDBooklet") || description == QLatin1String("DVDBooklet")
        || description == QLatin1String("SuperJewelBoxDVDBooklet")) {
        addGuide(path, r, rotated, half);
        return path;
    }
    static const QHash<QString, double> spines = {
        {QStringLiteral("DVDCover"), 21.2184},     {QStringLiteral("DVDSlimCover"), 8.4564},
        {QStringLiteral("VHSWrap"), 39.6},         {QStringLiteral("PappaPartialMedium"), 9.9576},
        {QStringLiteral("PappaFullLong"), 9.9576},
    };
    if (const auto spine = spines.constFind(description); spine != spines.constEnd()) {
        addGuide(path, r, rotated, half - *spine);
        addGuide(path, r, rotated, half + *spine);
        return path;
    }
    if (description == QLatin1String("PappaPartialLong")) {
        for (double at : {396.6624, 396.6624 + 19.9152, 812.016})
            addGuide(path, r, rotated, at);
    }
    return path;
}

// The entry's own fold lines, relative to its rectangle (turned with the sheet).
BezierPath foldLines(const QVariantList& lines, const QRectF& r, bool rotated)
{
    BezierPath path;
    for (const QVariant& value : lines) {
        const QVariantMap line = value.toMap();
        const double x1 = DimensionInfo::real(line, QStringLiteral("x1"));
        const double y1 = DimensionInfo::real(line, QStringLiteral("y1"));
        const double x2 = DimensionInfo::real(line, QStringLiteral("x2"));
        const double y2 = DimensionInfo::real(line, QStringLiteral("y2"));
        if (rotated) {
            path.moveTo(QPointF(r.x() + y1, r.y() + r.height() - x1));
            path.lineTo(QPointF(r.x() + y2, r.y() + r.height() - x2));
        } else {
            path.moveTo(QPointF(r.x() + x1, r.y() + y1));
            path.lineTo(QPointF(r.x() + x2, r.y() + y2));
        }
    }
    return path;
}

} // namespace

// ==== Background colour ===================================================================

QColor LBWindowController::faceColor(qint64 page, bool usePrintSettings) const
{
    const LBDocument* doc = document();
    QColor color;
    if (usePrintSettings ? doc->printBackgroundColor(page) : doc->drawBackgroundColor(page)) {
        color = doc->backgroundColor(page);
    } else if (doc->hasBackgroundPlaceholder(page)
               && (usePrintSettings ? doc->printBackgroundPlaceholder(page)
                                    : doc->drawBackgroundPlaceholder(page))) {
        color = doc->placeholderColor(page);
    }
    return color.isValid() ? color : QColor(Qt::white);
}

void LBWindowController::drawBackgroundColorForPage(qint64 page, const QRectF& inRect,
                                                    bool usePrintSettings)
{
    platform::GraphicsContext* context = drawingContext();
    if (!context || !document())
        return;
    context->saveGraphicsState();
    QPainter& painter = *context->painter();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(inRect, faceColor(page, usePrintSettings));
    context->restoreGraphicsState();
}

void LBWindowController::drawBackgroundColorInRect(const QRectF& rect, bool usePrintSettings)
{
    if (const LBDocument* doc = document())
        drawBackgroundColorForPage(doc->pageIndex(), rect, usePrintSettings);
}

// ==== Background picture and placeholder caption ==========================================

void LBWindowController::drawBackgroundImageForPage(qint64 page, const QRectF& inRect,
                                                    const QRectF& viewBounds)
{
    platform::GraphicsContext* context = drawingContext();
    const LBDocument* doc = document();
    if (!context || !doc)
        return;

    const std::shared_ptr<platform::Image> image = doc->backgroundImage(page);
    const QSizeF size = image ? image->size() : QSizeF();
    if (image && size.width() > 0 && size.height() > 0) {
        ClippedDrawing drawing(*context, inRect);
        const double w = size.width(), h = size.height();
        const double fraction = doc->backgroundImageTransparency(page);
        const QRectF& V = viewBounds;
        const auto draw = [&](const QRectF& rect) {
            image->drawInIntegralRect(rect, QRectF(), QPainter::CompositionMode_SourceOver,
                                      fraction);
        };
        switch (doc->backgroundImageScaling(page)) {
        case 0: draw(QRectF(V.center().x() - w / 2, V.center().y() - h / 2, w, h)); break;
        case 1: {
            // Tiles overlap their neighbours by a point. A picture of a point or less
            // would never step on.
            if (w <= 1 || h <= 1)
                break;
            const double stepX = w - 1, stepY = h - 1;
            const qint64 rows = qint64(V.height() / stepY + 1);
            const qint64 columns = qint64(V.width() / stepX + 1);
            // Only the tiles that reach the clip (with a pixel to spare for rounding).
            const QRectF clip = inRect.adjusted(-1, -1, 1, 1);
            const qint64 firstRow = std::max<qint64>(0, qint64((clip.top() - V.y() - h) / stepY));
            const qint64 firstColumn =
                std::max<qint64>(0, qint64((clip.left() - V.x() - w) / stepX));
            const qint64 lastRow =
                std::min<qint64>(rows - 1, qint64(std::ceil((clip.bottom() - V.y()) / stepY)));
            const qint64 lastColumn =
                std::min<qint64>(columns - 1, qint64(std::ceil((clip.right() - V.x()) / stepX)));
            for (qint64 j = firstRow; j <= lastRow; ++j) {
                for (qint64 i = firstColumn; i <= lastColumn; ++i)
                    draw(QRectF(V.x() + double(i) * stepX, V.y() + double(j) * stepY, w, h));
            }
            break;
        }
        case 2: draw(V); break;
        case 3: {
            const double scale = std::max(V.width() / w, V.height() / h);
            const QSizeF scaled(w * scale, h * scale);
            draw(QRectF(V.center().x() - scaled.width() / 2, V.center().y() - scaled.height() / 2,
                        scaled.width(), scaled.height()));
            break;
        }
        default: break;
        }
    }

    if (doc->hasBackgroundPlaceholder(page))
        drawPlaceholderTextForPage(page, viewBounds);
}

void LBWindowController::drawBackgroundImageInRect(const QRectF& rect, const QRectF& viewBounds)
{
    if (const LBDocument* doc = document())
        drawBackgroundImageForPage(doc->pageIndex(), rect, viewBounds);
}

LBWindowController::PlaceholderCaptionLayout
LBWindowController::placeholderCaptionLayout(const QString& text, qint64 position, bool vertical,
                                             const QRectF& bounds, const CaptionMeasure& measure)
{
    PlaceholderCaptionLayout layout;
    const auto [alignment, placement] = LBGraphic::placeholderLabelPlacement(position);
    layout.alignment = alignment;
    layout.vertical = vertical;
    layout.box = LBGraphic::placeholderTextFrame(bounds, vertical);
    const QRectF& box = layout.box;

    // The smallest size keeps a narrower margin and is taken when nothing fits.
    for (double fontSize : LBGraphic::PlaceholderFontSizes) {
        layout.fontSize = fontSize;
        layout.margin = fontSize == LBGraphic::PlaceholderFontSizes.back() ? 3.0 : 6.0;
        layout.textSize =
            measure ? measure(text, fontSize) : LBGraphic::measurePlaceholderText(text, fontSize);
        if (layout.textSize.width() < box.width() - 2 * layout.margin)
            break;
    }

    const double m = layout.margin, t = layout.textSize.height();
    double top = box.y() + (box.height() - t) / 2;
    if (placement == LBGraphic::PlaceholderVerticalPlacement::Top)
        top = box.y() + m;
    else if (placement == LBGraphic::PlaceholderVerticalPlacement::Bottom)
        top = box.y() + box.height() - m - t;
    layout.textRect = QRectF(box.x() + m, top, box.width() - 2 * m, box.height());
    return layout;
}

void LBWindowController::drawPlaceholderTextForPage(qint64 page, const QRectF& inViewBounds)
{
    platform::GraphicsContext* context = drawingContext();
    const LBDocument* doc = document();
    if (!context || !doc)
        return;
    const QString text = doc->placeholderLabel(page);
    if (text.isEmpty())
        return;
    const PlaceholderCaptionLayout layout =
        placeholderCaptionLayout(text, doc->placeholderLabelPosition(page),
                                 doc->placeholderLabelIsVertical(page), inViewBounds);
    const QColor color = doc->placeholderLabelColor(page);

    context->saveGraphicsState();
    QPainter& painter = *context->painter();
    if (layout.vertical) {
        // Reads from bottom to top.
        const QPointF center = inViewBounds.center();
        QTransform turn;
        turn.translate(center.x(), center.y());
        turn.rotate(-90.0);
        turn.translate(-center.x(), -center.y());
        painter.setTransform(turn, true);
    }
    painter.setFont(LBGraphic::placeholderFont(layout.fontSize));
    painter.setPen(color.isValid() ? color : QColor(Qt::black));
    painter.drawText(layout.textRect, int(layout.alignment | Qt::AlignTop | Qt::TextWordWrap),
                     text);
    context->restoreGraphicsState();
}

void LBWindowController::drawPlaceholderTextInViewBounds(const QRectF& bounds)
{
    if (const LBDocument* doc = document())
        drawPlaceholderTextForPage(doc->pageIndex(), bounds);
}

// ==== Underlay ===========================================================================

namespace {

const platform::Shadow& underlayShadow()
{
    // Two points straight down, softened by 4.
    static const platform::Shadow shadow{QSizeF(0, 2), 4, Qt::black};
    return shadow;
}

// Fills the faces once casting their shadow, then once more over it.
void fillFacesOverShadow(platform::GraphicsContext& context, const QPainterPath& faces,
                         const QColor& color)
{
    context.beginShadowedDrawing(underlayShadow(), faces.boundingRect());
    context.painter()->fillPath(faces, color);
    context.endShadowedDrawing();
    context.painter()->fillPath(faces, color);
}

} // namespace

struct LBWindowController::ScreenPicture
{
    QByteArray key;
    QRect area; // on the device
    QImage image;
};

void LBWindowController::drawThroughScreenPicture(std::shared_ptr<ScreenPicture>& kept,
                                                  const QByteArray& key, const QRect& area,
                                                  const std::function<void()>& draw)
{
    platform::GraphicsContext& context = *platform::GraphicsContext::current();
    QPainter& painter = *context.painter();
    if (area.isEmpty())
        return;
    // A picture kept of a larger area serves a part of it (a redraw of a few graphics).
    if (!kept || kept->key != key || !kept->area.contains(area)) {
        kept = std::make_shared<ScreenPicture>(ScreenPicture{key, area, QImage()});
        QImage& image = kept->image;
        image = QImage(area.size(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter picturePainter(&image);
        picturePainter.setRenderHints(painter.renderHints());
        const QTransform toPicture = QTransform::fromTranslate(-area.left(), -area.top());
        picturePainter.setWorldTransform(painter.deviceTransform() * toPicture);
        platform::GraphicsContext picture(&picturePainter, true);
        picture.setBaseTransform(context.baseTransform() * toPicture);
        platform::GraphicsContext::Scope scope(picture);
        draw();
    }
    // Pixel for pixel through the clip, opacity and compositing of the painter: drawn over
    // what lies below, the picture gives what its drawing would have given.
    painter.save();
    painter.setWorldTransform(QTransform());
    painter.setWorldTransform(painter.deviceTransform().inverted());
    painter.drawImage(area.topLeft(), kept->image, area.translated(-kept->area.topLeft()));
    painter.restore();
}

void LBWindowController::drawUnderlay(const QRectF& rect, const QRectF& viewBounds,
                                      bool usePrintSettings)
{
    platform::GraphicsContext* context = drawingContext();
    const LBDocument* doc = document();
    if (!context || !doc)
        return;
    const std::optional<BezierPath> faces = discLabelsPathForViewBounds(viewBounds);
    if (!faces)
        return;
    // The current face's colour: outside preview rendering it is the face shown.
    const QColor color = faceColor(doc->pageIndex(), usePrintSettings);
    const QPainterPath path = faces->toPainterPath();

    ClippedDrawing drawing(*context, rect);
    // Printed and exported sheets are drawn afresh and stay vector.
    if (!context->isDrawingToScreen()) {
        fillFacesOverShadow(*context, path, color);
        return;
    }
    // What can be seen of the faces and their shadow, and as much around it as the
    // shadow reaches, so faces just out of sight still cast theirs into it.
    const QTransform device = drawing.painter().deviceTransform();
    const platform::Shadow& shadow = underlayShadow();
    const double scale = std::sqrt(std::abs(context->baseTransform().determinant()));
    const int reach = int(std::ceil((3 * shadow.blurRadius + shadow.offset.height()) * scale)) + 2;
    const QRect area = context->visibleDeviceRect().adjusted(-reach, -reach, reach, reach)
                       & device.mapRect(path.boundingRect())
                             .toAlignedRect()
                             .adjusted(-reach, -reach, reach, reach);
    // The faces come from the layout, the zoom and the bounds.
    QByteArray key;
    QDataStream out(&key, QIODevice::WriteOnly);
    out << doc->dimensionInfo() << zoomFactor() << viewBounds << color << device
        << context->baseTransform();
    drawThroughScreenPicture(_underlayPicture, key, area, [&] {
        fillFacesOverShadow(*platform::GraphicsContext::current(), path, color);
    });
}

// ==== Overlay ============================================================================

void LBWindowController::drawOverlay(const QRectF& rect, const QRectF& viewBounds, bool printing)
{
    platform::GraphicsContext* context = drawingContext();
    const LBDocument* doc = document();
    if (!context || !doc)
        return;
    const QVariantMap& layout = doc->dimensionInfo();
    const std::optional<QVariantList> entries = labelEntries(layout);
    if (!entries && printing)
        return;

    ClippedDrawing drawing(*context, rect);
    const auto draw = [&] {
        if (entries)
            drawLabelsOverlay(layout, *entries, viewBounds, printing);
        else
            drawSingleLabelOverlay(layout, viewBounds);
    };
    if (printing || !context->isDrawingToScreen()) {
        draw();
        return;
    }
    // On screen the overlay shows the layout at the zoom, with the postal regions when
    // the selected canvas asks for them.
    const QTransform device = drawing.painter().deviceTransform();
    const QRect area = context->visibleDeviceRect()
                       & device.mapRect(viewBounds).toAlignedRect().adjusted(-4, -4, 4, 4);
    const LBGraphicView* canvas = selectedGraphicView();
    const bool postal = mode() == DesignMode && canvas && canvas->drawPostalGuidelines();
    QByteArray key;
    QDataStream out(&key, QIODevice::WriteOnly);
    out << layout << zoomFactor() << viewBounds << device << postal;
    drawThroughScreenPicture(_overlayPicture, key, area, draw);
}

void LBWindowController::drawSingleLabelOverlay(const QVariantMap& layout, const QRectF& viewBounds)
{
    QPainter& painter = *platform::GraphicsContext::current()->painter();
    const QColor shade = withAlpha(Qt::black, 0.5);
    const double grow = 0.5 / zoomFactor();
    const QRectF B = viewBounds.adjusted(-grow, -grow, grow, grow);
    const double labelWidth = DimensionInfo::real(layout, DimensionInfo::labelWidth);
    const double labelHeight = DimensionInfo::real(layout, DimensionInfo::labelHeight);
    const double cr = DimensionInfo::real(layout, DimensionInfo::cornerRadius);
    const double di = DimensionInfo::real(layout, DimensionInfo::innerDiameter);
    const double outer = DimensionInfo::real(layout, DimensionInfo::outerDiameter);

    if (cr != 0) {
        // The four pieces of the corners outside the rounding.
        const QRectF I = B.adjusted(cr, cr, -cr, -cr);
        struct Corner
        {
            QPointF start, center;
            double fromAngle;
            QPointF corner;
        };
        const Corner corners[] = {
            {{B.left(), B.top() + cr}, I.topLeft(), 180, B.topLeft()},
            {{B.right() - cr, B.top()}, {I.right(), I.top()}, 270, {B.right(), B.top()}},
            {{B.right(), B.bottom() - cr}, I.bottomRight(), 0, B.bottomRight()},
            {{B.left() + cr, B.bottom()}, {I.left(), I.bottom()}, 90, {B.left(), B.bottom()}},
        };
        for (const Corner& c : corners) {
            BezierPath piece;
            piece.moveTo(c.start);
            piece.appendBezierPathWithArcWithCenter(c.center, cr, c.fromAngle, c.fromAngle + 90);
            piece.lineTo(c.corner);
            piece.closePath();
            fill(painter, piece, shade);
        }
        return;
    }
    if (di != 0) {
        fill(painter,
             BezierPath::withOvalInRect(
                 QRectF(B.x() + (labelWidth - di) / 2, B.y() + (labelHeight - di) / 2, di, di)),
             shade);
    }
    if (outer != 0) {
        // The two sides of the square outside the disc; each closes along B's own edge so
        // a label of another height is covered down to its bottom.
        const double r = outer / 2;
        const QPointF C = B.center();
        BezierPath left;
        left.moveTo(QPointF(C.x(), C.y() + r));
        left.appendBezierPathWithArcWithCenter(C, r, 90, 270);
        left.lineTo(B.topLeft());
        left.lineTo(QPointF(B.left(), B.bottom()));
        left.closePath();
        fill(painter, left, shade);
        BezierPath right;
        right.moveTo(QPointF(C.x(), C.y() - r));
        right.appendBezierPathWithArcWithCenter(C, r, 270, 90);
        right.lineTo(B.bottomRight());
        right.lineTo(QPointF(B.right(), B.top()));
        right.closePath();
        fill(painter, right, shade);
        return;
    }

    const LBGraphicView* canvas = selectedGraphicView();
    if (mode() != DesignMode || !isEnvelope() || !canvas || !canvas->drawPostalGuidelines())
        return;
    const QRectF recipient(B.x() + 36, B.y() + labelHeight / 3, labelWidth - 72,
                           2 * labelHeight / 3 - 45);
    const QRectF sender(B.x(), B.y(), labelWidth / 2, labelHeight / 3 - 2);
    QFont font = QGuiApplication::font();
    font.setPixelSize(6);
    painter.setFont(font);
    painter.setPen(withAlpha(Qt::black, 0.4));
    const QString table = QStringLiteral("Miscellaneous");
    for (const auto& [region, caption] :
         {std::pair{recipient, QStringLiteral("Recipient Address Region")},
          std::pair{sender, QStringLiteral("Sender Address Region")}}) {
        painter.drawText(QRectF(region.x(), region.y() + region.height() - 7, region.width(), 8),
                         int(Qt::AlignHCenter | Qt::AlignTop),
                         platform::LocalizedString(caption, table));
    }
    BezierPath outside = BezierPath::withRect(B);
    outside.appendBezierPath(reversedRect(recipient));
    outside.appendBezierPath(reversedRect(sender));
    fill(painter, outside, withAlpha(Grey, 0.7));
}

void LBWindowController::drawLabelsOverlay(const QVariantMap& layout, const QVariantList& entries,
                                           const QRectF& viewBounds, bool printing)
{
    QPainter& painter = *platform::GraphicsContext::current()->painter();
    const bool rotated = rotatesLabels(layout);
    const bool centred = centresFirstDisc(layout);
    // At exactly 100 % the tray insert's guides move onto whole pixels.
    const double z = zoomFactor() == 1.0 ? 0.5 : 0.0;
    const bool printOutlines = printing
                               && platform::UserDefaults::standardUserDefaults().boolForKey(
                                   QStringLiteral("Draw Label Outlines"));
    const QRectF& V = viewBounds;

    // Everything outside the label faces is shaded on screen: V with every face appended
    // reversed, a disc's hole the right way round.
    BezierPath shading = BezierPath::withRect(V);
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QVariant& value = entries.at(i);
        if (value.typeId() != QMetaType::QVariantMap)
            continue;
        const QVariantMap entry = value.toMap();
        // The rectangle the entry's own fold lines are placed in: a disc's square.
        QRectF frame;
        switch (const LabelShape shape = labelShapeForEntry(entry)) {
        case LabelShape::Disc: {
            const DiscFace face = discFaceForEntry(entry, i == 0 && centred, V, rotated);
            frame = face.circle;
            shading.appendBezierPath(reversedOval(face.circle));
            shading.appendBezierPathWithOvalInRect(face.hole);
            if (printOutlines)
                stroke(painter, BezierPath::withOvalInRect(face.circle), printedOutlineStyle());
            if (!printing) {
                const QRectF& hole = face.hole;
                const QRectF& c = face.circle;
                stroke(
                    painter,
                    BezierPath::withOvalInRect(QRectF(hole.x() - 5.5, hole.y() - 5.5,
                                                      hole.width() + 10.5, hole.height() + 10.5)),
                    safeCircleStyle());
                stroke(painter,
                       BezierPath::withOvalInRect(
                           QRectF(c.x() + 7.5, c.y() + 7.5, c.width() - 15, c.height() - 15)),
                       safeCircleStyle());
            }
            if (printOutlines)
                stroke(painter, BezierPath::withOvalInRect(face.hole), printedOutlineStyle());
            break;
        }
        case LabelShape::LightScribe: {
            // The content and title rings have fixed sizes, centred on the disc.
            const QString description =
                entry.value(QStringLiteral("labelTypeDescription")).toString();
            double D = DimensionInfo::real(entry, DimensionInfo::outerDiameter);
            double d = DimensionInfo::real(entry, DimensionInfo::innerDiameter);
            double x = dimensionForKey(DimensionInfo::leftMargin, entry);
            double y = dimensionForKey(DimensionInfo::topMargin, entry);
            if (description != QLatin1String("LightScribeFull")) {
                x += (D - 207) / 2;
                y += (D - 207) / 2;
                D = 207;
                d = description == QLatin1String("LightScribeContent") ? 142 : 178;
            }
            const DiscFace face = discFace(x, y, D, d, V, rotated);
            frame = face.circle;
            shading.appendBezierPath(reversedOval(face.circle));
            shading.appendBezierPathWithOvalInRect(face.hole);
            break;
        }
        case LabelShape::SlimCaseInsert:
        case LabelShape::TrayInsertInside:
        case LabelShape::TrayInsertOutside: {
            const BezierPath outline = insertOutline(shape, entry, V, rotated);
            frame = entryRect(entry, V, rotated);
            shading.appendBezierPath(outline.bezierPathByReversingPath());
            if (printOutlines)
                stroke(painter, outline, printedOutlineStyle());
            break;
        }
        case LabelShape::Rectangle: {
            const BezierPath outline = rectangleOutline(entry, V, rotated);
            frame = entryRect(entry, V, rotated);
            shading.appendBezierPath(outline.bezierPathByReversingPath());
            if (printing) {
                if (printOutlines)
                    stroke(painter, outline, printedOutlineStyle());
            } else if (entry.value(QStringLiteral("foldLines")).toList().isEmpty()) {
                stroke(painter,
                       builtInFoldGuides(
                           entry.value(QStringLiteral("labelTypeDescription")).toString(), frame,
                           rotated, z),
                       guideStyle());
            }
            break;
        }
        }
        const QVariant lines = entry.value(QStringLiteral("foldLines"));
        if (!printing && lines.typeId() == QMetaType::QVariantList)
            stroke(painter, foldLines(lines.toList(), frame, rotated), guideStyle());
    }

    if (printing)
        return;
    // Grey, then white, each at half strength: one fill of the colour they make together.
    fill(painter, shading, Shading);
    stroke(painter, shading, shadedEdgeStyle());
}
