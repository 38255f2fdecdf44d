// A copy looks exactly like its original: graphics with every kind of mask and effect,
// pictures held or read from files, copied by LBGraphic::copy, by the Duplicate command
// and by Copy then Paste, rendered and compared with the original's rendering.

#include "CanvasTestSupport.h"

#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <functional>

namespace {

using ImagePtr = LBGraphic::ImagePtr;

QImage grey(int value)
{
    QImage mask(20, 20, QImage::Format_Grayscale8);
    mask.fill(value);
    for (int y = 0; y < 20; ++y) // a black stripe down the left, so placement shows
        for (int x = 0; x < 4; ++x)
            mask.scanLine(y)[x] = 0;
    return mask;
}

// Half-transparent red over a green stripe across the top.
QImage redPixels()
{
    QImage pixels(20, 20, QImage::Format_ARGB32);
    pixels.fill(qRgba(255, 0, 0, 128));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 20; ++x)
            pixels.setPixel(x, y, qRgba(0, 200, 0, 255));
    return pixels;
}

ImagePtr picture(const QImage& pixels)
{
    return platform::Image::fromBitmap(pixels, QSizeF(pixels.size()));
}

// The largest difference of any channel between two renderings.
int difference(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return 256;
    int most = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    }
    return most;
}

class CanvasCopies : public CanvasTest
{
protected:
    ~CanvasCopies() override
    {
        for (const QString& path : std::as_const(_pastedFiles))
            QFile::remove(path);
    }

    QString file(const QString& name, const QImage& pixels)
    {
        const QString path = QDir(_files.path()).filePath(name);
        EXPECT_TRUE(pixels.save(path, "PNG"));
        return path;
    }

    // The graphic drawn alone at the page's origin, moved there from wherever it is.
    QImage rendering(const LBGraphic& graphic)
    {
        platform::OffscreenContext offscreen(QSize(120, 120), 1.0);
        offscreen.painter()->translate(-graphic.bounds().topLeft() + QPointF(20, 20));
        const_cast<LBGraphic&>(graphic).drawInView(nullptr, false);
        return offscreen.image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }

    LBGraphicPtr duplicated(const LBGraphicPtr& original)
    {
        canvas->clearSelection();
        canvas->selectGraphic(original);
        canvas->duplicate(nullptr);
        return onlySelected(original);
    }

    LBGraphicPtr pasted(const LBGraphicPtr& original)
    {
        canvas->clearSelection();
        canvas->selectGraphic(original);
        canvas->copy(nullptr);
        canvas->paste(nullptr);
        const LBGraphicPtr copy = onlySelected(original);
        // Copying put the picture files beside the clipboard.
        for (const qint64 type :
             {LBGraphic::FillImageType, LBGraphic::ObjectMaskType, LBGraphic::ExternalMaskType}) {
            const QString path = copy ? copy->imageFilePathOfType(type) : QString();
            if (!path.isEmpty() && QFileInfo(path).path() != QDir(_files.path()).path())
                _pastedFiles.append(path);
        }
        return copy;
    }

private:
    LBGraphicPtr onlySelected(const LBGraphicPtr& original)
    {
        const QList<LBGraphicPtr> selected = canvas->selectedGraphics(true);
        EXPECT_EQ(selected.size(), 1);
        return selected.size() == 1 && selected.first() != original ? selected.first() : nullptr;
    }

    QTemporaryDir _files;
    QStringList _pastedFiles;
};

} // namespace

