// The picture side of a graphic as far as it is plain state: images by type and their
// files, crop rectangles, caches, fill-image placement, the six adjustments, the effects
// list, the colour mask settings and the reflection settings.

#include "graphics/LBGraphic.h"

#include "graphics/EffectEntry.h"
#include "graphics/LBProcessState.h"
#include "platform/core/TextForms.h"
#include "platform/drawing/Image.h"
#include "platform/imaging/ImageFilter.h"

#include <QDebug>
#include <QSet>

#include <numbers>

using effectentry::locationKey;
using effectentry::modifierKey;

namespace {

// What an effect kind stores, with the value it takes when asked for its default, and the
// filter that processes it (none for a kind the effects chain handles itself).
struct EffectKindKeys
{
    QString filterName;
    std::array<std::optional<qint64>, 6> modifiers;
    std::array<std::optional<QPointF>, 4> locations;
    std::optional<QColor> color;
    // The colour defaults to the new filter's own "inputColor".
    bool colorFromFilter = false;
};

EffectKindKeys effectKindKeys(qint64 kind)
{
    const QPointF centre(0.5, 0.5);
    EffectKindKeys k;
    auto mods = [&k](std::initializer_list<std::pair<int, qint64>> values) {
        for (const auto& [index, value] : values)
            k.modifiers[index] = value;
    };
    auto filter = [&k](const char* name) { k.filterName = QString::fromLatin1(name); };
    switch (kind) {
    case 1: filter("CIColorInvert"); break;
    case 2:
        filter("CISepiaTone");
        mods({{0, 100}});
        break;
    case 3:
        mods({{0, 30}});
        k.color = QColor(Qt::red);
        break;
    case 4:
        filter("CIColorPosterize");
        mods({{0, 20}});
        break;
    case 5:
        filter("CICircleSplashDistortion");
        mods({{0, 50}});
        k.locations[0] = centre;
        break;
    case 6:
        filter("CICrystallize");
        mods({{0, 20}});
        break;
    case 7:
        filter("CIEdgeWork");
        mods({{0, 50}});
        k.color = QColor(Qt::black);
        break;
    case 8:
        filter("CIBumpDistortion");
        mods({{0, 50}, {1, 60}});
        k.locations[0] = centre;
        break;
    case 9:
        filter("CIDotScreen");
        mods({{0, 20}, {1, 70}, {2, 0}});
        break;
    case 10: filter("CINoiseReduction"); break;
    case 11:
        filter("CIMotionBlur");
        mods({{0, 20}, {1, 0}});
        break;
    case 12:
        filter("CIZoomBlur");
        mods({{0, 50}});
        k.locations[0] = centre;
        break;
    case 13:
        filter("CICircularWrap");
        mods({{0, 50}, {1, 0}});
        break;
    case 14:
        filter("CIHoleDistortion");
        mods({{0, 20}});
        k.locations[0] = centre;
        break;
    case 15:
        filter("CIPinchDistortion");
        mods({{0, 80}, {1, 50}});
        k.locations[0] = centre;
        break;
    case 16:
        filter("CITwirlDistortion");
        mods({{0, 50}, {1, 63}});
        k.locations[0] = centre;
        break;
    case 17:
        filter("CIVortexDistortion");
        mods({{0, 75}, {1, 75}});
        k.locations[0] = centre;
        break;
    case 18:
        filter("CIPointillize");
        mods({{0, 20}});
        break;
    case 19:
        filter("CIPixellate");
        mods({{0, 20}});
        break;
    case 20:
        filter("CIBloom");
        mods({{0, 10}, {1, 60}});
        break;
    case 21:
        filter("CIGloom");
        mods({{0, 10}, {1, 60}});
        break;
    case 22:
        filter("CIEdges");
        mods({{0, 100}});
        break;
    case 24:
        filter("CIGaussianBlur");
        mods({{0, 20}});
        break;
    case 25:
        filter("CIOpTile");
        mods({{0, 15}, {1, 40}, {2, 20}});
        break;
    case 26:
        filter("CIKaleidoscope");
        mods({{0, 20}, {1, 50}});
        k.locations[0] = centre;
        break;
    case 27:
        filter("CITriangleTile");
        mods({{0, 50}, {1, 50}});
        k.locations[0] = centre;
        break;
    case 28:
        filter("CICircularScreen");
        mods({{0, 20}, {1, 70}});
        k.locations[0] = centre;
        break;
    case 29:
        filter("CIStarShineGenerator");
        mods({{0, 15}, {1, 15}, {2, 0}, {3, 50}, {4, 25}});
        k.locations[0] = centre;
        k.colorFromFilter = true;
        break;
    case 30:
        filter("CILenticularHaloGenerator");
        mods({{0, 7}, {1, 25}, {2, 77}, {3, 17}, {4, 20}});
        k.locations[0] = centre;
        k.colorFromFilter = true;
        break;
    case 31:
        filter("CIWhitePointAdjust");
        k.colorFromFilter = true;
        break;
    case 32:
        filter("CIPerspectiveTransform");
        k.locations = {QPointF(0, 1), QPointF(1, 1), QPointF(0, 0), QPointF(1, 0)};
        break;
    case 33:
        filter("CIBlendWithMask");
        mods({{0, 65}, {1, 50}, {5, 0}});
        k.locations[0] = centre;
        break;
    case 34:
        filter("CIBlendWithMask");
        mods({{0, 60}, {1, 20}, {2, 0}, {3, 0}, {5, 0}});
        k.locations[0] = centre;
        break;
    case 35:
        filter("CIBlendWithMask");
        mods({{0, 35}, {1, 50}, {5, 2}});
        k.locations[0] = centre;
        break;
    default: break; // 23 and unknown kinds store nothing but the kind and have no filter
    }
    return k;
}

// A filter made by name and given its defaults; nullptr for a name no filter answers to.
LBGraphic::FilterPtr newFilter(const QString& name)
{
    LBGraphic::FilterPtr filter = platform::ImageFilter::filterWithName(name);
    if (filter)
        filter->setDefaults();
    else
        qWarning().noquote() << QStringLiteral("No image filter is named \"%1\"").arg(name);
    return filter;
}

} // namespace

