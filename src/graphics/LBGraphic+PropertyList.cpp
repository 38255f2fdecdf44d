// The graphic property list: the one stored form of a graphic (documents, the pasteboard
// and the libraries keep graphics only this way). The graphic's own keys, in the order
// loading applies them; subclasses add theirs after these.

#include "graphics/LBGraphic.h"

#include "graphics/GraphicClasses.h"
#include "graphics/GraphicDictionary.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/TextForms.h"
#include "platform/drawing/Image.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QtDebug>

namespace {

const QString kClass = QStringLiteral("Class");
const QString kFillImage = QStringLiteral("FillImage");
const QString kObjectMask = QStringLiteral("ObjectMask");
const QString kImageMask = QStringLiteral("ImageMask");
const QString kMaskImage = QStringLiteral("MaskImage");

QString imageFilePathKey(qint64 type)
{
    switch (type) {
    case LBGraphic::ObjectMaskType: return QStringLiteral("ObjectMaskFilePath");
    case LBGraphic::ExternalMaskType: return QStringLiteral("ImageMaskFilePath");
    default: return QStringLiteral("FillImageFilePath");
    }
}

// The bytes a picture is stored as: with vectorOriginals, the original EPS or PDF bytes of
// a vector picture; otherwise, or when there are none, the LZW-compressed TIFF of its
// bitmap, else of a bitmap capture of it. Empty when none of these gives anything.
QByteArray storedImageData(const platform::Image& image, bool vectorOriginals)
{
    using Kind = platform::Image::RepresentationKind;
    if (vectorOriginals
        && (image.representationKind() == Kind::EPS || image.representationKind() == Kind::PDF)) {
        const QByteArray original = image.data();
        if (!original.isEmpty())
            return original;
    }
    const QByteArray tiff = image.TIFFRepresentationUsingLZW();
    if (!tiff.isEmpty())
        return tiff;
    const platform::ImagePtr capture =
        platform::Image::fromBitmap(image.forcedBitmapImageRep(), image.size());
    return capture ? capture->TIFFRepresentationUsingLZW() : QByteArray();
}

QByteArray pngData(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    return writer.write(image) ? bytes : QByteArray();
}

QImage imageFromData(const QByteArray& data)
{
    QByteArray bytes = data; // shared, not copied
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    return reader.read();
}

QPointF pointOr(const std::optional<QPointF>& point, const QPointF& fallback)
{
    return point ? *point : fallback;
}

} // namespace

QString LBGraphic::imageDataKey(qint64 type)
{
    switch (type) {
    case ObjectMaskType: return kObjectMask;
    case ExternalMaskType: return kImageMask;
    default: return kFillImage;
    }
}

// --- Making a graphic from a dictionary ---

std::shared_ptr<LBGraphic>
LBGraphic::graphicWithPropertyListRepresentation(const QVariantMap& dictionary)
{
    registerGraphicClasses();
    const auto found = dictionary.constFind(kClass);
    if (found == dictionary.cend() || found->typeId() != QMetaType::QString) {
        qWarning("Graphic property list: no class name (\"Class\" is %s); graphic skipped",
                 found == dictionary.cend() ? "missing" : "not text");
        return nullptr;
    }
    // Only graphic classes can be made: the registry of LBGraphic holds nothing else.
    const QString name = found->toString();
    using Registry = platform::ClassRegistry<LBGraphic>;
    std::shared_ptr<LBGraphic> graphic = Registry::create(name);
    if (!graphic)
        graphic = Registry::create(QStringLiteral("LB") + name);
    if (!graphic) {
        qWarning("Graphic property list: no graphic class \"%s\"; graphic skipped",
                 qPrintable(name));
        return nullptr;
    }
    const GraphicDictionaryReader::SharedIndex index(dictionary);
    graphic->loadPropertyListRepresentation(dictionary);
    return graphic;
}

// --- Writing ---

