#include "document/DimensionInfo.h"

#include "platform/core/TextForms.h"

#include <cmath>

qint64 DimensionInfo::integer(const QVariantMap& info, const QString& key)
{
    return platform::integerValue(info.value(key));
}

double DimensionInfo::real(const QVariantMap& info, const QString& key)
{
    return platform::floatValue(info.value(key));
}

QString DimensionInfo::text(const QVariantMap& info, const QString& key)
{
    const QVariant value = info.value(key);
    if (value.typeId() == QMetaType::QString || platform::isNumberType(value.typeId()))
        return value.toString();
    return QStringLiteral("");
}

QVariantMap DimensionInfo::defaults(const QSizeF& pageSize)
{
    return {
        {documentType, qint64(1)},
        {paperManufacturer, QStringLiteral("Quarn")},
        {paperCode, QStringLiteral("0")},
        {paperSize, QStringLiteral("Letter")},
        {pageWidth, pageSize.width()},
        {pageHeight, pageSize.height()},
        {labelType, qint64(1)},
        {startLabel, qint64(1)},
        {labelDirection, qint64(1)},
        {labelWidth, 252.0},
        {labelHeight, 144.0},
        {numRows, qint64(5)},
        {numColumns, qint64(2)},
        {topMargin, 36.0},
        {leftMargin, 54.0},
        {hLabelSpace, 0.0},
        {vLabelSpace, 0.0},
        {cornerRadius, 0.0},
        {innerDiameter, 0.0},
        {outerDiameter, 0.0},
    };
}

DimensionInfo::Cell DimensionInfo::cellOfLabel(const QVariantMap& info, qint64 labelNumber)
{
    const qint64 index = qMax<qint64>(0, labelNumber - 1);
    if (integer(info, labelDirection) == ColumnByColumn) {
        const qint64 rows = integer(info, numRows);
        return rows > 0 ? Cell{index % rows, index / rows} : Cell{};
    }
    const qint64 columns = integer(info, numColumns);
    return columns > 0 ? Cell{index / columns, index % columns} : Cell{};
}

QString DimensionInfo::faultOfBounds(const QVariantMap& info)
{
    for (const QString& key : {numRows, numColumns}) {
        if (integer(info, key) > MaxRowsOrColumns)
            return QStringLiteral("%1 is above %2").arg(key).arg(MaxRowsOrColumns);
    }
    for (const QString& key : {pageWidth, pageHeight}) {
        // (Not a number is past every bound too.)
        if (!(std::abs(real(info, key)) <= MaxPageSide))
            return QStringLiteral("%1 is not within %2 points").arg(key).arg(MaxPageSide);
    }
    return QString();
}
