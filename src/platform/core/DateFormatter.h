#pragma once

// Dates and times as text in the platform's styles, in the user's locale: a formatter is
// made with a date style and a time style (either may be none) and kept, as formatting
// code keeps its formatters. The full date style names the weekday and the month
// ("Thursday, December 10, 2026" in US English).

#include <QDateTime>
#include <QLocale>
#include <QString>

namespace platform {

class DateFormatter
{
public:
    enum Style { NoStyle, ShortStyle, FullStyle };

    explicit DateFormatter(Style dateStyle, Style timeStyle = NoStyle,
                           const QLocale& locale = QLocale());

    // The date part, then the time part, separated by a space; empty when both are none.
    QString stringFromDate(const QDateTime& date) const;

private:
    Style _dateStyle;
    Style _timeStyle;
    QLocale _locale;
};

} // namespace platform
