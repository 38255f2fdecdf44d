// Every image filter against a slow reference of the definition in ImageFilter.h,
// evaluated pixel by pixel in double precision on small odd-sized pictures with
// transparent, partly transparent and opaque pixels; and the same output for 1, 2 and 8
// threads.

#include "platform/imaging/ImageFilter.h"
#include "platform/imaging/FilterImage.h"

#include <QColor>
#include <QPolygonF>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <optional>

using platform::FilterImage;
using platform::ImageFilter;

namespace {

constexpr double kPi = std::numbers::pi;

// --- Pictures ---

// 37 × 23 at a non-zero origin: a transparent band on the left, a half-transparent row
// every fourth row, opaque elsewhere; colours that vary in every channel, smooth areas
// and hard edges.
FilterImage samplePicture(int seed = 1, QPoint origin = QPoint(3, -2), QSize size = QSize(37, 23))
{
    QRandomGenerator random{quint32(seed)};
    QImage picture(size, QImage::Format_ARGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int alpha = x < 5 ? 0 : (y % 4 == 1 ? 40 + int(random.bounded(180)) : 255);
            const bool smooth = x > size.width() / 2;
            const int r = smooth ? 6 * x : int(random.bounded(256));
            const int g = smooth ? 10 * y : int(random.bounded(256));
            const int b = smooth ? (x * y) % 256 : int(random.bounded(256));
            picture.setPixel(x, y, qRgba(r, g, b, alpha));
        }
    }
    return FilterImage(picture.convertToFormat(QImage::Format_ARGB32_Premultiplied), origin);
}

// A picture's premultiplied channels in 0-255 at whole-pixel positions; transparent
// outside (or, with clamp, the nearest edge pixel).
struct Px
{
    double v[4] = {0, 0, 0, 0}; // r, g, b, a
};

Px pixelAt(const FilterImage& image, int x, int y, bool clamp = false)
{
    const QRect e = image.extent();
    if (clamp) {
        x = std::clamp(x, e.left(), e.right());
        y = std::clamp(y, e.top(), e.bottom());
    }
    if (!e.contains(x, y))
        return {};
    const QRgb p = image.pixels().pixel(x - e.left(), y - e.top());
    return {{double(qRed(p)), double(qGreen(p)), double(qBlue(p)), double(qAlpha(p))}};
}

// Bilinear between pixel centres.
Px bilinear(const FilterImage& image, double x, double y, bool clamp)
{
    const QRect e = image.extent();
    double u = x - 0.5, v = y - 0.5;
    if (clamp) {
        u = std::clamp(u, double(e.left()), double(e.right()));
        v = std::clamp(v, double(e.top()), double(e.bottom()));
    }
    const int i = int(std::floor(u)), j = int(std::floor(v));
    const double a = u - i, b = v - j;
    Px out;
    const Px corners[4] = {pixelAt(image, i, j), pixelAt(image, i + 1, j), pixelAt(image, i, j + 1),
                           pixelAt(image, i + 1, j + 1)};
    const double weights[4] = {(1 - a) * (1 - b), a * (1 - b), (1 - a) * b, a * b};
    for (int k = 0; k < 4; ++k)
        for (int c = 0; c < 4; ++c)
            out.v[c] += weights[k] * corners[k].v[c];
    return out;
}

QRgb toPixel(const Px& p)
{
    const auto byte = [](double v) { return std::clamp(int(std::floor(v + 0.5)), 0, 255); };
    const int a = byte(p.v[3]);
    return qRgba(std::min(byte(p.v[0]), a), std::min(byte(p.v[1]), a), std::min(byte(p.v[2]), a),
                 a);
}

// A reference picture: the pixels of `extent`, each from its centre.
FilterImage build(const QRect& extent,
                  const std::function<Px(double x, double y, int i, int j)>& at)
{
    QImage out(extent.size(), QImage::Format_ARGB32_Premultiplied);
    for (int j = extent.top(); j <= extent.bottom(); ++j)
        for (int i = extent.left(); i <= extent.right(); ++i)
            out.setPixel(i - extent.left(), j - extent.top(), toPixel(at(i + 0.5, j + 0.5, i, j)));
    return FilterImage(out, extent.topLeft());
}

double luma(double r, double g, double b)
{
    return 0.2126 * r + 0.7152 * g + 0.0722 * b;
}

// A colour function on unpremultiplied 0-1 channels, alpha kept.
FilterImage colourReference(const FilterImage& in, const std::function<void(double u[3])>& f)
{
    return build(in.extent(), [&](double, double, int i, int j) {
        const Px p = pixelAt(in, i, j);
        const double a = p.v[3];
        if (a == 0)
            return Px{};
        double u[3] = {p.v[0] / a, p.v[1] / a, p.v[2] / a};
        f(u);
        Px out;
        for (int c = 0; c < 3; ++c)
            out.v[c] = std::clamp(u[c], 0.0, 1.0) * a;
        out.v[3] = a;
        return out;
    });
}

// A sampling distortion: at(p) gives where p is sampled from (no point: transparent).
using Where = std::function<std::optional<QPointF>(QPointF p)>;
FilterImage warpReference(const FilterImage& in, const QRect& extent, bool clamp, const Where& at)
{
    return build(extent, [&](double x, double y, int, int) {
        const std::optional<QPointF> s = at(QPointF(x, y));
        return s ? bilinear(in, s->x(), s->y(), clamp) : Px{};
    });
}

QPointF turn(QPointF v, double angle)
{
    return {std::cos(angle) * v.x() - std::sin(angle) * v.y(),
            std::sin(angle) * v.x() + std::cos(angle) * v.y()};
}

// The Gaussian of deviation sigma convolved directly (weights to 4 sigma), edges
// transparent or repeated, evaluated at whole pixel (i, j).
Px gaussianAt(const FilterImage& in, int i, int j, double sigma, bool clamp)
{
    const int reach = int(std::ceil(4 * sigma));
    std::vector<double> w;
    double total = 0;
    for (int k = -reach; k <= reach; ++k) {
        w.push_back(std::exp(-k * k / (2 * sigma * sigma)));
        total += w.back();
    }
    Px out;
    for (int dy = -reach; dy <= reach; ++dy) {
        for (int dx = -reach; dx <= reach; ++dx) {
            const double weight =
                w[std::size_t(dx + reach)] * w[std::size_t(dy + reach)] / (total * total);
            const Px p = pixelAt(in, i + dx, j + dy, clamp);
            for (int c = 0; c < 4; ++c)
                out.v[c] += weight * p.v[c];
        }
    }
    return out;
}

double sRGBToLinear(double u)
{
    return u <= 0.04045 ? u / 12.92 : std::pow((u + 0.055) / 1.055, 2.4);
}
double linearToSRGB(double v)
{
    return v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
}

double seedHash(long long i, long long j, unsigned k)
{
    quint32 n = quint32(i) * 0x8da6b343u + quint32(j) * 0xd8163841u + k * 0xcb1ab31fu;
    n ^= n >> 13;
    n *= 0x5bd1e995u;
    n ^= n >> 15;
    return (n & 0xffffffu) / 16777216.0;
}

