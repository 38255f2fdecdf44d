#include "shapes/LBImage.h"

#include "graphics/GraphicDictionary.h"
#include "graphics/LBProcessState.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "shapes/ShapeClasses.h"

#include <QPainter>
#include <QPainterPath>
#include <QTransform>

#include <cmath>

namespace {

const QString kImageType = QStringLiteral("ImageType");
const QString kLazyImagePath = QStringLiteral("LazyImagePathKey");
// What "Print Quality" is registered with; used when it reads as no resolution at all.
constexpr qint64 kDefaultPrintQuality = 300;

platform::GraphicsContext* activeContext()
{
    platform::GraphicsContext* context = platform::GraphicsContext::current();
    QPainter* painter = context ? context->painter() : nullptr;
    return painter && painter->isActive() ? context : nullptr;
}

// The rectangle that `source` (in picture points) covers when the rectangle `from` of the
// picture is drawn into `to`: where the whole picture lands.
QRectF mapped(const QRectF& source, const QRectF& from, const QRectF& to)
{
    const double kx = to.width() / from.width();
    const double ky = to.height() / from.height();
    return QRectF(to.x() + (source.x() - from.x()) * kx, to.y() + (source.y() - from.y()) * ky,
                  source.width() * kx, source.height() * ky);
}

} // namespace

LBImage::LBImage()
{
    _gFlags.drawsStroke = 0;
    _constrainProportions = true;
}

std::shared_ptr<LBGraphic> LBImage::newInstance() const
{
    registerShapeClasses();
    return LBGraphic::newInstance();
}

std::shared_ptr<LBGraphic> LBImage::copy() const
{
    std::shared_ptr<LBGraphic> graphic = LBGraphic::copy();
    auto& image = static_cast<LBImage&>(*graphic);
    image.setSpecialImageType(_specialImageType);
    image.setScaledForPrinting(_scaledForPrinting);
    return graphic;
}

QString LBImage::samplePictureName(qint64 specialImageType)
{
    switch (specialImageType) {
    case ContactPicture: return QStringLiteral("Picture");
    case MyPicture: return QStringLiteral("PictureMe");
    case LogoPicture: return QStringLiteral("PictureLogo");
    case SignaturePicture: return QStringLiteral("PictureSignature");
    default: return QString();
    }
}

// --- Property list ---

QVariantMap LBImage::propertyListRepresentation() const
{
    QVariantMap dictionary = LBGraphic::propertyListRepresentation();
    GraphicDictionaryWriter w(dictionary);
    w.setInteger(kImageType, _specialImageType);
    if (!_lazyImagePath.isNull())
        w.setString(kLazyImagePath, _lazyImagePath);
    return dictionary;
}

void LBImage::loadPropertyListRepresentation(const QVariantMap& dictionary)
{
    LBGraphic::loadPropertyListRepresentation(dictionary);
    const GraphicDictionaryReader r(dictionary, graphicType());
    if (const auto type = r.integerValue(kImageType))
        setSpecialImageType(*type);
    if (const auto path = r.string(kLazyImagePath))
        setLazyImagePath(*path);

    // Older documents: the same files and pictures under their earlier keys.
    if (const auto path = r.string(QStringLiteral("ImageFilePath")))
        *imageFilePathSlot(FillImageType) = *path;
    if (const auto path = r.string(QStringLiteral("ImageMaskPath")))
        *imageFilePathSlot(ExternalMaskType) = *path;
    bool imageRead = false, maskRead = false;
    for (const auto& [key, type] :
         {std::pair{QStringLiteral("Image"), FillImageType},
          std::pair{QStringLiteral("ExternalImageMask"), ExternalMaskType}}) {
        if (!r.contains(key))
            continue;
        if (const auto unread = loadStoredPicture(r, key, type)) {
            _undecodedImageData.insert(imageDataKey(type), *unread);
        } else if (r.data(key)) {
            _undecodedImageData.remove(imageDataKey(type));
            (type == FillImageType ? imageRead : maskRead) = true;
        }
    }
    // A picture under an external mask shows masked, its unmasked original kept: a picture
    // read here is that original; a mask read here masks the original there was.
    if (imageRead || maskRead) {
        if (imageRead)
            _origImage.reset();
        else
            restoreOriginalImage();
        if (_image && _externalMask) {
            saveOriginalImage();
            applyMask(_externalMask, false);
        }
    }
    clearCachedImage();
}

