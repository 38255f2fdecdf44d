#include "platform/core/DateFormatter.h"

#include <QStringList>

namespace platform {

DateFormatter::DateFormatter(Style dateStyle, Style timeStyle, const QLocale& locale)
    : _dateStyle(dateStyle), _timeStyle(timeStyle), _locale(locale)
{}

QString DateFormatter::stringFromDate(const QDateTime& date) const
{
    QStringList parts;
    if (_dateStyle != NoStyle)
        parts.append(_locale.toString(date.date(), _dateStyle == FullStyle ? QLocale::LongFormat
                                                                           : QLocale::ShortFormat));
    if (_timeStyle != NoStyle)
        parts.append(_locale.toString(date.time(), _timeStyle == FullStyle ? QLocale::LongFormat
                                                                           : QLocale::ShortFormat));
    return parts.join(u' ');
}

} // namespace platform
