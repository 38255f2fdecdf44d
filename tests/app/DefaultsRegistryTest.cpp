#include "app/LBAppController.h"

#include "platform/core/UserDefaults.h"

#include <QSettings>
#include <QTemporaryDir>

#include "WindowSettings.h"

#include <gtest/gtest.h>

namespace {

struct Registered
{
    const char* key;
    QVariant value;
};

// Every registered setting with its default, in the settings' own types.
const QList<Registered>& registry()
{
    static const QList<Registered> table = {
        {"New Preferences", true},
        {"Second Launch", false},
        {"Table Font Size", 0},
        {"Update Frequency", 1},
        {"Last Checked For Updates", 0.0},
        {"Auto Delete Blank Lines", true},
        {"Display First Name First", true},
        {"Contact Sort Field", 0},
        {"Draw Dynamic Guides", true},
        {"Units Type", 0},
        {"Grid Spacing", 9.0},
        {"Grid Guide Spacing", 8},
        {"Show Grid", false},
        {"Show Grid Below", false},
        {"Snap To Grid", false},
        {"Draw Crop Marks", false},
        {"Draw Label Outlines", true},
        {"Crop To Labels", true},
        {"Bleed Size", 0},
        {"Print Quality", 300},
        {"Image Quality", 150},
        {"Preferred Printer", 0},
        {"Envelope Automatic Alignment", true},
        {"Printer Loads Envelopes From Front", true},
        {"Envelopes Are Face Up", true},
        {"Envelope Feed Position", 1},
        {"My Person ID", QString()},
        {"My Logo", QByteArray()},
        {"My Signature", QByteArray()},
        {"Show Columns", true},
        {"Column 1 Width", 100.0},
        {"Column 2 Width", 150.0},
        {"Show Lock Info Sheet", true},
        {"Confirm Delete Favorite", true},
        {"Confirm Delete Favorite Collection", true},
        {"Confirm Delete Text Object", true},
        {"Confirm Delete Field", true},
        {"Graphics Drawer Open", -1},
        {"Graphics Drawer Width", 250.0},
        {"Graphics Drawer Selection", 0},
        {"Shape Document Index", 0},
        {"Shape Cell Size", QStringLiteral("{55, 55}")},
        {"iPhoto Cell Size", QStringLiteral("{61, 81}")},
        {"iPhoto Category Height", 51.0},
        {"Mask Cell Size", QStringLiteral("{61, 81}")},
        {"Scrapbook Cell Size", QStringLiteral("{60, 60}")},
        {"Shapes Outline Height", 0.0},
        {"Favorites Outline Height", 65.0},
        {"Shapes Collection Index", 0},
        {"Favorites Collection Index", 0},
        {"Print Country", 2},
        {"Layout Sheet Size 2", QStringLiteral("{800, 500}")},
        {"Layout Sheet Document List Width", 200.0},
        {"Recent Layouts Array", QVariantList()},
        {"Layout Sheet Selected Project Type String 2", QString()},
        {"Layout Sheet Selected Envelope Type String", QString()},
        {"Layout Sheet Selected Disc Type String 2", QString()},
        {"Layout Sheet A4 Paper Selected", false},
        {"Layout Sheet Selected Manufacturer 2", 0},
        {"Layout Sheet Selected Disc Manufacturer 2", 0},
        {"Layout Sheet Design File Path", QString()},
        {"Draw Auxiliary Info", 3},
        {"Layout Sheet Selected PaperCode 2", QStringLiteral("5881")},
        {"AutoRecover Save Interval", 5},
        {"Show Contextual Inspector", true},
        {"Standalone Inspector Location", QStringLiteral("{-1, -1}")},
        {"Crop Constraint Type", 0},
        {"Crop Constraint Custom Ratio", QStringLiteral("{6, 4}")},
        {"Check For Version 1 Files", true},
        {"Smart Inspector Window Gap", 5},
        {"Show Group HUD Window", true},
        {"Update Application Name", true},
        {"Update Application Name2", true},
    };
    return table;
}

} // namespace

TEST(DefaultsRegistry, RegistersEverySettingWithItsDefaultAndNothingElse)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("settings.ini"));
    {
        forgetWindowSettings();
        LBAppController::registerDefaults();
        platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
        ASSERT_EQ(registry().size(), 73);
        for (const Registered& entry : registry()) {
            const QString key = QLatin1String(entry.key);
            const QVariant value = defaults.objectForKey(key);
            ASSERT_TRUE(value.isValid()) << entry.key;
            if (entry.value.typeId() == QMetaType::Double)
                EXPECT_EQ(defaults.doubleForKey(key), entry.value.toDouble()) << entry.key;
            else if (entry.value.typeId() == QMetaType::Int)
                EXPECT_EQ(defaults.integerForKey(key), entry.value.toInt()) << entry.key;
            else if (entry.value.typeId() == QMetaType::Bool)
                EXPECT_EQ(defaults.boolForKey(key), entry.value.toBool()) << entry.key;
            else if (entry.value.typeId() == QMetaType::QString)
                EXPECT_EQ(defaults.stringForKey(key), entry.value.toString()) << entry.key;
            else if (entry.value.typeId() == QMetaType::QByteArray)
                EXPECT_TRUE(defaults.dataForKey(key).isEmpty()) << entry.key;
            else
                EXPECT_TRUE(defaults.arrayForKey(key).isEmpty()) << entry.key;
        }
        // A fresh user's values the other parts rely on.
        EXPECT_EQ(defaults.integerForKey(QStringLiteral("Graphics Drawer Open")), -1);
        EXPECT_EQ(defaults.stringForKey(QStringLiteral("Standalone Inspector Location")),
                  QStringLiteral("{-1, -1}"));
        EXPECT_EQ(defaults.stringForKey(QStringLiteral("Layout Sheet Selected PaperCode 2")),
                  QStringLiteral("5881"));
        // Keys used without registration read NO, 0 or nothing.
        for (const char* key : {"SkipWelcomeWindow", "LBLaunchCount", "Trim To Page",
                                "DisableImportCorbeilConfirmation"})
            EXPECT_FALSE(defaults.objectForKey(QLatin1String(key)).isValid()) << key;
    }
    // A settings file of its own: registered defaults are never written, changed ones are.
    {
        platform::UserDefaults defaults(file);
        QVariantMap all;
        for (const Registered& entry : registry())
            all.insert(QLatin1String(entry.key), entry.value);
        defaults.registerDefaults(all);
        defaults.setInteger(2, QStringLiteral("Units Type"));
        defaults.synchronize();
    }
    QSettings written(file, QSettings::IniFormat);
    EXPECT_EQ(written.allKeys(), QStringList({QStringLiteral("Units Type")}));
}
