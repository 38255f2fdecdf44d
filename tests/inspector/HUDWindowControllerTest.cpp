#include "InspectorTestSupport.h"

#include "controls/LBImageButton.h"
#include "inspector/HUDWindow.h"
#include "platform/drawing/Image.h"
#include "shapes/LBLine.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

namespace {

QString tools(const char* key)
{
    return platform::LocalizedString(QLatin1String(key), QStringLiteral("HUD Tools"));
}

QStringList titles(std::initializer_list<const char*> keys, const QString& suffix = QString())
{
    QStringList list;
    for (const char* key : keys)
        list << tools(key) + suffix;
    return list;
}

} // namespace

// Selection kinds, the panes offered and their titles.
TEST_F(InspectorTest, SelectionKindsOfferTheirPanes)
{
    const QString group = tools(" (group)");
    {
        auto box = addTextBox(QRectF(10, 10, 100, 40), QStringLiteral("Hello"));
        auto rectangle = add(QStringLiteral("r"), QRectF(200, 10, 50, 50));
        selectOnly({box, rectangle});
        EXPECT_EQ(palette->selectedGraphicType(), HUDWindowController::MixedKind);
        EXPECT_EQ(palette->toolTitles(),
                  titles({"Dimensions", "Rotation", "Transparency", "Shadow", "Arrange"}, group));
    }
    {
        auto polygon = place(std::make_shared<LBPolygon>());
        auto star = place(std::make_shared<LBStarPolygon>());
        selectOnly({polygon, star});
        EXPECT_EQ(palette->selectedGraphicType(), HUDWindowController::ShapesKind);
        EXPECT_FALSE(palette->toolTags().contains(HUDWindowController::ModifiedShapeTools));
    }
    {
        auto gear1 = place(std::make_shared<LBGear>());
        auto gear2 = place(std::make_shared<LBGear>());
        selectOnly({gear1, gear2});
        EXPECT_EQ(palette->selectedGraphicType(), HUDWindowController::ModifiedShapeKind);
        ASSERT_EQ(palette->toolTags().last(), HUDWindowController::ModifiedShapeTools);
        EXPECT_EQ(palette->toolTitles().last(), gear1->modifier1Title());
        EXPECT_EQ(palette->toolTitles().last(), QStringLiteral("Sides"));
    }
    {
        auto barcode = place(std::make_shared<LBBarcodeImage>());
        auto image = place(std::make_shared<LBImage>());
        selectOnly({barcode, image});
        EXPECT_EQ(palette->selectedGraphicType(), HUDWindowController::MixedKind);
        EXPECT_EQ(palette->toolTitles(), titles({"Dimensions", "Rotation", "Arrange"}, group));
    }
    {
        auto grouped = add(QStringLiteral("g"), QRectF(10, 300, 40, 40));
        grouped->setIsGrouped(true);
        auto other = add(QStringLiteral("h"), QRectF(60, 300, 40, 40));
        other->setIsGrouped(true);
        selectOnly({grouped, other});
        EXPECT_EQ(palette->toolTitles().count(tools("Group")), 1);
        EXPECT_EQ(palette->toolTags().count(HUDWindowController::GroupTools), 1);
    }
    {
        auto crop = add(QStringLiteral("c"), QRectF(10, 400, 40, 40));
        crop->setImage(platform::Image::withSize(QSizeF(10, 10)), 0);
        selectOnly({crop});
        EXPECT_TRUE(palette->selectedGraphicIsCrop());
        EXPECT_TRUE(palette->toolTags().contains(HUDWindowController::CropTools));
        EXPECT_TRUE(palette->toolTags().contains(HUDWindowController::ImageEffectsTools));
    }
    {
        auto image = place(std::make_shared<LBImage>());
        selectOnly({image});
        EXPECT_EQ(palette->selectedGraphicType(), HUDWindowController::ImageKind);
        EXPECT_EQ(palette->toolTitles(),
                  titles({"Dimensions", "Rotation", "Color", "Image", "Effects", "Transparency",
                          "Shadow", "Reflection", "Arrange"}));
    }
}

