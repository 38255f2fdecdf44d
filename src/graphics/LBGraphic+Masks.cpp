// Cutting out a graphic's picture: object and external masks multiplied into the fill
// image, the mask file that belongs to an image file, the mask pictures of the mask
// effects, and the colour mask.

#include "graphics/LBGraphic.h"

#include "graphics/ImageFilterSteps.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/imaging/FilterImage.h"
#include "platform/imaging/ImageFilter.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRgb>
#include <QTransform>
#include <QVariant>

#include <algorithm>
#include <cmath>
#include <utility>

using platform::FilterImage;
using platform::YUpFrame;
using namespace filtersteps;

namespace {

// White on black: the picture laid over black, and inverted when asked.
FilterImage overBlack(const FilterImage& image, bool inverted)
{
    const FilterImage black = apply(QStringLiteral("CIConstantColorGenerator"),
                                    {{QStringLiteral("inputColor"), QColor(Qt::black)}});
    const FilterImage laid =
        image.isNull()
            ? black
            : apply(QStringLiteral("CISourceOverCompositing"),
                    {{kInputImage, imageValue(image)}, {kInputBackgroundImage, imageValue(black)}});
    return inverted ? apply(QStringLiteral("CIColorInvert"), {{kInputImage, imageValue(laid)}})
                    : laid;
}

// A transparent picture of that many pixels with the path filled white, smoothly.
QImage whiteFigure(const QSize& pixels, const QPainterPath& figure)
{
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(figure, Qt::white);
    return image;
}

// The figure of a mask-effect shape in the rectangle (0, 0, w, h) measured upwards, as
// y-down pixels of a picture `frame` describes; empty for a shape without a figure.
QPainterPath maskFigure(qint64 shape, qint64 quarterTurns, double w, double h,
                        const YUpFrame& frame)
{
    QPainterPath path;
    auto polygon = [&](std::initializer_list<QPointF> points) {
        QPolygonF mapped;
        for (const QPointF& p : points)
            mapped << frame.point(p);
        path.addPolygon(mapped);
        path.closeSubpath();
    };
    const QRectF rect = frame.rect(QRectF(0, 0, w, h));
    const int q = int(((quarterTurns % 4) + 4) % 4);
    switch (shape) {
    case 0:
    case 2: path.addEllipse(rect); break;
    case 1:
    case 3: path.addRect(rect); break;
    case 4: polygon({{w / 2, 0}, {w, h / 2}, {w / 2, h}, {0, h / 2}}); break;
    case 5: {
        const double r = std::min(w, h) / 4.0;
        path.addRoundedRect(rect, r, r);
        break;
    }
    case 6:
        switch (q) {
        case 0: polygon({{0, 0}, {w / 2, h}, {w, 0}}); break;
        case 1: polygon({{0, 0}, {w, h / 2}, {0, h}}); break;
        case 2: polygon({{0, h}, {w / 2, 0}, {w, h}}); break;
        default: polygon({{w, h}, {0, h / 2}, {w, 0}}); break;
        }
        break;
    case 7:
        switch (q) {
        case 0: polygon({{0, 0}, {0, h}, {w, h}}); break;
        case 1: polygon({{0, h}, {w, h}, {w, 0}}); break;
        case 2: polygon({{0, 0}, {w, 0}, {w, h}}); break;
        default: polygon({{0, h}, {0, 0}, {w, 0}}); break;
        }
        break;
    default: break;
    }
    return path;
}

// Each pixel (r, g, b, a) of an image rewritten as the colour's bytes times the pixel's
// intensity / 255 with that intensity as alpha (premultiplied).
QImage tinted(const QImage& source, const QColor& color, int (*intensity)(QRgb))
{
    const QImage pixels = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    if (pixels.isNull() || out.isNull())
        return {};
    const int red = int(color.redF() * 255.0);
    const int green = int(color.greenF() * 255.0);
    const int blue = int(color.blueF() * 255.0);
    for (int y = 0; y < pixels.height(); ++y) {
        const QRgb* in = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        QRgb* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < pixels.width(); ++x) {
            const int v = intensity(in[x]);
            to[x] = qRgba(red * v / 255, green * v / 255, blue * v / 255, v);
        }
    }
    return out;
}

