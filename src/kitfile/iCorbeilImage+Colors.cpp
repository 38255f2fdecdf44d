// Colour naming and colour strings of a kit graphic: the 16 named colours, the conversion
// to CIE Lab, the three Lab differences, and the styled colour texts with their swatches.

#include "kitfile/iCorbeilImage.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/text/AttributedString.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <limits>
#include <numbers>

namespace {

double degrees(double radians)
{
    return radians * 180.0 / std::numbers::pi;
}

double radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

// sRGB's transfer curve undone, mirrored for the negative values of extended colours.
double linear(double component)
{
    const double magnitude = std::abs(component);
    const double value =
        magnitude <= 0.04045 ? magnitude / 12.92 : std::pow((magnitude + 0.055) / 1.055, 2.4);
    return std::copysign(value, component);
}

// The cube-root curve of CIE Lab, with its linear part near black.
double labCurve(double t)
{
    constexpr double epsilon = 216.0 / 24389.0;
    constexpr double kappa = 24389.0 / 27.0;
    return t > epsilon ? std::cbrt(t) : (kappa * t + 16.0) / 116.0;
}

// The hue angle of (a, b) in degrees, in [0, 360).
double hueAngle(double b, double a)
{
    if (a == 0 && b == 0)
        return 0;
    const double angle = degrees(std::atan2(b, a));
    return angle < 0 ? angle + 360.0 : angle;
}

} // namespace

QColor iCorbeilImage::bronzeColor()
{
    return QColor::fromRgbF(205 / 255.f, 127 / 255.f, 50 / 255.f);
}

QColor iCorbeilImage::copperColor()
{
    return QColor::fromRgbF(184 / 255.f, 115 / 255.f, 51 / 255.f);
}

QColor iCorbeilImage::goldColor()
{
    return QColor::fromRgbF(212 / 255.f, 175 / 255.f, 55 / 255.f);
}

QColor iCorbeilImage::pinkColor()
{
    return QColor::fromRgbF(1, 180 / 255.f, 199 / 255.f);
}

QColor iCorbeilImage::silverColor()
{
    return QColor::fromRgbF(192 / 255.f, 192 / 255.f, 192 / 255.f);
}

QMap<QString, QColor> iCorbeilImage::colorMap()
{
    return {
        {VQBlack, QColor::fromRgbF(0, 0, 0)},
        {VQBlue, QColor::fromRgbF(0, 0, 1)},
        {VQBronze, bronzeColor()},
        {VQBrown, QColor::fromRgbF(0.6f, 0.4f, 0.2f)},
        {VQClear, QColor::fromRgbF(0, 0, 0, 0)},
        {VQCopper, copperColor()},
        {VQGold, goldColor()},
        {VQGray, QColor::fromRgbF(0.5f, 0.5f, 0.5f)},
        {VQGreen, QColor::fromRgbF(0, 1, 0)},
        {VQOrange, QColor::fromRgbF(1, 0.5f, 0)},
        {VQPink, pinkColor()},
        {VQPurple, QColor::fromRgbF(0.5f, 0, 0.5f)},
        {VQRed, QColor::fromRgbF(1, 0, 0)},
        {VQSilver, silverColor()},
        {VQWhite, QColor::fromRgbF(1, 1, 1)},
        {VQYellow, QColor::fromRgbF(1, 1, 0)},
    };
}

QColor iCorbeilImage::colorForColorName(const QString& name)
{
    return colorMap().value(name);
}

iCorbeilImage::LabColor iCorbeilImage::labColor(const QColor& color)
{
    if (!color.isValid()) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        return {nan, nan, nan, nan};
    }
    const QColor rgb = color.spec() == QColor::ExtendedRgb ? color : color.toRgb();
    const double r = linear(rgb.redF());
    const double g = linear(rgb.greenF());
    const double b = linear(rgb.blueF());
    // sRGB to XYZ, adapted from D65 to D50 with the Bradford transform, over the D50 white.
    const double x = (0.4360747 * r + 0.3850649 * g + 0.1430804 * b) / 0.9642200;
    const double y = 0.2225045 * r + 0.7168786 * g + 0.0606169 * b;
    const double z = (0.0139322 * r + 0.0971045 * g + 0.7141733 * b) / 0.8252100;
    const double fx = labCurve(x);
    const double fy = labCurve(y);
    const double fz = labCurve(z);
    return {116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz), rgb.alphaF()};
}

double iCorbeilImage::cieLABDifferenceBetweenColor(const LabColor& color, const LabColor& andColor)
{
    const double dL = color.L - andColor.L;
    const double da = color.a - andColor.a;
    const double db = color.b - andColor.b;
    const double dAlpha = color.alpha - andColor.alpha;
    return std::sqrt(dL * dL + da * da + db * db + dAlpha * dAlpha);
}

double iCorbeilImage::cieLAB94DifferenceBetweenColor(const LabColor& color,
                                                     const LabColor& andColor)
{
    const double c1 = std::hypot(color.a, color.b);
    const double c2 = std::hypot(andColor.a, andColor.b);
    const double dL = andColor.L - color.L;
    const double dC = c2 - c1;
    const double dE = cieLABDifferenceBetweenColor(color, andColor);
    const double rest = dE * dE - dL * dL - dC * dC;
    const double dH = rest > 0 ? std::sqrt(rest) : 0.0;
    const double sC = 1.0 + 0.045 * c1;
    const double sH = 1.0 + 0.015 * c1;
    return std::sqrt(dL * dL + (dC / sC) * (dC / sC) + (dH / sH) * (dH / sH));
}

