// Outlines of the labels of a per-label layout: the lengths of an entry, the shape each
// `labelTypeDescription` stands for, the quarter turn, and the path of all label faces.
//
// Every outline runs like a rectangle path from the top-left corner to the right (as
// the platform's ovals do), so an outline appended reversed cuts a hole under the
// non-zero rule. Arcs are the platform path's, whose angles grow from +x towards +y in
// page coordinates.

#include "window/LBWindowController.h"

#include "document/DimensionInfo.h"
#include "document/LBDocument.h"
#include "layouts/LBLayoutSheetController.h"
#include "platform/core/TextForms.h"

#include <QHash>
#include <QList>
#include <QPointF>

#include <algorithm>

namespace {

// The fixed steps of the jewel-box tray inserts, in points.
constexpr double TraySpineWidth = 62.4;
constexpr double TraySpineHeight = 42.44;
constexpr double TrayNotchOuter = 36.73;
constexpr double TrayNotchInner = 17.01;
constexpr double TrayNotchTop = 11.34;
constexpr double TrayNotchBottom = 28.35;

// The notches of the slim case insert, as fractions of the entry's width.
constexpr double SlimNotchEnd = 0.21691066061;
constexpr double SlimNotchSlope = 0.20260885881;
constexpr double SlimNotchStart = 0.06078265764;
constexpr double SlimNotchDepth = 0.01334834835;
constexpr double SlimCornerDepth = 0.0286036036;

platform::BezierPath closedPolygon(const QList<QPointF>& points)
{
    platform::BezierPath path;
    path.appendBezierPathWithPoints(points);
    path.closePath();
    return path;
}

} // namespace

double LBWindowController::dimensionForKey(const QString& key, const QVariantMap& fromDictionary)
{
    return LBLayoutSheetController::labelDimension(key, fromDictionary);
}

platform::BezierPath LBWindowController::roundedRectWithRect(const QRectF& rect,
                                                             double cornerRadius)
{
    const double r = cornerRadius;
    const QRectF inner = rect.adjusted(r, r, -r, -r);
    platform::BezierPath path;
    path.moveTo(QPointF(rect.left(), rect.top() + r));
    path.appendBezierPathWithArcWithCenter(inner.topLeft(), r, 180, 270);
    path.relativeLineTo(QPointF(inner.width(), 0));
    path.appendBezierPathWithArcWithCenter(QPointF(inner.right(), inner.top()), r, 270, 360);
    path.relativeLineTo(QPointF(0, inner.height()));
    path.appendBezierPathWithArcWithCenter(inner.bottomRight(), r, 0, 90);
    path.relativeLineTo(QPointF(-inner.width(), 0));
    path.appendBezierPathWithArcWithCenter(QPointF(inner.left(), inner.bottom()), r, 90, 180);
    path.closePath();
    path.setLineWidth(0);
    return path;
}

LBWindowController::LabelShape LBWindowController::labelShapeForEntry(const QVariantMap& entry)
{
    static const QHash<QString, LabelShape> shapes = {
        {QStringLiteral("CDDisc"), LabelShape::Disc},
        {QStringLiteral("CDCore"), LabelShape::Disc},
        {QStringLiteral("CDMini"), LabelShape::Disc},
        {QStringLiteral("LabelFlashFull"), LabelShape::Disc},
        {QStringLiteral("DiscT@2"), LabelShape::Disc},
        {QStringLiteral("PappaVinylCD"), LabelShape::Disc},
        {QStringLiteral("PappaSuperCD"), LabelShape::Disc},
        {QStringLiteral("LightScribeFull"), LabelShape::LightScribe},
        {QStringLiteral("LightScribeContent"), LabelShape::LightScribe},
        {QStringLiteral("LightScribeTitle"), LabelShape::LightScribe},
        {QStringLiteral("CDSlimCaseInsert"), LabelShape::SlimCaseInsert},
        {QStringLiteral("SuperJewelBoxCDTrayInsertInside"), LabelShape::TrayInsertInside},
        {QStringLiteral("SuperJewelBoxDVDTrayInsertInside"), LabelShape::TrayInsertInside},
        {QStringLiteral("SuperJewelBoxCDTrayInsertOutside"), LabelShape::TrayInsertOutside},
        {QStringLiteral("SuperJewelBoxDVDTrayInsertOutside"), LabelShape::TrayInsertOutside},
    };
    const QVariant name = entry.value(QStringLiteral("labelTypeDescription"));
    if (name.typeId() != QMetaType::QString)
        return LabelShape::Rectangle;
    return shapes.value(name.toString(), LabelShape::Rectangle);
}

