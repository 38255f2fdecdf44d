// Colour filters: each a function of one pixel's unpremultiplied colour.

#include "platform/imaging/FilterKernels.h"
#include "platform/imaging/FilterRegistry.h"

#include <QColor>

#include <array>
#include <cmath>

namespace platform::filters {

using kernels::mapColours;

namespace {

FilterImage colorInvert(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    if (f.failed())
        return {};
    return kernels::mapPixels(input, [](QRgb p) -> QRgb {
        // 1 - u premultiplied is alpha - P: exact in bytes.
        const int a = qAlpha(p);
        return qRgba(a - qRed(p), a - qGreen(p), a - qBlue(p), a);
    });
}

// A function of each channel alone, looked up for the 256 values of opaque pixels (most
// of a photo) and computed for the others.
template <typename ChannelFunction>
FilterImage mapChannels(const FilterImage& input, ChannelFunction g)
{
    std::array<quint8, 256> opaque{};
    for (int v = 0; v < 256; ++v)
        opaque[std::size_t(v)] =
            quint8(kernels::clampByte(std::clamp(g(v / 255.0), 0.0, 1.0) * 255.0));
    return kernels::mapPixels(input, [g, opaque](QRgb p) -> QRgb {
        const int a = qAlpha(p);
        if (a == 255)
            return qRgba(opaque[std::size_t(qRed(p))], opaque[std::size_t(qGreen(p))],
                         opaque[std::size_t(qBlue(p))], 255);
        if (a == 0)
            return 0;
        const double u[3] = {g(double(qRed(p)) / a), g(double(qGreen(p)) / a),
                             g(double(qBlue(p)) / a)};
        return kernels::premultipliedFromUnit(u, a);
    });
}

FilterImage colorControls(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const double saturation = f.number(QStringLiteral("inputSaturation"));
    const double brightness = f.number(QStringLiteral("inputBrightness"));
    const double contrast = f.number(QStringLiteral("inputContrast"));
    if (f.failed())
        return {};
    // Without a saturation change each channel stands alone.
    if (saturation == 1.0)
        return mapChannels(input,
                           [=](double u) { return ((u + brightness) - 0.5) * contrast + 0.5; });
    return mapColours(input, [=](double u[3]) {
        const double l = kernels::luminance(u[0], u[1], u[2]);
        for (int i = 0; i < 3; ++i)
            u[i] = ((l + (u[i] - l) * saturation + brightness) - 0.5) * contrast + 0.5;
    });
}

FilterImage hueAdjust(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const double angle = f.number(kInputAngle);
    if (f.failed())
        return {};
    // Rodrigues' rotation about k = (1, 1, 1) / sqrt 3 as a matrix.
    const double c = std::cos(angle);
    const double s = std::sin(angle) / std::sqrt(3.0);
    const double t = (1.0 - c) / 3.0;
    const double m[3][3] = {{c + t, t - s, t + s}, {t + s, c + t, t - s}, {t - s, t + s, c + t}};
    return mapColours(input, [m](double u[3]) {
        const double r = u[0], g = u[1], b = u[2];
        for (int i = 0; i < 3; ++i)
            u[i] = m[i][0] * r + m[i][1] * g + m[i][2] * b;
    });
}

double linearFromSRGB(double u)
{
    return u <= 0.04045 ? u / 12.92 : std::pow((u + 0.055) / 1.055, 2.4);
}

double sRGBFromLinear(double v)
{
    return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1.0 / 2.4) - 0.055;
}

FilterImage exposureAdjust(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const double ev = f.number(QStringLiteral("inputEV"));
    if (f.failed())
        return {};
    const double factor = std::exp2(ev);
    return mapChannels(input, [factor](double u) {
        return sRGBFromLinear(std::min(1.0, linearFromSRGB(u) * factor));
    });
}

FilterImage sepiaTone(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const double intensity = f.number(kInputIntensity);
    if (f.failed())
        return {};
    return mapColours(input, [intensity](double u[3]) {
        const double r = u[0], g = u[1], b = u[2];
        const double s[3] = {0.393 * r + 0.769 * g + 0.189 * b, 0.349 * r + 0.686 * g + 0.168 * b,
                             0.272 * r + 0.534 * g + 0.131 * b};
        for (int i = 0; i < 3; ++i)
            u[i] += (s[i] - u[i]) * intensity;
    });
}

FilterImage colorPosterize(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const double levels = f.number(QStringLiteral("inputLevels"));
    if (f.failed())
        return {};
    const double n = std::max(levels, 2.0) - 1.0;
    return mapChannels(input, [n](double u) { return std::floor(u * n + 0.5) / n; });
}

FilterImage whitePointAdjust(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const QColor color = f.color(QStringLiteral("inputColor")).toRgb();
    if (f.failed())
        return {};
    const double white[3] = {color.redF(), color.greenF(), color.blueF()};
    return mapColours(input, [white](double u[3]) {
        for (int i = 0; i < 3; ++i)
            u[i] *= white[i];
    });
}

} // namespace

void addColourFilters(Definitions& definitions)
{
    const ImageFilter::Input image{kInputImage, {}};
    definitions += {
        {QStringLiteral("CIColorInvert"), {image}, colorInvert},
        {QStringLiteral("CIColorControls"),
         {image,
          {QStringLiteral("inputSaturation"), 1.0},
          {QStringLiteral("inputBrightness"), 0.0},
          {QStringLiteral("inputContrast"), 1.0}},
         colorControls},
        {QStringLiteral("CIHueAdjust"), {image, {kInputAngle, 0.0}}, hueAdjust},
        {QStringLiteral("CIExposureAdjust"),
         {image, {QStringLiteral("inputEV"), 0.5}},
         exposureAdjust},
        {QStringLiteral("CISepiaTone"), {image, {kInputIntensity, 1.0}}, sepiaTone},
        {QStringLiteral("CIColorPosterize"),
         {image, {QStringLiteral("inputLevels"), 6.0}},
         colorPosterize},
        {QStringLiteral("CIWhitePointAdjust"),
         {image, {QStringLiteral("inputColor"), QColor::fromRgbF(1.0f, 0.92f, 0.8f)}},
         whitePointAdjust},
    };
}

} // namespace platform::filters
