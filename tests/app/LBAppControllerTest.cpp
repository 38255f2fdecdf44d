#include "app/LBAppController.h"

#include "canvas/LBRulerView.h"
#include "document/LBDocument.h"
#include "graphics/InspectorPalette.h"
#include "graphics/LBProcessState.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/ColorPanel.h"
#include "platform/ui/ScrollView.h"
#include "window/LBWindowController.h"

#include <QColorDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QScreen>
#include <QStandardPaths>

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

TEST(LBAppControllerValues, RegistersTheDefaultsOfDocumentsCanvasesAndPages)
{
    LBAppController::registerDefaults();
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    EXPECT_EQ(defaults.floatForKey(QStringLiteral("Grid Spacing")), 9.0);
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Grid Guide Spacing")), 8);
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Draw Auxiliary Info")), 3);
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("Envelope Automatic Alignment")));
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("AutoRecover Save Interval")), 5);
    // The canvas's: guides and the group tools on, grid and snapping off, inches.
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("Draw Dynamic Guides")));
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("Show Group HUD Window")));
    for (const char* key : {"Snap To Grid", "Show Grid", "Show Grid Below"})
        EXPECT_FALSE(defaults.boolForKey(QLatin1String(key))) << key;
    EXPECT_EQ(defaults.objectForKey(QStringLiteral("Units Type")), QVariant(0));
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("Draw Label Outlines")));
    // The document window's: a first run, the contact columns, the drawer.
    EXPECT_TRUE(defaults.boolForKey(QStringLiteral("New Preferences")));
    EXPECT_EQ(defaults.floatForKey(QStringLiteral("Column 1 Width")), 100.0);
    EXPECT_EQ(defaults.floatForKey(QStringLiteral("Column 2 Width")), 150.0);
    EXPECT_EQ(defaults.integerForKey(QStringLiteral("Graphics Drawer Open")), -1);
    EXPECT_EQ(defaults.floatForKey(QStringLiteral("Graphics Drawer Width")), 250.0);
    // The layout chooser's: its size, its list width and no design chosen yet.
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("Layout Sheet Size 2")), "{800, 500}");
    EXPECT_EQ(defaults.doubleForKey(QStringLiteral("Layout Sheet Document List Width")), 200.0);
    EXPECT_EQ(defaults.stringForKey(QStringLiteral("Layout Sheet Design File Path")), "");
}

TEST(LBAppControllerValues, StartUpSetsTheImageValuesAndTheTemporaryFolder)
{
    LBAppController::initialize();
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    defaults.setInteger(200, QStringLiteral("Image Quality"));
    LBProcessState::setTemporaryFolderPath(QString());
    {
        LBAppController controller;
        const QString folder = LBAppController::temporaryFolderPath();
        EXPECT_EQ(folder, QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
                              + QStringLiteral("/Temporary Files/"));
        EXPECT_EQ(LBAppController::supportFolderPath(),
                  QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
                      + QLatin1Char('/'));
        EXPECT_TRUE(QFileInfo(LBAppController::supportFolderPath()).isDir());
        EXPECT_FALSE(LBAppController::designsFolderPath().isEmpty());
        EXPECT_EQ(LBProcessState::defaultCountryCode(),
                  QLocale::territoryToCode(QLocale::system().territory()).toLower());
        EXPECT_TRUE(QFileInfo(folder).isDir());
        EXPECT_EQ(LBProcessState::temporaryFolderPath(), folder);
        EXPECT_EQ(LBAppController::imageDisplayResolution(), 200);
        EXPECT_EQ(LBProcessState::imageDisplayResolution(), 200);

        // The window layer is installed: documents get their window controller.
        LBDocument document;
        document.makeWindowControllers();
        EXPECT_NE(qobject_cast<LBWindowController*>(document.windowController()), nullptr);
        // The colour panel offers opacity.
        EXPECT_TRUE(platform::ColorPanel::showsAlpha());
        EXPECT_TRUE(
            platform::ColorPanel::sharedColorPanel()->testOption(QColorDialog::ShowAlphaChannel));
        // Scroll views get the canvas's rulers.
        platform::ScrollView scrollView;
        EXPECT_NE(qobject_cast<LBRulerView*>(scrollView.horizontalRulerView()), nullptr);
    }
    defaults.removeObjectForKey(QStringLiteral("Image Quality"));
    LBAppController controller;
    EXPECT_EQ(LBAppController::imageDisplayResolution(), 150);

    LBAppController::setUseFullResolutionImages(true);
    EXPECT_TRUE(LBProcessState::useFullResolutionImages());
    LBAppController::setUseFullResolutionImages(false);
    EXPECT_FALSE(LBAppController::useFullResolutionImages());
    LBAppController::setImageDisplayResolution(300);
    EXPECT_EQ(LBProcessState::imageDisplayResolution(), 300);
    LBAppController::setImageDisplayResolution(150);
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
