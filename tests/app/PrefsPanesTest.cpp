// The General, Appearance and Printing preference panes: what each control stores, what
// a stored value shows, the notifications, the quality bounds and their alerts, and the
// window that hosts them.

#include "app/LBAppController.h"
#include "app/LBPrefsPanes.h"
#include "document/LBDocument.h"
#include "graphics/LBProcessState.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/Beep.h"
#include "platform/ui/PreferencesWindow.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

#include <memory>
#include <vector>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

// Counts the notifications of the given names.
class Posted
{
public:
    explicit Posted(const QStringList& names)
    {
        for (const QString& name : names)
            _tokens.push_back(platform::NotificationCenter::defaultCenter().addObserver(
                name, nullptr, [this](const platform::Notification& n) { seen << n.name; }));
    }
    QStringList seen;

private:
    std::vector<platform::ObserverToken> _tokens;
};

// A pane with its view made and shown, as the preferences window does it.
template <class Pane>
struct Loaded
{
    Loaded() : pane(std::make_unique<Pane>()), view(pane->loadMainView())
    {
        pane->mainViewDidLoad();
        pane->willSelect();
    }
    Pane* operator->() const { return pane.get(); }
    std::unique_ptr<Pane> pane;
    std::unique_ptr<QWidget> view; // goes first: its controls call the pane
};

class PrefsPanes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        LBAppController::registerDefaults();
        for (const char* key :
             {"Units Type", "AutoRecover Save Interval", "Grid Spacing", "Image Quality",
              "Print Quality", "DisableImageResolutionChangeAlert", "Contact Sort Field",
              "Auto Delete Blank Lines", "Bleed Size", "Draw Label Outlines", "Crop To Labels"})
            defaults().removeObjectForKey(QString::fromLatin1(key));
        platform::Alert::setResponder([this](const platform::Alert& alert, QWidget*) {
            alerts << alert.messageText;
            return platform::Alert::Response{platform::Alert::FirstButtonReturn, suppress};
        });
    }
    void TearDown() override
    {
        platform::Alert::setResponder(nullptr);
        SetUp();
        platform::Alert::setResponder(nullptr);
    }
    QStringList alerts;
    bool suppress = false;
};

} // namespace

TEST_F(PrefsPanes, AutoRecoverItemsAndMinutesMapBothWays)
{
    const std::pair<int, qint64> stores[] = {{0, 0},  {1, 0},  {2, 1}, {6, 5},
                                             {7, 10}, {8, 15}, {9, 30}};
    for (const auto& [item, minutes] : stores)
        EXPECT_EQ(LBGeneralPrefsPane::autoRecoverMinutesForItem(item), minutes) << item;
    // 6 to 9 minutes have no item of their own: like any other value they show 5 minutes
    // rather than an item that stores something else.
    const std::pair<qint64, int> shows[] = {{0, 0},  {1, 2},  {5, 6},  {7, 6},
                                            {10, 7}, {15, 8}, {30, 9}, {20, 6}};
    for (const auto& [minutes, item] : shows)
        EXPECT_EQ(LBGeneralPrefsPane::autoRecoverItemForMinutes(minutes), item) << minutes;
}

TEST_F(PrefsPanes, SortItemsAndFieldsMapBothWays)
{
    const std::pair<int, qint64> table[] = {{0, 1}, {1, 0}, {2, 2}, {3, 3}};
    for (const auto& [item, field] : table) {
        EXPECT_EQ(LBDisplayPrefsPane::sortFieldForItem(item), field);
        EXPECT_EQ(LBDisplayPrefsPane::itemForSortField(field), item);
    }
    Loaded<LBDisplayPrefsPane> pane;
    Posted posted({LBSortOrderChanged});
    pane->sortFieldAction(0);
    EXPECT_EQ(defaults().integerForKey("Contact Sort Field"), 1);
    pane->countryAction(1);
    EXPECT_EQ(defaults().integerForKey("Print Country"), 1);
    EXPECT_EQ(posted.seen.size(), 2);
}

TEST_F(PrefsPanes, GeneralStoresAndNotifies)
{
    defaults().setInteger(20, "AutoRecover Save Interval");
    Loaded<LBGeneralPrefsPane> pane;
    EXPECT_EQ(pane->autoRecoverPopup()->currentIndex(), 6);
    Posted posted({LBUnitsTypeChanged, LBAutoRecoverIntervalChanged});
    pane->unitsAction(1);
    pane->autoRecoverAction(8);
    EXPECT_EQ(defaults().integerForKey("Units Type"), 1);
    EXPECT_EQ(defaults().integerForKey("AutoRecover Save Interval"), 15);
    EXPECT_EQ(posted.seen, (QStringList{LBUnitsTypeChanged, LBAutoRecoverIntervalChanged}));
    pane->deleteBlankLinesBox()->click();
    EXPECT_EQ(defaults().boolForKey("Auto Delete Blank Lines"),
              pane->deleteBlankLinesBox()->isChecked());
}

