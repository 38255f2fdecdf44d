#include "graphics/LBGraphic.h"

#include "graphics/GraphicClasses.h"
#include "graphics/GraphicDocument.h"
#include "graphics/LBGradientFill.h"
#include "graphics/NamedImage.h"
#include "platform/core/ClassRegistry.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/TextForms.h"
#include "platform/core/UndoManager.h"
#include "platform/drawing/Image.h"

#include <QSet>
#include <QtGlobal>

#include <cxxabi.h>

#include <cstdlib>
#include <typeinfo>

LBGraphic::LBGraphic()
    // Set directly rather than through setBounds(): a graphic under construction has no
    // document to record undo on, and must not announce itself to observers yet.
    : _bounds(0.0, 0.0, 1.0, 1.0),
      _fillColor(Qt::black),
      _fillColor1(Qt::white),
      _strokeColor(Qt::black),
      _shadowColor(Qt::black),
      _placeholderColor(Qt::white),
      _placeholderLabelColor(QColor::fromRgbF(1.0 / 3.0, 1.0 / 3.0, 1.0 / 3.0))
{}

LBGraphic::~LBGraphic() = default;

std::shared_ptr<LBGraphic> LBGraphic::newInstance() const
{
    // Every graphic class is registered under its name, for loading as for copying.
    registerGraphicClasses();
    std::shared_ptr<LBGraphic> graphic = platform::ClassRegistry<LBGraphic>::create(graphicType());
    if (!graphic)
        qFatal("LBGraphic: %s is not registered and cannot be copied", qPrintable(graphicType()));
    return graphic;
}

std::shared_ptr<LBGraphic> LBGraphic::copy() const
{
    std::shared_ptr<LBGraphic> graphic = newInstance();
    // A class that forgot newInstance() would silently lose its own kind in every copy.
    Q_ASSERT_X(typeid(*graphic) == typeid(*this), "LBGraphic::copy",
               "newInstance() must make an instance of the receiver's own class");

    // The copy has no document: none of these setters records undo or redraws, but their
    // side effects (stroke bit, group bounds, flips of a fill image) run as for any change.
    graphic->setBounds(bounds());

    graphic->setFillColor(_fillColor);
    graphic->setFillColor1(_fillColor1);
    graphic->setFillType(fillType());

    graphic->setStrokeColor(_strokeColor);
    graphic->setDrawsStroke(drawsStroke());
    graphic->setStrokeLineWidth(_lineWidth);
    graphic->setGraphicAlpha(_graphicAlpha);

    graphic->setLineDash(_lineDashPattern, _lineDashCount);

    graphic->setRotation(_rotationDegrees);
    graphic->setGroupRotation(_groupRotationDegrees);

    graphic->setShadowInfo(_shadowType, _shadowHeight, _shadowRadius, _shadowAzimuth, _shadowAlpha,
                           _shadowColor);

    graphic->setReflectionEnabled(_reflectionEnabled);
    graphic->setReflectionTransparency(_reflectionTransparency);
    graphic->setReflectionHeight(_reflectionHeight);
    graphic->setReflectionHOffset(_reflectionHOffset);
    graphic->setReflectionVOffset(_reflectionVOffset);
    graphic->setLoadingReflection(_loadingReflection);

    graphic->setCropImageBounds(_origCropImageBounds, _origCropGraphicBounds);

    // Pictures are shared. Pictures that come from files are left to the caller, who
    // copies the files into the new graphic's document; a photo placeholder showing its
    // prompt carries only the stock art, which it installs again itself.
    const bool showsPhotoPrompt =
        _isPlaceholder && _drawPlaceholderText
        && (_placeholderTypeString.isNull() || _placeholderTypeString == QLatin1String("Photo"));
    if (_imageFilePath.isEmpty() && !showsPhotoPrompt) {
        graphic->setImage(_image, FillImageType);
        // The picture from before an external mask goes along, so the copy's own external
        // mask (set below, or loaded from its file later) masks it once, as here.
        graphic->_origImage = _origImage;
    }
    // The fill picture copied above is already under the object mask: the mask goes along
    // without masking it again.
    if (_objectMaskFilePath.isEmpty() && _objectMask) {
        _objectMask->setDataRetained(true);
        graphic->_objectMask = _objectMask;
    }
    if (_externalMaskFilePath.isEmpty())
        graphic->setImage(_externalMask, ExternalMaskType);

    graphic->setFillImageScaling(_fillImageScaling);
    graphic->setFillImageTransparency(_fillImageTransparency);

    graphic->setFlippedHorizontally(_flippedHorizontally);
    graphic->setFlippedVertically(_flippedVertically);
    // The flips mirrored the copied crop rectangles once more, as for a graphic being
    // turned over; the copy shows exactly what this graphic shows.
    graphic->setCropImageBounds(_origCropImageBounds, _origCropGraphicBounds);
    graphic->setFillImageRotation(_fillImageRotation, _fillImageFlippedHorizontally,
                                  _fillImageFlippedVertically);
    graphic->setOrigShapeRotation(_origShapeRotation, _origShapeFlippedHorizontally,
                                  _origShapeFlippedVertically);

    graphic->setGradientAngle(_gradientAngle);
    graphic->setGradientCenter(_gradientCenter);
    graphic->setGradientCenterSize(_gradientCenterSize);

    graphic->setLocked(_locked);
    graphic->setIsGrouped(_isGrouped);
    graphic->setGroupedChildrenCount(_groupedChildrenCount);
    graphic->setGroupBounds(_groupBounds);
    graphic->setConstrainProportions(_constrainProportions);

    graphic->setIsPlaceholder(_isPlaceholder);
    graphic->setDrawPlaceholderText(_drawPlaceholderText);
    graphic->setPlaceholderSizeRatio(_placeholderSizeRatio);
    graphic->setPlaceholderLabelIsVertical(_placeholderLabelIsVertical);
    graphic->setPlaceholderLabel(_placeholderLabel);
    graphic->setPlaceholderLabelPosition(_placeholderLabelPosition);
    graphic->setPlaceholderTypeString(_placeholderTypeString);
    graphic->setHidePlaceholderOutline(_hidePlaceholderOutline);
    graphic->setPlaceholderColor(_placeholderColor);
    graphic->setPlaceholderPatternIndex(_placeholderPatternIndex);
    graphic->setPlaceholderImageIndex(_placeholderImageIndex);
    graphic->setPlaceholderLabelColor(_placeholderLabelColor);

    graphic->setZoomFactor(_zoomFactor);

    graphic->setBrightness(_brightness);
    graphic->setContrast(_contrast);
    graphic->setHue(_hue);
    graphic->setSaturation(_saturation);
    graphic->setSharpness(_sharpness);
    graphic->setExposure(_exposure);

    graphic->setMaskImage(_maskImage);

    graphic->copyImageEffectsFromGraphic(*this);

    graphic->setColorMaskType(_colorMaskType, _colorMaskSize, _colorMaskSoftness, _colorMaskOpacity,
                              _colorMaskOffset, _colorMaskAngle);
    // Stored picture data that could not be read travels with the copy, to be written back
    // (after the setters above, which drop it).
    graphic->_undecodedImageData = _undecodedImageData;
    return graphic;
}

