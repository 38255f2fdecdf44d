// The pictures a shape shows inside its outline: the fill picture composed from the photo
// by the fill-image scaling, the colour mask fitted to the outline, and the art of an
// empty photo placeholder.
//
// The fill picture and the colour mask are made to be drawn the platform's plain way, last
// row at the top of the target (see drawPictureUnflipped()). They are composed in the
// outline's own coordinates on an image that stores its rows from the bottom up
// (OffscreenContext::drawUpwards()), and each picture in them is drawn as the platform
// draws one into such an image, its first row at the larger y. So the placements the
// settings describe in those coordinates (the mirror that stands a photo upright, rows of
// tiles starting at the bottom) come out on the page as meant.

#include "graphics/LBGraphic.h"

#include "graphics/LBProcessState.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/imaging/FilterImage.h"

#include <QDebug>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Pixels a point of the pictures made here, as the platform makes pictures on the
// current screens.
double picturePixelsPerPoint()
{
    return std::max(1.0, LBProcessState::displayScaleFactor());
}

// The stock pictures of a photo placeholder, by its picture index; null for none.
QString stockPictureName(qint64 index)
{
    switch (index) {
    case 1: return QStringLiteral("PlaceholderWoman");
    case 2: return QStringLiteral("PlaceholderGroup");
    case 3: return QStringLiteral("PlaceholderLandscape");
    case 4: return QStringLiteral("PlaceholderCamera");
    default: return index <= 0 ? LBGraphic::placeholderPictureName() : QString();
    }
}

// Draws the program's picture of that name into a rectangle, whole; nothing (after a
// warning) when the resources lack it.
void drawNamedPicture(const QString& name, const QRectF& rect, bool integral)
{
    const platform::ImagePtr picture = platform::Image::imageNamed(name);
    if (!picture) {
        qWarning().noquote() << QStringLiteral("Picture \"%1\" is not in the resources").arg(name);
        return;
    }
    if (integral)
        picture->drawInIntegralRect(rect, QRectF(), QPainter::CompositionMode_SourceOver, 1.0);
    else
        picture->drawInRect(rect, QRectF(), QPainter::CompositionMode_SourceOver, 1.0);
}

// A picture of `size` points composed inside the graphic's outline (its bounds where it
// has none): drawn upwards, as above, and clipped to the outline.
class OutlinePicture
{
public:
    OutlinePicture(const LBGraphic& graphic, const QSizeF& size)
        : _size(size),
          _offscreen(platform::OffscreenContext::pixelsFor(size, picturePixelsPerPoint()),
                     picturePixelsPerPoint())
    {
        if (!_offscreen.isActive())
            return;
        _offscreen.drawUpwards();
        const std::optional<platform::BezierPath> outline = graphic.bezierPath();
        _offscreen.painter()->setClipPath(
            outline ? outline->toPainterPath()
                    : platform::BezierPath::withRect(graphic.bounds()).toPainterPath());
    }
    bool isActive() const { return _offscreen.isActive(); }
    // Ends drawing; the picture, sized in points as asked.
    LBGraphic::ImagePtr image() { return platform::Image::fromBitmap(_offscreen.image(), _size); }

private:
    QSizeF _size;
    platform::OffscreenContext _offscreen;
};

} // namespace

// --- Fill picture ---