// --- Images by type ---

LBGraphic::ImagePtr* LBGraphic::imageSlot(qint64 type)
{
    switch (type) {
    case FillImageType: return &_image;
    case ObjectMaskType: return &_objectMask;
    case ExternalMaskType: return &_externalMask;
    default: return nullptr;
    }
}

QString* LBGraphic::imageFilePathSlot(qint64 type)
{
    switch (type) {
    case FillImageType: return &_imageFilePath;
    case ObjectMaskType: return &_objectMaskFilePath;
    case ExternalMaskType: return &_externalMaskFilePath;
    default: return nullptr;
    }
}

LBGraphic::ImagePtr LBGraphic::imageOfType(qint64 type) const
{
    const ImagePtr* slot = const_cast<LBGraphic*>(this)->imageSlot(type);
    return slot ? *slot : nullptr;
}

void LBGraphic::setImage(const ImagePtr& image, qint64 imageType)
{
    ImagePtr* field = imageSlot(imageType);
    if (!field)
        return;
    clearCachedImage();
    didChange();
    if (image == *field)
        return;
    // Stored data of this kind that could not be read gives way to the new picture.
    _undecodedImageData.remove(imageDataKey(imageType));
    // A picture a graphic shows keeps the bytes it was read from, for writing it back.
    if (image)
        image->setDataRetained(true);
    if (shouldUndoImageChanges()) {
        const ImagePtr old = *field;
        registerUndo([old, imageType](LBGraphic& g) { g.setImage(old, imageType); });
    }
    *field = image;
    if (imageType == ExternalMaskType) {
        // The fill image loses any earlier external mask before it takes the new one.
        restoreOriginalImage();
        if (image) {
            saveOriginalImage();
            applyMask(image, false);
            clearCachedImage();
        }
    } else if (imageType == ObjectMaskType && image) {
        applyMask(image, true);
    }
}

