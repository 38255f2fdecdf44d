// Generators: infinite pictures computed only where they are asked for.

#include "platform/imaging/FilterKernels.h"
#include "platform/imaging/FilterRegistry.h"

#include <QColor>

#include <cmath>

namespace platform::filters {

namespace {

// The colour (premultiplied by its own alpha) times intensity(p, channel) in 0-1, where
// channel 3 is the alpha's intensity.
template <typename Intensity>
FilterImage generated(const QColor& colour, Intensity intensity)
{
    const QColor rgb = colour.toRgb();
    const double c[4] = {rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF()};
    return FilterImage::infinite([=](const QRect& rect) -> QImage {
        QImage out = kernels::newPixels(rect.size());
        if (out.isNull())
            return {};
        kernels::forEachBand(rect.height(), [&](int begin, int end) {
            for (int j = begin; j < end; ++j) {
                QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(j));
                for (int i = 0; i < rect.width(); ++i) {
                    double v[4];
                    intensity(QPointF(rect.left() + i + 0.5, rect.top() + j + 0.5), v);
                    to[i] = kernels::premultipliedPixel(
                        255 * c[0] * c[3] * v[0], 255 * c[1] * c[3] * v[1],
                        255 * c[2] * c[3] * v[2], 255 * c[3] * v[3]);
                }
            }
        });
        return out;
    });
}

FilterImage constantColor(const ImageFilter& f)
{
    const QColor colour = f.color(kInputColor).toRgb();
    if (f.failed())
        return {};
    const QRgb pixel = kernels::premultipliedPixel(
        255 * colour.redF() * colour.alphaF(), 255 * colour.greenF() * colour.alphaF(),
        255 * colour.blueF() * colour.alphaF(), 255 * colour.alphaF());
    return FilterImage::infinite([pixel](const QRect& rect) {
        QImage out = kernels::newPixels(rect.size());
        if (!out.isNull())
            out.fill(pixel);
        return out;
    });
}

FilterImage starShine(const ImageFilter& f)
{
    const QPointF c = f.point(kInputCenter);
    const QColor colour = f.color(kInputColor);
    const double r = std::max(f.number(kInputRadius), 1e-3);
    const double crossScale = f.number(QStringLiteral("inputCrossScale"));
    const double crossAngle = f.number(QStringLiteral("inputCrossAngle"));
    const double opacity = std::exp(f.number(QStringLiteral("inputCrossOpacity")) / 2.0);
    const double width = std::max(f.number(QStringLiteral("inputCrossWidth")), 1e-3);
    if (f.failed())
        return {};
    const double length = std::max(crossScale * r, 1e-3);
    const double cs = std::cos(crossAngle), sn = std::sin(crossAngle);
    return generated(colour, [=](const QPointF& p, double v[4]) {
        const double dx = p.x() - c.x(), dy = p.y() - c.y();
        double i = std::exp(-2.0 * (dx * dx + dy * dy) / (r * r));
        // Along and across each of the two lines.
        const double a1 = cs * dx + sn * dy, b1 = -sn * dx + cs * dy;
        for (const auto& [a, b] : {std::pair(a1, b1), std::pair(b1, a1)})
            i += opacity * std::exp(-(b / width) * (b / width)) * std::exp(-std::abs(a) / length);
        v[0] = v[1] = v[2] = v[3] = std::min(1.0, i);
    });
}

FilterImage lenticularHalo(const ImageFilter& f)
{
    const QPointF c = f.point(kInputCenter);
    const QColor colour = f.color(kInputColor);
    const double radius = f.number(QStringLiteral("inputHaloRadius"));
    const double width = std::max(f.number(QStringLiteral("inputHaloWidth")), 1e-3);
    const double overlap = f.number(QStringLiteral("inputHaloOverlap"));
    const double strength = f.number(QStringLiteral("inputStriationStrength"));
    const double contrast = f.number(QStringLiteral("inputStriationContrast"));
    if (f.failed())
        return {};
    return generated(colour, [=](const QPointF& p, double v[4]) {
        const double dx = p.x() - c.x(), dy = p.y() - c.y();
        const double d = std::hypot(dx, dy);
        const double s = std::max(
            0.0,
            1.0 - strength * std::pow((1.0 + std::sin(19.0 * std::atan2(dy, dx))) / 2.0, contrast));
        v[3] = 0.0;
        for (int k = 0; k < 3; ++k) {
            const double centre = radius + (k - 1) * width * (1.0 - overlap) / 2.0;
            const double ring = std::max(0.0, 1.0 - std::abs(d - centre) / (width / 2.0));
            v[k] = ring * ring * s;
            v[3] = std::max(v[3], v[k]);
        }
    });
}

} // namespace

void addGeneratorFilters(Definitions& definitions)
{
    const ImageFilter::Input centre{kInputCenter, QPointF(150, 150)};
    definitions += {
        {QStringLiteral("CIConstantColorGenerator"),
         {{kInputColor, QColor(Qt::black)}},
         constantColor},
        {QStringLiteral("CIStarShineGenerator"),
         {centre,
          {kInputColor, QColor::fromRgbF(1.0f, 0.8f, 0.6f)},
          {kInputRadius, 50.0},
          {QStringLiteral("inputCrossScale"), 15.0},
          {QStringLiteral("inputCrossAngle"), 0.6},
          {QStringLiteral("inputCrossOpacity"), -2.0},
          {QStringLiteral("inputCrossWidth"), 2.5}},
         starShine},
        {QStringLiteral("CILenticularHaloGenerator"),
         {centre,
          {kInputColor, QColor::fromRgbF(1.0f, 0.9f, 0.8f)},
          {QStringLiteral("inputHaloRadius"), 70.0},
          {QStringLiteral("inputHaloWidth"), 87.0},
          {QStringLiteral("inputHaloOverlap"), 0.77},
          {QStringLiteral("inputStriationStrength"), 0.5},
          {QStringLiteral("inputStriationContrast"), 1.0}},
         lenticularHalo},
    };
}

} // namespace platform::filters
