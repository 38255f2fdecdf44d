// Lengths and paper sizes, and the readers of the layout dictionary's cells, of a
// per-label record and of the project description.

#include "layouts/LBLayoutSheetController.h"

#include "document/DimensionInfo.h"
#include "platform/core/TextForms.h"
#include "platform/ui/Beep.h"

#include <QHash>

#include <array>

#include <algorithm>

namespace {

using Info = DimensionInfo;

const QHash<QString, QSizeF>& namedPapers()
{
    static const QHash<QString, QSizeF> papers = {
        {QStringLiteral("Letter"), {612, 792}},
        {QStringLiteral("US Letter"), {612, 792}},
        {QStringLiteral("Letter1"), {288, 432}},
        {QStringLiteral("4x6 in"), {288, 432}},
        {QStringLiteral("Letter2"), {306, 720}},
        {QStringLiteral("Legal"), {612, 1008}},
        {QStringLiteral("Tabloid"), {792, 1224}},
        {QStringLiteral("A3"), {841.68, 1190.88}},
        {QStringLiteral("A4"), {595.2755907, 841.88976399}},
        {QStringLiteral("A4-Long"), {558.72, 1190.88}},
        {QStringLiteral("A5"), {419.52755916, 595.2755907}},
        {QStringLiteral("B4 JIS"), {728.50393719, 1031.81102388}},
        {QStringLiteral("B5"), {515.90551194, 728.50393719}},
        {QStringLiteral("A4-Half"), {420.944881995, 595.2755907}},
        {QStringLiteral("CD-R Tray C"), {390.24, 676.8}},
        {QStringLiteral("HP CD Tray"), {390.24, 676.8}},
        {QStringLiteral("Primera CD Tray"), {612, 792}},
    };
    return papers;
}

// A length of a layout: a text with or without a unit (points without one), or a number
// in single precision; nullopt for a value that is neither.
std::optional<double> layoutLength(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString)
        return LBLayoutSheetController::convertStringToPoints(value.toString(), 1.0);
    if (platform::isNumberType(value.typeId()))
        return double(float(value.toDouble()));
    return std::nullopt;
}

bool usable(const QSizeF& size)
{
    return size.width() > 0.0 && size.height() > 0.0;
}

const QString shortX = QStringLiteral("x");
const QString shortY = QStringLiteral("y");
const QString shortWidth = QStringLiteral("width");
const QString shortHeight = QStringLiteral("height");

} // namespace

double LBLayoutSheetController::convertStringToPoints(const QString& string,
                                                      double defaultMultiplier)
{
    double multiplier = defaultMultiplier;
    if (string.endsWith(QLatin1String("mm")))
        multiplier = PointsPerMillimeter;
    else if (string.endsWith(QLatin1String("in")) || string.endsWith(QLatin1String("inch"))
             || string.endsWith(QLatin1String("inches")))
        multiplier = PointsPerInch;
    else if (string.endsWith(QLatin1String("cm")))
        multiplier = PointsPerCentimeter;
    return platform::floatValue(string) * multiplier;
}

QSizeF LBLayoutSheetController::pixelDimensionsForPaperName(const QString& name)
{
    const auto named = namedPapers().constFind(name);
    if (named != namedPapers().cend())
        return *named;
    if (!name.contains(QLatin1Char('x')))
        return QSizeF(0, 0);

    double multiplier = 0.0;
    if (name.endsWith(QLatin1String("cm")))
        multiplier = PointsPerCentimeter;
    else if (name.endsWith(QLatin1String("mm")))
        multiplier = PointsPerMillimeter;
    else if (name.endsWith(QLatin1String("in")))
        multiplier = PointsPerInch;
    const QStringList sides = name.split(QLatin1Char('x'));
    if (multiplier == 0.0 || sides.size() != 2)
        return QSizeF(0, 0);
    return QSizeF(convertStringToPoints(sides[0], multiplier),
                  convertStringToPoints(sides[1], multiplier));
}

