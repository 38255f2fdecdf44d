// Crop mode: a photo is shaped by a crop graphic (a rectangle made for it, or a shape or
// text box of the design) while the user moves and sizes both; finishing hands the photo
// to the crop graphic as its fill image, cancelling takes the crop graphic away again.
// From entering to finishing or cancelling, crop mode keeps one undo group of its own
// open across events, so the whole crop is one step.

#include "canvas/LBGraphicView.h"

#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UndoManager.h"
#include "shapes/LBCurvedLine.h"
#include "shapes/LBImage.h"
#include "shapes/LBLine.h"
#include "shapes/LBRectangle.h"

#include <cmath>

namespace {

constexpr qint64 kImageKinds[] = {LBGraphic::FillImageType, LBGraphic::ObjectMaskType,
                                  LBGraphic::ExternalMaskType};

void copyAdjustments(const LBGraphic& from, LBGraphic& to)
{
    to.setBrightness(from.brightness());
    to.setContrast(from.contrast());
    to.setHue(from.hue());
    to.setSaturation(from.saturation());
    to.setSharpness(from.sharpness());
    to.setExposure(from.exposure());
    to.copyImageEffectsFromGraphic(from);
}

void forceCropTools(bool force, bool showConstrainTools)
{
    if (InspectorPalette* palette = LBProcessState::inspectorPalette())
        palette->forceSelectCropTools(force, showConstrainTools);
}

double positiveDegrees(double degrees)
{
    return degrees < 0.0 ? degrees + 360.0 : degrees;
}

// A crop graphic that shows by itself: a text box, a stroked or a filled graphic.
bool showsOnItsOwn(const LBGraphic& graphic, qint64 fillType)
{
    return graphic.isTextBox() || graphic.drawsStroke() || fillType != 0;
}

} // namespace

LBImage* LBGraphicView::croppingImage() const
{
    return _imageGraphicForCrop.get();
}

void LBGraphicView::setImageGraphicForCrop(const std::shared_ptr<LBImage>& photo,
                                           const LBGraphicPtr& shape, qint64 shapeFillType,
                                           bool usingShapeOrText)
{
    if (platform::UndoManager* undo = undoManager()) {
        undo->registerUndo(this, [view = QPointer<LBGraphicView>(this), p = _imageGraphicForCrop,
                                  s = _shapeGraphicForCrop, f = _origShapeGraphicForCropFillType,
                                  u = _croppingWithShapeOrText] {
            if (view)
                view->setImageGraphicForCrop(p, s, f, u);
        });
    }
    _imageGraphicForCrop = photo;
    _shapeGraphicForCrop = shape;
    _origShapeGraphicForCropFillType = shapeFillType;
    _croppingWithShapeOrText = usingShapeOrText;
}

void LBGraphicView::closeCropUndoGroups()
{
    platform::UndoManager* undo = _cropUndoGroups > 0 ? undoManager() : nullptr;
    for (; _cropUndoGroups > 0; --_cropUndoGroups) {
        if (undo && undo->groupingLevel() > 0)
            undo->endUndoGrouping();
    }
    _postCropGroupedGraphics.reset();
    _recropping = false;
}

// ==== Which command the selection allows ==================================================

qint64 LBGraphicView::cropUncropCommandType() const
{
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (selection.size() != 1 || movieIsSelected())
        return 0;
    const LBGraphic* g = selection.first().get();
    if (g->isImageCrop())
        return 2;
    return dynamic_cast<const LBImage*>(g) ? 1 : 0;
}

qint64 LBGraphicView::cropWithShapeCommandType() const
{
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (selection.size() != 2 || movieIsSelected())
        return 0;
    for (int i = 0; i < 2; ++i) {
        const LBGraphic* photo = selection.at(i).get();
        const LBGraphic* other = selection.at(1 - i).get();
        if (!dynamic_cast<const LBImage*>(photo) || dynamic_cast<const LBImage*>(other))
            continue;
        if (other->isTextBox())
            return 2;
        // A shape carrying text along its outline draws its letters only: a photo cropped
        // into it would not be seen.
        if (other->isShapeWithText())
            continue;
        const auto* curve = dynamic_cast<const LBCurvedLine*>(other);
        if (!dynamic_cast<const LBLine*>(other) || (curve && curve->closedPath()))
            return 1;
    }
    return 0;
}