QString LBGraphic::imageFilePathOfType(qint64 type) const
{
    switch (type) {
    case ObjectMaskType: return _objectMaskFilePath;
    case ExternalMaskType: return _externalMaskFilePath;
    default: return _imageFilePath;
    }
}

void LBGraphic::setImageFilePath(const QString& path, qint64 imageType)
{
    QString* field = imageFilePathSlot(imageType);
    if (!field)
        return;
    const QString old = *field;
    registerUndo([old, imageType](LBGraphic& g) { g.setImageFilePath(old, imageType); });
    *field = path;
}

void LBGraphic::setMaskImage(const QImage& maskImage)
{
    recordValue(_maskImage, maskImage, &LBGraphic::setMaskImage);
    _undecodedImageData.remove(QStringLiteral("MaskImage"));
}

bool LBGraphic::isImageCrop() const
{
    return _image != nullptr || !_imageFilePath.isEmpty();
}

bool LBGraphic::hasFillImage() const
{
    // A fill picture exists for a placeholder (its art) and for a picture cropped into
    // the outline.
    return _isPlaceholder || (_image != nullptr && _origCropGraphicBounds.width() != 0.0);
}

void LBGraphic::setCropImageBounds(const QRectF& imageBounds, const QRectF& shapeBounds)
{
    const QRectF oldImage = _origCropImageBounds;
    const QRectF oldShape = _origCropGraphicBounds;
    registerUndo([oldImage, oldShape](LBGraphic& g) { g.setCropImageBounds(oldImage, oldShape); });
    _origCropImageBounds = imageBounds;
    _origCropGraphicBounds = shapeBounds;
}

void LBGraphic::getCropImageBounds(QRectF* imageBounds, QRectF* shapeBounds) const
{
    if (imageBounds)
        *imageBounds = _origCropImageBounds;
    if (shapeBounds)
        *shapeBounds = _origCropGraphicBounds;
}

void LBGraphic::clearCachedImage()
{
    // A drag out of the canvas shows the processed picture; it must stay valid.
    if (LBProcessState::isDraggingOut())
        return;
    _cachedImage.reset();
    _cachedCIImage = QImage();
    clearCachedFillImage();
}

void LBGraphic::clearCachedFillImage()
{
    _cachedFillImage.reset();
}

// --- Fill-image placement ---

void LBGraphic::setFillImageScaling(qint64 scaling)
{
    if (!changeValue(_fillImageScaling, scaling, &LBGraphic::setFillImageScaling))
        return;
    markChanged();
}

void LBGraphic::setFillImageTransparency(double transparency)
{
    if (!changeValue(_fillImageTransparency, transparency, &LBGraphic::setFillImageTransparency))
        return;
    markChanged();
}

void LBGraphic::setFillImageRotation(double rotation, bool flippedHorizontally,
                                     bool flippedVertically)
{
    const double oldRotation = _fillImageRotation;
    const bool oldH = _fillImageFlippedHorizontally;
    const bool oldV = _fillImageFlippedVertically;
    registerUndo([oldRotation, oldH, oldV](LBGraphic& g) {
        g.setFillImageRotation(oldRotation, oldH, oldV);
    });
    _fillImageRotation = rotation;
    _fillImageFlippedHorizontally = flippedHorizontally;
    _fillImageFlippedVertically = flippedVertically;
    markChanged();
}

void LBGraphic::getFillImageRotation(double* rotation, bool* flippedHorizontally,
                                     bool* flippedVertically) const
{
    if (rotation)
        *rotation = _fillImageRotation;
    if (flippedHorizontally)
        *flippedHorizontally = _fillImageFlippedHorizontally;
    if (flippedVertically)
        *flippedVertically = _fillImageFlippedVertically;
}