// --- Capabilities ---

void LBImage::makeNaturalSize()
{
    const ImagePtr picture = imageOfType(FillImageType);
    const QSizeF size = picture ? picture->size() : QSizeF(10, 10);
    setBounds(QRectF(bounds().topLeft(), size));
    setFlippedHorizontally(false);
    setFlippedVertically(false);
}

bool LBImage::shouldCreateHiResImageWhenPrinting() const
{
    const bool adjusted = _brightness != 0.0 || _contrast != 0.0 || _hue != 0.0
                          || _saturation != 0.0 || _sharpness != 0.0 || _exposure != 0.0
                          || numEffects() != 0;
    using Kind = platform::Image::RepresentationKind;
    const ImagePtr picture = imageOfType(FillImageType);
    if (picture
        && (picture->representationKind() == Kind::EPS
            || picture->representationKind() == Kind::PDF))
        return adjusted || graphicAlpha() < 1.0 || shadowType() == 1;
    return adjusted;
}

// --- Print images ---

void LBImage::setScaledForPrinting(bool scaledForPrinting)
{
    clearCachedImage();
    _scaledForPrinting = scaledForPrinting;
}

double LBImage::printScale() const
{
    const platform::GraphicsContext* context = platform::GraphicsContext::current();
    if (!_scaledForPrinting || !context || context->isDrawingToScreen())
        return 1.0;
    qint64 quality = LBProcessState::printResolution();
    if (quality < 1)
        quality = kDefaultPrintQuality;
    return 72.0 / double(quality);
}

// --- Cropping ---

void LBImage::setTemporaryCropGraphic(const std::shared_ptr<LBGraphic>& graphic)
{
    const std::shared_ptr<LBGraphic> old = _temporaryCropGraphic.lock();
    registerUndo([old](LBGraphic& g) { static_cast<LBImage&>(g).setTemporaryCropGraphic(old); });
    _temporaryCropGraphic = graphic;
}

// --- Drawing ---

void LBImage::drawInView(CanvasView* view, bool isSelected)
{
    const std::shared_ptr<LBGraphic> crop = _temporaryCropGraphic.lock();
    if (!crop) {
        ourDrawInView(view, isSelected);
        return;
    }
    // The whole picture faintly, set directly: no undo, no announcement.
    const QRectF c = roundRectToIntegerBoundaries(crop->bounds());
    const double alpha = _graphicAlpha;
    _graphicAlpha = alpha / 3.0;
    ourDrawInView(view, isSelected);
    _graphicAlpha = alpha;

    // The part inside the crop outline, mirrored and turned as the crop shape is.
    platform::BezierPath outline = platform::BezierPath::withRect(c);
    if (const std::optional<platform::BezierPath> path = crop->bezierPath()) {
        outline = path->transformed(transformForBounds(
            c, crop->flippedVertically(), crop->flippedHorizontally(), crop->rotation()));
    }
    platform::GraphicsContext* context = activeContext();
    if (!context)
        return;
    context->saveGraphicsState();
    context->painter()->setClipPath(outline.toPainterPath(), Qt::IntersectClip);
    ourDrawInView(view, isSelected);
    context->restoreGraphicsState();
}

// --- The processed picture ---

void LBImage::recacheImage(bool aboutToPrint)
{
    if (!prepareRecache(aboutToPrint) || _cachedImage)
        return;
    ImagePtr source = imageOfType(FillImageType);
    // A photo placeholder showing its prompt shows its art, made afresh at its size.
    if (_isPlaceholder && _drawPlaceholderText
        && _placeholderTypeString == QLatin1String("Photo")) {
        _placeholderImage = photoPlaceholderImage();
        if (_placeholderImage)
            source = _placeholderImage;
    }
    if (!source)
        return;
    const QRectF b = bounds();
    const QSizeF finalSize(std::floor(b.width() * _zoomFactor),
                           std::floor(b.height() * _zoomFactor));
    applyEffectsToImage(source, isImageCrop(), finalSize, aboutToPrint);
}