// ==== Entering ============================================================================

void LBGraphicView::cropUncrop(QObject* sender)
{
    Q_UNUSED(sender);
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (selection.size() != 1)
        return;
    if (selection.first()->isImageCrop())
        uncrop(false);
    else if (dynamic_cast<LBImage*>(selection.first().get()))
        crop();
}

void LBGraphicView::crop()
{
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (selection.isEmpty())
        return;
    const QRectF b = selection.first()->bounds();
    const QSizeF size(b.width() / 1.5, b.height() / 1.5);
    cropWithRect(QRectF(b.center() - QPointF(size.width() / 2.0, size.height() / 2.0), size));
}

void LBGraphicView::cropWithRect(const QRectF& rect)
{
    LBDocument* doc = document();
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    const auto photo =
        selection.isEmpty() ? nullptr : std::dynamic_pointer_cast<LBImage>(selection.first());
    if (!doc || !photo || _imageGraphicForCrop)
        return;
    platform::UndoManager* undo = undoManager();
    undo->endAutomaticGroup();
    undo->beginUndoGrouping();
    ++_cropUndoGroups;

    auto frame = std::make_shared<LBRectangle>();
    setImageGraphicForCrop(photo, frame, 0, false);
    frame->setDocument(doc);
    frame->setDrawsStroke(false);
    frame->setZoomFactor(zoomFactor());
    frame->setBounds(rect);
    setVisiblePageOriginForGraphic(frame.get());
    doc->insertGraphic(frame, std::max<qsizetype>(indexInSelectedLayer(photo.get()), 0),
                       selectedLayerIndex(), _pageIndex);
    platform::NotificationCenter::defaultCenter().post(LBInsertGraphicNotification, frame.get());
    scheduleUpdateLayersView();
    cropImage(photo, frame, false);
}

void LBGraphicView::cropWithShape(QObject* sender)
{
    Q_UNUSED(sender);
    LBDocument* doc = document();
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (!doc || selection.size() != 2 || _imageGraphicForCrop)
        return;
    const bool firstIsPhoto = bool(std::dynamic_pointer_cast<LBImage>(selection.at(0)));
    const auto photo = std::dynamic_pointer_cast<LBImage>(selection.at(firstIsPhoto ? 0 : 1));
    const LBGraphicPtr shape = selection.at(firstIsPhoto ? 1 : 0);
    if (!photo)
        return;
    platform::UndoManager* undo = undoManager();
    undo->endAutomaticGroup();
    undo->beginUndoGrouping();
    ++_cropUndoGroups;

    const QString type = shape->placeholderTypeString();
    if (shape->isPlaceholder() && !type.isEmpty() && type != QLatin1String("Photo")
        && type != QLatin1String("Paper") && type != QLatin1String("Alphabet")) {
        // The photo is fitted to the placeholder, turned a quarter when the shape is
        // elongated the other way.
        photo->setConstrainProportions(false);
        _origPlaceholderImageBounds = photo->bounds();
        const QRectF S = shape->bounds();
        const QRectF I = photo->bounds();
        const bool elongated = S.width() / S.height() > 1.3 || S.height() / S.width() > 1.3;
        const bool otherWay = (S.width() > S.height()) != (I.width() > I.height());
        if (elongated && otherWay) {
            photo->setRotation(shape->rotation() - 90.0);
            const QSizeF turned(S.height(), S.width());
            photo->setBounds(
                QRectF(S.center() - QPointF(turned.width() / 2.0, turned.height() / 2.0), turned));
        } else {
            photo->setBounds(S);
        }
    }
    if (type == QLatin1String("Alphabet"))
        photo->setConstrainProportions(true);
    else if (type == QLatin1String("Paper"))
        photo->setConstrainProportions(false);
    cropImage(photo, shape, true);
}