void LBGraphic::setOrigShapeRotation(double rotation, bool flippedHorizontally,
                                     bool flippedVertically)
{
    const double oldRotation = _origShapeRotation;
    const bool oldH = _origShapeFlippedHorizontally;
    const bool oldV = _origShapeFlippedVertically;
    registerUndo([oldRotation, oldH, oldV](LBGraphic& g) {
        g.setOrigShapeRotation(oldRotation, oldH, oldV);
    });
    _origShapeRotation = rotation;
    _origShapeFlippedHorizontally = flippedHorizontally;
    _origShapeFlippedVertically = flippedVertically;
}

void LBGraphic::getOrigShapeRotation(double* rotation, bool* flippedHorizontally,
                                     bool* flippedVertically) const
{
    if (rotation)
        *rotation = _origShapeRotation;
    if (flippedHorizontally)
        *flippedHorizontally = _origShapeFlippedHorizontally;
    if (flippedVertically)
        *flippedVertically = _origShapeFlippedVertically;
}

// --- Adjustments ---

void LBGraphic::setAdjustment(double LBGraphic::*field, void (LBGraphic::*setter)(double),
                              double value)
{
    if (value == this->*field)
        return;
    const double old = this->*field;
    registerUndo([old, setter](LBGraphic& g) { (g.*setter)(old); });
    this->*field = value;
    updateAdjustmentFilter(field);
    markChanged();
}

void LBGraphic::updateAdjustmentFilter(double LBGraphic::*field)
{
    const double v = this->*field;
    auto keep = [](FilterPtr& filter, bool wanted, const char* name) {
        if (wanted && !filter)
            filter = newFilter(QString::fromLatin1(name));
        else if (!wanted)
            filter.reset();
    };
    auto set = [v](const FilterPtr& filter, const char* key, double value) {
        if (filter)
            filter->setValue(value, QString::fromLatin1(key));
    };

    if (field == &LBGraphic::_brightness || field == &LBGraphic::_contrast
        || field == &LBGraphic::_saturation) {
        // One filter serves all three: made by the first that is not 0, released when
        // all three are 0. A new filter's other two inputs keep its defaults, which are
        // what 0 maps to.
        if (v != 0.0 && !_colorControlsFilter)
            _colorControlsFilter = newFilter(QStringLiteral("CIColorControls"));
        else if (v == 0.0 && _brightness == 0.0 && _contrast == 0.0 && _saturation == 0.0)
            _colorControlsFilter.reset();
        if (field == &LBGraphic::_brightness) {
            set(_colorControlsFilter, "inputBrightness", v / 100.0);
        } else if (field == &LBGraphic::_contrast) {
            const double contrast = v > 0.0   ? 1.0 + 3.0 * v / 100.0
                                    : v < 0.0 ? 0.25 + 0.75 * (v + 100.0) / 100.0
                                              : 1.0;
            set(_colorControlsFilter, "inputContrast", contrast);
        } else {
            const double saturation = v > 0.0   ? 1.0 + 2.0 * v / 100.0
                                      : v < 0.0 ? 0.75 * (v + 100.0) / 100.0
                                                : 1.0;
            set(_colorControlsFilter, "inputSaturation", saturation);
        }
    } else if (field == &LBGraphic::_hue) {
        keep(_hueFilter, v != 0.0, "CIHueAdjust");
        set(_hueFilter, "inputAngle", v / 100.0 * std::numbers::pi);
    } else if (field == &LBGraphic::_exposure) {
        keep(_exposureFilter, v != 0.0, "CIExposureAdjust");
        set(_exposureFilter, "inputEV", v / 100.0 * 5.0);
    } else if (field == &LBGraphic::_sharpness) {
        // The radius depends on the picture's size; the effects chain sets it.
        keep(_sharpnessFilter, v > 0.0, "CIUnsharpMask");
        keep(_blurFilter, v < 0.0, "CIGaussianBlur");
    }
}

void LBGraphic::setBrightness(double value)
{
    setAdjustment(&LBGraphic::_brightness, &LBGraphic::setBrightness, value);
}

