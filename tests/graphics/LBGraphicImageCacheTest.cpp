// The processed fill image: when it is built, what a plain graphic caches, and when the
// cache is kept or dropped.

#include "GraphicTestSupport.h"

#include "graphics/LBProcessState.h"
#include "platform/drawing/GraphicsContext.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

namespace {

// A graphic whose turned bounds can be made empty.
class CacheGraphic : public ProbeGraphic
{
public:
    QRectF rotatedBounds() const override
    {
        return emptyRotatedBounds ? QRectF() : ProbeGraphic::rotatedBounds();
    }
    bool emptyRotatedBounds = false;
};

// 40 × 20 points.
LBGraphic::ImagePtr photo()
{
    QImage pixels(80, 40, QImage::Format_RGB32);
    pixels.fill(Qt::darkGreen);
    return platform::Image::fromBitmap(pixels, QSizeF(40, 20));
}

// Drag-out is process-wide: put back whatever a test leaves.
class DraggingOut
{
public:
    DraggingOut() { LBProcessState::setDraggingOut(true); }
    ~DraggingOut() { LBProcessState::setDraggingOut(false); }
};

} // namespace

TEST(LBGraphicImageCache, WhatIsCached)
{
    // Processed: the picture stays the cache and the filters' form holds the result.
    enum Expect { None, Itself, Copy, Processed };
    struct Case
    {
        const char* name;
        std::function<void(CacheGraphic&)> setUp;
        Expect expect;
        QSizeF size; // of the copy
    };
    const Case cases[] = {
        {"plain, at its own size", [](CacheGraphic&) {}, Itself, {}},
        {"zoomed", [](CacheGraphic& g) { g.setZoomFactor(2); }, Copy, {80, 40}},
        {"larger bounds, scaled as cropped",
         [](CacheGraphic& g) { g.setBoundsNoOtherChanges(QRectF(0, 0, 60, 30)); },
         Copy,
         {60, 30}},
        {"larger bounds, centred",
         [](CacheGraphic& g) {
             g.setBoundsNoOtherChanges(QRectF(0, 0, 60, 30));
             g.setFillImageScaling(0);
         },
         Copy,
         {40, 20}},
        {"shadow",
         [](CacheGraphic& g) { g.setShadowInfo(1, -1, -1, -1, -1, QColor()); },
         Copy,
         {40, 20}},
        {"turned", [](CacheGraphic& g) { g.setRotation(10); }, Copy, {40, 20}},
        {"turned with its group", [](CacheGraphic& g) { g.setGroupRotation(10); }, Copy, {40, 20}},
        {"adjusted", [](CacheGraphic& g) { g.setBrightness(10); }, Processed, {40, 20}},
        {"with an effect",
         [](CacheGraphic& g) { g.addEffect(1, 0, 0, 0, 0, 0, 0, {}, {}, {}, {}, QColor(), false); },
         Processed,
         {40, 20}},
        {"effects skipped",
         [](CacheGraphic& g) {
             g.setBrightness(10);
             g._skipImageEffects = true;
         },
         Itself,
         {}},
        {"empty turned bounds", [](CacheGraphic& g) { g.emptyRotatedBounds = true; }, None, {}},
        {"no fill image",
         [](CacheGraphic& g) { g.setImage(nullptr, LBGraphic::FillImageType); },
         None,
         {}},
    };
    for (const Case& c : cases) {
        auto g = std::make_shared<CacheGraphic>();
        const auto image = photo();
        g->setBoundsNoOtherChanges(QRectF(5, 5, 40, 20));
        g->setImage(image, LBGraphic::FillImageType);
        c.setUp(*g);
        const LBGraphic::ImagePtr cached = g->transformedImage(false);
        EXPECT_EQ(g->cachedImageOfType(LBGraphic::FillImageType), cached) << c.name;
        switch (c.expect) {
        case None: EXPECT_EQ(cached, nullptr) << c.name; break;
        case Itself:
            EXPECT_EQ(cached, image) << c.name;
            EXPECT_TRUE(g->_cachedCIImage.isNull()) << c.name;
            break;
        case Processed:
            EXPECT_EQ(cached, image) << c.name;
            EXPECT_EQ(QSizeF(g->_cachedCIImage.size()), c.size) << c.name;
            break;
        case Copy:
            ASSERT_TRUE(cached) << c.name;
            EXPECT_NE(cached, image) << c.name;
            EXPECT_EQ(cached->size(), c.size) << c.name;
            EXPECT_EQ(cached->bitmap(), image->bitmap()) << c.name;
            EXPECT_EQ(image->size(), QSizeF(40, 20)) << c.name; // the picture is untouched
            break;
        }
        // Asked again without a change, the same cache.
        EXPECT_EQ(g->transformedImage(false), cached) << c.name;
    }
}

