#pragma once

// A range of characters or glyphs: a start index and a count. The text system speaks in
// these; the document files store them in the text form "{location, length}".

#include <QString>
#include <QtGlobal>

namespace platform {

struct Range
{
    qsizetype location = 0;
    qsizetype length = 0;

    constexpr Range() = default;
    constexpr Range(qsizetype location, qsizetype length) : location(location), length(length) {}

    constexpr qsizetype end() const { return location + length; }
    constexpr bool isEmpty() const { return length == 0; }
    // Whether index lies in [location, end).
    constexpr bool contains(qsizetype index) const { return index >= location && index < end(); }
    constexpr bool operator==(const Range&) const = default;

    // The overlap of two ranges; an empty range at the later start when they do not meet.
    static Range intersection(const Range& a, const Range& b);
    // The smallest range covering both.
    static Range unionRange(const Range& a, const Range& b);
    // The part of the range within [0, size); a range beyond size becomes (size, 0).
    Range clampedTo(qsizetype size) const;
};

// "{3, 5}". The reader takes the first two unsigned integers of the text in order,
// whatever stands between them; missing numbers are 0.
QString stringFromRange(const Range& range);
Range rangeFromString(const QString& text);

} // namespace platform