// The seed nearest to p among all cells (searched wide).
QPointF seedNear(QPointF p, QPointF c, double r, double* distance)
{
    const long long ci = (long long)std::floor((p.x() - c.x()) / r);
    const long long cj = (long long)std::floor((p.y() - c.y()) / r);
    QPointF best;
    *distance = HUGE_VAL;
    for (long long j = cj - 4; j <= cj + 4; ++j)
        for (long long i = ci - 4; i <= ci + 4; ++i) {
            const QPointF seed(c.x() + r * (i + seedHash(i, j, 0)),
                               c.y() + r * (j + seedHash(i, j, 1)));
            const double d = std::hypot(seed.x() - p.x(), seed.y() - p.y());
            if (d < *distance) {
                *distance = d;
                best = seed;
            }
        }
    return best;
}

Px nearestInside(const FilterImage& in, double x, double y)
{
    return pixelAt(in, int(std::floor(x)), int(std::floor(y)), true);
}

// --- The table ---

struct Case
{
    using Reference = std::function<FilterImage(const QVariantMap& inputs)>;
    Case(const char* label, const char* filter, QVariantMap inputs, Reference reference,
         int tolerance = 1, QRect rendered = QRect())
        : label(label),
          filter(filter),
          inputs(std::move(inputs)),
          reference(std::move(reference)),
          tolerance(tolerance),
          rendered(rendered)
    {}

    const char* label;
    const char* filter;
    QVariantMap inputs;
    Reference reference;
    int tolerance = 1;
    // Infinite outputs are compared over this rectangle.
    QRect rendered;
    // Blurs: the output extent reaches at least as far as the reference's non-transparent
    // pixels; compared over both extents.
    bool extentGrows = false;
};

FilterImage imageInput(const QVariantMap& inputs, const char* key = "inputImage")
{
    return inputs.value(QString::fromLatin1(key)).value<FilterImage>();
}
double num(const QVariantMap& inputs, const char* key)
{
    return inputs.value(QString::fromLatin1(key)).toDouble();
}
QPointF pt(const QVariantMap& inputs, const char* key)
{
    return inputs.value(QString::fromLatin1(key)).toPointF();
}
QVariant img(const FilterImage& image)
{
    return QVariant::fromValue(image);
}