int redOf(QRgb pixel)
{
    return qRed(pixel);
}

int alphaOf(QRgb pixel)
{
    return qAlpha(pixel);
}

// b × c / 255 rounded down, for bytes b and c, in 16-bit shifts the compiler can vectorise.
inline quint16 timesByte(quint16 b, quint16 c)
{
    const quint16 n = quint16(b * c);
    return quint16((n + 1 + (n >> 8)) >> 8);
}

inline quint16 intensityOf(uchar grey)
{
    return grey;
}

inline quint16 intensityOf(QRgb pixel)
{
    return quint16(qRed(pixel));
}

// One row of the masked picture: each pixel's colour (unpremultiplied) times a / 255 with
// a = its alpha × v / 255, v the mask's intensity, and alpha a.
template <bool Premultiplied, typename MaskPixel>
void maskRow(const QRgb* in, const MaskPixel* mask, QRgb* to, int width)
{
    for (int x = 0; x < width; ++x) {
        const QRgb p = Premultiplied ? qUnpremultiply(in[x]) : in[x];
        const quint16 a = timesByte(quint16(p >> 24), intensityOf(mask[x]));
        to[x] = (quint32(a) << 24) | (quint32(timesByte(quint16((p >> 16) & 0xff), a)) << 16)
                | (quint32(timesByte(quint16((p >> 8) & 0xff), a)) << 8)
                | quint32(timesByte(quint16(p & 0xff), a));
    }
}

// The masked picture of a picture and a mask of the same size. The picture is read as
// 32-bit pixels and the mask as grey bytes or 32-bit pixels (its red as seen over black),
// converting other formats first, and both row by row, however their rows are padded.
QImage maskedPixels(QImage picture, QImage mask)
{
    const auto isPixels = [](QImage::Format f) {
        return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32
               || f == QImage::Format_ARGB32_Premultiplied;
    };
    if (!isPixels(picture.format()))
        picture = picture.convertToFormat(QImage::Format_ARGB32);
    if (mask.format() != QImage::Format_Grayscale8 && mask.format() != QImage::Format_RGB32
        && mask.format() != QImage::Format_ARGB32_Premultiplied)
        mask = mask.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(picture.size(), QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull() || mask.isNull() || out.isNull() || mask.size() != picture.size())
        return {};

    const bool premultiplied = picture.format() == QImage::Format_ARGB32_Premultiplied;
    const bool greyMask = mask.format() == QImage::Format_Grayscale8;
    const int width = picture.width();
    // Rows are reached through the bits, not scanLine(), which is not for several threads.
    uchar* const outBits = out.bits();
    const qsizetype outStride = out.bytesPerLine();
    platform::ImageFilter::forEachBand(picture.height(), [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const QRgb* in = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            const uchar* maskLine = mask.constScanLine(y);
            QRgb* to = reinterpret_cast<QRgb*>(outBits + y * outStride);
            const QRgb* maskPixels = reinterpret_cast<const QRgb*>(maskLine);
            if (premultiplied)
                greyMask ? maskRow<true>(in, maskLine, to, width)
                         : maskRow<true>(in, maskPixels, to, width);
            else
                greyMask ? maskRow<false>(in, maskLine, to, width)
                         : maskRow<false>(in, maskPixels, to, width);
        }
    });
    return out;
}

} // namespace

// --- Object and external masks ---

