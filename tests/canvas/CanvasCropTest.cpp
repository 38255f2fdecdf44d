// Crop mode (entering, adjusting, finishing, cancelling, uncropping and re-cropping, one
// undo step each), placeholders (defining, the settings sheet, filling with a picture, by
// drops too) and making the downsampled pictures of a saved package permanent.

#include "CanvasTestSupport.h"

#include "graphics/NamedImage.h"
#include "platform/core/Error.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "shapes/LBImage.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QMimeData>
#include <QUrl>

#include <cmath>

namespace {

class CanvasCrop : public CanvasTest
{
protected:
    CanvasCrop()
    {
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts.append(alert);
            return answer;
        });
    }
    ~CanvasCrop() override
    {
        platform::Alert::setResponder({});
        LBPlaceholderSettings::setFactory({});
    }

    static LBGraphic::ImagePtr bitmap(int w, int h)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::green);
        return platform::Image::fromBitmap(image, QSizeF(w, h));
    }
    // A picture file of w × h pixels at 72 dpi.
    QString pictureFile(const QString& name, int w, int h)
    {
        const QString path = _files.filePath(name);
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(Qt::blue);
        image.setDotsPerMeterX(2835);
        image.setDotsPerMeterY(2835);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    }
    std::shared_ptr<LBImage> photo(const QRectF& bounds, qint64 index = 0)
    {
        auto image = std::make_shared<LBImage>();
        image->setBounds(bounds);
        image->setImage(bitmap(int(bounds.width()), int(bounds.height())),
                        LBGraphic::FillImageType);
        insert(image, index);
        name(image, QStringLiteral("photo"));
        return image;
    }
    void insert(const LBGraphicPtr& graphic, qint64 index = 0)
    {
        undo()->disableUndoRegistration();
        graphic->setDocument(document.get());
        document->insertGraphic(graphic, index, 1);
        undo()->enableUndoRegistration();
    }
    // A finished crop of a photo into a rectangle of the bounds.
    std::shared_ptr<LBRectangle> imageCrop(const QRectF& bounds, bool stroke)
    {
        auto shape = add("crop", bounds);
        shape->setFillType(0);
        shape->setDrawsStroke(stroke);
        shape->setImage(bitmap(40, 40), LBGraphic::FillImageType);
        shape->setCropImageBounds(bounds.adjusted(-10, -10, 10, 10), bounds);
        return shape;
    }
    qsizetype count() const { return document->pageGraphics().at(1).size(); }
    int level() const { return undo()->groupingLevel(); }

    QList<platform::Alert> alerts;
    platform::Alert::Response answer;

private:
    QTemporaryDir _files;
};

// A settings sheet the test fills and dismisses.
class TestSheet : public LBPlaceholderSettings
{
public:
    TestSheet() : LBPlaceholderSettings(false) {}
    void beginSheetForWindow(QWidget*) override { ++begun; }
    int begun = 0;
};

void expectRect(const QRectF& actual, const QRectF& expected, const char* what)
{
    EXPECT_NEAR(actual.x(), expected.x(), 0.01) << what;
    EXPECT_NEAR(actual.y(), expected.y(), 0.01) << what;
    EXPECT_NEAR(actual.width(), expected.width(), 0.01) << what;
    EXPECT_NEAR(actual.height(), expected.height(), 0.01) << what;
}

} // namespace

// ==== Crop mode ==========================================================================