TEST_F(PrefsPanes, ResetDialogsWritesExactlyItsKeys)
{
    const QVariantMap values = LBGeneralPrefsPane::resetDialogsValues();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        defaults().setBool(!it.value().toBool(), it.key());
    defaults().setBool(true, "Draw Crop Marks");
    Loaded<LBGeneralPrefsPane> pane;
    pane->resetDialogsAction();
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        EXPECT_EQ(defaults().boolForKey(it.key()), it.value().toBool()) << it.key().toStdString();
    EXPECT_TRUE(defaults().boolForKey("Draw Crop Marks")); // not one of them
    EXPECT_EQ(values.size(), 13);
    EXPECT_EQ(alerts, QStringList{"All informational dialogs and warnings have been re-enabled."});
    defaults().removeObjectForKey("Draw Crop Marks");
}

TEST_F(PrefsPanes, GridSpacingInTheCurrentUnits)
{
    defaults().setInteger(1, "Units Type");
    Loaded<LBDisplayPrefsPane> pane;
    EXPECT_EQ(pane->gridUnitsLabel()->text(), "centimeters");
    Posted posted({LBRefreshEditView});
    pane->gridSpacingField()->setText("1");
    pane->gridSpacingAction();
    EXPECT_DOUBLE_EQ(defaults().doubleForKey("Grid Spacing"), 28.3464567);
    pane->willSelect();
    EXPECT_EQ(pane->gridSpacingField()->text(), "1");
    pane->guideSpacingField()->setText("4");
    pane->guideSpacingAction();
    EXPECT_EQ(defaults().integerForKey("Grid Guide Spacing"), 4);
    EXPECT_EQ(posted.seen.size(), 2);
    defaults().removeObjectForKey("Grid Guide Spacing");
}

TEST_F(PrefsPanes, ImageQualityWithinBoundsAndItsAlert)
{
    Loaded<LBDisplayPrefsPane> pane;
    EXPECT_EQ(pane->imageQualityBox()->currentText(), "150 dpi");
    Posted posted({LBImageQualityChanged, LBUpdateDpiPopup});
    struct Case
    {
        const char* typed;
        qint64 stored;
        int alerts;
    };
    // Out of bounds, or the current value: nothing; the box shows the stored value.
    const Case cases[] = {
        {"5 dpi", 150, 0}, {"2401", 150, 0}, {"150", 150, 0}, {"72", 72, 1}, {"300 dpi", 300, 2}};
    for (const Case& c : cases) {
        pane->imageQualityBox()->setEditText(c.typed);
        pane->imageQualityAction();
        EXPECT_EQ(defaults().integerForKey("Image Quality"), c.stored) << c.typed;
        EXPECT_EQ(pane->imageQualityBox()->currentText(), QStringLiteral("%1 dpi").arg(c.stored));
        EXPECT_EQ(alerts.size(), c.alerts) << c.typed;
    }
    EXPECT_EQ(LBProcessState::imageDisplayResolution(), 300);
    EXPECT_EQ(posted.seen.size(), 4);
    // Ticking "do not show again" stops the alert.
    suppress = true;
    pane->imageQualityBox()->setEditText("150");
    pane->imageQualityAction();
    EXPECT_TRUE(defaults().boolForKey("DisableImageResolutionChangeAlert"));
    pane->imageQualityBox()->setEditText("72");
    pane->imageQualityAction();
    EXPECT_EQ(alerts.size(), 3);
    LBProcessState::setImageDisplayResolution(150);
}

