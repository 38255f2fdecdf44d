// The miniatures of the sheet being chosen: the sheet preview of every project but disc
// labels (a page with its grid of labels, or for page projects a page with outlined and
// masked cells), and the disc preview, whose labels each draw by their shape. Both draw
// upright into an image in flipped coordinates; a landscape sheet is shown by turning the
// view that shows the image a quarter turn, once.

#include "layouts/LBLayoutSheetController.h"

#include "document/DimensionInfo.h"
#include "layouts/LabelOutlines.h"
#include "platform/drawing/BezierPath.h"
#include "platform/drawing/GraphicsContext.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <cmath>

namespace {

using Info = DimensionInfo;

constexpr double envelopeScale = 0.15;
constexpr double previewScale = 0.222222;
constexpr QPointF pageOrigin(10, 15);
constexpr QSizeF imageMargin(20, 25);

const QColor white = Qt::white;
const QColor lightGray = QColor::fromRgbF(2.0 / 3, 2.0 / 3, 2.0 / 3);
const QColor darkGray = QColor::fromRgbF(1.0 / 3, 1.0 / 3, 1.0 / 3);

double scaleForProjectType(qint64 projectType)
{
    return projectType == LBLayoutSheetController::EnvelopesProject ? envelopeScale : previewScale;
}

double real(const QVariantMap& map, const QString& key)
{
    return Info::real(map, key);
}

void fill(QPainter& painter, const platform::BezierPath& path, const QColor& color)
{
    painter.fillPath(path.toPainterPath(), color);
}

void stroke(QPainter& painter, const platform::BezierPath& path, const QColor& color)
{
    painter.strokePath(path.toPainterPath(), path.strokePen(color));
}

platform::BezierPath rectPath(const QRectF& rect, double lineWidth)
{
    platform::BezierPath path = platform::BezierPath::withRect(rect);
    path.setLineWidth(lineWidth);
    return path;
}

platform::BezierPath ovalPath(const QRectF& rect, double lineWidth = 1)
{
    platform::BezierPath path = platform::BezierPath::withOvalInRect(rect);
    path.setLineWidth(lineWidth);
    return path;
}

// A circle of the diameter centred in the box.
QRectF centredSquare(const QRectF& box, double diameter)
{
    return QRectF(box.center().x() - diameter / 2, box.center().y() - diameter / 2, diameter,
                  diameter);
}

// A line in the fold-line style: gray, dashed 2 on 5 off, the thinnest line.
void drawFoldLine(QPainter& painter, const QPointF& from, const QPointF& to)
{
    platform::BezierPath path;
    path.moveTo(from);
    path.lineTo(to);
    path.setLineWidth(0);
    path.setLineDash({2, 5}, 0);
    stroke(painter, path, Qt::gray);
}

// The label's own fold lines in the cell whose top-left is origin.
void drawFoldLines(QPainter& painter, const QVariantMap& label, const QPointF& origin, double s)
{
    for (const QVariant& entry : label.value(QStringLiteral("foldLines")).toList()) {
        const QVariantMap line = entry.toMap();
        const auto at = [&](const char* x, const char* y) {
            return QPointF(std::trunc(real(line, QString::fromLatin1(x)) * s) + origin.x() + 0.5,
                           std::trunc(real(line, QString::fromLatin1(y)) * s) + origin.y() + 0.5);
        };
        drawFoldLine(painter, at("x1", "y1"), at("x2", "y2"));
    }
}

// The fold lines a rectangle shape has when its label gives none.
void drawDefaultFoldLines(QPainter& painter, const QString& name, const QRectF& cell, double s)
{
    const double x = cell.x(), y = cell.y(), w = cell.width(), h = cell.height();
    const auto across = [&](double atY) {
        drawFoldLine(painter, QPointF(x, atY), QPointF(x + w, atY));
    };
    static const QHash<QString, double> spines = {
        {QStringLiteral("DVDCover"), 42.4368},      {QStringLiteral("DVDSlimCover"), 16.9128},
        {QStringLiteral("VHSWrap"), 79.2},          {QStringLiteral("PappaPartialMedium"), 19.9152},
        {QStringLiteral("PappaFullLong"), 19.9152},
    };
    if (name == QLatin1String("CDTrayInsert")) {
        drawFoldLine(painter, QPointF(x + 18 * s, y), QPointF(x + 18 * s, y + h));
        drawFoldLine(painter, QPointF(x + w - 18 * s, y), QPointF(x + w - 18 * s, y + h));
    } else if (name == QLatin1String("CDBooklet") || name == QLatin1String("DVDBooklet")
               || name == QLatin1String("SuperJewelBoxDVDBooklet")) {
        across(y + h / 2);
    } else if (spines.contains(name)) {
        const double spine = spines.value(name) * s;
        across(y + h / 2 - spine / 2);
        across(y + h / 2 + spine / 2);
    } else if (name == QLatin1String("PappaPartialLong")) {
        for (const double at : {396.6624, 396.6624 + 19.9152, 812.016})
            across(y + at * s);
    }
}

enum class DiscShape {
    Disc,
    Rectangle,
    SlimCase,
    TrayInside,
    TrayOutside,
    FullDisc,
    Ring,
    BusinessCard,
    Unknown
};

DiscShape discShapeForName(const QString& name)
{
    static const QHash<QString, DiscShape> shapes = [] {
        QHash<QString, DiscShape> table;
        for (const char* n : {"CDDisc", "CDCore", "CDMini", "PappaVinylCD", "PappaSuperCD"})
            table.insert(QString::fromLatin1(n), DiscShape::Disc);
        for (const char* n : {"Label",
                              "CDCover",
                              "DVDCover",
                              "DVDSlimCover",
                              "CDSpine",
                              "CDTrayInsert",
                              "DVDInsert",
                              "CDBooklet",
                              "DVDBooklet",
                              "VHSWrap",
                              "VHSFace",
                              "VHSSpine",
                              "SuperJewelBoxCDBooklet",
                              "SuperJewelBoxDVDBooklet",
                              "PappaPartialShort",
                              "PappaPartialMedium",
                              "PappaPartialLong",
                              "PappaFullShort",
                              "PappaFullLong",
                              "Blu-RayCover"})
            table.insert(QString::fromLatin1(n), DiscShape::Rectangle);
        table.insert(QStringLiteral("CDSlimCaseInsert"), DiscShape::SlimCase);
        for (const char* n :
             {"SuperJewelBoxCDTrayInsertInside", "SuperJewelBoxDVDTrayInsertInside"})
            table.insert(QString::fromLatin1(n), DiscShape::TrayInside);
        for (const char* n :
             {"SuperJewelBoxCDTrayInsertOutside", "SuperJewelBoxDVDTrayInsertOutside"})
            table.insert(QString::fromLatin1(n), DiscShape::TrayOutside);
        for (const char* n : {"LightScribeFull", "LabelFlashFull", "DiscT@2"})
            table.insert(QString::fromLatin1(n), DiscShape::FullDisc);
        for (const char* n : {"LightScribeContent", "LightScribeTitle"})
            table.insert(QString::fromLatin1(n), DiscShape::Ring);
        table.insert(QStringLiteral("CDBusinessCard"), DiscShape::BusinessCard);
        return table;
    }();
    return shapes.value(name, DiscShape::Unknown);
}

// The grid of a layout or label: rows, columns and the gaps that count.
struct Grid
{
    qint64 rows = 1;
    qint64 columns = 1;
    double rowGap = 0;
    double columnGap = 0;
};

Grid gridOf(const QVariantMap& map, double s)
{
    Grid grid;
    if (!map.contains(Info::numRows))
        return grid;
    grid.rows = Info::integer(map, Info::numRows);
    grid.columns = Info::integer(map, Info::numColumns);
    grid.rowGap = grid.rows >= 2 ? real(map, Info::vLabelSpace) * s : 0;
    grid.columnGap = grid.columns >= 2 ? real(map, Info::hLabelSpace) * s : 0;
    return grid;
}

// Visits max(rows x columns, 1) cells row by row from the start, each advancing by the
// step (cell size or disc diameter) plus the gap.
template <typename Visit>
void forEachCell(const Grid& grid, const QPointF& start, const QSizeF& step, Visit visit)
{
    const qint64 count = std::max<qint64>(grid.rows * grid.columns, 1);
    const qint64 columns = std::max<qint64>(grid.columns, 1);
    QPointF at = start;
    for (qint64 i = 0; i < count; ++i) {
        visit(i, at);
        if ((i + 1) % columns != 0) {
            at.rx() += step.width() + grid.columnGap;
        } else {
            at.rx() = start.x();
            at.ry() += step.height() + grid.rowGap;
        }
    }
}

QSizeF pageSizeOf(const QVariantMap& layout)
{
    if (real(layout, Info::pageWidth) != 0)
        return QSizeF(real(layout, Info::pageWidth), real(layout, Info::pageHeight));
    return LBLayoutSheetController::pixelDimensionsForPaper(layout);
}

platform::Shadow pageShadow(bool landscape)
{
    const double angle = landscape ? 0.0 : 1.570795;
    platform::Shadow shadow;
    // Down the page is positive here.
    shadow.offset = QSizeF(-4 * std::cos(angle), 4 * std::sin(angle));
    shadow.blurRadius = 7;
    shadow.color = QColor::fromRgbF(0.2f, 0.2f, 0.2f, 0.6f);
    return shadow;
}

// Fills the page white under its shadow.
void fillShadowedPage(platform::GraphicsContext& context, const QRectF& page, bool landscape)
{
    context.beginShadowedDrawing(pageShadow(landscape), page);
    context.painter()->fillRect(page, white);
    context.endShadowedDrawing();
}

QSize imagePixels(const QSizeF& page)
{
    return platform::OffscreenContext::pixelsFor(page + imageMargin, 1.0);
}

// A miniature's page, white under its shadow, on a clear picture of the miniature's size.
// The shadow's blur is most of a miniature's time and the same for every sheet of a paper
// size: the last few pages drawn (on each thread that draws) are kept and copied.
QImage shadowedPage(const QRectF& page, bool landscape)
{
    struct Drawn
    {
        QRectF page;
        bool landscape = false;
        QImage image;
    };
    constexpr qsizetype Kept = 4;
    thread_local QList<Drawn> kept;
    for (qsizetype i = 0; i < kept.size(); ++i) {
        const Drawn& drawn = kept.at(i);
        if (drawn.landscape == landscape && drawn.page.x() == page.x() && drawn.page.y() == page.y()
            && drawn.page.width() == page.width() && drawn.page.height() == page.height()) {
            kept.move(i, 0);
            return kept.first().image;
        }
    }
    platform::OffscreenContext offscreen(imagePixels(page.size()));
    if (offscreen.isActive())
        fillShadowedPage(offscreen.context(), page, landscape);
    kept.prepend({page, landscape, offscreen.image()});
    if (kept.size() > Kept)
        kept.removeLast();
    return kept.first().image;
}

// Starts a miniature with its shadowed page, pixel for pixel.
void drawShadowedPage(QPainter& painter, const QImage& shadowed)
{
    painter.save();
    painter.resetTransform();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(0, 0), shadowed);
    painter.restore();
}

} // namespace

