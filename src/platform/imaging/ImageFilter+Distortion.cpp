// Distortions: each output pixel sampled elsewhere in the input.

#include "platform/imaging/FilterKernels.h"
#include "platform/imaging/FilterRegistry.h"

#include <cmath>
#include <numbers>

namespace platform::filters {

using kernels::Edge;

namespace {

const QString kImage = QStringLiteral("inputImage");
const QString kCenter = QStringLiteral("inputCenter");
const QString kRadius = QStringLiteral("inputRadius");
const QString kAngle = QStringLiteral("inputAngle");
const QString kScale = QStringLiteral("inputScale");
const QString kWidth = QStringLiteral("inputWidth");
constexpr double kPi = std::numbers::pi;

// v turned by `angle` (towards +y).
QPointF turned(const QPointF& v, double angle)
{
    const double c = std::cos(angle), s = std::sin(angle);
    return {c * v.x() - s * v.y(), s * v.x() + c * v.y()};
}

// A distortion within a circle about the centre: inside(p - c, d, r) gives the offset from
// c to sample at; outside the circle the pixel is unchanged.
template <typename Inside>
FilterImage radial(const ImageFilter& f, std::initializer_list<QString> extraKeys, Inside inside)
{
    const FilterImage input = f.image(kImage);
    const QPointF c = f.point(kCenter);
    const double r = f.number(kRadius);
    double extra[2] = {0, 0};
    int i = 0;
    for (const QString& key : extraKeys)
        extra[i++] = f.number(key);
    if (f.failed())
        return {};
    return kernels::warp(
        input, input.extent(),
        [=](double x, double y, double* sx, double* sy) {
            const QPointF v(x - c.x(), y - c.y());
            const double d = std::hypot(v.x(), v.y());
            QPointF q = v;
            if (d < r && !inside(v, d, r, extra, &q))
                return false;
            *sx = c.x() + q.x();
            *sy = c.y() + q.y();
            return true;
        },
        Edge::Clamp);
}

FilterImage circleSplash(const ImageFilter& f)
{
    const FilterImage input = f.image(kImage);
    const QPointF c = f.point(kCenter);
    const double r = f.number(kRadius);
    if (f.failed())
        return {};
    return kernels::warp(
        input, input.extent(),
        [=](double x, double y, double* sx, double* sy) {
            const QPointF v(x - c.x(), y - c.y());
            const double d = std::hypot(v.x(), v.y());
            const double k = d > r ? r / d : 1.0;
            *sx = c.x() + v.x() * k;
            *sy = c.y() + v.y() * k;
            return true;
        },
        Edge::Clamp);
}

FilterImage bump(const ImageFilter& f)
{
    return radial(f, {kScale}, [](QPointF v, double d, double r, const double* scale, QPointF* q) {
        const double t = 1.0 - d * d / (r * r);
        *q = v * (1.0 - scale[0] * t * t);
        return true;
    });
}

FilterImage hole(const ImageFilter& f)
{
    const FilterImage input = f.image(kImage);
    const QPointF c = f.point(kCenter);
    const double r = f.number(kRadius);
    if (f.failed())
        return {};
    return kernels::warp(
        input, input.extent(),
        [=](double x, double y, double* sx, double* sy) {
            const QPointF v(x - c.x(), y - c.y());
            const double d = std::hypot(v.x(), v.y());
            if (d <= r)
                return false;
            const double k = 1.0 - r * r / (d * d);
            *sx = c.x() + v.x() * k;
            *sy = c.y() + v.y() * k;
            return true;
        },
        Edge::Clamp);
}

FilterImage pinch(const ImageFilter& f)
{
    return radial(f, {kScale}, [](QPointF v, double d, double r, const double* scale, QPointF* q) {
        *q = d > 0.0 ? v * std::pow(d / r, -scale[0] / 2.0) : v;
        return true;
    });
}

FilterImage twirl(const ImageFilter& f)
{
    return radial(f, {kAngle}, [](QPointF v, double d, double r, const double* angle, QPointF* q) {
        const double t = 1.0 - d / r;
        *q = turned(v, -angle[0] * t * t);
        return true;
    });
}

FilterImage vortex(const ImageFilter& f)
{
    return radial(f, {kAngle}, [](QPointF v, double d, double r, const double* angle, QPointF* q) {
        *q = turned(v, -angle[0] / r * (1.0 - d / r));
        return true;
    });
}

FilterImage circularWrap(const ImageFilter& f)
{
    const FilterImage input = f.image(kImage);
    const double r = f.number(kRadius);
    const double angle = f.number(kAngle);
    const QRect extent = input.extent();
    const QPointF c = f.isSet(kCenter) ? f.point(kCenter) : QRectF(extent).center();
    if (f.failed() || input.isInfinite())
        return {};
    const double middle = extent.left() + extent.width() / 2.0;
    const double bottom = extent.top() + extent.height();
    const double reach = r + extent.height();
    const QRect square = QRectF(c.x() - reach, c.y() - reach, 2 * reach, 2 * reach).toAlignedRect();
    return kernels::warp(
        input, square,
        [=](double x, double y, double* sx, double* sy) {
            const double dx = x - c.x(), dy = y - c.y();
            double t = std::atan2(dy, dx) - angle;
            t = std::remainder(t, 2 * kPi); // (-pi, pi]
            if (t <= -kPi)
                t += 2 * kPi;
            *sx = middle + t * r;
            *sy = bottom - (std::hypot(dx, dy) - r);
            return true;
        },
        Edge::Transparent);
}

FilterImage opTile(const ImageFilter& f)
{
    const FilterImage input = f.image(kImage);
    const QPointF c = f.point(kCenter);
    const double scale = f.number(kScale);
    const double angle = f.number(kAngle);
    const double w = f.number(kWidth);
    if (f.failed() || !(w > 0.0))
        return {};
    return kernels::warp(
        input, input.extent(),
        [=](double x, double y, double* sx, double* sy) {
            const QPointF q = turned(QPointF(x, y) - c, -angle);
            const QPointF m((std::floor(q.x() / w) + 0.5) * w, (std::floor(q.y() / w) + 0.5) * w);
            const QPointF s = c + turned(m + (q - m) * scale, angle);
            *sx = s.x();
            *sy = s.y();
            return true;
        },
        Edge::Clamp);
}

FilterImage kaleidoscope(const ImageFilter& f)
{
    const FilterImage input = f.image(kImage);
    const double count = f.number(QStringLiteral("inputCount"));
    const QPointF c = f.point(kCenter);
    const double angle = f.number(kAngle);
    if (f.failed())
        return {};
    const double s = 2 * kPi / std::max(count, 1.0);
    return kernels::warp(
        input, input.extent(),
        [=](double x, double y, double* sx, double* sy) {
            const double dx = x - c.x(), dy = y - c.y();
            double a = std::fmod(std::atan2(dy, dx) - angle, 2 * kPi);
            if (a < 0)
                a += 2 * kPi;
            const double k = std::floor(a / s);
            a -= k * s;
            if (std::fmod(k, 2.0) != 0.0)
                a = s - a;
            const double d = std::hypot(dx, dy);
            *sx = c.x() + d * std::cos(a + angle);
            *sy = c.y() + d * std::sin(a + angle);
            return true;
        },
        Edge::Clamp);
}

FilterImage triangleTile(const ImageFilter& f)
{
    const FilterImage input = f.image(kImage);
    const QPointF c = f.point(kCenter);
    const double angle = f.number(kAngle);
    const double w = f.number(kWidth);
    if (f.failed() || !(w > 0.0))
        return {};
    const double root3 = std::sqrt(3.0);
    return kernels::warp(
        input, input.extent(),
        [=](double x, double y, double* sx, double* sy) {
            const QPointF q = turned(QPointF(x, y) - c, -angle);
            const double u = q.x() / w - q.y() / (w * root3);
            const double v = 2 * q.y() / (w * root3);
            double a = u - std::floor(u);
            double b = v - std::floor(v);
            if (a + b > 1.0) {
                const double was = a;
                a = 1.0 - b;
                b = 1.0 - was;
            }
            const QPointF s = c + turned(QPointF((a + b / 2) * w, b * w * root3 / 2), angle);
            *sx = s.x();
            *sy = s.y();
            return true;
        },
        Edge::Clamp);
}

} // namespace

void addDistortionFilters(Definitions& definitions)
{
    const ImageFilter::Input image{kImage, {}};
    const ImageFilter::Input centre{kCenter, QPointF(150, 150)};
    definitions += {
        {QStringLiteral("CICircleSplashDistortion"),
         {image, centre, {kRadius, 150.0}},
         circleSplash},
        {QStringLiteral("CIBumpDistortion"),
         {image, centre, {kRadius, 300.0}, {kScale, 0.5}},
         bump},
        {QStringLiteral("CIHoleDistortion"), {image, centre, {kRadius, 150.0}}, hole},
        {QStringLiteral("CIPinchDistortion"),
         {image, centre, {kRadius, 300.0}, {kScale, 0.5}},
         pinch},
        {QStringLiteral("CITwirlDistortion"),
         {image, centre, {kRadius, 300.0}, {kAngle, 3.14159}},
         twirl},
        {QStringLiteral("CIVortexDistortion"),
         {image, centre, {kRadius, 300.0}, {kAngle, 56.55}},
         vortex},
        {QStringLiteral("CICircularWrap"),
         {image, {kCenter, QVariant()}, {kRadius, 150.0}, {kAngle, 0.0}},
         circularWrap},
        {QStringLiteral("CIOpTile"),
         {image, centre, {kScale, 2.8}, {kAngle, 0.0}, {kWidth, 65.0}},
         opTile},
        {QStringLiteral("CIKaleidoscope"),
         {image, {QStringLiteral("inputCount"), 6.0}, centre, {kAngle, 0.0}},
         kaleidoscope},
        {QStringLiteral("CITriangleTile"),
         {image, centre, {kAngle, 0.0}, {kWidth, 100.0}},
         triangleTile},
    };
}

} // namespace platform::filters
