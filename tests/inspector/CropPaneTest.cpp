// The Crop pane over a real crop on the canvas: what the pane shows when a crop begins,
// the ratio pop-up (ratios, orientation, tiling, what is stored), the custom ratio fields,
// the dial, the zoom limits, the palette's heights by type, finishing and cancelling.

#include "InspectorTestSupport.h"

#include "controls/LBCircularSlider.h"
#include "controls/LBCompImageButton.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDCropTools.h"
#include "platform/core/TextForms.h"
#include "platform/drawing/Image.h"

#include <QAction>
#include <QIcon>
#include <QLineEdit>
#include <QMenu>
#include <QPropertyAnimation>
#include <QTest>

#include <cmath>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

class CropPane : public InspectorTest
{
protected:
    CropPane()
    {
        HUDWindowController::registerCropPane();
        LBProcessState::setInspectorPalette(palette.get());
        defaults().registerDefaults({{QStringLiteral("Crop Constraint Type"), 0},
                                     {QStringLiteral("Crop Constraint Custom Ratio"),
                                      platform::stringFromSize(QSizeF(6, 4))}});
        defaults().removeObjectForKey(QStringLiteral("Crop Constraint Type"));
        defaults().removeObjectForKey(QStringLiteral("Crop Constraint Custom Ratio"));
    }
    ~CropPane() override
    {
        LBProcessState::setInspectorPalette(nullptr);
        defaults().removeObjectForKey(QStringLiteral("Crop Constraint Type"));
        defaults().removeObjectForKey(QStringLiteral("Crop Constraint Custom Ratio"));
    }

    // A photo of w × h points on the page, selected.
    std::shared_ptr<LBImage> photo(double w = 300, double h = 200)
    {
        QImage bitmap(int(w), int(h), QImage::Format_RGB32);
        bitmap.fill(Qt::green);
        auto image = std::make_shared<LBImage>();
        image->setImage(platform::Image::fromBitmap(bitmap, QSizeF(w, h)),
                        LBGraphic::FillImageType);
        image->setDocument(document.get());
        place(image, QRectF(100, 100, w, h));
        selectOnly({image});
        return image;
    }
    // Crops the selected photo with a rectangle of its own.
    HUDCropTools* startCrop()
    {
        canvas->crop();
        return pane();
    }
    HUDCropTools* pane() const { return dynamic_cast<HUDCropTools*>(palette->currentTools()); }
    double maskRatio() const
    {
        const QRectF mask = canvas->croppingShape()->bounds();
        return mask.width() / mask.height();
    }
    double windowHeight() const { return palette->window()->geometry().height(); }
};

} // namespace

TEST(CropRules, RatiosTypesHeightsZoomLimitsAndRotationTexts)
{
    const QSizeF custom(6, 4);
    EXPECT_DOUBLE_EQ(HUDCropTools::ratioForItem(0, false, custom), 0.0);
    EXPECT_DOUBLE_EQ(HUDCropTools::ratioForItem(3, false, custom), 4.0 / 3.0);
    EXPECT_DOUBLE_EQ(HUDCropTools::ratioForItem(3, true, custom), 0.75);
    EXPECT_DOUBLE_EQ(HUDCropTools::ratioForItem(7, true, custom), 0.5625);
    // Square and custom read the same both ways.
    EXPECT_DOUBLE_EQ(HUDCropTools::ratioForItem(8, true, custom), 1.0);
    EXPECT_DOUBLE_EQ(HUDCropTools::ratioForItem(9, true, custom), 1.5);
    EXPECT_LT(HUDCropTools::ratioForItem(13, false, custom), 0.0);

    EXPECT_EQ(HUDCropTools::windowTypeForItem(9, false), 1);
    EXPECT_EQ(HUDCropTools::windowTypeForItem(9, true), 3);
    EXPECT_EQ(HUDCropTools::windowTypeForItem(4, true), 2);

    struct Height
    {
        int type;
        double from, to;
    };
    for (const Height h :
         {Height{1, 175, 164}, Height{1, 174, 174}, Height{2, 185, 196}, Height{2, 186, 186},
          Height{2, 206, 206}, Height{2, 207, 196}, Height{3, 207, 218}, Height{3, 230, 230}})
        EXPECT_EQ(HUDCropTools::windowHeightForCropType(h.type, h.from), h.to)
            << h.type << " " << h.from;

    // A 3:2 photo under a 150 × 100 mask: at 0° the mask's height binds, turned a quarter
    // its width does.
    EXPECT_DOUBLE_EQ(HUDCropTools::zoomMinimum(QSizeF(300, 200), 0, QSizeF(150, 100)), 150.0);
    EXPECT_DOUBLE_EQ(HUDCropTools::zoomMinimum(QSizeF(300, 200), 90, QSizeF(150, 100)), 100.0);
    EXPECT_DOUBLE_EQ(HUDCropTools::zoomMinimum(QSizeF(300, 200), -90, QSizeF(150, 100)), 100.0);
    EXPECT_DOUBLE_EQ(HUDCropTools::zoomMinimum(QSizeF(300, 200), 45, QSizeF(200, 100)), 150.0);
    // No division by a zero height: no photo gives no zoom, a flat mask its width.
    EXPECT_DOUBLE_EQ(HUDCropTools::zoomMinimum(QSizeF(0, 0), 0, QSizeF(200, 100)), 0.0);
    EXPECT_DOUBLE_EQ(HUDCropTools::zoomMinimum(QSizeF(300, 200), 0, QSizeF(200, 0)), 200.0);

    const QString degree(QChar(0x00BA));
    EXPECT_EQ(HUDCropTools::rotationText(270), "-90" + degree);
    EXPECT_EQ(HUDCropTools::rotationText(0), "0" + degree);
    EXPECT_EQ(HUDCropTools::rotationText(12.5), "12.5" + degree);
    EXPECT_EQ(HUDCropTools::rotationText(180), "180" + degree);
}