platform::Shadow LBLayoutSheetController::previewShadow(bool landscape)
{
    return pageShadow(landscape);
}

platform::BezierPath LBLayoutSheetController::roundedRectWithRect(const QRectF& rect,
                                                                  double cornerRadius)
{
    return LabelOutlines::roundedRect(rect, cornerRadius);
}

void LBLayoutSheetController::drawOverlay(const QVariantMap& layout, const QRectF& viewBounds,
                                          const QRectF& cell)
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!context || !context->painter())
        return;
    QPainter& painter = *context->painter();
    context->saveGraphicsState();
    painter.setClipRect(viewBounds, Qt::IntersectClip);
    const QColor mask = QColor::fromRgbF(0, 0, 0, 0.5);
    const double x = cell.x(), y = cell.y(), w = cell.width(), h = cell.height();
    const double r = real(layout, Info::cornerRadius) * previewScale;
    if (r != 0) {
        const QRectF inner = cell.adjusted(r, r, -r, -r);
        struct Corner
        {
            QPointF from;
            QPointF centre;
            double start;
            QPointF to;
        };
        const Corner corners[] = {
            {{x, y + r}, inner.topLeft(), 180, {x, y}},
            {{x + w - r, y}, QPointF(inner.right(), inner.top()), 270, {x + w, y}},
            {{x + w, y + h - r}, inner.bottomRight(), 0, {x + w, y + h}},
            {{x + r, y + h}, QPointF(inner.left(), inner.bottom()), 90, {x, y + h}},
        };
        for (const Corner& corner : corners) {
            platform::BezierPath piece;
            piece.moveTo(corner.from);
            piece.appendBezierPathWithArcWithCenter(corner.centre, r, corner.start,
                                                    corner.start + 90);
            piece.lineTo(corner.to);
            piece.closePath();
            fill(painter, piece, mask);
        }
    } else {
        const double d = real(layout, Info::innerDiameter) * previewScale;
        const double D = real(layout, Info::outerDiameter) * previewScale;
        if (d != 0) {
            const QRectF box(x, y, real(layout, Info::labelWidth) * previewScale,
                             real(layout, Info::labelHeight) * previewScale);
            fill(painter, ovalPath(centredSquare(box, d)), mask);
        }
        if (D != 0) {
            const QPointF c(x + w / 2, y + h / 2);
            const double rho = D / 2;
            platform::BezierPath left;
            left.moveTo(QPointF(c.x(), c.y() + rho));
            left.appendBezierPathWithArcWithCenter(c, rho, 90, 270);
            left.lineTo(QPointF(x, y));
            left.lineTo(QPointF(x, y + D));
            left.closePath();
            fill(painter, left, mask);
            platform::BezierPath right;
            right.moveTo(QPointF(c.x(), c.y() - rho));
            right.appendBezierPathWithArcWithCenter(c, rho, 270, 450);
            right.lineTo(QPointF(x + w, y + h));
            right.lineTo(QPointF(x + w, y));
            right.closePath();
            fill(painter, right, mask);
        }
    }
    context->restoreGraphicsState();
}

