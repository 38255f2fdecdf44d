// Image graphics: their defaults, copies and natural size, the sample pictures, the
// decision to render them again for print, drawing (the mirror rule, the outline under and
// over the picture, print-scaled pictures, vector pictures in print), drawing while cropped,
// and the stored keys, older ones included.

#include "../graphics/DrawingTestSupport.h"
#include "MessageLog.h"
#include "ShapeTestSupport.h"

#include "platform/core/UserDefaults.h"
#include "shapes/LBImage.h"
#include "shapes/LBRectangle.h"

#include <QPainter>

#include <gtest/gtest.h>

using platform::Image;

namespace {

// A picture of four coloured quarters: red top left, green top right, blue bottom left,
// yellow bottom right; `pixels` wide and high, as large in points unless `points` says.
platform::ImagePtr quarters(QSize pixels = QSize(20, 20), QSizeF points = QSizeF())
{
    QImage bitmap(pixels, QImage::Format_ARGB32_Premultiplied);
    const int w = pixels.width() / 2, h = pixels.height() / 2;
    QPainter painter(&bitmap);
    painter.fillRect(0, 0, w, h, Qt::red);
    painter.fillRect(w, 0, pixels.width() - w, h, Qt::green);
    painter.fillRect(0, h, w, pixels.height() - h, Qt::blue);
    painter.fillRect(w, h, pixels.width() - w, pixels.height() - h, Qt::yellow);
    painter.end();
    return Image::fromBitmap(bitmap, points.isEmpty() ? QSizeF(pixels) : points);
}

// A vector picture: a PDF page of a green square and a red circle.
platform::ImagePtr vectorPicture()
{
    return Image::fromData(printedPdf(
        [] {
            QPainter* painter = platform::GraphicsContext::current()->painter();
            painter->fillRect(QRectF(0, 0, 50, 50), Qt::darkGreen);
            painter->setBrush(Qt::red);
            painter->drawEllipse(QRectF(55, 5, 40, 40));
        },
        QSizeF(100, 50)));
}

LBImagePtr imageGraphic(const platform::ImagePtr& picture, const QRectF& bounds)
{
    auto graphic = std::make_shared<LBImage>();
    graphic->setImage(picture, LBGraphic::FillImageType);
    graphic->setBounds(bounds);
    return graphic;
}

// The colour of a pixel, by the name of the quarter's colour it is closest to ("#ff0000",
// "#00ff00", "#0000ff", "#ffff00"), "none" where nothing was drawn.
QString colorAt(const QImage& image, int x, int y)
{
    const QColor c = image.pixelColor(x, y);
    if (c.alpha() < 128)
        return QStringLiteral("none");
    const auto level = [](int v) { return v > 127 ? 255 : 0; };
    return QColor(level(c.red()), level(c.green()), level(c.blue())).name();
}

QImage drawnOnScreen(LBGraphic& graphic, QSize pixels = QSize(120, 120))
{
    return renderImage(
        [&] {
            platform::GraphicsContext::current()->setDrawingToScreen(true);
            graphic.drawInView(nullptr, false);
        },
        pixels);
}

} // namespace