TEST_F(InspectorTest, MenusCarryTagsKeysAndNoSelection)
{
    QMenu menu;
    QAction* own = menu.addAction(QStringLiteral("Own item"));
    palette->setToolsMenu(&menu);
    auto rectangle = add(QStringLiteral("r"), QRectF(10, 10, 50, 50));
    selectOnly({rectangle});
    const QList<QAction*> items = menu.actions();
    ASSERT_EQ(items.first(), own);
    ASSERT_EQ(items.size(), palette->toolTags().size() + 1);
    EXPECT_EQ(items.at(1)->data().toInt(), HUDWindowController::SizeTools);
    EXPECT_EQ(items.at(1)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_1));
    // The pull-down holds a blank title item and a copy of each pop-up item.
    EXPECT_EQ(palette->toolsPulldownMenu()->actions().size(), palette->toolTags().size() + 1);
    EXPECT_EQ(palette->toolsPulldownMenu()->actions().first()->text(), QStringLiteral(" "));

    const QList<QPair<QString, QKeySequence>> keys = {
        {QStringLiteral("Barcode"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_1)},
        {QStringLiteral("Font Preview"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_6)},
        {QStringLiteral("Reflection"), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_9)},
        {QStringLiteral("Arrange"), QKeySequence(Qt::CTRL | Qt::Key_0)},
        {QStringLiteral("Group"), QKeySequence()},
        {QStringLiteral("Sides"), QKeySequence()},
    };
    for (const auto& [title, key] : keys)
        EXPECT_EQ(HUDWindowController::keyEquivalentForTitle(title), key) << title.toStdString();

    selectOnly({});
    ASSERT_EQ(menu.actions().size(), 2);
    EXPECT_EQ(menu.actions().at(1)->text(), QStringLiteral("No Selection"));
    EXPECT_FALSE(menu.actions().at(1)->isEnabled());
    EXPECT_FALSE(palette->window()->isVisible());
}

TEST_F(InspectorTest, SwitchingKeepsTheTopEdgeAndCentresThePanel)
{
    auto rectangle = add(QStringLiteral("r"), QRectF(10, 10, 50, 50));
    selectOnly({rectangle});
    palette->setFreezeWindow(true); // placement aside: only the switch moves it
    palette->toolsPopupAction(HUDWindowController::SizeTools);
    const QRect before = palette->window()->geometry();
    EXPECT_EQ(before.height(), 116 + 20);
    palette->toolsPopupAction(HUDWindowController::ShapeColorTools);
    const QRect after = palette->window()->geometry();
    EXPECT_EQ(after.height(), 69 + 20);
    EXPECT_EQ(after.top(), before.top());
    EXPECT_NEAR(after.center().x(), before.center().x(), 1);

    // Font Preview: the stored size, else 495 by 350.
    auto box = addTextBox(QRectF(10, 100, 100, 40), QStringLiteral("Hi"));
    selectOnly({box});
    platform::UserDefaults& defaults = platform::UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(QStringLiteral("LBFontPreviewWindowWidth"));
    palette->toolsPopupAction(HUDWindowController::FontPreviewTools);
    EXPECT_EQ(palette->window()->size(), QSize(495, 370));
    palette->toolsPopupAction(HUDWindowController::FontTools);
    defaults.setFloat(600, QStringLiteral("LBFontPreviewWindowWidth"));
    defaults.setFloat(400, QStringLiteral("LBFontPreviewWindowHeight"));
    palette->toolsPopupAction(HUDWindowController::FontPreviewTools);
    EXPECT_EQ(palette->window()->size(), QSize(600, 400 - 22 + 20));
    defaults.removeObjectForKey(QStringLiteral("LBFontPreviewWindowWidth"));
    defaults.removeObjectForKey(QStringLiteral("LBFontPreviewWindowHeight"));
}

TEST_F(InspectorTest, OfferedPaneStaysAndKindsRememberTheirPane)
{
    auto rectangle = add(QStringLiteral("r"), QRectF(10, 10, 50, 50));
    auto other = add(QStringLiteral("s"), QRectF(100, 10, 50, 50));
    auto image = place(std::make_shared<LBImage>());
    selectOnly({rectangle});
    palette->toolsPopupAction(HUDWindowController::ShadowTools);
    // Still offered: stays.
    selectOnly({other});
    EXPECT_EQ(palette->selectedToolsTag(), HUDWindowController::ShadowTools);
    // An image: its own remembered pane (Dimensions) unless Shadow is offered; it is.
    palette->toolsPopupAction(HUDWindowController::ImageAdjustTools);
    selectOnly({image});
    EXPECT_EQ(palette->selectedToolsTag(), HUDWindowController::ImageAdjustTools);
    // A line offers no Image pane: the line's remembered pane.
    auto line = place(std::make_shared<LBLine>());
    selectOnly({line});
    EXPECT_EQ(palette->selectedToolsTag(), HUDWindowController::LineColorTools);

    // Several shape kinds and modified shapes remember nothing.
    const int shapeTag = palette->preferredTagForKind(HUDWindowController::ShapeKind, false);
    auto gear = place(std::make_shared<LBGear>());
    selectOnly({gear});
    palette->toolsPopupAction(HUDWindowController::ReflectionTools);
    auto polygon = place(std::make_shared<LBPolygon>());
    auto star = place(std::make_shared<LBStarPolygon>());
    selectOnly({polygon, star});
    palette->toolsPopupAction(HUDWindowController::ArrangeTools);
    EXPECT_EQ(palette->preferredTagForKind(HUDWindowController::ShapeKind, false), shapeTag);
}