TEST_F(CropPane, ACropStartsWithTheStoredTypeAndTheDefaultCustomRatio)
{
    defaults().setInteger(3, QStringLiteral("Crop Constraint Type"));
    defaults().setObject(platform::stringFromSize(QSizeF(0, 5)),
                         QStringLiteral("Crop Constraint Custom Ratio"));
    auto image = photo();
    HUDCropTools* crop = startCrop();
    ASSERT_NE(crop, nullptr);
    EXPECT_EQ(palette->toolTag(), HUDWindowController::CropTools);
    EXPECT_EQ(crop->_cropPopup->indexOfSelectedItem(), 3);
    EXPECT_NEAR(maskRatio(), 4.0 / 3.0, 1e-6);
    // A stored width of 0 shows 6 by 4.
    EXPECT_EQ(crop->_cropCustomWidth->text(), "6");
    EXPECT_EQ(crop->_cropCustomHeight->text(), "4");
    EXPECT_EQ(crop->itemAt(HUDCropTools::OrientationItem)->text(), "Constrain as portrait");
    EXPECT_DOUBLE_EQ(crop->origCropImageWidth(), 300.0);
    // A new crop offers the ratio controls: a type-2 palette.
    EXPECT_EQ(windowHeight(), 196);
    EXPECT_TRUE(crop->_cropConstrainView->isVisibleTo(crop));
    EXPECT_FALSE(crop->_cropCustomView->isVisibleTo(crop));
    EXPECT_DOUBLE_EQ(crop->zoomValue(), 300.0);
    EXPECT_EQ(crop->_cropRotateComboBox->currentText(), QStringLiteral("0") + QChar(0x00BA));
}

TEST_F(CropPane, ACropWithAShapeStartsUnconstrainedAndStoresNothing)
{
    defaults().setInteger(3, QStringLiteral("Crop Constraint Type"));
    auto image = photo(120, 120);
    auto shape = add(QStringLiteral("shape"), QRectF(110, 110, 60, 90));
    selectOnly({image, shape});
    canvas->cropWithShape(nullptr);
    HUDCropTools* crop = pane();
    ASSERT_NE(crop, nullptr);
    ASSERT_TRUE(canvas->croppingWithShapeOrText());
    EXPECT_EQ(crop->_cropPopup->indexOfSelectedItem(), 0);
    crop->chooseItem(8);
    EXPECT_NEAR(maskRatio(), 1.0, 1e-6);
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("Crop Constraint Type")), 3);
}