TEST_F(CanvasCrop, CropMakesARectangleAndFinishingIsOneStep)
{
    auto p = photo(QRectF(0, 0, 300, 150));
    canvas->selectGraphic(p);
    closeStep();
    const int steps = undo()->undoCount();
    canvas->crop();
    ASSERT_EQ(canvas->croppingImage(), p.get());
    LBGraphic* frame = canvas->croppingShape();
    EXPECT_EQ(frame->bounds(), QRectF(50, 25, 200, 100));
    EXPECT_EQ(canvas->selectedGraphics(true), QList<LBGraphicPtr>({p}));
    EXPECT_EQ(level(), 1);
    EXPECT_EQ(p->cropGraphic().get(), frame);

    // A click elsewhere finishes: the frame takes the photo.
    canvas->finishCroppingImage();
    EXPECT_EQ(level(), 0);
    EXPECT_EQ(undoName(), undoStrings("Crop"));
    EXPECT_EQ(undo()->undoCount(), steps + 1);
    ASSERT_EQ(count(), 1);
    const LBGraphicPtr crop = document->pageGraphics().at(1).first();
    EXPECT_TRUE(crop->isImageCrop());
    QRectF image, shape;
    crop->getCropImageBounds(&image, &shape);
    EXPECT_EQ(image, QRectF(0, 0, 300, 150));
    EXPECT_EQ(shape, QRectF(50, 25, 200, 100));
    EXPECT_EQ(crop->fillImageScaling(), LBGraphic::FillImageAsCropped);

    // One undo brings the photo back and leaves crop mode's state as it was before.
    undo()->undo();
    EXPECT_EQ(document->pageGraphics().at(1), LBDocument::Layer({p}));
    EXPECT_EQ(canvas->croppingImage(), nullptr);
    EXPECT_EQ(p->cropGraphic(), nullptr);
}

TEST_F(CanvasCrop, APlaceholderShapeFitsThePhotoTurningItWhenElongated)
{
    struct Case
    {
        QRectF shape;
        QRectF photoBounds;
        double rotation;
    };
    for (const Case& c : {Case{QRectF(300, 300, 200, 100), QRectF(350, 250, 100, 200), -90.0},
                          Case{QRectF(300, 300, 120, 100), QRectF(300, 300, 120, 100), 0.0}}) {
        document->deleteGraphicsOnLayer(1);
        auto p = photo(QRectF(0, 0, 150, 300));
        auto shape = add("shape", c.shape);
        shape->setIsPlaceholder(true);
        shape->setPlaceholderTypeString(QStringLiteral("Custom"));
        canvas->clearSelection();
        canvas->selectGraphic(p);
        canvas->selectGraphic(shape);
        EXPECT_EQ(canvas->cropWithShapeCommandType(), 1);
        canvas->cropWithShape(nullptr);
        ASSERT_EQ(canvas->croppingImage(), p.get());
        EXPECT_TRUE(canvas->croppingWithShapeOrText());
        EXPECT_EQ(p->bounds(), c.photoBounds);
        EXPECT_EQ(p->rotation(), c.rotation);
        canvas->cancelCrop();
        EXPECT_EQ(level(), 0);
    }
}

TEST_F(CanvasCrop, AShapeCarryingTextIsNoCropShape)
{
    // Such a shape draws its letters only: the photo cropped into it would vanish.
    auto p = photo(QRectF(0, 0, 150, 300));
    auto shape = add("shape", QRectF(300, 300, 200, 100));
    shape->addTextToShape(platform::AttributedString(QStringLiteral("Around")));
    canvas->clearSelection();
    canvas->selectGraphic(p);
    canvas->selectGraphic(shape);
    EXPECT_EQ(canvas->cropWithShapeCommandType(), 0);
    shape->removeTextFromShape();
    EXPECT_EQ(canvas->cropWithShapeCommandType(), 1);
}

