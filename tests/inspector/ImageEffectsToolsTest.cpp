#include "InspectorTestSupport.h"
#include "MaskFixtures.h"

#include "graphics/EffectEntry.h"
#include "inspector/HUDMasksLibrary.h"
#include "inspector/HUDPaneControls.h"
#include "inspector/HUDPaneViews.h"
#include "platform/drawing/Image.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ColorWell.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

namespace {

using Tools = HUDImageEffectsTools;

QList<qint64> kindsOf(const LBGraphic& graphic)
{
    QList<qint64> kinds;
    for (qint64 i = 0; i < graphic.numEffects(); ++i)
        kinds.append(effectentry::kind(graphic.effectDictionaryAtIndex(i)));
    return kinds;
}

qint64 modifier(const LBGraphic& graphic, int kind, int index)
{
    return effectentry::modifier(graphic.effectDictionaryAtIndex(graphic.indexOfEffect(kind)),
                                 index);
}

// The mask pop-up's items: tags, "-" for separators.
QStringList maskItems(const HUDPopUpButton* popup)
{
    QStringList items;
    for (QAction* item : hudpopup::items(popup))
        items.append(item->isSeparator() ? QStringLiteral("-")
                                         : QString::number(item->data().toInt()));
    return items;
}

class ImageEffectsToolsTest : public InspectorTest
{
protected:
    ImageEffectsToolsTest()
    {
        platform::Alert::setResponder([this](const platform::Alert&, QWidget*) {
            ++alerts;
            return platform::Alert::Response{};
        });
        useMasks(3);
    }
    ~ImageEffectsToolsTest() override
    {
        platform::Alert::setResponder(nullptr);
        HUDMasksLibrary::setPath(QString());
    }

    void useMasks(int count)
    {
        HUDMasksLibrary::setPath(
            writeMasksFixture(folder, numberedMasks(count), QStringLiteral("masks%1").arg(count)));
    }

    // Pictures on the page, selected, with the Effects pane shown.
    QList<std::shared_ptr<LBImage>> showImages(int count,
                                               const std::function<void(LBImage&)>& setUp = {})
    {
        QList<std::shared_ptr<LBImage>> images;
        QList<LBGraphicPtr> graphics;
        for (int i = 0; i < count; ++i) {
            auto image = std::make_shared<LBImage>();
            image->setImage(platform::Image::withSize(QSizeF(40, 30)), LBGraphic::FillImageType);
            if (setUp)
                setUp(*image);
            images.append(place(image, QRectF(20 + 60 * i, 20, 40, 30)));
            graphics.append(image);
        }
        selectOnly(graphics);
        palette->toolsPopupAction(HUDWindowController::ImageEffectsTools);
        undo()->removeAllActions();
        tools = dynamic_cast<Tools*>(palette->currentTools());
        return images;
    }
    void chooseEffect(int kind)
    {
        QAction* item = hudpopup::itemWithTag(tools->_imageEffectPopup, kind);
        ASSERT_NE(item, nullptr) << kind;
        item->trigger();
        closeStep();
    }
    void chooseMask(int tag)
    {
        QAction* item = hudpopup::itemWithTag(tools->_imageEffectPopup0, tag);
        ASSERT_NE(item, nullptr) << tag;
        item->trigger();
        closeStep();
    }
    void click(QPushButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton);
        closeStep();
    }
    int windowHeight() const { return palette->window()->height(); }

    QTemporaryDir folder;
    Tools* tools = nullptr;
    int alerts = 0;
};

} // namespace

