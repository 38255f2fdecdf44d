// Distortions: each output pixel sampled elsewhere in the input.

#include "platform/imaging/FilterKernels.h"
#include "platform/imaging/FilterRegistry.h"

#include <array>
#include <cmath>
#include <numbers>
#include <optional>

namespace platform::filters {

using kernels::Edge;

namespace {

constexpr double kPi = std::numbers::pi;

// v turned by `angle` (towards +y).
QPointF turned(const QPointF& v, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    return {c * v.x() - s * v.y(), s * v.x() + c * v.y()};
}

// The input sampled where at(p) says for each output pixel centre p (no point: a
// transparent pixel), over the input's extent with its edges repeated unless told otherwise.
template <typename At>
FilterImage sampledAt(const FilterImage& input, At at, std::optional<QRect> extent = std::nullopt,
                      Edge edge = Edge::Clamp)
{
    if (!extent)
        extent = input.extent();
    return kernels::warp(
        input, extent,
        [at](double x, double y, double* sx, double* sy) {
            const std::optional<QPointF> s = at(QPointF(x, y));
            if (!s)
                return false;
            *sx = s->x();
            *sy = s->y();
            return true;
        },
        edge);
}

// A distortion about the centre and radius: offset(v, d, r, extra) gives where p = c + v
// is sampled, as an offset from c (no offset: transparent); extra holds the values of
// the other keys.
template <typename Offset>
FilterImage aboutCentre(const ImageFilter& f, std::initializer_list<QString> extraKeys,
                        Offset offset)
{
    const FilterImage input = f.image(kInputImage);
    const QPointF c = f.point(kInputCenter);
    const double r = f.number(kInputRadius);
    std::array<double, 2> extra{};
    std::size_t i = 0;
    for (const QString& key : extraKeys)
        extra[i++] = f.number(key);
    if (f.failed())
        return {};
    return sampledAt(input, [=](const QPointF& p) -> std::optional<QPointF> {
        const QPointF v = p - c;
        const std::optional<QPointF> q = offset(v, std::hypot(v.x(), v.y()), r, extra);
        return q ? std::optional(c + *q) : std::nullopt;
    });
}

using Extra = std::array<double, 2>;

FilterImage circleSplash(const ImageFilter& f)
{
    return aboutCentre(f, {},
                       [](QPointF v, double d, double r, const Extra&) -> std::optional<QPointF> {
                           return d > r ? v * (r / d) : v;
                       });
}

FilterImage bump(const ImageFilter& f)
{
    return aboutCentre(
        f, {kInputScale},
        [](QPointF v, double d, double r, const Extra& scale) -> std::optional<QPointF> {
            if (!(d < r))
                return v;
            const double t = 1.0 - d * d / (r * r);
            return v * (1.0 - scale[0] * t * t);
        });
}

FilterImage hole(const ImageFilter& f)
{
    return aboutCentre(f, {},
                       [](QPointF v, double d, double r, const Extra&) -> std::optional<QPointF> {
                           if (d <= r)
                               return std::nullopt;
                           return v * (1.0 - r * r / (d * d));
                       });
}

FilterImage pinch(const ImageFilter& f)
{
    return aboutCentre(
        f, {kInputScale},
        [](QPointF v, double d, double r, const Extra& scale) -> std::optional<QPointF> {
            return d < r && d > 0.0 ? v * std::pow(d / r, -scale[0] / 2.0) : v;
        });
}

FilterImage twirl(const ImageFilter& f)
{
    return aboutCentre(
        f, {kInputAngle},
        [](QPointF v, double d, double r, const Extra& angle) -> std::optional<QPointF> {
            const double t = 1.0 - d / r;
            return d < r ? turned(v, -angle[0] * t * t) : v;
        });
}

FilterImage vortex(const ImageFilter& f)
{
    return aboutCentre(
        f, {kInputAngle},
        [](QPointF v, double d, double r, const Extra& angle) -> std::optional<QPointF> {
            return d < r ? turned(v, -angle[0] / r * (1.0 - d / r)) : v;
        });
}

FilterImage circularWrap(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const double r = f.number(kInputRadius);
    const double angle = f.number(kInputAngle);
    const QRect extent = input.extent();
    const QPointF c = f.isSet(kInputCenter) ? f.point(kInputCenter) : QRectF(extent).center();
    if (f.failed() || input.isInfinite())
        return {};
    const double middle = extent.left() + extent.width() / 2.0;
    const double bottom = extent.top() + extent.height();
    const double reach = r + extent.height();
    const QRect square = QRectF(c.x() - reach, c.y() - reach, 2 * reach, 2 * reach).toAlignedRect();
    // Beyond this ring every sample falls more than two pixels outside the input, so the
    // pixel is transparent: most of the square is, and needs no angle.
    const double inner = r - 4.0;
    const double outer = reach + 4.0;
    return sampledAt(
        input,
        [=](const QPointF& p) -> std::optional<QPointF> {
            const QPointF v = p - c;
            const double squared = v.x() * v.x() + v.y() * v.y();
            if (squared > outer * outer || (inner > 0.0 && squared < inner * inner))
                return std::nullopt;
            // The remainder by a whole turn, into [-pi, pi]; a turn taken off or added is
            // exact here, so it gives what std::remainder does without its cost.
            double t = std::atan2(v.y(), v.x()) - angle;
            if (t > kPi && t <= 3 * kPi)
                t -= 2 * kPi;
            else if (t < -kPi && t >= -3 * kPi)
                t += 2 * kPi;
            else if (std::abs(t) > kPi)
                t = std::remainder(t, 2 * kPi);
            if (t <= -kPi)
                t += 2 * kPi;
            return QPointF(middle + t * r, bottom - (std::hypot(v.x(), v.y()) - r));
        },
        square, Edge::Transparent);
}

FilterImage opTile(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const QPointF c = f.point(kInputCenter);
    const double scale = f.number(kInputScale);
    const double angle = f.number(kInputAngle);
    const double w = f.number(kInputWidth);
    if (f.failed() || !(w > 0.0))
        return {};
    return sampledAt(input, [=](const QPointF& p) -> std::optional<QPointF> {
        const QPointF q = turned(p - c, -angle);
        const QPointF m((std::floor(q.x() / w) + 0.5) * w, (std::floor(q.y() / w) + 0.5) * w);
        return c + turned(m + (q - m) * scale, angle);
    });
}

FilterImage kaleidoscope(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const double count = f.number(QStringLiteral("inputCount"));
    const QPointF c = f.point(kInputCenter);
    const double angle = f.number(kInputAngle);
    if (f.failed())
        return {};
    const double s = 2 * kPi / std::max(count, 1.0);
    return sampledAt(input, [=](const QPointF& p) -> std::optional<QPointF> {
        const QPointF v = p - c;
        double a = std::fmod(std::atan2(v.y(), v.x()) - angle, 2 * kPi);
        if (a < 0)
            a += 2 * kPi;
        const double k = std::floor(a / s);
        a -= k * s;
        if (std::fmod(k, 2.0) != 0.0)
            a = s - a;
        const double d = std::hypot(v.x(), v.y());
        return c + QPointF(d * std::cos(a + angle), d * std::sin(a + angle));
    });
}

FilterImage triangleTile(const ImageFilter& f)
{
    const FilterImage input = f.image(kInputImage);
    const QPointF c = f.point(kInputCenter);
    const double angle = f.number(kInputAngle);
    const double w = f.number(kInputWidth);
    if (f.failed() || !(w > 0.0))
        return {};
    const double root3 = std::sqrt(3.0);
    return sampledAt(input, [=](const QPointF& p) -> std::optional<QPointF> {
        const QPointF q = turned(p - c, -angle);
        const double u = q.x() / w - q.y() / (w * root3);
        const double v = 2 * q.y() / (w * root3);
        double a = u - std::floor(u);
        double b = v - std::floor(v);
        if (a + b > 1.0) {
            const double was = a;
            a = 1.0 - b;
            b = 1.0 - was;
        }
        return c + turned(QPointF((a + b / 2) * w, b * w * root3 / 2), angle);
    });
}

} // namespace

void addDistortionFilters(Definitions& definitions)
{
    const ImageFilter::Input image{kInputImage, {}};
    const ImageFilter::Input centre{kInputCenter, QPointF(150, 150)};
    definitions += {
        {QStringLiteral("CICircleSplashDistortion"),
         {image, centre, {kInputRadius, 150.0}},
         circleSplash},
        {QStringLiteral("CIBumpDistortion"),
         {image, centre, {kInputRadius, 300.0}, {kInputScale, 0.5}},
         bump},
        {QStringLiteral("CIHoleDistortion"), {image, centre, {kInputRadius, 150.0}}, hole},
        {QStringLiteral("CIPinchDistortion"),
         {image, centre, {kInputRadius, 300.0}, {kInputScale, 0.5}},
         pinch},
        {QStringLiteral("CITwirlDistortion"),
         {image, centre, {kInputRadius, 300.0}, {kInputAngle, 3.14159}},
         twirl},
        {QStringLiteral("CIVortexDistortion"),
         {image, centre, {kInputRadius, 300.0}, {kInputAngle, 56.55}},
         vortex},
        {QStringLiteral("CICircularWrap"),
         {image, {kInputCenter, QVariant()}, {kInputRadius, 150.0}, {kInputAngle, 0.0}},
         circularWrap},
        {QStringLiteral("CIOpTile"),
         {image, centre, {kInputScale, 2.8}, {kInputAngle, 0.0}, {kInputWidth, 65.0}},
         opTile},
        {QStringLiteral("CIKaleidoscope"),
         {image, {QStringLiteral("inputCount"), 6.0}, centre, {kInputAngle, 0.0}},
         kaleidoscope},
        {QStringLiteral("CITriangleTile"),
         {image, centre, {kInputAngle, 0.0}, {kInputWidth, 100.0}},
         triangleTile},
    };
}

} // namespace platform::filters