TEST(LBImage, DefaultsCopiesAndNaturalSize)
{
    const auto image = std::make_shared<LBImage>();
    EXPECT_FALSE(image->drawsStroke());
    EXPECT_TRUE(image->constrainProportions());
    EXPECT_EQ(image->specialImageType(), 0);
    EXPECT_EQ(image->contactIndexForHiResImage(), -1);
    EXPECT_FALSE(image->scaledForPrinting());
    EXPECT_FALSE(image->canDrawFill());
    EXPECT_TRUE(image->imageFile().isEmpty() && !image->imageFile().isNull());

    // Without a picture the natural size is 10 × 10; with one, the picture's; mirrors go.
    RecordingDocument document;
    image->setDocument(&document);
    document.step([&] {
        image->setBounds({5, 6, 70, 80});
        image->setFlippedHorizontally(true);
    });
    document.step([&] { image->makeNaturalSize(); });
    EXPECT_EQ(image->bounds(), QRectF(5, 6, 10, 10));
    EXPECT_FALSE(image->flippedHorizontally());
    document.undo();
    EXPECT_EQ(image->bounds(), QRectF(5, 6, 70, 80));
    EXPECT_TRUE(image->flippedHorizontally());
    document.step([&] { image->setImage(quarters({40, 30}, {40, 30}), 0); });
    // A picture is never cropped into an outline.
    EXPECT_FALSE(image->isImageCrop());
    document.step([&] { image->makeNaturalSize(); });
    EXPECT_EQ(image->bounds(), QRectF(5, 6, 40, 30));

    // Copies take the special kind and the print flag, not the print image's bookkeeping,
    // the lazy path or the crop shape.
    const auto source = std::make_shared<LBRectangle>();
    image->setSpecialImageType(LBImage::PaperAsGraphic);
    image->setScaledForPrinting(true);
    image->setLazyImagePath(QStringLiteral("/kits/paper.png"));
    image->setSourceGraphicForHiResImage(source);
    image->setContactIndexForHiResImage(4);
    document.step([&] { image->setTemporaryCropGraphic(source); });
    const auto copy = std::dynamic_pointer_cast<LBImage>(image->copy());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->specialImageType(), 11);
    EXPECT_TRUE(copy->scaledForPrinting());
    EXPECT_EQ(copy->imageOfType(0), image->imageOfType(0));
    EXPECT_TRUE(copy->lazyImagePath().isNull());
    EXPECT_FALSE(copy->sourceGraphicForHiResImage());
    EXPECT_EQ(copy->contactIndexForHiResImage(), -1);
    EXPECT_FALSE(copy->cropGraphic());
    EXPECT_EQ(image->sourceGraphicForHiResImage(), source);
}

TEST(LBImage, SamplePicturesOfTheSpecialKinds)
{
    const char* names[12] = {nullptr, "Picture", "PictureMe", "PictureLogo", "PictureSignature",
                             nullptr, nullptr,   nullptr,     nullptr,       nullptr,
                             nullptr, nullptr};
    for (qint64 type = 0; type < 12; ++type) {
        SCOPED_TRACE(type);
        const QString name = LBImage::samplePictureName(type);
        EXPECT_EQ(name, names[type] ? QString::fromLatin1(names[type]) : QString());
        if (!names[type])
            continue;
        // The program's own vector art, with a size to take as the natural size.
        const platform::ImagePtr picture = Image::imageNamed(name);
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->representationKind(), Image::RepresentationKind::SVG);
        EXPECT_GT(picture->size().width(), 40);
        EXPECT_GT(picture->size().height(), 40);
    }
}

TEST(LBImage, WhenAPictureIsRenderedAgainForPrint)
{
    const platform::ImagePtr bitmap = quarters();
    const platform::ImagePtr pdf = vectorPicture();
    ASSERT_TRUE(pdf && pdf->representationKind() == Image::RepresentationKind::PDF);
    const struct
    {
        platform::ImagePtr picture;
        const char* change;
        bool hiRes;
    } cases[] = {
        {bitmap, "", false},          {pdf, "", false},
        {nullptr, "", false},         {nullptr, "effect", true},
        {bitmap, "shadow 1", false},  {pdf, "shadow 1", true},
        {bitmap, "shadow 2", false},  {pdf, "shadow 2", false},
        {bitmap, "alpha 0.5", false}, {pdf, "alpha 0.5", true},
        {bitmap, "brightness", true}, {pdf, "brightness", true},
        {bitmap, "hue", true},        {bitmap, "sharpness", true},
        {bitmap, "exposure", true},   {bitmap, "effect", true},
        {bitmap, "gradient", false}, // a gradient fill is no part of an image graphic
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.picture == pdf ? "pdf "
                                 : c.picture      ? "bitmap "
                                                  : "none ")
                     + c.change);
        const auto image = imageGraphic(c.picture, {0, 0, 100, 50});
        const QString change = QString::fromLatin1(c.change);
        if (change == "shadow 1")
            image->setShadowInfo(1, 3, 3, 90, 0.5, QColor());
        else if (change == "shadow 2")
            image->setShadowInfo(2, 3, 3, 90, 0.5, QColor());
        else if (change == "alpha 0.5")
            image->setGraphicAlpha(0.5);
        else if (change == "brightness")
            image->setBrightness(10);
        else if (change == "hue")
            image->setHue(-5);
        else if (change == "sharpness")
            image->setSharpness(20);
        else if (change == "exposure")
            image->setExposure(3);
        else if (change == "effect")
            image->addEffect(1, 65535, 65535, 65535, 65535, 65535, 65535, {}, {}, {}, {}, QColor(),
                             false);
        else if (change == "gradient")
            image->setFillType(2);
        EXPECT_EQ(image->shouldCreateHiResImageWhenPrinting(), c.hiRes);
    }
}

