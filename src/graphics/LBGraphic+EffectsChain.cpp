// The effects chain: a graphic's picture rasterised, scaled to the size it is drawn at, run
// through the adjustments and the effects list, laid over its background colour and under
// its tint, fitted to its frame of W × H pixels and cached.
//
// The filters work in y-down pixels (platform/imaging). The figures the effects store are
// measured upwards from the picture's bottom edge, and so is where the perspective effect
// moves the picture: they all become y-down pixels through the chain's one frame (a
// YUpFrame as high as the working picture), nowhere else.

#include "graphics/LBGraphic.h"

#include "graphics/EffectEntry.h"
#include "graphics/ImageFilterSteps.h"
#include "graphics/LBProcessState.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"
#include "platform/imaging/FilterImage.h"
#include "platform/imaging/ImageFilter.h"

#include <QColor>
#include <QPainter>
#include <QTransform>
#include <QVariant>

#include <algorithm>
#include <array>
#include <cmath>

using platform::FilterImage;
using platform::ImageFilter;
using platform::YUpFrame;
using namespace filtersteps;

namespace {

// The picture laid over the background.
FilterImage over(const FilterImage& picture, const FilterImage& background)
{
    return apply(
        QStringLiteral("CISourceOverCompositing"),
        {{kInputImage, imageValue(picture)}, {kInputBackgroundImage, imageValue(background)}});
}

// The picture as pixels: a bitmap at its full pixel size; a vector picture (or one with
// nothing to draw) drawn into an image of `drawnSize` points, one pixel a point.
FilterImage rasterised(const platform::Image& image, const QSizeF& drawnSize)
{
    if (image.representationKind() == platform::Image::RepresentationKind::Bitmap
        && !image.bitmap().isNull())
        return FilterImage(image.bitmap());
    if (drawnSize.isEmpty())
        return {};
    platform::OffscreenContext offscreen(platform::OffscreenContext::pixelsFor(drawnSize, 1.0),
                                         1.0);
    if (!offscreen.isActive())
        return {};
    image.drawInRect(QRectF(QPointF(0, 0), drawnSize));
    return FilterImage(offscreen.image());
}

} // namespace

// --- The chain's working state and steps ---

struct LBGraphic::EffectsChain
{
    explicit EffectsChain(LBGraphic& graphic) : g(graphic) {}

    LBGraphic& g;
    FilterImage working;
    int W = 0; // the working picture's frame after scaling, in pixels
    int H = 0;
    QRectF visible; // the part the outline shows: (X0, Y0, W', H'), y measured up
    bool clipAtEnd = false;
    QColor background; // laid under the picture when valid (edge work)
    bool blackBackground = false;
    QColor tint; // laid atop the picture when valid (colour effect)
    double tintOpacity = 0.0;

    double M() const { return std::max(W, H); }
    double m() const { return std::min(W, H); }
    YUpFrame frame() const { return YUpFrame(H); }
    QRectF frameRect() const { return frame().rect(QRectF(0, 0, W, H)); }
    // The middle of the frame in integer halves.
    QPointF centre() const { return frame().point(QPointF(W / 2, H / 2)); }
    // A stored location (fractions, y up) within the part the outline shows.
    QPointF located(const QPointF& fraction) const
    {
        return frame().point(QPointF(fraction.x() * visible.width() + visible.x(),
                                     fraction.y() * visible.height() + visible.y()));
    }

    void adjust();
    void applyEffect(qint64 index);
    void setKindInputs(ImageFilter& filter, qint64 kind, const QVariantMap& entry) const;
    void applyPerspective(ImageFilter& filter, const QVariantMap& entry);
    void applyMaskEffect(ImageFilter& filter, qint64 kind, const QVariantMap& entry);
    // The picture cut to the frame; null when that fails.
    FilterImage cropped(const FilterImage& picture) const
    {
        return apply(QStringLiteral("CICrop"),
                     {{kInputImage, imageValue(picture)}, {kInputRectangle, frameRect()}});
    }
    // The colour over the whole frame; null when it cannot be made.
    FilterImage colourFrame(const QColor& colour) const;
    void layBackgroundAndTint();
    void fit();
};

