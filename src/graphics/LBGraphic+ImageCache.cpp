// The processed fill image: when it is built, kept and dropped, and what a plain graphic
// caches without running any filter.

#include "graphics/LBGraphic.h"

#include "graphics/LBProcessState.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <cmath>

LBGraphic::ImagePtr LBGraphic::cachedImageOfType(qint64 type) const
{
    return type == FillImageType ? _cachedImage : nullptr;
}

bool LBGraphic::supportsExternalMask() const
{
    return imageOfType(FillImageType) != nullptr;
}

bool LBGraphic::prepareRecache(bool aboutToPrint)
{
    // A drag out of the canvas shows the processed picture; it must stay as it is.
    if (LBProcessState::isDraggingOut())
        return false;
    if (aboutToPrint) {
        _clearCachedImageWhenDonePrinting = true;
    } else if (_clearCachedImageWhenDonePrinting) {
        // A picture built for printing is never shown on screen.
        const platform::GraphicsContext* context = platform::GraphicsContext::current();
        if (context && context->isDrawingToScreen()) {
            clearCachedImage();
            _clearCachedImageWhenDonePrinting = false;
        }
    }
    return true;
}

void LBGraphic::recacheImage(bool aboutToPrint)
{
    if (!prepareRecache(aboutToPrint))
        return;

    const ImagePtr image = imageOfType(FillImageType);
    if (!image) {
        _cachedImage.reset();
        _cachedCIImage = QImage();
        _cachedFillImage.reset();
        return;
    }
    if (_cachedImage)
        return;
    if (rotatedBounds().isEmpty())
        return;

    // A picture not cropped yet shows whole.
    if (_origCropImageBounds.width() == 0.0) {
        _origCropImageBounds = QRectF(QPointF(0, 0), image->size());
        _origCropGraphicBounds = _origCropImageBounds;
    }
    const QSizeF finalSize = _fillImageScaling > 1 ? croppedImageSizeForZoomFactor(_zoomFactor)
                                                   : image->size() * _zoomFactor;
    applyEffectsToImage(image, isImageCrop(), finalSize, aboutToPrint);
}

LBGraphic::ImagePtr LBGraphic::transformedImage(bool aboutToPrint)
{
    recacheImage(aboutToPrint);
    return _cachedImage;
}

QImage LBGraphic::transformedCImage(bool aboutToPrint)
{
    recacheImage(aboutToPrint);
    return _cachedCIImage;
}

void LBGraphic::applyEffectsToImage(const ImagePtr& image, bool isCroppedImage,
                                    const QSizeF& finalImageSize, bool aboutToPrint)
{
    Q_UNUSED(isCroppedImage);
    _cachedImage = image;
    if (!image)
        return;
    const QSizeF drawn(std::floor(bounds().width() * _zoomFactor),
                       std::floor(bounds().height() * _zoomFactor));
    const bool plain =
        _skipImageEffects
        || (_brightness == 0.0 && _contrast == 0.0 && _hue == 0.0 && _saturation == 0.0
            && _sharpness == 0.0 && _exposure == 0.0 && _effects.isEmpty());
    // Drawn as it is: the cache is the picture itself.
    if (plain && drawn == image->size() && _shadowType <= 0 && _rotationDegrees == 0.0
        && _groupRotationDegrees == 0.0 && !scaledForPrinting())
        return;

    // Otherwise a copy at the final size. Adjustments and effects are not applied yet:
    // a graphic with them caches the same plain copy.
    const ImagePtr sized = image->copy();
    if (aboutToPrint || LBProcessState::isPrinting())
        sized->setDataRetained(true);
    sized->setSize(finalImageSize);
    _cachedImage = sized;
}