// The placement rule, y up: S the selection, V the scroll view, F the visible frame.
TEST(ConstrainedWindowRect, PlacesUnderTheSelectionWithinViewAndScreen)
{
    const QRectF V(100, 100, 800, 600);
    const QRectF F(0, 0, 1440, 900);
    const QSizeF size(200, 100);
    struct Case
    {
        const char* what;
        std::optional<QRectF> selection;
        QPointF start;
        QPointF expected;
    };
    const QList<Case> cases = {
        {"centred under S", QRectF(400, 400, 100, 50), {}, {350, 295}},
        {"top kept 40 above V's bottom", QRectF(400, 120, 100, 50), {}, {350, 40}},
        {"top at most 5 below V's top", QRectF(400, 900, 100, 50), {}, {350, 595}},
        {"x margin left of V", QRectF(50, 400, 20, 50), {}, {110, 295}},
        {"x margin right of V", QRectF(850, 400, 20, 50), {}, {674, 295}},
        {"no selection: the rectangle's own place", std::nullopt, {300, 300}, {300, 300}},
    };
    for (const Case& c : cases) {
        const QRectF r =
            HUDWindowController::constrainedWindowRect(QRectF(c.start, size), c.selection, V, F, 5);
        EXPECT_EQ(r.topLeft(), c.expected) << c.what;
        EXPECT_EQ(r.size(), size) << c.what;
    }
    // Below the screen: 8 above F's bottom, beside the selection (left when there is
    // room, else right).
    const QRectF low(0, -400, 1440, 900);
    const QRectF V2(100, -500, 800, 600);
    QRectF r = HUDWindowController::constrainedWindowRect(QRectF({}, size),
                                                          QRectF(500, -480, 100, 50), V2, low, 5);
    EXPECT_EQ(r.y(), low.y() + 8);
    EXPECT_EQ(r.x(), 500 - 200 - 5);
    r = HUDWindowController::constrainedWindowRect(QRectF({}, size), QRectF(150, -480, 100, 50), V2,
                                                   low, 5);
    EXPECT_EQ(r.x(), 150 + 100 + 5);
    // F's final clamps.
    const QRectF narrow(300, 0, 400, 900);
    r = HUDWindowController::constrainedWindowRect(QRectF({}, size), QRectF(120, 400, 20, 50), V,
                                                   narrow, 5);
    EXPECT_EQ(r.x(), 308);
    r = HUDWindowController::constrainedWindowRect(QRectF({}, size), QRectF(800, 400, 20, 50), V,
                                                   narrow, 5);
    EXPECT_EQ(r.x(), 700 - 200 - 8);
}

TEST_F(InspectorTest, WithoutACanvasTheRectangleStays)
{
    palette->setSelectedGraphicView(nullptr);
    const QRectF r(12, 34, 56, 78);
    EXPECT_EQ(palette->constrainedWindowRect(r), r);
}

