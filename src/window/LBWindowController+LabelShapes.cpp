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
#include "layouts/LabelOutlines.h"
#include "platform/core/TextForms.h"

#include <QHash>
#include <QList>
#include <QPointF>

#include <algorithm>

double LBWindowController::dimensionForKey(const QString& key, const QVariantMap& fromDictionary)
{
    return LBLayoutSheetController::labelDimension(key, fromDictionary);
}

platform::BezierPath LBWindowController::roundedRectWithRect(const QRectF& rect,
                                                             double cornerRadius)
{
    return LabelOutlines::roundedRect(rect, cornerRadius);
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
    if (shape == LabelShape::SlimCaseInsert) {
        // Proportional to the width the entry gives, before any turn.
        return LabelOutlines::slimCaseInsert(r, dimensionForKey(DimensionInfo::labelWidth, entry),
                                             rotated);
    }
    Q_ASSERT(shape == LabelShape::TrayInsertInside || shape == LabelShape::TrayInsertOutside);
    return LabelOutlines::trayInsert(r, shape == LabelShape::TrayInsertOutside, 1.0, rotated);
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
