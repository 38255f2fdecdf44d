#pragma once

// The layout chooser. For now it offers what the rest of the program measures paper and
// label sizes with: turning a length text into points.

#include <QString>

class LBLayoutSheetController
{
public:
    // Points per unit of the length texts.
    static constexpr double PointsPerMillimeter = 2.83464567;
    static constexpr double PointsPerCentimeter = 28.3464567;
    static constexpr double PointsPerInch = 72.0;

    // The length a text states, in points: the number the text starts with (read as the
    // stored-number readers do; none reads 0) times the unit of its ending: "mm", "cm",
    // "in", "inch" or "inches"; a text with none of these endings is in units of
    // defaultMultiplier points. "210mm" is 595.2755907, "8.5in" 612, "7" with 1.0 is 7.
    static double convertStringToPoints(const QString& string, double defaultMultiplier);
};