void LBGraphic::applyMask(const ImagePtr& mask, bool isObjectMask)
{
    if (!_image || !mask)
        return;
    const QImage picture = _image->forcedBitmapImageRep();
    if (picture.isNull())
        return;
    const QSize pixels = picture.size();

    QImage maskPixels;
    const QRectF& shown = _origCropImageBounds;
    const QRectF& shape = _origCropGraphicBounds;
    if (!isObjectMask && isImageCrop() && shown.width() > 0.0 && shown.height() > 0.0) {
        // An external mask covers the part of the picture the outline shows, in the
        // picture's pixels (rows run downwards in both).
        const double sx = pixels.width() / shown.width();
        const double sy = pixels.height() / shown.height();
        const QRectF place((shape.x() - shown.x()) * sx, (shape.y() - shown.y()) * sy,
                           shape.width() * sx, shape.height() * sy);
        platform::OffscreenContext offscreen(pixels, 1.0);
        mask->drawInIntegralRect(place, QRectF(), QPainter::CompositionMode_SourceOver, 1.0);
        maskPixels = offscreen.image();
    } else {
        maskPixels = mask->forcedBitmapImageRep();
    }
    if (maskPixels.isNull())
        return;
    if (maskPixels.size() != pixels)
        maskPixels = maskPixels.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);

    const QImage result = maskedPixels(picture, maskPixels);
    if (result.isNull()) {
        qWarning("LBGraphic: no memory to mask a picture of %d x %d pixels", pixels.width(),
                 pixels.height());
        return;
    }
    // A new picture: the one before the mask may be kept as the original.
    const ImagePtr masked = platform::Image::fromBitmap(result, _image->size());
    masked->setDataRetained(true);
    replaceFillImage(masked);
    clearCachedImage();
    didChange();
}

void LBGraphic::locateMaskForFile(const QString& path)
{
    const QFileInfo file(path);
    const QDir twoUp(QFileInfo(file.path()).path());
    const QString candidate =
        twoUp.filePath(QStringLiteral("Masks/") + file.completeBaseName() + QStringLiteral(".png"));
    if (QFileInfo(candidate).isFile())
        setImageFilePath(candidate, true, false, ObjectMaskType);
}

// --- Mask-effect pictures ---

FilterImage LBGraphic::imageForMaskEffectOfSize(const QSize& size, const QRectF& maskRect,
                                                double blur, bool reversed, qint64 rotation,
                                                qint64 shape) const
{
    const bool hasMaskImage = !_maskImage.isNull();

    // A blurred figure is built small and scaled up: the blur costs the same at any size.
    QRectF r = maskRect;
    double k = 1.0;
    const double longest = std::max(r.width(), r.height());
    if (!hasMaskImage && blur != 0.0 && longest > 300.0) {
        k = 300.0 / longest;
        r = QRectF(r.x() * k, r.y() * k, r.width() * k, r.height() * k);
    }
    // The rectangle is measured upwards from the working picture's bottom edge, in the
    // space reduced by k until the last step scales everything back about the origin.
    const YUpFrame frame(size.height() * k);

    FilterImage figure;
    QRectF extent;
    double figureHeight = 0.0;
    if (hasMaskImage) {
        const FilterImage maskImage(_maskImage);
        extent = QRectF(maskImage.extent());
        figure = apply(QStringLiteral("CIAffineClamp"),
                       {{kInputImage, imageValue(maskImage)}, {kInputTransform, QTransform()}});
        figureHeight = r.height(); // once stretched onto the rectangle
    } else {
        const QSize pixels = platform::OffscreenContext::pixelsFor(r.size(), 1.0);
        const QImage drawn = whiteFigure(
            pixels, maskFigure(shape, rotation, r.width(), r.height(), YUpFrame(pixels.height())));
        figure = FilterImage(drawn);
        extent = QRectF(QPointF(0, 0), QSizeF(pixels));
        figureHeight = pixels.height();
    }

    if (blur != 0.0 && !figure.isNull())
        figure = blurred(figure, std::max(extent.width(), extent.height()) * blur / 800.0);
    if (hasMaskImage && extent.width() > 0.0 && extent.height() > 0.0) {
        const double scale = r.height() / extent.height();
        figure = scaled(figure, scale, (r.width() / extent.width()) / scale);
    }
    // The figure's lower-left corner goes to the rectangle's origin.
    if (!figure.isNull())
        figure = transformed(figure, QTransform::fromTranslate(
                                         r.x(), frame.point(QPointF(0, r.y())).y() - figureHeight));

    FilterImage mask = overBlack(figure, reversed);
    if (hasMaskImage && rotation != 0) {
        QTransform turn;
        turn.translate(r.center().x(), r.center().y());
        turn.rotate(double(rotation) * -90.0);
        turn.translate(-r.center().x(), -r.center().y());
        mask = transformed(mask, frame.transform(turn));
    }
    if (k != 1.0)
        mask = scaled(mask, 1.0 / k, 1.0);
    return mask;
}