TEST_F(ImageEffectsToolsTest, AnotherKindReplacesATriedEffectAndAddKeepsIt)
{
    auto images = showImages(2);
    ASSERT_NE(tools, nullptr);
    chooseEffect(4);
    EXPECT_EQ(undoName(), undoStrings("Image Effect"));
    EXPECT_EQ(kindsOf(*images[0]), QList<qint64>({4}));
    EXPECT_EQ(modifier(*images[0], 4, 0), 20); // the kind's default
    EXPECT_FALSE(tools->_imageEffectPopup->selectedItem()->text().startsWith(QChar(0x2022)));
    chooseEffect(6);
    for (const auto& image : images)
        EXPECT_EQ(kindsOf(*image), QList<qint64>({6}));

    click(tools->_addEffectButton);
    EXPECT_TRUE(tools->effectWasAdded());
    palette->updateSelectedTools();
    EXPECT_TRUE(
        tools->_imageEffectPopup->selectedItem()->text().startsWith(QStringLiteral("\u2022 ")));
    chooseEffect(4);
    for (const auto& image : images)
        EXPECT_EQ(kindsOf(*image), QList<qint64>({6, 4}));
    // Both kept kinds carry the bullet; the tried one not.
    EXPECT_TRUE(
        hudpopup::itemWithTag(tools->_imageEffectPopup, 6)->text().startsWith(QChar(0x2022)));
    EXPECT_FALSE(
        hudpopup::itemWithTag(tools->_imageEffectPopup, 4)->text().startsWith(QChar(0x2022)));

    // Undo takes the steps back, one by one.
    undo()->undo();
    EXPECT_EQ(kindsOf(*images[1]), QList<qint64>({6}));
    undo()->undo();
    undo()->undo();
    EXPECT_EQ(kindsOf(*images[1]), QList<qint64>());
}

TEST_F(ImageEffectsToolsTest, NoneRemovesEverythingButThePerspective)
{
    auto images = showImages(1, [](LBImage& image) {
        const qint64 m = LBGraphic::DefaultEffectModifier;
        const QPointF d(LBGraphic::DefaultEffectLocationX, 0);
        for (int kind : {2, 32, 9})
            image.addEffect(kind, m, m, m, m, m, m, d, d, d, d, QColor(), false);
    });
    // The pane shows the last effect before the perspective's.
    EXPECT_EQ(tools->selectedEffectKind(), 9);
    EXPECT_EQ(windowHeight(), 137);
    chooseEffect(0);
    EXPECT_EQ(kindsOf(*images[0]), QList<qint64>({32}));
    EXPECT_EQ(windowHeight(), 60);
    EXPECT_TRUE(tools->_addEffectButton->isHidden());
    undo()->undo();
    EXPECT_EQ(kindsOf(*images[0]).size(), 3);
}

TEST_F(ImageEffectsToolsTest, SlidersColourAndRemoveEditTheShownEffect)
{
    auto images = showImages(2);
    chooseEffect(3);
    EXPECT_FALSE(tools->_imageEffectColorView->isHidden());
    tools->_imageEffectSliders[0]->setValue(70);
    EXPECT_EQ(undoName(), undoStrings("Image Effect"));
    for (const auto& image : images)
        EXPECT_EQ(modifier(*image, 3, 0), 70);
    EXPECT_EQ(tools->_imageEffectFields[0]->text(), QStringLiteral("70"));
    tools->_imageEffectColor->setColor(Qt::green);
    Q_EMIT tools->_imageEffectColor->colorChanged(Qt::green);
    EXPECT_EQ(effectentry::color(images[1]->effectDictionaryAtIndex(0)), QColor(Qt::green));
    click(tools->_addEffectButton); // kept

    chooseEffect(16); // field 1 shows modifier 1 − 50
    EXPECT_EQ(tools->_imageEffectFields[1]->text(), QString::number(63 - 50));
    chooseEffect(26); // in degrees
    EXPECT_EQ(tools->_imageEffectFields[1]->text(), QStringLiteral("0"));
    tools->_imageEffectSliders[1]->setValue(60);
    EXPECT_EQ(tools->_imageEffectFields[1]->text(), QString::number(qint64(60 * 3.6 - 180)));
    click(tools->_removeEffectButton);
    EXPECT_EQ(kindsOf(*images[0]), QList<qint64>({3}));
    EXPECT_FALSE(tools->effectWasAdded());
    undo()->undo();
    EXPECT_EQ(kindsOf(*images[0]), QList<qint64>({3, 26}));
}