std::optional<QVariantList> LBWindowController::labelEntries(const QVariantMap& layout)
{
    const QVariant labels = layout.value(DimensionInfo::labels);
    if (labels.typeId() != QMetaType::QVariantList)
        return std::nullopt;
    return labels.toList();
}

bool LBWindowController::rotatesLabels(const QVariantMap& layout)
{
    const QVariant value = layout.value(DimensionInfo::rotateLabels);
    return value.typeId() == QMetaType::QString && value.toString() == QLatin1String("YES");
}

bool LBWindowController::centresFirstDisc(const QVariantMap& layout)
{
    return DimensionInfo::text(layout, DimensionInfo::paperManufacturer)
        .contains(QLatin1String("CD Tray"));
}

QRectF LBWindowController::entryRect(const QVariantMap& entry, const QRectF& bounds, bool rotated)
{
    const double x = dimensionForKey(DimensionInfo::leftMargin, entry);
    const double y = dimensionForKey(DimensionInfo::topMargin, entry);
    const double w = dimensionForKey(DimensionInfo::labelWidth, entry);
    const double h = dimensionForKey(DimensionInfo::labelHeight, entry);
    if (rotated)
        return QRectF(bounds.x() + y, bounds.y() + bounds.height() - x - w, h, w);
    return QRectF(bounds.x() + x, bounds.y() + y, w, h);
}

LBWindowController::DiscFace LBWindowController::discFace(double x, double y, double D, double d,
                                                          const QRectF& bounds, bool rotated)
{
    DiscFace face;
    face.circle = rotated ? QRectF(bounds.x() + y, bounds.y() + bounds.height() - x - D, D, D)
                          : QRectF(bounds.x() + x, bounds.y() + y, D, D);
    face.hole = QRectF(face.circle.x() + (D - d) / 2, face.circle.y() + (D - d) / 2, d, d);
    return face;
}

LBWindowController::DiscFace LBWindowController::discFaceForEntry(const QVariantMap& entry,
                                                                  bool centred,
                                                                  const QRectF& bounds,
                                                                  bool rotated)
{
    const double D = entry.contains(DimensionInfo::outerDiameter)
                         ? DimensionInfo::real(entry, DimensionInfo::outerDiameter)
                         : std::max(dimensionForKey(DimensionInfo::labelWidth, entry),
                                    dimensionForKey(DimensionInfo::labelHeight, entry));
    double x = dimensionForKey(DimensionInfo::leftMargin, entry);
    double y = dimensionForKey(DimensionInfo::topMargin, entry);
    if (centred) {
        x -= D / 2;
        y -= D / 2;
    }
    return discFace(x, y, D, DimensionInfo::real(entry, DimensionInfo::innerDiameter), bounds,
                    rotated);
}