TEST(LBGraphicImageCache, WithoutAFillImageAllCachesEmpty)
{
    auto g = std::make_shared<CacheGraphic>();
    g->_cachedImage = photo();
    g->_cachedFillImage = photo();
    g->_cachedCIImage = QImage(2, 2, QImage::Format_ARGB32);
    EXPECT_EQ(g->transformedImage(false), nullptr);
    EXPECT_EQ(g->_cachedFillImage, nullptr);
    EXPECT_TRUE(g->transformedCImage(false).isNull());
    EXPECT_EQ(g->cachedImageOfType(LBGraphic::FillImageType), nullptr);
    EXPECT_FALSE(g->supportsExternalMask());
    g->setImage(photo(), LBGraphic::FillImageType);
    EXPECT_TRUE(g->supportsExternalMask());
    // Only the fill image is cached.
    g->transformedImage(false);
    EXPECT_EQ(g->cachedImageOfType(LBGraphic::ObjectMaskType), nullptr);
    EXPECT_EQ(g->cachedImageOfType(LBGraphic::ExternalMaskType), nullptr);
}

TEST(LBGraphicImageCache, AFirstBuildCropsToTheWholePicture)
{
    auto g = std::make_shared<CacheGraphic>();
    g->setBoundsNoOtherChanges(QRectF(0, 0, 40, 20));
    g->setImage(photo(), LBGraphic::FillImageType);
    g->transformedImage(false);
    QRectF image, shape;
    g->getCropImageBounds(&image, &shape);
    EXPECT_EQ(image, QRectF(0, 0, 40, 20));
    EXPECT_EQ(shape, QRectF(0, 0, 40, 20));

    // A crop already made stays.
    g->setBoundsNoOtherChanges(QRectF(0, 0, 30, 15));
    g->setCropImageBounds(QRectF(-5, -5, 40, 20), QRectF(0, 0, 20, 10));
    g->clearCachedImage();
    const auto cached = g->transformedImage(false);
    g->getCropImageBounds(&image, &shape);
    EXPECT_EQ(image, QRectF(-5, -5, 40, 20));
    // Bounds 30 × 15 over a shape of 20 × 10: the picture at 1.5 times its size.
    EXPECT_EQ(cached->size(), QSizeF(60, 30));
}

TEST(LBGraphicImageCache, APrintCacheIsDroppedAtTheNextDrawingOnScreen)
{
    auto g = std::make_shared<CacheGraphic>();
    g->setBoundsNoOtherChanges(QRectF(0, 0, 40, 20));
    g->setImage(photo(), LBGraphic::FillImageType);
    g->setRotation(5);
    const auto printed = g->transformedImage(true);
    ASSERT_TRUE(printed);
    EXPECT_TRUE(printed->dataRetained());

    // Not on screen (no drawing, or into an image): kept.
    EXPECT_EQ(g->transformedImage(false), printed);
    QImage target(10, 10, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&target);
    platform::GraphicsContext offscreen(&painter, false);
    {
        const platform::GraphicsContext::Scope scope(offscreen);
        EXPECT_EQ(g->transformedImage(false), printed);
    }
    // On screen: built again, and only once.
    platform::GraphicsContext screen(&painter, true);
    const platform::GraphicsContext::Scope scope(screen);
    const auto shown = g->transformedImage(false);
    ASSERT_TRUE(shown);
    EXPECT_NE(shown, printed);
    EXPECT_EQ(g->transformedImage(false), shown);
}

TEST(LBGraphicImageCache, DraggingOutKeepsTheCacheWhateverChanges)
{
    auto g = std::make_shared<CacheGraphic>();
    g->setBoundsNoOtherChanges(QRectF(0, 0, 40, 20));
    g->setImage(photo(), LBGraphic::FillImageType);
    g->setZoomFactor(2);
    const auto cached = g->transformedImage(false);
    ASSERT_TRUE(cached);
    {
        const DraggingOut dragging;
        g->setBrightness(30);
        g->clearCachedImage();
        EXPECT_EQ(g->transformedImage(false), cached);
        // Nothing is built meanwhile either.
        auto other = std::make_shared<CacheGraphic>();
        other->setImage(photo(), LBGraphic::FillImageType);
        EXPECT_EQ(other->transformedImage(false), nullptr);
    }
    g->setBrightness(40);
    EXPECT_NE(g->transformedImage(false), cached);

    // The cache being the picture itself, dropping it leaves the picture alone.
    auto plain = std::make_shared<CacheGraphic>();
    const auto image = photo();
    plain->setBoundsNoOtherChanges(QRectF(0, 0, 40, 20));
    plain->setImage(image, LBGraphic::FillImageType);
    ASSERT_EQ(plain->transformedImage(false), image);
    plain->clearCachedImage();
    EXPECT_EQ(plain->imageOfType(LBGraphic::FillImageType), image);
    EXPECT_EQ(image->size(), QSizeF(40, 20));
}
