// The effects list and the small attribute groups a copy carries over.

#include "GraphicTestSupport.h"

#include "platform/core/Archive.h"
#include "platform/core/TextForms.h"
#include "platform/imaging/ImageFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <numbers>
#include <optional>
#include <vector>

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
    doc.quietly([&] {
        graphic->removeEffectAtIndex(0, false);
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

TEST_F(LBGraphicEffects, RemovalIsUndoneAtItsIndexWithItsFilter)
{
    doc.quietly([&] {
        add(2);
        add(5);
        add(12);
    });
    const LBGraphic::FilterPtr sepia = graphic->effectFilterSubarrayAtIndex(0)->value(0);
    NotificationCounter hud(LBUpdateUtilityWindowsForSelection, graphic.get());
    doc.step([&] { graphic->removeEffectAtIndex(0, false); });
    EXPECT_EQ(kinds(), QStringLiteral("5,12"));
    EXPECT_EQ(hud.count, 0);
    // Effects apply in list order: the removed one comes back where it was.
    doc.undo();
    EXPECT_EQ(kinds(), QStringLiteral("2,5,12"));
    EXPECT_EQ(graphic->effectFilterSubarrayAtIndex(0)->value(0), sepia);
    EXPECT_EQ(hud.count, 1);
    doc.redo();
    EXPECT_EQ(kinds(), QStringLiteral("5,12"));
    doc.undo();
    EXPECT_EQ(kinds(), QStringLiteral("2,5,12"));
    EXPECT_EQ(graphic->_effectFilters.size(), 3);

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

    // Removing and undoing puts the very entry back.
    doc.step([&] { graphic->removeEffectAtIndex(0, false); });
    doc.undo();
    EXPECT_EQ(colourOf(*graphic, 0), translucentBlue);

    // Copies decode and re-archive it; data that is no archived colour (as from a
    // damaged document) reads as none and the kind's default takes its place.
    graphic->_effects[1].insert("colorData", QByteArray("not an archive"));
    auto target = std::make_shared<LBGraphic>();
    target->copyImageEffectsFromGraphic(*graphic);
    EXPECT_EQ(colourOf(*target, 0), translucentBlue);
    EXPECT_EQ(colourOf(*target, 1), QColor(Qt::black));
}

TEST_F(LBGraphicEffects, AdjustmentFiltersLiveWhileTheirValuesAreNotZero)
{
    using Setter = void (LBGraphic::*)(double);
    auto input = [](const LBGraphic::FilterPtr& filter, const char* key) {
        return filter ? filter->valueForKey(QString::fromLatin1(key)).toDouble() : qQNaN();
    };
    struct Step
    {
        Setter setter;
        double value;
    };
    struct Case
    {
        const char* name;
        std::vector<Step> steps;
        // Which filters exist afterwards: colour controls, hue, unsharp mask, blur, exposure.
        std::array<bool, 5> present;
        const char* key; // an input of the first filter present, with its value
        double expected;
    };
    const Case cases[] = {
        {"shared filter stays while one of three is set",
         {{&LBGraphic::setBrightness, 20},
          {&LBGraphic::setContrast, 10},
          {&LBGraphic::setBrightness, 0}},
         {true, false, false, false, false},
         "inputContrast",
         1.3},
        {"brightness back to 0 is passed on",
         {{&LBGraphic::setBrightness, 20},
          {&LBGraphic::setContrast, 10},
          {&LBGraphic::setBrightness, 0}},
         {true, false, false, false, false},
         "inputBrightness",
         0.0},
        {"released when all three are 0",
         {{&LBGraphic::setBrightness, 20},
          {&LBGraphic::setContrast, 10},
          {&LBGraphic::setBrightness, 0},
          {&LBGraphic::setContrast, 0}},
         {false, false, false, false, false},
         nullptr,
         0},
        {"brightness", {{&LBGraphic::setBrightness, 30}}, {true}, "inputBrightness", 0.3},
        {"contrast -100", {{&LBGraphic::setContrast, -100}}, {true}, "inputContrast", 0.25},
        {"contrast 100", {{&LBGraphic::setContrast, 100}}, {true}, "inputContrast", 4.0},
        {"saturation -100", {{&LBGraphic::setSaturation, -100}}, {true}, "inputSaturation", 0.0},
        {"saturation 100", {{&LBGraphic::setSaturation, 100}}, {true}, "inputSaturation", 3.0},
        {"a new shared filter keeps the others' defaults",
         {{&LBGraphic::setSaturation, 100}},
         {true},
         "inputContrast",
         1.0},
        {"hue", {{&LBGraphic::setHue, 50}}, {false, true}, "inputAngle", std::numbers::pi / 2},
        {"hue back to 0", {{&LBGraphic::setHue, 50}, {&LBGraphic::setHue, 0}}, {}, nullptr, 0},
        {"exposure",
         {{&LBGraphic::setExposure, -20}},
         {false, false, false, false, true},
         "inputEV",
         -1.0},
        {"sharpen",
         {{&LBGraphic::setSharpness, 10}},
         {false, false, true, false, false},
         "inputRadius",
         2.5}, // left at the filter's default until drawing
        {"sharpen, then blur",
         {{&LBGraphic::setSharpness, 10}, {&LBGraphic::setSharpness, -10}},
         {false, false, false, true, false},
         nullptr,
         0},
        {"sharpness 0 releases both",
         {{&LBGraphic::setSharpness, -10}, {&LBGraphic::setSharpness, 0}},
         {},
         nullptr,
         0},
    };
    for (const Case& c : cases) {
        auto g = std::make_shared<ProbeGraphic>();
        for (const Step& step : c.steps)
            ((*g).*step.setter)(step.value);
        const std::array<LBGraphic::FilterPtr, 5> filters = {g->_colorControlsFilter, g->_hueFilter,
                                                             g->_sharpnessFilter, g->_blurFilter,
                                                             g->_exposureFilter};
        const char* names[] = {"CIColorControls", "CIHueAdjust", "CIUnsharpMask", "CIGaussianBlur",
                               "CIExposureAdjust"};
        for (int i = 0; i < 5; ++i) {
            ASSERT_EQ(filters[i] != nullptr, c.present[i]) << c.name << ": " << names[i];
            if (filters[i]) {
                EXPECT_EQ(filters[i]->name(), QLatin1String(names[i])) << c.name;
            }
        }
        if (c.key) {
            const auto first = std::find_if(filters.begin(), filters.end(),
                                            [](const LBGraphic::FilterPtr& f) { return f; });
            EXPECT_NEAR(input(*first, c.key), c.expected, 1e-12) << c.name;
        }
    }
}

TEST_F(LBGraphicEffects, AdjustmentFiltersFollowUndoAndCopiesMakeTheirOwn)
{
    doc.step([&] { graphic->setHue(25); });
    ASSERT_TRUE(graphic->_hueFilter);
    doc.undo();
    EXPECT_FALSE(graphic->_hueFilter);
    doc.redo();
    ASSERT_TRUE(graphic->_hueFilter);

    doc.quietly([&] { add(2); });
    auto copy = std::static_pointer_cast<ProbeGraphic>(graphic->copy());
    ASSERT_TRUE(copy->_hueFilter);
    EXPECT_NE(copy->_hueFilter, graphic->_hueFilter);
    ASSERT_EQ(copy->_effectFilters.size(), 1);
    EXPECT_NE(copy->_effectFilters[0].value(0), graphic->_effectFilters[0].value(0));
}

TEST_F(LBGraphicEffects, EachEntryHasItsKindsFilterAtItsIndex)
{
    const QStringList expected = {
        "CIColorInvert",
        "CISepiaTone",
        "", // 3: the tint is laid on by the effects chain itself
        "CIColorPosterize",
        "CICircleSplashDistortion",
        "CICrystallize",
        "CIEdgeWork",
        "CIBumpDistortion",
        "CIDotScreen",
        "CINoiseReduction",
        "CIMotionBlur",
        "CIZoomBlur",
        "CICircularWrap",
        "CIHoleDistortion",
        "CIPinchDistortion",
        "CITwirlDistortion",
        "CIVortexDistortion",
        "CIPointillize",
        "CIPixellate",
        "CIBloom",
        "CIGloom",
        "CIEdges",
        "", // 23: passes the picture unchanged
        "CIGaussianBlur",
        "CIOpTile",
        "CIKaleidoscope",
        "CITriangleTile",
        "CICircularScreen",
        "CIStarShineGenerator",
        "CILenticularHaloGenerator",
        "CIWhitePointAdjust",
        "CIPerspectiveTransform",
        "CIBlendWithMask",
        "CIBlendWithMask",
        "CIBlendWithMask",
        "", // unknown kinds
    };
    doc.quietly([&] {
        for (qint64 kind = 1; kind <= 35; ++kind)
            add(kind);
        add(99);
    });
    ASSERT_EQ(graphic->numEffects(), expected.size());
    for (qint64 i = 0; i < graphic->numEffects(); ++i) {
        const std::optional<LBGraphic::EffectFilterArray> filters =
            graphic->effectFilterSubarrayAtIndex(i);
        ASSERT_TRUE(filters) << i;
        EXPECT_EQ(filters->size(), expected[i].isEmpty() ? 0 : 1) << i;
        if (!filters->isEmpty()) {
            EXPECT_EQ(filters->first()->name(), expected[i]) << i;
        }
    }
    EXPECT_FALSE(graphic->effectFilterSubarrayAtIndex(graphic->numEffects()));
    EXPECT_FALSE(graphic->effectFilterSubarrayAtIndex(-1));

    // After an entry without a filter, the next entry's filters are still its own.
    graphic->_effects.clear();
    graphic->_effectFilters.clear();
    doc.quietly([&] {
        add(23);
        add(2);
    });
    EXPECT_EQ(graphic->effectFilterSubarrayAtIndex(1)->value(0)->name(), "CISepiaTone");
}

TEST_F(LBGraphicEffects, GeneratorsAndWhitePointDefaultToTheirFiltersOwnColour)
{
    doc.quietly([&] {
        add(29);
        add(30);
        add(31);
        add(31, Qt::cyan);
    });
    for (qint64 i = 0; i < 3; ++i) {
        const QColor filterDefault =
            graphic->_effectFilters[i].value(0)->valueForKey("inputColor").value<QColor>();
        const QByteArray stored =
            graphic->effectDictionaryAtIndex(i).value("colorData").toByteArray();
        EXPECT_EQ(platform::Archive::colorFromArchivedData(stored), filterDefault) << i;
    }
    const QByteArray given = graphic->effectDictionaryAtIndex(3).value("colorData").toByteArray();
    EXPECT_EQ(platform::Archive::colorFromArchivedData(given), QColor(Qt::cyan));
}

TEST_F(LBGraphicEffects, EffectKnobsFollowTheirEntry)
{
    struct Case
    {
        qint64 knobIndex;
        qint64 removed;
        qint64 index; // afterwards
        qint64 type;
    };
    const Case cases[] = {
        {2, 0, 1, 1}, // an entry before: the knobs move down with theirs
        {2, 1, 1, 1},
        {2, 2, 2, 0}, // their entry: no knobs
        {1, 2, 1, 1}, // an entry after: nothing
    };
    for (const Case& c : cases) {
        auto g = std::make_shared<ProbeGraphic>();
        g->setDocument(&doc);
        doc.quietly([&] {
            for (qint64 kind : {5, 8, 12})
                g->addEffect(kind, D, D, D, D, D, D, defaultLocation, defaultLocation,
                             defaultLocation, defaultLocation, QColor(), false);
            g->setEffectLocationKnobType(1, c.knobIndex);
        });
        doc.step([&] { g->removeEffectAtIndex(c.removed, true); });
        EXPECT_EQ(g->effectIndexForEffectKnob(), c.index) << c.removed;
        EXPECT_EQ(g->effectLocationKnobType(), c.type) << c.removed;
        doc.undo();
        EXPECT_EQ(g->effectIndexForEffectKnob(), c.knobIndex) << c.removed;
        EXPECT_EQ(g->effectLocationKnobType(), 1) << c.removed;
        doc.redo();
        EXPECT_EQ(g->effectIndexForEffectKnob(), c.index) << c.removed;
        EXPECT_EQ(g->effectLocationKnobType(), c.type) << c.removed;
    }
}