platform::BezierPath LBWindowController::insertOutline(LabelShape shape, const QVariantMap& entry,
                                                       const QRectF& bounds, bool rotated)
{
    const QRectF r = entryRect(entry, bounds, rotated);
    const double X = r.x(), Y = r.y(), W = r.width(), H = r.height();

    if (shape == LabelShape::SlimCaseInsert) {
        // Proportional to the width the entry gives, before any turn.
        const double s = dimensionForKey(DimensionInfo::labelWidth, entry);
        const double end = SlimNotchEnd * s, slope = SlimNotchSlope * s;
        const double start = SlimNotchStart * s, depth = SlimNotchDepth * s;
        const double corner = SlimCornerDepth * s;
        if (!rotated) {
            return closedPolygon({{X + W, Y},
                                  {X + W, Y + H},
                                  {X + end, Y + H},
                                  {X + slope, Y + H - depth},
                                  {X + start, Y + H - depth},
                                  {X, Y + H - corner},
                                  {X, Y + corner},
                                  {X + start, Y + depth},
                                  {X + slope, Y + depth},
                                  {X + end, Y}});
        }
        return closedPolygon({{X, Y},
                              {X + W, Y},
                              {X + W, Y + H - end},
                              {X + W - depth, Y + H - slope},
                              {X + W - depth, Y + H - start},
                              {X + W - corner, Y + H},
                              {X + corner, Y + H},
                              {X + depth, Y + H - start},
                              {X + depth, Y + H - slope},
                              {X, Y + H - end}});
    }

    const double sw = TraySpineWidth, sh = TraySpineHeight;
    const double no = TrayNotchOuter, ni = TrayNotchInner, nt = TrayNotchTop, nb = TrayNotchBottom;
    QList<QPointF> inside;
    if (!rotated) {
        inside = {{X, Y + sh},
                  {X + sw, Y + sh},
                  {X + sw, Y},
                  {X + W - no, Y},
                  {X + W - no, Y + nt},
                  {X + W - ni, Y + nt},
                  {X + W - ni, Y + nb},
                  {X + W, Y + nb},
                  {X + W, Y + H - nb},
                  {X + W - ni, Y + H - nb},
                  {X + W - ni, Y + H - nt},
                  {X + W - no, Y + H - nt},
                  {X + W - no, Y + H},
                  {X + sw, Y + H},
                  {X + sw, Y + H - sh},
                  {X, Y + H - sh}};
    } else {
        inside = {
            {X + sh, Y + H},  {X + sh, Y + H - sw}, {X, Y + H - sw},          {X, Y + no},
            {X + nt, Y + no}, {X + nt, Y + ni},     {X + nb, Y + ni},         {X + nb, Y},
            {X + W - nb, Y},  {X + W - nb, Y + ni}, {X + W - nt, Y + ni},     {X + W - nt, Y + no},
            {X + W, Y + no},  {X + W, Y + H - sw},  {X + W - sh, Y + H - sw}, {X + W - sh, Y + H}};
    }
    if (shape == LabelShape::TrayInsertInside)
        return closedPolygon(inside);

    // The outside insert is the inside one mirrored left to right on the unturned sheet
    // (top to bottom on the turned one). Mirrored it runs the other way round; taken
    // backwards from the same first corner it runs like every other outline again, so
    // that appended reversed it still cuts its face out of the overlay's shading.
    Q_ASSERT(shape == LabelShape::TrayInsertOutside);
    for (QPointF& point : inside) {
        if (rotated)
            point.setY(2 * Y + H - point.y());
        else
            point.setX(2 * X + W - point.x());
    }
    std::reverse(inside.begin() + 1, inside.end());
    return closedPolygon(inside);
}

platform::BezierPath LBWindowController::rectangleOutline(const QVariantMap& entry,
                                                          const QRectF& bounds, bool rotated)
{
    const QRectF rect = entryRect(entry, bounds, rotated);
    if (entry.contains(DimensionInfo::cornerRadius))
        return roundedRectWithRect(rect, DimensionInfo::real(entry, DimensionInfo::cornerRadius));
    return platform::BezierPath::withRect(rect);
}

std::optional<platform::BezierPath>
LBWindowController::discLabelsPathForViewBounds(const QRectF& bounds) const
{
    const LBDocument* doc = document();
    if (!doc)
        return std::nullopt;
    const QVariantMap& layout = doc->dimensionInfo();
    const std::optional<QVariantList> entries = labelEntries(layout);
    if (!entries)
        return std::nullopt;

    // Half a screen pixel more on every side, so the faces reach the pixels their edges
    // touch.
    const double grow = 0.5 / zoomFactor();
    const QRectF B = bounds.adjusted(-grow, -grow, grow, grow);
    const bool rotated = rotatesLabels(layout);
    const bool centred = centresFirstDisc(layout);

    platform::BezierPath path;
    for (qsizetype i = 0; i < entries->size(); ++i) {
        const QVariant& value = entries->at(i);
        if (value.typeId() != QMetaType::QVariantMap)
            continue;
        const QVariantMap entry = value.toMap();
        switch (const LabelShape shape = labelShapeForEntry(entry)) {
        case LabelShape::Disc:
        case LabelShape::LightScribe: {
            const DiscFace face = discFaceForEntry(entry, i == 0 && centred, B, rotated);
            path.appendBezierPathWithOvalInRect(face.circle);
            path.appendBezierPath(
                platform::BezierPath::withOvalInRect(face.hole).bezierPathByReversingPath());
            break;
        }
        case LabelShape::SlimCaseInsert:
        case LabelShape::TrayInsertInside:
        case LabelShape::TrayInsertOutside:
            path.appendBezierPath(insertOutline(shape, entry, B, rotated));
            break;
        case LabelShape::Rectangle:
            path.appendBezierPath(rectangleOutline(entry, B, rotated));
            break;
        }
    }
    return path;
}
