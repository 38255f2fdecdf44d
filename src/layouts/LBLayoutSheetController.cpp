#include "layouts/LBLayoutSheetController.h"

#include "platform/core/TextForms.h"

double LBLayoutSheetController::convertStringToPoints(const QString& string,
                                                      double defaultMultiplier)
{
    double multiplier = defaultMultiplier;
    if (string.endsWith(QLatin1String("mm")))
        multiplier = PointsPerMillimeter;
    else if (string.endsWith(QLatin1String("cm")))
        multiplier = PointsPerCentimeter;
    else if (string.endsWith(QLatin1String("in")) || string.endsWith(QLatin1String("inch"))
             || string.endsWith(QLatin1String("inches")))
        multiplier = PointsPerInch;
    return platform::floatValue(string) * multiplier;
}