LBGraphic::ImagePtr LBGraphic::fillImage()
{
    if (_cachedFillImage)
        return _cachedFillImage;
    if (_origCropGraphicBounds.width() == 0.0 && !_isPlaceholder)
        return nullptr;

    const bool unturned = _rotationDegrees == 0.0 && _groupRotationDegrees == 0.0;
    const KeptBounds kept(*this);
    const QRectF b0 = bounds();
    QRectF r(0, 0, b0.width(), b0.height());
    const bool asCropped = _fillImageScaling == FillImageAsCropped;
    if (asCropped) {
        // Composed at the photo's own resolution (72 dpi at least), divided by the display
        // scale factor, the pixels a point of the composed picture.
        const double dpi =
            dpiOfImage(imageOfType(FillImageType), croppedImageSizeForZoomFactor(1.0));
        const double d = dpi > 72.0 ? std::floor(dpi) : 72.0;
        const double scale = LBProcessState::displayScaleFactor();
        const double f = std::floor(d / (scale > 0.0 ? scale : 1.0)) / 72.0;
        r.setSize(r.size() * f);
        // The photo is placed plain and the effects run on the composed picture, so a
        // processed picture left from another use must not be placed as the photo.
        clearCachedImage();
        _skipImageEffects = true;
    }
    setBoundsNoOtherChanges(r);
    if (unturned)
        r = roundRectToIntegerBoundaries(r);

    const ImagePtr photo = transformedImage(false);
    _skipImageEffects = false;
    const QImage processed = _cachedCIImage;
    const ImagePtr picture = !processed.isNull()
                                 ? platform::Image::fromBitmap(processed, QSizeF(processed.size()))
                                 : photo;
    const QRectF g = _origCropGraphicBounds;
    const QRectF i = _origCropImageBounds;
    if (!picture || (asCropped && (g.width() == 0.0 || g.height() == 0.0)))
        return nullptr;
    const double pw = picture->size().width();
    const double ph = picture->size().height();
    const double z = _zoomFactor > 0.0 ? _zoomFactor : 1.0;
    QRectF q = rotatedBounds();
    if (unturned)
        q = roundRectToIntegerBoundaries(q);
    const double fraction = _fillImageTransparency != 0.0 ? _fillImageTransparency : 0.01;

    OutlinePicture out(*this, r.size());
    if (!out.isActive())
        return nullptr;
    const auto draw = [&](QRectF to) {
        if (!processed.isNull())
            to.translate(_perspectiveDrawingOffset / z);
        if (unturned)
            to = roundRectToIntegerBoundaries(to);
        drawPictureUnflipped(*picture, to, fraction);
    };

    switch (_fillImageScaling) {
    case FillImageTiled: {
        // Neighbouring tiles overlap by a pixel; a picture a pixel wide or high still steps.
        const double across = std::max(1.0, pw - 1.0);
        const double down = std::max(1.0, ph - 1.0);
        const int rows = int(std::floor(q.height() / down * z)) + 1;
        const int columns = int(std::floor(q.width() / across * z)) + 1;
        applyTransformForBounds(bounds(), !_fillImageFlippedVertically,
                                _fillImageFlippedHorizontally, 0.0);
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column)
                draw(QRectF(column * across / z, q.y() + row * down / z, pw / z, ph / z));
        }
        break;
    }
    case FillImageCentred: {
        QRectF to(0, 0, pw / z, ph / z);
        to.moveCenter(q.center());
        applyTransformForBounds(to, !_fillImageFlippedVertically != _origShapeFlippedVertically,
                                _fillImageFlippedHorizontally != _origShapeFlippedHorizontally,
                                _fillImageRotation - _origShapeRotation);
        draw(to);
        break;
    }
    default: {
        // Where the whole photo lay when it was cropped, scaled with the shape, mirrored with
        // it and turned back to how the shape stood then.
        const double sx = r.width() / g.width();
        const double sy = r.height() / g.height();
        QRectF to(r.x() - (g.x() - i.x()) * sx, r.y() - (g.y() - i.y()) * sy, i.width() * sx,
                  i.height() * sy);
        const double turn = _rotationDegrees + _groupRotationDegrees;
        applyTransformForBounds(bounds(), _flippedVertically, _flippedHorizontally, -turn);
        if (_origShapeRotation - turn != 0.0) {
            const QPointF c = bounds().center();
            QTransform about;
            about.translate(to.center().x(), to.center().y());
            about.rotate(-(_origShapeRotation - turn));
            about.translate(-to.center().x(), -to.center().y());
            to.translate(c - about.map(c));
        }
        applyTransformForBounds(to, !_fillImageFlippedVertically, _fillImageFlippedHorizontally,
                                turn + _fillImageRotation - _origShapeRotation);
        draw(to);
        break;
    }
    }
    ImagePtr composed = out.image();
    if (!composed)
        return nullptr;

    // As cropped, the adjustments and effects run on the composed picture.
    const bool processes = _brightness != 0.0 || _contrast != 0.0 || _hue != 0.0
                           || _saturation != 0.0 || _sharpness != 0.0 || _exposure != 0.0
                           || !_effects.isEmpty();
    if (asCropped && processes) {
        const ImagePtr plainPhoto = _cachedImage;
        applyEffectsToImage(composed, false, composed->size(), false);
        if (!_cachedCIImage.isNull()) {
            const QImage bitmap = bitmapImageRepFromCIImage(
                _cachedCIImage, _perspectiveDrawingOffset, workingPixelSize(composed->size()));
            if (!bitmap.isNull())
                composed = platform::Image::fromBitmap(bitmap, composed->size());
        } else if (_cachedImage) {
            composed = _cachedImage; // printing: the chain's bitmap
        }
        _cachedImage = plainPhoto;
    }
    _cachedFillImage = composed;
    return composed;
}