void LBGraphic::EffectsChain::adjust()
{
    const auto step = [this](const FilterPtr& filter) {
        if (!filter)
            return;
        filter->setValue(imageValue(working), kInputImage);
        working = orInput(filtersteps::run(*filter), working);
    };
    step(g._colorControlsFilter);
    step(g._hueFilter);
    if (g._sharpnessFilter) {
        g._sharpnessFilter->setValue(M() * g._sharpness / 5000.0, kInputRadius);
        step(g._sharpnessFilter);
    }
    if (g._blurFilter) {
        g._blurFilter->setValue(M() * g._sharpness / -5000.0, kInputRadius);
        step(g._blurFilter);
        clipAtEnd = true;
    }
    step(g._exposureFilter);
}

void LBGraphic::EffectsChain::applyEffect(qint64 index)
{
    const QVariantMap& entry = g._effects.at(index);
    const qint64 kind = effectentry::kind(entry);
    if (kind == 3) {
        // The colour effect tints the finished picture; the last one counts.
        tintOpacity = double(effectentry::modifier(entry, 0));
        tint = effectentry::color(entry);
        return;
    }
    const EffectFilterArray& filters = g._effectFilters.at(index);
    if (filters.isEmpty() || !filters.first())
        return; // an effect without processing of its own
    ImageFilter& filter = *filters.first();

    switch (kind) {
    case 7:
        background = effectentry::color(entry);
        clipAtEnd = true;
        break;
    case 33:
        blackBackground = true;
        clipAtEnd = true;
        break;
    case 12:
    case 17:
    case 19:
    case 22:
    case 24:
    case 32:
    case 34:
    case 35: clipAtEnd = true; break;
    default: break;
    }
    if (kind == 32) {
        applyPerspective(filter, entry);
        return;
    }
    if (kind >= 33 && kind <= 35) {
        applyMaskEffect(filter, kind, entry);
        return;
    }
    const bool generator = kind == 29 || kind == 30;
    if (!generator)
        filter.setValue(imageValue(working), kInputImage);
    setKindInputs(filter, kind, entry);
    if (!generator) {
        working = orInput(run(filter), working);
        return;
    }
    // What a generator makes lies over the picture.
    const FilterImage generated = run(filter);
    if (!generated.isNull())
        working = orInput(over(generated, working), working);
}