QList<Case> cases()
{
    const FilterImage picture = samplePicture();
    const QVariant in = img(picture);
    const QPointF middle(3 + 18.5, -2 + 11.5);
    QList<Case> all;

    // Colour
    all.append({"invert", "CIColorInvert", {{"inputImage", in}}, [](const QVariantMap& m) {
                    return colourReference(imageInput(m), [](double u[3]) {
                        for (int c = 0; c < 3; ++c)
                            u[c] = 1 - u[c];
                    });
                }});
    all.append({"colour controls",
                "CIColorControls",
                {{"inputImage", in},
                 {"inputSaturation", 1.4},
                 {"inputBrightness", 0.1},
                 {"inputContrast", 1.3}},
                [](const QVariantMap& m) {
                    return colourReference(imageInput(m), [&](double u[3]) {
                        const double l = luma(u[0], u[1], u[2]);
                        for (int c = 0; c < 3; ++c) {
                            double v = l + (u[c] - l) * num(m, "inputSaturation");
                            v += num(m, "inputBrightness");
                            u[c] = (v - 0.5) * num(m, "inputContrast") + 0.5;
                        }
                    });
                }});
    // Each channel alone: looked up for opaque pixels.
    all.append({"colour controls, saturation unchanged",
                "CIColorControls",
                {{"inputImage", in},
                 {"inputSaturation", 1.0},
                 {"inputBrightness", -0.15},
                 {"inputContrast", 1.6}},
                [](const QVariantMap& m) {
                    return colourReference(imageInput(m), [&](double u[3]) {
                        for (int c = 0; c < 3; ++c)
                            u[c] =
                                (u[c] + num(m, "inputBrightness") - 0.5) * num(m, "inputContrast")
                                + 0.5;
                    });
                }});
    all.append(
        {"hue", "CIHueAdjust", {{"inputImage", in}, {"inputAngle", 1.1}}, [](const QVariantMap& m) {
             return colourReference(imageInput(m), [&](double u[3]) {
                 const double a = num(m, "inputAngle");
                 const double k = 1 / std::sqrt(3.0);
                 const double dot = k * (u[0] + u[1] + u[2]);
                 const double cross[3] = {k * (u[2] - u[1]), k * (u[0] - u[2]), k * (u[1] - u[0])};
                 for (int c = 0; c < 3; ++c)
                     u[c] =
                         u[c] * std::cos(a) + cross[c] * std::sin(a) + k * dot * (1 - std::cos(a));
             });
         }});
    for (double ev : {0.7, -1.0}) {
        all.append({"exposure",
                    "CIExposureAdjust",
                    {{"inputImage", in}, {"inputEV", ev}},
                    [](const QVariantMap& m) {
                        return colourReference(imageInput(m), [&](double u[3]) {
                            for (int c = 0; c < 3; ++c)
                                u[c] = linearToSRGB(std::min(
                                    1.0, sRGBToLinear(u[c]) * std::pow(2.0, num(m, "inputEV"))));
                        });
                    }});
    }
    all.append({"sepia",
                "CISepiaTone",
                {{"inputImage", in}, {"inputIntensity", 0.8}},
                [](const QVariantMap& m) {
                    return colourReference(imageInput(m), [&](double u[3]) {
                        const double s[3] = {0.393 * u[0] + 0.769 * u[1] + 0.189 * u[2],
                                             0.349 * u[0] + 0.686 * u[1] + 0.168 * u[2],
                                             0.272 * u[0] + 0.534 * u[1] + 0.131 * u[2]};
                        for (int c = 0; c < 3; ++c)
                            u[c] = u[c] + (s[c] - u[c]) * num(m, "inputIntensity");
                    });
                }});
    all.append({"posterize",
                "CIColorPosterize",
                {{"inputImage", in}, {"inputLevels", 5.0}},
                [](const QVariantMap& m) {
                    return colourReference(imageInput(m), [&](double u[3]) {
                        const double n = std::max(num(m, "inputLevels"), 2.0) - 1;
                        for (int c = 0; c < 3; ++c)
                            u[c] = std::floor(u[c] * n + 0.5) / n;
                    });
                }});
    all.append({"white point",
                "CIWhitePointAdjust",
                {{"inputImage", in}, {"inputColor", QColor::fromRgbF(0.9f, 0.7f, 0.5f)}},
                [](const QVariantMap& m) {
                    const QColor w = m.value("inputColor").value<QColor>();
                    return colourReference(imageInput(m), [&](double u[3]) {
                        u[0] *= w.redF();
                        u[1] *= w.greenF();
                        u[2] *= w.blueF();
                    });
                }});

    // Blurs
    for (double radius : {1.5, 4.0, 6.5}) {
        Case blur{"gaussian",
                  "CIGaussianBlur",
                  {{"inputImage", in}, {"inputRadius", radius}},
                  [](const QVariantMap& m) {
                      const FilterImage p = imageInput(m);
                      const double sigma = num(m, "inputRadius");
                      const int reach = int(std::ceil(4 * sigma));
                      return build(p.extent().adjusted(-reach, -reach, reach, reach),
                                   [&](double, double, int i, int j) {
                                       return gaussianAt(p, i, j, sigma, false);
                                   });
                  },
                  2};
        blur.extentGrows = true;
        all.append(blur);
    }
    for (double radius : {2.0, 5.0}) {
        all.append({"unsharp",
                    "CIUnsharpMask",
                    {{"inputImage", in}, {"inputRadius", radius}, {"inputIntensity", 0.8}},
                    [](const QVariantMap& m) {
                        const FilterImage p = imageInput(m);
                        return build(p.extent(), [&](double, double, int i, int j) {
                            const Px g = gaussianAt(p, i, j, num(m, "inputRadius"), true);
                            Px out = pixelAt(p, i, j);
                            for (int c = 0; c < 4; ++c)
                                out.v[c] += num(m, "inputIntensity") * (out.v[c] - g.v[c]);
                            return out;
                        });
                    },
                    radius > 3 ? 3 : 1});
    }
    {
        Case motion{"motion blur",
                    "CIMotionBlur",
                    {{"inputImage", in}, {"inputRadius", 4.3}, {"inputAngle", 0.6}},
                    [](const QVariantMap& m) {
                        const FilterImage p = imageInput(m);
                        const double r = num(m, "inputRadius"), a = num(m, "inputAngle");
                        const int n = int(std::min(64.0, 2 * std::ceil(r) + 1));
                        const QRect e =
                            p.extent().adjusted(-int(std::ceil(r * std::abs(std::cos(a)))),
                                                -int(std::ceil(r * std::abs(std::sin(a)))),
                                                int(std::ceil(r * std::abs(std::cos(a)))),
                                                int(std::ceil(r * std::abs(std::sin(a)))));
                        return build(e, [&](double x, double y, int, int) {
                            Px sum;
                            for (int k = 0; k < n; ++k) {
                                const double t = -r + 2 * r * k / (n - 1);
                                const Px s =
                                    bilinear(p, x + t * std::cos(a), y + t * std::sin(a), false);
                                for (int c = 0; c < 4; ++c)
                                    sum.v[c] += s.v[c] / n;
                            }
                            return sum;
                        });
                    }};
        all.append(motion);
    }
    all.append({"zoom blur",
                "CIZoomBlur",
                {{"inputImage", in}, {"inputCenter", QPointF(15, 10)}, {"inputAmount", 30.0}},
                [](const QVariantMap& m) {
                    const FilterImage p = imageInput(m);
                    const QPointF c = pt(m, "inputCenter");
                    return build(p.extent(), [&](double x, double y, int, int) {
                        Px sum;
                        for (int k = 0; k < 24; ++k) {
                            const double f = num(m, "inputAmount") / 100 * k / 23;
                            const Px s =
                                bilinear(p, x + (c.x() - x) * f, y + (c.y() - y) * f, true);
                            for (int ch = 0; ch < 4; ++ch)
                                sum.v[ch] += s.v[ch] / 24;
                        }
                        return sum;
                    });
                }});
    all.append({"noise reduction",
                "CINoiseReduction",
                {{"inputImage", in}, {"inputNoiseLevel", 0.1}, {"inputSharpness", 0.4}},
                [](const QVariantMap& m) {
                    const FilterImage p = imageInput(m);
                    return build(p.extent(), [&](double, double, int i, int j) {
                        const Px centre = pixelAt(p, i, j);
                        const double l = luma(centre.v[0], centre.v[1], centre.v[2]) / 255;
                        Px mean;
                        int count = 0;
                        for (int dy = -1; dy <= 1; ++dy)
                            for (int dx = -1; dx <= 1; ++dx) {
                                const Px q = pixelAt(p, i + dx, j + dy, true);
                                if ((dx == 0 && dy == 0)
                                    || std::abs(luma(q.v[0], q.v[1], q.v[2]) / 255 - l)
                                           <= num(m, "inputNoiseLevel")) {
                                    for (int c = 0; c < 4; ++c)
                                        mean.v[c] += q.v[c];
                                    ++count;
                                }
                            }
                        Px out;
                        for (int c = 0; c < 4; ++c)
                            out.v[c] =
                                mean.v[c] / count
                                + num(m, "inputSharpness") * (centre.v[c] - mean.v[c] / count);
                        return out;
                    });
                }});
    for (const char* name : {"CIBloom", "CIGloom"}) {
        const bool isBloom = std::string_view(name) == "CIBloom";
        all.append({name,
                    name,
                    {{"inputImage", in}, {"inputRadius", 2.0}, {"inputIntensity", 0.7}},
                    [isBloom](const QVariantMap& m) {
                        const FilterImage p = imageInput(m);
                        const double k = num(m, "inputIntensity");
                        return build(p.extent(), [&](double, double, int i, int j) {
                            const Px own = pixelAt(p, i, j);
                            const Px g = gaussianAt(p, i, j, num(m, "inputRadius"), true);
                            Px out;
                            out.v[3] = own.v[3];
                            if (own.v[3] == 0)
                                return out;
                            for (int c = 0; c < 3; ++c) {
                                const double u = own.v[c] / own.v[3];
                                const double v = g.v[3] > 0 ? std::min(1.0, g.v[c] / g.v[3]) : 0.0;
                                const double w =
                                    isBloom ? 1 - (1 - u) * (1 - k * v) : u * (1 - k + k * v);
                                out.v[c] = std::clamp(w, 0.0, 1.0) * own.v[3];
                            }
                            return out;
                        });
                    }});
    }
    all.append({"edge work",
                "CIEdgeWork",
                {{"inputImage", in}, {"inputRadius", 2.0}},
                [](const QVariantMap& m) {
                    const FilterImage p = imageInput(m);
                    // L rounded to bytes, as a grey picture, then blurred.
                    const FilterImage l = build(p.extent(), [&](double, double, int i, int j) {
                        const Px q = pixelAt(p, i, j);
                        const double v = std::floor(luma(q.v[0], q.v[1], q.v[2]) + 0.5);
                        return Px{{v, v, v, 255}};
                    });
                    return build(p.extent(), [&](double, double, int i, int j) {
                        const double ink =
                            std::clamp(4
                                           * (gaussianAt(l, i, j, num(m, "inputRadius"), true).v[0]
                                              - pixelAt(l, i, j).v[0]),
                                       0.0, 255.0);
                        return Px{{ink, ink, ink, ink}};
                    });
                }});
    all.append(
        {"edges",
         "CIEdges",
         {{"inputImage", in}, {"inputIntensity", 3.0}},
         [](const QVariantMap& m) {
             const FilterImage p = imageInput(m);
             return build(p.extent(), [&](double, double, int i, int j) {
                 Px out;
                 out.v[3] = 255;
                 for (int c = 0; c < 3; ++c) {
                     const auto v = [&](int dx, int dy) {
                         return pixelAt(p, i + dx, j + dy, true).v[c] / 255;
                     };
                     const double gx =
                         (v(1, -1) + 2 * v(1, 0) + v(1, 1) - v(-1, -1) - 2 * v(-1, 0) - v(-1, 1))
                         / 8;
                     const double gy =
                         (v(-1, 1) + 2 * v(0, 1) + v(1, 1) - v(-1, -1) - 2 * v(0, -1) - v(1, -1))
                         / 8;
                     out.v[c] =
                         255 * std::clamp(num(m, "inputIntensity") * std::hypot(gx, gy), 0.0, 1.0);
                 }
                 return out;
             });
         }});

    // Distortions, each given as where a pixel centre p is sampled
    const auto distortion = [&](const char* label, const char* filter, QVariantMap inputs, Where at,
                                QRect extent = QRect(), bool clamp = true) {
        inputs.insert("inputImage", in);
        all.append({label, filter, inputs, [=](const QVariantMap& m) {
                        const FilterImage p = imageInput(m);
                        return warpReference(p, extent.isNull() ? p.extent() : extent, clamp, at);
                    }});
    };
    // About the middle: v = p - middle, d = |v|.
    const auto aroundMiddle =
        [middle](std::function<std::optional<QPointF>(QPointF v, double d)> f) -> Where {
        return [=](QPointF p) -> std::optional<QPointF> {
            const QPointF v = p - middle;
            const std::optional<QPointF> q = f(v, std::hypot(v.x(), v.y()));
            return q ? std::optional(middle + *q) : std::nullopt;
        };
    };
    const auto centred = [middle](double radius, const char* key = nullptr, double value = 0) {
        QVariantMap inputs{{"inputCenter", middle}, {"inputRadius", radius}};
        if (key)
            inputs.insert(QString::fromLatin1(key), value);
        return inputs;
    };
    distortion("circle splash", "CICircleSplashDistortion", centred(6),
               aroundMiddle([](QPointF v, double d) { return d > 6 ? v * (6 / d) : v; }));
    distortion("bump", "CIBumpDistortion", centred(10, "inputScale", 0.6),
               aroundMiddle([](QPointF v, double d) {
                   return d < 10 ? v * (1 - 0.6 * std::pow(1 - d * d / 100, 2)) : v;
               }));
    distortion("pinch", "CIPinchDistortion", centred(12, "inputScale", 0.7),
               aroundMiddle([](QPointF v, double d) {
                   return d < 12 && d > 0 ? v * std::pow(d / 12, -0.35) : v;
               }));
    distortion("twirl", "CITwirlDistortion", centred(12, "inputAngle", 2.0),
               aroundMiddle([](QPointF v, double d) {
                   return d < 12 ? turn(v, -2 * std::pow(1 - d / 12, 2)) : v;
               }));
    distortion("vortex", "CIVortexDistortion", centred(12, "inputAngle", 20.0),
               aroundMiddle([](QPointF v, double d) {
                   return d < 12 ? turn(v, -20.0 / 12 * (1 - d / 12)) : v;
               }));
    distortion("hole", "CIHoleDistortion", centred(5),
               aroundMiddle([](QPointF v, double d) -> std::optional<QPointF> {
                   if (d <= 5)
                       return std::nullopt;
                   return v * (1 - 25 / (d * d));
               }));
    {
        const QRect e = picture.extent();
        const QPointF c(10, 5);
        const double r = 8, reach = r + e.height();
        const QRect square(
            QPoint(int(std::floor(c.x() - reach)), int(std::floor(c.y() - reach))),
            QPoint(int(std::ceil(c.x() + reach)) - 1, int(std::ceil(c.y() + reach)) - 1));
        distortion(
            "circular wrap", "CICircularWrap",
            {{"inputCenter", c}, {"inputRadius", r}, {"inputAngle", 0.3}},
            [=](QPointF p) -> std::optional<QPointF> {
                double t = std::atan2(p.y() - c.y(), p.x() - c.x()) - 0.3;
                while (t > kPi)
                    t -= 2 * kPi;
                while (t <= -kPi)
                    t += 2 * kPi;
                return QPointF(e.left() + e.width() / 2.0 + t * r,
                               e.top() + e.height()
                                   - (std::hypot(p.x() - c.x(), p.y() - c.y()) - r));
            },
            square, false);
    }
    distortion(
        "op tile", "CIOpTile",
        {{"inputCenter", middle}, {"inputScale", 1.5}, {"inputAngle", 0.4}, {"inputWidth", 9.0}},
        [=](QPointF p) -> std::optional<QPointF> {
            const QPointF q = turn(p - middle, -0.4);
            const QPointF cell((std::floor(q.x() / 9) + 0.5) * 9,
                               (std::floor(q.y() / 9) + 0.5) * 9);
            return middle + turn(cell + (q - cell) * 1.5, 0.4);
        });
    distortion("kaleidoscope", "CIKaleidoscope",
               {{"inputCenter", middle}, {"inputCount", 5.0}, {"inputAngle", 0.2}},
               aroundMiddle([](QPointF v, double d) -> std::optional<QPointF> {
                   const double s = 2 * kPi / 5;
                   double f = std::atan2(v.y(), v.x()) - 0.2;
                   while (f < 0)
                       f += 2 * kPi;
                   const int k = int(std::floor(f / s));
                   f -= k * s;
                   if (k % 2 == 1)
                       f = s - f;
                   return QPointF(d * std::cos(f + 0.2), d * std::sin(f + 0.2));
               }));
    distortion("triangle tile", "CITriangleTile",
               {{"inputCenter", middle}, {"inputAngle", 0.3}, {"inputWidth", 10.0}},
               aroundMiddle([](QPointF v, double) -> std::optional<QPointF> {
                   const double w = 10, h = w * std::sqrt(3.0) / 2;
                   const QPointF q = turn(v, -0.3);
                   // Lattice coordinates along the triangle's two edge directions.
                   const double b = q.y() / h;
                   const double a = q.x() / w - b / 2;
                   double fa = a - std::floor(a), fb = b - std::floor(b);
                   if (fa + fb > 1) {
                       const double t = fa;
                       fa = 1 - fb;
                       fb = 1 - t;
                   }
                   return turn(QPointF((fa + fb / 2) * w, fb * h), 0.3);
               }));

    // Stylize
    all.append({"pixellate",
                "CIPixellate",
                {{"inputImage", in}, {"inputCenter", QPointF(7.3, 1.6)}, {"inputScale", 4.0}},
                [](const QVariantMap& m) {
                    const FilterImage p = imageInput(m);
                    const QPointF c(7.3, 1.6);
                    return build(p.extent(), [&](double x, double y, int, int) {
                        return nearestInside(p, c.x() + (std::floor((x - c.x()) / 4) + 0.5) * 4,
                                             c.y() + (std::floor((y - c.y()) / 4) + 0.5) * 4);
                    });
                }});
    for (const char* name : {"CICrystallize", "CIPointillize"}) {
        const bool dots = std::string_view(name) == "CIPointillize";
        all.append({name,
                    name,
                    {{"inputImage", in}, {"inputCenter", QPointF(2.5, -4)}, {"inputRadius", 5.0}},
                    [dots](const QVariantMap& m) {
                        const FilterImage p = imageInput(m);
                        return build(p.extent(), [&](double x, double y, int, int) {
                            double d = 0;
                            const QPointF seed = seedNear(QPointF(x, y), QPointF(2.5, -4), 5, &d);
                            return !dots || d <= 3.5 ? nearestInside(p, seed.x(), seed.y()) : Px{};
                        });
                    }});
    }
    for (const char* name : {"CIDotScreen", "CICircularScreen"}) {
        const bool dots = std::string_view(name) == "CIDotScreen";
        QVariantMap inputs{{"inputImage", in},
                           {"inputCenter", middle},
                           {"inputWidth", 5.0},
                           {"inputSharpness", 0.6}};
        if (dots)
            inputs.insert("inputAngle", 0.5);
        all.append(
            {name, name, inputs, [=](const QVariantMap& m) {
                 const FilterImage p = imageInput(m);
                 return build(p.extent(), [&](double x, double y, int i, int j) {
                     const Px own = pixelAt(p, i, j);
                     if (own.v[3] == 0)
                         return Px{};
                     double pattern = 0;
                     if (dots) {
                         const QPointF q = turn(QPointF(x, y) - middle, -0.5) * (2 * kPi / 5);
                         pattern = 0.5 + 0.25 * (std::cos(q.x()) + std::cos(q.y()));
                     } else {
                         pattern =
                             0.5
                             + 0.5
                                   * std::cos(2 * kPi * std::hypot(x - middle.x(), y - middle.y())
                                              / 5);
                     }
                     const double l = luma(own.v[0], own.v[1], own.v[2]) / own.v[3];
                     const double g =
                         std::clamp((l - pattern) / (2 * 0.2) + 0.5, 0.0, 1.0) * own.v[3];
                     return Px{{g, g, g, own.v[3]}};
                 });
             }});
    }

    // Generators, compared over a rectangle
    const QRect around(-7, -5, 41, 29);
    all.append({"constant colour",
                "CIConstantColorGenerator",
                {{"inputColor", QColor(200, 100, 50, 128)}},
                [=](const QVariantMap&) {
                    return build(around, [](double, double, int, int) {
                        return Px{{200 * 128 / 255.0, 100 * 128 / 255.0, 50 * 128 / 255.0, 128}};
                    });
                },
                1,
                around});
    all.append({"star shine",
                "CIStarShineGenerator",
                {{"inputCenter", QPointF(12, 8)},
                 {"inputColor", QColor::fromRgbF(1, 0.8f, 0.6f)},
                 {"inputRadius", 4.0},
                 {"inputCrossScale", 3.0},
                 {"inputCrossAngle", 0.6},
                 {"inputCrossOpacity", -1.0},
                 {"inputCrossWidth", 1.5}},
                [=](const QVariantMap& m) {
                    const QColor colour = m.value("inputColor").value<QColor>();
                    return build(around, [&](double x, double y, int, int) {
                        const double dx = x - 12, dy = y - 8;
                        double intensity = std::exp(-2 * (dx * dx + dy * dy) / 16);
                        for (double angle : {0.6, 0.6 + kPi / 2}) {
                            const double a = std::cos(angle) * dx + std::sin(angle) * dy;
                            const double b = -std::sin(angle) * dx + std::cos(angle) * dy;
                            intensity += std::exp(-0.5) * std::exp(-(b / 1.5) * (b / 1.5))
                                         * std::exp(-std::abs(a) / 12);
                        }
                        intensity = std::min(1.0, intensity);
                        return Px{{255 * colour.redF() * intensity,
                                   255 * colour.greenF() * intensity,
                                   255 * colour.blueF() * intensity, 255 * intensity}};
                    });
                },
                1,
                around});
    all.append(
        {"lenticular halo",
         "CILenticularHaloGenerator",
         {{"inputCenter", QPointF(12, 8)},
          {"inputColor", QColor::fromRgbF(1, 0.9f, 0.8f)},
          {"inputHaloRadius", 10.0},
          {"inputHaloWidth", 8.0},
          {"inputHaloOverlap", 0.5},
          {"inputStriationStrength", 0.7},
          {"inputStriationContrast", 2.0}},
         [=](const QVariantMap& m) {
             const QColor colour = m.value("inputColor").value<QColor>();
             const double channel[3] = {colour.redF(), colour.greenF(), colour.blueF()};
             return build(around, [&](double x, double y, int, int) {
                 const double d = std::hypot(x - 12, y - 8);
                 const double s = std::max(
                     0.0,
                     1 - 0.7 * std::pow((1 + std::sin(19 * std::atan2(y - 8, x - 12))) / 2, 2.0));
                 Px out;
                 for (int k = 0; k < 3; ++k) {
                     const double ring =
                         std::max(0.0, 1 - std::abs(d - (10 + (k - 1) * 8 * 0.5 / 2)) / 4);
                     out.v[k] = 255 * channel[k] * ring * ring * s;
                     out.v[3] = std::max(out.v[3], 255 * ring * ring * s);
                 }
                 return out;
             });
         },
         1,
         around});

    // Geometry
    const QTransform turnAndScale = QTransform().translate(4, 30).rotate(20).scale(1.3, 0.8);
    all.append(
        {"affine",
         "CIAffineTransform",
         {{"inputImage", in}, {"inputTransform", turnAndScale}},
         [=](const QVariantMap& m) {
             const FilterImage p = imageInput(m);
             const QRectF mapped = turnAndScale.mapRect(QRectF(p.extent()));
             const QRect e(
                 QPoint(int(std::floor(mapped.left())), int(std::floor(mapped.top()))),
                 QPoint(int(std::ceil(mapped.right())) - 1, int(std::ceil(mapped.bottom())) - 1));
             const QTransform inverse = turnAndScale.inverted();
             return warpReference(
                 p, e, false, [&](QPointF q) -> std::optional<QPointF> { return inverse.map(q); });
         }});
    all.append({"whole translation",
                "CIAffineTransform",
                {{"inputImage", in}, {"inputTransform", QTransform::fromTranslate(-5, 7)}},
                [](const QVariantMap& m) {
                    const FilterImage p = imageInput(m);
                    return build(p.extent().translated(-5, 7), [&](double, double, int i, int j) {
                        return pixelAt(p, i + 5, j - 7);
                    });
                }});
    all.append({"clamp",
                "CIAffineClamp",
                {{"inputImage", in}, {"inputTransform", QTransform().scale(1.5, 1.5)}},
                [=](const QVariantMap& m) {
                    const FilterImage p = imageInput(m);
                    return build(around, [&](double x, double y, int, int) {
                        return bilinear(p, x / 1.5, y / 1.5, true);
                    });
                },
                1,
                around});
    all.append({"crop",
                "CICrop",
                {{"inputImage", in}, {"inputRectangle", QRectF(10.6, -4.2, 14.3, 9.4)}},
                [](const QVariantMap& m) {
                    const FilterImage p = imageInput(m);
                    // Edges 11, -4, 25, 5, inside the picture from y = -2.
                    return build(QRect(QPoint(11, -2), QPoint(24, 4)),
                                 [&](double, double, int i, int j) { return pixelAt(p, i, j); });
                }});
    for (const auto& [scale, aspect] : {std::pair(0.6, 1.3), std::pair(1.7, 0.8)}) {
        all.append({"lanczos",
                    "CILanczosScaleTransform",
                    {{"inputImage", in}, {"inputScale", scale}, {"inputAspectRatio", aspect}},
                    [](const QVariantMap& m) {
                        const FilterImage p = imageInput(m);
                        const QRect e = p.extent();
                        const double sx = num(m, "inputScale") * num(m, "inputAspectRatio");
                        const double sy = num(m, "inputScale");
                        const auto round = [](double v) { return int(std::floor(v + 0.5)); };
                        const QRect out(round(e.left() * sx), round(e.top() * sy),
                                        round(e.width() * sx), round(e.height() * sy));
                        const auto kernel = [](double t) {
                            return t == 0             ? 1.0
                                   : std::abs(t) >= 3 ? 0.0
                                                      : std::sin(kPi * t) * std::sin(kPi * t / 3)
                                                            / (kPi * kPi * t * t / 3);
                        };
                        return build(out, [&](double, double, int i, int j) {
                            const double fx = double(out.width()) / e.width(),
                                         fy = double(out.height()) / e.height();
                            const double u = (i - out.left() + 0.5) / fx - 0.5,
                                         v = (j - out.top() + 0.5) / fy - 0.5;
                            Px sum;
                            double total = 0;
                            for (int b = int(std::floor(v - 3 / std::min(1.0, fy)));
                                 b <= int(std::ceil(v + 3 / std::min(1.0, fy))); ++b)
                                for (int a = int(std::floor(u - 3 / std::min(1.0, fx)));
                                     a <= int(std::ceil(u + 3 / std::min(1.0, fx))); ++a) {
                                    const double w = kernel((a - u) * std::min(1.0, fx))
                                                     * kernel((b - v) * std::min(1.0, fy));
                                    const Px q = pixelAt(p, e.left() + a, e.top() + b, true);
                                    for (int c = 0; c < 4; ++c)
                                        sum.v[c] += w * q.v[c];
                                    total += w;
                                }
                            for (int c = 0; c < 4; ++c)
                                sum.v[c] /= total;
                            return sum;
                        });
                    }});
    }
    const QPointF tl(5, -6), tr(44, 2), br(36, 30), bl(-2, 19);
    all.append({"perspective",
                "CIPerspectiveTransform",
                {{"inputImage", in},
                 {"inputTopLeft", tl},
                 {"inputTopRight", tr},
                 {"inputBottomRight", br},
                 {"inputBottomLeft", bl}},
                [=](const QVariantMap& m) {
                    const FilterImage p = imageInput(m);
                    const QRectF e(p.extent());
                    QTransform t;
                    QTransform::quadToQuad(
                        QPolygonF({e.topLeft(), e.topRight(), e.bottomRight(), e.bottomLeft()}),
                        QPolygonF({tl, tr, br, bl}), t);
                    const QTransform inverse = t.inverted();
                    return warpReference(
                        p, QRect(QPoint(-2, -6), QPoint(43, 29)), false,
                        [&](QPointF q) -> std::optional<QPointF> { return inverse.map(q); });
                }});

    // Compositing
    const FilterImage other = samplePicture(7, QPoint(-6, 4), QSize(29, 31));
    all.append({"source over",
                "CISourceOverCompositing",
                {{"inputImage", in}, {"inputBackgroundImage", img(other)}},
                [=](const QVariantMap& m) {
                    const FilterImage s = imageInput(m);
                    return build(s.extent() | other.extent(), [&](double, double, int i, int j) {
                        const Px a = pixelAt(s, i, j), b = pixelAt(other, i, j);
                        Px out;
                        for (int c = 0; c < 4; ++c)
                            out.v[c] = a.v[c] + b.v[c] * (1 - a.v[3] / 255);
                        return out;
                    });
                }});
    all.append({"source atop",
                "CISourceAtopCompositing",
                {{"inputImage", in}, {"inputBackgroundImage", img(other)}},
                [=](const QVariantMap& m) {
                    const FilterImage s = imageInput(m);
                    return build(other.extent(), [&](double, double, int i, int j) {
                        const Px a = pixelAt(s, i, j), b = pixelAt(other, i, j);
                        Px out;
                        for (int c = 0; c < 4; ++c)
                            out.v[c] = a.v[c] * b.v[3] / 255 + b.v[c] * (1 - a.v[3] / 255);
                        return out;
                    });
                }});
    const FilterImage mask = samplePicture(9, QPoint(10, 0), QSize(21, 17));
    all.append(
        {"blend with mask",
         "CIBlendWithMask",
         {{"inputImage", in}, {"inputBackgroundImage", img(other)}, {"inputMaskImage", img(mask)}},
         [=](const QVariantMap& m) {
             const FilterImage s = imageInput(m);
             return build(s.extent() | other.extent(), [&](double, double, int i, int j) {
                 const Px a = pixelAt(s, i, j), b = pixelAt(other, i, j), k = pixelAt(mask, i, j);
                 const double w = luma(k.v[0], k.v[1], k.v[2]) / 255;
                 Px out;
                 for (int c = 0; c < 4; ++c)
                     out.v[c] = a.v[c] * w + b.v[c] * (1 - w);
                 return out;
             });
         }});
    return all;
}