QString LBGraphic::graphicType() const
{
    const char* mangled = typeid(*this).name();
    int status = 0;
    char* demangled = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    const QString name = QString::fromLatin1(status == 0 && demangled ? demangled : mangled);
    std::free(demangled);
    return name;
}

platform::UndoManager* LBGraphic::undoManager() const
{
    return _document ? _document->undoManager() : nullptr;
}

void LBGraphic::registerUndo(std::function<void(LBGraphic&)> undo)
{
    platform::UndoManager* manager = undoManager();
    if (!manager)
        return;
    // Graphics in a document are always shared; the closure keeps this one alive for as
    // long as the undo step exists.
    std::shared_ptr<LBGraphic> self = weak_from_this().lock();
    if (!self) {
        qWarning("LBGraphic: a graphic not held by a shared pointer records no undo");
        return;
    }
    manager->registerUndo(this, [self, undo = std::move(undo)] { undo(*self); });
}

void LBGraphic::invalidate()
{
    if (_document)
        _document->invalidateGraphic(this);
}

void LBGraphic::markChanged()
{
    clearCachedImage();
    didChange();
}

void LBGraphic::postUpdateUtilityWindows()
{
    platform::NotificationCenter::defaultCenter().post(LBUpdateUtilityWindowsForSelection, this);
}

// --- Inspector position and size ---

void LBGraphic::setXPosition(double x)
{
    QRectF rect = bounds();
    const double dx = x - rect.x();
    rect.moveLeft(x);
    setBounds(rect);
    if (_isGrouped)
        setGroupBounds(_groupBounds.translated(dx, 0.0));
}

void LBGraphic::setYPosition(double y)
{
    QRectF rect = bounds();
    const double dy = y - rect.y();
    rect.moveTop(y);
    setBounds(rect);
    if (_isGrouped)
        setGroupBounds(_groupBounds.translated(0.0, dy));
}

void LBGraphic::setWidth(double width)
{
    QRectF rect = bounds();
    rect.setWidth(width);
    setBounds(rect);
}

void LBGraphic::setHeight(double height)
{
    QRectF rect = bounds();
    rect.setHeight(height);
    setBounds(rect);
}

// --- Gradient parameters ---

void LBGraphic::passGradientValues(double centerSize)
{
    if (_gradientFill)
        _gradientFill->setGradientType(fillType(), _gradientCenter, centerSize, _gradientAngle);
}

LBGradientFill& LBGraphic::gradientFillForDrawing()
{
    if (!_gradientFill) {
        _gradientFill = std::make_shared<LBGradientFill>();
        _gradientFill->setGradientType(fillType(), gradientCenter(), gradientCenterSize(),
                                       gradientAngle());
        _gradientFill->setStartColor(fillColor(), fillColor1());
    }
    return *_gradientFill;
}