void LBGraphic::EffectsChain::setKindInputs(ImageFilter& filter, qint64 kind,
                                            const QVariantMap& entry) const
{
    const double m0 = double(effectentry::modifier(entry, 0));
    const double m1 = double(effectentry::modifier(entry, 1));
    const double m2 = double(effectentry::modifier(entry, 2));
    const double m3 = double(effectentry::modifier(entry, 3));
    const double m4 = double(effectentry::modifier(entry, 4));
    const qint64 wholeM = std::max(W, H);
    const QPointF location0 = located(effectentry::location(entry, 0));
    const QColor colour = effectentry::color(entry);
    const auto set = [&filter](const char* key, const QVariant& value) {
        filter.setValue(value, QString::fromLatin1(key));
    };
    // Angles turning counter-clockwise on the page, as the figures measure them.
    const auto setAngle = [&filter](double radians) {
        filter.setValue(YUpFrame::angle(radians), kInputAngle);
    };
    const auto setCentre = [&filter](const QPointF& point) {
        filter.setValue(point, kInputCenter);
    };
    // Whole numbers are passed as integers.
    const auto whole = [](double v) { return QVariant(qint64(std::trunc(v))); };

    switch (kind) {
    case 2: set("inputIntensity", m0 / 100.0); break;
    case 4: set("inputLevels", m0 / -100.0 * 30.0 + 30.0); break;
    case 5:
        set("inputRadius", m0 / 100.0 * m() / 2.2);
        setCentre(location0);
        break;
    case 6:
    case 18:
        setCentre(centre());
        set("inputRadius", whole(m0 / 100.0 * M() / 10.0 + 1.0));
        break;
    case 7: set("inputRadius", m0 / 100.0 * M() / 100.0); break;
    case 8:
        set("inputRadius", m0 / 100.0 * M() * 0.5);
        set("inputScale", m1 / 5.0 - 10.0);
        setCentre(location0);
        break;
    case 9:
        set("inputWidth", QVariant(effectentry::modifier(entry, 0) * wholeM / 2000 + 2));
        set("inputSharpness", m1 / 100.0);
        setAngle(m2 / 100.0);
        break;
    case 10:
        set("inputNoiseLevel", 1.0);
        set("inputSharpness", 0.0);
        break;
    case 11:
        set("inputRadius", m0 / 100.0 * M() / 10.0);
        setAngle(m1 / 100.0 * 3.14);
        break;
    case 12:
        set("inputAmount", m0 / 5.0);
        setCentre(location0);
        break;
    case 13: // the centre keeps the filter's own
        set("inputRadius", std::min(600.0, 2.0 * m0 / 100.0 * m()));
        setAngle(2.0 * m1 / 100.0 * 3.14 - 3.14);
        break;
    case 14:
        set("inputRadius", (m0 < 2.0 ? 1.0 : m0) / 100.0 * M());
        setCentre(location0);
        break;
    case 15:
        set("inputRadius", (100.0 - m0) / 100.0 * M());
        set("inputScale", m1 / 100.0);
        setCentre(location0);
        break;
    case 16:
        set("inputRadius", m0 / 100.0 * M() * 0.5);
        setAngle(m1 / 100.0 * 25.14 - 12.57);
        setCentre(location0);
        break;
    case 17:
        set("inputRadius", m0 / 100.0 * M() * 0.5);
        setAngle((m1 / 100.0 * 188.5 - 94.25) * M() / 100.0);
        setCentre(location0);
        break;
    case 19:
        setCentre(centre());
        set("inputScale", whole(m0 / 100.0 * M() / 10.0 + 1.0));
        break;
    case 20:
    case 21:
        set("inputRadius", m0 / 700.0 * M());
        set("inputIntensity", m1 / 100.0);
        break;
    case 22: set("inputIntensity", m0); break;
    case 24: set("inputRadius", std::min(100.0, m0 / 5000.0 * M())); break;
    case 25:
        set("inputWidth", std::max(1.0, m0 * 5.0 * M() / 1000.0));
        setAngle(2.0 * m1 / 100.0 * 3.14 - 3.14);
        set("inputScale", std::max(0.1, m2 / 10.0));
        setCentre(centre());
        break;
    case 26:
        set("inputCount", std::max(1.0, m0 / 100.0 * 64.0));
        setAngle(2.0 * m1 / 100.0 * 3.14 - 3.14);
        setCentre(location0);
        break;
    case 27:
        set("inputWidth", std::max(1.0, 2.0 * m0 * M() / 400.0));
        setAngle(2.0 * m1 / 100.0 * 3.14 - 3.14);
        setCentre(location0);
        break;
    case 28:
        set("inputWidth", QVariant(effectentry::modifier(entry, 0) * wholeM / 2000 + 2));
        set("inputSharpness", m1 / 100.0);
        setCentre(location0);
        break;
    case 29:
        set("inputRadius", m0 / 100.0 * M() / 10.0);
        set("inputCrossScale", m1);
        filter.setValue(YUpFrame::angle(m2 / 200.0 * 3.14), QStringLiteral("inputCrossAngle"));
        set("inputCrossOpacity", m3 / 100.0 * 8.0 - 8.0);
        set("inputCrossWidth", m4 / 100.0 * 9.5 + 0.5);
        setCentre(location0);
        if (colour.isValid())
            filter.setValue(colour, kInputColor);
        break;
    case 30:
        set("inputHaloRadius", m0 / 100.0 * M() * 0.5);
        set("inputHaloWidth", m1 / 100.0 * M() * 0.5);
        set("inputHaloOverlap", m2 / 100.0);
        set("inputStriationStrength", m3 / 100.0 * 3.0);
        set("inputStriationContrast", m4 / 100.0 * 5.0);
        setCentre(location0);
        if (colour.isValid())
            filter.setValue(colour, kInputColor);
        break;
    case 31:
        if (colour.isValid())
            filter.setValue(colour, kInputColor);
        break;
    default: break; // kind 1 takes the filter's defaults
    }
}