// --- Colour mask ---

void LBGraphic::colorMaskType(qint64* type, qint64* size, qint64* softness, qint64* opacity,
                              qint64* offset, qint64* angle) const
{
    const std::pair<qint64*, qint64> values[] = {
        {type, _colorMaskType},       {size, _colorMaskSize},     {softness, _colorMaskSoftness},
        {opacity, _colorMaskOpacity}, {offset, _colorMaskOffset}, {angle, _colorMaskAngle}};
    for (const auto& [out, value] : values) {
        if (out)
            *out = value;
    }
}

void LBGraphic::createColorMask()
{
    if (_colorMaskType == 0 || _colorMaskImage)
        return;
    const QRectF b = bounds();
    const double w = b.width();
    const double h = b.height();
    const double d = (1.0 - double(_colorMaskSize) / 100.0) * std::min(w, h);
    const double a = double(_colorMaskAngle) / 360.0 * 3.14159 * 2.0;
    const double tx = d / 2.0 - std::cos(a) * double(_colorMaskOffset) / 2.0;
    const double ty = d / 2.0 + std::sin(a) * double(_colorMaskOffset) / 2.0;

    // The outline at the inner size; the bounds are put back exactly as they were.
    std::optional<platform::BezierPath> outline;
    {
        const KeptBounds kept(*this);
        setBoundsNoOtherChanges(QRectF(0, 0, w - d, h - d));
        outline = bezierPath();
    }
    if (!outline)
        return;

    // Drawn as the platform draws into a picture, y growing upwards from its bottom edge.
    const QSize pixels =
        platform::OffscreenContext::pixelsFor(QSizeF(std::max(w - d, w), std::max(h - d, h)), 1.0);
    const YUpFrame frame(pixels.height());
    const QTransform upwards(1, 0, 0, -1, 0, pixels.height());
    const FilterImage figure(whiteFigure(pixels, upwards.map(outline->toPainterPath())));

    FilterImage soft = transformed(figure, frame.transform(QTransform::fromTranslate(tx, ty)));
    soft = blurred(soft, double(_colorMaskSoftness) * 0.5);
    soft = overBlack(soft, _colorMaskType == 2);
    const FilterImage cut =
        apply(QStringLiteral("CICrop"),
              {{kInputImage, imageValue(soft)},
               {QStringLiteral("inputRectangle"), frame.rect(QRectF(-10, -10, w + 20, h + 20))}});
    if (cut.isNull())
        return;
    const QImage picture = tinted(cut.render(cut.extent()), _fillColor, redOf);
    if (picture.isNull())
        return;
    _colorMaskImage = platform::Image::fromBitmap(picture, b.size());
    _colorMaskImage->setDataRetained(true);
}

void LBGraphic::updateColorMask()
{
    if (!_colorMaskImage)
        return;
    const QImage picture = tinted(_colorMaskImage->bitmapImageRep(), _fillColor, alphaOf);
    if (picture.isNull())
        return;
    const ImagePtr recoloured = platform::Image::fromBitmap(picture, _colorMaskImage->size());
    recoloured->setDataRetained(true);
    _colorMaskImage = recoloured;
}
