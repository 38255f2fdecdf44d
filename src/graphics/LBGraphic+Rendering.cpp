// Rendering a graphic into a picture at another scale: at the image or print resolution
// (for print images and reflections), at a given scale for drag images, and the
// reflection made from the former.
//
// A rendering at print resolution draws a copy of the graphic, scaled up, so the graphic
// itself never changes: nothing is recorded for undo, its text keeps its exact sizes and
// kerning, and its processed pictures are rebuilt only in the copy, at the new size.

#include "graphics/LBGraphic.h"

#include "graphics/LBProcessState.h"
#include "graphics/LBTextArea.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/text/TextStorage.h"

#include <QDebug>
#include <QLinearGradient>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Pixels a point of a rendering at the user's image resolution, or at the print
// resolution while a print job runs ("Image Quality" and "Print Quality", dots per inch).
double renderingQuality()
{
    const bool printing = LBProcessState::isPrintJobRunning();
    const qint64 dpi = printing ? LBProcessState::printResolution()
                                : platform::UserDefaults::standardUserDefaults().integerForKey(
                                    QStringLiteral("Image Quality"));
    if (dpi <= 0) {
        qWarning().noquote() << QStringLiteral("\"%1\" is not a resolution; rendering at 72 dpi")
                                    .arg(printing ? QStringLiteral("Print Quality")
                                                  : QStringLiteral("Image Quality"));
        return 1.0;
    }
    return double(dpi) / 72.0;
}

// Keeps the drag-out flag cleared for its lifetime, so pictures can be built meanwhile.
class NotDraggingOut
{
public:
    NotDraggingOut() : _was(LBProcessState::isDraggingOut())
    {
        LBProcessState::setDraggingOut(false);
    }
    ~NotDraggingOut() { LBProcessState::setDraggingOut(_was); }
    NotDraggingOut(const NotDraggingOut&) = delete;
    NotDraggingOut& operator=(const NotDraggingOut&) = delete;

private:
    bool _was;
};

// The graphic drawn into a picture of `size` points from (0, 0), one pixel a point;
// upright when `upright`, else stored upwards as the platform makes pictures.
LBGraphic::ImagePtr drawnPicture(LBGraphic& graphic, const QSizeF& size, bool upright)
{
    platform::OffscreenContext offscreen(platform::OffscreenContext::pixelsFor(size, 1.0), 1.0);
    if (!offscreen.isActive())
        return nullptr;
    if (!upright)
        offscreen.drawUpwards();
    graphic.drawInView(nullptr, false);
    const LBGraphic::ImagePtr picture = platform::Image::fromBitmap(offscreen.image(), size);
    if (picture)
        picture->setDataRetained(true);
    return picture;
}

// The shadow's height and radius times `factor`, in whole points; the other values stay.
void scaleShadow(LBGraphic& graphic, double factor)
{
    qint64 height = 0, radius = 0, azimuth = 0;
    double alpha = 0.0;
    const qint64 type = graphic.shadowInfo(&height, &radius, &azimuth, &alpha, nullptr);
    graphic.setShadowInfo(type, qint64(std::trunc(double(height) * factor)),
                          qint64(std::trunc(double(radius) * factor)), azimuth, alpha, QColor());
}

} // namespace

std::shared_ptr<LBGraphic> LBGraphic::renderingCopy() const
{
    const std::shared_ptr<LBGraphic> copy = this->copy();
    // The pictures as they are here, also those read from files, which copy() leaves to
    // its caller, and without masking them again.
    copy->_image = _image;
    copy->_origImage = _origImage;
    copy->_objectMask = _objectMask;
    copy->_externalMask = _externalMask;
    copy->_imageFilePath = _imageFilePath;
    copy->_objectMaskFilePath = _objectMaskFilePath;
    copy->_externalMaskFilePath = _externalMaskFilePath;
    copy->_placeholderImage = _placeholderImage;
    copy->_origCropImageBounds = _origCropImageBounds;
    copy->_origCropGraphicBounds = _origCropGraphicBounds;
    copy->_reflectionImage = _reflectionImage;
    return copy;
}

LBGraphic::ImagePtr LBGraphic::hiResImageFromGraphic(const LBGraphic& graphic, bool flipImage)
{
    return hiResImage(graphic, flipImage, true);
}