QVariantMap LBGraphic::propertyListRepresentation() const
{
    QVariantMap dictionary;
    GraphicDictionaryWriter w(dictionary);
    w.setString(kClass, graphicType());

    // Geometry, paint, line, shadow and alpha; bounds relative to the page shown.
    const QRectF b = bounds();
    w.setRect(QStringLiteral("Bounds"), b.translated(-_visiblePageOrigin));
    w.setColor(QStringLiteral("FillColor"), _fillColor);
    w.setColor(QStringLiteral("FillColor2"), _fillColor1);
    w.setInteger(QStringLiteral("FillType"), fillType());
    w.setColor(QStringLiteral("StrokeColor"), _strokeColor);
    w.setReal2(QStringLiteral("StrokeLineWidth"), _lineWidth);
    w.setBool(QStringLiteral("DrawsStroke"), drawsStroke());
    w.setReal2(QStringLiteral("Rotation"), _rotationDegrees);
    w.setBool(QStringLiteral("FlippedHorizontally"), _flippedHorizontally);
    w.setBool(QStringLiteral("FlippedVertically"), _flippedVertically);
    w.setReal2(QStringLiteral("GroupRotation"), _groupRotationDegrees);
    w.setInteger(QStringLiteral("LineDashCount"), _lineDashCount);
    // The four dash lengths travel as a rectangle.
    const DashPattern& dash = _lineDashPattern;
    w.setRect(QStringLiteral("LineDashPattern"), QRectF(dash[0], dash[1], dash[2], dash[3]));
    w.setBool(QStringLiteral("ShadowOn"), _shadowType == 1);
    // Older readers know only "ShadowOn"; the other shadow kinds are kept beside it.
    if (_shadowType > 1)
        w.setInteger(QStringLiteral("ShadowType"), _shadowType);
    w.setInteger(QStringLiteral("ShadowHeight"), _shadowHeight);
    w.setInteger(QStringLiteral("ShadowRadius"), _shadowRadius);
    w.setInteger(QStringLiteral("ShadowAzimuth"), _shadowAzimuth);
    w.setReal2(QStringLiteral("ShadowAlpha"), _shadowAlpha);
    w.setColor(QStringLiteral("ShadowColor"), _shadowColor);
    w.setReal2(QStringLiteral("GraphicAlpha"), _graphicAlpha);

    // Pictures: a file path, or the picture's own bytes. A photo placeholder that still
    // shows its prompt carries only the stock art, which loading installs again.
    const bool photoPrompt =
        _isPlaceholder && _drawPlaceholderText
        && (_placeholderTypeString.isNull() || _placeholderTypeString == QLatin1String("Photo"));
    for (const qint64 type : {FillImageType, ObjectMaskType, ExternalMaskType}) {
        const QString path = imageFilePathOfType(type);
        const QString key = imageDataKey(type);
        if (!path.isEmpty()) {
            w.setString(imageFilePathKey(type), path);
        } else if (_undecodedImageData.contains(key)) {
            w.setData(key, _undecodedImageData.value(key));
        } else if (type == FillImageType) {
            // The picture as it was before a mask was applied, when one was kept.
            const ImagePtr source = _origImage ? _origImage : _image;
            if (source && !photoPrompt) {
                const QByteArray data = storedImageData(*source, true);
                if (!data.isEmpty())
                    w.setData(key, data);
            }
        } else if (const ImagePtr mask = imageOfType(type)) {
            const QByteArray data = storedImageData(*mask, false);
            if (!data.isEmpty())
                w.setData(key, data);
        }
    }
    if (_undecodedImageData.contains(kMaskImage)) {
        w.setData(kMaskImage, _undecodedImageData.value(kMaskImage));
    } else if (!_maskImage.isNull()) {
        const QByteArray png = pngData(_maskImage);
        if (!png.isEmpty())
            w.setData(kMaskImage, png);
    }

    // Crop, fill-image placement and the shape's turn when it was cropped.
    w.setRect(QStringLiteral("OrigCropImageBounds"), _origCropImageBounds);
    w.setRect(QStringLiteral("OrigCropGraphicBounds"), _origCropGraphicBounds);
    w.setInteger(QStringLiteral("FillImageScaling"), _fillImageScaling);
    w.setReal2(QStringLiteral("FillImageTransparency"), _fillImageTransparency);
    w.setReal2(QStringLiteral("FillImageRotation"), _fillImageRotation);
    w.setBool(QStringLiteral("FillImageFlippedHorizontally"), _fillImageFlippedHorizontally);
    w.setBool(QStringLiteral("FillImageFlippedVertically"), _fillImageFlippedVertically);
    w.setReal2(QStringLiteral("OrigShapeRotation"), _origShapeRotation);
    w.setBool(QStringLiteral("OrigShapeFlippedHorizontally"), _origShapeFlippedHorizontally);
    w.setBool(QStringLiteral("OrigShapeFlippedVertically"), _origShapeFlippedVertically);

    // Gradient, lock and group.
    w.setReal2(QStringLiteral("GradientAngle"), _gradientAngle);
    w.setReal2(QStringLiteral("GradientCenter"), _gradientCenter);
    w.setReal2(QStringLiteral("GradientCenterSize"), gradientCenterSize());
    w.setBool(QStringLiteral("Locked"), _locked);
    w.setBool(QStringLiteral("IsGrouped"), _isGrouped);
    w.setInteger(QStringLiteral("GroupedChildrenCount"), _groupedChildrenCount);
    w.setRect(QStringLiteral("GroupBounds"),
              _isGrouped ? _groupBounds.translated(-_visiblePageOrigin) : _groupBounds);
    w.setBool(QStringLiteral("ConstrainProportions"), _constrainProportions);

    // Placeholder.
    w.setBool(QStringLiteral("IsPlaceholder"), _isPlaceholder);
    w.setBool(QStringLiteral("DrawsPlaceholderText"), _drawPlaceholderText);
    w.setReal6(QStringLiteral("PlaceholderSizeRatio"), _placeholderSizeRatio);
    if (!_placeholderLabel.isNull())
        w.setString(QStringLiteral("PlaceholderLabel"), _placeholderLabel);
    w.setInteger(QStringLiteral("PlaceholderLabelPosition"), _placeholderLabelPosition);
    w.setBool(QStringLiteral("PlaceholderLabelIsVertical"), _placeholderLabelIsVertical);
    if (!_placeholderTypeString.isNull())
        w.setString(QStringLiteral("PlaceholderType"), _placeholderTypeString);
    w.setBool(QStringLiteral("HidePlaceholderOutline"), _hidePlaceholderOutline);
    w.setColor(QStringLiteral("PlaceholderColor"), _placeholderColor);
    w.setNumber(QStringLiteral("PlaceholderPatternIndex"), _placeholderPatternIndex);
    w.setNumber(QStringLiteral("PlaceholderImageIndex"), _placeholderImageIndex);
    w.setColor(QStringLiteral("PlaceholderLabelColor"), _placeholderLabelColor);

    // Adjustments, effects, colour mask and reflection.
    w.setReal6(QStringLiteral("Brightness"), _brightness);
    w.setReal6(QStringLiteral("Contrast"), _contrast);
    w.setReal6(QStringLiteral("Saturation"), _saturation);
    w.setReal6(QStringLiteral("Hue"), _hue);
    w.setReal6(QStringLiteral("Sharpness"), _sharpness);
    w.setReal6(QStringLiteral("Exposure"), _exposure);
    QVariantList effects;
    for (const QVariantMap& effect : _effects)
        effects.append(effect);
    dictionary.insert(QStringLiteral("EffectsArray"), effects);
    w.setInteger(QStringLiteral("LBColorMaskType"), _colorMaskType);
    w.setInteger(QStringLiteral("LBColorMaskSize"), _colorMaskSize);
    w.setInteger(QStringLiteral("LBColorMaskSoftness"), _colorMaskSoftness);
    w.setInteger(QStringLiteral("LBColorMaskOpacity"), _colorMaskOpacity);
    w.setInteger(QStringLiteral("LBColorMaskOffset"), _colorMaskOffset);
    w.setInteger(QStringLiteral("LBColorMaskAngle"), _colorMaskAngle);
    w.setBool(QStringLiteral("LBReflectionEnabled"), _reflectionEnabled);
    w.setReal2(QStringLiteral("LBReflectionTransparency"), _reflectionTransparency);
    w.setReal2(QStringLiteral("LBReflectionHeight"), _reflectionHeight);
    w.setReal2(QStringLiteral("LBReflectionHOffset"), _reflectionHOffset);
    w.setReal2(QStringLiteral("LBReflectionVOffset"), _reflectionVOffset);
    return dictionary;
}