TEST_F(CanvasCrop, AdjustmentsOfThePane)
{
    auto p = photo(QRectF(0, 0, 100, 200)); // higher than wide
    canvas->selectGraphic(p);
    canvas->crop();
    for (const auto& [degrees, expected] :
         {std::pair{45.9, 45.0}, std::pair{-12.5, -12.0}, std::pair{0.0, 0.0}}) {
        canvas->rotateCroppedImageByDegrees(degrees);
        EXPECT_EQ(p->rotation(), expected);
    }
    canvas->constrainCropProportionsToRatio(1.5);
    const QRectF frame = canvas->croppingShape()->bounds();
    EXPECT_DOUBLE_EQ(frame.height() / frame.width(), 1.5);
    EXPECT_EQ(frame, QRectF(0, 25, 100, 150));
    EXPECT_TRUE(canvas->croppingShape()->constrainProportions());

    canvas->zoomCroppedImageToWidth(200);
    EXPECT_EQ(p->bounds(), QRectF(-50, -100, 200, 400));
    canvas->tileCroppedImage(true);
    EXPECT_EQ(canvas->croppingShape()->bounds(), p->bounds()); // the frame covers the photo
    LBGraphic* shape = canvas->croppingShape();
    canvas->finishCroppingImage();
    EXPECT_EQ(shape->fillImageScaling(), LBGraphic::FillImageTiled);
    EXPECT_FALSE(canvas->tilesCroppedImage());
}

TEST_F(CanvasCrop, CancellingRemovesOnlyCropGraphicsThatShowNothing)
{
    struct Case
    {
        const char* what;
        bool stroke;
        qint64 fill;
        bool stays;
    };
    for (const Case& c : {Case{"bare shape", false, 0, false}, Case{"stroked", true, 0, true},
                          Case{"filled", false, 1, true}}) {
        document->deleteGraphicsOnLayer(1);
        auto p = photo(QRectF(0, 0, 100, 100));
        auto shape = add("shape", QRectF(10, 10, 50, 50));
        shape->setDrawsStroke(c.stroke);
        shape->setFillType(c.fill);
        canvas->clearSelection();
        canvas->selectGraphic(shape);
        canvas->selectGraphic(p);
        canvas->cropWithShape(nullptr);
        EXPECT_EQ(shape->fillType(), 0) << c.what; // drawn unfilled while cropping
        canvas->delete_(nullptr);                  // delete cancels
        EXPECT_EQ(canvas->croppingImage(), nullptr) << c.what;
        EXPECT_EQ(document->indexOfGraphic(shape, 1) >= 0, c.stays) << c.what;
        EXPECT_EQ(shape->fillType(), c.fill) << c.what;
        EXPECT_GE(document->indexOfGraphic(p, 1), 0) << c.what;
        EXPECT_EQ(p->cropGraphic(), nullptr) << c.what;
        EXPECT_EQ(level(), 0) << c.what;
    }
}

TEST_F(CanvasCrop, UncropInPlaceOrBehind)
{
    for (const bool stroke : {false, true}) {
        document->deleteGraphicsOnLayer(1);
        auto crop = imageCrop(QRectF(100, 100, 50, 50), stroke);
        crop->setImage(bitmap(4, 4), LBGraphic::ExternalMaskType);
        canvas->clearSelection();
        canvas->selectGraphic(crop);
        EXPECT_EQ(canvas->cropUncropCommandType(), 2);
        canvas->cropUncrop(nullptr);
        EXPECT_EQ(undoName(), undoStrings("Uncrop"));
        const LBDocument::Layer& layer = document->pageGraphics().at(1);
        const auto* photo = dynamic_cast<LBImage*>(layer.last().get());
        ASSERT_NE(photo, nullptr);
        EXPECT_EQ(photo->bounds(), QRectF(90, 90, 70, 70));
        EXPECT_NE(photo->imageOfType(LBGraphic::ExternalMaskType), nullptr);
        EXPECT_EQ(layer.size(), stroke ? 2 : 1) << "the stroked crop stays in front";
    }
}

