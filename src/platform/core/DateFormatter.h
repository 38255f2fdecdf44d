#pragma once

// Dates and times as text in the platform's styles, in the user's locale: a formatter is
// made with a date style and a time style (either may be none) and kept, as formatting
// code keeps its formatters. The full date style names the weekday and the month
// ("Thursday, December 10, 2026" in US English); the long style drops the weekday
// ("December 10, 2026"), the medium style shortens the month ("Dec 10, 2026") and the
// short style is the locale's short form ("12/10/26"). Any style may leave the year out
// (its year fields and the separators that tie them on are removed from the pattern).
//
// stringFromStrftimePattern() formats calendar patterns of the C library's strftime
// (%A %a %B %b %d %e %m %y %Y %j %H %I %M %S %p %%) with the locale's names, without
// touching the process's C locale.

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace platform {

class DateFormatter
{
public:
    enum Style { NoStyle, ShortStyle, FullStyle, MediumStyle, LongStyle };

    explicit DateFormatter(Style dateStyle, Style timeStyle = NoStyle,
                           const QLocale& locale = QLocale(), bool withoutYear = false);

    // The date part, then the time part, separated by a space; empty when both are none.
    QString stringFromDate(const QDateTime& date) const;
    // The pattern (in QLocale's notation) the date style formats with.
    QString datePattern() const { return _datePattern; }

    static QString datePatternForStyle(Style style, const QLocale& locale, bool withoutYear);
    static QString stringFromStrftimePattern(const QDateTime& date, const QString& pattern,
                                             const QLocale& locale = QLocale());

private:
    Style _dateStyle;
    Style _timeStyle;
    QLocale _locale;
    QString _datePattern;
};

} // namespace platform