void LBGraphic::setGradientAngle(double angle)
{
    if (!changeValue(_gradientAngle, angle, &LBGraphic::setGradientAngle))
        return;
    passGradientValues(gradientCenterSize());
    didChange();
}

void LBGraphic::setGradientCenter(double center)
{
    if (!changeValue(_gradientCenter, center, &LBGraphic::setGradientCenter))
        return;
    // The stored centre size, which stays 0 until one has been set.
    passGradientValues(_gradientCenterSize);
    didChange();
}

double LBGraphic::gradientCenterSize() const
{
    return qMax(_gradientCenterSize, 0.01);
}

void LBGraphic::setGradientCenterSize(double size)
{
    size = qMax(size, 0.01);
    if (!changeValue(_gradientCenterSize, size, &LBGraphic::setGradientCenterSize))
        return;
    passGradientValues(_gradientCenterSize);
    didChange();
}

// --- Lock and grouping ---

void LBGraphic::setLocked(bool locked)
{
    if (!changeValue(_locked, locked, &LBGraphic::setLocked))
        return;
}

void LBGraphic::setIsGrouped(bool grouped)
{
    if (!changeValue(_isGrouped, grouped, &LBGraphic::setIsGrouped))
        return;
    if (!grouped) {
        // Leaving the group folds the group's turn into the graphic's own.
        setRotation(_groupRotationDegrees + _rotationDegrees);
        setGroupRotation(0.0);
    }
}

void LBGraphic::setGroupedChildrenCount(qint64 count)
{
    recordValue(_groupedChildrenCount, count, &LBGraphic::setGroupedChildrenCount);
}

void LBGraphic::setGroupBounds(const QRectF& groupBounds)
{
    if (groupBounds == _groupBounds)
        return;
    if (_gFlags.manipulatingBounds) {
        _groupBounds = groupBounds;
        return;
    }
    didChange();
    const QRectF old = _groupBounds;
    registerUndo([old](LBGraphic& g) { g.setGroupBounds(old); });
    _groupBounds = groupBounds;
    didChange();
}

void LBGraphic::setConstrainProportions(bool constrain)
{
    if (!changeValue(_constrainProportions, constrain, &LBGraphic::setConstrainProportions))
        return;
    didChange();
}

// --- Placeholder ---

void LBGraphic::setIsPlaceholder(bool isPlaceholder)
{
    if (!changeValue(_isPlaceholder, isPlaceholder, &LBGraphic::setIsPlaceholder))
        return;
    const QRectF rect = bounds();
    _placeholderSizeRatio = rect.width() / rect.height();
    didChange();
}

void LBGraphic::setDrawPlaceholderText(bool draw)
{
    recordValue(_drawPlaceholderText, draw, &LBGraphic::setDrawPlaceholderText);
}

void LBGraphic::setPlaceholderLabel(const QString& label)
{
    // A null and an empty label differ: null draws the default prompt.
    if (label == _placeholderLabel && label.isNull() == _placeholderLabel.isNull())
        return;
    const QString old = _placeholderLabel;
    registerUndo([old](LBGraphic& g) { g.setPlaceholderLabel(old); });
    _placeholderLabel = label;
    clearCachedImage();
    didChange();
}

void LBGraphic::setPlaceholderLabelPosition(qint64 position)
{
    recordValue(_placeholderLabelPosition, position, &LBGraphic::setPlaceholderLabelPosition);
}

void LBGraphic::setPlaceholderLabelIsVertical(bool vertical)
{
    recordValue(_placeholderLabelIsVertical, vertical, &LBGraphic::setPlaceholderLabelIsVertical);
}

void LBGraphic::setPlaceholderTypeString(const QString& type)
{
    recordValue(_placeholderTypeString, type, &LBGraphic::setPlaceholderTypeString);

    // An empty photo placeholder shows the stock picture until a photo is dropped on it.
    if (_isPlaceholder && type == QLatin1String("Photo") && !imageOfType(FillImageType)) {
        registerUndo([](LBGraphic& g) { g.setImage(nullptr, FillImageType); });
        setImage(namedImage(placeholderPictureName()), FillImageType);
    }
}

void LBGraphic::setHidePlaceholderOutline(bool hide)
{
    recordValue(_hidePlaceholderOutline, hide, &LBGraphic::setHidePlaceholderOutline);
}

void LBGraphic::setPlaceholderColor(const QColor& color)
{
    recordValue(_placeholderColor, color, &LBGraphic::setPlaceholderColor);
}

void LBGraphic::setPlaceholderPatternIndex(qint64 index)
{
    recordValue(_placeholderPatternIndex, index, &LBGraphic::setPlaceholderPatternIndex);
}

void LBGraphic::setPlaceholderImageIndex(qint64 index)
{
    recordValue(_placeholderImageIndex, index, &LBGraphic::setPlaceholderImageIndex);
}

void LBGraphic::setPlaceholderLabelColor(const QColor& color)
{
    recordValue(_placeholderLabelColor, color, &LBGraphic::setPlaceholderLabelColor);
}