QImage LBLayoutSheetController::previewImageForCard(const QVariantMap& card, qint64 projectType,
                                                    bool landscapeOrientation)
{
    const double s = scaleForProjectType(projectType);
    if (projectType == AddressLabelsProject) {
        const QSizeF paper = pageSizeOf(card);
        const QRectF page(pageOrigin, paper * s);
        const QImage shadowed = shadowedPage(page, landscapeOrientation);
        platform::OffscreenContext offscreen(imagePixels(page.size()));
        if (!offscreen.isActive())
            return QImage();
        QPainter& painter = *offscreen.painter();
        drawShadowedPage(painter, shadowed);
        painter.fillRect(page, lightGray);
        const Grid grid = gridOf(card, s);
        const QSizeF cellSize(real(card, Info::labelWidth) * s, real(card, Info::labelHeight) * s);
        const QPointF start(pageOrigin.x() + real(card, Info::leftMargin) * s,
                            pageOrigin.y() + real(card, Info::topMargin) * s);
        const bool rounded = card.contains(Info::cornerRadius);
        forEachCell(grid, start, cellSize, [&](qint64, const QPointF& at) {
            const QRectF cell(at, cellSize);
            const platform::BezierPath outline =
                rounded ? roundedRectWithRect(cell, real(card, Info::cornerRadius) * s)
                        : rectPath(cell, 1);
            fill(painter, outline, white);
            stroke(painter, outline, lightGray);
            drawFoldLines(painter, card, at, s);
        });
        return offscreen.image();
    }

    qint64 rows = Info::integer(card, Info::numRows);
    qint64 columns = Info::integer(card, Info::numColumns);
    const double W = real(card, Info::labelWidth);
    const double H = real(card, Info::labelHeight);
    QSizeF scaledPage = pixelDimensionsForPaper(card) * s;
    if (rows == 0) {
        scaledPage = QSizeF(W * s, H * s);
        rows = columns = 1;
    }
    if (projectType == EnvelopesProject)
        scaledPage = QSizeF(W * s, H * s);
    const QRectF page(pageOrigin, scaledPage);
    const QImage shadowed = shadowedPage(page, landscapeOrientation);
    platform::OffscreenContext offscreen(imagePixels(page.size()));
    if (!offscreen.isActive())
        return QImage();
    platform::GraphicsContext& context = offscreen.context();
    QPainter& painter = *offscreen.painter();
    drawShadowedPage(painter, shadowed);
    if (projectType == EnvelopesProject)
        return offscreen.image();
    const QSizeF cellSize(W * s, H * s);
    QPointF at(pageOrigin.x() + real(card, Info::leftMargin) * s,
               pageOrigin.y() + real(card, Info::topMargin) * s);
    const double startX = at.x();
    for (qint64 row = 0; row < rows; ++row) {
        for (qint64 column = 0; column < columns; ++column) {
            const QRectF cell(at, cellSize);
            context.saveGraphicsState();
            painter.setClipRect(page, Qt::IntersectClip);
            drawOverlay(card, page, cell);
            context.restoreGraphicsState();
            stroke(painter, rectPath(cell, 0), QColor::fromRgbF(0.8, 0.8, 0.8, 0.7));
            at.rx() += cellSize.width() + real(card, Info::hLabelSpace) * s;
        }
        at.rx() = startX;
        at.ry() += cellSize.height() + real(card, Info::vLabelSpace) * s;
    }
    return offscreen.image();
}