void LBGraphic::EffectsChain::applyPerspective(ImageFilter& filter, const QVariantMap& entry)
{
    // The corners over the whole picture (not only the part the outline shows), y up.
    std::array<QPointF, 4> corner;
    for (int i = 0; i < 4; ++i) {
        const QPointF l = effectentry::location(entry, i);
        corner[std::size_t(i)] = QPointF(l.x() * W, l.y() * H);
    }
    const auto& [p0, p1, p2, p3] = corner;
    filter.setValue(imageValue(working), kInputImage);
    filter.setValue(frame().point(p0), QStringLiteral("inputTopLeft"));
    filter.setValue(frame().point(p1), QStringLiteral("inputTopRight"));
    filter.setValue(frame().point(p2), QStringLiteral("inputBottomLeft"));
    filter.setValue(frame().point(p3), QStringLiteral("inputBottomRight"));
    const FilterImage turned = run(filter);
    if (turned.isNull())
        return;

    // Rescaled so the picture spans exactly the corners' extent (the filter's extent is
    // that rounded outwards to whole pixels).
    const QRect e = turned.extent();
    const double sx = std::max(p3.x(), p1.x()) - std::min(p0.x(), p2.x());
    const double sy = std::max(p1.y(), p0.y()) - std::min(p2.y(), p3.y());
    const double scale = sy / e.height();
    FilterImage fitted =
        orInput(filtersteps::scaled(turned, scale, (sx / e.width()) / scale), turned);

    // Where the picture now starts is kept for drawing it there; it is moved back to the
    // frame's corner.
    const QPointF offset = frame().rect(QRectF(fitted.extent())).topLeft();
    g._perspectiveDrawingOffset = offset;
    if (!offset.isNull())
        fitted = orInput(transformed(fitted, frame().transform(QTransform::fromTranslate(
                                                 -offset.x(), -offset.y()))),
                         fitted);
    working = fitted;
}