std::shared_ptr<ImageFilter> made(const Case& c)
{
    auto filter = ImageFilter::filterWithName(QString::fromLatin1(c.filter));
    if (!filter)
        return nullptr;
    for (auto it = c.inputs.cbegin(); it != c.inputs.cend(); ++it)
        filter->setValue(it.value(), it.key());
    return filter;
}

// The largest channel difference between two pictures over both extents (transparent
// where a picture has no pixels); the first differing place in *where.
int largestDifference(const FilterImage& a, const FilterImage& b, const QRect& over, QString* where)
{
    int largest = 0;
    for (int y = over.top(); y <= over.bottom(); ++y) {
        for (int x = over.left(); x <= over.right(); ++x) {
            const Px p = pixelAt(a, x, y), q = pixelAt(b, x, y);
            for (int c = 0; c < 4; ++c) {
                const int d = int(std::abs(p.v[c] - q.v[c]));
                if (d > largest) {
                    largest = d;
                    *where = QStringLiteral("(%1, %2) channel %3: %4 against %5")
                                 .arg(x)
                                 .arg(y)
                                 .arg(c)
                                 .arg(p.v[c])
                                 .arg(q.v[c]);
                }
            }
        }
    }
    return largest;
}

FilterImage rendered(const FilterImage& image, const QRect& rect)
{
    return image.isInfinite() ? FilterImage(image.render(rect), rect.topLeft()) : image;
}

} // namespace