// --- Colour mask fitted to the outline ---

LBGraphic::ImagePtr LBGraphic::colorMaskImage()
{
    if (!_colorMaskImage)
        createColorMask();
    if (!_colorMaskImage)
        return nullptr;

    const bool unturned = _rotationDegrees == 0.0 && _groupRotationDegrees == 0.0;
    const KeptBounds kept(*this);
    const QRectF b0 = bounds();
    QRectF r(0, 0, b0.width(), b0.height());
    setBoundsNoOtherChanges(r);
    if (unturned)
        r = roundRectToIntegerBoundaries(r);
    // The colour-mask picture has a margin of 10 points on every side.
    QRectF to = r.adjusted(-10.0, -10.0, 10.0, 10.0);
    if (unturned)
        to = roundRectToIntegerBoundaries(to);
    const double alpha = _graphicAlpha != 0.0 ? _graphicAlpha : 0.01;

    OutlinePicture out(*this, r.size());
    if (!out.isActive())
        return nullptr;
    drawPictureUnflipped(*_colorMaskImage, to, alpha * double(_colorMaskOpacity) / 100.0);
    return out.image();
}

// --- Placeholder art ---

LBGraphic::ImagePtr LBGraphic::photoPlaceholderImage() const
{
    const QRectF r(QPointF(0, 0), bounds().size());
    const QSizeF size = platform::Image::withIntegralSize(r.size())->size();
    platform::OffscreenContext out(
        platform::OffscreenContext::pixelsFor(size, picturePixelsPerPoint()),
        picturePixelsPerPoint());
    if (!out.isActive())
        return nullptr;
    if (_placeholderColor.isValid())
        out.painter()->fillRect(r, _placeholderColor);
    if (_placeholderTypeString.isNull() || _placeholderTypeString == QLatin1String("Photo")) {
        drawNamedPicture(QStringLiteral("PlaceholderBackground"), r, true);
        // The picture's square: centred in a wide frame, at the bottom of a tall one.
        const QRectF square =
            r.width() > r.height()
                ? QRectF(r.x() + (r.width() - r.height()) / 2.0, r.y(), r.height(), r.height())
                : QRectF(r.x(), r.y(), r.width(), r.width());
        const QString name = stockPictureName(_placeholderImageIndex);
        if (!name.isNull())
            drawNamedPicture(name, platform::YUpFrame(size.height()).rect(square), true);
    }
    drawNamedPicture(QStringLiteral("PlaceholderHilite"), r, false);
    return platform::Image::fromBitmap(out.image(), size);
}
