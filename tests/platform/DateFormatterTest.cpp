#include "platform/core/DateFormatter.h"

#include <gtest/gtest.h>

TEST(DateFormatter, StylesOfDateAndTime)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QDateTime when(QDate(2026, 12, 10), QTime(14, 5));
    using F = platform::DateFormatter;
    EXPECT_EQ(F(F::FullStyle, F::NoStyle, us).stringFromDate(when),
              QStringLiteral("Thursday, December 10, 2026"));
    EXPECT_EQ(F(F::ShortStyle, F::NoStyle, us).stringFromDate(when), QStringLiteral("12/10/26"));
    EXPECT_EQ(F(F::NoStyle, F::ShortStyle, us).stringFromDate(when), QStringLiteral("2:05 PM"));
    EXPECT_EQ(F(F::NoStyle, F::NoStyle, us).stringFromDate(when), QString());
}