// --- Loading ---

std::optional<QByteArray> LBGraphic::loadStoredPicture(const GraphicDictionaryReader& r,
                                                       const QString& key, qint64 type)
{
    const auto data = r.data(key);
    if (!data)
        return std::nullopt;
    QString error;
    const ImagePtr image = platform::Image::fromData(*data, &error);
    if (!image) {
        r.logSkipped(key, QStringLiteral("is no picture that can be read (%1); its data is "
                                         "kept as it is")
                              .arg(error));
        return data;
    }
    if (type == FillImageType)
        image->setDataRetained(true);
    *imageSlot(type) = image;
    return std::nullopt;
}

void LBGraphic::loadPropertyListRepresentation(const QVariantMap& dictionary)
{
    const GraphicDictionaryReader r(dictionary, graphicType());

    if (const auto bounds = r.rect(QStringLiteral("Bounds")))
        setBounds(*bounds);
    if (const auto color = r.color(QStringLiteral("FillColor")))
        setFillColor(*color);
    if (const auto color = r.color(QStringLiteral("FillColor2")))
        setFillColor1(*color);
    if (const auto type = r.intValue(QStringLiteral("FillType")))
        setFillType(*type);
    if (const auto color = r.color(QStringLiteral("StrokeColor")))
        setStrokeColor(*color);
    if (const auto width = r.floatValue(QStringLiteral("StrokeLineWidth")))
        setStrokeLineWidth(*width);
    if (const auto draws = r.boolValue(QStringLiteral("DrawsStroke")))
        setDrawsStroke(*draws);
    if (const auto rotation = r.floatValue(QStringLiteral("Rotation")))
        setRotation(*rotation);
    if (const auto flipped = r.boolValue(QStringLiteral("FlippedHorizontally")))
        setFlippedHorizontally(*flipped);
    if (const auto flipped = r.boolValue(QStringLiteral("FlippedVertically")))
        setFlippedVertically(*flipped);
    if (const auto rotation = r.floatValue(QStringLiteral("GroupRotation")))
        setGroupRotation(*rotation);

    // The count first, then the lengths with it.
    if (const auto count = r.intValue(QStringLiteral("LineDashCount")))
        _lineDashCount = *count;
    if (const auto pattern = r.rect(QStringLiteral("LineDashPattern")))
        setLineDash({pattern->x(), pattern->y(), pattern->width(), pattern->height()},
                    _lineDashCount);

    // Shadow: all values or none. When type, offset, blur, azimuth and alpha all read 0,
    // the default shadow stays.
    {
        const bool on = r.boolValue(QStringLiteral("ShadowOn")).value_or(false);
        const auto type = r.intValue(QStringLiteral("ShadowType"));
        const qint64 shadowType = type ? *type : (on ? 1 : 0);
        const qint64 height = r.intValue(QStringLiteral("ShadowHeight")).value_or(0);
        const qint64 radius = r.intValue(QStringLiteral("ShadowRadius")).value_or(0);
        const qint64 azimuth = r.intValue(QStringLiteral("ShadowAzimuth")).value_or(0);
        const double alpha = r.floatValue(QStringLiteral("ShadowAlpha")).value_or(0.0);
        const QColor color = r.color(QStringLiteral("ShadowColor")).value_or(QColor(Qt::black));
        if (shadowType != 0 || height != 0 || radius != 0 || azimuth != 0 || alpha != 0.0)
            setShadowInfo(shadowType, height, radius, azimuth, alpha, color);
    }

    // Any number, 0 included: a transparent graphic stays transparent.
    if (const auto alpha = r.string(QStringLiteral("GraphicAlpha"));
        alpha && platform::startsWithNumber(*alpha))
        setGraphicAlpha(platform::floatValue(*alpha));

    // Pictures are stored as they are, without side effects. Bytes that are no picture we
    // can read are kept to be written back; they are put in place after the placeholder
    // type, which would otherwise install its stock art over them.
    QHash<QString, QByteArray> undecoded;
    for (const qint64 type : {FillImageType, ObjectMaskType, ExternalMaskType}) {
        if (const auto path = r.string(imageFilePathKey(type)))
            *imageFilePathSlot(type) = *path;
        const QString key = imageDataKey(type);
        if (const auto unread = loadStoredPicture(r, key, type))
            undecoded.insert(key, *unread);
    }
    if (const auto data = r.data(kMaskImage)) {
        const QImage mask = imageFromData(*data);
        if (mask.isNull()) {
            r.logSkipped(kMaskImage, QStringLiteral("is no picture that can be read; its data "
                                                    "is kept as it is"));
            undecoded.insert(kMaskImage, *data);
        } else {
            _maskImage = mask;
        }
    }

    if (const auto crop = r.rect(QStringLiteral("OrigCropImageBounds")))
        _origCropImageBounds = *crop;
    if (const auto crop = r.rect(QStringLiteral("OrigCropGraphicBounds")))
        _origCropGraphicBounds = *crop;
    // A fill image under an external mask is written as it was before the mask: it is kept
    // as that original and masked again (over the part the crop shows), so the graphic
    // shows as it was saved and writes back the same bytes.
    if (_image && _externalMask) {
        saveOriginalImage();
        applyMask(_externalMask, false);
    }
    if (const auto scaling = r.floatValue(QStringLiteral("FillImageScaling")))
        setFillImageScaling(platform::integerValue(QVariant(*scaling)));
    if (const auto transparency = r.floatValue(QStringLiteral("FillImageTransparency")))
        setFillImageTransparency(*transparency);

    // The fill image's turn and flips go in one call; the shape's turn and flips when it
    // was cropped take the fill image's where they are missing.
    const double fillRotation = r.floatValue(QStringLiteral("FillImageRotation")).value_or(0.0);
    const bool fillH = r.boolValue(QStringLiteral("FillImageFlippedHorizontally")).value_or(false);
    const bool fillV = r.boolValue(QStringLiteral("FillImageFlippedVertically")).value_or(false);
    setFillImageRotation(fillRotation, fillH, fillV);
    setOrigShapeRotation(
        r.floatValue(QStringLiteral("OrigShapeRotation")).value_or(fillRotation),
        r.boolValue(QStringLiteral("OrigShapeFlippedHorizontally")).value_or(fillH),
        r.boolValue(QStringLiteral("OrigShapeFlippedVertically")).value_or(fillV));

    if (const auto angle = r.floatValue(QStringLiteral("GradientAngle")))
        setGradientAngle(*angle);
    if (const auto center = r.floatValue(QStringLiteral("GradientCenter")))
        setGradientCenter(*center);
    if (const auto size = r.floatValue(QStringLiteral("GradientCenterSize")))
        setGradientCenterSize(*size);
    if (const auto locked = r.boolValue(QStringLiteral("Locked")))
        setLocked(*locked);
    if (const auto grouped = r.boolValue(QStringLiteral("IsGrouped")))
        setIsGrouped(*grouped);
    if (const auto count = r.intValue(QStringLiteral("GroupedChildrenCount")))
        setGroupedChildrenCount(*count);
    if (const auto groupBounds = r.rect(QStringLiteral("GroupBounds")))
        setGroupBounds(*groupBounds);
    if (const auto constrain = r.boolValue(QStringLiteral("ConstrainProportions")))
        setConstrainProportions(*constrain);

    // The flag records the bounds' ratio; the stored ratio then replaces it.
    if (const auto isPlaceholder = r.boolValue(QStringLiteral("IsPlaceholder")))
        setIsPlaceholder(*isPlaceholder);
    if (const auto draws = r.boolValue(QStringLiteral("DrawsPlaceholderText")))
        setDrawPlaceholderText(*draws);
    if (const auto ratio = r.floatValue(QStringLiteral("PlaceholderSizeRatio")))
        setPlaceholderSizeRatio(*ratio);
    if (const auto label = r.string(QStringLiteral("PlaceholderLabel")))
        setPlaceholderLabel(*label);
    if (const auto position = r.intValue(QStringLiteral("PlaceholderLabelPosition")))
        setPlaceholderLabelPosition(*position);
    if (const auto vertical = r.boolValue(QStringLiteral("PlaceholderLabelIsVertical")))
        setPlaceholderLabelIsVertical(*vertical);
    // After the pictures: a photo placeholder without one installs its stock art.
    if (const auto type = r.string(QStringLiteral("PlaceholderType")))
        setPlaceholderTypeString(*type);
    if (const auto hide = r.boolValue(QStringLiteral("HidePlaceholderOutline")))
        setHidePlaceholderOutline(*hide);
    if (const auto color = r.color(QStringLiteral("PlaceholderColor")))
        setPlaceholderColor(*color);
    if (const auto index = r.integerValue(QStringLiteral("PlaceholderPatternIndex")))
        setPlaceholderPatternIndex(*index);
    if (const auto index = r.integerValue(QStringLiteral("PlaceholderImageIndex")))
        setPlaceholderImageIndex(*index);
    if (const auto color = r.color(QStringLiteral("PlaceholderLabelColor")))
        setPlaceholderLabelColor(*color);
    for (auto it = undecoded.cbegin(); it != undecoded.cend(); ++it)
        _undecodedImageData.insert(it.key(), it.value());

    // An old tint becomes a colour effect in front of the stored effects.
    if (r.boolValue(QStringLiteral("TintOn")).value_or(false)) {
        const double saturation = r.floatValue(QStringLiteral("TintSaturation")).value_or(0.0);
        const QColor tint = r.color(QStringLiteral("TintColor")).value_or(QColor());
        const QPointF centre(0.5, 0.5);
        addEffect(3, platform::integerValue(QVariant(saturation * 100.0)), 0, 0, 0, 0, 0, centre,
                  centre, centre, centre, tint, false);
    }

    if (const auto value = r.floatValue(QStringLiteral("Brightness")))
        setBrightness(*value);
    if (const auto value = r.floatValue(QStringLiteral("Contrast")))
        setContrast(*value);
    if (const auto value = r.floatValue(QStringLiteral("Saturation")))
        setSaturation(*value);
    if (const auto value = r.floatValue(QStringLiteral("Hue")))
        setHue(*value);
    if (const auto value = r.floatValue(QStringLiteral("Sharpness")))
        setSharpness(*value);
    if (const auto value = r.floatValue(QStringLiteral("Exposure")))
        setExposure(*value);

    if (const auto effects = r.array(QStringLiteral("EffectsArray"))) {
        for (qsizetype i = 0; i < effects->size(); ++i) {
            const QVariant& entry = effects->at(i);
            if (entry.typeId() != QMetaType::QVariantMap) {
                r.logSkipped(QStringLiteral("EffectsArray"),
                             QStringLiteral("entry %1 is not a dictionary").arg(i));
                continue;
            }
            const GraphicDictionaryReader e(entry.toMap(), graphicType());
            const auto modifier = [&e](int index) {
                return qint64(e.intValue(QStringLiteral("modifier%1").arg(index)).value_or(0));
            };
            const auto location = [&e](int index) {
                return pointOr(e.point(QStringLiteral("location%1").arg(index)), {0.5, 0.5});
            };
            addEffect(e.intValue(QStringLiteral("effect")).value_or(0), modifier(0), modifier(1),
                      modifier(2), modifier(3), modifier(4), modifier(5), location(0), location(1),
                      location(2), location(3),
                      e.color(QStringLiteral("colorData")).value_or(QColor()), false);
        }
    }

    if (const auto value = r.intValue(QStringLiteral("LBColorMaskType")))
        _colorMaskType = *value;
    if (const auto value = r.intValue(QStringLiteral("LBColorMaskSize")))
        _colorMaskSize = *value;
    if (const auto value = r.intValue(QStringLiteral("LBColorMaskSoftness")))
        _colorMaskSoftness = *value;
    if (const auto value = r.intValue(QStringLiteral("LBColorMaskOpacity")))
        _colorMaskOpacity = *value;
    if (const auto value = r.intValue(QStringLiteral("LBColorMaskOffset")))
        _colorMaskOffset = *value;
    if (const auto value = r.intValue(QStringLiteral("LBColorMaskAngle")))
        _colorMaskAngle = *value;
    if (const auto value = r.boolValue(QStringLiteral("LBReflectionEnabled")))
        _reflectionEnabled = *value;
    if (const auto value = r.floatValue(QStringLiteral("LBReflectionTransparency")))
        _reflectionTransparency = *value;
    if (const auto value = r.floatValue(QStringLiteral("LBReflectionHeight")))
        _reflectionHeight = *value;
    if (const auto value = r.floatValue(QStringLiteral("LBReflectionHOffset")))
        _reflectionHOffset = *value;
    if (const auto value = r.floatValue(QStringLiteral("LBReflectionVOffset")))
        _reflectionVOffset = *value;

    // The first drawing builds the picture from what was loaded.
    clearCachedImage();
}