TEST(ImageFilterTest, EveryFilterMatchesItsDefinition)
{
    for (const Case& c : cases()) {
        SCOPED_TRACE(c.label);
        const auto filter = made(c);
        ASSERT_TRUE(filter) << c.filter;
        ImageFilter::setMaximumThreadCount(8);
        FilterImage out = filter->outputImage();
        ASSERT_FALSE(out.isNull());
        EXPECT_EQ(out.isInfinite(), !c.rendered.isNull());
        out = rendered(out, c.rendered);
        const FilterImage expected = c.reference(c.inputs);
        if (c.extentGrows) {
            // The blur reaches at least three deviations beyond the picture.
            const int reach = int(std::ceil(3 * num(c.inputs, "inputRadius")));
            EXPECT_TRUE(out.extent().contains(
                imageInput(c.inputs).extent().adjusted(-reach, -reach, reach, reach)));
        } else {
            EXPECT_EQ(out.extent(), expected.extent());
        }
        QString where;
        const int diff = largestDifference(out, expected, out.extent() | expected.extent(), &where);
        EXPECT_LE(diff, c.tolerance) << qPrintable(where);
    }
    ImageFilter::setMaximumThreadCount(0);
}

TEST(ImageFilterTest, OutputIsTheSameForAnyNumberOfThreads)
{
    // A larger picture, so every kernel really splits into bands.
    const FilterImage large = samplePicture(3, QPoint(-11, -5), QSize(301, 157));
    for (Case c : cases()) {
        SCOPED_TRACE(c.label);
        for (auto it = c.inputs.begin(); it != c.inputs.end(); ++it) {
            if (it.key() == QLatin1String("inputImage"))
                it.value() = QVariant::fromValue(large);
        }
        const QRect over = c.rendered.isNull() ? QRect() : c.rendered.adjusted(-150, -80, 150, 80);
        QImage first;
        for (int threads : {1, 2, 8}) {
            ImageFilter::setMaximumThreadCount(threads);
            const FilterImage out = rendered(made(c)->outputImage(), over);
            ASSERT_FALSE(out.isNull());
            if (threads == 1)
                first = out.pixels();
            else
                EXPECT_TRUE(out.pixels() == first) << threads << " threads";
        }
    }
    ImageFilter::setMaximumThreadCount(0);
}