TEST_F(CanvasCopies, EveryWayOfCopyingGivesAGraphicThatLooksLikeItsOriginal)
{
    const QString fillFile = file(QStringLiteral("red.png"), redPixels());
    const QString maskFile = file(QStringLiteral("mask.png"), grey(128));
    const auto fill = [](LBGraphic& g) {
        g.setImage(picture(redPixels()), LBGraphic::FillImageType);
    };
    struct Case
    {
        const char* what;
        std::function<void(LBGraphic&)> make;
    };
    const Case cases[] = {
        {"picture alone", fill},
        {"object mask",
         [&](LBGraphic& g) {
             fill(g);
             g.setImage(picture(grey(128)), LBGraphic::ObjectMaskType);
         }},
        {"external mask",
         [&](LBGraphic& g) {
             fill(g);
             g.setImage(picture(grey(100)), LBGraphic::ExternalMaskType);
         }},
        {"object and external masks",
         [&](LBGraphic& g) {
             fill(g);
             g.setImage(picture(grey(128)), LBGraphic::ObjectMaskType);
             g.setImage(picture(grey(100)), LBGraphic::ExternalMaskType);
         }},
        {"picture file under an object mask",
         [&](LBGraphic& g) {
             g.setImageFilePath(fillFile, true, false, LBGraphic::FillImageType);
             g.setImage(picture(grey(128)), LBGraphic::ObjectMaskType);
         }},
        {"picture file under an external mask",
         [&](LBGraphic& g) {
             g.setImageFilePath(fillFile, true, false, LBGraphic::FillImageType);
             g.setImage(picture(grey(100)), LBGraphic::ExternalMaskType);
         }},
        {"object mask file over a picture",
         [&](LBGraphic& g) {
             fill(g);
             g.setImageFilePath(maskFile, true, false, LBGraphic::ObjectMaskType);
         }},
        {"external mask file over a picture file",
         [&](LBGraphic& g) {
             g.setImageFilePath(fillFile, true, false, LBGraphic::FillImageType);
             g.setImageFilePath(maskFile, true, false, LBGraphic::ExternalMaskType);
         }},
        {"mask effect with a mask image",
         [&](LBGraphic& g) {
             fill(g);
             g.setMaskImage(grey(200).convertToFormat(QImage::Format_RGB32));
             g.addEffect(33, 30, LBGraphic::DefaultEffectModifier, LBGraphic::DefaultEffectModifier,
                         LBGraphic::DefaultEffectModifier, LBGraphic::DefaultEffectModifier,
                         LBGraphic::DefaultEffectModifier,
                         QPointF(LBGraphic::DefaultEffectLocationX, 0),
                         QPointF(LBGraphic::DefaultEffectLocationX, 0),
                         QPointF(LBGraphic::DefaultEffectLocationX, 0),
                         QPointF(LBGraphic::DefaultEffectLocationX, 0), QColor(), false);
         }},
        {"colour mask",
         [&](LBGraphic& g) {
             fill(g);
             g.setColorMaskType(1, 50, 20, 80, 10, 30);
         }},
        {"adjustments, an effect, a shadow and a reflection under an object mask",
         [&](LBGraphic& g) {
             fill(g);
             g.setImage(picture(grey(128)), LBGraphic::ObjectMaskType);
             g.setBrightness(0.2);
             g.setContrast(1.3);
             g.addEffect(3, 50, LBGraphic::DefaultEffectModifier, LBGraphic::DefaultEffectModifier,
                         LBGraphic::DefaultEffectModifier, LBGraphic::DefaultEffectModifier,
                         LBGraphic::DefaultEffectModifier,
                         QPointF(LBGraphic::DefaultEffectLocationX, 0),
                         QPointF(LBGraphic::DefaultEffectLocationX, 0),
                         QPointF(LBGraphic::DefaultEffectLocationX, 0),
                         QPointF(LBGraphic::DefaultEffectLocationX, 0), QColor(Qt::blue), false);
             g.setShadowInfo(1, 4, 3, 45, 0.6, QColor(Qt::black));
             g.setReflectionEnabled(true);
         }},
    };
    for (const Case& c : cases) {
        auto original = add(QStringLiteral("original"), QRectF(100, 100, 40, 40));
        original->setFillType(0);
        original->setDrawsStroke(false);
        original->setCropImageBounds(QRectF(95, 95, 50, 50), QRectF(100, 100, 40, 40));
        c.make(*original);
        const QImage shown = rendering(*original);
        ASSERT_GT(qAlpha(shown.pixel(40, 45)), 0) << c.what; // something is drawn

        const LBGraphicPtr copied = original->copy();
        copied->setDocument(document.get());
        copied->copyImageFilePathsFromGraphic(*original);
        const struct
        {
            const char* how;
            LBGraphicPtr copy;
        } copies[] = {
            {"copy", copied},
            {"Duplicate", duplicated(original)},
            {"Copy and Paste", pasted(original)},
        };
        for (const auto& [how, copy] : copies) {
            ASSERT_TRUE(copy) << c.what << ", " << how;
            EXPECT_LE(difference(rendering(*copy), shown), 2) << c.what << ", " << how;
        }
        // Rendering the copies changed nothing of the original.
        EXPECT_LE(difference(rendering(*original), shown), 0) << c.what;
    }
}

TEST_F(CanvasCopies, ARedFillUnderAGreyObjectMaskKeepsItsAlphaInTheCopy)
{
    auto original = add(QStringLiteral("original"), QRectF(100, 100, 40, 40));
    QImage red(4, 4, QImage::Format_ARGB32);
    red.fill(qRgba(255, 0, 0, 255));
    original->setImage(picture(red), LBGraphic::FillImageType);
    original->setImage(picture(grey(128).copy(10, 10, 4, 4)), LBGraphic::ObjectMaskType);
    const auto alpha = [](const LBGraphic& g) {
        return qAlpha(g.imageOfType(LBGraphic::FillImageType)->bitmap().pixel(1, 1));
    };
    ASSERT_EQ(alpha(*original), 128);
    EXPECT_EQ(alpha(*original->copy()), 128);
    EXPECT_EQ(alpha(*duplicated(original)), 128);
    EXPECT_EQ(alpha(*pasted(original)), 128);
}
