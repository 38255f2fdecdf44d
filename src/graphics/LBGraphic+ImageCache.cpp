// The processed fill image: when it is built, kept and dropped (the processing itself is
// the effects chain, LBGraphic+EffectsChain.cpp).

#include "graphics/LBGraphic.h"

#include "graphics/LBProcessState.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

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
        // A picture processed for the screen (in the filters' form) has the screen's pixels
        // and leaves the unprocessed picture as the cache: printing builds its own.
        if (!_cachedCIImage.isNull())
            clearCachedImage();
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

    // An empty photo placeholder showing its prompt shows its art, made at its size, in
    // place of the stock picture (which still gives the sizes below).
    ImagePtr source = image;
    if (_isPlaceholder && _drawPlaceholderText
        && (_placeholderTypeString.isNull() || _placeholderTypeString == QLatin1String("Photo"))) {
        _placeholderImage = photoPlaceholderImage();
        if (_placeholderImage)
            source = _placeholderImage;
    }

    // A picture not cropped yet shows whole.
    if (_origCropImageBounds.width() == 0.0) {
        _origCropImageBounds = QRectF(QPointF(0, 0), image->size());
        _origCropGraphicBounds = _origCropImageBounds;
    }
    const QSizeF finalSize = _fillImageScaling > 1 ? croppedImageSizeForZoomFactor(_zoomFactor)
                                                   : image->size() * _zoomFactor;
    applyEffectsToImage(source, isImageCrop(), finalSize, aboutToPrint);
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