TEST_F(CanvasCrop, CancellingARecropTakesBackItsStepsOnly)
{
    auto other = add("other", QRectF(400, 400, 20, 20));
    auto crop = imageCrop(QRectF(100, 100, 50, 50), true);
    canvas->selectGraphic(other);
    other->moveBy(QPointF(5, 5));
    undo()->setActionName(QStringLiteral("Nudge"));
    closeStep();
    canvas->clearSelection();
    canvas->selectGraphic(crop);
    closeStep();
    const QString lastStep = undo()->undoActionName();
    const QRectF before = crop->bounds();

    canvas->recrop();
    ASSERT_NE(canvas->croppingImage(), nullptr);
    EXPECT_TRUE(canvas->recropping());
    EXPECT_EQ(canvas->croppingShape(), crop.get());
    canvas->cancelOperation(nullptr); // Escape
    EXPECT_EQ(canvas->croppingImage(), nullptr);
    EXPECT_FALSE(canvas->recropping());
    EXPECT_EQ(level(), 0);
    EXPECT_EQ(count(), 2);
    EXPECT_TRUE(crop->isImageCrop());
    EXPECT_EQ(crop->bounds(), before);
    EXPECT_EQ(other->bounds().topLeft(), QPointF(405, 405)); // the unrelated step stays
    EXPECT_EQ(undoName(), lastStep);
}

TEST_F(CanvasCrop, NoUndoGroupOutlivesCropMode)
{
    auto p = photo(QRectF(0, 0, 100, 100));
    canvas->selectGraphic(p);
    canvas->crop();
    canvas->clearSelection(); // finishes
    closeStep();
    EXPECT_EQ(level(), 0);
    canvas->selectGraphic(p = photo(QRectF(0, 0, 100, 100)));
    canvas->crop();
    ASSERT_EQ(level(), 1);
    scrollView.reset(); // the canvas goes mid-crop
    EXPECT_EQ(level(), 0);
    EXPECT_FALSE(undo()->undoActionName().isNull());
}

// ==== Placeholders =======================================================================

TEST_F(CanvasCrop, TextPlaceholderKindAppliesToTheSelectedTextBoxes)
{
    auto box = addTextBox(QRectF(10, 10, 100, 30), QStringLiteral("a"));
    auto other = add("r", QRectF(200, 200, 40, 40));
    canvas->selectGraphic(box);
    canvas->selectGraphic(other);
    NotificationCount hides(LBHideHUD), shows(LBShowHUD);

    answer = {platform::Alert::ThirdButtonReturn, false}; // Cancel
    canvas->defineAsPlaceholder(nullptr);
    EXPECT_FALSE(box->isPlaceholder());
    EXPECT_EQ(shows.count, 1);
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_EQ(alerts.first().buttons.size(), 3);

    answer = {platform::Alert::SecondButtonReturn, false};
    canvas->defineAsPlaceholder(nullptr);
    EXPECT_TRUE(box->isPlaceholder());
    EXPECT_EQ(box->placeholderTypeString(), QStringLiteral("Text+Image"));
    EXPECT_FALSE(other->isPlaceholder());
    EXPECT_EQ(hides.count, 2);
    EXPECT_EQ(shows.count, 2);
}

