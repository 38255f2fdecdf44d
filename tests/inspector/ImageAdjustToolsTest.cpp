#include "InspectorTestSupport.h"

#include "canvas/LBPlaceholderSettings.h"
#include "inspector/HUDControls.h"
#include "inspector/HUDPaneViews.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Beep.h"

#include <QPushButton>
#include <QTest>

namespace {

using Tools = HUDImageAdjustTools;

class ImageAdjustToolsTest : public InspectorTest
{
protected:
    // Pictures on the page, selected, with the Image pane shown.
    QList<std::shared_ptr<LBImage>> showImages(int count)
    {
        QList<std::shared_ptr<LBImage>> images;
        QList<LBGraphicPtr> graphics;
        for (int i = 0; i < count; ++i) {
            auto image = std::make_shared<LBImage>();
            image->setImage(platform::Image::withSize(QSizeF(40, 30)), LBGraphic::FillImageType);
            images.append(place(image, QRectF(20 + 60 * i, 20, 40, 30)));
            graphics.append(image);
        }
        selectOnly(graphics);
        palette->toolsPopupAction(HUDWindowController::ImageAdjustTools);
        undo()->removeAllActions();
        tools = dynamic_cast<Tools*>(palette->currentTools());
        return images;
    }

    Tools* tools = nullptr;
};

} // namespace

TEST_F(ImageAdjustToolsTest, SlidersHaveADeadZoneAroundZero)
{
    auto images = showImages(2);
    ASSERT_NE(tools, nullptr);
    struct Case
    {
        int adjustment;
        int moved;
        double stored;
        const char* undoKey;
    };
    const QList<Case> cases = {
        {Tools::Contrast, 6, 6, "Contrast"},
        {Tools::Contrast, 4, 0, "Contrast"},
        {Tools::Brightness, -30, -30, "Brightness"},
        {Tools::Brightness, -5, 0, "Brightness"},
        {Tools::Hue, 50, 50, "Hue"},
        {Tools::Saturation, -6, -6, "Saturation"},
        {Tools::Exposure, 20, 20, "Exposure"},
        {Tools::Sharpness, 12, 12, "Sharpness"},
    };
    using Getter = double (LBGraphic::*)() const;
    const std::array<Getter, Tools::AdjustmentCount> getters = {
        &LBGraphic::brightness, &LBGraphic::contrast,  &LBGraphic::hue,
        &LBGraphic::saturation, &LBGraphic::sharpness, &LBGraphic::exposure};
    for (const Case& c : cases) {
        HUDSlider* slider = tools->_sliders[std::size_t(c.adjustment)];
        slider->setValue(c.moved);
        for (const auto& image : images)
            EXPECT_DOUBLE_EQ(((*image).*getters[std::size_t(c.adjustment)])(), c.stored)
                << c.adjustment << " " << c.moved;
        EXPECT_EQ(slider->value(), int(c.stored)) << c.moved;
        EXPECT_EQ(tools->_fields[std::size_t(c.adjustment)]->text(),
                  QString::number(int(c.stored)));
        EXPECT_EQ(undoName(), undoStrings(c.undoKey));
    }
    while (undo()->canUndo())
        undo()->undo();
    for (const auto& image : images)
        for (Getter get : getters)
            EXPECT_DOUBLE_EQ(((*image).*get)(), 0.0);
}

TEST_F(ImageAdjustToolsTest, StepButtonsStepByOneFromTheCurrentValue)
{
    auto images = showImages(1);
    images[0]->setBrightness(10);
    undo()->removeAllActions();
    palette->updateSelectedTools();
    QPushButton* up = tools->_stepUpButtons[Tools::Brightness];
    EXPECT_EQ(up->property("tag").toInt(), 2000);
    EXPECT_EQ(tools->_stepDownButtons[Tools::Exposure]->property("tag").toInt(), 11000);
    QTest::mouseClick(up, Qt::LeftButton);
    EXPECT_DOUBLE_EQ(images[0]->brightness(), 11);
    EXPECT_EQ(tools->_fields[Tools::Brightness]->text(), QStringLiteral("11"));
    EXPECT_EQ(tools->_sliders[Tools::Brightness]->value(), 11);
    EXPECT_EQ(undoName(), undoStrings("Brightness"));
    // Steps are not caught by the dead zone.
    QTest::mouseClick(tools->_stepDownButtons[Tools::Hue], Qt::LeftButton);
    EXPECT_DOUBLE_EQ(images[0]->hue(), -1);
    undo()->undo();
    undo()->undo();
    EXPECT_DOUBLE_EQ(images[0]->brightness(), 10);
    EXPECT_DOUBLE_EQ(images[0]->hue(), 0);
}