double iCorbeilImage::cieLAB2000DifferenceBetweenColor(const LabColor& color,
                                                       const LabColor& andColor)
{
    constexpr double pow25To7 = 6103515625.0;
    const double c1 = std::hypot(color.a, color.b);
    const double c2 = std::hypot(andColor.a, andColor.b);
    const double meanC7 = std::pow((c1 + c2) / 2.0, 7);
    const double g = 0.5 * (1.0 - std::sqrt(meanC7 / (meanC7 + pow25To7)));
    const double a1 = (1.0 + g) * color.a;
    const double a2 = (1.0 + g) * andColor.a;
    const double cp1 = std::hypot(a1, color.b);
    const double cp2 = std::hypot(a2, andColor.b);
    const double hp1 = hueAngle(color.b, a1);
    const double hp2 = hueAngle(andColor.b, a2);

    const double dLp = andColor.L - color.L;
    const double dCp = cp2 - cp1;
    double dhp = 0;
    if (cp1 * cp2 != 0) {
        dhp = hp2 - hp1;
        if (dhp > 180)
            dhp -= 360;
        else if (dhp < -180)
            dhp += 360;
    }
    const double dHp = 2.0 * std::sqrt(cp1 * cp2) * std::sin(radians(dhp / 2.0));

    const double meanLp = (color.L + andColor.L) / 2.0;
    const double meanCp = (cp1 + cp2) / 2.0;
    double meanHp = hp1 + hp2;
    if (cp1 * cp2 != 0) {
        if (std::abs(hp1 - hp2) <= 180)
            meanHp /= 2.0;
        else if (hp1 + hp2 < 360)
            meanHp = (meanHp + 360) / 2.0;
        else
            meanHp = (meanHp - 360) / 2.0;
    }
    const double t =
        1.0 - 0.17 * std::cos(radians(meanHp - 30)) + 0.24 * std::cos(radians(2 * meanHp))
        + 0.32 * std::cos(radians(3 * meanHp + 6)) - 0.20 * std::cos(radians(4 * meanHp - 63));
    const double dTheta = 30.0 * std::exp(-std::pow((meanHp - 275.0) / 25.0, 2));
    const double meanCp7 = std::pow(meanCp, 7);
    const double rC = 2.0 * std::sqrt(meanCp7 / (meanCp7 + pow25To7));
    const double lOffset = (meanLp - 50.0) * (meanLp - 50.0);
    const double sL = 1.0 + 0.015 * lOffset / std::sqrt(20.0 + lOffset);
    const double sC = 1.0 + 0.045 * meanCp;
    const double sH = 1.0 + 0.015 * meanCp * t;
    const double rT = -std::sin(radians(2.0 * dTheta)) * rC;

    const double l = dLp / sL;
    const double c = dCp / sC;
    const double h = dHp / sH;
    return std::sqrt(l * l + c * c + h * h + rT * c * h);
}

double iCorbeilImage::differenceBetweenColor(const QColor& color, const QColor& andColor)
{
    if (!color.isValid() || !andColor.isValid())
        return std::numeric_limits<double>::infinity();
    return cieLABDifferenceBetweenColor(labColor(color), labColor(andColor));
}

QString iCorbeilImage::colorNameForColor(const QColor& color)
{
    if (!color.isValid())
        return QString();
    double best = std::numeric_limits<double>::max();
    QString bestName;
    const QMap<QString, QColor> map = colorMap();
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const double difference = differenceBetweenColor(it.value(), color);
        if (difference < best) {
            best = difference;
            bestName = it.key();
        }
    }
    return bestName;
}

platform::AttributedString iCorbeilImage::colorsAsString(const QVariantList& colors)
{
    platform::AttributedString text;
    for (const QVariant& item : colors) {
        const QVariantMap entry = item.toMap();
        if (!text.isEmpty())
            text.appendAttributedString(platform::AttributedString(QStringLiteral(", ")));
        text.appendAttributedString(platform::AttributedString(
            convertValueStringToDisplayString(entry.value(VQName).toString()) + u' '));
        text.appendAttributedString(platform::AttributedString::attributedStringWithImage(
            createColorSwatch(entry.value(VQColorActual).value<QColor>())));
    }
    return text;
}

platform::AttributedString iCorbeilImage::primaryColorAsString() const
{
    return colorsAsString(
        {QVariantMap{{VQName, _primaryColorName}, {VQColorActual, _primaryColor}}});
}

platform::AttributedString iCorbeilImage::secondaryColorsAsString() const
{
    return colorsAsString(_secondaryColors);
}

std::shared_ptr<platform::Image> iCorbeilImage::createColorSwatch(const QColor& color)
{
    // Twice as many pixels as points, so the swatch stays sharp on dense screens.
    constexpr qreal scale = 2;
    const QSizeF size(20, 11);
    platform::OffscreenContext offscreen(platform::OffscreenContext::pixelsFor(size, scale), scale);
    if (offscreen.isActive()) {
        platform::GraphicsContext& context = offscreen.context();
        QPainterPath bar;
        bar.addRoundedRect(QRectF(1, 1, 18, 9), 4.5, 4.5);
        context.saveGraphicsState();
        context.painter()->setRenderHint(QPainter::Antialiasing);
        // Below the bar, as light falling from above casts it.
        context.setShadow(platform::Shadow{QSizeF(0, 1.5), 1, QColor(0, 0, 0, 85)});
        context.beginTransparencyLayer(bar.boundingRect().adjusted(-3, -3, 3, 3));
        context.painter()->fillPath(bar, color.isValid() ? color : QColor(Qt::transparent));
        context.endTransparencyLayer();
        context.restoreGraphicsState();
    }
    return platform::Image::fromBitmap(offscreen.image(), size);
}