QImage LBLayoutSheetController::discPreviewImageForCard(const QVariantMap& layout,
                                                        qint64 projectType,
                                                        bool landscapeOrientation)
{
    const double s = scaleForProjectType(projectType);
    const QRectF page(pageOrigin, pageSizeOf(layout) * s);
    const QImage shadowed = shadowedPage(page, landscapeOrientation);
    platform::OffscreenContext offscreen(imagePixels(page.size()));
    if (!offscreen.isActive())
        return QImage();
    platform::GraphicsContext& context = offscreen.context();
    QPainter& painter = *offscreen.painter();
    drawShadowedPage(painter, shadowed);
    painter.fillRect(page, lightGray);
    const bool tray =
        Info::text(layout, Info::paperManufacturer).contains(QLatin1String("CD Tray"));

    for (const QVariant& entry : layout.value(Info::labels).toList()) {
        const QVariantMap label = entry.toMap();
        const QString name = Info::text(label, QStringLiteral("labelTypeDescription"));
        const DiscShape shape = discShapeForName(name);
        const QPointF position(labelDimension(Info::leftMargin, label) * s,
                               labelDimension(Info::topMargin, label) * s);
        const QSizeF size(labelDimension(Info::labelWidth, label) * s,
                          labelDimension(Info::labelHeight, label) * s);
        const double outer = real(label, Info::outerDiameter) * s;
        const double inner = real(label, Info::innerDiameter) * s;
        const Grid grid = gridOf(label, s);

        if (shape == DiscShape::Disc) {
            const double D = (label.contains(Info::outerDiameter)
                                  ? real(label, Info::outerDiameter)
                                  : std::max(labelDimension(Info::labelWidth, label),
                                             labelDimension(Info::labelHeight, label)))
                             * s;
            QPointF start = position;
            // Tray makers give the disc's centre rather than its corner.
            if (tray)
                start -= QPointF(D / 2, D / 2);
            forEachCell(grid, start, QSizeF(D, D), [&](qint64, const QPointF& at) {
                const QRectF box(pageOrigin + at, QSizeF(D, D));
                fill(painter, ovalPath(box), white);
                fill(painter, ovalPath(centredSquare(box, inner)), lightGray);
                drawFoldLines(painter, label, box.topLeft(), s);
            });
            continue;
        }
        forEachCell(grid, position, size, [&](qint64, const QPointF& at) {
            const QRectF cell(pageOrigin + at, size);
            QPointF origin = cell.topLeft();
            switch (shape) {
            case DiscShape::Rectangle: {
                const platform::BezierPath outline =
                    label.contains(Info::cornerRadius)
                        ? roundedRectWithRect(cell, real(label, Info::cornerRadius) * s)
                        : rectPath(cell, 1);
                fill(painter, outline, white);
                stroke(painter, outline, lightGray);
                if (!label.contains(QStringLiteral("foldLines")))
                    drawDefaultFoldLines(painter, name, cell, s);
                break;
            }
            case DiscShape::SlimCase:
            case DiscShape::TrayInside:
            case DiscShape::TrayOutside: {
                platform::BezierPath outline =
                    shape == DiscShape::SlimCase
                        ? LabelOutlines::slimCaseInsert(cell, cell.width(), false)
                        : LabelOutlines::trayInsert(cell, shape == DiscShape::TrayOutside, s,
                                                    false);
                outline.setLineWidth(0);
                fill(painter, outline, white);
                stroke(painter, outline, lightGray);
                break;
            }
            case DiscShape::FullDisc:
            case DiscShape::Ring: {
                const QRectF box(pageOrigin + position, QSizeF(outer, outer));
                origin = box.topLeft();
                if (shape == DiscShape::FullDisc) {
                    fill(painter, ovalPath(box), white);
                    fill(painter, ovalPath(centredSquare(box, inner)), lightGray);
                } else {
                    const double factor = name == QLatin1String("LightScribeTitle")
                                              ? 1.3185185185185184
                                              : 1.0518518518518518;
                    fill(painter, ovalPath(centredSquare(box, 0.6216216216216216 * outer)), white);
                    fill(painter, ovalPath(centredSquare(box, inner * factor)), lightGray);
                    stroke(painter, ovalPath(box), darkGray);
                    stroke(painter, ovalPath(centredSquare(box, inner)), darkGray);
                }
                break;
            }
            case DiscShape::BusinessCard: {
                const double diameter = std::max(cell.width(), cell.height());
                const QRectF circle = centredSquare(cell, diameter);
                origin = circle.topLeft();
                context.saveGraphicsState();
                painter.setClipRect(cell, Qt::IntersectClip);
                fill(painter, ovalPath(circle), white);
                context.restoreGraphicsState();
                const platform::BezierPath hole = ovalPath(centredSquare(cell, inner), 0);
                fill(painter, hole, lightGray);
                stroke(painter, hole, lightGray);
                break;
            }
            case DiscShape::Disc:
            case DiscShape::Unknown: break;
            }
            drawFoldLines(painter, label, origin, s);
        });
    }
    return offscreen.image();
}

void LBLayoutSheetController::createPreviewImage()
{
    const std::optional<QVariantMap> card = cardDictionaryAtIndex(_selectedRow);
    if (_selectedRow < 0 || !card)
        return;
    _previewImage = previewImageForCard(convertDimensionsToPoints(*card, false),
                                        _selectedProjectType, _landscapeOrientationSelected);
    _previewTurned = _landscapeOrientationSelected;
}

void LBLayoutSheetController::createDiscPreviewImage()
{
    const std::optional<QVariantMap> card = cardDictionaryAtIndex(_selectedRow);
    if (_selectedRow < 0 || !card)
        return;
    _previewImage = discPreviewImageForCard(convertDimensionsToPoints(*card, false),
                                            _selectedProjectType, _landscapeOrientationSelected);
    _previewTurned = _landscapeOrientationSelected;
}

void LBLayoutSheetController::updateCustomPreviewImage(const QImage& image,
                                                       bool landscapeOrientation)
{
    _customPreviewImage = image;
    _customPreviewTurned = landscapeOrientation;
    Q_EMIT changed();
}
