// The window's zoom, its pop-ups and the sizes its panes keep.

#include "ModeControllerFakes.h"
#include "WindowTestSupport.h"

#include "controls/LBSliderView.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "platform/ui/KXPopUpImageButton.h"
#include "platform/ui/Slider.h"
#include "window/LBWindowController.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

class WindowLayout : public DocumentTest
{
protected:
    WindowLayout()
    {
        defaults().registerDefaults({{QStringLiteral("Graphics Drawer Width"), 250.0}});
        controller = showWindowOnDocument(*document);
    }
    ~WindowLayout() override
    {
        // The window controller goes with the document, while the log is there.
        document->close();
        document.reset();
    }

    QStringList log;
    RecordingFactories factories{&log, true, true, false};
    LBWindowController* controller = nullptr;
};

} // namespace

TEST(WindowZoom, SliderValuesAndPresets)
{
    EXPECT_DOUBLE_EQ(LBWindowController::zoomFactorForSliderValue(6.0), 1.0);
    const struct
    {
        qint64 index;
        double slider;
        int percent; // the zoom the preset stands for, rounded
    } presets[] = {{0, 2.0, 23},      {1, 2.3, 25},       {2, 3.22, 33},    {3, 4.37, 50},
                   {4, 5.09, 67},     {5, 6.0, 100},      {6, 6.8, 150},    {7, 7.3, 200},
                   {8, 7.93, 300},    {9, 8.328, 400},    {10, 8.828, 600}, {11, 9.143, 800},
                   {12, 9.538, 1200}, {13, 9.7865, 1600}, {14, 10.0, 2100}};
    for (const auto& p : presets) {
        SCOPED_TRACE(p.index);
        EXPECT_EQ(LBWindowController::presetZoomFactorForIndex(p.index), p.slider);
        EXPECT_NEAR(LBWindowController::zoomFactorForSliderValue(p.slider) * 100, p.percent,
                    p.percent * 0.02);
    }
    for (qint64 index : {-1, 15, 100})
        EXPECT_EQ(LBWindowController::presetZoomFactorForIndex(index), 0.0);
}

