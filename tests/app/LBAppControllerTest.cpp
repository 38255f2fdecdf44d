#include "app/LBAppController.h"
#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "platform/core/UserDefaults.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

TEST(LBAppControllerValues, RegistersImageAndPrintQualityButNotTrimming)
{
    LBAppController::registerDefaults();
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Image Quality")), 150);
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Print Quality")), 300);
    EXPECT_FALSE(defaults.objectForKey(QStringLiteral("Trim To Page")).isValid());
    EXPECT_FALSE(defaults.boolForKey(QStringLiteral("Trim To Page")));

    // The user's own value wins over the registered one, and registering again keeps it.
    defaults.setInteger(600, QStringLiteral("Print Quality"));
    LBAppController::registerDefaults();
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Print Quality")), 600);
    defaults.removeObjectForKey(QStringLiteral("Print Quality"));
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Print Quality")), 300);
}

TEST(LBAppControllerValues, DisplayScaleFactorIsTheLargestScreenRatio)
{
    double largest = 0.0;
    for (const QScreen* screen : QGuiApplication::screens())
        largest = std::max(largest, screen->devicePixelRatio());
    if (largest == 0.0)
        largest = 1.0;

    LBAppController::setDisplayScaleFactor(3.5); // as an export might leave it
    LBAppController controller;
    EXPECT_EQ(LBAppController::displayScaleFactor(), largest);
    LBAppController::setDisplayScaleFactor(2.0);
    EXPECT_EQ(LBAppController::displayScaleFactor(), 2.0);
    LBAppController::setDisplayScaleFactor(largest);
}

namespace {

struct FakePalette : InspectorPalette
{
    void forceSelectCropTools(bool force, bool showConstrainTools) override
    {
        calls << QStringLiteral("crop %1 %2").arg(force).arg(showConstrainTools);
    }
    void centerWindowUnderSelectedGraphics() override { calls << QStringLiteral("center"); }
    QStringList calls;
};

} // namespace

TEST(LBAppControllerValues, InspectorPaletteReferenceIsNullUntilAPaletteSetsIt)
{
    EXPECT_EQ(LBAppController::inspectorPalette(), nullptr);
    FakePalette palette;
    LBAppController::setInspectorPalette(&palette);
    ASSERT_EQ(LBAppController::inspectorPalette(), &palette);
    LBAppController::inspectorPalette()->forceSelectCropTools(true, false);
    LBAppController::inspectorPalette()->centerWindowUnderSelectedGraphics();
    EXPECT_EQ(palette.calls, QStringList({QStringLiteral("crop 1 0"), QStringLiteral("center")}));
    LBAppController::setInspectorPalette(nullptr);
    EXPECT_EQ(LBAppController::inspectorPalette(), nullptr);
}

TEST(LBAppControllerValues, AreTheOnesTheModelReads)
{
    FakePalette palette;
    LBAppController::setInspectorPalette(&palette);
    EXPECT_EQ(LBProcessState::inspectorPalette(), &palette);
    LBAppController::setInspectorPalette(nullptr);
    EXPECT_EQ(LBProcessState::inspectorPalette(), nullptr);

    const double before = LBAppController::displayScaleFactor();
    LBAppController::setDisplayScaleFactor(2.5);
    EXPECT_EQ(LBProcessState::displayScaleFactor(), 2.5);
    LBAppController::setDisplayScaleFactor(before);
}
