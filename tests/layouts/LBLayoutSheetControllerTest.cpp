// Length texts of the catalogue and the paper names turned into points.

#include "layouts/LBLayoutSheetController.h"

#include <gtest/gtest.h>

TEST(LBLayoutSheetController, ConvertsLengthTextsByTheirUnit)
{
    struct Case
    {
        const char* text;
        double multiplier;
        double points;
    };
    const Case cases[] = {
        {"210mm", 1.0, 210 * 2.83464567},
        {"2cm", 1.0, 2 * 28.3464567},
        {"8.5in", 1.0, 612},
        {"1inch", 1.0, 72},
        {"2inches", 1.0, 144},
        {"7", 1.0, 7},
        {"7", 72.0, 504},      // no unit: the caller's
        {"abc", 72.0, 0},      // no number reads 0
        {" 3.5 in", 1.0, 252}, // the leading number, whatever follows it
        {"11MM", 2.0, 22},     // units are lower case
        {"-1in", 1.0, -72},
        {"", 5.0, 0},
    };
    for (const Case& c : cases)
        EXPECT_NEAR(LBLayoutSheetController::convertStringToPoints(QString::fromLatin1(c.text),
                                                                   c.multiplier),
                    c.points, 1e-4)
            << c.text;
}