TEST_F(InspectorTest, CollapsesToTheButtonAndComesBackOnDoubleClick)
{
    auto rectangle = add(QStringLiteral("r"), QRectF(10, 10, 50, 50));
    selectOnly({rectangle});
    palette->setFreezeWindow(true);
    palette->toolsPopupAction(HUDWindowController::SizeTools);
    palette->setSelectedGraphicView(nullptr); // no constraint: the geometry alone
    const QRect open = palette->window()->geometry();
    palette->collapseButtonAction(false);
    EXPECT_EQ(palette->selectedToolsTag(), HUDWindowController::CollapsedTools);
    EXPECT_EQ(palette->window()->size(), QSize(40, 19));
    EXPECT_EQ(palette->window()->y(), open.y());
    EXPECT_EQ(palette->window()->x(), open.x() + (open.width() - 40) / 2);
    EXPECT_TRUE(palette->contentView()->isCollapsed());
    EXPECT_FALSE(palette->closeButton()->isVisibleTo(palette->window()));

    // A double click on the background brings the kind's pane back, another collapses.
    palette->setSelectedGraphicView(canvas);
    QTest::mouseDClick(palette->contentView(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(palette->selectedToolsTag(),
              palette->preferredTagForKind(HUDWindowController::ShapeKind, false));
    EXPECT_FALSE(palette->contentView()->isCollapsed());
    QTest::mouseDClick(palette->contentView(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(palette->selectedToolsTag(), HUDWindowController::CollapsedTools);
}

TEST_F(InspectorTest, ModesShowHideAndPinThePalette)
{
    auto rectangle = add(QStringLiteral("r"), QRectF(10, 10, 50, 50));
    // Mode 0 shows with a selection, hides without.
    selectOnly({rectangle});
    EXPECT_TRUE(palette->window()->isVisible());
    selectOnly({});
    EXPECT_FALSE(palette->window()->isVisible());

    // Mode 1 stays out until forced open.
    palette->setInspectorMode(HUDWindowController::SmartHidden);
    selectOnly({rectangle});
    EXPECT_FALSE(palette->window()->isVisible());
    palette->forceOpen();
    EXPECT_TRUE(palette->window()->isVisible());
    // A close in mode 1 orders out.
    palette->collapseButtonAction(false);
    EXPECT_FALSE(palette->window()->isVisible());

    // Mode 2: controls on only with a selection; the close button always.
    HUDWindowController standalone(HUDWindowController::Standalone);
    standalone.setStandaloneToolTag(HUDWindowController::SizeTools, QPointF(40, 50));
    EXPECT_EQ(standalone.window()->pos(), QPoint(40, 50));
    EXPECT_FALSE(standalone.toolsPopup()->isEnabled());
    EXPECT_TRUE(standalone.closeButton()->isEnabled());
    canvas->clearSelection();
    canvas->selectGraphic(rectangle);
    standalone.updateFromGraphicView(canvas);
    EXPECT_TRUE(standalone.toolsPopup()->isEnabled());
    canvas->clearSelection();
    standalone.updateFromGraphicView(canvas);
    EXPECT_FALSE(standalone.toolsPopup()->isEnabled());
    EXPECT_TRUE(standalone.closeButton()->isEnabled());
    EXPECT_EQ(standalone.window()->pos(), QPoint(40, 50));
}

TEST_F(InspectorTest, ResetAndHideForgetsTheCanvas)
{
    auto rectangle = add(QStringLiteral("r"), QRectF(10, 10, 50, 50));
    selectOnly({rectangle});
    palette->resetAndHide();
    EXPECT_EQ(palette->selectedGraphicView(), nullptr);
    EXPECT_TRUE(palette->selectedGraphics().isEmpty());
    EXPECT_FALSE(palette->window()->isVisible());
}

TEST(StripTrailingZeros, KeepsTheNumberItsShortestForm)
{
    const QList<QPair<const char*, const char*>> cases = {
        {"12.500000", "12.5"}, {"90.000000", "90"}, {"000", "000"},
        {"100", "100"},        {"0.000000", "0"},   {"10.05", "10.05"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(HUDWindowController::stripTrailingZerosFromString(QLatin1String(in)),
                  QLatin1String(out))
            << in;
}

TEST_F(InspectorTest, CroppingOnTheCanvasOffersAndShowsCrop)
{
    auto photo = std::make_shared<LBImage>();
    QImage bitmap(100, 60, QImage::Format_RGB32);
    bitmap.fill(Qt::blue);
    photo->setImage(platform::Image::fromBitmap(bitmap, QSizeF(100, 60)), LBGraphic::FillImageType);
    place(photo, QRectF(100, 100, 100, 60));
    selectOnly({photo});
    palette->toolsPopupAction(HUDWindowController::SizeTools);
    canvas->crop();
    ASSERT_NE(canvas->croppingImage(), nullptr);
    palette->updateFromGraphicView(canvas);
    EXPECT_TRUE(palette->toolTags().contains(HUDWindowController::CropTools));
    // Dimensions is still offered, so it stays until the crop pane is forced.
    EXPECT_EQ(palette->selectedToolsTag(), HUDWindowController::SizeTools);
    palette->forceSelectCropTools(true, false);
    palette->updateFromGraphicView(canvas);
    EXPECT_EQ(palette->selectedToolsTag(), HUDWindowController::CropTools);
    canvas->cancelCrop();
}