TEST_F(ImageEffectsToolsTest, TheMaskPopUpOffersFourShapesOrAllShapesAndTheLibrary)
{
    for (int records : {3, 0}) {
        useMasks(records);
        auto images = showImages(1);
        chooseEffect(35);
        EXPECT_EQ(maskItems(tools->_imageEffectPopup0), QStringList({"0", "1", "2", "3"}));
        chooseEffect(33);
        QStringList expected = {"0", "1", "2", "3", "4", "5", "6", "7"};
        if (records > 0)
            expected << "-"
                     << "8"
                     << "9"
                     << "10";
        EXPECT_EQ(maskItems(tools->_imageEffectPopup0), expected) << records;
        chooseEffect(35);
        chooseEffect(34);
        EXPECT_EQ(maskItems(tools->_imageEffectPopup0), expected) << records;
        EXPECT_FALSE(tools->_imageEffectPopup0View->isHidden());
        EXPECT_EQ(windowHeight(), 172);
        palette.reset();
        palette = std::make_unique<HUDWindowController>(HUDWindowController::SmartShown);
    }
    EXPECT_EQ(alerts, 0);
}

TEST_F(ImageEffectsToolsTest, FiftyMasksAreSeparatedBeforeTheFirstFifthAndFortyFifth)
{
    useMasks(50);
    showImages(1);
    chooseEffect(34);
    const QStringList items = maskItems(tools->_imageEffectPopup0);
    ASSERT_EQ(items.size(), 8 + 3 + 50);
    EXPECT_EQ(items.at(8), QStringLiteral("-"));
    EXPECT_EQ(items.at(9), QStringLiteral("8"));
    EXPECT_EQ(items.at(13), QStringLiteral("-"));
    EXPECT_EQ(items.at(14), QStringLiteral("12"));
    EXPECT_EQ(items.at(54), QStringLiteral("-"));
    EXPECT_EQ(items.at(55), QStringLiteral("52"));
    EXPECT_EQ(items.last(), QStringLiteral("57"));
    EXPECT_EQ(hudpopup::itemWithTag(tools->_imageEffectPopup0, 12)->text(),
              QStringLiteral("Mask 5"));
}