void LBGraphic::setContrast(double value)
{
    setAdjustment(&LBGraphic::_contrast, &LBGraphic::setContrast, value);
}

void LBGraphic::setHue(double value)
{
    setAdjustment(&LBGraphic::_hue, &LBGraphic::setHue, value);
}

void LBGraphic::setSaturation(double value)
{
    setAdjustment(&LBGraphic::_saturation, &LBGraphic::setSaturation, value);
}

void LBGraphic::setSharpness(double value)
{
    setAdjustment(&LBGraphic::_sharpness, &LBGraphic::setSharpness, value);
}

void LBGraphic::setExposure(double value)
{
    setAdjustment(&LBGraphic::_exposure, &LBGraphic::setExposure, value);
}

// --- Effects list ---

void LBGraphic::addEffect(qint64 kind, qint64 modifier0, qint64 modifier1, qint64 modifier2,
                          qint64 modifier3, qint64 modifier4, qint64 modifier5,
                          const QPointF& location0, const QPointF& location1,
                          const QPointF& location2, const QPointF& location3, const QColor& color,
                          bool notifyHUD)
{
    const qint64 newIndex = numEffects();
    registerUndo([newIndex](LBGraphic& g) { g.removeEffectAtIndex(newIndex, true); });

    // The mask effects replace an external mask.
    if ((kind == 33 || kind == 34) && _externalMask)
        setImage(nullptr, ExternalMaskType);

    QVariantMap entry;
    entry.insert(effectentry::kEffect, kind);
    const EffectKindKeys keys = effectKindKeys(kind);
    EffectFilterArray filters;
    if (!keys.filterName.isEmpty()) {
        if (FilterPtr filter = newFilter(keys.filterName))
            filters.append(filter);
    }
    const std::array<qint64, 6> modifiers = {modifier0, modifier1, modifier2,
                                             modifier3, modifier4, modifier5};
    for (int i = 0; i < 6; ++i) {
        if (keys.modifiers[i])
            entry.insert(modifierKey(i),
                         modifiers[i] == DefaultEffectModifier ? *keys.modifiers[i] : modifiers[i]);
    }
    const std::array<QPointF, 4> locations = {location0, location1, location2, location3};
    for (int i = 0; i < 4; ++i) {
        if (keys.locations[i]) {
            const QPointF location =
                locations[i].x() == DefaultEffectLocationX ? *keys.locations[i] : locations[i];
            entry.insert(locationKey(i), platform::stringFromPoint(location));
        }
    }
    if (keys.colorFromFilter || keys.color) {
        QColor stored = color;
        if (!stored.isValid() && keys.colorFromFilter && !filters.isEmpty())
            stored = filters.first()->valueForKey(QStringLiteral("inputColor")).value<QColor>();
        if (!stored.isValid() && keys.color)
            stored = *keys.color;
        entry.insert(effectentry::kColorData, effectentry::colorData(stored));
    }
    insertEffect(entry, filters, newIndex, notifyHUD);
}

void LBGraphic::insertEffect(const QVariantMap& entry, const EffectFilterArray& filters,
                             qint64 index, bool notifyHUD)
{
    Q_ASSERT(_effects.size() == _effectFilters.size());
    _effects.insert(index, entry);
    _effectFilters.insert(index, filters);
    markChanged();
    if (notifyHUD)
        postUpdateUtilityWindows();
}