void LBGraphicView::cropImage(const std::shared_ptr<LBImage>& photo, const LBGraphicPtr& shape,
                              bool usingShapeOrText)
{
    LBDocument* doc = document();
    if (!doc || !photo || !shape)
        return;
    setImageGraphicForCrop(photo, shape, shape->fillType(), usingShapeOrText);
    shape->setFillType(0);
    const qsizetype i = indexInSelectedLayer(photo.get());
    doc->moveGraphic(shape, i > 0 ? i - 1 : 0, selectedLayerIndex(), _pageIndex);
    photo->setTemporaryCropGraphic(shape);
    invalidateGraphic(photo.get());
    selectGraphic(_recropping ? LBGraphicPtr(photo) : shape);
    deselectGraphic(shape);
    forceCropTools(true, !_recropping);
    // Return finishes the crop and Escape cancels it: the keys come to the canvas, also
    // when the focus was elsewhere (the browser the photo was double-clicked in).
    if (isVisible())
        setFocus(Qt::OtherFocusReason);
}

// ==== Adjusting ===========================================================================

void LBGraphicView::zoomCroppedImageToWidth(double width)
{
    if (!_imageGraphicForCrop)
        return;
    const QRectF b = _imageGraphicForCrop->bounds();
    if (b.width() <= 0.0)
        return;
    const QSizeF size(width, b.height() * width / b.width());
    invalidateGraphic(_imageGraphicForCrop.get());
    _imageGraphicForCrop->setBounds(QRectF(b.x() - (size.width() - b.width()) / 2.0,
                                           b.y() - (size.height() - b.height()) / 2.0, size.width(),
                                           size.height()));
    invalidateGraphic(_imageGraphicForCrop.get());
}

void LBGraphicView::rotateCroppedImageByDegrees(double degrees)
{
    if (!_imageGraphicForCrop)
        return;
    invalidateGraphic(_imageGraphicForCrop.get());
    _imageGraphicForCrop->setRotation(std::trunc(degrees));
    invalidateGraphic(_imageGraphicForCrop.get());
}

void LBGraphicView::constrainCropImageProportions(bool constrain)
{
    if (!_imageGraphicForCrop || !_shapeGraphicForCrop)
        return;
    _imageGraphicForCrop->setConstrainProportions(constrain);
    const LBGraphic& shape = *_shapeGraphicForCrop;
    if (constrain && shape.isPlaceholder() && !shape.placeholderTypeString().isEmpty()
        && shape.placeholderTypeString() != QLatin1String("Photo") && !shape.isTextBox())
        _imageGraphicForCrop->setBounds(_origPlaceholderImageBounds);
}

void LBGraphicView::constrainCropProportionsToRatio(double ratio)
{
    if (!_imageGraphicForCrop || !_shapeGraphicForCrop)
        return;
    if (ratio == 0.0) {
        _shapeGraphicForCrop->setConstrainProportions(false);
        return;
    }
    const QRectF b = _imageGraphicForCrop->bounds();
    const double r = b.width() >= b.height() ? ratio : 1.0 / ratio;
    QSizeF size(b.width(), b.width() / r);
    if (size.height() > b.height())
        size = QSizeF(r * b.height(), b.height());
    invalidateGraphic(_shapeGraphicForCrop.get());
    _shapeGraphicForCrop->setBounds(QRectF(b.x() + (b.width() - size.width()) / 2.0,
                                           b.y() + (b.height() - size.height()) / 2.0, size.width(),
                                           size.height()));
    _shapeGraphicForCrop->setConstrainProportions(true);
    invalidateGraphic(_shapeGraphicForCrop.get());
}

void LBGraphicView::tileCroppedImage(bool tile)
{
    _tileCroppedImage = tile;
    if (!tile || !_imageGraphicForCrop || !_shapeGraphicForCrop)
        return;
    const QRectF photo = _imageGraphicForCrop->bounds();
    const QRectF shape = _shapeGraphicForCrop->bounds();
    if (photo.width() > shape.width() && photo.height() > shape.height()) {
        invalidateGraphic(_shapeGraphicForCrop.get());
        _shapeGraphicForCrop->setBounds(photo);
        invalidateGraphic(_shapeGraphicForCrop.get());
    }
}

void LBGraphicView::maskImage(QObject* sender)
{
    Q_UNUSED(sender);
    if (InspectorPalette* palette = LBProcessState::inspectorPalette()) {
        palette->forceSelectMaskTools(true);
        palette->updateFromGraphicView(this);
    }
}

// ==== Leaving =============================================================================