TEST_F(CanvasCrop, TheSettingsSheetWritesThePlaceholders)
{
    TestSheet* sheet = nullptr;
    LBPlaceholderSettings::setFactory([&sheet](bool) {
        auto made = std::make_unique<TestSheet>();
        sheet = made.get();
        return made;
    });
    auto stroked = add("stroked", QRectF(10, 10, 50, 50));
    stroked->setDrawsStroke(true);
    stroked->setStrokeLineWidth(3.0);
    auto bare = add("bare", QRectF(100, 10, 50, 50));
    bare->setDrawsStroke(false);
    canvas->selectGraphic(stroked);
    canvas->selectGraphic(bare);

    // Cancel changes nothing and shows the palette again.
    NotificationCount shows(LBShowHUD);
    canvas->defineAsPlaceholder(nullptr);
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->begun, 1);
    sheet->dismiss(false);
    EXPECT_EQ(canvas->placeholderSheet(), nullptr);
    EXPECT_FALSE(stroked->isPlaceholder());
    EXPECT_EQ(shows.count, 1);

    // Pattern 3, a vertical prompt at sheet location 1.
    canvas->defineAsPlaceholder(nullptr);
    sheet->setTypeString(QStringLiteral("Frame"));
    sheet->setPromptString(QStringLiteral("Drop here"));
    sheet->setPromptLocation(1);
    sheet->setPromptIsVertical(true);
    sheet->setPatternIndex(3);
    sheet->dismiss(true);
    EXPECT_EQ(undoName(), undoStrings("Define as Image Placeholder"));
    for (const auto& g : {stroked, bare}) {
        EXPECT_TRUE(g->isPlaceholder());
        EXPECT_TRUE(g->drawsPlaceholderText());
        EXPECT_EQ(g->placeholderLabelPosition(), 4);
        EXPECT_EQ(g->imageOfType(LBGraphic::FillImageType),
                  namedImage(QStringLiteral("PlaceholderPattern3")));
        EXPECT_EQ(g->fillImageScaling(), LBGraphic::FillImageTiled);
    }
    // The stroke rule: a graphic with its own stroke keeps it.
    EXPECT_EQ(stroked->strokeLineWidth(), 3.0);
    EXPECT_EQ(bare->strokeLineWidth(), 1.0);
    EXPECT_TRUE(bare->drawsStroke());

    // Edited: the vertical position shows as location 1 again.
    canvas->clearSelection();
    canvas->selectGraphic(bare);
    canvas->editPlaceholderSettings(nullptr);
    EXPECT_EQ(sheet->promptLocation(), 1);
    EXPECT_EQ(sheet->patternIndex(), 3);
    // No pattern: a "Photo" keeps its picture, any other type drops it.
    sheet->setPatternIndex(0);
    sheet->setTypeString(QStringLiteral("Photo"));
    sheet->dismiss(true);
    EXPECT_NE(bare->imageOfType(LBGraphic::FillImageType), nullptr);
    canvas->editPlaceholderSettings(nullptr);
    sheet->setPatternIndex(0);
    sheet->setTypeString(QStringLiteral("Frame"));
    sheet->dismiss(true);
    EXPECT_EQ(bare->imageOfType(LBGraphic::FillImageType), nullptr);

    // Undefining drops the fill only where the look was drawn.
    stroked->setDrawPlaceholderText(false);
    canvas->selectGraphic(stroked);
    QObject on;
    on.setProperty("state", 1);
    canvas->defineAsPlaceholder(&on);
    EXPECT_FALSE(stroked->isPlaceholder());
    EXPECT_NE(stroked->imageOfType(LBGraphic::FillImageType), nullptr);
    EXPECT_FALSE(bare->isPlaceholder());
}

TEST_F(CanvasCrop, PhotoRectanglesCoverOrFit)
{
    expectRect(LBGraphicView::placeholderPhotoRect(QSizeF(400, 300), QRectF(0, 0, 100, 100), true),
               QRectF(-16.667, 0, 133.333, 100), "Photo");
    expectRect(LBGraphicView::placeholderPhotoRect(QSizeF(400, 300), QRectF(0, 0, 100, 100), false),
               QRectF(0, 12.5, 100, 75), "Text+Image");
}

TEST_F(CanvasCrop, AnImagePlaceholderIsCoveredAndCroppedToItself)
{
    auto placeholder = std::make_shared<LBImage>();
    placeholder->setBounds(QRectF(0, 0, 100, 100));
    placeholder->setIsPlaceholder(true);
    insert(placeholder);
    canvas->selectGraphic(placeholder);
    EXPECT_TRUE(canvas->replacePlaceholderGraphic(placeholder, bitmap(400, 300), QString(),
                                                  QPointF(50, 50)));
    expectRect(placeholder->bounds(), QRectF(-16.667, 0, 133.333, 100), "scaled");
    ASSERT_EQ(canvas->croppingImage(), placeholder.get());
    EXPECT_EQ(canvas->croppingShape()->bounds(), QRectF(0, 0, 100, 100));
    canvas->finishCroppingImage();
    EXPECT_EQ(level(), 0);
}