TEST(WindowZoom, ZoomToFitZoomsInToTheLargestTenthThatFits)
{
    const struct
    {
        const char* name;
        QSizeF page;
        QSizeF visible;
        std::optional<double> slider;
    } cases[] = {
        {"page larger than the view", {612, 792}, {500, 600}, std::nullopt},
        {"page just fits at 100 %", {460, 560}, {500, 600}, 6.0},
        {"label", {252, 144}, {800, 600}, 7.7},
        {"tiny label: the top of the slider", {1, 1}, {1000, 1000}, 10.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<double> s = LBWindowController::zoomToFitSliderValue(c.page, c.visible);
        ASSERT_EQ(s.has_value(), c.slider.has_value());
        if (!s)
            continue;
        EXPECT_NEAR(*s, *c.slider, 1e-9);
        // The largest tenth whose zoom lets the page and its margin fit.
        const double ratio = std::min(c.visible.width() / (c.page.width() + 40),
                                      c.visible.height() / (c.page.height() + 40));
        EXPECT_LE(LBWindowController::zoomFactorForSliderValue(*s), ratio);
        if (*s < 10.0) {
            EXPECT_GT(LBWindowController::zoomFactorForSliderValue(*s + 0.1), ratio);
        }
    }
}

TEST_F(WindowLayout, TheSliderSnapsZoomsInAndOutAndStaysInItsRange)
{
    platform::Slider* slider = controller->zoomSlider();
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->minValue(), 2.0);
    EXPECT_EQ(slider->maxValue(), 10.0);
    const struct
    {
        const char* name;
        double from;
        std::function<void()> act;
        double to;
    } cases[] = {
        {"5.8 snaps", 5.8, [&] { controller->zoomAction(); }, 6.0},
        {"6.2 snaps", 6.2, [&] { controller->zoomAction(); }, 6.0},
        {"5.7 stays", 5.7, [&] { controller->zoomAction(); }, 5.7},
        {"6.3 stays", 6.3, [&] { controller->zoomAction(); }, 6.3},
        {"in from 100 %", 6.0, [&] { controller->zoomIn(nullptr); }, 6.8},
        {"in between presets", 6.5, [&] { controller->zoomIn(nullptr); }, 6.8},
        {"in at the top", 10.0, [&] { controller->zoomIn(nullptr); }, 10.0},
        {"out from 100 %", 6.0, [&] { controller->zoomOut(nullptr); }, 5.09},
        {"out at the bottom", 2.0, [&] { controller->zoomOut(nullptr); }, 2.0},
        {"actual size", 9.0, [&] { controller->zoomToActualSize(nullptr); }, 6.0},
        {"set above the range", 12.0, [] {}, 10.0},
        {"set below the range", 0.5, [] {}, 2.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        slider->setDoubleValue(c.from);
        controller->setZoomSliderValue(c.from);
        slider->setDoubleValue(std::clamp(c.from, 2.0, 10.0));
        c.act();
        EXPECT_DOUBLE_EQ(controller->zoomSliderValue(), c.to);
        EXPECT_DOUBLE_EQ(controller->zoomFactor(),
                         LBWindowController::zoomFactorForSliderValue(c.to));
    }
    // An exact preset reads back exactly.
    controller->setZoomSliderValue(9.7865);
    EXPECT_EQ(controller->zoomSliderValue(), 9.7865);
}

TEST_F(WindowLayout, ThePopupsAndTheCustomPercentItem)
{
    platform::KXPopUpImageButton* zoom = controller->zoomPopupButton();
    ASSERT_NE(zoom, nullptr);
    EXPECT_EQ(controller->zoomPopupButton(), zoom); // made once
    EXPECT_EQ(zoom->numberOfItems(), 16);
    EXPECT_EQ(zoom->indexOfSelectedItem(), 4);
    EXPECT_EQ(zoom->titleOfSelectedItem(), QStringLiteral("100%"));
    EXPECT_EQ(zoom->itemTitleAtIndex(14), QString());
    EXPECT_EQ(zoom->titleRectOffsets(), QRectF(8, 6, 1, 0));
    EXPECT_NE(zoom->popupImage(), nullptr);
    EXPECT_EQ(zoom->focusPolicy(), Qt::NoFocus);
    controller->setZoomPercent(137);
    controller->setZoomPercent(42);
    EXPECT_EQ(zoom->numberOfItems(), 16);
    EXPECT_EQ(zoom->indexOfSelectedItem(), 15);
    EXPECT_EQ(zoom->itemTitleAtIndex(15), QStringLiteral(" 42%"));

    platform::KXPopUpImageButton* dpi = controller->dpiPopupButton();
    ASSERT_NE(dpi, nullptr);
    EXPECT_EQ(dpi->titleRectOffsets(), QRectF(19, 6, 12, 0));
    EXPECT_FALSE(dpi->autoenablesItems());
    EXPECT_FALSE(dpi->pullsDown());
    EXPECT_EQ(dpi->x(), 5);
}

TEST(WindowLayers, OpeningHeight)
{
    const struct
    {
        qint64 stored;
        double split;
        qint64 height;
    } cases[] = {
        {0, 600, 150}, {1, 600, 150}, {220, 600, 220}, {0, 300, 50}, {400, 600, 350}, {0, 200, 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LBWindowController::layersViewOpeningHeight(c.stored, c.split), c.height)
            << c.stored << " in " << c.split;
}

TEST_F(WindowLayout, TheDrawerPaneKeepsItsWidthWhenClosedAndOpened)
{
    controller->switchToDesignMode(nullptr);
    QApplication::processEvents();
    controller->updateDrawerWidth();
    const int width = controller->drawerSuperview()->width();
    EXPECT_EQ(width, 250);
    const int designWidth = controller->designView()->width();

    controller->openDesignDrawer(false);
    QApplication::processEvents();
    EXPECT_FALSE(controller->designDrawerIsOpen());
    EXPECT_EQ(controller->drawerWidth(), width);
    // The design view takes the whole width; the pane lies beyond the right edge.
    EXPECT_EQ(controller->designView()->width(), designWidth + width);
    controller->openDesignDrawer(false); // already closed: nothing
    EXPECT_EQ(controller->drawerWidth(), width);

    controller->openDesignDrawer(true);
    QApplication::processEvents();
    EXPECT_EQ(controller->drawerSuperview()->width(), width);
    EXPECT_EQ(controller->designView()->width(), designWidth);
}

TEST(WindowColumns, WidthsFromTheSettings)
{
    const struct
    {
        const char* name;
        double w1, w2, split;
        double g, p;
    } cases[] = {
        {"as stored", 100, 150, 1000, 100, 150},
        {"at least 10", 4, 10, 1000, 10, 10},
        {"too wide: the wider becomes 200", 500, 400, 800, 200, 400},
        {"the people column wider", 300, 450, 800, 300, 200},
        {"a tie: the people column", 400, 400, 800, 400, 200},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto [g, p] = LBWindowController::columnWidthsForSplitWidth(c.w1, c.w2, c.split);
        EXPECT_EQ(g, c.g);
        EXPECT_EQ(p, c.p);
    }
    EXPECT_EQ(LBWindowController::minimumWindowSize(true, 250, 1000), QSize(844, 480));
    EXPECT_EQ(LBWindowController::minimumWindowSize(true, 250, 700), QSize(700, 480));
    EXPECT_EQ(LBWindowController::minimumWindowSize(false, 250, 1000), QSize(594, 480));
}

TEST(WindowTexts, TruncationEndsInOneEllipsis)
{
    // Each character 10 wide.
    const auto width = [](const QString& text) { return 10.0 * text.size(); };
    const QString ellipsis(QChar(0x2026));
    const struct
    {
        QString text;
        double field;
        QString expected;
    } cases[] = {
        {"Contacts", 100, "Contacts"},        // 80 < 95: unchanged
        {"Contacts", 70, "Conta" + ellipsis}, // 60 < 65
        {"Contacts", 20, ellipsis},           // stops below two characters
        {"Co", 1, ellipsis},
        {"", 1, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LBWindowController::truncatedString(c.text, c.field, width), c.expected)
            << c.text.toStdString() << " in " << c.field;
}

TEST(WindowImages, ScaledToFitKeepingTheirProportions)
{
    const struct
    {
        QSizeF size;
        double maxWidth, maxHeight;
        QSizeF expected;
    } cases[] = {
        {{100, 50}, 200, 200, {100, 50}},  // fits: unchanged
        {{400, 100}, 200, 200, {200, 50}}, // width bound
        {{100, 400}, 200, 200, {50, 200}}, // height bound
        {{300, 300}, 150, 100, {100, 100}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LBWindowController::scaleImage(c.size, c.maxWidth, c.maxHeight), c.expected);
    const auto image = platform::Image::withSize(QSizeF(400, 100));
    LBWindowController::scaleImage(*image, 200, 200);
    EXPECT_EQ(image->size(), QSizeF(200, 50));
}

TEST_F(WindowLayout, TheButtonBarFollowsTheModesView)
{
    const auto frameInWindow = [&](const QWidget* widget) {
        return QRect(widget->mapTo(controller->window(), QPoint(0, 0)), widget->size());
    };
    QApplication::processEvents();
    // Preview: the zoom pop-up starts at the sheets' left edge, the slider is centred
    // under them, the page count follows it; the contact columns take their set widths.
    controller->updateButtonBarPosition();
    const QRect preview = frameInWindow(controller->previewView());
    platform::KXPopUpImageButton* zoom = controller->zoomPopupButton();
    EXPECT_EQ(frameInWindow(zoom).x(), preview.x() - 1);
    const QWidget* slider = controller->sliderView();
    const int centred = int(preview.x() + (preview.width() - slider->width()) / 2.0);
    EXPECT_EQ(frameInWindow(slider).x(), std::max(centred, zoom->x() + zoom->width() + 5));
    EXPECT_EQ(controller->pageCountText()->x(), slider->x() + slider->width() + 20);
    EXPECT_TRUE(controller->pageCountText()->isVisibleTo(controller->window()));
    EXPECT_FALSE(controller->drawerButton()->isVisibleTo(controller->window()));

    // Design: the page count and the pop-up's dpi partner swap roles, the drawer button
    // ends at the window's right edge; without a layers view the layers button stays hidden.
    controller->switchToDesignMode(nullptr);
    controller->dpiPopupButton();
    controller->updateButtonBarPosition();
    EXPECT_EQ(zoom->x(), controller->dpiPopupButton()->x() + controller->dpiPopupButton()->width());
    EXPECT_FALSE(controller->pageCountText()->isVisibleTo(controller->window()));
    EXPECT_TRUE(controller->drawerButton()->isVisibleTo(controller->window()));
    EXPECT_EQ(frameInWindow(controller->drawerButton()).right() + 1, controller->window()->width());
    EXPECT_FALSE(controller->layersButton()->isVisibleTo(controller->window()));
}

TEST(WindowTexts, TheTextsLookedUpWithoutATableAreInTheDefaultTable)
{
    // The bar's buttons and the drawer's titles take their texts from the default table;
    // without it every window's load reported a missing table.
    QFile table(QStringLiteral(":/strings/Localizable.strings"));
    ASSERT_TRUE(table.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(table.readAll());
    for (const char* key :
         {"Contacts", "Search", "Show Browsers", "Hide Browsers", "Show Layers", "Hide Layers",
          "Shapes", "Photos", "Artwork", "Text", "Favorites", "Fields"})
        EXPECT_TRUE(text.contains(QStringLiteral("\"%1\" = ").arg(QLatin1String(key)))) << key;
}
