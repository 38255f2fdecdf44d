#pragma once

// Named image filters: made by name, given their inputs by key, asked for their output.
//
//     auto blur = ImageFilter::filterWithName(QStringLiteral("CIGaussianBlur"));
//     blur->setValue(QVariant::fromValue(picture), QStringLiteral("inputImage"));
//     blur->setValue(4.0, QStringLiteral("inputRadius"));
//     const FilterImage blurred = blur->outputImage();   // null when the filter failed
//
// A filter owns nothing but its input values; outputImage() renders at once for finite
// inputs (an infinite input gives an infinite output, rendered where it is cropped or
// composited, see FilterImage) and runs on the calling thread's behalf over row bands on
// the filters' own thread pool. The result is the same for any number of threads.
// A failing filter (a missing or wrong input, a non-finite number, an empty extent, memory
// that cannot be had) gives the null image and leaves its caller to decide.
//
// Input values: numbers as double (or any number QVariant), points "inputCenter" etc. as
// QPointF, colours as QColor, images as FilterImage, "inputTransform" as QTransform,
// "inputRectangle" as QRectF. Every figure is in y-down pixels of the images (see
// FilterImage; y-up figures go through YUpFrame first); angles are radians turning from +x
// towards +y (clockwise on screen). A filter is made with its defaults set; setDefaults()
// puts them back (images stay).
//
// The filters, their inputs (defaults) and what they do. Notation: p the centre of an
// output pixel, c "inputCenter", d = |p - c|; colour filters work on each pixel's
// unpremultiplied colour u (channels 0-1), clamp it to 0-1 and keep its alpha, so
// transparent pixels stay transparent; "sampled at q" means bilinear between the input's
// pixel centres with the edge pixels repeated beyond the extent (unless said otherwise);
// P are premultiplied channels (alpha included) in 0-1; G(x) is the Gaussian blur of x
// with deviation "inputRadius", edge pixels repeated; luma(x) = 0.2126 r + 0.7152 g +
// 0.0722 b. Extents are the input's unless said otherwise.
//
// Colour
// "CIColorInvert": u' = 1 - u.
// "CIColorControls" inputSaturation (1), inputBrightness (0), inputContrast (1):
//     L = luma(u); u <- L + (u - L) saturation; u <- u + brightness;
//     u' = (u - 0.5) contrast + 0.5.
// "CIHueAdjust" inputAngle (0): u turned about the grey axis k = (1, 1, 1) / sqrt 3 by the
//     angle: u' = u cos a + (k x u) sin a + k (k . u) (1 - cos a).
// "CIExposureAdjust" inputEV (0.5): in linear light, u' = sRGB(linear(u) 2^EV), with the
//     sRGB curve linear(u) = u / 12.92 up to 0.04045, else ((u + 0.055) / 1.055)^2.4.
// "CISepiaTone" inputIntensity (1): s = (0.393 r + 0.769 g + 0.189 b, 0.349 r + 0.686 g +
//     0.168 b, 0.272 r + 0.534 g + 0.131 b); u' = u + (s - u) intensity.
// "CIColorPosterize" inputLevels (6): n = max(levels, 2) - 1; u' = floor(u n + 0.5) / n.
// "CIWhitePointAdjust" inputColor (a warm white, 1 / 0.92 / 0.8, so the default shows):
//     white becomes the colour: u' = u x colour, channel by channel.
//
// Blurs and edges
// "CIGaussianBlur" inputRadius (10): Gaussian with a standard deviation of the radius,
//     transparent beyond the extent, which grows by the blur's reach (3 to 4 radii;
//     radius 0 or less: unchanged). Exact to a byte step (within 2 per channel).
// "CIUnsharpMask" inputRadius (2.5), inputIntensity (0.5): P' = P + intensity (P - G(P)).
// "CIMotionBlur" inputRadius (20), inputAngle (0): the mean of n = min(64, 2 ceil(r) + 1)
//     samples at p + t (cos a, sin a), t from -r to r in equal steps, transparent beyond
//     the extent, which grows by ceil(r |cos a|), ceil(r |sin a|). r <= 0: unchanged.
// "CIZoomBlur" inputCenter (150, 150), inputAmount (20): the mean of 24 samples at
//     p + (c - p) (amount / 100) k / 23, k = 0 to 23.
// "CINoiseReduction" inputNoiseLevel (0.02), inputSharpness (0.4): m = the mean of the
//     3 x 3 pixels around p (edges repeated) whose luma(P) differs from p's by at most the
//     noise level (p itself always counts); P' = m + sharpness (P - m).
// "CIBloom" inputRadius (10), inputIntensity (0.5): v = G(P) unpremultiplied;
//     u' = 1 - (1 - u)(1 - intensity v) (a screen of the blurred picture).
// "CIGloom" inputRadius (10), inputIntensity (0.5): u' = u (1 - intensity + intensity v)
//     (a multiply of the blurred picture).
// "CIEdgeWork" inputRadius (3): L = luma(P) rounded to a byte; ink = clamp(4 (G(L) - L)):
//     white lines (P' = ink in every channel) on the dark side of every edge, transparent
//     elsewhere.
// "CIEdges" inputIntensity (1): each colour channel of P through the Sobel operator (its
//     kernels divided by 8, edges repeated): clamp(intensity sqrt(gx² + gy²)); opaque.
//
// Distortions (p sampled elsewhere; a radius of 0 or less leaves the picture as it is, a
// tile or screen width of 0 or less fails)
// "CICircleSplashDistortion" inputCenter (150, 150), inputRadius (150): outside the circle
//     p is sampled at c + (p - c) r / d, its point on the circle; inside it is unchanged.
// "CIBumpDistortion" inputCenter (150, 150), inputRadius (300), inputScale (0.5): inside
//     the circle, sampled at c + (p - c) (1 - scale (1 - d² / r²)²); positive scales
//     magnify the middle.
// "CIHoleDistortion" inputCenter (150, 150), inputRadius (150): transparent where d <= r,
//     else sampled at c + (p - c) (1 - r² / d²).
// "CIPinchDistortion" inputCenter (150, 150), inputRadius (300), inputScale (0.5): inside
//     the circle, sampled at c + (p - c) (d / r)^(-scale / 2).
// "CITwirlDistortion" inputCenter (150, 150), inputRadius (300), inputAngle (3.14159):
//     inside the circle the picture turns by angle (1 - d / r)² about c: sampled at p
//     turned about c by minus that.
// "CIVortexDistortion" inputCenter (150, 150), inputRadius (300), inputAngle (56.55): the
//     same with the turn (angle / r)(1 - d / r), so the angle counts per pixel of radius.
// "CICircularWrap" inputCenter (the middle of the input when unset, so the default
//     shows), inputRadius (150), inputAngle (0): the picture bent round the circle, its
//     bottom edge on it, its middle column at the angle, x as arc length: with
//     t = direction of p - c minus the angle, in (-pi, pi], p is sampled at
//     (the extent's middle x + t r, its bottom y - (d - r)), transparent beyond the extent.
//     Extent: the square of side 2 (r + height) centred on c, rounded outwards.
// "CIOpTile" inputCenter (150, 150), inputScale (2.8), inputAngle (0), inputWidth (65):
//     q = p - c turned by -angle; m the centre of q's square of side width in a grid with a
//     corner at 0; sampled at c + (m + (q - m) scale) turned by angle.
// "CIKaleidoscope" inputCount (6), inputCenter (150, 150), inputAngle (0): wedges of
//     s = 2 pi / max(count, 1): with f the direction of p - c minus the angle in [0, 2 pi),
//     k = floor(f / s), f <- f - k s, mirrored (s - f) when k is odd; sampled at
//     c + d (cos(f + angle), sin(f + angle)).
// "CITriangleTile" inputCenter (150, 150), inputAngle (0), inputWidth (100): q = p - c
//     turned by -angle in a lattice of equilateral triangles of side w: (a, b) the fractional
//     parts of (q.x / w - q.y / (w sqrt 3), 2 q.y / (w sqrt 3)), (a, b) <- (1 - b, 1 - a)
//     when a + b > 1; sampled at c + ((a + b / 2) w, b w sqrt 3 / 2) turned by angle.
//
// Stylize
// "CIPixellate" inputCenter (150, 150), inputScale (8): squares of side max(scale, 1) in a
//     grid with a corner at c; each pixel takes the input pixel at its square's centre
//     (the nearest pixel inside the extent).
// "CICrystallize" inputRadius (20), inputCenter (150, 150): a seed in every square of side
//     R = max(radius, 1) of a grid with a corner at c, square (i, j) holding its seed at
//     c + R (i + h(i, j, 0), j + h(i, j, 1)); each pixel takes the input pixel at the seed
//     nearest to it. h(i, j, k) = the hash below, in [0, 1).
// "CIPointillize" inputRadius (20), inputCenter (150, 150): the seeds of the crystallize;
//     pixels within 0.7 R of their nearest seed take the input pixel at it, the rest are
//     transparent.
// "CIDotScreen" inputCenter (150, 150), inputAngle (0), inputWidth (6), inputSharpness
//     (0.7): L = luma(u); q = (p - c) turned by -angle, times 2 pi / width;
//     P = 0.5 + 0.25 (cos q.x + cos q.y); t = max(1 - sharpness, 0.01) / 2;
//     grey g = clamp((L - P) / (2 t) + 0.5); u' = (g, g, g).
// "CICircularScreen" inputCenter (150, 150), inputWidth (6), inputSharpness (0.7): the dot
//     screen with P = 0.5 + 0.5 cos(2 pi d / width).
//
// Generators (infinite; the colour with alpha times an intensity I in 0-1)
// "CIConstantColorGenerator" inputColor (opaque black): the colour everywhere.
// "CIStarShineGenerator" inputCenter (150, 150), inputColor (1 / 0.8 / 0.6),
//     inputRadius (50), inputCrossScale (15), inputCrossAngle (0.6), inputCrossOpacity
//     (-2), inputCrossWidth (2.5): I = min(1, exp(-2 d² / r²) + the sum over the two lines
//     through c at the cross angle and a quarter turn on of exp(opacity / 2)
//     exp(-(b / width)²) exp(-|a| / (crossScale r))), a along the line and b across it.
// "CILenticularHaloGenerator" inputCenter (150, 150), inputColor (1 / 0.9 / 0.8),
//     inputHaloRadius (70), inputHaloWidth (87), inputHaloOverlap (0.77),
//     inputStriationStrength (0.5), inputStriationContrast (1): three rings, k = 0, 1, 2
//     for red, green, blue: ring_k = max(0, 1 - |d - (radius + (k - 1) width
//     (1 - overlap) / 2)| / (width / 2))²; striation s = max(0, 1 - strength
//     ((1 + sin 19 f) / 2)^contrast), f the direction of p - c; each channel is the
//     colour's times ring_k s, alpha the largest of ring_k s (times the colour's alpha).
//
// Geometry
// "CIAffineTransform" inputTransform (identity): sampled at T^-1(p), transparent beyond the
//     extent; extent T(extent)'s bounding box rounded outwards; a whole-pixel translation
//     only moves the pixels. A transform that cannot be inverted fails.
// "CIAffineClamp" inputTransform (identity): infinite: the picture extended without end by
//     its edge pixels, then transformed: sampled at T^-1(p).
// "CICrop" inputRectangle (none: nothing cut): the input inside the rectangle, its edges
//     rounded to whole pixels (floor(v + 0.5)); finite.
// "CILanczosScaleTransform" inputScale (1), inputAspectRatio (1): scaled by
//     (scale x aspect, scale); the extent's origin and size scaled and rounded (size at
//     least 1 pixel), each axis mapped linearly onto the input's extent (infinite inputs:
//     by the factors themselves); each output pixel is sum L(t) in_i / sum L(t) over the
//     input pixel centres i, with L(t) = sinc(t) sinc(t / 3) for |t| < 3 and t = (i - u)
//     min(1, factor), u the position it maps to.
// "CIPerspectiveTransform" inputTopLeft (20, 20), inputTopRight (280, 0), inputBottomRight
//     (300, 300), inputBottomLeft (0, 280): the projective map that takes the corners of the
//     extent to the four points; sampled at its inverse, transparent beyond the extent;
//     extent the points' bounding box rounded outwards. A degenerate quadrilateral fails.
//
// Compositing (P of the image S, the background B)
// "CISourceOverCompositing" inputImage, inputBackgroundImage: P = S + B (1 - S alpha);
//     extent the union of both.
// "CISourceAtopCompositing" inputImage, inputBackgroundImage: P = S B alpha + B (1 - S
//     alpha); extent B's.
// "CIBlendWithMask" inputImage, inputBackgroundImage (none: transparent), inputMaskImage:
//     m = luma of the mask's P (0 beyond its extent); P = S m + B (1 - m); extent the
//     union of S and B.
//
// Seeds' hash: h(i, j, k) with n = i x 0x8da6b343 + j x 0xd8163841 + k x 0xcb1ab31f (32-bit
// unsigned, wrapping), n ^= n >> 13, n *= 0x5bd1e995, n ^= n >> 15; h = (n & 0xffffff) / 2^24.