TEST(ImageFilterTest, FiltersAreMadeByNameWithTheirInputsAndDefaults)
{
    const QStringList names = ImageFilter::filterNames();
    for (const char* name : {"CIColorControls",
                             "CIHueAdjust",
                             "CIUnsharpMask",
                             "CIGaussianBlur",
                             "CIExposureAdjust",
                             "CIColorInvert",
                             "CISepiaTone",
                             "CIColorPosterize",
                             "CICircleSplashDistortion",
                             "CICrystallize",
                             "CIEdgeWork",
                             "CIBumpDistortion",
                             "CIDotScreen",
                             "CINoiseReduction",
                             "CIMotionBlur",
                             "CIZoomBlur",
                             "CICircularWrap",
                             "CIHoleDistortion",
                             "CIPinchDistortion",
                             "CITwirlDistortion",
                             "CIVortexDistortion",
                             "CIPointillize",
                             "CIPixellate",
                             "CIBloom",
                             "CIGloom",
                             "CIEdges",
                             "CIOpTile",
                             "CIKaleidoscope",
                             "CITriangleTile",
                             "CICircularScreen",
                             "CIStarShineGenerator",
                             "CILenticularHaloGenerator",
                             "CIWhitePointAdjust",
                             "CIPerspectiveTransform",
                             "CIBlendWithMask",
                             "CISourceOverCompositing",
                             "CISourceAtopCompositing",
                             "CIConstantColorGenerator",
                             "CICrop",
                             "CILanczosScaleTransform",
                             "CIAffineTransform",
                             "CIAffineClamp"}) {
        EXPECT_TRUE(names.contains(QString::fromLatin1(name))) << name;
        const auto filter = ImageFilter::filterWithName(QString::fromLatin1(name));
        ASSERT_TRUE(filter) << name;
        EXPECT_EQ(filter->name(), QString::fromLatin1(name));
    }
    EXPECT_EQ(names.size(), 42);
    EXPECT_EQ(ImageFilter::filterWithName(QStringLiteral("CINoSuchFilter")), nullptr);
    EXPECT_EQ(ImageFilter::filterWithName(QString()), nullptr);

    const auto blur = ImageFilter::filterWithName(QStringLiteral("CIGaussianBlur"));
    EXPECT_EQ(blur->inputKeys(), QStringList({"inputImage", "inputRadius"}));
    EXPECT_EQ(blur->valueForKey(QStringLiteral("inputRadius")).toDouble(), 10.0);
    blur->setValue(QVariant::fromValue(samplePicture()), QStringLiteral("inputImage"));
    blur->setValue(3, QStringLiteral("inputRadius"));
    blur->setValue(5, QStringLiteral("inputNoSuchKey")); // ignored
    EXPECT_FALSE(blur->valueForKey(QStringLiteral("inputNoSuchKey")).isValid());
    EXPECT_EQ(blur->valueForKey(QStringLiteral("inputRadius")).toInt(), 3);
    blur->setDefaults();
    EXPECT_EQ(blur->valueForKey(QStringLiteral("inputRadius")).toDouble(), 10.0);
    EXPECT_FALSE(blur->outputImage().isNull()) << "the image stays through setDefaults";

    // A replaced factory makes every filter until it is put back.
    QStringList asked;
    ImageFilter::setFactory([&asked](const QString& name) {
        asked.append(name);
        return std::shared_ptr<ImageFilter>();
    });
    EXPECT_EQ(ImageFilter::filterWithName(QStringLiteral("CIGaussianBlur")), nullptr);
    ImageFilter::setFactory({});
    EXPECT_NE(ImageFilter::filterWithName(QStringLiteral("CIGaussianBlur")), nullptr);
    EXPECT_EQ(asked, QStringList({"CIGaussianBlur"}));
}

