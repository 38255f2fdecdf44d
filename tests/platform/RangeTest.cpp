#include "platform/core/Range.h"

#include <gtest/gtest.h>

#include <limits>

using namespace platform;

TEST(Range, TextForms)
{
    EXPECT_EQ(stringFromRange(Range(3, 5)), QStringLiteral("{3, 5}"));
    struct Case
    {
        const char* text;
        Range range;
    };
    const Case cases[] = {
        {"{3, 5}", Range(3, 5)},
        {"{12,0}", Range(12, 0)},
        {"{7}", Range(7, 0)},
        {"", Range(0, 0)},
        {"loc 4 len 9 more 11", Range(4, 9)},
        {"{99999999999999999999999, 1}", Range(std::numeric_limits<qsizetype>::max(), 1)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rangeFromString(QString::fromLatin1(c.text)), c.range) << c.text;
}

TEST(Range, Arithmetic)
{
    EXPECT_EQ(Range::intersection(Range(2, 5), Range(4, 10)), Range(4, 3));
    EXPECT_EQ(Range::intersection(Range(2, 2), Range(6, 1)), Range(6, 0)); // apart
    EXPECT_EQ(Range::unionRange(Range(2, 2), Range(6, 1)), Range(2, 5));
    EXPECT_EQ(Range(8, 10).clampedTo(10), Range(8, 2));
    EXPECT_EQ(Range(12, 3).clampedTo(10), Range(10, 0));
    EXPECT_EQ(Range(-2, 3).clampedTo(10), Range(0, 1));
    EXPECT_EQ(Range(-5, 3).clampedTo(10), Range(0, 0));
    EXPECT_TRUE(Range(2, 3).contains(4));
    EXPECT_FALSE(Range(2, 3).contains(5));
}