TEST_F(ImageEffectsToolsTest, AnUnreadableLibraryIsReportedOnceAndTheBuiltInShapesStay)
{
    HUDMasksLibrary::setPath(folder.filePath(QStringLiteral("no such library")));
    showImages(1);
    chooseEffect(33);
    chooseEffect(35);
    chooseEffect(34);
    EXPECT_EQ(maskItems(tools->_imageEffectPopup0),
              QStringList({"0", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(alerts, 1);
}

TEST_F(ImageEffectsToolsTest, ChoosingAShapeSetsItsSizeSoftnessAndPicture)
{
    struct Case
    {
        int kind;
        int shape;
        qint64 size;
        qint64 softness;
    };
    const QList<Case> cases = {
        {33, 0, 65, 50}, {33, 2, 65, 50}, {33, 1, 90, 20},  {33, 3, 90, 20}, {33, 6, 90, 20},
        {34, 0, 60, 20}, {34, 2, 60, 20}, {34, 5, 85, 15},  {34, 7, 85, 15}, {35, 0, 35, 30},
        {35, 3, 35, 30}, {33, 9, 100, 2}, {34, 10, 100, 3}, // library masks: their default softness
    };
    auto images = showImages(1);
    qint64 shapeBefore = -1;
    QImage pictureBefore;
    for (const Case& c : cases) {
        chooseEffect(c.kind);
        shapeBefore = modifier(*images[0], c.kind, 5);
        pictureBefore = images[0]->maskImage();
        chooseMask(c.shape);
        EXPECT_EQ(modifier(*images[0], c.kind, 0), c.size) << c.kind << "/" << c.shape;
        EXPECT_EQ(modifier(*images[0], c.kind, 1), c.softness) << c.kind << "/" << c.shape;
        EXPECT_EQ(modifier(*images[0], c.kind, 5), c.shape);
        EXPECT_EQ(images[0]->maskImage().isNull(), c.shape < 8) << c.kind << "/" << c.shape;
        EXPECT_EQ(undoName(), undoStrings("Image Effect"));
    }
    EXPECT_EQ(images[0]->maskImage(), HUDMasksLibrary::masks().at(2).picture);
    undo()->undo();
    EXPECT_EQ(modifier(*images[0], 34, 5), shapeBefore);
    EXPECT_EQ(images[0]->maskImage(), pictureBefore);
}

TEST_F(ImageEffectsToolsTest, ArrowsWalkTheShapesSkippingSeparatorsAndWrapping)
{
    auto images = showImages(1);
    chooseEffect(33);
    const auto shape = [&] { return modifier(*images[0], 33, 5); };
    click(tools->_maskEffectLeftButton); // from the first to the last
    EXPECT_EQ(shape(), 10);
    click(tools->_maskEffectRightButton); // back round to the first
    EXPECT_EQ(shape(), 0);
    chooseMask(7);
    click(tools->_maskEffectRightButton); // over the separator
    EXPECT_EQ(shape(), 8);
    EXPECT_EQ(hudpopup::selectedTag(tools->_imageEffectPopup0), 8);
    click(tools->_maskEffectLeftButton);
    EXPECT_EQ(shape(), 7);
    EXPECT_EQ(modifier(*images[0], 33, 0), 90);
}

TEST_F(ImageEffectsToolsTest, ReverseTogglesAndRotateTurnsFourTimesBackToZero)
{
    auto images = showImages(2);
    chooseEffect(33); // stores no "modifier2" nor "modifier3"
    click(tools->_maskEffectReverseButton);
    EXPECT_EQ(modifier(*images[1], 33, 2), 1);
    click(tools->_maskEffectReverseButton);
    EXPECT_EQ(modifier(*images[1], 33, 2), 0);
    QList<qint64> turns;
    for (int i = 0; i < 4; ++i) {
        click(tools->_maskEffectRotateButton);
        turns.append(modifier(*images[0], 33, 3));
    }
    EXPECT_EQ(turns, QList<qint64>({1, 2, 3, 0}));
    undo()->undo();
    EXPECT_EQ(modifier(*images[0], 33, 3), 3);
}

TEST_F(ImageEffectsToolsTest, StarShineAddsAnotherOfItsKindOnceKept)
{
    auto images = showImages(1);
    chooseEffect(29);
    click(tools->_addEffectButton); // keeps the tried one
    EXPECT_EQ(kindsOf(*images[0]), QList<qint64>({29}));
    palette->updateSelectedTools();
    tools->_imageEffectSliders[0]->setValue(40);
    click(tools->_addEffectButton); // a further star from the sliders
    EXPECT_EQ(kindsOf(*images[0]), QList<qint64>({29, 29}));
    EXPECT_EQ(modifier(*images[0], 29, 0), 40);
    click(tools->_removeEffectButton);
    EXPECT_TRUE(tools->effectWasAdded()); // one is left
    click(tools->_removeEffectButton);
    EXPECT_FALSE(tools->effectWasAdded());
    EXPECT_TRUE(kindsOf(*images[0]).isEmpty());
}

TEST_F(ImageEffectsToolsTest, LocationKnobsShowWhileThePaneShowsAKindWithALocation)
{
    auto images = showImages(1);
    chooseEffect(12);
    EXPECT_EQ(images[0]->effectLocationKnobType(), 1);
    EXPECT_EQ(images[0]->effectIndexForEffectKnob(), 0);
    chooseEffect(2);
    EXPECT_EQ(images[0]->effectLocationKnobType(), 0);
    chooseEffect(12);
    palette->toolsPopupAction(HUDWindowController::SizeTools);
    EXPECT_EQ(images[0]->effectLocationKnobType(), 0);
    // Showing knobs is no step of its own: undo takes back the last choice.
    closeStep();
    undo()->undo();
    EXPECT_EQ(kindsOf(*images[0]), QList<qint64>({2}));
}

TEST_F(ImageEffectsToolsTest, TheMaskForceFlagShowsThePaneOnTheMaskEffect)
{
    auto image = std::make_shared<LBImage>();
    image->setImage(platform::Image::withSize(QSizeF(40, 30)), LBGraphic::FillImageType);
    place(image);
    palette->toolsPopupAction(HUDWindowController::SizeTools);
    palette->forceSelectMaskTools(true);
    selectOnly({image});
    tools = dynamic_cast<Tools*>(palette->currentTools());
    ASSERT_NE(tools, nullptr);
    EXPECT_EQ(kindsOf(*image), QList<qint64>({34}));
    EXPECT_EQ(tools->selectedEffectKind(), 34);
}

// Heights, labels and rows for every kind of the pop-up.
TEST_F(ImageEffectsToolsTest, EveryKindHasItsHeightLabelsAndRows)
{
    showImages(1);
    const QList<int> kinds = Tools::effectKinds();
    EXPECT_EQ(kinds.size(), 34);
    EXPECT_FALSE(kinds.contains(23));
    EXPECT_FALSE(kinds.contains(32));
    for (int kind : kinds) {
        const int height = Tools::windowHeightForEffect(kind);
        ASSERT_GT(height, 0) << kind;
        chooseEffect(kind);
        EXPECT_EQ(windowHeight(), height) << kind;
        const std::array<bool, 6> rows = Tools::slidersShownForEffect(kind);
        const std::array<QString, 5> labels = Tools::labelKeysForEffect(kind);
        int lowest = 0;
        for (std::size_t k = 0; k < 6; ++k) {
            QWidget* row = tools->_imageEffectSliderViews[k];
            EXPECT_EQ(!row->isHidden(), rows[k]) << kind << " row " << k;
            if (k < 5 && rows[k]) {
                EXPECT_FALSE(labels[k].isEmpty()) << kind << " row " << k;
            }
            if (rows[k]) {
                EXPECT_EQ(row->y(), 44 + (Tools::isMaskEffect(kind) ? 32 : 0) + 23 * int(k));
                lowest = std::max(lowest, row->geometry().bottom());
            }
        }
        // Everything shown lies inside the pane.
        EXPECT_LE(lowest, palette->currentTools()->height()) << kind;
        if (Tools::colorShownForEffect(kind)) {
            EXPECT_LE(tools->_imageEffectColorView->geometry().bottom(),
                      palette->currentTools()->height())
                << kind;
        }
        EXPECT_EQ(tools->_imageEffectPopup0View->isHidden(), !Tools::isMaskEffect(kind));
        for (QWidget* button : {tools->_maskEffectReverseButton, tools->_maskEffectRotateButton}) {
            EXPECT_EQ(button->isHidden(), !Tools::isMaskEffect(kind)) << kind;
            if (!button->isHidden()) {
                EXPECT_LE(button->geometry().bottom(), palette->currentTools()->height());
            }
        }
        EXPECT_EQ(tools->_dividerLine->isHidden(), kind == 0 || kind == 1 || kind == 10);
        for (std::size_t k = 0; k < 5; ++k) {
            if (!labels[k].isEmpty()) {
                EXPECT_EQ(tools->_imageEffectLabels[k]->text(),
                          platform::LocalizedString(labels[k],
                                                    QStringLiteral("HUD Image Effect Labels")));
            }
        }
    }
    EXPECT_EQ(Tools::windowHeightForEffect(23), 0);
}