void LBImage::copyCachedImageFromObject(const LBGraphic& other)
{
    clearCachedImage();
    const ImagePtr cached = other.cachedImageOfType(FillImageType);
    _cachedImage = cached ? cached->copy() : nullptr;
}

void LBImage::ourDrawInView(CanvasView* view, bool isSelected)
{
    platform::GraphicsContext* context = activeContext();
    if (!context || _hidden) {
        LBGraphic::drawInView(view, isSelected);
        return;
    }
    const double rotation = _rotationDegrees + _groupRotationDegrees;
    QRectF r = bounds();
    if (rotation == 0.0)
        r = roundRectToIntegerBoundaries(r);

    const ImagePtr image = transformedImage(false);
    const QImage filtered = _cachedCIImage;
    if (image || !filtered.isNull()) {
        const double s = printScale();
        const bool printScaled = s != 1.0;

        // The platform draws pictures upside down on the flipped page: an upright picture
        // needs the vertical mirror, a vertically mirrored one none (nor any transform,
        // unless it is mirrored horizontally or turned). About the centre of the picture as
        // drawn.
        platform::GraphicsContext* transformed = applyTransformForBounds(
            QRectF(r.topLeft(), r.size() * s), !_flippedVertically, _flippedHorizontally, rotation);

        // Where the picture goes.
        const QSizeF size = !filtered.isNull() ? QSizeF(filtered.size()) : image->size();
        const double iw = size.width();
        const double ih = size.height();
        QRectF from(0, 0, iw, ih);
        QRectF to;
        if (printScaled) {
            to = roundRectToIntegerBoundaries(QRectF(r.x(), r.y(), iw * s, ih * s));
        } else {
            const double z = _zoomFactor > 0.0 ? _zoomFactor : 1.0;
            // Room for a shadow of type 1 around the picture.
            const double m =
                _shadowType == 1 ? double(_shadowHeight + _shadowRadius / 2) * _zoomFactor : 0.0;
            from = QRectF(-m, -m, iw + 2.0 * m, ih + 2.0 * m);
            to = QRectF(r.x() - m / z, r.y() - m / z, (iw + 2.0 * m) / z, (ih + 2.0 * m) / z);
            const double w = drawsStroke() ? strokeLineWidth() : 0.0;
            if (w != 0.0)
                to.adjust(w, w, -w, -w);
            if (!filtered.isNull())
                to.translate(_perspectiveDrawingOffset / z);
            if (rotation == 0.0)
                to = roundRectToIntegerBoundaries(to);
        }
        const QRectF picture = mapped(QRectF(0, 0, iw, ih), from, to);

        // The outline lies under the shadow and again over the picture.
        const double w = drawsStroke() ? strokeLineWidth() : 0.0;
        const bool outlined =
            w > 0.0
            && !(_isPlaceholder && _drawPlaceholderText && !view && _hidePlaceholderOutline);
        platform::BezierPath outline =
            platform::BezierPath::withRect(r.adjusted(w / 2.0, w / 2.0, -w / 2.0, -w / 2.0));
        outline.setLineWidth(w);
        applyDrawingDash(outline);
        const auto strokeOutline = [&] {
            if (QPainter* painter = activeContext() ? activeContext()->painter() : nullptr)
                painter->strokePath(outline.toPainterPath(), outline.strokePen(strokeColor()));
        };

        startShadow(picture.united(r));
        if (outlined)
            strokeOutline();
        const double fraction = _graphicAlpha != 0.0 ? _graphicAlpha : 0.01;
        if (!filtered.isNull()) {
            if (const ImagePtr working = platform::Image::fromBitmap(filtered, size))
                drawPictureUnflipped(*working, picture, fraction);
        } else {
            // A PDF picture draws itself: vector wherever the output is not the screen.
            drawPictureUnflipped(*image, picture, fraction);
        }
        stopShadow();
        if (outlined)
            strokeOutline();
        if (transformed)
            transformed->restoreGraphicsState();
    }
    LBGraphic::drawInView(view, isSelected);
}