void LBGraphic::EffectsChain::applyMaskEffect(ImageFilter& filter, qint64 kind,
                                              const QVariantMap& entry)
{
    const double m0 = double(effectentry::modifier(entry, 0));
    const double m1 = double(effectentry::modifier(entry, 1));
    const bool hasMaskImage = !g._maskImage.isNull();
    qint64 shape = effectentry::modifier(entry, 5);
    if (!hasMaskImage && shape > 7)
        shape = 0;
    const qint64 quarterTurns = effectentry::modifier(entry, 3);
    const bool reversed = effectentry::modifier(entry, 2) == 1;
    const double blur = kind == 35 ? 100.0 : m1;

    // The mask's size: a fraction (10 % to 100 %) of the shape's reference size.
    const double fraction = (0.9 * m0 + 10.0) / 100.0;
    const double w = visible.width();
    const double h = visible.height();
    const double shorter = std::min(w, h);
    QSizeF size(w, h);
    switch (shape) {
    case 0: size = QSizeF(4.0 / 3.0 * w, 4.0 / 3.0 * h); break;
    case 2: size = QSizeF(4.0 / 3.0 * shorter, 4.0 / 3.0 * shorter); break;
    case 3: size = QSizeF(shorter, shorter); break;
    default: break;
    }
    if ((shape == 0 || shape == 1) && (quarterTurns & ~qint64(2)) != 0)
        size.transpose();
    size *= fraction;

    // Centred in the part shown, moved by the stored location; y up.
    QRectF rect(QPointF((w - size.width()) / 2.0, (h - size.height()) / 2.0), size);
    const double displayScale = LBProcessState::displayScaleFactor();
    if (displayScale > 1.0 && !hasMaskImage)
        rect.setSize(rect.size() / displayScale);
    if (g.isImageCrop())
        rect.translate(visible.x(), visible.y());
    const QPointF location0 = effectentry::location(entry, 0);
    rect.translate(-(W / 2 - location0.x() * W), -(H / 2 - location0.y() * H));

    const FilterImage mask =
        g.imageForMaskEffectOfSize(QSize(W, H), rect, blur, reversed, quarterTurns, shape);
    const FilterImage before = working;
    filter.setValue(imageValue(working), kInputImage);
    // Outside the mask the picture is transparent over the whole frame. A picture that
    // covers the frame already (as a photo does) needs no transparent frame under it: the
    // blend is the same without one.
    if (working.isInfinite() || !working.extent().contains(QRect(0, 0, W, H))) {
        QImage clear(W, H, QImage::Format_ARGB32_Premultiplied);
        clear.fill(Qt::transparent);
        filter.setValue(imageValue(FilterImage(clear)), kInputBackgroundImage);
    }
    filter.setValue(imageValue(mask), kInputMaskImage);
    working = orInput(run(filter), working);

    if (kind == 35) {
        // The masked picture over a blurred copy of the picture as it was.
        const FilterImage soft =
            orInput(blurred(before, std::min(100.0, m1 / 8000.0 * M())), before);
        working = orInput(over(working, soft), working);
    }
}

FilterImage LBGraphic::EffectsChain::colourFrame(const QColor& colour) const
{
    const FilterImage everywhere =
        apply(QStringLiteral("CIConstantColorGenerator"), {{kInputColor, colour}});
    if (everywhere.isNull())
        return {};
    return cropped(everywhere);
}

void LBGraphic::EffectsChain::layBackgroundAndTint()
{
    if (W == 0 || H == 0)
        return;
    if (blackBackground || background.isValid()) {
        const FilterImage under = colourFrame(blackBackground ? QColor(Qt::black) : background);
        if (!under.isNull())
            working = orInput(over(working, under), working);
    }
    if (tint.isValid()) {
        // Only where the picture is opaque.
        const QColor colour = QColor::fromRgbF(tint.redF(), tint.greenF(), tint.blueF(),
                                               std::clamp(tintOpacity / 100.0, 0.0, 1.0));
        const FilterImage atop = colourFrame(colour);
        if (!atop.isNull())
            working = orInput(apply(QStringLiteral("CISourceAtopCompositing"),
                                    {{kInputImage, imageValue(atop)},
                                     {kInputBackgroundImage, imageValue(working)}}),
                              working);
    }
}

void LBGraphic::EffectsChain::fit()
{
    if (clipAtEnd || working.isInfinite())
        working = orInput(cropped(working), working);
    else
        working = scaleImage(working, W, H);
}

// --- The chain ---