LBGraphic::ImagePtr LBGraphic::hiResImage(const LBGraphic& graphic, bool flipImage,
                                          bool withReflection)
{
    // The copy builds its pictures even while graphics are dragged out of the canvas: the
    // pictures the drag shows are the graphic's own, which stay as they are.
    const NotDraggingOut caching;
    const std::shared_ptr<LBGraphic> g = graphic.renderingCopy();
    // What the copy's own setters announce is no change of the graphic.
    g->_loadingReflection = true;
    if (!withReflection)
        g->_reflectionEnabled = false;
    g->setZoomFactor(1.0);

    const double s = graphic.hiResImageScale(renderingQuality());
    const QRectF b = g->bounds();
    g->setBoundsNoOtherChanges(QRectF(b.topLeft(), b.size() * s));

    double lineWidth = 1.0;
    if (g->drawsStroke()) {
        lineWidth = g->strokeLineWidth();
        g->setStrokeLineWidth(lineWidth * s);
    }
    // Arrow heads grow as much as a head on a line of the scaled width would.
    const double k = (lineWidth + 6.0) * s / (s * lineWidth + 6.0);
    g->setArrowSizesForRendering(g->arrow1Size() * k, g->arrow2Size() * k);
    scaleShadow(*g, s);

    if (g->isTextBox() || g->isShapeWithText()) {
        auto* text = dynamic_cast<LBTextArea*>(g.get());
        if (text && text->contents()) {
            platform::TextStorage& storage = *text->contents();
            storage.beginEditing();
            LBTextArea::adjustFontSizeInString(storage, s);
            LBTextArea::adjustKerningInString(storage, s, true);
            storage.endEditing();
        }
    }

    g->_loadingReflection = false;
    const QRectF d = g->shadowDrawingBoundsWithHandles(false);
    g->setBoundsNoOtherChanges(g->bounds().translated(-d.topLeft()));
    return drawnPicture(*g, d.size(), flipImage);
}

LBGraphic::ImagePtr LBGraphic::copyToImageWithScale(double scale, double alphaScaleFactor,
                                                    bool flipVertically, bool isTextBox)
{
    const NotDraggingOut caching;
    const QRectF b = bounds();
    const QRectF d = shadowDrawingBoundsWithHandles(true);
    setBoundsNoOtherChanges(QRectF((d.width() - b.width()) / 2.0 * scale,
                                   (d.height() - b.height()) / 2.0 * scale, b.width() * scale,
                                   b.height() * scale));
    if (drawsStroke())
        setStrokeLineWidth(strokeLineWidth() * scale);
    scaleOtherSettingsByFactor(scale);
    scaleShadow(*this, scale);
    if (alphaScaleFactor != 1.0) {
        setGraphicAlpha(graphicAlpha() * alphaScaleFactor);
        setFillImageTransparency(fillImageTransparency() * alphaScaleFactor);
    }
    if (flipVertically) {
        this->flipVertically();
        _rotationDegrees = -_rotationDegrees;
        _groupRotationDegrees = -_groupRotationDegrees;
    }
    return drawnPicture(*this, d.size() * scale, isTextBox);
}

LBGraphic::ImagePtr LBGraphic::reflectionWithTransparency(double transparency, double height,
                                                          bool inverted)
{
    // The graphic upright at the image resolution, without a reflection of its own.
    const ImagePtr picture = hiResImage(*this, true, false);
    if (!picture)
        return nullptr;
    const int w = int(std::trunc(picture->size().width()));
    const int h = int(std::trunc(picture->size().height()));
    const int rows = int(std::trunc(height * h));
    if (w <= 0 || rows <= 0)
        return nullptr;

    QImage bitmap(w, rows, QImage::Format_ARGB32_Premultiplied);
    if (bitmap.isNull())
        return nullptr;
    bitmap.fill(Qt::transparent);
    QPainter painter(&bitmap);
    // The opacity runs from `transparency` at the bottom row to nothing at the top
    // (inverted), or the other way; the picture keeps only that opacity.
    QLinearGradient ramp(0.0, inverted ? rows : 0.0, 0.0, inverted ? 0.0 : rows);
    QColor start(Qt::white);
    start.setAlphaF(std::clamp(transparency, 0.0, 1.0));
    ramp.setColorAt(0.0, start);
    ramp.setColorAt(1.0, Qt::transparent);
    painter.fillRect(QRect(0, 0, w, rows), ramp);
    // The bottom rows of the picture: the part that meets the reflection.
    painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    painter.drawImage(QRectF(0, rows - h, w, h), picture->bitmap());
    painter.end();
    return platform::Image::fromBitmap(bitmap, QSizeF(w, rows));
}