TEST_F(CanvasCrop, ShapePlaceholdersAskOnlyWhenTheyShowAPhoto)
{
    auto shape = add("shape", QRectF(0, 0, 100, 100));
    shape->setIsPlaceholder(true);
    shape->setDrawPlaceholderText(true);
    canvas->selectGraphic(shape);
    EXPECT_FALSE(
        canvas->replacePlaceholderGraphic(shape, bitmap(400, 300), QString(), QPointF(50, 50)));
    EXPECT_TRUE(alerts.isEmpty());
    EXPECT_FALSE(shape->drawsPlaceholderText());
    // It went on into a re-crop that places the photo; Return finishes it.
    ASSERT_NE(canvas->croppingImage(), nullptr);
    canvas->insertNewline(nullptr);
    EXPECT_EQ(level(), 0);
    ASSERT_TRUE(shape->isImageCrop());
    QRectF image, frame;
    shape->getCropImageBounds(&image, &frame);
    expectRect(image, QRectF(-16.667, 0, 133.333, 100), "photo rectangle");

    // Now it shows one: asked; "Place On Canvas" puts the picture centred on the drop.
    const LBGraphic::ImagePtr before = shape->imageOfType(LBGraphic::FillImageType);
    answer = {platform::Alert::SecondButtonReturn, false};
    EXPECT_FALSE(
        canvas->replacePlaceholderGraphic(shape, bitmap(40, 20), QString(), QPointF(300, 300)));
    ASSERT_EQ(alerts.size(), 1);
    EXPECT_TRUE(alerts.first().showsSuppressionButton == false);
    EXPECT_EQ(shape->imageOfType(LBGraphic::FillImageType), before);
    const LBGraphicPtr placed = document->pageGraphics().at(1).first();
    EXPECT_EQ(placed->bounds(), QRectF(280, 290, 40, 20));
}

