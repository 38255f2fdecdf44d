#include "canvas/CanvasHost.h"

#include "platform/text/AttributedString.h"

QString CanvasHost::dateStringForDate(const QDateTime&, qint64) const
{
    return QString();
}

QString CanvasHost::timeStringForDate(const QDateTime&, qint64) const
{
    return QString();
}

QString CanvasHost::phoneFormatStringAtIndex(qint64) const
{
    return QString();
}

std::optional<platform::AttributedString>
CanvasHost::preformattedAddressStringForFieldStr(const QString&, bool)
{
    return std::nullopt;
}