TEST(LBImage, UprightUnlessMirrored)
{
    // Quarters: red top left, green top right, blue bottom left, yellow bottom right.
    const struct
    {
        bool h;
        bool v;
        double rotation;
        const char* topLeft;
        const char* topRight;
        const char* bottomLeft;
    } cases[] = {
        {false, false, 0, "#ff0000", "#00ff00", "#0000ff"},  // upright
        {false, true, 0, "#0000ff", "#ffff00", "#ff0000"},   // upside down
        {true, false, 0, "#00ff00", "#ff0000", "#ffff00"},   // left and right exchanged
        {true, true, 0, "#ffff00", "#0000ff", "#00ff00"},    // half a turn
        {false, false, 90, "#0000ff", "#ff0000", "#ffff00"}, // a quarter clockwise
        {true, false, 90, "#ffff00", "#00ff00", "#0000ff"},  // mirrored, then turned the same way
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 %2 %3").arg(c.h).arg(c.v).arg(c.rotation).toStdString());
        const auto image = imageGraphic(quarters({40, 40}), {20, 20, 40, 40});
        image->setFlippedHorizontally(c.h);
        image->setFlippedVertically(c.v);
        image->setRotation(c.rotation);
        const QImage out = drawnOnScreen(*image);
        EXPECT_EQ(colorAt(out, 25, 25), c.topLeft);
        EXPECT_EQ(colorAt(out, 55, 25), c.topRight);
        EXPECT_EQ(colorAt(out, 25, 55), c.bottomLeft);
        EXPECT_EQ(colorAt(out, 65, 65), "none");
    }
}

TEST(LBImage, TheOutlineLiesUnderAndOverThePicture)
{
    const auto image = imageGraphic(quarters({60, 40}), {10, 10, 60, 40});
    EXPECT_EQ(recordNames(*image).size(), 1);
    image->setDrawsStroke(true);
    image->setStrokeLineWidth(2);
    image->setStrokeColor(Qt::magenta);
    const QList<PaintCall> calls = recordDrawing([&] { image->drawInView(nullptr, false); });
    ASSERT_EQ(calls.size(), 3);
    EXPECT_EQ(calls[0].name(), "stroke #ff00ff");
    EXPECT_EQ(calls[1].kind, "image");
    EXPECT_EQ(calls[2].name(), "stroke #ff00ff");
    // The picture sits inside the outline: inset by the stroke width.
    EXPECT_EQ(calls[1].area, QRectF(12, 12, 56, 36));

    // A placeholder's hidden outline shows on the canvas only.
    image->setIsPlaceholder(true);
    image->setDrawPlaceholderText(true);
    image->setHidePlaceholderOutline(true);
    FakeCanvas canvas;
    EXPECT_TRUE(callNames(recordDrawing([&] {
                    image->ourDrawInView(&canvas, false);
                })).contains("stroke #ff00ff"));
    EXPECT_FALSE(callNames(recordDrawing([&] {
                     image->ourDrawInView(nullptr, false);
                 })).contains("stroke #ff00ff"));

    // A shadow of type 1 falls beside the picture, which stays in the bounds.
    const auto shadowed = imageGraphic(quarters({40, 40}), {20, 20, 40, 40});
    shadowed->setShadowInfo(1, 6, 2, 90, 0.0, Qt::black);
    const QImage withShadow = drawnOnScreen(*shadowed);
    EXPECT_EQ(colorAt(withShadow, 21, 21), "#ff0000");
    EXPECT_EQ(colorAt(withShadow, 59, 59), "#ffff00");
    EXPECT_GT(qAlpha(withShadow.pixel(40, 63)), 0); // below it: the shadow
    EXPECT_EQ(qAlpha(withShadow.pixel(40, 17)), 0); // none above it

    // Fully transparent, it is still drawn faintly; without a picture nothing is drawn.
    const auto clear = imageGraphic(quarters(), {0, 0, 40, 40});
    clear->setGraphicAlpha(0);
    EXPECT_EQ(recordNames(*clear).size(), 1);
    EXPECT_TRUE(recordNames(*imageGraphic(nullptr, {0, 0, 40, 40})).isEmpty());
}

