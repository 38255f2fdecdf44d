#pragma once

// Reading and writing one entry of a graphic's effects list: its kind under "effect", the
// six integer parameters "modifier0" to "modifier5", the four positions "location0" to
// "location3" (point texts, fractions of the picture) and the archived colour
// "colorData". Internal to the graphics folder.

#include "platform/core/Archive.h"
#include "platform/core/TextForms.h"

#include <QByteArray>
#include <QColor>
#include <QPointF>
#include <QString>
#include <QVariantMap>

namespace effectentry {

inline const QString kEffect = QStringLiteral("effect");
inline const QString kColorData = QStringLiteral("colorData");

inline QString modifierKey(int index)
{
    return QStringLiteral("modifier%1").arg(index);
}

inline QString locationKey(int index)
{
    return QStringLiteral("location%1").arg(index);
}

inline qint64 kind(const QVariantMap& entry)
{
    return platform::integerValue(entry.value(kEffect));
}

// A missing modifier reads as 0.
inline qint64 modifier(const QVariantMap& entry, int index)
{
    return platform::integerValue(entry.value(modifierKey(index)));
}

// A missing location reads as the middle of the picture.
inline QPointF location(const QVariantMap& entry, int index)
{
    const QVariant value = entry.value(locationKey(index));
    return value.isValid() ? platform::pointFromString(value.toString()) : QPointF(0.5, 0.5);
}

// The stored form of a colour: an archived colour; an invalid colour (none) archives as
// empty data, and data that is not an archived colour reads as none.
inline QByteArray colorData(const QColor& color)
{
    return platform::Archive::archivedDataWithColor(color);
}

inline QColor colorFromData(const QByteArray& data)
{
    if (data.isEmpty())
        return QColor();
    return platform::Archive::colorFromArchivedData(data).value_or(QColor());
}

// The entry's colour; invalid when it has none.
inline QColor color(const QVariantMap& entry)
{
    return colorFromData(entry.value(kColorData).toByteArray());
}

} // namespace effectentry