TEST(ImageFilterTest, AFailingFilterGivesTheNullImage)
{
    const QVariant picture = QVariant::fromValue(samplePicture());
    const struct
    {
        const char* filter;
        QVariantMap inputs;
    } failing[] = {
        {"CIColorInvert", {}},                                            // no image
        {"CIColorInvert", {{"inputImage", QStringLiteral("a picture")}}}, // not an image
        {"CIColorInvert", {{"inputImage", QVariant::fromValue(FilterImage())}}},
        {"CIGaussianBlur", {{"inputImage", picture}, {"inputRadius", std::nan("")}}},
        {"CIGaussianBlur", {{"inputImage", picture}, {"inputRadius", QStringLiteral("wide")}}},
        {"CICrop",
         {{"inputImage", picture}, {"inputRectangle", QRectF(500, 500, 10, 10)}}}, // empty extent
        {"CIAffineTransform",
         {{"inputImage", picture}, {"inputTransform", QTransform(0, 0, 0, 0, 1, 1)}}},
        {"CIPerspectiveTransform",
         {{"inputImage", picture},
          {"inputTopLeft", QPointF(1, 1)},
          {"inputTopRight", QPointF(1, 1)},
          {"inputBottomRight", QPointF(1, 1)},
          {"inputBottomLeft", QPointF(1, 1)}}},
        {"CIBlendWithMask", {{"inputImage", picture}}}, // no mask
        {"CIOpTile", {{"inputImage", picture}, {"inputWidth", 0.0}}},
        {"CILanczosScaleTransform", {{"inputImage", picture}, {"inputScale", 0.0}}},
        {"CIConstantColorGenerator", {{"inputColor", QColor()}}},
        {"CICircularWrap", {{"inputImage", picture}, {"inputCenter", QStringLiteral("middle")}}},
    };
    for (const auto& c : failing) {
        auto filter = ImageFilter::filterWithName(QString::fromLatin1(c.filter));
        for (auto it = c.inputs.cbegin(); it != c.inputs.cend(); ++it)
            filter->setValue(it.value(), it.key());
        EXPECT_TRUE(filter->outputImage().isNull())
            << c.filter << " " << qPrintable(c.inputs.keys().join(' '));
    }
}