TEST(LBImage, PrintScaledPicturesPrintAtTheirPrintSize)
{
    auto& defaults = platform::UserDefaults::standardUserDefaults();
    defaults.setInteger(300, QStringLiteral("Print Quality"));
    // 1200 × 600 pixels made at 300 dpi: 288 × 144 points on paper, at the bounds' origin.
    const auto image = imageGraphic(quarters({1200, 600}), {20, 30, 1200, 600});
    image->setScaledForPrinting(true);
    const QByteArray pdf = printedPdf([&] { image->drawInView(nullptr, false); }, QSizeF(400, 300));
    const QImage seen = Image::fromData(pdf)->forcedBitmapImageRep();
    const auto at = [&seen](int x, int y) { return colorAt(seen, x, y); };
    EXPECT_EQ(at(22, 32), "#ff0000");
    EXPECT_EQ(at(20 + 286, 30 + 142), "#ffff00");
    EXPECT_EQ(at(20 + 290, 30 + 100), "none");
    EXPECT_EQ(at(100, 30 + 146), "none");

    // On screen the print scale does not apply.
    EXPECT_EQ(image->printScale(), 1.0);
    const QImage screen = drawnOnScreen(*image, QSize(400, 300));
    EXPECT_EQ(colorAt(screen, 20 + 290, 30 + 100), "#ff0000");
    // No registered quality reads as the default 300.
    defaults.setInteger(0, QStringLiteral("Print Quality"));
    printedPdf([&] { EXPECT_DOUBLE_EQ(image->printScale(), 72.0 / 300.0); });
    defaults.removeObjectForKey(QStringLiteral("Print Quality"));
}

TEST(LBImage, VectorPicturesPrintAsVector)
{
    for (const double alpha : {1.0, 0.5}) {
        SCOPED_TRACE(alpha);
        const auto image = imageGraphic(vectorPicture(), {20, 20, 100, 50});
        image->setGraphicAlpha(alpha);
        const QByteArray pdf = printedPdf([&] { image->drawInView(nullptr, false); });
        EXPECT_FALSE(holdsImage(pdf));
        const QImage seen = Image::fromData(pdf)->forcedBitmapImageRep();
        EXPECT_GT(qAlpha(seen.pixel(30, 40)), 100); // the green square, upright at the left
        EXPECT_GT(qGreen(seen.pixel(30, 40)), qRed(seen.pixel(30, 40)));
        EXPECT_GT(qRed(seen.pixel(95, 45)), qGreen(seen.pixel(95, 45))); // the red circle
    }
}

TEST(LBImage, CroppingShowsThePartInsideTheShapeAtFullAlpha)
{
    RecordingDocument document;
    QImage red(40, 40, QImage::Format_ARGB32_Premultiplied);
    red.fill(Qt::red);
    const auto image = imageGraphic(Image::fromBitmap(red, {40, 40}), {0, 0, 40, 40});
    image->setGraphicAlpha(0.9);
    image->setDocument(&document);
    auto crop = std::make_shared<LBRectangle>();
    crop->setBounds({0, 0, 20, 40});
    document.step([&] { image->setTemporaryCropGraphic(crop); });
    EXPECT_EQ(image->cropGraphic(), crop);

    const QImage out = drawnOnScreen(*image, QSize(40, 40));
    // Outside the shape: a third of 0.9; inside: 0.3, then 0.9 over it.
    EXPECT_NEAR(qAlpha(out.pixel(30, 20)), 0.3 * 255, 2);
    EXPECT_NEAR(qAlpha(out.pixel(10, 20)), (1 - 0.7 * 0.1) * 255, 2);
    EXPECT_EQ(image->graphicAlpha(), 0.9);

    // A crop shape turned a quarter about its centre clips as it is shown.
    crop->setBounds({10, 0, 20, 40});
    crop->setRotation(90);
    const QImage turned = drawnOnScreen(*image, QSize(40, 40));
    EXPECT_GT(qAlpha(turned.pixel(2, 20)), 200); // inside the turned shape
    EXPECT_LT(qAlpha(turned.pixel(20, 5)), 100); // above it
    crop->setRotation(0);

    // A crop graphic without an outline clips to its bounds.
    auto plain = std::make_shared<LBGraphic>();
    plain->setBounds({20, 0, 20, 40});
    document.step([&] { image->setTemporaryCropGraphic(plain); });
    const QImage byBounds = drawnOnScreen(*image, QSize(40, 40));
    EXPECT_GT(qAlpha(byBounds.pixel(30, 20)), 200);
    EXPECT_LT(qAlpha(byBounds.pixel(10, 20)), 100);

    // Cancelling a crop removes the crop shape from its layer and forgets it; undoing that
    // puts both back, the crop shape alive though nothing else held it meanwhile.
    QList<LBGraphicPtr> layer{plain};
    document.step([&] {
        image->setTemporaryCropGraphic(nullptr);
        const LBGraphicPtr removed = layer.takeFirst();
        document.undoManager()->registerUndo(&layer, [&layer, removed] { layer.append(removed); });
    });
    plain.reset();
    EXPECT_FALSE(image->cropGraphic());
    document.undo();
    ASSERT_EQ(layer.size(), 1);
    EXPECT_EQ(image->cropGraphic(), layer.first());
    EXPECT_EQ(image->cropGraphic()->bounds(), QRectF(20, 0, 20, 40));
    // A crop shape nothing holds any more is simply gone: drawing is safe.
    layer.clear();
    EXPECT_FALSE(image->cropGraphic());
    EXPECT_GT(qAlpha(drawnOnScreen(*image, QSize(40, 40)).pixel(10, 20)), 200);
}