void LBGraphic::removeEffectAtIndex(qint64 index, bool notifyHUD)
{
    if (index < 0 || index >= numEffects())
        return;
    Q_ASSERT(_effects.size() == _effectFilters.size());
    const QVariantMap entry = _effects.at(index);
    const EffectFilterArray filters = _effectFilters.at(index);
    const qint64 knobType = _effectLocationKnobType;
    const qint64 knobIndex = _effectIndexForEffectKnob;
    // Effects apply in list order: undoing puts the entry and its filters back where they
    // were (and redoing removes them there again), with the knobs as they were.
    registerUndo([entry, filters, index, knobType, knobIndex](LBGraphic& g) {
        g.registerUndo([index](LBGraphic& g2) { g2.removeEffectAtIndex(index, true); });
        g._effectLocationKnobType = knobType;
        g._effectIndexForEffectKnob = knobIndex;
        g.insertEffect(entry, filters, index, true);
    });
    _effects.removeAt(index);
    _effectFilters.removeAt(index);
    // The effect knobs stay on their entry; they go away with it.
    if (index < _effectIndexForEffectKnob)
        --_effectIndexForEffectKnob;
    else if (index == _effectIndexForEffectKnob)
        _effectLocationKnobType = 0;
    markChanged();
    if (notifyHUD)
        postUpdateUtilityWindows();
}

qint64 LBGraphic::indexOfEffect(qint64 kind) const
{
    for (qint64 i = numEffects() - 1; i >= 0; --i) {
        if (effectentry::kind(_effects.at(i)) == kind)
            return i;
    }
    return -1;
}

QVariantMap LBGraphic::effectDictionaryAtIndex(qint64 index) const
{
    if (index < 0 || index >= numEffects())
        return {};
    return _effects.at(index);
}

std::optional<LBGraphic::EffectFilterArray>
LBGraphic::effectFilterSubarrayAtIndex(qint64 index) const
{
    if (index < 0 || index >= _effectFilters.size())
        return std::nullopt;
    return _effectFilters.at(index);
}

void LBGraphic::setEffectModifier(qint64 value, const QString& forKey, qint64 forEffectAtIndex,
                                  bool notifyHUD)
{
    if (forEffectAtIndex < 0 || forEffectAtIndex >= numEffects())
        return;
    QVariantMap& entry = _effects[forEffectAtIndex];
    const qint64 old = platform::integerValue(entry.value(forKey));
    if (old == value)
        return;
    const QString key = forKey;
    registerUndo([old, key, forEffectAtIndex](LBGraphic& g) {
        g.setEffectModifier(old, key, forEffectAtIndex, false);
    });
    entry.insert(forKey, value);
    markChanged();
    if (notifyHUD)
        postUpdateUtilityWindows();
}

void LBGraphic::setEffectLocation(const QPointF& location, const QString& forKey,
                                  qint64 forEffectAtIndex)
{
    if (forEffectAtIndex < 0 || forEffectAtIndex >= numEffects())
        return;
    QVariantMap& entry = _effects[forEffectAtIndex];
    const QPointF old = platform::pointFromString(entry.value(forKey).toString());
    if (old == location)
        return;
    const QString key = forKey;
    registerUndo([old, key, forEffectAtIndex](LBGraphic& g) {
        g.setEffectLocation(old, key, forEffectAtIndex);
    });
    entry.insert(forKey, platform::stringFromPoint(location));
    markChanged();
}

void LBGraphic::setEffectColor(const QColor& color, qint64 forEffectAtIndex, bool notifyHUD)
{
    if (forEffectAtIndex < 0 || forEffectAtIndex >= numEffects())
        return;
    QVariantMap& entry = _effects[forEffectAtIndex];
    const QColor old = effectentry::color(entry);
    registerUndo(
        [old, forEffectAtIndex](LBGraphic& g) { g.setEffectColor(old, forEffectAtIndex, false); });
    // An entry that had no colour gets none back when its colour change is undone.
    if (color.isValid())
        entry.insert(effectentry::kColorData, effectentry::colorData(color));
    else
        entry.remove(effectentry::kColorData);
    markChanged();
    if (notifyHUD)
        postUpdateUtilityWindows();
}