void LBGraphic::applyEffectsToImage(const ImagePtr& image, bool isCroppedImage,
                                    const QSizeF& finalImageSize, bool aboutToPrint)
{
    _cachedImage = image;
    if (!image)
        return;
    const bool printing = aboutToPrint || LBProcessState::isPrinting();
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
    // A copy sized to be drawn at the final size, the same pixels.
    const auto cachePlainCopy = [&] {
        const ImagePtr sized = image->copy();
        if (printing)
            sized->setDataRetained(true);
        sized->setSize(finalImageSize);
        _cachedImage = sized;
    };
    if (plain) {
        cachePlainCopy();
        return;
    }

    EffectsChain chain(*this);
    _perspectiveDrawingOffset = QPointF();
    chain.working = rasterised(*image, drawn);
    if (chain.working.isNull()) {
        qWarning("LBGraphic: a picture that cannot be rasterised is shown without its effects");
        cachePlainCopy();
        return;
    }
    // On screen the filters work on no more pixels than are shown; printing keeps them all.
    if (!printing) {
        const QSize size = workingPixelSize(finalImageSize);
        chain.working = scaleImage(chain.working, size.width(), size.height());
    }
    chain.W = chain.working.extent().width();
    chain.H = chain.working.extent().height();

    chain.visible = QRectF(0, 0, chain.W, chain.H);
    if (isCroppedImage && _origCropImageBounds.width() > 0.0
        && _origCropImageBounds.height() > 0.0) {
        const QRectF& i = _origCropImageBounds;
        const QRectF& s = _origCropGraphicBounds;
        const double w = s.width() / i.width() * chain.W;
        const double h = s.height() / i.height() * chain.H;
        const double x = (s.x() - i.x()) / i.width() * chain.W;
        const double y = (s.y() - i.y()) / i.height() * chain.H;
        // The picture's rows run downwards, the figures' upwards.
        chain.visible = chain.frame().rect(QRectF(x, y, w, h));
    }

    chain.adjust();
    for (qint64 i = 0; i < _effects.size(); ++i)
        chain.applyEffect(i);
    chain.layBackgroundAndTint();
    chain.fit();

    const QImage pixels = chain.working.render(
        chain.working.isInfinite() ? QRect(0, 0, chain.W, chain.H) : chain.working.extent());
    if (pixels.isNull()) {
        qWarning("LBGraphic: no memory for a processed picture of %d x %d pixels; it is shown "
                 "without its effects",
                 chain.W, chain.H);
        cachePlainCopy();
        return;
    }
    if (!printing) {
        _cachedCIImage = pixels;
        return;
    }
    // Printed: a bitmap of the final size holding the whole frame, the picture moved by the
    // perspective effect as it is on screen.
    const QImage bitmap =
        bitmapImageRepFromCIImage(pixels, _perspectiveDrawingOffset, QSize(chain.W, chain.H));
    const ImagePtr processed =
        platform::Image::fromBitmap(bitmap.isNull() ? pixels : bitmap, finalImageSize);
    processed->setDataRetained(true);
    _cachedImage = processed;
}

FilterImage LBGraphic::scaleImage(const FilterImage& image, double widthTo, double heightTo)
{
    if (image.isNull() || image.isInfinite() || image.extent().isEmpty())
        return image;
    const QRect e = image.extent();
    const double scale = heightTo / e.height();
    FilterImage sized = orInput(scaled(image, scale, (widthTo / e.width()) / scale), image);
    const QPoint origin = sized.extent().topLeft();
    if (!origin.isNull())
        sized =
            orInput(transformed(sized, QTransform::fromTranslate(-origin.x(), -origin.y())), sized);
    return sized;
}

QImage LBGraphic::bitmapImageRepFromCIImage(const QImage& image, const QPointF& offset,
                                            const QSize& frame)
{
    const QPoint by(int(std::trunc(offset.x())), int(std::trunc(offset.y())));
    const QSize size = frame.isValid() ? frame
                                       : QSize(int(std::trunc(image.width() + offset.x())),
                                               int(std::trunc(image.height() + offset.y())));
    if (by.isNull() && image.size() == size)
        return image;
    if (size.isEmpty() || image.isNull())
        return {};
    QImage bitmap(size, QImage::Format_ARGB32_Premultiplied);
    if (bitmap.isNull())
        return {};
    bitmap.fill(Qt::transparent);
    // The lower-left corners `by` apart.
    const QRectF placed = YUpFrame(size.height()).rect(QRectF(by, QSizeF(image.size())));
    QPainter painter(&bitmap);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(placed.topLeft(), image);
    return bitmap;
}

QSize LBGraphic::workingPixelSize(const QSizeF& finalImageSize)
{
    const auto whole = [](double v) { return std::max(1, int(std::floor(v + 1e-9))); };
    return QSize(whole(finalImageSize.width()), whole(finalImageSize.height()));
}