QSizeF LBLayoutSheetController::pixelDimensionsForPaper(const QVariantMap& layout)
{
    const QSizeF page(layoutLength(layout.value(Info::pageWidth)).value_or(0.0),
                      layoutLength(layout.value(Info::pageHeight)).value_or(0.0));
    if (usable(page))
        return page;
    const QSizeF paper = pixelDimensionsForPaperName(Info::text(layout, Info::paperSize));
    if (usable(paper))
        return paper;
    const std::optional<double> width = layoutLength(layout.value(Info::labelWidth));
    const std::optional<double> height = layoutLength(layout.value(Info::labelHeight));
    if (!width || !height) {
        platform::beep();
        return QSizeF(0, 0);
    }
    return QSizeF(*width, *height);
}

QRectF LBLayoutSheetController::cellRect(const QVariantMap& layout, qint64 row, qint64 column)
{
    const double width = Info::real(layout, Info::labelWidth);
    const double height = Info::real(layout, Info::labelHeight);
    return QRectF(Info::real(layout, Info::leftMargin)
                      + double(column) * (width + Info::real(layout, Info::hLabelSpace)),
                  Info::real(layout, Info::topMargin)
                      + double(row) * (height + Info::real(layout, Info::vLabelSpace)),
                  width, height);
}

double LBLayoutSheetController::labelDimension(const QString& key, const QVariantMap& label)
{
    static const QHash<QString, std::array<QString, 2>> lookups = {
        {Info::leftMargin, {shortX, Info::leftMargin}},
        {shortX, {shortX, Info::leftMargin}},
        {Info::topMargin, {shortY, Info::topMargin}},
        {shortY, {shortY, Info::topMargin}},
        {Info::labelWidth, {shortWidth, Info::labelWidth}},
        {shortWidth, {shortWidth, Info::labelWidth}},
        {Info::labelHeight, {shortHeight, Info::labelHeight}},
        {shortHeight, {shortHeight, Info::labelHeight}},
    };
    const auto lookup = lookups.constFind(key);
    if (lookup == lookups.constEnd())
        return 0.0;
    for (const QString& name : *lookup) {
        const auto value = label.constFind(name);
        if (value != label.constEnd())
            return platform::floatValue(*value);
    }
    return 0.0;
}

double LBLayoutSheetController::labelOuterDiameter(const QVariantMap& label)
{
    return Info::real(label, Info::outerDiameter);
}

double LBLayoutSheetController::labelInnerDiameter(const QVariantMap& label)
{
    return Info::real(label, Info::innerDiameter);
}

QRectF LBLayoutSheetController::labelRect(const QVariantMap& label)
{
    const QPointF origin(labelDimension(Info::leftMargin, label),
                         labelDimension(Info::topMargin, label));
    if (label.contains(Info::innerDiameter)) {
        const double diameter = labelOuterDiameter(label);
        return QRectF(origin, QSizeF(diameter, diameter));
    }
    return QRectF(origin, QSizeF(labelDimension(Info::labelWidth, label),
                                 labelDimension(Info::labelHeight, label)));
}

QList<QLineF> LBLayoutSheetController::labelFoldLines(const QVariantMap& label)
{
    QList<QLineF> lines;
    for (const QVariant& entry : label.value(QStringLiteral("foldLines")).toList()) {
        const QVariantMap line = entry.toMap();
        lines.append(
            QLineF(Info::real(line, QStringLiteral("x1")), Info::real(line, QStringLiteral("y1")),
                   Info::real(line, QStringLiteral("x2")), Info::real(line, QStringLiteral("y2"))));
    }
    return lines;
}

qint64 LBLayoutSheetController::projectTypeOfDescription(const QVariantMap& description)
{
    if (description.contains(QStringLiteral("ProjectType")))
        return Info::integer(description, QStringLiteral("ProjectType"));
    return projectTypeForName(Info::text(description, QStringLiteral("ProjectTypeName")));
}
