#include "platform/core/Range.h"

#include <algorithm>
#include <limits>

namespace platform {

Range Range::intersection(const Range& a, const Range& b)
{
    const qsizetype start = std::max(a.location, b.location);
    const qsizetype stop = std::min(a.end(), b.end());
    return stop > start ? Range(start, stop - start) : Range(start, 0);
}

Range Range::unionRange(const Range& a, const Range& b)
{
    const qsizetype start = std::min(a.location, b.location);
    return Range(start, std::max(a.end(), b.end()) - start);
}

Range Range::clampedTo(qsizetype size) const
{
    qsizetype start = location;
    qsizetype count = std::max<qsizetype>(length, 0);
    if (start < 0) { // the part before 0 is cut off
        count = std::max<qsizetype>(count + start, 0);
        start = 0;
    }
    start = std::min(start, size);
    return Range(start, std::min(count, size - start));
}

QString stringFromRange(const Range& range)
{
    return QStringLiteral("{%1, %2}").arg(range.location).arg(range.length);
}

Range rangeFromString(const QString& text)
{
    qsizetype numbers[2] = {0, 0};
    int found = 0;
    qsizetype i = 0;
    const qsizetype size = text.size();
    while (found < 2 && i < size) {
        if (!text.at(i).isDigit() || text.at(i).unicode() > 127) {
            ++i;
            continue;
        }
        qsizetype value = 0;
        for (; i < size && text.at(i).unicode() >= '0' && text.at(i).unicode() <= '9'; ++i) {
            // Saturate instead of overflowing on absurdly long digit runs.
            const int digit = text.at(i).unicode() - '0';
            value = value > (std::numeric_limits<qsizetype>::max() - digit) / 10
                        ? std::numeric_limits<qsizetype>::max()
                        : value * 10 + digit;
        }
        numbers[found++] = value;
    }
    return Range(numbers[0], numbers[1]);
}

} // namespace platform