TEST(LBImage, TheProcessedPictureIsMadeAtTheZoomedSize)
{
    const auto image = imageGraphic(quarters({40, 30}), {0, 0, 40, 30.6});
    image->setZoomFactor(2);
    const LBGraphic::ImagePtr processed = image->transformedImage(false);
    ASSERT_TRUE(processed);
    EXPECT_EQ(processed->size(), QSizeF(80, 61));         // whole points
    EXPECT_EQ(image->transformedImage(false), processed); // kept until something changes
    image->setZoomFactor(3);
    EXPECT_FALSE(image->cachedImageOfType(0));

    // A print or drag copy takes a copy of the processed picture.
    const auto copy = std::dynamic_pointer_cast<LBImage>(image->copy());
    const LBGraphic::ImagePtr kept = image->transformedImage(false);
    copy->copyCachedImageFromObject(*image);
    ASSERT_TRUE(copy->cachedImageOfType(0));
    EXPECT_NE(copy->cachedImageOfType(0), kept);
    EXPECT_EQ(copy->cachedImageOfType(0)->size(), kept->size());
    copy->copyCachedImageFromObject(*std::make_shared<LBImage>());
    EXPECT_FALSE(copy->cachedImageOfType(0));

    // A picture processed for print is made again at the next drawing on screen.
    const LBGraphic::ImagePtr forPrint = image->transformedImage(true);
    EXPECT_EQ(image->transformedImage(false), forPrint); // not on screen: kept
    drawnOnScreen(*image);
    EXPECT_NE(image->cachedImageOfType(0), forPrint);
    ASSERT_TRUE(image->cachedImageOfType(0));
}

TEST(LBImage, OnScreenAPrintImageIsDrawnAtItsProcessedSizeOverTheZoom)
{
    const auto image = imageGraphic(quarters({1200, 600}), {20, 30, 1200, 600});
    image->setScaledForPrinting(true);
    image->setZoomFactor(2);
    const QList<PaintCall> calls = recordDrawing([&] {
        platform::GraphicsContext::current()->setDrawingToScreen(true);
        image->drawInView(nullptr, false);
    });
    ASSERT_EQ(calls.size(), 1);
    ASSERT_TRUE(image->cachedImageOfType(0));
    EXPECT_EQ(image->cachedImageOfType(0)->size(), QSizeF(2400, 1200));
    EXPECT_EQ(calls[0].area, QRectF(20, 30, 1200, 600));
}