#include "platform/imaging/FilterImage.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>

#include <functional>
#include <memory>

namespace platform {

class ImageFilter
{
public:
    // A filter of a name listed above, with its defaults; nullptr for any other name.
    static std::shared_ptr<ImageFilter> filterWithName(const QString& name);
    static QStringList filterNames();

    // Replaces how filterWithName() makes filters (say, by one that records what it is
    // asked); an empty factory puts the real one back. Main thread only.
    using Factory = std::function<std::shared_ptr<ImageFilter>(const QString& name)>;
    static void setFactory(Factory factory);

    // How many threads the kernels use at most; 0 (the default) is one per core.
    static void setMaximumThreadCount(int count);
    static int maximumThreadCount();
    // Runs work(begin, end) over consecutive parts of [0, count) on the kernels' threads
    // and the calling thread, for per-pixel work done beside the filters; returns when all
    // parts are done. Each part must depend on its own range alone.
    static void forEachBand(int count, const std::function<void(int begin, int end)>& work);

    // The kernel behind a name: it reads the inputs and gives the output, or the null image.
    using Kernel = FilterImage (*)(const ImageFilter& filter);
    struct Input
    {
        QString key;
        QVariant defaultValue; // an invalid QVariant: unset
    };

    ImageFilter(QString name, QList<Input> inputs, Kernel kernel);
    virtual ~ImageFilter() = default;

    QString name() const { return _name; }
    QStringList inputKeys() const;

    void setDefaults();
    // Sets an input; a key the filter does not have is ignored (with a warning).
    void setValue(const QVariant& value, const QString& forKey);
    QVariant valueForKey(const QString& key) const { return _values.value(key); }

    virtual FilterImage outputImage() const;

    // --- Reading inputs (for kernels) ---
    // Each marks the filter's current evaluation failed when the value is missing or of the
    // wrong kind, and gives a neutral value; kernels check failed() before computing.
    FilterImage image(const QString& key, bool required = true) const;
    double number(const QString& key) const;
    QPointF point(const QString& key) const;
    bool isSet(const QString& key) const { return _values.value(key).isValid(); }
    QColor color(const QString& key) const;
    QTransform transform(const QString& key) const;
    QRectF rect(const QString& key) const;
    bool failed() const { return _failed; }

private:
    QString _name;
    QList<Input> _inputs;
    Kernel _kernel = nullptr;
    QVariantMap _values;
    mutable bool _failed = false;
};

} // namespace platform
