#include "platform/core/DateFormatter.h"

#include <QStringList>

namespace platform {

namespace {

bool isPatternLetter(QChar c)
{
    return c.isLetter();
}

// Removes every run of `letter` and the separators that tie it to its neighbours: those
// after it when it opens the pattern, else those before it.
QString removeField(const QString& pattern, QChar letter)
{
    QString out = pattern;
    for (qsizetype i = 0; i < out.size();) {
        if (out.at(i) == QLatin1Char('\'')) {
            const qsizetype close = out.indexOf(QLatin1Char('\''), i + 1);
            i = close < 0 ? out.size() : close + 1;
            continue;
        }
        if (out.at(i) != letter) {
            ++i;
            continue;
        }
        qsizetype end = i;
        while (end < out.size() && out.at(end) == letter)
            ++end;
        qsizetype from = i;
        qsizetype to = end;
        qsizetype before = i;
        while (before > 0 && !isPatternLetter(out.at(before - 1)))
            --before;
        if (before == 0) {
            while (to < out.size() && !isPatternLetter(out.at(to)))
                ++to;
        } else {
            from = before;
        }
        out.remove(from, to - from);
        i = from;
    }
    return out.trimmed();
}

} // namespace

DateFormatter::DateFormatter(Style dateStyle, Style timeStyle, const QLocale& locale,
                             bool withoutYear)
    : _dateStyle(dateStyle),
      _timeStyle(timeStyle),
      _locale(locale),
      _datePattern(datePatternForStyle(dateStyle, locale, withoutYear))
{}

QString DateFormatter::datePatternForStyle(Style style, const QLocale& locale, bool withoutYear)
{
    QString pattern;
    switch (style) {
    case NoStyle: return {};
    case ShortStyle: pattern = locale.dateFormat(QLocale::ShortFormat); break;
    case FullStyle: pattern = locale.dateFormat(QLocale::LongFormat); break;
    case LongStyle:
    case MediumStyle:
        // The full pattern without its weekday.
        pattern = locale.dateFormat(QLocale::LongFormat);
        pattern.replace(QLatin1String("dddd"), QLatin1String("\x01"));
        pattern = removeField(pattern, QChar(1));
        if (style == MediumStyle)
            pattern.replace(QLatin1String("MMMM"), QLatin1String("MMM"));
        break;
    }
    if (withoutYear)
        pattern = removeField(pattern, QLatin1Char('y'));
    return pattern;
}

QString DateFormatter::stringFromDate(const QDateTime& date) const
{
    QStringList parts;
    if (_dateStyle != NoStyle)
        parts.append(_locale.toString(date.date(), _datePattern));
    if (_timeStyle != NoStyle)
        parts.append(_locale.toString(date.time(), _timeStyle == FullStyle ? QLocale::LongFormat
                                                                           : QLocale::ShortFormat));
    return parts.join(u' ');
}

QString DateFormatter::stringFromStrftimePattern(const QDateTime& date, const QString& pattern,
                                                 const QLocale& locale)
{
    const QDate d = date.date();
    const QTime t = date.time();
    const auto two = [](int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); };
    QString out;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c != QLatin1Char('%') || i + 1 >= pattern.size()) {
            out.append(c);
            continue;
        }
        const QChar f = pattern.at(++i);
        switch (f.unicode()) {
        case 'A': out += locale.dayName(d.dayOfWeek(), QLocale::LongFormat); break;
        case 'a': out += locale.dayName(d.dayOfWeek(), QLocale::ShortFormat); break;
        case 'B': out += locale.standaloneMonthName(d.month(), QLocale::LongFormat); break;
        case 'b':
        case 'h': out += locale.standaloneMonthName(d.month(), QLocale::ShortFormat); break;
        case 'd': out += two(d.day()); break;
        case 'e': out += QStringLiteral("%1").arg(d.day(), 2); break;
        case 'm': out += two(d.month()); break;
        case 'y': out += two(d.year() % 100); break;
        case 'Y': out += QString::number(d.year()); break;
        case 'j': out += QStringLiteral("%1").arg(d.dayOfYear(), 3, 10, QLatin1Char('0')); break;
        case 'H': out += two(t.hour()); break;
        case 'I': out += two(t.hour() % 12 == 0 ? 12 : t.hour() % 12); break;
        case 'M': out += two(t.minute()); break;
        case 'S': out += two(t.second()); break;
        case 'p': out += t.hour() < 12 ? locale.amText() : locale.pmText(); break;
        case '%': out += QLatin1Char('%'); break;
        default:
            out += QLatin1Char('%');
            out += f;
            break;
        }
    }
    return out;
}

} // namespace platform