TEST_F(PrefsPanes, PrintQualityBoundsAndOneWarningPerVisit)
{
    Loaded<LBPrintingPrefsPane> pane;
    EXPECT_EQ(pane->printQualityBox()->currentText(), "300 dpi");
    const quint64 beeps = platform::beepCount();
    auto type = [&](const QString& text) {
        pane->printQualityBox()->setEditText(text);
        pane->printQualityTextChanged();
    };
    // Mid-edit values outside the bounds are not stored.
    type("3");
    EXPECT_EQ(defaults().integerForKey("Print Quality"), 300);
    type("5000");
    EXPECT_EQ(pane->printQualityBox()->currentText(), "2400 dpi");
    EXPECT_EQ(defaults().integerForKey("Print Quality"), 2400);
    EXPECT_EQ(platform::beepCount(), beeps + 1);
    // Typed key by key, a high value is warned of once the edit ends, so that the warning
    // takes none of the keys; once per visit of the pane, and not for a value picked from
    // the list.
    QLineEdit* field = pane->printQualityBox()->lineEdit();
    auto typeKeys = [&](const char* keys) {
        field->selectAll();
        QTest::keyClicks(field, QString::fromLatin1(keys));
    };
    alerts.clear();
    typeKeys("1200");
    EXPECT_EQ(field->text(), "1200");
    EXPECT_TRUE(alerts.isEmpty());
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(defaults().integerForKey("Print Quality"), 1200);
    EXPECT_EQ(pane->printQualityBox()->currentText(), "1200 dpi");
    typeKeys("500");
    QTest::keyClick(field, Qt::Key_Return);
    pane->willSelect();
    pane->printQualityBox()->setCurrentIndex(pane->printQualityBox()->findText("600 dpi"));
    Q_EMIT pane->printQualityBox()->activated(pane->printQualityBox()->currentIndex());
    EXPECT_EQ(defaults().integerForKey("Print Quality"), 600);
    typeKeys("5000");
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(defaults().integerForKey("Print Quality"), 2400);
    EXPECT_EQ(alerts, (QStringList{"The entered value (1200 dpi) is higher than the recommended "
                                   "maximum (300 dpi).",
                                   "The entered value (2400 dpi) is higher than the recommended "
                                   "maximum (300 dpi)."}));
    // Ending the edit limits the value with a beep.
    for (const auto& [typed, stored, beeped] :
         {std::tuple{"5", 10, true}, std::tuple{"9999", 2400, true},
          std::tuple{"600", 600, false}}) {
        const quint64 before = platform::beepCount();
        pane->printQualityBox()->setEditText(typed);
        pane->printQualityAction();
        EXPECT_EQ(defaults().integerForKey("Print Quality"), stored) << typed;
        EXPECT_EQ(pane->printQualityBox()->currentText(), QStringLiteral("%1 dpi").arg(stored));
        EXPECT_EQ(platform::beepCount() - before, beeped ? 1u : 0u) << typed;
    }
    // A box emptied (by backspacing over "600") or mistyped keeps the quality it showed.
    for (const char* typed : {"", "abc", " dpi"}) {
        type("60");
        type(typed);
        const quint64 before = platform::beepCount();
        pane->printQualityAction();
        EXPECT_EQ(defaults().integerForKey("Print Quality"), 600) << typed;
        EXPECT_EQ(pane->printQualityBox()->currentText(), "600 dpi") << typed;
        EXPECT_EQ(platform::beepCount() - before, 1u) << typed;
    }
}

TEST_F(PrefsPanes, PrintingCheckBoxesAndBleed)
{
    Loaded<LBPrintingPrefsPane> pane;
    Posted posted({LBRefreshRenderingViewNotification});
    pane->bleedAction(2);
    pane->cropMarksAction(true);
    EXPECT_EQ(defaults().integerForKey("Bleed Size"), 2);
    EXPECT_TRUE(defaults().boolForKey("Draw Crop Marks"));
    EXPECT_EQ(posted.seen.size(), 2);
    pane->mediaLabelsCheckboxAction(1, false);
    EXPECT_FALSE(defaults().boolForKey("Draw Label Outlines"));
    EXPECT_TRUE(defaults().boolForKey("Crop To Labels"));
    pane->mediaLabelsCheckboxAction(2, false);
    EXPECT_FALSE(defaults().boolForKey("Crop To Labels"));
    defaults().removeObjectForKey("Draw Crop Marks");
}

TEST_F(PrefsPanes, TheWindowShowsThePanesInOrderAndSelectsByName)
{
    LBAppController controller;
    controller.selectPrefPaneNamed("PrintingPrefs");
    platform::PreferencesWindow* window = controller.preferencesWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->displayOrder(),
              (QStringList{"GeneralPrefs", "DisplayPrefs", "PrintingPrefs", "MePrefs"}));
    EXPECT_EQ(window->selectedPaneName(), "PrintingPrefs");
    EXPECT_NE(dynamic_cast<LBPrintingPrefsPane*>(window->pane("PrintingPrefs")), nullptr);
    EXPECT_EQ(window->windowTitle(), "Printing");
    EXPECT_EQ(window->width(), 420);

    // It opens centred on the screen, and every pane's texts fit its width.
    const QRect screen = window->screen()->availableGeometry();
    EXPECT_NEAR(window->geometry().center().x(), screen.center().x(), 3);
    EXPECT_TRUE(screen.contains(window->geometry())) << window->geometry().y();
    for (const QString& name : window->displayOrder()) {
        ASSERT_TRUE(window->selectPaneNamed(name));
        QWidget* view = window->pane(name)->mainView();
        view->layout()->activate();
        for (const QWidget* text : view->findChildren<QWidget*>()) {
            const QString words = text->property("text").toString();
            if ((qobject_cast<const QAbstractButton*>(text) || qobject_cast<const QLabel*>(text))
                && !words.isEmpty()) {
                EXPECT_GE(text->width(), text->sizeHint().width())
                    << name.toStdString() << ": " << words.toStdString();
            }
        }
    }
    window->close();
}