TEST(ImageFilterTest, InfinitePicturesAreRenderedOnlyWhereACropOrCompositeAsks)
{
    // A generator that records what it is asked for.
    QList<QRect> asked;
    const FilterImage plane = FilterImage::infinite([&asked](const QRect& rect) {
        asked.append(rect);
        QImage pixels(rect.size(), QImage::Format_ARGB32_Premultiplied);
        pixels.fill(qRgba(255, 255, 255, 255));
        return pixels;
    });
    const auto apply = [](const char* name, const FilterImage& input, QVariantMap inputs) {
        auto filter = ImageFilter::filterWithName(QString::fromLatin1(name));
        filter->setValue(QVariant::fromValue(input), QStringLiteral("inputImage"));
        for (auto it = inputs.cbegin(); it != inputs.cend(); ++it)
            filter->setValue(it.value(), it.key());
        return filter->outputImage();
    };
    const FilterImage inverted = apply("CIColorInvert", plane, {});
    const FilterImage blurred = apply("CIGaussianBlur", inverted, {{"inputRadius", 2.0}});
    const FilterImage moved = apply("CIAffineTransform", blurred,
                                    {{"inputTransform", QTransform::fromTranslate(100, 50)}});
    EXPECT_TRUE(moved.isInfinite());
    EXPECT_TRUE(asked.isEmpty()) << "nothing is rendered before a crop";
    const FilterImage cut = apply("CICrop", moved, {{"inputRectangle", QRectF(0, 0, 9, 7)}});
    ASSERT_FALSE(cut.isInfinite());
    EXPECT_EQ(cut.extent(), QRect(0, 0, 9, 7));
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked.first().contains(QRect(-100, -50, 9, 7)));
    EXPECT_LE(asked.first().width(), 9 + 2 * 8) << "only the blur's reach around the crop";
    EXPECT_EQ(cut.pixels().pixel(4, 3), qRgba(0, 0, 0, 255));

    // Laid over a finite picture an infinite one stays infinite; under one, too.
    const FilterImage picture = samplePicture();
    auto over = ImageFilter::filterWithName(QStringLiteral("CISourceOverCompositing"));
    over->setValue(QVariant::fromValue(picture), QStringLiteral("inputImage"));
    over->setValue(QVariant::fromValue(plane), QStringLiteral("inputBackgroundImage"));
    const FilterImage composite = over->outputImage();
    EXPECT_TRUE(composite.isInfinite());
    const QImage around = composite.render(QRect(0, 0, 4, 4));
    EXPECT_EQ(around.pixel(0, 0), qRgba(255, 255, 255, 255))
        << "the background outside the picture";
}

TEST(ImageFilterTest, GreyPicturesScaleExactlyAsColouredOnesDo)
{
    // A grey picture (a mask) is scaled on fewer channels: the pixels must be the very ones
    // the four channels give. The same grey picture with one coloured corner pixel takes
    // the four channels; away from that pixel's reach the two must agree exactly.
    QRandomGenerator random{7};
    QImage grey(40, 30, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x) {
            const int alpha = y % 5 == 2 ? int(random.bounded(256)) : 255;
            const int v = int(random.bounded(alpha + 1));
            grey.setPixel(x, y, qRgba(v, v, v, alpha));
        }
    }
    QImage tinted = grey.copy();
    tinted.setPixel(0, 0, qRgba(200, 10, 90, 255));
    for (const double scale : {1.7, 0.45}) {
        SCOPED_TRACE(scale);
        const auto scaled = [scale](const QImage& picture) {
            auto filter = ImageFilter::filterWithName(QStringLiteral("CILanczosScaleTransform"));
            filter->setValue(QVariant::fromValue(FilterImage(picture)),
                             QStringLiteral("inputImage"));
            filter->setValue(scale, QStringLiteral("inputScale"));
            return filter->outputImage();
        };
        const FilterImage fromGrey = scaled(grey);
        const FilterImage fromTinted = scaled(tinted);
        ASSERT_FALSE(fromGrey.isNull());
        ASSERT_EQ(fromGrey.extent(), fromTinted.extent());
        // Lanczos reaches 3 source pixels each side (3 / scale when shrinking): the result's
        // pixels from `clear` on take nothing from the coloured one.
        const int clear = int(std::ceil((3.0 / std::min(1.0, scale) + 2.0) * scale)) + 1;
        int compared = 0;
        for (int y = clear; y < fromGrey.extent().height(); ++y) {
            for (int x = clear; x < fromGrey.extent().width(); ++x) {
                const QRgb a = fromGrey.pixels().pixel(x, y);
                ASSERT_EQ(a, fromTinted.pixels().pixel(x, y)) << x << ", " << y;
                ASSERT_TRUE(qRed(a) == qGreen(a) && qRed(a) == qBlue(a)) << x << ", " << y;
                ++compared;
            }
        }
        EXPECT_GT(compared, 50);
        EXPECT_NE(fromGrey.pixels().pixel(0, 0), fromTinted.pixels().pixel(0, 0));
    }
}

TEST(ImageFilterTest, AMaskPictureLandsOnItsRectangle)
{
    // The mask-effect road for a drawn figure: a white figure blurred, stretched onto a
    // rectangle, moved there, laid over black, inverted and cut to the picture.
    QImage white(6, 4, QImage::Format_ARGB32_Premultiplied);
    white.fill(Qt::white);
    FilterImage mask(white);
    const auto step = [](const char* name, const FilterImage& input, QVariantMap inputs) {
        auto filter = ImageFilter::filterWithName(QString::fromLatin1(name));
        if (!input.isNull())
            filter->setValue(QVariant::fromValue(input), QStringLiteral("inputImage"));
        for (auto it = inputs.cbegin(); it != inputs.cend(); ++it)
            filter->setValue(it.value(), it.key());
        return filter->outputImage();
    };
    mask = step("CIGaussianBlur", mask, {{"inputRadius", 0.5}});
    mask = step("CILanczosScaleTransform", mask, {{"inputScale", 5.0}, {"inputAspectRatio", 1.0}});
    mask = step("CIAffineTransform", mask, {{"inputTransform", QTransform::fromTranslate(10, 10)}});
    const FilterImage black =
        step("CIConstantColorGenerator", {}, {{"inputColor", QColor(Qt::black)}});
    mask = step("CISourceOverCompositing", mask,
                {{"inputBackgroundImage", QVariant::fromValue(black)}});
    EXPECT_TRUE(mask.isInfinite());
    mask = step("CIColorInvert", mask, {});
    mask = step("CICrop", mask, {{"inputRectangle", QRectF(0, 0, 60, 40)}});
    ASSERT_FALSE(mask.isNull());
    EXPECT_EQ(mask.extent(), QRect(0, 0, 60, 40));
    // White (after the inversion) around the figure, black in its middle, soft between.
    EXPECT_EQ(mask.pixels().pixel(2, 2), qRgba(255, 255, 255, 255));
    EXPECT_EQ(mask.pixels().pixel(55, 35), qRgba(255, 255, 255, 255));
    EXPECT_LT(qRed(mask.pixels().pixel(25, 20)), 10);
    const int edge = qRed(mask.pixels().pixel(10, 20));
    EXPECT_GT(edge, 40);
    EXPECT_LT(edge, 215);
}
