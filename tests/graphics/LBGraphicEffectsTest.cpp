// The effects list and the small attribute groups a copy carries over.

#include "GraphicTestSupport.h"

#include "platform/core/Archive.h"
#include "platform/core/TextForms.h"

#include <gtest/gtest.h>

namespace {

const QPointF defaultLocation(LBGraphic::DefaultEffectLocationX, 0.0);
constexpr qint64 D = LBGraphic::DefaultEffectModifier;

class LBGraphicEffects : public ::testing::Test
{
protected:
    void SetUp() override { graphic->setDocument(&doc); }

    void add(qint64 kind, const QColor& color = QColor())
    {
        graphic->addEffect(kind, D, D, D, D, D, D, defaultLocation, defaultLocation,
                           defaultLocation, defaultLocation, color, false);
    }

    QString kinds() const
    {
        QStringList list;
        for (qint64 i = 0; i < graphic->numEffects(); ++i)
            list << graphic->effectDictionaryAtIndex(i).value(QStringLiteral("effect")).toString();
        return list.join(QLatin1Char(','));
    }

    RecordingDocument doc;
    std::shared_ptr<ProbeGraphic> graphic = std::make_shared<ProbeGraphic>();
};

} // namespace

TEST_F(LBGraphicEffects, DefaultMarkersGiveTheKindsDefaultsAndOnlyItsKeys)
{
    doc.step([&] { add(8); });
    const QVariantMap entry = graphic->effectDictionaryAtIndex(0);
    EXPECT_EQ(entry.keys(), QStringList({"effect", "location0", "modifier0", "modifier1"}));
    EXPECT_EQ(platform::integerValue(entry.value("modifier0")), 50);
    EXPECT_EQ(platform::integerValue(entry.value("modifier1")), 60);
    EXPECT_EQ(platform::pointFromString(entry.value("location0").toString()), QPointF(0.5, 0.5));
    doc.undo();
    EXPECT_EQ(graphic->numEffects(), 0);
    doc.redo();
    EXPECT_EQ(kinds(), QStringLiteral("8"));

    // Given values are stored as given; kinds without parameters store only the kind.
    graphic->_effects.clear();
    doc.quietly([&] {
        graphic->addEffect(2, 40, 7, 7, 7, 7, 7, defaultLocation, defaultLocation, defaultLocation,
                           defaultLocation, QColor(), false);
        add(23);
        add(99);
        add(3);
        add(3, Qt::blue);
    });
    EXPECT_EQ(graphic->effectDictionaryAtIndex(0).keys(), QStringList({"effect", "modifier0"}));
    EXPECT_EQ(platform::integerValue(graphic->effectDictionaryAtIndex(0).value("modifier0")), 40);
    EXPECT_EQ(graphic->effectDictionaryAtIndex(1).keys(), QStringList({"effect"}));
    EXPECT_EQ(graphic->effectDictionaryAtIndex(2).keys(), QStringList({"effect"}));
    // A missing colour takes the kind's default.
    EXPECT_TRUE(graphic->effectDictionaryAtIndex(3).contains("colorData"));
    EXPECT_NE(graphic->effectDictionaryAtIndex(3).value("colorData"),
              graphic->effectDictionaryAtIndex(4).value("colorData"));
}

TEST_F(LBGraphicEffects, RemovingAndUndoingPutsTheEffectLast)
{
    doc.quietly([&] {
        add(2);
        add(5);
        add(12);
    });
    doc.step([&] { graphic->removeEffectAtIndex(0, false); });
    EXPECT_EQ(kinds(), QStringLiteral("5,12"));
    doc.undo();
    EXPECT_EQ(kinds(), QStringLiteral("5,12,2"));

    // Out of range: nothing, and nothing recorded.
    doc.undoManager()->removeAllActions();
    doc.step([&] {
        graphic->removeEffectAtIndex(3, false);
        graphic->removeEffectAtIndex(-1, false);
        graphic->setEffectModifier(5, "modifier0", 7, false);
        graphic->setEffectLocation(QPointF(1, 1), "location0", 7);
        graphic->setEffectColor(Qt::red, 7, false);
    });
    EXPECT_FALSE(doc.canUndo());
    EXPECT_TRUE(graphic->effectDictionaryAtIndex(3).isEmpty());
}

TEST_F(LBGraphicEffects, IndexOfEffectFindsTheLastOfItsKind)
{
    doc.quietly([&] {
        add(5);
        add(2);
        add(5);
    });
    EXPECT_EQ(graphic->indexOfEffect(5), 2);
    EXPECT_EQ(graphic->indexOfEffect(2), 1);
    EXPECT_EQ(graphic->indexOfEffect(7), -1);
}

TEST_F(LBGraphicEffects, EntryEditsRecordOnlyRealChanges)
{
    doc.quietly([&] { add(5); });
    NotificationCounter hud(LBUpdateUtilityWindowsForSelection, graphic.get());

    doc.step([&] { graphic->setEffectLocation(QPointF(0.5, 0.5), "location0", 0); });
    doc.step([&] { graphic->setEffectModifier(50, "modifier0", 0, true); });
    EXPECT_FALSE(doc.canUndo());
    EXPECT_EQ(hud.count, 0);

    doc.step([&] { graphic->setEffectModifier(70, "modifier0", 0, true); });
    EXPECT_EQ(hud.count, 1);
    doc.undo();
    EXPECT_EQ(platform::integerValue(graphic->effectDictionaryAtIndex(0).value("modifier0")), 50);
}