TEST_F(CanvasCrop, KitPicturesDroppedOnPlaceholders)
{
    const QString file = pictureFile("kit.png", 400, 300);
    auto target = add("target", QRectF(100, 100, 100, 100));
    target->setIsPlaceholder(true);
    target->setDrawPlaceholderText(true);
    target->setPlaceholderTypeString(QStringLiteral("Photo"));
    auto front = addTextBox(QRectF(120, 120, 50, 30), QStringLiteral("over"));
    name(front, QStringLiteral("text"));

    const auto kitDrop = [this](const QString& path, const QPointF& at) {
        QMimeData data;
        platform::Pasteboard pasteboard(&data);
        pasteboard.declareTypes(
            {QStringLiteral("Quarn Print Line 1"), platform::FilenamesPboardType});
        pasteboard.setData(QByteArray("x"), QStringLiteral("Quarn Print Line 1"));
        pasteboard.setFilenames({path});
        const QPoint position = canvas->convertToWidget(at).toPoint();
        QDragEnterEvent enter(position, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &enter);
        QDragMoveEvent move(position, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &move);
        const bool targeted = canvas->selectedGraphics(true).size() == 1
                              && canvas->selectedGraphics(true).first()->isPlaceholder();
        QDropEvent drop(QPointF(position), Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(canvas, &drop);
        return targeted;
    };

    // A file that does not read changes nothing, and names no step.
    closeStep();
    const LBGraphic::ImagePtr art = target->imageOfType(LBGraphic::FillImageType);
    EXPECT_TRUE(kitDrop(QStringLiteral("/nonexistent/missing.png"), QPointF(130, 130)));
    EXPECT_TRUE(target->drawsPlaceholderText());
    EXPECT_EQ(target->imageOfType(LBGraphic::FillImageType), art);
    EXPECT_EQ(target->bounds(), QRectF(100, 100, 100, 100));
    EXPECT_NE(undoName(), undoStrings("Replace Placeholder Image"));

    // The placeholder behind the text box takes the picture.
    EXPECT_TRUE(kitDrop(file, QPointF(130, 130)));
    EXPECT_FALSE(target->drawsPlaceholderText());
    ASSERT_NE(canvas->croppingImage(), nullptr); // placing the photo
    EXPECT_EQ(canvas->croppingShape(), target.get());
    canvas->finishCroppingImage();
    EXPECT_EQ(level(), 0);
    EXPECT_TRUE(target->isImageCrop());
    EXPECT_EQ(QFileInfo(target->imageFilePathOfType(LBGraphic::FillImageType)).suffix(), "png");
    EXPECT_EQ(undoName(), undoStrings("Crop"));

    // A "RegularText" placeholder is never a target.
    front->setIsPlaceholder(true);
    front->setPlaceholderTypeString(QStringLiteral("RegularText"));
    target->setIsPlaceholder(false);
    EXPECT_FALSE(kitDrop(file, QPointF(130, 130)));
}

// ==== Downsampling =======================================================================

TEST_F(CanvasCrop, DownsamplingSwapsTheCopiesInsideTheSavedPackage)
{
    QTemporaryDir folder;
    const auto writePicture = [&](const QString& name, int pixels) {
        // Shown at 60 points: 600 pixels are 720 dpi, 60 pixels 72 dpi.
        QImage image(pixels, pixels * 2 / 3, QImage::Format_RGB32);
        image.fill(Qt::red);
        image.setDotsPerMeterX(2835);
        image.setDotsPerMeterY(2835);
        const QString path = folder.filePath(name);
        EXPECT_TRUE(image.save(path, "PNG"));
        return path;
    };
    const auto place = [&](const QString& file, qint64 page) {
        auto image = std::make_shared<LBImage>();
        image->setBoundsNoOtherChanges(QRectF(0, 0, 60, 40));
        document->insertGraphic(image, 0, 1, page);
        image->setImageFilePath(file, true, false, LBGraphic::FillImageType);
        return image;
    };
    document->setPageCount(2);
    const QString big = writePicture("big.png", 600);
    QFile::copy(big, folder.filePath("Dbig.png")); // a twin beside a file outside the package
    const QByteArray outsideTwin = [&] {
        QFile f(folder.filePath("Dbig.png"));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    const QList<std::shared_ptr<LBImage>> photos = {place(big, 0),
                                                    place(writePicture("large.png", 900), 0),
                                                    place(writePicture("small.png", 60), 0)};
    const auto other = place(writePicture("other.png", 600), 1);

    const QString package = folder.filePath("Card.quarnlb");
    platform::Error error;
    ASSERT_TRUE(document->saveToFile(package, LBDocument::LabelDocumentType,
                                     platform::Document::SaveAsOperation, &error));
    const auto sizeOf = [](const QString& path) { return QImage(path).width(); };
    const QString otherFile = other->imageFilePathOfType(0);
    ASSERT_TRUE(otherFile.startsWith(package));

    const LBGraphicView::DownsampleReport report = canvas->applyDestructiveDownsample(true);
    EXPECT_TRUE(report.saved);
    EXPECT_EQ(report.found, 3);
    EXPECT_EQ(report.downsampled, 2);
    ASSERT_FALSE(alerts.isEmpty());
    EXPECT_EQ(alerts.last().messageText, QStringLiteral("Found 3 images.\rDownsampled 2 images"));
    EXPECT_EQ(platform::UserDefaults::standardUserDefaults().integerForKey("Image Quality"), 150);
    // The two large pictures are now 300 dpi (250 and 250 pixels for 60 points), in place.
    EXPECT_EQ(sizeOf(photos.at(0)->imageFilePathOfType(0)), 250);
    EXPECT_EQ(sizeOf(photos.at(1)->imageFilePathOfType(0)), 250);
    EXPECT_EQ(sizeOf(photos.at(2)->imageFilePathOfType(0)), 60);
    EXPECT_FALSE(QFileInfo::exists(
        QFileInfo(photos.at(0)->imageFilePathOfType(0))
            .dir()
            .filePath("D" + QFileInfo(photos.at(0)->imageFilePathOfType(0)).fileName())));
    // Another page and the files outside the package are left alone.
    EXPECT_EQ(sizeOf(otherFile), 600);
    EXPECT_EQ(sizeOf(big), 600);
    QFile twin(folder.filePath("Dbig.png"));
    ASSERT_TRUE(twin.open(QIODevice::ReadOnly));
    EXPECT_EQ(twin.readAll(), outsideTwin);

    // A save that fails swaps nothing.
    const QString file = photos.at(0)->imageFilePathOfType(0);
    document->setFileName(QStringLiteral("/proc/no/such/Card.quarnlb"));
    const LBGraphicView::DownsampleReport failed = canvas->applyDestructiveDownsample(false);
    EXPECT_FALSE(failed.saved);
    EXPECT_EQ(failed.downsampled, 0);
    EXPECT_EQ(photos.at(0)->imageFilePathOfType(0), file);
}

TEST_F(CanvasCrop, ReRenderedFillPicturesReplaceTheirGraphicsUpright)
{
    // A crop whose picture is red on top and blue below.
    QImage picture(40, 40, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 40; ++x)
            picture.setPixel(x, y, qRgb(255, 0, 0));
    auto crop = add("crop", QRectF(100, 100, 40, 40));
    crop->setFillType(0);
    crop->setImage(platform::Image::fromBitmap(picture, QSizeF(40, 40)), LBGraphic::FillImageType);
    crop->setCropImageBounds(QRectF(100, 100, 40, 40), QRectF(100, 100, 40, 40));
    canvas->selectGraphic(crop);
    NotificationCount quality(LBImageQualityChanged);

    canvas->applyDestructiveCrop(false, false);
    EXPECT_EQ(document->indexOfGraphic(crop, 1), -1);
    ASSERT_EQ(count(), 1);
    const LBGraphicPtr copy = document->pageGraphics().at(1).first();
    EXPECT_EQ(copy->bounds(), crop->bounds());
    const QString file = copy->imageFilePathOfType(LBGraphic::FillImageType);
    ASSERT_EQ(QFileInfo(file).suffix(), QStringLiteral("png"));
    const QImage written(file);
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(QColor(written.pixel(written.width() / 2, 2)), QColor(Qt::red)); // upright
    EXPECT_EQ(QColor(written.pixel(written.width() / 2, written.height() - 3)), QColor(Qt::blue));
    EXPECT_EQ(platform::UserDefaults::standardUserDefaults().integerForKey("Image Quality"), 150);
    EXPECT_EQ(quality.count, 2); // raised, then restored
}

TEST_F(CanvasCrop, ClicksAndDragsInCropMode)
{
    auto p = photo(QRectF(100, 100, 300, 150));
    add("elsewhere", QRectF(500, 500, 40, 40));
    canvas->selectGraphic(p);
    canvas->crop();
    LBGraphic* frame = canvas->croppingShape();
    ASSERT_EQ(frame->bounds(), QRectF(150, 125, 200, 100));

    // Dragging the photo (outside the frame) moves it alone, under the pointer, without a
    // drag and drop; dragging inside the frame moves the frame.
    dragAlong({QPointF(120, 110), QPointF(130, 110), QPointF(150, 130)});
    EXPECT_EQ(canvas->croppingImage(), p.get());
    EXPECT_EQ(p->bounds(), QRectF(130, 120, 300, 150));
    EXPECT_EQ(frame->bounds(), QRectF(150, 125, 200, 100));
    dragAlong({QPointF(200, 150), QPointF(210, 150), QPointF(205, 160)});
    EXPECT_EQ(canvas->croppingImage(), p.get());
    EXPECT_EQ(frame->bounds(), QRectF(155, 135, 200, 100));
    EXPECT_EQ(p->bounds(), QRectF(130, 120, 300, 150));

    // A click on another graphic finishes the crop.
    click(QPointF(520, 520));
    EXPECT_EQ(canvas->croppingImage(), nullptr);
    EXPECT_TRUE(frame->isImageCrop());
    closeStep();
    EXPECT_EQ(level(), 0);
}