TEST_F(ImageAdjustToolsTest, TypingInAFieldCommitsLikeTheSlider)
{
    auto images = showImages(1);
    HUDTextField* field = tools->_fields[Tools::Saturation];
    field->clear();
    QTest::keyClicks(field, QStringLiteral("25"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(images[0]->saturation(), 25);
    EXPECT_EQ(tools->_sliders[Tools::Saturation]->value(), 25);
    // A text that is no number leaves the saturation alone (it is no 0).
    field->clear();
    QTest::keyClicks(field, QStringLiteral("abc"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_DOUBLE_EQ(images[0]->saturation(), 25);
    EXPECT_EQ(field->text(), QStringLiteral("25"));
    // A value beyond the slider's ends is brought to the nearest one, with a beep.
    for (const auto& [typed, kept] : {std::pair{"9999", 100}, std::pair{"-500", -100}}) {
        const quint64 beeps = platform::beepCount();
        field->clear();
        QTest::keyClicks(field, QLatin1String(typed));
        QTest::keyClick(field, Qt::Key_Return);
        EXPECT_DOUBLE_EQ(images[0]->saturation(), kept) << typed;
        EXPECT_EQ(field->text(), QString::number(kept)) << typed;
        EXPECT_EQ(platform::beepCount(), beeps + 1) << typed;
    }
    // The step buttons stop there too.
    QTest::mouseClick(tools->_stepDownButtons[Tools::Saturation], Qt::LeftButton);
    EXPECT_DOUBLE_EQ(images[0]->saturation(), -100);
}

TEST_F(ImageAdjustToolsTest, OriginalImageResetsAllSixInOneNamedStep)
{
    auto images = showImages(2);
    for (const auto& image : images) {
        image->setBrightness(20);
        image->setContrast(-30);
        image->setSharpness(15);
        image->setExposure(8);
    }
    undo()->removeAllActions();
    palette->updateSelectedTools();
    EXPECT_EQ(tools->_sliders[Tools::Contrast]->value(), -30);
    QTest::mouseClick(tools->_originalImageButton, Qt::LeftButton);
    for (const auto& image : images) {
        EXPECT_DOUBLE_EQ(image->brightness(), 0);
        EXPECT_DOUBLE_EQ(image->contrast(), 0);
        EXPECT_DOUBLE_EQ(image->sharpness(), 0);
        EXPECT_DOUBLE_EQ(image->exposure(), 0);
    }
    EXPECT_EQ(tools->_sliders[Tools::Contrast]->value(), 0);
    EXPECT_EQ(undoName(), undoStrings("Original Image"));
    undo()->undo();
    EXPECT_FALSE(undo()->canUndo());
    EXPECT_DOUBLE_EQ(images[1]->contrast(), -30);
    EXPECT_DOUBLE_EQ(images[1]->sharpness(), 15);
}

TEST_F(ImageAdjustToolsTest, SharpnessWithinOneWholeNumberChangesNothing)
{
    auto images = showImages(1);
    images[0]->setSharpness(12.4);
    undo()->removeAllActions();
    tools->_sliders[Tools::Sharpness]->setValue(12);
    closeStep();
    EXPECT_DOUBLE_EQ(images[0]->sharpness(), 12.4);
    EXPECT_FALSE(undo()->canUndo());
    tools->_sliders[Tools::Sharpness]->setValue(13);
    EXPECT_DOUBLE_EQ(images[0]->sharpness(), 13);
}

TEST_F(ImageAdjustToolsTest, ThePlaceholderBoxAsksTheCanvasOnceForTheSelection)
{
    int sheets = 0;
    LBPlaceholderSettings::setFactory([&sheets](bool background) {
        ++sheets;
        return std::make_unique<LBPlaceholderSettings>(background);
    });
    auto images = showImages(2);
    QTest::mouseClick(tools->_imagePlaceholderCheckbox, Qt::LeftButton);
    EXPECT_EQ(sheets, 1);
    EXPECT_TRUE(tools->_imagePlaceholderCheckbox->isChecked());

    // Switched off: the pictures stop being placeholders.
    for (const auto& image : images)
        image->setIsPlaceholder(true);
    palette->updateSelectedTools();
    EXPECT_TRUE(tools->_imagePlaceholderCheckbox->isChecked());
    QTest::mouseClick(tools->_imagePlaceholderCheckbox, Qt::LeftButton);
    EXPECT_EQ(sheets, 1);
    for (const auto& image : images)
        EXPECT_FALSE(image->isPlaceholder());
    EXPECT_FALSE(tools->_imagePlaceholderCheckbox->isChecked());
    LBPlaceholderSettings::setFactory(nullptr);
}