TEST_F(LBGraphicEffects, UndoingAColourOnAnEntryWithoutOneRemovesItAgain)
{
    doc.quietly([&] { add(5); }); // kind 5 stores no colour
    doc.step([&] { graphic->setEffectColor(Qt::red, 0, false); });
    EXPECT_TRUE(graphic->effectDictionaryAtIndex(0).contains("colorData"));
    doc.undo();
    EXPECT_FALSE(graphic->effectDictionaryAtIndex(0).contains("colorData"));
    doc.redo();
    EXPECT_TRUE(graphic->effectDictionaryAtIndex(0).contains("colorData"));
}

TEST_F(LBGraphicEffects, MaskEffectsDropTheExternalMask)
{
    const auto mask = fakeImage();
    doc.quietly([&] { graphic->setImage(mask, LBGraphic::ExternalMaskType); });
    doc.step([&] { add(34); });
    EXPECT_EQ(graphic->imageOfType(LBGraphic::ExternalMaskType), nullptr);
    doc.undo();
    EXPECT_EQ(graphic->imageOfType(LBGraphic::ExternalMaskType), mask);
    EXPECT_EQ(graphic->numEffects(), 0);
}

TEST_F(LBGraphicEffects, ColourMaskSettings)
{
    doc.step([&] { graphic->setColorMaskType(-1, -1, -1, -1, -1, -1); });
    doc.step([&] { graphic->setColorMaskType(0, 0, 0, 0, 0, 0); });
    EXPECT_FALSE(doc.canUndo());

    // The first colour mask starts from visible settings; given values win.
    doc.step([&] { graphic->setColorMaskType(1, 50, -1, -1, -1, -1); });
    EXPECT_EQ(graphic->colorMaskType(), 1);
    EXPECT_EQ(graphic->_colorMaskSize, 50);
    EXPECT_EQ(graphic->_colorMaskSoftness, 7);
    doc.undo();
    EXPECT_EQ(graphic->colorMaskType(), 0);
    EXPECT_EQ(graphic->_colorMaskSize, 0);
    EXPECT_EQ(graphic->_colorMaskSoftness, 0);
}

TEST_F(LBGraphicEffects, GradientCentreSizeNeverFallsBelowOnePercent)
{
    doc.step([&] { graphic->setGradientCenterSize(0); });
    EXPECT_EQ(graphic->gradientCenterSize(), 0.01);
    EXPECT_TRUE(doc.canUndo());
    doc.undoManager()->removeAllActions();
    doc.step([&] { graphic->setGradientCenterSize(0.005); });
    EXPECT_FALSE(doc.canUndo());
}

TEST_F(LBGraphicEffects, SettingTheSameImageRedrawsButRecordsNothing)
{
    const auto picture = fakeImage();
    doc.quietly([&] { graphic->setImage(picture, LBGraphic::FillImageType); });
    NotificationCounter changes(LBGraphicDidChange, graphic.get());
    doc.step([&] { graphic->setImage(picture, LBGraphic::FillImageType); });
    EXPECT_EQ(changes.count, 1);
    EXPECT_FALSE(doc.canUndo());
    // Unknown image types are ignored.
    doc.step([&] { graphic->setImage(picture, 7); });
    EXPECT_EQ(changes.count, 1);
    EXPECT_EQ(graphic->imageOfType(7), nullptr);
    EXPECT_TRUE(graphic->isImageCrop());
}

TEST_F(LBGraphicEffects, EffectColoursAreArchivedColoursAndSurviveEditsAndCopies)
{
    auto colourOf = [](const LBGraphic& g, qint64 index) {
        const QByteArray data = g.effectDictionaryAtIndex(index).value("colorData").toByteArray();
        return platform::Archive::colorFromArchivedData(data);
    };
    const QColor translucentBlue = QColor::fromRgbF(0.1f, 0.2f, 0.9f, 0.4f);
    doc.quietly([&] {
        add(3, translucentBlue);
        add(7); // the kind's default colour
    });
    ASSERT_TRUE(colourOf(*graphic, 0).has_value());
    EXPECT_EQ(*colourOf(*graphic, 0), translucentBlue);
    EXPECT_EQ(colourOf(*graphic, 1), QColor(Qt::black));

    doc.step([&] { graphic->setEffectColor(Qt::green, 0, false); });
    EXPECT_EQ(colourOf(*graphic, 0), QColor(Qt::green));
    doc.undo();
    EXPECT_EQ(colourOf(*graphic, 0), translucentBlue);

    // Removing and undoing decodes the colour and stores it again.
    doc.step([&] { graphic->removeEffectAtIndex(0, false); });
    doc.undo();
    EXPECT_EQ(colourOf(*graphic, 1), translucentBlue);

    // Copies decode and re-archive it too; data that is no archived colour (as from a
    // damaged document) reads as none and the kind's default takes its place.
    graphic->_effects[0].insert("colorData", QByteArray("not an archive"));
    auto target = std::make_shared<LBGraphic>();
    target->copyImageEffectsFromGraphic(*graphic);
    EXPECT_EQ(colourOf(*target, 0), QColor(Qt::black));
    EXPECT_EQ(colourOf(*target, 1), translucentBlue);
}