void LBGraphicView::finishCroppingImage()
{
    const std::shared_ptr<LBImage> P = _imageGraphicForCrop;
    const LBGraphicPtr K = _shapeGraphicForCrop;
    platform::UndoManager* undo = undoManager();
    if (!P || !K || !undo)
        return;

    K->setCropImageBounds(P->bounds(), K->bounds());
    copyAdjustments(*P, *K);
    for (const qint64 kind : kImageKinds) {
        const QString path = P->imageFilePathOfType(kind);
        if (!path.isEmpty())
            K->setImageFilePath(path, true, false, kind);
        else if (const LBGraphic::ImagePtr image = P->imageOfType(kind);
                 image || kind == LBGraphic::FillImageType)
            K->setImage(image, kind);
    }
    K->setFillImageScaling(_tileCroppedImage ? LBGraphic::FillImageTiled
                                             : LBGraphic::FillImageAsCropped);
    _tileCroppedImage = false;
    K->setConstrainProportions(P->constrainProportions());
    K->setFillImageTransparency(P->graphicAlpha());
    K->setFillImageRotation(positiveDegrees(P->rotation()), P->flippedHorizontally(),
                            P->flippedVertically());
    K->setOrigShapeRotation(positiveDegrees(K->rotation()), K->flippedHorizontally(),
                            K->flippedVertically());
    K->setFillType(_origShapeGraphicForCropFillType);

    bool hideOutline = false;
    if (P->isPlaceholder()) {
        K->setIsPlaceholder(true);
        if (P->drawsPlaceholderText())
            K->setDrawPlaceholderText(true);
        K->setPlaceholderSizeRatio(P->placeholderSizeRatio());
        K->setPlaceholderColor(P->placeholderColor());
        K->setPlaceholderPatternIndex(P->placeholderPatternIndex());
        K->setPlaceholderImageIndex(P->placeholderImageIndex());
        K->setPlaceholderLabelColor(P->placeholderLabelColor());
        hideOutline = P->hidePlaceholderOutline();
    }

    P->setDownsampleFillImage(false);
    P->setTemporaryCropGraphic(nullptr);
    removeGraphicFromPage(P);

    setImageGraphicForCrop(nullptr, nullptr, 0, false);
    forceCropTools(false, false);
    deselectGraphic(K);
    selectGraphic(K);
    if (hideOutline)
        K->setDrawsStroke(false);
    K->refreshGraphic(true);

    setUndoActionName(QStringLiteral("Crop"));
    if (_cropUndoGroups > 0) {
        undo->endUndoGrouping();
        --_cropUndoGroups;
    }
    _recropping = false;

    if (_postCropGroupedGraphics) {
        // A grouped shape filled from a drop was taken out of its group for the crop.
        const QList<LBGraphicPtr> members = *std::exchange(_postCropGroupedGraphics, {});
        for (const LBGraphicPtr& member : members)
            selectGraphic(member);
        group(nullptr);
        setUndoActionName(QStringLiteral("Crop"));
        if (_cropUndoGroups > 0) {
            undo->endUndoGrouping();
            --_cropUndoGroups;
        }
    }
    if (_graphicsToRegroup) {
        const QList<LBGraphicPtr> pending = *_graphicsToRegroup;
        regroupGraphics(pending);
    }
}

void LBGraphicView::cancelCrop()
{
    const std::shared_ptr<LBImage> P = _imageGraphicForCrop;
    const LBGraphicPtr K = _shapeGraphicForCrop;
    platform::UndoManager* undo = undoManager();
    if (!P || !K || !undo)
        return;
    if (_recropping) {
        // Everything since the re-crop began goes back: the uncrop and this crop.
        const int depth = _recropUndoDepth;
        finishCroppingImage();
        closeCropUndoGroups();
        undo->endAutomaticGroup();
        while (undo->undoCount() > depth && undo->canUndo())
            undo->undo();
        return;
    }

    forceCropTools(false, false);
    if (_croppingWithShapeOrText && showsOnItsOwn(*K, _origShapeGraphicForCropFillType)) {
        K->setFillType(_origShapeGraphicForCropFillType);
        selectGraphic(K);
    } else {
        removeGraphicFromPage(K);
    }
    P->setTemporaryCropGraphic(nullptr);
    invalidateGraphic(P.get());
    selectGraphic(P);
    setImageGraphicForCrop(nullptr, nullptr, 0, false);
    closeCropUndoGroups();
    _tileCroppedImage = false;
}