void LBGraphic::copyImageEffectsFromGraphic(const LBGraphic& other)
{
    // Collected once, before anything is added: two effects of one kind in the other
    // graphic are both taken when this graphic had neither.
    QSet<qint64> ownKinds;
    for (const QVariantMap& entry : std::as_const(_effects))
        ownKinds.insert(effectentry::kind(entry));

    const QList<QVariantMap> effects = other._effects; // `other` may be this graphic
    for (const QVariantMap& entry : effects) {
        const qint64 kind = effectentry::kind(entry);
        if (ownKinds.contains(kind))
            continue;
        std::array<qint64, 6> m{};
        for (int i = 0; i < 6; ++i)
            m[i] = effectentry::modifier(entry, i);
        std::array<QPointF, 4> l;
        for (int i = 0; i < 4; ++i)
            l[i] = effectentry::location(entry, i);
        const QColor color = effectentry::color(entry);
        addEffect(kind, m[0], m[1], m[2], m[3], m[4], m[5], l[0], l[1], l[2], l[3], color, false);
    }
}

// --- Colour mask ---

void LBGraphic::setColorMaskType(qint64 type, qint64 size, qint64 softness, qint64 opacity,
                                 qint64 offset, qint64 angle)
{
    auto unchanged = [](qint64 value, qint64 stored) { return value == -1 || value == stored; };
    if (unchanged(type, _colorMaskType) && unchanged(size, _colorMaskSize)
        && unchanged(softness, _colorMaskSoftness) && unchanged(opacity, _colorMaskOpacity)
        && unchanged(offset, _colorMaskOffset) && unchanged(angle, _colorMaskAngle))
        return;

    const std::array<qint64, 6> old = {_colorMaskType,    _colorMaskSize,   _colorMaskSoftness,
                                       _colorMaskOpacity, _colorMaskOffset, _colorMaskAngle};
    registerUndo([old](LBGraphic& g) {
        g.setColorMaskType(old[0], old[1], old[2], old[3], old[4], old[5]);
    });

    // The first colour mask starts from settings that show it.
    if (type != 0 && _colorMaskType == 0 && _colorMaskSoftness == 0) {
        _colorMaskSize = 90;
        _colorMaskSoftness = 7;
        _colorMaskAngle = 90;
        _colorMaskOpacity = 100;
    }
    _colorMaskImage.reset();
    if (type != -1)
        _colorMaskType = type;
    if (size != -1)
        _colorMaskSize = size;
    if (softness != -1)
        _colorMaskSoftness = softness;
    if (opacity != -1)
        _colorMaskOpacity = opacity;
    if (offset != -1)
        _colorMaskOffset = offset;
    if (angle != -1)
        _colorMaskAngle = angle;
    didChange();
}

// --- Reflection ---

void LBGraphic::setReflectionEnabled(bool enabled)
{
    if (enabled == _reflectionEnabled)
        return;
    // Turning the reflection off erases it first.
    if (!enabled)
        invalidate();
    const bool old = _reflectionEnabled;
    registerUndo([old](LBGraphic& g) { g.setReflectionEnabled(old); });
    _reflectionEnabled = enabled;
    setReflectionImage(nullptr);
    didChange();
}

void LBGraphic::changeReflectionValue(double& field, double value,
                                      void (LBGraphic::*setter)(double), bool shrinks)
{
    if (value == field)
        return;
    // A smaller reflection erases the larger old one first.
    if (shrinks && value < field)
        invalidate();
    changeValue(field, value, setter);
    setReflectionImage(nullptr);
    didChange();
}

void LBGraphic::setReflectionTransparency(double transparency)
{
    changeReflectionValue(_reflectionTransparency, transparency,
                          &LBGraphic::setReflectionTransparency, false);
}

void LBGraphic::setReflectionHeight(double height)
{
    changeReflectionValue(_reflectionHeight, height, &LBGraphic::setReflectionHeight, true);
}

void LBGraphic::setReflectionHOffset(double offset)
{
    changeReflectionValue(_reflectionHOffset, offset, &LBGraphic::setReflectionHOffset, true);
}

void LBGraphic::setReflectionVOffset(double offset)
{
    changeReflectionValue(_reflectionVOffset, offset, &LBGraphic::setReflectionVOffset, true);
}