TEST_F(CropPane, TheOrientationItemTurnsTheRatioAndBackAndTilingGivesWayToARatio)
{
    auto image = photo();
    HUDCropTools* crop = startCrop();
    ASSERT_NE(crop, nullptr);
    crop->chooseItem(3);
    EXPECT_NEAR(maskRatio(), 4.0 / 3.0, 1e-6);
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("Crop Constraint Type")), 3);

    crop->chooseItem(HUDCropTools::OrientationItem);
    EXPECT_TRUE(crop->swapCropRatio());
    EXPECT_NEAR(maskRatio(), 0.75, 1e-6);
    EXPECT_EQ(crop->_cropPopup->indexOfSelectedItem(), 3); // the ratio item stays chosen
    EXPECT_FALSE(crop->itemAt(HUDCropTools::OrientationItem)->icon().isNull());
    crop->chooseItem(HUDCropTools::OrientationItem);
    EXPECT_FALSE(crop->swapCropRatio());
    EXPECT_NEAR(maskRatio(), 4.0 / 3.0, 1e-6);
    EXPECT_TRUE(crop->itemAt(HUDCropTools::OrientationItem)->icon().isNull());
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("Crop Constraint Type")), 3);

    // Tiling: the photo goes back to its first width and 0°, zoom and dial rest.
    crop->_cropZoomSlider->setValue(crop->_cropZoomSlider->maximum());
    EXPECT_GT(image->bounds().width(), 300.0);
    canvas->rotateCroppedImageByDegrees(30);
    crop->chooseItem(HUDCropTools::TileItem);
    EXPECT_TRUE(canvas->tilesCroppedImage());
    EXPECT_DOUBLE_EQ(image->bounds().width(), 300.0);
    EXPECT_EQ(image->rotation(), 0.0);
    EXPECT_FALSE(crop->_cropZoomSlider->isEnabled());
    EXPECT_FALSE(crop->_cropRotateSlider->isEnabled());
    EXPECT_EQ(defaults().integerForKey(QStringLiteral("Crop Constraint Type")), 3);

    crop->chooseItem(5);
    crop->chooseItem(3);
    EXPECT_FALSE(canvas->tilesCroppedImage());
    EXPECT_TRUE(crop->_cropZoomSlider->isEnabled());
    EXPECT_TRUE(crop->_cropRotateSlider->isEnabled());
    EXPECT_NEAR(maskRatio(), 4.0 / 3.0, 1e-6);
}

TEST_F(CropPane, TheCustomItemGrowsThePaletteAndItsFieldsRefuseWhatIsNoRatio)
{
    auto image = photo();
    HUDCropTools* crop = startCrop();
    ASSERT_NE(crop, nullptr);
    const QRect before = palette->window()->geometry();
    crop->chooseItem(HUDCropTools::CustomItem);
    EXPECT_EQ(windowHeight(), 218);
    EXPECT_TRUE(crop->_cropCustomView->isVisibleTo(crop));
    EXPECT_NEAR(maskRatio(), 1.5, 1e-6);
    EXPECT_EQ(crop->height(), 218 - 20);
    Q_UNUSED(before);

    // A ratio typed and confirmed with Return applies and is stored.
    crop->_cropCustomWidth->selectAll();
    QTest::keyClicks(crop->_cropCustomWidth, "2");
    QTest::keyClick(crop->_cropCustomWidth, Qt::Key_Return);
    EXPECT_NEAR(maskRatio(), 0.5, 1e-6);
    EXPECT_EQ(platform::sizeFromString(
                  defaults().stringForKey(QStringLiteral("Crop Constraint Custom Ratio"))),
              QSizeF(2, 4));

    // A height of 0 (or no number) is refused: the field comes back, nothing changes.
    const QRectF mask = canvas->croppingShape()->bounds();
    for (const char* bad : {"0", "-3", "abc"}) {
        crop->_cropCustomHeight->clear();
        QTest::keyClicks(crop->_cropCustomHeight, bad);
        QTest::keyClick(crop->_cropCustomHeight, Qt::Key_Return);
        EXPECT_EQ(crop->_cropCustomHeight->text(), "4") << bad;
        EXPECT_EQ(canvas->croppingShape()->bounds(), mask) << bad;
        EXPECT_EQ(platform::sizeFromString(
                      defaults().stringForKey(QStringLiteral("Crop Constraint Custom Ratio"))),
                  QSizeF(2, 4));
    }
}

TEST_F(CropPane, AType2PaletteThatFitsKeepsItsFrameAndHeightsKeepTheBottomEdge)
{
    auto image = photo();
    HUDCropTools* crop = startCrop();
    ASSERT_NE(crop, nullptr);
    palette->setFreezeWindow(true);
    QRect frame = palette->window()->geometry();
    frame.setHeight(200);
    palette->window()->setGeometry(frame);
    crop->setWindowHeightForCropType(2, false);
    EXPECT_EQ(palette->window()->geometry(), frame);

    // Re-entering an image crop offers no ratio controls: type 1, the bottom edge kept.
    palette->forceSelectCropTools(true, false);
    EXPECT_EQ(palette->window()->geometry().height(), 164);
    EXPECT_FALSE(crop->_cropConstrainView->isVisibleTo(crop));
    frame = palette->window()->geometry();
    frame.setHeight(170); // up to 174 fits type 1
    palette->window()->setGeometry(frame);
    crop->setWindowHeightForCropType(1, false);
    EXPECT_EQ(palette->window()->geometry(), frame);
}