// ==== Uncropping and re-cropping ==========================================================

void LBGraphicView::uncrop(bool keepCropGraphic)
{
    LBDocument* doc = document();
    platform::UndoManager* undo = undoManager();
    const QList<LBGraphicPtr> selection = selectedGraphics(false);
    if (!doc || !undo || selection.isEmpty() || !selection.first()->isImageCrop())
        return;
    const LBGraphicPtr G = selection.first();
    undo->endAutomaticGroup();
    undo->beginUndoGrouping();

    auto N = std::make_shared<LBImage>();
    N->setDocument(doc);
    QRectF I0, S0;
    G->getCropImageBounds(&I0, &S0);
    const QRectF B = G->bounds();
    const QRectF rect(B.topLeft() - (S0.topLeft() - I0.topLeft()), I0.size());

    const QString fillPath = doc->imageFilePathForGraphic(*G);
    if (!fillPath.isEmpty()) {
        N->setImageFilePath(fillPath, true, false, LBGraphic::FillImageType);
        G->setImageFilePath(QString(), false, false, LBGraphic::FillImageType);
    } else {
        N->setImage(G->imageOfType(LBGraphic::FillImageType), LBGraphic::FillImageType);
    }
    for (const qint64 kind : {LBGraphic::ObjectMaskType, LBGraphic::ExternalMaskType}) {
        const QString path = G->imageFilePathOfType(kind);
        if (!path.isEmpty()) {
            N->setImageFilePath(path, true, false, kind);
            G->setImageFilePath(QString(), false, false, kind);
        } else if (const LBGraphic::ImagePtr image = G->imageOfType(kind)) {
            N->setImage(image, kind);
        }
    }
    copyAdjustments(*G, *N);
    G->setImage(nullptr, LBGraphic::FillImageType);

    double r = 0.0, s = 0.0;
    bool fh = false, fv = false, sh = false, sv = false;
    G->getFillImageRotation(&r, &fh, &fv);
    G->getOrigShapeRotation(&s, &sh, &sv);
    N->setRotation(G->rotation() + r - s);
    N->setFlippedHorizontally(fh != (G->flippedHorizontally() != sh));
    N->setFlippedVertically(fv != (G->flippedVertically() != sv));
    N->setGraphicAlpha(G->fillImageTransparency());

    if (G->isPlaceholder()) {
        N->setIsPlaceholder(true);
        if (G->drawsPlaceholderText())
            N->setDrawPlaceholderText(true);
        N->setPlaceholderSizeRatio(G->placeholderSizeRatio());
        N->setHidePlaceholderOutline(G->hidePlaceholderOutline());
        N->setPlaceholderColor(G->placeholderColor());
        N->setPlaceholderPatternIndex(G->placeholderPatternIndex());
        N->setPlaceholderImageIndex(G->placeholderImageIndex());
        N->setPlaceholderLabelColor(G->placeholderLabelColor());
    }

    // Directly behind the crop graphic, or in its place when it would show nothing.
    qsizetype index = indexInSelectedLayer(G.get()) + 1;
    if (!keepCropGraphic && !showsOnItsOwn(*G, G->fillType())) {
        index -= 1;
        removeGraphicFromPage(G);
    }
    N->setBounds(rect);
    N->setZoomFactor(zoomFactor());
    setVisiblePageOriginForGraphic(N.get());
    doc->insertGraphic(N, std::max<qsizetype>(index, 0), selectedLayerIndex(), _pageIndex);
    platform::NotificationCenter::defaultCenter().post(LBInsertGraphicNotification, N.get());
    scheduleUpdateLayersView();
    selectGraphic(N);

    setUndoActionName(QStringLiteral("Uncrop"));
    undo->endUndoGrouping();
}

void LBGraphicView::recrop()
{
    platform::UndoManager* undo = undoManager();
    if (_imageGraphicForCrop || !undo || cropUncropCommandType() != 2)
        return;
    undo->endAutomaticGroup();
    _recropUndoDepth = undo->undoCount();
    _recropping = true;
    uncrop(true);
    cropWithShape(nullptr);
    if (!_imageGraphicForCrop)
        _recropping = false;
}