TEST(LBImage, StoredKeysAndOlderOnes)
{
    registerShapeClasses();
    MessageLog log;
    const auto image = imageGraphic(quarters(), {0, 0, 20, 20});
    image->setSpecialImageType(LBImage::QuickPageOnNewLayer);
    QVariantMap stored = image->propertyListRepresentation();
    EXPECT_EQ(stored.value("ImageType"), "7");
    EXPECT_FALSE(stored.contains("LazyImagePathKey"));
    image->setLazyImagePath(QStringLiteral("/Kits/Quick \u00e9.png"));
    stored = image->propertyListRepresentation();
    EXPECT_EQ(stored.value("LazyImagePathKey"), "/Kits/Quick \u00e9.png");
    const auto loaded = std::dynamic_pointer_cast<LBImage>(
        LBGraphic::graphicWithPropertyListRepresentation(stored));
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->specialImageType(), 7);
    EXPECT_EQ(loaded->lazyImagePath(), "/Kits/Quick \u00e9.png");
    EXPECT_EQ(loaded->propertyListRepresentation(), stored);

    // A number stands for the kind too.
    const auto numbered =
        std::dynamic_pointer_cast<LBImage>(LBGraphic::graphicWithPropertyListRepresentation(
            {{"Class", "LBImage"}, {"ImageType", qint64(3)}}));
    EXPECT_EQ(numbered->specialImageType(), 3);

    // Older keys land where the present ones do and are written under those.
    const QByteArray tiff = quarters()->TIFFRepresentationUsingLZW();
    const auto older =
        std::dynamic_pointer_cast<LBImage>(LBGraphic::graphicWithPropertyListRepresentation(
            {{"Class", "LBImage"}, {"Image", tiff}, {"ImageMaskPath", "/masks/oval.png"}}));
    ASSERT_TRUE(older);
    ASSERT_TRUE(older->imageOfType(0));
    EXPECT_EQ(older->imageOfType(0)->size(), QSizeF(20, 20));
    EXPECT_EQ(older->imageFilePathOfType(2), "/masks/oval.png");
    const QVariantMap written = older->propertyListRepresentation();
    EXPECT_EQ(written.value("FillImage"), tiff);
    EXPECT_EQ(written.value("ImageMaskFilePath"), "/masks/oval.png");
    EXPECT_FALSE(written.contains("Image"));
    const auto byPath = LBGraphic::graphicWithPropertyListRepresentation(
        {{"Class", "LBImage"}, {"ImageFilePath", "/photos/rose.jpg"}});
    EXPECT_EQ(byPath->propertyListRepresentation().value("FillImageFilePath"), "/photos/rose.jpg");
    EXPECT_TRUE(log.messages.isEmpty()) << log.messages.join('\n').toStdString();

    // An older picture under an older external mask shows masked and is written back
    // unmasked.
    QImage red(2, 2, QImage::Format_ARGB32);
    red.fill(Qt::red);
    QImage mask(2, 2, QImage::Format_Grayscale8);
    mask.fill(255);
    mask.setPixel(1, 0, 0);
    const QByteArray redData = Image::fromBitmap(red, {2, 2})->TIFFRepresentationUsingLZW();
    const auto masked = LBGraphic::graphicWithPropertyListRepresentation(
        {{"Class", "LBImage"},
         {"Image", redData},
         {"ExternalImageMask", Image::fromBitmap(mask, {2, 2})->pngData()}});
    ASSERT_TRUE(masked && masked->imageOfType(0) && masked->imageOfType(2));
    const QImage shown = masked->imageOfType(0)->bitmap();
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 255);
    EXPECT_EQ(qAlpha(shown.pixel(1, 0)), 0);
    const platform::ImagePtr unmasked =
        Image::fromData(masked->propertyListRepresentation().value("FillImage").toByteArray());
    ASSERT_TRUE(unmasked);
    EXPECT_EQ(unmasked->bitmap().pixelColor(1, 0), QColor(Qt::red));
    EXPECT_TRUE(log.messages.isEmpty()) << log.messages.join('\n').toStdString();

    // Older picture data that does not read is logged and kept, to be written back.
    const auto damaged = LBGraphic::graphicWithPropertyListRepresentation(
        {{"Class", "LBImage"}, {"Image", QByteArray("not a picture")}});
    ASSERT_TRUE(damaged);
    EXPECT_FALSE(damaged->imageOfType(0));
    EXPECT_EQ(damaged->propertyListRepresentation().value("FillImage"),
              QByteArray("not a picture"));
    EXPECT_TRUE(log.contains("\"Image\""));
}

TEST(LBImage, AnEmptyPhotoPlaceholderProcessesItsArtAtItsSize)
{
    const auto image = imageGraphic(quarters({40, 30}), {0, 0, 40, 30});
    image->setIsPlaceholder(true);
    image->setDrawPlaceholderText(true);
    image->setPlaceholderTypeString(QStringLiteral("Photo"));
    const LBGraphic::ImagePtr art = image->transformedImage(false);
    ASSERT_TRUE(art);
    EXPECT_EQ(art->size(), QSizeF(40, 30));
    // The quarters' red corner is not what shows.
    EXPECT_NE(colorAt(drawnOnScreen(*image), 5, 5), QStringLiteral("#ff0000"));

    // Without its prompt, the picture itself.
    image->setDrawPlaceholderText(false);
    image->clearCachedImage();
    EXPECT_EQ(colorAt(drawnOnScreen(*image), 5, 5), QStringLiteral("#ff0000"));
}