TEST_F(CropPane, TheZoomSliderSpansTheMaskAndTheDialTurnsThePhoto)
{
    auto image = photo(300, 200);
    HUDCropTools* crop = startCrop();
    ASSERT_NE(crop, nullptr);
    crop->chooseItem(0);
    canvas->croppingShape()->setBounds(QRectF(150, 150, 150, 100));
    crop->updateCropSliders();
    EXPECT_DOUBLE_EQ(crop->zoomMinimumValue(), 150.0);
    EXPECT_DOUBLE_EQ(crop->zoomMaximumValue(), 600.0);
    crop->_cropZoomSlider->setValue(45000);
    EXPECT_DOUBLE_EQ(image->bounds().width(), 450.0);
    EXPECT_DOUBLE_EQ(image->bounds().height(), 300.0);

    crop->_cropRotateSlider->setAngle(270, 1);
    crop->_cropRotateSlider->sendAction();
    EXPECT_EQ(image->rotation(), 270.0);
    EXPECT_EQ(crop->_cropRotateComboBox->currentText(), QStringLiteral("-90") + QChar(0x00BA));
    image->setRotation(90);
    crop->updateCropSliders();
    EXPECT_DOUBLE_EQ(crop->zoomMinimumValue(), 100.0); // turned: the mask's sides change places

    crop->_cropRotateComboBox->lineEdit()->clear();
    QTest::keyClicks(crop->_cropRotateComboBox->lineEdit(), "12");
    QTest::keyClick(crop->_cropRotateComboBox->lineEdit(), Qt::Key_Return);
    ASSERT_NE(canvas->croppingImage(), nullptr); // Return in a field ends no crop
    EXPECT_EQ(image->rotation(), 12.0);
    // No number: the photo keeps its turn, not turned back to 0.
    crop->_cropRotateComboBox->lineEdit()->clear();
    QTest::keyClicks(crop->_cropRotateComboBox->lineEdit(), "abc");
    QTest::keyClick(crop->_cropRotateComboBox->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(image->rotation(), 12.0);
    EXPECT_EQ(crop->_cropRotateComboBox->currentText(), QStringLiteral("12") + QChar(0x00BA));

    QTest::mouseClick(crop->_flipHorizontalButton, Qt::LeftButton);
    EXPECT_TRUE(image->flippedHorizontally());
    const bool constrained = image->constrainProportions();
    QTest::mouseClick(crop->_cropConstrainProportionsCheckbox, Qt::LeftButton);
    EXPECT_EQ(image->constrainProportions(), !constrained);
    EXPECT_EQ(crop->_cropConstrainProportionsCheckbox->isChecked(), !constrained);
}

TEST_F(CropPane, OKFinishesAsOneStepThatUndoesAndCancelLeavesThePhoto)
{
    auto image = photo();
    HUDCropTools* crop = startCrop();
    ASSERT_NE(crop, nullptr);
    crop->chooseItem(8);
    QTest::mouseClick(crop->_cropOKButton, Qt::LeftButton);
    EXPECT_EQ(canvas->croppingImage(), nullptr);
    EXPECT_EQ(undoName(), undoStrings("Crop"));
    const QList<LBGraphicPtr> cropped = canvas->selectedGraphics(true);
    ASSERT_EQ(cropped.size(), 1);
    EXPECT_TRUE(cropped.first()->isImageCrop());
    EXPECT_NEAR(cropped.first()->bounds().width() / cropped.first()->bounds().height(), 1.0, 1e-6);
    undo()->undo();
    EXPECT_EQ(document->pageGraphics().at(1).size(), 1);
    EXPECT_EQ(document->pageGraphics().at(1).first(), image);

    selectOnly({image});
    crop = startCrop();
    ASSERT_NE(crop, nullptr);
    QTest::mouseClick(crop->_cropCancelButton, Qt::LeftButton);
    EXPECT_EQ(canvas->croppingImage(), nullptr);
    EXPECT_EQ(document->pageGraphics().at(1).size(), 1);
    EXPECT_FALSE(image->isImageCrop());
}

TEST_F(CropPane, APaletteCollapsedBeforeTheCropCollapsesAgain)
{
    // As on screen, the palette's frame moves: opening it for the crop and sizing it for
    // the crop tools are two moves, and the palette ends at the last one, OK and Cancel
    // in sight.
    HUDWindowController::setAnimationsEnabled(true);
    auto image = photo();
    palette->collapseButtonAction(false);
    ASSERT_EQ(palette->toolTag(), HUDWindowController::CollapsedTools);
    HUDCropTools* crop = startCrop();
    ASSERT_NE(crop, nullptr);
    EXPECT_EQ(palette->toolTag(), HUDWindowController::CropTools);
    QTRY_VERIFY(palette->window()->findChildren<QPropertyAnimation*>().isEmpty());
    EXPECT_EQ(windowHeight(), 196);
    EXPECT_EQ(crop->height() + 20, windowHeight());
    canvas->finishCroppingImage();
    EXPECT_EQ(palette->toolTag(), HUDWindowController::CollapsedTools);
}
